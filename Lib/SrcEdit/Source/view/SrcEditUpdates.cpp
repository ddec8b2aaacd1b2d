// The editor's deferred updates: the paint lock and status reports, the line-store
// notifications with their range rescans, the highlighter, the font and window metrics, the
// gutter width and the Options writer.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditScopes.h"

#include <QFontInfo>
#include <algorithm>
#include <climits>

// ---- paint lock and status

void TCustomSrcEdit::UnlockPainting()
{
    if (FPaintLock <= 0)
        throw EAssertionFailed("Assertion failure");
    --FPaintLock;
    if (FPaintLock > 0 || !HandleAllocated())
        return;
    if (State(sfScrollbarChanged))
        RefreshScrollBars();
    if (FWordWrapPlugin && (FStatusChanges.Contains(scCaretX) || FStatusChanges.Contains(scCaretY))) {
        const TDisplayPoint vp = CaretDisplayPoint();
        if (FCharsInWindow > 0 && vp.DisplayColumn > FCharsInWindow + 1) {
            if (FCaretAtEdgeOfRow) {
                FCaretAtEdgeOfRow = false;
            } else {
                FCaret.CharIndex = DisplayPointToBuffer(MakeDisplayPoint(FCharsInWindow + 1, vp.DisplayRow)).CharIndex;
                FStatusChanges.Include(scCaretX);
            }
            RememberCaretColumn();
            SetState(sfCaretChanged, true);
        }
    }
    if (State(sfCaretChanged))
        PlaceCaret();
    if (!FStatusChanges.Empty())
        FireStatusChange();
}

void TCustomSrcEdit::AbandonPaintLock()
{
    if (FPaintLock > 0)
        --FPaintLock;
}

void TCustomSrcEdit::NoteStatusChange(TSrcStatusChanges changes)
{
    FStatusChanges += changes;
    if (FPaintLock == 0)
        FireStatusChange();
}

// ---- line-store notifications

void TCustomSrcEdit::HandleLinesChanging()
{
    SetState(sfLinesChanging, true);
}

void TCustomSrcEdit::AfterLinesChanged()
{
    SetState(sfLinesChanging, false);
    if (!HandleAllocated())
        return;
    RefreshScrollBars();
    const TSrcSelectionMode mode = FActiveSelectionMode;
    SetSelectionStart(FCaret);
    FActiveSelectionMode = mode;
    if (!FInvalidateRect.IsEmpty()) {
        const TRect r = FInvalidateRect;
        FInvalidateRect = {};
        InvalidateArea(r, false);
    }
    if (FGutter->ShowLineNumbers() && FGutter->AutoSize())
        FGutter->UpdateDigitCount(LineCount());
    if (!FOptions.Contains(eoScrollPastEof))
        SetFirstVisibleLine(FFirstVisibleRow);
}

void TCustomSrcEdit::HandleLinesCleared()
{
    if (FWordWrapPlugin)
        FWordWrapPlugin->Rewrap();
    ClearUndoHistory();
    FInvalidateRect = {};
    InvalidateClient();
    SetCaretCoord(MakeBufferCoord(1, 1));
    SetFirstVisibleLine(1);
    SetFirstVisibleChar(1);
    FStatusChanges.Include(scAll);
}

void TCustomSrcEdit::HandleLinesDeleted(int index, int count)
{
    if (FHighlighter && LineCount() > 0)
        RescanRangesFrom(index);
    if (FWordWrapPlugin)
        FWordWrapPlugin->LinesRemoved(index, count);
    InvalidateTextRows(index + 1, INT_MAX);
    InvalidateGutterRows(index + 1, INT_MAX);
}

void TCustomSrcEdit::HandleLinesInserted(int index, int count)
{
    if (FHighlighter && LineCount() > 0) {
        // invariant: every inserted line is scanned, even when a range inside the block comes
        // out as it was stored.
        int i = index;
        do
            i = RescanRangesFrom(i) + 1;
        while (i < index + count);
    }
    if (FWordWrapPlugin)
        FWordWrapPlugin->LinesAdded(index, count);
    InvalidateTextRows(index + 1, INT_MAX);
    InvalidateGutterRows(index + 1, INT_MAX);
    if (FOptions.Contains(eoAutoSizeMaxScrollWidth))
        GrowMaxScrollWidthTo(index);
}

