#pragma once
// TExComboBox: the platform combo box with a read-only mode that keeps the normal look, a grey
// placeholder while it is empty and unfocused, a pixel cap on its text, three ways of measuring
// owner-drawn items, a plain owner-draw fallback, and an optional data provider whose rows the
// list shows instead of the combo box's own strings.

#include "ExLib/run/controls/ExExStdCtrls.h"
#include "ExLib/run/data/ExDataViewList.h"
#include "ExLib/run/lists/ExListItems.h"
#include "ExLib/run/lists/ExOwnerDraw.h"

#include "Platform/controls/ControlFont.h"

#include <map>
#include <memory>

class TExCustomComboBox;

// The message that runs the after-create measuring.
constexpr UINT WM_INITDIALOG = 0x0110;
// The consumer attributes of the list controls.
constexpr int ConsumerAttributeList = 1;

enum class TExComboBoxMeasureStyle { cmsStandard, cmsAfterCreate, cmsBeforeDraw };

// A pixel cap on an edit's text: 0 means none.
class TExMaxPixel : public TPersistent {
public:
    explicit TExMaxPixel(TNotifyEvent onChange);

    int Length() const { return FLength; }
    void SetLength(int value);
    bool UseControlFont() const { return FUseControlFont; }
    void SetUseControlFont(bool value);
    // Used when UseControlFont is off.
    TFont& Font() { return FFont; }
    // Deletes characters from the end of `text` while it is wider than Length pixels.
    void Test(std::string& text, const TFont& controlFont) const;

private:
    void Changed();
    int FLength = 0;
    bool FUseControlFont = true;
    TFont FFont;
    TNotifyEvent FOnChange;
};

// The items of a combo box. Clearing the window's items keeps the combo box's text, and adding
// items selects none of them.
class TExComboBoxStrings : public TExListItems {
public:
    explicit TExComboBoxStrings(TExCustomComboBox& comboBox) : FComboBox(comboBox) {}
    void Clear() override;

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
    TExCustomComboBox& FComboBox;
};

class TExCustomComboBox : public TExExCustomComboBox {
public:
    explicit TExCustomComboBox(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExCustomComboBox() override;

    // The combo box's own item list (the platform list is reached only through it).
    TExComboBoxStrings& Items() { return *FItems; }
    // Empty while the placeholder shows.
    std::string Text() const;
    void SetText(const std::string& text);
    TFont& Font() { return FFont.Font(); }

    TExMaxPixel& MaxPixel() { return FMaxPixel; }
    const std::string& EmptyValue() const { return FEmptyValue; }
    void SetEmptyValue(const std::string& value);
    TColor EmptyFontColor() const { return FEmptyFontColor; }
    void SetEmptyFontColor(TColor value) { FEmptyFontColor = value; }
    bool ShowingEmptyValue() const { return FShowingEmptyValue; }
    // What the field shows: the placeholder while it shows, else the text.
    std::string DisplayedText() const;
    TExComboBoxMeasureStyle MeasureStyle() const { return FMeasureStyle; }
    void SetMeasureStyle(TExComboBoxMeasureStyle value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    int ItemHeight() const { return FItemHeight; }
    virtual void SetItemHeight(int value);
    // The measured height of an item (-1: the edit part), the item height when none was set.
    int MeasuredHeight(int index) const;
    TExDataConsumer& Provider() { return *FConsumer; }
    bool ProviderMode() const { return FProviderMode; }

    // The provider's row count in provider mode, else the item count.
    int ItemCount() const;
    // The text of an item or provider row; EListError "List index out of bounds (%d)" outside.
    virtual std::string GetItemText(int index);
    // Searches from the item after `start`, wrapping around; -1 when nothing matches.
    int FindString(int start, const std::string& text);
    int FindStringExact(int start, const std::string& text);
    // Finds like FindString and selects what it finds.
    int SelectString(int start, const std::string& text);
    // Measures the edit part and the items now (the after-create measuring).
    void PerformMeasure();
    bool OwnerDrawn() const;
    // A read-only combo box keeps its list closed.
    void showPopup() override;

    void Loaded() override;

    // The canvas of the item being drawn (bound only while an item draws).
    TCanvas& ItemCanvas() { return *FItemCanvas; }

    TExDrawItemEvent OnDrawItem;
    TExMeasureItemEvent OnMeasureItem;
    TNotifyEvent OnSelect;
    using TExExCustomComboBox::HintColor;
    using TExExCustomComboBox::OnMouseEnter;
    using TExExCustomComboBox::OnMouseLeave;
    using TExExCustomComboBox::OnParentColorChange;
    using TExExCustomComboBox::SetHintColor;

protected:
    virtual void EmptyValueEnter();
    virtual void EmptyValueExit();
    virtual void DoMeasureItem(int index, int& height);
    // The platform's request for an item's height.
    virtual void MeasureItem(int index, int& height);
    // Gives the canvas the font and brush an owner-drawn item starts with.
    virtual void PrepareItemCanvas(TCanvas& canvas, int index, TOwnerDrawState state);
    // Draws an item on ItemCanvas (bound while drawing).
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    // The user chose an item (with the mouse or the keys).
    virtual void SelectionChanged(int index);
    virtual void Select();

    void WndProc(TMessage& message) override;
    void FontChanged() override;

private:
    friend class TExComboBoxStrings;
    void DetachProvider();
    void MaxPixelChanged();
    void ConsumerChanged(int reason);
    void ConsumerExtensionAdded(TExDataConsumerAggregatedObject* extension);
    void UpdateItemCount();
    void FocusMoved(QWidget* from, QWidget* to);
    void PaintOwnerDrawnField();
    // Draws a row of the view list, or the plain fallback.
    void DrawRow(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state);
    int RowHeight(int index);
    void SetPlaceholder(const std::string& text);

    TControlFont FFont;
    std::unique_ptr<TExDataConsumer> FConsumer;
    std::unique_ptr<TExConsumerStrings> FRows;
    std::unique_ptr<TExComboBoxStrings> FItems;
    TExMaxPixel FMaxPixel;
    TExOwnerDrawDelegate* FDelegate = nullptr;
    TCanvas* FItemCanvas = nullptr;
    std::string FEmptyValue;
    TColor FEmptyFontColor = clGrayText;
    bool FShowingEmptyValue = false;
    bool FFocusInside = false;
    TExComboBoxMeasureStyle FMeasureStyle = TExComboBoxMeasureStyle::cmsStandard;
    bool FReadOnly = false;
    int FItemHeight = 16;
    std::map<int, int> FItemHeights;
    bool FProviderMode = false;
    bool FSwitchingMode = false;
    QMetaObject::Connection FFocusConnection;
    QMetaObject::Connection FActivatedConnection;
};

class TExComboBox : public TExCustomComboBox {
public:
    using TExCustomComboBox::TExCustomComboBox;
};
