// The compare text view's editing: the selection, changes of the text as undoable steps,
// typing, undo and redo, and the clipboard.

#include "compare/CodeEditor.h"

#include "Platform/text/TextChars.h"

#include <QApplication>
#include <QClipboard>

#include <algorithm>

namespace {

// Line breaks of any kind become CR LF.
std::string CRLFText(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            result += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::vector<std::string> SplitCRLF(const std::string& text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

bool EndsWithBreak(const std::string& text)
{
    return text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0;
}

} // namespace

// ---- selection and caret

void TCodeEdit::SetSelection(int anchor, int caret)
{
    const int total = FLines->TextLength();
    anchor = std::clamp(anchor, 0, total);
    caret = std::clamp(caret, 0, total);
    // invariant: a caret without a selection stands inside a line, never after the last break.
    if (anchor == caret && total > 0)
        anchor = caret = std::min(caret, total - 2);
    const bool selectionChanged = anchor != FAnchor || caret != FCaretOffset;
    FAnchor = anchor;
    FCaretOffset = caret;
    const TPoint point = OffsetToPoint(caret);
    const bool caretChanged = point.X != FCaretCol || point.Y != FCaretRow;
    FCaretCol = point.X;
    FCaretRow = point.Y;
    FCaretShown = true;
    Invalidate();
    if (selectionChanged && OnSelectionChange)
        OnSelectionChange(this);
    if (caretChanged)
        CaretMoved();
}

void TCodeEdit::CaretMoved()
{
    if (OnCaretPtChange)
        OnCaretPtChange(this);
}

void TCodeEdit::SetSelStart(int offset)
{
    SetSelection(offset, offset);
}

void TCodeEdit::SetSelLength(int length)
{
    const int start = SelStart();
    SetSelection(start, start + std::max(0, length));
}

void TCodeEdit::SetCaretPoint(int column, int row)
{
    MoveCaretTo(column, row, false);
    FRememberedCol = DisplayColumn(FCaretRow, FCaretCol);
}

void TCodeEdit::MoveCaretTo(int column, int row, bool extend)
{
    if (FLines->Count() == 0) {
        SetSelection(0, 0);
        return;
    }
    row = std::clamp(row, 0, FLines->Count() - 1);
    const std::string& text = FLines->LineText(row);
    size_t boundary = std::clamp<size_t>(static_cast<size_t>(std::max(0, column)), 0, text.size());
    if (boundary < text.size())
        boundary = TextChars::CharStart(text, boundary);
    const int offset = PointToOffset(static_cast<int>(boundary), row);
    SetSelection(extend ? FAnchor : offset, offset);
}

void TCodeEdit::SelectAll()
{
    // The last line break included, so that deleting everything leaves no line behind.
    SetSelection(0, FLines->TextLength());
}

// ---- the text between two offsets

std::string TCodeEdit::TextRange(int from, int to) const
{
    std::string text;
    if (from >= to || FLines->Count() == 0)
        return text;
    for (int row = OffsetToPoint(from).Y; row < FLines->Count(); ++row) {
        const TLineObj& line = FLines->GetLineObj(row);
        if (line.Position >= to)
            break;
        const std::string& s = FLines->LineText(row);
        const int begin = std::max(from, line.Position) - line.Position;
        const int end = std::min(to, line.Position + line.Length) - line.Position;
        if (end > begin)
            text.append(s, static_cast<size_t>(begin), static_cast<size_t>(end - begin));
        // The line break: offsets Length and Length + 1 of the line.
        for (int b = line.Length; b < line.Length + 2; ++b)
            if (line.Position + b >= from && line.Position + b < to)
                text += b == line.Length ? '\r' : '\n';
    }
    return text;
}

void TCodeEdit::RemoveText(int from, int to)
{
    const int count = FLines->Count();
    if (from >= to || count == 0)
        return;
    const TPoint p1 = OffsetToPoint(from);
    const bool startsLine = from == FLines->GetLineObj(p1.Y).Position;
    if (to >= FLines->TextLength()) {
        // Through the last line break: the lines from the start on go.
        if (startsLine) {
            FLines->DeleteLines(p1.Y, count - p1.Y);
        } else {
            FLines->Put(p1.Y, FLines->LineText(p1.Y).substr(0, static_cast<size_t>(p1.X)));
            FLines->DeleteLines(p1.Y + 1, count - p1.Y - 1);
        }
        return;
    }
    const TPoint p2 = OffsetToPoint(to);
    if (p1.Y == p2.Y) {
        std::string text = FLines->LineText(p1.Y);
        text.erase(static_cast<size_t>(p1.X), static_cast<size_t>(p2.X - p1.X));
        FLines->Put(p1.Y, text);
    } else if (startsLine) {
        // Whole lines go; the line where the range ends keeps its own colour and number.
        FLines->DeleteLines(p1.Y, p2.Y - p1.Y);
        if (p2.X > 0)
            FLines->Put(p1.Y, FLines->LineText(p1.Y).substr(static_cast<size_t>(p2.X)));
    } else {
        FLines->Put(p1.Y, FLines->LineText(p1.Y).substr(0, static_cast<size_t>(p1.X)) +
                              FLines->LineText(p2.Y).substr(static_cast<size_t>(p2.X)));
        FLines->DeleteLines(p1.Y + 1, p2.Y - p1.Y);
    }
}

void TCodeEdit::PutText(int offset, const std::string& text)
{
    if (text.empty())
        return;
    std::vector<std::string> parts = SplitCRLF(text);
    const bool endsWithBreak = EndsWithBreak(text);
    if (FLines->Count() == 0 || offset >= FLines->TextLength()) {
        if (endsWithBreak)
            parts.pop_back();
        FLines->InsertLines(FLines->Count(), parts);
        return;
    }
    const TPoint p = OffsetToPoint(offset);
    const std::string line = FLines->LineText(p.Y);
    const std::string head = line.substr(0, static_cast<size_t>(p.X));
    const std::string tail = line.substr(static_cast<size_t>(p.X));
    if (p.X == 0 && endsWithBreak) {
        // Whole lines before this one, which keeps its own colour and number.
        parts.pop_back();
        FLines->InsertLines(p.Y, parts);
    } else if (tail.empty() && parts.size() > 1 && parts.front().empty()) {
        // Whole lines after this one.
        parts.erase(parts.begin());
        FLines->InsertLines(p.Y + 1, parts);
    } else if (parts.size() == 1) {
        FLines->Put(p.Y, head + parts.front() + tail);
    } else {
        FLines->Put(p.Y, head + parts.front());
        parts.erase(parts.begin());
        parts.back() += tail;
        FLines->InsertLines(p.Y + 1, parts);
    }
}

void TCodeEdit::ReplaceRange(int from, int to, const std::string& text, TUndoKind kind, bool replaces)
{
    std::string inserted = text;
    // why: text put after the last line break opens a line of its own, so it ends with one.
    if (!inserted.empty() && from >= FLines->TextLength() && FLines->Count() > 0 && !EndsWithBreak(inserted))
        inserted += "\r\n";
    TUndoItem step;
    step.Kind = kind;
    step.Offset = from;
    step.OldText = TextRange(from, to);
    step.NewText = inserted;
    step.AnchorBefore = FAnchor;
    step.CaretBefore = FCaretOffset;
    step.Replaces = replaces;
    {
        TStringsUpdate update(*FLines);
        RemoveText(from, to);
        PutText(from, inserted);
    }
    const int caret = from + static_cast<int>(inserted.size());
    SetSelection(caret, caret);
    step.AnchorAfter = FAnchor;
    step.CaretAfter = FCaretOffset;
    FUndo.Add(std::move(step));
}

void TCodeEdit::DeleteSelectionAsStep()
{
    if (SelLength() > 0)
        ReplaceRange(SelStart(), SelStart() + SelLength(), {}, ukBlockDeleted);
}

void TCodeEdit::DeleteSelection()
{
    if (FReadOnly)
        return;
    DeleteSelectionAsStep();
    ScrollCaretIntoView();
}

void TCodeEdit::InsertText(const std::string& text)
{
    if (FReadOnly)
        return;
    const std::string normal = CRLFText(text);
    const bool replacing = SelLength() > 0;
    DeleteSelectionAsStep();
    if (!normal.empty())
        ReplaceRange(FCaretOffset, FCaretOffset, normal, ukBlockInserted, replacing);
    FRememberedCol = DisplayColumn(FCaretRow, FCaretCol);
    ScrollCaretIntoView();
}

std::string TCodeEdit::GetSelText() const
{
    return TextRange(SelStart(), SelStart() + SelLength());
}

// ---- typing

void TCodeEdit::TypeChar(char32_t code)
{
    if (FReadOnly)
        return;
    const bool character = code == 9 || code >= 32;
    if (code != 7 && code != 8 && code != 13 && !character)
        return;
    if (FLines->Count() == 0) {
        if (code == 7 || code == 8)
            return;
        FLines->Add({});
        SetSelection(0, 0);
        if (code == 13)
            return;
    }
    const int caret = FCaretOffset;
    if (code == 7 || code == 8) {
        if (SelLength() > 0) {
            DeleteSelectionAsStep();
        } else if (code == 7) {
            const std::string& text = FLines->LineText(FCaretRow);
            if (FCaretCol < static_cast<int>(text.size()))
                ReplaceRange(caret, caret + TextChars::CharLength(text, static_cast<size_t>(FCaretCol)), {},
                             ukCharDeleted);
            else if (FCaretRow < FLines->Count() - 1)
                ReplaceRange(caret, caret + 2, {}, ukCharDeleted);
        } else if (FCaretCol > 0) {
            const std::string& text = FLines->LineText(FCaretRow);
            const int previous = static_cast<int>(TextChars::PrevCharStart(text, static_cast<size_t>(FCaretCol)));
            ReplaceRange(caret - (FCaretCol - previous), caret, {}, ukCharDeleted);
        } else if (FCaretRow > 0) {
            ReplaceRange(caret - 2, caret, {}, ukCharDeleted);
        }
    } else {
        const bool replacing = SelLength() > 0;
        DeleteSelectionAsStep();
        const std::string text = code == 13 ? std::string("\r\n") : TextChars::Encode(code);
        ReplaceRange(FCaretOffset, FCaretOffset, text, ukCharTyped, replacing);
    }
    FRememberedCol = DisplayColumn(FCaretRow, FCaretCol);
    ScrollCaretIntoView();
}

// ---- undo and redo

void TCodeEdit::ApplyUndoStep(const TUndoItem& step, bool undo)
{
    const std::string& removed = undo ? step.NewText : step.OldText;
    const std::string& put = undo ? step.OldText : step.NewText;
    {
        TStringsUpdate update(*FLines);
        RemoveText(step.Offset, step.Offset + static_cast<int>(removed.size()));
        PutText(step.Offset, put);
    }
    if (undo)
        SetSelection(step.AnchorBefore, step.CaretBefore);
    else
        SetSelection(step.AnchorAfter, step.CaretAfter);
}

void TCodeEdit::Undo()
{
    RunUndoList(true);
}

void TCodeEdit::Redo()
{
    RunUndoList(false);
}

void TCodeEdit::RunUndoList(bool undo)
{
    FUndo.Running = true;
    try {
        // A replacement (or a move) is a deleted block and the inserted block after it.
        if (undo) {
            if (const TUndoItem* step = FUndo.TakeUndo()) {
                const bool replaces = step->Replaces;
                ApplyUndoStep(*step, true);
                if (replaces && FUndo.PeekUndo() && FUndo.PeekUndo()->Kind == ukBlockDeleted)
                    ApplyUndoStep(*FUndo.TakeUndo(), true);
            }
        } else if (const TUndoItem* step = FUndo.TakeRedo()) {
            ApplyUndoStep(*step, false);
            if (step->Kind == ukBlockDeleted && FUndo.PeekRedo() && FUndo.PeekRedo()->Replaces)
                ApplyUndoStep(*FUndo.TakeRedo(), false);
        }
    } catch (...) {
        FUndo.Running = false;
        throw;
    }
    FUndo.Running = false;
    FRememberedCol = DisplayColumn(FCaretRow, FCaretCol);
    ScrollCaretIntoView();
}

// ---- clipboard

void TCodeEdit::CopyToClipboard()
{
    if (SelLength() == 0)
        return;
    std::string text = GetSelText();
    // Other programs get LF line breaks.
    std::string plain;
    plain.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            plain += text[i];
    QApplication::clipboard()->setText(QString::fromUtf8(plain.data(), static_cast<qsizetype>(plain.size())));
}

void TCodeEdit::CutToClipboard()
{
    CopyToClipboard();
    DeleteSelection();
}

void TCodeEdit::PasteFromClipboard()
{
    if (FReadOnly)
        return;
    const QByteArray text = QApplication::clipboard()->text().toUtf8();
    InsertText(std::string(text.constData(), static_cast<size_t>(text.size())));
}
