// The tab bar: its layout and scroll buttons, selection rules, close buttons with their press
// and release, the modified cross, reordering by dragging, pop-up menus, the page list and the
// painter it falls back to.

#include "ExLib/run/buttons/ExSpeedButton.h"
#include "ExLib/run/panels/ExTabBar.h"

#include "Platform/controls/AlignLayout.h"
#include "Platform/controls/Forms.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

struct TabBarFixture : ::testing::Test {
    TCustomForm form{nullptr};
    TExTabBar* bar = new TExTabBar(&form, &form);
    std::vector<std::string> closed;

    TabBarFixture()
    {
        form.resize(400, 200);
        bar->OnTabClosed = [this](TObject*, TExTabBarItem* tab) { closed.push_back(tab->Caption()); };
    }
    TExTabBarItem* AddTab(const std::string& caption)
    {
        TExTabBarItem* tab = bar->Tabs().Add();
        tab->SetCaption(caption);
        return tab;
    }
    int TextWidth(const std::string& s)
    {
        TCanvas canvas;
        canvas.Font().Assign(static_cast<TExModernTabBarPainter&>(bar->CurrentPainter()).Font());
        return canvas.TextWidth(s);
    }
    QPoint CloseButtonOf(TExTabBarItem* tab)
    {
        const TRect r = bar->TabRect(tab);
        return QPoint(r.Left + 10, r.Top + 10);
    }
    QImage Render()
    {
        QImage image(bar->size(), QImage::Format_RGB32);
        bar->render(&image);
        return image;
    }
};

// A page list that records the pages it was asked to show.
class TPages : public TWinControl, public ITabBarPageList {
public:
    using TWinControl::TWinControl;
    void ShowPage(int index) override { Shown.push_back(index); }
    std::vector<int> Shown;
};

// A menu that records where it would open.
class TRecordingMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int x, int y, const TRect*) override { Points.push_back({x, y}); }
    std::vector<TPoint> Points;
};

} // namespace

TEST_F(TabBarFixture, TheBrowserFramesBarLaysItsTabsOutFromTheMargin)
{
    SetAlign(*bar, TAlign::alNone);
    bar->SetBounds(3, 3, 100, 22);
    bar->SetOrientation(TExTabBarOrientation::toBottom);
    bar->SetCloseButton(false);
    bar->SetMargin(2);
    TExTabBarItem* preview = AddTab("Preview");
    TExTabBarItem* source = AddTab("Source");
    EXPECT_EQ(bar->SelectedTab(), preview);
    const TRect first = bar->TabRect(preview);
    EXPECT_EQ(first.Left, 2);
    EXPECT_EQ(first.Top, 0);
    EXPECT_EQ(first.Width(), TextWidth("Preview") + 11);
    EXPECT_EQ(bar->TabRect(source).Left, first.Right + 1);
    // The line toward the page is the upper edge.
    const QImage image = Render();
    EXPECT_EQ(image.pixelColor(99, 0), QColor(Qt::black));
    EXPECT_NE(image.pixelColor(99, 21), QColor(Qt::black));
}

TEST_F(TabBarFixture, TooManyTabsBringScrollButtonsAndSelectingTheLastScrollsItIntoView)
{
    bar->SetBounds(0, 0, 200, 23);
    std::vector<TExTabBarItem*> tabs;
    for (int i = 0; i < 8; ++i)
        tabs.push_back(AddTab("Document " + std::to_string(i)));
    ASSERT_NE(bar->ScrollButtonLeft(), nullptr);
    EXPECT_EQ(bar->ScrollButtonLeft()->BoundsRect(), Bounds(200 - 26, 23 - 14, 12, 12));
    EXPECT_EQ(bar->ScrollButtonRight()->BoundsRect(), Bounds(200 - 14, 23 - 14, 12, 12));
    EXPECT_EQ(bar->BarWidth(), 200 - 26 - 2);
    EXPECT_FALSE(bar->ScrollButtonLeft()->Enabled());
    EXPECT_TRUE(bar->ScrollButtonRight()->Enabled());

    tabs.back()->SetSelected(true);
    EXPECT_GT(bar->LeftIndex(), 0);
    EXPECT_LE(bar->TabRect(tabs.back()).Right, bar->BarWidth());
    EXPECT_EQ(bar->TabRect(tabs[static_cast<size_t>(bar->LeftIndex())]).Left, 0);
    EXPECT_TRUE(bar->ScrollButtonLeft()->Enabled());
    // Selecting the first tab again scrolls all the way back.
    tabs.front()->SetSelected(true);
    EXPECT_EQ(bar->LeftIndex(), 0);
    EXPECT_EQ(bar->TabRect(tabs.front()).Left, 6);

    while (bar->Tabs().Count() > 1)
        bar->Tabs().Delete(1);
    QApplication::processEvents();
    EXPECT_EQ(bar->ScrollButtonLeft(), nullptr);
    EXPECT_EQ(bar->BarWidth(), 200);
}

