#pragma once
// Data items and item lists: the tree a provider publishes. An item has an ID and answers for
// its text, glyph and child list through extensions; a list finds items by ID, by a path of IDs
// ("a\b", "../c", "\x" from the root) and by a path of indices. Items and lists tell the
// provider before and after each change.

#include "ExLib/run/data/ExDataIntf.h"
#include "ExLib/run/data/ExExtensible.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TExBaseDataItems;
class TExBaseDataItemSubItems;

class TExBaseDataItem : public TExtensibleInterfacedPersistent, public virtual IExDataItem {
public:
    explicit TExBaseDataItem(IExDataItems* ownerItems);

    // Counted only when the owning list counts references; around the counting the list's
    // provider is put into no context.
    int AddRef() override;
    int Release() override;

    IExDataItems* OwnerItems() override { return FOwnerItems; }
    int IndexInOwner() override;
    TObject* Implementer() override { return this; }
    std::string ItemID() override { return FID; }
    void DropContext(IExDataContext* context) override;
    bool IsParentItemOf(IExDataItem* item, bool directOnly) override;
    bool CanDelete() override { return true; }

    const std::string& ID() const { return FID; }
    void SetID(const std::string& id) { FID = id; }
    // A new ID: the 16 bytes of a new GUID as 32 upper-case hex digits.
    virtual void MakeFreshID();

    // The extensions that answer IExDataItemExtensionHook: each is told; all are asked (true
    // when none answers false).
    void NotifyExtensionHooks();
    bool AskExtensionHooks();

    void AfterConstruction() override;
    void WriteProperties(TWriter& writer) const override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    // Runs the counting with the list's provider in no context; -1 in an uncounted list.
    int Counted(const std::function<int()>& count);
    void WriteSubItems(TWriter& writer) const;
    void ReadSubItems(TReader& reader);

    IExDataItems* FOwnerItems;
    TIntf<IExDataItems> FOwnerRef;
    std::string FID;
};

// An extension of an item: it answers for its own interfaces and sends every other question,
// except IExDataItemExtensionHook, to the item.
class TExDataItemAggregatedObject : public TAggregatedPersistentEx {
public:
    using TAggregatedPersistentEx::TAggregatedPersistentEx;
    IExInterface* QueryInterface(const TExInterfaceID& iid) override;
    virtual void DropContext(IExDataContext* context) { (void)context; }
    IExDataItem* Item() const { return dynamic_cast<IExDataItem*>(&Owner()); }

protected:
    // The provider of the item's list, told before and after a change of the item.
    void ItemChanging();
    void ItemChanged();
};

class TExBaseDataItemTextImpl : public TExDataItemAggregatedObject, public virtual IExDataItemText {
public:
    using TExDataItemAggregatedObject::TExDataItemAggregatedObject;
};

class TExDataItemTextImpl : public TExBaseDataItemTextImpl {
public:
    using TExBaseDataItemTextImpl::TExBaseDataItemTextImpl;
    std::string Caption() override { return FCaption; }
    // A different caption (compared case-sensitively) is stored between BeforeChange and
    // AfterChange with reason 2.
    void SetCaption(const std::string& value) override;
    bool CaptionEditable() override { return true; }

    void WriteProperties(TWriter& writer) const override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    std::string FCaption;
};

class TExBaseDataItemImageImpl : public TExDataItemAggregatedObject, public virtual IExDataItemGlyph {
public:
    using TExDataItemAggregatedObject::TExDataItemAggregatedObject;
};

class TExDataItemImageImpl : public TExBaseDataItemImageImpl {
public:
    using TExBaseDataItemImageImpl::TExBaseDataItemImageImpl;
    TAlignment Alignment() override { return FAlignment; }
    void SetAlignment(TAlignment value) override;
    int ImageIndex() override { return FImageIndex; }
    void SetImageIndex(int value) override;
    int SelectedIndex() override { return FSelectedIndex; }
    void SetSelectedIndex(int value) override;

