// Keys and double-clicks of the explorer views, sent as real key and mouse events: Space picks
// the focused row and Ctrl+Space toggles it, Ctrl+Page Up and Ctrl+Page Down move the focus a
// page without touching the selection, and a double-click with either button is reported.

#include "ShellBrowsing/explorer/ExplorerTestSupport.h"

#include <QTest>

#include <set>

namespace {

class ExplorerKeys : public TExplorerTest {
protected:
    std::set<std::string> SelectedNames(TCustomShellExplorerTree& view)
    {
        std::set<std::string> names;
        for (PLazyNode node : view.CollectSelectedNodes(false))
            names.insert(view.NodeNamespace(node)->DisplayNameInFolder().toStdString());
        return names;
    }

    std::string FocusedName(TCustomShellExplorerTree& view)
    {
        TNamespace* ns = view.NodeNamespace(view.FocusNode());
        return ns ? ns->DisplayNameInFolder().toStdString() : std::string();
    }

    // A shown list with the keyboard focus.
    std::unique_ptr<TTestListview> FocusedList()
    {
        auto list = MakeList(Dir());
        list->show();
        list->activateWindow();
        list->setFocus();
        WaitUntil([&] { return list->hasFocus(); }, 2000);
        return list;
    }

    // Whether the row lies wholly inside the client area.
    static bool WhollyShown(TCustomShellExplorerTree& view, PLazyNode node)
    {
        const TRect r = view.NodeDisplayRect(node, NoColumn, false);
        return r.Top >= 0 && r.Bottom <= view.ClientHeight();
    }

    // Whether the row is one of the last two rows that the client area shows whole.
    static bool NearTheBottom(TCustomShellExplorerTree& view, PLazyNode node)
    {
        const TRect r = view.NodeDisplayRect(node, NoColumn, false);
        return r.Bottom > view.ClientHeight() - 2 * view.GetRowHeight(node);
    }
};

struct TSpaceStep {
    Qt::KeyboardModifiers Modifiers;
    std::set<std::string> Selected;
    const char* Why;
};

} // namespace

TEST_F(ExplorerKeys, SpaceSelectsTheFocusedRowAndCtrlSpaceTogglesIt)
{
    MakeFile("a.txt");
    MakeFile("b.txt");
    MakeFile("c.txt");
    auto list = FocusedList();
    SelectRows(*list, {"a.txt"});
    QTest::keyClick(list.get(), Qt::Key_Down, Qt::ControlModifier);
    ASSERT_EQ(FocusedName(*list), "b.txt");
    ASSERT_EQ(SelectedNames(*list), (std::set<std::string>{"a.txt"}));
    const TSpaceStep steps[] = {
        {Qt::ControlModifier, {"a.txt", "b.txt"}, "Ctrl+Space picks an unselected row beside the others"},
        {Qt::ControlModifier, {"a.txt"}, "Ctrl+Space drops a selected row"},
        {Qt::NoModifier, {"a.txt", "b.txt"}, "Space picks the focused row"},
        {Qt::NoModifier, {"a.txt", "b.txt"}, "Space keeps a selected row selected"},
        {Qt::ShiftModifier | Qt::ControlModifier, {"a.txt", "b.txt"}, "Shift leaves the selection alone"},
    };
    for (const TSpaceStep& step : steps) {
        SCOPED_TRACE(step.Why);
        QTest::keyClick(list.get(), Qt::Key_Space, step.Modifiers);
        EXPECT_EQ(SelectedNames(*list), step.Selected);
        EXPECT_EQ(FocusedName(*list), "b.txt") << "the focus stays";
    }
}

