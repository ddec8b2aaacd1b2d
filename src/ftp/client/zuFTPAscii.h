#pragma once
// The line ends of ASCII transfers: on the wire every line ends with CR LF; here a line ends
// with LF. Both converters work on a transfer piece by piece, so a CR LF split between two
// pieces is still one line end.

#include <string>
#include <string_view>

// Received bytes: CR LF becomes LF; a CR alone stays.
class TAsciiReceiver {
public:
    // The converted bytes of `piece`; a CR at its end waits for the next piece.
    std::string Convert(std::string_view piece);
    // What the last piece held back ("\r" or "").
    std::string Finish();

private:
    bool FPendingCR = false;
};

// Bytes to send: an LF without a CR before it becomes CR LF; CR LF stays as it is.
class TAsciiSender {
public:
    std::string Convert(std::string_view piece);

private:
    bool FLastWasCR = false;
};
