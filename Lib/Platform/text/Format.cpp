#include "Platform/text/Format.h"

#include "Platform/core/Exceptions.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

[[noreturn]] void FormatError(std::string_view format)
{
    throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

std::string Printf(const char* pattern, auto value)
{
    char small[128];
    const int n = std::snprintf(small, sizeof small, pattern, value);
    if (n < 0)
        return {};
    if (static_cast<size_t>(n) < sizeof small)
        return std::string(small, static_cast<size_t>(n));
    std::string big(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), pattern, value);
    big.resize(static_cast<size_t>(n));
    return big;
}

// Inserts thousands separators into the integer part of a fixed-point number text.
std::string GroupThousands(const std::string& text)
{
    size_t start = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    size_t end = text.find('.');
    if (end == std::string::npos)
        end = text.size();
    std::string out = text.substr(0, start);
    const size_t digits = end - start;
    for (size_t i = 0; i < digits; ++i) {
        if (i > 0 && (digits - i) % 3 == 0)
            out += ',';
        out += text[start + i];
    }
    out += text.substr(end);
    return out;
}

struct Cursor {
    std::string_view format;
    const std::vector<TVarRec>& args;
    size_t next = 0;

    const TVarRec& Take()
    {
        if (next >= args.size())
            FormatError(format);
        return args[next++];
    }

    int TakeInt()
    {
        const auto& v = Take().Get();
        if (auto i = std::get_if<std::int64_t>(&v))
            return static_cast<int>(*i);
        if (auto u = std::get_if<std::uint64_t>(&v))
            return static_cast<int>(*u);
        FormatError(format);
    }
};

std::string FormatInteger(const TVarRec& arg, char type, int precision, std::string_view format)
{
    const auto& v = arg.Get();
    std::string digits;
    bool negative = false;
    if (auto i = std::get_if<std::int64_t>(&v)) {
        if (type == 'x')
            digits = Printf("%llX", static_cast<unsigned long long>(*i));
        else if (type == 'u')
            digits = Printf("%llu", static_cast<unsigned long long>(static_cast<std::uint32_t>(*i)));
        else {
            negative = *i < 0;
            digits = Printf("%llu", negative ? 0ULL - static_cast<unsigned long long>(*i)
                                             : static_cast<unsigned long long>(*i));
        }
    } else if (auto u = std::get_if<std::uint64_t>(&v)) {
        digits = Printf(type == 'x' ? "%llX" : "%llu", static_cast<unsigned long long>(*u));
    } else {
        FormatError(format);
    }
    if (precision >= 0 && static_cast<int>(digits.size()) < precision)
        digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
    return negative ? "-" + digits : digits;
}

std::string FormatFloat(const TVarRec& arg, char type, int precision, std::string_view format)
{
    const auto& v = arg.Get();
    double d;
    if (auto f = std::get_if<double>(&v))
        d = *f;
    else if (auto i = std::get_if<std::int64_t>(&v))
        d = static_cast<double>(*i);
    else if (auto u = std::get_if<std::uint64_t>(&v))
        d = static_cast<double>(*u);
    else
        FormatError(format);
    switch (type) {
    case 'e': {
        // why: the class library's %e counts all digits in the precision (default 15) and writes at least 3 exponent digits.
        const int digits = precision < 0 ? 15 : std::max(1, precision);
        std::string s = Printf(("%." + std::to_string(digits - 1) + "E").c_str(), d);
        const size_t e = s.find('E');
        if (e != std::string::npos && e + 2 < s.size()) {
            std::string exp = s.substr(e + 2);
            while (exp.size() < 3)
                exp.insert(exp.begin(), '0');
            s = s.substr(0, e + 2) + exp;
        }
        return s;
    }
    case 'f':
        return Printf(("%." + std::to_string(precision < 0 ? 2 : precision) + "f").c_str(), d);
    case 'n':
    case 'm':
        return GroupThousands(Printf(("%." + std::to_string(precision < 0 ? 2 : precision) + "f").c_str(), d));
    default: { // 'g'
        std::string s = Printf(("%." + std::to_string(precision < 0 ? 15 : std::max(1, precision)) + "G").c_str(), d);
        return s;
    }
    }
}

} // namespace

std::string Format(std::string_view format, std::initializer_list<TVarRec> argList)
{
    const std::vector<TVarRec> args(argList);
    Cursor cursor{format, args};
    std::string out;
    out.reserve(format.size() + 16);
    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i < format.size() && format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        bool left = false;
        int width = -1;
        int precision = -1;
        auto readNumber = [&](int& target) {
            if (i < format.size() && format[i] == '*') {
                target = cursor.TakeInt();
                ++i;
                return true;
            }
            if (i >= format.size() || format[i] < '0' || format[i] > '9')
                return false;
            target = 0;
            while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
                // why: a number past int would overflow; no width or index can be that large
                if (target > (INT_MAX - 9) / 10)
                    FormatError(format);
                target = target * 10 + (format[i++] - '0');
            }
            return true;
        };
        int number = -1;
        if (readNumber(number) && i < format.size() && format[i] == ':') {
            ++i;
            if (number < 0 || static_cast<size_t>(number) >= args.size())
                FormatError(format);
            cursor.next = static_cast<size_t>(number);
            number = -1;
        }
        if (number < 0) {
            if (i < format.size() && format[i] == '-') {
                left = true;
                ++i;
            }
            readNumber(width);
        } else {
            width = number;
        }
        if (i < format.size() && format[i] == '.') {
            ++i;
            if (!readNumber(precision))
                precision = 0;
        }
        if (i >= format.size())
            FormatError(format);
        const char type = static_cast<char>(std::tolower(static_cast<unsigned char>(format[i++])));
        std::string piece;
        switch (type) {
        case 'd':
        case 'u':
        case 'x':
            piece = FormatInteger(cursor.Take(), type, precision, format);
            break;
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm':
            piece = FormatFloat(cursor.Take(), type, precision, format);
            break;
        case 'p': {
            const auto& v = cursor.Take().Get();
            auto p = std::get_if<const void*>(&v);
            if (!p)
                FormatError(format);
            piece = Printf("%016llX", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(*p)));
            break;
        }
        case 's': {
            const auto& v = cursor.Take().Get();
            auto s = std::get_if<std::string>(&v);
            if (!s)
                FormatError(format);
            piece = *s;
            if (precision >= 0 && piece.size() > static_cast<size_t>(precision))
                piece.resize(static_cast<size_t>(precision));
            break;
        }
        default:
            FormatError(format);
        }
        if (width > 0 && piece.size() < static_cast<size_t>(width)) {
            const std::string pad(static_cast<size_t>(width) - piece.size(), ' ');
            piece = left ? piece + pad : pad + piece;
        }
        out += piece;
    }
    return out;
}
