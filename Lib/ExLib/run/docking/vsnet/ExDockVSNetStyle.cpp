#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/vsnet/ExDockVSChannel.h"
#include "ExLib/run/docking/vsnet/ExDockVSNetTree.h"

#include "Platform/core/Application.h"

#include <QApplication>
#include <QCursor>
#include <QTimer>

// ---- channel option

void TExDockVSNETChannelOption::SetActivePaneSize(int value)
{
    value = std::max(24, value);
    if (value == FActivePaneSize)
        return;
    FActivePaneSize = value;
    Changed();
}

void TExDockVSNETChannelOption::ResetDockControlOption()
{
    for (TExDockBaseControl* control : DockStyle()->DockBaseControlList())
        if (auto* server = dynamic_cast<TExDockServer*>(control))
            ResetDockServerOption(server);
}

void TExDockVSNETChannelOption::ResetDockServerOption(TExDockServer* server)
{
    for (TExDockVSChannel* channel : ChannelsOf(server))
        channel->SetMaxTabLength(FActivePaneSize);
}

void TExDockVSNETChannelOption::ResetDockClientOption(TExDockClient* client)
{
    if (!client)
        return;
    if (TExDockVSChannel* channel = ChannelOfControl(client->ParentForm()))
        channel->SetMaxTabLength(FActivePaneSize);
}

void TExDockVSNETChannelOption::Assign(const TPersistent& source)
{
    if (const auto* other = dynamic_cast<const TExDockVSNETChannelOption*>(&source)) {
        FShowImage = other->FShowImage;
        FMouseleaveHide = other->FMouseleaveHide;
        FHideHoldTime = other->FHideHoldTime;
        FTabColor = other->FTabColor;
        SetActivePaneSize(other->FActivePaneSize);
        return;
    }
    TExDockBasicServerOption::Assign(source);
}

// ---- the style

TExDockVSNetStyle::TExDockVSNetStyle(TComponent* AOwner) : TExDockVIDStyle(AOwner)
{
    UseVSNETClasses();
}

TExDockVSNetStyle::~TExDockVSNetStyle()
{
    FHideTimer.reset();
    // The attached controls let go of the style while its own parts are still whole.
    while (!DockBaseControlList().empty()) {
        TExDockBaseControl* control = DockBaseControlList().back();
        try {
            control->SetDockStyle(nullptr);
        } catch (...) {
            HandleCurrentException();
        }
        RemoveDockControl(control);
    }
}

void TExDockVSNetStyle::UseVSNETClasses()
{
    DockPanelClass = [](TExDockServer* server) { return new TExDockVSNETPanel(server); };
    DockSplitterClass = [](TExDockServer* server) { return new TExDockVSNETSplitter(server); };
    ConjoinPanelClass = [](TExDockConjoinHostForm* host) { return new TExDockVSNETConjoinPanel(host); };
    TabDockClass = [](TExDockTabHostForm* host) { return new TExDockVSNETTabPageControl(host); };
    DockPanelTreeClass = [](TDockSite& site, TExDockZoneFactory zones) {
        return std::make_unique<TExDockVSNETTree>(site, std::move(zones));
    };
    ConjoinPanelTreeClass = DockPanelTreeClass;
    DockPanelZoneClass = VSNETZoneClass();
    ConjoinPanelZoneClass = VSNETZoneClass();
    ConjoinServerOptionClass = [](TExDockBasicStyle* style) {
        return std::make_unique<TExDockVSNETConjoinServerOption>(style);
    };
    TabServerOptionClass = [](TExDockBasicStyle* style) {
        return std::make_unique<TExDockVSNETTabServerOption>(style);
    };
    ChannelOptionClass = [](TExDockBasicStyle* style) { return std::make_unique<TExDockVSNETChannelOption>(style); };
    FreeServerOptions();
    CreateServerOptions();
}

void TExDockVSNetStyle::SetChannelOption(const TExDockVSNETChannelOption& option)
{
    if (FChannelOption)
        FChannelOption->Assign(option);
}

void TExDockVSNetStyle::CreateServerOptions()
{
    TExDockVIDStyle::CreateServerOptions();
    if (!FChannelOption && ChannelOptionClass)
        FChannelOption = ChannelOptionClass(this);
}

