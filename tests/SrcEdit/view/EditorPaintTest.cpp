// Editor painting: the control rendered into an image shows text, gutter, selection, caret and
// the other colours where their positions say.

#include "SrcEdit/view/EditorTestSupport.h"
#include "SrcEdit/highlighters/TestHighlighter.h"

#include "Platform/graphics/Colors.h"

#include <QImage>

namespace {

class EditorPaint : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        Edit->SetColor(clWhite);
        TFont font;
        font.Assign(Edit->Font());
        font.SetColor(clBlack);
        Edit->SetFont(font);
        Edit->Gutter().SetColor(clSilver);
        Edit->Gutter().SetBorderStyle(TSrcGutterBorderStyle::gbsNone);
        Edit->SelectedColor().SetBackground(clNavy);
        Edit->SelectedColor().SetForeground(clWhite);
        Edit->SetRightEdge(0);
    }

    QImage Render() { return Edit->viewport()->grab().toImage(); }

    TColor Pixel(const QImage& image, int x, int y) const { return FromQColor(image.pixelColor(x, y)); }

    // The pixels of a character cell (1-based display column and row of the window).
    TRect Cell(int column, int row) const
    {
        const int x = Edit->TextOffset() + (column - 1) * Edit->CharWidth();
        const int y = (row - 1) * Edit->LineHeight();
        return Rect(x, y, x + Edit->CharWidth(), y + Edit->LineHeight());
    }

    // Whether every pixel of the rectangle has the colour.
    bool Filled(const QImage& image, const TRect& r, TColor colour) const
    {
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (Pixel(image, x, y) != colour)
                    return false;
        return true;
    }
    // Whether some pixel of the rectangle differs from the colour.
    bool Ink(const QImage& image, const TRect& r, TColor background) const { return !Filled(image, r, background); }
};

TEST_F(EditorPaint, TextAndLineNumbersAppearInTheirCells)
{
    Edit->Gutter().SetShowLineNumbers(true);
    SetText("Mum\r\nWow");
    const QImage image = Render();
    EXPECT_TRUE(Ink(image, Cell(1, 1), clWhite));
    EXPECT_TRUE(Ink(image, Cell(3, 2), clWhite));
    EXPECT_TRUE(Filled(image, Cell(4, 1), clWhite));
    EXPECT_TRUE(Filled(image, Cell(1, 3), clWhite)); // below the last line
    // The gutter: its colour at the left edge, a number in rows with a line and none below.
    const int gutter = Edit->GutterWidth();
    const int lh = Edit->LineHeight();
    EXPECT_EQ(Pixel(image, 0, 1), clSilver);
    EXPECT_TRUE(Ink(image, Rect(0, 0, gutter, lh), clSilver));
    EXPECT_TRUE(Ink(image, Rect(0, lh, gutter, 2 * lh), clSilver));
    EXPECT_TRUE(Filled(image, Rect(0, 2 * lh, gutter, 3 * lh), clSilver));
    // Numbers end RightOffset + 2 pixels left of the gutter's edge.
    const int right = gutter - Edit->Gutter().RightOffset() - 2;
    EXPECT_TRUE(Filled(image, Rect(right, 0, gutter, lh), clSilver));
    EXPECT_TRUE(Ink(image, Rect(right - Edit->CharWidth(), 0, right, lh), clSilver));
}

