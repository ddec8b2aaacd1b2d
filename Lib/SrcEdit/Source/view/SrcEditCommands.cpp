// The editor's command dispatcher: keys become commands through the key bindings, every command
// runs through DispatchCommand with its events and hooks, and the commands that do not change
// the text (movement, selection, scrolling, modes, bookmarks, undo) run here.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditScopes.h"

#include <algorithm>

// ---- keys

void TCustomSrcEdit::KeyDown(WORD& key, TShiftState shift)
{
    // why: a dialog key the editor does not want (Tab without WantTabs, Return and Escape
    // without WantReturns) belongs to the form, as the dialog manager would have kept it.
    if (!WantsDialogKey(key))
        return;
    TQtScrollControl<QAbstractScrollArea>::KeyDown(key, shift);
    FKbdHandler->FireKeyDown(this, key, shift);
    const TSrcEditorCommand command = LookupKeyCommand(key, shift);
    if (command != ecNone) {
        key = 0;
        SetState(sfIgnoreNextChar, true);
        DispatchCommand(command, 0, nullptr);
    } else {
        SetState(sfIgnoreNextChar, false);
    }
}

void TCustomSrcEdit::KeyUp(WORD& key, TShiftState shift)
{
    TQtScrollControl<QAbstractScrollArea>::KeyUp(key, shift);
    FKbdHandler->FireKeyUp(this, key, shift);
}

void TCustomSrcEdit::KeyPress(char32_t& key)
{
    if (State(sfIgnoreNextChar)) {
        // The character belongs to a key that already ran a command.
        SetState(sfIgnoreNextChar, false);
        key = 0;
        return;
    }
    TQtScrollControl<QAbstractScrollArea>::KeyPress(key);
    if (key == 0)
        return;
    FKbdHandler->FireKeyPress(this, key);
    if (key == 0)
        return;
    DispatchCommand(ecChar, key, nullptr);
    key = 0;
}

TSrcEditorCommand TCustomSrcEdit::LookupKeyCommand(WORD key, TShiftState shift)
{
    int index = -1;
    if (FLastKey != 0)
        index = FKeystrokes->FindKeyPair(FLastKey, FLastShiftState, key, shift);
    if (index < 0)
        index = FKeystrokes->FindSingleKey(key, shift);
    const TSrcEditorCommand command = index >= 0 ? FKeystrokes->Items(index)->Command() : ecNone;
    // Keys outside VK_ACCEPT..VK_SCROLL (Shift, Ctrl and Alt among them) are never a first key.
    if (command != ecNone || key < 30 || key > 145) {
        FLastKey = 0;
        FLastShiftState = {};
    } else {
        FLastKey = key;
        FLastShiftState = shift;
    }
    return command;
}

// ---- dispatch

void TCustomSrcEdit::DispatchCommand(TSrcEditorCommand command, char32_t aChar, void* data)
{
    FireProcessCommand(command, aChar, data);
    if (command != ecNone)
        NotifyCommandHooks(false, command, aChar, data);
    if (command != ecNone && command < ecUserFirst)
        ExecuteEditorCommand(command, aChar, data);
    if (command != ecNone)
        NotifyCommandHooks(true, command, aChar, data);
    FireCommandProcessed(command, aChar, data);
}

void TCustomSrcEdit::NotifyCommandHooks(bool afterProcessing, TSrcEditorCommand& command, char32_t& aChar, void* data)
{
    bool handled = false;
    // why: a handler may hook or unhook while the list is walked.
    const std::vector<THookedCommandHandlerEntry> entries = FHookedCommandHandlers;
    for (const THookedCommandHandlerEntry& entry : entries)
        entry.Handler(this, afterProcessing, handled, command, aChar, data, entry.Data);
    if (handled)
        command = ecNone;
}

void TCustomSrcEdit::HookCommandHandler(const THookedCommandEvent& handler, void* handlerData)
{
    if (!handler.Assigned())
        return;
    for (const THookedCommandHandlerEntry& entry : FHookedCommandHandlers)
        if (entry.Handler.SameAs(handler))
            return;
    FHookedCommandHandlers.push_back({handler, handlerData});
}

