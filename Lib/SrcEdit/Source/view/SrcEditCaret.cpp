// The editor's coordinates, caret and selection: buffer, display and client positions, caret
// clamping and movement, the three selection modes, word wrap and the drawn caret.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditScopes.h"

#include "Platform/text/TextChars.h"

#include <QApplication>
#include <QInputMethod>
#include <algorithm>
#include <climits>
#include <cmath>

int SrcEditColumnToCharIndex(std::string_view text, int column, int tabWidth)
{
    int col = 1;
    size_t i = 0;
    while (i < text.size()) {
        int width;
        size_t len;
        if (text[i] == '\t') {
            width = tabWidth - (col - 1) % tabWidth;
            len = 1;
        } else {
            len = static_cast<size_t>(TextChars::CharLength(text, i));
            width = TextChars::CharColumns(text, i);
        }
        if (column < col + width) {
            if (column == col || text[i] == '\t')
                return static_cast<int>(i) + 1;
            return static_cast<int>(i + len) + 1;
        }
        col += width;
        i += len;
    }
    return static_cast<int>(text.size()) + 1 + std::max(column - col, 0);
}

namespace {

// The start of the character that holds the 1-based index (which may lie beyond the text).
int CharStartIndex(std::string_view text, int index)
{
    if (index < 1 || static_cast<size_t>(index) > text.size())
        return index;
    return static_cast<int>(TextChars::CharStart(text, static_cast<size_t>(index) - 1)) + 1;
}

// The start of the character after the one that holds the 1-based index.
int NextCharIndex(std::string_view text, int index)
{
    if (index < 1 || static_cast<size_t>(index) > text.size())
        return index + 1;
    const size_t start = TextChars::CharStart(text, static_cast<size_t>(index) - 1);
    return static_cast<int>(TextChars::NextCharStart(text, start)) + 1;
}

bool InsideChar(std::string_view text, int index)
{
    return index >= 1 && static_cast<size_t>(index) <= text.size() &&
           TextChars::IsTrailByte(text, static_cast<size_t>(index) - 1);
}

} // namespace

int SrcEditCharStartAtOrAfter(std::string_view text, int index)
{
    return InsideChar(text, index) ? NextCharIndex(text, index) : index;
}

// ---- conversions

TDisplayPoint TCustomSrcEdit::LineColumnToRow(int column, int line) const
{
    if (FWordWrapPlugin && line >= 1)
        return FWordWrapPlugin->LineToRowPos(column, line);
    return MakeDisplayPoint(column, line);
}

TDisplayPoint TCustomSrcEdit::BufferToDisplayPoint(TBufferCoord p) const
{
    int column = p.CharIndex;
    if (p.LineNumber >= 1 && p.LineNumber <= LineCount())
        column = CharIndexToColumn(p.CharIndex, FTabWidth, LineText(p.LineNumber));
    return LineColumnToRow(column, p.LineNumber);
}

TBufferCoord TCustomSrcEdit::DisplayPointToBuffer(TDisplayPoint d) const
{
    int column = d.DisplayColumn;
    int line = d.DisplayRow;
    if (FWordWrapPlugin && d.DisplayRow >= 1) {
        const TLineColumn lc = FWordWrapPlugin->RowToLinePos(d.DisplayColumn, d.DisplayRow);
        column = lc.Column;
        line = lc.Line;
    }
    TBufferCoord result = MakeBufferCoord(column, line);
    if (line >= 1 && line <= LineCount())
        result.CharIndex = SrcEditColumnToCharIndex(LineText(line), column, FTabWidth);
    return result;
}

TPoint TCustomSrcEdit::DisplayPointToClient(TDisplayPoint d) const
{
    return {(d.DisplayColumn - 1) * FCharWidth + FTextOffset, (d.DisplayRow - FFirstVisibleRow) * FLineHeight};
}

TDisplayPoint TCustomSrcEdit::ClientToDisplayPoint(int x, int y) const
{
    const int cw = std::max(FCharWidth, 1);
    const int lh = std::max(FLineHeight, 1);
    return MakeDisplayPoint(std::max(1, (x - FGutterWidth - 2) / cw + FFirstVisibleColumn),
                            std::max(1, y / lh + FFirstVisibleRow));
}

