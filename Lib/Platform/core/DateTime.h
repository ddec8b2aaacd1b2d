#pragma once
// Date-time values of the class library and file times of the system.
//
// TDateTime: days since 1899-12-30 as a double, the fraction being the time of day.
// FILETIME: 100-nanosecond ticks since 1601-01-01 00:00 UTC.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

using TDateTime = double;

struct FILETIME {
    std::uint64_t Ticks = 0;
    auto operator<=>(const FILETIME&) const = default;
};

constexpr double MSecsPerDay = 86400000.0;
constexpr std::int64_t FileTimeTicksPerDay = 864000000000LL;
// Days from 1601-01-01 to 1899-12-30.
constexpr std::int64_t FileTimeEpochDays = 109205;
// Days from 1 January of year 1 to 1899-12-30.
constexpr std::int64_t DateDelta = 693594;

bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);

// Raise EConvertError "Invalid argument to date encode" / "... time encode" for values out of range.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime date);

TDateTime Now();
TDateTime Date();

// Formatting conventions; the defaults are fixed so that output does not depend on the host.
struct TFormatSettings {
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "dd/mm/yyyy";
    std::string LongDateFormat = "dddd, d mmmm yyyy";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::string ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string LongMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                      "July",    "August",   "September", "October", "November", "December"};
    std::string ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::string LongDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
};

const TFormatSettings& DefaultFormatSettings();

// The general date-time formatter: c, d, dd, ddd, dddd, ddddd, dddddd, m, mm, mmm, mmmm, yy,
// yyyy, h, hh, n, nn, s, ss, z, zzz, t, tt, am/pm, a/p, ampm, "/" and ":", text in single or
// double quotes copied literally, every other character copied. An "m" right after an hour
// specifier means minutes. Letter case of the specifiers does not matter.
std::string FormatDateTime(std::string_view format, TDateTime dateTime,
                           const TFormatSettings& settings = DefaultFormatSettings());
std::string DateTimeToStr(TDateTime dateTime, const TFormatSettings& settings = DefaultFormatSettings());

// File times.
FILETIME FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds);
std::int64_t FileTimeToUnixSeconds(FILETIME fileTime);
// The bias of the local time zone in force now, applied to the whole value; false when the
// value cannot be converted.
bool FileTimeToLocalFileTime(FILETIME utc, FILETIME& local);
// Last-write time of a file or folder as stored by the file system; false when it cannot be read.
bool GetFileLastWriteTime(const std::string& fileName, FILETIME& fileTime);
