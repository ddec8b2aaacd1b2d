#pragma once
// The class library's up-down control: two arrow buttons that step a position within a range.
// A press on a button moves the position by one (held, it repeats) and the control sends itself
// WM_VSCROLL with SB_THUMBPOSITION and the new position, then SB_ENDSCROLL; the default
// handling of SB_THUMBPOSITION takes the position and calls Click with the button pressed.

#include "Platform/controls/Control.h"
#include "Platform/controls/ScrollCodes.h"

#include <QTimer>
#include <optional>
#include <memory>

enum class TUDBtnType { btNext, btPrev };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;

class TCustomUpDown : public TQtControl<QWidget> {
public:
    explicit TCustomUpDown(TComponent* AOwner, QWidget* parent = nullptr);
    ~TCustomUpDown() override;

    int Min() const { return FMin; }
    int Max() const { return FMax; }
    void SetRange(int min, int max);
    int Position() const { return FPosition; }
    void SetPosition(int position);
    // The button being held (none: neither).
    std::optional<TUDBtnType> Pressed() const { return FPressed; }

    TUDClickEvent OnClick;

protected:
    virtual void Click(TUDBtnType button);
    void WndProc(TMessage& message) override;
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void Step();
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    std::optional<TUDBtnType> FPressed;
    std::unique_ptr<QTimer> FRepeat;
};
