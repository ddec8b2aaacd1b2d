// Backup copies and run copies live under predictable names, also in folders other users can
// write: whatever is planted under such a name is replaced or refused, never written through,
// and an empty backup folder setting keeps backups in the user's own folder.

#include "src/run/ShellTestSupport.h"

#include "projects/zuCurrentProject.h"

#include "Platform/files/FileNames.h"

#include <functional>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct OwnCopies : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        Victim = Dir.Write("victim.txt", "victim");
        ::chmod(Victim.c_str(), 0666);
    }
    // A modified document over a new file in the work folder.
    TCodeEditorForm* OpenModified(const std::string& name, const std::string& bytes)
    {
        TCodeEditorForm* document = Open(WriteWork(name, bytes));
        Type("!");
        return document;
    }
    // Plants what another user could leave under `name`.
    void Plant(const std::string& what, const std::string& name) const
    {
        if (what == "link") {
            ASSERT_EQ(::symlink(Victim.c_str(), name.c_str()), 0);
        } else if (what == "link to a new file") {
            ASSERT_EQ(::symlink(Dir.File("planted.txt").c_str(), name.c_str()), 0);
        } else {
            ASSERT_EQ(::link(Victim.c_str(), name.c_str()), 0);
        }
        if (::geteuid() == 0)
            ::lchown(name.c_str(), 65534, 65534);
    }
    void ExpectNothingWrittenThrough() const
    {
        EXPECT_EQ(ReadWholeFile(Victim), "victim");
        EXPECT_FALSE(FileExists(Dir.File("planted.txt")));
    }
    static bool PlainFile(const std::string& name)
    {
        struct stat st {};
        return ::lstat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1;
    }

    std::string Victim;
};

const std::vector<std::string> Planted = {"link", "link to a new file", "hard link"};

} // namespace

TEST_F(OwnCopies, ABackupNeverWritesThroughWhatIsPlantedUnderItsName)
{
    Dir.Write("shared/.keep", "");
    ASSERT_EQ(::chmod(Dir.File("shared").c_str(), 01777), 0);
    struct Case {
        const char* Folder; // LocalBackupPath; "" keeps the backup beside the file
        const char* Backup;
    };
    Start();
    int n = 0;
    for (const Case& c : {Case{"shared", "shared/"}, Case{"", "work/"}}) {
        for (const std::string& what : Planted) {
            SCOPED_TRACE(what + " in " + c.Backup);
            const std::string file = "page" + std::to_string(n++);
            Setting("Backup", "BackupLocalFiles", "1");
            Setting("Backup", "UseBackupPath", *c.Folder ? "1" : "0");
            Setting("Backup", "LocalBackupPath", *c.Folder ? Dir.File(c.Folder) : "");
            const std::string backup = Dir.File(std::string(c.Backup) + file + ".~php");
            Plant(what, backup);

            TCodeEditorForm* document = OpenModified(file + ".php", "old");
            ASSERT_TRUE(document->SaveDocument(false));
            EXPECT_EQ(ReadWholeFile(Work(file + ".php")), "!old") << "the save itself goes on";
            ExpectNothingWrittenThrough();
            if (::geteuid() == 0 || !*c.Folder) {
                // One may replace what is in one's own folder (and root anywhere).
                EXPECT_TRUE(PlainFile(backup));
                EXPECT_EQ(ReadWholeFile(backup), "old");
            }
            Close(document);
        }
    }
}

TEST_F(OwnCopies, ARunCopyNeverWritesThroughWhatIsPlantedUnderItsName)
{
    Start();
    int n = 0;
    for (const std::string& what : Planted) {
        SCOPED_TRACE(what);
        const std::string file = "run" + std::to_string(n++);
        const std::string copy = Work(file + "~znt~.php");
        Plant(what, copy);
        OpenModified(file + ".php", "<?php ?>");
        EXPECT_EQ(Form->ScriptFileForRun(), copy);
        ExpectNothingWrittenThrough();
        EXPECT_TRUE(PlainFile(copy));
        EXPECT_EQ(ReadWholeFile(copy), "!<?php ?>");
    }

    // A new document's copy in the document root.
    Dir.Write("www/.keep", "");
    Form->CurrentProject->SetLocalPath(Dir.File("www"));
    const std::string untitled = Dir.File("www/Untitled0~znt~.php");
    Plant("link", untitled);
    Form->OpenFile(Dir.File("program/template/PHP Page.php"), true, 0);
    EXPECT_EQ(Form->ScriptFileForRun(), untitled);
    ExpectNothingWrittenThrough();
    EXPECT_TRUE(PlainFile(untitled));
}

TEST_F(OwnCopies, AnEmptyBackupFolderSettingKeepsBackupsInTheUsersOwnFolder)
{
    Setting("Backup", "BackupLocalFiles", "1");
    Setting("Backup", "UseBackupPath", "1");
    Setting("Backup", "LocalBackupPath", "");
    Start();
    const std::string name = "zentu-backup-" + std::to_string(::getpid());
    const std::string file = WriteWork(name + ".php", "secret");
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    TCodeEditorForm* document = Open(file);
    Type("!");
    ASSERT_TRUE(document->SaveDocument(false));

    const std::string backup = UserFile("backup/" + name + ".~php");
    EXPECT_EQ(ReadWholeFile(backup), "secret");
    EXPECT_FALSE(FileExists("/tmp/" + name + ".~php"));
    struct stat st {};
    ASSERT_EQ(::stat(UserFile("backup").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "the backup folder is the user's alone";
    ASSERT_EQ(::stat(backup.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "a backup is as private as its file";
}
