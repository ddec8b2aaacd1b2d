// Whole texts scanned for the highlighter tests, with the check that the tokens cover the lines.

#include "SrcEdit/highlighters/HighlighterScan.h"

std::vector<TGoldenToken> ScanCoveringLines(TSrcCustomHighlighter& h, const std::vector<std::string>& lines,
                                            std::vector<TSrcRange>* ranges, bool noEmptyTokens)
{
    const auto scanned = ScanTokens(h, lines, ranges);
    std::vector<std::string> joined(lines.size());
    for (const auto& t : scanned) {
        EXPECT_EQ(t.Start, static_cast<int>(joined[static_cast<size_t>(t.Line)].size())) << "tokens are contiguous";
        if (noEmptyTokens) {
            EXPECT_FALSE(t.Text.empty()) << "no empty tokens";
        }
        joined[static_cast<size_t>(t.Line)] += t.Text;
    }
    std::vector<std::string> expected;
    for (const std::string& line : lines)
        expected.push_back(line.substr(0, line.find('\0')));
    EXPECT_EQ(joined, expected) << "tokens cover each line up to its first NUL";
    return scanned;
}

TKindPairs ScanKinds(TSrcCustomHighlighter& h, const std::vector<std::string>& lines, std::vector<TSrcRange>* ranges,
                     bool noEmptyTokens)
{
    TKindPairs tokens;
    for (const auto& t : ScanCoveringLines(h, lines, ranges, noEmptyTokens))
        tokens.emplace_back(t.Text, t.Kind);
    return tokens;
}

TAttributePairs ScanAttributes(TSrcCustomHighlighter& h, const std::vector<std::string>& lines,
                               std::vector<TSrcRange>* ranges)
{
    TAttributePairs tokens;
    for (const auto& t : ScanCoveringLines(h, lines, ranges))
        tokens.emplace_back(t.Text, t.Attribute);
    return tokens;
}
