// Commands on items: copy, cut and paste through the clipboard, delete to the trash, rename in
// place from the context menu, new folders, and drops from the list onto a folder of the tree.

#include "ShellBrowsing/explorer/ExplorerTestSupport.h"
#include "ShellBrowsing/operations/OperationsTestSupport.h"

#include "ShellBrowsing/Source/namespace/ShellLocations.h"

#include "TreeView/Source/strings/LTStringEditLink.h"

#include "Platform/controls/Keys.h"

#include <QApplication>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <filesystem>

namespace {

class ExplorerCommands : public TExplorerTest {
protected:
    void Select(TCustomShellExplorerTree& tree, std::initializer_list<std::string> names, PLazyNode parent = nullptr)
    {
        SelectRows(tree, names, parent);
    }

    // Chooses the menu entry of `verb` as soon as the context menu shows.
    void ChooseFromMenu(TCustomShellExplorerTree& tree, const QString& verb)
    {
        tree.OnContextMenuShow = [verb](TCustomShellExplorerTree*, TNamespace*, QMenu* menu, bool&) {
            QTimer::singleShot(0, menu, [menu, verb] {
                for (QAction* action : menu->actions())
                    if (action->property("zentuVerb").toString() == verb) {
                        menu->setActiveAction(action);
                        QTest::keyClick(menu, Qt::Key_Return);
                        return;
                    }
                menu->close();
            });
        };
    }

    // Types a name into the open editor and ends the edit.
    void TypeName(TCustomShellExplorerTree& tree, const QString& name)
    {
        TLTEdit* edit = tree.findChild<TLTEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->SetEditText(name);
        edit->document()->setModified(true);
        tree.FinishNodeEdit();
    }
};

} // namespace

TEST_F(ExplorerCommands, CopyAndPasteCopiesIntoTheSelectedFolder)
{
    MakeFile("src/a.txt", "alpha");
    MakeFile("src/b.txt", "beta");
    MakeDir("dst");
    auto list = MakeList(PathOf("src"));
    Select(*list, {"a.txt", "b.txt"});
    list->CopySelectionToClipboard();
    EXPECT_TRUE(list->TreeStates().Contains(tsCopyPending)) << "copied items are marked";

    WORD key = 'V';
    TShiftState ctrl{ssCtrl};
    // The tree pastes into the selected folder; the list into the folder it shows.
    TTestTreeview tree;
    tree.SetActive(true);
    tree.SetRootFolderCustomPath(QString::fromStdString(Dir()));
    Select(tree, {"dst"}, tree.FirstNodeRaw());
    tree.FireKeyAction(key, ctrl);
    EXPECT_TRUE(Exists(PathOf("dst/a.txt")));
    EXPECT_TRUE(Exists(PathOf("dst/b.txt")));
    EXPECT_TRUE(Exists(PathOf("src/a.txt"))) << "a copy leaves the original";
    EXPECT_FALSE(Exists(PathOf("dst/a.txt")) && std::filesystem::is_symlink(PathOf("dst/a.txt")))
        << "pasting makes copies, not links";
}

TEST_F(ExplorerCommands, CutAndPasteInTheListMovesIntoTheShownFolder)
{
    MakeFile("src/moved.txt", "m");
    MakeDir("dst/sub");
    auto source = MakeList(PathOf("src"));
    Select(*source, {"moved.txt"});
    source->CutSelectionToClipboard();
    EXPECT_TRUE(source->TreeStates().Contains(tsCutPending));
    auto target = MakeList(PathOf("dst"));
    Select(*target, {"sub"});
    WORD key = 'V';
    TShiftState ctrl{ssCtrl};
    target->FireKeyAction(key, ctrl);
    EXPECT_TRUE(Exists(PathOf("dst/moved.txt"))) << "into the folder shown, not the selected sub-folder";
    EXPECT_FALSE(Exists(PathOf("src/moved.txt")));
}

TEST_F(ExplorerCommands, DeleteMovesTheSelectionToTheTrash)
{
    MakeFile("doomed.txt", "d");
    MakeFile("kept.txt", "k");
    auto list = MakeList(Dir(), true);
    ASSERT_TRUE(WaitForWatches());
    Select(*list, {"doomed.txt"});
    WORD key = VK_DELETE;
    TShiftState none;
    list->FireKeyAction(key, none);
    EXPECT_FALSE(Exists(PathOf("doomed.txt")));
    EXPECT_TRUE(Exists(HomeTrashPath() + "/files/doomed.txt"));
    EXPECT_TRUE(WaitUntil([&] { return RowNamed(*list, "doomed.txt") == nullptr; }));
    EXPECT_EQ(RowNames(*list), (std::vector<std::string>{"kept.txt"}));
    // The other tests expect no trash.
    std::error_code ignored;
    std::filesystem::remove_all(HomeTrashPath(), ignored);
}

