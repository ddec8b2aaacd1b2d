#include "Platform/controls/Forms.h"

#include "Platform/controls/FormList.h"
#include "Platform/core/Application.h"

#include <QApplication>
#include <QCloseEvent>

TCustomForm::TCustomForm(TComponent* AOwner, QWidget* parent) : TQtControl<QWidget>(AOwner, parent)
{
    setWindowFlag(Qt::Window);
    setAutoFillBackground(true);
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    RegisterCustomForm(this);
}

TCustomForm::~TCustomForm()
{
    UnregisterCustomForm(this);
}

void TCustomForm::Release()
{
    deleteLater();
}

void TCustomForm::DoCreate()
{
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::DoClose(TCloseAction& action)
{
    if (OnClose)
        OnClose(this, action);
}

void TCustomForm::SetFormStyle(TFormStyle style)
{
    if (style == FFormStyle)
        return;
    FFormStyle = style;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, style == TFormStyle::fsStayOnTop);
    if (visible)
        show(); // why: changing window flags hides a window
}

TWindowState TCustomForm::WindowState() const
{
    const Qt::WindowStates state = windowState();
    if (state & Qt::WindowMinimized)
        return TWindowState::wsMinimized;
    if (state & Qt::WindowMaximized)
        return TWindowState::wsMaximized;
    return TWindowState::wsNormal;
}

void TCustomForm::SetWindowState(TWindowState state)
{
    switch (state) {
    case TWindowState::wsMinimized: setWindowState(Qt::WindowMinimized); break;
    case TWindowState::wsMaximized: setWindowState(Qt::WindowMaximized); break;
    default: setWindowState(Qt::WindowNoState); break;
    }
}

TWinControlCore* TCustomForm::ActiveControl() const
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus || (focus != this && !isAncestorOf(focus)))
        return nullptr;
    for (QWidget* w = focus; w && w != this; w = w->parentWidget())
        if (TWinControlCore* control = ControlOf(w))
            return control;
    return nullptr;
}

void TCustomForm::SetActiveControl(TWinControlCore* control)
{
    if (control) {
        control->SetFocus();
        return;
    }
    if (QWidget* focus = QApplication::focusWidget(); focus && isAncestorOf(focus))
        focus->clearFocus();
}

bool TCustomForm::event(QEvent* e)
{
    if (e->type() != QEvent::Close)
        return TQtControl<QWidget>::event(e);
    TCloseAction action = TCloseAction::caHide;
    try {
        DoClose(action);
    } catch (...) {
        HandleCurrentException();
        action = TCloseAction::caNone;
    }
    switch (action) {
    case TCloseAction::caNone:
        e->ignore();
        break;
    case TCloseAction::caMinimize:
        e->ignore();
        showMinimized();
        break;
    case TCloseAction::caFree:
        e->accept();
        Release();
        break;
    default:
        e->accept(); // the window hides once its close request is accepted
        break;
    }
    return true;
}

void TCustomForm::WndProc(TMessage& message)
{
    // A close sent or posted as a message takes the same way as the window's own request.
    if (message.Msg == WM_CLOSE) {
        close();
        return;
    }
    TQtControl<QWidget>::WndProc(message);
}
