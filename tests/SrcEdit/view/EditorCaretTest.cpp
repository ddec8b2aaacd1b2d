// The editor's coordinates, caret clamping, selection in three modes, words and brackets.

#include "SrcEdit/view/EditorTestSupport.h"
#include "SrcEdit/highlighters/TestHighlighter.h"

#include <climits>

namespace {

using EditorCaret = EditorTest;

TEST_F(EditorCaret, BufferAndDisplayPositionsExpandTabsAndWideCharacters)
{
    Edit->SetTabWidth(4);
    SetText("\tabc\r\nx\xE4\xB8\xADy\r\n\xC3\xA4z");
    struct Case {
        TBufferCoord Buffer;
        TDisplayPoint Display;
    };
    const std::vector<Case> toDisplay = {
        {{3, 1}, {6, 1}},   // after the tab (4 columns) and "a"
        {{1, 1}, {1, 1}},
        {{10, 1}, {13, 1}}, // beyond the end: one column per position
        {{5, 2}, {4, 2}},   // after x and the wide character (3 bytes, 2 columns)
        {{3, 3}, {2, 3}},   // after the two-byte a-umlaut
    };
    for (const Case& c : toDisplay) {
        SCOPED_TRACE(testing::Message() << c.Buffer);
        EXPECT_EQ(Edit->BufferToDisplayPoint(c.Buffer), c.Display);
    }
    const std::vector<Case> toBuffer = {
        {{1, 1}, {3, 1}},  // every column inside the tab maps to the tab
        {{2, 1}, {5, 1}},
        {{2, 2}, {2, 2}},
        {{5, 2}, {3, 2}},  // the second column of the wide character maps past it
        {{6, 2}, {5, 2}},  // just after "y"
        {{8, 2}, {7, 2}},  // virtual space
    };
    for (const Case& c : toBuffer) {
        SCOPED_TRACE(testing::Message() << c.Display);
        EXPECT_EQ(Edit->DisplayPointToBuffer(c.Display), c.Buffer);
    }
}

TEST_F(EditorCaret, MoveCaretClampsToTheLineOrToTheScrollWidth)
{
    SetText("first\r\n0123456789\r\nlast");
    struct Case {
        bool PastEol;
        TBufferCoord Wanted;
        TBufferCoord Got;
    };
    const std::vector<Case> cases = {
        {false, {50, 2}, {11, 2}}, {true, {50, 2}, {50, 2}}, {true, {5000, 2}, {1025, 2}},
        {false, {3, 0}, {1, 1}},   {true, {3, 0}, {3, 1}},   {false, {2, 99}, {2, 3}},
        {false, {-4, 2}, {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Wanted << " past eol " << c.PastEol);
        if (c.PastEol)
            Options({eoScrollPastEol});
        else
            Options({}, {eoScrollPastEol});
        Edit->MoveCaret(c.Wanted);
        EXPECT_EQ(Caret(), c.Got);
    }
}

TEST_F(EditorCaret, TheCaretNeverStopsInsideAMultiByteCharacter)
{
    SetText("a\xC3\xA4\xE4\xB8\xAD" "b");
    Key(Qt::Key_Right);
    EXPECT_EQ(Caret(), MakeBufferCoord(2, 1));
    Key(Qt::Key_Right);
    EXPECT_EQ(Caret(), MakeBufferCoord(4, 1)); // over the two bytes of a-umlaut
    Key(Qt::Key_Right);
    EXPECT_EQ(Caret(), MakeBufferCoord(7, 1)); // over the three bytes of the wide character
    Key(Qt::Key_Left);
    EXPECT_EQ(Caret(), MakeBufferCoord(4, 1));
    Edit->MoveCaret(MakeBufferCoord(5, 1)); // inside the wide character
    EXPECT_EQ(Caret(), MakeBufferCoord(4, 1));
    Edit->SetSelectionEnd(MakeBufferCoord(3, 1));
    EXPECT_EQ(Edit->BlockEnd(), MakeBufferCoord(2, 1));
}

TEST_F(EditorCaret, VerticalMovesKeepTheDisplayColumnAcrossTabs)
{
    Edit->SetTabWidth(4);
    SetText("abcdef\r\n\tx\r\nabcdef");
    GoTo(6, 1);
    Key(Qt::Key_Down);
    EXPECT_EQ(Caret(), MakeBufferCoord(3, 2)); // column 6 is after the tab and "x"
    Key(Qt::Key_Down);
    EXPECT_EQ(Caret(), MakeBufferCoord(6, 3));
}

TEST_F(EditorCaret, AColumnSelectionOfZeroWidthIsEmpty)
{
    SetText("aaaaaaaaaa\r\n" + std::string(9, '\n'));
    Edit->SetSelectionMode(TSrcSelectionMode::smColumn);
    Edit->SetSelectionStart(MakeBufferCoord(5, 2));
    Edit->SetSelectionEnd(MakeBufferCoord(5, 9));
    EXPECT_FALSE(Edit->HasSelection());
    Edit->SetSelectionMode(TSrcSelectionMode::smNormal);
    Options({eoScrollPastEol});
    Edit->SetSelectionStart(MakeBufferCoord(1, 2));
    Edit->SetSelectionEnd(MakeBufferCoord(1, 9));
    EXPECT_TRUE(Edit->HasSelection());
}

TEST_F(EditorCaret, SelectedTextFollowsTheSelectionMode)
{
    SetText("one\r\ntwo\r\nthree\r\nfour");
    Edit->SetSelectionMode(TSrcSelectionMode::smLine);
    Edit->SetSelectionStart(MakeBufferCoord(2, 3));
    Edit->SetSelectionEnd(MakeBufferCoord(1, 4));
    EXPECT_EQ(Edit->GetSelectedText(), "three\r\nfour"); // the last line of the store: no CR LF after it
    Edit->SetSelectionStart(MakeBufferCoord(2, 2));
    Edit->SetSelectionEnd(MakeBufferCoord(1, 3));
    EXPECT_EQ(Edit->GetSelectedText(), "two\r\nthree\r\n");

    Edit->SetSelectionMode(TSrcSelectionMode::smNormal);
    Edit->SetSelectionStart(MakeBufferCoord(2, 1));
    Edit->SetSelectionEnd(MakeBufferCoord(3, 3));
    EXPECT_EQ(Edit->GetSelectedText(), "ne\r\ntwo\r\nth");
}

TEST_F(EditorCaret, ColumnSelectionPadsShortLinesUnlessTrimming)
{
    SetText("0123456789\r\nab\r\n0123456789");
    Edit->SetSelectionMode(TSrcSelectionMode::smColumn);
    Edit->SetSelectionStart(MakeBufferCoord(3, 1));
    Edit->SetSelectionEnd(MakeBufferCoord(6, 3));
    EXPECT_EQ(Edit->GetSelectedText(), "234\r\n   \r\n234");
    Options({eoTrimTrailingSpaces});
    EXPECT_EQ(Edit->GetSelectedText(), "234\r\n\r\n234");
}

TEST_F(EditorCaret, ShiftMovesSelectInAllThreeModes)
{
    SetText("alpha\r\nbeta\r\ngamma");
    GoTo(2, 1);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Edit->GetSelectedText(), "lpha\r\nbe");

    GoTo(2, 1);
    Key(Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier); // ecLineSelect
    ASSERT_EQ(Edit->SelectionMode(), TSrcSelectionMode::smLine);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Edit->GetSelectedText(), "alpha\r\nbeta\r\n");

