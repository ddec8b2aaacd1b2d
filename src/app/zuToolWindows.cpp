#include "app/zuToolWindows.h"

#include "app/zuActionImages.h"
#include "app/zuMainDockArea.h"
#include "windows/zuLogForm.h"
#include "windows/zuOutputForm.h"

#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockHostForms.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/layout/ExDockLayout.h"
#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"

namespace {

TToolWindowForm* FindWindow(const TToolWindowList& windows, const std::string& name)
{
    for (const auto& window : windows)
        if (window->Name() == name)
            return window.get();
    return nullptr;
}

} // namespace

TToolWindowList MakeToolWindows(const TToolWindowServices& services)
{
    TToolWindowList windows;
    // The project, FTP and file explorers, the code library, the code explorer and the search
    // results join here in their places of the list.
    windows.push_back(std::make_unique<TOutputForm>(services.Style));
    windows.back()->setWindowIcon(ActionImage("utilities-terminal"));
    windows.push_back(std::make_unique<TLogForm>(services.Style, services.Settings));
    windows.back()->setWindowIcon(ActionImage("text-x-generic"));
    return windows;
}

void ArrangeDefaultDockLayout(TExDockServer& server, const TToolWindowList& windows)
{
    TExDockPanel* bottom = server.DockPanelWithAlign(TAlign::alBottom);
    TToolWindowForm* output = FindWindow(windows, "OutputForm");
    TToolWindowForm* log = FindWindow(windows, "LogForm");
    if (!bottom || !output || !log)
        return;
    for (TToolWindowForm* window : {output, log}) {
        SetTBDockHeight(*window, 170);
        window->Show();
    }
    ManualDock(*output, bottom);
    ManualDock(*log, bottom, output, TAlign::alClient);
    // The output window is the page in front.
    if (auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*output)))
        if (TExDockTabSheet* page = pages->PageOfControl(output))
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
        const TToolWindowList windows = MakeToolWindows({area.DockStyleNET, nullptr});
        ArrangeDefaultDockLayout(*area.DockServer, windows);
        SaveDockLayoutToIniFile(fileName);
    }
    // The host forms the arrangement made go with their forms.
    FreeEmptyHostForms();
}
