#include "ExLib/run/docking/control/ExDockClient.h"

#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockHostForms.h"
#include "ExLib/run/docking/control/ExDockPanel.h"
#include "ExLib/run/docking/drag/ExDockDragObject.h"

#include "Platform/core/Application.h"

#include <QApplication>
#include <cstdio>

namespace {

// Tells the client when the focus enters or leaves its form.
class TFocusWatch : public QObject {
public:
    TFocusWatch(TExDockClient& client, TCustomForm* form) : QObject(form), FClient(client), FForm(form)
    {
        QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            const bool wasIn = old && (old == FForm || FForm->isAncestorOf(old));
            const bool isIn = now && (now == FForm || FForm->isAncestorOf(now));
            try {
                if (isIn && !wasIn)
                    FClient.FormEnterHook();
                else if (wasIn && !isIn)
                    FClient.FormExitHook();
            } catch (...) {
                HandleCurrentException();
            }
        });
    }

private:
    TExDockClient& FClient;
    TCustomForm* FForm;
};

TPoint MessagePoint(const TMessage& m)
{
    return {LowWordSigned(m.LParam), HighWordSigned(m.LParam)};
}

} // namespace

TExDockClient::TExDockClient(TComponent* AOwner) : TExDockBaseControl(AOwner)
{
    CheckSingleDockControl();
    TCustomForm* form = ParentForm();
    SetDragKind(*form, TDragKind::dkDock);
    SetDragMode(*form, TDragMode::dmAutomatic);
    if (!dynamic_cast<TExDockableForm*>(form))
        SetDockSite(form, true);
    SetLRDockWidth(100);
    SetTBDockHeight(100);
    if (!CurrentDockClient())
        SetCurrentDockClient(this);
    if (form->isWindow() && !form->windowFlags().testFlag(Qt::FramelessWindowHint)) {
        const bool visible = form->isVisible();
        form->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        if (visible)
            form->show();
    }
    FFocusWatch = new TFocusWatch(*this, form); // owned by the form as its child object
}

TExDockClient::~TExDockClient()
{
    // invariant: no process-wide reference outlives the client.
    if (CurrentDockClient() == this)
        SetCurrentDockClient(nullptr);
    TCustomForm* form = ParentForm();
    try {
        delete FFocusWatch;
        SetDockSite(form, false);
        SetDragKind(*form, TDragKind::dkDrag);
        SetDragMode(*form, TDragMode::dmManual);
        SetLastDockSite(nullptr);
        if (DockStyle())
            SetDockStyle(nullptr);
        GlobalDockManager()->UnregisterDockClient(this);
    } catch (...) {
        HandleCurrentException();
    }
}

int TExDockClient::LRDockWidth() const { return ::LRDockWidth(*ParentForm()); }
int TExDockClient::TBDockHeight() const { return ::TBDockHeight(*ParentForm()); }

void TExDockClient::SetLRDockWidth(int value)
{
    if (value != LRDockWidth())
        ::SetLRDockWidth(*ParentForm(), value);
}

void TExDockClient::SetTBDockHeight(int value)
{
    if (value != TBDockHeight())
        ::SetTBDockHeight(*ParentForm(), value);
}

void TExDockClient::SetDockLevel(int value)
{
    if (value != FDockLevel && HostDockSite(*ParentForm()))
        UndockControl(ParentForm());
    FDockLevel = value;
}

void TExDockClient::SetLastDockSite(TWinControlCore* site)
{
    if (site == FLastDockSite)
        return;
    if (FLastDockSite) {
        RemoveFreeNotification(FLastDockSite);
        if (IExDockManager* manager = ExDockManagerOf(dynamic_cast<TDockSite*>(FLastDockSite)))
            manager->RemoveControl(ParentForm());
    }
    FLastDockSite = site;
    if (site)
        FreeNotification(site);
}

void TExDockClient::Notification(TComponent* component, TOperation operation)
{
    TExDockBaseControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FLastDockSite)
        FLastDockSite = nullptr;
}

void TExDockClient::Assign(const TPersistent& source)
{
    if (const auto* other = dynamic_cast<const TExDockClient*>(&source)) {
        ConjoinPanelClass = other->ConjoinPanelClass;
        TabDockClass = other->TabDockClass;
        FNCPopupMenu = other->FNCPopupMenu;
        DirectDrag = other->DirectDrag;
        ShowHint = other->ShowHint;
        CanFloat = other->CanFloat;
        FDockLevel = other->FDockLevel;
        SetCustomDock(other->CustomDock());
        SetDockStyle(other->DockStyle());
    }
    TExDockBaseControl::Assign(source);
}

