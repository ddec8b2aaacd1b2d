// A main window with a dock server and three tool forms. Drag a tool form by its caption to an
// edge of the main window to dock it, away from it to float it, onto the middle of another tool
// form to make a tab host, or onto one of its sides to put them side by side; hold Ctrl to keep
// it floating. With --layout FILE the arrangement is loaded at start and saved at exit.

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/layout/ExDockLayout.h"

#include "Platform/controls/ExtCtrls.h"
#include "Platform/core/Application.h"

#include <memory>
#include <string>
#include <vector>

namespace {

TCustomPanel* AddPanel(TWinControlCore& parent, const std::string& text, TColor color, TAlign align, int size)
{
    auto* panel = new TCustomPanel(nullptr, parent.Widget());
    panel->SetText(text);
    panel->SetColor(color);
    panel->SetBevelOuter(TPanelBevel::bvLowered);
    if (align == TAlign::alTop || align == TAlign::alBottom)
        panel->resize(panel->width(), size);
    else
        panel->resize(size, panel->height());
    panel->show();
    SetAlign(*panel, align);
    return panel;
}

std::unique_ptr<TExForm> MakeTool(const std::string& name, const std::string& caption, TColor color,
                                  TExDockBasicStyle* style, int left, int top)
{
    auto form = std::make_unique<TExForm>(nullptr);
    form->SetName(name);
    form->SetCaption(caption);
    auto* client = new TExDockClient(form.get());
    client->SetName("DockClient");
    client->SetDockStyle(style);
    client->SetLRDockWidth(220);
    client->SetTBDockHeight(150);
    form->setGeometry(left, top, 260, 190);
    AddPanel(*form, caption + " content", color, TAlign::alClient, 0);
    form->show();
    return form;
}

} // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    std::string layout;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--layout")
            layout = argv[i + 1];

    TExForm main(nullptr);
    main.SetName("MainForm");
    main.SetCaption("Zentu docking demo");
    main.setGeometry(20, 20, 900, 620);
    auto* style = new TExDockBasicStyle(&main);
    style->SetName("DockStyle");
    auto* server = new TExDockServer(&main);
    server->SetName("DockServer");
    AddPanel(main, "Tool bar", clBtnFace, TAlign::alTop, 30);
    AddPanel(main, "Status bar", clBtnFace, TAlign::alBottom, 22);
    AddPanel(main, "Documents", clWindow, TAlign::alClient, 0);
    server->SetDockStyle(style);
    main.OnClose = [&app](TObject*, TCloseAction&) { app.quit(); };
    main.show();

    std::vector<std::unique_ptr<TExForm>> tools;
    tools.push_back(MakeTool("ProjectForm", "Project", RGBColor(0xE8, 0xF0, 0xFF), style, 960, 40));
    tools.push_back(MakeTool("OutputForm", "Output", RGBColor(0xFF, 0xF4, 0xE0), style, 960, 270));
    tools.push_back(MakeTool("SearchForm", "Search Results", RGBColor(0xE8, 0xFF, 0xE8), style, 960, 500));

    if (!layout.empty()) {
        try {
            LoadDockLayoutFromIniFile(layout);
        } catch (const std::exception& e) {
            app.ShowException(e);
        }
    }
    const int result = app.exec();
    if (!layout.empty()) {
        try {
            SaveDockLayoutToIniFile(layout);
        } catch (const std::exception& e) {
            app.ShowException(e);
        }
    }
    GlobalDockManager()->AbortDrag();
    tools.clear();
    FreeEmptyHostForms();
    return result;
}
