// The Python highlighter: a dispatch on the first byte of a token, a number scan that tells
// notations apart, and strings that continue over lines.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterPython.h"

#include <array>
#include <iterator>

namespace {

using K = TPythonTokenKind;

constexpr TPythonKeyword KeywordList[] = {
    {"and", K::tkKey}, {"assert", K::tkKey}, {"break", K::tkKey}, {"class", K::tkKey}, {"continue", K::tkKey},
    {"def", K::tkKey}, {"del", K::tkKey}, {"elif", K::tkKey}, {"else", K::tkKey}, {"except", K::tkKey},
    {"exec", K::tkKey}, {"finally", K::tkKey}, {"for", K::tkKey}, {"from", K::tkKey}, {"global", K::tkKey},
    {"if", K::tkKey}, {"import", K::tkKey}, {"in", K::tkKey}, {"is", K::tkKey}, {"lambda", K::tkKey},
    {"not", K::tkKey}, {"or", K::tkKey}, {"pass", K::tkKey}, {"print", K::tkKey}, {"raise", K::tkKey},
    {"return", K::tkKey}, {"try", K::tkKey}, {"while", K::tkKey}, {"yield", K::tkKey},

    {"__future__", K::tkNonKeyword}, {"__import__", K::tkNonKeyword}, {"abs", K::tkNonKeyword},
    {"apply", K::tkNonKeyword}, {"as", K::tkNonKeyword}, {"buffer", K::tkNonKeyword},
    {"callable", K::tkNonKeyword}, {"chr", K::tkNonKeyword}, {"cmp", K::tkNonKeyword},
    {"coerce", K::tkNonKeyword}, {"compile", K::tkNonKeyword}, {"complex", K::tkNonKeyword},
    {"delattr", K::tkNonKeyword}, {"dict", K::tkNonKeyword}, {"dir", K::tkNonKeyword},
    {"divmod", K::tkNonKeyword}, {"eval", K::tkNonKeyword}, {"execfile", K::tkNonKeyword},
    {"False", K::tkNonKeyword}, {"file", K::tkNonKeyword}, {"filter", K::tkNonKeyword},
    {"float", K::tkNonKeyword}, {"getattr", K::tkNonKeyword}, {"globals", K::tkNonKeyword},
    {"hasattr", K::tkNonKeyword}, {"hash", K::tkNonKeyword}, {"help", K::tkNonKeyword},
    {"hex", K::tkNonKeyword}, {"id", K::tkNonKeyword}, {"input", K::tkNonKeyword}, {"int", K::tkNonKeyword},
    {"intern", K::tkNonKeyword}, {"isinstance", K::tkNonKeyword}, {"issubclass", K::tkNonKeyword},
    {"iter", K::tkNonKeyword}, {"len", K::tkNonKeyword}, {"list", K::tkNonKeyword},
    {"locals", K::tkNonKeyword}, {"long", K::tkNonKeyword}, {"None", K::tkNonKeyword},
    {"NotImplemented", K::tkNonKeyword}, {"map", K::tkNonKeyword}, {"max", K::tkNonKeyword},
    {"min", K::tkNonKeyword}, {"oct", K::tkNonKeyword}, {"open", K::tkNonKeyword}, {"ord", K::tkNonKeyword},
    {"pow", K::tkNonKeyword}, {"range", K::tkNonKeyword}, {"raw_input", K::tkNonKeyword},
    {"reduce", K::tkNonKeyword}, {"reload", K::tkNonKeyword}, {"repr", K::tkNonKeyword},
    {"round", K::tkNonKeyword}, {"self", K::tkNonKeyword}, {"setattr", K::tkNonKeyword},
    {"slice", K::tkNonKeyword}, {"str", K::tkNonKeyword}, {"True", K::tkNonKeyword},
    {"tuple", K::tkNonKeyword}, {"type", K::tkNonKeyword}, {"unichr", K::tkNonKeyword},
    {"unicode", K::tkNonKeyword}, {"vars", K::tkNonKeyword}, {"xrange", K::tkNonKeyword},
    {"zip", K::tkNonKeyword},
};
static_assert(std::size(KeywordList) == 29 + 66);

constexpr std::array<bool, 256> WordBytes = AsciiWordBytes();

bool IsLetter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsQuote(unsigned char c)
{
    return c == '\'' || c == '"';
}

[[maybe_unused]] const bool Registered = (RegisterHighlighterClass(TSrcPythonSyn::StaticClass()), true);

} // namespace

