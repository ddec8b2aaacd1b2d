#pragma once
// The editor control: TCustomSrcEdit shows the lines of a line store through an optional
// highlighter with a gutter, a caret and a selection in three modes, turns keys into commands,
// edits, keeps marks with the text and undoes and redoes every change. TSrcEdit publishes it.
//
// The implementation is split by concern: SrcEdit.cpp (construction, properties, events,
// messages), SrcEditUpdates.cpp (paint lock, line-store notifications, metrics), SrcEditScroll.cpp
// (view and scroll bars), SrcEditCaret.cpp (coordinates, caret, selection), SrcEditWords.cpp
// (words, tokens, brackets), SrcEditMarks.cpp, SrcEditInsert.cpp (insertion primitives),
// SrcEditPaint.cpp, SrcEditCommands.cpp (keys and dispatch), SrcEditEditing.cpp and
// SrcEditIndent.cpp (editing commands), SrcEditUndoRedo.cpp, SrcEditMouse.cpp (clicks, selecting
// with the mouse, auto-scroll, wheel, cursor), SrcEditDragDrop.cpp, SrcEditClipboard.cpp and
// SrcEditSearchReplace.cpp.
//
// Positions are 1-based TBufferCoord (byte index in the line, line); the caret never stops
// inside a UTF-8 sequence. Display columns count tabs expanded and wide characters as two.

#include "SrcEdit/Source/view/SrcEditControlTypes.h"
#include "SrcEdit/Source/view/SrcEditGlyph.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"
#include "SrcEdit/Source/commands/SrcEditKbdHandler.h"
#include "SrcEdit/Source/commands/SrcEditKeyCmds.h"
#include "SrcEdit/Source/commands/SrcEditKeyStream.h"
#include "SrcEdit/Source/view/SrcEditMarks.h"
#include "SrcEdit/Source/view/SrcEditOptions.h"
#include "SrcEdit/Source/search/SrcEditSearchCustom.h"
#include "SrcEdit/Source/text/SrcEditStringList.h"
#include "SrcEdit/Source/view/SrcEditTextDrawer.h"
#include "SrcEdit/Source/text/SrcEditUndo.h"
#include "SrcEdit/Source/text/SrcEditWordWrap.h"

#include "Platform/controls/Control.h"

#include <QAbstractScrollArea>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QMimeData;

class TCustomSrcEdit : public TQtScrollControl<QAbstractScrollArea>, public ISrcWordWrapOwner {
public:
    explicit TCustomSrcEdit(TComponent* AOwner = nullptr, QWidget* parent = nullptr);
    ~TCustomSrcEdit() override;

