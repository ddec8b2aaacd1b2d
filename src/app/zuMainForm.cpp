// The main window's life cycle: construction of its commands and controls, start-up and
// settings, the tool windows, the document queries, the switching of document-bound commands,
// preview mode and closing.

#include "app/zuMainForm.h"

#include "app/zuActionImages.h"
#include "app/zuMainDockArea.h"
#include "run/zuConsoleCommand.h"
#include "windows/zuOutputForm.h"
#include "windows/zuToolWindowForm.h"
#include "help/zuHelpRouter.h"
#include "run/zuBrowserFrame.h"
#include "documents/zuCodeEditorForm.h"
#include "run/zuProgramLauncher.h"
#include "projects/zuCurrentProject.h"
#include "app/zuFolders.h"
#include "ftp/explorer/zuFTPExplorerForm.h"
#include "ftp/zuFTPModule.h"
#include "run/zuRunCommands.h"
#include "app/zuScopeGuards.h"
#include "search/zuSearchResultForm.h"
#include "settings/zuSettings.h"
#include "app/zuTypes.h"

#include "SrcEdit/Source/print/SrcEditPrint.h"
#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/controls/ColorDialog.h"

#include "ExLib/run/process/ExProcessRunner.h"

#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"
#include "Platform/core/QtBridge.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <climits>

TMainForm* MainForm = nullptr;

namespace {

constexpr int StatusPanelWidths[5] = {75, 75, 75, 150, 400};

// The actions that need an open document; commands that are not built yet have no action.
constexpr const char* DocumentActionNames[] = {
    "acChangeSyntax", "acClose", "acCloseAll", "acConvertTagCase", "acExport", "acExternalPreview", "acFind",
    "acFindNext", "acFindPrevious", "acGoto", "acInsertColor", "acInsertDate", "acInsertEntity",
    "acInsertGraphics", "acInsertTable", "acInternalPreview", "acNextBookmark", "acPaste", "acPreviousBookmark",
    "acPrint", "acPrintPreview", "acReload", "acRemoveBookmarks", "acReplace", "acRunConsole", "acSaveAll",
    "acSaveAs", "acSaveAsRemote", "acSaveAsTemplate", "acSaveCopy", "acScriptParameters", "acSelectAll",
    "acSyntaxCheck", "acToggleBookmark", "acWndNext", "acWndPrevious", "acWordWrap",
};
// The actions that the active document keeps up to date while documents are open.
constexpr const char* EditingActionNames[] = {
    "acCopy", "acCopyAppend", "acCut", "acCutAppend", "acIndent", "acOutdent", "acRedo", "acSave", "acUndo",
};

} // namespace

TMainForm::TMainForm()
{
    MainForm = this;
    setWindowTitle(QStringLiteral("Zentu"));
    setObjectName(QStringLiteral("MainForm"));
    UseIconThemeOfDesktopOrFallback();
    ProcessManager = std::make_unique<TExCreateProcess>(nullptr);
    ProcessManager->SetCreationFlags({cfUnicode});
    // why: whatever a script in the console window starts ends with the window or the program.
    ProcessManager->SetContainProcessTree(true);
    ConsoleTerminalProgram = std::string(ConsoleTerminal);
    BrowserLauncher = std::make_unique<TProgramLauncher>();
    BrowserOpenerProgram = std::string(BrowserOpener);
    BrowserLauncher->OnTerminate = [this](pid_t pid, std::uint32_t exitCode) { BrowserOpenerEnded(pid, exitCode); };
    CreateControls();
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateSearchCommands();
    CreateEditCommands();
    connect(&BackupTimer, &QTimer::timeout, this, [this] { BackupTimerTimer(); });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            return;
        // why: Qt emits this signal outside event delivery, where no exception boundary stands;
        // a reload that fails there would otherwise end the program.
        try {
            ApplicationActivate();
        } catch (...) {
            HandleCurrentException();
        }
    });
}

