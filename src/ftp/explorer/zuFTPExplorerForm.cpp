// The FTP explorer: its window, accounts, connection, listing, order and selection, log and
// keep-alive. The commands that change files are in zuFTPExplorerCommands.cpp.

#include "ftp/explorer/zuFTPExplorerForm.h"

#include "ftp/client/zuFTPErrors.h"
#include "ftp/explorer/zuFTPExplorerRow.h"
#include "ftp/explorer/zuFTPExplorerRows.h"
#include "ftp/zuFTPAccounts.h"
#include "ftp/zuFTPAccountForm.h"
#include "ftp/zuFTPManagerForm.h"
#include "ftp/zuFTPModule.h"
#include "ftp/zuProgressForm.h"

#include "app/zuConstants.h"
#include "projects/zuProjects.h"
#include "settings/zentuIniFiles.h"
#include "settings/zuSettings.h"

#include "ExLib/run/edits/ExMemo.h"
#include "Platform/controls/ActnList.h"
#include "Platform/core/Application.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/Format.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The keep-alive's first interval, and the range of the later ones, in seconds.
constexpr int FirstKeepAliveMs = 60000;
constexpr int KeepAliveMinSeconds = 30;
constexpr int KeepAliveSpanSeconds = 30;
// How long QUIT may take when the window goes at exit.
constexpr std::chrono::milliseconds QuitTimeout{2000};

} // namespace

TFTPExplorerForm::TFTPExplorerForm(TIniFileEx& accounts, TIniFileEx& settings, QWidget* parent)
    : QDialog(parent), FAccounts(accounts), FSettings(settings), FRandom(std::random_device{}())
{
    setObjectName(QStringLiteral("FTPExplorerForm"));
    setWindowTitle(QStringLiteral("FTP Explorer"));
    resize(760, 560);
    CreateActions();
    CreateControls();

    FClient.SetTransferType(TFTPTransferType::ftASCII);
    FClient.MaxLineAction = TMaxLineAction::maException;
    FLog.OnLine = [this](const std::string& line) {
        TransferLog->Lines().Add(line);
        // The newest line in view, where a failure's reason shows.
        TransferLog->verticalScrollBar()->setValue(TransferLog->verticalScrollBar()->maximum());
    };
    FLog.Attach(FClient);
    FClient.OnConnected = [this] { UpdateUserInterface(); };
    FClient.OnDisconnected = [this] { UpdateUserInterface(); };
    // why: the keep-alive must not talk between the pieces of a transfer.
    FClient.OnWorkBegin = [this](TWorkMode, std::int64_t) { Timer1.stop(); };
    FClient.OnWorkEnd = [this](TWorkMode) {
        if (FClient.Connected())
            Timer1.start();
    };
    FClient.OnWork = [this](TWorkMode, std::int64_t count) {
        if (FProgress)
            FProgress->SetProgress(count, FProgressMax);
    };
    Random = [this](int n) { return std::uniform_int_distribution<int>(0, n - 1)(FRandom); };
    Timer1.setInterval(FirstKeepAliveMs);
    connect(&Timer1, &QTimer::timeout, this, [this] { DoNOOP(); });

    FAccount = StringToGUID(Settings::FTPClient::LastSession.Read(settings));
    SetDialogMode(dmExplorer);
    UpdateUserInterface();
}

TFTPExplorerForm::~TFTPExplorerForm()
{
    Timer1.stop();
    FillAccountBox(true);
    FClient.OnConnected = nullptr;
    FClient.OnDisconnected = nullptr;
    FClient.OnWorkBegin = nullptr;
    FClient.OnWorkEnd = nullptr;
    FClient.OnWork = nullptr;
    FLog.Detach(FClient);
    if (FClient.Connected() && !FClient.Busy()) {
        FClient.ReadTimeout = QuitTimeout;
        try {
            FClient.Disconnect();
        } catch (const std::exception&) {
            // The program ends; a server that does not answer QUIT changes nothing.
        }
    }
}

