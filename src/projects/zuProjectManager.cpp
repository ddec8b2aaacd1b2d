// The project manager.

#include "projects/zuProjectManager.h"

#include "settings/zentuIniFiles.h"
#include "projects/zuCurrentProject.h"
#include "projects/zuGuidList.h"
#include "projects/zuProjects.h"

#include "Platform/core/QtBridge.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TProjectManagerForm::TProjectManagerForm(const TProjectServices& services, QWidget* parent)
    : QDialog(parent), FServices(services)
{
    setWindowTitle(QStringLiteral("Project Manager"));
    setModal(true);
    auto* layout = new QHBoxLayout(this);
    ProjectList = new QListWidget(this);
    ProjectList->setObjectName(QStringLiteral("ProjectList"));
    ProjectList->setUniformItemSizes(true);
    QIcon icon = FServices.ProjectIcon;
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    ProjectList->setItemDelegate(new TListRowDelegate(ProjectList, icon));
    layout->addWidget(ProjectList, 1);

    auto* buttons = new QVBoxLayout();
    btnNewProject = new QPushButton(QStringLiteral("New Project"), this);
    btnEditProject = new QPushButton(QStringLiteral("Edit Project"), this);
    btnOpenProject = new QPushButton(QStringLiteral("Open Project"), this);
    btnRemoveProject = new QPushButton(QStringLiteral("Remove Project"), this);
    btnClose = new QPushButton(QStringLiteral("Close"), this);
    for (QPushButton* button : {btnNewProject, btnEditProject, btnOpenProject, btnRemoveProject, btnClose}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    resize(460, 300);

    connect(btnNewProject, &QPushButton::clicked, this, [this] { DoNewProject(); });
    connect(btnEditProject, &QPushButton::clicked, this, [this] { DoEditProject(); });
    connect(btnOpenProject, &QPushButton::clicked, this, [this] { DoOpenProject(); });
    connect(btnRemoveProject, &QPushButton::clicked, this, [this] { DoRemoveProject(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(ProjectList, &QListWidget::itemDoubleClicked, this, [this] { DoEditProject(); });

    FillProjectList(false);
}

TProjectManagerForm::~TProjectManagerForm() = default;

void TProjectManagerForm::FillProjectList(bool clearOnly)
{
    ProjectList->clear();
    if (!clearOnly)
        FillGuidList(*ProjectList, ReadProjectList(*FServices.Projects));
}

std::vector<TGUID> TProjectManagerForm::ProjectIDs() const
{
    return GuidListIDs(*ProjectList);
}

std::vector<std::string> TProjectManagerForm::ProjectNames() const
{
    return GuidListNames(*ProjectList);
}

void TProjectManagerForm::SelectRow(int row)
{
    ProjectList->setCurrentRow(row);
}

bool TProjectManagerForm::SelectedProject(TGUID& project) const
{
    return SelectedGuid(*ProjectList, project);
}

void TProjectManagerForm::ShowOptions(const TGUID& project)
{
    TProjectOptionsForm dialog(FServices, this);
    dialog.LoadProject(project);
    if (ExecuteOptions(dialog) == QDialog::Accepted)
        FillProjectList(false);
}

void TProjectManagerForm::DoNewProject()
{
    ShowOptions(CreateGUID());
}

void TProjectManagerForm::DoEditProject()
{
    TGUID project;
    if (SelectedProject(project))
        ShowOptions(project);
}

void TProjectManagerForm::DoOpenProject()
{
    TGUID project;
    if (!SelectedProject(project))
        return;
    if (FServices.CurrentProject)
        FServices.CurrentProject->OpenProject(project);
    accept();
}

void TProjectManagerForm::DoRemoveProject()
{
    TGUID project;
    if (!SelectedProject(project))
        return;
    FServices.Projects->EraseSection(ProjectSection(project));
    FServices.Projects->UpdateFile();
    FillProjectList(false);
}

bool ExecuteNewProject(const TProjectServices& services, QWidget* parent,
                       const std::function<int(TProjectOptionsForm&)>& execute)
{
    const TGUID project = CreateGUID();
    TProjectOptionsForm dialog(services, parent);
    dialog.LoadProject(project);
    const int result = execute ? execute(dialog) : dialog.exec();
    if (result != QDialog::Accepted)
        return false;
    if (services.CurrentProject)
        services.CurrentProject->OpenProject(project);
    return true;
}
