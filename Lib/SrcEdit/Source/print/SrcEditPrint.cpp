#include "SrcEdit/Source/print/SrcEditPrint.h"

#include "SrcEdit/Source/print/SrcEditPrintText.h"
#include "SrcEdit/Source/text/SrcEditTextRoutines.h"
#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/QtBridge.h"
#include "Platform/graphics/Canvas.h"
#include "Platform/text/TextChars.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <climits>

namespace {

const TSrcCharSet FirstBreakSet = CharSetOf("\t ,-");
const TSrcCharSet SecondBreakSet = CharSetOf(").;");

QFont StyledFont(const TFont& font, TFontStyles style)
{
    TFont styled;
    styled.Assign(font);
    styled.SetStyle(style);
    return styled.ToQFont();
}

// Byte offsets of the characters of a text, with the length at the end.
std::vector<int> CharStarts(std::string_view text)
{
    std::vector<int> starts;
    starts.reserve(text.size() + 1);
    for (size_t i = 0; i < text.size(); i += static_cast<size_t>(TextChars::CharLength(text, i)))
        starts.push_back(static_cast<int>(i));
    starts.push_back(static_cast<int>(text.size()));
    return starts;
}

} // namespace

bool FindWrapPositions(std::string_view text, const TSrcCharSet& breakChars, int columns, std::vector<int>& list)
{
    const std::vector<int> starts = CharStarts(text);
    const int length = static_cast<int>(starts.size()) - 1;
    if (length <= columns)
        return true;
    columns = std::max(columns, 1);
    int candidate = 0;
    int lastBreak = 0;
    bool usedBreakChar = false;
    for (int i = 1; i <= length; ++i) {
        if (i - lastBreak > columns) {
            if (candidate > 0) {
                lastBreak = candidate;
                usedBreakChar = true;
            } else {
                // why: a stretch without a break character would otherwise run past the line.
                lastBreak += columns;
            }
            list.push_back(starts[static_cast<size_t>(lastBreak)]);
            candidate = 0;
            if (length - lastBreak <= columns)
                break;
        }
        const unsigned char c = static_cast<unsigned char>(text[static_cast<size_t>(starts[static_cast<size_t>(i - 1)])]);
        if (c < 0x80 && breakChars.test(c))
            candidate = i;
    }
    return usedBreakChar;
}

TSrcEditPrint::TSrcEditPrint(TComponent* AOwner)
    : TComponent(AOwner), FOwnPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    FPrinter = FOwnPrinter.get();
    FGeometry.SetPrinter(FPrinter);
}

TSrcEditPrint::~TSrcEditPrint()
{
    SetHighlighter(nullptr);
}

void TSrcEditPrint::SetPrinter(QPrinter* printer)
{
    FPrinter = printer ? printer : FOwnPrinter.get();
    FGeometry.SetPrinter(FPrinter);
    FPagesReady = false;
}

void TSrcEditPrint::SetLines(const TStrings& value)
{
    const TTabExpander expand = SelectTabExpander(TabWidth);
    FLines.BeginUpdate();
    FLines.Clear();
    for (int i = 0; i < value.Count(); ++i) {
        std::string line = expand(value.Get(i), TabWidth);
        std::replace(line.begin(), line.end(), '\t', ' ');
        FLines.Add(line);
    }
    FLines.EndUpdate();
    FRangesScanned = false;
    FPagesReady = false;
}

void TSrcEditPrint::SetFont(const TFont& value)
{
    FFont.Assign(value);
    FPagesReady = false;
}

void TSrcEditPrint::SetHighlighter(TSrcCustomHighlighter* value)
{
    if (FHighlighter)
        RemoveFreeNotification(FHighlighter);
    FHighlighter = value;
    if (FHighlighter)
        FreeNotification(FHighlighter);
    FRangesScanned = false;
    FPagesReady = false;
}