    GoTo(2, 1);
    Key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier); // ecColumnSelect
    ASSERT_EQ(Edit->SelectionMode(), TSrcSelectionMode::smColumn);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Edit->GetSelectedText(), "lp\r\net\r\nam");
    EXPECT_EQ(Caret(), MakeBufferCoord(4, 3));
}

TEST_F(EditorCaret, TheFirstVisibleLineIsClampedToTheText)
{
    std::string text;
    for (int i = 1; i <= 100; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    text.resize(text.size() - 2);
    SetText(text);
    const int visible = Edit->VisibleLineCount();
    ASSERT_GT(visible, 5);
    Edit->SetFirstVisibleLine(1000);
    EXPECT_EQ(Edit->FirstVisibleRow(), 100 - visible + 1);
    Options({eoScrollPastEof});
    Edit->SetFirstVisibleLine(1000);
    EXPECT_EQ(Edit->FirstVisibleRow(), 100);
    Edit->SetFirstVisibleLine(-5);
    EXPECT_EQ(Edit->FirstVisibleRow(), 1);
}

TEST_F(EditorCaret, MovingTheCaretScrollsItIntoView)
{
    std::string text;
    for (int i = 1; i <= 200; ++i)
        text += std::string(300, 'x') + "\r\n";
    SetText(text);
    Edit->MoveCaret(MakeBufferCoord(250, 150));
    EXPECT_TRUE(Edit->IsCaretVisible());
    EXPECT_GT(Edit->FirstVisibleRow(), 1);
    EXPECT_GT(Edit->FirstVisibleColumn(), 1);
    Edit->MoveCaret(MakeBufferCoord(1, 1));
    EXPECT_EQ(Edit->FirstVisibleRow(), 1);
    EXPECT_EQ(Edit->FirstVisibleColumn(), 1);
}

TEST_F(EditorCaret, AHiddenEditorScrollsTheCaretIntoViewWhenShown)
{
    TSrcEdit edit;
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    edit.SetAllText(text);
    edit.SetCaretCoord(MakeBufferCoord(3, 250));
    EXPECT_EQ(edit.FirstVisibleColumn(), 1); // no scrolling by the size of a window not yet laid out
    edit.resize(500, 300);
    edit.show();
    QApplication::processEvents();
    EXPECT_TRUE(edit.IsCaretVisible());
    EXPECT_EQ(edit.FirstVisibleColumn(), 1);
    EXPECT_GT(edit.FirstVisibleRow(), 200);
}

TEST_F(EditorCaret, ClientPixelsMapToDisplayPoints)
{
    SetText("abc\r\ndef");
    const int cw = Edit->CharWidth();
    const int lh = Edit->LineHeight();
    const int left = Edit->GutterWidth() + 2;
    EXPECT_EQ(Edit->DisplayPointToClient(MakeDisplayPoint(3, 2)), (TPoint{left + 2 * cw, lh}));
    EXPECT_EQ(Edit->ClientToDisplayPoint(left + 2 * cw + 1, lh + 1), MakeDisplayPoint(3, 2));
    // The nearest point rounds to the closer column border.
    EXPECT_EQ(Edit->ClientToNearestDisplayPoint(left + 2 * cw - cw / 3, 0), MakeDisplayPoint(3, 1));
    EXPECT_EQ(Edit->ClientToNearestDisplayPoint(left + cw / 4, 0), MakeDisplayPoint(1, 1));
    Edit->PlaceCaretAtClient(left + 2 * cw, lh + 2);
    EXPECT_EQ(Caret(), MakeBufferCoord(3, 2));
}

TEST_F(EditorCaret, WordPositionsCrossLineEnds)
{
    SetText("foo bar\r\n  baz qux\r\nend");
    EXPECT_EQ(Edit->NextWordStartFrom(MakeBufferCoord(1, 1)), MakeBufferCoord(5, 1));
    EXPECT_EQ(Edit->NextWordStartFrom(MakeBufferCoord(7, 1)), MakeBufferCoord(3, 2)); // last character
    EXPECT_EQ(Edit->NextWordStartFrom(MakeBufferCoord(4, 3)), MakeBufferCoord(4, 3)); // last line stays
    EXPECT_EQ(Edit->PreviousWordStartFrom(MakeBufferCoord(1, 1)), MakeBufferCoord(1, 1));
    EXPECT_EQ(Edit->PreviousWordStartFrom(MakeBufferCoord(1, 2)), MakeBufferCoord(8, 1));
    EXPECT_EQ(Edit->PreviousWordStartFrom(MakeBufferCoord(7, 2)), MakeBufferCoord(3, 2));
    EXPECT_EQ(Edit->PreviousWordStartFrom(MakeBufferCoord(3, 2)), MakeBufferCoord(8, 1)); // only blanks before
    EXPECT_EQ(Edit->WordBeginFrom(MakeBufferCoord(6, 1)), MakeBufferCoord(5, 1));
    EXPECT_EQ(Edit->WordFinishFrom(MakeBufferCoord(6, 1)), MakeBufferCoord(8, 1));
    EXPECT_EQ(Edit->GetWordAtPos(MakeBufferCoord(6, 1)), "bar");
    EXPECT_EQ(Edit->GetWordAtPos(MakeBufferCoord(8, 1)), ""); // just after the last letter
    // Letters of other scripts belong to words.
    SetText("gr\xC3\xB6\xC3\x9F" "e x");
    EXPECT_EQ(Edit->WordFinishFrom(MakeBufferCoord(1, 1)), MakeBufferCoord(8, 1));
    EXPECT_EQ(Edit->GetWordAtPos(MakeBufferCoord(3, 1)), "gr\xC3\xB6\xC3\x9F" "e");
}

TEST_F(EditorCaret, BracketsInStringsAndCommentsDoNotMatch)
{
    TTestSyn highlighter;
    Edit->SetHighlighter(&highlighter);
    SetText("f(a, \")\", b /* ) */)\r\nx");
    EXPECT_EQ(Edit->MatchingBracketAt(MakeBufferCoord(2, 1)), MakeBufferCoord(20, 1));
    EXPECT_EQ(Edit->MatchingBracketAt(MakeBufferCoord(20, 1)), MakeBufferCoord(2, 1));
    Edit->SetHighlighter(nullptr);
    EXPECT_EQ(Edit->MatchingBracketAt(MakeBufferCoord(2, 1)), MakeBufferCoord(7, 1));
    GoTo(3, 1);
    Edit->JumpToMatchingBracket();
    EXPECT_EQ(Caret(), MakeBufferCoord(3, 1)); // not a bracket: the caret stays
    SetText("{\r\n  [x]\r\n}");
    GoTo(1, 3);
    Key(Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier); // ecMatchBracket
    EXPECT_EQ(Caret(), MakeBufferCoord(1, 1));
}

TEST_F(EditorCaret, WordWrapMapsRowsAndKeepsTheCaretOnWholeRows)
{
    Edit->SetWordWrap(true);
    const int width = Edit->CharsInWindow();
    ASSERT_GT(width, 10);
    SetText(std::string(static_cast<size_t>(width * 2 + 5), 'w') + "\r\nnext");
    EXPECT_EQ(Edit->DisplayRowCount(), 4);
    EXPECT_EQ(Edit->LineToRow(2), 4);
    EXPECT_EQ(Edit->RowToLine(3), 1);
    EXPECT_EQ(Edit->BufferToDisplayPoint(MakeBufferCoord(width + 3, 1)), MakeDisplayPoint(3, 2));
    Key(Qt::Key_Down);
    EXPECT_EQ(Edit->CaretDisplayRow(), 2);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(Caret(), MakeBufferCoord(1, 2));
    Edit->SetWordWrap(false);
    EXPECT_EQ(Edit->DisplayRowCount(), 2);
}

} // namespace
