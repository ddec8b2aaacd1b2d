#pragma once
// TExListBox: the platform list box with its own item drawing (selected and disabled colours,
// alignment, word-wrapped items of variable height, a focus rectangle), a tiled or stretched
// background picture, a horizontal scroll range kept at the widest item, its own sorting and
// scroll-bar settings, reordering by drag and drop, moving selected items up and down, events
// for added and deleted strings and for scrolling, hot tracking, and an optional data provider
// whose rows it shows instead of its own strings.

#include "ExLib/run/controls/ExExStdCtrls.h"
#include "ExLib/run/data/ExDataViewList.h"
#include "ExLib/run/lists/ExListItems.h"
#include "ExLib/run/lists/ExOwnerDraw.h"

#include "Platform/controls/ControlFont.h"
#include "Platform/controls/ScrollCodes.h"

#include <QImage>
#include <memory>

class TExCustomListBox;

enum class TExListboxFillMode { bfmTile, bfmStretch };
enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
enum class TDragMode { dmManual, dmAutomatic };

struct TWMScroll {
    int ScrollCode = 0;
    int Pos = 0;
};

using TExListBoxDataEvent = std::function<void(TWinControlCore* Sender, int Index, std::string& Text)>;
using TExListboxChange = std::function<void(TObject* Sender, const std::string& Item)>;
using TExScrollEvent = std::function<void(TObject* Sender, const TWMScroll& Msg, bool& DontScroll)>;

// The picture behind a list box's items.
class TExListBoxBackground : public TPersistent {
public:
    const QImage& Image() const { return FImage; }
    // Copies the picture; every write reports a change.
    void SetImage(const QImage& image);
    TExListboxFillMode FillMode() const { return FFillMode; }
    void SetFillMode(TExListboxFillMode value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    // Whether there is a picture to draw.
    bool DoDraw() const { return FVisible && !FImage.isNull(); }
    void Assign(const TPersistent& source) override;

    TNotifyEvent OnChange;

private:
    void Changed();
    QImage FImage;
    TExListboxFillMode FFillMode = TExListboxFillMode::bfmTile;
    bool FVisible = false;
};

// The items of a list box; writes keep each item's selection and object, and go through the
// list box's messages so that it can watch them.
class TExListBoxStrings : public TExListItems {
public:
    explicit TExListBoxStrings(TExCustomListBox& listBox) : FListBox(listBox) {}
    // The index where the window put the string (a sorted list sorts it in).
    int Add(const std::string& s) override;
    // Keeps the item's object.
    void Move(int curIndex, int newIndex) override;

protected:
    int WindowCount() const override;
    std::string WindowGet(int index) const override;
    TObject* WindowObject(int index) const override;
    void WindowPutObject(int index, TObject* object) override;
    void WindowPut(int index, const std::string& s) override;
    int WindowInsert(int index, const std::string& s) override;
    void WindowDelete(int index) override;
    void WindowClear() override;
    int WindowIndexOf(const std::string& s) const override;
    void DetachProvider() override;
    void SetUpdateState(bool updating) override;

private:
    TStrings& Window() const;
    TExCustomListBox& FListBox;
};

class TExCustomListBox : public TExExCustomListBox {
public:
    explicit TExCustomListBox(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExCustomListBox() override;

    // The list box's own item list (the platform list is reached only through it).
    TExListBoxStrings& Items() { return *FItems; }
    TFont& Font() { return FFont.Font(); }

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool value);
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor value);
    TColor SelectedTextColor() const { return FSelectedTextColor; }
    void SetSelectedTextColor(TColor value);
    TColor DisabledTextColor() const { return FDisabledTextColor; }
    void SetDisabledTextColor(TColor value);
    bool ShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool value);
    TExListBoxBackground& Background() { return FBackground; }
    void SetBackground(const TExListBoxBackground& background) { FBackground.Assign(background); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool value);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle value);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool value);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool value);
    bool Selected(int index) const;
    void SetSelected(int index, bool value);
    int SelCount() const;
    TDragMode DragMode = TDragMode::dmManual;
    TExDataConsumer& Provider() { return *FConsumer; }
    bool ProviderMode() const { return FProviderMode; }

    // The widest item, which is the horizontal scroll range.
    int MaxWidth() const { return FMaxWidth; }
    int LeftPosition() const { return FLeftPosition; }
    int DragIndex() const { return FDragIndex; }
    // The strings shown: the provider's rows in provider mode, else the items.
    TStrings& ItemsShowing();

    virtual void MoveSelectedUp();
    virtual void MoveSelectedDown();
    virtual void DeleteSelected();
    virtual void SelectAll();

    // The built-in drag and drop (points in client coordinates): start with the selected item,
    // accept a drag over the list (scrolling near its edges), drop the dragged item there.
    virtual bool DefaultStartDrag();
    virtual bool DefaultDragOver(TObject* source, TPoint point);
    virtual void DefaultDragDrop(TObject* source, TPoint point);
    // The picture that follows the mouse while an item is dragged.
    const QImage& DragImage() const { return FDragImage; }

    // The width and height of `s` measured for an item (width plus 4; height from ItemHeight to 255).
    TSize MeasureString(const std::string& s, int maxWidth);
    void RecalcHorizontalExtent();
    // The item at a client point, -1 below the last item.
    int ItemAtPos(TPoint point) const;

    void Loaded() override;
    void SetBounds(int left, int top, int width, int height);

    // The canvas of the item being drawn (bound only while an item draws).
    TCanvas& ItemCanvas() { return *FItemCanvas; }

    TExDrawItemEvent OnDrawItem;
    TExMeasureItemEvent OnMeasureItem;
    TExListBoxDataEvent OnGetText;
    TExListboxChange OnAddString;
    TExListboxChange OnDeleteString;
    TNotifyEvent OnChange;
    TNotifyEvent OnSelectCancel;
    TExScrollEvent OnVerticalScroll;
    TExScrollEvent OnHorizontalScroll;
    using TExExCustomListBox::HintColor;
    using TExExCustomListBox::OnMouseEnter;
    using TExExCustomListBox::OnMouseLeave;
    using TExExCustomListBox::OnParentColorChange;
    using TExExCustomListBox::SetHintColor;

