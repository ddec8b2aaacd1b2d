// What the text before the caret asks for: open tags, CSS rules and values, HTML attribute names
// and values, and the call a parameter hint belongs to. The caret stands where "|" is written.

#include "code/zuCodeContext.h"

#include "src/code/CaretText.h"

#include <gtest/gtest.h>

namespace {

std::string OpenTag(const char* text)
{
    const TCaretText t(text);
    const std::optional<std::string> tag = OpenTagAt(t.Lines, t.Caret);
    return tag ? "<" + *tag : "-";
}

} // namespace

TEST(CodeContext, AnOpenTagIsTheLastAngleBracketBeforeTheCaret)
{
    const std::pair<const char*, const char*> cases[] = {
        {"<div|", "<div"},
        {"<div class=\"a\" |", "<div"},
        {"<a\nhref=\"x\" |", "<a"},
        {"<di|v>", "<di"},
        {"<br|</div>", "<br"},
        {"if a <= b|", "-"},
        {"<x:y-z.w|/>", "<x:y-z.w"},
        {"<b>text|", "-"},
        {"</div|", "-"},
        {"<!DOCTYPE html|", "-"},
        {"<?php echo 1|", "-"},
        {"< div|", "-"},
        {"a <% x|", "-"},
        {"plain text|", "-"},
        {"<|", "-"},
        {"|", "-"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(OpenTag(text), expected) << text;
}

TEST(CodeContext, ACSSValueIsInsideARuleOrAStyleAttribute)
{
    const std::pair<const char*, bool> cases[] = {
        {"p { color: |", true},
        {"p {\n  margin: 0;\n  |", true},
        {"p { color: red; }\n|", false},
        {"<p style=\"color: |", true},
        {"<p style= 'x|", true},
        {"<td width=3 |", false},
        {"<p>|", false},
        {"|", false},
    };
    for (const auto& [text, expected] : cases) {
        const TCaretText t(text);
        EXPECT_EQ(InsideCSSValue(t.Lines, t.Caret), expected) << text;
    }
}

TEST(CodeContext, ACSSRequestIsForPropertiesOrForTheValuesOfTheWholePropertyName)
{
    const struct {
        const char* Text;
        TCSSRequest::TKind Kind;
        const char* Property;
    } cases[] = {
        {"p { |", TCSSRequest::ckProperty, ""},
        {"p { color: red; bo|", TCSSRequest::ckProperty, ""},
        {"<p style=\"|", TCSSRequest::ckProperty, ""},
        {"p { color: |", TCSSRequest::ckValue, "color"},
        {"p { font-size: la|", TCSSRequest::ckValue, "font-size"},
        {"p { border-left :|", TCSSRequest::ckValue, "border-left"},
        {"p {\n  border-left-style:\n    so|", TCSSRequest::ckValue, "border-left-style"},
        {"<p>|", TCSSRequest::ckNone, ""},
        {"|", TCSSRequest::ckNone, ""},
    };
    for (const auto& c : cases) {
        const TCaretText t(c.Text);
        const TCSSRequest request = ScanCSSRequest(t.Lines, t.Caret);
        EXPECT_EQ(request.Kind, c.Kind) << c.Text;
        EXPECT_EQ(request.Property, c.Property) << c.Text;
    }
}

TEST(CodeContext, AnHTMLRequestIsForAttributeNamesValuesOrTags)
{
    const struct {
        const char* Text;
        THTMLRequest::TKind Kind;
        const char* Tag;
        const char* Attribute;
    } cases[] = {
        {"<input |", THTMLRequest::hkAttributeNames, "input", ""},
        {"<input type=\"text\" |", THTMLRequest::hkAttributeNames, "input", ""},
        {"<input type=\"te|", THTMLRequest::hkAttributeValues, "input", "type"},
        {"<meta http-equiv = '|", THTMLRequest::hkAttributeValues, "meta", "http-equiv"},
        {"<form\n  method=\"|", THTMLRequest::hkAttributeValues, "form", "method"},
        {"<p>some text |", THTMLRequest::hkTags, "", ""},
        {"<p>he said \"hi |", THTMLRequest::hkTags, "", ""},
        {"</p |", THTMLRequest::hkNone, "", ""},
        {"text without tags |", THTMLRequest::hkNone, "", ""},
    };
    for (const auto& c : cases) {
        const TCaretText t(c.Text);
        const THTMLRequest request = ScanHTMLRequest(t.Lines, t.Caret);
        EXPECT_EQ(request.Kind, c.Kind) << c.Text;
        EXPECT_EQ(request.Tag, c.Tag) << c.Text;
        EXPECT_EQ(request.Attribute, c.Attribute) << c.Text;
    }
}

TEST(CodeContext, TheCallIsTheFirstUnclosedParenthesisWithItsArgumentIndex)
{
    const struct {
        const char* Text;
        const char* Name;
        int Index;
    } cases[] = {
        {"substr(|", "substr", 2},
        {"$x = substr($s, 1, |", "substr", 4},
        {"substr ($s, strlen($t), |", "substr", 4},
        {"substr($s, strlen(|", "strlen", 2},
        {"substr(\n  $s,\n  |", "substr", 3},
        {"f(a, g(b, c), |", "f", 4},
        {"$a = 1; substr(|", "substr", 2},
        {"substr($s); |", "", 0},
        {"x; (|", "", 0},
        {"|", "", 0},
        {"func_\xC3\xA4(|", "func_\xC3\xA4", 2},
    };
    for (const auto& c : cases) {
        const TCaretText t(c.Text);
        const std::optional<TCallAt> call = CallAt(t.Lines, t.Caret);
        EXPECT_EQ(call ? call->Name : "", c.Name) << c.Text;
        EXPECT_EQ(call ? call->ParameterIndex : 0, c.Index) << c.Text;
    }
}
