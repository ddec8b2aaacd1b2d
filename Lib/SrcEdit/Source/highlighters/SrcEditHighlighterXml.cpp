// The XML highlighter: own scans for text, comments, processing instructions, CDATA sections and
// the DOCTYPE declaration; a dispatch on the first byte of a token in the other states.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterXml.h"

#include "Platform/text/TextChars.h"

namespace {

using K = TXmlTokenKind;

bool IsAsciiNameByte(unsigned char c)
{
    return c == '-' || c == '.' || (c >= '0' && c <= ':') || (c >= 'A' && c <= 'Z') || c == '_' ||
           (c >= 'a' && c <= 'z');
}

[[maybe_unused]] const bool Registered = (RegisterHighlighterClass(TSrcXMLSyn::StaticClass()), true);

} // namespace

TSrcXMLSyn::TSrcXMLSyn(TComponent* AOwner) : TSrcLineTokenizer(AOwner, BuiltInFilter)
{
    FElementAttri = AddAttri("Element Name", {fsBold}, clMaroon);
    FTextAttri = AddAttri("Text", {fsBold}, clBlack);
    FSpaceAttri = AddAttri("Whitespace");
    FEntityRefAttri = AddAttri("Entity Reference", {fsBold}, clBlue);
    FProcessingInstructionAttri = AddAttri("Processing Instruction", {}, clBlue);
    FCDATAAttri = AddAttri("CDATA Section", {fsItalic}, clOlive);
    FCommentAttri = AddAttri("Comment", {fsBold, fsItalic}, clGray, clSilver);
    FDocTypeAttri = AddAttri("DOCTYPE Section", {fsItalic}, clBlue);
    FAttributeAttri = AddAttri("Attribute Name", {}, clMaroon);
    FNamespaceAttributeAttri = AddAttri("Namespace Attribute Name", {}, clRed);
    FAttributeValueAttri = AddAttri("Attribute Value", {fsBold}, clNavy);
    FNamespaceAttributeValueAttri = AddAttri("Namespace Attribute Value", {fsBold}, clRed);
    FSymbolAttri = AddAttri("Symbol", {}, clBlue);
    BindAttributeChanges();
    SetRoleAttris({.Comment = FCommentAttri, .Identifier = FAttributeAttri, .Keyword = FElementAttri,
                   .Whitespace = FSpaceAttri, .Symbol = FSymbolAttri});
}

const TSrcHighlighterClass& TSrcXMLSyn::StaticClass()
{
    static const TSrcHighlighterClass cls = LanguageClass("TSrcXMLSyn", [] { return std::string("XML"); });
    return cls;
}

TSrcCharSet TSrcXMLSyn::IdentifierChars() const
{
    return TSrcLineScanner::IdentifierChars() | CharSetOf("-.");
}

std::string TSrcXMLSyn::SampleText() const
{
    return "<?xml version=\"1.0\"?>\r\n"
           "<!DOCTYPE root [\r\n"
           "  ]>\r\n"
           "<!-- Comment -->\r\n"
           "<root version=\"&test;\">\r\n"
           "  <![CDATA[ **CDATA section** ]]>\r\n"
           "</root>";
}

TSrcHighlighterAttributes* TSrcXMLSyn::TokenAttri() const
{
    switch (FTokenKind) {
    case K::tkAposAttrValue:
    case K::tkQuoteAttrValue: return FAttributeValueAttri;
    case K::tkAposEntityRef:
    case K::tkEntityRef:
    case K::tkQuoteEntityRef:
    case K::tknsAposEntityRef:
    case K::tknsQuoteEntityRef: return FEntityRefAttri;
    case K::tkAttribute: return FAttributeAttri;
    case K::tkCDATA: return FCDATAAttri;
    case K::tkComment: return FCommentAttri;
    case K::tkElement: return FElementAttri;
    case K::tkEqual:
    case K::tknsEqual:
    case K::tkSymbol: return FSymbolAttri;
    case K::tkProcessingInstruction: return FProcessingInstructionAttri;
    case K::tkSpace: return FSpaceAttri;
    case K::tkText: return FTextAttri;
    case K::tknsAposAttrValue:
    case K::tknsQuoteAttrValue: return FNamespaceAttributeValueAttri;
    case K::tknsAttribute: return FNamespaceAttributeAttri;
    case K::tkDocType: return FDocTypeAttri;
    case K::tkNull: break;
    }
    return nullptr;
}

