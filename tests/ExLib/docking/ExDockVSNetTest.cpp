// The auto-hide style: the pin button unpins a docked form into its edge's channel and pins it
// back, channel blocks and tabs, the hover that slides a popup out and the hold time after which
// it slides back, the slide's ticks, the popup splitter, the options' bounds, and a layout with an
// auto-hidden form.

#include "DockFixture.h"

#include "ExLib/run/docking/layout/ExDockLayout.h"
#include "ExLib/run/docking/vsnet/ExDockVSChannel.h"
#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"
#include "ExLib/run/docking/vid/ExDockVIDTabs.h"

#include "support/TempDir.h"

#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace {

TExDockBasicStyle* MakeVSNet(TComponent* owner)
{
    return new TExDockVSNetStyle(owner);
}

TExDockVSNETPanel* VSPanel(DockFixture& f, int index)
{
    return dynamic_cast<TExDockVSNETPanel*>(f.Panel(index));
}

TExDockVSNETTree& TreeOf(TDockSite* site)
{
    return *dynamic_cast<TExDockVSNETTree*>(site->DockManager());
}

// The middle of a docked form's pin or close button, in its site's coordinates.
TPoint ButtonPoint(TExDockVSNETTree& tree, TWinControlCore* form, int fromRight)
{
    const int right = form->Left() + form->Width();
    const int top = form->Top() + tree.VerticalOffset - tree.GetGrabbersSize();
    return {right - tree.RightOffset - fromRight * (tree.ButtonWidth + tree.ButtonSplitter) - tree.ButtonWidth / 2,
            top + tree.ButtonHeight / 2};
}

void Click(TWinControlCore& site, TPoint p)
{
    site.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(p.X, p.Y));
    site.Perform(WM_LBUTTONUP, 0, MakeLParam(p.X, p.Y));
}

// Runs the slide to its end, as the timer would.
int RunSlide()
{
    TPopupPanelAnimate* animator = PopupAnimator();
    animator->stop();
    int ticks = 0;
    while (animator->Channel && ticks < 100) {
        animator->AnimateTick();
        ++ticks;
    }
    return ticks;
}

// A tab host of A and B.
TExDockTabHostForm* TabHostOf(TExForm* a, TExForm* b)
{
    DockFixture::Drag(b, CaptionPoint(b), a->ClientToScreen({20, -5}));
    return dynamic_cast<TExDockTabPageControl*>(HostDockSite(*a))->Host();
}

// A docked into panel `index` and moved into that panel's channel; the channel.
TExDockVSChannel* AutoHidden(DockFixture& f, int index, TExForm* a)
{
    TExDockVSNETPanel* panel = VSPanel(f, index);
    ManualDock(*a, panel);
    panel->AutoHideForm(a);
    return panel->Channel();
}

// A tab host of A, B and C in panel 0, auto-hidden.
struct AutoHiddenTabHost {
    explicit AutoHiddenTabHost(DockFixture& f)
        : a(f.Tool("A", 1000, 100)), b(f.Tool("B", 1000, 300)), c(f.Tool("C", 1300, 300)), host(TabHostOf(a, b))
    {
        ManualDock(*c, host->PageControl(), nullptr, TAlign::alClient);
        ManualDock(*host, VSPanel(f, 0));
        VSPanel(f, 0)->AutoHideForm(host);
    }
    TExForm* a;
    TExForm* b;
    TExForm* c;
    TExDockTabHostForm* host;
};

} // namespace

