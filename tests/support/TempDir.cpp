#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

TempDir::TempDir()
{
    if (!FDir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

std::string TempDir::Path() const
{
    return FDir.path().toStdString();
}

std::string TempDir::File(std::string_view name) const
{
    return Path() + "/" + std::string(name);
}

std::string TempDir::Write(std::string_view name, std::string_view bytes) const
{
    const std::string full = File(name);
    QDir().mkpath(QFileInfo(QString::fromStdString(full)).path());
    QFile f(QString::fromStdString(full));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + full);
    if (f.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        throw std::runtime_error("cannot write " + full);
    return full;
}

std::string TempDir::Read(std::string_view name) const
{
    return ReadWholeFile(File(name));
}

std::string ReadWholeFile(const std::string& fileName)
{
    QFile f(QString::fromStdString(fileName));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = f.readAll();
    return std::string(data.constData(), static_cast<size_t>(data.size()));
}

std::vector<std::string> ReadLines(const std::string& fileName)
{
    std::vector<std::string> lines;
    const std::string text = ReadWholeFile(fileName);
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}
