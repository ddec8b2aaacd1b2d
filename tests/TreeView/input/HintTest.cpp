// Hints and tooltips, the drag image, the platform tree-view queries and what losing the focus
// cancels.

#include "TreeView/input/InputTestSupport.h"

#include "TreeView/Source/core/LTTreeViewQueries.h"
#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/paint/LTDragImage.h"
#include "TreeView/Source/paint/LTHintWindow.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A hint window that counts how often its rectangle was asked for.
class TCountingHintWindow : public TLazyTreeHintWindow {
public:
    explicit TCountingHintWindow(int& calls) : FCalls(calls) {}
    TRect CalcHintRect(int maxWidth, const TLTHintData& data) override
    {
        ++FCalls;
        return TLazyTreeHintWindow::CalcHintRect(maxWidth, data);
    }

private:
    int& FCalls;
};

class THintTree : public TInputTree {
public:
    THintTree() : TInputTree(3)
    {
        Header().Columns().AddColumn()->SetWidth(80);
        Header().Columns().AddColumn()->SetWidth(80);
        Header().SetMainColumn(0);
        SetNames({"short", "A caption that is far too long for its column", "x"});
        SetHintMode(TLTHintMode::hmTooltip);
        SetShowHint(true);
        Activate();
    }
    std::unique_ptr<TLazyTreeHintWindow> HintWindowClassToUse() override
    {
        return std::make_unique<TCountingHintWindow>(Calls);
    }
    int Calls = 0;
};

} // namespace

TEST(Hint, ATruncatedCellShowsItsWholeTextExactlyOverItAtOnce)
{
    THintTree tree;
    QTest::mouseMove(tree.viewport(), tree.LabelPoint(tree.Root(0)));
    EXPECT_FALSE(tree.HintShown()) << "a text that fits has no tooltip";
    const QPoint over = tree.LabelPoint(tree.Root(1));
    QTest::mouseMove(tree.viewport(), over);
    ASSERT_TRUE(tree.HintShown()) << "without the hint pause";
    const TLazyTreeHintWindow* window = tree.HintWindow();
    EXPECT_EQ(window->ShownText(), tree.Names[1]);
    const TRect text = tree.NodeDisplayRect(tree.Root(1), 0, true, true);
    const TPoint corner = tree.ClientToScreen(text.TopLeft());
    EXPECT_EQ(window->geometry().topLeft(), QPoint(corner.X - 1, corner.Y - 1)) << "framed around the text";
    EXPECT_EQ(window->width(), text.Width() + 2);
    EXPECT_TRUE(tree.TreeStates().Contains(tsHint));
    const int calls = tree.Calls;
    QTest::mouseMove(tree.viewport(), over + QPoint(5, 0));
    EXPECT_EQ(tree.Calls, calls) << "moving within the same text asks for no new hint";
    QTest::mouseMove(tree.viewport(), tree.LabelPoint(tree.Root(2)));
    EXPECT_FALSE(tree.HintShown()) << "leaving the text ends it";
    EXPECT_FALSE(tree.TreeStates().Contains(tsHint));
}

