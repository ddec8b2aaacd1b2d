// Editor text routines: tab expansion and columns (also with UTF-8 and wide characters),
// character-set scans that keep multi-byte characters whole, escaping, classes, names and the
// gradient painter.

#include "SrcEdit/Source/text/SrcEditTextRoutines.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterMulti.h"

#include "Platform/graphics/Canvas.h"
#include "Platform/core/Component.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const std::string Tab = "\t";
const std::string EAcute = "\xC3\xA9";        // é: two bytes, one column
const std::string Han = "\xE6\xBC\xA2";       // 漢: three bytes, two columns
const std::string Emoji = "\xF0\x9F\x98\x80"; // 😀: four bytes, two columns

TSrcCharSet SetOf(std::string_view chars)
{
    TSrcCharSet set;
    for (const char c : chars)
        set.set(static_cast<unsigned char>(c));
    return set;
}

} // namespace

TEST(TabExpansion, PadsToTheNextStopWithTabCharactersOrOneSpace)
{
    struct Case {
        std::string Text;
        int Width;
        std::string Expected;
    };
    const std::vector<Case> cases = {
        {"ab\tc", 4, "ab\t\tc"},
        {"ab\tc", 3, "ab\tc"},
        {"ab\tc", 1, "ab c"},
        {"ab\tc", 0, "ab c"},
        {"\t\t", 8, std::string(16, '\t')},
        {"abc", 4, "abc"},
        {"", 4, ""},
        {"a\tb\tc", 6, "a" + std::string(5, '\t') + "b" + std::string(5, '\t') + "c"},
        // Columns, not bytes, decide the stop: é is one column, 漢 two.
        {EAcute + "\tx", 4, EAcute + "\t\t\tx"},
        {Han + "\tx", 4, Han + "\t\tx"},
        {Emoji + Han + "\t", 8, Emoji + Han + "\t\t\t\t"},
        // An invalid byte stays and counts as one column.
        {"\xFF\t", 4, "\xFF\t\t\t"},
        // A width that is no power of two uses the same stops.
        {"abcdef\t", 5, "abcdef\t\t\t\t"},
        {"abcdefghij\t", 65536, "abcdefghij" + std::string(65526, '\t')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text + " width " + std::to_string(c.Width));
        EXPECT_EQ(SelectTabExpander(c.Width)(c.Text, c.Width), c.Expected);
        bool hasTabs = false;
        EXPECT_EQ(SelectLineTabExpander(c.Width)(c.Text, c.Width, hasTabs), c.Expected);
        EXPECT_EQ(hasTabs, c.Text.find('\t') != std::string::npos);
    }
}

TEST(TabExpansion, ExpandedTextLengthCountsDisplayColumns)
{
    struct Case {
        std::string Text;
        int Width;
        int Expected;
    };
    const std::vector<Case> cases = {
        {"\t\t", 8, 16},
        {"\t\t", 1, 2},
        {"\t\t", 0, 2}, // no division by zero: treated as width 1
        {"\t\t", -3, 2},
        {"ab\tc", 4, 5},
        {"ab\tc", 3, 4},
        {"", 4, 0},
        {EAcute + EAcute, 4, 2},
        {Han + "a", 4, 3},
        {Han + "\t", 4, 4},
        {"\xFF\xFE", 4, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text + " width " + std::to_string(c.Width));
        EXPECT_EQ(ExpandedTextLength(c.Text, c.Width), c.Expected);
    }
}

TEST(TabExpansion, FindFirstTabReportsTheBytesBeforeIt)
{
    int before = -1;
    EXPECT_TRUE(FindFirstTab("ab\tc\t", before));
    EXPECT_EQ(before, 2);
    EXPECT_FALSE(FindFirstTab("abc", before));
    EXPECT_EQ(before, 3);
    EXPECT_FALSE(FindFirstTab("", before));
    EXPECT_EQ(before, 0);
}

