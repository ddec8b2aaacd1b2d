#include "search/zuExFindForm.h"

#include "search/zuDialogPlacement.h"
#include "search/zuSearchHistory.h"
#include "settings/zuSettings.h"

#include "Platform/core/QtBridge.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

TExFindForm::TExFindForm(TIniFileEx* settings, const std::string& wordAtCaret, const std::string& defaultFolder,
                         QWidget* parent)
    : QDialog(parent), FSettings(settings)
{
    setObjectName(QStringLiteral("ExFindForm"));
    setWindowTitle(QStringLiteral("Find in Files"));
    auto* layout = new QVBoxLayout(this);

    auto* find = new QLabel(QStringLiteral("Find"), this);
    layout->addWidget(find);
    cmPattern = new QComboBox(this);
    cmPattern->setObjectName(QStringLiteral("cmPattern"));
    cmPattern->setEditable(true);
    cmPattern->setInsertPolicy(QComboBox::NoInsert);
    cmPattern->lineEdit()->setMaxLength(TSearcher::MaxPatternLength);
    cmPattern->setMinimumWidth(360);
    find->setBuddy(cmPattern);
    layout->addWidget(cmPattern);

    auto* where = new QGroupBox(QStringLiteral("Where"), this);
    where->setObjectName(QStringLiteral("rgWhere"));
    auto* whereLayout = new QGridLayout(where);
    rgWhere = new QButtonGroup(this);
    const char* scopes[] = {"Current File Only", "All Opened Files", "Search in Active Project",
                            "Search in Directories"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QRadioButton(QString::fromUtf8(scopes[i]), where);
        rgWhere->addButton(button, i);
        whereLayout->addWidget(button, i / 2, i % 2);
    }
    layout->addWidget(where);

    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    auto* optionsLayout = new QHBoxLayout(options);
    const auto addCheck = [&](const char* name, const char* caption) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), options);
        box->setObjectName(QString::fromUtf8(name));
        optionsLayout->addWidget(box);
        return box;
    };
    ckbxNoCase = addCheck("ckbxNoCase", "Case Sensitive");
    ckbxWholeWords = addCheck("ckbxWholeWords", "Whole Words Only");
    ckbxSubDirs = addCheck("ckbxSubDirs", "Recurse in subdirectories");
    layout->addWidget(options);

    auto* folderLabel = new QLabel(QStringLiteral("Directory"), this);
    layout->addWidget(folderLabel);
    auto* folderRow = new QHBoxLayout();
    cmPath = new QLineEdit(this);
    cmPath->setObjectName(QStringLiteral("cmPath"));
    folderLabel->setBuddy(cmPath);
    btnBrowse = new QToolButton(this);
    btnBrowse->setText(QStringLiteral("..."));
    connect(btnBrowse, &QToolButton::clicked, this, [this] { Browse(); });
    folderRow->addWidget(cmPath);
    folderRow->addWidget(btnBrowse);
    layout->addLayout(folderRow);

    auto* masksLabel = new QLabel(QStringLiteral("Document(s)"), this);
    layout->addWidget(masksLabel);
    cmExtensions = new QLineEdit(this);
    cmExtensions->setObjectName(QStringLiteral("cmExtensions"));
    masksLabel->setBuddy(cmExtensions);
    layout->addWidget(cmExtensions);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* findButton = buttons->addButton(QStringLiteral("&Find"), QDialogButtonBox::AcceptRole);
    findButton->setDefault(true);
    buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    std::vector<std::string> history;
    std::string folder = defaultFolder;
    std::string masks(Settings::Find::Filter.Default);
    if (FSettings) {
        history = ReadSearchHistory(*FSettings, Settings::Find::Section);
        folder = Settings::Find::Path.Read(*FSettings, defaultFolder);
        masks = Settings::Find::Filter.Read(*FSettings);
    }
    FillHistoryBox(*cmPattern, history, wordAtCaret);
    cmPattern->lineEdit()->selectAll();
    cmPath->setText(QStr(folder));
    cmExtensions->setText(QStr(masks));
    connect(rgWhere, &QButtonGroup::idClicked, this, [this] { ScopeChanged(); });
    SetScope(TGrepSettings::gsFolder);
    cmPattern->setFocus();
}

int TExFindForm::Scope() const
{
    return rgWhere->checkedId();
}

void TExFindForm::SetScope(int scope)
{
    if (QAbstractButton* button = rgWhere->button(scope))
        button->setChecked(true);
    ScopeChanged();
}

void TExFindForm::ScopeChanged()
{
    const int scope = Scope();
    cmPath->setEnabled(scope == TGrepSettings::gsFolder);
    btnBrowse->setEnabled(scope == TGrepSettings::gsFolder);
    cmExtensions->setEnabled(scope == TGrepSettings::gsActiveProject || scope == TGrepSettings::gsFolder);
}

void TExFindForm::Browse()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Directory"), cmPath->text());
    if (!folder.isEmpty())
        cmPath->setText(folder);
}

TGrepSettings TExFindForm::Parameters() const
{
    TGrepSettings parameters;
    parameters.CaseSensitive = ckbxNoCase->isChecked();
    parameters.WholeWords = ckbxWholeWords->isChecked();
    parameters.Recurse = ckbxSubDirs->isChecked();
    parameters.Folder = StdStr(cmPath->text());
    parameters.Masks = StdStr(cmExtensions->text());
    parameters.SearchText = StdStr(cmPattern->currentText());
    parameters.Scope = static_cast<std::uint8_t>(Scope());
    return parameters;
}

void TExFindForm::done(int result)
{
    if (FSettings) {
        std::vector<std::string> history = HistoryOfBox(*cmPattern);
        PushSearchHistory(history, StdStr(cmPattern->currentText()));
        WriteSearchHistory(*FSettings, Settings::Find::Section, history);
        Settings::Find::Path.Write(*FSettings, StdStr(cmPath->text()));
        Settings::Find::Filter.Write(*FSettings, StdStr(cmExtensions->text()));
    }
    QDialog::done(result);
}

void TExFindForm::showEvent(QShowEvent* event)
{
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}
