// The HTML highlighter: tag names looked up by letter-value hash, entities, comments and quoted
// values that run over line ends.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterHtml.h"

#include <array>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace {

constexpr unsigned MaxTagHash = 250;
constexpr size_t LongestEntity = 10; // "&thetasym;"

struct THtmlTables {
    std::array<unsigned char, 256> Letter = AlphabetPlaces();
    std::array<std::vector<std::string_view>, MaxTagHash + 1> TagsByHash;
    std::unordered_map<std::string_view, int> EntityIndex;

    THtmlTables()
    {
        Letter['/'] = 122;
        Letter['!'] = 123;
        for (const char* name : SrcHtmlTables::TagNames()) {
            unsigned hash = 0;
            for (const char* p = name; *p; ++p) {
                const unsigned char c = static_cast<unsigned char>(*p);
                hash += c >= '0' && c <= '9' ? static_cast<unsigned>(c - '0') : Letter[c];
            }
            TagsByHash.at(hash).emplace_back(name);
        }
        const auto entities = SrcHtmlTables::Entities();
        for (size_t i = 0; i < entities.size(); ++i)
            EntityIndex.emplace(entities[i], static_cast<int>(i));
    }
};

const THtmlTables& Tables()
{
    static const THtmlTables tables;
    return tables;
}

bool IsTagNameByte(unsigned char c)
{
    return c == '!' || c == '/' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

[[maybe_unused]] const bool Registered = (RegisterHighlighterClass(TSrcHTMLSyn::StaticClass()), true);

} // namespace

const TSrcHighlighterClass& TSrcHTMLSyn::StaticClass()
{
    static const TSrcHighlighterClass cls = LanguageClass("TSrcHTMLSyn", [] { return std::string("HTML"); });
    return cls;
}

TSrcHTMLSyn::TSrcHTMLSyn(TComponent* AOwner) : TSrcLineTokenizer(AOwner, BuiltInFilter)
{
    FCommentAttri = AddAttri("Comment");
    FIdentifierAttri = AddAttri("Identifier", {fsBold});
    FKeyAttri = AddAttri("Reserved Word", {fsBold}, static_cast<TColor>(0x00FF0080));
    FSpaceAttri = AddAttri("Space");
    FSymbolAttri = AddAttri("Symbol", {fsBold});
    FTextAttri = AddAttri("Text");
    FUndefKeyAttri = AddAttri("Unknown Word", {fsBold}, static_cast<TColor>(255));
    FValueAttri = AddAttri("Value", {}, static_cast<TColor>(0x00FF8000));
    FAndAttri = AddAttri("Escape Ampersand", {fsBold}, static_cast<TColor>(65280));
    BindAttributeChanges();
    SetRoleAttris({.Comment = FCommentAttri, .Identifier = FIdentifierAttri, .Keyword = FKeyAttri,
                   .Whitespace = FSpaceAttri, .Symbol = FSymbolAttri});
    Tables();
}

std::string TSrcHTMLSyn::SampleText() const
{
    return "<!-- Syntax highlighting -->\r\n"
           "\r\n"
           "<html>\r\n"
           "<body bgcolor=\"red\">\r\n"
           "  <form name=\"frmLogin\" action=\"doSomething.asp\">\r\n"
           "    <input name=\"user\" value='any\r\n"
           "      value'>\r\n"
           "  </form>\r\n"
           "  <invalid>Sample HTML code &copy; 2001</invalid>\r\n"
           "</body>\r\n"
           "</html>";
}

TSrcHighlighterAttributes* TSrcHTMLSyn::TokenAttri() const
{
    switch (FTokenKind) {
    case tkHtmlAmpersand: return FAndAttri;
    case tkHtmlComment: return FCommentAttri;
    case tkHtmlIdentifier: return FIdentifierAttri;
    case tkHtmlKey: return FKeyAttri;
    case tkHtmlSpace: return FSpaceAttri;
    case tkHtmlSymbol: return FSymbolAttri;
    case tkHtmlText: return FTextAttri;
    case tkHtmlUndefKey: return FUndefKeyAttri;
    case tkHtmlValue: return FValueAttri;
    default: return nullptr;
    }
}

void TSrcHTMLSyn::AdvanceToken()
{
    FTokenPos = FRun;
    switch (FRange) {
    case rsHtmlComment: return CommentProc();
    case rsHtmlText: return TextProc();
    case rsHtmlQuoteValue:
    case rsHtmlDoubleQuoteValue:
        if (IsLineEnd(At(FRun)))
            return Dispatch(At(FRun));
        return QuotedValueProc();
    default: return Dispatch(At(FRun));
    }
}

void TSrcHTMLSyn::Dispatch(unsigned char c)
{
    switch (c) {
    case 0: FTokenKind = tkHtmlNull; return;
    case '\n':
    case '\r': return LineBreakProc();
    case '<': return LessThanProc();
    case '>': return SymbolProc(rsHtmlText);
    case '=': return SymbolProc(rsHtmlValue);
    case '"':
    case '\'':
        if (FRange == rsHtmlValue)
            return QuotedValueProc();
        return NameProc();
    case '&': return AmpersandProc();
    default:
        if (c <= 32)
            return SpaceProc();
        return NameProc();
    }
}

void TSrcHTMLSyn::SpaceProc()
{
    FTokenKind = tkHtmlSpace;
    ++FRun;
    // why: a TAB does not continue a run of blanks; it starts a space token of its own
    for (unsigned char c; (c = At(FRun)) != 0 && c <= 32 && c != '\t' && c != '\n' && c != '\r';)
        ++FRun;
}

