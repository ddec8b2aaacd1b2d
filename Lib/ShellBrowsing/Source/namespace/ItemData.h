#pragma once
// What the file system says about one entry (the namespace's find data): the entry itself as
// lstat sees it and, for a symbolic link, its target as stat sees it. A link whose target is
// gone (or loops) is "broken" and described by the link itself.
//
// The file attributes are those of the shell, taken from the entry: directory (a folder or a
// link to one), hidden (the name starts with "."), read-only (this user may not write it, from
// the mode bits), system (a device, pipe or socket), reparse point (a symbolic link), and normal
// (a plain file with none of the others). Archive, temporary, compressed and offline never hold.

#include "Platform/core/DateTime.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

struct TItemData {
    std::string Name;
    mode_t Mode = 0;          // of the target when the entry is a link that resolves
    bool IsLink = false;
    bool LinkBroken = false;
    std::int64_t Size = 0;    // of the target; of the link itself when broken
    std::int64_t Blocks = 0;  // 512-byte blocks in use
    dev_t Device = 0;
    nlink_t Links = 0;
    uid_t Owner = 0;
    gid_t Group = 0;
    FILETIME Created;         // zero when the file system does not keep it
    FILETIME Accessed;
    FILETIME Modified;
    std::uint32_t Attributes = 0;

    bool IsFolder() const;
};

// Reads the entry at `path` (bytes); false when the entry itself cannot be read.
bool ReadItemData(const std::string& path, TItemData& data);

// True when this user may write an entry of that mode and owner (root writes everything).
bool ModeWritable(mode_t mode, uid_t owner, gid_t group);
