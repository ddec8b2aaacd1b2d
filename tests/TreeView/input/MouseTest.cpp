// Scripted mouse input: clicks with Shift and Ctrl, buttons, check boxes, the rubber band, double
// clicks, hot tracking, node popups and wheel panning.

#include "support/WaitFor.h"
#include "TreeView/input/InputTestSupport.h"

#include "Platform/docking/DockCore.h"

#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using TNodes = std::vector<PLazyNode>;

void Click(TInputTree& tree, QPoint p, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, modifiers, p);
}

void SetMultiSelect(TInputTree& tree)
{
    tree.TreeOptions().SetSelectionOptions(tree.TreeOptions().SelectionOptions() + toMultiSelect);
}

} // namespace

TEST(Mouse, ClicksWithShiftAndCtrlSelect)
{
    TInputTree tree(8);
    tree.Activate();
    SetMultiSelect(tree);
    Click(tree, tree.LabelPoint(tree.Root(1)));
    EXPECT_EQ(tree.FocusNode(), tree.Root(1));
    EXPECT_EQ(tree.Selected(), TNodes{tree.Root(1)});
    Click(tree, tree.LabelPoint(tree.Root(4)), Qt::ShiftModifier);
    EXPECT_EQ(tree.Selected(), (TNodes{tree.Root(1), tree.Root(2), tree.Root(3), tree.Root(4)})) << "a range";
    EXPECT_EQ(tree.FocusNode(), tree.Root(4));
    Click(tree, tree.LabelPoint(tree.Root(6)), Qt::ControlModifier);
    EXPECT_EQ(tree.Selected().size(), 5u) << "Ctrl adds";
    Click(tree, tree.LabelPoint(tree.Root(2)), Qt::ControlModifier);
    EXPECT_EQ(tree.Selected(), (TNodes{tree.Root(1), tree.Root(3), tree.Root(4), tree.Root(6)})) << "Ctrl toggles";
    Click(tree, tree.LabelPoint(tree.Root(7)));
    EXPECT_EQ(tree.Selected(), TNodes{tree.Root(7)}) << "a plain click selects one";
    // Without multi-selection Shift and Ctrl only move the single selection.
    TInputTree single(8);
    single.Activate();
    Click(single, single.LabelPoint(single.Root(1)));
    Click(single, single.LabelPoint(single.Root(4)), Qt::ShiftModifier);
    EXPECT_EQ(single.Selected(), TNodes{single.Root(4)});
}

TEST(Mouse, AButtonClickExpandsWithoutMovingFocusOrSelection)
{
    TInputTree tree(3, 2);
    tree.Activate();
    Click(tree, tree.LabelPoint(tree.Root(2)));
    int expanded = 0;
    tree.OnExpanded = [&](TBaseLazyTree*, PLazyNode) { ++expanded; };
    Click(tree, tree.ButtonPoint(tree.Root(0)));
    EXPECT_TRUE(tree.Root(0)->Has(nsOpen));
    EXPECT_EQ(expanded, 1);
    EXPECT_EQ(tree.FocusNode(), tree.Root(2));
    EXPECT_EQ(tree.Selected(), TNodes{tree.Root(2)});
    Click(tree, tree.ButtonPoint(tree.Root(0)));
    EXPECT_FALSE(tree.Root(0)->Has(nsOpen)) << "and collapses";
}

TEST(Mouse, AClickOnOneOfSeveralSelectedKeepsThemUntilTheRelease)
{
    TInputTree tree(5);
    tree.Activate();
    SetMultiSelect(tree);
    SetDragMode(tree, TDragMode::dmAutomatic);
    Click(tree, tree.LabelPoint(tree.Root(0)));
    Click(tree, tree.LabelPoint(tree.Root(3)), Qt::ShiftModifier);
    ASSERT_EQ(tree.Selected().size(), 4u);
    QTest::mousePress(tree.viewport(), Qt::LeftButton, Qt::NoModifier, tree.LabelPoint(tree.Root(1)));
    EXPECT_EQ(tree.Selected().size(), 4u) << "all may still be dragged";
    EXPECT_TRUE(tree.TreeStates().Contains(tsClearPending));
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::NoModifier, tree.LabelPoint(tree.Root(1)));
    EXPECT_EQ(tree.Selected(), TNodes{tree.Root(1)}) << "the release without a drag keeps the clicked node";
    EXPECT_FALSE(tree.TreeStates().Contains(tsClearPending));
}

