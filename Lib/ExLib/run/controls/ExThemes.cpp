#include "ExLib/run/controls/ExThemes.h"

#include "Platform/graphics/PainterState.h"

#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

bool Designing(const TWinControlCore& control)
{
    return control.ComponentState().Contains(csDesigning);
}

QStyle::State StyleState(TThemedState state)
{
    switch (state) {
    case TThemedState::Disabled: return QStyle::State_Raised;
    case TThemedState::Pressed: return QStyle::State_Enabled | QStyle::State_Sunken;
    case TThemedState::Hot: return QStyle::State_Enabled | QStyle::State_Raised | QStyle::State_MouseOver;
    case TThemedState::Default:
    case TThemedState::Normal: break;
    }
    return QStyle::State_Enabled | QStyle::State_Raised;
}

QStyle::PrimitiveElement ArrowOf(TThemedElement element)
{
    switch (element) {
    case TThemedElement::ScrollArrowUp: return QStyle::PE_IndicatorArrowUp;
    case TThemedElement::ScrollArrowLeft: return QStyle::PE_IndicatorArrowLeft;
    case TThemedElement::ScrollArrowRight: return QStyle::PE_IndicatorArrowRight;
    case TThemedElement::SpinUp: return QStyle::PE_IndicatorSpinUp;
    case TThemedElement::SpinDown: return QStyle::PE_IndicatorSpinDown;
    default: return QStyle::PE_IndicatorArrowDown;
    }
}

void DrawWithStyle(const QStyle& style, QPainter& painter, const TThemedElementDetails& d, const QRect& r,
                   const QWidget* widget, bool withBackground)
{
    QStyleOptionButton opt;
    opt.rect = r;
    opt.state = StyleState(d.State);
    opt.palette = widget ? widget->palette() : QApplication::palette();
    switch (d.Element) {
    case TThemedElement::PushButton:
        if (d.State == TThemedState::Default)
            opt.features |= QStyleOptionButton::DefaultButton;
        style.drawControl(QStyle::CE_PushButtonBevel, &opt, &painter, widget);
        return;
    case TThemedElement::CheckBox:
    case TThemedElement::RadioButton:
        opt.state |= d.Check == TThemedCheck::Checked ? QStyle::State_On
                     : d.Check == TThemedCheck::Mixed ? QStyle::State_NoChange
                                                      : QStyle::State_Off;
        style.drawPrimitive(d.Element == TThemedElement::CheckBox ? QStyle::PE_IndicatorCheckBox
                                                                  : QStyle::PE_IndicatorRadioButton,
                            &opt, &painter, widget);
        return;
    case TThemedElement::CloseButton:
        style.drawPrimitive(QStyle::PE_IndicatorTabClose, &opt, &painter, widget);
        return;
    default:
        if (withBackground)
            style.drawPrimitive(QStyle::PE_PanelButtonBevel, &opt, &painter, widget);
        style.drawPrimitive(ArrowOf(d.Element), &opt, &painter, widget);
        return;
    }
}

// The element a frame-control request shows, whether drawn themed or classic.
std::optional<TThemedElementDetails> FrameControlElement(unsigned kind, unsigned state)
{
    // invariant: inactive wins over pushed, pushed over hot.
    TThemedState s = (state & DFCS_INACTIVE) ? TThemedState::Disabled
                     : (state & DFCS_PUSHED) ? TThemedState::Pressed
                     : (state & DFCS_HOT)    ? TThemedState::Hot
                                             : TThemedState::Normal;
    const unsigned sub = state & 0xFF;
    if (kind == DFC_SCROLL) {
        switch (sub) {
        case DFCS_SCROLLUP: return TThemedElementDetails{TThemedElement::ScrollArrowUp, s};
        case DFCS_SCROLLDOWN: return TThemedElementDetails{TThemedElement::ScrollArrowDown, s};
        case DFCS_SCROLLCOMBOBOX: return TThemedElementDetails{TThemedElement::ComboDropDown, s};
        default: return std::nullopt;
        }
    }
    if (kind == DFC_BUTTON) {
        switch (sub) {
        case DFCS_BUTTONPUSH:
            if ((state & DFCS_MONO) && s == TThemedState::Normal)
                s = TThemedState::Default;
            return TThemedElementDetails{TThemedElement::PushButton, s};
        case DFCS_BUTTONCHECK:
            return TThemedElementDetails{TThemedElement::CheckBox, s,
                                         (state & DFCS_CHECKED) ? TThemedCheck::Checked
                                         : (state & DFCS_MONO)  ? TThemedCheck::Mixed
                                                                : TThemedCheck::Unchecked};
        case DFCS_BUTTONRADIO:
            return TThemedElementDetails{TThemedElement::RadioButton, s,
                                         (state & DFCS_CHECKED) ? TThemedCheck::Checked : TThemedCheck::Unchecked};
        default: return std::nullopt;
        }
    }
    return std::nullopt;
}

