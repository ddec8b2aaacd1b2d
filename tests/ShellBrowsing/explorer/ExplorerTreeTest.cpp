// The folder tree and the file list over temporary folders: what they list, how they sort, how
// they browse and follow each other, and that a refresh keeps the user's view.

#include "ShellBrowsing/explorer/ExplorerTestSupport.h"

#include "ShellBrowsing/Source/explorer/ChangeDispatch.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"

#include "TreeView/Source/header/LTColumn.h"
#include "TreeView/Source/header/LTHeader.h"

#include "Platform/controls/Keys.h"
#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"

#include <QTest>
#include <fstream>
#include <sys/stat.h>
#include <utime.h>

namespace {

void SetModified(const std::string& path, time_t when)
{
    struct utimbuf times{when, when};
    ::utime(path.c_str(), &times);
}

std::unique_ptr<TTestTreeview> MakeTree(const std::string& root)
{
    auto tree = std::make_unique<TTestTreeview>();
    TVETMiscOptions misc = tree->VETMiscOptions();
    misc.Exclude(toChangeNotifierThread);
    tree->SetVETMiscOptions(misc);
    tree->resize(300, 400);
    tree->SetActive(true);
    tree->SetRootFolderCustomPath(QString::fromStdString(root));
    return tree;
}

class ExplorerTree : public TExplorerTest {};

} // namespace

TEST_F(ExplorerTree, TreeListsOnlyFoldersAndListListsEverythingOfItsFolder)
{
    MakeDir("beta");
    MakeDir("alpha/inner");
    MakeFile("zeta.txt");
    MakeFile(".hidden");
    auto tree = MakeTree(Dir());
    PLazyNode root = tree->FirstNodeRaw();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(tree->NodeNamespace(root)->PathBytes(), Dir());
    EXPECT_TRUE(root->Has(nsOpen)) << "the root folder node starts expanded";
    EXPECT_EQ(RowNames(*tree, root), (std::vector<std::string>{"alpha", "beta"}));
    PLazyNode alpha = RowNamed(*tree, "alpha", root);
    EXPECT_TRUE(alpha->Has(nsMayHaveChildren)) << "a folder with a sub-folder gets its button";
    PLazyNode beta = RowNamed(*tree, "beta", root);
    tree->EnsureNodeReady(beta, false);
    EXPECT_FALSE(beta->Has(nsMayHaveChildren)) << "an empty folder gets none";

    auto list = MakeList(Dir());
    EXPECT_EQ(RowNames(*list), (std::vector<std::string>{"alpha", "beta", ".hidden", "zeta.txt"}))
        << "folders first, then files; hidden items too";
}

TEST_F(ExplorerTree, CustomRootPathMustNameAFolder)
{
    MakeDir("sub");
    auto tree = MakeTree(Dir());
    tree->SetRootFolderCustomPath(QString::fromStdString(PathOf("missing")));
    EXPECT_EQ(tree->RootNamespace()->PathBytes(), Dir()) << "a missing folder changes nothing";
    tree->SetRootFolderCustomPath(QString::fromStdString(PathOf("sub")));
    EXPECT_EQ(tree->RootFolderCustomPath().toStdString(), PathOf("sub") + "/");
    bool asked = false;
    tree->OnRootChanging = [&](TCustomShellExplorerTree*, TRootFolder, TNamespace*, bool& allow) {
        asked = true;
        allow = false;
    };
    tree->SetRootFolderCustomPath(QString::fromStdString(Dir()));
    EXPECT_TRUE(asked);
    EXPECT_EQ(tree->RootNamespace()->PathBytes(), PathOf("sub")) << "a refused change keeps the old root";
}

