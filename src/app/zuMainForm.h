#pragma once
// TMainForm: the IDE's MDI frame window. It owns the commands (the action list), the menus, the
// tool bar, the document tab strip, the status bar and the Open and Save dialogs; sets up the
// folders and settings files at start and writes its settings at exit; answers the two queries
// through which everything else reaches the active document; switches the document-bound
// commands by the number of open documents; and opens, saves, reopens, reloads and closes
// documents (zuMainFormFiles.cpp); runs the active document in the internal browser panel,
// the user's browser or a console window (zuMainFormRun.cpp); makes, opens and edits
// projects through the project dialogs (zuMainFormProjects.cpp); prints, previews and
// exports the active document (zuMainFormPrint.cpp); and finds and replaces in the active
// document and finds in files (zuMainFormSearch.cpp).
//
// Of the tool windows only the current project (the project explorer will hold it) and the
// search results exist yet; the dock layout is not built yet; its step is named and empty.

#include "app/zuDialogs.h"
#include "projects/zuProjectOptionsDialog.h"
#include "documents/zentuMDITabControl.h"

#include "SrcEdit/Source/search/SrcEditSearchCustom.h"

#include "Platform/controls/ActnList.h"
#include "Platform/text/Strings.h"

#include <QMainWindow>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

class QDialog;
class QStackedWidget;
class TBrowserFrame;
class TExCreateProcess;
class TProgramLauncher;
class TCurrentProject;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class TCodeEditorForm;
class TPrintPreviewForm;
class TSearchForm;
class TSearchResultForm;
class TSearchResultHost;
class TSrcEdit;
class TSrcEditPrint;

class TMainForm : public QMainWindow {
public:
    // Builds the window with its commands and controls and makes it the global MainForm.
    TMainForm();
    // Frees the settings files last.
    ~TMainForm() override;

    // The creation handler: folders (the program's, the user's configuration folder and the
    // user's data folder, which holds the default project), settings files, key map. False,
    // after the message, when the per-user folder cannot be made or the installation is
    // incomplete; the program then ends without opening documents or writing settings.
    bool FormCreate(const std::string& programFolder, const std::string& appDataFolder,
                    const std::string& dataHomeFolder);
    // The show handler (the first time the window is shown): the Open dialog's first name, the
    // recent files and the backup timer.
    void FormShow();

    // The active MDI child when it is a document, else null; and its editor.
    TCodeEditorForm* ActiveEditorForm() const;
    TSrcEdit* ActiveEditor() const;
    // The open documents in opening order (windows that are closing are left out).
    std::vector<TCodeEditorForm*> Documents() const;

    // Maintained by the document windows.
    int DocumentCount = 0;
    int PreviousDocumentCount = 0;
    // Enables the document-bound commands while documents are open and puts the status bar
    // into one panel while none is; unless forced, only when that state changed.
    void UpdateDocumentActions(bool force);

    // Tool bars, tab strip, status bar and menu hidden while a preview fills the window. The
    // commands' shortcuts sleep meanwhile: they belong to the hidden client area, so keys reach
    // the browser panel.
    bool PreviewMode() const { return FPreviewMode; }
    void SetPreviewMode(bool on);

    // Full paths, most recent first.
    TStringList RecentFileList;
    // Run copies made since start, deleted at exit.
    TStringList RunCopyList;
    // The number of the next untitled document.
    int Tag = 0;

    void LoadSettings();
    void SaveSettings();
    void LoadKeymap();
    // The document windows' own close key Ctrl+F4, unless a command carries it.
    void UpdateWindowKeys();
    // The tool windows: for now the current project, on "projects.dat".
    void CreateToolWindows();
    // At program end, after the server module: records the current project and frees them.
    void DestroyToolWindows();
    // [Print] into the print component.
    void LoadPrintSettings();
    // A step of a feature that is not built yet.
    void SaveDockLayout() {}

    // Which project is current and its document root (the project explorer's state).
    std::unique_ptr<TCurrentProject> CurrentProject;
    // What the project dialogs work with; filled with the current project, empty without it.
    TProjectServices ProjectServices;

    // ---- file commands (zuMainFormFiles.cpp)
    // Opens a local file as a document, or shows the document that has it; `asNew` loads a
    // template into a new untitled document; `line` is shown and marked (0: the start).
    // Returns the document, or null when there is none to show.
    TCodeEditorForm* OpenFile(const std::string& path, bool asNew, int line);
    // Fills a menu with the recent files, first trimming the list to [General] MaxMRU.
    void BuildRecentMenu(QMenu& menu);
    // Opens dropped files in drop order.
    void DropFiles(const std::vector<std::string>& paths);
    // Files changed by another program, checked when the application becomes active.
    void ApplicationActivate();
    void BackupTimerTimer();
    // Puts a path at the front of the recent files.
    void AddRecentFile(const std::string& path);
    // Where new files are saved and opened by default.
    std::string ProjectLocalPath() const;

