// Sorting siblings through OnCompareNodes: stability in both directions, untouched levels, and
// the whole tree level by level.

#include "TreeView/TreeTestSupport.h"

#include <gtest/gtest.h>

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
