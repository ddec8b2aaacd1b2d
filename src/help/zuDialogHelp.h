#pragma once
// The help contexts of the program's dialogs, and the F1 key inside them. A dialog's context
// names its page through the "[Contexts]" section of the program's help map, so F1 in any dialog
// shows the page about that dialog, not the PHP manual that F1 in a document opens.

#include <QObject>

#include <string>
#include <typeinfo>
#include <vector>

class QWidget;

struct TDialogHelpContext {
    const std::type_info* Type;
    const char* ClassName;
    int Context;
};

// Every dialog with a help context.
const std::vector<TDialogHelpContext>& DialogHelpContexts();

// The help context of the window or dialog that holds `widget` (the nearest one with a
// context, the widget itself included); 0 for none.
int DialogHelpContext(const QWidget* widget);

// Watches the application's key presses: F1 (without modifiers) inside a dialog with a help
// context is taken and handed to the application's help with that context; any other key, and
// F1 elsewhere, goes on as before.
class TDialogHelpKey : public QObject {
public:
    explicit TDialogHelpKey(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
