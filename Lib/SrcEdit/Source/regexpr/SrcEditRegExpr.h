#pragma once
// The editor's own regular-expression engine for 8-bit text: settings, compiled program, matcher,
// sub-matches, template expansion and replacement, and its exception.
//
// Text is bytes in UTF-8. A match never splits a character: it starts and ends between whole
// characters, and ".", classes and their negations take a whole UTF-8 character at a time (a
// byte that begins no valid sequence is a character of its own). Bytes 128-255 are word
// characters for \w, \W, \b and \B, as the highlighters count them. Case folding uses a fixed
// table that does not depend on the host locale: only the ASCII letters fold.
// Modifier r keeps the byte ranges of the Windows-1251 code page, where 0xC0-0xDF and 0xE0-0xFF
// are the Cyrillic capitals and small letters and 0xA8/0xB8 their YO pair: with r, a class range
// 0xE0-0xFF also takes 0xB8, 0xC0-0xDF also takes 0xA8, and 0xE0-0xDF stands for both sets. In
// UTF-8 text these bytes are pieces of multi-byte characters, so r only matters for patterns and
// texts still written in that single-byte code page.

#include "Platform/core/Exceptions.h"
#include "SrcEdit/Source/regexpr/SrcEditRegExprScan.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class ERegExpr : public Exception {
public:
    ERegExpr(std::string message, int errorNumber, int errorPosition)
        : Exception(std::move(message)), FErrorNumber(errorNumber), FErrorPosition(errorPosition) {}
    int ErrorNumber() const noexcept { return FErrorNumber; }
    // Offset of the compile position from the start of the pattern; 0 outside compiling.
    int ErrorPosition() const noexcept { return FErrorPosition; }

private:
    int FErrorNumber;
    int FErrorPosition;
};

// The other case of a character, or the character itself when it has none.
using TRegExprInvertCaseFunction = char (*)(char);

namespace RegExprDetail {

// The modifier bits of an object and of its compiled program: modifier n is bit n - 1.
enum TModifierBit : int { ModI = 1, ModR = 2, ModS = 4, ModG = 8, ModM = 16, ModX = 32 };

enum class TOp : std::uint8_t {
    Match,        // end of the program: the attempt succeeds
    Char,         // A: the byte
    Str,          // A: offset in Literals, B: length
    StrCI,        // A: offset in Literals and LiteralsAlt, B: length
    Set,          // A: set index; an ASCII byte
    Class,        // A: class index; one character
    Any,          // any character before the end
    AnyNoSep,     // "." without modifier s
    TextStart,
    TextEnd,
    LineStart,
    LineEnd,
    WordBound,
    NotWordBound,
    BackRef,      // A: group
    BackRefCI,    // A: group
    Open,         // A: group
    Close,        // A: group
    Split,        // go to A, on failure to B; Hint/HintB: sets that A/B can start with (-1: any)
    Jmp,          // A: target
    Repeat,       // one-character operand (Operand, A) repeated Min..Max times; Hint: what may follow
    LoopEntry,    // A: the Loop instruction
    Loop,         // A: body start; Min, Max, Greedy
    Mark,         // A: register that remembers the position
    LoopBack,     // to A when the position moved since Mark C, else to B
};

struct TInstr {
    TOp Op = TOp::Match;
    TOp Operand = TOp::Match;  // Repeat: Char, Set, Class, Any or AnyNoSep
    bool Greedy = true;
    std::int32_t A = 0;
    std::int32_t B = 0;
    std::int32_t C = 0;
    std::int32_t Min = 0;
    std::int32_t Max = 0;
    std::int32_t Hint = -1;
    std::int32_t HintB = -1;
};

using TByteTable = std::array<std::uint8_t, 256>;

// A set of bytes to scan for, with its members at hand when there are one or two of them.
struct TScanSet {
    int Set = -1;  // -1: every position qualifies
    int Count = 0;
    unsigned char C1 = 0;
    unsigned char C2 = 0;
};

// A class of characters. A single-byte character (ASCII, or a byte that begins no valid
// sequence) is a member when Sets[Table] holds it; a multi-byte character when its code point
// lies in Ranges or every one of its bytes is in Sets[Table] (so \w and [^"] take them all).
// Negated turns the answer round.
struct TCharClass {
    int Table = 0;
    std::vector<std::pair<char32_t, char32_t>> Ranges;
    bool Negated = false;
    // The answer for each ASCII character, Negated applied: the quick path of the matcher.
    std::array<std::uint8_t, 128> Ascii{};
};

struct TProgram {
    std::vector<TInstr> Code;
    // invariant: Sets[i][0] means "at the end of the text"; the input never holds a NUL byte.
    std::vector<TByteTable> Sets;
    std::vector<TCharClass> Classes;
    std::string Literals;
    std::string LiteralsAlt;
    int RegisterCount = 0;
    int Modifiers = 0;

