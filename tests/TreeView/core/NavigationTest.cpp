// Walking the tree in every order, and the geometry of rows: hit tests, display rectangles,
// scrolling a node into view.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/core/LTErrors.h"

#include <gtest/gtest.h>

namespace {

// 1(2(3) 4) 5(6) 7, with ids in the nodes; 1 open, 2 collapsed, 5 open, 6 hidden.
class NavigationFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.SetRootNodeCount(3);
        n1 = tree.Root(0);
        n5 = tree.Root(1);
        n7 = tree.Root(2);
        tree.SetNodeChildCount(n1, 2);
        n2 = tree.Child(n1, 0);
        n4 = tree.Child(n1, 1);
        tree.SetNodeChildCount(n2, 1);
        n3 = tree.Child(n2, 0);
        tree.SetNodeChildCount(n5, 1);
        n6 = tree.Child(n5, 0);
        const std::pair<PLazyNode, std::uint32_t> ids[] = {{n1, 1}, {n2, 2}, {n3, 3}, {n4, 4},
                                                           {n5, 5}, {n6, 6}, {n7, 7}};
        for (auto [node, id] : ids)
            tree.SetId(node, id);
        tree.SetNodeExpanded(n1, true);
        tree.SetNodeExpanded(n5, true);
        tree.SetNodeShown(n6, false);
    }

    std::string Ids(const std::vector<PLazyNode>& nodes)
    {
        std::string out;
        for (PLazyNode node : nodes)
            out += std::to_string(tree.Id(node));
        return out;
    }

    template <class Step>
    std::string Walk(PLazyNode start, Step step)
    {
        std::vector<PLazyNode> nodes;
        for (PLazyNode node = start; node; node = step(node))
            nodes.push_back(node);
        return Ids(nodes);
    }

    TTestTree tree;
    PLazyNode n1, n2, n3, n4, n5, n6, n7;
};

} // namespace

TEST_F(NavigationFixture, Orders)
{
    EXPECT_EQ(Walk(tree.FirstNodeRaw(), [&](PLazyNode n) { return tree.NextNodeRaw(n); }), "1234567");
    EXPECT_EQ(Walk(tree.FirstNode(), [&](PLazyNode n) { return tree.NextNodeInOrder(n); }), "1234567");
    EXPECT_EQ(Walk(tree.LastNodeRaw(), [&](PLazyNode n) { return tree.PreviousNodeRaw(n); }), "7654321");
    EXPECT_EQ(Walk(tree.LastNode(), [&](PLazyNode n) { return tree.PreviousNodeInOrder(n); }), "7654321");
    EXPECT_EQ(Walk(tree.FirstVisibleNodeRaw(), [&](PLazyNode n) { return tree.NextVisibleAfterRaw(n); }), "12457");
    EXPECT_EQ(Walk(tree.FirstVisibleNode(), [&](PLazyNode n) { return tree.NextVisibleAfter(n); }), "12457");
    EXPECT_EQ(Walk(tree.LastVisibleNodeRaw(), [&](PLazyNode n) { return tree.PreviousVisibleBeforeRaw(n); }),
              "75421");
    EXPECT_EQ(Walk(tree.LastVisibleNode(), [&](PLazyNode n) { return tree.PreviousVisibleBefore(n); }), "75421");
    EXPECT_EQ(Ids(VisibleRowsByWalk(tree)), "12457");
}

TEST_F(NavigationFixture, SiblingsParentsAndDepth)
{
    EXPECT_EQ(tree.NextSiblingOf(n2), n4);
    EXPECT_EQ(tree.NextSiblingOf(n4), nullptr);
    EXPECT_EQ(tree.PreviousSiblingOf(n5), n1);
    EXPECT_EQ(tree.NextVisibleSiblingOf(n1), n5);
    EXPECT_EQ(tree.FirstVisibleChildOf(n5), nullptr) << "its only child is hidden";
    EXPECT_EQ(tree.LastVisibleChildOf(n1), n4);
    EXPECT_EQ(tree.LastVisibleNode(n1), n4);
    EXPECT_EQ(tree.LastChildOf(nullptr), n7);
    EXPECT_EQ(tree.VisibleParentOf(n3), n1) << "the collapsed parent's open ancestor";
    EXPECT_EQ(tree.DepthOfNode(n3), 2);
    EXPECT_EQ(tree.DepthOfNode(n1), 0);
    EXPECT_EQ(tree.DepthOfNode(tree.HiddenRoot()), 0);
    EXPECT_TRUE(tree.IsDescendantOf(n3, n1));
    EXPECT_TRUE(tree.IsDescendantOf(n3, tree.HiddenRoot()));
    EXPECT_FALSE(tree.IsDescendantOf(n3, n3));
    EXPECT_FALSE(tree.IsDescendantOf(n1, n3));
}

TEST_F(NavigationFixture, HiddenRootAndNilGuards)
{
    EXPECT_EQ(tree.NextNodeRaw(nullptr), nullptr);
    EXPECT_EQ(tree.PreviousVisibleBefore(nullptr), nullptr);
    EXPECT_THROW(tree.NextVisibleAfter(tree.HiddenRoot()), EAssertionFailed);
    EXPECT_THROW(tree.NextVisibleSiblingOf(nullptr), EAssertionFailed);
    EXPECT_EQ(tree.FirstSelectedNode(), nullptr);
}

