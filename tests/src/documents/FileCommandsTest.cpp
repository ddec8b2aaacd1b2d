// The file commands of the main window: opening (once per file), templates and untitled
// numbering, recent files, Save a Copy, Save As Template, Close All and Close Other, dropped
// files, the reload of files changed by another program and the backup timer.

#include "src/run/ShellTestSupport.h"

#include "documents/zuTemplateForm.h"

#include "Platform/files/FileNames.h"

#include <QFile>
#include <QMenu>
#include <QRegularExpression>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utime.h>

namespace {

struct FileCommands : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
    }
    std::string Text() const { return Form->ActiveEditor()->GetAllText(); }
    // A file-system entry that exists, is no folder, and cannot be read, even by root.
    static int MakeSocketFile(const std::string& path)
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof(address.sun_path) - 1);
        EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        return fd;
    }
    std::vector<std::string> MenuTexts(QMenu& menu) const
    {
        std::vector<std::string> texts;
        for (QAction* action : menu.actions())
            texts.push_back(action->text().toStdString());
        return texts;
    }
};

} // namespace

TEST_F(FileCommands, OpeningAMissingFileOrAFolderSaysSo)
{
    Start();
    for (const std::string& path : {Work("missing.php"), Work("")}) {
        SCOPED_TRACE(path);
        Questions.clear();
        Answers = {IDOK};
        EXPECT_EQ(Form->OpenFile(path, false, 0), nullptr);
        ASSERT_EQ(Questions.size(), 1u);
        EXPECT_EQ(Questions[0].Text, "Document " + path + " not found");
        EXPECT_EQ(Questions[0].Flags, unsigned(MB_OK | MB_ICONWARNING));
    }
    EXPECT_TRUE(Form->Documents().empty());
}

TEST_F(FileCommands, AFileIsOpenOnceHoweverItIsNamed)
{
    Start();
    const std::string path = WriteWork("site/index.php", "<?php echo 1; ?>");
    TCodeEditorForm* first = Open(path);
    Open(WriteWork("other.php", ""));
    ASSERT_EQ(symlink(path.c_str(), Work("link.php").c_str()), 0);
    for (const std::string& name : {path, Work("site/../site/index.php"), Work("link.php")}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Open(name), first);
        EXPECT_EQ(Form->ActiveEditorForm(), first);
    }
    EXPECT_EQ(Form->Documents().size(), 2u);
    // Linux file names differ by letter case: another file, another document.
    WriteWork("site/INDEX.php", "upper");
    EXPECT_NE(Open(Work("site/INDEX.php")), first);
    EXPECT_EQ(Form->Documents().size(), 3u);
}

TEST_F(FileCommands, OpeningAModifiedOpenFileAsksBeforeReloading)
{
    Start();
    const std::string path = WriteWork("a.php", "disk");
    Open(path);
    Type("typed ");
    Answers = {IDNO};
    Open(path);
    EXPECT_EQ(QuestionTexts(), std::vector<std::string>{"Reload File and Lose Changes ?"});
    EXPECT_EQ(Text(), "typed disk");
    Answers = {IDYES};
    Open(path);
    EXPECT_EQ(Text(), "disk");
    EXPECT_FALSE(Form->ActiveEditor()->ContentModified());
    EXPECT_FALSE(Form->ActiveEditor()->UndoAvailable());
}

TEST_F(FileCommands, AFileThatCannotBeReadLeavesNoDocumentAndNoTextBehind)
{
    Start();
    const int socketFd = MakeSocketFile(Work("socket.php"));
    EXPECT_THROW(Form->OpenFile(Work("socket.php"), false, 0), Exception);
    Flush();
    EXPECT_TRUE(Form->Documents().empty()) << "an empty document there could be saved over the file";
    EXPECT_TRUE(TabTexts().empty());
    EXPECT_EQ(Form->DocumentCount, 0);
    EXPECT_TRUE(Form->StatusBarSimple());

    // Reloading a document whose file became unreadable keeps its text.
    const std::string path = WriteWork("a.php", "disk");
    Open(path);
    Type("typed ");
    ASSERT_TRUE(DeleteFile(path));
    const int secondFd = MakeSocketFile(path);
    Answers = {IDYES};
    EXPECT_THROW(Form->ReloadExecute(), Exception);
    EXPECT_EQ(Text(), "typed disk");
    close(socketFd);
    close(secondFd);
}