    // ---- properties (published by TSrcEdit)
    TColor ActiveLineColor() const { return FActiveLineColor; }
    void SetActiveLineColor(TColor value);
    TSrcBookMarkOpt& BookMarkOptions() { return *FBookMarkOpt; }
    void SetBookMarkOptions(const TSrcBookMarkOpt& value) { FBookMarkOpt->Assign(value); }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    int ExtraLineSpacing() const { return FExtraLineSpacing; }
    void SetExtraLineSpacing(int value);
    TSrcGutter& Gutter() { return *FGutter; }
    const TSrcGutter& Gutter() const { return *FGutter; }
    void SetGutter(const TSrcGutter& value) { FGutter->Assign(value); }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool value);
    TSrcCustomHighlighter* Highlighter() const { return FHighlighter; }
    void SetHighlighter(TSrcCustomHighlighter* value);
    TSrcEditCaretType InsertCaret() const { return FInsertCaret; }
    void SetInsertCaret(TSrcEditCaretType value);
    bool InsertMode() const { return FInsertMode; }
    void SetInsertMode(bool value);
    TSrcEditKeyStrokes& Keystrokes() { return *FKeystrokes; }
    // Null clears every binding; otherwise the bindings are copied.
    void SetKeystrokes(const TSrcEditKeyStrokes* value);
    // The bindings as a form stream keeps them: "RemovedKeystrokes" and "AddedKeystrokes", the
    // differences from `reference` (the ancestor form's editor, or a fresh default set when
    // null). Nothing is written when there is no difference; returns whether anything was.
    bool WriteKeystrokeDeltas(TStream& stream, const TSrcEditKeyStrokes* reference = nullptr) const;
    // Applies the two properties, when they come next in the stream, to the current bindings.
    void ReadKeystrokeDeltas(TStream& stream) { ReadKeystrokeProperties(stream, *FKeystrokes); }
    TSrcEditStringList& Lines() { return *FLines; }
    const TSrcEditStringList& Lines() const { return *FLines; }
    void SetLines(const TStrings& value) { FLines->Assign(value); }
    int MaxScrollWidth() const { return FMaxScrollWidth; }
    void SetMaxScrollWidth(int value);
    int MaxUndo() const { return FUndoList->MaxEntries(); }
    void SetMaxUndo(int value);
    TSrcEditorOptions Options() const { return FOptions; }
    void SetOptions(TSrcEditorOptions value);
    TSrcEditCaretType OverwriteCaret() const { return FOverwriteCaret; }
    void SetOverwriteCaret(TSrcEditCaretType value);
    bool ReadOnly() const { return GetReadOnly(); }
    int RightEdge() const { return FRightEdge; }
    void SetRightEdge(int value);
    TColor RightEdgeColor() const { return FRightEdgeColor; }
    void SetRightEdgeColor(TColor value);
    TColor ScrollHintColor() const { return FScrollHintColor; }
    void SetScrollHintColor(TColor value) { FScrollHintColor = value; }
    TScrollHintFormat ScrollHintFormat() const { return FScrollHintFormat; }
    void SetScrollHintFormat(TScrollHintFormat value) { FScrollHintFormat = value; }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    TSrcEditSearchCustom* SearchEngine() const { return FSearchEngine; }
    void SetSearchEngine(TSrcEditSearchCustom* value);
    TSrcSelectedColor& SelectedColor() { return *FSelectedColor; }
    void SetSelectedColor(const TSrcSelectedColor& value) { FSelectedColor->Assign(value); }
    TSrcSelectionMode SelectionMode() const { return FSelectionMode; }
    void SetSelectionMode(TSrcSelectionMode value);
    int TabWidth() const override { return FTabWidth; }
    void SetTabWidth(int value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool value) { FWantReturns = value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool value) { FWantTabs = value; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    TSrcGlyph& WordWrapGlyph() { return *FWordWrapGlyph; }
    void SetWordWrapGlyph(const TSrcGlyph& value) { FWordWrapGlyph->Assign(value); }
    // The font the text is drawn in; a proportional font is replaced by a fixed-pitch one of the
    // same name, size, style and colour.
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& value);

    // ---- view state
    int CaretChar() const { return FCaret.CharIndex; }
    int CaretLine() const { return FCaret.LineNumber; }
    int CharsInWindow() const override { return FCharsInWindow; }
    int CharWidth() const { return FCharWidth; }
    int LineHeight() const { return FLineHeight; }
    int VisibleLineCount() const { return FVisibleLineCount; }
    // The first visible display row and column (1-based).
    int FirstVisibleRow() const { return FFirstVisibleRow; }
    int FirstVisibleColumn() const { return FFirstVisibleColumn; }
    int GutterWidth() const { return FGutterWidth; }
    // x of display column 1 in client coordinates.
    int TextOffset() const { return FTextOffset; }
    TSrcSelectionMode ActiveSelectionMode() const { return FActiveSelectionMode; }
    TBufferCoord BlockBegin() const { return FBlockBegin; }
    TBufferCoord BlockEnd() const { return FBlockEnd; }
    int PaintLockCount() const { return FPaintLock; }

    // ---- text access
    std::string GetAllText() const { return FLines->Text(); }
    void SetAllText(std::string_view text) { FLines->SetText(text); }
    std::string GetCaretLineText() const;
    void SetCaretLineText(const std::string& text);
    bool ContentModified() const { return FModified; }
    void SetContentModified(bool value);
    // Empties text, marks, undo and redo and clears the modified flag.
    void ResetContents();
    // The highlighter's identifier characters, or #33..#255 without one.
    TSrcCharSet GetIdentifierChars() const override;
    const TSrcEditStringList& LineStore() const override { return *FLines; }

    // ---- caret and selection (SrcEditCaret.cpp)
    TBufferCoord GetCaretCoord() const { return FCaret; }
    virtual void MoveCaretEx(bool scroll, TBufferCoord p);
    virtual void MoveCaret(TBufferCoord p) { MoveCaretEx(true, p); }
    virtual void SetCaretCoord(TBufferCoord p);
    void SetCaretChar(int c) { SetCaretCoord(MakeBufferCoord(c, FCaret.LineNumber)); }
    void MoveCaretToChar(int c) { MoveCaret(MakeBufferCoord(c, FCaret.LineNumber)); }
    void MoveCaretToLine(int l) { MoveCaret(MakeBufferCoord(FCaret.CharIndex, l)); }
    bool HasSelection() const;
    TBufferCoord GetSelectionStart() const;
    TBufferCoord GetSelectionEnd() const;
    void SetSelectionStart(TBufferCoord p);
    void SetSelectionEnd(TBufferCoord p);
    void SetActiveSelectionMode(TSrcSelectionMode mode);
    void SelectAllText();
    void SelectWordAt(TBufferCoord p);
    void SelectWordAtCaret() { SelectWordAt(FCaret); }
    std::string GetSelectedText() const;
    TDisplayPoint BufferToDisplayPoint(TBufferCoord p) const;
    TBufferCoord DisplayPointToBuffer(TDisplayPoint d) const;
    TPoint DisplayPointToClient(TDisplayPoint d) const;
    TDisplayPoint ClientToDisplayPoint(int x, int y) const;
    TDisplayPoint ClientToNearestDisplayPoint(int x, int y) const;
    int DisplayRowCount() const;
    int LineToRow(int line) const;
    int RowToLine(int row) const;
    TDisplayPoint CaretDisplayPoint() const;
    int CaretDisplayColumn() const { return CaretDisplayPoint().DisplayColumn; }
    int CaretDisplayRow() const { return CaretDisplayPoint().DisplayRow; }
    bool IsCaretVisible() const;
    void PlaceCaretAtClient(int x, int y);
    void PlaceCaretAtDisplayPoint(TDisplayPoint d);
    void MoveCaretHorizontally(int dx, bool selecting);
    void MoveCaretVertically(int dy, bool selecting);
    void MoveCaretAndSelect(TBufferCoord anchor, TBufferCoord p, bool selecting);
    void PlaceCaretAndSelection(TBufferCoord caret, TBufferCoord blockBegin, TBufferCoord blockEnd);
    // Keeps the caret although the control has no focus (the completion pop-up sets it).
    void SetShowCaretUnfocused(bool flag);
    bool ShowCaretUnfocused() const { return FShowCaretUnfocused; }
    // The client rectangle of the caret as it is drawn; empty while it is hidden.
    TRect CaretRect() const { return FCaretShown ? FCaretRect : TRect{}; }

    // ---- view (SrcEditScroll.cpp)
    void SetFirstVisibleLine(int row);
    void SetFirstVisibleChar(int column);
    void ScrollCaretIntoView() { ScrollCaretIntoViewEx(false); }
    void ScrollCaretIntoViewEx(bool centre);
    // Shows, hides and sets the scroll bars; only marks the refresh as pending while painting
    // is locked.
    void RefreshScrollBars();
    // True while the thumb of a scroll bar is being dragged.
    bool ThumbTracking() const { return FThumbTracking; }

    // ---- mouse (SrcEditMouse.cpp)
    // The cursor over the text (crIBeam unless changed).
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor value);
    // True when P lies inside the selection as the active selection mode shapes it.
    bool PositionInSelection(TBufferCoord p) const;
    // Chooses the cursor for the last pointer position the editor saw.
    virtual void UpdateMouseCursor();
    bool MouseCaptured() const { return FMouseCaptured; }

    // ---- clipboard (SrcEditClipboard.cpp)
    void CopySelectionToClipboard();
    void CutSelectionToClipboard();
    void PasteClipboard();
    bool PasteAvailable() const;
    // Raises ESrcEditError "Clipboard copy operation failed" when there is no clipboard.
    void PutTextOnClipboard(const std::string& text);

    // ---- search and replace (SrcEditSearchReplace.cpp)
    // The number of occurrences found in range (replaced or skipped). Raises ESrcEditError "No
    // search engine has been assigned" without an engine; errors of the engine propagate after
    // the paint lock and the undo block are released. On a read-only editor a replacement is
    // refused: nothing changes and 0 is returned.
    int FindAndReplace(const std::string& search, const std::string& replace, TSrcEditSearchFlags options);

    // ---- words, tokens and brackets (SrcEditWords.cpp)
    virtual TBufferCoord NextWordStartAtCaret() { return NextWordStartFrom(FCaret); }
    virtual TBufferCoord NextWordStartFrom(TBufferCoord p);
    virtual TBufferCoord WordBeginAtCaret() { return WordBeginFrom(FCaret); }
    virtual TBufferCoord WordBeginFrom(TBufferCoord p);
    virtual TBufferCoord WordFinishAtCaret() { return WordFinishFrom(FCaret); }
    virtual TBufferCoord WordFinishFrom(TBufferCoord p);
    virtual TBufferCoord PreviousWordStartAtCaret() { return PreviousWordStartFrom(FCaret); }
    virtual TBufferCoord PreviousWordStartFrom(TBufferCoord p);
    std::string GetWordAtPos(TBufferCoord p) const;
    std::string GetWordAtCaret();
    bool GetTokenAtPos(TBufferCoord p, std::string& token, TSrcHighlighterAttributes*& attri) const;
    bool GetTokenInfoAtPos(TBufferCoord p, std::string& token, TSrcHighlighterAttributes*& attri, int& start,
                           int& kind) const;
    // (0, 0) when there is no matching bracket.
    virtual TBufferCoord MatchingBracketAt(TBufferCoord p) const;
    virtual TBufferCoord MatchingBracketOfCaret() const { return MatchingBracketAt(FCaret); }
    virtual void JumpToMatchingBracket();

    // ---- repaint (SrcEditPaint.cpp)
    void RepaintLine(int line);
    virtual void InvalidateArea(const TRect& rect, bool erase);
    void InvalidateTextRows(int first, int last);
    void InvalidateGutterRows(int first, int last);
    void InvalidateWholeGutter() { InvalidateGutterRows(-1, -1); }
    void InvalidateSelectionRows();
    // The whole client area, through InvalidateArea.
    void InvalidateClient() { InvalidateArea(ClientRect(), false); }

    // ---- commands (SrcEditCommands.cpp)
    virtual void DispatchCommand(TSrcEditorCommand command, char32_t aChar, void* data);
    virtual void ExecuteEditorCommand(TSrcEditorCommand command, char32_t aChar, void* data);
    TSrcEditorCommand LookupKeyCommand(WORD key, TShiftState shift);
    // A handler without code is ignored; a handler already hooked is not added twice.
    void HookCommandHandler(const THookedCommandEvent& handler, void* handlerData);
    void UnhookCommandHandler(const THookedCommandEvent& handler);

    // ---- marks (SrcEditMarks.cpp)
    TSrcEditMarkList& MarkList() { return *FMarkList; }
    TSrcEditMark* Bookmark(int number) const;
    void PlaceBookmark(int number, int charIndex, int line);
    void RemoveBookmark(int number);
    void JumpToBookmark(int number);
    // Moves marks below an insertion or deletion of Count lines at line First.
    void AdjustMarksForInsertedLines(int first, int count);
    void AdjustMarksForDeletedLines(int first, int count);

    // ---- text insertion (SrcEditInsert.cpp)
    void SetSelectedText(const std::string& text);
    void DeleteSelectedText();
    void PutSelectionText(const std::string& text) { InsertBlockText(FActiveSelectionMode, text, true); }
    void InsertBlockText(TSrcSelectionMode mode, const std::string& text, bool addToUndo);
    void InsertColumnBlock(TBufferCoord at, TBufferCoord blockEnd, bool addToUndo, const std::string& text);
    // Writes line Index (0-based), without trailing blanks with eoTrimTrailingSpaces.
    void StoreLine(int index, std::string text);

    // ---- undo (SrcEditUndoRedo.cpp)
    void UndoLastChange();
    void RedoLastChange();
    bool UndoAvailable() const;
    bool RedoAvailable() const;
    void ClearUndoHistory();
    void BeginUndoBlock() { FUndoList->OpenBlock(); }
    void EndUndoBlock() { FUndoList->CloseBlock(); }
    void SuspendUndoRecording();
    void ResumeUndoRecording();
    TSrcEditUndoList& UndoList() { return *FUndoList; }
    TSrcEditUndoList& RedoList() { return *FRedoList; }

    // ---- deferred updates (SrcEditUpdates.cpp)
    void LockPainting() { ++FPaintLock; }
    // Raises EAssertionFailed "Assertion failure" when painting is not locked.
    void UnlockPainting();

    // ---- handler chains and focus
    void AddKeyDownHandler(const TSrcKeyEventMethod& h) { FKbdHandler->AddKeyDownHandler(h); }
    void RemoveKeyDownHandler(const TSrcKeyEventMethod& h) { FKbdHandler->RemoveKeyDownHandler(h); }
    void AddKeyUpHandler(const TSrcKeyEventMethod& h) { FKbdHandler->AddKeyUpHandler(h); }
    void RemoveKeyUpHandler(const TSrcKeyEventMethod& h) { FKbdHandler->RemoveKeyUpHandler(h); }
    void AddKeyPressHandler(const TSrcKeyPressEventMethod& h) { FKbdHandler->AddKeyPressHandler(h); }
    void RemoveKeyPressHandler(const TSrcKeyPressEventMethod& h) { FKbdHandler->RemoveKeyPressHandler(h); }
    void AddMouseDownHandler(const TSrcMouseEventMethod& h) { FKbdHandler->AddMouseDownHandler(h); }
    void RemoveMouseDownHandler(const TSrcMouseEventMethod& h) { FKbdHandler->RemoveMouseDownHandler(h); }
    void AddMouseUpHandler(const TSrcMouseEventMethod& h) { FKbdHandler->AddMouseUpHandler(h); }
    void RemoveMouseUpHandler(const TSrcMouseEventMethod& h) { FKbdHandler->RemoveMouseUpHandler(h); }
    void AddMouseCursorHandler(const TSrcMouseCursorEventMethod& h) { FKbdHandler->AddMouseCursorHandler(h); }
    void RemoveMouseCursorHandler(const TSrcMouseCursorEventMethod& h) { FKbdHandler->RemoveMouseCursorHandler(h); }
    void AddFocusControl(TWinControlCore* control);
    void RemoveFocusControl(TWinControlCore* control);
    // Gives the focus to the newest focus control, else to the editor.
    void SetFocus();

    // ---- events
    TNotifyEvent OnChange;
    TSrcPlaceMarkEvent OnClearBookmark;
    TSrcProcessCommandEvent OnCommandProcessed;
    TSrcContextHelpEvent OnContextHelp;
    TSrcDropFilesEvent OnDropFiles;
    TSrcGutterClickEvent OnGutterClick;
    TSrcGutterGetTextEvent OnGutterGetText;
    TSrcGutterPaintEvent OnGutterPaint;
    TSrcMouseCursorEvent OnMouseCursor;
    TSrcPaintEvent OnPaint;
    TSrcPlaceMarkEvent OnPlaceBookmark;
    TSrcProcessCommandEvent OnProcessCommand;
    TSrcProcessCommandEvent OnProcessUserCommand;
    TSrcReplaceTextEvent OnReplaceText;
    TSrcScrollEvent OnScroll;
    TSrcSpecialLineColorsEvent OnSpecialLineColors;
    TSrcStatusChangeEvent OnStatusChange;
    TSrcPaintTransientEvent OnPaintTransient;

    // ---- event firing (overridable)
    virtual void FireChange();
    virtual void FireClearBookmark(TSrcEditMark*& mark);
    virtual void FireCommandProcessed(TSrcEditorCommand& command, char32_t& aChar, void* data);
    virtual void FireGutterClick(TMouseButton button, int x, int y);
    virtual void FirePaint();
    virtual void FirePaintTransientLocked(TTransientType type, bool lock);
    virtual void FirePaintTransient(TTransientType type) { FirePaintTransientLocked(type, false); }
    virtual void FirePlaceBookmark(TSrcEditMark*& mark);
    virtual void FireProcessCommand(TSrcEditorCommand& command, char32_t& aChar, void* data);
    virtual TSrcReplaceAction FireReplaceText(const std::string& search, const std::string& replace, int line,
                                              int column);
    virtual bool FireSpecialLineColors(int line, TColor& fg, TColor& bg);
    virtual void FireStatusChange();

    virtual bool GetReadOnly() const { return FReadOnly; }
    virtual void SetReadOnly(bool value);
    virtual void LoadDefaultKeystrokes() { FKeystrokes->ResetToDefaults(); }

    void Loaded() override;
    // Mouse messages end here: the editor answers them all itself.
    void DefaultHandler(TMessage& message) override;

