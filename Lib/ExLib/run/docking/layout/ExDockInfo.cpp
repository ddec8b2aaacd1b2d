#include "ExLib/run/docking/layout/ExDockInfo.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockHostForms.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/support/ExDockStrings.h"
#include "ExLib/run/docking/support/ExDockSupportProc.h"

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"

#include <QApplication>
#include <algorithm>
#include <set>

namespace {

// Bounds read from a file stay within what a screen can hold.
int Sane(int v)
{
    return std::clamp(v, -100000, 100000);
}

const char* const SideNames[4] = {"LeftDockPanel", "RightDockPanel", "TopDockPanel", "BottomDockPanel"};

// A record name that a path in the store cannot be confused with.
bool UsableRecordName(const std::string& name)
{
    return !name.empty() && name.find('\\') == std::string::npos &&
           name.find_first_not_of('.') != std::string::npos;
}

// The controls docked in a site in the order a reload docks them again: tab by tab, or zone by
// zone, then any the layout does not hold. Docking order alone would change with every reload,
// and so would the saved file.
std::vector<TWinControlCore*> DockedInLayoutOrder(TDockSite* site)
{
    std::vector<TWinControlCore*> result;
    if (!site)
        return result;
    auto add = [&](TWinControlCore* c) {
        if (c && site->HasDockClient(c) && std::find(result.begin(), result.end(), c) == result.end())
            result.push_back(c);
    };
    if (auto* pages = dynamic_cast<TExDockPageControl*>(site)) {
        for (int i = 0; i < pages->PageCount(); ++i)
            for (QObject* child : pages->Pages(i)->Widget()->children())
                add(TWinControlCore::ControlOf(qobject_cast<QWidget*>(child)));
    } else if (auto* tree = dynamic_cast<TExDockTree*>(site->DockManager())) {
        std::function<void(TExDockZone*)> walk = [&](TExDockZone* z) {
            for (; z; z = z->NextZone) {
                add(z->Control);
                walk(z->FirstChild);
            }
        };
        walk(tree->RootZone());
    }
    for (int i = 0; i < site->DockClientCount(); ++i)
        add(site->DockClients(i));
    return result;
}

} // namespace

TWinControlCore* FindDockPanelByName(const std::string& name)
{
    const size_t at = name.find('@');
    if (at == std::string::npos)
        return nullptr;
    TExDockServer* server = FindDockServerOf(FindFormByName(name.substr(0, at)));
    if (!server)
        return nullptr;
    const std::string suffix = name.substr(at + 1);
    for (int i = 0; i < 4; ++i) {
        TExDockPanel* panel = server->DockPanelAt(i);
        if (!panel)
            continue;
        if (suffix == SideNames[i])
            return panel;
        if (suffix == std::string(SideNames[i]) + "_PopupPanel")
            return panel->PopupPanel();
    }
    return nullptr;
}

// ---- records

TExDockInfoTree& TExDockInfoZone::InfoTree() const
{
    return *static_cast<TExDockInfoTree*>(Tree);
}

void TExDockInfoZone::TakeFromControl(TWinControlCore* control)
{
    const TRect r = control->BoundsRect();
    DockLeft = r.Left;
    DockTop = r.Top;
    DockRight = r.Right;
    DockBottom = r.Bottom;
    UnDockWidth = UndockWidth(*control);
    UnDockHeight = UndockHeight(*control);
    Visible = ControlVisible(*control);
    if (auto* pages = dynamic_cast<const TExDockTabPageControl*>(HostDockSite(*control)))
        Visible = pages->PageShown(*control);
    if (auto* panel = dynamic_cast<TExDockPanel*>(control); panel && panel->IsPopupPanel()) {
        panel->SetVisible(false);
        Visible = false;
    }
    if (auto* form = dynamic_cast<TCustomForm*>(control)) {
        BorderStyle = static_cast<int>(form->BorderStyle());
        FormStyle = static_cast<int>(form->FormStyle());
        WindowState = static_cast<int>(form->WindowState());
        LRDockWidth = ::LRDockWidth(*form);
        TBDockHeight = ::TBDockHeight(*form);
    }
}

