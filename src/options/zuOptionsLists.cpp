// The application options' list pages: automatic correction, key mapping and file
// associations.

#include "options/zuApplicationOptionsForm.h"

#include "options/zuFileAssociations.h"
#include "options/zuOptionsControls.h"

#include "app/zuMainForm.h"
#include "app/zuFolders.h"
#include "documents/zuEditorModule.h"
#include "settings/zuSettings.h"

#include "SrcEdit/Source/autocorrect/SrcEditAutoCorrect.h"

#include "ExLib/run/lists/ExListBox.h"

#include "Platform/core/Application.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/Format.h"
#include "Platform/text/TextUtils.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace {

// Rows ordered by their first column without regard to letter case.
class TCorrectionItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int order = text(0).compare(other.text(0), Qt::CaseInsensitive);
        return order != 0 ? order < 0 : text(0) < other.text(0);
    }
};

// A caption as a list shows it: "&" marks removed, "&&" kept as one "&".
std::string WithoutAccelerator(const std::string& caption)
{
    std::string text;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        else if (caption[i] == '&')
            continue;
        text += caption[i];
    }
    return text;
}

// The main-menu entry that shows `action`: the action itself, or an entry made for it under
// the menu's own caption, which keeps the action in its data.
bool MenuHolds(const QMenu& menu, const TAction& action)
{
    for (QAction* entry : menu.actions()) {
        if (entry == &action || entry->data().value<QObject*>() == &action)
            return true;
        if (entry->menu() && MenuHolds(*entry->menu(), action))
            return true;
    }
    return false;
}

} // namespace

std::string ActionCategory(const TAction& action)
{
    if (MainForm)
        for (QAction* top : MainForm->menuBar()->actions())
            if (top->menu() && MenuHolds(*top->menu(), action))
                return WithoutAccelerator(StdStr(top->text()));
    return "Other";
}

// ---- Automatic Correction

QWidget* TApplicationOptionsForm::MakeAutoCorrectPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* options = new QGroupBox(QStringLiteral("Auto Correct Options"), page);
    auto* grid = new QGridLayout(options);
    cbAutoCorrect = new QCheckBox(QStringLiteral("&Enable Auto Correction"), options);
    cbCorrectOnMouseDown = new QCheckBox(QStringLiteral("Correct On Mouse Down"), options);
    cbIgnoreCase = new QCheckBox(QStringLiteral("&Ignore Case"), options);
    cbMaintainCase = new QCheckBox(QStringLiteral("Maintain &Case"), options);
    grid->addWidget(cbAutoCorrect, 0, 0);
    grid->addWidget(cbCorrectOnMouseDown, 0, 1);
    grid->addWidget(cbIgnoreCase, 1, 0);
    grid->addWidget(cbMaintainCase, 1, 1);
    layout->addWidget(options);

    lvCorrections = new QTreeWidget(page);
    lvCorrections->setObjectName(QStringLiteral("Corrections"));
    lvCorrections->setColumnCount(2);
    lvCorrections->setHeaderHidden(true);
    lvCorrections->setRootIsDecorated(false);
    lvCorrections->setColumnWidth(0, 180);
    layout->addWidget(lvCorrections, 1);

    auto* edits = new QGridLayout;
    edits->addWidget(new QLabel(QStringLiteral("&Replace:")), 0, 0);
    edReplace = new QLineEdit(page);
    edits->addWidget(edReplace, 1, 0);
    edits->addWidget(new QLabel(QStringLiteral("&With:")), 0, 1);
    edWith = new QLineEdit(page);
    edits->addWidget(edWith, 1, 1);
    layout->addLayout(edits);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btnAddCorrection = new QPushButton(QStringLiteral("&Add"), page);
    btnReplaceCorrection = new QPushButton(QStringLiteral("&Replace"), page);
    btnRemoveCorrection = new QPushButton(QStringLiteral("&Remove"), page);
    for (QPushButton* button : {btnAddCorrection, btnReplaceCorrection, btnRemoveCorrection})
        buttons->addWidget(button);
    layout->addLayout(buttons);

    connect(lvCorrections, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!item)
            return;
        edReplace->setText(item->text(0));
        edWith->setText(item->text(1));
    });
    connect(btnAddCorrection, &QPushButton::clicked, this, [this] { AddCorrection(); });
    connect(btnReplaceCorrection, &QPushButton::clicked, this, [this] { ReplaceCorrection(); });
    connect(btnRemoveCorrection, &QPushButton::clicked, this, [this] { RemoveCorrection(); });
    return page;
}

