// Editor command names and key bindings: the name table, the default key table, lookups and
// the duplicate test of shortcut pairs.

#include "SrcEdit/Source/commands/SrcEditKeyCmds.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

const TShiftState None;
const TShiftState Shift{ssShift};
const TShiftState Ctrl{ssCtrl};
const TShiftState CtrlShift{ssCtrl, ssShift};
const TShiftState Alt{ssAlt};
const TShiftState AltShift{ssAlt, ssShift};

struct Binding {
    WORD Key;
    TShiftState Shift;
    TSrcEditorCommand Command;
};

// The default bindings in their order, written out independently of the code under test.
std::vector<Binding> ExpectedDefaults()
{
    std::vector<Binding> b = {
        {38, None, ecUp},           {38, Shift, ecSelUp},         {38, Ctrl, ecScrollUp},
        {40, None, ecDown},         {40, Shift, ecSelDown},       {40, Ctrl, ecScrollDown},
        {37, None, ecLeft},         {37, Shift, ecSelLeft},       {37, Ctrl, ecWordLeft},
        {37, CtrlShift, ecSelWordLeft},
        {39, None, ecRight},        {39, Shift, ecSelRight},      {39, Ctrl, ecWordRight},
        {39, CtrlShift, ecSelWordRight},
        {34, None, ecPageDown},     {34, Shift, ecSelPageDown},   {34, Ctrl, ecPageBottom},
        {34, CtrlShift, ecSelPageBottom},
        {33, None, ecPageUp},       {33, Shift, ecSelPageUp},     {33, Ctrl, ecPageTop},
        {33, CtrlShift, ecSelPageTop},
        {36, None, ecLineStart},    {36, Shift, ecSelLineStart},  {36, Ctrl, ecEditorTop},
        {36, CtrlShift, ecSelEditorTop},
        {35, None, ecLineEnd},      {35, Shift, ecSelLineEnd},    {35, Ctrl, ecEditorBottom},
        {35, CtrlShift, ecSelEditorBottom},
        {45, None, ecToggleMode},   {45, Ctrl, ecCopy},           {46, Shift, ecCut},
        {45, Shift, ecPaste},       {46, None, ecDeleteChar},     {8, None, ecDeleteLastChar},
        {8, Shift, ecDeleteLastChar}, {8, Ctrl, ecDeleteLastWord}, {8, Alt, ecUndo},
        {8, AltShift, ecRedo},      {13, None, ecLineBreak},      {13, Shift, ecLineBreak},
        {9, None, ecTab},           {9, Shift, ecShiftTab},       {112, None, ecContextHelp},
        {'A', Ctrl, ecSelectAll},   {'C', Ctrl, ecCopy},          {'V', Ctrl, ecPaste},
        {'X', Ctrl, ecCut},         {'I', CtrlShift, ecBlockIndent}, {'U', CtrlShift, ecBlockUnindent},
        {'M', Ctrl, ecLineBreak},   {'N', Ctrl, ecInsertLine},    {'T', Ctrl, ecDeleteWord},
        {'Y', Ctrl, ecDeleteLine},  {'Y', CtrlShift, ecDeleteEOL}, {'Z', Ctrl, ecUndo},
        {'Z', CtrlShift, ecRedo},
    };
    for (int d = 0; d <= 9; ++d)
        b.push_back({static_cast<WORD>(48 + d), Ctrl, static_cast<TSrcEditorCommand>(301 + d)});
    for (int d = 0; d <= 9; ++d)
        b.push_back({static_cast<WORD>(48 + d), CtrlShift, static_cast<TSrcEditorCommand>(351 + d)});
    b.push_back({'N', CtrlShift, ecNormalSelect});
    b.push_back({'C', CtrlShift, ecColumnSelect});
    b.push_back({'L', CtrlShift, ecLineSelect});
    b.push_back({'B', CtrlShift, ecMatchBracket});
    return b;
}

} // namespace

