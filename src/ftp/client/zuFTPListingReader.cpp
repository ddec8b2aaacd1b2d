// Listings read piece by piece.

#include "ftp/client/zuFTPListingReader.h"

#include "ftp/client/zuFTPErrors.h"

#include "Platform/text/Format.h"

TFTPListingReader::TFTPListingReader(TDateTime now, TFTPListingLimits limits) : FNow(now), FLimits(limits) {}

void TFTPListingReader::Add(std::string_view piece)
{
    FBytes += piece.size();
    if (FBytes > FLimits.MaxBytes)
        throw ENetFTPError(Format("The directory listing is larger than %d bytes", {FLimits.MaxBytes}));
    FBuffer.Append(piece);
    std::string line;
    // The byte bound holds every line, so no line is too long on its own.
    while (FBuffer.TakeLine(FLimits.MaxBytes, line) == TFTPLineBuffer::TResult::lrLine)
        AddLine(std::move(line));
}

void TFTPListingReader::Finish()
{
    std::string line = FBuffer.TakeBytes(FBuffer.Pending());
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    AddLine(std::move(line));
}

void TFTPListingReader::AddLine(std::string line)
{
    if (line.empty())
        return;
    if (Lines.size() >= FLimits.MaxLines)
        throw ENetFTPError(Format("The directory listing has more than %d lines", {FLimits.MaxLines}));
    TFTPListItem item;
    if (ParseListLine(line, FNow, item))
        Items.push_back(std::move(item));
    Lines.push_back(std::move(line));
}