TEST_F(FileCommands, OpenShowsTheGivenLineAndChoosesTheHighlighter)
{
    Start();
    TCodeEditorForm* document = Form->OpenFile(WriteWork("s.css", "a {}\nb {}\nc {}\n"), false, 2);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->Editor()->CaretLine(), 2);
    EXPECT_EQ(document->MarkedLine(), 2);
    EXPECT_EQ(document->Editor()->Highlighter(), reinterpret_cast<TSrcCustomHighlighter*>(Module->CSS));
    EXPECT_TRUE(document->HasFileTime());
    EXPECT_EQ(document->FileName(), Work("s.css"));
}

TEST_F(FileCommands, NewDocumentsFromATemplateAreNumberedUntilCloseAll)
{
    Start();
    Form->ModalHook = [](QDialog& dialog) {
        auto& form = dynamic_cast<TTemplateForm&>(dialog);
        EXPECT_EQ(form.Captions(), (std::vector<std::string>{"PHP Page", "Style Sheet"}));
        EXPECT_TRUE(form.SelectTemplate("PHP Page"));
        form.OpenClick();
        return int(QDialog::Accepted);
    };
    for (int i = 0; i < 3; ++i)
        Form->acNewFile->Execute();
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"Untitled0.php", "Untitled1.php", "Untitled2.php"}));
    TCodeEditorForm* document = Form->ActiveEditorForm();
    EXPECT_EQ(Text(), "<?php\r\necho 'new';\r\n?>\r\n");
    EXPECT_FALSE(document->HasFileTime());
    EXPECT_FALSE(document->Editor()->ContentModified());
    EXPECT_EQ(document->Editor()->Highlighter(), reinterpret_cast<TSrcCustomHighlighter*>(Module->PHP_HTML_XML_CSS_JS));
    EXPECT_EQ(ReadWholeFile(Dir.File("program/template/PHP Page.php")), "<?php\r\necho 'new';\r\n?>\r\n");

    Form->acCloseAll->Execute();
    Flush();
    EXPECT_TRUE(Form->Documents().empty());
    EXPECT_FALSE(Form->FileTabs->isVisibleTo(Form.get()));
    Form->acNewFile->Execute();
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"Untitled0.php"});
}

TEST_F(FileCommands, TheTemplateListHoldsOnlyVisibleFilesOfTheTemplateFolder)
{
    Dir.Write("program/template/.hidden.php", "h");
    Dir.Write("program/template/sub/inner.php", "i");
    Dir.Write("program/template/A Page.html", "a");
    Start();
    TTemplateForm form;
    EXPECT_EQ(form.Captions(), (std::vector<std::string>{"A Page", "PHP Page", "Style Sheet"}));
    // "&Open" without a selection only closes the dialog.
    form.OpenClick();
    EXPECT_TRUE(Form->Documents().empty());
}

TEST_F(FileCommands, RecentFilesAreReadUpToTheFirstGapAndWrittenAsAtMostSixteen)
{
    Setting("RecentFiles", "0", "/a.php");
    Setting("RecentFiles", "1", "/b.php");
    Setting("RecentFiles", "3", "/d.php");
    Start();
    ASSERT_EQ(Form->RecentFileList.Count(), 2);
    EXPECT_EQ(Form->RecentFileList[1], "/b.php");

    for (int i = 0; i < 20; ++i)
        Form->RecentFileList.Add("/more" + std::to_string(i) + ".php");
    Form->SaveSettings();
    TStringList keys;
    SettingsFile->ReadSection("RecentFiles", keys);
    ASSERT_EQ(keys.Count(), 16);
    EXPECT_EQ(keys[0], "0");
    EXPECT_EQ(keys[15], "15");
    EXPECT_EQ(SettingsFile->ReadString("RecentFiles", "15", ""), "/more13.php");
}