TEST_F(ExplorerKeys, CtrlPageKeysMoveTheFocusAPageAndKeepTheSelection)
{
    for (int i = 0; i < 60; ++i)
        MakeFile("f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt");
    auto list = FocusedList();
    list->resize(400, 220);
    SelectRows(*list, {"f00.txt"});
    const std::set<std::string> selection{"f00.txt"};
    PLazyNode first = RowNamed(*list, "f00.txt");
    ASSERT_EQ(list->NodeAtTop(), first);

    // The first press focuses the page's last whole row and does not scroll.
    QTest::keyClick(list.get(), Qt::Key_PageDown, Qt::ControlModifier);
    PLazyNode pageEnd = list->FocusNode();
    ASSERT_NE(pageEnd, first);
    EXPECT_EQ(list->OffsetY(), 0) << "the view stays while the focus moves";
    EXPECT_TRUE(WhollyShown(*list, pageEnd));
    EXPECT_TRUE(NearTheBottom(*list, pageEnd)) << "the focus went to the page's last whole row";
    EXPECT_EQ(SelectedNames(*list), selection);

    // Pressed on the page's last row, the view scrolls a page and the focus follows.
    QTest::keyClick(list.get(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_LT(list->OffsetY(), 0);
    EXPECT_NE(list->FocusNode(), pageEnd);
    EXPECT_TRUE(WhollyShown(*list, list->FocusNode()));
    EXPECT_TRUE(NearTheBottom(*list, list->FocusNode()));
    EXPECT_EQ(SelectedNames(*list), selection);

    // Ctrl+Page Up first focuses the uppermost row, then scrolls a page up.
    const int scrolled = list->OffsetY();
    QTest::keyClick(list.get(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(list->OffsetY(), scrolled);
    EXPECT_EQ(list->FocusNode(), list->NodeAtTop());
    QTest::keyClick(list.get(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_GT(list->OffsetY(), scrolled);
    EXPECT_EQ(list->FocusNode(), list->NodeAtTop());
    EXPECT_EQ(SelectedNames(*list), selection);

    // At the end the last row takes the focus.
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(list.get(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(FocusedName(*list), "f59.txt");
    EXPECT_EQ(SelectedNames(*list), selection);
}

TEST_F(ExplorerKeys, CtrlPageKeysWithoutAFocusFocusTheFirstRow)
{
    MakeFile("a.txt");
    MakeFile("b.txt");
    for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_PageUp}) {
        auto list = FocusedList();
        list->DeselectAll();
        list->AssignFocusedNode(nullptr);
        QTest::keyClick(list.get(), key, Qt::ControlModifier);
        EXPECT_EQ(FocusedName(*list), "a.txt");
        EXPECT_TRUE(SelectedNames(*list).empty());
    }
}

namespace {

struct TDblClickCase {
    Qt::MouseButton Button;
    bool OnRow;
    TMouseButton Reported;
};

class ExplorerDoubleClicks : public ExplorerKeys, public ::testing::WithParamInterface<TDblClickCase> {};

} // namespace

TEST_P(ExplorerDoubleClicks, AreReportedWithTheButtonAndTheNodeUnderTheMouse)
{
    MakeFile("a.txt");
    MakeFile("b.txt");
    auto list = FocusedList();
    // No context menu after the right button's clicks.
    list->OnContextMenuShow = [](TCustomShellExplorerTree*, TNamespace*, QMenu*, bool& allow) { allow = false; };
    // Nor is the file opened by another program.
    list->OnShellExecute = [](TCustomShellExplorerTree*, TNamespace*, QString&, QString&, bool& allow) {
        allow = false;
    };
    std::vector<std::pair<PLazyNode, TMouseButton>> reports;
    list->OnTreeDblClick = [&](TCustomShellExplorerTree* sender, PLazyNode node, TMouseButton button, TPoint&) {
        EXPECT_EQ(sender, list.get());
        reports.emplace_back(node, button);
    };
    PLazyNode b = RowNamed(*list, "b.txt");
    const TRect r = list->NodeDisplayRect(b, 0, true);
    const QPoint at = GetParam().OnRow ? QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2)
                                       : QPoint(20, list->ClientHeight() - 5);
    QTest::mouseDClick(list->viewport(), GetParam().Button, Qt::NoModifier, at);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first, GetParam().OnRow ? b : nullptr);
    EXPECT_EQ(reports[0].second, GetParam().Reported);
}

INSTANTIATE_TEST_SUITE_P(Buttons, ExplorerDoubleClicks,
                         ::testing::Values(TDblClickCase{Qt::LeftButton, true, TMouseButton::mbLeft},
                                           TDblClickCase{Qt::RightButton, true, TMouseButton::mbRight},
                                           TDblClickCase{Qt::LeftButton, false, TMouseButton::mbLeft},
                                           TDblClickCase{Qt::RightButton, false, TMouseButton::mbRight}));
