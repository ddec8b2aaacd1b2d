// Editor command names, key-binding items and their collection with the default key table.

#include "SrcEdit/Source/commands/SrcEditKeyCmds.h"

#include "Platform/text/Format.h"

#include <algorithm>

const std::vector<TSrcEditorCommandName>& EditorCommandNames()
{
    static const std::vector<TSrcEditorCommandName> names = {
        {ecNone, "ecNone"},
        {ecLeft, "ecLeft"},
        {ecRight, "ecRight"},
        {ecUp, "ecUp"},
        {ecDown, "ecDown"},
        {ecWordLeft, "ecWordLeft"},
        {ecWordRight, "ecWordRight"},
        {ecLineStart, "ecLineStart"},
        {ecLineEnd, "ecLineEnd"},
        {ecPageUp, "ecPageUp"},
        {ecPageDown, "ecPageDown"},
        {ecPageLeft, "ecPageLeft"},
        {ecPageRight, "ecPageRight"},
        {ecPageTop, "ecPageTop"},
        {ecPageBottom, "ecPageBottom"},
        {ecEditorTop, "ecEditorTop"},
        {ecEditorBottom, "ecEditorBottom"},
        {ecGotoXY, "ecGotoXY"},
        {ecSelLeft, "ecSelLeft"},
        {ecSelRight, "ecSelRight"},
        {ecSelUp, "ecSelUp"},
        {ecSelDown, "ecSelDown"},
        {ecSelWordLeft, "ecSelWordLeft"},
        {ecSelWordRight, "ecSelWordRight"},
        {ecSelLineStart, "ecSelLineStart"},
        {ecSelLineEnd, "ecSelLineEnd"},
        {ecSelPageUp, "ecSelPageUp"},
        {ecSelPageDown, "ecSelPageDown"},
        {ecSelPageLeft, "ecSelPageLeft"},
        {ecSelPageRight, "ecSelPageRight"},
        {ecSelPageTop, "ecSelPageTop"},
        {ecSelPageBottom, "ecSelPageBottom"},
        {ecSelEditorTop, "ecSelEditorTop"},
        {ecSelEditorBottom, "ecSelEditorBottom"},
        {ecSelGotoXY, "ecSelGotoXY"},
        {ecSelectAll, "ecSelectAll"},
        {ecCopy, "ecCopy"},
        {ecScrollUp, "ecScrollUp"},
        {ecScrollDown, "ecScrollDown"},
        {ecScrollLeft, "ecScrollLeft"},
        {ecScrollRight, "ecScrollRight"},
        {ecInsertMode, "ecInsertMode"},
        {ecOverwriteMode, "ecOverwriteMode"},
        {ecToggleMode, "ecToggleMode"},
        {ecNormalSelect, "ecNormalSelect"},
        {ecColumnSelect, "ecColumnSelect"},
        {ecLineSelect, "ecLineSelect"},
        {ecMatchBracket, "ecMatchBracket"},
        {ecCommentBlock, "ecCommentBlock"},
        {ecGotoMarker0, "ecGotoMarker0"},
        {ecGotoMarker1, "ecGotoMarker1"},
        {ecGotoMarker2, "ecGotoMarker2"},
        {ecGotoMarker3, "ecGotoMarker3"},
        {ecGotoMarker4, "ecGotoMarker4"},
        {ecGotoMarker5, "ecGotoMarker5"},
        {ecGotoMarker6, "ecGotoMarker6"},
        {ecGotoMarker7, "ecGotoMarker7"},
        {ecGotoMarker8, "ecGotoMarker8"},
        {ecGotoMarker9, "ecGotoMarker9"},
        {ecSetMarker0, "ecSetMarker0"},
        {ecSetMarker1, "ecSetMarker1"},
        {ecSetMarker2, "ecSetMarker2"},
        {ecSetMarker3, "ecSetMarker3"},
        {ecSetMarker4, "ecSetMarker4"},
        {ecSetMarker5, "ecSetMarker5"},
        {ecSetMarker6, "ecSetMarker6"},
        {ecSetMarker7, "ecSetMarker7"},
        {ecSetMarker8, "ecSetMarker8"},
        {ecSetMarker9, "ecSetMarker9"},
        {ecContextHelp, "ecContextHelp"},
        {ecDeleteLastChar, "ecDeleteLastChar"},
        {ecDeleteChar, "ecDeleteChar"},
        {ecDeleteWord, "ecDeleteWord"},
        {ecDeleteLastWord, "ecDeleteLastWord"},
        {ecDeleteBOL, "ecDeleteBOL"},
        {ecDeleteEOL, "ecDeleteEOL"},
        {ecDeleteLine, "ecDeleteLine"},
        {ecClearAll, "ecClearAll"},
        {ecLineBreak, "ecLineBreak"},
        {ecInsertLine, "ecInsertLine"},
        {ecChar, "ecChar"},
        {ecImeStr, "ecImeStr"},
        {ecUndo, "ecUndo"},
        {ecRedo, "ecRedo"},
        {ecCut, "ecCut"},
        {ecPaste, "ecPaste"},
        {ecBlockIndent, "ecBlockIndent"},
        {ecBlockUnindent, "ecBlockUnindent"},
        {ecTab, "ecTab"},
        {ecShiftTab, "ecShiftTab"},
        {ecUpperCase, "ecUpperCase"},
        {ecLowerCase, "ecLowerCase"},
        {ecToggleCase, "ecToggleCase"},
        {ecTitleCase, "ecTitleCase"},
        {ecUpperCaseBlock, "ecUpperCaseBlock"},
        {ecLowerCaseBlock, "ecLowerCaseBlock"},
        {ecToggleCaseBlock, "ecToggleCaseBlock"},
        {ecString, "ecString"},
        {ecAutoCompletion, "ecAutoCompletion"},
    };
    return names;
}