TEST(EditorCommandNames, EveryNameAndNumberConvertsBothWays)
{
    const auto& names = EditorCommandNames();
    std::set<std::string> seenNames;
    std::set<TSrcEditorCommand> seenNumbers;
    for (const auto& entry : names) {
        SCOPED_TRACE(entry.Name);
        EXPECT_TRUE(seenNames.insert(entry.Name).second) << "duplicate name";
        EXPECT_TRUE(seenNumbers.insert(entry.Command).second) << "duplicate number";
        TSrcEditorCommand command = 0xFFFF;
        ASSERT_TRUE(NameToEditorCommand(entry.Name, command));
        EXPECT_EQ(command, entry.Command);
        std::string name;
        ASSERT_TRUE(EditorCommandToName(entry.Command, name));
        EXPECT_EQ(name, entry.Name);
        EXPECT_EQ(EditorCommandToText(entry.Command), entry.Name);
    }
}

TEST(EditorCommandNames, FixedNumbersOfTheTable)
{
    const std::vector<std::pair<const char*, int>> cases = {
        {"ecNone", 0},          {"ecGotoXY", 17},        {"ecSelLeft", 101},    {"ecSelGotoXY", 117},
        {"ecSelectAll", 199},   {"ecCopy", 201},         {"ecScrollRight", 214}, {"ecToggleMode", 223},
        {"ecLineSelect", 233},  {"ecMatchBracket", 250}, {"ecCommentBlock", 251}, {"ecGotoMarker0", 301},
        {"ecGotoMarker9", 310}, {"ecSetMarker0", 351},   {"ecSetMarker9", 360}, {"ecContextHelp", 490},
        {"ecDeleteBOL", 505},   {"ecLineBreak", 509},    {"ecChar", 511},       {"ecImeStr", 550},
        {"ecPaste", 604},       {"ecShiftTab", 613},     {"ecTitleCase", 623},  {"ecToggleCaseBlock", 627},
        {"ecString", 630},      {"ecAutoCompletion", 650},
    };
    for (const auto& [name, number] : cases) {
        SCOPED_TRACE(name);
        TSrcEditorCommand command = 0;
        ASSERT_TRUE(NameToEditorCommand(name, command));
        EXPECT_EQ(command, number);
    }
}

TEST(EditorCommandNames, CommandsWithoutANameShowTheirNumber)
{
    EXPECT_EQ(EditorCommandToText(1001), "1001");
    EXPECT_EQ(EditorCommandToText(ecFocusGained), "480");
    EXPECT_EQ(EditorCommandToText(ecFocusLost), "481");
    EXPECT_EQ(EditorCommandToText(509), "ecLineBreak");
    std::string name = "unchanged";
    EXPECT_FALSE(EditorCommandToName(ecUserFirst, name));
    EXPECT_EQ(name, "unchanged");
}

TEST(EditorCommandNames, NamesMatchExactly)
{
    TSrcEditorCommand command = 7;
    EXPECT_FALSE(NameToEditorCommand("eclinebreak", command));
    EXPECT_FALSE(NameToEditorCommand("ecLineBreak ", command));
    EXPECT_FALSE(NameToEditorCommand("", command));
    EXPECT_EQ(command, 7);
}

TEST(DefaultKeyTable, HoldsExactlyTheDefaultBindingsInOrder)
{
    TSrcEditKeyStrokes keys;
    keys.ResetToDefaults();
    const auto expected = ExpectedDefaults();
    ASSERT_EQ(expected.size(), 82u);
    ASSERT_EQ(keys.Count(), 82);
    for (int i = 0; i < keys.Count(); ++i) {
        SCOPED_TRACE(testing::Message() << "binding " << i);
        const TSrcEditKeyStroke* k = keys.Items(i);
        EXPECT_EQ(k->Key(), expected[static_cast<size_t>(i)].Key);
        EXPECT_EQ(k->Shift(), expected[static_cast<size_t>(i)].Shift);
        EXPECT_EQ(k->Command(), expected[static_cast<size_t>(i)].Command);
        EXPECT_EQ(k->Key2(), 0);
        EXPECT_EQ(k->ShortCut2(), 0);
    }
}

