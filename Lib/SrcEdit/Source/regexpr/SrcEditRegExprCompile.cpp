// The regular-expression compiler: parses a pattern into a tree, checks it, emits the
// backtracking program and computes its start-up data.

#include "SrcEdit/Source/regexpr/SrcEditRegExpr.h"

#include "Platform/text/TextChars.h"
#include "Platform/text/TextUtils.h"

#include <algorithm>
#include <optional>

using namespace RegExprDetail;

namespace {

constexpr std::int32_t Unbounded = 2147483646;

struct TCompileError {
    int Number;
    size_t Pos;
};

enum class TKind : std::uint8_t { Empty, Literal, OneChar, Assert, BackRef, Group, Alt, Seq, Repeat };

struct TNode {
    TKind Kind = TKind::Empty;
    std::string Text;              // Literal
    bool CaseInsensitive = false;  // Literal, BackRef
    TOp Op = TOp::Match;           // OneChar: Char, Set, Any or AnyNoSep; Assert: the assertion
    int Value = 0;                 // OneChar: byte or set; BackRef and Group: group number
    std::int32_t Min = 0;
    std::int32_t Max = 0;
    bool Greedy = true;
    bool Braces = false;
    std::vector<TNode> Kids;
};

TNode MakeNode(TKind kind, TOp op = TOp::Match, int value = 0)
{
    TNode node;
    node.Kind = kind;
    node.Op = op;
    node.Value = value;
    return node;
}

int ModifierLetter(char c)
{
    switch (c) {
    case 'i': case 'I': return ModI;
    case 'r': case 'R': return ModR;
    case 's': case 'S': return ModS;
    case 'g': case 'G': return ModG;
    case 'm': case 'M': return ModM;
    case 'x': case 'X': return ModX;
    default: return 0;
    }
}

bool IsSetEscape(char c)
{
    return c == 'd' || c == 'D' || c == 's' || c == 'S' || c == 'w' || c == 'W';
}

TByteTable TableOf(std::string_view chars)
{
    TByteTable table{};
    for (char c : chars)
        table[static_cast<unsigned char>(c)] = 1;
    table[0] = 0;
    return table;
}

// Word characters: the given ones and every byte from 128 to 255, as the highlighters count
// identifier characters.
TByteTable WordTable(std::string_view chars)
{
    TByteTable table = TableOf(chars);
    std::fill(table.begin() + 0x80, table.end(), 1);
    return table;
}

bool HasHighBytes(const TByteTable& table)
{
    return std::any_of(table.begin() + 0x80, table.end(), [](std::uint8_t b) { return b != 0; });
}

// The first byte of the UTF-8 form of a code point from U+0080 on.
int LeadByte(char32_t codePoint)
{
    if (codePoint < 0x800)
        return 0xC0 | static_cast<int>(codePoint >> 6);
    if (codePoint < 0x10000)
        return 0xE0 | static_cast<int>(codePoint >> 12);
    return 0xF0 | static_cast<int>(codePoint >> 18);
}

// The bytes a character of the class can start with.
TByteTable FirstBytes(const TProgram& program, const TCharClass& charClass)
{
    const TByteTable& bytes = program.Sets[static_cast<size_t>(charClass.Table)];
    TByteTable first{};
    if (charClass.Negated) {
        for (int c = 1; c < 256; ++c)
            first[c] = !bytes[c];
        std::fill(first.begin() + 0xC2, first.begin() + 0xF5, 1);
    } else {
        first = bytes;
        for (const auto& [low, high] : charClass.Ranges)
            std::fill(first.begin() + LeadByte(low), first.begin() + LeadByte(high) + 1, 1);
    }
    first[0] = 0;
    return first;
}

TByteTable Complement(const TByteTable& table)
{
    TByteTable result{};
    for (int c = 1; c < 256; ++c)
        result[c] = !table[c];
    return result;
}

int AddSet(TProgram& program, const TByteTable& table)
{
    const auto found = std::find(program.Sets.begin(), program.Sets.end(), table);
    if (found != program.Sets.end())
        return static_cast<int>(found - program.Sets.begin());
    program.Sets.push_back(table);
    return static_cast<int>(program.Sets.size() - 1);
}

int AddClass(TProgram& program, const TByteTable& table, std::vector<std::pair<char32_t, char32_t>> ranges,
             bool negated)
{
    TCharClass charClass;
    charClass.Table = AddSet(program, table);
    charClass.Ranges = std::move(ranges);
    charClass.Negated = negated;
    for (int c = 1; c < 0x80; ++c)
        charClass.Ascii[c] = (table[c] != 0) != negated ? 1 : 0;
    program.Classes.push_back(std::move(charClass));
    return static_cast<int>(program.Classes.size() - 1);
}

// The instruction that takes one character of a byte table: a byte set for ASCII members, a
// class that takes whole characters once bytes from 128 on belong to it.
std::pair<TOp, int> OneCharOf(TProgram& program, const TByteTable& table)
{
    if (!HasHighBytes(table))
        return {TOp::Set, AddSet(program, table)};
    return {TOp::Class, AddClass(program, table, {}, false)};
}

bool Nullable(const TNode& node)
{
    switch (node.Kind) {
    case TKind::Literal:
    case TKind::OneChar:
    case TKind::BackRef:  // why: checked at run time, where a loop stops on an empty iteration
        return false;
    case TKind::Group:
        return Nullable(node.Kids[0]);
    case TKind::Alt:
        return std::any_of(node.Kids.begin(), node.Kids.end(), Nullable);
    case TKind::Seq:
        return std::all_of(node.Kids.begin(), node.Kids.end(), Nullable);
    case TKind::Repeat:
        return node.Min == 0 || Nullable(node.Kids[0]);
    default:
        return true;
    }
}

bool ContainsBackRef(const TNode& node)
{
    return node.Kind == TKind::BackRef || std::any_of(node.Kids.begin(), node.Kids.end(), ContainsBackRef);
}

// The case-sensitive literals that every match contains.
void CollectRequiredLiterals(const TNode& node, std::vector<std::string>& found)
{
    switch (node.Kind) {
    case TKind::Literal:
        if (!node.CaseInsensitive && std::find(found.begin(), found.end(), node.Text) == found.end())
            found.push_back(node.Text);
        break;
    case TKind::Group:
    case TKind::Seq:
        for (const TNode& kid : node.Kids)
            CollectRequiredLiterals(kid, found);
        break;
    case TKind::Repeat:
        if (node.Min >= 1)
            CollectRequiredLiterals(node.Kids[0], found);
        break;
    default:
        break;
    }
}

struct TBraces {
    std::int32_t Min = 0;
    std::int32_t Max = 0;
    size_t End = 0;
    bool TooBig = false;
};

// Recursive descent over the pattern: expression -> branches -> pieces -> atoms.
class TParser {
public:
    TParser(std::string_view pattern, int modifiers, TProgram& program, const std::string& blanks,
            const std::string& words)
        : FPattern(pattern), FMods(modifiers), FProgram(program), FBlanks(TableOf(blanks)),
          FWords(WordTable(words))
    {
    }