void TApplicationOptionsForm::LoadAutoCorrect()
{
    const TSrcAutoCorrect& component = *EditorModule->AutoCorrection;
    cbAutoCorrect->setChecked(component.Enabled);
    cbCorrectOnMouseDown->setChecked(component.Options.Contains(ascoCorrectOnMouseDown));
    cbIgnoreCase->setChecked(component.Options.Contains(ascoIgnoreCase));
    cbMaintainCase->setChecked(component.Options.Contains(ascoMaintainCase));
    lvCorrections->clear();
    for (int i = 0; i < component.Items().Count(); ++i) {
        const std::string& item = component.Items()[i];
        const size_t separator = item.find(component.ItemSepChar);
        const std::string original = item.substr(0, separator);
        const std::string correction = separator == std::string::npos ? std::string() : item.substr(separator + 1);
        new TCorrectionItem(lvCorrections, QStringList{QStr(original), QStr(correction)});
    }
    SortCorrections();
}

void TApplicationOptionsForm::SortCorrections()
{
    lvCorrections->sortItems(0, Qt::AscendingOrder);
}

void TApplicationOptionsForm::AddCorrection()
{
    const QString original = edReplace->text();
    // why: an item without its typed text never corrects anything; one with a tab or a line
    // break would be read back as another item
    if (original.isEmpty() || original.contains(QLatin1Char('\t')) || edWith->text().contains(QLatin1Char('\t')))
        return;
    const Qt::CaseSensitivity sensitivity = cbIgnoreCase->isChecked() ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (int i = 0; i < lvCorrections->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lvCorrections->topLevelItem(i);
        if (item->text(0).compare(original, sensitivity) == 0) {
            lvCorrections->setCurrentItem(item);
            return;
        }
    }
    auto* item = new TCorrectionItem(lvCorrections, QStringList{original, edWith->text()});
    lvCorrections->setCurrentItem(item);
    SortCorrections();
    edReplace->setFocus();
}

void TApplicationOptionsForm::ReplaceCorrection()
{
    QTreeWidgetItem* item = lvCorrections->currentItem();
    if (!item || edReplace->text().isEmpty() || edWith->text().isEmpty())
        return;
    if (edReplace->text().contains(QLatin1Char('\t')) || edWith->text().contains(QLatin1Char('\t')))
        return;
    item->setText(0, edReplace->text());
    item->setText(1, edWith->text());
    SortCorrections();
}

void TApplicationOptionsForm::RemoveCorrection()
{
    delete lvCorrections->currentItem();
}

void TApplicationOptionsForm::ApplyAutoCorrect()
{
    TSrcAutoCorrect& component = *EditorModule->AutoCorrection;
    component.Enabled = cbAutoCorrect->isChecked();
    TAsSrcAutoCorrectOptions options;
    if (cbIgnoreCase->isChecked())
        options.Include(ascoIgnoreCase);
    if (cbMaintainCase->isChecked())
        options.Include(ascoMaintainCase);
    if (cbCorrectOnMouseDown->isChecked())
        options.Include(ascoCorrectOnMouseDown);
    component.Options = options;
    TIniFileEx& ini = *SettingsFile;
    Settings::AutoCorrection::Enabled.Write(ini, component.Enabled);
    Settings::AutoCorrection::IgnoreCase.Write(ini, cbIgnoreCase->isChecked());
    Settings::AutoCorrection::MaintainCase.Write(ini, cbMaintainCase->isChecked());
    Settings::AutoCorrection::MouseDown.Write(ini, cbCorrectOnMouseDown->isChecked());
    TStringList items;
    for (int i = 0; i < lvCorrections->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lvCorrections->topLevelItem(i);
        items.Add(StdStr(item->text(0)) + component.ItemSepChar + StdStr(item->text(1)));
    }
    component.SetItems(items);
    component.SaveItemsToFile(UserFolder + std::string(AutoCorrectFileName));
}

// ---- Key Mapping

