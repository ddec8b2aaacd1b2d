// Selection: the address-sorted array, constraints, range and toggle selection, the click
// rules, the rubber band and the selection-wide operations.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/core/LTErrors.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class SelectionFixture : public ::testing::Test {
protected:
    // Two open parents with three children each: rows P0 c0 c1 c2 P1 c3 c4 c5.
    void SetUp() override
    {
        tree.TreeOptions().SetSelectionOptions({toMultiSelect});
        tree.SetRootNodeCount(2);
        for (std::uint32_t p = 0; p < 2; ++p) {
            tree.SetNodeChildCount(tree.Root(p), 3);
            tree.SetNodeExpanded(tree.Root(p), true);
        }
        rows = VisibleRowsByWalk(tree);
        ASSERT_EQ(rows.size(), 8u);
        tree.OnChange = [this](TBaseLazyTree*, PLazyNode) { ++changes; };
    }

    std::string Selected()
    {
        std::string out;
        for (std::size_t i = 0; i < rows.size(); ++i)
            out += rows[i]->Has(nsPicked) ? 'x' : '.';
        return out;
    }

    void ExpectArrayConsistent()
    {
        std::vector<PLazyNode> picked;
        for (PLazyNode node = tree.FirstNodeRaw(); node; node = tree.NextNodeRaw(node))
            if (node->Has(nsPicked))
                picked.push_back(node);
        EXPECT_EQ(tree.SelectionCount(), picked.size());
        int index = 0;
        for (PLazyNode node : picked)
            EXPECT_TRUE(tree.SelectionBinarySearch(node, index, -1, -1));
    }

    TTestTree tree;
    std::vector<PLazyNode> rows;
    int changes = 0;
};

} // namespace

TEST_F(SelectionFixture, AddingTheSameNodeTwiceKeepsTheCount)
{
    tree.AddNodeToSelection(rows[2]);
    tree.AddNodeToSelection(rows[2]);
    EXPECT_EQ(tree.SelectionCount(), 1u);
    EXPECT_EQ(changes, 1);
    ExpectArrayConsistent();
}

TEST_F(SelectionFixture, DisabledNodesAreNeverAddedAndFireNothing)
{
    tree.SetNodeDisabled(rows[1], true);
    tree.AddNodeToSelection(rows[1]);
    EXPECT_EQ(tree.SelectionCount(), 0u);
    EXPECT_EQ(changes, 0);
}

TEST_F(SelectionFixture, RangesReplaceOrAdd)
{
    tree.SelectNodeRange(rows[1], rows[3], false);
    EXPECT_EQ(Selected(), ".xxx....");
    tree.SelectNodeRange(rows[6], rows[5], true);
    EXPECT_EQ(Selected(), ".xxx.xx.");
    tree.SelectNodeRange(rows[7], rows[6], false);
    EXPECT_EQ(Selected(), "......xx");
    ExpectArrayConsistent();
}

TEST_F(SelectionFixture, ClickRules)
{
    struct TStep {
        int Row;
        TShiftState Shift;
        const char* Expected;
    } const steps[] = {
        {1, {}, ".x......"},
        {3, {ssShift}, ".xxx...."},
        {6, {ssCtrl}, ".xxx..x."},
        {7, {ssCtrl, ssShift}, ".xxx..xx"},
        {2, {ssCtrl}, ".x.x..xx"},
        {4, {ssShift}, "..xxx..."},
    };
    for (const TStep& step : steps) {
        tree.ApplyClickSelection(tree.FocusNode(), rows[static_cast<std::size_t>(step.Row)], step.Shift, false);
        EXPECT_EQ(Selected(), step.Expected) << step.Row;
        ExpectArrayConsistent();
    }
}

TEST_F(SelectionFixture, ToggleRangeInvertsAroundTheAnchor)
{
    tree.ApplyClickSelection(nullptr, rows[2], {}, false); // anchor at row 2
    tree.AddNodeToSelection(rows[4]);
    tree.ToggleRangeSelection(rows[2], rows[5]);
    // Rows strictly between and the later end invert; the anchor stays selected.
    EXPECT_EQ(Selected(), "..xx.x..");
    ExpectArrayConsistent();
}

TEST_F(SelectionFixture, DeselectingTheLastNodeResetsTheAnchorToTheFocus)
{
    tree.AssignFocusedNode(rows[5]);
    tree.ApplyClickSelection(nullptr, rows[2], {}, false);
    EXPECT_EQ(tree.RangeAnchor(), rows[2]);
    tree.SetNodeSelected(rows[2], false);
    EXPECT_EQ(tree.RangeAnchor(), rows[5]);
}

TEST_F(SelectionFixture, LevelConstraintKeepsToTheFirstLevel)
{
    tree.TreeOptions().SetSelectionOptions({toMultiSelect, toLevelSelectConstraint});
    tree.ApplyClickSelection(nullptr, rows[1], {}, false);
    tree.ApplyClickSelection(rows[1], rows[6], {ssShift}, false);
    EXPECT_EQ(Selected(), ".xxx.xx.") << "the parent row between is on another level";
}

