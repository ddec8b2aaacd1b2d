#include "ExLib/run/data/ExExtensible.h"

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/common/ExResources.h"
#include "ExLib/run/common/ExStrUtils.h"
#include "ExLib/run/data/ExDataClasses.h"

#include "Platform/files/PropertyStream.h"
#include "Platform/text/Format.h"

#include <algorithm>

bool SameObject(IExInterface* a, IExInterface* b)
{
    if (!a || !b)
        return a == b;
    return dynamic_cast<void*>(a) == dynamic_cast<void*>(b);
}

namespace {

// Reads one element header: list begin and the "ClassName" property; returns the class name.
std::string ReadClassNameOfElement(TReader& reader)
{
    reader.ReadListBegin();
    if (!SameTextIgnoringCase(reader.ReadStr(), "ClassName"))
        throw EReadError(ExRes::MissingClassName);
    return reader.ReadString();
}

[[noreturn]] void UnknownProperty(const std::string& name)
{
    throw EReadError(Format("Property %s does not exist", {name}));
}

} // namespace

// ---- extensible object

TExtensibleInterfacedPersistent::~TExtensibleInterfacedPersistent()
{
    while (!FExtensions.empty())
        delete FExtensions.back();
}

int TExtensibleInterfacedPersistent::AddRef()
{
    return ++FRefCount;
}

int TExtensibleInterfacedPersistent::Release()
{
    const int count = --FRefCount;
    if (count == 0)
        delete this;
    return count;
}

void TExtensibleInterfacedPersistent::AfterConstruction()
{
    SetUpExtensions();
    --FRefCount;
}

bool TExtensibleInterfacedPersistent::ExtensionIsStreamable(const TAggregatedPersistentEx& extension) const
{
    return IsDataClassRegistered(extension.ClassName());
}

IExInterface* TExtensibleInterfacedPersistent::GetInterface(const TExInterfaceID& iid)
{
    if (iid.Implements(this))
        return this;
    for (auto it = FExtensions.rbegin(); it != FExtensions.rend(); ++it)
        if (IExInterface* found = (*it)->GetInterface(iid))
            return found;
    return nullptr;
}

void TExtensibleInterfacedPersistent::WriteProperties(TWriter& writer) const
{
    if (std::any_of(FExtensions.begin(), FExtensions.end(),
                    [this](const TAggregatedPersistentEx* e) { return ExtensionIsStreamable(*e); })) {
        writer.WritePropName("Extensions");
        WriteExtensions(writer);
    }
}

bool TExtensibleInterfacedPersistent::ReadProperty(const std::string& name, TReader& reader)
{
    if (!SameTextIgnoringCase(name, "Extensions"))
        return false;
    HoldCount();
    try {
        ReadExtensions(reader);
    } catch (...) {
        ReleaseHold();
        throw;
    }
    ReleaseHold();
    return true;
}

void TExtensibleInterfacedPersistent::ReadProperties(TReader& reader)
{
    while (!reader.EndOfList()) {
        const std::string name = reader.ReadStr();
        if (!ReadProperty(name, reader))
            UnknownProperty(name);
    }
}

void TExtensibleInterfacedPersistent::WriteExtensions(TWriter& writer) const
{
    const TPropPathScope noPath(writer);
    writer.WriteCollectionBegin();
    for (const TAggregatedPersistentEx* extension : FExtensions) {
        if (!ExtensionIsStreamable(*extension))
            continue;
        writer.WriteListBegin();
        writer.WritePropName("ClassName");
        writer.WriteString(extension->ClassName());
        extension->WriteProperties(writer);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

void TExtensibleInterfacedPersistent::ReadExtensions(TReader& reader)
{
    if (reader.ReadValue() != TValueType::vaCollection)
        throw EReadError(ExRes::ExpectedCollection);
    while (!reader.EndOfList()) {
        const TExDataClass& dataClass = FindDataClass(ReadClassNameOfElement(reader));
        if (!dataClass.NewExtension)
            throw EReadError(ExRes::InvalidClassType);
        TAggregatedPersistentEx* extension = nullptr;
        for (TAggregatedPersistentEx* e : FExtensions)
            if (e->ClassName() == dataClass.Name)
                extension = e;
        if (!extension)
            extension = dataClass.NewExtension(*this);
        extension->ReadProperties(reader);
        reader.ReadListEnd();
    }
    reader.ReadListEnd();
}

// ---- aggregated objects

IExInterface* TAggregatedPersistent::QueryInterface(const TExInterfaceID& iid)
{
    return FController->QueryInterface(iid);
}

IExInterface* TAggregatedPersistent::GetInterface(const TExInterfaceID& iid)
{
    return iid.Implements(this) ? this : nullptr;
}

bool TAggregatedPersistent::ReadProperty(const std::string& name, TReader& reader)
{
    (void)name;
    (void)reader;
    return false;
}

void TAggregatedPersistent::ReadProperties(TReader& reader)
{
    while (!reader.EndOfList()) {
        const std::string name = reader.ReadStr();
        if (!ReadProperty(name, reader))
            UnknownProperty(name);
    }
}

TAggregatedPersistentEx::TAggregatedPersistentEx(TExtensibleInterfacedPersistent& owner)
    : TAggregatedPersistent(&owner), FOwner(owner)
{
}

TAggregatedPersistentEx::~TAggregatedPersistentEx()
{
    auto& list = FOwner.FExtensions;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TAggregatedPersistentEx::AfterConstruction()
{
    TAggregatedPersistent::AfterConstruction();
    for (const TAggregatedPersistentEx* e : FOwner.FExtensions)
        if (typeid(*e) == typeid(*this))
            throw EExLibException(ExRes::ImplementationExists);
    FOwner.FExtensions.push_back(this);
}