bool TExDockClient::DockedOnSide(TAlign side) const
{
    auto* panel = dynamic_cast<TExDockPanel*>(HostDockSite(*ParentForm()));
    return panel && AlignOf(*panel) == side;
}

bool TExDockClient::DockedInHost() const
{
    TDockSite* site = HostDockSite(*ParentForm());
    return site && dynamic_cast<TExDockableForm*>(site->SiteControl().Parent());
}

void TExDockClient::Redock()
{
    if (DockStyle())
        DockStyle()->RedockClient(this);
}

void TExDockClient::RedockFromSide(TAlign side)
{
    if (!ComponentState().Contains(csDestroying) && DockedOnSide(side))
        Redock();
}

void TExDockClient::RedockFromHost()
{
    if (!ComponentState().Contains(csDestroying) && DockedInHost())
        Redock();
}

void TExDockClient::SetLeftDock(bool value)
{
    if (!value)
        RedockFromSide(TAlign::alLeft);
    TExDockBaseControl::SetLeftDock(value);
}

void TExDockClient::SetRightDock(bool value)
{
    if (!value)
        RedockFromSide(TAlign::alRight);
    TExDockBaseControl::SetRightDock(value);
}

void TExDockClient::SetTopDock(bool value)
{
    if (!value)
        RedockFromSide(TAlign::alTop);
    TExDockBaseControl::SetTopDock(value);
}

void TExDockClient::SetBottomDock(bool value)
{
    if (!value)
        RedockFromSide(TAlign::alBottom);
    TExDockBaseControl::SetBottomDock(value);
}

void TExDockClient::SetEachOtherDock(bool value)
{
    if (!value)
        RedockFromHost();
    TExDockBaseControl::SetEachOtherDock(value);
}

void TExDockClient::SetEnableDock(bool value)
{
    if (!value) {
        for (TAlign side : {TAlign::alLeft, TAlign::alRight, TAlign::alTop, TAlign::alBottom})
            RedockFromSide(side);
        RedockFromHost();
    }
    TExDockBaseControl::SetEnableDock(value);
    SetDragKind(*ParentForm(), EnableDock() ? TDragKind::dkDock : TDragKind::dkDrag);
}

void TExDockClient::AttachStyle(TExDockBasicStyle* style)
{
    GlobalDockManager()->RegisterDockClient(this);
    ConjoinPanelClass = style->ConjoinPanelClass ? style->ConjoinPanelClass : [](TExDockConjoinHostForm* host) {
        return new TExDockConjoinPanel(host);
    };
    TabDockClass = style->TabDockClass ? style->TabDockClass
                                       : [](TExDockTabHostForm* host) { return new TExDockTabPageControl(host); };
}

void TExDockClient::DetachStyle(TExDockBasicStyle* style)
{
    (void)style;
    if (!FormDestroying()) {
        for (TAlign side : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight})
            RedockFromSide(side);
        RedockFromHost();
    }
    ConjoinPanelClass = nullptr;
    TabDockClass = nullptr;
    GlobalDockManager()->UnregisterDockClient(this);
}

void TExDockClient::FormCloseHook(TObject* sender, TCloseAction& action)
{
    if (action == TCloseAction::caHide && DockStyle())
        DockStyle()->HideForm(ParentForm());
    TExDockBaseControl::FormCloseHook(sender, action);
}

void TExDockClient::FormWindowProcHook(TMessage& m)
{
    if (DockStyle() && DockStyle()->ClientMessageHook(this, m))
        return;
    TCustomForm* form = ParentForm();
    const auto station = TExDockMouseStation::msFloat;
    switch (m.Msg) {
    case WM_ACTIVATE:
        if (auto* host = dynamic_cast<TExDockConjoinHostForm*>(form))
            if (TExDockConjoinPanel* panel = host->Panel())
                if (IExDockManager* manager = panel->ExDockManager())
                    manager->SetActiveControl(m.WParam != WA_INACTIVE ? FirstDockedControl(form) : nullptr);
        break;
    case WM_NCMOUSEMOVE: NCMouseMoveHook(m, station); break;
    case WM_NCLBUTTONDOWN:
        NCButtonDownHook(m, TMouseButton::mbLeft, station);
        SetCurrentDockClient(this);
        if (static_cast<int>(m.WParam) == HTCAPTION && DragKind(*form) == TDragKind::dkDock &&
            form->WindowState() != TWindowState::wsMinimized) {
            form->activateWindow();
            GlobalDockManager()->BeginControlDrag(form, DirectDrag, DirectDrag ? 1 : -1);
            return;
        }
        break;
    case WM_NCLBUTTONUP: NCButtonUpHook(m, TMouseButton::mbLeft, station); break;
    case WM_NCLBUTTONDBLCLK: NCButtonDblClkHook(m, TMouseButton::mbLeft, station); break;
    case WM_NCMBUTTONDOWN: NCButtonDownHook(m, TMouseButton::mbMiddle, station); break;
    case WM_NCMBUTTONUP: NCButtonUpHook(m, TMouseButton::mbMiddle, station); break;
    case WM_NCMBUTTONDBLCLK: NCButtonDblClkHook(m, TMouseButton::mbMiddle, station); break;
    case WM_NCRBUTTONDOWN:
        NCButtonDownHook(m, TMouseButton::mbRight, station);
        if (FNCPopupMenu)
            return;
        break;
    case WM_NCRBUTTONUP: NCButtonUpHook(m, TMouseButton::mbRight, station); break;
    case WM_NCRBUTTONDBLCLK: NCButtonDblClkHook(m, TMouseButton::mbRight, station); break;
    default: break;
    }
    CallSavedWindowProc(m);
    if (m.Msg == CM_TEXTCHANGED)
        if (auto* site = dynamic_cast<TExDockCustomControl*>(HostDockSite(*form)))
            site->RefreshHostCaption(nullptr);
}

