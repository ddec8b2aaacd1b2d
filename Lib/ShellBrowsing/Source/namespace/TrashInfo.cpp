#include "ShellBrowsing/Source/namespace/TrashInfo.h"

#include "ShellBrowsing/Source/namespace/ShellLocations.h"

#include <QByteArray>
#include <fstream>
#include <sstream>

namespace {

std::string ParentOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string TrashFolderOfItem(const std::string& filesPath)
{
    return ParentOf(ParentOf(filesPath));
}

std::string TrashInfoFileOf(const std::string& filesPath)
{
    return TrashFolderOfItem(filesPath) + "/info/" + BaseName(filesPath) + ".trashinfo";
}

std::string TrashTopFolder(const std::string& trashFolder)
{
    if (trashFolder == HomeTrashPath())
        return {};
    const std::string parent = ParentOf(trashFolder);
    // ".Trash/<uid>" lies one level deeper than ".Trash-<uid>".
    if (BaseName(parent) == ".Trash")
        return ParentOf(parent);
    return parent;
}

bool ReadTrashInfo(const std::string& filesPath, TTrashInfo& info)
{
    info = {};
    std::ifstream in(TrashInfoFileOf(filesPath), std::ios::binary);
    if (!in)
        return false;
    std::string line;
    bool section = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            section = line == "[Trash Info]";
            continue;
        }
        if (!section)
            continue;
        if (line.starts_with("Path="))
            info.OriginalPath = PercentDecode(line.substr(5));
        else if (line.starts_with("DeletionDate="))
            info.DeletionDate = line.substr(13);
    }
    if (info.OriginalPath.empty())
        return false;
    if (info.OriginalPath.front() != '/') {
        const std::string top = TrashTopFolder(TrashFolderOfItem(filesPath));
        info.OriginalPath = (top == "/" ? std::string() : top) + "/" + info.OriginalPath;
    }
    info.OriginalPath = NormalizePath(info.OriginalPath);
    return !info.OriginalPath.empty();
}

std::string TrashInfoText(const std::string& trashFolder, const std::string& originalPath,
                          const std::string& deletionDate)
{
    std::string path = originalPath;
    const std::string top = TrashTopFolder(trashFolder);
    if (!top.empty() && top != "/" && path.starts_with(top + "/"))
        path = path.substr(top.size() + 1);
    return "[Trash Info]\nPath=" + PercentEncodePath(path) + "\nDeletionDate=" + deletionDate + "\n";
}

std::string PercentEncodePath(const std::string& path)
{
    const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
    return bytes.toPercentEncoding("/").toStdString();
}

std::string PercentDecode(const std::string& text)
{
    return QByteArray::fromPercentEncoding(QByteArray(text.data(), static_cast<qsizetype>(text.size()))).toStdString();
}
