#pragma once
// TSrcPythonSyn: the Python highlighter. It tells numbers apart by notation (decimal,
// hexadecimal, octal, float) and marks malformed ones, and carries triple-quoted strings and
// backslash-continued strings over lines.
//
// CurrentRange: 2 normal, 3 inside a ''' string, 4 inside a """ string, 5 inside a '...' string
// continued by a trailing backslash, 6 the same for "..." (largest value 6). The closing quote of
// a continued string is part of the value, so a line scans the same whatever was scanned before.

#include "SrcEdit/Source/highlighters/SrcEditLineScanner.h"

#include <span>
#include <string_view>
#include <unordered_map>

// The number is what TokenKindCode returns.
enum class TPythonTokenKind : int {
    tkComment = 0,
    tkIdentifier = 1,
    tkKey = 2,
    tkNull = 3,
    tkNumber = 4,
    tkSpace = 5,
    tkString = 6,
    tkSymbol = 7,
    tkNonKeyword = 8,
    tkTripleQuotedString = 9,
    tkSystemDefined = 10,
    tkHex = 11,
    tkOct = 12,
    tkFloat = 13,
    tkUnknown = 14,
};

enum TPythonRangeState : TSrcRange {
    rsPyNormal = 2,
    rsPyTripleSingle = 3,
    rsPyTripleDouble = 4,
    rsPyContinuedSingle = 5,
    rsPyContinuedDouble = 6,
};

struct TPythonKeyword {
    std::string_view Word;
    TPythonTokenKind Kind;
};

class TSrcPythonSyn
    : public TSrcLineTokenizer<TPythonTokenKind, TPythonTokenKind::tkNull, TSrcRange, rsPyNormal> {
public:
    static constexpr const char* BuiltInFilter = "Python Files (*.py)|*.py";

    explicit TSrcPythonSyn(TComponent* AOwner = nullptr);

    static const TSrcHighlighterClass& StaticClass();
    const TSrcHighlighterClass& HighlighterClass() const override { return StaticClass(); }

    std::string SampleText() const override;

    TSrcHighlighterAttributes* TokenAttri() const override;
    void AdvanceToken() override;
    void RestoreRange(TSrcRange range) override;

    // The kind of the identifier at `pos` (a run of ASCII letters, digits and '_'); its length
    // goes to IdentifierLength.
    virtual TPythonTokenKind ClassifyIdentifier(size_t pos);
    size_t IdentifierLength() const { return FIdentifierLength; }
    // The reserved words (kind 2), then the non-reserved keywords (kind 8), shared by all.
    static std::span<const TPythonKeyword> PythonKeywordList();

    TSrcHighlighterAttributes* CommentAttri() const { return FCommentAttri; }
    TSrcHighlighterAttributes* IdentifierAttri() const { return FIdentifierAttri; }
    TSrcHighlighterAttributes* KeyAttri() const { return FKeyAttri; }
    TSrcHighlighterAttributes* NonKeyAttri() const { return FNonKeyAttri; }
    TSrcHighlighterAttributes* SystemAttri() const { return FSystemAttri; }
    TSrcHighlighterAttributes* NumberAttri() const { return FNumberAttri; }
    TSrcHighlighterAttributes* HexAttri() const { return FHexAttri; }
    TSrcHighlighterAttributes* OctalAttri() const { return FOctalAttri; }
    TSrcHighlighterAttributes* FloatAttri() const { return FFloatAttri; }
    TSrcHighlighterAttributes* SpaceAttri() const { return FSpaceAttri; }
    TSrcHighlighterAttributes* StringAttri() const { return FStringAttri; }
    TSrcHighlighterAttributes* DocStringAttri() const { return FDocStringAttri; }
    TSrcHighlighterAttributes* SymbolAttri() const { return FSymbolAttri; }
    TSrcHighlighterAttributes* ErrorAttri() const { return FErrorAttri; }

private:
    void ScanString(unsigned char quote);
    void ScanTripleRest(unsigned char quote);
    void ScanContinuedRest(unsigned char quote);
    void ScanNumber();
    void TakeBadNumber();

    std::unordered_map<std::string_view, TPythonTokenKind> FWords;
    size_t FIdentifierLength = 0;

    TSrcHighlighterAttributes* FCommentAttri;
    TSrcHighlighterAttributes* FIdentifierAttri;
    TSrcHighlighterAttributes* FKeyAttri;
    TSrcHighlighterAttributes* FNonKeyAttri;
    TSrcHighlighterAttributes* FSystemAttri;
    TSrcHighlighterAttributes* FNumberAttri;
    TSrcHighlighterAttributes* FHexAttri;
    TSrcHighlighterAttributes* FOctalAttri;
    TSrcHighlighterAttributes* FFloatAttri;
    TSrcHighlighterAttributes* FSpaceAttri;
    TSrcHighlighterAttributes* FStringAttri;
    TSrcHighlighterAttributes* FDocStringAttri;
    TSrcHighlighterAttributes* FSymbolAttri;
    TSrcHighlighterAttributes* FErrorAttri;
};