TEST_F(EditorPaint, TheSelectionIsPaintedInItsColoursInEachMode)
{
    SetText("ab cd\r\nx\r\nabcdef");
    Select(MakeBufferCoord(2, 1), MakeBufferCoord(5, 1));
    QImage image = Render();
    EXPECT_TRUE(Filled(image, Cell(3, 1), clNavy)); // the selected blank
    EXPECT_TRUE(Ink(image, Cell(2, 1), clNavy));    // a selected letter, in white on navy
    EXPECT_TRUE(Filled(image, Cell(7, 1), clWhite));

    Select(MakeBufferCoord(2, 1), MakeBufferCoord(2, 2)); // normal, over a line end
    image = Render();
    EXPECT_TRUE(Filled(image, Cell(20, 1), clNavy));
    EXPECT_TRUE(Filled(image, Cell(3, 2), clWhite));

    Edit->SetSelectionMode(TSrcSelectionMode::smColumn);
    Select(MakeBufferCoord(2, 1), MakeBufferCoord(5, 3));
    image = Render();
    EXPECT_TRUE(Filled(image, Cell(3, 2), clNavy)); // a rectangle, also beyond the short line
    EXPECT_TRUE(Filled(image, Cell(5, 2), clWhite));

    Edit->SetSelectionMode(TSrcSelectionMode::smLine);
    Select(MakeBufferCoord(2, 2), MakeBufferCoord(2, 2));
    Edit->SetSelectionEnd(MakeBufferCoord(1, 3));
    image = Render();
    EXPECT_TRUE(Filled(image, Cell(40, 2), clNavy)); // whole rows to the right edge
    EXPECT_TRUE(Filled(image, Cell(40, 3), clNavy));
    EXPECT_TRUE(Filled(image, Cell(40, 1), clWhite));
}

TEST_F(EditorPaint, HideSelectionPaintsNoSelectionWithoutFocus)
{
    SetText("ab cd");
    Select(MakeBufferCoord(1, 1), MakeBufferCoord(5, 1));
    Edit->SetHideSelection(true);
    Edit->clearFocus();
    ASSERT_FALSE(Edit->Focused());
    EXPECT_TRUE(Filled(Render(), Cell(3, 1), clWhite));
    Edit->SetHideSelection(false);
    EXPECT_TRUE(Filled(Render(), Cell(3, 1), clNavy));
}

TEST_F(EditorPaint, TheCaretInvertsItsRectangleAtTheCaretPosition)
{
    SetText("abc\r\n\r\nxyz");
    GoTo(1, 2);
    Edit->clearFocus();
    EXPECT_TRUE(Edit->CaretRect().IsEmpty()); // no focus, no caret
    Edit->SetShowCaretUnfocused(true);
    const TRect caret = Edit->CaretRect();
    ASSERT_FALSE(caret.IsEmpty());
    EXPECT_EQ(caret.Left, Edit->TextOffset() - 1);
    EXPECT_EQ(caret.Top, Edit->LineHeight() + 1);
    EXPECT_EQ(caret.Width(), 2);
    QImage image = Render();
    EXPECT_TRUE(Filled(image, caret, clBlack));
    EXPECT_EQ(Pixel(image, caret.Right + 1, caret.Top), clWhite);

    Key(Qt::Key_Insert); // overwrite mode: a block caret over the cell
    Key(Qt::Key_Up);
    const TRect block = Edit->CaretRect();
    EXPECT_EQ(block.Width(), Edit->CharWidth());
    EXPECT_EQ(block.Left, Edit->TextOffset());
    image = Render();
    EXPECT_EQ(Pixel(image, block.Right - 1, block.Bottom - 1), clBlack);

    Options({eoNoCaret});
    Key(Qt::Key_Right);
    EXPECT_TRUE(Edit->CaretRect().IsEmpty());
}

TEST_F(EditorPaint, TheActiveLineHasItsOwnBackground)
{
    SetText("one\r\ntwo");
    Edit->SetActiveLineColor(clYellow);
    GoTo(1, 2);
    const QImage image = Render();
    EXPECT_TRUE(Filled(image, Cell(10, 2), clYellow));
    EXPECT_TRUE(Filled(image, Cell(10, 1), clWhite));
}

TEST_F(EditorPaint, SpecialLinesTakeTheirColours)
{
    SetText("one\r\ntwo");
    Edit->OnSpecialLineColors = [](TObject*, int line, bool& special, TColor& fg, TColor& bg) {
        if (line == 2) {
            special = true;
            fg = clRed;
            bg = clLime;
        }
    };
    const QImage image = Render();
    EXPECT_TRUE(Filled(image, Cell(10, 2), clLime));
    EXPECT_TRUE(Filled(image, Cell(10, 1), clWhite));
}

