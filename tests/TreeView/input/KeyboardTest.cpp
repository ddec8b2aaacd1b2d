// Scripted keys: navigation with and without Shift, expanding with the arrows and the numeric
// pad, pages, check boxes by Space, select all, columns by Tab, and keys the application takes.

#include "TreeView/input/InputTestSupport.h"

#include "TreeView/Source/header/LTHeader.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using TNodes = std::vector<PLazyNode>;

void Key(TInputTree& tree, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(&tree, key, modifiers);
}

} // namespace

TEST(Keyboard, ArrowsMoveTheFocusAndTheSelection)
{
    TInputTree tree(5);
    tree.Activate();
    Key(tree, Qt::Key_Down);
    EXPECT_EQ(tree.FocusNode(), tree.Root(0)) << "without focus: the first node";
    Key(tree, Qt::Key_Down);
    Key(tree, Qt::Key_Down);
    EXPECT_EQ(tree.FocusNode(), tree.Root(2));
    EXPECT_EQ(tree.Selected(), TNodes{tree.Root(2)});
    Key(tree, Qt::Key_Up);
    EXPECT_EQ(tree.FocusNode(), tree.Root(1));
    Key(tree, Qt::Key_End);
    EXPECT_EQ(tree.FocusNode(), tree.Root(4));
    Key(tree, Qt::Key_Home);
    EXPECT_EQ(tree.FocusNode(), tree.Root(0));
    EXPECT_EQ(tree.Selected(), TNodes{tree.Root(0)});
    Key(tree, Qt::Key_Up);
    EXPECT_EQ(tree.FocusNode(), tree.Root(0)) << "nothing above the first node";
}