void TSrcEditPrint::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FHighlighter) {
        FHighlighter = nullptr;
        FRangesScanned = false;
        FPagesReady = false;
    }
}

void TSrcEditPrint::TakeEditorSettings(const TCustomSrcEdit& editor)
{
    SetHighlighter(editor.Highlighter());
    SetFont(editor.Font());
    TabWidth = editor.TabWidth();
    SetLines(editor.Lines());
    FSelectionAvailable = editor.HasSelection();
    FSelectionStart = editor.GetSelectionStart();
    FSelectionEnd = editor.GetSelectionEnd();
    FSelectionMode = editor.ActiveSelectionMode();
}

bool TSrcEditPrint::PreparePages(TCanvas& canvas)
{
    FCanvas = &canvas;
    FGeometry.RefreshPrinterGeometry();
    MeasureAndPaginate();
    return FUseHighlighting;
}

void TSrcEditPrint::MeasureAndPaginate()
{
    FBaseFontColor = FFont.Color();
    const int ppi = FGeometry.DotsPerInchY();
    // why: fonts are measured and drawn in printer pixels, on the printer and in the preview.
    FHeader.SetItemsPixelsPerInch(ppi);
    FFooter.SetItemsPixelsPerInch(ppi);
    const int size = FFont.Size();
    FFont.SetPixelsPerInch(ppi);
    FFont.SetSize(size);
    FCanvas->Font().Assign(FFont);

    const TPrintFontMetrics metrics = PrintFontMetrics(StyledFont(FFont, {fsBold, fsItalic, fsUnderline, fsStrikeOut}));
    FCellAdvance = std::max(1, metrics.AveCharWidth);
    FLinePitch = std::max(1, metrics.Height + metrics.ExternalLeading);
    for (auto& font : FGridFonts)
        font.reset();
    FNumberFont = StyledFont(FFont, {});
    FNumberAscent = QFontMetrics(FNumberFont).ascent();

    FMargins.LayoutPage(*FCanvas, 1, FGeometry, LineNumbers, LineNumbersInMargin, FLines.Count() + LineOffset);
    Paginate();
    FHeader.PrepareForJob(*FCanvas, TotalPages(), &FMargins, Title);
    FFooter.PrepareForJob(*FCanvas, TotalPages(), &FMargins, Title);
    FUseHighlighting = Highlight && FHighlighter && FLines.Count() > 0;
}

void TSrcEditPrint::ScanHighlighterRanges()
{
    if (FRangesScanned || !FHighlighter || FLines.Count() == 0)
        return;
    FRanges.assign(static_cast<size_t>(FLines.Count()), 0);
    FHighlighter->ClearRange();
    FRanges[0] = FHighlighter->CurrentRange();
    for (int i = 1; i < FLines.Count(); ++i) {
        const std::string line = FLines.Get(i - 1);
        FHighlighter->StartLine(line, i - 1);
        FHighlighter->SkipToLineEnd();
        FRanges[static_cast<size_t>(i)] = FHighlighter->CurrentRange();
    }
    FRangesScanned = true;
}

void TSrcEditPrint::Paginate()
{
    ScanHighlighterRanges();
    FPageStarts.clear();
    const int areaWidth = FMargins.PixRight - FMargins.PixLeft;
    const QFontMetrics metrics(FFont.ToQFont());
    const auto widthOf = [&](int n) { return metrics.horizontalAdvance(QString(n, QLatin1Char('W'))); };
    int columns = std::max(0, areaWidth / std::max(1, metrics.horizontalAdvance(QLatin1Char('W'))));
    while (widthOf(columns + 1) < areaWidth)
        ++columns;
    while (columns > 0 && widthOf(columns) >= areaWidth)
        --columns;
    FTextAreaColumns = std::max(1, columns);
    FTextAreaWidth = widthOf(FTextAreaColumns);

    FPageStarts.push_back(0);
    int y = FMargins.PixTop;
    int first = 0;
    int last = FLines.Count() - 1;
    if (SelectedOnly) {
        first = FSelectionStart.LineNumber - 1;
        last = std::min(last, FSelectionEnd.LineNumber - 1);
        FPageStarts[0] = std::max(0, first);
    }
    for (int i = std::max(0, first); i <= last; ++i) {
        const int height = (1 + WrapRows(PrintedText(i))) * FLinePitch;
        // why: a wrapped line stays on one page, and goes to the next one whole rather than
        // running past the lower margin.
        if (y + height > FMargins.PixBottom && y > FMargins.PixTop) {
            y = FMargins.PixTop;
            FPageStarts.push_back(i);
        }
        y += height;
    }
    FPagesReady = true;
}

