#pragma once
// Conversions between the 8-bit UTF-8 strings of the system and Qt's strings, used only at the
// edges: painting, dialogs, clipboard and file names.

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

inline QString QStr(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string StdStr(const QString& s)
{
    const QByteArray bytes = s.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

inline std::string StdStr(const QByteArray& bytes)
{
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}
