// Captured tree states and named views over temporary folders: what a capture keeps, that a
// view comes back in another tree and through a file, that check marks and per-folder column
// layouts survive refreshes, browsing and streams, and that damaged or old streams are handled.

#include "ShellBrowsing/explorer/ExplorerTestSupport.h"

#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/views/ExplorerViewManager.h"
#include "ShellBrowsing/Source/views/NodeStorage.h"
#include "ShellBrowsing/Source/views/ViewStreamIO.h"

#include "TreeView/Source/core/LTOptions.h"
#include "TreeView/Source/header/LTColumn.h"
#include "TreeView/Source/header/LTHeader.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"

#include <filesystem>

namespace {

std::unique_ptr<TTestTreeview> MakeTree(const std::string& root, bool checks = false)
{
    auto tree = std::make_unique<TTestTreeview>();
    TVETMiscOptions misc = tree->VETMiscOptions();
    misc.Exclude(toChangeNotifierThread);
    tree->SetVETMiscOptions(misc);
    if (checks)
        tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions() + toCheckSupport);
    tree->resize(300, 400);
    tree->SetActive(true);
    tree->SetRootFolderCustomPath(QString::fromStdString(root));
    return tree;
}

// The node of a path below the tree's single root node ("a/b").
PLazyNode NodeAt(TCustomShellExplorerTree& tree, const std::string& path)
{
    PLazyNode node = tree.FirstNodeRaw();
    std::size_t start = 0;
    while (node && start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::string name = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        tree.SetNodeExpanded(node, true);
        node = RowNamed(tree, name, node);
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return node;
}

std::vector<std::string> SelectedPaths(TCustomShellExplorerTree& tree)
{
    std::vector<std::string> paths;
    for (PLazyNode node : tree.CollectSelectedNodes(false))
        paths.push_back(tree.NodeNamespace(node)->PathBytes());
    return paths;
}

std::string ListPath(PCItemIDList list)
{
    TNamespace ns(PIDLMgr().CopyPIDL(list));
    return list ? ns.PathBytes() : std::string();
}

std::string Saved(TStreamableClass& object, std::int32_t version)
{
    TMemoryStream stream;
    object.SaveToStream(stream, version, true);
    return std::string(stream.View());
}

class ExplorerViews : public TExplorerTest {
protected:
    void MakeFolders()
    {
        MakeDir("A/B/x");
        MakeDir("C/y");
        MakeDir("D");
    }
};

} // namespace

TEST_F(ExplorerViews, ACaptureKeepsTheDeepestOpenFoldersAndRestoringOpensTheirPaths)
{
    MakeFolders();
    auto tree = MakeTree(Dir());
    NodeAt(*tree, "A/B");
    tree->SetNodeExpanded(NodeAt(*tree, "A/B"), true);
    tree->SetNodeExpanded(NodeAt(*tree, "C"), true);
    tree->DeselectAll();
    tree->SetNodeSelected(NodeAt(*tree, "C"), true);
    tree->AssignFocusedNode(NodeAt(*tree, "D"));

    TVETPersistent state;
    state.SaveTree(*tree, true, true);
    std::vector<std::string> leaves;
    for (const TLeafNode& leaf : state.LeafNodes())
        leaves.push_back(ListPath(leaf.PIDL.Get()));
    std::sort(leaves.begin(), leaves.end());
    EXPECT_EQ(leaves, (std::vector<std::string>{PathOf("A/B"), PathOf("C")}));
    EXPECT_EQ(ListPath(state.FocusPIDL()), PathOf("D"));
    EXPECT_EQ(state.RootFolder(), TRootFolder::rfCustom);

    // Written and read back, the state names the same things.
    TMemoryStream stream(Saved(state, ViewStreamVersion));
    TVETPersistent loaded;
    loaded.LoadFromStream(stream, 0, true);
    EXPECT_EQ(stream.Position(), stream.Size());
    EXPECT_EQ(loaded.RootFolderCustomPath(), state.RootFolderCustomPath());
    EXPECT_TRUE(ILIsEqual(loaded.UppermostPIDL(), state.UppermostPIDL()));
    EXPECT_TRUE(ILIsEqual(loaded.FocusPIDL(), state.FocusPIDL()));
    EXPECT_TRUE(ILIsEqual(loaded.SelectionParent(), state.SelectionParent()));
    ASSERT_EQ(loaded.Selection().size(), state.Selection().size());
    ASSERT_EQ(loaded.LeafNodes().size(), state.LeafNodes().size());

    // Another tree, showing something else, takes the whole view over.
    auto other = MakeTree(PathOf("D"));
    loaded.RestoreTree(*other, true, true, true);
    EXPECT_EQ(other->RootFolderCustomPath().toStdString(), Dir() + "/");
    for (const char* open : {"A", "A/B", "C"})
        EXPECT_TRUE(NodeAt(*other, open)->Has(nsOpen)) << open;
    EXPECT_FALSE(NodeAt(*other, "D")->Has(nsOpen));
    EXPECT_EQ(other->NodeNamespace(other->FocusNode())->PathBytes(), PathOf("D"));
    EXPECT_EQ(SelectedPaths(*other), (std::vector<std::string>{PathOf("C")}));
}

