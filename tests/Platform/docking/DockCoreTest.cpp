// The platform's docking steps: a drop reaches the site as CM_DOCKCLIENT and its dock manager,
// undocking asks the site, a docked control reports its visibility and caption, and a client
// that is destroyed or a site that is destroyed leaves nothing dangling.

#include "Platform/docking/DockCore.h"
#include "Platform/controls/Forms.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

class RecordingManager : public IDockManager {
public:
    explicit RecordingManager(std::vector<std::string>& log) : Log(log) {}
    void BeginUpdate() override {}
    void EndUpdate() override {}
    void GetControlBounds(TWinControlCore* control, TRect& rect) override { rect = control->BoundsRect(); }
    void InsertControl(TWinControlCore* control, TAlign, TWinControlCore*) override
    {
        Log.push_back("insert " + control->Name());
    }
    void LoadFromStream(TStream&) override {}
    void PaintSite(QPainter*) override {}
    void PositionDockRect(TWinControlCore*, TWinControlCore*, TAlign, TRect&) override {}
    void RemoveControl(TWinControlCore* control) override { Log.push_back("remove " + control->Name()); }
    void ResetBounds(bool) override {}
    void SaveToStream(TStream&) override {}
    void SetReplacingControl(TWinControlCore*) override {}
    std::vector<std::string>& Log;
};

class Site : public TWinControl, public TDockSite {
public:
    explicit Site(QWidget* parent) : TWinControl(nullptr, parent), TDockSite(static_cast<TWinControl&>(*this))
    {
        SetUseDockManager(true);
        SetControlDockSite(*this, true);
    }
    ~Site() override
    {
        ReleaseDockClients();
        ReleaseDockManager();
    }
    bool RefuseUndock = false;
    std::vector<std::string> Log;

protected:
    std::unique_ptr<IDockManager> CreateDockManager() override { return std::make_unique<RecordingManager>(Log); }
    void WndProc(TMessage& m) override
    {
        if (m.Msg == CM_UNDOCKCLIENT && RefuseUndock) {
            m.Result = 1;
            return;
        }
        if (m.Msg == CM_DOCKNOTIFICATION) {
            const auto* rec = reinterpret_cast<const TDockNotifyRec*>(m.LParam);
            if (rec->ClientMsg == CM_VISIBLECHANGED)
                Log.push_back(rec->WParam ? "shown" : "hidden");
            else if (rec->ClientMsg == WM_SETTEXT)
                Log.push_back("text " + *reinterpret_cast<const std::string*>(rec->LParam));
            return;
        }
        if (!DefaultDockHandler(m))
            TWinControl::WndProc(m);
    }
};

struct Fixture {
    Fixture()
    {
        main.setGeometry(100, 100, 400, 300);
        main.show();
        site = new Site(&main);
        site->setGeometry(0, 0, 150, 300);
        site->show();
        tool = new TCustomForm(nullptr);
        tool->SetName("Tool");
        tool->setGeometry(500, 120, 120, 90);
        tool->show();
    }
    ~Fixture() { delete tool; }
    TCustomForm main{nullptr};
    Site* site;
    TCustomForm* tool;
};

} // namespace

TEST(DockCore, ManualDockPutsTheControlIntoTheSiteThroughItsManager)
{
    Fixture f;
    ASSERT_NE(f.site->DockManager(), nullptr);
    ASSERT_TRUE(ManualDock(*f.tool, f.site));
    EXPECT_EQ(HostDockSite(*f.tool), f.site);
    EXPECT_EQ(f.tool->Parent(), f.site);
    EXPECT_FALSE(Floating(*f.tool));
    EXPECT_TRUE(ControlVisible(*f.tool));
    ASSERT_EQ(f.site->DockClientCount(), 1);
    EXPECT_EQ(f.site->DockClients(0), f.tool);
    EXPECT_EQ(f.site->Log, std::vector<std::string>{"insert Tool"});
    EXPECT_EQ(UndockWidth(*f.tool), 120) << "the floating size is remembered";
    EXPECT_EQ(UndockHeight(*f.tool), 90);
}

TEST(DockCore, ManualFloatAsksTheSiteAndMakesAFramelessToolWindow)
{
    Fixture f;
    ManualDock(*f.tool, f.site);
    f.site->RefuseUndock = true;
    EXPECT_FALSE(ManualFloat(*f.tool, Bounds(50, 60, 120, 90)));
    EXPECT_EQ(HostDockSite(*f.tool), f.site) << "a refused undock keeps the control";

    f.site->RefuseUndock = false;
    ASSERT_TRUE(ManualFloat(*f.tool, Bounds(50, 60, 130, 95)));
    EXPECT_EQ(HostDockSite(*f.tool), nullptr);
    EXPECT_TRUE(Floating(*f.tool));
    EXPECT_TRUE(f.tool->isWindow());
    EXPECT_TRUE(f.tool->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(f.tool->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_EQ(f.tool->geometry(), QRect(50, 60, 130, 95));
    EXPECT_TRUE(f.tool->isVisible());
    EXPECT_EQ(f.site->DockClientCount(), 0);
    ASSERT_FALSE(f.site->Log.empty());
    EXPECT_EQ(f.site->Log.back(), "remove Tool");
}

TEST(DockCore, AHiddenControlStaysHiddenWhereverItGoes)
{
    Fixture f;
    f.tool->hide();
    ManualDock(*f.tool, f.site);
    EXPECT_FALSE(ControlVisible(*f.tool));
    EXPECT_EQ(f.site->VisibleDockClientCount(), 0);
    ManualDock(*f.tool, nullptr);
    EXPECT_TRUE(f.tool->isWindow());
    EXPECT_FALSE(f.tool->isVisible());
}

TEST(DockCore, ADockedControlTellsItsSiteOfVisibilityAndCaption)
{
    Fixture f;
    ManualDock(*f.tool, f.site);
    f.site->Log.clear();
    f.tool->hide();
    f.tool->SetCaption("Output");
    f.tool->show();
    EXPECT_EQ(f.site->Log, (std::vector<std::string>{"hidden", "text Output", "shown"}));
    EXPECT_EQ(f.site->VisibleDockClientCount(), 1);
}

TEST(DockCore, ADestroyedClientLeavesTheSiteAndItsManager)
{
    Fixture f;
    ManualDock(*f.tool, f.site);
    delete f.tool;
    f.tool = nullptr;
    EXPECT_EQ(f.site->DockClientCount(), 0);
    ASSERT_FALSE(f.site->Log.empty());
    EXPECT_EQ(f.site->Log.back(), "remove Tool");
}

TEST(DockCore, ADestroyedSiteFloatsItsClientsHidden)
{
    Fixture f;
    ManualDock(*f.tool, f.site);
    delete f.site;
    EXPECT_EQ(HostDockSite(*f.tool), nullptr);
    EXPECT_TRUE(f.tool->isWindow());
    EXPECT_FALSE(f.tool->isVisible());
}

TEST(DockCore, AControlNeverGoesIntoASiteInsideItself)
{
    Fixture f;
    EXPECT_FALSE(ManualDock(f.main, f.site)) << "the site lies inside the main form";
    EXPECT_EQ(HostDockSite(f.main), nullptr);
    EXPECT_TRUE(f.main.isWindow());
    EXPECT_EQ(f.site->DockClientCount(), 0);
    Dock(*f.site, f.site, Rect(0, 0, 10, 10));
    EXPECT_EQ(HostDockSite(*f.site), nullptr);
}
