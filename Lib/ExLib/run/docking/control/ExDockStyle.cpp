#include "ExLib/run/docking/control/ExDockStyle.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockHostForms.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/drag/ExDockDragObject.h"
#include "ExLib/run/docking/support/ExDockSupportProc.h"

#include "Platform/core/Application.h"
#include "Platform/docking/WindowOrder.h"

#include <QApplication>
#include <cmath>

// ---- server options

void TExDockBasicServerOption::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChangePending)
        Changed();
}

void TExDockBasicServerOption::Changed()
{
    if (FUpdateCount > 0) {
        FChangePending = true;
        return;
    }
    FChangePending = false;
    ResetDockControlOption();
}

void TExDockBasicServerOption::Assign(const TPersistent& source)
{
    if (!dynamic_cast<const TExDockBasicServerOption*>(&source))
        TPersistent::Assign(source);
}

TExDockBasicConjoinServerOption::TExDockBasicConjoinServerOption(TExDockBasicStyle* style)
    : TExDockBasicServerOption(style)
{
    SetGrabbersSize(12);
    SetSplitterWidth(4);
}

void TExDockBasicConjoinServerOption::SetGrabbersSize(int value)
{
    if (value == FGrabbersSize)
        return;
    FGrabbersSize = std::max(1, value);
    Changed();
}

void TExDockBasicConjoinServerOption::SetSplitterWidth(int value)
{
    if (value == FSplitterWidth)
        return;
    FSplitterWidth = std::max(1, value);
    Changed();
}

void TExDockBasicConjoinServerOption::ResetDockPanel(TExDockPanel* panel)
{
    if (IExDockManager* manager = panel ? panel->ExDockManager() : nullptr) {
        manager->SetGrabbersSize(FGrabbersSize);
        manager->SetSplitterWidth(FSplitterWidth);
    }
}

void TExDockBasicConjoinServerOption::ResetConjoinPanel(TExDockConjoinPanel* panel)
{
    if (IExDockManager* manager = panel ? panel->ExDockManager() : nullptr) {
        manager->SetGrabbersSize(FGrabbersSize);
        manager->SetSplitterWidth(FSplitterWidth);
    }
}

void TExDockBasicConjoinServerOption::ResetDockControlOption()
{
    for (TExDockBaseControl* control : DockStyle()->DockBaseControlList()) {
        if (auto* server = dynamic_cast<TExDockServer*>(control)) {
            ResetDockServerOption(server);
        } else if (auto* client = dynamic_cast<TExDockClient*>(control)) {
            if (auto* panel = dynamic_cast<TExDockConjoinPanel*>(HostDockSite(*client->ParentForm())))
                ResetDockClientOption(panel->Host()->DockClient());
        }
    }
}

void TExDockBasicConjoinServerOption::ResetDockServerOption(TExDockServer* server)
{
    for (int i = 0; i < 5; ++i)
        if (TExDockPanel* panel = server->DockPanelAt(i)) {
            ResetDockPanel(panel);
            panel->Invalidate();
        }
}

void TExDockBasicConjoinServerOption::ResetDockClientOption(TExDockClient* client)
{
    auto* host = client ? dynamic_cast<TExDockConjoinHostForm*>(client->ParentForm()) : nullptr;
    if (host && host->Panel()) {
        ResetConjoinPanel(host->Panel());
        host->Panel()->Invalidate();
    }
}

void TExDockBasicConjoinServerOption::Assign(const TPersistent& source)
{
    if (const auto* other = dynamic_cast<const TExDockBasicConjoinServerOption*>(&source)) {
        BeginUpdate();
        SetGrabbersSize(other->GrabbersSize());
        SetSplitterWidth(other->SplitterWidth());
        EndUpdate();
        return;
    }
    TExDockBasicServerOption::Assign(source);
}

void TExDockBasicTabServerOption::SetTabPosition(TTabPosition value)
{
    if (value == FTabPosition)
        return;
    FTabPosition = value;
    Changed();
}

