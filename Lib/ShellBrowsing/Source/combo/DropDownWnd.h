#pragma once
// TDropDownWnd: the pop-up base of the path combo box's drop-downs. It places itself under its
// anchor (over it when the screen has no room below), may slide open, scrolls its list with an
// owner-drawn scroll bar, may carry a size grip, auto-scrolls while the mouse is dragged beyond
// the list, and closes on a click outside it, Enter, Escape, Alt+key or when the application
// loses the focus. While it is down, every key of the application passes HandleKey first;
// the window itself never takes the focus, so typing goes on in the anchor.
//
// DropDown returns as soon as the window is shown (the application's own event loop keeps
// running); OnRollUp and RollUp tell when it closed.

#include "ShellBrowsing/Source/combo/OwnerDrawScrollbar.h"

#include "Platform/controls/Control.h"
#include "Platform/core/Set.h"

#include <QPointer>
#include <functional>
#include <memory>

class QVariantAnimation;
class TBaseLazyTree;
class TDropDownWnd;

enum class TPopupOption {
    poAnimated,
    poEnabled,
    poPersistentSizing,
    poSizeable,
    poRespectSysAnimationFlag,
    poThemeAware,
};
using TPopupOptions = TSet<TPopupOption>;
inline constexpr TPopupOptions DefaultPopupOptions{TPopupOption::poEnabled, TPopupOption::poRespectSysAnimationFlag,
                                                   TPopupOption::poThemeAware};

// The bits of DropState.
enum : std::uint16_t {
    dsDropped = 0x0001,
    dsAbove = 0x0004,
    dsBelow = 0x0008,
    dsSizedOnce = 0x0010,
    dsScrollUp = 0x0020,
    dsScrollDown = 0x0040,
    dsFastScroll = 0x0080,
    dsSlowScroll = 0x0100,
    dsRightToLeft = 0x0200,
};

using TOnPopupRollDown = std::function<void(TObject* Sender, bool& Allow)>;
using TOnPopupRollUp = std::function<void(TObject* Sender, bool Selected)>;

// The grip in the drop-down's lower (or, above the anchor, upper) corner that resizes it.
class TSizeGrabber : public TCustomControl {
public:
    TSizeGrabber(TDropDownWnd* dropDown, QWidget* parent);

    bool Sizing() const { return FSizing; }
    bool InsideList() const { return FInsideList; }
    void SetInsideList(bool value) { FInsideList = value; }
    // Draws the grip into `r` of `painter` as the drop-down's placement wants it.
    void PaintGrip(QPainter& painter, const QRect& r) const;
    // The cursor that matches the corner.
    Qt::CursorShape CornerCursor() const;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    bool FSizing = false;
    QPoint FPressPoint;
    QRect FStartGeometry;
    TDropDownWnd* FDropDown;
    bool FInsideList = false;
};

class TDropDownWnd : public TCustomControl {
public:
    explicit TDropDownWnd(TComponent* AOwner = nullptr, QWidget* parent = nullptr);
    ~TDropDownWnd() override;

    TPopupOptions Options() const { return FOptions; }
    virtual void SetOptions(TPopupOptions value);
    int AnimationSpeed() const { return FAnimationSpeed; }
    void SetAnimationSpeed(int value) { FAnimationSpeed = value; }
    std::uint16_t DropState() const { return FDropState; }
    bool Dropped() const { return FDropState & dsDropped; }
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int value);
    int AutoScrollTimeSlow() const { return FAutoScrollTimeSlow; }
    void SetAutoScrollTimeSlow(int value) { FAutoScrollTimeSlow = value; }
    int AutoScrollTimeFast() const { return FAutoScrollTimeFast; }
    void SetAutoScrollTimeFast(int value) { FAutoScrollTimeFast = value; }
    TOwnerDrawScrollbar* Scrollbar() const { return FScrollbar; }
    TSizeGrabber* Grabber() const { return FGrabber; }
    TWinControlCore* Anchor() const { return FAnchor; }
    // The list the auto-scroll timer and the scroll bar scroll.
    TBaseLazyTree* ScrolledControl() const { return FScrolledControl; }
    TWinControlCore* FocusControl() const { return FFocusControl; }

    // Drops down under `anchor` (placed by `comboBox` when given) with a requested size (a
    // component of 0 or less: the default).
    void DropDown(TWinControlCore* anchor, TWinControlCore* comboBox = nullptr, QSize requested = {});
    void CloseUp(bool selected);
    // Which way the auto-scroll runs (the list's upper or lower side).
    void SetAutoScrollDirection(bool up);
    void StartAutoScroll(bool fast);
    void StopAutoScroll(bool clearFlags);
    void AutoScrollTimerProc();

    TOnPopupRollDown OnRollDown;
    TOnPopupRollUp OnRollUp;

    virtual bool MouseOverOwner() { return false; }
    virtual bool RollDown();
    // Called when the window has its size, before it shows.
    virtual void Prepare() {}
    virtual void RollUp(bool selected);
    // A key pressed anywhere in the application while the window is down (a virtual key code).
    virtual void HandleKey(WORD key, bool& handled);
    virtual void UpdateScrollbar();
    virtual int ItemHeight() { return 17; }
    virtual void LayoutChildren(int width, int height);
    // Refreshes the bar from the list (its content height, page, step and offset).
    void UpdateScrollbarFromList();

