#include "ShellBrowsing/Source/namespace/ShellFolder.h"

#include "ShellBrowsing/Source/common/WideStrings.h"
#include "ShellBrowsing/Source/namespace/ItemTexts.h"
#include "ShellBrowsing/Source/namespace/ItemTypes.h"
#include "ShellBrowsing/Source/namespace/ShellColumns.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/namespace/TrashInfo.h"
#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/notify/ShellAnnounce.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

std::string JoinPath(const std::string& folder, std::string_view name)
{
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

bool Writable(const std::string& path)
{
    return !path.empty() && ::access(path.c_str(), W_OK) == 0;
}

bool HasSubFolder(const std::string& path, const TItemData& data)
{
    // why: on most file systems a folder's link count is 2 plus its subfolders, which spares a
    // scan of a large folder; file systems that keep no such count report 1.
    if (data.Links > 2)
        return true;
    if (data.Links == 2)
        return false;
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        return false;
    bool found = false;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name == "." || name == "..")
            continue;
        if (e->d_type == DT_DIR) {
            found = true;
        } else if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st {};
            found = ::fstatat(::dirfd(dir), e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        if (found)
            break;
    }
    ::closedir(dir);
    return found;
}

bool IsRemovableDevice(dev_t device)
{
    char path[96];
    std::snprintf(path, sizeof path, "/sys/dev/block/%u:%u", ::major(device), ::minor(device));
    for (const char* suffix : {"/removable", "/../removable"}) {
        std::ifstream in(std::string(path) + suffix);
        char c = '0';
        if (in >> c)
            return c == '1';
    }
    return false;
}

int Sign(std::int64_t v)
{
    return v < 0 ? -1 : v > 0 ? 1 : 0;
}

} // namespace

TShellFolder::TShellFolder(PCItemIDList absolute) : FAbsolute(PIDLMgr().CopyPIDL(absolute))
{
}

TShellFolder::~TShellFolder() = default;

std::string TShellFolder::ChildPath(PCItemIDList child) const
{
    if (!child || ItemCB(child) == 0)
        return {};
    switch (ItemKind(child)) {
    case TItemKind::Home: return HomeFolderPath();
    case TItemKind::Computer:
    case TItemKind::Trash: return {};
    case TItemKind::Volume:
    case TItemKind::TrashEntry: return std::string(ItemName(child));
    case TItemKind::Entry: {
        const std::string folder = FolderPath();
        return folder.empty() ? std::string() : JoinPath(folder, ItemName(child));
    }
    }
    return {};
}

bool TShellFolder::GetItemData(PCItemIDList child, TItemData& data) const
{
    return ReadItemData(ChildPath(child), data);
}

std::uint32_t TShellFolder::GetAttributesOf(PCItemIDList child, std::uint32_t mask)
{
    if (!child)
        return 0;
    if (ItemCB(child) == 0) // the desktop itself
        return mask & (SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR | SFGAO_VALIDATE);
    switch (ItemKind(child)) {
    case TItemKind::Computer:
        return mask & (SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR | SFGAO_VALIDATE);
    case TItemKind::Trash:
        return mask & (SFGAO_FOLDER | SFGAO_DROPTARGET | SFGAO_VALIDATE);
    default:
        return FileSystemAttributes(child, mask);
    }
}

std::uint32_t TShellFolder::FileSystemAttributes(PCItemIDList child, std::uint32_t mask)
{
    const std::string path = ChildPath(child);
    TItemData data;
    if (!ReadItemData(path, data))
        return 0;
    const TItemKind kind = ItemKind(child);
    std::uint32_t bits = SFGAO_VALIDATE | SFGAO_FILESYSTEM | SFGAO_CANCOPY | SFGAO_CANLINK | SFGAO_HASPROPSHEET;
    if (data.IsFolder())
        bits |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;
    if (data.IsLink)
        bits |= SFGAO_LINK;
    if (ChildDisplayName(child).starts_with('.'))
        bits |= SFGAO_HIDDEN;
    if ((mask & SFGAO_READONLY) && !Writable(path))
        bits |= SFGAO_READONLY;
    if ((mask & (SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_CANMOVE)) && kind != TItemKind::Home
        && kind != TItemKind::Volume) {
        const std::size_t slash = path.find_last_of('/');
        const std::string parent = slash == 0 ? std::string("/") : path.substr(0, slash);
        if (Writable(parent))
            bits |= kind == TItemKind::TrashEntry ? SFGAO_CANDELETE : SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_CANMOVE;
    }
    if ((mask & SFGAO_DROPTARGET) && data.IsFolder() && Writable(path))
        bits |= SFGAO_DROPTARGET;
    if ((mask & SFGAO_HASSUBFOLDER) && data.IsFolder() && HasSubFolder(path, data))
        bits |= SFGAO_HASSUBFOLDER;
    if ((mask & SFGAO_REMOVABLE) && kind == TItemKind::Volume && IsRemovableDevice(data.Device))
        bits |= SFGAO_REMOVABLE;
    return mask & bits;
}

