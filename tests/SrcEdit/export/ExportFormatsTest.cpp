// The HTML, RTF and TeX exporters: their escapes, names, colours and frames byte for byte, titles
// escaped for each format, and whole PHP pages read back by real consumers (html5lib, unrtf,
// pdflatex) with their text and colours.

#include "SrcEdit/export/ExportTestSupport.h"
#include "SrcEdit/highlighters/TestHighlighter.h"

#include "SrcEdit/Source/export/SrcEditExportHTML.h"
#include "SrcEdit/Source/export/SrcEditExportRTF.h"
#include "SrcEdit/Source/export/SrcEditExportTeX.h"

#include "support/ConsumerTools.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string Joined(const std::vector<std::string>& lines, const std::string& separator)
{
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? separator : "") + lines[i];
    return text;
}

std::string WithoutBlanks(std::string text)
{
    text.erase(std::remove_if(text.begin(), text.end(), [](unsigned char c) { return c <= ' '; }), text.end());
    return text;
}

const char* const Html5libReader = R"(
import sys, json, html5lib
doc = html5lib.parse(sys.stdin.buffer.read(), treebuilder="etree", namespaceHTMLElements=False)
pre = doc.find('.//pre')
print(json.dumps({
    'title': doc.find('.//title').text,
    'text': ''.join(pre.itertext()),
    'style': doc.find('.//style').text,
    'spans': [[s.get('class'), ''.join(s.itertext())] for s in pre.iter('span') if s.get('class')],
}))
)";

} // namespace

TEST(HtmlExporter, EscapesClassNamesAndRules)
{
    TSrcExporterHTML html;
    const std::pair<const char*, const char*> escapes[] = {
        {"a<b&c", "a&lt;b&amp;c"}, {"\"q\">", "&quot;q&quot;&gt;"}, {"\xE9", "&eacute;"}, {"\xF7", "&divide;"},
        {"\xB6", "\xB6"},          {"é", "é"},                      {"世", "世"}};
    for (const auto& [text, escaped] : escapes)
        EXPECT_EQ(html.EscapeText(text), escaped) << text;
    EXPECT_EQ(TSrcExporterHTML::AttributeClassName("PHP1.Reserved Word"), "php1-reservedword");
    EXPECT_EQ(TSrcExporterHTML::AttributeClassName("My_Syn2.Öl (x)"), "my-syn2-lx");
    EXPECT_EQ(TSrcExporterHTML::HTMLColor(clNavy), "#000080");
    TSrcHighlighterAttributes reserved("Reserved Word");
    reserved.SetForeground(clNavy);
    reserved.SetBackground(clYellow);
    reserved.SetStyle({fsBold});
    EXPECT_EQ(html.AttributeStyleRule(reserved, "PHP1.Reserved Word"),
              ".php1-reservedword { color: #000080; font-weight: bold; }");
    html.SetUseBackground(true);
    EXPECT_EQ(html.AttributeStyleRule(reserved, "PHP1.Reserved Word"),
              ".php1-reservedword { background-color: #FFFF00; color: #000080; font-weight: bold; }");
}

TEST(HtmlExporter, TheClipboardFragmentDescribesItsOwnOffsets)
{
    TTestSyn syn;
    TSrcExporterHTML html;
    TStringList lines;
    FillLines(lines, {"if x < 1", "while"});
    html.SetHighlighter(&syn);
    html.SetDocumentMode(false);
    html.ExportLines(lines);
    const std::string& out = html.Output();
    ASSERT_EQ(out.rfind("Version:0.9\r\nStartHTML:0000000105\r\n", 0), 0u) << out;
    const auto offset = [&](const char* key) {
        const size_t at = out.find(key) + std::string(key).size();
        return static_cast<size_t>(std::stoll(out.substr(at, 10)));
    };
    EXPECT_EQ(out.substr(offset("StartHTML:"), 5), "<?xml");
    EXPECT_EQ(offset("EndHTML:"), out.size());
    EXPECT_EQ(out.substr(offset("StartFragment:") - 20, 20), "<!--StartFragment-->");
    EXPECT_EQ(out.substr(offset("EndFragment:") - 13, 31), "</code></pre><!--EndFragment-->");
}

