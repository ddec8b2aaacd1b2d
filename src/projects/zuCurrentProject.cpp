// The current project.

#include "projects/zuCurrentProject.h"

#include "settings/zentuIniFiles.h"
#include "projects/zuProjects.h"
#include "settings/zuSettings.h"

#include "Platform/files/FileNames.h"
#include "Platform/core/QtBridge.h"

#include <QDir>

TCurrentProject::TCurrentProject(TIniFileEx& projects, TIniFileEx& settings, std::string projectFolder)
    : FProjects(projects), FSettings(settings), FProjectFolder(IncludeTrailingPathDelimiter(projectFolder)),
      FLocalPath(StdStr(QDir::homePath()))
{
}

void TCurrentProject::OpenProject(const TGUID& project)
{
    FCurrentProject = project;
    switch (ReadProjectServer(FProjects, project)) {
    case psInternal:
        SetLocalPath(ReadProjectString(FProjects, project, ProjectKeys::LocalPath, FProjectFolder));
        if (OnRestartServer)
            OnRestartServer(true);
        break;
    case psThirdParty:
        SetLocalPath(Settings::HTTPServer::DocumentPath.Read(FSettings, FProjectFolder));
        if (OnRestartServer)
            OnRestartServer(false);
        break;
    default:
        if (OnRestartServer)
            OnRestartServer(false);
        break;
    }
}

std::string TCurrentProject::LocalPath() const
{
    const std::lock_guard lock(FLock);
    return FLocalPath;
}

void TCurrentProject::SetLocalPath(const std::string& text)
{
    {
        const std::lock_guard lock(FLock);
        // why: like an edit box, setting the text it already shows changes nothing.
        if (text == FLocalPath)
            return;
        FLocalPath = text;
    }
    LocalPathChange(text);
}

void TCurrentProject::LocalPathChange(const std::string& text)
{
    if (OnLocalPathChange)
        OnLocalPathChange(text);
    if (FCurrentProject == NullGUID) {
        FCurrentProject = CreateGUID();
        WriteProjectString(FProjects, FCurrentProject, ProjectKeys::LocalPath, text);
        FProjects.WriteInteger(ProjectSection(FCurrentProject), std::string(ProjectKeys::HTTPServer), psInternal);
        return;
    }
    switch (ReadProjectServer(FProjects, FCurrentProject)) {
    case psInternal:
        WriteProjectString(FProjects, FCurrentProject, ProjectKeys::LocalPath, text);
        break;
    case psThirdParty:
        Settings::HTTPServer::DocumentPath.Write(FSettings, text);
        break;
    default:
        break;
    }
}

std::string TCurrentProject::DocumentRoot() const
{
    const std::string text = LocalPath();
    return !text.empty() && DirectoryExists(text) ? IncludeTrailingPathDelimiter(text) : FProjectFolder;
}

TGUID TCurrentProject::ProjectAccountID() const
{
    return ReadProjectAccount(FProjects, FCurrentProject);
}

void TCurrentProject::SaveCurrentProject()
{
    Settings::Application::Project.Write(FSettings, GUIDToString(FCurrentProject));
}
