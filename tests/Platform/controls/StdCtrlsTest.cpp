// The standard controls over Qt widgets: the memo's lines and text with CR LF, items of combo
// and list boxes, clipboard commands of the edits as messages, the page control's sheets as
// children, the panel and the windowless graphic control.

#include "Platform/controls/ComCtrls.h"
#include "Platform/core/Exceptions.h"
#include "Platform/controls/ExtCtrls.h"
#include "Platform/controls/Mask.h"
#include "Platform/controls/StdCtrls.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using V = std::vector<std::string>;

V Lines(const TStrings& s)
{
    V v;
    for (int i = 0; i < s.Count(); ++i)
        v.push_back(s[i]);
    return v;
}

// Logs the clipboard messages an edit receives and lets them through unless told otherwise.
template <class T>
struct ClipboardLog {
    explicit ClipboardLog(T& edit) : Edit(edit), Previous(edit.WindowProc)
    {
        edit.WindowProc = [this](TMessage& m) {
            if (m.Msg >= WM_CUT && m.Msg <= WM_UNDO) {
                Seen.push_back(m.Msg);
                if (Block)
                    return;
            }
            Previous(m);
        };
    }
    ~ClipboardLog() { Edit.WindowProc = Previous; }
    T& Edit;
    TWndMethod Previous;
    std::vector<UINT> Seen;
    bool Block = false;
};

} // namespace

TEST(Memo, LinesFollowTheTextAndAFinalBreakStartsNoLine)
{
    TCustomMemo memo(nullptr);
    struct Case {
        const char* Text;
        V Lines;
    };
    const std::vector<Case> cases = {
        {"", {}}, {"a", {"a"}}, {"a\r\n", {"a"}}, {"a\r\nb", {"a", "b"}}, {"\r\n", {""}}, {"a\nb\rc", {"a", "b", "c"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        memo.SetText(c.Text);
        EXPECT_EQ(Lines(memo.Lines()), c.Lines);
    }
    memo.SetText("one\ntwo");
    EXPECT_EQ(memo.Text(), "one\r\ntwo");
}

TEST(Memo, AddingInsertingAndDeletingLines)
{
    TCustomMemo memo(nullptr);
    TStrings& lines = memo.Lines();
    lines.Add("first");
    lines.Add("second");
    EXPECT_EQ(memo.Text(), "first\r\nsecond\r\n");
    lines.Insert(1, "between");
    EXPECT_EQ(Lines(lines), (V{"first", "between", "second"}));
    lines.Delete(0);
    lines.SetStrings(0, "middle");
    EXPECT_EQ(Lines(lines), (V{"middle", "second"}));
    memo.SetText("no break");
    lines.Add("appended");
    EXPECT_EQ(memo.Text(), "no break\r\nappended");
    lines.Delete(1);
    EXPECT_EQ(Lines(lines), (V{"no break"}));
    EXPECT_THROW(lines.Delete(5), EListError);
    int changes = 0;
    memo.OnChange = [&](TObject*) { ++changes; };
    lines.Clear();
    EXPECT_EQ(memo.Text(), "");
    EXPECT_EQ(changes, 1);
}

TEST(Memo, ClipboardKeysAndMenuEntriesBecomeMessages)
{
    TCustomMemo memo(nullptr);
    ClipboardLog log(memo);
    memo.SetText("text");
    memo.selectAll();
    QTest::keyClick(&memo, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "text");
    log.Block = true;
    QTest::keyClick(&memo, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&memo, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&memo, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(memo.Text(), "text");
    const std::unique_ptr<QMenu> menu = memo.CreateEditMenu(QPoint(0, 0));
    for (QAction* a : menu->actions())
        if (a->objectName() == "edit-delete")
            a->trigger();
    EXPECT_EQ(memo.Text(), "text");
    EXPECT_EQ(log.Seen, (std::vector<UINT>{WM_COPY, WM_CUT, WM_PASTE, WM_UNDO, WM_CLEAR}));
    log.Block = false;
    memo.ClearSelection();
    EXPECT_EQ(memo.Text(), "");
}

TEST(MaskEdit, ClipboardCommandsGoThroughTheWindowProcedure)
{
    TCustomMaskEdit edit(nullptr);
    ClipboardLog log(edit);
    edit.SetText("abc");
    edit.selectAll();
    log.Block = true;
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit.Text(), "abc");
    // Qt does not name the entries of a single-line edit's menu; they are known by their keys.
    const std::unique_ptr<QMenu> menu = edit.CreateEditMenu();
    for (QAction* a : menu->actions())
        if (a->text().startsWith("Cu&t") || a->text() == "Delete")
            a->trigger();
    EXPECT_EQ(edit.Text(), "abc");
    EXPECT_EQ(log.Seen, (std::vector<UINT>{WM_CUT, WM_CUT, WM_CLEAR}));
    log.Block = false;
    edit.CutToClipboard();
    EXPECT_EQ(edit.Text(), "");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "abc");
    edit.Undo();
    EXPECT_EQ(edit.Text(), "abc");
    // WM_CLEAR takes only a selection.
    edit.setCursorPosition(0);
    edit.ClearSelection();
    EXPECT_EQ(edit.Text(), "abc");
}

TEST(ComboAndListBox, ItemsAreTheWidgetsItems)
{
    TCustomComboBox combo(nullptr);
    combo.Items().Add("one");
    combo.Items().Add("two");
    combo.Items().Insert(0, "zero");
    EXPECT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(0), "zero");
    combo.SetStyle(TComboBoxStyle::csDropDownList);
    combo.SetText("two");
    EXPECT_EQ(combo.ItemIndex(), 2);
    EXPECT_EQ(combo.Text(), "two");
    combo.Items().Delete(0);
    EXPECT_EQ(Lines(combo.Items()), (V{"one", "two"}));

    TCustomListBox list(nullptr);
    list.Items().SetText("a\r\nb\r\nc\r\n");
    EXPECT_EQ(list.count(), 3);
    list.Items().SetStrings(1, "B");
    EXPECT_EQ(list.item(1)->text(), "B");
    list.SetItemIndex(2);
    EXPECT_EQ(list.ItemIndex(), 2);
    list.Items().Clear();
    EXPECT_EQ(list.count(), 0);
}

