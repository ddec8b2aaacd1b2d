#include "ExLib/run/buttons/ExSpinButton.h"

#include "ExLib/run/controls/ExDrawUtils.h"
#include "ExLib/run/controls/ExThemes.h"

#include "Platform/core/Application.h"

#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

std::unique_ptr<TSpinButtonBitmapsManager>& ManagerSlot()
{
    static std::unique_ptr<TSpinButtonBitmapsManager> manager;
    return manager;
}

QColor Rgb(TColor color)
{
    return ToQColor(ColorToRGB(color));
}

void Line(QPainter& p, int x1, int y1, int x2, int y2, TColor color)
{
    p.setPen(Rgb(color));
    p.drawLine(x1, y1, x2, y2);
}

// A one-pixel soft edge along the upper and left sides (or the lower and right ones) of `r`.
void UpperLeftEdge(QPainter& p, const QRect& r, bool sunken)
{
    const TColor c = sunken ? clBtnShadow : clBtnHighlight;
    Line(p, r.left(), r.top(), r.right(), r.top(), c);
    Line(p, r.left(), r.top(), r.left(), r.bottom(), c);
}

void LowerRightEdge(QPainter& p, const QRect& r, bool sunken)
{
    const TColor c = sunken ? clBtnHighlight : clBtnShadow;
    Line(p, r.left(), r.bottom(), r.right(), r.bottom(), c);
    Line(p, r.right(), r.top(), r.right(), r.bottom(), c);
}

// Draws the dark pixels of an arrow picture at (x, y) in `color`.
void StampArrow(QPainter& p, const QImage& arrow, int x, int y, TColor color)
{
    p.setPen(Rgb(color));
    for (int row = 0; row < arrow.height(); ++row)
        for (int col = 0; col < arrow.width(); ++col)
            if (qGray(arrow.pixel(col, row)) < 128)
                p.drawPoint(x + col, y + row);
}

// The element of one half in a state, as the theme draws it.
TThemedState ThemedStateOf(int state)
{
    switch (state) {
    case 1: return TThemedState::Pressed;
    case 2: return TThemedState::Hot;
    case 3: return TThemedState::Disabled;
    default: return TThemedState::Normal;
    }
}

// (upper, lower) states of each picture: 0 normal, 1 pressed, 2 hot, 3 disabled.
constexpr int StatePairs[TSpinButtonBitmaps::PictureCount][2] = {{1, 0}, {0, 1}, {0, 0}, {3, 3}, {2, 0}, {0, 2}};

} // namespace

QImage SpinArrowPicture(bool up, bool pole)
{
    // Row widths from the point down.
    const std::vector<int> rows = pole ? std::vector<int>{1, 3, 5, 7} : std::vector<int>{2, 4, 6, 2, 2, 2};
    const int width = pole ? 7 : 6;
    QImage image(width, static_cast<int>(rows.size()), QImage::Format_RGB32);
    image.fill(Qt::white);
    for (size_t i = 0; i < rows.size(); ++i) {
        const int row = up ? static_cast<int>(i) : static_cast<int>(rows.size() - 1 - i);
        const int start = (width - rows[i]) / 2;
        for (int x = start; x < start + rows[i]; ++x)
            image.setPixel(x, row, qRgb(0, 0, 0));
    }
    return image;
}

// ---- the cache entry

TSpinButtonBitmaps::TSpinButtonBitmaps(int width, int height, TExSpinButtonStyle style, bool customGlyphs)
    : FWidth(width), FHeight(height), FStyle(style), FCustomGlyphs(customGlyphs)
{
}

bool TSpinButtonBitmaps::Less(int width, int height, TExSpinButtonStyle style, bool customGlyphs) const
{
    return std::tuple(FWidth, FHeight, static_cast<int>(FStyle), FCustomGlyphs) <
           std::tuple(width, height, static_cast<int>(style), customGlyphs);
}

bool TSpinButtonBitmaps::Matches(int width, int height, TExSpinButtonStyle style, bool customGlyphs) const
{
    return FWidth == width && FHeight == height && FStyle == style && FCustomGlyphs == customGlyphs;
}

void TSpinButtonBitmaps::Render()
{
    NeedsRender = false;
    ++RenderCount;
    FThemed = CurrentThemeServices().ThemesEnabled();
    for (QImage& image : FImages)
        image = QImage();
    if (FWidth <= 0 || FHeight <= 0)
        return;
    if (FStyle == TExSpinButtonStyle::sbsClassic)
        RenderClassic(FThemed);
    else
        RenderDiagonal(FThemed);
}

