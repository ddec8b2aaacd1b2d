// The keyword hash list: chains ordered by length, duplicates refused without ASCII case, slots
// grown on demand, and the enumeration of the words of a keyword text.

#include "SrcEdit/Source/highlighters/SrcEditHashEntries.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Chain(const TSrcHashEntryList& list, int slot)
{
    std::vector<std::string> words;
    for (const TSrcHashEntry* e = list.Get(slot); e; e = e->Next())
        words.push_back(e->Keyword());
    return words;
}

void AddAll(TSrcHashEntryList& list, int slot, const std::vector<std::string>& words)
{
    for (const std::string& w : words)
        list.Add(slot, std::make_unique<TSrcHashEntry>(w, 1));
}

std::vector<std::pair<std::string, int>> Enumerate(std::string_view text, const TSrcCharSet& chars, int kind = 7)
{
    std::vector<std::pair<std::string, int>> words;
    EnumerateKeywords(kind, text, chars, [&](const std::string& w, int k) { words.emplace_back(w, k); });
    return words;
}

} // namespace

TEST(HashEntryList, ChainsAreOrderedByLengthThenByArrival)
{
    struct TCase {
        std::vector<std::string> Added;
        std::vector<std::string> Chain;
    };
    const std::vector<TCase> cases = {
        {{"ab", "a", "abc"}, {"a", "ab", "abc"}},
        {{"abc", "ab", "a"}, {"a", "ab", "abc"}},
        {{"xy", "ab", "q", "cd", "klm"}, {"q", "xy", "ab", "cd", "klm"}},
        {{"long", "mid", "x", "mid2"}, {"x", "mid", "long", "mid2"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Added.front());
        TSrcHashEntryList list;
        AddAll(list, 4, c.Added);
        EXPECT_EQ(Chain(list, 4), c.Chain);
    }
}

TEST(HashEntryList, EntriesKeepKeywordLengthAndKind)
{
    TSrcHashEntryList list;
    list.Add(0, std::make_unique<TSrcHashEntry>("border", 14));
    const TSrcHashEntry* e = list.Get(0);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Keyword(), "border");
    EXPECT_EQ(e->Length(), 6);
    EXPECT_EQ(e->Kind(), 14);
    EXPECT_EQ(e->Next(), nullptr);
}

TEST(HashEntryList, DuplicateIgnoringAsciiCaseIsRefusedAndTheChainKept)
{
    TSrcHashEntryList list;
    AddAll(list, 2, {"SELECT", "a", "FROM"});
    try {
        list.Add(2, std::make_unique<TSrcHashEntry>("Select", 5));
        FAIL() << "duplicate accepted";
    } catch (const ESrcEditError& e) {
        EXPECT_STREQ(e.what(), "Keyword \"SELECT\" already in list");
    }
    EXPECT_EQ(Chain(list, 2), (std::vector<std::string>{"a", "FROM", "SELECT"}));
    // only ASCII letters fold: other bytes must be equal
    AddAll(list, 2, {"\xC3\xA9t\xC3\xA9", "\xC3\x89t\xC3\x89"});
    EXPECT_EQ(Chain(list, 2).size(), 5u);
    // the same word under another hash is no duplicate
    EXPECT_NO_THROW(list.Add(3, std::make_unique<TSrcHashEntry>("select", 1)));
}

TEST(HashEntryList, SlotsGrowOnDemandAndGetIsBounded)
{
    TSrcHashEntryList list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Get(0), nullptr);
    list.Add(300, std::make_unique<TSrcHashEntry>("w", 1));
    EXPECT_EQ(list.Count(), 301);
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(list.Get(i), nullptr) << i;
    ASSERT_NE(list.Get(300), nullptr);
    EXPECT_EQ(list.Get(300)->Keyword(), "w");
    EXPECT_EQ(list.Get(301), nullptr);
    EXPECT_EQ(list.Get(-1), nullptr);
    list.Add(5, std::make_unique<TSrcHashEntry>("v", 1));
    EXPECT_EQ(list.Count(), 301) << "a lower hash does not shrink the list";
    EXPECT_THROW(list.Add(-1, std::make_unique<TSrcHashEntry>("n", 1)), EAssertionFailed);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Get(300), nullptr);
}

TEST(HashEntryList, EnumerateKeywordsYieldsTheRunsOfTheSet)
{
    const TSrcCharSet letters = CharRange('a', 'z');
    const TSrcCharSet cssChars = CharSetOf("-_") | CharRange('a', 'z') | CharRange('0', '9');
    struct TCase {
        std::string Text;
        TSrcCharSet Chars;
        std::vector<std::string> Words;
    };
    const std::vector<TCase> cases = {
        {"a,b  c", letters, {"a", "b", "c"}},
        {"", letters, {}},
        {",, ;", letters, {}},
        {"word", letters, {"word"}},
        {"  lead,trail,", letters, {"lead", "trail"}},
        {"x,", letters, {"x"}},
        {"font-size,z-index\r\nwidth", cssChars, {"font-size", "z-index", "width"}},
        {"font-size", letters, {"font", "size"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        std::vector<std::string> words;
        for (const auto& [w, k] : Enumerate(c.Text, c.Chars)) {
            words.push_back(w);
            EXPECT_EQ(k, 7);
        }
        EXPECT_EQ(words, c.Words);
    }
    EXPECT_NO_THROW(EnumerateKeywords(1, "a b", letters, nullptr));
}
