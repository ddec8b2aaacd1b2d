// The caption-bar tree: caption bars with their colours and hit areas, a lone form that fills
// its site, drops across a splitter and onto a docked form's caption, a side-by-side host brought
// into a panel, proportional sizes on resize and on showing a zone.

#include "DockFixture.h"

#include "ExLib/run/docking/vid/ExDockVIDStyle.h"
#include "ExLib/run/docking/vid/ExDockVIDTabs.h"
#include "ExLib/run/docking/vid/ExDockVIDTree.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

TExDockBasicStyle* MakeVID(TComponent* owner)
{
    return new TExDockVIDStyle(owner);
}

TExDockVIDTree& TreeOf(TExDockPanel* panel)
{
    return *dynamic_cast<TExDockVIDTree*>(panel->DockManager());
}

// A and B stacked in the left panel, B below A.
struct Stacked {
    explicit Stacked(DockFixture& f) : panel(f.Panel(0))
    {
        a = f.Tool("A", 1000, 100);
        b = f.Tool("B", 1000, 300);
        ManualDock(*a, panel);
        ManualDock(*b, panel, a, TAlign::alBottom);
    }
    TExDockVIDTree& Tree() const { return TreeOf(panel); }
    TExDockZone* Zone(TWinControlCore* c) const { return Tree().FindZone(c, true); }
    TExDockPanel* panel;
    TExForm* a;
    TExForm* b;
};

std::vector<TWinControlCore*> ControlsInOrder(TExDockTree& tree)
{
    std::vector<TWinControlCore*> controls;
    std::function<void(TExDockZone*)> walk = [&](TExDockZone* z) {
        for (; z; z = z->NextZone) {
            if (z->Control && z->Shown())
                controls.push_back(z->Control);
            walk(z->FirstChild);
        }
    };
    walk(tree.RootZone());
    return controls;
}

} // namespace

TEST(ExDockVIDTree, ADockedFormHasACaptionBarWhoseCloseButtonAndCaptionAnswerTheMouse)
{
    DockFixture f(MakeVID);
    Stacked s(f);
    TExDockVIDTree& tree = s.Tree();
    EXPECT_EQ(tree.GetGrabbersSize(), 18);
    EXPECT_EQ(s.a->Top(), 18) << "the caption bar lies above the form";
    const int right = s.a->Left() + s.a->Width();
    const int top = s.a->Top() + tree.VerticalOffset - tree.GetGrabbersSize();
    struct Case {
        TPoint p;
        int code;
    };
    const Case cases[] = {
        {{right - 10, top + 5}, HTCLOSE_ZONE},
        {{right - 17, top}, HTCLOSE_ZONE},
        {{right - 18, top + 5}, HTCAPTION_ZONE},
        {{right - 3, top + 5}, HTCAPTION_ZONE},
        {{10, top + 5}, HTCAPTION_ZONE},
        {{10, 40}, HTCLIENT_ZONE},
    };
    for (const Case& k : cases)
        EXPECT_EQ(tree.HitTestCode(k.p), k.code) << k.p.X << "," << k.p.Y;
    const int bTop = s.b->Top() + tree.VerticalOffset - tree.GetGrabbersSize();
    EXPECT_EQ(tree.HitTestCode({right - 10, bTop + 5}), HTCLOSE_ZONE);

    // A form whose dock client keeps its close button off has none.
    FindDockClientOf(s.a)->EnableCloseButton = false;
    TExDockVIDConjoinServerOption* option = dynamic_cast<TExDockVIDStyle*>(f.style)->VIDConjoinOption();
    option->SetActiveTitleStartColor(clRed);
    option->SetActiveTitleEndColor(clRed);
    option->SetInactiveTitleStartColor(clBlue);
    option->SetInactiveTitleEndColor(clBlue);
    tree.SetActiveControl(s.b);
    const QImage image = s.panel->Widget()->grab().toImage();
    EXPECT_EQ(image.pixel(right - 25, s.Zone(s.a)->ZoneRect().Top + 5), QColor(0, 0, 255).rgb()) << "inactive";
    EXPECT_EQ(image.pixel(right - 25, s.Zone(s.b)->ZoneRect().Top + 5), QColor(255, 0, 0).rgb()) << "active";
}

TEST(ExDockVIDTree, ALoneFormFillingItsSiteHasNoCaptionBarUnlessTheStyleAlwaysShowsOne)
{
    TExForm main(nullptr);
    main.SetName("MainForm");
    main.setGeometry(100, 100, 800, 600);
    auto* style = new TExDockVIDStyle(&main);
    auto* server = new TExDockServer(&main);
    server->OnCustomPanel = [&main](TExDockServer*, QWidget*& parent, TAlign& align) {
        parent = &main;
        align = TAlign::alClient;
    };
    server->SetDockStyle(style);
    main.show();
    TExForm tool(nullptr);
    tool.SetName("Tool");
    new TExDockClient(&tool);
    FindDockClientOf(&tool)->SetDockStyle(style);
    tool.show();
    TExDockPanel* custom = server->DockPanelAt(4);
    ASSERT_NE(custom, nullptr);
    ASSERT_TRUE(ManualDock(tool, custom));
    EXPECT_EQ(tool.Top(), 0);
    EXPECT_EQ(tool.Height(), custom->ClientHeight());
    style->SetAlwaysShowGrabber(true);
    EXPECT_EQ(tool.Top(), 18);
    style->SetAlwaysShowGrabber(false);
    EXPECT_EQ(tool.Top(), 0);
    ManualFloat(tool, Bounds(1000, 100, 200, 150));
}