TEST(Mouse, CtrlClickOnTheFocusedNodeWithDraggingTogglesAtTheRelease)
{
    TInputTree tree(4);
    tree.Activate();
    SetMultiSelect(tree);
    SetDragMode(tree, TDragMode::dmAutomatic);
    Click(tree, tree.LabelPoint(tree.Root(1)));
    Click(tree, tree.LabelPoint(tree.Root(2)), Qt::ControlModifier);
    ASSERT_EQ(tree.Selected().size(), 2u);
    QTest::mousePress(tree.viewport(), Qt::LeftButton, Qt::ControlModifier, tree.LabelPoint(tree.Root(2)));
    EXPECT_TRUE(tree.Root(2)->Has(nsPicked)) << "not yet";
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::ControlModifier, tree.LabelPoint(tree.Root(2)));
    EXPECT_FALSE(tree.Root(2)->Has(nsPicked)) << "toggled at the release";
    QTest::mousePress(tree.viewport(), Qt::LeftButton, Qt::ControlModifier, tree.LabelPoint(tree.Root(2)));
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::ControlModifier, tree.LabelPoint(tree.Root(3)));
    EXPECT_FALSE(tree.Root(2)->Has(nsPicked)) << "released on another node: no toggle";
}

TEST(Mouse, CheckBoxesChangeOnlyWhenReleasedOnTheirRow)
{
    TInputTree tree(3);
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toCheckSupport);
    tree.OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode node, TShellNodeInitStates&) { node->CheckKind = chkBox; };
    tree.ReinitializeNode(nullptr, true);
    tree.Activate();
    TLTHitRecord hit;
    const QPoint check = tree.CheckPoint(tree.Root(0));
    tree.HitTestAt(check.x(), check.y(), true, hit);
    ASSERT_TRUE(hit.HitParts.Contains(htOnCheckBox));
    QTest::mousePress(tree.viewport(), Qt::LeftButton, Qt::NoModifier, check);
    EXPECT_EQ(tree.GetNodeCheckMark(tree.Root(0)), csUncheckedPressed) << "the pressed look";
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::NoModifier, check);
    EXPECT_EQ(tree.GetNodeCheckMark(tree.Root(0)), csCheckedNormal);
    QTest::mousePress(tree.viewport(), Qt::LeftButton, Qt::NoModifier, check);
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::NoModifier, tree.CheckPoint(tree.Root(2)));
    EXPECT_EQ(tree.GetNodeCheckMark(tree.Root(0)), csCheckedNormal) << "released elsewhere: no change, normal look";
    EXPECT_FALSE(tree.TreeStates().Contains(tsMouseCheckPending));
    EXPECT_EQ(tree.FocusNode(), nullptr) << "a check box click does not focus";
}

TEST(Mouse, ARubberBandSelectsOnlyBeyondTheDragThreshold)
{
    TInputTree tree(6);
    tree.Activate();
    SetMultiSelect(tree);
    const QPoint start = tree.RowRightPoint(tree.Root(0));
    QTest::mousePress(tree.viewport(), Qt::LeftButton, Qt::NoModifier, start);
    EXPECT_TRUE(tree.TreeStates().Contains(tsDrawSelPending));
    QTest::mouseMove(tree.viewport(), start + QPoint(1, 1));
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::NoModifier, start + QPoint(1, 1));
    EXPECT_TRUE(tree.Selected().empty()) << "within the threshold";
    // A band from the right of row 0 across the labels down to row 3.
    const QPoint from = tree.RowRightPoint(tree.Root(0));
    const QPoint to = tree.LabelPoint(tree.Root(3)) + QPoint(2, 0);
    QTest::mousePress(tree.viewport(), Qt::LeftButton, Qt::NoModifier, from);
    for (int i = 1; i <= 4; ++i)
        QTest::mouseMove(tree.viewport(), from + (to - from) * i / 4);
    EXPECT_TRUE(tree.TreeStates().Contains(tsDrawSelecting));
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(tree.Selected(), (TNodes{tree.Root(0), tree.Root(1), tree.Root(2), tree.Root(3)}));
    EXPECT_FALSE(tree.MouseSelecting());
}

