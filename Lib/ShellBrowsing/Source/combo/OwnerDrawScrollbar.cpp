#include "ShellBrowsing/Source/combo/OwnerDrawScrollbar.h"

#include "Platform/controls/ScrollCodes.h"

#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <qdrawutil.h>

#include <algorithm>
#include <cmath>

int ScrollBarWidth()
{
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

int ScrollBarButtonHeight()
{
    return ScrollBarWidth();
}

int ScrollBarMinThumb()
{
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarSliderMin);
}

// ---- colours

void TScrollBarColors::Changed(TColor& field, TColor value)
{
    if (field == value)
        return;
    field = value;
    if (FOwner)
        FOwner->RebuildPattern();
}

void TScrollBarColors::SetThumbButton(TColor value) { Changed(FThumbButton, value); }
void TScrollBarColors::SetBackground(TColor value) { Changed(FBackground, value); }
void TScrollBarColors::SetBackgroundBlend(TColor value) { Changed(FBackgroundBlend, value); }

// ---- construction and properties

TCustomOwnerDrawScrollbar::TCustomOwnerDrawScrollbar(TComponent* AOwner, QWidget* parent)
    : TCustomControl(AOwner, parent), FColors(std::make_unique<TScrollBarColors>(this))
{
    resize(ScrollBarWidth(), 200);
    SetColor(clScrollBar);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    FScrollState |= ssThemesInUse;
    RebuildPattern();
}

TCustomOwnerDrawScrollbar::~TCustomOwnerDrawScrollbar() = default;

void TCustomOwnerDrawScrollbar::SetMax(int value)
{
    FRange = value > FMin ? value : FMin + 1;
}

void TCustomOwnerDrawScrollbar::SetMin(int value)
{
    FMin = value < FRange ? value : FRange - 1;
}

void TCustomOwnerDrawScrollbar::SetPageSize(int value)
{
    FPageSize = std::max(1, std::min(value, FRange - FMin));
}

void TCustomOwnerDrawScrollbar::SetPosition(int value)
{
    FPosition = std::max(FMin, std::min(value, LargestPosition()));
    InvalidateRect(TrackRect());
    Update();
}

void TCustomOwnerDrawScrollbar::SetFlat(bool value)
{
    FFlat = value;
    Invalidate();
}

void TCustomOwnerDrawScrollbar::SetOptions(TScrollOptions value)
{
    FOptions = value;
    Invalidate();
}

bool TCustomOwnerDrawScrollbar::ThemesActive() const
{
    return (FScrollState & ssThemesInUse) && FOptions.Contains(TScrollOption::soThemeAware);
}

void TCustomOwnerDrawScrollbar::SetBounds(int left, int top, int width, int height)
{
    (void)width;
    TCustomControl::SetBounds(left, top, ScrollBarWidth(), height);
}

bool TCustomOwnerDrawScrollbar::Notify(int code, int position)
{
    if (!FScrollTarget)
        return false;
    const auto lparam = reinterpret_cast<LPARAM>(static_cast<TWinControlCore*>(this));
    FScrollTarget->Perform(WM_VSCROLL, static_cast<WPARAM>((code & 0xFFFF) | ((position & 0xFFFF) << 16)), lparam);
    if (code != SB_THUMBTRACK && code != SB_ENDSCROLL)
        FScrollTarget->Perform(WM_VSCROLL, SB_ENDSCROLL, lparam);
    return true;
}

void TCustomOwnerDrawScrollbar::RebuildPattern()
{
    QImage image(8, 8, QImage::Format_RGB32);
    const QColor background = ToQColor(FColors->Background());
    const QColor blend = ToQColor(FColors->BackgroundBlend());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixelColor(x, y, (x + y) % 2 ? background : blend);
    FPattern = QPixmap::fromImage(image);
    Invalidate();
}

// ---- geometry

int TCustomOwnerDrawScrollbar::ButtonHeight() const
{
    const int button = ScrollBarButtonHeight();
    return Height() > 2 * button ? button : Height() / 2;
}

int TCustomOwnerDrawScrollbar::TrackHeight() const
{
    const int button = ScrollBarButtonHeight();
    return Height() > 2 * button ? Height() - 2 * button : 0;
}

int TCustomOwnerDrawScrollbar::ThumbHeight() const
{
    const int track = TrackHeight();
    const float ratio = static_cast<float>(FPageSize) / static_cast<float>(FRange - FMin);
    // why: nearbyint rounds halves to even, as the bar always did.
    int thumb = static_cast<int>(std::nearbyint(static_cast<float>(track) * ratio));
    thumb = std::max(thumb, ScrollBarMinThumb() / 2);
    return thumb > track ? 0 : thumb;
}