    // ---- commands
    TActionList ActionList;
    TAction* acNewFile = nullptr;
    TAction* acOpenFile = nullptr;
    TAction* acReload = nullptr;
    TAction* acSave = nullptr;
    TAction* acSaveAs = nullptr;
    TAction* acSaveCopy = nullptr;
    TAction* acSaveAsTemplate = nullptr;
    TAction* acSaveAll = nullptr;
    TAction* acClose = nullptr;
    TAction* acCloseOther = nullptr;
    TAction* acCloseAll = nullptr;
    TAction* acOpenFileAtCursor = nullptr;
    TAction* acExit = nullptr;
    TAction* acUndo = nullptr;
    TAction* acRedo = nullptr;
    TAction* acCut = nullptr;
    TAction* acCopy = nullptr;
    TAction* acPaste = nullptr;
    TAction* acSelectAll = nullptr;
    TAction* acIndent = nullptr;
    TAction* acOutdent = nullptr;
    TAction* acWordWrap = nullptr;
    TAction* acWndNext = nullptr;
    TAction* acWndPrevious = nullptr;

    void NewFileExecute();
    void OpenFileExecute();
    void ReloadExecute();
    void SaveExecute();
    void SaveAsExecute();
    void SaveCopyExecute();
    void SaveAsTemplateExecute();
    void SaveAllExecute();
    void CloseExecute();
    void CloseOtherExecute();
    void CloseAllExecute();
    void OpenFileAtCursorExecute();

    // ---- run commands (zuMainFormRun.cpp)
    TAction* acInternalPreview = nullptr;
    TAction* acExternalPreview = nullptr;
    TAction* acRunConsole = nullptr;
    TAction* acScriptParameters = nullptr;

    // The file that runs for the active document: its own file when saved and unmodified,
    // else a "~znt~" run copy of the editor's text, beside the file or, for a new document, in
    // the document root. Each copy is listed once in RunCopyList. "" without a document.
    std::string ScriptFileForRun();
    // The URL at which a browser reaches the active document.
    std::string ScriptURL();
    // The URL at which a browser reaches `runFile`, the active document's run file.
    std::string ScriptURLFor(const std::string& runFile) const;
    // The host of the current project's local URL.
    std::string ProjectLocalHost() const;

    // False, after telling the user how to make a project for it, when the run file lies
    // outside the document root of a project whose pages a web server serves.
    bool CheckRunFileServed(const std::string& runFile);
    // Opens the URL with BrowserOpenerProgram; a missing opener or a failed run is reported.
    void OpenInBrowser(const std::string& url);

    void InternalPreviewExecute();
    void ExternalPreviewExecute();
    void RunConsoleExecute();
    void ScriptParametersExecute();

    // ---- project commands (zuMainFormProjects.cpp); each dialog is modal and made for one use
    TAction* acNewProject = nullptr;
    TAction* acOpenProject = nullptr;
    TAction* acProjectOptions = nullptr;

    // The options dialog for a new project; Apply makes it current.
    void NewProjectExecute();
    // The project manager.
    void OpenProjectExecute();
    // The options dialog for the current project.
    void ProjectOptionsExecute();

    // ---- print and export commands (zuMainFormPrint.cpp)
    TAction* acPrint = nullptr;
    TAction* acPrintPreview = nullptr;
    TAction* acPageSetup = nullptr;
    TAction* acExport = nullptr;
    // The print engine with the settings of [Print].
    std::unique_ptr<TSrcEditPrint> CodePrint;
    // The print preview while it is shown, else null.
    TPrintPreviewForm* PrintPreviewForm = nullptr;

    // The print dialog, then the chosen pages on the chosen printer.
    void PrintExecute();
    void PrintPreviewExecute();
    void PageSetupExecute();
    void ExportExecute();
    // Closes the print preview and leaves preview mode.
    void ClosePrintPreview();

    // ---- search commands (zuMainFormSearch.cpp)
    TAction* acFind = nullptr;
    TAction* acFindNext = nullptr;
    TAction* acFindPrevious = nullptr;
    TAction* acReplace = nullptr;
    TAction* acExFind = nullptr;
    TAction* acSearchResults = nullptr;
    // The flags of the last Find or Replace.
    TSrcEditSearchFlags SearchFlags;
    // The Find in Files results; a tool window of this window until the main window docks.
    std::unique_ptr<TSearchResultForm> SearchResultForm;

