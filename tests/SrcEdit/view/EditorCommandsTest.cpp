// The command dispatcher: keys to commands (with two-key bindings), the dispatch path with its
// events and hooks, and the movement commands.

#include "SrcEdit/view/EditorTestSupport.h"

#include "Platform/files/Streams.h"

namespace {

using EditorCommands = EditorTest;

// Records which commands reach the built-in execution.
class TProbeEdit : public TSrcEdit {
public:
    using TSrcEdit::TSrcEdit;
    void ExecuteEditorCommand(TSrcEditorCommand command, char32_t aChar, void* data) override
    {
        Executed.push_back(command);
        TSrcEdit::ExecuteEditorCommand(command, aChar, data);
    }
    std::vector<TSrcEditorCommand> Executed;
};

struct THookProbe {
    void Handler(TObject*, bool after, bool& handled, TSrcEditorCommand& command, char32_t&, void*, void* data)
    {
        Calls.push_back(std::string(after ? "after " : "before ") + EditorCommandToText(command) + " " +
                        static_cast<const char*>(data));
        if (!after && Cancel)
            handled = true;
    }
    std::vector<std::string> Calls;
    bool Cancel = false;
};

TEST_F(EditorCommands, TwoKeyBindingsNeedTheirFirstKeyJustBefore)
{
    Edit->Keystrokes().Clear();
    TSrcEditKeyStroke* pair = Edit->Keystrokes().Add();
    pair->SetCommand(ecUpperCase);
    pair->SetShortCut(ShortCut('K', {ssCtrl}));
    pair->SetShortCut2(ShortCut('B', {ssCtrl}));
    Edit->Keystrokes().AddBinding(ecLowerCase, 'B', {ssCtrl});
    EXPECT_EQ(Edit->LookupKeyCommand('K', {ssCtrl}), ecNone); // remembered
    EXPECT_EQ(Edit->LookupKeyCommand('B', {ssCtrl}), ecUpperCase);
    EXPECT_EQ(Edit->LookupKeyCommand('B', {ssCtrl}), ecLowerCase); // the pair is used up
    EXPECT_EQ(Edit->LookupKeyCommand('K', {ssCtrl}), ecNone);
    EXPECT_EQ(Edit->LookupKeyCommand(VK_ESCAPE, {}), ecNone); // outside 30..145: forgets K
    EXPECT_EQ(Edit->LookupKeyCommand('B', {ssCtrl}), ecLowerCase);
}

TEST_F(EditorCommands, OnProcessCommandCanSuppressACommand)
{
    SetText("abc");
    std::vector<TSrcEditorCommand> processed;
    Edit->OnProcessCommand = [](TObject*, TSrcEditorCommand& command, char32_t&, void*) {
        if (command == ecChar)
            command = ecNone;
    };
    Edit->OnCommandProcessed = [&](TObject*, TSrcEditorCommand& command, char32_t&, void*) {
        processed.push_back(command);
    };
    Type("x");
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(processed, (std::vector<TSrcEditorCommand>{ecNone}));
}

TEST_F(EditorCommands, UserCommandsGoToTheirEventAndTheHooksButAreNeverExecuted)
{
    TProbeEdit edit;
    THookProbe probe;
    static char tag[] = "h";
    edit.HookCommandHandler(MakeMethod(&probe, &THookProbe::Handler), tag);
    int userCalls = 0;
    edit.OnProcessUserCommand = [&](TObject*, TSrcEditorCommand&, char32_t&, void*) { ++userCalls; };
    edit.DispatchCommand(1001, 0, nullptr);
    EXPECT_EQ(userCalls, 1);
    EXPECT_TRUE(edit.Executed.empty());
    EXPECT_EQ(probe.Calls, (std::vector<std::string>{"before 1001 h", "after 1001 h"}));
}

TEST_F(EditorCommands, AHookThatHandlesACommandStopsIt)
{
    TProbeEdit edit;
    edit.SetAllText("abc");
    THookProbe probe;
    static char tag[] = "h";
    const auto hook = MakeMethod(&probe, &THookProbe::Handler);
    edit.HookCommandHandler(hook, tag);
    edit.HookCommandHandler(hook, tag); // hooked once only
    probe.Cancel = true;
    TSrcEditorCommand seen = ecChar;
    edit.OnCommandProcessed = [&](TObject*, TSrcEditorCommand& command, char32_t&, void*) { seen = command; };
    edit.DispatchCommand(ecChar, U'x', nullptr);
    EXPECT_EQ(edit.GetAllText(), "abc");
    EXPECT_TRUE(edit.Executed.empty());
    EXPECT_EQ(probe.Calls, (std::vector<std::string>{"before ecChar h"}));
    EXPECT_EQ(seen, ecNone);
    edit.UnhookCommandHandler(hook);
    probe.Calls.clear();
    edit.DispatchCommand(ecChar, U'x', nullptr);
    EXPECT_TRUE(probe.Calls.empty());
    EXPECT_EQ(edit.GetAllText(), "xabc");
}

TEST_F(EditorCommands, PageMovesFollowTheScrollOptions)
{
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "x\r\n";
    SetText(text);
    const int rows = Edit->VisibleLineCount();
    ASSERT_GE(rows, 10);
    struct Case {
        TSrcEditorOptions Options;
        int Moved;
    };
    const std::vector<Case> cases = {
        {{}, rows}, {{eoHalfPageScroll}, rows / 2}, {{eoHalfPageScroll, eoScrollByOneLess}, rows / 2 - 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Moved);
        Edit->SetOptions(Edit->Options() - TSrcEditorOptions{eoHalfPageScroll, eoScrollByOneLess} + c.Options);
        GoTo(1, 1);
        Key(Qt::Key_PageDown);
        EXPECT_EQ(Caret().LineNumber, 1 + c.Moved);
        Key(Qt::Key_PageUp);
        EXPECT_EQ(Caret().LineNumber, 1);
    }
}

TEST_F(EditorCommands, HomeAndEndAlternateWithTheEnhancedOptions)
{
    Options({eoEnhanceHomeKey, eoEnhanceEndKey});
    SetText("    abc   ");
    const std::vector<std::pair<int, std::vector<int>>> home = {{7, {5, 1, 5}}, {3, {1}}};
    for (const auto& [start, stops] : home) {
        SCOPED_TRACE(start);
        GoTo(start, 1);
        for (int stop : stops) {
            Key(Qt::Key_Home);
            EXPECT_EQ(Caret().CharIndex, stop);
        }
    }
    GoTo(1, 1);
    Key(Qt::Key_End);
    EXPECT_EQ(Caret().CharIndex, 8);
    Key(Qt::Key_End);
    EXPECT_EQ(Caret().CharIndex, 11);
    Options({}, {eoEnhanceHomeKey, eoEnhanceEndKey});
    GoTo(7, 1);
    Key(Qt::Key_Home);
    EXPECT_EQ(Caret().CharIndex, 1);
    Key(Qt::Key_End);
    EXPECT_EQ(Caret().CharIndex, 11);
}

TEST_F(EditorCommands, WordAndEditorMovesAndTheirSelectingTwins)
{
    SetText("one two\r\nthree");
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Caret(), MakeBufferCoord(5, 1));
    Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Edit->GetSelectedText(), "two");
    Key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Edit->GetSelectedText(), "two\r\nthree");
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(Caret(), MakeBufferCoord(1, 1));
    EXPECT_FALSE(Edit->HasSelection());
    TBufferCoord target = MakeBufferCoord(3, 2);
    Command(ecSelGotoXY, 0, &target);
    EXPECT_EQ(Edit->GetSelectedText(), "one two\r\nth");
}

