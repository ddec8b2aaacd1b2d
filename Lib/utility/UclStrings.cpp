#include "utility/UclStrings.h"

#include "Platform/files/SafeFileStream.h"
#include "Platform/text/Strings.h"

#include <algorithm>
#include <cstring>

namespace {

std::string_view UpToNul(std::string_view s)
{
    return s.substr(0, s.find('\0'));
}

} // namespace

std::string AppendSuffixOnce(std::string_view suffix, std::string_view text)
{
    if (text.ends_with(suffix))
        return std::string(text);
    std::string result(text);
    result += suffix;
    return result;
}

int CharCount(std::string_view text, char c)
{
    return static_cast<int>(std::count(text.begin(), text.end(), c));
}

std::string LeftChars(std::string_view text, int count)
{
    if (count <= 0)
        return {};
    return std::string(text.substr(0, static_cast<size_t>(count)));
}

std::string TailFrom(std::string_view text, int position)
{
    if (position <= 1)
        return std::string(text);
    const auto start = static_cast<size_t>(position - 1);
    return start >= text.size() ? std::string() : std::string(text.substr(start));
}

bool IsLineBreakChar(char c)
{
    return c == '\r' || c == '\n';
}

void TruncateAtNul(std::string& s)
{
    const size_t nul = s.find('\0');
    if (nul != std::string::npos)
        s.resize(nul);
}

char* StringsToMultiSz(TMultiSzBuffer& buffer, const TStrings& strings)
{
    // invariant: the caller's buffer stays as it was when an item is refused.
    size_t size = 1;
    for (int i = 0; i < strings.Count(); ++i) {
        const std::string item = strings.Get(i);
        if (item.empty())
            throw EUclError("String list passed to StringsToMultiSz cannot contain empty strings.");
        size += UpToNul(item).size() + 1;
    }
    auto block = std::make_unique<char[]>(size);
    char* p = block.get();
    for (int i = 0; i < strings.Count(); ++i) {
        const std::string item = strings.Get(i);
        const std::string_view bytes = UpToNul(item);
        std::memcpy(p, bytes.data(), bytes.size());
        p += bytes.size();
        *p++ = '\0';
    }
    *p = '\0';
    buffer = std::move(block);
    return buffer.get();
}

void FreeMultiSzBuffer(TMultiSzBuffer& buffer)
{
    buffer.reset();
}

void SplitToList(std::string_view text, std::string_view separator, TStrings& strings, bool allowEmpty)
{
    WithUpdate(strings, [&] {
        strings.Clear();
        if (!separator.empty()) {
            for (size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator)) {
                if (at > 0 || allowEmpty)
                    strings.Add(std::string(text.substr(0, at)));
                text.remove_prefix(at + separator.size());
            }
        }
        if (!text.empty())
            strings.Add(std::string(text));
    });
}

std::string JoinList(const TStrings& strings, std::string_view separator, bool allowEmpty)
{
    std::string result;
    for (int i = 0; i < strings.Count(); ++i) {
        const std::string item = strings.Get(i);
        if (!item.empty() || allowEmpty) {
            result += item;
            result += separator;
        }
    }
    // Only whole "item + separator" pairs were added, so a non-empty result holds at least
    // one separator at its end.
    if (!result.empty())
        result.resize(result.size() - separator.size());
    return result;
}

void WriteTextFile(const std::string& fileName, std::string_view text)
{
    // why: files are saved atomically throughout the program; a failed save keeps the old bytes.
    SaveFileAtomically(fileName, text);
}
