#include "ShellBrowsing/Source/operations/ShellClipboard.h"

#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/namespace/TrashInfo.h"

#include <QClipboard>
#include <QGuiApplication>

namespace ShellClipboard {

namespace {

const QString UriList = QStringLiteral("text/uri-list");
const QString GnomeFiles = QStringLiteral("x-special/gnome-copied-files");
const QString KdeCut = QStringLiteral("application/x-kde-cutselection");

std::vector<QByteArray> Lines(const QByteArray& bytes)
{
    std::vector<QByteArray> lines;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty() && !line.startsWith('#'))
            lines.push_back(line);
    }
    return lines;
}

// The path of a local file URL ("file:///p" or "file://localhost/p"); "" for anything else.
std::string LocalPath(const QByteArray& url)
{
    QByteArray rest;
    if (url.startsWith("file:///"))
        rest = url.mid(7);
    else if (url.startsWith("file://localhost/"))
        rest = url.mid(16);
    else
        return {};
    const std::string path = PercentDecode(rest.toStdString());
    if (path.find('\0') != std::string::npos)
        return {};
    return NormalizePath(path);
}

} // namespace

std::string FileUrl(const std::string& path)
{
    return "file://" + PercentEncodePath(path);
}

std::unique_ptr<QMimeData> MakeFileMimeData(const std::vector<std::string>& paths, bool cut)
{
    auto data = std::make_unique<QMimeData>();
    QByteArray uris;
    QByteArray text;
    for (const std::string& path : paths) {
        uris += QByteArray::fromStdString(FileUrl(path)) + "\r\n";
        text += QByteArray::fromStdString(path) + "\n";
    }
    data->setData(UriList, uris);
    QByteArray gnome = QByteArray(cut ? "cut" : "copy");
    for (const std::string& path : paths)
        gnome += "\n" + QByteArray::fromStdString(FileUrl(path));
    data->setData(GnomeFiles, gnome);
    if (cut)
        data->setData(KdeCut, "1");
    data->setText(QString::fromUtf8(text.trimmed()));
    return data;
}

bool ReadFileMimeData(const QMimeData* data, std::vector<std::string>& paths, bool& cut)
{
    paths.clear();
    cut = false;
    if (!data)
        return false;
    std::vector<QByteArray> urls;
    if (data->hasFormat(GnomeFiles)) {
        std::vector<QByteArray> lines = Lines(data->data(GnomeFiles));
        if (!lines.empty() && (lines.front() == "cut" || lines.front() == "copy")) {
            cut = lines.front() == "cut";
            urls.assign(lines.begin() + 1, lines.end());
        }
    }
    if (urls.empty() && data->hasFormat(UriList)) {
        urls = Lines(data->data(UriList));
        cut = data->data(KdeCut).trimmed() == "1";
    }
    for (const QByteArray& url : urls)
        if (const std::string path = LocalPath(url.trimmed()); !path.empty())
            paths.push_back(path);
    return !paths.empty();
}

void PutFiles(const std::vector<std::string>& paths, bool cut)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    QGuiApplication::clipboard()->setMimeData(MakeFileMimeData(paths, cut).release());
}

bool ClipboardFiles(std::vector<std::string>& paths, bool& cut)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    return ReadFileMimeData(QGuiApplication::clipboard()->mimeData(), paths, cut);
}

void ClearAfterCutPaste()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::clipboard()->clear();
}

} // namespace ShellClipboard