bool TSrcEditPrint::InSelectedLines(int index) const
{
    return index >= FSelectionStart.LineNumber - 1 && index <= FSelectionEnd.LineNumber - 1;
}

std::string TSrcEditPrint::PrintedText(int index) const
{
    std::string text = FLines.Get(index);
    if (!SelectedOnly || FSelectionMode == TSrcSelectionMode::smLine)
        return text;
    const bool column = FSelectionMode == TSrcSelectionMode::smColumn;
    const int start = column || index == FSelectionStart.LineNumber - 1 ? FSelectionStart.CharIndex : 1;
    const bool limited = column || index == FSelectionEnd.LineNumber - 1;
    const int count = limited ? FSelectionEnd.CharIndex - start : INT_MAX;
    if (start - 1 >= static_cast<int>(text.size()) || count <= 0)
        return {};
    return text.substr(static_cast<size_t>(start - 1), count == INT_MAX ? std::string::npos : static_cast<size_t>(count));
}

bool TSrcEditPrint::TooWide(std::string_view text) const
{
    return static_cast<long long>(CharCount(text)) * FCellAdvance > FTextAreaWidth;
}

std::vector<int> TSrcEditPrint::WrapPositions(std::string_view text) const
{
    std::vector<int> positions;
    if (FindWrapPositions(text, FirstBreakSet, FTextAreaColumns, positions))
        return positions;
    positions.clear();
    if (FindWrapPositions(text, SecondBreakSet, FTextAreaColumns, positions))
        return positions;
    positions.clear();
    const std::vector<int> starts = CharStarts(text);
    const int length = static_cast<int>(starts.size()) - 1;
    for (int p = FTextAreaColumns; length - p > 0; p += FTextAreaColumns)
        positions.push_back(starts[static_cast<size_t>(p)]);
    return positions;
}

int TSrcEditPrint::WrapRows(std::string_view text) const
{
    if (!Wrap || !TooWide(text))
        return 0;
    return static_cast<int>(WrapPositions(text).size());
}

void TSrcEditPrint::ReportStatus(TSrcPrintStatus status, int pageNumber, bool& abort)
{
    abort = false;
    if (OnPrintStatus)
        OnPrintStatus(this, status, pageNumber, abort);
    if (abort) {
        FAbortRequested = true;
        if (FPrintRunActive && FPrinter)
            FPrinter->abort();
    }
}

void TSrcEditPrint::ReportLine(int lineNumber, int pageNumber)
{
    if (OnPrintLine)
        OnPrintLine(this, lineNumber, pageNumber);
}

void TSrcEditPrint::RenderPage(TCanvas& canvas, int pageNumber)
{
    FAbortRequested = false;
    FPrintRunActive = false;
    FCanvas = &canvas;
    PrintPageContent(pageNumber);
}

