#include "ExLib/run/docking/sites/ExDockSplitter.h"

#include "Platform/core/Application.h"

#include <QApplication>
#include <QKeyEvent>

// Watches the keyboard while the splitter sizes: Escape stops the sizing, other keys go on.
class TExDockCustomPanelSplitter::KeyWatch : public QObject {
public:
    explicit KeyWatch(TExDockCustomPanelSplitter& splitter) : FSplitter(splitter) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        (void)watched;
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            try {
                FSplitter.StopSizing();
            } catch (...) {
                HandleCurrentException();
            }
            return true;
        }
        return false;
    }

private:
    TExDockCustomPanelSplitter& FSplitter;
};

TExDockCustomPanelSplitter::TExDockCustomPanelSplitter(TComponent* AOwner, QWidget* parent)
    : TExCustomControl(AOwner, parent)
{
    SetAlign(*this, TAlign::alLeft);
    resize(3, height());
    setCursor(Qt::SplitHCursor);
    setAutoFillBackground(true);
}

TExDockCustomPanelSplitter::~TExDockCustomPanelSplitter() = default;

void TExDockCustomPanelSplitter::SetBeveled(bool value)
{
    FBeveled = value;
    Invalidate();
}

void TExDockCustomPanelSplitter::SetSplitterAlign(TAlign align)
{
    SetAlign(*this, align);
    const Qt::CursorShape shape = cursor().shape();
    if (shape == Qt::SplitHCursor || shape == Qt::SplitVCursor)
        setCursor(align == TAlign::alTop || align == TAlign::alBottom ? Qt::SplitVCursor : Qt::SplitHCursor);
}

TWinControlCore* TExDockCustomPanelSplitter::FindSizedControl()
{
    QWidget* parent = parentWidget();
    if (!parent)
        return nullptr;
    const TAlign align = AlignOf(*this);
    const TRect me = BoundsRect();
    TPoint p;
    switch (align) {
    case TAlign::alTop: p = {me.Left, me.Top - 1}; break;
    case TAlign::alBottom: p = {me.Left, me.Bottom}; break;
    case TAlign::alLeft: p = {me.Left - 1, me.Top}; break;
    case TAlign::alRight: p = {me.Right, me.Top}; break;
    default: return nullptr;
    }
    const bool towardsSplitter = align == TAlign::alTop || align == TAlign::alLeft;
    for (QObject* child : parent->children()) {
        TWinControlCore* c = ControlOf(qobject_cast<QWidget*>(child));
        if (!c || c == this || !c->Visible() || !c->Enabled())
            continue;
        TRect r = c->BoundsRect();
        if (r.Width() == 0) {
            if (align == TAlign::alLeft || align == TAlign::alRight)
                (towardsSplitter ? r.Right : r.Left) += towardsSplitter ? 1 : -1;
        }
        if (r.Height() == 0) {
            if (align == TAlign::alTop || align == TAlign::alBottom)
                (towardsSplitter ? r.Bottom : r.Top) += towardsSplitter ? 1 : -1;
        }
        // A point on the far edge of a grown, empty control still counts.
        if (p.X >= r.Left && p.X <= std::max(r.Left, r.Right - 1) && p.Y >= r.Top &&
            p.Y <= std::max(r.Top, r.Bottom - 1) && (r.Width() > 0 || r.Height() > 0))
            return c;
    }
    return nullptr;
}

bool TExDockCustomPanelSplitter::AskCanResize(int& newSize)
{
    bool accept = true;
    if (OnCanResize)
        OnCanResize(this, newSize, accept);
    return accept;
}

bool TExDockCustomPanelSplitter::AcceptSize(int& newSize)
{
    if (!AskCanResize(newSize))
        return false;
    if (FAutoSnap && newSize <= FMinSize)
        newSize = 0;
    return true;
}

void TExDockCustomPanelSplitter::CalcSplitSize(int x, int y, int& newSize, int& split)
{
    const TAlign align = AlignOf(*this);
    split = align == TAlign::alTop || align == TAlign::alBottom ? y - FDownPos.Y : x - FDownPos.X;
    int size = 0;
    switch (align) {
    case TAlign::alTop: size = FControl->Height() + split; break;
    case TAlign::alBottom: size = FControl->Height() - split; break;
    case TAlign::alLeft: size = FControl->Width() + split; break;
    case TAlign::alRight: size = FControl->Width() - split; break;
    default: break;
    }
    newSize = std::clamp(size, FMinSize, std::max(FMinSize, FMaxSize));
    if (newSize != size) {
        if (align == TAlign::alBottom || align == TAlign::alRight)
            split += size - newSize;
        else
            split += newSize - size;
    }
}

void TExDockCustomPanelSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TExCustomControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft)
        return;
    FControl = FindSizedControl();
    FDownPos = {x, y};
    if (!FControl)
        return;
    QWidget* parent = parentWidget();
    const TAlign align = AlignOf(*this);
    const int client = align == TAlign::alLeft || align == TAlign::alRight ? parent->width() : parent->height();
    int others = 0;
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow())
            continue;
        const TAlign a = AlignOf(w);
        if ((align == TAlign::alLeft || align == TAlign::alRight) && (a == TAlign::alLeft || a == TAlign::alRight) &&
            !w->isHidden())
            others += w->width();
        if ((align == TAlign::alTop || align == TAlign::alBottom) && (a == TAlign::alTop || a == TAlign::alBottom))
            others += w->height();
    }
    const int own = align == TAlign::alLeft || align == TAlign::alRight ? FControl->Width() : FControl->Height();
    FMaxSize = client - FMinSize - others + own;
    CalcSplitSize(x, y, FNewSize, FSplit);
    FOldSize = own;
    if (!FLine)
        FLine = std::make_unique<TExDockOverlay>(parent, 0);
    FKeyWatch = std::make_unique<KeyWatch>(*this);
    if (FResizeStyle == TResizeStyle::rsLine || FResizeStyle == TResizeStyle::rsPattern)
        DrawLine();
}

void TExDockCustomPanelSplitter::MouseMove(TShiftState shift, int x, int y)
{
    TExCustomControl::MouseMove(shift, x, y);
    if (!shift.Contains(ssLeft) || !FControl)
        return;
    int newSize = 0;
    int split = 0;
    CalcSplitSize(x, y, newSize, split);
    if (!AcceptSize(newSize) || newSize == FNewSize)
        return;
    if (FLineVisible)
        DrawLine();
    FNewSize = newSize;
    FSplit = split;
    if (FResizeStyle == TResizeStyle::rsUpdate)
        UpdateControlSize();
    if (FResizeStyle == TResizeStyle::rsLine || FResizeStyle == TResizeStyle::rsPattern)
        DrawLine();
}

void TExDockCustomPanelSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TExCustomControl::MouseUp(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !FControl)
        return;
    if (FLineVisible)
        DrawLine();
    UpdateControlSize();
    StopSizing();
}

void TExDockCustomPanelSplitter::DrawLine()
{
    FLineVisible = !FLineVisible;
    const TAlign align = AlignOf(*this);
    TRect r = BoundsRect();
    if (align == TAlign::alTop || align == TAlign::alBottom)
        OffsetRect(r, 0, FSplit);
    else
        OffsetRect(r, FSplit, 0);
    FLine->Xor(r);
}

void TExDockCustomPanelSplitter::UpdateControlSize()
{
    if (FNewSize == FOldSize || !FControl)
        return;
    const TAlign align = AlignOf(*this);
    switch (align) {
    case TAlign::alTop: FControl->SetBounds(FControl->Left(), FControl->Top(), FControl->Width(), FNewSize); break;
    case TAlign::alBottom: {
        const TAlignDisabler disabled(parentWidget());
        FControl->SetBounds(FControl->Left(), FControl->Top() + FControl->Height() - FNewSize, FControl->Width(),
                            FNewSize);
        break;
    }
    case TAlign::alLeft: FControl->SetBounds(FControl->Left(), FControl->Top(), FNewSize, FControl->Height()); break;
    case TAlign::alRight: {
        const TAlignDisabler disabled(parentWidget());
        FControl->SetBounds(FControl->Left() + FControl->Width() - FNewSize, FControl->Top(), FNewSize,
                            FControl->Height());
        break;
    }
    default: break;
    }
    Realign(parentWidget());
    Invalidate();
    if (OnMoved)
        OnMoved(this);
    FOldSize = FNewSize;
}

void TExDockCustomPanelSplitter::StopSizing()
{
    if (FLineVisible)
        DrawLine();
    if (FLine)
        FLine->Hide();
    FLineVisible = false;
    FControl = nullptr;
    FKeyWatch.reset();
    if (OnMoved)
        OnMoved(this);
}

void TExDockCustomPanelSplitter::Paint()
{
    const TRect r = ClientRect();
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(r);
    if (FBeveled) {
        const bool across = AlignOf(*this) == TAlign::alTop || AlignOf(*this) == TAlign::alBottom;
        TRect b = r;
        if (across)
            InflateRect(b, 2, -1);
        else
            InflateRect(b, -1, 2);
        OffsetRect(b, 1, 1);
        Canvas().Brush().SetColor(clBtnHighlight);
        Canvas().FrameRect(b);
        OffsetRect(b, -2, -2);
        Canvas().Brush().SetColor(clBtnShadow);
        Canvas().FrameRect(b);
    }
    if (OnPaint)
        OnPaint(this);
}
