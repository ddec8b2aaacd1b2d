// The diff engine: the change lists of the small cases, shortest scripts on random and reordered
// pairs (against a brute-force longest common subsequence and against GNU diff --minimal on
// generated and real text pairs), correct near-shortest scripts from searches that settle for a
// split point, applying a change list to file 1 giving file 2, progress and cancelling.

#include "compare/DiffUnit.h"
#include "compare/HashUnit.h"

#include "Platform/core/Exceptions.h"
#include "support/ConsumerTools.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using THashes = std::vector<std::uint32_t>;

// One hash per letter of a text like "a b X d e".
THashes Letters(const std::string& text)
{
    THashes hashes;
    for (const char c : text)
        if (c != ' ')
            hashes.push_back(static_cast<std::uint32_t>(c));
    return hashes;
}

std::vector<TDiffChange> Compare(TDiff& diff, const THashes& a, const THashes& b)
{
    EXPECT_TRUE(diff.CompareHashes(a.data(), b.data(), static_cast<int>(a.size()), static_cast<int>(b.size())));
    return diff.Changes();
}

std::string Describe(const std::vector<TDiffChange>& changes)
{
    static const char* const kinds[] = {"dcAdded", "dcDeleted", "dcModified"};
    std::ostringstream out;
    for (const TDiffChange& c : changes)
        out << kinds[c.Kind] << "(" << c.Line1 << "," << c.Line2 << "," << c.Count << ") ";
    return out.str();
}

// Applies the change list to `a`; a list that is out of order or out of range fails the test.
template <class T>
std::vector<T> Apply(const std::vector<T>& a, const std::vector<T>& b, const std::vector<TDiffChange>& changes)
{
    std::vector<T> result;
    int position = 0;
    for (const TDiffChange& c : changes) {
        EXPECT_GE(c.Count, 1);
        EXPECT_GE(c.Line1, position) << Describe(changes);
        if (c.Line1 < position || c.Count < 1)
            return {};
        const int line1End = c.Kind == dcAdded ? c.Line1 : c.Line1 + c.Count;
        const bool in1 = line1End <= static_cast<int>(a.size());
        const bool in2 = c.Kind == dcDeleted || (c.Line2 >= 0 && c.Line2 + c.Count <= static_cast<int>(b.size()));
        EXPECT_TRUE(in1 && in2) << Describe(changes);
        if (!in1 || !in2)
            return {};
        result.insert(result.end(), a.begin() + position, a.begin() + c.Line1);
        if (c.Kind != dcDeleted)
            result.insert(result.end(), b.begin() + c.Line2, b.begin() + c.Line2 + c.Count);
        position = line1End;
    }
    result.insert(result.end(), a.begin() + position, a.end());
    return result;
}

// Inserted plus deleted lines, a modified line counting once on each side.
int EditLength(const std::vector<TDiffChange>& changes)
{
    int length = 0;
    for (const TDiffChange& c : changes)
        length += c.Kind == dcModified ? 2 * c.Count : c.Count;
    return length;
}

