// Who gets a key: F2 and Ctrl+A pressed in a list or tree outside the documents (the explorers,
// the FTP view, the tool windows) go to that view first, which renames or selects its rows, and
// reach the Next Bookmark or Select All command only when the view leaves them alone. Every
// other key, and these keys anywhere else, stay the commands' shortcuts.

#include "app/zuMainForm.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>

namespace {

// The keys a list or tree has a use of its own for.
bool ViewKey(const QKeySequence& pressed)
{
    return pressed == QKeySequence(Qt::Key_F2) || pressed == QKeySequence(Qt::CTRL | Qt::Key_A);
}

} // namespace

TAction* TMainForm::CommandForKeyOutsideDocuments(const QKeyEvent& event) const
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != this || !MDIArea || MDIArea->isAncestorOf(focus) || !FClientPage ||
        !FClientPage->isVisible())
        return nullptr;
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const QKeySequence pressed(QKeyCombination(modifiers, Qt::Key(event.key())));
    // why: scroll areas are the lists and trees here; the documents' editors were left out above.
    if (pressed.isEmpty() || !ViewKey(pressed) || !qobject_cast<QAbstractScrollArea*>(focus))
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
