#pragma once
// The control base: every control of the system is a QWidget that also receives the class
// library's messages. Qt events are translated into messages in one place (DispatchEvent) and
// go through the replaceable WindowProc to WndProc, which turns them into the overridable
// operations (KeyDown, MouseDown, Paint, ...). A message that reaches DefaultHandler returns
// to Qt's own handling of the event it came from. Exceptions stop at this boundary.
//
//   TWinControlCore      the message machinery, independent of the Qt widget class
//   TQtControl<QBase>    binds it to a Qt widget class (QWidget, QAbstractScrollArea, ...)
//   TWinControl          a windowed control over QWidget
//   TCustomControl       a windowed control that paints itself on its Canvas
//   TGraphicControl      a windowless control: a small QWidget that paints itself, takes no
//                        focus and lets its parent show through where it does not paint
//
// Notifications the core generates itself, in the class library's order:
//   - CM_CONTROLLISTCHANGE / CM_CONTROLCHANGE around SetParent (insertion: LISTCHANGE(child, 1)
//     before, CHANGE(child, 1) after; removal: CHANGE(child, 0) before, LISTCHANGE(child, 0)
//     after), also when a control leaves its parent by being destroyed;
//   - CM_PARENTFONTCHANGED / CM_PARENTCOLORCHANGED before CM_FONTCHANGED / CM_COLORCHANGED
//     when the font or colour came from the parent;
//   - CM_HINTSHOW (LParam: THintInfo*) when the tool tip of a control with a Hint is due;
//   - WM_ERASEBKGND (WParam: the QPainter of the paint event, LParam 0) before WM_PAINT; a
//     child that wants its parent's background sends WParam = LParam = its painter, moved into
//     the parent's coordinates;
//   - WM_GETDLGCODE (WParam: the key) to ask whether the control wants Tab, an arrow, Return or
//     Escape; a key it does not want goes to its form as CM_DIALOGKEY, and Tab then moves the
//     focus; a key it wants stays with it and is not passed on to its parents; an unhandled
//     Alt+character goes to the form as CM_DIALOGCHAR;
//   - CM_FOCUSCHANGED (LParam: the control) to the form when a control receives the focus.
// CM_DIALOGKEY, CM_DIALOGCHAR and CM_FOCUSCHANGED are passed on to every child control until
// one answers non-zero, as the class library broadcasts them.

#include "Platform/graphics/Canvas.h"
#include "Platform/core/Component.h"
#include "Platform/controls/Keys.h"
#include "Platform/core/Messages.h"
#include "Platform/core/Types.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QWidget>
#include <functional>
#include <map>
#include <type_traits>

// Answers of the key-translation for a WM_IME_COMPOSITION result string.
constexpr LPARAM GCS_RESULTSTR = 0x0800;

// The keys and buttons of a mouse message's flags; Alt, which the flags lack, is asked of the keyboard.
TShiftState ShiftStateFromMouseFlags(WPARAM flags);

using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;

class TWinControlCore;

// The hint record of CM_HINTSHOW. A non-zero message result cancels the hint.
struct THintInfo {
    TWinControlCore* HintControl = nullptr;
    TPoint HintPos;      // screen position of the hint window
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;    // in HintControl's client coordinates; leaving it ends the hint
    TPoint CursorPos;    // in HintControl's client coordinates
    int ReshowTimeout = 0;
    int HideTimeout = -1;
    std::string HintStr;
};

// The short hint: the text before the first "|".
std::string GetShortHint(const std::string& hint);

enum TControlStyleFlag {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
    csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
    csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csNeedsBorderPaint, csParentBackground,
};
using TControlStyle = TSet<TControlStyleFlag>;

class TWinControlCore : public TComponent {
public:
    TWinControlCore(TComponent* AOwner, QWidget* self);
    ~TWinControlCore() override;

    QWidget* Widget() const { return FWidget; }
    // The widget that shows the client area (the viewport of a scroll area).
    QWidget* ClientWidget() const;
    // The control of a widget (null for widgets that are not controls).
    static TWinControlCore* ControlOf(QWidget* widget);

    // The parent when it is a control; the parent widget itself is Widget()->parentWidget().
    TWinControlCore* Parent() const;
    // Moves the control into `parent` (null: out of its parent) and tells both parents, before
    // and after, through the child-list notifications. A control not explicitly hidden shows.
    void SetParent(QWidget* parent);
    void InsertControl(TWinControlCore* child) { child->SetParent(FWidget); }
    void RemoveControl(TWinControlCore* child);
    // The form this control lies on: the control of its outermost widget when that is a form.
    TWinControlCore* FormControl() const;
    virtual bool IsForm() const { return false; }

