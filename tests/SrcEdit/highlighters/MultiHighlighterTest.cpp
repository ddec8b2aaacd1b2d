// The multi-language highlighter: the marker search, fragments handed to the highlighter in
// charge, the range encodings that carry schemes and sub-states over line ends, the hooks on its
// highlighters, the scheme setters and the mixed-page golden sample.

#include "SrcEdit/highlighters/HighlighterScan.h"
#include "SrcEdit/highlighters/HighlighterTestSupport.h"
#include "SrcEdit/highlighters/IdePageHighlighter.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterMulti.h"
#include "SrcEdit/Source/regexpr/SrcEditRegExpr.h"
#include "SrcEdit/highlighters/TestHighlighter.h"

#include <gtest/gtest.h>

namespace {

// (token text, attribute name or "-")
using Tokens = TAttributePairs;

// The scheme bits of a packed range.
int SchemeOf(TSrcRange range)
{
    return static_cast<int>(range & 0xF) - 1;
}

// One token per line; a line of digits sets the range to their value, other lines keep it.
class TStateSyn : public TTestSyn {
public:
    using TTestSyn::TTestSyn;
    TSrcRange CurrentRange() const override { return FState; }
    void RestoreRange(TSrcRange range) override { FState = range; }
    void ClearRange() override { FState = 0; }
    bool AtLineEnd() const override { return FDone; }
    std::string TokenText() const override { return FDone ? std::string() : FText; }
    int TokenStart() const override { return FDone ? static_cast<int>(FText.size()) : 0; }
    void StartLine(std::string_view lineText, int) override
    {
        FText = std::string(lineText);
        FDone = FText.empty();
        if (!FText.empty() && FText.find_first_not_of("0123456789") == std::string::npos)
            FState = static_cast<TSrcRange>(std::stoul(FText));
    }
    void AdvanceToken() override { FDone = true; }

private:
    std::string FText;
    bool FDone = true;
    TSrcRange FState = 0;
};

// Lines of an IDE page, their tokens and the scheme each line ends in.
struct TPageCase {
    const char* Name;
    std::vector<std::string> Lines;
    Tokens Expected;
    std::vector<int> SchemeAtLineEnd;
};

void ExpectTokensAndSchemes(IdePage& page, const TPageCase& c)
{
    std::vector<TSrcRange> ranges;
    EXPECT_EQ(ScanAttributes(page.Multi, c.Lines, &ranges), c.Expected);
    std::vector<int> schemes;
    for (TSrcRange r : ranges)
        schemes.push_back(SchemeOf(r));
    EXPECT_EQ(schemes, c.SchemeAtLineEnd);
}

} // namespace

// ---- marker search and tokens

TEST(MultiHighlighter, PhpBlockOnOneLine)
{
    IdePage page;
    std::vector<TSrcRange> ranges;
    const Tokens tokens = ScanAttributes(page.Multi, {"<?php echo 1; ?>"}, &ranges);
    EXPECT_EQ(tokens, (Tokens{{"<?php", "Marker"},
                              {" ", "Space"},
                              {"echo", "Reserved Word"},
                              {" ", "Space"},
                              {"1", "Number"},
                              {";", "Symbol"},
                              {" ", "Space"},
                              {"?>", "Marker"}}));
    EXPECT_EQ(SchemeOf(ranges[0]), -1);
    EXPECT_EQ(page.Multi.CurrentScheme(), -1);
    EXPECT_EQ(page.Multi.Markers().size(), 2u);
}

TEST(MultiHighlighter, MarkerTokensAndSchemeInCharge)
{
    IdePage page;
    page.Multi.ClearRange();
    page.Multi.StartLine("a<?x?>b", 0);
    std::vector<int> schemes;
    std::vector<int> kinds;
    while (!page.Multi.AtLineEnd()) {
        schemes.push_back(page.Multi.CurrentScheme());
        kinds.push_back(page.Multi.TokenKindCode());
        page.Multi.AdvanceToken();
    }
    // "a" (HTML text), "<?" (marker), "x" (PHP identifier), "?>" (marker), "b" (HTML text)
    EXPECT_EQ(schemes, (std::vector<int>{-1, 1, 1, 1, -1})) << "the end marker still belongs to its scheme";
    EXPECT_EQ(kinds, (std::vector<int>{tkHtmlText, 0, tkPhpIdentifier, 0, tkHtmlText}));
    EXPECT_EQ(page.Multi.TokenStart(), 7);
}

