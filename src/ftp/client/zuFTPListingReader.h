#pragma once
// A LIST answer read as it arrives: its lines and their entries, bounded in bytes and lines
// so that a server that never ends its listing cannot fill the memory.

#include "ftp/client/zuFTPLineBuffer.h"
#include "ftp/client/zuFTPListing.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct TFTPListingLimits {
    std::size_t MaxBytes = std::size_t(64) * 1024 * 1024;
    // Lines kept, entries or not (every line is kept in the listing's text).
    std::size_t MaxLines = 1000000;
};

class TFTPListingReader {
public:
    // `now` decides the year of dates shown without one (ParseUnixListLine).
    explicit TFTPListingReader(TDateTime now, TFTPListingLimits limits = {});

    // A piece of the data connection. Raises ENetFTPError once the listing grows beyond a limit.
    void Add(std::string_view piece);
    // The end of the data: a last line without a line break counts too.
    void Finish();

    // The non-empty lines, and the entries read from them, in their order.
    std::vector<std::string> Lines;
    std::vector<TFTPListItem> Items;

private:
    void AddLine(std::string line);

    TDateTime FNow;
    TFTPListingLimits FLimits;
    TFTPLineBuffer FBuffer;
    std::size_t FBytes = 0;
};