TEST_F(FileCommands, TheRecentMenuIsTrimmedToMaxMRUAndOpensItsEntry)
{
    Setting("General", "MaxMRU", "5");
    Start();
    for (int i = 0; i < 8; ++i)
        Form->RecentFileList.Add(i == 2 ? WriteWork("r&d.php", "rd") : "/r" + std::to_string(i) + ".php");
    QMenu menu;
    Form->BuildRecentMenu(menu);
    EXPECT_EQ(MenuTexts(menu), (std::vector<std::string>{"&0 /r0.php", "&1 /r1.php", "&2 " + Work("r&&d.php"),
                                                         "&3 /r3.php", "&4 /r4.php"}));
    EXPECT_EQ(Form->RecentFileList.Count(), 5) << "the others are dropped for good";

    menu.actions()[2]->trigger();
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"r&d.php"});
    EXPECT_EQ(Form->RecentFileList.IndexOf(Work("r&d.php")), -1);
    Close(Form->ActiveEditorForm());
    EXPECT_EQ(Form->RecentFileList[0], Work("r&d.php"));
}

TEST_F(FileCommands, SaveACopyWritesTheDocumentsBytesBesideItAndLeavesItAsItIs)
{
    Setting("General", "LineEnding", "0");
    Start();
    const std::string path = WriteWork("index.php", "a\nb\rc");
    TCodeEditorForm* document = Open(path);
    Type("x");
    AnswerNextFileDialog(Work("copy.php"));
    Form->acSaveCopy->Execute();
    ASSERT_EQ(FileDialogs.size(), 1u);
    EXPECT_TRUE(QRegularExpression("^index-\\d{8}-\\d{4}\\.php$")
                    .match(QString::fromStdString(FileDialogs[0].FileName))
                    .hasMatch())
        << FileDialogs[0].FileName;
    EXPECT_EQ(FileDialogs[0].InitialDir, Work(""));
    EXPECT_EQ(ReadWholeFile(Work("copy.php")), "xa\nb\rc") << "the file's own line breaks";
    EXPECT_EQ(ReadWholeFile(path), "a\nb\rc");
    EXPECT_EQ(document->FileName(), path);
    EXPECT_TRUE(document->Editor()->ContentModified());
    EXPECT_FALSE(FileExists(Work("index.~php")));
}

TEST_F(FileCommands, SaveAsTemplateChecksTheNameAndAsksBeforeReplacing)
{
    Start();
    Open(WriteWork("page.php", "line1\nline2"));
    std::deque<std::string> names;
    Form->InputBox.ExecuteHook = [&](TInputQuery& query) {
        EXPECT_EQ(query.Caption, "Save As Template");
        EXPECT_EQ(query.Prompt, "Enter a Name for this new Template:");
        if (names.empty())
            return false;
        query.Value = names.front();
        names.pop_front();
        return true;
    };

    // An empty answer asks again; a name without an extension gets ".php".
    names = {"", "Mine"};
    Form->acSaveAsTemplate->Execute();
    EXPECT_EQ(ReadWholeFile(Dir.File("program/template/Mine.php")), "line1\r\nline2");

    names = {"bad/name"};
    Answers = {IDOK};
    Form->acSaveAsTemplate->Execute();
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0].Text, "bad/name is not a valid filename");
    EXPECT_EQ(Questions[0].Flags, unsigned(MB_OK | MB_ICONERROR));

    Type("new");
    names = {"Mine.php"};
    Answers = {IDNO};
    Form->acSaveAsTemplate->Execute();
    EXPECT_EQ(Questions.back().Text, "A template with this name already exists.\r\nDo you wish to overwrite it?");
    EXPECT_EQ(Questions.back().Caption, "Save As Template");
    EXPECT_EQ(ReadWholeFile(Dir.File("program/template/Mine.php")), "line1\r\nline2");
    names = {"Mine.php"};
    Answers = {IDYES};
    Form->acSaveAsTemplate->Execute();
    EXPECT_EQ(ReadWholeFile(Dir.File("program/template/Mine.php")), "newline1\r\nline2");

    names = {};
    Form->acSaveAsTemplate->Execute(); // cancelled: nothing happens
}