TEST(ExDockVSNet, ThePinButtonMovesTheOnlyFormOfAPanelIntoItsChannelAndBack)
{
    DockFixture f(MakeVSNet);
    TExForm* a = f.Tool("A");
    TExDockVSNETPanel* panel = VSPanel(f, 0);
    ManualDock(*a, panel);
    const int width = panel->Width();
    ASSERT_GT(width, 0);
    TExDockVSChannel* channel = panel->Channel();
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->Name(), "LeftDockPanel_VSChannel");
    EXPECT_EQ(channel->PopupPanel()->Name(), "LeftDockPanel_PopupPanel");
    EXPECT_FALSE(channel->isVisible());

    TExDockVSNETTree& tree = TreeOf(panel);
    const TPoint pin = ButtonPoint(tree, a, 1);
    EXPECT_EQ(tree.HitTestCode(pin), HTAUTOHIDE_ZONE);
    EXPECT_EQ(tree.HitTestCode(ButtonPoint(tree, a, 0)), HTCLOSE_ZONE);
    Click(*panel, pin);

    EXPECT_EQ(panel->Width(), 0) << "the panel collapses with its last visible form";
    EXPECT_TRUE(channel->isVisible());
    EXPECT_EQ(channel->Width(), 22);
    ASSERT_EQ(channel->Blocks.size(), 1u);
    ASSERT_EQ(channel->Blocks[0]->PaneCount(), 1);
    EXPECT_EQ(channel->Blocks[0]->Pane(0)->Form, a);
    EXPECT_EQ(HostDockSite(*a), channel->PopupPanel());
    EXPECT_TRUE(TreeOf(panel).HasZone(a)) << "the panel keeps the form's place";
    EXPECT_FALSE(channel->PopupPanel()->isVisible());

    // Pinned back from the popup's own pin button.
    TExDockVSNETTree& popupTree = TreeOf(channel->PopupPanel());
    channel->ShowFormAtOnce(a);
    EXPECT_EQ(HostDockSite(*a), panel) << "showing at once returns the form to its panel";
    EXPECT_EQ(panel->Width(), width) << "at its previous size";
    EXPECT_FALSE(channel->isVisible());
    EXPECT_TRUE(channel->Blocks.empty());
    (void)popupTree;
}

TEST(ExDockVSNet, PressingThePinButtonAndReleasingElsewhereChangesNothing)
{
    DockFixture f(MakeVSNet);
    TExForm* a = f.Tool("A");
    TExDockVSNETPanel* panel = VSPanel(f, 0);
    ManualDock(*a, panel);
    TExDockVSNETTree& tree = TreeOf(panel);
    const TPoint pin = ButtonPoint(tree, a, 1);
    panel->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(pin.X, pin.Y));
    auto* zone = dynamic_cast<TExDockVSNETZone*>(tree.FindZone(a, false));
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(zone->PinState, 2);
    panel->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(10, 40));
    EXPECT_EQ(zone->PinState, 0) << "raised while the held pointer is away";
    panel->Perform(WM_LBUTTONUP, 0, MakeLParam(10, 40));
    EXPECT_EQ(zone->PinState, 1);
    EXPECT_EQ(HostDockSite(*a), panel);
    EXPECT_FALSE(panel->Channel()->isVisible());
}

TEST(ExDockVSNet, WithoutACloseButtonThePinTakesItsPlace)
{
    DockFixture f(MakeVSNet);
    TExForm* a = f.Tool("A");
    FindDockClientOf(a)->EnableCloseButton = false;
    TExDockVSNETPanel* panel = VSPanel(f, 0);
    ManualDock(*a, panel);
    TExDockVSNETTree& tree = TreeOf(panel);
    const TPoint closePlace = ButtonPoint(tree, a, 0);
    EXPECT_EQ(tree.HitTestCode(closePlace), HTAUTOHIDE_ZONE);
    Click(*panel, closePlace);
    EXPECT_EQ(HostDockSite(*a), panel->Channel()->PopupPanel());
}

