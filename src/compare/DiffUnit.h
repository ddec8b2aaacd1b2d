#pragma once
// TDiff: a shortest edit script between two sequences of line hashes (the linear-space O(ND)
// search of E. W. Myers: a bidirectional search for the middle snake, then both halves), as a
// short list of added, deleted and modified line runs. The search runs on the GUI thread and
// lets the event loop run between its steps, so the window stays responsive, an estimated
// percentage is reported once a second, and RequestCancel stops it.
//
// Lines whose hash does not occur in the other sequence at all can never be matched; they are
// set aside before the search, which keeps the script shortest and makes unrelated files cheap.
// A search for a middle snake that takes more steps than a bound (about the square root of the
// lines, at least MinStepBound; four times that while its fronts still match lines) splits its
// part at the point its fronts reached furthest instead, so files whose lines are reordered
// compare in time linear in their size, with a script that is correct but may be a little longer
// than the shortest.
// Within each run of differing lines, the insertions are reported before the deletions, so that
// facing lines pair up as modified lines.

#include "Platform/core/Component.h"

#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

enum TDiffChangeKind : std::uint8_t { dcAdded = 0, dcDeleted = 1, dcModified = 2 };

// dcAdded: the Count lines of file 2 from Line2 on are inserted before line Line1 of file 1
// (Line1 may be file 1's line count: appended). dcDeleted: the Count lines of file 1 from Line1
// on are removed (Line2 is 0). dcModified: the Count lines of file 1 from Line1 on are replaced by
// the Count lines of file 2 from Line2 on. Lines count from 0; the list is ordered by Line1, and
// applying every record in order to file 1 gives file 2.
struct TDiffChange {
    TDiffChangeKind Kind = dcAdded;
    std::int32_t Line1 = 0;
    std::int32_t Line2 = 0;
    std::int32_t Count = 0;
    bool operator==(const TDiffChange&) const = default;
};

class TDiff : public TComponent {
public:
    static constexpr int ProgressInterval = 1000; // milliseconds
    // The largest number of steps of one search; it bounds both search arrays.
    static constexpr int MaxDLimit = 0xFFFFF;

    explicit TDiff(TComponent* AOwner);
    ~TDiff() override;

    // True when the change list now describes the difference; false (with an empty list) when a
    // hash array is missing (a null array of 0 hashes is an empty one), the comparison was
    // cancelled, or one runs already.
    bool CompareHashes(const std::uint32_t* hashes1, const std::uint32_t* hashes2, int count1, int count2);
    // Meant for a command handler that runs while the comparison lets events through.
    void RequestCancel() { FCancelled = true; }
    bool Comparing() const { return FComparing; }

    int ChangeCount() const { return static_cast<int>(FChanges.size()); }
    // A copy of record `index`; EListError "List index out of bounds (%d)" outside the list.
    TDiffChange GetChange(int index) const;
    const std::vector<TDiffChange>& Changes() const { return FChanges; }
    void Clear();

    // (Sender, percent): an estimate that reaches 46 when the two search fronts meet and then
    // grows with the time spent, so it may pass 100.
    std::function<void(TObject* Sender, int percent)> OnProgress;
    // The timer's handler; runs whenever the comparison lets events through and a second passed.
    void ReportProgress();

    // How often the search lets events through, at most (milliseconds); tests may shorten it.
    int EventInterval = 10;
    // The fewest steps a search for a middle snake takes before it may settle for a split point;
    // tests may lower it.
    int MinStepBound = 4096;

private:
    struct TSearch;
    // One part of the search: lines x1..x2-1 of file 1 against y1..y2-1 of file 2. `fronts`: the
    // progress estimate follows this part's search fronts.
    bool DiffRange(TSearch& s, int x1, int y1, int x2, int y2, bool fronts);
    bool LetEventsThrough();

    // The runs the change list is built from.
    void AddLine(int x, int y);
    void DeleteLine(int x);
    void FlushAdd();
    void FlushDelete();
    void FlushModify();

    std::vector<TDiffChange> FChanges;
    std::optional<TDiffChange> FPendingAdd;
    std::optional<TDiffChange> FPendingDelete;
    std::optional<TDiffChange> FPendingModify;

    bool FCancelled = false;
    bool FComparing = false;

    // Progress state.
    QTimer FTimer;
    using TClock = std::chrono::steady_clock;
    TClock::time_point FStart;
    TClock::time_point FMeeting;
    bool FMet = false;
    TClock::time_point FLastEvents;
    int FLines1 = 0;
    int FFurthestForward = 0;
    int FSmallestReverse = 0;
};
