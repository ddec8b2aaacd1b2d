// The dock layout file: what a save writes, a load that puts every form back (and a second save
// that writes the same bytes), and missing, damaged and read-only files, none of which crash, lose
// a form or get written by a load.

#include "DockFixture.h"

#include "ExLib/run/docking/layout/ExDockInfo.h"
#include "ExLib/run/docking/layout/ExDockLayout.h"
#include "ExLib/run/storage/ExIniStorage.h"

#include "support/TempDir.h"

#include "Platform/core/Exceptions.h"

#include <gtest/gtest.h>

namespace {

std::string ValueOf(const std::string& file, const std::string& section, const std::string& key)
{
    TExAppIniFileStorage store(nullptr);
    store.SetLocation(TFileLocation::flCustom);
    store.SetFileName(file);
    store.RefreshContent();
    store.SetReadOnly(true);
    return store.ReadIniValue(section, key);
}


// A tool in the left panel, two tools as tabs in the bottom panel and two side by side floating.
struct Arrangement {
    explicit Arrangement(DockFixture& f)
    {
        left = f.Tool("LeftTool", 1000, 100);
        tabA = f.Tool("TabA", 1000, 300);
        tabB = f.Tool("TabB", 1000, 500);
        sideA = f.Tool("SideA", 1300, 100);
        sideB = f.Tool("SideB", 1300, 400);
        ManualDock(*left, f.Panel(0));
        DockFixture::Drag(tabB, CaptionPoint(tabB), tabA->ClientToScreen({tabA->ClientWidth() / 2, tabA->ClientHeight() / 2}));
        tabHost = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*tabA))->Host();
        ManualDock(*tabHost, f.Panel(3));
        DockFixture::Drag(sideB, CaptionPoint(sideB), sideA->ClientToScreen({5, sideA->ClientHeight() / 2}));
        sideHost = dynamic_cast<TExDockConjoinPanel*>(HostDockSite(*sideA))->Host();
    }
    TExForm* left;
    TExForm* tabA;
    TExForm* tabB;
    TExForm* sideA;
    TExForm* sideB;
    TExDockTabHostForm* tabHost;
    TExDockConjoinHostForm* sideHost;
};

} // namespace

TEST(ExDockLayout, SavingListsEveryToolWindowAndEachPanelBeforeItsForm)
{
    TempDir dir;
    const std::string file = dir.File("docking.dat");
    DockFixture f;
    TExForm* project = f.Tool("ProjectExplorerForm");
    f.Tool("OutputForm");
    ManualDock(*project, f.Panel(0));
    SaveDockLayoutToIniFile(file);
    EXPECT_EQ(ValueOf(file, "Forms", "FormNames"),
              "ProjectExplorerForm;MainForm@LeftDockPanel;MainForm@RightDockPanel;MainForm@TopDockPanel;"
              "MainForm@BottomDockPanel;MainForm;OutputForm;");
    EXPECT_EQ(ValueOf(file, "Forms\\MainForm@LeftDockPanel", "ParentName"), "MainForm");
    EXPECT_EQ(ValueOf(file, "Forms\\MainForm@LeftDockPanel", "DockFormStyle"), "3");
    EXPECT_EQ(ValueOf(file, "Forms\\MainForm@LeftDockPanel", "DockClientData").substr(0, 8), "00000400");
    EXPECT_EQ(ValueOf(file, "Forms\\ProjectExplorerForm", "ParentName"), "MainForm@LeftDockPanel");
    EXPECT_EQ(ValueOf(file, "Forms\\OutputForm", "ParentName"), "");
    EXPECT_EQ(ValueOf(file, "Forms\\OutputForm", "LastDockSiteName"), "Cannot find window");
    EXPECT_EQ(ValueOf(file, "Forms\\MainForm", "DockClientData"), "");
}

