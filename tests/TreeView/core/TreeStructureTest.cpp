// The node record and the tree structure: counts, heights and visible rows kept by child-count
// changes, hiding and expanding; the data areas; initialisation on demand; freeing; tree order.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/core/LTErrors.h"

#include <gtest/gtest.h>

namespace {
constexpr std::uint32_t H = 18; // the default row height
}

TEST(TreeStructure, ChildCountOfTheRootMakesIndexedRootNodes)
{
    TTestTree tree;
    tree.SetNodeChildCount(nullptr, 3);
    const PLazyNode root = tree.HiddenRoot();
    EXPECT_EQ(root->SubtreeCount, 4u);
    EXPECT_EQ(root->SubtreeHeight - root->RowHeight, 3 * H);
    EXPECT_EQ(tree.VisibleRowCount(), 3u);
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(tree.Root(i)->SiblingIndex, i);
        EXPECT_EQ(tree.Root(i)->ParentLink, root);
        EXPECT_EQ(tree.Root(i)->StateBits.Value(), nsShown) << "a new node is shown and nothing else";
        EXPECT_EQ(tree.Root(i)->RowAlign, 50);
    }
    EXPECT_EQ(root->StateBits.Value(), 0x00E1);
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(TreeStructure, ChildrenOfACollapsedNodeAddCountsButNoHeightOrRows)
{
    TTestTree tree;
    tree.SetRootNodeCount(2);
    PLazyNode first = tree.Root(0);
    tree.SetNodeChildCount(first, 5);
    EXPECT_EQ(tree.HiddenRoot()->SubtreeCount, 8u);
    EXPECT_EQ(first->SubtreeCount, 6u);
    EXPECT_EQ(first->SubtreeHeight, H);
    EXPECT_EQ(tree.VisibleRowCount(), 2u);
    tree.SetNodeExpanded(first, true);
    EXPECT_EQ(first->SubtreeHeight, 6 * H);
    EXPECT_EQ(tree.VisibleRowCount(), 7u);
    tree.SetNodeChildCount(first, 2);
    EXPECT_EQ(tree.VisibleRowCount(), 4u);
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(TreeStructure, HidingANodeTakesItsSubtreeOutOfEveryAncestor)
{
    TTestTree tree;
    tree.SetRootNodeCount(1);
    PLazyNode top = tree.Root(0);
    tree.SetNodeChildCount(top, 2);
    tree.SetNodeExpanded(top, true);
    PLazyNode middle = tree.Child(top, 0);
    tree.SetNodeChildCount(middle, 3);
    tree.SetNodeExpanded(middle, true);
    ASSERT_EQ(tree.HiddenRoot()->SubtreeHeight, H + 6 * H);

    tree.SetNodeShown(middle, false);
    EXPECT_EQ(top->SubtreeHeight, 2 * H);
    EXPECT_EQ(tree.HiddenRoot()->SubtreeHeight, H + 2 * H);
    EXPECT_EQ(tree.VisibleRowCount(), 2u);
    // The hidden node still keeps its own subtree's height.
    tree.SetNodeChildCount(middle, 4);
    EXPECT_EQ(middle->SubtreeHeight, 5 * H);
    EXPECT_EQ(top->SubtreeHeight, 2 * H);
    tree.SetNodeShown(middle, true);
    EXPECT_EQ(top->SubtreeHeight, 7 * H);
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(TreeStructure, RemovingTheLastChildOfAnOpenNodeCollapsesItAndCountsTheRows)
{
    TTestTree tree;
    tree.SetRootNodeCount(1);
    PLazyNode top = tree.Root(0);
    tree.SetNodeChildCount(top, 1);
    tree.SetNodeExpanded(top, true);
    ASSERT_EQ(tree.VisibleRowCount(), 2u);
    tree.RemoveNode(tree.Child(top, 0));
    EXPECT_FALSE(top->Has(nsOpen | nsMayHaveChildren));
    EXPECT_EQ(tree.VisibleRowCount(), 1u);
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(TreeStructure, InternalAreasComeBeforeTheUserData)
{
    TBaseLazyTree tree;
    EXPECT_EQ(tree.ReserveInternalNodeData(5), NodeHeaderSize);
    EXPECT_EQ(tree.ReserveInternalNodeData(2), NodeHeaderSize + 8);
    EXPECT_EQ(tree.InternalAreaSize(), 12);
    tree.SetNodeDataSize(16);
    tree.SetRootNodeCount(1);
    PLazyNode node = tree.HiddenRoot()->ChildHead;
    // The 12 bytes of internal areas end off an 8-byte boundary; user data starts at the next one,
    // so that 8-byte fields in it are aligned.
    static_assert(NodeHeaderSize % 8 == 0);
    EXPECT_EQ(static_cast<std::byte*>(tree.NodeUserData(node)) - node->Bytes(), NodeHeaderSize + 16);
    EXPECT_EQ(tree.NodeUserData(tree.HiddenRoot()), nullptr);
    EXPECT_EQ(tree.NodeUserData(nullptr), nullptr);
}

TEST(TreeStructure, InternalDataMustBeReservedBeforeAnyNode)
{
    TTestTree tree;
    tree.SetRootNodeCount(1);
    try {
        tree.ReserveInternalNodeData(4);
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_STREQ(e.what(), "Internal data allocation must be done before any node is created.");
    }
}

TEST(TreeStructure, NodeDataSizeComesFromTheEventOnFirstUse)
{
    TBaseLazyTree tree;
    int asked = 0;
    tree.OnGetNodeDataSize = [&](TBaseLazyTree*, int& size) {
        ++asked;
        EXPECT_EQ(size, 0);
        size = 12;
    };
    tree.SetRootNodeCount(2);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(tree.NodeDataSize(), 12);
}

TEST(TreeStructure, NodesAreInitialisedOnlyWhenNeeded)
{
    TTestTree tree;
    std::vector<std::pair<PLazyNode, PLazyNode>> inits;
    tree.OnInitNode = [&](TBaseLazyTree*, PLazyNode parent, PLazyNode node, TShellNodeInitStates& states) {
        inits.push_back({parent, node});
        states.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = 3; };
    tree.SetRootNodeCount(1000);
    EXPECT_TRUE(inits.empty());
    EXPECT_EQ(tree.HiddenRoot()->SubtreeCount, 1001u);

    PLazyNode first = tree.FirstNode();
    ASSERT_EQ(inits.size(), 1u);
    EXPECT_EQ(inits[0].first, nullptr) << "a root-level node's parent is nil";
    EXPECT_EQ(first->NumChildren, 0u) << "children wait until they are needed";
    PLazyNode child = tree.FirstChildOf(first);
    EXPECT_EQ(first->NumChildren, 3u);
    EXPECT_EQ(inits.back().first, first);
    EXPECT_EQ(inits.back().second, child);
    EXPECT_EQ(inits.size(), 2u);
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(TreeStructure, InitialStatesBecomeNodeFlags)
{
    TTestTree tree;
    tree.TreeOptions().SetSelectionOptions({toMultiSelect});
    tree.OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode, TShellNodeInitStates& states) {
        states = {ivsDisabled, ivsHasChildren, ivsMultiline, ivsSelected};
    };
    tree.SetRootNodeCount(1);
    PLazyNode node = tree.FirstNode();
    EXPECT_TRUE(node->HasAll(nsReady | nsInactive | nsMayHaveChildren | nsWrapText));
    // The selection's plain add keeps its constraints: a disabled node is not selected.
    EXPECT_FALSE(node->Has(nsPicked));
    EXPECT_EQ(tree.SelectionCount(), 0u);
}

TEST(TreeStructure, FreeNodeFiresForInitialisedNodesAndForThoseWithInitialData)
{
    TTestTree tree;
    std::vector<PLazyNode> freed;
    tree.OnFreeNode = [&](TBaseLazyTree*, PLazyNode node) { freed.push_back(node); };
    tree.SetRootNodeCount(3);
    PLazyNode initialised = tree.FirstNode();
    PLazyNode withData = tree.AppendChildNode(nullptr, 7);
    EXPECT_TRUE(withData->Has(nsFreeCallNeeded));
    EXPECT_EQ(tree.Id(withData), 7u);
    tree.RemoveAllNodes();
    ASSERT_EQ(freed.size(), 2u);
    EXPECT_EQ(freed[0], withData);
    EXPECT_EQ(freed[1], initialised);
}

TEST(TreeStructure, NewNodeDataSizeRemakesTheNodes)
{
    TTestTree tree;
    int freed = 0;
    tree.OnFreeNode = [&](TBaseLazyTree*, PLazyNode) { ++freed; };
    tree.SetRootNodeCount(4);
    tree.SetId(tree.FirstNode(), 99);
    tree.SetNodeDataSize(8);
    EXPECT_EQ(tree.RootNodeCount(), 4u);
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(tree.Id(tree.Root(0)), 0u) << "the node's data went with it";
    EXPECT_FALSE(tree.Root(0)->Has(nsReady));
}

TEST(TreeStructure, TreeOrderCompare)
{
    TTestTree tree;
    tree.SetRootNodeCount(2);
    PLazyNode a = tree.Root(0);
    PLazyNode b = tree.Root(1);
    tree.SetNodeChildCount(a, 2);
    PLazyNode a1 = tree.Child(a, 1);
    tree.SetNodeChildCount(a1, 1);
    PLazyNode a1x = tree.Child(a1, 0);
    struct TCase {
        PLazyNode First;
        PLazyNode Second;
        int Sign;
    } const cases[] = {
        {a, a, 0}, {a1x, a, 1}, {a, a1x, -1}, {a1x, b, -1}, {b, a1x, 1}, {tree.Child(a, 0), a1x, -1},
    };
    for (const TCase& c : cases) {
        const int result = tree.TreeOrderCompare(c.First, c.Second);
        EXPECT_EQ((result > 0) - (result < 0), c.Sign);
    }
    EXPECT_THROW(tree.TreeOrderCompare(nullptr, a), EAssertionFailed);
}

TEST(TreeStructure, MisuseRaisesTheFixedAssertionTexts)
{
    TTestTree tree;
    tree.SetRootNodeCount(1);
    auto message = [](auto&& call) {
        try {
            call();
        } catch (const EAssertionFailed& e) {
            return std::string(e.what());
        }
        return std::string("no assertion");
    };
    EXPECT_EQ(message([&] { tree.ReachableRow(nullptr); }), "Invalid parameter.");
    EXPECT_EQ(message([&] { tree.AncestorsOpen(tree.HiddenRoot()); }), "Invalid parameters.");
    EXPECT_EQ(message([&] { tree.LevelDistance(nullptr, tree.Root(0)); }), "Both nodes must be Assigned.");
    EXPECT_EQ(message([&] { tree.NextNodeRaw(tree.HiddenRoot()); }), "Node must not be the hidden root node.");
    EXPECT_EQ(message([&] { tree.VisibleParentOf(nullptr); }), "Node must not be nil.");
}

TEST(TreeStructure, ReadOnlyTreesIgnoreStructuralChanges)
{
    TTestTree tree;
    tree.SetRootNodeCount(2);
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toReadOnly);
    tree.SetNodeChildCount(nullptr, 5);
    tree.SetRowHeight(tree.Root(0), 40);
    EXPECT_EQ(tree.AppendChildNode(nullptr), nullptr);
    EXPECT_EQ(tree.PlaceNewNode(tree.Root(0), TLTNodeAttachMode::amInsertAfter), nullptr);
    tree.RemoveNode(tree.Root(0));
    EXPECT_EQ(tree.RootNodeCount(), 2u);
    EXPECT_EQ(tree.Root(0)->RowHeight, H);
}

TEST(TreeStructure, RowHeightsMeasureOnceUnderVariableHeights)
{
    TTestTree tree;
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toVariableNodeHeight);
    int measured = 0;
    tree.OnMeasureItem = [&](TBaseLazyTree*, TCanvas*, PLazyNode, int& height) {
        ++measured;
        height = 30;
    };
    tree.SetRootNodeCount(3);
    EXPECT_EQ(measured, 3);
    EXPECT_EQ(tree.HiddenRoot()->SubtreeHeight - tree.HiddenRoot()->RowHeight, 90u);
    tree.GetRowHeight(tree.Root(0));
    EXPECT_EQ(measured, 3);
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(TreeStructure, DefaultNodeHeightLeavesExistingRows)
{
    TTestTree tree;
    tree.SetRootNodeCount(2);
    tree.SetDefaultNodeHeight(25);
    EXPECT_EQ(tree.Root(0)->RowHeight, H);
    tree.SetRootNodeCount(3);
    EXPECT_EQ(tree.Root(2)->RowHeight, 25);
    EXPECT_EQ(tree.HiddenRoot()->SubtreeHeight - tree.HiddenRoot()->RowHeight, 2 * H + 25);
    tree.SetDefaultNodeHeight(0);
    EXPECT_EQ(tree.DefaultNodeHeight(), 18u);
}
