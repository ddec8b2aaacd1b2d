#include "ShellBrowsing/Source/combo/DropDownWnd.h"

#include "TreeView/Source/core/LTScrollBarOptions.h"
#include "TreeView/Source/core/LazyTree.h"

#include "Platform/controls/Keys.h"
#include "Platform/controls/ScrollCodes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QThread>
#include <QVariantAnimation>

// ---- size grip

TSizeGrabber::TSizeGrabber(TDropDownWnd* dropDown, QWidget* parent)
    : TCustomControl(dropDown, parent), FDropDown(dropDown)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(CornerCursor());
}

Qt::CursorShape TSizeGrabber::CornerCursor() const
{
    const bool above = FDropDown->DropState() & dsAbove;
    const bool rightToLeft = FDropDown->DropState() & dsRightToLeft;
    return above != rightToLeft ? Qt::SizeBDiagCursor : Qt::SizeFDiagCursor;
}

void TSizeGrabber::PaintGrip(QPainter& painter, const QRect& r) const
{
    QImage image(r.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        QStyleOptionSizeGrip option;
        option.initFrom(this);
        option.rect = QRect(QPoint(0, 0), r.size());
        option.corner = (FDropDown->DropState() & dsRightToLeft) ? Qt::BottomLeftCorner : Qt::BottomRightCorner;
        style()->drawControl(QStyle::CE_SizeGrip, &option, &p, this);
    }
    // Above the anchor the grip sits in the upper corner, upside down.
    if (FDropDown->DropState() & dsAbove)
        image = image.mirrored(false, true);
    painter.drawImage(r.topLeft(), image);
}

void TSizeGrabber::Paint()
{
    QPainter& painter = *Canvas().Handle();
    // Inside the list the grip lies over the list's rows, which show around it.
    if (!FInsideList)
        painter.fillRect(rect(), palette().color(QPalette::Window));
    PaintGrip(painter, rect());
}

void TSizeGrabber::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft)
        return;
    FSizing = true;
    FPressPoint = mapToGlobal(QPoint(x, y));
    FStartGeometry = FDropDown->geometry();
}

void TSizeGrabber::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (!FSizing)
        return;
    const QPoint offset = mapToGlobal(QPoint(x, y)) - FPressPoint;
    QRect r = FStartGeometry;
    const bool above = FDropDown->DropState() & dsAbove;
    if (FDropDown->DropState() & dsRightToLeft)
        r.setLeft(r.left() + offset.x());
    else
        r.setRight(r.right() + offset.x());
    if (above)
        r.setTop(r.top() + offset.y());
    else
        r.setBottom(r.bottom() + offset.y());
    const QSize least(width() + 4, height() + 4);
    if (r.width() < least.width() || r.height() < least.height())
        return;
    FDropDown->setGeometry(r);
    FDropDown->repaint();
    QThread::msleep(10);
}

void TSizeGrabber::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    FSizing = false;
}

// ---- drop-down window

TDropDownWnd::TDropDownWnd(TComponent* AOwner, QWidget* parent) : TCustomControl(AOwner, parent)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
                   | Qt::X11BypassWindowManagerHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    FScrollbar = new TOwnerDrawScrollbar(this, this);
    FScrollbar->SetScrollTarget(this);
    FGrabber = new TSizeGrabber(this, this);
    hide();
}

TDropDownWnd::~TDropDownWnd()
{
    EndLoop();
}

void TDropDownWnd::SetOptions(TPopupOptions value)
{
    FOptions = value;
    TScrollOptions scrollOptions = FScrollbar->Options();
    if (value.Contains(TPopupOption::poThemeAware))
        scrollOptions.Include(TScrollOption::soThemeAware);
    else
        scrollOptions.Exclude(TScrollOption::soThemeAware);
    FScrollbar->SetOptions(scrollOptions);
    LayoutChildren(Width(), Height());
}

void TDropDownWnd::SetDropDownCount(int value)
{
    FDropDownCount = value;
    UpdateScrollbar();
}

void TDropDownWnd::SetScrolledControl(TBaseLazyTree* list)
{
    FScrolledControl = list;
    if (list)
        list->ScrollBarOptions().SetScrollBars(TScrollStyle::ssNone);
}

bool TDropDownWnd::RollDown()
{
    bool allow = true;
    if (OnRollDown)
        OnRollDown(this, allow);
    return allow;
}

void TDropDownWnd::RollUp(bool selected)
{
    StopAutoScroll(true);
    if (OnRollUp)
        OnRollUp(this, selected);
}

void TDropDownWnd::HandleKey(WORD key, bool& handled)
{
    (void)key;
    handled = false;
}

