// Undo and redo in the editor: every edit is undone back to the file's exact bytes and redone
// again, steps group as recorded, and the modified flag follows the saved state.

#include "SrcEdit/view/EditorTestSupport.h"

#include "SrcEdit/Source/view/SrcEditClipboardBlock.h"
#include "support/TempDir.h"

#include <QClipboard>
#include <QMimeData>
#include <functional>

namespace {

using EditorUndo = EditorTest;

// A file with LF breaks, tabs, a multi-byte line and no final break.
const std::string Original = "<?php\n"
                             "function f($a) {\n"
                             "\treturn $a + 1;\n"
                             "}\n"
                             "\n"
                             "// gr\xC3\xB6\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC\n"
                             "    indented line\n"
                             "short\n"
                             "a much longer line of text here\n"
                             "end";

TEST_F(EditorUndo, ScriptedEditsUndoToTheExactBytesOfTheFileAndRedoAgain)
{
    TempDir dir;
    const std::string file = dir.Write("sample.php", Original);
    Edit->SetWantTabs(true);
    Edit->Lines().LoadFromFile(file);
    Edit->SetContentModified(false);
    Edit->SetTabWidth(4);

    // Typing, line breaks, deletions and moves in normal mode.
    GoTo(1, 2);
    Key(Qt::Key_End);
    Key(Qt::Key_Return);
    Type("$b = 2;");
    Key(Qt::Key_Home);
    Key(Qt::Key_Delete);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Down);
    Key(Qt::Key_End);
    Type(" // done");
    Key(Qt::Key_Left, Qt::ControlModifier);
    Key(Qt::Key_T, Qt::ControlModifier);
    // Tab, and typing beyond a line end in virtual space.
    GoTo(1, 9);
    Key(Qt::Key_Tab);
    GoTo(20, 10);
    Type("x");
    Key(Qt::Key_Return);
    // Overwrite mode across a multi-byte character.
    GoTo(6, 7);
    Key(Qt::Key_Insert);
    Type("AB");
    Key(Qt::Key_Insert);
    // A normal selection replaced, a line selection deleted, a column selection typed over.
    Select(MakeBufferCoord(3, 3), MakeBufferCoord(5, 4));
    Type("Z");
    Key(Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    Select(MakeBufferCoord(2, 5), MakeBufferCoord(1, 6));
    Key(Qt::Key_Delete);
    Key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    Select(MakeBufferCoord(3, 8), MakeBufferCoord(9, 11));
    Key(Qt::Key_Delete);
    Type("Q");
    Key(Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    // Block indent and unindent, case changes, word and line deletions.
    Select(MakeBufferCoord(1, 2), MakeBufferCoord(1, 5));
    Key(Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    Key(Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    Key(Qt::Key_U, Qt::ControlModifier | Qt::ShiftModifier);
    GoTo(3, 1);
    Command(ecUpperCase);
    Key(Qt::Key_Y, Qt::ControlModifier);
    Key(Qt::Key_Y, Qt::ControlModifier | Qt::ShiftModifier);
    Edit->SetSelectedText("inserted\r\ntwo lines");

    const std::string edited = Text();
    ASSERT_NE(edited, Original);
    EXPECT_TRUE(Edit->ContentModified());

    UndoAll();
    EXPECT_FALSE(Edit->ContentModified());
    Edit->Lines().SaveToFile(dir.File("undone.php"));
    EXPECT_EQ(dir.Read("undone.php"), Original);

    RedoAll();
    EXPECT_EQ(Text(), edited);
    EXPECT_TRUE(Edit->ContentModified());

    UndoAll();
    Edit->Lines().SaveToFile(dir.File("again.php"));
    EXPECT_EQ(dir.Read("again.php"), Original);
}

TEST_F(EditorUndo, TypedCharactersUndoAsOneStepWithGroupUndo)
{
    SetText("x");
    GoTo(2, 1);
    Type("abc");
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "x");
    EXPECT_EQ(Caret(), MakeBufferCoord(2, 1));
    Edit->RedoLastChange();
    EXPECT_EQ(Text(), "xabc");
    EXPECT_EQ(Caret(), MakeBufferCoord(5, 1));

    Options({}, {eoGroupUndo});
    SetText("x");
    GoTo(2, 1);
    Type("abc");
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "xab");
}

TEST_F(EditorUndo, ACaretMoveSplitsTypingIntoSteps)
{
    SetText("");
    Type("ab");
    Key(Qt::Key_Left);
    Key(Qt::Key_Right);
    Type("cd");
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "ab");
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "");
}