    TNode Parse() { return ParseReg(false); }

private:
    char Peek(size_t ahead = 0) const
    {
        return FPos + ahead < FPattern.size() ? FPattern[FPos + ahead] : '\0';
    }
    char At(size_t i) const { return i < FPattern.size() ? FPattern[i] : '\0'; }

    [[noreturn]] void Fail(int number) const { throw TCompileError{number, FPos}; }

    // Blanks and "#" comments of modifier x, from i on.
    size_t SkipExtendedBlanks(size_t i) const
    {
        if (!(FMods & ModX))
            return i;
        for (;;) {
            const char c = At(i);
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++i;
            } else if (c == '#') {
                while (i < FPattern.size() && At(i) != '\n' && At(i) != '\r')
                    ++i;
            } else {
                return i;
            }
        }
    }

    bool CommentAt(size_t i) const { return At(i) == '(' && At(i + 1) == '?' && At(i + 2) == '#'; }

    // Extended blanks and "(?#...)" comments from i on, without consuming; an unclosed comment
    // stops the look-ahead there.
    size_t PeekPastComments(size_t i) const
    {
        for (;;) {
            i = SkipExtendedBlanks(i);
            if (!CommentAt(i))
                return i;
            const size_t close = FPattern.find(')', i + 3);
            if (close == std::string_view::npos)
                return i;
            i = close + 1;
        }
    }

    void SkipComments()
    {
        for (;;) {
            FPos = SkipExtendedBlanks(FPos);
            if (!CommentAt(FPos))
                return;
            const size_t close = FPattern.find(')', FPos + 3);
            if (close == std::string_view::npos) {
                FPos = FPattern.size();
                Fail(125);
            }
            FPos = close + 1;
        }
    }

    // Comments and "(?letters)" modifier changes before an atom.
    void SkipNonAtoms()
    {
        for (;;) {
            SkipComments();
            if (Peek() != '(' || Peek(1) != '?')
                return;
            ParseModifiers();
        }
    }

    void ParseModifiers()
    {
        FPos += 2;
        bool on = true;
        for (;;) {
            const char c = Peek();
            if (c == ')') {
                ++FPos;
                return;
            }
            if (c == '-') {
                on = false;
                ++FPos;
                continue;
            }
            const int bit = ModifierLetter(c);
            if (bit == 0) {
                if (FPos < FPattern.size())
                    ++FPos;
                Fail(127);
            }
            FMods = on ? (FMods | bit) : (FMods & ~bit);
            ++FPos;
        }
    }

