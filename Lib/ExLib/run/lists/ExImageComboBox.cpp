#include "ExLib/run/lists/ExImageComboBox.h"

#include "ExLib/run/controls/ExTextDraw.h"

#include "Platform/graphics/FocusRect.h"
#include "Platform/graphics/Frame3D.h"

#include <QAbstractItemView>
#include <QFontMetrics>

// ---- item

TExImageItems* TExImageItem::Items() const
{
    return static_cast<TExImageItems*>(Collection());
}

TExImageComboBox* TExImageItem::ComboBox() const
{
    return Items() ? &Items()->ComboBox() : nullptr;
}

TExImageItem::~TExImageItem()
{
    TExImageComboBox* combo = ComboBox();
    const int index = Index();
    if (combo && !combo->BeingDestroyed() && index >= 0 && index < combo->Strings().Count())
        combo->Strings().Delete(index);
}

void TExImageItem::SetListPropertiesUsed(TExListPropertiesUsed value)
{
    ChangeField(FListPropertiesUsed, value);
}

TColor TExImageItem::ColorHighlight() const
{
    return FListPropertiesUsed.Contains(puColorHighlight) && ComboBox() ? ComboBox()->ColorHighlight() : FColorHighlight;
}

void TExImageItem::SetColorHighlight(TColor value)
{
    if (FListPropertiesUsed.Contains(puColorHighlight) && ComboBox())
        ComboBox()->SetColorHighlight(value);
    else
        FColorHighlight = value;
}

TColor TExImageItem::ColorHighlightText() const
{
    return FListPropertiesUsed.Contains(puColorHighlightText) && ComboBox() ? ComboBox()->ColorHighlightText()
                                                                          : FColorHighlightText;
}

void TExImageItem::SetColorHighlightText(TColor value)
{
    if (FListPropertiesUsed.Contains(puColorHighlightText) && ComboBox())
        ComboBox()->SetColorHighlightText(value);
    else
        FColorHighlightText = value;
}

TFont& TExImageItem::OwnFont() const
{
    if (!FFont) {
        FFont = std::make_unique<TFont>();
        if (ComboBox())
            FFont->Assign(ComboBox()->Font());
        FFont->OnChange = [this](TObject*) {
            if (!FListPropertiesUsed.Contains(puFont) && ComboBox())
                ComboBox()->update();
        };
    }
    return *FFont;
}

const TFont& TExImageItem::Font() const
{
    if (FListPropertiesUsed.Contains(puFont) && ComboBox())
        return ComboBox()->Font();
    return OwnFont();
}

void TExImageItem::SetFont(const TFont& font)
{
    if (!FListPropertiesUsed.Contains(puFont))
        OwnFont().Assign(font);
}

void TExImageItem::SetGlyph(const QImage& glyph)
{
    FGlyph = glyph;
    if (ComboBox())
        ComboBox()->update();
}

void TExImageItem::SetImageIndex(int value)
{
    ChangeField(FImageIndex, value);
}

void TExImageItem::SetIndent(int value)
{
    ChangeField(FIndent, value);
}

std::string TExImageItem::Text() const
{
    TExImageItems* items = Items();
    if (!items)
        return {};
    items->PadStrings(Index() + 1);
    return items->ComboBox().Strings().Get(Index());
}

void TExImageItem::SetText(const std::string& value)
{
    TExImageItems* items = Items();
    if (!items)
        return;
    items->PadStrings(Index() + 1);
    TExComboBoxStrings& strings = items->ComboBox().Strings();
    if (strings.Get(Index()) == value)
        return;
    strings.Put(Index(), value);
    Changed(false);
}

void TExImageItem::SetIndex(int index)
{
    const int old = Index();
    if (TExImageItems* items = Items(); items && old >= 0 && index != old) {
        items->PadStrings(std::max(old, index) + 1);
        items->ComboBox().Strings().Move(old, index);
    }
    TCollectionItem::SetIndex(index);
}

std::string TExImageItem::GetDisplayName() const
{
    const std::string text = Text();
    return text.empty() ? TCollectionItem::GetDisplayName() : text;
}

void TExImageItem::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TExImageItem*>(&source);
    if (!other) {
        TCollectionItem::Assign(source);
        return;
    }
    SetText(other->Text());
    FImageIndex = other->FImageIndex;
    FIndent = other->FIndent;
    FGlyph = other->FGlyph;
    FColorHighlight = other->ColorHighlight();
    FColorHighlightText = other->ColorHighlightText();
    if (other->FFont)
        OwnFont().Assign(*other->FFont);
    else
        FFont.reset();
    FListPropertiesUsed = other->FListPropertiesUsed;
    Changed(false);
}

