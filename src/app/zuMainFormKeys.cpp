// Who gets a key: the focused control first. Inside the documents the commands' keys work as
// shortcuts; elsewhere in the window (the explorers, the FTP view, the tool windows) a key that
// is also a command's is offered to the focused control, and reaches the command only when the
// control leaves it alone, so F2 renames in an explorer and Ctrl+A selects its rows there.

#include "app/zuMainForm.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>

TAction* TMainForm::CommandForKeyOutsideDocuments(const QKeyEvent& event) const
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != this || !MDIArea || MDIArea->isAncestorOf(focus) || !FClientPage ||
        !FClientPage->isVisible())
        return nullptr;
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const QKeySequence pressed(QKeyCombination(modifiers, Qt::Key(event.key())));
    if (pressed.isEmpty())
        return nullptr;
    for (TAction* action : ActionList.Actions())
        if (action->isEnabled() && action->shortcuts().contains(pressed))
            return action;
    return nullptr;
}

bool TMainForm::event(QEvent* event)
{
    // A shortcut override reaches the window only when no control on the way claimed the key;
    // accepting it sends the key to the focused control as an ordinary key press.
    if (event->type() == QEvent::ShortcutOverride && CommandForKeyOutsideDocuments(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::keyPressEvent(QKeyEvent* event)
{
    // The focused control left the key alone: it is the command's.
    if (TAction* command = CommandForKeyOutsideDocuments(*event)) {
        event->accept();
        command->trigger();
        return;
    }
    QMainWindow::keyPressEvent(event);
}
