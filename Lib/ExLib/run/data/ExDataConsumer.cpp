#include "ExLib/run/data/ExDataConsumer.h"

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/common/ExResources.h"
#include "ExLib/run/data/ExDataItems.h"
#include "ExLib/run/data/ExDataViewList.h"

#include "Platform/controls/Control.h"
#include "Platform/files/PropertyStream.h"
#include "Platform/text/Format.h"

#include <algorithm>

// ---- consumer

TExDataConsumer::TExDataConsumer(TComponent* owner, const std::vector<int>& attributes) : FOwner(owner)
{
    for (int attribute : attributes)
        if (!HasAttribute(attribute))
            FAttributes.push_back(attribute);
}

TExDataConsumer::~TExDataConsumer()
{
    FDestroying = true;
    OnChanging = nullptr;
    OnChanged = nullptr;
    OnProviderChanging = nullptr;
    OnProviderChanged = nullptr;
    OnBeforeCreateExtension = nullptr;
    OnAfterCreateExtension = nullptr;
    try {
        AssignProvider(nullptr);
    } catch (...) {
        // why: a provider that fails while letting go must not stop the control's destruction.
    }
    FServers.clear();
}

bool TExDataConsumer::HasAttribute(int attribute)
{
    return std::find(FAttributes.begin(), FAttributes.end(), attribute) != FAttributes.end();
}

bool TExDataConsumer::OwnerLoading() const
{
    return FOwner && FOwner->ComponentState().Contains(csLoading);
}

std::vector<TExDataConsumerAggregatedObject*> TExDataConsumer::ConsumerExtensions() const
{
    std::vector<TExDataConsumerAggregatedObject*> extensions;
    for (int i = 0; i < ExtensionCount(); ++i)
        if (auto* extension = dynamic_cast<TExDataConsumerAggregatedObject*>(Extension(i)))
            extensions.push_back(extension);
    return extensions;
}

TExCustomDataConsumerViewList* TExDataConsumer::ViewList() const
{
    for (TExDataConsumerAggregatedObject* extension : ConsumerExtensions())
        if (auto* viewList = dynamic_cast<TExCustomDataConsumerViewList*>(extension))
            return viewList;
    return nullptr;
}

void TExDataConsumer::LinkedItemChanged(IExDataConsumerServer* server, IExDataItem* item)
{
    for (TExDataConsumerAggregatedObject* extension : ConsumerExtensions())
        extension->LinkedItemChanged(server, item);
}

void TExDataConsumer::AttachServer(IExDataConsumerServer* server)
{
    FServers.emplace_back(server);
}

void TExDataConsumer::DetachServer(IExDataConsumerServer* server)
{
    auto same = [server](const TIntf<IExDataConsumerServer>& s) { return SameObject(s.get(), server); };
    FServers.erase(std::remove_if(FServers.begin(), FServers.end(), same), FServers.end());
}

bool TExDataConsumer::ExtensionLoadingPending() const
{
    if (FExtensionLoading && !OwnerLoading())
        return true;
    const auto extensions = ConsumerExtensions();
    return std::any_of(extensions.begin(), extensions.end(),
                       [](const TExDataConsumerAggregatedObject* e) { return e->StreamedWithoutProvider(); });
}

bool TExDataConsumer::ContextLoadingPending() const
{
    return FPendingContext.has_value() && !OwnerLoading();
}

void TExDataConsumer::NotifyChanging(int reason)
{
    if (OnChanging)
        OnChanging(this, reason);
}

void TExDataConsumer::NotifyChanged(int reason)
{
    if (auto* control = dynamic_cast<TWinControlCore*>(FOwner); control && !FDestroying)
        control->Invalidate();
    if (OnChanged)
        OnChanged(this, reason);
}

void TExDataConsumer::BeginAccess()
{
    IExDataProvider* provider = FProvider.get();
    provider->PushConsumer(this);
    try {
        provider->PushContext(FContext.get());
    } catch (...) {
        provider->PopConsumer();
        throw;
    }
}

void TExDataConsumer::EndAccess()
{
    IExDataProvider* provider = FProvider.get();
    IExDataConsumer* current = provider->CurrentConsumer();
    provider->PopConsumer();
    try {
        provider->PopContext();
    } catch (...) {
        provider->PushConsumer(current);
        throw;
    }
}