protected:
    void SetScrolledControl(TBaseLazyTree* list);
    void SetFocusControl(TWinControlCore* control) { FFocusControl = control; }
    void Paint() override;
    void Resize() override;
    void WndProc(TMessage& message) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Whether a screen point lies on this window (or one of its children).
    bool ContainsScreenPoint(const QPoint& global) const;

private:
    enum : std::uintptr_t { SlowScrollTimerId = 100, FastScrollTimerId = 102 };
    void Place(TWinControlCore* anchor, TWinControlCore* comboBox, QSize requested);
    void ShowPlaced();
    bool AnimationAllowed() const;
    void EndLoop();

    TPopupOptions FOptions = DefaultPopupOptions;
    int FAnimationSpeed = 200;
    std::uint16_t FDropState = 0;
    TOwnerDrawScrollbar* FScrollbar = nullptr;
    TSizeGrabber* FGrabber = nullptr;
    int FDropDownCount = 8;
    int FAutoScrollTimeSlow = 200;
    int FAutoScrollTimeFast = 10;
    std::uintptr_t FAutoScrollTimer = 0;
    TBaseLazyTree* FScrolledControl = nullptr;
    TWinControlCore* FFocusControl = nullptr;
    TWinControlCore* FAnchor = nullptr;
    QPointer<QWidget> FAnchorWidget;
    QRect FPlacedGeometry;
    std::unique_ptr<QVariantAnimation> FAnimation;
    bool FFiltering = false;
    bool FDroppingPress = false;
    QMetaObject::Connection FAppStateConnection;
};

// The settings both drop-downs publish through the combo box: the window's and its list's.
class TPopupDropDownOptions : public TPersistent {
public:
    explicit TPopupDropDownOptions(TDropDownWnd* dropDown) : FBase(dropDown) {}

    int AnimationSpeed() const { return FBase->AnimationSpeed(); }
    void SetAnimationSpeed(int value) { FBase->SetAnimationSpeed(value); }
    int AutoScrollTimeFast() const { return FBase->AutoScrollTimeFast(); }
    void SetAutoScrollTimeFast(int value) { FBase->SetAutoScrollTimeFast(value); }
    int AutoScrollTimeSlow() const { return FBase->AutoScrollTimeSlow(); }
    void SetAutoScrollTimeSlow(int value) { FBase->SetAutoScrollTimeSlow(value); }
    const QImage& Background() const;
    void SetBackground(const QImage& value);
    TColor Color() const;
    void SetColor(TColor value);
    std::uint32_t DefaultNodeHeight() const;
    void SetDefaultNodeHeight(std::uint32_t value);
    int DropDownCount() const { return FBase->DropDownCount(); }
    void SetDropDownCount(int value) { FBase->SetDropDownCount(value); }
    std::uint32_t Indent() const;
    void SetIndent(std::uint32_t value);
    TPopupOptions Options() const { return FBase->Options(); }
    void SetOptions(TPopupOptions value) { FBase->SetOptions(value); }
    void SetOnRollDown(TOnPopupRollDown handler) { FBase->OnRollDown = std::move(handler); }
    void SetOnRollUp(TOnPopupRollUp handler) { FBase->OnRollUp = std::move(handler); }

private:
    TDropDownWnd* FBase;
};