TEST_F(EditorUndo, UndoingDeletionsRestoresTextAndCaret)
{
    SetText("hello world");
    GoTo(6, 1);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Text(), "helloworld");
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "hello world");
    EXPECT_EQ(Caret(), MakeBufferCoord(6, 1));
    EXPECT_FALSE(Edit->HasSelection());

    Select(MakeBufferCoord(1, 1), MakeBufferCoord(6, 1));
    Key(Qt::Key_Delete);
    EXPECT_EQ(Text(), " world");
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "hello world");
    EXPECT_EQ(Edit->GetSelectedText(), "hello");
}

TEST_F(EditorUndo, UndoingALineBreakJoinsTheLinesAndRestoresTheCaret)
{
    SetText("abcdef");
    GoTo(4, 1);
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), "abc\r\ndef");
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "abcdef");
    EXPECT_EQ(Caret(), MakeBufferCoord(4, 1));
}

TEST_F(EditorUndo, TheModifiedFlagFollowsTheSavedState)
{
    SetText("saved");
    Edit->SetContentModified(false);
    GoTo(6, 1);
    Type("!");
    EXPECT_TRUE(Edit->ContentModified());
    Edit->UndoLastChange();
    EXPECT_FALSE(Edit->ContentModified());
    Edit->RedoLastChange();
    EXPECT_TRUE(Edit->ContentModified());
    Edit->SetContentModified(false); // saved here
    Type("?");
    Edit->UndoLastChange();
    EXPECT_FALSE(Edit->ContentModified());
    Edit->UndoLastChange();
    EXPECT_TRUE(Edit->ContentModified());
}

TEST_F(EditorUndo, ANewChangeAfterUndoEmptiesTheRedoList)
{
    SetText("");
    Type("ab");
    Edit->UndoLastChange();
    ASSERT_TRUE(Edit->RedoAvailable());
    Edit->UndoList().AddGroupBreak();
    EXPECT_TRUE(Edit->RedoAvailable()); // a group break alone keeps it
    Type("c");
    EXPECT_FALSE(Edit->RedoAvailable());
}

TEST_F(EditorUndo, OnChangeFiresOnceForAnUndoBlock)
{
    SetText("");
    int changes = 0;
    Edit->OnChange = [&](TObject*) { ++changes; };
    Edit->BeginUndoBlock();
    Edit->SetSelectedText("a");
    Edit->SetSelectedText("b");
    Edit->SetSelectedText("c");
    EXPECT_EQ(changes, 0);
    Edit->EndUndoBlock();
    EXPECT_EQ(changes, 1);
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "");
}

TEST_F(EditorUndo, UndoAndRedoDoNothingWhenReadOnly)
{
    SetText("");
    Type("a");
    Edit->SetReadOnly(true);
    EXPECT_FALSE(Edit->UndoAvailable());
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "a");
}

// ---- faults mended: each undo or redo gives back exactly the text it should

struct ExactCase {
    const char* Name;
    std::string Text;
    std::function<void(EditorTest&)> Edit;
};

class EditorUndoExact : public EditorTest {
protected:
    void Check(const ExactCase& c)
    {
        SCOPED_TRACE(c.Name);
        const TSrcEditorOptions options = Edit->Options();
        Edit->UndoList().Clear();
        Edit->RedoList().Clear();
        SetText(c.Text);
        c.Edit(*this);
        const std::string edited = Text();
        const int undoSteps = StepsToUndoAll();
        EXPECT_EQ(Text(), c.Text);
        // Every redo step is undone again by one undo step, as the edit was.
        EXPECT_EQ(StepsToRedoAll(), undoSteps);
        EXPECT_EQ(Text(), edited);
        EXPECT_EQ(StepsToUndoAll(), undoSteps);
        EXPECT_EQ(Text(), c.Text);
        Edit->SetOptions(options);
        Edit->SetSelectionMode(TSrcSelectionMode::smNormal);
    }

