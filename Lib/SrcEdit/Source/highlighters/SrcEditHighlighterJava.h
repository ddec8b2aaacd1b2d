#pragma once
// TSrcJavaSyn: the Java highlighter. Block and documentation comments carry over lines.
//
// CurrentRange: 1 inside a "/*" comment, 2 inside a "/**" comment, 3 normal (largest value 3).

#include "SrcEdit/Source/highlighters/SrcEditLineScanner.h"

// The number is what TokenKindCode returns.
enum class TJavaTokenKind : int {
    tkComment = 0,
    tkDocument = 1,
    tkIdentifier = 2,
    tkInvalid = 3,
    tkKey = 4,
    tkNull = 5,
    tkNumber = 6,
    tkSpace = 7,
    tkString = 8,
    tkSymbol = 9,
    tkUnknown = 10,
};

enum TJavaRangeState : TSrcRange { rsJavaComment = 1, rsJavaDocument = 2, rsJavaNormal = 3 };

class TSrcJavaSyn : public TSrcLineTokenizer<TJavaTokenKind, TJavaTokenKind::tkNull, TSrcRange, rsJavaNormal> {
public:
    static constexpr const char* BuiltInFilter = "Java Files (*.java)|*.java";

    explicit TSrcJavaSyn(TComponent* AOwner = nullptr);

    static const TSrcHighlighterClass& StaticClass();
    const TSrcHighlighterClass& HighlighterClass() const override { return StaticClass(); }

    // Also '$', which Java names may hold.
    TSrcCharSet IdentifierChars() const override;
    std::string SampleText() const override;

    TSrcHighlighterAttributes* TokenAttri() const override;
    void AdvanceToken() override;
    void RestoreRange(TSrcRange range) override;

    TSrcHighlighterAttributes* CommentAttri() const { return FCommentAttri; }
    TSrcHighlighterAttributes* DocumentAttri() const { return FDocumentAttri; }
    TSrcHighlighterAttributes* IdentifierAttri() const { return FIdentifierAttri; }
    TSrcHighlighterAttributes* InvalidAttri() const { return FInvalidAttri; }
    TSrcHighlighterAttributes* KeyAttri() const { return FKeyAttri; }
    TSrcHighlighterAttributes* NumberAttri() const { return FNumberAttri; }
    TSrcHighlighterAttributes* SpaceAttri() const { return FSpaceAttri; }
    TSrcHighlighterAttributes* StringAttri() const { return FStringAttri; }
    TSrcHighlighterAttributes* SymbolAttri() const { return FSymbolAttri; }

private:
    // The bytes of the identifier character at `index`: an ASCII letter, digit, '$' or '_', or a
    // whole multi-byte letter; 0 for anything else.
    size_t IdentCharLength(size_t index) const;
    void ScanIdentifier();
    void ScanNumber();
    void ScanQuoted(unsigned char quote);
    void ScanSlash();
    void ScanCommentRest();
    void ScanSymbol(unsigned char c);

    TSrcHighlighterAttributes* FCommentAttri;
    TSrcHighlighterAttributes* FDocumentAttri;
    TSrcHighlighterAttributes* FIdentifierAttri;
    TSrcHighlighterAttributes* FInvalidAttri;
    TSrcHighlighterAttributes* FKeyAttri;
    TSrcHighlighterAttributes* FNumberAttri;
    TSrcHighlighterAttributes* FSpaceAttri;
    TSrcHighlighterAttributes* FStringAttri;
    TSrcHighlighterAttributes* FSymbolAttri;
};
