#pragma once
// The interfaces of the data-provider framework: a provider publishes a tree of items (lists of
// items, each item possibly with a child list) and named contexts; consumers owned by controls
// listen to it and show its items. Pointers passed and returned here are not counted.

#include "ExLib/run/data/ExInterfaces.h"

#include "Platform/controls/ControlTypes.h"
#include "Platform/core/Types.h"

#include <cstdint>
#include <typeinfo>
#include <string>
#include <vector>

class TCanvas;
class TObject;
class TComponent;
class TCustomImageList;
class IExDataItem;
class IExDataItems;
class IExDataConsumer;
class IExDataContext;
class IExDataProviderListener;
class TExDataConsumer;
class TExDataConsumerAggregatedObject;

// Reasons a provider passes to BeforeChange and AfterChange.
enum : int {
    pcrAdd = 0,            // an item is added to a list (source: the list / the new item)
    pcrDelete = 1,         // an item is deleted (the item / none)
    pcrUpdateItem = 2,     // an item's caption or glyph settings change (the item / the item)
    pcrUpdateItems = 3,    // a list changes as a whole (the list / the list)
    pcrDestroy = 4,        // the provider is going away
    pcrContextAdd = 5,     // a context is added (the list's ancestor context / the new context)
    pcrContextDelete = 6,  // a context is deleted (the context / the ancestor context)
    pcrViewChange = 8,     // the view changed; consumers rebuild their views
};

// The draw state passed to painters: the low byte of the platform's owner-draw state.
using TProviderDrawState = std::uint8_t;
enum : TProviderDrawState {
    pdsSelected = 0x01, pdsGrayed = 0x02, pdsDisabled = 0x04, pdsChecked = 0x08,
    pdsFocused = 0x10, pdsDefault = 0x20, pdsHot = 0x40, pdsInactive = 0x80,
};
TProviderDrawState ProviderDrawStateOf(TOwnerDrawState state);

// A class of consumer extension that a provider asks its consumers to carry.
struct TExConsumerExtensionClass {
    const std::type_info* Type = nullptr;
    TExDataConsumerAggregatedObject* (*Create)(TExDataConsumer& consumer) = nullptr;
    explicit operator bool() const { return Type != nullptr; }
};

class IExDataProvider : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{62A7A17D-1E21-427E-861D-C92FBB9B09A6}";
    virtual void AttachListener(IExDataProviderListener* listener) = 0;
    virtual void DetachListener(IExDataProviderListener* listener) = 0;
    virtual IExDataItems* RootItems() = 0;
    virtual void BeforeChange(int reason, IExInterface* source) = 0;
    virtual void AfterChange(int reason, IExInterface* source) = 0;
    virtual std::vector<TExConsumerExtensionClass> ExtensionClasses() = 0;
    virtual void PushConsumer(IExDataConsumer* consumer) = 0;
    virtual IExDataConsumer* CurrentConsumer() = 0;
    virtual void PopConsumer() = 0;
    virtual void PushContext(IExDataContext* context) = 0;
    virtual void PopContext() = 0;
};

class IExDataItems : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{93747660-24FB-4294-BF4E-C7F88EA23983}";
    virtual int ItemCount() = 0;
    virtual IExDataItem* ItemAt(int index) = 0;
    virtual IExDataItem* ItemByPath(const std::string& path) = 0;
    virtual IExDataItem* ItemByIndexPath(const std::vector<int>& indices) = 0;
    virtual IExDataItem* ParentItem() = 0;
    virtual IExDataProvider* OwnerProvider() = 0;
    virtual TObject* Implementer() = 0;
    virtual bool CountsReferences() = 0;
    virtual void DropContext(IExDataContext* context) = 0;
};

class IExDataItem : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{C965CF64-A1F2-44A4-B856-3A4EC6B693E1}";
    virtual IExDataItems* OwnerItems() = 0;
    virtual int IndexInOwner() = 0;
    virtual TObject* Implementer() = 0;
    virtual std::string ItemID() = 0;
    virtual void DropContext(IExDataContext* context) = 0;
    virtual bool IsParentItemOf(IExDataItem* item, bool directOnly) = 0;
    virtual bool CanDelete() = 0;
};

