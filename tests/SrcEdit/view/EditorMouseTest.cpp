// The editor and the mouse: clicks, selecting by dragging, double clicks, the gutter, the wheel,
// the scroll bars, auto-scroll, the cursor, dragging text and dropping files.

#include "SrcEdit/view/EditorTestSupport.h"

#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>
#include <QWheelEvent>
#include <functional>

namespace {

using EditorMouse = EditorTest;

std::string ManyLines(int count)
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "line " + std::to_string(i) + (i < count ? "\r\n" : "");
    return text;
}

TEST_F(EditorMouse, AClickPlacesTheCaretOnTheNearestCharacterBoundary)
{
    Edit->SetTabWidth(4);
    // a, a-umlaut (2 bytes), a wide character (3 bytes, 2 columns), b; then a tab line.
    SetText("a\xC3\xA4\xE4\xB8\xAD" "b\r\n\tx\r\nlast");
    const int cw = Edit->CharWidth();
    struct Case {
        const char* What;
        QPoint At;
        TBufferCoord Caret;
    };
    const std::vector<Case> cases = {
        {"before the two-byte character", CellPoint(2, 1), {2, 1}},
        {"before the wide character", CellPoint(3, 1), {4, 1}},
        {"the middle of the wide character goes past it", CellPoint(4, 1), {7, 1}},
        {"the right half of a cell rounds to its end", CellPoint(1, 1) + QPoint(cw * 2 / 3, 0), {2, 1}},
        {"inside a tab", CellPoint(3, 2), {1, 2}},
        {"after the tab", CellPoint(5, 2), {2, 2}},
        {"beyond the end (eoScrollPastEol)", CellPoint(9, 3), {9, 3}},
        {"below the last line", CellPoint(2, 3) + QPoint(0, Edit->LineHeight() * 5), {2, 3}},
        {"in the gutter", QPoint(2, Edit->LineHeight() / 2), {1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Click(c.At);
        EXPECT_EQ(Caret(), c.Caret);
        EXPECT_FALSE(Edit->HasSelection());
    }
}

TEST_F(EditorMouse, DraggingSelectsInEachSelectionMode)
{
    struct Case {
        const char* What;
        TSrcSelectionMode Mode;
        bool AltSetsColumnMode;
        Qt::KeyboardModifiers Keys;
        QPoint From;
        QPoint To;
        std::string Selected;
        TSrcSelectionMode Active;
    };
    SetText("abcdef\r\nghijkl\r\nmnopqr");
    const std::vector<Case> cases = {
        {"normal", TSrcSelectionMode::smNormal, false, {}, CellPoint(2, 1), CellPoint(3, 2), "bcdef\r\ngh",
         TSrcSelectionMode::smNormal},
        {"normal, upwards", TSrcSelectionMode::smNormal, false, {}, CellPoint(3, 2), CellPoint(2, 1), "bcdef\r\ngh",
         TSrcSelectionMode::smNormal},
        {"line", TSrcSelectionMode::smLine, false, {}, CellPoint(4, 1), CellPoint(2, 2), "abcdef\r\nghijkl\r\n",
         TSrcSelectionMode::smLine},
        {"column", TSrcSelectionMode::smColumn, false, {}, CellPoint(2, 1), CellPoint(4, 3), "bc\r\nhi\r\nno",
         TSrcSelectionMode::smColumn},
        {"Alt sets column mode", TSrcSelectionMode::smNormal, true, Qt::AltModifier, CellPoint(2, 1),
         CellPoint(4, 3), "bc\r\nhi\r\nno", TSrcSelectionMode::smColumn},
        {"without Alt the option sets normal mode", TSrcSelectionMode::smColumn, true, {}, CellPoint(2, 1),
         CellPoint(4, 3), "bcdef\r\nghijkl\r\nmno", TSrcSelectionMode::smNormal},
        {"Alt alone does nothing", TSrcSelectionMode::smNormal, false, Qt::AltModifier, CellPoint(2, 1),
         CellPoint(4, 2), "bcdef\r\nghi", TSrcSelectionMode::smNormal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Edit->SetSelectionMode(c.Mode);
        if (c.AltSetsColumnMode)
            Options({eoAltSetsColumnMode});
        else
            Options({}, {eoAltSetsColumnMode});
        GoTo(1, 1);
        Press(c.From, c.Keys);
        EXPECT_TRUE(Edit->MouseCaptured());
        DragTo(c.To);
        Release(c.To, c.Keys);
        EXPECT_FALSE(Edit->MouseCaptured());
        EXPECT_EQ(Edit->GetSelectedText(), c.Selected);
        EXPECT_EQ(Edit->ActiveSelectionMode(), c.Active);
        const TDisplayPoint anchor = Edit->ClientToNearestDisplayPoint(c.From.x(), c.From.y());
        EXPECT_EQ(Edit->BlockBegin(), Edit->DisplayPointToBuffer(anchor));
    }
}

TEST_F(EditorMouse, ShiftClickExtendsTheSelectionFromItsAnchor)
{
    SetText("abcdef\r\nghijkl");
    Click(CellPoint(3, 1));
    Click(CellPoint(5, 2), Qt::ShiftModifier);
    EXPECT_EQ(Edit->GetSelectedText(), "cdef\r\nghij");
    Click(CellPoint(2, 1), Qt::ShiftModifier);
    EXPECT_EQ(Edit->GetSelectedText(), "b");
    EXPECT_EQ(Edit->BlockBegin(), MakeBufferCoord(3, 1));
}

TEST_F(EditorMouse, ADoubleClickSelectsTheWordUnderThePointer)
{
    SetText("foo bar_baz, qux\r\n\xC3\xA4hm ja");
    int dblClicks = 0;
    Edit->OnDblClick = [&](TObject*) { ++dblClicks; };
    const auto doubleClick = [&](QPoint p) {
        Click(p);
        QTest::mouseDClick(Edit->viewport(), Qt::LeftButton, {}, p);
        Release(p);
    };
    doubleClick(CellPoint(7, 1));
    EXPECT_EQ(Edit->GetSelectedText(), "bar_baz");
    EXPECT_EQ(Caret(), MakeBufferCoord(12, 1));
    EXPECT_EQ(dblClicks, 1);
    doubleClick(CellPoint(2, 2));
    EXPECT_EQ(Edit->GetSelectedText(), "\xC3\xA4hm");

    // Moving on with the button still down after a double click does not extend the word.
    Click(CellPoint(1, 1));
    QTest::mouseDClick(Edit->viewport(), Qt::LeftButton, {}, CellPoint(2, 1));
    DragTo(CellPoint(10, 1));
    Release(CellPoint(10, 1));
    EXPECT_EQ(Edit->GetSelectedText(), "foo");

    // In the gutter only the event fires.
    GoTo(1, 1);
    doubleClick(QPoint(2, Edit->LineHeight() / 2));
    EXPECT_FALSE(Edit->HasSelection());
    EXPECT_EQ(dblClicks, 4);

    Options({eoNoSelection});
    doubleClick(CellPoint(7, 1));
    EXPECT_FALSE(Edit->HasSelection());
}

TEST_F(EditorMouse, AClickInsideTheSelectionWaitsForADragThenCollapsesOnRelease)
{
    SetText("one two three");
    Select(MakeBufferCoord(5, 1), MakeBufferCoord(8, 1));
    Press(CellPoint(6, 1));
    // Still selected while it may become a drag.
    EXPECT_EQ(Edit->GetSelectedText(), "two");
    Release(CellPoint(6, 1));
    EXPECT_FALSE(Edit->HasSelection());
    EXPECT_EQ(Caret(), MakeBufferCoord(6, 1));

    Options({}, {eoDragDropEditing});
    Select(MakeBufferCoord(5, 1), MakeBufferCoord(8, 1));
    Press(CellPoint(6, 1));
    EXPECT_FALSE(Edit->HasSelection());
    Release(CellPoint(6, 1));
}

TEST_F(EditorMouse, TheRightButtonMovesTheCaretOnlyWithItsOptionAndOutsideTheSelection)
{
    SetText("one two three");
    struct Case {
        const char* What;
        bool Option;
        int Column;
        TBufferCoord Caret;
        std::string Selected;
    };
    const std::vector<Case> cases = {
        {"without the option", false, 11, {8, 1}, "two"},
        {"inside the selection", true, 6, {8, 1}, "two"},
        {"outside the selection", true, 11, {11, 1}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        if (c.Option)
            Options({eoRightMouseMovesCursor});
        else
            Options({}, {eoRightMouseMovesCursor});
        Select(MakeBufferCoord(5, 1), MakeBufferCoord(8, 1));
        Click(CellPoint(c.Column, 1), {}, Qt::RightButton);
        EXPECT_EQ(Caret(), c.Caret);
        EXPECT_EQ(Edit->GetSelectedText(), c.Selected);
    }
}

TEST_F(EditorMouse, GutterClicksReportTheLine)
{
    SetText(ManyLines(5));
    std::vector<std::pair<TMouseButton, int>> clicks;
    Edit->OnGutterClick = [&](TObject*, TMouseButton button, int, int, int line, TSrcEditMark*) {
        clicks.emplace_back(button, line);
    };
    const int lh = Edit->LineHeight();
    Click(QPoint(3, lh * 2 + lh / 2));
    // The right button reaches the gutter only when it may move the caret; it reports at once,
    // on the press.
    Click(QPoint(3, lh / 2), {}, Qt::RightButton);
    EXPECT_EQ(clicks.size(), 1u);
    Options({eoRightMouseMovesCursor});
    Press(QPoint(3, lh / 2), {}, Qt::RightButton);
    EXPECT_EQ(clicks.size(), 2u);
    Release(QPoint(3, lh / 2), {}, Qt::RightButton);
    // A press in the gutter released over the text is no gutter click.
    Press(QPoint(3, lh / 2));
    DragTo(CellPoint(3, 1));
    Release(CellPoint(3, 1));
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0], std::make_pair(TMouseButton::mbLeft, 3));
    EXPECT_EQ(clicks[1], std::make_pair(TMouseButton::mbRight, 1));
}

// ---- wheel and scroll bars

void Wheel(TCustomSrcEdit& edit, int delta, Qt::KeyboardModifiers modifiers = {})
{
    QWheelEvent event(QPointF(50, 50), edit.viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(edit.viewport(), &event);
}

TEST_F(EditorMouse, TheWheelScrollsByWholeNotches)
{
    SetText(ManyLines(300));
    const int perNotch = std::min(QApplication::wheelScrollLines(), Edit->VisibleLineCount());
    const int page = Edit->VisibleLineCount();
    int scrolls = 0;
    Edit->OnScroll = [&](TObject*, TScrollBarKind kind) {
        EXPECT_EQ(kind, TScrollBarKind::sbVertical);
        ++scrolls;
    };
    Wheel(*Edit, -40);
    Wheel(*Edit, -40);
    EXPECT_EQ(Edit->FirstVisibleRow(), 1);
    Wheel(*Edit, -40); // three small deltas make one notch
    EXPECT_EQ(Edit->FirstVisibleRow(), 1 + perNotch);
    Wheel(*Edit, -240);
    EXPECT_EQ(Edit->FirstVisibleRow(), 1 + 3 * perNotch);
    Wheel(*Edit, 120);
    EXPECT_EQ(Edit->FirstVisibleRow(), 1 + 2 * perNotch);
    EXPECT_EQ(scrolls, 5);

    Wheel(*Edit, -120, Qt::ControlModifier);
    EXPECT_EQ(Edit->FirstVisibleRow(), 1 + 2 * perNotch + page);
    Options({eoHalfPageScroll});
    Wheel(*Edit, -120, Qt::ControlModifier);
    EXPECT_EQ(Edit->FirstVisibleRow(), 1 + 2 * perNotch + page + page / 2);
    Wheel(*Edit, 120 * 100);
    EXPECT_EQ(Edit->FirstVisibleRow(), 1);
}

void Scroll(TCustomSrcEdit& edit, UINT msg, int code, int position = 0)
{
    edit.Perform(msg, static_cast<WPARAM>(code) | (static_cast<WPARAM>(position) << 16), 0);
}

TEST_F(EditorMouse, ScrollBarMessagesMoveTheView)
{
    SetText(ManyLines(300));
    const int page = Edit->VisibleLineCount();
    const int highest = 300 - page + 1;
    enum { LineUp, LineDown, PageUp, PageDown, ThumbPosition, ThumbTrack, Top, Bottom, EndScroll };
    struct Case {
        const char* What;
        int Code;
        int Position;
        bool ByOneLess;
        int FirstRow;
    };
    const std::vector<Case> cases = {
        {"line down", LineDown, 0, false, 2},
        {"page down", PageDown, 0, false, 2 + page},
        {"page down, one less", PageDown, 0, true, 1 + 2 * page},
        {"line up", LineUp, 0, false, 2 * page},
        {"page up", PageUp, 0, false, page},
        {"thumb", ThumbTrack, 120, false, 120},
        {"thumb beyond the end", ThumbPosition, 5000, false, highest},
        {"top", Top, 0, false, 1},
        {"bottom", Bottom, 0, false, highest},
    };
    int scrolls = 0;
    Edit->OnScroll = [&](TObject*, TScrollBarKind) { ++scrolls; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        if (c.ByOneLess)
            Options({eoScrollByOneLess});
        else
            Options({}, {eoScrollByOneLess});
        Scroll(*Edit, WM_VSCROLL, c.Code, c.Position);
        EXPECT_EQ(Edit->FirstVisibleRow(), c.FirstRow);
        EXPECT_EQ(Edit->verticalScrollBar()->value(), c.FirstRow);
    }
    EXPECT_EQ(scrolls, static_cast<int>(cases.size()));
    EXPECT_TRUE(Edit->ThumbTracking());
    Scroll(*Edit, WM_VSCROLL, EndScroll);
    EXPECT_FALSE(Edit->ThumbTracking());

    SetText(std::string(300, 'x'));
    Options({}, {eoScrollPastEol});
    Scroll(*Edit, WM_HSCROLL, PageDown);
    EXPECT_EQ(Edit->FirstVisibleColumn(), 1 + Edit->CharsInWindow());
    Scroll(*Edit, WM_HSCROLL, Bottom);
    EXPECT_EQ(Edit->FirstVisibleColumn(), 300 - Edit->CharsInWindow() + 1);
    Scroll(*Edit, WM_HSCROLL, ThumbTrack, 7);
    EXPECT_EQ(Edit->FirstVisibleColumn(), 7);
}

TEST_F(EditorMouse, TheBarsThemselvesSendTheMessages)
{
    SetText(ManyLines(300));
    std::vector<TScrollBarKind> scrolls;
    Edit->OnScroll = [&](TObject*, TScrollBarKind kind) { scrolls.push_back(kind); };
    Edit->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Edit->FirstVisibleRow(), 2);
    Edit->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Edit->FirstVisibleRow(), 2 + Edit->VisibleLineCount());
    // A thumb moved without being held (the wheel over the bar) ends its tracking at once.
    Edit->verticalScrollBar()->setSliderPosition(40);
    EXPECT_EQ(Edit->FirstVisibleRow(), 40);
    EXPECT_FALSE(Edit->ThumbTracking());
    ASSERT_FALSE(scrolls.empty());
    EXPECT_EQ(scrolls.front(), TScrollBarKind::sbVertical);
}

QLabel* VisibleScrollHint()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* label = qobject_cast<QLabel*>(w); label && label->isVisible() && w->windowType() == Qt::ToolTip)
            return label;
    return nullptr;
}