TEST(MultiHighlighter, SchemeSelection)
{
    const std::vector<TPageCase> cases = {
        {"an open PHP marker at the line end carries the scheme to the next line",
         {"<p><?", "$a = 'x'; ?>"},
         {{"<", "Symbol"}, {"p", "Reserved Word"}, {">", "Symbol"}, {"<?", "Marker"}, {"$a", "Variable"},
          {" ", "Space"}, {"=", "Symbol"}, {" ", "Space"}, {"'x'", "String"}, {";", "Symbol"}, {" ", "Space"},
          {"?>", "Marker"}},
         {1, -1}},
        {"the XML scheme comes first in the collection",
         {"<?xml version=\"1.0\"?>"},
         {{"<?xml", "Marker"}, {" version=\"1.0\"", "Text"}, {"?>", "Marker"}},
         {-1}},
        {"the first scheme that matches anywhere wins over one further left",
         {"<style>x</style><script>y</script>"},
         {{"<", "Symbol"}, {"style", "Reserved Word"}, {">", "Symbol"}, {"x", "Text"}, {"<", "Symbol"},
          {"/style", "Reserved Word"}, {">", "Symbol"}, {"<script>", "Marker"}, {"y", "Identifier"},
          {"</script>", "Marker"}},
         {-1}},
        {"but a script element before a PHP block on the same line stays a script",
         {"<script>x</script><?php y ?>"},
         {{"<script>", "Marker"}, {"x", "Identifier"}, {"</script>", "Marker"}, {"<?php", "Marker"}, {" ", "Space"},
          {"y", "Identifier"}, {" ", "Space"}, {"?>", "Marker"}},
         {-1}},
        {"markers ignore letter case",
         {"<SCRIPT language=js>var a;", "</Script>"},
         {{"<SCRIPT language=js>", "Marker"}, {"var", "Reserved Word"}, {" ", "Space"}, {"a", "Identifier"},
          {";", "Symbol"}, {"</Script>", "Marker"}},
         {2, -1}},
        {"a style attribute hands its value to CSS and the tag goes on after it",
         {"<p style=\"color: red\" id=x>t"},
         {{"<", "Symbol"}, {"p", "Reserved Word"}, {" ", "Space"}, {"style=\"", "Marker"},
          {"color: red", "Reserved Word"}, {"\"", "Marker"}, {" ", "Space"}, {"id", "Identifier"}, {"=", "Symbol"},
          {"x", "Value"}, {">", "Symbol"}, {"t", "Text"}},
         {-1}},
        {"a question mark and bracket inside a PHP string still end the scheme",
         {"<?php echo \"?>\"; ?>"},
         {{"<?php", "Marker"}, {" ", "Space"}, {"echo", "Reserved Word"}, {" ", "Space"}, {"\"", "String"},
          {"?>", "Marker"}, {"\"; ?>", "Text"}},
         {-1}},
        {"a line comment ends at the PHP end marker too",
         {"<?php // x ?> y"},
         {{"<?php", "Marker"}, {" ", "Space"}, {"// x ", "Comment"}, {"?>", "Marker"}, {" y", "Text"}},
         {-1}},
        {"a style block runs over lines",
         {"<style type=\"text/css\">", "p { color: red }", "</style>x"},
         {{"<style type=\"text/css\">", "Marker"}, {"p ", "Reserved Word"}, {"{", "Symbol"}, {" ", "Space"},
          {"color", "Property"}, {":", "Symbol"}, {" ", "Space"}, {"red ", "Value"}, {"}", "Symbol"},
          {"</style>", "Marker"}, {"x", "Text"}},
         {3, 3, -1}},
    };
    for (const TPageCase& c : cases) {
        SCOPED_TRACE(c.Name);
        IdePage page;
        ExpectTokensAndSchemes(page, c);
    }
}

TEST(MultiHighlighter, SkipsSchemesThatCannotTakePart)
{
    IdePage page;
    page.Php.SetEnabled(false);
    EXPECT_EQ(ScanAttributes(page.Multi, {"<?php"}), (Tokens{{"<", "Symbol"}, {"?php", "Identifier"}}))
        << "a disabled highlighter's scheme is skipped";
    page.Php.SetEnabled(true);
    page.Multi.Schemes().SchemeAt(1)->SetEndExpr("");
    EXPECT_EQ(ScanAttributes(page.Multi, {"<?php"}), (Tokens{{"<", "Symbol"}, {"?php", "Identifier"}}))
        << "a scheme without an end expression is skipped";
    page.Multi.Schemes().SchemeAt(1)->SetEndExpr("\\?>");
    page.Multi.Schemes().SchemeAt(1)->SetHighlighter(&page.Multi);
    EXPECT_EQ(ScanAttributes(page.Multi, {"<?php"}), (Tokens{{"<", "Symbol"}, {"?php", "Identifier"}}))
        << "a scheme cannot hand its text back to the multi-language highlighter itself";
}

TEST(MultiHighlighter, WithoutDefaultHighlighterTheLineIsOneToken)
{
    TSrcPHPSyn php;
    TSrcMultiSyn multi;
    AddScheme(multi, "PHP", "<\\?", "\\?>", &php);
    multi.ClearRange();
    multi.StartLine("a <? b ?>", 0);
    ASSERT_FALSE(multi.AtLineEnd());
    EXPECT_EQ(multi.TokenText(), "a <? b ?>");
    EXPECT_EQ(multi.TokenAttri(), nullptr);
    EXPECT_EQ(multi.TokenKindCode(), 0);
    EXPECT_EQ(multi.TokenStart(), 0);
    multi.AdvanceToken();
    EXPECT_TRUE(multi.AtLineEnd());
}

