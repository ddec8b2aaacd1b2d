#include "search/zuDialogPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget& window)
{
    const QWidget* owner = window.parentWidget() ? window.parentWidget()->window() : &window;
    const QScreen* screen = owner->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // why: the frame is what the user sees; without a window manager it equals the geometry.
    const QSize frame = window.frameGeometry().size();
    window.move(area.left() + (area.width() - frame.width()) / 2, area.top() + (area.height() - frame.height()) / 2);
}