TEST(Mouse, DoubleClicksToggleAndHotTrackingFollowsTheLabel)
{
    TInputTree tree(3, 2);
    tree.Activate();
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, tree.LabelPoint(tree.Root(1)));
    EXPECT_TRUE(tree.Root(1)->Has(nsOpen)) << "toToggleOnDblClick is on by default";
    std::vector<std::pair<PLazyNode, PLazyNode>> changes;
    tree.OnHotChange = [&](TBaseLazyTree*, PLazyNode oldNode, PLazyNode newNode) { changes.emplace_back(oldNode, newNode); };
    QTest::mouseMove(tree.viewport(), tree.LabelPoint(tree.Root(0)));
    QTest::mouseMove(tree.viewport(), tree.LabelPoint(tree.Root(0)) + QPoint(2, 0));
    QTest::mouseMove(tree.viewport(), tree.RowRightPoint(tree.Root(0)));
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0], std::make_pair(PLazyNode{nullptr}, tree.Root(0)));
    EXPECT_EQ(changes[1], std::make_pair(tree.Root(0), PLazyNode{nullptr})) << "off the label: no hot node";
    EXPECT_EQ(tree.HotNode(), nullptr);
}

TEST(Mouse, ARightClickShowsTheNodePopupOfTheNodeOrItsParents)
{
    TInputTree tree(2, 2);
    tree.Activate();
    tree.FlipExpanded(tree.Root(0));
    QMenu menu;
    menu.addAction("Open");
    std::vector<PLazyNode> asked;
    tree.OnGetPopupMenu = [&](TBaseLazyTree*, PLazyNode node, TColumnIndex, TPoint, bool&, QMenu*& popup) {
        asked.push_back(node);
        if (node == tree.Root(0))
            popup = &menu;
    };
    const QPoint child = tree.LabelPoint(tree.Child(tree.Root(0), 1));
    QTest::mouseClick(tree.viewport(), Qt::RightButton, Qt::NoModifier, child);
    EXPECT_EQ(asked, (TNodes{tree.Child(tree.Root(0), 1), tree.Root(0)})) << "the node, then its parent";
    EXPECT_TRUE(menu.isVisible());
    menu.close();
}

TEST(Mouse, AShortMiddleClickStartsPanningThatGoesOnAfterTheRelease)
{
    TInputTree tree(100);
    tree.Activate();
    const QPoint origin(100, 100);
    QTest::mousePress(tree.viewport(), Qt::MiddleButton, Qt::NoModifier, origin);
    EXPECT_TRUE(tree.TreeStates().Contains(tsWheelPanning));
    QTest::mouseRelease(tree.viewport(), Qt::MiddleButton, Qt::NoModifier, origin);
    EXPECT_TRUE(tree.TreeStates().Contains(tsWheelScrolling)) << "panning goes on after a short click";
    // Within the dead zone nothing scrolls; farther away it scrolls, faster with the distance.
    // Steps are taken one at a time so that a loaded machine's late timer changes nothing.
    const auto stepAt = [&](int distance) {
        QTest::mouseMove(tree.viewport(), origin + QPoint(0, distance));
        const int before = tree.OffsetY();
        tree.AutoScrollStep();
        return before - tree.OffsetY();
    };
    EXPECT_EQ(stepAt(6), 0);
    const int slow = stepAt(30);
    EXPECT_GT(slow, 0);
    EXPECT_GT(stepAt(90), slow);
    // The timer goes on scrolling by itself.
    tree.SetOffsetY(0);
    EXPECT_TRUE(WaitFor([&] { return tree.OffsetY() < 0; }));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, origin);
    EXPECT_FALSE(tree.TreeStates().Contains(tsWheelScrolling)) << "the next click ends it";
    EXPECT_FALSE(tree.TreeStates().Contains(tsWheelPanning));
    // Pressing and dragging pans until the release.
    QTest::mousePress(tree.viewport(), Qt::MiddleButton, Qt::NoModifier, origin);
    QTest::mouseMove(tree.viewport(), origin + QPoint(0, 40));
    QTest::mouseRelease(tree.viewport(), Qt::MiddleButton, Qt::NoModifier, origin + QPoint(0, 40));
    EXPECT_FALSE(tree.TreeStates().Contains(tsWheelPanning));
    EXPECT_FALSE(tree.TreeStates().Contains(tsWheelScrolling));
}
