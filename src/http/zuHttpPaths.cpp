// Request paths, index files and PHP masks of the internal HTTP server.

#include "http/zuHttpPaths.h"

#include "Platform/text/TextUtils.h"

#include <cstdlib>
#include <memory>

namespace {

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

// Pushes the names of `text` onto `names`, resolving "." and ".."; false when ".." would pop
// below `floor` names, unless `stayAtFloor` keeps it there as the system does with "/..".
bool AppendNames(std::string_view text, bool backslashSeparates, size_t floor, std::vector<std::string_view>& names,
                 bool stayAtFloor)
{
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = start;
        while (end < text.size() && !(text[end] == '/' || (backslashSeparates && text[end] == '\\')))
            ++end;
        const std::string_view name = text.substr(start, end - start);
        if (name == "..") {
            if (names.size() <= floor && !stayAtFloor)
                return false;
            if (names.size() > floor)
                names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    return true;
}

std::string RealPath(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool MapDocumentToPath(const std::string& root, std::string_view document, std::string& path)
{
    path.clear();
    if (document.find('\0') != std::string_view::npos || root.find('\0') != std::string::npos)
        return false;
    // The root is a local path: "\" is an ordinary character in it; ".." at its top stays there.
    std::vector<std::string_view> rootNames;
    AppendNames(root, false, 0, rootNames, true);
    std::vector<std::string_view> names = rootNames;
    // why: a browser treats "\" in a URL path as "/", so the server must too, or "..\" would
    // climb past the containment check unseen.
    if (!AppendNames(document, true, rootNames.size(), names, false))
        return false;
    std::string result;
    for (const std::string_view name : names) {
        result += '/';
        result += name;
    }
    path = result.empty() ? std::string("/") : result;
    return true;
}

bool ResolveInsideRoot(const std::string& root, const std::string& path, std::string& resolved)
{
    resolved.clear();
    const std::string realRoot = RealPath(root);
    const std::string realPath = RealPath(path);
    if (realRoot.empty() || realPath.empty())
        return false;
    const bool inside = realPath == realRoot || realRoot == "/" ||
                        (realPath.size() > realRoot.size() && realPath.compare(0, realRoot.size(), realRoot) == 0 &&
                         realPath[realRoot.size()] == '/');
    if (inside)
        resolved = realPath;
    return inside;
}

std::vector<std::string> SplitIndexFiles(std::string_view indexFiles)
{
    std::vector<std::string> items;
    size_t start = 0;
    for (;;) {
        const size_t comma = indexFiles.find(',', start);
        items.emplace_back(indexFiles.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                                                     : comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return items;
}

std::vector<std::string> FilterMasks(std::string_view filter)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t bar = filter.find('|', start);
        fields.push_back(filter.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    std::vector<std::string> masks;
    for (size_t i = fields.size() == 1 ? 0 : 1; i < fields.size(); i += 2) {
        size_t from = 0;
        const std::string_view field = fields[i];
        for (;;) {
            const size_t semicolon = field.find(';', from);
            const std::string mask =
                Trim(field.substr(from, semicolon == std::string_view::npos ? std::string_view::npos : semicolon - from));
            if (!mask.empty())
                masks.push_back(mask);
            if (semicolon == std::string_view::npos)
                break;
            from = semicolon + 1;
        }
    }
    return masks;
}

bool MatchesMask(std::string_view fileName, std::string_view mask)
{
    // Iterative wildcard match with one back-tracking point per "*".
    size_t n = 0, m = 0;
    size_t starMask = std::string_view::npos, starName = 0;
    while (n < fileName.size()) {
        if (m < mask.size() && (mask[m] == '?' || LowerAscii(mask[m]) == LowerAscii(fileName[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

bool IsFileInFilter(std::string_view fileName, std::string_view filter)
{
    size_t slash = fileName.size();
    while (slash > 0 && !IsSeparator(fileName[slash - 1]))
        --slash;
    const std::string_view name = fileName.substr(slash);
    if (name.empty())
        return false;
    for (const std::string& mask : FilterMasks(filter))
        if (MatchesMask(name, mask))
            return true;
    return false;
}
