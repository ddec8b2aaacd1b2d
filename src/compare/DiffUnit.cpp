#include "compare/DiffUnit.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>
#include <cstdlib>

// The state of one comparison. Diagonal k holds the points (x, y) with (x - x1) - (y - y1) = k
// for the part being searched; both arrays are indexed by diagonal from -MaxD to MaxD.
struct TDiff::TSearch {
    const std::uint32_t* H1 = nullptr;
    const std::uint32_t* H2 = nullptr;
    int MaxD = 0;
    // The steps one search for a middle snake takes before it may settle for a split point, and
    // before it settles for one even while its fronts match lines.
    int Bound = 0;
    int StretchedBound = 0;
    std::vector<int> Forward;
    // invariant: one extra entry at each end that holds a value above every line position and is
    // never written, so that the edges of the band always take the neighbour inside it.
    std::vector<int> Reverse;
    // What the search found: lines of file 1 deleted and lines of file 2 inserted.
    std::vector<char> Deleted;
    std::vector<char> Inserted;

    int& Vf(int k) { return Forward[static_cast<size_t>(k + MaxD)]; }
    int& Vb(int k) { return Reverse[static_cast<size_t>(k + MaxD + 1)]; }

    // A point to split a part at, `Reach` lines (of both files) away from the corner its front
    // set out from and `Skew` off the line between the part's corners; a Reach of 0 is no point.
    struct TSplit {
        int X = 0;
        int Y = 0;
        int Reach = 0;
        long long Skew = 0;
        bool Forward = true;
    };
    // The point either front reached furthest after D steps in the part x1..x2-1, y1..y2-1.
    TSplit FurthestPoint(int D, int x1, int y1, int x2, int y2);
};

TDiff::TSearch::TSplit TDiff::TSearch::FurthestPoint(int D, int x1, int y1, int x2, int y2)
{
    // invariant: a point inside the part lies on a path inside it, so splitting there is sound;
    // the corners are left out so that both pieces are smaller than the part.
    // why: of points that reach as far, the one nearest the line between the corners leaves two
    // pieces shaped like the part; reorderings would otherwise eat one file far ahead of the other.
    TSplit best;
    const int size = (x2 - x1) + (y2 - y1);
    const auto consider = [&](int x, int k, bool forward) {
        const int y = x - x1 + y1 - k;
        if (x < x1 || x > x2 || y < y1 || y > y2)
            return;
        const int reach = forward ? (x - x1) + (y - y1) : (x2 - x) + (y2 - y);
        const long long skew = std::llabs(1LL * (x - x1) * (y2 - y1) - 1LL * (y - y1) * (x2 - x1));
        if (reach < size && (reach > best.Reach || (reach == best.Reach && reach > 0 && skew < best.Skew)))
            best = TSplit{x, y, reach, skew, forward};
    };
    for (int k = -D; k <= D; k += 2)
        consider(Vf(k), k, true);
    const int delta = (x2 - x1) - (y2 - y1);
    for (int k = delta - D; k <= delta + D && k <= MaxD; k += 2)
        if (k >= -MaxD)
            consider(Vb(k), k, false);
    return best;
}

TDiff::TDiff(TComponent* AOwner) : TComponent(AOwner)
{
    FTimer.setInterval(ProgressInterval);
    QObject::connect(&FTimer, &QTimer::timeout, [this] { ReportProgress(); });
}

TDiff::~TDiff()
{
    FTimer.stop();
}

