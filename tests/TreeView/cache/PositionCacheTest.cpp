// The position cache and its worker thread: when a cache is built, that its lookups answer as a
// linear walk does, that changes stop or wait for a running rebuild, and that the worker serves
// many trees and goes with the last one.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/cache/LTWorkerThread.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

TEST(PositionCache, SlotsAndThreshold)
{
    struct TCase {
        std::uint32_t Rows;
        int Slots;
        std::size_t Entries;
    } const cases[] = {{0, 0, 0}, {1, 0, 0}, {2000, 1, 0}, {2001, 2, 2}, {4000, 2, 2}, {4001, 3, 3}};
    for (const TCase& c : cases) {
        TTestTree tree;
        tree.SetRootNodeCount(c.Rows);
        EXPECT_EQ(tree.PositionCacheSlots(), c.Slots) << c.Rows;
        if (c.Entries > 0) {
            ASSERT_TRUE(WaitForCache(tree)) << c.Rows;
            ASSERT_EQ(tree.PositionCache().size(), c.Entries) << c.Rows;
            for (std::size_t k = 0; k < c.Entries; ++k) {
                EXPECT_EQ(tree.PositionCache()[k].EntryNode->SiblingIndex, k * CacheThreshold);
                EXPECT_EQ(tree.PositionCache()[k].EntryTop, k * CacheThreshold * 18);
            }
        } else {
            // Small trees never get a cache and keep walking from the first row.
            WaitFor([&] { return !tree.TreeStates().Contains(tsValidating); }, 200);
            EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache)) << c.Rows;
            if (c.Rows > 0) {
                EXPECT_TRUE(tree.TreeStates().Contains(tsValidationNeeded)) << c.Rows;
            }
        }
    }
}

TEST(PositionCache, LookupsAnswerAsALinearWalkDoes)
{
    TTestTree tree;
    tree.SetRootNodeCount(3000);
    // Some nested, some open, some hidden, some taller rows.
    for (std::uint32_t i = 0; i < 3000; i += 7) {
        PLazyNode node = tree.Root(i);
        tree.SetNodeChildCount(node, 3);
        if (i % 2 == 0)
            tree.SetNodeExpanded(node, true);
        if (i % 5 == 0)
            tree.SetRowHeight(node, 30);
        if (i % 11 == 0)
            tree.SetNodeShown(tree.Root(i + 1), false);
    }
    ASSERT_TRUE(TreeInvariantsHold(tree));
    ASSERT_TRUE(WaitForCache(tree));
    const int extent = static_cast<int>(tree.HiddenRoot()->SubtreeHeight - tree.HiddenRoot()->RowHeight);
    std::mt19937 random(7);
    for (int probe = 0; probe < 400; ++probe) {
        const int y = probe < 5 ? extent - probe : static_cast<int>(random() % static_cast<unsigned>(extent + 50));
        int expectedTop = -1;
        PLazyNode expected = NodeAtYByWalk(tree, y, &expectedTop);
        int top = -1;
        EXPECT_EQ(tree.NodeAtY(y, false, &top), expected) << y;
        if (expected) {
            EXPECT_EQ(top, expectedTop) << y;
            EXPECT_EQ(tree.AbsoluteTopOf(expected), expectedTop);
        }
    }
    EXPECT_EQ(tree.NodeAtY(extent + 100, false), nullptr);
    EXPECT_EQ(tree.NodeAtY(-40, false), NodeAtYByWalk(tree, 0)) << "a negative position finds the first row";
}

TEST(PositionCache, AStructureChangeDropsTheCacheAndRebuildsIt)
{
    TTestTree tree;
    tree.SetRootNodeCount(5000);
    ASSERT_TRUE(WaitForCache(tree));
    tree.SetNodeChildCount(tree.Root(10), 4);
    tree.SetNodeExpanded(tree.Root(10), true);
    EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache)) << "the stale cache is never used";
    EXPECT_EQ(tree.NodeAtY(20 * 18, false), NodeAtYByWalk(tree, 20 * 18));
    ASSERT_TRUE(WaitForCache(tree));
    EXPECT_EQ(tree.NodeAtY(4000 * 18, false), NodeAtYByWalk(tree, 4000 * 18));
}

TEST(PositionCache, HaltingAQueuedTreeKeepsItsCacheStale)
{
    TTestTree tree;
    tree.SetRootNodeCount(300000);
    tree.HaltCacheWorker();
    EXPECT_TRUE(tree.TreeStates().Contains(tsStopValidation));
    EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache));
    // Whatever the worker had begun reports later but is not taken.
    WaitFor([&] { return !tree.TreeStates().Contains(tsValidating); }, 1000);
    QCoreApplication::processEvents();
    EXPECT_FALSE(tree.TreeStates().Contains(tsUseCache));
    EXPECT_TRUE(tree.TreeStates().Contains(tsValidationNeeded));
    tree.ScheduleCacheValidation();
    EXPECT_FALSE(tree.TreeStates().Contains(tsStopValidation));
    ASSERT_TRUE(WaitForCache(tree));
    EXPECT_EQ(tree.PositionCache().size(), 150u);
}