TEST(MultiHighlighter, CheckMarkerEventsMayMoveMarkers)
{
    IdePage page;
    std::vector<int> lines;
    page.Multi.Schemes().SchemeAt(1)->OnCheckStartMarker = [&](TSrcMultiSyn* sender, int& startPos, int& markerLen,
                                                                std::string& text, int line) {
        EXPECT_EQ(sender, &page.Multi);
        lines.push_back(line);
        markerLen = 2; // only "<?" is the marker; "php" goes to PHP
        text = text.substr(0, 2);
        EXPECT_EQ(startPos, 1);
    };
    page.Multi.ClearRange();
    page.Multi.StartLine("<?php x", 7);
    page.Multi.SkipToLineEnd();
    EXPECT_EQ(lines, (std::vector<int>{7}));
    EXPECT_EQ(ScanAttributes(page.Multi, {"<?php x"}),
              (Tokens{{"<?", "Marker"}, {"php", "Identifier"}, {" ", "Space"}, {"x", "Identifier"}}));

    // an event that pushes a marker past the line end or over the previous one cannot break the line
    page.Multi.Schemes().SchemeAt(1)->OnCheckEndMarker = [](TSrcMultiSyn*, int& startPos, int& markerLen,
                                                             std::string&, int) {
        startPos = 1;
        markerLen = 100;
    };
    EXPECT_EQ(ScanAttributes(page.Multi, {"<?php x ?>y"}),
              (Tokens{{"<?", "Marker"}, {"php x ?>y", "Marker"}}));
}

// ---- the two faults mended

TEST(MultiHighlighter, ExpressionsThatMatchTheEmptyStringStillEndTheSearch)
{
    TSrcHTMLSyn html;
    TTestSyn test;
    TSrcMultiSyn multi;
    multi.SetDefaultHighlighter(&html);
    AddScheme(multi, "runs", "a*", "b*", &test);
    EXPECT_EQ(ScanAttributes(multi, {"xaayybbz", "nothing to see", ""}),
              (Tokens{{"x", "Text"}, {"aa", "Marker"}, {"yy", "Identifier"}, {"bb", "Marker"}, {"z", "Text"},
                      {"nothing to see", "Text"}}));
    // an expression that only ever matches the empty string opens nothing
    multi.Schemes().SchemeAt(0)->SetStartExpr("^");
    EXPECT_EQ(ScanAttributes(multi, {"abc"}), (Tokens{{"abc", "Text"}}));
    multi.Schemes().SchemeAt(0)->SetStartExpr("\\b");
    EXPECT_EQ(ScanAttributes(multi, {"ab cd"}), (Tokens{{"ab cd", "Text"}}));
}

