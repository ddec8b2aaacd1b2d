// A string tree as a user sees it, grabbed whole (header, rows, scroll bar) from the offscreen
// screen and checked on a few pixels and on its geometry, not against a stored picture.

#include "TreeView/input/InputTestSupport.h"

#include "TreeView/Source/core/LTColors.h"
#include "TreeView/Source/header/LTHeader.h"

#include "Platform/graphics/ImgList.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

bool Dark(const QImage& image, QPoint p)
{
    return qGray(image.pixel(p)) < 110;
}

bool Red(const QColor& c)
{
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

// Columns of the row at `y` between `from` and `to` whose pixels are red, as [first, last].
std::pair<int, int> RedSpan(const QImage& image, int y, int from, int to)
{
    int first = -1;
    int last = -1;
    for (int x = from; x < to; ++x)
        if (Red(image.pixelColor(x, y))) {
            if (first < 0)
                first = x;
            last = x;
        }
    return {first, last};
}

} // namespace

TEST(Screenshot, AStringTreeWithHeaderChecksImagesAndASelection)
{
    TCustomImageList images(nullptr, 16, 16);
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    images.Add(picture);

    TInputTree tree(0, 3);
    tree.resize(320, 240);
    const char* captions[] = {"Name", "Size"};
    for (const char* caption : captions) {
        TLazyTreeColumn* column = tree.Header().Columns().AddColumn();
        column->SetText(caption);
        column->SetWidth(150);
    }
    tree.Header().SetMainColumn(0);
    tree.Header().SetHeight(20);
    tree.Header().SetOptions(tree.Header().Options() + hoVisible);
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toCheckSupport);
    tree.TreeOptions().SetPaintOptions(tree.TreeOptions().PaintOptions() + toShowVertGridLines);
    tree.SetImages(&images);
    tree.OnGetImageIndex = [](TBaseLazyTree*, PLazyNode, TLTImageKind kind, TColumnIndex column, bool&, int& index) {
        if ((kind == TLTImageKind::ikNormal || kind == TLTImageKind::ikSelected) && column <= 0)
            index = 0;
    };
    tree.OnInitNode = [](TBaseLazyTree*, PLazyNode parent, PLazyNode node, TShellNodeInitStates& states) {
        node->CheckKind = parent ? chkBox : chkTriState;
        if (!parent)
            states.Include(ivsHasChildren);
    };
    tree.SetRootNodeCount(40);
    PLazyNode folder = tree.Root(0);
    tree.FlipExpanded(folder);
    PLazyNode checkedFile = tree.Child(folder, 1);
    tree.SetNodeCheckMark(checkedFile, csCheckedNormal);
    tree.Activate();
    tree.SetNodeSelected(tree.Root(1), true);
    tree.AssignFocusedNode(tree.Root(1));
    QApplication::processEvents();

    const QImage shot = tree.grab().toImage();
    ASSERT_EQ(shot.size(), tree.size() * tree.devicePixelRatio());
    const QPoint origin = tree.viewport()->mapTo(&tree, QPoint(0, 0));
    auto at = [&](QPoint p) { return p + origin; };

    // Geometry: the header lies above the rows and the vertical scroll bar starts below it.
    EXPECT_EQ(origin.y(), tree.Header().Height() + (tree.height() - tree.viewport()->height() - tree.Header().Height()) / 2);
    const QScrollBar* bar = tree.verticalScrollBar();
    ASSERT_TRUE(bar->isVisible()) << "40 folders do not fit";
    EXPECT_GE(bar->mapTo(&tree, QPoint(0, 0)).y(), origin.y());

    // The header: a caption in the first cell, nothing of the rows' white.
    bool captionInk = false;
    for (int x = origin.x() + 2; x < origin.x() + 60; ++x)
        captionInk = captionInk || Dark(shot, {x, origin.y() - tree.Header().Height() / 2});
    EXPECT_TRUE(captionInk) << "\"Name\"";
    const QColor window = ToQColor(tree.Color());
    EXPECT_NE(shot.pixelColor(origin.x() + 200, origin.y() - 3), window) << "the header is not painted as rows";

    // The first folder: its image just left of its label and its tri-state box left of that.
    const TRect label = tree.NodeDisplayRect(folder, 0, true);
    const int rowMiddle = (label.Top + label.Bottom) / 2;
    const auto [first, last] = RedSpan(shot, at({0, rowMiddle}).y(), origin.x(), at({label.Left, 0}).x());
    ASSERT_GE(first, 0) << "the node image";
    EXPECT_EQ(last - first + 1, 16);
    EXPECT_LE(at({label.Left, 0}).x() - last, 6) << "the image stands right before the label";
    const QPoint folderBox = at(tree.CheckPoint(folder));
    EXPECT_LT(folderBox.x(), first);
    EXPECT_TRUE(Dark(shot, folderBox)) << "one checked file of three leaves the folder mixed";
    EXPECT_TRUE(Dark(shot, at(tree.CheckPoint(checkedFile))));
    EXPECT_FALSE(Dark(shot, at(tree.CheckPoint(tree.Child(folder, 0))))) << "an unchecked box is empty";

    // The selected second folder (below the three files) shows the selection colour on its label.
    const TRect selected = tree.NodeDisplayRect(tree.Root(1), 0, true);
    EXPECT_EQ(selected.Top, 4 * 18);
    EXPECT_EQ(shot.pixelColor(at({selected.Right - 2, selected.Top + 2})),
              ToQColor(tree.Colors().FocusedSelectionColor()));
    // Labels carry text; the grid line separates the two columns.
    bool textInk = false;
    for (int x = label.Left; x < label.Right; ++x)
        textInk = textInk || Dark(shot, at({x, rowMiddle}));
    EXPECT_TRUE(textInk);
    // The dotted vertical grid line at the column edge.
    EXPECT_TRUE(shot.pixelColor(at({149, 18 * 2 + 2})) != window || shot.pixelColor(at({149, 18 * 2 + 3})) != window);
    EXPECT_EQ(shot.pixelColor(at({148, 18 * 2 + 2})), window);
}
