// The dock page control: a page per docked form with the form's caption and visibility, pages
// cycled with Ctrl+Tab, a right click that selects a tab, and the rules between tab position,
// style and multi-line.

#include "DockFixture.h"

#include "Platform/core/Exceptions.h"

#include <gtest/gtest.h>

namespace {

struct PageBench {
    PageBench()
    {
        main.setGeometry(100, 100, 400, 300);
        main.show();
        pages = new TExDockPageControl(nullptr, &main);
        pages->setGeometry(0, 0, 400, 300);
        SetControlDockSite(*pages, true);
        pages->show();
    }
    ~PageBench()
    {
        for (auto& f : forms)
            f->SetParent(nullptr);
    }
    TCustomForm* Dock(const std::string& name, bool visible = true)
    {
        auto form = std::make_unique<TCustomForm>(nullptr);
        form->SetName(name);
        form->SetCaption(name);
        form->resize(100, 80);
        form->setVisible(visible);
        ManualDock(*form, pages);
        forms.push_back(std::move(form));
        return forms.back().get();
    }
    TCustomForm main{nullptr};
    TExDockPageControl* pages;
    std::vector<std::unique_ptr<TCustomForm>> forms;
};

} // namespace

TEST(ExDockPageControl, EachDockedFormGetsAPageWithItsCaption)
{
    PageBench b;
    TCustomForm* one = b.Dock("One");
    TCustomForm* hidden = b.Dock("Hidden", false);
    ASSERT_EQ(b.pages->PageCount(), 2);
    EXPECT_EQ(b.pages->Tabs().Count(), 1) << "a hidden form's tab is not shown";
    EXPECT_EQ(b.pages->ActivePage(), b.pages->PageOfControl(one));
    EXPECT_EQ(AlignOf(*one), TAlign::alClient);
    EXPECT_GT(b.pages->PageOfControl(one)->Top(), 0) << "the page lies below the tabs";
    EXPECT_EQ(one->Width(), b.pages->PageOfControl(one)->Width()) << "and the form fills it";
    hidden->show();
    EXPECT_EQ(b.pages->Tabs().Count(), 2);
    EXPECT_EQ(b.pages->Tabs().Get(1), "Hidden");
    one->SetCaption("First\nline");
    EXPECT_EQ(b.pages->Tabs().Get(0), "First");
}

TEST(ExDockPageControl, TheNextPageSkipsHiddenTabsAndWrapsAround)
{
    PageBench b;
    b.Dock("A");
    b.Dock("B", false);
    b.Dock("C");
    b.pages->SetActivePage(b.pages->Pages(0));
    b.pages->SelectNextPage(true);
    EXPECT_EQ(b.pages->ActivePage(), b.pages->Pages(2)) << "the hidden page is skipped";
    b.pages->SelectNextPage(true);
    EXPECT_EQ(b.pages->ActivePage(), b.pages->Pages(0)) << "and it wraps around";
    b.pages->SelectNextPage(false);
    EXPECT_EQ(b.pages->ActivePage(), b.pages->Pages(2));
}

TEST(ExDockPageControl, ARightClickSelectsTheTab)
{
    PageBench b;
    b.Dock("A");
    b.Dock("B");
    b.pages->SetActivePage(b.pages->Pages(0));
    QTabBar* bar = b.pages->TabBar();
    QTest::mouseClick(bar, Qt::RightButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(b.pages->ActivePage(), b.pages->Pages(1));
}

TEST(ExDockPageControl, TabPositionStyleAndMultiLineRules)
{
    PageBench b;
    b.pages->SetTabPosition(TTabPosition::tpLeft);
    EXPECT_TRUE(b.pages->MultiLine());
    try {
        b.pages->SetMultiLine(false);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "MultiLine must be True when TabPosition is tpLeft or tpRight");
    }
    try {
        b.pages->SetStyle(TTabStyle::tsButtons);
        ADD_FAILURE();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Tab style incompatible with current tab position");
    }
    b.pages->SetTabPosition(TTabPosition::tpTop);
    b.pages->SetStyle(TTabStyle::tsFlatButtons);
    try {
        b.pages->SetTabPosition(TTabPosition::tpBottom);
        ADD_FAILURE();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Tab position incompatible with current tab style");
    }
    try {
        b.pages->SetTabHeight(-1);
        ADD_FAILURE();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "TExDockPageControl property out of range");
    }
    b.pages->SetScrollOpposite(true);
    EXPECT_TRUE(b.pages->MultiLine());
    b.pages->SetMultiLine(false);
    EXPECT_FALSE(b.pages->ScrollOpposite());
}

TEST(ExDockPageControl, AnInvalidPageIndexIsRefused)
{
    PageBench b;
    b.Dock("A");
    b.Dock("B");
    try {
        b.pages->Pages(0)->SetPageIndex(2);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "2 is an invalid PageIndex value.  PageIndex must be between 0 and 1");
    }
    b.pages->Pages(1)->SetPageIndex(0);
    EXPECT_EQ(b.pages->Tabs().Get(0), "B");
}