TEST(MultiHighlighter, PhpBlocksOpenInsideScriptAndStyleElements)
{
    const std::vector<TPageCase> cases = {
        {"a PHP block inside a script element, and the script goes on after it",
         {"<script>var s = <?php echo $a; ?>;</script>x"},
         {{"<script>", "Marker"}, {"var", "Reserved Word"}, {" ", "Space"}, {"s", "Identifier"}, {" ", "Space"},
          {"=", "Symbol"}, {" ", "Space"}, {"<?php", "Marker"}, {" ", "Space"}, {"echo", "Reserved Word"},
          {" ", "Space"}, {"$a", "Variable"}, {";", "Symbol"}, {" ", "Space"}, {"?>", "Marker"}, {";", "Symbol"},
          {"</script>", "Marker"}, {"x", "Text"}},
         {-1}},
        {"the block's end marker and the script's follow one another",
         {"<script><?php f(); ?></script>"},
         {{"<script>", "Marker"}, {"<?php", "Marker"}, {" ", "Space"}, {"f", "Identifier"}, {"(", "Symbol"},
          {")", "Symbol"}, {";", "Symbol"}, {" ", "Space"}, {"?>", "Marker"}, {"</script>", "Marker"}},
         {-1}},
        {"a script end inside the PHP block belongs to PHP",
         {"<script><?php $t = '</script>'; ?>x</script>"},
         {{"<script>", "Marker"}, {"<?php", "Marker"}, {" ", "Space"}, {"$t", "Variable"}, {" ", "Space"},
          {"=", "Symbol"}, {" ", "Space"}, {"'</script>'", "String"}, {";", "Symbol"}, {" ", "Space"},
          {"?>", "Marker"}, {"x", "Identifier"}, {"</script>", "Marker"}},
         {-1}},
        {"a PHP block inside a style element and inside a style attribute",
         {"<style>p { color: <?= $c ?> }</style><p style=\"width: <?php echo $w ?>\">"},
         {{"<style>", "Marker"}, {"p ", "Reserved Word"}, {"{", "Symbol"}, {" ", "Space"}, {"color", "Property"},
          {":", "Symbol"}, {" ", "Space"}, {"<?", "Marker"}, {"=", "Symbol"}, {" ", "Space"}, {"$c", "Variable"},
          {" ", "Space"}, {"?>", "Marker"}, {" ", "Space"}, {"}", "Symbol"}, {"</style>", "Marker"},
          {"<", "Symbol"}, {"p", "Reserved Word"}, {" ", "Space"}, {"style=\"", "Marker"}, {"width: ", "Reserved Word"},
          {"<?php", "Marker"}, {" ", "Space"}, {"echo", "Reserved Word"},
          {" ", "Space"}, {"$w", "Variable"}, {" ", "Space"}, {"?>", "Marker"}, {"\"", "Marker"},
          {">", "Symbol"}},
         {-1}},
        {"a PHP block over lines inside a script: each line end keeps both schemes",
         {"<script>a(", "<?php /* x", "y */ ?> b);", "</script>"},
         {{"<script>", "Marker"}, {"a", "Identifier"}, {"(", "Symbol"}, {"<?php", "Marker"}, {" ", "Space"},
          {"/* x", "Comment"}, {"y */", "Comment"}, {" ", "Space"}, {"?>", "Marker"}, {" ", "Space"},
          {"b", "Identifier"}, {")", "Symbol"}, {";", "Symbol"}, {"</script>", "Marker"}},
         {2, 1, 2, -1}},
        // wp-login.php of Debian's wordpress package
        {"the login script of wordpress",
         {"\t\t?>", "\t\t<script type=\"text/javascript\">", "\t\t\t<?php echo $login_script; ?>", "\t\t</script>",
          "\t\t<?php"},
         {{"\t", "Space"}, {"\t", "Space"}, {"?>", "Text"}, {"\t", "Space"}, {"\t", "Space"},
          {"<script type=\"text/javascript\">", "Marker"}, {"\t\t\t", "Space"},
          {"<?php", "Marker"}, {" ", "Space"}, {"echo", "Reserved Word"}, {" ", "Space"},
          {"$login_script", "Variable"}, {";", "Symbol"}, {" ", "Space"}, {"?>", "Marker"}, {"\t\t", "Space"},
          {"</script>", "Marker"}, {"\t", "Space"}, {"\t", "Space"}, {"<?php", "Marker"}},
         {-1, 2, 2, -1, 1}},
    };
    for (const TPageCase& c : cases) {
        SCOPED_TRACE(c.Name);
        IdePage page;
        ExpectTokensAndSchemes(page, c);
        // the editor restarts at any line from its stored range
        std::string text;
        for (const std::string& line : c.Lines)
            text += line + "\n";
        ExpectRescanAgrees(page.Multi, text);
    }
    // without the setting PHP inside a script is script text, as before
    IdePage plain;
    plain.Multi.Schemes().SchemeAt(1)->SetOpensInsideSchemes(false);
    EXPECT_EQ(ScanAttributes(plain.Multi, {"<script>", "<?php ?>", "</script>"}),
              (Tokens{{"<script>", "Marker"}, {"<", "Symbol"}, {"?", "Symbol"}, {"php", "Identifier"}, {" ", "Space"},
                      {"?", "Symbol"}, {">", "Symbol"}, {"</script>", "Marker"}}));
}

TEST(MultiHighlighter, PackedRangeKeepsTheInterruptedScheme)
{
    // PHP interrupts CSS inside a comment, CSS stands inside a tag of the page; PHP's own comment
    // runs over the line end.
    IdePage page;
    const std::vector<std::string> lines = {"<a <style>p { /* <?php /* x", "*/ ?> y */ }</style> b>"};
    std::vector<TSrcRange> ranges;
    ScanAttributes(page.Multi, {lines[0]}, &ranges);
    const TSrcRange cssInComment = page.Css.CurrentRange();
    ASSERT_NE(cssInComment, 0u);
    page.Multi.ClearRange();
    page.Css.ClearRange();
    page.Php.ClearRange();
    page.Multi.RestoreRange(ranges[0]);
    EXPECT_EQ(page.Multi.CurrentScheme(), 1);
    EXPECT_EQ(page.Multi.OuterScheme(), 3);
    EXPECT_EQ(page.Php.CurrentRange(), static_cast<TSrcRange>(rsPhpComment));
    EXPECT_EQ(page.Css.CurrentRange(), cssInComment);
    EXPECT_EQ(page.Html.CurrentRange(), static_cast<TSrcRange>(rsHtmlParam));
    EXPECT_EQ(page.Multi.CurrentRange(), ranges[0]);
    const Tokens second = ScanAttributes(page.Multi, lines);
    const Tokens expectedEnd = {{"*/", "Comment"},   {" ", "Space"},   {"?>", "Marker"},  {" y */", "Comment"},
                                {" ", "Space"},      {"}", "Symbol"},  {"</style>", "Marker"}, {" ", "Space"},
                                {"b", "Identifier"}, {">", "Symbol"}};
    ASSERT_GE(second.size(), expectedEnd.size());
    EXPECT_EQ(Tokens(second.end() - static_cast<std::ptrdiff_t>(expectedEnd.size()), second.end()), expectedEnd);
    EXPECT_EQ(page.Multi.OuterScheme(), -1);
}

