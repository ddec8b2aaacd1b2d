// The list box: sorting, the horizontal extent, word-wrapped and aligned items, reordering by
// drag and drop, moving and deleting selected items, the background picture, scroll requests,
// the wrap-around search and a linked provider's rows.

#include "ExLib/data/DataTestProvider.h"

#include "ExLib/run/controls/ExTextDraw.h"
#include "ExLib/run/lists/ExItemsSearchs.h"
#include "ExLib/run/lists/ExListBox.h"

#include "Platform/controls/Forms.h"

#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

struct ExListFixture : ::testing::Test {
    TCustomForm form{nullptr};
    TExListBox* list = new TExListBox(&form, &form);
    std::vector<std::string> deleted;

    ExListFixture()
    {
        form.resize(300, 300);
        list->SetBounds(10, 10, 120, 150);
        list->OnDeleteString = [this](TObject*, const std::string& s) { deleted.push_back(s); };
    }
    std::vector<std::string> Strings() const
    {
        std::vector<std::string> strings;
        for (int i = 0; i < list->Items().Count(); ++i)
            strings.push_back(list->Items()[i]);
        return strings;
    }
    void Fill(std::initializer_list<const char*> strings)
    {
        for (const char* s : strings)
            list->Items().Add(s);
    }
    int Extent() { return static_cast<int>(list->Perform(LB_GETHORIZONTALEXTENT)); }
    // The extent an added string asks for.
    int WidthFor(const std::string& s)
    {
        TCanvas canvas;
        canvas.Font().Assign(list->Font());
        return std::max(canvas.TextWidth(s + " "), list->MeasureString(s, 0).cx);
    }
    TPoint PointOf(int row) const
    {
        const QRect r = list->visualItemRect(list->item(row));
        return {r.center().x(), r.center().y()};
    }
};

} // namespace

TEST_F(ExListFixture, ASortedListKeepsItsStringsInOrderHoweverTheyAreAdded)
{
    list->SetSorted(true);
    Fill({"Editor", "General", "Colors", "Backup", "code insight"});
    EXPECT_EQ(Strings(), (std::vector<std::string>{"Backup", "code insight", "Colors", "Editor", "General"}));
    EXPECT_EQ(list->Items().Add("Display"), 3);
    list->SetSorted(false);
    list->Items().Add("Alpha");
    EXPECT_EQ(list->Items()[6], "Alpha");
    list->SetSorted(true);
    EXPECT_EQ(list->Items()[0], "Alpha");
}

TEST_F(ExListFixture, TheExtentFollowsTheWidestStringAndDeletingItShrinksIt)
{
    EXPECT_EQ(Extent(), 0);
    const std::string widest = "A category name much wider than the list box";
    const std::string second = "A fairly long category name";
    Fill({"Short", widest.c_str(), second.c_str()});
    EXPECT_EQ(Extent(), WidthFor(widest));
    EXPECT_EQ(list->MaxWidth(), Extent());
    list->Items().Delete(0); // narrower: the extent stays
    EXPECT_EQ(Extent(), WidthFor(widest));
    list->Items().Delete(0);
    EXPECT_EQ(Extent(), list->MeasureString(second, 0).cx);
    EXPECT_EQ(deleted, (std::vector<std::string>{"Short", widest}));
}

TEST_F(ExListFixture, ClearingTheListResetsTheExtentForTheStringsThatFollow)
{
    Fill({"A category name much wider than the list box", "B"});
    list->Items().Clear();
    EXPECT_EQ(Extent(), 0);
    list->Items().Add("Tiny");
    EXPECT_EQ(Extent(), WidthFor("Tiny"));
}

TEST_F(ExListFixture, MultiLineItemsWrapWithinTheListUpTo255PixelsHigh)
{
    list->SetMultiLine(true);
    EXPECT_EQ(list->ScrollBars(), TScrollStyle::ssVertical);
    EXPECT_EQ(list->Style(), TListBoxStyle::lbOwnerDrawVariable);
    EXPECT_EQ(list->MaxWidth(), 0);
    Fill({"One line", "A long item that wraps over several lines in this narrow list box",
          std::string(3000, 'w').insert(0, "x ").c_str()});
    QAbstractItemDelegate* delegate = list->itemDelegate();
    QStyleOptionViewItem option;
    const int one = delegate->sizeHint(option, list->model()->index(0, 0)).height();
    const int several = delegate->sizeHint(option, list->model()->index(1, 0)).height();
    EXPECT_GE(one, list->ItemHeight());
    EXPECT_GE(several, 2 * QFontMetrics(list->font()).height());
    EXPECT_LE(delegate->sizeHint(option, list->model()->index(2, 0)).height(), 255);
    EXPECT_EQ(Extent(), 0);
}

