#pragma once
// The program's folders: "data/" and "template/" beside the executable, the per-user settings
// folder "Zentu Systems/Zentu/" in the user's configuration folder, and the default project
// "Zentu/project/" in the user's data folder, first copied from the "project/" beside the
// executable. The user's own files never live beside the executable, where a rebuild would
// delete them. Every folder text ends with "/".

#include "Platform/files/FileNames.h" // ProgramFolder

#include <string>

class TIniFileEx;

extern std::string DataFolder;
extern std::string ProjectFolder;
extern std::string TemplateFolder;
extern std::string UserFolder;

enum class TFolderCheck {
    fcOk,
    fcUserFolderNotMade,      // "Unable to Continue! \r\n Error Code: %d" with 99
    fcInstallationCorrupted,  // data or template folder missing
};

// The user's data folder ($XDG_DATA_HOME, else ~/.local/share); "" when there is none.
std::string DataHomeFolderPath();

// Sets the four folders from the program folder, the user's configuration folder ("" when the
// system has none: the data folder then serves as the per-user folder) and the user's data
// folder ("": the per-user folder holds the default project). Creates the per-user folder and
// the default project.
TFolderCheck SetUpFolders(const std::string& programFolder, const std::string& appDataFolder,
                          const std::string& dataHomeFolder);

// The message that ends the program for a failed check ("" for fcOk).
std::string FolderCheckMessage(TFolderCheck check);

// The default project in the user's data folder: made once as a copy of the program's
// "project/" (empty without one); the user's changes are kept at later starts. Falls back to
// the program's own folder when the copy cannot be made.
std::string PrepareDefaultProject(const std::string& programProject, const std::string& userProject);

// Projects and the other web server's document root that still name the program's own
// project folder (the default of earlier versions) are pointed at the user's default project.
void MoveDefaultProjectSettings(TIniFileEx& projects, TIniFileEx& settings, const std::string& programProject,
                                const std::string& userProject);
