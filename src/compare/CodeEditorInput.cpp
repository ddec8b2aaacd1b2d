// The compare text view's keyboard, mouse, focus and dropped files.

#include "compare/CodeEditor.h"

#include "Platform/core/QtBridge.h"
#include "Platform/text/TextChars.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace {

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

bool IsWordChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

LRESULT TCodeEdit::NativeDialogCode() const
{
    return DLGC_WANTARROWS | DLGC_WANTCHARS | (FWantTabs ? LRESULT(DLGC_WANTTAB) : LRESULT(0));
}

void TCodeEdit::WndProc(TMessage& message)
{
    using Base = TQtScrollControl<QAbstractScrollArea>;
    switch (message.Msg) {
    case WM_SETFOCUS:
        Base::WndProc(message);
        FCaretShown = true;
        FCaretTimer.start();
        Invalidate();
        return;
    case WM_KILLFOCUS:
        Base::WndProc(message);
        FCaretTimer.stop();
        FMouseMode = TMouseMode::mmNone;
        Invalidate();
        return;
    case WM_CUT:
        if (FReadOnly)
            CopyToClipboard();
        else
            CutToClipboard();
        return;
    case WM_COPY:
        CopyToClipboard();
        return;
    case WM_PASTE:
        PasteFromClipboard();
        return;
    case WM_ERASEBKGND:
        message.Result = 1;
        return;
    default:
        Base::WndProc(message);
        return;
    }
}

// ---- keyboard

void TCodeEdit::KeyDown(WORD& key, TShiftState shift)
{
    TQtScrollControl<QAbstractScrollArea>::KeyDown(key, shift);
    if (key == 0 || shift.Contains(ssAlt))
        return;
    const bool ctrl = shift.Contains(ssCtrl);
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_LEFT:
    case VK_RIGHT:
        KeyMove(key, shift);
        key = 0;
        return;
    case VK_DELETE:
        if (!ctrl) {
            TypeChar(7);
            key = 0;
        }
        return;
    default: break;
    }
    if (!ctrl)
        return;
    switch (key) {
    case 'A': SelectAll(); break;
    case 'C': CopyToClipboard(); break;
    case 'X': Perform(WM_CUT); break;
    case 'V': PasteFromClipboard(); break;
    default: return;
    }
    key = 0;
}

void TCodeEdit::KeyPress(char32_t& key)
{
    TQtScrollControl<QAbstractScrollArea>::KeyPress(key);
    const bool typed = key == 8 || key == 13 || (key == 9 && FWantTabs) || key >= 32;
    if (!typed || CurrentShiftState().Contains(ssAlt))
        return;
    TypeChar(key);
    key = 0;
}

void TCodeEdit::KeyMove(WORD key, TShiftState shift)
{
    const bool extend = shift.Contains(ssShift);
    const bool ctrl = shift.Contains(ssCtrl);
    const int count = FLines->Count();
    if (count == 0)
        return;
    int row = FCaretRow;
    int column = FCaretCol;
    const std::string& text = FLines->LineText(row);
    const auto lineLength = [this](int r) { return static_cast<int>(FLines->LineText(r).size()); };
    bool vertical = false;
    switch (key) {
    case VK_PRIOR: row -= FVisibleRows; vertical = true; break;
    case VK_NEXT: row += FVisibleRows; vertical = true; break;
    case VK_UP: row -= 1; vertical = true; break;
    case VK_DOWN: row += 1; vertical = true; break;
    case VK_HOME:
        column = 0;
        if (ctrl)
            row = 0;
        break;
    case VK_END:
        if (ctrl)
            row = count - 1;
        column = lineLength(row);
        break;
    case VK_LEFT:
        if (column > 0 && !ctrl) {
            column = static_cast<int>(TextChars::PrevCharStart(text, static_cast<size_t>(column)));
        } else if (column == 0 && row > 0) {
            --row;
            column = lineLength(row);
        } else if (ctrl) {
            while (column > 0 && IsBlank(text[static_cast<size_t>(column - 1)]))
                --column;
            while (column > 0 && !IsBlank(text[static_cast<size_t>(column - 1)]))
                --column;
        }
        break;
    case VK_RIGHT:
        if (column >= static_cast<int>(text.size())) {
            if (row < count - 1) {
                ++row;
                column = 0;
            }
        } else if (!ctrl) {
            column = static_cast<int>(TextChars::NextCharStart(text, static_cast<size_t>(column)));
        } else {
            while (column < static_cast<int>(text.size()) && !IsBlank(text[static_cast<size_t>(column)]))
                ++column;
            while (column < static_cast<int>(text.size()) && IsBlank(text[static_cast<size_t>(column)]))
                ++column;
        }
        break;
    default: return;
    }
    if (vertical) {
        row = std::clamp(row, 0, count - 1);
        FRememberedCol = std::max(FRememberedCol, DisplayColumn(FCaretRow, FCaretCol));
        // The column whose cell is at or left of the remembered one.
        const std::string& target = FLines->LineText(row);
        int cells = 0;
        size_t i = 0;
        while (i < target.size()) {
            const int width = target[i] == '\t' ? TabWidth : TextChars::CharColumns(target, i);
            if (cells + width > FRememberedCol)
                break;
            cells += width;
            i += static_cast<size_t>(TextChars::CharLength(target, i));
        }
        column = static_cast<int>(i);
    }
    MoveCaretTo(column, row, extend);
    if (!vertical)
        FRememberedCol = DisplayColumn(FCaretRow, FCaretCol);
    ScrollCaretIntoView();
}

