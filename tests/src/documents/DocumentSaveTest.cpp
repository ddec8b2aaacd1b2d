// Saving a document: the file's own line breaks kept under each line-ending setting, backup
// copies, Save As, and new documents that must never be written over a file of the same name
// elsewhere.

#include "src/run/ShellTestSupport.h"

#include "Platform/files/FileNames.h"

#include <QDir>

namespace {

struct DocumentSave : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        Start();
    }
    // Opens the file, appends a line at the end of the text and saves it.
    TCodeEditorForm* EditAndSave(const std::string& path, const std::string& added = "x")
    {
        TCodeEditorForm* document = Open(path);
        TSrcEdit& editor = *document->Editor();
        const int last = editor.Lines().Count();
        editor.SetCaretCoord(MakeBufferCoord(static_cast<int>(editor.Lines().Get(last - 1).size()) + 1, last));
        Type(added);
        EXPECT_TRUE(editor.ContentModified());
        EXPECT_TRUE(document->SaveDocument(false));
        return document;
    }
};

} // namespace

TEST_F(DocumentSave, KeepsTheFilesOwnLineBreaksWhateverTheSetting)
{
    struct Case {
        const char* Mode;
        const char* Original;
        const char* Saved;
    };
    const std::vector<Case> cases = {
        {"0", "a\r\nb\r\n", "a\r\nb\r\nx"},
        {"1", "a\r\nb\r\n", "a\r\nb\r\nx"},
        {"2", "a\nb\n", "a\nb\nx"},
        {"0", "a\rb\r", "a\rb\rx"},
        // Mixed line ends stay mixed.
        {"0", "a\nb\rc\r\n", "a\nb\rc\r\nx"},
        {"1", "a\nb\rc\r\n", "a\nb\rc\r\nx"},
        // No line break after the last line stays so.
        {"1", "one", "onex"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("LineEnding ") + c.Mode + " on " + c.Original);
        Setting("General", "LineEnding", c.Mode);
        const std::string path = WriteWork("f" + std::to_string(n++) + ".php", c.Original);
        TCodeEditorForm* document = EditAndSave(path);
        EXPECT_EQ(ReadWholeFile(path), c.Saved);
        EXPECT_FALSE(document->Editor()->ContentModified());
        Close(document);
    }
}

TEST_F(DocumentSave, WithoutALineEndingSettingANewDocumentGetsLinuxLineBreaks)
{
    // An edit that is taken back still marks the document modified, so the save writes.
    const std::string lf = WriteWork("lf.php", "<?php\necho 1;\n");
    TCodeEditorForm* document = Open(lf);
    Type("x");
    QTest::keyClick(document->Editor(), Qt::Key_Backspace);
    ASSERT_TRUE(document->Editor()->ContentModified());
    ASSERT_TRUE(document->SaveDocument(false));
    EXPECT_EQ(ReadWholeFile(lf), "<?php\necho 1;\n") << "an LF file saved unchanged keeps its bytes";

    // The template has CR LF breaks; the new document takes the setting's.
    TCodeEditorForm* created = Form->OpenFile(Dir.File("program/template/PHP Page.php"), true, 0);
    ASSERT_NE(created, nullptr);
    Type("x");
    AnswerNextFileDialog(Work("new.php"));
    ASSERT_TRUE(created->SaveDocument(false));
    EXPECT_EQ(ReadWholeFile(Work("new.php")), "x<?php\necho 'new';\n?>\n");
}

TEST_F(DocumentSave, BackupCopyHoldsTheFormerBytesBesideTheFile)
{
    Setting("Backup", "BackupLocalFiles", "1");
    Setting("General", "LineEnding", "0");
    const std::string path = WriteWork("index.php", "old\r\n");
    EditAndSave(path, "new");
    EXPECT_EQ(ReadWholeFile(Work("index.~php")), "old\r\n");
    EXPECT_EQ(ReadWholeFile(path), "old\r\nnew");

    // A second save replaces the older backup.
    Type("2");
    ASSERT_TRUE(Form->ActiveEditorForm()->SaveDocument(false));
    EXPECT_EQ(ReadWholeFile(Work("index.~php")), "old\r\nnew");
}

TEST_F(DocumentSave, BackupNamesSplitTheNameAtItsFirstDot)
{
    struct Case {
        const char* File;
        const char* Folder;
        const char* Backup;
    };
    for (const Case& c : std::vector<Case>{{"/site/index.php", "", "/site/index.~php"},
                                           {"/site/jquery.min.js", "", "/site/jquery.~min.js"},
                                           {"/site/Makefile", "", "/site/.~Makefile"},
                                           {"/site/.htaccess", "", "/site/.~htaccess"},
                                           {"/site/index.php", "/backups", "/backups/index.~php"},
                                           {"/site/index.php", "/backups/", "/backups/index.~php"}}) {
        SCOPED_TRACE(c.File);
        EXPECT_EQ(BackupFileName(c.File, c.Folder), c.Backup);
    }
}

