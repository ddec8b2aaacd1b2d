// The caption-bar style's tab strip: tab widths shared fairly, widths that follow a caption,
// hit tests, reordering and undocking by dragging a tab, the double click that floats a form, a
// host with one form that shows no strip, and the images of removed pages.

#include "DockFixture.h"

#include "ExLib/run/docking/vid/ExDockVIDStyle.h"
#include "ExLib/run/docking/vid/ExDockVIDTabs.h"
#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"

#include <QFontMetrics>
#include <QTest>
#include <gtest/gtest.h>
#include <numeric>

namespace {

TExDockBasicStyle* MakeVID(TComponent* owner)
{
    return new TExDockVIDStyle(owner);
}

// A tab host of the given forms, made by dropping each on the first one's caption.
struct TabHost {
    TabHost(DockFixture& f, const std::vector<std::string>& captions)
    {
        for (size_t i = 0; i < captions.size(); ++i) {
            const int n = static_cast<int>(i);
            forms.push_back(f.Tool("Tool" + std::to_string(n), 1000 + 30 * n, 100 + 180 * n));
            forms.back()->SetCaption(captions[i]);
        }
        TExForm* first = forms.front();
        for (size_t i = 1; i < forms.size(); ++i) {
            TWinControlCore* target = i == 1 ? static_cast<TWinControlCore*>(first)
                                             : static_cast<TWinControlCore*>(pages->Host());
            if (i == 1)
                DockFixture::Drag(forms[i], CaptionPoint(forms[i]), target->ClientToScreen({20, -5}));
            else
                ManualDock(*forms[i], pages, nullptr, TAlign::alClient);
            pages = dynamic_cast<TExDockVIDTabPageControl*>(HostDockSite(*first));
        }
        pages->SetTabPosition(TTabPosition::tpTop);
        pages->Host()->resize(400, 300);
        strip = pages->TabPanel();
    }
    TExDockVIDTabSheet* Sheet(int i) const { return dynamic_cast<TExDockVIDTabSheet*>(pages->Pages(i)); }
    // The middle of the tab of page i, in strip coordinates.
    QPoint TabCentre(int i) const
    {
        int x = strip->TabLeftOffset;
        for (int k = 0; k < i; ++k)
            x += Sheet(k)->TabWidth + strip->TabSplitterWidth;
        return {x + Sheet(i)->TabWidth / 2, strip->Height() / 2};
    }
    std::vector<TExForm*> forms;
    TExDockVIDTabPageControl* pages = nullptr;
    TExDockTabPanel* strip = nullptr;
};

} // namespace

TEST(ExDockVIDTabs, TabsKeepTheirWidthsWhileTheyFitAndTheWidestShareWhatIsLeft)
{
    DockFixture f(MakeVID);
    TabHost t(f, {"A", "A rather long caption", "Another long caption here"});
    TExDockTabPanel* strip = t.strip;
    strip->resize(1000, strip->Height());
    strip->ResetTabWidths();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(t.Sheet(i)->TabWidth, t.Sheet(i)->NaturalTabWidth) << i;
    EXPECT_LT(t.Sheet(0)->NaturalTabWidth, t.Sheet(1)->NaturalTabWidth);

    const int narrow = t.Sheet(0)->NaturalTabWidth;
    const int width = narrow + 3 + 2 * 60 + 2 * 3 + strip->CaptionLeftOffset + strip->CaptionRightOffset;
    strip->resize(width, strip->Height());
    strip->ResetTabWidths();
    EXPECT_EQ(t.Sheet(0)->TabWidth, narrow) << "the narrow tab keeps its width";
    EXPECT_EQ(t.Sheet(1)->TabWidth, 60);
    EXPECT_EQ(t.Sheet(2)->TabWidth, 60) << "the wide ones share what is left equally";
}

TEST(ExDockVIDTabs, RenamingAFormResortsItsTabAndRecomputesItsWidth)
{
    DockFixture f(MakeVID);
    TabHost t(f, {"Alpha", "Beta", "Gamma"});
    const int before = t.Sheet(1)->NaturalTabWidth;
    t.forms[1]->SetCaption("A much longer caption for Beta");
    EXPECT_EQ(t.Sheet(1)->Caption(), "A much longer caption for Beta");
    EXPECT_GT(t.Sheet(1)->NaturalTabWidth, before);
    EXPECT_EQ(t.strip->SortedSheets.back(), t.Sheet(1)) << "now the widest";
}

TEST(ExDockVIDTabs, TheHitTestFindsEachTabAndNothingOutsideTheTabBand)
{
    DockFixture f(MakeVID);
    TabHost t(f, {"One", "Two", "Three"});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(t.strip->TabIndexAt(t.TabCentre(i).x(), t.TabCentre(i).y()), i);
    EXPECT_EQ(t.strip->TabIndexAt(t.TabCentre(1).x(), t.strip->Height() - 1), -1) << "the band joining the pages";
    EXPECT_EQ(t.strip->TabIndexAt(t.strip->Width() - 2, t.TabCentre(0).y()), -1) << "past the last tab";
}

