#include "ExLib/run/docking/control/ExDockGlobals.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockHostForms.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/support/ExDockSupportProc.h"
#include "ExLib/run/docking/vsnet/ExDockVSChannel.h"
#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"

#include "Platform/controls/FormList.h"
#include "Platform/docking/WindowOrder.h"

#include <QApplication>
#include <algorithm>

namespace {

// The process-wide state of the docking framework.
struct TDockGlobals {
    TExGlobalDockManager Manager;
    TExDockClient* CurrentClient = nullptr;
};

TDockGlobals& Globals()
{
    static TDockGlobals globals;
    return globals;
}

template <class T>
void AddOnce(std::vector<T*>& list, T* item)
{
    if (item && std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

template <class T>
void RemoveItem(std::vector<T*>& list, T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

// The controls docked in a site, so that the walk survives their leaving.
std::vector<TWinControlCore*> ClientsOf(const TDockSite* site)
{
    std::vector<TWinControlCore*> clients;
    if (site)
        for (int i = 0; i < site->DockClientCount(); ++i)
            clients.push_back(site->DockClients(i));
    return clients;
}

} // namespace

void TExGlobalDockManager::RegisterDockServer(TExDockServer* server) { AddOnce(FServers, server); }
void TExGlobalDockManager::RegisterDockClient(TExDockClient* client) { AddOnce(FClients, client); }
void TExGlobalDockManager::RegisterDockableForm(TExDockableForm* form) { AddOnce(FForms, form); }
void TExGlobalDockManager::UnregisterDockServer(TExDockServer* server) { RemoveItem(FServers, server); }
void TExGlobalDockManager::UnregisterDockClient(TExDockClient* client) { RemoveItem(FClients, client); }
void TExGlobalDockManager::UnregisterDockableForm(TExDockableForm* form) { RemoveItem(FForms, form); }

TExGlobalDockManager* GlobalDockManager()
{
    TrackWindowOrder();
    return &Globals().Manager;
}

TExDockClient* CurrentDockClient()
{
    return Globals().CurrentClient;
}

void SetCurrentDockClient(TExDockClient* client)
{
    Globals().CurrentClient = client;
}

bool RunningOnXP()
{
    return false;
}

TCustomForm* FindDockableFormByName(const std::string& name)
{
    TCustomForm* form = FindFormByName(name);
    return FindDockClientOf(form) ? form : nullptr;
}

void RegisterAgainUnlessHost(TWinControlCore* client)
{
    if (client && !dynamic_cast<TExDockableForm*>(client))
        SetDockSite(client, true);
}

void SettleDroppedForm(TWinControlCore* control)
{
    if (auto* form = dynamic_cast<TCustomForm*>(control)) {
        form->SetActiveControl(nullptr);
        SetDockSite(form, false);
    }
}

TCustomForm* FormOf(TWinControlCore* control)
{
    if (!control)
        return nullptr;
    if (auto* form = dynamic_cast<TCustomForm*>(control))
        return form;
    return dynamic_cast<TCustomForm*>(control->FormControl());
}

TWinControlCore* HostSiteControl(const TWinControlCore* control)
{
    TDockSite* site = control ? HostDockSite(*control) : nullptr;
    return site ? &site->SiteControl() : nullptr;
}

TExDockBaseControl* FindDockBaseControlOf(const TComponent* component)
{
    if (!component)
        return nullptr;
    for (int i = 0; i < component->ComponentCount(); ++i)
        if (auto* control = dynamic_cast<TExDockBaseControl*>(component->Components(i)))
            return control;
    return nullptr;
}

TExDockClient* FindDockClientOf(const TComponent* component)
{
    return dynamic_cast<TExDockClient*>(FindDockBaseControlOf(component));
}

TExDockServer* FindDockServerOf(const TComponent* component)
{
    return dynamic_cast<TExDockServer*>(FindDockBaseControlOf(component));
}

void ShowDockableForm(TCustomForm* form)
{
    if (TExDockClient* client = FindDockClientOf(form); client && client->DockStyle())
        client->DockStyle()->ShowForm(form);
}

void HideDockableForm(TCustomForm* form)
{
    if (TExDockClient* client = FindDockClientOf(form); client && client->DockStyle())
        client->DockStyle()->HideForm(form);
}

bool IsDockableFormShowing(TCustomForm* form)
{
    TExDockClient* client = FindDockClientOf(form);
    if (!client || !client->DockStyle())
        return true;
    return client->DockStyle()->IsClientShowing(client);
}

TWinControlCore* FirstDockedControl(TCustomForm* form)
{
    if (!form)
        return nullptr;
    for (TWinControlCore* c = form->ActiveControl(); c; c = c->Parent())
        if (HostDockSite(*c))
            return c;
    return nullptr;
}

int AlignedControlsSize(TWinControlCore* control, TAlign align, const TWinControlCore* excluded)
{
    if (!control)
        return 0;
    int sum = 0;
    for (QObject* child : control->Widget()->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        TWinControlCore* c = TWinControlCore::ControlOf(w);
        if (!c || c == excluded || w->isWindow() || !ControlVisible(*c) || AlignOf(*c) != align)
            continue;
        if (dynamic_cast<TExDockSplitter*>(c) || dynamic_cast<TExDockPanel*>(c))
            continue;
        sum += align == TAlign::alLeft || align == TAlign::alRight ? c->Width() : c->Height();
    }
    return sum;
}

void SetDockSite(TWinControlCore* control, bool value)
{
    if (!control)
        return;
    SetControlDockSite(*control, value);
    GlobalDockManager()->RegisterDockSite(control, value);
}

bool CanDockOnto(TWinControlCore* target, TWinControlCore* dragged, TWinControlCore* dropControl, TAlign dropAlign)
{
    (void)dropControl, (void)dropAlign;
    TExDockClient* client = FindDockClientOf(dragged);
    if (!client || !client->EnableDock())
        return false;
    bool result = false;
    TExDockBasicStyle* style = nullptr;
    if (auto* panel = dynamic_cast<TExDockPanel*>(target)) {
        TExDockServer* server = panel->DockServer();
        if (!server || !server->EnableDock())
            return false;
        switch (AlignOf(*panel)) {
        case TAlign::alLeft: result = server->LeftDock() && client->LeftDock(); break;
        case TAlign::alTop: result = server->TopDock() && client->TopDock(); break;
        case TAlign::alRight: result = server->RightDock() && client->RightDock(); break;
        case TAlign::alBottom: result = server->BottomDock() && client->BottomDock(); break;
        default:
            result = panel->IsCustomPanel && server->DockPanelAt(4) && client->CustomDock();
            break;
        }
        style = server->DockStyle();
    } else {
        if (target)
            if (auto* host = dynamic_cast<TExDockableForm*>(target->Parent()))
                if (host->DockingSite() && host->DockingSite()->HasDockClient(dragged))
                    return false;
        result = client->EachOtherDock();
        TExDockClient* other = client;
        if (target) {
            other = FindDockClientOf(target->Parent());
            if (!other)
                return result;
        }
        result = result && other->EachOtherDock();
        style = other->DockStyle();
    }
    const std::string a = style ? style->ClassName() : std::string();
    const std::string b = client->DockStyle() ? client->DockStyle()->ClassName() : std::string();
    return result && a == b;
}

TAlign DockSideAtPoint(TWinControlCore* control, TRect& r, TPoint p)
{
    if (!control)
        return TAlign::alNone;
    const int W = control->ClientWidth();
    const int H = control->ClientHeight();
    const int w = W / 5;
    const int h = H / 5;
    auto in = [&p](int left, int top, int right, int bottom) {
        return p.X >= left && p.X < right && p.Y >= top && p.Y < bottom;
    };
    TAlign result = TAlign::alNone;
    TRect preview = r;
    if (in(0, 0, w, H)) {
        result = TAlign::alLeft;
        preview = Rect(0, 0, W / 2, H);
    } else if (in(w, 0, 4 * w, h)) {
        result = TAlign::alTop;
        preview = Rect(0, 0, W, H / 2);
    } else if (in(4 * w, 0, W, H)) {
        result = TAlign::alRight;
        preview = Rect(W / 2, 0, W, H);
    } else if (in(w, 4 * h, 4 * w, H)) {
        result = TAlign::alBottom;
        preview = Rect(0, H / 2, W, H);
    } else if (in(w, h, 4 * w, 4 * h)) {
        result = TAlign::alClient;
        preview = Rect(w, h, 4 * w, 4 * h);
    }
    if (result == TAlign::alNone)
        return result;
    const TPoint origin = control->ClientToScreen({0, 0});
    OffsetRect(preview, origin.X, origin.Y);
    r = preview;
    return result;
}

void UpdateHostCaption(TDockSite* site, TWinControlCore* excluded)
{
    if (!site)
        return;
    auto* host = dynamic_cast<TExDockableForm*>(site->SiteControl().Parent());
    if (!host)
        return;
    std::string caption;
    for (TWinControlCore* c : ClientsOf(site))
        if (c != excluded && ControlVisible(*c))
            caption += c->Text() + " ";
    host->SetCaption(caption);
    if (auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*host)))
        if (TExDockTabSheet* active = pages->ActivePage(); active && pages->PageOfControl(host) == active)
            active->SetCaption(host->Caption());
    UpdateHostCaption(HostDockSite(*host), nullptr);
}

void SyncClientShown(TWinControlCore* control, bool shown)
{
    TExDockClient* client = FindDockClientOf(control);
    if (!client)
        return;
    client->AnnounceShown(shown);
    if (auto* host = dynamic_cast<TExDockableForm*>(control); host && ControlVisible(*host))
        if (TDockSite* site = host->DockingSite())
            for (TWinControlCore* c : ClientsOf(site))
                SyncClientShown(c, ControlVisible(site->SiteControl()));
}

void RecordUndockPosition(TExDockClient* client, TWinControlCore* target)
{
    if (!client || client->ComponentState().Contains(csDestroying))
        return;
    TCustomForm* form = client->ParentForm();
    if (!form || form->ComponentState().Contains(csDestroying))
        return;
    auto* currentPanel = dynamic_cast<TExDockPanel*>(HostDockSite(*form));
    auto* targetPanel = dynamic_cast<TExDockPanel*>(target);
    if (currentPanel && targetPanel)
        return;
    if (auto* last = dynamic_cast<TExDockPanel*>(client->LastDockSite()); last && targetPanel && targetPanel != last)
        if (IExDockManager* manager = last->ExDockManager())
            manager->RemoveControl(form);
    client->SetLastDockSite(currentPanel);
    if (HostDockSite(*form)) {
        const TPoint p = form->Parent() ? form->Parent()->ClientToScreen({form->Left(), form->Top()})
                                        : TPoint{form->Left(), form->Top()};
        client->UnDockLeft = p.X;
        client->UnDockTop = p.Y;
    } else {
        client->UnDockLeft = form->Left();
        client->UnDockTop = form->Top();
    }
}

void RecordUndockPosition(TWinControlCore* control, TWinControlCore* target)
{
    RecordUndockPosition(FindDockClientOf(control), target);
}

void UndockControl(TWinControlCore* control)
{
    if (!control)
        return;
    if (auto* host = dynamic_cast<TExDockableForm*>(control)) {
        const std::vector<TWinControlCore*> clients = ClientsOf(host->DockingSite());
        for (auto it = clients.rbegin(); it != clients.rend(); ++it)
            UndockControl(*it);
        ManualDock(*control, nullptr, nullptr, TAlign::alNone);
        return;
    }
    if (TExDockServer* server = FindDockServerOf(control)) {
        for (int index : {2, 3, 0, 1}) {
            TExDockPanel* panel = server->DockPanelAt(index);
            if (!panel)
                continue;
            const std::vector<TWinControlCore*> clients = ClientsOf(panel);
            for (auto it = clients.rbegin(); it != clients.rend(); ++it)
                UndockControl(*it);
            if (auto* vsnet = dynamic_cast<TExDockVSNETPanel*>(panel); vsnet && vsnet->Channel())
                vsnet->Channel()->ClearBlocks();
        }
        return;
    }
    TDockSite* site = HostDockSite(*control);
    if (site)
        if (auto* host = dynamic_cast<TExDockableForm*>(site->SiteControl().Parent()); host && site->DockClientCount() <= 2)
            host->PostMessage(WM_CLOSE);
    if (TExDockVSChannel* channel = ChannelOfDockSite(site)) {
        channel->RemoveChannelForm(control);
        ManualFloat(*control, Bounds(control->Left(), control->Top(), UndockWidth(*control), UndockHeight(*control)));
        return;
    }
    ManualDock(*control, nullptr, nullptr, TAlign::alNone);
}

void UndockAllForms()
{
    std::vector<TCustomForm*> forms;
    for (TCustomForm* form : CustomFormList())
        if (!dynamic_cast<TExDockableForm*>(form))
            forms.push_back(form);
    for (TCustomForm* form : forms)
        UndockControl(form);
    FreeEmptyHostForms();
}

namespace {

// Calls `act` for every host form whose site holds no client any more, last registered first.
template <class Act>
void ForEachEmptyHostForm(Act act)
{
    TExGlobalDockManager* manager = GlobalDockManager();
    for (int i = manager->DockableFormCount() - 1; i >= 0; --i) {
        if (i >= manager->DockableFormCount())
            continue;
        TExDockableForm* form = manager->DockableForms(i);
        TDockSite* site = form->DockingSite();
        if (!site || site->DockClientCount() == 0)
            act(manager, form);
    }
}

} // namespace

void FreeEmptyHostForms()
{
    ForEachEmptyHostForm([](TExGlobalDockManager*, TExDockableForm* form) { delete form; });
}

void ReleaseEmptyHostForms()
{
    ForEachEmptyHostForm([](TExGlobalDockManager* manager, TExDockableForm* form) {
        manager->UnregisterDockableForm(form);
        form->Hide();
        form->Release();
    });
}