TEST(PositionCache, StateChangesOfTheWorkerArriveOnTheGuiThreadInPairs)
{
    std::vector<std::unique_ptr<TTestTree>> trees;
    std::vector<std::pair<int, TLazyTreeStates>> log;
    for (int i = 0; i < 3; ++i) {
        trees.push_back(std::make_unique<TTestTree>());
        trees.back()->OnStateChange = [&log, i](TBaseLazyTree*, TLazyTreeStates enter, TLazyTreeStates leave) {
            EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
            if (enter.Contains(tsValidating))
                log.push_back({i, enter});
            if (leave.Contains(tsValidating))
                log.push_back({i, leave});
        };
    }
    for (auto& tree : trees)
        tree->SetRootNodeCount(6000);
    for (auto& tree : trees)
        ASSERT_TRUE(WaitForCache(*tree));
    // Each tree: its start, then its end, in queue order.
    std::vector<int> order;
    for (const auto& [tree, states] : log)
        order.push_back(tree);
    ASSERT_EQ(order.size(), 6u);
    EXPECT_EQ(order, (std::vector<int>{0, 0, 1, 1, 2, 2}));
}

TEST(PositionCache, TheWorkerGoesWithTheLastTree)
{
    {
        TTestTree a;
        EXPECT_NE(TWorkerThread::CacheWorker(), nullptr);
        {
            TTestTree b;
            b.SetRootNodeCount(100000);
            // b is destroyed while it may still be queued or rebuilt.
        }
        EXPECT_NE(TWorkerThread::CacheWorker(), nullptr);
    }
    EXPECT_EQ(TWorkerThread::CacheWorker(), nullptr);
}

// Structure changes race with rebuilds of large trees; every change must wait for the worker to
// let go of the tree (AddressSanitizer, and ThreadSanitizer in a build of its own, watch this).
TEST(PositionCache, LargeTreesChangeWhileTheWorkerRuns)
{
    std::vector<std::unique_ptr<TTestTree>> trees;
    for (int i = 0; i < 3; ++i)
        trees.push_back(std::make_unique<TTestTree>());
    std::mt19937 random(11);
    for (int round = 0; round < 60; ++round) {
        for (auto& owned : trees) {
            TTestTree& tree = *owned;
            switch (random() % 6) {
            case 0:
                tree.SetRootNodeCount(20000 + random() % 20000);
                break;
            case 1:
                if (tree.RootNodeCount() > 0) {
                    PLazyNode node = tree.Root(static_cast<std::uint32_t>(random() % tree.RootNodeCount()));
                    tree.SetNodeChildCount(node, 50);
                    tree.SetNodeExpanded(node, true);
                }
                break;
            case 2:
                if (tree.RootNodeCount() > 10)
                    tree.RemoveNode(tree.Root(static_cast<std::uint32_t>(random() % 10)));
                break;
            case 3:
                if (tree.RootNodeCount() > 0)
                    tree.SetRowHeight(tree.Root(static_cast<std::uint32_t>(random() % tree.RootNodeCount())),
                                      10 + static_cast<int>(random() % 30));
                break;
            case 4:
                tree.RemoveAllNodes();
                break;
            default:
                QCoreApplication::processEvents();
                break;
            }
        }
        if (round % 20 == 19)
            trees[static_cast<std::size_t>(random() % trees.size())] = std::make_unique<TTestTree>();
    }
    for (auto& tree : trees) {
        tree->SetRootNodeCount(tree->RootNodeCount() + 3000);
        ASSERT_TRUE(WaitForCache(*tree));
        EXPECT_TRUE(TreeInvariantsHold(*tree));
        const int y = static_cast<int>(tree->HiddenRoot()->SubtreeHeight) - 100;
        EXPECT_EQ(tree->NodeAtY(y, false), NodeAtYByWalk(*tree, y));
    }
}

TEST(PositionCache, MeasuringHappensOnTheGuiThread)
{
    TTestTree tree;
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toVariableNodeHeight);
    std::atomic<int> offThread{0};
    const QThread* gui = QCoreApplication::instance()->thread();
    tree.OnMeasureItem = [&](TBaseLazyTree*, TCanvas*, PLazyNode node, int& height) {
        if (QThread::currentThread() != gui)
            ++offThread;
        height = 10 + static_cast<int>(node->SiblingIndex % 7);
    };
    tree.StartBatchUpdate();
    tree.SetRootNodeCount(10000);
    tree.FinishBatchUpdate();
    ASSERT_TRUE(WaitForCache(tree));
    EXPECT_EQ(offThread.load(), 0);
    const int y = 9000 * 13;
    EXPECT_EQ(tree.NodeAtY(y, false), NodeAtYByWalk(tree, y));
}