void TExDockBasicTabServerOption::SetHotTrack(bool value)
{
    if (value == FHotTrack)
        return;
    FHotTrack = value;
    Changed();
}

void TExDockBasicTabServerOption::ResetTabPageControl(TExDockTabPageControl* control)
{
    if (!control)
        return;
    control->SetHotTrack(FHotTrack);
    control->SetTabPosition(FTabPosition);
}

void TExDockBasicTabServerOption::ResetDockControlOption()
{
    for (TExDockBaseControl* control : DockStyle()->DockBaseControlList())
        if (auto* client = dynamic_cast<TExDockClient*>(control))
            if (dynamic_cast<TExDockTabHostForm*>(client->ParentForm()))
                ResetDockClientOption(client);
}

void TExDockBasicTabServerOption::ResetDockClientOption(TExDockClient* client)
{
    auto* host = client ? dynamic_cast<TExDockTabHostForm*>(client->ParentForm()) : nullptr;
    if (host && host->PageControl()) {
        ResetTabPageControl(host->PageControl());
        host->PageControl()->Invalidate();
    }
}

void TExDockBasicTabServerOption::Assign(const TPersistent& source)
{
    if (const auto* other = dynamic_cast<const TExDockBasicTabServerOption*>(&source)) {
        BeginUpdate();
        SetTabPosition(other->TabPosition());
        SetHotTrack(other->HotTrack());
        EndUpdate();
        return;
    }
    TExDockBasicServerOption::Assign(source);
}

// ---- the style

TExDockBasicStyle::TExDockBasicStyle(TComponent* AOwner) : TExComponent(AOwner)
{
    DockPanelClass = [](TExDockServer* server) { return new TExDockPanel(server); };
    DockSplitterClass = [](TExDockServer* server) { return new TExDockSplitter(server); };
    ConjoinPanelClass = [](TExDockConjoinHostForm* host) { return new TExDockConjoinPanel(host); };
    TabDockClass = [](TExDockTabHostForm* host) { return new TExDockTabPageControl(host); };
    DockPanelTreeClass = [](TDockSite& site, TExDockZoneFactory zones) {
        return std::make_unique<TExDockTree>(site, std::move(zones));
    };
    ConjoinPanelTreeClass = DockPanelTreeClass;
    ConjoinServerOptionClass = [](TExDockBasicStyle* style) {
        return std::make_unique<TExDockBasicConjoinServerOption>(style);
    };
    TabServerOptionClass = [](TExDockBasicStyle* style) { return std::make_unique<TExDockBasicTabServerOption>(style); };
    CreateServerOptions();
}

TExDockBasicStyle::~TExDockBasicStyle()
{
    // The attached controls let go of the style while it is still whole.
    while (!FDockBaseControlList.empty()) {
        TExDockBaseControl* control = FDockBaseControlList.back();
        try {
            control->SetDockStyle(nullptr);
        } catch (...) {
            HandleCurrentException();
        }
        RemoveDockControl(control);
    }
    FreeServerOptions();
}

void TExDockBasicStyle::SetConjoinServerOption(const TExDockBasicConjoinServerOption& option)
{
    if (FConjoinServerOption)
        FConjoinServerOption->Assign(option);
}

void TExDockBasicStyle::SetTabServerOption(const TExDockBasicTabServerOption& option)
{
    if (FTabServerOption)
        FTabServerOption->Assign(option);
}

std::unique_ptr<TExDockDragDockObject> TExDockBasicStyle::CreateDragObject(TExDockClient* client,
                                                                           TWinControlCore* control)
{
    (void)client;
    return std::make_unique<TExDockDragDockObject>(control);
}

void TExDockBasicStyle::ClientBeginDrag(TExDockClient* client, TExDockDragDockObject& source)
{
    (void)client, (void)source;
}

void TExDockBasicStyle::ClientSiteInfo(TExDockDragDockObject& source, TExDockClient* client, TWinControlCore* dragged,
                                       TRect& influenceRect, TPoint mousePos, bool& canDock)
{
    (void)influenceRect, (void)mousePos;
    canDock = client->EnableDock() && client->EachOtherDock() &&
              CanDockOnto(client->ParentForm(), dragged, source.DropControl, source.DropAlign);
}

