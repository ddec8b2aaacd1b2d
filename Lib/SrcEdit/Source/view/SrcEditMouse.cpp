// The editor and the mouse: clicks and double clicks, selecting by dragging in the three
// selection modes, automatic scrolling while the pointer is outside the text, the mouse wheel
// and the cursor.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditScopes.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>

namespace {

bool IsMouseMessage(UINT msg)
{
    return msg == WM_MOUSEMOVE || (msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK);
}

} // namespace

void TCustomSrcEdit::DefaultHandler(TMessage& message)
{
    // why: Qt's scroll area would hand an unwanted mouse event on to the parent window; the
    // editor's client area is wholly its own, as a window's is.
    if (IsMouseMessage(message.Msg))
        return;
    TQtScrollControl<QAbstractScrollArea>::DefaultHandler(message);
}

// ---- cursor

void TCustomSrcEdit::SetCursor(TCursor value)
{
    if (value == FCursor)
        return;
    FCursor = value;
    viewport()->setCursor(CursorShape(value));
}

void TCustomSrcEdit::UpdateMouseCursor()
{
    if (ComponentState().Contains(csDesigning))
        return;
    const TPoint p = FPointer;
    TCursor cursor;
    if (p.X < FGutterWidth) {
        cursor = FGutter->Cursor();
    } else {
        const TBufferCoord pos = BufferPositionAt(p.X, p.Y);
        cursor = FOptions.Contains(eoDragDropEditing) && !FMouseCaptured && PositionInSelection(pos) ? crArrow
                                                                                                      : FCursor;
        if (OnMouseCursor)
            OnMouseCursor(this, pos, cursor);
        FKbdHandler->FireMouseCursor(this, pos, cursor);
    }
    const Qt::CursorShape shape = CursorShape(cursor);
    if (viewport()->cursor().shape() != shape)
        viewport()->setCursor(shape);
}

// ---- positions

TBufferCoord TCustomSrcEdit::BufferPositionAt(int x, int y) const
{
    return DisplayPointToBuffer(ClientToDisplayPoint(x, y));
}

bool TCustomSrcEdit::PositionInSelection(TBufferCoord p) const
{
    if (!HasSelection())
        return false;
    const TBufferCoord s = GetSelectionStart();
    const TBufferCoord e = GetSelectionEnd();
    if (p.LineNumber < s.LineNumber || p.LineNumber > e.LineNumber)
        return false;
    switch (FActiveSelectionMode) {
    case TSrcSelectionMode::smLine:
        return true;
    case TSrcSelectionMode::smColumn:
        return p.CharIndex >= std::min(s.CharIndex, e.CharIndex) && p.CharIndex < std::max(s.CharIndex, e.CharIndex);
    case TSrcSelectionMode::smNormal:
        break;
    }
    if (p.LineNumber == s.LineNumber && p.CharIndex < s.CharIndex)
        return false;
    return !(p.LineNumber == e.LineNumber && p.CharIndex >= e.CharIndex);
}

// ---- buttons

void TCustomSrcEdit::SetMouseCapture(bool on)
{
    // why: Qt's implicit grab keeps the pointer with the viewport while a button is down; the
    // flag is what the selection and auto-scroll rules ask about.
    FMouseCaptured = on;
    if (!on)
        StopAutoScroll();
}

void TCustomSrcEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    const TBufferCoord oldBegin = FBlockBegin;
    const TBufferCoord oldEnd = FBlockEnd;
    FPointer = {x, y};
    bool hadSelection = false;
    if (button == TMouseButton::mbLeft && HasSelection()) {
        hadSelection = true;
        FMouseDownPoint = {x, y};
    }
    TQtScrollControl<QAbstractScrollArea>::MouseDown(button, shift, x, y);
    if (button == TMouseButton::mbLeft && shift.Contains(ssDouble))
        return; // DblClick handles it
    FKbdHandler->FireMouseDown(this, button, shift, x, y);

    if (button == TMouseButton::mbRight) {
        const bool onSelection = HasSelection() && PositionInSelection(BufferPositionAt(x, y));
        if (!FOptions.Contains(eoRightMouseMovesCursor) || onSelection)
            return;
        InvalidateSelectionRows();
        FBlockEnd = FBlockBegin;
        PlaceCaretAtClient(x, y);
    } else if (button == TMouseButton::mbLeft) {
        PlaceCaretAtClient(x, y);
    }

    bool startDrag = false;
    if (button == TMouseButton::mbLeft) {
        // The click may start a drag of the selection, so the selection stays as it was.
        FBlockBegin = oldBegin;
        FBlockEnd = oldEnd;
        SetMouseCapture(true);
        SetState(sfWaitForDragging, false);
        startDrag = hadSelection && FOptions.Contains(eoDragDropEditing) && x >= FGutterWidth + 2 &&
                    FSelectionMode == TSrcSelectionMode::smNormal && PositionInSelection(BufferPositionAt(x, y));
    }
    if (startDrag) {
        SetState(sfWaitForDragging, true);
    } else if (!State(sfDblClicked)) {
        if (shift.Contains(ssShift)) {
            SetSelectionEnd(FCaret);
        } else {
            if (FOptions.Contains(eoAltSetsColumnMode) && FActiveSelectionMode != TSrcSelectionMode::smLine)
                SetSelectionMode(shift.Contains(ssAlt) ? TSrcSelectionMode::smColumn : TSrcSelectionMode::smNormal);
            SetSelectionStart(FCaret);
        }
    }

    if (x < FGutterWidth)
        SetState(sfPossibleGutterClick, true);
    if (State(sfPossibleGutterClick) && button == TMouseButton::mbRight)
        FireGutterClick(button, x, y);
    SetFocus();
}

void TCustomSrcEdit::MouseMove(TShiftState shift, int x, int y)
{
    FPointer = {x, y};
    TQtScrollControl<QAbstractScrollArea>::MouseMove(shift, x, y);
    if (FMouseCaptured && State(sfWaitForDragging)) {
        const int distance = QApplication::startDragDistance();
        if (std::abs(FMouseDownPoint.X - x) >= distance || std::abs(FMouseDownPoint.Y - y) >= distance) {
            SetState(sfWaitForDragging, false);
            BeginTextDrag();
        }
    } else if (shift.Contains(ssLeft) && FMouseCaptured) {
        UpdateAutoScroll(x, y);
        TDisplayPoint p = ClientToNearestDisplayPoint(x, y);
        p.DisplayRow = std::max(1, std::min(p.DisplayRow, DisplayRowCount()));
        // While the timer scrolls in a direction, it moves the caret that way itself.
        if (FScrollDeltaX != 0)
            p.DisplayColumn = CaretDisplayColumn();
        if (FScrollDeltaY != 0)
            p.DisplayRow = CaretDisplayRow();
        WithPaintLock([&] {
            MoveCaret(DisplayPointToBuffer(p));
            SetSelectionEnd(FCaret);
        });
    }
    UpdateMouseCursor();
}

void TCustomSrcEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    FPointer = {x, y};
    TQtScrollControl<QAbstractScrollArea>::MouseUp(button, shift, x, y);
    FKbdHandler->FireMouseUp(this, button, shift, x, y);
    StopAutoScroll();
    SetMouseCapture(false);
    if (State(sfPossibleGutterClick) && x < FGutterWidth && button != TMouseButton::mbRight) {
        FireGutterClick(button, x, y);
    } else if (State(sfWaitForDragging) && !State(sfDblClicked)) {
        // A click inside the selection that never became a drag.
        WithPaintLock([&] {
            PlaceCaretAtClient(x, y);
            if (!shift.Contains(ssShift))
                SetSelectionStart(FCaret);
            SetSelectionEnd(FCaret);
        });
        SetState(sfWaitForDragging, false);
    }
    SetState(sfDblClicked, false);
    SetState(sfPossibleGutterClick, false);
    UpdateMouseCursor();
}

void TCustomSrcEdit::DblClick()
{
    // invariant: the double-click message that ends here set FPointer to where it happened.
    if (FPointer.X < FGutterWidth + 2) {
        TQtScrollControl<QAbstractScrollArea>::DblClick();
        return;
    }
    if (!FOptions.Contains(eoNoSelection))
        SelectWordAt(FCaret);
    TQtScrollControl<QAbstractScrollArea>::DblClick();
    SetState(sfDblClicked, true);
    SetMouseCapture(false);
}

// ---- automatic scrolling