void TExDockInfoZone::TakeFromDockControl(TExDockBaseControl* dockControl)
{
    CanDocked = dockControl->EnableDock();
    EachOtherDocked = dockControl->EachOtherDock();
    LeftDocked = dockControl->LeftDock();
    TopDocked = dockControl->TopDock();
    RightDocked = dockControl->RightDock();
    BottomDocked = dockControl->BottomDock();
    CustomDocked = dockControl->CustomDock();
    auto* client = dynamic_cast<TExDockClient*>(dockControl);
    if (!client) {
        VSPaneWidth = 0;
        return;
    }
    VSPaneWidth = client->VSPaneWidth;
    UnDockLeft = client->UnDockLeft;
    UnDockTop = client->UnDockTop;
    LastDockSiteName = ExDockRes::CannotFindWindow;
    if (TWinControlCore* site = client->LastDockSite()) {
        if (auto* host = dynamic_cast<TExDockableForm*>(site->Parent()))
            LastDockSiteName = host->Name();
        else if (dynamic_cast<TExDockPanel*>(site) && site->Parent())
            LastDockSiteName = site->Parent()->Name() + "@" + site->Name();
    }
}

void TExDockInfoZone::ApplyToControl(TWinControlCore* control)
{
    auto* panel = dynamic_cast<TExDockPanel*>(control);
    // A docking area inside another window (a main window's) keeps its place and visibility there.
    const bool embeddedArea = ParentName.empty() && !control->Widget()->isWindow() && FindDockServerOf(control);
    if ((ParentName.empty() && !embeddedArea) || (panel && panel->VisibleDockClientCount() > 0)) {
        const TAlignDisabler disabled(control->Widget());
        if (auto* form = dynamic_cast<TCustomForm*>(control)) {
            form->SetBorderStyle(static_cast<TFormBorderStyle>(std::clamp(BorderStyle, 0, 5)));
            form->SetFormStyle(static_cast<TFormStyle>(std::clamp(FormStyle, 0, 3)));
            const auto state = static_cast<TWindowState>(std::clamp(WindowState, 0, 2));
            if (state == TWindowState::wsNormal)
                form->SetBounds(Sane(DockLeft), Sane(DockTop), std::max(0, Sane(DockRight - DockLeft)),
                                std::max(0, Sane(DockBottom - DockTop)));
            form->SetWindowState(state);
        } else if (panel && !panel->IsPopupPanel()) {
            if (IExDockManager* manager = panel->ExDockManager()) {
                const TAlign align = AlignOf(*panel);
                const int size = align == TAlign::alTop || align == TAlign::alBottom ? DockBottom - DockTop
                                                                                      : DockRight - DockLeft;
                manager->SetSiteSizeAlongOrientation(std::max(0, Sane(size)));
            }
        }
    }
    if (!embeddedArea)
        control->SetVisible(Visible);
    ::SetLRDockWidth(*control, LRDockWidth);
    ::SetTBDockHeight(*control, TBDockHeight);
    SetUndockHeight(*control, UnDockHeight);
    SetUndockWidth(*control, UnDockWidth);
}

void TExDockInfoZone::ApplyToDockControl(TExDockBaseControl* dockControl)
{
    if (auto* client = dynamic_cast<TExDockClient*>(dockControl)) {
        client->UnDockLeft = Sane(UnDockLeft);
        client->UnDockTop = Sane(UnDockTop);
        TWinControlCore* site = FindDockPanelByName(LastDockSiteName);
        if (!site) {
            TCustomForm* form = FindFormByName(LastDockSiteName);
            auto* host = dynamic_cast<TExDockableForm*>(form);
            site = host ? host->DockableControl() : nullptr;
        }
        client->SetLastDockSite(site);
        client->AnnounceShown(Visible);
        client->VSPaneWidth = VSPaneWidth;
    }
    dockControl->SetEnableDock(CanDocked);
    dockControl->SetLeftDock(LeftDocked);
    dockControl->SetTopDock(TopDocked);
    dockControl->SetBottomDock(BottomDocked);
    dockControl->SetCustomDock(CustomDocked);
    dockControl->SetRightDock(RightDocked);
    dockControl->SetEachOtherDock(EachOtherDocked);
}