TEST(Hint, NodeHintsGoBelowTheRowAndFollowOnGetHint)
{
    THintTree tree;
    tree.SetHintMode(TLTHintMode::hmHint);
    tree.OnGetHint = [](TCustomLazyStringTree*, PLazyNode node, TColumnIndex column, TLTTooltipLineBreakStyle&,
                        QString& text) { text = QString("hint %1/%2").arg(node->SiblingIndex).arg(column); };
    const QPoint at = tree.LabelPoint(tree.Root(2));
    QHelpEvent help(QEvent::ToolTip, at, tree.viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(tree.viewport(), &help);
    ASSERT_TRUE(tree.HintShown());
    EXPECT_EQ(tree.HintWindow()->ShownText(), "hint 2/0");
    const TRect row = tree.NodeDisplayRect(tree.Root(2), 0, false);
    EXPECT_EQ(tree.HintWindow()->geometry().top(), tree.ClientToScreen({0, row.Bottom + 2}).Y);
    tree.SetShowHint(false);
    QCoreApplication::sendEvent(tree.viewport(), &help);
    EXPECT_FALSE(tree.HintShown()) << "no hint without ShowHint";
}

TEST(Hint, AHintNearTheDesktopEdgeStaysOnTheDesktop)
{
    TLazyTreeHintWindow window;
    TInputTree tree(1);
    TLTHintData data;
    data.OwnerTree = &tree;
    data.DefaultText = "a hint";
    TRect r = window.CalcHintRect(300, data);
    ASSERT_FALSE(r.IsEmpty());
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    OffsetRect(r, desktop.right() - 10, 100);
    window.ActivateHint(r);
    EXPECT_EQ(window.geometry().right(), desktop.right());
    EXPECT_EQ(window.geometry().top(), 100);
    data.DefaultText.clear();
    EXPECT_TRUE(window.CalcHintRect(300, data).IsEmpty()) << "no text, no hint";
}

TEST(Hint, AMultiLineTooltipThatFitsIsNotNeeded)
{
    TInputTree tree(1);
    tree.OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode, TShellNodeInitStates& s) { s.Include(ivsMultiline); };
    tree.ReinitializeNode(tree.Root(0), false);
    tree.SetHintMode(TLTHintMode::hmTooltip);
    TLazyTreeHintWindow window;
    TLTHintData data;
    data.OwnerTree = &tree;
    data.HintNode = tree.Root(0);
    EXPECT_TRUE(window.CalcHintRect(300, data).IsEmpty());
}

TEST(DragImage, MovesFollowTheLimitAndTheAlphaFadesTowardsTheEdges)
{
    QImage picture(40, 20, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    picture.setPixelColor(0, 0, Qt::red);
    TLTDragImage image;
    image.FadeEdges = true;
    image.AlphaLevel = 256;
    image.KeyColor = clRed;
    image.MoveLimit = TLTMoveLimit::mlHorizontal;
    image.LoadDragPicture(picture, {100, 100}, nullptr, {120, 110});
    EXPECT_FALSE(image.ImageShown()) << "prepared hidden";
    image.RevealDragImage();
    EXPECT_TRUE(image.ImageShown());
    EXPECT_FALSE(image.MoveDragImage({120, 110}, false)) << "the same point draws nothing";
    EXPECT_FALSE(image.WouldMoveImage({120, 150})) << "vertical moves are ignored";
    EXPECT_TRUE(image.MoveDragImage({130, 150}, false));
    EXPECT_EQ(image.DragImageBounds(), Bounds(110, 100, 40, 20));
    const QImage& shown = image.ShownPicture();
    EXPECT_EQ(qAlpha(shown.pixel(20, 10)), 255) << "opaque at the centre";
    EXPECT_LT(qAlpha(shown.pixel(39, 10)), 40) << "faded at the edge";
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0) << "the key colour is transparent";
    image.FinishDragImage();
    EXPECT_TRUE(image.DragImageBounds().IsEmpty());
}

TEST(DragImage, ADraggedHeaderColumnCarriesItsPicture)
{
    TInputTree tree(2);
    for (int i = 0; i < 3; ++i)
        tree.Header().Columns().AddColumn()->SetWidth(80);
    tree.Header().SetOptions(tree.Header().Options() + hoVisible + hoRestrictDrag);
    QWidget* header = tree.Header().Widget();
    QTest::mousePress(header, Qt::LeftButton, Qt::NoModifier, QPoint(20, 5));
    QTest::mouseMove(header, QPoint(60, 5));
    QTest::mouseMove(header, QPoint(140, 30));
    const TLTDragImage& image = tree.Header().DragImage();
    EXPECT_TRUE(image.ImageShown());
    const TRect bounds = image.DragImageBounds();
    EXPECT_EQ(bounds.Width(), 80);
    EXPECT_EQ(bounds.Top, header->mapToGlobal(QPoint(0, 0)).y()) << "hoRestrictDrag: moves sideways only";
    EXPECT_EQ(bounds.Left, header->mapToGlobal(QPoint(120, 0)).x()) << "moved with the mouse";
    QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, QPoint(140, 5));
    EXPECT_FALSE(image.ImageShown());
    EXPECT_EQ(tree.Header().Columns().ColumnAt(0)->Position(), 1) << "dropped after the second column";
}

