#pragma once
// Clipboard commands of the edit controls as messages: the keys and the context-menu entries
// that copy, cut, paste, clear or undo send WM_COPY ... WM_UNDO through the control's window
// procedure instead of acting directly, so that a control can filter them.

#include "Platform/core/Messages.h"

class QKeyEvent;
class QMenu;
class TWinControlCore;

// The clipboard message that a key press stands for (WM_COPY, WM_CUT, WM_PASTE, WM_UNDO), or 0.
UINT ClipboardMessageForKey(const QKeyEvent& event);
// Sends the clipboard message of a key press to `control` and accepts the key; false (and
// nothing sent) for a key that stands for none.
bool SendClipboardKey(TWinControlCore& control, QKeyEvent& event);

// Carries out a clipboard message on a Qt edit widget (QLineEdit, QPlainTextEdit): copying
// always, the commands that change the text only when it is not read-only; `clearSelection`
// deletes the selection. False for any other message.
template <class TEdit, class TClear>
bool PerformClipboardMessage(TEdit& edit, TMessage& message, TClear clearSelection)
{
    const bool writable = !edit.isReadOnly();
    switch (message.Msg) {
    case WM_COPY:
        edit.copy();
        return true;
    case WM_CUT:
        if (writable)
            edit.cut();
        return true;
    case WM_PASTE:
        if (writable)
            edit.paste();
        return true;
    case WM_CLEAR:
        if (writable)
            clearSelection();
        return true;
    case WM_UNDO:
    case EM_UNDO:
        if (writable)
            edit.undo();
        message.Result = 1;
        return true;
    default:
        return false;
    }
}

// Makes the undo, cut, copy, paste and delete entries of a standard edit menu send their
// messages to `control`; the menu's other entries stay as Qt made them.
void RouteEditMenuActions(QMenu& menu, TWinControlCore& control);
