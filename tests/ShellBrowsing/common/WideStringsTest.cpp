#include "ShellBrowsing/Source/common/WideFileStream.h"
#include "ShellBrowsing/Source/common/WideStringList.h"
#include "ShellBrowsing/Source/common/WideStrings.h"

#include "ShellBrowsing/ShellTestSupport.h"

#include "Platform/files/Streams.h"

#include <fstream>

namespace {

QString Units(std::initializer_list<char16_t> units)
{
    QString s;
    for (char16_t u : units)
        s += QChar(u);
    return s;
}

class TWideFiles : public TShellTest {};

} // namespace

TEST(WideStrings, CodePointOrderPutsSurrogatePairsAfterTheLastBmpCharacter)
{
    const QString ffff = Units({0xFFFF});
    const QString pair = QString::fromUcs4(U"\U00010000");
    const QString privateUse = Units({0xE000});
    EXPECT_LT(WideCompareCodePoint(ffff, pair), 0);
    EXPECT_LT(WideCompareCodePoint(privateUse, pair), 0);
    // A plain UTF-16 comparison would put the pair (D800...) before U+E000.
    EXPECT_GT(QString::compare(privateUse, pair), 0);
    EXPECT_EQ(WideCompareCodePoint(QStringLiteral("abc"), QStringLiteral("abc")), 0);
    EXPECT_LT(WideCompareCodePoint(QStringLiteral("ab"), QStringLiteral("abc")), 0);
    EXPECT_GT(WideCompareCodePoint(QStringLiteral("b"), QStringLiteral("abc")), 0);
    EXPECT_EQ(WideCompareCodePoint(QStringLiteral("a"), QStringLiteral("B")), 'a' - 'B');
}

TEST(WideStrings, SearchCaseAndByteSwap)
{
    EXPECT_EQ(StrPosW(QStringLiteral("hello"), QStringLiteral("ll")), 2);
    EXPECT_EQ(StrPosW(QStringLiteral("hello"), QString()), -1);
    EXPECT_EQ(StrPosW(QStringLiteral("he"), QStringLiteral("hello")), -1);
    EXPECT_EQ(StrScanW(QStringLiteral("a/b/c"), u'/'), 1);
    EXPECT_EQ(StrRScanW(QStringLiteral("a/b/c"), u'/'), 3);
    EXPECT_EQ(WideStrLength(Units({'a', 'b', 0, 'c'})), 2);
    EXPECT_EQ(WideCompareText(QStringLiteral("ÄBC"), QStringLiteral("äbc")), 0);
    QString swapped = Units({0x0041, 0x1234, 0, 0x0042});
    ByteSwapW(swapped);
    EXPECT_EQ(swapped, Units({0x4100, 0x3412, 0, 0x0042}));
}

