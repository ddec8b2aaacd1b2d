// The scroll offset, the wheel, automatic scrolling during a rubber band and the type-ahead
// search.

#include "TreeView/input/InputTestSupport.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

void Wheel(TInputTree& tree, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPoint at(50, 50);
    QWheelEvent event(at, tree.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(tree.viewport(), &event);
}

void Type(TInputTree& tree, const QString& text)
{
    for (QChar c : text)
        QTest::keyClick(&tree, c.toLatin1());
}

} // namespace

TEST(Scroll, OffsetsAreClampedAndAnUnchangedOffsetFiresNothing)
{
    TInputTree tree(100);
    std::vector<std::pair<int, int>> scrolls;
    tree.OnScroll = [&](TBaseLazyTree*, int dx, int dy) { scrolls.emplace_back(dx, dy); };
    tree.SetOffsetY(-50);
    tree.SetOffsetY(-50);
    tree.SetOffsetY(5);
    tree.SetOffsetY(-1000000);
    const int bottom = tree.ClientHeight() - tree.RangeY();
    EXPECT_EQ(tree.OffsetY(), bottom);
    ASSERT_EQ(scrolls.size(), 3u);
    EXPECT_EQ(scrolls[0], std::make_pair(0, -50));
    EXPECT_EQ(scrolls[1], std::make_pair(0, 50)) << "clamped at 0";
    EXPECT_EQ(scrolls[2], std::make_pair(0, bottom));
    tree.SetOffsetX(-10);
    EXPECT_EQ(tree.OffsetX(), 0) << "nothing to scroll sideways";
}

TEST(Scroll, TheWheelScrollsLinesPagesOrSideways)
{
    TInputTree tree(100);
    const int lines = QApplication::wheelScrollLines();
    Wheel(tree, -120);
    EXPECT_EQ(tree.OffsetY(), -lines * 18) << "the system's lines per notch";
    tree.SetOffsetY(0);
    Wheel(tree, -120, Qt::ControlModifier);
    EXPECT_EQ(tree.OffsetY(), -(tree.ClientHeight() / 18) * 18) << "a page of whole rows";
    tree.SetOffsetY(0);
    for (int i = 0; i < 8; ++i)
        Wheel(tree, -15);
    EXPECT_EQ(tree.OffsetY(), -lines * 18) << "eight touchpad eighths make one notch";
    // A list that fits scrolls sideways by the indent.
    TInputTree wide(2);
    wide.SetNames({QString(200, 'w'), "x"});
    wide.RefreshScrollBars(false);
    ASSERT_GT(wide.RangeX(), wide.ClientWidth());
    Wheel(wide, -120);
    EXPECT_EQ(wide.OffsetX(), -18);
}

TEST(Scroll, ARubberBandHeldAtTheBorderScrollsAfterTheDelay)
{
    TInputTree tree(100);
    tree.TreeOptions().SetSelectionOptions(tree.TreeOptions().SelectionOptions() + toMultiSelect);
    tree.TreeOptions().SetAutoOptions(tree.TreeOptions().AutoOptions() + toAutoScroll);
    tree.SetAutoScrollDelay(150);
    tree.SetAutoScrollInterval(10);
    tree.Activate();
    const QPoint start = tree.RowRightPoint(tree.Root(1));
    QTest::mousePress(tree.viewport(), Qt::LeftButton, Qt::NoModifier, start);
    const QPoint border(tree.LabelPoint(tree.Root(1)).x() + 2, tree.ClientHeight() - 4);
    QTest::mouseMove(tree.viewport(), start + QPoint(0, 20));
    QTest::mouseMove(tree.viewport(), border);
    QTest::qWait(60);
    QTest::mouseMove(tree.viewport(), border + QPoint(1, 0));
    EXPECT_EQ(tree.OffsetY(), 0) << "not before the delay";
    QTest::qWait(300);
    QTest::mouseMove(tree.viewport(), border);
    QTest::qWait(300);
    EXPECT_LT(tree.OffsetY(), 0) << "then every interval";
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::NoModifier, border);
    EXPECT_GT(tree.SelectionCount(), 10u) << "the band grew with the scrolling";
    EXPECT_FALSE(tree.TreeStates().Contains(tsScrolling));
}

TEST(TypeAhead, CharactersWithinTheTimeoutSearchTogether)
{
    TInputTree tree(6);
    tree.SetNames({"apple", "banana", "apricot", "avocado", "berry", "cherry"});
    tree.SetIncrementalSearch(TLTIncrementalSearch::isAll);
    tree.SetIncrementalSearchTimeout(100000);
    tree.Activate();
    Type(tree, "ap");
    EXPECT_EQ(tree.FocusNode(), tree.Root(0));
    Type(tree, "r");
    EXPECT_EQ(tree.FocusNode(), tree.Root(2)) << "'apr' from the focused node on";
    EXPECT_EQ(tree.SearchBuffer(), "apr");
    QTest::keyClick(&tree, Qt::Key_Backspace);
    EXPECT_EQ(tree.SearchBuffer(), "ap") << "Backspace shortens and searches backwards";
    EXPECT_EQ(tree.FocusNode(), tree.Root(0));
    Type(tree, "x");
    EXPECT_EQ(tree.FocusNode(), tree.Root(0)) << "no match: the focus stays";
    EXPECT_EQ(tree.SelectionCount(), 1u);
}

TEST(TypeAhead, TheSameLetterAgainMovesToTheNextNodeWithIt)
{
    TInputTree tree(6);
    tree.SetNames({"apple", "banana", "apricot", "avocado", "berry", "aardvark"});
    tree.SetIncrementalSearch(TLTIncrementalSearch::isAll);
    tree.SetIncrementalSearchTimeout(100000);
    tree.Activate();
    Type(tree, "a");
    EXPECT_EQ(tree.FocusNode(), tree.Root(0));
    Type(tree, "a");
    EXPECT_EQ(tree.FocusNode(), tree.Root(2)) << "the next node starting with a";
    Type(tree, "a");
    EXPECT_EQ(tree.FocusNode(), tree.Root(3));
    Type(tree, "a");
    EXPECT_EQ(tree.FocusNode(), tree.Root(5));
    EXPECT_EQ(tree.SearchBuffer(), "a");
    Type(tree, "a");
    EXPECT_EQ(tree.FocusNode(), tree.Root(5)) << "unless the node matches the letter typed twice";
    EXPECT_EQ(tree.SearchBuffer(), "aa");
}

TEST(TypeAhead, AfterTheTimeoutANewSearchStarts)
{
    TInputTree tree(4);
    tree.SetNames({"bx", "ab", "ba", "cc"});
    tree.SetIncrementalSearch(TLTIncrementalSearch::isAll);
    tree.SetIncrementalSearchTimeout(50);
    tree.Activate();
    Type(tree, "a");
    EXPECT_EQ(tree.FocusNode(), tree.Root(1));
    QTest::qWait(150);
    EXPECT_FALSE(tree.TreeStates().Contains(tsIncrementalSearching));
    EXPECT_TRUE(tree.SearchBuffer().isEmpty());
    Type(tree, "b");
    EXPECT_EQ(tree.FocusNode(), tree.Root(2)) << "'b' alone, from the focused node on";
    tree.SetIncrementalSearch(TLTIncrementalSearch::isNone);
    Type(tree, "c");
    EXPECT_EQ(tree.FocusNode(), tree.Root(2)) << "no search with isNone";
}