int TCustomOwnerDrawScrollbar::ThumbCenter() const
{
    const TRect track = TrackRect();
    const int thumb = ThumbHeight();
    const int largest = LargestPosition();
    if (FPosition <= FMin || largest <= FMin)
        return track.Top + thumb / 2;
    if (FPosition >= largest)
        return track.Bottom - thumb / 2;
    const int insetTop = track.Top + thumb / 2;
    const double length = track.Height() - thumb;
    return insetTop + static_cast<int>(std::lround((FPosition - FMin) * (length / (largest - FMin))));
}

int TCustomOwnerDrawScrollbar::PositionFromY(int y) const
{
    const TRect track = TrackRect();
    const int thumb = ThumbHeight();
    const int insetTop = track.Top + thumb / 2;
    const int length = track.Height() - thumb;
    if (y < insetTop || length <= 0)
        return FMin;
    if (y > insetTop + length)
        return LargestPosition();
    const double span = LargestPosition() - FMin;
    return FMin + static_cast<int>(std::lround(static_cast<double>(y - insetTop) * span / length));
}

TRect TCustomOwnerDrawScrollbar::UpButtonRect() const
{
    return {0, 0, Width(), ButtonHeight()};
}

TRect TCustomOwnerDrawScrollbar::DownButtonRect() const
{
    return {0, Height() - ButtonHeight(), Width(), Height()};
}

TRect TCustomOwnerDrawScrollbar::TrackRect() const
{
    const int button = ButtonHeight();
    return {0, button, Width(), button + TrackHeight()};
}

TRect TCustomOwnerDrawScrollbar::ThumbRect() const
{
    const int thumb = ThumbHeight();
    if (thumb <= 0)
        return {};
    const TRect track = TrackRect();
    // why: an odd thumb height would put the thumb one pixel past the track's end.
    const int top = std::clamp(ThumbCenter() - thumb / 2, track.Top, track.Bottom - thumb);
    return {0, top, Width(), top + thumb};
}

TRect TCustomOwnerDrawScrollbar::PageUpRect() const
{
    const TRect track = TrackRect();
    const TRect thumb = ThumbRect();
    return {0, track.Top, Width(), thumb.IsEmpty() ? track.Top : thumb.Top};
}

TRect TCustomOwnerDrawScrollbar::PageDownRect() const
{
    const TRect track = TrackRect();
    const TRect thumb = ThumbRect();
    return {0, thumb.IsEmpty() ? track.Top : thumb.Bottom, Width(), track.Bottom};
}

TRect TCustomOwnerDrawScrollbar::BackgroundRect() const
{
    const int inset = ScrollBarWidth();
    return {0, inset, Width(), Height() - inset};
}

// ---- mouse

void TCustomOwnerDrawScrollbar::Step(int code, int delta)
{
    if (!Notify(code, FPosition))
        SetPosition(FPosition + delta);
}

void TCustomOwnerDrawScrollbar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft)
        return;
    const TPoint p{x, y};
    FLastMouse = p;
    std::uint16_t state = FScrollState | ssLButtonDown;
    const TRect thumb = ThumbRect();
    if (UpButtonRect().Contains(p)) {
        SetState(state | ssUpHeld);
        Step(SB_LINEUP, -FSmallChange);
    } else if (DownButtonRect().Contains(p)) {
        SetState(state | ssDownHeld);
        Step(SB_LINEDOWN, FSmallChange);
    } else if (thumb.Contains(p)) {
        SetState(state | ssThumbHeld);
    } else if (PageDownRect().Contains(p)) {
        SetState(state | ssPageDownHeld | ssMouseInHeldPage);
        Step(SB_PAGEDOWN, FLargeChange);
    } else if (PageUpRect().Contains(p)) {
        SetState(state | ssPageUpHeld | ssMouseInHeldPage);
        Step(SB_PAGEUP, -FLargeChange);
    } else {
        SetState(state);
    }
    SetTimer(DelayTimerId, 500);
    FDelayTimer = true;
}

void TCustomOwnerDrawScrollbar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    if (button != TMouseButton::mbLeft)
        return;
    KillTimer(DelayTimerId);
    KillTimer(RepeatTimerId);
    FDelayTimer = FRepeatTimer = false;
    if (FScrollState & ssThumbHeld)
        Notify(SB_ENDSCROLL, FPosition);
    SetState(FScrollState & ~(ssThumbHeld | ssUpHeld | ssDownHeld | ssPageDownHeld | ssPageUpHeld
                              | ssMouseInHeldPage | ssLButtonDown));
}

