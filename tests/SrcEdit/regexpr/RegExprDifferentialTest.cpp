// The regular-expression engine against PCRE2 (through QRegularExpression) on random patterns
// and random subjects over small alphabets, ASCII and UTF-8: whether and where each match is,
// every group, the successive matches of Exec/ExecNext, and the editor's search and replacement
// over one line.
//
// Not generated, because the two engines define them differently: Cyrillic ranges (modifier r),
// case folding of bytes above 0x7F, VT (in PCRE's \s, not in BlankChars), blanks between an atom
// and its quantifier under x, "\10" and up, back-references to a group still open, "(?:" and
// the other PCRE-only groups. The oracle's pattern is rewritten into the engine's rules instead:
// "$" without m is the very end of the text; "^"/"$" under m and "." without s follow the line
// separators (never between the halves of the paired separator); \w \s \b follow WordCharSet
// and BlankChars (with every character from U+0080 on a word character) and do not fold case
// outside a class; inside a class \D \S \W \b are letters;
// without g every quantifier is lazy; under x the blanks and comments are left out; a "{" that
// starts no quantifier is escaped.

#include "SrcEdit/Source/regexpr/SrcEditRegExpr.h"
#include "SrcEdit/Source/search/SrcEditRegexSearch.h"

#include "Platform/text/TextChars.h"

#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TModes {
    bool I = false;
    bool S = true;
    bool M = false;
    bool G = true;
    bool X = false;
};

struct TGenerated {
    std::string Ours;
    std::string Oracle;
    bool Nullable = false;  // can match the empty text: only "?" may follow
};

// The engine's character-set settings and the PCRE text that stands for each of them.
struct TSettings {
    std::string Words;
    std::string Blanks;
    std::string Separators;
    std::string Pair;  // empty: no paired separator

    static std::string Members(const std::string& chars)
    {
        std::string r;
        for (char c : chars) {
            if (c == '\n')
                r += "\\n";
            else if (c == '\r')
                r += "\\r";
            else if (c == '\t')
                r += "\\t";
            else if (c == '\f')
                r += "\\f";
            else if (std::isalnum(static_cast<unsigned char>(c)))
                r += c;
            else
                r += std::string("\\") + c;
        }
        return r;
    }
    // The word characters as a PCRE class body: the settings' and every character from U+0080.
    std::string WordMembers() const { return Members(Words) + "\\x{80}-\\x{10FFFF}"; }
    bool Default() const { return Pair == "\r\n"; }
    std::string LineStart() const
    {
        return Default() ? "(?:(?<![^\\r\\n])(?!(?<=\\r)\\n))" : "(?<![^" + Members(Separators) + "])";
    }
    std::string LineEnd() const
    {
        return Default() ? "(?:(?![^\\r\\n])(?!(?<=\\r)\\n))" : "(?![^" + Members(Separators) + "])";
    }
    std::string WordBound(bool negated) const
    {
        const std::string w = "[" + WordMembers() + "]";
        return negated ? "(?-i:(?:(?<=" + w + ")(?=" + w + ")|(?<!" + w + ")(?!" + w + ")))"
                       : "(?-i:(?:(?<=" + w + ")(?!" + w + ")|(?<!" + w + ")(?=" + w + ")))";
    }
};

const std::vector<TSettings> AllSettings = {
    {"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_", " \t\n\r\f", "\r\n", "\r\n"},
    {"abcAB_-", " -\n", "\n-", ""},
    {"ab1", " ", "\r\n", ""},
};

class TPatternGenerator {
public:
    TPatternGenerator(std::mt19937& rng, bool highBytes) : FRng(rng), FHighBytes(highBytes) {}
    void SetSettings(const TSettings& settings) { FSettings = &settings; }

