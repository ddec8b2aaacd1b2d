// The list follows the file system: items created, renamed and deleted on disk appear, change
// and disappear without a refresh; and icons come from the icon thread.

#include "ShellBrowsing/explorer/ExplorerTestSupport.h"

#include "ShellBrowsing/Source/explorer/IconThread.h"
#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/KnownNamespaces.h"

#include "TreeView/Source/strings/LTStringEditLink.h"

#include "Platform/core/PostedMessage.h"

#include <cstdio>
#include <filesystem>

namespace {

class ExplorerChanges : public TExplorerTest {};

} // namespace

TEST_F(ExplorerChanges, FilesCreatedRenamedAndDeletedOnDiskShowInTheList)
{
    MakeFile("keep.txt");
    auto list = MakeList(Dir(), true);
    ASSERT_TRUE(list->ChangeNotifierOn());
    ASSERT_TRUE(WaitForWatches());
    EXPECT_EQ(RowNames(*list), (std::vector<std::string>{"keep.txt"}));

    MakeFile("new.txt");
    ASSERT_TRUE(WaitUntil([&] { return RowNamed(*list, "new.txt") != nullptr; }));
    EXPECT_EQ(RowNames(*list), (std::vector<std::string>{"keep.txt", "new.txt"}));

    PLazyNode keep = RowNamed(*list, "keep.txt");
    ASSERT_EQ(std::rename(PathOf("new.txt").c_str(), PathOf("renamed.txt").c_str()), 0);
    ASSERT_TRUE(WaitUntil([&] { return RowNamed(*list, "renamed.txt") != nullptr; }));
    EXPECT_EQ(RowNamed(*list, "new.txt"), nullptr);
    EXPECT_EQ(RowNamed(*list, "keep.txt"), keep) << "unchanged items keep their nodes";

    // Deleting the focused row moves the focus to its neighbour.
    PLazyNode renamed = RowNamed(*list, "renamed.txt");
    list->SetNodeSelected(renamed, true);
    list->AssignFocusedNode(renamed);
    std::filesystem::remove(PathOf("renamed.txt"));
    ASSERT_TRUE(WaitUntil([&] { return RowNamed(*list, "renamed.txt") == nullptr; }));
    EXPECT_EQ(RowNames(*list), (std::vector<std::string>{"keep.txt"}));
    EXPECT_EQ(list->FocusNode(), keep);
}

TEST_F(ExplorerChanges, MergeRefreshReportsAddedAndRemovedItemsOnly)
{
    MakeFile("a.txt");
    MakeFile("b.txt");
    auto list = MakeList(Dir());
    std::vector<std::string> reports;
    list->OnNamespaceStructureChange = [&](TCustomShellExplorerTree*, PLazyNode, TNamespace* ns,
                                           TNamespaceStructureChange change) {
        reports.push_back((change == TNamespaceStructureChange::nscAdd ? "+" : "-") +
                          ns->DisplayNameInFolder().toStdString());
    };
    std::filesystem::remove(PathOf("a.txt"));
    MakeFile("c.txt");
    MakeFile("0.txt");
    list->RefreshNodeChildren(list->HiddenRoot(), false);
    std::sort(reports.begin(), reports.end());
    EXPECT_EQ(reports, (std::vector<std::string>{"+0.txt", "+c.txt", "-a.txt"}));
    EXPECT_EQ(RowNames(*list), (std::vector<std::string>{"b.txt", "0.txt", "c.txt"}))
        << "new rows come at the end when the list is not sorted again";
}

TEST_F(ExplorerChanges, EventsWaitWhileANameIsEdited)
{
    MakeFile("edit-me.txt");
    auto list = MakeList(Dir(), true);
    list->show();
    ASSERT_TRUE(WaitForWatches());
    PLazyNode node = RowNamed(*list, "edit-me.txt");
    list->SetNodeSelected(node, true);
    ASSERT_TRUE(list->EditSelectedName());
    ASSERT_TRUE(list->EditorActive());
    EXPECT_FALSE(list->IsReadyForShellEvents());
    MakeFile("meanwhile.txt");
    WaitUntil([] { return false; }, 400);
    EXPECT_EQ(RowNamed(*list, "meanwhile.txt"), nullptr) << "nothing changes under the editor";
    list->CancelNodeEdit();
    ASSERT_TRUE(WaitUntil([&] { return RowNamed(*list, "meanwhile.txt") != nullptr; }));
}

TEST_F(ExplorerChanges, DeletedRootFolderIsReportedAndChangesNothing)
{
    MakeFile("gone/file.txt");
    auto list = MakeList(PathOf("gone"), true);
    ASSERT_TRUE(WaitForWatches());
    int invalid = 0;
    list->OnInvalidRootNamespace = [&](TCustomShellExplorerTree*) { ++invalid; };
    std::filesystem::remove_all(PathOf("gone"));
    ASSERT_TRUE(WaitUntil([&] { return invalid > 0; }));
    EXPECT_EQ(RowNames(*list), (std::vector<std::string>{"file.txt"}));
}