TEST_F(ExListFixture, AnAlignmentOtherThanLeftSwitchesToFixedOwnerDrawing)
{
    list->SetAlignment(taCenter);
    EXPECT_EQ(list->Style(), TListBoxStyle::lbOwnerDrawFixed);
    TCanvas canvas;
    canvas.Font().Assign(list->Font());
    EXPECT_EQ(list->ItemHeight(), QFontMetrics(list->font()).height() + 2);
    // The text is drawn in the middle of the row (which begins 2 pixels in).
    Fill({"Mid"});
    form.show();
    list->Font().SetColor(clBlack);
    const int width = list->viewport()->width();
    QImage image(width, list->ItemHeight(), QImage::Format_RGB32);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, width, list->ItemHeight());
    option.state = QStyle::State_Enabled;
    list->itemDelegate()->paint(&painter, option, list->model()->index(0, 0));
    painter.end();
    int left = width, right = 0;
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < 100) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_LE(std::abs((left + right) / 2 - (2 + width) / 2), 2);
}

TEST_F(ExListFixture, DraggingAnItemDropsItWhereTheMouseIs)
{
    Fill({"zero", "one", "two", "three", "four"});
    form.show();
    EXPECT_FALSE(list->DefaultStartDrag()); // nothing selected
    list->SetItemIndex(0);
    ASSERT_TRUE(list->DefaultStartDrag());
    EXPECT_EQ(list->DragImage().width(), QFontMetrics(list->font()).horizontalAdvance("zero") + 15);
    EXPECT_TRUE(list->DefaultDragOver(list, PointOf(2)));
    EXPECT_FALSE(list->DefaultDragOver(&form, PointOf(2)));
    list->DefaultDragDrop(list, PointOf(3));
    EXPECT_EQ(Strings(), (std::vector<std::string>{"one", "two", "zero", "three", "four"}));

    list->SetItemIndex(1);
    list->DefaultStartDrag();
    list->DefaultDragDrop(list, {10, 140}); // below the last item
    EXPECT_EQ(Strings(), (std::vector<std::string>{"one", "zero", "three", "four", "two"}));
}

TEST_F(ExListFixture, MovingSelectedItemsStopsAtTheEnds)
{
    Fill({"a", "b", "c", "d"});
    list->SetItemIndex(0);
    list->MoveSelectedUp();
    EXPECT_EQ(Strings(), (std::vector<std::string>{"a", "b", "c", "d"}));
    list->SetItemIndex(2);
    list->MoveSelectedUp();
    EXPECT_EQ(Strings(), (std::vector<std::string>{"a", "c", "b", "d"}));
    EXPECT_EQ(list->ItemIndex(), 1);
    list->SetItemIndex(3);
    list->MoveSelectedDown();
    EXPECT_EQ(list->ItemIndex(), 3);
    list->SetItemIndex(0);
    list->MoveSelectedDown();
    EXPECT_EQ(Strings(), (std::vector<std::string>{"c", "a", "b", "d"}));

    list->SetMultiSelect(true);
    list->clearSelection();
    list->SetSelected(0, true);
    list->SetSelected(2, true);
    list->MoveSelectedUp(); // item 0 is among the selected
    EXPECT_EQ(Strings(), (std::vector<std::string>{"c", "a", "b", "d"}));
    list->SetSelected(0, false);
    list->MoveSelectedUp();
    EXPECT_EQ(Strings(), (std::vector<std::string>{"c", "b", "a", "d"}));
    EXPECT_TRUE(list->Selected(1));
    EXPECT_FALSE(list->Selected(2));
}