TEST(ExDockVSNet, SingleFormsShareTheFirstBlockAndATabHostHasABlockOfItsOwn)
{
    DockFixture f(MakeVSNet);
    TExDockVSNETPanel* panel = VSPanel(f, 0);
    TExForm* a = f.Tool("A", 1000, 100);
    TExForm* b = f.Tool("B", 1000, 300);
    TExForm* c = f.Tool("C", 1300, 100);
    TExForm* d = f.Tool("D", 1300, 300);
    TExDockTabHostForm* host = TabHostOf(c, d);
    ManualDock(*host, panel);
    ManualDock(*a, panel, host, TAlign::alBottom);
    ManualDock(*b, panel, a, TAlign::alBottom);
    TExDockVSChannel* channel = panel->Channel();

    panel->AutoHideForm(host);
    ASSERT_EQ(channel->Blocks.size(), 1u);
    EXPECT_EQ(channel->Blocks[0]->BlockType, 1);
    EXPECT_EQ(channel->Blocks[0]->PaneCount(), 2) << "a tab per page";
    panel->AutoHideForm(a);
    ASSERT_EQ(channel->Blocks.size(), 2u);
    EXPECT_EQ(channel->Blocks[0]->Pane(0)->Form, a) << "before a tab block a single form gets a new first block";
    panel->AutoHideForm(b);
    ASSERT_EQ(channel->Blocks.size(), 2u);
    EXPECT_EQ(channel->Blocks[0]->PaneCount(), 2) << "joins the first block of single forms";
    EXPECT_EQ(channel->Blocks[0]->Pane(1)->Form, b);

    // Each visible pane takes a tab; the hit test finds the tab painted under a point.
    channel->PaintPos = channel->BlockStartOffset;
    const TRect first = channel->TabRectOf(channel->Blocks[0].get(), 0);
    EXPECT_EQ(channel->PaneAtPoint({first.Left + 3, first.Top + 5}), channel->Blocks[0]->Pane(0));

    // Removing one page of the auto-hidden tab host removes its whole block.
    ManualFloat(*d, Bounds(1300, 300, 200, 150));
    DockFixture::Settle();
    ASSERT_EQ(channel->Blocks.size(), 1u);
    EXPECT_EQ(channel->Blocks[0]->BlockType, 0);
}

TEST(ExDockVSNet, ASideChannelDrawsItsActiveCaptionInsideTheTab)
{
    for (const int index : {0, 1}) { // the left and the right channel
        SCOPED_TRACE(index);
        DockFixture f(MakeVSNet);
        TExForm* a = f.Tool("Output");
        TExDockVSChannel* channel = AutoHidden(f, index, a);
        ASSERT_TRUE(channel->isVisible());
        channel->PaintPos = channel->BlockStartOffset;
        const TRect tab = channel->TabRectOf(channel->Blocks[0].get(), 0);
        const QImage image = channel->Widget()->grab().toImage();
        // The caption is the only black ink; the tab's frame is grey.
        int left = image.width(), right = -1, top = image.height(), bottom = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 60) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        ASSERT_GE(right, 0) << "no caption drawn";
        EXPECT_GT(left, tab.Left);
        EXPECT_LT(right, tab.Right - 1);
        EXPECT_GT(top, tab.Top);
        EXPECT_LT(bottom, tab.Bottom - 1);
        EXPECT_GT(bottom - top, right - left) << "the caption runs downward";
    }
}

TEST(ExDockVSNet, AChannelWhosePanesAreAllHiddenIsHidden)
{
    DockFixture f(MakeVSNet);
    TExForm* a = f.Tool("A");
    TExDockVSChannel* channel = AutoHidden(f, 0, a);
    ASSERT_TRUE(channel->isVisible());
    HideDockableForm(a);
    EXPECT_FALSE(channel->Blocks[0]->Pane(0)->Visible);
    EXPECT_FALSE(channel->isVisible());
    EXPECT_FALSE(IsDockableFormShowing(a));
    ShowDockableForm(a);
    EXPECT_TRUE(channel->Blocks[0]->Pane(0)->Visible);
    EXPECT_TRUE(channel->isVisible());
    EXPECT_EQ(channel->ShownForm, a) << "showing an auto-hidden form slides it out";
}

TEST(ExDockVSNet, ASlideTakesATickPerTwentyPixelsAndOneMore)
{
    DockFixture f(MakeVSNet);
    TExForm* a = f.Tool("A");
    TExDockVSChannel* channel = AutoHidden(f, 3, a); // the bottom panel
    TExDockVSPane* pane = channel->Blocks[0]->Pane(0);
    struct Case {
        int size;
        int ticks;
    };
    for (const Case& k : {Case{200, 11}, Case{210, 12}}) {
        pane->PaneSize = k.size;
        channel->SlideOutPane(pane);
        EXPECT_EQ(channel->ShownForm, a);
        EXPECT_EQ(RunSlide(), k.ticks) << k.size;
        TExDockVSPopupPanel* popup = channel->PopupPanel();
        EXPECT_TRUE(popup->isVisible());
        EXPECT_EQ(popup->Height(), k.size);
        EXPECT_EQ(popup->Top() + popup->Height(), channel->Top()) << "out of the channel's top edge";
        EXPECT_EQ(channel->PopupSplitter()->Top() + channel->PopupSplitter()->Height(), popup->Top());
        channel->SlideInPopup();
        EXPECT_EQ(RunSlide(), k.ticks);
        EXPECT_FALSE(popup->isVisible());
        EXPECT_EQ(channel->ShownForm, nullptr);
    }
}

