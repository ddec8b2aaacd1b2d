// Sorting siblings through OnCompareNodes: stability in both directions, untouched levels, the
// whole tree level by level, children initialised before they are compared, and focus,
// selection, rows and a pending change following the sorted nodes.

#include "TreeView/TreeTestSupport.h"

#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {
// Keys by id: equal keys must keep their order.
void CompareByKey(TTestTree& tree, const std::vector<int>& keys, int* comparisons = nullptr)
{
    tree.OnCompareNodes = [&tree, keys, comparisons](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex,
                                                     int& result) {
        if (comparisons)
            ++*comparisons;
        result = keys[tree.Id(a)] - keys[tree.Id(b)];
    };
}

void Ids(TTestTree& tree, PLazyNode parent, std::uint32_t first)
{
    std::uint32_t id = first;
    for (PLazyNode child = parent->ChildHead; child; child = child->NextLink)
        tree.SetId(child, id++);
}
// Three root nodes 0 1 2, the middle one open with `count` children numbered from 3.
PLazyNode OpenInnerLevel(TTestTree& tree, std::uint32_t count)
{
    tree.SetRootNodeCount(3);
    Ids(tree, tree.HiddenRoot(), 0);
    PLazyNode inner = tree.Root(1);
    tree.SetNodeChildCount(inner, count);
    Ids(tree, inner, 3);
    tree.SetNodeExpanded(inner, true);
    return inner;
}
} // namespace

TEST(Sort, EqualNodesKeepTheirOrderInBothDirections)
{
    // A, B, C with A = C < B.
    TTestTree tree;
    tree.SetRootNodeCount(3);
    Ids(tree, tree.HiddenRoot(), 0);
    CompareByKey(tree, {1, 2, 1});
    tree.SortChildren(nullptr, 0, TSortDirection::sdAscending);
    EXPECT_EQ(Shape(tree), "0 2 1");
    tree.SortChildren(nullptr, 0, TSortDirection::sdDescending);
    EXPECT_EQ(Shape(tree), "1 0 2");
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(Sort, WithoutAHandlerNothingMoves)
{
    TTestTree tree;
    tree.SetRootNodeCount(5);
    Ids(tree, tree.HiddenRoot(), 0);
    tree.SortAllNodes(0, TSortDirection::sdDescending);
    EXPECT_EQ(Shape(tree), "0 1 2 3 4");
}

TEST(Sort, ANodeWithOneChildOrNoneIsNotCompared)
{
    TTestTree tree;
    tree.SetRootNodeCount(1);
    int comparisons = 0;
    CompareByKey(tree, {0, 0}, &comparisons);
    tree.SortChildren(nullptr, 0, TSortDirection::sdAscending);
    tree.SortChildren(tree.Root(0), 0, TSortDirection::sdAscending);
    EXPECT_EQ(comparisons, 0);
}

TEST(Sort, AllNodesLevelByLevelAndTheInvalidColumn)
{
    TTestTree tree;
    tree.SetRootNodeCount(3);
    Ids(tree, tree.HiddenRoot(), 0);
    tree.SetNodeChildCount(tree.Root(1), 3);
    Ids(tree, tree.Root(1), 3);
    tree.SetNodeExpanded(tree.Root(1), true);
    for (std::uint32_t i = 0; i < 3; ++i)
        tree.PrepareNode(tree.Root(i));
    CompareByKey(tree, {5, 4, 3, 9, 7, 8});
    tree.SortAllNodes(InvalidColumn, TSortDirection::sdAscending);
    EXPECT_EQ(Shape(tree), "0 1(3 4 5) 2");
    EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache));
    tree.SortAllNodes(0, TSortDirection::sdAscending, false);
    EXPECT_EQ(Shape(tree), "2 1(4 5 3) 0");
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(Sort, UninitialisedChildrenAreSortedOnlyWithInitialisation)
{
    TTestTree tree;
    tree.SetRootNodeCount(1);
    tree.SetNodeChildCount(tree.Root(0), 2);
    tree.SetId(tree.Root(0), 0);
    Ids(tree, tree.Root(0), 1);
    tree.PrepareNode(tree.Root(0));
    tree.SetNodeChildCount(tree.Root(0)->ChildHead, 2);
    Ids(tree, tree.Root(0)->ChildHead, 3);
    CompareByKey(tree, {0, 0, 0, 2, 1});
    tree.SortAllNodes(0, TSortDirection::sdAscending, false);
    EXPECT_EQ(Shape(tree), "0(1(3 4) 2)") << "node 1 is not initialised, its children stay";
    tree.SortAllNodes(0, TSortDirection::sdAscending, true);
    EXPECT_EQ(Shape(tree), "0(1(4 3) 2)");
}

