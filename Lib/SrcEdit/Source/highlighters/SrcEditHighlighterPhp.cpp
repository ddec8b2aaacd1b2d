// The PHP highlighter: keyword lookup by letter-value hash, strings with embedded variables,
// comments that run over line ends.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterPhp.h"

#include <array>
#include <vector>

namespace {

constexpr int MaxKeyHash = 235;

constexpr const char* Keywords[] = {
    "abstract", "and", "array", "as", "break", "case", "catch", "cfunction", "class", "clone", "const",
    "continue", "declare", "default", "die", "do", "echo", "else", "elseif", "empty", "enddeclare", "endfor",
    "endforeach", "endif", "endswitch", "endwhile", "eval", "exception", "exit", "extends", "final", "for",
    "foreach", "function", "global", "if", "implements", "include", "include_once", "interface", "isset", "list",
    "new", "old_function", "or", "print", "private", "protected", "public", "require", "require_once", "return",
    "static", "switch", "throw", "try", "unset", "use", "var", "while", "xor", "__CLASS__", "__FILE__",
    "__FUNCTION__", "__LINE__", "__METHOD__", "php_user_filter",
};
static_assert(std::size(Keywords) == 67);

// The two character tables of the unit and the keywords sorted by their hash.
struct TPhpTables {
    std::array<bool, 256> Ident = AsciiWordBytes();
    std::array<unsigned char, 256> Letter = AlphabetPlaces();
    std::array<std::vector<std::string_view>, MaxKeyHash + 1> ByHash;

    TPhpTables()
    {
        Letter['_'] = 31;
        for (const char* word : Keywords) {
            unsigned hash = 0;
            for (const char* p = word; *p; ++p)
                hash += Letter[static_cast<unsigned char>(*p)];
            ByHash.at(hash).emplace_back(word);
        }
    }
};

const TPhpTables& Tables()
{
    static const TPhpTables tables;
    return tables;
}

bool IsIdent(unsigned char c)
{
    return Tables().Ident[c];
}

bool IsNumberByte(unsigned char c)
{
    return (c >= '0' && c <= '9') || c == '.' || c == '-' || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') ||
           c == 'L' || c == 'l' || c == 'X' || c == 'x';
}

[[maybe_unused]] const bool Registered = (RegisterHighlighterClass(TSrcPHPSyn::StaticClass()), true);

} // namespace

const TSrcHighlighterClass& TSrcPHPSyn::StaticClass()
{
    static const TSrcHighlighterClass cls = LanguageClass("TSrcPHPSyn", [] { return std::string("PHP"); });
    return cls;
}

TSrcPHPSyn::TSrcPHPSyn(TComponent* AOwner) : TSrcLineTokenizer(AOwner, BuiltInFilter)
{
    FCommentAttri = AddAttri("Comment", {fsItalic});
    FIdentifierAttri = AddAttri("Identifier");
    FKeyAttri = AddAttri("Reserved Word", {fsBold});
    FNumberAttri = AddAttri("Number");
    FSpaceAttri = AddAttri("Space");
    FStringAttri = AddAttri("String");
    FSymbolAttri = AddAttri("Symbol");
    FVariableAttri = AddAttri("Variable");
    BindAttributeChanges();
    SetRoleAttris({.Comment = FCommentAttri, .Identifier = FIdentifierAttri, .Keyword = FKeyAttri,
                   .String = FStringAttri, .Whitespace = FSpaceAttri, .Symbol = FSymbolAttri});
    Tables();
}

std::string TSrcPHPSyn::SampleText() const
{
    return "// Syntax highlighting\r\n"
           "function printNumber()\r\n"
           "{\r\n"
           "  $number = 1234;\r\n"
           "  print \"The number is $number\";\r\n"
           "  for ($i = 0; $i <= $number; $i++)\r\n"
           "  {\r\n"
           "    $x++;\r\n"
           "    $x--;\r\n"
           "    $x += 1.0;\r\n"
           "  }\r\n"
           "}";
}