TEST_F(ExplorerTree, EnumFolderHandlerKeepsItemsOut)
{
    MakeFile("a.php");
    MakeFile("b.txt");
    MakeFile("c.inc");
    TTestListview list;
    list.OnEnumFolder = [](TCustomShellExplorerTree*, TNamespace* ns, bool& allow) {
        const QString name = ns->DisplayNameInFolder();
        allow = ns->IsFolderItem() || name.endsWith(".php") || name.endsWith(".inc");
    };
    list.SetActive(true);
    list.SetRootFolderCustomPath(QString::fromStdString(Dir()));
    EXPECT_EQ(RowNames(list), (std::vector<std::string>{"a.php", "c.inc"}));
}

TEST_F(ExplorerTree, BrowseToExpandsThePathAndSelectsTheTarget)
{
    MakeDir("a/b/c");
    MakeDir("x/y");
    auto tree = MakeTree(Dir());
    PLazyNode root = tree->FirstNodeRaw();
    ASSERT_TRUE(tree->BrowseToPath(QString::fromStdString(PathOf("x/y"))));
    ASSERT_TRUE(tree->BrowseToPath(QString::fromStdString(PathOf("a/b/c"))));
    const std::vector<PLazyNode> selected = tree->CollectSelectedNodes(false);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(tree->NodeNamespace(selected.front())->PathBytes(), PathOf("a/b/c"));
    EXPECT_EQ(tree->FocusNode(), selected.front());
    EXPECT_TRUE(RowNamed(*tree, "a", root)->Has(nsOpen));
    EXPECT_FALSE(RowNamed(*tree, "x", root)->Has(nsOpen)) << "the other paths collapse first";
    EXPECT_FALSE(tree->BrowseToPath("/usr")) << "outside the root there is nothing to browse to";
    EXPECT_EQ(tree->NodeNamespace(tree->CollectSelectedNodes(false).front())->PathBytes(), PathOf("a/b/c"));
}

TEST_F(ExplorerTree, ListFollowsTheTreeAndTheTreeFollowsTheList)
{
    MakeFile("top.txt");
    MakeFile("docs/readme.txt");
    MakeFile("docs/inner/deep.txt");
    auto tree = MakeTree(Dir());
    auto list = MakeList(Dir());
    tree->SetShellExplorerListview(list.get());
    list->SetShellExplorerTreeview(tree.get());
    const int links = VETChangeDispatch().LinkCount();
    list->SetShellExplorerTreeview(tree.get());
    EXPECT_EQ(VETChangeDispatch().LinkCount(), links) << "setting the same partner twice registers one link";

    ASSERT_TRUE(tree->BrowseToPath(QString::fromStdString(PathOf("docs"))));
    EXPECT_EQ(ShownFolder(*list), PathOf("docs"));
    EXPECT_EQ(RowNames(*list), (std::vector<std::string>{"inner", "readme.txt"}));

    // Entering a folder of the list selects it in the tree.
    PLazyNode inner = RowNamed(*list, "inner");
    list->SetNodeSelected(inner, true);
    list->AssignFocusedNode(inner);
    WORD key = VK_RETURN;
    TShiftState shift;
    list->FireKeyAction(key, shift);
    EXPECT_EQ(ShownFolder(*list), PathOf("docs/inner"));
    EXPECT_EQ(RowNames(*list), (std::vector<std::string>{"deep.txt"}));
    const std::vector<PLazyNode> selected = tree->CollectSelectedNodes(false);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(tree->NodeNamespace(selected.front())->PathBytes(), PathOf("docs/inner"));

    list->SetShellExplorerTreeview(nullptr);
    tree->SetShellExplorerListview(nullptr);
    EXPECT_EQ(VETChangeDispatch().LinkCount(), links - 2);
}