    // Start-up data.
    bool Anchored = false;           // starts at the start of the text
    bool StartsAtLineStart = false;  // starts with "^" under modifier m
    TLiteralScan Prefix;             // literal every match starts with
    std::vector<TLiteralScan> RequiredLiterals;  // literals every match contains
    // An unbounded repeat of one character that every match starts with, after "^" under
    // modifier m if there is one (-1: none), and the literal that directly follows it (empty: none).
    int LeadingRepeat = -1;
    TLiteralScan FollowLiteral;
    bool FollowEndsRun = false;      // the literal's first byte is never taken by the repeat
    bool HasBackRefs = false;
    TScanSet FirstChars;             // bytes a match can start with
    int SecondChars = -1;            // set of the bytes after a match's first byte (-1: any)
    TScanSet LineBreaks;             // bytes a line start can follow

    // Settings baked in at compile time.
    TByteTable Fold{};
    TByteTable WordChars{};
    TByteTable Separators{};
    int PairHead = -1;
    int PairTail = -1;
};

// Register layout: sub-match pairs (start, end), the start of each group still open, the loop
// nesting depth, one counter and one iteration start per loop level, then the marks of
// repetitions that may loop without progress.
constexpr int RegOpenStart = 30;    // + group
constexpr int RegLoopDepth = 45;
constexpr int RegLoopCounter = 46;  // + level - 1
constexpr int RegIterStart = 56;    // + level - 1
constexpr int RegFirstMark = 66;

struct TBacktrack {
    std::int32_t Kind;
    std::int32_t Pc;
    std::int32_t Pos;
    std::int32_t Value;
};

}  // namespace RegExprDetail

class TRegExpr {
public:
    static constexpr int SubMatchCount = 15;  // pair 0 is the whole match, 1..14 the groups
    static constexpr int MaxGroups = SubMatchCount - 1;
    static constexpr int MaxLoopNesting = 10;
    // Added to the fixed error numbers: a match that needs more steps than the step budget, or
    // more backtracking memory than the engine allows, ends with this error.
    static constexpr int ErrorMatchTooComplex = 1100;
    // Steps are bytes examined plus program instructions run, per Exec or ExecNext call: about
    // half a second of matching, several times what a search through 16 MB of source needs.
    static constexpr std::int64_t DefaultMatchStepLimit = 200'000'000;

    TRegExpr();
    virtual ~TRegExpr();
    TRegExpr(const TRegExpr&) = delete;
    TRegExpr& operator=(const TRegExpr&) = delete;

    const std::string& Expression() const noexcept { return FExpression; }
    void SetExpression(std::string_view expression);

    // Modifiers by number: 1 i, 2 r, 3 s, 4 g, 5 m, 6 x.
    bool ReadModifier(int number);
    void AssignModifier(int number, bool value);
    bool ModifierI() const noexcept { return HasModifier(RegExprDetail::ModI); }
    void SetModifierI(bool value) { SetModifierBit(RegExprDetail::ModI, value); }
    bool ModifierR() const noexcept { return HasModifier(RegExprDetail::ModR); }
    void SetModifierR(bool value) { SetModifierBit(RegExprDetail::ModR, value); }
    bool ModifierS() const noexcept { return HasModifier(RegExprDetail::ModS); }
    void SetModifierS(bool value) { SetModifierBit(RegExprDetail::ModS, value); }
    bool ModifierG() const noexcept { return HasModifier(RegExprDetail::ModG); }
    void SetModifierG(bool value) { SetModifierBit(RegExprDetail::ModG, value); }
    bool ModifierM() const noexcept { return HasModifier(RegExprDetail::ModM); }
    void SetModifierM(bool value) { SetModifierBit(RegExprDetail::ModM, value); }
    bool ModifierX() const noexcept { return HasModifier(RegExprDetail::ModX); }
    void SetModifierX(bool value) { SetModifierBit(RegExprDetail::ModX, value); }

