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

#include "Platform/Canvas.h"
#include "Platform/Component.h"
#include "Platform/Keys.h"
#include "Platform/Messages.h"
#include "Platform/Types.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QWidget>
#include <functional>
#include <map>
#include <type_traits>

// Answers of the key-translation for a WM_IME_COMPOSITION result string.
constexpr LPARAM GCS_RESULTSTR = 0x0800;

using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;

class TWinControlCore : public TComponent {
public:
    TWinControlCore(TComponent* AOwner, QWidget* self);
    ~TWinControlCore() override;

    QWidget* Widget() const { return FWidget; }
    // The widget that shows the client area (the viewport of a scroll area).
    QWidget* ClientWidget() const;

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
    void PaintHandler();
    bool IsClientEvent(QEvent::Type type) const;

    QWidget* FWidget;
    TCanvas FCanvas;
    std::string FText;
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
    explicit TQtControl(TComponent* AOwner, QWidget* parent = nullptr) : QBase(parent), TWinControlCore(AOwner, this)
    {
        if constexpr (std::is_base_of_v<QAbstractScrollArea, QBase>)
            SetClientIsViewport(true);
    }

protected:
    bool event(QEvent* e) override { return DispatchEvent(e, false); }

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
    bool viewportEvent(QEvent* e) override { return this->DispatchEvent(e, true); }
};

class TWinControl : public TQtControl<QWidget> {
public:
    explicit TWinControl(TComponent* AOwner, QWidget* parent = nullptr);
};

class TCustomControl : public TQtControl<QWidget> {
public:
    explicit TCustomControl(TComponent* AOwner, QWidget* parent = nullptr);
};