    // Pattern for the engine and its rewriting for PCRE; modes are the global ones.
    std::pair<std::string, std::string> Make(TModes modes)
    {
        for (;;) {
            FGroups = 0;
            FClosed.clear();
            TModes scoped = modes;
            TGenerated g = Alternation(FRng() % 3 == 0 ? 3 : 2, scoped);
            if (!g.Ours.empty())  // why: an empty expression is "no pattern" here, an error
                return {g.Ours, g.Oracle};
        }
    }
    int Groups() const { return FGroups; }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(FRng); }
    bool Chance(int percent) { return Pick(100) < percent; }

    TGenerated Alternation(int depth, TModes& modes)
    {
        TGenerated r = Sequence(depth, modes);
        const int more = Chance(25) ? 1 + Pick(2) : 0;
        for (int k = 0; k < more; ++k) {
            TGenerated b = Sequence(depth, modes);
            r.Ours += "|" + b.Ours;
            r.Oracle += "|" + b.Oracle;
            r.Nullable = r.Nullable || b.Nullable;
        }
        return r;
    }

    TGenerated Sequence(int depth, TModes& modes)
    {
        TGenerated r;
        r.Nullable = true;
        const int pieces = Chance(5) ? 0 : 1 + Pick(3);
        bool afterPiece = false;
        for (int k = 0; k < pieces; ++k) {
            if (Chance(6)) {
                InlineModifier(modes, r);
                continue;
            }
            if (Chance(2)) {
                r.Ours += "(?#c)";
                r.Oracle += "(?#c)";
                continue;
            }
            TGenerated p = Piece(depth, modes);
            if (modes.X && afterPiece && Chance(40)) {
                static const std::vector<std::string> blanks = {" ", "\t", "\n", "\r\n", "  ", "#z\n", " # x\n"};
                r.Ours += blanks[Pick(int(blanks.size()))];
            }
            afterPiece = true;
            r.Ours += p.Ours;
            r.Oracle += p.Oracle;
            r.Nullable = r.Nullable && p.Nullable;
        }
        return r;
    }

    void InlineModifier(TModes& modes, TGenerated& r)
    {
        const bool on = Chance(50);
        const int which = Pick(4);
        const char letter = "ismg"[which];
        const std::string text = std::string("(?") + (on ? "" : "-") + letter + ")";
        r.Ours += text;
        if (which == 0) {
            modes.I = on;
            r.Oracle += text;
        } else if (which == 1) {
            modes.S = on;  // "." is rewritten, PCRE's own s stays unused
        } else if (which == 2) {
            modes.M = on;  // anchors are rewritten
        } else {
            modes.G = on;  // quantifiers are rewritten
        }
    }

    TGenerated Piece(int depth, TModes& modes)
    {
        TGenerated a = Atom(depth, modes);
        if (!Chance(35))
            return a;
        std::string q;
        bool nullable = a.Nullable;
        const int kind = a.Nullable ? 2 : Pick(6);
        switch (kind) {
        case 0: q = "*"; nullable = true; break;
        case 1: q = "+"; break;
        case 2: q = "?"; nullable = true; break;
        case 3: {
            const int n = Pick(4);
            q = "{" + std::to_string(n) + "}";
            nullable = nullable || n == 0;
            break;
        }
        case 4: {
            const int n = Pick(3);
            q = "{" + std::to_string(n) + ",}";
            nullable = nullable || n == 0;
            break;
        }
        default: {
            const int n = Pick(3);
            const int m = n + Pick(3);
            q = "{" + std::to_string(n) + "," + std::to_string(m) + "}";
            nullable = nullable || n == 0;
            break;
        }
        }
        const bool lazy = Chance(35);
        // why: without g every quantifier is lazy, an explicit "?" included
        return {a.Ours + q + (lazy ? "?" : ""), a.Oracle + q + (lazy || !modes.G ? "?" : ""), nullable};
    }

    // A literal character for the engine and for PCRE. UTF-8 characters are the same text for
    // both; a byte that begins no sequence is an escape here and its stand-in there.
    std::pair<std::string, std::string> LiteralChar()
    {
        static const std::vector<std::string> plain = {"a", "b", "c", "A", "B", "1", "_", " ", "-"};
        static const std::vector<std::pair<std::string, std::string>> high = {
            {"\xC3\xA9", "\xC3\xA9"}, {"\xD0\xB6", "\xD0\xB6"}, {"\xE2\x82\xAC", "\xE2\x82\xAC"},
            {"\\xC3", "\\x{E0C3}"}};
        if (FHighBytes && Chance(40))
            return high[Pick(int(high.size()))];
        const std::string& c = plain[Pick(int(plain.size()))];
        return {c, c};
    }

    TGenerated Atom(int depth, TModes& modes)
    {
        const int roll = Pick(100);
        if (roll < 30) {
            const auto [ours, oracle] = LiteralChar();
            return {modes.X && ours == " " ? "\\ " : ours, oracle, false};
        }
        if (roll < 35) {
            static const std::vector<std::string> escaped = {"\\.", "\\*", "\\+", "\\?", "\\(", "\\)", "\\[",
                "\\]", "\\{", "\\}", "\\|", "\\^", "\\$", "\\\\", "\\n", "\\r", "\\t", "\\x41", "\\x{62}"};
            const std::string e = escaped[Pick(int(escaped.size()))];
            return {e, e, false};
        }
        if (roll < 37) {
            // why: a "{" that starts no quantifier is an ordinary character
            return Chance(50) ? TGenerated{"{a}", "\\{a\\}", false} : TGenerated{"{b", "\\{b", false};
        }
        if (roll < 43)
            return {".", modes.S ? "(?s:.)" : "[^" + TSettings::Members(FSettings->Separators) + "]", false};
        if (roll < 53)
            return Class();
        if (roll < 61) {
            static const std::vector<std::string> shorthands = {"\\d", "\\D", "\\w", "\\W", "\\s", "\\S"};
            const std::string e = shorthands[Pick(int(shorthands.size()))];
            // why: \w and \s follow the settings and are not case-folded outside a class
            if (e[1] == 'w' || e[1] == 'W' || e[1] == 's' || e[1] == 'S') {
                const bool words = e[1] == 'w' || e[1] == 'W';
                const std::string members = words ? FSettings->WordMembers() : TSettings::Members(FSettings->Blanks);
                const bool negated = e[1] == 'W' || e[1] == 'S';
                return {e, "(?-i:[" + std::string(negated ? "^" : "") + members + "])", false};
            }
            return {e, e, false};
        }
        if (roll < 69) {
            switch (Pick(6)) {
            // why: PCRE2 takes a group repeated {0} with "\\A" in one branch for an anchor of
            // the whole pattern; the look-behind means the same without that shortcut
            case 0: return {"^", modes.M ? FSettings->LineStart() : "(?<![\\s\\S])", true};
            case 1: return {"$", modes.M ? FSettings->LineEnd() : "(?:\\z)", true};
            // why: PCRE takes no quantifier on an assertion without a group around it
            case 2: return {"\\b", FSettings->WordBound(false), true};
            case 3: return {"\\B", FSettings->WordBound(true), true};
            case 4: return {"\\A", "(?<![\\s\\S])", true};
            default: return {"\\Z", "(?:\\z)", true};
            }
        }
        if (roll < 74 && !FClosed.empty() && FClosed[0] <= 9) {
            int n = FClosed[Pick(int(FClosed.size()))];
            if (n > 9)  // why: only \1 .. \9 are back-references, "\10" is \1 then "0"
                n = FClosed[0];
            return {"\\" + std::to_string(n), "\\g{" + std::to_string(n) + "}", true};
        }
        if (depth > 0 && FGroups < TRegExpr::MaxGroups) {
            const int number = ++FGroups;
            TModes inner = modes;  // why: inline modifiers end with their group
            TGenerated body = Alternation(depth - 1, inner);
            FClosed.push_back(number);
            return {"(" + body.Ours + ")", "(" + body.Oracle + ")", body.Nullable};
        }
        const auto [ours, oracle] = LiteralChar();
        return {modes.X && ours == " " ? "\\ " : ours, oracle, false};
    }

    TGenerated Class()
    {
        static const std::vector<std::string> items = {"a", "b", "c", "A", "1", "_", " ", ".", "a-c", "A-B",
            "0-9", "b-z", "\\d", "\\w", "\\s", "\\D", "\\S", "\\W", "\\b", "\\]", "\\-", "\\\\", "\\n", "\\x41", "^", "$", "*"};
        // Multi-byte members and ranges, and a byte that begins no sequence with its stand-in.
        static const std::vector<std::pair<std::string, std::string>> highItems = {
            {"\xC3\xA9", "\xC3\xA9"}, {"\xD0\xB6", "\xD0\xB6"}, {"\xC3\xA0-\xC3\xBF", "\xC3\xA0-\xC3\xBF"},
            {"\xE2\x82\xAC", "\xE2\x82\xAC"}, {"\\xC3", "\\x{E0C3}"}};
        std::string body = Chance(30) ? "^" : "";
        std::string oracle = body;
        if (Chance(10)) {  // "]" first is a member
            body += "]";
            oracle += "\\]";
        }
        const int count = 1 + Pick(3);
        for (int k = 0; k < count; ++k) {
            if (FHighBytes && Chance(30)) {
                const auto& [ours, theirs] = highItems[Pick(int(highItems.size()))];
                body += ours;
                oracle += theirs;
                continue;
            }
            std::string item = items[Pick(int(items.size()))];
            // why: PCRE reads "[." "[:" "[=" as the start of a POSIX element
            if (body.empty() && (item == "^" || item == "."))
                item = "a";
            body += item;
            // why: inside a class \D \S \W \b are the letters themselves
            if (item == "\\w" || item == "\\s")
                oracle += item == "\\w" ? FSettings->WordMembers() : TSettings::Members(FSettings->Blanks);
            else if (item.size() == 2 && item[0] == '\\' && std::string("DSWb").find(item[1]) != std::string::npos)
                oracle += item.substr(1);
            else
                oracle += item;
        }
        if (Chance(10)) {
            body += "-";
            oracle += "-";
        }
        return {"[" + body + "]", "[" + oracle + "]", false};
    }

    std::mt19937& FRng;
    bool FHighBytes;
    const TSettings* FSettings = &AllSettings[0];
    int FGroups = 0;
    std::vector<int> FClosed;
};

