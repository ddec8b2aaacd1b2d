// The undo list: change numbers and blocks, group breaks, the limit, locking, the saved-state
// mark, and how one undo or redo step groups items and hands them to the other list.

#include "SrcEdit/Source/text/SrcEditUndo.h"

#include <gtest/gtest.h>

namespace {

using R = TSrcUndoReason;

void Record(TSrcEditUndoList& list, R reason, const std::string& text = {})
{
    list.RecordChange(reason, {1, 1}, {2, 1}, text, TSrcSelectionMode::smNormal);
}

std::vector<std::int32_t> Numbers(TSrcEditUndoList& list)
{
    std::vector<std::unique_ptr<TSrcEditUndoItem>> items;
    while (list.HasItems())
        items.push_back(list.PopItem());
    std::vector<std::int32_t> numbers;
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        numbers.push_back((*it)->ChangeNumber);
        list.PushItem(std::move(*it));
    }
    return numbers;
}

} // namespace

// ---- Recording

TEST(UndoListRecording, BlocksShareOneChangeNumberAndNestedBlocksAddNothing)
{
    TSrcEditUndoList list;
    Record(list, R::urInsert);
    list.OpenBlock();
    Record(list, R::urDelete);
    list.OpenBlock();
    Record(list, R::urInsert);
    list.CloseBlock();
    Record(list, R::urPaste);
    list.CloseBlock();
    Record(list, R::urInsert);
    EXPECT_EQ(Numbers(list), (std::vector<std::int32_t>{1, 2, 2, 2, 3}));
    EXPECT_EQ(list.BlockChangeNumber(), 0);
    EXPECT_EQ(list.NextChangeNumber(), 4);
}

TEST(UndoListRecording, ALeadingChangeTakesTheNumberOfTheItemAfterIt)
{
    TSrcEditUndoList list;
    Record(list, R::urInsert);
    list.RecordLeadingChange(R::urSilentDelete, {1, 1}, {2, 1}, " ", TSrcSelectionMode::smNormal);
    Record(list, R::urInsert);
    Record(list, R::urInsert);
    list.OpenBlock();
    list.RecordLeadingChange(R::urSilentDelete, {1, 1}, {2, 1}, " ", TSrcSelectionMode::smNormal);
    list.CloseBlock();
    Record(list, R::urInsert);
    EXPECT_EQ(Numbers(list), (std::vector<std::int32_t>{1, 2, 2, 3, 4, 5}));
    list.Lock();
    list.RecordLeadingChange(R::urSilentDelete, {1, 1}, {2, 1}, " ", TSrcSelectionMode::smNormal);
    list.Unlock();
    EXPECT_EQ(list.ItemCount(), 6);
}

TEST(UndoListRecording, ClosingABlockReportsAnItemOnlyWhenTheBlockRecordedOne)
{
    TSrcEditUndoList list;
    int added = 0;
    list.OnItemAdded = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++added;
    };
    list.CloseBlock(); // no block: nothing
    EXPECT_EQ(list.NextChangeNumber(), 1);

    list.OpenBlock();
    list.CloseBlock();
    EXPECT_EQ(added, 0) << "an empty block";
    EXPECT_EQ(list.NextChangeNumber(), 2);

    list.OpenBlock();
    Record(list, R::urInsert);
    Record(list, R::urInsert);
    EXPECT_EQ(added, 2);
    list.CloseBlock();
    EXPECT_EQ(added, 3);
}