QWidget* TApplicationOptionsForm::MakeKeyMapPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Categories:")), 0, 0);
    lbCategories = new TExListBox(nullptr, page);
    lbCategories->setObjectName(QStringLiteral("Categories"));
    lbCategories->SetSorted(true);
    lbCategories->setFixedWidth(130);
    layout->addWidget(lbCategories, 1, 0, 4, 1);
    layout->addWidget(new QLabel(QStringLiteral("Commands:")), 0, 1);
    lvCommands = new QTreeWidget(page);
    lvCommands->setObjectName(QStringLiteral("Commands"));
    lvCommands->setColumnCount(2);
    lvCommands->setHeaderLabels({QStringLiteral("Command"), QStringLiteral("ShortCut")});
    lvCommands->setRootIsDecorated(false);
    lvCommands->setUniformRowHeights(true);
    lvCommands->setIconSize(QSize(16, 16));
    lvCommands->setColumnWidth(0, 220);
    layout->addWidget(lvCommands, 1, 1, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("Current ShortCut:")), 2, 1);
    edCurrentShortCut = new QLineEdit(page);
    edCurrentShortCut->setReadOnly(true);
    layout->addWidget(edCurrentShortCut, 2, 2);
    btnAssign = new QPushButton(QStringLiteral("Assign"), page);
    layout->addWidget(btnAssign, 2, 3);
    layout->addWidget(new QLabel(QStringLiteral("New ShortCut:")), 3, 1);
    hkNewShortCut = new QKeySequenceEdit(page);
    // why: a shortcut of the key map is one key with its modifiers
    connect(hkNewShortCut, &QKeySequenceEdit::keySequenceChanged, this, [this](const QKeySequence& sequence) {
        if (sequence.count() > 1)
            hkNewShortCut->setKeySequence(QKeySequence(sequence[0]));
    });
    layout->addWidget(hkNewShortCut, 3, 2);
    btnClearShortCut = new QPushButton(QStringLiteral("Clear"), page);
    layout->addWidget(btnClearShortCut, 3, 3);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(2, 1);

    connect(lbCategories, &QListWidget::currentRowChanged, this, [this](int row) { ChooseCategory(row); });
    connect(lvCommands, &QTreeWidget::currentItemChanged, this, [this] { ShowCommand(); });
    connect(btnAssign, &QPushButton::clicked, this, [this] { RunGuarded([this] { AssignShortCut(); }); });
    connect(btnClearShortCut, &QPushButton::clicked, this, [this] { ClearShortCut(); });
    return page;
}

void TApplicationOptionsForm::LoadKeyMap()
{
    FSavedShortCuts.clear();
    std::set<std::string> seen;
    lbCategories->Items().Clear();
    for (TAction* action : MainForm->ActionList.Actions()) {
        FSavedShortCuts.emplace_back(action, action->ShortCut());
        const std::string category = ActionCategory(*action);
        if (seen.insert(category).second)
            lbCategories->Items().Add(category);
    }
    lbCategories->SetItemIndex(0);
    ChooseCategory(0);
}

void TApplicationOptionsForm::ChooseCategory(int index)
{
    FCategoryCommands.clear();
    if (index >= 0 && index < lbCategories->Items().Count()) {
        const std::string category = lbCategories->Items()[index];
        for (TAction* action : MainForm->ActionList.Actions())
            if (ActionCategory(*action) == category)
                FCategoryCommands.push_back(action);
    }
    FillCommands();
}

void TApplicationOptionsForm::FillCommands()
{
    const int row = lvCommands->currentItem() ? lvCommands->indexOfTopLevelItem(lvCommands->currentItem()) : 0;
    // why: captions of commands without an image line up with the others
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    const QIcon blankIcon(blank);
    lvCommands->clear();
    for (TAction* action : FCategoryCommands) {
        auto* item = new QTreeWidgetItem(lvCommands, QStringList{QStr(WithoutAccelerator(action->Caption())),
                                                                  QStr(ShortCutToText(action->ShortCut()))});
        item->setIcon(0, action->icon().isNull() ? blankIcon : action->icon());
    }
    if (lvCommands->topLevelItemCount() > 0)
        lvCommands->setCurrentItem(lvCommands->topLevelItem(std::clamp(row, 0, lvCommands->topLevelItemCount() - 1)));
    ShowCommand();
}

