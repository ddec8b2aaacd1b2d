// The regular-expression matcher: picks start positions from the start-up data and runs the
// compiled program on a backtracking machine whose stack lives on the heap.

#include "SrcEdit/Source/regexpr/SrcEditRegExpr.h"

#include "Platform/text/TextChars.h"

#include <algorithm>
#include <cstring>

using namespace RegExprDetail;

namespace {

enum TBacktrackKind : std::int32_t {
    bkChoice,        // go on at Pc with Pos
    bkRestore,       // register Pc had Value before
    bkRepeatGreedy,  // repeat at Pc: try Value repetitions next; they start at Pos when each takes
                     // one byte, else they end at Pos
    bkRepeatLazy,    // repeat at Pc: try Value repetitions, ending at Pos, next
    bkLoopIterate,   // lazy loop at Pc: run the body once more from Pos
    bkLoopExit,      // greedy loop at Pc: leave it at Pos
};

// why: a pattern such as "(.)*" over a long line needs a few entries per byte; past this the
// match is refused rather than letting it take all memory (16 bytes per entry).
constexpr size_t MaxBacktrackEntries = size_t{1} << 22;

// Searches [from, to) for c1 or c2; returns to when neither occurs.
const unsigned char* FindEither(const unsigned char* from, const unsigned char* to, unsigned char c1, unsigned char c2)
{
    // why: chunks keep a rare second byte from making every call scan to the end of the text.
    constexpr std::ptrdiff_t Chunk = 4096;
    while (from < to) {
        const std::ptrdiff_t n = std::min(Chunk, to - from);
        const auto* a = static_cast<const unsigned char*>(std::memchr(from, c1, static_cast<size_t>(n)));
        const std::ptrdiff_t limit = a ? a - from : n;
        const auto* b = static_cast<const unsigned char*>(std::memchr(from, c2, static_cast<size_t>(limit)));
        if (b)
            return b;
        if (a)
            return a;
        from += n;
    }
    return to;
}

// Whether pos may lie inside a character: only a byte 0x80-0xBF continues one. The quick test
// before the real one; text[length] is the terminating NUL.
inline bool MayContinue(const unsigned char* text, int pos)
{
    return (text[pos] & 0xC0) == 0x80;
}

}  // namespace

int TRegExpr::FindCandidate(int from, const TScanSet& scan) const
{
    const auto* text = reinterpret_cast<const unsigned char*>(FInputString.c_str());
    const int length = static_cast<int>(FInputString.size());
    if (scan.Set < 0)
        return from;
    const TByteTable& set = FProgram->Sets[static_cast<size_t>(scan.Set)];
    if (scan.Count <= 2) {
        const unsigned char* found = text + length;
        if (scan.Count == 1) {
            const void* hit = std::memchr(text + from, scan.C1, static_cast<size_t>(length - from));
            if (hit)
                found = static_cast<const unsigned char*>(hit);
        } else if (scan.Count == 2) {
            found = FindEither(text + from, text + length, scan.C1, scan.C2);
        }
        if (found < text + length)
            return static_cast<int>(found - text);
        return set[0] ? length : -1;
    }
    // invariant: text[length] is the string's terminating NUL, and set[0] stands for the end.
    for (int p = from; p <= length; ++p)
        if (set[text[p]])
            return p;
    return -1;
}

int TRegExpr::CharAt(int pos) const
{
    const auto c = static_cast<unsigned char>(FInputString[static_cast<size_t>(pos)]);
    return c < 0x80 ? 1 : TextChars::CharLength(FInputString, static_cast<size_t>(pos));
}

bool TRegExpr::InsideChar(int pos) const
{
    if (pos <= 0 || pos >= static_cast<int>(FInputString.size()))
        return false;
    // Only a byte 0x80-0xBF can continue a character.
    const auto c = static_cast<unsigned char>(FInputString[static_cast<size_t>(pos)]);
    return (c & 0xC0) == 0x80 && TextChars::IsTrailByte(FInputString, static_cast<size_t>(pos));
}