TEST(ExDockVIDTree, ATabHostInAPanelShowsTheCloseButtonOnlyWhenTheTabOptionSaysSo)
{
    DockFixture f(MakeVID);
    TExForm* a = f.Tool("A", 1000, 100);
    TExForm* b = f.Tool("B", 1000, 300);
    DockFixture::Drag(b, CaptionPoint(b), a->ClientToScreen({a->ClientWidth() / 2, -5}));
    TExDockTabHostForm* host = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*a))->Host();
    ManualDock(*host, f.Panel(0));
    TExDockVIDTree& tree = TreeOf(f.Panel(0));
    TExDockVIDConjoinServerOption* option = dynamic_cast<TExDockVIDStyle*>(f.style)->VIDConjoinOption();
    option->SetActiveTitleStartColor(clBlack);
    option->SetActiveTitleEndColor(clBlack);
    option->SetInactiveTitleStartColor(clBlack);
    option->SetInactiveTitleEndColor(clBlack);
    const int right = host->Left() + host->Width();
    const int top = host->Top() + tree.VerticalOffset - tree.GetGrabbersSize();
    auto buttonPixels = [&] {
        const QImage image = f.Panel(0)->Widget()->grab().toImage();
        int drawn = 0;
        for (int x = right - tree.RightOffset - tree.ButtonWidth; x < right - tree.RightOffset; ++x)
            for (int y = top; y < top + tree.ButtonHeight; ++y)
                if (image.pixel(x, y) != QColor(0, 0, 0).rgb())
                    ++drawn;
        return drawn;
    };
    EXPECT_GT(buttonPixels(), 0) << "the close button is drawn on the black bar";
    dynamic_cast<TExDockVIDStyle*>(f.style)->VIDTabOption()->SetShowCloseButtonOnGrabber(false);
    EXPECT_EQ(buttonPixels(), 0);
}

TEST(ExDockVIDTree, AFormDroppedOnASplitterGoesBetweenTheTwoZones)
{
    DockFixture f(MakeVID);
    Stacked s(f);
    TExForm* c = f.Tool("C", 1300, 100);
    const int splitterY = s.Zone(s.a)->Limit - 2;
    const TPoint onSplitter = s.panel->ClientToScreen({s.panel->ClientWidth() / 2, splitterY});
    DockFixture::Drag(c, CaptionPoint(c), onSplitter, false);
    TExDockDragDockObject* drag = GlobalDockManager()->DragObject();
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->DropTarget, s.panel);
    EXPECT_LT(drag->DockRect.Top, onSplitter.Y) << "the preview straddles the splitter";
    EXPECT_GT(drag->DockRect.Bottom, onSplitter.Y);
    GlobalDockManager()->MouseReleased();
    EXPECT_EQ(HostDockSite(*c), s.panel);
    EXPECT_EQ(ControlsInOrder(s.Tree()), (std::vector<TWinControlCore*>{s.a, c, s.b}));
    EXPECT_LT(s.a->Top(), c->Top());
    EXPECT_LT(c->Top(), s.b->Top());
}

TEST(ExDockVIDTree, AFormDroppedOnADockedFormsCaptionMakesATabHostInItsPlace)
{
    DockFixture f(MakeVID);
    Stacked s(f);
    TExForm* c = f.Tool("C", 1300, 100);
    // B's caption, away from the top panel's edge.
    const TPoint caption = s.panel->ClientToScreen({20, s.Zone(s.b)->ZoneRect().Top + 8});
    DockFixture::Drag(c, CaptionPoint(c), caption);
    DockFixture::Settle();
    auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*s.b));
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(HostDockSite(*c), pages);
    TExDockTabHostForm* host = pages->Host();
    EXPECT_EQ(HostDockSite(*host), s.panel);
    EXPECT_EQ(ControlsInOrder(s.Tree()), (std::vector<TWinControlCore*>{s.a, host})) << "where B was";
}