TEST(ExDockVSNet, HoveringATabSlidesItsFormOutAndTheMouseAwayForTheHoldTimeSlidesItBack)
{
    DockFixture f(MakeVSNet);
    auto* style = dynamic_cast<TExDockVSNetStyle*>(f.style);
    style->ChannelOption()->SetHideHoldTime(200);
    TExForm* a = f.Tool("A");
    TExDockVSChannel* channel = AutoHidden(f, 0, a);
    channel->PaintPos = channel->BlockStartOffset;
    const TRect tab = channel->TabRectOf(channel->Blocks[0].get(), 0);
    const TPoint over{tab.Left + 5, tab.Top + 10};
    QCursor::setPos(channel->ClientToScreen(over).ToQt());
    channel->Perform(WM_MOUSEMOVE, 0, MakeLParam(over.X, over.Y));
    EXPECT_TRUE(channel->HoverTimerRunning()) << "the hover waits 400 ms";
    EXPECT_EQ(channel->ShownForm, nullptr);
    channel->HoverTimerTick();
    EXPECT_EQ(channel->ShownForm, a);
    RunSlide();
    ASSERT_TRUE(style->HideTimerRunning()) << "the end of the slide starts the hold time";

    // The mouse on the channel keeps the popup out. (No button is held: a held left button
    // would keep it out too.)
    QTest::mouseRelease(&f.main, Qt::LeftButton);
    ASSERT_FALSE(QGuiApplication::mouseButtons() & Qt::LeftButton);
    style->MouseLeftClient = true;
    for (int i = 0; i < 5; ++i)
        style->HideTimerTick();
    EXPECT_EQ(style->HideCountdown, 200);
    EXPECT_EQ(PopupAnimator()->Channel, nullptr);

    // Away from it, two ticks of 100 ms start the slide back.
    QCursor::setPos(f.main.ClientToScreen({600, 300}).ToQt());
    style->HideTimerTick();
    EXPECT_EQ(PopupAnimator()->Channel, nullptr);
    style->HideTimerTick();
    EXPECT_EQ(PopupAnimator()->Channel, channel);
    EXPECT_EQ(PopupAnimator()->Direction, 1);
    RunSlide();
    EXPECT_EQ(channel->ShownForm, nullptr);
    EXPECT_FALSE(style->HideTimerRunning());
}

TEST(ExDockVSNet, AFormShownByACommandStaysOutUntilTheMouseHasBeenOnItAndLeft)
{
    DockFixture f(MakeVSNet);
    auto* style = dynamic_cast<TExDockVSNetStyle*>(f.style);
    style->ChannelOption()->SetHideHoldTime(200);
    TExForm* a = f.Tool("A");
    TExDockVSChannel* channel = AutoHidden(f, 0, a);
    QTest::mouseRelease(&f.main, Qt::LeftButton);
    QCursor::setPos(f.main.ClientToScreen({600, 300}).ToQt());
    style->MouseLeftClient = true; // as an earlier popup left it
    ShowDockableForm(a);
    RunSlide();
    ASSERT_EQ(channel->ShownForm, a);
    ASSERT_TRUE(style->HideTimerRunning());
    for (int i = 0; i < 5; ++i)
        style->HideTimerTick();
    EXPECT_EQ(PopupAnimator()->Channel, nullptr) << "no slide back while the mouse has not been on it";
    EXPECT_EQ(channel->ShownForm, a);

    style->MouseLeftClient = true; // the mouse came and went
    style->HideTimerTick();
    style->HideTimerTick();
    EXPECT_EQ(PopupAnimator()->Channel, channel);
    EXPECT_EQ(PopupAnimator()->Direction, 1);
    RunSlide();
    EXPECT_EQ(channel->ShownForm, nullptr);
}

