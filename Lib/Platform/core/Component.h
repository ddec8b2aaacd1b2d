#pragma once
// The object model of the class library: TObject, TPersistent with Assign, and TComponent
// with an owner that frees its components, a Name unique among its siblings, and free
// notification so that references are dropped when an object dies.
//
// Ownership rule: a component created with an owner belongs to that owner and must not be
// owned by anything else (no std::unique_ptr, no stack object).

#include "Platform/core/Set.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // The class's name without namespace, for messages ("TStringList").
    std::string ClassName() const;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
public:
    // Copies `source` into this object. The default asks the source to assign itself to
    // this object; when neither side knows how, EConvertError "Cannot assign a %s to a %s".
    virtual void Assign(const TPersistent& source);

protected:
    virtual void AssignTo(TPersistent& dest) const;
    [[noreturn]] void AssignError(const TPersistent* source) const;
};

enum class TOperation { opInsert, opRemove };

enum TComponentStateFlag { csLoading, csReading, csWriting, csDestroying, csDesigning, csUpdating };
using TComponentState = TSet<TComponentStateFlag>;

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    // Raises EComponentError "'%s' is not a valid component name" or
    // "A component named %s already exists" (names compare without letter case).
    virtual void SetName(const std::string& name);

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const;
    int ComponentIndex() const;
    TComponent* FindComponent(const std::string& name) const;

    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    void DestroyComponents();

    // Asks for Notification(this-or-other, opRemove) when `component` is destroyed; mutual.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    TComponentState ComponentState() const { return FComponentState; }
    // Marks the start of initialisation; Loaded ends it (setters may ignore changes meanwhile).
    void BeginLoading();
    virtual void Loaded();

    std::intptr_t Tag = 0;

protected:
    virtual void Notification(TComponent* component, TOperation operation);
    // Marks csDestroying. ~TComponent calls it first, when only the TComponent part is left
    // (a virtual call there reaches no override); a class that must know earlier calls it
    // from its own destructor.
    virtual void Destroying();
    void SetComponentState(TComponentStateFlag flag, bool on);
    virtual void ValidateRename(TComponent* component, const std::string& curName, const std::string& newName);

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);
    void RemoveNotification(TComponent* component);

    TComponent* FOwner = nullptr;
    std::string FName;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState;
};

// True when `name` is a valid identifier: a letter or "_" followed by letters, digits or "_".
bool IsValidIdent(const std::string& name);
