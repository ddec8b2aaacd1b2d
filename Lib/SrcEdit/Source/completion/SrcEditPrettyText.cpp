// Pretty text: parsing, drawing, measuring, stripping and parameter lists.

#include "SrcEdit/Source/completion/SrcEditPrettyText.h"

#include "Platform/graphics/Colors.h"
#include "Platform/text/TextUtils.h"

#include <climits>

void TProposalColumn::Assign(const TPersistent& source)
{
    if (const auto* column = dynamic_cast<const TProposalColumn*>(&source)) {
        BiggestWord = column->BiggestWord;
        DefaultFontStyle = column->DefaultFontStyle;
        InternalWidth = column->InternalWidth;
        return;
    }
    TPersistent::Assign(source);
}

TProposalColumn& TProposalColumns::Add()
{
    FColumns.push_back(std::make_unique<TProposalColumn>());
    return *FColumns.back();
}

void TProposalColumns::Assign(const TPersistent& source)
{
    if (const auto* columns = dynamic_cast<const TProposalColumns*>(&source)) {
        if (columns == this)
            return;
        Clear();
        for (int i = 0; i < columns->Count(); ++i)
            Add().Assign(columns->Items(i));
        return;
    }
    TPersistent::Assign(source);
}

namespace {

bool ParseStyle(const std::string& parameter, TFormatChunk& chunk)
{
    if (parameter.size() != 2)
        return false;
    switch (parameter[0]) {
    case '+':
        chunk.StyleAction = 1;
        break;
    case '-':
        chunk.StyleAction = -1;
        break;
    case '~':
        chunk.StyleAction = 0;
        break;
    default:
        return false;
    }
    switch (UpCase(parameter[1])) {
    case 'B':
        chunk.Style = fsBold;
        return true;
    case 'I':
        chunk.Style = fsItalic;
        return true;
    case 'U':
        chunk.Style = fsUnderline;
        return true;
    case 'S':
        chunk.Style = fsStrikeOut;
        return true;
    default:
        return false;
    }
}

// Fills the chunk for one command; false for an unknown name or a bad parameter.
bool ParseCommand(const std::string& name, const std::string& parameter, TFormatChunk& chunk)
{
    if (name == "COLOR") {
        chunk.Kind = pcColor;
        return IdentToColor(parameter, chunk.Color) || TryStrToInt(parameter, chunk.Color);
    }
    if (name == "COLUMN") {
        chunk.Kind = pcColumn;
        return parameter.empty();
    }
    if (name == "HSPACE" || name == "IMAGE") {
        chunk.Kind = name == "HSPACE" ? pcHSpace : pcImage;
        return TryStrToInt(parameter, chunk.Value);
    }
    if (name == "STYLE") {
        chunk.Kind = pcStyle;
        return ParseStyle(parameter, chunk);
    }
    return false;
}

void ApplyStyle(TFont& font, const TFormatChunk& chunk)
{
    TFontStyles style = font.Style();
    const bool add = chunk.StyleAction > 0 || (chunk.StyleAction == 0 && !style.Contains(chunk.Style));
    if (add)
        style.Include(chunk.Style);
    else
        style.Exclude(chunk.Style);
    font.SetStyle(style);
}

} // namespace

bool ParsePrettyText(std::string_view text, TFormatChunkList& chunks, TPrettyCommands excluded)
{
    bool valid = true;
    std::string buffer;
    auto flush = [&] {
        if (!buffer.empty() && !excluded.Contains(pcText)) {
            TFormatChunk chunk;
            chunk.Text = std::move(buffer);
            chunks.Add(std::move(chunk));
        }
        buffer.clear();
    };
    size_t i = 0;
    while (i < text.size()) {
        const size_t slash = text.find('\\', i);
        if (slash == std::string_view::npos) {
            buffer.append(text.substr(i));
            break;
        }
        buffer.append(text.substr(i, slash - i));
        if (slash + 1 < text.size() && text[slash + 1] == '\\') {
            buffer += '\\';
            i = slash + 2;
            continue;
        }
        flush();
        const size_t open = text.find('{', slash + 1);
        const size_t close = open == std::string_view::npos ? open : text.find('}', open + 1);
        if (close == std::string_view::npos)
            return valid; // a command cut off by the end of the text is dropped
        TFormatChunk chunk;
        const std::string name = UpperCase(text.substr(slash + 1, open - slash - 1));
        const std::string parameter(text.substr(open + 1, close - open - 1));
        if (!ParseCommand(name, parameter, chunk))
            valid = false;
        else if (!excluded.Contains(chunk.Kind))
            chunks.Add(std::move(chunk));
        i = close + 1;
    }
    flush();
    return valid;
}