TMainForm::~TMainForm()
{
    BackupTimer.stop();
    DestroyDocuments();
    DestroyToolWindows();
    RecentFileList.Clear();
    RunCopyList.Clear();
    if (FSettingsOpen)
        CloseSettingsFiles();
    if (MainForm == this)
        MainForm = nullptr;
}

// ---- construction

TAction* TMainForm::AddAction(const char* name, const char* caption, TShortCut shortCut,
                              void (TMainForm::*handler)())
{
    auto* action = new TAction(name, caption, shortCut, this);
    if (handler)
        action->OnExecute = [this, handler](TObject*) { (this->*handler)(); };
    // why: a shortcut lives while one of its action's widgets is visible; the client page is
    // hidden while a preview fills the window, so the keys then reach the preview.
    FClientPage->addAction(action);
    ActionList.Add(action);
    return action;
}

void TMainForm::CreateActions()
{
    const TShiftState ctrl{ssCtrl};
    const TShiftState shift{ssShift};
    const TShiftState ctrlShift{ssCtrl, ssShift};
    acNewFile = AddAction("acNewFile", "&New", ShortCut('N', ctrl), &TMainForm::NewFileExecute);
    acOpenFile = AddAction("acOpenFile", "&Open", ShortCut('O', ctrl), &TMainForm::OpenFileExecute);
    acReload = AddAction("acReload", "Reload", scNone, &TMainForm::ReloadExecute);
    acSave = AddAction("acSave", "&Save", ShortCut('S', ctrl), &TMainForm::SaveExecute);
    acSaveAs = AddAction("acSaveAs", "Save &As", scNone, &TMainForm::SaveAsExecute);
    acSaveCopy = AddAction("acSaveCopy", "Save A Copy / Backup", scNone, &TMainForm::SaveCopyExecute);
    acSaveAsTemplate = AddAction("acSaveAsTemplate", "Save As Template", scNone, &TMainForm::SaveAsTemplateExecute);
    acSaveAll = AddAction("acSaveAll", "Save All", ShortCut('S', ctrlShift), &TMainForm::SaveAllExecute);
    acClose = AddAction("acClose", "&Close", ShortCut('W', ctrl), &TMainForm::CloseExecute);
    acCloseOther = AddAction("acCloseOther", "Close &Other Files", scNone, &TMainForm::CloseOtherExecute);
    acCloseAll = AddAction("acCloseAll", "Close All", ShortCut('W', ctrlShift), &TMainForm::CloseAllExecute);
    acOpenFileAtCursor =
        AddAction("acOpenFileAtCursor", "Open File At Cursor", scNone, &TMainForm::OpenFileAtCursorExecute);
    // The document windows' own close key, beside the commands and not in the key map.
    FWindowCloseKey = new QAction(this);
    FWindowCloseKey->setObjectName(QStringLiteral("WindowCloseKey"));
    connect(FWindowCloseKey, &QAction::triggered, this, [this] {
        try {
            CloseExecute();
        } catch (...) {
            HandleCurrentException();
        }
    });
    FClientPage->addAction(FWindowCloseKey);
    acExit = AddAction("acExit", "&Exit", scNone, nullptr);
    acExit->OnExecute = [this](TObject*) { close(); };

    // The editing commands are one call each into the active editor.
    const auto onEditor = [this](TAction* action, void (TCustomSrcEdit::*call)()) {
        action->OnExecute = [this, call](TObject*) {
            if (TSrcEdit* editor = ActiveEditor())
                (editor->*call)();
        };
    };
    acUndo = AddAction("acUndo", "&Undo", ShortCut('Z', ctrl), nullptr);
    onEditor(acUndo, &TCustomSrcEdit::UndoLastChange);
    acRedo = AddAction("acRedo", "&Redo", ShortCut('Z', ctrlShift), nullptr);
    onEditor(acRedo, &TCustomSrcEdit::RedoLastChange);
    acCut = AddAction("acCut", "&Cut", ShortCut(VK_DELETE, shift), nullptr);
    onEditor(acCut, &TCustomSrcEdit::CutSelectionToClipboard);
    acCopy = AddAction("acCopy", "C&opy", ShortCut(VK_INSERT, ctrl), nullptr);
    onEditor(acCopy, &TCustomSrcEdit::CopySelectionToClipboard);
    acPaste = AddAction("acPaste", "&Paste", ShortCut(VK_INSERT, shift), nullptr);
    onEditor(acPaste, &TCustomSrcEdit::PasteClipboard);
    acSelectAll = AddAction("acSelectAll", "&Select All", ShortCut('A', ctrl), nullptr);
    onEditor(acSelectAll, &TCustomSrcEdit::SelectAllText);
    const auto onCommand = [this](TAction* action, TSrcEditorCommand command) {
        action->OnExecute = [this, command](TObject*) {
            if (TSrcEdit* editor = ActiveEditor())
                editor->DispatchCommand(command, 0, nullptr);
        };
    };
    acIndent = AddAction("acIndent", "&Indent", ShortCut('I', ctrlShift), nullptr);
    onCommand(acIndent, ecBlockIndent);
    acOutdent = AddAction("acOutdent", "U&nindent", ShortCut('U', ctrlShift), nullptr);
    onCommand(acOutdent, ecBlockUnindent);
    acWordWrap = AddAction("acWordWrap", "Word Wrap", scNone, nullptr);
    acWordWrap->SetChecked(false);
    acWordWrap->OnExecute = [this](TObject*) {
        for (TCodeEditorForm* document : Documents())
            document->Editor()->SetWordWrap(acWordWrap->Checked());
    };
    acWndNext = AddAction("acWndNext", "&Next Window", scNone, nullptr);
    acWndNext->OnExecute = [this](TObject*) { MDIArea->activateNextSubWindow(); };
    acWndPrevious = AddAction("acWndPrevious", "&Previous Window", scNone, nullptr);
    acWndPrevious->OnExecute = [this](TObject*) { MDIArea->activatePreviousSubWindow(); };

    acInternalPreview = AddAction("acInternalPreview", "Run in &Internal Browser", ShortCut(VK_F9, {}),
                                  &TMainForm::InternalPreviewExecute);
    acExternalPreview = AddAction("acExternalPreview", "Run in &External Browser", ShortCut(VK_F9, shift),
                                  &TMainForm::ExternalPreviewExecute);
    acRunConsole = AddAction("acRunConsole", "Run in &Console", ShortCut(VK_F8, {}), &TMainForm::RunConsoleExecute);
    acScriptParameters =
        AddAction("acScriptParameters", "Script Parameters...", scNone, &TMainForm::ScriptParametersExecute);

    acProjectOptions = AddAction("acProjectOptions", "Project Options...", ShortCut(VK_F11, ctrlShift),
                                 &TMainForm::ProjectOptionsExecute);
    acNewProject = AddAction("acNewProject", "New Project...", scNone, &TMainForm::NewProjectExecute);
    acOpenProject = AddAction("acOpenProject", "Open Project", scNone, &TMainForm::OpenProjectExecute);

    CreatePrintActions();
    CreateFtpActions();
    acCompareFile = AddAction("acCompareFile", "Compare Files...", scNone, &TMainForm::CompareFileExecute);
    acEnvironmentOptions = AddAction("acEnvironmentOptions", "&Environment Options...", scNone,
                                     &TMainForm::EnvironmentOptionsExecute);
    acApplicationOptions = AddAction("acApplicationOptions", "&Application Options...", scNone,
                                     &TMainForm::ApplicationOptionsExecute);
    acInsertGraphics = AddAction("acInsertGraphics", "Image...", scNone, &TMainForm::InsertGraphicsExecute);
    CreateDockingActions();

    const std::pair<TAction*, const char*> images[] = {
        {acNewFile, "document-new"},
        {acOpenFile, "document-open"},
        {acSave, "document-save"},
        {acSaveAll, "document-save-all"},
        {acClose, "document-close"},
        {acUndo, "edit-undo"},
        {acRedo, "edit-redo"},
        {acCut, "edit-cut"},
        {acCopy, "edit-copy"},
        {acPaste, "edit-paste"},
        {acInternalPreview, "media-playback-start"},
        {acExternalPreview, "internet-web-browser"},
        {acRunConsole, "utilities-terminal"},
        {acProjectOptions, "document-properties"},
        {acNewProject, "folder-new"},
        {acOpenProject, "folder-open"},
    };
    for (const auto& [action, image] : images)
        action->setIcon(ActionImage(image));
    UpdateWindowKeys();
}