protected:
    void WndProc(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyUp(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    void Paint() override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void DblClick() override;

    // Drag and drop (SrcEditDragDrop.cpp). Qt's drag events of the client area arrive here and
    // become DragOver and DragDrop with the editor the drag comes from, or WM_DROPFILES.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Accept: whether a drop here would be taken; Shift: the keys held.
    virtual void DragOver(TCustomSrcEdit* source, int x, int y, TDragState state, TShiftState shift, bool& accept);
    virtual void DragDrop(TCustomSrcEdit* source, int x, int y, TShiftState shift);
    // Runs the platform's drag of the selected text with `data` and returns when it has ended;
    // the target editor does the drop.
    virtual void ExecuteDrag(std::unique_ptr<QMimeData> data);

    virtual void AfterLinesChanged();
    virtual void NotifyCommandHooks(bool afterProcessing, TSrcEditorCommand& command, char32_t& aChar, void* data);
    virtual void DrawGutter(const TRect& rect, int firstRow, int lastRow);
    virtual void DrawTextLines(const TRect& rect, int firstRow, int lastRow, int firstCol, int lastCol);

private:
    friend class TSrcEditMark;
    friend class TRowPainter;

    struct THookedCommandHandlerEntry {
        THookedCommandEvent Handler;
        void* Data;
    };
    enum TStateFlag { sfCaretChanged, sfScrollbarChanged, sfLinesChanging, sfIgnoreNextChar, sfInsideRedo,
                      sfInPaint, sfHandleAllocated, sfDestroying, sfDblClicked, sfPossibleGutterClick,
                      sfWaitForDragging };

    // SrcEdit.cpp
    bool State(TStateFlag flag) const { return FState.Contains(flag); }
    void SetState(TStateFlag flag, bool on)
    {
        if (on)
            FState.Include(flag);
        else
            FState.Exclude(flag);
    }
    bool HandleAllocated() const { return State(sfHandleAllocated); }
    int LineCount() const { return FLines->Count(); }
    // The text of a 1-based line ("" outside the store).
    std::string LineText(int line) const { return FLines->Get(line - 1); }
    int LineLength(int line) const;
    void HandleSelectedColorChange();
    void HandleBookmarkOptChange();
    void HandleMarkListChange();
    void HandleWordWrapGlyphChange();
    void HandleFocusGained();
    void HandleFocusLost();
    void ApplyBorderStyle();

    // SrcEditUpdates.cpp
    void AbandonPaintLock();
    template <class F>
    void WithPaintLock(F&& body);
    void NoteStatusChange(TSrcStatusChanges changes);
    void HandleLinesChanging();
    void HandleLinesCleared();
    void HandleLinesDeleted(int index, int count);
    void HandleLinesInserted(int index, int count);
    void HandleLinePut(int index, int count);
    int RescanRangesFrom(int index);
    void RescanAllRanges();
    void HighlighterChanged(TObject* sender);
    void UpdateFontMetrics();
    void HandleFontChange();
    void RecalcWindowMetrics(bool fontChanged);
    void HandleGutterChange();
    void SetGutterWidth(int width);
    void GrowMaxScrollWidthTo(int index);

    // SrcEditScroll.cpp
    void ScrollClientBy(int dx, int dy, const TRect& area);
    void ConnectScrollBars();
    void ScrollBarAction(TScrollBarKind kind, int action);
    void HandleHorizontalScroll(int code, int position);
    void HandleVerticalScroll(int code, int position);
    void ShowScrollHint();
    void HideScrollHint();

    // SrcEditMouse.cpp
    void SetMouseCapture(bool on);
    void UpdateAutoScroll(int x, int y);
    void StopAutoScroll();
    void AutoScrollTick();
    void HandleMouseWheel(TMessage& message);
    TBufferCoord BufferPositionAt(int x, int y) const;

    // SrcEditDragDrop.cpp
    void BeginTextDrag();
    void HandleDropFiles(const TSrcDroppedFiles& files);

    // SrcEditClipboard.cpp
    void RecordPaste(TSrcSelectionMode mode, TBufferCoord start);

    // SrcEditCaret.cpp
    void RememberCaretColumn();
    void CreateCaretShape();
    void PlaceCaret();
    void HideCaret();
    void CaretBlinkTick();
    TBufferCoord ClampSelectionPoint(TBufferCoord p) const;
    TDisplayPoint LineColumnToRow(int column, int line) const;

    // SrcEditMarks.cpp
    TSrcInternalImage& InternalBookmarkImage();

    // SrcEditInsert.cpp
    // With addToUndo, what trimming takes from a line of a column selection beyond the deleted
    // characters is recorded after them (the caller records the deletion first).
    void DeleteSelectionByMode(TBufferCoord bb, TBufferCoord be, bool addToUndo);
    int InsertNormalText(const std::string& text, TBufferCoord& caret);
    int InsertLineText(const std::string& text, TBufferCoord& caret);
    int InsertColumnText(const std::string& text, bool addToUndo, TBufferCoord& caret);
    // The selection's text as the undo list must keep it: in column mode without the blanks
    // that pad short lines, so that undoing a deletion puts back exactly what was removed.
    std::string SelectedTextForUndo() const;
    void RecordInsertion(TBufferCoord start, TBufferCoord end, const std::string& replaced);
    void RecordSelectionDeletion();
    // The selection begin..end (in either order) about to be deleted, widened as its record must be.
    void WidenSelectionDeletion(TBufferCoord& begin, TBufferCoord& end, std::string& text) const;
    // The normal-mode selection from..to (from first) about to be deleted, as its record must
    // cover it: from a position within its line, and with the blanks and tabs that trimming the
    // joined line will take on either side of it; `text` grows by what is added.
    void WidenDeletionRecord(TBufferCoord& from, TBufferCoord& to, std::string& text) const;
    // After line `lineNumber`, which held `original`, was stored without bytes [from, to)
    // (0-based): the range widened to all that the line lost, trimming included when that is
    // next to the deletion, and the text of that range.
    std::string WidenStoredDeletion(const std::string& original, int lineNumber, int& from, int& to) const;
    // An insertion recorded from `start` that trimming shortened the text before: the record
    // starts where the stored line ends and carries the blanks and tabs it lost as replaced.
    void WidenInsertionRecord(TBufferCoord& start, std::string& replaced);
    // Before an edit that leaves `tail`, the end of line `lineNumber` as it stands, at the end of
    // a line it stores: when trimming will take blanks and tabs from it that its own text keeps
    // apart from the edit, their deletion is recorded here, in the edit's step and undone after it.
    // An insertion's record never takes blanks after it: with `blankTail`, a tail of blanks only
    // is recorded too.
    void RecordTrimmedTail(int lineNumber, std::string_view tail, bool blankTail = false);
    // RecordTrimmedTail for what follows the normal selection about to be deleted.
    void RecordTrimmedSelectionTail();
    // After `inserted` bytes went in at byte `at` (0-based) of line `lineNumber`, which held
    // `before`, and the line was stored: the text around them that trimming took, when it lies
    // next to them; `at` moves back to where the stored line ends when that is before it.
    std::string TrimmedAroundInsertion(const std::string& before, int lineNumber, int& at, size_t inserted) const;
    template <class F>
    void WithUndoBlock(F&& body);
    template <class F>
    void WithPastEolMode(F&& body);
    // Runs `body` with eoTrimTrailingSpaces switched off (and back on afterwards when it was on).
    template <class F>
    void WithoutTrailingTrim(F&& body);

    // SrcEditPaint.cpp
    int ColumnToX(int column) const { return (column - 1) * FCharWidth + FTextOffset; }
    TColor EditorBackground(int line) const;

    // SrcEditCommands.cpp
    void MoveCaretToLineStart(bool selecting);
    void MoveCaretToLineEnd(bool selecting);
    void ExecuteMovementCommand(TSrcEditorCommand command, void* data);
    void ToggleBookmarkCommand(int number, void* data);

    // SrcEditEditing.cpp
    void InsertCharAtCaret(char32_t aChar);
    void InsertImeString(const std::string& text);
    void DeleteLastChar();
    void DeleteCharAtCaret();
    void DeleteWordOrToEol(TSrcEditorCommand command);
    void DeleteLastWordOrToBol(TSrcEditorCommand command);
    void DeleteCaretLine();
    void InsertLineBreak(bool moveCaret);
    int LeadingBlankCount(std::string_view text, bool tabWeighted) const;
    std::string IndentString(int width, bool allowTabs) const;
    void ScrollAfterTyping();
    int FillCaretLine();
    void DeleteSelectionRecorded();
    // Records text typed at the caret (no selection) for undo.
    void RecordTyping(TBufferCoord start, TBufferCoord end, const std::string& replaced);

    // SrcEditIndent.cpp
    void InsertTabAtCaret();
    void RemoveTabAtCaret();
    void IndentBlock();
    void UnindentBlock();
    bool TabIndentsSelection() const;
    void ChangeCase(TSrcEditorCommand command);

    // SrcEditUndoRedo.cpp
    void HandleUndoItemAdded(TObject* list);
    void SyncModifiedFlag();
    void RevertUndoItem(const TSrcEditUndoItem& item);
    void ReplayRedoItem(const TSrcEditUndoItem& item);
    void ExchangeCaretOrSelection(const TSrcEditUndoItem& item, TSrcEditUndoList& inverse);
    void SelectRange(TBufferCoord anchor, TBufferCoord freeEnd, TBufferCoord caret);

    // Owned objects.
    std::unique_ptr<TSrcEditStringList> FLines;
    std::unique_ptr<TSrcEditUndoList> FUndoList;
    std::unique_ptr<TSrcEditUndoList> FRedoList;
    TFont FFontDummy; // the fixed-pitch substitute
    TFont FFont;
    std::unique_ptr<TSrcSelectedColor> FSelectedColor;
    std::unique_ptr<TSrcBookMarkOpt> FBookMarkOpt;
    std::unique_ptr<TSrcGutter> FGutter;
    std::unique_ptr<TSrcGlyph> FWordWrapGlyph;
    std::unique_ptr<TheTextDrawer> FTextDrawer;
    std::unique_ptr<TSrcEditKbdHandler> FKbdHandler;
    std::unique_ptr<TSrcEditKeyStrokes> FKeystrokes;
    std::unique_ptr<TSrcEditMarkList> FMarkList;
    std::unique_ptr<TSrcInternalImage> FInternalImage;
    std::unique_ptr<TSrcWordWrapPlugin> FWordWrapPlugin;
    std::vector<TWinControlCore*> FFocusList;
    std::vector<THookedCommandHandlerEntry> FHookedCommandHandlers;
    std::array<TSrcEditMark*, 10> FBookmarks{};
    TSrcCustomHighlighter* FHighlighter = nullptr;
    TSrcEditSearchCustom* FSearchEngine = nullptr;

    // Caret and selection.
    TBufferCoord FBlockBegin;
    TBufferCoord FBlockEnd;
    TBufferCoord FCaret;
    int FLastCaretColumn = 1;
    bool FCaretAtEdgeOfRow = false;
    TSrcSelectionMode FActiveSelectionMode = TSrcSelectionMode::smNormal;
    TSrcSelectionMode FSelectionMode = TSrcSelectionMode::smNormal;
    // What storing the first line of the last stream insertion trimmed from the text before the
    // insertion point, and where the stored line ends; line 0 when nothing was.
    std::string FTrimmedBeforeInsertion;
    TBufferCoord FTrimmedInsertionStart{0, 0};
    // Where the last text inserted by InsertBlockText went in (after the selection was deleted).
    TBufferCoord FInsertedAt;

    // Metrics and view.
    int FCharsInWindow = 0;
    int FCharWidth = 0;
    int FLineHeight = 0;
    int FVisibleLineCount = 0;
    int FFirstVisibleColumn = 1;
    int FFirstVisibleRow = 1;
    int FGutterWidth = 0;
    int FTextOffset = 0;

    // Updates.
    int FPaintLock = 0;
    TSrcStatusChanges FStatusChanges;
    TSet<TStateFlag> FState;
    TRect FInvalidateRect;
    int FTransientNesting = 0;
    bool FUpdatingScrollBars = false;
    bool FScrollBarsAgain = false;
    bool FScrollCaretPending = false;
    bool FScrollCaretCentred = false;

    // Mouse: the last left-button press on a selection, the last pointer position, the auto-scroll
    // deltas per timer tick and whether the timer runs, the wheel delta not yet scrolled.
    TPoint FMouseDownPoint;
    TPoint FPointer;
    bool FMouseCaptured = false;
    bool FDragging = false;
    int FScrollDeltaX = 0;
    int FScrollDeltaY = 0;
    bool FAutoScrollTimerOn = false;
    int FWheelRemainder = 0;
    bool FThumbTracking = false;
    TCursor FCursor = crIBeam;
    // The scroll hint window, shared by every editor of the process; held from first use.
    std::shared_ptr<QLabel> FScrollHint;

    // Key translation.
    WORD FLastKey = 0;
    TShiftState FLastShiftState;

    // The drawn caret: its rectangle, whether it is shown, the blink phase and its shape.
    TRect FCaretRect;
    bool FCaretShown = false;
    bool FCaretBlinkOn = true;
    TSize FCaretSize;
    TPoint FCaretOffset;
    TRect FPaintRect;

    // Properties.
    TColor FActiveLineColor = clNone;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    int FExtraLineSpacing = 0;
    bool FHideSelection = false;
    TSrcEditCaretType FInsertCaret = TSrcEditCaretType::ctVerticalLine;
    TSrcEditCaretType FOverwriteCaret = TSrcEditCaretType::ctBlock;
    bool FInsertMode = true;
    int FMaxScrollWidth = 1024;
    TSrcEditorOptions FOptions;
    bool FModified = false;
    bool FReadOnly = false;
    bool FShowCaretUnfocused = false;
    bool FShowSpecialChars = false;
    int FRightEdge = 80;
    TColor FRightEdgeColor = clSilver;
    TColor FScrollHintColor = clInfoBk;
    TScrollHintFormat FScrollHintFormat = TScrollHintFormat::shfTopLineOnly;
    TScrollStyle FScrollBars = TScrollStyle::ssBoth;
    int FTabWidth = 8;
    bool FWantReturns = true;
    bool FWantTabs = false;
    bool FWordWrap = false;
};

// The editor as forms place it: the published face of TCustomSrcEdit, with no behaviour of its own.
class TSrcEdit : public TCustomSrcEdit {
public:
    using TCustomSrcEdit::TCustomSrcEdit;
};

// The timer that makes the caret blink.
constexpr std::uintptr_t SrcEditCaretTimer = 1;
// The 100 ms timer that scrolls while a selection or a drag is outside the text area.
constexpr std::uintptr_t SrcEditScrollTimer = 2;