void TSrcEditPrint::PrintPageContent(int pageNumber)
{
    bool abort = false;
    ReportStatus(psNewPage, pageNumber, abort);
    if (abort || pageNumber < 1 || pageNumber > TotalPages())
        return;
    FMargins.LayoutPage(*FCanvas, pageNumber, FGeometry, LineNumbers, LineNumbersInMargin,
                        FLines.Count() + LineOffset);
    QPainter& painter = *FCanvas->Handle();
    painter.fillRect(QRect(FMargins.PixLeft, FMargins.PixTop, FMargins.PixRight - FMargins.PixLeft,
                           FMargins.PixBottom - FMargins.PixTop),
                     ToQColor(Color));
    FHeader.PrintHeaderFooter(*FCanvas, pageNumber + PageOffset);
    FPenY = FMargins.PixTop;
    const int first = FPageStarts[static_cast<size_t>(pageNumber - 1)];
    const int last = pageNumber < TotalPages() ? FPageStarts[static_cast<size_t>(pageNumber)] - 1 : FLines.Count() - 1;
    for (int i = first; i <= last; ++i) {
        FCurrentLine = i + 1;
        if (SelectedOnly && !InSelectedLines(i))
            continue;
        PrintLine(PrintedText(i));
        ReportLine(i + 1, pageNumber);
    }
    FFooter.PrintHeaderFooter(*FCanvas, pageNumber + PageOffset);
}

void TSrcEditPrint::PrintLine(const std::string& text)
{
    if (LineNumbers)
        PrintLineNumber();
    PrintLineText(text, Wrap && TooWide(text) ? WrapPositions(text) : std::vector<int>());
    FPenY += FLinePitch;
}

void TSrcEditPrint::PrintLineNumber()
{
    const QString text = QString::number(FCurrentLine + LineOffset) + QStringLiteral(": ");
    QPainter& painter = *FCanvas->Handle();
    const int width = QFontMetrics(FNumberFont).horizontalAdvance(text);
    painter.fillRect(QRect(FMargins.PixLeft - width, FPenY, width, FLinePitch), ToQColor(Color));
    painter.setFont(FNumberFont);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(FMargins.PixLeft - width, FPenY + FNumberAscent), text);
}

const TGridFont& TSrcEditPrint::GridFont(TFontStyles style)
{
    std::unique_ptr<TGridFont>& font = FGridFonts[static_cast<size_t>(style.Bits() & 15)];
    if (!font)
        font = std::make_unique<TGridFont>(MakeGridFont(StyledFont(FFont, style), FCellAdvance));
    return *font;
}

void TSrcEditPrint::PrintClipped(int x, int y, std::string_view text, TColor textColor, TColor backColor,
                                 TFontStyles style)
{
    // Characters past the text area's right edge are dropped.
    const int room = std::max(0, (FMargins.PixLeft + FTextAreaWidth - x) / FCellAdvance);
    if (CharCount(text) > room) {
        const std::vector<int> starts = CharStarts(text);
        text = text.substr(0, static_cast<size_t>(starts[static_cast<size_t>(room)]));
    }
    DrawGridText(*FCanvas->Handle(), GridFont(style), textColor, backColor == Color ? clNone : backColor, x, y,
                 FLinePitch, text);
}