bool NameToEditorCommand(const std::string& name, TSrcEditorCommand& command)
{
    for (const auto& entry : EditorCommandNames())
        if (name == entry.Name) {
            command = entry.Command;
            return true;
        }
    return false;
}

bool EditorCommandToName(TSrcEditorCommand command, std::string& name)
{
    for (const auto& entry : EditorCommandNames())
        if (entry.Command == command) {
            name = entry.Name;
            return true;
        }
    return false;
}

std::string EditorCommandToText(TSrcEditorCommand command)
{
    std::string name;
    if (EditorCommandToName(command, name))
        return name;
    return std::to_string(command);
}

// ---- TSrcEditKeyStroke

TShortCut TSrcEditKeyStroke::ShortCut() const
{
    return ::ShortCut(FKey, FShift);
}

TShortCut TSrcEditKeyStroke::ShortCut2() const
{
    return ::ShortCut(FKey2, FShift2);
}

void TSrcEditKeyStroke::CheckUniquePair(TShortCut shortCut, TShortCut shortCut2) const
{
    if (!FCollection)
        return;
    for (int i = 0; i < FCollection->Count(); ++i) {
        const TSrcEditKeyStroke* other = FCollection->Items(i);
        if (other != this && other->ShortCut() == shortCut && other->ShortCut2() == shortCut2)
            throw ESrcKeyError("Shortcut already exists");
    }
}

void TSrcEditKeyStroke::SetShortCut(TShortCut value)
{
    if (value != 0)
        CheckUniquePair(value, ShortCut2());
    ShortCutToKey(value, FKey, FShift);
}

void TSrcEditKeyStroke::SetShortCut2(TShortCut value)
{
    if (value != 0)
        CheckUniquePair(ShortCut(), value);
    ShortCutToKey(value, FKey2, FShift2);
}

int TSrcEditKeyStroke::Index() const
{
    return FCollection ? FCollection->IndexOf(this) : -1;
}

std::string TSrcEditKeyStroke::DisplayName() const
{
    std::string text = EditorCommandToText(FCommand) + " - " + ShortCutToText(ShortCut());
    if (FKey2 != 0)
        text += " " + ShortCutToText(ShortCut2());
    return text.empty() ? ClassName() : text;
}

