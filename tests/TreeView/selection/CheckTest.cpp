// Check boxes, radio buttons and push buttons: the next state of a click, tri-state propagation
// to children and ancestors, radio exclusion, refusals and re-entry, and the image indices.

#include "TreeView/TreeTestSupport.h"

#include "Platform/graphics/ImgList.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// root-level tri-state A with tri-state children B (with tri-state children B1, B2) and C, D.
class CheckFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toCheckSupport);
        tree.SetRootNodeCount(1);
        a = tree.Root(0);
        tree.SetNodeChildCount(a, 3);
        b = tree.Child(a, 0);
        c = tree.Child(a, 1);
        d = tree.Child(a, 2);
        tree.SetNodeChildCount(b, 2);
        b1 = tree.Child(b, 0);
        b2 = tree.Child(b, 1);
        for (PLazyNode node : {a, b, c, d, b1, b2})
            tree.SetNodeCheckKind(node, chkTriState);
        tree.OnChecking = [this](TBaseLazyTree*, PLazyNode node, TCheckState&, bool& allowed) {
            asked.push_back(node);
            allowed = node != refuse;
        };
        tree.OnChecked = [this](TBaseLazyTree*, PLazyNode node) { checked.push_back(node); };
    }

    TTestTree tree;
    PLazyNode a, b, c, d, b1, b2;
    PLazyNode refuse = nullptr;
    std::vector<PLazyNode> asked;
    std::vector<PLazyNode> checked;
};

} // namespace

TEST_F(CheckFixture, CheckingAParentChecksEveryBoxBelowIt)
{
    tree.SetNodeCheckMark(a, csCheckedNormal);
    for (PLazyNode node : {a, b, c, d, b1, b2})
        EXPECT_EQ(node->CheckMark, csCheckedNormal);
    EXPECT_EQ(asked.size(), 6u) << "each node is asked";
    EXPECT_FALSE(tree.TreeStates().Contains(tsCheckPropagation));
}

TEST_F(CheckFixture, AChildThatRefusesLeavesItsParentMixed)
{
    refuse = d;
    tree.SetNodeCheckMark(a, csCheckedNormal);
    EXPECT_EQ(d->CheckMark, csUncheckedNormal);
    EXPECT_EQ(a->CheckMark, csMixedNormal);
    EXPECT_EQ(b->CheckMark, csCheckedNormal);
}

TEST_F(CheckFixture, ChildrenDecideTheirAncestorsStates)
{
    struct TStep {
        PLazyNode* Node;
        TCheckState State;
        TCheckState ExpectB;
        TCheckState ExpectA;
    } const steps[] = {
        {&b1, csCheckedNormal, csMixedNormal, csMixedNormal},
        {&b2, csCheckedNormal, csCheckedNormal, csMixedNormal},
        {&c, csCheckedNormal, csCheckedNormal, csMixedNormal},
        {&d, csCheckedNormal, csCheckedNormal, csCheckedNormal},
        {&b2, csUncheckedNormal, csMixedNormal, csMixedNormal},
        {&b1, csUncheckedNormal, csUncheckedNormal, csMixedNormal},
        {&c, csUncheckedNormal, csUncheckedNormal, csMixedNormal},
        {&d, csUncheckedNormal, csUncheckedNormal, csUncheckedNormal},
    };
    for (const TStep& step : steps) {
        tree.SetNodeCheckMark(*step.Node, step.State);
        EXPECT_EQ(b->CheckMark, step.ExpectB);
        EXPECT_EQ(a->CheckMark, step.ExpectA);
    }
}

TEST_F(CheckFixture, PropagationStopsAtAnAncestorThatIsNotATriStateBox)
{
    tree.SetNodeCheckKind(a, chkBox);
    tree.SetNodeCheckMark(b1, csCheckedNormal);
    EXPECT_EQ(b->CheckMark, csMixedNormal);
    EXPECT_EQ(a->CheckMark, csUncheckedNormal);
    tree.SetNodeDisabled(b, true);
    tree.SetNodeCheckMark(b2, csCheckedNormal);
    EXPECT_EQ(b->CheckMark, csMixedNormal) << "a disabled parent is left alone";
}