TEST(ExDockVSNet, ResizingTheFormCollapsesAnOpenPopupAtOnce)
{
    DockFixture f(MakeVSNet);
    TExForm* a = f.Tool("A");
    TExDockVSChannel* channel = AutoHidden(f, 0, a);
    channel->SlideOutForm(a);
    RunSlide();
    ASSERT_TRUE(channel->PopupPanel()->isVisible());
    f.main.resize(f.main.width() + 50, f.main.height());
    EXPECT_FALSE(channel->PopupPanel()->isVisible());
    EXPECT_EQ(channel->ShownForm, nullptr);
    EXPECT_EQ(PopupAnimator()->Channel, nullptr) << "without animation";
}

TEST(ExDockVSNet, TheOptionsKeepTheirLowerBounds)
{
    TExForm owner(nullptr);
    auto* style = new TExDockVSNetStyle(&owner);
    TExDockVSNETChannelOption* option = style->ChannelOption();
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->ActivePaneSize(), 100);
    EXPECT_EQ(option->HideHoldTime(), 1000);
    option->SetActivePaneSize(10);
    EXPECT_EQ(option->ActivePaneSize(), 24);
    option->SetHideHoldTime(50);
    EXPECT_EQ(option->HideHoldTime(), 100);
    auto* tabs = style->VIDTabOption();
    EXPECT_EQ(tabs->InactiveSheetColor(), 15725559);
    EXPECT_TRUE(tabs->ShowTabImages());
    auto* caption = style->VIDConjoinOption();
    EXPECT_EQ(caption->ActiveFont().Color(), clWhite);
    EXPECT_EQ(caption->InactiveTitleStartColor(), clBtnFace);
    EXPECT_EQ(caption->ActiveTitleEndColor(), caption->ActiveTitleStartColor());
}

TEST(ExDockVSNet, DraggingTheSplitterOfABottomPopupGrowsItUpwardsWithinItsBounds)
{
    DockFixture f(MakeVSNet);
    TExForm* a = f.Tool("A");
    TExDockVSChannel* channel = AutoHidden(f, 3, a);
    channel->Blocks[0]->Pane(0)->PaneSize = 100;
    channel->SlideOutForm(a);
    RunSlide();
    TExDockVSPopupPanel* popup = channel->PopupPanel();
    TExDockVSPopupPanelSplitter* splitter = channel->PopupSplitter();
    const int bottom = popup->Top() + popup->Height();
    splitter->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 1));
    splitter->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(5, 1 - 60));
    splitter->Perform(WM_LBUTTONUP, 0, MakeLParam(5, 1 - 60));
    EXPECT_EQ(popup->Height(), 160);
    EXPECT_EQ(popup->Top() + popup->Height(), bottom) << "the bottom edge stays on the channel";
    EXPECT_EQ(splitter->Top() + splitter->Height(), popup->Top());
    EXPECT_EQ(channel->Blocks[0]->Pane(0)->PaneSize, 160 + TreeOf(popup).GetGrabbersSize());
    EXPECT_EQ(FindDockClientOf(a)->VSPaneWidth, channel->Blocks[0]->Pane(0)->PaneSize);

    splitter->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 1));
    splitter->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(5, 1 + 1000));
    splitter->Perform(WM_LBUTTONUP, 0, MakeLParam(5, 1 + 1000));
    EXPECT_EQ(popup->Height(), splitter->MinSize);
    splitter->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 1));
    splitter->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(5, 1 - 5000));
    WORD escape = VK_ESCAPE;
    splitter->Perform(WM_KEYDOWN, escape, 0);
    EXPECT_FALSE(splitter->Sizing());
    EXPECT_EQ(popup->Height(), splitter->MinSize) << "Escape keeps the last applied size";
}

