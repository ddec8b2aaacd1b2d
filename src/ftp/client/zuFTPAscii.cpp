// Line ends of ASCII transfers.

#include "ftp/client/zuFTPAscii.h"

std::string TAsciiReceiver::Convert(std::string_view piece)
{
    std::string out;
    out.reserve(piece.size() + 1);
    for (const char c : piece) {
        if (FPendingCR) {
            FPendingCR = false;
            if (c != '\n')
                out += '\r';
        }
        if (c == '\r')
            FPendingCR = true;
        else
            out += c;
    }
    return out;
}

std::string TAsciiReceiver::Finish()
{
    const bool pending = FPendingCR;
    FPendingCR = false;
    return pending ? "\r" : "";
}

std::string TAsciiSender::Convert(std::string_view piece)
{
    std::string out;
    out.reserve(piece.size() + piece.size() / 32 + 1);
    for (const char c : piece) {
        if (c == '\n' && !FLastWasCR)
            out += '\r';
        out += c;
        FLastWasCR = c == '\r';
    }
    return out;
}
