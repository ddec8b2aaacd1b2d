#pragma once
// Clipboard commands of the edit controls as messages: the keys and the context-menu entries
// that copy, cut, paste, clear or undo send WM_COPY ... WM_UNDO through the control's window
// procedure instead of acting directly, so that a control can filter them.

#include "Platform/Messages.h"

class QKeyEvent;
class QMenu;
class TWinControlCore;

// The clipboard message that a key press stands for (WM_COPY, WM_CUT, WM_PASTE, WM_UNDO), or 0.
UINT ClipboardMessageForKey(const QKeyEvent& event);

// Makes the undo, cut, copy, paste and delete entries of a standard edit menu send their
// messages to `control`; the menu's other entries stay as Qt made them.
void RouteEditMenuActions(QMenu& menu, TWinControlCore& control);
