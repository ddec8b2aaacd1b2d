// The text drawer: the shared font cache, the styled font stock and drawing on a fixed
// character grid, checked on the pixels of an offscreen image.

#include "SrcEdit/Source/view/SrcEditTextDrawer.h"
#include "SrcEdit/Source/text/SrcEditTypes.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace {

struct TestFont : TFont {
    TestFont(const char* name, int pixels, TFontStyles style = {})
    {
        SetName(name);
        SetHeight(-pixels);
        SetStyle(style);
        SetColor(clBlack);
    }
};

// An image with a canvas on it, white to begin with.
class Surface {
public:
    Surface(int w, int h) : Image(w, h, QImage::Format_RGB32)
    {
        Image.fill(Qt::white);
        Painter.begin(&Image);
        Canvas.SetHandle(&Painter);
    }
    ~Surface()
    {
        if (Painter.isActive())
            Painter.end();
    }
    const QImage& Done()
    {
        Painter.end();
        return Image;
    }

    QImage Image;
    QPainter Painter;
    TCanvas Canvas;
};

bool IsInk(QRgb p)
{
    return qGray(p) < 160;
}

// Columns of the image between x0 and x1 (exclusive) that hold ink in rows y0..y1.
std::vector<int> InkColumns(const QImage& image, int x0, int x1, int y0, int y1)
{
    std::vector<int> columns;
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y)
            if (IsInk(image.pixel(x, y))) {
                columns.push_back(x);
                break;
            }
    return columns;
}

int InkCount(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += IsInk(image.pixel(x, y)) ? 1 : 0;
    return n;
}

// The first ink column of each of `cells` cells of width `cellWidth` starting at x.
std::vector<int> FirstInkPerCell(const QImage& image, int x, int cellWidth, int cells, int height)
{
    std::vector<int> firsts;
    for (int k = 0; k < cells; ++k) {
        const auto ink = InkColumns(image, x + k * cellWidth, x + (k + 1) * cellWidth, 0, height);
        firsts.push_back(ink.empty() ? -1 : ink.front() - (x + k * cellWidth));
    }
    return firsts;
}

} // namespace

TEST(FontsInfoManager, EditorsWithTheSameFontShareOneRecord)
{
    const int before = FontsInfoManager().Count();
    const TestFont font("DejaVu Sans Mono", 13);
    TheTextDrawer first({}, &font);
    TheTextDrawer second({}, &font);
    EXPECT_EQ(FontsInfoManager().Count(), before + 1);
    const TFontsInfo* shared = first.FontStock().FontsInfo();
    EXPECT_EQ(shared, second.FontStock().FontsInfo());
    EXPECT_EQ(shared->RefCount, 2);
    EXPECT_EQ(shared->LockCount, 2);

    // Italic, underline, strike-out and colour are not part of the key; size is.
    TestFont styled("DejaVu Sans Mono", 13, {fsItalic, fsUnderline});
    styled.SetColor(clRed);
    TheTextDrawer third({}, &styled);
    EXPECT_EQ(third.FontStock().FontsInfo(), shared);
    EXPECT_EQ(shared->RefCount, 3);

    const TestFont bigger("DejaVu Sans Mono", 17);
    second.SetBaseFont(&bigger);
    EXPECT_EQ(FontsInfoManager().Count(), before + 2);
    EXPECT_EQ(shared->RefCount, 2) << "only the one reference went";
    EXPECT_EQ(first.FontStock().FontsInfo(), shared);
    EXPECT_GT(second.CharHeight(), first.CharHeight());
}

TEST(FontsInfoManager, LockedRecordsAndTheirFontHandles)
{
    TheFontsInfoManager& manager = FontsInfoManager();
    const TestFont font("Liberation Mono", 15);
    TFontsInfo* info = manager.AcquireFontsInfo(font);
    manager.ActivateFontsInfo(info);
    try {
        manager.ReleaseFontsInfo(info);
        FAIL() << "no exception";
    } catch (const EAssertionFailed& e) {
        EXPECT_STREQ(e.what(), "Call DeactivateFontsInfo before calling this.");
    }
    {
        TheFontStock stock(&font);
        EXPECT_EQ(info->RefCount, 2);
        ASSERT_TRUE(info->FontsData[0].Handle);
        stock.SetStyle({fsBold});
        ASSERT_TRUE(info->FontsData[1].Handle);
        const int measured = info->FontsData[1].CharAdvance;
        manager.DeactivateFontsInfo(info);
        EXPECT_TRUE(info->FontsData[1].Handle) << "the stock still holds a lock";
        stock.ReleaseFontHandles();
        EXPECT_FALSE(info->FontsData[0].Handle);
        EXPECT_FALSE(info->FontsData[1].Handle);
        EXPECT_EQ(info->FontsData[1].CharAdvance, measured) << "sizes stay";
        stock.SetStyle({fsBold});
        EXPECT_TRUE(info->FontsData[1].Handle) << "made again on demand";
    }
    EXPECT_EQ(info->RefCount, 1);
    EXPECT_EQ(info->LockCount, 0);
    EXPECT_THROW(manager.DeactivateFontsInfo(info), EAssertionFailed);
    const int before = manager.Count();
    manager.ReleaseFontsInfo(info);
    EXPECT_EQ(manager.Count(), before - 1);
}