TDisplayPoint TCustomSrcEdit::ClientToNearestDisplayPoint(int x, int y) const
{
    const int cw = std::max(FCharWidth, 1);
    const int lh = std::max(FLineHeight, 1);
    y = std::clamp(y, 0, std::max(FVisibleLineCount * lh - 1, 0));
    // invariant: halves round to the even neighbour (the default rounding mode).
    const int offset = static_cast<int>(std::lrint(static_cast<double>(x - FGutterWidth - 2) / cw));
    return MakeDisplayPoint(std::max(1, FFirstVisibleColumn + offset), std::max(1, y / lh + FFirstVisibleRow));
}

int TCustomSrcEdit::DisplayRowCount() const
{
    return FWordWrapPlugin ? FWordWrapPlugin->RowCount() : LineCount();
}

int TCustomSrcEdit::LineToRow(int line) const
{
    return FWordWrapPlugin ? BufferToDisplayPoint(MakeBufferCoord(1, line)).DisplayRow : line;
}

int TCustomSrcEdit::RowToLine(int row) const
{
    return FWordWrapPlugin ? DisplayPointToBuffer(MakeDisplayPoint(1, row)).LineNumber : row;
}

TDisplayPoint TCustomSrcEdit::CaretDisplayPoint() const
{
    TDisplayPoint p = BufferToDisplayPoint(FCaret);
    if (FWordWrapPlugin && FCaretAtEdgeOfRow && p.DisplayRow > 1 && p.DisplayRow - 1 <= FWordWrapPlugin->RowCount()) {
        --p.DisplayRow;
        p.DisplayColumn = FWordWrapPlugin->RowLength(p.DisplayRow) + 1;
    }
    return p;
}

bool TCustomSrcEdit::IsCaretVisible() const
{
    const TDisplayPoint p = CaretDisplayPoint();
    return p.DisplayColumn >= FFirstVisibleColumn && p.DisplayColumn <= FFirstVisibleColumn + FCharsInWindow &&
           p.DisplayRow >= FFirstVisibleRow && p.DisplayRow <= FFirstVisibleRow + FVisibleLineCount;
}

// ---- the caret

void TCustomSrcEdit::RememberCaretColumn()
{
    FLastCaretColumn = CaretDisplayPoint().DisplayColumn;
}

void TCustomSrcEdit::MoveCaretEx(bool scroll, TBufferCoord p)
{
    FCaretAtEdgeOfRow = false;
    if (HandleAllocated())
        FirePaintTransient(TTransientType::ttBefore);
    const bool pastEol = FOptions.Contains(eoScrollPastEol);
    int limit = FWordWrapPlugin ? INT_MAX : FMaxScrollWidth + 1;
    p.LineNumber = std::min(p.LineNumber, LineCount());
    if (p.LineNumber < 1) {
        p.LineNumber = 1;
        if (!pastEol)
            limit = 1;
    } else if (!pastEol) {
        limit = LineLength(p.LineNumber) + 1;
    }
    if (p.CharIndex > limit && !(pastEol && FOptions.Contains(eoAutoSizeMaxScrollWidth)))
        p.CharIndex = limit;
    p.CharIndex = std::max(p.CharIndex, 1);
    // invariant: the caret never stands inside a UTF-8 sequence.
    if (p.LineNumber <= LineCount()) {
        const std::string text = LineText(p.LineNumber);
        if (InsideChar(text, p.CharIndex))
            p.CharIndex = CharStartIndex(text, p.CharIndex);
    }
    if (p == FCaret) {
        RememberCaretColumn();
    } else {
        WithPaintLock([&] {
            if (p.CharIndex != FCaret.CharIndex) {
                FCaret.CharIndex = p.CharIndex;
                FStatusChanges.Include(scCaretX);
            }
            if (p.LineNumber != FCaret.LineNumber) {
                if (FActiveLineColor != clNone) {
                    InvalidateTextRows(FCaret.LineNumber, FCaret.LineNumber);
                    InvalidateTextRows(p.LineNumber, p.LineNumber);
                }
                FCaret.LineNumber = p.LineNumber;
                FStatusChanges.Include(scCaretY);
            }
            RememberCaretColumn();
            if (scroll)
                ScrollCaretIntoView();
            SetState(sfCaretChanged, true);
            SetState(sfScrollbarChanged, true);
        });
    }
    if (HandleAllocated())
        FirePaintTransient(TTransientType::ttAfter);
}

void TCustomSrcEdit::SetCaretCoord(TBufferCoord p)
{
    WithPaintLock([&] {
        FStatusChanges.Include(scSelection);
        const bool hadSelection = HasSelection();
        MoveCaretEx(true, p);
        if (hadSelection)
            InvalidateSelectionRows();
        FBlockBegin = FCaret;
        FBlockEnd = FCaret;
    });
}

