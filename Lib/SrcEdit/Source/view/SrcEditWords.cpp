// The editor's words, tokens and brackets: word positions for the word commands, the word and
// the highlighter token under a position, and bracket matching.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditScopes.h"

#include "Platform/text/TextChars.h"

#include <algorithm>

namespace {

// '0'..'9', 'A'..'Z', '_', 'a'..'z' and the letters of the upper half of the 8-bit set.
TSrcCharSet DefaultIdentifierChars()
{
    return CharRange('0', '9') | CharRange('A', 'Z') | CharSetOf("_") | CharRange('a', 'z') | CharRange(192, 214) |
           CharRange(216, 246) | CharRange(248, 255);
}

const TSrcCharSet& DefaultWordBreakChars()
{
    static const TSrcCharSet set = CharSetOf("!\"'()*+,-./:;=?[\\]^{|}");
    return set;
}

// Classifies the characters of one line. A character of two or more bytes (and any byte of
// the upper half that is not plain ASCII) counts as a word character: in UTF-8 these are the
// letters of other scripts, which belong to words.
class TWordScanner {
public:
    TWordScanner(std::string_view text, const TSrcCharSet& wordChars) : FText(text), FWordChars(wordChars) {}

    int Length() const { return static_cast<int>(FText.size()); }
    // Whether the character at the 0-based byte index is a word character.
    bool IsWord(int i) const
    {
        const auto c = static_cast<unsigned char>(FText[static_cast<size_t>(i)]);
        return c >= 0x80 || FWordChars.test(c);
    }
    int Next(int i) const { return static_cast<int>(TextChars::NextCharStart(FText, static_cast<size_t>(i))); }
    int Prev(int i) const { return static_cast<int>(TextChars::PrevCharStart(FText, static_cast<size_t>(i))); }
    // The start of the character that holds byte i.
    int Start(int i) const { return static_cast<int>(TextChars::CharStart(FText, static_cast<size_t>(i))); }

private:
    std::string_view FText;
    TSrcCharSet FWordChars;
};

} // namespace

namespace {

TSrcCharSet WordCharsOf(const TSrcCustomHighlighter* highlighter)
{
    if (highlighter)
        return highlighter->IdentifierChars() & ~highlighter->WordBreakChars();
    return DefaultIdentifierChars() & ~DefaultWordBreakChars();
}

} // namespace

TBufferCoord TCustomSrcEdit::NextWordStartFrom(TBufferCoord p)
{
    if (p.LineNumber < 1 || p.LineNumber > LineCount())
        return p;
    const TSrcCharSet wordChars = WordCharsOf(FHighlighter);
    const std::string text = LineText(p.LineNumber);
    const TWordScanner scan(text, wordChars);
    const int length = scan.Length();
    const int lastStart = length > 0 ? scan.Start(length - 1) : 0;
    if (length > 0 && p.CharIndex >= 1 && p.CharIndex - 1 < lastStart) {
        int i = scan.Start(p.CharIndex - 1);
        if (scan.IsWord(i))
            while (i < length && scan.IsWord(i))
                i = scan.Next(i);
        while (i < length && !scan.IsWord(i))
            i = scan.Next(i);
        return MakeBufferCoord(i + 1, p.LineNumber);
    }
    if (p.LineNumber < LineCount()) {
        const std::string next = LineText(p.LineNumber + 1);
        const TWordScanner nextScan(next, wordChars);
        int i = 0;
        while (i < nextScan.Length() && !nextScan.IsWord(i))
            i = nextScan.Next(i);
        return MakeBufferCoord(i < nextScan.Length() ? i + 1 : 1, p.LineNumber + 1);
    }
    return p;
}

TBufferCoord TCustomSrcEdit::WordBeginFrom(TBufferCoord p)
{
    if (p.LineNumber < 1 || p.LineNumber > LineCount())
        return p;
    const std::string text = LineText(p.LineNumber);
    const TWordScanner scan(text, WordCharsOf(FHighlighter));
    int i = std::clamp(p.CharIndex - 1, 0, scan.Length());
    while (i > 0 && scan.IsWord(scan.Prev(i)))
        i = scan.Prev(i);
    return MakeBufferCoord(i + 1, p.LineNumber);
}

TBufferCoord TCustomSrcEdit::WordFinishFrom(TBufferCoord p)
{
    if (p.LineNumber < 1 || p.LineNumber > LineCount())
        return p;
    const std::string text = LineText(p.LineNumber);
    const TWordScanner scan(text, WordCharsOf(FHighlighter));
    int i = std::max(p.CharIndex - 1, 0);
    if (i >= scan.Length())
        return MakeBufferCoord(scan.Length() + 1, p.LineNumber);
    i = scan.Start(i);
    while (i < scan.Length() && scan.IsWord(i))
        i = scan.Next(i);
    return MakeBufferCoord(i + 1, p.LineNumber);
}