protected:
    virtual void NotifyChanged();
    virtual void DoGetText(int index, std::string& text);
    // The built-in item drawing, on ItemCanvas.
    virtual void DoDrawItem(int index, const TRect& rect, TOwnerDrawState state);
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);
    // Draws the background picture on `canvas` (moved by the horizontal scroll position when asked).
    void DrawBackground(TCanvas& canvas, bool useScrollOffset);

    void WndProc(TMessage& message) override;
    bool EraseBackground(TCanvas& canvas, LPARAM param) override;
    void FontChanged() override;
    void MouseEnter(TWinControlCore* control) override;
    void MouseLeave(TWinControlCore* control) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void moveEvent(QMoveEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class TExListBoxStrings;
    void DetachProvider();
    bool IsOwnerDrawn() const;
    bool MultiLineNoHScroll() const;
    bool HorizontalScrollBarOn() const;
    void SetMaxWidth(int width);
    int TextWidthWithBlank(const std::string& s);
    void UpdateStyle();
    void ApplyScrollBars();
    void ApplySelectionMode();
    void ApplySort();
    int SortedPosition(const std::string& s) const;
    void AddString(TMessage& message);
    void DeleteString(TMessage& message);
    void ConsumerChanging(int reason);
    void ConsumerChanged(int reason);
    void ConsumerExtensionAdded(TExDataConsumerAggregatedObject* extension);
    void UpdateItemCount();
    void DrawProviderItem(int index, TRect rect, TOwnerDrawState state);
    int RowHeight(int index);
    void DrawRow(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state);
    void ScrollRequested(bool vertical, int action);
    void StartMouseDrag();

    TControlFont FFont;
    std::unique_ptr<TExDataConsumer> FConsumer;
    std::unique_ptr<TExConsumerStrings> FRows;
    std::unique_ptr<TExListBoxStrings> FItems;
    TExListBoxBackground FBackground;
    TExOwnerDrawDelegate* FDelegate = nullptr;
    TCanvas* FItemCanvas = nullptr;
    TCanvas FMeasure;
    TAlignment FAlignment = taLeftJustify;
    bool FMultiLine = false;
    TColor FSelectedColor = clHighlight;
    TColor FSelectedTextColor = clHighlightText;
    TColor FDisabledTextColor = clGrayText;
    bool FShowFocusRect = true;
    TScrollStyle FScrollBars = TScrollStyle::ssBoth;
    bool FSorted = false;
    bool FHotTrack = false;
    TListBoxStyle FStyle = TListBoxStyle::lbStandard;
    int FItemHeight = 16;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    int FMaxWidth = 0;
    int FLeftPosition = 0;
    int FDragIndex = -1;
    QImage FDragImage;
    TPoint FPressPoint;
    bool FPressed = false;
    bool FProviderMode = false;
    bool FSwitchingMode = false;
    bool FMoving = false;
};

class TExListBox : public TExCustomListBox {
public:
    using TExCustomListBox::TExCustomListBox;
};
