#pragma once
// TCodeEdit: the small plain-text editor that shows each side of the compare window. It keeps
// its own line store (every line with a background colour, a margin number and a modified
// mark) and undo list, and paints fixed-pitch text beside a line-number gutter; no syntax
// colouring, no word wrap.
//
// Text is UTF-8 bytes. A column is a byte index into its line that always lies on a character
// boundary; on screen a tab takes 4 cells, an East Asian wide character 2, anything else 1.
// Offsets (selection anchor, caret) count bytes and 2 for every line break.

#include "compare/CodeEditorLines.h"
#include "compare/CodeEditorUndo.h"

#include "Platform/controls/Control.h"
#include "Platform/graphics/Graphics.h"

#include <QAbstractScrollArea>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

// (Sender, file name, accepted): a file dropped on the control.
using TDropFilesEvent = std::function<void(TObject* Sender, const std::string& FileName, bool& DropAccepted)>;
// (Sender, canvas, margin rectangle, row number counted from 1, the line's LineNumber).
using TPaintMargin = std::function<void(TObject* Sender, TCanvas& Canvas, const TRect& MarginRec, int LineNo, int Tag)>;

class TCodeEdit : public TQtScrollControl<QAbstractScrollArea> {
public:
    static constexpr TColor DefaultModifiedLineColor = 14737632; // E0E0E0
    static constexpr int TextMargin = 4;
    static constexpr int UpperMargin = 4;
    static constexpr int TabWidth = 4;

    explicit TCodeEdit(TComponent* AOwner, QWidget* parent = nullptr);
    ~TCodeEdit() override;

    TLines& Lines() { return *FLines; }
    const TLines& Lines() const { return *FLines; }

    // Setting the colour also recolours every line that had the old one.
    void SetColor(TColor color);
    TColor ModifiedLineColor() const { return FModifiedLineColor; }
    void SetModifiedLineColor(TColor color);
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& font);
    bool AutoLineNum() const { return FAutoLineNum; }
    void SetAutoLineNum(bool value);
    int GutterWidth() const { return FGutterWidth; }
    void SetGutterWidth(int width);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool value) { FWantTabs = value; }

    int CharWidth() const { return FCharWidth; }
    int LineHeight() const { return FLineHeight; }

    // ---- editing
    void Undo();
    void Redo();
    bool CanUndo() const { return FUndo.CanUndo(); }
    bool CanRedo() const { return FUndo.CanRedo(); }
    const TUndo& UndoList() const { return FUndo; }
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void DeleteSelection();
    // The selected text, lines joined by CR LF.
    std::string GetSelText() const;
    // Puts `text` (line breaks CR LF, LF or CR) in place of the selection, as one undo step.
    void InsertText(const std::string& text);
    // Codes 7 (delete forward), 8 (backspace), 9, 13 and characters from 32 on (as UTF-8).
    void TypeChar(char32_t code);
    void SelectAll();

    // ---- caret, selection and scrolling
    int SelStart() const { return std::min(FAnchor, FCaretOffset); }
    int SelLength() const { return std::abs(FCaretOffset - FAnchor); }
    // Collapses the selection at `offset`.
    void SetSelStart(int offset);
    // Extends the selection from its start by `length`; the caret goes to its end.
    void SetSelLength(int length);
    // Also the column that Up and Down keep.
    void SetCaretPoint(int column, int row);
    int CaretCol() const { return FCaretCol; }
    int CaretRow() const { return FCaretRow; }
    int CaretOffset() const { return FCaretOffset; }
    int AnchorOffset() const { return FAnchor; }
    void ScrollCaretIntoView();
    int FirstRow() const { return FFirstRow; }
    void SetFirstRow(int row);
    int LeftCol() const { return FLeftCol; }
    void SetLeftCol(int column);
    // Whole rows and columns that fit.
    int VisibleRows() const { return FVisibleRows; }
    int VisibleCols() const { return FVisibleCols; }
    // How often the line count is halved for the vertical scroll bar.
    int VScrollShift() const { return FVScrollShift; }
    int LongestLine() const { return FLongestLine; }

    int PointToOffset(int column, int row) const;
    TPoint OffsetToPoint(int offset) const;
    // The row under a client y, and the column nearest a client x on `row`.
    int RowAt(int y) const;
    int ColumnAt(int x, int row) const;
    // Screen cell of a column on a row.
    int DisplayColumn(int row, int column) const;

    TDropFilesEvent OnDropFiles;
    TPaintMargin OnPaintLeftMargin;
    TNotifyEvent OnScroll;
    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnCaretPtChange;

protected:
    void WndProc(TMessage& message) override;
    void Paint() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
    void Resize() override;
    LRESULT NativeDialogCode() const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class TLines;
    // Called by the line store.
    void LineMeasured(const std::string& text);
    void LinesCleared();
    void LinesChanged();
    void ClearUndo() { FUndo.Clear(); }

    void MeasureFont();
    void UpdateScrollBars();
    void ScrollBarAction(bool vertical, int action);
    // Sets the first row or the left column (`position`) and tells OnScroll.
    void ScrollTo(int& position, int value);
    int MaxFirstRow() const;
    int MaxLeftCol() const;
    int TextLeft() const { return FGutterWidth + TextMargin; }
    void AutoGutterWidth();

    // Replaces the text between two offsets with `text` (CR LF breaks) and records one step.
    void ReplaceRange(int from, int to, const std::string& text, TUndoKind kind, bool replaces = false);
    // The raw changes under every edit; they record nothing.
    void RemoveText(int from, int to);
    void PutText(int offset, const std::string& text);
    std::string TextRange(int from, int to) const;
    void ApplyUndoStep(const TUndoItem& step, bool undo);
    void RunUndoList(bool undo);
    void DeleteSelectionAsStep();

    // Moves the caret to an offset, keeping the anchor when extending.
    void MoveCaretTo(int column, int row, bool extend);
    void SetSelection(int anchor, int caret);
    void CaretMoved();
    void KeyMove(WORD key, TShiftState shift);

    void PaintRow(TCanvas& canvas, int row, int y);
    TRect CaretRect() const;
    void BlinkCaret();

    std::unique_ptr<TLines> FLines;
    TUndo FUndo;
    TFont FFont;
    TColor FModifiedLineColor = DefaultModifiedLineColor;
    bool FAutoLineNum = true;
    int FGutterWidth = 20;
    bool FReadOnly = false;
    bool FWantTabs = false;

    int FCharWidth = 8;
    int FLineHeight = 16;
    int FFirstRow = 0;
    int FLeftCol = 0;
    int FVisibleRows = 1;
    int FVisibleCols = 1;
    int FLongestLine = 60;
    int FVScrollShift = 0;
    bool FUpdatingBars = false;

    int FCaretCol = 0;
    int FCaretRow = 0;
    int FRememberedCol = 0;
    int FAnchor = 0;
    int FCaretOffset = 0;

    enum class TMouseMode { mmNone, mmSelecting, mmDragging };
    TMouseMode FMouseMode = TMouseMode::mmNone;
    bool FCaretShown = true;
    QTimer FCaretTimer;
};
