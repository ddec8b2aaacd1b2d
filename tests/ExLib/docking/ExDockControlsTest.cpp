// Dock server, dock clients and the global procedures: the panels and splitters a server makes,
// the docking test, the drop side of a point, one dock control per form, and the clean-up of the
// hooks and of the current client when a dock control goes before its form.

#include "DockFixture.h"

#include "Platform/core/Exceptions.h"

#include <gtest/gtest.h>

TEST(ExDockServer, AttachingAStyleMakesThePanelsAndSplitters)
{
    DockFixture f;
    const char* names[] = {"LeftDockPanel", "RightDockPanel", "TopDockPanel", "BottomDockPanel"};
    const TAlign aligns[] = {TAlign::alLeft, TAlign::alRight, TAlign::alTop, TAlign::alBottom};
    for (int i = 0; i < 4; ++i) {
        TExDockPanel* panel = f.Panel(i);
        ASSERT_NE(panel, nullptr) << i;
        EXPECT_EQ(panel->Name(), names[i]);
        EXPECT_EQ(AlignOf(*panel), aligns[i]);
        EXPECT_EQ(panel->Parent(), &f.main);
        EXPECT_EQ(panel->DockServer(), f.server);
        EXPECT_EQ(f.server->DockPanelWithAlign(aligns[i]), panel);
        EXPECT_TRUE(IsDockSite(*panel));
        EXPECT_NE(panel->ExDockManager(), nullptr) << "the style names the zone tree";
        ASSERT_NE(f.server->SplitterAt(i), nullptr);
        EXPECT_FALSE(f.server->SplitterAt(i)->isVisibleTo(&f.main)) << "splitters show with their panel";
        const bool across = i < 2;
        EXPECT_EQ(across ? panel->Width() : panel->Height(), 0) << "a panel starts collapsed";
    }
    EXPECT_EQ(f.server->DockPanelAt(4), nullptr);
    EXPECT_EQ(f.server->SplitterAt(4), nullptr);
    EXPECT_EQ(f.server->DockPanelWithAlign(TAlign::alClient), nullptr);

    TExDockPanel* left = f.Panel(0);
    f.server->SetDockStyle(f.style);
    EXPECT_EQ(f.Panel(0), left) << "the same style again changes nothing";
}

TEST(ExDockServer, DestroyingOneSplitterFreesAllPanelsAndSplitters)
{
    DockFixture f;
    delete f.server->SplitterAt(2);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(f.server->DockPanelAt(i), nullptr) << i;
        EXPECT_EQ(f.server->SplitterAt(i), nullptr) << i;
    }
}

TEST(ExDockServer, TheCustomPanelComesFromTheEvent)
{
    TExForm main(nullptr);
    main.resize(400, 300);
    auto* style = new TExDockBasicStyle(&main);
    auto* server = new TExDockServer(&main);
    server->OnCustomPanel = [&](TExDockServer*, QWidget*& parent, TAlign& align) {
        parent = &main;
        align = TAlign::alClient;
    };
    server->SetDockStyle(style);
    ASSERT_NE(server->DockPanelAt(4), nullptr);
    EXPECT_EQ(server->DockPanelAt(4)->Name(), "CustomDockPanel");
    EXPECT_TRUE(server->DockPanelAt(4)->IsCustomPanel);
    EXPECT_EQ(server->SplitterAt(4), nullptr);
}