void TSrcEditPrint::PrintLineText(const std::string& text, const std::vector<int>& positions)
{
    const int left = FMargins.PixLeft;
    const size_t count = positions.size();
    if (!FUseHighlighting) {
        size_t start = 0;
        for (size_t k = 0; k <= count; ++k) {
            const size_t end = k < count ? static_cast<size_t>(positions[k]) : text.size();
            if (k > 0)
                FPenY += FLinePitch;
            PrintClipped(left, FPenY, std::string_view(text).substr(start, end - start), FBaseFontColor, Color,
                         FFont.Style());
            start = end;
        }
        return;
    }
    const std::string_view line(text);
    const auto columnOf = [&](int from, int to) { return CharCount(line.substr(static_cast<size_t>(from), static_cast<size_t>(to - from))); };
    FHighlighter->RestoreRange(FRanges.at(static_cast<size_t>(FCurrentLine - 1)));
    FHighlighter->StartLine(line, FCurrentLine);
    int lineStart = 0;
    size_t k = 0;
    while (!FHighlighter->AtLineEnd()) {
        const std::string token = FHighlighter->TokenText();
        const int col = FHighlighter->TokenStart();
        const int end = col + static_cast<int>(token.size());
        TSrcHighlighterAttributes* attr = FHighlighter->TokenAttri();
        TColor fg = FBaseFontColor;
        TColor bg = Color;
        TFontStyles style = FFont.Style();
        if (attr) {
            style = attr->Style();
            if (Colors) {
                fg = attr->Foreground() == clNone ? FFont.Color() : attr->Foreground();
                bg = attr->Background() == clNone ? Color : attr->Background();
            }
        }
        if (k < count && col >= positions[k]) {
            ++k;
            lineStart = col;
            FPenY += FLinePitch;
        }
        int p = col;
        int offset = columnOf(lineStart, col);
        // The token may hold several break positions; each starts a new output line.
        while (k < count && positions[k] > p && positions[k] < end) {
            DrawPiece(left + offset * FCellAdvance, FPenY, line.substr(static_cast<size_t>(p), static_cast<size_t>(positions[k] - p)), fg, bg, style);
            p = positions[k];
            ++k;
            FPenY += FLinePitch;
            offset = 0;
            lineStart = p;
        }
        DrawPiece(left + offset * FCellAdvance, FPenY, line.substr(static_cast<size_t>(p), static_cast<size_t>(end - p)), fg, bg, style);
        FHighlighter->AdvanceToken();
    }
    FlushPiece();
}

void TSrcEditPrint::DrawPiece(int x, int y, std::string_view text, TColor textColor, TColor backColor,
                              TFontStyles style)
{
    TPiece& piece = FPiece;
    if (piece.Active && piece.Y == y && piece.X + piece.Chars * FCellAdvance == x && piece.TextColor == textColor &&
        piece.BackColor == backColor && piece.Style == style) {
        piece.Text += text;
        piece.Chars += CharCount(text);
        return;
    }
    FlushPiece();
    piece = {x, y, CharCount(text), std::string(text), textColor, backColor, style, true};
}

void TSrcEditPrint::FlushPiece()
{
    if (!FPiece.Active)
        return;
    FPiece.Active = false;
    PrintClipped(FPiece.X, FPiece.Y, FPiece.Text, FPiece.TextColor, FPiece.BackColor, FPiece.Style);
}

void TSrcEditPrint::PrintPageRange(int fromPage, int toPage)
{
    if (SelectedOnly && !FSelectionAvailable)
        return;
    FPrinter->setDocName(QStr(DocTitle.empty() ? Title : DocTitle));
    FPrintRunActive = true;
    FAbortRequested = false;
    QPainter painter;
    if (!painter.begin(FPrinter)) {
        FPrintRunActive = false;
        throw ESrcEditError("The printer could not start the print job");
    }
    TCanvas canvas(&painter);
    struct TRunEnd {
        TSrcEditPrint& Print;
        QPainter& Painter;
        ~TRunEnd()
        {
            if (Painter.isActive())
                Painter.end();
            Print.FPrintRunActive = false;
            Print.FCanvas = nullptr;
        }
    } runEnd{*this, painter};
    bool abort = false;
    ReportStatus(psBegin, fromPage, abort);
    if (FAbortRequested)
        return;
    PreparePages(canvas);
    const int last = toPage < 0 ? TotalPages() : std::min(toPage, TotalPages());
    for (int copy = 1; copy <= Copies && !FAbortRequested; ++copy)
        for (int page = std::max(1, fromPage); page <= last && !FAbortRequested; ++page) {
            PrintPageContent(page);
            if (!FAbortRequested && (page < last || copy < Copies))
                FPrinter->newPage();
        }
    if (!FAbortRequested)
        ReportStatus(psEnd, last, abort);
}

int TSrcEditPrint::CountPages()
{
    if (FPagesReady)
        return TotalPages();
    TCanvas measure;
    TCanvas* previous = FCanvas;
    PreparePages(measure);
    FCanvas = previous;
    return TotalPages();
}
