#include "ShellBrowsing/Source/namespace/ItemData.h"

#include "ShellBrowsing/Source/namespace/ShellConsts.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace {

FILETIME ToFileTime(const struct statx_timestamp& t)
{
    return FileTimeFromUnix(t.tv_sec, t.tv_nsec);
}

bool Statx(const std::string& path, bool follow, struct statx& sx)
{
    const int flags = AT_STATX_SYNC_AS_STAT | (follow ? 0 : AT_SYMLINK_NOFOLLOW);
    return ::statx(AT_FDCWD, path.c_str(), flags, STATX_BASIC_STATS | STATX_BTIME, &sx) == 0;
}

const std::vector<gid_t>& SupplementaryGroups()
{
    static const std::vector<gid_t> groups = [] {
        std::vector<gid_t> list(static_cast<std::size_t>(std::max(0, ::getgroups(0, nullptr))));
        const int n = list.empty() ? 0 : ::getgroups(static_cast<int>(list.size()), list.data());
        list.resize(static_cast<std::size_t>(std::max(0, n)));
        return list;
    }();
    return groups;
}

} // namespace

bool TItemData::IsFolder() const
{
    return S_ISDIR(Mode);
}

bool ModeWritable(mode_t mode, uid_t owner, gid_t group)
{
    const uid_t uid = ::geteuid();
    if (uid == 0)
        return true;
    if (owner == uid)
        return (mode & S_IWUSR) != 0;
    const auto& groups = SupplementaryGroups();
    if (group == ::getegid() || std::find(groups.begin(), groups.end(), group) != groups.end())
        return (mode & S_IWGRP) != 0;
    return (mode & S_IWOTH) != 0;
}

bool ReadItemData(const std::string& path, TItemData& data)
{
    data = TItemData{};
    struct statx sx {};
    if (path.empty() || !Statx(path, false, sx))
        return false;
    const std::size_t slash = path.find_last_of('/');
    data.Name = slash == std::string::npos ? path : path.substr(slash + 1);
    data.IsLink = S_ISLNK(sx.stx_mode);
    if (data.IsLink) {
        struct statx target {};
        if (Statx(path, true, target))
            sx = target;
        else
            data.LinkBroken = true;
    }
    data.Mode = sx.stx_mode;
    data.Size = static_cast<std::int64_t>(sx.stx_size);
    data.Blocks = static_cast<std::int64_t>(sx.stx_blocks);
    data.Device = ::makedev(sx.stx_dev_major, sx.stx_dev_minor);
    data.Links = sx.stx_nlink;
    data.Owner = sx.stx_uid;
    data.Group = sx.stx_gid;
    data.Accessed = ToFileTime(sx.stx_atime);
    data.Modified = ToFileTime(sx.stx_mtime);
    if (sx.stx_mask & STATX_BTIME)
        data.Created = ToFileTime(sx.stx_btime);

    std::uint32_t a = 0;
    if (S_ISDIR(data.Mode))
        a |= FILE_ATTRIBUTE_DIRECTORY;
    if (!data.Name.empty() && data.Name.front() == '.')
        a |= FILE_ATTRIBUTE_HIDDEN;
    if (!ModeWritable(data.Mode, data.Owner, data.Group))
        a |= FILE_ATTRIBUTE_READONLY;
    if (!data.IsLink && !S_ISDIR(data.Mode) && !S_ISREG(data.Mode))
        a |= FILE_ATTRIBUTE_SYSTEM;
    if (data.IsLink)
        a |= FILE_ATTRIBUTE_REPARSE_POINT;
    if (a == 0)
        a = FILE_ATTRIBUTE_NORMAL;
    data.Attributes = a;
    return true;
}