TEST(Columns, CharIndexToColumnWalksTabsAndWideCharacters)
{
    struct Case {
        int Index;
        int Width;
        std::string Line;
        int Expected;
    };
    const std::vector<Case> cases = {
        {3, 8, "a\tb", 9},
        {0, 8, "a\tb", 1},
        {1, 8, "a\tb", 1},
        {2, 8, "a\tb", 2},
        {4, 8, "a\tb", 10},
        {6, 8, "a\tb", 12}, // beyond the end: one column per position
        {3, 1, "a\tb", 3},
        {5, 4, "abcd", 5},
        {9, 4, "", 9},
        {3, 4, "\t\t", 9},
        // Bytes of a character count once, with its display width.
        {3, 4, EAcute + "x", 2},
        {4, 4, Han + "x", 3},
        {5, 4, Han + "\tx", 5},
        // A position inside a character gets that character's column.
        {2, 4, EAcute + "x", 1},
        {3, 4, Han + "x", 1},
        {6, 8, Han + Han, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("index " + std::to_string(c.Index) + " in " + c.Line);
        EXPECT_EQ(CharIndexToColumn(c.Index, c.Width, c.Line), c.Expected);
    }
}

TEST(Columns, ClampAndEarlierCoord)
{
    EXPECT_EQ(ClampToRange(5, 1, 3), 3);
    EXPECT_EQ(ClampToRange(-5, 1, 3), 1);
    EXPECT_EQ(ClampToRange(2, 1, 3), 2);
    EXPECT_EQ(EarlierCoord({5, 1}, {1, 2}), (TBufferCoord{5, 1}));
    EXPECT_EQ(EarlierCoord({5, 2}, {1, 2}), (TBufferCoord{1, 2}));
    EXPECT_EQ(EarlierCoord({1, 3}, {9, 2}), (TBufferCoord{9, 2}));
}

TEST(CharScans, ForwardAndReverseScansSkipMultiByteCharactersWhole)
{
    // Bytes: a(1) é(2,3) .(4) 漢(5,6,7) .(8) b(9)
    const std::string text = "a" + EAcute + "." + Han + ".b";
    const TSrcCharSet dots = SetOf(".");
    struct Case {
        int Index;
        int Forward;
        int Reverse;
    };
    const std::vector<Case> cases = {
        {0, 0, 0}, {1, 4, 0}, {3, 4, 0}, {4, 4, 4}, {5, 8, 4}, {6, 8, 4}, {8, 8, 8}, {9, 0, 8}, {10, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Index);
        EXPECT_EQ(ScanForCharInSet(text, c.Index, dots), c.Forward);
        EXPECT_EQ(ReverseScanForCharInSet(text, c.Index, dots), c.Reverse);
    }
    // The bytes of a multi-byte character are never tested against the set.
    TSrcCharSet highBytes;
    for (int b = 0x80; b < 0x100; ++b)
        highBytes.set(static_cast<size_t>(b));
    EXPECT_EQ(ScanForCharInSet(text, 1, highBytes), 0);
    // A stray byte is a character of its own and is tested.
    EXPECT_EQ(ScanForCharInSet("a\xFF", 1, highBytes), 2);
}

TEST(CharScans, LeadByteScansFindStartsOfMultiByteCharacters)
{
    // Bytes: a(1) é(2,3) b(4) 漢(5,6,7) c(8)
    const std::string text = "a" + EAcute + "b" + Han + "c";
    struct Case {
        int Index;
        int Forward;
        int Reverse;
    };
    const std::vector<Case> cases = {
        {0, 0, 0}, {1, 2, 0}, {2, 2, 2}, {3, 5, 2}, {4, 5, 2}, {6, 0, 5}, {8, 0, 5}, {9, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Index);
        EXPECT_EQ(ScanForLeadByte(text, c.Index), c.Forward);
        EXPECT_EQ(ReverseScanForLeadByte(text, c.Index), c.Reverse);
    }
    EXPECT_EQ(ScanForLeadByte("abc\xFF", 1), 0);
}

TEST(LineEnds, FindLineEndStopsAtCrLfOrNul)
{
    EXPECT_EQ(FindLineEnd(""), std::string_view::npos);
    EXPECT_EQ(FindLineEnd("abc"), 3u);
    EXPECT_EQ(FindLineEnd("ab\r\nc"), 2u);
    EXPECT_EQ(FindLineEnd("a\nb"), 1u);
    EXPECT_EQ(FindLineEnd(std::string_view("a\0b\r", 4)), 1u);
}

TEST(SlashEscaping, RoundTripsAndDecodesStrayBackslashes)
{
    EXPECT_EQ(EscapeSlashes("a/b\\c"), "a\\.b\\\\c");
    EXPECT_EQ(UnescapeSlashes("a\\.b\\\\c"), "a/b\\c");
    for (const std::string text : {"", "///", "\\\\\\", "x/\\/y", "é/漢"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(EscapeSlashes(text).find('/'), std::string::npos);
        EXPECT_EQ(UnescapeSlashes(EscapeSlashes(text)), text);
    }
    EXPECT_EQ(UnescapeSlashes("a\\xb"), "a/b");
    EXPECT_EQ(UnescapeSlashes("ab\\"), "ab/");
}

TEST(DoubleByteClasses, FollowTheFlagTableInOrder)
{
    struct Case {
        unsigned Flags;
        int Expected;
    };
    const std::vector<Case> cases = {
        {C3_SYMBOL, 9},
        {C3_HALFWIDTH, 1},
        {C3_HALFWIDTH | C3_ALPHA, 1},
        {C3_HALFWIDTH | C3_SYMBOL, 2},
        {C3_HALFWIDTH | C3_LEXICAL | C3_KATAKANA, 2},
        {C3_HALFWIDTH | C3_KATAKANA, 3},
        {C3_HALFWIDTH | C3_IDEOGRAPH, 0},
        {C3_FULLWIDTH, 4},
        {C3_FULLWIDTH | C3_ALPHA, 4},
        {C3_FULLWIDTH | C3_SYMBOL, 5},
        {C3_LEXICAL, 5},
        {C3_FULLWIDTH | C3_KATAKANA, 6},
        {C3_HIRAGANA | C3_ALPHA, 7},
        {C3_IDEOGRAPH | C3_ALPHA, 8},
        {C3_ALPHA, 0},
        {0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Flags);
        EXPECT_EQ(DoubleByteCharClass(c.Flags), c.Expected);
    }
}

TEST(HighlighterNames, ShortNameDropsPrefixAndSynSuffix)
{
    struct Case {
        std::string ClassName;
        std::string Expected;
    };
    const std::vector<Case> cases = {
        {"TSrcPHPSyn", "PHP"}, {"TMySyn", "My"},   {"Xyz", "Xyz"},   {"tsrcCssSYN", "Css"},
        {"tHtml", "Html"},     {"TSrc", ""},       {"Syn", ""},      {"TSyn", ""},
        {"", ""},              {"TSrcSynSyn", "Syn"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ClassName);
        EXPECT_EQ(HighlighterShortName(c.ClassName), c.Expected);
    }
}

namespace {
class TFirstKind : public TObject {};
class TSecondKind : public TObject {};
} // namespace

TEST(HighlighterNames, OrdinalCountsEarlierHighlightersOfTheSameClass)
{
    TFirstKind a1, a2, a3;
    TSecondKind b1;
    const std::vector<const TObject*> visited = {&a1, &b1, &a2, &a3};
    EXPECT_EQ(HighlighterOrdinal(&a1, visited), 1);
    EXPECT_EQ(HighlighterOrdinal(&b1, visited), 1);
    EXPECT_EQ(HighlighterOrdinal(&a2, visited), 2);
    EXPECT_EQ(HighlighterOrdinal(&a3, visited), 3);
    // A repeated visit counts from its first place in the list.
    EXPECT_EQ(HighlighterOrdinal(&a1, {&a1, &b1, &a1}), 1);
}

namespace {

// A highlighter with fixed attributes and no tokens.
class TSrcWalkTestSyn : public TSrcCustomHighlighter {
public:
    explicit TSrcWalkTestSyn(std::vector<std::string> names) : TSrcCustomHighlighter(nullptr)
    {
        for (const std::string& name : names)
            AddAttri(std::make_unique<TSrcHighlighterAttributes>(name));
    }
    const TSrcHighlighterClass& HighlighterClass() const override
    {
        static const TSrcHighlighterClass cls{"TSrcWalkTestSyn", &TSrcCustomHighlighter::StaticClass(),
                                              [] { return std::string("Walk"); }, [] { return 0u; }};
        return cls;
    }
    TSrcHighlighterAttributes* RoleAttri(int) const override { return nullptr; }
    bool AtLineEnd() const override { return true; }
    std::string TokenText() const override { return {}; }
    TSrcHighlighterAttributes* TokenAttri() const override { return nullptr; }
    int TokenKindCode() const override { return 0; }
    int TokenStart() const override { return 0; }
    void AdvanceToken() override {}
    void StartLine(std::string_view, int) override {}
};

} // namespace

TEST(HighlighterNames, AttributeWalkNamesEachAttributeUniquely)
{
    TSrcWalkTestSyn highlighter({"Symbol", "Comment", "Reserved Word"});
    std::vector<std::string> names;
    const bool completed = ForEachHighlighterAttribute(&highlighter, true, [&](TSrcCustomHighlighter* h, TSrcHighlighterAttributes* a, const std::string& name) {
        EXPECT_EQ(h, &highlighter);
        EXPECT_EQ(name, "WalkTest1." + a->Name());
        names.push_back(name);
        return true;
    });
    EXPECT_TRUE(completed);
    EXPECT_EQ(names, (std::vector<std::string>{"WalkTest1.Comment", "WalkTest1.Reserved Word", "WalkTest1.Symbol"}));

    names.clear();
    EXPECT_FALSE(ForEachHighlighterAttribute(&highlighter, false, [&](auto*, auto*, const std::string& name) {
        names.push_back(name);
        return false;
    }));
    EXPECT_EQ(names.size(), 1u) << "a false result ends the walk";

    EXPECT_FALSE(ForEachHighlighterAttribute(nullptr, true, [](auto*, auto*, const std::string&) { return true; }));
    EXPECT_FALSE(ForEachHighlighterAttribute(&highlighter, true, nullptr));
    TSrcWalkTestSyn empty({});
    EXPECT_TRUE(ForEachHighlighterAttribute(&empty, true, [](auto*, auto*, const std::string&) { return true; }));
}

TEST(HighlighterNames, AttributeWalkNamesNestedHighlightersAfterThemselves)
{
    TSrcWalkTestSyn outside({"Text"});
    TSrcWalkTestSyn inside({"Comment"});
    TSrcMultiSyn multi;
    multi.SetDefaultHighlighter(&outside);
    const auto addScheme = [&](TSrcCustomHighlighter* highlighter) {
        TScheme* scheme = multi.Schemes().Add();
        scheme->SetHighlighter(highlighter);
    };
    addScheme(&inside);
    addScheme(nullptr);
    addScheme(&inside);

    struct Case {
        bool SkipDuplicates;
        std::vector<std::string> Names;
    };
    const std::vector<Case> cases = {
        {true, {"WalkTest1.Text", "Multi1.Marker1", "WalkTest2.Comment", "Multi1.Marker2", "Multi1.Marker3"}},
        {false,
         {"WalkTest1.Text", "Multi1.Marker1", "WalkTest2.Comment", "Multi1.Marker2", "Multi1.Marker3",
          "WalkTest2.Comment"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.SkipDuplicates);
        std::vector<std::string> names;
        std::vector<const TSrcCustomHighlighter*> owners;
        EXPECT_TRUE(ForEachHighlighterAttribute(&multi, c.SkipDuplicates,
                                                [&](TSrcCustomHighlighter* h, auto*, const std::string& name) {
                                                    names.push_back(name);
                                                    owners.push_back(h);
                                                    return true;
                                                }));
        EXPECT_EQ(names, c.Names);
        ASSERT_GE(owners.size(), 3u);
        EXPECT_EQ(owners[0], &outside);
        EXPECT_EQ(owners[1], &multi);
        EXPECT_EQ(owners[2], &inside);
    }

    std::vector<std::string> names;
    EXPECT_FALSE(ForEachHighlighterAttribute(&multi, true, [&](auto*, auto*, const std::string& name) {
        names.push_back(name);
        return names.size() < 2;
    }));
    EXPECT_EQ(names.size(), 2u) << "a false result inside a scheme ends the whole walk";
}

namespace {

// Paints a gradient into a white image and returns the colour of every pixel along its axis.
std::vector<QRgb> PaintAndSample(int length, bool horizontal, int steps, TColor from, TColor to, const TRect& rect)
{
    QImage image(horizontal ? length : 4, horizontal ? 4 : length, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TCanvas canvas(&painter);
        PaintGradient(canvas, from, to, horizontal, rect, steps);
    }
    std::vector<QRgb> samples;
    for (int i = 0; i < length; ++i)
        samples.push_back(horizontal ? image.pixel(i, 1) : image.pixel(1, i));
    return samples;
}

int Bands(const std::vector<QRgb>& samples)
{
    int bands = samples.empty() ? 0 : 1;
    for (size_t i = 1; i < samples.size(); ++i)
        bands += samples[i] != samples[i - 1];
    return bands;
}

} // namespace

TEST(Gradient, BandsRunFromStartToEndColourWithStepsClamped)
{
    const auto samples = PaintAndSample(100, true, 4, RGBColor(0, 0, 0), RGBColor(255, 30, 90), Rect(0, 0, 100, 4));
    EXPECT_EQ(Bands(samples), 4);
    EXPECT_EQ(samples.front(), qRgb(0, 0, 0));
    EXPECT_EQ(samples.back(), qRgb(255, 30, 90));
    EXPECT_EQ(samples[25], qRgb(85, 10, 30)); // band 1: MulDiv(1, 255, 3) = 85
    EXPECT_EQ(samples[24], qRgb(0, 0, 0));

    const auto vertical = PaintAndSample(600, false, 1000, RGBColor(0, 0, 0), RGBColor(255, 255, 255), Rect(0, 0, 4, 600));
    EXPECT_EQ(Bands(vertical), 256);
    EXPECT_EQ(vertical.back(), qRgb(255, 255, 255));

    const auto two = PaintAndSample(50, true, 1, RGBColor(10, 20, 30), RGBColor(40, 50, 60), Rect(0, 0, 50, 4));
    EXPECT_EQ(Bands(two), 2);
    EXPECT_EQ(two.front(), qRgb(10, 20, 30));
    EXPECT_EQ(two.back(), qRgb(40, 50, 60));
}

TEST(Gradient, StaysInsideItsRectangleAndCountsDownward)
{
    const auto samples = PaintAndSample(100, true, 2, RGBColor(200, 100, 50), RGBColor(0, 0, 0), Rect(10, 0, 30, 4));
    EXPECT_EQ(samples[9], qRgb(255, 255, 255));
    EXPECT_EQ(samples[10], qRgb(200, 100, 50));
    EXPECT_EQ(samples[29], qRgb(0, 0, 0));
    EXPECT_EQ(samples[30], qRgb(255, 255, 255));
}
