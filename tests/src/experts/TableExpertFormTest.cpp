// The Table Designer: the table text for the settings that change it, the grid that follows the
// counts, and the insertion into the document in the letter case of the settings.

#include "experts/zuTableExpertForm.h"

#include "src/run/ShellTestSupport.h"

#include "ExLib/run/colors/ExOfficeColorButton.h"
#include "ExLib/run/edits/ExSpinEdit.h"

#include <QComboBox>
#include <QTableWidget>

namespace {

std::string TwoByTwoBody(const std::string& cell = "")
{
    const std::string row = "<tr>\r\n\t<td>" + cell + "</td>\r\n\t<td>" + cell + "</td>\r\n</tr>\r\n";
    return row + row + "</table>\r\n";
}

struct TTableCase {
    const char* Name;
    TTableValues Values;
    bool Lower;
    std::string Expected;
};

TTableValues WithBorder(int border)
{
    TTableValues values;
    values.BorderSize = border;
    return values;
}

} // namespace

TEST(TableExpert, TableText)
{
    TTableValues sized = WithBorder(0);
    sized.Width = 50;
    sized.WidthUnit = "%";
    sized.Height = 120;
    TTableValues styled;
    styled.CellSpacing = 3;
    styled.CellPadding = 4;
    styled.Alignment = "center";
    styled.Frame = "hsides";
    styled.Rules = "all ";
    styled.Background = 0x0080FF;   // BGR: orange
    styled.BorderColor = 0x000000;  // black is a colour, not "automatic"
    TTableValues oneCell;
    oneCell.Rows = 1;
    oneCell.Columns = 1;
    oneCell.Cells = {{"<b>x</b> & y"}};
    TTableValues ragged;
    ragged.Rows = 2;
    ragged.Columns = 3;
    ragged.Cells = {{"a"}};
    const TTableCase cases[] = {
        {"TwoByTwoBorderOne", WithBorder(1), true,
         "<table cellspacing=\"0\" cellpadding=\"0\" border=\"1\">\r\n" + TwoByTwoBody()},
        {"UpperCaseTags", WithBorder(1), false,
         "<TABLE CELLSPACING=\"0\" CELLPADDING=\"0\" BORDER=\"1\">\r\n"
         "<TR>\r\n\t<TD></TD>\r\n\t<TD></TD>\r\n</TR>\r\n<TR>\r\n\t<TD></TD>\r\n\t<TD></TD>\r\n</TR>\r\n</TABLE>\r\n"},
        {"WidthInPercentHeightInPixels", sized, true,
         "<table cellspacing=\"0\" cellpadding=\"0\" border=\"0\" width=\"50%\" height=\"120px\">\r\n" + TwoByTwoBody()},
        {"EveryAttributeInOrder", styled, true,
         "<table cellspacing=\"3\" cellpadding=\"4\" border=\"0\" align=\"center\" frame=\"hsides\" rules=\"all \" "
         "bgcolor=\"#FF8000\" bordercolor=\"#000000\">\r\n" + TwoByTwoBody()},
        // the cells are the user's own markup and go in as typed
        {"CellTextAsTyped", oneCell, true,
         "<table cellspacing=\"0\" cellpadding=\"0\" border=\"0\">\r\n<tr>\r\n\t<td><b>x</b> & y</td>\r\n</tr>\r\n"
         "</table>\r\n"},
        {"MissingCellsAreEmpty", ragged, true,
         "<table cellspacing=\"0\" cellpadding=\"0\" border=\"0\">\r\n"
         "<tr>\r\n\t<td>a</td>\r\n\t<td></td>\r\n\t<td></td>\r\n</tr>\r\n"
         "<tr>\r\n\t<td></td>\r\n\t<td></td>\r\n\t<td></td>\r\n</tr>\r\n</table>\r\n"},
    };
    for (const TTableCase& c : cases)
        EXPECT_EQ(BuildTableHtml(c.Values, c.Lower), c.Expected) << c.Name;
}

struct TableExpertForm : ShellTest {};

TEST_F(TableExpertForm, StartsAsATwoByTwoTableWithoutColoursInPixels)
{
    TTableExpertForm dialog;
    const TTableValues values = dialog.Values();
    EXPECT_EQ(values.Rows, 2);
    EXPECT_EQ(values.Columns, 2);
    EXPECT_EQ(values.WidthUnit, "px");
    EXPECT_EQ(values.HeightUnit, "px");
    EXPECT_EQ(values.Background, clNone);
    EXPECT_EQ(values.BorderColor, clNone);
    EXPECT_EQ(values.Alignment, "");
    EXPECT_EQ(dialog.Rules->itemText(1).toStdString(), "all ") << "entries keep their trailing blanks";
}

TEST_F(TableExpertForm, TheGridFollowsTheCountsAndFillsItsArea)
{
    TTableExpertForm dialog;
    dialog.show();
    QApplication::processEvents();
    dialog.RowCount->SetIntValue(4);
    dialog.ColCount->SetIntValue(3);
    dialog.ResizeGrid();
    EXPECT_EQ(dialog.Grid->rowCount(), 4);
    EXPECT_EQ(dialog.Grid->columnCount(), 3);
    const int width = dialog.Grid->viewport()->width();
    EXPECT_EQ(dialog.Grid->columnWidth(0), (width - 4 * 2) / 3);
    dialog.RowCount->SetIntValue(500);
    dialog.ResizeGrid();
    EXPECT_LE(dialog.Grid->rowCount(), 100);
}

TEST_F(TableExpertForm, PercentLimitsTheWidthTo100)
{
    TTableExpertForm dialog;
    dialog.WidthEdit->SetIntValue(640);
    dialog.WidthType->setCurrentIndex(1);
    EXPECT_EQ(dialog.WidthEdit->MaxValue(), 100);
    EXPECT_EQ(dialog.WidthEdit->IntValue(), 100);
    dialog.WidthType->setCurrentIndex(0);
    dialog.WidthEdit->SetIntValue(640);
    EXPECT_EQ(dialog.WidthEdit->IntValue(), 640);
}

TEST_F(TableExpertForm, ApplyInsertsTheGridsTextInTheSettingsTagCase)
{
    Setting("General", "TagCase", "1");
    Start();
    TCodeEditorForm* document = Open(WriteWork("a.html", "<body>\n</body>\n"));
    document->Editor()->SetCaretCoord(MakeBufferCoord(1, 2));
    TTableExpertForm dialog;
    dialog.TargetEditor = [this] { return Form->ActiveEditor(); };
    dialog.BorderSize->SetIntValue(1);
    dialog.RowCount->SetIntValue(1);
    dialog.ResizeGrid();
    dialog.Grid->setItem(0, 1, new QTableWidgetItem(QStringLiteral("cell")));
    dialog.BackgroundColor->SetSelectedColor(0x00FF00);
    dialog.ApplyClick();
    EXPECT_EQ(document->Editor()->GetAllText(),
              "<body>\r\n<TABLE CELLSPACING=\"0\" CELLPADDING=\"0\" BORDER=\"1\" BGCOLOR=\"#00FF00\">\r\n<TR>\r\n"
              "\t<TD></TD>\r\n\t<TD>cell</TD>\r\n</TR>\r\n</TABLE>\r\n</body>\r\n");
    EXPECT_TRUE(document->Editor()->ContentModified());
    document->Editor()->UndoLastChange();
    EXPECT_EQ(document->Editor()->GetAllText(), "<body>\r\n</body>\r\n") << "one undo step";
}
