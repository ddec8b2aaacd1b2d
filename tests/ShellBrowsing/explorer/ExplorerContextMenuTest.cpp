// The items' context menu of the explorers: which items a right click or the menu key shows it
// for, what becomes of the selection afterwards, the entries it offers and the commands it runs.

#include "ShellBrowsing/explorer/MenuTestSupport.h"
#include "ShellBrowsing/operations/OperationsTestSupport.h"

#include "ShellBrowsing/Source/operations/ShellClipboard.h"

#include "TreeView/Source/strings/LTStringEditLink.h"

#include "Platform/graphics/ImgList.h"

#include <algorithm>

namespace {

class ExplorerContextMenu : public TExplorerTest {
protected:
    std::unique_ptr<TTestListview> ShownList()
    {
        auto list = MakeList(Dir());
        list->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(list.get()));
        list->OnContextMenuShow = [this](TCustomShellExplorerTree* tree, TNamespace*, QMenu*, bool&) {
            ShownFor.clear();
            for (TNamespace* item : tree->SelectedNamespaces())
                ShownFor.push_back(item->DisplayNameInFolder().toStdString());
            std::sort(ShownFor.begin(), ShownFor.end());
        };
        list->OnContextMenuAfterCmd = [this](TCustomShellExplorerTree*, TNamespace*, const QString& verb, int,
                                             bool succeeded) { Ran.push_back({verb.toStdString(), succeeded}); };
        return list;
    }
    static std::vector<std::string> SelectedNames(TCustomShellExplorerTree& tree)
    {
        std::vector<std::string> names;
        for (TNamespace* item : tree.SelectedNamespaces())
            names.push_back(item->DisplayNameInFolder().toStdString());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string FocusName(TCustomShellExplorerTree& tree)
    {
        TNamespace* ns = tree.NodeNamespace(tree.FocusNode());
        return ns ? ns->DisplayNameInFolder().toStdString() : std::string();
    }

    std::vector<std::string> ShownFor;
    std::vector<std::pair<std::string, bool>> Ran;
};

} // namespace

TEST_F(ExplorerContextMenu, RightClickOnAnUnselectedFileShowsItsMenuAloneAndGivesTheSelectionBack)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        MakeFile(name);
    auto list = ShownList();
    SelectRows(*list, {"b.txt", "c.txt"});
    TPopupPicker picker("zentuVerb", QStringLiteral("copy"));
    RightClick(*list, NamePoint(*list, RowNamed(*list, "a.txt")));
    EXPECT_EQ(picker.Shown, 1);
    EXPECT_EQ(ShownFor, std::vector<std::string>{"a.txt"});
    EXPECT_EQ(Ran, (std::vector<std::pair<std::string, bool>>{{"copy", true}}));
    std::vector<std::string> copied;
    bool cut = true;
    ASSERT_TRUE(ShellClipboard::ClipboardFiles(copied, cut));
    EXPECT_EQ(copied, std::vector<std::string>{PathOf("a.txt")});
    EXPECT_FALSE(cut);
    EXPECT_EQ(SelectedNames(*list), (std::vector<std::string>{"b.txt", "c.txt"}));
    EXPECT_EQ(FocusName(*list), "b.txt");
    EXPECT_FALSE(list->ContextMenuManager().RightClickActive());
}

