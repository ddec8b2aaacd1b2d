// The explorer windows inside the program: their view keys (Ctrl+Alt+F is the FTP explorer's,
// although the file explorer's command carries it), the editor's file filters in their filter
// boxes, a file of the file explorer opened as a document of the main window, and the project
// explorer following the project the main window opens.

#include "src/explorers/ExplorerTestSupport.h"
#include "src/run/ShellTestSupport.h"

#include "explorers/zuFileExplorerForm.h"
#include "explorers/zuProjectExplorerForm.h"
#include "ftp/client/zuFTPListing.h"
#include "ftp/explorer/zuFTPExplorerToolForm.h"
#include "projects/zuCurrentProject.h"
#include "projects/zuProjects.h"

#include "ShellBrowsing/Source/explorer/ExplorerViews.h"

#include "Platform/controls/FilterComboBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

struct ExplorersInMainForm : ShellTest {
    void StartInWork()
    {
        WriteWork("page.php", "<?php echo 'page';");
        WriteWork("notes.txt", "notes");
        // why: a first start would show the home folder.
        Setting("Application", "LastPath", Dir.File("work"));
        Start();
    }
    template <class T>
    T* Window() const
    {
        for (const auto& window : Form->ToolWindows)
            if (auto* found = dynamic_cast<T*>(window.get()))
                return found;
        return nullptr;
    }
};

} // namespace

