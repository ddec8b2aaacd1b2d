// Icon lookups of the folder tree around a collapse: the rows a collapse hides give up their
// lookups and ask again when shown again; the rows still shown keep theirs and get their icons.

#include "ShellBrowsing/explorer/ExplorerTestSupport.h"

#include "ShellBrowsing/Source/explorer/IconThread.h"

#include "TreeView/Source/header/LTHeader.h"

#include <QThread>

namespace {

class ExplorerIconLookups : public TExplorerTest {
protected:
    std::unique_ptr<TTestTreeview> ThreadedTree()
    {
        auto tree = std::make_unique<TTestTreeview>();
        WithoutThreads(*tree);
        TVETImageOptions images = tree->VETImageOptions();
        images.Include(toThreadedImages);
        images.Include(toImages);
        tree->SetVETImageOptions(images);
        tree->resize(300, 2000);
        tree->SetActive(true);
        tree->SetRootFolderCustomPath(QString::fromStdString(Dir()));
        return tree;
    }

    // What painting does for each shown row: the icon is asked for.
    static void PaintRows(TTestTreeview& tree, PLazyNode parent)
    {
        bool ghosted = false;
        int index = -1;
        for (PLazyNode node = parent->ChildHead; node; node = node->NextLink)
            tree.FireGetImageIndex(node, TLTImageKind::ikNormal, tree.Header().MainColumn(), ghosted, index);
    }

    static bool AllIconsIn(TTestTreeview& tree, PLazyNode parent)
    {
        for (PLazyNode node = parent->ChildHead; node; node = node->NextLink)
            if (!tree.NodeNamespace(node)->ThreadIconLoaded())
                return false;
        return true;
    }

    // Paints the rows (as the screen would while waiting) until all of them have their icons.
    static bool IconsArrive(TTestTreeview& tree, PLazyNode parent)
    {
        return WaitUntil([&] {
            PaintRows(tree, parent);
            return AllIconsIn(tree, parent);
        });
    }
};

} // namespace

TEST_F(ExplorerIconLookups, CollapsingAFolderKeepsTheLookupsOfTheRowsStillShown)
{
    for (int i = 0; i < 40; ++i) {
        MakeDir("collapsed/c" + std::to_string(i));
        MakeDir("shown/s" + std::to_string(i));
    }
    auto tree = ThreadedTree();
    ASSERT_TRUE(tree->ThreadedImagesOn());
    PLazyNode root = tree->FirstNodeRaw();
    PLazyNode collapsed = RowNamed(*tree, "collapsed", root);
    PLazyNode shown = RowNamed(*tree, "shown", root);
    ASSERT_TRUE(collapsed && shown);
    tree->SetNodeExpanded(collapsed, true);
    tree->SetNodeExpanded(shown, true);
    ASSERT_EQ(shown->NumChildren, 40u);
    // Both folders' rows ask for their icons; the collapse comes before any answer is taken in.
    PaintRows(*tree, collapsed);
    PaintRows(*tree, shown);
    tree->SetNodeExpanded(collapsed, false);
    EXPECT_TRUE(IconsArrive(*tree, shown)) << "the rows still shown get their icons";

    // The hidden rows gave their lookups up and ask again once shown.
    tree->SetNodeExpanded(collapsed, true);
    EXPECT_TRUE(IconsArrive(*tree, collapsed));
}

TEST_F(ExplorerIconLookups, AnswersThatArrivedBeforeACollapseAreKept)
{
    for (int i = 0; i < 5; ++i)
        MakeDir("folder/f" + std::to_string(i));
    MakeDir("other");
    auto tree = ThreadedTree();
    PLazyNode root = tree->FirstNodeRaw();
    PLazyNode folder = RowNamed(*tree, "folder", root);
    tree->SetNodeExpanded(folder, true);
    PaintRows(*tree, root);
    PaintRows(*tree, folder);
    // The worker answers (posted messages) while no event is taken in.
    for (int i = 0; i < 1000 && TIconThreadManager::Instance().QueuedCount() > 0; ++i)
        QThread::msleep(10);
    ASSERT_EQ(TIconThreadManager::Instance().QueuedCount(), 0);
    QThread::msleep(200);
    tree->SetNodeExpanded(folder, false);
    EXPECT_TRUE(AllIconsIn(*tree, root)) << "answers already posted are applied, not thrown away";
}