TEST_F(ExListFixture, DeletingTheSelectedItemSelectsTheOneAboveIt)
{
    Fill({"a", "b", "c"});
    int changes = 0;
    list->OnChange = [&](TObject*) { ++changes; };
    list->SetItemIndex(2);
    list->DeleteSelected();
    EXPECT_EQ(Strings(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(changes, 2); // the deleted string and the deletion
    list->SetMultiSelect(true);
    list->SelectAll();
    list->DeleteSelected();
    EXPECT_TRUE(Strings().empty());
}

TEST_F(ExListFixture, ABackgroundDrawsOnlyWithAPictureAndVisible)
{
    TExListBoxBackground& background = list->Background();
    background.SetVisible(true);
    EXPECT_FALSE(background.DoDraw());
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::green);
    background.SetImage(picture);
    EXPECT_TRUE(background.DoDraw());
    Fill({"x"});
    form.show();
    const QImage shown = list->viewport()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(shown.width() - 2, shown.height() - 2), QColor(Qt::green));
    background.SetVisible(false);
    EXPECT_FALSE(background.DoDraw());
}

TEST_F(ExListFixture, AScrollEventCanKeepTheListFromScrolling)
{
    for (int i = 0; i < 40; ++i)
        list->Items().Add("Line " + std::to_string(i));
    form.show();
    std::vector<int> codes;
    bool refuse = true;
    list->OnVerticalScroll = [&](TObject*, const TWMScroll& message, bool& dontScroll) {
        codes.push_back(message.ScrollCode);
        dontScroll = refuse;
    };
    QScrollBar* bar = list->verticalScrollBar();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->value(), 0);
    refuse = false;
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_GT(bar->value(), 0);
    EXPECT_EQ(codes, (std::vector<int>{SB_LINEDOWN, SB_PAGEDOWN}));
}

TEST(ItemsSearchs, TheSearchWrapsAroundAndExaminesTheStartLast)
{
    TStringList items;
    for (const char* s : {"beta", "alpha", "gamma", "alps", "delta"})
        items.Add(s);
    struct Case {
        const char* value;
        int start;
        int expected;
    };
    const Case prefixes[] = {
        {"al", 2, 3}, {"AL", 3, 1}, {"be", 4, 0}, {"be", 0, 0}, {"z", 1, -1}, {"", 1, -1}, {"gam", -1, 2},
    };
    for (const Case& c : prefixes)
        EXPECT_EQ(TExItemsSearchs::FindPrefix(items, c.value, c.start, false), c.expected) << c.value << " " << c.start;
    EXPECT_EQ(TExItemsSearchs::FindPrefix(items, "AL", 0, true), -1);
    EXPECT_EQ(TExItemsSearchs::FindExact(items, "DELTA", 4, false), 4);
    EXPECT_EQ(TExItemsSearchs::FindExact(items, "DELTA", 4, true), -1);
    EXPECT_EQ(TExItemsSearchs::FindExact(items, "alp", 0, false), -1);
    TStringList empty;
    EXPECT_EQ(TExItemsSearchs::FindExact(empty, "x", 0, false), -1);

    // From item 2 of five, "al" at index 1 is found only after items 3, 4 and 0.
    TStringList order;
    for (const char* s : {"x", "al", "y", "z", "w"})
        order.Add(s);
    EXPECT_EQ(TExItemsSearchs::FindPrefix(order, "al", 2, false), 1);
    order.Put(3, "also");
    EXPECT_EQ(TExItemsSearchs::FindPrefix(order, "al", 2, false), 3);
    // From the last item the search wraps to item 0 at once.
    EXPECT_EQ(TExItemsSearchs::FindPrefix(order, "x", 4, false), 0);
}

TEST_F(ExListFixture, ALinkedProviderShowsItsRowsAndTheStringsComeBack)
{
    Fill({"mine"});
    TTestProvider provider;
    TExBaseDataItem* top = provider.Add("top", "Top");
    TTestProvider::Add(TTestProvider::Children(top), "inner", "Inner");
    list->Provider().SetProvider(&provider);
    EXPECT_TRUE(list->ProviderMode());
    EXPECT_EQ(list->ItemsShowing().Count(), 2);
    EXPECT_EQ(list->ItemsShowing()[1], "Inner");
    EXPECT_EQ(list->count(), 2);
    list->SetItemIndex(0);
    list->MoveSelectedDown(); // nothing moves in provider mode
    EXPECT_EQ(list->ItemsShowing()[0], "Top");
    list->Provider().SetProvider(nullptr);
    EXPECT_EQ(Strings(), (std::vector<std::string>{"mine"}));
}
