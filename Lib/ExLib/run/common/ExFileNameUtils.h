#pragma once
// File-name routines of the controls: valid names, long and short forms of existing paths,
// opening with the desktop's shell, file versions, and the check of an operating-system result.
// Paths are Linux paths ("/" separates components). Linux keeps one form of each name, so the
// long and the short form of an existing entry are its name as stored.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Not empty and free of the characters < > " ? * |. The path separator "/" (which plays the
// part of the Windows "\") and ":" are allowed.
bool IsValidFileNameText(std::string_view name);

// The name of the last component of an existing path as the file system reports it; "" when
// the path does not exist.
std::string LongFileNameOf(const std::string& path);
std::string ShortFileNameOf(const std::string& path);
// The path with every component in that form.
std::string LongPathOf(const std::string& path);
std::string ShortPathOf(const std::string& path);

// Asks the desktop to open a file, folder or URL; true when it accepted.
bool OpenWithShell(const std::string& target);

// The high 32 bits of a file's fixed version (major << 16 | minor); 0 without version
// information, which is always the case for Linux executables.
std::uint32_t FileVersionHigh(const std::string& fileName);
// FileVersionHigh of the shell library, kept once it is non-zero.
std::uint32_t ShellLibraryVersion();

// Raises EOSError for errno when `ok` is false.
void CheckOsResult(bool ok);

// A zero-terminated copy of `text`, owned by the caller.
std::unique_ptr<char[]> NewCStringCopy(std::string_view text);