TEST(HtmlExporter, ADocumentParsesWithItsTextTitleAndColours)
{
    IdePage page;
    TSrcExporterHTML html;
    html.SetTitle("a</title><script>alert(1)</script>.php");
    const std::string& out = Exported(html, page.Multi, SamplePage());
    EXPECT_NE(out.find("charset=utf-8"), std::string::npos);
    const TToolResult parsed = RunTool("/usr/bin/python3", {"-c", Html5libReader}, out);
    ASSERT_EQ(parsed.ExitCode, 0) << parsed.Errors;
    const QJsonObject doc = QJsonDocument::fromJson(QByteArray::fromStdString(parsed.Output)).object();
    EXPECT_EQ(doc["title"].toString().toStdString(), "a</title><script>alert(1)</script>.php");
    std::string text = doc["text"].toString().toStdString();
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    EXPECT_EQ(text, Joined(SamplePage(), "\n"));
    const std::string style = doc["style"].toString().toStdString();
    int coloured = 0;
    for (const QJsonValue span : doc["spans"].toArray()) {
        const std::string cls = span.toArray()[0].toString().toStdString();
        const size_t rule = style.find("." + cls + " {");
        ASSERT_NE(rule, std::string::npos) << "no rule for " << cls;
        coloured += style.substr(rule, style.find('}', rule) - rule).find(" color: #") != std::string::npos;
    }
    EXPECT_GT(coloured, 5);
}

TEST(RtfExporter, EscapesWordsAndTheColourTable)
{
    TSrcExporterRTF rtf;
    EXPECT_EQ(rtf.EscapeText("a{b}\\c"), "a\\{b\\}\\\\c");
    EXPECT_EQ(rtf.EscapeText("é世😀"), "\\u233\\'3f\\u19990\\'3f\\u-10179\\'3f\\u-8704\\'3f");
    EXPECT_EQ(rtf.EscapeText("\xE9"), "\\'e9");

    TTestSyn syn;
    syn.KeyAttri->SetForeground(clRed);
    syn.KeyAttri->SetStyle({fsBold});
    syn.CommentAttri->SetStyle({fsItalic});
    const std::string& out = Exported(rtf, syn, {"x if/**/"});
    EXPECT_NE(out.find("\\fs20 "), std::string::npos);
    EXPECT_NE(out.find("{\\colortbl\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\\cf0 x"), std::string::npos) << out;
    EXPECT_NE(out.find("\\cf1\\b if"), std::string::npos) << out;
    EXPECT_NE(out.find("if\\b0\\cf2\\i /**/"), std::string::npos) << out;

    const std::string& empty = Exported(rtf, syn, {""});
    EXPECT_EQ(empty.substr(empty.size() - 8), "\r\n\\par }");
}

TEST(RtfExporter, ADocumentReadsBackWithItsTextTitleAndColours)
{
    IdePage page;
    TSrcExporterRTF rtf;
    rtf.SetTitle("odd}{\\title");
    const std::string& out = Exported(rtf, page.Multi, SamplePage());
    EXPECT_NE(out.find("{\\title odd\\}\\{\\\\title}"), std::string::npos);
    TempDir dir;
    rtf.WriteToFile(dir.File("page.rtf"));
    const TToolResult text = RunTool("unrtf", {"--text", dir.File("page.rtf")});
    ASSERT_EQ(text.ExitCode, 0) << text.Errors;
    // The text output shows letters beyond ASCII as "?"; the HTML output names them.
    for (const std::string& line : SamplePage()) {
        if (std::all_of(line.begin(), line.end(), [](unsigned char c) { return c < 0x80; })) {
            EXPECT_NE(WithoutBlanks(text.Output).find(WithoutBlanks(line)), std::string::npos) << line << "\n"
                                                                                             << text.Output;
        }
    }
    const TToolResult html = RunTool("unrtf", {"--html", dir.File("page.rtf")});
    ASSERT_EQ(html.ExitCode, 0) << html.Errors;
    EXPECT_NE(html.Output.find("Pr&uuml;fung"), std::string::npos) << html.Output;
    EXPECT_NE(html.Output.find("Gr&uuml;&szlig;e, &#19990;&#30028;"), std::string::npos);
    EXPECT_NE(html.Output.find("color=\"#"), std::string::npos);
}

