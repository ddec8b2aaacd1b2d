#pragma once
// Data contexts: named views of a provider's items, kept in context lists. Every list has an
// ancestor context (none for the provider's own list); names are unique within a list, compared
// without letter case, and a path of names ("a", "..\b", "\x") finds a context from a list.

#include "ExLib/run/data/ExDataIntf.h"
#include "ExLib/run/data/ExExtensible.h"

#include <functional>
#include <string>
#include <vector>

class TExBaseDataContexts : public TExtensibleInterfacedPersistent, public virtual IExDataContextList {
public:
    using TEditorClass = std::function<TAggregatedPersistentEx*(TExtensibleInterfacedPersistent& owner)>;

    // With an editor class the list gets one such extension, and answers for its interfaces.
    TExBaseDataContexts(IExDataProvider* provider, IExDataContext* ancestorContext, const TEditorClass& editorClass = {});

    IExDataProvider* OwnerProvider() override { return FProvider.get(); }
    IExDataContext* AncestorContext() override { return FAncestor.get(); }
    IExDataContext* ContextByPath(const std::string& path) override;
    // The index of that very context, searched from the end; -1 when absent.
    int IndexOfContext(IExDataContext* context) override;

    virtual void AddContext(IExDataContext* context) = 0;
    virtual void DeleteContextAt(int index) = 0;
    virtual void RemoveContext(IExDataContext* context) = 0;
    virtual void RemoveAllContexts() = 0;

private:
    TIntf<IExDataProvider> FProvider;
    TIntf<IExDataContext> FAncestor;
};

// Holds its contexts as counted references.
class TExDataContexts : public TExBaseDataContexts {
public:
    using TExBaseDataContexts::TExBaseDataContexts;

    // Appends a context between BeforeChange and AfterChange with reason 5; EExLibDataContexts
    // "A context with that name already exists" when another context has its name.
    void AddContext(IExDataContext* context) override;
    // Removes a context that can be deleted between BeforeChange and AfterChange with reason 6;
    // one that cannot stays, without a message.
    void DeleteContextAt(int index) override;
    void RemoveContext(IExDataContext* context) override;
    // Removes every context, without telling the provider.
    void RemoveAllContexts() override;
    int ContextCount() override { return static_cast<int>(FContexts.size()); }
    // EListError "List index out of bounds (%d)" for an index outside the list.
    IExDataContext* ContextAt(int index) override;

private:
    std::vector<TIntf<IExDataContext>> FContexts;
};

class TExBaseDataContext : public TExtensibleInterfacedPersistent, public virtual IExDataContext {
public:
    // EExLibDataContexts "Cannot create a context without a context list owner" without a list.
    TExBaseDataContext(IExDataContextList* ownerList, std::string name);
    // Takes the name given to the constructor.
    void AfterConstruction() override;

    TObject* Implementer() override { return this; }
    IExDataContextList* OwnerList() override { return FOwnerList; }
    bool CanDelete() override { return true; }
    // Fixed contexts, which cannot be deleted, are the ones that stream.
    bool IsStreamable() { return !CanDelete(); }

    // EExLibDataContexts "A context with that name already exists" when another context of the
    // list has that name.
    virtual void SetName(const std::string& name);

protected:
    virtual void StoreName(const std::string& name) = 0;

private:
    IExDataContextList* FOwnerList;
    std::string FInitialName;
};

class TExDataContext : public TExBaseDataContext {
public:
    using TExBaseDataContext::TExBaseDataContext;
    std::string ContextName() override { return FName; }

protected:
    void StoreName(const std::string& name) override { FName = name; }

private:
    std::string FName;
};

// A context that can be renamed through IExDataContextNaming.
class TExManagedDataContext : public TExDataContext, public virtual IExDataContextNaming {
public:
    using TExDataContext::TExDataContext;
    void Rename(const std::string& name) override { SetName(name); }
};

// A context that cannot be deleted.
class TExFixedDataContext : public TExDataContext {
public:
    using TExDataContext::TExDataContext;
    bool CanDelete() override { return false; }
};