TEST_F(CheckFixture, ANewBoxUnderACheckedParentStartsChecked)
{
    tree.SetNodeCheckMark(a, csCheckedNormal);
    tree.SetNodeChildCount(c, 1);
    PLazyNode fresh = tree.Child(c, 0);
    tree.SetNodeCheckKind(fresh, chkBox);
    EXPECT_EQ(fresh->CheckMark, csCheckedNormal);
    tree.SetNodeCheckKind(fresh, chkRadio);
    EXPECT_EQ(fresh->CheckMark, csUncheckedNormal) << "radio buttons do not follow";
}

TEST_F(CheckFixture, ReadOnlyTreesChangeNoCheckState)
{
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toReadOnly);
    tree.SetNodeCheckMark(c, csCheckedNormal);
    EXPECT_EQ(c->CheckMark, csUncheckedNormal);
    EXPECT_TRUE(asked.empty()) << "the refusal comes without asking";
}

TEST_F(CheckFixture, AChangeOfANodeThatIsChangingIsIgnored)
{
    bool reentered = false;
    tree.OnChecking = [&](TBaseLazyTree*, PLazyNode node, TCheckState&, bool&) {
        if (node == b && !reentered) {
            reentered = true;
            // a is propagating to its children right now.
            tree.SetNodeCheckMark(a, csMixedNormal);
        }
    };
    tree.SetNodeCheckMark(a, csCheckedNormal);
    EXPECT_TRUE(reentered);
    EXPECT_EQ(a->CheckMark, csCheckedNormal);
    EXPECT_EQ(std::count(checked.begin(), checked.end(), a), 1);
    EXPECT_FALSE(tree.TreeStates().Contains(tsCheckPropagation));
}

TEST(Checks, BoxesThatTheInitEventGivesCountBeforeTheirRowsWereShown)
{
    // A tri-state folder of four files; every kind comes from OnInitNode, as in a lazy tree.
    TTestTree tree;
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toCheckSupport);
    tree.OnInitNode = [](TBaseLazyTree*, PLazyNode parent, PLazyNode node, TShellNodeInitStates& states) {
        node->CheckKind = parent ? chkBox : chkTriState;
        if (!parent)
            states.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = 4; };
    tree.SetRootNodeCount(2);
    PLazyNode folder = tree.Root(0);
    tree.FlipExpanded(folder);
    ASSERT_EQ(folder->NumChildren, 4u);
    ASSERT_FALSE(tree.Child(folder, 1)->Has(nsReady)) << "the files have not been initialised yet";
    tree.SetNodeCheckMark(tree.Child(folder, 0), csCheckedNormal);
    tree.SetNodeCheckMark(tree.Child(folder, 3), csCheckedNormal);
    EXPECT_EQ(folder->CheckMark, csMixedNormal) << "two files of four are checked";
    EXPECT_EQ(tree.Child(folder, 1)->CheckMark, csUncheckedNormal);

    // Checking a folder whose children were never made checks them when they are made.
    PLazyNode closed = tree.Root(1);
    tree.SetNodeCheckMark(closed, csCheckedNormal);
    ASSERT_EQ(closed->NumChildren, 4u);
    for (PLazyNode file = closed->ChildHead; file; file = file->NextLink)
        EXPECT_EQ(file->CheckMark, csCheckedNormal);
    EXPECT_EQ(closed->CheckMark, csCheckedNormal);
}