TEST(WideStrings, LinuxPathParts)
{
    const struct {
        const char* Path;
        const char* Ext;
        const char* Dir;
    } cases[] = {
        {"/home/u/readme.xyz", ".xyz", "/home/u"},
        {"/home/u.d/readme", "", "/home/u.d"},
        {"/file", "", "/"},
        {"archive.tar.gz", ".gz", ""},
        {"/a/.hidden", ".hidden", "/a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFileExtW(QString::fromUtf8(c.Path)), QString::fromUtf8(c.Ext)) << c.Path;
        EXPECT_EQ(WideExtractFileDir(QString::fromUtf8(c.Path)), QString::fromUtf8(c.Dir)) << c.Path;
    }
    EXPECT_EQ(WideIncludeTrailingBackslash(QStringLiteral("/a")), QStringLiteral("/a/"));
    EXPECT_EQ(WideIncludeTrailingBackslash(QStringLiteral("/a/")), QStringLiteral("/a/"));
    EXPECT_EQ(WideStripTrailingBackslash(QStringLiteral("/a/")), QStringLiteral("/a"));
    EXPECT_EQ(WideStripTrailingBackslash(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(WideStripTrailingBackslash(QStringLiteral("/"), true), QString());
    EXPECT_TRUE(WideIsDrive(QStringLiteral("/")));
    EXPECT_FALSE(WideIsDrive(QStringLiteral("/home")));
    EXPECT_TRUE(WideIsPathDelimiter(QStringLiteral("a/b"), 2));
    EXPECT_FALSE(WideIsPathDelimiter(QStringLiteral("a/b"), 4));
    EXPECT_EQ(WideExtractFileDrive(QStringLiteral("/home")), QString());
}

TEST(WideStrings, NumbersUseDigitGrouping)
{
    EXPECT_EQ(FormatNumberW(5000000000LL), QStringLiteral("5,000,000,000"));
    EXPECT_EQ(FormatNumberW(999), QStringLiteral("999"));
    EXPECT_EQ(IntToStrW(-42), QStringLiteral("-42"));
}

TEST_F(TWideFiles, UniqueDirNameCountsPastTakenNames)
{
    const QString dir = QString::fromStdString(Dir());
    EXPECT_EQ(UniqueDirName(dir), dir + QStringLiteral("/New Folder"));
    MakeDir("x");
    MakeDir("x (1)");
    EXPECT_EQ(UniqueDirName(dir + u'/', QStringLiteral("x")), dir + QStringLiteral("/x (2)"));
    MakeFile("y");
    for (int n = 1; n <= 20; ++n)
        MakeFile("y (" + std::to_string(n) + ")");
    EXPECT_EQ(UniqueDirName(dir, QStringLiteral("y")), QString());
}

TEST_F(TWideFiles, ExistenceAndFolderCreation)
{
    MakeFile("f");
    MakeLink("broken", PathOf("gone"));
    const QString dir = QString::fromStdString(Dir());
    EXPECT_TRUE(WideFileExists(dir + QStringLiteral("/f")));
    EXPECT_TRUE(WideFileExists(dir + QStringLiteral("/broken")));
    EXPECT_FALSE(WideDirectoryExists(dir + QStringLiteral("/f")));
    EXPECT_TRUE(WideCreateDir(dir + QStringLiteral("/made")));
    EXPECT_TRUE(WideDirectoryExists(dir + QStringLiteral("/made")));
    EXPECT_FALSE(WideCreateDir(dir + QStringLiteral("/made")));
    EXPECT_FALSE(WideCreateDir(dir + QStringLiteral("/no/such/parent")));
    EXPECT_TRUE(DiskInDrive(QStringLiteral("/")));
}

TEST(WideStringList, SortedListFindsWithoutRegardToCase)
{
    TWideStringList list;
    list.SetSorted(true);
    list.Add(QStringLiteral("beta"));
    list.Add(QStringLiteral("Alpha"));
    EXPECT_EQ(list.Add(QStringLiteral("ALPHA")), 0);
    EXPECT_EQ(list.Count(), 2);
    list.Duplicates = TDuplicates::dupError;
    EXPECT_THROW(list.Add(QStringLiteral("BETA")), EStringListError);
    EXPECT_EQ(list.Count(), 2);
    list.Duplicates = TDuplicates::dupAccept;
    list.Add(QStringLiteral("alpha"));
    list.Add(QStringLiteral("ALPHA"));
    int index = -1;
    EXPECT_TRUE(list.Find(QStringLiteral("aLpHa"), index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(list.Find(QStringLiteral("gamma"), index));
    EXPECT_EQ(index, list.Count());
    EXPECT_EQ(list.IndexOf(QStringLiteral("Beta")), 3);
    EXPECT_THROW(list.Insert(0, QStringLiteral("x")), EStringListError);
    EXPECT_THROW(list.Put(0, QStringLiteral("x")), EStringListError);
}

TEST(WideStringList, IndexErrorsLeaveTheListUnchanged)
{
    TWideStringList list;
    list.Add(QStringLiteral("a"));
    try {
        list.Delete(3);
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (3)");
    }
    EXPECT_THROW(list.SetCapacity(0), EStringListError);
    EXPECT_THROW(list.Insert(2, QStringLiteral("b")), EStringListError);
    list.Insert(1, QStringLiteral("b"));
    EXPECT_EQ(list.Text(), QStringLiteral("a\r\nb\r\n"));
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.Exchange(0, 1);
    EXPECT_EQ(list[0], QStringLiteral("b"));
    EXPECT_EQ(changes, 1);
}

TEST(WideStringList, TextSplitsAtEveryKindOfLineBreak)
{
    TWideStringList list;
    list.SetText(QStringLiteral("a\r\nb\rc\nd") + QChar(0x0B) + u'e' + QChar(0x0C) + u'f' + QChar(0x2028) + u'g'
                 + QChar(0x2029) + u'h');
    ASSERT_EQ(list.Count(), 8);
    EXPECT_EQ(list[7], QStringLiteral("h"));
    list.SetText(QStringLiteral("x\r\n\r\n"));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list[1], QString());
}

TEST(WideStringList, OwnedObjectsAreFreedOnDelete)
{
    struct TCounted : TObject {
        explicit TCounted(int& alive) : Alive(alive) { ++Alive; }
        ~TCounted() override { --Alive; }
        int& Alive;
    };
    int alive = 0;
    {
        TWideStringList list;
        list.OwnsObjects = true;
        list.AddObject(QStringLiteral("a"), new TCounted(alive));
        list.AddObject(QStringLiteral("b"), new TCounted(alive));
        list.Delete(0);
        EXPECT_EQ(alive, 1);
    }
    EXPECT_EQ(alive, 0);
}

TEST(WideStringList, AssignsToAndFromEightBitLists)
{
    TStringList narrow;
    narrow.Add("caf\xC3\xA9");
    narrow.Add("b");
    TWideStringList wide;
    wide.Assign(narrow);
    EXPECT_EQ(wide[0], QStringLiteral("café"));
    TStringList back;
    back.Assign(wide);
    EXPECT_EQ(back.Text(), narrow.Text());
}

TEST_F(TWideFiles, FilesLoadByTheirByteOrderMark)
{
    const std::string le("\xFF\xFE" "a\0\r\0\n\0b\0", 10);
    const std::string be("\xFE\xFF" "\0a\0\r\0\n\0b", 10);
    const std::string plain("a\nb\n");
    for (const std::string& bytes : {le, be, plain}) {
        const std::string path = MakeFile("list.txt", bytes);
        TWideStringList list;
        list.LoadFromFile(QString::fromStdString(path));
        ASSERT_EQ(list.Count(), 2) << bytes.size();
        EXPECT_EQ(list[0], QStringLiteral("a"));
        EXPECT_EQ(list[1], QStringLiteral("b"));
    }
}

TEST_F(TWideFiles, SavedFileStartsWithTheMarkAndEndsWithALineBreak)
{
    TWideStringList list;
    list.Add(QStringLiteral("x"));
    list.Add(QString::fromUcs4(U"\U0001F600"));
    const QString path = QString::fromStdString(PathOf("saved.txt"));
    list.SaveToFile(path);
    std::ifstream in(path.toStdString(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\r\0\n\0", 4));
    TWideStringList back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.Text(), list.Text());
}

TEST_F(TWideFiles, StreamErrorsNameTheFile)
{
    const QString missing = QString::fromStdString(PathOf("missing"));
    try {
        TWideFileStream stream(missing, fmOpenRead);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + PathOf("missing"));
    }
    TWideStringList list;
    EXPECT_THROW(list.LoadFromFile(missing), EOSError);
    TWideFileStream created(missing, 0xFFFF);
    created.WriteString("abc");
    EXPECT_EQ(created.Size(), 3);
}