void TExDockInfoZone::Write(TExCustomAppStorage& s) const
{
    s.PutString("ParentName", ParentName);
    s.PutInteger("DockLeft", DockLeft);
    s.PutInteger("DockTop", DockTop);
    s.PutInteger("DockRight", DockRight);
    s.PutInteger("DockBottom", DockBottom);
    s.PutString("LastDockSiteName", LastDockSiteName);
    s.PutInteger("UnDockLeft", UnDockLeft);
    s.PutInteger("UnDockTop", UnDockTop);
    s.PutInteger("LRDockWidth", LRDockWidth);
    s.PutInteger("TBDockHeight", TBDockHeight);
    s.PutInteger("UnDockWidth", UnDockWidth);
    s.PutInteger("UnDockHeight", UnDockHeight);
    s.PutInteger("VSPaneWidth", VSPaneWidth);
    s.PutBoolean("Visible", Visible);
    s.PutInteger("BorderStyle", BorderStyle);
    s.PutInteger("FormStyle", FormStyle);
    s.PutInteger("WindowState", WindowState);
    s.PutInteger("DockFormStyle", DockFormStyle);
    s.PutBoolean("CanDocked", CanDocked);
    s.PutBoolean("EachOtherDocked", EachOtherDocked);
    s.PutBoolean("LeftDocked", LeftDocked);
    s.PutBoolean("TopDocked", TopDocked);
    s.PutBoolean("RightDocked", RightDocked);
    s.PutBoolean("BottomDocked", BottomDocked);
    s.PutBoolean("CustomDocked", CustomDocked);
    s.PutString("DockClientData", DockClientData);
}

void TExDockInfoZone::Read(TExCustomAppStorage& s)
{
    ParentName = s.GetString("ParentName", "");
    DockLeft = s.GetInteger("DockLeft", 0);
    DockTop = s.GetInteger("DockTop", 0);
    DockRight = s.GetInteger("DockRight", 0);
    DockBottom = s.GetInteger("DockBottom", 0);
    LastDockSiteName = s.GetString("LastDockSiteName", "");
    UnDockLeft = s.GetInteger("UnDockLeft", 0);
    UnDockTop = s.GetInteger("UnDockTop", 0);
    LRDockWidth = s.GetInteger("LRDockWidth", 0);
    TBDockHeight = s.GetInteger("TBDockHeight", 0);
    UnDockWidth = s.GetInteger("UnDockWidth", 0);
    UnDockHeight = s.GetInteger("UnDockHeight", 0);
    VSPaneWidth = s.GetInteger("VSPaneWidth", 0);
    Visible = s.GetBoolean("Visible", true);
    BorderStyle = s.GetInteger("BorderStyle", 0);
    FormStyle = s.GetInteger("FormStyle", 0);
    WindowState = s.GetInteger("WindowState", 0);
    DockFormStyle = s.GetInteger("DockFormStyle", 0);
    CanDocked = s.GetBoolean("CanDocked", true);
    EachOtherDocked = s.GetBoolean("EachOtherDocked", true);
    LeftDocked = s.GetBoolean("LeftDocked", true);
    TopDocked = s.GetBoolean("TopDocked", true);
    RightDocked = s.GetBoolean("RightDocked", true);
    BottomDocked = s.GetBoolean("BottomDocked", true);
    CustomDocked = s.GetBoolean("CustomDocked", true);
    DockClientData = s.GetString("DockClientData", "");
}

// ---- the tree

TExDockInfoTree::TExDockInfoTree()
    : TExDockBaseTree([](TExDockBaseTree* tree) { return std::make_unique<TExDockInfoZone>(tree); })
{
}

TExDockInfoTree::~TExDockInfoTree() = default;

void TExDockInfoTree::ScanZone(TExDockBaseZone* zone)
{
    auto* record = static_cast<TExDockInfoZone*>(zone);
    if (Mode == 2)
        WriteRecord(record);
    else if (Mode == 1)
        VisitForApply(record);
    TExDockBaseTree::ScanZone(zone);
}

void TExDockInfoTree::WriteRecord(TExDockInfoZone* record)
{
    if (record->Name.empty() || !Storage)
        return;
    TExCustomAppStorage& s = *Storage;
    const std::string saved = s.CurrentPath();
    try {
        const std::string forms = TExCustomAppStorage::JoinPaths({saved, RootPath, "Forms"});
        s.SetCurrentPath(forms);
        s.PutString("FormNames", s.GetString("FormNames", "") + record->Name + ";");
        s.SetCurrentPath(TExCustomAppStorage::JoinPaths({forms, record->Name}));
        record->Write(s);
    } catch (...) {
        s.SetCurrentPath(saved);
        throw;
    }
    s.SetCurrentPath(saved);
}