    void FindExecute();
    void FindNextExecute();
    void FindPreviousExecute();
    void ReplaceExecute();
    void ExFindExecute();
    // Shows the results window (where the tool windows go).
    void ShowSearchResults();
    // Finds or replaces LastSearchText in the active document with SearchFlags, asking before
    // each replacement when they say so; says when nothing was found.
    void SearchAgain();

    // ---- tools (zuMainFormCompare.cpp)
    TAction* acCompareFile = nullptr;
    // A new compare window, shown without blocking.
    void CompareFileExecute();

    // The browser panel's Close: stops the browser, hides the panel, leaves preview mode.
    void BrowserCloseButtonClick();
    bool BrowserShown() const;

    // Opens a URL in the user's browser; tests put their own here.
    std::function<void(const std::string& url)> OpenURLHook;
    // The program that opens a URL in the user's web browser ("xdg-open" on PATH); it ends
    // with a non-zero code when there is no browser.
    std::string BrowserOpenerProgram;
    // Runs of the browser opener; a failed one says so in a message box.
    std::unique_ptr<TProgramLauncher> BrowserLauncher;
    // The terminal program of console runs.
    std::string ConsoleTerminalProgram;
    // Console runs: one at a time, watched until the console window closes.
    std::unique_ptr<TExCreateProcess> ProcessManager;

    // ---- insert commands (zuMainFormImage.cpp)
    TAction* acInsertGraphics = nullptr;
    // The image insert dialog for the active document, modal.
    void InsertGraphicsExecute();

    // ---- controls
    TMDITabControl* FileTabs = nullptr;
    QMdiArea* MDIArea = nullptr;
    QTimer BackupTimer;
    TFileDialog OpenDialog{TFileDialog::TKind::dkOpen};
    TFileDialog SaveDialog{TFileDialog::TKind::dkSave};
    // The internal browser panel; hidden until a document runs in it.
    TBrowserFrame* BrowserFrame = nullptr;
    TInputQuery InputBox;
    QMenu* ReopenPopup = nullptr;
    QMenu* TextEditorPopup = nullptr;

    // Shows a dialog modally; tests answer through ModalHook.
    int ShowModal(QDialog& dialog);
    std::function<int(QDialog& dialog)> ModalHook;

    // Status panels 0..4 (caret, insert mode, modified, highlighter, hints).
    void SetStatusPanel(int index, const std::string& text);
    std::string StatusPanel(int index) const;
    bool StatusBarSimple() const { return FStatusSimple; }

    // Gives a document editor the editor context menu.
    void AttachEditorPopup(TSrcEdit& editor);
    void BringDocumentToFront(TCodeEditorForm* document);
    // Restores the window when minimised and raises it.
    void BringToFront();
    // At program end: frees the documents without their close handlers.
    void DestroyDocuments();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreatePrintActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateSearchCommands();
    void CreateSearchWindow();
    void DestroySearchWindow();
    void RunSearchDialog(TSearchForm& dialog, TSrcEditSearchFlags startFlags);
    void CreateControls();
    void SetStatusBarSimple(bool simple);
    void BrowserOpenerEnded(pid_t pid, std::uint32_t exitCode);
    void SubWindowActivated(QMdiSubWindow* window);
    void BuildWindowMenu(QMenu& menu);
    TAction* AddAction(const char* name, const char* caption, TShortCut shortCut, void (TMainForm::*handler)());
    // A menu entry that shows the action under its own caption.
    void AddMenuEntry(QMenu& menu, TAction* action, const char* caption);

    QStackedWidget* FClientStack = nullptr;
    // The normal client area: tab strip and documents. The commands' shortcuts live here.
    QWidget* FClientPage = nullptr;
    QWidget* FTopPanel = nullptr;
    QToolBar* FToolBar = nullptr;
    QAction* FWindowCloseKey = nullptr;
    // The "project/" beside the program, the default project of earlier versions.
    std::string FProgramProjectFolder;
    // The URL each running browser opener was given.
    std::map<pid_t, std::string> FBrowserURLs;
    std::unique_ptr<TSearchResultHost> FSearchHost;
    bool FSearchResultsPlaced = false;
    QLabel* FStatusPanels[5] = {};
    std::string FStatusTexts[5];
    QLabel* FStatusSimpleLabel = nullptr;
    bool FStatusSimple = false;
    bool FPreviewMode = false;
    bool FShown = false;
    bool FCheckingFiles = false;
    bool FBackupRunning = false;
    bool FSettingsOpen = false;
};

// The main window, from the start of its construction to its destruction.
extern TMainForm* MainForm;
