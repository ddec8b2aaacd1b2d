#pragma once
// Helpers of the explorer tests: the tree and list views with their protected operations open,
// waiting while posted messages arrive, and the names a node's rows show.

#include "support/WaitFor.h"
#include "ShellBrowsing/ShellTestSupport.h"
#include "ShellBrowsing/Source/explorer/ExplorerViews.h"
#include "ShellBrowsing/Source/notify/ShellChangeNotifier.h"

#include <QCoreApplication>
#include <functional>

template <class TBase>
class TOpenExplorer : public TBase {
public:
    using TBase::TBase;
    using TBase::CopySelectionToClipboard;
    using TBase::CutSelectionToClipboard;
    using TBase::FireCompareNodes;
    using TBase::FireGetImageIndex;
    using TBase::FireKeyAction;
    using TBase::OleDropped;
    using TBase::OleDragEntered;
    using TBase::FireCreateDataObject;
    using TBase::RefreshNodeChildren;
    using TBase::ReadTreeStream;
    using TBase::WriteTreeStream;
    using TBase::MousePressed;
};
using TTestTreeview = TOpenExplorer<TShellExplorerTreeview>;
using TTestListview = TOpenExplorer<TShellExplorerListview>;

// Lets posted messages arrive until `done` holds or `ms` milliseconds passed; listings of big
// folders on a loaded machine take longer than WaitFor's default.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 10000)
{
    return WaitFor(done, ms);
}

// The display names of a node's children in their order (the tree's top level for nil).
inline std::vector<std::string> RowNames(TCustomShellExplorerTree& tree, PLazyNode parent = nullptr)
{
    std::vector<std::string> names;
    PLazyNode start = parent ? parent : tree.HiddenRoot();
    for (PLazyNode node = start->ChildHead; node; node = node->NextLink)
        if (TNamespace* ns = tree.NodeNamespace(node))
            names.push_back(ns->DisplayNameInFolder().toStdString());
    return names;
}

inline PLazyNode RowNamed(TCustomShellExplorerTree& tree, const std::string& name, PLazyNode parent = nullptr)
{
    PLazyNode start = parent ? parent : tree.HiddenRoot();
    for (PLazyNode node = start->ChildHead; node; node = node->NextLink)
        if (TNamespace* ns = tree.NodeNamespace(node); ns && ns->DisplayNameInFolder().toStdString() == name)
            return node;
    return nullptr;
}

// Selects the rows named (children of `parent`, the top level for nil) and focuses the first.
inline void SelectRows(TCustomShellExplorerTree& tree, std::initializer_list<std::string> names,
                       PLazyNode parent = nullptr)
{
    tree.DeselectAll();
    bool first = true;
    for (const std::string& name : names) {
        PLazyNode node = RowNamed(tree, name, parent);
        ASSERT_NE(node, nullptr) << name;
        tree.SetNodeSelected(node, true);
        if (first)
            tree.AssignFocusedNode(node);
        first = false;
    }
}

// The watcher thread takes up new folders a moment after they are asked for; changes made
// before that are not seen.
inline bool WaitForWatches()
{
    return WaitUntil([] { return ChangeNotifier().WatchedFolderCount() > 0; });
}

inline std::string ShownFolder(TCustomShellExplorerTree& tree)
{
    TNamespace* root = tree.NodeNamespace(tree.HiddenRoot());
    return root ? root->PathBytes() : std::string();
}

// The tests keep the notifier's quiet time short; the 750 ms of the program would only slow
// them down.
class TExplorerTest : public TShellTest {
protected:
    void SetUp() override
    {
        TShellTest::SetUp();
        ChangeNotifier().SetQuietTimeForTesting(60);
    }
    void TearDown() override
    {
        ChangeNotifier().SetQuietTimeForTesting(750);
        TShellTest::TearDown();
    }
    // Leaves out the change notifier and the icon thread, whose timing a test does not control.
    static void WithoutThreads(TCustomShellExplorerTree& view)
    {
        TVETMiscOptions misc = view.VETMiscOptions();
        misc.Exclude(toChangeNotifierThread);
        view.SetVETMiscOptions(misc);
        TVETImageOptions images = view.VETImageOptions();
        images.Exclude(toThreadedImages);
        view.SetVETImageOptions(images);
    }
    // A list showing `folder`, without the change notifier and the icon thread unless asked.
    std::unique_ptr<TTestListview> MakeList(const std::string& folder, bool live = false)
    {
        auto list = std::make_unique<TTestListview>();
        if (!live)
            WithoutThreads(*list);
        list->resize(700, 400);
        list->SetActive(true);
        list->SetRootFolderCustomPath(QString::fromStdString(folder));
        return list;
    }
};
