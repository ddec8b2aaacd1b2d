// The item question threads (icons, expand marks): the order requests are answered in,
// withdrawing a node's requests, the thread's life with its controls, and a folder tree whose
// expand buttons are settled by the expand-mark thread.

#include "ShellBrowsing/explorer/ExplorerTestSupport.h"
#include "ShellBrowsing/Source/threads/ExpandMarkThread.h"

#include "Platform/core/PostedMessage.h"

#include <QObject>
#include <condition_variable>
#include <mutex>

namespace {

constexpr UINT AnswerMessage = 0x8099;

// A manager whose answers are the request's Data, and which holds the request with Data 0
// until it is let go, so that the others queue up behind it.
class THeldManager {
public:
    explicit THeldManager(bool newestFirst)
        : Manager(
              [this](TImageThreadRequest& r) {
                  std::unique_lock lock(FLock);
                  FBusy = true;
                  FWake.notify_all();
                  FWake.wait(lock, [&] { return r.Data != 0 || FReleased; });
                  r.ChildrenFound = static_cast<int>(r.Data);
              },
              newestFirst)
    {
    }
    void WaitBusy()
    {
        std::unique_lock lock(FLock);
        FWake.wait(lock, [&] { return FBusy; });
    }
    void Release()
    {
        {
            const std::lock_guard lock(FLock);
            FReleased = true;
        }
        FWake.notify_all();
    }

    // The answers posted to `receiver`, oldest first, once `count` arrived (taken back from the
    // queue, so nothing reaches the plain receiver).
    static std::vector<int> Answers(QObject& receiver, std::size_t count)
    {
        std::vector<int> answers;
        QElapsedTimer clock;
        clock.start();
        while (answers.size() < count && clock.elapsed() < 10000) {
            for (TMessage& message : TakePostedMessages(&receiver, AnswerMessage)) {
                auto* request = reinterpret_cast<TImageThreadRequest*>(message.WParam);
                answers.push_back(request->ChildrenFound);
                TShellImageThreadManager::ReleaseItem(request);
            }
            QThread::msleep(2);
        }
        return answers;
    }