TEST(ExDockServer, PanelsOpenToTheClientsSizeAndRememberTheirOwnWhenTheyCollapse)
{
    DockFixture f;
    TExForm* tool = f.Tool("Tool");
    DockFixture::ClientOf(tool)->SetLRDockWidth(0);
    ManualDock(*tool, f.Panel(0));
    EXPECT_EQ(f.Panel(0)->Width(), 100) << "a width of 0 opens 100 wide";
    EXPECT_TRUE(f.server->SplitterAt(0)->isVisibleTo(&f.main));

    TExForm* bottom = f.Tool("Bottom");
    DockFixture::ClientOf(bottom)->SetTBDockHeight(140);
    ManualDock(*bottom, f.Panel(3));
    EXPECT_EQ(f.Panel(3)->Height(), 140);
    EXPECT_EQ(f.Panel(3)->BoundsRect().Bottom, 600);
    f.Panel(3)->ShowDockPanel(false, nullptr, false);
    EXPECT_EQ(f.Panel(3)->Height(), 0);
    EXPECT_EQ(TBDockHeight(*f.Panel(3)), 140) << "the panel keeps its own height";
    f.Panel(3)->ShowDockPanel(true, bottom, false);
    EXPECT_EQ(f.Panel(3)->Height(), 140);
}

TEST(ExDockServer, AnotherDockControlOnTheSameFormIsRefused)
{
    DockFixture f;
    try {
        new TExDockClient(&f.main);
        ADD_FAILURE();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Only one TExDockServer allowed on each form. Cannot add another TExDockClient");
    }
    EXPECT_EQ(FindDockClientOf(&f.main), nullptr);
    EXPECT_EQ(FindDockServerOf(&f.main), f.server);
}

TEST(ExDockGlobals, DropSideOfEachPoint)
{
    TExForm form(nullptr);
    form.setGeometry(200, 200, 100, 100);
    form.show();
    struct Case {
        TPoint p;
        TAlign side;
        TRect preview; // client coordinates
    } cases[] = {
        {{19, 50}, TAlign::alLeft, Rect(0, 0, 50, 100)},     {{0, 0}, TAlign::alLeft, Rect(0, 0, 50, 100)},
        {{20, 10}, TAlign::alTop, Rect(0, 0, 100, 50)},      {{79, 19}, TAlign::alTop, Rect(0, 0, 100, 50)},
        {{80, 50}, TAlign::alRight, Rect(50, 0, 100, 100)},  {{99, 99}, TAlign::alRight, Rect(50, 0, 100, 100)},
        {{50, 80}, TAlign::alBottom, Rect(0, 50, 100, 100)}, {{20, 99}, TAlign::alBottom, Rect(0, 50, 100, 100)},
        {{50, 50}, TAlign::alClient, Rect(20, 20, 80, 80)},  {{20, 20}, TAlign::alClient, Rect(20, 20, 80, 80)},
        {{100, 50}, TAlign::alNone, Rect(1, 2, 3, 4)},       {{-1, 50}, TAlign::alNone, Rect(1, 2, 3, 4)},
    };
    for (const Case& c : cases) {
        TRect r = Rect(1, 2, 3, 4);
        EXPECT_EQ(DockSideAtPoint(&form, r, c.p), c.side) << c.p.X << "," << c.p.Y;
        TRect expected = c.preview;
        if (c.side != TAlign::alNone)
            OffsetRect(expected, 200, 200);
        EXPECT_EQ(r, expected) << c.p.X << "," << c.p.Y;
    }
    TRect r;
    EXPECT_EQ(DockSideAtPoint(nullptr, r, {1, 1}), TAlign::alNone);
}

