// Memory and file streams.

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

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
