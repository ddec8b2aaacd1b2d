// The Java highlighter: a dispatch on the first byte of a token, reserved words looked up in
// buckets of the sum of their letters' hash values, comments that run over line ends.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterJava.h"

#include "Platform/text/TextChars.h"

#include <array>
#include <iterator>
#include <string_view>
#include <vector>

namespace {

using K = TJavaTokenKind;

constexpr std::string_view ReservedWords[] = {
    "abstract", "assert", "boolean", "break", "byte", "case", "catch", "char", "class", "const", "continue",
    "default", "do", "double", "else", "extends", "false", "final", "finally", "float", "for", "goto", "if",
    "implements", "import", "instanceof", "int", "interface", "long", "native", "new", "null", "package",
    "private", "protected", "public", "return", "short", "static", "strictfp", "super", "switch", "synchronized",
    "this", "throw", "throws", "transient", "true", "try", "void", "volatile", "while",
};
static_assert(std::size(ReservedWords) == 52);

constexpr int MaxKeyHash = 172;

// 'A'..'Z' hash as 1 to 26, 'a'..'z' as 2 to 27; '$', '_' and digits add nothing.
constexpr std::array<unsigned char, 256> HashValues = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] = static_cast<unsigned char>(c - 64);
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = static_cast<unsigned char>(c - 95);
    return t;
}();

constexpr int KeyHash(std::string_view word)
{
    int sum = 0;
    for (const char c : word)
        sum += HashValues[static_cast<unsigned char>(c)];
    return sum;
}

constexpr bool AllInTable()
{
    for (const std::string_view word : ReservedWords)
        if (KeyHash(word) > MaxKeyHash)
            return false;
    return true;
}
static_assert(AllInTable());

constexpr std::array<bool, 256> AsciiIdent = [] {
    std::array<bool, 256> t = AsciiWordBytes();
    t['$'] = true;
    return t;
}();

// Entry [hash] holds the reserved words of that hash.
const std::array<std::vector<std::string_view>, MaxKeyHash + 1>& KeywordTable()
{
    static const auto table = [] {
        std::array<std::vector<std::string_view>, MaxKeyHash + 1> t;
        for (const std::string_view word : ReservedWords)
            t[static_cast<size_t>(KeyHash(word))].push_back(word);
        return t;
    }();
    return table;
}

[[maybe_unused]] const bool Registered = (RegisterHighlighterClass(TSrcJavaSyn::StaticClass()), true);

} // namespace

TSrcJavaSyn::TSrcJavaSyn(TComponent* AOwner) : TSrcLineTokenizer(AOwner, BuiltInFilter)
{
    FCommentAttri = AddAttri("Comment", {fsItalic});
    FDocumentAttri = AddAttri("Documentation", {fsItalic});
    FIdentifierAttri = AddAttri("Identifier");
    FInvalidAttri = AddAttri("Invalid Symbol");
    FKeyAttri = AddAttri("Reserved Word", {fsBold});
    FNumberAttri = AddAttri("Number");
    FSpaceAttri = AddAttri("Space", {}, clWindow);
    FStringAttri = AddAttri("String");
    FSymbolAttri = AddAttri("Symbol");
    BindAttributeChanges();
    SetRoleAttris({.Comment = FCommentAttri, .Identifier = FIdentifierAttri, .Keyword = FKeyAttri,
                   .String = FStringAttri, .Whitespace = FSpaceAttri, .Symbol = FSymbolAttri});
    KeywordTable();
}

const TSrcHighlighterClass& TSrcJavaSyn::StaticClass()
{
    static const TSrcHighlighterClass cls = LanguageClass("TSrcJavaSyn", [] { return std::string("Java"); });
    return cls;
}

TSrcCharSet TSrcJavaSyn::IdentifierChars() const
{
    return TSrcLineTokenizer::IdentifierChars() | CharSetOf("$");
}

std::string TSrcJavaSyn::SampleText() const
{
    return "/* Java syntax highlighting */\r\n"
           "import java.util.*;\r\n"
           "\r\n"
           "/** Example class */\r\n"
           "public class Sample {\r\n"
           "  public static void main(String[] args) {\r\n"
           "    int i = 0;\r\n"
           "    for(i = 0; i < 10; i++)\r\n"
           "      System.out.println(\"Hello world\");\r\n"
           "  }\r\n"
           "}";
}

TSrcHighlighterAttributes* TSrcJavaSyn::TokenAttri() const
{
    switch (FTokenKind) {
    case K::tkComment: return FCommentAttri;
    case K::tkDocument: return FDocumentAttri;
    case K::tkIdentifier: return FIdentifierAttri;
    case K::tkInvalid: return FInvalidAttri;
    case K::tkKey: return FKeyAttri;
    case K::tkNumber: return FNumberAttri;
    case K::tkSpace: return FSpaceAttri;
    case K::tkString: return FStringAttri;
    case K::tkSymbol: return FSymbolAttri;
    case K::tkUnknown: return FInvalidAttri;
    case K::tkNull: break;
    }
    return nullptr;
}

void TSrcJavaSyn::RestoreRange(TSrcRange range)
{
    // invariant: values CurrentRange did not return fall back to the start state
    FRange = range == rsJavaComment || range == rsJavaDocument ? range : rsJavaNormal;
}

