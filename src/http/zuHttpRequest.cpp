// The request of the internal HTTP server and its parser.

#include "http/zuHttpRequest.h"

#include "Platform/text/TextUtils.h"

#include <algorithm>

namespace {

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool IsTokenChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if (u <= 32 || u >= 127)
        return false;
    return std::string_view("()<>@,;:\\\"/[]?={}").find(c) == std::string_view::npos;
}

// The lines of the head; a lone LF ends a line too, as clients in the wild send it.
std::vector<std::string_view> SplitLines(std::string_view head)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start <= head.size()) {
        size_t end = head.find('\n', start);
        if (end == std::string_view::npos)
            end = head.size();
        std::string_view line = head.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool ParseContentLength(std::string_view text, std::int64_t& value)
{
    if (text.empty() || text.size() > 18)
        return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

} // namespace

std::string TNetHTTPRequestInfo::Header(std::string_view name) const
{
    for (const auto& [key, value] : RawHeaders)
        if (SameText(key, name))
            return value;
    return {};
}

std::string PercentDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
            HexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

TRequestParseResult ParseRequestHead(std::string_view head, TNetHTTPRequestInfo& request)
{
    TRequestParseResult result;
    const std::vector<std::string_view> lines = SplitLines(head);
    const std::string_view requestLine = lines.front();
    const size_t firstBlank = requestLine.find(' ');
    const size_t lastBlank = requestLine.rfind(' ');
    if (firstBlank == std::string_view::npos || lastBlank == firstBlank) {
        result.Status = 400;
        return result;
    }
    const std::string_view method = requestLine.substr(0, firstBlank);
    const std::string_view target = TrimBlanks(requestLine.substr(firstBlank + 1, lastBlank - firstBlank - 1));
    const std::string_view version = requestLine.substr(lastBlank + 1);
    if (method.empty() || target.empty() || target.find(' ') != std::string_view::npos) {
        result.Status = 400;
        return result;
    }
    for (const char c : method)
        if (!IsTokenChar(c)) {
            result.Status = 400;
            return result;
        }
    if (version.substr(0, 5) != "HTTP/") {
        result.Status = 400;
        return result;
    }
    if (version != "HTTP/1.1" && version != "HTTP/1.0") {
        result.Status = 505;
        return result;
    }
    request.Command = std::string(method);
    request.Version = std::string(version);

    // The absolute form "http://host/path" names the same resource as "/path".
    std::string_view path = target;
    if (StartsText("http://", path)) {
        const size_t slash = path.find('/', 7);
        path = slash == std::string_view::npos ? std::string_view("/") : path.substr(slash);
    }
    if (path.front() != '/') {
        result.Status = 400;
        return result;
    }
    const size_t fragment = path.find('#');
    if (fragment != std::string_view::npos)
        path = path.substr(0, fragment);
    const size_t query = path.find('?');
    request.QueryParams = query == std::string_view::npos ? std::string() : std::string(path.substr(query + 1));
    request.Document = PercentDecode(path.substr(0, query));

    request.RawHeaders.clear();
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.empty())
            continue;
        if (line.front() == ' ' || line.front() == '\t') {
            // why: folded continuation lines are obsolete and a known smuggling vector.
            result.Status = 400;
            return result;
        }
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0) {
            result.Status = 400;
            return result;
        }
        const std::string_view name = line.substr(0, colon);
        for (const char c : name)
            if (!IsTokenChar(c)) {
                result.Status = 400;
                return result;
            }
        request.RawHeaders.emplace_back(std::string(name), std::string(TrimBlanks(line.substr(colon + 1))));
    }

    // why: with several Transfer-Encoding headers, whoever reads only one of them sees
    // another body than we do; that is how requests are smuggled past a proxy.
    const auto encodings = std::count_if(request.RawHeaders.begin(), request.RawHeaders.end(),
                                         [](const auto& header) { return SameText(header.first, "Transfer-Encoding"); });
    if (encodings > 1) {
        result.Status = 400;
        return result;
    }
    const std::string transferEncoding = request.Header("Transfer-Encoding");
    if (!transferEncoding.empty() && !SameText(transferEncoding, "identity")) {
        result.Status = 411;
        return result;
    }
    std::string lengthText;
    int lengthHeaders = 0;
    for (const auto& [key, value] : request.RawHeaders)
        if (SameText(key, "Content-Length")) {
            if (lengthHeaders++ > 0 && value != lengthText) {
                result.Status = 400;
                return result;
            }
            lengthText = value;
        }
    if (lengthHeaders > 0 && !ParseContentLength(lengthText, result.ContentLength)) {
        result.Status = 400;
        return result;
    }
    if (result.ContentLength > MaxRequestBodySize) {
        result.Status = 413;
        return result;
    }
    result.ExpectContinue = SameText(request.Header("Expect"), "100-continue") && request.Version == "HTTP/1.1";

    if (request.Command != "GET" && request.Command != "POST" && request.Command != "HEAD")
        result.Status = 501;
    return result;
}
