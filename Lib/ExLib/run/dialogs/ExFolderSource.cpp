#include "ExLib/run/dialogs/ExFolderSource.h"

#include "Platform/core/QtBridge.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

unsigned EnumFlagsOf(TExBrowsableObjectClasses classes)
{
    unsigned flags = 0;
    for (int i = 0; i <= static_cast<int>(ocStorage); ++i)
        if (classes.Contains(static_cast<TExBrowsableObjectClass>(i)))
            flags |= 0x20u << i;
    return flags;
}

TExBrowsableObjectClasses ObjectClassesOf(unsigned flags)
{
    TExBrowsableObjectClasses classes;
    for (int i = 0; i <= static_cast<int>(ocStorage); ++i)
        if (flags & (0x20u << i))
            classes.Include(static_cast<TExBrowsableObjectClass>(i));
    return classes;
}

namespace {

bool HasSubFolders(const QString& path)
{
    return !QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable, QDir::NoSort).isEmpty();
}

TExFolderItem ItemOf(const QFileInfo& info, const QString& name)
{
    TExFolderItem item;
    item.Path = StdStr(info.absoluteFilePath());
    item.DisplayName = StdStr(name);
    item.Folder = info.isDir();
    item.HasChildren = item.Folder && HasSubFolders(info.absoluteFilePath());
    return item;
}

} // namespace

std::vector<TExFolderItem> TExFileSystemFolderSource::TopItems(const std::string& root)
{
    if (!root.empty())
        return {ItemOf(QFileInfo(QStr(root)), QFileInfo(QStr(root)).fileName().isEmpty()
                                                  ? QStr(root)
                                                  : QFileInfo(QStr(root)).fileName())};
    return {ItemOf(QFileInfo(QDir::homePath()), QStringLiteral("Home")),
            ItemOf(QFileInfo(QStringLiteral("/")), QStringLiteral("File System"))};
}

std::vector<TExFolderItem> TExFileSystemFolderSource::Children(const std::string& folder,
                                                               TExBrowsableObjectClasses classes)
{
    QDir::Filters filters = QDir::NoDotAndDotDot;
    if (classes.Contains(ocFolders))
        filters |= QDir::Dirs;
    if (classes.Contains(ocNonFolders))
        filters |= QDir::Files;
    if (classes.Contains(ocIncludeHidden))
        filters |= QDir::Hidden;
    std::vector<TExFolderItem> items;
    const QFileInfoList entries =
        QDir(QStr(folder)).entryInfoList(filters, QDir::Name | QDir::DirsFirst | QDir::IgnoreCase);
    for (const QFileInfo& info : entries)
        items.push_back(ItemOf(info, info.fileName()));
    return items;
}

bool TExFileSystemFolderSource::IsFolder(const std::string& path)
{
    return !path.empty() && QFileInfo(QStr(path)).isDir();
}

std::string TExFileSystemFolderSource::DisplayName(const std::string& path)
{
    const QFileInfo info(QStr(path));
    return info.fileName().isEmpty() ? path : StdStr(info.fileName());
}

std::string TExFileSystemFolderSource::SpecialFolderPath(TFromDirectory folder)
{
    using F = TFromDirectory;
    const auto location = [](QStandardPaths::StandardLocation l) {
        return StdStr(QStandardPaths::writableLocation(l));
    };
    switch (folder) {
    case F::fdRootFolder: return "/";
    case F::fdDesktopDirectory: return location(QStandardPaths::DesktopLocation);
    case F::fdPersonal:
    case F::fdMyDocuments: return location(QStandardPaths::DocumentsLocation);
    case F::fdMyMusic: return location(QStandardPaths::MusicLocation);
    case F::fdMyPictures: return location(QStandardPaths::PicturesLocation);
    case F::fdMyVideo: return location(QStandardPaths::MoviesLocation);
    case F::fdFonts: return location(QStandardPaths::FontsLocation);
    case F::fdAppData: return location(QStandardPaths::GenericConfigLocation);
    case F::fdLocalAppData: return location(QStandardPaths::GenericDataLocation);
    case F::fdInternetCache: return location(QStandardPaths::GenericCacheLocation);
    case F::fdProfile: return location(QStandardPaths::HomeLocation);
    case F::fdTemplates: return StdStr(QDir::homePath() + QStringLiteral("/Templates"));
    case F::fdProgramFiles: return "/usr";
    default: return {};
    }
}

std::string TExFileSystemFolderSource::CreateFolder(const std::string& parent, const std::string& name)
{
    QDir dir(QStr(parent));
    if (!dir.exists() || !dir.mkdir(QStr(name)))
        return {};
    return StdStr(dir.absoluteFilePath(QStr(name)));
}

IExFolderSource& DefaultFolderSource()
{
    static TExFileSystemFolderSource source;
    return source;
}
