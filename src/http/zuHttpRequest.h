#pragma once
// TNetHTTPRequestInfo: one request of the internal HTTP server as its handler sees it, and the
// parser that builds it from the bytes a browser sends.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TNetHTTPRequestInfo {
public:
    // "GET", "POST" or "HEAD" once the request reaches the handler.
    std::string Command;
    // The URL path, percent-decoded once, without the query. It may hold any byte, a zero
    // byte included; whoever maps it onto files must refuse what it cannot represent.
    std::string Document;
    // The text after "?" in the URL, as sent (not decoded); empty without one.
    std::string QueryParams;
    // "HTTP/1.1" or "HTTP/1.0": the last word of the request line.
    std::string Version;
    // The header lines in the order sent, names as sent.
    std::vector<std::pair<std::string, std::string>> RawHeaders;
    std::string RemoteIP;

    // The value of the first header of that name (compared without case); "" when missing.
    std::string Header(std::string_view name) const;
    std::string Host() const { return Header("Host"); }
};

// Why a request cannot reach the handler: the status code the server answers with (0: none).
struct TRequestParseResult {
    int Status = 0;
    // Content-Length, when the request has a body.
    std::int64_t ContentLength = 0;
    // The client waits for "100 Continue" before it sends the body.
    bool ExpectContinue = false;
};

// The largest header block and body the server reads.
inline constexpr size_t MaxRequestHeadSize = 64 * 1024;
inline constexpr std::int64_t MaxRequestBodySize = 64 * 1024 * 1024;

// Parses the request line and header lines (`head` ends before the blank line). Fills the
// command, document, query, version and headers; answers 400 for a malformed request (also
// for more than one Transfer-Encoding header), 501 for a method other than GET, POST and HEAD,
// 505 for a protocol other than HTTP/1.x, 411 for a body sent in chunks and 413 for a body
// above MaxRequestBodySize. The body itself stays with the connection, which streams it.
TRequestParseResult ParseRequestHead(std::string_view head, TNetHTTPRequestInfo& request);

// Decodes every "%XX" (two hexadecimal digits); anything else stays as it is ("+" too).
std::string PercentDecode(std::string_view text);
