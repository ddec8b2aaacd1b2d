// The tree painter drawn into images: tree lines and buttons at their places, check and node
// images, selection, drop marks, column strips, the layers a handler may take over, the
// background picture, and the line image each row starts from.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/core/LTColors.h"
#include "TreeView/Source/header/LTHeader.h"

#include "Platform/graphics/ImgList.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// A tree with plain colours: white background, black lines, and nodes that say what they have.
class TPaintTree : public TTestTree {
public:
    TPaintTree()
    {
        SetColor(clWhite);
        Colors().SetColor(TLTColors::TreeLineColorIndex, clBlack);
        Font().SetColor(clBlack);
        OnInitNode = [this](TBaseLazyTree*, PLazyNode, PLazyNode node, TShellNodeInitStates& states) {
            if (Children > 0 && DepthOfNode(node) == 0)
                states.Include(ivsHasChildren);
            if (Check)
                node->CheckKind = chkBox;
        };
        OnInitChildren = [this](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = Children; };
    }

    // The part of the tree surface at the client area, as the control shows it.
    QImage Shot(TTreePaintFlags flags = ControlPaintFlags, QColor fill = Qt::white)
    {
        QImage image(ClientWidth(), ClientHeight(), QImage::Format_RGB32);
        image.fill(fill);
        QPainter painter(&image);
        TRect window = ClientRect();
        OffsetRect(window, -OffsetX(), -OffsetY());
        PaintTree(painter, window, {0, 0}, flags);
        return image;
    }

    using TBaseLazyTree::BuildLineImage;
    using TBaseLazyTree::SetDropTarget;
    std::uint32_t Children = 0;
    bool Check = false;
};

bool Dark(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 100;
}

std::unique_ptr<TCustomImageList> SolidImages(QColor color)
{
    auto list = std::make_unique<TCustomImageList>(nullptr, 16, 16);
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(color);
    list->Add(picture);
    return list;
}

} // namespace

TEST(TreePaint, LinesAndButtonsStandWhereTheIndentSaysForEveryLineStyle)
{
    TPaintTree tree;
    tree.Children = 2;
    tree.SetRootNodeCount(3);
    tree.FlipExpanded(tree.Root(0));
    // Rows: root 0 (open), its two children, root 1, root 2. Indent 18, row height 18; the row
    // anchor is the middle (9); the button's box is 9 x 9 at x = 4 of its level.
    const QImage dotted = tree.Shot();
    EXPECT_TRUE(Dark(dotted, 4, 5)) << "the open root's minus button frame";
    EXPECT_TRUE(Dark(dotted, 6, 9)) << "its minus sign";
    EXPECT_FALSE(Dark(dotted, 8, 7)) << "no plus bar on an open node";
    EXPECT_TRUE(Dark(dotted, 4 + 18 * 0, 18 * 3 + 5)) << "a closed root has a plus button";
    EXPECT_TRUE(Dark(dotted, 8, 18 * 3 + 7)) << "with its vertical bar";
    // The children's row: a vertical line through the root level (x = 9) and a horizontal stub
    // at the child's level; dotted lines alternate pixel by pixel.
    int dark = 0;
    for (int y = 18; y < 36; ++y)
        dark += Dark(dotted, 9, y);
    EXPECT_EQ(dark, 9) << "half the pixels of a dotted line";
    EXPECT_NE(Dark(dotted, 9, 20), Dark(dotted, 9, 21));
    EXPECT_TRUE(Dark(dotted, 27, 36 + 8) || Dark(dotted, 27, 36 + 9)) << "the last child's line ends at the anchor";
    EXPECT_FALSE(Dark(dotted, 27, 36 + 14)) << "and not below it";
    tree.SetLineStyle(TLTLineStyle::lsSolid);
    const QImage solid = tree.Shot();
    dark = 0;
    for (int y = 18; y < 36; ++y)
        dark += Dark(solid, 9, y);
    EXPECT_EQ(dark, 18) << "a solid line is continuous";
    tree.SetButtonStyle(TLTButtonStyle::bsTriangle);
    const QImage triangles = tree.Shot();
    EXPECT_FALSE(Dark(triangles, 4, 5 + 8)) << "the triangle has no box";
    EXPECT_TRUE(Dark(triangles, 8, 5 + 3)) << "a down triangle for the open node";
}

