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
        if (!Form->CodeExplorerForm())
            Form->ToolWindows.push_back(std::make_unique<TCodeExplorerForm>(nullptr));
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
    Explorer->RequestParse(big, TCodeExplorerForm::prkParse);
    Stop();
    SUCCEED();
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
