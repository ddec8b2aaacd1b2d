// Editor painting: the gutter, the text rows token by token with selection, active-line and
// special-line colours, visible special characters and the right edge, the drawn caret, the
// paint hooks and the invalidation of rows.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditScopes.h"

#include "Platform/graphics/PainterState.h"
#include "Platform/text/TextChars.h"

#include <QPainter>
#include <algorithm>
#include <climits>

namespace {

constexpr int Unbounded = INT_MAX / 2;
constexpr std::string_view MiddleDot = "\xC2\xB7";  // U+00B7, a visible blank
constexpr std::string_view Guillemet = "\xC2\xBB";  // U+00BB, a visible tab
constexpr std::string_view Pilcrow = "\xC2\xB6";    // U+00B6, a visible line end

// The display column at which each byte's character starts, in a tab-expanded line (where a
// tab character takes one column and a wide character two).
class TLineColumns {
public:
    explicit TLineColumns(std::string_view text) : FText(text)
    {
        FAscii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (FAscii)
            return;
        FColumns.resize(text.size() + 1);
        int column = 1;
        for (size_t i = 0; i < text.size();) {
            const auto len = static_cast<size_t>(TextChars::CharLength(text, i));
            for (size_t b = i; b < i + len; ++b)
                FColumns[b] = column;
            column += TextChars::CharColumns(text, i);
            i += len;
        }
        FColumns[text.size()] = column;
    }

    int ColumnOf(size_t byte) const
    {
        byte = std::min(byte, FText.size());
        return FAscii ? static_cast<int>(byte) + 1 : FColumns[byte];
    }
    int EndColumn() const { return ColumnOf(FText.size()); }

private:
    std::string_view FText;
    bool FAscii = true;
    std::vector<int> FColumns;
};

// The characters of `text` (which starts at column `startColumn`) that touch columns
// [from, to); `sliceStart` receives the column of the first of them.
std::string_view SliceColumns(std::string_view text, int startColumn, int from, int to, int& sliceStart)
{
    sliceStart = startColumn;
    size_t begin = text.size();
    size_t end = text.size();
    int column = startColumn;
    bool started = false;
    for (size_t i = 0; i < text.size();) {
        const auto len = static_cast<size_t>(TextChars::CharLength(text, i));
        const int width = TextChars::CharColumns(text, i);
        if (!started && column + width > from) {
            started = true;
            begin = i;
            sliceStart = column;
        }
        if (column >= to) {
            end = i;
            break;
        }
        column += width;
        i += len;
    }
    if (!started)
        return {};
    return text.substr(begin, end - begin);
}

} // namespace

// Paints the text rows of one paint request.
class TRowPainter {
public:
    TRowPainter(TCustomSrcEdit& editor, TCanvas& canvas, const TRect& area, int firstCol, int lastCol)
        : E(editor), C(canvas), Area(area), FirstCol(firstCol), LastCol(lastCol)
    {
        EdgeX = E.FRightEdge * E.FCharWidth + E.FTextOffset;
        Edge = E.FRightEdge > 0 && EdgeX >= Area.Left && EdgeX <= Area.Right;
    }

    bool EdgeActive() const { return Edge; }
    int EdgeXPosition() const { return EdgeX; }

    void PaintRows(int firstRow, int lastRow)
    {
        const int firstLine = E.RowToLine(firstRow);
        const int lastLine = std::min(E.RowToLine(lastRow), E.LineCount());
        ComputeSelection(firstLine, lastLine);
        E.FTextDrawer->SetStyle(E.FFont.Style());
        E.FTextDrawer->BeginDrawing(C);
        try {
            for (int line = firstLine; line <= lastLine; ++line)
                PaintLine(line, firstRow, lastRow);
        } catch (...) {
            E.FTextDrawer->EndDrawing();
            throw;
        }
        E.FTextDrawer->EndDrawing();
    }

private:
    struct TBuffer {
        std::string Text;
        int StartCol = 0;
        int EndCol = 0; // exclusive
        TColor Fg = clNone;
        TColor Bg = clNone;
        TFontStyles Style;
        bool Active = false;
    };

