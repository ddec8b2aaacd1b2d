#pragma once
// The bytes read from a connection that are not yet handed out as lines. Lines end at LF (a CR
// before it is dropped); taking a line costs its own length, not the length of what is still
// buffered behind it, so a server that sends many lines at once cannot make reading quadratic.

#include <cstddef>
#include <string>
#include <string_view>

class TFTPLineBuffer {
public:
    enum class TResult { lrLine, lrIncomplete, lrTooLong };

    void Append(std::string_view bytes);
    // The next line into `line`. lrIncomplete when no line ends yet and fewer than `maxLength`
    // bytes wait; lrTooLong when the next line is (or will be) longer than `maxLength` bytes,
    // leaving the buffer as it was.
    TResult TakeLine(std::size_t maxLength, std::string& line);
    // The first `length` bytes of a line that is too long, as they are (for lines split at the
    // maximum length).
    std::string TakeBytes(std::size_t length);
    std::size_t Pending() const { return FBytes.size() - FStart; }
    void Clear();

private:
    void Consume(std::size_t length);

    std::string FBytes;
    // invariant: the bytes before FStart are handed out; no LF lies in [FStart, FScanned).
    std::size_t FStart = 0;
    std::size_t FScanned = 0;
};