void TCustomSrcEdit::HandleLinePut(int index, int count)
{
    const int first = index + 1;
    int last = first;
    if (FWordWrapPlugin && FWordWrapPlugin->LinesReplaced(index, count) != 0) {
        last = INT_MAX;
        InvalidateGutterRows(first, last);
    }
    if (FHighlighter)
        last = std::max(last, RescanRangesFrom(index) + 1);
    InvalidateTextRows(first, last);
    if (FOptions.Contains(eoAutoSizeMaxScrollWidth))
        GrowMaxScrollWidthTo(index);
}

void TCustomSrcEdit::GrowMaxScrollWidthTo(int index)
{
    const int length = FLines->ExpandedLineLength(index);
    if (length > FMaxScrollWidth)
        SetMaxScrollWidth(length);
}

// ---- range rescans

int TCustomSrcEdit::RescanRangesFrom(int index)
{
    const int count = LineCount();
    if (index >= count || !FHighlighter)
        return index;
    if (index == 0)
        FHighlighter->ClearRange();
    else
        FHighlighter->RestoreRange(static_cast<TSrcRange>(FLines->LineRange(index - 1)));
    for (int i = index; i < count; ++i) {
        const std::string text = FLines->Get(i);
        FHighlighter->StartLine(text, i);
        FHighlighter->SkipToLineEnd();
        const auto range = static_cast<std::intptr_t>(FHighlighter->CurrentRange());
        if (FLines->LineRange(i) == range)
            return i;
        FLines->SetLineRange(i, range);
    }
    return count - 1;
}

void TCustomSrcEdit::RescanAllRanges()
{
    if (!FHighlighter || LineCount() == 0)
        return;
    FHighlighter->ClearRange();
    for (int i = 0; i < LineCount(); ++i) {
        const std::string text = FLines->Get(i);
        FHighlighter->StartLine(text, i);
        FHighlighter->SkipToLineEnd();
        FLines->SetLineRange(i, static_cast<std::intptr_t>(FHighlighter->CurrentRange()));
    }
}

// ---- highlighter

void TCustomSrcEdit::SetHighlighter(TSrcCustomHighlighter* value)
{
    if (value == FHighlighter)
        return;
    const auto hook = MakeMethod(this, &TCustomSrcEdit::HighlighterChanged);
    if (FHighlighter) {
        FHighlighter->RemoveAttriChangeHook(hook);
        RemoveFreeNotification(FHighlighter);
    }
    if (value) {
        value->AddAttriChangeHook(hook);
        FreeNotification(value);
    }
    FHighlighter = value;
    if (!State(sfDestroying))
        HighlighterChanged(value);
}

void TCustomSrcEdit::HighlighterChanged(TObject* sender)
{
    UpdateFontMetrics();
    if (sender && dynamic_cast<TSrcCustomHighlighter*>(sender)) {
        WithLinesUpdate(*FLines, [&] {
            RescanAllRanges();
        });
    } else {
        InvalidateClient();
    }
    RecalcWindowMetrics(true);
}

// ---- metrics

void TCustomSrcEdit::UpdateFontMetrics()
{
    // Bit 0: bold, bit 1: italic; the combinations of the styles in use.
    bool used[4] = {};
    auto note = [&](TFontStyles style) {
        used[(style.Contains(fsBold) ? 1 : 0) | (style.Contains(fsItalic) ? 2 : 0)] = true;
    };
    if (FHighlighter && FHighlighter->AttriCount() > 0) {
        for (int i = 0; i < FHighlighter->AttriCount(); ++i)
            if (const TSrcHighlighterAttributes* attr = FHighlighter->AttriByIndex(i))
                note(attr->Style());
    } else {
        note(FFont.Style());
    }
    FLineHeight = 0;
    FCharWidth = 0;
    FTextDrawer->SetBaseFont(&FFont);
    const TFontStyles combos[4] = {{}, {fsBold}, {fsItalic}, {fsBold, fsItalic}};
    for (int i = 0; i < 4; ++i) {
        if (!used[i])
            continue;
        FTextDrawer->SetBaseStyle(combos[i]);
        FLineHeight = std::max(FLineHeight, FTextDrawer->CharHeight());
        FCharWidth = std::max(FCharWidth, FTextDrawer->CharWidth());
    }
    FLineHeight += FExtraLineSpacing;
}

