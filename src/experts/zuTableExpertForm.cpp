#include "experts/zuTableExpertForm.h"
#include "experts/zuExpertButtons.h"

#include "common/zuFunctions.h"
#include "settings/zuSettings.h"

#include "ExLib/run/colors/ExOfficeColorButton.h"
#include "ExLib/run/edits/ExSpinEdit.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/QtBridge.h"
#include "Platform/text/Format.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int GridLineWidth = 2;

void AddAttribute(std::string& tag, const char* format, std::initializer_list<TVarRec> args)
{
    tag += ' ';
    tag += Format(format, args);
}

} // namespace

std::string BuildTableHtml(const TTableValues& values, bool lowerCase)
{
    std::string text = Format("<table cellspacing=\"%d\" cellpadding=\"%d\" border=\"%d\"",
                              {values.CellSpacing, values.CellPadding, values.BorderSize});
    if (values.Width > 0)
        AddAttribute(text, "width=\"%d%s\"", {values.Width, values.WidthUnit});
    if (values.Height > 0)
        AddAttribute(text, "height=\"%d%s\"", {values.Height, values.HeightUnit});
    if (!values.Alignment.empty())
        AddAttribute(text, "align=\"%s\"", {values.Alignment});
    if (!values.Frame.empty())
        AddAttribute(text, "frame=\"%s\"", {values.Frame});
    if (!values.Rules.empty())
        AddAttribute(text, "rules=\"%s\"", {values.Rules});
    if (values.Background != clNone)
        AddAttribute(text, "bgcolor=\"%s\"", {ColorToHtml(values.Background)});
    if (values.BorderColor != clNone)
        AddAttribute(text, "bordercolor=\"%s\"", {ColorToHtml(values.BorderColor)});
    text += ">\r\n";
    for (int r = 0; r < values.Rows; ++r) {
        text += "<tr>\r\n";
        for (int c = 0; c < values.Columns; ++c) {
            std::string cell;
            if (r < static_cast<int>(values.Cells.size()) && c < static_cast<int>(values.Cells[r].size()))
                cell = values.Cells[r][c];
            text += "\t<td>" + cell + "</td>\r\n";
        }
        text += "</tr>\r\n";
    }
    text += "</table>\r\n";
    return ChangeTagCase(text, lowerCase);
}

