#include "ExLib/run/data/ExDataContexts.h"

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/common/ExResources.h"
#include "ExLib/run/common/ExStrUtils.h"

#include "Platform/text/Format.h"

TExBaseDataContexts::TExBaseDataContexts(IExDataProvider* provider, IExDataContext* ancestorContext,
                                         const TEditorClass& editorClass)
    : FProvider(provider), FAncestor(ancestorContext)
{
    if (editorClass)
        editorClass(*this);
}

IExDataContext* TExBaseDataContexts::ContextByPath(const std::string& path)
{
    const size_t separator = path.find_first_of("\\/");
    const std::string segment = path.substr(0, separator);
    const std::string rest = separator == std::string::npos ? std::string() : path.substr(separator + 1);
    if (segment == "..") {
        IExDataContextList* above = FAncestor ? FAncestor->OwnerList() : nullptr;
        return above ? above->ContextByPath(rest) : nullptr;
    }
    if (segment.empty() && FAncestor && separator != std::string::npos) {
        auto* root = Supports<IExDataContextList>(FProvider.get());
        return root ? root->ContextByPath(rest) : nullptr;
    }
    for (int i = ContextCount() - 1; i >= 0; --i) {
        IExDataContext* context = ContextAt(i);
        if (!SameTextIgnoringCase(context->ContextName(), segment))
            continue;
        if (rest.empty())
            return context;
        // why: a context has no list below it, so a further segment is asked of its own list.
        IExDataContextList* owner = context->OwnerList();
        return owner ? owner->ContextByPath(rest) : nullptr;
    }
    return nullptr;
}

int TExBaseDataContexts::IndexOfContext(IExDataContext* context)
{
    for (int i = ContextCount() - 1; i >= 0; --i)
        if (SameObject(ContextAt(i), context))
            return i;
    return -1;
}

// ---- the stored list

void TExDataContexts::AddContext(IExDataContext* context)
{
    IExDataContext* found = ContextByPath(context->ContextName());
    if (found && SameObject(found, context))
        return;
    if (found)
        throw EExLibDataContexts(ExRes::ContextNameExists);
    IExDataProvider* provider = OwnerProvider();
    if (provider)
        provider->BeforeChange(pcrContextAdd, AncestorContext());
    FContexts.emplace_back(context);
    if (provider)
        provider->AfterChange(pcrContextAdd, context);
}

IExDataContext* TExDataContexts::ContextAt(int index)
{
    if (index < 0 || index >= ContextCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FContexts[static_cast<size_t>(index)].get();
}

void TExDataContexts::DeleteContextAt(int index)
{
    IExDataContext* context = ContextAt(index);
    if (!context->CanDelete())
        return;
    IExDataContextList* owner = context->OwnerList();
    const TIntf<IExDataContext> ancestor(owner ? owner->AncestorContext() : nullptr);
    IExDataProvider* provider = OwnerProvider();
    if (provider)
        provider->BeforeChange(pcrContextDelete, context);
    FContexts.erase(FContexts.begin() + index);
    if (provider)
        provider->AfterChange(pcrContextDelete, ancestor.get());
}

void TExDataContexts::RemoveContext(IExDataContext* context)
{
    for (int i = ContextCount() - 1; i >= 0; --i)
        if (SameObject(FContexts[static_cast<size_t>(i)].get(), context)) {
            DeleteContextAt(i);
            return;
        }
}

void TExDataContexts::RemoveAllContexts()
{
    std::vector<TIntf<IExDataContext>> contexts;
    contexts.swap(FContexts);
}

// ---- contexts

TExBaseDataContext::TExBaseDataContext(IExDataContextList* ownerList, std::string name)
    : FOwnerList(ownerList), FInitialName(std::move(name))
{
    if (!ownerList)
        throw EExLibDataContexts(ExRes::ContextWithoutOwner);
}

void TExBaseDataContext::AfterConstruction()
{
    SetName(FInitialName);
    FInitialName.clear();
    TExtensibleInterfacedPersistent::AfterConstruction();
}

void TExBaseDataContext::SetName(const std::string& name)
{
    if (name == ContextName())
        return;
    IExDataContext* found = FOwnerList->ContextByPath(name);
    if (found && !SameObject(found, this))
        throw EExLibDataContexts(ExRes::ContextNameExists);
    StoreName(name);
}