void TCustomOwnerDrawScrollbar::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    FLastMouse = {x, y};
    if (!FHotTimer) {
        SetTimer(HotTimerId, 50);
        FHotTimer = true;
    }
    if ((FScrollState & ssLButtonDown) && (FScrollState & ssThumbHeld)) {
        const int position = PositionFromY(y);
        SetPosition(position);
        Notify(SB_THUMBTRACK, FPosition);
    }
    UpdateHot({x, y}, false);
}

void TCustomOwnerDrawScrollbar::UpdateHot(TPoint p, bool cursorOutside)
{
    std::uint16_t state = FScrollState;
    const std::uint16_t hot = ssUpHot | ssDownHot | ssThumbHot;
    if (cursorOutside) {
        state &= ~hot;
    } else if (UpButtonRect().Contains(p)) {
        state = (state & ~hot) | ssUpHot;
    } else if (DownButtonRect().Contains(p)) {
        state = (state & ~hot) | ssDownHot;
    } else if (ThumbRect().Contains(p)) {
        state = (state & ~hot) | ssThumbHot;
    } else if (!(state & ssThumbHeld)) {
        state &= ~hot;
    }
    SetState(state);
}

void TCustomOwnerDrawScrollbar::HotTick()
{
    const QPoint local = mapFromGlobal(QCursor::pos());
    const bool outside = !rect().contains(local);
    UpdateHot({local.x(), local.y()}, outside);
    if (outside) {
        KillTimer(HotTimerId);
        FHotTimer = false;
    }
}

void TCustomOwnerDrawScrollbar::RepeatTick()
{
    if (FScrollState & ssUpHeld) {
        Step(SB_LINEUP, -FSmallChange);
        return;
    }
    if (FScrollState & ssDownHeld) {
        Step(SB_LINEDOWN, FSmallChange);
        return;
    }
    const bool pageDown = FScrollState & ssPageDownHeld;
    if (!pageDown && !(FScrollState & ssPageUpHeld))
        return;
    // why: the thumb moves towards the mouse; the steps stop once it reaches it.
    const bool inside = (pageDown ? PageDownRect() : PageUpRect()).Contains(FLastMouse);
    SetState(inside ? FScrollState | ssMouseInHeldPage : FScrollState & ~ssMouseInHeldPage);
    if (inside)
        pageDown ? Step(SB_PAGEDOWN, FLargeChange) : Step(SB_PAGEUP, -FLargeChange);
}

void TCustomOwnerDrawScrollbar::SetState(std::uint16_t newState)
{
    const std::uint16_t changed = FScrollState ^ newState;
    FScrollState = newState;
    if (!changed)
        return;
    if (changed & (ssDownHeld | ssDownHot))
        InvalidateRect(DownButtonRect());
    if (changed & (ssUpHeld | ssUpHot))
        InvalidateRect(UpButtonRect());
    if (changed & (ssThumbHeld | ssThumbHot))
        InvalidateRect(ThumbRect());
    if (changed & (ssPageDownHeld | ssPageUpHeld))
        InvalidateRect(TrackRect());
    Update();
}

void TCustomOwnerDrawScrollbar::WndProc(TMessage& message)
{
    if (message.Msg == WM_TIMER) {
        switch (message.WParam) {
        case HotTimerId: HotTick(); return;
        case DelayTimerId:
            KillTimer(DelayTimerId);
            FDelayTimer = false;
            SetTimer(RepeatTimerId, static_cast<unsigned>(FRepeatInterval));
            FRepeatTimer = true;
            return;
        case RepeatTimerId: RepeatTick(); return;
        default: break;
        }
    }
    TCustomControl::WndProc(message);
}

void TCustomOwnerDrawScrollbar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        RebuildPattern();
    TCustomControl::changeEvent(event);
}

// ---- painting

void TCustomOwnerDrawScrollbar::Paint()
{
    PaintTo(*Canvas().Handle());
}

bool TCustomOwnerDrawScrollbar::FireCustomPaint(TCanvas& canvas, TScrollPaintCycle cycle, TRect rect)
{
    bool handled = false;
    if (OnScrollCustomPaint)
        OnScrollCustomPaint(this, cycle, TScrollPaintState::psNormal, rect, canvas, handled);
    return handled;
}