TEST(TreePaint, LineImagesOfRowsAtTheEdgesOfTheirLevels)
{
    TPaintTree tree;
    tree.Children = 2;
    TLineImage image;
    tree.SetRootNodeCount(1);
    tree.BuildLineImage(tree.Root(0), image);
    EXPECT_EQ(image, (TLineImage{ltRight})) << "a lone root-level node: only a stub";
    tree.SetRootNodeCount(3);
    struct TCase {
        PLazyNode Node;
        TLineImage Expected;
    };
    tree.FlipExpanded(tree.Root(2));
    tree.FlipExpanded(tree.Root(0));
    const TCase cases[] = {
        {tree.Root(0), {ltBottomRight}},
        {tree.Root(1), {ltTopDownRight}},
        {tree.Root(2), {ltTopRight}},
        {tree.Child(tree.Root(0), 0), {ltTopDown, ltTopDownRight}},
        {tree.Child(tree.Root(2), 1), {ltNone, ltTopRight}},
    };
    for (const TCase& c : cases) {
        tree.BuildLineImage(c.Node, image);
        EXPECT_EQ(image, c.Expected) << tree.TreeOrderCompare(c.Node, tree.Root(0));
    }
    tree.TreeOptions().SetPaintOptions(tree.TreeOptions().PaintOptions() - toShowRoot);
    tree.BuildLineImage(tree.Child(tree.Root(0), 0), image);
    EXPECT_EQ(image, (TLineImage{ltTopDownRight})) << "without the root level";
    tree.SetNodeSelected(tree.Root(0), true);
    EXPECT_EQ(tree.BuildLineImage(tree.Child(tree.Root(0), 1), image), 1) << "selected ancestors are counted";
}

TEST(TreePaint, CheckAndNodeImagesFollowTheIndentationAndTheMargin)
{
    TPaintTree tree;
    tree.Check = true;
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toCheckSupport);
    auto images = SolidImages(Qt::red);
    tree.SetImages(images.get());
    tree.OnGetImageIndex = [](TBaseLazyTree*, PLazyNode, TLTImageKind kind, TColumnIndex, bool&, int& index) {
        if (kind == TLTImageKind::ikNormal || kind == TLTImageKind::ikSelected)
            index = 0;
    };
    tree.SetRootNodeCount(2);
    tree.SetNodeCheckMark(tree.Root(1), csCheckedNormal);
    const QImage shot = tree.Shot();
    // Indent 18 (root level) + margin 4: the check box from x = 22, 16 wide; the image after it + 2.
    const int imageLeft = 18 + 4 + 16 + 2;
    EXPECT_EQ(shot.pixelColor(imageLeft + 1, 9), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(imageLeft + 15, 9), QColor(Qt::red));
    EXPECT_NE(shot.pixelColor(imageLeft - 1, 9), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(imageLeft + 16, 9), QColor(Qt::white)) << "2 pixels of space after the image";
    QImage unchecked = shot.copy(22, 1, 16, 16);
    QImage checked = shot.copy(22, 18 + 1, 16, 16);
    EXPECT_NE(unchecked, checked) << "the two check states look different";
    bool inked = false;
    for (int x = 22; x < 38; ++x)
        inked = inked || shot.pixelColor(x, 9) != QColor(Qt::white);
    EXPECT_TRUE(inked) << "a check box was drawn";
    tree.SetImages(nullptr);
}

TEST(TreePaint, SelectionFocusAndHiddenSelection)
{
    TPaintTree tree;
    tree.ContentWidth = 40;
    tree.SetRootNodeCount(3);
    tree.Colors().SetColor(TLTColors::FocusedSelectionColorIndex, clBlue);
    tree.Colors().SetColor(TLTColors::UnfocusedSelectionColorIndex, clGreen);
    tree.Colors().SetColor(TLTColors::UnfocusedSelectionBorderColorIndex, clGreen);
    tree.SetNodeSelected(tree.Root(1), true);
    // The content starts after the root level's indent and the margin: x = 22, 40 wide.
    QImage shot = tree.Shot();
    EXPECT_EQ(shot.pixelColor(40, 18 + 9), QColor(0, 128, 0)) << "unfocused: the unfocused colour";
    EXPECT_EQ(shot.pixelColor(70, 18 + 9), QColor(Qt::white)) << "only as wide as the content";
    EXPECT_EQ(shot.pixelColor(40, 9), QColor(Qt::white));
    tree.TreeOptions().SetPaintOptions(tree.TreeOptions().PaintOptions() + toHideSelection);
    shot = tree.Shot();
    EXPECT_EQ(shot.pixelColor(40, 18 + 9), QColor(Qt::white)) << "hidden without the focus";
    tree.TreeOptions().SetPaintOptions(tree.TreeOptions().PaintOptions() - toHideSelection + toPopupMode);
    tree.TreeOptions().SetSelectionOptions({toFullRowSelect});
    shot = tree.Shot();
    EXPECT_EQ(shot.pixelColor(150, 18 + 9), QColor(Qt::blue)) << "popup mode paints as focused, full row";
    EXPECT_EQ(shot.pixelColor(5, 18 + 9), QColor(Qt::blue));
    tree.OnBeforeItemErase = [](TBaseLazyTree*, TCanvas&, PLazyNode, TRect, TColor&, TItemEraseAction& action) {
        action = TItemEraseAction::eaNone;
    };
    shot = tree.Shot({tpSelection}, Qt::yellow);
    EXPECT_EQ(shot.pixelColor(5, 18 + 9), QColor(Qt::yellow)) << "eaNone leaves even a selected full row alone";
}

