#pragma once
// The colour window: a frameless stay-on-top tool window that carries a colour panel and an
// optional drag bar. Dragging the bar tears the window off: it then floats (the system moves it
// with the mouse) and stays open across colour clicks until it is hidden again.

#include "ExLib/run/colors/ExOfficeColorPanel.h"
#include "ExLib/run/panels/ExLabel.h"

class TExOfficeColorForm;

// The bar that tears the colour window off.
class TExSubDragBar : public TExLabel {
public:
    TExSubDragBar(TExOfficeColorForm& form, QWidget* parent);

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter(TWinControlCore* control) override;
    void MouseLeave(TWinControlCore* control) override;

private:
    TExOfficeColorForm& FForm;
};

class TExOfficeColorForm : public TExForm {
public:
    static constexpr int ModalCancel = 2;

    explicit TExOfficeColorForm(TComponent* AOwner);

    TExOfficeColorPanel& ColorPanel() const { return *FPanel; }
    TExSubDragBar& DragBar() const { return *FDragBar; }

    bool ShowDragBar() const { return FShowDragBar; }
    // Shows the bar (unless the window was dragged) or, off, un-tears a dragged window.
    void SwitchDragBar(bool on);
    bool TornOff() const { return FTornOff; }
    // Torn off: a tool-window border style, the bar hidden; back: a dialog border, the bar shown.
    void SetTornOff(bool on);
    int DragBarHeight() const { return FDragBarHeight; }
    int DragBarSpace() const { return FDragBarSpace; }
    // Height (minimum 7) or space (minimum 3); either clears the standard-metrics flag.
    void SetDragBarMetric(bool height, int value);
    bool StandardMetrics() const { return FStandardMetrics; }
    // Turning it on resets the bar to 7 high with 3 pixels of space.
    void SetStandardMetrics(bool on);
    const std::string& DragBarHint() const { return FDragBarHint; }
    void ChangeDragBarHint(const std::string& hint);
    bool Moving() const { return FMoving; }
    bool Dragged() const { return FDragged; }
    int ModalResult() const { return FModalResult; }

    // Sizes the window around its bar and panel.
    void LayOutWindow();

    // For the colour button; forms cannot bind them.
    TNotifyEvent OnWindowShownOrHidden;
    TNotifyEvent OnWindowFocusGone;
    TNotifyEvent OnTearOffChanged;

protected:
    friend class TExSubDragBar;
    void KeyUp(WORD& key, TShiftState shift) override;
    void FocusLost(QWidget* nextWindow) override;
    void VisibleChanged() override;
    void ShowingChanged() override;
    void Resize() override;
    // The dialog frame a window without a caption bar draws itself.
    void Paint() override;
    void changeEvent(QEvent* event) override;

private:
    void WindowFocusGone();
    // A hidden window is back in drop-down style with its drag state cleared.
    void Hidden();

    static constexpr int Border = 2;
    TExSubDragBar* FDragBar = nullptr;
    TExOfficeColorPanel* FPanel = nullptr;
    bool FConstructed = false;
    bool FLayingOut = false;
    bool FShowDragBar = true;
    bool FTornOff = false;
    int FDragBarHeight = 7;
    int FDragBarSpace = 3;
    bool FStandardMetrics = true;
    std::string FDragBarHint;
    bool FMouseDown = false;
    bool FMoving = false;
    bool FDragged = false;
    int FModalResult = 0;
};
