#include "ExLib/run/data/ExDataItems.h"

#include "ExLib/run/common/ExResources.h"
#include "ExLib/run/common/ExStrUtils.h"
#include "ExLib/run/data/ExDataClasses.h"

#include "Platform/files/PropertyStream.h"
#include "Platform/text/Format.h"

#include <QUuid>

IExDataItems* ChildItemsOf(IExDataItem* item)
{
    return Supports<IExDataItems>(item);
}

TProviderDrawState ProviderDrawStateOf(TOwnerDrawState state)
{
    return static_cast<TProviderDrawState>(state.Bits() & 0xFF);
}

namespace {

IExDataProvider* ProviderOfItem(IExDataItem* item)
{
    IExDataItems* owner = item ? item->OwnerItems() : nullptr;
    return owner ? owner->OwnerProvider() : nullptr;
}

// Reads the list begin and the "ClassName" property of a streamed element.
std::string ReadElementClassName(TReader& reader)
{
    reader.ReadListBegin();
    if (!SameTextIgnoringCase(reader.ReadStr(), "ClassName"))
        throw EReadError(ExRes::MissingClassName);
    return reader.ReadString();
}

void RequireCollection(TReader& reader)
{
    if (reader.ReadValue() != TValueType::vaCollection)
        throw EReadError(ExRes::ExpectedCollection);
}

} // namespace

// ---- item

TExBaseDataItem::TExBaseDataItem(IExDataItems* ownerItems) : FOwnerItems(ownerItems)
{
    if (ownerItems && ownerItems->CountsReferences())
        FOwnerRef = TIntf<IExDataItems>(ownerItems);
}

void TExBaseDataItem::AfterConstruction()
{
    MakeFreshID();
    TExtensibleInterfacedPersistent::AfterConstruction();
}

int TExBaseDataItem::Counted(const std::function<int()>& count)
{
    if (!FOwnerItems || !FOwnerItems->CountsReferences())
        return -1;
    // why: the release may free this item, so the provider is fetched first.
    IExDataProvider* provider = FOwnerItems->OwnerProvider();
    if (provider)
        provider->PushContext(nullptr);
    int result = 0;
    try {
        result = count();
    } catch (...) {
        if (provider)
            provider->PopContext();
        throw;
    }
    if (provider)
        provider->PopContext();
    return result;
}

int TExBaseDataItem::AddRef()
{
    return Counted([this] { return TExtensibleInterfacedPersistent::AddRef(); });
}

int TExBaseDataItem::Release()
{
    return Counted([this] { return TExtensibleInterfacedPersistent::Release(); });
}

void TExBaseDataItem::MakeFreshID()
{
    const QUuid guid = QUuid::createUuid();
    // The bytes of the GUID as it lies in memory: three little-endian numbers, then eight bytes.
    unsigned char bytes[16];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(guid.data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) {
        bytes[4 + i] = static_cast<unsigned char>(guid.data2 >> (8 * i));
        bytes[6 + i] = static_cast<unsigned char>(guid.data3 >> (8 * i));
    }
    for (int i = 0; i < 8; ++i)
        bytes[8 + i] = guid.data4[i];
    FID.clear();
    BytesToHexText(bytes, 16, FID);
}

int TExBaseDataItem::IndexInOwner()
{
    if (!FOwnerItems)
        return -1;
    for (int i = FOwnerItems->ItemCount() - 1; i >= 0; --i)
        if (SameObject(FOwnerItems->ItemAt(i), this))
            return i;
    return -1;
}

bool TExBaseDataItem::IsParentItemOf(IExDataItem* item, bool directOnly)
{
    IExDataItems* owner = item ? item->OwnerItems() : nullptr;
    IExDataItem* parent = owner ? owner->ParentItem() : nullptr;
    while (parent) {
        if (SameObject(parent, this))
            return true;
        if (directOnly)
            return false;
        owner = parent->OwnerItems();
        parent = owner ? owner->ParentItem() : nullptr;
    }
    return false;
}

void TExBaseDataItem::DropContext(IExDataContext* context)
{
    for (int i = 0; i < ExtensionCount(); ++i)
        if (auto* extension = dynamic_cast<TExDataItemAggregatedObject*>(Extension(i)))
            extension->DropContext(context);
    if (IExDataItems* children = ChildItemsOf(this))
        children->DropContext(context);
}

void TExBaseDataItem::NotifyExtensionHooks()
{
    for (int i = 0; i < ExtensionCount(); ++i)
        if (auto* hook = dynamic_cast<IExDataItemExtensionHook*>(Extension(i)->GetInterface(IIDOf<IExDataItemExtensionHook>())))
            hook->Notify();
}

