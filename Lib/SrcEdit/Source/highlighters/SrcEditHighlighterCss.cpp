// The style-sheet highlighter: a selector scan between rules, a dispatch on the first byte of a
// token inside rules, and property names in a keyword hash list.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterCss.h"

#include <array>

namespace {

using K = TCssTokenKind;

constexpr std::array<unsigned char, 256> HashValues = AlphabetPlaces();

constexpr std::string_view PropertyNames =
    "azimuth,background,background-attachment,background-color,background-image,background-position,"
    "background-repeat,border,border-collapse,border-color,border-spacing,border-style,border-top,"
    "border-right,border-bottom,border-left,border-top-color,border-right-color,border-bottom-color,"
    "border-left-color,border-top-style,border-right-style,border-bottom-style,border-left-style,"
    "border-top-width,border-right-width,border-bottom-width,border-left-width,border-width,bottom,"
    "caption-side,clear,clip,color,content,counter-increment,counter-reset,cue,cue-after,cue-before,cursor,"
    "direction,display,elevation,empty-cells,float,font,font-family,font-size,font-size-adjust,font-stretch,"
    "font-style,font-variant,font-weight,height,left,letter-spacing,line-height,list-style,list-style-image,"
    "list-style-position,list-style-type,margin,margin-top,margin-right,margin-bottom,margin-left,"
    "marker-offset,marks,max-height,max-width,min-height,min-width,orphans,outline,outline-color,"
    "outline-style,outline-width,overflow,padding,padding-top,padding-right,padding-bottom,padding-left,"
    "page,page-break-after,page-break-before,page-break-inside,pause,pause-after,pause-before,pitch,"
    "pitch-range,play-during,position,quotes,richness,right,size,speak,speak-header,speak-numeral,"
    "speak-punctuation,speech-rate,stress,table-layout,text-align,text-decoration,text-indent,text-shadow,"
    "text-transform,top,unicode-bidi,vertical-align,visibility,voice-family,volume,white-space,widows,width,"
    "word-spacing,z-index";

bool IsLetter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsRuleState(TSrcRange range)
{
    return range == rsCssProperty || range == rsCssSelector || range == rsCssAfterSemicolon || range == rsCssValue;
}

// The hash of the word at the start of `text`: the run of '-' and letters, then the digits that
// follow it at once, each digit adding its value. Returns the hash; `length` gets the bytes taken.
int WordHash(std::string_view text, size_t& length)
{
    int hash = 0;
    size_t i = 0;
    while (i < text.size() && (text[i] == '-' || IsLetter(static_cast<unsigned char>(text[i])))) {
        hash += HashValues[static_cast<unsigned char>(text[i])];
        ++i;
    }
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        hash += text[i] - '0';
        ++i;
    }
    length = i;
    return hash;
}

[[maybe_unused]] const bool Registered = (RegisterHighlighterClass(TSrcCssSyn::StaticClass()), true);

} // namespace

TSrcCssSyn::TSrcCssSyn(TComponent* AOwner)
    : TSrcLineTokenizer(AOwner, BuiltInFilter), FKeywords(std::make_unique<TSrcHashEntryList>())
{
    FCommentAttri = AddAttri("Comment");
    FPropertyAttri = AddAttri("Property", {fsBold});
    FKeyAttri = AddAttri("Reserved Word", {fsBold}, RGBColor(128, 0, 255));
    FUndefPropertyAttri = AddAttri("Undefined Property", {fsBold}, RGBColor(128, 0, 255));
    FSpaceAttri = AddAttri("Space");
    FColorAttri = AddAttri("Color Value");
    FNumberAttri = AddAttri("Number");
    FStringAttri = AddAttri("String");
    FSymbolAttri = AddAttri("Symbol");
    FTextAttri = AddAttri("Text");
    FValueAttri = AddAttri("Value", {}, RGBColor(0, 128, 255));
    BindAttributeChanges();
    SetRoleAttris({.Comment = FCommentAttri, .Keyword = FKeyAttri, .String = FStringAttri, .Whitespace = FSpaceAttri});

    EnumerateKeywords(static_cast<int>(K::tkProperty), PropertyNames, IdentifierChars(),
                      [this](const std::string& word, int kind) {
                          size_t length = 0;
                          const int hash = WordHash(word, length);
                          FKeywords->Add(hash, std::make_unique<TSrcHashEntry>(word, kind));
                      });
}

TSrcCssSyn::~TSrcCssSyn() = default;

const TSrcHighlighterClass& TSrcCssSyn::StaticClass()
{
    static const TSrcHighlighterClass cls =
        LanguageClass("TSrcCssSyn", [] { return std::string("Cascading Style Sheet"); });
    return cls;
}

TSrcCharSet TSrcCssSyn::IdentifierChars() const
{
    return CharSetOf("-_") | CharRange('0', '9') | CharRange('A', 'Z') | CharRange('a', 'z');
}

std::string TSrcCssSyn::SampleText() const
{
    return "/* Syntax Highlighting */\r\n"
           "body { font-family: Tahoma, Verdana, Arial, Helvetica, sans-serif; font-size: 8pt }\r\n"
           "H1 { font-size: 18pt; color: #000099; made-up-property: 1 }";
}

TSrcRange TSrcCssSyn::CurrentRange() const
{
    return FRange == rsCssComment ? CommentRange(FCommentReturn) : FRange;
}

