// The regular-expression matcher: picks start positions from the start-up data and runs the
// compiled program on a backtracking machine whose stack lives on the heap.

#include "SrcEdit/Source/regexpr/SrcEditRegExpr.h"

#include <algorithm>
#include <cstring>

using namespace RegExprDetail;

namespace {

enum TBacktrackKind : std::int32_t {
    bkChoice,        // go on at Pc with Pos
    bkRestore,       // register Pc had Value before
    bkRepeatGreedy,  // repeat at Pc from Pos: try Value repetitions next
    bkRepeatLazy,    // repeat at Pc from Pos: try Value repetitions next
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

    const char* text = FInputString.c_str();
    int p = static_cast<int>(start);
    for (const std::string& literal : program.RequiredLiterals)
        if (!memmem(text + p, static_cast<size_t>(length - p), literal.data(), literal.size()))
            return false;
    if (program.Anchored)
        return TryAt(p);
    if (!program.Prefix.empty()) {
        const std::string& prefix = program.Prefix;
        for (;;) {
            const void* hit = prefix.size() == 1
                ? std::memchr(text + p, prefix[0], static_cast<size_t>(length - p))
                : memmem(text + p, static_cast<size_t>(length - p), prefix.data(), prefix.size());
            if (!hit)
                return false;
            p = static_cast<int>(static_cast<const char*>(hit) - text);
            if (TryAt(p))
                return true;
            ++p;
        }
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const TByteTable* first = program.FirstChars.Set >= 0 ? &program.Sets[static_cast<size_t>(program.FirstChars.Set)] : nullptr;
    if (program.StartsAtLineStart) {
        for (;;) {
            if (IsLineStart(p) && (!first || (*first)[bytes[p]]) && TryAt(p))
                return true;
            const int lineBreak = p < length ? FindCandidate(p, program.LineBreaks) : -1;
            if (lineBreak < 0)
                return false;
            p = lineBreak + 1;
        }
    }
    for (;;) {
        p = FindCandidate(p, program.FirstChars);
        if (p < 0)
            return false;
        if (TryAt(p))
            return true;
        if (p >= length)
            return false;
        ++p;
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
    // The one-byte operand of a repeat at p < length.
    auto one = [&](const TInstr& in, int p) {
        switch (in.Operand) {
        case TOp::Char: return text[p] == in.A;
        case TOp::Set: return sets[in.A][text[p]] != 0;
        case TOp::Any: return true;
        case TOp::AnyNoSep: return notSeparator(p);
        default: Error(1000);
        }
    };
    auto countRun = [&](const TInstr& in, int p, std::int32_t limit) {
        const int most = static_cast<int>(std::min<std::int64_t>(limit, length - p));
        int k = 0;
        switch (in.Operand) {
        case TOp::Any:
            k = most;
            break;
        case TOp::Char:
            while (k < most && text[p + k] == in.A)
                ++k;
            break;
        case TOp::Set: {
            const TByteTable& set = sets[in.A];
            while (k < most && set[text[p + k]])
                ++k;
            break;
        }
        case TOp::AnyNoSep:
            while (k < most && notSeparator(p + k))
                ++k;
            break;
        default:
            Error(1000);
        }
        steps -= k;
        return k;
    };
    // Greedy repeat: k repetitions from base, then fewer down to the minimum.
    auto greedyTry = [&](int rpc, int base, int k) {
        const TInstr& in = code[rpc];
        if (in.Hint >= 0) {
            const TByteTable& follow = sets[in.Hint];
            const int most = k;
            while (k >= in.Min && !follow[text[base + k]])
                --k;
            steps -= most - k;
        }
        if (k < in.Min)
            return false;
        if (k > in.Min)
            push(bkRepeatGreedy, rpc, base, k - 1);
        pos = base + k;
        pc = rpc + 1;
        return true;
    };
    // Lazy repeat: k repetitions from base, then more up to the maximum.
    auto lazyTry = [&](int rpc, int base, int k) {
        const TInstr& in = code[rpc];
        const TByteTable* follow = in.Hint >= 0 ? &sets[in.Hint] : nullptr;
        for (;;) {
            const int p = base + k;
            const bool canGrow = k < in.Max && p < length && one(in, p);
            if (!follow || (*follow)[text[p]]) {
                if (canGrow)
                    push(bkRepeatLazy, rpc, base, k + 1);
                pos = p;
                pc = rpc + 1;
                return true;
            }
            if (!canGrow)
                return false;
            ++k;
            --steps;
        }
    };
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
            if (pos < length && text[pos] == in.A) {
                ++pos;
                ++pc;
                continue;
            }
            break;
        case TOp::Str:
            if (length - pos >= in.B && std::memcmp(text + pos, literals + in.A, static_cast<size_t>(in.B)) == 0) {
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
            if (i < in.B)
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
        case TOp::Any:
            if (pos < length) {
                ++pos;
                ++pc;
                continue;
            }
            break;
        case TOp::AnyNoSep:
            if (pos < length && notSeparator(pos)) {
                ++pos;
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
            if (i < n)
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
            if (in.Greedy) {
                if (greedyTry(pc, base, countRun(in, base, in.Max)))
                    continue;
            } else {
                const int k = countRun(in, base, in.Min);
                if (k >= in.Min && lazyTry(pc, base, k))
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
                if (greedyTry(entry.Pc, entry.Pos, entry.Value))
                    break;
                continue;
            }
            if (entry.Kind == bkRepeatLazy) {
                if (lazyTry(entry.Pc, entry.Pos, entry.Value))
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