TEST(ExDockLayout, LoadingASavedLayoutPutsEveryFormBackAndASecondSaveIsTheSame)
{
    TempDir dir;
    const std::string file = dir.File("docking.dat");
    DockFixture f;
    Arrangement before(f);
    const std::string tabHostName = before.tabHost->Name();
    const std::string sideHostName = before.sideHost->Name();
    const int leftWidth = f.Panel(0)->Width();
    SaveDockLayoutToIniFile(file);
    const std::string first = ReadWholeFile(file);

    // Take everything apart, then load.
    UndockAllForms();
    DockFixture::Settle();
    ASSERT_EQ(HostDockSite(*before.left), nullptr);
    LoadDockLayoutFromIniFile(file);
    DockFixture::Settle();

    EXPECT_EQ(HostDockSite(*before.left), f.Panel(0));
    EXPECT_EQ(f.Panel(0)->Width(), leftWidth);
    auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*before.tabA));
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(HostDockSite(*before.tabB), pages);
    EXPECT_EQ(pages->Host()->Name(), tabHostName) << "hosts come back under their recorded names";
    EXPECT_EQ(HostDockSite(*pages->Host()), f.Panel(3));
    auto* side = dynamic_cast<TExDockConjoinPanel*>(HostDockSite(*before.sideA));
    ASSERT_NE(side, nullptr);
    EXPECT_EQ(HostDockSite(*before.sideB), side);
    EXPECT_EQ(side->Host()->Name(), sideHostName);
    EXPECT_TRUE(Floating(*side->Host()));
    EXPECT_EQ(GlobalDockManager()->DockableFormCount(), 2) << "no host left over";

    SaveDockLayoutToIniFile(file);
    EXPECT_EQ(ReadWholeFile(file), first);
}

TEST(ExDockLayout, AMissingFileFloatsEveryFormAndLosesNone)
{
    TempDir dir;
    DockFixture f;
    Arrangement arrangement(f);
    LoadDockLayoutFromIniFile(dir.File("missing.dat"));
    DockFixture::Settle();
    for (TExForm* form : {arrangement.left, arrangement.tabA, arrangement.tabB, arrangement.sideA, arrangement.sideB}) {
        EXPECT_TRUE(Floating(*form)) << form->Name();
        EXPECT_TRUE(form->isVisible()) << form->Name();
    }
    EXPECT_EQ(GlobalDockManager()->DockableFormCount(), 0) << "every emptied host went";
    EXPECT_EQ(f.Panel(0)->Width(), 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.File("missing.dat")))) << "and nothing was written";
}

TEST(ExDockLayout, DamagedFilesLoadWithoutHarm)
{
    const std::string cases[] = {
        "garbage without sections\n\x01\x02",
        "[Forms]\nFormNames=A;B;MainForm@LeftDockPanel;MainForm;\n",
        "[Forms]\nFormNames=MainForm@LeftDockPanel;MainForm;\n"
        "[Forms\\MainForm@LeftDockPanel]\nParentName=MainForm\nDockClientData=ZZ00\n[Forms\\MainForm]\nDockLeft=5\n",
        "[Forms]\nFormNames=MainForm@LeftDockPanel;MainForm;\n"
        "[Forms\\MainForm@LeftDockPanel]\nParentName=MainForm\nDockClientData=0000040064000000FFFFFF7F\n"
        "[Forms\\MainForm]\nDockRight=-99999999\nDockBottom=99999999\n",
        // A panel stream that names the main form itself and a tool, and a tab host that names itself.
        "[Forms]\nFormNames=MainForm@LeftDockPanel;MainForm;T;\n"
        "[Forms\\MainForm@LeftDockPanel]\nParentName=MainForm\nDockClientData="
        "00000400000000000000000000000000000100000000010000000000000000010000000000000000010000000000000001080000004D61696E466F726DFFFFFFFF\n"
        "[Forms\\MainForm]\n[Forms\\T]\nDockFormStyle=2\nDockClientData=0000040001000000010000005401\n",
        "[Forms]\nFormNames=..;\\;Loop;Loop;Loop;\n[Forms\\Loop]\nParentName=Loop\n",
    };
    for (const std::string& content : cases) {
        TempDir dir;
        const std::string file = dir.Write("docking.dat", content);
        DockFixture f;
        TExForm* tool = f.Tool("Tool");
        EXPECT_NO_THROW(LoadDockLayoutFromIniFile(file)) << content;
        DockFixture::Settle();
        EXPECT_TRUE(f.main.isWindow()) << "the main form stays a window";
        EXPECT_EQ(HostDockSite(f.main), nullptr) << "and is docked nowhere";
        EXPECT_TRUE(Floating(*tool));
        EXPECT_TRUE(tool->isVisible());
        EXPECT_EQ(ReadWholeFile(file), content) << "loading never writes";
    }
}

TEST(ExDockLayout, LoadingNeverWritesTheFile)
{
    TempDir dir;
    DockFixture f;
    TExForm* tool = f.Tool("Tool");
    ManualDock(*tool, f.Panel(1));
    const std::string file = dir.File("docking.dat");
    SaveDockLayoutToIniFile(file);
    // A hand-edited copy, spaced as our writer would never space it.
    const std::string edited = "; shipped default\n" + ReadWholeFile(file) + "\n\n";
    dir.Write("docking.dat", edited);
    LoadDockLayoutFromIniFile(file);
    EXPECT_EQ(ReadWholeFile(file), edited);
    EXPECT_EQ(HostDockSite(*tool), f.Panel(1));
}