void TExDataConsumer::BroadcastViewChange(TExDataConsumerAggregatedObject* origin)
{
    try {
        for (TExDataConsumerAggregatedObject* extension : ConsumerExtensions())
            if (extension != origin)
                extension->ViewChangedBy(origin);
    } catch (...) {
        NotifyChanged(ccrViewChange);
        throw;
    }
    NotifyChanged(ccrViewChange);
}

void TExDataConsumer::KeepOrRemoveExtensions(bool (TExDataConsumerAggregatedObject::*keep)(),
                                             void (TExDataConsumerAggregatedObject::*switched)())
{
    for (TExDataConsumerAggregatedObject* extension : ConsumerExtensions()) {
        if (extension->StreamedWithoutProvider() || (extension->*keep)())
            (extension->*switched)();
        else
            delete extension;
    }
}

void TExDataConsumer::AssignProvider(IExDataProvider* provider)
{
    if (SameObject(provider, FProvider.get()))
        return;
    NotifyChanging(ccrProviderSet);
    if (FProvider)
        FProvider->DetachListener(this);
    // why: extensions waiting for a form's values must not be switched or dropped meanwhile.
    const bool switchExtensions = !FPendingContext && !FExtensionLoading;
    if (switchExtensions)
        for (TExDataConsumerAggregatedObject* extension : ConsumerExtensions())
            extension->ProviderSwitching();
    FProvider = TIntf<IExDataProvider>(provider);
    if (provider)
        provider->AttachListener(this);
    if (ContextLoadingPending()) {
        const std::string name = *FPendingContext;
        FPendingContext.reset();
        SetContext(name);
    } else if (auto* contexts = Supports<IExDataContextList>(provider); contexts && contexts->ContextCount() > 0) {
        AssignContext(contexts->ContextAt(0));
    } else {
        AssignContext(nullptr);
    }
    if (switchExtensions)
        KeepOrRemoveExtensions(&TExDataConsumerAggregatedObject::KeepOnProviderSwitch,
                               &TExDataConsumerAggregatedObject::ProviderSwitched);
    RefreshExtensions();
    if (!LoadPending())
        for (const TIntf<IExDataConsumerServer>& server : std::vector<TIntf<IExDataConsumerServer>>(FServers))
            server->ProviderSwitched(this);
    if (ExtensionLoadingPending() && FProvider)
        FinishExtensionLoading();
    BroadcastViewChange(nullptr);
    NotifyChanged(ccrProviderSet);
}

void TExDataConsumer::AssignContext(IExDataContext* context)
{
    if (SameObject(context, FContext.get()))
        return;
    if (context) {
        IExDataContextList* list = context->OwnerList();
        if (!list || !SameObject(list->OwnerProvider(), FProvider.get()))
            throw EExLibDataConsumer(ExRes::ContextOfOtherProvider);
    }
    NotifyChanging(ccrContextSet);
    const bool switchExtensions = !FPendingContext && !FExtensionLoading;
    if (switchExtensions)
        for (TExDataConsumerAggregatedObject* extension : ConsumerExtensions())
            extension->ContextSwitching();
    FContext = TIntf<IExDataContext>(context);
    if (switchExtensions)
        KeepOrRemoveExtensions(&TExDataConsumerAggregatedObject::KeepOnContextSwitch,
                               &TExDataConsumerAggregatedObject::ContextSwitched);
    RefreshExtensions();
    NotifyChanged(ccrContextSet);
}

std::string TExDataConsumer::Context()
{
    return FContext ? FContext->ContextName() : std::string();
}

void TExDataConsumer::SetContext(const std::string& name)
{
    if (name == Context())
        return;
    if (!FProvider) {
        if (!OwnerLoading())
            throw EExLibDataConsumer(ExRes::ProviderBeforeContext);
        FPendingContext = name;
        return;
    }
    if (name.empty()) {
        AssignContext(nullptr);
        return;
    }
    auto* contexts = Supports<IExDataContextList>(FProvider.get());
    if (!contexts)
        throw EExLibDataConsumer(ExRes::ProviderNoContexts);
    IExDataContext* context = contexts->ContextByPath(name);
    if (!context)
        throw EExLibDataConsumer(Format(ExRes::ProviderHasNoContext, {name}));
    AssignContext(context);
}

