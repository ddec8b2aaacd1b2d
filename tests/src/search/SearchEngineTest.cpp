// The line searcher: hits with their line numbers, columns and line texts; case, whole words,
// line ends, long lines, binary and unreadable files, the limits of the search text, and the
// lines that grep finds in files of Debian packages.

#include "search/zuSearchEngine.h"

#include "support/TempDir.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sys/stat.h>
#include <tuple>

namespace {

struct Hit {
    int LineNo;
    std::string Line;
    int SPos;
    int EPos;
    bool operator==(const Hit& o) const
    {
        return std::tie(LineNo, Line, SPos, EPos) == std::tie(o.LineNo, o.Line, o.SPos, o.EPos);
    }
};

void PrintTo(const Hit& hit, std::ostream* os)
{
    *os << "{" << hit.LineNo << ", \"" << hit.Line << "\", " << hit.SPos << ", " << hit.EPos << "}";
}

class SearcherTest : public ::testing::Test {
protected:
    std::vector<Hit> Search(const std::string& bytes, const std::string& pattern, TSearchOptions options = {},
                            int bufSize = 30000)
    {
        TSearcher searcher;
        searcher.SetBufSize(bufSize);
        searcher.SetOptions(options);
        searcher.SetPattern(pattern);
        return Run(searcher, Dir.Write("file.txt", bytes));
    }

    static std::vector<Hit> Run(TSearcher& searcher, const std::string& fileName)
    {
        std::vector<Hit> hits;
        searcher.OnFound = [&hits](TSearcher&, int lineNo, std::string_view line, int sPos, int ePos) {
            hits.push_back({lineNo, std::string(line), sPos, ePos});
        };
        searcher.SetFileName(fileName);
        searcher.Execute();
        return hits;
    }

    TempDir Dir;
};

// Every hit of a line-by-line search written the plain way, for comparison.
std::vector<Hit> ReferenceSearch(const std::string& text, const std::string& pattern, bool matchCase)
{
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += matchCase ? c : FoldSearchChar(c);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    std::string folded = pattern;
    if (!matchCase)
        for (char& c : folded)
            c = FoldSearchChar(c);
    std::vector<Hit> hits;
    for (size_t n = 0; n < lines.size(); ++n)
        for (size_t at = lines[n].find(folded); at != std::string::npos; at = lines[n].find(folded, at + 1))
            hits.push_back({int(n + 1), lines[n], int(at + 1), int(at + folded.size())});
    return hits;
}

} // namespace

