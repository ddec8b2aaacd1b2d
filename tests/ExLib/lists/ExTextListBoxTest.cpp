// The text list box: its horizontal extent follows the widest line as lines come and go, a font
// change re-measures every line, and tabs expand to the list's tab stops.

#include "ExLib/run/lists/ExTextListBox.h"

#include "Platform/controls/ControlFont.h"

#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

struct ListFixture : ::testing::Test {
    TExTextListBox list{nullptr};
    TCanvas canvas;

    ListFixture()
    {
        list.resize(100, 80);
        AssignQFont(canvas.Font(), list.font());
    }
    int Width(const std::string& line) { return canvas.TextWidth(line + "x"); }
};

} // namespace

TEST_F(ListFixture, TheExtentIsTheWidestLineAndShrinksWhenItGoes)
{
    EXPECT_EQ(list.WidestItem(), 0);
    EXPECT_EQ(list.Perform(LB_GETHORIZONTALEXTENT), 0);
    list.Items().Add("short");
    const std::string wide = "a rather wide line of output that needs scrolling";
    list.Items().Add(wide);
    list.Items().Add("medium line");
    EXPECT_EQ(list.WidestItem(), Width(wide));
    EXPECT_EQ(list.Perform(LB_GETHORIZONTALEXTENT), Width(wide));
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), Width(wide) - list.viewport()->width());

    // A narrower line goes: the extent stays.
    list.Items().Delete(0);
    EXPECT_EQ(list.WidestItem(), Width(wide));
    // The widest goes: back to the left, the next widest.
    list.horizontalScrollBar()->setValue(20);
    list.Items().Delete(0);
    EXPECT_EQ(list.WidestItem(), Width("medium line"));
    EXPECT_EQ(list.horizontalScrollBar()->value(), 0);
    list.Items().Clear();
    EXPECT_EQ(list.WidestItem(), 0);
}

TEST_F(ListFixture, OfTwoEquallyWideLinesEitherMayGo)
{
    list.Items().Add("same width");
    list.Items().Add("same width");
    list.Items().Insert(0, "x");
    list.Items().Delete(1);
    EXPECT_EQ(list.WidestItem(), Width("same width"));
}

TEST_F(ListFixture, AFontChangeMeasuresEveryLineAgain)
{
    list.Items().Add("some line of text");
    const int before = list.WidestItem();
    QFont bigger = list.font();
    bigger.setPixelSize(QFontInfo(bigger).pixelSize() * 2);
    list.setFont(bigger);
    EXPECT_GT(list.WidestItem(), before);
}

TEST_F(ListFixture, TabsExpandToTheListsTabStops)
{
    EXPECT_EQ(ListTabStop(7, 8), 14);
    EXPECT_EQ(ListTabStop(6, 5), 8); // 7.5 rounds to even
    const int stop = 40;
    EXPECT_EQ(TabbedTextWidth(canvas, "\tA", stop), stop + canvas.TextWidth("A"));
    list.Items().Add("a\tb");
    list.SetTabWidth(32);
    const int zero = canvas.TextWidth("0");
    EXPECT_EQ(list.WidestItem(), TabbedTextWidth(canvas, "a\tbx", ListTabStop(zero, 32)));
}