    int StepsToUndoAll()
    {
        int steps = 0;
        for (; steps < 10000 && Edit->UndoAvailable(); ++steps)
            Edit->UndoLastChange();
        return steps;
    }
    int StepsToRedoAll()
    {
        int steps = 0;
        for (; steps < 10000 && Edit->RedoAvailable(); ++steps)
            Edit->RedoLastChange();
        return steps;
    }

public:
    // Puts `text` on the clipboard as the editor's own block of `mode`.
    static void ClipBlock(TSrcSelectionMode mode, const std::string& text)
    {
        auto data = std::make_unique<QMimeData>();
        SrcEditFillMimeData(*data, mode, text);
        QGuiApplication::clipboard()->setMimeData(data.release());
    }
};

TEST_F(EditorUndoExact, EditsInVirtualSpaceAndInEveryModeUndoExactly)
{
    Edit->SetWantTabs(true);
    const std::vector<ExactCase> cases = {
        {"overwrite typing is redone as an overwrite", "abcdef",
         [](EditorTest& t) {
             t.Key(Qt::Key_Insert);
             t.GoTo(2, 1);
             t.Type("XY");
             t.Key(Qt::Key_Insert);
         }},
        {"overwrite typing beyond the end of a line", "ab",
         [](EditorTest& t) {
             t.Key(Qt::Key_Insert);
             t.GoTo(5, 1);
             t.Type("x");
             t.Key(Qt::Key_Insert);
         }},
        {"overwriting a multi-byte character", "a\xC3\xA4z",
         [](EditorTest& t) {
             t.Key(Qt::Key_Insert);
             t.GoTo(2, 1);
             t.Type("b");
             t.Key(Qt::Key_Insert);
         }},
        {"a line break beyond the end of a line", "abc\r\ndef",
         [](EditorTest& t) {
             t.GoTo(10, 1);
             t.Key(Qt::Key_Return);
         }},
        {"a character typed over a line selection", "one\r\ntwo\r\nthree",
         [](EditorTest& t) {
             t.Edit->SetSelectionMode(TSrcSelectionMode::smLine);
             t.Select(MakeBufferCoord(1, 1), MakeBufferCoord(1, 2));
             t.Type("X");
             t.Edit->SetSelectionMode(TSrcSelectionMode::smNormal);
         }},
        {"a column selection over short lines deleted", "0123456789\r\nab\r\n0123",
         [](EditorTest& t) {
             t.Edit->SetSelectionMode(TSrcSelectionMode::smColumn);
             t.Select(MakeBufferCoord(2, 1), MakeBufferCoord(6, 3));
             t.Key(Qt::Key_Delete);
             t.Edit->SetSelectionMode(TSrcSelectionMode::smNormal);
         }},
        {"a tab typed beyond the end of a line", "ab",
         [](EditorTest& t) {
             t.GoTo(7, 1);
             t.Key(Qt::Key_Tab);
         }},
        {"Delete in virtual space joins the next line", "ab\r\ncd",
         [](EditorTest& t) {
             t.GoTo(6, 1);
             t.Key(Qt::Key_Delete);
         }},
        {"a word deleted from virtual space", "ab\r\ncd ef",
         [](EditorTest& t) {
             t.GoTo(6, 1);
             t.Key(Qt::Key_T, Qt::ControlModifier);
         }},
        {"input-method text beyond the end of a line", "ab",
         [](EditorTest& t) {
             t.GoTo(5, 1);
             const std::string ime = "\xE6\x97\xA5";
             t.Edit->Perform(WM_IME_COMPOSITION, reinterpret_cast<WPARAM>(&ime), GCS_RESULTSTR);
         }},
        {"a column block indented and unindented", "abc\r\nd\r\nefgh",
         [](EditorTest& t) {
             t.Edit->SetSelectionMode(TSrcSelectionMode::smColumn);
             t.Select(MakeBufferCoord(2, 1), MakeBufferCoord(3, 3));
             t.Command(ecBlockIndent);
             t.Command(ecBlockUnindent);
             t.Edit->SetSelectionMode(TSrcSelectionMode::smNormal);
         }},
    };
    for (const ExactCase& c : cases)
        Check(c);
}

