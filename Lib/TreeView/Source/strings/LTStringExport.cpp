// The string tree's exports: plain and Unicode text with a separator (tab or CSV), RTF and HTML
// tables of the nodes of a text source, and the renderings the clipboard and drags ask for.

#include "TreeView/Source/strings/LTStringExport.h"

#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/strings/LazyStringTree.h"
#include "TreeView/Source/transfer/LTDataObject.h"

#include "Platform/graphics/Canvas.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <cmath>
#include <cstdio>

namespace {

std::string Format(const char* format, auto... args)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

// "#RRGGBB" of a colour (system colours resolved).
std::string HtmlColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return Format("#%02X%02X%02X", GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TAlignment Mirrored(TAlignment alignment)
{
    return alignment == taLeftJustify ? taRightJustify : alignment == taRightJustify ? taLeftJustify : alignment;
}

// What the exports need of the tree's columns: the visible ones in display order, or one cell
// (column -1) without a header.
struct TExportColumns {
    std::vector<TLazyTreeColumn*> Visible;
    bool Used = false;
};

TExportColumns ColumnsOf(TCustomLazyStringTree& tree)
{
    TExportColumns c;
    c.Used = tree.Header().Columns().Count() > 0;
    if (c.Used)
        c.Visible = tree.Header().Columns().VisibleColumnList();
    return c;
}

// The RTF writer's font and colour lists and its current font, colour and size.
struct TRtfState {
    std::vector<std::string> Fonts;
    std::vector<TColor> Colors;
    int CurrentFont = -1;
    int CurrentColor = -1;
    int CurrentSize = -1;

    void TextPlusFont(std::string& out, const QString& text, const TFont& font)
    {
        if (text.isEmpty())
            return;
        const TFontStyles style = font.Style();
        if (style.Contains(fsUnderline))
            out += "\\ul";
        if (style.Contains(fsItalic))
            out += "\\i";
        if (style.Contains(fsBold))
            out += "\\b";
        const auto fontAt = std::find_if(Fonts.begin(), Fonts.end(), [&](const std::string& name) {
            return QString::fromStdString(name).compare(QString::fromStdString(font.Name()), Qt::CaseInsensitive) == 0;
        });
        int index = static_cast<int>(fontAt - Fonts.begin());
        if (fontAt == Fonts.end()) {
            Fonts.push_back(font.Name());
            out += Format("\\f%d", index);
        } else if (index != CurrentFont) {
            out += Format("\\f%d", index);
        }
        CurrentFont = index;
        const auto colorAt = std::find(Colors.begin(), Colors.end(), font.Color());
        index = static_cast<int>(colorAt - Colors.begin());
        if (colorAt == Colors.end()) {
            Colors.push_back(font.Color());
            out += Format("\\cf%d", index + 1);
        } else if (index != CurrentColor) {
            out += Format("\\cf%d", index + 1);
        }
        CurrentColor = index;
        if (font.Size() != CurrentSize) {
            out += Format("\\fs%d", 2 * font.Size());
            CurrentSize = font.Size();
        }
        out += ' ';
        for (QChar unit : text)
            out += Format("\\u%d\\'3f", static_cast<int>(static_cast<std::int16_t>(unit.unicode())));
        if (style.Contains(fsUnderline))
            out += "\\ul0";
        if (style.Contains(fsItalic))
            out += "\\i0";
        if (style.Contains(fsBold))
            out += "\\b0";
    }
};

std::string RtfAlignment(TAlignment alignment, TBiDiMode bidi)
{
    if (bidi != TBiDiMode::bdLeftToRight)
        alignment = Mirrored(alignment);
    return alignment == taRightJustify ? "\\qr" : alignment == taCenter ? "\\qc" : "";
}

std::string HtmlAlignment(TAlignment alignment, TBiDiMode bidi)
{
    std::string out;
    if (bidi != TBiDiMode::bdLeftToRight) {
        alignment = Mirrored(alignment);
        out += " dir=\"rtl\"";
    }
    out += alignment == taRightJustify ? " align=right" : alignment == taCenter ? " align=center" : " align=left";
    return out;
}

std::string HtmlFontStyle(const TFont& font)
{
    std::string out = "{font:";
    const TFontStyles style = font.Style();
    if (style.Contains(fsUnderline))
        out += " underline";
    if (style.Contains(fsItalic))
        out += " italic";
    if (style.Contains(fsBold))
        out += " bold";
    out += Format(" %dpt \"", font.Size()) + HtmlEscaped(QString::fromStdString(font.Name())) + "\";";
    out += "color:" + HtmlColor(font.Color()) + ";}";
    return out;
}

int ScreenPixelsPerInch()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchX())) : 96;
}

} // namespace