TEST_F(TabBarFixture, OnlySelectableTabsAreSelectedAndHidingTheSelectedOneMovesOn)
{
    TExTabBarItem* a = AddTab("a");
    TExTabBarItem* b = AddTab("b");
    TExTabBarItem* c = AddTab("c");
    c->SetEnabled(false);
    c->SetSelected(true);
    EXPECT_EQ(bar->SelectedTab(), a);
    b->SetSelected(true);
    b->SetVisible(false); // the next selectable is c, which is disabled: the previous one
    EXPECT_EQ(bar->SelectedTab(), a);
    b->SetVisible(true);
    c->SetEnabled(true);
    b->SetSelected(true);
    b->SetVisible(false);
    EXPECT_EQ(bar->SelectedTab(), c);
    bar->SetAllowUnselected(true);
    c->SetVisible(false);
    EXPECT_EQ(bar->SelectedTab(), nullptr);

    bool refuse = true;
    bar->OnTabSelecting = [&](TObject*, TExTabBarItem*, bool& allow) { allow = !refuse; };
    a->SetSelected(true);
    EXPECT_EQ(bar->SelectedTab(), nullptr);
    refuse = false;
    a->SetSelected(true);
    EXPECT_TRUE(a->Selected());
}

TEST_F(TabBarFixture, WithSelectBeforeCloseTheFirstClickOnlySelects)
{
    form.show();
    AddTab("first");
    TExTabBarItem* second = AddTab("second");
    bar->SelectBeforeClose = true;
    QTest::mouseClick(bar, Qt::LeftButton, {}, CloseButtonOf(second));
    EXPECT_TRUE(second->Selected());
    EXPECT_TRUE(closed.empty());
    QTest::mouseClick(bar, Qt::LeftButton, {}, CloseButtonOf(second));
    EXPECT_EQ(closed, (std::vector<std::string>{"second"}));
    EXPECT_EQ(bar->Tabs().Count(), 1);
}

TEST_F(TabBarFixture, ACloseButtonClosesOnlyWhenReleasedOverIt)
{
    form.show();
    TExTabBarItem* tab = AddTab("doc");
    const QPoint button = CloseButtonOf(tab);
    QTest::mousePress(bar, Qt::LeftButton, {}, button);
    EXPECT_EQ(bar->CloseButtonDown(), tab);
    QTest::mouseMove(bar, QPoint(button.x() + 40, button.y()));
    EXPECT_EQ(bar->CloseButtonDown(), nullptr);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(button.x() + 40, button.y()));
    EXPECT_TRUE(closed.empty());

    QTest::mousePress(bar, Qt::LeftButton, {}, button);
    QTest::mouseMove(bar, QPoint(button.x() + 40, button.y()));
    QTest::mouseMove(bar, button);
    EXPECT_EQ(bar->CloseButtonDown(), tab);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, button);
    EXPECT_EQ(closed, (std::vector<std::string>{"doc"}));
    EXPECT_EQ(bar->Tabs().Count(), 0);
}

TEST_F(TabBarFixture, ARefusedCloseKeepsTheTabAndAnUnfreedCloseKeepsItVisible)
{
    form.show();
    TExTabBarItem* tab = AddTab("doc");
    bar->OnTabClosing = [](TObject*, TExTabBarItem*, bool& allow) { allow = false; };
    QTest::mousePress(bar, Qt::LeftButton, {}, CloseButtonOf(tab));
    EXPECT_EQ(bar->CloseButtonDown(), nullptr);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, CloseButtonOf(tab));
    EXPECT_TRUE(closed.empty());

    bar->OnTabClosing = nullptr;
    bar->AutoFreeClosed = false;
    QTest::mouseClick(bar, Qt::LeftButton, {}, CloseButtonOf(tab));
    EXPECT_EQ(closed, (std::vector<std::string>{"doc"}));
    EXPECT_EQ(bar->Tabs().Count(), 1);
    EXPECT_TRUE(tab->Visible());
}

