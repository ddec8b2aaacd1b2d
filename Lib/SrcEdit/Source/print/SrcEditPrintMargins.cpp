#include "SrcEdit/Source/print/SrcEditPrintMargins.h"

#include "Platform/graphics/Canvas.h"

#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>
#include <string>

int RoundHalfEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

// ---- TSrcEditPrinterInfo

void TSrcEditPrinterInfo::SetPrinter(QPrinter* printer)
{
    FPrinter = printer;
    FGeometryReady = false;
}

void TSrcEditPrinterInfo::SetDefaultPage()
{
    FPaperWidth = 2481;
    FPaperHeight = 3507;
    FPrintAreaWidth = 2358;
    FPrintAreaHeight = 3407;
    FOffsetLeft = 65;
    FOffsetTop = 50;
    FDotsPerInchX = 300;
    FDotsPerInchY = 300;
}

void TSrcEditPrinterInfo::RefreshPrinterGeometry()
{
    FGeometryReady = true;
    // why: a printer that writes a file is a printer even where the system lists none.
    const bool hasPrinter =
        FPrinter && (!FPrinter->outputFileName().isEmpty() || !QPrinterInfo::availablePrinters().isEmpty());
    if (!hasPrinter) {
        SetDefaultPage();
    } else {
        const QRect paper = FPrinter->paperRect(QPrinter::DevicePixel).toRect();
        const QRect page = FPrinter->pageRect(QPrinter::DevicePixel).toRect();
        FPaperWidth = paper.width();
        FPaperHeight = paper.height();
        FPrintAreaWidth = page.width();
        FPrintAreaHeight = page.height();
        FOffsetLeft = page.left() - paper.left();
        FOffsetTop = page.top() - paper.top();
        FDotsPerInchX = FPrinter->logicalDpiX();
        FDotsPerInchY = FPrinter->logicalDpiY();
    }
    FOffsetRight = FPaperWidth - FPrintAreaWidth - FOffsetLeft;
    FOffsetBottom = FPaperHeight - FPrintAreaHeight - FOffsetTop;
    FDotsPerMMX = static_cast<float>(FDotsPerInchX / 25.4);
    FDotsPerMMY = static_cast<float>(FDotsPerInchY / 25.4);
}

void TSrcEditPrinterInfo::Ready()
{
    if (!FGeometryReady)
        RefreshPrinterGeometry();
}

int TSrcEditPrinterInfo::PaperWidth() { Ready(); return FPaperWidth; }
int TSrcEditPrinterInfo::PaperHeight() { Ready(); return FPaperHeight; }
int TSrcEditPrinterInfo::PrintAreaWidth() { Ready(); return FPrintAreaWidth; }
int TSrcEditPrinterInfo::PrintAreaHeight() { Ready(); return FPrintAreaHeight; }
int TSrcEditPrinterInfo::OffsetLeft() { Ready(); return FOffsetLeft; }
int TSrcEditPrinterInfo::OffsetTop() { Ready(); return FOffsetTop; }
int TSrcEditPrinterInfo::OffsetRight() { Ready(); return FOffsetRight; }
int TSrcEditPrinterInfo::OffsetBottom() { Ready(); return FOffsetBottom; }
int TSrcEditPrinterInfo::DotsPerInchX() { Ready(); return FDotsPerInchX; }
int TSrcEditPrinterInfo::DotsPerInchY() { Ready(); return FDotsPerInchY; }
float TSrcEditPrinterInfo::DotsPerMMX() { Ready(); return FDotsPerMMX; }
float TSrcEditPrinterInfo::DotsPerMMY() { Ready(); return FDotsPerMMY; }

int TSrcEditPrinterInfo::LeftEdgeToPixels(double mm)
{
    Ready();
    return RoundHalfEven(mm * FDotsPerMMX - FOffsetLeft);
}

int TSrcEditPrinterInfo::RightEdgeToPixels(double mm)
{
    Ready();
    return RoundHalfEven(mm * FDotsPerMMX - FOffsetRight);
}

int TSrcEditPrinterInfo::UpperEdgeToPixels(double mm)
{
    Ready();
    return RoundHalfEven(mm * FDotsPerMMY - FOffsetTop);
}

int TSrcEditPrinterInfo::LowerEdgeToPixels(double mm)
{
    Ready();
    return RoundHalfEven(mm * FDotsPerMMY - FOffsetBottom);
}

// ---- TSrcEditPrintMargins

TSrcEditPrintMargins::TSrcEditPrintMargins() = default;

double TSrcEditPrintMargins::FromMillimetres(double mm) const
{
    switch (FUnitSystem) {
    case usCM: return mm / 10;
    case usInch: return mm / 25.4;
    case muThousandthsOfInches: return mm * 1000 / 25.4;
    default: return mm;
    }
}

double TSrcEditPrintMargins::ToMillimetres(double value) const
{
    switch (FUnitSystem) {
    case usCM: return value * 10;
    case usInch: return value * 25.4;
    case muThousandthsOfInches: return value * 25.4 / 1000;
    default: return value;
    }
}

void TSrcEditPrintMargins::LayoutPage(const TCanvas& canvas, int pageNumber, TSrcEditPrinterInfo& geometry,
                                      bool lineNumbers, bool lineNumbersInMargin, int maxLineNumber)
{
    if (!FMirrorMargins || pageNumber % 2 == 1) {
        PixLeft = geometry.LeftEdgeToPixels(FLeft + FGutter);
        PixRight = geometry.PrintAreaWidth() - geometry.RightEdgeToPixels(FRight);
    } else {
        PixLeft = geometry.LeftEdgeToPixels(FRight);
        PixRight = geometry.PrintAreaWidth() - geometry.RightEdgeToPixels(FLeft + FGutter);
    }
    if (lineNumbers && !lineNumbersInMargin)
        PixLeft += canvas.TextWidth(std::to_string(maxLineNumber) + ": ");
    PixTop = geometry.UpperEdgeToPixels(FTop);
    PixBottom = geometry.PrintAreaHeight() - geometry.LowerEdgeToPixels(FBottom);
    PixHeader = geometry.UpperEdgeToPixels(FHeader);
    PixFooter = geometry.PrintAreaHeight() - geometry.LowerEdgeToPixels(FFooter);
    PixHFInternalMargin = RoundHalfEven(geometry.DotsPerMMY() * FHFInternalMargin);
    PixGutter = RoundHalfEven(geometry.DotsPerMMX() * FGutter);
    PixRightHFTextIndent = PixRight - RoundHalfEven(geometry.DotsPerMMX() * FRightHFTextIndent);
    PixLeftHFTextIndent = PixLeft + RoundHalfEven(geometry.DotsPerMMX() * FLeftHFTextIndent);
}

void TSrcEditPrintMargins::Assign(const TPersistent& source)
{
    if (auto other = dynamic_cast<const TSrcEditPrintMargins*>(&source)) {
        FLeft = other->FLeft;
        FRight = other->FRight;
        FTop = other->FTop;
        FBottom = other->FBottom;
        FHeader = other->FHeader;
        FFooter = other->FFooter;
        FLeftHFTextIndent = other->FLeftHFTextIndent;
        FRightHFTextIndent = other->FRightHFTextIndent;
        FHFInternalMargin = other->FHFInternalMargin;
        FGutter = other->FGutter;
        FMirrorMargins = other->FMirrorMargins;
        FUnitSystem = other->FUnitSystem;
        return;
    }
    TPersistent::Assign(source);
}