TEST_F(EditorMouse, TheScrollHintShowsLineNumbersWhileTheThumbIsDragged)
{
    SetText(ManyLines(300));
    const int page = Edit->VisibleLineCount();
    Scroll(*Edit, WM_VSCROLL, 5 /* thumb track */, 50);
    QLabel* hint = VisibleScrollHint();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->text().toStdString(), "Top Line: 50");
    Edit->SetScrollHintFormat(TScrollHintFormat::shfTopToBottom);
    Scroll(*Edit, WM_VSCROLL, 5, 60);
    EXPECT_EQ(hint->text().toStdString(), "60 - " + std::to_string(60 + page));
    Scroll(*Edit, WM_VSCROLL, 8 /* end */);
    EXPECT_EQ(VisibleScrollHint(), nullptr);

    Options({}, {eoShowScrollHint});
    Scroll(*Edit, WM_VSCROLL, 5, 70);
    EXPECT_EQ(VisibleScrollHint(), nullptr);
    Scroll(*Edit, WM_VSCROLL, 8);
}

// ---- auto-scroll

TEST_F(EditorMouse, DraggingBelowTheTextScrollsAndExtendsTheSelection)
{
    SetText(ManyLines(300));
    const int page = Edit->VisibleLineCount();
    Press(CellPoint(3, 2));
    const QPoint below(CellPoint(3, 1).x(), page * Edit->LineHeight() + Edit->LineHeight() / 2);
    DragTo(below);
    // The pointer is one row below the text: the timer scrolls one row per tick.
    EXPECT_EQ(Edit->FirstVisibleRow(), 1);
    QCursor::setPos(Edit->viewport()->mapToGlobal(below));
    Edit->Perform(WM_TIMER, SrcEditScrollTimer, 0);
    Edit->Perform(WM_TIMER, SrcEditScrollTimer, 0);
    EXPECT_EQ(Edit->FirstVisibleRow(), 3);
    EXPECT_EQ(Caret().LineNumber, 3 + page - 1);
    EXPECT_EQ(Edit->BlockBegin(), MakeBufferCoord(3, 2));
    EXPECT_EQ(Edit->BlockEnd(), Caret());
    Release(below);
    EXPECT_FALSE(Edit->MouseCaptured());
    // Released: a tick that was still queued changes nothing.
    Edit->Perform(WM_TIMER, SrcEditScrollTimer, 0);
    EXPECT_EQ(Edit->FirstVisibleRow(), 3);
}