TEST_F(TabBarFixture, AModifiedTabShowsARedCrossWithItsCentreCleared)
{
    bar->SetBounds(0, 0, 200, 23);
    AddTab("selected");
    TExTabBarItem* other = AddTab("other");
    other->SetModified(true);
    TCanvas measure;
    const TRect c = bar->CurrentPainter().CloseButtonBounds(measure, *other, bar->TabRect(other));
    const QImage image = Render();
    int red = 0;
    for (int x = c.Left; x < c.Right; ++x)
        for (int y = c.Top; y < c.Bottom; ++y)
            red += image.pixelColor(x, y) == QColor(Qt::red);
    EXPECT_GT(red, 4);
    // The centre of the cross is the close button's background.
    EXPECT_EQ(image.pixelColor((c.Left + c.Right) / 2, (c.Top + c.Bottom) / 2), QColor(Qt::white));
}

TEST_F(TabBarFixture, DraggingTheSelectedTabMovesItToTheDropTarget)
{
    bar->AllowTabMoving = true;
    TExTabBarItem* a = AddTab("a");
    AddTab("b");
    TExTabBarItem* c = AddTab("c");
    const TRect target = bar->TabRect(c);
    const TPoint over{target.Left + 20, target.Top + 5};
    EXPECT_TRUE(bar->DragOverAt(over));
    EXPECT_EQ(bar->DropTarget(), c);
    EXPECT_FALSE(bar->DragOverAt({bar->TabRect(a).Left + 20, 5})); // over the dragged tab itself
    EXPECT_EQ(bar->DropTarget(), nullptr);
    bar->DragOverAt(over);
    bar->DragDropAt(over);
    EXPECT_EQ(a->Index(), 2);
    EXPECT_EQ(bar->DropTarget(), nullptr);
    bar->DragOverAt({bar->TabRect(a).Left - 5, 5});
    bar->DragCanceled();
    EXPECT_EQ(bar->DropTarget(), nullptr);
}

TEST_F(TabBarFixture, ARightClickSelectsTheTabAndOpensItsMenu)
{
    form.show();
    AddTab("a");
    TExTabBarItem* b = AddTab("b");
    auto* menu = new TRecordingMenu(&form);
    b->SetPopupMenu(menu);
    const TRect r = bar->TabRect(b);
    QTest::mouseClick(bar, Qt::RightButton, {}, QPoint(r.Left + 30, r.Top + 5));
    EXPECT_TRUE(b->Selected());
    ASSERT_EQ(menu->Points.size(), 1u);
    delete menu;
    EXPECT_EQ(b->PopupMenu(), nullptr);
}

TEST_F(TabBarFixture, OnlyAPageListThatShowsPagesIsTaken)
{
    AddTab("a");
    TExTabBarItem* b = AddTab("b");
    auto* plain = new TWinControl(&form, &form);
    bar->SetPageList(plain);
    EXPECT_EQ(bar->PageList(), nullptr);
    auto* pages = new TPages(&form, &form);
    bar->SetPageList(pages);
    EXPECT_EQ(bar->PageList(), pages);
    b->SetSelected(true);
    EXPECT_EQ(pages->Shown, (std::vector<int>{0, 1}));
    delete pages;
    EXPECT_EQ(bar->PageList(), nullptr);
}

TEST_F(TabBarFixture, AFreedPainterLeavesTheBarWithANewModernPainter)
{
    auto* painter = new TExModernTabBarPainter(&form);
    painter->SetColor(clYellow);
    bar->SetPainter(painter);
    EXPECT_EQ(&bar->CurrentPainter(), painter);
    delete painter;
    EXPECT_EQ(bar->Painter(), nullptr);
    auto* fallback = dynamic_cast<TExModernTabBarPainter*>(&bar->CurrentPainter());
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback->Color(), clWindow);
}

TEST_F(TabBarFixture, TheHintIsTheTabsOwnWhereItHasOne)
{
    bar->SetBarHint("The bar");
    TExTabBarItem* tab = AddTab("tab");
    tab->SetHint("The tab");
    form.show();
    const TRect r = bar->TabRect(tab);
    QTest::mouseMove(bar, QPoint(r.Left + 30, r.Top + 5));
    EXPECT_EQ(bar->Hint(), "The tab");
    tab->SetShowHint(false);
    QTest::mouseMove(bar, QPoint(r.Left + 31, r.Top + 5));
    EXPECT_EQ(bar->Hint(), "The bar");
}
