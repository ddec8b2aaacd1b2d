#include "ExLib/run/docking/sites/ExDockCustomControl.h"

#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockHostForms.h"
#include "ExLib/run/docking/drag/ExDockDragObject.h"

#include <QPainter>
#include <cmath>

TExDockCustomControl::TExDockCustomControl(TComponent* AOwner, QWidget* parent)
    : TExCustomControl(AOwner, parent), TDockSite(static_cast<TWinControlCore&>(*this))
{
}

TExDockCustomControl::~TExDockCustomControl()
{
    // invariant: the site lets go of its clients and its tree while it is still whole.
    ReleaseDockClients();
    ReleaseDockManager();
}

void TExDockCustomControl::QuerySiteInfo(TExDockDragDockObject& source, TWinControlCore* client,
                                         TRect& influenceRect, TPoint mousePos, bool& canDock)
{
    (void)source, (void)client, (void)mousePos, (void)canDock;
    influenceRect = ScreenBounds(*this);
    InflateRect(influenceRect, 10, 10);
}

void TExDockCustomControl::DragOverSite(TExDockDragDockObject& source, int x, int y, TDragState state, bool& accept)
{
    (void)x, (void)y, (void)state, (void)accept;
    PositionDropRect(source);
}

void TExDockCustomControl::PositionDropRect(TExDockDragDockObject& source)
{
    auto* target = dynamic_cast<TDockSite*>(source.DropTarget);
    if (target && target->UseDockManager() && target->DockManager()) {
        TRect r = ScreenBounds(*source.DropTarget);
        if (auto* panel = dynamic_cast<TExDockCustomPanel*>(source.DropTarget))
            if (IDockManager* manager = panel->DockManager())
                manager->PositionDockRect(source.Control, source.DropControl, source.DropAlign, r);
        source.DockRect = r;
        return;
    }
    const int w = UndockWidth(*source.Control);
    const int h = UndockHeight(*source.Control);
    const int left = static_cast<int>(std::nearbyint(source.DragPos.X - w * source.MouseRatioX));
    const int top = static_cast<int>(std::nearbyint(source.DragPos.Y - h * source.MouseRatioY));
    TRect r = Bounds(left, top, w, h);
    source.KeepMouseInRect(r);
    source.DockRect = r;
}

void TExDockCustomControl::DropOnSite(TExDockDragDockObject& source, int x, int y)
{
    (void)x, (void)y;
    TWinControlCore* control = source.Control;
    TRect r = source.DockRect;
    const TPoint origin = ClientToScreen({0, 0});
    OffsetRect(r, -origin.X, -origin.Y);
    {
        const TAlignDisabler disabled(Widget());
        Dock(*control, this, r);
        if (UseDockManager() && DockManager())
            DockManager()->InsertControl(control, source.DropAlign, source.DropControl);
    }
    if (TCustomForm* form = FormOf(this))
        form->raise();
    SettleDroppedForm(control);
}

bool TExDockCustomControl::UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client)
{
    return Perform(CM_UNDOCKCLIENT, reinterpret_cast<WPARAM>(newTarget), reinterpret_cast<LPARAM>(client)) == 0;
}

void TExDockCustomControl::QueryDockEdge(TExDockDragDockObject& source, TPoint mousePos, TAlign& align)
{
    (void)source;
    align = DockEdgeOf(*this, mousePos);
}

void TExDockCustomControl::RefreshHostCaption(TWinControlCore* exclude)
{
    auto* host = dynamic_cast<TExDockableForm*>(Parent());
    if (!host)
        return;
    std::string caption;
    for (int i = 0; i < DockClientCount(); ++i) {
        TWinControlCore* c = DockClients(i);
        if (c != exclude && ControlVisible(*c))
            caption += c->Text() + " ";
    }
    host->SetCaption(caption);
    TDockSite* outer = HostDockSite(*host);
    if (auto* pages = dynamic_cast<TExDockTabPageControl*>(outer))
        if (TExDockTabSheet* active = pages->ActivePage(); active && pages->PageOfControl(host) == active)
            active->SetCaption(host->Caption());
    if (auto* outerControl = dynamic_cast<TExDockCustomControl*>(outer))
        outerControl->RefreshHostCaption(nullptr);
}

void TExDockCustomControl::UndockClientMessage(TMessage& m)
{
    HandOverToFloatingChild(reinterpret_cast<TWinControlCore*>(m.LParam));
    DefaultDockHandler(m);
}

void TExDockCustomControl::HandOverToFloatingChild(TWinControlCore* control)
{
    // A host that leaves hands its place to the form it floated when it closed.
    auto* leaving = dynamic_cast<TExDockableForm*>(control);
    if (leaving && leaving->FloatingChild) {
        TWinControlCore* child = leaving->FloatingChild;
        // A form that filled a tab page is laid out by this site's manager from now on.
        SetAlign(*child, TAlign::alNone);
        if (dynamic_cast<TExDockTabPageControl*>(this)) {
            ManualDock(*child, this, nullptr, TAlign::alNone);
        } else {
            const TAlignDisabler disabled(Widget());
            TRect r = ScreenBounds(*this);
            Dock(*child, this, Rect(0, 0, r.Width(), r.Height()));
        }
        child->SetVisible(true);
        if (auto* manager = ExDockManager())
            manager->ReplaceZoneControl(leaving, child);
    }
}

void TExDockCustomControl::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case CM_DOCKCLIENT: DockClientMessage(m); return;
    case CM_UNDOCKCLIENT: UndockClientMessage(m); return;
    case CM_DOCKNOTIFICATION: DockNotification(m); return;
    default: TExCustomControl::WndProc(m);
    }
}

void TExDockCustomControl::Paint()
{
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(ClientRect());
    if (UseDockManager() && DockManager())
        DockManager()->PaintSite(Canvas().Handle());
}

void TExDockCustomControl::Resized()
{
    if (UseDockManager() && DockManager())
        DockManager()->ResetBounds(false);
}

TExDockCustomPanel::TExDockCustomPanel(TComponent* AOwner, QWidget* parent) : TExDockCustomControl(AOwner, parent)
{
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                  csDoubleClicks, csReplicatable});
    SetColor(clBtnFace);
    setAutoFillBackground(true);
    SetUseDockManager(true);
}

TExDockCustomPanel::~TExDockCustomPanel()
{
    SetDockSite(this, false);
}

std::unique_ptr<IDockManager> TExDockCustomPanel::CreateDockManager()
{
    auto tree = std::make_unique<TExDockTree>(*this, nullptr);
    setAttribute(Qt::WA_OpaquePaintEvent);
    return tree;
}