    void ComputeSelection(int firstLine, int lastLine)
    {
        SelVisible = !(E.FHideSelection && !E.Focused()) && E.FBlockBegin != E.FBlockEnd;
        if (!SelVisible)
            return;
        const TBufferCoord s = E.GetSelectionStart();
        const TBufferCoord e = E.GetSelectionEnd();
        SelVisible = e.LineNumber >= firstLine && s.LineNumber <= lastLine;
        SelS = E.BufferToDisplayPoint(s);
        SelE = E.BufferToDisplayPoint(e);
        SelMode = E.FActiveSelectionMode;
        if (SelMode == TSrcSelectionMode::smColumn && SelE.DisplayColumn < SelS.DisplayColumn)
            std::swap(SelS.DisplayColumn, SelE.DisplayColumn);
    }

    void PaintLine(int line, int firstRow, int lastRow)
    {
        Line = line;
        Expanded = E.FLines->ExpandedLine(line - 1);
        Columns = std::make_unique<TLineColumns>(Expanded);
        LineFg = E.FFont.Color();
        LineBg = E.EditorBackground(line);
        Special = E.FireSpecialLineColors(line, LineFg, LineBg);
        if (!Special) {
            LineFg = E.FFont.Color();
            LineBg = E.EditorBackground(line);
        }
        SelFg = Special ? LineBg : E.FSelectedColor->Foreground();
        SelBg = Special ? LineFg : E.FSelectedColor->Background();
        const int lineFirstRow = E.LineToRow(line);
        const int lineLastRow = E.FWordWrapPlugin && line < E.LineCount() ? E.LineToRow(line + 1) - 1 : lineFirstRow;
        const int lastOfLine = E.FWordWrapPlugin && line == E.LineCount() ? E.DisplayRowCount() : lineLastRow;
        for (int row = std::max(lineFirstRow, firstRow); row <= std::min(lastOfLine, lastRow); ++row)
            PaintRow(row, row == lastOfLine);
    }

    void PaintRow(int row, bool lastRowOfLine)
    {
        RowY = (row - E.FFirstVisibleRow) * E.FLineHeight;
        ColOffset = 0;
        int textEnd = Unbounded;
        if (E.FWordWrapPlugin) {
            ColOffset = E.FWordWrapPlugin->RowToLinePos(1, row).Column - 1;
            if (!lastRowOfLine)
                textEnd = ColOffset + E.FWordWrapPlugin->RowLength(row) + 1;
        }
        RowFirstCol = FirstCol + ColOffset;
        RowLastCol = LastCol + ColOffset;
        VisEnd = std::min(RowLastCol + 1, textEnd);
        ComputeRowSelection(row);
        Buf = {};
        TSrcCustomHighlighter* hl = E.FHighlighter;
        const TSrcHighlighterAttributes* lastAttr = nullptr;
        if (hl && hl->Enabled()) {
            if (Line == 1)
                hl->ClearRange();
            else
                hl->RestoreRange(static_cast<TSrcRange>(E.FLines->LineRange(Line - 2)));
            hl->StartLine(Expanded, Line - 1);
            while (!hl->AtLineEnd()) {
                const auto start = static_cast<size_t>(hl->TokenStart());
                const std::string token = hl->TokenText();
                const int c0 = Columns->ColumnOf(start);
                const int c1 = Columns->ColumnOf(start + token.size());
                if (c0 >= VisEnd)
                    break;
                TSrcHighlighterAttributes* attr = hl->TokenAttri();
                lastAttr = attr;
                if (c1 > RowFirstCol)
                    AddClipped(token, c0, c1, attr);
                hl->AdvanceToken();
            }
        } else {
            AddClipped(Expanded, 1, Columns->EndColumn(), nullptr);
        }
        if (E.FShowSpecialChars) {
            const int end = Columns->EndColumn();
            if (end >= RowFirstCol && end < VisEnd) {
                const TSrcHighlighterAttributes* attr = nullptr;
                if (hl && hl->Enabled()) {
                    const TSrcHighlighterAttributes* comment = hl->RoleAttri(arComment);
                    attr = lastAttr && lastAttr == comment ? comment : hl->RoleAttri(arWhitespace);
                }
                AddToken(Pilcrow, end, end + 1, attr ? attr->Foreground() : LineFg, attr ? attr->Background() : LineBg,
                         {});
            }
        }
        Flush(true);
        if (Edge)
            FillPixels(EdgeX, EdgeX + 1, E.FRightEdgeColor);
    }