    // "{n}", "{n,}" or "{n,m}" at i; anything else is not a quantifier.
    std::optional<TBraces> ReadBraces(size_t i) const
    {
        if (At(i) != '{')
            return std::nullopt;
        auto readNumber = [&](size_t& j, std::int32_t& value, bool& tooBig) {
            const size_t first = j;
            value = 0;
            while (At(j) >= '0' && At(j) <= '9') {
                if (j - first < 8)
                    value = value * 10 + (At(j) - '0');
                ++j;
            }
            tooBig = tooBig || j - first > 8;
            return j > first;
        };
        TBraces braces;
        size_t j = i + 1;
        if (!readNumber(j, braces.Min, braces.TooBig))
            return std::nullopt;
        if (At(j) == '}') {
            braces.Max = braces.Min;
        } else if (At(j) == ',') {
            ++j;
            if (!readNumber(j, braces.Max, braces.TooBig))
                braces.Max = Unbounded;
            if (At(j) != '}')
                return std::nullopt;
        } else {
            return std::nullopt;
        }
        braces.End = j + 1;
        return braces;
    }

    bool QuantifierAt(size_t i) const
    {
        const char c = At(i);
        return c == '*' || c == '+' || c == '?' || ReadBraces(i).has_value();
    }

    TNode ParseReg(bool inGroup)
    {
        TNode alt = MakeNode(TKind::Alt);
        for (;;) {
            alt.Kids.push_back(ParseBranch());
            if (Peek() != '|')
                break;
            ++FPos;
        }
        if (inGroup) {
            if (Peek() != ')')
                Fail(103);
            ++FPos;
        } else if (Peek() == ')') {
            Fail(104);
        }
        if (alt.Kids.size() == 1)
            return std::move(alt.Kids[0]);
        return alt;
    }

    TNode ParseBranch()
    {
        TNode seq = MakeNode(TKind::Seq);
        for (;;) {
            SkipNonAtoms();
            const char c = Peek();
            if (c == '\0' || c == '|' || c == ')')
                break;
            TNode piece = ParsePiece();
            if (piece.Kind == TKind::Empty)
                continue;
            // why: adjacent literals become one run, which the start-up analysis and the
            // matcher handle in one step.
            if (piece.Kind == TKind::Literal && !seq.Kids.empty() && seq.Kids.back().Kind == TKind::Literal &&
                seq.Kids.back().CaseInsensitive == piece.CaseInsensitive) {
                seq.Kids.back().Text += piece.Text;
                continue;
            }
            seq.Kids.push_back(std::move(piece));
        }
        if (seq.Kids.empty())
            return MakeNode(TKind::Empty);
        if (seq.Kids.size() == 1)
            return std::move(seq.Kids[0]);
        return seq;
    }

    TNode ParsePiece()
    {
        TNode atom = ParseAtom();
        SkipComments();
        std::int32_t min = 0;
        std::int32_t max = 0;
        bool braces = false;
        const char c = Peek();
        if (c == '*' || c == '+' || c == '?') {
            min = c == '+' ? 1 : 0;
            max = c == '?' ? 1 : Unbounded;
            ++FPos;
        } else if (const std::optional<TBraces> b = ReadBraces(FPos)) {
            FPos = b->End;
            if (b->TooBig)
                Fail(122);
            if (b->Max < b->Min)
                Fail(124);
            min = b->Min;
            max = b->Max;
            braces = true;
        } else {
            return atom;
        }
        if (c != '?' && Nullable(atom))
            Fail(106);
        bool lazy = false;
        if (Peek() == '?') {
            lazy = true;
            ++FPos;
        }
        const size_t next = PeekPastComments(FPos);
        if (QuantifierAt(next)) {
            FPos = next + 1;
            Fail(107);
        }
        TNode repeat = MakeNode(TKind::Repeat);
        repeat.Min = min;
        repeat.Max = max;
        repeat.Greedy = (FMods & ModG) && !lazy;
        repeat.Braces = braces;
        repeat.Kids.push_back(std::move(atom));
        return repeat;
    }

    TNode ParseAtom()
    {
        switch (Peek()) {
        case '^':
            ++FPos;
            return MakeNode(TKind::Assert, (FMods & ModM) ? TOp::LineStart : TOp::TextStart);
        case '$':
            ++FPos;
            return MakeNode(TKind::Assert, (FMods & ModM) ? TOp::LineEnd : TOp::TextEnd);
        case '.':
            ++FPos;
            return MakeNode(TKind::OneChar, (FMods & ModS) ? TOp::Any : TOp::AnyNoSep);
        case '[':
            ++FPos;
            return ParseClass();
        case '(': {
            ++FPos;
            if (++FGroupCount > TRegExpr::MaxGroups)
                Fail(102);
            TNode group = MakeNode(TKind::Group, TOp::Match, FGroupCount);
            const int saved = FMods;  // why: "(?x)" changes last to the end of the enclosing group
            group.Kids.push_back(ParseReg(true));
            FMods = saved;
            return group;
        }
        case '*':
        case '+':
        case '?':
            ++FPos;
            Fail(115);
        case '\\':
            return ParseEscape();
        default:
            return ParseLiteralRun();
        }
    }

    TNode Literal(std::string text)
    {
        TNode node = MakeNode(TKind::Literal);
        if (FMods & ModI)
            for (char c : text)
                if (FProgram.Fold[static_cast<unsigned char>(c)] != static_cast<unsigned char>(c))
                    node.CaseInsensitive = true;
        node.Text = std::move(text);
        return node;
    }