TEST_F(EditorUndoExact, LineBreaksRedoAsTheyWereMade)
{
    Edit->SetWantTabs(true);
    const std::vector<ExactCase> cases = {
        // Redone as Enter, the inserted line got the indentation of the line above.
        {"a line inserted after the end of an indented line", "  ab\r\ncd",
         [](EditorTest& t) {
             t.GoTo(5, 1);
             t.Command(ecInsertLine);
         }},
        {"a line inserted after a tab-indented line", "x\r\n\tgamma\r\ny",
         [](EditorTest& t) {
             t.GoTo(7, 2);
             t.Command(ecInsertLine);
             t.Command(ecInsertLine);
         }},
        {"Enter at the end of an indented line", "  ab\r\ncd",
         [](EditorTest& t) {
             t.GoTo(5, 1);
             t.Key(Qt::Key_Return);
         }},
        // Trimming took the tab before the caret; undo padded the line with a blank instead.
        {"Enter after a tab with trailing-space trimming", "\tgamma",
         [](EditorTest& t) {
             t.Options({eoTrimTrailingSpaces}, {eoAutoIndent});
             t.GoTo(2, 1);
             t.Key(Qt::Key_Return);
         }},
    };
    for (const ExactCase& c : cases)
        Check(c);
}

// A line break redone runs as the command again; the undo block it opens belongs to the redo
// step, or one Ctrl+Z after a redo takes back only part of that step.
TEST_F(EditorUndoExact, RedoneStepsWithLineBreaksUndoInOneStep)
{
    const std::vector<ExactCase> cases = {
        {"Enter over a selection", "abc def\r\nx",
         [](EditorTest& t) {
             t.Select(MakeBufferCoord(2, 1), MakeBufferCoord(4, 1));
             t.Key(Qt::Key_Return);
         }},
        {"a column block pasted past the last line", "ab",
         [](EditorTest& t) {
             ClipBlock(TSrcSelectionMode::smColumn, "x\r\ny\r\nz");
             t.GoTo(2, 1);
             t.Command(ecPaste);
         }},
        {"a column block pasted over a column selection at the end", "xyzw\r\na\xC3\xA9" "bc",
         [](EditorTest& t) {
             ClipBlock(TSrcSelectionMode::smColumn, "12\r\n34");
             t.Edit->SetSelectionMode(TSrcSelectionMode::smColumn);
             t.Select(MakeBufferCoord(3, 1), MakeBufferCoord(5, 2));
             t.Command(ecPaste);
         }},
        {"typing, Enter and typing without grouping", "ab",
         [](EditorTest& t) {
             t.Options({}, {eoGroupUndo});
             t.Edit->BeginUndoBlock();
             t.GoTo(2, 1);
             t.Type("x");
             t.Key(Qt::Key_Return);
             t.Type("y");
             t.Edit->EndUndoBlock();
         }},
    };
    for (const ExactCase& c : cases)
        Check(c);
}

