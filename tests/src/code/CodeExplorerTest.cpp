// The code explorer in the running shell: documents are scanned when opened and again a second
// after typing stops, an activated document shows its page without a new scan, and closing a
// document, Close All or the program's end during a scan is safe and leaves nothing behind.

#include "code/zuCodeExplorerForm.h"

#include "src/run/ShellTestSupport.h"
#include "support/WaitFor.h"

#include <QElapsedTimer>

namespace {

std::string Functions(int count)
{
    std::string text = "<?php\n";
    for (int i = 0; i < count; ++i)
        text += "function f" + std::to_string(i) + "($a) { return $a; }\n";
    return text;
}

std::vector<std::string> Names(const TPHPPageRef& page)
{
    std::vector<std::string> names;
    for (int i = 0; page && i < page->Count(); ++i)
        names.push_back(NodeText(*page->Items(i)));
    return names;
}

struct CodeExplorerTest : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        Start();
        Explorer = Form->CodeExplorerForm();
        ASSERT_NE(Explorer, nullptr);
    }
    // Waits until every request has come back.
    bool Settled(int ms = 5000)
    {
        return WaitFor([&] { return Explorer->PendingRequests() == 0; }, ms);
    }
    TCodeEditorForm* OpenPHP(const std::string& name, const std::string& text)
    {
        TCodeEditorForm* document = Open(WriteWork(name, text));
        EXPECT_NE(document, nullptr);
        return document;
    }

    // The tree as text: each node's text, children indented by two blanks, "+" before an
    // expanded node with children.
    std::vector<std::string> Tree() const
    {
        std::vector<std::string> lines;
        Walk(Explorer->Tree1->HiddenRoot(), "", lines);
        return lines;
    }
    void Walk(PLazyNode parent, const std::string& indent, std::vector<std::string>& lines) const
    {
        for (PLazyNode node = parent->ChildHead; node; node = node->NextLink) {
            const bool open = node->ChildHead && Explorer->Tree1->GetNodeExpanded(node);
            lines.push_back(indent + (open ? "+" : "") + Explorer->Tree1->GetCellText(node, NoColumn).toStdString());
            Walk(node, indent + "  ", lines);
        }
    }
    PLazyNode Node(const std::string& text, PLazyNode parent = nullptr) const
    {
        for (PLazyNode node = (parent ? parent : Explorer->Tree1->HiddenRoot())->ChildHead; node; node = node->NextLink)
            if (Explorer->Tree1->GetCellText(node, NoColumn).toStdString() == text)
                return node;
        return nullptr;
    }
    QPoint Centre(PLazyNode node) const
    {
        Explorer->Tree1->MakeNodeVisible(node);
        return Explorer->Tree1->NodeDisplayRect(node, NoColumn, true).ToQt().center();
    }
    void Reparse(TCodeEditorForm* document, const std::string& text)
    {
        document->Editor()->SetAllText(text);
        Explorer->RequestParse(document, TCodeExplorerForm::prkParse);
        ASSERT_TRUE(Settled());
    }
    // Shows the explorer as a floating window large enough for the trees of the tests.
    void ShowExplorer()
    {
        Explorer->resize(300, 400);
        Explorer->Show();
        QApplication::processEvents();
    }

    TCodeExplorerForm* Explorer = nullptr;
};

} // namespace

TEST(CodeExplorerText, NodeTextsOfEachKind)
{
    TPHPClass plain("A", "");
    TPHPClass derived("A", "B");
    TPHPFunction function("connect", "$host, $port = 80");
    TPHPVar var("$a = 1");
    TPHPInclude include("'x.php'", "include");
    TPHPParameter other("$p", "");
    EXPECT_EQ(NodeText(plain), "A");
    EXPECT_EQ(NodeText(derived), "A extends B");
    EXPECT_EQ(NodeText(function), "connect($host, $port = 80)");
    EXPECT_EQ(NodeText(TPHPFunction("", "$x")), "($x)");
    EXPECT_EQ(NodeText(var), "$a = 1");
    EXPECT_EQ(NodeText(include), "x.php");
    EXPECT_EQ(NodeText(other), "unknown type");
}

