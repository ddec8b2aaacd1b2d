// Test program: the real program entry with a private channel and a log instead of a main
// window. Usage: ide_handover_probe CHANNEL LOG PATIENCE_MS [ARGUMENTS...]
// Each hook appends a line to LOG: "ready" once the message loop runs, "open PATH", "front",
// and "message TEXT" (line breaks as "|") for a message box.
// ZENTU_PROBE_START_DELAY_MS keeps the main window's creation busy for that long.

#include "app/zuMain.h"

#include "Platform/core/Application.h"

#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const std::string logFile = argv[2];
    auto log = [&](const std::string& line) {
        if (std::FILE* f = std::fopen(logFile.c_str(), "ab")) {
            std::fputs((line + "\n").c_str(), f);
            std::fclose(f);
        }
    };

    TProgramHooks hooks;
    hooks.CreateMainWindow = [&] {
        if (const char* delay = std::getenv("ZENTU_PROBE_START_DELAY_MS"))
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(delay)));
        QTimer::singleShot(0, [&] { log("ready"); });
        return true;
    };
    hooks.OpenFile = [&](const std::string& path) { log("open " + path); };
    hooks.BringToFront = [&] { log("front"); };
    app.MessageBoxHook = [&](const TMessageBoxRequest& request) {
        std::string text = request.Text;
        std::replace(text.begin(), text.end(), '\n', '|');
        log("message " + text);
        return IDOK;
    };

    TProgramOptions options;
    options.ChannelPath = argv[1];
    options.Patience = std::chrono::milliseconds(std::atoi(argv[3]));
    std::vector<std::string> arguments = ProgramArguments(argc, argv);
    arguments.erase(arguments.begin(), arguments.begin() + 3);
    return RunProgram(app, arguments, hooks, options);
}