struct TSpan {
    int Start;  // 0-based; -1 when unset
    int Length;
    bool operator==(const TSpan&) const = default;
};

struct TOutcome {
    std::vector<std::vector<TSpan>> Matches;  // whole match then groups, successive from Exec
    bool operator==(const TOutcome&) const = default;
};

std::string Show(const TOutcome& o)
{
    std::ostringstream s;
    if (o.Matches.empty())
        s << "no match";
    for (const auto& m : o.Matches) {
        s << "[";
        for (const TSpan& span : m)
            s << "(" << span.Start << "," << span.Length << ")";
        s << "]";
    }
    return s.str();
}

std::string Visible(const std::string& text)
{
    std::string r;
    for (unsigned char c : text) {
        if (c == '\n')
            r += "\\n";
        else if (c == '\r')
            r += "\\r";
        else if (c < 0x20 || c >= 0x7F) {
            static const char* hex = "0123456789ABCDEF";
            r += "\\x";
            r += hex[c >> 4];
            r += hex[c & 15];
        } else
            r += char(c);
    }
    return r;
}

constexpr int MaxMatches = 40;

// Successive matches: at the end of the previous one, one byte further after an empty one.
TOutcome RunOurs(TRegExpr& re, const std::string& subject, int groups)
{
    TOutcome o;
    if (!re.Exec(subject))
        return o;
    do {
        std::vector<TSpan> m;
        for (int n = 0; n <= groups; ++n) {
            const int pos = re.SubMatchPosition(n);
            m.push_back({pos < 0 ? -1 : pos - 1, pos < 0 ? -1 : re.SubMatchLength(n)});
        }
        o.Matches.push_back(m);
    } while (int(o.Matches.size()) < MaxMatches && re.ExecNext());
    return o;
}

