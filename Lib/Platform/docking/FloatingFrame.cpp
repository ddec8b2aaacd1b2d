#include "Platform/docking/FloatingFrame.h"

#include "Platform/core/Application.h"
#include "Platform/core/ChildObjects.h"
#include "Platform/core/QtBridge.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {

UINT NonClientMessage(QEvent::Type type, Qt::MouseButton button)
{
    const int column = button == Qt::RightButton ? 1 : (button == Qt::MiddleButton ? 2 : 0);
    switch (type) {
    case QEvent::MouseButtonPress: return WM_NCLBUTTONDOWN + 3 * column;
    case QEvent::MouseButtonRelease: return WM_NCLBUTTONUP + 3 * column;
    case QEvent::MouseButtonDblClick: return WM_NCLBUTTONDBLCLK + 3 * column;
    default: return WM_NCMOUSEMOVE;
    }
}

Qt::Edges EdgesOf(int code)
{
    switch (code) {
    case HTLEFT: return Qt::LeftEdge;
    case HTRIGHT: return Qt::RightEdge;
    case HTTOP: return Qt::TopEdge;
    case HTBOTTOM: return Qt::BottomEdge;
    case HTTOPLEFT: return Qt::TopEdge | Qt::LeftEdge;
    case HTTOPRIGHT: return Qt::TopEdge | Qt::RightEdge;
    case HTBOTTOMLEFT: return Qt::BottomEdge | Qt::LeftEdge;
    case HTBOTTOMRIGHT: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
    }
}

} // namespace

int TFloatingFrame::CaptionHeight() { return 18; }
int TFloatingFrame::BorderWidth() { return 3; }

TFloatingFrame::TFloatingFrame(TWinControlCore& control)
    : QObject(control.Widget()), FControl(control), FWidget(control.Widget())
{
    setObjectName(QStringLiteral("zentuFloatingFrame"));
    control.Widget()->installEventFilter(this);
    control.Widget()->setMouseTracking(true);
    TWndMethod next = control.WindowProc;
    control.WindowProc = [this, next](TMessage& m) { DefaultHandler(m, next); };
    UpdateMargins();
}

TFloatingFrame& TFloatingFrame::Attach(TWinControlCore& control)
{
    if (TFloatingFrame* frame = Find(control))
        return *frame;
    return *new TFloatingFrame(control); // owned by the widget as its child object
}

TFloatingFrame* TFloatingFrame::Find(const TWinControlCore& control)
{
    return FindChildObject<TFloatingFrame>(control.Widget());
}

bool TFloatingFrame::Active() const
{
    const QWidget* w = FControl.Widget();
    return w->isWindow() && w->windowFlags().testFlag(Qt::FramelessWindowHint);
}

void TFloatingFrame::UpdateMargins()
{
    QWidget* w = FControl.Widget();
    const int b = BorderWidth();
    if (Active())
        w->setContentsMargins(b, b + CaptionHeight(), b, b);
    else
        w->setContentsMargins(0, 0, 0, 0);
}

QRect TFloatingFrame::CloseButtonRect() const
{
    const QWidget* w = FControl.Widget();
    const int b = BorderWidth();
    const int side = CaptionHeight() - 4;
    return QRect(w->width() - b - side - 2, b + 2, side, side);
}

int TFloatingFrame::HitTest(QPoint pos) const
{
    const QWidget* w = FControl.Widget();
    if (!w->rect().contains(pos))
        return HTNOWHERE;
    const int b = BorderWidth();
    const int corner = b + 8;
    const bool left = pos.x() < b;
    const bool right = pos.x() >= w->width() - b;
    const bool top = pos.y() < b;
    const bool bottom = pos.y() >= w->height() - b;
    if (top || bottom || left || right) {
        const bool nearLeft = pos.x() < corner;
        const bool nearRight = pos.x() >= w->width() - corner;
        const bool nearTop = pos.y() < corner;
        const bool nearBottom = pos.y() >= w->height() - corner;
        if ((top && nearLeft) || (left && nearTop))
            return HTTOPLEFT;
        if ((top && nearRight) || (right && nearTop))
            return HTTOPRIGHT;
        if ((bottom && nearLeft) || (left && nearBottom))
            return HTBOTTOMLEFT;
        if ((bottom && nearRight) || (right && nearBottom))
            return HTBOTTOMRIGHT;
        return top ? HTTOP : bottom ? HTBOTTOM : left ? HTLEFT : HTRIGHT;
    }
    if (pos.y() < b + CaptionHeight())
        return CloseButtonRect().contains(pos) ? HTCLOSE : HTCAPTION;
    return HTCLIENT;
}

void TFloatingFrame::SetCursorFor(int code)
{
    QWidget* w = FControl.Widget();
    switch (code) {
    case HTLEFT:
    case HTRIGHT: w->setCursor(Qt::SizeHorCursor); break;
    case HTTOP:
    case HTBOTTOM: w->setCursor(Qt::SizeVerCursor); break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: w->setCursor(Qt::SizeFDiagCursor); break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: w->setCursor(Qt::SizeBDiagCursor); break;
    default: w->unsetCursor(); break;
    }
}

