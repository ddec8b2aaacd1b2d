#include "ExLib/run/data/ExDataItemsExt.h"

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/common/ExResources.h"

#include "Platform/text/Format.h"

// ---- renderers

void TExBaseDataItemsRenderer::CheckIndex(int index) const
{
    if (index < 0 || index >= Items()->ItemCount())
        throw EExLibDataItems(Format("List index out of bounds (%d)", {index}));
}

void TExBaseDataItemsRenderer::PaintItemAt(TCanvas& canvas, const TRect& rect, int index, TProviderDrawState state)
{
    CheckIndex(index);
    PaintItem(canvas, rect, Items()->ItemAt(index), state);
}

TSize TExBaseDataItemsRenderer::SizeOfItemAt(TCanvas& canvas, int index)
{
    if (index == -1)
        return TypicalItemSize(canvas);
    CheckIndex(index);
    return SizeOfItem(canvas, Items()->ItemAt(index));
}

void TExBaseDataItemsRenderer::PaintItem(TCanvas& canvas, const TRect& rect, IExDataItem* item, TProviderDrawState state)
{
    if (auto* painter = Supports<IExDataItemPainter>(item))
        painter->PaintSelf(canvas, rect, state);
    else
        PaintItemContent(canvas, rect, item, state);
}

TSize TExBaseDataItemsRenderer::SizeOfItem(TCanvas& canvas, IExDataItem* item)
{
    if (auto* painter = Supports<IExDataItemPainter>(item))
        return painter->SizeOfSelf(canvas);
    return SizeOfItemContent(canvas, item);
}

TSize TExCustomDataItemsTextRenderer::TypicalItemSize(TCanvas& canvas)
{
    return canvas.TextExtent("WyWyWyWyWyWyWyWyWyWy");
}

void TExCustomDataItemsTextRenderer::PaintItemContent(TCanvas& canvas, const TRect& rect, IExDataItem* item,
                                                      TProviderDrawState state)
{
    TExDP_ProviderTextOnlyRender render(item, canvas, state, rect);
    render.PrepareFor(false);
    render.RenderNow();
}

TSize TExCustomDataItemsTextRenderer::SizeOfItemContent(TCanvas& canvas, IExDataItem* item)
{
    TExDP_ProviderTextOnlyRender render(item, canvas, 0);
    render.PrepareFor(true);
    return render.MeasureNow();
}

void TExDP_ProviderTextOnlyRender::PrepareFor(bool measuring)
{
    (void)measuring;
    if (auto* text = Supports<IExDataItemText>(FItem.get())) {
        FText = text->Caption();
        FNoText = false;
    } else {
        FText = ExRes::ItemNoTextIntf;
        FNoText = true;
    }
}

void TExDP_ProviderTextOnlyRender::RenderNow()
{
    FCanvas.TextRect(FRect, FRect.Left, FRect.Top, FText);
}

TSize TExDP_ProviderTextOnlyRender::MeasureNow()
{
    return FCanvas.TextExtent(FText);
}

// ---- editor

TExDataItemsList& TExBaseDataItemsListManagement::List() const
{
    auto* list = dynamic_cast<TExDataItemsList*>(&Owner());
    if (!list)
        throw EExLibDataItems(ExRes::InvalidClassType);
    return *list;
}

IExDataItem* TExBaseDataItemsListManagement::AppendItem(IExDataItem* item)
{
    TExDataItemsList& list = List();
    NotifyBefore(pcrAdd, Items());
    list.AddItemObject(dynamic_cast<TExBaseDataItem*>(item->Implementer()));
    NotifyAfter(pcrAdd, item);
    return item;
}

IExDataItem* TExBaseDataItemsListManagement::CreateItem()
{
    throw EInvalidOperation("Abstract Error");
}

void TExBaseDataItemsListManagement::RemoveAll()
{
    TExDataItemsList& list = List();
    NotifyBefore(pcrUpdateItems, Items());
    list.ClearObjects();
    NotifyAfter(pcrUpdateItems, Items());
}

void TExBaseDataItemsListManagement::RemoveAt(int index)
{
    TExDataItemsList& list = List();
    IExDataItem* item = list.ItemAt(index);
    if (!item->CanDelete())
        throw EExLibDataItems(ExRes::ItemCannotBeDeleted);
    NotifyBefore(pcrDelete, item);
    list.DeleteObject(index);
    NotifyAfter(pcrDelete, nullptr);
}

void TExBaseDataItemsListManagement::RemoveItem(IExDataItem*& item)
{
    if (!item)
        return;
    if (!item->CanDelete())
        throw EExLibDataItems(ExRes::ItemCannotBeDeleted);
    auto* object = dynamic_cast<TExBaseDataItem*>(item->Implementer());
    item = nullptr;
    if (!object || object->RefCount() != 0)
        return;
    TExDataItemsList& list = List();
    object->HoldCount();
    try {
        NotifyBefore(pcrDelete, object);
    } catch (...) {
        object->ReleaseHold();
        throw;
    }
    object->ReleaseHold();
    const int index = list.IndexOfObject(object);
    if (index >= 0)
        list.DeleteObject(index);
    NotifyAfter(pcrDelete, nullptr);
}

// ---- image lists

void TExCustomDataItemsImages::Change(TCustomImageList*& field, TCustomImageList* value)
{
    if (value == field)
        return;
    NotifyBefore(pcrUpdateItems, Items());
    field = value;
    NotifyAfter(pcrUpdateItems, Items());
}

// ---- lookups

bool FindListExtension(IExDataItem* item, const TExInterfaceID& iid, IExInterface*& object)
{
    while (item) {
        IExDataItems* list = item->OwnerItems();
        if (!list)
            return false;
        if (IExInterface* found = list->QueryInterface(iid)) {
            object = found;
            return true;
        }
        item = list->ParentItem();
    }
    return false;
}

IExDataItemsPainter* FindListPainter(IExDataItem* item)
{
    IExInterface* object = nullptr;
    return FindListExtension(item, IIDOf<IExDataItemsPainter>(), object) ? dynamic_cast<IExDataItemsPainter*>(object)
                                                                           : nullptr;
}
