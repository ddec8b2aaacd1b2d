#include "ExLib/run/colors/ExOfficeColorForm.h"

#include "ExLib/run/common/ExResources.h"

#include "Platform/graphics/Frame3D.h"

#include <QWindow>

// ---- drag bar

TExSubDragBar::TExSubDragBar(TExOfficeColorForm& form, QWidget* parent) : TExLabel(&form, parent), FForm(form)
{
    SetAutoSize(false);
    SetCaption("");
    SetColor(clActiveCaption);
    resize(Width(), 7);
    SetHint(form.DragBarHint());
}

void TExSubDragBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TExLabel::MouseDown(button, shift, x, y);
    if (button == TMouseButton::mbLeft)
        FForm.FMouseDown = true;
}

void TExSubDragBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TExLabel::MouseUp(button, shift, x, y);
    if (button == TMouseButton::mbLeft) {
        FForm.FMouseDown = false;
        FForm.FMoving = false;
    }
}

void TExSubDragBar::MouseMove(TShiftState shift, int x, int y)
{
    TExLabel::MouseMove(shift, x, y);
    if (!FForm.FMouseDown && !FForm.FMoving)
        return;
    FForm.FDragged = true;
    if (FForm.FMouseDown && !FForm.TornOff()) {
        FForm.SetTornOff(true);
        FForm.LayOutWindow();
    }
    // The system moves the window with the mouse from here on.
    releaseMouse();
    if (QWindow* window = FForm.windowHandle())
        window->startSystemMove();
    FForm.FMoving = true;
    FForm.FMouseDown = false;
}

void TExSubDragBar::MouseEnter(TWinControlCore* control)
{
    TExLabel::MouseEnter(control);
    SetColor(clActiveCaption);
    setCursor(CursorShape(crSizeAll));
}

void TExSubDragBar::MouseLeave(TWinControlCore* control)
{
    TExLabel::MouseLeave(control);
    SetColor(clInactiveCaption);
    unsetCursor();
}

// ---- window

TExOfficeColorForm::TExOfficeColorForm(TComponent* AOwner) : TExForm(AOwner), FDragBarHint(ExRes::DragToFloat)
{
    // A window without a caption bar, above the others, that can take the keyboard.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetBorderStyle(TFormBorderStyle::bsDialog);
    setFocusPolicy(Qt::StrongFocus);
    SetCustomPaint(true);
    SetCaption(ExRes::ColorWindow);
    FDragBar = new TExSubDragBar(*this, this);
    FPanel = new TExOfficeColorPanel(this, this);
    FConstructed = true;
    LayOutWindow();
}

void TExOfficeColorForm::LayOutWindow()
{
    if (!FConstructed || FLayingOut)
        return;
    FLayingOut = true;
    const bool barShown = FShowDragBar && !FTornOff;
    FDragBar->SetVisible(barShown);
    const int barPart = barShown ? 2 * FDragBarSpace + FDragBarHeight : 0;
    const int width = FPanel->Width();
    resize(width + 2 * Border, barPart + 1 + FPanel->Height() + 2 * Border);
    FDragBar->SetBounds(Border, Border + FDragBarSpace, width, FDragBarHeight);
    FPanel->move(Border, Border + barPart + 1);
    FLayingOut = false;
}

void TExOfficeColorForm::SetTornOff(bool on)
{
    if (!FShowDragBar) {
        FTornOff = false;
        SetBorderStyle(TFormBorderStyle::bsDialog);
        FDragBar->Hide();
    } else {
        FTornOff = on;
        SetBorderStyle(on ? TFormBorderStyle::bsToolWindow : TFormBorderStyle::bsDialog);
        FDragBar->SetVisible(!on);
    }
    if (!FMoving)
        LayOutWindow();
    if (OnTearOffChanged)
        OnTearOffChanged(this);
}

void TExOfficeColorForm::SwitchDragBar(bool on)
{
    FShowDragBar = on;
    if (on) {
        if (!FDragged)
            FDragBar->Show();
    } else if (FDragged) {
        SetTornOff(false);
    }
    LayOutWindow();
}

void TExOfficeColorForm::SetDragBarMetric(bool height, int value)
{
    if (height)
        FDragBarHeight = std::max(7, value);
    else
        FDragBarSpace = std::max(3, value);
    FStandardMetrics = false;
    LayOutWindow();
}

void TExOfficeColorForm::SetStandardMetrics(bool on)
{
    FStandardMetrics = on;
    if (on) {
        FDragBarHeight = 7;
        FDragBarSpace = 3;
    }
    LayOutWindow();
}

void TExOfficeColorForm::ChangeDragBarHint(const std::string& hint)
{
    FDragBarHint = hint;
    FDragBar->SetHint(hint);
}

void TExOfficeColorForm::KeyUp(WORD& key, TShiftState shift)
{
    TExForm::KeyUp(key, shift);
    if (key == VK_ESCAPE) {
        Hide();
        FModalResult = ModalCancel;
    }
}

void TExOfficeColorForm::WindowFocusGone()
{
    if (!FMoving && OnWindowFocusGone)
        OnWindowFocusGone(this);
}

void TExOfficeColorForm::FocusLost(QWidget* nextWindow)
{
    TExForm::FocusLost(nextWindow);
    WindowFocusGone();
}

void TExOfficeColorForm::changeEvent(QEvent* event)
{
    TExForm::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        FMouseDown = false;
        FDragged = false;
        WindowFocusGone();
    }
}

void TExOfficeColorForm::Hidden()
{
    if (isVisible())
        return;
    if (FTornOff)
        SetTornOff(false);
    FMoving = false;
    FMouseDown = false;
    FDragged = false;
}

void TExOfficeColorForm::VisibleChanged()
{
    TExForm::VisibleChanged();
    Hidden();
}

void TExOfficeColorForm::ShowingChanged()
{
    TExForm::ShowingChanged();
    // why: a window hears of its own hiding reliably only as a change of showing.
    Hidden();
    if (OnWindowShownOrHidden)
        OnWindowShownOrHidden(this);
}

void TExOfficeColorForm::Paint()
{
    TCanvas& canvas = Canvas();
    TRect r = ClientRect();
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect(r);
    Frame3D(canvas, r, cl3DLight, cl3DDkShadow);
    Frame3D(canvas, r, clBtnHighlight, clBtnShadow);
}

void TExOfficeColorForm::Resize()
{
    TExForm::Resize();
    LayOutWindow();
}
