#include "app/zuToolWindows.h"

#include "app/zuActionImages.h"
#include "app/zuFolders.h"
#include "app/zuMainDockArea.h"
#include "code/zuCodeExplorerForm.h"
#include "code/zuLibraryForm.h"
#include "explorers/zuFileExplorerForm.h"
#include "explorers/zuProjectExplorerForm.h"
#include "ftp/explorer/zuFTPExplorerToolForm.h"
#include "search/zuSearchResultForm.h"
#include "windows/zuLogForm.h"
#include "windows/zuOutputForm.h"

#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockHostForms.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/layout/ExDockLayout.h"
#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"

#include <map>

namespace {

// In the View menu's order, which is also the order of creation.
const TToolWindowKind Kinds[] = {
    {"acProjectExplorer", "Project Explorer", ShortCut('P', TShiftState{ssCtrl, ssAlt}), TToolWindowGroup::twgExplorers,
     "folder", {TAlign::alLeft, 230},
     [](const TToolWindowServices& s) -> std::unique_ptr<TToolWindowForm> {
         return std::make_unique<TProjectExplorerForm>(s.Style, s.Projects ? *s.Projects : TProjectExplorerServices());
     }},
    // The entry's Ctrl+Alt+L, since the FTP explorer's entry answers the action's Ctrl+Alt+F.
    {"acFileExplorer", "File Explorer", ShortCut('F', TShiftState{ssCtrl, ssAlt}), TToolWindowGroup::twgExplorers,
     "system-file-manager", {TAlign::alLeft, 230},
     [](const TToolWindowServices& s) -> std::unique_ptr<TToolWindowForm> {
         return std::make_unique<TFileExplorerForm>(s.Style, s.Settings, s.OpenFile);
     },
     ShortCut('L', TShiftState{ssCtrl, ssAlt})},
    // The main window puts its FTP explorer in, and runs the view command itself.
    // Behind the code library: its tool bar wants more room than the panel's first width.
    {"acFTPExplorer", "FTP Explorer", scNone, TToolWindowGroup::twgExplorers, "network-server",
     {TAlign::alRight, 230, true},
     [](const TToolWindowServices& s) -> std::unique_ptr<TToolWindowForm> {
         return std::make_unique<TFTPExplorerToolForm>(s.Style);
     },
     ShortCut('F', TShiftState{ssCtrl, ssAlt})},
    {"acCodeExplorer", "Code Explorer", scNone, TToolWindowGroup::twgExplorers, "format-indent-more",
     {TAlign::alLeft, 230},
     [](const TToolWindowServices& s) -> std::unique_ptr<TToolWindowForm> {
         return std::make_unique<TCodeExplorerForm>(s.Style);
     },
     ShortCut('C', TShiftState{ssCtrl, ssAlt})},
    {"acCodeLibrary", "Code Library", ShortCut('S', TShiftState{ssCtrl, ssAlt}), TToolWindowGroup::twgExplorers, "applications-office",
     {TAlign::alRight, 230},
     [](const TToolWindowServices& s) -> std::unique_ptr<TToolWindowForm> {
         return std::make_unique<TLibraryForm>(s.Style, DataFolder);
     }},
    {"acViewOutput", "Output", scNone, TToolWindowGroup::twgOutput, "utilities-terminal", {TAlign::alBottom, 170},
     [](const TToolWindowServices& s) -> std::unique_ptr<TToolWindowForm> {
         return std::make_unique<TOutputForm>(s.Style);
     }},
    {"acSearchResults", "Search Results...", scNone, TToolWindowGroup::twgOutput, "system-search",
     {TAlign::alBottom, 170},
     [](const TToolWindowServices& s) -> std::unique_ptr<TToolWindowForm> {
         // The main window gives it its host once made.
         return std::make_unique<TSearchResultForm>(s.Style);
     }},
    {"acServerLogs", "HTTP Server Logs", scNone, TToolWindowGroup::twgOutput, "text-x-generic",
     {TAlign::alBottom, 170},
     [](const TToolWindowServices& s) -> std::unique_ptr<TToolWindowForm> {
         return std::make_unique<TLogForm>(s.Style, s.Settings);
     }},
};

} // namespace

std::span<const TToolWindowKind> ToolWindowKinds()
{
    return Kinds;
}

TToolWindowList MakeToolWindows(const TToolWindowServices& services)
{
    TToolWindowList windows;
    for (const TToolWindowKind& kind : ToolWindowKinds()) {
        windows.push_back(kind.Make(services));
        windows.back()->setWindowIcon(ActionImage(kind.IconName));
    }
    return windows;
}

void ArrangeDefaultDockLayout(TExDockServer& server, const TToolWindowList& windows)
{
    const std::span<const TToolWindowKind> kinds = ToolWindowKinds();
    // The first window docked on each edge, which the later ones join as tabs, and the one in front.
    std::map<TAlign, TToolWindowForm*> firstOnEdge;
    std::map<TAlign, TToolWindowForm*> frontOnEdge;
    for (std::size_t i = 0; i < windows.size() && i < kinds.size(); ++i) {
        const TToolWindowPlace& place = kinds[i].Place;
        TExDockPanel* panel = server.DockPanelWithAlign(place.Edge);
        TToolWindowForm* window = windows[i].get();
        if (!panel || !window)
            continue;
        if (place.Edge == TAlign::alLeft || place.Edge == TAlign::alRight)
            SetLRDockWidth(*window, place.Size);
        else
            SetTBDockHeight(*window, place.Size);
        window->Show();
        if (!place.Behind)
            frontOnEdge.try_emplace(place.Edge, window);
        auto [first, isFirst] = firstOnEdge.try_emplace(place.Edge, window);
        if (isFirst)
            ManualDock(*window, panel);
        else if (auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*first->second)))
            ManualDock(*window, pages); // a third window joins the tabs rather than the first one alone
        else
            ManualDock(*window, panel, first->second, TAlign::alClient);
    }
    for (const auto& [edge, window] : frontOnEdge)
        if (auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*window)))
            if (TExDockTabSheet* page = pages->PageOfControl(window))
                pages->SetActivePage(page);
}

void WriteDefaultDockLayout(const std::string& fileName)
{
    TMainDockArea area(nullptr);
    area.setWindowFlags(Qt::Window);
    area.setGeometry(0, 0, 1000, 700);
    area.CreateDocking();
    area.show();
    {
        TToolWindowServices services;
        services.Style = area.DockStyleNET;
        const TToolWindowList windows = MakeToolWindows(services);
        ArrangeDefaultDockLayout(*area.DockServer, windows);
        SaveDockLayoutToIniFile(fileName);
    }
    // The host forms the arrangement made go with their forms.
    FreeEmptyHostForms();
}
