// Marks and bookmarks: placing and removing them, jumping to them, the gutter click, and marks
// that stay with their lines while lines are inserted and deleted.

#include "SrcEdit/view/EditorTestSupport.h"

#include <array>

namespace {

using EditorMarks = EditorTest;

std::string Lines(int count)
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "line " + std::to_string(i) + (i < count ? "\r\n" : "");
    return text;
}

// A mark the test owns while it is out of the list.
TSrcEditMark* NewMark(TCustomSrcEdit& edit, int line, bool visible = true)
{
    auto* mark = new TSrcEditMark(&edit);
    mark->SetLineNumber(line);
    mark->SetVisibleFlag(visible);
    return mark;
}

TEST_F(EditorMarks, BookmarksOutsideTheirRangeArePlacedNowhere)
{
    SetText(Lines(5));
    Edit->PlaceBookmark(10, 1, 1);
    Edit->PlaceBookmark(-1, 1, 1);
    Edit->PlaceBookmark(3, 1, 0);
    Edit->PlaceBookmark(3, 1, 6);
    EXPECT_EQ(Edit->MarkList().Count(), 0);
    Edit->PlaceBookmark(3, 2, 2);
    Edit->PlaceBookmark(3, 4, 4);
    ASSERT_EQ(Edit->MarkList().Count(), 1);
    EXPECT_EQ(Edit->Bookmark(3)->Line(), 4);
    EXPECT_TRUE(Edit->Bookmark(3)->IsBookmark());
    EXPECT_TRUE(Edit->Bookmark(3)->InternalImage());
}

TEST_F(EditorMarks, OnPlaceBookmarkMayDropTheMark)
{
    SetText(Lines(5));
    Edit->OnPlaceBookmark = [](TObject*, TSrcEditMark*& mark) { mark = nullptr; };
    Edit->PlaceBookmark(1, 1, 2);
    EXPECT_EQ(Edit->Bookmark(1), nullptr);
    EXPECT_EQ(Edit->MarkList().Count(), 0);
}

TEST_F(EditorMarks, RemovingABookmarkTellsOnClearBookmark)
{
    SetText(Lines(5));
    Edit->PlaceBookmark(2, 1, 3);
    int lineSeen = 0;
    Edit->OnClearBookmark = [&](TObject*, TSrcEditMark*& mark) { lineSeen = mark->Line(); };
    Edit->RemoveBookmark(2);
    EXPECT_EQ(lineSeen, 3);
    EXPECT_EQ(Edit->Bookmark(2), nullptr);
    EXPECT_EQ(Edit->MarkList().Count(), 0);
}

TEST_F(EditorMarks, ABookmarkTakenOutOfTheListIsNoLongerTheEditors)
{
    for (const bool byIndex : {false, true}) {
        SCOPED_TRACE(byIndex ? "DeleteMark" : "RemoveMark");
        SetText(Lines(5));
        Edit->PlaceBookmark(3, 2, 4);
        std::unique_ptr<TSrcEditMark> taken(Edit->Bookmark(3));
        if (byIndex)
            Edit->MarkList().DeleteMark(0);
        else
            Edit->MarkList().RemoveMark(taken.get());
        taken.reset(); // the list gave it back; its holder frees it
        EXPECT_EQ(Edit->Bookmark(3), nullptr);
        GoTo(1, 1);
        Command(ecGotoMarker3);
        EXPECT_EQ(Caret(), MakeBufferCoord(1, 1));
        Command(ecSetMarker3);
        ASSERT_NE(Edit->Bookmark(3), nullptr);
        EXPECT_EQ(Edit->Bookmark(3)->Line(), 1);
        Edit->ResetContents();
    }
}

TEST_F(EditorMarks, JumpingToABookmarkPlacesTheCaretAndDropsTheSelection)
{
    SetText(Lines(50));
    Edit->PlaceBookmark(5, 3, 40);
    Select(MakeBufferCoord(1, 1), MakeBufferCoord(3, 2));
    Edit->JumpToBookmark(5);
    EXPECT_EQ(Caret(), MakeBufferCoord(3, 40));
    EXPECT_FALSE(Edit->HasSelection());
    EXPECT_TRUE(Edit->IsCaretVisible());
    // A bookmark whose line has gone beyond the text is not jumped to.
    Edit->Bookmark(5)->SetLineNumber(80);
    GoTo(1, 1);
    Edit->JumpToBookmark(5);
    EXPECT_EQ(Caret(), MakeBufferCoord(1, 1));
}