    TNode SetNode(const TByteTable& table)
    {
        const auto [op, value] = OneCharOf(FProgram, table);
        return MakeNode(TKind::OneChar, op, value);
    }

    // Bytes of the pattern's character at i: a whole UTF-8 sequence, else one byte.
    size_t CharLengthAt(size_t i) const { return static_cast<size_t>(std::max(1, TextChars::CharLength(FPattern, i))); }

    TNode ParseEscape()
    {
        ++FPos;
        if (FPos >= FPattern.size())
            Fail(116);
        const char c = Peek();
        switch (c) {
        case 'd': ++FPos; return SetNode(TableOf("0123456789"));
        case 'D': ++FPos; return SetNode(Complement(TableOf("0123456789")));
        case 'w': ++FPos; return SetNode(FWords);
        case 'W': ++FPos; return SetNode(Complement(FWords));
        case 's': ++FPos; return SetNode(FBlanks);
        case 'S': ++FPos; return SetNode(Complement(FBlanks));
        case 'b': ++FPos; return MakeNode(TKind::Assert, TOp::WordBound);
        case 'B': ++FPos; return MakeNode(TKind::Assert, TOp::NotWordBound);
        case 'A': ++FPos; return MakeNode(TKind::Assert, TOp::TextStart);
        case 'Z': ++FPos; return MakeNode(TKind::Assert, TOp::TextEnd);
        default:
            break;
        }
        if (c >= '1' && c <= '9') {
            ++FPos;
            TNode node = MakeNode(TKind::BackRef, TOp::Match, c - '0');
            node.CaseInsensitive = (FMods & ModI) != 0;
            return node;
        }
        return Literal(std::string(1, ParseCharEscape()));
    }

    // The character escape at the current position (after the backslash).
    char ParseCharEscape()
    {
        const char c = Peek();
        ++FPos;
        switch (c) {
        case 't': return '\t';
        case 'n': return '\n';
        case 'r': return '\r';
        case 'f': return '\f';
        case 'a': return '\a';
        case 'e': return '\x1B';
        case 'x': return static_cast<char>(ParseHex());
        default: return c;
        }
    }

    int ParseHex()
    {
        auto digit = [&]() {
            if (FPos >= FPattern.size())
                Fail(111);
            const int value = HexDigitValue(FPattern[FPos++]);
            if (value < 0)
                Fail(108);
            return value;
        };
        if (Peek() != '{') {
            const int high = digit();
            return high * 16 + digit();
        }
        ++FPos;
        int value = 0;
        bool any = false;
        for (;;) {
            if (FPos >= FPattern.size())
                Fail(111);
            if (Peek() == '}') {
                ++FPos;
                if (!any)
                    Fail(111);
                return value;
            }
            value = value * 16 + digit();
            any = true;
            if (value > 255)
                Fail(112);
        }
    }

    TNode ParseLiteralRun()
    {
        static constexpr std::string_view RunEnds = "^$.[()|?+*\\{";
        std::string run;
        size_t last = FPos;  // where the run's last character starts
        size_t lastLength = 0;
        auto take = [&](size_t at) {
            lastLength = CharLengthAt(at);
            run.append(FPattern.substr(at, lastLength));
            last = at;
            FPos = at + lastLength;
        };
        take(FPos);
        for (;;) {
            const size_t next = SkipExtendedBlanks(FPos);
            const char c = At(next);
            if (c == '\0' || RunEnds.find(c) != std::string_view::npos)
                break;
            take(next);
        }
        // why: a quantifier after a run applies to its last character alone, all its bytes.
        if (run.size() > lastLength && QuantifierAt(PeekPastComments(FPos))) {
            run.erase(run.size() - lastLength);
            FPos = last;
        }
        return Literal(std::move(run));
    }

    void AddRange(TByteTable& members, int low, int high) const
    {
        const bool cyrillic = (FMods & ModR) != 0;
        if (cyrillic && low == 0xE0 && high == 0xDF) {
            std::fill(members.begin() + 0xC0, members.end(), 1);
            members[0xA8] = members[0xB8] = 1;
            return;
        }
        if (high < low)
            Fail(109);
        std::fill(members.begin() + low, members.begin() + high + 1, 1);
        if (cyrillic && low == 0xE0 && high == 0xFF)
            members[0xB8] = 1;
        if (cyrillic && low == 0xC0 && high == 0xDF)
            members[0xA8] = 1;
    }

    // A class member or range end: a byte, or the code point of a multi-byte character.
    struct TMember {
        int Value = -1;
        bool CodePoint = false;
    };

    // The member at the current position outside escapes.
    TMember ReadMember()
    {
        const size_t length = CharLengthAt(FPos);
        TMember member;
        if (length > 1) {
            member = {static_cast<int>(TextChars::Decode(FPattern, FPos)), true};
        } else {
            member = {static_cast<unsigned char>(Peek()), false};
        }
        FPos += length;
        return member;
    }

