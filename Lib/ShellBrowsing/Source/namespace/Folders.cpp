// The four kinds of folder: the desktop, Computer, the trash and file-system folders, and the
// binding of an absolute list to its folder.

#include "ShellBrowsing/Source/namespace/ShellFolder.h"

#include "ShellBrowsing/Source/namespace/ShellColumns.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"

#include <dirent.h>
#include <sys/stat.h>

namespace {

bool Wanted(std::uint32_t flags, bool folder, bool hidden)
{
    if (hidden && !(flags & SHCONTF_INCLUDEHIDDEN))
        return false;
    return folder ? (flags & SHCONTF_FOLDERS) != 0 : (flags & SHCONTF_NONFOLDERS) != 0;
}

// Children handed out from a list made in advance.
class TListEnum : public TEnumIDList {
public:
    explicit TListEnum(std::vector<PItemIDList> items) : FItems(std::move(items)) {}
    ~TListEnum() override
    {
        for (std::size_t i = FNext; i < FItems.size(); ++i)
            PIDLFree(FItems[i]);
    }
    PItemIDList Next() override { return FNext < FItems.size() ? FItems[FNext++] : nullptr; }

private:
    std::vector<PItemIDList> FItems;
    std::size_t FNext = 0;
};

// Reads a folder as it goes; `kind` and `prefix` make each child's item (entries of a
// file-system folder, or trash entries named by their full path).
class TDirEnum : public TEnumIDList {
public:
    TDirEnum(DIR* dir, std::uint32_t flags, TItemKind kind, std::string prefix)
        : FDir(dir), FFlags(flags), FKind(kind), FPrefix(std::move(prefix))
    {
    }
    ~TDirEnum() override { ::closedir(FDir); }

    PItemIDList Next() override
    {
        while (const dirent* e = ::readdir(FDir)) {
            const std::string_view name = e->d_name;
            if (name == "." || name == "..")
                continue;
            bool folder = e->d_type == DT_DIR;
            if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
                struct stat st {};
                folder = ::fstatat(::dirfd(FDir), e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
            }
            if (!Wanted(FFlags, folder, name.front() == '.'))
                continue;
            if (FKind == TItemKind::Entry)
                return MakeItem(TItemKind::Entry, name);
            return MakeItem(FKind, FPrefix + std::string(name));
        }
        return nullptr;
    }

private:
    DIR* FDir;
    std::uint32_t FFlags;
    TItemKind FKind;
    std::string FPrefix;
};

class TFileSystemFolder : public TShellFolder {
public:
    TFileSystemFolder(std::string path, PCItemIDList absolute) : TShellFolder(absolute), FPath(std::move(path)) {}

    std::string FolderPath() const override { return FPath; }

    std::unique_ptr<TEnumIDList> EnumObjects(std::uint32_t flags) override
    {
        DIR* dir = ::opendir(FPath.c_str());
        if (!dir)
            return nullptr;
        return std::make_unique<TDirEnum>(dir, flags, TItemKind::Entry, std::string());
    }

private:
    std::string FPath;
};

class TDesktopFolder : public TShellFolder {
public:
    TDesktopFolder() : TShellFolder(TPIDLHolder(MakeDesktopPIDL()).Get()) {}

    std::string FolderPath() const override { return PIDLToFileSystemPath(AbsolutePIDL()); }

    std::unique_ptr<TEnumIDList> EnumObjects(std::uint32_t flags) override
    {
        std::vector<PItemIDList> items;
        if (flags & SHCONTF_FOLDERS)
            for (TItemKind kind : {TItemKind::Home, TItemKind::Computer, TItemKind::Trash})
                if (PItemIDList item = MakeItem(kind))
                    items.push_back(item);
        return std::make_unique<TListEnum>(std::move(items));
    }

    int CompareIDs(int column, PCItemIDList a, PCItemIDList b) override
    {
        // The desktop keeps its three items in their own order.
        const int ka = static_cast<int>(ItemKind(a));
        const int kb = static_cast<int>(ItemKind(b));
        if (ka != kb)
            return ka < kb ? -1 : 1;
        return TShellFolder::CompareIDs(column, a, b);
    }
};

class TComputerFolder : public TShellFolder {
public:
    using TShellFolder::TShellFolder;

    std::unique_ptr<TEnumIDList> EnumObjects(std::uint32_t flags) override
    {
        std::vector<PItemIDList> items;
        if (flags & SHCONTF_FOLDERS)
            for (const TVolume& volume : UserVolumes())
                if (PItemIDList item = MakeItem(TItemKind::Volume, volume.MountPoint))
                    items.push_back(item);
        return std::make_unique<TListEnum>(std::move(items));
    }

    int CompareIDs(int column, PCItemIDList a, PCItemIDList b) override
    {
        // The root folder comes first, the other volumes follow.
        const bool ra = ItemName(a) == "/";
        const bool rb = ItemName(b) == "/";
        if (ra != rb)
            return ra ? -1 : 1;
        return TShellFolder::CompareIDs(column, a, b);
    }

    const std::vector<TShellColumn>& Columns() const override { return ComputerColumns(); }
};

class TTrashFolder : public TShellFolder {
public:
    using TShellFolder::TShellFolder;

    std::unique_ptr<TEnumIDList> EnumObjects(std::uint32_t flags) override
    {
        std::vector<PItemIDList> items;
        for (const std::string& trash : TrashFolders()) {
            const std::string files = trash + "/files";
            DIR* dir = ::opendir(files.c_str());
            if (!dir)
                continue;
            TDirEnum entries(dir, flags, TItemKind::TrashEntry, files + "/");
            while (PItemIDList item = entries.Next())
                items.push_back(item);
        }
        return std::make_unique<TListEnum>(std::move(items));
    }

    const std::vector<TShellColumn>& Columns() const override { return TrashColumns(); }
};

} // namespace

PShellFolder DesktopShellFolder()
{
    static const PShellFolder desktop = std::make_shared<TDesktopFolder>();
    return desktop;
}

PShellFolder MakeFileSystemFolder(const std::string& path, PCItemIDList absolute)
{
    return std::make_shared<TFileSystemFolder>(path, absolute);
}

PShellFolder MakeComputerFolder(PCItemIDList absolute)
{
    return std::make_shared<TComputerFolder>(absolute);
}

PShellFolder MakeTrashFolder(PCItemIDList absolute)
{
    return std::make_shared<TTrashFolder>(absolute);
}

PShellFolder BindFolder(PCItemIDList absolute)
{
    if (!absolute)
        return nullptr;
    if (ItemCB(absolute) == 0)
        return DesktopShellFolder();
    const TPIDLManager& m = PIDLMgr();
    PCItemIDList last = m.GetPointerToLastID(absolute);
    const TItemKind kind = ItemKind(last);
    if (kind == TItemKind::Computer && m.IDCount(absolute) == 1)
        return MakeComputerFolder(absolute);
    if (kind == TItemKind::Trash && m.IDCount(absolute) == 1)
        return MakeTrashFolder(absolute);
    const std::string path = PIDLToFileSystemPath(absolute);
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return nullptr;
    return MakeFileSystemFolder(path, absolute);
}
