// The XML highlighter: tags, attributes and namespace attributes, quoted values over lines,
// entity references, comments, processing instructions, CDATA sections and DOCTYPE declarations
// through the range states, attributes and class data, and the golden samples.

#include "SrcEdit/highlighters/HighlighterScan.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterXml.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

using K = TXmlTokenKind;
// why: XML scans give empty tokens (an empty value between its quotes, an attribute name
// before "/>"), so a line may hold more tokens than bytes
constexpr TLineCaseRunner<TSrcXMLSyn, K> RunCases{.TokensPerByte = 3};

const K AV = K::tkAposAttrValue, AE = K::tkAposEntityRef, A = K::tkAttribute, CD = K::tkCDATA, C = K::tkComment,
        El = K::tkElement, E = K::tkEntityRef, Eq = K::tkEqual, PI = K::tkProcessingInstruction,
        QV = K::tkQuoteAttrValue, QE = K::tkQuoteEntityRef, S = K::tkSpace, Y = K::tkSymbol, T = K::tkText,
        NAV = K::tknsAposAttrValue, NA = K::tknsAttribute, NEq = K::tknsEqual, NQV = K::tknsQuoteAttrValue,
        NQE = K::tknsQuoteEntityRef, DT = K::tkDocType;

} // namespace

TEST(XmlHighlighter, TagsAttributesAndValues)
{
    RunCases({
        {"<a href='x'>t</a>", rsText,
         {{"<", Y}, {"a", El}, {" ", S}, {"href", A}, {"='", Eq}, {"x", AV}, {"'", Y}, {">", Y}, {"t", T},
          {"</", Y}, {"a", El}, {">", Y}},
         rsText},
        {"<a xmlns:b='u'>", rsText,
         {{"<", Y}, {"a", El}, {" ", S}, {"xmlns:b", NA}, {"='", NEq}, {"u", NAV}, {"'", Y}, {">", Y}}, rsText},
        {"<a b:xmlns=\"u&amp;v\">", rsText,
         {{"<", Y}, {"a", El}, {" ", S}, {"b:xmlns", NA}, {"=\"", NEq}, {"u", NQV}, {"&amp;", NQE}, {"v", NQV},
          {"\"", Y}, {">", Y}},
         rsText},
        // "xmlns" counts only in its own letter case
        {"<a XMLNS=\"u\">", rsText,
         {{"<", Y}, {"a", El}, {" ", S}, {"XMLNS", A}, {"=\"", Eq}, {"u", QV}, {"\"", Y}, {">", Y}}, rsText},
        {"<br/>", rsText, {{"<", Y}, {"br", El}, {"", A}, {"/", Y}, {">", Y}}, rsText},
        {"<a b = \"v w\" >", rsText,
         {{"<", Y}, {"a", El}, {" ", S}, {"b", A}, {" ", S}, {"= \"", Eq}, {"v w", QV}, {"\"", Y}, {" ", S}, {">", Y}},
         rsText},
        {"<a v=\"\">", rsText, {{"<", Y}, {"a", El}, {" ", S}, {"v", A}, {"=\"", Eq}, {"", QV}, {"\"", Y}, {">", Y}},
         rsText},
        {"<a v='&lt;'>", rsText,
         {{"<", Y}, {"a", El}, {" ", S}, {"v", A}, {"='", Eq}, {"", AV}, {"&lt;", AE}, {"", AV}, {"'", Y}, {">", Y}},
         rsText},
        // a value that runs past the end of the line goes on in the next one
        {"<a v=\"one", rsText, {{"<", Y}, {"a", El}, {" ", S}, {"v", A}, {"=\"", Eq}, {"one", QV}}, rsQuoteAttrValue},
        {"two\">", rsQuoteAttrValue, {{"two", QV}, {"\"", Y}, {">", Y}}, rsText},
        {"<a v=", rsText, {{"<", Y}, {"a", El}, {" ", S}, {"v", A}, {"=", Eq}}, rsEqual},
        {"'x'/>", rsEqual, {{"'", Eq}, {"x", AV}, {"'", Y}, {"", A}, {"/", Y}, {">", Y}}, rsText},
        {"<caf\xC3\xA9 \xC3\xA9t\xC3\xA9=\"1\">", rsText,
         {{"<", Y}, {"caf\xC3\xA9", El}, {" ", S}, {"\xC3\xA9t\xC3\xA9", A}, {"=\"", Eq}, {"1", QV}, {"\"", Y},
          {">", Y}},
         rsText},
    });
}