TEST(MultiHighlighter, XmlStatesAboveFifteenSurviveTheLineEnd)
{
    IdePage page;
    const std::vector<std::string> lines = {"<?xml <!DOCTYPE r [", "<!ENTITY e \"x\">", "]> ?>after"};
    std::vector<TSrcRange> ranges;
    ScanAttributes(page.Multi, lines, &ranges);
    ASSERT_EQ(ranges.size(), 3u);
    EXPECT_EQ(SchemeOf(ranges[0]), 0);
    // restore each stored range alone, as the editor does after an edit
    page.Multi.RestoreRange(ranges[0]);
    EXPECT_EQ(page.Multi.CurrentScheme(), 0);
    EXPECT_EQ(page.Xml.CurrentRange(), static_cast<TSrcRange>(rsDocTypeSquareBraces));
    EXPECT_EQ(page.Html.CurrentRange(), static_cast<TSrcRange>(rsHtmlText));
    page.Multi.StartLine(lines[2], 2);
    EXPECT_EQ(page.Multi.TokenText(), "]") << "the DOCTYPE subset goes on";
    page.Multi.SkipToLineEnd();
    EXPECT_EQ(page.Multi.CurrentRange(), ranges[2]);
    ExpectRescanAgrees(page.Multi, "<?xml <!DOCTYPE r [\n<!ENTITY e \"x\">\n]> ?>after\n<?xml <!DOCTYPE s\n>?>");

    ScanAttributes(page.Multi, {"<?xml <!DOCTYPE s"}, &ranges);
    page.Multi.ClearRange();
    page.Multi.RestoreRange(ranges[0]);
    EXPECT_EQ(page.Xml.CurrentRange(), static_cast<TSrcRange>(rsDocType));
}

TEST(MultiHighlighter, AnEmptyFirstTokenOfALineMovesOn)
{
    // A highlighter whose first token is empty (as the XML highlighter's text token before an
    // entity can be): the next AdvanceToken must go on, not hand the line over again.
    class TEmptyFirstSyn : public TStateSyn {
    public:
        using TStateSyn::TStateSyn;
        bool AtLineEnd() const override { return FPhase == 2; }
        std::string TokenText() const override { return FPhase == 1 ? FText : std::string(); }
        int TokenStart() const override { return FPhase == 2 ? static_cast<int>(FText.size()) : 0; }
        void StartLine(std::string_view lineText, int) override
        {
            FText = std::string(lineText);
            FPhase = 0;
        }
        void AdvanceToken() override { FPhase = FText.empty() ? 2 : FPhase + 1; }

    private:
        std::string FText;
        int FPhase = 2;
    };
    TSrcHTMLSyn html;
    TEmptyFirstSyn empty;
    TSrcMultiSyn multi;
    multi.SetDefaultHighlighter(&html);
    AddScheme(multi, "empty", "\\[", "\\]", &empty);
    EXPECT_EQ(ScanAttributes(multi, {"[", "abc ] d"}),
              (Tokens{{"[", "Marker"}, {"", "-"}, {"", "-"}, {"abc ", "-"}, {"]", "Marker"}, {" d", "Text"}}));
}

TEST(MultiHighlighter, PackedRangeKeepsEveryFieldApart)
{
    // The default highlighter stands inside a tag (range 3) when the scheme opens; the scheme's
    // highlighter ends the line in states up to the widest the field holds.
    TSrcHTMLSyn html;
    TStateSyn state;
    TTestSyn other;
    TSrcMultiSyn multi;
    multi.SetDefaultHighlighter(&html);
    AddScheme(multi, "other", "\\{", "\\}", &other);
    AddScheme(multi, "state", "\\[", "\\]", &state);
    for (TSrcRange value : {0u, 1u, 15u, 16u, 17u, 18u, 0x505u, 0xFFFu}) {
        SCOPED_TRACE(value);
        const std::vector<std::string> lines = {"<a [" + std::to_string(value), "] x>"};
        std::vector<TSrcRange> ranges;
        const Tokens tokens = ScanAttributes(multi, lines, &ranges);
        EXPECT_EQ(tokens.back(), (std::pair<std::string, std::string>{">", "Symbol"}));
        EXPECT_EQ(tokens[tokens.size() - 2], (std::pair<std::string, std::string>{"x", "Identifier"}))
            << "the tag goes on after the scheme";
        multi.ClearRange();
        state.RestoreRange(0);
        multi.RestoreRange(ranges[0]);
        EXPECT_EQ(multi.CurrentScheme(), 1);
        EXPECT_EQ(state.CurrentRange(), value);
        EXPECT_EQ(html.CurrentRange(), static_cast<TSrcRange>(rsHtmlParam));
        EXPECT_EQ(multi.CurrentRange(), ranges[0]);
    }
    // a range wider than the field is cut to it without touching the other fields
    multi.ClearRange();
    EXPECT_EQ(ScanAttributes(multi, {"<a [70000"}).size(), 5u);
    const TSrcRange wide = multi.CurrentRange();
    multi.RestoreRange(wide);
    EXPECT_EQ(multi.CurrentScheme(), 1);
    EXPECT_EQ(html.CurrentRange(), static_cast<TSrcRange>(rsHtmlParam));
    EXPECT_EQ(state.CurrentRange(), 70000u & 0xFFFu);
}