TEST_F(EditorUndoExact, WhatTrimmingTakesComesBackExactly)
{
    Edit->SetWantTabs(true);
    const std::vector<ExactCase> cases = {
        // The blanks filled in up to the caret were tabs; undo trimmed them before taking the
        // fill back, and redo filled plain blanks.
        {"a character typed far beyond the end of an emptied line", "  alpha beta\r\nx",
         [](EditorTest& t) {
             t.Options({eoTrimTrailingSpaces}, {eoTabsToSpaces, eoAutoIndent});
             t.Command(ecDeleteEOL);
             t.GoTo(13, 1);
             t.Type("b");
         }},
        {"the rest of a line deleted after a tab", "\tgamma(delta)",
         [](EditorTest& t) {
             t.Options({eoTrimTrailingSpaces});
             t.GoTo(2, 1);
             t.Command(ecDeleteEOL);
         }},
        {"Backspace before the end, after a tab", "ab\tc",
         [](EditorTest& t) {
             t.Options({eoTrimTrailingSpaces});
             t.GoTo(5, 1);
             t.Key(Qt::Key_Backspace);
         }},
        {"Delete of the last character after a tab", "ab\tc",
         [](EditorTest& t) {
             t.Options({eoTrimTrailingSpaces});
             t.GoTo(4, 1);
             t.Key(Qt::Key_Delete);
         }},
        {"a selection after a tab deleted", "ab\tcd\r\nx",
         [](EditorTest& t) {
             t.Options({eoTrimTrailingSpaces});
             t.Select(MakeBufferCoord(4, 1), MakeBufferCoord(6, 1));
             t.Key(Qt::Key_Delete);
         }},
        {"a line break pasted after a blank", "eps \xC3\xA9t\xC3\xA9",
         [](EditorTest& t) {
             t.Options({eoTrimTrailingSpaces});
             ClipBlock(TSrcSelectionMode::smNormal, "\r\n");
             t.GoTo(5, 1);
             t.Command(ecPaste);
         }},
        {"Delete in virtual space before an empty line", "\r\n\r\nab",
         [](EditorTest& t) {
             t.Options({eoTrimTrailingSpaces});
             t.GoTo(6, 1);
             t.Key(Qt::Key_Delete);
         }},
        {"a word deleted in virtual space before an empty line", "a\r\n\r\nb",
         [](EditorTest& t) {
             t.Options({eoTrimTrailingSpaces});
             t.GoTo(5, 1);
             t.Command(ecDeleteWord);
         }},
        // Trimming took the blank line with the inserted tab; undo could not give the blanks back.
        {"a blank line indented by a tab", "a\r\n    \r\nb",
         [](EditorTest& t) {
             t.Options({eoTrimTrailingSpaces}, {eoTabsToSpaces});
             t.Select(MakeBufferCoord(5, 2), MakeBufferCoord(4, 2));
             t.Command(ecBlockIndent);
         }},
        {"a column selection after a tab changed to upper case", "\tgamma",
         [](EditorTest& t) {
             t.Options({eoTrimTrailingSpaces});
             t.Edit->SetSelectionMode(TSrcSelectionMode::smColumn);
             t.Select(MakeBufferCoord(2, 1), MakeBufferCoord(7, 1));
             t.Command(ecUpperCaseBlock);
         }},
    };
    for (const ExactCase& c : cases)
        Check(c);
}

// Trimming the edited line took the blanks at its end although the edit was elsewhere on the
// line; undo gave the line back without them.
TEST_F(EditorUndoExact, BlanksTrimmedFromTheEndOfALineEditedElsewhereComeBack)
{
    Edit->SetWantTabs(true);
    const std::string line = "ab  cd  \r\nx";
    auto trim = [](EditorTest& t) { t.Options({eoTrimTrailingSpaces}, {eoScrollPastEol}); };
    const std::vector<ExactCase> cases = {
        {"a character typed in the middle", line, [&](EditorTest& t) { trim(t); t.GoTo(3, 1); t.Type("x"); }},
        {"a character typed right before the blanks", line,
         [&](EditorTest& t) { trim(t); t.GoTo(7, 1); t.Type("x"); }},
        {"a character typed over in overwrite mode", line,
         [&](EditorTest& t) {
             trim(t);
             t.GoTo(2, 1);
             t.Key(Qt::Key_Insert);
             t.Type("x");
             t.Key(Qt::Key_Insert);
         }},
        {"Backspace in the middle", line, [&](EditorTest& t) { trim(t); t.GoTo(4, 1); t.Key(Qt::Key_Backspace); }},
        {"Delete in the middle", line, [&](EditorTest& t) { trim(t); t.GoTo(3, 1); t.Key(Qt::Key_Delete); }},
        {"a stream pasted in the middle", line,
         [&](EditorTest& t) {
             trim(t);
             ClipBlock(TSrcSelectionMode::smNormal, "xy");
             t.GoTo(3, 1);
             t.Command(ecPaste);
         }},
        {"two lines pasted in the middle", line,
         [&](EditorTest& t) {
             trim(t);
             ClipBlock(TSrcSelectionMode::smNormal, "x\r\ny");
             t.GoTo(3, 1);
             t.Command(ecPaste);
         }},
        {"a column block pasted in the middle", line,
         [&](EditorTest& t) {
             trim(t);
             ClipBlock(TSrcSelectionMode::smColumn, "x");
             t.GoTo(3, 1);
             t.Command(ecPaste);
         }},
        {"input-method text in the middle", line,
         [&](EditorTest& t) {
             trim(t);
             t.GoTo(3, 1);
             const std::string ime = "x\xC3\xA9y";
             t.Edit->Perform(WM_IME_COMPOSITION, reinterpret_cast<WPARAM>(&ime), GCS_RESULTSTR);
         }},
        {"a selection in the middle typed over", line,
         [&](EditorTest& t) {
             trim(t);
             t.Select(MakeBufferCoord(3, 1), MakeBufferCoord(5, 1));
             t.Type("Z");
         }},
        {"a selection in the middle deleted, past the line end allowed", line,
         [&](EditorTest& t) {
             t.Options({eoTrimTrailingSpaces, eoScrollPastEol});
             t.Select(MakeBufferCoord(2, 1), MakeBufferCoord(4, 1));
             t.Key(Qt::Key_Delete);
         }},
        {"Tab in the middle", line,
         [&](EditorTest& t) {
             t.Options({eoTrimTrailingSpaces}, {eoTabsToSpaces, eoSmartTabs, eoScrollPastEol});
             t.GoTo(3, 1);
             t.Command(ecTab);
         }},
        {"the next word deleted", line, [&](EditorTest& t) { trim(t); t.GoTo(1, 1); t.Command(ecDeleteWord); }},
        {"the previous word deleted", line,
         [&](EditorTest& t) { trim(t); t.GoTo(5, 1); t.Command(ecDeleteLastWord); }},
        {"a word changed to upper case", line, [&](EditorTest& t) { trim(t); t.GoTo(1, 1); t.Command(ecUpperCase); }},
        {"the line indented as a block", line,
         [&](EditorTest& t) {
             trim(t);
             t.Select(MakeBufferCoord(1, 1), MakeBufferCoord(3, 1));
             t.Command(ecBlockIndent);
         }},
        {"Backspace joining the line to the one above", "x\r\nab  cd\t ",
         [&](EditorTest& t) { trim(t); t.GoTo(1, 2); t.Key(Qt::Key_Backspace); }},
        {"Delete joining the line below", "ab\r\ncd \t",
         [&](EditorTest& t) { trim(t); t.GoTo(3, 1); t.Key(Qt::Key_Delete); }},
        {"a line break in the middle", line, [&](EditorTest& t) { trim(t); t.GoTo(3, 1); t.Key(Qt::Key_Return); }},
    };
    for (const ExactCase& c : cases)
        Check(c);
}

