// Memory, file and atomic file streams.

#include "Platform/core/Exceptions.h"
#include "Platform/files/SafeFileStream.h"
#include "Platform/files/Streams.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <sys/stat.h>
#include <unistd.h>

TEST(MemoryStream, ReadsWhatWasWrittenAndGrowsOnWrite)
{
    TMemoryStream s;
    s.WriteString("hello");
    EXPECT_EQ(s.Size(), 5);
    s.SetPosition(3);
    s.WriteString("p!!");
    EXPECT_EQ(s.View(), "help!!");
    s.SetPosition(0);
    char buf[4] = {};
    EXPECT_EQ(s.Read(buf, 4), 4);
    EXPECT_EQ(std::string(buf, 4), "help");
    EXPECT_EQ(s.Read(buf, 4), 2); // only what is left
    EXPECT_EQ(s.Read(buf, 4), 0);
    EXPECT_THROW(s.ReadBuffer(buf, 1), EReadError);
}

TEST(MemoryStream, SeekingOutsideTheDataReadsNothing)
{
    TMemoryStream s;
    s.WriteString("abc");
    char c = 0;
    s.Seek(-10, TSeekOrigin::soCurrent);
    EXPECT_EQ(s.Read(&c, 1), 0);
    s.Seek(10, TSeekOrigin::soEnd);
    EXPECT_EQ(s.Read(&c, 1), 0);
    s.SetSize(1);
    EXPECT_EQ(s.View(), "a");
    EXPECT_EQ(s.Position(), 1);
}

TEST(FileStream, CreateWriteReopenRead)
{
    TempDir dir;
    const std::string name = dir.File("data.bin");
    {
        TFileStream out(name, fmCreate);
        out.WriteString(std::string("a\0b\r\n", 5));
    }
    TFileStream in(name, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(in.Size(), 5);
    std::string back(5, ' ');
    in.ReadBuffer(back.data(), 5);
    EXPECT_EQ(back, std::string("a\0b\r\n", 5));
}

TEST(FileStream, OpenAndCreateErrorsNameTheFile)
{
    TempDir dir;
    try {
        TFileStream s(dir.File("missing.txt"), fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot open file \"" + dir.File("missing.txt") + "\""), std::string::npos);
    }
    try {
        TFileStream s(dir.File("no/such/folder/x.txt"), fmCreate);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot create file"), std::string::npos);
    }
    // A folder is not a file.
    EXPECT_THROW(TFileStream(dir.Path(), fmOpenRead), EFOpenError);
}

TEST(FileStream, CopyFromWholeSourceStartsAtItsBeginning)
{
    TMemoryStream source;
    source.WriteString("0123456789");
    TMemoryStream dest;
    EXPECT_EQ(dest.CopyFrom(source, 0), 10);
    EXPECT_EQ(dest.View(), "0123456789");
    source.SetPosition(4);
    TMemoryStream part;
    part.CopyFrom(source, 3);
    EXPECT_EQ(part.View(), "456");
}

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

TEST(SafeFileStream, WritesInPlaceWhenTheFolderRefusesNewFiles)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    TempDir dir;
    const std::string name = dir.Write("locked/file.txt", "old");
    const std::string folder = dir.File("locked");
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    SaveFileAtomically(name, "new");
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(ReadWholeFile(name), "new");
}

TEST(SafeFileStream, SavingThroughASymbolicLinkReplacesTheFileItPointsTo)
{
    TempDir dir;
    const std::string target = dir.Write("real/doc.php", "old");
    const std::string link = dir.File("link.php");
    ASSERT_EQ(::symlink("real/doc.php", link.c_str()), 0);
    SaveFileAtomically(link, "new");
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link is still a link";
    EXPECT_EQ(ReadWholeFile(target), "new");
    EXPECT_EQ(QDir(QString::fromStdString(dir.File("real"))).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(SafeFileStream, FailsCleanlyWhenNothingCanBeWritten)
{
    TempDir dir;
    EXPECT_THROW(SaveFileAtomically(dir.File("no/such/dir/file.txt"), "x"), EFCreateError);
}