std::string TShellFolder::ChildDisplayName(PCItemIDList child) const
{
    if (!child || ItemCB(child) == 0)
        return {};
    switch (ItemKind(child)) {
    case TItemKind::Home: return HomeDisplayName().toStdString();
    case TItemKind::Computer: return ComputerDisplayName().toStdString();
    case TItemKind::Trash: return TrashDisplayName().toStdString();
    case TItemKind::Volume: {
        const std::string_view path = ItemName(child);
        if (path == "/")
            return RootVolumeDisplayName().toStdString();
        return std::string(path.substr(path.find_last_of('/') + 1));
    }
    case TItemKind::TrashEntry: {
        const std::string original = TrashItemOriginalPath(std::string(ItemName(child)));
        return original.substr(original.find_last_of('/') + 1);
    }
    case TItemKind::Entry: return std::string(ItemName(child));
    }
    return {};
}

std::string TShellFolder::GetDisplayNameOf(PCItemIDList child, std::uint32_t flags)
{
    if (!child)
        return {};
    if (ItemCB(child) == 0) // the desktop itself
        return flags & SHGDN_FORPARSING ? PIDLToFileSystemPath(child) : DesktopDisplayName().toStdString();
    const TItemKind kind = ItemKind(child);
    if (flags & SHGDN_FORPARSING) {
        if (kind == TItemKind::Computer)
            return ComputerParsingName;
        if (kind == TItemKind::Trash)
            return TrashParsingName;
        if ((flags & SHGDN_INFOLDER) && (kind == TItemKind::Entry || kind == TItemKind::TrashEntry)) {
            const std::string_view name = ItemName(child);
            return std::string(name.substr(name.find_last_of('/') + 1));
        }
        return ChildPath(child);
    }
    if ((flags & SHGDN_FOREDITING) && kind == TItemKind::Entry)
        return std::string(ItemName(child));
    return ChildDisplayName(child);
}

PShellFolder TShellFolder::BindToObject(PCItemIDList child)
{
    if (!child || ItemCB(child) == 0)
        return nullptr;
    TPIDLHolder absolute(PIDLMgr().AppendPIDL(AbsolutePIDL(), child));
    if (!absolute)
        return nullptr;
    switch (ItemKind(child)) {
    case TItemKind::Computer: return MakeComputerFolder(absolute.Get());
    case TItemKind::Trash: return MakeTrashFolder(absolute.Get());
    default: {
        const std::string path = ChildPath(child);
        struct stat st {};
        if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return nullptr;
        return MakeFileSystemFolder(path, absolute.Get());
    }
    }
}

int TShellFolder::CompareNames(PCItemIDList a, PCItemIDList b) const
{
    return CompareItemNames(ChildDisplayName(a), ChildDisplayName(b));
}

int TShellFolder::CompareIDs(int column, PCItemIDList a, PCItemIDList b)
{
    const std::vector<TShellColumn>& columns = Columns();
    const TColumnId id = column > 0 && column < static_cast<int>(columns.size()) ? columns[static_cast<std::size_t>(column)].Id : TColumnId::Name;
    int result = 0;
    if (id != TColumnId::Name) {
        TItemData da;
        TItemData db;
        const bool ha = GetItemData(a, da);
        const bool hb = GetItemData(b, db);
        switch (id) {
        case TColumnId::Size: result = Sign((da.IsFolder() ? -1 : da.Size) - (db.IsFolder() ? -1 : db.Size)); break;
        case TColumnId::Modified: result = Sign(static_cast<std::int64_t>(da.Modified.Ticks - db.Modified.Ticks)); break;
        case TColumnId::Created: result = Sign(static_cast<std::int64_t>(da.Created.Ticks - db.Created.Ticks)); break;
        case TColumnId::Accessed: result = Sign(static_cast<std::int64_t>(da.Accessed.Ticks - db.Accessed.Ticks)); break;
        default: {
            QString ta;
            QString tb;
            GetDetailsOf(a, column, ta);
            GetDetailsOf(b, column, tb);
            result = Sign(QString::compare(ta, tb, Qt::CaseInsensitive));
            break;
        }
        }
        if (ha != hb)
            result = ha ? 1 : -1;
    }
    return result != 0 ? result : Sign(CompareNames(a, b));
}