TSrcHighlighterAttributes* TSrcPHPSyn::TokenAttri() const
{
    switch (FTokenKind) {
    case tkPhpComment: return FCommentAttri;
    case tkPhpIdentifier:
    case tkPhpUnknown: return FIdentifierAttri;
    case tkPhpKey: return FKeyAttri;
    case tkPhpNumber: return FNumberAttri;
    case tkPhpSpace: return FSpaceAttri;
    case tkPhpString: return FStringAttri;
    case tkPhpSymbol: return FSymbolAttri;
    case tkPhpVariable: return FVariableAttri;
    default: return nullptr;
    }
}

bool TSrcPHPSyn::IsEscaped(size_t pos) const
{
    // invariant: the count stops at line position 1; a backslash at position 0 escapes nothing
    return EscapedByBackslashes(pos, 1);
}

TPhpTokenKind TSrcPHPSyn::IdentKind()
{
    const TPhpTables& tables = Tables();
    const size_t start = FRun;
    unsigned hash = 0;
    while (tables.Ident[At(FRun)])
        hash += tables.Letter[At(FRun++)];
    if (hash > MaxKeyHash)
        return tkPhpIdentifier;
    const std::string_view word = FLine.substr(start, FRun - start);
    for (const std::string_view keyword : tables.ByHash[hash])
        if (SameValues(keyword, word, tables.Letter))
            return tkPhpKey;
    return tkPhpIdentifier;
}

void TSrcPHPSyn::AdvanceToken()
{
    FTokenPos = FRun;
    switch (FRange) {
    case rsPhpString39:
    case rsPhpString34: return StringProc();
    case rsPhpComment: return BlockCommentProc();
    case rsPhpVarExpansion: return VarExpansionProc();
    default: FRange = rsPhpUnknown; break;
    }
    const unsigned char c = At(FRun);
    switch (c) {
    case 0: FTokenKind = tkPhpNull; return;
    case '\n':
    case '\r': return LineBreakProc();
    case '$': return VariableProc();
    case '#': return LineCommentProc();
    case '/': return SlashProc();
    case '\'':
        FRange = rsPhpString39;
        ++FRun;
        return StringProc();
    case '"':
        FRange = rsPhpString34;
        ++FRun;
        return StringProc();
    case '!':
    case '%':
    case '*':
    case '^': return SymbolProc(At(FRun + 1) == '=' ? 2 : 1);
    case '&': return SymbolProc(At(FRun + 1) == '&' || At(FRun + 1) == '=' ? 2 : 1);
    case '|': return SymbolProc(At(FRun + 1) == '|' || At(FRun + 1) == '=' ? 2 : 1);
    case '+': return SymbolProc(At(FRun + 1) == '+' || At(FRun + 1) == '=' ? 2 : 1);
    case '-': return SymbolProc(At(FRun + 1) == '-' || At(FRun + 1) == '=' || At(FRun + 1) == '>' ? 2 : 1);
    case '=': return SymbolProc(At(FRun + 1) == '=' || At(FRun + 1) == '>' ? 2 : 1);
    case '>': return SymbolProc(At(FRun + 1) == '=' || At(FRun + 1) == '>' ? 2 : 1);
    case '<':
        if (At(FRun + 1) == '<')
            return SymbolProc(At(FRun + 2) == '=' ? 3 : 2);
        return SymbolProc(At(FRun + 1) == '=' ? 2 : 1);
    case '(':
    case ')':
    case ',':
    case '.':
    case ':':
    case ';':
    case '?':
    case '[':
    case ']':
    case '{':
    case '}':
    case '~':
    case '@': return SymbolProc(1);
    default: break;
    }
    if (IsSpaceByte(c))
        return SpaceProc();
    if (IsDigit(c))
        return NumberProc();
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') {
        FTokenKind = IdentKind();
        return;
    }
    UnknownProc();
}

void TSrcPHPSyn::SpaceProc()
{
    FTokenKind = tkPhpSpace;
    SkipSpaces();
}

bool TSrcPHPSyn::LineEndProc()
{
    if (FRun != FTokenPos || !IsLineEnd(At(FRun)))
        return false;
    if (At(FRun) == 0)
        FTokenKind = tkPhpNull;
    else
        LineBreakProc();
    return true;
}

void TSrcPHPSyn::NumberProc()
{
    FTokenKind = tkPhpNumber;
    ++FRun;
    while (IsNumberByte(At(FRun)) && !(At(FRun) == '.' && At(FRun + 1) == '.'))
        ++FRun;
}

