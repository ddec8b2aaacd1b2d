// The tree header: its stream, and the mouse over it: clicks, resizing by the splitter, and
// reordering by dragging a column.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/stream/LTStreamIO.h"

#include "Platform/files/Streams.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

std::string Le32(std::int32_t v)
{
    TMemoryStream s;
    WriteInt32(s, v);
    return std::string(s.View());
}

class HeaderFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        header.SetOptions(header.Options() + hoVisible);
        for (int i = 0; i < 3; ++i)
            header.Columns().AddColumn()->SetWidth(80);
        header.Columns().ColumnAt(0)->SetText("Name");
        tree.OnHeaderClick = [this](TLTHeader*, TColumnIndex column, TMouseButton, TShiftState, int, int) {
            log.push_back("click " + std::to_string(column));
        };
        tree.OnHeaderMouseDown = [this](TLTHeader*, TMouseButton, TShiftState, int, int) { log.push_back("down"); };
        tree.OnHeaderMouseUp = [this](TLTHeader*, TMouseButton, TShiftState, int, int) { log.push_back("up"); };
        tree.OnHeaderDragged = [this](TLTHeader*, TColumnIndex column, int old) {
            log.push_back("dragged " + std::to_string(column) + " from " + std::to_string(old));
        };
        tree.OnHeaderDraggedOut = [this](TLTHeader*, TColumnIndex column, TPoint) {
            log.push_back("out " + std::to_string(column));
        };
        QCoreApplication::processEvents();
    }

    QWidget* Widget() { return header.Widget(); }
    QPoint At(int x) { return {x, header.Height() / 2}; }

    TTestTree tree;
    TLTHeader& header = tree.Header();
    std::vector<std::string> log;
};

} // namespace

TEST_F(HeaderFixture, TheHeaderSitsAboveTheClientArea)
{
    EXPECT_TRUE(Widget()->isVisible());
    EXPECT_EQ(Widget()->height(), 17);
    EXPECT_EQ(Widget()->geometry().bottom() + 1, tree.viewport()->geometry().top());
    header.SetOptions(header.Options() - hoVisible);
    EXPECT_FALSE(Widget()->isVisible());
}

TEST_F(HeaderFixture, AClickOnAColumn)
{
    QTest::mouseClick(Widget(), Qt::LeftButton, {}, At(100));
    EXPECT_EQ(log, (std::vector<std::string>{"down", "click 1", "up"}));
}

TEST_F(HeaderFixture, AColumnThatTakesNoClicksStillReportsDownAndUp)
{
    TLazyTreeColumn* c = header.Columns().ColumnAt(1);
    c->SetOptions(c->Options() - coAllowClick);
    QTest::mouseClick(Widget(), Qt::LeftButton, {}, At(100));
    EXPECT_EQ(log, (std::vector<std::string>{"down", "up"}));
}

TEST_F(HeaderFixture, DraggingTheSplitterResizesTheColumn)
{
    QTest::mousePress(Widget(), Qt::LeftButton, {}, At(80));
    QTest::mouseMove(Widget(), At(100));
    QTest::mouseMove(Widget(), At(130));
    QTest::mouseRelease(Widget(), Qt::LeftButton, {}, At(130));
    EXPECT_EQ(header.Columns().ColumnAt(0)->Width(), 130);
    EXPECT_EQ(header.Columns().ColumnAt(1)->AbsoluteLeft(), 130);
}

TEST_F(HeaderFixture, DroppingOnTheLeftHalfOfALaterColumn)
{
    // Column 0 onto the left half of the column at position 2: it lands at position 1.
    QTest::mousePress(Widget(), Qt::LeftButton, {}, At(30));
    QTest::mouseMove(Widget(), At(60));
    QTest::mouseMove(Widget(), At(175));
    QTest::mouseRelease(Widget(), Qt::LeftButton, {}, At(175));
    EXPECT_EQ(header.Columns().ColumnAt(0)->Position(), 1);
    EXPECT_EQ(header.Columns().PositionToIndex(), (std::vector<TColumnIndex>{1, 0, 2}));
    EXPECT_EQ(log.back(), "up");
    EXPECT_EQ(log[log.size() - 2], "dragged 0 from 0");
}

TEST_F(HeaderFixture, DraggingOutOfTheWindowLeavesTheOrder)
{
    QTest::mousePress(Widget(), Qt::LeftButton, {}, At(30));
    QTest::mouseMove(Widget(), At(60));
    QTest::mouseMove(Widget(), At(175));
    QTest::mouseMove(Widget(), QPoint(175, -200));
    QTest::mouseRelease(Widget(), Qt::LeftButton, {}, QPoint(175, -200));
    EXPECT_EQ(header.Columns().PositionToIndex(), (std::vector<TColumnIndex>{0, 1, 2}));
    EXPECT_NE(std::find(log.begin(), log.end(), "out 0"), log.end());
}