void TDropDownWnd::UpdateScrollbar() {}

void TDropDownWnd::UpdateScrollbarFromList()
{
    TBaseLazyTree* list = FScrolledControl;
    if (!list || list->ClientHeight() <= 0)
        return;
    FScrollbar->SetMin(0);
    FScrollbar->SetMax(std::max(1, list->RangeY()));
    FScrollbar->SetPageSize(list->ClientHeight());
    FScrollbar->SetLargeChange(list->ClientHeight());
    FScrollbar->SetSmallChange(list->ScrollBarOptions().VerticalIncrement());
    FScrollbar->SetPosition(-list->OffsetY());
    const bool needed = list->RangeY() > list->ClientHeight();
    // why: isHidden, since the window itself is still hidden while it is prepared.
    if (needed == FScrollbar->isHidden()) {
        FScrollbar->setVisible(needed);
        LayoutChildren(Width(), Height());
    }
    FScrollbar->Repaint();
    FGrabber->SetInsideList(!needed);
    if (!needed)
        list->Invalidate();
}

void TDropDownWnd::LayoutChildren(int width, int height)
{
    const int column = ScrollBarWidth();
    const bool rightToLeft = FDropState & dsRightToLeft;
    const int columnLeft = rightToLeft ? 1 : width - column - 1;
    const int grip = FOptions.Contains(TPopupOption::poSizeable) ? ScrollBarButtonHeight() : 0;
    const bool above = FDropState & dsAbove;
    const int inner = height - 2;
    FGrabber->setVisible(grip > 0);
    FGrabber->setCursor(FGrabber->CornerCursor());
    if (above) {
        FGrabber->setGeometry(columnLeft, 1, column, grip);
        FScrollbar->setGeometry(columnLeft, 1 + grip, column, std::max(0, inner - grip));
    } else {
        FGrabber->setGeometry(columnLeft, 1 + inner - grip, column, grip);
        FScrollbar->setGeometry(columnLeft, 1, column, std::max(0, inner - grip));
    }
    if (FScrolledControl) {
        const bool bar = !FScrollbar->isHidden();
        const int listWidth = width - 2 - (bar ? column : 0);
        const int listLeft = bar && rightToLeft ? 1 + column : 1;
        FScrolledControl->setGeometry(listLeft, 1, std::max(0, listWidth), std::max(0, inner));
        if (!bar)
            FGrabber->raise();
    }
}

void TDropDownWnd::Resize()
{
    TCustomControl::Resize();
    LayoutChildren(Width(), Height());
    UpdateScrollbar();
}

void TDropDownWnd::Paint()
{
    QPainter& painter = *Canvas().Handle();
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// ---- dropping down and closing

void TDropDownWnd::DropDown(TWinControlCore* anchor, TWinControlCore* comboBox, QSize requested)
{
    if (!anchor || Dropped() || !FOptions.Contains(TPopupOption::poEnabled))
        return;
    if (!RollDown())
        return;
    FAnchor = anchor;
    FAnchorWidget = anchor->Widget();
    FDropState |= dsDropped;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        Place(anchor, comboBox, requested);
        ShowPlaced();
        FDropState |= dsSizedOnce;
        QApplication::restoreOverrideCursor();
    } catch (...) {
        QApplication::restoreOverrideCursor();
        CloseUp(false);
        FDropState &= ~(dsDropped | dsAbove | dsBelow | dsSizedOnce);
        throw;
    }
    FFocusControl = FFocusControl ? FFocusControl : anchor;
    qApp->installEventFilter(this);
    FFiltering = true;
    // why: the press that dropped the window is still being delivered (to the parents, when
    // the anchor leaves it alone); it must not count as a click outside.
    FDroppingPress = true;
    QMetaObject::invokeMethod(this, [this] { FDroppingPress = false; }, Qt::QueuedConnection);
    FAppStateConnection = QObject::connect(qApp, &QGuiApplication::applicationStateChanged, this,
                                           [this](Qt::ApplicationState state) {
                                               if (state != Qt::ApplicationActive)
                                                   CloseUp(false);
                                           });
}