void TCustomSrcEdit::UpdateAutoScroll(int x, int y)
{
    if (!FMouseCaptured && !FDragging) {
        StopAutoScroll();
        return;
    }
    const int cw = std::max(FCharWidth, 1);
    const int lh = std::max(FLineHeight, 1);
    TRect text = Bounds(FGutterWidth, 0, FCharsInWindow * cw, FVisibleLineCount * lh);
    if (FBorderStyle == TBorderStyle::bsNone)
        InflateRect(text, -2, -2);
    // invariant: division truncates towards zero, so one step is taken as soon as the pointer
    // is out, and one more per whole cell beyond the first.
    if (x < text.Left)
        FScrollDeltaX = (x - text.Left) / cw - 1;
    else if (x >= text.Right)
        FScrollDeltaX = (x - text.Right) / cw + 1;
    else
        FScrollDeltaX = 0;
    if (y < text.Top)
        FScrollDeltaY = (y - text.Top) / lh - 1;
    else if (y >= text.Bottom)
        FScrollDeltaY = (y - text.Bottom) / lh + 1;
    else
        FScrollDeltaY = 0;
    const bool wanted = FScrollDeltaX != 0 || FScrollDeltaY != 0;
    if (wanted && !FAutoScrollTimerOn) {
        SetTimer(SrcEditScrollTimer, 100);
        FAutoScrollTimerOn = true;
    } else if (!wanted && FAutoScrollTimerOn) {
        KillTimer(SrcEditScrollTimer);
        FAutoScrollTimerOn = false;
    }
}

void TCustomSrcEdit::StopAutoScroll()
{
    FScrollDeltaX = 0;
    FScrollDeltaY = 0;
    if (FAutoScrollTimerOn) {
        KillTimer(SrcEditScrollTimer);
        FAutoScrollTimerOn = false;
    }
}

void TCustomSrcEdit::AutoScrollTick()
{
    if (!FAutoScrollTimerOn)
        return; // a tick that was already queued when the timer stopped
    const TPoint pointer = ScreenToClient(TPoint::FromQt(QCursor::pos()));
    const int rows = std::max(1, DisplayRowCount());
    TDisplayPoint target = ClientToDisplayPoint(pointer.X, pointer.Y);
    target.DisplayRow = std::max(1, std::min(target.DisplayRow, rows));
    if (FScrollDeltaX != 0) {
        SetFirstVisibleChar(FFirstVisibleColumn + FScrollDeltaX);
        target.DisplayColumn = FFirstVisibleColumn + (FScrollDeltaX > 0 ? FCharsInWindow : 0);
    }
    if (FScrollDeltaY != 0) {
        const bool shift = QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
        SetFirstVisibleLine(FFirstVisibleRow + (shift ? FScrollDeltaY * FVisibleLineCount : FScrollDeltaY));
        const int row = FFirstVisibleRow + (FScrollDeltaY > 0 ? FVisibleLineCount - 1 : 0);
        target.DisplayRow = std::max(1, std::min(row, rows));
    }
    const TBufferCoord p = DisplayPointToBuffer(target);
    if (p != FCaret) {
        WithPaintLock([&] {
            MoveCaret(p);
            if (FMouseCaptured)
                SetSelectionEnd(FCaret);
        });
    }
    UpdateAutoScroll(pointer.X, pointer.Y);
}

// ---- wheel

void TCustomSrcEdit::HandleMouseWheel(TMessage& message)
{
    const WPARAM flags = message.WParam & 0xFFFF;
    const int delta = static_cast<std::int16_t>((message.WParam >> 16) & 0xFFFF);
    DoMouseWheel(ShiftStateFromMouseFlags(flags), delta, {LowWordSigned(message.LParam), HighWordSigned(message.LParam)});
    message.Result = 1;
    if (ComponentState().Contains(csDesigning))
        return;
    int rowsPerNotch;
    if (flags & MK_CONTROL)
        rowsPerNotch = FOptions.Contains(eoHalfPageScroll) ? FVisibleLineCount >> 1 : FVisibleLineCount;
    else
        rowsPerNotch = QApplication::wheelScrollLines();
    if (rowsPerNotch < 0 || rowsPerNotch > FVisibleLineCount)
        rowsPerNotch = FVisibleLineCount;
    FWheelRemainder += delta;
    const int notches = FWheelRemainder / WHEEL_DELTA;
    FWheelRemainder %= WHEEL_DELTA;
    SetFirstVisibleLine(FFirstVisibleRow - notches * rowsPerNotch);
    Update();
    if (OnScroll)
        OnScroll(this, TScrollBarKind::sbVertical);
}
