#pragma once
// Where the namespace's special items live on this system, read afresh at each question so that
// a changed HOME or XDG folder takes effect at once, and the translation between file-system
// paths (bytes) and item identifier lists.
//
// Canonical lists: a path inside the home folder is named from the desktop's "Home" item; any
// other path from "Computer" and the volume (the root "/" or a mount point) that holds it.

#include "ShellBrowsing/Source/idlist/PIDL.h"

#include <QString>
#include <string>
#include <vector>

// The user's home folder ($HOME), without a trailing "/".
std::string HomeFolderPath();
// $XDG_DATA_HOME or ~/.local/share.
std::string DataHomePath();
// The home trash: DataHome + "/Trash".
std::string HomeTrashPath();
// The physical desktop folder (the XDG desktop folder) when it exists, else "".
std::string PhysicalDesktopPath();
// The user's documents folder (XDG) when it exists, else "".
std::string DocumentsPath();

struct TVolume {
    std::string MountPoint;
    std::string Device;
    std::string FileSystemType;
};
// The root "/" first, then the mount points that users see as volumes (under /media, /mnt and
// /run/media), from the system's mount table, in table order.
std::vector<TVolume> UserVolumes();
// The volume that holds `path` (the longest mount point above it); the root when none other.
TVolume VolumeOfPath(const std::string& path);
// Network file systems (NFS, SMB, SSHFS, 9p): not validated before browsing.
bool IsRemoteFileSystem(const std::string& fsType);

// The trash folders of this user that exist: the home trash first, then the trash folders at the
// top of the volumes (".Trash/<uid>" when ".Trash" is a sticky folder, ".Trash-<uid>").
std::vector<std::string> TrashFolders();
// The trash folder to which `path` would be moved ("" when it has none), creating it when
// needed: the home trash for the home trash's device, else the volume's ".Trash/<uid>" or
// ".Trash-<uid>".
std::string TrashFolderFor(const std::string& path, std::string* topDir = nullptr);

// Collapses doubled "/" and resolves "." and ".." without following links; "" for a path that
// is not absolute.
std::string NormalizePath(const std::string& path);

// The canonical list of an existing path; nil when the path is empty, not absolute or missing.
// "computer:///" names Computer and "trash:///" the trash.
PItemIDList PathToPIDL(const std::string& path);
// The same without asking the disk (for paths that are gone, as in change announcements).
PItemIDList PathToPIDLLexical(const std::string& path);
inline PItemIDList PathToPIDL(const QString& path)
{
    return PathToPIDL(path.toStdString());
}
// The file-system path of an absolute list ("" for Computer, the trash and their lists that
// have none); the desktop gives the physical desktop folder, else the home folder.
std::string PIDLToFileSystemPath(PCItemIDList absolute);
// The list of the user's documents folder; nil when there is none.
PItemIDList MyDocumentsPIDL();

// The display names of the virtual items.
QString HomeDisplayName();
QString ComputerDisplayName();
QString TrashDisplayName();
QString DesktopDisplayName();
QString RootVolumeDisplayName();
// The parsing names of the virtual folders.
inline constexpr const char* ComputerParsingName = "computer:///";
inline constexpr const char* TrashParsingName = "trash:///";
