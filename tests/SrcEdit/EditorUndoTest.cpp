// Undo and redo in the editor: every edit is undone back to the file's exact bytes and redone
// again, steps group as recorded, and the modified flag follows the saved state.

#include "EditorTestSupport.h"

#include "support/TempDir.h"

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
        Edit->UndoList().Clear();
        Edit->RedoList().Clear();
        SetText(c.Text);
        c.Edit(*this);
        const std::string edited = Text();
        UndoAll();
        EXPECT_EQ(Text(), c.Text);
        RedoAll();
        EXPECT_EQ(Text(), edited);
        UndoAll();
        EXPECT_EQ(Text(), c.Text);
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

} // namespace