    void ComputeRowSelection(int row)
    {
        RowHasSel = false;
        RowWhole = false;
        SelToRight = false;
        if (!SelVisible || row < SelS.DisplayRow || row > SelE.DisplayRow)
            return;
        int l = -Unbounded;
        int r = Unbounded;
        if (SelMode == TSrcSelectionMode::smColumn) {
            l = SelS.DisplayColumn + ColOffset;
            r = SelE.DisplayColumn + ColOffset;
        } else if (SelMode == TSrcSelectionMode::smNormal) {
            if (row == SelS.DisplayRow)
                l = SelS.DisplayColumn + ColOffset;
            if (row == SelE.DisplayRow)
                r = SelE.DisplayColumn + ColOffset;
        }
        SelL = std::max(l, RowFirstCol);
        SelR = std::min(r, RowLastCol + 1);
        if (SelL >= SelR)
            return;
        RowHasSel = true;
        SelToRight = r > RowLastCol;
        RowWhole = l <= RowFirstCol && SelToRight;
    }

    void AddClipped(std::string_view text, int c0, int c1, const TSrcHighlighterAttributes* attr)
    {
        int start = c0;
        const std::string_view part = SliceColumns(text, c0, std::max(c0, RowFirstCol), std::min(c1, VisEnd), start);
        if (part.empty())
            return;
        const int end = start + static_cast<int>(TextChars::TextColumns(part));
        if (attr)
            AddToken(part, start, end, attr->Foreground(), attr->Background(), attr->Style());
        else
            AddToken(part, start, end, LineFg, LineBg, E.FFont.Style());
    }

    void AddToken(std::string_view text, int start, int end, TColor fg, TColor bg, TFontStyles style)
    {
        const bool caretLineColour = Line == E.FCaret.LineNumber && E.FActiveLineColor != clNone;
        if (bg == clNone || caretLineColour)
            bg = E.EditorBackground(Line);
        if (fg == clNone)
            fg = E.FFont.Color();
        const bool blanks = SrcEditBlanksOnly(text);
        if (Buf.Active && Buf.EndCol == start) {
            const bool styleFits =
                Buf.Style == style || (!Buf.Style.Contains(fsUnderline) && !style.Contains(fsUnderline) && blanks);
            const bool coloursFit = (Special && !E.FOptions.Contains(eoSpecialLineDefaultFg)) || RowWhole ||
                                    (Buf.Bg == bg && (Buf.Fg == fg || blanks));
            if (styleFits && coloursFit) {
                Buf.Text += text;
                Buf.EndCol = end;
                return;
            }
        }
        Flush(false);
        Buf.Text.assign(text);
        Buf.StartCol = start;
        Buf.EndCol = end;
        Buf.Fg = fg;
        Buf.Bg = bg;
        Buf.Style = style;
        Buf.Active = true;
    }

    int X(int lineColumn) const { return E.ColumnToX(lineColumn - ColOffset); }