TEST(Sort, ManySiblingsMatchAStableSort)
{
    TTestTree tree;
    const std::uint32_t n = 5000;
    tree.SetRootNodeCount(n);
    Ids(tree, tree.HiddenRoot(), 0);
    std::vector<int> keys(n);
    for (std::uint32_t i = 0; i < n; ++i)
        keys[i] = static_cast<int>((i * 7919u) % 101u);
    CompareByKey(tree, keys);
    tree.SortChildren(nullptr, 0, TSortDirection::sdDescending);
    std::vector<std::uint32_t> expected(n);
    for (std::uint32_t i = 0; i < n; ++i)
        expected[i] = i;
    std::stable_sort(expected.begin(), expected.end(), [&](auto a, auto b) { return keys[a] > keys[b]; });
    std::uint32_t k = 0;
    for (PLazyNode node = tree.FirstNodeRaw(); node; node = node->NextLink)
        ASSERT_EQ(tree.Id(node), expected[k++]);
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(Sort, OrdersAsAStableSortAndAsksWithTheEarlierNodeFirst)
{
    // The cases differ only by their keys and the direction; odd and power-of-two lengths split
    // unevenly or evenly into runs.
    const auto keysOf = [](std::uint32_t n, const std::function<int(std::uint32_t)>& key) {
        std::vector<int> keys(n);
        for (std::uint32_t i = 0; i < n; ++i)
            keys[i] = key(i);
        return keys;
    };
    struct TCase {
        const char* Name;
        std::vector<int> Keys;
        TSortDirection Direction;
    } const cases[] = {
        {"two equal", {4, 4}, TSortDirection::sdDescending},
        {"two out of order", {2, 1}, TSortDirection::sdAscending},
        {"all equal", keysOf(9, [](auto) { return 7; }), TSortDirection::sdAscending},
        {"already in order", keysOf(64, [](auto i) { return static_cast<int>(i); }), TSortDirection::sdAscending},
        {"reversed", keysOf(65, [](auto i) { return 65 - static_cast<int>(i); }), TSortDirection::sdAscending},
        {"in order, sorted descending", keysOf(33, [](auto i) { return static_cast<int>(i / 3); }),
         TSortDirection::sdDescending},
        {"few distinct keys", keysOf(1000, [](auto i) { return static_cast<int>((i * 7919u) % 5u); }),
         TSortDirection::sdDescending},
        {"ascending runs", keysOf(1025, [](auto i) { return static_cast<int>(i % 37u); }),
         TSortDirection::sdAscending},
        {"shuffled distinct", keysOf(4097, [](auto i) { return static_cast<int>((i * 2654435761u) % 4099u); }),
         TSortDirection::sdDescending},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestTree tree;
        const auto n = static_cast<std::uint32_t>(c.Keys.size());
        tree.SetRootNodeCount(n);
        Ids(tree, tree.HiddenRoot(), 0); // ids are the starting positions
        bool earlierFirst = true;
        bool sameArguments = true;
        std::uint32_t comparisons = 0;
        tree.OnCompareNodes = [&](TBaseLazyTree* sender, PLazyNode a, PLazyNode b, TColumnIndex column,
                                  int& result) {
            ++comparisons;
            earlierFirst = earlierFirst && tree.Id(a) < tree.Id(b);
            sameArguments = sameArguments && sender == &tree && column == 2;
            result = c.Keys[tree.Id(a)] - c.Keys[tree.Id(b)];
        };
        tree.SortChildren(nullptr, 2, c.Direction);

        std::vector<std::uint32_t> expected(n);
        for (std::uint32_t i = 0; i < n; ++i)
            expected[i] = i;
        const bool ascending = c.Direction == TSortDirection::sdAscending;
        std::stable_sort(expected.begin(), expected.end(), [&](auto a, auto b) {
            return ascending ? c.Keys[a] < c.Keys[b] : c.Keys[a] > c.Keys[b];
        });
        std::vector<std::uint32_t> actual;
        for (PLazyNode node = tree.FirstNodeRaw(); node; node = node->NextLink)
            actual.push_back(tree.Id(node));
        EXPECT_EQ(actual, expected);
        EXPECT_TRUE(earlierFirst) << "the node that started earlier is always the first argument";
        EXPECT_TRUE(sameArguments);
        std::uint32_t bits = 0;
        while ((1u << bits) < n)
            ++bits;
        EXPECT_LE(comparisons, n * bits) << "a merge sort's bound";
        EXPECT_TRUE(TreeInvariantsHold(tree));
    }
}

TEST(Sort, ChildrenAreInitialisedBeforeTheyAreCompared)
{
    // Children not loaded yet come from OnInitChildren; counted ones are only initialised.
    for (const bool counted : {false, true}) {
        SCOPED_TRACE(counted ? "counted" : "not loaded");
        TTestTree tree;
        tree.OnInitNode = [&](TBaseLazyTree*, PLazyNode parent, PLazyNode node, TShellNodeInitStates& states) {
            if (!parent)
                states.Include(ivsHasChildren);
            else
                tree.SetId(node, node->SiblingIndex);
        };
        tree.OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = 7; };
        tree.SetRootNodeCount(1);
        PLazyNode parent = tree.Root(0);
        tree.PrepareNode(parent);
        if (counted)
            tree.SetNodeChildCount(parent, 7);
        ASSERT_EQ(parent->NumChildren, counted ? 7u : 0u);
        bool allReady = true;
        tree.OnCompareNodes = [&](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex, int& result) {
            allReady = allReady && a->Has(nsReady) && b->Has(nsReady);
            result = static_cast<int>(tree.Id(a) % 3) - static_cast<int>(tree.Id(b) % 3);
        };
        tree.SortChildren(parent, 0, TSortDirection::sdDescending);
        EXPECT_TRUE(allReady);
        EXPECT_EQ(Shape(tree), "0(2 5 1 4 0 3 6)");
        EXPECT_TRUE(TreeInvariantsHold(tree));
    }
}

