// The program's folders, the per-user folder and the default project.

#include "app/zuFolders.h"

#include "app/zuConstants.h"
#include "projects/zuProjects.h"
#include "settings/zentuIniFiles.h"
#include "settings/zuSettings.h"

#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/Strings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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

// The same folder, whatever trailing separators or "." steps the texts have.
bool SameFolder(const std::string& a, const std::string& b)
{
    return !a.empty() && !b.empty() && QDir::cleanPath(QStr(a)) == QDir::cleanPath(QStr(b));
}

} // namespace

std::string DataHomeFolderPath()
{
    return StdStr(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

std::string PrepareDefaultProject(const std::string& programProject, const std::string& userProject)
{
    if (DirectoryExists(userProject))
        return userProject;
    if (DirectoryExists(programProject))
        CopyTree(QStr(programProject), QStr(userProject));
    else
        ForceDirectories(userProject);
    return DirectoryExists(userProject) ? userProject : programProject;
}

void MoveDefaultProjectSettings(TIniFileEx& projects, TIniFileEx& settings, const std::string& programProject,
                                const std::string& userProject)
{
    if (SameFolder(programProject, userProject))
        return;
    TStringList sections;
    projects.ReadSections(sections);
    const std::string localPath(ProjectKeys::LocalPath);
    for (int i = 0; i < sections.Count(); ++i)
        if (SameFolder(projects.ReadString(sections[i], localPath, ""), programProject))
            projects.WriteString(sections[i], localPath, userProject);
    if (SameFolder(Settings::HTTPServer::DocumentPath.Read(settings, ""), programProject))
        Settings::HTTPServer::DocumentPath.Write(settings, userProject);
}

TFolderCheck SetUpFolders(const std::string& programFolder, const std::string& appDataFolder,
                          const std::string& dataHomeFolder)
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
    const std::string userProject = dataHomeFolder.empty()
        ? UserFolder + "project/"
        : IncludeTrailingPathDelimiter(dataHomeFolder) + "Zentu/project/";
    ProjectFolder = PrepareDefaultProject(ProjectFolder, userProject);
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