TSrcPythonSyn::TSrcPythonSyn(TComponent* AOwner) : TSrcLineTokenizer(AOwner, BuiltInFilter)
{
    FCommentAttri = AddAttri("Comment", {fsItalic}, clGray);
    FIdentifierAttri = AddAttri("Identifier");
    FKeyAttri = AddAttri("Reserved Word", {fsBold});
    FNonKeyAttri = AddAttri("Non-reserved Keyword", {fsBold}, clNavy);
    FSystemAttri = AddAttri("System Functions and Variables", {fsBold});
    FNumberAttri = AddAttri("Number", {}, clBlue);
    FHexAttri = AddAttri("Hexadecimal", {}, clBlue);
    FOctalAttri = AddAttri("Octal", {}, clBlue);
    FFloatAttri = AddAttri("Float", {}, clBlue);
    FSpaceAttri = AddAttri("Space");
    FStringAttri = AddAttri("String", {}, clBlue);
    FDocStringAttri = AddAttri("Documentation", {}, clTeal);
    FSymbolAttri = AddAttri("Symbol");
    FErrorAttri = AddAttri("Syntax Error", {}, clRed);
    BindAttributeChanges();
    SetRoleAttris({.Comment = FCommentAttri, .Keyword = FKeyAttri, .Whitespace = FSpaceAttri, .Symbol = FSymbolAttri});
    for (const TPythonKeyword& keyword : PythonKeywordList())
        FWords.emplace(keyword.Word, keyword.Kind);
}

const TSrcHighlighterClass& TSrcPythonSyn::StaticClass()
{
    static const TSrcHighlighterClass cls = LanguageClass("TSrcPythonSyn", [] { return std::string("Python"); });
    return cls;
}

std::span<const TPythonKeyword> TSrcPythonSyn::PythonKeywordList()
{
    return KeywordList;
}

std::string TSrcPythonSyn::SampleText() const
{
    return "#!/usr/local/bin/python\r\n"
           "import string, sys\r\n"
           "\"\"\" If no arguments were given, print a helpful message \"\"\"\r\n"
           "if len(sys.argv)==1:\r\n"
           "    print 'Usage: celsius temp1 temp2 ...'\r\n"
           "    sys.exit(0)";
}

TSrcHighlighterAttributes* TSrcPythonSyn::TokenAttri() const
{
    switch (FTokenKind) {
    case K::tkComment: return FCommentAttri;
    case K::tkIdentifier: return FIdentifierAttri;
    case K::tkKey: return FKeyAttri;
    case K::tkNumber: return FNumberAttri;
    case K::tkSpace: return FSpaceAttri;
    case K::tkString: return FStringAttri;
    case K::tkSymbol: return FSymbolAttri;
    case K::tkNonKeyword: return FNonKeyAttri;
    case K::tkTripleQuotedString: return FDocStringAttri;
    case K::tkSystemDefined: return FSystemAttri;
    case K::tkHex: return FHexAttri;
    case K::tkOct: return FOctalAttri;
    case K::tkFloat: return FFloatAttri;
    case K::tkUnknown: return FErrorAttri;
    case K::tkNull: break;
    }
    return nullptr;
}

void TSrcPythonSyn::RestoreRange(TSrcRange range)
{
    // invariant: values CurrentRange did not return fall back to the start state
    FRange = range >= rsPyNormal && range <= rsPyContinuedDouble ? range : rsPyNormal;
}

