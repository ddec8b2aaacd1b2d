// TNamespace: children, comparison and the cache.

#include "ShellBrowsing/Source/namespace/Namespace.h"

#include "ShellBrowsing/Source/namespace/ShellLocations.h"

std::uint32_t FileObjectsToFlags(TFileObjects objects)
{
    std::uint32_t flags = 0;
    if (objects.Contains(TFileObject::foFolders))
        flags |= SHCONTF_FOLDERS;
    if (objects.Contains(TFileObject::foNonFolders))
        flags |= SHCONTF_NONFOLDERS;
    if (objects.Contains(TFileObject::foHidden))
        flags |= SHCONTF_INCLUDEHIDDEN;
    if (objects.Contains(TFileObject::foShareable))
        flags |= SHCONTF_SHAREABLE;
    if (objects.Contains(TFileObject::foNetworkPrinters))
        flags |= SHCONTF_NETPRINTERSRCH;
    return flags;
}

bool TNamespace::HasChildren(std::uint32_t shcontf)
{
    if (IsRecycleBin())
        return true;
    if (!IsFolderItem())
        return false;
    const PShellFolder folder = ShellFolder();
    const std::unique_ptr<TEnumIDList> children = folder ? folder->EnumObjects(shcontf) : nullptr;
    if (!children)
        return false;
    TPIDLHolder first(children->Next());
    return static_cast<bool>(first);
}

bool TNamespace::HasAnyChildItem()
{
    return HasChildren(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN);
}

bool TNamespace::OkToBrowse()
{
    if (IsRemovableItem() || !ParentShellFolder())
        return true;
    const std::string path = PathBytes();
    if (!path.empty()) {
        const TVolume volume = VolumeOfPath(path);
        // why: a network volume that hangs must not hang the explorer; browsing it will tell.
        if (volume.MountPoint == path && IsRemoteFileSystem(volume.FileSystemType))
            return true;
    }
    return TestAttributesOf(SFGAO_VALIDATE);
}

int TNamespace::EnumerateFolder(TFileObjects objects, const TEnumFolderCallback& callback)
{
    const std::uint32_t flags = FileObjectsToFlags(objects);
    return EnumerateFolderEx(flags & SHCONTF_FOLDERS, flags & SHCONTF_NONFOLDERS, flags & SHCONTF_INCLUDEHIDDEN, callback);
}

int TNamespace::EnumerateFolderEx(bool folders, bool nonFolders, bool hidden, const TEnumFolderCallback& callback)
{
    const PShellFolder folder = ShellFolder();
    if (!folder || !callback || !OkToBrowse())
        return 0;
    std::uint32_t flags = 0;
    if (folders)
        flags |= SHCONTF_FOLDERS;
    if (nonFolders)
        flags |= SHCONTF_NONFOLDERS;
    if (hidden)
        flags |= SHCONTF_INCLUDEHIDDEN;
    const std::unique_ptr<TEnumIDList> children = folder->EnumObjects(flags);
    if (!children)
        return 0;
    int count = 0;
    bool terminate = false;
    while (!terminate) {
        PItemIDList child = children->Next();
        if (!child)
            break;
        if (callback(*this, child, terminate))
            ++count;
    }
    return count;
}

int TNamespace::ComparePIDL(PCItemIDList pidl, bool isAbsolute, int column)
{
    if (!pidl)
        return NotEqual;
    if (column < 0)
        column = 0;
    const PShellFolder folder = ParentShellFolder();
    if (!folder)
        return 0;
    const TPIDLManager& m = PIDLMgr();
    if (isAbsolute) {
        if (m.IDCount(pidl) != m.IDCount(FAbsolutePIDL))
            return NotEqual;
        if (FParent && !ILIsParent(FParent->AbsolutePIDL(), pidl, true))
            return NotEqual;
    }
    return folder->CompareIDs(column, m.GetPointerToLastID(pidl), FRelativePIDL);
}

void TNamespace::InvalidateCache()
{
    for (QString* text : {&FTextInFolderName, &FTextNormalName, &FTextParsingAddressBar, &FTextCreated, &FTextAccessed,
                          &FTextModified, &FTextSize, &FTextSizeKB, &FTextFileType})
        text->clear();
    FNormalIconIndex = -1;
    FOpenIconIndex = -1;
    FOverlayIndex = -1;
    FFileSize = 0;
    FDetailsColumnCount = 0;
    FCachedBits = 0;
    FCacheValid = 0;
}

void TNamespace::FreeCaches()
{
    if (OwnsParent()) {
        FOwnedParent.reset();
        FParent = nullptr;
        FFlags &= ~FlagOwnsParent;
    }
    FShellFolder.reset();
    FShellFolderTried = false;
    FFindData.reset();
}

void TNamespace::InvalidateNamespace(bool forgetIcons)
{
    const bool normalValid = !forgetIcons && Valid(vNormalIcon);
    const bool openValid = !forgetIcons && Valid(vOpenIcon);
    const int normal = FNormalIconIndex;
    const int open = FOpenIconIndex;
    if (forgetIcons)
        FFlags &= ~(FlagThreadIconLoaded | FlagThreadIconLoading);
    InvalidateCache();
    FreeCaches();
    FFlags &= ~(FlagRecycleBin | FlagRecycleBinKnown);
    if (normalValid) {
        FNormalIconIndex = normal;
        SetValid(vNormalIcon);
    }
    if (openValid) {
        FOpenIconIndex = open;
        SetValid(vOpenIcon);
    }
}

void TNamespace::ReloadPIDL(TFileObjects objects)
{
    const PShellFolder folder = ParentShellFolder();
    const std::unique_ptr<TEnumIDList> children = folder ? folder->EnumObjects(FileObjectsToFlags(objects)) : nullptr;
    if (!children)
        return;
    while (PItemIDList child = children->Next()) {
        TPIDLHolder held(child);
        if (ComparePIDL(child, false, 0) == 0) {
            ReplaceRelativePIDL(child);
            InvalidateNamespace(true);
            return;
        }
    }
}

void TNamespace::ReplaceRelativePIDL(PItemIDList newRelative)
{
    const TPIDLManager& m = PIDLMgr();
    PItemIDList replaced = nullptr;
    if (FParent) {
        replaced = m.AppendPIDL(FParent->AbsolutePIDL(), newRelative);
    } else {
        TPIDLHolder parent(m.StripLastID(m.CopyPIDL(FAbsolutePIDL)));
        replaced = m.AppendPIDL(parent.Get(), newRelative);
    }
    if (!replaced)
        return;
    if (FreePIDLOnDestroy())
        PIDLFree(FAbsolutePIDL);
    FAbsolutePIDL = replaced;
    FRelativePIDL = m.GetPointerToLastID(replaced);
    SetFreePIDLOnDestroy(true);
    FShellFolder.reset();
    FShellFolderTried = false;
    FFindData.reset();
}
