#pragma once
// Extensible objects: a reference-counted object that carries an ordered list of extension
// objects, each of which adds interfaces to it. The object answers for an interface itself
// first, then through its extensions from the last to the first.
//
// Objects of these classes are made with Construct, which finishes them once their constructors
// have run: an extensible object's count is 1 while it is being built, so that references taken
// meanwhile cannot free it, and drops to 0 when it is finished; an extension joins its owner's
// list when it is finished.

#include "ExLib/run/data/ExInterfaces.h"

#include "Platform/core/Component.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class TWriter;
class TReader;
class TAggregatedPersistentEx;

// Builds an object and finishes it; an object whose finishing fails is freed.
template <class T, class... Args>
T* Construct(Args&&... args)
{
    std::unique_ptr<T> object(new T(std::forward<Args>(args)...));
    object->AfterConstruction();
    return object.release();
}

class TExtensibleInterfacedPersistent : public TPersistent, public virtual IExInterface {
public:
    // Frees the extensions, the last first.
    ~TExtensibleInterfacedPersistent() override;

    int AddRef() override;
    // Frees the object when the count reaches 0.
    int Release() override;
    IExInterface* QueryInterface(const TExInterfaceID& iid) override { return GetInterface(iid); }
    int RefCount() const { return FRefCount; }

    int ExtensionCount() const { return static_cast<int>(FExtensions.size()); }
    TAggregatedPersistentEx* Extension(int index) const { return FExtensions.at(static_cast<size_t>(index)); }
    // The extension of exactly class T, or null.
    template <class T>
    T* FindExtension() const
    {
        for (TAggregatedPersistentEx* e : FExtensions)
            if (typeid(*e) == typeid(T))
                return static_cast<T*>(e);
        return nullptr;
    }

    // True when the extension's class is registered for streaming.
    virtual bool ExtensionIsStreamable(const TAggregatedPersistentEx& extension) const;
    // Own interfaces first, then each extension's from the last to the first.
    virtual IExInterface* GetInterface(const TExInterfaceID& iid);

    // Raise and lower the count around work that must not free the object (streaming).
    void HoldCount() { ++FRefCount; }
    void ReleaseHold() { --FRefCount; }

    // Finishes construction (Construct calls it): SetUpExtensions, then the count drops to 0.
    virtual void AfterConstruction();

    // The published properties, with the "Extensions" property when an extension streams.
    virtual void WriteProperties(TWriter& writer) const;
    // Reads one property by name; false when the object has none of that name.
    virtual bool ReadProperty(const std::string& name, TReader& reader);
    // Reads properties up to the end of the enclosing list (the end is left to read).
    void ReadProperties(TReader& reader);

protected:
    TExtensibleInterfacedPersistent() = default;
    virtual void SetUpExtensions() {}

private:
    friend class TAggregatedPersistentEx;
    void WriteExtensions(TWriter& writer) const;
    void ReadExtensions(TReader& reader);

    std::atomic<int> FRefCount{1};
    std::vector<TAggregatedPersistentEx*> FExtensions;
};

// An object that lives inside another (its controller) and counts and answers through it.
class TAggregatedPersistent : public TPersistent, public virtual IExInterface {
public:
    explicit TAggregatedPersistent(IExInterface* controller) : FController(controller) {}

    IExInterface* QueryInterface(const TExInterfaceID& iid) override;
    int AddRef() override { return FController->AddRef(); }
    int Release() override { return FController->Release(); }
    // Own interfaces only.
    virtual IExInterface* GetInterface(const TExInterfaceID& iid);
    IExInterface* Controller() const { return FController; }

    virtual void AfterConstruction() {}

    // The published properties.
    virtual void WriteProperties(TWriter& writer) const { (void)writer; }
    virtual bool ReadProperty(const std::string& name, TReader& reader);
    void ReadProperties(TReader& reader);

private:
    IExInterface* FController;
};

// An extension: it joins its owner's extension list when finished and leaves it when destroyed.
class TAggregatedPersistentEx : public TAggregatedPersistent {
public:
    explicit TAggregatedPersistentEx(TExtensibleInterfacedPersistent& owner);
    ~TAggregatedPersistentEx() override;

    TExtensibleInterfacedPersistent& Owner() const { return FOwner; }
    // Joins the owner's list; EExLibException "Implementation of that class already exists"
    // when the owner has an extension of the same class.
    void AfterConstruction() override;

private:
    TExtensibleInterfacedPersistent& FOwner;
};