TEST(UndoListRecording, GroupBreaksAreNotDoubledAndNotReported)
{
    TSrcEditUndoList list;
    int added = 0;
    list.OnItemAdded = [&](TObject*) { ++added; };
    EXPECT_EQ(list.LastReason(), R::urNothing);
    list.AddGroupBreak();
    list.AddGroupBreak();
    EXPECT_EQ(list.ItemCount(), 1);
    EXPECT_EQ(list.LastReason(), R::urGroupBreak);
    Record(list, R::urInsert);
    list.AddGroupBreak();
    EXPECT_EQ(list.ItemCount(), 3);
    EXPECT_EQ(added, 1);

    auto pushed = std::make_unique<TSrcEditUndoItem>();
    pushed->Reason = R::urGroupBreak;
    list.PushItem(std::move(pushed));
    list.PushItem(nullptr);
    EXPECT_EQ(added, 1);
    EXPECT_EQ(list.ItemCount(), 4);
}

TEST(UndoListRecording, LockedListsRecordNothing)
{
    TSrcEditUndoList list;
    list.Unlock(); // not locked: stays at 0
    list.Lock();
    list.Lock();
    Record(list, R::urInsert);
    list.AddGroupBreak();
    list.Unlock();
    Record(list, R::urInsert);
    EXPECT_EQ(list.ItemCount(), 0);
    list.Unlock();
    Record(list, R::urInsert);
    EXPECT_EQ(list.ItemCount(), 1);
    EXPECT_EQ(list.PeekItem()->ChangeNumber, 1) << "nothing recorded while locked used a number";
}

TEST(UndoListRecording, ItemsKeepWhatWasRecorded)
{
    TSrcEditUndoList list;
    list.RecordChange(R::urDelete, {3, 4}, {5, 6}, "gone", TSrcSelectionMode::smColumn);
    const TSrcEditUndoItem* item = list.PeekItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Reason, R::urDelete);
    EXPECT_EQ(item->StartPos, (TBufferCoord{3, 4}));
    EXPECT_EQ(item->EndPos, (TBufferCoord{5, 6}));
    EXPECT_EQ(item->Text, "gone");
    EXPECT_EQ(item->SelectionMode, TSrcSelectionMode::smColumn);

    TSrcEditUndoItem copy;
    copy.Assign(*item);
    EXPECT_EQ(copy.Text, "gone");
    EXPECT_EQ(copy.ChangeNumber, item->ChangeNumber);
    EXPECT_EQ(copy.EndPos, item->EndPos);

    const auto popped = list.PopItem();
    EXPECT_EQ(popped->Text, "gone");
    EXPECT_EQ(list.PopItem(), nullptr);
    EXPECT_EQ(list.PeekItem(), nullptr);
}

TEST(UndoListRecording, AFailingHandlerLeavesTheItemOwnedByTheList)
{
    TSrcEditUndoList list;
    list.OnItemAdded = [](TObject*) { throw Exception("handler failed"); };
    EXPECT_THROW(Record(list, R::urInsert, "kept"), Exception);
    ASSERT_EQ(list.ItemCount(), 1);
    EXPECT_EQ(list.PeekItem()->Text, "kept");
    list.OnItemAdded = nullptr;
    EXPECT_EQ(list.PopItem()->Text, "kept");
}

// ---- Limit

TEST(UndoListLimit, OldestItemsGoAndTheTruncationIsRemembered)
{
    TSrcEditUndoList list;
    EXPECT_EQ(list.MaxEntries(), 1024);
    list.SetMaxEntries(2);
    Record(list, R::urInsert, "a");
    Record(list, R::urInsert, "b");
    EXPECT_FALSE(list.HistoryTruncated());
    Record(list, R::urInsert, "c");
    EXPECT_TRUE(list.HistoryTruncated());
    ASSERT_EQ(list.ItemCount(), 2);
    EXPECT_EQ(list.PopItem()->Text, "c");
    EXPECT_EQ(list.PopItem()->Text, "b");
    list.Clear();
    EXPECT_FALSE(list.HistoryTruncated());

    Record(list, R::urInsert);
    Record(list, R::urInsert);
    list.SetMaxEntries(-5);
    EXPECT_EQ(list.MaxEntries(), 0);
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_TRUE(list.HistoryTruncated());
    Record(list, R::urInsert);
    EXPECT_EQ(list.ItemCount(), 0) << "a limit of 0 keeps nothing";
}