    void Flush(bool fill)
    {
        int paintedEnd = RowFirstCol;
        if (Buf.Active && !Buf.Text.empty()) {
            const int from = std::max(Buf.StartCol, RowFirstCol);
            const int to = std::min(Buf.EndCol, VisEnd);
            if (!Special) {
                PieceFg = Buf.Fg;
                PieceBg = Buf.Bg;
            } else {
                PieceFg = E.FOptions.Contains(eoSpecialLineDefaultFg) ? Buf.Fg : LineFg;
                PieceBg = LineBg;
            }
            E.FTextDrawer->SetStyle(Buf.Style);
            if (RowHasSel && !RowWhole) {
                PaintSpan(from, std::min(to, SelL), false);
                PaintSpan(std::max(from, SelL), std::min(to, SelR), true);
                PaintSpan(std::max(from, SelR), to, false);
            } else {
                PaintSpan(from, to, RowHasSel && RowWhole);
            }
            paintedEnd = std::max(to, RowFirstCol);
        }
        Buf.Active = false;
        if (!fill)
            return;
        const int x0 = X(paintedEnd);
        if (!RowHasSel) {
            FillPixels(x0, Area.Right, LineBg);
        } else if (RowWhole) {
            FillPixels(x0, Area.Right, SelBg);
        } else {
            const int selLeft = std::max(x0, X(SelL));
            const int selRight = SelToRight ? Area.Right : std::max(x0, X(SelR));
            FillPixels(x0, selLeft, LineBg);
            FillPixels(selLeft, selRight, SelBg);
            FillPixels(selRight, Area.Right, LineBg);
        }
    }

    void FillPixels(int left, int right, TColor colour)
    {
        left = std::max(left, Area.Left);
        right = std::min(right, Area.Right);
        if (right <= left)
            return;
        C.Brush().SetColor(colour);
        C.FillRect(Rect(left, RowY, right, RowY + E.FLineHeight));
    }

    // Paints the buffered characters of line columns [from, to).
    void PaintSpan(int from, int to, bool selected)
    {
        if (from >= to)
            return;
        int start = from;
        const std::string_view part = SliceColumns(Buf.Text, Buf.StartCol, from, to, start);
        std::string shown;
        shown.reserve(part.size());
        for (char c : part) {
            if (c == ' ')
                shown += E.FShowSpecialChars ? MiddleDot : std::string_view(" ");
            else if (c == '\t')
                shown += ' ';
            else
                shown += c;
        }
        const TRect rect = Rect(std::max(X(from), Area.Left), RowY, std::min(X(to), Area.Right), RowY + E.FLineHeight);
        if (rect.IsEmpty())
            return;
        const TColor fg = selected ? SelFg : PieceFg;
        const TColor bg = selected ? SelBg : PieceBg;
        TheTextDrawer& drawer = *E.FTextDrawer;
        drawer.SetForeColor(fg);
        drawer.SetBackColor(bg);
        C.Brush().SetColor(bg);
        drawer.DrawTextSpaced(X(start), RowY, ETO_OPAQUE | ETO_CLIPPED, rect, shown);
        if (E.FShowSpecialChars)
            PaintTabMarks(part, start, rect);
    }

    // A "»" in the middle of every tab's span.
    void PaintTabMarks(std::string_view part, int start, const TRect& rect)
    {
        const int tabWidth = std::max(E.FTabWidth, 1);
        int column = start;
        for (size_t i = 0; i < part.size();) {
            const auto len = static_cast<size_t>(TextChars::CharLength(part, i));
            const bool tab = part[i] == '\t';
            const bool spanStart = tab && ((column - 1) % tabWidth == 0 || i == 0 || part[i - 1] != '\t');
            if (spanStart) {
                const int spanEnd = ((column - 1) / tabWidth + 1) * tabWidth + 1;
                const int x = X(column) + ((spanEnd - column) * E.FCharWidth - E.FCharWidth) / 2;
                TRect box = Rect(x, RowY, x + E.FCharWidth, RowY + E.FLineHeight);
                if (IntersectRect(box, box, rect))
                    E.FTextDrawer->DrawTextSpaced(x, RowY, ETO_OPAQUE | ETO_CLIPPED, box, Guillemet);
            }
            column += TextChars::CharColumns(part, i);
            i += len;
        }
    }

