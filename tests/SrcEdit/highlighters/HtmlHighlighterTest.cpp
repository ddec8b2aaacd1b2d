// The HTML highlighter: tag names by hash against the known tags, attribute names and values,
// entities, comments and quoted values that run over line ends, and the golden sample.

#include "SrcEdit/highlighters/HighlighterScan.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterHtml.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

constexpr int Amp = tkHtmlAmpersand, Com = tkHtmlComment, Id = tkHtmlIdentifier, Key = tkHtmlKey,
              Sp = tkHtmlSpace, Sym = tkHtmlSymbol, Txt = tkHtmlText, Undef = tkHtmlUndefKey, Val = tkHtmlValue;
constexpr TLinesCaseRunner<TSrcHTMLSyn> RunCases{.NoEmptyTokens = true};

} // namespace

TEST(HtmlHighlighter, TagNames)
{
    RunCases({
        {"known tags in either case, and end tags",
         {"<P><p></p><H1></h6><!DOCTYPE html>"},
         {{"<", Sym}, {"P", Key}, {">", Sym}, {"<", Sym}, {"p", Key}, {">", Sym}, {"<", Sym}, {"/p", Key}, {">", Sym},
          {"<", Sym}, {"H1", Key}, {">", Sym}, {"<", Sym}, {"/h6", Key}, {">", Sym}, {"<", Sym}, {"!DOCTYPE", Key},
          {" ", Sp}, {"html", Id}, {">", Sym}},
         {rsHtmlText}},
        {"the slash of an empty-element tag belongs to the name",
         {"<br/><br />"},
         {{"<", Sym}, {"br/", Undef}, {">", Sym}, {"<", Sym}, {"br", Key}, {" ", Sp}, {"/", Id}, {">", Sym}},
         {}},
        {"unknown names, end forms of tags that have none, and names hashed past 250",
         {"<invalid></br><zzzzzzzzzz>"},
         {{"<", Sym}, {"invalid", Undef}, {">", Sym}, {"<", Sym}, {"/br", Undef}, {">", Sym}, {"<", Sym},
          {"zzzzzzzzzz", Id}, {">", Sym}},
         {}},
        {"a tag name ends before other bytes, which become an attribute name",
         {"<my-tag x>"},
         {{"<", Sym}, {"my", Undef}, {"-tag", Id}, {" ", Sp}, {"x", Id}, {">", Sym}},
         {}},
        {"a tag without a name gets no empty token",
         {"<-x><\xC3\xA9>"},
         {{"<", Sym}, {"-x", Id}, {">", Sym}, {"<", Sym}, {"\xC3\xA9", Id}, {">", Sym}},
         {}},
        {"an ampersand right after < is text",
         {"<&a"},
         {{"<", Sym}, {"&", Txt}, {"a", Txt}},
         {rsHtmlText}},
        {"a tag open at the line end carries its state",
         {"<a", "href=x>"},
         {{"<", Sym}, {"a", Key}, {"href", Id}, {"=", Sym}, {"x", Val}, {">", Sym}},
         {rsHtmlParam, rsHtmlText}},
    });
}

TEST(HtmlHighlighter, AttributesAndValues)
{
    RunCases({
        {"an unquoted value runs to the closing bracket",
         {"<a href=x b=c=d>"},
         {{"<", Sym}, {"a", Key}, {" ", Sp}, {"href", Id}, {"=", Sym}, {"x", Val}, {" ", Sp}, {"b", Id}, {"=", Sym},
          {"c=d", Val}, {">", Sym}},
         {rsHtmlText}},
        {"quoted values keep blanks and the other quote",
         {"<a b='x \"y' c=\"it's\">"},
         {{"<", Sym}, {"a", Key}, {" ", Sp}, {"b", Id}, {"=", Sym}, {"'x \"y'", Val}, {" ", Sp}, {"c", Id}, {"=", Sym},
          {"\"it's\"", Val}, {">", Sym}},
         {}},
        {"a double-quoted value runs over lines",
         {"<a title=\"one", "two\" x>"},
         {{"<", Sym}, {"a", Key}, {" ", Sp}, {"title", Id}, {"=", Sym}, {"\"one", Val}, {"two\"", Val}, {" ", Sp},
          {"x", Id}, {">", Sym}},
         {rsHtmlDoubleQuoteValue, rsHtmlText}},
        {"a single-quoted value keeps range 7 over an empty line",
         {"<a b='x", "", "y'>"},
         {{"<", Sym}, {"a", Key}, {" ", Sp}, {"b", Id}, {"=", Sym}, {"'x", Val}, {"y'", Val}, {">", Sym}},
         {rsHtmlQuoteValue, rsHtmlQuoteValue, rsHtmlText}},
        {"a quote outside a value is read as an attribute name",
         {"<a \"x\">"},
         {{"<", Sym}, {"a", Key}, {" ", Sp}, {"\"x", Id}, {"\"", Id}, {">", Sym}},
         {}},
        {"a TAB starts a space token of its own",
         {"<a \t b>"},
         {{"<", Sym}, {"a", Key}, {" ", Sp}, {"\t ", Sp}, {"b", Id}, {">", Sym}},
         {}},
    });
}