TEST_F(EditorMouse, LosingTheFocusEndsSelectingAndScrolling)
{
    SetText(ManyLines(300));
    Press(CellPoint(3, 2));
    const QPoint below(CellPoint(3, 1).x(), Edit->VisibleLineCount() * Edit->LineHeight() + 2);
    DragTo(below);
    ASSERT_TRUE(Edit->MouseCaptured());
    // A dialog took the focus, and with it the button's release.
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(Edit.get(), &out);
    EXPECT_FALSE(Edit->MouseCaptured());
    QCursor::setPos(Edit->viewport()->mapToGlobal(below));
    Edit->Perform(WM_TIMER, SrcEditScrollTimer, 0);
    EXPECT_EQ(Edit->FirstVisibleRow(), 1);
    Release(below);
}

TEST_F(EditorMouse, DraggingRightOfTheTextScrollsSideways)
{
    SetText(std::string(400, 'x'));
    Press(CellPoint(2, 1));
    const QPoint right(Edit->ClientWidth() - 1, Edit->LineHeight() / 2);
    DragTo(right);
    QCursor::setPos(Edit->viewport()->mapToGlobal(right));
    Edit->Perform(WM_TIMER, SrcEditScrollTimer, 0);
    EXPECT_GT(Edit->FirstVisibleColumn(), 1);
    // The caret went to the column after the window, which scrolled it into the last one.
    EXPECT_EQ(Edit->CaretDisplayColumn(), Edit->FirstVisibleColumn() + Edit->CharsInWindow() - 1);
    EXPECT_EQ(Edit->GetSelectionStart(), MakeBufferCoord(2, 1));
    Release(right);
}