// ---- Saved-state mark

TEST(UndoListSavedState, MarkFollowsTheNewestChangeNumber)
{
    TSrcEditUndoList list;
    EXPECT_TRUE(list.IsAtSavedState());
    Record(list, R::urInsert);
    EXPECT_FALSE(list.IsAtSavedState());
    list.SetSavedStateMark(true);
    EXPECT_TRUE(list.IsAtSavedState());
    Record(list, R::urInsert);
    EXPECT_FALSE(list.IsAtSavedState());
    list.SetSavedStateMark(false); // not at the mark: nothing
    list.PopItem();
    EXPECT_TRUE(list.IsAtSavedState());
    list.SetSavedStateMark(false);
    EXPECT_FALSE(list.IsAtSavedState());
    list.Clear();
    EXPECT_FALSE(list.IsAtSavedState()) << "an unsaved state never matches again";
    list.SetSavedStateMark(true);
    EXPECT_TRUE(list.IsAtSavedState()) << "saving an empty list";
}

TEST(UndoListSavedState, FreshListMarkedModifiedIsNeverAtTheMark)
{
    TSrcEditUndoList list;
    list.SetSavedStateMark(false);
    EXPECT_FALSE(list.IsAtSavedState());
}

TEST(UndoListAssign, CopiesItemsAndCountersButNotTheMark)
{
    TSrcEditUndoList source;
    source.SetMaxEntries(50);
    Record(source, R::urInsert, "a");
    source.OpenBlock();
    Record(source, R::urDelete, "b");
    source.Lock();
    source.SetSavedStateMark(true);

    TSrcEditUndoList copy;
    Record(copy, R::urPaste, "old");
    copy.Assign(source);
    EXPECT_EQ(copy.ItemCount(), 2);
    EXPECT_EQ(copy.MaxEntries(), 50);
    EXPECT_EQ(copy.BlockChangeNumber(), 2);
    EXPECT_EQ(copy.BlockCount(), 1);
    EXPECT_EQ(copy.LockCount(), 1);
    EXPECT_EQ(copy.NextChangeNumber(), source.NextChangeNumber());
    EXPECT_FALSE(copy.IsAtSavedState()) << "the copy keeps its own mark (0)";
    const auto b = copy.PopItem();
    EXPECT_EQ(b->Text, "b");
    EXPECT_EQ(b->ChangeNumber, 2);
    EXPECT_EQ(source.ItemCount(), 2) << "the source keeps its items";
}

// ---- Undo and redo steps

namespace {

// Plays the editor: reverting or replaying an item records it on the other list.
class UndoSteps : public ::testing::Test {
protected:
    TSrcEditUndoList Undo;
    TSrcEditUndoList Redo;

    enum class Op { Change, Break, Open, Close };
    struct Step {
        Op Kind;
        R Reason = R::urInsert;
        std::string Text;
    };

    void Play(const std::vector<Step>& steps)
    {
        for (const Step& s : steps) {
            switch (s.Kind) {
            case Op::Change: Record(Undo, s.Reason, s.Text); break;
            case Op::Break: Undo.AddGroupBreak(); break;
            case Op::Open: Undo.OpenBlock(); break;
            case Op::Close: Undo.CloseBlock(); break;
            }
        }
    }

    static TSrcUndoItemHandler MoveTo(TSrcEditUndoList& other, std::vector<std::string>& handled)
    {
        return [&other, &handled](const TSrcEditUndoItem& item) {
            handled.push_back(item.Text);
            other.RecordChange(item.Reason, item.StartPos, item.EndPos, item.Text, item.SelectionMode);
        };
    }

