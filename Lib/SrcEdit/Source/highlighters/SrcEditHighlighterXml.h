#pragma once
// TSrcXMLSyn: the XML highlighter, a state machine over tags, attributes, quoted values, entity
// references, comments, processing instructions, CDATA sections and the DOCTYPE declaration.
// CurrentRange is the state (TXmlRangeState), 0..18 (largest value 18; start state 11).

#include "SrcEdit/Source/highlighters/SrcEditLineScanner.h"

#include <string_view>

// The number is what TokenKindCode returns.
enum class TXmlTokenKind : int {
    tkAposAttrValue = 0,
    tkAposEntityRef = 1,
    tkAttribute = 2,
    tkCDATA = 3,
    tkComment = 4,
    tkElement = 5,
    tkEntityRef = 6,
    tkEqual = 7,
    tkNull = 8,
    tkProcessingInstruction = 9,
    tkQuoteAttrValue = 10,
    tkQuoteEntityRef = 11,
    tkSpace = 12,
    tkSymbol = 13,
    tkText = 14,
    tknsAposAttrValue = 15,
    tknsAposEntityRef = 16,
    tknsAttribute = 17,
    tknsEqual = 18,
    tknsQuoteAttrValue = 19,
    tknsQuoteEntityRef = 20,
    tkDocType = 21,
};

enum TXmlRangeState : TSrcRange {
    rsAposAttrValue = 0,
    rsAposEntityRef = 1,
    rsAttribute = 2,
    rsCDATA = 3,
    rsComment = 4,
    rsElement = 5,
    rsEntityRef = 6,
    rsEqual = 7,
    rsProcessingInstruction = 8,
    rsQuoteAttrValue = 9,
    rsQuoteEntityRef = 10,
    rsText = 11,
    rsnsAposAttrValue = 12,
    rsnsAposEntityRef = 13,
    rsnsEqual = 14,
    rsnsQuoteAttrValue = 15,
    rsnsQuoteEntityRef = 16,
    rsDocType = 17,
    rsDocTypeSquareBraces = 18,
};

class TSrcXMLSyn : public TSrcLineTokenizer<TXmlTokenKind, TXmlTokenKind::tkNull, TSrcRange, rsText> {
public:
    static constexpr const char* BuiltInFilter =
        "XML Files (*.xml;*.xsd;*.xsl;*.xslt;*.dtd)|*.xml;*.xsd;*.xsl;*.xslt;*.dtd";

    explicit TSrcXMLSyn(TComponent* AOwner = nullptr);

    static const TSrcHighlighterClass& StaticClass();
    const TSrcHighlighterClass& HighlighterClass() const override { return StaticClass(); }

    TSrcCharSet IdentifierChars() const override;
    std::string SampleText() const override;

    TSrcHighlighterAttributes* TokenAttri() const override;
    void AdvanceToken() override;
    void RestoreRange(TSrcRange range) override;

    // Kept with the component (declared default true); no scan rule reads it.
    bool WantBracesParsed() const { return FWantBracesParsed; }
    void SetWantBracesParsed(bool value) { FWantBracesParsed = value; }
    bool IsWantBracesParsedStored() const { return !FWantBracesParsed; }

    TSrcHighlighterAttributes* ElementAttri() const { return FElementAttri; }
    TSrcHighlighterAttributes* TextAttri() const { return FTextAttri; }
    TSrcHighlighterAttributes* SpaceAttri() const { return FSpaceAttri; }
    TSrcHighlighterAttributes* EntityRefAttri() const { return FEntityRefAttri; }
    TSrcHighlighterAttributes* ProcessingInstructionAttri() const { return FProcessingInstructionAttri; }
    TSrcHighlighterAttributes* CDATAAttri() const { return FCDATAAttri; }
    TSrcHighlighterAttributes* CommentAttri() const { return FCommentAttri; }
    TSrcHighlighterAttributes* DocTypeAttri() const { return FDocTypeAttri; }
    TSrcHighlighterAttributes* AttributeAttri() const { return FAttributeAttri; }
    TSrcHighlighterAttributes* NamespaceAttributeAttri() const { return FNamespaceAttributeAttri; }
    TSrcHighlighterAttributes* AttributeValueAttri() const { return FAttributeValueAttri; }
    TSrcHighlighterAttributes* NamespaceAttributeValueAttri() const { return FNamespaceAttributeValueAttri; }
    TSrcHighlighterAttributes* SymbolAttri() const { return FSymbolAttri; }

private:
    bool LooksAt(size_t index, std::string_view text) const { return FLine.substr(index, text.size()) == text; }
    // Bytes of the name character at `index`; 0 when it is not one.
    size_t NameCharLength(size_t index) const;
    void SkipName();
    void Dispatch(unsigned char c);
    void ScanTagOpener();
    void ScanByRange();
    void ScanElementName();
    void ScanAttributeName();
    void ScanEqual(bool ns);
    void ScanValue(unsigned char quote, TXmlTokenKind kind, TSrcRange entityRange);
    void ScanEntityRef(TXmlTokenKind kind, TSrcRange backRange);
    void ScanText();
    void ScanComment();
    void ScanUntilClose(unsigned char before, TXmlTokenKind kind);
    void ScanDocType();

    TSrcHighlighterAttributes* FElementAttri;
    TSrcHighlighterAttributes* FTextAttri;
    TSrcHighlighterAttributes* FSpaceAttri;
    TSrcHighlighterAttributes* FEntityRefAttri;
    TSrcHighlighterAttributes* FProcessingInstructionAttri;
    TSrcHighlighterAttributes* FCDATAAttri;
    TSrcHighlighterAttributes* FCommentAttri;
    TSrcHighlighterAttributes* FDocTypeAttri;
    TSrcHighlighterAttributes* FAttributeAttri;
    TSrcHighlighterAttributes* FNamespaceAttributeAttri;
    TSrcHighlighterAttributes* FAttributeValueAttri;
    TSrcHighlighterAttributes* FNamespaceAttributeValueAttri;
    TSrcHighlighterAttributes* FSymbolAttri;
    bool FWantBracesParsed = false;
};