TEST_F(HeaderFixture, EscapeEndsAColumnDragWithoutReordering)
{
    QTest::mousePress(Widget(), Qt::LeftButton, {}, At(30));
    QTest::mouseMove(Widget(), At(60));
    QTest::mouseMove(Widget(), At(175));
    ASSERT_TRUE(header.States().Contains(hsDragging));
    tree.Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(header.States().Empty());
    QTest::mouseRelease(Widget(), Qt::LeftButton, {}, At(175));
    EXPECT_EQ(header.Columns().PositionToIndex(), (std::vector<TColumnIndex>{0, 1, 2}));
}

TEST_F(HeaderFixture, StreamBytes)
{
    header.SetSortColumn(2);
    header.Columns().ColumnAt(1)->SetOptions(header.Columns().ColumnAt(1)->Options() - coVisible);
    TMemoryStream stream;
    header.WriteHeaderStream(stream);
    TMemoryStream columnBlock;
    header.Columns().WriteColumnBlock(columnBlock);
    const std::string expected = Le32(-1) + Le32(3) + std::string(columnBlock.View()) +
                                 Le32(-1) +                         // auto-size index
                                 Le32(clBtnFace) + Le32(17) +       // background, height
                                 Le32((1 << 1) | (1 << 3) | (1 << 10)) + // resize, drag, visible
                                 Le32(0) +                          // style
                                 Le32(clWindowText) + Le32(-11) +   // font colour, height
                                 Le32(13) + "MS Sans Serif" +       // font name
                                 Le32(0) + Le32(0) +                // pitch, style
                                 Le32(0) + Le32(2) + Le32(0);       // main, sort column, direction
    EXPECT_EQ(stream.View(), expected);
}

TEST_F(HeaderFixture, StreamRoundTrip)
{
    header.SetHeight(24);
    header.SetStyle(TLTHeaderStyle::hsPlates);
    header.SetSortColumn(1);
    header.SetSortDirection(TSortDirection::sdDescending);
    header.Columns().ColumnAt(2)->SetPosition(0);
    header.Columns().ColumnAt(1)->SetText(QString::fromUtf8("Größe"));
    TFont font;
    font.SetName("DejaVu Sans");
    font.SetStyle({fsBold});
    header.SetFont(font);
    TMemoryStream stream;
    header.WriteHeaderStream(stream);

    TTestTree other;
    stream.SetPosition(0);
    other.Header().ReadHeaderStream(stream);
    const TLTHeader& copy = other.Header();
    EXPECT_EQ(copy.Height(), 24);
    EXPECT_EQ(copy.Style(), TLTHeaderStyle::hsPlates);
    EXPECT_EQ(copy.Options(), header.Options());
    EXPECT_EQ(copy.SortColumn(), 1);
    EXPECT_EQ(copy.SortDirection(), TSortDirection::sdDescending);
    EXPECT_EQ(copy.Font().Name(), "DejaVu Sans");
    EXPECT_EQ(copy.Font().Style(), TFontStyles{fsBold});
    EXPECT_TRUE(copy.Columns().SameColumns(header.Columns()));
    EXPECT_EQ(copy.Columns().ColumnAt(1)->Text(), QString::fromUtf8("Größe"));
    EXPECT_FALSE(copy.States().Contains(hsLoading));
}

TEST_F(HeaderFixture, AStreamWithoutMarkerReadsAsTheOldestVersion)
{
    TMemoryStream block;
    header.Columns().WriteColumnBlock(block);
    // Without the marker the stream starts with the column count (version -1: no tag, alignment
    // or colour in the records, no main and sort columns at the end).
    const std::string record = Le32(1) + Le32(0) + Le32(0) + Le32(90) + Le32(10) + Le32(10000) + Le32(0) +
                               Le32(-1) + Le32(0) + Le32(4) + Le32(4) + Le32(0) + Le32(0x0F) + Le32(0);
    const std::string rest = Le32(-1) + Le32(clBtnFace) + Le32(20) + Le32(0) + Le32(0) + Le32(clWindowText) +
                             Le32(-11) + Le32(0) + Le32(0) + Le32(0);
    TMemoryStream stream(record + rest);
    TTestTree other;
    other.Header().ReadHeaderStream(stream);
    EXPECT_EQ(other.Header().Columns().Count(), 1);
    EXPECT_EQ(other.Header().Columns().ColumnAt(0)->Width(), 90);
    EXPECT_EQ(other.Header().Height(), 20);
    EXPECT_EQ(stream.Position(), stream.Size());
}