void TExDockBasicStyle::ClientDockOver(TExDockClient* client, TExDockDragDockObject& source, int x, int y,
                                       TDragState state, bool& accept)
{
    TCustomForm* form = client->ParentForm();
    accept = client->EnableDock() && client->EachOtherDock() &&
             CanDockOnto(HostSiteControl(form), source.Control, source.DropControl, source.DropAlign);
    if (accept && state == TDragState::dsDragMove) {
        TRect r;
        if (DockSideAtPoint(form, r, {x, y}) != TAlign::alNone)
            source.DockRect = r;
    }
}

void TExDockBasicStyle::ClientDockRect(TExDockClient* client, TExDockDragDockObject& source)
{
    (void)client;
    auto* site = dynamic_cast<TDockSite*>(source.DropTarget);
    if (site && site->UseDockManager() && site->DockManager()) {
        TRect r = ScreenBounds(*source.DropTarget);
        if (auto* panel = dynamic_cast<TExDockCustomPanel*>(source.DropTarget))
            panel->DockManager()->PositionDockRect(source.Control, source.DropControl, source.DropAlign, r);
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

void TExDockBasicStyle::ClientDockDrop(TExDockClient* client, TExDockDragDockObject& source, int x, int y)
{
    TCustomForm* form = client->ParentForm();
    TWinControlCore* dragged = source.Control;
    if (!CanDockOnto(form, dragged, source.DropControl, source.DropAlign))
        return;
    const TDesktopUpdateLock lock(!LayoutLoading());
    TRect preview;
    const TAlign side = DockSideAtPoint(form, preview, {x, y});
    if (auto* panel = dynamic_cast<TExDockPanel*>(HostDockSite(*form))) {
        if (side != TAlign::alClient) {
            const TRect bounds = panel->BoundsRect();
            ManualDock(*dragged, panel, nullptr, side);
            panel->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        } else if (auto* tabHost = dynamic_cast<TExDockTabHostForm*>(dragged)) {
            const TRect bounds = form->BoundsRect();
            if (TExDockTabPageControl* pages = tabHost->PageControl()) {
                ManualDock(*form, pages, nullptr, TAlign::alClient);
                if (TExDockTabSheet* page = pages->PageOfControl(form))
                    page->SetPageIndex(0);
            }
            tabHost->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
            ManualDock(*tabHost, panel, nullptr, TAlign::alClient);
            if (form->FormStyle() == TFormStyle::fsStayOnTop)
                tabHost->SetFormStyle(TFormStyle::fsStayOnTop);
        } else {
            const TPoint origin = panel->ClientToScreen({0, 0});
            TExDockTabHostForm* host = client->CreateTabHost(form, dragged);
            SetDockSite(form, false);
            SetDockSite(dragged, false);
            host->move(origin.X, origin.Y);
            ManualDock(*host, panel, nullptr, TAlign::alClient);
            host->Show();
        }
        return;
    }
    TExDockableForm* host = nullptr;
    switch (side) {
    case TAlign::alClient: host = client->CreateTabHost(form, dragged); break;
    case TAlign::alLeft:
    case TAlign::alTop:
    case TAlign::alRight:
    case TAlign::alBottom: host = client->CreateConjoinHost(form, dragged, side); break;
    default: break;
    }
    if (!host)
        return;
    SetDockSite(form, false);
    SetDockSite(dragged, false);
    host->Show();
    BringWindowToTop(host);
    SetLRDockWidth(*host, LRDockWidth(*dragged));
    SetTBDockHeight(*host, TBDockHeight(*dragged));
}

void TExDockBasicStyle::ClientUndocked(TExDockClient* client, TWinControlCore* target, int x, int y)
{
    (void)client, (void)target, (void)x, (void)y;
}

bool TExDockBasicStyle::ClientMayUndock(TExDockClient* client, TWinControlCore* newTarget, TWinControlCore* control)
{
    (void)client, (void)newTarget, (void)control;
    return true;
}

void TExDockBasicStyle::ClientDockEdge(TExDockClient* client, TExDockDragDockObject& source, TPoint mousePos,
                                       TAlign& align)
{
    (void)source;
    align = DockEdgeOf(*client->ParentForm(), mousePos);
}

void TExDockBasicStyle::CreateServerOptions()
{
    if (!FConjoinServerOption && ConjoinServerOptionClass)
        FConjoinServerOption = ConjoinServerOptionClass(this);
    if (!FTabServerOption && TabServerOptionClass)
        FTabServerOption = TabServerOptionClass(this);
}

void TExDockBasicStyle::FreeServerOptions()
{
    FConjoinServerOption.reset();
    FTabServerOption.reset();
}

void TExDockBasicStyle::PrepareDockControl(bool loadingOrDesigning, TExDockBaseControl* control)
{
    (void)loadingOrDesigning, (void)control;
}

bool TExDockBasicStyle::ServerMessageHook(TExDockServer* server, TMessage& message)
{
    (void)server, (void)message;
    return false;
}

bool TExDockBasicStyle::ClientMessageHook(TExDockClient* client, TMessage& message)
{
    (void)client, (void)message;
    return false;
}

void TExDockBasicStyle::AddDockControl(TExDockBaseControl* control)
{
    if (!control)
        return;
    if (std::find(FDockBaseControlList.begin(), FDockBaseControlList.end(), control) == FDockBaseControlList.end())
        FDockBaseControlList.push_back(control);
    if (FConjoinServerOption)
        FConjoinServerOption->ResetDockControlOption();
    if (FTabServerOption)
        FTabServerOption->ResetDockControlOption();
}

void TExDockBasicStyle::RemoveDockControl(TExDockBaseControl* control)
{
    FDockBaseControlList.erase(std::remove(FDockBaseControlList.begin(), FDockBaseControlList.end(), control),
                               FDockBaseControlList.end());
}

void TExDockBasicStyle::ApplyConjoinOptions(TWinControlCore* control)
{
    IExDockManager* manager = ExDockManagerOf(dynamic_cast<TDockSite*>(control));
    if (!manager || !FConjoinServerOption)
        return;
    manager->SetGrabbersSize(FConjoinServerOption->GrabbersSize());
    manager->SetSplitterWidth(FConjoinServerOption->SplitterWidth());
}

void TExDockBasicStyle::ApplyTabOptions(TExDockCustomTabControl* control)
{
    if (!control || !FTabServerOption)
        return;
    control->SetHotTrack(FTabServerOption->HotTrack());
    control->SetTabPosition(FTabServerOption->TabPosition());
}

void TExDockBasicStyle::SetDragCursor(TExDockDragDockObject& source)
{
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (source.DropTarget || !Floating(*source.Control)) {
        TExDockClient* current = CurrentDockClient();
        shape = source.DropTarget || (current && current->CanFloat) ? Qt::ArrowCursor : Qt::ForbiddenCursor;
    }
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(QCursor(shape));
}

int TExDockBasicStyle::ClientDockState(TExDockClient* client)
{
    if (!client || !client->ParentForm())
        return 0;
    return HostDockSite(*client->ParentForm()) ? 1 : 2;
}

bool TExDockBasicStyle::IsClientShowing(TExDockClient* client)
{
    if (!client)
        return true;
    TCustomForm* form = client->ParentForm();
    if (!ControlVisible(*form))
        return false;
    TDockSite* site = HostDockSite(*form);
    if (!site)
        return true;
    if (auto* panel = dynamic_cast<TExDockPanel*>(site))
        return panel->Width() * panel->Height() > 0;
    TExDockClient* hostClient = FindDockClientOf(site->SiteControl().Parent());
    if (!hostClient || !hostClient->DockStyle())
        return true;
    return hostClient->DockStyle()->IsClientShowing(hostClient);
}

void TExDockBasicStyle::RestoreClient(TExDockClient* client)
{
    client->ParentForm()->SetVisible(true);
    client->AnnounceShown(true);
}

void TExDockBasicStyle::HideClient(TExDockClient* client)
{
    client->ParentForm()->SetVisible(false);
    client->AnnounceShown(false);
}

void TExDockBasicStyle::ShowOne(TWinControlCore* c, TWinControlCore* h)
{
    auto* host = dynamic_cast<TExDockableForm*>(h);
    if (host && c) {
        if (TDockSite* site = host->DockingSite())
            for (int i = 0; i < site->DockClientCount(); ++i)
                if (site->DockClients(i) != c)
                    SyncClientShown(site->DockClients(i), true);
        if (auto* custom = dynamic_cast<TExDockCustomControl*>(HostDockSite(*c)))
            custom->RefreshHostCaption(nullptr);
    } else if (TExDockClient* client = FindDockClientOf(h); client && client->DockStyle()) {
        client->DockStyle()->RestoreClient(client);
        TCustomForm* parentForm = h->Parent() ? FormOf(h->Parent()) : nullptr;
        TExDockServer* server = parentForm ? FindDockServerOf(parentForm) : nullptr;
        if ((!server || server->AutoFocusDockedForm()) && h->CanFocus())
            h->SetFocus();
    }
    if (!h->Parent() && h->Widget()->isWindow()) {
        BringWindowToTop(h->Widget());
        h->Widget()->activateWindow();
    }
}

void TExDockBasicStyle::ShowForm(TCustomForm* form)
{
    TWinControlCore* f = form;
    bool first = true;
    while (f && (first || f->Parent())) {
        first = false;
        if (!HostDockSite(*f))
            ShowOne(nullptr, f);
        // The tab step.
        TWinControlCore* r = f;
        while (auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*r))) {
            ShowOne(nullptr, r);
            if (TExDockTabSheet* page = pages->PageOfControl(r)) {
                page->SetVisible(true);
                pages->SetActivePage(page);
            }
            TWinControlCore* host = pages->Parent();
            if (!host)
                break;
            ShowOne(r, host);
            r = host;
            if (!dynamic_cast<TExDockTabPageControl*>(HostDockSite(*r)))
                ShowOne(nullptr, r);
        }
        // The conjoin step.
        while (HostDockSite(*r) && !dynamic_cast<TExDockPanel*>(HostDockSite(*r))) {
            ShowOne(nullptr, r);
            TWinControlCore* host = HostSiteControl(r)->Parent();
            if (!host)
                break;
            ShowOne(r, host);
            r = host;
            if (!dynamic_cast<TExDockConjoinPanel*>(HostDockSite(*r))) {
                ShowOne(nullptr, r);
                break;
            }
        }
        // The panel step.
        if (auto* panel = dynamic_cast<TExDockPanel*>(HostDockSite(*r))) {
            ShowOne(nullptr, r);
            panel->ShowDockPanel(true, r, false);
            return;
        }
        f = r;
    }
}

