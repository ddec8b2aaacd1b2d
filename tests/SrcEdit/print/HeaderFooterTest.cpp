// Header and footer: macro expansion, Roman numerals, the stored item text and its reading back,
// line renumbering, and what a band without items draws.

#include "SrcEdit/Source/print/SrcEditPrintHeaderFooter.h"

#include "Platform/graphics/Canvas.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

void SetArial10(TFont& f, TFontStyles style)
{
    f.SetName("Arial");
    f.SetSize(10);
    f.SetColor(clBlack);
    f.SetStyle(style);
}

} // namespace

TEST(HeaderFooter, MacrosExpandWithoutRegardToCaseAndOtherDollarsStayText)
{
    THeader header;
    TSrcEditPrintMargins margins;
    TCanvas canvas;
    header.PrepareForJob(canvas, 12, &margins, "index.php");
    header.SetJobDate("08/12/2026");
    header.SetJobTime("14:35");
    const struct {
        const char* Text;
        const char* Expected;
    } cases[] = {
        {"Page $pagenum$ of $PageCount$", "Page 3 of 12"},
        {"Cost $5", "Cost $5"},
        {"$$PAGENUM$", "$3"},
        {"$TITLE$", "index.php"},
        {"$DATETIME$|$TIMEDATE$", "08/12/2026 14:35|14:35 08/12/2026"},
        {"$DATE$ $TIME$", "08/12/2026 14:35"},
        {"$UNKNOWN$TITLE$", "$UNKNOWNindex.php"},
        {"   ", ""},
        {"trailing $", "trailing $"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(header.ExpandMacros(c.Text, 3), c.Expected) << c.Text;
    header.SetRomanNumbers(true);
    EXPECT_EQ(header.ExpandMacros("$PAGENUM$/$PAGECOUNT$", 14), "XIV/XII");
}

TEST(HeaderFooter, RomanNumeralsUseTheSubtractiveForm)
{
    const std::pair<int, const char*> cases[] = {{1, "I"},   {4, "IV"},      {9, "IX"},   {14, "XIV"},
                                                 {40, "XL"}, {1999, "MCMXCIX"}, {3888, "MMMDCCCLXXXVIII"},
                                                 {0, ""},    {-5, ""}};
    for (const auto& [n, text] : cases)
        EXPECT_EQ(RomanNumeral(n), text) << n;
}

TEST(HeaderFooter, ItemsAreStoredAsOneEscapedLineAndReadBack)
{
    THeader header;
    header.AddTextItem("$PAGENUM$/$PAGECOUNT$", nullptr, 1, taRightJustify);
    TFont bold;
    SetArial10(bold, {fsBold});
    header.AddTextItem("$TITLE$", &bold, 1, taLeftJustify);
    const std::string stored = header.ItemsAsText();
    EXPECT_EQ(stored, "$PAGENUM$\\\\.$PAGECOUNT$\\.1\\.0\\.-13\\.Arial\\.0\\.96\\.10\\.0\\.1\\.1/"
                      "$TITLE$\\.1\\.0\\.-13\\.Arial\\.0\\.96\\.10\\.1\\.1\\.0");

    TFooter footer;
    footer.LoadItemsFromText(stored);
    ASSERT_EQ(footer.TextItemCount(), 2);
    EXPECT_EQ(footer.TextItemAt(0).ItemText, "$PAGENUM$/$PAGECOUNT$");
    EXPECT_EQ(footer.TextItemAt(0).ItemAlignment, taRightJustify);
    EXPECT_EQ(footer.TextItemAt(1).ItemFont.Style(), TFontStyles{fsBold});
    EXPECT_EQ(footer.TextItemAt(1).ItemFont.Height(), -13);
    EXPECT_EQ(footer.ItemsAsText(), stored);
}

TEST(HeaderFooter, TextsWithSlashesAndBackslashesSurvive)
{
    THeader header;
    header.AddTextItem("C:\\path/to\\\\file//", nullptr, 1, taCenter);
    THeader copy;
    copy.LoadItemsFromText(header.ItemsAsText());
    ASSERT_EQ(copy.TextItemCount(), 1);
    EXPECT_EQ(copy.TextItemAt(0).ItemText, "C:\\path/to\\\\file//");
    EXPECT_EQ(copy.TextItemAt(0).ItemAlignment, taCenter);
}

TEST(HeaderFooter, LinesAreRenumberedConsecutively)
{
    THeader header;
    header.AddTextItem("a", nullptr, 3, taLeftJustify);
    header.AddTextItem("b", nullptr, 3, taRightJustify);
    header.AddTextItem("c", nullptr, 7, taLeftJustify);
    header.ItemsAsText();
    EXPECT_EQ(header.TextItemAt(0).LineNo, 1);
    EXPECT_EQ(header.TextItemAt(1).LineNo, 1);
    EXPECT_EQ(header.TextItemAt(2).LineNo, 2);
}

TEST(HeaderFooter, EmptyAndCutShortValuesLoadSafely)
{
    THeader header;
    header.LoadItemsFromText("");
    EXPECT_EQ(header.TextItemCount(), 0);
    header.LoadItemsFromText("Title\\.1\\.x");
    ASSERT_EQ(header.TextItemCount(), 1);
    EXPECT_EQ(header.TextItemAt(0).ItemText, "Title");
    EXPECT_EQ(header.TextItemAt(0).LineNo, 0);
    EXPECT_EQ(header.TextItemAt(0).ItemFont.Color(), 0) << "a field that is not a number reads as 0";
}

TEST(HeaderFooter, ABandWithoutItemsDrawsNotEvenItsFrame)
{
    THeader header;
    header.SetFrameTypes(TFrameTypes{ftBox, ftShaded, ftLine});
    TSrcEditPrintMargins margins;
    margins.PixLeft = 10;
    margins.PixRight = 190;
    margins.PixHeader = 50;
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TCanvas canvas(&painter);
    header.PrepareForJob(canvas, 1, &margins, "t");
    EXPECT_EQ(header.FrameExtent(), -1);
    header.PrintHeaderFooter(canvas, 1);
    painter.end();
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(image.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
}

TEST(HeaderFooter, AssignCopiesItemsFramesAndColours)
{
    THeader a;
    a.AddTextItem("x", nullptr, 1, taCenter);
    a.SetFrameTypes(TFrameTypes{ftBox});
    a.SetLineColor(clRed);
    a.SetMirrorPosition(true);
    THeader b;
    b.AddTextItem("old", nullptr, 1, taLeftJustify);
    b.Assign(a);
    ASSERT_EQ(b.TextItemCount(), 1);
    EXPECT_EQ(b.TextItemAt(0).ItemText, "x");
    EXPECT_EQ(b.FrameTypes(), TFrameTypes{ftBox});
    EXPECT_EQ(b.LineColor(), clRed);
    EXPECT_TRUE(b.MirrorPosition());
}