TEST_F(CodeExplorerTest, AnOpenedDocumentIsScannedAndShown)
{
    TCodeEditorForm* a = OpenPHP("a.php", "<?php\nclass A { function m() {} }\nfunction f($x) {}\n");
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Names(a->CodePage()), (std::vector<std::string>{"A", "f($x)"}));
    EXPECT_EQ(Explorer->ShownDocument(), a);
    EXPECT_EQ(Explorer->ShownPage(), a->CodePage());
}

TEST_F(CodeExplorerTest, TypingIsScannedASecondAfterItStops)
{
    TCodeEditorForm* a = OpenPHP("a.php", "<?php\n");
    ASSERT_TRUE(Settled());
    const TPHPPageRef before = a->CodePage();
    ASSERT_TRUE(before);
    a->Editor()->SetCaretCoord(MakeBufferCoord(1, 2));
    QElapsedTimer typing;
    typing.start();
    Type("function g() ");
    EXPECT_TRUE(a->TypedSinceParse);
    ASSERT_TRUE(WaitFor([&] { return a->CodePage() != before; }, 4000));
    EXPECT_GE(typing.elapsed(), 900) << "not before the code timer's second";
    EXPECT_FALSE(a->TypedSinceParse);
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Names(a->CodePage()), (std::vector<std::string>{"g()"}));
    EXPECT_EQ(Explorer->ShownPage(), a->CodePage());
}

TEST_F(CodeExplorerTest, ActivatingAScannedDocumentShowsItsPageWithoutANewScan)
{
    TCodeEditorForm* a = OpenPHP("a.php", "<?php function a() {}");
    TCodeEditorForm* b = OpenPHP("b.php", "<?php function b() {}");
    ASSERT_TRUE(Settled());
    const TPHPPageRef pageA = a->CodePage();
    ASSERT_TRUE(pageA);
    EXPECT_EQ(Explorer->ShownDocument(), b);
    Form->MDIArea->setActiveSubWindow(a);
    QApplication::processEvents();
    ASSERT_TRUE(Settled());
    EXPECT_EQ(a->CodePage(), pageA) << "no new scan";
    EXPECT_EQ(Explorer->ShownDocument(), a);
    EXPECT_EQ(Explorer->ShownPage(), pageA);
    // The shown document again: nothing is queued.
    Explorer->RequestParse(a, TCodeExplorerForm::prkIfNoPage);
    EXPECT_EQ(Explorer->PendingRequests(), 0);
}

TEST_F(CodeExplorerTest, ARequestWhileSwitchedOffIsDropped)
{
    TCodeEditorForm* a = OpenPHP("a.php", "<?php function a() {}");
    ASSERT_TRUE(Settled());
    const TPHPPageRef page = a->CodePage();
    Explorer->SetEnabled(false);
    Explorer->RequestParse(a, TCodeExplorerForm::prkParse);
    EXPECT_EQ(Explorer->PendingRequests(), 0);
    Explorer->SetEnabled(true);
    EXPECT_EQ(a->CodePage(), page);
}

TEST_F(CodeExplorerTest, ClosingADocumentWhileItIsScannedIsSafe)
{
    TCodeEditorForm* small = OpenPHP("small.php", "<?php function s() {}");
    ASSERT_TRUE(Settled());
    TCodeEditorForm* big = OpenPHP("big.php", Functions(40000));
    Explorer->RequestParse(big, TCodeExplorerForm::prkParse);
    ASSERT_TRUE(Close(big));
    EXPECT_EQ(Explorer->PendingRequests(), 0) << "its requests are forgotten at once";
    ASSERT_TRUE(WaitFor([&] { return Explorer->ShownDocument() == small; }));
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Names(Explorer->ShownPage()), (std::vector<std::string>{"s()"}));
}