TEST(XmlHighlighter, TextAndEntityReferences)
{
    RunCases({
        {"a &amp; b", rsText, {{"a ", T}, {"&amp;", E}, {" b", T}}, rsText},
        {"&lt;x", rsText, {{"", T}, {"&lt;", E}, {"x", T}}, rsText},
        {"&broken text", rsText, {{"", T}, {"&broken", E}, {" text", T}}, rsText},
        {"a > b", rsText, {{"a > b", T}}, rsText},
        {"\tcaf\xC3\xA9", rsText, {{"\t", S}, {"caf\xC3\xA9", T}}, rsText},
        {"", rsText, {}, rsText},
        {"", rsQuoteAttrValue, {}, rsQuoteAttrValue},
    });
}

TEST(XmlHighlighter, CommentsProcessingInstructionsAndCData)
{
    RunCases({
        {"<!-- x", rsText, {{"<!--", Y}, {" x", C}}, rsComment},
        {"y -->", rsComment, {{"y ", C}, {"-->", Y}}, rsText},
        {"<!-- a -->b", rsText, {{"<!--", Y}, {" a ", C}, {"-->", Y}, {"b", T}}, rsText},
        {"<![CDATA[ a ]]>", rsText, {{"<![CDATA[", CD}, {" a ]]>", CD}}, rsText},
        {"<![CDATA[ a > b", rsText, {{"<![CDATA[", CD}, {" a > b", CD}}, rsCDATA},
        {"]>x", rsCDATA, {{"]>", CD}, {"x", T}}, rsText},
        {"<?xml version=\"1.0\"?>", rsText, {{"<?", PI}, {"xml version=\"1.0\"?>", PI}}, rsText},
        {"<?pi a > b", rsText, {{"<?", PI}, {"pi a > b", PI}}, rsProcessingInstruction},
        // a '>' at the start of a line does not see the '?' that ended the line before
        {">", rsProcessingInstruction, {{">", PI}}, rsProcessingInstruction},
        {"?>", rsProcessingInstruction, {{"?>", PI}}, rsText},
        {"<![cdata[x", rsText, {{"<!", Y}, {"", El}, {"", A}, {"[cdata[x", Eq}}, rsEqual},
    });
}

TEST(XmlHighlighter, DocTypeDeclarations)
{
    RunCases({
        {"<!DOCTYPE r [", rsText, {{"<!DOCTYPE", DT}, {" r [", DT}}, rsDocTypeSquareBraces},
        {"<!ENTITY e \"v\">", rsDocTypeSquareBraces, {{"<!ENTITY e \"v\">", DT}}, rsDocTypeSquareBraces},
        {"]>", rsDocTypeSquareBraces, {{"]", DT}, {">", DT}}, rsAttribute},
        {"<!DOCTYPE r [ <!ENTITY e 'v'> ] >", rsText, {{"<!DOCTYPE", DT}, {" r [ <!ENTITY e 'v'> ]", DT}, {" >", DT}},
         rsAttribute},
        // a lower-case doctype is no declaration
        {"<!doctype x>", rsText, {{"<!", Y}, {"doctype", El}, {" ", S}, {"x", A}, {">", Y}}, rsText},
    });
}

// The declaration leaves the in-tag state behind its '>', so what follows on its line reads as
// attribute names until the next tag.
TEST(XmlHighlighter, TextAfterADocTypeOnItsLineReadsAsAttributes)
{
    RunCases({
        {"<!DOCTYPE html> hello", rsText, {{"<!DOCTYPE", DT}, {" html>", DT}, {" ", S}, {"hello", A}}, rsEqual},
        {"<!DOCTYPE html><p>", rsText, {{"<!DOCTYPE", DT}, {" html>", DT}, {"<", Y}, {"p", El}, {">", Y}}, rsText},
    });
}

TEST(XmlHighlighter, RangeRoundTripsEveryState)
{
    TSrcXMLSyn h;
    EXPECT_EQ(h.CurrentRange(), rsText);
    for (TSrcRange r = 0; r <= rsDocTypeSquareBraces; ++r) {
        h.RestoreRange(r);
        EXPECT_EQ(h.CurrentRange(), r);
    }
    h.RestoreRange(19);
    EXPECT_EQ(h.CurrentRange(), rsText) << "a value never returned starts afresh";
    h.RestoreRange(rsComment);
    h.ClearRange();
    EXPECT_EQ(h.CurrentRange(), rsText);
}

