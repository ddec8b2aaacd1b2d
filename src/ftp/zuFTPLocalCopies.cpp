// Private local copies of remote files.

#include "ftp/zuFTPLocalCopies.h"

#include "Platform/core/Exceptions.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/Format.h"

#include <QDir>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void RaiseCreate(const std::string& name, int error)
{
    throw EFCreateError(Format("Cannot create file \"%s\". %s", {name, SysErrorMessage(error)}));
}

} // namespace

std::string LocalCopyName(std::string_view remoteName)
{
    const size_t cut = remoteName.find_last_of("/\\");
    std::string name(cut == std::string_view::npos ? remoteName : remoteName.substr(cut + 1));
    std::erase(name, '\0');
    if (name.empty() || name == "." || name == "..")
        return "download";
    return name;
}

TFTPLocalCopies::TFTPLocalCopies() : FDir(QDir::tempPath() + QStringLiteral("/zentu-ftp-XXXXXX")) {}

std::string TFTPLocalCopies::Folder() const
{
    return FDir.isValid() ? StdStr(FDir.path()) : std::string();
}

std::string TFTPLocalCopies::NewCopy(std::string_view remoteName)
{
    const std::string name = LocalCopyName(remoteName);
    if (!FDir.isValid())
        RaiseCreate(name, EACCES);
    std::string pattern = Folder() + "/XXXXXX";
    std::vector<char> folder(pattern.begin(), pattern.end());
    folder.push_back('\0');
    if (!::mkdtemp(folder.data()))
        RaiseCreate(name, errno);
    const std::string path = std::string(folder.data()) + "/" + name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        const int error = errno;
        ::rmdir(folder.data());
        RaiseCreate(path, error);
    }
    ::close(fd);
    return path;
}

std::string TFTPLocalCopies::SaveCopy(std::string_view remoteName, std::string_view bytes)
{
    const std::string path = NewCopy(remoteName);
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        const int error = errno;
        Release(path);
        RaiseCreate(path, error);
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            const int error = errno;
            ::close(fd);
            Release(path);
            throw EWriteError(Format("Cannot write file \"%s\". %s", {path, SysErrorMessage(error)}));
        }
        done += static_cast<size_t>(written);
    }
    ::close(fd);
    return path;
}

void TFTPLocalCopies::Release(const std::string& path)
{
    const std::string root = Folder();
    if (root.empty() || path.compare(0, root.size() + 1, root + "/") != 0)
        return;
    const size_t slash = path.rfind('/');
    const std::string folder = path.substr(0, slash);
    // Only a copy's own folder, one level below the root, is removed.
    if (folder.size() <= root.size() || folder.find('/', root.size() + 1) != std::string::npos)
        return;
    ::unlink(path.c_str());
    ::rmdir(folder.c_str());
}