void TSrcPythonSyn::AdvanceToken()
{
    FTokenPos = FRun;
    const unsigned char c = At(FRun);
    if (c == 0) {
        FTokenKind = K::tkNull;
        return;
    }
    if (c == 10 || c == 13) {
        FTokenKind = K::tkSpace;
        SkipLineBreak();
        return;
    }
    switch (FRange) {
    case rsPyTripleSingle: return ScanTripleRest('\'');
    case rsPyTripleDouble: return ScanTripleRest('"');
    case rsPyContinuedSingle: return ScanContinuedRest('\'');
    case rsPyContinuedDouble: return ScanContinuedRest('"');
    default: break;
    }
    const unsigned char next = At(FRun + 1);
    if (IsSpaceByte(c)) {
        FTokenKind = K::tkSpace;
        SkipSpaces();
    } else if (c == '#') {
        FTokenKind = K::tkComment;
        while (!IsLineEnd(At(FRun)))
            ++FRun;
    } else if (IsQuote(c)) {
        ScanString(c);
    } else if ((c == 'R' || c == 'r') && IsQuote(next)) {
        ++FRun;
        ScanString(next);
    } else if ((c == 'U' || c == 'u') && (next == 'R' || next == 'r') && IsQuote(At(FRun + 2))) {
        FRun += 2;
        ScanString(At(FRun));
    } else if ((c == 'U' || c == 'u') && IsQuote(next)) {
        ++FRun;
        ScanString(next);
    } else if (IsLetter(c) || c == '_') {
        FTokenKind = ClassifyIdentifier(FRun);
        FRun += FIdentifierLength;
    } else if (c == '.' || IsDigit(c)) {
        ScanNumber();
    } else if (c == '$' || c == '?' || c == '@' || c >= 127) {
        FTokenKind = K::tkUnknown;
        SkipChar();
    } else {
        FTokenKind = K::tkSymbol;
        FRun += (c == '<' && (next == '=' || next == '>')) || (c == '>' && next == '=') ? 2 : 1;
    }
}

TPythonTokenKind TSrcPythonSyn::ClassifyIdentifier(size_t pos)
{
    size_t end = pos;
    while (WordBytes[At(end)])
        ++end;
    FIdentifierLength = end - pos;
    const std::string_view word = FLine.substr(pos, FIdentifierLength);
    if (const auto found = FWords.find(word); found != FWords.end())
        return found->second;
    // why: "__init__" and the like are the language's own names; "____" and "___x___" are not
    const size_t n = word.size();
    if (n > 4 && word.starts_with("__") && word[2] != '_' && word.ends_with("__") && word[n - 3] != '_')
        return K::tkSystemDefined;
    return K::tkIdentifier;
}

// A string opened by `quote` at the scan position (its prefix, if any, already in the token).
void TSrcPythonSyn::ScanString(unsigned char quote)
{
    if (At(FRun + 1) == quote && At(FRun + 2) == quote) {
        FRun += 3;
        FRange = quote == '\'' ? rsPyTripleSingle : rsPyTripleDouble;
        return ScanTripleRest(quote);
    }
    FTokenKind = K::tkString;
    ++FRun;
    for (unsigned char c = At(FRun); !IsLineEnd(c); c = At(FRun)) {
        ++FRun;
        if (c == quote && !EscapedByBackslashes(FRun - 1))
            return;
    }
    // invariant: the closing quote travels in the range, never in the instance alone
    if (At(FRun - 1) == '\\')
        FRange = quote == '\'' ? rsPyContinuedSingle : rsPyContinuedDouble;
}

// The body of a triple-quoted string up to its three closing quotes or the line end.
void TSrcPythonSyn::ScanTripleRest(unsigned char quote)
{
    FTokenKind = K::tkTripleQuotedString;
    for (unsigned char c = At(FRun); !IsLineEnd(c); c = At(FRun)) {
        if (c == '\\' && At(FRun + 1) == quote && !EscapedByBackslashes(FRun)) {
            FRun += 2;
        } else if (c == quote && At(FRun + 1) == quote && At(FRun + 2) == quote) {
            FRun += 3;
            FRange = rsPyNormal;
            return;
        } else {
            ++FRun;
        }
    }
}