bool ShowsParentBackground(TWinControlCore& control, TColor color, bool needsParentBackground)
{
    if (Designing(control))
        return false;
    const TWinControlCore* parent = control.Parent();
    if (!parent)
        return false;
    const TColor parentColor = parent->Color();
    if (color != parentColor && ColorToRGB(color) != ColorToRGB(parentColor))
        return false;
    if (!CurrentThemeServices().ThemesEnabled())
        return false;
    return !needsParentBackground || control.ControlStyle().Contains(csParentBackground);
}

} // namespace

// ---- theme services

TExThemeServices::TExThemeServices() = default;
TExThemeServices::~TExThemeServices() = default;

TExThemeServices& CurrentThemeServices()
{
    static TExThemeServices services;
    return services;
}

bool TExThemeServices::ThemesEnabled() const
{
    return !FDisabled && qApp && QApplication::style();
}

QStyle* TExThemeServices::Theme() const
{
    return qApp ? QApplication::style() : nullptr;
}

QStyle* TExThemeServices::ClassicStyle() const
{
    if (!FClassic && qApp) {
        FClassic = QStyleFactory::create(QStringLiteral("Windows"));
        if (FClassic)
            FClassic->setParent(qApp);
    }
    return FClassic ? FClassic.data() : Theme();
}

TThemedElementDetails TExThemeServices::GetElementDetails(TThemedElement element, TThemedState state,
                                                          TThemedCheck check)
{
    return TThemedElementDetails{element, state, check};
}

void TExThemeServices::DrawElement(QPainter& painter, const TThemedElementDetails& details, const TRect& r,
                                   const QWidget* widget) const
{
    const QStyle* style = ThemesEnabled() ? Theme() : ClassicStyle();
    if (style)
        DrawWithStyle(*style, painter, details, r.ToQt(), widget, true);
}

TRect TExThemeServices::ContentRect(const TThemedElementDetails& details, const TRect& r, const QWidget* widget) const
{
    const QStyle* style = ThemesEnabled() ? Theme() : ClassicStyle();
    if (!style)
        return r;
    QStyleOptionButton opt;
    opt.rect = r.ToQt();
    opt.state = StyleState(details.State);
    if (details.Element == TThemedElement::PushButton)
        return TRect::FromQt(style->subElementRect(QStyle::SE_PushButtonContents, &opt, widget));
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, widget);
    TRect content = r;
    InflateRect(content, -frame, -frame);
    return content;
}

void TExThemeServices::DrawParentBackground(TWinControlCore& control, QPainter& painter, const TRect* r) const
{
    EraseWithParentBackground(control, painter, r);
}

// ---- control styles

void AddThemeStyle(TWinControlCore& control, TControlStyle style)
{
    control.SetControlStyle(control.ControlStyle() + (style * TControlStyle{csNeedsBorderPaint, csParentBackground}));
}

TControlStyle ThemeStyleOf(const TWinControlCore& control)
{
    return control.ControlStyle() * TControlStyle{csNeedsBorderPaint, csParentBackground};
}

// ---- backgrounds