TEST(Sort, FocusSelectionRowsAndAPendingChangeFollowTheNodes)
{
    // Every level's keys run against the ids, so an ascending sort reverses each sorted level. An
    // open inner level long enough for the position cache holds an open level of its own.
    struct TCase {
        const char* Name;
        bool AllLevels;
        bool InBatch;
    } const cases[] = {
        {"one level", false, false},
        {"one level in a batch update", false, true},
        {"all levels", true, false},
        {"all levels in a batch update", true, true},
    };
    constexpr std::uint32_t Inner = CacheThreshold + 500;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestTree tree;
        tree.TreeOptions().SetSelectionOptions({toMultiSelect});
        PLazyNode inner = OpenInnerLevel(tree, Inner);
        PLazyNode nested = tree.Child(inner, 5);
        tree.SetNodeChildCount(nested, 3);
        Ids(tree, nested, 3 + Inner);
        tree.SetNodeExpanded(nested, true);
        tree.OnCompareNodes = [&](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex, int& result) {
            result = static_cast<int>(tree.Id(b)) - static_cast<int>(tree.Id(a));
        };
        PLazyNode focus = tree.Child(inner, 10);
        PLazyNode picked = tree.Child(inner, 2000);
        tree.SetChangeDelay(100);
        std::vector<PLazyNode> changes;
        tree.OnChange = [&](TBaseLazyTree*, PLazyNode node) { changes.push_back(node); };
        tree.AssignFocusedNode(focus);
        tree.SetNodeSelected(focus, true);
        tree.SetNodeSelected(picked, true);
        ASSERT_TRUE(tree.TreeStates().Contains(tsChangePending));

        if (c.InBatch)
            tree.StartBatchUpdate();
        if (c.AllLevels)
            tree.SortAllNodes(0, TSortDirection::sdAscending);
        else
            tree.SortChildren(inner, 0, TSortDirection::sdAscending);
        if (c.InBatch)
            tree.FinishBatchUpdate();

        EXPECT_EQ(tree.FocusNode(), focus);
        EXPECT_EQ(tree.SelectionCount(), 2u);
        EXPECT_EQ(tree.CollectSelectedNodes(false), (std::vector<PLazyNode>{picked, focus}));
        EXPECT_EQ(focus->SiblingIndex, Inner - 1 - 10);
        EXPECT_EQ(nested->SiblingIndex, Inner - 1 - 5);
        EXPECT_EQ(tree.Id(nested->ChildHead), c.AllLevels ? 5 + Inner : 3 + Inner);
        EXPECT_EQ(tree.Id(tree.FirstNodeRaw()), c.AllLevels ? 2u : 0u);
        EXPECT_TRUE(TreeInvariantsHold(tree));

        ASSERT_TRUE(WaitForCache(tree));
        const std::vector<PLazyNode> rows = VisibleRowsByWalk(tree);
        ASSERT_EQ(rows.size(), 3 + Inner + 3);
        for (std::size_t r = 0; r < rows.size(); r += 97) {
            const int top = tree.AbsoluteTopOf(rows[r]);
            EXPECT_EQ(top, static_cast<int>(r) * 18) << r;
            EXPECT_EQ(tree.NodeAtY(top, false), rows[r]) << r;
        }
        ASSERT_TRUE(WaitFor([&] { return !changes.empty(); }, 3000));
        QTest::qWait(150);
        EXPECT_EQ(changes, (std::vector<PLazyNode>{picked})) << "one change, with the node last selected";
    }
}