void TExDockBasicStyle::HideTree(TWinControlCore* form)
{
    if (auto* host = dynamic_cast<TExDockableForm*>(form); host && ControlVisible(*host))
        if (TDockSite* site = host->DockingSite()) {
            std::vector<TWinControlCore*> clients;
            for (int i = 0; i < site->DockClientCount(); ++i)
                clients.push_back(site->DockClients(i));
            for (TWinControlCore* c : clients)
                HideTree(c);
        }
    if (auto* f = dynamic_cast<TCustomForm*>(form); f && f->FormStyle() != TFormStyle::fsMDIChild)
        if (TExDockClient* client = FindDockClientOf(f); client && client->DockStyle())
            client->DockStyle()->HideClient(client);
}

void TExDockBasicStyle::CollapseUp(TWinControlCore* form)
{
    TDockSite* site = HostDockSite(*form);
    if (!site || KeepsEmptyHosts(form) || site->VisibleDockClientCount() > 0)
        return;
    if (auto* panel = dynamic_cast<TExDockPanel*>(site)) {
        panel->ShowDockPanel(false, nullptr, true);
        return;
    }
    TWinControlCore* host = site->SiteControl().Parent();
    if (!host)
        return;
    if (TExDockClient* client = FindDockClientOf(host); client && client->DockStyle())
        client->DockStyle()->HideClient(client);
    CollapseUp(host);
}