void TCustomSrcEdit::PlaceCaretAtClient(int x, int y)
{
    PlaceCaretAtDisplayPoint(ClientToNearestDisplayPoint(x, y));
}

void TCustomSrcEdit::PlaceCaretAtDisplayPoint(TDisplayPoint d)
{
    const TBufferCoord p = DisplayPointToBuffer(d);
    WithPaintLock([&] {
        MoveCaret(p);
        // A point beyond the end of a wrapped row shows the caret at that row's end.
        if (FWordWrapPlugin && BufferToDisplayPoint(FCaret).DisplayRow > d.DisplayRow) {
            FCaretAtEdgeOfRow = true;
            RememberCaretColumn();
            SetState(sfCaretChanged, true);
        }
    });
}

// ---- selection

bool TCustomSrcEdit::HasSelection() const
{
    return FBlockBegin.CharIndex != FBlockEnd.CharIndex ||
           (FBlockBegin.LineNumber != FBlockEnd.LineNumber && FActiveSelectionMode != TSrcSelectionMode::smColumn);
}

TBufferCoord TCustomSrcEdit::GetSelectionStart() const
{
    return EarlierCoord(FBlockBegin, FBlockEnd);
}

TBufferCoord TCustomSrcEdit::GetSelectionEnd() const
{
    return EarlierCoord(FBlockBegin, FBlockEnd) == FBlockBegin ? FBlockEnd : FBlockBegin;
}

TBufferCoord TCustomSrcEdit::ClampSelectionPoint(TBufferCoord p) const
{
    if (FOptions.Contains(eoScrollPastEol) && !FWordWrapPlugin)
        p.CharIndex = std::clamp(p.CharIndex, 1, FMaxScrollWidth + 1);
    else
        p.CharIndex = std::max(p.CharIndex, 1);
    p.LineNumber = std::max(1, std::min(p.LineNumber, LineCount()));
    const bool lineExists = p.LineNumber <= LineCount();
    if (FActiveSelectionMode == TSrcSelectionMode::smNormal)
        p.CharIndex = std::min(p.CharIndex, lineExists ? LineLength(p.LineNumber) + 1 : 1);
    if (lineExists) {
        const std::string text = LineText(p.LineNumber);
        if (InsideChar(text, p.CharIndex))
            p.CharIndex = CharStartIndex(text, p.CharIndex);
    }
    return p;
}

void TCustomSrcEdit::SetSelectionStart(TBufferCoord p)
{
    FActiveSelectionMode = FSelectionMode;
    p = ClampSelectionPoint(p);
    if (HasSelection())
        InvalidateTextRows(std::min({p.LineNumber, FBlockBegin.LineNumber, FBlockEnd.LineNumber}),
                           std::max({p.LineNumber, FBlockBegin.LineNumber, FBlockEnd.LineNumber}));
    const bool changed = FBlockBegin != p || FBlockEnd != p;
    FBlockBegin = p;
    FBlockEnd = p;
    if (changed)
        NoteStatusChange(scSelection);
}

void TCustomSrcEdit::SetSelectionEnd(TBufferCoord p)
{
    if (FActiveSelectionMode != FSelectionMode) {
        InvalidateSelectionRows();
        FActiveSelectionMode = FSelectionMode;
    }
    if (FOptions.Contains(eoNoSelection))
        return;
    p = ClampSelectionPoint(p);
    if (p == FBlockEnd)
        return;
    if (FActiveSelectionMode == TSrcSelectionMode::smColumn && p.CharIndex != FBlockEnd.CharIndex)
        InvalidateTextRows(std::min({FBlockBegin.LineNumber, FBlockEnd.LineNumber, p.LineNumber}),
                           std::max({FBlockBegin.LineNumber, FBlockEnd.LineNumber, p.LineNumber}));
    else
        InvalidateTextRows(std::min(FBlockEnd.LineNumber, p.LineNumber), std::max(FBlockEnd.LineNumber, p.LineNumber));
    FBlockEnd = p;
    NoteStatusChange(scSelection);
}

void TCustomSrcEdit::SetActiveSelectionMode(TSrcSelectionMode mode)
{
    if (mode == FActiveSelectionMode)
        return;
    InvalidateSelectionRows();
    FActiveSelectionMode = mode;
    InvalidateSelectionRows();
    NoteStatusChange(scSelection);
}

