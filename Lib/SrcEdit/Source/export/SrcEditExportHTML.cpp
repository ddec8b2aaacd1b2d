#include "SrcEdit/Source/export/SrcEditExportHTML.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"
#include "SrcEdit/Source/text/SrcEditTextRoutines.h"

#include <cstdio>

namespace {

// The HTML 4 entities of ISO 8859-1 from 0xA1 to 0xFF, for single bytes that are not UTF-8.
const char* const Latin1Entities[] = {
    "iexcl", "cent", "pound", "curren", "yen", "brvbar", "sect", "uml", "copy", "ordf", "laquo", "not", "shy",
    "reg", "macr", "deg", "plusmn", "sup2", "sup3", "acute", "micro", nullptr, "middot", "cedil", "sup1", "ordm",
    "raquo", "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc", "Atilde", "Auml", "Aring",
    "AElig", "Ccedil", "Egrave", "Eacute", "Ecirc", "Euml", "Igrave", "Iacute", "Icirc", "Iuml", "ETH", "Ntilde",
    "Ograve", "Oacute", "Ocirc", "Otilde", "Ouml", "times", "Oslash", "Ugrave", "Uacute", "Ucirc", "Uuml",
    "Yacute", "THORN", "szlig", "agrave", "aacute", "acirc", "atilde", "auml", "aring", "aelig", "ccedil",
    "egrave", "eacute", "ecirc", "euml", "igrave", "iacute", "icirc", "iuml", "eth", "ntilde", "ograve", "oacute",
    "ocirc", "otilde", "ouml", "divide", "oslash", "ugrave", "uacute", "ucirc", "uuml", "yacute", "thorn", "yuml"};

constexpr const char* CRLF = "\r\n";

} // namespace

TSrcExporterHTML::TSrcExporterHTML(TComponent* AOwner) : TSrcCustomExporter(AOwner)
{
    Replacements['&'] = "&amp;";
    Replacements['<'] = "&lt;";
    Replacements['>'] = "&gt;";
    Replacements['"'] = "&quot;";
    Replacements[0x80] = "&euro;";
    Replacements[0x99] = "&trade;";
    for (int b = 0xA1; b <= 0xFF; ++b)
        if (const char* entity = Latin1Entities[b - 0xA1])
            Replacements[static_cast<size_t>(b)] = std::string("&") + entity + ";";
}

std::string TSrcExporterHTML::AttributeClassName(std::string_view uniqueName)
{
    std::string result;
    for (char c : uniqueName) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c == '.' || c == '_')
            c = '-';
        if (c == '-' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))
            result += c;
    }
    return result;
}

std::string TSrcExporterHTML::HTMLColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    return text;
}

std::string TSrcExporterHTML::AttributeStyleRule(const TSrcHighlighterAttributes& attribute,
                                                 const std::string& uniqueName) const
{
    std::string rule = "." + AttributeClassName(uniqueName) + " { ";
    if (UseBackground() && attribute.Background() != clNone)
        rule += "background-color: " + HTMLColor(attribute.Background()) + "; ";
    if (attribute.Foreground() != clNone)
        rule += "color: " + HTMLColor(attribute.Foreground()) + "; ";
    const TFontStyles style = attribute.Style();
    if (style.Contains(fsBold))
        rule += "font-weight: bold; ";
    if (style.Contains(fsItalic))
        rule += "font-style: italic; ";
    if (style.Contains(fsUnderline))
        rule += "text-decoration: underline; ";
    if (style.Contains(fsStrikeOut))
        rule += "text-decoration: line-through; ";
    return rule + "}";
}

void TSrcExporterHTML::StartExport()
{
    FClassNames.clear();
    ForEachHighlighterAttribute(Highlighter(), true,
                                [this](TSrcCustomHighlighter*, TSrcHighlighterAttributes* attribute,
                                       const std::string& uniqueName) {
                                    FClassNames.emplace(attribute,
                                                        "<span class=\"" + AttributeClassName(uniqueName) + "\">");
                                    return true;
                                });
}

void TSrcExporterHTML::OpenSpan()
{
    const auto found = FClassNames.find(CurrentAttribute());
    Body() += found == FClassNames.end() ? std::string_view("<span>") : std::string_view(found->second);
}

void TSrcExporterHTML::CloseStyleRun(bool, bool, TFontStyles)
{
    Body() += "</span>";
}

void TSrcExporterHTML::OpenStyleRun(bool, bool, TFontStyles)
{
    OpenSpan();
}

void TSrcExporterHTML::CloseLastStyleRun()
{
    Body() += "</span>";
}

void TSrcExporterHTML::OpenFirstStyleRun(bool, bool, TFontStyles)
{
    OpenSpan();
}

void TSrcExporterHTML::EmitLineBreak()
{
    Body() += CRLF;
}

std::string TSrcExporterHTML::PageHead() const
{
    std::string sheet;
    ForEachHighlighterAttribute(Highlighter(), true,
                                [&](TSrcCustomHighlighter*, TSrcHighlighterAttributes* attribute,
                                    const std::string& uniqueName) {
                                    sheet += AttributeStyleRule(*attribute, uniqueName) + CRLF;
                                    return true;
                                });
    return std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n") +
           "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
           "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\r\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\">\r\n"
           "<head>\r\n<title>" +
           EscapeText(Title()) +
           "</title>\r\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\r\n"
           "<meta name=\"generator\" content=\"SrcEdit HTML exporter\" />\r\n"
           "<style type=\"text/css\">\r\n<!--\r\nbody { color: " +
           HTMLColor(Font().Color()) + "; background-color: " + HTMLColor(Color) + "; }\r\n" + sheet +
           "-->\r\n</style>\r\n</head>\r\n<body>\r\n";
}

std::string TSrcExporterHTML::PreambleText()
{
    if (DocumentMode()) {
        std::string preamble = CreateHTMLFragment ? std::string() : PageHead();
        return preamble + "<pre>\r\n<code><span style=\"font: " + std::to_string(Font().Size()) + "pt " +
               EscapeText(Font().Name()) + ";\">";
    }
    const std::string head = PageHead();
    const long long l = static_cast<long long>(head.size());
    const long long b = static_cast<long long>(Body().size());
    char description[128];
    std::snprintf(description, sizeof description,
                  "Version:0.9\r\nStartHTML:%.10lld\r\nEndHTML:%.10lld\r\nStartFragment:%.10lld\r\nEndFragment:%.10lld\r\n",
                  105LL, 167 + l + b, 125 + l, 149 + l + b);
    Body() += "</code></pre><!--EndFragment-->";
    return description + head + "<!--StartFragment--><pre><code>";
}

std::string TSrcExporterHTML::TrailerText()
{
    if (!DocumentMode())
        return {};
    return std::string("</span>\r\n</code></pre>\r\n") + (CreateHTMLFragment ? "" : "</body>\r\n</html>");
}