    void AddMemberRange(TByteTable& members, std::vector<std::pair<char32_t, char32_t>>& ranges, TMember low,
                        TMember high) const
    {
        if (!low.CodePoint && !high.CodePoint) {
            AddRange(members, low.Value, high.Value);
            return;
        }
        if (high.Value < low.Value)
            Fail(109);
        if (low.Value < 0x80)
            std::fill(members.begin() + low.Value, members.begin() + std::min(high.Value, 0x7F) + 1, 1);
        if (high.Value >= 0x80)
            ranges.emplace_back(static_cast<char32_t>(std::max(low.Value, 0x80)), static_cast<char32_t>(high.Value));
    }

    TNode ParseClass()
    {
        TByteTable members{};
        std::vector<std::pair<char32_t, char32_t>> ranges;  // multi-byte characters
        bool negate = false;
        if (Peek() == '^') {
            negate = true;
            ++FPos;
        }
        TMember previous;  // the last single member, which may start a range
        bool first = true;
        for (;;) {
            if (FPos >= FPattern.size())
                Fail(113);
            const char c = Peek();
            if (c == ']' && !first) {
                ++FPos;
                break;
            }
            first = false;
            if (c == '-' && previous.Value >= 0) {
                const char next = Peek(1);
                if (next != ']' && next != '\0' && !(next == '\\' && IsSetEscape(Peek(2)))) {
                    ++FPos;
                    TMember high;
                    if (Peek() == '\\') {
                        ++FPos;
                        if (FPos >= FPattern.size())
                            Fail(110);
                        high = {static_cast<unsigned char>(ParseCharEscape()), false};
                    } else {
                        high = ReadMember();
                    }
                    AddMemberRange(members, ranges, previous, high);
                    previous = {};
                    continue;
                }
            }
            if (c == '\\') {
                ++FPos;
                if (FPos >= FPattern.size())
                    Fail(110);
                const char e = Peek();
                if (e == 'd' || e == 's' || e == 'w') {
                    ++FPos;
                    const TByteTable& set = e == 'd' ? TableOf("0123456789") : e == 's' ? FBlanks : FWords;
                    for (int m = 0; m < 256; ++m)
                        members[m] |= set[m];
                    previous = {};
                    continue;
                }
                previous = {static_cast<unsigned char>(ParseCharEscape()), false};
            } else {
                previous = ReadMember();
            }
            if (previous.CodePoint)
                ranges.emplace_back(static_cast<char32_t>(previous.Value), static_cast<char32_t>(previous.Value));
            else
                members[previous.Value] = 1;
        }
        if (FMods & ModI) {
            const TByteTable own = members;
            for (int m = 1; m < 256; ++m)
                if (own[m])
                    members[FProgram.Fold[m]] = 1;
        }
        members[0] = 0;
        if (!negate && ranges.empty())
            return SetNode(members);
        // why: a negated class takes every character that is not a member, multi-byte ones whole.
        return MakeNode(TKind::OneChar, TOp::Class, AddClass(FProgram, members, std::move(ranges), negate));
    }

    std::string_view FPattern;
    size_t FPos = 0;
    int FMods;
    int FGroupCount = 0;
    TProgram& FProgram;
    TByteTable FBlanks;
    TByteTable FWords;
};

// Emits the program of a tree.
class TCodeGen {
public:
    explicit TCodeGen(TProgram& program) : FProgram(program), FCode(program.Code) {}

    void Emit(const TNode& node)
    {
        switch (node.Kind) {
        case TKind::Empty:
            break;
        case TKind::Literal:
            EmitLiteral(node);
            break;
        case TKind::OneChar: {
            TInstr& in = Add(node.Op);
            in.A = node.Value;
            break;
        }
        case TKind::Assert:
            Add(node.Op);
            break;
        case TKind::BackRef:
            Add(node.CaseInsensitive ? TOp::BackRefCI : TOp::BackRef).A = node.Value;
            break;
        case TKind::Group:
            Add(TOp::Open).A = node.Value;
            Emit(node.Kids[0]);
            Add(TOp::Close).A = node.Value;
            break;
        case TKind::Seq:
            for (const TNode& kid : node.Kids)
                Emit(kid);
            break;
        case TKind::Alt:
            EmitAlt(node);
            break;
        case TKind::Repeat:
            EmitRepeat(node);
            break;
        }
    }

    void Finish()
    {
        Add(TOp::Match);
        FProgram.RegisterCount = RegFirstMark + FMarks;
    }

private:
    TInstr& Add(TOp op)
    {
        FCode.push_back(TInstr{});
        FCode.back().Op = op;
        return FCode.back();
    }
    int Here() const { return static_cast<int>(FCode.size()); }

    // A one-character operand for a simple repeat, if the node is one.
    std::optional<std::pair<TOp, int>> SingleByte(const TNode& node)
    {
        if (node.Kind == TKind::OneChar)
            return std::pair{node.Op, node.Value};
        if (node.Kind == TKind::Literal && node.Text.size() == 1) {
            const auto c = static_cast<unsigned char>(node.Text[0]);
            if (!node.CaseInsensitive)
                return std::pair{TOp::Char, int{c}};
            TByteTable table{};
            table[c] = table[FProgram.Fold[c]] = 1;
            return OneCharOf(FProgram, table);
        }
        return std::nullopt;
    }

