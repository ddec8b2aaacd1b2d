// Backward scans of the text before the caret.

#include "code/zuCodeContext.h"

#include "Platform/text/TextChars.h"

#include <algorithm>
#include <cstring>

namespace {

// Walks the text backwards from the caret: the caret line's characters before the caret, then
// each line above from its end.
class TBackScan {
public:
    TBackScan(const TStrings& lines, TBufferCoord caret) : FLines(lines)
    {
        const int count = lines.Count();
        if (count == 0)
            return;
        FLine = std::clamp(caret.LineNumber - 1, 0, count - 1);
        FText = lines.Get(FLine);
        FPos = caret.LineNumber - 1 < count ? std::min(static_cast<size_t>(std::max(caret.CharIndex - 1, 0)), FText.size())
                                            : FText.size();
        FCaretLine = FLine;
        FCaretPos = FPos;
    }

    // Steps to the character before; false at the start of the text.
    bool Prev()
    {
        while (FPos == 0) {
            if (FLine <= 0)
                return false;
            --FLine;
            FText = FLines.Get(FLine);
            FPos = FText.size();
        }
        --FPos;
        return true;
    }
    // Steps back over blanks (characters up to the blank); false at the start of the text.
    bool PrevNonBlank()
    {
        while (Prev())
            if (!IsBlank(Char()))
                return true;
        return false;
    }
    char Char() const { return FText[FPos]; }
    // The line the current character stands in, and its byte index there.
    const std::string& Text() const { return FText; }
    size_t Pos() const { return FPos; }
    // Where the text before the caret ends in the current line.
    size_t End() const { return FLine == FCaretLine ? FCaretPos : FText.size(); }

    static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

private:
    const TStrings& FLines;
    int FLine = 0;
    std::string FText;
    size_t FPos = 0;
    int FCaretLine = 0;
    size_t FCaretPos = 0;
};

// The run of identifier characters (and "-" when `dashes`) that ends at the scan's character,
// within its line.
std::string WordEndingAt(const TBackScan& scan, bool dashes)
{
    const std::string& text = scan.Text();
    size_t start = scan.Pos() + 1;
    while (start > 0) {
        const auto c = static_cast<unsigned char>(text[start - 1]);
        if (!TextChars::IsIdentChar(c) && !(dashes && c == '-'))
            break;
        --start;
    }
    return text.substr(start, scan.Pos() + 1 - start);
}

// At a "<": the tag name after it, or none when a blank, "!", "%", "/" or "?" follows.
std::optional<std::string> TagNameAfter(const TBackScan& scan)
{
    const std::string& text = scan.Text();
    const size_t first = scan.Pos() + 1;
    if (first >= scan.End() || TBackScan::IsBlank(text[first]) || std::strchr("!%/?", text[first]))
        return std::nullopt;
    // why: the name ends at the caret or where a name character does not follow; up to the
    // next blank or ">" it would take in the text after the caret ("<br" typed before "</div>"
    // is not "br</div")
    const size_t limit = scan.End();
    size_t end = first;
    while (end < limit &&
           (TextChars::IsIdentChar(static_cast<unsigned char>(text[end])) || std::strchr("-:.", text[end])))
        ++end;
    if (end == first)
        return std::nullopt;
    return text.substr(first, end - first);
}

} // namespace

std::optional<std::string> OpenTagAt(const TStrings& lines, TBufferCoord caret)
{
    TBackScan scan(lines, caret);
    while (scan.Prev()) {
        if (scan.Char() == '>')
            return std::nullopt;
        if (scan.Char() == '<')
            return TagNameAfter(scan);
    }
    return std::nullopt;
}

bool InsideCSSValue(const TStrings& lines, TBufferCoord caret)
{
    TBackScan scan(lines, caret);
    while (scan.Prev()) {
        switch (scan.Char()) {
        case '{':
            return true;
        case '>':
        case '}':
            return false;
        case '=': {
            const std::string& text = scan.Text();
            size_t next = scan.Pos() + 1;
            while (next < text.size() && TBackScan::IsBlank(text[next]))
                ++next;
            if (next < text.size() && (text[next] == '"' || text[next] == '\''))
                return true;
            break;
        }
        default:
            break;
        }
    }
    return false;
}

TCSSRequest ScanCSSRequest(const TStrings& lines, TBufferCoord caret)
{
    TBackScan scan(lines, caret);
    while (scan.Prev()) {
        switch (scan.Char()) {
        case '"':
        case '\'':
        case ';':
        case '{':
            return {TCSSRequest::ckProperty, {}};
        case ':': {
            TCSSRequest request{TCSSRequest::ckValue, {}};
            // why: CSS names hold dashes; the whole name is the property ("border-left", not "left")
            if (scan.PrevNonBlank())
                request.Property = WordEndingAt(scan, true);
            return request;
        }
        case '>':
            return {};
        default:
            break;
        }
    }
    return {};
}

THTMLRequest ScanHTMLRequest(const TStrings& lines, TBufferCoord caret)
{
    THTMLRequest request;
    TBackScan scan(lines, caret);
    while (scan.Prev()) {
        const char c = scan.Char();
        if ((c == '"' || c == '\'') && request.Kind == THTMLRequest::hkNone) {
            TBackScan before = scan;
            if (before.PrevNonBlank() && before.Char() == '=') {
                request.Kind = THTMLRequest::hkAttributeValues;
                if (before.PrevNonBlank())
                    request.Attribute = WordEndingAt(before, true);
            } else {
                request.Kind = THTMLRequest::hkAttributeNames;
            }
        } else if (c == '<') {
            const std::optional<std::string> tag = TagNameAfter(scan);
            if (!tag)
                return {};
            request.Tag = *tag;
            if (request.Kind == THTMLRequest::hkNone)
                request.Kind = THTMLRequest::hkAttributeNames;
            return request;
        } else if (c == '>') {
            return {THTMLRequest::hkTags, {}, {}};
        }
    }
    return {};
}

std::optional<TCallAt> CallAt(const TStrings& lines, TBufferCoord caret)
{
    TBackScan scan(lines, caret);
    int depth = 0;
    int index = 2;
    while (scan.Prev()) {
        switch (scan.Char()) {
        case ')':
            --depth;
            break;
        case '(':
            if (depth == 0) {
                TBackScan name = scan;
                if (!name.PrevNonBlank())
                    return std::nullopt;
                TCallAt call{WordEndingAt(name, false), index};
                if (call.Name.empty())
                    return std::nullopt;
                return call;
            }
            ++depth;
            break;
        case ',':
            if (depth == 0)
                ++index;
            break;
        case ';':
            return std::nullopt;
        default:
            break;
        }
    }
    return std::nullopt;
}
