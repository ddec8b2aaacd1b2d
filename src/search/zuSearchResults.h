#pragma once
// The hits of a Find in Files run, grouped by file: TSearchResult is one hit, TSearchResults
// the hits of one file.

#include <string>
#include <string_view>
#include <vector>

struct TSearchResult {
    // The line as the searcher held it (ASCII capitals folded when the search ignored case).
    // A very long line keeps only the part around the hit; Offset bytes were cut before it.
    std::string Line;
    int LineNo = 0;
    // 1-based columns of the hit's first and last byte in the whole line.
    int SPos = 0;
    int EPos = 0;
    int Offset = 0;

    // What the hit row shows: the kept line without its leading blanks and tabs (when it starts
    // the line), and the hit's byte range in that text.
    struct TShownLine {
        std::string_view Text;
        size_t HitStart = 0;
        size_t HitEnd = 0;
    };
    TShownLine Shown() const;
};

// Lines up to this length are kept whole.
constexpr size_t MaxKeptLineLength = 2048;

// A hit whose line is cut to at most about MaxKeptLineLength bytes around the hit, never
// inside a UTF-8 character.
TSearchResult MakeSearchResult(int lineNo, std::string_view line, int sPos, int ePos);

class TSearchResults {
public:
    explicit TSearchResults(std::string fileName) : FileName(std::move(fileName)) {}

    std::string FileName;
    // Whether the file's hit rows are shown.
    bool Expanded = false;
    std::vector<TSearchResult> Hits;
};
