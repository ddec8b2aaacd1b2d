// The script parameters dialog.

#include "run/zuScriptParametersForm.h"

#include "documents/zuCodeEditorForm.h"

#include "Platform/core/Application.h"
#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/Strings.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>

namespace {

constexpr std::string_view sKeyConflict = "A key with the name of \"%s\" already exists";

std::string CellText(const QTableWidget& grid, int row, int column)
{
    const QTableWidgetItem* item = grid.item(row, column);
    return item ? StdStr(item->text()) : std::string();
}

// Deletes the current row on Ctrl+Delete, as name/value grids do.
class TRowDeleter : public QObject {
public:
    explicit TRowDeleter(QTableWidget* grid) : QObject(grid), FGrid(grid) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier && FGrid->currentRow() >= 0 &&
                FGrid->currentRow() < FGrid->rowCount() - 1) {
                FGrid->removeRow(FGrid->currentRow());
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTableWidget* FGrid;
};

} // namespace

TScriptParametersForm::TScriptParametersForm(TCodeEditorForm* document, QWidget* parent)
    : QDialog(parent), FDocument(document)
{
    setObjectName(QStringLiteral("ScriptParametersForm"));
    setWindowTitle(QStringLiteral("Script Parameters"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    ParameterEditor = new QTableWidget(0, 2, this);
    ParameterEditor->setObjectName(QStringLiteral("ParameterEditor"));
    ParameterEditor->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Value")});
    ParameterEditor->setColumnWidth(0, 150);
    ParameterEditor->setColumnWidth(1, 316);
    ParameterEditor->horizontalHeader()->setStretchLastSection(true);
    ParameterEditor->verticalHeader()->hide();
    ParameterEditor->setMinimumWidth(150 + 316 + 4);
    ParameterEditor->installEventFilter(new TRowDeleter(ParameterEditor));
    connect(ParameterEditor, &QTableWidget::cellChanged, this, [this] { EnsureEmptyLastRow(); });

    ParameterType = new QComboBox(this);
    ParameterType->setObjectName(QStringLiteral("ParameterType"));
    ParameterType->addItems({QStringLiteral("GET"), QStringLiteral("POST")});

    auto* clearAll = new QPushButton(QStringLiteral("Clear All"), this);
    auto* apply = new QPushButton(QStringLiteral("Apply"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    apply->setDefault(true);
    connect(clearAll, &QPushButton::clicked, this, [this] { ClearAllClick(); });
    connect(apply, &QPushButton::clicked, this, [this] { ApplyClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("Request Type"), this));
    buttons->addWidget(ParameterType);
    buttons->addStretch();
    buttons->addWidget(clearAll);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ParameterEditor, 1);
    layout->addLayout(buttons);
    resize(500, 300);

    if (FDocument) {
        SetParameterLines(FDocument->ScriptParameters());
        ParameterType->setCurrentIndex(FDocument->RequestMethod == 1 ? 1 : 0);
    } else {
        EnsureEmptyLastRow();
    }
}

void TScriptParametersForm::EnsureEmptyLastRow()
{
    const int rows = ParameterEditor->rowCount();
    if (rows > 0 && CellText(*ParameterEditor, rows - 1, 0).empty() && CellText(*ParameterEditor, rows - 1, 1).empty())
        return;
    const QSignalBlocker block(ParameterEditor);
    ParameterEditor->insertRow(rows);
}

void TScriptParametersForm::SetParameterLines(const TStrings& lines)
{
    {
        const QSignalBlocker block(ParameterEditor);
        ParameterEditor->setRowCount(0);
        for (int i = 0; i < lines.Count(); ++i) {
            const std::string line = lines[i];
            const size_t equals = line.find('=');
            ParameterEditor->insertRow(i);
            ParameterEditor->setItem(i, 0, new QTableWidgetItem(QStr(line.substr(0, equals))));
            ParameterEditor->setItem(
                i, 1, new QTableWidgetItem(equals == std::string::npos ? QString() : QStr(line.substr(equals + 1))));
        }
    }
    EnsureEmptyLastRow();
}

void TScriptParametersForm::GetParameterLines(TStrings& lines) const
{
    lines.Clear();
    for (int row = 0; row < ParameterEditor->rowCount(); ++row) {
        const std::string name = CellText(*ParameterEditor, row, 0);
        if (!name.empty())
            lines.Add(name + "=" + CellText(*ParameterEditor, row, 1));
    }
}

std::string TScriptParametersForm::DuplicateName() const
{
    std::set<std::string> names;
    for (int row = 0; row < ParameterEditor->rowCount(); ++row) {
        const std::string name = CellText(*ParameterEditor, row, 0);
        if (!name.empty() && !names.insert(name).second)
            return name;
    }
    return {};
}

void TScriptParametersForm::ClearAllClick()
{
    {
        const QSignalBlocker block(ParameterEditor);
        ParameterEditor->setRowCount(0);
    }
    EnsureEmptyLastRow();
}

void TScriptParametersForm::ApplyClick()
{
    if (const std::string duplicate = DuplicateName(); !duplicate.empty()) {
        ShowMessageBox(Format(sKeyConflict, {duplicate}), MB_OK | MB_ICONERROR);
        return;
    }
    if (FDocument) {
        GetParameterLines(FDocument->ScriptParameters());
        FDocument->RequestMethod = static_cast<std::uint8_t>(ParameterType->currentIndex() == 1 ? 1 : 0);
    }
    accept();
}
