// The editor's editing commands: typing, deleting, line breaks, tabs, indentation and case.

#include "SrcEdit/view/EditorTestSupport.h"

#include "Platform/core/Messages.h"

namespace {

using EditorEditing = EditorTest;

TEST_F(EditorEditing, TypedKeysInsertTextAndMoveTheCaret)
{
    SetText("");
    Type("hello");
    EXPECT_EQ(Text(), "hello");
    EXPECT_EQ(Caret(), MakeBufferCoord(6, 1));
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    Type("XY");
    EXPECT_EQ(Text(), "helXYlo");
    Key(Qt::Key_Return);
    Type("z");
    EXPECT_EQ(Text(), "helXY\r\nzlo");
}

TEST_F(EditorEditing, ACharacterIsInsertedAsItsUtf8Bytes)
{
    SetText("ab");
    GoTo(2, 1);
    Edit->Perform(WM_CHAR, 0xE4, 0);   // a-umlaut
    Edit->Perform(WM_CHAR, 0x4E2D, 0); // a wide character
    EXPECT_EQ(Text(), "a\xC3\xA4\xE4\xB8\xAD" "b");
    EXPECT_EQ(Caret(), MakeBufferCoord(7, 1));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Text(), "a\xC3\xA4" "b");
    Key(Qt::Key_Left);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Text(), "ab");
}

TEST_F(EditorEditing, InputMethodTextIsInsertedOnceAndLaterKeysStillType)
{
    SetText("");
    const std::string committed = "\xE6\x97\xA5\xE6\x9C\xAC"; // two wide characters, 6 bytes
    Edit->Perform(WM_IME_COMPOSITION, reinterpret_cast<WPARAM>(&committed), GCS_RESULTSTR);
    EXPECT_EQ(Text(), committed);
    Type("abcdef");
    EXPECT_EQ(Text(), committed + "abcdef");
    UndoAll();
    EXPECT_EQ(Text(), "");
}

TEST_F(EditorEditing, TabMovesTheFocusUnlessTheEditorWantsTabs)
{
    SetText("ab");
    GoTo(3, 1);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Text(), "ab");
    Edit->SetWantTabs(true);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Text(), "ab      ");
}

TEST_F(EditorEditing, KeysThatRunACommandTypeNothing)
{
    SetText("text");
    Key(Qt::Key_A, Qt::ControlModifier); // ecSelectAll
    EXPECT_EQ(Text(), "text");
    EXPECT_EQ(Edit->GetSelectedText(), "text");
    Type("x");
    EXPECT_EQ(Text(), "x");
}

TEST_F(EditorEditing, TypingBeyondTheLineEndFillsWithBlanks)
{
    SetText("ab");
    GoTo(6, 1);
    Type("x");
    EXPECT_EQ(Text(), "ab   x");
    EXPECT_EQ(Caret(), MakeBufferCoord(7, 1));
    ASSERT_GE(Edit->UndoList().ItemCount(), 2);
    EXPECT_EQ(Edit->UndoList().PeekItem()->Reason, TSrcUndoReason::urInsert);
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "ab");

    SetText("ab");
    Key(Qt::Key_Insert); // overwrite mode
    ASSERT_FALSE(Edit->InsertMode());
    GoTo(6, 1);
    Type("x");
    EXPECT_EQ(Text(), "ab   x");
    EXPECT_EQ(Caret(), MakeBufferCoord(7, 1));
    GoTo(1, 1);
    Type("Q");
    EXPECT_EQ(Text(), "Qb   x");
}

TEST_F(EditorEditing, WithTrimmingATrailingBlankOnlyMovesTheCaret)
{
    Options({eoTrimTrailingSpaces});
    SetText("abc");
    GoTo(4, 1);
    Type(" ");
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(Caret(), MakeBufferCoord(5, 1));
    Type("d");
    EXPECT_EQ(Text(), "abc d");
}

TEST_F(EditorEditing, DeletingAtTheEdgesOfTheTextChangesAndRecordsNothing)
{
    SetText("one\r\ntwo");
    GoTo(1, 1);
    Key(Qt::Key_Backspace);
    GoTo(4, 2);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Text(), "one\r\ntwo");
    EXPECT_FALSE(Edit->UndoAvailable());
}

TEST_F(EditorEditing, BackspaceAndDeleteJoinLines)
{
    SetText("one\r\ntwo\r\nthree");
    GoTo(1, 2);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Text(), "onetwo\r\nthree");
    EXPECT_EQ(Caret(), MakeBufferCoord(4, 1));
    GoTo(7, 1);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Text(), "onetwothree");
    GoTo(20, 1);
    Key(Qt::Key_Backspace); // in virtual space: the caret goes to the line end
    EXPECT_EQ(Caret(), MakeBufferCoord(12, 1));
}