TEST_F(ExplorerViews, ASelectionComesBackWhateverTheSortAndPassesOverDeletedItems)
{
    for (const char* name : {"a.php", "b.txt", "c.php", "d.txt"})
        MakeFile(std::string("F/") + name, std::string(static_cast<std::size_t>(name[0] - 'a' + 1) * 10, 'x'));
    auto list = MakeList(PathOf("F"));
    for (const char* name : {"b.txt", "c.php", "d.txt"})
        list->SetNodeSelected(RowNamed(*list, name), true);
    TVETPersistent state;
    state.SaveTree(*list, true, true);
    std::filesystem::remove(PathOf("F/c.php"));
    list->SortByColumn(1);
    list->SortByColumn(1); // descending by size
    state.RestoreTree(*list, true, false, true);
    EXPECT_EQ(SelectedPaths(*list), (std::vector<std::string>{PathOf("F/d.txt"), PathOf("F/b.txt")}));
}

TEST_F(ExplorerViews, NamedViewsAreStoredOverwrittenAndShownUnderAnyLetterCase)
{
    MakeFolders();
    auto tree = MakeTree(Dir());
    tree->SetNodeExpanded(NodeAt(*tree, "A"), true);
    tree->DeselectAll();
    tree->SetNodeSelected(NodeAt(*tree, "A/B"), true);
    tree->AssignFocusedNode(NodeAt(*tree, "A/B"));
    TViewManager& views = tree->ViewManager();
    views.StoreView(QStringLiteral("Work"), *tree);
    views.StoreView(QStringLiteral("Other"), *tree);
    views.StoreView(QStringLiteral("WORK"), *tree);
    EXPECT_EQ(views.Views.Count(), 2);

    tree->SetNodeExpanded(NodeAt(*tree, "A"), false);
    tree->DeselectAll();
    tree->SetNodeSelected(NodeAt(*tree, "D"), true);
    views.ShowView(QStringLiteral("no such view"), *tree);
    EXPECT_EQ(SelectedPaths(*tree), (std::vector<std::string>{PathOf("D")}));

    views.ShowView(QStringLiteral("work"), *tree);
    EXPECT_TRUE(NodeAt(*tree, "A")->Has(nsOpen));
    EXPECT_EQ(SelectedPaths(*tree), (std::vector<std::string>{PathOf("A/B")}));
    EXPECT_EQ(tree->NodeNamespace(tree->FocusNode())->PathBytes(), PathOf("A/B"));
}

TEST_F(ExplorerViews, CheckMarksSurviveARefreshAndTravelWithAGlobalViewThroughAFile)
{
    MakeFolders();
    auto tree = MakeTree(Dir(), true);
    tree->SetNodeCheckMark(NodeAt(*tree, "C"), csCheckedNormal);
    tree->SetNodeCheckMark(NodeAt(*tree, "A/B"), csCheckedNormal);
    tree->SetNodeCheckMark(NodeAt(*tree, "A/B"), csUncheckedNormal);
    ASSERT_TRUE(tree->RefreshKeepingState(false));
    EXPECT_EQ(tree->GetNodeCheckMark(NodeAt(*tree, "C")), csCheckedNormal);
    EXPECT_EQ(tree->GetNodeCheckMark(NodeAt(*tree, "A/B")), csUncheckedNormal);
    TPIDLHolder b(PathToPIDL(PathOf("A/B")));
    EXPECT_EQ(tree->ViewState().NodeStorage().FindStored(b.Get(), stChecks), nullptr);

    TGlobalViewManager global;
    global.StoreView(QStringLiteral("checked"), *tree);
    const QString file = QString::fromStdString(PathOf("views.dat"));
    global.SaveToFile(file, 0, false);

    TGlobalViewManager reread;
    reread.LoadFromFile(file, 0, false);
    EXPECT_EQ(reread.StreamVersion, ViewStreamVersion);
    auto fresh = MakeTree(PathOf("D"), true);
    reread.ShowView(QStringLiteral("Checked"), *fresh);
    EXPECT_EQ(fresh->GetNodeCheckMark(NodeAt(*fresh, "C")), csCheckedNormal);
    EXPECT_EQ(fresh->GetNodeCheckMark(NodeAt(*fresh, "D")), csUncheckedNormal);
}