void TFTPExplorerForm::CreateActions()
{
    const auto action = [this](const char* name, const char* caption, void (TFTPExplorerForm::*execute)()) {
        auto* result = new TAction(name, caption, scNone, this);
        result->OnExecute = [this, execute](TObject*) { (this->*execute)(); };
        addAction(result);
        return result;
    };
    acOpenRemote = action("acOpenRemote", "&Open", nullptr);
    acOpenRemote->OnExecute = [this](TObject*) { OpenRemoteExecute(); };
    acSaveAsRemote = action("acSaveAsRemote", "&Save", nullptr);
    acSaveAsRemote->OnExecute = [this](TObject*) { SaveAsRemoteExecute(); };
    acDelete = action("acDelete", "&Delete", &TFTPExplorerForm::DeleteExecute);
    acRename = action("acRename", "&Rename", &TFTPExplorerForm::RenameExecute);
    acRefresh = action("acRefresh", "&Refresh", &TFTPExplorerForm::RefreshExecute);
    acMKD = action("acMKD", "New Directory...", &TFTPExplorerForm::MKDExecute);
    acCHMOD = action("acCHMOD", "Change Permissions", &TFTPExplorerForm::CHMODExecute);
    acFTPconnect = action("acFTPconnect", "Connect", &TFTPExplorerForm::FTPConnectExecute);
    acSessionManager = action("acSessionManager", "Session Manager", &TFTPExplorerForm::SessionManagerExecute);
    acChangeParentDir = action("acChangeParentDir", "Parent Directory", &TFTPExplorerForm::ChangeParentDirExecute);
    acViewList = action("acViewList", "List", &TFTPExplorerForm::ViewListExecute);
    acViewReport = action("acViewReport", "Details", &TFTPExplorerForm::ViewReportExecute);
    acFTPconnect->setToolTip(QStringLiteral("Connect"));

    QStyle* style = QApplication::style();
    acSessionManager->setIcon(QIcon::fromTheme(QStringLiteral("network-server"), style->standardIcon(QStyle::SP_DriveNetIcon)));
    acRefresh->setIcon(QIcon::fromTheme(QStringLiteral("view-refresh"), style->standardIcon(QStyle::SP_BrowserReload)));
    acChangeParentDir->setIcon(style->standardIcon(QStyle::SP_FileDialogToParent));
    acMKD->setIcon(style->standardIcon(QStyle::SP_FileDialogNewFolder));
    acViewReport->setIcon(style->standardIcon(QStyle::SP_FileDialogDetailedView));
    acViewList->setIcon(style->standardIcon(QStyle::SP_FileDialogListView));
    acDelete->setIcon(QIcon::fromTheme(QStringLiteral("edit-delete"), style->standardIcon(QStyle::SP_TrashIcon)));
    acRename->setIcon(QIcon::fromTheme(QStringLiteral("edit-rename"), style->standardIcon(QStyle::SP_FileLinkIcon)));
    acCHMOD->setIcon(QIcon::fromTheme(QStringLiteral("document-properties"), style->standardIcon(QStyle::SP_FileDialogInfoView)));
}

