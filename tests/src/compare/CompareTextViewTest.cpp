// The compare text view: its line store, typing and undo, the keyboard and mouse, the clipboard,
// scrolling of very long texts, and the colours it paints rows in.

#include "compare/CodeEditor.h"

#include "Platform/core/Exceptions.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct CompareTextViewTest : ::testing::Test {
    void SetUp() override
    {
        Window = std::make_unique<QWidget>();
        Window->resize(500, 300);
        Edit = new TCodeEdit(nullptr, Window.get());
        Edit->setGeometry(0, 0, 500, 300);
        Window->show();
        Edit->setFocus();
        QApplication::processEvents();
    }

    void Load(const std::vector<std::string>& lines) { Edit->Lines().AssignLines(lines); }
    std::vector<std::string> Text() const
    {
        std::vector<std::string> lines;
        for (int i = 0; i < Edit->Lines().Count(); ++i)
            lines.push_back(Edit->Lines()[i]);
        return lines;
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(Edit, key, modifiers);
    }
    // Each character as a key press that types it, as an input method delivers any character.
    void Type(const char* text)
    {
        for (const QChar c : QString::fromUtf8(text)) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(Edit, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(Edit, &release);
        }
    }
    // The colour painted in the middle of a row's text area, right of its text.
    QColor RowColor(int row)
    {
        const QImage image = Edit->viewport()->grab().toImage();
        const int y = TCodeEdit::UpperMargin + (row - Edit->FirstRow()) * Edit->LineHeight() + Edit->LineHeight() / 2;
        return image.pixelColor(Edit->viewport()->width() - 10, y);
    }

    std::unique_ptr<QWidget> Window;
    TCodeEdit* Edit = nullptr;
};

} // namespace

TEST_F(CompareTextViewTest, LineStoreKeepsPositionsMarksAndItsErrors)
{
    TLines& lines = Edit->Lines();
    lines.Add("abc");
    lines.Add("");
    lines.Add("de");
    lines.Insert(1, "xyzw");
    EXPECT_EQ(lines.GetLineObj(0).Position, 0);
    EXPECT_EQ(lines.GetLineObj(1).Position, 5);
    EXPECT_EQ(lines.GetLineObj(2).Position, 11);
    EXPECT_EQ(lines.GetLineObj(3).Position, 13);
    EXPECT_EQ(lines.TextLength(), 17);
    EXPECT_TRUE(lines.Modified());
    EXPECT_TRUE(lines.GetLineObj(3).Modified);
    lines.SetModified(false);
    EXPECT_FALSE(lines.GetLineObj(3).Modified);
    lines.Put(1, "x");
    EXPECT_TRUE(lines.GetLineObj(1).Modified);
    EXPECT_FALSE(lines.GetLineObj(0).Modified);
    EXPECT_EQ(lines.GetLineObj(3).Position, 10);
    lines.Delete(0);
    EXPECT_EQ(lines.GetLineObj(0).Position, 0);
    EXPECT_EQ(lines.GetLineObj(2).Position, 5);

    try {
        lines.GetLineObj(3);
        ADD_FAILURE() << "no error";
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "TLines.GetLineObj() - index out of bounds.");
    }
    EXPECT_THROW(lines.GetLineObj(-1), EListError);
    try {
        lines.AddObject("a", nullptr);
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "TLines.AddObject - invalid method");
    }
    try {
        lines.InsertObject(0, "a", nullptr);
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "TLines.InsertObject - invalid method");
    }
    EXPECT_EQ(lines.Count(), 3);
}

TEST_F(CompareTextViewTest, AssignCopiesColoursAndNumbersAndForgetsUndo)
{
    TCodeEdit other(nullptr, Window.get());
    other.Lines().AssignLines({"one", "two"});
    other.Lines().GetLineObj(1).Color = 0x123456;
    other.Lines().GetLineObj(1).LineNumber = 7;
    Type("x");
    ASSERT_TRUE(Edit->CanUndo());
    Edit->Lines().Assign(other.Lines());
    EXPECT_EQ(Text(), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(Edit->Lines().GetLineObj(1).Color, 0x123456);
    EXPECT_EQ(Edit->Lines().GetLineObj(1).LineNumber, 7);
    EXPECT_FALSE(Edit->Lines().Modified());
    EXPECT_FALSE(Edit->Lines().GetLineObj(0).Modified);
    EXPECT_FALSE(Edit->CanUndo());
}

TEST_F(CompareTextViewTest, EnterInAnEmptyViewMakesOneLine)
{
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), std::vector<std::string>{""});
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(), (std::vector<std::string>{"", ""}));
    Edit->Lines().Clear();
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Edit->Lines().Count(), 0);
}

