#pragma once
// TSrcPHPSyn: the PHP highlighter (code between the PHP markers of a page, or a whole PHP file).

#include "SrcEdit/Source/highlighters/SrcEditLineScanner.h"

#include <cstddef>
#include <string>

// What TokenKindCode answers.
enum TPhpTokenKind : int {
    tkPhpComment = 0,
    tkPhpIdentifier = 1,
    tkPhpKey = 2,
    tkPhpNull = 3, // end of line
    tkPhpNumber = 4,
    tkPhpSpace = 5,
    tkPhpString = 6,
    tkPhpSymbol = 7,
    tkPhpUnknown = 8,
    tkPhpVariable = 9,
};

// The range state, one byte.
enum TPhpRangeState : unsigned char {
    rsPhpUnknown = 0,       // normal code
    rsPhpString39 = 1,      // inside a '...' string that continues
    rsPhpString34 = 2,      // inside a "..." string that continues
    rsPhpComment = 3,       // inside a "/*" comment
    rsPhpVarExpansion = 4,  // at a variable inside a "..." string; never at a line end
};

class TSrcPHPSyn : public TSrcLineTokenizer<TPhpTokenKind, tkPhpNull, TPhpRangeState, rsPhpUnknown> {
public:
    explicit TSrcPHPSyn(TComponent* AOwner = nullptr);

    static const TSrcHighlighterClass& StaticClass();
    const TSrcHighlighterClass& HighlighterClass() const override { return StaticClass(); }

    std::string SampleText() const override;

    TSrcHighlighterAttributes* TokenAttri() const override;
    void AdvanceToken() override;
    void RestoreRange(TSrcRange range) override { FRange = static_cast<TPhpRangeState>(range & 0xFF); }

    TSrcHighlighterAttributes* CommentAttri() const { return FCommentAttri; }
    TSrcHighlighterAttributes* IdentifierAttri() const { return FIdentifierAttri; }
    TSrcHighlighterAttributes* KeyAttri() const { return FKeyAttri; }
    TSrcHighlighterAttributes* NumberAttri() const { return FNumberAttri; }
    TSrcHighlighterAttributes* SpaceAttri() const { return FSpaceAttri; }
    TSrcHighlighterAttributes* StringAttri() const { return FStringAttri; }
    TSrcHighlighterAttributes* SymbolAttri() const { return FSymbolAttri; }
    TSrcHighlighterAttributes* VariableAttri() const { return FVariableAttri; }

    static constexpr const char* BuiltInFilter = "PHP Files (*.php;*.php3;*.phtml;*.inc)|*.php;*.php3;*.phtml;*.inc";

private:
    bool IsEscaped(size_t pos) const;

    TPhpTokenKind IdentKind();
    void SpaceProc();
    void LineBreakProc() { FTokenKind = tkPhpSpace; SkipLineBreak(); }
    // A string or comment state that meets the line end at a token start: the null token or the
    // line break; false when the token is not at the line end.
    bool LineEndProc();
    void NumberProc();
    void VariableProc();
    void LineCommentProc();
    void SlashProc();
    void BlockCommentProc();
    void StringProc();
    void VarExpansionProc();
    void SymbolProc(size_t length) { FRun += length; FTokenKind = tkPhpSymbol; }
    void UnknownProc();

    TSrcHighlighterAttributes* FCommentAttri;
    TSrcHighlighterAttributes* FIdentifierAttri;
    TSrcHighlighterAttributes* FKeyAttri;
    TSrcHighlighterAttributes* FNumberAttri;
    TSrcHighlighterAttributes* FSpaceAttri;
    TSrcHighlighterAttributes* FStringAttri;
    TSrcHighlighterAttributes* FSymbolAttri;
    TSrcHighlighterAttributes* FVariableAttri;
};