void TFTPExplorerForm::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    // The account row above the tool bar, so that a narrow docked window shows both.
    SessionPanel = new QWidget(this);
    auto* session = new QHBoxLayout(SessionPanel);
    session->setContentsMargins(2, 2, 2, 0);
    session->addWidget(new QLabel(QStringLiteral(" Session Name "), SessionPanel));
    AccountBox = new QComboBox(SessionPanel);
    AccountBox->setObjectName(QStringLiteral("AccountBox"));
    AccountBox->setMinimumWidth(120);
    session->addWidget(AccountBox, 1);
    layout->addWidget(SessionPanel);
    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setIconSize(QSize(16, 16));
    for (TAction* action : {acSessionManager, acFTPconnect, acRefresh, acChangeParentDir, acMKD, acViewReport, acViewList})
        ToolBar->addAction(action);
    layout->addWidget(ToolBar);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setChildrenCollapsible(false);
    RemoteView = new QTreeWidget(splitter);
    RemoteView->setObjectName(QStringLiteral("RemoteView"));
    RemoteView->setRootIsDecorated(false);
    RemoteView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // why: the edit key renames (the name column), whichever cell of the row was clicked.
    RemoteView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RemoteView->installEventFilter(this);
    RemoteView->setHeaderLabels({QStringLiteral("Filename"), QStringLiteral("Size"), QStringLiteral("Type"),
                                 QStringLiteral("Date"), QStringLiteral("Permission")});
    RemoteView->headerItem()->setTextAlignment(fcSize, Qt::AlignRight | Qt::AlignVCenter);
    RemoteView->headerItem()->setTextAlignment(fcPermission, Qt::AlignRight | Qt::AlignVCenter);
    RemoteView->header()->setSectionsClickable(true);
    RemoteView->setColumnWidth(fcFilename, 200);
    RemoteView->setColumnWidth(fcSize, 80);
    RemoteView->setColumnWidth(fcType, 80);
    RemoteView->setColumnWidth(fcDate, 150);
    RemoteView->setContextMenuPolicy(Qt::CustomContextMenu);
    TransferLog = new TExMemo(nullptr, splitter);
    TransferLog->setObjectName(QStringLiteral("TransferLog"));
    TransferLog->SetReadOnly(true);
    TransferLog->SetMaxLines(0);
    TransferLog->setMinimumHeight(50);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    BottomPanel = new QWidget(this);
    BottomPanel->setObjectName(QStringLiteral("BottomPanel"));
    auto* bottom = new QHBoxLayout(BottomPanel);
    bottom->addWidget(new QLabel(QStringLiteral("File Name(s)"), BottomPanel));
    FileNameEdit = new QLineEdit(BottomPanel);
    FileNameEdit->setObjectName(QStringLiteral("FileNameEdit"));
    bottom->addWidget(FileNameEdit, 1);
    bottom->addWidget(new QLabel(QStringLiteral("Filter:"), BottomPanel));
    FilterEdit = new QLineEdit(BottomPanel);
    FilterEdit->setObjectName(QStringLiteral("FilterEdit"));
    FilterEdit->setMaximumWidth(100);
    FilterEdit->installEventFilter(this);
    bottom->addWidget(FilterEdit);
    ActionButton = new QPushButton(QStringLiteral("&Open"), BottomPanel);
    ActionButton->setDefault(true);
    CloseButton = new QPushButton(QStringLiteral("&Close"), BottomPanel);
    CloseButton->setAutoDefault(false);
    bottom->addWidget(ActionButton);
    bottom->addWidget(CloseButton);
    layout->addWidget(BottomPanel);

    StatusBar = new QStatusBar(this);
    StatusBar->setSizeGripEnabled(false);
    ItemsPanel = new QLabel(StatusBar);
    SizePanel = new QLabel(StatusBar);
    ItemsPanel->setMinimumWidth(120);
    StatusBar->addWidget(ItemsPanel);
    StatusBar->addWidget(SizePanel, 1);
    layout->addWidget(StatusBar);

    connect(AccountBox, &QComboBox::activated, this, [this](int row) {
        if (row >= 0)
            SelectAccount(StringToGUID(StdStr(AccountBox->itemData(row).toString())));
    });
    connect(RemoteView, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* row) { RemoteViewDblClick(row); });
    connect(RemoteView, &QTreeWidget::itemSelectionChanged, this, [this] { RemoteViewSelectItem(); });
    connect(RemoteView, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* row, int column) { RemoteViewEdited(row, column); });
    connect(RemoteView->header(), &QHeaderView::sectionClicked, this, [this](int column) { RemoteViewColumnClick(column); });
    connect(RemoteView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(acRefresh);
        menu.addSeparator();
        for (TAction* action : {acMKD, acDelete, acRename, acCHMOD})
            menu.addAction(action);
        menu.exec(RemoteView->viewport()->mapToGlobal(at));
    });
    connect(ActionButton, &QPushButton::clicked, this, [this] { ActionButtonClick(); });
    connect(CloseButton, &QPushButton::clicked, this, &TFTPExplorerForm::reject);
}

