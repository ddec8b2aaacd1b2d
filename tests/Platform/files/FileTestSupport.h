#pragma once
// File-system situations for the save tests: acting as another user, and a small file system
// that runs out of room or inodes. Both need root; a test that cannot have them skips.

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

// The ids that stand for "another user" (nobody and nogroup on Debian).
inline constexpr uid_t OtherUser = 65534;
inline constexpr gid_t OtherGroup = 65534;

// Runs the enclosing scope with the effective user and group ids of another user and no
// supplementary groups, as a second user would. Only root can do that: Active() tells.
class TActAsOtherUser {
public:
    TActAsOtherUser()
    {
        if (::geteuid() != 0)
            return;
        FGroups.resize(static_cast<size_t>(std::max(0, ::getgroups(0, nullptr))));
        if (!FGroups.empty() && ::getgroups(static_cast<int>(FGroups.size()), FGroups.data()) < 0)
            return;
        FChanged = true;
        FActive = ::setgroups(0, nullptr) == 0 && ::setegid(OtherGroup) == 0 && ::seteuid(OtherUser) == 0;
    }
    ~TActAsOtherUser()
    {
        if (!FChanged)
            return;
        // why: the remaining tests would run as the wrong user.
        if ((::geteuid() != 0 && ::seteuid(0) != 0) || ::setegid(0) != 0 || ::setgroups(FGroups.size(), FGroups.data()) != 0)
            std::abort();
    }
    TActAsOtherUser(const TActAsOtherUser&) = delete;
    TActAsOtherUser& operator=(const TActAsOtherUser&) = delete;
    bool Active() const { return FActive; }

private:
    std::vector<gid_t> FGroups;
    bool FChanged = false;
    bool FActive = false;
};

// A tmpfs of `bytes` bytes and `inodes` inodes mounted on a temporary folder for one test,
// open to every user; Path() is "" when it could not be mounted (not root, no permission).
class TSmallFileSystem {
public:
    TSmallFileSystem(long bytes, long inodes)
    {
        if (::geteuid() != 0)
            return;
        const std::string options = "size=" + std::to_string(bytes) + ",nr_inodes=" + std::to_string(inodes) + ",mode=0777";
        if (::mount("tmpfs", FDir.Path().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0)
            FMounted = true;
    }
    ~TSmallFileSystem()
    {
        if (FMounted)
            ::umount2(FDir.Path().c_str(), MNT_DETACH);
    }
    TSmallFileSystem(const TSmallFileSystem&) = delete;
    TSmallFileSystem& operator=(const TSmallFileSystem&) = delete;

    std::string Path() const { return FMounted ? FDir.Path() : std::string(); }
    std::string File(const std::string& name) const { return FDir.File(name); }

    // Takes every free inode, so that no file can be made any more.
    void UseAllInodes() const
    {
        for (int i = 0;; ++i) {
            const std::string name = File(".inode" + std::to_string(i));
            if (::mknod(name.c_str(), S_IFREG | 0600, 0) != 0)
                break;
        }
    }
    // Fills the free room but `leave` bytes (rounded to pages) with a file of its own.
    void FillBut(long leave) const
    {
        const std::string name = File(".filler");
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0)
            return;
        struct statvfs vfs {};
        ::fstatvfs(fd, &vfs);
        const long free = static_cast<long>(vfs.f_bavail * vfs.f_frsize);
        if (free > leave)
            (void)!::posix_fallocate(fd, 0, free - leave);
        ::close(fd);
    }

private:
    TempDir FDir;
    bool FMounted = false;
};