    void EmitLiteral(const TNode& node)
    {
        if (const auto single = SingleByte(node)) {
            Add(single->first).A = single->second;
            return;
        }
        TInstr& in = Add(node.CaseInsensitive ? TOp::StrCI : TOp::Str);
        in.A = static_cast<std::int32_t>(FProgram.Literals.size());
        in.B = static_cast<std::int32_t>(node.Text.size());
        FProgram.Literals += node.Text;
        for (char c : node.Text)
            FProgram.LiteralsAlt += static_cast<char>(
                node.CaseInsensitive ? FProgram.Fold[static_cast<unsigned char>(c)] : static_cast<unsigned char>(c));
    }

    void EmitAlt(const TNode& node)
    {
        std::vector<int> exits;
        for (size_t i = 0; i < node.Kids.size(); ++i) {
            if (i + 1 == node.Kids.size()) {
                Emit(node.Kids[i]);
                break;
            }
            const int split = Here();
            Add(TOp::Split).A = split + 1;
            Emit(node.Kids[i]);
            exits.push_back(Here());
            Add(TOp::Jmp);
            FCode[split].B = Here();
        }
        for (int exit : exits)
            FCode[exit].A = Here();
    }

    void EmitRepeat(const TNode& node)
    {
        const TNode& body = node.Kids[0];
        if (const auto single = SingleByte(body)) {
            TInstr& in = Add(TOp::Repeat);
            in.Operand = single->first;
            in.A = single->second;
            in.Min = node.Min;
            in.Max = node.Max;
            in.Greedy = node.Greedy;
            return;
        }
        const bool star = node.Min == 0 && node.Max == Unbounded;
        const bool plus = node.Min == 1 && node.Max == Unbounded;
        const bool optional = node.Min == 0 && node.Max == 1;
        if (node.Greedy && !node.Braces && (star || plus || optional)) {
            EmitBranchLoop(node, star, plus);
            return;
        }
        const int entry = Here();
        Add(TOp::LoopEntry);
        const int bodyStart = Here();
        Emit(body);
        FCode[entry].A = Here();
        TInstr& loop = Add(TOp::Loop);
        loop.A = bodyStart;
        loop.Min = node.Min;
        loop.Max = node.Max;
        loop.Greedy = node.Greedy;
    }

    // Greedy "*", "+" and "?" of a complex operand: branches that loop back.
    void EmitBranchLoop(const TNode& node, bool star, bool plus)
    {
        const TNode& body = node.Kids[0];
        if (!star && !plus) {
            const int split = Here();
            Add(TOp::Split).A = split + 1;
            Emit(body);
            FCode[split].B = Here();
            return;
        }
        // why: a back-reference to an empty group matches nothing; stop looping then.
        const int mark = ContainsBackRef(body) ? RegFirstMark + FMarks++ : -1;
        const int top = Here();
        if (star)
            Add(TOp::Split).A = top + 1;
        if (mark >= 0)
            Add(TOp::Mark).A = mark;
        Emit(body);
        int loopBack = -1;
        if (mark >= 0) {
            loopBack = Here();
            TInstr& in = Add(TOp::LoopBack);
            in.C = mark;
            in.A = star ? top : loopBack + 1;
        }
        if (star) {
            if (mark < 0)
                Add(TOp::Jmp).A = top;
            FCode[top].B = Here();
        } else {
            const int split = Here();
            Add(TOp::Split).A = top;
            FCode[split].B = Here();
        }
        if (loopBack >= 0)
            FCode[loopBack].B = Here();
    }

    TProgram& FProgram;
    std::vector<TInstr>& FCode;
    int FMarks = 0;
};

// The bytes that a match continuing at pc can start with; index 0 stands for the end of the text.
class TFirstSets {
public:
    explicit TFirstSets(const TProgram& program) : FProgram(program) {}

    TByteTable From(int pc)
    {
        TByteTable result{};
        FVisited.assign(FProgram.Code.size(), false);
        Walk(pc, result);
        return result;
    }

private:
    static void All(TByteTable& out) { out.fill(1); }
    static void Merge(TByteTable& out, const TByteTable& more)
    {
        for (int c = 0; c < 256; ++c)
            out[c] |= more[c];
    }