class IExDataItemText : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{94FA56D9-281B-4252-B46D-15E7BADA70DA}";
    virtual std::string Caption() = 0;
    virtual void SetCaption(const std::string& value) = 0;
    virtual bool CaptionEditable() = 0;
};

class IExDataItemGlyph : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{6425D73A-90CF-42ED-9AB2-63125A4C0774}";
    virtual TAlignment Alignment() = 0;
    virtual void SetAlignment(TAlignment value) = 0;
    virtual int ImageIndex() = 0;
    virtual void SetImageIndex(int value) = 0;
    virtual int SelectedIndex() = 0;
    virtual void SetSelectedIndex(int value) = 0;
};

class IExDataItemFinder : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{0F5BDC79-893B-45C9-94E9-C2B2FD4ABFE7}";
    virtual IExDataItem* FindItemByID(const std::string& id, bool recursive) = 0;
};

class IExDataItemsPainter : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{4EA490F4-7CCF-44A1-AA26-5320CDE9FAFC}";
    virtual void PaintItemAt(TCanvas& canvas, const TRect& rect, int index, TProviderDrawState state) = 0;
    virtual TSize SizeOfItemAt(TCanvas& canvas, int index) = 0;
    virtual void PaintItem(TCanvas& canvas, const TRect& rect, IExDataItem* item, TProviderDrawState state) = 0;
    virtual TSize SizeOfItem(TCanvas& canvas, IExDataItem* item) = 0;
    virtual TSize TypicalItemSize(TCanvas& canvas) = 0;
};

class IExDataItemPainter : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{9E877A0D-01C2-4204-AA74-84D6516BBEB9}";
    virtual void PaintSelf(TCanvas& canvas, const TRect& rect, TProviderDrawState state) = 0;
    virtual TSize SizeOfSelf(TCanvas& canvas) = 0;
};

class IExDataItemsEditor : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{76611CC0-9DCD-4394-8B6E-1ADEF1942BC3}";
    virtual IExDataItem* AppendItem(IExDataItem* item) = 0;
    virtual IExDataItem* CreateItem() = 0;
    virtual void RemoveAll() = 0;
    virtual void RemoveAt(int index) = 0;
    virtual void RemoveItem(IExDataItem*& item) = 0;
};

class IExDataItemsImageLists : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{735755A6-AD11-460C-B985-46464D73EDBC}";
    virtual TCustomImageList* DisabledImages() = 0;
    virtual void SetDisabledImages(TCustomImageList* value) = 0;
    virtual TCustomImageList* HotImages() = 0;
    virtual void SetHotImages(TCustomImageList* value) = 0;
    virtual TCustomImageList* Images() = 0;
    virtual void SetImages(TCustomImageList* value) = 0;
};

class IExDataItemClick : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{86859A20-560D-4E9A-AC8B-2457789451B0}";
    // True when the click was handled.
    virtual bool Click(TComponent* sender) = 0;
};

class IExDataItemExtensionHook : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{7067F5C1-05DC-4DAC-A595-AF9151695FBB}";
    virtual void Notify() = 0;
    virtual bool Ask() = 0;
};

class IExDataItemVisibility : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{5BD81E0B-DAD2-4560-943A-205E0FF2A97F}";
    virtual std::uint8_t VisibleState() = 0;
};

// ---- contexts

class IExDataContextList : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{BA5DC787-29C6-40FA-9542-F0A1E92A2B30}";
    virtual IExDataProvider* OwnerProvider() = 0;
    virtual IExDataContext* AncestorContext() = 0;
    virtual int ContextCount() = 0;
    virtual IExDataContext* ContextAt(int index) = 0;
    virtual IExDataContext* ContextByPath(const std::string& path) = 0;
    virtual int IndexOfContext(IExDataContext* context) = 0;
};

