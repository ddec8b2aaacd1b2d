#pragma once
// Small scope guards of the shell: the hourglass cursor, a widget's painting stopped, and a
// re-entrancy flag, each undone when the scope ends, also by an exception.

#include <QApplication>
#include <QWidget>

class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// Stops a widget's painting; at the end it paints again, whole.
class TUpdatesLock {
public:
    explicit TUpdatesLock(QWidget* widget) : FWidget(widget) { FWidget->setUpdatesEnabled(false); }
    ~TUpdatesLock()
    {
        FWidget->setUpdatesEnabled(true);
        FWidget->update();
    }
    TUpdatesLock(const TUpdatesLock&) = delete;
    TUpdatesLock& operator=(const TUpdatesLock&) = delete;

private:
    QWidget* FWidget;
};

// Sets a flag for the scope; a handler that finds it set is being re-entered.
class TBusyFlag {
public:
    explicit TBusyFlag(bool& flag) : FFlag(flag) { FFlag = true; }
    ~TBusyFlag() { FFlag = false; }
    TBusyFlag(const TBusyFlag&) = delete;
    TBusyFlag& operator=(const TBusyFlag&) = delete;

private:
    bool& FFlag;
};
