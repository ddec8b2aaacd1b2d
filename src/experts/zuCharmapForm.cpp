#include "experts/zuCharmapForm.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/QtBridge.h"
#include "Platform/text/TextChars.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>

TEntityLine ParseEntityLine(const std::string& line)
{
    TEntityLine entity;
    const size_t first = line.find('\t');
    const size_t last = line.rfind('\t');
    const size_t end = first == std::string::npos ? line.size() : first;
    entity.Character = line.substr(0, line.empty() ? 0 : std::min(end, static_cast<size_t>(TextChars::CharLength(line, 0))));
    if (first != last)
        entity.Insert = line.substr(first + 1, last - first - 1);
    entity.Hint = last == std::string::npos ? line : line.substr(last + 1);
    return entity;
}

TCharmapForm::TCharmapForm(const std::string& entityFile, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("HTML Entities"));
    FEntities.LoadFromFile(entityFile);
    // The list's own index error for a short file, before any window exists.
    (void)FEntities.Get(GridColumns * GridRows - 1);

    EntityGrid = new QTableWidget(GridRows, GridColumns, this);
    EntityGrid->setObjectName(QStringLiteral("EntityGrid"));
    EntityGrid->horizontalHeader()->hide();
    EntityGrid->verticalHeader()->hide();
    EntityGrid->horizontalHeader()->setMinimumSectionSize(1);
    EntityGrid->verticalHeader()->setMinimumSectionSize(1);
    EntityGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    EntityGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    EntityGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    EntityGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(16);
    EntityGrid->setFont(font);
    const int cell = QFontMetrics(font).height();
    for (int c = 0; c < GridColumns; ++c)
        EntityGrid->setColumnWidth(c, cell);
    for (int r = 0; r < GridRows; ++r)
        EntityGrid->setRowHeight(r, cell);
    for (int r = 0; r < GridRows; ++r)
        for (int c = 0; c < GridColumns; ++c) {
            auto* item = new QTableWidgetItem(QStr(ParseEntityLine(FEntities.Get(r * GridColumns + c)).Character));
            item->setTextAlignment(Qt::AlignCenter);
            EntityGrid->setItem(r, c, item);
        }
    const int frame = 2 * EntityGrid->frameWidth();
    EntityGrid->setFixedSize(GridColumns * cell + frame, GridRows * cell + frame);
    connect(EntityGrid, &QTableWidget::cellClicked, this, [this](int row, int column) { CellClick(column, row); });
    connect(EntityGrid, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int column) { CellDoubleClick(column, row); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(EntityGrid);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TCharmapForm::CellClick(int column, int row)
{
    const QString hint = QStr(ParseEntityLine(FEntities.Get(row * GridColumns + column)).Hint);
    EntityGrid->setToolTip(hint);
    const QRect cell = EntityGrid->visualItemRect(EntityGrid->item(row, column));
    QToolTip::showText(EntityGrid->viewport()->mapToGlobal(cell.bottomLeft()), hint, EntityGrid);
}

void TCharmapForm::CellDoubleClick(int column, int row)
{
    TSrcEdit* editor = TargetEditor ? TargetEditor() : nullptr;
    if (editor)
        editor->SetSelectedText(ParseEntityLine(FEntities.Get(row * GridColumns + column)).Insert);
}
