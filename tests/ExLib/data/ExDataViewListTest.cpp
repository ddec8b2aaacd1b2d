// The view list: rows built from the item tree, expanding and collapsing, the row queries, and
// rows following the items a provider adds and deletes.

#include "DataTestProvider.h"

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/data/ExDataViewList.h"

#include <gtest/gtest.h>

namespace {

// root: a(a1(a11), a2), b, c(c1)
struct ViewFixture : ::testing::Test, TWithProvider, TSampleTree {
    TComponent owner{nullptr};
    ViewFixture() : TSampleTree(provider) {}
    TExBaseDataItem* c1 = TTestProvider::Add(TTestProvider::Children(c), "c1", "C1");
    TExDataConsumer consumer{&owner, {3}};
    TExDataConsumerViewList* view = nullptr;
    std::vector<int> reasons;

    ~ViewFixture() override { consumer.SetProvider(nullptr); }

    TExDataConsumerViewList& Show(int depth)
    {
        consumer.SetProvider(&provider);
        view = dynamic_cast<TExDataConsumerViewList*>(consumer.ViewList());
        view->SetInitialExpandDepth(depth);
        view->BuildView();
        return *view;
    }
    // Each row as ID:level, with "+" for an expanded row and "*" for a row with children.
    std::string Rows() const
    {
        std::string text;
        for (int row = 0; row < view->RowCount(); ++row) {
            text += view->RowID(row) + ":" + std::to_string(view->RowLevel(row));
            if (view->RowExpanded(row))
                text += "+";
            if (view->RowHasChildren(row))
                text += "*";
            text += " ";
        }
        return text;
    }
    // Appends a new item to a child list (the root list when `parent` is null) through the
    // list's editor, so that the provider reports it.
    TExBaseDataItem* Append(TExBaseDataItem* parent, const std::string& id)
    {
        TExDataItemsList& list = parent ? TTestProvider::Children(parent) : *provider.RootList();
        auto* editor = list.FindExtension<TExBaseDataItemsListManagement>();
        if (!editor)
            editor = Construct<TExBaseDataItemsListManagement>(list);
        auto* item = Construct<TExBaseDataItem>(static_cast<IExDataItems*>(&list));
        item->SetID(id);
        editor->AppendItem(item);
        return item;
    }
    void Delete(TExBaseDataItem* item)
    {
        auto& list = dynamic_cast<TExDataItemsList&>(*item->OwnerItems()->Implementer());
        auto* editor = list.FindExtension<TExBaseDataItemsListManagement>();
        if (!editor)
            editor = Construct<TExBaseDataItemsListManagement>(list);
        editor->RemoveAt(item->IndexInOwner());
    }
};

} // namespace

TEST_F(ViewFixture, DepthZeroShowsTheTopItemsAndFlippingTogglesDirectChildren)
{
    Show(0);
    EXPECT_EQ(Rows(), "a:0* b:0 c:0* ");
    view->FlipExpanded(0);
    EXPECT_EQ(Rows(), "a:0+* a1:1* a2:1 b:0 c:0* ");
    view->FlipExpanded(3); // b has no children
    EXPECT_EQ(Rows(), "a:0+* a1:1* a2:1 b:0 c:0* ");
    view->FlipExpanded(0);
    EXPECT_EQ(Rows(), "a:0* b:0 c:0* ");
    EXPECT_EQ(view->RowFlags(1) & vrHasChildList, 0u);
    EXPECT_NE(view->RowFlags(0) & vrHasChildList, 0u);
}

TEST_F(ViewFixture, ANegativeDepthExpandsEveryLevel)
{
    Show(-1);
    EXPECT_EQ(Rows(), "a:0+* a1:1+* a11:2 a2:1 b:0 c:0+* c1:1 ");
    Show(1);
    EXPECT_EQ(Rows(), "a:0+* a1:1* a2:1 b:0 c:0+* c1:1 ");
}

TEST_F(ViewFixture, RowQueriesFollowTheTree)
{
    Show(-1); // 0 a, 1 a1, 2 a11, 3 a2, 4 b, 5 c, 6 c1
    const std::pair<int, int> parents[] = {{0, -1}, {1, 0}, {2, 1}, {3, 0}, {4, -1}, {6, 5}};
    for (auto [row, parent] : parents)
        EXPECT_EQ(view->RowParent(row), parent) << row;
    const std::pair<int, int> siblings[] = {{0, 4}, {1, 3}, {2, -1}, {3, -1}, {4, 5}, {5, -1}, {6, -1}};
    for (auto [row, sibling] : siblings)
        EXPECT_EQ(view->NextSibling(row), sibling) << row;
    struct ChildCase {
        int parent, n, row;
    };
    const ChildCase children[] = {
        {-1, 0, 0}, {-1, 1, 4}, {-1, 2, 5}, {-1, 3, -1}, {0, 0, 1}, {0, 1, 3}, {0, 2, -1}, {5, 0, 6},
        {4, 0, -1}, // b has no child rows: the next row is its sibling, not a child
        {6, 0, -1}, // the last row: nothing lies beyond it
    };
    for (const ChildCase& ch : children)
        EXPECT_EQ(view->ChildRowAt(ch.parent, ch.n), ch.row) << ch.parent << "," << ch.n;
    const std::pair<const char*, int> positions[] = {{"a", 0}, {"A2", 1}, {"b", 1}, {"c", 2}, {"c1", 0}, {"a11", 0},
                                                     {"zz", -1}};
    for (auto [id, position] : positions)
        EXPECT_EQ(view->ChildPositionOfID(id), position) << id;
    EXPECT_EQ(view->RowItem(2), a11);
    EXPECT_EQ(view->RowParentItem(2), a1);
    EXPECT_EQ(view->NextSiblingItem(1), a2);
    EXPECT_EQ(view->ChildItemOf(c, 0), c1);
    EXPECT_EQ(view->ChildItemOf(nullptr, 1), b);
    EXPECT_EQ(view->ChildItemAt(0, 1), a2);
    EXPECT_EQ(view->RowOfItem(c1), 6);
    EXPECT_EQ(view->RowItem(7), nullptr);
}

