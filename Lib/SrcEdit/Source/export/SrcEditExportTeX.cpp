#include "SrcEdit/Source/export/SrcEditExportTeX.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"
#include "SrcEdit/Source/text/SrcEditTextRoutines.h"

#include <charconv>

namespace {

// A number in general format with `digits` significant digits and "." as decimal separator,
// whatever the locale.
std::string GeneralNumber(double value, int digits)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    return std::string(text, result.ptr);
}

} // namespace

TSrcExporterTeX::TSrcExporterTeX(TComponent* AOwner) : TSrcCustomExporter(AOwner)
{
    const struct {
        char Character;
        const char* Text;
    } table[] = {{'{', "\\{"},      {'}', "\\}"},      {'\\', "\\BS "},   {'~', "\\TLD "}, {'^', "\\CIR "},
                 {' ', "\\SPC "},   {'\t', "\\TAB "},  {'-', "\\HYP "},   {'"', "\\QOT "}, {'@', "$@$"},
                 {'$', "\\$"},      {'&', "\\&"},      {'<', "$<$"},      {'>', "$>$"},    {'_', "\\_"},
                 {'#', "\\#"},      {'%', "\\%"},      {'\'', "\\APO "}, {'`', "\\GRV "},
                 // why: two commas in a row would print as one low double quote
                 {',', "{,}"}};
    for (const auto& entry : table)
        Replacements[static_cast<unsigned char>(entry.Character)] = entry.Text;
    // why: a byte that is not UTF-8 would stop the UTF-8 input encoding.
    for (int b = 0x80; b <= 0xFF; ++b)
        Replacements[static_cast<size_t>(b)] = "?";
}

std::string TSrcExporterTeX::AttributeCommandName(std::string_view uniqueName)
{
    std::string result;
    for (const char c : uniqueName) {
        if (c >= '1' && c <= '9')
            result += static_cast<char>('A' + (c - '1'));
        else if (c == '0')
            result += 'Z';
        else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            result += c;
    }
    return result;
}

std::string TSrcExporterTeX::TeXColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return GeneralNumber(GetRValue(rgb) / 255.0, 2) + "," + GeneralNumber(GetGValue(rgb) / 255.0, 2) + "," +
           GeneralNumber(GetBValue(rgb) / 255.0, 2);
}

std::string TSrcExporterTeX::AttributeCommand(const TSrcHighlighterAttributes& attribute,
                                              const std::string& uniqueName) const
{
    std::string open;
    int depth = 0;
    const TFontStyles style = attribute.Style();
    if (style.Contains(fsBold)) {
        open += "\\textbf{";
        ++depth;
    }
    if (style.Contains(fsItalic)) {
        open += "\\textit{";
        ++depth;
    }
    if (style.Contains(fsUnderline)) {
        open += "\\uln{";
        ++depth;
    }
    if (attribute.Foreground() != clBlack && attribute.Foreground() != clNone) {
        open += "\\textcolor[rgb]{" + TeXColor(attribute.Foreground()) + "}{";
        ++depth;
    }
    if (UseBackground() && attribute.Background() != clNone) {
        open += "\\colorbox[rgb]{" + TeXColor(attribute.Background()) + "}{";
        ++depth;
    }
    return "\\newcommand{\\" + AttributeCommandName(uniqueName) + "}[1]{" + open + "#1" +
           std::string(static_cast<size_t>(depth), '}') + "}";
}

void TSrcExporterTeX::StartExport()
{
    FCommandNames.clear();
    ForEachHighlighterAttribute(Highlighter(), true,
                                [this](TSrcCustomHighlighter*, TSrcHighlighterAttributes* attribute,
                                       const std::string& uniqueName) {
                                    FCommandNames.emplace(attribute, AttributeCommandName(uniqueName));
                                    return true;
                                });
}

void TSrcExporterTeX::EmitToken(const std::string& text)
{
    const auto found = FCommandNames.find(FAttribute);
    if (found == FCommandNames.end())
        Body() += text;
    else
        Body() += "\\" + found->second + "{" + text + "}";
}

void TSrcExporterTeX::EmitLineBreak()
{
    Body() += "\\\\\r\n";
}

std::string TSrcExporterTeX::PreambleText()
{
    std::string preamble;
    if (!CreateTeXFragment) {
        std::string commands;
        ForEachHighlighterAttribute(Highlighter(), true,
                                    [&](TSrcCustomHighlighter*, TSrcHighlighterAttributes* attribute,
                                        const std::string& uniqueName) {
                                        commands += AttributeCommand(*attribute, uniqueName) + "\r\n";
                                        return true;
                                    });
        preamble = "\\documentclass[a4paper, " + std::to_string(Font().Size()) + "pt]{article}\r\n" +
                   "\\usepackage[a4paper, margin=" + std::to_string(Margin) + "cm]{geometry}\r\n" +
                   "\\usepackage[T1]{fontenc}\r\n"
                   "\\usepackage{color}\r\n"
                   "\\usepackage{alltt}\r\n"
                   "\\usepackage{times}\r\n"
                   "\\usepackage{ulem}\r\n"
                   "\\usepackage[utf8]{inputenc}\r\n"
                   // why: a character the fonts lack shows as "?" instead of stopping the document.
                   "\\makeatletter\\def\\UTFviii@undefined@err#1{\\mbox{?}}\\makeatother\r\n"
                   "% Special Characters\r\n"
                   "\\newcommand\\SPC{\\hspace*{0.6em}}\r\n"
                   "\\newcommand\\TAB{\\hspace*{" +
                   GeneralNumber(TabWidth * 0.6, 1) +
                   "em}}\r\n"
                   "\\newcommand\\BS{\\mbox{\\char 92}}\r\n"
                   "\\newcommand\\TLD{\\mbox{\\char 126}}\r\n"
                   "\\newcommand\\CIR{\\mbox{\\char 94}}\r\n"
                   "\\newcommand\\HYP{\\mbox{\\char 45}}\r\n"
                   "\\newcommand\\QOT{\\mbox{\\char 34}}\r\n"
                   // why: the T1 fonts have only curly quotes in the places of ' and `; the OT1
                   // typewriter fonts have the straight quote and the grave accent, so code
                   // prints as it was typed.
                   "\\newcommand\\APO{\\mbox{\\fontencoding{OT1}\\selectfont\\char 13}}\r\n"
                   "\\newcommand\\GRV{\\mbox{\\fontencoding{OT1}\\selectfont\\char 18}}\r\n"
                   "\\newcommand{\\uln}[1]{\\bgroup \\markoverwith{\\hbox{\\_}}\\ULon{{#1}}}\r\n"
                   "% Highlighter Attributes\r\n" +
                   commands + "\r\n\\title{" + EscapeText(Title()) +
                   "}\r\n"
                   "% Generated by SrcEdit TeX exporter\r\n"
                   "\r\n"
                   "\\begin{document}" +
                   (PageStyleEmpty ? "\r\n\\pagestyle{empty}" : "") + "\r\n\r\n";
    }
    return preamble + "\\begin{ttfamily}\r\n\\noindent\r\n";
}

std::string TSrcExporterTeX::TrailerText()
{
    return std::string("\r\n\\end{ttfamily}") + (CreateTeXFragment ? "" : "\r\n\\end{document}");
}
