// The insertion primitives: replacing the selection with text laid out in each selection mode,
// writing lines, and what undo makes of it.

#include "SrcEdit/view/EditorTestSupport.h"

#include <functional>

namespace {

using EditorInsert = EditorTest;

TEST_F(EditorInsert, ATwoLineTextAtTheCaretIsOneUndoStep)
{
    SetText("ab");
    GoTo(2, 1);
    Edit->SetSelectedText("X\r\nY");
    EXPECT_EQ(Text(), "aX\r\nYb");
    EXPECT_EQ(Caret(), MakeBufferCoord(2, 2));
    ASSERT_EQ(Edit->UndoList().ItemCount(), 1);
    EXPECT_EQ(Edit->UndoList().PeekItem()->Reason, TSrcUndoReason::urInsert);
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "ab");
}

TEST_F(EditorInsert, ReplacingAMultiLineSelectionJoinsItsLinesAndMovesTheirMarks)
{
    SetText("one\r\ntwo\r\nthree\r\nfour");
    Edit->PlaceBookmark(1, 1, 2);
    Edit->PlaceBookmark(2, 1, 4);
    Select(MakeBufferCoord(2, 1), MakeBufferCoord(3, 3));
    Edit->SetSelectedText("-");
    EXPECT_EQ(Text(), "o-ree\r\nfour");
    EXPECT_EQ(Edit->Bookmark(1)->Line(), 1);
    EXPECT_EQ(Edit->Bookmark(2)->Line(), 2);
}

// The caret at the start of the selection (Shift+Left, Shift+Home) puts the anchor at its end;
// replacing or cutting such a selection must do what it does to the same selection made forwards.
TEST_F(EditorInsert, ASelectionMadeBackwardsIsReplacedLikeOneMadeForwards)
{
    struct Case {
        const char* What;
        TSrcSelectionMode Mode;
        TBufferCoord Start;
        TBufferCoord End;
        std::string Replaced; // by "X"
    };
    const std::string original = "hello world\r\nsecond line\r\nthird";
    const std::vector<Case> cases = {
        {"normal, one line", TSrcSelectionMode::smNormal, {1, 1}, {6, 1}, "X world\r\nsecond line\r\nthird"},
        {"normal, two lines", TSrcSelectionMode::smNormal, {7, 1}, {3, 2}, "hello Xcond line\r\nthird"},
        {"line", TSrcSelectionMode::smLine, {2, 1}, {3, 2}, "Xthird"},
        {"column", TSrcSelectionMode::smColumn, {2, 1}, {4, 2}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        for (const bool cut : {false, true}) {
            SCOPED_TRACE(cut ? "cut" : "replaced");
            std::string forwards;
            for (const bool backwards : {false, true}) {
                SCOPED_TRACE(backwards ? "backwards" : "forwards");
                SetText(original);
                Edit->SetSelectionMode(c.Mode);
                if (backwards)
                    Select(c.End, c.Start);
                else
                    Select(c.Start, c.End);
                ASSERT_EQ(Edit->BlockBegin(), backwards ? c.End : c.Start);
                if (cut)
                    Edit->CutSelectionToClipboard();
                else
                    Edit->SetSelectedText("X");
                if (!backwards) {
                    forwards = Text();
                    EXPECT_NE(forwards, original);
                    if (!cut && !c.Replaced.empty()) {
                        EXPECT_EQ(forwards, c.Replaced);
                    }
                } else {
                    EXPECT_EQ(Text(), forwards);
                }
                UndoAll();
                EXPECT_EQ(Text(), original);
            }
        }
    }
}

TEST_F(EditorInsert, TypingBeyondTheEndPadsTheLine)
{
    SetText("12345\r\nx");
    GoTo(10, 1);
    Edit->SetSelectedText("Z");
    EXPECT_EQ(Line(1), "12345    Z");
}

TEST_F(EditorInsert, ALineBlockGoesBeforeTheCaretLine)
{
    SetText("1\r\n2\r\n3\r\n4\r\n5\r\n6");
    struct Case {
        std::string Block;
        std::string Result;
    };
    const std::vector<Case> cases = {
        {"a\r\nb\r\n", "1\r\n2\r\n3\r\n4\r\na\r\nb\r\n5\r\n6"},
        {"a\r\nb\r\nc", "1\r\n2\r\n3\r\n4\r\na\r\nb\r\nc5\r\n6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Block);
        SetText("1\r\n2\r\n3\r\n4\r\n5\r\n6");
        GoTo(1, 5);
        Edit->InsertBlockText(TSrcSelectionMode::smLine, c.Block, false);
        EXPECT_EQ(Text(), c.Result);
    }
}

TEST_F(EditorInsert, AColumnBlockAddsLinesAtTheEndAndUndoTakesThemAway)
{
    std::vector<std::unique_ptr<TSrcEditUndoItem>> items;
    for (const std::string block : {"AA\r\nBB\r\nCC", "AA\nBB\nCC", "AA\rBB\rCC"}) {
        SCOPED_TRACE(block);
        SetText("abcdef\r\nxy");
        GoTo(4, 1);
        Edit->BeginUndoBlock();
        Edit->InsertColumnBlock(MakeBufferCoord(4, 1), MakeBufferCoord(4, 1), true, block);
        Edit->EndUndoBlock();
        EXPECT_EQ(Text(), "abcAAdef\r\nxy BB\r\n   CC");
        bool lineBreak = false;
        for (int i = 0; i < 10 && Edit->UndoList().HasItems(); ++i) {
            auto item = Edit->UndoList().PopItem();
            lineBreak = lineBreak || item->Reason == TSrcUndoReason::urLineBreak;
            items.push_back(std::move(item));
        }
        EXPECT_TRUE(lineBreak);
        for (auto it = items.rbegin(); it != items.rend(); ++it)
            Edit->UndoList().PushItem(std::move(*it));
        items.clear();
        Edit->UndoLastChange();
        EXPECT_EQ(Text(), "abcdef\r\nxy");
    }
}

TEST_F(EditorInsert, AColumnBlockInAnEmptyTextUndoesAndRedoesToTheSameText)
{
    SetText("");
    Edit->BeginUndoBlock();
    Edit->InsertColumnBlock(MakeBufferCoord(1, 1), MakeBufferCoord(1, 1), true, "ab\r\ncd");
    Edit->EndUndoBlock();
    EXPECT_EQ(Text(), "ab\r\ncd");
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "");
    Edit->RedoLastChange();
    EXPECT_EQ(Text(), "ab\r\ncd");
    EXPECT_EQ(Edit->Lines().Count(), 2);
}

TEST_F(EditorInsert, StoreLineTrimsWithTrailingSpaceTrimming)
{
    SetText("x");
    Options({eoTrimTrailingSpaces});
    Edit->StoreLine(0, "text \t \t");
    EXPECT_EQ(Line(1), "text");
    Options({}, {eoTrimTrailingSpaces});
    Edit->StoreLine(0, "text \t");
    EXPECT_EQ(Line(1), "text \t");
}

} // namespace