class IExDataContext : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{F226D92A-3493-4EF8-9CE6-037357EB0CEA}";
    virtual TObject* Implementer() = 0;
    virtual IExDataContextList* OwnerList() = 0;
    virtual std::string ContextName() = 0;
    virtual bool CanDelete() = 0;
};

class IExDataContextNaming : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{530367D8-601C-4E36-B5F0-357160497C50}";
    virtual void Rename(const std::string& name) = 0;
};

// ---- consumers

class IExDataConsumer : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{B2F18D03-F615-4AA2-A51A-74D330C05C0E}";
    virtual TComponent* OwnerComponent() = 0;
    virtual bool HasAttribute(int attribute) = 0;
};

class IExDataConsumerLinks;

class IExDataConsumerServer : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "";
    // The provider of a linked consumer was switched.
    virtual void ProviderSwitched(IExDataConsumerLinks* consumer) = 0;
};

class IExDataConsumerLinks : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{D1AAAFDF-BEB1-44DB-B8D8-A60080CEF3C7}";
    virtual void LinkedItemChanged(IExDataConsumerServer* server, IExDataItem* item) = 0;
    virtual void AttachServer(IExDataConsumerServer* server) = 0;
    virtual void DetachServer(IExDataConsumerServer* server) = 0;
};

class IExDataConsumerProviderAccess : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{1F01D2E5-2ACB-4B84-AFE6-67E563FB470B}";
    virtual IExDataProvider* ProviderOf() = 0;
};

class IExDataProviderListener : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{5B9D1847-6D35-4D9C-8BC2-2054997AB120}";
    virtual void BeforeProviderChange(IExDataProvider* provider, int reason, IExInterface* source) = 0;
    virtual void AfterProviderChange(IExDataProvider* provider, int reason, IExInterface* source) = 0;
    virtual IExDataConsumer* ConsumerOfListener() = 0;
};

class IExDataItemSelection : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{F11554AE-263D-4C04-BCDB-79F04DE89609}";
    virtual IExDataItem* SelectedItem() = 0;
    virtual void SelectItem(IExDataItem* item) = 0;
};

class IExDataConsumerVisibility : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{09EBDED8-502E-4C2E-9842-312850FF3358}";
    // The visible state of `item` for this consumer; 0 hides it.
    virtual std::uint8_t VisibleStateOf(IExDataItem* item) = 0;
};

class IExDataViewList : public virtual IExInterface {
public:
    static constexpr std::string_view Guid = "{F3A78F68-D998-4877-8C73-1E0D2987808D}";
    virtual int InitialExpandDepth() = 0;
    virtual void SetInitialExpandDepth(int value) = 0;
    virtual bool ExpandForNewItems() = 0;
    virtual void SetExpandForNewItems(bool value) = 0;
    virtual int LevelIndent() = 0;
    virtual void SetLevelIndent(int value) = 0;
    virtual void BuildView() = 0;
    virtual void RevealItem(IExDataItem* item) = 0;
    virtual void FlipExpanded(int row) = 0;
    virtual int RowOfItem(IExDataItem* item) = 0;
    virtual int RowOfID(const std::string& id) = 0;
    virtual int ChildPositionOfItem(IExDataItem* item) = 0;
    virtual int ChildPositionOfID(const std::string& id) = 0;
    virtual IExDataItem* RowItem(int row) = 0;
    virtual int RowLevel(int row) = 0;
    virtual bool RowExpanded(int row) = 0;
    virtual bool RowHasChildren(int row) = 0;
    virtual IExDataItem* RowParentItem(int row) = 0;
    virtual int RowParent(int row) = 0;
    virtual IExDataItem* NextSiblingItem(int row) = 0;
    virtual int NextSibling(int row) = 0;
    virtual IExDataItem* ChildItemOf(IExDataItem* parent, int n) = 0;
    virtual IExDataItem* ChildItemAt(int parentRow, int n) = 0;
    virtual int ChildRowOf(IExDataItem* parent, int n) = 0;
    virtual int ChildRowAt(int parentRow, int n) = 0;
    virtual std::vector<std::int32_t> RowLineInfo(int row) = 0;
    virtual int RowCount() = 0;
};
