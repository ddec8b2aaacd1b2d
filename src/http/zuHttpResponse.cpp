// The answer of the internal HTTP server.

#include "http/zuHttpResponse.h"

#include <utility>

std::string_view ReasonText(int code)
{
    switch (code) {
    case 100: return "Continue";
    case 200: return "OK";
    case 201: return "Created";
    case 202: return "Accepted";
    case 204: return "No Content";
    case 206: return "Partial Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 304: return "Not Modified";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 410: return "Gone";
    case 411: return "Length Required";
    case 413: return "Payload Too Large";
    case 414: return "URI Too Long";
    case 415: return "Unsupported Media Type";
    case 422: return "Unprocessable Entity";
    case 429: return "Too Many Requests";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    case 505: return "HTTP Version Not Supported";
    default: return "Unknown";
    }
}

TNetHTTPResponseInfo::TNetHTTPResponseInfo(TWriter writer) : FWriter(std::move(writer)) {}

void TNetHTTPResponseInfo::SetResponseNo(int code)
{
    FResponseNo = code;
    FResponseText = std::string(ReasonText(code));
}

std::string TNetHTTPResponseInfo::HeaderText()
{
    if (ContentLength < 0 && !ContentText.empty())
        ContentLength = static_cast<std::int64_t>(ContentText.size());
    std::string text = "HTTP/1.1 " + std::to_string(FResponseNo) + " " + FResponseText + "\r\n";
    text += "Connection: close\r\n";
    if (!ContentType.empty())
        text += "Content-Type: " + ContentType + "\r\n";
    if (ContentLength >= 0)
        text += "Content-Length: " + std::to_string(ContentLength) + "\r\n";
    if (!CacheControl.empty())
        text += "Cache-control: " + CacheControl + "\r\n";
    if (!ServerSoftware.empty())
        text += "Server: " + ServerSoftware + "\r\n";
    for (const std::string& line : CustomHeaders)
        text += line + "\r\n";
    text += "\r\n";
    return text;
}

void TNetHTTPResponseInfo::WriteHeader(std::string_view bodyStart)
{
    if (FHeaderWritten)
        return;
    FHeaderWritten = true;
    std::string text = HeaderText();
    if (!NoBody)
        text += bodyStart;
    if (FWriter)
        FWriter(text);
}

bool TNetHTTPResponseInfo::WriteBody(std::string_view bytes)
{
    return NoBody || !FWriter || FWriter(bytes);
}

void TNetHTTPResponseInfo::WriteContent()
{
    if (FContentWritten)
        return;
    FContentWritten = true;
    WriteHeader();
    if (!ContentText.empty())
        WriteBody(ContentText);
}

std::string StatusPageText(int code)
{
    return "<html><body><h1>" + std::to_string(code) + " " + std::string(ReasonText(code)) + "</h1></body></html>";
}

std::string HTMLEscaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}