TEST(TextDrawer, MissingFontIsRefused)
{
    try {
        TheTextDrawer drawer({}, nullptr);
        FAIL() << "no exception";
    } catch (const EheTextDrawerException& e) {
        EXPECT_STREQ(e.what(), "SetBaseFont: 'Value' must be specified.");
    }
    const TestFont font("DejaVu Sans Mono", 12);
    TheTextDrawer drawer({}, &font);
    EXPECT_THROW(drawer.SetBaseFont(nullptr), EheTextDrawerException);
    EXPECT_THROW(TheFontStock(nullptr), EheFontStockException);
    TheFontStock stock(&font);
    try {
        stock.SetBaseFont(nullptr);
        FAIL() << "no exception";
    } catch (const EheFontStockException& e) {
        EXPECT_STREQ(e.what(), "SetBaseFont: 'Value' must be specified.");
    }
}

TEST(TextDrawer, CellSizeComesFromTheLetterM)
{
    const TestFont font("DejaVu Sans Mono", 16);
    const TheTextDrawer drawer({}, &font);
    const QFontMetrics metrics(font.ToQFont());
    EXPECT_EQ(drawer.CharWidth(), metrics.horizontalAdvance(QLatin1Char('M')));
    EXPECT_EQ(drawer.CharHeight(), metrics.height());
    EXPECT_GT(drawer.CharWidth(), 0);
    EXPECT_EQ(drawer.FontStock().DBCharAdvance(), NoDBCharAdvance);

    // A proportional font: the cell is as wide as "M", not as its narrow letters.
    const TestFont sans("DejaVu Sans", 16);
    const TheTextDrawer proportional({}, &sans);
    EXPECT_EQ(proportional.CharWidth(), QFontMetrics(sans.ToQFont()).horizontalAdvance(QLatin1Char('M')));
}

namespace {

// A stock whose font cannot measure any character.
class UnmeasurableStock : public TheFontStock {
public:
    using TheFontStock::TheFontStock;
    void Remeasure(TFontStyles style)
    {
        TFontData data;
        MeasureFont(CreateStyledFont(style), data);
        Advance = data.CharAdvance;
    }
    int Advance = 0;

protected:
    bool CharABCWidths(const QFontMetrics&, char32_t, int&, int&, int&) const override { return false; }
};

} // namespace

TEST(TextDrawer, FontWithoutMeasurableMFallsBackToTheAverageWidth)
{
    const TestFont font("DejaVu Sans", 20);
    UnmeasurableStock stock(&font);
    stock.Remeasure({});
    EXPECT_EQ(stock.Advance, QFontMetrics(font.ToQFont()).averageCharWidth());
}

TEST(TextDrawer, DrawsEveryCharacterInItsOwnCell)
{
    // A proportional font makes the grid visible: narrow letters still take a whole cell.
    const TestFont font("DejaVu Sans", 16);
    TheTextDrawer drawer({}, &font);
    drawer.SetForeColor(clBlack);
    drawer.SetBackColor(clWhite);
    const int cw = drawer.CharWidth();
    const int ch = drawer.CharHeight();
    Surface surface(20 + 12 * cw, ch + 4);
    drawer.BeginDrawing(surface.Canvas);
    drawer.DrawTextSpaced(10, 2, ETO_OPAQUE, Rect(10, 2, 10 + 8 * cw, 2 + ch), "iiiiWWii");
    drawer.EndDrawing();
    const QImage& image = surface.Done();

    const auto firsts = FirstInkPerCell(image, 10, cw, 8, ch + 4);
    for (int k = 0; k < 8; ++k)
        EXPECT_GE(firsts[static_cast<size_t>(k)], 0) << "cell " << k << " has ink";
    for (int k : {1, 2, 3, 7})
        EXPECT_EQ(firsts[static_cast<size_t>(k)], firsts[0]) << "an 'i' sits at the same place in cell " << k;
    EXPECT_TRUE(InkColumns(image, 10 + 8 * cw, image.width(), 0, ch + 4).empty()) << "nothing beyond 8 cells";
    EXPECT_TRUE(InkColumns(image, 0, 10, 0, ch + 4).empty());
}