// ---- cursor

void Hover(TCustomSrcEdit& edit, QPoint p)
{
    QMouseEvent event(QEvent::MouseMove, p, edit.viewport()->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &event);
}

TEST_F(EditorMouse, TheCursorShowsWhatAClickWouldDo)
{
    SetText("one two three");
    Select(MakeBufferCoord(5, 1), MakeBufferCoord(8, 1));
    const auto shape = [&] { return Edit->viewport()->cursor().shape(); };
    Hover(*Edit, CellPoint(6, 1));
    EXPECT_EQ(shape(), Qt::ArrowCursor); // over the selection a click may drag
    Hover(*Edit, CellPoint(2, 1));
    EXPECT_EQ(shape(), Qt::IBeamCursor);
    Hover(*Edit, QPoint(2, 2));
    EXPECT_EQ(shape(), Qt::ArrowCursor); // the gutter's default cursor
    Edit->Gutter().SetCursor(crHandPoint);
    Hover(*Edit, QPoint(2, 2));
    EXPECT_EQ(shape(), Qt::PointingHandCursor);

    TBufferCoord asked{0, 0};
    Edit->OnMouseCursor = [&](TObject*, const TBufferCoord& pos, TCursor& cursor) {
        asked = pos;
        cursor = crCross;
    };
    Hover(*Edit, CellPoint(10, 1));
    EXPECT_EQ(asked, MakeBufferCoord(10, 1));
    EXPECT_EQ(shape(), Qt::CrossCursor);
    Edit->OnMouseCursor = nullptr;
    Options({}, {eoDragDropEditing});
    Hover(*Edit, CellPoint(6, 1));
    EXPECT_EQ(shape(), Qt::IBeamCursor);
}

