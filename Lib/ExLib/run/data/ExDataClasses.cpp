#include "ExLib/run/data/ExDataClasses.h"

#include "ExLib/run/data/ExDataContexts.h"
#include "ExLib/run/data/ExDataConsumer.h"
#include "ExLib/run/data/ExDataItemsExt.h"

#include "Platform/files/PropertyStream.h"
#include "Platform/text/Format.h"

#include <deque>
#include <mutex>

namespace {

// The registry of classes streams may name: the streaming system's one process-wide table.
struct TRegistry {
    std::mutex Lock;
    // A deque keeps the entries in place, so references to them stay valid.
    std::deque<TExDataClass> Classes;
};

TRegistry& Registry()
{
    static TRegistry registry;
    return registry;
}

template <class T>
TExDataClass ExtensionClass(std::string name)
{
    TExDataClass c{std::move(name), {}, {}, {}};
    c.NewExtension = [](TExtensibleInterfacedPersistent& owner) -> TAggregatedPersistentEx* { return Construct<T>(owner); };
    return c;
}

} // namespace

void RegisterDataClass(TExDataClass dataClass)
{
    TRegistry& registry = Registry();
    const std::lock_guard lock(registry.Lock);
    for (const TExDataClass& c : registry.Classes)
        if (c.Name == dataClass.Name)
            return;
    registry.Classes.push_back(std::move(dataClass));
}

bool IsDataClassRegistered(const std::string& name)
{
    TRegistry& registry = Registry();
    const std::lock_guard lock(registry.Lock);
    for (const TExDataClass& c : registry.Classes)
        if (c.Name == name)
            return true;
    return false;
}

const TExDataClass& FindDataClass(const std::string& name)
{
    TRegistry& registry = Registry();
    const std::lock_guard lock(registry.Lock);
    for (const TExDataClass& c : registry.Classes)
        if (c.Name == name)
            return c;
    throw EClassNotFound(Format("Class %s not found", {name}));
}

std::vector<std::string> RegisteredDataClassNames()
{
    TRegistry& registry = Registry();
    const std::lock_guard lock(registry.Lock);
    std::vector<std::string> names;
    for (const TExDataClass& c : registry.Classes)
        names.push_back(c.Name);
    return names;
}

void RegisterDataClasses()
{
    TExDataClass list{"TExDataItemsList", {}, {}, {}};
    list.NewItems = [](TExBaseDataItem& parent) -> TExBaseDataItems* {
        return Construct<TExDataItemsList>(static_cast<IExDataItem*>(&parent));
    };
    RegisterDataClass(std::move(list));
    RegisterDataClass(ExtensionClass<TExCustomDataItemsImages>("TExCustomDataItemsImages"));
    RegisterDataClass(ExtensionClass<TExCustomDataItemsTextRenderer>("TExCustomDataItemsTextRenderer"));
    RegisterDataClass(ExtensionClass<TExBaseDataItemsListManagement>("TExBaseDataItemsListManagement"));
    TExDataClass item{"TExBaseDataItem", {}, {}, {}};
    item.NewItem = [](TExBaseDataItems& owner) -> TExBaseDataItem* {
        return Construct<TExBaseDataItem>(static_cast<IExDataItems*>(&owner));
    };
    RegisterDataClass(std::move(item));
    RegisterDataClass(ExtensionClass<TExDataItemTextImpl>("TExDataItemTextImpl"));
    RegisterDataClass(ExtensionClass<TExDataItemImageImpl>("TExDataItemImageImpl"));
    RegisterDataClass({"TExDataConsumer", {}, {}, {}});
    RegisterDataClass(ExtensionClass<TExDataConsumerItemSelect>("TExDataConsumerItemSelect"));
    for (const char* name : {"TExDataContexts", "TExDataContext", "TExManagedDataContext", "TExFixedDataContext"})
        RegisterDataClass({name, {}, {}, {}});
}

namespace {

// The unit's start-up step: the classes are known before any form is read.
const bool DataClassesRegistered = (RegisterDataClasses(), true);

} // namespace
