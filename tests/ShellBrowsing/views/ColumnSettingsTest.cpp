// The column settings dialog over a file list's header, driven without its modal loop: the rows
// it shows, reordering by dropping rows, live updates, OK and Cancel, the width edit's keys,
// and what it looks like.

#include "ShellBrowsing/explorer/ExplorerTestSupport.h"

#include "ShellBrowsing/Source/views/ColumnLayout.h"
#include "ShellBrowsing/Source/views/ColumnSettingsDialog.h"
#include "ShellBrowsing/Source/views/NodeStorage.h"
#include "ShellBrowsing/Source/explorer/ExplorerViewState.h"

#include "TreeView/Source/header/LTColumn.h"
#include "TreeView/Source/header/LTHeader.h"

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <set>

namespace {

std::vector<QString> Titles(const TFormColumnSettings& dialog)
{
    std::vector<QString> titles;
    for (const TColumnData& row : dialog.Rows())
        titles.push_back(row.ColumnTitle);
    return titles;
}

class ColumnSettings : public TExplorerTest {
protected:
    void SetUp() override
    {
        TExplorerTest::SetUp();
        MakeFile("site/index.php", "<?php echo 1;");
        List = MakeList(PathOf("site"));
        List->SetColumnDetails(TColumnDetailType::cdVETColumns);
    }
    TLazyTreeColumns& Columns() { return List->Header().Columns(); }
    std::unique_ptr<TTestListview> List;
};

} // namespace

TEST_F(ColumnSettings, RowsFollowTheHeaderInDisplayOrderOncePerCaption)
{
    Columns()[2]->SetPosition(0);
    Columns()[8]->SetText(QStringLiteral("Name"));
    Columns()[7]->SetText(QString());
    TColumnSettingsSession session(*List);
    const std::vector<TColumnData> rows = session.Dialog().Rows();
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].ColumnTitle, QStringLiteral("Type"));
    EXPECT_EQ(rows[0].HeaderIndex, 2);
    EXPECT_EQ(rows[1].ColumnTitle, QStringLiteral("Name"));
    EXPECT_EQ(rows[1].ColumnWidth, Columns()[0]->Width());
    EXPECT_TRUE(rows[1].ColumnVisible);
    EXPECT_EQ(rows[6].ColumnTitle, QStringLiteral("Created"));
    EXPECT_FALSE(rows[6].ColumnVisible);
    TCustomLazyStringTree& list = session.Dialog().VSTColumnNames();
    EXPECT_EQ(list.GetNodeCheckMark(session.Dialog().RowNode(1)), csCheckedNormal);
    EXPECT_EQ(list.GetNodeCheckMark(session.Dialog().RowNode(6)), csUncheckedNormal);
    EXPECT_EQ(list.GetCellText(session.Dialog().RowNode(0), 0), QStringLiteral("Type"));
}

TEST_F(ColumnSettings, ADroppedRowGoesAfterALaterTargetAndBeforeAnEarlierOne)
{
    struct Case {
        int Dragged;
        int Target;
        std::vector<QString> Order;
    };
    const QString name = QStringLiteral("Name"), size = QStringLiteral("Size"), type = QStringLiteral("Type"),
                  modified = QStringLiteral("Modified");
    const Case cases[] = {
        {0, 2, {size, type, name, modified}},
        {2, 0, {type, name, size, modified}},
        {1, 1, {name, size, type, modified}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Dragged * 10 + c.Target);
        TColumnSettingsSession session(*List);
        TFormColumnSettings& dialog = session.Dialog();
        dialog.SetDraggedNode(dialog.RowNode(c.Dragged));
        dialog.DropDraggedOn(dialog.RowNode(c.Target));
        const std::vector<QString> titles = Titles(dialog);
        EXPECT_EQ(std::vector<QString>(titles.begin(), titles.begin() + 4), c.Order);
    }
}

TEST_F(ColumnSettings, LiveUpdatesShowAtOnceAndCancelPutsTheHeaderBackExactly)
{
    const TColumnLayout before = TakeColumnLayout(List->Header().Columns());
    int userChanges = 0;
    List->OnColumnUserChangedVisiblility = [&](TCustomShellExplorerTree*) { ++userChanges; };
    {
        TColumnSettingsSession session(*List);
        TFormColumnSettings& dialog = session.Dialog();
        dialog.CheckBoxLiveUpdate().setChecked(true);
        dialog.VSTColumnNames().SetNodeCheckMark(dialog.RowNode(1), csUncheckedNormal);
        EXPECT_FALSE(Columns()[1]->Options().Contains(coVisible));
        dialog.SetDraggedNode(dialog.RowNode(0));
        dialog.DropDraggedOn(dialog.RowNode(2));
        EXPECT_EQ(Columns()[0]->Position(), 2);
        dialog.VSTColumnNames().AssignFocusedNode(dialog.RowNode(0));
        dialog.EditPixelWidth().setText(QStringLiteral("55"));
        dialog.StoreEditedWidth();
        EXPECT_EQ(Columns()[1]->Width(), 55);
        session.Finish(false);
    }
    EXPECT_EQ(TakeColumnLayout(List->Header().Columns()), before);
    EXPECT_EQ(userChanges, 0);

    // Without Live Update nothing reaches the header before OK.
    TColumnSettingsSession session(*List);
    session.Dialog().VSTColumnNames().SetNodeCheckMark(session.Dialog().RowNode(1), csUncheckedNormal);
    EXPECT_TRUE(Columns()[1]->Options().Contains(coVisible));
}

