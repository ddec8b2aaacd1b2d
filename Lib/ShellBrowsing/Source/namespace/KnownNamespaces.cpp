#include "ShellBrowsing/Source/namespace/KnownNamespaces.h"

#include "ShellBrowsing/Source/common/ShellLibrary.h"
#include "ShellBrowsing/Source/icons/SystemIconTable.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"

namespace {

std::unique_ptr<TKnownNamespaces>& Shared()
{
    static std::unique_ptr<TKnownNamespaces> shared;
    return shared;
}

std::unique_ptr<TNamespace> FromPath(const std::string& path)
{
    PItemIDList pidl = path.empty() ? nullptr : PathToPIDL(path);
    return pidl ? std::make_unique<TNamespace>(pidl, nullptr) : nullptr;
}

} // namespace

std::unique_ptr<TNamespace> CreateSpecialNamespace(int csidl)
{
    switch (csidl) {
    case CSIDL_DESKTOP: return std::make_unique<TNamespace>(MakeDesktopPIDL(), nullptr);
    case CSIDL_BITBUCKET: return std::make_unique<TNamespace>(MakeItem(TItemKind::Trash), nullptr);
    case CSIDL_DRIVES: return std::make_unique<TNamespace>(MakeItem(TItemKind::Computer), nullptr);
    case CSIDL_DESKTOPDIRECTORY: return FromPath(PhysicalDesktopPath());
    case CSIDL_PERSONAL: return FromPath(DocumentsPath());
    default: return nullptr;
    }
}

TKnownNamespaces& KnownNamespaces()
{
    std::unique_ptr<TKnownNamespaces>& shared = Shared();
    if (!shared) {
        StopShellBrowsingAtExit();
        shared = std::make_unique<TKnownNamespaces>();
        shared->DesktopFolder = CreateSpecialNamespace(CSIDL_DESKTOP);
        shared->RecycleBinFolder = CreateSpecialNamespace(CSIDL_BITBUCKET);
        shared->PhysicalDesktopFolder = CreateSpecialNamespace(CSIDL_DESKTOPDIRECTORY);
        shared->MyComputerFolder = CreateSpecialNamespace(CSIDL_DRIVES);
        shared->ControlPanelFolder = CreateSpecialNamespace(CSIDL_CONTROLS);
        shared->NetworkNeighborhoodFolder = CreateSpecialNamespace(CSIDL_NETWORK);
        shared->FavoritesFolder = CreateSpecialNamespace(CSIDL_FAVORITES);
        for (TNamespace* item : {shared->DesktopFolder.get(), shared->RecycleBinFolder.get(),
                                 shared->PhysicalDesktopFolder.get(), shared->MyComputerFolder.get()})
            if (item)
                item->ParentShellFolder();
    }
    return *shared;
}

void FreeKnownNamespaces()
{
    Shared().reset();
}

int DefaultSystemImageIndex(int kind)
{
    switch (kind) {
    case 0: return SystemIcon::Folder;
    case 1: return SystemIcon::FolderOpen;
    case 2: return SystemIcon::UnknownFile;
    case 3: return SystemIcon::LinkEmblem;
    case 4: {
        const std::unique_ptr<TNamespace> documents = CreateSpecialNamespace(CSIDL_PERSONAL);
        return documents ? documents->IconIndexFor(false, 0, true) : -1;
    }
    default: return -1;
    }
}
