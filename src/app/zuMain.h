#pragma once
// The program entry: the single-instance check first; a second start hands its arguments to
// the running instance and ends; the first start creates the main window and the modules,
// opens the files named on its command line and runs the message loop.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class TApplication;

// What the entry needs of the main window and the modules.
struct TProgramHooks {
    // Creates the main window; false when a start-up check failed and the program must end.
    std::function<bool()> CreateMainWindow;
    // Creates the server, FTP and editor modules, in this order.
    std::function<void()> CreateModules;
    // Opens an existing local file as a document (or activates the one that shows it).
    std::function<void(const std::string& path)> OpenFile;
    // Restores the main window when minimised and brings it to the front.
    std::function<void()> BringToFront;
};

struct TProgramOptions {
    std::string ChannelPath; // "" for InstanceChannelPath()
    // How long a second start keeps trying to hand its arguments to the running instance
    // before it says so and ends. Long: a busy instance (a long search, a slow disk) still gets
    // them, and the second start never runs beside it over the same settings files.
    std::chrono::milliseconds Patience{60000};
};

// The command-line arguments after the program name, as bytes.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Runs the program and returns its exit code. When another instance holds the instance lock but
// does not take the arguments in time, this start tells the user (a message box) and ends with
// exit code 1; a start whose predecessor ended, however it ended, becomes the first instance.
int RunProgram(TApplication& app, const std::vector<std::string>& arguments, const TProgramHooks& hooks,
               const TProgramOptions& options = {});

// The first instance's side of a hand-over: opens each line that names an existing file, in
// order, skipping the others; then brings the main window to the front (also for no lines).
void ReceiveHandOverText(const std::string& text, const TProgramHooks& hooks);
