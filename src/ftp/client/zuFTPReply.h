#pragma once
// The texts of the FTP control connection: replies (one line, or several that end with the
// line that repeats the code), and what the client reads out of them and writes into its
// commands: the passive-mode address, the current folder, sizes, times and the PORT argument.

#include "Platform/core/DateTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TFTPReply {
    // The three-digit code; 0 while no complete reply has been read.
    int Code = 0;
    // The lines as received, without their line breaks.
    std::vector<std::string> Lines;

    // The lines joined by CR LF.
    std::string Text() const;
    // The reply's message without the code: the first line after "ddd " or "ddd-", then the
    // other lines; used as the text of errors.
    std::string Message() const;
    bool Positive() const { return Code >= 100 && Code < 400; }
};

// How much one reply may hold; a server that goes on beyond it is refused.
struct TFTPReplyLimits {
    std::size_t MaxLines = 10000;
    std::size_t MaxBytes = 1024 * 1024;
};

// Collects reply lines until a reply is complete. A line that does not start with three digits
// and a blank or a hyphen continues a multi-line reply; outside one it is an error.
class TFTPReplyParser {
public:
    explicit TFTPReplyParser(TFTPReplyLimits limits = {}) : FLimits(limits) {}
    // Adds one line (without its line break); true when the reply is complete. Raises
    // ENetFTPError "Invalid reply: %s" for a line that cannot start a reply, and for a reply
    // that grows beyond the limits.
    bool Add(std::string line);
    // The completed reply; the parser is empty afterwards.
    TFTPReply Take();
    bool Empty() const { return FReply.Lines.empty(); }

private:
    TFTPReplyLimits FLimits;
    TFTPReply FReply;
    std::size_t FBytes = 0;
};

// The port of a "227 ... (h1,h2,h3,h4,p1,p2)" reply; none when the text holds no such group.
std::optional<int> ParsePassiveReply(std::string_view text);
// The port of a "229 ... (|||port|)" reply.
std::optional<int> ParseExtendedPassiveReply(std::string_view text);
// The folder of a "257" reply: the text between the first and the matching closing double
// quote, a doubled quote standing for one; none without a quoted name.
std::optional<std::string> ParseQuotedPath(std::string_view text);
// "h1,h2,h3,h4,p1,p2" for an IPv4 address in dotted form.
std::string PortArgument(std::string_view ipv4, int port);
// The "YYYYMMDDHHMMSS[.fff]" time (UTC) of an MDTM reply's message; none when malformed.
std::optional<TDateTime> ParseModifiedTime(std::string_view text);
// The decimal number of a SIZE reply's message; none when malformed.
std::optional<std::int64_t> ParseSizeReply(std::string_view text);