TEST_F(EditorPaint, TheRightEdgeIsDrawnAtItsColumnAlsoBelowTheText)
{
    SetText("short");
    Edit->SetRightEdge(10);
    const int x = 10 * Edit->CharWidth() + Edit->TextOffset();
    QImage image = Render();
    EXPECT_EQ(Pixel(image, x, 2), clSilver);
    EXPECT_EQ(Pixel(image, x, Edit->LineHeight() * 4), clSilver);
    EXPECT_EQ(Pixel(image, x + 1, 2), clWhite);
    Edit->SetRightEdge(0);
    image = Render();
    EXPECT_EQ(Pixel(image, x, 2), clWhite);
}

TEST_F(EditorPaint, SpecialCharactersMakeBlanksTabsAndLineEndsVisible)
{
    Edit->SetTabWidth(4);
    SetText("a b\tc");
    QImage image = Render();
    EXPECT_TRUE(Filled(image, Cell(2, 1), clWhite));
    EXPECT_TRUE(Filled(image, Cell(6, 1), clWhite)); // after the line end
    Options({eoShowSpecialChars});
    image = Render();
    EXPECT_TRUE(Ink(image, Cell(2, 1), clWhite)); // the middle dot
    EXPECT_TRUE(Ink(image, Cell(6, 1), clWhite)); // the pilcrow after "c"
    EXPECT_TRUE(Filled(image, Cell(8, 1), clWhite));
    // The tab spans column 4 (up to the stop at 5) and shows its mark there.
    EXPECT_TRUE(Ink(image, Cell(4, 1), clWhite));
}

TEST_F(EditorPaint, HighlighterColoursReachThePixels)
{
    TTestSyn highlighter;
    Edit->SetHighlighter(&highlighter);
    SetText("x 123");
    const QImage image = Render();
    bool blue = false;
    const TRect number = Cell(3, 1);
    for (int y = number.Top; y < number.Bottom; ++y)
        for (int x = number.Left; x < Cell(5, 1).Right; ++x) {
            const QColor c = image.pixelColor(x, y);
            blue = blue || (c.blue() > 150 && c.red() < 100 && c.green() < 100);
        }
    EXPECT_TRUE(blue);
    Edit->SetHighlighter(nullptr);
}

TEST_F(EditorPaint, PaintHooksRunAfterEveryPaint)
{
    SetText("abc");
    std::vector<std::string> calls;
    Edit->OnPaint = [&](TObject*, TCanvas& canvas) {
        calls.push_back("paint");
        canvas.Brush().SetColor(clRed);
        canvas.FillRect(Rect(0, 0, 2, 2));
    };
    Edit->OnPaintTransient = [&](TObject*, TCanvas&, TTransientType type) {
        calls.push_back(type == TTransientType::ttAfter ? "after" : "before");
    };
    const QImage image = Render();
    EXPECT_EQ(calls, (std::vector<std::string>{"paint", "after"}));
    EXPECT_EQ(Pixel(image, 0, 0), clRed);
    // Outside a paint the hook is not called; the view is repainted instead.
    calls.clear();
    Key(Qt::Key_Right);
    EXPECT_TRUE(calls.empty());
}

TEST_F(EditorPaint, WrappedRowsShowTheWrapGlyph)
{
    Edit->SetWordWrap(true);
    const int width = Edit->CharsInWindow();
    SetText(std::string(static_cast<size_t>(width + 5), 'w'));
    const int lh = Edit->LineHeight();
    const QImage image = Render();
    const int gutter = Edit->GutterWidth();
    EXPECT_TRUE(Filled(image, Rect(0, 0, gutter, lh), clSilver));
    EXPECT_TRUE(Ink(image, Rect(0, lh, gutter, 2 * lh), clSilver));
    EXPECT_TRUE(Ink(image, Cell(5, 2), clWhite));
}

TEST_F(EditorPaint, BookmarksShowTheirImageInTheGutter)
{
    SetText("one\r\ntwo");
    Edit->PlaceBookmark(2, 1, 2);
    const int lh = Edit->LineHeight();
    const QImage image = Render();
    EXPECT_TRUE(Filled(image, Rect(0, 0, Edit->GutterWidth(), lh), clSilver));
    EXPECT_TRUE(Ink(image, Rect(0, lh, Edit->GutterWidth(), 2 * lh), clSilver));
}

} // namespace
