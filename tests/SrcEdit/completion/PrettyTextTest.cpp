// Pretty text: parsing into chunks, drawing and measuring with styles, colours and columns,
// stripping, and the parameter lists of parameter hints.

#include "SrcEdit/Source/completion/SrcEditPrettyText.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// The chunks as text: "t:abc" for text, "c:<colour>", "s:<style><action>", "col", "h:<n>", "i:<n>".
std::string Describe(const TFormatChunkList& chunks)
{
    std::string out;
    for (const TFormatChunk& c : chunks) {
        if (!out.empty())
            out += " ";
        switch (c.Kind) {
        case pcText:
            out += "t:" + c.Text;
            break;
        case pcColor:
            out += "c:" + std::to_string(c.Color);
            break;
        case pcStyle:
            out += "s:" + std::to_string(static_cast<int>(c.Style)) + std::to_string(c.StyleAction);
            break;
        case pcColumn:
            out += "col";
            break;
        case pcHSpace:
            out += "h:" + std::to_string(c.Value);
            break;
        case pcImage:
            out += "i:" + std::to_string(c.Value);
            break;
        }
    }
    return out;
}

struct ParseCase {
    const char* Text;
    bool Valid;
    const char* Chunks;
};

// A canvas on an image with a known font, for drawing and measuring.
struct ImageCanvas {
    ImageCanvas() : Image(400, 40, QImage::Format_RGB32), Painter(&Image), Canvas(&Painter)
    {
        Image.fill(Qt::white);
        Canvas.Font().SetName("DejaVu Sans");
        Canvas.Font().SetHeight(-14);
        Canvas.Font().SetColor(clBlack);
    }
    QImage Image;
    QPainter Painter;
    TCanvas Canvas;
};

// The number of pixels of `image` close to `rgb`.
int CountPixels(const QImage& image, QRgb rgb)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qRed(p) - qRed(rgb)) < 40 && std::abs(qGreen(p) - qGreen(rgb)) < 40 &&
                std::abs(qBlue(p) - qBlue(rgb)) < 40)
                ++n;
        }
    return n;
}

} // namespace

TEST(PrettyText, ParsesCommandsAndText)
{
    const ParseCase cases[] = {
        {"a\\\\b", true, "t:a\\b"},
        {"\\style{+b}x\\style{-B}", true, "s:01 t:x s:0-1"},
        {"\\STYLE{~i}\\Style{+U}\\style{-s}", true, "s:10 s:21 s:3-1"},
        {"\\color{clRed}x", true, "c:255 t:x"},
        {"\\color{$FF0000}\\color{12}", true, "c:16711680 c:12"},
        {"\\column{}\\hspace{4}\\image{2}", true, "col h:4 i:2"},
        {"\\foo{1}x", false, "t:x"},
        {"\\column{x}y", false, "t:y"},
        {"\\style{+Q}a", false, "t:a"},
        {"\\style{+BB}a", false, "t:a"},
        {"\\style{*B}a", false, "t:a"},
        {"\\color{notacolour}a", false, "t:a"},
        {"\\image{two}a", false, "t:a"},
        {"ab\\color{", true, "t:ab"},
        {"ab\\color", true, "t:ab"},
        {"", true, ""},
        {"a \\image{0} b", true, "t:a  i:0 t: b"},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.Text);
        TFormatChunkList chunks;
        EXPECT_EQ(ParsePrettyText(c.Text, chunks), c.Valid);
        EXPECT_EQ(Describe(chunks), c.Chunks);
    }
}

TEST(PrettyText, ExcludedKindsAreLeftOut)
{
    TFormatChunkList chunks;
    EXPECT_TRUE(ParsePrettyText("\\image{1}\\color{clBlue}\\style{+B}name\\column{}x", chunks, {pcColor, pcImage}));
    EXPECT_EQ(Describe(chunks), "s:01 t:name col t:x");
    EXPECT_EQ(StripPrettyText("\\image{0} string\\column{}\\color{clBlue}\\style{+B} substr\\style{-B}\\color{0} (a)"),
              " string substr (a)");
    EXPECT_EQ(StripPrettyText("50\\\\% \\foo{1}off"), "50\\% off");
}

TEST(PrettyText, StyleCommandsChangeWidthsColourCommandsDoNot)
{
    ImageCanvas c;
    const int plain = PrettyTextWidth(c.Canvas, "abcdefgh", nullptr, nullptr);
    EXPECT_EQ(plain, c.Canvas.TextWidth("abcdefgh"));
    EXPECT_GT(PrettyTextWidth(c.Canvas, "\\style{+B}abcdefgh", nullptr, nullptr), plain);
    EXPECT_EQ(PrettyTextWidth(c.Canvas, "\\color{clRed}abcdefgh", nullptr, nullptr), plain);
    EXPECT_EQ(PrettyTextWidth(c.Canvas, "ab\\hspace{10}cdefgh", nullptr, nullptr), plain + 10);
    // The canvas font comes back as it was.
    EXPECT_TRUE(c.Canvas.Font().Style().Empty());
}