void TExDockClient::ShowNCPopupMenu(int x, int y)
{
    if (FNCPopupMenu)
        FNCPopupMenu(ParentForm(), {x, y});
}

void TExDockClient::FormExitHook()
{
    if (auto* panel = dynamic_cast<TExDockCustomPanel*>(HostDockSite(*ParentForm())))
        if (IExDockManager* manager = panel->ExDockManager())
            manager->SetActiveControl(nullptr);
    // The style hears of the focus leaving the form as the form's own exit.
    if (DockStyle()) {
        TMessage m{CM_EXIT, 0, 0, 0};
        DockStyle()->ClientMessageHook(this, m);
    }
}

void TExDockClient::FormEnterHook()
{
    if (auto* panel = dynamic_cast<TExDockCustomPanel*>(HostDockSite(*ParentForm())))
        if (IExDockManager* manager = panel->ExDockManager())
            manager->SetActiveControl(ParentForm());
    if (DockStyle()) {
        TMessage m{CM_ENTER, 0, 0, 0};
        DockStyle()->ClientMessageHook(this, m);
    }
}

void TExDockClient::BeginDragHook(TExDockDragDockObject& source)
{
    if (DockStyle())
        DockStyle()->ClientBeginDrag(this, source);
}

void TExDockClient::DockRectHook(TExDockDragDockObject& source)
{
    if (DockStyle())
        DockStyle()->ClientDockRect(this, source);
}

void TExDockClient::DockOverHook(TExDockDragDockObject& source, int x, int y, TDragState state, bool& accept)
{
    DockRectHook(source);
    if (DockStyle())
        DockStyle()->ClientDockOver(this, source, x, y, state, accept);
}

void TExDockClient::DockDropHook(TExDockDragDockObject& source, int x, int y)
{
    if (DockStyle())
        DockStyle()->ClientDockDrop(this, source, x, y);
}

void TExDockClient::UndockHook(TWinControlCore* target, int x, int y)
{
    if (DockStyle())
        DockStyle()->ClientUndocked(this, target, x, y);
}

bool TExDockClient::UndockQueryHook(TWinControlCore* newTarget, TWinControlCore* control)
{
    return DockStyle() && DockStyle()->ClientMayUndock(this, newTarget, control);
}

void TExDockClient::SiteInfoHook(TExDockDragDockObject& source, TWinControlCore* dragged, TRect& influenceRect,
                                 TPoint mousePos, bool& canDock)
{
    influenceRect = ScreenBounds(*ParentForm());
    InflateRect(influenceRect, -4, -4);
    if (DockStyle())
        DockStyle()->ClientSiteInfo(source, this, dragged, influenceRect, mousePos, canDock);
}

void TExDockClient::DockEdgeHook(TExDockDragDockObject& source, TPoint mousePos, TAlign& align)
{
    if (DockStyle())
        DockStyle()->ClientDockEdge(this, source, mousePos, align);
    else
        align = TAlign::alNone;
}

namespace {

// Docks `control` into `site` keeping its docked sizes, which docking would change.
void DockKeepingSizes(TWinControlCore* control, TDockSite* site, TAlign align)
{
    const int lr = LRDockWidth(*control);
    const int tb = TBDockHeight(*control);
    ManualDock(*control, site, nullptr, align);
    SetLRDockWidth(*control, lr);
    SetTBDockHeight(*control, tb);
}

// The prefix, the two forms' names and eight hexadecimal digits of the host's identity.
std::string HostName(const char* prefix, TWinControlCore* control1, TWinControlCore* control2,
                     const TExDockableForm* host)
{
    char identity[9];
    std::snprintf(identity, sizeof identity, "%08X",
                  static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(host) & 0xFFFFFFFFu));
    return prefix + control1->Name() + "_" + control2->Name() + "_" + identity;
}