void TDropDownWnd::Place(TWinControlCore* anchor, TWinControlCore* comboBox, QSize requested)
{
    FDropState &= ~(dsAbove | dsBelow);
    if (layoutDirection() == Qt::RightToLeft)
        FDropState |= dsRightToLeft;
    else
        FDropState &= ~dsRightToLeft;
    TWinControlCore* placer = comboBox ? comboBox : anchor;
    QWidget* placerWidget = placer->Widget();
    int width = Width();
    int height = Height();
    if (!(FOptions.Contains(TPopupOption::poPersistentSizing) && (FDropState & dsSizedOnce))) {
        width = requested.width() > 0 ? requested.width() : anchor->Width();
        const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2;
        height = requested.height() > 0 ? requested.height() : frame + ItemHeight() * FDropDownCount;
    }
    const QPoint below = placerWidget->mapToGlobal(QPoint(0, placerWidget->height()));
    const QPoint top = placerWidget->mapToGlobal(QPoint(0, 0));
    QScreen* screen = placerWidget->screen() ? placerWidget->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    QPoint position = below;
    const int roomBelow = area.bottom() + 1 - below.y();
    const int roomAbove = top.y() - area.top();
    if (height > roomBelow) {
        if (height > roomAbove) {
            if (roomAbove > roomBelow) {
                height = roomAbove;
                position.setY(area.top());
                FDropState |= dsAbove;
            } else {
                height = roomBelow;
                FDropState |= dsBelow;
            }
        } else {
            position.setY(top.y() - height);
            FDropState |= dsAbove;
        }
    } else {
        FDropState |= dsBelow;
    }
    FPlacedGeometry = QRect(position, QSize(width, height));
    resize(width, height);
    LayoutChildren(width, height);
    Prepare();
    move(position);
}

bool TDropDownWnd::AnimationAllowed() const
{
    if (FOptions.Contains(TPopupOption::poRespectSysAnimationFlag))
        return QApplication::isEffectEnabled(Qt::UI_AnimateCombo);
    return true;
}

void TDropDownWnd::ShowPlaced()
{
    if (FOptions.Contains(TPopupOption::poAnimated) && AnimationAllowed() && FAnimationSpeed > 0) {
        // Slides open: downward from the upper edge below the anchor, upward from the lower edge above it.
        const QRect target = FPlacedGeometry;
        const bool above = FDropState & dsAbove;
        FAnimation = std::make_unique<QVariantAnimation>();
        FAnimation->setDuration(FAnimationSpeed);
        FAnimation->setStartValue(1);
        FAnimation->setEndValue(target.height());
        auto grow = [this, target, above](const QVariant& v) {
            const int h = v.toInt();
            setGeometry(above ? QRect(target.left(), target.bottom() + 1 - h, target.width(), h)
                              : QRect(target.topLeft(), QSize(target.width(), h)));
        };
        QObject::connect(FAnimation.get(), &QVariantAnimation::valueChanged, this, grow);
        setGeometry(above ? QRect(target.left(), target.bottom(), target.width(), 1)
                          : QRect(target.topLeft(), QSize(target.width(), 1)));
        show();
        FAnimation->start();
    } else {
        show();
    }
}

void TDropDownWnd::CloseUp(bool selected)
{
    if (!Dropped())
        return;
    if (QWidget::mouseGrabber() && isAncestorOf(QWidget::mouseGrabber()))
        QWidget::mouseGrabber()->releaseMouse();
    FDropState &= ~dsDropped;
    EndLoop();
    if (FAnimation) {
        FAnimation->stop();
        FAnimation.reset();
    }
    hide();
    if (QWidget* anchor = FAnchorWidget.data()) {
        anchor->window()->update();
        anchor->setFocus(Qt::OtherFocusReason);
    }
    RollUp(selected);
    StopAutoScroll(true);
}

void TDropDownWnd::EndLoop()
{
    if (FFiltering) {
        qApp->removeEventFilter(this);
        FFiltering = false;
    }
    QObject::disconnect(FAppStateConnection);
}

bool TDropDownWnd::ContainsScreenPoint(const QPoint& global) const
{
    return isVisible() && frameGeometry().contains(global);
}

// The loop's rules, applied to every event of the application while the window is down.
bool TDropDownWnd::eventFilter(QObject* watched, QEvent* event)
{
    if (Dropped() && event->type() == QEvent::ApplicationDeactivate) {
        CloseUp(false);
        return false;
    }
    if (!Dropped() || !watched->isWidgetType())
        return TCustomControl::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        // A key the focused widget leaves alone travels on to its parents; it is looked at once.
        if (QWidget* focus = QApplication::focusWidget(); focus && watched != focus)
            break;
        auto* key = static_cast<QKeyEvent*>(event);
        const WORD vk = VirtualKeyFromQt(key->key());
        if (key->modifiers() & Qt::AltModifier) {
            CloseUp(false);
            return false;
        }
        bool handled = false;
        HandleKey(vk, handled);
        if (vk == VK_RETURN || vk == VK_ESCAPE) {
            CloseUp(vk == VK_RETURN);
            return true;
        }
        return handled;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (FDroppingPress)
            break;
        if (!ContainsScreenPoint(mouse->globalPosition().toPoint())) {
            // The click only closes the window.
            CloseUp(false);
            return true;
        }
        break;
    }
    case QEvent::Wheel:
        if (static_cast<QWidget*>(watched) == FScrolledControl || isAncestorOf(static_cast<QWidget*>(watched)))
            QMetaObject::invokeMethod(this, [this] { UpdateScrollbar(); }, Qt::QueuedConnection);
        break;
    default: break;
    }
    return TCustomControl::eventFilter(watched, event);
}