TBufferCoord TCustomSrcEdit::PreviousWordStartFrom(TBufferCoord p)
{
    if (p.LineNumber < 1 || p.LineNumber > LineCount())
        return p;
    auto previousLineEnd = [&] {
        return p.LineNumber > 1 ? MakeBufferCoord(LineLength(p.LineNumber - 1) + 1, p.LineNumber - 1)
                                : MakeBufferCoord(1, 1);
    };
    const std::string text = LineText(p.LineNumber);
    const TWordScanner scan(text, WordCharsOf(FHighlighter));
    int i = std::min(p.CharIndex - 1, scan.Length());
    if (i <= 0)
        return p.LineNumber > 1 ? previousLineEnd() : MakeBufferCoord(1, 1);
    while (i > 0 && !scan.IsWord(scan.Prev(i)))
        i = scan.Prev(i);
    if (i == 0)
        return previousLineEnd();
    while (i > 0 && scan.IsWord(scan.Prev(i)))
        i = scan.Prev(i);
    return MakeBufferCoord(i + 1, p.LineNumber);
}

std::string TCustomSrcEdit::GetWordAtPos(TBufferCoord p) const
{
    if (p.LineNumber < 1 || p.LineNumber > LineCount())
        return {};
    const std::string text = LineText(p.LineNumber);
    const int length = static_cast<int>(text.size());
    if (length == 0 || p.CharIndex < 1 || p.CharIndex > length)
        return {};
    const TSrcCharSet identChars = FHighlighter ? FHighlighter->IdentifierChars() : DefaultIdentifierChars();
    const TWordScanner scan(text, identChars);
    const int at = scan.Start(p.CharIndex - 1);
    if (!scan.IsWord(at))
        return {};
    int begin = at;
    while (begin > 0 && scan.IsWord(scan.Prev(begin)))
        begin = scan.Prev(begin);
    int end = at;
    while (end < length && scan.IsWord(end))
        end = scan.Next(end);
    return text.substr(static_cast<size_t>(begin), static_cast<size_t>(end - begin));
}

std::string TCustomSrcEdit::GetWordAtCaret()
{
    const TBufferCoord begin = WordBeginAtCaret();
    const TBufferCoord end = WordFinishAtCaret();
    if (begin.LineNumber != end.LineNumber || end.CharIndex <= begin.CharIndex)
        return {};
    const std::string text = LineText(begin.LineNumber);
    const int from = std::min(begin.CharIndex - 1, static_cast<int>(text.size()));
    const int to = std::min(end.CharIndex - 1, static_cast<int>(text.size()));
    return from < to ? text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)) : std::string();
}

void TCustomSrcEdit::SelectWordAt(TBufferCoord p)
{
    p = ClampSelectionPoint(p);
    const std::string text = LineText(p.LineNumber);
    const int length = static_cast<int>(text.size());
    if (p.CharIndex > length + 1) {
        MoveCaret(MakeBufferCoord(length + 1, p.LineNumber));
        return;
    }
    const TWordScanner scan(text, WordCharsOf(FHighlighter));
    int begin = std::min(p.CharIndex - 1, length);
    int end = begin;
    if (length > 0) {
        // A word at P, else a word that ends at P (the caret just after it), else the run of
        // other characters at P.
        int probe = begin < length ? scan.Start(begin) : scan.Prev(length);
        if (!scan.IsWord(probe) && begin > 0 && begin <= length && scan.IsWord(scan.Prev(begin)))
            probe = scan.Prev(begin);
        const bool word = scan.IsWord(probe);
        begin = probe;
        while (begin > 0 && scan.IsWord(scan.Prev(begin)) == word)
            begin = scan.Prev(begin);
        end = probe;
        while (end < length && scan.IsWord(end) == word)
            end = scan.Next(end);
    }
    WithPaintLock([&] {
        InvalidateSelectionRows();
        MoveCaret(MakeBufferCoord(end + 1, p.LineNumber));
        FBlockBegin = MakeBufferCoord(begin + 1, p.LineNumber);
        FBlockEnd = MakeBufferCoord(end + 1, p.LineNumber);
        InvalidateTextRows(p.LineNumber, p.LineNumber);
        FStatusChanges.Include(scSelection);
    });
}

// ---- tokens