    void WriteProperties(TWriter& writer) const override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    template <class T>
    void Change(T& field, T value);
    TAlignment FAlignment = taLeftJustify;
    int FImageIndex = 0;
    int FSelectedIndex = 0;
};

// Makes an item answer for its child list, and for the child list's extensions.
class TExBaseDataItemSubItems : public TExDataItemAggregatedObject {
public:
    TExBaseDataItemSubItems(TExtensibleInterfacedPersistent& owner, TExBaseDataItems& items);
    // Breaks the cycle: the child list lets go of its parent before the list is released.
    ~TExBaseDataItemSubItems() override;
    IExInterface* GetInterface(const TExInterfaceID& iid) override;
    TExBaseDataItems& Items() const { return *FList; }

private:
    friend class TExBaseDataItems;
    TExBaseDataItems* FList;
    TIntf<IExDataItems> FItems;
};

class TExBaseDataItems : public TExtensibleInterfacedPersistent,
                         public virtual IExDataItemFinder,
                         public virtual IExDataItems {
public:
    TExBaseDataItems() = default;
    explicit TExBaseDataItems(IExDataProvider* provider);
    // A child list: it takes the provider of the parent's list and, when the parent is an
    // extensible object, gives it the extension that answers for this list.
    explicit TExBaseDataItems(IExDataItem* parentItem);
    ~TExBaseDataItems() override;

    virtual void AddItemObject(TExBaseDataItem* item) = 0;
    virtual bool ItemIsStreamable(const TExBaseDataItem& item) const;
    IExDataItem* ParentItem() override { return FParentItem; }
    bool CountsReferences() override { return true; }
    IExDataProvider* OwnerProvider() override { return FProvider.get(); }
    TObject* Implementer() override { return this; }

    IExDataItem* ItemByPath(const std::string& path) override;
    IExDataItem* ItemByIndexPath(const std::vector<int>& indices) override;
    void DropContext(IExDataContext* context) override;
    IExDataItem* FindItemByID(const std::string& id, bool recursive) override;

    void WriteProperties(TWriter& writer) const override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    // The items, in index order, as objects (for streaming).
    virtual std::vector<TExBaseDataItem*> ItemObjects() const = 0;

private:
    friend class TExBaseDataItemSubItems;
    void ReadItems(TReader& reader);

    TIntf<IExDataProvider> FProvider;
    IExDataItem* FParentItem = nullptr;
    TIntf<IExDataItem> FParentRef;
    TExBaseDataItemSubItems* FSubItems = nullptr;
};

// An extension of an item list.
class TExDataItemsAggregatedObject : public TAggregatedPersistentEx {
public:
    using TAggregatedPersistentEx::TAggregatedPersistentEx;
    virtual void DropContext(IExDataContext* context) { (void)context; }
    IExDataItems* Items() const { return dynamic_cast<IExDataItems*>(&Owner()); }
    TExBaseDataItems* ItemsObject() const { return dynamic_cast<TExBaseDataItems*>(&Owner()); }

protected:
    // The list's provider, told before and after a change; nothing without one.
    void NotifyBefore(int reason, IExInterface* source) const;
    void NotifyAfter(int reason, IExInterface* source) const;
};

// A list that owns its items as objects; the items are not reference counted.
class TExDataItemsList : public TExBaseDataItems {
public:
    using TExBaseDataItems::TExBaseDataItems;
    ~TExDataItemsList() override;

    void AddItemObject(TExBaseDataItem* item) override;
    bool CountsReferences() override { return false; }
    int ItemCount() override { return static_cast<int>(FItems.size()); }
    // EListError "List index out of bounds (%d)" for an index outside the list.
    IExDataItem* ItemAt(int index) override;

    // Removes the item at `index` and frees it.
    void DeleteObject(int index);
    // Removes every item and frees them.
    void ClearObjects();
    int IndexOfObject(const TExBaseDataItem* item) const;

protected:
    std::vector<TExBaseDataItem*> ItemObjects() const override;

private:
    std::vector<std::unique_ptr<TExBaseDataItem>> FItems;
};

// The child list of `item` (null when it has none).
IExDataItems* ChildItemsOf(IExDataItem* item);
