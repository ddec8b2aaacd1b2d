// The caption-bar style's drop rules: the drop side of each point of a target, the band along the
// edges that takes a drop, the drops that make side-by-side and tab hosts (also from a dragged
// host), the drag frame with its tab, the gradient fill and the caption option's system values.

#include "DockFixture.h"

#include "ExLib/run/docking/vid/ExDockVIDStyle.h"
#include "ExLib/run/docking/vid/ExDockVIDTabs.h"
#include "ExLib/run/docking/vid/ExDockVIDTree.h"

#include "Platform/core/Exceptions.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

TExDockBasicStyle* MakeVID(TComponent* owner)
{
    return new TExDockVIDStyle(owner);
}

TPoint At(TWinControlCore* form, int x, int y)
{
    return form->ClientToScreen({x, y});
}

// The rectangle in the form's client coordinates.
TRect Local(TWinControlCore* form, TRect r)
{
    const TPoint origin = form->ClientToScreen({0, 0});
    OffsetRect(r, -origin.X, -origin.Y);
    return r;
}

// B dragged by its caption onto the middle of A's caption bar; the tab host's page control.
TExDockVIDTabPageControl* DropOnCaption(TExForm* b, TExForm* a)
{
    DockFixture::Drag(b, CaptionPoint(b), At(a, a->ClientWidth() / 2, -5));
    return dynamic_cast<TExDockVIDTabPageControl*>(HostDockSite(*a));
}

} // namespace

TEST(ExDockVIDStyle, EachPointOfAFormFallsOnItsSideWithItsPreview)
{
    DockFixture f(MakeVID);
    TExForm* target = f.Tool("Target", 1000, 100);
    TExForm* dragged = f.Tool("Dragged", 1000, 400);
    target->resize(200 + 6, 100 + 24); // client 200 x 100 inside the floating frame
    dragged->resize(60 + 6, 30 + 24);  // client 60 x 30
    ASSERT_EQ(target->ClientWidth(), 200);
    ASSERT_EQ(target->ClientHeight(), 100);
    const int c = SystemCaptionHeight();
    struct Case {
        TPoint p;
        TAlign side;
        TRect preview;
    };
    const Case cases[] = {
        {{100, -5}, TAlign::alClient, Rect(0, -c, 200, 100)},  // the caption
        {{39, 50}, TAlign::alLeft, Rect(0, 0, 60, 100)},       // as wide as the dragged form
        {{40, 5}, TAlign::alTop, Rect(0, 0, 200, 30)},
        {{160, 50}, TAlign::alRight, Rect(140, 0, 200, 100)},
        {{100, 80}, TAlign::alBottom, Rect(0, 70, 200, 100)},
    };
    for (const Case& k : cases) {
        TRect r;
        EXPECT_EQ(VIDDockSide(target, dragged, r, k.p), k.side) << k.p.X << "," << k.p.Y;
        EXPECT_EQ(Local(target, r), k.preview) << k.p.X << "," << k.p.Y;
    }
    TRect unchanged = Rect(1, 2, 3, 4);
    EXPECT_EQ(VIDDockSide(target, dragged, unchanged, {100, 50}), TAlign::alNone) << "the middle takes no drop";
    EXPECT_EQ(unchanged, Rect(1, 2, 3, 4));
    EXPECT_EQ(VIDDockSide(nullptr, dragged, unchanged, {0, 0}), TAlign::alNone);

    // A preview is never more than half the target.
    dragged->resize(180 + 6, 90 + 24);
    TRect r;
    EXPECT_EQ(VIDDockSide(target, dragged, r, {10, 50}), TAlign::alLeft);
    EXPECT_EQ(Local(target, r), Rect(0, 0, 100, 100));
    EXPECT_EQ(VIDDockSide(target, dragged, r, {190, 50}), TAlign::alRight);
    EXPECT_EQ(Local(target, r), Rect(100, 0, 200, 100));
}

