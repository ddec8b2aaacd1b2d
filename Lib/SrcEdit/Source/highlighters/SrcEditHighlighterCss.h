#pragma once
// TSrcCssSyn: the style-sheet highlighter. It follows where the scan stands in a rule (selector,
// property name, value) and looks property names up in a keyword hash list.
//
// CurrentRange outside a comment is the rule state: 2 property expected in a block,
// 3 selector, 4 after ";", 5 value expected. Inside a "/*" comment it also names the rule state
// that the closing "*/" returns to: 0 back to 3, 1 back to 2, 6 back to 4, 7 back to 5. Every
// value is 0..7 (largest value 7, three bits).

#include "SrcEdit/Source/highlighters/SrcEditHashEntries.h"
#include "SrcEdit/Source/highlighters/SrcEditLineScanner.h"

#include <memory>

// The number is what TokenKindCode returns.
enum class TCssTokenKind : int {
    tkComment = 0,
    tkProperty = 1,
    tkSelector = 2,
    tkNull = 3,
    tkSpace = 4,
    tkString = 5,
    tkSymbol = 6,
    tkText = 7,
    tkUndefProperty = 8,
    tkValue = 9,
    tkColor = 10,
    tkNumber = 11,
};

// Where the scan stands in a rule; rsCssComment only while a comment is open.
enum TCssRangeState : TSrcRange {
    rsCssComment = 0,
    rsCssProperty = 2,
    rsCssSelector = 3,
    rsCssAfterSemicolon = 4,
    rsCssValue = 5,
};

class TSrcCssSyn : public TSrcLineTokenizer<TCssTokenKind, TCssTokenKind::tkNull, TSrcRange, rsCssSelector> {
public:
    static constexpr const char* BuiltInFilter = "Cascading Stylesheets (*.css)|*.css";
    // The range inside a comment that returns to `ruleState` (2..5), and back.
    static constexpr TSrcRange CommentRange(TSrcRange ruleState)
    {
        return ruleState == rsCssSelector ? 0 : ruleState == rsCssProperty ? 1 : ruleState + 2;
    }

    explicit TSrcCssSyn(TComponent* AOwner = nullptr);
    ~TSrcCssSyn() override;

    static const TSrcHighlighterClass& StaticClass();
    const TSrcHighlighterClass& HighlighterClass() const override { return StaticClass(); }

    TSrcCharSet IdentifierChars() const override;
    std::string SampleText() const override;

    TSrcRange CurrentRange() const override;
    TSrcHighlighterAttributes* TokenAttri() const override;
    void AdvanceToken() override;
    void RestoreRange(TSrcRange range) override;
    void ClearRange() override;

    TSrcHighlighterAttributes* CommentAttri() const { return FCommentAttri; }
    TSrcHighlighterAttributes* PropertyAttri() const { return FPropertyAttri; }
    TSrcHighlighterAttributes* KeyAttri() const { return FKeyAttri; }
    TSrcHighlighterAttributes* UndefPropertyAttri() const { return FUndefPropertyAttri; }
    TSrcHighlighterAttributes* SpaceAttri() const { return FSpaceAttri; }
    TSrcHighlighterAttributes* ColorAttri() const { return FColorAttri; }
    TSrcHighlighterAttributes* NumberAttri() const { return FNumberAttri; }
    TSrcHighlighterAttributes* StringAttri() const { return FStringAttri; }
    TSrcHighlighterAttributes* SymbolAttri() const { return FSymbolAttri; }
    TSrcHighlighterAttributes* TextAttri() const { return FTextAttri; }
    TSrcHighlighterAttributes* ValueAttri() const { return FValueAttri; }

private:
    void Dispatch(unsigned char c);
    void ScanSymbol(TSrcRange nextRange);
    void ScanNumber();
    void ScanWord();
    void OpenComment();
    void ScanCommentRest();
    TCssTokenKind LookupProperty(size_t start) const;

    std::unique_ptr<TSrcHashEntryList> FKeywords;
    TSrcHighlighterAttributes* FCommentAttri;
    TSrcHighlighterAttributes* FPropertyAttri;
    TSrcHighlighterAttributes* FKeyAttri;
    TSrcHighlighterAttributes* FUndefPropertyAttri;
    TSrcHighlighterAttributes* FSpaceAttri;
    TSrcHighlighterAttributes* FColorAttri;
    TSrcHighlighterAttributes* FNumberAttri;
    TSrcHighlighterAttributes* FStringAttri;
    TSrcHighlighterAttributes* FSymbolAttri;
    TSrcHighlighterAttributes* FTextAttri;
    TSrcHighlighterAttributes* FValueAttri;

    // The rule state a comment interrupted; part of the range while the comment is open.
    TSrcRange FCommentReturn = rsCssSelector;
};
