#pragma once
// TSrcBaseCompletionProposalForm: the borderless pop-up window of a completion component. As a
// list (ctCode) it shows the proposals that match the text typed so far, scrolls, may be
// resized by the user and takes the keys of its editor; as a tip (ctHint, ctParams) it lists
// all its lines, for ctParams with the current parameter in bold, while the editor keeps the
// keys. It knows nothing of what the items mean: accepting, cancelling and typing into the
// editor are done by the handlers its component installs.
//
// The window never takes the focus or the activation: the editor keeps both, so the main
// window's caption stays active, and while a list is shown the keys the editor receives are
// handed to the list (an event filter on the editor).

#include "SrcEdit/Source/completion/SrcEditCompletionTypes.h"
#include "SrcEdit/Source/completion/SrcEditPrettyText.h"
#include "SrcEdit/Source/commands/SrcEditKeyCmds.h"
#include "SrcEdit/Source/text/SrcEditTypes.h"

#include "Platform/controls/Control.h"
#include "Platform/text/Strings.h"

#include <string>
#include <vector>

class QScrollBar;
class TCustomSrcEdit;

class TSrcBaseCompletionProposalForm : public TCustomControl {
public:
    explicit TSrcBaseCompletionProposalForm(TComponent* AOwner);
    ~TSrcBaseCompletionProposalForm() override;

    // ---- the lists
    TStringList& ItemList() { return FItemList; }
    const TStringList& ItemList() const { return FItemList; }
    // Copies the items; the displayed lines follow, filtered by CurrentString.
    void SetItemList(const TStrings& items);
    TStringList& InsertList() { return FInsertList; }
    const TStringList& InsertList() const { return FInsertList; }
    void SetInsertList(const TStrings& items) { FInsertList.Assign(items); }
    // The displayed lines: every item, or with LimitToMatchedText the matching ones.
    int AssignedCount() const { return static_cast<int>(FAssigned.size()); }
    std::string AssignedText(int line) const;
    // The displayed lines become a copy of ItemList.
    void AssignAllItems();
    // The ItemList index of displayed line `line` (the line itself without LimitToMatchedText).
    int LogicalIndex(int line) const;

    // ---- typing and selection
    const std::string& CurrentString() const { return FCurrentString; }
    // A list filters (LimitToMatchedText) or moves its selection to the first match.
    void SetCurrentString(const std::string& text);
    int Position() const { return FPosition; }
    void SetPosition(int line);
    void MoveLine(int delta);
    // True when item `index` of ItemList starts with CurrentString.
    bool Matches(int index) const;

