#pragma once
// TNetHTTPResponseInfo: the answer that the internal HTTP server's handler fills, and how it
// goes on the wire: status line, standard header lines, the script's own header lines, body.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TNetHTTPResponseInfo {
public:
    // Sends bytes to the client; false once the client has gone.
    using TWriter = std::function<bool(std::string_view bytes)>;

    explicit TNetHTTPResponseInfo(TWriter writer = {});

    // Setting the status code also sets the standard reason text.
    int ResponseNo() const { return FResponseNo; }
    void SetResponseNo(int code);
    const std::string& ResponseText() const { return FResponseText; }

    // A fresh answer is "text/html"; an empty type sends no Content-Type line.
    std::string ContentType = "text/html";
    // -1: no Content-Length line (the body ends when the connection closes).
    std::int64_t ContentLength = -1;
    std::string ContentText;
    std::string CacheControl;
    std::string ServerSoftware;
    // The script's header lines, as it wrote them.
    std::vector<std::string> RawHeaders;
    // Lines sent after the standard ones.
    std::vector<std::string> CustomHeaders;
    // An answer to HEAD: the header goes out, no body byte does.
    bool NoBody = false;

    // The header block that WriteHeader sends. A body text without a set length gets its
    // length.
    std::string HeaderText();
    // Sends the header once, with the first bytes of the body when given (one write for
    // both); later calls do nothing.
    void WriteHeader(std::string_view bodyStart = {});
    bool HeaderHasBeenWritten() const { return FHeaderWritten; }
    // Bytes after the header; false once the client has gone.
    bool WriteBody(std::string_view bytes);
    // The header unless it was written, then the body text; once (later calls do nothing).
    void WriteContent();

private:
    TWriter FWriter;
    int FResponseNo = 200;
    std::string FResponseText = "OK";
    bool FHeaderWritten = false;
    bool FContentWritten = false;
};

// The standard reason text of a status code ("Unknown" for codes without one).
std::string_view ReasonText(int code);
// The small page the server answers with when it refuses a request itself: code and reason.
std::string StatusPageText(int code);
// `text` with the characters that HTML gives a meaning (& < > " ') written as references.
std::string HTMLEscaped(std::string_view text);