TEST(Keyboard, ShiftEndSelectsARangeOnlyWithMultiSelection)
{
    TInputTree tree(6);
    tree.Activate();
    Key(tree, Qt::Key_Down);
    Key(tree, Qt::Key_Down);
    Key(tree, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(tree.FocusNode(), tree.Root(5));
    EXPECT_EQ(tree.Selected(), TNodes{tree.Root(5)}) << "without toMultiSelect only the focus moves";
    tree.TreeOptions().SetSelectionOptions(tree.TreeOptions().SelectionOptions() + toMultiSelect);
    Key(tree, Qt::Key_Home);
    Key(tree, Qt::Key_Down);
    Key(tree, Qt::Key_Down);
    Key(tree, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(tree.Selected(), (TNodes{tree.Root(2), tree.Root(3), tree.Root(4), tree.Root(5)}));
    Key(tree, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(tree.Selected(), (TNodes{tree.Root(2), tree.Root(3), tree.Root(4)})) << "Shift+Up gives back the last";
    Key(tree, Qt::Key_Down);
    EXPECT_EQ(tree.Selected(), TNodes{tree.Root(5)}) << "a plain key clears the range";
}

TEST(Keyboard, RightAndLeftExpandFocusChildrenAndCollapse)
{
    TInputTree tree(3, 2);
    tree.Activate();
    Key(tree, Qt::Key_Down);
    Key(tree, Qt::Key_Right);
    EXPECT_TRUE(tree.Root(0)->Has(nsOpen)) << "Right expands a collapsed node";
    EXPECT_EQ(tree.FocusNode(), tree.Root(0));
    Key(tree, Qt::Key_Right);
    EXPECT_EQ(tree.FocusNode(), tree.Child(tree.Root(0), 0)) << "a second Right goes to the first child";
    Key(tree, Qt::Key_Left);
    EXPECT_EQ(tree.FocusNode(), tree.Root(0)) << "Left goes to the parent";
    Key(tree, Qt::Key_Left);
    EXPECT_FALSE(tree.Root(0)->Has(nsOpen)) << "and then collapses it";
    Key(tree, Qt::Key_Plus);
    EXPECT_TRUE(tree.Root(0)->Has(nsOpen)) << "+ expands";
    Key(tree, Qt::Key_Minus);
    EXPECT_FALSE(tree.Root(0)->Has(nsOpen)) << "- collapses";
    Key(tree, Qt::Key_Asterisk);
    EXPECT_TRUE(tree.Root(0)->Has(nsOpen)) << "* expands the subtree";
    Key(tree, Qt::Key_Backspace);
    EXPECT_EQ(tree.FocusNode(), tree.Root(0));
}

TEST(Keyboard, PageDownMovesByAClientHeightOrAtLeastOneNode)
{
    TInputTree tree(50);
    tree.Activate();
    Key(tree, Qt::Key_Down);
    Key(tree, Qt::Key_PageDown);
    const int rows = tree.ClientHeight() / 18;
    EXPECT_NEAR(static_cast<int>(tree.FocusNode()->SiblingIndex), rows, 1);
    Key(tree, Qt::Key_PageUp);
    EXPECT_EQ(tree.FocusNode(), tree.Root(0));
    TInputTree tall(5);
    for (std::uint32_t i = 0; i < 5; ++i)
        tall.SetRowHeight(tall.Root(i), 400);
    tall.Activate();
    Key(tall, Qt::Key_Down);
    Key(tall, Qt::Key_PageDown);
    EXPECT_EQ(tall.FocusNode(), tall.Root(1)) << "rows taller than the client: one node";
}

TEST(Keyboard, SpaceChecksAtTheReleaseAndAnotherKeyCancels)
{
    TInputTree tree(3);
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toCheckSupport);
    tree.OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode node, TShellNodeInitStates&) { node->CheckKind = chkBox; };
    tree.ReinitializeNode(nullptr, true);
    tree.Activate();
    Key(tree, Qt::Key_Down);
    QTest::keyPress(&tree, Qt::Key_Space);
    EXPECT_EQ(tree.GetNodeCheckMark(tree.Root(0)), csUncheckedPressed);
    QTest::keyRelease(&tree, Qt::Key_Space);
    EXPECT_EQ(tree.GetNodeCheckMark(tree.Root(0)), csCheckedNormal);
    QTest::keyPress(&tree, Qt::Key_Space);
    Key(tree, Qt::Key_Down);
    QTest::keyRelease(&tree, Qt::Key_Space);
    EXPECT_EQ(tree.GetNodeCheckMark(tree.Root(0)), csCheckedNormal) << "Down before the release: nothing changes";
    EXPECT_FALSE(tree.TreeStates().Contains(tsKeyCheckPending));
}

TEST(Keyboard, CtrlASelectsAllAndTheApplicationMayTakeKeys)
{
    TInputTree tree(4);
    tree.TreeOptions().SetSelectionOptions(tree.TreeOptions().SelectionOptions() + toMultiSelect);
    tree.Activate();
    Key(tree, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(tree.SelectionCount(), 4u);
    int keys = 0;
    tree.OnKeyAction = [&](TBaseLazyTree*, WORD&, TShiftState&, bool& doDefault) {
        ++keys;
        doDefault = false;
    };
    Key(tree, Qt::Key_Down);
    Key(tree, Qt::Key_End);
    EXPECT_EQ(keys, 2);
    EXPECT_EQ(tree.FocusNode(), nullptr) << "no default handling";
    tree.OnKeyAction = nullptr;
    // The key down handler may also swallow a key before the tree sees it.
    tree.OnKeyDown = [](TObject*, WORD& key, TShiftState) { key = 0; };
    Key(tree, Qt::Key_Down);
    EXPECT_EQ(tree.FocusNode(), nullptr);
}

TEST(Keyboard, TabMovesBetweenColumnsOnlyWithExtendedFocus)
{
    TInputTree tree(3);
    for (int i = 0; i < 3; ++i)
        tree.Header().Columns().AddColumn()->SetWidth(80);
    tree.Header().SetMainColumn(0);
    tree.SetWantTabs(true);
    tree.Activate();
    Key(tree, Qt::Key_Down);
    Key(tree, Qt::Key_Tab);
    EXPECT_EQ(tree.FocusedColumn(), 0) << "not without toExtendedFocus";
    tree.TreeOptions().SetSelectionOptions(tree.TreeOptions().SelectionOptions() + toExtendedFocus);
    Key(tree, Qt::Key_Tab);
    EXPECT_EQ(tree.FocusedColumn(), 1);
    Key(tree, Qt::Key_Tab);
    Key(tree, Qt::Key_Tab);
    EXPECT_EQ(tree.FocusedColumn(), 0) << "past the last column: the next node's first";
    EXPECT_EQ(tree.FocusNode(), tree.Root(1));
    Key(tree, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(tree.FocusedColumn(), 2);
    EXPECT_EQ(tree.FocusNode(), tree.Root(0));
}
