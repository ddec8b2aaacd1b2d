// Tree states and change notification: the one operation that changes states, the coalescing
// of OnChange and OnStructureChange by ChangeDelay, and batch updates.

#include "TreeView/TreeTestSupport.h"

#include <QTest>
#include <gtest/gtest.h>

TEST(TreeStates, ShiftTreeStatesReportsOnlyRealChanges)
{
    TTestTree tree;
    int reports = 0;
    TLazyTreeStates lastEnter;
    TLazyTreeStates lastLeave;
    tree.OnStateChange = [&](TBaseLazyTree*, TLazyTreeStates enter, TLazyTreeStates leave) {
        ++reports;
        lastEnter = enter;
        lastLeave = leave;
        EXPECT_FALSE(tree.TreeStates().Contains(tsHint)) << "the event comes before the change";
    };
    tree.ShiftTreeStates(tsHint, {});
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(lastEnter, TLazyTreeStates{tsHint});
    tree.OnStateChange = [&](TBaseLazyTree*, TLazyTreeStates, TLazyTreeStates) { ++reports; };
    tree.ShiftTreeStates(tsHint, {});
    tree.ShiftTreeStates({}, tsWheelPanning);
    EXPECT_EQ(reports, 1) << "entering a set state or leaving an unset one reports nothing";
    tree.ShiftTreeStates(tsSizing, tsSizing);
    EXPECT_EQ(reports, 2);
    EXPECT_FALSE(tree.TreeStates().Contains(tsSizing)) << "a state in both sets ends up cleared";
}

TEST(TreeStates, ChangesFireAtOnceWithoutDelay)
{
    TTestTree tree;
    tree.TreeOptions().SetSelectionOptions({toMultiSelect});
    tree.SetRootNodeCount(3);
    std::vector<PLazyNode> changes;
    tree.OnChange = [&](TBaseLazyTree*, PLazyNode node) { changes.push_back(node); };
    tree.SetNodeSelected(tree.Root(0), true);
    tree.SetNodeSelected(tree.Root(1), true);
    EXPECT_EQ(changes, (std::vector<PLazyNode>{tree.Root(0), tree.Root(1)}));
}

TEST(TreeStates, ABurstOfChangesFiresOnceAfterTheDelayWithTheLastNode)
{
    TTestTree tree;
    tree.TreeOptions().SetSelectionOptions({toMultiSelect});
    tree.SetRootNodeCount(3);
    tree.SetChangeDelay(300);
    std::vector<PLazyNode> changes;
    tree.OnChange = [&](TBaseLazyTree*, PLazyNode node) { changes.push_back(node); };
    for (std::uint32_t i = 0; i < 3; ++i)
        tree.SetNodeSelected(tree.Root(i), true);
    EXPECT_TRUE(changes.empty());
    EXPECT_TRUE(tree.TreeStates().Contains(tsChangePending));
    ASSERT_TRUE(WaitFor([&] { return !changes.empty(); }, 3000));
    QTest::qWait(350);
    EXPECT_EQ(changes, (std::vector<PLazyNode>{tree.Root(2)}));
    EXPECT_FALSE(tree.TreeStates().Contains(tsChangePending));
}

TEST(TreeStates, StructureChangesWithDifferentReasonsAccumulate)
{
    TTestTree tree;
    tree.SetRootNodeCount(2);
    tree.SetChangeDelay(200);
    std::vector<TChangeReason> reasons;
    tree.OnStructureChange = [&](TBaseLazyTree*, PLazyNode, TChangeReason reason) { reasons.push_back(reason); };
    tree.PlaceNewNode(tree.Root(0), TLTNodeAttachMode::amInsertAfter); // node added
    tree.RemoveNode(tree.Root(2));                                     // child deleted
    EXPECT_TRUE(reasons.empty());
    ASSERT_TRUE(WaitFor([&] { return !reasons.empty(); }, 3000));
    EXPECT_EQ(reasons, (std::vector<TChangeReason>{TChangeReason::crAccumulated}));
}

TEST(TreeStates, BatchUpdatesHoldNotificationsUntilTheOutermostEnd)
{
    TTestTree tree;
    tree.SetRootNodeCount(3);
    std::vector<std::string> log;
    tree.OnChange = [&](TBaseLazyTree*, PLazyNode) { log.push_back("change"); };
    tree.OnStructureChange = [&](TBaseLazyTree*, PLazyNode, TChangeReason) { log.push_back("structure"); };
    tree.OnUpdating = [&](TBaseLazyTree*, TLTUpdateState state) {
        static const char* const names[] = {"begin", "beginSynch", "synch", "update", "end", "endSynch"};
        log.push_back(names[static_cast<int>(state)]);
    };
    tree.StartBatchUpdate();
    tree.StartBatchUpdate();
    tree.SetNodeSelected(tree.Root(0), true);
    tree.AppendChildNode(nullptr);
    tree.FinishBatchUpdate();
    EXPECT_EQ(log, (std::vector<std::string>{"begin", "update", "update"}));
    tree.FinishBatchUpdate();
    EXPECT_EQ(log, (std::vector<std::string>{"begin", "update", "update", "structure", "change", "end"}));
    EXPECT_FALSE(tree.TreeStates().Contains(tsUpdating));
    EXPECT_EQ(tree.UpdateDepth(), 0);
}

TEST(TreeStates, ANodeDeletedWhileItsChangeIsPendingIsNotHandedOut)
{
    TTestTree tree;
    tree.SetRootNodeCount(2);
    PLazyNode doomed = tree.Root(1);
    std::vector<PLazyNode> reported;
    tree.OnChange = [&](TBaseLazyTree*, PLazyNode node) { reported.push_back(node); };
    tree.StartBatchUpdate();
    tree.SetNodeSelected(doomed, true); // pending with the node
    tree.RemoveNode(doomed);            // which then goes quietly
    tree.FinishBatchUpdate();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], nullptr) << "the deleted node must not reach the handler";
    EXPECT_EQ(tree.SelectionCount(), 0u);
}
