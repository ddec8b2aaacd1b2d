#pragma once
// Local copies of remote files: each one a new file, readable by the user alone, in a new
// folder of its own inside a private temporary folder (mode 0700) that lives as long as this
// object. The copy keeps the remote file's name, cut down to its last part, so nothing the
// server names ("../x", "/etc/x") can place a copy anywhere else, and no copy is ever
// written through a file that was there before.

#include <QTemporaryDir>

#include <string>
#include <string_view>

class TFTPLocalCopies {
public:
    TFTPLocalCopies();
    // The folder of all copies ("" when it could not be made).
    std::string Folder() const;
    // Makes a new empty copy for the remote name and returns its full path. Raises
    // EFCreateError when it cannot be made.
    std::string NewCopy(std::string_view remoteName);
    // Writes the bytes into a new copy and returns its path.
    std::string SaveCopy(std::string_view remoteName, std::string_view bytes);
    // Removes a copy made here, with its folder; other paths are left alone.
    void Release(const std::string& path);

private:
    QTemporaryDir FDir;
};

// The last part of a remote name that a copy may carry: after the last "/" or "\", without
// NUL bytes; "." and ".." and an empty name become "download".
std::string LocalCopyName(std::string_view remoteName);