TEST(TextDrawer, BoldStyleKeepsTheBaseCellWidth)
{
    const TestFont font("DejaVu Sans", 16);
    TheTextDrawer drawer({}, &font);
    const int cw = drawer.CharWidth();
    auto render = [&](TFontStyles style) {
        drawer.SetStyle(style);
        Surface surface(10 * cw, drawer.CharHeight());
        drawer.BeginDrawing(surface.Canvas);
        drawer.DrawTextSpaced(0, 0, 0, Rect(0, 0, 10 * cw, drawer.CharHeight()), "lllll");
        drawer.EndDrawing();
        return surface.Done().copy();
    };
    const QImage regular = render({});
    const QImage bold = render({fsBold});
    EXPECT_EQ(drawer.CharWidth(), cw) << "the cell does not change with the style";
    EXPECT_EQ(drawer.FontStock().Style(), TFontStyles{fsBold});
    EXPECT_GT(InkCount(bold), InkCount(regular)) << "bold draws in bold";
    const auto firstsRegular = FirstInkPerCell(regular, 0, cw, 5, regular.height());
    const auto firstsBold = FirstInkPerCell(bold, 0, cw, 5, bold.height());
    for (size_t k = 1; k < 5; ++k) {
        EXPECT_EQ(firstsRegular[k], firstsRegular[0]);
        EXPECT_EQ(firstsBold[k], firstsBold[0]);
    }

    // The base style defines the cell: a bold base may be wider, never narrower.
    drawer.SetBaseStyle({fsBold});
    EXPECT_GE(drawer.CharWidth(), cw);
}

