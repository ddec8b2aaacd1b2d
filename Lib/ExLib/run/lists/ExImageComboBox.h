#pragma once
// TExImageComboBox: a drop-down combo box whose items each show an image (from an image list or
// the item's own picture), an indent and a text, drawn by the control with its own highlight
// colours and an optional 3D frame around the image. The items' texts live in the combo box's
// string list, index for index.

#include "ExLib/run/lists/ExComboBox.h"

#include "Platform/core/Collections.h"
#include "Platform/graphics/ImageListLink.h"

#include <QImage>

class TExImageComboBox;
class TExImageItems;

enum TExListPropertyUsed { puFont, puColorHighlight, puColorHighlightText };
using TExListPropertiesUsed = TSet<TExListPropertyUsed>;
enum class TExButtonColors { fsLighter, fsLight, fsMedium, fsDark, fsDarker };

// Asked by the item collection to recompute the item height.
class IExResetItemHeight {
public:
    static constexpr std::string_view Guid = "{29F7C34D-F03C-41FE-8423-0388289A505B}";
    virtual ~IExResetItemHeight() = default;
    virtual void ResetItemHeight() = 0;

protected:
    IExResetItemHeight() = default;
    IExResetItemHeight(const IExResetItemHeight&) = default;
    IExResetItemHeight& operator=(const IExResetItemHeight&) = default;
};

class TExImageItem : public TCollectionItem {
public:
    TExImageItem() = default;
    // Deletes its text from the combo box's list.
    ~TExImageItem() override;

    // Which settings come from the combo box instead of the item's own.
    TExListPropertiesUsed ListPropertiesUsed() const { return FListPropertiesUsed; }
    void SetListPropertiesUsed(TExListPropertiesUsed value);
    TColor ColorHighlight() const;
    void SetColorHighlight(TColor value);
    TColor ColorHighlightText() const;
    void SetColorHighlightText(TColor value);
    // The combo box's font with puFont, else the item's own (a copy made on first use).
    const TFont& Font() const;
    void SetFont(const TFont& font);
    const QImage& Glyph() const { return FGlyph; }
    void SetGlyph(const QImage& glyph);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    int Indent() const { return FIndent; }
    void SetIndent(int value);
    // The text at the item's index in the combo box's string list.
    std::string Text() const;
    void SetText(const std::string& value);

    void SetIndex(int index) override;
    std::string GetDisplayName() const override;
    void Assign(const TPersistent& source) override;

private:
    TExImageItems* Items() const;
    TExImageComboBox* ComboBox() const;
    TFont& OwnFont() const;

    TExListPropertiesUsed FListPropertiesUsed{puFont, puColorHighlight, puColorHighlightText};
    TColor FColorHighlight = clHighlight;
    TColor FColorHighlightText = clHighlightText;
    mutable std::unique_ptr<TFont> FFont;
    QImage FGlyph;
    int FImageIndex = -1;
    int FIndent = 2;
};

class TExImageItems : public TOwnedCollection {
public:
    explicit TExImageItems(TExImageComboBox& comboBox);

    TExImageItem* Add();
    TExImageItem* Items(int index) const { return static_cast<TExImageItem*>(TCollection::Items(index)); }
    TExImageComboBox& ComboBox() const { return FComboBox; }
    // Makes the string list hold at least `count` strings.
    void PadStrings(int count);

    // From image items: copies them; from a string list: one item per string, and the combo
    // box's strings become the list's.
    void Assign(const TPersistent& source) override;

protected:
    // Then the owner recomputes its item height (or, without that ability, repaints).
    void Update(TCollectionItem* item) override;

private:
    TExImageComboBox& FComboBox;
};

class TExImageComboBox : public TExCustomComboBox, public IExResetItemHeight {
public:
    explicit TExImageComboBox(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExImageComboBox() override;

    // The image items (the strings stay reachable through Strings).
    TExImageItems& Items() { return *FItems; }
    void SetItems(const TExImageItems& items);
    TExComboBoxStrings& Strings() { return TExCustomComboBox::Items(); }

    TCustomImageList* Images() const { return FImages.Images(); }
    void SetImages(TCustomImageList* images);
    int ImageWidth() const { return FImageWidth; }
    void SetImageWidth(int value);
    int ImageHeight() const { return FImageHeight; }
    void SetImageHeight(int value);
    int DroppedWidth() const;
    void SetDroppedWidth(int value);
    bool IndentSelected() const { return FIndentSelected; }
    void SetIndentSelected(bool value);
    int DefaultIndent() const { return FDefaultIndent; }
    void SetDefaultIndent(int value);
    bool ButtonFrame() const { return FButtonFrame; }
    void SetButtonFrame(bool value);
    TExButtonColors ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TExButtonColors value);
    TColor ColorHighlight() const { return FColorHighlight; }
    void SetColorHighlight(TColor value);
    TColor ColorHighlightText() const { return FColorHighlightText; }
    void SetColorHighlightText(TColor value);

    // The image size of item `index` (-1: of no item): its picture's, the list's, or the
    // ImageWidth and ImageHeight.
    TSize ImageSize(int index) const;
    void ResetItemHeight() override;
    bool BeingDestroyed() const { return FDestroying; }
    // OnChange fires when the user selects another item, not when the text changes.

protected:
    void PrepareItemCanvas(TCanvas& canvas, int index, TOwnerDrawState state) override;
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
    void MeasureItem(int index, int& height) override;
    void SelectionChanged(int index) override;
    void Change() override {}
    void EnabledChanged() override;
    void FontChanged() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    int FontHeight() const;
    std::unique_ptr<TExImageItems> FItems;
    TImageListLink FImages{*this};
    int FImageWidth = 0;
    int FImageHeight = 0;
    int FDroppedWidth = -1;
    bool FIndentSelected = false;
    int FDefaultIndent = 0;
    bool FButtonFrame = false;
    TExButtonColors FButtonStyle = TExButtonColors::fsLighter;
    TColor FColorHighlight = clHighlight;
    TColor FColorHighlightText = clHighlightText;
    bool FDestroying = false;
};
