// Dragging items out of an explorer (what the drag carries, and drags started with the right
// button) and drops made with the right button, which ask what to do.

#include "ShellBrowsing/explorer/MenuTestSupport.h"
#include "ShellBrowsing/operations/OperationsTestSupport.h"

#include "ShellBrowsing/Source/explorer/ExplorerDataObject.h"
#include "ShellBrowsing/Source/operations/ShellClipboard.h"

#include <QDrag>
#include <QMouseEvent>
#include <QUrl>
#include <algorithm>

namespace {

constexpr int AllEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

class ExplorerDragDrop : public TExplorerTest {
protected:
    // The tree over the test's folder and its node of a folder at the top of it.
    std::unique_ptr<TTestTreeview> TreeOverDir()
    {
        auto tree = std::make_unique<TTestTreeview>();
        // why: shown and wide enough for the long names of the tests' folders, so that the
        // tree does not scroll sideways to show its root.
        tree->resize(1000, 400);
        tree->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(tree.get()));
        tree->SetActive(true);
        tree->SetRootFolderCustomPath(QString::fromStdString(Dir()));
        return tree;
    }
    static TPoint Middle(TCustomShellExplorerTree& tree, PLazyNode node)
    {
        const TRect r = tree.NodeDisplayRect(node, NoColumn, true);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    // What a drag of the list's selection carries.
    static std::unique_ptr<QMimeData> DragData(TTestListview& list)
    {
        std::unique_ptr<QMimeData> data;
        list.FireCreateDataObject(data);
        return data;
    }
};

// A list whose drags are recorded instead of run.
class TDragRecorder : public TTestListview {
public:
    using TTestListview::TTestListview;
    int Drags = 0;
    QStringList Formats;
    std::vector<std::string> Files;

protected:
    Qt::DropAction ExecuteDrag(QDrag& drag, Qt::DropActions) override
    {
        ++Drags;
        Formats = drag.mimeData()->formats();
        bool cut = false;
        ShellClipboard::ReadFileMimeData(drag.mimeData(), Files, cut);
        return Qt::IgnoreAction;
    }
};

} // namespace

TEST_F(ExplorerDragDrop, DragsCarryTheFilesBesideTheTreesOwnFormatsWhateverTheNames)
{
    const std::vector<std::string> names = {"with space.txt", "ünïcödé €.php", "hash#1.txt", "per%20cent.txt",
                                            "100%.txt", "semi;colon?.txt"};
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back(MakeFile("src/" + name, name));
    std::sort(paths.begin(), paths.end());
    auto list = MakeList(PathOf("src"));
    list->SelectAllNodes(false);
    std::unique_ptr<QMimeData> data = DragData(*list);
    ASSERT_NE(dynamic_cast<TVETDataObject*>(data.get()), nullptr);

    const QStringList formats = data->formats();
    for (const char* type : {"text/uri-list", "x-special/gnome-copied-files", "application/x-zentu-lazy-tree-data",
                             "application/x-zentu-lazy-tree-reference"})
        EXPECT_TRUE(formats.contains(QString::fromLatin1(type))) << type;
    EXPECT_FALSE(data->data(QStringLiteral("application/x-zentu-lazy-tree-data")).isEmpty());
    EXPECT_EQ(list->SourceTreeOfDataObject(data.get()), list.get()) << "drops in the program know the tree";

    std::vector<std::string> read;
    bool cut = true;
    ASSERT_TRUE(ShellClipboard::ReadFileMimeData(data.get(), read, cut));
    std::sort(read.begin(), read.end());
    EXPECT_EQ(read, paths);
    EXPECT_FALSE(cut);
    // Qt's own reading of the URLs, as other programs read them.
    std::vector<std::string> byQt;
    for (const QUrl& url : data->urls())
        byQt.push_back(url.toLocalFile().toStdString());
    std::sort(byQt.begin(), byQt.end());
    EXPECT_EQ(byQt, paths);

    MakeDir("dst");
    auto tree = TreeOverDir();
    PLazyNode dst = RowNamed(*tree, "dst", tree->FirstNodeRaw());
    ASSERT_NE(dst, nullptr);
    int effect = AllEffects;
    tree->OleDropped(data.get(), {ssCtrl}, Middle(*tree, dst), effect);
    for (const std::string& name : names)
        EXPECT_EQ(FileText(PathOf("dst/" + name)), name);
}

// A drop made with the right button: the menu's entries and what each choice does.
struct TRightDropCase {
    std::uint32_t Choice;
    bool SourceRemains;
    bool Arrives;
    bool ArrivesAsLink;
};

class ExplorerRightDrop : public ExplorerDragDrop, public ::testing::WithParamInterface<TRightDropCase> {};

