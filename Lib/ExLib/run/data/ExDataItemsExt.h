#pragma once
// The stock extensions of item lists: a painter that draws items as text, an editor that adds
// and removes items, and image lists; and the lookups that find a list extension for an item by
// walking up through the lists above it.

#include "ExLib/run/data/ExDataItems.h"

#include "Platform/graphics/Canvas.h"

class TExBaseDataItemsRenderer : public TExDataItemsAggregatedObject, public virtual IExDataItemsPainter {
public:
    using TExDataItemsAggregatedObject::TExDataItemsAggregatedObject;

    // EExLibDataItems "List index out of bounds (%d)" for an index outside the list.
    void PaintItemAt(TCanvas& canvas, const TRect& rect, int index, TProviderDrawState state) override;
    // Index -1 answers TypicalItemSize.
    TSize SizeOfItemAt(TCanvas& canvas, int index) override;
    // Through the item's own painter when it has one, else through the content operations.
    void PaintItem(TCanvas& canvas, const TRect& rect, IExDataItem* item, TProviderDrawState state) override;
    TSize SizeOfItem(TCanvas& canvas, IExDataItem* item) override;

protected:
    virtual void PaintItemContent(TCanvas& canvas, const TRect& rect, IExDataItem* item, TProviderDrawState state) = 0;
    virtual TSize SizeOfItemContent(TCanvas& canvas, IExDataItem* item) = 0;

private:
    void CheckIndex(int index) const;
};

// Draws an item as its caption.
class TExCustomDataItemsTextRenderer : public TExBaseDataItemsRenderer {
public:
    using TExBaseDataItemsRenderer::TExBaseDataItemsRenderer;
    // The extent of "WyWyWyWyWyWyWyWyWyWy" in the canvas's font.
    TSize TypicalItemSize(TCanvas& canvas) override;

protected:
    void PaintItemContent(TCanvas& canvas, const TRect& rect, IExDataItem* item, TProviderDrawState state) override;
    TSize SizeOfItemContent(TCanvas& canvas, IExDataItem* item) override;
};

class TExBaseDataItemsManagement : public TExDataItemsAggregatedObject, public virtual IExDataItemsEditor {
public:
    using TExDataItemsAggregatedObject::TExDataItemsAggregatedObject;
};

// Adds and removes the items of a TExDataItemsList, telling the provider around each change.
class TExBaseDataItemsListManagement : public TExBaseDataItemsManagement {
public:
    using TExBaseDataItemsManagement::TExBaseDataItemsManagement;

    IExDataItem* AppendItem(IExDataItem* item) override;
    // Left to descendants: EInvalidOperation "Abstract Error" here.
    IExDataItem* CreateItem() override;
    void RemoveAll() override;
    // EExLibDataItems "Item cannot be deleted" for an item that refuses.
    void RemoveAt(int index) override;
    // Clears the caller's reference; frees an uncounted item.
    void RemoveItem(IExDataItem*& item) override;

private:
    TExDataItemsList& List() const;
};

class TExBaseDataItemsImagesImpl : public TExDataItemsAggregatedObject, public virtual IExDataItemsImageLists {
public:
    using TExDataItemsAggregatedObject::TExDataItemsAggregatedObject;
};

class TExCustomDataItemsImages : public TExBaseDataItemsImagesImpl {
public:
    using TExBaseDataItemsImagesImpl::TExBaseDataItemsImagesImpl;
    TCustomImageList* DisabledImages() override { return FDisabledImages; }
    void SetDisabledImages(TCustomImageList* value) override { Change(FDisabledImages, value); }
    TCustomImageList* HotImages() override { return FHotImages; }
    void SetHotImages(TCustomImageList* value) override { Change(FHotImages, value); }
    TCustomImageList* Images() override { return FImages; }
    void SetImages(TCustomImageList* value) override { Change(FImages, value); }

private:
    // A different list is stored between BeforeChange and AfterChange with reason 3.
    void Change(TCustomImageList*& field, TCustomImageList* value);
    TCustomImageList* FDisabledImages = nullptr;
    TCustomImageList* FHotImages = nullptr;
    TCustomImageList* FImages = nullptr;
};

// A short-lived object that draws or measures one item.
class TExDP_ProviderBaseRender : public TObject {
public:
    TExDP_ProviderBaseRender(IExDataItem* item, TCanvas& canvas, TProviderDrawState state, const TRect& rect = {})
        : FItem(item), FCanvas(canvas), FState(state), FRect(rect)
    {
    }
    virtual void PrepareFor(bool measuring) = 0;
    virtual void RenderNow() = 0;
    virtual TSize MeasureNow() = 0;

protected:
    TIntf<IExDataItem> FItem;
    TCanvas& FCanvas;
    TProviderDrawState FState;
    TRect FRect;
};

// Draws the caption at the rectangle's top left, clipped to it.
class TExDP_ProviderTextOnlyRender : public TExDP_ProviderBaseRender {
public:
    using TExDP_ProviderBaseRender::TExDP_ProviderBaseRender;
    // The item's caption, or the library's note that the item has no text.
    void PrepareFor(bool measuring) override;
    void RenderNow() override;
    TSize MeasureNow() override;
    bool ItemHasNoText() const { return FNoText; }
    const std::string& Text() const { return FText; }

private:
    std::string FText;
    bool FNoText = false;
};

// Asks the lists above `item` (its own list, then the list of that list's parent item, ...)
// for `iid`; the first that answers gives `object`. False when none does.
bool FindListExtension(IExDataItem* item, const TExInterfaceID& iid, IExInterface*& object);
// The list painter that applies to `item`, or null.
IExDataItemsPainter* FindListPainter(IExDataItem* item);