bool TExBaseDataItem::AskExtensionHooks()
{
    for (int i = 0; i < ExtensionCount(); ++i)
        if (auto* hook = dynamic_cast<IExDataItemExtensionHook*>(Extension(i)->GetInterface(IIDOf<IExDataItemExtensionHook>())))
            if (!hook->Ask())
                return false;
    return true;
}

void TExBaseDataItem::WriteProperties(TWriter& writer) const
{
    writer.WritePropName("ID");
    writer.WriteString(FID);
    TExtensibleInterfacedPersistent::WriteProperties(writer);
    WriteSubItems(writer);
}

bool TExBaseDataItem::ReadProperty(const std::string& name, TReader& reader)
{
    if (SameTextIgnoringCase(name, "ID")) {
        FID = reader.ReadString();
        return true;
    }
    if (SameTextIgnoringCase(name, "SubItems")) {
        HoldCount();
        try {
            ReadSubItems(reader);
        } catch (...) {
            ReleaseHold();
            throw;
        }
        ReleaseHold();
        return true;
    }
    return TExtensibleInterfacedPersistent::ReadProperty(name, reader);
}

void TExBaseDataItem::WriteSubItems(TWriter& writer) const
{
    // why: the item answers for its child list only through a non-const lookup.
    auto* self = const_cast<TExBaseDataItem*>(this);
    auto* children = ChildItemsOf(self);
    if (!children)
        return;
    const auto* list = dynamic_cast<const TExBaseDataItems*>(children->Implementer());
    writer.WritePropName("SubItems");
    const TPropPathScope noPath(writer);
    writer.WriteCollectionBegin();
    writer.WriteListBegin();
    writer.WritePropName("ClassName");
    writer.WriteString(list->ClassName());
    list->WriteProperties(writer);
    writer.WriteListEnd();
    writer.WriteListEnd();
}

void TExBaseDataItem::ReadSubItems(TReader& reader)
{
    RequireCollection(reader);
    const TExDataClass& dataClass = FindDataClass(ReadElementClassName(reader));
    if (!dataClass.NewItems)
        throw EReadError(ExRes::InvalidClassType);
    if (auto* subItems = FindExtension<TExBaseDataItemSubItems>(); subItems && subItems->Items().ClassName() != dataClass.Name)
        delete subItems;
    TExBaseDataItems* list = nullptr;
    if (auto* subItems = FindExtension<TExBaseDataItemSubItems>())
        list = &subItems->Items();
    else
        list = dataClass.NewItems(*this);
    list->ReadProperties(reader);
    reader.ReadListEnd();
    reader.ReadListEnd();
}

// ---- item extensions

IExInterface* TExDataItemAggregatedObject::QueryInterface(const TExInterfaceID& iid)
{
    if (IExInterface* own = GetInterface(iid))
        return own;
    if (&iid == &IIDOf<IExDataItemExtensionHook>())
        return nullptr;
    return TAggregatedPersistentEx::QueryInterface(iid);
}

void TExDataItemAggregatedObject::ItemChanging()
{
    if (IExDataProvider* provider = ProviderOfItem(Item()))
        provider->BeforeChange(pcrUpdateItem, Item());
}

void TExDataItemAggregatedObject::ItemChanged()
{
    if (IExDataProvider* provider = ProviderOfItem(Item()))
        provider->AfterChange(pcrUpdateItem, Item());
}

void TExDataItemTextImpl::SetCaption(const std::string& value)
{
    if (value == FCaption)
        return;
    ItemChanging();
    FCaption = value;
    ItemChanged();
}

void TExDataItemTextImpl::WriteProperties(TWriter& writer) const
{
    writer.WritePropName("Caption");
    writer.WriteString(FCaption);
}

bool TExDataItemTextImpl::ReadProperty(const std::string& name, TReader& reader)
{
    if (!SameTextIgnoringCase(name, "Caption"))
        return false;
    FCaption = reader.ReadString();
    return true;
}

template <class T>
void TExDataItemImageImpl::Change(T& field, T value)
{
    if (value == field)
        return;
    ItemChanging();
    field = value;
    ItemChanged();
}

void TExDataItemImageImpl::SetAlignment(TAlignment value)
{
    Change(FAlignment, value);
}

void TExDataItemImageImpl::SetImageIndex(int value)
{
    Change(FImageIndex, value);
}