TEST_F(FileCommands, CloseAllAsksForEachUnsavedDocumentAndStopsAtCancel)
{
    Start();
    const std::string a = WriteWork("a.php", "a");
    const std::string b = WriteWork("b.php", "b");
    const std::string c = WriteWork("c.php", "c");
    for (const std::string& path : {a, b, c}) {
        Open(path);
        Type("1");
    }
    Form->Tag = 7;
    // From the last to the first: c is saved, b cancels, a is never asked.
    Answers = {IDYES, IDCANCEL};
    Form->acCloseAll->Execute();
    Flush();
    EXPECT_EQ(QuestionTexts(), (std::vector<std::string>{"Save changes to " + c + " ?", "Save changes to " + b + " ?"}));
    EXPECT_EQ(ReadWholeFile(c), "1c");
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"a.php*", "b.php*"}));
    EXPECT_EQ(Form->Tag, 0);

    Answers = {IDNO, IDNO};
    Form->acCloseAll->Execute();
    Flush();
    EXPECT_TRUE(Form->Documents().empty());
    EXPECT_EQ(ReadWholeFile(a), "a");
}

TEST_F(FileCommands, CloseOtherKeepsTheActiveDocument)
{
    Start();
    Open(WriteWork("a.php", "a"));
    TCodeEditorForm* b = Open(WriteWork("b.php", "b"));
    Open(WriteWork("c.php", "c"));
    Form->BringDocumentToFront(b);
    Form->acCloseOther->Execute();
    Flush();
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"b.php"});
}

TEST_F(FileCommands, DroppedFilesOpenInDropOrder)
{
    Start();
    const std::vector<std::string> dropped = {WriteWork("3.php", ""), WriteWork("1.css", ""), WriteWork("2.js", "")};
    Form->DropFiles(dropped);
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"3.php", "1.css", "2.js"}));
    EXPECT_EQ(Form->FileTabs->currentIndex(), 2);

    Answers = {IDOK};
    Form->DropFiles({Work("")});
    EXPECT_EQ(QuestionTexts(), std::vector<std::string>{"Document " + Work("") + " not found"});
}

TEST_F(FileCommands, AFileChangedOnDiskIsReloadedAsTheSettingSays)
{
    Start();
    const std::string path = WriteWork("a.php", "old");
    TCodeEditorForm* document = Open(path);

    // Prompt (the default): No keeps the text, and the same change is not reported again.
    Touch(path, "new", 10);
    Answers = {IDNO};
    Form->ApplicationActivate();
    EXPECT_EQ(QuestionTexts(),
              std::vector<std::string>{path + " has been modified by another application.\r\nDo you want to reload this file ?"});
    EXPECT_EQ(Questions[0].Flags, unsigned(MB_YESNO | MB_ICONINFORMATION));
    EXPECT_EQ(Text(), "old");
    Form->ApplicationActivate();
    EXPECT_EQ(Questions.size(), 1u);

    Touch(path, "newer", 20);
    Answers = {IDYES};
    Form->ApplicationActivate();
    EXPECT_EQ(Text(), "newer");

    // Always reload: also over unsaved changes, without a question.
    Setting("General", "Reload", "1");
    Type("mine ");
    Touch(path, "third", 30);
    Form->ApplicationActivate();
    EXPECT_EQ(Text(), "third");
    EXPECT_FALSE(document->Editor()->ContentModified());

    // Ignore.
    Setting("General", "Reload", "2");
    Touch(path, "fourth", 40);
    Form->ApplicationActivate();
    EXPECT_EQ(Text(), "third");
    EXPECT_EQ(Questions.size(), 2u);
}