// A subject as PCRE reads it: each UTF-8 character as itself and each byte that begins no
// sequence as a private-use stand-in, with the byte offset of every UTF-16 position.
struct TDecoded {
    QString Text;
    std::vector<int> ByteOf;
};

TDecoded Decode(const std::string& subject)
{
    TDecoded d;
    for (size_t i = 0; i < subject.size();) {
        const int length = TextChars::CharLength(subject, i);
        char32_t codePoint = TextChars::Decode(subject, i);
        if (length == 1 && static_cast<unsigned char>(subject[i]) >= 0x80)
            codePoint = 0xE000 + static_cast<unsigned char>(subject[i]);
        const QString unit = QString::fromUcs4(&codePoint, 1);
        for (qsizetype k = 0; k < unit.size(); ++k)
            d.ByteOf.push_back(int(i));
        d.Text += unit;
        i += size_t(length);
    }
    d.ByteOf.push_back(int(subject.size()));
    return d;
}

TOutcome RunOracle(const QRegularExpression& rx, const TDecoded& decoded, int groups)
{
    const QString& subject = decoded.Text;
    TOutcome o;
    qsizetype from = 0;
    while (from <= subject.size() && int(o.Matches.size()) < MaxMatches) {
        const QRegularExpressionMatch m = rx.match(subject, from);
        if (!m.hasMatch())
            break;
        std::vector<TSpan> spans;
        for (int n = 0; n <= groups; ++n) {
            const qsizetype start = m.capturedStart(n);
            const qsizetype end = m.capturedEnd(n);
            spans.push_back({start < 0 ? -1 : decoded.ByteOf[size_t(start)],
                             start < 0 ? -1 : decoded.ByteOf[size_t(end)] - decoded.ByteOf[size_t(start)]});
        }
        o.Matches.push_back(spans);
        from = m.capturedEnd(0) + (m.capturedLength(0) == 0 ? 1 : 0);
    }
    return o;
}