    // Every message goes through WindowProc; replace it to subclass the control, keeping the
    // previous value to pass messages on.
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& message);
    // The end of the dispatch: hands a message that came from a Qt event back to Qt.
    virtual void DefaultHandler(TMessage& message);

    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // Queues a message for this control; it arrives through WindowProc on the GUI thread.
    void PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // From any thread: performs the message on the GUI thread and waits for its result.
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // Window timers by number; setting a running number restarts it. WM_TIMER carries the number.
    void SetTimer(std::uintptr_t id, unsigned milliseconds);
    void KillTimer(std::uintptr_t id);

    // Geometry relative to the parent and of the client area.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const;
    TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;

    bool Visible() const;
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Showing() const;
    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Focused() const;
    bool CanFocus() const;
    void SetFocus();

    // The control's text (the window caption of a top-level control); CM_TEXTCHANGED follows a change.
    const std::string& Text() const { return FText; }
    void SetText(const std::string& text);

    // The hint shown as the control's tool tip ("short|long": the part before "|" is shown).
    std::string Hint() const;
    void SetHint(const std::string& hint);

    // The background colour. With ParentColor the control shows its parent's colour; setting a
    // colour ends that. The colour goes into the widget's palette (its background role).
    TColor Color() const;
    void SetColor(TColor color);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool value);

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle style) { FControlStyle = style; }

    void Invalidate();
    void InvalidateRect(const TRect& r);
    void Update();
    void Repaint();

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char32_t& key);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
    virtual void Click();
    virtual void DblClick();
    virtual void Resize();
    virtual void DoEnter();
    virtual void DoExit();
    // Paints the client area; the Canvas is bound while it runs. Called only for controls
    // that paint themselves (SetCustomPaint).
    virtual void Paint() {}
    // The WM_GETDLGCODE answer of the underlying Qt widget (0: it wants no dialog key).
    virtual LRESULT NativeDialogCode() const { return 0; }
    // Pushes a new Text into the widget (default: the window title of a top-level control).
    virtual void ApplyText(const std::string& text);
    // Takes a text the widget changed by itself, without CM_TEXTCHANGED.
    void SyncText(const std::string& text) { FText = text; }
    // Sets the colour a control starts with, without touching the palette.
    void SetInitialColor(TColor color)
    {
        FColor = color;
        FParentColor = false;
    }
    // True when the control wants `key` for itself (asks WM_GETDLGCODE).
    bool WantsDialogKey(WORD key);
    // Called by the Qt side before the widget leaves its parent for good (destruction).
    void DetachFromParent();

    // While painting: the canvas on the client area. Outside painting it measures text only.
    TCanvas& Canvas() { return FCanvas; }
    void SetCustomPaint(bool on) { FCustomPaint = on; }
    void SetClientIsViewport(bool on) { FClientIsViewport = on; }

    // The Qt side: translate an event (for the widget itself or for its viewport).
    bool DispatchEvent(QEvent* event, bool forViewport);
    virtual bool CallQtDefault(QEvent* event, bool forViewport) = 0;

private:
    struct QtEventContext;
    bool Translate(QEvent* event, bool forViewport);
    bool TranslateKey(QEvent* event);
    bool TranslateMouse(QEvent* event);
    bool TranslateWheel(QEvent* event);
    void Deliver(TMessage& message, bool defaultIsQt);
    // Marks the Qt event in progress as handled, so that Qt does not pass it to the parent.
    void KeepEvent();
    void PaintHandler();
    bool IsClientEvent(QEvent::Type type) const;

    void BroadcastToChildren(TMessage& message);
    void DeliverParentNotification(UINT parentMsg, UINT ownMsg, bool inherited);
    bool TranslateHint(QEvent* event);

    QWidget* FWidget;
    TCanvas FCanvas;
    std::string FText;
    TColor FColor = clBtnFace;
    bool FParentColor = true;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    bool FCustomPaint = false;
    bool FClientIsViewport = false;
    bool FClicked = false;
    std::map<std::uintptr_t, int> FTimers; // our number -> Qt's timer id
    QtEventContext* FEventContext = nullptr;
};

// Binds the message machinery to a Qt widget class.
template <class QBase>
class TQtControl : public QBase, public TWinControlCore {
public:
    // A parent given here is taken without child-list notifications (the control is not yet
    // complete); SetParent notifies.
    explicit TQtControl(TComponent* AOwner, QWidget* parent = nullptr) : QBase(parent), TWinControlCore(AOwner, this)
    {
        if constexpr (std::is_base_of_v<QAbstractScrollArea, QBase>)
            SetClientIsViewport(true);
    }
    // why: owned components (which may be child widgets) and the parent must hear of the
    // removal while this control is still a control, and can tell from csDestroying that it
    // goes for good.
    ~TQtControl() override
    {
        Destroying();
        DestroyComponents();
        DetachFromParent();
    }

protected:
    bool event(QEvent* e) override
    {
        // why: while the control part is being destroyed (its components with it), Qt still
        // tells the widget of children leaving; those events are Qt's alone.
        if (ComponentState().Contains(csDestroying))
            return QBase::event(e);
        return DispatchEvent(e, false);
    }

    // Tab moves the focus unless the control wants it (WM_GETDLGCODE).
    bool focusNextPrevChild(bool next) override
    {
        if (QBase::hasFocus() && WantsDialogKey(0x09))
            return false;
        return QWidget::focusNextPrevChild(next);
    }

    bool CallQtDefault(QEvent* e, bool forViewport) override
    {
        if constexpr (std::is_base_of_v<QAbstractScrollArea, QBase>) {
            if (forViewport)
                return QBase::viewportEvent(e);
        }
        (void)forViewport;
        return QBase::event(e);
    }
};

// A scroll area whose viewport is the client area: its paint, mouse, wheel and size events
// arrive as messages in viewport coordinates.
template <class QBase = QAbstractScrollArea>
class TQtScrollControl : public TQtControl<QBase> {
public:
    using TQtControl<QBase>::TQtControl;

protected:
    bool viewportEvent(QEvent* e) override
    {
        if (this->ComponentState().Contains(csDestroying))
            return QBase::viewportEvent(e);
        return this->DispatchEvent(e, true);
    }
};

class TWinControl : public TQtControl<QWidget> {
public:
    explicit TWinControl(TComponent* AOwner, QWidget* parent = nullptr);
};

class TCustomControl : public TQtControl<QWidget> {
public:
    explicit TCustomControl(TComponent* AOwner, QWidget* parent = nullptr);
};

class TGraphicControl : public TQtControl<QWidget> {
public:
    explicit TGraphicControl(TComponent* AOwner, QWidget* parent = nullptr);
};
