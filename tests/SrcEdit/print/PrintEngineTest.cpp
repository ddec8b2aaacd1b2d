// The print engine: wrap positions, pagination, printing to PDF read back by poppler (pages,
// header and footer macros, line numbers, wrapped and force-broken lines), copies, aborting,
// the reported end page, printing a selection, and colours taken from the highlighter.

#include "SrcEdit/print/PrintTestSupport.h"
#include "SrcEdit/highlighters/TestHighlighter.h"

#include "SrcEdit/Source/print/SrcEditPrintText.h"
#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/graphics/Canvas.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {

std::vector<std::string> NumberedLines(int count)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back("line " + std::to_string(i));
    return lines;
}

size_t CountOf(const std::string& text, char c)
{
    return static_cast<size_t>(std::count(text.begin(), text.end(), c));
}

std::string NoSpaces(std::string text)
{
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\n' || c == '\f'; }),
               text.end());
    return text;
}

} // namespace

TEST(WrapPositions, BreakAfterTheLastBreakCharacterThatFitsAndCutStretchesWithoutOne)
{
    const TSrcCharSet blanks = CharSetOf(" ,-\t");
    struct Case {
        std::string Text;
        int Columns;
        bool Answer;
        std::vector<int> Positions;
    };
    const std::string x20(20, 'x');
    const Case cases[] = {
        {"short", 10, true, {}},
        {"aaaa bbbb cccc dddd", 10, true, {10}},
        {"aaaa bbbb cccc dddd eeee", 10, true, {10, 20}},
        {"a " + x20, 10, true, {2, 12}},   // the stretch after the blank is cut, not lost
        {x20 + "yy", 10, false, {10, 20}}, // no break character at all: the caller tries the next set
        {"aa,bb,cc,dd", 4, true, {3, 6, 9}},
    };
    for (const Case& c : cases) {
        std::vector<int> positions;
        EXPECT_EQ(FindWrapPositions(c.Text, blanks, c.Columns, positions), c.Answer) << c.Text;
        EXPECT_EQ(positions, c.Positions) << c.Text;
    }
    std::vector<int> positions;
    EXPECT_TRUE(FindWrapPositions("ééééé ééééé", blanks, 6, positions)) << "columns count characters";
    EXPECT_EQ(positions, std::vector<int>{11}) << "the break falls after the blank, at its byte offset";
}

TEST_F(PdfPrintTest, PagesCarryHeaderFooterMacrosAndLineNumbers)
{
    SetLines(NumberedLines(150));
    Print.Title = "report.php";
    Print.LineNumbers = true;
    Print.Header().AddTextItem("$TITLE$", nullptr, 1, taLeftJustify);
    Print.Footer().AddTextItem("Page $PAGENUM$ of $PAGECOUNT$", nullptr, 1, taRightJustify);
    Print.PrintAllPages();
    const int pages = Print.TotalPages();
    ASSERT_GE(pages, 2);
    EXPECT_EQ(PdfPageCount(Pdf()), pages);
    const std::string first = PdfText(Pdf(), 1, 1);
    EXPECT_NE(first.find("report.php"), std::string::npos) << first;
    EXPECT_NE(first.find("Page 1 of " + std::to_string(pages)), std::string::npos) << first;
    EXPECT_NE(first.find("1: line 1\n"), std::string::npos) << first;
    const std::string second = PdfText(Pdf(), 2, 2);
    EXPECT_NE(second.find("Page 2 of " + std::to_string(pages)), std::string::npos) << second;
    const int firstOfPage2 = Print.PageStarts()[1] + 1;
    EXPECT_NE(second.find(std::to_string(firstOfPage2) + ": line " + std::to_string(firstOfPage2)), std::string::npos);
    EXPECT_EQ(first.find("line " + std::to_string(firstOfPage2) + "\n"), std::string::npos);
    EXPECT_NE(PdfText(Pdf(), pages, pages).find("150: line 150"), std::string::npos);
}