TEST_F(CodeExplorerTest, CloseAllEmptiesTheTreeAndScansNothing)
{
    OpenPHP("a.php", "<?php function a() {}");
    OpenPHP("b.php", "<?php function b() {}");
    OpenPHP("c.php", Functions(20000));
    Form->CloseAllExecute();
    ShellTest::Flush();
    EXPECT_TRUE(Form->Documents().empty());
    EXPECT_TRUE(Explorer->Enabled());
    EXPECT_EQ(Explorer->ShownDocument(), nullptr);
    EXPECT_FALSE(Explorer->ShownPage());
    ASSERT_TRUE(Settled());
    EXPECT_FALSE(Explorer->ShownPage());
    EXPECT_TRUE(Tree().empty());
}

TEST_F(CodeExplorerTest, TheCodeTimerWithoutDocumentsEmptiesTheTree)
{
    TCodeEditorForm* a = OpenPHP("a.php", "<?php function a() {}");
    ASSERT_TRUE(Settled());
    ASSERT_TRUE(Explorer->ShownPage());
    Module->CodeTimer.start(); // as a key press would, then the document closes
    ASSERT_TRUE(Close(a));
    Module->CodeTimerTimer();
    EXPECT_FALSE(Module->CodeTimer.isActive());
    EXPECT_FALSE(Explorer->ShownPage());
}

TEST_F(CodeExplorerTest, AReplacedPageIsFreedOnceTheTreeShowsTheNewOne)
{
    TCodeEditorForm* a = OpenPHP("a.php", "<?php function a() {}");
    ASSERT_TRUE(Settled());
    std::weak_ptr<TPHPPage> old = a->CodePage();
    Explorer->RequestParse(a, TCodeExplorerForm::prkParse);
    ASSERT_TRUE(Settled());
    EXPECT_NE(a->CodePage(), old.lock());
    EXPECT_TRUE(old.expired());
}

TEST_F(CodeExplorerTest, TheProgramEndsPromptlyWhileAScanRuns)
{
    TCodeEditorForm* big = OpenPHP("big.php", Functions(100000));
    // The scan that opening the document asked for, timed.
    QElapsedTimer scan;
    scan.start();
    ASSERT_TRUE(Settled(120000));
    const qint64 scanMs = scan.elapsed();

    // Scans under way and queued: an end that waited for the running one would take about a
    // whole scan, one that worked through the queue several.
    for (int i = 0; i < 3; ++i)
        Explorer->RequestParse(big, TCodeExplorerForm::prkParse);
    ASSERT_EQ(Explorer->PendingRequests(), 3);
    QElapsedTimer end;
    end.start();
    Stop();
    EXPECT_LT(end.elapsed(), scanMs / 2) << "one scan takes " << scanMs << " ms";
    EXPECT_FALSE(Form);
}

TEST_F(CodeExplorerTest, AnItemShowsItsPlaceInTheActiveDocument)
{
    TCodeEditorForm* a = OpenPHP("a.php", "<?php\n\nclass A {\n  function m($x) {}\n}\n");
    ASSERT_TRUE(Settled());
    const auto* phpClass = dynamic_cast<TPHPClass*>(a->CodePage()->Items(0));
    ASSERT_NE(phpClass, nullptr);
    Explorer->GoToItem(phpClass->Members.Items(0));
    EXPECT_EQ(a->Editor()->GetCaretCoord(), MakeBufferCoord(12, 4));
    EXPECT_EQ(a->MarkedLine(), 4);
    Explorer->GoToItem(phpClass);
    EXPECT_EQ(a->Editor()->GetCaretCoord(), MakeBufferCoord(7, 3));
    Explorer->GoToItem(nullptr);
    EXPECT_EQ(a->Editor()->GetCaretCoord(), MakeBufferCoord(7, 3));
}

