// The explorer windows inside the program: their view keys (Ctrl+Alt+F is the FTP explorer's,
// although the file explorer's command carries it), the editor's file filters in their filter
// boxes, a file of the file explorer opened as a document of the main window, and the project
// explorer following the project the main window opens.

#include "src/explorers/ExplorerTestSupport.h"
#include "src/run/ShellTestSupport.h"

#include "explorers/zuFileExplorerForm.h"
#include "explorers/zuProjectExplorerForm.h"
#include "ftp/explorer/zuFTPExplorerToolForm.h"
#include "projects/zuCurrentProject.h"
#include "projects/zuProjects.h"

#include "ShellBrowsing/Source/explorer/ExplorerViews.h"

#include "Platform/controls/FilterComboBox.h"

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
