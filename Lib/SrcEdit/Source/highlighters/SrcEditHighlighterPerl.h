#pragma once
// TSrcPerlSyn: the Perl highlighter. It keeps no state between lines (CurrentRange is always 0):
// strings end on their line and there are no POD blocks, here-documents or pattern literals.
// Besides reserved words it knows named operators, pragmas, special variables and Perl's
// punctuation variables ("$_", "$!", "$^W").

#include "SrcEdit/Source/highlighters/SrcEditLineScanner.h"

// The number is what TokenKindCode returns.
enum class TPerlTokenKind : int {
    tkComment = 0,
    tkIdentifier = 1,
    tkKey = 2,
    tkNull = 3,
    tkNumber = 4,
    tkOperator = 5,
    tkPragma = 6,
    tkSpace = 7,
    tkString = 8,
    tkSymbol = 9,
    tkUnknown = 10,
    tkVariable = 11,
};

class TSrcPerlSyn : public TSrcLineTokenizer<TPerlTokenKind, TPerlTokenKind::tkNull, TSrcRange, 0> {
public:
    static constexpr const char* BuiltInFilter = "Perl Files (*.pl;*.pm;*.cgi)|*.pl;*.pm;*.cgi";

    explicit TSrcPerlSyn(TComponent* AOwner = nullptr);

    static const TSrcHighlighterClass& StaticClass();
    const TSrcHighlighterClass& HighlighterClass() const override { return StaticClass(); }

    // Also '$', '%' and '@', the sigils of Perl's variables.
    TSrcCharSet IdentifierChars() const override;
    std::string SampleText() const override;

    TSrcHighlighterAttributes* TokenAttri() const override;
    void AdvanceToken() override;
    // Nothing carries over lines: every value reads as 0.
    void RestoreRange(TSrcRange) override {}

    TSrcHighlighterAttributes* CommentAttri() const { return FCommentAttri; }
    TSrcHighlighterAttributes* IdentifierAttri() const { return FIdentifierAttri; }
    TSrcHighlighterAttributes* InvalidAttri() const { return FInvalidAttri; }
    TSrcHighlighterAttributes* KeyAttri() const { return FKeyAttri; }
    TSrcHighlighterAttributes* NumberAttri() const { return FNumberAttri; }
    TSrcHighlighterAttributes* OperatorAttri() const { return FOperatorAttri; }
    TSrcHighlighterAttributes* PragmaAttri() const { return FPragmaAttri; }
    TSrcHighlighterAttributes* SpaceAttri() const { return FSpaceAttri; }
    TSrcHighlighterAttributes* StringAttri() const { return FStringAttri; }
    TSrcHighlighterAttributes* SymbolAttri() const { return FSymbolAttri; }
    TSrcHighlighterAttributes* VariableAttri() const { return FVariableAttri; }

private:
    void ScanWord();
    void ScanDotOrNumber();
    void ScanNumber();
    void ScanDoubleQuoted();
    void ScanSingleQuoted();
    void ScanSymbol(unsigned char c);
    void TakeSymbol(size_t length);

    TSrcHighlighterAttributes* FCommentAttri;
    TSrcHighlighterAttributes* FIdentifierAttri;
    TSrcHighlighterAttributes* FInvalidAttri;
    TSrcHighlighterAttributes* FKeyAttri;
    TSrcHighlighterAttributes* FNumberAttri;
    TSrcHighlighterAttributes* FOperatorAttri;
    TSrcHighlighterAttributes* FPragmaAttri;
    TSrcHighlighterAttributes* FSpaceAttri;
    TSrcHighlighterAttributes* FStringAttri;
    TSrcHighlighterAttributes* FSymbolAttri;
    TSrcHighlighterAttributes* FVariableAttri;
};
