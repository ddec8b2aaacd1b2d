#pragma once
// Page geometry of printing: TSrcEditPrinterInfo reads the printer's paper, printable area,
// offsets and resolution (a fixed A4 page at 300 dpi when there is no printer) and turns
// millimetres from the paper edges into pixels of the printable area; TSrcEditPrintMargins holds
// the margins in millimetres, reads and writes them in a chosen unit and lays out a page.

#include "Platform/core/Component.h"

class QPrinter;
class TCanvas;

enum TUnitSystem { usMM = 0, usCM = 1, usInch = 2, muThousandthsOfInches = 3 };

class TSrcEditPrinterInfo {
public:
    // The printer to read; null (or a system without printers, unless the printer writes to a
    // file) gives the default page. Not owned.
    void SetPrinter(QPrinter* printer);
    QPrinter* Printer() const { return FPrinter; }

    void RefreshPrinterGeometry();
    // Forgets the geometry, so the next reader refreshes it.
    void Invalidate() { FGeometryReady = false; }
    bool GeometryReady() const { return FGeometryReady; }

    int PaperWidth();
    int PaperHeight();
    int PrintAreaWidth();
    int PrintAreaHeight();
    int OffsetLeft();
    int OffsetTop();
    int OffsetRight();
    int OffsetBottom();
    int DotsPerInchX();
    int DotsPerInchY();
    float DotsPerMMX();
    float DotsPerMMY();

    // Distances from the paper edges in millimetres as pixels of the printable area; halves
    // round to even.
    int LeftEdgeToPixels(double mm);
    int RightEdgeToPixels(double mm);
    int UpperEdgeToPixels(double mm);
    int LowerEdgeToPixels(double mm);

private:
    void Ready();
    void SetDefaultPage();

    QPrinter* FPrinter = nullptr;
    bool FGeometryReady = false;
    int FPaperWidth = 0, FPaperHeight = 0, FPrintAreaWidth = 0, FPrintAreaHeight = 0;
    int FOffsetLeft = 0, FOffsetTop = 0, FOffsetRight = 0, FOffsetBottom = 0;
    int FDotsPerInchX = 0, FDotsPerInchY = 0;
    float FDotsPerMMX = 0, FDotsPerMMY = 0;
};

// Rounds to the nearest integer, halves to even.
int RoundHalfEven(double value);

class TSrcEditPrintMargins : public TPersistent {
public:
    TSrcEditPrintMargins();

    TUnitSystem UnitSystem() const { return FUnitSystem; }
    // Converts nothing: later reads and writes use the new unit.
    void SetUnitSystem(TUnitSystem value) { FUnitSystem = value; }

    // Distances in UnitSystem; stored in millimetres.
    double Left() const { return FromMillimetres(FLeft); }
    void SetLeft(double v) { FLeft = ToMillimetres(v); }
    double Right() const { return FromMillimetres(FRight); }
    void SetRight(double v) { FRight = ToMillimetres(v); }
    double Top() const { return FromMillimetres(FTop); }
    void SetTop(double v) { FTop = ToMillimetres(v); }
    double Bottom() const { return FromMillimetres(FBottom); }
    void SetBottom(double v) { FBottom = ToMillimetres(v); }
    double Header() const { return FromMillimetres(FHeader); }
    void SetHeader(double v) { FHeader = ToMillimetres(v); }
    double Footer() const { return FromMillimetres(FFooter); }
    void SetFooter(double v) { FFooter = ToMillimetres(v); }
    double LeftHFTextIndent() const { return FromMillimetres(FLeftHFTextIndent); }
    void SetLeftHFTextIndent(double v) { FLeftHFTextIndent = ToMillimetres(v); }
    double RightHFTextIndent() const { return FromMillimetres(FRightHFTextIndent); }
    void SetRightHFTextIndent(double v) { FRightHFTextIndent = ToMillimetres(v); }
    double HFInternalMargin() const { return FromMillimetres(FHFInternalMargin); }
    void SetHFInternalMargin(double v) { FHFInternalMargin = ToMillimetres(v); }
    double Gutter() const { return FromMillimetres(FGutter); }
    void SetGutter(double v) { FGutter = ToMillimetres(v); }
    bool MirrorMargins() const { return FMirrorMargins; }
    void SetMirrorMargins(bool v) { FMirrorMargins = v; }

    double FromMillimetres(double mm) const;
    double ToMillimetres(double value) const;

    // The pixel layout of one page; `lineNumbers` outside the margin take the width of
    // maxLineNumber followed by ": " (in the canvas font) from the text area.
    void LayoutPage(const TCanvas& canvas, int pageNumber, TSrcEditPrinterInfo& geometry, bool lineNumbers,
                    bool lineNumbersInMargin, int maxLineNumber);

    int PixLeft = 0, PixRight = 0, PixTop = 0, PixBottom = 0, PixHeader = 0, PixFooter = 0;
    int PixLeftHFTextIndent = 0, PixRightHFTextIndent = 0, PixHFInternalMargin = 0, PixGutter = 0;

    void Assign(const TPersistent& source) override;

private:
    TUnitSystem FUnitSystem = usMM;
    double FLeft = 25, FRight = 15, FTop = 25, FBottom = 25, FHeader = 15, FFooter = 15;
    double FLeftHFTextIndent = 2, FRightHFTextIndent = 2, FHFInternalMargin = 0.5, FGutter = 0;
    bool FMirrorMargins = false;
};