TEST(XmlHighlighter, AttributesRolesAndClassData)
{
    TSrcXMLSyn h;
    std::vector<std::string> names;
    for (int i = 0; i < h.AttriCount(); ++i)
        names.push_back(h.AttriByIndex(i)->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Attribute Name", "Attribute Value", "CDATA Section", "Comment",
                                               "DOCTYPE Section", "Element Name", "Entity Reference",
                                               "Namespace Attribute Name", "Namespace Attribute Value",
                                               "Processing Instruction", "Symbol", "Text", "Whitespace"}));
    struct TDefault {
        TSrcHighlighterAttributes* Attri;
        TColor Background;
        TColor Foreground;
        TFontStyles Style;
    };
    for (const TDefault& d : std::vector<TDefault>{
             {h.ElementAttri(), clNone, clMaroon, {fsBold}},
             {h.TextAttri(), clNone, clBlack, {fsBold}},
             {h.SpaceAttri(), clNone, clNone, {}},
             {h.EntityRefAttri(), clNone, clBlue, {fsBold}},
             {h.ProcessingInstructionAttri(), clNone, clBlue, {}},
             {h.CDATAAttri(), clNone, clOlive, {fsItalic}},
             {h.CommentAttri(), clSilver, clGray, {fsBold, fsItalic}},
             {h.DocTypeAttri(), clNone, clBlue, {fsItalic}},
             {h.AttributeAttri(), clNone, clMaroon, {}},
             {h.NamespaceAttributeAttri(), clNone, clRed, {}},
             {h.AttributeValueAttri(), clNone, clNavy, {fsBold}},
             {h.NamespaceAttributeValueAttri(), clNone, clRed, {fsBold}},
             {h.SymbolAttri(), clNone, clBlue, {}},
         }) {
        SCOPED_TRACE(d.Attri->Name());
        EXPECT_EQ(d.Attri->Background(), d.Background);
        EXPECT_EQ(d.Attri->Foreground(), d.Foreground);
        EXPECT_EQ(d.Attri->Style(), d.Style);
        EXPECT_FALSE(d.Attri->IsForegroundStored() || d.Attri->IsBackgroundStored() || d.Attri->IsStyleStored());
    }

    EXPECT_EQ(h.RoleAttri(arComment), h.CommentAttri());
    EXPECT_EQ(h.RoleAttri(arIdentifier), h.AttributeAttri());
    EXPECT_EQ(h.RoleAttri(arKeyword), h.ElementAttri());
    EXPECT_EQ(h.RoleAttri(arString), nullptr);
    EXPECT_EQ(h.RoleAttri(arWhitespace), h.SpaceAttri());
    EXPECT_EQ(h.RoleAttri(arSymbol), h.SymbolAttri());

    h.ClearRange();
    h.StartLine("<a x='1' xmlns='2'>", 0);
    std::vector<std::string> attributeNames;
    for (; !h.AtLineEnd(); h.AdvanceToken())
        attributeNames.push_back(h.TokenAttri()->Name());
    EXPECT_EQ(attributeNames, (std::vector<std::string>{"Symbol", "Element Name", "Whitespace", "Attribute Name",
                                                        "Symbol", "Attribute Value", "Symbol", "Whitespace",
                                                        "Namespace Attribute Name", "Symbol",
                                                        "Namespace Attribute Value", "Symbol", "Symbol"}));
    EXPECT_EQ(h.TokenAttri(), nullptr);

    EXPECT_FALSE(h.WantBracesParsed());
    EXPECT_TRUE(h.IsWantBracesParsedStored());
    EXPECT_EQ(h.GetLanguageTitle(), "XML");
    EXPECT_GE(HighlighterList().IndexOf(TSrcXMLSyn::StaticClass()), 0);
    EXPECT_EQ(h.DefaultFilter(), "XML Files (*.xml;*.xsd;*.xsl;*.xslt;*.dtd)|*.xml;*.xsd;*.xsl;*.xslt;*.dtd");
    EXPECT_FALSE(h.IsFilterStored());
    const TSrcCharSet chars = h.IdentifierChars();
    EXPECT_TRUE(chars.test('-') && chars.test('.') && chars.test('_') && chars.test('9') && chars.test(0xC3));
    EXPECT_FALSE(chars.test(':') || chars.test('<') || chars.test(' '));
}

TEST(XmlHighlighterGolden, Sample)
{
    TSrcXMLSyn h;
    ExpectGolden(h, "xml", "sample.xml");
}

TEST(XmlHighlighterGolden, BuiltInSampleText)
{
    TSrcXMLSyn h;
    EXPECT_EQ(ReadWholeFile(GoldenFolder("xml") + "/builtin-sample.xml"), h.SampleText());
    ExpectGolden(h, "xml", "builtin-sample.xml");
}

TEST(XmlHighlighterGolden, WholeTextChecksAllowTheEmptyTokensOfDenseLines)
{
    // "/[" inside a tag is five tokens, three of them empty: more tokens than bytes
    TSrcXMLSyn h;
    const std::string text = "<a\n/[\n>";
    ExpectRescanAgrees(h, text);
    ExpectCrLfAgrees(h, text);
    std::vector<int> kinds;
    for (const TGoldenToken& t : ScanTokens(h, SplitLines(text)))
        if (t.Line == 1)
            kinds.push_back(t.Kind);
    EXPECT_EQ(kinds, (std::vector<int>{static_cast<int>(A), static_cast<int>(Y), static_cast<int>(El),
                                       static_cast<int>(A), static_cast<int>(Eq)}));
}