// ---- dragging text

// An editor whose drags are played by the test instead of the platform.
class DragEdit : public TSrcEdit {
public:
    using TSrcEdit::TSrcEdit;
    std::function<void(QMimeData&)> WhileDragging;
    int Drags = 0;

protected:
    void ExecuteDrag(std::unique_ptr<QMimeData> data) override
    {
        ++Drags;
        if (WhileDragging)
            WhileDragging(*data);
    }
};

// Enters, moves over and drops on `target` at `p`; whether the drop was taken.
bool DropOn(TCustomSrcEdit& target, QPoint p, QMimeData& data, Qt::KeyboardModifiers keys = {})
{
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(p, actions, &data, Qt::LeftButton, keys);
    QApplication::sendEvent(target.viewport(), &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(p, actions, &data, Qt::LeftButton, keys);
    QApplication::sendEvent(target.viewport(), &move);
    QDropEvent drop(QPointF(p), actions, &data, Qt::LeftButton, keys);
    QApplication::sendEvent(target.viewport(), &drop);
    return drop.isAccepted();
}

class EditorDragDrop : public EditorTest {
protected:
    void SetUp() override
    {
        auto edit = std::make_unique<DragEdit>();
        Dragger = edit.get();
        Edit = std::move(edit);
        Edit->resize(640, 400);
        Edit->show();
        Other = std::make_unique<TSrcEdit>();
        Other->resize(640, 400);
        Other->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        Other.reset();
        EditorTest::TearDown();
    }

    // Presses inside the selection at `from` and moves far enough for the drag to start; the
    // drag itself runs `during`.
    void DragSelection(QPoint from, std::function<void(QMimeData&)> during)
    {
        Dragger->WhileDragging = std::move(during);
        Press(from);
        DragTo(from + QPoint(0, Edit->LineHeight() * 3));
        Release(from + QPoint(0, Edit->LineHeight() * 3));
        Dragger->WhileDragging = nullptr;
    }

    DragEdit* Dragger = nullptr;
    std::unique_ptr<TSrcEdit> Other;
};

TEST_F(EditorDragDrop, MovingOrCopyingWithinOneEditor)
{
    struct Case {
        const char* What;
        Qt::KeyboardModifiers Keys;
        TBufferCoord SelFrom;
        TBufferCoord SelTo;
        TDisplayPoint DropAt;
        std::string Text;
        TBufferCoord Caret;
        std::string Selected;
    };
    const std::string original = "one two three\r\nfour five";
    const std::vector<Case> cases = {
        {"move after it on its line", {}, {5, 1}, {8, 1}, {14, 1}, "one  threetwo\r\nfour five", {11, 1}, "two"},
        {"move before it", {}, {5, 1}, {9, 1}, {1, 1}, "two one three\r\nfour five", {1, 1}, "two "},
        {"move to the next line", {}, {5, 1}, {8, 1}, {5, 2}, "one  three\r\nfourtwo five", {5, 2}, "two"},
        // The text after the selection's end joins its first line; the drop point goes with it.
        {"move two lines to the end of the second", {}, {9, 1}, {5, 2}, {10, 2}, "one two  fivethree\r\nfour",
         {14, 1}, "three\r\nfour"},
        {"Ctrl copies", Qt::ControlModifier, {5, 1}, {8, 1}, {14, 1}, "one two threetwo\r\nfour five", {14, 1},
         "two"},
        {"Ctrl copies onto its own end", Qt::ControlModifier, {5, 1}, {8, 1}, {8, 1},
         "one twotwo three\r\nfour five", {8, 1}, "two"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        SetText(original);
        Edit->ClearUndoHistory();
        Select(c.SelFrom, c.SelTo);
        const QPoint inside = CellPoint(Edit->BufferToDisplayPoint(c.SelFrom).DisplayColumn + 1, c.SelFrom.LineNumber);
        bool taken = false;
        DragSelection(inside, [&](QMimeData& data) {
            taken = DropOn(*Edit, CellPoint(c.DropAt.DisplayColumn, c.DropAt.DisplayRow), data, c.Keys);
        });
        EXPECT_EQ(Dragger->Drags, 1);
        Dragger->Drags = 0;
        EXPECT_TRUE(taken);
        EXPECT_EQ(Text(), c.Text);
        EXPECT_EQ(Edit->GetSelectedText(), c.Selected);
        EXPECT_EQ(Caret(), c.Caret);
        Edit->UndoLastChange();
        EXPECT_EQ(Text(), original) << "one undo step";
    }
}

TEST_F(EditorDragDrop, ADropBeyondTheLineEndUndoesAndRedoesWithoutTheBlanksTrimmingTook)
{
    // The drop pads the line with blanks up to the drop point; the text dropped starts with a
    // line break, so they end the line and trimming takes them again.
    struct Case {
        const char* What;
        Qt::KeyboardModifiers Keys;
        std::string Text;
    };
    const std::string original = "ab\r\ncd\r\nef";
    const std::vector<Case> cases = {
        {"copied", Qt::ControlModifier, "ab\r\nef\r\ncd\r\nef"},
        {"moved", {}, "ab\r\nef\r\ncd"},
    };
    Options({eoScrollPastEol, eoTrimTrailingSpaces});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        SetText(original);
        Edit->ClearUndoHistory();
        Select(MakeBufferCoord(3, 2), MakeBufferCoord(3, 3));
        DragSelection(CellPoint(1, 3), [&](QMimeData& data) { DropOn(*Edit, CellPoint(6, 1), data, c.Keys); });
        Dragger->Drags = 0;
        EXPECT_EQ(Text(), c.Text);
        UndoAll();
        EXPECT_EQ(Text(), original) << "undo";
        RedoAll();
        EXPECT_EQ(Text(), c.Text) << "redo";
    }
}

TEST_F(EditorDragDrop, ADropInsideTheSelectionOrOnAReadOnlyEditorDoesNothing)
{
    SetText("one two three");
    Select(MakeBufferCoord(5, 1), MakeBufferCoord(9, 1));
    DragSelection(CellPoint(6, 1), [&](QMimeData& data) { EXPECT_TRUE(DropOn(*Edit, CellPoint(7, 1), data)); });
    EXPECT_EQ(Text(), "one two three");
    EXPECT_FALSE(Edit->UndoAvailable());

    Select(MakeBufferCoord(5, 1), MakeBufferCoord(9, 1));
    Edit->SetReadOnly(true);
    DragSelection(CellPoint(6, 1), [&](QMimeData& data) { EXPECT_FALSE(DropOn(*Edit, CellPoint(1, 1), data)); });
    EXPECT_EQ(Text(), "one two three");
}

TEST_F(EditorDragDrop, TheCaretFollowsTheDragAndReturnsWhenItLeaves)
{
    SetText("one two three\r\nfour five");
    Select(MakeBufferCoord(5, 1), MakeBufferCoord(8, 1));
    const QPoint down = CellPoint(6, 1);
    DragSelection(down, [&](QMimeData& data) {
        QDragEnterEvent enter(CellPoint(3, 2), Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(Edit->viewport(), &enter);
        EXPECT_EQ(enter.dropAction(), Qt::MoveAction);
        EXPECT_EQ(Caret(), MakeBufferCoord(3, 2));
        EXPECT_EQ(Edit->GetSelectedText(), "two"); // the selection stays while the caret moves
        QDragLeaveEvent leave;
        QApplication::sendEvent(Edit->viewport(), &leave);
        EXPECT_EQ(Caret(), MakeBufferCoord(6, 1));
    });
}

TEST_F(EditorDragDrop, BetweenEditorsShiftMovesAndTheDefaultCopies)
{
    struct Case {
        const char* What;
        Qt::KeyboardModifiers Keys;
        bool SourceReadOnly;
        std::string Source;
        std::string Target;
    };
    const std::vector<Case> cases = {
        {"copy", {}, false, "alpha beta", "xbetay"},
        {"Shift moves", Qt::ShiftModifier, false, "alpha ", "xbetay"},
        {"never out of a read-only editor", Qt::ShiftModifier, true, "alpha beta", "xbetay"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        SetText("alpha beta");
        Edit->SetReadOnly(c.SourceReadOnly);
        Edit->ClearUndoHistory();
        Other->SetAllText("xy");
        Select(MakeBufferCoord(7, 1), MakeBufferCoord(11, 1));
        DragSelection(CellPoint(8, 1), [&](QMimeData& data) {
            EXPECT_TRUE(DropOn(*Other, CellPoint(*Other, 2, 1), data, c.Keys));
        });
        EXPECT_EQ(Text(), c.Source);
        EXPECT_EQ(Other->GetAllText(), c.Target);
        EXPECT_EQ(Other->GetSelectedText(), "beta");
        EXPECT_EQ(Other->GetCaretCoord(), MakeBufferCoord(2, 1));
        Other->UndoLastChange();
        EXPECT_EQ(Other->GetAllText(), "xy");
        Edit->SetReadOnly(false);
        Edit->UndoLastChange();
        EXPECT_EQ(Text(), "alpha beta");
    }
}

TEST_F(EditorDragDrop, TheDragCarriesTheTextInBothClipboardFormats)
{
    SetText("abc\r\ndef");
    Select(MakeBufferCoord(2, 1), MakeBufferCoord(3, 2));
    DragSelection(CellPoint(3, 1), [&](QMimeData& data) {
        EXPECT_EQ(data.data("text/plain").toStdString(), "bc\nde") << "Linux line breaks for other programs";
        const QByteArray block = data.data("application/x-zentu-srcedit-control-block-type");
        EXPECT_EQ(block.toStdString(), std::string("\0bc\r\nde\0", 8));
    });
}

// ---- files

TEST_F(EditorMouse, DroppedFilesReachTheEventInOrderWithTheirWholeNames)
{
    std::vector<std::string> names;
    TPoint at{-1, -1};
    Edit->OnDropFiles = [&](TObject*, int x, int y, TStrings& files) {
        at = {x, y};
        for (int i = 0; i < files.Count(); ++i)
            names.push_back(files.Get(i));
    };
    const std::string longName = "/tmp/" + std::string(300, 'n') + ".php";
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromUtf8("/tmp/b \xC3\xA4.php")),
                  QUrl(QStringLiteral("https://example.invalid/x")),
                  QUrl::fromLocalFile(QString::fromStdString(longName))});
    const QPoint p = CellPoint(4, 2);

    EXPECT_FALSE(DropOn(*Edit, p, data)) << "not without eoDropFiles";
    EXPECT_TRUE(names.empty());

    Options({eoDropFiles});
    EXPECT_TRUE(DropOn(*Edit, p, data));
    EXPECT_EQ(names, (std::vector<std::string>{"/tmp/b \xC3\xA4.php", longName}));
    EXPECT_EQ(at, TPoint::FromQt(p));

    // Files are taken by a read-only editor too.
    names.clear();
    Edit->SetReadOnly(true);
    EXPECT_TRUE(DropOn(*Edit, p, data));
    EXPECT_EQ(names.size(), 2u);
}

} // namespace