void TCustomSrcEdit::UnhookCommandHandler(const THookedCommandEvent& handler)
{
    if (!handler.Assigned())
        return;
    for (size_t i = FHookedCommandHandlers.size(); i-- > 0;)
        if (FHookedCommandHandlers[i].Handler.SameAs(handler)) {
            FHookedCommandHandlers.erase(FHookedCommandHandlers.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
}

void TCustomSrcEdit::ExecuteEditorCommand(TSrcEditorCommand command, char32_t aChar, void* data)
{
    WithPaintLock([&] {
        if ((command >= ecLeft && command <= ecGotoXY) || (command >= ecSelLeft && command <= ecSelGotoXY)) {
            ExecuteMovementCommand(command, data);
            return;
        }
        if (command >= ecGotoMarker0 && command <= ecGotoMarker9) {
            if (FBookMarkOpt->EnableKeys())
                JumpToBookmark(command - ecGotoMarker0);
            return;
        }
        if (command >= ecSetMarker0 && command <= ecSetMarker9) {
            if (FBookMarkOpt->EnableKeys())
                ToggleBookmarkCommand(command - ecSetMarker0, data);
            return;
        }
        switch (command) {
        case ecSelectAll:
            SelectAllText();
            break;
        case ecScrollUp:
        case ecScrollDown: {
            const TDisplayPoint vp = CaretDisplayPoint();
            if (vp.DisplayRow < FFirstVisibleRow || vp.DisplayRow >= FFirstVisibleRow + FVisibleLineCount) {
                ScrollCaretIntoView();
                break;
            }
            const bool up = command == ecScrollUp;
            SetFirstVisibleLine(FFirstVisibleRow + (up ? -1 : 1));
            if (up && vp.DisplayRow > FFirstVisibleRow + FVisibleLineCount - 1)
                MoveCaretVertically(FFirstVisibleRow + FVisibleLineCount - 1 - vp.DisplayRow, false);
            else if (!up && vp.DisplayRow < FFirstVisibleRow)
                MoveCaretVertically(FFirstVisibleRow - vp.DisplayRow, false);
            ScrollCaretIntoView();
            break;
        }
        case ecScrollLeft:
            SetFirstVisibleChar(FFirstVisibleColumn - 1);
            break;
        case ecScrollRight:
            SetFirstVisibleChar(FFirstVisibleColumn + 1);
            break;
        case ecInsertMode:
            SetInsertMode(true);
            break;
        case ecOverwriteMode:
            SetInsertMode(false);
            break;
        case ecToggleMode:
            SetInsertMode(!FInsertMode);
            break;
        case ecNormalSelect:
            SetSelectionMode(TSrcSelectionMode::smNormal);
            break;
        case ecColumnSelect:
            SetSelectionMode(TSrcSelectionMode::smColumn);
            break;
        case ecLineSelect:
            SetSelectionMode(TSrcSelectionMode::smLine);
            break;
        case ecMatchBracket:
            JumpToMatchingBracket();
            break;
        case ecContextHelp:
            if (OnContextHelp)
                OnContextHelp(this, GetWordAtCaret());
            break;
        case ecUndo:
            if (!ReadOnly())
                UndoLastChange();
            break;
        case ecRedo:
            if (!ReadOnly())
                RedoLastChange();
            break;
        case ecCopy:
            CopySelectionToClipboard();
            break;
        case ecCut:
            if (!ReadOnly() && HasSelection())
                CutSelectionToClipboard();
            break;
        case ecPaste:
            if (!ReadOnly())
                PasteClipboard();
            break;
        case ecDeleteLastChar:
            DeleteLastChar();
            break;
        case ecDeleteChar:
            DeleteCharAtCaret();
            break;
        case ecDeleteWord:
        case ecDeleteEOL:
            DeleteWordOrToEol(command);
            break;
        case ecDeleteLastWord:
        case ecDeleteBOL:
            DeleteLastWordOrToBol(command);
            break;
        case ecDeleteLine:
            DeleteCaretLine();
            break;
        case ecClearAll:
            if (!ReadOnly())
                ResetContents();
            break;
        case ecLineBreak:
        case ecInsertLine:
            InsertLineBreak(command == ecLineBreak);
            break;
        case ecChar:
            InsertCharAtCaret(aChar);
            break;
        case ecImeStr:
            if (data)
                InsertImeString(static_cast<const char*>(data));
            break;
        case ecTab:
            InsertTabAtCaret();
            break;
        case ecShiftTab:
            RemoveTabAtCaret();
            break;
        case ecBlockIndent:
            IndentBlock();
            break;
        case ecBlockUnindent:
            UnindentBlock();
            break;
        case ecUpperCase:
        case ecLowerCase:
        case ecToggleCase:
        case ecTitleCase:
        case ecUpperCaseBlock:
        case ecLowerCaseBlock:
        case ecToggleCaseBlock:
            ChangeCase(command);
            break;
        default:
            break; // the others are for hooked handlers (completion, comments, focus)
        }
    });
}

// ---- movement

void TCustomSrcEdit::ExecuteMovementCommand(TSrcEditorCommand command, void* data)
{
    const bool selecting = command >= ecSelLeft;
    const TSrcEditorCommand base = selecting ? static_cast<TSrcEditorCommand>(command - 100) : command;
    switch (base) {
    case ecLeft:
        MoveCaretHorizontally(-1, selecting);
        break;
    case ecRight:
        MoveCaretHorizontally(1, selecting);
        break;
    case ecUp:
        MoveCaretVertically(-1, selecting);
        break;
    case ecDown:
        MoveCaretVertically(1, selecting);
        break;
    case ecWordLeft:
        MoveCaretAndSelect(FCaret, PreviousWordStartAtCaret(), selecting);
        break;
    case ecWordRight:
        MoveCaretAndSelect(FCaret, NextWordStartAtCaret(), selecting);
        break;
    case ecLineStart:
        MoveCaretToLineStart(selecting);
        break;
    case ecLineEnd:
        MoveCaretToLineEnd(selecting);
        break;
    case ecPageUp:
    case ecPageDown: {
        int rows = FVisibleLineCount;
        if (FOptions.Contains(eoHalfPageScroll))
            rows >>= 1;
        if (FOptions.Contains(eoScrollByOneLess))
            --rows;
        if (base == ecPageUp)
            rows = -rows;
        SetFirstVisibleLine(FFirstVisibleRow + rows);
        MoveCaretVertically(rows, selecting);
        break;
    }
    case ecPageLeft:
        MoveCaretHorizontally(-FCharsInWindow, selecting);
        break;
    case ecPageRight:
        MoveCaretHorizontally(FCharsInWindow, selecting);
        break;
    case ecPageTop:
    case ecPageBottom: {
        const int row = base == ecPageTop ? FFirstVisibleRow : FFirstVisibleRow + FVisibleLineCount - 1;
        MoveCaretAndSelect(FCaret, DisplayPointToBuffer(MakeDisplayPoint(CaretDisplayColumn(), row)), selecting);
        break;
    }
    case ecEditorTop:
        MoveCaretAndSelect(FCaret, MakeBufferCoord(1, 1), selecting);
        break;
    case ecEditorBottom: {
        const int count = LineCount();
        MoveCaretAndSelect(FCaret, count == 0 ? MakeBufferCoord(1, 0) : MakeBufferCoord(LineLength(count) + 1, count),
                           selecting);
        break;
    }
    case ecGotoXY:
        if (data)
            MoveCaretAndSelect(FCaret, *static_cast<const TBufferCoord*>(data), selecting);
        break;
    default:
        break;
    }
}

void TCustomSrcEdit::MoveCaretToLineStart(bool selecting)
{
    int target = 1;
    const std::string text = LineText(FCaret.LineNumber);
    if (FOptions.Contains(eoEnhanceHomeKey) && CaretDisplayRow() == LineToRow(FCaret.LineNumber)) {
        int limit = static_cast<int>(text.size());
        if (FWordWrapPlugin && LineToRow(FCaret.LineNumber) <= FWordWrapPlugin->RowCount())
            limit = std::min(limit, DisplayPointToBuffer(MakeDisplayPoint(
                                        FWordWrapPlugin->RowLength(LineToRow(FCaret.LineNumber)) + 1,
                                        LineToRow(FCaret.LineNumber)))
                                            .CharIndex -
                                        1);
        int i = 0;
        while (i < limit && SrcEditIsBlank(text[static_cast<size_t>(i)]))
            ++i;
        target = i + 1;
        if (target >= FCaret.CharIndex && FCaret.CharIndex != 1)
            target = 1;
    }
    TBufferCoord destination = MakeBufferCoord(target, FCaret.LineNumber);
    if (FWordWrapPlugin)
        destination = DisplayPointToBuffer(
            MakeDisplayPoint(BufferToDisplayPoint(destination).DisplayColumn, CaretDisplayRow()));
    MoveCaretAndSelect(FCaret, destination, selecting);
}

void TCustomSrcEdit::MoveCaretToLineEnd(bool selecting)
{
    const std::string text = LineText(FCaret.LineNumber);
    const int length = static_cast<int>(text.size());
    int target = length + 1;
    bool enhanced = false;
    const TDisplayPoint caret = CaretDisplayPoint();
    const bool lastRow = !FWordWrapPlugin || FCaret.LineNumber >= LineCount() ||
                         caret.DisplayRow == LineToRow(FCaret.LineNumber + 1) - 1;
    if (FOptions.Contains(eoEnhanceEndKey) && lastRow) {
        const int rowStart =
            FWordWrapPlugin ? DisplayPointToBuffer(MakeDisplayPoint(1, caret.DisplayRow)).CharIndex - 1 : 0;
        int end = length;
        while (end > rowStart && SrcEditIsBlank(text[static_cast<size_t>(end - 1)]))
            --end;
        target = end + 1;
        enhanced = true;
        if (FCaret.CharIndex == target)
            target = length + 1;
    }
    if (!FWordWrapPlugin) {
        MoveCaretAndSelect(FCaret, MakeBufferCoord(target, FCaret.LineNumber), selecting);
        return;
    }
    int column = enhanced ? BufferToDisplayPoint(MakeBufferCoord(target, FCaret.LineNumber)).DisplayColumn
                          : FWordWrapPlugin->RowLength(caret.DisplayRow) + 1;
    column = std::min(column, FCharsInWindow + 1);
    const TDisplayPoint destination = MakeDisplayPoint(column, caret.DisplayRow);
    MoveCaretAndSelect(FCaret, DisplayPointToBuffer(destination), selecting);
    PlaceCaretAtDisplayPoint(destination);
}

void TCustomSrcEdit::ToggleBookmarkCommand(int number, void* data)
{
    const TBufferCoord p = data ? *static_cast<const TBufferCoord*>(data) : FCaret;
    if (const TSrcEditMark* existing = Bookmark(number)) {
        const int line = existing->Line();
        RemoveBookmark(number);
        if (line != p.LineNumber)
            PlaceBookmark(number, p.CharIndex, p.LineNumber);
    } else {
        PlaceBookmark(number, p.CharIndex, p.LineNumber);
    }
}