TEST_F(CompareTextViewTest, TypingEditsLikeAnEditor)
{
    struct TCase {
        std::vector<std::string> Lines;
        int Column, Row;
        std::vector<Qt::Key> Keys;
        const char* Typed;
        std::vector<std::string> Expected;
    };
    const TCase cases[] = {
        {{"abcd"}, 2, 0, {Qt::Key_Return}, "", {"ab", "cd"}},
        {{"abcd"}, 0, 0, {Qt::Key_Return}, "", {"", "abcd"}},
        {{"abcd"}, 4, 0, {Qt::Key_Return}, "x", {"abcd", "x"}},
        {{"ab", "cd"}, 0, 1, {Qt::Key_Backspace}, "", {"abcd"}},
        {{"ab", "cd"}, 2, 0, {Qt::Key_Delete}, "", {"abcd"}},
        {{"ab", "cd"}, 2, 1, {Qt::Key_Delete}, "", {"ab", "cd"}},
        {{"ab"}, 0, 0, {Qt::Key_Backspace}, "", {"ab"}},
        {{"a\xC3\xA4" "b"}, 3, 0, {Qt::Key_Backspace}, "", {"ab"}},
        {{"a\xC3\xA4" "b"}, 1, 0, {Qt::Key_Delete}, "", {"ab"}},
        {{"a\xE2\x82\xAC"}, 4, 0, {Qt::Key_Left, Qt::Key_Backspace}, "", {"\xE2\x82\xAC"}},
        {{"ab"}, 1, 0, {}, "\xC3\xBC", {"a\xC3\xBC" "b"}},
    };
    for (const TCase& c : cases) {
        Load(c.Lines);
        Edit->SetCaretPoint(c.Column, c.Row);
        for (const Qt::Key key : c.Keys)
            Key(key);
        Type(c.Typed);
        EXPECT_EQ(Text(), c.Expected) << c.Lines.front() << " at " << c.Column << "," << c.Row;
    }
}

TEST_F(CompareTextViewTest, BackspaceOverAnEmptyLineKeepsTheLineBelowWithItsColour)
{
    Load({"a", "", "b"});
    Edit->Lines().GetLineObj(2).Color = 0x00AABBCC;
    Edit->Lines().GetLineObj(2).LineNumber = 3;
    Edit->SetCaretPoint(0, 2);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Text(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Edit->Lines().GetLineObj(1).Color, 0x00AABBCC);
    EXPECT_EQ(Edit->Lines().GetLineObj(1).LineNumber, 3);
    EXPECT_EQ(Edit->CaretRow(), 1);
    EXPECT_EQ(Edit->CaretCol(), 0);
}

TEST_F(CompareTextViewTest, TabsTakeFourCells)
{
    Load({"a\tb"});
    EXPECT_EQ(Edit->DisplayColumn(0, 2), 5);
    Edit->SetCaretPoint(2, 0);
    EXPECT_EQ(Edit->CaretCol(), 2);
    // A click on the cell of b puts the caret before it.
    const int x = Edit->GutterWidth() + TCodeEdit::TextMargin + 5 * Edit->CharWidth() + 1;
    EXPECT_EQ(Edit->ColumnAt(x, 0), 2);
    EXPECT_EQ(Edit->ColumnAt(x + Edit->CharWidth() - 2, 0), 3);
    // Wide characters take two cells.
    Load({"\xE6\x97\xA5x"});
    EXPECT_EQ(Edit->DisplayColumn(0, 3), 2);
}

TEST_F(CompareTextViewTest, UndoKeepsAHundredStepsAndANewEditDropsTheRedoSteps)
{
    Load({""});
    Edit->SetCaretPoint(0, 0);
    for (int i = 0; i < 101; ++i)
        Type("a");
    EXPECT_EQ(Edit->UndoList().Count(), 100);
    int undone = 0;
    while (Edit->CanUndo()) {
        Edit->Undo();
        ++undone;
    }
    EXPECT_EQ(undone, 100);
    EXPECT_EQ(Text(), std::vector<std::string>{"a"});
    Edit->Redo();
    Edit->Redo();
    EXPECT_EQ(Text(), std::vector<std::string>{"aaa"});
    EXPECT_TRUE(Edit->CanRedo());
    Type("b");
    EXPECT_FALSE(Edit->CanRedo());
    EXPECT_EQ(Text(), std::vector<std::string>{"aaab"});
}

