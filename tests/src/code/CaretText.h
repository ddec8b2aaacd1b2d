#pragma once
// A test text with the caret written into it as "|": the text without the mark, its lines (split
// at LF) and the caret where the mark stood (at the text's end when there is none).

#include "SrcEdit/Source/text/SrcEditTypes.h"

#include "Platform/text/Strings.h"

#include <algorithm>
#include <string>

struct TCaretText {
    explicit TCaretText(std::string text) : Text(std::move(text))
    {
        const size_t bar = std::min(Text.find('|'), Text.size());
        const std::string before = Text.substr(0, bar);
        const size_t lastBreak = before.rfind('\n');
        Caret.LineNumber = 1 + static_cast<int>(std::count(before.begin(), before.end(), '\n'));
        Caret.CharIndex = static_cast<int>(before.size() - (lastBreak == std::string::npos ? 0 : lastBreak + 1)) + 1;
        if (bar < Text.size())
            Text.erase(bar, 1);
        size_t start = 0;
        for (;;) {
            const size_t end = Text.find('\n', start);
            Lines.Add(Text.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
    }
    std::string Text;
    TStringList Lines;
    TBufferCoord Caret;
};