TEST(TeXExporter, NamesColoursAndCommands)
{
    EXPECT_EQ(TSrcExporterTeX::AttributeCommandName("PHP1.Reserved Word"), "PHPAReservedWord");
    EXPECT_EQ(TSrcExporterTeX::AttributeCommandName("X10.a_b"), "XAZab");
    EXPECT_EQ(TSrcExporterTeX::TeXColor(clRed), "1,0,0");
    EXPECT_EQ(TSrcExporterTeX::TeXColor(RGBColor(128, 128, 128)), "0.5,0.5,0.5");

    TTestSyn syn;
    syn.KeyAttri->SetForeground(clRed);
    TSrcExporterTeX tex;
    const std::string& out = Exported(tex, syn, {"a_b if"});
    EXPECT_NE(out.find("\\newcommand{\\TestAReservedWord}[1]{\\textbf{\\textcolor[rgb]{1,0,0}{#1}}}"),
              std::string::npos);
    EXPECT_NE(out.find("\\newcommand{\\TestAIdentifier}[1]{#1}"), std::string::npos);
    EXPECT_NE(out.find("\\TestAIdentifier{a\\_b}\\TestASpace{\\SPC }\\TestAReservedWord{if}\\\\\r\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\\newcommand\\TAB{\\hspace*{1em}}"), std::string::npos);
    tex.CreateTeXFragment = true;
    const std::string& fragment = Exported(tex, syn, {"x"});
    EXPECT_EQ(fragment.rfind("\\begin{ttfamily}", 0), 0u);
    EXPECT_EQ(fragment.substr(fragment.size() - 14), "\\end{ttfamily}");
}

TEST(TeXExporter, ADocumentCompilesWithPdfLaTeXAndShowsItsText)
{
    IdePage page;
    const std::vector<std::string> lines = SamplePage();
    TSrcExporterTeX tex;
    tex.SetTitle("100% {odd} title");
    const std::string& out = Exported(tex, page.Multi, lines);
    EXPECT_NE(out.find("\\title{100\\%\\SPC \\{odd\\}\\SPC title}"), std::string::npos);
    TempDir dir;
    tex.WriteToFile(dir.File("page.tex"));
    const TToolResult latex =
        RunTool("pdflatex", {"-interaction=nonstopmode", "-halt-on-error", "page.tex"}, {}, dir.Path(), 120000);
    ASSERT_EQ(latex.ExitCode, 0) << latex.Output;
    const std::string text = WithoutBlanks(PdfText(dir.File("page.pdf")));
    // Characters the fonts lack, as the Chinese ones here, show as "?".
    for (const char* part : {"echostrlen($name)", "Grüße,??", "{braces}", "$money&<tags>#hash@at_under"})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
}

TEST(TeXExporter, QuotesAndBackquotesPrintAsTyped)
{
    // T1 fonts put curly quotes where the straight ones were typed; code must come out of the
    // PDF as it went in, in plain, bold and italic attributes alike.
    const std::vector<std::string> lines = {
        "$_GET['name']",
        "echo \"a 'b' c\";",
        "$out = `ls -l`;",
        "$s = 'it\\'s' . \"\\\"q\\\"\";",
        "'' `` \"\" ,, << >> --",
    };
    IdePage page;
    TSrcExporterTeX tex;
    EXPECT_EQ(tex.EscapeText("'`\""), "\\APO \\GRV \\QOT ");
    std::vector<std::string> php;
    for (const std::string& line : lines)
        php.push_back("<?php " + line + " ?>");
    Exported(tex, page.Multi, php);
    TempDir dir;
    tex.WriteToFile(dir.File("quotes.tex"));
    const TToolResult latex =
        RunTool("pdflatex", {"-interaction=nonstopmode", "-halt-on-error", "quotes.tex"}, {}, dir.Path(), 120000);
    ASSERT_EQ(latex.ExitCode, 0) << latex.Output;
    const std::string text = WithoutBlanks(PdfText(dir.File("quotes.pdf")));
    for (const std::string& line : lines)
        EXPECT_NE(text.find(WithoutBlanks(line)), std::string::npos) << line << "\n" << text;
    for (const char* curly : {"\u2018", "\u2019", "\u201C", "\u201D", "\u201A", "\u201E", "\u2032"})
        EXPECT_EQ(text.find(curly), std::string::npos) << curly << "\n" << text;
}
