#pragma once
// A small highlighter for the tests of the highlighter interface: blanks, identifiers, the
// keywords "if", "else" and "while", numbers, symbols, strings in double quotes and /* */
// comments. Comments and strings may run on over line ends, so the range state carries them
// from one line to the next. Its start-of-text state is not 0, to show that callers use
// ClearRange rather than assume a value.

#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"

#include <cctype>

class TTestSyn : public TSrcCustomHighlighter {
public:
    enum TTokenKind { tkSpace = 1, tkIdentifier, tkKey, tkNumber, tkString, tkSymbol, tkComment };
    enum TRangeState : TSrcRange { rsNormal = 3, rsComment = 4, rsString = 5 };

    static constexpr const char* BuiltInFilter = "Test Files (*.tst)|*.tst";

    explicit TTestSyn(TComponent* AOwner = nullptr) : TSrcCustomHighlighter(AOwner)
    {
        CommentAttri = AddAttri(std::make_unique<TSrcHighlighterAttributes>("Comment"));
        CommentAttri->SetForeground(clGreen);
        CommentAttri->SetStyle({fsItalic});
        IdentifierAttri = AddAttri(std::make_unique<TSrcHighlighterAttributes>("Identifier"));
        KeyAttri = AddAttri(std::make_unique<TSrcHighlighterAttributes>("Reserved Word"));
        KeyAttri->SetStyle({fsBold});
        NumberAttri = AddAttri(std::make_unique<TSrcHighlighterAttributes>("Number"));
        NumberAttri->SetForeground(clBlue);
        SpaceAttri = AddAttri(std::make_unique<TSrcHighlighterAttributes>("Space"));
        StringAttri = AddAttri(std::make_unique<TSrcHighlighterAttributes>("String"));
        StringAttri->SetForeground(clMaroon);
        SymbolAttri = AddAttri(std::make_unique<TSrcHighlighterAttributes>("Symbol"));
        BindAttributeChanges();
        SetDefaultFilter(BuiltInFilter);
        FRange = rsNormal;
    }

    static const TSrcHighlighterClass& StaticClass()
    {
        static const TSrcHighlighterClass cls{"TTestSyn", &TSrcCustomHighlighter::StaticClass(),
                                              [] { return std::string("Test Language"); },
                                              TSrcCustomHighlighter::StaticClass().FeatureFlags};
        return cls;
    }
    const TSrcHighlighterClass& HighlighterClass() const override { return StaticClass(); }

    TSrcHighlighterAttributes* RoleAttri(int role) const override
    {
        switch (role) {
        case arComment: return CommentAttri;
        case arIdentifier: return IdentifierAttri;
        case arKeyword: return KeyAttri;
        case arString: return StringAttri;
        case arWhitespace: return SpaceAttri;
        case arSymbol: return SymbolAttri;
        default: return nullptr;
        }
    }
    TSrcCharSet IdentifierChars() const override
    {
        return CharRange('a', 'z') | CharRange('A', 'Z') | CharRange('0', '9') | CharSetOf("_");
    }
    std::string SampleText() const override { return FSampleText; }
    void SetSampleText(const std::string& value) override { FSampleText = value; }
    bool IsFilterStored() const override { return DefaultFilter() != BuiltInFilter; }

    bool AtLineEnd() const override { return FAtEnd; }
    TSrcRange CurrentRange() const override { return FRange; }
    std::string TokenText() const override { return std::string(FLine.substr(FTokenPos, FRun - FTokenPos)); }
    TSrcHighlighterAttributes* TokenAttri() const override
    {
        switch (FKind) {
        case tkSpace: return SpaceAttri;
        case tkIdentifier: return IdentifierAttri;
        case tkKey: return KeyAttri;
        case tkNumber: return NumberAttri;
        case tkString: return StringAttri;
        case tkSymbol: return SymbolAttri;
        case tkComment: return CommentAttri;
        default: return nullptr;
        }
    }
    int TokenKindCode() const override { return FKind; }
    int TokenStart() const override { return static_cast<int>(FTokenPos); }

    void StartLine(std::string_view lineText, int lineNumber) override
    {
        FLine = lineText.substr(0, lineText.find('\0'));
        FLineNumber = lineNumber;
        FRun = 0;
        FAtEnd = false;
        AdvanceToken();
    }
    void AdvanceToken() override
    {
        FTokenPos = FRun;
        if (FRun >= FLine.size()) {
            FAtEnd = true;
            FKind = 0;
            return;
        }
        if (FRange == rsComment)
            return ScanUntil("*/", tkComment);
        if (FRange == rsString)
            return ScanUntil("\"", tkString);
        const unsigned char c = static_cast<unsigned char>(FLine[FRun]);
        if (c == ' ' || c == '\t') {
            while (FRun < FLine.size() && (FLine[FRun] == ' ' || FLine[FRun] == '\t'))
                ++FRun;
            FKind = tkSpace;
        } else if (std::isalpha(c) || c == '_') {
            while (FRun < FLine.size() && (std::isalnum(static_cast<unsigned char>(FLine[FRun])) || FLine[FRun] == '_'))
                ++FRun;
            const std::string word = TokenText();
            FKind = word == "if" || word == "else" || word == "while" ? tkKey : tkIdentifier;
        } else if (std::isdigit(c)) {
            while (FRun < FLine.size() && std::isdigit(static_cast<unsigned char>(FLine[FRun])))
                ++FRun;
            FKind = tkNumber;
        } else if (c == '"') {
            ++FRun;
            FRange = rsString;
            ScanUntil("\"", tkString);
        } else if (FLine.substr(FRun, 2) == "/*") {
            FRun += 2;
            FRange = rsComment;
            ScanUntil("*/", tkComment);
        } else {
            ++FRun;
            FKind = tkSymbol;
        }
    }
    void RestoreRange(TSrcRange range) override { FRange = range; }
    void ClearRange() override { FRange = rsNormal; }

    int LineNumber() const { return FLineNumber; }
    using TSrcCustomHighlighter::AddAttri;

    TSrcHighlighterAttributes* CommentAttri;
    TSrcHighlighterAttributes* IdentifierAttri;
    TSrcHighlighterAttributes* KeyAttri;
    TSrcHighlighterAttributes* NumberAttri;
    TSrcHighlighterAttributes* SpaceAttri;
    TSrcHighlighterAttributes* StringAttri;
    TSrcHighlighterAttributes* SymbolAttri;

private:
    // The token runs to the end of `closer` (leaving the range) or to the end of the line.
    void ScanUntil(std::string_view closer, int kind)
    {
        FKind = kind;
        const size_t end = FLine.find(closer, FRun);
        if (end == std::string_view::npos) {
            FRun = FLine.size();
            return;
        }
        FRun = end + closer.size();
        FRange = rsNormal;
    }

    std::string_view FLine;
    size_t FRun = 0;
    size_t FTokenPos = 0;
    int FKind = 0;
    int FLineNumber = 0;
    bool FAtEnd = true;
    TSrcRange FRange;
    std::string FSampleText;
};

// A class derived from the test highlighter, for class-dependent behaviour.
class TTestSubSyn : public TTestSyn {
public:
    using TTestSyn::TTestSyn;
    static const TSrcHighlighterClass& StaticClass()
    {
        static const TSrcHighlighterClass cls{"TTestSubSyn", &TTestSyn::StaticClass(),
                                              [] { return std::string("Test Dialect"); },
                                              TSrcCustomHighlighter::StaticClass().FeatureFlags};
        return cls;
    }
    const TSrcHighlighterClass& HighlighterClass() const override { return StaticClass(); }
};
