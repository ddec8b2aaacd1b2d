#include "ShellBrowsing/Source/operations/FileOperations.h"

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/notify/ShellAnnounce.h"

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"

#include <cerrno>
#include <filesystem>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ShellFileOps {

namespace {

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

std::string Failure(const char* verb, const std::string& path, int error)
{
    return Format("Could not %s %s: %s", {verb, Quoted(path), SysErrorMessage(error)});
}

std::string RealFolder(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : NormalizePath(path);
}

// "name (copy)", "name (copy 2)", ... (before the extension of a file) that is free in the folder.
std::string CopyName(const std::string& folder, const std::string& name, const char* what, bool folderItem)
{
    const std::size_t dot = folderItem || name.front() == '.' ? std::string::npos : name.find_last_of('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    for (int n = 1;; ++n) {
        const std::string candidate = stem + " (" + what + (n == 1 ? std::string() : " " + std::to_string(n)) + ")" + ext;
        if (!EntryExists(JoinPath(folder, candidate)))
            return candidate;
    }
}

bool CopyFileData(int from, int to)
{
    for (;;) {
        const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (copied == 0)
            return true;
        if (copied > 0)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            return false;
        break;
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t put = 0; put < got;) {
            const ssize_t wrote = ::write(to, buffer + put, static_cast<std::size_t>(got - put));
            if (wrote < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            put += wrote;
        }
    }
}

// Puts the finished temporary entry in place of `to`.
bool PlaceTemporary(const std::string& temporary, const std::string& to, bool replace)
{
    const int rc = replace ? ::rename(temporary.c_str(), to.c_str())
                           : ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (rc == 0)
        return true;
    if (!replace && errno == EINVAL) {
        // why: a file system that refuses the no-replace flag still gets no replacing rename.
        if (::link(temporary.c_str(), to.c_str()) == 0) {
            ::unlink(temporary.c_str());
            return true;
        }
    }
    const int error = errno;
    ::unlink(temporary.c_str());
    errno = error;
    return false;
}

std::string TemporaryIn(const std::string& folder)
{
    return JoinPath(folder, ".zentu-copy-XXXXXX");
}

bool CopyRegularFile(const std::string& from, const std::string& to, const struct stat& st, bool replace, int& error)
{
    const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        error = errno;
        return false;
    }
    std::string temporary = TemporaryIn(ParentOf(to));
    const int target = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (target < 0) {
        error = errno;
        ::close(source);
        return false;
    }
    bool ok = CopyFileData(source, target);
    if (ok) {
        ::fchmod(target, st.st_mode & 07777);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(target, times);
        ok = ::fsync(target) == 0 || errno == EINVAL;
    }
    error = ok ? 0 : errno;
    ::close(source);
    if (::close(target) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (!PlaceTemporary(temporary, to, replace)) {
        error = errno;
        return false;
    }
    return true;
}

class TTransfer {
public:
    TTransfer(TTransferMode mode, TOperationReport& report) : FMode(mode), FReport(report) {}

    // False when the user cancelled.
    bool Item(const std::string& source, const std::string& folder, bool announce);
    bool CopyTree(const std::string& from, const std::string& to, bool replace);

private:
    bool Merge(const std::string& source, const std::string& target);
    const char* Verb() const
    {
        return FMode == TTransferMode::Copy ? "copy" : FMode == TTransferMode::Move ? "move" : "link to";
    }

    TTransferMode FMode;
    TOperationReport& FReport;
};

bool TTransfer::CopyTree(const std::string& from, const std::string& to, bool replace)
{
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0) {
        FReport.Errors.push_back(Failure(Verb(), from, errno));
        return false;
    }
    int error = 0;
    if (S_ISLNK(st.st_mode)) {
        std::string target(static_cast<std::size_t>(PATH_MAX), '\0');
        const ssize_t length = ::readlink(from.c_str(), target.data(), target.size());
        if (length < 0) {
            FReport.Errors.push_back(Failure(Verb(), from, errno));
            return false;
        }
        target.resize(static_cast<std::size_t>(length));
        std::string temporary = TemporaryIn(ParentOf(to));
        const int placeholder = ::mkstemp(temporary.data());
        if (placeholder >= 0) {
            ::close(placeholder);
            ::unlink(temporary.c_str());
        }
        if (placeholder < 0 || ::symlink(target.c_str(), temporary.c_str()) != 0 || !PlaceTemporary(temporary, to, replace)) {
            FReport.Errors.push_back(Failure(Verb(), from, errno));
            return false;
        }
        return true;
    }
    if (S_ISDIR(st.st_mode)) {
        if (::mkdir(to.c_str(), (st.st_mode & 07777) | S_IRWXU) != 0) {
            FReport.Errors.push_back(Failure(Verb(), from, errno));
            return false;
        }
        bool ok = true;
        if (DIR* dir = ::opendir(from.c_str())) {
            while (const dirent* e = ::readdir(dir)) {
                const std::string name = e->d_name;
                if (name != "." && name != "..")
                    ok = CopyTree(JoinPath(from, name), JoinPath(to, name), false) && ok;
            }
            ::closedir(dir);
        } else {
            FReport.Errors.push_back(Failure(Verb(), from, errno));
            ok = false;
        }
        ::chmod(to.c_str(), st.st_mode & 07777);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::utimensat(AT_FDCWD, to.c_str(), times, 0);
        return ok;
    }
    if (!S_ISREG(st.st_mode)) {
        FReport.Errors.push_back(Format("%s is a special file and was not copied.", {Quoted(from)}));
        return false;
    }
    if (!CopyRegularFile(from, to, st, replace, error)) {
        FReport.Errors.push_back(Failure(Verb(), from, error));
        return false;
    }
    return true;
}

