#include "ShellBrowsing/Source/explorer/NameSortKey.h"

#include <QChar>
#include <QString>

std::u32string NameSortKey(std::string_view name)
{
    // Units: a number is 1, its digit count and its digits (leading zeros dropped); a character
    // is its folded code point + 2. So numbers come before characters, shorter numbers first.
    const QString s = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    std::u32string key;
    key.reserve(static_cast<std::size_t>(s.size()) + 4);
    qsizetype i = 0;
    while (i < s.size()) {
        if (s[i].unicode() < 128 && s[i].isDigit()) {
            const qsizetype start = i;
            while (i < s.size() && s[i].unicode() < 128 && s[i].isDigit())
                ++i;
            qsizetype first = start;
            while (first + 1 < i && s[first] == u'0')
                ++first;
            key.push_back(1);
            key.push_back(static_cast<char32_t>(i - first));
            for (qsizetype d = first; d < i; ++d)
                key.push_back(s[d].unicode());
            continue;
        }
        char32_t c = s[i].unicode();
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(s[i], s[i + 1]);
            ++i;
        }
        ++i;
        key.push_back(QChar::toCaseFolded(c) + 2);
    }
    return key;
}
