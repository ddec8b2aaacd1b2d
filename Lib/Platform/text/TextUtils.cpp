#include "Platform/text/TextUtils.h"

#include "Platform/core/Exceptions.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string IntToStr(std::int64_t value)
{
    return std::to_string(value);
}

std::string IntToHex(std::int64_t value, int digits)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(value));
    std::string s(buf);
    if (digits > static_cast<int>(s.size()))
        s.insert(0, static_cast<size_t>(digits) - s.size(), '0');
    return s;
}

bool TryStrToInt64(const std::string& text, std::int64_t& value)
{
    std::string_view s = text;
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return false;
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    if (ec != std::errc() || end != s.data() + s.size())
        return false;
    if (base == 16 && !negative) {
        value = static_cast<std::int64_t>(magnitude); // hex may spell the two's complement
        return true;
    }
    if (magnitude > static_cast<std::uint64_t>(INT64_MAX) + (negative ? 1 : 0))
        return false;
    value = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    return true;
}

bool TryStrToInt(const std::string& text, int& value)
{
    std::int64_t v = 0;
    if (!TryStrToInt64(text, v))
        return false;
    // Hexadecimal texts may spell a 32-bit two's complement ("$FFFFFFFF" is -1).
    const bool hex = text.find('$') != std::string::npos || text.find("0x") != std::string::npos ||
                     text.find("0X") != std::string::npos;
    if (hex && v >= 0 && v <= static_cast<std::int64_t>(UINT32_MAX))
        v = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(const std::string& text)
{
    int v = 0;
    if (!TryStrToInt(text, v))
        throw EConvertError("'" + text + "' is not a valid integer value");
    return v;
}

std::int64_t StrToInt64(const std::string& text)
{
    std::int64_t v = 0;
    if (!TryStrToInt64(text, v))
        throw EConvertError("'" + text + "' is not a valid integer value");
    return v;
}

int StrToIntDef(const std::string& text, int defaultValue)
{
    int v = 0;
    return TryStrToInt(text, v) ? v : defaultValue;
}

std::string FloatToStr(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    char buf[64];
    for (int precision = 15; precision <= 17; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*G", precision, value);
        if (std::strtod(buf, nullptr) == value)
            break;
    }
    return buf;
}

bool TryStrToFloat(const std::string& text, double& value)
{
    const std::string t = Trim(text);
    if (t.empty())
        return false;
    const char* begin = t.c_str();
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(begin, &end);
    if (end != begin + t.size() || errno == ERANGE)
        return false;
    value = v;
    return true;
}

double StrToFloat(const std::string& text)
{
    double v = 0;
    if (!TryStrToFloat(text, v))
        throw EConvertError("'" + text + "' is not a valid floating point value");
    return v;
}

char UpCase(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

static char LowCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::string UpperCase(std::string_view text)
{
    std::string s(text);
    for (char& c : s)
        c = UpCase(c);
    return s;
}

std::string LowerCase(std::string_view text)
{
    std::string s(text);
    for (char& c : s)
        c = LowCase(c);
    return s;
}

int CompareStr(std::string_view a, std::string_view b)
{
    const int r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CompareText(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(UpCase(a[i]));
        const auto cb = static_cast<unsigned char>(UpCase(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareText(a, b) == 0;
}

static bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

std::string Trim(std::string_view text)
{
    return TrimRight(TrimLeft(text));
}

std::string TrimLeft(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return std::string(text.substr(i));
}

std::string TrimRight(std::string_view text)
{
    size_t n = text.size();
    while (n > 0 && IsBlank(text[n - 1]))
        --n;
    return std::string(text.substr(0, n));
}

std::string StringReplace(std::string_view text, std::string_view oldPattern, std::string_view newPattern,
                          TReplaceFlags flags)
{
    if (oldPattern.empty())
        return std::string(text);
    const bool ignoreCase = flags.Contains(rfIgnoreCase);
    const std::string haystack = ignoreCase ? UpperCase(text) : std::string(text);
    const std::string needle = ignoreCase ? UpperCase(oldPattern) : std::string(oldPattern);
    std::string out;
    size_t from = 0;
    while (true) {
        const size_t at = haystack.find(needle, from);
        if (at == std::string::npos)
            break;
        out.append(text.substr(from, at - from));
        out.append(newPattern);
        from = at + needle.size();
        if (!flags.Contains(rfReplaceAll))
            break;
    }
    out.append(text.substr(from));
    return out;
}

int Pos(std::string_view sub, std::string_view text, int offset)
{
    if (sub.empty() || offset < 1 || static_cast<size_t>(offset) > text.size())
        return 0;
    const size_t at = text.find(sub, static_cast<size_t>(offset - 1));
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Copy(std::string_view text, int index, int count)
{
    if (index < 1)
        index = 1;
    if (count <= 0 || static_cast<size_t>(index) > text.size())
        return {};
    return std::string(text.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count)));
}

std::string QuotedStr(std::string_view text)
{
    return AnsiQuotedStr(text, '\'');
}

std::string AnsiQuotedStr(std::string_view text, char quote)
{
    std::string s(1, quote);
    for (char c : text) {
        s += c;
        if (c == quote)
            s += c;
    }
    s += quote;
    return s;
}

std::string AnsiExtractQuotedStr(std::string_view text, size_t& pos, char quote)
{
    if (pos >= text.size() || text[pos] != quote)
        return {};
    std::string s;
    ++pos;
    while (pos < text.size()) {
        if (text[pos] == quote) {
            if (pos + 1 < text.size() && text[pos + 1] == quote) {
                s += quote;
                pos += 2;
                continue;
            }
            ++pos;
            return s;
        }
        s += text[pos++];
    }
    return s;
}

std::string AnsiDequotedStr(std::string_view text, char quote)
{
    if (text.size() < 2 || text.front() != quote || text.back() != quote)
        return std::string(text);
    size_t pos = 0;
    std::string s = AnsiExtractQuotedStr(text, pos, quote);
    return pos == text.size() ? s : std::string(text);
}

bool StartsText(std::string_view prefix, std::string_view text)
{
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

bool EndsText(std::string_view suffix, std::string_view text)
{
    return text.size() >= suffix.size() && SameText(text.substr(text.size() - suffix.size()), suffix);
}
