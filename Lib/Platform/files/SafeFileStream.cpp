#include "Platform/files/SafeFileStream.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int MaxLinkDepth = 40;
constexpr mode_t SetIdBits = S_ISUID | S_ISGID;

[[noreturn]] void RaiseCreateError(const std::string& fileName, const std::string& reason)
{
    throw EFCreateError(Format("Cannot create file \"%s\". %s", {fileName, reason}));
}

[[noreturn]] void RaiseWriteError(const std::string& fileName, int error)
{
    throw EWriteError(Format("Cannot write file \"%s\". %s", {fileName, SysErrorMessage(error)}));
}

// Closes a file handle when it goes out of scope.
class THandleGuard {
public:
    explicit THandleGuard(int handle) : FHandle(handle) {}
    ~THandleGuard()
    {
        if (FHandle >= 0)
            ::close(FHandle);
    }
    THandleGuard(const THandleGuard&) = delete;
    THandleGuard& operator=(const THandleGuard&) = delete;

private:
    int FHandle;
};

// Removes a temporary file unless it was renamed into place.
class TTempGuard {
public:
    explicit TTempGuard(std::string name) : FName(std::move(name)) {}
    ~TTempGuard()
    {
        if (!FName.empty())
            ::unlink(FName.c_str());
    }
    TTempGuard(const TTempGuard&) = delete;
    TTempGuard& operator=(const TTempGuard&) = delete;
    void Release() { FName.clear(); }

private:
    std::string FName;
};

// why: saving through a symbolic link must replace the file it leads to, not the link; a
// link that leads nowhere yet gets its file made where it points.
std::string ResolveLinks(const std::string& fileName)
{
    std::string path = fileName;
    for (int depth = 0; depth < MaxLinkDepth; ++depth) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<size_t>(n) >= target.size())
            RaiseCreateError(fileName, SysErrorMessage(n < 0 ? errno : ENAMETOOLONG));
        target.resize(static_cast<size_t>(n));
        path = target.starts_with(PathDelim) ? target : ExtractFilePath(path) + target;
    }
    RaiseCreateError(fileName, SysErrorMessage(ELOOP));
}

// The process's file-creation mask, read without changing it (umask() would, for a moment,
// for every thread).
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("Umask:"))
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    return 022;
}

