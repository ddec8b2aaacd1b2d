#include "Platform/core/Component.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"
#include "Platform/text/TextUtils.h"

#include <algorithm>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

std::string TObject::ClassName() const
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(typeid(*this).name(), nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && demangled ? demangled.get() : typeid(*this).name();
    const auto colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

void TPersistent::Assign(const TPersistent& source)
{
    source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& dest) const
{
    dest.AssignError(this);
}

void TPersistent::AssignError(const TPersistent* source) const
{
    throw EConvertError(Format("Cannot assign a %s to a %s", {source ? source->ClassName() : std::string("nil"), ClassName()}));
}

bool IsValidIdent(const std::string& name)
{
    if (name.empty())
        return false;
    auto alpha = [](unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(static_cast<unsigned char>(name[0])))
        return false;
    return std::all_of(name.begin() + 1, name.end(), [&](char c) {
        return alpha(static_cast<unsigned char>(c)) || (c >= '0' && c <= '9');
    });
}

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    // Tell everyone who asked that this component is going away.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->RemoveNotification(this);
        other->Notification(this, TOperation::opRemove);
    }
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::Destroying()
{
    FComponentState.Include(csDestroying);
}

TComponent* TComponent::Components(int index) const
{
    if (index < 0 || index >= ComponentCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FComponents[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner)
        return -1;
    const auto& list = FOwner->FComponents;
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    if (name.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, name))
            return c;
    return nullptr;
}

void TComponent::SetName(const std::string& name)
{
    if (FName == name)
        return;
    if (!name.empty() && !IsValidIdent(name))
        throw EComponentError(Format("'%s' is not a valid component name", {name}));
    if (FOwner)
        FOwner->ValidateRename(this, FName, name);
    else
        ValidateRename(nullptr, FName, name);
    FName = name;
}

void TComponent::ValidateRename(TComponent* component, const std::string& curName, const std::string& newName)
{
    if (component && !SameText(curName, newName)) {
        TComponent* existing = FindComponent(newName);
        if (existing && existing != component)
            throw EComponentError(Format("A component named %s already exists", {newName}));
    }
}

void TComponent::InsertComponent(TComponent* component)
{
    if (!component || component->FOwner == this)
        return;
    ValidateRename(component, std::string(), component->FName);
    if (component->FOwner)
        component->FOwner->RemoveComponent(component);
    Insert(component);
    Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    if (!component || component->FOwner != this)
        return;
    Notification(component, TOperation::opRemove);
    Remove(component);
}

void TComponent::Insert(TComponent* component)
{
    FComponents.push_back(component);
    component->FOwner = this;
}

void TComponent::Remove(TComponent* component)
{
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), component), FComponents.end());
    component->FOwner = nullptr;
}

void TComponent::DestroyComponents()
{
    // Each deletion removes the component from the list through RemoveComponent.
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        Remove(c);
        delete c;
    }
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    if (operation == TOperation::opRemove && component)
        RemoveFreeNotification(component);
    // Owned components hear of every insertion into and removal from their owner.
    const std::vector<TComponent*> owned = FComponents;
    for (TComponent* c : owned)
        if (c != component)
            c->Notification(component, operation);
}

void TComponent::FreeNotification(TComponent* component)
{
    if (!component || component == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end())
        FFreeNotifies.push_back(component);
    if (std::find(component->FFreeNotifies.begin(), component->FFreeNotifies.end(), this) == component->FFreeNotifies.end())
        component->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component)
{
    if (!component)
        return;
    RemoveNotification(component);
    component->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* component)
{
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), component), FFreeNotifies.end());
}

void TComponent::BeginLoading()
{
    FComponentState.Include(csLoading);
}

void TComponent::Loaded()
{
    FComponentState.Exclude(csLoading);
}

void TComponent::SetComponentState(TComponentStateFlag flag, bool on)
{
    if (on)
        FComponentState.Include(flag);
    else
        FComponentState.Exclude(flag);
}
