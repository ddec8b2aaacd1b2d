// The main window's file commands: opening documents, the File menu's commands, recent files,
// dropped files, the reload of files changed on disk and the backup timer.

#include "app/zuMainForm.h"

#include "code/zuCodeExplorerForm.h"

#include "documents/zuCodeEditorForm.h"
#include "app/zuConstants.h"
#include "projects/zuCurrentProject.h"
#include "documents/zuEditorModule.h"
#include "app/zuFolders.h"
#include "ftp/zuFTPModule.h"
#include "app/zuScopeGuards.h"
#include "settings/zuSettings.h"
#include "documents/zuTemplateForm.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"
#include "Platform/files/SafeFileStream.h"
#include "Platform/text/TextUtils.h"
#include "utility/UclDateUtils.h"
#include "utility/UclFileUtils.h"

#include <QApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>

namespace {

// One file, however it was named: the absolute path with links resolved.
std::string FileIdentity(const std::string& path)
{
    const QString canonical = QFileInfo(QStr(path)).canonicalFilePath();
    return canonical.isEmpty() ? ExpandFileName(path) : StdStr(canonical);
}

bool IsFileNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '/' || c == ':' ||
           c == '\\' || c == '_';
}

} // namespace

std::string TMainForm::ProjectLocalPath() const
{
    // The project explorer's local folder once a project is current; the default one before.
    if (CurrentProject && CurrentProject->CurrentProject() != NullGUID)
        return IncludeTrailingPathDelimiter(CurrentProject->LocalPath());
    return ProjectFolder;
}

TCodeEditorForm* TMainForm::OpenFile(const std::string& path, bool asNew, int line)
{
    TWaitCursor wait;
    if (!FileExists(path)) {
        ShowMessageBox(Format(sDocumentNotFound, {path}), MB_OK | MB_ICONWARNING);
        return nullptr;
    }
    const std::string fullPath = ExpandFileName(path);
    if (!asNew) {
        const std::string identity = FileIdentity(fullPath);
        for (TCodeEditorForm* document : Documents()) {
            if (!document->HasFile() || FileIdentity(document->FileName()) != identity)
                continue;
            if (document->Editor()->ContentModified() &&
                ShowMessageBox(std::string(sReloadLoseChanges), MB_YESNO | MB_ICONQUESTION) == IDYES) {
                document->LoadFromFile(document->FileName());
                return document;
            }
            document->ShowLine(MakeBufferCoord(0, line));
            BringDocumentToFront(document);
            return document;
        }
    }

    TCodeEditorForm* document = CreateDocument(
        fullPath,
        [&](TCodeEditorForm& created) {
            if (asNew) {
                created.SetFileName(Format("%s%d%s", {sUntitled, Tag, ExtractFileExt(fullPath)}));
                ++Tag;
            } else {
                created.SetFileName(fullPath);
            }
        },
        [&](TCodeEditorForm& created) {
            created.LoadFromFile(fullPath);
            if (asNew) {
                created.SetFileTime(FILETIME{});
                created.AdoptLineEndingSetting();
            }
        });
    document->ShowLine(MakeBufferCoord(0, line));
    document->UpdateHighlighterPanel();
    return document;
}

TCodeEditorForm* TMainForm::CreateDocument(const std::string& textFile,
                                           const std::function<void(TCodeEditorForm& document)>& name,
                                           const std::function<void(TCodeEditorForm& document)>& load)
{
    TCodeEditorForm* document = nullptr;
    {
        TUpdatesLock updates(MDIArea);
        document = new TCodeEditorForm();
        MDIArea->addSubWindow(document);
        try {
            name(*document);
            FileTabs->AddForm(document);
            if (EditorModule) {
                EditorModule->AttachEditor(document->Editor());
                document->Editor()->SetHighlighter(EditorModule->HighlighterForExtension(ExtractFileExt(textFile)));
            }
            load(*document);
        } catch (...) {
            // why: a document whose text could not be read must not stay open: saving it would
            // replace the file with an empty text.
            FileTabs->RemoveForm(document);
            PreviousDocumentCount = DocumentCount;
            --DocumentCount;
            UpdateDocumentActions(false);
            delete document;
            throw;
        }
        document->Editor()->SetWordWrap(acWordWrap->Checked());
        document->showMaximized();
    }
    BringDocumentToFront(document);
    if (TCodeExplorerForm* explorer = CodeExplorerForm())
        explorer->RequestParse(document, TCodeExplorerForm::prkParse);
    if (document->LooksBinary())
        ShowMessageBox(Format(sBinaryFile, {document->IsRemote() ? document->RemotePath() : textFile}),
                       MB_OK | MB_ICONWARNING);
    return document;
}