void TCustomOwnerDrawScrollbar::PaintTo(QPainter& painter)
{
    TCanvas canvas(&painter);
    PaintBackground(painter, canvas);
    PaintButton(painter, canvas, true);
    PaintButton(painter, canvas, false);
    PaintThumb(painter, canvas);
}

void TCustomOwnerDrawScrollbar::PaintBackground(QPainter& painter, TCanvas& canvas)
{
    if (FireCustomPaint(canvas, TScrollPaintCycle::pcBackground, BackgroundRect()))
        return;
    const QColor hot = ToQColor(FColors->PageScrollHot());
    for (const bool up : {true, false}) {
        const QRect r = (up ? PageUpRect() : PageDownRect()).ToQt();
        const bool held = FScrollState & (up ? ssPageUpHeld : ssPageDownHeld);
        if (ThemesActive()) {
            const QColor groove = palette().color(QPalette::Window).darker(110);
            painter.fillRect(r, held ? groove.darker(130) : groove);
        } else if (held) {
            painter.fillRect(r, hot);
        } else {
            painter.fillRect(r, QBrush(FPattern));
        }
    }
}

void TCustomOwnerDrawScrollbar::PaintButton(QPainter& painter, TCanvas& canvas, bool up)
{
    const TRect rect = up ? UpButtonRect() : DownButtonRect();
    if (FireCustomPaint(canvas, up ? TScrollPaintCycle::pcScrollUp : TScrollPaintCycle::pcScrollDown, rect))
        return;
    const bool held = FScrollState & (up ? ssUpHeld : ssDownHeld);
    const bool hot = FScrollState & (up ? ssUpHot : ssDownHot);
    QStyleOption option;
    option.initFrom(this);
    option.rect = rect.ToQt();
    option.state = QStyle::State_None;
    if (isEnabled())
        option.state |= QStyle::State_Enabled;
    if (held)
        option.state |= QStyle::State_Sunken;
    if (hot)
        option.state |= QStyle::State_MouseOver;
    if (ThemesActive()) {
        style()->drawPrimitive(QStyle::PE_PanelButtonTool, &option, &painter, this);
        if (!held && !hot)
            qDrawShadePanel(&painter, option.rect, palette(), false, 1);
    } else {
        painter.fillRect(option.rect, palette().color(QPalette::Button));
        // A held flat button looks pushed; a held normal one loses its relief.
        if (FFlat)
            qDrawShadeRect(&painter, option.rect, palette(), held, 1);
        else if (!held)
            qDrawWinButton(&painter, option.rect, palette(), false);
        else
            qDrawPlainRect(&painter, option.rect, palette().color(QPalette::Dark));
    }
    QStyleOption arrow = option;
    arrow.rect = option.rect.adjusted(3, 3, -3, -3);
    if (held && !ThemesActive())
        arrow.rect.translate(1, 1);
    style()->drawPrimitive(up ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow, &painter, this);
}

void TCustomOwnerDrawScrollbar::PaintThumb(QPainter& painter, TCanvas& canvas)
{
    const TRect rect = ThumbRect();
    if (FireCustomPaint(canvas, TScrollPaintCycle::pcThumb, rect) || rect.IsEmpty())
        return;
    const QRect r = rect.ToQt();
    if (ThemesActive()) {
        QStyleOption option;
        option.initFrom(this);
        option.rect = r;
        option.state = isEnabled() ? QStyle::State_Enabled | QStyle::State_Raised : QStyle::State_None;
        if (FScrollState & ssThumbHeld)
            option.state |= QStyle::State_Sunken;
        if (FScrollState & ssThumbHot)
            option.state |= QStyle::State_MouseOver;
        QColor fill = palette().color(QPalette::Button);
        if (FScrollState & ssThumbHeld)
            fill = fill.darker(120);
        else if (FScrollState & ssThumbHot)
            fill = fill.lighter(108);
        painter.fillRect(r.adjusted(1, 1, -1, -1), fill);
        qDrawShadePanel(&painter, r, palette(), false, 1);
        // The grip: three short lines in the middle.
        painter.setPen(palette().color(QPalette::Dark));
        const int mid = r.center().y();
        for (int dy = -3; dy <= 3 && r.height() > 12; dy += 3)
            painter.drawLine(r.left() + 4, mid + dy, r.right() - 4, mid + dy);
        return;
    }
    painter.fillRect(r, ToQColor(FColors->ThumbButton()));
    if (FFlat) {
        painter.setPen(ToQColor(clBtnShadow));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    } else {
        qDrawWinButton(&painter, r, palette(), false, nullptr);
    }
}