int TRegExpr::ClassWidth(const TCharClass& charClass, int pos) const
{
    const TByteTable& bytes = FProgram->Sets[static_cast<size_t>(charClass.Table)];
    const auto* text = reinterpret_cast<const unsigned char*>(FInputString.data()) + pos;
    const int width = CharAt(pos);
    bool member;
    if (width == 1) {
        member = bytes[text[0]] != 0;
    } else {
        const char32_t codePoint = TextChars::Decode(FInputString, static_cast<size_t>(pos));
        member = std::any_of(charClass.Ranges.begin(), charClass.Ranges.end(),
                             [&](const auto& range) { return codePoint >= range.first && codePoint <= range.second; }) ||
                 std::all_of(text, text + width, [&](unsigned char b) { return bytes[b] != 0; });
    }
    return member != charClass.Negated ? width : 0;
}

bool TRegExpr::IsLineStart(int pos) const
{
    const TProgram& program = *FProgram;
    const auto* text = reinterpret_cast<const unsigned char*>(FInputString.c_str());
    const int length = static_cast<int>(FInputString.size());
    if (pos == 0)
        return true;
    const int before = text[pos - 1];
    if (program.PairHead >= 0 && pos >= 2 && text[pos - 2] == program.PairHead && before == program.PairTail)
        return true;
    if (!program.Separators[before])
        return false;
    return !(before == program.PairHead && pos < length && text[pos] == program.PairTail);
}

bool TRegExpr::ExecFrom(std::int64_t start)
{
    std::fill(FRegisters.begin(), FRegisters.begin() + 2 * SubMatchCount, -1);
    PrepareProgram();
    if (!FHasInput)
        Error(1005);
    if (start < 0)
        Error(1006);
    const int length = static_cast<int>(FInputString.size());
    if (start > length)
        return false;
    const TProgram& program = *FProgram;
    if (FRegisters.size() < static_cast<size_t>(program.RegisterCount))
        FRegisters.resize(static_cast<size_t>(program.RegisterCount), -1);
    FRegisters[RegLoopDepth] = 0;
    FBacktrack.clear();
    FStepsLeft = FMatchStepLimit;

    const auto* bytes = reinterpret_cast<const unsigned char*>(FInputString.c_str());
    // invariant: a match starts between characters, never inside one.
    auto insideChar = [&](int at) { return MayContinue(bytes, at) && InsideChar(at); };
    auto tryAt = [&](int at) { return !insideChar(at) && TryAt(at); };
    int p = static_cast<int>(start);
    for (const TLiteralScan& literal : program.RequiredLiterals)
        if (literal.Find(bytes, length, p) < 0)
            return false;
    if (program.Anchored)
        return tryAt(p);
    if (!program.Prefix.Empty()) {
        for (;;) {
            p = program.Prefix.Find(bytes, length, p);
            if (p < 0)
                return false;
            if (tryAt(p))
                return true;
            ++p;
        }
    }
    const TByteTable* first = program.FirstChars.Set >= 0 ? &program.Sets[static_cast<size_t>(program.FirstChars.Set)] : nullptr;
    if (program.StartsAtLineStart) {
        for (;;) {
            // why: the bound need not be a line start; the scan for the next line break
            // below goes on from it.
            if (!program.FollowLiteral.Empty()) {
                p = FollowLiteralBound(p);
                if (p < 0)
                    return false;
            }
            if (IsLineStart(p) && (!first || (*first)[bytes[p]]) && tryAt(p))
                return true;
            const int lineBreak = p < length ? FindCandidate(p, program.LineBreaks) : -1;
            if (lineBreak < 0)
                return false;
            p = lineBreak + 1;
        }
    }
    // why: when every match starts with an unbounded repeat, a start inside the run of its
    // operand that follows a failed start can only end the repeat where that start could, so
    // it fails too, unless a back-reference sees where the repeat began.
    const bool skipRuns = program.LeadingRepeat >= 0 && !program.HasBackRefs;
    const TByteTable* second = program.SecondChars >= 0 ? &program.Sets[static_cast<size_t>(program.SecondChars)] : nullptr;
    for (;;) {
        if (!program.FollowLiteral.Empty()) {
            p = FollowLiteralBound(p);
            if (p < 0)
                return false;
        }
        p = FindCandidate(p, program.FirstChars);
        if (p < 0)
            return false;
        // invariant: text[length] is the terminating NUL, which the set reads as the end.
        if ((second && p < length && !(*second)[bytes[p + 1]]) || insideChar(p)) {
            ++p;
            continue;
        }
        if (TryAt(p))
            return true;
        if (p >= length)
            return false;
        p = skipRuns ? std::max(p + 1, LeadingRunEnd(p)) : p + 1;
    }
}

