#include "Platform/core/DateTime.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/TextUtils.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInAMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month))
        return false;
    std::int64_t days = day;
    for (int m = 1; m < month; ++m)
        days += DaysInAMonth(year, m);
    const std::int64_t y = year - 1;
    days += y * 365 + y / 4 - y / 100 + y / 400;
    date = static_cast<double>(days - DateDelta);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime d = 0;
    if (!TryEncodeDate(year, month, day, d))
        throw EConvertError("Invalid argument to date encode");
    return d;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time)
{
    if (hour < 0 || hour >= 24 || min < 0 || min >= 60 || sec < 0 || sec >= 60 || msec < 0 || msec >= 1000)
        return false;
    time = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    TDateTime t = 0;
    if (!TryEncodeTime(hour, min, sec, msec, t))
        throw EConvertError("Invalid argument to time encode");
    return t;
}

namespace {

// Whole days since 1 January of year 1 (day 1) and milliseconds of the day, rounded to the
// millisecond the way the class library does: the fraction's sign follows the date.
void SplitDateTime(TDateTime dt, std::int64_t& days, std::int64_t& msOfDay)
{
    const double ms = std::round(dt * MSecsPerDay);
    // why: converting NaN or a value beyond 64 bits to an integer is undefined; such a value
    // decodes like any other date before the year 1, as zeros.
    if (!(std::fabs(ms) < 9.2e18)) {
        days = 0;
        msOfDay = 0;
        return;
    }
    std::int64_t total = static_cast<std::int64_t>(ms);
    days = total / 86400000;
    msOfDay = total % 86400000;
    if (msOfDay < 0)
        msOfDay = -msOfDay; // times before day 0 keep a positive time of day
    days += DateDelta;
}

} // namespace

void DecodeDate(TDateTime date, int& year, int& month, int& day)
{
    std::int64_t days = 0;
    std::int64_t ms = 0;
    SplitDateTime(date, days, ms);
    if (days <= 0) {
        year = month = day = 0;
        return;
    }
    std::int64_t t = days - 1;
    std::int64_t y = 1;
    y += (t / 146097) * 400;
    t %= 146097;
    std::int64_t i = t / 36524;
    if (i == 4) {
        i = 3;
    }
    y += i * 100;
    t -= i * 36524;
    y += (t / 1461) * 4;
    t %= 1461;
    i = t / 365;
    if (i == 4)
        i = 3;
    y += i;
    t -= i * 365;
    year = static_cast<int>(y);
    int m = 1;
    while (t >= DaysInAMonth(year, m)) {
        t -= DaysInAMonth(year, m);
        ++m;
    }
    month = m;
    day = static_cast<int>(t) + 1;
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec)
{
    std::int64_t days = 0;
    std::int64_t ms = 0;
    SplitDateTime(time, days, ms);
    hour = static_cast<int>(ms / 3600000);
    min = static_cast<int>(ms / 60000 % 60);
    sec = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime date)
{
    std::int64_t days = 0;
    std::int64_t ms = 0;
    SplitDateTime(date, days, ms);
    return static_cast<int>((days % 7 + 7) % 7) + 1;
}

TDateTime Now()
{
    const auto now = std::chrono::system_clock::now();
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
    const std::time_t secs = static_cast<std::time_t>(us / 1000000);
    std::tm local{};
    localtime_r(&secs, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), static_cast<int>(us % 1000000 / 1000));
}

TDateTime Date()
{
    return std::floor(Now());
}

const TFormatSettings& DefaultFormatSettings()
{
    static const TFormatSettings settings;
    return settings;
}

namespace {

class DateFormatter {
public:
    DateFormatter(TDateTime dt, const TFormatSettings& fs) : FDateTime(dt), FSettings(fs)
    {
        DecodeDate(dt, FYear, FMonth, FDay);
        DecodeTime(dt, FHour, FMin, FSec, FMSec);
    }