TEST(ExDockVIDStyle, InATabControlTheTabStripIsTheCentreAndTheBottomZoneStopsAboveIt)
{
    DockFixture f(MakeVID);
    TExForm* a = f.Tool("A", 1000, 100);
    TExForm* b = f.Tool("B", 1000, 400);
    TExDockVIDTabPageControl* pages = DropOnCaption(b, a);
    ASSERT_NE(pages, nullptr);
    const int W = pages->ClientWidth();
    const int H = pages->ClientHeight();
    ASSERT_GT(H, 100);
    const int c = SystemCaptionHeight();
    TRect r;
    EXPECT_EQ(VIDDockSide(pages, b, r, {W / 2, H - c + 2}), TAlign::alClient) << "the tab strip";
    EXPECT_EQ(VIDDockSide(pages, b, r, {W / 2, H - c - 2}), TAlign::alBottom);
    EXPECT_EQ(Local(pages, r).Left, W / 5);
    EXPECT_EQ(Local(pages, r).Right, 4 * (W / 5));
    EXPECT_EQ(Local(pages, r).Bottom, H - c);
    EXPECT_EQ(VIDDockSide(pages, b, r, {W / 5 - 1, H - c - 2}), TAlign::alLeft) << "the bottom zone leaves the left fifth";
    EXPECT_EQ(VIDDockSide(pages, b, r, {W / 2, 4 * (H / 5) - 1}), TAlign::alNone) << "it starts at four fifths";
}

TEST(ExDockVIDStyle, OnlyTheBandAlongTheEdgesAndTheCaptionTakeADrop)
{
    DockFixture f(MakeVID);
    TExForm* a = f.Tool("A", 1000, 100);
    TExForm* b = f.Tool("B", 1000, 400);
    TExDockDragDockObject drag(b);
    TRect influence;
    bool canDock = true;
    const TRect frame = ScreenBounds(*a);
    struct Case {
        TPoint p;
        bool takes;
    };
    const Case cases[] = {
        {{frame.Left + 5, frame.Top + 60}, true},
        {{frame.Left + 30, frame.Top + 8}, true},
        {{frame.Left + 60, frame.Top + 70}, false},
        {{frame.Right - 10, frame.Top + 70}, true},
        {{frame.Left + 60, frame.Bottom - 10}, true},
    };
    for (const Case& k : cases) {
        canDock = true;
        influence = frame;
        f.style->ClientSiteInfo(drag, FindDockClientOf(a), b, influence, k.p, canDock);
        EXPECT_EQ(canDock, k.takes) << k.p.X - frame.Left << "," << k.p.Y - frame.Top;
        EXPECT_EQ(influence.IsEmpty(), !k.takes);
    }
}

TEST(ExDockVIDStyle, DroppingOnTheLeftFifthPutsTheDroppedFormOnTheLeftOfASideBySideHost)
{
    DockFixture f(MakeVID);
    TExForm* a = f.Tool("A", 1000, 100);
    TExForm* b = f.Tool("B", 1000, 400);
    DockFixture::Drag(b, CaptionPoint(b), At(a, 5, a->ClientHeight() / 2));
    auto* panel = dynamic_cast<TExDockConjoinPanel*>(HostDockSite(*a));
    ASSERT_NE(panel, nullptr);
    EXPECT_NE(dynamic_cast<TExDockVIDConjoinPanel*>(panel), nullptr);
    EXPECT_EQ(HostDockSite(*b), panel);
    auto* tree = dynamic_cast<TExDockTree*>(panel->ExDockManager());
    ASSERT_NE(tree, nullptr);
    EXPECT_NE(dynamic_cast<TExDockVIDTree*>(tree), nullptr);
    EXPECT_EQ(tree->RootZone()->Orientation, TDockOrientation::doVertical);
    EXPECT_EQ(tree->RootZone()->FirstChild->Control, b);
    EXPECT_LT(b->Left(), a->Left());
}