    // The process-wide defaults a new object takes for modifiers 1..5 (GUI thread only).
    static bool DefaultModifier(int number);
    static void SetDefaultModifier(int number, bool value);

    const std::string& BlankChars() const noexcept { return FBlankChars; }
    void SetBlankChars(std::string_view chars);
    const std::string& WordCharSet() const noexcept { return FWordCharSet; }
    void SetWordCharSet(std::string_view chars);
    const std::string& LineSeparatorChars() const noexcept { return FLineSeparatorChars; }
    void SetLineSeparatorChars(std::string_view chars);
    // Two different characters (head, tail) or the empty text.
    std::string LinePairedSeparator() const;
    void SetLinePairedSeparator(std::string_view pair);
    TRegExprInvertCaseFunction InvertCase() const noexcept { return FInvertCase; }
    void SetInvertCase(TRegExprInvertCaseFunction function);
    static char DefaultInvertCase(char c);

    std::int64_t MatchStepLimit() const noexcept { return FMatchStepLimit; }
    void SetMatchStepLimit(std::int64_t steps);

    void CompileExpression();

    bool Exec(std::string_view text);
    bool ExecNext();
    const std::string& InputString() const noexcept { return FInputString; }
    // 1-based position and length of sub-match n; -1 for an unset pair, n outside 0..14 or no input.
    int SubMatchPosition(int n) const;
    int SubMatchLength(int n) const;

    std::string ExpandTemplate(std::string_view templ);
    std::string ReplaceAll(std::string_view text, std::string_view replaceText, bool useTemplate);

    int LastError() const noexcept { return FLastError; }

    virtual void RaiseError(int number);
    virtual std::string ErrorMsg(int number);

private:
    bool HasModifier(int bit) const noexcept { return (FModifiers & bit) != 0; }
    void SetModifierBit(int bit, bool value);
    void DropProgram() noexcept;
    // Raises through RaiseError; an override that returns still ends the operation.
    [[noreturn]] void Error(int number);
    void PrepareProgram();
    bool ExecFrom(std::int64_t start);
    bool TryAt(int start);
    bool MatchHere(int start, int& end);
    // Bytes of the character at pos < length: 1 for ASCII and for bytes that begin no sequence.
    int CharAt(int pos) const;
    // True when pos lies between the bytes of one character.
    bool InsideChar(int pos) const;
    // Bytes of the character at pos < length that the class takes; 0 when it does not match.
    int ClassWidth(const RegExprDetail::TCharClass& charClass, int pos) const;
    int FindCandidate(int from, const RegExprDetail::TScanSet& scan) const;
    // Bytes of the one-character operand of a repeat at pos < length; 0 when it does not match.
    int OperandWidth(const RegExprDetail::TInstr& repeat, int pos) const;
    // Where the run of the leading repeat's operand that starts at pos ends.
    int LeadingRunEnd(int pos) const;
    // The first position from `from` on where a match can start, judged by the literal after
    // the leading repeat; -1 when no match can start there or later.
    int FollowLiteralBound(int from) const;
    bool IsLineStart(int pos) const;

    std::string FExpression;
    int FModifiers;
    std::string FBlankChars;
    std::string FWordCharSet;
    std::string FLineSeparatorChars;
    int FPairHead = '\r';
    int FPairTail = '\n';
    TRegExprInvertCaseFunction FInvertCase;
    std::int64_t FMatchStepLimit = DefaultMatchStepLimit;

    std::unique_ptr<RegExprDetail::TProgram> FProgram;
    int FCompilePos = 0;
    int FLastError = 0;

    std::string FInputString;
    bool FHasInput = false;
    std::vector<std::int32_t> FRegisters;  // sub-match pairs first, then loop state
    std::vector<RegExprDetail::TBacktrack> FBacktrack;
    std::int64_t FStepsLeft = 0;
};