int ShortestEditLength(const THashes& a, const THashes& b)
{
    std::vector<std::vector<int>> lcs(a.size() + 1, std::vector<int>(b.size() + 1, 0));
    for (size_t i = 1; i <= a.size(); ++i)
        for (size_t j = 1; j <= b.size(); ++j)
            lcs[i][j] = a[i - 1] == b[j - 1] ? lcs[i - 1][j - 1] + 1 : std::max(lcs[i - 1][j], lcs[i][j - 1]);
    return static_cast<int>(a.size() + b.size()) - 2 * lcs[a.size()][b.size()];
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

THashes Hashes(const std::vector<std::string>& lines)
{
    THashes hashes;
    for (const std::string& line : lines)
        hashes.push_back(LineHash(line, false, false));
    return hashes;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// The lines GNU diff --minimal inserts and deletes between the two texts.
int PeerEditLength(const TempDir& dir, const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    const std::string fileA = dir.Write("a.txt", Joined(a));
    const std::string fileB = dir.Write("b.txt", Joined(b));
    const TToolResult result = RunTool("diff", {"--minimal", fileA, fileB});
    EXPECT_TRUE(result.ExitCode == 0 || result.ExitCode == 1) << result.Errors;
    int length = 0;
    for (const std::string& line : SplitLines(result.Output))
        if (!line.empty() && (line[0] == '<' || line[0] == '>'))
            ++length;
    return length;
}

void ExpectShortestAgainstPeer(const TempDir& dir, const std::vector<std::string>& a,
                               const std::vector<std::string>& b, const std::string& what)
{
    TDiff diff(nullptr);
    const std::vector<TDiffChange> changes = Compare(diff, Hashes(a), Hashes(b));
    EXPECT_EQ(Apply(a, b, changes), b) << what;
    EXPECT_EQ(EditLength(changes), PeerEditLength(dir, a, b)) << what;
}

std::string ReadFile(const char* path)
{
    QFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

} // namespace

TEST(DiffEngine, SmallCasesGiveTheirChangeLists)
{
    struct TCase {
        const char* A;
        const char* B;
        std::vector<TDiffChange> Expected;
    };
    const TCase cases[] = {
        {"a b c", "a b c", {}},
        {"", "", {}},
        {"", "a b c", {{dcAdded, 0, 0, 3}}},
        {"a b c", "", {{dcDeleted, 0, 0, 3}}},
        {"a b X d e", "a b Y d e", {{dcModified, 2, 2, 1}}},
        {"a X Y b", "a P Q R b", {{dcModified, 1, 1, 2}, {dcAdded, 3, 3, 1}}},
        {"a X Y Z b", "a P b", {{dcModified, 1, 1, 1}, {dcDeleted, 2, 0, 2}}},
        {"a b c", "x a b c", {{dcAdded, 0, 0, 1}}},
        {"a b c", "a b c x", {{dcAdded, 3, 3, 1}}},
        {"a b", "b a", {{dcAdded, 0, 0, 1}, {dcDeleted, 1, 0, 1}}},
        {"a a a", "a a", {{dcDeleted, 2, 0, 1}}},
        {"X", "Y", {{dcModified, 0, 0, 1}}},
        {"a X b Y c", "a P b Q c", {{dcModified, 1, 1, 1}, {dcModified, 3, 3, 1}}},
        {"a b c d", "a d", {{dcDeleted, 1, 0, 2}}},
    };
    for (const TCase& c : cases) {
        TDiff diff(nullptr);
        const THashes a = Letters(c.A), b = Letters(c.B);
        const std::vector<TDiffChange> changes = Compare(diff, a, b);
        EXPECT_EQ(changes, c.Expected) << c.A << " / " << c.B << ": " << Describe(changes);
        ASSERT_EQ(diff.ChangeCount(), static_cast<int>(c.Expected.size()));
        for (int i = 0; i < diff.ChangeCount(); ++i)
            EXPECT_EQ(diff.GetChange(i), c.Expected[static_cast<size_t>(i)]);
    }
}

TEST(DiffEngine, MissingHashesFailAndANewComparisonForgetsTheLastResult)
{
    TDiff diff(nullptr);
    const THashes a = Letters("a b"), b = Letters("a c");
    ASSERT_TRUE(diff.CompareHashes(a.data(), b.data(), 2, 2));
    EXPECT_EQ(diff.ChangeCount(), 1);
    EXPECT_FALSE(diff.CompareHashes(nullptr, b.data(), 2, 2));
    EXPECT_EQ(diff.ChangeCount(), 0);
    EXPECT_FALSE(diff.CompareHashes(a.data(), nullptr, 2, 2));
    EXPECT_FALSE(diff.CompareHashes(a.data(), b.data(), -1, 2));
    EXPECT_THROW(diff.GetChange(0), EListError);
    // No array and no lines is an empty file.
    EXPECT_TRUE(diff.CompareHashes(a.data(), nullptr, 2, 0));
    EXPECT_EQ(diff.Changes(), (std::vector<TDiffChange>{{dcDeleted, 0, 0, 2}}));
    EXPECT_THROW(diff.GetChange(1), EListError);
}

TEST(DiffEngine, RandomPairsGiveShortestScriptsThatTurnFile1IntoFile2)
{
    const auto expectShortest = [](const THashes& a, const THashes& b, const std::string& what) {
        TDiff diff(nullptr);
        const std::vector<TDiffChange> changes = Compare(diff, a, b);
        ASSERT_EQ(Apply(a, b, changes), b) << what << ": " << Describe(changes);
        ASSERT_EQ(EditLength(changes), ShortestEditLength(a, b)) << what;
        // Each record is as long as it can be: no two records of one kind touch.
        for (size_t i = 1; i < changes.size(); ++i) {
            const TDiffChange& p = changes[i - 1];
            const TDiffChange& c = changes[i];
            if (p.Kind == c.Kind && p.Kind != dcAdded) {
                EXPECT_NE(p.Line1 + p.Count, c.Line1) << what << ": " << Describe(changes);
            }
        }
    };
    std::mt19937 rng(4711);
    for (int round = 0; round < 3000; ++round) {
        const int alphabet = 2 + static_cast<int>(rng() % 6);
        const auto make = [&](int length) {
            THashes hashes(static_cast<size_t>(length));
            for (auto& h : hashes)
                h = rng() % static_cast<unsigned>(alphabet);
            return hashes;
        };
        // Skewed sizes too, so the search runs far off the square.
        const THashes a = make(static_cast<int>(rng() % 40));
        THashes b = rng() % 3 == 0 ? make(static_cast<int>(rng() % 40)) : a;
        if (b == a && !b.empty())
            for (int edits = 1 + static_cast<int>(rng() % 6); edits > 0; --edits) {
                const size_t at = rng() % (b.size() + 1);
                switch (rng() % 3) {
                case 0: b.insert(b.begin() + static_cast<long>(at), rng() % 9); break;
                case 1: if (at < b.size()) b.erase(b.begin() + static_cast<long>(at)); break;
                default: if (at < b.size()) b[at] = rng() % 9; break;
                }
            }
        expectShortest(a, b, "round " + std::to_string(round));
        if (HasFatalFailure())
            return;
    }
    // Reorderings: the same lines (mostly distinct ones), shuffled, a few of them replaced.
    for (int round = 0; round < 1000; ++round) {
        THashes a(rng() % 60);
        for (auto& h : a)
            h = rng() % 50;
        THashes b = a;
        std::shuffle(b.begin(), b.end(), rng);
        for (int edits = static_cast<int>(rng() % 3); edits > 0 && !b.empty(); --edits)
            b[rng() % b.size()] = 100 + rng() % 3;
        expectShortest(a, b, "reordered round " + std::to_string(round));
        if (HasFatalFailure())
            return;
    }
}

TEST(DiffEngine, SearchesThatSettleForASplitPointStillTurnFile1IntoFile2)
{
    // A step bound of a few steps makes the searches of these small pairs settle, from either
    // front, on square and skewed parts, reordered or edited.
    std::mt19937 rng(815);
    int longer = 0;
    for (int round = 0; round < 600; ++round) {
        THashes a(rng() % 250);
        const unsigned alphabet = 2 + rng() % 500;
        for (auto& h : a)
            h = rng() % alphabet;
        THashes b;
        switch (round % 3) {
        case 0: b = a; std::shuffle(b.begin(), b.end(), rng); break;
        case 1: b.resize(rng() % 250); for (auto& h : b) h = rng() % alphabet; break;
        default:
            b = a;
            for (int edits = static_cast<int>(rng() % 80); edits > 0; --edits) {
                const size_t at = rng() % (b.size() + 1);
                if (rng() % 2 || at == b.size())
                    b.insert(b.begin() + static_cast<long>(at), rng() % alphabet);
                else
                    b.erase(b.begin() + static_cast<long>(at));
            }
        }
        TDiff diff(nullptr);
        diff.MinStepBound = 1 + static_cast<int>(rng() % 4);
        const std::vector<TDiffChange> changes = Compare(diff, a, b);
        ASSERT_EQ(Apply(a, b, changes), b) << "round " << round << ": " << Describe(changes);
        const int shortest = ShortestEditLength(a, b);
        ASSERT_GE(EditLength(changes), shortest) << "round " << round;
        longer += EditLength(changes) > shortest;
    }
    // The bound is reached: some scripts are not the shortest.
    EXPECT_GT(longer, 20);
}

namespace {

// The shortest edit length between a list of distinct lines and a reordering of it: everything
// but a longest run of lines that keeps its order (a longest increasing subsequence of places).
int ReorderedEditLength(const THashes& a, const THashes& b)
{
    std::vector<int> place(a.size());
    for (size_t i = 0; i < a.size(); ++i)
        place[a[i]] = static_cast<int>(i);
    std::vector<int> tails;
    for (const std::uint32_t h : b) {
        const auto at = std::lower_bound(tails.begin(), tails.end(), place[h]);
        if (at == tails.end())
            tails.push_back(place[h]);
        else
            *at = place[h];
    }
    return static_cast<int>(a.size() + b.size() - 2 * tails.size());
}

THashes Reordered(const THashes& a, unsigned seed)
{
    THashes b = a;
    std::shuffle(b.begin(), b.end(), std::mt19937(seed));
    return b;
}

THashes Distinct(int count)
{
    THashes hashes(static_cast<size_t>(count));
    for (size_t i = 0; i < hashes.size(); ++i)
        hashes[i] = static_cast<std::uint32_t>(i);
    return hashes;
}

} // namespace

TEST(DiffEngine, ReorderedLinesGiveACorrectScriptShortestWhileTheSearchIsCheap)
{
    struct TCase {
        int Lines;
        bool Shortest; // otherwise near the shortest
    };
    // The fronts of 3,000 reordered lines meet within the step bound; 5,000 lines take the
    // search past it, where it settles for a split point and a near-shortest script.
    const TCase cases[] = {{3000, true}, {5000, false}};
    for (const TCase& c : cases) {
        const THashes a = Distinct(c.Lines);
        const THashes b = Reordered(a, 17);
        TDiff diff(nullptr);
        const std::vector<TDiffChange> changes = Compare(diff, a, b);
        ASSERT_EQ(Apply(a, b, changes), b) << c.Lines;
        const int shortest = ReorderedEditLength(a, b);
        if (c.Shortest)
            EXPECT_EQ(EditLength(changes), shortest) << c.Lines;
        else
            EXPECT_LE(EditLength(changes), shortest + c.Lines / 100) << c.Lines;
    }
}

TEST(DiffEngine, FilesThatShareManyLinesGiveShortestScriptsPastTheStepBound)
{
    // Lines drawn from 40 texts: the middle of the search lies past 5,000 steps, beyond the
    // bound, but the fronts keep matching lines, so the search goes on to the shortest script.
    std::mt19937 rng(11);
    const auto make = [&] {
        std::vector<std::string> lines(8000);
        for (auto& line : lines)
            line = "line " + std::to_string(rng() % 40);
        return lines;
    };
    const std::vector<std::string> a = make(), b = make();
    TempDir dir;
    ExpectShortestAgainstPeer(dir, a, b, "40 texts");
}

TEST(DiffEngine, GeneratedTextPairsMatchDiffMinimal)
{
    TempDir dir;
    std::mt19937 rng(99);
    const std::vector<std::string> vocabulary = {"<?php", "}", "", "{", "return $x;", "echo $y;", "?>",
                                                 "$a = 1;", "$b = 2;", "// note", "if ($a) {", "else"};
    for (int round = 0; round < 40; ++round) {
        std::vector<std::string> a;
        const int length = 50 + static_cast<int>(rng() % 400);
        for (int i = 0; i < length; ++i)
            a.push_back(rng() % 4 == 0 ? "line " + std::to_string(rng() % 1000) : vocabulary[rng() % vocabulary.size()]);
        std::vector<std::string> b = a;
        for (int edits = static_cast<int>(rng() % 40); edits > 0; --edits) {
            const size_t at = rng() % (b.size() + 1);
            const std::string line = vocabulary[rng() % vocabulary.size()];
            if (rng() % 2 || at == b.size())
                b.insert(b.begin() + static_cast<long>(at), line);
            else
                b.erase(b.begin() + static_cast<long>(at));
        }
        ExpectShortestAgainstPeer(dir, a, b, "round " + std::to_string(round));
    }
}

TEST(DiffEngine, RealTextPairsMatchDiffMinimal)
{
    // Related texts from Debian's base-files: versions and relatives of the same licences.
    const std::pair<const char*, const char*> pairs[] = {
        {"/usr/share/common-licenses/GPL-2", "/usr/share/common-licenses/GPL-3"},
        {"/usr/share/common-licenses/LGPL-2", "/usr/share/common-licenses/LGPL-2.1"},
        {"/usr/share/common-licenses/GFDL-1.2", "/usr/share/common-licenses/GFDL-1.3"},
        {"/usr/share/common-licenses/GPL-3", "/usr/share/common-licenses/LGPL-3"},
        {"/usr/share/common-licenses/MPL-1.1", "/usr/share/common-licenses/MPL-2.0"},
    };
    TempDir dir;
    int compared = 0;
    for (const auto& [first, second] : pairs) {
        const std::string a = ReadFile(first), b = ReadFile(second);
        if (a.empty() || b.empty())
            continue;
        ++compared;
        ExpectShortestAgainstPeer(dir, SplitLines(a), SplitLines(b), std::string(first) + " / " + second);
    }
    EXPECT_GT(compared, 0);
}

TEST(DiffEngine, SuccessiveVersionsOfThisRepositoryMatchDiffMinimal)
{
    const std::string source = std::string(ZENTU_TEST_SOURCE_DIR) + "/../..";
    const TToolResult log = RunTool("git", {"-C", source, "log", "--format=%H", "-n", "40", "--", "src"});
    if (log.ExitCode != 0 || log.Output.empty())
        GTEST_SKIP() << "no git history here";
    const std::vector<std::string> commits = SplitLines(log.Output);
    TempDir dir;
    int compared = 0;
    for (size_t i = 1; i < commits.size(); ++i) {
        const TToolResult files = RunTool("git", {"-C", source, "diff", "--name-only", commits[i], commits[i - 1]});
        for (const std::string& file : SplitLines(files.Output)) {
            const TToolResult older = RunTool("git", {"-C", source, "show", commits[i] + ":" + file});
            const TToolResult newer = RunTool("git", {"-C", source, "show", commits[i - 1] + ":" + file});
            if (older.ExitCode != 0 || newer.ExitCode != 0)
                continue;
            ExpectShortestAgainstPeer(dir, SplitLines(older.Output), SplitLines(newer.Output), file + " at " + commits[i]);
            if (++compared >= 60)
                return;
        }
    }
}

TEST(DiffEngine, ProgressIsReportedAndCancelStopsALongComparison)
{
    // Lines drawn from a small set: every line matches somewhere, so nothing is set aside and
    // the search has to walk a long way.
    std::mt19937 rng(7);
    THashes a(60000), b(60000);
    for (auto& h : a)
        h = rng() % 4;
    for (auto& h : b)
        h = rng() % 4;
    TDiff diff(nullptr);
    std::vector<int> percents;
    QElapsedTimer sinceCancel;
    diff.OnProgress = [&](TObject* sender, int percent) {
        EXPECT_EQ(sender, &diff);
        percents.push_back(percent);
        diff.RequestCancel();
        sinceCancel.start();
    };
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(diff.CompareHashes(a.data(), b.data(), 60000, 60000));
    EXPECT_EQ(diff.ChangeCount(), 0);
    ASSERT_EQ(percents.size(), 1u);
    EXPECT_GE(percents[0], 0);
    EXPECT_LE(percents[0], 46);
    EXPECT_GE(clock.elapsed(), TDiff::ProgressInterval - 50);
    EXPECT_LT(sinceCancel.elapsed(), 100);
    EXPECT_FALSE(diff.Comparing());

    // The object is ready for the next comparison.
    const THashes x = Letters("a b c"), y = Letters("a c");
    EXPECT_TRUE(diff.CompareHashes(x.data(), y.data(), 3, 2));
    EXPECT_EQ(diff.Changes(), (std::vector<TDiffChange>{{dcDeleted, 1, 0, 1}}));
}

TEST(DiffEngine, ACommandDuringTheComparisonCanCancelIt)
{
    std::mt19937 rng(8);
    THashes a(50000), b(50000);
    for (auto& h : a)
        h = rng() % 3;
    for (auto& h : b)
        h = rng() % 3;
    TDiff diff(nullptr);
    bool secondRefused = false;
    QTimer::singleShot(30, [&] {
        // A second comparison on the same object while one runs is refused.
        secondRefused = !diff.CompareHashes(a.data(), b.data(), 10, 10);
        diff.RequestCancel();
    });
    EXPECT_FALSE(diff.CompareHashes(a.data(), b.data(), 50000, 50000));
    EXPECT_TRUE(secondRefused);
    EXPECT_EQ(diff.ChangeCount(), 0);
}

TEST(DiffEngine, ProgressOnReorderedLinesFollowsTheFrontsThatAreLeft)
{
    // A search that settles for a split point has not met the other front: the estimate rises
    // towards 46 while the part left between the fronts is searched (in step with both files),
    // and passes it only once that part's fronts meet, near the end, instead of running away
    // with the time spent.
    const THashes a = Distinct(20000);
    const THashes b = Reordered(a, 23);
    TDiff diff(nullptr);
    diff.MinStepBound = 1;
    diff.EventInterval = 1;
    std::vector<int> percents;
    diff.OnProgress = [&](TObject*, int percent) { percents.push_back(percent); };
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&diff] { diff.ReportProgress(); });
    sampler.start(2);
    ASSERT_TRUE(diff.CompareHashes(a.data(), b.data(), 20000, 20000));
    ASSERT_GE(percents.size(), 3u);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_LT(percents.front(), 46);
    EXPECT_GE(percents.back(), 40);
    EXPECT_LE(percents.back(), 100);
}

TEST(DiffEngine, FilesBeyondTheStepLimitCompareWhenCloseAndFailCleanlyOtherwise)
{
    const int lines = TDiff::MaxDLimit + 50000;
    THashes a(static_cast<size_t>(lines), 'a');
    THashes b = a;
    a[700000] = 'x';
    b[700000] = 'y';
    b.insert(b.begin() + 900000, 'z');
    TDiff diff(nullptr);
    EXPECT_EQ(Compare(diff, a, b), (std::vector<TDiffChange>{{dcModified, 700000, 700000, 1}, {dcAdded, 900000, 900000, 1}}));

    // Far apart beyond the limit: the search arrays cannot hold the band.
    THashes c = {'c'};
    c.insert(c.end(), static_cast<size_t>(lines), 'a');
    c.push_back('d');
    const THashes d = Letters("d a c");
    EXPECT_FALSE(diff.CompareHashes(c.data(), d.data(), static_cast<int>(c.size()), 3));
    EXPECT_EQ(diff.ChangeCount(), 0);
}