TEST_F(ExplorerTree, BackspaceBrowsesUpAndStopsAtTheRoot)
{
    MakeFile("one/two/file.txt");
    auto list = MakeList(Dir());
    TVETMiscOptions misc = list->VETMiscOptions();
    misc.Include(toListviewLimitBrowseToRoot);
    list->SetVETMiscOptions(misc);
    ASSERT_TRUE(list->BrowseToPath(QString::fromStdString(PathOf("one/two"))));
    EXPECT_EQ(ShownFolder(*list), PathOf("one/two"));
    QTest::keyClick(list.get(), Qt::Key_Backspace);
    EXPECT_EQ(ShownFolder(*list), PathOf("one"));
    QTest::keyClick(list.get(), Qt::Key_Backspace);
    EXPECT_EQ(ShownFolder(*list), Dir());
    QTest::keyClick(list.get(), Qt::Key_Backspace);
    EXPECT_EQ(ShownFolder(*list), Dir()) << "the list does not go above its root";
    EXPECT_FALSE(list->BrowseToPath(QString::fromStdString(FakeHome())));
    EXPECT_EQ(ShownFolder(*list), Dir());
}

TEST_F(ExplorerTree, ListShowsNameSizeTypeAndModifiedColumns)
{
    MakeFile("page.php", std::string(2048, 'x'));
    MakeDir("folder");
    auto list = MakeList(Dir());
    TLTHeader& header = list->Header();
    ASSERT_GE(header.Columns().Count(), 4);
    EXPECT_EQ(header.Columns()[0]->Text(), "Name");
    EXPECT_EQ(header.Columns()[1]->Text(), "Size");
    EXPECT_EQ(header.Columns()[2]->Text(), "Type");
    EXPECT_EQ(header.Columns()[3]->Text(), "Modified");
    PLazyNode page = RowNamed(*list, "page.php");
    EXPECT_EQ(list->GetCellText(page, 0), "page.php");
    EXPECT_EQ(list->GetCellText(page, 1), "2 KB");
    EXPECT_FALSE(list->GetCellText(page, 2).isEmpty());
    EXPECT_FALSE(list->GetCellText(page, 3).isEmpty());
    EXPECT_EQ(list->GetCellText(RowNamed(*list, "folder"), 1), "") << "folders show no size";
}

