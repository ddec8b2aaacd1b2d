// The project options dialog.

#include "projects/zuProjectOptionsDialog.h"

#include "common/zuDialogParts.h"
#include "settings/zentuIniFiles.h"
#include "projects/zuCurrentProject.h"
#include "projects/zuProjects.h"
#include "settings/zuSettings.h"

#include "Platform/files/FileNames.h"
#include "Platform/core/QtBridge.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLineEdit* MakeEdit(QWidget* parent, const char* name, const char* hint)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setToolTip(QString::fromLatin1(hint));
    return edit;
}

QComboBox* MakeDropDown(QWidget* parent, const char* name, const char* hint)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(QString::fromLatin1(hint));
    box->setEditable(false);
    return box;
}

} // namespace

TProjectOptionsForm::TProjectOptionsForm(const TProjectServices& services, QWidget* parent)
    : QDialog(parent), FServices(services)
{
    setWindowTitle(QStringLiteral("Project Options"));
    setModal(true);
    // why: document roots are long paths; a narrow field hides the part that tells them apart.
    setMinimumWidth(480);
    auto* layout = new QVBoxLayout(this);

    const TDialogHeader header = MakeDialogHeader(this, QStringLiteral("Project:"));
    HeaderPanel = header.Caption;
    FHeaderComment = header.Comment;
    layout->addWidget(header.Panel);

    auto* projectGroup = new QGroupBox(QStringLiteral("Project"), this);
    auto* projectForm = new QFormLayout(projectGroup);
    edProjectName = MakeEdit(projectGroup, "edProjectName", "Project name");
    projectForm->addRow(QStringLiteral("Project Name"), edProjectName);
    layout->addWidget(projectGroup);

    auto* localGroup = new QGroupBox(QStringLiteral("Local Side"), this);
    auto* localForm = new QFormLayout(localGroup);
    cmbxHTTPServer = MakeDropDown(localGroup, "cmbxHTTPServer", "Select the server which you want to use");
    cmbxHTTPServer->addItems({QStringLiteral("-- Internal HTTP Server --"), QStringLiteral("-- 3rd Party HTTP Server --"),
                              QStringLiteral("-- None --")});
    edLocalURL = MakeEdit(localGroup, "edLocalURL", "Local URL");
    edLocalPath = MakeEdit(localGroup, "edLocalPath", "Local document root");
    btnBrowseLocalPath = new QToolButton(localGroup);
    btnBrowseLocalPath->setText(QStringLiteral("..."));
    auto* pathRow = new QHBoxLayout();
    pathRow->addWidget(edLocalPath);
    pathRow->addWidget(btnBrowseLocalPath);
    localForm->addRow(QStringLiteral("HTTP Server"), cmbxHTTPServer);
    localForm->addRow(QStringLiteral("Base URL"), edLocalURL);
    localForm->addRow(QStringLiteral("Root Directory"), pathRow);
    layout->addWidget(localGroup);

    auto* remoteGroup = new QGroupBox(QStringLiteral("Remote Side"), this);
    auto* remoteForm = new QFormLayout(remoteGroup);
    edRemoteURL = MakeEdit(remoteGroup, "edRemoteURL", "Remote URL");
    edRemotePath = MakeEdit(remoteGroup, "edRemotePath", "Remote document root");
    cmbxFTPAccount = MakeDropDown(remoteGroup, "cmbxFTPAccount", "Select the server FTP account");
    btnEditAccount = new QToolButton(remoteGroup);
    btnEditAccount->setText(QStringLiteral("..."));
    btnEditAccount->setEnabled(static_cast<bool>(FServices.EditFTPAccount));
    auto* accountRow = new QHBoxLayout();
    accountRow->addWidget(cmbxFTPAccount, 1);
    accountRow->addWidget(btnEditAccount);
    remoteForm->addRow(QStringLiteral("Base URL"), edRemoteURL);
    remoteForm->addRow(QStringLiteral("Remote Path"), edRemotePath);
    remoteForm->addRow(QStringLiteral("FTP Account"), accountRow);
    layout->addWidget(remoteGroup);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    btnApply = new QPushButton(QStringLiteral("&Apply"), this);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnApply->setDefault(true);
    buttons->addWidget(btnApply);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);

    for (QWidget* field : std::initializer_list<QWidget*>{edProjectName, edLocalURL, edLocalPath, edRemoteURL,
                                                          edRemotePath, cmbxHTTPServer, cmbxFTPAccount})
        field->installEventFilter(this);
    connect(cmbxHTTPServer, &QComboBox::currentIndexChanged, this, [this] { cmbxHTTPServerChange(); });
    connect(cmbxFTPAccount, &QComboBox::currentIndexChanged, this, [this] { cmbxFTPAccountChange(); });
    connect(btnEditAccount, &QToolButton::clicked, this, [this] { DoEditFTPAccount(); });
    connect(btnBrowseLocalPath, &QToolButton::clicked, this, [this] { BrowseLocalPath(); });
    connect(btnApply, &QPushButton::clicked, this, [this] { DoApply(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TProjectOptionsForm::~TProjectOptionsForm() = default;

void TProjectOptionsForm::LoadProject(const TGUID& project)
{
    if (project == FProject)
        return;
    FProject = project;
    const TIniFileEx& projects = *FServices.Projects;
    const TIniFileEx& settings = *FServices.Settings;
    FProjectLocalURL = ReadProjectString(projects, project, ProjectKeys::LocalURL, ProjectDefaults::DialogLocalURL);
    FSharedServerURL = Settings::HTTPServer::ServerURL.Read(settings);
    FProjectLocalPath = ReadProjectString(projects, project, ProjectKeys::LocalPath, "");
    if (FProjectLocalPath.empty())
        FProjectLocalPath = FServices.ProjectFolder;
    FSharedDocumentPath = Settings::HTTPServer::DocumentPath.Read(settings);
    if (FSharedDocumentPath.empty())
        FSharedDocumentPath = FServices.ProjectFolder;
    FChoice = ReadProjectServer(projects, project);
    ShowChoice();

    edProjectName->setText(QStr(ReadProjectString(projects, project, ProjectKeys::ProjectName, ProjectDefaults::ProjectName)));
    edRemoteURL->setText(QStr(ReadProjectString(projects, project, ProjectKeys::RemoteURL, ProjectDefaults::DialogRemoteURL)));
    edRemotePath->setText(QStr(ReadProjectString(projects, project, ProjectKeys::RemotePath, ProjectDefaults::RemotePath)));
    {
        // why: selecting the loaded choice is not a change of choice.
        const QSignalBlocker block(cmbxHTTPServer);
        cmbxHTTPServer->setCurrentIndex(FChoice >= 0 && FChoice <= 2 ? FChoice : -1);
    }
    FAccount = ReadProjectAccount(projects, project);
    FillAccountCombo(false);
}

void TProjectOptionsForm::ShowChoice()
{
    const bool local = FChoice == psInternal || FChoice == psThirdParty;
    if (FChoice == psInternal) {
        edLocalURL->setText(QStr(FProjectLocalURL));
        edLocalPath->setText(QStr(FProjectLocalPath));
    } else if (FChoice == psThirdParty) {
        edLocalURL->setText(QStr(FSharedServerURL));
        edLocalPath->setText(QStr(FSharedDocumentPath));
    } else {
        edLocalURL->clear();
        edLocalPath->clear();
    }
    edLocalURL->setEnabled(local);
    edLocalPath->setEnabled(local);
    btnBrowseLocalPath->setEnabled(local);
}

void TProjectOptionsForm::FillAccountCombo(bool clearOnly)
{
    const QSignalBlocker block(cmbxFTPAccount);
    cmbxFTPAccount->clear();
    if (clearOnly)
        return;
    cmbxFTPAccount->addItem(QStringLiteral("-- None --"), QStr(GUIDToString(NullGUID)));
    if (FServices.FTPAccounts)
        for (const TProjectListEntry& account : ReadAccountList(*FServices.FTPAccounts))
            cmbxFTPAccount->addItem(QStr(account.Name), QStr(GUIDToString(account.ID)));
    cmbxFTPAccount->setCurrentIndex(0);
    const int row = cmbxFTPAccount->findData(QStr(GUIDToString(FAccount)));
    if (row >= 0)
        cmbxFTPAccount->setCurrentIndex(row);
}

void TProjectOptionsForm::cmbxHTTPServerChange()
{
    if (FChoice == psInternal) {
        FProjectLocalURL = StdStr(edLocalURL->text());
        FProjectLocalPath = StdStr(edLocalPath->text());
    } else if (FChoice == psThirdParty) {
        FSharedServerURL = StdStr(edLocalURL->text());
        FSharedDocumentPath = StdStr(edLocalPath->text());
    }
    FChoice = cmbxHTTPServer->currentIndex();
    ShowChoice();
}

void TProjectOptionsForm::cmbxFTPAccountChange()
{
    const int row = cmbxFTPAccount->currentIndex();
    if (row >= 0)
        FAccount = StringToGUID(StdStr(cmbxFTPAccount->itemData(row).toString()));
}

void TProjectOptionsForm::DoEditFTPAccount()
{
    if (!FServices.EditFTPAccount)
        return;
    if (FAccount == NullGUID)
        FAccount = CreateGUID();
    if (FServices.EditFTPAccount(FAccount, this))
        FillAccountCombo(false);
    else
        FAccount = NullGUID;
}

bool TProjectOptionsForm::DoApply()
{
    const int choice = cmbxHTTPServer->currentIndex();
    bool valid = true;
    auto check = [&](QWidget* field, bool ok) {
        if (!ok) {
            SetFieldColor(field, InvalidFieldColor);
            valid = false;
        }
    };
    check(edProjectName, !edProjectName->text().isEmpty());
    if (choice != psNone) {
        check(edLocalURL, !edLocalURL->text().isEmpty());
        const std::string localPath = StdStr(edLocalPath->text());
        check(edLocalPath, !localPath.empty() && DirectoryExists(localPath));
    }
    check(edRemoteURL, !edRemoteURL->text().isEmpty());
    check(edRemotePath, !edRemotePath->text().isEmpty());
    if (!valid)
        return false;

    if (FProject == NullGUID)
        FProject = CreateGUID();
    const int accountRow = cmbxFTPAccount->currentIndex();
    if (accountRow >= 0)
        FAccount = StringToGUID(StdStr(cmbxFTPAccount->itemData(accountRow).toString()));

    TIniFileEx& projects = *FServices.Projects;
    if (choice == psInternal) {
        WriteProjectString(projects, FProject, ProjectKeys::LocalURL, StdStr(edLocalURL->text()));
        WriteProjectString(projects, FProject, ProjectKeys::LocalPath, StdStr(edLocalPath->text()));
    } else if (choice == psThirdParty) {
        Settings::HTTPServer::ServerURL.Write(*FServices.Settings, StdStr(edLocalURL->text()));
        Settings::HTTPServer::DocumentPath.Write(*FServices.Settings, StdStr(edLocalPath->text()));
    }
    WriteProjectString(projects, FProject, ProjectKeys::ProjectName, StdStr(edProjectName->text()));
    WriteProjectString(projects, FProject, ProjectKeys::RemoteURL, StdStr(edRemoteURL->text()));
    WriteProjectString(projects, FProject, ProjectKeys::RemotePath, StdStr(edRemotePath->text()));
    WriteProjectString(projects, FProject, ProjectKeys::FTPAccount, GUIDToString(FAccount));
    projects.WriteInteger(ProjectSection(FProject), std::string(ProjectKeys::HTTPServer), choice);
    projects.UpdateFile();

    if (FServices.CurrentProject)
        FServices.CurrentProject->OpenProject(FProject);
    accept();
    return true;
}

TColor TProjectOptionsForm::FieldColor(const QWidget* field) const
{
    return ::FieldColor(field);
}

void TProjectOptionsForm::DoEnter(QWidget* field)
{
    ClearFieldMark(field);
    DoShowHint(field);
}

void TProjectOptionsForm::DoShowHint(QWidget* field)
{
    FHeaderComment->setText(field->toolTip());
    FHeaderComment->update();
}

std::string TProjectOptionsForm::HeaderComment() const
{
    return StdStr(FHeaderComment->text());
}

bool TProjectOptionsForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        auto* field = static_cast<QWidget*>(watched);
        if (field == cmbxHTTPServer || field == cmbxFTPAccount)
            DoShowHint(field);
        else
            DoEnter(field);
    }
    return QDialog::eventFilter(watched, event);
}

void TProjectOptionsForm::BrowseLocalPath()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Root Directory"), edLocalPath->text());
    if (!folder.isEmpty())
        edLocalPath->setText(folder);
}