TEST(ExDockGlobals, TheDockingTestFollowsThePermissions)
{
    DockFixture f;
    TExForm* a = f.Tool("A");
    TExForm* b = f.Tool("B", 1000, 400);
    EXPECT_TRUE(CanDockOnto(f.Panel(2), a, nullptr, TAlign::alNone));
    f.server->SetTopDock(false);
    EXPECT_NE(f.Panel(2), nullptr) << "the top panel stays";
    EXPECT_FALSE(CanDockOnto(f.Panel(2), a, nullptr, TAlign::alNone)) << "but takes nobody";
    EXPECT_TRUE(CanDockOnto(f.Panel(0), a, nullptr, TAlign::alNone));
    DockFixture::ClientOf(a)->SetLeftDock(false);
    EXPECT_FALSE(CanDockOnto(f.Panel(0), a, nullptr, TAlign::alNone));
    EXPECT_TRUE(CanDockOnto(b, a, nullptr, TAlign::alNone)) << "forms dock onto each other";
    DockFixture::ClientOf(a)->SetEachOtherDock(false);
    EXPECT_FALSE(CanDockOnto(b, a, nullptr, TAlign::alNone));
    DockFixture::ClientOf(a)->SetEnableDock(false);
    EXPECT_FALSE(CanDockOnto(f.Panel(1), a, nullptr, TAlign::alNone));
    EXPECT_EQ(DragKind(*a), TDragKind::dkDrag);

    TExForm plain(nullptr);
    EXPECT_FALSE(CanDockOnto(f.Panel(1), &plain, nullptr, TAlign::alNone)) << "no dock client";
}

TEST(ExDockGlobals, StylesOfDifferentKindsDoNotMix)
{
    DockFixture f;
    TExForm* a = f.Tool("A");
    TExDockAdvStyle other(nullptr);
    DockFixture::ClientOf(a)->SetDockStyle(&other);
    EXPECT_FALSE(CanDockOnto(f.Panel(0), a, nullptr, TAlign::alNone));
    DockFixture::ClientOf(a)->SetDockStyle(nullptr);
}

TEST(ExDockClient, AFreedClientIsNeverLeftAsTheCurrentOne)
{
    DockFixture f;
    TExForm* a = f.Tool("A");
    SetCurrentDockClient(DockFixture::ClientOf(a));
    f.tools.clear();
    EXPECT_EQ(CurrentDockClient(), nullptr);
    TExForm* b = f.Tool("B");
    EXPECT_EQ(CurrentDockClient(), DockFixture::ClientOf(b)) << "the first client made becomes the current one";
    delete DockFixture::ClientOf(b);
    EXPECT_EQ(CurrentDockClient(), nullptr);
}

TEST(ExDockClient, ADockControlThatGoesBeforeItsFormGivesBackTheFormsHandlers)
{
    TExForm form(nullptr);
    std::vector<std::string> calls;
    form.OnCreate = [&](TObject*) { calls.push_back("create"); };
    form.OnClose = [&](TObject*, TCloseAction& action) {
        calls.push_back("close");
        action = TCloseAction::caNone;
    };
    int messages = 0;
    const TWndMethod original = form.WindowProc;
    form.WindowProc = [&](TMessage& m) {
        ++messages;
        original(m);
    };
    auto* client = new TExDockClient(&form);
    form.DoCreate();
    EXPECT_EQ(calls, std::vector<std::string>{"create"}) << "the hook passes OnCreate on";
    delete client;
    form.DoCreate();
    form.show();
    form.close();
    EXPECT_EQ(calls, (std::vector<std::string>{"create", "create", "close"}));
    EXPECT_TRUE(form.isVisible()) << "the form's own handler decides again";
    const int before = messages;
    form.Perform(CM_TEXTCHANGED);
    EXPECT_EQ(messages, before + 1) << "the window procedure is the form's own again";
}

TEST(ExDockClient, AClientMakesItsFormAFramelessDockableToolWindow)
{
    DockFixture f;
    TExForm* a = f.Tool("A");
    EXPECT_EQ(DragKind(*a), TDragKind::dkDock);
    EXPECT_EQ(DragMode(*a), TDragMode::dmAutomatic);
    EXPECT_TRUE(a->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(GlobalDockManager()->IsRegisteredDockSite(a));
    EXPECT_EQ(DockFixture::ClientOf(a)->LRDockWidth(), 100);
    EXPECT_EQ(DockFixture::ClientOf(a)->TBDockHeight(), 100);
    f.tools.clear();
    EXPECT_FALSE(GlobalDockManager()->IsRegisteredDockSite(a)) << "no freed form stays registered";
}
