#include "Platform/controls/EditClipboard.h"

#include "Platform/controls/Control.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

UINT ClipboardMessageForKey(const QKeyEvent& event)
{
    if (event.matches(QKeySequence::Copy))
        return WM_COPY;
    if (event.matches(QKeySequence::Cut))
        return WM_CUT;
    if (event.matches(QKeySequence::Paste))
        return WM_PASTE;
    if (event.matches(QKeySequence::Undo))
        return WM_UNDO;
    return 0;
}

bool SendClipboardKey(TWinControlCore& control, QKeyEvent& event)
{
    const UINT msg = ClipboardMessageForKey(event);
    if (msg == 0)
        return false;
    control.Perform(msg);
    event.accept();
    return true;
}

namespace {

// The message a standard edit-menu entry stands for, or 0. Qt names the entries of multi-line
// edits; those of single-line edits are known by their accelerators, and Delete by following
// Paste.
UINT MessageOfEntry(const QAction& action, UINT previous)
{
    struct Entry {
        const char* Name;
        QKeySequence::StandardKey Key;
        UINT Msg;
    };
    static const Entry entries[] = {
        {"edit-undo", QKeySequence::Undo, WM_UNDO},    {"edit-cut", QKeySequence::Cut, WM_CUT},
        {"edit-copy", QKeySequence::Copy, WM_COPY},    {"edit-paste", QKeySequence::Paste, WM_PASTE},
        {"edit-delete", QKeySequence::UnknownKey, WM_CLEAR},
    };
    const QString accelerator = action.text().section(QLatin1Char('\t'), 1);
    for (const Entry& e : entries) {
        if (action.objectName() == QLatin1String(e.Name))
            return e.Msg;
        if (action.objectName().isEmpty() && e.Key != QKeySequence::UnknownKey && !accelerator.isEmpty() &&
            accelerator == QKeySequence(e.Key).toString(QKeySequence::NativeText))
            return e.Msg;
    }
    if (action.objectName().isEmpty() && previous == WM_PASTE && accelerator.isEmpty() && !action.isSeparator())
        return WM_CLEAR;
    return 0;
}

} // namespace

void RouteEditMenuActions(QMenu& menu, TWinControlCore& control)
{
    UINT previous = 0;
    for (QAction* action : menu.actions()) {
        const UINT msg = MessageOfEntry(*action, previous);
        previous = msg;
        if (msg == 0)
            continue;
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
        QObject::connect(action, &QAction::triggered, &menu, [&control, msg] { control.Perform(msg); });
    }
}
