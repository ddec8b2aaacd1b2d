// The shared helpers of the IDE.

#include "common/zuFunctions.h"

#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/TextUtils.h"

#include <QDir>
#include <QMimeDatabase>

#include <csignal>
#include <dirent.h>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>
#include <vector>

std::string ConvertLineBreaks(std::string_view text, int mode)
{
    if (mode < 0 || mode > 2)
        return std::string(text);
    const std::string_view lineBreak = mode == 0 ? "\r\n" : (mode == 1 ? "\n" : "\r");
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += lineBreak;
        } else if (c == '\n') {
            out += lineBreak;
        } else {
            out += c;
        }
    }
    return out;
}

bool SameGUID(const TGUID& a, const TGUID& b)
{
    return a.D1 == b.D1 && a.D2 == b.D2 && a.D3 == b.D3 && a.D4 == b.D4;
}

std::string SplitPathName(std::string_view path)
{
    return ExtractFileName(path);
}

std::string SplitPathDir(std::string_view path)
{
    return ExtractFilePath(path);
}

std::string ShellTypeName(const std::string& fileName, bool isFolder)
{
    if (isFolder)
        return "Folder";
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(QStr(fileName), QMimeDatabase::MatchExtension);
    if (type.isValid() && !type.isDefault() && !type.comment().isEmpty())
        return StdStr(type.comment());
    const std::string ext = ExtractFileExt(ExtractFileName(fileName));
    if (ext.size() <= 1)
        return "Unknown File";
    return Format("%s File", {UpperCase(ext.substr(1))});
}

std::string ColorToHtml(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return "#" + IntToHex(GetRValue(rgb), 2) + IntToHex(GetGValue(rgb), 2) + IntToHex(GetBValue(rgb), 2);
}

std::string ChangeTagCase(std::string_view text, bool toLower)
{
    std::string out(text);
    bool inTag = false;
    bool inQuotes = false; // invariant: one flag for both kinds of quote, kept across tags
    for (size_t i = 0; i < out.size(); ++i) {
        const char c = out[i];
        if ((c == '"' || c == '\'') && inTag) {
            inQuotes = !inQuotes;
        } else if (c == '<') {
            const bool last = i + 1 == out.size();
            inTag = !last && out[i + 1] != '!' && out[i + 1] != '%' && out[i + 1] != '?';
        } else if (c == '>') {
            inTag = false;
        } else if (inTag && !inQuotes) {
            if (toLower && c >= 'A' && c <= 'Z')
                out[i] = static_cast<char>(c - 'A' + 'a');
            else if (!toLower && c >= 'a' && c <= 'z')
                out[i] = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

namespace {

struct ProcessEntry {
    pid_t Parent = 0;
    bool Zombie = false;
};

std::string ReadProcFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::map<pid_t, ProcessEntry> ProcessTable()
{
    std::map<pid_t, ProcessEntry> table;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return table;
    while (const dirent* entry = ::readdir(proc)) {
        int pid = 0;
        if (!TryStrToInt(entry->d_name, pid) || pid <= 0)
            continue;
        // "pid (comm) state ppid ...": the name may hold blanks and ")", so parse after the last ")".
        const std::string stat = ReadProcFile("/proc/" + std::string(entry->d_name) + "/stat");
        const size_t close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(close + 1));
        char state = 0;
        long parent = 0;
        if (fields >> state >> parent)
            table[pid] = {static_cast<pid_t>(parent), state == 'Z'};
    }
    ::closedir(proc);
    return table;
}

bool IsDescendantOf(pid_t pid, pid_t ancestor, const std::map<pid_t, ProcessEntry>& table)
{
    for (int depth = 0; depth < 4096; ++depth) {
        const auto it = table.find(pid);
        if (it == table.end() || it->second.Parent <= 1)
            return false;
        if (it->second.Parent == ancestor)
            return true;
        pid = it->second.Parent;
    }
    return false;
}

// The names a process answers to: its executable (resolved and as started) and its command name.
std::vector<std::string> ExecutableNames(pid_t pid)
{
    const std::string base = "/proc/" + std::to_string(pid);
    std::vector<std::string> names;
    char link[4096];
    const ssize_t n = ::readlink((base + "/exe").c_str(), link, sizeof link - 1);
    if (n > 0)
        names.emplace_back(link, static_cast<size_t>(n));
    const std::string commandLine = ReadProcFile(base + "/cmdline");
    const std::string argv0 = commandLine.substr(0, commandLine.find('\0'));
    if (!argv0.empty())
        names.push_back(argv0);
    std::string comm = ReadProcFile(base + "/comm");
    while (!comm.empty() && comm.back() == '\n')
        comm.pop_back();
    if (!comm.empty())
        names.push_back(comm);
    return names;
}

bool NameMatches(const std::vector<std::string>& names, const std::string& wanted)
{
    for (const std::string& name : names)
        if (UpperCase(name) == wanted || UpperCase(SplitPathName(name)) == wanted)
            return true;
    return false;
}

} // namespace

bool KillProcessesByName(const std::string& exeName)
{
    const std::string wanted = UpperCase(exeName);
    if (wanted.empty())
        return false;
    const pid_t self = ::getpid();
    const auto table = ProcessTable();
    bool result = false;
    for (const auto& [pid, entry] : table) {
        // why: only the processes this program started may be ended, never another user's or program's.
        if (pid == self || entry.Zombie || !IsDescendantOf(pid, self, table))
            continue;
        if (NameMatches(ExecutableNames(pid), wanted))
            result = ::kill(pid, SIGKILL) == 0;
    }
    return result;
}

std::string CollapseSlashes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        if (c != '/' || out.empty() || out.back() != '/')
            out += c;
    return out;
}

std::string FindFileNoCase(const std::string& folder, const std::string& name)
{
    const QStringList entries = QDir(QStr(folder)).entryList(QDir::Files);
    for (const QString& entry : entries)
        if (entry.compare(QStr(name), Qt::CaseInsensitive) == 0)
            return IncludeTrailingPathDelimiter(folder) + StdStr(entry);
    return {};
}
