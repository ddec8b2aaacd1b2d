#include "explorers/zuProjectExplorerForm.h"

#include "explorers/zuExplorerFiles.h"
#include "ftp/explorer/zuFTPExplorerForm.h"
#include "projects/zuCurrentProject.h"
#include "projects/zuProjects.h"
#include "settings/zentuIniFiles.h"

#include "ShellBrowsing/Source/explorer/ExplorerViews.h"

#include "ExLib/run/docking/control/ExDockClient.h"

#include "Platform/controls/ActnList.h"
#include "Platform/controls/FilterComboBox.h"
#include "Platform/files/FileNames.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

TProjectExplorerForm::TProjectExplorerForm(TExDockBasicStyle* style, TProjectExplorerServices services)
    : TToolWindowForm("ProjectExplorerForm", "Project Explorer", style), FServices(std::move(services))
{
    const auto action = [this](const char* name, const char* caption, const char* hint, void (TProjectExplorerForm::*execute)()) {
        auto* result = new TAction(name, caption, scNone, this);
        result->setToolTip(QString::fromUtf8(hint));
        result->OnExecute = [this, execute](TObject*) { (this->*execute)(); };
        return result;
    };
    acRefresh = action("acRefresh", "Refresh", "Refresh", &TProjectExplorerForm::RefreshExecute);
    acFTPconnect = action("acFTPconnect", "Connect to FTP", "Connect to FTP", &TProjectExplorerForm::FTPConnectExecute);
    acProjectManager = new TAction("acProjectManager", "Project Manager", scNone, this);
    acProjectManager->setToolTip(QStringLiteral("Project Manager"));
    acProjectManager->OnExecute = [this](TObject*) {
        if (FServices.ProjectManager)
            FServices.ProjectManager();
    };
    acProjectOptions = new TAction("acProjectOptions", "Project Options...", scNone, this);
    acProjectOptions->setToolTip(QStringLiteral("Project Options"));
    acProjectOptions->OnExecute = [this](TObject*) {
        if (FServices.ProjectOptions)
            FServices.ProjectOptions();
    };
    QStyle* look = QApplication::style();
    acRefresh->setIcon(QIcon::fromTheme(QStringLiteral("view-refresh"), look->standardIcon(QStyle::SP_BrowserReload)));
    acProjectManager->setIcon(QIcon::fromTheme(QStringLiteral("folder-open"), look->standardIcon(QStyle::SP_DirOpenIcon)));
    acProjectOptions->setIcon(QIcon::fromTheme(QStringLiteral("document-properties"), look->standardIcon(QStyle::SP_FileDialogInfoView)));
    CreateControls();
    UpdateConnectImage();

    if (FServices.Project) {
        FServices.Project->OnLocalPathChange = [this](const std::string& text) { LocalPathChange(text); };
        LocalPathChange(FServices.Project->LocalPath());
    }
}

TProjectExplorerForm::~TProjectExplorerForm()
{
    if (FServices.Project)
        FServices.Project->OnLocalPathChange = nullptr;
    // why: the views go after the form's own parts; they must not call back into it meanwhile.
    FilterEdit->OnChange = nullptr;
    LocalView->OnEnumFolder = nullptr;
    LocalView->OnShellExecute = nullptr;
    RemoteView->OnStateChange = nullptr;
}