void TMainForm::AddRecentFile(const std::string& path)
{
    for (int i = RecentFileList.Count() - 1; i >= 0; --i)
        if (RecentFileList[i] == path)
            RecentFileList.Delete(i);
    RecentFileList.Insert(0, path);
}

void TMainForm::BuildRecentMenu(QMenu& menu)
{
    menu.clear();
    const int maxCount = SettingsFile ? Settings::General::MaxMRU.Read(*SettingsFile) : 16;
    while (RecentFileList.Count() > std::max(maxCount, 0))
        RecentFileList.Delete(RecentFileList.Count() - 1);
    for (int i = 0; i < RecentFileList.Count(); ++i) {
        const std::string path = RecentFileList[i];
        const std::string shown = StringReplace(path, "&", "&&", TReplaceFlags{rfReplaceAll});
        QAction* entry = menu.addAction(QStr(Format("&%x %s", {i, shown})));
        connect(entry, &QAction::triggered, this, [this, path] {
            for (int j = RecentFileList.Count() - 1; j >= 0; --j)
                if (RecentFileList[j] == path)
                    RecentFileList.Delete(j);
            OpenFile(path, false, 0);
        });
    }
}

void TMainForm::DropFiles(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        OpenFile(path, false, 0);
}

void TMainForm::ApplicationActivate()
{
    if (!SettingsFile || FCheckingFiles)
        return;
    const int mode = Settings::General::Reload.Read(*SettingsFile);
    if (mode == 2)
        return;
    TBusyFlag busy(FCheckingFiles);
    for (TCodeEditorForm* document : Documents()) {
        FILETIME now;
        if (!document->HasFileTime() || !document->HasFile() || !ReadFileTime(document->FileName(), now))
            continue;
        // why: raw UTC times; local times would all differ after a daylight-saving switch.
        if (SameFileTime(now, document->FileTime()))
            continue;
        const bool reload =
            mode == 1 || (mode == 0 && ShowMessageBox(Format(sFileModifiedReload, {document->FileName()}),
                                                      MB_YESNO | MB_ICONINFORMATION) == IDYES);
        document->SetFileTime(now);
        if (!reload)
            continue;
        // A file that cannot be read is reported; the other documents are still checked.
        try {
            document->LoadFromFile(document->FileName());
        } catch (const std::exception& e) {
            if (TApplication* app = Application())
                app->ShowException(e);
        }
    }
    if (TCodeEditorForm* active = ActiveEditorForm())
        active->EditorChange();
}

void TMainForm::BackupTimerTimer()
{
    if (!SettingsFile || FBackupRunning)
        return;
    TBusyFlag busy(FBackupRunning);
    const bool skipUntitled = Settings::Backup::DisableAutoSaveUntitled.Read(*SettingsFile);
    const bool skipRemote = Settings::Backup::DisableAutoSaveFTP.Read(*SettingsFile);
    for (TCodeEditorForm* document : Documents()) {
        // why: a transfer that runs already is never interrupted by a timed one.
        if (document->IsRemote() && (skipRemote || (FTPModule && FTPModule->Busy())))
            continue;
        if (!document->IsRemote() && skipUntitled && !document->HasFile())
            continue;
        try {
            if (document->IsRemote())
                document->UploadDocument();
            else
                document->SaveDocument(true);
        } catch (const std::exception& e) {
            if (TApplication* app = Application())
                app->ShowException(e);
        }
    }
}

// ---- commands

void TMainForm::NewFileExecute()
{
    TTemplateForm form(this);
    ShowModal(form);
}

void TMainForm::OpenFileExecute()
{
    OpenDialog.MultiSelect = true;
    if (!DirectoryExists(OpenDialog.InitialDir))
        OpenDialog.InitialDir = ProjectLocalPath();
    if (!OpenDialog.Execute(this))
        return;
    OpenDialog.InitialDir = ExtractFilePath(OpenDialog.FileName);
    for (const std::string& file : std::vector<std::string>(OpenDialog.Files))
        OpenFile(file, false, 0);
}

