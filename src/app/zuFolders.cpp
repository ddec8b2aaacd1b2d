// The program's folders and the per-user folder.

#include "app/zuFolders.h"

#include "app/zuConstants.h"

#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

std::string DataFolder;
std::string ProjectFolder;
std::string TemplateFolder;
std::string UserFolder;

namespace {

// Copies the files and folders below `source` into `target`; failures leave what was copied.
void CopyTree(const QString& source, const QString& target)
{
    QDir().mkpath(target);
    const QDir dir(source);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString destination = target + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() && !entry.isSymLink())
            CopyTree(entry.filePath(), destination);
        else if (entry.isFile())
            QFile::copy(entry.filePath(), destination);
    }
}

bool WritableFolder(const std::string& path)
{
    return DirectoryExists(path) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

} // namespace

std::string ChooseProjectFolder(const std::string& programProject, const std::string& userFolder,
                                bool programProjectWritable)
{
    if (programProjectWritable)
        return programProject;
    const std::string userProject = userFolder + "project/";
    if (!DirectoryExists(userProject)) {
        if (DirectoryExists(programProject))
            CopyTree(QStr(programProject), QStr(userProject));
        else
            ForceDirectories(userProject);
    }
    return userProject;
}

TFolderCheck SetUpFolders(const std::string& programFolder, const std::string& appDataFolder)
{
    const std::string program = IncludeTrailingPathDelimiter(programFolder);
    DataFolder = program + "data/";
    TemplateFolder = program + "template/";
    ProjectFolder = program + "project/";
    if (appDataFolder.empty()) {
        UserFolder = DataFolder;
    } else {
        UserFolder = IncludeTrailingPathDelimiter(appDataFolder) + "Zentu Systems/Zentu/";
        if (!ForceDirectories(UserFolder))
            return TFolderCheck::fcUserFolderNotMade;
    }
    if (!DirectoryExists(DataFolder) || !DirectoryExists(TemplateFolder))
        return TFolderCheck::fcInstallationCorrupted;
    ProjectFolder = ChooseProjectFolder(ProjectFolder, UserFolder, WritableFolder(ProjectFolder));
    return TFolderCheck::fcOk;
}

std::string FolderCheckMessage(TFolderCheck check)
{
    switch (check) {
    case TFolderCheck::fcOk:
        return {};
    case TFolderCheck::fcUserFolderNotMade:
        return Format(sUnableToContinue, {UserFolderErrorCode});
    case TFolderCheck::fcInstallationCorrupted:
        return std::string(sInstallationCorrupted);
    }
    return {};
}