void TCustomSrcEdit::SelectAllText()
{
    WithPaintLock([&] {
        const int count = LineCount();
        const TBufferCoord last = count == 0 ? MakeBufferCoord(1, 1) : MakeBufferCoord(LineLength(count) + 1, count);
        InvalidateSelectionRows();
        MoveCaret(last);
        FBlockBegin = MakeBufferCoord(1, 1);
        FBlockEnd = last;
        InvalidateSelectionRows();
        FStatusChanges.Include(scSelection);
    });
}

void TCustomSrcEdit::SelectRange(TBufferCoord anchor, TBufferCoord freeEnd, TBufferCoord caret)
{
    WithPaintLock([&] {
        InvalidateSelectionRows();
        MoveCaret(caret);
        FBlockBegin = anchor;
        FBlockEnd = freeEnd;
        InvalidateSelectionRows();
        FStatusChanges.Include(scSelection);
    });
}

namespace {

// Bytes [from, to) of a line (1-based indexes), clipped to the line.
std::string Slice(std::string_view text, int from, int to)
{
    const size_t a = static_cast<size_t>(std::clamp(from - 1, 0, static_cast<int>(text.size())));
    const size_t b = static_cast<size_t>(std::clamp(to - 1, 0, static_cast<int>(text.size())));
    return a < b ? std::string(text.substr(a, b - a)) : std::string();
}

// The column range of a column selection on one line, off the middle of UTF-8 sequences.
void ColumnRangeOnLine(std::string_view text, int left, int right, int& l, int& r)
{
    l = SrcEditCharStartAtOrAfter(text, left);
    r = SrcEditCharStartAtOrAfter(text, right);
}

} // namespace

std::string TCustomSrcEdit::GetSelectedText() const
{
    if (!HasSelection())
        return {};
    const TBufferCoord s = GetSelectionStart();
    const TBufferCoord e = GetSelectionEnd();
    std::string out;
    switch (FActiveSelectionMode) {
    case TSrcSelectionMode::smNormal:
        if (s.LineNumber == e.LineNumber)
            return Slice(LineText(s.LineNumber), s.CharIndex, e.CharIndex);
        out = Slice(LineText(s.LineNumber), s.CharIndex, INT_MAX);
        for (int line = s.LineNumber + 1; line < e.LineNumber; ++line) {
            out += "\r\n";
            out += LineText(line);
        }
        out += "\r\n";
        out += Slice(LineText(e.LineNumber), 1, e.CharIndex);
        return out;
    case TSrcSelectionMode::smLine:
        for (int line = s.LineNumber; line <= e.LineNumber; ++line) {
            out += LineText(line);
            if (line < e.LineNumber || e.LineNumber < LineCount())
                out += "\r\n";
        }
        return out;
    case TSrcSelectionMode::smColumn: {
        const int left = std::min(s.CharIndex, e.CharIndex);
        const int right = std::max(s.CharIndex, e.CharIndex);
        const bool pad = !FOptions.Contains(eoTrimTrailingSpaces);
        for (int line = s.LineNumber; line <= e.LineNumber; ++line) {
            const std::string text = LineText(line);
            int l, r;
            ColumnRangeOnLine(text, left, right, l, r);
            std::string piece = Slice(text, l, r);
            if (pad && static_cast<int>(piece.size()) < r - l)
                piece.append(static_cast<size_t>(r - l) - piece.size(), ' ');
            if (line > s.LineNumber)
                out += "\r\n";
            out += piece;
        }
        return out;
    }
    }
    return out;
}

std::string TCustomSrcEdit::SelectedTextForUndo() const
{
    if (FActiveSelectionMode != TSrcSelectionMode::smColumn || !HasSelection())
        return GetSelectedText();
    const TBufferCoord s = GetSelectionStart();
    const TBufferCoord e = GetSelectionEnd();
    const int left = std::min(s.CharIndex, e.CharIndex);
    const int right = std::max(s.CharIndex, e.CharIndex);
    std::string out;
    for (int line = s.LineNumber; line <= e.LineNumber; ++line) {
        const std::string text = LineText(line);
        int l, r;
        ColumnRangeOnLine(text, left, right, l, r);
        if (line > s.LineNumber)
            out += "\r\n";
        out += Slice(text, l, r);
    }
    return out;
}

// ---- caret movement

