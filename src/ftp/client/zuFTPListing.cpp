// Listing lines of Unix and DOS servers.

#include "ftp/client/zuFTPListing.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

struct TToken {
    std::string_view Text;
    size_t Start = 0;
    size_t End() const { return Start + Text.size(); }
};

std::vector<TToken> Tokens(std::string_view line)
{
    std::vector<TToken> tokens;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            tokens.push_back({line.substr(start, i - start), start});
    }
    return tokens;
}

bool AllDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

template <typename T>
bool ToNumber(std::string_view text, T& value)
{
    if (!AllDigits(text))
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

int MonthOf(std::string_view text)
{
    static constexpr std::string_view months[12] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                    "jul", "aug", "sep", "oct", "nov", "dec"};
    if (text.size() != 3)
        return 0;
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (int i = 0; i < 12; ++i)
        if (lower == months[i])
            return i + 1;
    return 0;
}

// "hh:mm" or "hh:mm:ss", with "AM"/"PM" appended for DOS listings.
bool ParseClock(std::string_view text, int& hour, int& minute)
{
    bool pm = false;
    bool twelveHour = false;
    if (text.size() > 2) {
        std::string suffix(text.substr(text.size() - 2));
        for (char& c : suffix)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (suffix == "AM" || suffix == "PM") {
            pm = suffix == "PM";
            twelveHour = true;
            text.remove_suffix(2);
        }
    }
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return false;
    std::string_view minutes = text.substr(colon + 1);
    if (const size_t second = minutes.find(':'); second != std::string_view::npos)
        minutes = minutes.substr(0, second);
    if (!ToNumber(text.substr(0, colon), hour) || !ToNumber(minutes, minute) || minute > 59)
        return false;
    if (twelveHour) {
        if (hour < 1 || hour > 12)
            return false;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    return hour <= 23;
}

TDateTime MakeDate(int year, int month, int day, int hour, int minute)
{
    TDateTime date = 0;
    TDateTime time = 0;
    if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, minute, 0, 0, time))
        return 0;
    return date + time;
}

bool PermissionChars(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return std::string_view("rwxsStTlL-").find(c) != std::string_view::npos; });
}

// A Unix date at tokens[at...]: "Mon DD hh:mm", "Mon DD YYYY" or "YYYY-MM-DD hh:mm". Sets the
// date and the index of its last token.
bool UnixDateAt(const std::vector<TToken>& tokens, size_t at, TDateTime now, TDateTime& date, size_t& last)
{
    if (at + 1 >= tokens.size())
        return false;
    const std::string_view first = tokens[at].Text;
    int hour = 0;
    int minute = 0;
    if (first.size() == 10 && first[4] == '-' && first[7] == '-') {
        int year = 0;
        int month = 0;
        int day = 0;
        if (!ToNumber(first.substr(0, 4), year) || !ToNumber(first.substr(5, 2), month) ||
            !ToNumber(first.substr(8, 2), day) || !ParseClock(tokens[at + 1].Text, hour, minute))
            return false;
        date = MakeDate(year, month, day, hour, minute);
        last = at + 1;
        return true;
    }
    const int month = MonthOf(first);
    int day = 0;
    if (month == 0 || at + 2 >= tokens.size() || !ToNumber(tokens[at + 1].Text, day) || day < 1 || day > 31)
        return false;
    const std::string_view third = tokens[at + 2].Text;
    int year = 0;
    if (ParseClock(third, hour, minute)) {
        int nowYear = 0;
        int nowMonth = 0;
        int nowDay = 0;
        DecodeDate(now, nowYear, nowMonth, nowDay);
        year = nowYear;
        date = MakeDate(year, month, day, hour, minute);
        // why: servers leave the year out for recent dates only, so a date ahead of now is last year's.
        if (date > now + 1)
            date = MakeDate(year - 1, month, day, hour, minute);
    } else if (third.size() == 4 && ToNumber(third, year)) {
        date = MakeDate(year, month, day, 0, 0);
    } else {
        return false;
    }
    last = at + 2;
    return true;
}

// The text after a token: one blank skipped, the rest kept as it is.
std::string_view RestAfter(std::string_view line, const TToken& token)
{
    size_t start = token.End();
    if (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    return line.substr(std::min(start, line.size()));
}

} // namespace

