#include "ExLib/run/common/ExStrUtils.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/TextUtils.h"

#include <QLocale>
#include <algorithm>

void BytesToHexText(const void* buffer, int count, std::string& text)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    text.reserve(text.size() + static_cast<size_t>(std::max(0, count)) * 2);
    for (int i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
}

int HexTextToBytes(std::string_view text, void* buffer, int bufferSize)
{
    std::string padded;
    if (text.size() % 2 != 0) {
        padded = "0";
        padded += text;
        text = padded;
    }
    const int count = std::min(bufferSize, static_cast<int>(text.size() / 2));
    auto* bytes = static_cast<unsigned char*>(buffer);
    for (int i = 0; i < count; ++i) {
        const int high = HexDigitValue(text[static_cast<size_t>(2 * i)]);
        const int low = HexDigitValue(text[static_cast<size_t>(2 * i + 1)]);
        if (high < 0 || low < 0)
            throw EConvertError(Format("'%s' is not a valid integer value",
                                       {"$" + std::string(text.substr(static_cast<size_t>(2 * i), 2))}));
        bytes[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return std::max(0, count);
}

std::string ReplaceAllText(std::string_view text, std::string_view search, std::string_view replacement)
{
    return StringReplace(text, search, replacement, {rfReplaceAll});
}

std::string LocaleDecimalSeparator()
{
    return StdStr(QLocale().decimalPoint());
}

std::string LocaleThousandsSeparator()
{
    return StdStr(QLocale().groupSeparator());
}

std::string NormalizeNumberText(std::string_view text)
{
    return NormalizeNumberText(text, LocaleDecimalSeparator(), LocaleThousandsSeparator());
}

std::string NormalizeNumberText(std::string_view text, std::string_view decimalSeparator,
                                std::string_view thousandsSeparator)
{
    std::string s = TrimSpaces(text);
    if (decimalSeparator != thousandsSeparator)
        s = ReplaceAllText(s, thousandsSeparator, "");
    if (decimalSeparator != "." && thousandsSeparator != ".")
        s = ReplaceAllText(s, ".", decimalSeparator);
    if (decimalSeparator != "," && thousandsSeparator != ",")
        s = ReplaceAllText(s, ",", decimalSeparator);
    std::string kept;
    for (size_t i = 0; i < s.size();) {
        const std::string_view rest = std::string_view(s).substr(i);
        if (!decimalSeparator.empty() && rest.starts_with(decimalSeparator)) {
            kept.append(decimalSeparator);
            i += decimalSeparator.size();
        } else if (!thousandsSeparator.empty() && rest.starts_with(thousandsSeparator)) {
            kept.append(thousandsSeparator);
            i += thousandsSeparator.size();
        } else {
            const char c = s[i++];
            if (c == '+' || c == '-' || (c >= '0' && c <= '9'))
                kept += c;
        }
    }
    if (kept.empty())
        return "0";
    if (kept == "-")
        return "-0";
    return kept;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b)
{
    return QString::compare(QStr(a), QStr(b), Qt::CaseInsensitive) == 0;
}

std::string StripChar(std::string_view text, char c)
{
    std::string result;
    std::copy_if(text.begin(), text.end(), std::back_inserter(result), [c](char x) { return x != c; });
    return result;
}

std::string TrimLeadingSpaces(std::string_view text)
{
    const size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string TrimTrailingSpaces(std::string_view text)
{
    const size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string TrimSpaces(std::string_view text)
{
    return TrimTrailingSpaces(TrimLeadingSpaces(text));
}

std::string RepeatChar(char c, int count)
{
    return count <= 0 ? std::string() : std::string(static_cast<size_t>(count), c);
}

bool ContainsAnyChar(std::string_view text, std::string_view chars)
{
    return !chars.empty() && text.find_first_of(chars) != std::string_view::npos;
}

bool GuidsEqual(const QUuid& a, const QUuid& b)
{
    return a == b;
}

bool IsAccelerator(char32_t key, std::string_view caption)
{
    const QString text = QStr(caption);
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        const uint next = QStringView(text).mid(i + 1).toUcs4().value(0);
        return QChar::toUpper(next) == QChar::toUpper(static_cast<uint>(key));
    }
    return false;
}