TEST(TextDrawer, MultiByteAndWideCharactersKeepTheGrid)
{
    const TestFont font("DejaVu Sans Mono", 16);
    TheTextDrawer drawer({}, &font);
    const int cw = drawer.CharWidth();
    const int ch = drawer.CharHeight();
    struct Case {
        const char* Name;
        std::string Text;
        int CellOfLastX; // the cell where the final "X" must start
    };
    const std::vector<Case> cases = {
        {"two-byte letter is one cell", "\xC3\xA9X", 1},
        {"wide character is two cells", "\xE6\x97\xA5X", 2},
        {"invalid byte is one cell", "\xFFX", 1},
        {"mixed", "a\xE6\x97\xA5\xC3\xA9X", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Surface surface(8 * cw, ch);
        drawer.BeginDrawing(surface.Canvas);
        drawer.DrawTextSpaced(0, 0, 0, Rect(0, 0, 8 * cw, ch), c.Text);
        drawer.EndDrawing();
        const QImage& image = surface.Done();
        // Draw the "X" alone at its expected cell for comparison.
        Surface reference(8 * cw, ch);
        drawer.BeginDrawing(reference.Canvas);
        drawer.DrawTextSpaced(c.CellOfLastX * cw, 0, 0, Rect(0, 0, 8 * cw, ch), "X");
        drawer.EndDrawing();
        const QImage& expected = reference.Done();
        const int x0 = c.CellOfLastX * cw;
        EXPECT_EQ(image.copy(x0, 0, cw, ch), expected.copy(x0, 0, cw, ch));
        EXPECT_TRUE(InkColumns(image, x0 + cw, 8 * cw, 0, ch).empty());
    }
}

TEST(TextDrawer, SpacingTableGrowsInStepsOf64)
{
    const TestFont font("DejaVu Sans Mono", 12);
    TheTextDrawer drawer({}, &font);
    Surface surface(200, 40);
    drawer.BeginDrawing(surface.Canvas);
    const TRect r = Rect(0, 0, 200, 40);
    EXPECT_EQ(drawer.SpacingTableSize(), 0);
    drawer.DrawTextSpaced(0, 0, 0, r, "");
    EXPECT_EQ(drawer.SpacingTableSize(), 0);
    drawer.DrawTextSpaced(0, 0, 0, r, std::string(10, 'a'));
    EXPECT_EQ(drawer.SpacingTableSize(), 64);
    drawer.DrawTextSpaced(0, 0, 0, r, std::string(64, 'a'));
    EXPECT_EQ(drawer.SpacingTableSize(), 64);
    drawer.DrawTextSpaced(0, 0, 0, r, std::string(65, 'a'));
    EXPECT_EQ(drawer.SpacingTableSize(), 128);
    drawer.DrawTextSpaced(0, 0, 0, r, std::string(20, 'a'));
    EXPECT_EQ(drawer.SpacingTableSize(), 128) << "reused, not shrunk";
    drawer.EndDrawing();

    drawer.SetBaseStyle({fsItalic});
    EXPECT_EQ(drawer.SpacingTableSize(), 0) << "dropped with the base style";
    drawer.BeginDrawing(surface.Canvas);
    drawer.DrawTextSpaced(0, 0, 0, r, std::string(64, 'a'));
    EXPECT_EQ(drawer.SpacingTableSize(), 128) << "64 characters on an empty table";
    drawer.EndDrawing();
    const TestFont other("DejaVu Sans Mono", 13);
    drawer.SetBaseFont(&other);
    EXPECT_EQ(drawer.SpacingTableSize(), 0) << "dropped with the base font";
}

TEST(TextDrawer, CharacterExtraWidensTheCellAlsoAfterEarlierDrawing)
{
    const TestFont font("DejaVu Sans Mono", 14);
    TheTextDrawer drawer({}, &font);
    const int cw = drawer.CharWidth();
    const int ch = drawer.CharHeight();
    Surface first(300, ch);
    drawer.BeginDrawing(first.Canvas);
    drawer.DrawTextSpaced(0, 0, 0, Rect(0, 0, 300, ch), "||||");
    drawer.EndDrawing();
    const auto plain = FirstInkPerCell(first.Done(), 0, cw, 4, ch);

    drawer.SetCharExtra(3);
    EXPECT_EQ(drawer.CharWidth(), cw + 3);
    Surface second(300, ch);
    drawer.BeginDrawing(second.Canvas);
    drawer.DrawTextSpaced(0, 0, 0, Rect(0, 0, 300, ch), "||||");
    drawer.EndDrawing();
    const auto wider = FirstInkPerCell(second.Done(), 0, cw + 3, 4, ch);
    for (size_t k = 0; k < 4; ++k)
        EXPECT_EQ(wider[k], plain[0]) << "cell " << k << " is " << cw + 3 << " pixels wide";
}

TEST(TextDrawer, OpaqueOutputFillsTheRectangleWithTheBackColour)
{
    const TestFont font("DejaVu Sans Mono", 14);
    TheTextDrawer drawer({}, &font);
    drawer.SetBackColor(clYellow);
    drawer.SetForeColor(clBlue);
    const int ch = drawer.CharHeight();
    Surface surface(100, ch + 10);
    drawer.BeginDrawing(surface.Canvas);
    drawer.DrawTextSpaced(0, 0, ETO_OPAQUE | ETO_CLIPPED, Rect(0, 0, 60, ch), "MM");
    drawer.EndDrawing();
    const QImage& image = surface.Done();
    EXPECT_EQ(image.pixel(59, 0), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(60, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(0, ch), qRgb(255, 255, 255));
    bool blue = false;
    for (int y = 0; y < ch && !blue; ++y)
        for (int x = 0; x < 2 * drawer.CharWidth() && !blue; ++x)
            blue = qBlue(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) < 100;
    EXPECT_TRUE(blue) << "text in the fore colour";
}

TEST(TextDrawer, DrawingNestsOnOneCanvasAndRestoresItsState)
{
    const TestFont font("DejaVu Sans Mono", 12);
    TheTextDrawer drawer({}, &font);
    Surface a(50, 50), b(50, 50);
    drawer.BeginDrawing(a.Canvas);
    drawer.BeginDrawing(a.Canvas);
    EXPECT_THROW(drawer.BeginDrawing(b.Canvas), EAssertionFailed);
    drawer.EndDrawing();
    drawer.DrawText(0, 0, "x");
    drawer.EndDrawing();
    EXPECT_THROW(drawer.EndDrawing(), EAssertionFailed);
    EXPECT_THROW(drawer.DrawText(0, 0, "x"), EAssertionFailed) << "no canvas attached";
    drawer.BeginDrawing(b.Canvas);
    drawer.EndDrawing();
}

TEST(TextDrawer, DrawsAgainAfterReleasingTemporaryResources)
{
    const TestFont font("DejaVu Sans Mono", 14);
    TheTextDrawer drawer({}, &font);
    drawer.SetForeColor(clBlack);
    const int ch = drawer.CharHeight();
    drawer.ReleaseTemporaryResources();
    EXPECT_FALSE(drawer.FontStock().FontsInfo()->FontsData[0].Handle);
    drawer.SetStyle({});
    Surface surface(100, ch);
    drawer.BeginDrawing(surface.Canvas);
    drawer.DrawTextSpaced(0, 0, 0, Rect(0, 0, 100, ch), "MM");
    drawer.EndDrawing();
    EXPECT_GT(InkCount(surface.Done()), 0);
    EXPECT_TRUE(drawer.FontStock().FontsInfo()->FontsData[0].Handle);
}