bool ParseUnixListLine(std::string_view line, TDateTime now, TFTPListItem& item)
{
    const std::vector<TToken> tokens = Tokens(line);
    if (tokens.size() < 5)
        return false;
    const std::string_view mode = tokens[0].Text;
    if (mode.size() < 10 || std::string_view("-dlbcpsD").find(mode[0]) == std::string_view::npos ||
        !PermissionChars(mode.substr(1, 9)))
        return false;
    // The date follows the size, which follows the owner (and mostly a group).
    for (size_t at = 3; at < tokens.size(); ++at) {
        TDateTime date = 0;
        size_t last = 0;
        if (!UnixDateAt(tokens, at, now, date, last))
            continue;
        // Device files show "major, minor" where other entries show their size.
        const std::string_view sizeText = tokens[at - 1].Text;
        const bool device = sizeText.find(',') != std::string_view::npos || tokens[at - 2].Text.back() == ',';
        std::int64_t size = 0;
        if (!device && !ToNumber(sizeText, size))
            continue;
        std::string_view name = RestAfter(line, tokens[last]);
        if (name.empty())
            return false;
        TFTPListItem entry;
        entry.Text = std::string(line);
        entry.Size = device ? 0 : size;
        entry.ModifiedDate = date;
        entry.OwnerPermissions = std::string(mode.substr(1, 3));
        entry.GroupPermissions = std::string(mode.substr(4, 3));
        entry.UserPermissions = std::string(mode.substr(7, 3));
        if (mode[0] == 'd' || mode[0] == 'D') {
            entry.ItemType = TFTPItemType::ditDirectory;
        } else if (mode[0] == 'l') {
            entry.ItemType = TFTPItemType::ditSymbolicLink;
            if (const size_t arrow = name.find(" -> "); arrow != std::string_view::npos) {
                entry.LinkedItemName = std::string(name.substr(arrow + 4));
                name = name.substr(0, arrow);
            }
        }
        entry.FileName = std::string(name);
        item = std::move(entry);
        return true;
    }
    return false;
}

bool ParseDosListLine(std::string_view line, TFTPListItem& item)
{
    const std::vector<TToken> tokens = Tokens(line);
    if (tokens.size() < 4)
        return false;
    const std::string_view dateText = tokens[0].Text;
    if ((dateText.size() != 8 && dateText.size() != 10) || dateText[2] != '-' || dateText[5] != '-')
        return false;
    int month = 0;
    int day = 0;
    int year = 0;
    if (!ToNumber(dateText.substr(0, 2), month) || !ToNumber(dateText.substr(3, 2), day) ||
        !ToNumber(dateText.substr(6), year))
        return false;
    if (dateText.size() == 8)
        year += year < 70 ? 2000 : 1900;
    int hour = 0;
    int minute = 0;
    if (!ParseClock(tokens[1].Text, hour, minute))
        return false;
    TFTPListItem entry;
    const std::string_view sizeText = tokens[2].Text;
    if (sizeText == "<DIR>") {
        entry.ItemType = TFTPItemType::ditDirectory;
    } else {
        std::string digits;
        for (char c : sizeText)
            if (c != ',' && c != '.')
                digits += c;
        if (!ToNumber(std::string_view(digits), entry.Size))
            return false;
    }
    // IIS pads the size column; the name starts at the first character after the gap.
    size_t start = tokens[2].End();
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    entry.FileName = std::string(line.substr(start));
    if (entry.FileName.empty())
        return false;
    entry.Text = std::string(line);
    entry.ModifiedDate = MakeDate(year, month, day, hour, minute);
    item = std::move(entry);
    return true;
}

bool ParseListLine(std::string_view line, TDateTime now, TFTPListItem& item)
{
    return ParseUnixListLine(line, now, item) || ParseDosListLine(line, item);
}

std::vector<TFTPListItem> ParseFTPListing(const std::vector<std::string>& lines, TDateTime now)
{
    std::vector<TFTPListItem> items;
    for (const std::string& line : lines) {
        TFTPListItem item;
        if (ParseListLine(line, now, item))
            items.push_back(std::move(item));
    }
    return items;
}

std::vector<std::string> SplitListingLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty())
            lines.emplace_back(line);
        if (end == std::string_view::npos)
            break;
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

int PermissionValue(const TFTPListItem& item)
{
    const auto triplet = [](const std::string& text, int weight) {
        int value = 0;
        const auto is = [&](size_t i, std::string_view letters) {
            return i < text.size() && letters.find(text[i]) != std::string_view::npos;
        };
        if (is(0, "rR"))
            value += 4 * weight;
        if (is(1, "wW"))
            value += 2 * weight;
        if (is(2, "xXst"))
            value += weight;
        return value;
    };
    return triplet(item.OwnerPermissions, 100) + triplet(item.GroupPermissions, 10) + triplet(item.UserPermissions, 1);
}

std::string PermissionText(const TFTPListItem& item)
{
    return item.OwnerPermissions + item.GroupPermissions + item.UserPermissions;
}