void TCustomSrcEdit::MoveCaretAndSelect(TBufferCoord anchor, TBufferCoord p, bool selecting)
{
    if (FOptions.Contains(eoGroupUndo) && FUndoList->HasItems())
        FUndoList->AddGroupBreak();
    WithPaintLock([&] {
        if (selecting) {
            if (!HasSelection())
                SetSelectionStart(anchor);
            SetSelectionEnd(p);
        } else {
            SetSelectionStart(p);
        }
        MoveCaret(p);
    });
}

void TCustomSrcEdit::PlaceCaretAndSelection(TBufferCoord caret, TBufferCoord blockBegin, TBufferCoord blockEnd)
{
    WithPaintLock([&] {
        const TSrcSelectionMode mode = FActiveSelectionMode;
        MoveCaret(caret);
        SetSelectionStart(blockBegin);
        SetSelectionEnd(blockEnd);
        SetActiveSelectionMode(mode);
    });
}

void TCustomSrcEdit::MoveCaretHorizontally(int dx, bool selecting)
{
    if (FWordWrapPlugin) {
        const bool rowStart = BufferToDisplayPoint(FCaret).DisplayColumn == 1;
        if (dx <= 0 && rowStart && FCaret.CharIndex > 1 && !FCaretAtEdgeOfRow) {
            FCaretAtEdgeOfRow = true;
            RememberCaretColumn();
            SetState(sfCaretChanged, true);
            PlaceCaret();
            return;
        }
        if (dx > 0 && FCaretAtEdgeOfRow) {
            FCaretAtEdgeOfRow = false;
            RememberCaretColumn();
            SetState(sfCaretChanged, true);
            PlaceCaret();
            return;
        }
    }
    const bool pastEol = FOptions.Contains(eoScrollPastEol);
    const std::string text = LineText(FCaret.LineNumber);
    const int length = static_cast<int>(text.size());
    TBufferCoord p = FCaret;
    if (!pastEol && dx < 0 && p.CharIndex <= 1 && p.LineNumber > 1) {
        p = MakeBufferCoord(LineLength(p.LineNumber - 1) + 1, p.LineNumber - 1);
    } else if (!pastEol && dx > 0 && p.CharIndex > length && p.LineNumber < LineCount()) {
        p = MakeBufferCoord(1, p.LineNumber + 1);
    } else {
        int c = std::max(1, p.CharIndex + dx);
        if (dx > 0 && !pastEol)
            c = std::min(c, length + 1);
        // A step lands on whole characters, in the direction of travel.
        if (InsideChar(text, c))
            c = dx > 0 ? NextCharIndex(text, c) : CharStartIndex(text, c);
        p.CharIndex = c;
    }
    const int oldLine = FCaret.LineNumber;
    MoveCaretAndSelect(FBlockBegin, p, selecting);
    if (FWordWrapPlugin && dx > 0 && FCaret.LineNumber == oldLine) {
        const TDisplayPoint vp = BufferToDisplayPoint(FCaret);
        if (vp.DisplayColumn == 1 && vp.DisplayRow != LineToRow(FCaret.LineNumber)) {
            FCaretAtEdgeOfRow = true;
            RememberCaretColumn();
            SetState(sfCaretChanged, true);
            PlaceCaret();
        } else if (vp.DisplayColumn > FCharsInWindow + 1) {
            MoveCaret(DisplayPointToBuffer(MakeDisplayPoint(1, vp.DisplayRow + 1)));
        }
    }
}

void TCustomSrcEdit::MoveCaretVertically(int dy, bool selecting)
{
    const TDisplayPoint vp = CaretDisplayPoint();
    int row = vp.DisplayRow + dy;
    if (dy >= 0) {
        if (RowToLine(row) > LineCount())
            row = std::max(1, DisplayRowCount());
    } else {
        row = std::max(1, row);
    }
    const int column =
        row != vp.DisplayRow && FOptions.Contains(eoKeepCaretX) ? FLastCaretColumn : vp.DisplayColumn;
    // invariant: display positions map to whole characters, so the target never lies inside one.
    const TBufferCoord target = DisplayPointToBuffer(MakeDisplayPoint(column, row));
    const int savedColumn = FLastCaretColumn;
    WithPaintLock([&] {
        MoveCaretAndSelect(FBlockBegin, target, selecting);
        if (FWordWrapPlugin) {
            const TDisplayPoint after = BufferToDisplayPoint(FCaret);
            if (after.DisplayColumn == 1 && after.DisplayRow != row)
                FCaretAtEdgeOfRow = true;
        }
    });
    FLastCaretColumn = savedColumn;
}