    TCustomSrcEdit& E;
    TCanvas& C;
    TRect Area;
    int FirstCol;
    int LastCol;
    int EdgeX = 0;
    bool Edge = false;

    bool SelVisible = false;
    TDisplayPoint SelS;
    TDisplayPoint SelE;
    TSrcSelectionMode SelMode = TSrcSelectionMode::smNormal;

    int Line = 0;
    std::string Expanded;
    std::unique_ptr<TLineColumns> Columns;
    bool Special = false;
    TColor LineFg = clNone;
    TColor LineBg = clNone;
    TColor SelFg = clNone;
    TColor SelBg = clNone;
    TColor PieceFg = clNone;
    TColor PieceBg = clNone;

    int RowY = 0;
    int ColOffset = 0;
    int RowFirstCol = 1;
    int RowLastCol = 1;
    int VisEnd = 1;
    bool RowHasSel = false;
    bool RowWhole = false;
    bool SelToRight = false;
    int SelL = 0;
    int SelR = 0;
    TBuffer Buf;
};

TColor TCustomSrcEdit::EditorBackground(int line) const
{
    if (FActiveLineColor != clNone && line == FCaret.LineNumber)
        return FActiveLineColor;
    if (FHighlighter)
        if (const TSrcHighlighterAttributes* ws = FHighlighter->RoleAttri(arWhitespace);
            ws && ws->Background() != clNone)
            return ws->Background();
    return Color();
}

// ---- the paint request

void TCustomSrcEdit::Paint()
{
    TCanvas& canvas = Canvas();
    TRect clip;
    if (!IntersectRect(clip, FPaintRect, ClientRect()))
        return;
    if (FCharWidth <= 0 || FLineHeight <= 0) {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(clip);
        return;
    }
    const int cw = FCharWidth;
    const int lh = FLineHeight;
    const int firstCol =
        clip.Left > FGutterWidth + 2 ? FFirstVisibleColumn + (clip.Left - FGutterWidth - 2) / cw : FFirstVisibleColumn;
    const int lastCol = FFirstVisibleColumn + (clip.Right + cw - FGutterWidth - 3) / cw;
    const int firstRow = std::max(clip.Top / lh + FFirstVisibleRow, FFirstVisibleRow);
    const int lastRow = std::min((clip.Bottom + lh - 1) / lh + FFirstVisibleRow, DisplayRowCount());
    SetState(sfInPaint, true);
    try {
        if (clip.Left < FGutterWidth)
            DrawGutter(Rect(clip.Left, clip.Top, FGutterWidth, clip.Bottom), firstRow, lastRow);
        if (FGutterWidth < clip.Right)
            DrawTextLines(Rect(std::max(clip.Left, FGutterWidth), clip.Top, clip.Right, clip.Bottom), firstRow, lastRow,
                          firstCol, lastCol);
        FirePaint();
        FirePaintTransient(TTransientType::ttAfter);
    } catch (...) {
        SetState(sfInPaint, false);
        throw;
    }
    SetState(sfInPaint, false);
    // The caret is drawn last, inverting what lies under it, as the system caret did.
    TRect caret;
    if (FCaretShown && FCaretBlinkOn && IntersectRect(caret, FCaretRect, clip)) {
        QPainter* painter = canvas.Handle();
        const TPainterStateGuard state(*painter);
        painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter->fillRect(FCaretRect.ToQt(), Qt::white);
    }
}