// ---- free helpers

std::string MakeHTMLClipboardBlock(const std::string& fragment)
{
    const auto n = static_cast<long long>(fragment.size());
    std::string block = "Version:1.0\r\n";
    block += Format("StartHTML:%.8d\r\n", 97);
    block += Format("EndHTML:%.8lld\r\n", n + 301);
    block += Format("StartFragment:%.8d\r\n", 269);
    block += Format("EndFragment:%.8lld\r\n", n + 269);
    block += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
    block += "<html><head><META http-equiv=Content-Type content=\"text/html; charset=utf-8\"></head><body>"
             "<!--StartFragment-->";
    block += fragment;
    block += "<!--EndFragment--></body></html>";
    return block;
}

std::string WideToUTF8(const QString& text)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    const auto* units = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (i + 1 < n && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
                ++i;
            } else {
                continue;
            }
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string HtmlEscaped(const QString& text)
{
    std::string out;
    for (char c : WideToUTF8(text)) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

char ListSeparator()
{
    return QLocale::system().decimalPoint() == QStringLiteral(",") ? ';' : ',';
}

// ---- the exports

int TCustomLazyStringTree::MaxLevelOf(TLTTextSource source)
{
    int maxLevel = 0;
    TTextWalkStep next;
    for (PLazyNode node = TextSourceWalk(source, next); node; node = next(node))
        maxLevel = std::max(maxLevel, DepthOfNode(node));
    return maxLevel;
}

QString TCustomLazyStringTree::ExportAsWideText(TLTTextSource source, QChar separator)
{
    return ExportText(source, separator, true);
}

std::string TCustomLazyStringTree::ExportAsText(TLTTextSource source, char separator)
{
    return ExportText(source, QChar::fromLatin1(separator), false).toStdString();
}

QString TCustomLazyStringTree::ExportText(TLTTextSource source, QChar s, bool wide)
{
    const int maxLevel = MaxLevelOf(source);
    const QString indent(maxLevel, s);
    const TExportColumns columns = ColumnsOf(*this);
    const TColumnIndex mainColumn = Header().MainColumn();
    QString out;
    auto quoted = [&](const QString& text) {
        if (wide)
            return text.contains(s) ? QStringLiteral("\"") + text + QStringLiteral("\"") : text;
        if (!text.contains(s) && !text.contains(QLatin1Char('"')))
            return text;
        QString inner = text;
        inner.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        return QStringLiteral("\"") + inner + QStringLiteral("\"");
    };
    if (columns.Used) {
        for (size_t i = 0; i < columns.Visible.size(); ++i) {
            out += columns.Visible[i]->Text();
            if (i + 1 < columns.Visible.size())
                out += columns.Visible[i]->Index() == mainColumn ? indent + s : QString(s);
        }
        out += QStringLiteral("\r\n");
    }
    TTextWalkStep next;
    for (PLazyNode node = TextSourceWalk(source, next); node; node = next(node)) {
        const int level = DepthOfNode(node);
        if (columns.Used) {
            for (size_t i = 0; i < columns.Visible.size(); ++i) {
                const TColumnIndex column = columns.Visible[i]->Index();
                const QString text = quoted(GetCellText(node, column));
                if (column == mainColumn)
                    out += indent.left(level) + text + indent.left(maxLevel - level);
                else
                    out += text;
                if (i + 1 < columns.Visible.size())
                    out += s;
            }
        } else {
            out += indent.left(level) + GetCellText(node, NoColumn);
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}

std::string TCustomLazyStringTree::ExportAsRTF(TLTTextSource source)
{
    TCanvas& canvas = Canvas();
    HookCanvasFontChange(canvas);
    struct TUnhook {
        TCustomLazyStringTree& Tree;
        TCanvas& Target;
        ~TUnhook() { Tree.UnhookCanvasFontChange(Target); }
    } unhook{*this, canvas};
    TRtfState rtf;
    const TExportColumns columns = ColumnsOf(*this);
    const TColumnIndex mainColumn = Header().MainColumn();
    const int ppi = ScreenPixelsPerInch();
    auto twips = [&](int pixels) { return static_cast<int>(std::nearbyint(pixels * 1440.0 / ppi)); };
    std::string body = "\\uc1\\trowd\\trgaph70";
    if (columns.Used) {
        int sum = 0;
        for (const TLazyTreeColumn* c : columns.Visible) {
            sum += c->Width();
            body += Format("\\cellx%d", twips(sum));
        }
        body += "\\pard\\intbl";
        for (const TLazyTreeColumn* c : columns.Visible) {
            body += RtfAlignment(c->Alignment(), c->BiDiMode());
            rtf.TextPlusFont(body, c->Text(), Header().Font());
            body += "\\cell";
        }
        body += "\\row";
    } else {
        body += Format("\\cellx%d", twips(ClientWidth()));
    }
    const bool treeRtl = layoutDirection() == Qt::RightToLeft;
    TTextWalkStep next;
    for (PLazyNode node = TextSourceWalk(source, next); node; node = next(node)) {
        const int level = DepthOfNode(node);
        auto cell = [&](TColumnIndex column, TAlignment alignment, TBiDiMode bidi) {
            body += "\\pard\\intbl";
            body += RtfAlignment(alignment, bidi);
            canvas.Font().Assign(Font());
            FirePaintText(node, canvas, column, TVSTTextType::ttNormal);
            if ((column == mainColumn || !columns.Used) && level >= 1) {
                for (int i = 0; i < level; ++i)
                    body += "\\tab";
                body += ' ';
            }
            rtf.TextPlusFont(body, GetCellText(node, column), canvas.Font());
            body += "\\cell";
        };
        if (columns.Used)
            for (const TLazyTreeColumn* c : columns.Visible)
                cell(c->Index(), c->Alignment(), c->BiDiMode());
        else
            cell(NoColumn, Alignment(), treeRtl ? TBiDiMode::bdRightToLeft : TBiDiMode::bdLeftToRight);
        body += "\\row";
    }
    body += "\\pard\\par";
    std::string document = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl";
    for (size_t i = 0; i < rtf.Fonts.size(); ++i)
        document += Format("{\\f%d ", static_cast<int>(i)) + rtf.Fonts[i] + ";}";
    document += "}{\\colortbl;";
    for (TColor color : rtf.Colors) {
        const TColor rgb = ColorToRGB(color);
        document += Format("\\red%d\\green%d\\blue%d;", GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    }
    document += "}" + body + "}";
    return document;
}

std::string TCustomLazyStringTree::ExportAsHTML(TLTTextSource source, const QString& caption)
{
    const std::string newline = "\r\n";
    const TExportColumns columns = ColumnsOf(*this);
    const TColumnIndex mainColumn = Header().MainColumn();
    const int maxLevel = MaxLevelOf(source);
    const std::string padStyle = Format("padding-left:%dpx;padding-right:%dpx;", Margin(), Margin());
    const std::string indentWidth = std::to_string(Indent());
    std::string tableAttributes = " ";
    if (!caption.isEmpty())
        tableAttributes += "caption=\"" + HtmlEscaped(caption) + "\"";
    if (BorderStyle() != TBorderStyle::bsNone)
        tableAttributes += Format(" border=\"%d\" frame=box", 1);
    const std::string lineStyle = LineStyle() == TLTLineStyle::lsSolid ? "solid;" : "dotted;";
    std::string out = "<style type=\"text/css\">" + newline;
    out += ".default" + HtmlFontStyle(Font()) + newline;
    out += ".header" + HtmlFontStyle(Header().Font()) + newline;
    if (HasOption(toShowHorzGridLines))
        out += ".noborder{border-style:" + lineStyle + " border-bottom:1;border-left:0;border-right:0; border-top:0;";
    else
        out += ".noborder{border-style:none;";
    out += padStyle + "}" + newline;
    out += ".normalborder {border-top:none; border-left:none; ";
    out += HasOption(toShowVertGridLines) ? "border-right:1 " + lineStyle : std::string("border-right:none;");
    out += HasOption(toShowHorzGridLines) ? "border-bottom:1 " + lineStyle : std::string("border-bottom:none;");
    out += padStyle + "}</style>" + newline;
    out += "<table class=\"default\" bgcolor=" + HtmlColor(Color()) + tableAttributes + " cellspacing=\"0\" cellpadding=" +
           std::to_string(Margin()) + ">" + newline;
    if (columns.Used) {
        out += "<tr class=\"header\" style=\"" + padStyle + "\">" + newline;
        for (const TLazyTreeColumn* c : columns.Visible) {
            out += "<th height=\"" + std::to_string(Header().Height()) + "px\"";
            out += HtmlAlignment(c->Alignment(), c->BiDiMode());
            if (c->Index() == mainColumn && maxLevel > 0)
                out += " colspan=\"" + std::to_string(maxLevel + 1) + "\"";
            out += " bgcolor=" + HtmlColor(clBtnFace) + " width=\"" + std::to_string(c->Width()) + "px\">";
            out += HtmlEscaped(c->Text()) + "</th>";
        }
        out += "</tr>" + newline;
    }
    TCanvas& canvas = Canvas();
    HookCanvasFontChange(canvas);
    struct TUnhook {
        TCustomLazyStringTree& Tree;
        TCanvas& Target;
        ~TUnhook() { Tree.UnhookCanvasFontChange(Target); }
    } unhook{*this, canvas};
    const bool treeRtl = layoutDirection() == Qt::RightToLeft;
    TTextWalkStep next;
    for (PLazyNode node = TextSourceWalk(source, next); node; node = next(node)) {
        const int level = DepthOfNode(node);
        const std::string height = std::to_string(GetRowHeight(node));
        out += " <tr class=\"default\">" + newline;
        auto cell = [&](TColumnIndex column, const TLazyTreeColumn* c) {
            canvas.Font().Assign(Font());
            ClearCanvasFontChanged();
            FirePaintText(node, canvas, column, TVSTTextType::ttNormal);
            const bool parentColor = !c || c->Options().Contains(coParentColor);
            if (column == mainColumn || !c) {
                for (int i = 0; i < level; ++i) {
                    if (parentColor)
                        out += i == 0 ? " <td height=\"" + height + "px\">&nbsp;</td>" : std::string(" <td>&nbsp;</td>");
                    else
                        out += "<td class=\"noborder\" width=\"" + indentWidth + "\" height=\"" + height + "px\"" +
                               " bgcolor=" + HtmlColor(c->Color()) + ">&nbsp;</td>";
                }
            }
            if (CanvasFontChanged())
                out += " <td class=\"normalborder\" style=\"" + HtmlFontStyle(canvas.Font()) + "\" height=\"";
            else
                out += " <td class=\"normalborder\"  height=\"";
            out += height + "px\"";
            out += c ? HtmlAlignment(c->Alignment(), c->BiDiMode())
                     : HtmlAlignment(Alignment(), treeRtl ? TBiDiMode::bdRightToLeft : TBiDiMode::bdLeftToRight);
            if ((column == mainColumn || !c) && maxLevel > 0 && level < maxLevel)
                out += " colspan=\"" + std::to_string(maxLevel - level + 1) + "\"";
            if (c && !parentColor)
                out += " bgcolor=" + HtmlColor(c->Color());
            out += ">" + HtmlEscaped(GetCellText(node, column)) + "</td>";
        };
        if (columns.Used)
            for (const TLazyTreeColumn* c : columns.Visible)
                cell(c->Index(), c);
        else
            cell(NoColumn, nullptr);
        out += " </tr>" + newline;
    }
    out += "</table>";
    return out;
}

QByteArray TCustomLazyStringTree::ExportToGlobalMemory(std::uint16_t format, TLTTextSource source)
{
    QByteArray memory;
    if (format == CF_TEXT) {
        const std::string text = ExportAsText(source, '\t');
        memory = QByteArray(text.data(), static_cast<qsizetype>(text.size()));
        memory.append('\0');
    } else if (format == CF_UNICODETEXT) {
        const QString text = ExportAsWideText(source, QLatin1Char('\t'));
        memory = QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        memory.append(2, '\0');
    } else if (format == CSVFormatId) {
        const std::string text = ExportAsText(source, ListSeparator());
        memory = QByteArray(text.data(), static_cast<qsizetype>(text.size()));
        memory.append('\0');
    } else if (format == RTFFormatId || format == RTFNoObjectsFormatId) {
        const std::string text = ExportAsRTF(source);
        memory = QByteArray(text.data(), static_cast<qsizetype>(text.size()));
        memory.append('\0');
    } else if (format == HTMLFormatId) {
        const std::string text = MakeHTMLClipboardBlock(ExportAsHTML(source, {}));
        memory = QByteArray(text.data(), static_cast<qsizetype>(text.size()));
        memory.append('\0');
    }
    return memory;
}

int TCustomLazyStringTree::RenderDataFormat(const TFormatEtc& format, QByteArray& medium, bool forClipboard)
{
    const int base = TBaseLazyTree::RenderDataFormat(format, medium, forClipboard);
    if (base == S_OK)
        return base;
    try {
        medium = ExportToGlobalMemory(format.cfFormat, forClipboard ? TLTTextSource::txsMarked : TLTTextSource::txsSelected);
    } catch (...) {
        medium.clear();
        return E_FAIL;
    }
    return medium.isEmpty() ? base : S_OK;
}
