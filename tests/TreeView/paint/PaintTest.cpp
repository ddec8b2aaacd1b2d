// Painting the rows: only the rows on screen are initialised, each row gets its background,
// the selection colour and the cell events, and the area below the last row is erased.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/core/LTColors.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(Paint, AMillionRootNodesPaintInitialisingOnlyTheRowsOnScreen)
{
    TTestTree tree;
    int inits = 0;
    tree.OnInitNode = [&](TBaseLazyTree*, PLazyNode, PLazyNode, TShellNodeInitStates& states) {
        ++inits;
        states.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = 3; };
    tree.SetRootNodeCount(1000000);
    QImage image(tree.viewport()->size(), QImage::Format_RGB32);
    tree.viewport()->render(&image);
    const int rows = (tree.ClientHeight() + 17) / 18;
    EXPECT_GE(inits, rows - 1);
    EXPECT_LE(inits, rows + 1);
    EXPECT_EQ(tree.HiddenRoot()->SubtreeCount, 1000001u) << "no children were made";
}

TEST(Paint, RowsSelectionAndCellEvents)
{
    TTestTree tree;
    tree.SetRootNodeCount(3);
    // A full-row selection colours the whole row, also left of the (empty) cell content.
    tree.TreeOptions().SetSelectionOptions({toFullRowSelect});
    tree.SetNodeSelected(tree.Root(1), true);
    tree.setFocus();
    std::vector<PLazyNode> cells;
    tree.OnBeforeCellPaint = [&](TBaseLazyTree*, TCanvas&, PLazyNode node, TColumnIndex column, TRect) {
        EXPECT_EQ(column, NoColumn);
        cells.push_back(node);
    };
    tree.OnBeforeItemErase = [&](TBaseLazyTree*, TCanvas&, PLazyNode node, TRect, TColor& color,
                                 TItemEraseAction& action) {
        if (node == tree.Root(2)) {
            color = clRed;
            action = TItemEraseAction::eaColor;
        }
    };
    QImage image(tree.viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    tree.viewport()->render(&image);
    EXPECT_EQ(cells, (std::vector<PLazyNode>{tree.Root(0), tree.Root(1), tree.Root(2)}));
    const QColor window = ToQColor(clWindow);
    EXPECT_EQ(image.pixelColor(5, 5), window);
    EXPECT_NE(image.pixelColor(5, 18 + 5), window) << "the selected row";
    EXPECT_EQ(image.pixelColor(5, 36 + 5), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(5, 18 * 3 + 10), window) << "below the last row";
    EXPECT_FALSE(tree.TreeStates().Contains(tsPainting));
}