TAction* TApplicationOptionsForm::ChosenCommand() const
{
    QTreeWidgetItem* item = lvCommands->currentItem();
    const int row = item ? lvCommands->indexOfTopLevelItem(item) : -1;
    return row >= 0 && row < static_cast<int>(FCategoryCommands.size()) ? FCategoryCommands[static_cast<size_t>(row)]
                                                                         : nullptr;
}

void TApplicationOptionsForm::ShowCommand()
{
    const TAction* action = ChosenCommand();
    edCurrentShortCut->setText(action ? QStr(ShortCutToText(action->ShortCut())) : QString());
    hkNewShortCut->clear();
}

void TApplicationOptionsForm::AssignShortCut()
{
    TAction* action = ChosenCommand();
    if (!action)
        return;
    const TShortCut shortCut = KeySequenceToShortCut(hkNewShortCut->keySequence());
    if (shortCut == action->ShortCut())
        return;
    FKeymapChanged = true;
    if (shortCut != scNone)
        for (TAction* other : MainForm->ActionList.Actions()) {
            if (other == action || other->ShortCut() != shortCut)
                continue;
            const std::string question =
                Format("Selected shortcut [%s] is assigned to \"%s\". Would you like to overwrite it ?",
                       {ShortCutToText(shortCut), WithoutAccelerator(other->Caption())});
            if (Application()->MessageBox(question, "Confirmation", MB_YESNO | MB_ICONQUESTION) != IDYES)
                return;
            other->SetShortCut(scNone);
            break;
        }
    action->SetShortCut(shortCut);
    MainForm->UpdateWindowKeys();
    FillCommands();
}

void TApplicationOptionsForm::ClearShortCut()
{
    TAction* action = ChosenCommand();
    if (!action)
        return;
    action->SetShortCut(scNone);
    FKeymapChanged = true;
    MainForm->UpdateWindowKeys();
    FillCommands();
}

// ---- File Associations

QWidget* TApplicationOptionsForm::MakeAssociationsPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Associated File Types:")), 0, 0);
    lbFileTypes = new TExListBox(nullptr, page);
    lbFileTypes->setObjectName(QStringLiteral("FileTypes"));
    lbFileTypes->SetSorted(true);
    layout->addWidget(lbFileTypes, 1, 0, 4, 1);
    layout->addWidget(new QLabel(QStringLiteral("Extension:")), 1, 1);
    edExtension = new QLineEdit(page);
    edExtension->setMaxLength(32);
    KeepLowerCase(*edExtension);
    layout->addWidget(edExtension, 2, 1);
    btnAddFileType = new QPushButton(QStringLiteral("Add"), page);
    btnRemoveFileType = new QPushButton(QStringLiteral("Remove"), page);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnAddFileType);
    buttons->addWidget(btnRemoveFileType);
    layout->addLayout(buttons, 3, 1);
    layout->setRowStretch(4, 1);
    connect(btnAddFileType, &QPushButton::clicked, this, [this] { AddFileType(); });
    connect(btnRemoveFileType, &QPushButton::clicked, this, [this] { RemoveFileType(); });
    return page;
}

void TApplicationOptionsForm::LoadAssociations()
{
    TStringList stored;
    ReadNumberedList(*SettingsFile, Settings::AssociatedFileTypesSection, stored);
    lbFileTypes->Items().Clear();
    for (int i = 0; i < stored.Count(); ++i)
        lbFileTypes->Items().Add(stored[i]);
}

void TApplicationOptionsForm::AddFileType()
{
    const std::string extension = NormalizeExtension(StdStr(edExtension->text()));
    if (extension.empty()) {
        QApplication::beep();
        edExtension->setFocus();
        return;
    }
    FAssociationsChanged = true;
    bool listed = false;
    for (int i = 0; i < lbFileTypes->Items().Count(); ++i)
        listed = listed || SameText(lbFileTypes->Items()[i], extension);
    if (!listed)
        lbFileTypes->Items().Add(extension);
    edExtension->clear();
    edExtension->setFocus();
}

void TApplicationOptionsForm::RemoveFileType()
{
    const int index = lbFileTypes->ItemIndex();
    if (index < 0 || index >= lbFileTypes->Items().Count())
        return;
    lbFileTypes->Items().Delete(index);
    FAssociationsChanged = true;
}