void TCustomSrcEdit::DrawGutter(const TRect& rect, int firstRow, int lastRow)
{
    TCanvas& canvas = Canvas();
    const TSrcGutter& gutter = *FGutter;
    const int lh = FLineHeight;
    const int firstLine = RowToLine(firstRow);
    const int lastLine = lastRow >= firstRow ? std::min(RowToLine(lastRow), LineCount()) : firstLine - 1;
    auto rowY = [&](int row) { return (row - FFirstVisibleRow) * lh; };
    auto fill = [&](const TRect& r) {
        if (r.IsEmpty())
            return;
        canvas.Brush().SetColor(gutter.Color());
        canvas.FillRect(r);
    };
    if (gutter.Gradient())
        PaintGradient(canvas, gutter.GradientStartColor(), gutter.GradientEndColor(), true,
                      Rect(0, 0, FGutterWidth, ClientHeight()), gutter.GradientSteps());
    canvas.Brush().SetColor(gutter.Color());
    if (gutter.ShowLineNumbers()) {
        if (gutter.UseFontStyle())
            FTextDrawer->SetBaseFont(&gutter.Font());
        else
            FTextDrawer->SetStyle({});
        FTextDrawer->BeginDrawing(canvas);
        int previousBottom = rowY(firstRow);
        try {
            FTextDrawer->SetForeColor(gutter.UseFontStyle() ? gutter.Font().Color() : FFont.Color());
            FTextDrawer->SetBackColor(gutter.Color());
            for (int line = firstLine; line <= lastLine; ++line) {
                const int y = rowY(LineToRow(line));
                if (FWordWrapPlugin && !gutter.Gradient() && y > previousBottom)
                    fill(Rect(rect.Left, previousBottom, rect.Right, y));
                std::string text = gutter.LineNumberText(line);
                if (OnGutterGetText)
                    OnGutterGetText(this, line, text);
                const int width = static_cast<int>(TextChars::TextColumns(text)) * FTextDrawer->CharWidth();
                const int x = FGutterWidth - gutter.RightOffset() - 2 - width;
                const TRect cell = Rect(rect.Left, y, std::max(rect.Right, FGutterWidth - 2), y + lh);
                const unsigned options = gutter.Gradient() ? unsigned(ETO_CLIPPED) : unsigned(ETO_OPAQUE | ETO_CLIPPED);
                FTextDrawer->DrawTextSpaced(x, y + (lh - FTextDrawer->CharHeight()) / 2, options, cell, text);
                previousBottom = y + lh;
            }
        } catch (...) {
            FTextDrawer->EndDrawing();
            if (gutter.UseFontStyle())
                FTextDrawer->SetBaseFont(&FFont);
            throw;
        }
        FTextDrawer->EndDrawing();
        if (gutter.UseFontStyle())
            FTextDrawer->SetBaseFont(&FFont);
        if (!gutter.Gradient())
            fill(Rect(rect.Left, std::max(previousBottom, rect.Top), rect.Right, rect.Bottom));
    } else if (!gutter.Gradient()) {
        fill(rect);
    }
    if (FWordWrapPlugin && FWordWrapGlyph->Visible()) {
        const int x = FGutterWidth - gutter.RightOffset() - FWordWrapGlyph->GlyphWidth() - 2;
        for (int row = firstRow; row <= lastRow; ++row)
            if (LineToRow(RowToLine(row)) != row)
                FWordWrapGlyph->DrawGlyph(canvas, x, rowY(row), lh);
    }
    if (gutter.BorderStyle() != TSrcGutterBorderStyle::gbsNone && rect.Right >= FGutterWidth - 2) {
        auto vline = [&](int x, TColor colour) {
            canvas.Brush().SetColor(colour);
            canvas.FillRect(Rect(x, rect.Top, x + 1, rect.Bottom));
        };
        if (gutter.BorderStyle() == TSrcGutterBorderStyle::gbsMiddle) {
            vline(FGutterWidth - 2, gutter.BorderColor());
            vline(FGutterWidth - 1, gutter.Color());
        } else {
            vline(FGutterWidth - 1, gutter.BorderColor());
        }
    }
    // Marks, in two passes: first those whose bookmark-ness equals DrawBookmarksFirst.
    std::vector<int> offsets(static_cast<size_t>(std::max(lastLine - firstLine + 1, 0)), 0);
    const TSrcBookMarkOpt& marks = *FBookMarkOpt;
    if (marks.GlyphsVisible() && FMarkList->Count() > 0 && !offsets.empty()) {
        const auto* images = dynamic_cast<const ISrcEditImageList*>(marks.BookmarkImages());
        for (int pass = 0; pass < 2; ++pass) {
            const bool wantBookmarks = pass == 0 ? marks.DrawBookmarksFirst() : !marks.DrawBookmarksFirst();
            for (int i = 0; i < FMarkList->Count(); ++i) {
                const TSrcEditMark* mark = FMarkList->GetMark(i);
                if (!mark->Visible() || mark->IsBookmark() != wantBookmarks || mark->Line() < firstLine ||
                    mark->Line() > lastLine)
                    continue;
                int& offset = offsets[static_cast<size_t>(mark->Line() - firstLine)];
                const int y = rowY(LineToRow(mark->Line()));
                if (mark->InternalImage() || !marks.BookmarkImages()) {
                    if (mark->ImageIndex() < 0 || mark->ImageIndex() > 9 || offset != 0)
                        continue;
                    InternalBookmarkImage().DrawImage(canvas, mark->ImageIndex(), marks.LeftMargin() + offset, y, lh);
                } else {
                    if (!images || mark->ImageIndex() > images->ImageCount())
                        continue;
                    if (pass == 1 && offset == 0)
                        offset = marks.Xoffset();
                    images->DrawImage(canvas, mark->ImageIndex(), marks.LeftMargin() + (pass == 0 ? 0 : offset), y);
                }
                offset += marks.Xoffset();
            }
        }
    }
    if (OnGutterPaint)
        for (int line = firstLine; line <= lastLine; ++line)
            OnGutterPaint(this, line, offsets.empty() ? 0 : offsets[static_cast<size_t>(line - firstLine)],
                          rowY(LineToRow(line)));
}

