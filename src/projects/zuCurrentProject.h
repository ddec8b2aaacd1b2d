#pragma once
// TCurrentProject: which project is current, the local folder text from which the document
// root is taken, and opening a project, which decides whether the internal HTTP server runs.
// The project explorer holds one and shows its local folder text; the server and the run
// commands ask it for the document root.
//
// Everything runs on the GUI thread except DocumentRoot, which the server's connection
// threads call for every request.

#include "common/zuGuid.h"

#include <functional>
#include <mutex>
#include <string>

class TIniFileEx;

class TCurrentProject {
public:
    // `projects` is "projects.dat", `settings` the main settings file; `projectFolder` (with
    // its "/") is the program's default document root. The local folder text starts as the
    // user's home folder.
    TCurrentProject(TIniFileEx& projects, TIniFileEx& settings, std::string projectFolder);

    // The all-zero GUID until a project is opened or the first folder text creates one.
    TGUID CurrentProject() const { return FCurrentProject; }

    // Makes `project` current and, by its server choice, sets the local folder text and
    // starts (choice 0) or stops (1, 2) the internal server through OnRestartServer.
    void OpenProject(const TGUID& project);

    // The local folder text, as the project explorer's folder box shows it.
    std::string LocalPath() const;
    // Changes the text (the user typed or browsed a folder, or OpenProject set it). A new
    // text runs LocalPathChange: OnLocalPathChange, then the project record is updated.
    void SetLocalPath(const std::string& text);

    // The local folder text when it names an existing folder, else the program's project
    // folder; always with a trailing "/". Safe from any thread.
    std::string DocumentRoot() const;

    // The current project's FTPAccount, read anew at every call.
    TGUID ProjectAccountID() const;

    // Writes [Application] Project (at exit).
    void SaveCurrentProject();

    // The folder text changed: the project explorer's box and view follow it.
    std::function<void(const std::string& text)> OnLocalPathChange;
    // Start or stop the internal server (THTTPModule::RestartServer).
    std::function<void(bool start)> OnRestartServer;

private:
    void LocalPathChange(const std::string& text);

    TIniFileEx& FProjects;
    TIniFileEx& FSettings;
    const std::string FProjectFolder;
    TGUID FCurrentProject;
    mutable std::mutex FLock;
    std::string FLocalPath; // guarded by FLock
};
