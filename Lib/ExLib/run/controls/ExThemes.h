#pragma once
// Theme services: the one object through which the library draws themed elements. Here the
// theme is the application's QStyle; with themes off the same elements are drawn in the classic
// look (Qt's "Windows" style), which is also the path every routine takes without themes.
//
// The platform's WM_PRINTCLIENT needs no wrapping: the platform has no handler of its own for
// it, and the windowed extension bases already keep the painter's state around WM_PRINT and
// WM_PRINTCLIENT.

#include "Platform/controls/Control.h"

#include <QPointer>
#include <QStyle>
#include <optional>

// The elements the controls draw.
enum class TThemedElement {
    ScrollArrowUp, ScrollArrowDown, ScrollArrowLeft, ScrollArrowRight, ComboDropDown, PushButton, CheckBox,
    RadioButton, SpinUp, SpinDown, CloseButton,
};
enum class TThemedState { Normal, Hot, Pressed, Disabled, Default };
enum class TThemedCheck { Unchecked, Checked, Mixed };

struct TThemedElementDetails {
    TThemedElement Element = TThemedElement::PushButton;
    TThemedState State = TThemedState::Normal;
    TThemedCheck Check = TThemedCheck::Unchecked;
    constexpr bool operator==(const TThemedElementDetails&) const = default;
};

class TExThemeServices {
public:
    TExThemeServices();
    ~TExThemeServices();
    TExThemeServices(const TExThemeServices&) = delete;
    TExThemeServices& operator=(const TExThemeServices&) = delete;

    // Themes are on while the application has a style; SetThemesEnabled(false) turns them off.
    bool ThemesEnabled() const;
    void SetThemesEnabled(bool enabled) { FDisabled = !enabled; }

    static TThemedElementDetails GetElementDetails(TThemedElement element, TThemedState state = TThemedState::Normal,
                                                   TThemedCheck check = TThemedCheck::Unchecked);
    // Draws the element into `r` with the current theme (the classic look with themes off).
    void DrawElement(QPainter& painter, const TThemedElementDetails& details, const TRect& r,
                     const QWidget* widget = nullptr) const;
    // The part of `r` that holds the element's content.
    TRect ContentRect(const TThemedElementDetails& details, const TRect& r, const QWidget* widget = nullptr) const;
    // Paints the background `control` lies on into `r` (the control's coordinates; null: all).
    void DrawParentBackground(TWinControlCore& control, QPainter& painter, const TRect* r) const;
    // The style that draws themed elements (the raw theme handle).
    QStyle* Theme() const;
    // The style of the classic look.
    QStyle* ClassicStyle() const;

private:
    bool FDisabled = false;
    // why: the style belongs to the application object, so it goes with it at shutdown.
    mutable QPointer<QStyle> FClassic;
};

// The process's theme services, made on first use.
TExThemeServices& CurrentThemeServices();

// Adds the csNeedsBorderPaint and csParentBackground flags present in `style` to the control's
// style; the other flags of `style` are ignored.
void AddThemeStyle(TWinControlCore& control, TControlStyle style);
// The control's style reduced to those two flags.
TControlStyle ThemeStyleOf(const TWinControlCore& control);

// Fills `r` with `color` (canvas forms: the canvas's brush colour when none is given), or lets
// the parent's background show through when the colour is the parent's and themes are on.
void PaintThemedBackground(TWinControlCore& control, TCanvas& canvas, const TRect& r);
void PaintThemedBackground(TWinControlCore& control, TCanvas& canvas, const TRect& r, TColor color);
void PaintThemedBackground(TWinControlCore& control, QPainter& painter, const TRect& r, const TBrush& brush,
                           bool needsParentBackground);

// Asks the control's parent to erase its background into `painter`, moved by `offset` (the
// control's position in its parent by default) and clipped to `r` when one is given.
void EraseWithParentBackground(TWinControlCore& control, QPainter& painter, TPoint offset, const TRect* r);
void EraseWithParentBackground(TWinControlCore& control, QPainter& painter, const TRect* r);

// Frame-control kinds and state flags (the low byte of the state is the sub-kind).
enum : unsigned { DFC_SCROLL = 3, DFC_BUTTON = 4 };
enum : unsigned {
    DFCS_SCROLLUP = 0x0000, DFCS_SCROLLDOWN = 0x0001, DFCS_SCROLLCOMBOBOX = 0x0005,
    DFCS_BUTTONCHECK = 0x0000, DFCS_BUTTONRADIO = 0x0004, DFCS_BUTTONPUSH = 0x0010,
    DFCS_INACTIVE = 0x0100, DFCS_PUSHED = 0x0200, DFCS_CHECKED = 0x0400, DFCS_TRANSPARENT = 0x0800,
    DFCS_HOT = 0x1000, DFCS_ADJUSTRECT = 0x2000, DFCS_FLAT = 0x4000, DFCS_MONO = 0x8000,
};

// The themed element a frame-control request draws as, or none when it takes the classic path.
std::optional<TThemedElementDetails> ThemedFrameControlDetails(unsigned kind, unsigned state);
// Draws a frame-control glyph, themed when possible; non-zero on success.
int PaintThemedFrameControl(const TWinControlCore* control, QPainter& painter, const TRect& r, unsigned kind,
                            unsigned state);

// True when the mouse cursor lies in the control's client rectangle.
bool MouseInClientRect(const TWinControlCore& control);