// Every insertion below must undo to the text it started from and redo to what it made.
namespace {

void ExpectRoundTrip(EditorTest& t, const std::string& original, const std::string& edited)
{
    EXPECT_EQ(t.Text(), edited);
    t.UndoAll();
    EXPECT_EQ(t.Text(), original) << "undo";
    t.RedoAll();
    EXPECT_EQ(t.Text(), edited) << "redo";
}

} // namespace

TEST_F(EditorInsert, AColumnBlockReplacingARectangleUndoesToTheRectangle)
{
    struct Case {
        const char* What;
        TBufferCoord At;
        TBufferCoord BlockEnd;
        std::string Block;
        std::string Edited;
    };
    const std::string original = "abcdef\r\nghijkl\r\nmnopqr";
    const std::vector<Case> cases = {
        // The text goes in from the line of the free end.
        {"two lines by two columns", {2, 1}, {4, 2}, "X\r\nY", "adef\r\ngXjkl\r\nmYnopqr"},
        {"drawn upwards from the right", {5, 3}, {3, 2}, "", "abcdef\r\nghkl\r\nmnqr"},
        {"one line, text on more lines", {4, 1}, {1, 1}, "1\r\n2", "1def\r\n2ghijkl\r\nmnopqr"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        SetText(original);
        Edit->ClearUndoHistory();
        Edit->InsertColumnBlock(c.At, c.BlockEnd, true, c.Block);
        ExpectRoundTrip(*this, original, c.Edited);
    }
}

TEST_F(EditorInsert, TextGoesInAndIsRecordedWhereTheCaretIsWhenTheEmptySelectionLiesElsewhere)
{
    // A selection dragged across virtual space on an empty line is empty and sits at the line
    // end, while the caret stays where the drag ended; a case command at the line end then
    // moves the caret on to the next line without touching the selection.
    const std::string original = "ab\r\n\r\ncd";
    SetText(original);
    Edit->ClearUndoHistory();
    TBufferCoord from = MakeBufferCoord(6, 2);
    TBufferCoord to = MakeBufferCoord(3, 2);
    Command(ecGotoXY, 0, &from);
    Command(ecSelGotoXY, 0, &to);
    Command(ecToggleCaseBlock);
    ASSERT_EQ(Caret(), MakeBufferCoord(1, 3));
    Edit->SetSelectedText("X\r\nY");
    ExpectRoundTrip(*this, original, "ab\r\n\r\nX\r\nYcd");
}

TEST_F(EditorInsert, WithoutVirtualSpaceAnIndentedSelectionStaysInsideItsLinesAndIsReplacedThere)
{
    // Indenting lines whose first is empty leaves that line empty (trimmed): the selection
    // must not start one indent unit beyond its end, where no text can go.
    struct Case {
        const char* What;
        std::function<void()> Replace;
    };
    const std::vector<Case> cases = {
        {"SetSelectedText", [this] { Edit->SetSelectedText("q"); }},
        {"typing", [this] { Command(ecChar, U'q'); }},
    };
    const std::string original = "\r\n    x\r\nyz";
    Options({eoTrimTrailingSpaces, eoTabsToSpaces}, {eoScrollPastEol});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        SetText(original);
        Edit->ClearUndoHistory();
        TBufferCoord from = MakeBufferCoord(1, 1);
        TBufferCoord to = MakeBufferCoord(4, 2);
        Command(ecGotoXY, 0, &from);
        Command(ecSelGotoXY, 0, &to);
        Command(ecBlockIndent);
        ASSERT_EQ(Text(), "\r\n" + std::string(static_cast<size_t>(4 + Edit->TabWidth()), ' ') + "x\r\nyz");
        EXPECT_EQ(Edit->GetSelectionStart(), MakeBufferCoord(1, 1));
        const std::string rest = Line(2).substr(static_cast<size_t>(Edit->GetSelectionEnd().CharIndex - 1));
        c.Replace();
        ExpectRoundTrip(*this, original, "q" + rest + "\r\nyz");
    }
}