TEST(ExDockVIDTabs, DraggingATabOverAnotherMovesItsPageAndDraggingItOffUndocksItsForm)
{
    DockFixture f(MakeVID);
    TabHost t(f, {"One", "Two", "Three"});
    TExDockTabPanel* strip = t.strip;
    auto send = [strip](UINT msg, QPoint p) { strip->Perform(msg, msg == WM_LBUTTONUP ? WPARAM(0) : WPARAM(MK_LBUTTON), MakeLParam(p.x(), p.y())); };
    TExDockTabSheet* dragged = t.pages->Pages(0);
    send(WM_LBUTTONDOWN, t.TabCentre(0));
    EXPECT_EQ(strip->DraggedSheet, dragged);
    send(WM_MOUSEMOVE, t.TabCentre(2));
    EXPECT_EQ(dragged->PageIndex(), 2) << "the tab went where it was dragged";
    send(WM_LBUTTONUP, t.TabCentre(2));
    EXPECT_EQ(strip->DraggedSheet, nullptr);
    EXPECT_EQ(HostDockSite(*t.forms[0]), t.pages) << "moving along the strip undocks nothing";

    send(WM_LBUTTONDOWN, t.TabCentre(2));
    send(WM_MOUSEMOVE, QPoint(t.TabCentre(2).x(), strip->Height() + 30));
    ASSERT_NE(GlobalDockManager()->DragObject(), nullptr) << "leaving the strip starts a dock drag";
    EXPECT_EQ(GlobalDockManager()->DragObject()->Control, t.forms[0]);
    GlobalDockManager()->AbortDrag();
    EXPECT_EQ(strip->DraggedSheet, nullptr) << "the end of the dock drag ends the tab drag";
}

TEST(ExDockVIDTabs, ADoubleClickOnATabFloatsItsForm)
{
    DockFixture f(MakeVID);
    TabHost t(f, {"One", "Two", "Three"});
    QTest::mouseDClick(t.strip->Widget(), Qt::LeftButton, {}, t.TabCentre(1));
    EXPECT_TRUE(Floating(*t.forms[1]));
    EXPECT_EQ(HostDockSite(*t.forms[0]), t.pages);
    FindDockClientOf(t.forms[2])->CanFloat = false;
    QTest::mouseDClick(t.strip->Widget(), Qt::LeftButton, {}, t.TabCentre(1));
    EXPECT_EQ(HostDockSite(*t.forms[2]), t.pages) << "a form that may not float stays";
}

TEST(ExDockVIDTabs, AHostWithOneVisibleFormShowsNoStrip)
{
    DockFixture f(MakeVID);
    TabHost t(f, {"One", "Two"});
    TRect r = t.pages->ClientRect();
    t.pages->AdjustClientRect(r);
    EXPECT_EQ(r.Top, t.strip->TabHeight - 1);
    EXPECT_TRUE(t.strip->isVisibleTo(t.pages));
    t.forms[1]->Hide();
    r = t.pages->ClientRect();
    t.pages->AdjustClientRect(r);
    EXPECT_EQ(r, t.pages->ClientRect());
    EXPECT_FALSE(t.strip->isVisibleTo(t.pages));
}

TEST(ExDockVIDTabs, RemovingAPageDropsItsImageAndMovesTheLaterImagesDown)
{
    DockFixture f(MakeVID);
    TabHost t(f, {"One", "Two", "Three"});
    t.pages->SetShowTabImages(true);
    ASSERT_NE(t.pages->OwnImages(), nullptr);
    ASSERT_EQ(t.pages->OwnImages()->Count(), 3);
    EXPECT_EQ(t.pages->Pages(2)->ImageIndex, 2);
    ManualFloat(*t.forms[1], Bounds(1300, 100, 200, 150));
    EXPECT_EQ(t.pages->OwnImages()->Count(), 2);
    const int last = t.pages->PageOfControl(t.forms[2])->PageIndex();
    EXPECT_EQ(t.pages->Pages(last)->ImageIndex, 1);
}

TEST(ExDockVIDTabs, ATabWithAnImageIsWideEnoughForImageAndCaption)
{
    DockFixture f([](TComponent* owner) -> TExDockBasicStyle* { return new TExDockVSNetStyle(owner); });
    TabHost t(f, {"Output", "Server Logs"});
    ASSERT_TRUE(t.pages->ShowTabImages());
    for (int active = 0; active < 2; ++active) {
        t.pages->SetActivePageIndex(active);
        t.strip->ResetTabWidths();
        for (int i = 0; i < 2; ++i) {
            auto* sheet = t.Sheet(i);
            const TFont& font = sheet == t.pages->ActivePage() ? t.strip->ActiveFont() : t.strip->InactiveFont();
            const int text = QFontMetrics(font.ToQFont(), t.strip->Widget()).horizontalAdvance(QString::fromStdString(sheet->Caption()));
            EXPECT_GE(sheet->TabWidth, text + 16 + 3 * t.strip->CaptionLeftOffset) << sheet->Caption() << " active " << active;
        }
    }
}

TEST(ExDockVIDTabs, TheStripComesBackWhenASecondFormShowsAgain)
{
    DockFixture f(MakeVID);
    TabHost t(f, {"One", "Two"});
    t.forms[1]->Hide();
    EXPECT_FALSE(t.strip->isVisibleTo(t.pages));
    t.forms[1]->Show();
    EXPECT_TRUE(t.strip->isVisibleTo(t.pages));
    TRect r = t.pages->ClientRect();
    t.pages->AdjustClientRect(r);
    EXPECT_EQ(r.Top, t.strip->TabHeight - 1) << "the pages leave room for it";
}