void TSrcPHPSyn::VariableProc()
{
    FTokenKind = tkPhpVariable;
    ++FRun;
    while (IsIdent(At(FRun)))
        ++FRun;
}

void TSrcPHPSyn::LineCommentProc()
{
    FTokenKind = tkPhpComment;
    while (!IsLineEnd(At(FRun)))
        ++FRun;
}

void TSrcPHPSyn::SlashProc()
{
    switch (At(FRun + 1)) {
    case '*':
        FRange = rsPhpComment;
        FRun += 2;
        return BlockCommentProc();
    case '/': return LineCommentProc();
    case '=': return SymbolProc(2);
    default: return SymbolProc(1);
    }
}

void TSrcPHPSyn::BlockCommentProc()
{
    if (LineEndProc())
        return;
    FTokenKind = tkPhpComment;
    while (!IsLineEnd(At(FRun))) {
        if (At(FRun) == '*' && At(FRun + 1) == '/') {
            FRun += 2;
            FRange = rsPhpUnknown;
            return;
        }
        ++FRun;
    }
}

void TSrcPHPSyn::StringProc()
{
    if (LineEndProc())
        return;
    FTokenKind = tkPhpString;
    const unsigned char quote = FRange == rsPhpString39 ? '\'' : '"';
    unsigned char c;
    while (!IsLineEnd(c = At(FRun))) {
        if (c == quote && !IsEscaped(FRun))
            break;
        if (FRange == rsPhpString34 && c == '$' && (At(FRun + 1) == '{' || IsIdent(At(FRun + 1)))) {
            size_t varStart = FRun;
            if (FRun >= 2 && FRun - 1 >= FTokenPos && At(FRun - 1) == '{')
                varStart = FRun - 1;
            if (!IsEscaped(varStart)) {
                FRange = rsPhpVarExpansion;
                FRun = varStart;
                // why: a variable right at the token start gets no empty string token before it
                if (FRun == FTokenPos)
                    VarExpansionProc();
                return;
            }
        }
        ++FRun;
    }
    if (c == quote)
        FRange = rsPhpUnknown;
    if (c != 0)
        ++FRun;
}

void TSrcPHPSyn::VarExpansionProc()
{
    FRange = rsPhpString34;
    const unsigned char c = At(FRun);
    if (c == '{' || (c == '$' && At(FRun + 1) == '{')) {
        FTokenKind = tkPhpVariable;
        size_t p = c == '{' ? FRun : FRun + 1;
        int depth = 0;
        for (unsigned char b; !IsLineEnd(b = At(p)); ++p) {
            if (b == '{') {
                ++depth;
            } else if (b == '}' && --depth == 0) {
                ++p;
                break;
            }
        }
        FRun = p;
        return;
    }
    if (c != '$')
        return StringProc(); // why: a restored range 4 away from a variable reads as string text
    FTokenKind = tkPhpVariable;
    ++FRun;
    while (IsIdent(At(FRun)))
        ++FRun;
    for (;;) {
        if (At(FRun) == '[' && At(FRun + 1) == '\'') {
            size_t p = FRun + 2;
            while (!IsLineEnd(At(p)) && At(p) != '\'')
                ++p;
            if (At(p) != '\'' || At(p + 1) != ']')
                break;
            FRun = p + 2;
        } else if (At(FRun) == '[' && IsIdent(At(FRun + 1))) {
            size_t p = FRun;
            int open = 0;
            while (At(p) == '[' && IsIdent(At(p + 1))) {
                ++p;
                while (IsIdent(At(p)))
                    ++p;
                ++open;
            }
            while (open > 0 && At(p) == ']') {
                ++p;
                --open;
            }
            if (open != 0)
                break;
            FRun = p;
        } else if (At(FRun) == '-' && At(FRun + 1) == '>' && IsIdent(At(FRun + 2))) {
            FRun += 2;
            while (IsIdent(At(FRun)))
                ++FRun;
        } else {
            break;
        }
    }
}

void TSrcPHPSyn::UnknownProc()
{
    FTokenKind = tkPhpUnknown;
    SkipChar();
}
