#include "utility/UclFileUtils.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/FileNames.h"
#include "utility/UclStrings.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// why: in UTF-8 a "/" byte is never part of a longer character, so the last byte decides.
bool EndsWithSeparator(std::string_view path)
{
    return !path.empty() && path.back() == PathDelim;
}

// The entry's status, or the errno value that says why there is none. A symbolic link whose
// target is gone is still an entry of that name, so it falls back to the link itself.
int StatEntry(const std::string& name, struct stat& st)
{
    // A directory search refuses a name that ends in a separator; so do we.
    if (name.empty() || EndsWithSeparator(name))
        return ENOENT;
    if (::stat(name.c_str(), &st) == 0)
        return 0;
    const int error = errno;
    if (::lstat(name.c_str(), &st) == 0)
        return 0;
    return error;
}

TFileEntryInfo InfoOf(const std::string& name, const struct stat& st)
{
    TFileEntryInfo info;
    info.Name = ExtractFileName(name);
    if (S_ISDIR(st.st_mode))
        info.Attributes.Include(TFileEntryAttribute::faFolder);
    if ((st.st_mode & S_IWUSR) == 0)
        info.Attributes.Include(TFileEntryAttribute::faReadOnly);
    if (info.Name.starts_with('.'))
        info.Attributes.Include(TFileEntryAttribute::faHidden);
    info.Size = static_cast<std::int64_t>(st.st_size);
    info.LastWriteTime = FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    return info;
}

std::string EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// The system reports folders without a trailing separator; the root keeps its "/".
std::string WithoutTrailingSeparators(std::string path)
{
    while (path.size() > 1 && path.back() == PathDelim)
        path.pop_back();
    return path;
}

std::string HomeFolderPath()
{
    std::string home = EnvironmentValue("HOME");
    if (home.empty()) {
        long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
        passwd entry{};
        passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
            home = found->pw_dir;
    }
    return home.empty() ? home : WithoutTrailingSeparators(home);
}

// An XDG base folder: the variable when it holds an absolute path (the XDG rule ignores
// relative ones), else `fallback` below the home folder.
std::string XdgFolderPath(const char* variable, std::string_view fallback)
{
    const std::string value = EnvironmentValue(variable);
    if (value.starts_with(PathDelim))
        return WithoutTrailingSeparators(value);
    const std::string home = HomeFolderPath();
    return home.empty() ? home : WithTrailingBackslash(home) + std::string(fallback);
}

// Stands in for the shell's special-folder lookup: an item-ID list for the folder, or none.
PShellIdList SpecialFolderIdList(int csidl)
{
    std::string path;
    switch (csidl) {
    case CSIDL_APPDATA: path = XdgFolderPath("XDG_CONFIG_HOME", ".config"); break;
    case CSIDL_LOCAL_APPDATA: path = XdgFolderPath("XDG_DATA_HOME", ".local/share"); break;
    case CSIDL_PROFILE: path = HomeFolderPath(); break;
    default: break;
    }
    if (path.empty())
        return nullptr;
    return std::make_unique<TShellIdList>(TShellIdList{std::move(path)});
}

} // namespace

std::string WithTrailingBackslash(std::string_view path)
{
    return IncludeTrailingPathDelimiter(path);
}

std::string WithoutTrailingBackslash(std::string_view path)
{
    if (EndsWithSeparator(path))
        path.remove_suffix(1);
    return std::string(path);
}

std::string WithDefaultExtension(std::string_view fileName, std::string_view extension)
{
    std::string result(fileName);
    if (fileName.empty() || extension.empty() || !ExtractFileExt(fileName).empty())
        return result;
    if (!extension.starts_with('.'))
        result += '.';
    result += extension;
    return result;
}

bool IsAbsoluteDrivePath(std::string_view path)
{
    return path.size() >= 2 && path.front() == PathDelim;
}

bool FolderExists(const std::string& path)
{
    return DirectoryExists(path);
}

bool FileEntryExists(const std::string& name)
{
    struct stat st {};
    return StatEntry(name, st) == 0;
}

bool FindFileEntry(const std::string& name, TFileEntryInfo& info)
{
    struct stat st {};
    if (StatEntry(name, st) != 0)
        return false;
    info = InfoOf(name, st);
    return true;
}

void FileLastWriteTime(const std::string& name, FILETIME& fileTime)
{
    struct stat st {};
    if (const int error = StatEntry(name, st); error != 0)
        RaiseLastOSError(error);
    fileTime = InfoOf(name, st).LastWriteTime;
}

std::string WindowsFolderPath()
{
    return "/";
}

std::string TempFolderPath()
{
    std::string path = EnvironmentValue("TMPDIR");
    if (path.empty())
        path = "/tmp";
    path = WithoutTrailingSeparators(path);
    // The root has no form without its separator, so it is treated like an unset TMPDIR.
    return path == "/" ? std::string("/tmp") : path;
}

std::string SpecialFolderPath(int csidl)
{
    PShellIdList idList = SpecialFolderIdList(csidl);
    if (!idList)
        return {};
    std::string path = ShellIdListToPath(idList.get());
    ReleaseShellIdList(idList);
    return path;
}

std::string AppDataFolderPath()
{
    return SpecialFolderPath(CSIDL_APPDATA);
}

std::string ShellIdListToPath(const TShellIdList* idList)
{
    if (!idList)
        return {};
    std::string path = idList->Path;
    TruncateAtNul(path);
    return path;
}

bool ReleaseShellIdList(PShellIdList& idList)
{
    idList.reset();
    return true;
}
