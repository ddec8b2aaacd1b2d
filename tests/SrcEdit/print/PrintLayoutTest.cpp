// Page geometry: margins read and written in each unit, the default page without a printer, the
// pixel layout with mirrored margins and room for line numbers, and a PDF printer's geometry.

#include "SrcEdit/Source/print/SrcEditPrintMargins.h"

#include "Platform/graphics/Canvas.h"
#include "support/TempDir.h"

#include <QPrinter>
#include <gtest/gtest.h>

TEST(PrintMargins, DistancesAreStoredInMillimetresAndReadInTheChosenUnit)
{
    struct Case {
        TUnitSystem Unit;
        double Written;
        double StoredMM;
    };
    const Case cases[] = {{usMM, 25, 25}, {usCM, 2.5, 25}, {usInch, 1, 25.4}, {muThousandthsOfInches, 1000, 25.4}};
    for (const Case& c : cases) {
        TSrcEditPrintMargins m;
        m.SetUnitSystem(c.Unit);
        m.SetLeft(c.Written);
        EXPECT_DOUBLE_EQ(m.Left(), c.Written) << c.Unit;
        m.SetUnitSystem(usMM);
        EXPECT_NEAR(m.Left(), c.StoredMM, 1e-9) << "changing the unit converts nothing, unit " << c.Unit;
    }
    TSrcEditPrintMargins m;
    m.SetUnitSystem(muThousandthsOfInches);
    EXPECT_NEAR(m.Top(), 25 * 1000 / 25.4, 1e-9);
}

TEST(PrintMargins, AssignCopiesEveryValueTheUnitAndMirroring)
{
    TSrcEditPrintMargins a;
    a.SetUnitSystem(usCM);
    a.SetGutter(1);
    a.SetFooter(3);
    a.SetMirrorMargins(true);
    TSrcEditPrintMargins b;
    b.Assign(a);
    EXPECT_EQ(b.UnitSystem(), usCM);
    EXPECT_DOUBLE_EQ(b.Gutter(), 1);
    EXPECT_DOUBLE_EQ(b.Footer(), 3);
    EXPECT_TRUE(b.MirrorMargins());
}

TEST(PrintMargins, WithoutAPrinterTheDefaultA4PageAt300DotsPerInchLaysOutThePage)
{
    TSrcEditPrinterInfo geometry;
    EXPECT_EQ(geometry.PaperWidth(), 2481);
    EXPECT_EQ(geometry.OffsetRight(), 58);
    EXPECT_EQ(geometry.OffsetBottom(), 50);
    TSrcEditPrintMargins m;
    TCanvas canvas;
    m.LayoutPage(canvas, 1, geometry, false, false, 1);
    EXPECT_EQ(m.PixLeft, 230) << "25 mm at 300 dpi is 295 pixels, less the 65 unprintable ones";
    EXPECT_EQ(m.PixRight, 2358 - (RoundHalfEven(15 * 300 / 25.4) - 58));
    EXPECT_EQ(m.PixTop, RoundHalfEven(25 * 300 / 25.4) - 50);
    EXPECT_EQ(m.PixFooter, 3407 - (RoundHalfEven(15 * 300 / 25.4) - 50));
    EXPECT_EQ(m.PixHFInternalMargin, 6);
    EXPECT_EQ(m.PixLeftHFTextIndent, m.PixLeft + 24);
}

TEST(PrintMargins, EvenPagesMirrorTheMarginsAndTheGutterAndOddPagesDoNot)
{
    TSrcEditPrinterInfo geometry;
    TSrcEditPrintMargins m;
    m.SetGutter(10);
    m.SetMirrorMargins(true);
    TCanvas canvas;
    m.LayoutPage(canvas, 1, geometry, false, false, 1);
    const int oddLeft = m.PixLeft, oddRight = m.PixRight;
    m.LayoutPage(canvas, 3, geometry, false, false, 1);
    EXPECT_EQ(m.PixLeft, oddLeft);
    EXPECT_EQ(m.PixRight, oddRight);
    m.LayoutPage(canvas, 2, geometry, false, false, 1);
    EXPECT_EQ(m.PixLeft, geometry.LeftEdgeToPixels(15));
    EXPECT_EQ(m.PixRight, geometry.PrintAreaWidth() - geometry.RightEdgeToPixels(35));
}

TEST(PrintMargins, LineNumbersOutsideTheMarginTakeTheWidthOfTheLargestNumber)
{
    TSrcEditPrinterInfo geometry;
    TSrcEditPrintMargins m;
    TCanvas canvas;
    m.LayoutPage(canvas, 1, geometry, false, false, 9999);
    const int plain = m.PixLeft;
    m.LayoutPage(canvas, 1, geometry, true, true, 9999);
    EXPECT_EQ(m.PixLeft, plain) << "in the margin";
    m.LayoutPage(canvas, 1, geometry, true, false, 9999);
    EXPECT_EQ(m.PixLeft, plain + canvas.TextWidth("9999: "));
}

TEST(PrintMargins, APdfPrinterGivesItsOwnPaperAndResolution)
{
    TempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.File("out.pdf")));
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::A4));
    TSrcEditPrinterInfo geometry;
    geometry.SetPrinter(&printer);
    EXPECT_EQ(geometry.DotsPerInchX(), 600);
    EXPECT_NEAR(geometry.PaperWidth(), 210 / 25.4 * 600, 5);
    EXPECT_EQ(geometry.PaperWidth() - geometry.PrintAreaWidth(), geometry.OffsetLeft() + geometry.OffsetRight());
    EXPECT_FLOAT_EQ(geometry.DotsPerMMY(), static_cast<float>(600 / 25.4));
}