void TSpinButtonBitmaps::DrawArrows(QImage& image, Picture p)
{
    if (FCustomGlyphs)
        return;
    QPainter painter(&image);
    const TColor ink = p == DisabledPicture ? clBtnShadow : clBtnText;
    const auto place = [](double v) { return static_cast<int>(std::lround(v)); };
    if (FStyle == TExSpinButtonStyle::sbsDefault) {
        const QImage up = SpinArrowPicture(true, false);
        const QImage down = SpinArrowPicture(false, false);
        const int k = p == PressedUp ? 2 : 1;
        const int ux = place(FWidth / 4.0 - up.width() / 2.0) + k;
        const int uy = place(FHeight / 4.0 - up.height() / 2.0) + k;
        const int dx = place(3.0 * FWidth / 4 - down.width() / 2.0) - 1;
        const int dy = place(3.0 * FHeight / 4 - down.height() / 2.0) - 1;
        if (p == DisabledPicture) {
            StampArrow(painter, up, ux + 1, uy + 1, clBtnHighlight);
            StampArrow(painter, down, dx + 1, dy + 1, clBtnHighlight);
        }
        StampArrow(painter, up, ux, uy, ink);
        StampArrow(painter, down, dx, dy, ink);
        return;
    }
    const int half = FHeight / 2;
    for (bool up : {true, false}) {
        const QImage arrow = SpinArrowPicture(up, true);
        const QRect area = up ? QRect(0, 0, FWidth, half) : QRect(0, half, FWidth, FHeight - half);
        const int x = area.left() + (area.width() - arrow.width()) / 2;
        int y = area.top() + (area.height() - arrow.height()) / 2;
        if (area.height() < arrow.height())
            y = up ? area.bottom() - arrow.height() + 1 : area.top();
        painter.save();
        painter.setClipRect(area);
        if (p == DisabledPicture)
            StampArrow(painter, arrow, x + 1, y + 1, clBtnHighlight);
        StampArrow(painter, arrow, x, y, ink);
        painter.restore();
    }
}

void TSpinButtonBitmaps::RenderDiagonal(bool themed)
{
    const QRect full(0, 0, FWidth, FHeight);
    QImage states[4];
    if (themed)
        for (int s = 0; s < 4; ++s) {
            states[s] = QImage(FWidth, FHeight, QImage::Format_ARGB32);
            states[s].fill(Rgb(clBtnFace));
            QPainter p(&states[s]);
            CurrentThemeServices().DrawElement(
                p, TExThemeServices::GetElementDetails(TThemedElement::PushButton, ThemedStateOf(s)), TRect::FromQt(full));
        }
    const int count = themed ? PictureCount : HotUp;
    for (int i = 0; i < count; ++i) {
        const auto picture = static_cast<Picture>(i);
        QImage& image = FImages[i];
        image = QImage(FWidth, FHeight, QImage::Format_ARGB32);
        image.fill(Rgb(clBtnFace));
        QPainter p(&image);
        if (themed) {
            QPainterPath upper;
            upper.addPolygon(QPolygon({QPoint(0, FHeight), QPoint(0, 0), QPoint(FWidth, 0)}));
            QPainterPath lower;
            lower.addPolygon(QPolygon({QPoint(FWidth, 0), QPoint(FWidth, FHeight), QPoint(0, FHeight)}));
            p.setClipPath(upper);
            p.drawImage(0, 0, states[StatePairs[i][0]]);
            p.setClipPath(lower);
            p.drawImage(0, 0, states[StatePairs[i][1]]);
            p.setClipping(false);
        } else {
            UpperLeftEdge(p, full, picture == PressedUp);
            LowerRightEdge(p, full, picture == PressedDown);
        }
        const QRect in = full.adjusted(1, 1, -1, -1);
        const int L = in.left(), T = in.top(), R = in.left() + in.width(), B = in.top() + in.height();
        TColor colors[3] = {clBtnShadow, cl3DDkShadow, clBtnHighlight};
        if (themed) {
            const QPalette palette = QApplication::palette();
            colors[0] = FromQColor(palette.color(QPalette::Light));
            colors[1] = FromQColor(palette.color(QPalette::Mid));
            colors[2] = FromQColor(palette.color(QPalette::Dark));
        } else if (picture == PressedUp) {
            colors[0] = clBtnFace, colors[1] = clBtnHighlight, colors[2] = clBtnHighlight;
        } else if (picture == PressedDown) {
            colors[0] = clBtnShadow, colors[1] = clBtnShadow, colors[2] = clWindowFrame;
        }
        Line(p, L, B - 2, R - 1, T - 1, colors[0]);
        Line(p, R - 1, T, L, B - 1, colors[1]);
        Line(p, L + 1, B - 1, R, T, colors[2]);
        p.end();
        DrawArrows(image, picture);
    }
}