PItemIDList TShellFolder::SetNameOf(PCItemIDList child, const std::string& newName, int& error)
{
    error = 0;
    if (!child || ItemCB(child) == 0 || ItemKind(child) != TItemKind::Entry) {
        error = EPERM;
        return nullptr;
    }
    TPIDLHolder renamed(MakeItem(TItemKind::Entry, newName));
    if (!renamed || !ValidIDListBytes(reinterpret_cast<const std::uint8_t*>(renamed.Get()),
                                      PIDLMgr().PIDLSize(renamed.Get()))) {
        error = EINVAL;
        return nullptr;
    }
    const std::string from = ChildPath(child);
    const std::string to = JoinPath(FolderPath(), newName);
    if (from == to)
        return renamed.Release();
    TItemData data;
    ReadItemData(from, data);
    int rc = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (rc != 0 && errno == EINVAL) {
        // why: some file systems refuse the no-replace flag; a rename then still never replaces.
        struct stat st {};
        if (::lstat(to.c_str(), &st) == 0) {
            error = EEXIST;
            return nullptr;
        }
        rc = ::rename(from.c_str(), to.c_str());
    }
    if (rc != 0) {
        error = errno;
        return nullptr;
    }
    AnnounceShellChange(data.IsFolder() ? TShellKitEventKind::RENAMEFOLDER : TShellKitEventKind::RENAMEITEM, from, to);
    return renamed.Release();
}

const std::vector<TShellColumn>& TShellFolder::Columns() const
{
    return FileSystemColumns();
}

bool TShellFolder::GetDefaultColumnState(int column, std::uint32_t& state) const
{
    const std::vector<TShellColumn>& columns = Columns();
    if (column < 0 || column >= static_cast<int>(columns.size()))
        return false;
    state = columns[static_cast<std::size_t>(column)].State;
    return true;
}

bool TShellFolder::GetColumnTitle(int column, QString& title) const
{
    const std::vector<TShellColumn>& columns = Columns();
    if (column < 0 || column >= static_cast<int>(columns.size()))
        return false;
    title = columns[static_cast<std::size_t>(column)].Title;
    return true;
}

bool TShellFolder::GetDetailsOf(PCItemIDList child, int column, QString& text)
{
    if (!child)
        return GetColumnTitle(column, text);
    if (column < 0 || column >= static_cast<int>(Columns().size()))
        return false;
    text = ColumnText(*this, child, Columns()[static_cast<std::size_t>(column)].Id);
    return true;
}

QString TShellFolder::TypeNameOf(PCItemIDList child)
{
    if (!child)
        return {};
    if (ItemCB(child) == 0 || ItemKind(child) == TItemKind::Computer || ItemKind(child) == TItemKind::Trash)
        return QString::fromLatin1(ShellTexts::SystemFolder);
    TItemData data;
    if (!GetItemData(child, data))
        return {};
    return EntryTypeName(ChildDisplayName(child), data);
}

QString TShellFolder::IconNameOf(PCItemIDList child, bool open)
{
    if (!child)
        return {};
    if (ItemCB(child) == 0)
        return QStringLiteral("user-desktop;folder");
    switch (ItemKind(child)) {
    case TItemKind::Computer: return QStringLiteral("computer");
    case TItemKind::Trash: {
        const std::vector<std::string> trashes = TrashFolders();
        const bool full = std::any_of(trashes.begin(), trashes.end(), [](const std::string& trash) {
            DIR* dir = ::opendir((trash + "/files").c_str());
            if (!dir)
                return false;
            bool any = false;
            while (const dirent* e = ::readdir(dir))
                if (std::string_view(e->d_name) != "." && std::string_view(e->d_name) != "..") {
                    any = true;
                    break;
                }
            ::closedir(dir);
            return any;
        });
        return full ? QStringLiteral("user-trash-full;user-trash") : QStringLiteral("user-trash;folder");
    }
    case TItemKind::Home: return QStringLiteral("user-home;folder");
    case TItemKind::Volume:
        return GetAttributesOf(child, SFGAO_REMOVABLE) ? QStringLiteral("drive-removable-media;drive-harddisk")
                                                       : QStringLiteral("drive-harddisk");
    default: {
        TItemData data;
        if (!GetItemData(child, data))
            return QStringLiteral("unknown;text-x-generic");
        if (data.IsFolder() && !open) {
            const std::string path = ChildPath(child);
            if (path == DocumentsPath())
                return QStringLiteral("folder-documents;folder");
            if (path == PhysicalDesktopPath())
                return QStringLiteral("user-desktop;folder");
        }
        return EntryIconName(ChildDisplayName(child), data, open);
    }
    }
}

std::string TrashItemOriginalPath(const std::string& filesPath)
{
    TTrashInfo info;
    return ReadTrashInfo(filesPath, info) ? info.OriginalPath : filesPath;
}