TDiffChange TDiff::GetChange(int index) const
{
    if (index < 0 || index >= ChangeCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FChanges[static_cast<size_t>(index)];
}

void TDiff::Clear()
{
    FChanges.clear();
    FChanges.shrink_to_fit();
    FPendingAdd.reset();
    FPendingDelete.reset();
    FPendingModify.reset();
}

namespace {

// Which of the two files hold a hash: an open-addressing table of the distinct hashes.
class THashSides {
public:
    THashSides(const std::uint32_t* hashes1, int count1, const std::uint32_t* hashes2, int count2)
    {
        size_t size = 16;
        while (size < 2 * (static_cast<size_t>(count1) + static_cast<size_t>(count2)))
            size *= 2;
        FMask = size - 1;
        FKeys.assign(size, 0);
        FSides.assign(size, 0);
        for (int i = 0; i < count1; ++i)
            FSides[Slot(hashes1[i])] |= 1;
        for (int i = 0; i < count2; ++i)
            FSides[Slot(hashes2[i])] |= 2;
    }
    bool InBoth(std::uint32_t hash) { return FSides[Slot(hash)] == 3; }

private:
    // The slot of `hash`, taken for it when it is new (a taken slot has a side bit set).
    size_t Slot(std::uint32_t hash)
    {
        size_t i = (hash * 0x9E3779B1u) & FMask;
        while (FSides[i] != 0 && FKeys[i] != hash)
            i = (i + 1) & FMask;
        FKeys[i] = hash;
        return i;
    }

    size_t FMask = 0;
    std::vector<std::uint32_t> FKeys;
    std::vector<std::uint8_t> FSides;
};

// The lines of one file whose hash occurs in the other file, as (hash, line) in line order.
void KeepMatchable(const std::uint32_t* hashes, int count, THashSides& sides, std::vector<std::uint32_t>& kept,
                   std::vector<int>& lines)
{
    kept.reserve(static_cast<size_t>(count));
    lines.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        if (sides.InBoth(hashes[i])) {
            kept.push_back(hashes[i]);
            lines.push_back(i);
        }
}

// A search whose fronts match lines goes on to this multiple of the bound before it settles:
// two files that share much are worth the time, two reorderings of one file are not (their fronts
// meet hardly a match, and a shortest script is barely shorter than a near-shortest one).
constexpr int MatchingSearchStretch = 4;

// The steps of one search: about the square root of the lines searched, at least `least`.
int SearchBound(int lines1, int lines2, int least)
{
    const long long lines = static_cast<long long>(lines1) + lines2;
    long long bound = 1;
    while (bound * bound < lines)
        bound *= 2;
    return static_cast<int>(std::max<long long>(bound, std::max(least, 1)));
}

} // namespace

bool TDiff::CompareHashes(const std::uint32_t* hashes1, const std::uint32_t* hashes2, int count1, int count2)
{
    if (FComparing)
        return false;
    Clear();
    if ((!hashes1 && count1 != 0) || (!hashes2 && count2 != 0) || count1 < 0 || count2 < 0)
        return false;
    FComparing = true;
    struct TEnd {
        TDiff& Diff;
        ~TEnd()
        {
            Diff.FTimer.stop();
            Diff.FComparing = false;
        }
    } end{*this};

    std::vector<std::uint32_t> kept1, kept2;
    std::vector<int> lines1, lines2;
    {
        THashSides sides(hashes1, count1, hashes2, count2);
        KeepMatchable(hashes1, count1, sides, kept1, lines1);
        KeepMatchable(hashes2, count2, sides, kept2, lines2);
    }
    const int n1 = static_cast<int>(kept1.size());
    const int n2 = static_cast<int>(kept2.size());

    TSearch search;
    search.H1 = kept1.data();
    search.H2 = kept2.data();
    search.MaxD = std::min(std::max(n1, n2), MaxDLimit);
    search.Bound = SearchBound(n1, n2, MinStepBound);
    search.StretchedBound = static_cast<int>(std::min<long long>(1LL * search.Bound * MatchingSearchStretch, INT_MAX));
    FChanges.reserve(static_cast<size_t>(4 * (std::max(search.MaxD, 1024) / 32)));
    FLines1 = n1;
    FFurthestForward = 0;
    FSmallestReverse = n1;
    FStart = TClock::now();
    FLastEvents = FStart;
    FMet = false;
    FTimer.start();
    search.Forward.assign(static_cast<size_t>(2 * search.MaxD + 1), 0);
    search.Reverse.assign(static_cast<size_t>(2 * search.MaxD + 3), INT_MAX);
    search.Deleted.assign(static_cast<size_t>(n1), 0);
    search.Inserted.assign(static_cast<size_t>(n2), 0);
    FCancelled = false;

    bool result = DiffRange(search, 0, 0, n1, n2, true);
    search.Forward = {};
    search.Reverse = {};
    if (result) {
        // A line is matched when the search kept it and did not mark it; matched lines pair up
        // in order, and each run of unmatched lines between two pairs is one gap.
        std::vector<char> matched1(static_cast<size_t>(count1), 0), matched2(static_cast<size_t>(count2), 0);
        for (int i = 0; i < n1; ++i)
            matched1[static_cast<size_t>(lines1[static_cast<size_t>(i)])] = !search.Deleted[static_cast<size_t>(i)];
        for (int j = 0; j < n2; ++j)
            matched2[static_cast<size_t>(lines2[static_cast<size_t>(j)])] = !search.Inserted[static_cast<size_t>(j)];
        int x = 0, y = 0;
        while (x < count1 || y < count2) {
            const int gapX = x, gapY = y;
            while (x < count1 && !matched1[static_cast<size_t>(x)])
                ++x;
            while (y < count2 && !matched2[static_cast<size_t>(y)])
                ++y;
            for (int j = gapY; j < y; ++j)
                AddLine(gapX, j);
            for (int i = gapX; i < x; ++i)
                DeleteLine(i);
            ++x;
            ++y;
        }
        FlushAdd();
        FlushDelete();
    }
    if (!result)
        Clear();
    FPendingAdd.reset();
    FPendingDelete.reset();
    FPendingModify.reset();
    return result;
}

bool TDiff::LetEventsThrough()
{
    const TClock::time_point now = TClock::now();
    if (now - FLastEvents >= std::chrono::milliseconds(EventInterval)) {
        FLastEvents = now;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    }
    return !FCancelled;
}

bool TDiff::DiffRange(TSearch& s, int x1, int y1, int x2, int y2, bool fronts)
{
    const std::uint32_t* h1 = s.H1;
    const std::uint32_t* h2 = s.H2;
    while (x1 < x2 && y1 < y2 && h1[x1] == h2[y1]) {
        ++x1;
        ++y1;
    }
    while (x2 > x1 && y2 > y1 && h1[x2 - 1] == h2[y2 - 1]) {
        --x2;
        --y2;
    }
    if (fronts && (x1 == x2 || y1 == y2)) {
        // The part between the fronts needs no search: they meet.
        FFurthestForward = std::max(FFurthestForward, x2);
        FSmallestReverse = std::min(FSmallestReverse, x1);
    }
    if (x1 == x2) {
        std::fill(s.Inserted.begin() + y1, s.Inserted.begin() + y2, 1);
        return true;
    }
    if (y1 == y2) {
        std::fill(s.Deleted.begin() + x1, s.Deleted.begin() + x2, 1);
        return true;
    }
    const int delta = (x2 - x1) - (y2 - y1);
    // why: only inputs beyond MaxDLimit lines can have a band wider than the arrays.
    if (delta < -s.MaxD || delta > s.MaxD)
        return false;
    const bool odd = (delta & 1) != 0;
    s.Vf(0) = x1;
    s.Vb(delta) = x2;
    for (int D = 1; D <= s.MaxD; ++D) {
        if (!LetEventsThrough())
            return false;
        for (int k = -D; k <= D; k += 2) {
            int x = k == -D || (k < D && s.Vf(k - 1) < s.Vf(k + 1)) ? s.Vf(k + 1) : s.Vf(k - 1) + 1;
            int y = x - x1 + y1 - k;
            while (x < x2 && y < y2 && h1[x] == h2[y]) {
                ++x;
                ++y;
            }
            s.Vf(k) = x;
            if (fronts)
                FFurthestForward = std::max(FFurthestForward, x);
            if (odd && delta - D < k && k < delta + D && s.Vf(k) >= s.Vb(k)) {
                const int endX = x, endY = y;
                while (x > x1 && y > y1 && h1[x - 1] == h2[y - 1]) {
                    --x;
                    --y;
                }
                return DiffRange(s, x1, y1, x, y, false) && DiffRange(s, endX, endY, x2, y2, false);
            }
        }
        for (int k = delta - D; k <= delta + D; k += 2) {
            if (k < -s.MaxD)
                continue;
            if (k > s.MaxD)
                break;
            int x = k == delta + D || (k > delta - D && s.Vb(k + 1) > s.Vb(k - 1)) ? s.Vb(k - 1) : s.Vb(k + 1) - 1;
            int y = x - x1 + y1 - k;
            while (x > x1 && y > y1 && h1[x - 1] == h2[y - 1]) {
                --x;
                --y;
            }
            s.Vb(k) = x;
            if (fronts)
                FSmallestReverse = std::min(FSmallestReverse, x);
            if (!odd && -D <= k && k <= D && s.Vf(k) >= s.Vb(k)) {
                if (x2 == x1 + 1 && y2 == y1 + 1) {
                    s.Inserted[static_cast<size_t>(y1)] = 1;
                    s.Deleted[static_cast<size_t>(x1)] = 1;
                    return true;
                }
                if (!DiffRange(s, x1, y1, x, y, false))
                    return false;
                while (x < x2 && y < y2 && h1[x] == h2[y]) {
                    ++x;
                    ++y;
                }
                return DiffRange(s, x, y, x2, y2, false);
            }
        }
        if (D == s.Bound || D == s.StretchedBound) {
            const TSearch::TSplit split = s.FurthestPoint(D, x1, y1, x2, y2);
            // A front that matched fewer than one line in sixteen steps has met a reordering.
            if (split.Reach > 0 && (D > s.Bound || split.Reach < D + D / 8)) {
                // why: the pieces still form a correct script, only not always a shortest one.
                // The fronts that go on are those of the piece that holds the part not searched.
                return DiffRange(s, x1, y1, split.X, split.Y, fronts && !split.Forward) &&
                       DiffRange(s, split.X, split.Y, x2, y2, fronts && split.Forward);
            }
        }
    }
    return false;
}

// ---- building the change list

void TDiff::FlushModify()
{
    if (FPendingModify) {
        FChanges.push_back(*FPendingModify);
        FPendingModify.reset();
    }
}

void TDiff::FlushAdd()
{
    FlushModify();
    if (FPendingAdd) {
        FChanges.push_back(*FPendingAdd);
        FPendingAdd.reset();
    }
}

void TDiff::FlushDelete()
{
    FlushModify();
    if (FPendingDelete) {
        FChanges.push_back(*FPendingDelete);
        FPendingDelete.reset();
    }
}

void TDiff::AddLine(int x, int y)
{
    if (FPendingAdd) {
        if (x == FPendingAdd->Line1 && y == FPendingAdd->Line2 + FPendingAdd->Count) {
            ++FPendingAdd->Count;
            return;
        }
        FlushAdd();
    } else if (FPendingDelete) {
        FlushDelete();
    }
    FPendingAdd = TDiffChange{dcAdded, x, y, 1};
}

void TDiff::DeleteLine(int x)
{
    if (FPendingDelete) {
        if (x == FPendingDelete->Line1 + FPendingDelete->Count) {
            ++FPendingDelete->Count;
            return;
        }
        FlushDelete();
    } else if (FPendingAdd && x == FPendingAdd->Line1) {
        // The deleted line and the first inserted line form a modified line.
        if (FPendingModify && x == FPendingModify->Line1 + FPendingModify->Count) {
            ++FPendingModify->Count;
        } else {
            FlushModify();
            FPendingModify = TDiffChange{dcModified, x, FPendingAdd->Line2, 1};
        }
        if (FPendingAdd->Count == 1) {
            FPendingAdd.reset();
        } else {
            --FPendingAdd->Count;
            ++FPendingAdd->Line1;
            ++FPendingAdd->Line2;
        }
        return;
    } else if (FPendingAdd) {
        FlushAdd();
    }
    FPendingDelete = TDiffChange{dcDeleted, x, 0, 1};
}

// ---- progress

void TDiff::ReportProgress()
{
    if (!OnProgress || !FComparing)
        return;
    const TClock::time_point now = TClock::now();
    long long percent = 0;
    if (!FMet && FFurthestForward < FSmallestReverse) {
        if (FLines1 <= 0)
            return;
        percent = static_cast<long long>(FLines1 - (FSmallestReverse - FFurthestForward)) * 46 / FLines1;
    } else {
        if (!FMet) {
            FMet = true;
            FMeeting = now;
        }
        const long long span = std::max<long long>(1, (FMeeting - FStart).count());
        percent = static_cast<long long>((now - FStart).count()) * 46 / span;
    }
    OnProgress(this, static_cast<int>(std::min<long long>(percent, INT_MAX)));
}