TEST(ExDockVIDTree, ASideBySideHostDroppedIntoAPanelBringsItsFormsAsZones)
{
    DockFixture f(MakeVID);
    TExForm* a = f.Tool("A", 1000, 100);
    ManualDock(*a, f.Panel(0));
    TExForm* b = f.Tool("B", 1300, 100);
    TExForm* c = f.Tool("C", 1300, 300);
    DockFixture::Drag(c, CaptionPoint(c), b->ClientToScreen({b->ClientWidth() / 2, b->ClientHeight() - 5}));
    auto* conjoin = dynamic_cast<TExDockConjoinPanel*>(HostDockSite(*b));
    ASSERT_NE(conjoin, nullptr);
    TExDockConjoinHostForm* host = conjoin->Host();
    ManualDock(*host, f.Panel(0), a, TAlign::alBottom);
    DockFixture::Settle();
    EXPECT_EQ(HostDockSite(*b), f.Panel(0));
    EXPECT_EQ(HostDockSite(*c), f.Panel(0));
    TExDockVIDTree& tree = TreeOf(f.Panel(0));
    EXPECT_EQ(ControlsInOrder(tree), (std::vector<TWinControlCore*>{a, b, c}));
    EXPECT_EQ(GlobalDockManager()->DockableFormCount(), 0) << "the emptied host went";
    EXPECT_LT(a->Top(), b->Top());
    EXPECT_LT(b->Top(), c->Top());
    EXPECT_GT(c->Height(), 20);
}

TEST(ExDockVIDTree, ResizingTheSiteRescalesTheZonesProportionally)
{
    DockFixture f(MakeVID);
    Stacked s(f);
    const int height = s.panel->ClientHeight();
    const int aLimit = s.Zone(s.a)->Limit;
    f.main.resize(f.main.width(), f.main.height() + height);
    const int grown = s.panel->ClientHeight();
    ASSERT_GT(grown, height);
    const double expected = static_cast<double>(aLimit) * grown / height;
    EXPECT_NEAR(s.Zone(s.a)->Limit, expected, 1.0);
    EXPECT_EQ(s.Zone(s.b)->Limit, grown);

    SetLayoutLoading(true);
    f.main.resize(f.main.width(), f.main.height() - height);
    SetLayoutLoading(false);
    EXPECT_NEAR(s.Zone(s.a)->Limit, expected, 1.0) << "no rescaling while a layout loads";
}

TEST(ExDockVIDTree, ShowingAZoneThatAsksForMoreThanIsFreeGetsHalfOfWhatTheOthersCanSpare)
{
    DockFixture f(MakeVID);
    Stacked s(f);
    TExForm* c = f.Tool("C", 1300, 100);
    ManualDock(*c, s.panel, s.b, TAlign::alBottom);
    TExDockVIDTree& tree = s.Tree();
    const int extent = s.panel->ClientHeight();
    s.b->Hide();
    TExDockZone* zone = s.Zone(s.b);
    ASSERT_FALSE(zone->Shown());
    TExDockZone* za = s.Zone(s.a);
    TExDockZone* zc = s.Zone(c);
    EXPECT_EQ((za->Limit - za->LimitBegin()) + (zc->Limit - zc->LimitBegin()), extent) << "the others took the room";
    zone->Show(10 * extent, false);
    const int m = tree.GetMinZoneSize();
    EXPECT_EQ(zone->Limit - zone->LimitBegin(), (extent - 2 * m) / 2);
    EXPECT_EQ(s.Zone(c)->Limit, extent);
    EXPECT_GE(s.Zone(s.a)->Limit, m);
}

TEST(ExDockVIDTree, ATabHostLeftWithOneFormInAPanelHandsItsPlaceToThatForm)
{
    DockFixture f(MakeVID);
    TExForm* a = f.Tool("A", 1000, 100);
    TExForm* b = f.Tool("B", 1000, 300);
    TExForm* c = f.Tool("C", 1300, 300);
    DockFixture::Drag(b, CaptionPoint(b), a->ClientToScreen({a->ClientWidth() / 2, -5}));
    TExDockTabHostForm* host = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*a))->Host();
    ManualDock(*host, f.Panel(3));
    ManualDock(*c, f.Panel(3), host, TAlign::alRight);
    ManualFloat(*b, Bounds(1300, 500, 200, 150));
    DockFixture::Settle();
    EXPECT_EQ(GlobalDockManager()->DockableFormCount(), 0) << "the host closed itself";
    EXPECT_EQ(HostDockSite(*a), f.Panel(3)) << "A took the host's place";
    EXPECT_TRUE(ControlVisible(*a));
    EXPECT_EQ(ControlsInOrder(TreeOf(f.Panel(3))), (std::vector<TWinControlCore*>{a, c}));
    EXPECT_GT(a->Width(), 20);
    EXPECT_EQ(a->Top(), 18) << "below its caption bar";

    // Alone in the panel as well.
    ManualFloat(*c, Bounds(1300, 100, 200, 150));
    TExForm* d = f.Tool("D", 1000, 500);
    DockFixture::Drag(d, CaptionPoint(d), a->ClientToScreen({a->ClientWidth() / 2, -5}));
    ASSERT_NE(dynamic_cast<TExDockTabPageControl*>(HostDockSite(*a)), nullptr);
    ManualFloat(*d, Bounds(1300, 500, 200, 150));
    DockFixture::Settle();
    EXPECT_EQ(HostDockSite(*a), f.Panel(3));
    EXPECT_EQ(a->Top(), 18);
    EXPECT_GT(a->Height(), 20);
}
