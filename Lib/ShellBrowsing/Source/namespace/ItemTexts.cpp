#include "ShellBrowsing/Source/namespace/ItemTexts.h"

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/common/WideStrings.h"
#include "ShellBrowsing/Source/namespace/ShellConsts.h"

#include "Platform/core/QtBridge.h"
#include "Platform/text/Format.h"

QString FileTimeText(FILETIME utc)
{
    FILETIME local;
    if (utc.Ticks == 0 || !FileTimeToLocalFileTime(utc, local))
        return {};
    const auto ticks = static_cast<std::int64_t>(local.Ticks);
    const std::int64_t day = ticks / FileTimeTicksPerDay - FileTimeEpochDays;
    // why: whole seconds, so that a time a few ticks before midnight never rounds to the next day.
    const std::int64_t seconds = (ticks % FileTimeTicksPerDay) / 10000000;
    return QStr(DateTimeToStr(static_cast<double>(day) + static_cast<double>(seconds) / 86400.0));
}

QString SizeText(std::int64_t bytes)
{
    return FormatNumberW(bytes);
}

QString SizeKBText(std::int64_t bytes)
{
    const QString text = QStr(Format(ShellTexts::KBFormat, {static_cast<double>(bytes / 1024)}));
    return text == QLatin1String(ShellTexts::ZeroKB) ? QString::fromLatin1(ShellTexts::OneKB) : text;
}

QString VolumeSizeText(std::uint64_t bytes)
{
    if (bytes < 1024 * 1024)
        return SizeKBText(static_cast<std::int64_t>(bytes));
    const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
    if (mb < 1024.0)
        return QStr(Format("%.1f MB", {mb}));
    return QStr(Format("%.1f GB", {mb / 1024.0}));
}

QString AttributesText(std::uint32_t a)
{
    QString text;
    if (a & FILE_ATTRIBUTE_ARCHIVE)
        text += QLatin1String(ShellTexts::AttrArchive);
    if (a & FILE_ATTRIBUTE_HIDDEN)
        text += QLatin1String(ShellTexts::AttrHidden);
    if (a & FILE_ATTRIBUTE_READONLY)
        text += QLatin1String(ShellTexts::AttrReadOnly);
    if (a & FILE_ATTRIBUTE_SYSTEM)
        text += QLatin1String(ShellTexts::AttrSystem);
    if (a & FILE_ATTRIBUTE_COMPRESSED)
        text += QLatin1String(ShellTexts::AttrCompressed);
    return text;
}

namespace {

// The next unit of a name for ordering: a run of digits as one number, or one character folded
// to lower case.
struct TNameUnit {
    bool Number = false;
    QStringView Digits;
    char32_t Char = 0;
};

TNameUnit NextUnit(const QString& s, qsizetype& i)
{
    TNameUnit unit;
    if (s[i].isDigit() && s[i].unicode() < 128) {
        const qsizetype start = i;
        while (i < s.size() && s[i].unicode() < 128 && s[i].isDigit())
            ++i;
        qsizetype first = start;
        while (first + 1 < i && s[first] == u'0')
            ++first;
        unit.Number = true;
        unit.Digits = QStringView(s).mid(first, i - first);
        return unit;
    }
    char32_t c = s[i].unicode();
    if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
        c = QChar::surrogateToUcs4(s[i], s[i + 1]);
        ++i;
    }
    ++i;
    unit.Char = QChar::toCaseFolded(c);
    return unit;
}

} // namespace

int CompareItemNames(const std::string& a, const std::string& b)
{
    const QString sa = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
    const QString sb = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < sa.size() && j < sb.size()) {
        const TNameUnit ua = NextUnit(sa, i);
        const TNameUnit ub = NextUnit(sb, j);
        if (ua.Number && ub.Number) {
            if (ua.Digits.size() != ub.Digits.size())
                return ua.Digits.size() < ub.Digits.size() ? -1 : 1;
            if (const int c = ua.Digits.compare(ub.Digits); c != 0)
                return c < 0 ? -1 : 1;
        } else if (ua.Number != ub.Number) {
            return ua.Number ? -1 : 1;
        } else if (ua.Char != ub.Char) {
            return ua.Char < ub.Char ? -1 : 1;
        }
    }
    if (i < sa.size() || j < sb.size())
        return i < sa.size() ? 1 : -1;
    const int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::u32string NameSortKey(std::string_view name)
{
    // Units: a number is 1, its digit count and its digits (leading zeros dropped); a character
    // is its folded code point + 2. So numbers come before characters, shorter numbers first.
    const QString s = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    std::u32string key;
    key.reserve(static_cast<std::size_t>(s.size()) + 4);
    qsizetype i = 0;
    while (i < s.size()) {
        const TNameUnit unit = NextUnit(s, i);
        if (!unit.Number) {
            key.push_back(unit.Char + 2);
            continue;
        }
        key.push_back(1);
        key.push_back(static_cast<char32_t>(unit.Digits.size()));
        for (const QChar digit : unit.Digits)
            key.push_back(digit.unicode());
    }
    return key;
}
