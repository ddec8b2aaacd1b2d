#pragma once
// TExDataConsumer: the object through which a control shows a data provider's items. The control
// owns it; it listens to the provider, keeps its extensions (item selection, view list) in step
// with the provider and the selected context, and tells the control of every change through
// OnChanging and OnChanged. Every access to the provider goes through the access bracket
// (BeginAccess/EndAccess), which makes this consumer and its context the provider's current ones.

#include "ExLib/run/data/ExDataIntf.h"
#include "ExLib/run/data/ExExtensible.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class TExDataConsumerAggregatedObject;
class TExCustomDataConsumerViewList;

// Reasons of OnChanging and OnChanged; extensions add their own (the view list 4).
enum : int { ccrProviderSet = 0, ccrProviderData = 1, ccrViewChange = 2, ccrContextSet = 3, ccrLevelIndent = 4 };
// The attribute that makes a consumer keep a view list.
constexpr int ConsumerAttributeViewList = 3;

using TExConsumerChangeEvent = std::function<void(TObject* Sender, int Reason)>;
using TExProviderChangeEvent = std::function<void(IExDataProvider* Provider, int Reason, IExInterface* Source)>;
using TExBeforeCreateExtensionEvent = std::function<void(TObject* Sender, TExConsumerExtensionClass& ExtensionClass)>;
using TExAfterCreateExtensionEvent = std::function<void(TObject* Sender, TExDataConsumerAggregatedObject* Extension)>;

class TExDataConsumer : public TExtensibleInterfacedPersistent,
                        public virtual IExDataConsumerLinks,
                        public virtual IExDataConsumerProviderAccess,
                        public virtual IExDataProviderListener,
                        public virtual IExDataConsumer {
public:
    // Duplicate attributes are held once.
    TExDataConsumer(TComponent* owner, const std::vector<int>& attributes);
    ~TExDataConsumer() override;

    // The owning control frees the consumer; it is not counted.
    int AddRef() override { return -1; }
    int Release() override { return -1; }

    TComponent* OwnerComponent() override { return FOwner; }
    bool HasAttribute(int attribute) override;
    void LinkedItemChanged(IExDataConsumerServer* server, IExDataItem* item) override;
    void AttachServer(IExDataConsumerServer* server) override;
    void DetachServer(IExDataConsumerServer* server) override;
    IExDataProvider* ProviderOf() override { return FProvider.get(); }
    void BeforeProviderChange(IExDataProvider* provider, int reason, IExInterface* source) override;
    void AfterProviderChange(IExDataProvider* provider, int reason, IExInterface* source) override;
    IExDataConsumer* ConsumerOfListener() override { return this; }

    IExDataProvider* Provider() const { return FProvider.get(); }
    void SetProvider(IExDataProvider* provider) { AssignProvider(provider); }
    // The name of the selected context ("" for none).
    std::string Context();
    // Selects a context by path; held until the provider comes while the owner is loading.
    void SetContext(const std::string& name);
    IExDataContext* ContextObject() { return ContextOf(); }
    // Selects a context of the provider (null: none); EExLibDataConsumer "The specified context
    // is not part of the same provider" for another provider's context.
    virtual void AssignContext(IExDataContext* context);
    // Whether a form would store Context: it is not the provider's first context.
    bool ContextIsStored();

    // A list control reports the item the user picked.
    void ReportItemSelected(IExDataItem* item);
    // The owning control calls it from its Loaded.
    virtual void AfterOwnerLoaded();

    // The access bracket; both need a provider.
    void BeginAccess();
    void EndAccess();
    // Runs `work` inside the access bracket, which closes also when it fails.
    template <class F>
    void WithAccess(F&& work)
    {
        BeginAccess();
        try {
            work();
        } catch (...) {
            EndAccess();
            throw;
        }
        EndAccess();
    }

    // Every extension but `origin` hears of the view change; OnChanged(2) follows in any case.
    void BroadcastViewChange(TExDataConsumerAggregatedObject* origin);
    std::vector<TExDataConsumerAggregatedObject*> ConsumerExtensions() const;
    // The view list, when the consumer keeps one.
    TExCustomDataConsumerViewList* ViewList() const;

    // Loading state.
    bool ExtensionLoadingPending() const;
    bool ContextLoadingPending() const;
    bool LoadPending() const { return ExtensionLoadingPending() || ContextLoadingPending(); }
    void MarkExtensionLoading() { FExtensionLoading = true; }

    virtual void NotifyChanging(int reason);
    // Repaints an owning control, then fires OnChanged.
    virtual void NotifyChanged(int reason);

    TExConsumerChangeEvent OnChanging;
    TExConsumerChangeEvent OnChanged;
    TExProviderChangeEvent OnProviderChanging;
    TExProviderChangeEvent OnProviderChanged;
    TExBeforeCreateExtensionEvent OnBeforeCreateExtension;
    TExAfterCreateExtensionEvent OnAfterCreateExtension;

protected:
    virtual void ExtensionAdded(TExDataConsumerAggregatedObject* extension);
    // Brings the extensions in line with what the provider asks for (and the view list).
    virtual void RefreshExtensions();
    virtual void AssignProvider(IExDataProvider* provider);
    virtual IExDataContext* ContextOf() { return FContext.get(); }

private:
    bool OwnerLoading() const;
    // Extensions that keep (by `keep`) stay and hear `switched`; the others are freed.
    void KeepOrRemoveExtensions(bool (TExDataConsumerAggregatedObject::*keep)(),
                                void (TExDataConsumerAggregatedObject::*switched)());
    void FinishExtensionLoading();

    TComponent* FOwner;
    TIntf<IExDataProvider> FProvider;
    TIntf<IExDataContext> FContext;
    std::optional<std::string> FPendingContext;
    bool FExtensionLoading = false;
    std::vector<int> FAttributes;
    std::vector<TIntf<IExDataConsumerServer>> FServers;
    bool FDestroying = false;
};