void TSrcEditKeyStroke::Assign(const TPersistent& source)
{
    if (auto other = dynamic_cast<const TSrcEditKeyStroke*>(&source)) {
        FCommand = other->FCommand;
        FKey = other->FKey;
        FKey2 = other->FKey2;
        FShift = other->FShift;
        FShift2 = other->FShift2;
        return;
    }
    TPersistent::Assign(source);
}

// ---- TSrcEditKeyStrokes

TSrcEditKeyStrokes::~TSrcEditKeyStrokes() = default;

TSrcEditKeyStroke* TSrcEditKeyStrokes::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FItems[static_cast<size_t>(index)].get();
}

TSrcEditKeyStroke* TSrcEditKeyStrokes::Add()
{
    FItems.push_back(std::make_unique<TSrcEditKeyStroke>(this));
    return FItems.back().get();
}

void TSrcEditKeyStrokes::AddBinding(TSrcEditorCommand command, WORD key, TShiftState shift)
{
    // invariant: setting fields directly cannot fail, so the new item is never left half made
    TSrcEditKeyStroke* item = Add();
    item->SetKey(key);
    item->SetShift(shift);
    item->SetCommand(command);
}

void TSrcEditKeyStrokes::Delete(int index)
{
    Items(index);
    FItems.erase(FItems.begin() + index);
}

void TSrcEditKeyStrokes::Clear()
{
    FItems.clear();
}

int TSrcEditKeyStrokes::IndexOf(const TSrcEditKeyStroke* item) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == item)
            return static_cast<int>(i);
    return -1;
}

int TSrcEditKeyStrokes::FindSingleKey(WORD key, TShiftState shift) const
{
    for (size_t i = 0; i < FItems.size(); ++i) {
        const auto& k = *FItems[i];
        if (k.Key() == key && k.Shift() == shift && k.Key2() == 0)
            return static_cast<int>(i);
    }
    return -1;
}

int TSrcEditKeyStrokes::FindKeyPair(WORD key, TShiftState shift, WORD key2, TShiftState shift2) const
{
    for (size_t i = 0; i < FItems.size(); ++i) {
        const auto& k = *FItems[i];
        if (k.Key() == key && k.Shift() == shift && k.Key2() == key2 && k.Shift2() == shift2)
            return static_cast<int>(i);
    }
    return -1;
}

int TSrcEditKeyStrokes::FindShortCutPair(TShortCut shortCut, TShortCut shortCut2) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->ShortCut() == shortCut && FItems[i]->ShortCut2() == shortCut2)
            return static_cast<int>(i);
    return -1;
}

void TSrcEditKeyStrokes::Assign(const TPersistent& source)
{
    if (auto other = dynamic_cast<const TSrcEditKeyStrokes*>(&source)) {
        if (other == this)
            return;
        Clear();
        for (const auto& item : other->FItems)
            Add()->Assign(*item);
        return;
    }
    TPersistent::Assign(source);
}

bool TSrcEditKeyStrokes::SameBindings(const TSrcEditKeyStrokes& other) const
{
    if (Count() != other.Count())
        return false;
    for (size_t i = 0; i < FItems.size(); ++i) {
        const auto& a = *FItems[i];
        const auto& b = *other.FItems[i];
        if (a.Command() != b.Command() || a.ShortCut() != b.ShortCut() || a.ShortCut2() != b.ShortCut2())
            return false;
    }
    return true;
}

