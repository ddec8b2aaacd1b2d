#pragma once
// TSrcJScriptSyn: the JavaScript highlighter. Its range state only says whether a "/*" comment
// is still open, so CurrentRange returns 0 or 1 (largest value 1).

#include "SrcEdit/Source/highlighters/SrcEditLineScanner.h"

#include <array>
#include <string_view>
#include <utility>
#include <vector>

// The number is what TokenKindCode returns.
enum class TJScriptTokenKind : int {
    tkComment = 0,
    tkIdentifier = 1,
    tkKey = 2,
    tkNull = 3,
    tkNumber = 4,
    tkSpace = 5,
    tkString = 6,
    tkSymbol = 7,
    tkUnknown = 8,
    tkNonReservedKey = 9,
    tkEvent = 10,
};

enum TJScriptRangeState : TSrcRange { rsJSNormal = 0, rsJSComment = 1 };

class TSrcJScriptSyn : public TSrcLineTokenizer<TJScriptTokenKind, TJScriptTokenKind::tkNull, TSrcRange, rsJSNormal> {
public:
    static constexpr const char* BuiltInFilter = "Javascript Files (*.js)|*.js";

    explicit TSrcJScriptSyn(TComponent* AOwner = nullptr);

    static const TSrcHighlighterClass& StaticClass();
    const TSrcHighlighterClass& HighlighterClass() const override { return StaticClass(); }

    std::string SampleText() const override;

    TSrcHighlighterAttributes* TokenAttri() const override;
    void AdvanceToken() override;
    void RestoreRange(TSrcRange range) override;

    TSrcHighlighterAttributes* CommentAttri() const { return FCommentAttri; }
    TSrcHighlighterAttributes* IdentifierAttri() const { return FIdentifierAttri; }
    TSrcHighlighterAttributes* KeyAttri() const { return FKeyAttri; }
    TSrcHighlighterAttributes* NonReservedKeyAttri() const { return FNonReservedKeyAttri; }
    TSrcHighlighterAttributes* EventAttri() const { return FEventAttri; }
    TSrcHighlighterAttributes* NumberAttri() const { return FNumberAttri; }
    TSrcHighlighterAttributes* SpaceAttri() const { return FSpaceAttri; }
    TSrcHighlighterAttributes* StringAttri() const { return FStringAttri; }
    TSrcHighlighterAttributes* SymbolAttri() const { return FSymbolAttri; }

private:
    using TKeyword = std::pair<std::string_view, TJScriptTokenKind>;
    static constexpr int KeywordBuckets = 253;

    void ScanSlash();
    void ScanCommentRest(bool openerOnThisLine);
    void ScanString();
    void ScanNumber();
    void ScanIdentifier();
    void ScanSymbol(unsigned char c);

    TSrcHighlighterAttributes* FCommentAttri;
    TSrcHighlighterAttributes* FIdentifierAttri;
    TSrcHighlighterAttributes* FKeyAttri;
    TSrcHighlighterAttributes* FNonReservedKeyAttri;
    TSrcHighlighterAttributes* FEventAttri;
    TSrcHighlighterAttributes* FNumberAttri;
    TSrcHighlighterAttributes* FSpaceAttri;
    TSrcHighlighterAttributes* FStringAttri;
    TSrcHighlighterAttributes* FSymbolAttri;

    // Bucket [sum of the letters' hash values] holds the keywords of that sum.
    std::array<std::vector<TKeyword>, KeywordBuckets> FKeywords;
};
