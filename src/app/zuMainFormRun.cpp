// The main window's run commands: the file that runs and its URL, the internal browser panel,
// the user's browser, the console run and the script parameters dialog.

#include "app/zuMainForm.h"

#include "run/zuBrowserFrame.h"
#include "documents/zuCodeEditorForm.h"
#include "run/zuProgramLauncher.h"
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

#include "ExLib/run/process/ExProcessRunner.h"

#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"
#include "Platform/files/SafeFileStream.h"

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
    // why: the copy's name is predictable; whatever is found there is replaced, never written
    // through. It holds the bytes a save would write, so the script runs as it will saved.
    SaveOwnFile(copy, document->FileText(), document->HasFile() ? FilePermissions(fileName) : std::nullopt);
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
    return ScriptURLFor(ScriptFileForRun());
}

std::string TMainForm::ScriptURLFor(const std::string& runFile) const
{
    const TGUID project = CurrentProject ? CurrentProject->CurrentProject() : NullGUID;
    // A document opened over FTP runs on its remote site.
    if (const TCodeEditorForm* document = ActiveEditorForm(); document && document->IsRemote()) {
        const std::string remoteURL = ProjectsFile ? ReadProjectString(*ProjectsFile, project, ProjectKeys::RemoteURL,
                                                                       ProjectDefaults::RunRemoteURL)
                                                   : std::string(ProjectDefaults::RunRemoteURL);
        const std::string remotePath = ProjectsFile ? ReadProjectString(*ProjectsFile, project, ProjectKeys::RemotePath,
                                                                        ProjectDefaults::RemotePath)
                                                    : std::string(ProjectDefaults::RemotePath);
        return RemoteScriptURL(remoteURL, remotePath, document->RemotePath());
    }
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
    inputs.RunFile = runFile;
    return LocalScriptURL(inputs);
}

bool TMainForm::BrowserShown() const
{
    return FClientStack->currentWidget() == BrowserFrame;
}

bool TMainForm::CheckRunFileServed(const std::string& runFile)
{
    const TCodeEditorForm* document = ActiveEditorForm();
    if (document && document->IsRemote())
        return true;
    const TGUID project = CurrentProject ? CurrentProject->CurrentProject() : NullGUID;
    const int server = ProjectsFile ? ReadProjectServer(*ProjectsFile, project) : psInternal;
    if (server != psInternal && server != psThirdParty)
        return true;
    const std::string root = CurrentProject ? CurrentProject->DocumentRoot() : ProjectFolder;
    if (InsideDocumentRoot(root, runFile))
        return true;
    // why: the user knows the document, not the run copy that stands in for it.
    ShowMessageBox(Format(sOutsideDocumentRoot, {document ? document->FileName() : runFile, root}),
                   MB_OK | MB_ICONINFORMATION);
    return false;
}

void TMainForm::InternalPreviewExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document)
        return;
    // why: the run copy is written first; when that fails nothing has changed on screen.
    const std::string runFile = ScriptFileForRun();
    if (!CheckRunFileServed(runFile))
        return;
    TBrowserRequest request;
    request.URL = ScriptURLFor(runFile);
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
    const std::string runFile = ScriptFileForRun();
    if (!CheckRunFileServed(runFile))
        return;
    std::string url = ScriptURLFor(runFile);
    // POST parameters cannot travel in a URL; the page opens without them.
    if (document->RequestMethod == RequestMethodGET)
        url += document->BuildQueryString();
    if (OpenURLHook)
        OpenURLHook(url);
    else
        OpenInBrowser(url);
}

void TMainForm::OpenInBrowser(const std::string& url)
{
    const std::string opener = StdStr(QStandardPaths::findExecutable(QStr(BrowserOpenerProgram)));
    if (opener.empty()) {
        ShowMessageBox(Format(sNoWebBrowser, {url}), MB_OK | MB_ICONWARNING);
        return;
    }
    // why: the opener finds no browser only while it runs; its end says how it went.
    FBrowserURLs[BrowserLauncher->Launch({opener, url}, {})] = url;
}

void TMainForm::BrowserOpenerEnded(pid_t pid, std::uint32_t exitCode)
{
    const auto run = FBrowserURLs.find(pid);
    if (run == FBrowserURLs.end())
        return;
    const std::string url = run->second;
    FBrowserURLs.erase(run);
    if (exitCode != 0)
        ShowMessageBox(Format(sNoWebBrowser, {url}), MB_OK | MB_ICONWARNING);
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
    ProcessManager->SetCurrentDirectory(ExtractFilePath(runFile));
    ProcessManager->SetArguments(ConsoleRunArguments(terminal, interpreter, runFile));
    ProcessManager->Launch();
}

void TMainForm::ScriptParametersExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document)
        return;
    TScriptParametersForm form(document, this);
    ShowModal(form);
}
