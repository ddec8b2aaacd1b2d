// Saving files: the target replaced only on commit and kept as the same file (mode, owner,
// group, hard and symbolic links), in-place writes that never lose the old bytes, no room or
// inodes, set-ID bits, and files the program makes for itself under predictable names.

#include "Platform/core/Exceptions.h"
#include "Platform/files/FileNames.h"
#include "Platform/files/FileTestSupport.h"
#include "Platform/files/SafeFileStream.h"

#include <gtest/gtest.h>

#include <QDir>
#include <functional>

namespace {

struct stat StatOf(const std::string& name)
{
    struct stat st {};
    EXPECT_EQ(::lstat(name.c_str(), &st), 0) << name;
    return st;
}

int EntryCount(const std::string& folder)
{
    return static_cast<int>(QDir(QString::fromStdString(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size());
}

// A temporary folder that other users may enter (a fresh one is for its owner alone).
struct OpenDir : TempDir {
    OpenDir() { ::chmod(Path().c_str(), 0755); }
};

void ExpectSaveFails(const std::string& name, std::string_view bytes)
{
    try {
        SaveFileAtomically(name, bytes);
        ADD_FAILURE() << "the save of " << name << " did not fail";
    } catch (const EStreamError& e) {
        EXPECT_NE(std::string(e.what()), "") << "the error says what failed";
    }
}

} // namespace

TEST(SafeFileStream, ReplacesTheTargetOnlyOnCommit)
{
    TempDir dir;
    const std::string name = dir.Write("doc.php", "original");
    {
        TSafeFileStream s(name);
        s.WriteString("half-written");
        // No commit: an error or a crash before this point leaves the original.
    }
    EXPECT_EQ(ReadWholeFile(name), "original");
    {
        TSafeFileStream s(name);
        s.WriteString("new content");
        s.Commit();
    }
    EXPECT_EQ(ReadWholeFile(name), "new content");
    // No temporary file is left behind.
    EXPECT_EQ(QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(SafeFileStream, AReaderOfTheOldFileKeepsSeeingItWhole)
{
    TempDir dir;
    const std::string name = dir.Write("page.php", "old bytes");
    const int reader = ::open(name.c_str(), O_RDONLY);
    ASSERT_GE(reader, 0);
    SaveFileAtomically(name, "new and longer bytes");
    char buffer[64] = {};
    const ssize_t n = ::pread(reader, buffer, sizeof buffer, 0);
    ::close(reader);
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(std::max<ssize_t>(n, 0))), "old bytes");
    EXPECT_EQ(ReadWholeFile(name), "new and longer bytes");
}

TEST(SafeFileStream, KeepsThePermissionsOfTheTarget)
{
    TempDir dir;
    const std::string name = dir.Write("script.sh", "#!/bin/sh\n");
    ASSERT_EQ(::chmod(name.c_str(), 0750), 0);
    SaveFileAtomically(name, "#!/bin/sh\necho hi\n");
    struct stat st {};
    ASSERT_EQ(::stat(name.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0750u);
    EXPECT_EQ(ReadWholeFile(name), "#!/bin/sh\necho hi\n");
}

TEST(SafeFileStream, ANewFileGetsThePermissionsOfAPlainCreate)
{
    TempDir dir;
    const mode_t mask = ::umask(022);
    SaveFileAtomically(dir.File("new.php"), "x");
    ::umask(mask);
    EXPECT_EQ(StatOf(dir.File("new.php")).st_mode & 07777, 0644u);
}

TEST(SafeFileStream, SymbolicLinksStayLinksAndTheFileTheyLeadToIsSaved)
{
    struct Case {
        const char* What;
        std::vector<std::pair<const char*, const char*>> Links; // name, where it points
        const char* Saved;                                      // the name the save is given
        const char* Written;                                    // the file that gets the bytes
    };
    const std::vector<Case> cases = {
        {"a link", {{"link.php", "real/doc.php"}}, "link.php", "real/doc.php"},
        {"a link to a link", {{"one.php", "two.php"}, {"two.php", "real/doc.php"}}, "one.php", "real/doc.php"},
        {"a link given by its full path", {{"abs.php", "@real/doc.php"}}, "abs.php", "real/doc.php"},
        {"a link to a file not made yet", {{"ahead.php", "real/later.php"}}, "ahead.php", "real/later.php"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TempDir dir;
        dir.Write("real/doc.php", "old");
        for (const auto& [name, target] : c.Links) {
            const std::string to = target[0] == '@' ? dir.File(target + 1) : target;
            ASSERT_EQ(::symlink(to.c_str(), dir.File(name).c_str()), 0);
        }
        SaveFileAtomically(dir.File(c.Saved), "new");
        EXPECT_EQ(ReadWholeFile(dir.File(c.Written)), "new");
        for (const auto& link : c.Links)
            EXPECT_TRUE(S_ISLNK(StatOf(dir.File(link.first)).st_mode)) << link.first << " is still a link";
        EXPECT_EQ(EntryCount(dir.File("real")), FileExists(dir.File("real/later.php")) ? 2 : 1) << "no temporary file left";
    }
}

TEST(SafeFileStream, FailsCleanlyWhenNothingCanBeWritten)
{
    TempDir dir;
    EXPECT_THROW(SaveFileAtomically(dir.File("no/such/dir/file.txt"), "x"), EFCreateError);
    dir.Write("folder/inside.txt", "x");
    EXPECT_THROW(SaveFileAtomically(dir.File("folder"), "x"), EFCreateError);
    EXPECT_EQ(ReadWholeFile(dir.File("folder/inside.txt")), "x");
}

TEST(SafeFileStream, KeepsOwnerGroupModeAndHardLinksOfTheFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving files to another user needs root";
    struct Case {
        const char* What;
        uid_t Owner;
        gid_t Group;
        mode_t Mode;
        bool HardLink;
    };
    const std::vector<Case> cases = {
        {"a web server's file", 33, 33, 0640, false},
        {"a file of another user with a group of its own", OtherUser, 33, 0664, false},
        {"a set-user-ID file whose owner is kept", OtherUser, OtherGroup, 04755, false},
        {"a set-group-ID file whose group is kept", OtherUser, OtherGroup, 02755, false},
        {"a file with a second hard link", 0, 0, 0644, true},
        {"another user's file with a second hard link", 33, 33, 0600, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TempDir dir;
        const std::string name = dir.Write("site/index.php", "old");
        const std::string second = dir.File("site/index-link.php");
        ASSERT_EQ(::chown(name.c_str(), c.Owner, c.Group), 0);
        ASSERT_EQ(::chmod(name.c_str(), c.Mode), 0);
        if (c.HardLink) {
            ASSERT_EQ(::link(name.c_str(), second.c_str()), 0);
        }
        const struct stat before = StatOf(name);

        SaveFileAtomically(name, "new text");
        const struct stat after = StatOf(name);
        EXPECT_EQ(ReadWholeFile(name), "new text");
        EXPECT_EQ(after.st_uid, c.Owner);
        EXPECT_EQ(after.st_gid, c.Group);
        EXPECT_EQ(after.st_mode & 07777, c.Mode);
        if (c.HardLink) {
            EXPECT_EQ(after.st_ino, before.st_ino) << "the same file, written in place";
            EXPECT_EQ(after.st_nlink, 2u);
            EXPECT_EQ(ReadWholeFile(second), "new text");
        }
        EXPECT_EQ(EntryCount(dir.File("site")), c.HardLink ? 2 : 1) << "no temporary file left";
    }
}

// What another user's save leaves: the file itself when it may write it but not hand it over,
// else a file of its own, without set-ID bits that were meant for the old owner.
TEST(SafeFileStream, ASaveByAnotherUserKeepsTheFileOrDropsItsSetIdBits)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as a second user needs root";
    struct Case {
        const char* What;
        mode_t Mode; // of root's file in a folder anybody may write
        bool SameFile;
        uid_t Owner;
        mode_t ModeAfter;
    };
    const std::vector<Case> cases = {
        {"root's file the other user may write: written in place", 0666, true, 0, 0666},
        {"root's set-user-ID file the other user may not write: replaced", 04755, false, OtherUser, 0755},
        {"root's set-group-ID file the other user may not write: replaced", 02755, false, OtherUser, 0755},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        OpenDir dir;
        const std::string name = dir.Write("shared/tool.php", "old");
        ASSERT_EQ(::chmod(dir.File("shared").c_str(), 0777), 0);
        ASSERT_EQ(::chmod(name.c_str(), c.Mode), 0);
        const struct stat before = StatOf(name);
        {
            const TActAsOtherUser other;
            if (!other.Active())
                GTEST_SKIP() << "the user id cannot be changed here";
            SaveFileAtomically(name, "new text");
        }
        const struct stat after = StatOf(name);
        EXPECT_EQ(ReadWholeFile(name), "new text");
        EXPECT_EQ(after.st_ino == before.st_ino, c.SameFile);
        EXPECT_EQ(after.st_uid, c.Owner);
        EXPECT_EQ(after.st_mode & 07777, c.ModeAfter);
    }
}

TEST(SafeFileStream, WritesInPlaceWhenTheFolderRefusesNewFiles)
{
    OpenDir dir;
    const std::string name = dir.Write("locked/file.txt", "old text");
    const std::string folder = dir.File("locked");
    const bool root = ::geteuid() == 0;
    if (root) {
        // why: root may make files in any folder; another user may not.
        ASSERT_EQ(::chown(name.c_str(), OtherUser, OtherGroup), 0);
    } else {
        ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    }
    const ino_t before = StatOf(name).st_ino;
    {
        const TActAsOtherUser other;
        if (root && !other.Active())
            GTEST_SKIP() << "the user id cannot be changed here";
        SaveFileAtomically(name, "new");
    }
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(ReadWholeFile(name), "new") << "cut to the new length";
    EXPECT_EQ(StatOf(name).st_ino, before);
}

// The old bytes survive every save that runs out of room or inodes.
TEST(SafeFileStream, NoRoomOrNoInodesLeavesTheFileAsItWas)
{
    const std::string oldBytes(100000, 'o');
    const std::string newBytes(120000, 'n');
    struct Case {
        const char* What;
        bool NoInodes;
        bool HardLink;
        bool FolderRefuses; // the save is made by another user in a folder that is not theirs
    };
    const std::vector<Case> cases = {
        {"no inodes left and no room", true, false, false},
        {"no room for the temporary file", false, false, false},
        {"no room for a file with a second hard link", false, true, false},
        {"a folder that refuses new files and no room to grow", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        const TSmallFileSystem disk(1 << 20, 64);
        if (disk.Path().empty())
            GTEST_SKIP() << "a small file system cannot be mounted here (needs root)";
        const std::string folder = disk.File("site");
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
        const std::string name = disk.File("site/big.php");
        SaveFileAtomically(name, oldBytes);
        if (c.HardLink) {
            ASSERT_EQ(::link(name.c_str(), disk.File("site/big-link.php").c_str()), 0);
        }
        if (c.FolderRefuses) {
            ASSERT_EQ(::chown(name.c_str(), OtherUser, OtherGroup), 0);
        }
        disk.FillBut(0);
        if (c.NoInodes)
            disk.UseAllInodes();

        if (c.FolderRefuses) {
            const TActAsOtherUser other;
            if (!other.Active())
                GTEST_SKIP() << "the user id cannot be changed here";
            ExpectSaveFails(name, newBytes);
        } else {
            ExpectSaveFails(name, newBytes);
        }
        EXPECT_TRUE(ReadWholeFile(name) == oldBytes) << "the old bytes are kept exactly";
        EXPECT_EQ(EntryCount(folder), c.HardLink ? 2 : 1) << "no temporary file left";
    }
}

TEST(SafeFileStream, AHardLinkedFileIsWrittenInPlaceWhenTheNewBytesFit)
{
    const TSmallFileSystem disk(1 << 20, 64);
    if (disk.Path().empty())
        GTEST_SKIP() << "a small file system cannot be mounted here (needs root)";
    const std::string name = disk.File("a.php");
    const std::string second = disk.File("b.php");
    SaveFileAtomically(name, std::string(100000, 'o'));
    ASSERT_EQ(::link(name.c_str(), second.c_str()), 0);
    // Room for the temporary copy, which is given back before the file grows into it.
    disk.FillBut(40 * 4096);
    const std::string newBytes(130000, 'n');
    SaveFileAtomically(name, newBytes);
    EXPECT_TRUE(ReadWholeFile(second) == newBytes);
    EXPECT_EQ(StatOf(name).st_nlink, 2u);
}

// ---- files the program makes for itself

TEST(SaveOwnFile, ReplacesWhateverIsFoundUnderTheNameWithoutWritingThroughIt)
{
    struct Case {
        const char* What;
        std::function<void(const TempDir& dir, const std::string& name)> Plant;
    };
    const std::vector<Case> cases = {
        {"a link to another file",
         [](const TempDir& dir, const std::string& name) { ASSERT_EQ(::symlink(dir.File("victim.txt").c_str(), name.c_str()), 0); }},
        {"a link to a file not made yet",
         [](const TempDir& dir, const std::string& name) { ASSERT_EQ(::symlink(dir.File("planted.txt").c_str(), name.c_str()), 0); }},
        {"a hard link to another file",
         [](const TempDir& dir, const std::string& name) { ASSERT_EQ(::link(dir.File("victim.txt").c_str(), name.c_str()), 0); }},
        {"another user's file open to everybody",
         [](const TempDir& dir, const std::string& name) {
             dir.Write("backups/index.~php", "theirs");
             ::chmod(name.c_str(), 0666);
             if (::geteuid() == 0) {
                 ASSERT_EQ(::chown(name.c_str(), OtherUser, OtherGroup), 0);
             }
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TempDir dir;
        dir.Write("victim.txt", "victim");
        dir.Write("backups/.keep", "");
        const std::string name = dir.File("backups/index.~php");
        c.Plant(dir, name);

        SaveOwnFile(name, "the backup", 0600);
        EXPECT_EQ(ReadWholeFile(dir.File("victim.txt")), "victim");
        EXPECT_FALSE(FileExists(dir.File("planted.txt")));
        const struct stat st = StatOf(name);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(st.st_nlink, 1u);
        EXPECT_EQ(st.st_uid, ::geteuid());
        EXPECT_EQ(st.st_mode & 07777, 0600u);
        EXPECT_EQ(ReadWholeFile(name), "the backup");
        EXPECT_EQ(EntryCount(dir.File("backups")), 2) << "no temporary file left";
    }
}

TEST(SaveOwnFile, InASharedFolderALinkOfAnotherUserIsRefusedNotFollowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as a second user needs root";
    OpenDir dir;
    const std::string victim = dir.Write("victim.txt", "victim");
    ASSERT_EQ(::chmod(victim.c_str(), 0666), 0) << "writing through the link would succeed";
    dir.Write("shared/.keep", "");
    ASSERT_EQ(::chmod(dir.File("shared").c_str(), 01777), 0);
    const std::string name = dir.File("shared/index.~php");
    ASSERT_EQ(::symlink(victim.c_str(), name.c_str()), 0);
    {
        const TActAsOtherUser other;
        if (!other.Active())
            GTEST_SKIP() << "the user id cannot be changed here";
        EXPECT_THROW(SaveOwnFile(name, "the backup"), EWriteError);
    }
    EXPECT_EQ(ReadWholeFile(victim), "victim");
    EXPECT_TRUE(S_ISLNK(StatOf(name).st_mode));
    EXPECT_EQ(EntryCount(dir.File("shared")), 2) << "no temporary file left";
}

TEST(SaveOwnFile, FailsOnAFolderOfThatNameAndGivesAPlainFileThePlainMode)
{
    TempDir dir;
    dir.Write("copy~znt~.php/inside", "x");
    EXPECT_THROW(SaveOwnFile(dir.File("copy~znt~.php"), "text"), EWriteError);
    EXPECT_EQ(EntryCount(dir.Path()), 1);

    const mode_t mask = ::umask(027);
    SaveOwnFile(dir.File("run~znt~.php"), "text");
    ::umask(mask);
    EXPECT_EQ(StatOf(dir.File("run~znt~.php")).st_mode & 07777, 0640u);
    EXPECT_EQ(FilePermissions(dir.File("run~znt~.php")), 0640u);
    EXPECT_EQ(FilePermissions(dir.File("none.php")), std::nullopt);
}
