// The page control: hidden tabs that come back, the client border width, clicks on the tabs of
// disabled pages, right-click selection, Ctrl+Tab from anywhere, hint sources and tab painters.

#include "ExLib/run/panels/ExPageControl.h"

#include "Platform/controls/Forms.h"

#include <QApplication>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct PagesFixture : ::testing::Test {
    TCustomForm form{nullptr};
    TExPageControl* pages = new TExPageControl(&form, &form);
    std::vector<TTabSheet*> sheets;

    PagesFixture()
    {
        form.resize(400, 300);
        pages->SetBounds(0, 0, 400, 300);
        for (const char* caption : {"General", "Editor", "Colors"}) {
            auto* sheet = new TTabSheet(&form);
            sheet->SetCaption(caption);
            sheet->SetPageControl(pages);
            sheets.push_back(sheet);
        }
        form.show();
        QApplication::processEvents();
    }
    QPoint TabCentre(int index) { return pages->tabBar()->tabRect(index).center(); }
};

// Counts the tabs it is asked to paint.
class CountingPainter : public TExTabControlPainter {
public:
    using TExTabControlPainter::TExTabControlPainter;
    int Painted = 0;
    void PaintTab(TExPageControl&, TCanvas&, TCustomImageList*, int, const std::string&, const TRect&, bool,
                  bool) override
    {
        ++Painted;
    }
};

} // namespace

TEST_F(PagesFixture, HiddenTabsComeBackAsTheyWere)
{
    pages->SetActivePage(sheets[1]);
    pages->SetTabVisible(sheets[2], false);
    pages->SetHideAllTabs(true);
    EXPECT_FALSE(pages->tabBar()->isVisible());
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(pages->focusPolicy(), Qt::NoFocus);
    pages->SetHideAllTabs(false);
    EXPECT_TRUE(pages->tabBar()->isVisible());
    EXPECT_TRUE(pages->isTabVisible(0));
    EXPECT_TRUE(pages->isTabVisible(1));
    EXPECT_FALSE(pages->isTabVisible(2)); // hidden on its own before
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(pages->PageOfTab(1), sheets[1]);
    EXPECT_EQ(pages->PageOfTab(2), nullptr);
}

TEST_F(PagesFixture, AClientBorderOfZeroMakesThePagesFourPixelsLargerOnEachSide)
{
    const TRect normal = pages->PageArea();
    pages->SetClientBorderWidth(0);
    const TRect wide = pages->PageArea();
    EXPECT_EQ(wide.Left, normal.Left - 4);
    EXPECT_EQ(wide.Top, normal.Top - 4);
    EXPECT_EQ(wide.Right, normal.Right + 4);
    EXPECT_EQ(wide.Bottom, normal.Bottom + 4);
}

TEST_F(PagesFixture, TheTabOfADisabledPageCannotBeClicked)
{
    sheets[2]->SetEnabled(false);
    QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, TabCentre(2));
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, TabCentre(1));
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    // A refusing change handler keeps the page.
    pages->OnChanging = [](TObject*, bool& allow) { allow = false; };
    QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, TabCentre(0));
    EXPECT_EQ(pages->ActivePageIndex(), 1);
}

TEST_F(PagesFixture, TheRightButtonSelectsOnlyWhenAskedTo)
{
    int changes = 0;
    pages->OnChange = [&](TObject*) { ++changes; };
    QTest::mouseClick(pages->tabBar(), Qt::RightButton, {}, TabCentre(2));
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    pages->RightClickSelect = true;
    QTest::mouseClick(pages->tabBar(), Qt::RightButton, {}, TabCentre(2));
    EXPECT_EQ(pages->ActivePageIndex(), 2);
    EXPECT_EQ(changes, 1);
}

TEST_F(PagesFixture, CtrlTabSwitchesPagesFromAnywhereSkippingDisabledOnes)
{
    pages->HandleGlobalTab = true;
    sheets[1]->SetEnabled(false);
    auto* edit = new TWinControl(&form, &form);
    edit->setFocusPolicy(Qt::StrongFocus);
    edit->show();
    QApplication::setActiveWindow(&form);
    edit->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }));
    QTest::keyClick(edit, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(pages->ActivePageIndex(), 2); // forwards, past the disabled page
    QTest::keyClick(edit, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pages->ActivePageIndex(), 0); // backwards, past it again
}

TEST_F(PagesFixture, HintSourcesChooseBetweenThePageControlsAndThePagesHints)
{
    pages->SetHint("The options");
    sheets[1]->SetHint("Editor settings|more");
    const auto hintOver = [&](int tab) {
        THintInfo info;
        info.HintControl = pages;
        info.CursorPos = TPoint::FromQt(pages->tabBar()->mapTo(pages, TabCentre(tab)));
        info.HintStr = "The options";
        pages->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
        return info;
    };
    pages->HintSource = TExHintSource::hsPreferChildren;
    EXPECT_EQ(hintOver(1).HintStr, "Editor settings");
    EXPECT_EQ(hintOver(1).CursorRect, pages->TabRect(1));
    EXPECT_EQ(hintOver(0).HintStr, "The options"); // a page without a hint
    pages->HintSource = TExHintSource::hsForceChildren;
    EXPECT_EQ(hintOver(0).HintStr, "");
    pages->HintSource = TExHintSource::hsPreferMain;
    EXPECT_EQ(hintOver(1).HintStr, "The options");
    pages->HintSource = TExHintSource::hsDefault;
    EXPECT_EQ(hintOver(1).HintStr, "The options");
}

TEST_F(PagesFixture, ATabPainterPaintsTheVisibleTabsUntilItGoes)
{
    auto* painter = new CountingPainter(&form);
    pages->SetTabPainter(painter);
    EXPECT_EQ(painter->ClientCount(), 1);
    pages->tabBar()->repaint();
    EXPECT_EQ(painter->Painted, 3);
    delete painter;
    EXPECT_EQ(pages->TabPainter(), nullptr);
    pages->tabBar()->repaint();
}