bool TTransfer::Merge(const std::string& source, const std::string& target)
{
    DIR* dir = ::opendir(source.c_str());
    if (!dir) {
        FReport.Errors.push_back(Failure(Verb(), source, errno));
        return true;
    }
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir))
        if (std::string_view(e->d_name) != "." && std::string_view(e->d_name) != "..")
            names.emplace_back(e->d_name);
    ::closedir(dir);
    const std::size_t errorsBefore = FReport.Errors.size();
    for (const std::string& name : names)
        if (!Item(JoinPath(source, name), target, false))
            return false;
    if (FMode == TTransferMode::Move && FReport.Errors.size() == errorsBefore)
        ::rmdir(source.c_str()); // only when every item left it
    return true;
}

bool TTransfer::Item(const std::string& source, const std::string& folder, bool announce)
{
    const std::string name = BaseNameOf(source);
    const bool sourceIsFolder = IsFolderEntry(source) && !(FMode == TTransferMode::Link);
    struct stat st {};
    if (::lstat(source.c_str(), &st) != 0) {
        FReport.Errors.push_back(Failure(Verb(), source, errno));
        return true;
    }
    const bool realFolder = S_ISDIR(st.st_mode);
    const bool sameFolder = RealFolder(ParentOf(source)) == RealFolder(folder);
    if (sameFolder && FMode == TTransferMode::Move)
        return true;
    std::string target = JoinPath(folder, name);
    if (sameFolder)
        target = JoinPath(folder, CopyName(folder, name, FMode == TTransferMode::Link ? "link" : "copy", realFolder));
    const std::string realSource = RealFolder(source);
    const std::string realTargetFolder = RealFolder(folder);
    if (realFolder && FMode != TTransferMode::Link
        && (realTargetFolder == realSource || realTargetFolder.starts_with(realSource + "/"))) {
        FReport.Errors.push_back(Format("%s cannot go into itself.", {Quoted(source)}));
        return true;
    }
    bool replace = false;
    if (EntryExists(target)) {
        if (realFolder && sourceIsFolder && IsFolderEntry(target) && FMode != TTransferMode::Link)
            return Merge(source, target);
        const int answer = AskUser(Format("%s already exists in %s. Replace it?", {Quoted(name), Quoted(folder)}),
                                   MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) {
            FReport.Cancelled = true;
            return false;
        }
        if (answer != IDYES)
            return true;
        struct stat existing {};
        if (::lstat(target.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
            FReport.Errors.push_back(Format("%s cannot replace the folder %s.", {Quoted(source), Quoted(target)}));
            return true;
        }
        replace = true;
    }
    bool ok = false;
    if (FMode == TTransferMode::Link) {
        std::string temporary = TemporaryIn(folder);
        const int placeholder = ::mkstemp(temporary.data());
        if (placeholder >= 0) {
            ::close(placeholder);
            ::unlink(temporary.c_str());
        }
        const std::string absolute = NormalizePath(source);
        ok = placeholder >= 0 && ::symlink(absolute.c_str(), temporary.c_str()) == 0 && PlaceTemporary(temporary, target, replace);
        if (!ok)
            FReport.Errors.push_back(Failure(Verb(), source, errno));
    } else if (FMode == TTransferMode::Move) {
        std::string error;
        ok = MoveEntry(source, target, replace, error);
        if (!ok)
            FReport.Errors.push_back(Format("Could not move %s: %s", {Quoted(source), error}));
    } else {
        ok = CopyTree(source, target, replace);
    }
    if (ok) {
        ++FReport.Done;
        if (announce) {
            using K = TShellKitEventKind;
            if (FMode == TTransferMode::Move)
                AnnounceShellChange(realFolder ? K::RENAMEFOLDER : K::RENAMEITEM, source, target);
            else
                AnnounceShellChange(realFolder && FMode == TTransferMode::Copy ? K::MKDIR : K::CREATE, target);
        }
    }
    return true;
}

} // namespace

bool EntryExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::lstat(path.c_str(), &st) == 0;
}

