#include "Platform/controls/UpDown.h"

#include "Platform/core/Application.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

TCustomUpDown::TCustomUpDown(TComponent* AOwner, QWidget* parent)
    : TQtControl<QWidget>(AOwner, parent), FRepeat(std::make_unique<QTimer>())
{
    SetCustomPaint(true);
    setFocusPolicy(Qt::NoFocus);
    resize(15, 22);
    QObject::connect(FRepeat.get(), &QTimer::timeout, FRepeat.get(), [this] {
        try {
            FRepeat->setInterval(100);
            Step();
        } catch (...) {
            FRepeat->stop();
            HandleCurrentException();
        }
    });
}

TCustomUpDown::~TCustomUpDown()
{
    QObject::disconnect(FRepeat.get(), nullptr, nullptr, nullptr);
}

void TCustomUpDown::SetRange(int min, int max)
{
    FMin = min;
    FMax = max;
    FPosition = std::clamp(FPosition, std::min(min, max), std::max(min, max));
}

void TCustomUpDown::SetPosition(int position)
{
    FPosition = std::clamp(position, std::min(FMin, FMax), std::max(FMin, FMax));
}

void TCustomUpDown::Click(TUDBtnType button)
{
    if (OnClick)
        OnClick(this, button);
}

void TCustomUpDown::WndProc(TMessage& message)
{
    if ((message.Msg == WM_VSCROLL || message.Msg == WM_HSCROLL) && (message.WParam & 0xFFFF) == SB_THUMBPOSITION) {
        const int position = static_cast<std::int16_t>((message.WParam >> 16) & 0xFFFF);
        const TUDBtnType button = position > FPosition ? TUDBtnType::btNext : TUDBtnType::btPrev;
        FPosition = position;
        Click(button);
        return;
    }
    TQtControl<QWidget>::WndProc(message);
}

void TCustomUpDown::Step()
{
    if (!FPressed)
        return;
    const int delta = *FPressed == TUDBtnType::btNext ? 1 : -1;
    const int position = std::clamp(FPosition + delta, std::min(FMin, FMax), std::max(FMin, FMax));
    Perform(WM_VSCROLL, SB_THUMBPOSITION | (static_cast<WPARAM>(static_cast<std::uint16_t>(position)) << 16), 0);
    Perform(WM_VSCROLL, SB_ENDSCROLL, 0);
}

void TCustomUpDown::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TQtControl<QWidget>::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft)
        return;
    FPressed = y < Height() / 2 ? TUDBtnType::btNext : TUDBtnType::btPrev;
    Invalidate();
    Step();
    FRepeat->setInterval(400);
    FRepeat->start();
}

void TCustomUpDown::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TQtControl<QWidget>::MouseUp(button, shift, x, y);
    if (button != TMouseButton::mbLeft)
        return;
    FRepeat->stop();
    FPressed.reset();
    Invalidate();
}

void TCustomUpDown::Paint()
{
    QPainter* painter = Canvas().Handle();
    const int half = Height() / 2;
    const QRect parts[] = {QRect(0, 0, Width(), half), QRect(0, half, Width(), Height() - half)};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = parts[i];
        const bool down = FPressed && (*FPressed == TUDBtnType::btNext) == (i == 0);
        option.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, painter, this);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorSpinUp : QStyle::PE_IndicatorSpinDown, &option, painter,
                               this);
    }
}
