// Mutation fuzzing of the dock layout file through the real loader, on a small dock setup in
// the style the program uses: seeded with layouts that the layout code saved of real
// arrangements, and with the default layout that the build writes. A damaged layout may leave
// forms floating; it never crashes, never docks the main form and never loses a form.

#include "DockFixture.h"

#include "ExLib/run/docking/layout/ExDockLayout.h"
#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"

#include "support/MutationFuzzer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <set>
#include <stdexcept>

namespace {

TExDockBasicStyle* MakeVSNet(TComponent* owner)
{
    return new TExDockVSNetStyle(owner);
}

// The tool forms a layout names: entries of FormNames without "@" that are neither the main
// form nor a host form.
std::set<std::string> ToolNames(const std::string& layout)
{
    std::set<std::string> names;
    const std::string key = "FormNames=";
    const size_t at = layout.find(key);
    if (at == std::string::npos)
        return names;
    const std::string list = layout.substr(at + key.size(), layout.find_first_of("\r\n", at) - at - key.size());
    size_t start = 0;
    for (size_t end; (end = list.find(';', start)) != std::string::npos; start = end + 1) {
        const std::string name = list.substr(start, end - start);
        if (!name.empty() && name.find('@') == std::string::npos && name != "MainForm" && name.rfind("TExDock", 0) != 0)
            names.insert(name);
    }
    return names;
}

// Layouts saved of a few arrangements: a form in a side panel, two forms as tabs in the bottom
// panel, two side by side floating, a hidden one; and the same with nothing docked.
std::vector<std::string> SavedLayouts(const TempDir& dir)
{
    std::vector<std::string> layouts;
    DockFixture f(MakeVSNet);
    TExForm* left = f.Tool("LeftTool", 1000, 100);
    TExForm* tabA = f.Tool("TabA", 1000, 300);
    TExForm* tabB = f.Tool("TabB", 1000, 500);
    TExForm* sideA = f.Tool("SideA", 1300, 100);
    TExForm* sideB = f.Tool("SideB", 1300, 400);
    TExForm* hidden = f.Tool("HiddenTool", 1300, 600);
    const std::string file = dir.File("saved.dat");
    SaveDockLayoutToIniFile(file);
    layouts.push_back(ReadWholeFile(file));
    ManualDock(*left, f.Panel(0));
    DockFixture::Drag(tabB, CaptionPoint(tabB), tabA->ClientToScreen({tabA->ClientWidth() / 2, tabA->ClientHeight() / 2}));
    if (auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*tabA)))
        ManualDock(*pages->Host(), f.Panel(3));
    DockFixture::Drag(sideB, CaptionPoint(sideB), sideA->ClientToScreen({5, sideA->ClientHeight() / 2}));
    hidden->hide();
    DockFixture::Settle();
    SaveDockLayoutToIniFile(file);
    layouts.push_back(ReadWholeFile(file));
    return layouts;
}

// Loads every case into one dock setup that has a tool form for each name the seeds use.
int FuzzLayouts(const std::string& reader, const std::vector<std::string>& seeds, int cases)
{
    std::set<std::string> names;
    for (const std::string& seed : seeds)
        for (const std::string& name : ToolNames(seed))
            names.insert(name);
    TempDir dir;
    const std::string file = dir.File("docking.dat");
    DockFixture f(MakeVSNet);
    for (const std::string& name : names)
        f.Tool(name);
    fuzz::TFuzzOptions options;
    options.Cases = cases;
    options.MaxInputSize = 1 << 16;
    options.Dictionary = {"[Forms]", "FormNames=", "ParentName=", "DockClientData=", "DockFormStyle=1",
                          "DockFormStyle=2", "DockFormStyle=3", "@LeftDockPanel", "@TopDockPanel_PopupPanel",
                          "MainForm", "Visible=TRUE", "Visible=FALSE", ";", "\\", "00000400", "FFFFFFFF", "F6FFFFFF"};
    const int run = fuzz::FuzzReader(reader, seeds, [&](const std::string& input) {
        {
            TFileStream out(file, fmCreate);
            out.WriteString(input);
        }
        try {
            LoadDockLayoutFromIniFile(file);
        } catch (const Exception&) {
            // a store error ends the load after its clean-up
        }
        DockFixture::Settle();
        if (HostDockSite(f.main) != nullptr || !f.main.isWindow())
            throw std::logic_error("the main form was docked");
        // A form is docked in a site or a window of its own; anything else lost it.
        for (const auto& tool : f.tools)
            if (HostDockSite(*tool) == nullptr && !tool->isWindow())
                throw std::logic_error("the tool form " + tool->Name() + " was lost");
    }, options);
    return run;
}

} // namespace

TEST(DockLayoutFuzz, LayoutsTheProgramSaved)
{
    const TempDir dir;
    const std::vector<std::string> seeds = SavedLayouts(dir);
    ASSERT_EQ(seeds.size(), 2u);
    EXPECT_GT(FuzzLayouts("dock layout", seeds, 200), 200);
}

TEST(DockLayoutFuzz, TheDefaultLayoutOfTheDataFolder)
{
    const std::string file = ZENTU_DEFAULT_LAYOUT;
    if (!QFileInfo::exists(QString::fromStdString(file)))
        GTEST_SKIP() << file << " is not built (target zentu_default_layout)";
    const std::string layout = ReadWholeFile(file);
    ASSERT_FALSE(ToolNames(layout).empty()) << "the default layout names the tool windows";
    EXPECT_GT(FuzzLayouts("default dock layout", {layout}, 100), 100);
}