void PlaceHost(TExDockableForm* host, TWinControlCore* control1)
{
    const TRect r = ScreenBounds(*control1);
    host->setGeometry(r.Left, r.Top, UndockWidth(*control1), UndockHeight(*control1));
}

} // namespace

TExDockConjoinHostForm* TExDockClient::CreateConjoinHost(TWinControlCore* control1, TWinControlCore* control2,
                                                         TAlign side)
{
    auto* host = new TExDockConjoinHostForm(nullptr); // frees itself when it closes
    try {
        // why: a layout file finds hosts by name, so side-by-side hosts are named like tab hosts.
        host->SetName(HostName("TExDockConjoinHostForm_", control1, control2, host));
        host->DockClient()->Assign(*this);
        if (ConjoinPanelClass) {
            TExDockConjoinPanel* panel = ConjoinPanelClass(host);
            SetAlign(*panel, TAlign::alClient);
            host->SetDockableControl(panel);
            SetDockSite(panel, true);
            if (DockStyle())
                DockStyle()->ApplyConjoinOptions(panel);
        }
        PlaceHost(host, control1);
        if (TDockSite* site = host->DockingSite()) {
            DockKeepingSizes(control1, site, TAlign::alNone);
            DockKeepingSizes(control2, site, side);
        }
        SetDockSite(host, false);
    } catch (...) {
        delete host;
        throw;
    }
    return host;
}

TExDockTabHostForm* TExDockClient::CreateTabHost(TWinControlCore* control1, TWinControlCore* control2)
{
    auto* host = new TExDockTabHostForm(nullptr); // frees itself when it closes
    try {
        host->SetName(HostName("TExDockTabHostForm_", control1, control2, host));
        host->DockClient()->Assign(*this);
        if (TabDockClass) {
            TExDockTabPageControl* pages = TabDockClass(host);
            SetAlign(*pages, TAlign::alClient);
            host->SetDockableControl(pages);
            SetDockSite(pages, true);
            if (DockStyle())
                DockStyle()->ApplyTabOptions(pages);
            pages->SetName(pages->ClassName() + "_" + control1->Name() + "_" + control2->Name());
        }
        PlaceHost(host, control1);
        if (TDockSite* site = host->DockingSite()) {
            DockKeepingSizes(control1, site, TAlign::alClient);
            DockKeepingSizes(control2, site, TAlign::alClient);
        }
        SetDockSite(host, false);
    } catch (...) {
        delete host;
        throw;
    }
    if (OnTabHostFormCreated)
        OnTabHostFormCreated(this, host);
    return host;
}

void TExDockClient::NCButtonDownHook(const TMessage& m, TMouseButton button, TExDockMouseStation station)
{
    if (OnNCButtonDown) {
        const TPoint p = MessagePoint(m);
        OnNCButtonDown(this, button, p.X, p.Y, static_cast<int>(m.WParam), station);
    }
}

void TExDockClient::NCButtonUpHook(const TMessage& m, TMouseButton button, TExDockMouseStation station)
{
    const TPoint p = MessagePoint(m);
    if (OnNCButtonUp)
        OnNCButtonUp(this, button, p.X, p.Y, static_cast<int>(m.WParam), station);
    if (button == TMouseButton::mbRight)
        ShowNCPopupMenu(p.X, p.Y);
}

void TExDockClient::NCMouseMoveHook(const TMessage& m, TExDockMouseStation station)
{
    if (OnNCMouseMove) {
        const TPoint p = MessagePoint(m);
        OnNCMouseMove(this, p.X, p.Y, static_cast<int>(m.WParam), station);
    }
}

void TExDockClient::NCButtonDblClkHook(const TMessage& m, TMouseButton button, TExDockMouseStation station)
{
    if (OnNCButtonDblClk) {
        const TPoint p = MessagePoint(m);
        OnNCButtonDblClk(this, button, p.X, p.Y, static_cast<int>(m.WParam), station);
    }
}

void TExDockClient::AnnounceShown(bool shown)
{
    if (shown) {
        if (OnFormShow && ControlVisible(*ParentForm()))
            OnFormShow(this);
    } else if (OnFormHide) {
        OnFormHide(this);
    }
}

int TExDockClient::DockState()
{
    return DockStyle() ? DockStyle()->ClientDockState(this) : 0;
}
