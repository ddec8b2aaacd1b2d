#include "search/zuSearchEngine.h"

#include "Platform/files/RegularFile.h"
#include "Platform/text/Format.h"
#include "Platform/text/TextChars.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How often a byte turns up in source text, roughly: the scan looks first for the pattern's
// byte that turns up least, so that few candidates need a full comparison.
constexpr std::array<std::uint8_t, 256> ByteFrequency = [] {
    std::array<std::uint8_t, 256> table{};
    for (auto& f : table)
        f = 1;
    const char* common = " etaoinsrlcdhupmf_gy()bw;=,.$\"'\t\n\r>vk<-x/{}:0*1[]2#&!j+qz";
    std::uint8_t rank = 250;
    for (const char* c = common; *c; ++c, rank = static_cast<std::uint8_t>(rank - 4)) {
        table[static_cast<unsigned char>(*c)] = rank;
        if (*c >= 'a' && *c <= 'z')
            table[static_cast<unsigned char>(*c - 'a' + 'A')] = static_cast<std::uint8_t>(rank / 3);
    }
    return table;
}();

bool IsWordLetter(std::string_view line, size_t index)
{
    int length = 0;
    char32_t code = TextChars::Decode(line, index, &length);
    // why: a byte that is not UTF-8 is taken as the Latin-1 character of the same number, so
    // that the letters of 8-bit files still bound words.
    if (code == 0xFFFD && length == 1)
        code = static_cast<unsigned char>(line[index]);
    return QChar::isLetter(code);
}

} // namespace

TSearcher::TSearcher(const std::string& fileName)
{
    if (!fileName.empty())
        SetFileName(fileName);
}

void TSearcher::SetBufSize(int value)
{
    if (!FBufferUsed && value > 1)
        FBufSize = value;
}

void TSearcher::SetPattern(const std::string& text)
{
    if (text.size() > MaxPatternLength)
        throw ESearchError("Pattern Too Long. (> 500 characters)");
    if (2 * text.size() + 2 > CompiledPatternSize)
        throw ESearchError("Buffer overrun!");
    FPattern = text;
    FFolded = text;
    const bool matchCase = FOptions.Contains(soCaseSensitive);
    if (!matchCase)
        std::transform(FFolded.begin(), FFolded.end(), FFolded.begin(), FoldSearchChar);
    FAnchor = 0;
    int best = 1 << 30;
    for (size_t i = 0; i < FFolded.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(FFolded[i]);
        int score = ByteFrequency[c];
        if (!matchCase && c >= 'a' && c <= 'z')
            score += ByteFrequency[c - 'a' + 'A'];
        if (score < best) {
            best = score;
            FAnchor = i;
        }
    }
}

void TSearcher::SetFileName(const std::string& name)
{
    FFileName = name;
    FSize = 0;
    if (name.empty())
        return;
    const auto fail = [this, &name](int error) {
        FFileName.clear();
        FSize = 0;
        throw EFOpenError(Format("Cannot open file \"%s\". %s", {name, SysErrorMessage(error)}));
    };
    int handle = -1;
    try {
        handle = OpenRegularFile(name);
    } catch (...) {
        FFileName.clear();
        throw;
    }
    struct Closer {
        int Handle;
        ~Closer() { ::close(Handle); }
    } closer{handle};
    struct stat st {};
    if (::fstat(handle, &st) != 0)
        fail(errno);
    // why: the size is a hint only (files that grow, or report no size, are read to their end).
    Reserve(static_cast<size_t>(std::max<off_t>(st.st_size, 0)) + 1);
    for (;;) {
        if (FSize == FCapacity)
            Reserve(FCapacity * 2);
        const ssize_t got = ::read(handle, FData.get() + FSize, FCapacity - FSize);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        if (got == 0)
            break;
        FSize += static_cast<size_t>(got);
    }
}

void TSearcher::Reserve(size_t size)
{
    if (size <= FCapacity)
        return;
    std::unique_ptr<char[]> data = std::make_unique_for_overwrite<char[]>(size);
    if (FSize > 0)
        std::memcpy(data.get(), FData.get(), FSize);
    FData = std::move(data);
    FCapacity = size;
}

void TSearcher::Execute()
{
    if (FFileName.empty())
        return;
    FBufferUsed = true;
    const std::string_view text(FData.get(), FSize);
    const size_t block = std::min(text.size(), static_cast<size_t>(FBufSize - 1));
    if (std::memchr(text.data(), 0, block))
        throw ESearchBinaryFile("Unable to search in binary files");
    ScanText(text);
}