void TFTPExplorerForm::SetDialogMode(int mode)
{
    FDialogMode = mode;
    BottomPanel->setVisible(mode != dmExplorer);
    FileNameEdit->setReadOnly(mode == dmOpen);
    ActionButton->setText(mode == dmSave ? QStringLiteral("&Save") : QStringLiteral("&Open"));
    setModal(mode != dmExplorer);
    setWindowTitle(mode == dmOpen   ? QStringLiteral("Open From FTP")
                   : mode == dmSave ? QStringLiteral("Save As To FTP")
                                    : QStringLiteral("FTP Explorer"));
}

void TFTPExplorerForm::SetProjectSource(TProjectSource source)
{
    FProject = std::move(source);
    setWindowFlags(Qt::Widget);
    SetDialogMode(dmExplorer);
    SessionPanel->hide();
    ToolBar->clear();
    ToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (TAction* action : {acChangeParentDir, acMKD, acRename, acDelete, acCHMOD, acViewReport, acViewList})
        ToolBar->addAction(action);
    StatusBar->hide();
    RemoteView->setColumnHidden(fcType, true);
    RemoteView->setColumnWidth(fcFilename, 120);
    RemoteView->setSelectionMode(QAbstractItemView::SingleSelection);
    UpdateUserInterface();
}

TGUID TFTPExplorerForm::Account() const
{
    return ProjectView() ? FProject.Account() : FAccount;
}