void TExDockInfoTree::AddFormRecord(TWinControlCore* control)
{
    auto* parent = static_cast<TExDockInfoZone*>(CurrTreeZone);
    auto* record = static_cast<TExDockInfoZone*>(AddChildZone(parent, nullptr));
    record->ParentName = parent->Name;
    record->TakeFromControl(control);
    auto* panel = dynamic_cast<TExDockPanel*>(control);
    record->Name = panel ? parent->Name + "@" + control->Name() : control->Name();
    SiteStream.Clear();
    if (auto* tabHost = dynamic_cast<TExDockTabHostForm*>(control)) {
        if (TExDockTabPageControl* pages = tabHost->PageControl())
            pages->SaveToStream(SiteStream);
    } else if (auto* conjoin = dynamic_cast<TExDockConjoinHostForm*>(control)) {
        if (TExDockConjoinPanel* site = conjoin->Panel(); site && site->DockManager())
            site->DockManager()->SaveToStream(SiteStream);
    } else if (panel && panel->DockManager()) {
        panel->DockManager()->SaveToStream(SiteStream);
    }
    record->DockClientData = StreamToHexText(SiteStream);
    if (TExDockBaseControl* dockControl = FindDockBaseControlOf(control)) {
        record->TakeFromDockControl(dockControl);
        record->DockFormStyle = dynamic_cast<TExDockTabHostForm*>(control)       ? 2
                                : dynamic_cast<TExDockConjoinHostForm*>(control) ? 1
                                                                                 : 0;
        CurrTreeZone = record;
        if (auto* host = dynamic_cast<TExDockableForm*>(control)) {
            for (TWinControlCore* docked : DockedInLayoutOrder(host->DockingSite()))
                AddFormRecord(docked);
        } else if (auto* server = dynamic_cast<TExDockServer*>(dockControl)) {
            for (int i = 0; i < 5; ++i)
                if (TExDockPanel* p = server->DockPanelAt(i)) {
                    AddFormRecord(p);
                    if (TExDockPanel* popup = p->PopupPanel())
                        AddFormRecord(popup);
                }
        }
    }
    if (panel) {
        record->DockFormStyle = 3;
        CurrTreeZone = record;
        for (TWinControlCore* docked : DockedInLayoutOrder(panel))
            AddFormRecord(docked);
    }
    CurrTreeZone = parent;
}

void TExDockInfoTree::SaveLayout()
{
    Storage->BeginBatch();
    try {
        Storage->EraseTree(RootPath);
        Mode = 2;
        MiddleOrderScan(TopTreeZone);
        Mode = 0;
    } catch (...) {
        Mode = 0;
        Storage->EndBatch();
        throw;
    }
    Storage->EndBatch();
}

void TExDockInfoTree::ReadFromStorage()
{
    Mode = 1;
    TExCustomAppStorage& s = *Storage;
    const std::string saved = s.CurrentPath();
    try {
        const std::string forms = TExCustomAppStorage::JoinPaths({saved, RootPath, "Forms"});
        s.SetCurrentPath(forms);
        if (!s.HasValue("FormNames")) {
            s.SetCurrentPath(saved);
            return;
        }
        const std::string list = s.GetString("FormNames", "");
        std::vector<std::string> names;
        for (size_t start = 0;;) {
            const size_t semicolon = list.find(';', start);
            if (semicolon == std::string::npos)
                break; // a last piece without ";" is dropped
            names.push_back(list.substr(start, semicolon - start));
            start = semicolon + 1;
        }
        std::vector<std::string> parents(names.size());
        for (size_t i = 0; i < names.size(); ++i)
            if (UsableRecordName(names[i]))
                parents[i] = s.GetString(names[i] + "\\ParentName", "");
        // invariant: every entry is read at most once, so no file can make the reading explode.
        std::set<size_t> used;
        std::function<void(size_t, TExDockInfoZone*)> readRecord = [&](size_t i, TExDockInfoZone* parent) {
            if (used.count(i) || !UsableRecordName(names[i]) || !s.HasFolder(names[i]))
                return;
            used.insert(i);
            auto* record = static_cast<TExDockInfoZone*>(AddChildZone(parent, nullptr));
            record->Name = names[i];
            s.SetCurrentPath(TExCustomAppStorage::JoinPaths({forms, names[i]}));
            record->Read(s);
            s.SetCurrentPath(forms);
            for (size_t n = i; n-- > 0;)
                if (parents[n] == names[i])
                    readRecord(n, record);
        };
        for (size_t i = names.size(); i-- > 0;)
            if (parents[i].empty())
                readRecord(i, Root());
    } catch (...) {
        s.SetCurrentPath(saved);
        throw;
    }
    s.SetCurrentPath(saved);
}