TEST_F(ExplorersInMainForm, CtrlAltFShowsTheFTPExplorerCtrlAltLTheFileExplorerAndCtrlAltPTheProjectExplorer)
{
    StartInWork();
    TCodeEditorForm* document = Open(Work("page.php"));
    ASSERT_NE(document, nullptr);
    auto* files = Window<TFileExplorerForm>();
    auto* project = Window<TProjectExplorerForm>();
    TFTPExplorerToolForm* ftp = Form->FTPExplorerWindow();
    ASSERT_TRUE(files && project && ftp);
    for (TToolWindowForm* window : {static_cast<TToolWindowForm*>(files), static_cast<TToolWindowForm*>(project),
                                    static_cast<TToolWindowForm*>(ftp)})
        window->Close();
    QTest::keyClick(document->Editor(), Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(ftp->isVisible());
    EXPECT_TRUE(ftp->Embedded()) << "the explorer shows inside its tool window";
    EXPECT_FALSE(files->isVisible());
    QTest::keyClick(document->Editor(), Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(files->isVisible());
    QTest::keyClick(document->Editor(), Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(project->isVisible());
    EXPECT_EQ(Form->ActionList.Find("acFileExplorer")->ShortCut(), ShortCut('F', TShiftState{ssCtrl, ssAlt}));
}

TEST_F(ExplorersInMainForm, TheEditorsFileFiltersReachBothFilterBoxes)
{
    StartInWork();
    auto* files = Window<TFileExplorerForm>();
    auto* project = Window<TProjectExplorerForm>();
    ASSERT_TRUE(files && project);
    ASSERT_FALSE(Module->FileFilter().empty());
    EXPECT_EQ(files->FilterEdit->Filter(), Module->FileFilter());
    EXPECT_EQ(project->FilterEdit->Filter(), Module->FileFilter());
    EXPECT_EQ(files->FilterEdit->currentText().toStdString(), "All Supported Formats");
    EXPECT_EQ(ListedNames(*files->LocalListView), std::vector<std::string>{"page.php"});
}

TEST_F(ExplorersInMainForm, AFileOfTheFileExplorerOpensAsADocument)
{
    StartInWork();
    auto* files = Window<TFileExplorerForm>();
    ASSERT_NE(files, nullptr);
    TShellExplorerListview& list = *files->LocalListView;
    PLazyNode page = NodeNamed(list, "page.php");
    ASSERT_TRUE(page);
    SelectOnly(list, page);
    list.ExecuteNode(page);
    ASSERT_NE(Form->ActiveEditorForm(), nullptr);
    EXPECT_EQ(Form->ActiveEditorForm()->FileName(), Work("page.php"));
}

TEST_F(ExplorersInMainForm, TheProjectExplorerFollowsTheProjectTheMainWindowOpens)
{
    WriteWork("site/index.php", "<?php");
    StartInWork();
    auto* project = Window<TProjectExplorerForm>();
    ASSERT_NE(project, nullptr);
    const TGUID site = CreateGUID();
    WriteProjectString(*ProjectsFile, site, ProjectKeys::LocalPath, Work("site"));
    Form->CurrentProject->OpenProject(site);
    EXPECT_EQ(project->LocalFolder(), Work("site"));
    EXPECT_EQ(ListedNames(*project->LocalView), std::vector<std::string>{"index.php"});
}

namespace {

// Counts the runs of a command in place of its handler.
struct TCommandCounter {
    TCommandCounter(TMainForm& form, const char* name) : Action(form.ActionList.Find(name))
    {
        Action->OnExecute = [this](TObject*) { ++Runs; };
    }
    TAction* Action;
    int Runs = 0;
};

bool GiveFocus(QWidget* widget)
{
    widget->activateWindow();
    widget->setFocus(Qt::OtherFocusReason);
    return WaitUntil([widget] { return QApplication::focusWidget() == widget; }, 3000);
}

} // namespace

TEST_F(ExplorersInMainForm, AnExplorersKeysReachTheExplorerBeforeTheCommands)
{
    StartInWork();
    TCodeEditorForm* document = Open(Work("page.php"));
    ASSERT_NE(document, nullptr);
    QTest::keyClick(document->Editor(), Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    auto* files = Window<TFileExplorerForm>();
    ASSERT_TRUE(files && files->isVisible());
    TShellExplorerListview* list = files->LocalListView;
    ASSERT_EQ(ListedNames(*list), (std::vector<std::string>{"notes.txt", "page.php"}));
    TCommandCounter nextBookmark(*Form, "acNextBookmark");
    TCommandCounter selectAll(*Form, "acSelectAll");
    ASSERT_EQ(nextBookmark.Action->shortcut(), QKeySequence(Qt::Key_F2));
    ASSERT_EQ(selectAll.Action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));

    ASSERT_TRUE(GiveFocus(list));
    SelectOnly(*list, NodeNamed(*list, "notes.txt"));
    QTest::keyClick(list, Qt::Key_F2);
    EXPECT_TRUE(list->EditorActive()) << "F2 renames in the explorer";
    EXPECT_EQ(nextBookmark.Runs, 0) << "and does not jump to a bookmark";
    list->CancelNodeEdit();
    ASSERT_TRUE(GiveFocus(list));
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->SelectionCount(), 2u) << "Ctrl+A selects the explorer's rows";
    EXPECT_EQ(selectAll.Runs, 0) << "not the editor's text";

    // In a document the keys are the commands'.
    ASSERT_TRUE(GiveFocus(document->Editor()));
    QTest::keyClick(document->Editor(), Qt::Key_F2);
    QTest::keyClick(document->Editor(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(nextBookmark.Runs, 1);
    EXPECT_EQ(selectAll.Runs, 1);
}

TEST_F(ExplorersInMainForm, AKeyTheFocusedControlLeavesAloneStillReachesItsCommand)
{
    StartInWork();
    TCodeEditorForm* document = Open(Work("page.php"));
    ASSERT_NE(document, nullptr);
    auto* files = Window<TFileExplorerForm>();
    ASSERT_NE(files, nullptr);
    QTest::keyClick(document->Editor(), Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    TCommandCounter nextBookmark(*Form, "acNextBookmark");
    // The filter box outside the documents has no use for F2.
    ASSERT_TRUE(GiveFocus(files->FilterEdit));
    QTest::keyClick(files->FilterEdit, Qt::Key_F2);
    EXPECT_EQ(nextBookmark.Runs, 1);
}

TEST_F(ExplorersInMainForm, F2EditsTheNameOfAnFTPRow)
{
    StartInWork();
    TCodeEditorForm* document = Open(Work("page.php"));
    ASSERT_NE(document, nullptr);
    QTest::keyClick(document->Editor(), Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
    TFTPExplorerToolForm* ftp = Form->FTPExplorerWindow();
    ASSERT_TRUE(ftp && ftp->isVisible() && ftp->Explorer());
    TFTPListItem entry;
    entry.FileName = "remote.php";
    entry.Size = 10;
    QTreeWidgetItem* row = ftp->Explorer()->AddListingRow(entry);
    QTreeWidget* view = ftp->Explorer()->RemoteView;
    view->setCurrentItem(row);
    TCommandCounter nextBookmark(*Form, "acNextBookmark");
    ASSERT_TRUE(GiveFocus(view));
    QTest::keyClick(view, Qt::Key_F2);
    EXPECT_EQ(nextBookmark.Runs, 0);
    EXPECT_NE(view->findChild<QLineEdit*>(), nullptr) << "the row's name is being edited";
}