// A new file beside `target` made exclusively (never an existing name, never through a
// link), readable and writable by its owner only; -1 with errno set on failure.
int MakeTempBeside(const std::string& target, std::string& tempName)
{
    const std::string folder = ExtractFilePath(target);
    // why: the name must stay within the file system's limit of 255 bytes.
    const std::string base = ExtractFileName(target).substr(0, 200);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string suffix = Format("%.8x", {static_cast<std::uint32_t>(QRandomGenerator::system()->generate())});
        tempName = folder + "." + base + "." + suffix;
        const int fd = ::open(tempName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

bool WritableByUs(const std::string& fileName)
{
    return ::faccessat(AT_FDCWD, fileName.c_str(), W_OK, AT_EACCESS) == 0;
}

bool WriteAllAt(int fd, std::string_view bytes, off_t offset)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool ReadAllAt(int fd, std::string& bytes, off_t size)
{
    bytes.assign(static_cast<size_t>(size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Makes sure `extra` bytes past the end of the file can be written, without changing its
// size or content; on failure nothing is changed and errno tells why.
bool ReserveBeyondEnd(int fd, off_t size, off_t extra)
{
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, size, extra) == 0)
        return true;
    if (errno != EOPNOTSUPP && errno != ENOSYS)
        return false;
    // why: without native support the library reserves by writing zeros past the end, which
    // moves the end; it goes back on failure.
    const int error = ::posix_fallocate(fd, size, extra);
    if (error == 0)
        return true;
    if (::ftruncate(fd, size) != 0) {
        // the size stays as the failed reservation left it; the content is unchanged
    }
    errno = error;
    return false;
}

// Puts `bytes` into the file itself, so that it keeps its identity, links and owner.
void WriteInPlace(const std::string& target, const std::string& shownName, std::string_view bytes)
{
    int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    const bool readable = fd >= 0;
    if (fd < 0 && errno == EACCES)
        fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        RaiseWriteError(shownName, errno);
    const THandleGuard guard(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        RaiseWriteError(shownName, errno);
    const off_t oldSize = st.st_size;
    const auto newSize = static_cast<off_t>(bytes.size());
    // why: kept to put back if a write fails after the reservation (an I/O error).
    std::string old;
    const bool restorable = readable && ReadAllAt(fd, old, oldSize);
    if (newSize > oldSize && !ReserveBeyondEnd(fd, oldSize, newSize - oldSize))
        RaiseWriteError(shownName, errno);
    if (!WriteAllAt(fd, bytes, 0) || ::ftruncate(fd, newSize) != 0) {
        const int error = errno;
        if (restorable && WriteAllAt(fd, old, 0) && ::ftruncate(fd, oldSize) != 0) {
            // nothing more can be done; the error below is what the caller learns
        }
        RaiseWriteError(shownName, error);
    }
    if (::fsync(fd) != 0 && errno != EINVAL)
        RaiseWriteError(shownName, errno);
}

// Gives the new file the owner and group of the file it replaces; true when both are kept.
bool KeepOwner(int fd, const struct stat& original)
{
    struct stat mine {};
    if (::fstat(fd, &mine) == 0 && mine.st_uid == original.st_uid && mine.st_gid == original.st_gid)
        return true;
    if (::fchown(fd, original.st_uid, original.st_gid) == 0)
        return true;
    // The group alone still keeps a shared folder's files readable to that group.
    if (::fchown(fd, static_cast<uid_t>(-1), original.st_gid) != 0) {
        // the file stays in our own group
    }
    return false;
}

void SyncFolderOf(const std::string& fileName)
{
    const std::string folder = ExtractFilePath(fileName);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

// Flushes the temporary file (unless the caller syncs later), gives it `mode` and renames it to
// `target`.
void RenameIntoPlace(TFileStream& temp, const std::string& target, const std::string& shownName, mode_t mode,
                     TSaveSync sync = TSaveSync::Now)
{
    if (::fchmod(temp.Handle(), mode) != 0 ||
        (sync == TSaveSync::Now && ::fsync(temp.Handle()) != 0 && errno != EINVAL))
        RaiseWriteError(shownName, errno);
    if (std::rename(temp.FileName().c_str(), target.c_str()) != 0)
        RaiseWriteError(shownName, errno);
    if (sync == TSaveSync::Now)
        SyncFolderOf(target);
}

} // namespace

TSafeFileStream::TSafeFileStream(const std::string& fileName, TSaveSync sync)
    : FFileName(fileName), FTarget(ResolveLinks(fileName)), FSync(sync)
{
    struct stat st {};
    const bool exists = ::stat(FTarget.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        RaiseCreateError(fileName, SysErrorMessage(EISDIR));
    if (exists && !S_ISREG(st.st_mode))
        RaiseCreateError(fileName, "Not a regular file");
    std::string tempName;
    const int fd = MakeTempBeside(FTarget, tempName);
    if (fd >= 0) {
        FTempName = tempName;
        FTemp = std::make_unique<TFileStream>(tempName, fd);
        return;
    }
    const int folderError = errno;
    // why: only a folder that refuses new files sends the bytes into the file itself; no room,
    // no inodes or a read-only disk would make that write fail too, halfway.
    if ((folderError == EACCES || folderError == EPERM) && exists && WritableByUs(FTarget)) {
        FHeld = std::make_unique<TMemoryStream>();
        return;
    }
    RaiseCreateError(fileName, SysErrorMessage(folderError));
}

TSafeFileStream::~TSafeFileStream()
{
    FTemp.reset();
    if (!FCommitted && !FTempName.empty())
        ::unlink(FTempName.c_str());
}

TStream& TSafeFileStream::Current()
{
    if (FCommitted || (!FTemp && !FHeld))
        throw EStreamError("Stream is closed");
    return FTemp ? static_cast<TStream&>(*FTemp) : *FHeld;
}

std::int64_t TSafeFileStream::Read(void* buffer, std::int64_t count)
{
    return Current().Read(buffer, count);
}

std::int64_t TSafeFileStream::Write(const void* buffer, std::int64_t count)
{
    return Current().Write(buffer, count);
}

std::int64_t TSafeFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    return Current().Seek(offset, origin);
}

void TSafeFileStream::SetSize(std::int64_t newSize)
{
    Current().SetSize(newSize);
}

void TSafeFileStream::Commit()
{
    if (FCommitted)
        return;
    if (FHeld) {
        WriteInPlace(FTarget, FFileName, FHeld->View());
        FHeld.reset();
        FCommitted = true;
        return;
    }
    if (!FTemp)
        throw EStreamError("Stream is closed");
    // why: a failed commit must not be retried half-way; the temporary file goes either way.
    TTempGuard removeTemp(FTempName);
    const std::unique_ptr<TFileStream> temp = std::move(FTemp);
    FCommitted = true;
    FTempName.clear();
    if (CommitTemp(*temp))
        removeTemp.Release();
}

bool TSafeFileStream::CommitTemp(TFileStream& temp)
{
    struct stat st {};
    if (::stat(FTarget.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        RenameIntoPlace(temp, FTarget, FFileName, 0666 & ~CurrentUmask(), FSync);
        return true;
    }
    const bool ownerKept = KeepOwner(temp.Handle(), st);
    // why: a rename would split hard links apart, or hand the file to us.
    if ((st.st_nlink > 1 || !ownerKept) && WritableByUs(FTarget)) {
        std::string bytes;
        if (!ReadAllAt(temp.Handle(), bytes, temp.Size()))
            RaiseWriteError(FFileName, errno);
        if (::ftruncate(temp.Handle(), 0) != 0) {
            // its room is given back when it is removed
        }
        WriteInPlace(FTarget, FFileName, bytes);
        return false;
    }
    mode_t mode = st.st_mode & 07777;
    if (!ownerKept)
        mode &= ~SetIdBits;
    RenameIntoPlace(temp, FTarget, FFileName, mode, FSync);
    return true;
}

void SaveFileAtomically(const std::string& fileName, std::string_view bytes, TSaveSync sync)
{
    TSafeFileStream stream(fileName, sync);
    stream.WriteString(bytes);
    stream.Commit();
}

void SaveOwnFile(const std::string& fileName, std::string_view bytes, std::optional<mode_t> mode)
{
    std::string tempName;
    const int fd = MakeTempBeside(fileName, tempName);
    if (fd < 0)
        RaiseCreateError(fileName, SysErrorMessage(errno));
    TTempGuard removeTemp(tempName);
    TFileStream temp(tempName, fd);
    if (temp.Write(bytes.data(), static_cast<std::int64_t>(bytes.size())) != static_cast<std::int64_t>(bytes.size()))
        RaiseWriteError(fileName, errno);
    RenameIntoPlace(temp, fileName, fileName, mode ? (*mode & 0777) : (0666 & ~CurrentUmask()));
    removeTemp.Release();
}

void SyncSavedFile(const std::string& fileName)
{
    const std::string target = ResolveLinks(fileName);
    const int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT)
        return; // removed since: nothing of it is left to flush
    if (fd < 0)
        RaiseWriteError(fileName, errno);
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int error = errno;
    ::close(fd);
    if (!synced)
        RaiseWriteError(fileName, error);
    SyncFolderOf(target);
}

std::optional<mode_t> FilePermissions(const std::string& fileName)
{
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0)
        return std::nullopt;
    return st.st_mode & 0777;
}