    void Append(std::string_view format, int depth)
    {
        if (depth > 2)
            return; // nested c/ddddd/tt formats cannot recurse further
        size_t i = 0;
        bool lastWasHour = false;
        bool use12Hour = Has12HourMarker(format);
        while (i < format.size()) {
            const char c = format[i];
            const char u = UpCase(c);
            auto run = [&](char letter) {
                size_t n = 0;
                while (i + n < format.size() && UpCase(format[i + n]) == letter)
                    ++n;
                return n;
            };
            if (c == '\'' || c == '"') {
                const size_t close = format.find(c, i + 1);
                if (close == std::string_view::npos) {
                    FOut.append(format.substr(i + 1));
                    i = format.size();
                } else {
                    FOut.append(format.substr(i + 1, close - i - 1));
                    i = close + 1;
                }
                continue;
            }
            switch (u) {
            case 'C': {
                ++i;
                Append(FSettings.ShortDateFormat, depth + 1);
                if (FHour != 0 || FMin != 0 || FSec != 0 || FMSec != 0) {
                    FOut += ' ';
                    Append(FSettings.LongTimeFormat, depth + 1);
                }
                lastWasHour = false;
                continue;
            }
            case 'D': {
                const size_t n = run('D');
                i += n;
                if (n == 1)
                    FOut += std::to_string(FDay);
                else if (n == 2)
                    Pad2(FDay);
                else if (n == 3)
                    FOut += FSettings.ShortDayNames[DayOfWeek(FDateTime) - 1];
                else if (n == 4)
                    FOut += FSettings.LongDayNames[DayOfWeek(FDateTime) - 1];
                else if (n == 5)
                    Append(FSettings.ShortDateFormat, depth + 1);
                else
                    Append(FSettings.LongDateFormat, depth + 1);
                lastWasHour = false;
                continue;
            }
            case 'M': {
                const size_t n = run('M');
                i += n;
                if (lastWasHour && n <= 2) {
                    n == 1 ? void(FOut += std::to_string(FMin)) : Pad2(FMin);
                } else if (n == 1) {
                    FOut += std::to_string(FMonth);
                } else if (n == 2) {
                    Pad2(FMonth);
                } else if (n == 3) {
                    FOut += MonthName(FSettings.ShortMonthNames);
                } else {
                    FOut += MonthName(FSettings.LongMonthNames);
                }
                lastWasHour = false;
                continue;
            }
            case 'Y': {
                const size_t n = run('Y');
                i += n;
                if (n <= 2)
                    Pad2(FYear % 100);
                else
                    Pad(FYear, 4);
                lastWasHour = false;
                continue;
            }
            case 'H': {
                const size_t n = run('H');
                i += n;
                int h = FHour;
                if (use12Hour) {
                    h %= 12;
                    if (h == 0)
                        h = 12;
                }
                n == 1 ? void(FOut += std::to_string(h)) : Pad2(h);
                lastWasHour = true;
                continue;
            }
            case 'N': {
                const size_t n = run('N');
                i += n;
                n == 1 ? void(FOut += std::to_string(FMin)) : Pad2(FMin);
                lastWasHour = false;
                continue;
            }
            case 'S': {
                const size_t n = run('S');
                i += n;
                n == 1 ? void(FOut += std::to_string(FSec)) : Pad2(FSec);
                lastWasHour = false;
                continue;
            }
            case 'Z': {
                const size_t n = run('Z');
                i += n;
                n < 3 ? void(FOut += std::to_string(FMSec)) : Pad(FMSec, 3);
                lastWasHour = false;
                continue;
            }
            case 'T': {
                const size_t n = run('T');
                i += n;
                Append(n == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, depth + 1);
                lastWasHour = false;
                continue;
            }
            case 'A': {
                const std::string_view rest = format.substr(i);
                if (StartsText("am/pm", rest)) {
                    FOut += FHour < 12 ? std::string(rest.substr(0, 2)) : std::string(rest.substr(3, 2));
                    i += 5;
                } else if (StartsText("a/p", rest)) {
                    FOut += FHour < 12 ? rest[0] : rest[2];
                    i += 3;
                } else if (StartsText("ampm", rest)) {
                    FOut += FHour < 12 ? FSettings.TimeAMString : FSettings.TimePMString;
                    i += 4;
                } else {
                    FOut += c;
                    ++i;
                }
                lastWasHour = false;
                continue;
            }
            case '/':
                FOut += FSettings.DateSeparator;
                ++i;
                continue;
            case ':':
                FOut += FSettings.TimeSeparator;
                ++i;
                continue;
            default:
                // Any other letter ends an hour run, so a later "m" is a month again.
                if ((u >= 'A' && u <= 'Z'))
                    lastWasHour = false;
                FOut += c;
                ++i;
                continue;
            }
        }
    }

    std::string Result() && { return std::move(FOut); }

private:
    static bool Has12HourMarker(std::string_view format)
    {
        for (size_t i = 0; i < format.size(); ++i) {
            if (format[i] == '\'' || format[i] == '"') {
                const size_t close = format.find(format[i], i + 1);
                if (close == std::string_view::npos)
                    return false;
                i = close;
                continue;
            }
            const std::string_view rest = format.substr(i);
            if (StartsText("am/pm", rest) || StartsText("a/p", rest) || StartsText("ampm", rest))
                return true;
        }
        return false;
    }
    // invariant: a date before the year 1 decodes to month 0, which has no name.
    std::string MonthName(const std::string (&names)[12]) const
    {
        return FMonth >= 1 && FMonth <= 12 ? names[FMonth - 1] : std::string();
    }
    void Pad2(int v) { Pad(v, 2); }
    void Pad(int v, int width)
    {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%0*d", width, v);
        FOut += buf;
    }

    TDateTime FDateTime;
    const TFormatSettings& FSettings;
    int FYear = 0, FMonth = 0, FDay = 0, FHour = 0, FMin = 0, FSec = 0, FMSec = 0;
    std::string FOut;
};

} // namespace

std::string FormatDateTime(std::string_view format, TDateTime dateTime, const TFormatSettings& settings)
{
    DateFormatter formatter(dateTime, settings);
    formatter.Append(format.empty() ? std::string_view("c") : format, 0);
    return std::move(formatter).Result();
}

std::string DateTimeToStr(TDateTime dateTime, const TFormatSettings& settings)
{
    return FormatDateTime("c", dateTime, settings);
}

// Ticks from 1601-01-01 to 1970-01-01.
static constexpr std::int64_t UnixEpochTicks = 116444736000000000LL;

FILETIME FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds)
{
    return FILETIME{static_cast<std::uint64_t>(UnixEpochTicks + seconds * 10000000LL + nanoseconds / 100)};
}

std::int64_t FileTimeToUnixSeconds(FILETIME fileTime)
{
    return (static_cast<std::int64_t>(fileTime.Ticks) - UnixEpochTicks) / 10000000LL;
}

bool FileTimeToLocalFileTime(FILETIME utc, FILETIME& local)
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    if (!localtime_r(&now, &tm))
        return false;
    const std::int64_t bias = static_cast<std::int64_t>(tm.tm_gmtoff) * 10000000LL;
    const std::int64_t ticks = static_cast<std::int64_t>(utc.Ticks);
    if (ticks < 0 || (bias < 0 && ticks < -bias))
        return false;
    local.Ticks = static_cast<std::uint64_t>(ticks + bias);
    return true;
}

bool GetFileLastWriteTime(const std::string& fileName, FILETIME& fileTime)
{
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0)
        return false;
    fileTime = FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    return true;
}