    // ---- appearance
    SrcCompletionType DisplayType() const { return FDisplayType; }
    void SetDisplayType(SrcCompletionType type);
    int NbLinesInWindow() const { return FNbLinesInWindow; }
    void SetNbLinesInWindow(int lines);
    int CurrentIndex = 0; // ctParams: the parameter shown in bold
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& title);
    TFont& Font() { return FFont; }
    TFont& TitleFont() { return FTitleFont; }
    TColor ClSelect = clHighlight;
    TColor ClSelectedText = clHighlightText;
    TColor ClBackground = clWindow;
    TColor ClTitleBackground = clBtnFace;
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int height);
    int Margin = 2;
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* images);
    TProposalColumns& Columns() { return FColumns; }
    bool Resizeable() const { return FResizeable; }
    void SetResizeable(bool value);

    // The component's options, copied in.
    bool AnsiStrings = false;
    bool CaseSensitive = false;
    bool LimitToMatchedText = false;
    bool UsePrettyText = false;
    bool TitleIsCentered = false;
    bool UseInsertList = false;
    bool CompleteWithTab = false;
    bool CompleteWithEnter = false;
    // Characters that accept the selection when typed into a list.
    TSrcCharSet EndOfTokenChars;

    // The editor served.
    TCustomSrcEdit* CurrentEditor() const { return FCurrentEditor; }
    void SetCurrentEditor(TCustomSrcEdit* editor);

    // ---- metrics
    int TitleHeight() const { return FTitleHeight; }
    int LineHeight() const { return FLineHeight; }
    // The width of the drawn frame on each side.
    int FrameSize() const;
    // The first displayed line that is visible.
    int TopLine() const { return FTopLine; }

    // ---- showing
    // Sizes and places the window for its display type at the screen point (x, y) below the
    // caret line; `editorLineHeight` moves it above that line when it would leave the screen.
    void PlaceAt(int x, int y, int listWidth, int editorLineHeight);
    // Shows the window without taking the focus or the activation.
    void ShowPopup();
    void HidePopup();
    bool PopupVisible() const;
    // Recomputes the scroll bar's range and position.
    void AdjustScrollBar();
    void SetScrollBarVisible(bool visible);

    // ---- keys handed over by the editor while a list is shown
    // True when the key was one of the list's own.
    bool HandleKeyDown(WORD key, TShiftState shift);
    void HandleKeyPress(char32_t key, TShiftState shift);

    // ---- handlers of the component (Sender: the component)
    std::function<void(TObject* Sender, TShiftState Shift, char32_t EndToken)> OnAccept;
    std::function<void(TObject* Sender)> OnCancel;
    std::function<void(TObject* Sender, char32_t& Key)> OnKeyPressHandler;
    TCompletionChange OnChange;
    TCompletionPaintItem OnPaintItem;
    TCompletionMeasureItem OnMeasureItem;
    // The window became visible, or hid.
    std::function<void()> OnShowWindow;
    std::function<void()> OnHideWindow;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
    void Resize() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void RecalcMetrics();
    // Places the scroll bar beside the list; the number of lines stays.
    void LayoutScrollBar();
    void Refilter();
    void FireChange();
    TObject* Sender() { return Owner() ? static_cast<TObject*>(Owner()) : this; }
    // The rectangle of the list (client coordinates, inside the frame, below the title).
    TRect ListRect() const;
    int ScrollBarWidth() const;
    void ScrollTo(int topLine);
    void ScrollBarMoved(int value);
    void PaintList();
    void PaintTip();
    void PaintFrame();
    // The width of the widest tip line, before the component's OnMeasureItem.
    int TipLineWidth(int index);
    // Edges of a resize that a press at (x, y) starts: bits 1 left, 2 top, 4 right, 8 bottom.
    int ResizeEdgesAt(int x, int y) const;
    void ResizeTo(TPoint globalPointer);
    void InstallEditorFilter();
    void RemoveEditorFilter();
    void DropLastCharacter();

    TStringList FItemList;
    TStringList FInsertList;
    std::vector<int> FAssigned;
    std::string FCurrentString;
    int FPosition = 0;
    int FTopLine = 0;
    int FNbLinesInWindow = 8;
    SrcCompletionType FDisplayType = SrcCompletionType::ctCode;
    std::string FTitle;
    TFont FFont;
    TFont FTitleFont;
    int FItemHeight = 0;
    TCustomImageList* FImages = nullptr;
    int FImagesLink = 0;
    TProposalColumns FColumns;
    bool FResizeable = true;
    TCustomSrcEdit* FCurrentEditor = nullptr;
    // While a list is shown: the editor, whose keys it takes, and the editor's client area,
    // where a click ends it.
    QWidget* FFilteredWidget = nullptr;
    QWidget* FFilteredViewport = nullptr;
    QScrollBar* FScrollBar = nullptr;
    bool FScrollBarShown = true;
    int FTitleHeight = 0;
    int FLineHeight = 0;
    int FWheelRemainder = 0;
    // A resize by the user: the edges dragged, the pointer and the geometry where it began.
    int FResizeEdges = 0;
    TPoint FResizeStart;
    QRect FResizeGeometry;
};
