// The project manager.

#include "projects/zuProjectManager.h"

#include "settings/zentuIniFiles.h"
#include "projects/zuCurrentProject.h"
#include "projects/zuProjects.h"

#include "Platform/graphics/PainterState.h"
#include "Platform/core/QtBridge.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

constexpr int GUIDRole = Qt::UserRole;
constexpr int IconSize = 16;
constexpr int RowHeight = 22;

// One row: the project icon 10 pixels from the left and 1 below the top, the name 15 pixels
// after it up to 3 pixels before the right edge, a silver line on the row's last pixel line.
class TProjectRowDelegate : public QStyledItemDelegate {
public:
    TProjectRowDelegate(QObject* parent, QIcon icon) : QStyledItemDelegate(parent), FIcon(std::move(icon)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const TPainterStateGuard state(painter);
        const QRect row = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(row, selected ? option.palette.highlight() : option.palette.base());
        const QPixmap image = FIcon.pixmap(IconSize, IconSize);
        painter->drawPixmap(row.left() + 10, row.top() + 1, image);
        const QRect textRect(row.left() + 10 + IconSize + 15, row.top(), row.width() - (10 + IconSize + 15) - 3,
                             row.height());
        painter->setPen(selected ? option.palette.highlightedText().color() : option.palette.text().color());
        const QString text = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                                           textRect.width());
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        painter->setPen(QColor(0xC0, 0xC0, 0xC0));
        const int width = option.widget ? option.widget->width() : row.width();
        painter->drawLine(0, row.bottom(), width, row.bottom());
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), RowHeight};
    }

private:
    QIcon FIcon;
};

} // namespace

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
    ProjectList->setItemDelegate(new TProjectRowDelegate(ProjectList, icon));
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
    if (clearOnly)
        return;
    for (const TProjectListEntry& project : ReadProjectList(*FServices.Projects)) {
        auto* item = new QListWidgetItem(QStr(project.Name), ProjectList);
        item->setData(GUIDRole, QStr(GUIDToString(project.ID)));
    }
}

std::vector<TGUID> TProjectManagerForm::ProjectIDs() const
{
    std::vector<TGUID> ids;
    for (int row = 0; row < ProjectList->count(); ++row)
        ids.push_back(StringToGUID(StdStr(ProjectList->item(row)->data(GUIDRole).toString())));
    return ids;
}

std::vector<std::string> TProjectManagerForm::ProjectNames() const
{
    std::vector<std::string> names;
    for (int row = 0; row < ProjectList->count(); ++row)
        names.push_back(StdStr(ProjectList->item(row)->text()));
    return names;
}

void TProjectManagerForm::SelectRow(int row)
{
    ProjectList->setCurrentRow(row);
}

bool TProjectManagerForm::SelectedProject(TGUID& project) const
{
    const QListWidgetItem* item = ProjectList->currentItem();
    if (!item || !item->isSelected())
        return false;
    project = StringToGUID(StdStr(item->data(GUIDRole).toString()));
    return true;
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