size_t TSrcJavaSyn::IdentCharLength(size_t index) const
{
    const unsigned char c = At(index);
    if (c < 128)
        return AsciiIdent[c] ? 1 : 0;
    // why: the accented letters of the Latin range and every letter beyond it belong to names;
    // the multiplication and division signs and stray bytes do not
    const int length = TextChars::CharLength(FLine, index);
    if (length < 2)
        return 0;
    const char32_t code = TextChars::Decode(FLine, index);
    return code == U'\u00D7' || code == U'\u00F7' ? 0 : static_cast<size_t>(length);
}

void TSrcJavaSyn::AdvanceToken()
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
    if (FRange == rsJavaComment || FRange == rsJavaDocument)
        return ScanCommentRest();
    FRange = rsJavaNormal;
    if (IsSpaceByte(c)) {
        FTokenKind = K::tkSpace;
        SkipSpaces();
    } else if (IsDigit(c) || (c == '.' && IsDigit(At(FRun + 1)))) {
        ScanNumber();
    } else if (IdentCharLength(FRun) > 0) {
        ScanIdentifier();
    } else if (c == '"' || c == '\'') {
        ScanQuoted(c);
    } else if (c == '/') {
        ScanSlash();
    } else if (c == '#' || c == '@') {
        FTokenKind = K::tkInvalid;
        ++FRun;
    } else {
        ScanSymbol(c);
    }
}

void TSrcJavaSyn::ScanIdentifier()
{
    int sum = 0;
    bool ascii = true;
    while (const size_t length = IdentCharLength(FRun)) {
        ascii = ascii && length == 1;
        sum += HashValues[At(FRun)];
        FRun += length;
    }
    FTokenKind = K::tkIdentifier;
    // invariant: every reserved word is ASCII, with a hash of at most MaxKeyHash
    if (!ascii || sum > MaxKeyHash)
        return;
    const std::string_view word = FLine.substr(FTokenPos, FRun - FTokenPos);
    for (const std::string_view keyword : KeywordTable()[static_cast<size_t>(sum)])
        if (keyword == word)
            FTokenKind = K::tkKey;
}

// Number bytes in any order ("1-2" is one number); the number ends before "..".
void TSrcJavaSyn::ScanNumber()
{
    FTokenKind = K::tkNumber;
    FRun += At(FRun) == '.' ? 2 : 1;
    for (;;) {
        const unsigned char c = At(FRun);
        if (c == '.' && At(FRun + 1) == '.')
            return;
        if (!IsHexDigit(c) && c != '.' && c != '-' && c != 'L' && c != 'l' && c != 'X' && c != 'x')
            return;
        ++FRun;
    }
}

// A string or character literal up to its unescaped closing quote or the line end.
void TSrcJavaSyn::ScanQuoted(unsigned char quote)
{
    FTokenKind = K::tkString;
    ++FRun;
    if (quote == '"' && At(FRun) == '"' && At(FRun + 1) == '"')
        FRun += 2;
    for (unsigned char c = At(FRun); !IsLineEnd(c); c = At(FRun)) {
        ++FRun;
        if (c == quote)
            return;
        if (c == '\\' && !IsLineEnd(At(FRun)))
            ++FRun;
    }
}

void TSrcJavaSyn::ScanSlash()
{
    const unsigned char next = At(FRun + 1);
    if (next == '/') {
        FTokenKind = K::tkComment;
        while (!IsLineEnd(At(FRun)))
            ++FRun;
    } else if (next == '*' && At(FRun + 2) == '*' && At(FRun + 3) == '/') {
        // why: "/**/" is an empty comment, closed where it stands; read as the opener of a
        // documentation comment it would swallow the code after it
        FTokenKind = K::tkComment;
        FRun += 4;
    } else if (next == '*') {
        const bool document = At(FRun + 2) == '*';
        FRange = document ? rsJavaDocument : rsJavaComment;
        // why: the search for "*/" starts behind the opener, so "/*/" stays open
        FRun += document ? 3 : 2;
        ScanCommentRest();
    } else {
        FTokenKind = K::tkSymbol;
        FRun += next == '=' ? 2 : 1;
    }
}

void TSrcJavaSyn::ScanCommentRest()
{
    FTokenKind = FRange == rsJavaDocument ? K::tkDocument : K::tkComment;
    while (!IsLineEnd(At(FRun))) {
        if (At(FRun) == '*' && At(FRun + 1) == '/') {
            FRun += 2;
            FRange = rsJavaNormal;
            return;
        }
        ++FRun;
    }
}

void TSrcJavaSyn::ScanSymbol(unsigned char c)
{
    size_t length = 0;
    switch (c) {
    case '&': length = LongestForm({"&&", "&="}); break;
    case '|': length = LongestForm({"||", "|="}); break;
    case '+': length = LongestForm({"++", "+="}); break;
    case '-': length = LongestForm({"--", "-="}); break;
    case '*': length = LongestForm({"*="}); break;
    case '!': length = LongestForm({"!="}); break;
    case '=': length = LongestForm({"=="}); break;
    case '%': length = LongestForm({"%="}); break;
    case '^': length = LongestForm({"^="}); break;
    case '<': length = LongestForm({"<<=", "<<", "<="}); break;
    case '>': length = LongestForm({">>>=", ">>>", ">>=", ">>", ">="}); break;
    case '(':
    case ')':
    case '[':
    case ']':
    case '{':
    case '}':
    case ';':
    case ':':
    case ',':
    case '?':
    case '~':
    case '.': length = 1; break;
    default:
        FTokenKind = K::tkUnknown;
        SkipChar();
        return;
    }
    FTokenKind = K::tkSymbol;
    FRun += length;
}