int TRegExpr::OperandWidth(const TInstr& repeat, int pos) const
{
    const TProgram& program = *FProgram;
    const auto* text = reinterpret_cast<const unsigned char*>(FInputString.c_str());
    const int length = static_cast<int>(FInputString.size());
    const unsigned char c = text[pos];
    switch (repeat.Operand) {
    case TOp::Char:
        return c == repeat.A && (c < 0x80 || CharAt(pos) == 1) ? 1 : 0;
    case TOp::Set:
        return program.Sets[static_cast<size_t>(repeat.A)][c] ? 1 : 0;
    case TOp::Class: {
        const TCharClass& charClass = program.Classes[static_cast<size_t>(repeat.A)];
        return c < 0x80 ? charClass.Ascii[c] : ClassWidth(charClass, pos);
    }
    case TOp::Any:
        return c < 0x80 ? 1 : CharAt(pos);
    case TOp::AnyNoSep:
        if (program.Separators[c] || (c == program.PairHead && pos + 1 < length && text[pos + 1] == program.PairTail))
            return 0;
        return c < 0x80 ? 1 : CharAt(pos);
    default:
        return 0;
    }
}

int TRegExpr::LeadingRunEnd(int pos) const
{
    const TInstr& repeat = FProgram->Code[static_cast<size_t>(FProgram->LeadingRepeat)];
    const int length = static_cast<int>(FInputString.size());
    while (pos < length) {
        const int w = OperandWidth(repeat, pos);
        if (w == 0)
            break;
        pos += w;
    }
    return pos;
}

int TRegExpr::FollowLiteralBound(int from) const
{
    const TProgram& program = *FProgram;
    const TInstr& repeat = program.Code[static_cast<size_t>(program.LeadingRepeat)];
    const auto* text = reinterpret_cast<const unsigned char*>(FInputString.c_str());
    const int length = static_cast<int>(FInputString.size());
    // A byte the operand may take; every byte from 128 on counts, so the run found below is
    // never shorter than the real one.
    auto mayTake = [&](unsigned char c) {
        if (c >= 0x80)
            return true;
        switch (repeat.Operand) {
        case TOp::Char: return c == repeat.A;
        case TOp::Set: return program.Sets[static_cast<size_t>(repeat.A)][c] != 0;
        case TOp::Class: return program.Classes[static_cast<size_t>(repeat.A)].Ascii[c] != 0;
        case TOp::AnyNoSep: return program.Separators[c] == 0;
        default: return true;
        }
    };
    // invariant: a match from s has the literal at some e >= s + Min (each character takes at
    // least a byte) right where the run of the operand from s may end; q below is the first
    // place from + Min on where the literal stands, so a start before the run that reaches q
    // would need the literal before q.
    for (;;) {
        if (from > length || length - from < repeat.Min)
            return -1;
        const int q = program.FollowLiteral.Find(text, length, from + repeat.Min);
        if (q < 0)
            return -1;
        int runStart = q;
        while (runStart > from && mayTake(text[runStart - 1]))
            --runStart;
        // why: when the repeat can never take the literal's first byte, a match from this run
        // has the literal exactly at q, and the run is too short for that.
        if (program.FollowEndsRun && q - runStart < repeat.Min) {
            from = q + 1;
            continue;
        }
        return runStart;
    }
}

