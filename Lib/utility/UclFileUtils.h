#pragma once
// Path, file and folder routines: building paths, asking whether files and folders exist,
// reading a file's last-write time and locating the system folders. This is what the IDE
// consults before it opens a file; nothing here changes the file system.
//
// Paths are Linux paths: "/" is the separator wherever these names say "backslash", there
// are no drive letters and ':' is an ordinary character.

#include "Platform/core/DateTime.h"
#include "Platform/core/Set.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The path with one "/" at its end (added unless it already ends with one); "" gives "/".
std::string WithTrailingBackslash(std::string_view path);
// The path without its last byte when that is "/"; only one separator is removed.
std::string WithoutTrailingBackslash(std::string_view path);

// Appends `extension` (a "." is put in front unless it starts with one) when the file name is
// non-empty and has no extension. A name counts as having one when its part after the last
// "/" holds a "." (also a trailing "."); a "." in a folder name does not count.
std::string WithDefaultExtension(std::string_view fileName, std::string_view extension);

// On Linux a path names its folder when it starts with "/" and has a character after it.
bool IsAbsoluteDrivePath(std::string_view path);

// True for an existing folder (following symbolic links); false for "", a file or nothing.
bool FolderExists(const std::string& path);

enum class TFileEntryAttribute { faFolder, faReadOnly, faHidden };
using TFileEntryAttributes = TSet<TFileEntryAttribute>;

// What a directory search reports about one entry.
struct TFileEntryInfo {
    std::string Name; // the entry's own name, without its folder
    // faReadOnly: the owner may not write it; faHidden: the name starts with "."
    TFileEntryAttributes Attributes;
    std::int64_t Size = 0;
    FILETIME LastWriteTime; // UTC, as the file system stores it
};

// True when an entry of exactly this name exists: a file, a folder, a device, or a symbolic
// link (also one whose target is gone). Wildcards are ordinary characters, since Linux file
// names may hold "*" and "?". False for "" and for a name ending in "/".
bool FileEntryExists(const std::string& name);
// As FileEntryExists; on success `info` describes the entry (the link target's data for a
// symbolic link that resolves).
bool FindFileEntry(const std::string& name, TFileEntryInfo& info);
// The raw UTC last-write time of the entry. Change detection compares these values, never
// local times. Raises EOSError "System Error.  Code: %d.\r\n%s" when the entry is missing;
// `fileTime` is then left alone.
void FileLastWriteTime(const std::string& name, FILETIME& fileTime);

// Linux has no Windows folder; the nearest thing is the system root, "/".
std::string WindowsFolderPath();
// $TMPDIR without trailing "/", or "/tmp" when it is unset, empty or the root.
std::string TempFolderPath();

// Special-folder numbers that have a Linux counterpart; every other number gives "".
constexpr int CSIDL_APPDATA = 26;       // $XDG_CONFIG_HOME or ~/.config
constexpr int CSIDL_LOCAL_APPDATA = 28; // $XDG_DATA_HOME or ~/.local/share
constexpr int CSIDL_PROFILE = 40;       // the home folder

// The folder of the given number without a trailing "/", or "" when the system has none.
std::string SpecialFolderPath(int csidl);
// The per-user settings folder: SpecialFolderPath(CSIDL_APPDATA).
std::string AppDataFolderPath();

// A shell item-ID list. Without a shell allocator on Linux, a list is the file-system path
// it names, owned by the pointer that holds it.
struct TShellIdList {
    std::string Path; // "" when the list names no file-system folder
};
using PShellIdList = std::unique_ptr<TShellIdList>;

// The path the list names, cut at its first NUL; "" for no list or a list without a path.
std::string ShellIdListToPath(const TShellIdList* idList);
// Frees the list and leaves the variable null; true, also when it was null already.
bool ReleaseShellIdList(PShellIdList& idList);
