// The zone tree: where inserted controls go, how space is shared when zones come and go, what a
// resize and a splitter drag move, and the errors of its operations.

#include "DockTestSite.h"

#include "Platform/core/Exceptions.h"

#include <gtest/gtest.h>

namespace {

constexpr TDockOrientation H = TDockOrientation::doHorizontal;
constexpr TDockOrientation V = TDockOrientation::doVertical;
constexpr TDockOrientation None = TDockOrientation::doNoOrient;

} // namespace

TEST(ExDockTree, TheFirstControlFillsTheSiteAndTheRootKeepsNoOrientation)
{
    DockTestBench bench;
    TCustomForm* alpha = bench.Dock("Alpha");
    EXPECT_EQ(bench.Tree().RootZone()->Orientation, None);
    EXPECT_EQ(bench.Tree().RootZone()->ChildCount(), 1);
    const int g = bench.Tree().GetGrabbersSize();
    EXPECT_EQ(alpha->BoundsRect(), Rect(0, g, 200, 400)) << "below the grabber band";
    EXPECT_EQ(bench.ZoneOf(alpha)->ZoneRect(), Rect(0, 0, 200, 400));
}

TEST(ExDockTree, DockingBesideAndBelowBuildsNestedContainers)
{
    DockTestBench bench;
    TCustomForm* alpha = bench.Dock("Alpha");
    TCustomForm* beta = bench.Dock("Beta", TAlign::alRight, alpha);
    TExDockZone* root = bench.Tree().RootZone();
    EXPECT_EQ(root->Orientation, V);
    EXPECT_EQ(root->Limit, 400);
    EXPECT_EQ(bench.Tree().RootExtent(), 200);
    EXPECT_EQ(bench.ZoneOf(alpha)->Limit, 100);
    EXPECT_EQ(bench.ZoneOf(beta)->Limit, 200);
    const int sw = bench.Tree().GetSplitterWidth();
    EXPECT_EQ(alpha->Width(), 100 - sw) << "a splitter follows the first zone";
    EXPECT_EQ(beta->Left(), 100);

    TCustomForm* gamma = bench.Dock("Gamma", TAlign::alBottom, beta);
    TExDockZone* container = bench.ZoneOf(beta)->Parent;
    ASSERT_NE(container, root);
    EXPECT_EQ(container->Orientation, H);
    EXPECT_EQ(container->Parent, root);
    EXPECT_EQ(container->FirstChild->Control, beta);
    EXPECT_EQ(container->FirstChild->NextZone->Control, gamma);
    EXPECT_EQ(bench.ZoneOf(beta)->Limit, 200);
    EXPECT_EQ(bench.ZoneOf(gamma)->Limit, 400);
    EXPECT_EQ(gamma->Top(), 200 + bench.Tree().GetGrabbersSize());
    EXPECT_EQ(gamma->Left(), 100);
}

TEST(ExDockTree, SharedSpaceLeavesNoGapAtTheFarEnd)
{
    struct Case {
        int extent;
        int count;
        std::vector<int> limits;
    } cases[] = {
        {300, 3, {100, 200, 300}},
        {100, 3, {33, 66, 100}}, // the last gets 34
        {10, 4, {2, 4, 6, 10}},  // the rest, not a remainder that leaves a gap
        {7, 2, {3, 7}},
    };
    for (const Case& c : cases) {
        DockTestBench bench(c.extent, 50);
        std::vector<TCustomForm*> forms{bench.Dock("F0")};
        for (int i = 1; i < c.count; ++i)
            forms.push_back(bench.Dock("F" + std::to_string(i), TAlign::alRight, forms.back()));
        bench.Tree().RootZone()->ShareSpace(nullptr);
        std::vector<int> limits;
        for (TCustomForm* f : forms)
            limits.push_back(bench.ZoneOf(f)->Limit);
        EXPECT_EQ(limits, c.limits) << c.extent << " over " << c.count;
    }
}