TTableExpertForm::TTableExpertForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Table Designer"));
    LowerCaseTags = [] { return !SettingsFile || Settings::General::TagCase.Read(*SettingsFile) == 0; };

    Grid = new QTableWidget(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->horizontalHeader()->hide();
    Grid->verticalHeader()->hide();
    Grid->horizontalHeader()->setMinimumSectionSize(1);
    Grid->verticalHeader()->setMinimumSectionSize(1);
    Grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid->setStyleSheet(QStringLiteral("QTableWidget { gridline-color: palette(mid); }"));
    Grid->setMinimumHeight(140);

    RowCount = MakeSpinEdit(1, 100, 2);
    ColCount = MakeSpinEdit(1, 100, 2);
    CellPadding = MakeSpinEdit(0, 65535, 0);
    CellSpacing = MakeSpinEdit(0, 65535, 0);
    BorderSize = MakeSpinEdit(0, 65535, 0);
    WidthEdit = MakeSpinEdit(0, 65535, 0);
    HeightEdit = MakeSpinEdit(0, 65535, 0);
    const QStringList units{QStringLiteral("px"), QStringLiteral("%")};
    WidthType = new QComboBox(this);
    WidthType->addItems(units);
    HeightType = new QComboBox(this);
    HeightType->addItems(units);
    Alignment = new QComboBox(this);
    Alignment->addItems({QString(), QStringLiteral("center"), QStringLiteral("left"), QStringLiteral("right")});
    Frame = new QComboBox(this);
    Frame->addItems({QString(), QStringLiteral("above"), QStringLiteral("below"), QStringLiteral("border"),
                     QStringLiteral("box"), QStringLiteral("hsides"), QStringLiteral("lhs"), QStringLiteral("rhs"),
                     QStringLiteral("void"), QStringLiteral("vsides")});
    Rules = new QComboBox(this);
    Rules->addItems({QString(), QStringLiteral("all "), QStringLiteral("cols "), QStringLiteral("groups"),
                     QStringLiteral("none"), QStringLiteral("rows")});
    BackgroundColor = MakeColorButton();
    BorderColor = MakeColorButton();

    RowCount->OnChange = [this](TObject*) { ResizeGrid(); };
    ColCount->OnChange = [this](TObject*) { ResizeGrid(); };
    connect(WidthType, &QComboBox::currentIndexChanged, this, [this] { UnitChanged(WidthType, WidthEdit); });
    connect(HeightType, &QComboBox::currentIndexChanged, this, [this] { UnitChanged(HeightType, HeightEdit); });

    auto* properties = new QGroupBox(QStringLiteral("Table Properties"), this);
    auto* grid = new QGridLayout(properties);
    const auto add = [&](int row, int column, const char* caption, QWidget* field, QWidget* unit = nullptr) {
        auto* label = new QLabel(QString::fromUtf8(caption), properties);
        label->setBuddy(field);
        grid->addWidget(label, row, column * 3);
        grid->addWidget(field, row, column * 3 + 1);
        if (unit)
            grid->addWidget(unit, row, column * 3 + 2);
    };
    add(0, 0, "&Rows", RowCount);
    add(1, 0, "&Columns", ColCount);
    add(2, 0, "Cell Padding", CellPadding);
    add(3, 0, "Cell Spacing", CellSpacing);
    add(4, 0, "Border Size", BorderSize);
    add(0, 1, "Width", WidthEdit, WidthType);
    add(1, 1, "Height", HeightEdit, HeightType);
    add(2, 1, "Alignment", Alignment);
    add(3, 1, "Frame", Frame);
    add(4, 1, "Rules", Rules);
    add(5, 0, "Background Color", BackgroundColor);
    add(5, 1, "Border Color", BorderColor);
    grid->setColumnMinimumWidth(2, 12);

    QDialogButtonBox* buttons = MakeApplyCancelButtons(*this, "&Apply", "&Cancel", [this] { ApplyClick(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Grid, 1);
    layout->addWidget(properties);
    layout->addWidget(buttons);
    resize(520, 460);
    Grid->viewport()->installEventFilter(this);
    ResizeGrid();
}

TTableExpertForm::~TTableExpertForm() = default;

TExSpinEdit* TTableExpertForm::MakeSpinEdit(int minimum, int maximum, int value)
{
    auto* edit = new TExSpinEdit(nullptr, this);
    edit->SetMinValue(minimum);
    edit->SetMaxValue(maximum);
    edit->SetIntValue(value);
    edit->setMinimumWidth(70);
    return edit;
}

TExOfficeColorButton* TTableExpertForm::MakeColorButton()
{
    auto* button = new TExOfficeColorButton(nullptr, this);
    button->SetFaceColor(clBtnFace);
    TExOfficeColorButtonProperties& p = button->Properties();
    p.SetShowDragBar(false);
    p.SetAutoColor(clNone);
    p.SetShowAutoButton(true);
    p.SetAutoCaption("Automatic");
    p.SetShowOtherButton(true);
    p.SetOtherCaption("Other Colors...");
    button->SetOptions(TColorDialogOptions{cdFullOpen});
    FAutomatic = p.AutoColor();
    button->SetSelectedColor(FAutomatic);
    button->setFixedSize(75, 22);
    return button;
}

void TTableExpertForm::UnitChanged(QComboBox* unit, TExSpinEdit* edit)
{
    edit->SetMaxValue(unit->currentText() == QStringLiteral("%") ? 100 : 65535);
    if (edit->IntValue() > edit->MaxValue())
        edit->SetIntValue(static_cast<int>(edit->MaxValue()));
}

void TTableExpertForm::ResizeGrid()
{
    const int rows = std::clamp(RowCount->IntValue(), 1, 100);
    const int columns = std::clamp(ColCount->IntValue(), 1, 100);
    Grid->setRowCount(rows);
    Grid->setColumnCount(columns);
    const QRect area = Grid->viewport()->rect();
    const int width = std::max(1, (area.width() - (columns + 1) * GridLineWidth) / columns);
    const int height = std::max(1, (area.height() - (rows + 1) * GridLineWidth) / rows);
    for (int c = 0; c < columns; ++c)
        Grid->setColumnWidth(c, width);
    for (int r = 0; r < rows; ++r)
        Grid->setRowHeight(r, height);
}

bool TTableExpertForm::eventFilter(QObject* watched, QEvent* event)
{
    // why: the cells fill the grid, whose size the layout settles after the dialog's own.
    if (watched == Grid->viewport() && event->type() == QEvent::Resize)
        ResizeGrid();
    return QDialog::eventFilter(watched, event);
}

TTableValues TTableExpertForm::Values() const
{
    TTableValues values;
    values.Rows = Grid->rowCount();
    values.Columns = Grid->columnCount();
    values.CellPadding = CellPadding->IntValue();
    values.CellSpacing = CellSpacing->IntValue();
    values.BorderSize = BorderSize->IntValue();
    values.Width = WidthEdit->IntValue();
    values.Height = HeightEdit->IntValue();
    values.WidthUnit = StdStr(WidthType->currentText());
    values.HeightUnit = StdStr(HeightType->currentText());
    values.Alignment = StdStr(Alignment->currentText());
    values.Frame = StdStr(Frame->currentText());
    values.Rules = StdStr(Rules->currentText());
    const auto chosen = [this](const TExOfficeColorButton* button) {
        const TColor color = button->SelectedColor();
        return color == FAutomatic ? clNone : color;
    };
    values.Background = chosen(BackgroundColor);
    values.BorderColor = chosen(BorderColor);
    values.Cells.resize(static_cast<size_t>(values.Rows));
    for (int r = 0; r < values.Rows; ++r)
        for (int c = 0; c < values.Columns; ++c) {
            const QTableWidgetItem* item = Grid->item(r, c);
            values.Cells[static_cast<size_t>(r)].push_back(item ? StdStr(item->text()) : std::string());
        }
    return values;
}

void TTableExpertForm::ApplyClick()
{
    TSrcEdit* editor = TargetEditor ? TargetEditor() : nullptr;
    if (editor)
        editor->SetSelectedText(BuildTableHtml(Values(), LowerCaseTags()));
    accept();
}
