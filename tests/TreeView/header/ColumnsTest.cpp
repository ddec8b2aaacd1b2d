// Tree columns: positions, width limits, the automatically sized column, removal, geometry and
// the binary column block.

#include "TreeView/TreeTestSupport.h"

#include "Platform/core/Exceptions.h"

#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/stream/LTStreamIO.h"

#include "Platform/files/Streams.h"

#include <gtest/gtest.h>

namespace {

std::string Le32(std::int32_t v)
{
    TMemoryStream s;
    WriteInt32(s, v);
    return std::string(s.View());
}

class ColumnsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i)
            columns.AddColumn()->SetWidth(100);
    }
    TTestTree tree;
    TLazyTreeColumns& columns = tree.Header().Columns();
};

} // namespace

TEST_F(ColumnsFixture, NewColumnsTakeTheNextPosition)
{
    TLazyTreeColumn* fourth = columns.AddColumn();
    EXPECT_EQ(fourth->Position(), 3);
    EXPECT_EQ(fourth->Width(), 50);
    EXPECT_EQ(fourth->AbsoluteLeft(), 300);
    EXPECT_EQ(tree.Header().MainColumn(), 0);
    EXPECT_EQ(columns.TotalColumnWidth(), 350);
}

TEST_F(ColumnsFixture, WidthsKeepToTheirLimits)
{
    TLazyTreeColumn* c = columns.ColumnAt(0);
    c->SetWidth(3);
    EXPECT_EQ(c->Width(), 10);
    c->SetMinWidth(60);
    EXPECT_EQ(c->Width(), 60);
    c->SetMaxWidth(40);
    EXPECT_EQ(c->MaxWidth(), 60) << "not below the minimum";
    c->SetWidth(500);
    EXPECT_EQ(c->Width(), 60);
    EXPECT_EQ(columns.ColumnAt(1)->AbsoluteLeft(), 60);
    c->SetMargin(-3);
    EXPECT_EQ(c->Margin(), 4);
}

TEST_F(ColumnsFixture, MovingAColumnShiftsTheOthers)
{
    columns.ColumnAt(2)->SetPosition(0);
    EXPECT_EQ(columns.PositionToIndex(), (std::vector<TColumnIndex>{2, 0, 1}));
    EXPECT_EQ(columns.ColumnAt(0)->Position(), 1);
    EXPECT_EQ(columns.ColumnAt(2)->AbsoluteLeft(), 0);
    EXPECT_EQ(columns.ColumnAt(1)->AbsoluteLeft(), 200);
    columns.ColumnAt(2)->SetPosition(99);
    EXPECT_EQ(columns.ColumnAt(2)->Position(), 2);
    EXPECT_EQ(columns.FirstShownColumn(), 0);
    EXPECT_EQ(columns.ColumnAfter(0), 1);
    EXPECT_EQ(columns.ColumnAfter(2), InvalidColumn);
    EXPECT_EQ(columns.ColumnBefore(0), InvalidColumn);
}

TEST_F(ColumnsFixture, HiddenColumnsTakeNoSpace)
{
    TLazyTreeColumn* middle = columns.ColumnAt(1);
    middle->SetOptions(middle->Options() - coVisible);
    EXPECT_EQ(columns.ColumnAt(2)->AbsoluteLeft(), 100);
    EXPECT_EQ(columns.NextShownColumn(0), 2);
    EXPECT_EQ(columns.PreviousShownColumn(2), 0);
    EXPECT_EQ(columns.VisibleColumnList().size(), 2u);
}

TEST_F(ColumnsFixture, FixedColumnsStayTogetherAtTheLeft)
{
    TLazyTreeColumn* first = columns.ColumnAt(0);
    first->SetOptions(first->Options() + coFixed);
    EXPECT_EQ(columns.FixedColumnsWidth(), 100);
    columns.ColumnAt(2)->SetPosition(0);
    EXPECT_TRUE(columns.ColumnAt(2)->Options().Contains(coFixed)) << "it took over its neighbour's state";
    EXPECT_EQ(columns.FixedColumnsWidth(), 200);
}

TEST_F(ColumnsFixture, PointsFindTheirColumn)
{
    EXPECT_EQ(columns.ColumnAtPoint({150, 5}, false), 1);
    EXPECT_EQ(columns.ColumnAtPoint({299, 5}, false), 2);
    EXPECT_EQ(columns.ColumnAtPoint({300, 5}, false), InvalidColumn) << "right of the last column";
    EXPECT_EQ(columns.ColumnAtPoint({-1, 5}, false), InvalidColumn);
    int left = 0;
    int right = 0;
    EXPECT_EQ(columns.ColumnAndBoundsAt(120, left, right, false), 1);
    EXPECT_EQ(left, 100);
    EXPECT_EQ(right, 200);
}

