#include "Platform/files/FileVersion.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

constexpr std::int64_t Millisecond = 1000000;

std::int64_t Nanoseconds(const timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1000 * Millisecond + time.tv_nsec;
}

std::int64_t Now()
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

// How long after a change the file's stamp tells the next change apart: a few ticks of the
// kernel clock on local disks; on others (FAT keeps two-second times, network file systems
// the server's clock) a generous while.
std::int64_t TrustDelay(const std::string& fileName)
{
    struct statfs fs {};
    if (::statfs(fileName.c_str(), &fs) != 0)
        return 3000 * Millisecond;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53:     // ext2, ext3, ext4
    case 0x01021994: // tmpfs
    case 0x58465342: // xfs
    case 0x9123683E: // btrfs
    case 0xF2F52010: // f2fs
    case 0x794C7630: // overlayfs
        return 100 * Millisecond;
    default:
        return 3000 * Millisecond;
    }
}

bool ReadAll(const std::string& fileName, std::string& bytes)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    std::string out;
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        out.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        out.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (ok)
        bytes = std::move(out);
    return ok;
}

} // namespace

bool TFileVersion::TakeStamp(const std::string& fileName, TStamp& stamp, int& error)
{
    struct stat st {};
    stamp = {};
    if (::stat(fileName.c_str(), &st) != 0) {
        error = errno;
        return error == ENOENT || error == ENOTDIR;
    }
    stamp.Exists = true;
    stamp.Device = st.st_dev;
    stamp.Inode = st.st_ino;
    stamp.Size = st.st_size;
    stamp.Modified = Nanoseconds(st.st_mtim);
    stamp.Changed = Nanoseconds(st.st_ctim);
    return true;
}

void TFileVersion::Remember(const std::string& fileName, const TStamp& stamp, std::int64_t lookedAt,
                            std::string& bytes, bool take)
{
    FStamp = stamp;
    FKnown = true;
    // why: the change time is set by the kernel from its own clock on every write, so unlike
    // the modification time it cannot be set back.
    FSettled = !stamp.Exists || lookedAt - stamp.Changed >= TrustDelay(fileName);
    if (FSettled) {
        FRecentBytes.clear();
        FRecentBytes.shrink_to_fit();
    } else if (&bytes != &FRecentBytes) {
        if (take)
            FRecentBytes = std::move(bytes);
        else
            FRecentBytes = bytes;
    }
}

TFileVersion::TLook TFileVersion::Look(const std::string& fileName, std::string& bytes)
{
    const std::int64_t lookedAt = Now();
    TStamp stamp;
    int error = 0;
    if (!TakeStamp(fileName, stamp, error)) {
        Forget();
        return TLook::Unreadable;
    }
    if (FKnown && stamp == FStamp && FSettled)
        return TLook::Unchanged;
    std::string now;
    if (stamp.Exists && !ReadAll(fileName, now)) {
        Forget();
        return TLook::Unreadable;
    }
    // why: while the stamp was recent the bytes were kept, and the same bytes need no new parse.
    if (FKnown && !FSettled && now == FRecentBytes) {
        Remember(fileName, stamp, lookedAt, FRecentBytes, false);
        return TLook::Unchanged;
    }
    Remember(fileName, stamp, lookedAt, now, false);
    bytes = std::move(now);
    return TLook::Changed;
}

void TFileVersion::Accept(const std::string& fileName, const std::string& bytes)
{
    std::string copy = bytes;
    Accept(fileName, std::move(copy));
}

void TFileVersion::Accept(const std::string& fileName, std::string&& bytes)
{
    const std::int64_t lookedAt = Now();
    TStamp stamp;
    int error = 0;
    if (!TakeStamp(fileName, stamp, error)) {
        Forget();
        return;
    }
    Remember(fileName, stamp, lookedAt, bytes, true);
}

void TFileVersion::Forget()
{
    FKnown = false;
    FSettled = false;
    FRecentBytes.clear();
    FRecentBytes.shrink_to_fit();
}