TEST(DefaultKeyTable, CommandsBoundToMoreThanOneKey)
{
    TSrcEditKeyStrokes keys;
    keys.ResetToDefaults();
    std::map<TSrcEditorCommand, int> counts;
    for (int i = 0; i < keys.Count(); ++i)
        ++counts[keys.Items(i)->Command()];
    EXPECT_EQ(counts[ecLineBreak], 3);
    for (TSrcEditorCommand c : {ecCopy, ecCut, ecPaste, ecUndo, ecRedo, ecDeleteLastChar})
        EXPECT_EQ(counts[c], 2) << EditorCommandToText(c);
    int multiplyBound = 0;
    for (const auto& entry : counts)
        multiplyBound += entry.second > 1 ? 1 : 0;
    EXPECT_EQ(multiplyBound, 7) << "no other command has two keys";
}

TEST(DefaultKeyTable, NoShortcutPairTwiceAndResetReplacesEverything)
{
    TSrcEditKeyStrokes keys;
    keys.AddBinding(ecUserFirst, 'Q', Ctrl);
    keys.ResetToDefaults();
    EXPECT_EQ(keys.Count(), 82);
    EXPECT_EQ(keys.FindSingleKey('Q', Ctrl), -1);
    for (int i = 0; i < keys.Count(); ++i)
        EXPECT_EQ(keys.FindShortCutPair(keys.Items(i)->ShortCut(), 0), i);
}

TEST(KeyStroke, ShortCutComposesKeyAndModifierBits)
{
    TSrcEditKeyStrokes keys;
    TSrcEditKeyStroke* k = keys.Add();
    k->SetShortCut(8205); // Shift+Enter
    EXPECT_EQ(k->Key(), VK_RETURN);
    EXPECT_EQ(k->Shift(), Shift);
    k->SetShortCut(16496); // Ctrl+F1
    EXPECT_EQ(k->Key(), VK_F1);
    EXPECT_EQ(k->Shift(), Ctrl);
    k->SetKey('S');
    k->SetShift({ssCtrl, ssAlt, ssShift});
    EXPECT_EQ(k->ShortCut(), 0x2000 | 0x4000 | 0x8000 | 'S');
    k->SetShortCut2(0x4000 | 'K');
    EXPECT_EQ(k->Key2(), 'K');
    EXPECT_EQ(k->Shift2(), Ctrl);
}

TEST(KeyStroke, DuplicateShortcutPairIsRefusedAndKeepsTheOldKeys)
{
    TSrcEditKeyStrokes keys;
    keys.ResetToDefaults();
    TSrcEditKeyStroke* copy = keys.Items(keys.FindSingleKey('C', Ctrl));
    TSrcEditKeyStroke* paste = keys.Items(keys.FindSingleKey('V', Ctrl));
    try {
        paste->SetShortCut(copy->ShortCut());
        FAIL() << "no exception";
    } catch (const ESrcKeyError& e) {
        EXPECT_STREQ(e.what(), "Shortcut already exists");
    }
    EXPECT_EQ(paste->Key(), 'V');
    EXPECT_EQ(paste->Shift(), Ctrl);

    EXPECT_NO_THROW(copy->SetShortCut(copy->ShortCut())) << "its own value is no duplicate";
    EXPECT_NO_THROW(paste->SetShortCut(0)) << "no shortcut is never a duplicate";
    EXPECT_NO_THROW(keys.Items(0)->SetShortCut(0));
    // A second key makes the pair different; ShortCut2 is tested on the pair as well.
    TSrcEditKeyStrokes two;
    TSrcEditKeyStroke* a = two.Add();
    a->SetShortCut(0x4000 | 'K');
    a->SetShortCut2(0x4000 | 'B');
    TSrcEditKeyStroke* b = two.Add();
    EXPECT_NO_THROW(b->SetShortCut(0x4000 | 'K'));
    EXPECT_THROW(b->SetShortCut2(0x4000 | 'B'), ESrcKeyError);
    EXPECT_EQ(b->Key2(), 0);
    EXPECT_NO_THROW(b->SetShortCut2(0x4000 | 'C'));
    EXPECT_EQ(two.FindShortCutPair(0x4000 | 'K', 0x4000 | 'C'), 1);
}