TEST(MultiHighlighter, ManySchemesFitThePackedRange)
{
    TSrcHTMLSyn html;
    TStateSyn state;
    TSrcMultiSyn multi;
    multi.SetDefaultHighlighter(&html);
    for (int i = 0; i < 16; ++i)
        AddScheme(multi, "s" + std::to_string(i), "<" + std::to_string(i) + ">", "</" + std::to_string(i) + ">",
                  &state);
    std::vector<TSrcRange> ranges;
    ScanAttributes(multi, {"<14>9", "</14>"}, &ranges);
    multi.RestoreRange(ranges[0]);
    EXPECT_EQ(multi.CurrentScheme(), 14);
    EXPECT_EQ(state.CurrentRange(), 9u);
    // scheme 15 has no room: the next line starts in the default highlighter, in the state it
    // had before the scheme began
    ScanAttributes(multi, {"<a <15>9"}, &ranges);
    multi.RestoreRange(ranges[0]);
    EXPECT_EQ(multi.CurrentScheme(), -1);
    EXPECT_EQ(html.CurrentRange(), static_cast<TSrcRange>(rsHtmlParam));
}

// ---- other range encodings

TEST(MultiHighlighter, NestedEncodingForANestedMultiHighlighter)
{
    TSrcHTMLSyn html;
    TSrcPHPSyn php;
    TSrcMultiSyn inner;
    inner.SetDefaultHighlighter(&php);
    TSrcMultiSyn outer;
    outer.SetDefaultHighlighter(&html);
    ChangeListener listener;
    outer.AddAttriChangeHook(listener.Method());
    AddScheme(outer, "inner", "\\[", "\\]", &inner);
    EXPECT_EQ(listener.Senders.back(), &outer) << "the change of encoding is reported";
    std::vector<TSrcRange> ranges;
    EXPECT_EQ(ScanAttributes(outer, {"x [ /* a", "b */ ] y"}, &ranges),
              (Tokens{{"x ", "Text"}, {"[", "Marker"}, {" ", "Space"}, {"/* a", "Comment"}, {"b */", "Comment"},
                      {" ", "Space"}, {"]", "Marker"}, {" y", "Text"}}));
    EXPECT_EQ(ranges[0], 2u + 16u * (rsPhpComment << 16)) << "scheme 0, the inner (packed) range above it";
    outer.RestoreRange(ranges[0]);
    EXPECT_EQ(outer.CurrentScheme(), 0);
    EXPECT_EQ(php.CurrentRange(), static_cast<TSrcRange>(rsPhpComment));
    outer.Schemes().SchemeAt(0)->SetHighlighter(&php);
    outer.ClearRange();
    ScanAttributes(outer, {"[ /* a"}, &ranges);
    EXPECT_EQ(SchemeOf(ranges[0]), 0) << "without a nested highlighter the packed encoding is back";
    EXPECT_EQ(ranges[0] >> 4 & 0xFFF, static_cast<TSrcRange>(rsPhpComment));
}

TEST(MultiHighlighter, CustomEncodingDoesTheWholeWork)
{
    IdePage page;
    std::vector<TRangeOperation> operations;
    TSrcRange stored = 0;
    page.Multi.SetOnCustomRange([&](TSrcMultiSyn* sender, TRangeOperation operation, TSrcRange& range) {
        operations.push_back(operation);
        if (operation == roGet)
            range = 1000 + static_cast<TSrcRange>(sender->CurrentScheme() + 1);
        else
            stored = range;
    });
    page.Multi.StartLine("<?php", 0);
    page.Multi.SkipToLineEnd();
    EXPECT_EQ(page.Multi.CurrentRange(), 1002u);
    page.Multi.RestoreRange(77);
    EXPECT_EQ(stored, 77u);
    EXPECT_EQ(operations, (std::vector<TRangeOperation>{roGet, roSet}));
    page.Multi.SetOnCustomRange(nullptr);
    EXPECT_EQ(SchemeOf(page.Multi.CurrentRange()), 1) << "the packed encoding is back";
}

// ---- attributes, hooks and setters