    // The texts handled by each step until the list is empty.
    std::vector<std::vector<std::string>> UndoAll(bool groupUndo, std::vector<bool>* markerSteps = nullptr)
    {
        std::vector<std::vector<std::string>> steps;
        while (Undo.HasItems() && steps.size() < 50) {
            std::vector<std::string> handled;
            const bool marker = UndoStep(Undo, Redo, groupUndo, MoveTo(Redo, handled));
            if (markerSteps)
                markerSteps->push_back(marker);
            if (!handled.empty())
                steps.push_back(handled);
        }
        return steps;
    }

    std::vector<std::vector<std::string>> RedoAll(bool groupUndo)
    {
        std::vector<std::vector<std::string>> steps;
        while (Redo.HasItems() && steps.size() < 50) {
            std::vector<std::string> handled;
            RedoStep(Redo, Undo, groupUndo, MoveTo(Undo, handled));
            steps.push_back(handled);
        }
        return steps;
    }

    static Step Ins(std::string text) { return {Op::Change, R::urInsert, std::move(text)}; }
    static Step Del(std::string text) { return {Op::Change, R::urDelete, std::move(text)}; }
    static Step Change(R reason, std::string text) { return {Op::Change, reason, std::move(text)}; }
    static Step Break() { return {Op::Break, R::urGroupBreak, {}}; }
    static Step Open() { return {Op::Open, R::urNothing, {}}; }
    static Step Close() { return {Op::Close, R::urNothing, {}}; }
};

using Texts = std::vector<std::vector<std::string>>;

} // namespace