void TProjectExplorerForm::CreateControls()
{
    QVBoxLayout* layout = MakeClientLayout();
    QWidget* client = layout->parentWidget();
    layout->setSpacing(2);

    // The view switch beside the bar rather than on it, so that a narrow window never hides it.
    auto* upper = new QHBoxLayout;
    upper->setSpacing(2);
    ToolBar = new QToolBar(client);
    ToolBar->setIconSize(QSize(16, 16));
    for (TAction* command : {acRefresh, acFTPconnect, acProjectManager, acProjectOptions})
        ToolBar->addAction(command);
    cmViewPort = new QComboBox(client);
    cmViewPort->setObjectName(QStringLiteral("cmViewPort"));
    cmViewPort->addItem(QApplication::style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Local View"));
    cmViewPort->addItem(QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon), QStringLiteral("Remote View"));
    ToolBar->setMinimumWidth(ToolBar->sizeHint().width());
    upper->addWidget(ToolBar);
    upper->addWidget(cmViewPort, 1);
    layout->addLayout(upper);

    Pages = new QStackedWidget(client);
    layout->addWidget(Pages, 1);

    auto* local = new QWidget(Pages);
    auto* localLayout = new QVBoxLayout(local);
    localLayout->setContentsMargins(0, 0, 0, 0);
    localLayout->setSpacing(2);
    auto* pathRow = new QHBoxLayout;
    LocalPath = new QLineEdit(local);
    LocalPath->setObjectName(QStringLiteral("LocalPath"));
    BrowseButton = new QToolButton(local);
    BrowseButton->setText(QStringLiteral("..."));
    pathRow->addWidget(LocalPath, 1);
    pathRow->addWidget(BrowseButton);
    localLayout->addLayout(pathRow);
    LocalView = new TShellExplorerTreeview(nullptr, local);
    LocalView->setObjectName(QStringLiteral("LocalView"));
    localLayout->addWidget(LocalView, 1);
    FilterEdit = new TFilterComboBox(local);
    FilterEdit->setObjectName(QStringLiteral("FilterEdit"));
    localLayout->addWidget(FilterEdit);
    Pages->addWidget(local);

    TFTPExplorerForm::TProjectSource source;
    source.Account = [this] { return FServices.Project ? FServices.Project->ProjectAccountID() : NullGUID; };
    source.Folder = [this] { return ProjectRemotePath(); };
    source.NoAccount = [this] { acProjectOptions->trigger(); };
    if (!FServices.FTPAccounts)
        FNoAccounts = std::make_unique<TIniFileEx>(std::string());
    if (!FServices.Settings)
        FNoSettings = std::make_unique<TIniFileEx>(std::string());
    RemoteView = new TFTPExplorerForm(FServices.FTPAccounts ? *FServices.FTPAccounts : *FNoAccounts,
                                      FServices.Settings ? *FServices.Settings : *FNoSettings, Pages);
    RemoteView->SetProjectSource(std::move(source));
    RemoteView->OnOpenRemoteFile = FServices.OpenRemoteFile;
    RemoteView->ExecuteDialog = FServices.ExecuteDialog;
    RemoteView->ProgressOwner = this;
    RemoteView->OnStateChange = [this] { UpdateConnectImage(); };
    Pages->addWidget(RemoteView);

    // Folders and files below the project's folder, the folder itself not shown.
    LocalView->SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders, TFileObject::foHidden});
    LocalView->SetVETFolderOptions({toFoldersExpandable, toHideRootFolder});
    TVETMiscOptions misc = LocalView->VETMiscOptions();
    misc.Include(toExecuteOnDblClk);
    LocalView->SetVETMiscOptions(misc);
    LinkExplorerView(*LocalView, *FilterEdit, true, [this](const std::string& path) {
        if (FServices.OpenFile)
            FServices.OpenFile(path);
    });
    FilterEdit->SetFilter(AllFilesFilter);
    LocalView->SetActive(true);

    connect(LocalPath, &QLineEdit::editingFinished, this, [this] {
        if (FServices.Project)
            FServices.Project->SetLocalPath(LocalPath->text().toStdString());
    });
    connect(BrowseButton, &QToolButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(
            this, QStringLiteral("Select the document root for internal HTTP server"), LocalPath->text());
        if (!folder.isEmpty() && FServices.Project)
            FServices.Project->SetLocalPath(folder.toStdString());
    });
    connect(cmViewPort, &QComboBox::currentIndexChanged, this, [this](int index) {
        Pages->setCurrentIndex(index == vpRemote ? vpRemote : vpLocal);
        UpdateConnectImage();
    });
}

void TProjectExplorerForm::LocalPathChange(const std::string& text)
{
    {
        const QSignalBlocker block(LocalPath);
        LocalPath->setText(QString::fromStdString(text));
    }
    if (DirectoryExists(text))
        LocalView->SetRootFolderCustomPath(QString::fromStdString(ExcludeTrailingPathDelimiter(ExpandFileName(text))));
}

void TProjectExplorerForm::SetFileFilter(const std::string& filter)
{
    FilterEdit->SetFilter(filter);
}

std::string TProjectExplorerForm::LocalFolder() const
{
    TNamespace* root = LocalView->RootNamespace();
    return root ? root->ParsingPathForAddressBar().toStdString() : std::string();
}

TProjectExplorerForm::TViewPort TProjectExplorerForm::ViewPort() const
{
    return Pages->currentIndex() == vpRemote ? vpRemote : vpLocal;
}

void TProjectExplorerForm::SetViewPort(TViewPort view)
{
    cmViewPort->setCurrentIndex(view);
}

std::string TProjectExplorerForm::ProjectRemotePath() const
{
    if (!FServices.Project || !FServices.Projects)
        return "/";
    return ReadProjectString(*FServices.Projects, FServices.Project->CurrentProject(), ProjectKeys::RemotePath, "/");
}

void TProjectExplorerForm::RefreshExecute()
{
    if (ViewPort() == vpLocal)
        LocalView->RefreshKeepingState(true);
    else
        RemoteView->RefreshExecute();
}

void TProjectExplorerForm::FTPConnectExecute()
{
    if (RemoteView->Connected()) {
        RemoteView->FTPConnectExecute();
        SetViewPort(vpLocal);
        return;
    }
    if (RemoteView->Account() == NullGUID) {
        acProjectOptions->trigger();
        return;
    }
    SetViewPort(vpRemote);
    RemoteView->FTPConnectExecute();
}

void TProjectExplorerForm::LocalViewDblClick()
{
    const std::string path = SelectedDocumentPath(*LocalView);
    if (!path.empty() && FServices.OpenFile)
        FServices.OpenFile(path);
}

void TProjectExplorerForm::UpdateConnectImage()
{
    QStyle* look = QApplication::style();
    const bool connected = RemoteView && RemoteView->Connected();
    acFTPconnect->setIcon(connected ? QIcon::fromTheme(QStringLiteral("network-connect"), look->standardIcon(QStyle::SP_DialogYesButton))
                                    : QIcon::fromTheme(QStringLiteral("network-disconnect"), look->standardIcon(QStyle::SP_DialogNoButton)));
}

void TProjectExplorerForm::wheelEvent(QWheelEvent* event)
{
    // The tree scrolls itself when it has the focus; a wheel turned elsewhere is dropped.
    event->accept();
}