TEST(MultiHighlighter, AttributeList)
{
    IdePage page;
    TSrcMultiSyn& multi = page.Multi;
    const int expected = 5 + page.Html.AttriCount() + page.Xml.AttriCount() + page.Php.AttriCount() +
                         page.JScript.AttriCount() + 2 * page.Css.AttriCount();
    EXPECT_EQ(multi.AttriCount(), expected);
    EXPECT_EQ(multi.AttriByIndex(0), multi.Schemes().SchemeAt(0)->MarkerAttri());
    EXPECT_EQ(multi.AttriByIndex(5), page.Html.AttriByIndex(0));
    EXPECT_EQ(multi.AttriByIndex(5 + page.Html.AttriCount()), page.Xml.AttriByIndex(0));
    EXPECT_EQ(multi.AttriByIndex(expected - 1), page.Css.AttriByIndex(page.Css.AttriCount() - 1));
    EXPECT_EQ(multi.AttriByIndex(expected), nullptr);
    EXPECT_THROW(multi.AttriByIndex(-1), EListError);

    TScheme* php = multi.Schemes().SchemeAt(1);
    EXPECT_EQ(php->MarkerAttri()->Name(), "Marker");
    EXPECT_EQ(php->MarkerAttri()->Background(), static_cast<TColor>(8421631));
    EXPECT_TRUE(php->MarkerAttri()->Style().Contains(fsBold));
    EXPECT_TRUE(multi.Schemes().SchemeAt(4)->MarkerAttri()->Style().Empty());
    EXPECT_EQ(multi.GetLanguageTitle(), "General Multi-Highlighter");
    EXPECT_LT(HighlighterList().IndexOf(TSrcMultiSyn::StaticClass()), 0) << "the class is not registered";

    // role and word characters follow the highlighter in charge
    multi.ClearRange();
    EXPECT_EQ(multi.RoleAttri(arKeyword), page.Html.KeyAttri());
    multi.StartLine("<?php", 0);
    multi.SkipToLineEnd();
    EXPECT_EQ(multi.RoleAttri(arKeyword), page.Php.KeyAttri());
    EXPECT_EQ(multi.IdentifierChars(), page.Php.IdentifierChars());
}

TEST(MultiHighlighter, HooksFollowTheHighlighters)
{
    ChangeListener listener;
    auto html = std::make_unique<TSrcHTMLSyn>();
    auto css = std::make_unique<TSrcCssSyn>();
    TSrcMultiSyn multi;
    multi.SetDefaultHighlighter(html.get());
    TScheme* block = AddScheme(multi, "block", "<style>", "</style>", css.get());
    TScheme* attribute = AddScheme(multi, "attribute", "style=\"", "\"", css.get());
    multi.AddAttriChangeHook(listener.Method());

    html->KeyAttri()->SetForeground(clRed);
    ASSERT_EQ(listener.Senders.size(), 1u);
    EXPECT_EQ(listener.Senders[0], html->KeyAttri()) << "a change in the default highlighter reaches the listeners";

    listener.Senders.clear();
    block->SetHighlighter(nullptr);
    css->CommentAttri()->SetForeground(clRed);
    EXPECT_EQ(listener.Senders.size(), 2u) << "one for the scheme change, one from the scheme still using it";

    css.reset();
    EXPECT_EQ(attribute->Highlighter(), nullptr) << "the destroyed highlighter is forgotten";
    html.reset();
    EXPECT_EQ(multi.DefaultHighlighter(), nullptr);
    multi.ClearRange();
    EXPECT_EQ(ScanAttributes(multi, {"<style>x"}), (Tokens{{"<style>x", "-"}}));
}

TEST(MultiHighlighter, ItemChangesReachTheOwner)
{
    ChangeListener listener;
    IdePage page;
    page.Multi.AddAttriChangeHook(listener.Method());
    TScheme* php = page.Multi.Schemes().SchemeAt(1);

    php->MarkerAttri()->SetForeground(clRed);
    EXPECT_EQ(listener.Senders, (std::vector<TObject*>{php})) << "a marker colour changes that item only";

    listener.Senders.clear();
    php->SetStartExpr("<\\?(PHP){0,1}");
    EXPECT_TRUE(listener.Senders.empty()) << "a change of letter case only is no change without case sensitivity";
    php->SetCaseSensitive(true);
    php->SetStartExpr("<\\?(php){0,1}");
    EXPECT_EQ(listener.Senders, (std::vector<TObject*>{&page.Multi, &page.Multi}));

    listener.Senders.clear();
    TSrcHighlighterAttributes copy("Other");
    copy.SetBackground(clLime);
    php->SetMarkerAttri(copy);
    EXPECT_EQ(php->MarkerAttri()->Background(), clLime);
    EXPECT_EQ(listener.Senders, (std::vector<TObject*>{php}));

    listener.Senders.clear();
    page.Multi.Schemes().Delete(4);
    EXPECT_EQ(page.Multi.Schemes().Count(), 4);
    EXPECT_EQ(listener.Senders, (std::vector<TObject*>{&page.Multi}));
    EXPECT_EQ(page.Multi.Schemes().SchemeAt(3)->DisplayName(), "CSS within <style>...</style> ");
    EXPECT_EQ(page.Multi.Schemes().Add()->DisplayName(), "TScheme");
    EXPECT_THROW(page.Multi.Schemes().SchemeAt(5), EListError);
}

