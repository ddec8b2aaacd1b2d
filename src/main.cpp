// Zentu: the program entry. Until the main window lands, a plain window stands in for it.

#include "zuFolders.h"
#include "zuMain.h"

#include "Platform/Application.h"
#include "Platform/QtBridge.h"
#include "utility/UclFileUtils.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    QLabel* label = nullptr;

    TProgramHooks hooks;
    hooks.CreateMainWindow = [&] {
        const TFolderCheck check = SetUpFolders(ProgramFolder(), AppDataFolderPath());
        if (check != TFolderCheck::fcOk) {
            ShowMessageBox(FolderCheckMessage(check), MB_OK | MB_ICONERROR);
            return false;
        }
        window = std::make_unique<QWidget>();
        window->setWindowTitle(QStringLiteral("Zentu"));
        auto* layout = new QVBoxLayout(window.get());
        label = new QLabel(QStringLiteral("Zentu is not built yet: the main window comes with a later step."),
                           window.get());
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
        window->resize(640, 400);
        window->show();
        return true;
    };
    // Documents come with the main window; until then the window names the last file it was given.
    hooks.OpenFile = [&](const std::string& path) {
        label->setText(QStringLiteral("Zentu is not built yet. Last file given: ") + QStr(path));
    };
    hooks.BringToFront = [&] {
        if (window->isMinimized())
            window->showNormal();
        window->raise();
        window->activateWindow();
    };

    try {
        return RunProgram(app, ProgramArguments(argc, argv), hooks);
    } catch (const std::exception& e) {
        app.ShowException(e);
        return 1;
    }
}