void TSrcXMLSyn::RestoreRange(TSrcRange range)
{
    // invariant: values CurrentRange did not return fall back to the start state
    FRange = range <= rsDocTypeSquareBraces ? range : rsText;
}

size_t TSrcXMLSyn::NameCharLength(size_t index) const
{
    const unsigned char c = At(index);
    if (IsAsciiNameByte(c))
        return 1;
    if (c < 128)
        return 0;
    // why: the bytes of a multi-byte character are name bytes; a stray byte is not
    const int length = TextChars::CharLength(FLine, index);
    return length > 1 ? static_cast<size_t>(length) : 0;
}

void TSrcXMLSyn::SkipName()
{
    while (const size_t length = NameCharLength(FRun))
        FRun += length;
}

void TSrcXMLSyn::AdvanceToken()
{
    FTokenPos = FRun;
    const unsigned char c = At(FRun);
    switch (FRange) {
    case rsText:
        if (c < 32 || c == '<')
            Dispatch(c);
        else
            ScanText();
        return;
    case rsComment:
        if (IsLineEnd(c))
            Dispatch(c);
        else
            ScanComment();
        return;
    case rsProcessingInstruction:
    case rsCDATA:
    case rsDocType:
    case rsDocTypeSquareBraces:
        if (IsLineEnd(c))
            Dispatch(c);
        else if (FRange == rsProcessingInstruction)
            ScanUntilClose('?', K::tkProcessingInstruction);
        else if (FRange == rsCDATA)
            ScanUntilClose(']', K::tkCDATA);
        else
            ScanDocType();
        return;
    default: Dispatch(c); return;
    }
}

void TSrcXMLSyn::Dispatch(unsigned char c)
{
    if (c == 0) {
        FTokenKind = K::tkNull;
    } else if (c == 10 || c == 13) {
        FTokenKind = K::tkSpace;
        SkipLineBreak();
    } else if (IsSpaceByte(c)) {
        FTokenKind = K::tkSpace;
        SkipSpaces();
    } else if (c == '<') {
        ScanTagOpener();
    } else if (c == '>') {
        FTokenKind = K::tkSymbol;
        ++FRun;
        FRange = rsText;
    } else {
        ScanByRange();
    }
}

void TSrcXMLSyn::ScanTagOpener()
{
    FTokenKind = K::tkSymbol;
    ++FRun;
    if (At(FRun) == '/')
        ++FRun;
    if (At(FRun) == '!') {
        ++FRun;
        // why: the markers are compared byte for byte, so "<!doctype" is an element "doctype"
        if (LooksAt(FRun, "--")) {
            FRun += 2;
            FRange = rsComment;
        } else if (LooksAt(FRun, "DOCTYPE")) {
            FRun += 7;
            FTokenKind = K::tkDocType;
            FRange = rsDocType;
        } else if (LooksAt(FRun, "[CDATA[")) {
            FRun += 7;
            FTokenKind = K::tkCDATA;
            FRange = rsCDATA;
        } else {
            FRange = rsElement;
        }
    } else if (At(FRun) == '?') {
        ++FRun;
        FTokenKind = K::tkProcessingInstruction;
        FRange = rsProcessingInstruction;
    } else {
        FRange = rsElement;
    }
}

// The handlers of the states that scan through the dispatch, for bytes without a handler of
// their own.
void TSrcXMLSyn::ScanByRange()
{
    switch (FRange) {
    case rsElement: return ScanElementName();
    case rsAttribute: return ScanAttributeName();
    case rsEqual: return ScanEqual(false);
    case rsnsEqual: return ScanEqual(true);
    case rsQuoteAttrValue: return ScanValue('"', K::tkQuoteAttrValue, rsQuoteEntityRef);
    case rsnsQuoteAttrValue: return ScanValue('"', K::tknsQuoteAttrValue, rsnsQuoteEntityRef);
    case rsAposAttrValue: return ScanValue('\'', K::tkAposAttrValue, rsAposEntityRef);
    case rsnsAposAttrValue: return ScanValue('\'', K::tknsAposAttrValue, rsnsAposEntityRef);
    case rsEntityRef: return ScanEntityRef(K::tkEntityRef, rsText);
    case rsQuoteEntityRef: return ScanEntityRef(K::tkQuoteEntityRef, rsQuoteAttrValue);
    case rsnsQuoteEntityRef: return ScanEntityRef(K::tknsQuoteEntityRef, rsnsQuoteAttrValue);
    case rsAposEntityRef: return ScanEntityRef(K::tkAposEntityRef, rsAposAttrValue);
    case rsnsAposEntityRef: return ScanEntityRef(K::tknsAposEntityRef, rsnsAposAttrValue);
    default:
        // invariant: the states with scans of their own hand over only the bytes handled above
        return ScanText();
    }
}