// ---- mouse

void TCodeEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TQtScrollControl<QAbstractScrollArea>::MouseDown(button, shift, x, y);
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (button != TMouseButton::mbLeft || x < FGutterWidth || FLines->Count() == 0)
        return;
    const int row = RowAt(y);
    const int column = ColumnAt(x, row);
    const int offset = PointToOffset(column, row);
    if (shift.Contains(ssDouble)) {
        const std::string& text = FLines->LineText(row);
        int start = column, end = column;
        while (start > 0 && IsWordChar(text[static_cast<size_t>(start - 1)]))
            --start;
        while (end < static_cast<int>(text.size()) && IsWordChar(text[static_cast<size_t>(end)]))
            ++end;
        SetSelection(PointToOffset(start, row), PointToOffset(end, row));
        FMouseMode = TMouseMode::mmNone;
        return;
    }
    if (SelLength() > 0 && offset >= SelStart() && offset < SelStart() + SelLength()) {
        FMouseMode = TMouseMode::mmDragging;
        viewport()->setCursor(Qt::DragMoveCursor);
        return;
    }
    FMouseMode = TMouseMode::mmSelecting;
    SetSelection(offset, offset);
    FRememberedCol = DisplayColumn(FCaretRow, FCaretCol);
}

void TCodeEdit::MouseMove(TShiftState shift, int x, int y)
{
    TQtScrollControl<QAbstractScrollArea>::MouseMove(shift, x, y);
    if (FMouseMode == TMouseMode::mmNone || !shift.Contains(ssLeft) || FLines->Count() == 0)
        return;
    const int row = RowAt(y);
    const int offset = PointToOffset(ColumnAt(x, row), row);
    if (FMouseMode == TMouseMode::mmSelecting) {
        SetSelection(FAnchor, offset);
        return;
    }
    // While dragging only the caret follows, to show where the text would go.
    const TPoint point = OffsetToPoint(offset);
    if (point.X != FCaretCol || point.Y != FCaretRow) {
        FCaretCol = point.X;
        FCaretRow = point.Y;
        Invalidate();
    }
}

void TCodeEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TQtScrollControl<QAbstractScrollArea>::MouseUp(button, shift, x, y);
    const TMouseMode mode = FMouseMode;
    FMouseMode = TMouseMode::mmNone;
    if (mode != TMouseMode::mmDragging || button != TMouseButton::mbLeft)
        return;
    viewport()->setCursor(Qt::IBeamCursor);
    const int row = RowAt(y);
    int drop = PointToOffset(ColumnAt(x, row), row);
    const int start = SelStart();
    const int length = SelLength();
    if (drop >= start && drop <= start + length) {
        SetSelection(drop, drop);
        return;
    }
    if (FReadOnly) {
        SetSelection(FAnchor, FCaretOffset);
        return;
    }
    const std::string text = GetSelText();
    if (drop > start)
        drop -= length;
    DeleteSelectionAsStep();
    SetSelection(drop, drop);
    // The move is undone as one step.
    ReplaceRange(drop, drop, text, ukBlockInserted, true);
    SetSelection(drop, drop + static_cast<int>(text.size()));
    ScrollCaretIntoView();
}

// ---- dropped files

namespace {

std::string FirstLocalFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return StdStr(url.toLocalFile());
    return {};
}

} // namespace

void TCodeEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (OnDropFiles && !FirstLocalFile(event->mimeData()).empty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TCodeEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (OnDropFiles && !FirstLocalFile(event->mimeData()).empty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TCodeEdit::dropEvent(QDropEvent* event)
{
    const std::string name = FirstLocalFile(event->mimeData());
    bool accepted = false;
    if (OnDropFiles && !name.empty())
        OnDropFiles(this, name, accepted);
    if (accepted)
        event->acceptProposedAction();
    else
        event->ignore();
}