TEST_F(SelectionFixture, SiblingConstraintKeepsToTheAnchorsSiblings)
{
    tree.TreeOptions().SetSelectionOptions({toMultiSelect, toSiblingSelectConstraint});
    tree.ApplyClickSelection(nullptr, rows[2], {}, false);
    tree.ApplyClickSelection(rows[2], rows[6], {ssShift}, false);
    EXPECT_EQ(Selected(), "..xx....");
}

TEST_F(SelectionFixture, WithoutMultiSelectASecondNodeReplacesTheFirst)
{
    tree.TreeOptions().SetSelectionOptions({});
    tree.SetNodeSelected(rows[1], true);
    tree.SetNodeSelected(rows[4], true);
    EXPECT_EQ(Selected(), "....x...");
}

TEST_F(SelectionFixture, SwitchingMultiSelectOffClearsTheSelection)
{
    tree.SelectNodeRange(rows[0], rows[3], false);
    tree.TreeOptions().SetSelectionOptions({toMultiSelect});
    EXPECT_EQ(tree.SelectionCount(), 4u) << "an unchanged option set clears nothing";
    tree.TreeOptions().SetSelectionOptions({});
    EXPECT_EQ(tree.SelectionCount(), 0u);
    EXPECT_EQ(Selected(), "........");
}

TEST_F(SelectionFixture, SelectAllAndFlip)
{
    tree.SetNodeExpanded(tree.Root(1), false);
    tree.SelectAllNodes(true);
    EXPECT_EQ(tree.SelectionCount(), 5u);
    tree.FlipSelection(false);
    EXPECT_EQ(tree.SelectionCount(), 3u) << "the collapsed children";
    tree.SelectAllNodes(false);
    EXPECT_EQ(tree.SelectionCount(), 8u);
    ExpectArrayConsistent();
}

TEST_F(SelectionFixture, CollectingResolvedSkipsDescendantsOfCollectedNodes)
{
    tree.SelectAllNodes(false);
    EXPECT_EQ(tree.CollectSelectedNodes(true), (std::vector<PLazyNode>{tree.Root(0), tree.Root(1)}));
    EXPECT_EQ(tree.CollectSelectedNodes(false).size(), 8u);
}

TEST_F(SelectionFixture, RubberBandWithCtrlInvertsWhatItSweepsAndMovingBackRestores)
{
    tree.TreeOptions().SetSelectionOptions({toMultiSelect, toSimpleDrawSelection});
    tree.AddNodeToSelection(rows[2]);
    tree.StartBandSelection(5, 5, {ssCtrl});
    tree.ComputeDrawSelectionRect(100, 18 * 3 + 5);
    tree.ApplyBandSelection(100, 18 * 3 + 5);
    EXPECT_EQ(Selected(), "xx.x....");
    tree.ComputeDrawSelectionRect(100, 8);
    tree.ApplyBandSelection(100, 8);
    EXPECT_EQ(Selected(), "x.x.....");
    tree.ComputeDrawSelectionRect(6, 6);
    tree.ApplyBandSelection(6, 6);
    EXPECT_EQ(Selected(), "x.x.....");
    ExpectArrayConsistent();
}

TEST_F(SelectionFixture, RubberBandWithoutCtrlSelectsTheContentItTouches)
{
    tree.ContentWidth = 50;
    tree.StartBandSelection(200, 2, {});
    tree.ComputeDrawSelectionRect(250, 18 * 2);
    EXPECT_FALSE(tree.ApplyBandSelection(250, 18 * 2)) << "right of every node's content";
    tree.ComputeDrawSelectionRect(30, 10);
    EXPECT_TRUE(tree.ApplyBandSelection(30, 10));
    EXPECT_EQ(Selected(), "x.......") << "the band now reaches the first row's content";
}

TEST_F(SelectionFixture, NilArgumentsFailTheirAssertions)
{
    EXPECT_THROW(tree.AddNodeToSelection(nullptr), EAssertionFailed);
    EXPECT_THROW(tree.SelectNodeRange(rows[0], nullptr, false), EAssertionFailed);
}

TEST_F(SelectionFixture, DeletingSelectedNodesKeepsTheArrayRight)
{
    tree.SelectAllNodes(false);
    tree.RemoveNode(rows[5]);
    EXPECT_EQ(tree.SelectionCount(), 7u);
    tree.StartBatchUpdate();
    tree.RemoveNode(rows[1]);
    tree.RemoveNode(rows[2]);
    tree.FinishBatchUpdate();
    EXPECT_EQ(tree.SelectionCount(), 5u);
    tree.RemoveSelectedNodes();
    EXPECT_EQ(tree.SelectionCount(), 0u);
    EXPECT_EQ(tree.RootNodeCount(), 0u);
    EXPECT_TRUE(TreeInvariantsHold(tree));
}