TEST_F(PdfPrintTest, PageOffsetShiftsThePageNumberButNotTheCount)
{
    SetLines(NumberedLines(3));
    Print.PageOffset = 10;
    Print.Footer().AddTextItem("$PAGENUM$/$PAGECOUNT$", nullptr, 1, taLeftJustify);
    Print.PrintAllPages();
    EXPECT_NE(PdfText(Pdf()).find("11/1"), std::string::npos);
}

TEST_F(PdfPrintTest, LongLinesWrapWithoutLosingCharacters)
{
    const std::string words = [] {
        std::string s;
        for (int i = 0; i < 40; ++i)
            s += "word" + std::to_string(i % 10) + " ";
        return s;
    }();
    const std::string stretch = "a " + std::string(300, 'x');
    const std::string dotted = std::string(100, 'y') + "." + std::string(100, 'z');
    SetLines({words, stretch, dotted, "end"});
    Print.PrintAllPages();
    const std::string text = PdfText(Pdf());
    EXPECT_EQ(CountOf(text, 'x'), 300u) << text;
    EXPECT_EQ(CountOf(text, 'y'), 100u);
    EXPECT_EQ(CountOf(text, 'z'), 100u);
    EXPECT_NE(NoSpaces(text).find(NoSpaces(words)), std::string::npos);
    const int columns = Print.TextAreaColumns();
    ASSERT_GT(columns, 40);
    ASSERT_LT(columns, 200);
    // The first row of the words ends at a blank: no word is cut.
    const std::string firstRow = text.substr(0, text.find('\n'));
    EXPECT_EQ(firstRow.back(), firstRow.find_last_not_of(' ') == firstRow.size() - 1 ? firstRow.back() : ' ');
    EXPECT_LE(NoSpaces(firstRow).size(), static_cast<size_t>(columns));
}

TEST_F(PdfPrintTest, AWrappedLineThatDoesNotFitGoesWholeToTheNextPage)
{
    SetLines(NumberedLines(1));
    TCanvas measure;
    Print.PreparePages(measure);
    const int rowsPerPage = (Print.Margins().PixBottom - Print.Margins().PixTop) / Print.LinePitch();
    std::vector<std::string> lines = NumberedLines(rowsPerPage - 1);
    lines.push_back(std::string(Print.TextAreaColumns() * 3, 'w'));
    lines.push_back("after");
    SetLines(lines);
    Print.PrintAllPages();
    ASSERT_EQ(Print.TotalPages(), 2);
    EXPECT_EQ(Print.PageStarts()[1], rowsPerPage - 1);
    EXPECT_EQ(CountOf(PdfText(Pdf(), 2, 2), 'w'), static_cast<size_t>(Print.TextAreaColumns() * 3));
}

TEST_F(PdfPrintTest, CopiesComeOutPageByPageInOrder)
{
    SetLines(NumberedLines(150));
    Print.Copies = 2;
    Print.PrintPageRange(1, 2);
    EXPECT_EQ(NewPages(), (std::vector<int>{1, 2, 1, 2}));
    EXPECT_EQ(PdfPageCount(Pdf()), 4);
    EXPECT_NE(PdfText(Pdf(), 3, 3).find("line 1\n"), std::string::npos);
}

TEST_F(PdfPrintTest, TheEndIsReportedWithTheLastPagePrinted)
{
    SetLines(NumberedLines(150));
    Print.PrintAllPages();
    ASSERT_FALSE(Statuses.empty());
    EXPECT_EQ(Statuses.front(), std::make_pair(psBegin, 1));
    EXPECT_EQ(Statuses.back(), std::make_pair(psEnd, Print.TotalPages()));
}