void TSpinButtonBitmaps::RenderClassic(bool themed)
{
    const int half = FHeight / 2;
    const int count = themed ? PictureCount : HotUp;
    for (int i = 0; i < count; ++i) {
        const auto picture = static_cast<Picture>(i);
        QImage& image = FImages[i];
        image = QImage(FWidth, FHeight, QImage::Format_ARGB32);
        image.fill(Rgb(clBtnFace));
        QPainter p(&image);
        if (themed) {
            const int upper = StatePairs[i][0];
            const int extra = upper != 0 ? 1 : 0;
            const QRect upperArea(0, 0, FWidth, half + extra);
            const QRect lowerArea(0, half + extra, FWidth, FHeight - half - extra);
            p.setClipRect(upperArea);
            CurrentThemeServices().DrawElement(
                p, TExThemeServices::GetElementDetails(TThemedElement::SpinUp, ThemedStateOf(upper)),
                TRect::FromQt(QRect(0, 0, FWidth, half + 1)));
            p.setClipRect(lowerArea);
            CurrentThemeServices().DrawElement(
                p, TExThemeServices::GetElementDetails(TThemedElement::SpinDown, ThemedStateOf(StatePairs[i][1])),
                TRect::FromQt(QRect(0, half, FWidth, FHeight - half)));
            continue; // the themed parts carry their own arrows
        }
        const bool upPressed = picture == PressedUp;
        const QRect upper(0, 0, FWidth, half + (upPressed ? 0 : 1));
        const QRect lower(0, half, FWidth, FHeight - half);
        UpperLeftEdge(p, upper, upPressed);
        LowerRightEdge(p, upper, upPressed);
        UpperLeftEdge(p, lower, picture == PressedDown);
        LowerRightEdge(p, lower, picture == PressedDown);
        p.end();
        DrawArrows(image, picture);
    }
}

void TSpinButtonBitmaps::Draw(TCanvas& canvas, TSpinButtonState state, bool hoverUp, bool hoverDown, bool enabled)
{
    if (NeedsRender)
        Render();
    Picture p = Normal;
    if (!enabled)
        p = DisabledPicture;
    else if (state == TSpinButtonState::dsTop)
        p = PressedUp;
    else if (state == TSpinButtonState::dsBottom)
        p = PressedDown;
    else if (FThemed && hoverUp)
        p = HotUp;
    else if (FThemed && hoverDown)
        p = HotDown;
    if (!FImages[p].isNull())
        canvas.Draw(0, 0, FImages[p]);
}

void TSpinButtonBitmaps::DrawGlyphs(TCanvas& canvas, TSpinButtonState state, const QImage& upGlyph,
                                    const QImage& downGlyph, bool enabled)
{
    (void)state;
    if (FThemed && FStyle == TExSpinButtonStyle::sbsClassic)
        return;
    const auto place = [](double v) { return static_cast<int>(std::lround(v)); };
    const auto draw = [&](const QImage& glyph, int x, int y) {
        if (glyph.isNull())
            return;
        const QImage picture = enabled ? glyph : MakeDisabledBitmap(glyph.convertToFormat(QImage::Format_RGB32), clBlack);
        DrawBitmapMasked(canvas, x, y, picture.convertToFormat(QImage::Format_RGB32), clDefault);
    };
    if (FStyle == TExSpinButtonStyle::sbsDefault) {
        const int k = 1;
        draw(upGlyph, place(FWidth / 4.0 - upGlyph.width() / 2.0) + k, place(FHeight / 4.0 - upGlyph.height() / 2.0) + k);
        draw(downGlyph, place(3.0 * FWidth / 4 - downGlyph.width() / 2.0) - 1,
             place(3.0 * FHeight / 4 - downGlyph.height() / 2.0) - 1);
        return;
    }
    const int half = FHeight / 2;
    draw(upGlyph, (FWidth - upGlyph.width()) / 2, (half - upGlyph.height()) / 2);
    draw(downGlyph, (FWidth - downGlyph.width()) / 2, half + (FHeight - half - downGlyph.height()) / 2);
}

