// The editor's view: the first visible row and column, scrolling the caret into view and the
// scroll bars.

#include "SrcEdit.h"

#include "SrcEditScopes.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <climits>
#include <cstdlib>

void TCustomSrcEdit::SetFirstVisibleLine(int row)
{
    const int highest =
        FOptions.Contains(eoScrollPastEof) ? DisplayRowCount() : DisplayRowCount() - FVisibleLineCount + 1;
    row = std::max(std::min(row, highest), 1);
    if (row == FFirstVisibleRow)
        return;
    const int delta = FFirstVisibleRow - row;
    FFirstVisibleRow = row;
    if (std::abs(delta) < FVisibleLineCount)
        ScrollClientBy(0, delta * FLineHeight, ClientRect());
    else
        InvalidateClient();
    RefreshScrollBars();
    NoteStatusChange(scTopLine);
}

void TCustomSrcEdit::SetFirstVisibleChar(int column)
{
    int highest = 1;
    if (FOptions.Contains(eoScrollPastEol)) {
        highest = FOptions.Contains(eoAutoSizeMaxScrollWidth) ? INT_MAX - FCharsInWindow
                                                             : FMaxScrollWidth - FCharsInWindow + 1;
    } else {
        const int longest = FLines->LongestLineLength();
        if (longest > FCharsInWindow)
            highest = longest - FCharsInWindow + 1;
    }
    if (FWordWrapPlugin)
        column = 1;
    column = std::max(std::min(column, highest), 1);
    if (column == FFirstVisibleColumn)
        return;
    const int delta = FFirstVisibleColumn - column;
    FFirstVisibleColumn = column;
    FTextOffset = FGutterWidth + 2 - (column - 1) * FCharWidth;
    const TRect textArea = Rect(FGutterWidth + 2, 0, ClientWidth(), ClientHeight());
    if (std::abs(delta) < FCharsInWindow)
        ScrollClientBy(delta * FCharWidth, 0, textArea);
    else
        InvalidateArea(textArea, false);
    if (FOptions.Contains(eoScrollPastEol) && FOptions.Contains(eoAutoSizeMaxScrollWidth) &&
        column + FCharsInWindow > FMaxScrollWidth)
        SetMaxScrollWidth(column + FCharsInWindow);
    else
        RefreshScrollBars();
    NoteStatusChange(scLeftChar);
}

void TCustomSrcEdit::ScrollClientBy(int dx, int dy, const TRect& area)
{
    if (!HandleAllocated())
        return;
    viewport()->scroll(dx, dy, area.ToQt());
    // why: the caret is painted into the picture; the scrolled copy of it must go, and the caret
    // moves with the text as it did with the system caret.
    if (FCaretShown) {
        TRect moved = FCaretRect;
        OffsetRect(moved, dx, dy);
        InvalidateArea(moved, false);
        InvalidateArea(FCaretRect, false);
        SetState(sfCaretChanged, true);
        PlaceCaret();
    }
    // A transient overlay follows the text; repaint so that it is drawn where it now belongs.
    if (OnPaintTransient)
        InvalidateArea(area, false);
}

void TCustomSrcEdit::ScrollCaretIntoViewEx(bool centre)
{
    // why: a hidden window has no size yet to scroll by; the scroll waits until it is shown.
    if (!isVisible() || FCharsInWindow <= 0 || FVisibleLineCount <= 0) {
        FScrollCaretPending = true;
        FScrollCaretCentred = FScrollCaretCentred || centre;
        return;
    }
    FScrollCaretPending = false;
    FScrollCaretCentred = false;
    WithPaintLock([&] {
        const TDisplayPoint p = CaretDisplayPoint();
        const int x = p.DisplayColumn;
        if (x < FFirstVisibleColumn)
            SetFirstVisibleChar(x);
        else if (x >= FFirstVisibleColumn + FCharsInWindow)
            SetFirstVisibleChar(x - FCharsInWindow + 1);
        else
            SetFirstVisibleChar(FFirstVisibleColumn);
        const int y = p.DisplayRow;
        const int f = FFirstVisibleRow;
        const int h = FVisibleLineCount;
        if (centre) {
            if (y < f - 1)
                SetFirstVisibleLine(y - h / 2 < 0 ? 1 : y - h / 2 + 1);
            else if (y > f + h - 2)
                SetFirstVisibleLine(y - (h - 1) + h / 2);
        } else if (y < f) {
            SetFirstVisibleLine(y);
        } else if (y > f + std::max(1, h) - 1) {
            SetFirstVisibleLine(y - h + 1);
        } else {
            SetFirstVisibleLine(f);
        }
    });
}