TEST_F(ViewFixture, RowLineInfoMarksTheAncestorsThatHaveANextSibling)
{
    Show(-1);
    EXPECT_TRUE(view->RowLineInfo(0).empty());
    EXPECT_EQ(view->RowLineInfo(2), (std::vector<std::int32_t>{0b11})); // a1 and a both go on
    EXPECT_EQ(view->RowLineInfo(3), (std::vector<std::int32_t>{0b1}));
    EXPECT_EQ(view->RowLineInfo(6), (std::vector<std::int32_t>{0}));     // c is the last top row
}

TEST_F(ViewFixture, RowLineInfoOfADeepRowTakesTwoIntegers)
{
    TExBaseDataItem* item = b;
    for (int level = 1; level <= 33; ++level)
        item = TTestProvider::Add(TTestProvider::Children(item), "d" + std::to_string(level));
    Show(-1);
    const int row = view->RowOfItem(item);
    EXPECT_EQ(view->RowLevel(row), 33);
    const std::vector<std::int32_t> info = view->RowLineInfo(row);
    ASSERT_EQ(info.size(), 2u);
    EXPECT_EQ(info[0], 1); // only b, at level 0, has a next sibling
    EXPECT_EQ(info[1], 0);
}

TEST_F(ViewFixture, AddedItemsAppearWhereTheirParentShowsThem)
{
    Show(0);
    view->FlipExpanded(0);
    Append(nullptr, "d");
    EXPECT_EQ(Rows(), "a:0+* a1:1* a2:1 b:0 c:0* d:0 ");
    Append(a, "a3");
    EXPECT_EQ(Rows(), "a:0+* a1:1* a2:1 a3:1 b:0 c:0* d:0 ");
    Append(c, "c2"); // collapsed parent: nothing shows
    EXPECT_EQ(Rows(), "a:0+* a1:1* a2:1 a3:1 b:0 c:0* d:0 ");
    view->SetExpandForNewItems(true);
    Append(b, "b1"); // a parent without children expands to show it
    EXPECT_EQ(Rows(), "a:0+* a1:1* a2:1 a3:1 b:0+* b1:1 c:0* d:0 ");
    Append(a11, "a111"); // its parent is not shown yet: it is revealed
    EXPECT_EQ(Rows(), "a:0+* a1:1+* a11:2+* a111:3 a2:1 a3:1 b:0+* b1:1 c:0* d:0 ");
}

TEST_F(ViewFixture, DeletedItemsLeaveAndAParentWithoutChildrenIsNoLongerExpanded)
{
    Show(-1);
    Delete(a2);
    EXPECT_EQ(Rows(), "a:0+* a1:1+* a11:2 b:0 c:0+* c1:1 ");
    Delete(c1);
    EXPECT_EQ(Rows(), "a:0+* a1:1+* a11:2 b:0 c:0 ");
    Delete(a);
    EXPECT_EQ(Rows(), "b:0 c:0 ");
}

TEST_F(ViewFixture, RevealItemExpandsTheRowsAboveAnItem)
{
    Show(0);
    view->RevealItem(a11);
    EXPECT_EQ(Rows(), "a:0+* a1:1+* a11:2 a2:1 b:0 c:0* ");
    // An expanded parent row without the item's row means the view lost track.
    TExBaseDataItem* late = TTestProvider::Add(TTestProvider::Children(a), "late"); // not reported
    try {
        view->RevealItem(late);
        FAIL() << "no exception";
    } catch (const EExLibDataConsumer& e) {
        EXPECT_STREQ(e.what(), "ViewList out of sync");
    }
}

TEST_F(ViewFixture, HiddenItemsGetNoRow)
{
    class THiddenItem : public TExBaseDataItem, public virtual IExDataItemVisibility {
    public:
        using TExBaseDataItem::TExBaseDataItem;
        std::uint8_t VisibleState() override { return 0; }
    };
    provider.RootList()->AddItemObject(Construct<THiddenItem>(provider.RootItems()));
    Show(0);
    EXPECT_EQ(Rows(), "a:0* b:0 c:0* ");
}

TEST_F(ViewFixture, ANewLevelIndentIsReportedAsReasonFour)
{
    Show(0);
    EXPECT_EQ(view->LevelIndent(), 16);
    consumer.OnChanged = [&](TObject*, int reason) { reasons.push_back(reason); };
    view->SetLevelIndent(16);
    view->SetLevelIndent(20);
    EXPECT_EQ(reasons, (std::vector<int>{ccrLevelIndent}));
}

TEST_F(ViewFixture, AProviderSwitchRebuildsTheRowsFromTheNewProvider)
{
    Show(0);
    TTestProvider other;
    other.Add("x", "X");
    consumer.SetProvider(&other);
    EXPECT_EQ(consumer.ViewList(), view);
    EXPECT_EQ(Rows(), "x:0 ");
    consumer.SetProvider(nullptr);
    EXPECT_EQ(consumer.ViewList(), nullptr);
}