TEST_F(ExplorerViews, StreamsOfEveryVersionLoadAndDamagedOnesChangeNothing)
{
    MakeFolders();
    MakeDir("Prüfung");
    auto tree = MakeTree(PathOf("Prüfung"));
    tree->SetRootFolderCustomPath(QString::fromStdString(Dir()));
    tree->SetNodeExpanded(NodeAt(*tree, "A"), true);
    TViewManager views;
    views.StoreView(QStringLiteral("Übersicht"), *tree);
    auto other = MakeTree(PathOf("Prüfung"));
    views.StoreView(QStringLiteral("second"), *other);

    for (std::int32_t version = 0; version <= ViewStreamVersion; ++version) {
        SCOPED_TRACE(version);
        TMemoryStream stream(Saved(views, version));
        TViewManager loaded;
        loaded.LoadFromStream(stream, 0, true);
        ASSERT_EQ(loaded.Views.Count(), 2);
        TView* first = loaded.FindView(QStringLiteral("übersicht"));
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->RootFolderCustomPath(), tree->RootFolderCustomPath());
        EXPECT_EQ(loaded.FindView(QStringLiteral("SECOND"))->RootFolderCustomPath().toStdString(),
                  PathOf("Prüfung") + "/");
        ASSERT_EQ(first->LeafNodes().size(), 1u);
        EXPECT_EQ(ListPath(first->LeafNodes()[0].PIDL.Get()), PathOf("A"));
    }

    // Cut anywhere or with a count the data cannot hold, nothing is replaced.
    const std::string good = Saved(views, ViewStreamVersion);
    TViewManager target;
    target.StoreView(QStringLiteral("kept"), *other);
    for (std::size_t length = 0; length < good.size(); length += 3) {
        TMemoryStream cut(good.substr(0, length));
        EXPECT_THROW(target.LoadFromStream(cut, 0, true), EStreamError) << length;
        ASSERT_EQ(target.Views.Count(), 1);
        EXPECT_NE(target.FindView(QStringLiteral("kept")), nullptr);
    }
    std::string huge = good;
    huge.replace(8, 4, std::string("\xff\xff\xff\x0f", 4)); // the view count
    TMemoryStream stream(huge);
    EXPECT_THROW(target.LoadFromStream(stream, 0, true), EReadError);
    EXPECT_EQ(target.Views.Count(), 1);
}

TEST_F(ExplorerViews, EachFolderKeepsItsColumnLayoutWhileBrowsingRefreshingAndThroughViews)
{
    MakeFile("A/a.php");
    MakeFile("B/b.php");
    auto list = MakeList(Dir());
    list->SetVETMiscOptions(list->VETMiscOptions() + toPersistentColumns);
    ASSERT_TRUE(list->BrowseToPath(QString::fromStdString(PathOf("A"))));
    TLazyTreeColumns& columns = list->Header().Columns();
    ASSERT_GE(columns.Count(), 4);
    const int defaultWidth = columns[1]->Width();
    columns[1]->SetWidth(33);
    columns[2]->SetOptions(columns[2]->Options() - coVisible);
    columns[3]->SetPosition(0);
    list->StoreColumnState();

    auto layoutIsA = [&] {
        return columns[1]->Width() == 33 && !columns[2]->Options().Contains(coVisible) && columns[3]->Position() == 0;
    };
    ASSERT_TRUE(list->BrowseToPath(QString::fromStdString(PathOf("B"))));
    EXPECT_EQ(columns[1]->Width(), defaultWidth);
    EXPECT_TRUE(columns[2]->Options().Contains(coVisible));
    EXPECT_EQ(columns[3]->Position(), 3);
    ASSERT_TRUE(list->BrowseToPath(QString::fromStdString(PathOf("A"))));
    EXPECT_TRUE(layoutIsA());
    ASSERT_TRUE(list->RefreshKeepingState(false));
    EXPECT_TRUE(layoutIsA());

    TGlobalViewManager global;
    global.StoreView(QStringLiteral("layout"), *list);
    TMemoryStream stream(Saved(global, 0));
    TGlobalViewManager reread;
    reread.LoadFromStream(stream, 0, false);
    auto fresh = MakeList(PathOf("B"));
    fresh->SetVETMiscOptions(fresh->VETMiscOptions() + toPersistentColumns);
    reread.ShowView(QStringLiteral("layout"), *fresh);
    TLazyTreeColumns& freshColumns = fresh->Header().Columns();
    EXPECT_EQ(ShownFolder(*fresh), PathOf("A"));
    EXPECT_EQ(freshColumns[1]->Width(), 33);
    EXPECT_FALSE(freshColumns[2]->Options().Contains(coVisible));
    EXPECT_EQ(freshColumns[3]->Position(), 0);
}