void TMainForm::CreateControls()
{
    FClientStack = new QStackedWidget(this);
    FClientStack->setObjectName(QStringLiteral("ClientStack"));
    auto* client = new QWidget(FClientStack);
    client->setObjectName(QStringLiteral("ClientPage"));
    FClientPage = client;
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FTopPanel = new QWidget(client);
    auto* topLayout = new QHBoxLayout(FTopPanel);
    topLayout->setContentsMargins(0, 2, 0, 0);
    FileTabs = new TMDITabControl(nullptr, FTopPanel);
    topLayout->addWidget(FileTabs);
    topLayout->addStretch();
    layout->addWidget(FTopPanel);
    MDIArea = new QMdiArea(client);
    MDIArea->setObjectName(QStringLiteral("MDIArea"));
    MDIArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MDIArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MDIArea->viewport()->installEventFilter(this);
    layout->addWidget(MDIArea, 1);
    FClientStack->addWidget(client);
    BrowserFrame = new TBrowserFrame(FClientStack);
    BrowserFrame->setEnabled(false);
    BrowserFrame->OnCloseButton = [this] { BrowserCloseButtonClick(); };
    FClientStack->addWidget(BrowserFrame);
    FClientStack->setCurrentWidget(client);
    CreateDockArea(FClientStack);
    connect(MDIArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) { SubWindowActivated(w); });

    QStatusBar* bar = statusBar();
    bar->setFixedHeight(20);
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < 5; ++i) {
        FStatusPanels[i] = new QLabel(bar);
        FStatusPanels[i]->setFixedWidth(StatusPanelWidths[i]);
        FStatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (i < 4)
            FStatusPanels[i]->setAlignment(Qt::AlignCenter);
        bar->addWidget(FStatusPanels[i]);
    }
    FStatusSimpleLabel = new QLabel(bar);
    bar->addWidget(FStatusSimpleLabel, 1);
    FStatusSimpleLabel->hide();

    setAcceptDrops(true);
}

