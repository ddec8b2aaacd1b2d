#include "ShellBrowsing/Source/namespace/ShellLocations.h"

#include "ShellBrowsing/Source/idlist/PIDLManager.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

bool IsFolder(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Inside(const std::string& path, const std::string& folder)
{
    if (folder == "/")
        return path.size() > 1 && path.front() == '/';
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

// Mount table fields escape blanks, tabs, newlines and backslashes as octal.
std::string UnescapeMountField(const std::string& field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string oct = field.substr(i + 1, 3);
            if (oct.size() == 3 && oct.find_first_not_of("01234567") == std::string::npos) {
                out += static_cast<char>(std::strtol(oct.c_str(), nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

std::vector<TVolume> MountTable()
{
    std::vector<TVolume> volumes;
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, devno, root, mountPoint;
        fields >> id >> parent >> devno >> root >> mountPoint;
        const std::size_t dash = line.find(" - ");
        if (mountPoint.empty() || dash == std::string::npos)
            continue;
        std::istringstream tail(line.substr(dash + 3));
        TVolume v;
        tail >> v.FileSystemType >> v.Device;
        v.MountPoint = UnescapeMountField(mountPoint);
        v.Device = UnescapeMountField(v.Device);
        volumes.push_back(std::move(v));
    }
    return volumes;
}

bool UserVisibleMount(const std::string& mountPoint)
{
    return Inside(mountPoint, "/media") || Inside(mountPoint, "/mnt") || Inside(mountPoint, "/run/media");
}

PItemIDList AppendSegments(PItemIDList base, const std::string& rest)
{
    TPIDLHolder list(base);
    std::size_t at = 0;
    while (list && at < rest.size()) {
        std::size_t end = rest.find('/', at);
        if (end == std::string::npos)
            end = rest.size();
        if (end > at) {
            TPIDLHolder item(MakeItem(TItemKind::Entry, std::string_view(rest).substr(at, end - at)));
            if (!item)
                return nullptr;
            list.Reset(PIDLMgr().AppendPIDL(list.Get(), item.Get()));
        }
        at = end + 1;
    }
    return list.Release();
}

PItemIDList Join(TItemKind first, TItemKind second, std::string_view secondName)
{
    TPIDLHolder a(MakeItem(first));
    TPIDLHolder b(MakeItem(second, secondName));
    if (!a || !b)
        return nullptr;
    return PIDLMgr().AppendPIDL(a.Get(), b.Get());
}

} // namespace

std::string HomeFolderPath()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return NormalizePath(home);
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return NormalizePath(pw->pw_dir);
    return "/";
}

std::string DataHomePath()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return NormalizePath(data);
    return HomeFolderPath() + "/.local/share";
}

std::string HomeTrashPath()
{
    return DataHomePath() + "/Trash";
}

std::string PhysicalDesktopPath()
{
    const std::string path = Bytes(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    return IsFolder(path) ? NormalizePath(path) : std::string();
}

std::string DocumentsPath()
{
    const std::string path = Bytes(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return IsFolder(path) && NormalizePath(path) != HomeFolderPath() ? NormalizePath(path) : std::string();
}

std::vector<TVolume> UserVolumes()
{
    std::vector<TVolume> volumes;
    const std::vector<TVolume> table = MountTable();
    TVolume root{"/", {}, {}};
    for (const TVolume& v : table)
        if (v.MountPoint == "/")
            root = v;
    volumes.push_back(root);
    for (const TVolume& v : table) {
        if (!UserVisibleMount(v.MountPoint) || !IsFolder(v.MountPoint))
            continue;
        const bool seen = std::any_of(volumes.begin(), volumes.end(),
                                      [&](const TVolume& known) { return known.MountPoint == v.MountPoint; });
        if (!seen)
            volumes.push_back(v);
    }
    return volumes;
}

TVolume VolumeOfPath(const std::string& path)
{
    TVolume best{"/", {}, {}};
    for (const TVolume& v : MountTable())
        if ((v.MountPoint == path || Inside(path, v.MountPoint)) && v.MountPoint.size() >= best.MountPoint.size())
            best = v;
    return best;
}

bool IsRemoteFileSystem(const std::string& fsType)
{
    return fsType.starts_with("nfs") || fsType == "cifs" || fsType == "smb3" || fsType == "smbfs"
        || fsType == "fuse.sshfs" || fsType == "9p" || fsType == "afs";
}

std::vector<std::string> TrashFolders()
{
    std::vector<std::string> folders;
    if (IsFolder(HomeTrashPath()))
        folders.push_back(HomeTrashPath());
    const std::string uid = std::to_string(::getuid());
    for (const TVolume& v : UserVolumes()) {
        const std::string top = v.MountPoint == "/" ? std::string() : v.MountPoint;
        struct stat st {};
        const std::string shared = top + "/.Trash";
        if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)
            && IsFolder(shared + "/" + uid))
            folders.push_back(shared + "/" + uid);
        if (IsFolder(top + "/.Trash-" + uid))
            folders.push_back(top + "/.Trash-" + uid);
    }
    return folders;
}

std::string TrashFolderFor(const std::string& path, std::string* topDir)
{
    struct stat item {};
    if (::lstat(path.c_str(), &item) != 0)
        return {};
    const std::string home = HomeTrashPath();
    struct stat homeStat {};
    std::string probe = home;
    // why: the home trash may not exist yet; its nearest existing ancestor tells its device.
    while (::stat(probe.c_str(), &homeStat) != 0 && probe.size() > 1)
        probe = probe.substr(0, std::max<std::size_t>(1, probe.find_last_of('/')));
    if (homeStat.st_dev == item.st_dev) {
        if (topDir)
            topDir->clear();
        return home;
    }
    const std::string top = VolumeOfPath(path).MountPoint;
    const std::string base = top == "/" ? std::string() : top;
    if (topDir)
        *topDir = top;
    const std::string uid = std::to_string(::getuid());
    struct stat st {};
    const std::string shared = base + "/.Trash";
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const std::string own = shared + "/" + uid;
        if (IsFolder(own) || ::mkdir(own.c_str(), 0700) == 0)
            return own;
    }
    return base + "/.Trash-" + uid;
}

std::string NormalizePath(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return {};
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    while (at < path.size()) {
        std::size_t end = path.find('/', at);
        if (end == std::string::npos)
            end = path.size();
        const std::string_view part = std::string_view(path).substr(at, end - at);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::string out;
    for (std::string_view part : parts) {
        out += '/';
        out += part;
    }
    return out.empty() ? "/" : out;
}

PItemIDList PathToPIDL(const std::string& path)
{
    if (path != ComputerParsingName && path != TrashParsingName) {
        const std::string normal = NormalizePath(path);
        struct stat st {};
        if (normal.empty() || ::lstat(normal.c_str(), &st) != 0)
            return nullptr;
    }
    return PathToPIDLLexical(path);
}

PItemIDList PathToPIDLLexical(const std::string& path)
{
    if (path == ComputerParsingName)
        return MakeItem(TItemKind::Computer);
    if (path == TrashParsingName)
        return MakeItem(TItemKind::Trash);
    const std::string normal = NormalizePath(path);
    if (normal.empty())
        return nullptr;
    const std::string home = HomeFolderPath();
    if (normal == home)
        return MakeItem(TItemKind::Home);
    if (Inside(normal, home))
        return AppendSegments(MakeItem(TItemKind::Home), normal.substr(home.size() + 1));
    std::string mount = "/";
    for (const TVolume& v : UserVolumes())
        if ((normal == v.MountPoint || Inside(normal, v.MountPoint)) && v.MountPoint.size() > mount.size())
            mount = v.MountPoint;
    PItemIDList base = Join(TItemKind::Computer, TItemKind::Volume, mount);
    if (normal == mount)
        return base;
    return AppendSegments(base, normal.substr(mount == "/" ? 1 : mount.size() + 1));
}

std::string PIDLToFileSystemPath(PCItemIDList absolute)
{
    if (!absolute)
        return {};
    if (ItemCB(absolute) == 0) {
        const std::string desktop = PhysicalDesktopPath();
        return desktop.empty() ? HomeFolderPath() : desktop;
    }
    std::string path;
    for (PCItemIDList p = absolute; ItemCB(p) != 0; p = PIDLMgr().NextID(p)) {
        switch (ItemKind(p)) {
        case TItemKind::Home: path = HomeFolderPath(); break;
        case TItemKind::Computer:
        case TItemKind::Trash: path.clear(); break;
        case TItemKind::Volume:
        case TItemKind::TrashEntry: path = ItemName(p); break;
        case TItemKind::Entry:
            if (path.empty())
                return {};
            if (path != "/")
                path += '/';
            path += ItemName(p);
            break;
        }
    }
    return path;
}

PItemIDList MyDocumentsPIDL()
{
    const std::string documents = DocumentsPath();
    return documents.empty() ? nullptr : PathToPIDL(documents);
}

QString HomeDisplayName()
{
    return QStringLiteral("Home");
}

QString ComputerDisplayName()
{
    return QStringLiteral("Computer");
}

QString TrashDisplayName()
{
    return QStringLiteral("Trash");
}

QString DesktopDisplayName()
{
    return QStringLiteral("Desktop");
}

QString RootVolumeDisplayName()
{
    return QStringLiteral("File System");
}