TEST(Checks, RadioButtonsExcludeTheirSiblingsQuietly)
{
    TTestTree tree;
    tree.SetRootNodeCount(3);
    std::vector<PLazyNode> events;
    for (std::uint32_t i = 0; i < 3; ++i)
        tree.SetNodeCheckKind(tree.Root(i), chkRadio);
    tree.SetNodeCheckMark(tree.Root(0), csCheckedNormal);
    tree.OnChecking = [&](TBaseLazyTree*, PLazyNode node, TCheckState&, bool&) { events.push_back(node); };
    tree.OnChecked = [&](TBaseLazyTree*, PLazyNode node) { events.push_back(node); };
    tree.SetNodeCheckMark(tree.Root(2), csCheckedNormal);
    EXPECT_EQ(tree.Root(0)->CheckMark, csUncheckedNormal);
    EXPECT_EQ(tree.Root(2)->CheckMark, csCheckedNormal);
    EXPECT_EQ(events, (std::vector<PLazyNode>{tree.Root(2), tree.Root(2)}));
}

TEST(Checks, NextStateOfAClick)
{
    TTestTree tree;
    struct TCase {
        TLTCheckKind Kind;
        TCheckState From;
        TCheckState To;
    } const cases[] = {
        {chkTriState, csCheckedNormal, csUncheckedNormal}, {chkTriState, csMixedNormal, csCheckedNormal},
        {chkBox, csUncheckedNormal, csCheckedNormal},      {chkRadio, csCheckedNormal, csCheckedNormal},
        {chkButton, csCheckedNormal, csUncheckedNormal},   {chkNone, csUncheckedNormal, csMixedNormal},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(tree.NextCheckMarkFor(c.Kind, c.From), c.To);
}

TEST(Checks, PressAndReleaseApplyTheStateComputedAtThePress)
{
    TTestTree tree;
    tree.SetRootNodeCount(2);
    PLazyNode box = tree.Root(0);
    tree.SetNodeCheckKind(box, chkBox);
    int asked = 0;
    tree.OnChecking = [&](TBaseLazyTree*, PLazyNode, TCheckState&, bool&) { ++asked; };
    ASSERT_TRUE(tree.PressCheckControl(box));
    EXPECT_EQ(box->CheckMark, csUncheckedPressed);
    tree.ReleaseCheckControl(box);
    EXPECT_EQ(box->CheckMark, csCheckedNormal);
    EXPECT_EQ(asked, 1) << "the release asks nothing more for the node";
    ASSERT_TRUE(tree.PressCheckControl(box));
    tree.ReleaseCheckControl(tree.Root(1)); // released elsewhere
    EXPECT_EQ(box->CheckMark, csCheckedNormal);
    tree.SetNodeCheckKind(tree.Root(1), chkButton);
    ASSERT_TRUE(tree.PressCheckControl(tree.Root(1)));
    tree.ReleaseCheckControl(tree.Root(1));
    EXPECT_EQ(tree.Root(1)->CheckMark, csUncheckedNormal) << "a push button returns to unchecked";
}

TEST(Checks, ImageIndices)
{
    TTestTree tree;
    tree.SetRootNodeCount(1);
    PLazyNode node = tree.Root(0);
    struct TCase {
        TLTCheckKind Kind;
        TCheckState State;
        bool Disabled;
        int Index;
    } const cases[] = {
        {chkBox, csUncheckedNormal, false, 9},     {chkTriState, csCheckedPressed, false, 15},
        {chkBox, csCheckedNormal, true, 16},       {chkRadio, csUncheckedNormal, false, 1},
        {chkRadio, csCheckedPressed, false, 7},    {chkButton, csCheckedNormal, false, 21},
        {chkTriState, csMixedNormal, false, 17},   {chkTriState, csMixedPressed, true, 20},
        {chkNone, csUncheckedNormal, false, -1},
    };
    for (const TCase& c : cases) {
        node->CheckKind = c.Kind;
        node->CheckMark = c.State;
        node->StateBits.Assign(nsInactive, c.Disabled);
        EXPECT_EQ(tree.CheckImageIndexFor(node), c.Index) << int(c.Kind) << ' ' << int(c.State);
    }
    EXPECT_EQ(tree.CheckImages()->Count(), 25);
}