TEST_F(DocumentSave, BackupGoesToTheBackupFolderWhenTheSettingsSaySo)
{
    Dir.Write("backups/.keep", "");
    Setting("Backup", "BackupLocalFiles", "1");
    Setting("Backup", "UseBackupPath", "1");
    Setting("Backup", "LocalBackupPath", Dir.File("backups"));
    const std::string path = WriteWork("style.css", "a {}\n");
    EditAndSave(path);
    EXPECT_EQ(ReadWholeFile(Dir.File("backups/style.~css")), "a {}\n");
    EXPECT_FALSE(FileExists(Work("style.~css")));
}

TEST_F(DocumentSave, AForcedBackupIsMadeWithoutTheSettingAndAFailedOneDoesNotStopTheSave)
{
    const std::string path = WriteWork("a.php", "1");
    TCodeEditorForm* document = Open(path);
    Type("2");
    ASSERT_TRUE(document->SaveDocument(true));
    EXPECT_EQ(ReadWholeFile(Work("a.~php")), "1");

    Setting("Backup", "UseBackupPath", "1");
    Setting("Backup", "LocalBackupPath", Dir.File("no/such/folder"));
    Type("3");
    ASSERT_TRUE(document->SaveDocument(true));
    EXPECT_EQ(ReadWholeFile(path), "231");
}

TEST_F(DocumentSave, SavingAnUnchangedDocumentWritesNothing)
{
    Setting("Backup", "BackupLocalFiles", "1");
    const std::string path = WriteWork("same.php", "a\nb\n");
    TCodeEditorForm* document = Open(path);
    ASSERT_TRUE(document->SaveDocument(false));
    EXPECT_EQ(ReadWholeFile(path), "a\nb\n") << "LF kept: nothing was written";
    EXPECT_FALSE(FileExists(Work("same.~php")));
}

TEST_F(DocumentSave, SaveAsWritesTheNewFileAndTheDocumentFollowsIt)
{
    Setting("General", "LineEnding", "1");
    const std::string path = WriteWork("notes.txt", "a\r\nb");
    TCodeEditorForm* document = Open(path);
    EXPECT_EQ(document->Editor()->Highlighter(), nullptr);
    Type("z");
    AnswerNextFileDialog(Work("style.css"));
    ASSERT_TRUE(document->SaveDocumentAs());
    ASSERT_EQ(FileDialogs.size(), 1u);
    EXPECT_EQ(FileDialogs[0].FileName, "notes.txt");
    EXPECT_EQ(FileDialogs[0].InitialDir, Work(""));
    EXPECT_EQ(ReadWholeFile(Work("style.css")), "za\r\nb") << "the file's own line breaks";
    EXPECT_EQ(ReadWholeFile(path), "a\r\nb") << "the old file is left alone";
    EXPECT_EQ(document->FileName(), Work("style.css"));
    EXPECT_EQ(document->Editor()->Highlighter(), reinterpret_cast<TSrcCustomHighlighter*>(Module->CSS));
    EXPECT_EQ(TabTexts(), std::vector<std::string>{"style.css"});
    EXPECT_FALSE(document->Editor()->ContentModified());
    EXPECT_EQ(Form->StatusPanel(3), "CSS");
}

TEST_F(DocumentSave, CancellingSaveAsChangesNothing)
{
    const std::string path = WriteWork("keep.php", "k");
    TCodeEditorForm* document = Open(path);
    Type("1");
    AnswerNextFileDialog("");
    EXPECT_FALSE(document->SaveDocumentAs());
    EXPECT_EQ(document->FileName(), path);
    EXPECT_TRUE(document->Editor()->ContentModified());
    EXPECT_EQ(ReadWholeFile(path), "k");
}

TEST_F(DocumentSave, ANewDocumentNeverWritesOverAFileOfItsNameInTheCurrentFolder)
{
    // The current folder holds a file named like the next untitled document.
    const std::string bystander = WriteWork("Untitled0.php", "precious");
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(Work("")));
    TCodeEditorForm* document = Form->OpenFile(Dir.File("program/template/PHP Page.php"), true, 0);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->FileName(), "Untitled0.php");
    EXPECT_FALSE(document->HasFile());
    Type("x");
    AnswerNextFileDialog("");
    EXPECT_FALSE(document->SaveDocument(false)) << "a new document asks for its name";
    QDir::setCurrent(oldCurrent);
    EXPECT_EQ(ReadWholeFile(bystander), "precious");
    EXPECT_EQ(FileDialogs.size(), 1u);
}

TEST_F(DocumentSave, UndoHistoryIsDroppedAfterASaveOnlyWhenTheSettingSaysSo)
{
    const std::string path = WriteWork("u.php", "");
    TCodeEditorForm* document = Open(path);
    Type("ab");
    ASSERT_TRUE(document->SaveDocument(false));
    EXPECT_TRUE(document->Editor()->UndoAvailable());
    Setting("Editor", "UndoAfterSave", "0");
    Type("c");
    ASSERT_TRUE(document->SaveDocument(false));
    EXPECT_FALSE(document->Editor()->UndoAvailable());
}
