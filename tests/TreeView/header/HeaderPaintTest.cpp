// Header painting: where a cell's caption and glyphs go, the sort glyph, shortened captions, the
// pressed look, owner drawing, and the header's place above the client area and scroll bar.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/core/LTCheckImages.h"
#include "TreeView/Source/header/LTHeader.h"

#include "Platform/graphics/ImgList.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

class THeaderTree : public TTestTree {
public:
    THeaderTree()
    {
        Header().SetOptions(Header().Options() + hoVisible);
        Header().SetHeight(20);
        Header().SetBackground(clWhite);
        Header().SetStyle(TLTHeaderStyle::hsFlatButtons);
    }
    TLazyTreeColumn* Add(const QString& text, int width)
    {
        TLazyTreeColumn* column = Header().Columns().AddColumn();
        column->SetText(text);
        column->SetWidth(width);
        return column;
    }
    QImage HeaderShot()
    {
        QImage image(ClientWidth(), Header().Height(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        Header().Columns().PaintHeaderTo(painter, {0, 0, ClientWidth(), Header().Height()});
        return image;
    }
};

} // namespace

TEST(HeaderPaint, TheSortGlyphFollowsALeftAlignedCaption)
{
    THeaderTree tree;
    TLazyTreeColumn* column = tree.Add("Name", 120);
    tree.Header().SetOptions(tree.Header().Options() + hoShowSortGlyphs);
    tree.Header().SetSortColumn(0);
    const QFontMetrics metrics(tree.Header().Font().ToQFont());
    TRect text;
    TPoint sort;
    TPoint glyph;
    const TRect client{2, 2, 118, 18};
    column->LayoutHeaderCell(metrics, client, text, sort, glyph, true, false);
    EXPECT_EQ(text.Left, client.Left + column->Margin());
    EXPECT_GE(sort.X, text.Right) << "right of the caption";
    EXPECT_EQ(sort.Y, client.Top + (client.Height() - 16) / 2);
    // The picture shows the ascending glyph of the utility set there.
    const QImage shot = tree.HeaderShot();
    const QImage ascending = UtilityGlyphSet()->Image(3);
    int compared = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (qAlpha(ascending.pixel(x, y)) == 255) {
                EXPECT_EQ(shot.pixel(sort.X + x, sort.Y + y), ascending.pixel(x, y));
                ++compared;
            }
    EXPECT_GT(compared, 0);
    column->SetText("");
    column->LayoutHeaderCell(metrics, client, text, sort, glyph, true, false);
    EXPECT_EQ(sort, (TPoint{client.Left + (client.Width() - 16) / 2, client.Top + 0})) << "alone it is centred";
}

TEST(HeaderPaint, LayoutsPlaceGlyphCaptionAndSortGlyphByAlignment)
{
    THeaderTree tree;
    TCustomImageList images(nullptr, 10, 10);
    images.Add(QImage(10, 10, QImage::Format_ARGB32));
    tree.Header().SetImages(&images);
    TLazyTreeColumn* column = tree.Add("Caption", 200);
    column->SetImageIndex(0);
    const QFontMetrics metrics(tree.Header().Font().ToQFont());
    const int tw = metrics.horizontalAdvance("Caption") + 2;
    const TRect client{0, 0, 200, 20};
    struct TCase {
        TAlignment Alignment;
        TLTHeaderColumnLayout Layout;
        int GlyphX;
        int TextX;
    };
    const int margin = column->Margin();
    const int spacing = column->Spacing();
    const TCase cases[] = {
        {taLeftJustify, TLTHeaderColumnLayout::blGlyphLeft, margin, margin + 10 + spacing},
        {taLeftJustify, TLTHeaderColumnLayout::blGlyphRight, margin + tw + spacing, margin},
        {taRightJustify, TLTHeaderColumnLayout::blGlyphRight, 200 - margin - 10, 200 - margin - 10 - spacing - tw},
        {taCenter, TLTHeaderColumnLayout::blGlyphLeft, (200 - (10 + spacing + tw)) / 2,
         (200 - (10 + spacing + tw)) / 2 + 10 + spacing},
    };
    for (const TCase& c : cases) {
        column->SetAlignment(c.Alignment);
        column->SetLayout(c.Layout);
        TRect text;
        TPoint sort;
        TPoint glyph;
        column->LayoutHeaderCell(metrics, client, text, sort, glyph, false, true);
        EXPECT_EQ(glyph.X, c.GlyphX) << static_cast<int>(c.Alignment) << "/" << static_cast<int>(c.Layout);
        EXPECT_EQ(text.Left, c.TextX) << static_cast<int>(c.Alignment) << "/" << static_cast<int>(c.Layout);
    }
    column->SetAlignment(taLeftJustify);
    column->SetLayout(TLTHeaderColumnLayout::blGlyphTop);
    TRect text;
    TPoint sort;
    TPoint glyph;
    const TRect tall{0, 0, 200, 60};
    column->LayoutHeaderCell(metrics, tall, text, sort, glyph, false, true);
    EXPECT_LT(glyph.Y + 10, text.Top + 1) << "the glyph above the caption";
    EXPECT_EQ(glyph.X, (200 - 10) / 2);
    tree.Header().SetImages(nullptr);
}

TEST(HeaderPaint, ATooWideCaptionEndsInAnEllipsisAndStaysInItsCell)
{
    THeaderTree tree;
    tree.Add("A caption far too wide for its column", 70);
    tree.Add("", 100);
    const QImage wide = tree.HeaderShot();
    // The same cell with the shortened caption written out looks the same.
    const QFontMetrics metrics(tree.Header().Font().ToQFont());
    TRect text;
    TPoint sort;
    TPoint glyph;
    TLazyTreeColumn* first = tree.Header().Columns().ColumnAt(0);
    first->LayoutHeaderCell(metrics, {2, 2, 68, 18}, text, sort, glyph, false, false);
    const QString shortened = ShortenWithEllipsis(metrics, first->Text(), text.Width(), false);
    ASSERT_TRUE(shortened.endsWith("..."));
    first->SetText(shortened);
    const QImage written = tree.HeaderShot();
    EXPECT_EQ(wide.copy(0, 0, 70, 20), written.copy(0, 0, 70, 20));
    EXPECT_EQ(wide.copy(70, 0, 100, 20), written.copy(70, 0, 100, 20)) << "nothing spills into the next cell";
}

TEST(HeaderPaint, APressedColumnMovesItsContentByOnePixel)
{
    THeaderTree tree;
    tree.Add("Xy", 80);
    const QImage normal = tree.HeaderShot();
    tree.Header().Columns().PressedIndex = 0;
    const QImage pressed = tree.HeaderShot();
    EXPECT_EQ(normal.copy(6, 4, 40, 12), pressed.copy(7, 5, 40, 12));
    EXPECT_NE(normal.copy(6, 4, 40, 12), pressed.copy(6, 4, 40, 12));
}

TEST(HeaderPaint, OwnerDrawnCellsAndClaimedElements)
{
    THeaderTree tree;
    TLazyTreeColumn* plain = tree.Add("Plain", 80);
    TLazyTreeColumn* owned = tree.Add("Owned", 80);
    owned->SetStyle(TLazyTreeColumnStyle::vsOwnerDraw);
    std::vector<TColumnIndex> drawn;
    tree.OnHeaderDraw = [&](TLTHeader*, TCanvas&, TColumnIndex column, TRect, bool, bool, int) {
        drawn.push_back(column);
    };
    tree.HeaderShot();
    EXPECT_TRUE(drawn.empty()) << "only under hoOwnerDraw";
    tree.Header().SetOptions(tree.Header().Options() + hoOwnerDraw);
    tree.HeaderShot();
    EXPECT_EQ(drawn, (std::vector<TColumnIndex>{1}));
    // Advanced owner draw replaces the simple one and takes single elements.
    std::vector<std::pair<TLazyTreeColumn*, std::uint64_t>> painted;
    tree.OnHeaderDrawQueryElements = [&](TLTHeader*, THeaderPaintInfo& info, THeaderPaintElements& elements) {
        if (info.PaintedColumn == plain)
            elements = {hpeText};
    };
    tree.OnAdvancedHeaderDraw = [&](TLTHeader*, THeaderPaintInfo& info, THeaderPaintElements elements) {
        painted.emplace_back(info.PaintedColumn, elements.Bits());
        EXPECT_FALSE(info.CaptionRect.IsEmpty());
    };
    drawn.clear();
    const QImage claimed = tree.HeaderShot();
    EXPECT_TRUE(drawn.empty());
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_EQ(painted[0].first, plain);
    EXPECT_EQ(painted[0].second, THeaderPaintElements{hpeText}.Bits());
    int dark = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 6; x < 70; ++x)
            dark += qGray(claimed.pixel(x, y)) < 60;
    EXPECT_EQ(dark, 0) << "the claimed caption is left to the application";
}

TEST(HeaderPaint, TheHeaderLiesAboveTheClientAreaAndTheVerticalScrollBar)
{
    THeaderTree tree;
    tree.Add("One", 100);
    tree.SetRootNodeCount(100);
    QCoreApplication::processEvents();
    const QWidget* header = tree.Header().Widget();
    ASSERT_TRUE(header->isVisible());
    EXPECT_EQ(header->geometry().bottom() + 1, tree.viewport()->geometry().top());
    const QScrollBar* bar = tree.verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    const QPoint barTop = bar->mapTo(&tree, QPoint(0, 0));
    EXPECT_GE(barTop.y(), header->geometry().bottom() + 1) << "the bar starts below the header";
    EXPECT_GE(header->geometry().right(), barTop.x()) << "the header spans the bar's column";
    tree.Header().SetOptions(tree.Header().Options() - hoVisible);
    QCoreApplication::processEvents();
    EXPECT_FALSE(header->isVisible());
    EXPECT_LE(bar->mapTo(&tree, QPoint(0, 0)).y(), tree.frameWidth()) << "without a header the bar starts at the top";
}