TEST(ExDockVSNet, ALayoutWithAnAutoHiddenHiddenFormComesBackSo)
{
    TempDir dir;
    const std::string file = dir.File("docking.dat");
    {
        DockFixture f(MakeVSNet);
        TExDockVSNETPanel* panel = VSPanel(f, 0);
        TExForm* a = f.Tool("A");
        TExForm* b = f.Tool("B");
        ManualDock(*a, panel);
        ManualDock(*b, panel, a, TAlign::alBottom);
        panel->AutoHideForm(a);
        HideDockableForm(a);
        SaveDockLayoutToIniFile(file);
    }
    DockFixture f(MakeVSNet);
    TExForm* a = f.Tool("A");
    TExForm* b = f.Tool("B");
    LoadDockLayoutFromIniFile(file);
    DockFixture::Settle();
    TExDockVSNETPanel* panel = VSPanel(f, 0);
    TExDockVSChannel* channel = panel->Channel();
    EXPECT_EQ(HostDockSite(*b), panel);
    EXPECT_EQ(HostDockSite(*a), channel->PopupPanel()) << "auto-hidden again";
    TExDockVSPane* pane = channel->PaneForControl(a);
    ASSERT_NE(pane, nullptr);
    EXPECT_FALSE(pane->Visible) << "and hidden";
    EXPECT_FALSE(channel->isVisible());
    EXPECT_TRUE(TreeOf(panel).HasZone(a)) << "its place in the panel is kept";
    channel->ShowFormAtOnce(a);
    EXPECT_EQ(HostDockSite(*a), panel);
}

TEST(ExDockVSNet, ALayoutWithAnAutoHiddenTabHostKeepsItsInactivePagesAsTabs)
{
    TempDir dir;
    const std::string file = dir.File("docking.dat");
    {
        DockFixture f(MakeVSNet);
        const AutoHiddenTabHost three(f);
        HideDockableForm(three.c);
        VSPanel(f, 0)->Channel()->SlideOutForm(three.a);
        RunSlide();
        SaveDockLayoutToIniFile(file);
    }
    DockFixture f(MakeVSNet);
    TExForm* a = f.Tool("A");
    TExForm* b = f.Tool("B");
    TExForm* c = f.Tool("C");
    LoadDockLayoutFromIniFile(file);
    DockFixture::Settle();
    TExDockVSChannel* channel = VSPanel(f, 0)->Channel();
    ASSERT_EQ(channel->Blocks.size(), 1u);
    ASSERT_EQ(channel->Blocks[0]->PaneCount(), 3);
    EXPECT_TRUE(channel->PaneForControl(a)->Visible);
    EXPECT_TRUE(channel->PaneForControl(b)->Visible) << "a page behind the active one keeps its tab";
    EXPECT_FALSE(channel->PaneForControl(c)->Visible) << "a page hidden in the channel stays hidden";
    channel->PopupPanel()->PinForm(dynamic_cast<TExDockTabPageControl*>(HostDockSite(*a))->Host());
    EXPECT_TRUE(ControlVisible(*b));
    EXPECT_FALSE(ControlVisible(*c));
}

TEST(ExDockVSNet, PinningATabHostBackShowsItsPagesAsTheyWereInTheChannel)
{
    DockFixture f(MakeVSNet);
    const AutoHiddenTabHost three(f);
    auto [a, b, c, host] = three;
    TExDockVSNETPanel* panel = VSPanel(f, 0);
    TExDockVSChannel* channel = panel->Channel();
    ASSERT_EQ(channel->Blocks[0]->PaneCount(), 3);
    HideDockableForm(c);
    EXPECT_FALSE(channel->PaneForControl(c)->Visible);
    channel->SlideOutForm(b);
    RunSlide();
    EXPECT_FALSE(a->isVisibleTo(host)) << "a page slides out alone";
    channel->PopupPanel()->PinForm(host);
    EXPECT_EQ(HostDockSite(*host), panel);
    EXPECT_TRUE(ControlVisible(*a));
    EXPECT_TRUE(ControlVisible(*b));
    EXPECT_FALSE(ControlVisible(*c)) << "hidden in the channel, hidden when pinned";
    auto* pages = dynamic_cast<TExDockVIDTabPageControl*>(host->PageControl());
    EXPECT_TRUE(pages->TabPanel()->isVisibleTo(pages));
    EXPECT_FALSE(channel->isVisible());
}