bool TFloatingFrame::eventFilter(QObject* watched, QEvent* event)
{
    // why: while the widget is destroyed it is no longer a control; nothing of it may be used.
    if (watched != FWidget || TWinControlCore::ControlOf(FWidget) != &FControl)
        return false;
    switch (event->type()) {
    case QEvent::ParentChange:
    case QEvent::Show:
        UpdateMargins();
        return false;
    case QEvent::Paint:
        if (Active())
            Paint();
        return false;
    case QEvent::WindowTitleChange:
        if (Active())
            FControl.Widget()->update(0, 0, FControl.Widget()->width(), BorderWidth() + CaptionHeight());
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        if (!Active())
            return false;
        try {
            return MouseEvent(event);
        } catch (...) {
            HandleCurrentException();
            return true;
        }
    default:
        return false;
    }
}

bool TFloatingFrame::MouseEvent(QEvent* event)
{
    auto* me = static_cast<QMouseEvent*>(event);
    QWidget* w = FControl.Widget();
    const QPoint global = me->globalPosition().toPoint();
    if (event->type() == QEvent::MouseMove && FMoving) {
        if (me->buttons() & Qt::LeftButton) {
            w->move(global - FMoveOffset);
            return true;
        }
        FMoving = false;
    }
    if (event->type() == QEvent::MouseButtonRelease && FMoving && me->button() == Qt::LeftButton)
        FMoving = false;
    const int code = HitTest(me->position().toPoint());
    if (code == HTCLIENT || code == HTNOWHERE) {
        if (event->type() == QEvent::MouseMove)
            SetCursorFor(code);
        return false;
    }
    if (event->type() == QEvent::MouseMove)
        SetCursorFor(code);
    const UINT msg = NonClientMessage(event->type(), me->button());
    FControl.Perform(msg, static_cast<WPARAM>(code), MakeLParam(global.x(), global.y()));
    return true;
}

void TFloatingFrame::DefaultHandler(TMessage& m, const TWndMethod& next)
{
    QWidget* w = FControl.Widget();
    switch (m.Msg) {
    case WM_NCLBUTTONDOWN: {
        const int code = static_cast<int>(m.WParam);
        FClosePressed = code == HTCLOSE;
        w->activateWindow();
        QWindow* window = w->windowHandle();
        if (code == HTCAPTION) {
            if (!window || !window->startSystemMove()) {
                FMoving = true;
                FMoveOffset = QPoint(LowWordSigned(m.LParam), HighWordSigned(m.LParam)) - w->pos();
            }
        } else if (const Qt::Edges edges = EdgesOf(code); edges && window) {
            window->startSystemResize(edges);
        }
        return;
    }
    case WM_NCLBUTTONUP:
        if (FClosePressed && static_cast<int>(m.WParam) == HTCLOSE) {
            FClosePressed = false;
            w->close();
        }
        FClosePressed = false;
        return;
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
    case WM_NCMBUTTONDBLCLK:
        return;
    default:
        if (next)
            next(m);
    }
}

void TFloatingFrame::Paint()
{
    QWidget* w = FControl.Widget();
    QPainter painter(w);
    const int b = BorderWidth();
    const int c = CaptionHeight();
    const QRect all = w->rect();
    const bool active = w->isActiveWindow();
    painter.fillRect(QRect(0, 0, all.width(), b + c), ToQColor(clBtnFace));
    painter.fillRect(QRect(0, 0, b, all.height()), ToQColor(clBtnFace));
    painter.fillRect(QRect(all.width() - b, 0, b, all.height()), ToQColor(clBtnFace));
    painter.fillRect(QRect(0, all.height() - b, all.width(), b), ToQColor(clBtnFace));
    painter.setPen(ToQColor(clBtnShadow));
    painter.drawRect(all.adjusted(0, 0, -1, -1));
    const QRect caption(b, b, all.width() - 2 * b, c - 1);
    painter.fillRect(caption, ToQColor(active ? clActiveCaption : clInactiveCaption));
    painter.setPen(ToQColor(active ? clCaptionText : clInactiveCaptionText));
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    const QRect text = caption.adjusted(4, 0, -(c + 2), 0);
    painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                     painter.fontMetrics().elidedText(QStr(FControl.Text()), Qt::ElideRight, text.width()));
    const QRect close = CloseButtonRect();
    painter.fillRect(close, ToQColor(clBtnFace));
    painter.setPen(ToQColor(clBtnShadow));
    painter.drawRect(close.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(ToQColor(clBtnText), 1.5));
    const QRect cross = close.adjusted(4, 4, -5, -5);
    painter.drawLine(cross.topLeft(), cross.bottomRight());
    painter.drawLine(cross.topRight(), cross.bottomLeft());
}