TEST_F(NavigationFixture, NodeAtPositions)
{
    int top = -1;
    EXPECT_EQ(tree.NodeAtY(0, false, &top), n1);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(tree.NodeAtY(18 * 2 + 5, false, &top), n4);
    EXPECT_EQ(top, 36);
    EXPECT_EQ(tree.NodeAtY(-10, false), n1);
    top = 1234;
    EXPECT_EQ(tree.NodeAtY(18 * 5, false, &top), nullptr);
    EXPECT_EQ(top, 1234) << "nothing found writes nothing";
}

TEST_F(NavigationFixture, HitTests)
{
    TLTHitRecord hit;
    tree.HitTestAt(-5, 5, true, hit);
    EXPECT_EQ(hit.HitParts, TLTHitParts{htLeftOfTree});
    EXPECT_EQ(hit.HitNode, nullptr);
    tree.HitTestAt(5, -3, true, hit);
    EXPECT_TRUE(hit.HitParts.Contains(htAbove));
    tree.HitTestAt(5, 18 * 6, true, hit);
    EXPECT_EQ(hit.HitParts, TLTHitParts{htNowhere});

    // Root level under toShowRoot: one level of indentation with the button in it.
    tree.ContentWidth = 40;
    tree.HitTestAt(5, 5, true, hit);
    EXPECT_EQ(hit.HitNode, n1);
    EXPECT_EQ(hit.HitColumn, NoColumn);
    EXPECT_TRUE(hit.HitParts.Contains(htOnButton)) << "n1 has children and buttons show";
    tree.HitTestAt(5, 18 * 3 + 5, true, hit);
    EXPECT_EQ(hit.HitNode, n5);
    tree.HitTestAt(18 + 4 + 10, 5, true, hit);
    EXPECT_TRUE(hit.HitParts.Contains(htOnLabel));
    tree.HitTestAt(18 + 4 + 60, 5, true, hit);
    EXPECT_TRUE(hit.HitParts.Contains(htRowRight));
    tree.HitTestAt(5, 18 + 5, true, hit); // n2 at level 1: x in the first level is indentation
    EXPECT_TRUE(hit.HitParts.Contains(htOnIndent));
}

TEST_F(NavigationFixture, DisplayRectangles)
{
    tree.ContentWidth = 30;
    const TRect row = tree.NodeDisplayRect(n4, NoColumn, false);
    EXPECT_EQ(row.Top, 36);
    EXPECT_EQ(row.Height(), 18);
    const TRect text = tree.NodeDisplayRect(n4, NoColumn, true);
    EXPECT_EQ(text.Left, 2 * 18 + 4) << "one level, one more under toShowRoot, and the margin";
    EXPECT_EQ(text.Width(), 30);
    EXPECT_EQ(tree.NodeDisplayRect(n3, NoColumn, false), TRect{}) << "inside a collapsed parent";
    EXPECT_EQ(tree.NodeDisplayRect(n6, NoColumn, false), TRect{}) << "hidden";
    EXPECT_THROW(tree.NodeDisplayRect(nullptr, NoColumn, false), EAssertionFailed);
}

TEST_F(NavigationFixture, MakeNodeVisibleExpandsItsAncestors)
{
    tree.SetNodeExpanded(n1, false);
    tree.MakeNodeVisible(n3);
    EXPECT_TRUE(n1->Has(nsOpen));
    EXPECT_TRUE(n2->Has(nsOpen));
    EXPECT_TRUE(tree.ReachableRow(n3));
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(Navigation, MakeNodeVisibleScrollsTheRowIntoTheClientArea)
{
    TTestTree tree;
    tree.SetRootNodeCount(200);
    tree.show();
    PLazyNode far = tree.Root(150);
    EXPECT_TRUE(tree.MakeNodeVisible(far, false, false));
    const TRect r = tree.NodeDisplayRect(far, NoColumn, false);
    EXPECT_GE(r.Top, 0);
    EXPECT_LE(r.Bottom, tree.ClientHeight());
    EXPECT_EQ(tree.NodeAtY(r.Top, true), far);
    EXPECT_FALSE(tree.MakeNodeVisible(far, false, false)) << "already in view";
}

TEST(Navigation, SelectedAndInitialisedWalks)
{
    TTestTree tree;
    tree.hide(); // no paint initialises the rows
    tree.TreeOptions().SetSelectionOptions({toMultiSelect});
    tree.SetRootNodeCount(5);
    tree.SetNodeSelected(tree.Root(3), true);
    tree.SetNodeSelected(tree.Root(1), true);
    EXPECT_EQ(tree.FirstSelectedNode(), tree.Root(1));
    EXPECT_EQ(tree.NextSelectedAfter(tree.Root(1)), tree.Root(3));
    EXPECT_EQ(tree.NextSelectedAfter(tree.Root(3)), nullptr);
    tree.PrepareNode(tree.Root(4));
    tree.PrepareNode(tree.Root(2));
    std::vector<PLazyNode> initialised;
    for (PLazyNode node = tree.FirstInitializedNode(); node; node = tree.NextInitializedAfter(node))
        initialised.push_back(node);
    EXPECT_EQ(initialised, (std::vector<PLazyNode>{tree.Root(2), tree.Root(4)}));
    EXPECT_EQ(tree.CollectSelectedNodes(false), (std::vector<PLazyNode>{tree.Root(1), tree.Root(3)}));
}