TEST(Queries, TreeViewQueriesAnswerLikeAPlatformTreeView)
{
    TInputTree tree(3, 2);
    tree.SetNames({"first", "second", "third"});
    tree.FlipExpanded(tree.Root(1));
    struct TCase {
        WPARAM Relation;
        PLazyNode From;
        PLazyNode Expected;
    };
    const TCase cases[] = {
        {TVGN_ROOT, nullptr, tree.Root(0)},
        {TVGN_NEXT, tree.Root(0), tree.Root(1)},
        {TVGN_PREVIOUS, tree.Root(0), nullptr},
        {TVGN_PARENT, tree.Root(1), nullptr},
        {TVGN_PARENT, tree.Child(tree.Root(1), 0), tree.Root(1)},
        {TVGN_CHILD, tree.Root(1), tree.Child(tree.Root(1), 0)},
        {TVGN_NEXTVISIBLE, tree.Root(1), tree.Child(tree.Root(1), 0)},
        {TVGN_LASTVISIBLE, nullptr, tree.Root(2)},
        {TVGN_CARET, nullptr, nullptr},
        {TVGN_NEXT, nullptr, nullptr},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(reinterpret_cast<PLazyNode>(tree.Perform(TVM_GETNEXTITEM, c.Relation, reinterpret_cast<LPARAM>(c.From))),
                  c.Expected)
            << c.Relation;
    char buffer[4] = {'?', '?', '?', '?'};
    TTVItem item;
    item.Mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_CHILDREN;
    item.Item = tree.Root(1);
    item.Text = buffer;
    item.TextMax = 4;
    tree.SetNodeSelected(tree.Root(1), true);
    EXPECT_EQ(tree.Perform(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)), 1);
    EXPECT_STREQ(buffer, "sec") << "cut to the buffer and terminated";
    EXPECT_EQ(item.State & 0xFF, unsigned{TVIS_SELECTED | TVIS_EXPANDED});
    EXPECT_EQ(item.Children, 2);
    TTVItem noHandle;
    EXPECT_EQ(tree.Perform(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&noHandle)), 0);
    TTVItemRect block;
    block.Item = tree.Root(2);
    EXPECT_EQ(tree.Perform(TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&block)), 1);
    EXPECT_EQ(block.Rect.Top, 18 * 4) << "below the open second root and its two children";
    tree.SetNodeShown(tree.Root(2), false);
    EXPECT_EQ(tree.Perform(TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&block)), 0);
}

TEST(Focus, LosingTheFocusCancelsARubberBandAndAPendingDrag)
{
    TInputTree tree(5);
    tree.TreeOptions().SetSelectionOptions(tree.TreeOptions().SelectionOptions() + toMultiSelect);
    tree.SetIncrementalSearch(TLTIncrementalSearch::isAll);
    tree.Activate();
    QTest::keyClick(&tree, 'n');
    ASSERT_TRUE(tree.TreeStates().Contains(tsIncrementalSearching));
    QTest::mousePress(tree.viewport(), Qt::LeftButton, Qt::NoModifier, tree.RowRightPoint(tree.Root(0)));
    ASSERT_TRUE(tree.MouseSelecting());
    tree.Perform(CM_CANCELMODE);
    EXPECT_FALSE(tree.MouseSelecting());
    tree.Perform(WM_KILLFOCUS);
    EXPECT_FALSE(tree.TreeStates().Contains(tsIncrementalSearching));
    EXPECT_TRUE(tree.SearchBuffer().isEmpty());
    EXPECT_FALSE(tree.TreeStates().Contains(tsLeftButtonDown));
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::NoModifier, tree.RowRightPoint(tree.Root(0)));
}