void TMainForm::AddMenuEntry(QMenu& menu, TAction* action, const char* caption)
{
    if (!caption) {
        menu.addAction(action);
        return;
    }
    // why: a QAction has one text; the entry mirrors the action under the menu's own caption.
    auto* entry = menu.addAction(QString::fromUtf8(caption));
    entry->setData(QVariant::fromValue<QObject*>(action)); // the key map finds the action's menu by it
    const auto mirror = [entry, action] {
        entry->setEnabled(action->isEnabled());
        entry->setIcon(action->icon());
        QString text = entry->text().section(QLatin1Char('\t'), 0, 0);
        if (!action->shortcut().isEmpty())
            text += QLatin1Char('\t') + action->shortcut().toString(QKeySequence::NativeText);
        entry->setText(text);
    };
    mirror();
    connect(action, &QAction::changed, entry, mirror);
    connect(entry, &QAction::triggered, action, [action] { action->trigger(); });
}

void TMainForm::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    AddMenuEntry(*file, acNewFile, "&New...");
    AddMenuEntry(*file, acOpenFile, "&Open...");
    AddMenuEntry(*file, acNewProject, nullptr);
    AddMenuEntry(*file, acOpenProject, nullptr);
    QMenu* reopen = file->addMenu(QStringLiteral("&Reopen"));
    connect(reopen, &QMenu::aboutToShow, this, [this, reopen] { BuildRecentMenu(*reopen); });
    file->addSeparator();
    AddMenuEntry(*file, acReload, nullptr);
    AddMenuEntry(*file, acSave, nullptr);
    AddMenuEntry(*file, acSaveAs, "Save &As...");
    AddMenuEntry(*file, acSaveCopy, nullptr);
    AddMenuEntry(*file, acSaveAsTemplate, "Save As Template...");
    AddMenuEntry(*file, acSaveAll, nullptr);
    file->addSeparator();
    AddMenuEntry(*file, acOpenRemote, nullptr);
    AddMenuEntry(*file, acSaveAsRemote, nullptr);
    file->addSeparator();
    AddMenuEntry(*file, acClose, nullptr);
    AddMenuEntry(*file, acCloseOther, nullptr);
    AddMenuEntry(*file, acCloseAll, nullptr);
    file->addSeparator();
    AddMenuEntry(*file, acPrint, "&Print...");
    AddMenuEntry(*file, acPrintPreview, nullptr);
    AddMenuEntry(*file, acPageSetup, nullptr);
    AddMenuEntry(*file, acExport, nullptr);
    file->addSeparator();
    AddMenuEntry(*file, acExit, nullptr);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    for (TAction* action : {acUndo, acRedo})
        edit->addAction(action);
    edit->addSeparator();
    for (TAction* action : {acCut, acCopy, acPaste, acSelectAll})
        edit->addAction(action);
    edit->addSeparator();
    for (TAction* action : {acIndent, acOutdent})
        edit->addAction(action);
    edit->addSeparator();
    edit->addAction(acWordWrap);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    AddToolWindowMenuEntries(*view);

    QMenu* insert = menuBar()->addMenu(QStringLiteral("&Insert"));
    insert->addAction(acInsertGraphics);

    QMenu* project = menuBar()->addMenu(QStringLiteral("&Project"));
    project->addAction(acProjectOptions);

    QMenu* run = menuBar()->addMenu(QStringLiteral("&Run"));
    for (TAction* action : {acInternalPreview, acExternalPreview, acRunConsole, acSyntaxCheck})
        run->addAction(action);
    run->addSeparator();
    run->addAction(acScriptParameters);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    for (TAction* action : {acEnvironmentOptions, acApplicationOptions, acFTPAccounts})
        tools->addAction(action);
    tools->addSeparator();
    tools->addAction(acCompareFile);

    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    connect(window, &QMenu::aboutToShow, this, [this, window] { BuildWindowMenu(*window); });
    BuildWindowMenu(*window);

    ReopenPopup = new QMenu(this);
    connect(ReopenPopup, &QMenu::aboutToShow, this, [this] { BuildRecentMenu(*ReopenPopup); });

    TextEditorPopup = new QMenu(this);
    TextEditorPopup->addAction(acOpenFileAtCursor);
    TextEditorPopup->addSeparator();
    for (TAction* action : {acCut, acCopy, acPaste, acSelectAll})
        TextEditorPopup->addAction(action);
    TextEditorPopup->addSeparator();
    for (TAction* action : {acIndent, acOutdent})
        TextEditorPopup->addAction(action);
    TextEditorPopup->addSeparator();
    for (TAction* action : {acReload, acSave})
        TextEditorPopup->addAction(action);
    AddMenuEntry(*TextEditorPopup, acSaveAs, "Save &As...");
    TextEditorPopup->addSeparator();
    for (TAction* action : {acPrintPreview, acPrint})
        TextEditorPopup->addAction(action);
    TextEditorPopup->addSeparator();
    TextEditorPopup->addAction(acClose);

    // The tab strip's menu acts on the active document.
    FileTabs->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (TAction* action : {acClose, acCloseOther, acCloseAll, acSaveAs, acSave, acReload, acPrint})
        FileTabs->addAction(action);
}

