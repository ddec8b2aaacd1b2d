#include "SrcEdit/highlighters/HighlighterGolden.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < text.size()) {
        const size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n')
            ++i;
        lines.emplace_back(text.substr(start, i - start));
        if (i < text.size() && text[i] == '\r')
            ++i;
        if (i < text.size() && text[i] == '\n')
            ++i;
    }
    if (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        lines.emplace_back();
    return lines;
}

namespace {

std::vector<TGoldenToken> ScanLine(TSrcCustomHighlighter& h, const std::string& line, int lineIndex)
{
    std::vector<TGoldenToken> tokens;
    h.StartLine(line, lineIndex);
    // why: empty tokens are allowed (the XML scans give up to three tokens for a byte), so only
    // a count beyond that shows a scan that does not advance
    const int most = 3 * static_cast<int>(line.size()) + 2;
    int guard = 0;
    while (!h.AtLineEnd()) {
        TSrcHighlighterAttributes* attri = h.TokenAttri();
        tokens.push_back({lineIndex, h.TokenStart(), h.TokenKindCode(), attri ? attri->Name() : "-", h.TokenText()});
        h.AdvanceToken();
        if (++guard > most) {
            ADD_FAILURE() << "highlighter does not advance on line " << lineIndex << ": " << line;
            break;
        }
    }
    return tokens;
}

std::string Escape(std::string_view text)
{
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\\': out += "\\\\"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02X", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

std::string ReplaceLineBreaks(std::string_view text, std::string_view lineBreak)
{
    const std::vector<std::string> lines = SplitLines(text);
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += lineBreak;
        out += lines[i];
    }
    return out;
}

} // namespace

std::vector<TGoldenToken> ScanTokens(TSrcCustomHighlighter& highlighter, const std::vector<std::string>& lines,
                                     std::vector<TSrcRange>* rangesAtEnd)
{
    std::vector<TGoldenToken> tokens;
    highlighter.ClearRange();
    if (rangesAtEnd)
        rangesAtEnd->clear();
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto lineTokens = ScanLine(highlighter, lines[i], static_cast<int>(i));
        tokens.insert(tokens.end(), lineTokens.begin(), lineTokens.end());
        if (rangesAtEnd)
            rangesAtEnd->push_back(highlighter.CurrentRange());
    }
    return tokens;
}

std::string DumpTokens(const std::vector<TGoldenToken>& tokens)
{
    std::string out;
    for (const auto& t : tokens)
        out += std::to_string(t.Line) + ":" + std::to_string(t.Start) + " " + std::to_string(t.Kind) + " " +
               t.Attribute + " |" + Escape(t.Text) + "|\n";
    return out;
}

std::string GoldenFolder(const std::string& language)
{
    return std::string(ZENTU_TEST_SOURCE_DIR) + "/highlighters/golden/" + language;
}

void ExpectCrLfAgrees(TSrcCustomHighlighter& highlighter, std::string_view text)
{
    const auto lf = ScanTokens(highlighter, SplitLines(ReplaceLineBreaks(text, "\n")));
    const auto crlf = ScanTokens(highlighter, SplitLines(ReplaceLineBreaks(text, "\r\n")));
    EXPECT_EQ(DumpTokens(lf), DumpTokens(crlf)) << "CR LF line breaks change the tokens";
}

void ExpectRescanAgrees(TSrcCustomHighlighter& highlighter, std::string_view text)
{
    const std::vector<std::string> lines = SplitLines(text);
    std::vector<TSrcRange> ranges;
    const auto full = ScanTokens(highlighter, lines, &ranges);
    // Tokens of each line in the full scan.
    std::vector<std::vector<TGoldenToken>> perLine(lines.size());
    for (const auto& t : full)
        perLine[static_cast<size_t>(t.Line)].push_back(t);
    for (size_t start = 1; start < lines.size(); ++start) {
        highlighter.RestoreRange(ranges[start - 1]);
        for (size_t i = start; i < lines.size(); ++i) {
            const auto tokens = ScanLine(highlighter, lines[i], static_cast<int>(i));
            if (tokens != perLine[i] || highlighter.CurrentRange() != ranges[i]) {
                ADD_FAILURE() << "rescanning from line " << start << " differs at line " << i << ":\n"
                              << DumpTokens(tokens) << "instead of\n"
                              << DumpTokens(perLine[i]);
                return;
            }
        }
    }
}

void ExpectGolden(TSrcCustomHighlighter& highlighter, const std::string& language, const std::string& sampleName,
                  const std::string& variant)
{
    const std::string folder = GoldenFolder(language);
    const std::string sample = ReadWholeFile(folder + "/" + sampleName);
    ASSERT_FALSE(sample.empty()) << "missing sample " << folder << "/" << sampleName;
    const std::string dump = DumpTokens(ScanTokens(highlighter, SplitLines(sample)));
    const std::string goldenName = folder + "/" + sampleName + (variant.empty() ? "" : "." + variant) + ".tokens";
    if (std::getenv("ZENTU_UPDATE_GOLDEN")) {
        QFile out(QString::fromStdString(goldenName));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(dump.data(), static_cast<qint64>(dump.size()));
    } else {
        EXPECT_EQ(dump, ReadWholeFile(goldenName)) << "token stream of " << sampleName << " differs from " << goldenName;
    }
    ExpectCrLfAgrees(highlighter, sample);
    ExpectRescanAgrees(highlighter, sample);
}
