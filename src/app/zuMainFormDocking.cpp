// The main window's docking: the docking area around the client area, the tool windows made at
// start, the dock layout loaded at start and saved at exit, the view commands that show the tool
// windows, and the syntax check, whose messages fill the output window.

#include "app/zuMainForm.h"

#include "app/zuConstants.h"
#include "app/zuFolders.h"
#include "app/zuMainDockArea.h"
#include "app/zuScopeGuards.h"
#include "app/zuToolWindows.h"
#include "app/zuTypes.h"
#include "code/zuCodeExplorerForm.h"
#include "documents/zuCodeEditorForm.h"
#include "explorers/zuFileExplorerForm.h"
#include "explorers/zuProjectExplorerForm.h"
#include "ftp/explorer/zuFTPExplorerToolForm.h"
#include "projects/zuCurrentProject.h"
#include "run/zuConsoleCommand.h"
#include "run/zuRunCommands.h"
#include "settings/zuSettings.h"
#include "windows/zuLogForm.h"
#include "windows/zuOutputForm.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/layout/ExDockLayout.h"
#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"
#include "ExLib/run/lists/ExTextListBox.h"

#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"

#include <QMenu>

namespace {

template <class T>
T* FindToolWindow(const std::vector<std::unique_ptr<TToolWindowForm>>& windows)
{
    for (const auto& window : windows)
        if (auto* found = dynamic_cast<T*>(window.get()))
            return found;
    return nullptr;
}

} // namespace

void TMainForm::CreateDockArea(QWidget* client)
{
    DockArea = new TMainDockArea(this); // owned by the window as its central widget
    DockArea->SetClient(client);
    setCentralWidget(DockArea);
}

void TMainForm::CreateDockingActions()
{
    for (const TToolWindowKind& kind : ToolWindowKinds()) {
        const std::size_t index = ToolWindowActions.size();
        TAction* action = AddAction(kind.ActionName, kind.Caption, kind.ShortCut, nullptr);
        // With docking off there are no tool windows to show.
        action->OnExecute = [this, index](TObject*) {
            if (index < ToolWindows.size())
                ShowDockableForm(ToolWindows[index].get());
        };
        ToolWindowActions.push_back(action);
    }
    BindFTPExplorerAction();
    acSyntaxCheck = AddAction("acSyntaxCheck", "&Syntax Check", scNone, &TMainForm::SyntaxCheckExecute);
    ProcessWrapper = std::make_unique<TDosCommand>(nullptr);
}

void TMainForm::AddToolWindowMenuEntries(QMenu& view)
{
    const std::span<const TToolWindowKind> kinds = ToolWindowKinds();
    for (std::size_t i = 0; i < kinds.size() && i < ToolWindowActions.size(); ++i) {
        if (i > 0 && kinds[i].Group != kinds[i - 1].Group)
            view.addSeparator();
        if (kinds[i].MenuShortCut != scNone) {
            QAction* entry = AddOwnKeyEntry(view, ToolWindowActions[i], kinds[i].Caption,
                                            ShortCutToKeySequence(kinds[i].MenuShortCut));
            entry->setObjectName(QString::fromLatin1(kinds[i].ActionName).mid(2) + QStringLiteral("MenuEntry"));
        } else
            view.addAction(ToolWindowActions[i]);
    }
}

void TMainForm::CreateDockedToolWindows()
{
    if (!DockingEnabled)
        return;
    DockArea->CreateDocking();
    TProjectExplorerServices projects;
    projects.Project = CurrentProject.get();
    projects.Projects = ProjectsFile;
    projects.FTPAccounts = FTPAccountsFile;
    projects.Settings = SettingsFile;
    projects.OpenFile = [this](const std::string& path) { OpenFile(path, false, 0); };
    projects.OpenRemoteFile = [this](const std::string& localCopy, const std::string& remotePath, const TGUID& account) {
        OpenRemoteFile(localCopy, remotePath, account);
    };
    projects.ProjectOptions = [this] { ProjectOptionsExecute(); };
    projects.ProjectManager = [this] { OpenProjectExecute(); };
    projects.ExecuteDialog = [this](QDialog& dialog) { return ShowModal(dialog); };
    TToolWindowServices services;
    services.Style = DockArea->DockStyleNET;
    services.Settings = SettingsFile;
    services.OpenFile = projects.OpenFile;
    services.Projects = &projects;
    ToolWindows = MakeToolWindows(services);
    // Made now, so that a layout that shows the FTP explorer's window shows it filled.
    FTPExplorer();
    LoadDockLayout();
}

