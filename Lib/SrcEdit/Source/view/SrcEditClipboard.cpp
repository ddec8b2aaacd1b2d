// The editor and the clipboard: copying and cutting the selection with its selection mode, and
// pasting the private block or plain text with undo markers around the paste.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditClipboardBlock.h"
#include "SrcEdit/Source/view/SrcEditScopes.h"

#include "Platform/core/QtBridge.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <algorithm>

namespace {

QClipboard* SystemClipboard()
{
    return QGuiApplication::clipboard();
}

} // namespace

void TCustomSrcEdit::PutTextOnClipboard(const std::string& text)
{
    if (text.empty())
        return;
    QClipboard* clipboard = SystemClipboard();
    if (!clipboard)
        throw ESrcEditError("Clipboard copy operation failed");
    auto data = std::make_unique<QMimeData>();
    SrcEditFillMimeData(*data, FActiveSelectionMode, text);
    clipboard->setMimeData(data.release());
}

void TCustomSrcEdit::CopySelectionToClipboard()
{
    if (!HasSelection())
        return;
    // why: a column block keeps its rectangle on the clipboard, so short lines are padded with
    // blanks even where the editor trims them.
    const bool untrim = FActiveSelectionMode == TSrcSelectionMode::smColumn && FOptions.Contains(eoTrimTrailingSpaces);
    if (untrim)
        FOptions.Exclude(eoTrimTrailingSpaces);
    std::string text;
    try {
        text = GetSelectedText();
    } catch (...) {
        if (untrim)
            FOptions.Include(eoTrimTrailingSpaces);
        throw;
    }
    if (untrim)
        FOptions.Include(eoTrimTrailingSpaces);
    PutTextOnClipboard(text);
}

void TCustomSrcEdit::CutSelectionToClipboard()
{
    if (ReadOnly() || !HasSelection())
        return;
    WithUndoBlock([&] {
        PutTextOnClipboard(GetSelectedText());
        SetSelectedText({});
    });
}

bool TCustomSrcEdit::PasteAvailable() const
{
    if (ReadOnly())
        return false;
    const QClipboard* clipboard = SystemClipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    return data && (data->hasText() || data->hasFormat(SrcEditBlockMimeType()));
}

void TCustomSrcEdit::RecordPaste(TSrcSelectionMode mode, TBufferCoord start)
{
    switch (mode) {
    case TSrcSelectionMode::smNormal: {
        std::string lost;
        WidenInsertionRecord(start, lost);
        FUndoList->RecordChange(TSrcUndoReason::urPaste, start, FCaret, lost, mode);
        break;
    }
    case TSrcSelectionMode::smLine:
        if (FCaret.CharIndex == 1) {
            // why: at least two columns wide, so that one pasted line is still a selection when
            // undo takes it away, however narrow (or hidden) the window is.
            FUndoList->RecordChange(TSrcUndoReason::urPaste, MakeBufferCoord(1, start.LineNumber),
                                    MakeBufferCoord(std::max(FCharsInWindow, 2), FCaret.LineNumber - 1), {},
                                    TSrcSelectionMode::smLine);
        } else {
            FUndoList->RecordChange(TSrcUndoReason::urPaste, MakeBufferCoord(1, start.LineNumber), FCaret, {},
                                    TSrcSelectionMode::smNormal);
        }
        break;
    case TSrcSelectionMode::smColumn:
        break; // the column insertion recorded its pieces itself
    }
}

void TCustomSrcEdit::PasteClipboard()
{
    if (!PasteAvailable())
        return;
    const QMimeData* data = SystemClipboard()->mimeData();
    TSrcSelectionMode blockMode = TSrcSelectionMode::smNormal;
    std::string text;
    // A damaged block (from another process) is passed over for the plain text.
    const bool fromBlock = data->hasFormat(SrcEditBlockMimeType()) &&
                           SrcEditReadBlock(data->data(SrcEditBlockMimeType()), blockMode, text);
    if (!fromBlock) {
        if (!data->hasText())
            return;
        text = StdStr(data->text());
    }

    FirePaintTransient(TTransientType::ttBefore);
    WithUndoBlock([&] {
        FUndoList->RecordChange(TSrcUndoReason::urMarkerBegin2, GetSelectionStart(), GetSelectionEnd(), {},
                                TSrcSelectionMode::smNormal);
        try {
            if (HasSelection())
                RecordSelectionDeletion();
            else if (!fromBlock)
                FActiveSelectionMode = FSelectionMode;
            TBufferCoord start = HasSelection() ? GetSelectionStart() : FCaret;
            if (HasSelection() && FActiveSelectionMode == TSrcSelectionMode::smLine)
                start.CharIndex = 1;
            const TSrcSelectionMode mode = fromBlock ? blockMode : FActiveSelectionMode;
            InsertBlockText(mode, text, true);
            // why: a deleted column selection leaves the caret on the line of its free end, and
            // the text goes in there, not at the selection's start.
            if (!text.empty())
                start = FInsertedAt;
            // why: plain text pasted in line mode is recorded as a line block is; recorded as a
            // line range from its start it would take the text of the caret line with it on undo.
            RecordPaste(mode, start);
        } catch (...) {
            FUndoList->RecordChange(TSrcUndoReason::urMarkerEnd2, GetSelectionStart(), GetSelectionEnd(), {},
                                    TSrcSelectionMode::smNormal);
            throw;
        }
        FUndoList->RecordChange(TSrcUndoReason::urMarkerEnd2, GetSelectionStart(), GetSelectionEnd(), {},
                                TSrcSelectionMode::smNormal);
    });

    if (FOptions.Contains(eoHideShowScrollbars)) {
        // why: showing or hiding a bar changes the client area the caret is scrolled into.
        const int locked = FPaintLock;
        FPaintLock = 0;
        try {
            RefreshScrollBars();
        } catch (...) {
            FPaintLock = locked;
            throw;
        }
        FPaintLock = locked;
    }
    ScrollCaretIntoView();
    NoteStatusChange(scSelection);
    FirePaintTransient(TTransientType::ttAfter);
}