// A one-quote string that the previous line continued with a backslash.
void TSrcPythonSyn::ScanContinuedRest(unsigned char quote)
{
    FTokenKind = K::tkString;
    for (unsigned char c = At(FRun); !IsLineEnd(c); c = At(FRun)) {
        ++FRun;
        if (c == quote && !EscapedByBackslashes(FRun - 1)) {
            FRange = rsPyNormal;
            return;
        }
    }
    if (At(FRun - 1) != '\\')
        FRange = rsPyNormal;
}

void TSrcPythonSyn::TakeBadNumber()
{
    FTokenKind = K::tkUnknown;
    for (unsigned char c = At(FRun); WordBytes[c] || c == '.'; c = At(FRun))
        ++FRun;
}

// The notations: decimal, hexadecimal ("0x"), octal ("0" and octal digits), float (a fraction,
// an exponent or 'j'), each possibly ended by 'L'; anything else that runs on is a bad number.
void TSrcPythonSyn::ScanNumber()
{
    enum class S { Start, AfterDot, FloatNeeded, Hex, Octal, Exponent };
    S state = S::Start;
    FTokenKind = K::tkNumber;
    const unsigned char first = At(FRun++);
    if (first == '.') {
        if (!IsDigit(At(FRun))) {
            FTokenKind = K::tkSymbol;
            if (At(FRun) == '.' && At(FRun + 1) == '.')
                FRun += 2;
            return;
        }
        ++FRun;
        FTokenKind = K::tkFloat;
        state = S::AfterDot;
    } else if (first == '0') {
        const unsigned char c = At(FRun);
        if (c == 'x' || c == 'X') {
            ++FRun;
            FTokenKind = K::tkHex;
            state = S::Hex;
        } else if (c == '.' || c == '8' || c == '9') {
            ++FRun;
            FTokenKind = K::tkFloat;
            state = c == '.' ? S::AfterDot : S::FloatNeeded;
        } else if (c >= '0' && c <= '7') {
            ++FRun;
            FTokenKind = K::tkOct;
            state = S::Octal;
        }
    }
    for (;;) {
        const unsigned char c = At(FRun);
        const bool ellipsis = c == '.' && At(FRun + 1) == '.' && At(FRun + 2) == '.';
        const bool runsOn = WordBytes[c];
        if (state == S::Hex && IsHexDigit(c)) {
            ++FRun;
        } else if (state == S::Octal && (c == '8' || c == '9')) {
            ++FRun;
            FTokenKind = K::tkFloat;
            state = S::FloatNeeded;
        } else if (IsDigit(c) && (state != S::Octal || c <= '7')) {
            ++FRun;
        } else if (c == 'e' || c == 'E') {
            if (state == S::Exponent)
                return TakeBadNumber();
            FTokenKind = K::tkFloat;
            state = S::Exponent;
            ++FRun;
            if (At(FRun) == '+' || At(FRun) == '-')
                ++FRun;
            if (!IsDigit(At(FRun)))
                return TakeBadNumber();
        } else if (c == 'j' || c == 'J') {
            if (state == S::Hex)
                return TakeBadNumber();
            ++FRun;
            if (state == S::Start || state == S::Octal)
                FTokenKind = K::tkFloat;
            return;
        } else if (c == 'l' || c == 'L') {
            if (state != S::Hex && state != S::Octal)
                return TakeBadNumber();
            ++FRun;
            return;
        } else if (c == '.') {
            const bool dotRule = state == S::Start || state == S::Octal || state == S::FloatNeeded;
            if (ellipsis) {
                if (state == S::FloatNeeded)
                    TakeBadNumber();
                return;
            }
            if (!dotRule)
                return TakeBadNumber();
            ++FRun;
            FTokenKind = K::tkFloat;
            state = S::AfterDot;
        } else if (runsOn || state == S::FloatNeeded) {
            return TakeBadNumber();
        } else {
            return;
        }
    }
}