TEST_F(ColumnsFixture, DeletingColumnsKeepsTheIndicesRight)
{
    tree.Header().SetSortColumn(2);
    tree.Header().SetMainColumn(1);
    columns.Delete(1);
    EXPECT_EQ(columns.Count(), 2);
    EXPECT_EQ(tree.Header().SortColumn(), 1);
    EXPECT_EQ(tree.Header().MainColumn(), 0) << "the main column went; the first one takes over";
    EXPECT_EQ(columns.PositionToIndex(), (std::vector<TColumnIndex>{0, 1}));
    columns.Delete(0);
    EXPECT_EQ(tree.Header().MainColumn(), 0);
    columns.Delete(0);
    EXPECT_EQ(tree.Header().MainColumn(), NoColumn);
}

TEST_F(ColumnsFixture, TheAutoSizeColumnTakesTheFreeWidth)
{
    TLTHeader& header = tree.Header();
    header.SetAutoSizeIndex(1);
    header.SetOptions(header.Options() + hoAutoResize);
    const int client = tree.ClientWidth();
    EXPECT_EQ(columns.ColumnAt(1)->Width(), std::max(client - 200, 10));
    columns.ColumnAt(1)->SetMinWidth(client);
    tree.resize(tree.width() - 50, tree.height());
    QCoreApplication::processEvents();
    EXPECT_EQ(columns.ColumnAt(1)->Width(), client) << "never below its minimum";
    EXPECT_EQ(columns.ColumnAt(0)->Width(), 100);
}

TEST_F(ColumnsFixture, SortColumnIsClamped)
{
    tree.Header().SetSortColumn(99);
    EXPECT_EQ(tree.Header().SortColumn(), 2);
    tree.Header().SetSortColumn(-5);
    EXPECT_EQ(tree.Header().SortColumn(), -1);
}

TEST(ColumnBlock, ExactBytesOfARecord)
{
    TTestTree tree;
    TLazyTreeColumn* column = tree.Header().Columns().AddColumn();
    column->SetText("Ab");
    column->SetTag(7);
    TMemoryStream stream;
    tree.Header().Columns().WriteColumnBlock(stream);
    const std::string expected = Le32(1) +                               // count
                                 Le32(2) + std::string("A\0b\0", 4) +     // text
                                 Le32(0) +                               // hint
                                 Le32(50) + Le32(10) + Le32(10000) +     // width, min, max
                                 Le32(0) + Le32(-1) + Le32(0) +          // style, image, layout
                                 Le32(4) + Le32(4) + Le32(0) +           // margin, spacing, bidi
                                 Le32(0xFF) + Le32(7) + Le32(0) +        // options, tag, alignment
                                 Le32(clWindow) +                        // colour
                                 Le32(0);                                // positions
    EXPECT_EQ(stream.View(), expected);
}

TEST(ColumnBlock, OlderVersionsConvertOptionsAndDefaultTheColour)
{
    TTestTree tree;
    // Version 1: no colour field; options bits 0-3 stay, 4-6 move up by one, 7-14 go.
    const std::string record = Le32(1) + Le32(0) + Le32(0) + Le32(80) + Le32(10) + Le32(500) + Le32(0) + Le32(-1) +
                               Le32(0) + Le32(4) + Le32(4) + Le32(0) + Le32(0x00F5) + Le32(3) + Le32(1) + Le32(0);
    TMemoryStream stream(record);
    tree.Header().Columns().ReadColumnBlock(stream, 1);
    const TLazyTreeColumn* column = tree.Header().Columns().ColumnAt(0);
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column->Options().Bits(), 0x00E5u) << "0x05 stays, 0x70 becomes 0xE0, 0x80 goes";
    EXPECT_EQ(column->Color(), clWindow);
    EXPECT_EQ(column->Tag(), 3);
    EXPECT_EQ(column->Alignment(), TAlignment::taRightJustify);
    EXPECT_EQ(column->Width(), 80);
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(ColumnBlock, ACountTheDataCannotHoldFailsBeforeMakingColumns)
{
    TTestTree tree;
    TMemoryStream stream(Le32(100000000) + Le32(0));
    EXPECT_THROW(tree.Header().Columns().ReadColumnBlock(stream, 3), EReadError);
    EXPECT_EQ(tree.Header().Columns().Count(), 0);
    TMemoryStream text(Le32(1) + Le32(0x40000000));
    EXPECT_THROW(tree.Header().Columns().ReadColumnBlock(text, 3), EReadError);
}

TEST(ColumnBlock, AStoredWidthBelowTheDefaultMinimumSurvives)
{
    TTestTree tree;
    TLazyTreeColumn* column = tree.Header().Columns().AddColumn();
    column->SetMinWidth(0);
    column->SetWidth(4);
    column->SetMaxWidth(20000);
    TMemoryStream stream;
    tree.Header().Columns().WriteColumnBlock(stream);
    TTestTree other;
    stream.SetPosition(0);
    other.Header().Columns().ReadColumnBlock(stream, 3);
    EXPECT_EQ(other.Header().Columns().ColumnAt(0)->Width(), 4);
    EXPECT_EQ(other.Header().Columns().ColumnAt(0)->MaxWidth(), 20000);
}
