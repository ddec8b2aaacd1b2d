// The main window's run commands: the file that runs and its URL, the internal browser panel,
// the user's browser, the console run and the script parameters dialog.

#include "app/zuMainForm.h"

#include "run/zuBrowserFrame.h"
#include "documents/zuCodeEditorForm.h"
#include "run/zuConsoleRunner.h"
#include "app/zuConstants.h"
#include "projects/zuCurrentProject.h"
#include "app/zuFolders.h"
#include "http/zuHTTPModule.h"
#include "projects/zuProjects.h"
#include "run/zuRunCommands.h"
#include "run/zuScriptParameters.h"
#include "run/zuScriptParametersForm.h"
#include "settings/zuSettings.h"
#include "app/zuTypes.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"
#include "Platform/files/SafeFileStream.h"

#include <QDesktopServices>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QUrl>

namespace {

constexpr std::string_view FormContentType = "application/x-www-form-urlencoded";

} // namespace

std::string TMainForm::ScriptFileForRun()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document)
        return {};
    const std::string& fileName = document->FileName();
    std::string copy;
    if (document->HasFile()) {
        if (!document->Editor()->ContentModified())
            return fileName;
        copy = RunCopyFileName(fileName);
    } else {
        const std::string root = CurrentProject ? CurrentProject->DocumentRoot() : ProjectFolder;
        copy = RunCopyFileName(ExpandFileName(IncludeTrailingPathDelimiter(root) + ExtractFileName(fileName)));
    }
    // why: the copy's name is predictable; whatever is found there is replaced, never written through.
    SaveOwnFile(copy, document->Editor()->GetAllText(), document->HasFile() ? FilePermissions(fileName) : std::nullopt);
    // why: exact comparison; two copies whose names differ only in letter case are two files.
    for (int i = 0; i < RunCopyList.Count(); ++i)
        if (RunCopyList[i] == copy)
            return copy;
    RunCopyList.Add(copy);
    return copy;
}

std::string TMainForm::ProjectLocalHost() const
{
    if (!CurrentProject || !ProjectsFile)
        return {};
    const std::string localURL = ReadProjectString(*ProjectsFile, CurrentProject->CurrentProject(),
                                                   ProjectKeys::LocalURL, ProjectDefaults::RunLocalURL);
    return URLHost(localURL);
}

std::string TMainForm::ScriptURL()
{
    if (!ActiveEditorForm())
        return {};
    const TGUID project = CurrentProject ? CurrentProject->CurrentProject() : NullGUID;
    TScriptURLInputs inputs;
    inputs.ServerChoice = ProjectsFile ? ReadProjectServer(*ProjectsFile, project) : psInternal;
    inputs.LocalURL = ProjectsFile ? ReadProjectString(*ProjectsFile, project, ProjectKeys::LocalURL,
                                                       ProjectDefaults::RunLocalURL)
                                   : std::string(ProjectDefaults::RunLocalURL);
    inputs.ServerURL = SettingsFile ? Settings::HTTPServer::ServerURL.Read(*SettingsFile)
                                    : std::string(Settings::HTTPServer::ServerURL.Default);
    inputs.BoundPort = HTTPModule ? HTTPModule->BoundPort()
                                  : SettingsFile ? Settings::HTTPServer::Port.Read(*SettingsFile)
                                                 : Settings::HTTPServer::Port.Default;
    inputs.DocumentRoot = CurrentProject ? CurrentProject->DocumentRoot() : ProjectFolder;
    inputs.RunFile = ScriptFileForRun();
    return LocalScriptURL(inputs);
}

bool TMainForm::BrowserShown() const
{
    return FClientStack->currentWidget() == BrowserFrame;
}

void TMainForm::InternalPreviewExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document)
        return;
    // why: the run copy is written first; when that fails nothing has changed on screen.
    TBrowserRequest request;
    request.URL = ScriptURL();
    const std::string query = document->BuildQueryString();
    if (document->RequestMethod == RequestMethodPOST) {
        request.Post = true;
        request.Body = query;
        request.Headers = {{"Content-Type", std::string(FormContentType)}};
    } else {
        request.URL += query;
    }
    SetPreviewMode(true);
    BrowserFrame->setEnabled(true);
    FClientStack->setCurrentWidget(BrowserFrame);
    BrowserFrame->Navigate(request);
    BrowserFrame->Browser().Widget()->setFocus();
}

void TMainForm::BrowserCloseButtonClick()
{
    BrowserFrame->CloseButtonClick();
    FClientStack->setCurrentWidget(FClientPage);
    BrowserFrame->setEnabled(false);
    SetPreviewMode(false);
    if (TSrcEdit* editor = ActiveEditor())
        editor->setFocus();
}

void TMainForm::ExternalPreviewExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document)
        return;
    std::string url = ScriptURL();
    // POST parameters cannot travel in a URL; the page opens without them.
    if (document->RequestMethod == RequestMethodGET)
        url += document->BuildQueryString();
    if (OpenURLHook)
        OpenURLHook(url);
    else
        QDesktopServices::openUrl(QUrl(QStr(url), QUrl::TolerantMode));
}

void TMainForm::RunConsoleExecute()
{
    if (!ActiveEditorForm())
        return;
    // The environment options will be offered here; until then the message names what is missing.
    const std::string interpreter = ConsoleInterpreterFor(PHPEnvironment.PHPExecutable);
    if (interpreter.empty() || !FileExists(interpreter)) {
        ShowMessageBox(Format(sUnableToFind, {interpreter.empty() ? std::string("php") : interpreter}),
                       MB_OK | MB_ICONERROR);
        return;
    }
    const std::string terminal = StdStr(QStandardPaths::findExecutable(QStr(ConsoleTerminalProgram)));
    if (terminal.empty()) {
        ShowMessageBox(Format(sUnableToFind, {ConsoleTerminalProgram}), MB_OK | MB_ICONERROR);
        return;
    }
    const std::string runFile = ScriptFileForRun();
    ProcessManager->Launch(ConsoleRunArguments(terminal, interpreter, runFile), ExtractFileDir(runFile));
}

void TMainForm::ScriptParametersExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document)
        return;
    TScriptParametersForm form(document, this);
    ShowModal(form);
}