// ---- the cache

TSpinButtonBitmaps* TSpinButtonBitmapsManager::Acquire(int width, int height, TExSpinButtonStyle style,
                                                       bool customGlyphs)
{
    const auto it = std::lower_bound(FEntries.begin(), FEntries.end(), 0, [&](const auto& entry, int) {
        return entry->Less(width, height, style, customGlyphs);
    });
    TSpinButtonBitmaps* entry = nullptr;
    if (it != FEntries.end() && (*it)->Matches(width, height, style, customGlyphs)) {
        entry = it->get();
    } else {
        auto created = std::make_unique<TSpinButtonBitmaps>(width, height, style, customGlyphs);
        created->Render();
        entry = FEntries.insert(it, std::move(created))->get();
    }
    ++entry->RefCount;
    return entry;
}

void TSpinButtonBitmapsManager::Release(TSpinButtonBitmaps* entry)
{
    if (!entry || --entry->RefCount > 0)
        return;
    FEntries.erase(std::remove_if(FEntries.begin(), FEntries.end(), [&](const auto& e) { return e.get() == entry; }),
                   FEntries.end());
}

TSpinButtonBitmapsManager& SpinButtonBitmapsManager()
{
    auto& slot = ManagerSlot();
    if (!slot)
        slot = std::make_unique<TSpinButtonBitmapsManager>();
    return *slot;
}

bool SpinButtonBitmapsManagerExists()
{
    return ManagerSlot() != nullptr;
}

void RemoveSpinButtonClient()
{
    auto& slot = ManagerSlot();
    if (slot && --slot->FClientCount <= 0)
        slot.reset();
}

// ---- the button

TExSpinButton::TExSpinButton(TComponent* AOwner, QWidget* parent) : TExGraphicControl(AOwner, parent)
{
    resize(20, 20);
    SpinButtonBitmapsManager().AddClient();
}

TExSpinButton::~TExSpinButton()
{
    ReleaseBitmaps();
    RemoveSpinButtonClient();
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
}

void TExSpinButton::ReleaseBitmaps()
{
    if (FBitmaps && SpinButtonBitmapsManagerExists())
        SpinButtonBitmapsManager().Release(FBitmaps);
    FBitmaps = nullptr;
}

void TExSpinButton::SetButtonStyle(TExSpinButtonStyle style)
{
    if (style == FButtonStyle)
        return;
    FButtonStyle = style;
    GlyphChanged();
}

void TExSpinButton::SetUpGlyph(const QImage& glyph)
{
    FUpGlyph = glyph;
    GlyphChanged();
}

void TExSpinButton::SetDownGlyph(const QImage& glyph)
{
    FDownGlyph = glyph;
    GlyphChanged();
}

void TExSpinButton::GlyphChanged()
{
    ReleaseBitmaps();
    Invalidate();
}

void TExSpinButton::SetFocusControl(TWinControlCore* control)
{
    if (control == FFocusControl)
        return;
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = control;
    if (control)
        control->FreeNotification(this);
}

void TExSpinButton::Notification(TComponent* component, TOperation operation)
{
    TExGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == static_cast<TComponent*>(FFocusControl))
        FFocusControl = nullptr;
}

bool TExSpinButton::InBottomHalf(int x, int y) const
{
    if (FButtonStyle == TExSpinButtonStyle::sbsClassic)
        return y > Height() / 2;
    if (Width() <= 0)
        return false;
    return y > Height() - (static_cast<double>(Height()) / Width()) * x;
}

void TExSpinButton::SetDownState(TSpinButtonState state)
{
    if (state == FDownState)
        return;
    FDownState = state;
    Invalidate();
}

void TExSpinButton::TopClick()
{
    if (!OnTopClick)
        return;
    OnTopClick(this);
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton))
        FDownState = TSpinButtonState::dsNone;
}

void TExSpinButton::BottomClick()
{
    if (!OnBottomClick)
        return;
    OnBottomClick(this);
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton))
        FDownState = TSpinButtonState::dsNone;
}

void TExSpinButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TExGraphicControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !Enabled())
        return;
    if (FFocusControl && FFocusControl->Widget()->focusPolicy() & Qt::TabFocus && FFocusControl->CanFocus() &&
        !FFocusControl->Focused())
        FFocusControl->SetFocus();
    if (FDownState == TSpinButtonState::dsNone) {
        const TSpinButtonState previous = FPressState;
        if (InBottomHalf(x, y)) {
            FDownState = TSpinButtonState::dsBottom;
            FPressState = FDownState;
            BottomClick();
        } else {
            FDownState = TSpinButtonState::dsTop;
            FPressState = FDownState;
            TopClick();
        }
        if (previous != FPressState)
            Invalidate();
        if (!FRepeatTimer) {
            FRepeatTimer = std::make_unique<QTimer>();
            QObject::connect(FRepeatTimer.get(), &QTimer::timeout, FRepeatTimer.get(), [this] {
                try {
                    TimerExpired();
                } catch (...) {
                    HandleCurrentException();
                }
            });
        }
        FRepeatTimer->setInterval(400);
        FRepeatTimer->start();
        FDragging = true;
    }
}

void TExSpinButton::TimerExpired()
{
    FRepeatTimer->setInterval(100);
    // The button holds the mouse from its press until the release.
    if (FDownState == TSpinButtonState::dsNone || !FDragging)
        return;
    try {
        if (FDownState == TSpinButtonState::dsTop)
            TopClick();
        else
            BottomClick();
    } catch (...) {
        FRepeatTimer->stop();
        throw;
    }
}

void TExSpinButton::MouseMove(TShiftState shift, int x, int y)
{
    TExGraphicControl::MouseMove(shift, x, y);
    if (FDragging) {
        const bool inside = x >= 0 && x <= Width() && y >= 0 && y <= Height();
        TSpinButtonState state = TSpinButtonState::dsNone;
        if (inside) {
            const TSpinButtonState half = InBottomHalf(x, y) ? TSpinButtonState::dsBottom : TSpinButtonState::dsTop;
            if (half == FPressState)
                state = FPressState;
        }
        SetDownState(state);
        return;
    }
    if (CurrentThemeServices().ThemesEnabled() && (FHoverUp || FHoverDown)) {
        const bool bottom = InBottomHalf(x, y);
        if (bottom != FHoverDown) {
            FHoverDown = bottom;
            FHoverUp = !bottom;
            Invalidate();
        }
    }
}

void TExSpinButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TExGraphicControl::MouseUp(button, shift, x, y);
    if (!FDragging)
        return;
    FDragging = false;
    if (FRepeatTimer)
        FRepeatTimer->stop();
    if (x >= 0 && x <= Width() && y >= 0 && y <= Height()) {
        FDownState = TSpinButtonState::dsNone;
        FPressState = TSpinButtonState::dsNone;
        Invalidate();
    }
}

void TExSpinButton::MouseEnter(TWinControlCore* control)
{
    if (!ComponentState().Contains(csDesigning) && !FHoverUp && !FHoverDown) {
        const TPoint p = ScreenToClient(TPoint::FromQt(QCursor::pos()));
        FHoverDown = InBottomHalf(p.X, p.Y);
        FHoverUp = !FHoverDown;
        if (CurrentThemeServices().ThemesEnabled())
            Invalidate();
    }
    TExGraphicControl::MouseEnter(control);
}

void TExSpinButton::MouseLeave(TWinControlCore* control)
{
    FHoverUp = FHoverDown = false;
    if (CurrentThemeServices().ThemesEnabled())
        Invalidate();
    TExGraphicControl::MouseLeave(control);
}

void TExSpinButton::WndProc(TMessage& message)
{
    if (message.Msg == CM_SYSCOLORCHANGE) {
        if (FBitmaps)
            FBitmaps->NeedsRender = true;
        Invalidate();
        return;
    }
    TExGraphicControl::WndProc(message);
}

void TExSpinButton::Paint()
{
    const bool custom = !FUpGlyph.isNull() || !FDownGlyph.isNull();
    if (FBitmaps && !FBitmaps->Matches(Width(), Height(), FButtonStyle, custom))
        ReleaseBitmaps();
    if (!FBitmaps)
        FBitmaps = SpinButtonBitmapsManager().Acquire(Width(), Height(), FButtonStyle, custom);
    const bool enabled = Enabled() || ComponentState().Contains(csDesigning);
    if (!Enabled() && !ComponentState().Contains(csDesigning))
        FDragging = false;
    FBitmaps->Draw(Canvas(), FDownState, FHoverUp, FHoverDown, enabled);
    if (custom)
        FBitmaps->DrawGlyphs(Canvas(), FDownState, FUpGlyph, FDownGlyph, enabled);
}