TEST(Sort, ASortStartedByTheCompareEventLeavesBothLevelsSorted)
{
    // The inner level is long enough to hand the tree to the cache worker while the outer sort
    // still holds its siblings.
    constexpr std::uint32_t Inner = CacheThreshold + 100;
    TTestTree tree;
    PLazyNode inner = OpenInnerLevel(tree, Inner);
    int nestedSorts = 0;
    tree.OnCompareNodes = [&](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex, int& result) {
        if (a->ParentLink == tree.HiddenRoot() && nestedSorts++ == 0)
            tree.SortChildren(inner, 0, TSortDirection::sdDescending);
        result = static_cast<int>(tree.Id(a)) - static_cast<int>(tree.Id(b));
    };
    tree.SortChildren(nullptr, 0, TSortDirection::sdDescending);
    ASSERT_GT(nestedSorts, 0);
    EXPECT_EQ(tree.Id(tree.FirstNodeRaw()), 2u);
    EXPECT_EQ(tree.Id(inner->ChildHead), 2 + Inner);
    EXPECT_EQ(tree.Id(inner->ChildTail), 3u);
    EXPECT_TRUE(TreeInvariantsHold(tree));
    ASSERT_TRUE(WaitForCache(tree));
    const std::vector<PLazyNode> rows = VisibleRowsByWalk(tree);
    for (std::size_t r = 0; r < rows.size(); r += 89)
        EXPECT_EQ(tree.NodeAtY(static_cast<int>(r) * 18, false), rows[r]) << r;
}