void TExDockBasicStyle::HideForm(TCustomForm* form)
{
    HideTree(form);
    CollapseUp(form);
    if (auto* custom = dynamic_cast<TExDockCustomControl*>(HostDockSite(*form)))
        custom->RefreshHostCaption(form);
}

void TExDockBasicStyle::FloatClient(TExDockClient* client)
{
    TCustomForm* form = client->ParentForm();
    if (!HostDockSite(*form))
        return;
    const int x = client->UnDockLeft;
    const int y = client->UnDockTop;
    ManualFloat(*form, Bounds(x, y, UndockWidth(*form), UndockHeight(*form)));
    if (form->Left() != x || form->Top() != y)
        form->move(x, y);
}

void TExDockBasicStyle::RedockClient(TExDockClient* client)
{
    if (!client || !client->CanFloat || !client->EnableDock())
        return;
    TCustomForm* form = client->ParentForm();
    TWinControlCore* last = client->LastDockSite();
    auto forbids = [](const TExDockBaseControl* c, TAlign align) {
        return (!c->LeftDock() && align == TAlign::alLeft) || (!c->RightDock() && align == TAlign::alRight) ||
               (!c->TopDock() && align == TAlign::alTop) || (!c->BottomDock() && align == TAlign::alBottom);
    };
    if (auto* lastPanel = dynamic_cast<TExDockPanel*>(last)) {
        const TAlign side = AlignOf(*lastPanel);
        TExDockServer* server = lastPanel->DockServer();
        if (forbids(client, side) || (server && (!server->EnableDock() || forbids(server, side)))) {
            FloatClient(client);
            return;
        }
    }
    if (auto* conjoin = dynamic_cast<TExDockConjoinHostForm*>(form)) {
        TDockSite* site = conjoin->DockingSite();
        for (int i = site ? site->DockClientCount() - 1 : -1; i >= 0; --i) {
            TExDockClient* inner = FindDockClientOf(site->DockClients(i));
            if (inner && dynamic_cast<TExDockPanel*>(inner->LastDockSite()) && inner->DockStyle())
                inner->DockStyle()->RedockClient(inner);
        }
        return;
    }
    TWinControlCore* remembered = last;
    const int x = client->UnDockLeft;
    const int y = client->UnDockTop;
    if (HostDockSite(*form)) {
        RecordUndockPosition(client, nullptr);
    } else {
        // why: a floating form goes back into the zone it keeps in its last panel; recording
        // "no panel" now would give that zone up first.
        client->UnDockLeft = form->Left();
        client->UnDockTop = form->Top();
    }
    const int recordedLeft = client->UnDockLeft;
    const int recordedTop = client->UnDockTop;
    client->UnDockLeft = x;
    client->UnDockTop = y;
    FloatClient(client);
    client->UnDockLeft = recordedLeft;
    client->UnDockTop = recordedTop;
    auto* panel = dynamic_cast<TExDockPanel*>(remembered);
    IExDockManager* manager = panel ? panel->ExDockManager() : nullptr;
    if (!panel || !manager || !manager->HasZone(form))
        return;
    {
        const TAlignDisabler disabled(panel->Widget());
        Dock(*form, panel, TRect{});
        manager->ShowControlZone(form);
    }
    form->SetActiveControl(nullptr);
    SetDockSite(form, false);
    if (ControlVisible(*form) && form->CanFocus())
        form->SetFocus();
    panel->ShowDockPanel(true, form, false);
}

bool TExDockAdvStyle::ClientMessageHook(TExDockClient* client, TMessage& message)
{
    if (message.Msg == WM_NCLBUTTONDBLCLK && client->CanFloat && client->DockStyle())
        client->DockStyle()->RedockClient(client);
    return false;
}