TEST_F(ExplorerCommands, ReadOnlyExplorerNeitherCutsNorPastesNorDeletes)
{
    MakeFile("file.txt");
    auto list = MakeList(Dir());
    TVETMiscOptions misc = list->VETMiscOptions();
    misc.Include(toVETReadOnly);
    list->SetVETMiscOptions(misc);
    Select(*list, {"file.txt"});
    WORD key = VK_DELETE;
    TShiftState none;
    list->FireKeyAction(key, none);
    list->CutSelectionToClipboard();
    EXPECT_TRUE(Exists(PathOf("file.txt")));
    EXPECT_FALSE(list->TreeStates().Contains(tsCutPending));
    EXPECT_FALSE(list->PasteFromClipboard());
}

TEST_F(ExplorerCommands, RenameFromTheContextMenuEditsInPlace)
{
    MakeFile("old-name.txt", "x");
    auto list = MakeList(Dir());
    list->show();
    ChooseFromMenu(*list, "rename");
    PLazyNode node = RowNamed(*list, "old-name.txt");
    list->ShowContextMenuAt(node, list->mapToGlobal(QPoint(20, 20)));
    ASSERT_TRUE(list->EditorActive()) << "the menu's Rename opens the editor instead of renaming";
    TypeName(*list, "new-name.txt");
    EXPECT_FALSE(Exists(PathOf("old-name.txt")));
    EXPECT_TRUE(Exists(PathOf("new-name.txt")));
    EXPECT_EQ(list->NodeNamespace(node)->DisplayNameInFolder(), "new-name.txt");
    EXPECT_EQ(list->GetCellText(node, 0), "new-name.txt");
}

TEST_F(ExplorerCommands, RenameOntoATakenNameBeepsAndReopensTheEditor)
{
    MakeFile("one.txt", "1");
    MakeFile("two.txt", "2");
    auto list = MakeList(Dir());
    list->show();
    Select(*list, {"one.txt"});
    ASSERT_TRUE(list->EditSelectedName());
    TypeName(*list, "two.txt");
    EXPECT_EQ(FileText(PathOf("two.txt")), "2") << "nothing is overwritten";
    ASSERT_TRUE(WaitUntil([&] { return list->EditorActive(); }, 3000)) << "the editor comes back";
    list->CancelNodeEdit();
}

TEST_F(ExplorerCommands, CopyFromTheContextMenuMarksTheItems)
{
    MakeFile("copied.txt");
    auto list = MakeList(Dir());
    list->show();
    ChooseFromMenu(*list, "copy");
    PLazyNode node = RowNamed(*list, "copied.txt");
    EXPECT_TRUE(list->ShowContextMenuAt(node, list->mapToGlobal(QPoint(20, 20))));
    EXPECT_TRUE(list->TreeStates().Contains(tsCopyPending));
    EXPECT_FALSE(list->GetNodeSelected(node)) << "a right click on an unselected item restores the selection after";
}

TEST_F(ExplorerCommands, NewFolderIsCreatedSelectedAndEdited)
{
    MakeDir("New Folder");
    auto list = MakeList(Dir());
    list->show();
    const QString name = list->CreateNewFolder(list->RootNamespace()->AbsolutePIDL());
    EXPECT_EQ(name, "New Folder (1)");
    EXPECT_TRUE(std::filesystem::is_directory(PathOf("New Folder (1)")));
    EXPECT_TRUE(list->EditorActive());
    list->CancelNodeEdit();
    const std::vector<PLazyNode> selected = list->CollectSelectedNodes(false);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(list->NodeNamespace(selected.front())->PathBytes(), PathOf("New Folder (1)"));
}

// Dropping the list's file onto a folder of the tree: Ctrl copies, Shift moves.
struct TDropCase {
    TShiftState Keys;
    bool SourceRemains;
};

class ExplorerDrop : public ExplorerCommands, public ::testing::WithParamInterface<TDropCase> {};

TEST_P(ExplorerDrop, ListItemOntoTreeFolder)
{
    MakeFile("src/dragged.txt", "payload");
    MakeDir("dst");
    auto list = MakeList(PathOf("src"));
    TTestTreeview tree;
    tree.resize(400, 400);
    tree.SetActive(true);
    tree.SetRootFolderCustomPath(QString::fromStdString(Dir()));
    PLazyNode dst = RowNamed(tree, "dst", tree.FirstNodeRaw());
    ASSERT_NE(dst, nullptr);
    Select(*list, {"dragged.txt"});
    TNamespaceArray items = list->SelectedNamespaces();
    std::unique_ptr<QMimeData> data = items.front()->DataObjectMulti(items);
    ASSERT_TRUE(data->hasUrls()) << "drags carry text/uri-list";
    const TRect r = tree.NodeDisplayRect(dst, NoColumn, true);
    int effect = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    tree.OleDropped(data.get(), GetParam().Keys, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}, effect);
    EXPECT_EQ(FileText(PathOf("dst/dragged.txt")), "payload");
    EXPECT_EQ(Exists(PathOf("src/dragged.txt")), GetParam().SourceRemains);
}