void TExDockVSNetStyle::FreeServerOptions()
{
    TExDockVIDStyle::FreeServerOptions();
    FChannelOption.reset();
}

bool TExDockVSNetStyle::ServerMessageHook(TExDockServer* server, TMessage& message)
{
    const bool result = TExDockVIDStyle::ServerMessageHook(server, message);
    if (message.Msg == WM_SIZE)
        for (TExDockVSChannel* channel : ChannelsOf(server))
            channel->CollapsePopup(channel->ShownPane);
    return result;
}

bool TExDockVSNetStyle::ClientMessageHook(TExDockClient* client, TMessage& message)
{
    const bool result = TExDockVIDStyle::ClientMessageHook(client, message);
    TCustomForm* form = client->ParentForm();
    switch (message.Msg) {
    case CM_MOUSEENTER: MouseLeftClient = false; break;
    case CM_MOUSELEAVE: MouseLeftClient = !ScreenBounds(*form).Contains(TPoint::FromQt(QCursor::pos())); break;
    case CM_EXIT:
        if (TExDockVSChannel* channel = ChannelOfControl(form))
            channel->SlideInPopup();
        break;
    case CM_ENTER: CollapseOtherChannels(ChannelOfControl(form)); break;
    default: break;
    }
    return result;
}

void TExDockVSNetStyle::AddDockControl(TExDockBaseControl* control)
{
    TExDockVIDStyle::AddDockControl(control);
    if (FChannelOption)
        FChannelOption->ResetDockControlOption();
    if (auto* server = dynamic_cast<TExDockServer*>(control))
        if (std::find(FChannelServers.begin(), FChannelServers.end(), server) == FChannelServers.end())
            FChannelServers.push_back(server);
}

void TExDockVSNetStyle::RemoveDockControl(TExDockBaseControl* control)
{
    TExDockVIDStyle::RemoveDockControl(control);
    if (auto* server = dynamic_cast<TExDockServer*>(control)) {
        FChannelServers.erase(std::remove(FChannelServers.begin(), FChannelServers.end(), server),
                              FChannelServers.end());
        if (FChannelServers.empty())
            StopHideTimer();
    }
}

void TExDockVSNetStyle::ShowForm(TCustomForm* form)
{
    TExDockVIDStyle::ShowForm(form);
    if (TExDockVSChannel* channel = ChannelOfControl(form)) {
        // A popup that a command opens (the syntax check's output) stays out until the mouse has
        // been on it and left; a mouse that left some earlier popup would slide it back at once.
        MouseLeftClient = false;
        channel->SlideOutForm(form);
    }
}

bool TExDockVSNetStyle::KeepsEmptyHosts(TWinControlCore* control)
{
    return ChannelOfControl(control) != nullptr;
}

void TExDockVSNetStyle::HideForm(TCustomForm* form)
{
    TExDockVIDStyle::HideForm(form);
    if (TExDockVSChannel* channel = ChannelOfControl(form))
        channel->CollapsePopupOf(form);
}

void TExDockVSNetStyle::RestoreClient(TExDockClient* client)
{
    TExDockVIDStyle::RestoreClient(client);
    SetPaneVisible(client, true);
}

void TExDockVSNetStyle::HideClient(TExDockClient* client)
{
    TExDockVIDStyle::HideClient(client);
    SetPaneVisible(client, false);
}

bool TExDockVSNetStyle::IsClientShowing(TExDockClient* client)
{
    if (client)
        if (TExDockVSChannel* channel = ChannelOfControl(client->ParentForm())) {
            TExDockVSPane* pane = channel->PaneForControl(client->ParentForm());
            return !pane || pane->Visible;
        }
    return TExDockVIDStyle::IsClientShowing(client);
}

void TExDockVSNetStyle::RedockClient(TExDockClient* client)
{
    if (client && !ChannelOfControl(client->ParentForm()))
        TExDockVIDStyle::RedockClient(client);
}

void TExDockVSNetStyle::ShowFormInChannel(TCustomForm* form)
{
    TExDockVIDStyle::ShowForm(form);
    if (TExDockVSChannel* channel = ChannelOfControl(form))
        channel->ShowFormAtOnce(form);
}