TEST(MultiHighlighter, RefusedSettings)
{
    IdePage page;
    TScheme* php = page.Multi.Schemes().SchemeAt(1);
    try {
        php->SetStartExpr("<\\?(php");
        FAIL() << "an expression that does not compile is refused";
    } catch (const ERegExpr& e) {
        const std::string message = e.Message();
        EXPECT_EQ(message.rfind("\"<\\?(php\" is not a valid Regular Expression.\rError (pos ", 0), 0u) << message;
        EXPECT_NE(message.find("): "), std::string::npos) << message;
        EXPECT_EQ(message.find("TRegExpr(comp)"), std::string::npos) << "the engine's prefix is cut off";
        EXPECT_LT(e.ErrorNumber(), 1000);
    }
    EXPECT_EQ(php->StartExpr(), "<\\?(php){0,1}") << "the old expression stays";
    EXPECT_EQ(ScanAttributes(page.Multi, {"<?php ?>"}).front().second, "Marker");

    try {
        page.Multi.SetDefaultHighlighter(&page.Multi);
        FAIL() << "the highlighter cannot be its own default";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "A SrcMultiSyn cannot be its own DefaultHighlighter.");
    }
    EXPECT_EQ(page.Multi.DefaultHighlighter(), &page.Html);
}

TEST(MultiHighlighter, SettingsRoundTrip)
{
    TSrcMemoryRegistry registry;
    {
        IdePage page;
        page.Multi.Schemes().SchemeAt(1)->MarkerAttri()->SetForeground(clRed);
        page.Html.KeyAttri()->SetForeground(clGreen);
        EXPECT_TRUE(page.Multi.WriteToRegistry(registry, "Software\\Zentu\\Multi"));
    }
    IdePage page;
    EXPECT_TRUE(page.Multi.ReadFromRegistry(registry, "Software\\Zentu\\Multi"));
    EXPECT_EQ(page.Multi.Schemes().SchemeAt(1)->MarkerAttri()->Foreground(), clRed);
    EXPECT_EQ(page.Html.KeyAttri()->Foreground(), clGreen);
    page.Multi.Schemes().Add();
    EXPECT_FALSE(page.Multi.WriteToRegistry(registry, "Software\\Zentu\\Multi")) << "a scheme without a name fails";
    TSrcMultiSyn bare;
    EXPECT_FALSE(bare.ReadFromRegistry(registry, "Software\\Zentu\\Multi"));
}

// ---- whole pages

TEST(MultiHighlighter, GoldenMixedPage)
{
    IdePage page;
    ExpectGolden(page.Multi, "multi", "page.php");
}

TEST(MultiHighlighter, GoldenPhpAndHtmlOnly)
{
    TSrcHTMLSyn html;
    TSrcPHPSyn php;
    TSrcMultiSyn multi;
    multi.SetDefaultHighlighter(&html);
    AddScheme(multi, "PHP Marker", "<\\?(php){0,1}", "\\?>", &php);
    ExpectGolden(multi, "multi", "php-html.php");
}

TEST(MultiHighlighter, MarkersAreFoundAmongMultiByteCharacters)
{
    // A scheme whose markers hold one character of any width.
    IdePage page;
    AddScheme(page.Multi, "Braces", "\\{.\\}", "\\[.\\]", &page.Css);
    const std::string e = "\xC3\xA9";
    const std::string euro = "\xE2\x82\xAC";
    const std::string face = "\xF0\x9F\x98\x80";
    struct Case {
        std::string Line;
        std::vector<std::string> Markers;
    };
    const std::vector<Case> cases = {
        {e + "{" + e + "}a[" + euro + "]" + e, {"{" + e + "}", "[" + euro + "]"}},
        {"{" + face + "}[x]", {"{" + face + "}", "[x]"}},
        {"{" + e + e + "}", {}},
        {euro + "<?php echo '" + e + "'; ?>" + e, {"<?php", "?>"}},
        {"<p style=\"" + e + "\">", {"style=\"", "\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Line);
        page.Multi.ClearRange();
        page.Multi.StartLine(c.Line, 0);
        std::vector<std::string> found;
        for (const TMarker& marker : page.Multi.Markers()) {
            found.push_back(marker.MarkerText);
            EXPECT_EQ(c.Line.substr(static_cast<size_t>(marker.StartPos - 1), marker.MarkerText.size()), marker.MarkerText);
        }
        EXPECT_EQ(found, c.Markers);
    }
}
