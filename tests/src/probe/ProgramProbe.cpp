// Test program: the whole Zentu program (main window, editor module, documents) with a private
// hand-over channel and program folder, logging what a user would see of its tab strip.
// Usage: ide_program_probe CHANNEL LOG PROGRAM_FOLDER [ARGUMENTS...]
// LOG receives "ready" once the message loop runs, then "tabs A|B|..." whenever the tab texts
// change, and "box TEXT" for every message box (answered with Cancel). Creating the file
// LOG.quit closes the main window as the user would.

#include "app/zuMainForm.h"
#include "app/zuProgram.h"

#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"

#include <QTimer>

#include <cstdio>
#include <string>

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
    app.MessageBoxHook = [&](const TMessageBoxRequest& request) {
        log("box " + request.Text);
        return int(IDCANCEL);
    };

    QTimer watch;
    std::string lastTabs;
    TZentuOptions options;
    options.Entry.ChannelPath = argv[1];
    options.ProgramFolder = argv[3];
    options.OnStarted = [&] {
        log("ready");
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!MainForm)
                return;
            if (FileExists(logFile + ".quit") && MainForm->isVisible()) {
                MainForm->close();
                return;
            }
            std::string tabs;
            for (int i = 0; i < MainForm->FileTabs->TabCount(); ++i)
                tabs += (i > 0 ? "|" : "") + MainForm->FileTabs->TabText(i);
            if (tabs != lastTabs) {
                lastTabs = tabs;
                log("tabs " + tabs);
            }
        });
        watch.start(20);
    };
    std::vector<std::string> arguments = ProgramArguments(argc, argv);
    arguments.erase(arguments.begin(), arguments.begin() + 3);
    return RunZentu(app, arguments, options);
}