void TFTPExplorerForm::showEvent(QShowEvent* event)
{
    if (ProjectView()) {
        QDialog::showEvent(event);
        return;
    }
    FillAccountBox();
    UpdateUserInterface();
    // Centred on the window it belongs to.
    if (QWidget* owner = parentWidget())
        move(owner->frameGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TFTPExplorerForm::closeEvent(QCloseEvent* event)
{
    // why: a command waiting for the server would go on behind a hidden window.
    Cancel();
    QDialog::closeEvent(event);
}

void TFTPExplorerForm::reject()
{
    Cancel();
    QDialog::reject();
}

void TFTPExplorerForm::Cancel()
{
    if (!FClient.Busy())
        return;
    FCancelled = true;
    FClient.Abort();
}

bool TFTPExplorerForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == RemoteView && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2 && static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        RenameExecute();
        return true;
    }
    if (watched == FilterEdit) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                RefreshListing();
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonPress) {
            RefreshListing();
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- accounts

void TFTPExplorerForm::FillAccountBox(bool clearOnly)
{
    const QSignalBlocker block(AccountBox);
    AccountBox->clear();
    if (clearOnly)
        return;
    AccountBox->addItem(QStringLiteral("-- None --"), QStr(GUIDToString(NullGUID)));
    for (const TProjectListEntry& account : ReadAccountList(FAccounts))
        AccountBox->addItem(QStr(account.Name), QStr(GUIDToString(account.ID)));
    AccountBox->setCurrentIndex(std::max(0, AccountBox->findData(QStr(GUIDToString(FAccount)))));
}

void TFTPExplorerForm::SelectAccount(const TGUID& account)
{
    FAccount = account;
    if (FTPModule)
        FTPModule->ConfigureClient(FClient, account);
    const QSignalBlocker block(AccountBox);
    const int row = AccountBox->findData(QStr(GUIDToString(account)));
    if (row >= 0)
        AccountBox->setCurrentIndex(row);
}

void TFTPExplorerForm::SessionManagerExecute()
{
    TFTPManagerForm manager(FAccounts, FSettings, this);
    manager.ExecuteAccount = [this](TFTPAccountForm& dialog) {
        return ExecuteDialog ? ExecuteDialog(dialog) : dialog.exec();
    };
    const int result = ExecuteDialog ? ExecuteDialog(manager) : manager.exec();
    if (result == QDialog::Accepted)
        FillAccountBox();
}

// ---- connection

void TFTPExplorerForm::UpdateUserInterface()
{
    const bool connected = FClient.Connected();
    AccountBox->setEnabled(!connected);
    for (TAction* action : {acCHMOD, acChangeParentDir, acDelete, acMKD, acOpenRemote, acRefresh, acRename, acSaveAsRemote})
        action->SetEnabled(connected);
    acSessionManager->SetEnabled(!connected);
    QStyle* style = QApplication::style();
    acFTPconnect->setIcon(connected ? QIcon::fromTheme(QStringLiteral("network-connect"), style->standardIcon(QStyle::SP_DialogYesButton))
                                    : QIcon::fromTheme(QStringLiteral("network-disconnect"), style->standardIcon(QStyle::SP_DialogNoButton)));
    acFTPconnect->setText(connected ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
    if (OnStateChange)
        OnStateChange();
}

bool TFTPExplorerForm::Try(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const ENetFTPBusy&) {
        return false;
    } catch (const ENetFTPError& e) {
        LogException(e);
    } catch (const Exception& e) {
        LogException(e);
    }
    UpdateUserInterface();
    return false;
}

void TFTPExplorerForm::LogException(const std::exception& e)
{
    FLog.LogException(e);
}

void TFTPExplorerForm::FTPConnectExecute()
{
    if (FClient.Busy())
        return;
    if (FClient.Connected()) {
        Timer1.stop();
        Try([this] { FClient.Disconnect(); });
        FileNameEdit->clear();
        RemoteView->clear();
        TransferLog->Clear();
        UpdateUserInterface();
        return;
    }
    const TGUID account = Account();
    if (account == NullGUID && ProjectView() && FProject.NoAccount) {
        FProject.NoAccount();
        return;
    }
    if (account == NullGUID || !FTPModule)
        return;
    FTPModule->ConfigureClient(FClient, account);
    FCancelled = false;
    if (!Try([this] { FClient.Connect(); }))
        return;
    const std::string folder = ProjectView() ? FProject.Folder() : ReadFTPAccount(FAccounts, account).Rdir;
    Try([&] { FClient.ChangeDir(folder.empty() ? std::string("/") : folder); });
    RefreshListing();
    UpdateUserInterface();
}

bool TFTPExplorerForm::EnsureConnected()
{
    if (!FClient.Connected()) {
        if (ShowMessageBox(std::string(sConnectionClosedReconnect), MB_YESNO | MB_ICONQUESTION) == IDYES)
            FTPConnectExecute();
        else
            UpdateUserInterface();
    }
    return FClient.Connected();
}

void TFTPExplorerForm::DoNOOP()
{
    Timer1.setInterval((KeepAliveMinSeconds + Random(KeepAliveSpanSeconds)) * 1000);
    if (!FClient.Connected()) {
        Timer1.stop();
        return;
    }
    const std::string command(KeepAliveCommand(Random(4)));
    Try([&] {
        try {
            if (command == "LIST")
                FClient.List();
            else
                FClient.SendCmd(command);
        } catch (const ENetFTPReplyError&) {
            // Any answer keeps the line alive; some servers refuse "REST 0" in ASCII mode.
        }
    });
}

// ---- listing

void TFTPExplorerForm::RefreshListing()
{
    // why: a command that waits holds rows of the list.
    if (FClient.Busy())
        return;
    FTotalSize = 0;
    Try([this] { FFolder = FClient.RetrieveCurrentDir(); });
    RemoteView->setUpdatesEnabled(false);
    RemoteView->clear();
    FClient.SetTransferType(TFTPTransferType::ftASCII);
    const std::string filter = ProjectView() ? std::string() : StdStr(FilterEdit->text());
    size_t parsed = 0;
    if (Try([&] { FClient.List(filter); })) {
        const std::vector<TFTPListItem>& listing = FClient.DirectoryListing();
        parsed = listing.size();
        for (const TFTPListItem& entry : listing) {
            if (entry.FileName == "." || entry.FileName == "..")
                continue;
            AddListingRow(entry);
            FTotalSize += entry.Size;
        }
    }
    ItemsPanel->setText(QStr(Format("%d Items", {static_cast<int>(parsed)})));
    SizePanel->setText(QStr(Format("%d Kb", {FTotalSize / 1024})));
    if (!ProjectView()) {
        std::string folder = FFolder;
        Try([&] { folder = FClient.RetrieveCurrentDir(); });
        setWindowTitle(QStr(Format("ftp://%s%s", {FClient.Host, folder})));
    }
    RemoteView->setUpdatesEnabled(true);
    Sort();
}

QTreeWidgetItem* TFTPExplorerForm::AddListingRow(const TFTPListItem& entry)
{
    const QSignalBlocker block(RemoteView);
    auto* row = new TFTPListingRow(entry, RemoteView);
    return row;
}

void TFTPExplorerForm::Sort()
{
    // The rows compare by the explorer's own column and direction (TFTPListingRow).
    RemoteView->sortItems(FSortColumn, Qt::AscendingOrder);
}

void TFTPExplorerForm::RemoteViewColumnClick(int column)
{
    FSortAscending = !FSortAscending;
    FSortColumn = column;
    Sort();
}

void TFTPExplorerForm::ViewListExecute()
{
    RemoteView->setHeaderHidden(true);
    for (int column = fcSize; column < fcColumnCount; ++column)
        RemoteView->setColumnHidden(column, true);
}

void TFTPExplorerForm::ViewReportExecute()
{
    RemoteView->setHeaderHidden(false);
    for (int column = fcSize; column < fcColumnCount; ++column)
        RemoteView->setColumnHidden(column, false);
}

std::vector<std::string> TFTPExplorerForm::RowNames() const
{
    std::vector<std::string> names;
    for (int i = 0; i < RemoteView->topLevelItemCount(); ++i)
        names.push_back(StdStr(RemoteView->topLevelItem(i)->text(fcFilename)));
    return names;
}

QTreeWidgetItem* TFTPExplorerForm::Row(const std::string& name) const
{
    for (int i = 0; i < RemoteView->topLevelItemCount(); ++i)
        if (StdStr(RemoteView->topLevelItem(i)->text(fcFilename)) == name)
            return RemoteView->topLevelItem(i);
    return nullptr;
}

void TFTPExplorerForm::SelectRows(const std::vector<std::string>& names)
{
    RemoteView->clearSelection();
    for (const std::string& name : names)
        if (QTreeWidgetItem* row = Row(name))
            row->setSelected(true);
}

std::vector<QTreeWidgetItem*> TFTPExplorerForm::SelectedRows() const
{
    std::vector<QTreeWidgetItem*> rows;
    for (int i = 0; i < RemoteView->topLevelItemCount(); ++i)
        if (RemoteView->topLevelItem(i)->isSelected())
            rows.push_back(RemoteView->topLevelItem(i));
    return rows;
}

void TFTPExplorerForm::RemoteViewSelectItem()
{
    const std::vector<QTreeWidgetItem*> rows = SelectedRows();
    std::vector<std::string> files;
    for (QTreeWidgetItem* row : rows)
        if (TFTPListingRow::Of(row).ItemType == TFTPItemType::ditFile)
            files.push_back(TFTPListingRow::Of(row).FileName);
    if (rows.size() == 1 && files.size() == 1)
        SetFileName(files.front());
    else if (rows.size() > 1)
        SetFileName(QuotedFileNames(files));
}

std::vector<std::string> TFTPExplorerForm::LogLines() const
{
    std::vector<std::string> lines;
    const TStrings& log = const_cast<TExMemo*>(TransferLog)->Lines();
    for (int i = 0; i < log.Count(); ++i)
        lines.push_back(log[i]);
    return lines;
}

std::string TFTPExplorerForm::FileName() const
{
    return StdStr(FileNameEdit->text());
}

void TFTPExplorerForm::SetFileName(const std::string& name)
{
    FileNameEdit->setText(QStr(name));
}
