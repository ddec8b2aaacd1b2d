#pragma once
// The class library's form: a top-level window whose Text is its caption. Keys that the focused
// control does not want reach the form as CM_DIALOGKEY, Alt accelerators as CM_DIALOGCHAR, and
// it hears CM_FOCUSCHANGED whenever one of its controls receives the focus. Every form is in
// the platform's form list (FormList.h) from its construction to its destruction.
//
// Closing a form (its window's close request, Close, or a WM_CLOSE message) asks DoClose, and
// through it OnClose, what to do: caHide hides the form, caFree hides it and frees it from the
// event loop (Release), caMinimize minimises it and caNone keeps it as it is.

#include "Platform/controls/Control.h"

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

class TCustomForm : public TQtControl<QWidget> {
public:
    explicit TCustomForm(TComponent* AOwner, QWidget* parent = nullptr);
    ~TCustomForm() override;

    const std::string& Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }
    bool IsForm() const override { return true; }
    void Close() { close(); }
    // Frees the form once the events now pending have been handled.
    void Release();

    // Fires OnCreate; whoever finishes building a form calls it once.
    void DoCreate();
    TNotifyEvent OnCreate;
    TCloseEvent OnClose;

    // Kept for the form's own use (a frameless window draws its own border).
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle style) { FBorderStyle = style; }
    // fsStayOnTop keeps the window above the others.
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle style);
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);

    // The control of the form that has the focus, or null; setting null takes the focus away.
    TWinControlCore* ActiveControl() const;
    void SetActiveControl(TWinControlCore* control);

protected:
    virtual void DoClose(TCloseAction& action);
    bool event(QEvent* e) override;
    void WndProc(TMessage& message) override;

private:
    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
    TFormStyle FFormStyle = TFormStyle::fsNormal;
};