// ---- auto-scrolling and the scroll bar's messages

void TDropDownWnd::SetAutoScrollDirection(bool up)
{
    FDropState = (FDropState & ~(dsScrollUp | dsScrollDown)) | (up ? dsScrollUp : dsScrollDown);
}

void TDropDownWnd::StartAutoScroll(bool fast)
{
    StopAutoScroll(false);
    if (fast) {
        FDropState = (FDropState & ~dsSlowScroll) | dsFastScroll;
        FAutoScrollTimer = FastScrollTimerId;
        SetTimer(FastScrollTimerId, static_cast<unsigned>(FAutoScrollTimeFast));
    } else {
        FDropState = (FDropState & ~dsFastScroll) | dsSlowScroll;
        FAutoScrollTimer = SlowScrollTimerId;
        SetTimer(SlowScrollTimerId, static_cast<unsigned>(FAutoScrollTimeSlow));
    }
}

void TDropDownWnd::StopAutoScroll(bool clearFlags)
{
    if (FAutoScrollTimer) {
        KillTimer(FAutoScrollTimer);
        FAutoScrollTimer = 0;
    }
    if (clearFlags)
        FDropState &= ~(dsScrollUp | dsScrollDown | dsFastScroll | dsSlowScroll);
}

void TDropDownWnd::AutoScrollTimerProc()
{
    if (!FScrolledControl)
        return;
    const int step = static_cast<int>(FScrolledControl->DefaultNodeHeight());
    if (FDropState & dsScrollUp)
        FScrolledControl->SetOffsetY(FScrolledControl->OffsetY() + step);
    else if (FDropState & dsScrollDown)
        FScrolledControl->SetOffsetY(FScrolledControl->OffsetY() - step);
    UpdateScrollbar();
}

void TDropDownWnd::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_TIMER:
        if (message.WParam == SlowScrollTimerId || message.WParam == FastScrollTimerId) {
            AutoScrollTimerProc();
            return;
        }
        break;
    case WM_VSCROLL: {
        const int code = static_cast<int>(message.WParam & 0xFFFF);
        if (FScrolledControl && code != SB_ENDSCROLL) {
            TBaseLazyTree& list = *FScrolledControl;
            const int line = list.ScrollBarOptions().VerticalIncrement();
            switch (code) {
            case SB_THUMBPOSITION:
            case SB_THUMBTRACK: list.SetOffsetY(-FScrollbar->Position()); break;
            case SB_LINEUP: list.SetOffsetY(list.OffsetY() + line); break;
            case SB_LINEDOWN: list.SetOffsetY(list.OffsetY() - line); break;
            case SB_PAGEUP: list.SetOffsetY(list.OffsetY() + list.ClientHeight()); break;
            case SB_PAGEDOWN: list.SetOffsetY(list.OffsetY() - list.ClientHeight()); break;
            default: break;
            }
            UpdateScrollbar();
        }
        message.Result = 0;
        return;
    }
    default: break;
    }
    TCustomControl::WndProc(message);
}

// ---- options

const QImage& TPopupDropDownOptions::Background() const { return FBase->ScrolledControl()->Background(); }
void TPopupDropDownOptions::SetBackground(const QImage& value) { FBase->ScrolledControl()->SetBackground(value); }
TColor TPopupDropDownOptions::Color() const { return FBase->ScrolledControl()->Color(); }
void TPopupDropDownOptions::SetColor(TColor value) { FBase->ScrolledControl()->SetColor(value); }
std::uint32_t TPopupDropDownOptions::DefaultNodeHeight() const { return FBase->ScrolledControl()->DefaultNodeHeight(); }
void TPopupDropDownOptions::SetDefaultNodeHeight(std::uint32_t value)
{
    FBase->ScrolledControl()->SetDefaultNodeHeight(value);
}
std::uint32_t TPopupDropDownOptions::Indent() const { return FBase->ScrolledControl()->Indent(); }
void TPopupDropDownOptions::SetIndent(std::uint32_t value) { FBase->ScrolledControl()->SetIndent(value); }
