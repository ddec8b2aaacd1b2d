// Reply lines and the values read out of replies.

#include "ftp/client/zuFTPReply.h"

#include "ftp/client/zuFTPErrors.h"

#include "Platform/text/Format.h"

#include <cctype>
#include <charconv>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "ddd " or "ddd-" at the start of a line: the code and whether the line continues the reply.
bool ReplyStart(std::string_view line, int& code, bool& more)
{
    if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2]))
        return false;
    if (line.size() > 3 && line[3] != ' ' && line[3] != '-')
        return false;
    code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    more = line.size() > 3 && line[3] == '-';
    return true;
}

// The numbers of the first parenthesised group, or of the first run of comma-separated numbers.
std::vector<long> CommaNumbers(std::string_view text)
{
    std::vector<long> numbers;
    size_t i = 0;
    while (i < text.size() && !IsDigit(text[i]))
        ++i;
    while (i < text.size()) {
        long value = 0;
        const auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value);
        if (error != std::errc())
            break;
        numbers.push_back(value);
        i = static_cast<size_t>(end - text.data());
        if (i >= text.size() || text[i] != ',')
            break;
        ++i;
    }
    return numbers;
}

} // namespace

std::string TFTPReply::Text() const
{
    std::string text;
    for (const std::string& line : Lines) {
        if (!text.empty())
            text += "\r\n";
        text += line;
    }
    return text;
}

std::string TFTPReply::Message() const
{
    std::string text;
    for (size_t i = 0; i < Lines.size(); ++i) {
        std::string_view line = Lines[i];
        int code = 0;
        bool more = false;
        // Only the reply's own code is taken off; a line inside it may start with other digits.
        if (ReplyStart(line, code, more) && code == Code)
            line.remove_prefix(std::min<size_t>(4, line.size()));
        if (!text.empty())
            text += "\r\n";
        text += line;
    }
    return text;
}

bool TFTPReplyParser::Add(std::string line)
{
    int code = 0;
    bool more = false;
    const bool start = ReplyStart(line, code, more);
    const bool first = FReply.Lines.empty();
    if (first && !start)
        throw ENetFTPError(Format("Invalid reply: %s", {line}));
    if (FReply.Lines.size() >= FLimits.MaxLines)
        throw ENetFTPError(Format("The FTP server's reply is longer than %d lines", {FLimits.MaxLines}));
    // Each line counts with the CR LF that ended it.
    FBytes += line.size() + 2;
    if (FBytes > FLimits.MaxBytes)
        throw ENetFTPError(Format("The FTP server's reply is longer than %d bytes", {FLimits.MaxBytes}));
    FReply.Lines.push_back(std::move(line));
    if (first) {
        FReply.Code = code;
        return !more;
    }
    // A multi-line reply ends with the line that repeats its code followed by a blank.
    return start && code == FReply.Code && !more;
}

TFTPReply TFTPReplyParser::Take()
{
    TFTPReply reply = std::move(FReply);
    FReply = TFTPReply();
    FBytes = 0;
    return reply;
}

std::optional<int> ParsePassiveReply(std::string_view text)
{
    const size_t open = text.find('(');
    const std::vector<long> numbers = CommaNumbers(open == std::string_view::npos ? text.substr(3) : text.substr(open));
    if (numbers.size() != 6)
        return std::nullopt;
    for (long n : numbers)
        if (n < 0 || n > 255)
            return std::nullopt;
    return static_cast<int>(numbers[4] * 256 + numbers[5]);
}

std::optional<int> ParseExtendedPassiveReply(std::string_view text)
{
    const size_t open = text.find('(');
    if (open == std::string_view::npos || open + 4 >= text.size())
        return std::nullopt;
    const char delimiter = text[open + 1];
    std::string_view rest = text.substr(open + 1);
    if (rest.size() < 4 || rest[1] != delimiter || rest[2] != delimiter)
        return std::nullopt;
    rest.remove_prefix(3);
    int port = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), port);
    if (error != std::errc() || end == rest.data() + rest.size() || *end != delimiter || port <= 0 || port > 65535)
        return std::nullopt;
    return port;
}

std::optional<std::string> ParseQuotedPath(std::string_view text)
{
    const size_t open = text.find('"');
    if (open == std::string_view::npos)
        return std::nullopt;
    std::string path;
    for (size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] != '"') {
            path += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '"') {
            path += '"';
            ++i;
            continue;
        }
        return path;
    }
    return std::nullopt;
}

std::string PortArgument(std::string_view ipv4, int port)
{
    std::string argument(ipv4);
    for (char& c : argument)
        if (c == '.')
            c = ',';
    return Format("%s,%d,%d", {argument, port / 256, port % 256});
}

std::optional<TDateTime> ParseModifiedTime(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (text.size() < 14)
        return std::nullopt;
    int parts[6] = {};
    const int widths[6] = {4, 2, 2, 2, 2, 2};
    size_t at = 0;
    for (int i = 0; i < 6; ++i) {
        const auto [end, error] = std::from_chars(text.data() + at, text.data() + at + widths[i], parts[i]);
        if (error != std::errc() || end != text.data() + at + widths[i])
            return std::nullopt;
        at += static_cast<size_t>(widths[i]);
    }
    TDateTime date = 0;
    TDateTime time = 0;
    if (!TryEncodeDate(parts[0], parts[1], parts[2], date) || !TryEncodeTime(parts[3], parts[4], parts[5], 0, time))
        return std::nullopt;
    return date + time;
}

std::optional<std::int64_t> ParseSizeReply(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    std::int64_t size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    if (error != std::errc() || end != text.data() + text.size() || size < 0 || text.empty())
        return std::nullopt;
    return size;
}