TEST(KeyStroke, AssignAndAddBindingSkipTheDuplicateTest)
{
    TSrcEditKeyStrokes keys;
    keys.AddBinding(ecCopy, 'C', Ctrl);
    EXPECT_NO_THROW(keys.AddBinding(ecCut, 'C', Ctrl));
    TSrcEditKeyStroke* third = keys.Add();
    EXPECT_NO_THROW(third->Assign(*keys.Items(0)));
    EXPECT_EQ(third->Command(), ecCopy);
    EXPECT_EQ(keys.FindShortCutPair(0x4000 | 'C', 0), 0);
    EXPECT_EQ(keys.Count(), 3);
}

TEST(KeyStroke, DisplayNameShowsCommandAndKeys)
{
    TSrcEditKeyStrokes keys;
    keys.AddBinding(ecCopy, 'C', Ctrl);
    EXPECT_EQ(keys.Items(0)->DisplayName(), "ecCopy - Ctrl+C");
    TSrcEditKeyStroke* two = keys.Add();
    two->SetCommand(ecUserFirst);
    two->SetShortCut(0x4000 | 'K');
    two->SetShortCut2(0x4000 | 'B');
    EXPECT_EQ(two->DisplayName(), "1001 - Ctrl+K Ctrl+B");
}

TEST(KeyStrokes, FindSingleKeyNeverReturnsATwoKeyBinding)
{
    TSrcEditKeyStrokes keys;
    TSrcEditKeyStroke* pair = keys.Add();
    pair->SetCommand(ecUserFirst);
    pair->SetShortCut(0x4000 | 'K');
    pair->SetShortCut2(0x4000 | 'B');
    keys.AddBinding(ecInsertLine, 'K', Ctrl);
    keys.AddBinding(ecLineBreak, VK_RETURN, None);

    EXPECT_EQ(keys.FindSingleKey('K', Ctrl), 1);
    EXPECT_EQ(keys.FindSingleKey(VK_RETURN, None), 2);
    EXPECT_EQ(keys.FindSingleKey(VK_RETURN, Shift), -1);
    EXPECT_EQ(keys.FindKeyPair('K', Ctrl, 'B', Ctrl), 0);
    EXPECT_EQ(keys.FindKeyPair('K', Ctrl, 'B', None), -1);
    EXPECT_EQ(keys.FindKeyPair('K', Ctrl, 0, None), 1);
    EXPECT_EQ(keys.FindShortCutPair(0x4000 | 'K', 0x4000 | 'B'), 0);
    EXPECT_EQ(keys.FindShortCutPair(0x4000 | 'B', 0x4000 | 'K'), -1);
}

TEST(KeyStrokes, AssignCopiesEveryItemAndDeleteChecksTheIndex)
{
    TSrcEditKeyStrokes source;
    source.ResetToDefaults();
    TSrcEditKeyStrokes copy;
    copy.AddBinding(ecUserFirst, 'Q', Ctrl);
    copy.Assign(source);
    EXPECT_TRUE(copy.SameBindings(source));
    EXPECT_NE(copy.Items(0), source.Items(0)) << "items are copies";
    EXPECT_EQ(copy.Items(5)->Collection(), &copy);

    copy.Delete(0);
    EXPECT_FALSE(copy.SameBindings(source));
    EXPECT_EQ(copy.Items(0)->Command(), ecSelUp);
    EXPECT_EQ(copy.Items(0)->Index(), 0);
    EXPECT_THROW(copy.Delete(81), EListError);
    EXPECT_THROW(copy.Items(-1), EListError);
    EXPECT_THROW(copy.Assign(TSrcEditKeyStroke(nullptr)), EConvertError);
}
