#include "ShellBrowsing/Source/operations/Trash.h"

#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/namespace/TrashInfo.h"
#include "ShellBrowsing/Source/notify/ShellAnnounce.h"

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"

#include <QDateTime>
#include <filesystem>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ShellTrash {

namespace {

using namespace ShellFileOps;

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

// Makes the folder (owner only) unless it exists as a real folder; false for a link or a file.
bool EnsureFolder(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    return ::mkdir(path.c_str(), 0700) == 0;
}

bool EnsureTrash(const std::string& trash)
{
    if (trash == HomeTrashPath()) {
        // The data folder itself may be missing in a fresh home.
        std::string at;
        for (std::size_t slash = 1; slash != std::string::npos;) {
            slash = trash.find('/', slash + 1);
            at = trash.substr(0, slash);
            if (!EntryExists(at) && ::mkdir(at.c_str(), 0700) != 0)
                return false;
        }
    }
    return EnsureFolder(trash) && EnsureFolder(trash + "/files") && EnsureFolder(trash + "/info");
}

std::string DeletionDateNow()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toStdString();
}

bool WriteAll(int fd, const std::string& text)
{
    for (std::size_t at = 0; at < text.size();) {
        const ssize_t wrote = ::write(fd, text.data() + at, text.size() - at);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        at += static_cast<std::size_t>(wrote);
    }
    return true;
}

} // namespace

bool IsTrashedItem(const std::string& path)
{
    const std::string files = ParentOf(path);
    if (BaseNameOf(files) != "files")
        return false;
    const std::string trash = ParentOf(files);
    for (const std::string& known : TrashFolders())
        if (known == trash)
            return true;
    return trash == HomeTrashPath();
}

std::string TrashItem(const std::string& rawPath, std::string& error)
{
    const std::string path = NormalizePath(rawPath);
    if (!EntryExists(path)) {
        error = Format("Could not move %s to the trash: %s", {Quoted(rawPath), SysErrorMessage(ENOENT)});
        return {};
    }
    if (IsTrashedItem(path)) {
        error = Format("%s is in the trash already.", {Quoted(path)});
        return {};
    }
    const std::string trash = TrashFolderFor(path);
    if (trash.empty() || !EnsureTrash(trash)) {
        error = Format("Could not move %s to the trash: %s", {Quoted(path), "the volume has no trash folder"});
        return {};
    }
    const std::string name = BaseNameOf(path);
    const bool folder = IsFolderEntry(path) && !std::filesystem::is_symlink(path);
    for (int n = 1; n < 10000; ++n) {
        const std::string candidate = n == 1 ? name : name + "." + std::to_string(n);
        const std::string info = trash + "/info/" + candidate + ".trashinfo";
        // invariant: the info file is made first and exclusively, so two programs never pick one name.
        const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            error = Format("Could not move %s to the trash: %s", {Quoted(path), SysErrorMessage(errno)});
            return {};
        }
        const std::string target = trash + "/files/" + candidate;
        const bool written = WriteAll(fd, TrashInfoText(trash, path, DeletionDateNow()));
        const bool closed = ::close(fd) == 0;
        if (EntryExists(target)) {
            ::unlink(info.c_str());
            continue;
        }
        if (!written || !closed || ::rename(path.c_str(), target.c_str()) != 0) {
            const int failure = errno;
            ::unlink(info.c_str());
            error = Format("Could not move %s to the trash: %s", {Quoted(path), SysErrorMessage(failure)});
            return {};
        }
        AnnounceShellChange(folder ? TShellKitEventKind::RMDIR : TShellKitEventKind::DELETE, path);
        AnnounceShellChange(TShellKitEventKind::CREATE, target);
        return target;
    }
    error = Format("Could not move %s to the trash: %s", {Quoted(path), "too many items of that name"});
    return {};
}

void TrashItems(const std::vector<std::string>& paths, TOperationReport& report)
{
    std::vector<std::string> refused;
    for (const std::string& path : paths) {
        std::string error;
        if (!TrashItem(path, error).empty())
            ++report.Done;
        else if (EntryExists(path) && !IsTrashedItem(NormalizePath(path)))
            refused.push_back(path);
        else
            report.Errors.push_back(error);
    }
    if (refused.empty())
        return;
    const std::string text = refused.size() == 1
        ? Format("%s cannot be moved to the trash. Delete it permanently?", {Quoted(BaseNameOf(refused.front()))})
        : Format("%d items cannot be moved to the trash. Delete them permanently?", {static_cast<int>(refused.size())});
    if (AskUser(text, MB_YESNO | MB_ICONWARNING) == IDYES)
        DeleteItems(refused, report);
    else
        report.Cancelled = true;
}

void RestoreItems(const std::vector<std::string>& trashedPaths, TOperationReport& report)
{
    for (const std::string& trashed : trashedPaths) {
        TTrashInfo info;
        if (!ReadTrashInfo(trashed, info)) {
            report.Errors.push_back(Format("Could not restore %s: its original place is not known.", {Quoted(trashed)}));
            continue;
        }
        bool replace = false;
        if (EntryExists(info.OriginalPath)) {
            const int answer = AskUser(Format("%s already exists in %s. Replace it?",
                                              {Quoted(BaseNameOf(info.OriginalPath)), Quoted(ParentOf(info.OriginalPath))}),
                                       MB_YESNOCANCEL | MB_ICONQUESTION);
            if (answer == IDCANCEL) {
                report.Cancelled = true;
                return;
            }
            if (answer != IDYES)
                continue;
            if (IsFolderEntry(info.OriginalPath)) {
                report.Errors.push_back(
                    Format("Could not restore %s: a folder of that name is in its place.", {Quoted(info.OriginalPath)}));
                continue;
            }
            replace = true;
        }
        std::error_code made;
        std::filesystem::create_directories(ParentOf(info.OriginalPath), made);
        std::string error;
        if (!MoveEntry(trashed, info.OriginalPath, replace, error)) {
            report.Errors.push_back(Format("Could not restore %s: %s", {Quoted(info.OriginalPath), error}));
            continue;
        }
        ::unlink(TrashInfoFileOf(trashed).c_str());
        ++report.Done;
        AnnounceShellChange(TShellKitEventKind::DELETE, trashed);
        AnnounceShellChange(IsFolderEntry(info.OriginalPath) ? TShellKitEventKind::MKDIR : TShellKitEventKind::CREATE,
                            info.OriginalPath);
    }
}

void PurgeItems(const std::vector<std::string>& trashedPaths, TOperationReport& report)
{
    for (const std::string& trashed : trashedPaths) {
        std::string error;
        if (!RemoveTree(trashed, error)) {
            report.Errors.push_back(error);
            continue;
        }
        ::unlink(TrashInfoFileOf(trashed).c_str());
        ++report.Done;
        AnnounceShellChange(TShellKitEventKind::DELETE, trashed);
    }
}

} // namespace ShellTrash