void TCustomSrcEdit::DrawTextLines(const TRect& rect, int firstRow, int lastRow, int firstCol, int lastCol)
{
    TCanvas& canvas = Canvas();
    TRowPainter painter(*this, canvas, rect, firstCol, lastCol);
    if (rect.Left < FGutterWidth + 2) {
        // why: the whitespace attribute may depend on the highlighter's state.
        if (FHighlighter)
            FHighlighter->ClearRange();
        canvas.Brush().SetColor(EditorBackground(0));
        canvas.FillRect(Rect(FGutterWidth, rect.Top, FGutterWidth + 2, rect.Bottom));
    }
    if (lastRow >= firstRow)
        painter.PaintRows(firstRow, lastRow);
    const int below = std::max(rect.Top, (std::max(lastRow, firstRow - 1) - FFirstVisibleRow + 1) * FLineHeight);
    if (below < rect.Bottom) {
        canvas.Brush().SetColor(EditorBackground(0));
        canvas.FillRect(Rect(rect.Left, below, rect.Right, rect.Bottom));
        if (painter.EdgeActive()) {
            canvas.Brush().SetColor(FRightEdgeColor);
            canvas.FillRect(Rect(painter.EdgeXPosition(), below, painter.EdgeXPosition() + 1, rect.Bottom));
        }
    }
}

// ---- paint hooks

void TCustomSrcEdit::FirePaintTransientLocked(TTransientType type, bool lock)
{
    bool fire = FTransientNesting == 0;
    if (lock) {
        if (type == TTransientType::ttBefore) {
            fire = FTransientNesting == 0;
            ++FTransientNesting;
        } else {
            FTransientNesting = std::max(FTransientNesting - 1, 0);
            fire = FTransientNesting == 0;
        }
    }
    if (!fire || !OnPaintTransient)
        return;
    if (State(sfInPaint)) {
        Canvas().Font().Assign(FFont);
        Canvas().Brush().SetColor(Color());
        OnPaintTransient(this, Canvas(), type);
    } else if (type == TTransientType::ttAfter && HandleAllocated()) {
        // why: painting happens only in paint events. The overlay is repainted with the text,
        // and every paint ends with ttAfter, which draws it in its new state.
        InvalidateArea(Rect(FGutterWidth, 0, ClientWidth(), ClientHeight()), false);
    }
}