TEST_F(FileCommands, AReloadThatFailsWhenTheProgramBecomesActiveIsReportedAndTheOthersGoOn)
{
    Setting("General", "Reload", "1");
    Start();
    const std::string unreadable = WriteWork("a.php", "old a");
    TCodeEditorForm* first = Open(unreadable);
    const std::string changed = WriteWork("b.php", "old b");
    TCodeEditorForm* second = Open(changed);
    ASSERT_TRUE(DeleteFile(unreadable));
    const int socketFd = MakeSocketFile(unreadable);
    struct utimbuf times {};
    times.actime = times.modtime = time(nullptr) + 10;
    ASSERT_EQ(utime(unreadable.c_str(), &times), 0);
    Touch(changed, "new b", 10);

    // The activation arrives as Qt announces it: through the signal, not through an event.
    Answers = {IDOK};
    EXPECT_NO_THROW(emit qApp->applicationStateChanged(Qt::ApplicationActive));
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_NE(Questions[0].Text.find(unreadable), std::string::npos) << Questions[0].Text;
    EXPECT_EQ(Questions[0].Flags, unsigned(MB_OK | MB_ICONERROR));
    EXPECT_EQ(first->Editor()->GetAllText(), "old a");
    EXPECT_EQ(second->Editor()->GetAllText(), "new b");
    close(socketFd);
}

TEST_F(FileCommands, OwnSavesAndUnchangedFilesAreNotReportedAsChanged)
{
    Start();
    const std::string path = WriteWork("a.php", "x");
    Open(path);
    Type("1");
    ASSERT_TRUE(Form->ActiveEditorForm()->SaveDocument(false));
    Form->ApplicationActivate(); // no question expected
    // A new document has no file time and is never checked.
    Form->OpenFile(Dir.File("program/template/PHP Page.php"), true, 0);
    Form->ApplicationActivate();
    EXPECT_TRUE(Questions.empty());
}

TEST_F(FileCommands, BackupTimerRunsAtTheStoredIntervalAndSavesWithBackups)
{
    Setting("Backup", "AutomaticSave", "1");
    Setting("Backup", "SaveInterval", "5");
    Start();
    EXPECT_TRUE(Form->BackupTimer.isActive());
    EXPECT_EQ(Form->BackupTimer.interval(), 300000);

    const std::string path = WriteWork("a.php", "1");
    Open(path);
    Type("2");
    Form->OpenFile(Dir.File("program/template/PHP Page.php"), true, 0);
    Type("untitled");
    Form->BackupTimerTimer(); // the untitled document is skipped: no dialog
    EXPECT_EQ(ReadWholeFile(path), "21");
    EXPECT_EQ(ReadWholeFile(Work("a.~php")), "1");
}

TEST_F(FileCommands, BackupTimerStaysOffWithoutAnInterval)
{
    Setting("Backup", "AutomaticSave", "1");
    Start();
    EXPECT_FALSE(Form->BackupTimer.isActive());
}

TEST_F(FileCommands, OpenFileAtCursorOpensTheNameBesideTheDocument)
{
    Start();
    WriteWork("lib/util.php", "<?php // util");
    Open(WriteWork("index.php", "<?php include 'lib/util.php'; ?>"));
    Form->ActiveEditor()->SetCaretCoord(MakeBufferCoord(20, 1));
    Form->acOpenFileAtCursor->Execute();
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"index.php", "util.php"}));
    EXPECT_EQ(Form->ActiveEditorForm()->FileName(), Work("lib/util.php"));

    // On a word that names no file, nothing happens.
    Form->BringDocumentToFront(Form->Documents()[0]);
    Form->ActiveEditor()->SetCaretCoord(MakeBufferCoord(8, 1));
    Form->acOpenFileAtCursor->Execute();
    EXPECT_EQ(Form->Documents().size(), 2u);
}