TEST_F(CodeExplorerTest, AnIncludeOpensItsFileRelativeToTheDocument)
{
    const std::string absolute = WriteWork("abs.php", "<?php function abs_f() {}");
    WriteWork("lib/inc.php", "<?php function inc() {}");
    TCodeEditorForm* a = OpenPHP("a.php", "<?php\ninclude 'lib/inc.php';\nrequire_once('missing.php');\n"
                                          "include '" + absolute + "';\ninclude $dir . '/x.php';\nfunction f() {}\n");
    ASSERT_TRUE(Settled());
    const TPHPPageRef page = a->CodePage();
    ASSERT_EQ(page->Count(), 5);
    EXPECT_FALSE(Explorer->OpenIncludeFile(page->Items(1))) << "a missing file opens nothing";
    EXPECT_FALSE(Explorer->OpenIncludeFile(page->Items(3)));
    EXPECT_FALSE(Explorer->OpenIncludeFile(page->Items(4))) << "a function is no include";
    EXPECT_EQ(Form->Documents().size(), 1u);
    EXPECT_TRUE(Questions.empty()) << "and says nothing";
    ASSERT_TRUE(Explorer->OpenIncludeFile(page->Items(0)));
    ASSERT_NE(Form->ActiveEditorForm(), a);
    EXPECT_EQ(Form->ActiveEditorForm()->FileName(), Work("lib/inc.php"));
    Form->MDIArea->setActiveSubWindow(a);
    ASSERT_TRUE(Explorer->OpenIncludeFile(page->Items(2)));
    EXPECT_EQ(Form->ActiveEditorForm()->FileName(), absolute);
}

TEST_F(CodeExplorerTest, TheTreeListsEveryLevelSortedByText)
{
    OpenPHP("a.php", "<?php\ninclude 'x.php';\nclass B extends Base {\n  function z($q) {}\n  var $a = 1;\n}\n"
                     "function a() {}\nclass c {}\nfunction f() {}\nfunction f() {}\n");
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Tree(), (std::vector<std::string>{"a()", "B extends Base", "  $a =  1", "  z($q)", "c", "f()", "f()", "x.php"}));
    const auto kind = [&](PLazyNode node) { return Explorer->Tree1->NodeData<TCodeExplorerNodeData>(node)->Kind; };
    EXPECT_EQ(kind(Node("B extends Base")), 0);
    EXPECT_EQ(kind(Node("a()")), 1);
    EXPECT_EQ(kind(Node("$a =  1", Node("B extends Base"))), 2);
    EXPECT_EQ(kind(Node("x.php")), 3);
}

TEST_F(CodeExplorerTest, AReparseKeepsTheNodesSelectionAndFoldingOfUnchangedEntries)
{
    TCodeEditorForm* a = OpenPHP("a.php", "<?php\nclass K { function m() {} }\nclass L { function n() {} }\nfunction old() {}\nfunction g() {}\n");
    ASSERT_TRUE(Settled());
    TLazyStringTree* tree = Explorer->Tree1;
    PLazyNode k = Node("K");
    PLazyNode l = Node("L");
    PLazyNode g = Node("g()");
    ASSERT_TRUE(k && l && g);
    tree->SetNodeExpanded(k, true);
    tree->SetNodeExpanded(l, true);
    tree->SetNodeExpanded(l, false);
    tree->SetNodeSelected(g, true);
    Reparse(a, "<?php\nclass K { function m() {} function m2() {} }\nclass L { function n() {} }\nfunction renamed() {}\nfunction g() {}\n");
    EXPECT_EQ(Tree(), (std::vector<std::string>{"g()", "+K", "  m()", "  m2()", "L", "  n()", "renamed()"}));
    EXPECT_EQ(Node("K"), k);
    EXPECT_EQ(Node("L"), l);
    EXPECT_EQ(Node("g()"), g);
    EXPECT_TRUE(tree->GetNodeSelected(g));
    EXPECT_EQ(Node("old()"), nullptr);
    // Entries after a removed one and duplicate texts find their own nodes.
    Reparse(a, "<?php\nfunction g() {}\nfunction g() {}\n");
    EXPECT_EQ(Tree(), (std::vector<std::string>{"g()", "g()"}));
    EXPECT_TRUE(Node("g()") == g || Node("g()")->NextLink == g);
}

