#pragma once
// The program's folders: "data/", "template/" and "project/" beside the executable, and the
// per-user settings folder "Zentu Systems/Zentu/" in the user's configuration folder. Every
// folder text ends with "/".

#include "Platform/files/FileNames.h" // ProgramFolder

#include <string>

extern std::string DataFolder;
extern std::string ProjectFolder;
extern std::string TemplateFolder;
extern std::string UserFolder;

enum class TFolderCheck {
    fcOk,
    fcUserFolderNotMade,      // "Unable to Continue! \r\n Error Code: %d" with 99
    fcInstallationCorrupted,  // data or template folder missing
};


// Sets the four folders from the program folder and the user's configuration folder ("" when
// the system has none: the data folder then serves as the per-user folder). Creates the
// per-user folder; when the program's "project/" cannot be written (run copies go there), a
// per-user copy "project/" is made in the per-user folder once and used instead.
TFolderCheck SetUpFolders(const std::string& programFolder, const std::string& appDataFolder);

// The message that ends the program for a failed check ("" for fcOk).
std::string FolderCheckMessage(TFolderCheck check);

// The project folder to use: `programProject` when writable, else `userFolder` + "project/",
// created and filled with a copy of `programProject` when it does not exist yet.
std::string ChooseProjectFolder(const std::string& programProject, const std::string& userFolder,
                                bool programProjectWritable);