void TSrcCssSyn::RestoreRange(TSrcRange range)
{
    // invariant: values CurrentRange did not return fall back to the start state
    if (IsRuleState(range)) {
        FRange = range;
        return;
    }
    FRange = rsCssSelector;
    for (const TSrcRange back : {rsCssProperty, rsCssSelector, rsCssAfterSemicolon, rsCssValue}) {
        if (range == CommentRange(back)) {
            FRange = rsCssComment;
            FCommentReturn = back;
        }
    }
}

void TSrcCssSyn::ClearRange()
{
    FRange = rsCssSelector;
    FCommentReturn = rsCssSelector;
}

TSrcHighlighterAttributes* TSrcCssSyn::TokenAttri() const
{
    switch (FTokenKind) {
    case K::tkComment: return FCommentAttri;
    case K::tkProperty: return FPropertyAttri;
    case K::tkSelector: return FKeyAttri;
    case K::tkSpace: return FSpaceAttri;
    case K::tkString: return FStringAttri;
    case K::tkSymbol: return FSymbolAttri;
    case K::tkText: return FTextAttri;
    case K::tkUndefProperty: return FUndefPropertyAttri;
    case K::tkValue: return FValueAttri;
    case K::tkColor: return FColorAttri;
    case K::tkNumber: return FNumberAttri;
    case K::tkNull: break;
    }
    return nullptr;
}

void TSrcCssSyn::AdvanceToken()
{
    FTokenPos = FRun;
    const unsigned char c = At(FRun);
    if (FRange == rsCssComment) {
        if (c == 0)
            FTokenKind = K::tkNull;
        else
            ScanCommentRest();
        return;
    }
    if (FRange == rsCssSelector && c >= 32 && c != '/' && c != '{') {
        // why: blanks, commas, colons, dots and '#' all belong to one selector token
        FTokenKind = K::tkSelector;
        while (At(FRun) >= 32 && At(FRun) != '/' && At(FRun) != '{')
            ++FRun;
        return;
    }
    Dispatch(c);
}

void TSrcCssSyn::Dispatch(unsigned char c)
{
    switch (c) {
    case 0:
        FTokenKind = K::tkNull;
        return;
    case 10:
    case 13:
        FTokenKind = K::tkSpace;
        SkipLineBreak();
        return;
    case '"':
        FTokenKind = K::tkString;
        ++FRun;
        while (At(FRun) != 0 && At(FRun) != 10 && At(FRun) != 13) {
            if (At(FRun++) == '"')
                return;
        }
        return;
    case '#':
        FTokenKind = K::tkColor;
        ++FRun;
        while (IsHexDigit(At(FRun)))
            ++FRun;
        return;
    case '/':
        if (At(FRun + 1) == '*') {
            OpenComment();
        } else {
            FTokenKind = K::tkSymbol;
            ++FRun;
        }
        return;
    case '{': return ScanSymbol(rsCssProperty);
    case '}': return ScanSymbol(rsCssSelector);
    case ';': return ScanSymbol(rsCssAfterSemicolon);
    case ':':
    case ',': return ScanSymbol(rsCssValue);
    default: break;
    }
    if (c == '.' || IsDigit(c))
        ScanNumber();
    else if (IsSpaceByte(c)) {
        FTokenKind = K::tkSpace;
        SkipSpaces();
    } else
        ScanWord();
}

void TSrcCssSyn::ScanSymbol(TSrcRange nextRange)
{
    FTokenKind = K::tkSymbol;
    ++FRun;
    FRange = nextRange;
}

void TSrcCssSyn::ScanNumber()
{
    FTokenKind = K::tkNumber;
    ++FRun;
    for (;;) {
        const unsigned char c = At(FRun);
        if (c == '.' && At(FRun + 1) == '.')
            return;
        if (c != '.' && !IsDigit(c))
            return;
        ++FRun;
    }
}

void TSrcCssSyn::ScanWord()
{
    if (FRange == rsCssValue) {
        FTokenKind = K::tkValue;
        for (unsigned char c = At(FRun); c != 0 && c != 10 && c != 13 && c != ',' && c != ';' && c != '}';
             c = At(FRun))
            ++FRun;
        FRange = rsCssProperty;
        return;
    }
    FTokenKind = LookupProperty(FRun);
    // why: only the leading letters, '-' and digits are looked up; what follows stays in the token
    ++FRun;
    for (unsigned char c = At(FRun); c > 32 && c != '"' && c != ':' && c != ';' && c != '}'; c = At(FRun))
        ++FRun;
}

TCssTokenKind TSrcCssSyn::LookupProperty(size_t start) const
{
    size_t length = 0;
    const int hash = WordHash(FLine.substr(start), length);
    const std::string_view word = FLine.substr(start, length);
    for (const TSrcHashEntry* e = FKeywords->Get(hash); e; e = e->Next()) {
        // invariant: a chain is ordered by length
        if (static_cast<size_t>(e->Length()) > length)
            break;
        if (SameValues(e->Keyword(), word, HashValues))
            return static_cast<K>(e->Kind());
    }
    return K::tkUndefProperty;
}

void TSrcCssSyn::OpenComment()
{
    FTokenKind = K::tkComment;
    FCommentReturn = FRange;
    FRange = rsCssComment;
    FRun += 2;
    const unsigned char c = At(FRun);
    if (c != 0 && c != 10 && c != 13)
        ScanCommentRest();
}

// The comment runs through "*/", returning to the interrupted rule state, or to the end of the
// line; the search starts at the scan position, so "/*/" stays open.
void TSrcCssSyn::ScanCommentRest()
{
    FTokenKind = K::tkComment;
    while (At(FRun) != 0) {
        if (At(FRun) == '*' && At(FRun + 1) == '/') {
            FRun += 2;
            FRange = FCommentReturn;
            return;
        }
        ++FRun;
    }
}
