#pragma once
// TSrcHTMLSyn: the HTML highlighter (text, entities, comments, tags, attribute names and values),
// and the fixed tables of tag names and entities it knows.

#include "SrcEditHighlighter.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

// What TokenKindCode answers.
enum THtmlTokenKind : int {
    tkHtmlAmpersand = 0, // character entity
    tkHtmlComment = 1,
    tkHtmlIdentifier = 2, // attribute name, or a tag name whose hash exceeds 250
    tkHtmlKey = 3,        // known tag name
    tkHtmlNull = 4,       // end of line
    tkHtmlSpace = 5,
    tkHtmlSymbol = 6,
    tkHtmlText = 7,
    tkHtmlUndefKey = 8, // unknown tag name
    tkHtmlValue = 9,
};

// The range state, one byte.
enum THtmlRangeState : unsigned char {
    rsHtmlAmpersand = 0,         // at an entity the text scan found; never at a line end
    rsHtmlComment = 1,
    rsHtmlKey = 2,               // after "<": a tag name is expected
    rsHtmlParam = 3,             // inside a tag after its name
    rsHtmlText = 4,              // the start-of-text state
    rsHtmlValue = 6,             // after "=" inside a tag
    rsHtmlQuoteValue = 7,        // inside a value in single quotes
    rsHtmlDoubleQuoteValue = 8,  // inside a value in double quotes
};

namespace SrcHtmlTables {
// "!DOCTYPE" and the 201 forms of the known tags, in capitals.
std::span<const char* const> TagNames();
// The 249 known named entities, each from '&' to ';'.
std::span<const char* const> Entities();
} // namespace SrcHtmlTables

class TSrcHTMLSyn : public TSrcCustomHighlighter {
public:
    explicit TSrcHTMLSyn(TComponent* AOwner = nullptr);

    static const TSrcHighlighterClass& StaticClass();
    const TSrcHighlighterClass& HighlighterClass() const override { return StaticClass(); }

    TSrcHighlighterAttributes* RoleAttri(int role) const override;
    TSrcCharSet IdentifierChars() const override;
    std::string SampleText() const override;
    bool IsFilterStored() const override;

    bool AtLineEnd() const override { return FTokenID == tkHtmlNull; }
    TSrcRange CurrentRange() const override { return FRange; }
    std::string TokenText() const override { return std::string(FLine.substr(FTokenPos, FRun - FTokenPos)); }
    TSrcHighlighterAttributes* TokenAttri() const override;
    int TokenKindCode() const override { return FTokenID; }
    int TokenStart() const override { return static_cast<int>(FTokenPos); }
    void AdvanceToken() override;
    void StartLine(std::string_view lineText, int lineNumber) override;
    void RestoreRange(TSrcRange range) override { FRange = static_cast<THtmlRangeState>(range & 0xFF); }
    void ClearRange() override { FRange = rsHtmlText; }

    TSrcHighlighterAttributes* AndAttri() const { return FAndAttri; }
    TSrcHighlighterAttributes* CommentAttri() const { return FCommentAttri; }
    TSrcHighlighterAttributes* IdentifierAttri() const { return FIdentifierAttri; }
    TSrcHighlighterAttributes* KeyAttri() const { return FKeyAttri; }
    TSrcHighlighterAttributes* SpaceAttri() const { return FSpaceAttri; }
    TSrcHighlighterAttributes* SymbolAttri() const { return FSymbolAttri; }
    TSrcHighlighterAttributes* TextAttri() const { return FTextAttri; }
    TSrcHighlighterAttributes* UndefKeyAttri() const { return FUndefKeyAttri; }
    TSrcHighlighterAttributes* ValueAttri() const { return FValueAttri; }

    static constexpr const char* BuiltInFilter = "HTML Documents (*.htm;*.html)|*.htm;*.html";

private:
    // invariant: the line ends at its first NUL, so At() past the end reads as one.
    unsigned char At(size_t i) const { return i < FLine.size() ? static_cast<unsigned char>(FLine[i]) : 0; }

    void Dispatch(unsigned char c);
    void SpaceProc();
    void LineBreakProc();
    void LessThanProc();
    void SymbolProc(THtmlRangeState next);
    void AmpersandProc();
    void NameProc();
    void TagNameProc();
    void QuotedValueProc();
    void CommentProc();
    void TextProc();
    // Index in the entity list of the named entity that starts at `pos`, or -1.
    int EntityAt(size_t pos) const;

    TSrcHighlighterAttributes* FCommentAttri;
    TSrcHighlighterAttributes* FIdentifierAttri;
    TSrcHighlighterAttributes* FKeyAttri;
    TSrcHighlighterAttributes* FSpaceAttri;
    TSrcHighlighterAttributes* FSymbolAttri;
    TSrcHighlighterAttributes* FTextAttri;
    TSrcHighlighterAttributes* FUndefKeyAttri;
    TSrcHighlighterAttributes* FValueAttri;
    TSrcHighlighterAttributes* FAndAttri;

    std::string_view FLine;
    int FLineNumber = 0;
    size_t FRun = 0;
    size_t FTokenPos = 0;
    THtmlTokenKind FTokenID = tkHtmlNull;
    THtmlRangeState FRange = rsHtmlText;
    int FEntityIndex = -1;
};