void TExDockInfoTree::VisitForApply(TExDockInfoZone* record)
{
    for (TExDockInfoZone* child = record->FirstChild(); child; child = child->Next())
        child->DockControl = child->Name.find('@') == std::string::npos ? FindFormByName(child->Name) : nullptr;
    ApplyRecord(record);
}

TWinControlCore* TExDockInfoTree::CreateHostForRecord(TExDockInfoZone* record)
{
    TExDockInfoZone* first = record->FirstChild();
    if (!first || !first->DockControl)
        return nullptr;
    bool laterFound = false;
    for (TExDockInfoZone* z = first->Next(); z; z = z->Next())
        laterFound = laterFound || z->DockControl;
    TExDockClient* client = FindDockClientOf(first->DockControl);
    if (!laterFound || !client || (record->DockFormStyle != 1 && record->DockFormStyle != 2))
        return nullptr;
    TExDockableForm* host = nullptr;
    if (record->DockFormStyle == 1) {
        auto* conjoin = new TExDockConjoinHostForm(nullptr); // frees itself when it closes
        host = conjoin;
        conjoin->DockClient()->Assign(*client);
        if (client->ConjoinPanelClass) {
            TExDockConjoinPanel* panel = client->ConjoinPanelClass(conjoin);
            SetAlign(*panel, TAlign::alClient);
            conjoin->SetDockableControl(panel);
            SetDockSite(panel, true);
            if (client->DockStyle())
                client->DockStyle()->ApplyConjoinOptions(panel);
        }
    } else {
        auto* tabHost = new TExDockTabHostForm(nullptr); // frees itself when it closes
        host = tabHost;
        tabHost->DockClient()->Assign(*client);
        if (client->TabDockClass) {
            TExDockTabPageControl* pages = client->TabDockClass(tabHost);
            SetAlign(*pages, TAlign::alClient);
            tabHost->SetDockableControl(pages);
            SetDockSite(pages, true);
            if (client->DockStyle())
                client->DockStyle()->ApplyTabOptions(pages);
        }
    }
    // The host floats at the size it had, as the record keeps it.
    if (record->UnDockWidth > 0 && record->UnDockHeight > 0)
        host->resize(std::min(record->UnDockWidth, 100000), std::min(record->UnDockHeight, 100000));
    // A name the file gives that is not a usable component name leaves the host unnamed.
    if (IsValidIdent(record->Name) && !FindFormByName(record->Name)) {
        try {
            host->SetName(record->Name);
        } catch (const EComponentError&) {
        }
    }
    return host;
}

void TExDockInfoTree::ApplyRecord(TExDockInfoZone* record)
{
    if (record->Name.empty())
        return;
    TWinControlCore* control = record->Name.find('@') == std::string::npos ? FindFormByName(record->Name)
                                                                           : FindDockPanelByName(record->Name);
    if (!control && record->ChildCount() >= 2)
        control = CreateHostForRecord(record);
    if (!control)
        return;
    if (!record->DockClientData.empty()) {
        SiteStream.Clear();
        bool readable = true;
        try {
            HexTextToStream(SiteStream, record->DockClientData);
        } catch (const EConvertError&) {
            readable = false; // damaged data lays nothing out
        }
        SiteStream.SetPosition(0);
        if (readable) {
            const TAlignDisabler disabled(control->Widget());
            if (auto* tabHost = dynamic_cast<TExDockTabHostForm*>(control)) {
                if (TExDockTabPageControl* pages = tabHost->PageControl())
                    pages->LoadFromStream(SiteStream);
            } else if (auto* conjoin = dynamic_cast<TExDockConjoinHostForm*>(control)) {
                if (TExDockConjoinPanel* panel = conjoin->Panel(); panel && panel->DockManager())
                    panel->DockManager()->LoadFromStream(SiteStream);
            } else if (auto* panel = dynamic_cast<TExDockPanel*>(control); panel && panel->DockManager()) {
                panel->DockManager()->LoadFromStream(SiteStream);
            }
        }
    }
    record->ApplyToControl(control);
    if (TExDockBaseControl* dockControl = FindDockBaseControlOf(control))
        record->ApplyToDockControl(dockControl);
}

void TExDockInfoTree::LoadLayout()
{
    Storage->BeginBatch();
    try {
        ReadFromStorage();
        UndockAllForms();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Mode = 1;
        MiddleOrderScan(TopTreeZone);
        Mode = 0;
    } catch (...) {
        Mode = 0;
        Storage->EndBatch();
        throw;
    }
    Storage->EndBatch();
}