void TExDataItemImageImpl::SetSelectedIndex(int value)
{
    Change(FSelectedIndex, value);
}

namespace {

constexpr const char* AlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};

} // namespace

void TExDataItemImageImpl::WriteProperties(TWriter& writer) const
{
    // Values equal to their defaults are not stored.
    if (FAlignment != taLeftJustify) {
        writer.WritePropName("Alignment");
        writer.WriteIdent(AlignmentNames[FAlignment]);
    }
    if (FImageIndex != 0) {
        writer.WritePropName("ImageIndex");
        writer.WriteInteger(FImageIndex);
    }
    if (FSelectedIndex != 0) {
        writer.WritePropName("SelectedIndex");
        writer.WriteInteger(FSelectedIndex);
    }
}

bool TExDataItemImageImpl::ReadProperty(const std::string& name, TReader& reader)
{
    if (SameTextIgnoringCase(name, "Alignment")) {
        const std::string ident = reader.ReadIdent();
        for (int i = 0; i < 3; ++i)
            if (SameTextIgnoringCase(ident, AlignmentNames[i])) {
                FAlignment = static_cast<TAlignment>(i);
                return true;
            }
        throw EReadError("Invalid property value");
    }
    if (SameTextIgnoringCase(name, "ImageIndex")) {
        FImageIndex = reader.ReadInteger();
        return true;
    }
    if (SameTextIgnoringCase(name, "SelectedIndex")) {
        FSelectedIndex = reader.ReadInteger();
        return true;
    }
    return false;
}

TExBaseDataItemSubItems::TExBaseDataItemSubItems(TExtensibleInterfacedPersistent& owner, TExBaseDataItems& items)
    : TExDataItemAggregatedObject(owner), FList(&items), FItems(&items)
{
}

TExBaseDataItemSubItems::~TExBaseDataItemSubItems()
{
    if (FList) {
        FList->FSubItems = nullptr;
        FList->FParentRef.reset();
    }
    FItems.reset();
}

IExInterface* TExBaseDataItemSubItems::GetInterface(const TExInterfaceID& iid)
{
    if (IExInterface* own = TExDataItemAggregatedObject::GetInterface(iid))
        return own;
    return FItems ? FItems->QueryInterface(iid) : nullptr;
}

// ---- item lists

TExBaseDataItems::TExBaseDataItems(IExDataProvider* provider) : FProvider(provider) {}

TExBaseDataItems::TExBaseDataItems(IExDataItem* parentItem)
    : TExBaseDataItems(parentItem && parentItem->OwnerItems() ? parentItem->OwnerItems()->OwnerProvider() : nullptr)
{
    FParentItem = parentItem;
    if (parentItem && parentItem->OwnerItems() && parentItem->OwnerItems()->CountsReferences())
        FParentRef = TIntf<IExDataItem>(parentItem);
    if (auto* extensible = dynamic_cast<TExtensibleInterfacedPersistent*>(parentItem))
        FSubItems = Construct<TExBaseDataItemSubItems>(*extensible, *this);
}

TExBaseDataItems::~TExBaseDataItems()
{
    if (TExBaseDataItemSubItems* subItems = std::exchange(FSubItems, nullptr)) {
        // why: this list is going already; its extension must neither release it nor touch it.
        subItems->FItems.detach();
        subItems->FList = nullptr;
        delete subItems;
    }
}

bool TExBaseDataItems::ItemIsStreamable(const TExBaseDataItem& item) const
{
    return IsDataClassRegistered(item.ClassName());
}

IExDataItem* TExBaseDataItems::ItemByPath(const std::string& path)
{
    IExDataItems* root = FProvider ? FProvider->RootItems() : nullptr;
    IExDataItems* list = this;
    std::string rest = path;
    IExDataItem* result = nullptr;
    while (list && !result && !rest.empty()) {
        const size_t separator = rest.find_first_of("\\/");
        const std::string segment = rest.substr(0, separator);
        std::string after = separator == std::string::npos ? std::string() : rest.substr(separator + 1);
        if (segment == "..") {
            IExDataItem* parent = list->ParentItem();
            list = parent ? parent->OwnerItems() : nullptr;
            rest = std::move(after);
        } else if (segment.empty() && FParentItem && !SameObject(list, root)) {
            // A leading separator starts again at the root; the next pass, there, drops it.
            list = root;
        } else {
            IExDataItem* found = nullptr;
            for (int i = list->ItemCount() - 1; i >= 0 && !found; --i)
                if (IExDataItem* item = list->ItemAt(i); SameTextIgnoringCase(item->ItemID(), segment))
                    found = item;
            rest = std::move(after);
            if (found) {
                if (rest.empty())
                    result = found;
                else
                    list = ChildItemsOf(found);
            }
        }
    }
    return result;
}

