#pragma once
// TSrcHTMLSyn: the HTML highlighter (text, entities, comments, tags, attribute names and values),
// and the fixed tables of tag names and entities it knows.

#include "SrcEdit/Source/highlighters/SrcEditLineScanner.h"

#include <cstddef>
#include <span>
#include <string>

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

class TSrcHTMLSyn : public TSrcLineTokenizer<THtmlTokenKind, tkHtmlNull, THtmlRangeState, rsHtmlText> {
public:
    explicit TSrcHTMLSyn(TComponent* AOwner = nullptr);

    static const TSrcHighlighterClass& StaticClass();
    const TSrcHighlighterClass& HighlighterClass() const override { return StaticClass(); }

    std::string SampleText() const override;

    TSrcHighlighterAttributes* TokenAttri() const override;
    void AdvanceToken() override;
    void RestoreRange(TSrcRange range) override { FRange = static_cast<THtmlRangeState>(range & 0xFF); }

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
    void Dispatch(unsigned char c);
    void SpaceProc();
    void LineBreakProc() { FTokenKind = tkHtmlSpace; SkipLineBreak(); }
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

    int FEntityIndex = -1;
};