void PaintThemedBackground(TWinControlCore& control, TCanvas& canvas, const TRect& r)
{
    PaintThemedBackground(control, canvas, r, canvas.Brush().Color());
}

void PaintThemedBackground(TWinControlCore& control, TCanvas& canvas, const TRect& r, TColor color)
{
    if (canvas.HandleAllocated() && ShowsParentBackground(control, color, true)) {
        // Qt double-buffers every widget, so the parent's background always comes by erasing.
        EraseWithParentBackground(control, *canvas.Handle(), TPoint{control.Left(), control.Top()}, &r);
        return;
    }
    const TColor previous = canvas.Brush().Color();
    if (previous != color)
        canvas.Brush().SetColor(color);
    canvas.FillRect(r);
    if (previous != color)
        canvas.Brush().SetColor(previous);
}

void PaintThemedBackground(TWinControlCore& control, QPainter& painter, const TRect& r, const TBrush& brush,
                           bool needsParentBackground)
{
    if (ShowsParentBackground(control, ColorToRGB(brush.Color()), needsParentBackground)) {
        EraseWithParentBackground(control, painter, TPoint{control.Left(), control.Top()}, &r);
        return;
    }
    painter.fillRect(r.ToQt(), brush.ToQBrush());
}

void EraseWithParentBackground(TWinControlCore& control, QPainter& painter, TPoint offset, const TRect* r)
{
    TWinControlCore* parent = control.Parent();
    if (!parent)
        return;
    const TPainterStateGuard state(painter);
    // The clip is in the control's own coordinates, so it is set before the origin moves.
    if (r)
        painter.setClipRect(r->ToQt(), Qt::ReplaceClip);
    if (offset.X != 0 || offset.Y != 0)
        painter.translate(-offset.X, -offset.Y);
    const auto dc = reinterpret_cast<WPARAM>(&painter);
    parent->Perform(WM_ERASEBKGND, dc, static_cast<LPARAM>(dc));
}

void EraseWithParentBackground(TWinControlCore& control, QPainter& painter, const TRect* r)
{
    EraseWithParentBackground(control, painter, TPoint{control.Left(), control.Top()}, r);
}

// ---- frame controls

std::optional<TThemedElementDetails> ThemedFrameControlDetails(unsigned kind, unsigned state)
{
    const std::optional<TThemedElementDetails> element = FrameControlElement(kind, state);
    if (!element)
        return std::nullopt;
    const unsigned sub = state & 0xFF;
    if (kind == DFC_SCROLL && (sub == DFCS_SCROLLUP || sub == DFCS_SCROLLDOWN) && (state & DFCS_TRANSPARENT))
        return std::nullopt;
    if (kind == DFC_BUTTON && sub == DFCS_BUTTONPUSH && (state & (DFCS_FLAT | DFCS_TRANSPARENT)))
        return std::nullopt;
    return element;
}

int PaintThemedFrameControl(const TWinControlCore* control, QPainter& painter, const TRect& r, unsigned kind,
                            unsigned state)
{
    const TExThemeServices& services = CurrentThemeServices();
    const QWidget* widget = control ? control->Widget() : nullptr;
    if (services.ThemesEnabled() && !(control && Designing(*control)))
        if (const auto details = ThemedFrameControlDetails(kind, state)) {
            services.DrawElement(painter, *details, r, widget);
            return 1;
        }
    // The classic look: the same glyph in the classic style; a transparent one without its face.
    const std::optional<TThemedElementDetails> element = FrameControlElement(kind, state);
    const QStyle* classic = services.ClassicStyle();
    if (!element || !classic)
        return 0;
    const bool face = !(state & (DFCS_TRANSPARENT | DFCS_FLAT));
    DrawWithStyle(*classic, painter, *element, r.ToQt(), widget, face);
    return 1;
}

bool MouseInClientRect(const TWinControlCore& control)
{
    return control.ClientRect().Contains(control.ScreenToClient(TPoint::FromQt(QCursor::pos())));
}