TEST(ExDockTree, RemovingOneOfTwoControlsCollapsesTheContainer)
{
    DockTestBench bench;
    TCustomForm* alpha = bench.Dock("Alpha");
    TCustomForm* beta = bench.Dock("Beta", TAlign::alRight, alpha);
    TCustomForm* gamma = bench.Dock("Gamma", TAlign::alBottom, beta);
    ManualFloat(*gamma, Bounds(10, 10, 100, 100));
    TExDockZone* betaZone = bench.ZoneOf(beta);
    EXPECT_EQ(betaZone->Parent, bench.Tree().RootZone()) << "the parent became a leaf holding Beta";
    EXPECT_EQ(betaZone->Orientation, None);
    EXPECT_EQ(betaZone->FirstChild, nullptr);
    EXPECT_EQ(bench.ZoneOf(gamma), nullptr);
    EXPECT_EQ(beta->Height(), 400 - bench.Tree().GetGrabbersSize());

    ManualFloat(*alpha, Bounds(10, 10, 100, 100));
    TExDockZone* root = bench.Tree().RootZone();
    EXPECT_EQ(root->ChildCount(), 1);
    EXPECT_EQ(root->FirstChild->Control, beta);
    EXPECT_EQ(beta->BoundsRect(), Rect(0, bench.Tree().GetGrabbersSize(), 200, 400));
}

TEST(ExDockTree, RemovingTheMiddleZoneGivesItsSpaceToItsSuccessor)
{
    DockTestBench bench(300, 100);
    TCustomForm* a = bench.Dock("A");
    TCustomForm* b = bench.Dock("B", TAlign::alRight, a);
    TCustomForm* c = bench.Dock("C", TAlign::alRight, b);
    EXPECT_EQ(bench.ZoneOf(b)->Limit, 200);
    ManualFloat(*b, Bounds(0, 0, 50, 50));
    EXPECT_EQ(bench.ZoneOf(a)->Limit, 100);
    EXPECT_EQ(bench.ZoneOf(c)->Limit, 300);
    EXPECT_EQ(c->Left(), 100);
    EXPECT_EQ(c->Width(), 200);
}

TEST(ExDockTree, HidingAndShowingZones)
{
    DockTestBench bench;
    TCustomForm* alpha = bench.Dock("Alpha");
    TCustomForm* beta = bench.Dock("Beta", TAlign::alRight, alpha);
    TCustomForm* gamma = bench.Dock("Gamma", TAlign::alBottom, beta);

    gamma->hide();
    EXPECT_FALSE(bench.ZoneOf(gamma)->Shown());
    EXPECT_EQ(bench.ZoneOf(beta)->Limit, 400) << "the predecessor takes the hidden zone's limit";
    EXPECT_EQ(beta->Height(), 400 - bench.Tree().GetGrabbersSize());

    beta->hide();
    TExDockZone* container = bench.ZoneOf(beta)->Parent;
    EXPECT_FALSE(container->Shown()) << "a container without shown children hides too";
    EXPECT_EQ(bench.ZoneOf(alpha)->Limit, 200);
    EXPECT_EQ(alpha->Width(), 200);

    gamma->show();
    EXPECT_TRUE(container->Shown());
    EXPECT_EQ(bench.ZoneOf(alpha)->Limit, 100) << "space shared equally again";
    EXPECT_EQ(container->Limit, 200);
    EXPECT_EQ(gamma->BoundsRect(), Rect(100, bench.Tree().GetGrabbersSize(), 200, 400));
}

TEST(ExDockTree, ResizingTheSiteMovesOnlyTheLastSplitter)
{
    DockTestBench bench(300, 100);
    TCustomForm* a = bench.Dock("A");
    TCustomForm* b = bench.Dock("B", TAlign::alRight, a);
    TCustomForm* c = bench.Dock("C", TAlign::alRight, b);
    bench.site->resize(450, 100);
    bench.Tree().ResetBounds(false);
    EXPECT_EQ(bench.ZoneOf(a)->Limit, 100);
    EXPECT_EQ(bench.ZoneOf(b)->Limit, 200);
    EXPECT_EQ(bench.ZoneOf(c)->Limit, 450);
    EXPECT_EQ(c->Width(), 250);
}