// ---- word wrap

void TCustomSrcEdit::SetWordWrap(bool value)
{
    if (value == FWordWrap)
        return;
    InvalidateClient();
    const bool caretWasVisible = IsCaretVisible();
    const int topLine = RowToLine(FFirstVisibleRow);
    FWordWrap = value;
    if (value) {
        FWordWrapPlugin = std::make_unique<TSrcWordWrapPlugin>(this);
        SetFirstVisibleChar(1);
    } else {
        FWordWrapPlugin.reset();
        FCaretAtEdgeOfRow = false;
    }
    SetFirstVisibleLine(LineToRow(topLine));
    RefreshScrollBars();
    if (FOptions.Contains(eoScrollPastEol)) {
        const TBufferCoord start = GetSelectionStart();
        const TBufferCoord end = GetSelectionEnd();
        MoveCaret(FCaret);
        SetSelectionStart(start);
        SetSelectionEnd(end);
    }
    if (caretWasVisible)
        ScrollCaretIntoView();
}

// ---- the drawn caret

void TCustomSrcEdit::CreateCaretShape()
{
    const TSrcEditCaretType type = FInsertMode ? FInsertCaret : FOverwriteCaret;
    const int height = std::max(FLineHeight - 2, 1);
    switch (type) {
    case TSrcEditCaretType::ctVerticalLine:
        FCaretSize = {2, height};
        FCaretOffset = {-1, 0};
        break;
    case TSrcEditCaretType::ctHorizontalLine:
        FCaretSize = {FCharWidth, 2};
        FCaretOffset = {0, FLineHeight - 2};
        break;
    case TSrcEditCaretType::ctHalfBlock:
        FCaretSize = {FCharWidth, height / 2};
        FCaretOffset = {0, height / 2};
        break;
    case TSrcEditCaretType::ctBlock:
        FCaretSize = {FCharWidth, height};
        FCaretOffset = {0, 0};
        break;
    }
    HideCaret();
    if (Focused() || FShowCaretUnfocused) {
        SetState(sfCaretChanged, true);
        PlaceCaret();
    }
}

void TCustomSrcEdit::PlaceCaret()
{
    if (FPaintLock > 0 || !HandleAllocated() || (!Focused() && !FShowCaretUnfocused)) {
        SetState(sfCaretChanged, true);
        return;
    }
    SetState(sfCaretChanged, false);
    TPoint p = DisplayPointToClient(CaretDisplayPoint());
    p.X += FCaretOffset.X;
    p.Y += FCaretOffset.Y + 1;
    const TRect r = Bounds(p.X, p.Y, FCaretSize.cx, FCaretSize.cy);
    const bool visible = !FOptions.Contains(eoNoCaret) && p.X >= FGutterWidth && p.X < ClientWidth() && p.Y >= 0 &&
                         p.Y < ClientHeight();
    if (FCaretShown)
        InvalidateArea(FCaretRect, false);
    FCaretRect = r;
    FCaretShown = visible;
    FCaretBlinkOn = true;
    if (visible) {
        InvalidateArea(r, false);
        const int flash = QApplication::cursorFlashTime();
        if (flash > 0)
            SetTimer(SrcEditCaretTimer, static_cast<unsigned>(flash / 2));
        else
            KillTimer(SrcEditCaretTimer);
    } else {
        KillTimer(SrcEditCaretTimer);
    }
    if (Focused())
        QApplication::inputMethod()->update(Qt::ImCursorRectangle);
}

void TCustomSrcEdit::HideCaret()
{
    if (FCaretShown) {
        InvalidateArea(FCaretRect, false);
        FCaretShown = false;
    }
    KillTimer(SrcEditCaretTimer);
}

void TCustomSrcEdit::CaretBlinkTick()
{
    if (!FCaretShown) {
        KillTimer(SrcEditCaretTimer);
        return;
    }
    FCaretBlinkOn = !FCaretBlinkOn;
    InvalidateArea(FCaretRect, false);
}

void TCustomSrcEdit::SetShowCaretUnfocused(bool flag)
{
    if (flag == FShowCaretUnfocused)
        return;
    FShowCaretUnfocused = flag;
    if (State(sfDestroying) || Focused())
        return;
    if (flag) {
        CreateCaretShape();
    } else {
        HideCaret();
    }
}