TEST_F(CompareTextViewTest, UndoAndRedoRestoreTextAndSelection)
{
    Load({"one two", "three"});
    Edit->SetSelStart(4);
    Edit->SetSelLength(3);
    EXPECT_EQ(Edit->GetSelText(), "two");
    Type("X");
    EXPECT_EQ(Text(), (std::vector<std::string>{"one X", "three"}));
    Edit->Undo();
    EXPECT_EQ(Text(), (std::vector<std::string>{"one two", "three"}));
    EXPECT_EQ(Edit->GetSelText(), "two");
    Edit->Redo();
    EXPECT_EQ(Text(), (std::vector<std::string>{"one X", "three"}));

    Edit->SetCaretPoint(5, 0);
    Edit->InsertText("a\r\nb\nc");
    EXPECT_EQ(Text(), (std::vector<std::string>{"one Xa", "b", "c", "three"}));
    Edit->Undo();
    EXPECT_EQ(Text(), (std::vector<std::string>{"one X", "three"}));
    EXPECT_TRUE(Edit->CanRedo());
}

TEST_F(CompareTextViewTest, SelectingEverythingAndDeletingLeavesAnEmptyStore)
{
    Load({"a", "b", "c"});
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Edit->Lines().Count(), 0);
    Edit->Undo();
    EXPECT_EQ(Text(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(CompareTextViewTest, ArrowsWordsAndLineEnds)
{
    Load({"alpha beta  gamma", "x", "a long line here"});
    Edit->SetCaretPoint(0, 0);
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Edit->CaretCol(), 6);
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Edit->CaretCol(), 12);
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Edit->CaretCol(), 17);
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ((std::pair{Edit->CaretCol(), Edit->CaretRow()}), (std::pair{0, 1}));
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ((std::pair{Edit->CaretCol(), Edit->CaretRow()}), (std::pair{17, 0}));
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(Edit->CaretCol(), 12);
    // Up and down keep the column the caret came from across a short line.
    Edit->SetCaretPoint(10, 0);
    Key(Qt::Key_Down);
    EXPECT_EQ((std::pair{Edit->CaretCol(), Edit->CaretRow()}), (std::pair{1, 1}));
    Key(Qt::Key_Down);
    EXPECT_EQ((std::pair{Edit->CaretCol(), Edit->CaretRow()}), (std::pair{10, 2}));
    Key(Qt::Key_End);
    EXPECT_EQ(Edit->CaretCol(), 16);
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ((std::pair{Edit->CaretCol(), Edit->CaretRow()}), (std::pair{0, 0}));
    Key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Edit->GetSelText(), "alpha beta  gamma\r\nx\r\na long line here");
    Key(Qt::Key_Right);
    EXPECT_EQ(Edit->SelLength(), 0);
    // Nothing happens while Alt is held.
    Key(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(Edit->CaretCol(), 16);
}

TEST_F(CompareTextViewTest, ClipboardCarriesLinesAndPasteIsOneStep)
{
    Load({"first", "second"});
    Edit->SetSelStart(3);
    Edit->SetSelLength(6);
    Edit->CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "st\nse");
    QApplication::clipboard()->setText(QStringLiteral("A\r\nB\rC\nD"));
    Edit->SetCaretPoint(0, 1);
    Edit->PasteFromClipboard();
    EXPECT_EQ(Text(), (std::vector<std::string>{"first", "A", "B", "C", "Dsecond"}));
    Edit->Undo();
    EXPECT_EQ(Text(), (std::vector<std::string>{"first", "second"}));
    Edit->SetSelStart(0);
    Edit->SetSelLength(5);
    Edit->CutToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "first");
    EXPECT_EQ(Text(), (std::vector<std::string>{"", "second"}));
    Edit->SetReadOnly(true);
    Edit->PasteFromClipboard();
    Type("zz");
    EXPECT_EQ(Text(), (std::vector<std::string>{"", "second"}));
}