bool TRegExpr::TryAt(int start)
{
    int end = 0;
    try {
        if (!MatchHere(start, end))
            return false;
    } catch (...) {
        // invariant: an error leaves no half-recorded groups behind.
        std::fill(FRegisters.begin(), FRegisters.begin() + 2 * SubMatchCount, -1);
        throw;
    }
    FRegisters[0] = start;
    FRegisters[1] = end;
    return true;
}

bool TRegExpr::MatchHere(int start, int& end)
{
    const TProgram& program = *FProgram;
    const TInstr* const code = program.Code.data();
    const TByteTable* const sets = program.Sets.data();
    const auto* const text = reinterpret_cast<const unsigned char*>(FInputString.c_str());
    const int length = static_cast<int>(FInputString.size());
    const auto* const literals = reinterpret_cast<const unsigned char*>(program.Literals.data());
    const auto* const literalsAlt = reinterpret_cast<const unsigned char*>(program.LiteralsAlt.data());
    std::int32_t* const regs = FRegisters.data();
    std::vector<TBacktrack>& stack = FBacktrack;
    std::int64_t steps = FStepsLeft;
    int pc = 0;
    int pos = start;

    auto tooComplex = [&]() { Error(ErrorMatchTooComplex); };
    auto push = [&](std::int32_t kind, std::int32_t a, std::int32_t b, std::int32_t c) {
        if (stack.size() >= MaxBacktrackEntries)
            tooComplex();
        stack.push_back({kind, a, b, c});
    };
    auto setReg = [&](int reg, std::int32_t value) {
        if (regs[reg] != value) {
            push(bkRestore, reg, 0, regs[reg]);
            regs[reg] = value;
        }
    };
    // "." without modifier s at p < length.
    auto notSeparator = [&](int p) {
        const unsigned char c = text[p];
        if (program.Separators[c])
            return false;
        return !(c == program.PairHead && p + 1 < length && text[p + 1] == program.PairTail);
    };
    // A single byte that is a character of its own at p < length: ASCII, or a byte that begins
    // no valid sequence.
    auto byteAlone = [&](int p) { return text[p] < 0x80 || CharAt(p) == 1; };
    // Bytes of the one-character operand of a repeat at p < length; 0 when it does not match.
    // Characters, ASCII ones without a call.
    auto charAt = [&](int p) { return text[p] < 0x80 ? 1 : CharAt(p); };
    auto classAt = [&](const TCharClass& charClass, int p) -> int {
        return text[p] < 0x80 ? charClass.Ascii[text[p]] : ClassWidth(charClass, p);
    };
    auto width = [&](const TInstr& in, int p) -> int {
        switch (in.Operand) {
        case TOp::Char: return text[p] == in.A && byteAlone(p) ? 1 : 0;
        case TOp::Set: return sets[in.A][text[p]] != 0 ? 1 : 0;
        case TOp::Class: return classAt(program.Classes[static_cast<size_t>(in.A)], p);
        case TOp::Any: return charAt(p);
        case TOp::AnyNoSep: return notSeparator(p) ? charAt(p) : 0;
        default: Error(1000);
        }
    };
    // Where the character that ends at e > 0 starts. invariant: every repetition starts and
    // ends between characters, so the sequence that ends at e cannot start before the repeat.
    auto previous = [&](int e) {
        if ((text[e - 1] & 0xC0) != 0x80)
            return e - 1;
        for (int n = 2; n <= 4 && e - n >= 0; ++n) {
            const unsigned char c = text[e - n];
            if (c < 0x80)
                break;
            if (c >= 0xC0)
                return CharAt(e - n) == n ? e - n : e - 1;
        }
        return e - 1;
    };
    // Repetitions of the operand from p, at most limit of them; `end` is where they end.
    auto countRun = [&](const TInstr& in, int p, std::int32_t limit, int& end) __attribute__((always_inline)) {
        int k = 0;
        int q = p;
        if (in.Operand == TOp::Char && in.A < 0x80) {
            const int most = static_cast<int>(std::min<std::int64_t>(limit, length - p));
            while (k < most && text[q] == in.A)
                ++k, ++q;
        } else if (in.Operand == TOp::Set) {
            const TByteTable& set = sets[in.A];
            const int most = static_cast<int>(std::min<std::int64_t>(limit, length - p));
            while (k < most && set[text[q]])
                ++k, ++q;
        } else if (in.Operand == TOp::Class) {
            // why: local copies keep the loop in registers; the lambda's captures are references.
            const TCharClass& charClass = program.Classes[static_cast<size_t>(in.A)];
            const unsigned char* const t = text;
            const int n = length;
            for (; k < limit && q < n; ++k) {
                const unsigned char c = t[q];
                if (c < 0x80) {
                    if (!charClass.Ascii[c])
                        break;
                    ++q;
                } else {
                    const int w = ClassWidth(charClass, q);
                    if (w == 0)
                        break;
                    q += w;
                }
            }
        } else {
            for (; k < limit && q < length; ++k) {
                const int w = width(in, q);
                if (w == 0)
                    break;
                q += w;
            }
        }
        steps -= q - p;
        end = q;
        return k;
    };
    // Steps a repeat of whole characters back from e to where what follows may start.
    auto backOff = [&](const TInstr& in, const TByteTable& follow, int& k, int& e) {
        while (k >= in.Min && !follow[text[e]]) {
            --steps;
            if (--k < in.Min)
                break;
            e = previous(e);
        }
    };
    // why: the repeat helpers are called from more than one place; left out of line, their
    // closures are built on every call of this function, once for each start position tried.
    // Greedy repeat: k repetitions ending at e, then fewer down to the minimum. Operands of one
    // byte (Char, Set) start at base = e - k; base is not needed for the others.
    auto greedyTry = [&](int rpc, int base, int k, int e) __attribute__((always_inline)) {
        const TInstr& in = code[rpc];
        const bool oneByte = in.Operand == TOp::Char || in.Operand == TOp::Set;
        if (in.Hint >= 0) {
            const TByteTable& follow = sets[in.Hint];
            if (oneByte) {
                const int most = k;
                while (k >= in.Min && !follow[text[base + k]])
                    --k;
                steps -= most - k;
                e = base + k;
            } else {
                backOff(in, follow, k, e);
            }
        }
        if (k < in.Min)
            return false;
        if (k > in.Min)
            push(bkRepeatGreedy, rpc, oneByte ? base : previous(e), k - 1);
        pos = e;
        pc = rpc + 1;
        return true;
    };
    // Lazy repeat: k repetitions ending at e, then more up to the maximum.
    auto lazyTry = [&](int rpc, int k, int e) __attribute__((always_inline)) {
        const TInstr& in = code[rpc];
        const TByteTable* follow = in.Hint >= 0 ? &sets[in.Hint] : nullptr;
        for (;;) {
            const int grow = k < in.Max && e < length ? width(in, e) : 0;
            if (!follow || (*follow)[text[e]]) {
                if (grow > 0)
                    push(bkRepeatLazy, rpc, e + grow, k + 1);
                pos = e;
                pc = rpc + 1;
                return true;
            }
            if (grow == 0)
                return false;
            ++k;
            e += grow;
            --steps;
        }
    };
    // A literal, back-reference or byte that ends inside a character does not match there.
    auto endsWhole = [&](int e) { return !(MayContinue(text, e) && InsideChar(e)); };
    auto loopIterate = [&](int loopPc, int depth) {
        const int count = regs[RegLoopCounter + depth - 1];
        setReg(RegLoopCounter + depth - 1, count + 1);
        setReg(RegIterStart + depth - 1, pos);
        pc = code[loopPc].A;
    };
    auto loopExit = [&](int loopPc, int depth) {
        setReg(RegLoopDepth, depth - 1);
        pc = loopPc + 1;
    };

    for (;;) {
        if (--steps < 0)
            tooComplex();
        const TInstr& in = code[pc];
        switch (in.Op) {
        case TOp::Match:
            end = pos;
            FStepsLeft = steps;
            stack.clear();
            return true;
        case TOp::Char:
            if (pos < length && text[pos] == in.A && byteAlone(pos)) {
                ++pos;
                ++pc;
                continue;
            }
            break;
        case TOp::Str:
            if (length - pos >= in.B && std::memcmp(text + pos, literals + in.A, static_cast<size_t>(in.B)) == 0 &&
                endsWhole(pos + in.B)) {
                pos += in.B;
                ++pc;
                continue;
            }
            break;
        case TOp::StrCI: {
            if (length - pos < in.B)
                break;
            int i = 0;
            while (i < in.B && (text[pos + i] == literals[in.A + i] || text[pos + i] == literalsAlt[in.A + i]))
                ++i;
            if (i < in.B || !endsWhole(pos + in.B))
                break;
            pos += in.B;
            ++pc;
            continue;
        }
        case TOp::Set:
            if (pos < length && sets[in.A][text[pos]]) {
                ++pos;
                ++pc;
                continue;
            }
            break;
        case TOp::Class:
            if (pos < length) {
                if (const int w = classAt(program.Classes[static_cast<size_t>(in.A)], pos)) {
                    pos += w;
                    ++pc;
                    continue;
                }
            }
            break;
        case TOp::Any:
            if (pos < length) {
                pos += charAt(pos);
                ++pc;
                continue;
            }
            break;
        case TOp::AnyNoSep:
            if (pos < length && notSeparator(pos)) {
                pos += charAt(pos);
                ++pc;
                continue;
            }
            break;
        case TOp::TextStart:
            if (pos == 0) {
                ++pc;
                continue;
            }
            break;
        case TOp::TextEnd:
            if (pos == length) {
                ++pc;
                continue;
            }
            break;
        case TOp::LineStart:
            if (IsLineStart(pos)) {
                ++pc;
                continue;
            }
            break;
        case TOp::LineEnd: {
            bool at = pos == length;
            if (!at) {
                const int c = text[pos];
                if (c == program.PairHead && pos + 1 < length && text[pos + 1] == program.PairTail)
                    at = true;
                else
                    at = program.Separators[c] && !(c == program.PairTail && pos > 0 && text[pos - 1] == program.PairHead);
            }
            if (at) {
                ++pc;
                continue;
            }
            break;
        }
        case TOp::WordBound:
        case TOp::NotWordBound: {
            const bool before = pos > 0 && program.WordChars[text[pos - 1]];
            const bool after = pos < length && program.WordChars[text[pos]];
            if ((before != after) == (in.Op == TOp::WordBound)) {
                ++pc;
                continue;
            }
            break;
        }
        case TOp::BackRef:
        case TOp::BackRefCI: {
            const int groupStart = regs[2 * in.A];
            const int groupEnd = regs[2 * in.A + 1];
            if (groupStart < 0 || groupEnd < groupStart)
                break;
            const int n = groupEnd - groupStart;
            if (length - pos < n)
                break;
            int i = 0;
            if (in.Op == TOp::BackRef) {
                if (std::memcmp(text + groupStart, text + pos, static_cast<size_t>(n)) == 0)
                    i = n;
            } else {
                while (i < n && (text[pos + i] == text[groupStart + i] || text[pos + i] == program.Fold[text[groupStart + i]]))
                    ++i;
            }
            if (i < n || !endsWhole(pos + n))
                break;
            pos += n;
            ++pc;
            continue;
        }
        case TOp::Open:
            // why: a back-reference inside the group still sees the group's previous text.
            setReg(RegOpenStart + in.A, pos);
            ++pc;
            continue;
        case TOp::Close:
            setReg(2 * in.A, regs[RegOpenStart + in.A]);
            setReg(2 * in.A + 1, pos);
            ++pc;
            continue;
        case TOp::Split:
            if (in.Hint >= 0 && !sets[in.Hint][text[pos]]) {
                pc = in.B;
                continue;
            }
            if (in.HintB < 0 || sets[in.HintB][text[pos]])
                push(bkChoice, in.B, pos, 0);
            pc = in.A;
            continue;
        case TOp::Jmp:
            pc = in.A;
            continue;
        case TOp::Repeat: {
            const int base = pos;
            int e = base;
            if (in.Greedy) {
                const int k = countRun(in, base, in.Max, e);
                if (greedyTry(pc, base, k, e))
                    continue;
            } else {
                const int k = countRun(in, base, in.Min, e);
                if (k >= in.Min && lazyTry(pc, k, e))
                    continue;
            }
            break;
        }
        case TOp::LoopEntry: {
            const int depth = regs[RegLoopDepth];
            if (depth >= MaxLoopNesting)
                Error(1014);
            setReg(RegLoopDepth, depth + 1);
            setReg(RegLoopCounter + depth, 0);
            setReg(RegIterStart + depth, -1);
            pc = in.A;
            continue;
        }
        case TOp::Loop: {
            const int depth = regs[RegLoopDepth];
            if (depth <= 0)
                Error(1015);
            const int count = regs[RegLoopCounter + depth - 1];
            // why: an iteration that matched nothing would repeat forever.
            const bool stalled = count > 0 && pos == regs[RegIterStart + depth - 1];
            if (stalled || count >= in.Max) {
                loopExit(pc, depth);
            } else if (count < in.Min) {
                loopIterate(pc, depth);
            } else if (in.Greedy) {
                push(bkLoopExit, pc, pos, 0);
                loopIterate(pc, depth);
            } else {
                push(bkLoopIterate, pc, pos, 0);
                loopExit(pc, depth);
            }
            continue;
        }
        case TOp::Mark:
            setReg(in.A, pos);
            ++pc;
            continue;
        case TOp::LoopBack:
            pc = pos != regs[in.C] ? in.A : in.B;
            continue;
        default:
            Error(1001);
        }

        // The instruction failed: go back to the latest choice, undoing register changes.
        for (;;) {
            if (stack.empty()) {
                FStepsLeft = steps;
                return false;
            }
            const TBacktrack entry = stack.back();
            stack.pop_back();
            if (entry.Kind == bkRestore) {
                regs[entry.Pc] = entry.Value;
                continue;
            }
            if (--steps < 0)
                tooComplex();
            if (entry.Kind == bkChoice) {
                pc = entry.Pc;
                pos = entry.Pos;
                break;
            }
            if (entry.Kind == bkRepeatGreedy) {
                const TOp operand = code[entry.Pc].Operand;
                const bool oneByte = operand == TOp::Char || operand == TOp::Set;
                const int end = oneByte ? entry.Pos + entry.Value : entry.Pos;
                if (greedyTry(entry.Pc, entry.Pos, entry.Value, end))
                    break;
                continue;
            }
            if (entry.Kind == bkRepeatLazy) {
                if (lazyTry(entry.Pc, entry.Value, entry.Pos))
                    break;
                continue;
            }
            pos = entry.Pos;
            const int depth = regs[RegLoopDepth];
            if (entry.Kind == bkLoopIterate)
                loopIterate(entry.Pc, depth);
            else
                loopExit(entry.Pc, depth);
            break;
        }
    }
}
