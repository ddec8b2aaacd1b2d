#pragma once
// TSrcEditPrint: prints the text of an editor. It takes the editor's lines, font, tab width,
// highlighter and selection, lays the text out on pages (margins, header, footer, line numbers,
// wrapped long lines) on a fixed character grid, and paints pages onto the printer or onto a
// preview canvas, reporting progress through events that may abort the job.

#include "SrcEdit/Source/print/SrcEditPrintHeaderFooter.h"
#include "SrcEdit/Source/print/SrcEditPrintMargins.h"
#include "SrcEdit/Source/print/SrcEditPrintText.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"
#include "SrcEdit/Source/text/SrcEditTypes.h"

#include "Platform/core/Component.h"
#include "Platform/graphics/Graphics.h"
#include "Platform/text/Strings.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QPrinter;
class TCanvas;
class TCustomSrcEdit;

enum TSrcPrintStatus { psBegin = 0, psNewPage = 1, psEnd = 2 };

using TPrintLineEvent = std::function<void(TObject* Sender, int LineNumber, int PageNumber)>;
using TPrintStatusEvent = std::function<void(TObject* Sender, TSrcPrintStatus Status, int PageNumber, bool& Abort)>;

// Break positions (1-based, the break comes after that character) that cut `text` into pieces
// of at most `columns` characters, breaking after characters of `breakChars`. A stretch with no
// such character where one is needed is cut at `columns`. False, with the list left as it is
// made, when no break character was used (a text that fits answers true with an empty list).
// Positions are byte positions; columns count characters.
bool FindWrapPositions(std::string_view text, const TSrcCharSet& breakChars, int columns, std::vector<int>& list);

class TSrcEditPrint : public TComponent {
public:
    explicit TSrcEditPrint(TComponent* AOwner = nullptr);
    ~TSrcEditPrint() override;

    int Copies = 1;
    THeader& Header() { return FHeader; }
    void SetHeader(const THeader& value) { FHeader.Assign(value); }
    TFooter& Footer() { return FFooter; }
    void SetFooter(const TFooter& value) { FFooter.Assign(value); }
    TSrcEditPrintMargins& Margins() { return FMargins; }
    void SetMargins(const TSrcEditPrintMargins& value) { FMargins.Assign(value); }

    // The text, with tabs expanded for TabWidth.
    const TStrings& Lines() const { return FLines; }
    void SetLines(const TStrings& value);
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& value);
    std::string Title;
    // The job name; Title when empty.
    std::string DocTitle;
    bool Wrap = true;
    bool Highlight = true;
    bool SelectedOnly = false;
    bool Colors = false;
    bool LineNumbers = false;
    int LineOffset = 0;
    int PageOffset = 0;
    bool LineNumbersInMargin = false;
    int TabWidth = 8;
    TColor Color = clWhite;
    TPrintLineEvent OnPrintLine;
    TPrintStatusEvent OnPrintStatus;

    TSrcCustomHighlighter* Highlighter() const { return FHighlighter; }
    void SetHighlighter(TSrcCustomHighlighter* value);

    // The printer that PrintPageRange prints on and whose geometry lays out the pages; the
    // engine's own until another is set (not owned; null goes back to the own one).
    QPrinter* Printer() const { return FPrinter; }
    void SetPrinter(QPrinter* printer);
    TSrcEditPrinterInfo& PrinterGeometry() { return FGeometry; }

    void TakeEditorSettings(const TCustomSrcEdit& editor);
    // Lays the pages out for `canvas`; answers whether highlighting is used.
    bool PreparePages(TCanvas& canvas);
    // Paints one page, after PreparePages on the same canvas (the preview's way).
    void RenderPage(TCanvas& canvas, int pageNumber);
    void PrintAllPages() { PrintPageRange(1, -1); }
    // Prints on the printer; toPage < 0 is the last page. Raises ESrcEditError when the printer
    // cannot start the job.
    void PrintPageRange(int fromPage, int toPage);
    int CountPages();
    int TotalPages() const { return static_cast<int>(FPageStarts.size()); }
    // 0-based index of the first line of each page.
    const std::vector<int>& PageStarts() const { return FPageStarts; }
    int TextAreaColumns() const { return FTextAreaColumns; }
    int CellAdvance() const { return FCellAdvance; }
    int LinePitch() const { return FLinePitch; }

    virtual void ReportStatus(TSrcPrintStatus status, int pageNumber, bool& abort);
    virtual void ReportLine(int lineNumber, int pageNumber);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void MeasureAndPaginate();
    void ScanHighlighterRanges();
    void Paginate();
    // The text of line `index` as it prints: with SelectedOnly outside line mode only its
    // selected part.
    std::string PrintedText(int index) const;
    bool InSelectedLines(int index) const;
    // Extra output lines of a wrapped text (0 when it fits or Wrap is off).
    int WrapRows(std::string_view text) const;
    std::vector<int> WrapPositions(std::string_view text) const;
    bool TooWide(std::string_view text) const;
    void PrintPageContent(int pageNumber);
    void PrintLine(const std::string& text);
    void PrintLineNumber();
    void PrintLineText(const std::string& text, const std::vector<int>& positions);
    void PrintClipped(int x, int y, std::string_view text, TColor textColor, TColor backColor,
                      TFontStyles style);
    // Pieces of one look that follow each other on an output line are drawn in one call.
    void DrawPiece(int x, int y, std::string_view text, TColor textColor, TColor backColor, TFontStyles style);
    void FlushPiece();
    // The print font in a style, ready for the grid; made once per pagination.
    const TGridFont& GridFont(TFontStyles style);

    THeader FHeader;
    TFooter FFooter;
    TSrcEditPrintMargins FMargins;
    TStringList FLines;
    std::vector<TSrcRange> FRanges;
    TFont FFont;
    TSrcCustomHighlighter* FHighlighter = nullptr;
    std::unique_ptr<QPrinter> FOwnPrinter;
    QPrinter* FPrinter = nullptr;
    TSrcEditPrinterInfo FGeometry;

    struct TPiece {
        int X = 0, Y = 0, Chars = 0;
        std::string Text;
        TColor TextColor = clBlack, BackColor = clNone;
        TFontStyles Style;
        bool Active = false;
    } FPiece;
    std::array<std::unique_ptr<TGridFont>, 16> FGridFonts;
    QFont FNumberFont;
    int FNumberAscent = 0;
    std::vector<int> FPageStarts;
    TCanvas* FCanvas = nullptr;
    int FCellAdvance = 0;
    int FLinePitch = 0;
    int FTextAreaWidth = 0;
    int FTextAreaColumns = 0;
    TColor FBaseFontColor = clBlack;
    int FPenY = 0;
    int FCurrentLine = 0;
    bool FUseHighlighting = false;
    bool FRangesScanned = false;
    bool FPagesReady = false;
    bool FPrintRunActive = false;
    bool FAbortRequested = false;
    bool FSelectionAvailable = false;
    TSrcSelectionMode FSelectionMode = TSrcSelectionMode::smNormal;
    TBufferCoord FSelectionStart;
    TBufferCoord FSelectionEnd;
};
