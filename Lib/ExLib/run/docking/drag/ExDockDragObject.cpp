#include "ExLib/run/docking/drag/ExDockDragObject.h"

#include "ExLib/run/docking/control/ExDockGlobals.h"

#include <QApplication>
#include <QWidget>

TExDockDragDockObject::TExDockDragDockObject(TWinControlCore* control) : Control(control) {}

TExDockDragDockObject::~TExDockDragDockObject() = default;

void TExDockDragDockObject::GetFrameInfo(int& thickness, bool erase, TRect& rect)
{
    thickness = GetFrameThickness();
    rect = erase ? ShownRect : DockRect;
}

void TExDockDragDockObject::DrawFrame(bool erase)
{
    int thickness = 0;
    TRect r;
    GetFrameInfo(thickness, erase, r);
    if (!FOverlay)
        FOverlay = std::make_unique<TExDockOverlay>(nullptr, thickness);
    if (erase) {
        // Erasing what shows; a frame that is not shown stays hidden.
        if (FOverlay->Shown() && FOverlay->ShownRect() == r)
            FOverlay->Hide();
        return;
    }
    FOverlay->Xor(r);
}

void TExDockDragDockObject::UpdateFrame(bool wasDragging)
{
    if (DockRect == ShownRect && FOverlay && FOverlay->Shown())
        return;
    if (wasDragging)
        DrawFrame(true);
    DrawFrame(false);
    ShownRect = DockRect;
}

void TExDockDragDockObject::KeepMouseInRect(TRect& r)
{
    if (DragPos.X < r.Left || DragPos.X > r.Right) {
        const int toLeft = DragPos.X - r.Left;
        const int toRight = DragPos.X - r.Right;
        OffsetRect(r, std::abs(toLeft) < std::abs(toRight) ? toLeft : toRight, 0);
    }
    if (DragPos.Y < r.Top || DragPos.Y > r.Bottom) {
        const int toTop = DragPos.Y - r.Top;
        const int toBottom = DragPos.Y - r.Bottom;
        OffsetRect(r, 0, std::abs(toTop) < std::abs(toBottom) ? toTop : toBottom);
    }
}

void TExDockDragDockObject::NotifyEnd(TWinControlCore* target, int x, int y)
{
    if (TExGlobalDockManager* manager = GlobalDockManager())
        manager->NotifyDragEnd(target, x, y);
}

void TExDockDragDockObject::CompleteDrag(TWinControlCore* target, int x, bool accepted, int y)
{
    NotifyEnd(accepted ? target : nullptr, x, y);
}

Qt::CursorShape TExDockDragDockObject::DragCursorFor(bool accepted, int x, int y)
{
    (void)accepted, (void)x, (void)y;
    return Qt::ArrowCursor;
}

TWinControlCore* TExDockDragDockObject::FindDropControl()
{
    auto* site = dynamic_cast<TDockSite*>(DropTarget);
    if (!site || !site->DockManager() || site->DockClientCount() == 0)
        return nullptr;
    if (site->DockClientCount() == 1 && site->DockClients(0) == Control)
        return nullptr;
    QWidget* siteWidget = DropTarget->Widget();
    QWidget* w = siteWidget->childAt(siteWidget->mapFromGlobal(DragPos.ToQt()));
    for (; w && w != siteWidget; w = w->parentWidget())
        if (TWinControlCore* c = TWinControlCore::ControlOf(w); c && site->HasDockClient(c))
            return c;
    return nullptr;
}
