// Node operations: adding and placing nodes, deleting, moving within and between trees,
// expanding and collapsing, re-initialising, and pasting.

#include "TreeView/TreeTestSupport.h"

#include "Platform/files/Streams.h"

#include "TreeView/Source/core/LTErrors.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

TEST(NodeOperations, AppendingToAnEmptyTreeMakesTheFirstRootNode)
{
    TTestTree tree;
    PLazyNode node = tree.AppendChildNode(nullptr);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(tree.RootNodeCount(), 1u);
    EXPECT_EQ(tree.FirstNodeRaw(), node);
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(NodeOperations, PlacingBesideTheHiddenRootPlacesAtTheRootLevel)
{
    TTestTree tree;
    tree.SetRootNodeCount(2);
    tree.SetId(tree.Root(0), 1);
    tree.SetId(tree.Root(1), 2);
    tree.SetId(tree.PlaceNewNode(tree.HiddenRoot(), TLTNodeAttachMode::amInsertBefore), 0);
    tree.SetId(tree.PlaceNewNode(nullptr, TLTNodeAttachMode::amInsertAfter), 3);
    EXPECT_EQ(tree.PlaceNewNode(tree.Root(0), TLTNodeAttachMode::amNoWhere), nullptr);
    EXPECT_EQ(Shape(tree), "0 1 2 3");
    tree.SetId(tree.PlaceNewNode(tree.Root(1), TLTNodeAttachMode::amAddChildFirst), 5);
    tree.SetId(tree.PlaceNewNode(tree.Root(1), TLTNodeAttachMode::amAddChildFirst), 4);
    tree.SetId(tree.PlaceNewNode(tree.Root(1)->ChildTail, TLTNodeAttachMode::amInsertBefore), 6);
    EXPECT_EQ(Shape(tree), "0 1(4 6 5) 2 3");
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(NodeOperations, InitialUserDataNeedsFourBytes)
{
    TTestTree tree(2);
    try {
        tree.AppendChildNode(nullptr, 5);
        FAIL() << "no error";
    } catch (const ELazyTreeError& e) {
        EXPECT_EQ(e.HelpContext(), 2008);
    }
    EXPECT_EQ(tree.RootNodeCount(), 1u) << "the node was made before the data was refused";
}

TEST(NodeOperations, MovingIntoTheOwnSubtreeFailsAndOntoItselfDoesNothing)
{
    TTestTree tree;
    tree.SetRootNodeCount(2);
    PLazyNode a = tree.Root(0);
    tree.SetNodeChildCount(a, 2);
    tree.SetId(a, 1);
    tree.SetId(tree.Child(a, 0), 2);
    tree.SetId(tree.Child(a, 1), 3);
    tree.SetId(tree.Root(1), 4);
    try {
        tree.RelocateNode(a, tree.Child(a, 1), TLTNodeAttachMode::amAddChildLast, false);
        FAIL() << "no error";
    } catch (const ELazyTreeError& e) {
        EXPECT_EQ(e.HelpContext(), 2001);
        EXPECT_STREQ(e.what(), "Target node cannot be a child node of the node to be moved.");
    }
    tree.RelocateNode(a, a, TLTNodeAttachMode::amInsertAfter, false);
    EXPECT_EQ(Shape(tree), "1(2 3) 4");
    // A node's children may go before or after the node itself.
    tree.RelocateNode(a, a, TLTNodeAttachMode::amInsertAfter, true);
    EXPECT_EQ(Shape(tree), "1 2 3 4");
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(NodeOperations, MovingToAnotherTreeTakesTheSubtreeWithItsData)
{
    TTestTree source;
    TTestTree target;
    auto saveIds = [](TTestTree& tree) {
        tree.OnSaveNode = [&tree](TBaseLazyTree*, PLazyNode node, TStream& stream) {
            const std::uint32_t id = tree.Id(node);
            stream.WriteBuffer(&id, 4);
        };
        tree.OnLoadNode = [&tree](TBaseLazyTree*, PLazyNode node, TStream& stream) {
            std::uint32_t id = 0;
            stream.ReadBuffer(&id, 4);
            tree.SetId(node, id);
        };
    };
    saveIds(source);
    saveIds(target);
    source.SetRootNodeCount(2);
    source.SetId(source.Root(0), 1);
    source.SetId(source.Root(1), 2);
    source.SetNodeChildCount(source.Root(0), 2);
    source.SetId(source.Child(source.Root(0), 0), 3);
    source.SetId(source.Child(source.Root(0), 1), 4);
    target.SetRootNodeCount(1);
    target.SetId(target.Root(0), 9);
    std::vector<PLazyNode> moved;
    target.OnNodeMoved = [&](TBaseLazyTree*, PLazyNode node) { moved.push_back(node); };
    source.RelocateNode(source.Root(0), target.Root(0), TLTNodeAttachMode::amAddChildLast, false);
    EXPECT_EQ(Shape(source), "2");
    EXPECT_EQ(Shape(target), "9(1(3 4))");
    EXPECT_EQ(moved.size(), 1u);
    // Children only, placed after the target: they keep their order.
    source.SetNodeChildCount(source.Root(0), 3);
    for (std::uint32_t i = 0; i < 3; ++i)
        source.SetId(source.Child(source.Root(0), i), 20 + i);
    source.RelocateNode(source.Root(0), target.Root(0), TLTNodeAttachMode::amInsertAfter, true);
    EXPECT_EQ(Shape(target), "9(1(3 4)) 20 21 22");
    EXPECT_EQ(Shape(source), "2");
    EXPECT_TRUE(TreeInvariantsHold(source));
    EXPECT_TRUE(TreeInvariantsHold(target));
}

TEST(NodeOperations, DeletingASelectedNodeFiresTheChangeAtOnce)
{
    TTestTree tree;
    tree.SetChangeDelay(500);
    tree.SetRootNodeCount(2);
    tree.SetNodeSelected(tree.Root(1), true);
    WaitFor([&] { return !tree.TreeStates().Contains(tsChangePending); }, 2000);
    int changes = 0;
    tree.OnChange = [&](TBaseLazyTree*, PLazyNode) { ++changes; };
    tree.RemoveNode(tree.Root(1));
    EXPECT_EQ(changes, 1);
}

TEST(NodeOperations, ExpandingANodeWithoutChildrenOnlyAsks)
{
    TTestTree tree;
    tree.SetRootNodeCount(1);
    int expanding = 0;
    int expanded = 0;
    tree.OnExpanding = [&](TBaseLazyTree*, PLazyNode, bool&) { ++expanding; };
    tree.OnExpanded = [&](TBaseLazyTree*, PLazyNode) { ++expanded; };
    tree.FlipExpanded(tree.Root(0));
    EXPECT_EQ(expanding, 1);
    EXPECT_EQ(expanded, 0);
    EXPECT_FALSE(tree.Root(0)->Has(nsOpen));
}

TEST(NodeOperations, ExpansionCanBeRefused)
{
    TTestTree tree;
    tree.SetRootNodeCount(1);
    tree.SetNodeChildCount(tree.Root(0), 2);
    tree.OnExpanding = [](TBaseLazyTree*, PLazyNode, bool& allowed) { allowed = false; };
    tree.SetNodeExpanded(tree.Root(0), true);
    EXPECT_FALSE(tree.Root(0)->Has(nsOpen));
    EXPECT_EQ(tree.VisibleRowCount(), 1u);
}

TEST(NodeOperations, CollapsingUnderAutoFreeFreesTheChildrenAndStaysExpandable)
{
    TTestTree tree;
    tree.TreeOptions().SetAutoOptions(tree.TreeOptions().AutoOptions() + toAutoFreeOnCollapse);
    int freed = 0;
    tree.OnFreeNode = [&](TBaseLazyTree*, PLazyNode) { ++freed; };
    tree.OnInitNode = [](TBaseLazyTree*, PLazyNode parent, PLazyNode, TShellNodeInitStates& states) {
        if (!parent)
            states.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = 4; };
    tree.SetRootNodeCount(1);
    PLazyNode node = tree.FirstNode();
    tree.SetNodeExpanded(node, true);
    EXPECT_EQ(node->NumChildren, 4u);
    tree.FirstChildOf(node); // at least this child is initialised
    int initialised = 0;
    for (PLazyNode child = node->ChildHead; child; child = child->NextLink)
        initialised += child->Has(nsReady) ? 1 : 0;
    tree.SetNodeExpanded(node, false);
    EXPECT_EQ(node->NumChildren, 0u);
    EXPECT_EQ(freed, initialised) << "OnFreeNode for each initialised child";
    EXPECT_TRUE(node->Has(nsMayHaveChildren));
    tree.SetNodeExpanded(node, true);
    EXPECT_EQ(node->NumChildren, 4u);
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(NodeOperations, ExpandAndCollapseWholeSubtrees)
{
    TTestTree tree;
    tree.OnInitNode = [](TBaseLazyTree* sender, PLazyNode, PLazyNode node, TShellNodeInitStates& states) {
        if (sender->DepthOfNode(node) < 2)
            states.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = 2; };
    tree.SetRootNodeCount(2);
    tree.ExpandSubtree(tree.Root(0));
    EXPECT_EQ(tree.VisibleRowCount(), 1u + 2 + 4 + 1);
    EXPECT_FALSE(tree.Root(1)->Has(nsOpen));
    tree.ExpandSubtree(nullptr);
    EXPECT_EQ(tree.VisibleRowCount(), 14u);
    tree.CollapseSubtree(tree.Root(1));
    EXPECT_EQ(tree.VisibleRowCount(), 8u);
    tree.CollapseSubtree(nullptr);
    EXPECT_EQ(tree.VisibleRowCount(), 2u);
    EXPECT_FALSE(tree.TreeStates().Contains(tsExpanding) || tree.TreeStates().Contains(tsCollapsing));
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(NodeOperations, ResetAndReinitialise)
{
    TTestTree tree;
    int inits = 0;
    int resets = 0;
    tree.OnInitNode = [&](TBaseLazyTree*, PLazyNode, PLazyNode, TShellNodeInitStates&) { ++inits; };
    tree.OnResetNode = [&](TBaseLazyTree*, PLazyNode) { ++resets; };
    tree.SetRootNodeCount(2);
    tree.SetNodeChildCount(tree.Root(0), 2);
    tree.EnsureNodeReady(nullptr, true);
    EXPECT_EQ(inits, 4);
    tree.ReinitializeNode(tree.Root(0), true);
    EXPECT_EQ(inits, 7);
    tree.ResetNodeToUninitialized(tree.Root(0));
    EXPECT_EQ(resets, 1);
    EXPECT_FALSE(tree.Root(0)->Has(nsReady));
    EXPECT_EQ(tree.Root(0)->NumChildren, 0u);
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(NodeOperations, DeletingDuringIterationFails)
{
    TTestTree tree;
    tree.SetRootNodeCount(2);
    tree.ShiftTreeStates(tsIterating, {});
    EXPECT_THROW(tree.RemoveNode(tree.Root(0)), EAssertionFailed);
    tree.ShiftTreeStates({}, tsIterating);
}

TEST(NodeOperations, PastingWithoutTreeDataOnTheClipboardChangesNothing)
{
    TTestTree tree;
    tree.SetRootNodeCount(2);
    QGuiApplication::clipboard()->setText("plain text");
    EXPECT_FALSE(tree.PasteClipboardNodes());
    EXPECT_EQ(tree.RootNodeCount(), 2u);
}

TEST(NodeOperations, CopyAndPasteThroughTheClipboard)
{
    TTestTree tree;
    tree.OnSaveNode = [&](TBaseLazyTree*, PLazyNode node, TStream& stream) {
        const std::uint32_t id = tree.Id(node);
        stream.WriteBuffer(&id, 4);
    };
    tree.OnLoadNode = [&](TBaseLazyTree*, PLazyNode node, TStream& stream) {
        std::uint32_t id = 0;
        stream.ReadBuffer(&id, 4);
        tree.SetId(node, id + 100);
    };
    tree.TreeOptions().SetSelectionOptions({toMultiSelect});
    tree.SetRootNodeCount(3);
    for (std::uint32_t i = 0; i < 3; ++i)
        tree.SetId(tree.Root(i), i + 1);
    tree.SetNodeSelected(tree.Root(0), true);
    tree.SetNodeSelected(tree.Root(1), true);
    tree.CopySelectionToClipboard();
    EXPECT_TRUE(tree.TreeStates().Contains(tsCopyPending));
    tree.AssignFocusedNode(tree.Root(2));
    tree.SetDefaultPasteMode(TLTNodeAttachMode::amInsertAfter);
    EXPECT_TRUE(tree.PasteClipboardNodes());
    EXPECT_EQ(Shape(tree), "1 2 3 101 102") << "the pasted nodes keep their order";
    // Cut and paste moves.
    tree.DeselectAll();
    tree.SetNodeSelected(tree.Root(0), true);
    tree.CutSelectionToClipboard();
    tree.AssignFocusedNode(tree.Root(4));
    EXPECT_TRUE(tree.PasteClipboardNodes());
    EXPECT_EQ(Shape(tree), "2 3 101 102 1");
    EXPECT_FALSE(tree.TreeStates().Contains(tsCutPending));
    EXPECT_TRUE(TreeInvariantsHold(tree));
}
