// The main window's life cycle: start-up checks, the key map, settings read at start and written
// at exit, closing with unsaved documents, preview mode, and the document tab strip.

#include "src/run/ShellTestSupport.h"

#include "app/zuFolders.h"
#include "app/zuTypes.h"
#include "projects/zuCurrentProject.h"
#include "projects/zuProjects.h"

#include "Platform/files/FileNames.h"

#include <QDir>
#include <QMenuBar>
#include <QStatusBar>

namespace {

struct MainFormTest : ShellTest {};

} // namespace

TEST_F(MainFormTest, AMissingTemplateFolderEndsTheStartWithTheInstallationMessage)
{
    QDir(QString::fromStdString(Dir.File("program/template"))).removeRecursively();
    Form = std::make_unique<TMainForm>();
    Answers = {IDOK};
    EXPECT_FALSE(Form->FormCreate(ProgramFolder(), AppDataFolder(), DataHomeFolder()));
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0].Text, "Zentu installation seems to be corrupted!\r\nYou should re-install the software");
    EXPECT_EQ(Questions[0].Caption, "Zentu");
    EXPECT_EQ(Questions[0].Flags, unsigned(MB_OK | MB_ICONERROR));
    Form.reset();
    EXPECT_FALSE(FileExists(UserFile("Zentupad.dat")));
}

TEST_F(MainFormTest, AUserFolderThatCannotBeMadeEndsTheStartWithErrorCode99)
{
    Dir.Write("blocked", "a file where the folder should go");
    Form = std::make_unique<TMainForm>();
    Answers = {IDOK};
    EXPECT_FALSE(Form->FormCreate(ProgramFolder(), Dir.File("blocked"), DataHomeFolder()));
    EXPECT_EQ(QuestionTexts(), std::vector<std::string>{"Unable to Continue! \r\n Error Code: 99"});
}

TEST_F(MainFormTest, TheKeyMapReplacesDefaultShortcuts)
{
    ForceDirectories(UserFile(""));
    TIniFileEx keymap(UserFile("keymap.dat"));
    keymap.WriteInteger("Keymap", "acSave", 16467);
    keymap.WriteInteger("Keymap", "acClose", 0);
    keymap.WriteInteger("Keymap", "acSaveAs", ShortCut(VK_F12, {}));
    Start();
    EXPECT_EQ(Form->acSave->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_TRUE(Form->acClose->shortcut().isEmpty());
    EXPECT_EQ(Form->acSaveAs->shortcut(), QKeySequence(Qt::Key_F12));
    EXPECT_EQ(Form->acNewFile->ShortCut(), 16462) << "missing keys keep the default";
}

TEST_F(MainFormTest, WordWrapIsReadAtStartGivenToDocumentsAndWrittenAtExit)
{
    Setting("Editor", "WordWrap", "1");
    Setting("Environment", "CGI", "/usr/bin/php-cgi");
    Start();
    EXPECT_TRUE(Form->acWordWrap->Checked());
    EXPECT_EQ(PHPEnvironment.PHPExecutable, "/usr/bin/php-cgi");
    TCodeEditorForm* document = Open(WriteWork("a.php", ""));
    EXPECT_TRUE(document->Editor()->WordWrap());
    Form->acWordWrap->trigger();
    EXPECT_FALSE(document->Editor()->WordWrap());
    Form->close();
    EXPECT_EQ(SettingsFile->ReadString("Editor", "WordWrap", ""), "0");
}

TEST_F(MainFormTest, ClosingAsksAboutEachUnsavedDocumentAndCancelStopsTheExit)
{
    Start();
    const std::string a = WriteWork("a.php", "a");
    Open(a);
    Type("1");
    Answers = {IDCANCEL};
    EXPECT_FALSE(Form->close());
    EXPECT_TRUE(Form->isVisible());
    EXPECT_EQ(Form->Documents().size(), 1u);

    Answers = {IDYES};
    EXPECT_TRUE(Form->close());
    EXPECT_EQ(ReadWholeFile(a), "1a");
}

TEST_F(MainFormTest, OnlyDocumentsClosedBeforeTheExitBecomeRecentFiles)
{
    Start();
    Close(Open(WriteWork("closed.php", "")));
    Open(WriteWork("still-open.php", ""));
    EXPECT_TRUE(Form->close());
    Stop();
    TIniFileEx ini(UserFile("Zentupad.dat"));
    EXPECT_EQ(ini.ReadString("RecentFiles", "0", ""), Work("closed.php"));
    EXPECT_FALSE(ini.ValueExists("RecentFiles", "1"));
}

TEST_F(MainFormTest, RunCopiesAreDeletedAtExit)
{
    Start();
    const std::string copy = WriteWork("a~znt~.php", "copy");
    Form->RunCopyList.Add(copy);
    Form->RunCopyList.Add(Work("already-gone~znt~.php"));
    EXPECT_TRUE(Form->close());
    EXPECT_FALSE(FileExists(copy));
}

TEST_F(MainFormTest, ClosingDuringAPreviewOnlyLeavesThePreview)
{
    Start();
    Open(WriteWork("a.php", ""));
    Form->SetPreviewMode(true);
    EXPECT_TRUE(Form->statusBar()->isHidden());
    EXPECT_TRUE(Form->menuBar()->isHidden());
    EXPECT_FALSE(Form->close());
    EXPECT_FALSE(Form->PreviewMode());
    EXPECT_FALSE(Form->statusBar()->isHidden());
    EXPECT_FALSE(Form->menuBar()->isHidden());
    EXPECT_TRUE(Form->close());
}

TEST_F(MainFormTest, TabsFollowTheDocumentsInOpeningOrder)
{
    Start();
    EXPECT_FALSE(Form->FileTabs->isVisibleTo(Form.get()));
    TCodeEditorForm* a = Open(WriteWork("a.php", ""));
    TCodeEditorForm* b = Open(WriteWork("b.css", ""));
    Open(WriteWork("c.js", ""));
    EXPECT_TRUE(Form->FileTabs->isVisibleTo(Form.get()));
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"a.php", "b.css", "c.js"}));
    EXPECT_EQ(Form->FileTabs->currentIndex(), 2);

    // Activating a document by other means selects its tab; choosing a tab activates it.
    Form->MDIArea->setActiveSubWindow(a);
    EXPECT_EQ(Form->FileTabs->currentIndex(), 0);
    Form->FileTabs->setCurrentIndex(1);
    EXPECT_EQ(Form->ActiveEditorForm(), b);

    Close(b);
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"a.php", "c.js"}));
    Form->acCloseAll->Execute();
    Flush();
    EXPECT_FALSE(Form->FileTabs->isVisibleTo(Form.get()));
}