void TExDockVSNetStyle::SetPaneVisible(TExDockClient* client, bool visible)
{
    TCustomForm* form = client ? client->ParentForm() : nullptr;
    TExDockVSChannel* channel = form ? ChannelOfControl(form) : nullptr;
    TExDockVSPane* pane = channel ? channel->PaneForControl(form) : nullptr;
    if (!pane)
        return;
    pane->Visible = visible;
    TExDockVSBlock* block = pane->Block;
    if (visible) {
        block->SetActiveForm(form);
    } else {
        TExDockVSPane* next = nullptr;
        for (int i = pane->Index - 1; i >= 0 && !next; --i)
            if (block->Pane(i)->Visible)
                next = block->Pane(i);
        for (int i = pane->Index + 1; i < block->PaneCount() && !next; ++i)
            if (block->Pane(i)->Visible)
                next = block->Pane(i);
        if (next)
            block->SetActiveForm(next->Form);
    }
    if (auto* sheet = dynamic_cast<TExDockVSNETTabSheet*>(form->Parent()))
        sheet->ShownInChannel = visible;
    channel->UpdatePlacement();
    channel->Invalidate();
}

void TExDockVSNetStyle::StartHideTimer()
{
    if (!FChannelOption || !FChannelOption->MouseleaveHide() || ComponentState().Contains(csDesigning) || FHideTimer)
        return;
    FHideTimer = std::make_unique<QTimer>();
    FHideTimer->setInterval(100);
    QObject::connect(FHideTimer.get(), &QTimer::timeout, FHideTimer.get(), [this] {
        try {
            HideTimerTick();
        } catch (...) {
            HandleCurrentException();
        }
    });
    HideCountdown = FChannelOption->HideHoldTime();
    FHideTimer->start();
}

void TExDockVSNetStyle::StopHideTimer()
{
    if (FHideTimer)
        FHideTimer.release()->deleteLater();
}

void TExDockVSNetStyle::HideTimerTick()
{
    if (!FChannelOption || !FChannelOption->MouseleaveHide() || ComponentState().Contains(csDesigning) ||
        (QGuiApplication::mouseButtons() & Qt::LeftButton))
        return;
    if (IsAutoHideWindow(QApplication::widgetAt(QCursor::pos()))) {
        HideCountdown = FChannelOption->HideHoldTime();
        return;
    }
    if (!MouseLeftClient)
        return;
    HideCountdown -= 100;
    if (HideCountdown > 0)
        return;
    if (HideCountdown < 0)
        StopHideTimer();
    const std::vector<TExDockServer*> servers = FChannelServers;
    for (TExDockServer* server : servers)
        for (TExDockVSChannel* channel : ChannelsOf(server))
            channel->SlideInPopup();
}

// ---- lookups

TExDockVSChannel* ChannelOfDockSite(TDockSite* site)
{
    if (!site)
        return nullptr;
    if (auto* popup = dynamic_cast<TExDockVSPopupPanel*>(&site->SiteControl()))
        return ChannelOfPopupPanel(popup);
    if (TWinControlCore* parent = site->SiteControl().Parent())
        if (auto* popup = dynamic_cast<TExDockVSPopupPanel*>(HostSiteControl(parent)))
            return ChannelOfPopupPanel(popup);
    return nullptr;
}

TExDockVSChannel* ChannelOfControl(const TWinControlCore* control)
{
    return control ? ChannelOfDockSite(HostDockSite(*control)) : nullptr;
}

std::vector<TExDockVSChannel*> ChannelsOf(const TExDockServer* server)
{
    std::vector<TExDockVSChannel*> channels;
    if (!server)
        return channels;
    for (TAlign align : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight})
        if (auto* panel = dynamic_cast<TExDockVSNETPanel*>(server->DockPanelWithAlign(align)); panel && panel->Channel())
            channels.push_back(panel->Channel());
    return channels;
}

void CollapseOtherChannels(TExDockVSChannel* except)
{
    TExGlobalDockManager* manager = GlobalDockManager();
    for (int i = 0; i < manager->DockServerCount(); ++i)
        for (TExDockVSChannel* channel : ChannelsOf(manager->DockServers(i)))
            if (channel != except)
                channel->CollapsePopup(channel->ShownPane);
}