std::string RandomSubject(std::mt19937& rng, bool highBytes)
{
    static const std::vector<std::string> plain = {"a", "a", "a", "b", "b", "b", "c", "c", "A", "B", "1", "_", " ", "-",
        ".", "\n", "\r", "\r\n", "(", "{", "$"};
    static const std::vector<std::string> high = {"\xC3\xA9", "\xD0\xB6", "\xE2\x82\xAC", "\xC3"};
    std::uniform_int_distribution<int> len(0, 12);
    std::string s;
    const int n = len(rng);
    for (int k = 0; k < n; ++k) {
        if (highBytes && rng() % 3 == 0)
            s += high[rng() % high.size()];
        else
            s += plain[rng() % plain.size()];
    }
    return s;
}

std::string Piece(const std::string& subject, const TSpan& span)
{
    return span.Start < 0 ? std::string() : subject.substr(size_t(span.Start), size_t(span.Length));
}

// The editor's search over one line: every match and its replacement, in the order the editor
// replaces them, against what the oracle found.
std::string SearchDisagreement(
    const std::string& pattern, bool ignoreCase, const std::string& line, const TOutcome& theirs)
{
    TSrcEditRegexSearch search;
    search.AssignPattern(pattern);
    search.ApplyOptions(ignoreCase ? TSrcEditSearchFlags{} : TSrcEditSearchFlags{sfMatchCase});
    const int count = search.FindAllInLine(line);
    if (count != int(theirs.Matches.size()))
        return "search finds " + std::to_string(count) + " matches";
    for (int k = 0; k < count; ++k) {
        const std::vector<TSpan>& m = theirs.Matches[size_t(k)];
        if (search.MatchPosition(k) != m[0].Start + 1 || search.MatchLength(k) != m[0].Length)
            return "search match " + std::to_string(k) + " at " + std::to_string(search.MatchPosition(k));
        const std::string expected = "<" + Piece(line, m[0]) + "|" + (m.size() > 1 ? Piece(line, m[1]) : "") + ">";
        const std::string replacement = search.ReplacementFor(Piece(line, m[0]), "<$&|$1>");
        if (replacement != expected)
            return "replacement " + std::to_string(k) + " \"" + Visible(replacement) + "\" instead of \"" +
                Visible(expected) + "\"";
    }
    return {};
}

struct TRunStats {
    int Patterns = 0;
    int Compared = 0;
    int TooComplex = 0;
    int Disagreements = 0;
    int NonEmptyFirstMatches = 0;
};