TEST_F(EditorEditing, SmartBackspaceUnindentsToAnEarlierIndent)
{
    Options({eoAutoIndent, eoSmartTabDelete});
    SetText("a\r\n    b\r\n        c");
    GoTo(9, 3);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Line(3), "    c");
    EXPECT_EQ(Caret(), MakeBufferCoord(5, 3));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Line(3), "c");

    Options({}, {eoSmartTabDelete});
    Edit->SetTabWidth(4);
    SetText("      x");
    GoTo(7, 1);
    Key(Qt::Key_Backspace); // back to the previous tab stop (column 5)
    EXPECT_EQ(Line(1), "    x");
}

TEST_F(EditorEditing, LineBreaksIndentLikeTheLineAbove)
{
    SetText("    abcdef");
    GoTo(8, 1);
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "    abc\r\n    def");
    EXPECT_EQ(Caret(), MakeBufferCoord(5, 2));

    Options({}, {eoTabsToSpaces});
    Edit->SetTabWidth(4);
    SetText("    abcdef");
    GoTo(8, 1);
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "    abc\r\n\tdef");
    EXPECT_EQ(Caret(), MakeBufferCoord(2, 2));
}

TEST_F(EditorEditing, ALineBreakOnAnEmptyLinePutsTheCaretAtTheIndentWithoutBlanks)
{
    SetText("    x\r\n\r\n");
    GoTo(1, 2);
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "    x\r\n\r\n");
    EXPECT_EQ(Caret(), MakeBufferCoord(5, 3));
    Type("y");
    EXPECT_EQ(Line(3), "    y");
}

TEST_F(EditorEditing, InsertLineLeavesTheCaret)
{
    SetText("abcd");
    GoTo(3, 1);
    Key(Qt::Key_N, Qt::ControlModifier); // ecInsertLine
    EXPECT_EQ(Text(), "ab\r\ncd");
    EXPECT_EQ(Caret(), MakeBufferCoord(3, 1));
}

TEST_F(EditorEditing, TabInsertsBlanksToTheNextStop)
{
    Edit->SetWantTabs(true);
    Edit->SetTabWidth(4);
    Options({eoTabsToSpaces}, {eoSmartTabs});
    SetText("ab");
    GoTo(3, 1);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Text(), "ab  ");
    EXPECT_EQ(Caret(), MakeBufferCoord(5, 1));

    Options({eoSmartTabs});
    SetText("if  (x)\r\nab");
    GoTo(3, 2);
    Key(Qt::Key_Tab); // to the start of the next word above: column 5
    EXPECT_EQ(Line(2), "ab  ");

    // Shift+Tab goes back to the start of the word above at or before the caret's column.
    SetText("    if (x)\r\n        y");
    GoTo(9, 2);
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Line(2), "       y");
    EXPECT_EQ(Caret(), MakeBufferCoord(8, 2));
    Options({}, {eoSmartTabs});
    Key(Qt::Key_Backtab, Qt::ShiftModifier); // to the previous tab stop
    EXPECT_EQ(Line(2), "    y");
}

TEST_F(EditorEditing, BlockIndentLeavesALineSelectedOnlyAtItsStartAlone)
{
    Edit->SetTabWidth(2);
    SetText("l1\r\nl2\r\nl3\r\nl4\r\nl5");
    Select(MakeBufferCoord(3, 2), MakeBufferCoord(1, 5));
    Key(Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Text(), "l1\r\n  l2\r\n  l3\r\n  l4\r\nl5");
    EXPECT_EQ(Edit->BlockBegin(), MakeBufferCoord(5, 2));
    Key(Qt::Key_U, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Text(), "l1\r\nl2\r\nl3\r\nl4\r\nl5");
    UndoAll();
    EXPECT_EQ(Text(), "l1\r\nl2\r\nl3\r\nl4\r\nl5");
}

TEST_F(EditorEditing, TabIndentsASelectedBlockWithTabIndent)
{
    Edit->SetWantTabs(true);
    Edit->SetTabWidth(2);
    Options({eoTabIndent});
    SetText("a\r\nb\r\nc");
    Select(MakeBufferCoord(1, 1), MakeBufferCoord(2, 2));
    Key(Qt::Key_Tab);
    EXPECT_EQ(Text(), "  a\r\n  b\r\nc");
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Text(), "a\r\nb\r\nc");
}

