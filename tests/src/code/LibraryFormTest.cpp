// The code library window in the running shell: the library chosen in its list fills the tree,
// a missing file keeps what was shown, and a double-click inserts the entry's snippet into the
// active document with the caret inside it.

#include "code/zuLibraryForm.h"

#include "src/run/ShellTestSupport.h"

#include "app/zuMainDockArea.h"
#include "app/zuToolWindows.h"
#include "code/zuCodeExplorerForm.h"

#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockPanel.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/lists/ExComboBox.h"

#include <QDir>

namespace {

const std::string InstalledData = ZENTU_TEST_SOURCE_DIR "/../../src/data/";

struct LibraryFormTest : ShellTest {
    void StartWith(const std::vector<std::string>& files)
    {
        for (const std::string& name : files)
            Dir.Write("program/data/" + name, ReadWholeFile(InstalledData + name));
        Start();
        Library = dynamic_cast<TLibraryForm*>(FindLibrary());
        ASSERT_NE(Library, nullptr);
        Library->resize(300, 500);
        Library->Show();
        QApplication::processEvents();
    }
    TToolWindowForm* FindLibrary() const
    {
        for (const auto& window : Form->ToolWindows)
            if (dynamic_cast<TLibraryForm*>(window.get()))
                return window.get();
        return nullptr;
    }
    std::vector<std::string> TopLevel() const
    {
        std::vector<std::string> captions;
        for (PLazyNode node = Library->LibraryTree->HiddenRoot()->ChildHead; node; node = node->NextLink)
            captions.push_back(Library->NodeEntry(node)->Caption);
        return captions;
    }
    PLazyNode Find(const std::string& caption, PLazyNode parent = nullptr) const
    {
        for (PLazyNode node = (parent ? parent : Library->LibraryTree->HiddenRoot())->ChildHead; node; node = node->NextLink)
            if (Library->NodeEntry(node)->Caption == caption)
                return node;
        return nullptr;
    }
    // Double-clicks a node as the user would, after making it visible.
    void DoubleClick(PLazyNode node)
    {
        TLazyStringTree* tree = Library->LibraryTree;
        tree->MakeNodeVisible(node);
        const QPoint at = tree->NodeDisplayRect(node, NoColumn, true).ToQt().center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        QApplication::processEvents();
    }

    TLibraryForm* Library = nullptr;
};

} // namespace

TEST_F(LibraryFormTest, ThePHPLibraryShowsFirstAndTheListSwitchesLibraries)
{
    StartWith({"php-functions.xml", "html.xml", "javascript.xml"});
    EXPECT_EQ(Library->cmbxLibrary->ItemIndex(), 0);
    ASSERT_FALSE(TopLevel().empty());
    EXPECT_EQ(TopLevel().front(), "calendar");
    Library->cmbxLibrary->SetItemIndex(1);
    ASSERT_FALSE(TopLevel().empty());
    EXPECT_EQ(TopLevel().front(), "a");
    const std::vector<std::string> html = TopLevel();
    // css.xml is missing: the HTML library stays.
    Library->cmbxLibrary->SetItemIndex(2);
    EXPECT_EQ(TopLevel(), html);
    Library->cmbxLibrary->SetItemIndex(3);
    EXPECT_NE(Find("Array"), nullptr);
}