int DrawFormatChunks(TCanvas& canvas, const TRect& rect, const TFormatChunkList& chunks, bool measureOnly,
                     const TCustomImageList* images, const TProposalColumns* columns)
{
    TFont saved;
    saved.Assign(canvas.Font());
    int column = columns && columns->Count() > 0 ? 0 : -1;
    if (column >= 0)
        canvas.Font().SetStyle(columns->Items(0).DefaultFontStyle);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    int x = rect.Left;
    int columnStart = rect.Left;
    for (const TFormatChunk& chunk : chunks) {
        switch (chunk.Kind) {
        case pcText:
            if (!measureOnly)
                canvas.TextOut(x, rect.Top, chunk.Text);
            x += canvas.TextWidth(chunk.Text);
            break;
        case pcColor:
            if (!measureOnly)
                canvas.Font().SetColor(chunk.Color);
            break;
        case pcStyle:
            ApplyStyle(canvas.Font(), chunk);
            break;
        case pcColumn:
            if (column >= 0) {
                columnStart += canvas.TextWidth(columns->Items(column).BiggestWord + " ");
                // why: a text wider than its column would be overdrawn by the next one
                x = std::max(x, columnStart);
                column = column + 1 < columns->Count() ? column + 1 : -1;
                if (column >= 0)
                    canvas.Font().SetStyle(columns->Items(column).DefaultFontStyle);
            }
            break;
        case pcHSpace:
            x += chunk.Value;
            break;
        case pcImage:
            if (images) {
                if (!measureOnly)
                    images->Draw(canvas, x, rect.Top, chunk.Value);
                x += images->Width();
            }
            break;
        }
        if (chunk.Kind != pcColor && chunk.Kind != pcStyle && chunk.Kind != pcColumn && x > rect.Right)
            break;
    }
    canvas.Font().Assign(saved);
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    return x;
}

void PrettyTextOut(TCanvas& canvas, const TRect& rect, std::string_view text, bool selected,
                   const TCustomImageList* images, const TProposalColumns* columns)
{
    TFormatChunkList chunks;
    ParsePrettyText(text, chunks, selected ? TPrettyCommands{pcColor} : TPrettyCommands{});
    DrawFormatChunks(canvas, rect, chunks, false, images, columns);
}

int PrettyTextWidth(TCanvas& canvas, std::string_view text, const TCustomImageList* images,
                    const TProposalColumns* columns)
{
    TFormatChunkList chunks;
    ParsePrettyText(text, chunks, {pcColor});
    return DrawFormatChunks(canvas, TRect{0, 0, INT_MAX, 0}, chunks, true, images, columns);
}

std::string StripPrettyText(std::string_view text)
{
    TFormatChunkList chunks;
    ParsePrettyText(text, chunks, {pcColor, pcStyle, pcColumn, pcHSpace, pcImage});
    std::string out;
    for (const TFormatChunk& chunk : chunks)
        out += chunk.Text;
    return out;
}

namespace {

struct TParamElement {
    std::string Text;
    bool CommaAfter = false;
};

std::vector<TParamElement> SplitParamList(std::string_view item)
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::vector<TParamElement> elements;
    size_t p = 0;
    while (p < item.size() && blank(item[p]))
        ++p;
    while (p < item.size()) {
        TParamElement element;
        if (item[p] == '"') {
            element.Text = AnsiExtractQuotedStr(item, p, '"');
        } else {
            const size_t start = p;
            while (p < item.size() && !blank(item[p]) && item[p] != ',')
                ++p;
            element.Text = std::string(item.substr(start, p - start));
        }
        while (p < item.size() && blank(item[p]))
            ++p;
        if (p < item.size() && item[p] == ',') {
            element.CommaAfter = true;
            ++p;
            while (p < item.size() && blank(item[p]))
                ++p;
        }
        elements.push_back(std::move(element));
    }
    return elements;
}

} // namespace

std::string FormatParamList(std::string_view item, int currentIndex)
{
    const std::vector<TParamElement> elements = SplitParamList(item);
    std::string out;
    for (size_t i = 0; i < elements.size(); ++i) {
        if (static_cast<int>(i) == currentIndex)
            out += "\\style{~B}" + elements[i].Text + "\\style{~B}";
        else
            out += elements[i].Text;
        if (i + 1 < elements.size())
            out += elements[i].CommaAfter ? ", " : " ";
    }
    return out;
}

int ParamListCount(std::string_view item)
{
    return static_cast<int>(SplitParamList(item).size());
}