    void Walk(int pc, TByteTable& out)
    {
        const std::vector<TInstr>& code = FProgram.Code;
        for (;;) {
            if (FVisited[pc])
                return;  // invariant: reached again without consuming; adds nothing new
            FVisited[pc] = true;
            const TInstr& in = code[pc];
            switch (in.Op) {
            case TOp::Char:
                out[in.A] = 1;
                return;
            case TOp::Str:
                out[static_cast<unsigned char>(FProgram.Literals[in.A])] = 1;
                return;
            case TOp::StrCI:
                out[static_cast<unsigned char>(FProgram.Literals[in.A])] = 1;
                out[static_cast<unsigned char>(FProgram.LiteralsAlt[in.A])] = 1;
                return;
            case TOp::Set:
                Merge(out, FProgram.Sets[in.A]);
                return;
            case TOp::Class:
                Merge(out, FirstBytes(FProgram, FProgram.Classes[static_cast<size_t>(in.A)]));
                return;
            case TOp::TextEnd:
                out[0] = 1;
                return;
            case TOp::LineEnd:
                out[0] = 1;
                for (int c = 1; c < 256; ++c)
                    out[c] |= FProgram.Separators[c];
                if (FProgram.PairHead >= 0)
                    out[FProgram.PairHead] = 1;
                return;
            case TOp::TextStart:
            case TOp::LineStart:
            case TOp::WordBound:
            case TOp::NotWordBound:
            case TOp::Open:
            case TOp::Close:
            case TOp::Mark:
                ++pc;
                break;
            case TOp::Split:
            case TOp::LoopBack:
                Walk(in.A, out);
                pc = in.B;
                break;
            case TOp::Jmp:
            case TOp::LoopEntry:
                pc = in.A;
                break;
            case TOp::Loop:
                Walk(in.A, out);
                ++pc;
                break;
            case TOp::Repeat:
                if (in.Operand == TOp::Char) {
                    out[in.A] = 1;
                } else if (in.Operand == TOp::Set) {
                    Merge(out, FProgram.Sets[in.A]);
                } else if (in.Operand == TOp::Class) {
                    Merge(out, FirstBytes(FProgram, FProgram.Classes[static_cast<size_t>(in.A)]));
                } else {
                    All(out);
                    return;
                }
                if (in.Min > 0)
                    return;
                ++pc;
                break;
            default:  // any byte, back-references, the end of the program
                All(out);
                return;
            }
        }
    }

    const TProgram& FProgram;
    std::vector<bool> FVisited;
};

bool IsFull(const TByteTable& table)
{
    return std::all_of(table.begin(), table.end(), [](std::uint8_t b) { return b != 0; });
}

TScanSet MakeScanSet(TProgram& program, const TByteTable& table)
{
    TScanSet scan;
    if (IsFull(table))
        return scan;
    scan.Set = AddSet(program, table);
    for (int c = 1; c < 256; ++c) {
        if (!table[c])
            continue;
        (scan.Count == 0 ? scan.C1 : scan.C2) = static_cast<unsigned char>(c);
        ++scan.Count;
    }
    return scan;
}

// The literal an instruction matches, for scanning ahead; empty for other instructions.
TLiteralScan LiteralScanOf(const TProgram& program, const TInstr& in)
{
    if (in.Op == TOp::Char)
        return {std::string(1, static_cast<char>(in.A)), std::string(1, static_cast<char>(in.A))};
    if (in.Op != TOp::Str && in.Op != TOp::StrCI)
        return {};
    const auto at = static_cast<size_t>(in.A);
    const auto n = static_cast<size_t>(in.B);
    return {program.Literals.substr(at, n), program.LiteralsAlt.substr(at, n)};
}

// The literal that starts at pc, through the starts and ends of groups between its pieces.
TLiteralScan PrefixOf(const TProgram& program, size_t pc)
{
    std::string text;
    std::string alt;
    for (;; ++pc) {
        const TInstr& in = program.Code[pc];
        if (in.Op == TOp::Open || in.Op == TOp::Close)
            continue;
        const TLiteralScan piece = LiteralScanOf(program, in);
        if (piece.Empty())
            break;
        text += piece.Text();
        alt += piece.Alt();
    }
    return {std::move(text), std::move(alt)};
}

// The bytes that can stand right after the first byte of a match that starts at pc; index 0
// stands for the end of the text. Every byte where the first step may take more than one byte.
TByteTable SecondBytes(const TProgram& program, TFirstSets& first, int pc)
{
    TByteTable result{};
    std::vector<bool> visited(program.Code.size(), false);
    std::vector<int> pending{pc};
    while (!pending.empty()) {
        int at = pending.back();
        pending.pop_back();
        for (;;) {
            if (visited[static_cast<size_t>(at)])
                break;
            visited[static_cast<size_t>(at)] = true;
            const TInstr& in = program.Code[static_cast<size_t>(at)];
            if (in.Op == TOp::Open || in.Op == TOp::Close || in.Op == TOp::WordBound || in.Op == TOp::NotWordBound ||
                in.Op == TOp::TextStart || in.Op == TOp::LineStart) {
                ++at;
                continue;
            }
            if (in.Op == TOp::Jmp) {
                at = in.A;
                continue;
            }
            if (in.Op == TOp::Split) {
                pending.push_back(in.B);
                at = in.A;
                continue;
            }
            if (in.Op == TOp::Str || in.Op == TOp::StrCI) {
                // invariant: literals of one byte are emitted as Char or Set.
                result[static_cast<unsigned char>(program.Literals[static_cast<size_t>(in.A) + 1])] = 1;
                result[static_cast<unsigned char>(program.LiteralsAlt[static_cast<size_t>(in.A) + 1])] = 1;
            } else if (in.Op == TOp::Char || in.Op == TOp::Set) {
                const TByteTable next = first.From(at + 1);
                for (int c = 0; c < 256; ++c)
                    result[c] |= next[c];
            } else {
                result.fill(1);
                return result;
            }
            break;
        }
    }
    return result;
}

