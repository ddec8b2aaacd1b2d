// The regular-expression object: settings, modifiers, errors, sub-matches, template expansion
// and replacement. The compiler and the matcher live in their own files.

#include "SrcEdit/Source/regexpr/SrcEditRegExpr.h"

#include <algorithm>
#include <climits>

using namespace RegExprDetail;

namespace {

// Modifiers i, r, s, g, m; x always starts off.
bool GDefaultModifiers[5] = {false, true, true, true, false};

constexpr int ModifierBit(int number) { return 1 << (number - 1); }

struct TErrorText {
    int Number;
    const char* Text;
};

constexpr TErrorText ErrorTexts[] = {
    {102, "TRegExpr(comp): ParseReg Too Many ()"},
    {103, "TRegExpr(comp): ParseReg Unmatched ()"},
    {104, "TRegExpr(comp): ParseReg Unmatched ()"},
    {106, "TRegExpr(comp): *+ Operand Could Be Empty"},
    {107, "TRegExpr(comp): Nested *?+"},
    {108, "TRegExpr(comp): Bad Hex Digit"},
    {109, "TRegExpr(comp): Invalid [] Range"},
    {110, "TRegExpr(comp): Parse Atom Trailing \\"},
    {111, "TRegExpr(comp): No Hex Code After \\x"},
    {112, "TRegExpr(comp): Hex Code After \\x Is Too Big"},
    {113, "TRegExpr(comp): Unmatched []"},
    {115, "TRegExpr(comp): ?+*{ Follows Nothing"},
    {116, "TRegExpr(comp): Trailing \\"},
    {122, "TRegExpr(comp): BRACES Argument Too Big"},
    {124, "TRegExpr(comp): BRACE Min Param Greater then Max"},
    {125, "TRegExpr(comp): Unclosed (?#Comment)"},
    {127, "TRegExpr(comp): Urecognized Modifier"},
    {128, "TRegExpr(comp): LinePairedSeparator must countain two different chars or no chars at all"},
    {1000, "TRegExpr(exec): RegRepeat Called Inappropriately"},
    {1001, "TRegExpr(exec): MatchPrim Memory Corruption"},
    {1002, "TRegExpr(exec): MatchPrim Corrupted Pointers"},
    {1003, "TRegExpr(exec): Not Assigned Expression Property"},
    {1004, "TRegExpr(exec): Corrupted Program"},
    {1005, "TRegExpr(exec): No Input String Specified"},
    {1006, "TRegExpr(exec): Offset Must Be Greater Then 0"},
    {1007, "TRegExpr(exec): ExecNext Without Exec[Pos]"},
    {1014, "TRegExpr(exec): Loop Stack Exceeded"},
    {1015, "TRegExpr(exec): Loop Without LoopEntry !"},
    {TRegExpr::ErrorMatchTooComplex, "TRegExpr(exec): Match Too Complex"},
};

// The text up to its first NUL character.
std::string_view UpToNul(std::string_view text)
{
    return text.substr(0, std::min(text.find('\0'), text.size()));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

TRegExpr::TRegExpr()
    : FModifiers(0),
      FBlankChars(" \t\n\r\f"),
      FWordCharSet("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_"),
      FLineSeparatorChars("\r\n"),
      FInvertCase(&TRegExpr::DefaultInvertCase)
{
    for (int number = 1; number <= 5; ++number)
        if (GDefaultModifiers[number - 1])
            FModifiers |= ModifierBit(number);
    FRegisters.assign(RegFirstMark, -1);
}

TRegExpr::~TRegExpr() = default;

void TRegExpr::SetExpression(std::string_view expression)
{
    const std::string_view text = UpToNul(expression);
    if (text == FExpression && FProgram)
        return;
    FExpression.assign(text);
    DropProgram();
}

bool TRegExpr::ReadModifier(int number)
{
    if (number < 1 || number > 6)
        Error(1013);
    return HasModifier(ModifierBit(number));
}

void TRegExpr::AssignModifier(int number, bool value)
{
    if (number < 1 || number > 6)
        Error(1013);
    SetModifierBit(ModifierBit(number), value);
}

void TRegExpr::SetModifierBit(int bit, bool value)
{
    // why: the program remembers its modifiers; the next match recompiles when they differ.
    FModifiers = value ? (FModifiers | bit) : (FModifiers & ~bit);
}

bool TRegExpr::DefaultModifier(int number)
{
    if (number < 1 || number > 5)
        throw ERegExpr("Unknown error", 1013, 0);
    return GDefaultModifiers[number - 1];
}

void TRegExpr::SetDefaultModifier(int number, bool value)
{
    if (number < 1 || number > 5)
        throw ERegExpr("Unknown error", 1013, 0);
    GDefaultModifiers[number - 1] = value;
}

// why: the compiler bakes these sets into the program, so a change must recompile.
void TRegExpr::SetBlankChars(std::string_view chars)
{
    if (chars != FBlankChars) {
        FBlankChars.assign(chars);
        DropProgram();
    }
}

void TRegExpr::SetWordCharSet(std::string_view chars)
{
    if (chars != FWordCharSet) {
        FWordCharSet.assign(chars);
        DropProgram();
    }
}

void TRegExpr::SetLineSeparatorChars(std::string_view chars)
{
    if (chars != FLineSeparatorChars) {
        FLineSeparatorChars.assign(chars);
        DropProgram();
    }
}

std::string TRegExpr::LinePairedSeparator() const
{
    if (FPairHead < 0)
        return {};
    return {static_cast<char>(FPairHead), static_cast<char>(FPairTail)};
}

void TRegExpr::SetLinePairedSeparator(std::string_view pair)
{
    int head = -1;
    int tail = -1;
    if (pair.size() == 2 && pair[0] != pair[1]) {
        head = static_cast<unsigned char>(pair[0]);
        tail = static_cast<unsigned char>(pair[1]);
    } else if (!pair.empty()) {
        Error(128);
    }
    if (head != FPairHead || tail != FPairTail) {
        FPairHead = head;
        FPairTail = tail;
        DropProgram();
    }
}

void TRegExpr::SetInvertCase(TRegExprInvertCaseFunction function)
{
    if (!function)
        function = &TRegExpr::DefaultInvertCase;
    if (function != FInvertCase) {
        FInvertCase = function;
        DropProgram();
    }
}

char TRegExpr::DefaultInvertCase(char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    return c;
}

void TRegExpr::SetMatchStepLimit(std::int64_t steps)
{
    FMatchStepLimit = std::max<std::int64_t>(steps, 1);
}

void TRegExpr::DropProgram() noexcept
{
    FProgram.reset();
}

void TRegExpr::RaiseError(int number)
{
    FLastError = number;
    std::string message = ErrorMsg(number);
    if (number < 1000)
        message += " (pos " + std::to_string(FCompilePos) + ")";
    throw ERegExpr(std::move(message), number, FCompilePos);
}

std::string TRegExpr::ErrorMsg(int number)
{
    for (const TErrorText& entry : ErrorTexts)
        if (entry.Number == number)
            return entry.Text;
    return "Unknown error";
}

void TRegExpr::Error(int number)
{
    RaiseError(number);
    // invariant: an error always ends the operation, even when an override of RaiseError returns.
    FLastError = number;
    throw ERegExpr(ErrorMsg(number), number, FCompilePos);
}

void TRegExpr::PrepareProgram()
{
    if (FProgram && FProgram->Modifiers != FModifiers)
        DropProgram();
    if (!FProgram)
        CompileExpression();
    const std::vector<TInstr>& code = FProgram->Code;
    if (code.empty() || code.back().Op != TOp::Match)
        Error(1004);
}

bool TRegExpr::Exec(std::string_view text)
{
    const std::string_view input = UpToNul(text);
    // why: positions are 32-bit in the interface and in the backtracking state.
    if (input.size() > static_cast<size_t>(INT_MAX - 1))
        Error(ErrorMatchTooComplex);
    FInputString.assign(input);
    FHasInput = true;
    std::fill(FRegisters.begin(), FRegisters.begin() + 2 * SubMatchCount, -1);
    return ExecFrom(0);
}

bool TRegExpr::ExecNext()
{
    const int start = FRegisters[0];
    const int end = FRegisters[1];
    if (!FHasInput || start < 0 || end < 0)
        Error(1007);
    // why: after an empty match, step over one character so that repeated calls make progress.
    return ExecFrom(end == start ? std::int64_t{end} + 1 : end);
}

int TRegExpr::SubMatchPosition(int n) const
{
    if (n < 0 || n >= SubMatchCount || !FHasInput)
        return -1;
    const int start = FRegisters[2 * n];
    const int end = FRegisters[2 * n + 1];
    return start < 0 || end < start ? -1 : start + 1;
}

int TRegExpr::SubMatchLength(int n) const
{
    if (n < 0 || n >= SubMatchCount || !FHasInput)
        return -1;
    const int start = FRegisters[2 * n];
    const int end = FRegisters[2 * n + 1];
    return start < 0 || end < start ? -1 : end - start;
}

std::string TRegExpr::ExpandTemplate(std::string_view templ)
{
    if (!FProgram || !FHasInput)
        Error(1005);
    std::string result;
    result.reserve(templ.size());
    auto appendGroup = [&](std::int64_t n) {
        if (n >= 0 && n < SubMatchCount) {
            const int position = SubMatchPosition(static_cast<int>(n));
            if (position > 0)
                result.append(FInputString, static_cast<size_t>(position - 1),
                              static_cast<size_t>(SubMatchLength(static_cast<int>(n))));
        }
    };
    // Reads decimal digits from i on; stops growing past the largest group number.
    auto readNumber = [&](size_t& i) {
        std::int64_t n = 0;
        while (i < templ.size() && IsDigit(templ[i])) {
            n = std::min<std::int64_t>(n * 10 + (templ[i] - '0'), SubMatchCount);
            ++i;
        }
        return n;
    };
    size_t i = 0;
    while (i < templ.size()) {
        const char c = templ[i];
        if (c == '\\') {
            if (i + 1 < templ.size()) {
                result += templ[i + 1];
                i += 2;
            } else {
                result += c;
                ++i;
            }
            continue;
        }
        if (c == '$' && i + 1 < templ.size()) {
            const char next = templ[i + 1];
            if (IsDigit(next)) {
                i += 1;
                appendGroup(readNumber(i));
                continue;
            }
            if (next == '&') {
                appendGroup(0);
                i += 2;
                continue;
            }
            if (next == '{') {
                size_t j = i + 2;
                if (j + 1 < templ.size() && templ[j] == '&' && templ[j + 1] == '}') {
                    appendGroup(0);
                    i = j + 2;
                    continue;
                }
                if (j < templ.size() && IsDigit(templ[j])) {
                    const std::int64_t n = readNumber(j);
                    if (j < templ.size() && templ[j] == '}') {
                        appendGroup(n);
                        i = j + 1;
                        continue;
                    }
                }
            }
        }
        result += c;
        ++i;
    }
    return result;
}

std::string TRegExpr::ReplaceAll(std::string_view text, std::string_view replaceText, bool useTemplate)
{
    std::string result;
    size_t copyPos = 0;
    if (Exec(text)) {
        do {
            const size_t start = static_cast<size_t>(FRegisters[0]);
            const size_t end = static_cast<size_t>(FRegisters[1]);
            result.append(text.substr(copyPos, start - copyPos));
            if (useTemplate)
                result += ExpandTemplate(replaceText);
            else
                result.append(replaceText);
            copyPos = end;
        } while (ExecNext());
    }
    result.append(text.substr(copyPos));
    return result;
}