TEST_F(ExplorerTree, VETColumnsAreNineWithTheLastFourHidden)
{
    MakeFile("one.txt", "1");
    auto list = MakeList(Dir());
    list->SetColumnDetails(TColumnDetailType::cdVETColumns);
    TLazyTreeColumns& columns = list->Header().Columns();
    ASSERT_EQ(columns.Count(), 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(columns[i]->Options().Contains(coVisible), i < 5) << i;
    PLazyNode one = RowNamed(*list, "one.txt");
    EXPECT_EQ(list->GetCellText(one, 1), "1 KB");
    list->SetFileSizeFormat(TFileSizeFormat::fsfActual);
    EXPECT_EQ(list->GetCellText(one, 1), "1");
    EXPECT_EQ(list->GetCellText(one, 8).toStdString(), PathOf("one.txt"));
    list->SetColumnDetails(TColumnDetailType::cdUser);
    EXPECT_EQ(columns.Count(), 0);
    EXPECT_FALSE(list->Header().Options().Contains(hoVisible));
}

// Sorting by each column: folders stay ahead of files in ascending order.
struct TSortCase {
    int Column;
    std::vector<std::string> Ascending;
};

class ExplorerSort : public TExplorerTest, public ::testing::WithParamInterface<TSortCase> {};

TEST_P(ExplorerSort, ByColumn)
{
    MakeDir("dir");
    SetModified(MakeFile("b.txt", std::string(3000, 'b')), 1'000'000'000);
    SetModified(MakeFile("a.zz", std::string(10, 'a')), 1'200'000'000);
    SetModified(MakeFile("c.php", std::string(50000, 'c')), 1'100'000'000);
    auto list = MakeList(Dir());
    list->ApplyHeaderClick(GetParam().Column, {});
    if (GetParam().Column == 0)
        list->ApplyHeaderClick(GetParam().Column, {}); // the name column is the sort column already
    EXPECT_EQ(list->Header().SortColumn(), GetParam().Column);
    std::vector<std::string> expected = GetParam().Ascending;
    const bool descending = list->Header().SortDirection() == TSortDirection::sdDescending;
    if (descending)
        std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(RowNames(*list), expected);
    list->ApplyHeaderClick(GetParam().Column, {});
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(RowNames(*list), expected) << "a second click flips the direction";
}

INSTANTIATE_TEST_SUITE_P(Columns, ExplorerSort,
                         ::testing::Values(TSortCase{0, {"dir", "a.zz", "b.txt", "c.php"}},
                                           TSortCase{1, {"dir", "a.zz", "b.txt", "c.php"}},
                                           TSortCase{3, {"dir", "b.txt", "c.php", "a.zz"}}));

TEST_F(ExplorerTree, SortByTypeWithExtensionsOrdersByExtensionThenName)
{
    MakeDir("dir");
    MakeFile("b.txt");
    MakeFile("a.txt");
    MakeFile("z.php");
    auto list = MakeList(Dir());
    list->SetFileSort(TFileSort::fsFileExtension);
    list->ApplyHeaderClick(2, {});
    std::vector<std::string> rows = RowNames(*list);
    if (list->Header().SortDirection() == TSortDirection::sdDescending)
        std::reverse(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{"dir", "z.php", "a.txt", "b.txt"}));
}

TEST_F(ExplorerTree, HeaderShiftClickHidesAndCtrlClickFitsAColumn)
{
    MakeFile("a-rather-long-file-name-that-needs-room.txt");
    auto list = MakeList(Dir());
    TLazyTreeColumn* type = list->Header().Columns()[2];
    const int width = type->Width();
    list->ApplyHeaderClick(2, {ssShift});
    EXPECT_EQ(type->Width(), 0);
    list->ApplyHeaderClick(2, {ssShift});
    EXPECT_EQ(type->Width(), width);
    TLazyTreeColumn* name = list->Header().Columns()[0];
    const int nameWidth = name->Width();
    list->ApplyHeaderClick(0, {ssCtrl});
    EXPECT_EQ(name->Width(), list->WidestCellInColumn(0));
    list->ApplyHeaderClick(0, {ssCtrl});
    EXPECT_EQ(name->Width(), nameWidth);
}

TEST_F(ExplorerTree, RefreshKeepsExpansionSelectionAndScrollAndShowsNewItems)
{
    for (int i = 0; i < 60; ++i)
        MakeDir("d" + std::to_string(100 + i) + "/sub");
    auto tree = MakeTree(Dir());
    ASSERT_TRUE(tree->BrowseToPath(QString::fromStdString(PathOf("d150/sub"))));
    PLazyNode root = tree->FirstNodeRaw();
    tree->SetNodeExpanded(RowNamed(*tree, "d105", root), true);
    tree->SetOffsetY(-300);
    const int offset = tree->OffsetY();
    ASSERT_LT(offset, 0);
    MakeDir("d100/new");

    ASSERT_TRUE(tree->RefreshKeepingState(false));
    root = tree->FirstNodeRaw();
    EXPECT_TRUE(RowNamed(*tree, "d105", root)->Has(nsOpen));
    PLazyNode d150 = RowNamed(*tree, "d150", root);
    EXPECT_TRUE(d150->Has(nsOpen));
    const std::vector<PLazyNode> selected = tree->CollectSelectedNodes(false);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(tree->NodeNamespace(selected.front())->PathBytes(), PathOf("d150/sub"));
    EXPECT_EQ(tree->OffsetY(), offset);
    PLazyNode d100 = RowNamed(*tree, "d100", root);
    tree->SetNodeExpanded(d100, true);
    EXPECT_EQ(RowNames(*tree, d100), (std::vector<std::string>{"new", "sub"}));
}

TEST_F(ExplorerTree, TreeStreamsAreRefused)
{
    auto tree = MakeTree(Dir());
    TMemoryStream stream;
    EXPECT_THROW(tree->WriteTreeStream(stream), EAssertionFailed);
    EXPECT_THROW(tree->ReadTreeStream(stream), EAssertionFailed);
}
