// The advanced zone tree: the close button follows the mouse while it is held, a zone docked at
// the far edge leaves the others as they were, one tree per advanced panel; and the advanced style
// sends a floating form back into the zone it left when its caption is double-clicked.

#include "DockFixture.h"
#include "DockTestSite.h"

#include "ExLib/run/docking/tree/ExDockAdvTree.h"

#include "Platform/core/Exceptions.h"

#include <gtest/gtest.h>

namespace {

TestSite::TreeFactory AdvTrees()
{
    return [](TDockSite& site) { return std::make_unique<TExDockAdvTree>(site, nullptr); };
}

} // namespace

TEST(ExDockAdvTree, TheCloseButtonFollowsTheHeldMouse)
{
    DockTestBench bench(300, 100, AdvTrees());
    TCustomForm* a = bench.Dock("A");
    auto& tree = dynamic_cast<TExDockAdvTree&>(bench.Tree());
    TPoint close{0, 5};
    for (int x = 0; x < 300; ++x)
        if (tree.HitTestCode({x, 5}) == HTCLOSE_ZONE) {
            close = {x, 5};
            break;
        }
    ASSERT_EQ(tree.HitTestCode(close), HTCLOSE_ZONE);
    auto* zone = dynamic_cast<TExDockAdvZone*>(bench.ZoneOf(a));
    ASSERT_NE(zone, nullptr);
    bench.site->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(close.X, close.Y));
    EXPECT_TRUE(zone->CloseButtonDown);
    EXPECT_EQ(tree.PressedZone, zone);
    bench.site->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(20, 5));
    EXPECT_FALSE(zone->CloseButtonDown) << "up while the pointer is away";
    bench.site->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(close.X, close.Y));
    EXPECT_TRUE(zone->CloseButtonDown) << "down again when it comes back";
    bench.site->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(20, 5));
    bench.site->Perform(WM_LBUTTONUP, 0, MakeLParam(20, 5));
    EXPECT_FALSE(zone->CloseButtonDown);
    EXPECT_EQ(tree.PressedZone, nullptr);
    EXPECT_TRUE(a->isVisible()) << "released away from the button: nothing closes";
}

TEST(ExDockAdvTree, DockingAtTheFarEdgeLeavesTheOtherZonesAlone)
{
    DockTestBench bench(300, 100, AdvTrees());
    TCustomForm* a = bench.Dock("A");
    TCustomForm* b = bench.Dock("B", TAlign::alRight, a);
    const int aLimit = bench.ZoneOf(a)->Limit;
    const int bLimit = bench.ZoneOf(b)->Limit;
    TCustomForm* c = bench.Dock("C", TAlign::alRight, nullptr);
    EXPECT_EQ(bench.ZoneOf(a)->Limit, aLimit);
    EXPECT_EQ(bench.ZoneOf(b)->Limit, bLimit);
    EXPECT_NE(bench.ZoneOf(c), nullptr);
}

TEST(ExDockAdvTree, OneTreePerAdvancedPanel)
{
    TExForm main(nullptr);
    TExDockAdvPanel panel(nullptr, &main);
    TExDockAdvTree first(panel, nullptr);
    EXPECT_EQ(panel.AdvTree, &first);
    EXPECT_THROW(TExDockAdvTree second(panel, nullptr), Exception);
}

TEST(ExDockAdvStyle, DoubleClickingAFloatingCaptionDocksTheFormBackIntoItsZone)
{
    DockFixture f([](TComponent* owner) {
        auto* style = new TExDockAdvStyle(owner);
        style->DockPanelClass = [](TExDockServer* server) { return new TExDockAdvPanel(server); };
        return style;
    });
    TExForm* a = f.Tool("A");
    TExForm* b = f.Tool("B", 1000, 400);
    ManualDock(*a, f.Panel(0));
    ManualDock(*b, f.Panel(0), a, TAlign::alBottom);
    IExDockManager* manager = f.Panel(0)->ExDockManager();
    ASSERT_NE(manager, nullptr);

    // Out of the panel: the zone stays, hidden, for the way back.
    ManualDock(*a, nullptr);
    EXPECT_TRUE(Floating(*a));
    EXPECT_EQ(DockFixture::ClientOf(a)->LastDockSite(), f.Panel(0));
    EXPECT_TRUE(manager->HasZone(a));
    EXPECT_EQ(b->Top(), f.Panel(0)->ExDockManager()->GetGrabbersSize()) << "B took the room";

    a->Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, MakeLParam(a->x() + 20, a->y() + 5));
    EXPECT_EQ(HostDockSite(*a), f.Panel(0));
    EXPECT_LT(a->Top(), b->Top()) << "back above B, in the zone it left";
}

TEST(ExDockSplitter, SizingFollowsMinSizeAutoSnapAndTellsOnMovedTwice)
{
    DockFixture f;
    TExForm* a = f.Tool("A");
    ManualDock(*a, f.Panel(0));
    TExDockSplitter* splitter = f.server->SplitterAt(0);
    ASSERT_TRUE(splitter->isVisibleTo(&f.main));
    EXPECT_EQ(splitter->FindSizedControl(), f.Panel(0));
    int moved = 0;
    splitter->OnMoved = [&](TObject*) { ++moved; };
    splitter->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(1, 10));
    splitter->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(51, 10));
    EXPECT_TRUE(splitter->Line()->Shown()) << "a line shows where the edge goes";
    EXPECT_EQ(f.Panel(0)->Width(), 100) << "nothing moves before the release";
    splitter->Perform(WM_LBUTTONUP, 0, MakeLParam(51, 10));
    EXPECT_EQ(f.Panel(0)->Width(), 150);
    EXPECT_EQ(moved, 2) << "once when the size is applied, once when sizing stops";

    splitter->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(1, 10));
    splitter->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(-200, 10));
    splitter->Perform(WM_LBUTTONUP, 0, MakeLParam(-200, 10));
    EXPECT_EQ(f.Panel(0)->Width(), splitter->MinSize()) << "without AutoSnap it stops at MinSize";

    splitter->SetAutoSnap(true);
    splitter->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(1, 10));
    splitter->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(-200, 10));
    splitter->Perform(WM_LBUTTONUP, 0, MakeLParam(-200, 10));
    EXPECT_EQ(f.Panel(0)->Width(), 0) << "with AutoSnap it collapses";
}

TEST(ExDockSplitter, EscapeStopsSizingWithoutAChange)
{
    DockFixture f;
    TExForm* a = f.Tool("A");
    ManualDock(*a, f.Panel(0));
    TExDockSplitter* splitter = f.server->SplitterAt(0);
    splitter->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(1, 10));
    splitter->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(60, 10));
    QTest::keyClick(&f.main, Qt::Key_Escape);
    EXPECT_FALSE(splitter->Sizing());
    EXPECT_FALSE(splitter->Line()->Shown());
    splitter->Perform(WM_LBUTTONUP, 0, MakeLParam(60, 10));
    EXPECT_EQ(f.Panel(0)->Width(), 100);
}
