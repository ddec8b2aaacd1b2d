#pragma once
// File-name and file-system routines of the class library, for Linux paths ("/" separates
// folders; there are no drive letters, and ':' is an ordinary character in a local path).

#include <cstdint>
#include <string>
#include <string_view>

constexpr char PathDelim = '/';

// The folder part with its trailing separator ("" when there is none).
std::string ExtractFilePath(std::string_view fileName);
// The folder part without the trailing separator (the root stays "/").
std::string ExtractFileDir(std::string_view fileName);
std::string ExtractFileName(std::string_view fileName);
// The extension with its dot ("" when the name part has none).
std::string ExtractFileExt(std::string_view fileName);
// Replaces the extension (`extension` includes the dot, or is empty to remove it).
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExcludeTrailingPathDelimiter(std::string_view path);
// An absolute, normalised path (".." and "." resolved, doubled separators collapsed).
std::string ExpandFileName(std::string_view fileName);

// True for an existing entry that is not a folder.
bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& path);
bool ForceDirectories(const std::string& path);
bool CreateDir(const std::string& path);
bool RemoveDir(const std::string& path);
bool DeleteFile(const std::string& fileName);
bool RenameFile(const std::string& oldName, const std::string& newName);
std::int64_t FileSize(const std::string& fileName);
std::string GetCurrentDir();
// The folder of the running program file, with its "/" (empty when it cannot be found).
std::string ProgramFolder();

// The whole content of a regular file, read to its end; raises EFOpenError when it cannot be
// opened and EReadError naming it when it cannot be read.
std::string ReadFileBytes(const std::string& fileName);
