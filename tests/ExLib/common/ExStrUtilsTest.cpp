// Text, number, command-line and file-name routines of the control library.

#include "ExLib/run/process/ExCommandLine.h"
#include "ExLib/run/common/ExFileNameUtils.h"
#include "ExLib/run/common/ExStrUtils.h"
#include "ExLib/run/controls/ExTextDraw.h"

#include "Platform/core/Exceptions.h"
#include "support/TempDir.h"

#include <QPainter>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

using V = std::vector<std::string>;

} // namespace

TEST(HexText, BytesBecomeUpperCaseDigitPairs)
{
    const unsigned char bytes[] = {0x00, 0xFF, 0x1F};
    std::string text = "x";
    BytesToHexText(bytes, 3, text);
    EXPECT_EQ(text, "x00FF1F"); // appended
}

TEST(HexText, DigitPairsBecomeBytesWithinTheBuffer)
{
    unsigned char buffer[10];
    std::fill(std::begin(buffer), std::end(buffer), 0xEE);
    EXPECT_EQ(HexTextToBytes("ABC", buffer, 10), 2); // an odd length gets a leading 0
    EXPECT_EQ(buffer[0], 0x0A);
    EXPECT_EQ(buffer[1], 0xBC);
    EXPECT_EQ(buffer[2], 0xEE); // beyond the count untouched
    EXPECT_EQ(HexTextToBytes("0a1B", buffer, 1), 1);
    EXPECT_EQ(buffer[0], 0x0A);
    EXPECT_EQ(buffer[1], 0xBC);
    EXPECT_EQ(HexTextToBytes("", buffer, 10), 0);
    try {
        HexTextToBytes("12zz", buffer, 10);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'$zz' is not a valid integer value");
    }
    EXPECT_EQ(buffer[0], 0x12); // what came before the bad pair is written
}

