// The per-line bookkeeping shared by the byte-by-byte highlighters.

#include "SrcEdit/Source/highlighters/SrcEditLineScanner.h"

#include "Platform/text/TextChars.h"

#include <algorithm>
#include <memory>

TSrcLineScanner::TSrcLineScanner(TComponent* AOwner, const char* builtInFilter)
    : TSrcCustomHighlighter(AOwner), FBuiltInFilter(builtInFilter)
{
    SetDefaultFilter(builtInFilter);
}

TSrcHighlighterAttributes* TSrcLineScanner::AddAttri(const std::string& name, TFontStyles style, TColor foreground,
                                                     TColor background)
{
    auto attribute = std::make_unique<TSrcHighlighterAttributes>(name);
    attribute->SetStyle(style);
    attribute->SetForeground(foreground);
    attribute->SetBackground(background);
    return AddAttri(std::move(attribute));
}

TSrcHighlighterAttributes* TSrcLineScanner::RoleAttri(int role) const
{
    switch (role) {
    case arComment: return FRoles.Comment;
    case arIdentifier: return FRoles.Identifier;
    case arKeyword: return FRoles.Keyword;
    case arString: return FRoles.String;
    case arWhitespace: return FRoles.Whitespace;
    case arSymbol: return FRoles.Symbol;
    default: return nullptr;
    }
}

TSrcCharSet TSrcLineScanner::IdentifierChars() const
{
    // why: in UTF-8 the bytes 128..255 are pieces of characters, and a word must not end inside one
    return CharRange('0', '9') | CharRange('A', 'Z') | CharSetOf("_") | CharRange('a', 'z') | CharRange(128, 255);
}

bool TSrcLineScanner::IsFilterStored() const
{
    return DefaultFilter() != FBuiltInFilter;
}

void TSrcLineScanner::StartLine(std::string_view lineText, int lineNumber)
{
    FLine = lineText.substr(0, lineText.find('\0'));
    FLineNumber = lineNumber;
    FRun = 0;
    AdvanceToken();
}

void TSrcLineScanner::SkipChar()
{
    // invariant: a multi-byte character is never split between tokens
    FRun += static_cast<size_t>(std::max(1, TextChars::CharLength(FLine, FRun)));
}