TEST(ExDockVIDStyle, DroppingOnTheCaptionMakesATabHostAndADraggedHostGivesATabPerForm)
{
    DockFixture f(MakeVID);
    TExForm* a = f.Tool("A", 1000, 100);
    TExForm* b = f.Tool("B", 1000, 300);
    TExForm* c = f.Tool("C", 1300, 300);
    TExForm* d = f.Tool("D", 1300, 500);
    // B and C side by side, then that host dropped on D's caption.
    DockFixture::Drag(c, CaptionPoint(c), At(b, 5, b->ClientHeight() / 2));
    auto* conjoin = dynamic_cast<TExDockConjoinPanel*>(HostDockSite(*b));
    ASSERT_NE(conjoin, nullptr);
    TExDockConjoinHostForm* pair = conjoin->Host();
    pair->move(1300, 100);
    DockFixture::Drag(pair, CaptionPoint(pair), At(d, d->ClientWidth() / 2, -6));
    DockFixture::Settle();
    auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*d));
    ASSERT_NE(pages, nullptr) << "dropping on the caption makes a tab host";
    EXPECT_EQ(HostDockSite(*b), pages);
    EXPECT_EQ(HostDockSite(*c), pages);
    EXPECT_EQ(pages->PageCount(), 3) << "one tab per form of the dragged host";
    EXPECT_FALSE(HostDockSite(*a));
    EXPECT_EQ(GlobalDockManager()->DockableFormCount(), 1) << "the emptied side-by-side host is gone";
}

TEST(ExDockVIDStyle, TheDragFrameOfATabDropHasATabAndIsErasedWithTheShapeItWasDrawnWith)
{
    // A plain frame tiles its four strips.
    EXPECT_EQ(VIDDragFrameStrips(Rect(0, 0, 100, 50), 4, false),
              (std::vector<TRect>{Bounds(4, 0, 96, 4), Bounds(96, 4, 4, 46), Bounds(0, 46, 96, 4), Bounds(0, 0, 4, 46)}));
    // The outline of a window with a tab of 30 x 15 hanging below its bottom edge, near the left.
    EXPECT_EQ(VIDDragFrameStrips(Rect(0, 0, 200, 100), 4, true),
              (std::vector<TRect>{Bounds(4, 0, 196, 4), Bounds(196, 4, 4, 77), Bounds(0, 81, 12, 4),
                                  Bounds(8, 85, 4, 15), Bounds(12, 96, 30, 4), Bounds(42, 81, 4, 19),
                                  Bounds(46, 81, 154, 4), Bounds(0, 0, 4, 81)}));
    // A small frame narrows the tab to fit.
    const std::vector<TRect> small = VIDDragFrameStrips(Rect(0, 0, 60, 30), 4, true);
    for (const TRect& s : small) {
        EXPECT_GE(s.Left, 0);
        EXPECT_LE(s.Right, 60);
        EXPECT_LE(s.Bottom, 30);
    }

    DockFixture f(MakeVID);
    TExForm* a = f.Tool("A", 1000, 100);
    TExDockVIDDragDockObject drag(a);
    drag.DropTarget = a;
    drag.DockRect = Bounds(200, 200, 120, 80);
    drag.DropAlign = TAlign::alClient;
    drag.ShowFrame();
    EXPECT_TRUE(drag.TabShape);
    drag.ShownRect = drag.DockRect;
    drag.DropAlign = TAlign::alLeft;
    drag.HideFrame();
    EXPECT_TRUE(drag.TabShape) << "erased as the tab it was drawn with";
    EXPECT_FALSE(drag.FrameOverlay()->Shown());
    drag.ShowFrame();
    EXPECT_FALSE(drag.TabShape);
}

