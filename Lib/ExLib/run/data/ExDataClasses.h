#pragma once
// The class registry through which streams name the data-provider classes: a class is found by
// name, and what it can be created as (an extension, an item, an item list) is known from the
// factories its entry carries.

#include <functional>
#include <string>
#include <vector>

class TAggregatedPersistentEx;
class TExtensibleInterfacedPersistent;
class TExBaseDataItem;
class TExBaseDataItems;

struct TExDataClass {
    std::string Name;
    // Set when the class descends from TAggregatedPersistentEx: makes one for `owner`.
    std::function<TAggregatedPersistentEx*(TExtensibleInterfacedPersistent& owner)> NewExtension;
    // Set when the class descends from TExBaseDataItem: makes one in list `owner`.
    std::function<TExBaseDataItem*(TExBaseDataItems& owner)> NewItem;
    // Set when the class descends from TExBaseDataItems: makes the child list of `parent`.
    std::function<TExBaseDataItems*(TExBaseDataItem& parent)> NewItems;
};

// Registers a class; a name registered before keeps its first entry.
void RegisterDataClass(TExDataClass dataClass);
bool IsDataClassRegistered(const std::string& name);
// EClassNotFound "Class %s not found" for a name nobody registered.
const TExDataClass& FindDataClass(const std::string& name);
// The names in the order of registration.
std::vector<std::string> RegisteredDataClassNames();

// The start-up step of the data-provider framework: registers its thirteen classes in order.
void RegisterDataClasses();