INSTANTIATE_TEST_SUITE_P(Modifiers, ExplorerDrop,
                         ::testing::Values(TDropCase{{ssCtrl}, true}, TDropCase{{ssShift}, false}));

TEST_F(ExplorerCommands, DropOnAFileOrTheEmptyAreaOfTheListGoesIntoTheShownFolder)
{
    MakeFile("outside/one.txt", "1");
    MakeFile("outside/two.txt", "2");
    MakeFile("shown/resident.txt", "r");
    auto source = MakeList(PathOf("outside"));
    auto list = MakeList(PathOf("shown"));
    auto dropFile = [&](const std::string& name, TPoint at) {
        Select(*source, {name});
        TNamespaceArray items = source->SelectedNamespaces();
        std::unique_ptr<QMimeData> data = items.front()->DataObjectMulti(items);
        int effect = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        list->OleDropped(data.get(), {ssCtrl}, at, effect);
    };
    const TRect row = list->NodeDisplayRect(RowNamed(*list, "resident.txt"), 0, true);
    dropFile("one.txt", {(row.Left + row.Right) / 2, (row.Top + row.Bottom) / 2});
    EXPECT_EQ(FileText(PathOf("shown/one.txt")), "1") << "a file takes no drops; its folder does";
    dropFile("two.txt", {50, 300});
    EXPECT_EQ(FileText(PathOf("shown/two.txt")), "2");
}

TEST_F(ExplorerCommands, KeysMoveTheFocusWithoutTheSelectionAndDropMarks)
{
    MakeFile("a.txt");
    MakeFile("b.txt");
    MakeFile("c.txt");
    auto list = MakeList(Dir());
    list->show();
    Select(*list, {"a.txt"});
    auto press = [&](WORD key, TShiftState shift) { list->FireKeyAction(key, shift); };
    press(VK_DOWN, {ssCtrl});
    EXPECT_EQ(list->FocusNode(), RowNamed(*list, "b.txt"));
    EXPECT_TRUE(list->GetNodeSelected(RowNamed(*list, "a.txt")));
    EXPECT_FALSE(list->GetNodeSelected(RowNamed(*list, "b.txt"))) << "Ctrl+Down moves only the focus";
    press(VK_UP, {ssCtrl});
    EXPECT_EQ(list->FocusNode(), RowNamed(*list, "a.txt"));

    press('C', {ssCtrl});
    EXPECT_TRUE(list->TreeStates().Contains(tsCopyPending));
    press(VK_ESCAPE, {});
    EXPECT_FALSE(list->TreeStates().Contains(tsCopyPending)) << "Escape drops the copy marks";

    press('A', {ssCtrl, ssShift});
    EXPECT_FALSE(list->GetNodeSelected(RowNamed(*list, "a.txt")));
    EXPECT_TRUE(list->GetNodeSelected(RowNamed(*list, "b.txt")));
    EXPECT_TRUE(list->GetNodeSelected(RowNamed(*list, "c.txt"))) << "Shift+Ctrl+A inverts the selection";

    Select(*list, {"c.txt"});
    press(VK_F2, {});
    EXPECT_TRUE(list->EditorActive());
    list->CancelNodeEdit();
}

TEST_F(ExplorerCommands, F3RereadsTheSelectedFolderAndKeepsWhatIsOpenInIt)
{
    MakeDir("top/open/inner");
    MakeDir("top/closed");
    TTestTreeview tree;
    tree.SetActive(true);
    tree.SetRootFolderCustomPath(QString::fromStdString(Dir()));
    ASSERT_TRUE(tree.BrowseToPath(QString::fromStdString(PathOf("top"))));
    tree.SetNodeExpanded(RowNamed(tree, "open", RowNamed(tree, "top", tree.FirstNodeRaw())), true);
    MakeDir("top/added");
    WORD key = VK_F3;
    TShiftState none;
    tree.FireKeyAction(key, none);
    PLazyNode top = RowNamed(tree, "top", tree.FirstNodeRaw());
    EXPECT_EQ(RowNames(tree, top), (std::vector<std::string>{"added", "closed", "open"}));
    EXPECT_TRUE(RowNamed(tree, "open", top)->Has(nsOpen)) << "the folders open in it stay open";
}