TEST_F(ExplorerContextMenu, RightClickInsideASelectionShowsTheMenuOfAllAndRunsItOnAll)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        MakeFile(name);
    auto list = ShownList();
    SelectRows(*list, {"a.txt", "b.txt", "c.txt"});
    TPopupPicker picker("zentuVerb", QStringLiteral("link"));
    RightClick(*list, NamePoint(*list, RowNamed(*list, "b.txt")));
    EXPECT_EQ(ShownFor, (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    for (const char* name : {"a (link).txt", "b (link).txt", "c (link).txt"})
        EXPECT_TRUE(IsLinkEntry(PathOf(name))) << name;
    EXPECT_EQ(SelectedNames(*list), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
}

// What stays selected after the menu of a right click on an unselected file closed unused.
struct TRightSelectCase {
    bool RightButtonSelect;
    std::vector<std::string> SelectedAfter;
};

class ExplorerRightButtonSelect : public ExplorerContextMenu, public ::testing::WithParamInterface<TRightSelectCase> {};

TEST_P(ExplorerRightButtonSelect, DecidesWhetherTheClickedFileStaysSelected)
{
    MakeFile("a.txt");
    MakeFile("b.txt");
    auto list = ShownList();
    TVETMiscOptions misc = list->VETMiscOptions();
    if (GetParam().RightButtonSelect)
        misc.Include(toRightButtonSelect);
    list->SetVETMiscOptions(misc);
    SelectRows(*list, {"b.txt"});
    TPopupPicker picker("zentuVerb", QVariant());
    RightClick(*list, NamePoint(*list, RowNamed(*list, "a.txt")));
    EXPECT_EQ(picker.Shown, 1);
    EXPECT_EQ(SelectedNames(*list), GetParam().SelectedAfter);
}

INSTANTIATE_TEST_SUITE_P(Options, ExplorerRightButtonSelect,
                         ::testing::Values(TRightSelectCase{false, {"b.txt"}}, TRightSelectCase{true, {"a.txt"}}));

TEST_F(ExplorerContextMenu, TheLinkEntryGoesWithItsSeparatorWhenTheExplorerHidesIt)
{
    MakeFile("a.txt");
    auto list = ShownList();
    for (const bool hide : {false, true}) {
        SCOPED_TRACE(hide);
        TVETMiscOptions misc = list->VETMiscOptions();
        if (hide)
            misc.Include(toRemoveContextMenuShortCut);
        else
            misc.Exclude(toRemoveContextMenuShortCut);
        list->SetVETMiscOptions(misc);
        TPopupPicker picker("zentuVerb", QVariant());
        RightClick(*list, NamePoint(*list, RowNamed(*list, "a.txt")));
        ASSERT_EQ(picker.Shown, 1);
        const bool hasLink = std::count(picker.Verbs.begin(), picker.Verbs.end(), QStringLiteral("link")) == 1;
        EXPECT_EQ(hasLink, !hide);
        for (std::size_t i = 1; i < picker.Entries.size(); ++i)
            EXPECT_FALSE(picker.Entries[i] == "-" && picker.Entries[i - 1] == "-") << "two separators at " << i;
        for (const char* verb : {"open", "cut", "copy", "delete", "rename", "properties"})
            EXPECT_EQ(std::count(picker.Verbs.begin(), picker.Verbs.end(), QString::fromLatin1(verb)), 1) << verb;
    }
}

TEST_F(ExplorerContextMenu, RenameFromTheMenuOfAnUnselectedFileEditsThatFile)
{
    MakeFile("a.txt");
    MakeFile("b.txt");
    auto list = ShownList();
    SelectRows(*list, {"b.txt"});
    TPopupPicker picker("zentuVerb", QStringLiteral("rename"));
    RightClick(*list, NamePoint(*list, RowNamed(*list, "a.txt")));
    ASSERT_TRUE(list->EditorActive()) << "the earlier selection must not come back and end the edit";
    EXPECT_EQ(FocusName(*list), "a.txt");
    TLTEdit* edit = list->findChild<TLTEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->SetEditText("renamed.txt");
    edit->document()->setModified(true);
    list->FinishNodeEdit();
    EXPECT_TRUE(Exists(PathOf("renamed.txt")));
    EXPECT_FALSE(Exists(PathOf("a.txt")));
    EXPECT_TRUE(Exists(PathOf("b.txt")));
}

TEST_F(ExplorerContextMenu, MenuKeyShowsTheMenuOfTheSelectionBesideItsFirstItem)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        MakeFile(name);
    auto list = ShownList();
    SelectRows(*list, {"b.txt", "c.txt"});
    list->setFocus();
    TPopupPicker picker("zentuVerb", QVariant());
    QTest::keyClick(list.get(), Qt::Key_Menu);
    ASSERT_EQ(picker.Shown, 1);
    EXPECT_EQ(ShownFor, (std::vector<std::string>{"b.txt", "c.txt"}));
    PLazyNode first = RowNamed(*list, "b.txt");
    const TRect row = list->NodeDisplayRect(first, NoColumn, false);
    const TPoint expected = list->ClientToScreen({row.Left + list->Images()->Width() / 2, (row.Top + row.Bottom) / 2});
    EXPECT_EQ(list->ContextMenuManager().MenuPointForNode(first).ToQt(), expected.ToQt());
    EXPECT_EQ(picker.ShownAt, expected.ToQt());
    EXPECT_EQ(SelectedNames(*list), (std::vector<std::string>{"b.txt", "c.txt"}));
}

TEST_F(ExplorerContextMenu, AReadOnlyExplorerShowsNoMenu)
{
    MakeFile("a.txt");
    auto list = ShownList();
    TVETMiscOptions misc = list->VETMiscOptions();
    misc.Include(toVETReadOnly);
    list->SetVETMiscOptions(misc);
    SelectRows(*list, {"a.txt"});
    TPopupPicker picker("zentuVerb", QVariant());
    RightClick(*list, NamePoint(*list, RowNamed(*list, "a.txt")));
    QTest::keyClick(list.get(), Qt::Key_Menu);
    QTest::qWait(100);
    EXPECT_EQ(picker.Shown, 0);
    EXPECT_TRUE(ShownFor.empty());
}

TEST_F(ExplorerContextMenu, RightClickingAnotherFolderOfTheTreeLeavesTheListWhereItWas)
{
    MakeFile("one/in-one.txt");
    MakeFile("two/in-two.txt");
    TTestTreeview tree;
    tree.resize(300, 400);
    tree.SetActive(true);
    tree.SetRootFolderCustomPath(QString::fromStdString(Dir()));
    TTestListview list;
    list.SetActive(true);
    tree.SetShellExplorerListview(&list);
    list.SetShellExplorerTreeview(&tree);
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    PLazyNode root = tree.FirstNodeRaw();
    tree.SetNodeExpanded(root, true);
    PLazyNode one = RowNamed(tree, "one", root);
    ASSERT_NE(one, nullptr);
    tree.SetNodeSelected(one, true);
    tree.AssignFocusedNode(one);
    ASSERT_TRUE(WaitUntil([&] { return ShownFolder(list) == PathOf("one"); }));
    int rebuilds = 0;
    list.OnRootRebuild = [&](TCustomShellExplorerTree*) { ++rebuilds; };
    TPopupPicker picker("zentuVerb", QVariant());
    RightClick(tree, NamePoint(tree, RowNamed(tree, "two", root)));
    EXPECT_EQ(picker.Shown, 1);
    QTest::qWait(200);
    EXPECT_EQ(rebuilds, 0) << "the list never went to the right-clicked folder and back";
    EXPECT_EQ(ShownFolder(list), PathOf("one"));
    EXPECT_TRUE(tree.GetNodeSelected(one));
}