// The blanks trimming takes apart from an edit are recorded on their own; they must still go
// with the edit in one step, and undo must leave the caret where the edit was, not at the line end.
TEST_F(EditorUndo, BlanksTrimmedApartFromAnEditComeBackInTheEditsStep)
{
    struct Case {
        const char* Name;
        TBufferCoord At;
        std::function<void(EditorTest&)> Edit;
        TBufferCoord CaretAfterUndo;
    };
    const std::vector<Case> cases = {
        {"typing", MakeBufferCoord(3, 1), [](EditorTest& t) { t.Type("xy"); }, MakeBufferCoord(3, 1)},
        {"Backspace", MakeBufferCoord(4, 1), [](EditorTest& t) { t.Key(Qt::Key_Backspace); }, MakeBufferCoord(4, 1)},
        {"Delete", MakeBufferCoord(3, 1), [](EditorTest& t) { t.Key(Qt::Key_Delete); }, MakeBufferCoord(3, 1)},
        {"the previous word deleted", MakeBufferCoord(5, 1), [](EditorTest& t) { t.Command(ecDeleteLastWord); },
         MakeBufferCoord(5, 1)},
    };
    Options({eoTrimTrailingSpaces, eoGroupUndo}, {eoScrollPastEol});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        SetText("ab  cd  \r\nx");
        Edit->ClearUndoHistory();
        GoTo(c.At.CharIndex, c.At.LineNumber);
        c.Edit(*this);
        Edit->UndoLastChange();
        EXPECT_EQ(Text(), "ab  cd  \r\nx");
        EXPECT_EQ(Caret(), c.CaretAfterUndo);
        EXPECT_FALSE(Edit->UndoAvailable());
    }
}

