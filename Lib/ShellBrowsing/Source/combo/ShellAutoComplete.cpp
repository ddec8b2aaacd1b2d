#include "ShellBrowsing/Source/combo/ShellAutoComplete.h"

#include "ShellBrowsing/Source/common/WideStrings.h"
#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/KnownNamespaces.h"

TCustomShellKitAutoComplete::TCustomShellKitAutoComplete(TComponent* AOwner) : TComponent(AOwner) {}

void TCustomShellKitAutoComplete::SetCurrentDir(const QString& path)
{
    if (path == FCurrentDir || !WideDirectoryExists(path))
        return;
    FCurrentDir = path;
    FDirty = true;
}

void TCustomShellKitAutoComplete::Refresh()
{
    if (!FDirty)
        return;
    FNamespaces.Clear();
    if (Has(TAutoCompleteContent::accCurrentDir) && WideDirectoryExists(FCurrentDir)) {
        std::unique_ptr<TNamespace> folder;
        try {
            folder = TNamespace::CreateFromFileName(FCurrentDir);
        } catch (const std::exception&) {
            // why: the folder may vanish between the check and the parse; it then offers nothing.
        }
        if (folder)
            EnumerateFolder(*folder);
    }
    TKnownNamespaces& known = KnownNamespaces();
    if (Has(TAutoCompleteContent::accDesktop) && known.DesktopFolder)
        EnumerateFolder(*known.DesktopFolder);
    if (Has(TAutoCompleteContent::accFavorites) && known.FavoritesFolder)
        EnumerateFolder(*known.FavoritesFolder);
    if (Has(TAutoCompleteContent::accMyComputer) && known.MyComputerFolder)
        EnumerateFolder(*known.MyComputerFolder);
}

void TCustomShellKitAutoComplete::EnumerateFolder(TNamespace& folder)
{
    folder.EnumerateFolderEx(
        Has(TAutoCompleteContent::accFileSysDirs), Has(TAutoCompleteContent::accFileSysFiles),
        Has(TAutoCompleteContent::accHidden), [this](TNamespace& parent, PItemIDList relative, bool& terminate) {
            auto item = std::make_unique<TNamespace>(PIDLMgr().AppendPIDL(parent.AbsolutePIDL(), relative));
            PIDLMgr().FreePIDL(relative);
            if ((item->IsHiddenAttr() && !Has(TAutoCompleteContent::accHidden))
                || (!item->IsFileSystemItem() && Has(TAutoCompleteContent::accFileSysOnly)))
                return false;
            if (Has(TAutoCompleteContent::accRecursive) && item->IsFolderItem())
                EnumerateFolder(*item);
            bool allow = true;
            if (OnAutoCompleteAddItem)
                OnAutoCompleteAddItem(this, item.get(), allow, terminate);
            if (!allow)
                return false;
            FNamespaces.Add(std::move(item));
            return true;
        });
}

TWideStringList& TCustomShellKitAutoComplete::Strings()
{
    FStrings.Clear();
    for (int i = 0; i < FNamespaces.Count(); ++i)
        FStrings.Add(FNamespaces.Items(i)->ParsingPathForAddressBar());
    if (Has(TAutoCompleteContent::accSortList))
        FStrings.CustomSort([](TWideStringList& list, int a, int b) { return WideCompareText(list[a], list[b]); });
    return FStrings;
}