TEST(PrettyText, ColumnJumpsAlignToTheColumnsWidths)
{
    ImageCanvas c;
    TProposalColumns columns;
    columns.Add().BiggestWord = "superglobal ";
    columns.Add().BiggestWord = "CONSTRUCTOR";
    const int first = c.Canvas.TextWidth("superglobal  ");
    const int second = first + c.Canvas.TextWidth("CONSTRUCTOR ");
    EXPECT_EQ(PrettyTextWidth(c.Canvas, "\\column{}", nullptr, &columns), first);
    EXPECT_EQ(PrettyTextWidth(c.Canvas, "\\column{}\\column{}", nullptr, &columns), second);
    // After the last column further jumps do nothing.
    EXPECT_EQ(PrettyTextWidth(c.Canvas, "\\column{}\\column{}\\column{}", nullptr, &columns), second);
    // Without columns a jump does nothing.
    EXPECT_EQ(PrettyTextWidth(c.Canvas, "x\\column{}", nullptr, nullptr), c.Canvas.TextWidth("x"));
    // A text wider than its column is not overdrawn by the next one.
    const std::string wide(40, 'W');
    EXPECT_EQ(PrettyTextWidth(c.Canvas, wide + "\\column{}y", nullptr, &columns),
              c.Canvas.TextWidth(wide) + c.Canvas.TextWidth("y"));
}

TEST(PrettyText, AColumnSetsItsDefaultStyle)
{
    ImageCanvas c;
    TProposalColumns columns;
    columns.Add().BiggestWord = "x";
    columns.Add().DefaultFontStyle = {fsBold};
    const int regular = c.Canvas.TextWidth("abcdefgh");
    const int start = c.Canvas.TextWidth("x ");
    EXPECT_GT(PrettyTextWidth(c.Canvas, "\\column{}abcdefgh", nullptr, &columns), start + regular);
}

TEST(PrettyText, TheSelectedLineKeepsItsColour)
{
    const QRgb red = qRgb(255, 0, 0);
    {
        ImageCanvas c;
        PrettyTextOut(c.Canvas, {2, 2, 400, 40}, "\\color{clRed}XXXXXX", false, nullptr, nullptr);
        EXPECT_GT(CountPixels(c.Image, red), 20);
    }
    {
        ImageCanvas c;
        c.Canvas.Font().SetColor(clBlue);
        PrettyTextOut(c.Canvas, {2, 2, 400, 40}, "\\color{clRed}XXXXXX", true, nullptr, nullptr);
        EXPECT_EQ(CountPixels(c.Image, red), 0);
        EXPECT_GT(CountPixels(c.Image, qRgb(0, 0, 255)), 20);
    }
}

TEST(PrettyText, DrawingStopsAtTheRightEdgeAndDrawsImages)
{
    ImageCanvas c;
    TImageList images(nullptr, 8, 8);
    QImage green(8, 8, QImage::Format_ARGB32);
    green.fill(Qt::green);
    images.Add(green);
    TFormatChunkList chunks;
    ParsePrettyText("\\image{0}ab\\image{0}", chunks);
    const int x = DrawFormatChunks(c.Canvas, {0, 0, 400, 40}, chunks, false, &images, nullptr);
    EXPECT_EQ(x, 16 + c.Canvas.TextWidth("ab"));
    EXPECT_EQ(CountPixels(c.Image, qRgb(0, 255, 0)), 128);
    // The walk ends once x is past the right edge: the second image is not reached.
    ImageCanvas narrow;
    EXPECT_EQ(DrawFormatChunks(narrow.Canvas, {0, 0, 10, 40}, chunks, false, &images, nullptr),
              8 + narrow.Canvas.TextWidth("ab"));
    EXPECT_EQ(CountPixels(narrow.Image, qRgb(0, 255, 0)), 64);
}

TEST(PrettyText, ParameterListsBoldTheCurrentElement)
{
    const struct {
        const char* Item;
        int Index;
        const char* Expected;
    } cases[] = {
        {"string substr (string\xC2\xA0$s, int\xC2\xA0$offset)", 2,
         "string substr \\style{~B}(string\xC2\xA0$s\\style{~B}, int\xC2\xA0$offset)"},
        {"string substr (string\xC2\xA0$s, int\xC2\xA0$offset)", 3,
         "string substr (string\xC2\xA0$s, \\style{~B}int\xC2\xA0$offset)\\style{~B}"},
        {"f (a,b)", -1, "f (a, b)"},
        {"  a   b  ", 0, "\\style{~B}a\\style{~B} b"},
        {"\"x y\", z", 0, "\\style{~B}x y\\style{~B}, z"},
        {"a,,b", 5, "a, , b"},
        {"", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Item);
        EXPECT_EQ(FormatParamList(c.Item, c.Index), c.Expected);
    }
    EXPECT_EQ(ParamListCount("string substr (string\xC2\xA0$s, int\xC2\xA0$o, ?int\xC2\xA0$l)"), 5);
    EXPECT_EQ(ParamListCount(""), 0);
}
