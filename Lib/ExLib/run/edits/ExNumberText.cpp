#include "ExLib/run/edits/ExNumberText.h"

#include "ExLib/run/common/ExStrUtils.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Inserts the thousands separator into a run of integer digits.
std::string Grouped(const std::string& digits, const std::string& separator)
{
    std::string result;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            result += separator;
        result += digits[i];
    }
    return result;
}

} // namespace

TNumberSeparators LocaleSeparators()
{
    return {LocaleDecimalSeparator(), LocaleThousandsSeparator()};
}

double RoundTiesEven(double value)
{
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(mode);
    return rounded;
}

std::optional<int> TextToInt32(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<int> HexToInt32(std::string_view text)
{
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        int digit = -1;
        if (IsDigit(c))
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return static_cast<int>(value);
}

std::string Int32ToHex(int value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(value));
    return buffer;
}

std::optional<double> TextToFloat(std::string_view text, const TNumberSeparators& separators)
{
    const std::string trimmed = TrimSpaces(text);
    std::string plain; // in C notation
    size_t i = 0;
    const auto digits = [&] {
        const size_t start = i;
        while (i < trimmed.size() && IsDigit(trimmed[i]))
            plain += trimmed[i++];
        return i - start;
    };
    if (i < trimmed.size() && (trimmed[i] == '+' || trimmed[i] == '-'))
        plain += trimmed[i++];
    size_t count = digits();
    if (!separators.Decimal.empty() && std::string_view(trimmed).substr(i).starts_with(separators.Decimal)) {
        i += separators.Decimal.size();
        plain += '.';
        count += digits();
    }
    if (count == 0)
        return std::nullopt;
    if (i < trimmed.size() && (trimmed[i] == 'E' || trimmed[i] == 'e')) {
        plain += trimmed[i++];
        if (i < trimmed.size() && (trimmed[i] == '+' || trimmed[i] == '-'))
            plain += trimmed[i++];
        if (digits() == 0)
            return std::nullopt;
    }
    if (i != trimmed.size())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(plain.c_str(), &end);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string FloatToFixed(double value, int decimals, bool grouped, const TNumberSeparators& separators)
{
    decimals = std::clamp(decimals, 0, 18);
    char buffer[512];
    if (std::fabs(value) >= 1e15) {
        std::snprintf(buffer, sizeof buffer, "%.14E", value);
        std::string text = buffer;
        const size_t dot = text.find('.');
        if (dot != std::string::npos)
            text.replace(dot, 1, separators.Decimal);
        return text;
    }
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
    // why: a negative value that rounds to zero is written without its sign.
    if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        text.erase(0, 1);
    const size_t dot = text.find('.');
    std::string integer = text.substr(0, dot);
    std::string fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    if (grouped)
        integer = Grouped(integer, separators.Thousands);
    return (negative ? "-" : "") + integer + (fraction.empty() ? "" : separators.Decimal + fraction);
}

std::string FormatFloatPicture(std::string_view format, double value, const TNumberSeparators& separators)
{
    if (format.empty()) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.15G", value);
        std::string text = buffer;
        const size_t dot = text.find('.');
        if (dot != std::string::npos)
            text.replace(dot, 1, separators.Decimal);
        return text;
    }
    std::string_view section = format;
    const size_t semicolon = format.find(';');
    bool signInSection = false;
    if (semicolon != std::string_view::npos) {
        section = format.substr(0, semicolon);
        if (value < 0) {
            section = format.substr(semicolon + 1);
            const size_t next = section.find(';');
            if (next != std::string_view::npos)
                section = section.substr(0, next);
            signInSection = true;
            value = -value;
        }
    }
    const size_t point = section.find('.');
    const std::string_view integerPart = section.substr(0, point);
    const std::string_view fractionPart = point == std::string_view::npos ? std::string_view() : section.substr(point + 1);
    const bool grouped = integerPart.find(',') != std::string_view::npos;
    int minInteger = 0;
    for (char c : integerPart)
        minInteger += c == '0';
    int minFraction = 0, maxFraction = 0;
    for (char c : fractionPart) {
        if (c == '0')
            ++minFraction;
        if (c == '0' || c == '#')
            ++maxFraction;
    }
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", maxFraction, std::fabs(value));
    std::string text = buffer;
    const size_t dot = text.find('.');
    std::string integer = text.substr(0, dot);
    std::string fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    while (static_cast<int>(fraction.size()) > minFraction && !fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (integer == "0" && minInteger == 0)
        integer.clear();
    while (static_cast<int>(integer.size()) < minInteger)
        integer.insert(0, "0");
    if (grouped)
        integer = Grouped(integer, separators.Thousands);
    const bool negative = value < 0 && !signInSection && (!integer.empty() || !fraction.empty()) &&
                          (integer.find_first_not_of("0" + separators.Thousands) != std::string::npos ||
                           fraction.find_first_not_of('0') != std::string::npos);
    std::string result = (negative ? "-" : "") + integer;
    if (!fraction.empty())
        result += separators.Decimal + fraction;
    return result.empty() ? "0" : result;
}