TEST(TreePaint, DropMarksAboveAndBelowTheTarget)
{
    TPaintTree tree;
    tree.SetRootNodeCount(3);
    tree.Colors().SetColor(TLTColors::DropMarkColorIndex, clRed);
    tree.SetDropTarget(tree.Root(1), TDropMode::dmAbove);
    QImage shot = tree.Shot();
    EXPECT_EQ(shot.pixelColor(100, 18 + 1), QColor(Qt::red)) << "a bar at the upper edge";
    EXPECT_EQ(shot.pixelColor(100, 18 + 4), QColor(Qt::white));
    tree.SetDropTarget(tree.Root(1), TDropMode::dmBelow);
    shot = tree.Shot();
    EXPECT_EQ(shot.pixelColor(100, 36 - 2), QColor(Qt::red)) << "a bar at the lower edge";
    EXPECT_EQ(shot.pixelColor(100, 18 + 1), QColor(Qt::white));
    shot = tree.Shot(ControlPaintFlags - tpDropMark);
    EXPECT_EQ(shot.pixelColor(100, 36 - 2), QColor(Qt::white)) << "not without tpDropMark";
    tree.SetDropTarget(nullptr, TDropMode::dmNowhere);
}

TEST(TreePaint, AnEmptyTreeShowsTheColumnStripsInTheirColours)
{
    TPaintTree tree;
    TLTHeader& header = tree.Header();
    auto* a = header.Columns().AddColumn();
    a->SetWidth(50);
    a->SetColor(clRed);
    auto* b = header.Columns().AddColumn();
    b->SetWidth(60);
    b->SetOptions(b->Options() + coParentColor);
    auto* c = header.Columns().AddColumn();
    c->SetWidth(40);
    c->SetColor(clLime);
    const QImage shot = tree.Shot();
    EXPECT_EQ(shot.pixelColor(10, 50), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(80, 50), QColor(Qt::white)) << "the column with the tree's colour";
    EXPECT_EQ(shot.pixelColor(120, 50), QColor(Qt::green));
    EXPECT_EQ(shot.pixelColor(200, 50), QColor(Qt::white)) << "right of the last column";
}

TEST(TreePaint, SelectedOnlyLeavesOtherRowsUntouched)
{
    TPaintTree tree;
    tree.Children = 2;
    tree.SetRootNodeCount(3);
    tree.FlipExpanded(tree.Root(1));
    tree.SetNodeSelected(tree.Root(1), true);
    const QImage shot = tree.Shot({tpSelection, tpSelectedOnly}, Qt::black);
    EXPECT_EQ(shot.pixelColor(150, 9), QColor(Qt::black)) << "an unselected row is not painted";
    EXPECT_EQ(shot.pixelColor(150, 18 + 9), QColor(Qt::white)) << "the selected row";
    EXPECT_EQ(shot.pixelColor(150, 36 + 9), QColor(Qt::white)) << "and its children";
    EXPECT_EQ(shot.pixelColor(150, 72 + 9), QColor(Qt::black)) << "the next root is not";
}

TEST(TreePaint, CustomDrawnRowsKeepOnlyTheRubberBand)
{
    TPaintTree tree;
    tree.SetRootNodeCount(3);
    std::vector<PLazyNode> after;
    tree.OnBeforeItemPaint = [&](TBaseLazyTree*, TCanvas&, PLazyNode node, TRect, bool& customDraw) {
        customDraw = node == tree.Root(1);
    };
    tree.OnAfterItemPaint = [&](TBaseLazyTree*, TCanvas&, PLazyNode node, TRect) { after.push_back(node); };
    const QImage shot = tree.Shot(ControlPaintFlags, Qt::yellow);
    EXPECT_EQ(shot.pixelColor(150, 18 + 9), QColor(Qt::yellow)) << "no background for the custom row";
    EXPECT_EQ(shot.pixelColor(150, 9), QColor(Qt::white));
    EXPECT_EQ(after, (std::vector<PLazyNode>{tree.Root(0), tree.Root(2)}));
}