void TSrcXMLSyn::ScanElementName()
{
    FTokenKind = K::tkElement;
    if (At(FRun) == '/')
        ++FRun;
    SkipName();
    FRange = rsAttribute;
}

void TSrcXMLSyn::ScanAttributeName()
{
    const unsigned char c = At(FRun);
    if (c == '"' || c == '\'') {
        // why: this is how the closing quote of a value shows
        FTokenKind = K::tkSymbol;
        ++FRun;
        return;
    }
    SkipName();
    if (FLine.substr(FTokenPos, FRun - FTokenPos).find("xmlns") != std::string_view::npos) {
        FTokenKind = K::tknsAttribute;
        FRange = rsnsEqual;
    } else {
        FTokenKind = K::tkAttribute;
        FRange = rsEqual;
    }
}

void TSrcXMLSyn::ScanEqual(bool ns)
{
    FTokenKind = ns ? K::tknsEqual : K::tkEqual;
    for (;;) {
        const unsigned char c = At(FRun);
        if (IsLineEnd(c))
            return;
        ++FRun;
        if (c == '/') {
            FTokenKind = K::tkSymbol;
            FRange = rsElement;
            return;
        }
        if (c == '"') {
            FRange = ns ? rsnsQuoteAttrValue : rsQuoteAttrValue;
            return;
        }
        if (c == '\'') {
            FRange = ns ? rsnsAposAttrValue : rsAposAttrValue;
            return;
        }
    }
}

void TSrcXMLSyn::ScanValue(unsigned char quote, TXmlTokenKind kind, TSrcRange entityRange)
{
    FTokenKind = kind;
    for (;;) {
        const unsigned char c = At(FRun);
        if (IsLineEnd(c))
            return;
        if (c == '&') {
            FRange = entityRange;
            return;
        }
        if (c == quote) {
            FRange = rsAttribute;
            return;
        }
        ++FRun;
    }
}

void TSrcXMLSyn::ScanEntityRef(TXmlTokenKind kind, TSrcRange backRange)
{
    FTokenKind = kind;
    while (At(FRun) >= 33 && At(FRun) != ';')
        ++FRun;
    if (At(FRun) == ';')
        ++FRun;
    FRange = backRange;
}

void TSrcXMLSyn::ScanText()
{
    FTokenKind = K::tkText;
    for (unsigned char c = At(FRun); c >= 32 && c != '&' && c != '<'; c = At(FRun))
        ++FRun;
    if (At(FRun) == '&')
        FRange = rsEntityRef;
}

void TSrcXMLSyn::ScanComment()
{
    if (LooksAt(FRun, "-->")) {
        FTokenKind = K::tkSymbol;
        FRun += 3;
        FRange = rsText;
        return;
    }
    FTokenKind = K::tkComment;
    while (!IsLineEnd(At(FRun)) && !LooksAt(FRun, "-->"))
        ++FRun;
}

// Through the first '>' whose preceding byte on this line is `before`, back to text; or to the
// end of the line, staying.
void TSrcXMLSyn::ScanUntilClose(unsigned char before, TXmlTokenKind kind)
{
    FTokenKind = kind;
    for (unsigned char c = At(FRun); !IsLineEnd(c); c = At(FRun)) {
        ++FRun;
        if (c == '>' && FRun >= 2 && static_cast<unsigned char>(FLine[FRun - 2]) == before) {
            FRange = rsText;
            return;
        }
    }
}

void TSrcXMLSyn::ScanDocType()
{
    FTokenKind = K::tkDocType;
    bool inBraces = FRange == rsDocTypeSquareBraces;
    for (unsigned char c = At(FRun); !IsLineEnd(c); c = At(FRun)) {
        ++FRun;
        if (inBraces) {
            if (c == ']') {
                FRange = rsDocType;
                return;
            }
        } else if (c == '>') {
            // why: the state after the declaration is the in-tag state, as it always was; a
            // following "<" is recognised there as well as in text
            FRange = rsAttribute;
            return;
        } else if (c == '[') {
            inBraces = true;
        }
    }
    if (inBraces)
        FRange = rsDocTypeSquareBraces;
}