// ---- scroll bars

namespace {

// Sets a bar to show positions 1..highest with `page` items visible.
void SetBar(QScrollBar* bar, int highest, int page, int position)
{
    bar->setRange(1, std::max(1, highest));
    bar->setPageStep(std::max(1, page));
    bar->setSingleStep(1);
    bar->setValue(position);
}

Qt::ScrollBarPolicy Policy(bool show)
{
    return show ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
}

} // namespace

void TCustomSrcEdit::RefreshScrollBars()
{
    if (FUpdatingScrollBars) {
        FScrollBarsAgain = true;
        return;
    }
    if (!HandleAllocated() || FPaintLock > 0) {
        SetState(sfScrollbarChanged, true);
        return;
    }
    SetState(sfScrollbarChanged, false);
    FUpdatingScrollBars = true;
    // why: showing or hiding a bar resizes the client area, which asks for the bars again.
    for (int round = 0; round < 3; ++round) {
        FScrollBarsAgain = false;
        const bool horizontalWanted =
            (FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth) && !FWordWrapPlugin;
        if (horizontalWanted) {
            const int range =
                FOptions.Contains(eoScrollPastEol) ? FMaxScrollWidth : std::max(FLines->LongestLineLength(), 1);
            const bool fits = FCharsInWindow >= range;
            QScrollBar* bar = horizontalScrollBar();
            const QSignalBlocker block(bar);
            SetBar(bar, range - FCharsInWindow + 1, FCharsInWindow, FFirstVisibleColumn);
            // Without eoHideShowScrollbars a bar that has nothing to scroll stays, disabled.
            bar->setEnabled(!fits);
            const Qt::ScrollBarPolicy policy = Policy(!(FOptions.Contains(eoHideShowScrollbars) && fits));
            if (horizontalScrollBarPolicy() != policy)
                setHorizontalScrollBarPolicy(policy);
        } else if (horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff) {
            setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
        const bool verticalWanted = FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth;
        if (verticalWanted) {
            int range = DisplayRowCount();
            if (FOptions.Contains(eoScrollPastEof))
                range += FVisibleLineCount - 1;
            const bool fits = FVisibleLineCount >= range;
            QScrollBar* bar = verticalScrollBar();
            const QSignalBlocker block(bar);
            SetBar(bar, range - FVisibleLineCount + 1, FVisibleLineCount, FFirstVisibleRow);
            bar->setEnabled(!fits);
            const Qt::ScrollBarPolicy policy = Policy(!(FOptions.Contains(eoHideShowScrollbars) && fits));
            if (verticalScrollBarPolicy() != policy)
                setVerticalScrollBarPolicy(policy);
        } else if (verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff) {
            setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
        if (!FScrollBarsAgain)
            break;
    }
    FUpdatingScrollBars = false;
}

void TCustomSrcEdit::ConnectScrollBars()
{
    QObject::connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
                     [this](int value) { ScrollBarMoved(TScrollBarKind::sbVertical, value); });
    QObject::connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(),
                     [this](int value) { ScrollBarMoved(TScrollBarKind::sbHorizontal, value); });
}

// The seam for the scroll-bar messages: until the mouse work brings WM_HSCROLL and WM_VSCROLL
// with thumb tracking and the scroll hint, a moved bar (or Qt's own wheel handling) scrolls the
// view to the bar's position.
void TCustomSrcEdit::ScrollBarMoved(TScrollBarKind kind, int position)
{
    if (FUpdatingScrollBars)
        return;
    if (kind == TScrollBarKind::sbVertical)
        SetFirstVisibleLine(position);
    else
        SetFirstVisibleChar(position);
    if (OnScroll)
        OnScroll(this, kind);
}