// An extension of a consumer.
class TExDataConsumerAggregatedObject : public TAggregatedPersistentEx {
public:
    explicit TExDataConsumerAggregatedObject(TExtensibleInterfacedPersistent& owner);

    TExDataConsumer& Consumer() const { return FConsumer; }
    // Marked when a change was reported while the consumer had no provider, and by
    // MarkLoadPending; such an extension survives a provider switch.
    bool StreamedWithoutProvider() const { return FStreamedWithoutProvider; }

    virtual void DataChanging(IExDataProvider* provider, int reason, IExInterface* source);
    virtual void DataChanged(IExDataProvider* provider, int reason, IExInterface* source);
    virtual void FinishLoading() {}
    virtual bool KeepOnProviderSwitch() { return false; }
    virtual bool KeepOnContextSwitch() { return true; }
    virtual void ViewChangedBy(TExDataConsumerAggregatedObject* extension) { (void)extension; }
    virtual void ItemWasSelected(IExDataItem* item) { (void)item; }
    virtual void LinkedItemChanged(IExDataConsumerServer* server, IExDataItem* item);
    virtual void ProviderSwitching() {}
    virtual void ProviderSwitched() {}
    virtual void ContextSwitching() {}
    virtual void ContextSwitched() {}

protected:
    void NotifyChanged(int reason);
    void NotifyViewChanged() { FConsumer.BroadcastViewChange(this); }
    void MarkLoadPending();
    // The items the extension shows: the selected item's child list when the consumer selects
    // an item, else the provider's root list.
    IExDataItems* ExtensionRootItems();

private:
    TExDataConsumer& FConsumer;
    bool FStreamedWithoutProvider = false;
};

// The selected item of a consumer, by ID.
class TExDataConsumerItemSelect : public TExDataConsumerAggregatedObject, public virtual IExDataItemSelection {
public:
    using TExDataConsumerAggregatedObject::TExDataConsumerAggregatedObject;

    IExDataItem* SelectedItem() override { return FItem.get(); }
    void SelectItem(IExDataItem* item) override;
    // The selected item's ID ("" for none).
    std::string Item();
    // Selects by ID, searching the provider's items; held until the provider comes while the
    // owner is loading.
    void SetItem(const std::string& id);

    void FinishLoading() override;
    void DataChanging(IExDataProvider* provider, int reason, IExInterface* source) override;

    void WriteProperties(TWriter& writer) const override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    TIntf<IExDataItem> FItem;
    std::optional<std::string> FPendingID;
};

// The consumer extension class of T, as providers name it.
template <class T>
TExConsumerExtensionClass ConsumerExtensionClassOf()
{
    return {&typeid(T), [](TExDataConsumer& consumer) -> TExDataConsumerAggregatedObject* { return Construct<T>(consumer); }};
}

// The visible state of `item` as the provider's current consumer and the item see it: 3 for no
// item; 0 hides the item.
std::uint8_t ItemVisibleState(IExDataItem* item);
