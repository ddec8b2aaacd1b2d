// The template dialog.

#include "documents/zuTemplateForm.h"

#include "app/zuFolders.h"
#include "app/zuMainForm.h"
#include "app/zuScopeGuards.h"

#include "Platform/files/FileNames.h"
#include "Platform/core/QtBridge.h"

#include <QDir>
#include <QFileIconProvider>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>
#include <utility>

namespace {

constexpr int PathRole = Qt::UserRole;

// Enter on the list opens the template when the key is released.
class TEnterFilter : public QObject {
public:
    TEnterFilter(QObject* parent, std::function<void()> onEnter) : QObject(parent), FOnEnter(std::move(onEnter)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                FOnEnter();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> FOnEnter;
};

} // namespace

TTemplateForm::TTemplateForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Template"));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    FTemplateList = new QListWidget(this);
    FTemplateList->setObjectName(QStringLiteral("TemplateList"));
    FTemplateList->setViewMode(QListView::IconMode);
    FTemplateList->setResizeMode(QListView::Adjust);
    FTemplateList->setMovement(QListView::Static);
    FTemplateList->setIconSize(QSize(32, 32));
    FTemplateList->setGridSize(QSize(110, 72));
    FTemplateList->setSortingEnabled(true);
    layout->addWidget(FTemplateList);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    auto* open = new QPushButton(QStringLiteral("&Open"), this);
    auto* closeButton = new QPushButton(QStringLiteral("&Close"), this);
    open->setDefault(false);
    open->setAutoDefault(false);
    closeButton->setAutoDefault(false);
    buttons->addWidget(open);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    resize(420, 300);
    setMinimumSize(420, 300);

    connect(open, &QPushButton::clicked, this, [this] { OpenClick(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(FTemplateList, &QListWidget::itemDoubleClicked, this, [this] { OpenSelected(); });
    FTemplateList->installEventFilter(new TEnterFilter(this, [this] { OpenSelected(); }));

    if (DirectoryExists(TemplateFolder)) {
        const TWaitCursor wait;
        const TUpdatesLock updates(FTemplateList);
        const QDir folder(QStr(TemplateFolder));
        for (const QFileInfo& entry : folder.entryInfoList(QDir::Files | QDir::NoDotAndDotDot))
            AddTemplateFile(StdStr(entry.absoluteFilePath()));
    }
}

void TTemplateForm::AddTemplateFile(const std::string& path)
{
    const std::string name = ExtractFileName(path);
    const std::string extension = ExtractFileExt(name);
    auto* item = new QListWidgetItem(QStr(name.substr(0, name.size() - extension.size())));
    item->setData(PathRole, QStr(path));
    item->setIcon(QFileIconProvider().icon(QFileInfo(QStr(path))));
    FTemplateList->addItem(item);
}

std::vector<std::string> TTemplateForm::Captions() const
{
    std::vector<std::string> captions;
    for (int i = 0; i < FTemplateList->count(); ++i)
        captions.push_back(StdStr(FTemplateList->item(i)->text()));
    return captions;
}

bool TTemplateForm::SelectTemplate(const std::string& caption)
{
    for (int i = 0; i < FTemplateList->count(); ++i)
        if (StdStr(FTemplateList->item(i)->text()) == caption) {
            FTemplateList->setCurrentRow(i);
            return true;
        }
    return false;
}

void TTemplateForm::OpenSelected()
{
    QListWidgetItem* item = FTemplateList->currentItem();
    if (!item || !item->isSelected())
        return;
    OpenClick();
}

void TTemplateForm::OpenClick()
{
    QListWidgetItem* item = FTemplateList->currentItem();
    const std::string path = item && item->isSelected() ? StdStr(item->data(PathRole).toString()) : std::string();
    accept();
    if (!path.empty() && MainForm)
        MainForm->OpenFile(path, true, 0);
}
