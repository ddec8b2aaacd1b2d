// String routines: byte-exact suffixes, clamped slices, multi-string buffers, splitting and
// joining lists, and writing whole text files.

#include "utility/UclStrings.h"

#include "Platform/text/Strings.h"
#include "support/TempDir.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

std::vector<std::string> Items(const TStrings& strings)
{
    std::vector<std::string> items;
    for (int i = 0; i < strings.Count(); ++i)
        items.push_back(strings.Get(i));
    return items;
}

void Fill(TStrings& strings, const std::vector<std::string>& items)
{
    strings.Clear();
    for (const std::string& item : items)
        strings.Add(item);
}

// A list that refuses one item, to see the update bracket close on an error.
class RefusingList : public TStringList {
public:
    int Add(const std::string& s) override
    {
        if (s == "refused")
            throw EListError("refused");
        return TStringList::Add(s);
    }
};

} // namespace

TEST(UclAppendSuffixOnce, AppendsOnlyWhenTheTextDoesNotEndWithTheSuffix)
{
    struct Case {
        std::string Suffix, Text, Expected;
    };
    const std::vector<Case> cases = {
        {"\\", "", "\\"},
        {"\\", "Software\\Zentu\\", "Software\\Zentu\\"},
        {"\\", "Software\\Zentu", "Software\\Zentu\\"},
        {"bc", "c", "cbc"},     // a text shorter than the suffix always gets it
        {"bc", "abc", "abc"},
        {"bc", "", "bc"},
        {"", "abc", "abc"},
        {"X", "ax", "axX"},     // case-sensitive
        {"\0"s, "a\0"s, "a\0"s}, // NUL is an ordinary byte
        {"\0"s, "a", "a\0"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("suffix '" + c.Suffix + "', text '" + c.Text + "'");
        EXPECT_EQ(AppendSuffixOnce(c.Suffix, c.Text), c.Expected);
    }
}

TEST(UclCharCount, CountsEqualBytes)
{
    EXPECT_EQ(CharCount("", '.'), 0);
    EXPECT_EQ(CharCount("...", '.'), 3);
    EXPECT_EQ(CharCount("a.b.c", '.'), 2);
    EXPECT_EQ(CharCount("aAa", 'a'), 2);
    EXPECT_EQ(CharCount("\0x\0"s, '\0'), 2);
    // "é" in UTF-8 is C3 A9: each byte counts on its own.
    EXPECT_EQ(CharCount("\xC3\xA9\xC3\xA9", '\xC3'), 2);
}

TEST(UclLeftCharsAndTailFrom, ClampInsteadOfFailing)
{
    struct Case {
        int Argument;
        std::string Left, Tail;
    };
    const std::vector<Case> cases = {
        {-1, "", "abc"}, {0, "", "abc"}, {1, "a", "abc"}, {2, "ab", "bc"},
        {3, "abc", "c"}, {4, "abc", ""}, {100, "abc", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Argument);
        EXPECT_EQ(LeftChars("abc", c.Argument), c.Left);
        EXPECT_EQ(TailFrom("abc", c.Argument), c.Tail);
    }
    EXPECT_EQ(LeftChars("", 3), "");
    EXPECT_EQ(TailFrom("", 1), "");
    EXPECT_EQ(TailFrom("a\0b"s, 2), "\0b"s);
}

TEST(UclIsLineBreakChar, IsTrueForCrAndLfOnly)
{
    for (int c = 0; c < 256; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(IsLineBreakChar(static_cast<char>(c)), c == 10 || c == 13);
    }
}

TEST(UclTruncateAtNul, CutsAtTheFirstNul)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""}, {"abc", "abc"}, {"ab\0c"s, "ab"}, {"\0abc"s, ""}, {"a\0\0"s, "a"},
    };
    for (const auto& [input, expected] : cases) {
        SCOPED_TRACE(input.size());
        std::string s = input;
        TruncateAtNul(s);
        EXPECT_EQ(s, expected);
    }
}

TEST(UclStringsToMultiSz, LaysOutEveryItemWithItsNulAndAFinalNul)
{
    TStringList list;
    Fill(list, {"A=1", "B=2"});
    TMultiSzBuffer buffer;
    const char* block = StringsToMultiSz(buffer, list);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block, buffer.get());
    EXPECT_EQ(std::string(block, 9), "A=1\0B=2\0\0"s);
}

TEST(UclStringsToMultiSz, EmptyListGivesASingleNul)
{
    TStringList list;
    TMultiSzBuffer buffer;
    const char* block = StringsToMultiSz(buffer, list);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[0], '\0');
}

TEST(UclStringsToMultiSz, ItemsAreCutAtTheirFirstNul)
{
    TStringList list;
    Fill(list, {"PATH=/bin\0junk"s, "X=1"});
    TMultiSzBuffer buffer;
    const char* block = StringsToMultiSz(buffer, list);
    EXPECT_EQ(std::string(block, 15), "PATH=/bin\0X=1\0\0"s);
}

TEST(UclStringsToMultiSz, EmptyItemRaisesAndLeavesTheBufferAlone)
{
    TStringList first;
    Fill(first, {"A=1"});
    TMultiSzBuffer buffer;
    const char* before = StringsToMultiSz(buffer, first);

    TStringList list;
    Fill(list, {"A=1", "", "B=2"});
    try {
        StringsToMultiSz(buffer, list);
        FAIL() << "no exception";
    } catch (const EUclError& e) {
        EXPECT_EQ(e.Message(), "String list passed to StringsToMultiSz cannot contain empty strings.");
    }
    EXPECT_EQ(buffer.get(), before);
    EXPECT_EQ(std::string(buffer.get(), 5), "A=1\0\0"s);
}