void TMainForm::BuildWindowMenu(QMenu& menu)
{
    menu.clear();
    menu.addAction(acWndNext);
    menu.addAction(acWndPrevious);
    menu.addSeparator();
    for (TAction* action : {acWndCascade, acWndTileHorz, acWndTileVert, acWndMinimizeAll, acWndArrange})
        if (action)
            menu.addAction(action);
    const std::vector<TCodeEditorForm*> documents = Documents();
    if (!documents.empty())
        menu.addSeparator();
    const TCodeEditorForm* active = ActiveEditorForm();
    int number = 1;
    for (TCodeEditorForm* document : documents) {
        QString caption = document->windowTitle();
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        if (number < 10)
            caption = QStringLiteral("&%1 ").arg(number) + caption;
        ++number;
        QAction* entry = menu.addAction(caption);
        entry->setCheckable(true);
        entry->setChecked(document == active);
        connect(entry, &QAction::triggered, this, [this, document] { BringDocumentToFront(document); });
    }
}

void TMainForm::CreateToolBar()
{
    FToolBar = addToolBar(QStringLiteral("ToolBar"));
    FToolBar->setObjectName(QStringLiteral("ToolBar"));
    FToolBar->setIconSize(QSize(24, 24));
    FToolBar->setMovable(false);
    FToolBar->addAction(acNewFile);
    auto* open = new QToolButton(FToolBar);
    open->setDefaultAction(acOpenFile);
    open->setMenu(ReopenPopup);
    open->setPopupMode(QToolButton::MenuButtonPopup);
    FToolBar->addWidget(open);
    for (TAction* action : {acClose, acSave, acSaveAll})
        FToolBar->addAction(action);
    FToolBar->addSeparator();
    for (TAction* action : {acUndo, acRedo})
        FToolBar->addAction(action);
    FToolBar->addSeparator();
    for (TAction* action : {acCut, acCopy, acPaste})
        FToolBar->addAction(action);
    FToolBar->addSeparator();
    for (TAction* action : {acInternalPreview, acExternalPreview})
        FToolBar->addAction(action);
    FToolBar->addSeparator();
    FToolBar->addAction(acProjectOptions);
}