bool IsFolderEntry(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string BaseNameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ParentOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

int AskUser(const std::string& text, unsigned flags)
{
    TApplication* app = Application();
    if (!app)
        return (flags & 0xF) == MB_YESNO ? IDNO : IDCANCEL;
    return app->MessageBox(text, app->Title, flags);
}

bool RemoveTree(const std::string& path, std::string& error)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        error = Format("Could not delete %s: %s", {Quoted(path), SysErrorMessage(errno)});
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        DIR* dir = ::opendir(path.c_str());
        if (!dir) {
            error = Format("Could not delete %s: %s", {Quoted(path), SysErrorMessage(errno)});
            return false;
        }
        std::vector<std::string> names;
        while (const dirent* e = ::readdir(dir))
            if (std::string_view(e->d_name) != "." && std::string_view(e->d_name) != "..")
                names.emplace_back(e->d_name);
        ::closedir(dir);
        for (const std::string& name : names)
            if (!RemoveTree(JoinPath(path, name), error))
                return false;
        if (::rmdir(path.c_str()) != 0) {
            error = Format("Could not delete %s: %s", {Quoted(path), SysErrorMessage(errno)});
            return false;
        }
        return true;
    }
    if (::unlink(path.c_str()) != 0) {
        error = Format("Could not delete %s: %s", {Quoted(path), SysErrorMessage(errno)});
        return false;
    }
    return true;
}

bool MoveEntry(const std::string& from, const std::string& to, bool replace, std::string& error)
{
    const int rc = replace ? ::rename(from.c_str(), to.c_str())
                           : ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (rc == 0)
        return true;
    if (errno == EINVAL && !replace && !EntryExists(to) && ::rename(from.c_str(), to.c_str()) == 0)
        return true;
    if (errno != EXDEV) {
        error = SysErrorMessage(errno);
        return false;
    }
    // Across file systems: copy all of it beside the target, put it in place, and only then
    // delete the source.
    std::string temporary = TemporaryIn(ParentOf(to));
    const int placeholder = ::mkstemp(temporary.data());
    if (placeholder < 0) {
        error = SysErrorMessage(errno);
        return false;
    }
    ::close(placeholder);
    ::unlink(temporary.c_str());
    TOperationReport copied;
    TTransfer copy(TTransferMode::Copy, copied);
    std::string ignored;
    if (!copy.CopyTree(from, temporary, false) || !copied.Errors.empty()) {
        RemoveTree(temporary, ignored);
        error = copied.Errors.empty() ? std::string("copy failed") : copied.Errors.front();
        return false;
    }
    const int placed = replace ? ::rename(temporary.c_str(), to.c_str())
                               : ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (placed != 0) {
        error = SysErrorMessage(errno);
        RemoveTree(temporary, ignored);
        return false;
    }
    if (!RemoveTree(from, error))
        return false;
    return true;
}

void TransferItems(const std::vector<std::string>& sources, const std::string& targetFolder, TTransferMode mode,
                   TOperationReport& report)
{
    if (!IsFolderEntry(targetFolder)) {
        report.Errors.push_back(Format("%s is not a folder.", {Quoted(targetFolder)}));
        return;
    }
    TTransfer transfer(mode, report);
    for (const std::string& source : sources)
        if (!transfer.Item(NormalizePath(source), targetFolder, true))
            return;
}

void DeleteItems(const std::vector<std::string>& paths, TOperationReport& report)
{
    for (const std::string& path : paths) {
        const bool folder = IsFolderEntry(path) && !std::filesystem::is_symlink(path);
        std::string error;
        if (RemoveTree(path, error)) {
            ++report.Done;
            AnnounceShellChange(folder ? TShellKitEventKind::RMDIR : TShellKitEventKind::DELETE, path);
        } else {
            report.Errors.push_back(error);
        }
    }
}

bool ConfirmPermanentDelete(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return false;
    const std::string text = paths.size() == 1
        ? Format("Are you sure you want to permanently delete %s?", {Quoted(BaseNameOf(paths.front()))})
        : Format("Are you sure you want to permanently delete these %d items?", {static_cast<int>(paths.size())});
    return AskUser(text, MB_YESNO | MB_ICONWARNING) == IDYES;
}

std::string NewFolder(const std::string& folder, TOperationReport& report)
{
    const std::string base = ShellTexts::NewFolder;
    for (int n = 0; n <= 20; ++n) {
        const std::string path = JoinPath(folder, n == 0 ? base : base + " (" + std::to_string(n) + ")");
        if (EntryExists(path))
            continue;
        if (::mkdir(path.c_str(), 0777) != 0) {
            report.Errors.push_back(Format("Could not create %s: %s", {Quoted(path), SysErrorMessage(errno)}));
            return {};
        }
        ++report.Done;
        AnnounceShellChange(TShellKitEventKind::MKDIR, path);
        return path;
    }
    report.Errors.push_back(Format("Could not create a new folder in %s: every name is taken.", {Quoted(folder)}));
    return {};
}

void ShowReport(const TOperationReport& report)
{
    if (report.Errors.empty())
        return;
    std::string text;
    for (const std::string& line : report.Errors)
        text += (text.empty() ? "" : "\n") + line;
    if (TApplication* app = Application())
        app->MessageBox(text, app->Title, MB_OK | MB_ICONERROR);
}

} // namespace ShellFileOps