TProjectExplorerForm* TMainForm::ProjectExplorerForm() const
{
    return FindToolWindow<TProjectExplorerForm>(ToolWindows);
}

TFTPExplorerToolForm* TMainForm::FTPExplorerWindow() const
{
    return FindToolWindow<TFTPExplorerToolForm>(ToolWindows);
}

void TMainForm::SetExplorerFileFilter(const std::string& filter)
{
    if (TFileExplorerForm* files = FindToolWindow<TFileExplorerForm>(ToolWindows))
        files->SetFileFilter(filter);
    if (TProjectExplorerForm* project = ProjectExplorerForm())
        project->SetFileFilter(filter);
}

void TMainForm::DestroyDockedToolWindows()
{
    // A syntax check still running ends before the window that shows its lines.
    if (ProcessWrapper)
        ProcessWrapper->AssignLineList(nullptr);
    while (!ToolWindows.empty())
        ToolWindows.pop_back();
    FreeEmptyHostForms();
}

TOutputForm* TMainForm::OutputForm() const
{
    return FindToolWindow<TOutputForm>(ToolWindows);
}

TLogForm* TMainForm::LogForm() const
{
    return FindToolWindow<TLogForm>(ToolWindows);
}

TCodeExplorerForm* TMainForm::CodeExplorerForm() const
{
    return FindToolWindow<TCodeExplorerForm>(ToolWindows);
}

void TMainForm::LoadDockLayout()
{
    const std::string own = UserFolder + "docking.dat";
    const std::string file = FileExists(own) ? own : DataFolder + "docking.dat";
    // why: a layout that cannot be read leaves the tool windows floating; the program starts.
    try {
        LoadDockLayoutFromIniFile(file);
    } catch (const std::exception& e) {
        if (TApplication* app = Application())
            app->ShowException(e);
    }
}

void TMainForm::SaveDockLayout()
{
    if (!DockingEnabled || ToolWindows.empty() || UserFolder.empty())
        return;
    SaveDockLayoutToIniFile(UserFolder + "docking.dat");
}

void TMainForm::SyntaxCheckExecute()
{
    if (!ActiveEditorForm())
        return;
    TOutputForm* output = OutputForm();
    // The environment options will be offered here; until then the message names what is missing.
    const std::string interpreter = ConsoleInterpreterFor(PHPEnvironment.PHPExecutable);
    if (interpreter.empty() || !FileExists(interpreter)) {
        ShowMessageBox(Format(sUnableToFind, {interpreter.empty() ? std::string("php") : interpreter}),
                       MB_OK | MB_ICONERROR);
        return;
    }
    const TWaitCursor hourglass;
    if (output)
        output->OutputEdit->Items().Clear();
    const std::string runFile = ScriptFileForRun();
    ProcessWrapper->Arguments = {interpreter, "-l", runFile};
    ProcessWrapper->AssignLineList(output ? &output->OutputEdit->Items() : nullptr);
    if (output)
        ShowDockableForm(output);
    ProcessWrapper->StartCommand();
}

void TMainForm::ShowOutputLine(const std::string& fileName, int line)
{
    TCodeEditorForm* target = nullptr;
    if (!fileName.empty()) {
        const std::string root =
            IncludeTrailingPathDelimiter(CurrentProject ? CurrentProject->DocumentRoot() : ProjectFolder);
        for (TCodeEditorForm* document : Documents()) {
            const std::string& own = document->FileName();
            const std::string copy = document->HasFile() ? RunCopyFileName(own)
                                                         : RunCopyFileName(ExpandFileName(root + ExtractFileName(own)));
            if (own == fileName || copy == fileName) {
                target = document;
                break;
            }
        }
        // A file the message names that is open nowhere opens, unless it is a run copy.
        if (!target && FileExists(fileName) && RunCopyList.IndexOf(fileName) < 0) {
            OpenFile(fileName, false, line);
            return;
        }
    }
    if (!target)
        target = ActiveEditorForm();
    if (!target)
        return;
    target->ShowLine(MakeBufferCoord(0, line));
    BringDocumentToFront(target);
    target->Editor()->setFocus();
}