TEST_F(EditorCommands, ScrollCommandsKeepTheCaretInTheWindow)
{
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line\r\n";
    SetText(text);
    GoTo(1, 1);
    Key(Qt::Key_Down, Qt::ControlModifier); // ecScrollDown
    EXPECT_EQ(Edit->FirstVisibleRow(), 2);
    EXPECT_EQ(Caret().LineNumber, 2); // pulled into the window
    Key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(Edit->FirstVisibleRow(), 1);
}

TEST_F(EditorCommands, ModeCommandsSwitchInsertAndSelectionModes)
{
    int reports = 0;
    Edit->OnStatusChange = [&](TObject*, TSrcStatusChanges changes) {
        if (changes.Contains(scInsertMode))
            ++reports;
    };
    Command(ecToggleMode);
    EXPECT_FALSE(Edit->InsertMode());
    Command(ecInsertMode);
    EXPECT_TRUE(Edit->InsertMode());
    EXPECT_EQ(reports, 2);
    Command(ecColumnSelect);
    EXPECT_EQ(Edit->SelectionMode(), TSrcSelectionMode::smColumn);
    EXPECT_EQ(Edit->ActiveSelectionMode(), TSrcSelectionMode::smColumn);
    Command(ecNormalSelect);
    EXPECT_EQ(Edit->SelectionMode(), TSrcSelectionMode::smNormal);
}

TEST_F(EditorCommands, ContextHelpAsksForTheWordAtTheCaret)
{
    SetText("call strlen here");
    GoTo(8, 1);
    std::string word;
    Edit->OnContextHelp = [&](TObject*, const std::string& w) { word = w; };
    Key(Qt::Key_F1);
    EXPECT_EQ(word, "strlen");
}

TEST_F(EditorCommands, FocusChangesDispatchTheirPseudoCommands)
{
    std::vector<TSrcEditorCommand> seen;
    Edit->OnCommandProcessed = [&](TObject*, TSrcEditorCommand& command, char32_t&, void*) {
        seen.push_back(command);
    };
    Edit->Perform(WM_SETFOCUS, 0, 0);
    Edit->Perform(WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(seen, (std::vector<TSrcEditorCommand>{ecFocusGained, ecFocusLost}));
}

TEST_F(EditorCommands, KeyBindingDifferencesGoThroughAFormStream)
{
    // The document window's editor: F1 no longer asks for help, Ctrl+F1 does.
    Edit->Keystrokes().Delete(Edit->Keystrokes().FindSingleKey(VK_F1, {}));
    Edit->Keystrokes().AddBinding(ecContextHelp, VK_F1, {ssCtrl});
    TMemoryStream stream;
    ASSERT_TRUE(Edit->WriteKeystrokeDeltas(stream));
    TSrcEdit loaded;
    stream.SetPosition(0);
    loaded.ReadKeystrokeDeltas(stream);
    EXPECT_TRUE(loaded.Keystrokes().SameBindings(Edit->Keystrokes()));
    EXPECT_EQ(loaded.LookupKeyCommand(VK_F1, {}), ecNone);
    EXPECT_EQ(loaded.LookupKeyCommand(VK_F1, {ssCtrl}), ecContextHelp);
    TMemoryStream unchanged;
    EXPECT_FALSE(loaded.WriteKeystrokeDeltas(unchanged, &loaded.Keystrokes()));
    EXPECT_EQ(unchanged.Size(), 0);
}

} // namespace