TEST_F(EditorUndoExact, PastesAndInputOverSelectionsOfEveryModeUndoExactly)
{
    const std::vector<ExactCase> cases = {
        // Recorded in line mode, the pasted column piece took its whole line with it on undo.
        {"a column block pasted in line-selection mode", "alpha\r\nbeta",
         [](EditorTest& t) {
             ClipBlock(TSrcSelectionMode::smColumn, " ");
             t.Edit->SetSelectionMode(TSrcSelectionMode::smLine);
             t.Command(ecPaste);
         }},
        // The blanks up to the caret were not recorded and stayed behind on undo.
        {"a line break pasted beyond the end of a line", "ab\r\nzeta",
         [](EditorTest& t) {
             ClipBlock(TSrcSelectionMode::smNormal, "\r\n");
             t.GoTo(9, 2);
             t.Command(ecPaste);
         }},
        // Recorded twice, undo took away text beside the inserted string as well.
        {"input-method text over a column selection", "  alpha beta\r\nx",
         [](EditorTest& t) {
             t.Edit->SetSelectionMode(TSrcSelectionMode::smColumn);
             t.Select(MakeBufferCoord(1, 1), MakeBufferCoord(2, 1));
             const std::string ime = "x\xC3\xA9y";
             t.Edit->Perform(WM_IME_COMPOSITION, reinterpret_cast<WPARAM>(&ime), GCS_RESULTSTR);
         }},
        // The text goes in on the line of the selection's free end; recorded from its start,
        // undo took away the wrong text.
        {"stream text pasted over a column selection of two lines", "\tgamma(delta)\r\n\r\nend",
         [](EditorTest& t) {
             ClipBlock(TSrcSelectionMode::smNormal, ")\r\n\r\n");
             t.Edit->SetSelectionMode(TSrcSelectionMode::smColumn);
             t.Select(MakeBufferCoord(6, 1), MakeBufferCoord(13, 2));
             t.Command(ecPaste);
         }},
    };
    for (const ExactCase& c : cases)
        Check(c);
}

} // namespace

TEST_F(EditorUndo, AColumnWhoseLeftEdgeCutsACharacterOnItsFirstLineUndoesInPlace)
{
    // "é" takes bytes 2 and 3 of the first line; column 3 lies inside it there but not below.
    struct Case {
        const char* What;
        TBufferCoord From;
        TBufferCoord To;
        std::string Edited;
    };
    const std::string original = "a\xC3\xA9" "bcd\r\nabcdef";
    const std::vector<Case> cases = {
        {"only the line below loses text", {4, 1}, {3, 2}, "a\xC3\xA9" "bcd\r\nabdef"},
        {"both lines lose text", {5, 1}, {3, 2}, "a\xC3\xA9" "cd\r\nabef"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        SetText(original);
        Edit->ClearUndoHistory();
        TBufferCoord from = c.From;
        TBufferCoord to = c.To;
        Command(ecGotoXY, 0, &from);
        Command(ecColumnSelect);
        Command(ecSelGotoXY, 0, &to);
        Command(ecDeleteLastChar);
        EXPECT_EQ(Text(), c.Edited);
        UndoAll();
        EXPECT_EQ(Text(), original);
        RedoAll();
        EXPECT_EQ(Text(), c.Edited);
        Command(ecNormalSelect);
    }
}

TEST_F(EditorUndo, UndoingALineBreakTakesTheMarksOfTheJoinedLineAlong)
{
    struct Case {
        const char* What;
        int MarkLine;
        int LineAfterUndo;
    };
    // The break splits "onetwo" into lines 1 and 2; "three" is line 3.
    const std::vector<Case> cases = {
        {"on the line joined in", 2, 1},
        {"below it", 3, 2},
        {"above it", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        SetText("onetwo\r\nthree");
        Edit->ClearUndoHistory();
        GoTo(4, 1);
        Command(ecLineBreak);
        ASSERT_EQ(Text(), "one\r\ntwo\r\nthree");
        Edit->PlaceBookmark(0, 1, c.MarkLine);
        ASSERT_NE(Edit->Bookmark(0), nullptr);
        Edit->UndoLastChange();
        EXPECT_EQ(Text(), "onetwo\r\nthree");
        EXPECT_EQ(Edit->Bookmark(0)->Line(), c.LineAfterUndo);
        Edit->RemoveBookmark(0);
    }
    // The last line joined in: a mark there must not stay beyond the text.
    SetText("one");
    Edit->ClearUndoHistory();
    GoTo(4, 1);
    Command(ecLineBreak);
    Edit->PlaceBookmark(0, 1, 2);
    Edit->UndoLastChange();
    EXPECT_EQ(Edit->Lines().Count(), 1);
    EXPECT_EQ(Edit->Bookmark(0)->Line(), 1);
}