bool TCustomSrcEdit::GetTokenInfoAtPos(TBufferCoord p, std::string& token, TSrcHighlighterAttributes*& attri,
                                       int& start, int& kind) const
{
    token.clear();
    attri = nullptr;
    start = 0;
    kind = 0;
    if (!FHighlighter || p.LineNumber < 1 || p.LineNumber > LineCount())
        return false;
    const std::string text = LineText(p.LineNumber);
    if (p.CharIndex < 1 || p.CharIndex > static_cast<int>(text.size()))
        return false;
    if (p.LineNumber == 1)
        FHighlighter->ClearRange();
    else
        FHighlighter->RestoreRange(static_cast<TSrcRange>(FLines->LineRange(p.LineNumber - 2)));
    FHighlighter->StartLine(text, p.LineNumber - 1);
    while (!FHighlighter->AtLineEnd()) {
        const int tokenStart = FHighlighter->TokenStart() + 1;
        const std::string tokenText = FHighlighter->TokenText();
        if (p.CharIndex >= tokenStart && p.CharIndex < tokenStart + static_cast<int>(tokenText.size())) {
            token = tokenText;
            attri = FHighlighter->TokenAttri();
            start = tokenStart;
            kind = FHighlighter->TokenKindCode();
            return true;
        }
        FHighlighter->AdvanceToken();
    }
    return false;
}

bool TCustomSrcEdit::GetTokenAtPos(TBufferCoord p, std::string& token, TSrcHighlighterAttributes*& attri) const
{
    int start = 0;
    int kind = 0;
    return GetTokenInfoAtPos(p, token, attri, start, kind);
}

// ---- brackets

TBufferCoord TCustomSrcEdit::MatchingBracketAt(TBufferCoord p) const
{
    static constexpr char brackets[] = "()[]{}<>";
    if (p.LineNumber < 1 || p.LineNumber > LineCount())
        return {0, 0};
    const std::string startText = LineText(p.LineNumber);
    if (p.CharIndex < 1 || p.CharIndex > static_cast<int>(startText.size()))
        return {0, 0};
    const char at = startText[static_cast<size_t>(p.CharIndex) - 1];
    const char* hit = std::find(brackets, brackets + 8, at);
    if (hit == brackets + 8)
        return {0, 0};
    const int index = static_cast<int>(hit - brackets);
    const bool opening = index % 2 == 0;
    const char counterpart = brackets[opening ? index + 1 : index - 1];
    TSrcHighlighterAttributes* const stringAttri = FHighlighter ? FHighlighter->RoleAttri(arString) : nullptr;
    TSrcHighlighterAttributes* const commentAttri = FHighlighter ? FHighlighter->RoleAttri(arComment) : nullptr;
    // A bracket inside a string or a comment does not count.
    auto counts = [&](int charIndex, int line) {
        if (!FHighlighter)
            return true;
        std::string token;
        TSrcHighlighterAttributes* attri = nullptr;
        if (!GetTokenAtPos(MakeBufferCoord(charIndex, line), token, attri))
            return true;
        return attri == nullptr || (attri != stringAttri && attri != commentAttri);
    };
    int level = 1;
    // invariant: brackets are ASCII, and ASCII bytes never occur inside a UTF-8 sequence.
    if (opening) {
        for (int line = p.LineNumber; line <= LineCount(); ++line) {
            const std::string text = line == p.LineNumber ? startText : LineText(line);
            for (int i = line == p.LineNumber ? p.CharIndex : 0; i < static_cast<int>(text.size()); ++i) {
                const char c = text[static_cast<size_t>(i)];
                if ((c != at && c != counterpart) || !counts(i + 1, line))
                    continue;
                level += c == at ? 1 : -1;
                if (level == 0)
                    return MakeBufferCoord(i + 1, line);
            }
        }
    } else {
        for (int line = p.LineNumber; line >= 1; --line) {
            const std::string text = line == p.LineNumber ? startText : LineText(line);
            for (int i = line == p.LineNumber ? p.CharIndex - 2 : static_cast<int>(text.size()) - 1; i >= 0; --i) {
                const char c = text[static_cast<size_t>(i)];
                if ((c != at && c != counterpart) || !counts(i + 1, line))
                    continue;
                level += c == at ? 1 : -1;
                if (level == 0)
                    return MakeBufferCoord(i + 1, line);
            }
        }
    }
    return {0, 0};
}

void TCustomSrcEdit::JumpToMatchingBracket()
{
    const TBufferCoord p = MatchingBracketOfCaret();
    if (p.CharIndex > 0 && p.LineNumber > 0)
        MoveCaret(p);
}