// ---- invalidation

void TCustomSrcEdit::InvalidateArea(const TRect& rect, bool erase)
{
    (void)erase; // painting covers every pixel; nothing is erased first
    if (!rect.IsEmpty())
        ClientWidget()->update(rect.ToQt());
}

namespace {

// Adds a rectangle to the one collected while the line store updates.
void Collect(TRect& collected, const TRect& r)
{
    TRect joined;
    UnionRect(joined, collected, r);
    collected = joined;
}

} // namespace

void TCustomSrcEdit::InvalidateTextRows(int first, int last)
{
    if (!HandleAllocated())
        return;
    TRect r;
    if (first == -1 && last == -1) {
        r = Rect(FGutterWidth, 0, ClientWidth(), ClientHeight());
    } else {
        first = std::max(first, 1);
        last = std::max(last, 1);
        if (first > last)
            std::swap(first, last);
        const bool toEnd = last >= LineCount();
        if (FWordWrapPlugin) {
            first = LineToRow(first);
            if (!toEnd)
                last = LineToRow(last + 1) - 1;
        }
        if (toEnd)
            last = FFirstVisibleRow + FVisibleLineCount;
        first = std::max(first, FFirstVisibleRow);
        last = std::min(last, FFirstVisibleRow + FVisibleLineCount);
        if (last < first)
            return;
        r = Rect(FGutterWidth, (first - FFirstVisibleRow) * FLineHeight, ClientWidth(),
                 (last - FFirstVisibleRow + 1) * FLineHeight);
    }
    if (State(sfLinesChanging))
        Collect(FInvalidateRect, r);
    else
        InvalidateArea(r, false);
}

void TCustomSrcEdit::InvalidateGutterRows(int first, int last)
{
    if (!HandleAllocated())
        return;
    TRect r;
    if (first == -1 && last == -1) {
        r = Rect(0, 0, FGutterWidth, ClientHeight());
    } else {
        if (first > last)
            std::swap(first, last);
        first = std::max(first, 1);
        const bool toEnd = last > LineCount();
        if (FWordWrapPlugin) {
            first = LineToRow(first);
            if (!toEnd)
                last = LineToRow(last);
        }
        if (toEnd)
            last = FFirstVisibleRow + FVisibleLineCount;
        first = std::max(first, FFirstVisibleRow);
        last = std::min(last, FFirstVisibleRow + FVisibleLineCount);
        if (last < first)
            return;
        r = Rect(0, (first - FFirstVisibleRow) * FLineHeight, FGutterWidth,
                 (last - FFirstVisibleRow + 1) * FLineHeight);
    }
    if (State(sfLinesChanging))
        Collect(FInvalidateRect, r);
    else
        InvalidateArea(r, false);
}

void TCustomSrcEdit::RepaintLine(int line)
{
    if (!HandleAllocated() || line < 1 || line > LineCount())
        return;
    if (FWordWrapPlugin) {
        InvalidateTextRows(line, line);
        return;
    }
    if (line < FFirstVisibleRow || line > FFirstVisibleRow + FVisibleLineCount)
        return;
    const int y = (line - FFirstVisibleRow) * FLineHeight;
    const TRect r = Rect(FGutterWidth, y, ClientWidth(), y + FLineHeight);
    if (State(sfLinesChanging))
        Collect(FInvalidateRect, r);
    else
        InvalidateArea(r, false);
}

void TCustomSrcEdit::InvalidateSelectionRows()
{
    InvalidateTextRows(GetSelectionStart().LineNumber, GetSelectionEnd().LineNumber);
}