size_t TSearcher::FindNext(std::string_view text, size_t from) const
{
    const size_t m = FFolded.size();
    if (m == 0 || text.size() < m || from > text.size() - m)
        return std::string_view::npos;
    const bool matchCase = FOptions.Contains(soCaseSensitive);
    const char anchor = FFolded[FAnchor];
    const char other = !matchCase && anchor >= 'a' && anchor <= 'z' ? static_cast<char>(anchor - 'a' + 'A') : anchor;
    const char* const base = text.data();
    const char* const last = base + (text.size() - m) + FAnchor; // the last place the anchor may stand
    const char* p = base + from + FAnchor;
    const auto find = [last](const char* at, char c) -> const char* {
        return static_cast<const char*>(std::memchr(at, c, static_cast<size_t>(last - at) + 1));
    };
    const char* nextAnchor = find(p, anchor);
    const char* nextOther = other == anchor ? nullptr : find(p, other);
    for (;;) {
        const char* hit = !nextOther ? nextAnchor : !nextAnchor ? nextOther : std::min(nextAnchor, nextOther);
        if (!hit)
            return std::string_view::npos;
        const char* start = hit - FAnchor;
        bool equal;
        if (matchCase) {
            equal = std::memcmp(start, FFolded.data(), m) == 0;
        } else {
            equal = true;
            for (size_t i = 0; i < m && equal; ++i)
                equal = FoldSearchChar(start[i]) == FFolded[i];
        }
        if (equal)
            return static_cast<size_t>(start - base);
        if (hit == last)
            return std::string_view::npos;
        if (hit == nextAnchor)
            nextAnchor = find(hit + 1, anchor);
        else
            nextOther = find(hit + 1, other);
    }
}

bool TSearcher::IsWholeWord(std::string_view line, size_t start, size_t end) const
{
    if (start > 0 && IsWordLetter(line, TextChars::PrevCharStart(line, start)))
        return false;
    return end >= line.size() || !IsWordLetter(line, end);
}

void TSearcher::ScanText(std::string_view text)
{
    // invariant: lines never hold a line break, so a text with one is found nowhere.
    if (FFolded.empty() || FFolded.find_first_of("\r\n") != std::string::npos)
        return;
    const bool matchCase = FOptions.Contains(soCaseSensitive);
    const bool wholeWord = FOptions.Contains(soWholeWord);
    const size_t m = FFolded.size();
    size_t start = FindNext(text, 0);
    if (start == std::string_view::npos)
        return;
    const bool hasCR = std::memchr(text.data(), '\r', text.size()) != nullptr;
    const char* const base = text.data();
    // The line that holds `counted`: its start and number. Line breaks before `counted` are
    // counted; the rest only as far as the next hit needs.
    size_t counted = 0;
    size_t lineStart = 0;
    int lineNo = 1;
    size_t lineEnd = 0;
    bool lineKnown = false;
    for (; start != std::string_view::npos; start = FindNext(text, start + 1)) {
        if (!lineKnown || start >= lineEnd) {
            if (!hasCR) {
                const auto breaks = std::count(base + counted, base + start, '\n');
                if (breaks > 0) {
                    lineNo += static_cast<int>(breaks);
                    const void* lastBreak = ::memrchr(base + counted, '\n', start - counted);
                    lineStart = static_cast<size_t>(static_cast<const char*>(lastBreak) - base) + 1;
                }
                const void* end = std::memchr(base + start, '\n', text.size() - start);
                lineEnd = end ? static_cast<size_t>(static_cast<const char*>(end) - base) : text.size();
            } else {
                for (size_t i = counted; i < start; ++i) {
                    if (text[i] == '\n' || text[i] == '\r') {
                        if (text[i] == '\r' && i + 1 < start && text[i + 1] == '\n')
                            ++i;
                        ++lineNo;
                        lineStart = i + 1;
                    }
                }
                lineEnd = text.find_first_of("\r\n", start);
                if (lineEnd == std::string_view::npos)
                    lineEnd = text.size();
            }
            counted = start;
            lineKnown = true;
            if (!matchCase) {
                FLine.assign(base + lineStart, lineEnd - lineStart);
                std::transform(FLine.begin(), FLine.end(), FLine.begin(), FoldSearchChar);
            }
        }
        const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        const size_t column = start - lineStart;
        if (wholeWord && !IsWholeWord(line, column, column + m))
            continue;
        if (OnFound)
            OnFound(*this, lineNo, matchCase ? line : std::string_view(FLine), static_cast<int>(column + 1),
                    static_cast<int>(column + m));
    }
}