TEST(ExDockTree, ASplitterDragStopsShortOfItsNeighboursAndChangesNothingUntilRelease)
{
    DockTestBench bench(300, 100);
    TCustomForm* a = bench.Dock("A");
    TCustomForm* b = bench.Dock("B", TAlign::alRight, a);
    TExDockTree& tree = bench.Tree();
    const int sw = tree.GetSplitterWidth();
    const int m = tree.GetMinZoneSize();
    const TPoint splitter{150 - sw / 2, 50};
    EXPECT_EQ(tree.HitTestCode(splitter), HTSPLITTER);

    bench.site->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(splitter.X, splitter.Y));
    ASSERT_EQ(tree.DragZone(), bench.ZoneOf(a));
    ASSERT_TRUE(tree.DragBar()->Shown());
    bench.site->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(2, 50));
    EXPECT_EQ(tree.SplitterPos().X, m) << "no closer than the minimum to the zone before";
    EXPECT_EQ(bench.ZoneOf(a)->Limit, 150) << "nothing moves before the release";
    bench.site->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(299, 50));
    EXPECT_EQ(tree.SplitterPos().X, 300 - m - sw) << "nor to the far bound of the zone after";
    bench.site->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(120, 50));
    bench.site->Perform(WM_LBUTTONUP, 0, MakeLParam(120, 50));
    EXPECT_EQ(tree.DragZone(), nullptr);
    EXPECT_FALSE(tree.DragBar()->Shown());
    EXPECT_EQ(bench.ZoneOf(a)->Limit, 120 + sw / 2);
    EXPECT_EQ(a->Width(), 120 + sw / 2 - sw);
    EXPECT_EQ(b->Left(), 120 + sw / 2);
}

TEST(ExDockTree, HitTestCodesOfGrabbersSplittersAndControls)
{
    DockTestBench bench(300, 100);
    TCustomForm* a = bench.Dock("A");
    TCustomForm* b = bench.Dock("B", TAlign::alRight, a);
    TExDockTree& tree = bench.Tree();
    const int g = tree.GetGrabbersSize();
    struct Case {
        TPoint p;
        int code;
    } cases[] = {
        {{20, 5}, HTCAPTION_ZONE},
        {{140, 5}, HTCLOSE_ZONE},
        {{148, 50}, HTSPLITTER},
        {{50, g + 10}, HTCLIENT_ZONE}, // over the docked control itself
        {{200, 5}, HTCAPTION_ZONE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tree.HitTestCode(c.p), c.code) << c.p.X << "," << c.p.Y;
    tree.SetBorderWidth(0);
    EXPECT_NE(tree.HitTestCode({0, 50}), HTBORDER_ZONE);

    ManualFloat(*b, Bounds(0, 0, 50, 50));
    (void)a;
    EXPECT_EQ(tree.HitTestCode({298, 50}), HTCLIENT_ZONE) << "no splitter after the last zone";
}

TEST(ExDockTree, ASplitterAfterTheLastShownZoneCountsAsClient)
{
    DockTestBench bench(300, 100);
    TCustomForm* a = bench.Dock("A");
    TCustomForm* b = bench.Dock("B", TAlign::alRight, a);
    b->hide();
    const int sw = bench.Tree().GetSplitterWidth();
    EXPECT_EQ(bench.ZoneOf(a)->Limit, 300);
    bench.ZoneOf(a)->Limit = 200; // a stale splitter position before a hidden zone
    int code = 0;
    TExDockZone* zone = bench.Tree().InternalHitTest({200 - sw / 2, 5}, code);
    EXPECT_EQ(zone, bench.ZoneOf(a));
    EXPECT_EQ(code, HTCLIENT_ZONE);
}

TEST(ExDockTree, ErrorsCarryTheirTexts)
{
    DockTestBench bench;
    TExDockTree& tree = bench.Tree();
    TRect r;
    try {
        tree.ControlZoneRect(nullptr, r);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Control can not be nil");
    }
    try {
        tree.UnlinkZone(nullptr);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Error removing control from dock tree - Dock zone not found");
    }
    try {
        tree.UnlinkZone(tree.RootZone());
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Error removing control from dock tree - Dock zone has no control");
    }
    try {
        tree.SiteSizeAlongOrientation();
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot get data of control that has no dock orientation");
    }
    EXPECT_THROW(tree.SetSiteSizeAlongOrientation(10), Exception);
}

TEST(ExDockTree, SiteSizeAlongOrientationKeepsTheOuterEdgeOfABottomSite)
{
    DockTestBench bench;
    SetAlign(*bench.site, TAlign::alBottom);
    bench.site->resize(bench.site->width(), 100);
    const int bottom = bench.site->BoundsRect().Bottom;
    EXPECT_EQ(bench.Tree().SiteSizeAlongOrientation(), 100);
    bench.Tree().SetSiteSizeAlongOrientation(60);
    EXPECT_EQ(bench.site->Height(), 60);
    EXPECT_EQ(bench.site->BoundsRect().Bottom, bottom);
}