bool TExDataConsumer::ContextIsStored()
{
    auto* contexts = Supports<IExDataContextList>(FProvider.get());
    return contexts && contexts->ContextCount() > 0 && !SameObject(FContext.get(), contexts->ContextAt(0));
}

void TExDataConsumer::ReportItemSelected(IExDataItem* item)
{
    for (TExDataConsumerAggregatedObject* extension : ConsumerExtensions())
        extension->ItemWasSelected(item);
    if (auto* click = Supports<IExDataItemClick>(item))
        click->Click(FOwner);
}

void TExDataConsumer::FinishExtensionLoading()
{
    for (TExDataConsumerAggregatedObject* extension : ConsumerExtensions())
        extension->FinishLoading();
}

void TExDataConsumer::AfterOwnerLoaded()
{
    // why: values a form stored wait for the provider; without one they stay pending rather
    // than fail the form's loading.
    if (!FProvider)
        return;
    if (FPendingContext) {
        const std::string name = *FPendingContext;
        FPendingContext.reset();
        SetContext(name);
    }
    if (FExtensionLoading) {
        FinishExtensionLoading();
        FExtensionLoading = false;
    }
}

void TExDataConsumer::ExtensionAdded(TExDataConsumerAggregatedObject* extension)
{
    if (OnAfterCreateExtension)
        OnAfterCreateExtension(this, extension);
    if (auto* viewList = dynamic_cast<TExCustomDataConsumerViewList*>(extension))
        viewList->BuildView();
}

void TExDataConsumer::RefreshExtensions()
{
    if (!FProvider) {
        for (TExDataConsumerAggregatedObject* extension : ConsumerExtensions())
            delete extension;
        return;
    }
    std::vector<TExConsumerExtensionClass> classes;
    WithAccess([&] { classes = FProvider->ExtensionClasses(); });
    for (TExConsumerExtensionClass extensionClass : classes) {
        const auto extensions = ConsumerExtensions();
        if (std::any_of(extensions.begin(), extensions.end(),
                        [&](const TExDataConsumerAggregatedObject* e) { return typeid(*e) == *extensionClass.Type; }))
            continue;
        if (OnBeforeCreateExtension)
            OnBeforeCreateExtension(this, extensionClass);
        if (!extensionClass)
            continue;
        TExDataConsumerAggregatedObject* extension = extensionClass.Create(*this);
        if (OnAfterCreateExtension)
            OnAfterCreateExtension(this, extension);
    }
    if (HasAttribute(ConsumerAttributeViewList) && !ViewList()) {
        TExConsumerExtensionClass viewListClass = ConsumerExtensionClassOf<TExDataConsumerViewList>();
        if (OnBeforeCreateExtension)
            OnBeforeCreateExtension(this, viewListClass);
        if (viewListClass)
            ExtensionAdded(viewListClass.Create(*this));
    }
}

void TExDataConsumer::BeforeProviderChange(IExDataProvider* provider, int reason, IExInterface* source)
{
    if (OnProviderChanging)
        OnProviderChanging(provider, reason, source);
    for (TExDataConsumerAggregatedObject* extension : ConsumerExtensions())
        extension->DataChanging(provider, reason, source);
    if (reason == pcrDestroy)
        AssignProvider(nullptr);
}

void TExDataConsumer::AfterProviderChange(IExDataProvider* provider, int reason, IExInterface* source)
{
    if (OnProviderChanged)
        OnProviderChanged(provider, reason, source);
    for (TExDataConsumerAggregatedObject* extension : ConsumerExtensions())
        extension->DataChanged(provider, reason, source);
    if (reason == pcrViewChange)
        BroadcastViewChange(nullptr);
    else
        NotifyChanged(ccrProviderData);
}

// ---- extensions

namespace {

TExDataConsumer& ConsumerOf(TExtensibleInterfacedPersistent& owner)
{
    auto* consumer = dynamic_cast<TExDataConsumer*>(&owner);
    if (!consumer)
        throw EExLibException(ExRes::InvalidClassType);
    return *consumer;
}

} // namespace

TExDataConsumerAggregatedObject::TExDataConsumerAggregatedObject(TExtensibleInterfacedPersistent& owner)
    : TAggregatedPersistentEx(owner), FConsumer(ConsumerOf(owner))
{
}

