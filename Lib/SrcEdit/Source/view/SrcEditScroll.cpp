// The editor's view: the first visible row and column, scrolling the caret into view, the
// scroll bars with their messages and the scroll hint.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditScopes.h"

#include "Platform/controls/ScrollCodes.h"
#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>
#include <climits>
#include <cmath>
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

namespace {

// WM_HSCROLL and WM_VSCROLL carry a scroll code in the low word of WParam and the thumb
// position in the bits above it.
WPARAM ScrollWParam(int code, int position)
{
    return static_cast<WPARAM>(code) | (static_cast<WPARAM>(static_cast<unsigned>(position)) << 16);
}

// The one scroll-hint window of the process: made on first use, gone with the last editor that
// used it.
std::shared_ptr<QLabel> SharedScrollHintWindow()
{
    static std::weak_ptr<QLabel> shared;
    std::shared_ptr<QLabel> window = shared.lock();
    if (!window) {
        window = std::make_shared<QLabel>(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
        window->setMargin(2);
        window->setFrameShape(QFrame::Box);
        window->setAutoFillBackground(true);
        window->setMaximumWidth(200);
        shared = window;
    }
    return window;
}

} // namespace

void TCustomSrcEdit::ConnectScrollBars()
{
    const auto connect = [this](QScrollBar* bar, TScrollBarKind kind) {
        QObject::connect(bar, &QAbstractSlider::actionTriggered, viewport(),
                         [this, kind](int action) { ScrollBarAction(kind, action); });
        QObject::connect(bar, &QAbstractSlider::sliderReleased, viewport(), [this, kind] {
            Perform(kind == TScrollBarKind::sbVertical ? WM_VSCROLL : WM_HSCROLL, ScrollWParam(SB_ENDSCROLL, 0));
        });
    };
    connect(verticalScrollBar(), TScrollBarKind::sbVertical);
    connect(horizontalScrollBar(), TScrollBarKind::sbHorizontal);
}

// A scroll bar's action becomes the scroll-bar message the system would send for it.
void TCustomSrcEdit::ScrollBarAction(TScrollBarKind kind, int action)
{
    if (FUpdatingScrollBars)
        return;
    const QScrollBar* bar = kind == TScrollBarKind::sbVertical ? verticalScrollBar() : horizontalScrollBar();
    const UINT msg = kind == TScrollBarKind::sbVertical ? WM_VSCROLL : WM_HSCROLL;
    int code;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    case QAbstractSlider::SliderMove: code = bar->isSliderDown() ? SB_THUMBTRACK : SB_THUMBPOSITION; break;
    default: return;
    }
    Perform(msg, ScrollWParam(code, bar->sliderPosition()));
    // why: a thumb moved without being held (the wheel over the bar) ends at once, as a released
    // thumb does.
    if (code == SB_THUMBPOSITION)
        Perform(msg, ScrollWParam(SB_ENDSCROLL, 0));
}

void TCustomSrcEdit::HandleHorizontalScroll(int code, int position)
{
    const int page = FOptions.Contains(eoScrollByOneLess) ? FCharsInWindow - 1 : FCharsInWindow;
    switch (code) {
    case SB_LINEUP: SetFirstVisibleChar(FFirstVisibleColumn - 1); break;
    case SB_LINEDOWN: SetFirstVisibleChar(FFirstVisibleColumn + 1); break;
    case SB_PAGEUP: SetFirstVisibleChar(FFirstVisibleColumn - page); break;
    case SB_PAGEDOWN: SetFirstVisibleChar(FFirstVisibleColumn + page); break;
    case SB_TOP: SetFirstVisibleChar(1); break;
    case SB_BOTTOM:
        SetFirstVisibleChar(FOptions.Contains(eoScrollPastEol) ? FMaxScrollWidth - FCharsInWindow + 1
                                                               : FLines->LongestLineLength());
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        FThumbTracking = true;
        SetFirstVisibleChar(position);
        break;
    case SB_ENDSCROLL: FThumbTracking = false; break;
    default: break;
    }
    if (OnScroll)
        OnScroll(this, TScrollBarKind::sbHorizontal);
}

void TCustomSrcEdit::HandleVerticalScroll(int code, int position)
{
    const int page = FOptions.Contains(eoScrollByOneLess) ? FVisibleLineCount - 1 : FVisibleLineCount;
    switch (code) {
    case SB_LINEUP: SetFirstVisibleLine(FFirstVisibleRow - 1); break;
    case SB_LINEDOWN: SetFirstVisibleLine(FFirstVisibleRow + 1); break;
    case SB_PAGEUP: SetFirstVisibleLine(FFirstVisibleRow - page); break;
    case SB_PAGEDOWN: SetFirstVisibleLine(FFirstVisibleRow + page); break;
    case SB_TOP: SetFirstVisibleLine(1); break;
    case SB_BOTTOM: SetFirstVisibleLine(DisplayRowCount()); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        FThumbTracking = true;
        SetFirstVisibleLine(position);
        if (FOptions.Contains(eoShowScrollHint))
            ShowScrollHint();
        break;
    case SB_ENDSCROLL:
        FThumbTracking = false;
        if (FOptions.Contains(eoShowScrollHint))
            HideScrollHint();
        break;
    default: break;
    }
    Update();
    if (OnScroll)
        OnScroll(this, TScrollBarKind::sbVertical);
}

// ---- scroll hint

void TCustomSrcEdit::ShowScrollHint()
{
    if (!FScrollHint)
        FScrollHint = SharedScrollHintWindow();
    QLabel& hint = *FScrollHint;
    QPalette palette = hint.palette();
    palette.setColor(QPalette::Window, ToQColor(FScrollHintColor));
    palette.setColor(QPalette::WindowText, ToQColor(clInfoText));
    hint.setPalette(palette);
    std::string text;
    if (FScrollHintFormat == TScrollHintFormat::shfTopToBottom) {
        const int below = std::min(FVisibleLineCount, DisplayRowCount() - FFirstVisibleRow);
        text = Format("%d - %d", {RowToLine(FFirstVisibleRow), RowToLine(FFirstVisibleRow + below)});
    } else {
        text = Format("Top Line: %d", {RowToLine(FFirstVisibleRow)});
    }
    hint.setText(QStr(text.substr(0, 255)));
    hint.adjustSize();
    const int width = hint.width();
    const int height = hint.height();
    int y = 10;
    if (FOptions.Contains(eoScrollHintFollows)) {
        const QScrollBar* bar = verticalScrollBar();
        const int arrow = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bar);
        const int maximum = std::max(bar->maximum(), 1);
        y = arrow +
            static_cast<int>(std::lround(static_cast<double>(ClientHeight() - 2 * arrow) * bar->sliderPosition() /
                                         maximum)) +
            height / 2;
    }
    const TPoint at = ClientToScreen({ClientWidth() - width - 4, y});
    hint.move(at.X, at.Y);
    hint.show();
    hint.repaint();
}

void TCustomSrcEdit::HideScrollHint()
{
    if (FScrollHint)
        FScrollHint->hide();
}