void TMainForm::ReloadExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document || (!document->IsRemote() && !document->HasFile()))
        return;
    if (ShowMessageBox(std::string(sReloadLoseChanges), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (document->IsRemote())
        document->DownloadDocument();
    else
        document->LoadFromFile(document->FileName());
}

void TMainForm::SaveExecute()
{
    if (TCodeEditorForm* document = ActiveEditorForm())
        document->SaveDocument(false);
}

void TMainForm::SaveAsExecute()
{
    if (TCodeEditorForm* document = ActiveEditorForm())
        document->SaveDocumentAs();
}

void TMainForm::SaveCopyExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document)
        return;
    const std::string name = ExtractFileName(document->FileName());
    const size_t dot = name.rfind('.');
    const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    SaveDialog.FileName = Format("%s-%s%s", {base, FormatDateTimeIso8601("yyyymmdd-nnss", Now()), extension});
    SaveDialog.InitialDir = document->HasFile() ? ExtractFilePath(document->FileName()) : ProjectLocalPath();
    if (!SaveDialog.Execute(this))
        return;
    // A copy holds the bytes a save would write, line breaks included; the document stays as
    // it is.
    SaveFileAtomically(ExpandFileName(SaveDialog.FileName), document->FileText());
}

void TMainForm::SaveAsTemplateExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document)
        return;
    InputBox.Caption = acSaveAsTemplate->Caption();
    InputBox.Prompt = std::string(sEnterTemplateName);
    InputBox.Value.clear();
    do {
        if (!InputBox.Execute(this))
            return;
    } while (InputBox.Value.empty());
    const std::string name = InputBox.Value;
    if (name.find_first_of("\\/:*?\"<>|") != std::string::npos) {
        ShowMessageBox(Format(sInvalidFileName, {name}), MB_OK | MB_ICONERROR);
        return;
    }
    std::string path = TemplateFolder + name;
    if (ExtractFileExt(name).empty())
        path += ".php";
    if (FileExists(path) && Application()->MessageBox(std::string(sTemplateExistsOverwrite), acSaveAsTemplate->Caption(),
                                                      MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    SaveFileAtomically(path, document->Editor()->GetAllText());
}

void TMainForm::SaveAllExecute()
{
    for (TCodeEditorForm* document : Documents())
        if (document->Editor()->ContentModified())
            document->SaveDocument(false);
}

void TMainForm::CloseExecute()
{
    if (TCodeEditorForm* document = ActiveEditorForm())
        document->close();
}

void TMainForm::CloseOtherExecute()
{
    TCodeEditorForm* active = ActiveEditorForm();
    std::vector<TCodeEditorForm*> documents = Documents();
    for (auto it = documents.rbegin(); it != documents.rend(); ++it)
        if (*it != active && !(*it)->close())
            return;
}

void TMainForm::CloseAllExecute()
{
    Tag = 0;
    TCodeExplorerForm* explorer = CodeExplorerForm();
    // why: each closing document would activate the next one and have it scanned for nothing.
    if (explorer)
        explorer->SetEnabled(false);
    std::vector<TCodeEditorForm*> documents = Documents();
    bool closed = true;
    for (auto it = documents.rbegin(); closed && it != documents.rend(); ++it)
        closed = (*it)->close();
    if (explorer) {
        explorer->SetEnabled(true);
        explorer->ClearTree();
    }
}

void TMainForm::OpenFileAtCursorExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document)
        return;
    TSrcEdit& editor = *document->Editor();
    std::string name = editor.GetSelectedText();
    if (name.empty()) {
        const std::string line = editor.GetCaretLineText();
        const int caret = editor.CaretChar();
        if (caret < 1 || caret > static_cast<int>(line.size()) + 1)
            return;
        size_t start = static_cast<size_t>(caret) - 1;
        size_t end = start;
        while (start > 0 && IsFileNameChar(line[start - 1]))
            --start;
        while (end < line.size() && IsFileNameChar(line[end]))
            ++end;
        name = line.substr(start, end - start);
    }
    if (name.empty())
        return;
    const std::string path = ExpandFileName(ExtractFilePath(document->FileName()) + name);
    if (FileExists(path))
        OpenFile(path, false, 0);
}
