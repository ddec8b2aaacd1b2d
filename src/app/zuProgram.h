#pragma once
// The program as a whole: the main window, the HTTP server module and the editor module made,
// used and freed in the order the program needs, around the program entry of zuMain.

#include "app/zuMain.h"

#include <functional>
#include <string>
#include <vector>

class TApplication;

struct TZentuOptions {
    // "" for the folder of the running program.
    std::string ProgramFolder;
    // "" for the user's configuration folder ($XDG_CONFIG_HOME or ~/.config).
    std::string AppDataFolder;
    // "" for the user's data folder ($XDG_DATA_HOME or ~/.local/share), home of the default
    // project.
    std::string DataHomeFolder;
    TProgramOptions Entry;
    // Off: the main window has no dock server and no tool windows.
    bool Docking = true;
    // Runs once the start-up files are open, just before the message loop.
    std::function<void()> OnStarted;
};

// Runs Zentu and returns its exit code.
int RunZentu(TApplication& app, const std::vector<std::string>& arguments, const TZentuOptions& options = {});
