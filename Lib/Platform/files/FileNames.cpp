#include "Platform/files/FileNames.h"

#include "Platform/files/Streams.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

std::string ExtractFilePath(std::string_view fileName)
{
    const size_t p = fileName.rfind(PathDelim);
    return p == std::string_view::npos ? std::string() : std::string(fileName.substr(0, p + 1));
}

std::string ExtractFileDir(std::string_view fileName)
{
    const size_t p = fileName.rfind(PathDelim);
    if (p == std::string_view::npos)
        return {};
    if (p == 0)
        return "/";
    return std::string(fileName.substr(0, p));
}

std::string ExtractFileName(std::string_view fileName)
{
    const size_t p = fileName.rfind(PathDelim);
    return std::string(p == std::string_view::npos ? fileName : fileName.substr(p + 1));
}

std::string ExtractFileExt(std::string_view fileName)
{
    const size_t slash = fileName.rfind(PathDelim);
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return std::string(fileName.substr(dot));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension)
{
    const std::string ext = ExtractFileExt(fileName);
    return std::string(fileName.substr(0, fileName.size() - ext.size())) + std::string(extension);
}

std::string IncludeTrailingPathDelimiter(std::string_view path)
{
    std::string s(path);
    if (s.empty() || s.back() != PathDelim)
        s += PathDelim;
    return s;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path)
{
    std::string s(path);
    if (s.size() > 1 && s.back() == PathDelim)
        s.pop_back();
    return s;
}

std::string ExpandFileName(std::string_view fileName)
{
    std::string path(fileName);
    if (path.empty() || path[0] != PathDelim)
        path = IncludeTrailingPathDelimiter(GetCurrentDir()) + path;
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= path.size()) {
        size_t j = path.find(PathDelim, i);
        if (j == std::string::npos)
            j = path.size();
        const std::string part = path.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    std::string out;
    for (const auto& p : parts)
        out += PathDelim + p;
    if (out.empty())
        out.assign(1, PathDelim);
    else if (!fileName.empty() && fileName.back() == PathDelim)
        out += PathDelim;
    return out;
}

bool FileExists(const std::string& fileName)
{
    struct stat st {};
    return !fileName.empty() && ::stat(fileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& path)
{
    return ::mkdir(path.c_str(), 0777) == 0;
}

bool ForceDirectories(const std::string& path)
{
    if (path.empty())
        return false;
    const std::string dir = ExcludeTrailingPathDelimiter(ExpandFileName(path));
    if (DirectoryExists(dir))
        return true;
    const std::string parent = ExtractFileDir(dir);
    if (parent != dir && !parent.empty() && !ForceDirectories(parent))
        return false;
    return CreateDir(dir) || DirectoryExists(dir);
}

bool RemoveDir(const std::string& path)
{
    return ::rmdir(path.c_str()) == 0;
}

bool DeleteFile(const std::string& fileName)
{
    return ::unlink(fileName.c_str()) == 0;
}

bool RenameFile(const std::string& oldName, const std::string& newName)
{
    return std::rename(oldName.c_str(), newName.c_str()) == 0;
}

std::int64_t FileSize(const std::string& fileName)
{
    struct stat st {};
    return ::stat(fileName.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

std::string GetCurrentDir()
{
    std::vector<char> buf(PATH_MAX);
    if (!::getcwd(buf.data(), buf.size()))
        return {};
    return buf.data();
}

std::string ProgramFolder()
{
    std::vector<char> path(PATH_MAX + 1);
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0)
        return {};
    return ExtractFilePath(std::string(path.data(), static_cast<size_t>(n)));
}

std::string ReadFileBytes(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
    return ReadToEnd(stream);
}