TEST_P(ExplorerRightDrop, AsksWhatToDoAndDoesIt)
{
    MakeFile("src/dragged.txt", "payload");
    MakeDir("dst");
    auto list = MakeList(PathOf("src"));
    SelectRows(*list, {"dragged.txt"});
    std::unique_ptr<QMimeData> data = DragData(*list);
    auto tree = TreeOverDir();
    PLazyNode dst = RowNamed(*tree, "dst", tree->FirstNodeRaw());
    ASSERT_NE(dst, nullptr);
    const TPoint at = Middle(*tree, dst);
    int effect = AllEffects;
    tree->OleDragEntered({ssRight}, at, effect);
    TPopupPicker picker("zentuDropEffect", GetParam().Choice);
    // The release of the button is no key state of the drop; the entering was made with it.
    effect = AllEffects;
    tree->OleDropped(data.get(), {}, at, effect);
    EXPECT_EQ(picker.Shown, 1);
    const std::vector<QString> entries = {"Copy Here", "*Move Here", "Link Here", "-", "Cancel"};
    EXPECT_EQ(picker.Entries, entries) << "the default is what the drop would do without keys";
    EXPECT_EQ(static_cast<std::uint32_t>(effect), GetParam().Choice);
    EXPECT_EQ(Exists(PathOf("src/dragged.txt")), GetParam().SourceRemains);
    EXPECT_EQ(Exists(PathOf("dst/dragged.txt")), GetParam().Arrives);
    EXPECT_EQ(IsLinkEntry(PathOf("dst/dragged.txt")), GetParam().ArrivesAsLink);
    if (GetParam().Arrives) {
        EXPECT_EQ(FileText(PathOf("dst/dragged.txt")), "payload");
    }
}

INSTANTIATE_TEST_SUITE_P(Choices, ExplorerRightDrop,
                         ::testing::Values(TRightDropCase{DROPEFFECT_COPY, true, true, false},
                                           TRightDropCase{DROPEFFECT_MOVE, false, true, false},
                                           TRightDropCase{DROPEFFECT_LINK, true, true, true},
                                           TRightDropCase{DROPEFFECT_NONE, true, false, false}));

TEST_F(ExplorerDragDrop, ALeftButtonDropAsksNothing)
{
    MakeFile("src/dragged.txt", "payload");
    MakeDir("dst");
    auto list = MakeList(PathOf("src"));
    SelectRows(*list, {"dragged.txt"});
    std::unique_ptr<QMimeData> data = DragData(*list);
    auto tree = TreeOverDir();
    PLazyNode dst = RowNamed(*tree, "dst", tree->FirstNodeRaw());
    const TPoint at = Middle(*tree, dst);
    int effect = AllEffects;
    tree->OleDragEntered({ssLeft}, at, effect);
    TPopupPicker picker("zentuDropEffect", QVariant());
    effect = AllEffects;
    tree->OleDropped(data.get(), {ssCtrl}, at, effect);
    EXPECT_EQ(picker.Shown, 0);
    EXPECT_EQ(effect, int(DROPEFFECT_COPY));
    EXPECT_EQ(FileText(PathOf("dst/dragged.txt")), "payload");
}

// A press on an item and a move with the button held start a drag of it, with either button,
// where the explorer lets items be dragged.
struct TDragStartCase {
    Qt::MouseButton Button;
    bool DragDrop;
};

class ExplorerDragStart : public ExplorerDragDrop, public ::testing::WithParamInterface<TDragStartCase> {};

TEST_P(ExplorerDragStart, PressAndMoveStartADragOnlyWhereItemsMayBeDragged)
{
    MakeFile("a.txt");
    const Qt::MouseButton button = GetParam().Button;
    TDragRecorder list;
    TVETMiscOptions misc = list.VETMiscOptions();
    misc.Exclude(toChangeNotifierThread);
    list.SetVETMiscOptions(misc);
    if (GetParam().DragDrop) {
        TVETShellOptions shell = list.VETShellOptions();
        shell.Include(toDragDrop);
        list.SetVETShellOptions(shell);
    }
    list.resize(600, 300);
    list.SetActive(true);
    list.SetRootFolderCustomPath(QString::fromStdString(Dir()));
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    const QPoint start = NamePoint(list, RowNamed(list, "a.txt"));
    QTest::mousePress(list.viewport(), button, {}, start);
    const QPoint end = start + QPoint(0, 40);
    QMouseEvent move(QEvent::MouseMove, end, list.viewport()->mapToGlobal(end), Qt::NoButton, button, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &move);
    if (GetParam().DragDrop) {
        EXPECT_EQ(list.Drags, 1);
        EXPECT_TRUE(list.Formats.contains(QStringLiteral("text/uri-list")));
        EXPECT_EQ(list.Files, std::vector<std::string>{PathOf("a.txt")});
        EXPECT_EQ(list.SelectionDataObject(), nullptr) << "the items' data goes with the drag";
    } else {
        EXPECT_EQ(list.Drags, 0);
        TPopupPicker picker("zentuVerb", QVariant());
        QTest::mouseRelease(list.viewport(), button, {}, end);
    }
    EXPECT_FALSE(list.ContextMenuManager().RightClickActive());
}

INSTANTIATE_TEST_SUITE_P(Buttons, ExplorerDragStart,
                         ::testing::Values(TDragStartCase{Qt::RightButton, true}, TDragStartCase{Qt::RightButton, false},
                                           TDragStartCase{Qt::LeftButton, true}, TDragStartCase{Qt::LeftButton, false}));