TEST(ExDockVIDStyle, AGradientFillsTwoHundredFiftySixBandsOrOneColour)
{
    QImage image(256, 10, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        TCanvas canvas(&painter);
        FillGradientRect(canvas, Rect(0, 0, 256, 10), clBlack, false, clWhite);
    }
    for (int x : {0, 1, 128, 255}) {
        const int expected = static_cast<int>(std::nearbyint(x * 255.0 / 256));
        EXPECT_EQ(qRed(image.pixel(x, 5)), expected) << x;
        EXPECT_EQ(qBlue(image.pixel(x, 5)), expected) << x;
    }
    QImage vertical(10, 512, QImage::Format_RGB32);
    {
        QPainter painter(&vertical);
        TCanvas canvas(&painter);
        FillGradientRect(canvas, Rect(0, 0, 10, 512), RGBColor(0, 0, 255), true, RGBColor(255, 0, 255));
    }
    EXPECT_EQ(qRed(vertical.pixel(5, 0)), 0);
    EXPECT_EQ(qRed(vertical.pixel(5, 3)), 1) << "each band is two rows high";
    EXPECT_EQ(qBlue(vertical.pixel(5, 511)), 255);
    QImage flat(20, 20, QImage::Format_RGB32);
    flat.fill(Qt::black);
    {
        QPainter painter(&flat);
        TCanvas canvas(&painter);
        FillGradientRect(canvas, Rect(5, 5, 15, 15), clSilver, false, clSilver);
    }
    EXPECT_EQ(flat.pixel(5, 5), QColor(192, 192, 192).rgb());
    EXPECT_EQ(flat.pixel(4, 5), QColor(0, 0, 0).rgb()) << "nothing outside the rectangle";
}

TEST(ExDockVIDStyle, SettingACaptionValueEndsSystemInfoAndTurningItOnTakesTheSystemValues)
{
    TExForm owner(nullptr);
    auto* style = new TExDockVIDStyle(&owner);
    TExDockVIDConjoinServerOption* option = style->VIDConjoinOption();
    ASSERT_NE(option, nullptr);
    std::vector<bool> told;
    style->SystemInfoChange = [&told](bool value) { told.push_back(value); };
    EXPECT_TRUE(option->SystemInfo());
    EXPECT_EQ(option->GrabbersSize(), 18);
    EXPECT_EQ(option->SplitterWidth(), 4);
    EXPECT_EQ(option->ActiveTitleStartColor(), ActiveCaptionColor());
    EXPECT_TRUE(option->ActiveFont().Style().Contains(fsBold));

    option->SetActiveTitleStartColor(clSilver);
    EXPECT_FALSE(option->SystemInfo());
    EXPECT_EQ(option->ActiveTitleStartColor(), clSilver);
    option->SetTextAlignment(taCenter);
    option->ActiveFontRef().SetName("Trebuchet MS");
    option->SetSplitterWidth(3);
    EXPECT_FALSE(option->SystemInfo());

    option->SetSystemInfo(true);
    EXPECT_TRUE(option->SystemInfo());
    EXPECT_EQ(option->ActiveTitleStartColor(), ActiveCaptionColor());
    EXPECT_EQ(option->TextAlignment(), taLeftJustify);
    EXPECT_EQ(option->SplitterWidth(), 4);
    EXPECT_NE(option->ActiveFont().Name(), "Trebuchet MS");
    EXPECT_EQ(option->InactiveFont().Color(), InactiveCaptionTextColor());
    ASSERT_FALSE(told.empty());
    EXPECT_TRUE(told.back());

    // A grabber size other than the system's cannot go with SystemInfo.
    option->SetGrabbersSize(22);
    EXPECT_FALSE(option->SystemInfo());
    EXPECT_FALSE(told.back());
}

TEST(ExDockVIDStyle, TheTabOptionStartsAtTheBottomAndRefusesTheSides)
{
    TExForm owner(nullptr);
    auto* style = new TExDockVIDStyle(&owner);
    TExDockVIDTabServerOption* tabs = style->VIDTabOption();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->TabPosition(), TTabPosition::tpBottom);
    EXPECT_EQ(tabs->InactiveFont().Color(), clWhite);
    EXPECT_EQ(tabs->HotTrackColor(), clBlue);
    EXPECT_TRUE(tabs->ShowCloseButtonOnGrabber());

    DockFixture f(MakeVID);
    TExForm* a = f.Tool("A", 1000, 100);
    TExForm* b = f.Tool("B", 1000, 400);
    TExDockVIDTabPageControl* pages = DropOnCaption(b, a);
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->TabPosition(), TTabPosition::tpBottom) << "the style's option reached the host";
    EXPECT_THROW(pages->SetTabPosition(TTabPosition::tpLeft), EInvalidOperation);
    try {
        pages->SetTabPosition(TTabPosition::tpRight);
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot set TabPosition property to tpLeft or tpRight");
    }
}
