#pragma once
// TSrcPHPSyn: the PHP highlighter (code between the PHP markers of a page, or a whole PHP file).

#include "SrcEditHighlighter.h"

#include <cstddef>
#include <string>
#include <string_view>

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

class TSrcPHPSyn : public TSrcCustomHighlighter {
public:
    explicit TSrcPHPSyn(TComponent* AOwner = nullptr);

    static const TSrcHighlighterClass& StaticClass();
    const TSrcHighlighterClass& HighlighterClass() const override { return StaticClass(); }

    TSrcHighlighterAttributes* RoleAttri(int role) const override;
    TSrcCharSet IdentifierChars() const override;
    std::string SampleText() const override;
    bool IsFilterStored() const override;

    bool AtLineEnd() const override { return FTokenID == tkPhpNull; }
    TSrcRange CurrentRange() const override { return FRange; }
    std::string TokenText() const override { return std::string(FLine.substr(FTokenPos, FRun - FTokenPos)); }
    TSrcHighlighterAttributes* TokenAttri() const override;
    int TokenKindCode() const override { return FTokenID; }
    int TokenStart() const override { return static_cast<int>(FTokenPos); }
    void AdvanceToken() override;
    void StartLine(std::string_view lineText, int lineNumber) override;
    void RestoreRange(TSrcRange range) override { FRange = static_cast<TPhpRangeState>(range & 0xFF); }
    void ClearRange() override { FRange = rsPhpUnknown; }

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
    // invariant: the line ends at its first NUL, so At() past the end reads as one.
    unsigned char At(size_t i) const { return i < FLine.size() ? static_cast<unsigned char>(FLine[i]) : 0; }
    bool IsEscaped(size_t pos) const;

    TPhpTokenKind IdentKind();
    void SpaceProc();
    void LineBreakProc();
    void NumberProc();
    void VariableProc();
    void LineCommentProc();
    void SlashProc();
    void BlockCommentProc();
    void StringProc();
    void VarExpansionProc();
    void SymbolProc(size_t length) { FRun += length; FTokenID = tkPhpSymbol; }
    void UnknownProc();

    TSrcHighlighterAttributes* FCommentAttri;
    TSrcHighlighterAttributes* FIdentifierAttri;
    TSrcHighlighterAttributes* FKeyAttri;
    TSrcHighlighterAttributes* FNumberAttri;
    TSrcHighlighterAttributes* FSpaceAttri;
    TSrcHighlighterAttributes* FStringAttri;
    TSrcHighlighterAttributes* FSymbolAttri;
    TSrcHighlighterAttributes* FVariableAttri;

    std::string_view FLine;
    int FLineNumber = 0;
    size_t FRun = 0;
    size_t FTokenPos = 0;
    TPhpTokenKind FTokenID = tkPhpNull;
    TPhpRangeState FRange = rsPhpUnknown;
};