// ---- start and end

bool TMainForm::FormCreate(const std::string& programFolder, const std::string& appDataFolder,
                           const std::string& dataHomeFolder)
{
    DocumentCount = 0;
    PreviousDocumentCount = 0;
    UpdateDocumentActions(true);
    FProgramProjectFolder = IncludeTrailingPathDelimiter(programFolder) + "project/";
    const TFolderCheck check = SetUpFolders(programFolder, appDataFolder, dataHomeFolder);
    if (check != TFolderCheck::fcOk) {
        ShowMessageBox(FolderCheckMessage(check), MB_OK | MB_ICONERROR);
        return false;
    }
    RecentFileList.Clear();
    RunCopyList.Clear();
    OpenSettingsFiles(UserFolder);
    FSettingsOpen = true;
    setAcceptDrops(true);
    LoadSettings();
    LoadKeymap();
    LoadPrintSettings();
    CreateToolWindows();
    return true;
}

void TMainForm::CreateToolWindows()
{
    MoveDefaultProjectSettings(*ProjectsFile, *SettingsFile, FProgramProjectFolder, ProjectFolder);
    CurrentProject = std::make_unique<TCurrentProject>(*ProjectsFile, *SettingsFile, ProjectFolder);
    ProjectServices.Projects = ProjectsFile;
    ProjectServices.Settings = SettingsFile;
    ProjectServices.FTPAccounts = FTPAccountsFile;
    ProjectServices.ProjectFolder = ProjectFolder;
    ProjectServices.CurrentProject = CurrentProject.get();
    ProjectServices.EditFTPAccount = [this](const TGUID& account, QWidget* parent) {
        return EditFTPAccount(account, parent);
    };
    CreateDockedToolWindows();
    CreateSearchWindow();
    if (TOutputForm* output = OutputForm())
        output->OnShowLine = [this](const std::string& fileName, int line) { ShowOutputLine(fileName, line); };
}