TEST(UclFreeMultiSzBuffer, FreesAndClearsAndAcceptsNull)
{
    TStringList list;
    Fill(list, {"A=1"});
    TMultiSzBuffer buffer;
    StringsToMultiSz(buffer, list);
    FreeMultiSzBuffer(buffer);
    EXPECT_EQ(buffer, nullptr);
    FreeMultiSzBuffer(buffer);
    EXPECT_EQ(buffer, nullptr);
}

TEST(UclSplitToList, SplitsAtEveryOccurrenceOfTheSeparator)
{
    struct Case {
        std::string Text, Separator;
        bool AllowEmpty;
        std::vector<std::string> Expected;
    };
    const std::vector<Case> cases = {
        {"a,,b", ",", false, {"a", "b"}},
        {"a,,b", ",", true, {"a", "", "b"}},
        {"a,b,", ",", false, {"a", "b"}},
        {"a,b,", ",", true, {"a", "b"}}, // never a trailing empty item
        {",a", ",", false, {"a"}},
        {",a", ",", true, {"", "a"}},
        {"", ",", true, {}},
        {",", ",", true, {""}},
        {"abc", "", true, {"abc"}}, // an empty separator never occurs
        {"abc", ";", false, {"abc"}},
        {"a::b:c", "::", false, {"a", "b:c"}},
        {"a:::b", "::", true, {"a", ":b"}}, // the first occurrence wins
        {"\\Software\\\\Zentu\\", "\\", false, {"Software", "Zentu"}},
        {"x\0y"s, "\0"s, false, {"x", "y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("'" + c.Text + "' at '" + c.Separator + "'" + (c.AllowEmpty ? " allowing empty" : ""));
        TStringList list;
        Fill(list, {"old"});
        SplitToList(c.Text, c.Separator, list, c.AllowEmpty);
        EXPECT_EQ(Items(list), c.Expected);
    }
}

TEST(UclSplitToList, ClosesTheUpdateBracketWhenTheListRefusesAnItem)
{
    RefusingList list;
    EXPECT_THROW(SplitToList("a,refused,b", ",", list, false), EListError);
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_EQ(Items(list), std::vector<std::string>{"a"});
}

TEST(UclJoinList, PutsTheSeparatorBetweenTheKeptItems)
{
    struct Case {
        std::vector<std::string> Items;
        std::string Separator;
        bool AllowEmpty;
        std::string Expected;
    };
    const std::vector<Case> cases = {
        {{}, ",", true, ""},
        {{"a"}, ",", false, "a"},
        {{"a", "", "b"}, ",", false, "a,b"},
        {{"a", "", "b"}, ",", true, "a,,b"},
        {{"", ""}, ",", false, ""},
        {{"", ""}, ",", true, ","},
        {{"a", ""}, ",", true, "a,"},
        {{"a", "b"}, "", false, "ab"},
        {{"Software", "Zentu"}, "\\", false, "Software\\Zentu"},
        {{"a", "b", "c"}, "::", false, "a::b::c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("'" + c.Expected + "'");
        TStringList list;
        Fill(list, c.Items);
        EXPECT_EQ(JoinList(list, c.Separator, c.AllowEmpty), c.Expected);
    }
}

TEST(UclSplitToListAndJoinList, RoundTripTextsWithoutOuterOrDoubledSeparators)
{
    struct Case {
        std::string Text;
        bool AllowEmpty;
    };
    const std::vector<Case> cases = {
        {"a", false}, {"a,b,c", false}, {"a,,b", true}, {"a,,,b,c", true}, {"one, two ,three", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        TStringList list;
        SplitToList(c.Text, ",", list, c.AllowEmpty);
        EXPECT_EQ(JoinList(list, ",", c.AllowEmpty), c.Text);
    }
}

TEST(UclWriteTextFile, WritesTheBytesUnchanged)
{
    TempDir dir;
    const std::string bytes = "line 1\r\nline 2\n\0\xEF\xBB\xBF end"s;
    WriteTextFile(dir.File("out.txt"), bytes);
    EXPECT_EQ(dir.Read("out.txt"), bytes);
}

TEST(UclWriteTextFile, ReplacesTheWholeContentOfAnExistingFile)
{
    TempDir dir;
    const std::string name = dir.Write("out.txt", "a much longer old content");
    WriteTextFile(name, "new");
    EXPECT_EQ(ReadWholeFile(name), "new");
}

TEST(UclWriteTextFile, EmptyTextLeavesAnEmptyFile)
{
    TempDir dir;
    const std::string existing = dir.Write("old.txt", "old content");
    WriteTextFile(existing, "");
    WriteTextFile(dir.File("new.txt"), "");
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(existing)));
    EXPECT_EQ(QFileInfo(QString::fromStdString(existing)).size(), 0);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(dir.File("new.txt"))));
    EXPECT_EQ(QFileInfo(QString::fromStdString(dir.File("new.txt"))).size(), 0);
}

TEST(UclWriteTextFile, MissingFolderRaisesTheCreateErrorNamingTheFile)
{
    TempDir dir;
    const std::string name = dir.File("missing/out.txt");
    try {
        WriteTextFile(name, "x");
        FAIL() << "no exception";
    } catch (const EFCreateError& e) {
        EXPECT_NE(e.Message().find(name), std::string::npos) << e.Message();
    }
}