TEST(ExDockLayout, AFailedSaveLeavesTheGoodLayout)
{
    TempDir dir;
    DockFixture f;
    TExForm* tool = f.Tool("Tool");
    ManualDock(*tool, f.Panel(0));
    const std::string file = dir.File("docking.dat");
    SaveDockLayoutToIniFile(file);
    const std::string good = ReadWholeFile(file);
    tool->SetName(""); // a docked form without a name cannot be written
    EXPECT_THROW(SaveDockLayoutToIniFile(file), Exception);
    EXPECT_EQ(ReadWholeFile(file), good);
    tool->SetName("Tool");
}

TEST(ExDockLayout, RecordsApplyTheirKeys)
{
    TempDir dir;
    DockFixture f;
    TExForm* tool = f.Tool("Tool");
    ManualDock(*tool, f.Panel(0));
    const std::string file = dir.File("docking.dat");
    SaveDockLayoutToIniFile(file);
    {
        TExAppIniFileStorage store(nullptr);
        store.SetLocation(TFileLocation::flCustom);
        store.SetFileName(file);
        store.RefreshContent();
        store.PutBoolean("Forms\\MainForm@LeftDockPanel\\Visible", false);
        store.PutString("Forms\\Tool\\LastDockSiteName", "Cannot find window");
        store.CommitChanges();
    }
    LoadDockLayoutFromIniFile(file);
    EXPECT_FALSE(ControlVisible(*f.Panel(0))) << "the panel record decides the panel's visibility";
    EXPECT_EQ(DockFixture::ClientOf(tool)->LastDockSite(), nullptr);
}

TEST(ExDockLayout, ARecordWhoseParentComesLaterIsNeverRead)
{
    TempDir dir;
    DockFixture f;
    TExForm* tool = f.Tool("Tool");
    tool->move(1234, 321);
    const std::string file = dir.Write("docking.dat",
                                       "[Forms]\nFormNames=Tool;Outer;\n"
                                       "[Forms\\Outer]\nParentName=Tool\n"
                                       "[Forms\\Tool]\nParentName=\nDockLeft=10\nDockTop=20\nDockRight=210\nDockBottom=170\n");
    LoadDockLayoutFromIniFile(file);
    EXPECT_EQ(tool->pos(), QPoint(10, 20)) << "the top-level record applies";

    const std::string reversed = dir.Write("reversed.dat",
                                           "[Forms]\nFormNames=Outer;Tool;\n"
                                           "[Forms\\Tool]\nParentName=Outer\nDockLeft=50\nDockTop=60\n"
                                           "[Forms\\Outer]\nParentName=\n");
    tool->move(1234, 321);
    LoadDockLayoutFromIniFile(reversed);
    EXPECT_EQ(tool->pos(), QPoint(1234, 321)) << "a child listed after its parent is not read";
}

namespace {

// A panel with an auto-hide popup panel, as the auto-hide style has.
class PopupPanelHolder : public TExDockPanel {
public:
    using TExDockPanel::TExDockPanel;
    TExDockPanel* PopupPanel() const override { return Popup; }
    TExDockPanel* Popup = nullptr;
};

} // namespace

TEST(ExDockLayout, PanelNamesAreParsedExactly)
{
    TExForm main(nullptr);
    main.SetName("M");
    auto* style = new TExDockBasicStyle(&main);
    std::vector<PopupPanelHolder*> panels;
    style->DockPanelClass = [&](TExDockServer* server) {
        auto* panel = new PopupPanelHolder(server);
        panel->Popup = new TExDockPanel(panel);
        panels.push_back(panel);
        return panel;
    };
    auto* server = new TExDockServer(&main);
    server->SetDockStyle(style);
    TExDockPanel* top = server->DockPanelAt(2);
    struct Case {
        const char* name;
        TWinControlCore* expected;
    } cases[] = {
        {"M@TopDockPanel", top},
        {"M@TopDockPanel_PopupPanel", panels[2]->Popup}, // the short form name misled a position test
        {"M@LeftDockPanel", server->DockPanelAt(0)},
        {"M@TopDockPanelX", nullptr},
        {"M@XTopDockPanel", nullptr},
        {"M@", nullptr},
        {"Missing@TopDockPanel", nullptr},
        {"M", nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindDockPanelByName(c.name), c.expected) << c.name;
}