TEST_F(EditorEditing, CaseCommandsConvertTheWordOrTheBlock)
{
    SetText("some words here");
    GoTo(5, 1); // in the blank after "some"
    Command(ecUpperCase);
    EXPECT_EQ(Text(), "SOME words here");
    EXPECT_EQ(Caret(), MakeBufferCoord(5, 1));

    Select(MakeBufferCoord(6, 1), MakeBufferCoord(11, 1));
    Command(ecUpperCaseBlock);
    EXPECT_EQ(Text(), "SOME WORDS here");
    EXPECT_EQ(Edit->GetSelectedText(), "WORDS");
    EXPECT_EQ(Caret(), MakeBufferCoord(11, 1));

    GoTo(12, 1);
    Command(ecToggleCaseBlock);
    EXPECT_EQ(Text(), "SOME WORDS Here");
    EXPECT_EQ(Caret(), MakeBufferCoord(13, 1));

    GoTo(1, 1);
    Command(ecTitleCase);
    EXPECT_EQ(Text(), "Some WORDS Here");
    Command(ecLowerCase);
    EXPECT_EQ(Text(), "some WORDS Here");
}

TEST_F(EditorEditing, WordAndLineDeletions)
{
    SetText("alpha beta gamma\r\nnext");
    GoTo(7, 1);
    Key(Qt::Key_T, Qt::ControlModifier); // ecDeleteWord: the word and its blank
    EXPECT_EQ(Line(1), "alpha gamma");
    Key(Qt::Key_Backspace, Qt::ControlModifier); // ecDeleteLastWord
    EXPECT_EQ(Line(1), "gamma");
    EXPECT_EQ(Caret(), MakeBufferCoord(1, 1));
    GoTo(3, 1);
    Key(Qt::Key_Y, Qt::ControlModifier | Qt::ShiftModifier); // ecDeleteEOL
    EXPECT_EQ(Line(1), "ga");
    Key(Qt::Key_Y, Qt::ControlModifier); // ecDeleteLine
    EXPECT_EQ(Text(), "next");
    UndoAll();
    EXPECT_EQ(Text(), "alpha beta gamma\r\nnext");
}

TEST_F(EditorEditing, EveryEditingCommandDoesNothingWhenReadOnly)
{
    const std::string text = "  one two\r\nthree";
    SetText(text);
    Edit->SetReadOnly(true);
    const std::vector<TSrcEditorCommand> commands = {
        ecChar,        ecDeleteLastChar, ecDeleteChar,   ecDeleteWord,     ecDeleteLastWord, ecDeleteBOL,
        ecDeleteEOL,   ecDeleteLine,     ecClearAll,     ecLineBreak,      ecInsertLine,     ecTab,
        ecShiftTab,    ecBlockIndent,    ecBlockUnindent, ecUpperCase,     ecUpperCaseBlock, ecToggleCase,
        ecUndo,        ecRedo,
    };
    for (TSrcEditorCommand command : commands) {
        SCOPED_TRACE(EditorCommandToText(command));
        Select(MakeBufferCoord(3, 1), MakeBufferCoord(3, 2));
        Command(command, U'x');
        const std::string ime = "ime";
        Edit->Perform(WM_IME_COMPOSITION, reinterpret_cast<WPARAM>(&ime), GCS_RESULTSTR);
        EXPECT_EQ(Text(), text);
    }
    EXPECT_FALSE(Edit->UndoAvailable());
    // The program itself may still replace text.
    Edit->SetSelectedText("X");
    EXPECT_NE(Text(), text);
}

TEST_F(EditorEditing, TypingReplacesTheSelectionInEachMode)
{
    SetText("abcd\r\nefgh\r\nijkl");
    Select(MakeBufferCoord(2, 1), MakeBufferCoord(3, 2));
    Type("X");
    EXPECT_EQ(Text(), "aXgh\r\nijkl");

    SetText("abcd\r\nefgh\r\nijkl");
    Edit->SetSelectionMode(TSrcSelectionMode::smColumn);
    Select(MakeBufferCoord(2, 1), MakeBufferCoord(4, 3));
    Type("X"); // the block goes; the character lands at the free end's line
    EXPECT_EQ(Text(), "ad\r\neh\r\niXl");

    SetText("abcd\r\nefgh\r\nijkl");
    Edit->SetSelectionMode(TSrcSelectionMode::smLine);
    Select(MakeBufferCoord(2, 1), MakeBufferCoord(2, 2));
    Type("X");
    EXPECT_EQ(Text(), "Xijkl");
}

} // namespace