TEST_F(LibraryFormTest, ADoubleClickInsertsTheEntryWithTheCaretInside)
{
    StartWith({"php-functions.xml", "html.xml", "css.xml"});
    TCodeEditorForm* document = Open(WriteWork("a.php", "<?php echo ; ?>\n\n\n"));
    ASSERT_NE(document, nullptr);
    TSrcEdit* editor = document->Editor();
    editor->SetCaretCoord(MakeBufferCoord(12, 1));
    PLazyNode strlen = Find("strlen", Find("Core"));
    ASSERT_NE(strlen, nullptr);
    DoubleClick(strlen);
    EXPECT_EQ(editor->Lines().Get(0), "<?php echo strlen(); ?>");
    EXPECT_EQ(editor->GetCaretCoord(), MakeBufferCoord(19, 1));

    Library->cmbxLibrary->SetItemIndex(1);
    editor->SetCaretCoord(MakeBufferCoord(1, 2));
    DoubleClick(Find("b"));
    EXPECT_EQ(editor->Lines().Get(1), "<b></b>");
    EXPECT_EQ(editor->GetCaretCoord(), MakeBufferCoord(4, 2));
    editor->SetCaretCoord(MakeBufferCoord(8, 2));
    DoubleClick(Find("br"));
    EXPECT_EQ(editor->Lines().Get(1), "<b></b><br>");
    EXPECT_EQ(editor->GetCaretCoord(), MakeBufferCoord(12, 2));

    Library->cmbxLibrary->SetItemIndex(2);
    PLazyNode color = nullptr;
    for (PLazyNode group = Library->LibraryTree->HiddenRoot()->ChildHead; group && !color; group = group->NextLink)
        color = Find("color", group);
    ASSERT_NE(color, nullptr);
    editor->SetCaretCoord(MakeBufferCoord(1, 3));
    DoubleClick(color);
    EXPECT_EQ(editor->Lines().Get(2), "color: ");
    EXPECT_EQ(editor->GetCaretCoord(), MakeBufferCoord(8, 3));
}

TEST_F(LibraryFormTest, ADamagedFileIsReportedAndTheShownLibraryStays)
{
    Dir.Write("program/data/css.xml", "<css><group name=\"Box\"><property name=\"margin\"></css>");
    StartWith({"php-functions.xml"});
    const std::vector<std::string> php = TopLevel();
    Answers.push_back(IDOK);
    Library->cmbxLibrary->SetItemIndex(2);
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_NE(Questions[0].Text.find("css.xml"), std::string::npos) << Questions[0].Text;
    EXPECT_EQ(TopLevel(), php);
}

TEST_F(LibraryFormTest, WithoutADocumentADoubleClickDoesNothing)
{
    StartWith({"php-functions.xml"});
    PLazyNode core = Find("Core");
    ASSERT_NE(core, nullptr);
    DoubleClick(Find("strlen", core));
    EXPECT_TRUE(Form->Documents().empty());
    EXPECT_TRUE(Questions.empty());
}

TEST_F(LibraryFormTest, AFirstStartDocksTheCodeExplorerLeftAndTheLibraryRightOfTheDocuments)
{
    WriteDefaultDockLayout(Dir.File("program/data/docking.dat"));
    StartWith({"php-functions.xml"});
    TExDockServer& server = *Form->DockArea->DockServer;
    TCodeExplorerForm* explorer = Form->CodeExplorerForm();
    ASSERT_NE(explorer, nullptr);
    TExDockPanel* left = server.DockPanelWithAlign(TAlign::alLeft);
    TExDockPanel* right = server.DockPanelWithAlign(TAlign::alRight);
    // Tabs beside the project and file explorers on the left, the FTP explorer on the right.
    EXPECT_TRUE(left->isAncestorOf(explorer));
    EXPECT_TRUE(right->isAncestorOf(Library));
    EXPECT_GT(left->Width(), 100);
    EXPECT_GT(right->Width(), 100);
    // The View menu's entries: Ctrl+Alt+S shows the library.
    TAction* library = nullptr;
    TAction* code = nullptr;
    for (TAction* action : Form->ToolWindowActions) {
        if (action->Name() == "acCodeLibrary")
            library = action;
        if (action->Name() == "acCodeExplorer")
            code = action;
    }
    ASSERT_TRUE(library && code);
    EXPECT_EQ(library->Caption(), "Code Library");
    EXPECT_EQ(library->ShortCut(), ShortCut('S', TShiftState{ssCtrl, ssAlt}));
    EXPECT_EQ(code->Caption(), "Code Explorer");
}