IExDataItem* TExBaseDataItems::ItemByIndexPath(const std::vector<int>& indices)
{
    IExDataItems* list = this;
    IExDataItem* item = nullptr;
    for (int index : indices) {
        if (item && !(list = ChildItemsOf(item)))
            return nullptr;
        item = list->ItemAt(index);
    }
    return item;
}

void TExBaseDataItems::DropContext(IExDataContext* context)
{
    for (int i = 0; i < ExtensionCount(); ++i)
        if (auto* extension = dynamic_cast<TExDataItemsAggregatedObject*>(Extension(i)))
            extension->DropContext(context);
    for (int i = 0; i < ItemCount(); ++i)
        ItemAt(i)->DropContext(context);
}

IExDataItem* TExBaseDataItems::FindItemByID(const std::string& id, bool recursive)
{
    IExDataItem* result = ItemByPath(id);
    for (int i = ItemCount() - 1; !result && recursive && i >= 0; --i)
        if (auto* finder = Supports<IExDataItemFinder>(ChildItemsOf(ItemAt(i))))
            result = finder->FindItemByID(id, true);
    return result;
}

void TExBaseDataItems::WriteProperties(TWriter& writer) const
{
    TExtensibleInterfacedPersistent::WriteProperties(writer);
    writer.WritePropName("Items");
    const TPropPathScope noPath(writer);
    writer.WriteCollectionBegin();
    for (const TExBaseDataItem* item : ItemObjects()) {
        if (!ItemIsStreamable(*item))
            continue;
        writer.WriteListBegin();
        writer.WritePropName("ClassName");
        writer.WriteString(item->ClassName());
        item->WriteProperties(writer);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

bool TExBaseDataItems::ReadProperty(const std::string& name, TReader& reader)
{
    if (!SameTextIgnoringCase(name, "Items"))
        return TExtensibleInterfacedPersistent::ReadProperty(name, reader);
    ReadItems(reader);
    return true;
}

void TExBaseDataItems::ReadItems(TReader& reader)
{
    RequireCollection(reader);
    while (!reader.EndOfList()) {
        const TExDataClass& dataClass = FindDataClass(ReadElementClassName(reader));
        if (!dataClass.NewItem)
            throw EReadError(ExRes::InvalidClassType);
        std::unique_ptr<TExBaseDataItem> item(dataClass.NewItem(*this));
        TExBaseDataItem* added = item.get();
        AddItemObject(added);
        item.release();
        added->ReadProperties(reader);
        reader.ReadListEnd();
    }
    reader.ReadListEnd();
}

void TExDataItemsAggregatedObject::NotifyBefore(int reason, IExInterface* source) const
{
    if (IExDataProvider* provider = Items() ? Items()->OwnerProvider() : nullptr)
        provider->BeforeChange(reason, source);
}

void TExDataItemsAggregatedObject::NotifyAfter(int reason, IExInterface* source) const
{
    if (IExDataProvider* provider = Items() ? Items()->OwnerProvider() : nullptr)
        provider->AfterChange(reason, source);
}

TExDataItemsList::~TExDataItemsList()
{
    ClearObjects();
}

void TExDataItemsList::AddItemObject(TExBaseDataItem* item)
{
    FItems.emplace_back(item);
}

IExDataItem* TExDataItemsList::ItemAt(int index)
{
    if (index < 0 || index >= ItemCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FItems[static_cast<size_t>(index)].get();
}

void TExDataItemsList::DeleteObject(int index)
{
    ItemAt(index);
    // why: the item leaves the list before it goes, so that nothing sees it half destroyed.
    std::unique_ptr<TExBaseDataItem> item = std::move(FItems[static_cast<size_t>(index)]);
    FItems.erase(FItems.begin() + index);
}

void TExDataItemsList::ClearObjects()
{
    std::vector<std::unique_ptr<TExBaseDataItem>> items;
    items.swap(FItems);
}

int TExDataItemsList::IndexOfObject(const TExBaseDataItem* item) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == item)
            return static_cast<int>(i);
    return -1;
}

std::vector<TExBaseDataItem*> TExDataItemsList::ItemObjects() const
{
    std::vector<TExBaseDataItem*> objects;
    objects.reserve(FItems.size());
    for (const auto& item : FItems)
        objects.push_back(item.get());
    return objects;
}
