// Lines out of a byte stream.

#include "ftp/client/zuFTPLineBuffer.h"

#include <algorithm>

void TFTPLineBuffer::Append(std::string_view bytes)
{
    FBytes.append(bytes);
}

TFTPLineBuffer::TResult TFTPLineBuffer::TakeLine(std::size_t maxLength, std::string& line)
{
    const std::size_t end = FBytes.find('\n', std::max(FStart, FScanned));
    if (end == std::string::npos) {
        FScanned = FBytes.size();
        // One byte more may wait: the CR of a line of the longest length.
        return Pending() > maxLength + 1 ? TResult::lrTooLong : TResult::lrIncomplete;
    }
    std::size_t length = end - FStart;
    const bool cr = length > 0 && FBytes[end - 1] == '\r';
    if (length - (cr ? 1 : 0) > maxLength)
        return TResult::lrTooLong;
    line.assign(FBytes, FStart, cr ? length - 1 : length);
    Consume(length + 1);
    return TResult::lrLine;
}

std::string TFTPLineBuffer::TakeBytes(std::size_t length)
{
    length = std::min(length, Pending());
    std::string bytes = FBytes.substr(FStart, length);
    Consume(length);
    return bytes;
}

void TFTPLineBuffer::Consume(std::size_t length)
{
    FStart += length;
    // why: dropping the handed-out front only once it is the larger part keeps each byte moved
    // a bounded number of times.
    if (FStart >= FBytes.size()) {
        FBytes.clear();
        FStart = 0;
        FScanned = 0;
    } else if (FStart > 4096 && FStart * 2 > FBytes.size()) {
        FBytes.erase(0, FStart);
        FScanned = FScanned > FStart ? FScanned - FStart : 0;
        FStart = 0;
    }
}

void TFTPLineBuffer::Clear()
{
    FBytes.clear();
    FStart = 0;
    FScanned = 0;
}