TEST(PageControl, SheetsAreInsertedAndRemovedAsChildren)
{
    TPageControl pages(nullptr);
    std::vector<std::string> log;
    const TWndMethod previous = pages.WindowProc;
    pages.WindowProc = [&](TMessage& m) {
        if (m.Msg == CM_CONTROLLISTCHANGE || m.Msg == CM_CONTROLCHANGE)
            log.push_back((m.Msg == CM_CONTROLLISTCHANGE ? "list " : "change ") + std::to_string(m.LParam));
        previous(m);
    };
    auto sheet = std::make_unique<TTabSheet>(nullptr);
    sheet->SetCaption("First");
    sheet->SetPageControl(&pages);
    EXPECT_EQ(pages.PageCount(), 1);
    EXPECT_EQ(pages.tabText(0), "First");
    sheet->SetCaption("Renamed");
    EXPECT_EQ(pages.tabText(0), "Renamed");
    EXPECT_EQ(pages.ActivePage(), sheet.get());
    sheet.reset();
    EXPECT_EQ(pages.PageCount(), 0);
    EXPECT_EQ(log, (V{"list 1", "change 1", "change 0", "list 0"}));
    pages.WindowProc = previous;
}

TEST(Panel, PaintsItsColourAndBevel)
{
    TCustomPanel panel(nullptr);
    panel.resize(40, 20);
    panel.SetColor(clRed);
    const QImage image = panel.grab().toImage();
    EXPECT_EQ(image.pixelColor(20, 10), QColor(255, 0, 0));
    EXPECT_NE(image.pixelColor(0, 0), QColor(255, 0, 0)); // the raised bevel
}

TEST(GraphicControl, TakesNoFocusAndLetsTheParentShowThrough)
{
    TCustomControl parent(nullptr);
    parent.resize(40, 40);
    parent.setAutoFillBackground(true);
    parent.SetColor(clBlue);
    TGraphicControl graphic(nullptr);
    graphic.SetParent(&parent);
    graphic.setGeometry(0, 0, 20, 20);
    EXPECT_EQ(graphic.focusPolicy(), Qt::NoFocus);
    const QImage image = parent.grab().toImage();
    EXPECT_EQ(image.pixelColor(5, 5), QColor(0, 0, 255));
}
