#pragma once
// The interface machinery of the data-provider framework. An object answers for an interface
// identifier with itself or with one of its extension objects; a counted reference (TIntf)
// keeps an object alive where its owner counts references, and is a plain pointer where the
// owner keeps the object's lifetime (AddRef and Release then answer -1).

#include <string_view>
#include <utility>

class IExInterface;

// An interface identifier: the GUID text and the test whether an object implements it.
struct TExInterfaceID {
    std::string_view Guid;
    bool (*Implements)(IExInterface* object);
};

class IExInterface {
public:
    virtual ~IExInterface() = default;
    // The new count, or -1 for an object that is not counted.
    virtual int AddRef() = 0;
    virtual int Release() = 0;
    // The object that answers for `iid`, not counted; null when none does.
    virtual IExInterface* QueryInterface(const TExInterfaceID& iid) = 0;

protected:
    IExInterface() = default;
    IExInterface(const IExInterface&) = default;
    IExInterface& operator=(const IExInterface&) = default;
};

// The identifier of interface I (I::Guid names it). One object per interface, so identifiers
// compare by address.
template <class I>
const TExInterfaceID& IIDOf()
{
    static const TExInterfaceID id{I::Guid, [](IExInterface* object) { return dynamic_cast<I*>(object) != nullptr; }};
    return id;
}

// The object that answers for I on `object`, as I; null when none does or `object` is null.
template <class I>
I* Supports(IExInterface* object)
{
    return object ? dynamic_cast<I*>(object->QueryInterface(IIDOf<I>())) : nullptr;
}

// A counted reference.
template <class I>
class TIntf {
public:
    TIntf() = default;
    TIntf(I* p) : FPtr(p)
    {
        if (FPtr)
            FPtr->AddRef();
    }
    TIntf(const TIntf& other) : TIntf(other.FPtr) {}
    TIntf(TIntf&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
    TIntf& operator=(TIntf other) noexcept
    {
        std::swap(FPtr, other.FPtr);
        return *this;
    }
    ~TIntf() { reset(); }

    I* get() const { return FPtr; }
    I* operator->() const { return FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }
    // Drops the reference; the object goes when it was the last one.
    void reset()
    {
        if (I* p = std::exchange(FPtr, nullptr))
            p->Release();
    }
    // Forgets the pointer without releasing it.
    I* detach() { return std::exchange(FPtr, nullptr); }

private:
    I* FPtr = nullptr;
};

// True when the two interface pointers lead to the same object.
bool SameObject(IExInterface* a, IExInterface* b);
