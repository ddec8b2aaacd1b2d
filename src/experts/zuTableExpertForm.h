#pragma once
// TTableExpertForm: the "Table Designer" dialog. A preview grid whose cells the user fills, the
// table's properties beside it; "&Apply" inserts the HTML table into the active document in the
// tag case of the settings.

#include "Platform/graphics/Colors.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QTableWidget;
class TExOfficeColorButton;
class TExSpinEdit;
class TSrcEdit;

struct TTableValues {
    int Rows = 2, Columns = 2;
    int CellPadding = 0, CellSpacing = 0, BorderSize = 0;
    // 0 leaves the attribute out; the unit is "px" or "%".
    int Width = 0, Height = 0;
    std::string WidthUnit = "px", HeightUnit = "px";
    // "" leaves the attribute out; entries are written as they are listed.
    std::string Alignment, Frame, Rules;
    // clNone leaves the attribute out.
    TColor Background = clNone, BorderColor = clNone;
    // Cells[row][column]; missing cells are empty.
    std::vector<std::vector<std::string>> Cells;
};

// The table as text, lines ended by CR LF, cells indented by a tab, tags in lower case when
// `lowerCase`, else upper case.
std::string BuildTableHtml(const TTableValues& values, bool lowerCase);

class TTableExpertForm : public QDialog {
public:
    explicit TTableExpertForm(QWidget* parent = nullptr);
    ~TTableExpertForm() override;

    QTableWidget* Grid = nullptr;
    TExSpinEdit* RowCount = nullptr;
    TExSpinEdit* ColCount = nullptr;
    TExSpinEdit* CellPadding = nullptr;
    TExSpinEdit* CellSpacing = nullptr;
    TExSpinEdit* BorderSize = nullptr;
    TExSpinEdit* WidthEdit = nullptr;
    TExSpinEdit* HeightEdit = nullptr;
    QComboBox* WidthType = nullptr;
    QComboBox* HeightType = nullptr;
    QComboBox* Alignment = nullptr;
    QComboBox* Frame = nullptr;
    QComboBox* Rules = nullptr;
    TExOfficeColorButton* BackgroundColor = nullptr;
    TExOfficeColorButton* BorderColor = nullptr;

    // The editor that receives the table; null inserts nothing.
    std::function<TSrcEdit*()> TargetEditor;
    // Whether tags are written in lower case ([General] TagCase 0); read on "&Apply".
    std::function<bool()> LowerCaseTags;

    // Rows and columns from the spin edits, cells sized to fill the grid.
    void ResizeGrid();
    // What the dialog holds now.
    TTableValues Values() const;
    // "&Apply": inserts the table and closes the dialog.
    void ApplyClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TExSpinEdit* MakeSpinEdit(int minimum, int maximum, int value);
    TExOfficeColorButton* MakeColorButton();
    void UnitChanged(QComboBox* unit, TExSpinEdit* edit);

    // The colour that the buttons' "Automatic" stands for: no attribute.
    TColor FAutomatic = clNone;
};