// ---- items

TExImageItems::TExImageItems(TExImageComboBox& comboBox)
    : TOwnedCollection(&comboBox, [] { return new TExImageItem; }), FComboBox(comboBox)
{
}

TExImageItem* TExImageItems::Add()
{
    auto* item = static_cast<TExImageItem*>(TCollection::Add());
    PadStrings(Count());
    return item;
}

void TExImageItems::PadStrings(int count)
{
    TExComboBoxStrings& strings = FComboBox.Strings();
    while (strings.Count() < count)
        strings.Add("");
}

void TExImageItems::Update(TCollectionItem* item)
{
    TOwnedCollection::Update(item);
    if (auto* reset = dynamic_cast<IExResetItemHeight*>(&FComboBox))
        reset->ResetItemHeight();
    else
        FComboBox.update();
}

void TExImageItems::Assign(const TPersistent& source)
{
    if (const auto* strings = dynamic_cast<const TStrings*>(&source)) {
        BeginUpdate();
        try {
            Clear();
            for (int i = 0; i < strings->Count(); ++i)
                Add()->SetText(strings->Get(i));
            FComboBox.Strings().Assign(*strings);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TOwnedCollection::Assign(source);
}

// ---- combo box

TExImageComboBox::TExImageComboBox(TComponent* AOwner, QWidget* parent)
    : TExCustomComboBox(AOwner, parent), FItems(std::make_unique<TExImageItems>(*this))
{
    SetStyle(TComboBoxStyle::csOwnerDrawVariable);
    SetColor(clWindow);
    ResetItemHeight();
}

TExImageComboBox::~TExImageComboBox()
{
    FDestroying = true;
    FItems.reset();
}

void TExImageComboBox::SetItems(const TExImageItems& items)
{
    FItems->Assign(items);
}

void TExImageComboBox::SetImages(TCustomImageList* images)
{
    // The list's changes need nothing of the combo box.
    if (!FImages.Set(images, [](TObject*) {}))
        return;
    ResetItemHeight();
    if (FDroppedWidth >= 0)
        SetDroppedWidth(FDroppedWidth);
    update();
}

void TExImageComboBox::Notification(TComponent* component, TOperation operation)
{
    TExCustomComboBox::Notification(component, operation);
    if (operation == TOperation::opRemove && FImages.Forget(component)) {
        ResetItemHeight();
        update();
    }
}

void TExImageComboBox::SetImageWidth(int value)
{
    FImageWidth = value;
    ResetItemHeight();
}

void TExImageComboBox::SetImageHeight(int value)
{
    FImageHeight = value;
    ResetItemHeight();
}

int TExImageComboBox::DroppedWidth() const
{
    return FDroppedWidth >= 0 ? FDroppedWidth : width();
}

void TExImageComboBox::SetDroppedWidth(int value)
{
    FDroppedWidth = value;
    view()->setMinimumWidth(value);
}

void TExImageComboBox::SetIndentSelected(bool value)
{
    if (value == FIndentSelected)
        return;
    FIndentSelected = value;
    update();
}

void TExImageComboBox::SetDefaultIndent(int value)
{
    if (value == FDefaultIndent)
        return;
    FDefaultIndent = value;
    update();
}

void TExImageComboBox::SetButtonFrame(bool value)
{
    if (value == FButtonFrame)
        return;
    FButtonFrame = value;
    ResetItemHeight();
    update();
}

void TExImageComboBox::SetButtonStyle(TExButtonColors value)
{
    FButtonStyle = value;
    update();
}

void TExImageComboBox::SetColorHighlight(TColor value)
{
    if (value == FColorHighlight)
        return;
    FColorHighlight = value;
    update();
}

void TExImageComboBox::SetColorHighlightText(TColor value)
{
    if (value == FColorHighlightText)
        return;
    FColorHighlightText = value;
    update();
}

int TExImageComboBox::FontHeight() const
{
    return QFontMetrics(font()).height();
}

TSize TExImageComboBox::ImageSize(int index) const
{
    if (index >= 0 && index < FItems->Count() && !FItems->Items(index)->Glyph().isNull()) {
        const QImage& glyph = FItems->Items(index)->Glyph();
        return {glyph.width(), glyph.height()};
    }
    if (Images())
        return {Images()->Width(), Images()->Height()};
    return {FImageWidth, FImageHeight};
}

void TExImageComboBox::ResetItemHeight()
{
    if (!FItems)
        return;
    int height = ImageSize(-1).cy;
    for (int i = 0; i < FItems->Count(); ++i)
        height = std::max(height, ImageSize(i).cy);
    SetItemHeight(std::max(FontHeight() + 4, FButtonFrame ? height + 4 : height));
}

void TExImageComboBox::MeasureItem(int index, int& height)
{
    height = std::max(FontHeight() + 4, ImageSize(index).cy + (FButtonFrame ? 4 : 0));
}

void TExImageComboBox::SelectionChanged(int index)
{
    TExCustomComboBox::SelectionChanged(index);
    if (OnChange)
        OnChange(this);
}

void TExImageComboBox::EnabledChanged()
{
    TExCustomComboBox::EnabledChanged();
    SetColor(Enabled() ? clWindow : clBtnFace);
}

void TExImageComboBox::FontChanged()
{
    TExCustomComboBox::FontChanged();
    ResetItemHeight();
    if (FDroppedWidth >= 0)
        SetDroppedWidth(FDroppedWidth);
}

// ---- drawing

void TExImageComboBox::PrepareItemCanvas(TCanvas& canvas, int index, TOwnerDrawState state)
{
    canvas.Font().Assign(Font());
    canvas.Brush().SetColor(Color());
    if (index >= 0 && state.Contains(odSelected)) {
        canvas.Brush().SetColor(FColorHighlight);
        canvas.Font().SetColor(FColorHighlightText);
    }
}

void TExImageComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state)
{
    if (FDestroying)
        return;
    TCanvas& canvas = ItemCanvas();
    if (index < 0 || index >= FItems->Count()) {
        canvas.FillRect(rect);
        return;
    }
    const TExImageItem& item = *FItems->Items(index);
    const bool selected = state.Contains(odSelected);
    // The item's font; only an item drawn without state shows its own colour.
    const TColor entryColor = canvas.Font().Color();
    canvas.Font().Assign(item.Font());
    if (selected) {
        canvas.Brush().SetColor(FColorHighlight);
        canvas.Font().SetColor(FColorHighlightText);
    }
    if (!state.Empty())
        canvas.Font().SetColor(entryColor);
    const TColor brush = canvas.Brush().Color();
    canvas.Brush().SetColor(Color());
    canvas.FillRect(rect);
    canvas.Brush().SetColor(brush);

    TRect r = rect;
    if (!state.Contains(odComboBoxEdit) || FIndentSelected)
        r.Left += item.Indent();
    const TSize image = ImageSize(index);
    const bool hasGlyph = !item.Glyph().isNull();
    if (hasGlyph || Images()) {
        const int x = r.Left + 2, y = r.Top + (r.Height() - image.cy) / 2;
        if (hasGlyph)
            canvas.Draw(x, y, item.Glyph());
        else
            Images()->Draw(canvas, x, y, item.ImageIndex(), true);
        if (FButtonFrame) {
            const int frameWidth = (Images() ? Images()->Width() : image.cx) + 4;
            const int frameHeight = (Images() ? Images()->Height() : image.cy) + 4;
            const bool validImage = hasGlyph || (item.ImageIndex() >= 0 && item.ImageIndex() < Images()->Count() &&
                                                 item.ImageIndex() <= 255);
            TColor upperLeft = Color(), lowerRight = Color();
            if (state.Contains(odFocused) && !state.Contains(odComboBoxEdit) && validImage) {
                static constexpr TColor Colors[5][2] = {{clBtnHighlight, clBtnFace}, {clBtnHighlight, clBtnShadow},
                                                        {clBtnHighlight, cl3DDkShadow}, {clBtnFace, cl3DDkShadow},
                                                        {clBtnShadow, cl3DDkShadow}};
                upperLeft = Colors[static_cast<int>(FButtonStyle)][0];
                lowerRight = Colors[static_cast<int>(FButtonStyle)][1];
            }
            TRect frame = Bounds(r.Left, r.Top, frameWidth, frameHeight);
            Frame3D(canvas, frame, upperLeft, lowerRight);
        }
        r.Left += image.cx + 8;
    }
    const std::string text = item.Text();
    TRect textRect{r.Left - 2, r.Top + 1, r.Left + canvas.TextWidth(text) + 2, r.Bottom - 1};
    const bool focusFrame = selected && Color() != FColorHighlight;
    if (text.empty()) {
        canvas.FillRect({r.Left, r.Top, rect.Right, r.Bottom});
        if (focusFrame)
            DrawFocusRect(canvas, {r.Left, r.Top, rect.Right, r.Bottom});
        return;
    }
    textRect.Right += 2;
    canvas.FillRect(textRect);
    TRect drawn{textRect.Left + 2, textRect.Top, textRect.Right, textRect.Bottom};
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    DrawTextOnCanvas(canvas, text, -1, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, drawn);
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    if (focusFrame)
        DrawFocusRect(canvas, textRect);
}