TEST_F(EditorMarks, KeysSetToggleAndJumpToBookmarks)
{
    SetText(Lines(10));
    GoTo(4, 3);
    Command(ecSetMarker3);
    ASSERT_NE(Edit->Bookmark(3), nullptr);
    GoTo(1, 8);
    Command(ecGotoMarker3);
    EXPECT_EQ(Caret(), MakeBufferCoord(4, 3));
    GoTo(2, 6);
    Command(ecSetMarker3); // another line: moves it
    EXPECT_EQ(Edit->Bookmark(3)->Line(), 6);
    Command(ecSetMarker3); // its own line: removes it
    EXPECT_EQ(Edit->Bookmark(3), nullptr);
    TBufferCoord at = MakeBufferCoord(2, 9);
    Command(ecSetMarker7, 0, &at);
    EXPECT_EQ(Edit->Bookmark(7)->Line(), 9);
    Edit->BookMarkOptions().SetEnableKeys(false);
    Command(ecSetMarker7, 0, &at);
    EXPECT_NE(Edit->Bookmark(7), nullptr);
}

TEST_F(EditorMarks, ScriptedKeysSetAndJumpToBookmarks)
{
    SetText(Lines(30));
    GoTo(3, 7);
    Key(Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_NE(Edit->Bookmark(3), nullptr);
    EXPECT_EQ(Edit->Bookmark(3)->Line(), 7);
    Key(Qt::Key_End, Qt::ControlModifier);
    Key(Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(Caret(), MakeBufferCoord(3, 7));
    EXPECT_EQ(Text(), Lines(30)); // the keys typed nothing
}

TEST_F(EditorMarks, RemoveLineMarksKeepsBookmarks)
{
    SetText(Lines(5));
    Edit->PlaceBookmark(0, 1, 2);
    TSrcEditMark* a = NewMark(*Edit, 2);
    TSrcEditMark* b = NewMark(*Edit, 2);
    Edit->MarkList().AddMark(a);
    Edit->MarkList().AddMark(b);
    Edit->MarkList().RemoveLineMarks(2);
    ASSERT_EQ(Edit->MarkList().Count(), 1);
    EXPECT_TRUE(Edit->MarkList().GetMark(0)->IsBookmark());
    delete a; // out of the list, the marks are the caller's again
    delete b;
}

TEST_F(EditorMarks, CollectLineMarksTakesAtMostSixteen)
{
    SetText(Lines(5));
    for (int i = 0; i < 20; ++i)
        Edit->MarkList().AddMark(NewMark(*Edit, 4));
    Edit->MarkList().AddMark(NewMark(*Edit, 3));
    std::array<TSrcEditMark*, 16> marks;
    Edit->MarkList().CollectLineMarks(4, marks);
    EXPECT_EQ(std::count(marks.begin(), marks.end(), nullptr), 0);
    EXPECT_EQ(marks[0], Edit->MarkList().GetMark(0));
    Edit->MarkList().CollectLineMarks(3, marks);
    EXPECT_EQ(std::count(marks.begin(), marks.end(), nullptr), 15);
}

TEST_F(EditorMarks, AdjustmentsMoveMarksWithTheirLines)
{
    SetText(Lines(12));
    struct Case {
        bool Insert;
        int First;
        int Count;
        int Before;
        int After;
    };
    const std::vector<Case> cases = {
        {false, 5, 3, 10, 7}, {false, 5, 3, 7, 5}, {false, 5, 3, 5, 5}, {false, 5, 3, 4, 4},
        {true, 4, 2, 4, 6},   {true, 4, 2, 3, 3},  {true, 4, 2, 9, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.Insert ? "insert " : "delete ") << c.First << "," << c.Count << " mark "
                                        << c.Before);
        Edit->MarkList().ClearAll();
        TSrcEditMark* mark = NewMark(*Edit, c.Before);
        Edit->MarkList().AddMark(mark);
        if (c.Insert)
            Edit->AdjustMarksForInsertedLines(c.First, c.Count);
        else
            Edit->AdjustMarksForDeletedLines(c.First, c.Count);
        EXPECT_EQ(mark->Line(), c.After);
    }
}

TEST_F(EditorMarks, MarksFollowTheTextAsItIsEdited)
{
    SetText(Lines(6));
    Edit->PlaceBookmark(1, 1, 4);
    GoTo(1, 2);
    Key(Qt::Key_Return); // a line before line 4
    EXPECT_EQ(Edit->Bookmark(1)->Line(), 5);
    GoTo(1, 1);
    Key(Qt::Key_Y, Qt::ControlModifier); // line 1 deleted
    EXPECT_EQ(Edit->Bookmark(1)->Line(), 4);
    EXPECT_EQ(Line(4), "line 4");
    Select(MakeBufferCoord(3, 2), MakeBufferCoord(2, 5));
    Key(Qt::Key_Delete); // lines 3 to 5 joined into line 2
    EXPECT_EQ(Edit->Bookmark(1)->Line(), 2);
    UndoAll();
    EXPECT_EQ(Text(), Lines(6));
}

TEST_F(EditorMarks, LineCommandsMoveMarksOnlyWhereLinesCameOrWent)
{
    SetText(Lines(4));
    Edit->PlaceBookmark(1, 1, 1);
    Edit->PlaceBookmark(2, 1, 2);
    GoTo(1, 1);
    Key(Qt::Key_Y, Qt::ControlModifier); // line 1 deleted: its mark stays on line 1
    EXPECT_EQ(Edit->Bookmark(1)->Line(), 1);
    EXPECT_EQ(Edit->Bookmark(2)->Line(), 1);
    SetText(Lines(4));
    Edit->PlaceBookmark(3, 1, 2);
    Edit->PlaceBookmark(4, 1, 3);
    GoTo(3, 2);
    Key(Qt::Key_N, Qt::ControlModifier); // ecInsertLine after the caret's part of line 2
    EXPECT_EQ(Edit->Bookmark(3)->Line(), 2);
    EXPECT_EQ(Edit->Bookmark(4)->Line(), 4);
    GoTo(1, 1);
    Edit->InsertColumnBlock(MakeBufferCoord(1, 4), MakeBufferCoord(1, 4), true, "a\r\nb\r\nc");
    EXPECT_EQ(Edit->Bookmark(3)->Line(), 2); // the block's new lines come at the end
    EXPECT_EQ(Edit->Bookmark(4)->Line(), 4);
}

TEST_F(EditorMarks, AGutterClickFindsTheMarkUnderThePointer)
{
    SetText(Lines(5));
    Edit->BookMarkOptions().SetXoffset(12);
    TSrcEditMark* first = NewMark(*Edit, 2);
    TSrcEditMark* second = NewMark(*Edit, 2);
    Edit->MarkList().AddMark(first);
    Edit->MarkList().AddMark(second);
    int line = 0;
    TSrcEditMark* clicked = nullptr;
    Edit->OnGutterClick = [&](TObject*, TMouseButton, int, int, int aLine, TSrcEditMark* mark) {
        line = aLine;
        clicked = mark;
    };
    const int y = Edit->LineHeight() + 1; // row 2
    const std::vector<std::pair<int, TSrcEditMark*>> cases = {{10, first}, {20, second}, {30, nullptr}};
    for (const auto& [x, mark] : cases) {
        SCOPED_TRACE(x);
        Edit->FireGutterClick(TMouseButton::mbLeft, x, y);
        EXPECT_EQ(line, 2);
        EXPECT_EQ(clicked, mark);
    }
    line = 0;
    Edit->FireGutterClick(TMouseButton::mbLeft, 5, Edit->LineHeight() * 9); // below the text
    EXPECT_EQ(line, 0);
}

TEST_F(EditorMarks, AMarkOutlivingItsEditorForgetsIt)
{
    auto mark = std::make_unique<TSrcEditMark>(Edit.get());
    Edit.reset();
    EXPECT_EQ(mark->GetOwnerEditor(), nullptr);
    mark->SetLineNumber(3); // must not reach the dead editor
    EXPECT_EQ(mark->Line(), 3);
}

TEST_F(EditorMarks, ResetContentsDropsMarksAndBookmarks)
{
    SetText(Lines(5));
    Edit->PlaceBookmark(4, 1, 3);
    Edit->ResetContents();
    EXPECT_EQ(Edit->MarkList().Count(), 0);
    EXPECT_EQ(Edit->Bookmark(4), nullptr);
    Edit->RemoveBookmark(4); // nothing left to free
}

} // namespace