TEST(HtmlHighlighter, TextEntitiesAndComments)
{
    RunCases({
        {"a named entity between text",
         {"a &copy; b"},
         {{"a ", Txt}, {"&copy;", Amp}, {" b", Txt}},
         {rsHtmlText}},
        {"entities keep their letter case and need their semicolon",
         {"&COPY; &amp &unknown; x"},
         {{"&COPY; &amp &unknown; x", Txt}},
         {}},
        {"numeric entities, decimal and hexadecimal",
         {"&#169;&#xA9;&#Xa9;"},
         {{"&#169;", Amp}, {"&#xA9;", Amp}, {"&#Xa9;", Amp}},
         {rsHtmlText}},
        {"a numeric entity without its semicolon ends the text after its digits",
         {"x&#169 y &#; z"},
         {{"x&#169", Txt}, {" y &#", Txt}, {"; z", Txt}},
         {}},
        {"a closing bracket in text is text",
         {"a > b"},
         {{"a > b", Txt}},
         {}},
        {"a comment runs over lines and closes at the first -->",
         {"<!-- a", "b --> c"},
         {{"<!--", Com}, {" a", Com}, {"b -->", Com}, {" c", Txt}},
         {rsHtmlComment, rsHtmlText}},
        {"the dashes of the opener may close the comment",
         {"<!-->x"},
         {{"<!--", Com}, {">", Com}, {"x", Txt}},
         {rsHtmlText}},
        {"text in UTF-8 stays one token",
         {"caf\xC3\xA9 \xE2\x82\xAC"},
         {{"caf\xC3\xA9 \xE2\x82\xAC", Txt}},
         {}},
        {"script content is plain text here",
         {"<script>if (a < b) x();</script>"},
         {{"<", Sym}, {"script", Key}, {">", Sym}, {"if (a ", Txt}, {"<", Sym}, {" ", Sp}, {"b", Key}, {")", Id},
          {" ", Sp}, {"x();</script", Id}, {">", Sym}},
         {rsHtmlText}},
    });
}

TEST(HtmlHighlighter, EveryKnownTagAndEntity)
{
    TSrcHTMLSyn h;
    for (const char* tag : SrcHtmlTables::TagNames()) {
        SCOPED_TRACE(tag);
        std::string lower = tag;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const std::string& name : {std::string(tag), lower}) {
            const std::string line = "<" + name + ">";
            h.ClearRange();
            h.StartLine(line, 0);
            h.AdvanceToken();
            EXPECT_EQ(h.TokenText(), name);
            EXPECT_EQ(h.TokenKindCode(), tkHtmlKey) << name;
        }
    }
    for (const char* entity : SrcHtmlTables::Entities()) {
        SCOPED_TRACE(entity);
        const std::string line = std::string("x") + entity;
        h.ClearRange();
        h.StartLine(line, 0);
        h.AdvanceToken();
        EXPECT_EQ(h.TokenText(), entity);
        EXPECT_EQ(h.TokenKindCode(), tkHtmlAmpersand);
    }
}

TEST(HtmlHighlighter, AttributesAndIdentity)
{
    TSrcHTMLSyn h;
    std::vector<std::string> names;
    for (int i = 0; i < h.AttriCount(); ++i)
        names.push_back(h.AttriByIndex(i)->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Comment", "Escape Ampersand", "Identifier", "Reserved Word", "Space",
                                               "Symbol", "Text", "Unknown Word", "Value"}));
    EXPECT_EQ(h.KeyAttri()->Foreground(), static_cast<TColor>(0x00FF0080));
    EXPECT_EQ(h.UndefKeyAttri()->Foreground(), static_cast<TColor>(255));
    EXPECT_EQ(h.AndAttri()->Foreground(), static_cast<TColor>(65280));
    EXPECT_EQ(h.RoleAttri(arString), nullptr);
    EXPECT_EQ(h.RoleAttri(arKeyword), h.KeyAttri());
    EXPECT_EQ(h.GetLanguageTitle(), "HTML");
    EXPECT_FALSE(h.IsFilterStored());
    EXPECT_GE(HighlighterList().IndexOf(TSrcHTMLSyn::StaticClass()), 0);
    EXPECT_EQ(h.CurrentRange(), static_cast<TSrcRange>(rsHtmlText));
    h.RestoreRange(0x300 | rsHtmlComment);
    EXPECT_EQ(h.CurrentRange(), static_cast<TSrcRange>(rsHtmlComment));
    h.ClearRange();
    EXPECT_EQ(h.CurrentRange(), static_cast<TSrcRange>(rsHtmlText));
}

TEST(HtmlHighlighter, GoldenSample)
{
    TSrcHTMLSyn h;
    ExpectGolden(h, "html", "page.html");
}

TEST(HtmlHighlighter, SampleTextKeepsTheInvariants)
{
    TSrcHTMLSyn h;
    ExpectCrLfAgrees(h, h.SampleText());
    ExpectRescanAgrees(h, h.SampleText());
    std::vector<TSrcRange> ranges;
    ScanTokens(h, SplitLines(h.SampleText()), &ranges);
    ASSERT_EQ(ranges.size(), 11u);
    EXPECT_EQ(ranges[5], static_cast<TSrcRange>(rsHtmlQuoteValue)) << "the value 'any ... value' runs over two lines";
}