TEST(TextRoutines, ReplaceTrimStripRepeat)
{
    EXPECT_EQ(ReplaceAllText("aaaa", "aa", "a"), "aa"); // replacements are not rescanned
    EXPECT_EQ(ReplaceAllText("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAllText("a.b.c", ".", "::"), "a::b::c");
    EXPECT_EQ(ReplaceAllText("ABC", "b", "x"), "ABC"); // case-sensitive
    EXPECT_EQ(TrimSpaces("  \ta b\t  "), "\ta b\t"); // only code 32
    EXPECT_EQ(TrimLeadingSpaces("  a "), "a ");
    EXPECT_EQ(TrimTrailingSpaces("  a "), "  a");
    EXPECT_EQ(StripChar("1.234.5", '.'), "12345");
    EXPECT_EQ(RepeatChar('0', 3), "000");
    EXPECT_EQ(RepeatChar('0', -1), "");
    EXPECT_TRUE(ContainsAnyChar("abc", "xyc"));
    EXPECT_FALSE(ContainsAnyChar("abc", ""));
    EXPECT_TRUE(SameTextIgnoringCase("Ärger", "äRGER"));
    EXPECT_FALSE(SameTextIgnoringCase("Ärger", "Arger"));
}

TEST(TextRoutines, NumberTextsFollowTheSeparators)
{
    struct Case {
        const char* Text;
        const char* Decimal;
        const char* Thousands;
        const char* Result;
    };
    const std::vector<Case> cases = {
        {" 1.234,5 ", ",", ".", "1234,5"},
        {"x", ",", ".", "0"},
        {"-", ",", ".", "-0"},
        {"1,234.5", ".", ",", "1234.5"},
        {"1.5", ",", " ", "1,5"},   // a "." where it is no separator is the decimal one
        {"2,5", ".", "'", "2.5"},
        {"+12 abc", ".", ",", "+12"},
        {"1.2", ".", ".", "1.2"},    // equal separators: nothing is removed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(NormalizeNumberText(c.Text, c.Decimal, c.Thousands), c.Result);
    }
}

TEST(CommandLine, ParametersFollowTheQuotingRules)
{
    struct Case {
        std::string Line;
        V Params;
    };
    const std::vector<Case> cases = {
        {"prog -a b", {"prog", "-a", "b"}},
        {"\"C:\\Program Files\\x.exe\" -x \"b c\"", {"C:\\Program Files\\x.exe", "-x", "b c"}},
        {"   \t ", {}},
        {"\"\" a \"\"", {"a"}},                // an empty quoted pair between parameters is skipped
        {"a\"b c\"d", {"ab cd"}},              // a quoted run inside a parameter
        {"\"unterminated run", {"unterminated run"}},
        {std::string("a\0b", 3), {"a"}},       // a NUL ends the line
        {"x\xC3\xA4y z", {"x\xC3\xA4y", "z"}}, // UTF-8 bytes belong to the parameter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Line);
        EXPECT_EQ(CommandLineParams(c.Line), c.Params);
        EXPECT_EQ(CommandLineParamCount(c.Line), static_cast<int>(c.Params.size()));
    }
    EXPECT_EQ(CommandLineParam("a b c", 1), "b");
    EXPECT_EQ(CommandLineParam("a b c", 3), "");
}

TEST(CommandLine, AParameterHasNoLengthLimit)
{
    const std::string longPath = "/home/user/" + std::string(600, 'x') + "/file name.php";
    const std::string line = "php -f \"" + longPath + "\"";
    EXPECT_EQ(CommandLineParam(line, 2), longPath);
}

TEST(CommandLine, ProgramAndArgumentsQuoteWhatHasBlanks)
{
    std::string program = "old", args = "old";
    SplitProgramAndArgs("\"C:\\Program Files\\x.exe\" -x \"b c\"", program, args);
    EXPECT_EQ(program, "C:\\Program Files\\x.exe");
    EXPECT_EQ(args, "-x \"b c\"");
    SplitProgramAndArgs("  ", program, args);
    EXPECT_EQ(program, "");
    EXPECT_EQ(args, "");
}

TEST(CommandLine, DelimitedPartsMoveThePosition)
{
    const std::string text = "C:\\a;C:\\b;;end";
    int position = 1;
    V parts;
    while (position <= static_cast<int>(text.size()))
        parts.push_back(NextDelimitedPart(text, position, ";"));
    EXPECT_EQ(parts, (V{"C:\\a", "C:\\b", "", "end"}));
    EXPECT_EQ(position, static_cast<int>(text.size()) + 1);
    position = 50;
    EXPECT_EQ(NextDelimitedPart(text, position, ";"), "");
}

TEST(FileNames, ValidNamesAndTheFormsOfExistingPaths)
{
    EXPECT_TRUE(IsValidFileNameText("/home/user/project/index.php"));
    EXPECT_TRUE(IsValidFileNameText("C:\\dir\\file.txt"));
    EXPECT_FALSE(IsValidFileNameText("*.php"));
    EXPECT_FALSE(IsValidFileNameText(""));
    for (const char c : std::string("<>\"?*|"))
        EXPECT_FALSE(IsValidFileNameText(std::string("a") + c)) << c;

    TempDir dir;
    const std::string file = dir.Write("sub/name.txt", "x");
    EXPECT_EQ(LongFileNameOf(file), "name.txt");
    EXPECT_EQ(ShortFileNameOf(file), "name.txt");
    EXPECT_EQ(LongPathOf(file), file);
    EXPECT_EQ(LongFileNameOf(dir.File("missing")), "");
}

TEST(FileNames, AFailedSystemCallRaisesItsError)
{
    errno = ENOENT;
    try {
        CheckOsResult(false);
        FAIL();
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOENT);
    }
    EXPECT_NO_THROW(CheckOsResult(true));
    EXPECT_STREQ(NewCStringCopy("abc").get(), "abc");
}

TEST(TextDrawing, ShorteningToAWidth)
{
    TCanvas canvas;
    EXPECT_EQ(ShortenTextToWidth("Some caption", canvas, 0), "...");
    EXPECT_EQ(ShortenTextToWidth("Short", canvas, 1000), "Short");
    const int width = canvas.TextWidth("Some c...");
    const std::string shortened = ShortenTextToWidth("Some caption text", canvas, width);
    EXPECT_LE(canvas.TextWidth(shortened), width);
    EXPECT_EQ(shortened.substr(shortened.size() - 3), "...");
    EXPECT_EQ(shortened.substr(0, 4), "Some");
    // A character of several bytes is never cut.
    const std::string umlauts = ShortenTextToWidth("\xC3\xA4\xC3\xB6\xC3\xBC\xC3\xA4\xC3\xB6\xC3\xBC", canvas,
                                                   canvas.TextWidth("\xC3\xA4\xC3\xB6..."));
    EXPECT_EQ(umlauts.size() % 2, 1u); // pairs of bytes and three dots

    const std::string path = "/home/user/projects/zentu/src/deep/file.php";
    const std::string elided = ShortenPathToWidth(path, canvas, canvas.TextWidth("/home/u.../file.php"));
    EXPECT_NE(elided.find("..."), std::string::npos);
    EXPECT_EQ(elided.substr(elided.size() - 9), "/file.php");
    EXPECT_EQ(elided.substr(0, 1), "/");
    EXPECT_EQ(ShortenPathToWidth(path, canvas, 10000), path);
}

TEST(TextDrawing, MeasuringAndDrawingFormattedText)
{
    TCanvas canvas;
    TRect r = Rect(10, 20, 10, 20);
    const int height = DrawTextOnCanvas(canvas, "Hello", -1, DT_SINGLELINE | DT_CALCRECT | DT_MODIFYSTRING, r);
    EXPECT_EQ(r.Left, 10);
    EXPECT_EQ(r.Width(), canvas.TextWidth("Hello"));
    EXPECT_EQ(r.Height(), height);
    TRect two = Rect(0, 0, canvas.TextWidth("word"), 0);
    const int wrapped = DrawTextOnCanvas(canvas, "word word", -1, DT_WORDBREAK | DT_CALCRECT, two);
    EXPECT_GE(wrapped, 2 * height - 1);
    TRect prefix = Rect(0, 0, 0, 0);
    DrawTextOnCanvas(canvas, "&File", -1, DT_CALCRECT | DT_SINGLELINE, prefix);
    EXPECT_LT(prefix.Width(), canvas.TextWidth("&File")); // the "&" marks the accelerator
    EXPECT_THROW(DrawTextOnCanvas(canvas, "x", -1, 0, r), EInvalidOperation);

    QImage image(60, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    canvas.SetHandle(&painter);
    canvas.Font().SetColor(clBlack);
    TRect box = Rect(0, 0, 60, 30);
    DrawTextOnCanvas(canvas, "Wq", 1, DT_SINGLELINE, box);
    canvas.SetHandle(nullptr);
    painter.end();
    bool dark = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            dark = dark || image.pixelColor(x, y).lightness() < 128;
    EXPECT_TRUE(dark);
}

TEST(TextDrawing, CopyBitsWithRasterOperations)
{
    QImage source(4, 4, QImage::Format_RGB32);
    source.fill(QColor(0x0F, 0xF0, 0x00));
    QImage dest(4, 4, QImage::Format_RGB32);
    struct Case {
        unsigned Rop;
        QColor Before, After;
    };
    const std::vector<Case> cases = {
        {SRCCOPY, QColor(1, 2, 3), QColor(0x0F, 0xF0, 0x00)},
        {SRCINVERT, QColor(0xFF, 0xFF, 0xFF), QColor(0xF0, 0x0F, 0xFF)},
        {SRCAND, QColor(0xFF, 0x0F, 0xFF), QColor(0x0F, 0x00, 0x00)},
        {SRCPAINT, QColor(0x30, 0x00, 0x03), QColor(0x3F, 0xF0, 0x03)},
        {BLACKNESS, QColor(9, 9, 9), QColor(0, 0, 0)},
        {WHITENESS, QColor(9, 9, 9), QColor(255, 255, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Rop);
        dest.fill(c.Before);
        QPainter p(&dest);
        EXPECT_TRUE(CopyBits(p, 0, 0, 2, 2, source, 0, 0, SRCCOPY == c.Rop ? SRCCOPY : c.Rop));
        p.end();
        EXPECT_EQ(dest.pixelColor(1, 1), c.After);
        EXPECT_EQ(dest.pixelColor(3, 3), c.Before); // outside the block
    }
    QPainter p(&dest);
    EXPECT_FALSE(CopyBits(p, 0, 0, 1, 1, source, 0, 0, 0x00123456));
    EXPECT_EQ(RectWidthOf(Rect(3, 4, 10, 20)), 7);
    EXPECT_EQ(RectHeightOf(Rect(3, 4, 10, 20)), 16);
}
