#pragma once
// TShellKitAutoComplete: gathers the items whose paths an address box offers while the user
// types: the children of the current folder and, as chosen, of the desktop, the favourites and
// Computer, optionally recursing, each offered to a handler that may refuse it or stop.

#include "ShellBrowsing/Source/common/WideStringList.h"
#include "ShellBrowsing/Source/namespace/Namespace.h"

#include "Platform/core/Set.h"

#include <functional>
#include <memory>
#include <vector>

enum class TAutoCompleteContent {
    accCurrentDir,
    accMyComputer,
    accDesktop,
    accFavorites,
    accFileSysOnly,
    accFileSysDirs,
    accFileSysFiles,
    accHidden,
    accRecursive,
    accSortList,
};
using TAutoCompleteContents = TSet<TAutoCompleteContent>;

inline constexpr TAutoCompleteContents DefaultAutoCompleteContents{
    TAutoCompleteContent::accCurrentDir, TAutoCompleteContent::accMyComputer, TAutoCompleteContent::accFileSysDirs,
    TAutoCompleteContent::accFileSysFiles};

using TShellAutoCompleteAddItem =
    std::function<void(TObject* Sender, TNamespace* AutoCompleteItem, bool& Allow, bool& Terminate)>;

// Owns its namespaces; clearing frees them.
class TShellNameSpaceList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TNamespace* Items(int index) const { return FItems.at(static_cast<std::size_t>(index)).get(); }
    void Add(std::unique_ptr<TNamespace> ns) { FItems.push_back(std::move(ns)); }
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TNamespace>> FItems;
};

class TCustomShellKitAutoComplete : public TComponent {
public:
    explicit TCustomShellKitAutoComplete(TComponent* AOwner = nullptr);

    const QString& CurrentDir() const { return FCurrentDir; }
    // Taken only when it differs and names an existing folder.
    void SetCurrentDir(const QString& path);
    TAutoCompleteContents Contents() const { return FContents; }
    void SetContents(TAutoCompleteContents value) { FContents = value; }
    bool Dirty() const { return FDirty; }

    // Enumerates afresh once a folder was set (and at every later call).
    void Refresh();
    // The address-bar paths of the gathered items, in order (sorted without case with accSortList).
    TWideStringList& Strings();
    TShellNameSpaceList& Namespaces() { return FNamespaces; }

    TShellAutoCompleteAddItem OnAutoCompleteAddItem;

private:
    void EnumerateFolder(TNamespace& folder);
    bool Has(TAutoCompleteContent c) const { return FContents.Contains(c); }

    QString FCurrentDir;
    TWideStringList FStrings;
    TAutoCompleteContents FContents = DefaultAutoCompleteContents;
    TShellNameSpaceList FNamespaces;
    bool FDirty = false;
};

class TShellKitAutoComplete : public TCustomShellKitAutoComplete {
public:
    using TCustomShellKitAutoComplete::TCustomShellKitAutoComplete;
};
