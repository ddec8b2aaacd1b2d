#include "Platform/core/Collections.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"

#include <algorithm>
#include <memory>

// ---- item

TCollectionItem::~TCollectionItem()
{
    if (FCollection)
        FCollection->RemoveItem(this);
}

int TCollectionItem::Index() const
{
    return FCollection ? FCollection->IndexOf(this) : -1;
}

void TCollectionItem::SetIndex(int index)
{
    if (FCollection && index != Index()) {
        FCollection->MoveItem(this, index);
        Changed(true);
    }
}

void TCollectionItem::Changed(bool allItems)
{
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(allItems ? nullptr : this);
}

// ---- collection

TCollection::~TCollection()
{
    FDestroying = true;
    // why: the items go quietly; whoever listens may already be gone.
    while (!FItems.empty()) {
        TCollectionItem* item = FItems.back();
        FItems.pop_back();
        item->FCollection = nullptr;
        delete item;
    }
}

TCollectionItem* TCollection::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FItems[static_cast<size_t>(index)];
}

int TCollection::IndexOf(const TCollectionItem* item) const
{
    const auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TCollectionItem* TCollection::Add()
{
    return Insert(Count());
}

TCollectionItem* TCollection::Insert(int index)
{
    std::unique_ptr<TCollectionItem> item(FFactory());
    InsertItem(item.get(), std::clamp(index, 0, Count()));
    return item.release();
}

void TCollection::InsertItem(TCollectionItem* item, int index)
{
    FItems.insert(FItems.begin() + index, item);
    item->FCollection = this;
    item->FID = FNextID++;
    Notify(item, TCollectionNotification::cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* item)
{
    if (FDestroying)
        return;
    Notify(item, TCollectionNotification::cnExtracting);
    FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
    item->FCollection = nullptr;
    Changed();
}

void TCollection::MoveItem(TCollectionItem* item, int index)
{
    FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
    FItems.insert(FItems.begin() + std::clamp(index, 0, Count()), item);
}

void TCollection::Delete(int index)
{
    TCollectionItem* item = Items(index);
    Notify(item, TCollectionNotification::cnDeleting);
    delete item;
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    try {
        while (!FItems.empty())
            delete FItems.back();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed();
}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TCollection*>(&source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    try {
        Clear();
        for (const TCollectionItem* item : other->FItems)
            Add()->Assign(*item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}