// invariant: the oracle reads the subject character by character as the engine segments it,
// and its offsets are turned back into byte offsets before they are compared.
void Differential(unsigned seed, int patterns, bool highBytes, TRunStats& stats)
{
    std::mt19937 rng(seed);
    TPatternGenerator generator(rng, highBytes);
    for (int p = 0; p < patterns; ++p) {
        TModes modes;
        modes.I = !highBytes && rng() % 4 == 0;
        modes.S = rng() % 3 != 0;
        modes.M = rng() % 2 == 0;
        modes.G = rng() % 5 != 0;
        modes.X = rng() % 6 == 0;
        const TSettings& settings = AllSettings[rng() % 4 == 0 ? 1 + rng() % 2 : 0];
        generator.SetSettings(settings);
        const auto [ours, oracle] = generator.Make(modes);
        const int groups = generator.Groups();
        ++stats.Patterns;

        const std::string flags = std::string(modes.I ? "i" : "-") + (modes.S ? "s" : "-") +
            (modes.M ? "m" : "-") + (modes.G ? "g" : "-") + (modes.X ? "x" : "-");
        QRegularExpression rx(QString::fromUtf8(oracle.data(), qsizetype(oracle.size())),
            modes.I ? QRegularExpression::CaseInsensitiveOption : QRegularExpression::NoPatternOption);
        if (!rx.isValid()) {
            ADD_FAILURE() << "oracle rejects \"" << Visible(oracle) << "\": " << rx.errorString().toStdString();
            ++stats.Disagreements;
            continue;
        }

        TRegExpr re;
        re.SetModifierI(modes.I);
        re.SetModifierR(false);
        re.SetModifierS(modes.S);
        re.SetModifierG(modes.G);
        re.SetModifierM(modes.M);
        re.SetModifierX(modes.X);
        re.SetMatchStepLimit(2'000'000);
        re.SetWordCharSet(settings.Words);
        re.SetBlankChars(settings.Blanks);
        re.SetLineSeparatorChars(settings.Separators);
        re.SetLinePairedSeparator(settings.Pair);
        re.SetExpression(ours);
        for (int k = 0; k < 8; ++k) {
            const std::string subject = RandomSubject(rng, highBytes);
            TOutcome mine;
            try {
                mine = RunOurs(re, subject, groups);
            } catch (const ERegExpr& e) {
                if (e.ErrorNumber() == TRegExpr::ErrorMatchTooComplex) {
                    ++stats.TooComplex;
                    continue;
                }
                ADD_FAILURE() << "/" << Visible(ours) << "/" << flags << " raises " << e.ErrorNumber() << " "
                              << e.what();
                ++stats.Disagreements;
                break;
            }
            const TOutcome theirs = RunOracle(rx, Decode(subject), groups);
            ++stats.Compared;
            if (!theirs.Matches.empty() && theirs.Matches[0][0].Length > 0)
                ++stats.NonEmptyFirstMatches;
            // why: the search engine keeps the default s, m, g and character sets
            const bool searchDefaults = modes.S && !modes.M && modes.G && !modes.X && &settings == &AllSettings[0];
            if (searchDefaults && mine == theirs && int(theirs.Matches.size()) < MaxMatches) {
                const std::string problem = SearchDisagreement(ours, modes.I, subject, theirs);
                if (!problem.empty() && ++stats.Disagreements <= 15) {
                    ADD_FAILURE() << "/" << Visible(ours) << "/" << flags << " on \"" << Visible(subject) << "\": "
                                  << problem;
                }
            }
            if (mine != theirs) {
                ++stats.Disagreements;
                if (stats.Disagreements <= 15)
                    ADD_FAILURE() << "/" << Visible(ours) << "/" << flags << " on \"" << Visible(subject)
                                  << "\" (oracle /" << Visible(oracle) << "/)\n  ours:   " << Show(mine)
                                  << "\n  oracle: " << Show(theirs);
            }
        }
    }
}

TEST(RegExprDifferential, AsciiPatternsAgreeWithPcre)
{
    TRunStats stats;
    for (unsigned seed : {11u, 2027u, 90210u})
        Differential(seed, 1000, false, stats);
    EXPECT_EQ(stats.Disagreements, 0);
    // why: a generator that stops producing comparable cases would pass silently.
    EXPECT_GT(stats.Compared, stats.Patterns * 7);
    EXPECT_LT(stats.TooComplex, stats.Compared / 100 + 1);
    EXPECT_GT(stats.NonEmptyFirstMatches, stats.Compared / 5);
}

TEST(RegExprDifferential, Utf8SubjectsAreMatchedCharacterByCharacter)
{
    TRunStats stats;
    for (unsigned seed : {7u, 31337u})
        Differential(seed, 300, true, stats);
    EXPECT_EQ(stats.Disagreements, 0);
    EXPECT_GT(stats.Compared, stats.Patterns * 7);
}

}  // namespace