TEST_F(CompareTextViewTest, MouseSelectsWordsAndDragsText)
{
    Load({"move this word", "to here"});
    const auto xOf = [this](int cell) { return Edit->GutterWidth() + TCodeEdit::TextMargin + cell * Edit->CharWidth() + 1; };
    const auto yOf = [this](int row) { return TCodeEdit::UpperMargin + row * Edit->LineHeight() + 2; };
    QTest::mouseDClick(Edit->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(xOf(6), yOf(0)));
    EXPECT_EQ(Edit->GetSelText(), "this");
    EXPECT_EQ(Edit->CaretCol(), 9);
    QTest::mousePress(Edit->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(xOf(6), yOf(0)));
    QMouseEvent move(QEvent::MouseMove, QPointF(xOf(7), yOf(1)), Edit->viewport()->mapToGlobal(QPointF(xOf(7), yOf(1))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Edit->viewport(), &move);
    EXPECT_EQ(Edit->GetSelText(), "this");
    QTest::mouseRelease(Edit->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(xOf(7), yOf(1)));
    EXPECT_EQ(Text(), (std::vector<std::string>{"move  word", "to herethis"}));
    Edit->Undo();
    EXPECT_EQ(Text(), (std::vector<std::string>{"move this word", "to here"}));
    // A press elsewhere puts the caret there and drags a selection.
    QTest::mousePress(Edit->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(xOf(1), yOf(0)));
    QMouseEvent select(QEvent::MouseMove, QPointF(xOf(3), yOf(0)), Edit->viewport()->mapToGlobal(QPointF(xOf(3), yOf(0))),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Edit->viewport(), &select);
    QTest::mouseRelease(Edit->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(xOf(3), yOf(0)));
    EXPECT_EQ(Edit->GetSelText(), "ov");
}

TEST_F(CompareTextViewTest, AHundredThousandLinesScrollWithAShiftOfTwo)
{
    std::vector<std::string> lines(100000, "line");
    Load(lines);
    EXPECT_EQ(Edit->VScrollShift(), 2);
    EXPECT_LE(Edit->verticalScrollBar()->maximum(), 32766);
    Edit->SetFirstRow(99990);
    EXPECT_EQ(Edit->FirstRow(), 100000 - Edit->VisibleRows() + 1);
    EXPECT_EQ(Edit->verticalScrollBar()->value(), Edit->FirstRow() >> 2);
    Edit->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(Edit->FirstRow(), 100000 - Edit->VisibleRows());
    Edit->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(Edit->FirstRow(), 0);
    Edit->SetCaretPoint(0, 50000);
    Edit->ScrollCaretIntoView();
    EXPECT_LE(Edit->FirstRow(), 50000);
    EXPECT_GT(Edit->FirstRow() + Edit->VisibleRows(), 50000);
}

TEST_F(CompareTextViewTest, RowsPaintInTheirColoursAndEditedRowsInTheModifiedColour)
{
    Load({"plain", "coloured", "edited"});
    Edit->Lines().GetLineObj(1).Color = 0x00F0CCA8;
    Edit->SetCaretPoint(0, 2);
    Type("x");
    QApplication::processEvents();
    EXPECT_EQ(RowColor(0), ToQColor(clWindow));
    EXPECT_EQ(RowColor(1), ToQColor(0x00F0CCA8));
    EXPECT_EQ(RowColor(2), ToQColor(TCodeEdit::DefaultModifiedLineColor));
    Edit->Lines().SetModified(false);
    EXPECT_EQ(RowColor(2), ToQColor(clWindow));
    // A new control colour takes along the lines that had the old one.
    Edit->SetColor(0x00EEEEEE);
    EXPECT_EQ(Edit->Lines().GetLineObj(0).Color, 0x00EEEEEE);
    EXPECT_EQ(Edit->Lines().GetLineObj(1).Color, 0x00F0CCA8);
    EXPECT_EQ(RowColor(0), ToQColor(0x00EEEEEE));
}

TEST_F(CompareTextViewTest, GutterShowsRowNumbersOrTheOwnersMarginNumbers)
{
    Load({"a", "b"});
    EXPECT_EQ(Edit->GutterWidth(), 2 * Edit->CharWidth());
    std::vector<std::pair<int, int>> margins;
    Edit->OnPaintLeftMargin = [&](TObject*, TCanvas&, const TRect&, int lineNo, int tag) { margins.emplace_back(lineNo, tag); };
    Edit->viewport()->grab();
    EXPECT_TRUE(margins.empty());
    Edit->SetAutoLineNum(false);
    Edit->Lines().GetLineObj(1).LineNumber = 42;
    Edit->viewport()->grab();
    EXPECT_EQ(margins, (std::vector<std::pair<int, int>>{{1, 0}, {2, 42}}));
}