// Whether the one-character operand of a repeat can never take byte c.
bool NeverTaken(const TProgram& program, const TInstr& repeat, unsigned char c)
{
    if (c >= 0x80)
        return false;  // why: multi-byte characters are judged whole; leave them to the matcher
    switch (repeat.Operand) {
    case TOp::Char: return c != repeat.A;
    case TOp::Set: return !program.Sets[static_cast<size_t>(repeat.A)][c];
    case TOp::Class: return !program.Classes[static_cast<size_t>(repeat.A)].Ascii[c];
    case TOp::AnyNoSep: return program.Separators[c] != 0;
    default: return false;
    }
}

void Analyse(TProgram& program, const TNode& tree)
{
    TFirstSets first(program);
    auto hint = [&](int pc) {
        const TByteTable table = first.From(pc);
        return IsFull(table) ? -1 : AddSet(program, table);
    };
    for (size_t pc = 0; pc < program.Code.size(); ++pc) {
        // why: the guards let the matcher skip branches and repeat counts that cannot go on.
        const TInstr in = program.Code[pc];
        if (in.Op == TOp::Split) {
            program.Code[pc].Hint = hint(in.A);
            program.Code[pc].HintB = hint(in.B);
        } else if (in.Op == TOp::Repeat) {
            program.Code[pc].Hint = hint(static_cast<int>(pc) + 1);
        }
    }
    program.FirstChars = MakeScanSet(program, first.From(0));
    if (program.FirstChars.Set >= 0) {
        const TByteTable second = SecondBytes(program, first, 0);
        if (!IsFull(second))
            program.SecondChars = AddSet(program, second);
    }

    size_t pc = 0;
    while (program.Code[pc].Op == TOp::Open)
        ++pc;
    const TInstr& start = program.Code[pc];
    program.Anchored = start.Op == TOp::TextStart;
    program.StartsAtLineStart = start.Op == TOp::LineStart;
    program.Prefix = PrefixOf(program, pc);
    if (program.StartsAtLineStart) {
        TByteTable breaks = program.Separators;
        if (program.PairTail > 0)
            breaks[program.PairTail] = 1;
        program.LineBreaks = MakeScanSet(program, breaks);
    }
    size_t lead = pc;
    if (program.StartsAtLineStart)
        for (++lead; program.Code[lead].Op == TOp::Open;)
            ++lead;
    const TInstr& leading = program.Code[lead];
    if (leading.Op == TOp::Repeat && leading.Max == Unbounded) {
        program.LeadingRepeat = static_cast<int>(lead);
        program.FollowLiteral = PrefixOf(program, lead + 1);
        const TLiteralScan& follow = program.FollowLiteral;
        program.FollowEndsRun = !follow.Empty() &&
            NeverTaken(program, leading, static_cast<unsigned char>(follow.Text()[0])) &&
            NeverTaken(program, leading, static_cast<unsigned char>(follow.Alt()[0]));
    }
    program.HasBackRefs = std::any_of(program.Code.begin(), program.Code.end(), [](const TInstr& in) {
        return in.Op == TOp::BackRef || in.Op == TOp::BackRefCI;
    });

    // why: a few of the longest are enough to refuse texts that cannot match; the prefix scan
    // already looks for the prefix.
    std::vector<std::string> required;
    CollectRequiredLiterals(tree, required);
    std::stable_sort(required.begin(), required.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (std::string& literal : required)
        if (literal != program.Prefix.Text() && program.RequiredLiterals.size() < 3)
            program.RequiredLiterals.emplace_back(literal, literal);
}

}  // namespace

void TRegExpr::CompileExpression()
{
    DropProgram();
    if (FExpression.empty())
        Error(1003);
    auto program = std::make_unique<TProgram>();
    program->Modifiers = FModifiers;
    for (int c = 0; c < 256; ++c)
        program->Fold[c] = static_cast<std::uint8_t>(FInvertCase(static_cast<char>(c)));
    program->Fold[0] = 0;
    program->WordChars = WordTable(FWordCharSet);
    program->Separators = TableOf(FLineSeparatorChars);
    program->PairHead = FPairHead;
    program->PairTail = FPairTail;
    try {
        TParser parser(FExpression, FModifiers, *program, FBlankChars, FWordCharSet);
        const TNode tree = parser.Parse();
        TCodeGen generator(*program);
        generator.Emit(tree);
        generator.Finish();
        Analyse(*program, tree);
    } catch (const TCompileError& error) {
        struct TResetPosition {
            int& Pos;
            ~TResetPosition() { Pos = 0; }
        } reset{FCompilePos};
        FCompilePos = static_cast<int>(error.Pos);
        Error(error.Number);
    }
    FProgram = std::move(program);
}
