#pragma once
// TMainForm: the IDE's MDI frame window. It owns the commands (the action list), the menus, the
// tool bar, the document tab strip, the status bar and the Open and Save dialogs; sets up the
// folders and settings files at start and writes its settings at exit; answers the two queries
// through which everything else reaches the active document; switches the document-bound
// commands by the number of open documents; and opens, saves, reopens, reloads and closes
// documents (zuMainFormFiles.cpp); runs the active document in the internal browser panel,
// the user's browser or a console window (zuMainFormRun.cpp); makes, opens and edits
// projects through the project dialogs (zuMainFormProjects.cpp); prints, previews and
// exports the active document (zuMainFormPrint.cpp); opens and saves documents on FTP
// accounts and edits the accounts (zuMainFormFtp.cpp); and finds and replaces in the active
// document and finds in files (zuMainFormSearch.cpp).
//
// The tool windows are docked in the docking area around the client area and checks the
// active document's syntax (zuMainFormDocking.cpp); of the project explorer only the current
// project exists yet.

#include "app/zuDialogs.h"
#include "projects/zuProjectOptionsDialog.h"
#include "documents/zentuMDITabControl.h"

#include "SrcEdit/Source/search/SrcEditSearchCustom.h"

#include "Platform/controls/ActnList.h"
#include "Platform/core/DateTime.h"
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
class TFTPExplorerForm;
class TFTPExplorerToolForm;
class TProjectExplorerForm;
class TCodeExplorerForm;
class TDosCommand;
class TLogForm;
class TMainDockArea;
class TOutputForm;
class TColorDialog;
class THelpRouter;
class TPrintPreviewForm;
class TSearchForm;
class TSearchResultForm;
class TSearchResultHost;
class TToolWindowForm;
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
    // The tool windows: the current project, on "projects.dat", and the docked tool windows.
    void CreateToolWindows();
    // At program end, after the server module: records the current project and frees them.
    void DestroyToolWindows();
    // [Print] into the print component.
    void LoadPrintSettings();

    // ---- docking and the tool windows (zuMainFormDocking.cpp)
    // The form around the client area that holds the dock server and its panels.
    TMainDockArea* DockArea = nullptr;
    // Off: no dock server and no tool windows (a start measured without them).
    bool DockingEnabled = true;
    // The docked tool windows, in the order of their creation.
    std::vector<std::unique_ptr<TToolWindowForm>> ToolWindows;
    TOutputForm* OutputForm() const;
    TLogForm* LogForm() const;
    TCodeExplorerForm* CodeExplorerForm() const;
    TProjectExplorerForm* ProjectExplorerForm() const;
    // The file filters of the file and project explorers' filter boxes.
    void SetExplorerFileFilter(const std::string& filter);
    // The per-user "docking.dat", or the data folder's when the user has none.
    void LoadDockLayout();
    void SaveDockLayout();
    // The view commands of the tool windows, one per entry of ToolWindowKinds(), at the same index.
    std::vector<TAction*> ToolWindowActions;
    TAction* acSyntaxCheck = nullptr;
    // Runs the syntax check; its lines go to the output window.
    std::unique_ptr<TDosCommand> ProcessWrapper;
    void SyntaxCheckExecute();
    // A double-clicked output message's line: shown in the document the message names (its
    // own file or its run copy), else in that file opened, else in the active document.
    void ShowOutputLine(const std::string& fileName, int line);

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
    // The flags of the last Find or Replace.
    TSrcEditSearchFlags SearchFlags;
    // The Find in Files results, one of the docked tool windows (null with docking off).
    TSearchResultForm* SearchResultForm() const;

    void FindExecute();
    void FindNextExecute();
    void FindPreviousExecute();
    void ReplaceExecute();
    void ExFindExecute();
    // Finds or replaces LastSearchText in the active document with SearchFlags, asking before
    // each replacement when they say so; says when nothing was found.
    void SearchAgain();

    // ---- FTP commands (zuMainFormFtp.cpp)
    TAction* acOpenRemote = nullptr;
    TAction* acSaveAsRemote = nullptr;
    TAction* acFTPAccounts = nullptr;
    TAction* acFTPExplorer = nullptr;

    // Opens a downloaded local copy as the document of an account's remote file, or shows the
    // document that has it (asking before a modified one is reloaded). Null when there is none
    // to show.
    TCodeEditorForm* OpenRemoteFile(const std::string& localCopy, const std::string& remotePath,
                                    const TGUID& account);
    // The FTP explorer, made at its first use; null before the settings files exist.
    TFTPExplorerForm* FTPExplorer();
    // The FTP explorer as a tool window.
    void FTPExplorerExecute();
    // Open From FTP: the FTP explorer as a modal dialog that opens remote files.
    void OpenRemoteExecute();
    // Save As To FTP: the FTP explorer as a modal dialog that uploads the active document.
    void SaveAsRemoteExecute();
    // False when the explorer cannot be shown as a dialog now (it is one already, or busy).
    bool PrepareModalExplorer(TFTPExplorerForm* explorer);
    // The dialog is over: the explorer goes back into its tool window.
    void EndModalExplorer(TFTPExplorerForm* explorer);
    // The View menu's FTP Explorer entry, last of the explorers, with its own key Ctrl+Alt+F.
    // The FTP explorer and the project explorer's remote view, each with a connection of its own.
    std::vector<TFTPExplorerForm*> FTPExplorers() const;
    // The FTP explorer's view command puts it into its tool-window mode.
    void BindFTPExplorerAction();
    // The docked window that holds the FTP explorer (null with docking off).
    TFTPExplorerToolForm* FTPExplorerWindow() const;
    // Cancels the transfers of the FTP module and the FTP explorer; true when one ran.
    bool CancelFTPTransfers();
    // The FTP account manager.
    void FTPAccountsExecute();
    // The account dialog for one account; true when it ended with OK.
    bool EditFTPAccount(const TGUID& account, QWidget* parent);

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

    // ---- options dialogs (zuMainFormOptions.cpp), modal and made for one use
    TAction* acEnvironmentOptions = nullptr;
    TAction* acApplicationOptions = nullptr;
    void EnvironmentOptionsExecute();
    void ApplicationOptionsExecute();

    // ---- insert commands (zuMainFormImage.cpp)
    TAction* acInsertGraphics = nullptr;
    // The image insert dialog for the active document, modal.
    void InsertGraphicsExecute();

    // ---- edit, bookmark, view, insert, window and help commands (zuMainFormEdit.cpp,
    // zuMainFormView.cpp, zuMainFormInsert.cpp, zuMainFormHelp.cpp)
    TAction* acCutAppend = nullptr;
    TAction* acCopyAppend = nullptr;
    TAction* acConvertTagCase = nullptr;
    TAction* acGoto = nullptr;
    TAction* acToggleBookmark = nullptr;
    TAction* acNextBookmark = nullptr;
    TAction* acPreviousBookmark = nullptr;
    TAction* acRemoveBookmarks = nullptr;
    TAction* acChangeSyntax = nullptr;
    TAction* acFullScreen = nullptr;
    TAction* acTransferLog = nullptr;
    TAction* acInsertColor = nullptr;
    TAction* acInsertDate = nullptr;
    TAction* acInsertEntity = nullptr;
    TAction* acInsertTable = nullptr;
    TAction* acWndCascade = nullptr;
    TAction* acWndTileHorz = nullptr;
    TAction* acWndTileVert = nullptr;
    TAction* acWndMinimizeAll = nullptr;
    TAction* acWndArrange = nullptr;
    TAction* acHelpTopics = nullptr;
    TAction* acPHPHelp = nullptr;
    TAction* acHomePage = nullptr;
    TAction* acCustomerSupport = nullptr;

    // The clipboard's text followed by the selection; a plain copy or cut when the clipboard
    // holds no text.
    void CopyAppendExecute();
    void CutAppendExecute();
    void ConvertTagCaseExecute();
    void GotoExecute();
    // A mark at the caret, or none when the caret line has one.
    void ToggleBookmarkExecute();
    // The nearest mark after (before) the caret line, wrapping around the document.
    void NextBookmarkExecute();
    void PreviousBookmarkExecute();
    void RemoveBookmarksExecute();
    void ChangeSyntaxExecute();
    // Toggles full screen: the menu bar and the client area fill the screen.
    void FullScreenExecute();
    // The colour dialog; the chosen colour goes in as "#RRGGBB".
    void InsertColorExecute();
    // The date and time in the [General] DateTimeFormat.
    void InsertDateExecute();
    // A new entity window, shown without blocking; null when its list cannot be read.
    void InsertEntityExecute();
    void InsertTableExecute();
    void WndTileHorzExecute();
    void WndTileVertExecute();
    void WndMinimizeAllExecute();
    void WndArrangeExecute();
    // The program's help contents.
    void HelpTopicsExecute();
    // The PHP manual at the word at the caret; the environment options when it is not set.
    void PHPHelpExecute();
    void HomePageExecute();
    void CustomerSupportExecute();

    // The colour dialog of Insert > Color; tests answer through ColorDialogHook.
    std::unique_ptr<TColorDialog> ColorDialog;
    std::function<bool(TColorDialog& dialog)> ColorDialogHook;
    // The help router of the main window.
    std::unique_ptr<THelpRouter> HelpRouter;
    // The time that Insert > Date/Time writes; tests fix it.
    std::function<TDateTime()> Clock;
    // Status bar clicks in main-window client coordinates: 0..75 Go To, 225..375 the syntax.
    void StatusBarClick(int x);

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
    void CreateFtpActions();
    // A new maximised document in front: `name` names it, then its tab, completion and the
    // highlighter for `textFile`'s extension are set up and `load` fills it. When `name` or
    // `load` raises, the document is gone again.
    TCodeEditorForm* CreateDocument(const std::string& textFile,
                                    const std::function<void(TCodeEditorForm& document)>& name,
                                    const std::function<void(TCodeEditorForm& document)>& load);
    // Closes the window once the running FTP transfer has ended and its message is answered.
    void CloseAfterTransfer();
    void CloseWhenTransferEnded();
    void CreateDockArea(QWidget* client);
    void CreateDockingActions();
    void CreateDockedToolWindows();
    void DestroyDockedToolWindows();
    // The view commands of the tool windows, a separator between their groups.
    void AddToolWindowMenuEntries(QMenu& view);
    void CreateEditCommands();
    void CreateEditMenuEntries();
    void StartHelpRouter();
    void StartStatusBarWatcher();
    // Menu entries whose own shortcut takes a key that an action carries: the entry wins.
    void AddEntryShortCut(QAction* entry, const QKeySequence& key);
    void UpdateEntryKeys();
    // A menu entry with a shortcut of its own, which runs the action.
    QAction* AddOwnKeyEntry(QMenu& menu, TAction* action, const char* caption, const QKeySequence& key);
    void AppendSelectionToClipboard(bool cut);
    // OpenURLHook, else the user's browser.
    void OpenURL(const std::string& url);
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
    QRect FBoundsBeforeFullScreen;
    bool FMaximizedBeforeFullScreen = false;
    // The "project/" beside the program, the default project of earlier versions.
    std::string FProgramProjectFolder;
    // The URL each running browser opener was given.
    std::map<pid_t, std::string> FBrowserURLs;
    std::unique_ptr<TSearchResultHost> FSearchHost;
    QLabel* FStatusPanels[5] = {};
    std::string FStatusTexts[5];
    QLabel* FStatusSimpleLabel = nullptr;
    bool FStatusSimple = false;
    bool FPreviewMode = false;
    bool FShown = false;
    bool FCheckingFiles = false;
    bool FBackupRunning = false;
    bool FSettingsOpen = false;
    bool FCloseAfterTransfer = false;
    std::unique_ptr<TFTPExplorerForm> FTPExplorerForm;
};

// The main window, from the start of its construction to its destruction.
extern TMainForm* MainForm;