TEST_F(ColumnSettings, OkAppliesOrderVisibilityAndWidthsAndStoresTheFoldersLayout)
{
    List->SetColumnDetails(TColumnDetailType::cdShellColumns);
    List->SetVETMiscOptions(List->VETMiscOptions() + toPersistentColumns);
    int userChanges = 0;
    List->OnColumnUserChangedVisiblility = [&](TCustomShellExplorerTree*) { ++userChanges; };
    TColumnSettingsSession session(*List);
    TFormColumnSettings& dialog = session.Dialog();
    dialog.VSTColumnNames().SetNodeCheckMark(dialog.RowNode(2), csUncheckedNormal);
    dialog.SetDraggedNode(dialog.RowNode(3));
    dialog.DropDraggedOn(dialog.RowNode(0));
    dialog.VSTColumnNames().AssignFocusedNode(dialog.RowNode(1));
    dialog.EditPixelWidth().setText(QStringLiteral("222"));
    dialog.VSTColumnNames().AssignFocusedNode(dialog.RowNode(2));
    session.Finish(true);

    EXPECT_EQ(Columns()[3]->Position(), 0);
    EXPECT_EQ(Columns()[0]->Position(), 1);
    EXPECT_EQ(Columns()[0]->Width(), 222);
    EXPECT_FALSE(Columns()[2]->Options().Contains(coVisible));
    EXPECT_EQ(userChanges, 1);
    TNodeStorage* stored =
        List->ViewState().NodeStorage().FindStored(List->RootNamespace()->AbsolutePIDL(), stColumns);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Storage.Columns.Positions[3], 0);
    EXPECT_EQ(stored->Storage.Columns.Widths[0], 222);
    EXPECT_EQ(stored->Storage.Columns.Visible[2], 0);
}

TEST_F(ColumnSettings, TheWidthEditTakesDigitsOnlyAndEnterStoresWithoutClosing)
{
    TColumnSettingsSession session(*List);
    TFormColumnSettings& dialog = session.Dialog();
    TCustomLazyStringTree& rows = dialog.VSTColumnNames();
    rows.AssignFocusedNode(dialog.RowNode(1));
    QLineEdit& edit = dialog.EditPixelWidth();
    EXPECT_EQ(edit.text(), QString::number(Columns()[1]->Width()));

    // Letters are refused; an empty edit keeps the width; absurd numbers are held to a column's widest.
    struct Case {
        const char* Typed;
        const char* Shown;
        int Width;
    };
    const Case cases[] = {{"120", "120", 120}, {"1x2", "12", 12}, {"", "", 12}, {"99999999999", "99999999999", 10000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Typed);
        edit.clear();
        QTest::keyClicks(&edit, QString::fromLatin1(c.Typed));
        EXPECT_EQ(edit.text(), QString::fromLatin1(c.Shown));
        QTest::keyClick(&edit, Qt::Key_Return);
        EXPECT_EQ(dialog.Rows()[1].ColumnWidth, c.Width);
        EXPECT_EQ(dialog.result(), 0);
        EXPECT_TRUE(rows.FocusNode() == dialog.RowNode(1));
    }

    // Enter anywhere else closes the dialog with OK.
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(ColumnSettings, TheDialogShowsItsTextsRowsAndCheckBoxes)
{
    TColumnSettingsSession session(*List);
    TFormColumnSettings& dialog = session.Dialog();
    dialog.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Column settings"));
    EXPECT_GE(dialog.width(), 295);
    EXPECT_GE(dialog.height(), 370);
    const QImage image = dialog.grab().toImage();
    if (const QByteArray shot = qgetenv("ZENTU_COLUMN_SETTINGS_SHOT"); !shot.isEmpty())
        image.save(QString::fromLocal8Bit(shot));
    // The list paints its rows: more than a handful of colours inside its frame.
    const QRect listArea = dialog.VSTColumnNames().geometry();
    std::set<QRgb> colours;
    for (int y = listArea.top(); y < listArea.bottom(); y += 2)
        for (int x = listArea.left(); x < listArea.right(); x += 2)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 4u);
    // The width row stays inside the dialog and in order.
    EXPECT_LT(dialog.EditPixelWidth().geometry().right(), dialog.width());
    EXPECT_GT(dialog.EditPixelWidth().x(), dialog.VSTColumnNames().x());
    dialog.hide();
}
