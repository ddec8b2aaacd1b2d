#pragma once
// The class library's collections: an ordered list of items of one class that the collection
// creates and frees. An item reports its changes to the collection (Update), and the collection
// hears of every item that comes and goes (Notify). BeginUpdate and EndUpdate bracket a batch of
// changes into one Update at the end.

#include "Platform/core/Component.h"

#include <functional>
#include <string>
#include <vector>

class TCollection;

enum class TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
public:
    TCollectionItem() = default;
    // Leaves its collection (which hears cnExtracting and then changes) after the descendants'
    // destructors have run.
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    // The position in the collection; -1 outside one.
    int Index() const;
    // Moves the item to `index` in its collection.
    virtual void SetIndex(int index);
    int ID() const { return FID; }
    virtual std::string GetDisplayName() const { return ClassName(); }

protected:
    // Tells the collection: Update(this), or Update(nullptr) for a change of all items.
    void Changed(bool allItems);
    // Stores a new value and reports the change; an equal value changes nothing.
    template <class T>
    void ChangeField(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        Changed(false);
    }

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

class TCollection : public TPersistent {
public:
    // Makes a new item of the collection's class.
    using TItemFactory = std::function<TCollectionItem*()>;

    explicit TCollection(TItemFactory factory) : FFactory(std::move(factory)) {}
    // Frees the items without reporting.
    ~TCollection() override;

    int Count() const { return static_cast<int>(FItems.size()); }
    // EListError "List index out of bounds (%d)" outside the list.
    TCollectionItem* Items(int index) const;
    int IndexOf(const TCollectionItem* item) const;

    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    // Tells cnDeleting, then frees the item.
    void Delete(int index);
    // Frees every item, the last first, as one change.
    void Clear();

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // From another collection: clears this one and adds a copy of every item, as one change.
    void Assign(const TPersistent& source) override;

protected:
    // After a change of `item` (null: of the collection as a whole), outside update brackets.
    virtual void Update(TCollectionItem* item) { (void)item; }
    virtual void Notify(TCollectionItem* item, TCollectionNotification action)
    {
        (void)item;
        (void)action;
    }
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item, int index);
    void RemoveItem(TCollectionItem* item);
    void MoveItem(TCollectionItem* item, int index);

    TItemFactory FFactory;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
    bool FDestroying = false;
};

// A collection that belongs to an object, which it names as its owner.
class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* owner, TItemFactory factory) : TCollection(std::move(factory)), FOwner(owner) {}
    TPersistent* Owner() const { return FOwner; }

private:
    TPersistent* FOwner;
};