void TSrcHTMLSyn::LessThanProc()
{
    if (At(FRun + 1) == '!' && At(FRun + 2) == '-' && At(FRun + 3) == '-') {
        FTokenKind = tkHtmlComment;
        FRun += 4;
        FRange = rsHtmlComment;
        return;
    }
    SymbolProc(rsHtmlKey);
}

void TSrcHTMLSyn::SymbolProc(THtmlRangeState next)
{
    FTokenKind = tkHtmlSymbol;
    ++FRun;
    FRange = next;
}

void TSrcHTMLSyn::AmpersandProc()
{
    switch (FRange) {
    case rsHtmlAmpersand:
        if (FEntityIndex >= 0) {
            FTokenKind = tkHtmlAmpersand;
            FRun += std::strlen(SrcHtmlTables::Entities()[static_cast<size_t>(FEntityIndex)]);
        } else {
            ++FRun;
            if (At(FRun) == '#')
                ++FRun;
            if (At(FRun) == 'x' || At(FRun) == 'X') {
                ++FRun;
                while (IsHexDigit(At(FRun)))
                    ++FRun;
            } else {
                while (IsDigit(At(FRun)))
                    ++FRun;
            }
            FTokenKind = At(FRun) == ';' ? tkHtmlAmpersand : tkHtmlText;
            if (At(FRun) == ';')
                ++FRun;
        }
        FEntityIndex = -1;
        FRange = rsHtmlText;
        return;
    case rsHtmlKey:
        FTokenKind = tkHtmlText;
        ++FRun;
        FRange = rsHtmlText;
        return;
    default: return NameProc();
    }
}

void TSrcHTMLSyn::NameProc()
{
    switch (FRange) {
    case rsHtmlKey: return TagNameProc();
    case rsHtmlValue:
        FTokenKind = tkHtmlValue;
        ++FRun;
        while (At(FRun) > 32 && At(FRun) != '>')
            ++FRun;
        FRange = rsHtmlParam;
        return;
    default:
        FTokenKind = tkHtmlIdentifier;
        ++FRun;
        for (unsigned char c; (c = At(FRun)) > 32 && c != '"' && c != '=' && c != '>';)
            ++FRun;
        return;
    }
}

void TSrcHTMLSyn::TagNameProc()
{
    const THtmlTables& tables = Tables();
    const size_t start = FRun;
    unsigned hash = 0;
    while (IsTagNameByte(At(FRun)))
        hash += tables.Letter[At(FRun++)];
    while (IsDigit(At(FRun)))
        hash += At(FRun++) - '0';
    FRange = rsHtmlParam;
    const size_t length = FRun - start;
    if (length == 0)
        return NameProc(); // why: a tag without a name gets no empty token; its bytes are attribute text
    if (hash > MaxTagHash) {
        FTokenKind = tkHtmlIdentifier;
        return;
    }
    FTokenKind = tkHtmlUndefKey;
    const std::string_view name = FLine.substr(start, length);
    for (const std::string_view tag : tables.TagsByHash[hash]) {
        if (SameValues(tag, name, tables.Letter)) {
            FTokenKind = tkHtmlKey;
            return;
        }
    }
}

void TSrcHTMLSyn::QuotedValueProc()
{
    unsigned char quote;
    if (FRange == rsHtmlValue) {
        quote = At(FRun);
        FRange = quote == '"' ? rsHtmlDoubleQuoteValue : rsHtmlQuoteValue;
        ++FRun;
    } else {
        quote = FRange == rsHtmlDoubleQuoteValue ? '"' : '\'';
    }
    FTokenKind = tkHtmlValue;
    for (unsigned char c; !IsLineEnd(c = At(FRun));) {
        ++FRun;
        if (c == quote) {
            FRange = rsHtmlParam;
            return;
        }
    }
}

void TSrcHTMLSyn::CommentProc()
{
    if (IsLineEnd(At(FRun)))
        return Dispatch(At(FRun));
    FTokenKind = tkHtmlComment;
    for (unsigned char c; !IsLineEnd(c = At(FRun));) {
        ++FRun;
        // invariant: the dashes may be those of the opening "<!--", so "<!-->" is a whole comment
        if (c == '>' && FRun >= 3 && At(FRun - 2) == '-' && At(FRun - 3) == '-') {
            FRange = rsHtmlText;
            return;
        }
    }
}

int TSrcHTMLSyn::EntityAt(size_t pos) const
{
    const size_t end = FLine.find(';', pos);
    if (end == std::string_view::npos || end - pos + 1 > LongestEntity)
        return -1;
    const auto& index = Tables().EntityIndex;
    const auto found = index.find(FLine.substr(pos, end - pos + 1));
    return found == index.end() ? -1 : found->second;
}

void TSrcHTMLSyn::TextProc()
{
    if (At(FRun) < 32 || At(FRun) == '<')
        return Dispatch(At(FRun));
    FTokenKind = tkHtmlText;
    for (unsigned char c; (c = At(FRun)) >= 32 && c != '<';) {
        if (c != '&') {
            ++FRun;
            continue;
        }
        if (At(FRun + 1) == '#') {
            size_t p = FRun + 2;
            const bool hex = At(p) == 'x' || At(p) == 'X';
            if (hex)
                ++p;
            const size_t digits = p;
            while (hex ? IsHexDigit(At(p)) : IsDigit(At(p)))
                ++p;
            if (p > digits && At(p) == ';') {
                FRange = rsHtmlAmpersand;
                break;
            }
            FRun = p;
            return;
        }
        FEntityIndex = EntityAt(FRun);
        if (FEntityIndex >= 0) {
            FRange = rsHtmlAmpersand;
            break;
        }
        ++FRun;
    }
    // why: text that starts with an entity gets no empty text token before it
    if (FRun == FTokenPos && FRange == rsHtmlAmpersand)
        AmpersandProc();
}