TEST_F(MainFormTest, AMiddleClickOnATabClosesItsDocument)
{
    Start();
    Open(WriteWork("a.php", ""));
    TCodeEditorForm* b = Open(WriteWork("b.php", "b"));
    Open(WriteWork("c.php", ""));
    Form->BringDocumentToFront(b);
    Type("1");
    const QPoint middleOfB = Form->FileTabs->tabRect(1).center();
    Answers = {IDCANCEL};
    QTest::mouseClick(Form->FileTabs, Qt::MiddleButton, Qt::NoModifier, middleOfB);
    Flush();
    EXPECT_EQ(QuestionTexts(), std::vector<std::string>{"Save changes to " + Work("b.php") + " ?"});
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"a.php", "b.php*", "c.php"}));

    QTest::mouseClick(Form->FileTabs, Qt::MiddleButton, Qt::NoModifier, Form->FileTabs->tabRect(2).center());
    Flush();
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"a.php", "b.php*"}));
}

TEST_F(MainFormTest, TheMenuBarStaysStillWhileADocumentIsMaximised)
{
    Start();
    QMenuBar* bar = Form->menuBar();
    const QList<QAction*> menus = bar->actions();
    ASSERT_FALSE(menus.isEmpty());
    std::vector<QRect> before;
    for (QAction* menu : menus)
        before.push_back(bar->actionGeometry(menu));

    TCodeEditorForm* document = Open(WriteWork("a.php", ""));
    Open(WriteWork("b.php", ""));
    Form->BringDocumentToFront(document);
    Flush();
    EXPECT_TRUE(document->isMaximized());
    for (Qt::Corner corner : {Qt::TopLeftCorner, Qt::TopRightCorner}) {
        const QWidget* put = bar->cornerWidget(corner);
        EXPECT_TRUE(!put || !put->isVisible()) << "no window icon or buttons in the menu bar";
    }
    for (int i = 0; i < menus.size(); ++i)
        EXPECT_EQ(bar->actionGeometry(menus[i]), before[size_t(i)]) << menus[i]->text().toStdString();
    EXPECT_EQ(document->widget()->geometry(), document->rect()) << "the editor fills the window";
}

TEST_F(MainFormTest, AProjectInTheProgramsOwnFolderMovesToTheUsersCopyWithItsFiles)
{
    // An earlier version kept the default project beside the program, and the user saved there.
    Dir.Write("program/project/mine.php", "<?php echo 'mine';");
    const TGUID project = CreateGUID();
    ForceDirectories(UserFile(""));
    TIniFileEx(UserFile("projects.dat")).WriteString(ProjectSection(project), "LocalPath", ProgramFolder() + "project/");
    Start();
    EXPECT_EQ(ProjectFolder, UserProjectFolder());
    Form->CurrentProject->OpenProject(project);
    EXPECT_EQ(Form->CurrentProject->DocumentRoot(), UserProjectFolder());
    EXPECT_EQ(ReadWholeFile(UserProjectFolder() + "mine.php"), "<?php echo 'mine';");
    EXPECT_EQ(Form->ProjectLocalPath(), UserProjectFolder()) << "new files are proposed there";
}
