#pragma once
// TSearcher: searches one file at a time for a literal text and reports every hit, line by
// line, through OnFound. Find in Files gives each of its threads one, sets its options and text
// once and hands it one file after another; it keeps nothing between files but its options, its
// compiled text and its buffer.
//
// Files are searched as the bytes they hold (UTF-8 stays whole). Lines end at CR, LF or CR LF
// and have no length limit. A case-insensitive search folds "A".."Z" only. A file that holds a
// zero byte in its first block is binary and is refused with ESearchBinaryFile.

#include "Platform/core/Exceptions.h"
#include "Platform/core/Set.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

enum TSearchOption { soCaseSensitive, soWholeWord };
using TSearchOptions = TSet<TSearchOption>;

ZENTU_DECLARE_EXCEPTION(ESearchError, Exception);
// "Unable to search in binary files".
ZENTU_DECLARE_EXCEPTION(ESearchBinaryFile, ESearchError);

class TSearcher;

// LineNo is 1-based; Line is the whole line without its line break (folded to lower case when
// the search ignores case), valid during the call only; SPos and EPos are the 1-based byte
// columns of the hit's first and last byte.
using TSearcherFoundEvent =
    std::function<void(TSearcher& Sender, int LineNo, std::string_view Line, int SPos, int EPos)>;

class TSearcher {
public:
    static constexpr int DefaultBufSize = 2048;
    static constexpr int MaxPatternLength = 500;
    // The compiled form holds two bytes per character and two more.
    static constexpr int CompiledPatternSize = 512;

    explicit TSearcher(const std::string& fileName = "");

    // The block whose bytes decide whether a file is binary. Taken only before the first file.
    int BufSize() const { return FBufSize; }
    void SetBufSize(int value);

    // Set before SetPattern: the text is folded when it is compiled.
    TSearchOptions Options() const { return FOptions; }
    void SetOptions(TSearchOptions value) { FOptions = value; }

    // Raises ESearchError "Pattern Too Long. (> 500 characters)" above 500 bytes and
    // "Buffer overrun!" when the compiled form would pass 512 bytes (above 255 bytes).
    void SetPattern(const std::string& text);
    const std::string& Pattern() const { return FPattern; }

    // Reads the whole file; raises EFOpenError when it is no regular file or cannot be read.
    // An empty name only forgets the previous file.
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& name);

    // Searches the file read last and reports its hits; nothing without a file name. Raises
    // ESearchBinaryFile for a binary file.
    void Execute();

    TSearcherFoundEvent OnFound;

private:
    void Reserve(size_t size);
    void ScanText(std::string_view text);
    // The offset of the next occurrence at or after `from`, or npos.
    size_t FindNext(std::string_view text, size_t from) const;
    bool IsWholeWord(std::string_view line, size_t start, size_t end) const;

    int FBufSize = DefaultBufSize;
    bool FBufferUsed = false;
    TSearchOptions FOptions;
    std::string FFileName;
    std::string FPattern;
    // The pattern as searched: folded unless the search is case-sensitive.
    std::string FFolded;
    // Its rarest byte and that byte's offset in it: the scan looks for this byte first.
    size_t FAnchor = 0;
    // The file's bytes: the buffer grows and is kept for the next file, never cleared.
    std::unique_ptr<char[]> FData;
    size_t FCapacity = 0;
    size_t FSize = 0;
    std::string FLine;
};

// "A".."Z" to "a".."z"; every other byte stays.
inline char FoldSearchChar(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
