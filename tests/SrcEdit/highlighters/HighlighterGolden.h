#pragma once
// Token streams of a highlighter over a whole text, compared with golden files, and the two
// invariants every highlighter keeps: CR LF line breaks give the same tokens as LF, and
// rescanning from any line's stored range gives the same tokens as a full scan.
//
// Golden files live in tests/SrcEdit/highlighters/golden/<language>/: a sample ("page.php") beside its
// expected stream ("page.php.tokens"), one token per line as
//     <line>:<start> <kind> <attribute or -> |<text>|
// with the text's control bytes written as \t, \r, \n, \\ and \xNN. Run the tests with
// ZENTU_UPDATE_GOLDEN=1 to write the streams anew, then read the diff before committing it.

#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"

#include <string>
#include <string_view>
#include <vector>

struct TGoldenToken {
    int Line = 0;  // 0-based
    int Start = 0; // 0-based byte offset in the line
    int Kind = 0;
    std::string Attribute; // "-" when the token has none
    std::string Text;
    bool operator==(const TGoldenToken&) const = default;
};

// The lines of `text`, cut at CR LF, lone CR or lone LF, as the line store cuts them.
std::vector<std::string> SplitLines(std::string_view text);

// Scans every line in order from the highlighter's start state; `rangesAtEnd` (when given)
// receives the range stored at the end of each line.
std::vector<TGoldenToken> ScanTokens(TSrcCustomHighlighter& highlighter, const std::vector<std::string>& lines,
                                     std::vector<TSrcRange>* rangesAtEnd = nullptr);
std::string DumpTokens(const std::vector<TGoldenToken>& tokens);

// The folder of the golden files of `language` in the source tree.
std::string GoldenFolder(const std::string& language);

// Checks the sample against its golden stream and both invariants; reports through gtest. A
// sample scanned by differently set highlighters has one stream per `variant`
// ("<sample>.<variant>.tokens").
void ExpectGolden(TSrcCustomHighlighter& highlighter, const std::string& language, const std::string& sampleName,
                  const std::string& variant = "");
// Both invariants alone, for texts without a golden file.
void ExpectCrLfAgrees(TSrcCustomHighlighter& highlighter, std::string_view text);
void ExpectRescanAgrees(TSrcCustomHighlighter& highlighter, std::string_view text);
