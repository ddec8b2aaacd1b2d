// The remote file chooser.

#include "ftp/zuRemoteFileChooser.h"

#include "ftp/client/zuFTPErrors.h"
#include "ftp/zuFTPAccounts.h"
#include "ftp/zuFTPModule.h"

#include "app/zuConstants.h"
#include "projects/zuProjects.h"
#include "settings/zentuIniFiles.h"

#include "Platform/core/Application.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/Format.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int KindRole = Qt::UserRole;

// The characters that no remote file name given here may hold.
constexpr std::string_view InvalidNameChars = "\\/:*?\"<>|";

std::string Folded(const std::string& text)
{
    return StdStr(QStr(text).toCaseFolded());
}

} // namespace

TRemoteFileChooser::TRemoteFileChooser(TMode mode, TFTPModule& module, TIniFileEx& accounts, QWidget* parent)
    : QDialog(parent), FMode(mode), FModule(module), FAccounts(accounts)
{
    setWindowTitle(mode == TMode::rmOpen ? QStringLiteral("Open From FTP") : QStringLiteral("Save As To FTP"));
    setModal(true);
    resize(640, 480);
    auto* layout = new QVBoxLayout(this);

    auto* bar = new QHBoxLayout();
    bar->addWidget(new QLabel(QStringLiteral("Session Name"), this));
    AccountBox = new QComboBox(this);
    AccountBox->setObjectName(QStringLiteral("AccountBox"));
    AccountBox->setMinimumWidth(200);
    bar->addWidget(AccountBox, 1);
    ConnectButton = new QPushButton(QStringLiteral("Connect"), this);
    ParentButton = new QPushButton(QStringLiteral("Up"), this);
    ParentButton->setIcon(QApplication::style()->standardIcon(QStyle::SP_FileDialogToParent));
    for (QPushButton* button : {ConnectButton, ParentButton}) {
        button->setAutoDefault(false);
        bar->addWidget(button);
    }
    layout->addLayout(bar);
    FolderLabel = new QLabel(this);
    layout->addWidget(FolderLabel);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    RemoteView = new QTreeWidget(splitter);
    RemoteView->setObjectName(QStringLiteral("RemoteView"));
    RemoteView->setRootIsDecorated(false);
    RemoteView->setHeaderLabels({QStringLiteral("Filename"), QStringLiteral("Size"), QStringLiteral("Date"),
                                 QStringLiteral("Permission")});
    RemoteView->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 4; ++column)
        RemoteView->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    TransferLog = new QPlainTextEdit(splitter);
    TransferLog->setObjectName(QStringLiteral("TransferLog"));
    TransferLog->setReadOnly(true);
    TransferLog->setMinimumHeight(50);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    auto* bottom = new QHBoxLayout();
    bottom->addWidget(new QLabel(QStringLiteral("File Name(s)"), this));
    FileNameEdit = new QLineEdit(this);
    FileNameEdit->setObjectName(QStringLiteral("FileNameEdit"));
    FileNameEdit->setReadOnly(mode == TMode::rmOpen);
    bottom->addWidget(FileNameEdit, 1);
    ActionButton = new QPushButton(mode == TMode::rmOpen ? QStringLiteral("&Open") : QStringLiteral("&Save"), this);
    ActionButton->setDefault(true);
    CloseButton = new QPushButton(QStringLiteral("&Close"), this);
    CloseButton->setAutoDefault(false);
    bottom->addWidget(ActionButton);
    bottom->addWidget(CloseButton);
    layout->addLayout(bottom);

    FClient.SetTransferType(TFTPTransferType::ftASCII);
    FLog.OnLine = [this](const std::string& line) { TransferLog->appendPlainText(QStr(line)); };
    FLog.Attach(FClient);
    FClient.OnConnected = [this] { UpdateUserInterface(); };
    FClient.OnDisconnected = [this] { UpdateUserInterface(); };

    connect(AccountBox, &QComboBox::currentIndexChanged, this, [this](int row) {
        if (row >= 0)
            FAccount = StringToGUID(StdStr(AccountBox->itemData(row).toString()));
    });
    connect(ConnectButton, &QPushButton::clicked, this, [this] { ConnectExecute(); });
    connect(ParentButton, &QPushButton::clicked, this, [this] { ChangeParentDir(); });
    connect(RemoteView, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { RowActivated(item); });
    connect(RemoteView, &QTreeWidget::itemSelectionChanged, this, [this] { RowSelected(); });
    connect(ActionButton, &QPushButton::clicked, this, [this] { ActionExecute(); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    FillAccountBox();
    UpdateUserInterface();
}

TRemoteFileChooser::~TRemoteFileChooser()
{
    FClient.OnConnected = nullptr;
    FClient.OnDisconnected = nullptr;
    FLog.Detach(FClient);
}

void TRemoteFileChooser::done(int result)
{
    // why: a command still waiting for the server would hold the dialog open behind the user.
    if (FClient.Busy()) {
        FClient.Abort();
    } else if (FClient.Connected()) {
        FClient.Disconnect();
    }
    QDialog::done(result);
}

void TRemoteFileChooser::FillAccountBox()
{
    const QSignalBlocker block(AccountBox);
    AccountBox->clear();
    AccountBox->addItem(QStringLiteral("-- None --"), QStr(GUIDToString(NullGUID)));
    for (const TProjectListEntry& account : ReadAccountList(FAccounts))
        AccountBox->addItem(QStr(account.Name), QStr(GUIDToString(account.ID)));
    // Without a known account the first one is offered, if there is one.
    int row = AccountBox->findData(QStr(GUIDToString(FAccount)));
    if (row < 0 || (FAccount == NullGUID && AccountBox->count() > 1))
        row = std::min(1, AccountBox->count() - 1);
    AccountBox->setCurrentIndex(row);
    FAccount = StringToGUID(StdStr(AccountBox->itemData(row).toString()));
}

void TRemoteFileChooser::SelectAccount(const TGUID& account)
{
    FAccount = account;
    FillAccountBox();
}

void TRemoteFileChooser::UpdateUserInterface()
{
    const bool connected = FClient.Connected();
    AccountBox->setEnabled(!connected);
    ConnectButton->setText(connected ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
    ParentButton->setEnabled(connected);
    ActionButton->setEnabled(connected);
}

bool TRemoteFileChooser::Try(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const ENetFTPBusy&) {
        // The command the user asked for waits its turn no more than a click does.
        return false;
    } catch (const ENetFTPError& e) {
        FLog.LogException(e);
    }
    UpdateUserInterface();
    return false;
}

void TRemoteFileChooser::ConnectExecute()
{
    if (FClient.Busy())
        return;
    if (FClient.Connected()) {
        FClient.Disconnect();
        RemoteView->clear();
        FileNameEdit->clear();
        FFolder.clear();
        FolderLabel->clear();
        UpdateUserInterface();
        return;
    }
    if (FAccount == NullGUID)
        return;
    FModule.ConfigureClient(FClient, FAccount);
    const std::string folder = ReadFTPAccount(FAccounts, FAccount).Rdir;
    if (!Try([&] { FClient.Connect(); }))
        return;
    UpdateUserInterface();
    Try([&] { FClient.ChangeDir(folder.empty() ? std::string("/") : folder); });
    RefreshListing();
}

void TRemoteFileChooser::RefreshListing()
{
    RemoteView->clear();
    const bool listed = Try([this] {
        FFolder = FClient.RetrieveCurrentDir();
        FClient.SetTransferType(TFTPTransferType::ftASCII);
        FClient.List();
    });
    FolderLabel->setText(QStr(FFolder));
    if (!listed)
        return;
    std::vector<const TFTPListItem*> entries;
    for (const TFTPListItem& item : FClient.DirectoryListing())
        if (item.FileName != "." && item.FileName != "..")
            entries.push_back(&item);
    std::stable_sort(entries.begin(), entries.end(), [](const TFTPListItem* a, const TFTPListItem* b) {
        const bool aFolder = a->ItemType == TFTPItemType::ditDirectory;
        const bool bFolder = b->ItemType == TFTPItemType::ditDirectory;
        if (aFolder != bFolder)
            return aFolder;
        return Folded(a->FileName) < Folded(b->FileName);
    });
    const QIcon folderIcon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon fileIcon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    const QIcon linkIcon = QApplication::style()->standardIcon(QStyle::SP_FileLinkIcon);
    for (const TFTPListItem* entry : entries) {
        auto* row = new QTreeWidgetItem(RemoteView);
        row->setText(0, QStr(entry->FileName));
        row->setData(0, KindRole, static_cast<int>(entry->ItemType));
        switch (entry->ItemType) {
        case TFTPItemType::ditDirectory:
            row->setIcon(0, folderIcon);
            break;
        case TFTPItemType::ditSymbolicLink:
            row->setIcon(0, linkIcon);
            row->setText(1, QStr("-> " + entry->LinkedItemName));
            break;
        case TFTPItemType::ditFile:
            row->setIcon(0, fileIcon);
            row->setText(1, QString::number(entry->Size));
            break;
        }
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        if (entry->ModifiedDate != 0)
            row->setText(2, QStr(FormatDateTime("dd/mm/yyyy hh:nn", entry->ModifiedDate)));
        row->setText(3, QStr(PermissionText(*entry)));
    }
}

void TRemoteFileChooser::ChangeDir(const std::string& name)
{
    if (Try([&] { FClient.ChangeDir(name); }))
        RefreshListing();
}

void TRemoteFileChooser::ChangeParentDir()
{
    if (Try([this] { FClient.ChangeDirUp(); })) {
        if (FMode == TMode::rmOpen)
            FileNameEdit->clear();
        RefreshListing();
    }
}

void TRemoteFileChooser::RowActivated(QTreeWidgetItem* item)
{
    if (!item || FClient.Busy())
        return;
    const auto kind = static_cast<TFTPItemType>(item->data(0, KindRole).toInt());
    const std::string name = StdStr(item->text(0));
    if (kind == TFTPItemType::ditDirectory) {
        ChangeDir(name);
        return;
    }
    // A link may lead to a folder; when it does not, it is opened as a file.
    if (kind == TFTPItemType::ditSymbolicLink) {
        bool folder = false;
        try {
            FClient.ChangeDir(name);
            folder = true;
        } catch (const ENetFTPError&) {
        }
        if (folder) {
            RefreshListing();
            return;
        }
    }
    SetFileName(name);
    if (FMode == TMode::rmOpen)
        ActionExecute();
}

void TRemoteFileChooser::RowSelected()
{
    const QList<QTreeWidgetItem*> rows = RemoteView->selectedItems();
    if (rows.size() != 1)
        return;
    const auto kind = static_cast<TFTPItemType>(rows.front()->data(0, KindRole).toInt());
    if (kind != TFTPItemType::ditDirectory)
        SetFileName(StdStr(rows.front()->text(0)));
}

std::string TRemoteFileChooser::FileName() const
{
    return StdStr(FileNameEdit->text());
}

void TRemoteFileChooser::SetFileName(const std::string& name)
{
    FileNameEdit->setText(QStr(name));
}

std::string TRemoteFileChooser::RemotePath() const
{
    const std::string folder = FFolder.empty() || FFolder.back() == '/' ? FFolder : FFolder + "/";
    return folder + FileName();
}

bool TRemoteFileChooser::ActionExecute()
{
    if (!FClient.Connected() || FClient.Busy())
        return false;
    const std::string name = FileName();
    if (name.empty() || name.find_first_of(InvalidNameChars) != std::string::npos) {
        if (FMode == TMode::rmSave)
            ShowMessageBox(Format(sInvalidFileName, {name}), MB_OK | MB_ICONERROR);
        return false;
    }
    if (FMode == TMode::rmSave) {
        std::int64_t size = -1;
        if (!Try([&] { size = FClient.Size(name); }))
            return false;
        // why: some servers answer SIZE only for some transfer types; the listing tells too.
        const std::vector<TFTPListItem>& listing = FClient.DirectoryListing();
        const bool listed = std::any_of(listing.begin(), listing.end(),
                                        [&](const TFTPListItem& item) { return item.FileName == name; });
        if ((size >= 0 || listed) && ShowMessageBox(Format(sFileExistsOverwrite, {name}), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
    }
    accept();
    return true;
}

std::vector<std::string> TRemoteFileChooser::RowNames() const
{
    std::vector<std::string> names;
    for (int i = 0; i < RemoteView->topLevelItemCount(); ++i)
        names.push_back(StdStr(RemoteView->topLevelItem(i)->text(0)));
    return names;
}

std::vector<std::string> TRemoteFileChooser::LogLines() const
{
    std::vector<std::string> lines;
    for (const QString& line : TransferLog->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lines.push_back(StdStr(line));
    return lines;
}