TEST_F(CodeExplorerTest, TypingRebuildsTheTreeAfterTheCodeTimer)
{
    TCodeEditorForm* a = OpenPHP("a.php", "<?php\nfunction a() {}\n");
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Tree(), (std::vector<std::string>{"a()"}));
    a->Editor()->SetCaretCoord(MakeBufferCoord(1, 3));
    Type("class Z { function y($p) {} }");
    ASSERT_TRUE(WaitFor([&] { return Tree().size() == 3; }, 4000));
    EXPECT_EQ(Tree(), (std::vector<std::string>{"a()", "Z", "  y($p)"}));
}

TEST_F(CodeExplorerTest, ADoubleClickMovesTheCaretToTheEntry)
{
    TCodeEditorForm* a = OpenPHP("a.php", "<?php\n\n\nfunction far($x) {}\nfunction near() {}\n");
    ASSERT_TRUE(Settled());
    ShowExplorer();
    PLazyNode far = Node("far($x)");
    ASSERT_NE(far, nullptr);
    QTest::mouseClick(Explorer->Tree1->viewport(), Qt::LeftButton, {}, Centre(far));
    QTest::mouseDClick(Explorer->Tree1->viewport(), Qt::LeftButton, {}, Centre(far));
    QApplication::processEvents();
    EXPECT_EQ(a->Editor()->GetCaretCoord(), MakeBufferCoord(10, 4));
    EXPECT_EQ(a->MarkedLine(), 4);
}

TEST_F(CodeExplorerTest, CtrlClickAndTheMenuOpenAnIncludeThatExists)
{
    WriteWork("inc.php", "<?php function inc() {}");
    TCodeEditorForm* a = OpenPHP("a.php", "<?php\ninclude 'inc.php';\ninclude 'gone.php';\nfunction f() {}\n");
    ASSERT_TRUE(Settled());
    ShowExplorer();
    TLazyStringTree* tree = Explorer->Tree1;
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ControlModifier, Centre(Node("gone.php")));
    EXPECT_EQ(Form->Documents().size(), 1u) << "a missing file does nothing";
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, Centre(Node("f()")));
    emit Explorer->PopupMenu->aboutToShow();
    EXPECT_FALSE(Explorer->mnuOpenIncludeFile->isEnabled());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, Centre(Node("inc.php")));
    emit Explorer->PopupMenu->aboutToShow();
    EXPECT_TRUE(Explorer->mnuOpenIncludeFile->isEnabled());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ControlModifier, Centre(Node("inc.php")));
    ASSERT_EQ(Form->Documents().size(), 2u);
    EXPECT_EQ(Form->ActiveEditorForm()->FileName(), Work("inc.php"));
    (void)a;
}

TEST_F(CodeExplorerTest, EachDocumentKeepsItsScrollOffset)
{
    TCodeEditorForm* a = OpenPHP("a.php", Functions(200));
    ASSERT_TRUE(Settled());
    ShowExplorer();
    Explorer->Tree1->SetScrollOffset({0, -300});
    const TPoint scrolled = Explorer->Tree1->GetScrollOffset();
    ASSERT_LT(scrolled.Y, 0);
    TCodeEditorForm* b = OpenPHP("b.php", Functions(3));
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Explorer->ShownDocument(), b);
    EXPECT_EQ(a->CodePage()->ScrollOffset, scrolled);
    Form->MDIArea->setActiveSubWindow(a);
    QApplication::processEvents();
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Explorer->ShownDocument(), a);
    EXPECT_EQ(Explorer->Tree1->GetScrollOffset(), scrolled);
    // A new scan of the same document keeps it too.
    Explorer->RequestParse(a, TCodeExplorerForm::prkParse);
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Explorer->Tree1->GetScrollOffset(), scrolled);
}

TEST_F(CodeExplorerTest, UpdateWithoutADocumentChangesNothing)
{
    Explorer->UpdateMenu->trigger();
    EXPECT_EQ(Explorer->PendingRequests(), 0);
    EXPECT_TRUE(Tree().empty());
}