TEST(TreePaint, EventsOfOnePassInTheirOrder)
{
    TPaintTree tree;
    tree.SetRootNodeCount(1);
    std::vector<std::string> events;
    tree.OnBeforePaint = [&](TBaseLazyTree*, TCanvas&) { events.push_back("BeforePaint"); };
    tree.OnInitNode = [&](TBaseLazyTree*, PLazyNode, PLazyNode, TShellNodeInitStates&) { events.push_back("InitNode"); };
    tree.OnBeforeItemPaint = [&](TBaseLazyTree*, TCanvas&, PLazyNode, TRect, bool&) { events.push_back("BeforeItemPaint"); };
    tree.OnBeforeItemErase = [&](TBaseLazyTree*, TCanvas&, PLazyNode, TRect, TColor&, TItemEraseAction&) {
        events.push_back("BeforeItemErase");
    };
    tree.OnBeforeCellPaint = [&](TBaseLazyTree*, TCanvas&, PLazyNode, TColumnIndex, TRect) { events.push_back("BeforeCellPaint"); };
    tree.OnGetImageIndex = [&](TBaseLazyTree*, PLazyNode, TLTImageKind, TColumnIndex, bool&, int&) {
        if (events.back() != "GetImageIndex")
            events.push_back("GetImageIndex");
    };
    tree.OnAfterCellPaint = [&](TBaseLazyTree*, TCanvas&, PLazyNode, TColumnIndex, TRect) { events.push_back("AfterCellPaint"); };
    tree.OnAfterItemPaint = [&](TBaseLazyTree*, TCanvas&, PLazyNode, TRect) { events.push_back("AfterItemPaint"); };
    tree.OnPaintBackground = [&](TBaseLazyTree*, TCanvas&, TRect, bool&) { events.push_back("PaintBackground"); };
    tree.OnAfterPaint = [&](TBaseLazyTree*, TCanvas&) { events.push_back("AfterPaint"); };
    auto images = SolidImages(Qt::red);
    tree.SetImages(images.get());
    tree.Shot();
    EXPECT_EQ(events, (std::vector<std::string>{"BeforePaint", "InitNode", "BeforeItemPaint", "BeforeItemErase",
                                                "GetImageIndex", "BeforeCellPaint", "AfterCellPaint",
                                                "AfterItemPaint", "PaintBackground", "AfterPaint"}));
    tree.SetImages(nullptr);
}

TEST(TreePaint, AStaticBackgroundStaysWhileTiledBackgroundsScroll)
{
    TPaintTree tree;
    tree.SetRootNodeCount(100);
    QImage picture(32, 32, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixelColor(0, 0, Qt::red);
    tree.SetBackground(picture);
    tree.TreeOptions().SetPaintOptions(tree.TreeOptions().PaintOptions() - toShowTreeLines + toShowBackground);
    tree.SetOffsetY(-5);
    QImage shot = tree.Shot();
    // Tiled: content position 32 lands on client row 27.
    EXPECT_EQ(shot.pixelColor(64, 27), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(64, 32), QColor(Qt::white));
    tree.TreeOptions().SetPaintOptions(tree.TreeOptions().PaintOptions() + toStaticBackground);
    tree.SetBackgroundOffset(0, 40);
    tree.SetBackgroundOffset(1, 30);
    shot = tree.Shot();
    EXPECT_EQ(shot.pixelColor(40, 30), QColor(Qt::red)) << "at its client position whatever the scrolling";
    EXPECT_EQ(shot.pixelColor(72, 62), QColor(Qt::white)) << "drawn once";
}

TEST(TreePaint, AutoHiddenButtonsAndTheControlsOwnPaint)
{
    TPaintTree tree;
    tree.Children = 1;
    tree.SetRootNodeCount(2);
    tree.FlipExpanded(tree.Root(0));
    tree.SetNodeShown(tree.Child(tree.Root(0), 0), false);
    tree.TreeOptions().SetAutoOptions(tree.TreeOptions().AutoOptions() + toAutoHideButtons);
    QImage shot = tree.Shot();
    EXPECT_FALSE(Dark(shot, 4, 5)) << "no button for a node whose children are all hidden";
    EXPECT_TRUE(Dark(shot, 4, 18 + 5)) << "the next root's button";
    // The widget paints the same through its paint event.
    QImage widget(tree.viewport()->size(), QImage::Format_RGB32);
    tree.viewport()->render(&widget);
    EXPECT_EQ(widget.copy(0, 0, 60, 36), shot.copy(0, 0, 60, 36));
}