TEST_F(SearcherTest, ReportsLineNumbersColumnsAndLineTexts)
{
    struct Case {
        const char* Name;
        std::string Text;
        std::string Pattern;
        TSearchOptions Options;
        std::vector<Hit> Expected;
    };
    const std::vector<Case> cases = {
        {"one line without a break", "a foo", "foo", {soCaseSensitive}, {{1, "a foo", 3, 5}}},
        {"overlapping hits", "aaaa", "aa", {}, {{1, "aaaa", 1, 2}, {1, "aaaa", 2, 3}, {1, "aaaa", 3, 4}}},
        {"case folded in the reported line", "Some FOO here", "Foo", {}, {{1, "some foo here", 6, 8}}},
        {"case kept when it matters", "Some FOO here\nfoo", "foo", {soCaseSensitive}, {{2, "foo", 1, 3}}},
        {"CR, LF and CR LF each end one line", "a\rb\nc\r\nfoo", "foo", {}, {{4, "foo", 1, 3}}},
        {"empty lines count", "\n\n\r\n\rfoo\n", "foo", {}, {{5, "foo", 1, 3}}},
        {"several lines with hits", "x foo\ny\nfoo foo", "foo", {},
         {{1, "x foo", 3, 5}, {3, "foo foo", 1, 3}, {3, "foo foo", 5, 7}}},
        {"UTF-8 stays whole", "\xc3\xa9t\xc3\xa9 foo \xe2\x82\xac", "foo", {},
         {{1, "\xc3\xa9t\xc3\xa9 foo \xe2\x82\xac", 7, 9}}},
        {"only A to Z fold", "\xc3\x89t\xc3\xa9", "\xc3\xa9t", {}, {}},
        {"a line break in the text finds nothing", "a\nb", "a\nb", {}, {}},
        {"an empty text finds nothing", "abc", "", {}, {}},
        {"an empty file", "", "foo", {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Search(c.Text, c.Pattern, c.Options), c.Expected) << c.Name;
}

TEST_F(SearcherTest, WholeWordsAreBoundedByLetters)
{
    struct Case {
        std::string Line;
        bool Found;
    };
    const std::vector<Case> cases = {
        {"foo", true},          {"xfoo", false},      {"food", false},         {"foo_bar", true},
        {"foo1", true},         {"(foo)", true},      {"a foo b", true},       {"\xc3\xa9" "foo", false},
        {"foo\xc3\xa9", false}, {"\xe2\x82\xac" "foo", true}, {"\xe9" "foo", false}, {"Xfoo", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Search(c.Line, "foo", {soWholeWord}).size(), c.Found ? 1u : 0u) << c.Line;
    // Overlapping occurrences are tested one by one.
    EXPECT_EQ(Search("aa aaa", "aa", {soWholeWord}), (std::vector<Hit>{{1, "aa aaa", 1, 2}}));
}

TEST_F(SearcherTest, HitsAfterLongLinesAreFound)
{
    const std::string minified(100000, 'x');
    const std::string text = "foo\n" + minified + " foo " + minified + "\nfoo\n";
    const std::vector<Hit> hits = Search(text, "foo");
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].LineNo, 1);
    EXPECT_EQ(hits[1].LineNo, 2);
    EXPECT_EQ(hits[1].SPos, 100002);
    EXPECT_EQ(hits[1].Line.size(), 2 * minified.size() + 5);
    EXPECT_EQ(hits[2].LineNo, 3);
    // A file longer than a block with no line break at all is one line, not binary.
    EXPECT_EQ(Search(std::string(40000, 'y') + "foo", "foo").size(), 1u);
}

TEST_F(SearcherTest, MatchesALineByLineSearchOnRandomText)
{
    std::mt19937 random(7);
    const std::string alphabet = "aAbB \r\n\n";
    for (int round = 0; round < 200; ++round) {
        std::string text(random() % 300, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        std::string pattern(1 + random() % 3, ' ');
        for (char& c : pattern)
            c = alphabet[random() % 5];
        for (bool matchCase : {false, true}) {
            const TSearchOptions options = matchCase ? TSearchOptions{soCaseSensitive} : TSearchOptions{};
            ASSERT_EQ(Search(text, pattern, options), ReferenceSearch(text, pattern, matchCase))
                << "round " << round << " pattern \"" << pattern << "\"";
        }
    }
}

TEST_F(SearcherTest, AZeroByteInTheFirstBlockMakesAFileBinary)
{
    EXPECT_THROW(Search(std::string("foo\0bar", 7), "foo"), ESearchBinaryFile);
    try {
        Search(std::string("\0", 1), "foo");
        FAIL();
    } catch (const ESearchError& e) {
        EXPECT_STREQ(e.what(), "Unable to search in binary files");
    }
    // Past the first block a zero byte is just a byte.
    const std::string late = std::string(20, 'a') + std::string("\0", 1) + "\nfoo";
    EXPECT_EQ(Search(late, "foo", {}, 16), (std::vector<Hit>{{2, "foo", 1, 3}}));
    EXPECT_THROW(Search(late, "foo", {}, 30000), ESearchBinaryFile);
}

TEST_F(SearcherTest, TheSearchTextHasLimits)
{
    TSearcher searcher;
    EXPECT_NO_THROW(searcher.SetPattern(std::string(255, 'a')));
    const auto message = [&searcher](size_t length) {
        try {
            searcher.SetPattern(std::string(length, 'a'));
        } catch (const ESearchError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(message(256), "Buffer overrun!");
    EXPECT_EQ(message(500), "Buffer overrun!");
    EXPECT_EQ(message(501), "Pattern Too Long. (> 500 characters)");
    // A refused text leaves the one before it.
    EXPECT_EQ(searcher.Pattern(), std::string(255, 'a'));
}

TEST_F(SearcherTest, AFileThatCannotBeReadRaisesAndTheNextOneIsSearched)
{
    TSearcher searcher;
    searcher.SetPattern("foo");
    EXPECT_THROW(searcher.SetFileName(Dir.File("missing.txt")), EFOpenError);
    EXPECT_THROW(searcher.SetFileName(Dir.Path()), EFOpenError);
    if (geteuid() != 0) {
        const std::string locked = Dir.Write("locked.txt", "foo");
        chmod(locked.c_str(), 0);
        EXPECT_THROW(searcher.SetFileName(locked), EFOpenError);
    }
    EXPECT_EQ(Run(searcher, Dir.Write("next.txt", "x\nfoo")), (std::vector<Hit>{{2, "foo", 1, 3}}));
    // Without a file name nothing is searched.
    int calls = 0;
    searcher.OnFound = [&calls](TSearcher&, int, std::string_view, int, int) { ++calls; };
    searcher.SetFileName("");
    searcher.Execute();
    EXPECT_EQ(calls, 0);
}

TEST(SearcherOnDebianFiles, FindsTheLinesGrepFinds)
{
    struct Case {
        const char* File;
        const char* Pattern;
        bool MatchCase;
    };
    const Case cases[] = {
        {"/usr/include/stdio.h", "FILE", true},
        {"/usr/include/stdio.h", "__restrict", true},
        {"/usr/share/common-licenses/GPL-3", "the", false},
        {"/usr/share/common-licenses/GPL-3", "Program", true},
    };
    for (const Case& c : cases) {
        QProcess grep;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", "C");
        grep.setProcessEnvironment(environment);
        QStringList arguments{"-n", "-F"};
        if (!c.MatchCase)
            arguments << "-i";
        arguments << c.Pattern << c.File;
        grep.start("grep", arguments);
        ASSERT_TRUE(grep.waitForFinished(10000));
        std::set<int> expected;
        for (const QByteArray& line : grep.readAllStandardOutput().split('\n'))
            if (!line.isEmpty())
                expected.insert(line.left(line.indexOf(':')).toInt());
        ASSERT_FALSE(expected.empty()) << c.File;

        TSearcher searcher;
        searcher.SetBufSize(30000);
        searcher.SetOptions(c.MatchCase ? TSearchOptions{soCaseSensitive} : TSearchOptions{});
        searcher.SetPattern(c.Pattern);
        std::set<int> found;
        searcher.OnFound = [&found](TSearcher&, int lineNo, std::string_view, int, int) { found.insert(lineNo); };
        searcher.SetFileName(c.File);
        searcher.Execute();
        EXPECT_EQ(found, expected) << c.File << " " << c.Pattern;
    }
}