void TExDataConsumerAggregatedObject::DataChanging(IExDataProvider* provider, int reason, IExInterface* source)
{
    (void)provider;
    (void)reason;
    (void)source;
}

void TExDataConsumerAggregatedObject::DataChanged(IExDataProvider* provider, int reason, IExInterface* source)
{
    (void)provider;
    (void)reason;
    (void)source;
}

void TExDataConsumerAggregatedObject::LinkedItemChanged(IExDataConsumerServer* server, IExDataItem* item)
{
    (void)server;
    (void)item;
}

void TExDataConsumerAggregatedObject::NotifyChanged(int reason)
{
    FStreamedWithoutProvider = FConsumer.Provider() == nullptr;
    FConsumer.NotifyChanged(reason);
}

void TExDataConsumerAggregatedObject::MarkLoadPending()
{
    FConsumer.MarkExtensionLoading();
    FStreamedWithoutProvider = true;
}

IExDataItems* TExDataConsumerAggregatedObject::ExtensionRootItems()
{
    if (auto* selection = Supports<IExDataItemSelection>(&FConsumer))
        if (IExDataItem* selected = selection->SelectedItem())
            return ChildItemsOf(selected);
    return Supports<IExDataItems>(FConsumer.Provider());
}

// ---- item selection

void TExDataConsumerItemSelect::SelectItem(IExDataItem* item)
{
    if (SameObject(item, FItem.get()))
        return;
    FItem = TIntf<IExDataItem>(item);
    NotifyViewChanged();
}

std::string TExDataConsumerItemSelect::Item()
{
    return FItem ? FItem->ItemID() : std::string();
}

void TExDataConsumerItemSelect::SetItem(const std::string& id)
{
    if (id == Item())
        return;
    if (id.empty()) {
        SelectItem(nullptr);
        return;
    }
    TExDataConsumer& consumer = Consumer();
    if (!consumer.Provider()) {
        TComponent* owner = consumer.OwnerComponent();
        if (!owner || !owner->ComponentState().Contains(csLoading))
            throw EExLibDataConsumer(ExRes::ProviderBeforeItem);
        FPendingID = id;
        MarkLoadPending();
        return;
    }
    consumer.WithAccess([&] {
        auto* finder = Supports<IExDataItemFinder>(consumer.Provider());
        if (!finder)
            throw EConvertError("Interface not supported");
        IExDataItem* item = finder->FindItemByID(id, true);
        if (!item)
            throw EExLibDataConsumer(ExRes::ItemNotInContext);
        SelectItem(item);
    });
}

void TExDataConsumerItemSelect::FinishLoading()
{
    if (!FPendingID)
        return;
    const std::string id = *FPendingID;
    FPendingID.reset();
    SetItem(id);
}

void TExDataConsumerItemSelect::DataChanging(IExDataProvider* provider, int reason, IExInterface* source)
{
    (void)provider;
    if (reason != pcrDelete || !FItem)
        return;
    Consumer().WithAccess([&] {
        auto* deleted = dynamic_cast<IExDataItem*>(source);
        if (deleted && (SameObject(deleted, FItem.get()) || deleted->IsParentItemOf(FItem.get(), false)))
            FItem.reset();
    });
}

void TExDataConsumerItemSelect::WriteProperties(TWriter& writer) const
{
    if (!FItem)
        return;
    writer.WritePropName("Item");
    writer.WriteString(FItem->ItemID());
}

bool TExDataConsumerItemSelect::ReadProperty(const std::string& name, TReader& reader)
{
    if (name != "Item")
        return false;
    SetItem(reader.ReadString());
    return true;
}

std::uint8_t ItemVisibleState(IExDataItem* item)
{
    if (!item)
        return 3;
    std::uint8_t state = 3;
    IExDataItems* owner = item->OwnerItems();
    IExDataProvider* provider = owner ? owner->OwnerProvider() : nullptr;
    if (auto* visibility = Supports<IExDataConsumerVisibility>(provider ? provider->CurrentConsumer() : nullptr))
        state = visibility->VisibleStateOf(item);
    if (state == 2 || state == 3)
        if (auto* own = Supports<IExDataItemVisibility>(item))
            state = own->VisibleState();
    return state;
}
