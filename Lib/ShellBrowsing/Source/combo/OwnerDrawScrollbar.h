#pragma once
// TOwnerDrawScrollbar: a vertical scroll bar that draws itself (buttons, track, thumb, with the
// style's look or a classic one), so that it can sit inside the combo box's drop-down windows
// and take their colours. It tracks the mouse for hot parts, repeats button and page presses
// while the button is held, and either moves its own position or reports each step as
// WM_VSCROLL to the control it scrolls.

#include "Platform/controls/Control.h"
#include "Platform/core/Set.h"
#include "Platform/graphics/Colors.h"

#include <QPixmap>
#include <functional>
#include <memory>

class TCustomOwnerDrawScrollbar;

class TScrollBarColors : public TPersistent {
public:
    explicit TScrollBarColors(TCustomOwnerDrawScrollbar* owner) : FOwner(owner) {}

    TColor ThumbButton() const { return FThumbButton; }
    void SetThumbButton(TColor value);
    TColor Background() const { return FBackground; }
    void SetBackground(TColor value);
    TColor PageScrollHot() const { return FPageScrollHot; }
    void SetPageScrollHot(TColor value) { FPageScrollHot = value; }
    TColor BackgroundBlend() const { return FBackgroundBlend; }
    void SetBackgroundBlend(TColor value);

private:
    void Changed(TColor& field, TColor value);

    TColor FThumbButton = clScrollBar;
    TColor FBackground = clScrollBar;
    TColor FPageScrollHot = 0;
    TCustomOwnerDrawScrollbar* FOwner;
    TColor FBackgroundBlend = 0xFFFFFF;
};

enum class TScrollPaintCycle { pcBackground, pcScrollUp, pcScrollDown, pcThumb };
enum class TScrollPaintState { psNormal, psHot, psPressed, psScrolling, psDisabled };
using TOnScrollCustomPaint = std::function<void(TObject* Sender, TScrollPaintCycle PaintCycle,
                                                TScrollPaintState ScrollPaintState, TRect& PaintRect,
                                                TCanvas& Canvas, bool& Handled)>;

enum class TScrollOption { soThemeAware };
using TScrollOptions = TSet<TScrollOption>;

// The bits of ScrollState.
enum : std::uint16_t {
    ssThumbHeld = 0x0001,
    ssDownHeld = 0x0002,
    ssDownHot = 0x0004,
    ssThumbHot = 0x0008,
    ssUpHot = 0x0010,
    ssLButtonDown = 0x0020,
    ssPageDownHeld = 0x0040,
    ssMouseInHeldPage = 0x0080,
    ssPageUpHeld = 0x0100,
    ssUpHeld = 0x0800,
    ssThemesInUse = 0x1000,
};

// The system's scroll-bar measures: the bar's width and a button's height, and the thumb's
// smallest height.
int ScrollBarWidth();
int ScrollBarButtonHeight();
int ScrollBarMinThumb();

class TCustomOwnerDrawScrollbar : public TCustomControl {
public:
    explicit TCustomOwnerDrawScrollbar(TComponent* AOwner = nullptr, QWidget* parent = nullptr);
    ~TCustomOwnerDrawScrollbar() override;

    int Min() const { return FMin; }
    void SetMin(int value);
    // The content size.
    int Max() const { return FRange; }
    void SetMax(int value);
    int Position() const { return FPosition; }
    void SetPosition(int value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int value);
    // The largest position: Max - PageSize.
    int LargestPosition() const { return FRange - FPageSize; }
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int value) { FLargeChange = value; }
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int value) { FSmallChange = value; }
    int RepeatInterval() const { return FRepeatInterval; }
    void SetRepeatInterval(int value) { FRepeatInterval = value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    TScrollOptions Options() const { return FOptions; }
    void SetOptions(TScrollOptions value);
    TScrollBarColors& Colors() { return *FColors; }
    std::uint16_t ScrollState() const { return FScrollState; }
    bool ThemesActive() const;
    TWinControlCore* ScrollTarget() const { return FScrollTarget; }
    void SetScrollTarget(TWinControlCore* target) { FScrollTarget = target; }

    // The width stays the bar's width.
    void SetBounds(int left, int top, int width, int height);

    // Sends `code` (and the position) to the scroll target, with an end-scroll after every step
    // (not after thumb tracking, nor after an end-scroll itself); false without a target.
    bool Notify(int code, int position);

    // Geometry, in client coordinates.
    int ButtonHeight() const;
    int TrackHeight() const;
    int ThumbHeight() const;
    int ThumbCenter() const;
    int PositionFromY(int y) const;
    TRect UpButtonRect() const;
    TRect DownButtonRect() const;
    TRect TrackRect() const;
    TRect ThumbRect() const;
    TRect PageUpRect() const;
    TRect PageDownRect() const;
    TRect BackgroundRect() const;

    // Draws the whole bar (the background, then the parts) as the window would.
    void PaintTo(QPainter& painter);
    // Rebuilds the track's 8 x 8 pattern and repaints.
    void RebuildPattern();
    const QPixmap& Pattern() const { return FPattern; }

    TOnScrollCustomPaint OnScrollCustomPaint;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void WndProc(TMessage& message) override;
    void changeEvent(QEvent* event) override;

private:
    enum : std::uintptr_t { HotTimerId = 201, RepeatTimerId = 202, DelayTimerId = 203 };
    void Step(int code, int delta);
    void RepeatTick();
    void HotTick();
    void UpdateHot(TPoint p, bool cursorOutside);
    void SetState(std::uint16_t newState);
    bool FireCustomPaint(TCanvas& canvas, TScrollPaintCycle cycle, TRect rect);
    void PaintBackground(QPainter& painter, TCanvas& canvas);
    void PaintButton(QPainter& painter, TCanvas& canvas, bool up);
    void PaintThumb(QPainter& painter, TCanvas& canvas);

    std::unique_ptr<TScrollBarColors> FColors;
    QPixmap FPattern;
    std::uint16_t FScrollState = 0;
    bool FFlat = false;
    int FMin = 0;
    int FRange = 100;
    int FPosition = 0;
    int FPageSize = 1;
    bool FHotTimer = false;
    bool FRepeatTimer = false;
    bool FDelayTimer = false;
    int FRepeatInterval = 100;
    TScrollOptions FOptions{TScrollOption::soThemeAware};
    TWinControlCore* FScrollTarget = nullptr;
    int FLargeChange = 1;
    int FSmallChange = 1;
    TPoint FLastMouse;
};

class TOwnerDrawScrollbar : public TCustomOwnerDrawScrollbar {
public:
    using TCustomOwnerDrawScrollbar::TCustomOwnerDrawScrollbar;
};