TEST_F(ExplorerChanges, IconsArriveFromTheThreadInPlaceOfPlaceholders)
{
    MakeDir("folder");
    MakeFile("page.php", "<?php");
    auto list = MakeList(Dir());
    TVETImageOptions images = list->VETImageOptions();
    images.Include(toThreadedImages);
    list->SetVETImageOptions(images);
    ASSERT_TRUE(list->ThreadedImagesOn());
    PLazyNode folder = RowNamed(*list, "folder");
    PLazyNode page = RowNamed(*list, "page.php");
    bool ghosted = false;
    int index = -1;
    list->FireGetImageIndex(page, TLTImageKind::ikNormal, 0, ghosted, index);
    EXPECT_EQ(index, DefaultSystemImageIndex(2)) << "an unknown file's picture until the answer comes";
    list->FireGetImageIndex(folder, TLTImageKind::ikNormal, 0, ghosted, index);
    EXPECT_EQ(index, DefaultSystemImageIndex(0));
    TNamespace* pageNs = list->NodeNamespace(page);
    ASSERT_TRUE(WaitUntil([&] { return pageNs->ThreadIconLoaded(); }));
    list->FireGetImageIndex(page, TLTImageKind::ikNormal, 0, ghosted, index);
    TNamespace fresh(PIDLMgr().CopyPIDL(pageNs->AbsolutePIDL()));
    EXPECT_EQ(index, fresh.IconIndexFor(false));
}

TEST_F(ExplorerChanges, NodesFreedWhileTheirIconsAreLookedUpGetNoAnswer)
{
    for (int i = 0; i < 300; ++i)
        MakeFile("f" + std::to_string(i) + ".txt");
    auto list = MakeList(Dir());
    TVETImageOptions images = list->VETImageOptions();
    images.Include(toThreadedImages);
    list->SetVETImageOptions(images);

    // Every icon answer that reaches the list names one of its nodes as it is now, showing the
    // item it was asked for; none names a node freed since.
    struct TAnswerWatch : QObject {
        TTestListview& List;
        int ToLive = 0;
        int ToFreed = 0;
        explicit TAnswerWatch(TTestListview& list) : List(list) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() != PostedMessageEventType())
                return false;
            const auto* posted = static_cast<TPostedMessageEvent*>(event);
            if (posted->Discarded() || posted->Message.Msg != VM_ICONREADY)
                return false;
            const auto* request = reinterpret_cast<const TImageThreadRequest*>(posted->Message.WParam);
            bool live = false;
            for (PLazyNode node = List.HiddenRoot()->ChildHead; node && !live; node = node->NextLink)
                if (node == request->Node) {
                    const TNamespace* ns = List.NodeNamespace(node);
                    live = ns && PIDLMgr().EqualPIDL(ns->AbsolutePIDL(), request->PIDL);
                }
            ++(live ? ToLive : ToFreed);
            return false;
        }
    } watch(*list);
    list->installEventFilter(&watch);

    auto askForIcons = [&] {
        bool ghosted = false;
        int index = -1;
        for (PLazyNode node = list->HiddenRoot()->ChildHead; node; node = node->NextLink)
            list->FireGetImageIndex(node, TLTImageKind::ikNormal, 0, ghosted, index);
    };
    // The new build's own lookups, such as the one for the focused row scrolled into view.
    auto lookupsOfLiveNodes = [&] {
        int asking = 0;
        for (PLazyNode node = list->HiddenRoot()->ChildHead; node; node = node->NextLink)
            asking += list->NodeNamespace(node)->ThreadIconLoading() ? 1 : 0;
        return asking;
    };
    for (int round = 0; round < 3; ++round) {
        askForIcons();
        list->RebuildTree();
        EXPECT_LE(TIconThreadManager::Instance().QueuedCount(), lookupsOfLiveNodes())
            << "the freed nodes' lookups are withdrawn";
        WaitUntil([] { return false; }, 30);
    }
    // The nodes of the last build ask and get their answers.
    askForIcons();
    // why: a loaded machine under the sanitizers looks 300 icons up in seconds, not milliseconds.
    EXPECT_TRUE(WaitUntil([&] { return TIconThreadManager::Instance().QueuedCount() == 0 && watch.ToLive > 0; }, 60000))
        << "still queued: " << TIconThreadManager::Instance().QueuedCount() << ", answered: " << watch.ToLive;
    WaitUntil([] { return false; }, 50);
    EXPECT_EQ(watch.ToFreed, 0);
    EXPECT_GT(watch.ToLive, 0);
    list->removeEventFilter(&watch);
    list.reset();
    WaitUntil([] { return false; }, 50);
}