void TMainForm::DestroyToolWindows()
{
    DestroySearchWindow();
    DestroyDockedToolWindows();
    if (!CurrentProject)
        return;
    try {
        CurrentProject->SaveCurrentProject();
    } catch (const std::exception& e) {
        // The program ends all the same; the user learns that the project was not recorded.
        if (TApplication* app = Application())
            app->ShowException(e);
    }
    ProjectServices = TProjectServices();
    CurrentProject.reset();
}

void TMainForm::FormShow()
{
    if (!SettingsFile)
        return;
    const TIniFileEx& ini = *SettingsFile;
    OpenDialog.FileName = Settings::Application::LastFile.Read(ini);
    ReadNumberedList(ini, Settings::RecentFilesSection, RecentFileList);
    const long long minutes = Settings::Backup::SaveInterval.Read(ini);
    const long long interval = std::clamp(minutes * 60000LL, 0LL, static_cast<long long>(INT_MAX));
    BackupTimer.setInterval(static_cast<int>(interval));
    // why: a zero interval never fires; a running QTimer of 0 ms would fire without pause.
    if (Settings::Backup::AutomaticSave.Read(ini) && interval > 0)
        BackupTimer.start();
    else
        BackupTimer.stop();
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TMainForm::LoadSettings()
{
    const TIniFileEx& ini = *SettingsFile;
    acWordWrap->SetChecked(Settings::Editor::WordWrap.Read(ini));
    PHPEnvironment.PHPExecutable = Settings::Environment::CGI.Read(ini);
    PHPEnvironment.PHPManual = Settings::Environment::Documentation.Read(ini);
}

void TMainForm::LoadKeymap()
{
    for (TAction* action : ActionList.Actions())
        action->SetShortCut(ReadKeymapShortCut(*KeymapFile, action->Name(), action->ShortCut()));
    UpdateWindowKeys();
}

void TMainForm::UpdateWindowKeys()
{
    UpdateEntryKeys();
    // why: one key with two owners reaches neither; a command the user gave the key wins.
    const QKeySequence closeKey(Qt::CTRL | Qt::Key_F4);
    const auto& actions = ActionList.Actions();
    const bool taken =
        std::any_of(actions.begin(), actions.end(), [&](const TAction* action) { return action->shortcut() == closeKey; });
    FWindowCloseKey->setShortcut(taken ? QKeySequence() : closeKey);
}

void TMainForm::SaveSettings()
{
    for (int i = 0; i < RunCopyList.Count(); ++i)
        DeleteFile(RunCopyList[i]);
    if (!SettingsFile)
        return;
    Settings::Editor::WordWrap.Write(*SettingsFile, acWordWrap->Checked());
    WriteNumberedList(*SettingsFile, Settings::RecentFilesSection, RecentFileList, Settings::MaxSavedRecentFiles);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // why: an FTP transfer runs inside a command of this window; it is cancelled and the
    // window closes once that command has ended.
    if (CancelFTPTransfers()) {
        CloseAfterTransfer();
        event->ignore();
        return;
    }
    for (TCodeEditorForm* document : Documents())
        if (!document->CloseQuery()) {
            event->ignore();
            return;
        }
    if (FPreviewMode) {
        if (PrintPreviewForm)
            ClosePrintPreview();
        else if (BrowserShown())
            BrowserCloseButtonClick();
        else
            SetPreviewMode(false);
        event->ignore();
        return;
    }
    try {
        SaveSettings();
        SaveDockLayout();
    } catch (const std::exception& e) {
        // The program ends all the same; the user learns that the settings were not written.
        if (TApplication* app = Application())
            app->ShowException(e);
    }
    BackupTimer.stop();
    event->accept();
}

void TMainForm::DestroyDocuments()
{
    for (TCodeEditorForm* document : Documents())
        delete document;
    if (MDIArea)
        for (QMdiSubWindow* window : MDIArea->subWindowList())
            delete window;
}

// ---- documents

TCodeEditorForm* TMainForm::ActiveEditorForm() const
{
    auto* document = dynamic_cast<TCodeEditorForm*>(MDIArea->currentSubWindow());
    return document && !document->Closing() ? document : nullptr;
}

TSrcEdit* TMainForm::ActiveEditor() const
{
    TCodeEditorForm* document = ActiveEditorForm();
    return document ? document->Editor() : nullptr;
}

std::vector<TCodeEditorForm*> TMainForm::Documents() const
{
    std::vector<TCodeEditorForm*> documents;
    for (QMdiSubWindow* window : MDIArea->subWindowList(QMdiArea::CreationOrder))
        if (auto* document = dynamic_cast<TCodeEditorForm*>(window); document && !document->Closing())
            documents.push_back(document);
    return documents;
}

void TMainForm::SubWindowActivated(QMdiSubWindow* window)
{
    if (auto* document = dynamic_cast<TCodeEditorForm*>(window); document && !document->Closing())
        document->Activated();
}

void TMainForm::BringDocumentToFront(TCodeEditorForm* document)
{
    if (!document)
        return;
    MDIArea->setActiveSubWindow(document);
    document->Editor()->setFocus();
}

void TMainForm::BringToFront()
{
    if (isMinimized())
        showMaximized();
    show();
    raise();
    activateWindow();
}

void TMainForm::UpdateDocumentActions(bool force)
{
    const bool hasDocuments = DocumentCount > 0;
    if (!force && hasDocuments == (PreviousDocumentCount > 0))
        return;
    for (const char* name : DocumentActionNames)
        if (TAction* action = ActionList.Find(name))
            action->SetEnabled(hasDocuments);
    SetStatusBarSimple(!hasDocuments);
    if (!hasDocuments)
        for (const char* name : EditingActionNames)
            if (TAction* action = ActionList.Find(name))
                action->SetEnabled(false);
}

void TMainForm::SetStatusBarSimple(bool simple)
{
    FStatusSimple = simple;
    for (QLabel* panel : FStatusPanels)
        panel->setVisible(!simple);
    FStatusSimpleLabel->setVisible(simple);
}

void TMainForm::SetStatusPanel(int index, const std::string& text)
{
    if (index < 0 || index >= 5)
        return;
    FStatusTexts[index] = text;
    QLabel* panel = FStatusPanels[index];
    // why: a centred text wider than its panel would lose both ends; it loses its end instead.
    const QString full = QStr(text);
    const int room = StatusPanelWidths[index] - 2 * panel->frameWidth() - 4;
    panel->setText(panel->fontMetrics().elidedText(full, Qt::ElideRight, room));
    panel->setToolTip(panel->text() == full ? QString() : full);
}

std::string TMainForm::StatusPanel(int index) const
{
    return index >= 0 && index < 5 ? FStatusTexts[index] : std::string();
}

void TMainForm::SetPreviewMode(bool on)
{
    if (FPreviewMode == on)
        return;
    FPreviewMode = on;
    TUpdatesLock lock(this);
    FTopPanel->setVisible(!on);
    FToolBar->setVisible(!on);
    statusBar()->setVisible(!on);
    DockArea->SetDockPanelsVisible(!on);
    menuBar()->setVisible(!on);
}

int TMainForm::ShowModal(QDialog& dialog)
{
    if (ModalHook)
        return ModalHook(dialog);
    return dialog.exec();
}

void TMainForm::AttachEditorPopup(TSrcEdit& editor)
{
    editor.viewport()->installEventFilter(this);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == MDIArea->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        acOpenFile->trigger();
        return true;
    }
    if (event->type() == QEvent::ContextMenu && watched != MDIArea->viewport()) {
        TextEditorPopup->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- dropped files

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.push_back(StdStr(url.toLocalFile()));
    event->acceptProposedAction();
    DropFiles(paths);
}