void TSrcEditKeyStrokes::ResetToDefaults()
{
    Clear();
    const TShiftState none;
    const TShiftState shift{ssShift};
    const TShiftState ctrl{ssCtrl};
    const TShiftState ctrlShift{ssCtrl, ssShift};
    const TShiftState alt{ssAlt};
    const TShiftState altShift{ssAlt, ssShift};

    AddBinding(ecUp, VK_UP, none);
    AddBinding(ecSelUp, VK_UP, shift);
    AddBinding(ecScrollUp, VK_UP, ctrl);
    AddBinding(ecDown, VK_DOWN, none);
    AddBinding(ecSelDown, VK_DOWN, shift);
    AddBinding(ecScrollDown, VK_DOWN, ctrl);
    AddBinding(ecLeft, VK_LEFT, none);
    AddBinding(ecSelLeft, VK_LEFT, shift);
    AddBinding(ecWordLeft, VK_LEFT, ctrl);
    AddBinding(ecSelWordLeft, VK_LEFT, ctrlShift);
    AddBinding(ecRight, VK_RIGHT, none);
    AddBinding(ecSelRight, VK_RIGHT, shift);
    AddBinding(ecWordRight, VK_RIGHT, ctrl);
    AddBinding(ecSelWordRight, VK_RIGHT, ctrlShift);
    AddBinding(ecPageDown, VK_NEXT, none);
    AddBinding(ecSelPageDown, VK_NEXT, shift);
    AddBinding(ecPageBottom, VK_NEXT, ctrl);
    AddBinding(ecSelPageBottom, VK_NEXT, ctrlShift);
    AddBinding(ecPageUp, VK_PRIOR, none);
    AddBinding(ecSelPageUp, VK_PRIOR, shift);
    AddBinding(ecPageTop, VK_PRIOR, ctrl);
    AddBinding(ecSelPageTop, VK_PRIOR, ctrlShift);
    AddBinding(ecLineStart, VK_HOME, none);
    AddBinding(ecSelLineStart, VK_HOME, shift);
    AddBinding(ecEditorTop, VK_HOME, ctrl);
    AddBinding(ecSelEditorTop, VK_HOME, ctrlShift);
    AddBinding(ecLineEnd, VK_END, none);
    AddBinding(ecSelLineEnd, VK_END, shift);
    AddBinding(ecEditorBottom, VK_END, ctrl);
    AddBinding(ecSelEditorBottom, VK_END, ctrlShift);

    AddBinding(ecToggleMode, VK_INSERT, none);
    AddBinding(ecCopy, VK_INSERT, ctrl);
    AddBinding(ecCut, VK_DELETE, shift);
    AddBinding(ecPaste, VK_INSERT, shift);
    AddBinding(ecDeleteChar, VK_DELETE, none);
    AddBinding(ecDeleteLastChar, VK_BACK, none);
    AddBinding(ecDeleteLastChar, VK_BACK, shift);
    AddBinding(ecDeleteLastWord, VK_BACK, ctrl);
    AddBinding(ecUndo, VK_BACK, alt);
    AddBinding(ecRedo, VK_BACK, altShift);
    AddBinding(ecLineBreak, VK_RETURN, none);
    AddBinding(ecLineBreak, VK_RETURN, shift);
    AddBinding(ecTab, VK_TAB, none);
    AddBinding(ecShiftTab, VK_TAB, shift);
    AddBinding(ecContextHelp, VK_F1, none);
    AddBinding(ecSelectAll, 'A', ctrl);
    AddBinding(ecCopy, 'C', ctrl);
    AddBinding(ecPaste, 'V', ctrl);
    AddBinding(ecCut, 'X', ctrl);
    AddBinding(ecBlockIndent, 'I', ctrlShift);
    AddBinding(ecBlockUnindent, 'U', ctrlShift);
    AddBinding(ecLineBreak, 'M', ctrl);
    AddBinding(ecInsertLine, 'N', ctrl);
    AddBinding(ecDeleteWord, 'T', ctrl);
    AddBinding(ecDeleteLine, 'Y', ctrl);
    AddBinding(ecDeleteEOL, 'Y', ctrlShift);
    AddBinding(ecUndo, 'Z', ctrl);
    AddBinding(ecRedo, 'Z', ctrlShift);
    for (int digit = 0; digit <= 9; ++digit)
        AddBinding(static_cast<TSrcEditorCommand>(ecGotoMarker0 + digit), static_cast<WORD>('0' + digit), ctrl);
    for (int digit = 0; digit <= 9; ++digit)
        AddBinding(static_cast<TSrcEditorCommand>(ecSetMarker0 + digit), static_cast<WORD>('0' + digit), ctrlShift);
    AddBinding(ecNormalSelect, 'N', ctrlShift);
    AddBinding(ecColumnSelect, 'C', ctrlShift);
    AddBinding(ecLineSelect, 'L', ctrlShift);
    AddBinding(ecMatchBracket, 'B', ctrlShift);
}