    TShellImageThreadManager Manager;

private:
    std::mutex FLock;
    std::condition_variable FWake;
    bool FBusy = false;
    bool FReleased = false;
};

PLazyNode NodeTag(std::uintptr_t n)
{
    return reinterpret_cast<PLazyNode>(n);
}

struct TOrderCase {
    const char* Name;
    bool NewestFirst;
    std::vector<int> Expected;
};

class ItemThreadOrder : public ::testing::TestWithParam<TOrderCase> {};

TEST_P(ItemThreadOrder, QueuedRequestsAreAnsweredInTheManagersOrder)
{
    THeldManager held(GetParam().NewestFirst);
    QObject receiver;
    TPIDLHolder item(MakeDesktopPIDL());
    held.Manager.RegisterControl(&receiver);
    held.Manager.AddNewItem(&receiver, AnswerMessage, item.Get(), false, NodeTag(1), 0);
    held.WaitBusy();
    for (std::uintptr_t data : {1, 2, 3})
        held.Manager.AddNewItem(&receiver, AnswerMessage, item.Get(), false, NodeTag(data + 1), data);
    held.Release();
    EXPECT_EQ(THeldManager::Answers(receiver, 4), GetParam().Expected);
    held.Manager.UnRegisterControl(&receiver, AnswerMessage);
}

INSTANTIATE_TEST_SUITE_P(Managers, ItemThreadOrder,
                         ::testing::Values(TOrderCase{"IconsNewestFirst", true, {0, 3, 2, 1}},
                                           TOrderCase{"ExpandMarksInQueueOrder", false, {0, 1, 2, 3}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ItemThread, WithdrawingANodeLeavesOtherNodesAndWindowsQueued)
{
    THeldManager held(false);
    QObject first;
    QObject second;
    TPIDLHolder item(MakeDesktopPIDL());
    held.Manager.RegisterControl(&first);
    held.Manager.RegisterControl(&second);
    held.Manager.AddNewItem(&first, AnswerMessage, item.Get(), false, NodeTag(1), 0);
    held.WaitBusy();
    held.Manager.AddNewItem(&first, AnswerMessage, item.Get(), false, NodeTag(2), 2);
    held.Manager.AddNewItem(&first, AnswerMessage, item.Get(), false, NodeTag(3), 3);
    held.Manager.AddNewItem(&second, AnswerMessage, item.Get(), false, NodeTag(2), 4);
    held.Manager.ClearPendingItem(&first, NodeTag(2), AnswerMessage, nullptr);
    EXPECT_EQ(held.Manager.QueuedCount(), 2);
    held.Release();
    EXPECT_EQ(THeldManager::Answers(first, 2), (std::vector<int>{0, 3}));
    EXPECT_EQ(THeldManager::Answers(second, 1), (std::vector<int>{4}));
    held.Manager.UnRegisterControl(&first, AnswerMessage);
    EXPECT_TRUE(held.Manager.Running()) << "a control is still registered";
    held.Manager.UnRegisterControl(&second, AnswerMessage);
    EXPECT_FALSE(held.Manager.Running());
    held.Manager.RegisterControl(&first);
    EXPECT_TRUE(held.Manager.Running()) << "a new thread for a new control";
    held.Manager.UnRegisterControl(&first, AnswerMessage);
}

// A folder tree that takes every folder's expand button from the thread, as it does for folders
// on network file systems.
class TThreadMarksTree : public TTestTreeview {
public:
    using TTestTreeview::TTestTreeview;

protected:
    bool ExpandMarkFromThread(TNamespace* ns) override { return ns->IsFolderItem(); }
};

struct TMarksCase {
    const char* Name;
    TFileObjects Objects;
    std::vector<std::pair<std::string, bool>> Expected;
};

class ExpandMarks : public TExplorerTest, public ::testing::WithParamInterface<TMarksCase> {};

TEST_P(ExpandMarks, ButtonsFollowWhatTheFoldersHold)
{
    MakeDir("withSub/inner");
    MakeFile("withFiles/a.txt");
    MakeDir("empty");
    auto tree = std::make_unique<TThreadMarksTree>();
    TVETMiscOptions misc = tree->VETMiscOptions();
    misc.Exclude(toChangeNotifierThread);
    tree->SetVETMiscOptions(misc);
    TVETFolderOptions folders = tree->VETFolderOptions();
    folders.Include(toThreadedExpandMark);
    tree->SetVETFolderOptions(folders);
    ASSERT_TRUE(tree->ThreadedExpandMarkOn());
    tree->SetFileObjects(GetParam().Objects);
    tree->resize(300, 400);
    tree->SetActive(true);
    tree->SetRootFolderCustomPath(QString::fromStdString(Dir()));
    PLazyNode root = tree->FirstNodeRaw();
    ASSERT_NE(root, nullptr);
    for (PLazyNode node = root->ChildHead; node; node = node->NextLink)
        tree->EnsureNodeReady(node, false);
    const auto settled = [&] {
        for (const auto& [name, marked] : GetParam().Expected)
            if (PLazyNode node = RowNamed(*tree, name, root); !node || node->Has(nsMayHaveChildren) != marked)
                return false;
        return true;
    };
    WaitUntil(settled, 5000);
    for (const auto& [name, marked] : GetParam().Expected) {
        PLazyNode node = RowNamed(*tree, name, root);
        ASSERT_NE(node, nullptr) << name;
        EXPECT_EQ(node->Has(nsMayHaveChildren), marked) << name;
    }
    // Expanding and collapsing with answers on their way, then going, leaves nothing behind.
    tree->SetNodeExpanded(RowNamed(*tree, "withSub", root), true);
    tree->RefreshNode(root);
    tree.reset();
    EXPECT_FALSE(TExpandMarkManager::Instance().Running());
}

INSTANTIATE_TEST_SUITE_P(
    FileObjects, ExpandMarks,
    ::testing::Values(
        TMarksCase{"FoldersOnly", {TFileObject::foFolders},
                   {{"withSub", true}, {"withFiles", false}, {"empty", false}}},
        TMarksCase{"FoldersAndFiles", {TFileObject::foFolders, TFileObject::foNonFolders},
                   {{"withSub", true}, {"withFiles", true}, {"empty", false}}}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
