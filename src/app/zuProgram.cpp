// The program: start-up, the message loop and the end, in order.

#include "app/zuProgram.h"

#include "projects/zuCurrentProject.h"
#include "documents/zuEditorModule.h"
#include "app/zuFolders.h"
#include "ftp/zuFTPModule.h"
#include "http/zuHTTPModule.h"
#include "app/zuMainForm.h"
#include "settings/zuSettings.h"
#include "app/zuTypes.h"

#include "Platform/core/Application.h"
#include "utility/UclFileUtils.h"

#include "imageformats/common/FileFormatList.h"

#include <QScreen>
#include <QTimer>

#include <memory>

int RunZentu(TApplication& app, const std::vector<std::string>& arguments, const TZentuOptions& options)
{
    // why: each connection of the built-in server holds a descriptor, and its connection cap
    // follows the soft limit, which is often far below what the system allows.
    RaiseOpenFileLimit();
    // The picture formats are known before any window exists and until the last is gone.
    TImgLibFormatsScope imageFormats;
    std::unique_ptr<TMainForm> mainForm;
    std::unique_ptr<THTTPModule> httpModule;
    std::unique_ptr<TFTPModule> ftpModule;
    std::unique_ptr<TEditorModule> editorModule;

    TProgramHooks hooks;
    hooks.CreateMainWindow = [&] {
        mainForm = std::make_unique<TMainForm>();
        mainForm->DockingEnabled = options.Docking;
        const std::string programFolder = options.ProgramFolder.empty() ? ProgramFolder() : options.ProgramFolder;
        const std::string appData = options.AppDataFolder.empty() ? AppDataFolderPath() : options.AppDataFolder;
        const std::string dataHome = options.DataHomeFolder.empty() ? DataHomeFolderPath() : options.DataHomeFolder;
        if (!mainForm->FormCreate(programFolder, appData, dataHome))
            return false;
        // why: without a window manager (a bare X server) maximising does nothing.
        if (const QScreen* screen = mainForm->screen())
            mainForm->setGeometry(screen->availableGeometry());
        mainForm->showMaximized();
        return true;
    };
    // The HTTP server module first (it opens the last project), then the FTP module, and
    // then the editor module, which hands the server its PHP file filter.
    hooks.CreateModules = [&] {
        httpModule = std::make_unique<THTTPModule>();
        HTTPModule = httpModule.get();
        TMainForm* form = mainForm.get();
        httpModule->ProjectHostSource = [form] { return form->ProjectLocalHost(); };
        httpModule->DataModuleCreate(*SettingsFile, *mainForm->CurrentProject, PHPEnvironment.PHPExecutable,
                                     DataFolder);
        ftpModule = std::make_unique<TFTPModule>(*FTPAccountsFile, *SettingsFile);
        FTPModule = ftpModule.get();
        ftpModule->ProgressOwner = mainForm.get();
        editorModule = std::make_unique<TEditorModule>();
        if (options.OnStarted)
            QTimer::singleShot(0, [&] { options.OnStarted(); });
    };
    hooks.OpenFile = [&](const std::string& path) {
        // why: an unreadable file named on the command line must not end the program.
        try {
            mainForm->OpenFile(path, false, 0);
        } catch (...) {
            HandleCurrentException();
        }
    };
    hooks.BringToFront = [&] { mainForm->BringToFront(); };

    const int exitCode = RunProgram(app, arguments, hooks, options.Entry);
    // After the loop: the server stops first, before anything its connection threads read
    // goes; then the documents, the editor module, the FTP module, the tool windows (the
    // current project is recorded) and the main window, which frees the settings files last.
    httpModule.reset();
    HTTPModule = nullptr;
    if (mainForm)
        mainForm->DestroyDocuments();
    editorModule.reset();
    FTPModule = nullptr;
    ftpModule.reset();
    if (mainForm)
        mainForm->DestroyToolWindows();
    mainForm.reset();
    return exitCode;
}
