// The whole Zentu program on a fresh profile, for the start-up benchmark.
// Usage: zentu_startup_probe PROGRAM_FOLDER docked|plain
// Prints "painted" on standard output once the main window has finished its first paint (all of
// its children, the docked tool windows among them), then closes the window as a user would.
// "plain" starts the main window without a dock server or tool windows.

#include "app/zuMainForm.h"
#include "app/zuProgram.h"

#include "Platform/core/Application.h"

#include <QEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>

namespace {

// Reports the end of the main window's first paint: the zero timer runs once the paint cycle
// that the first paint event belongs to has finished.
class TFirstPaintWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!FSeen && event->type() == QEvent::Paint && MainForm) {
            const auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window() == MainForm) {
                FSeen = true;
                QTimer::singleShot(0, [] {
                    std::puts("painted");
                    std::fflush(stdout);
                    if (MainForm)
                        MainForm->close();
                });
            }
        }
        return false;
    }

private:
    bool FSeen = false;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QTemporaryDir profile;
    if (!profile.isValid())
        return 2;
    const std::string home = profile.path().toStdString() + "/";
    app.MessageBoxHook = [](const TMessageBoxRequest& request) {
        std::fprintf(stderr, "message box: %s\n", request.Text.c_str());
        return int(IDCANCEL);
    };
    TFirstPaintWatch watch;
    app.installEventFilter(&watch);

    TZentuOptions options;
    options.ProgramFolder = argv[1];
    options.AppDataFolder = home + "config/";
    options.DataHomeFolder = home + "data/";
    options.Entry.ChannelPath = home + "channel";
    options.Docking = std::strcmp(argv[2], "docked") == 0;
    return RunZentu(app, {}, options);
}