void TCustomSrcEdit::SetFont(const TFont& value)
{
    const QFontInfo info(value.ToQFont());
    if (!info.fixedPitch()) {
        // why: the editor paints on a fixed grid; a proportional font is asked for as fixed pitch.
        FFontDummy.SetColor(value.Color());
        FFontDummy.SetHeight(value.Height());
        FFontDummy.SetStyle(value.Style());
        FFontDummy.SetName(value.Name());
        FFontDummy.SetPitch(TFontPitch::fpFixed);
        FFont.Assign(FFontDummy);
    } else {
        FFont.Assign(value);
    }
    if (FGutter->ShowLineNumbers())
        HandleGutterChange();
}

void TCustomSrcEdit::HandleFontChange()
{
    UpdateFontMetrics();
    RecalcWindowMetrics(true);
}

void TCustomSrcEdit::RecalcWindowMetrics(bool fontChanged)
{
    if (!HandleAllocated() || FCharWidth == 0)
        return;
    FCharsInWindow = std::max(ClientWidth() - FGutterWidth - 2, 0) / FCharWidth;
    FVisibleLineCount = FLineHeight > 0 ? ClientHeight() / FLineHeight : 0;
    if (FWordWrapPlugin) {
        FWordWrapPlugin->WidthChanged();
        InvalidateClient();
    }
    if (fontChanged) {
        if (FGutter->ShowLineNumbers())
            HandleGutterChange();
        else
            RefreshScrollBars();
        CreateCaretShape();
        SetState(sfCaretChanged, false);
        InvalidateClient();
    } else {
        RefreshScrollBars();
    }
    SetState(sfScrollbarChanged, false);
    if (!FOptions.Contains(eoScrollPastEol))
        SetFirstVisibleChar(FFirstVisibleColumn);
    if (!FOptions.Contains(eoScrollPastEof))
        SetFirstVisibleLine(FFirstVisibleRow);
}

// ---- gutter

void TCustomSrcEdit::HandleGutterChange()
{
    if (ComponentState().Contains(csLoading))
        return;
    if (FGutter->ShowLineNumbers() && FGutter->AutoSize())
        FGutter->UpdateDigitCount(LineCount());
    const int width = FGutter->PixelWidth(FCharWidth);
    if (width == FGutterWidth)
        InvalidateWholeGutter();
    else
        SetGutterWidth(width);
}

void TCustomSrcEdit::SetGutterWidth(int width)
{
    width = std::max(width, 0);
    FGutterWidth = width;
    FTextOffset = width - (FFirstVisibleColumn - 1) * FCharWidth + 2;
    if (!HandleAllocated())
        return;
    if (FCharWidth > 0)
        FCharsInWindow = std::max(ClientWidth() - FGutterWidth - 2, 0) / FCharWidth;
    if (FWordWrapPlugin)
        FWordWrapPlugin->WidthChanged();
    RefreshScrollBars();
    InvalidateClient();
}

// ---- options

void TCustomSrcEdit::SetOptions(TSrcEditorOptions value)
{
    if (value == FOptions)
        return;
    if (!FOptions.Contains(eoScrollPastEol))
        SetFirstVisibleChar(FFirstVisibleColumn);
    if (!FOptions.Contains(eoScrollPastEof))
        SetFirstVisibleLine(FFirstVisibleRow);
    const TSrcEditorOptions scrollOptions{eoDisableScrollArrows, eoHideShowScrollbars, eoScrollPastEof,
                                          eoScrollPastEol};
    const bool scrollChanged = (FOptions * scrollOptions) != (value * scrollOptions);
    const bool specialChanged = FOptions.Contains(eoShowSpecialChars) != value.Contains(eoShowSpecialChars);
    FOptions = value;
    MoveCaret(FCaret);
    if (value.Contains(eoScrollPastEol)) {
        const TBufferCoord start = GetSelectionStart();
        const TBufferCoord end = GetSelectionEnd();
        SetSelectionStart(start);
        SetSelectionEnd(end);
    }
    // eoDropFiles needs no registration: a drag of files is taken or refused when it enters.
    if (specialChanged) {
        FShowSpecialChars = value.Contains(eoShowSpecialChars);
        InvalidateClient();
    }
    if (scrollChanged)
        RefreshScrollBars();
}