TEST_F(PdfPrintTest, AbortingStopsBeforeThePageAndReportsNoEnd)
{
    SetLines(NumberedLines(150));
    AbortOnPage = 2;
    Print.PrintAllPages();
    EXPECT_EQ(NewPages(), (std::vector<int>{1, 2}));
    EXPECT_NE(Statuses.back().first, psEnd);
    for (const auto& [line, page] : PrintedLines)
        EXPECT_EQ(page, 1);
}

TEST_F(PdfPrintTest, SelectedOnlyPrintsTheSelectionAndNothingWithoutOne)
{
    TSrcEdit editor;
    editor.SetAllText("0123456789\r\nabcdefghij\r\nABCDEFGHIJ\r\nlast line");
    Print.SelectedOnly = true;
    Print.TakeEditorSettings(editor);
    Print.PrintAllPages();
    EXPECT_TRUE(Statuses.empty()) << "no selection, no job";

    editor.SetCaretCoord(MakeBufferCoord(3, 1));
    editor.SetSelectionStart(MakeBufferCoord(3, 1));
    editor.SetSelectionEnd(MakeBufferCoord(6, 3));
    editor.SetActiveSelectionMode(TSrcSelectionMode::smColumn);
    Print.TakeEditorSettings(editor);
    Print.PrintAllPages();
    const std::string text = PdfText(Pdf());
    EXPECT_NE(text.find("234\ncde\nCDE"), std::string::npos) << text;
    EXPECT_EQ(text.find("last"), std::string::npos);
    EXPECT_EQ(PrintedLines, (std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {3, 1}}));
}

TEST_F(PdfPrintTest, AMissingOutputFolderFailsWithAMessage)
{
    Printer.setOutputFileName(QString::fromStdString(Dir.File("no/such/folder/out.pdf")));
    SetLines({"x"});
    EXPECT_THROW(Print.PrintAllPages(), ESrcEditError);
}

TEST(GridText, APieceOfAnyLengthIsDrawnWhole)
{
    // invariant: no fixed table of advances limits the number of characters drawn.
    QImage image(6100, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TFont font;
    font.SetName("Courier New");
    font.SetHeight(-8);
    DrawGridText(painter, MakeGridFont(font.ToQFont(), 2), clBlack, clNone, 0, 0, 12, std::string(3000, 'W'));
    painter.end();
    bool inkNearEnd = false;
    for (int x = 5980; x < 6000; ++x)
        for (int y = 0; y < 20; ++y)
            inkNearEnd = inkNearEnd || image.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_TRUE(inkNearEnd);
}

TEST(PrintEngine, ColoursComeFromTheHighlighterOnlyWhenAsked)
{
    TTestSyn syn;
    TSrcEditPrint print;
    TStringList lines;
    lines.Add("12345 if x");
    print.SetLines(lines);
    print.SetHighlighter(&syn);
    const auto bluePixels = [&](bool colors) {
        print.Colors = colors;
        TSrcEditPrinterInfo& g = print.PrinterGeometry();
        QImage image(g.PrintAreaWidth(), 700, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        TCanvas canvas(&painter);
        print.PreparePages(canvas);
        print.RenderPage(canvas, 1);
        painter.end();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c(image.pixel(x, y));
                count += c.blue() > 150 && c.red() < 100 && c.green() < 100;
            }
        return count;
    };
    EXPECT_GT(bluePixels(true), 50) << "numbers are blue in the test highlighter";
    EXPECT_EQ(bluePixels(false), 0);
    EXPECT_EQ(print.CountPages(), 1);
}

TEST(PrintEngine, TabsAreExpandedAndTheHighlighterIsForgottenWhenItGoes)
{
    TSrcEditPrint print;
    print.TabWidth = 4;
    TStringList lines;
    lines.Add("a\tb");
    print.SetLines(lines);
    EXPECT_EQ(print.Lines().Get(0), "a   b");
    {
        TTestSyn syn;
        print.SetHighlighter(&syn);
    }
    EXPECT_EQ(print.Highlighter(), nullptr);
}