TEST_F(UndoSteps, GroupingFollowsChangeNumbersKindsBreaksAndMarkers)
{
    struct Case {
        std::string Name;
        std::vector<Step> Steps;
        bool GroupUndo;
        Texts Expected;
    };
    const std::vector<Case> cases = {
        {"typing groups", {Ins("a"), Ins("b"), Ins("c")}, true, {{"c", "b", "a"}}},
        {"a break splits typing", {Ins("a"), Break(), Ins("b"), Ins("c")}, true, {{"c", "b"}, {"a"}}},
        {"kinds split", {Ins("a"), Del("b"), Del("c"), Ins("d")}, true, {{"d"}, {"c", "b"}, {"a"}}},
        {"indents never merge", {Change(R::urIndent, "x"), Change(R::urIndent, "y")}, true, {{"y"}, {"x"}}},
        {"unindents never merge", {Change(R::urUnindent, "x"), Change(R::urUnindent, "y")}, true, {{"y"}, {"x"}}},
        {"without grouping one by one", {Ins("a"), Ins("b")}, false, {{"b"}, {"a"}}},
        {"a block is one step", {Open(), Ins("a"), Del("b"), Ins("c"), Close(), Ins("d")}, false, {{"d"}, {"c", "b", "a"}}},
        {"typing runs into a block", {Open(), Ins("a"), Ins("b"), Close(), Ins("c")}, true, {{"c", "b", "a"}}},
        // Grouped by kind into an older step, typing left that step's item of another kind behind.
        {"typing grouped into a step takes all of it",
         {Open(), Del("t"), Ins("a"), Close(), Ins("b"), Del("c")}, true, {{"c"}, {"b", "a", "t"}}},
        {"markers bracket a step",
         {Ins("z"), Change(R::urMarkerBegin2, "("), Ins("a"), Del("b"), Change(R::urMarkerEnd2, ")")},
         false,
         {{")", "b", "a", "("}, {"z"}}},
        {"nested markers",
         {Change(R::urMarkerBegin1, "[1"), Ins("a"), Change(R::urMarkerBegin2, "[2"), Del("b"),
          Change(R::urMarkerEnd2, "]2"), Change(R::urMarkerEnd1, "]1")},
         true,
         {{"]1", "]2", "b", "[2", "a", "[1"}}},
        {"an end marker without its begin takes the rest",
         {Ins("a"), Del("b"), Change(R::urMarkerEnd3, ")")}, false, {{")", "b", "a"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Undo.Clear();
        Redo.Clear();
        Play(c.Steps);
        EXPECT_EQ(UndoAll(c.GroupUndo), c.Expected);
        EXPECT_EQ(Undo.ItemCount(), 0);
        EXPECT_EQ(Redo.BlockChangeNumber(), 0) << "the redo list's block number is restored";
    }
}

TEST_F(UndoSteps, RedoReplaysTheSameStepsAndRestoresTheUndoList)
{
    Play({Ins("a"), Break(), Ins("b"), Ins("c"), Open(), Del("d"), Ins("e"), Close()});
    const Texts undone = {{"e", "d"}, {"c", "b"}, {"a"}};
    EXPECT_EQ(UndoAll(true), undone);
    for (const std::int32_t n : Numbers(Redo))
        EXPECT_NE(n, 0);
    EXPECT_EQ(RedoAll(true), (Texts{{"a"}, {"b", "c"}, {"d", "e"}}));
    EXPECT_EQ(Redo.ItemCount(), 0);
    EXPECT_EQ(Undo.ItemCount(), 6) << "the group break came back too";
    EXPECT_EQ(UndoAll(true), undone) << "the redone changes undo in the same steps again";
}

TEST_F(UndoSteps, ABreakRecordedInsideABlockStillSeparatesTheStepsAfterRedo)
{
    // A command that ends by moving the caret (a drop selects what it dropped) records the
    // break inside its own block, with the block's number.
    struct Case {
        std::string Name;
        std::vector<Step> Steps;
        Texts Undone;
        Texts Redone;
    };
    const std::vector<Case> cases = {
        {"two blocks of one kind",
         {Open(), Ins("a"), Break(), Close(), Open(), Ins("b"), Break(), Close()},
         {{"b"}, {"a"}},
         {{"a"}, {"b"}}},
        {"a block of two kinds, then one of the last kind",
         {Open(), Del("d"), Ins("a"), Break(), Close(), Open(), Ins("b"), Break(), Close()},
         {{"b"}, {"a", "d"}},
         {{"d", "a"}, {"b"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Undo.Clear();
        Redo.Clear();
        Play(c.Steps);
        EXPECT_EQ(UndoAll(true), c.Undone);
        EXPECT_EQ(RedoAll(true), c.Redone) << "the break is moved back, not replayed as part of a step";
        EXPECT_EQ(Redo.ItemCount(), 0);
        EXPECT_EQ(UndoAll(true), c.Undone) << "redone, the changes undo in the same steps again";
    }
}

TEST_F(UndoSteps, ItemsRecordedDuringAStepShareTheStepsNumber)
{
    Play({Ins("a"), Ins("b"), Ins("c")});
    UndoAll(false);
    const std::vector<std::int32_t> numbers = Numbers(Redo);
    EXPECT_EQ(numbers, (std::vector<std::int32_t>{3, 2, 1}));

    Undo.Clear();
    Redo.Clear();
    Play({Ins("a"), Ins("b"), Ins("c")});
    UndoAll(true);
    EXPECT_EQ(Numbers(Redo), (std::vector<std::int32_t>{6, 6, 6})) << "one step, one number: redo is one step too";
    EXPECT_EQ(RedoAll(false), (Texts{{"a", "b", "c"}}));
}

TEST_F(UndoSteps, ABlockOpenedDuringAStepKeepsTheStepsNumber)
{
    // A redone line break runs as a command with its own block; what it and the rest of the
    // step record must still redo and undo as the one step it was.
    const std::int32_t step = 7;
    Redo.SetBlockChangeNumber(step);
    Record(Redo, R::urDelete, "d");
    Redo.OpenBlock();
    Redo.OpenBlock();
    Record(Redo, R::urLineBreak, "b");
    Redo.CloseBlock();
    Record(Redo, R::urLineBreak, "nested");
    Redo.CloseBlock();
    Record(Redo, R::urInsert, "i");
    EXPECT_EQ(Numbers(Redo), (std::vector<std::int32_t>{step, step, step, step}));
    EXPECT_EQ(Redo.BlockChangeNumber(), step) << "the step's number stays for what follows";
    EXPECT_EQ(Redo.BlockCount(), 0);
    Redo.SetBlockChangeNumber(0);
    const std::int32_t next = Redo.NextChangeNumber();
    Redo.OpenBlock();
    Record(Redo, R::urInsert, "outside");
    Redo.CloseBlock();
    EXPECT_EQ(Redo.PeekItem()->ChangeNumber, next) << "outside a step a block takes a number of its own";
    EXPECT_EQ(Redo.BlockChangeNumber(), 0);
}

TEST_F(UndoSteps, MarkerStepsAskForTheModifiedFlag)
{
    Play({Ins("x"), Change(R::urMarkerBegin2, "("), Ins("a"), Change(R::urMarkerEnd2, ")")});
    std::vector<bool> markers;
    UndoAll(false, &markers);
    EXPECT_EQ(markers, (std::vector<bool>{true, false}));
}

TEST_F(UndoSteps, UndoingBackToTheSavedStateAndRedoingAway)
{
    // The editor saves: a group break, then the mark.
    Play({Ins("a"), Ins("b")});
    Undo.AddGroupBreak();
    Undo.SetSavedStateMark(true);
    EXPECT_TRUE(Undo.IsAtSavedState());
    Play({Ins("c")});
    EXPECT_FALSE(Undo.IsAtSavedState());

    std::vector<std::string> handled;
    UndoStep(Undo, Redo, true, MoveTo(Redo, handled));
    EXPECT_EQ(handled, (std::vector<std::string>{"c"}));
    EXPECT_TRUE(Undo.IsAtSavedState());

    handled.clear();
    EXPECT_FALSE(RedoStep(Redo, Undo, true, MoveTo(Undo, handled)));
    EXPECT_EQ(handled, (std::vector<std::string>{"c"}));
    EXPECT_FALSE(Undo.IsAtSavedState());

    handled.clear();
    UndoStep(Undo, Redo, true, MoveTo(Redo, handled));
    EXPECT_TRUE(Undo.IsAtSavedState());
    handled.clear();
    UndoStep(Undo, Redo, true, MoveTo(Redo, handled));
    EXPECT_EQ(handled, (std::vector<std::string>{"b", "a"})) << "the break went to the redo list first";
    EXPECT_FALSE(Undo.IsAtSavedState());
    EXPECT_EQ(Redo.ItemCount(), 4);

    handled.clear();
    EXPECT_TRUE(RedoStep(Redo, Undo, true, MoveTo(Undo, handled))) << "a break came back: the flag is synchronised";
    EXPECT_EQ(handled, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(Undo.IsAtSavedState());
}

TEST_F(UndoSteps, AStepOnAnEmptyListOrOnlyABreakDoesNothingMore)
{
    int calls = 0;
    const TSrcUndoItemHandler count = [&](const TSrcEditUndoItem&) { ++calls; };
    EXPECT_FALSE(UndoStep(Undo, Redo, true, count));
    EXPECT_FALSE(RedoStep(Redo, Undo, true, count));
    Undo.AddGroupBreak();
    EXPECT_FALSE(UndoStep(Undo, Redo, true, count));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(Undo.ItemCount(), 0);
    EXPECT_EQ(Redo.LastReason(), R::urGroupBreak);
}

TEST_F(UndoSteps, AFailingRevertFreesTheItemAndRestoresTheBlockNumber)
{
    Play({Ins("a"), Ins("b")});
    Redo.SetBlockChangeNumber(0);
    EXPECT_THROW(UndoStep(Undo, Redo, true, [](const TSrcEditUndoItem&) { throw Exception("revert failed"); }),
                 Exception);
    EXPECT_EQ(Undo.ItemCount(), 1);
    EXPECT_EQ(Redo.BlockChangeNumber(), 0);
}
