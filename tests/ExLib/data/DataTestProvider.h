#pragma once
// A small data provider for the tests: a root list of items with captions, optional contexts,
// consumer and context stacks, and a log of the changes it is told of, which it passes on to
// its listeners as a real provider would.

#include "ExLib/run/data/ExDataContexts.h"
#include "ExLib/run/data/ExDataItemsExt.h"

#include <string>
#include <vector>

class TTestProvider : public virtual IExDataProvider {
public:
    TTestProvider() : FRoot(Construct<TExDataItemsList>(static_cast<IExDataProvider*>(this)))
    {
        Editor = Construct<TExBaseDataItemsListManagement>(*RootList());
    }
    ~TTestProvider() override
    {
        FRoot.reset();
        FContexts.reset();
    }

    int AddRef() override { return -1; }
    int Release() override { return -1; }
    IExInterface* QueryInterface(const TExInterfaceID& iid) override
    {
        if (iid.Implements(this))
            return this;
        if (FContexts)
            if (IExInterface* found = FContexts->QueryInterface(iid))
                return found;
        return FRoot->QueryInterface(iid);
    }

    void AttachListener(IExDataProviderListener* listener) override
    {
        Log.push_back("attach");
        Listeners.push_back(listener);
    }
    void DetachListener(IExDataProviderListener* listener) override
    {
        Log.push_back("detach");
        std::erase(Listeners, listener);
    }
    IExDataItems* RootItems() override { return FRoot.get(); }
    void BeforeChange(int reason, IExInterface* source) override
    {
        Log.push_back("before " + std::to_string(reason) + " " + Describe(source));
        for (IExDataProviderListener* l : std::vector<IExDataProviderListener*>(Listeners))
            l->BeforeProviderChange(this, reason, source);
    }
    void AfterChange(int reason, IExInterface* source) override
    {
        Log.push_back("after " + std::to_string(reason) + " " + Describe(source));
        for (IExDataProviderListener* l : std::vector<IExDataProviderListener*>(Listeners))
            l->AfterProviderChange(this, reason, source);
    }
    std::vector<TExConsumerExtensionClass> ExtensionClasses() override { return Extensions; }
    void PushConsumer(IExDataConsumer* consumer) override { Consumers.push_back(consumer); }
    IExDataConsumer* CurrentConsumer() override { return Consumers.empty() ? nullptr : Consumers.back(); }
    void PopConsumer() override { Consumers.pop_back(); }
    void PushContext(IExDataContext* context) override
    {
        Contexts.push_back(context);
        ++ContextPushes;
    }
    void PopContext() override { Contexts.pop_back(); }

    TExDataItemsList* RootList() const { return dynamic_cast<TExDataItemsList*>(FRoot.get()); }

    // Gives the provider a context list with contexts of these names.
    TExDataContexts& UseContexts(const std::vector<std::string>& names)
    {
        auto* list = Construct<TExDataContexts>(static_cast<IExDataProvider*>(this), nullptr);
        FContexts = TIntf<IExDataContextList>(list);
        for (const std::string& name : names)
            list->AddContext(Construct<TExManagedDataContext>(list, name));
        return *list;
    }

    // A new item with an ID and a caption, appended to `list` (the root list when null) without
    // telling anybody.
    static TExBaseDataItem* Add(TExDataItemsList& list, const std::string& id, const std::string& caption = {})
    {
        auto* item = Construct<TExBaseDataItem>(static_cast<IExDataItems*>(&list));
        item->SetID(id);
        if (!caption.empty()) {
            // why: setting up the tree is no change anybody watches; the log forgets it.
            auto* provider = dynamic_cast<TTestProvider*>(list.OwnerProvider());
            const size_t logged = provider ? provider->Log.size() : 0;
            Construct<TExDataItemTextImpl>(*item)->SetCaption(caption);
            if (provider)
                provider->Log.resize(logged);
        }
        list.AddItemObject(item);
        return item;
    }
    TExBaseDataItem* Add(const std::string& id, const std::string& caption = {}) { return Add(*RootList(), id, caption); }
    // The child list of `item`, made on first use.
    static TExDataItemsList& Children(TExBaseDataItem* item)
    {
        if (auto* existing = Supports<IExDataItems>(item))
            return *dynamic_cast<TExDataItemsList*>(existing->Implementer());
        return *Construct<TExDataItemsList>(static_cast<IExDataItem*>(item));
    }

    // "item ID", "list", "none" or "context NAME".
    static std::string Describe(IExInterface* source)
    {
        if (!source)
            return "none";
        if (auto* item = dynamic_cast<IExDataItem*>(source))
            return "item " + item->ItemID();
        if (dynamic_cast<IExDataItems*>(source))
            return "list";
        if (auto* context = dynamic_cast<IExDataContext*>(source))
            return "context " + context->ContextName();
        return "?";
    }

    std::vector<std::string> Log;
    std::vector<IExDataProviderListener*> Listeners;
    std::vector<IExDataConsumer*> Consumers;
    std::vector<IExDataContext*> Contexts;
    int ContextPushes = 0;
    std::vector<TExConsumerExtensionClass> Extensions;
    TExBaseDataItemsListManagement* Editor = nullptr;

private:
    TIntf<IExDataItems> FRoot;
    TIntf<IExDataContextList> FContexts;
};

// A provider that a fixture holds as a base, so that it is built before the trees on it.
struct TWithProvider {
    TTestProvider provider;
};

// The tree most tests walk: a(a1(a11), a2), b, c, with the IDs in lower case and the captions in
// upper case.
struct TSampleTree {
    explicit TSampleTree(TTestProvider& provider)
        : a(provider.Add("a", "A")),
          b(provider.Add("b", "B")),
          c(provider.Add("c", "C")),
          a1(TTestProvider::Add(TTestProvider::Children(a), "a1", "A1")),
          a2(TTestProvider::Add(TTestProvider::Children(a), "a2", "A2")),
          a11(TTestProvider::Add(TTestProvider::Children(a1), "a11", "A11"))
    {
    }
    TExBaseDataItem* a;
    TExBaseDataItem* b;
    TExBaseDataItem* c;
    TExBaseDataItem* a1;
    TExBaseDataItem* a2;
    TExBaseDataItem* a11;
};
