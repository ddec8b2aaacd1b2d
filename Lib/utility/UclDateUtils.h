#pragma once
// Date and time routines: file times to local date-times, ISO 8601 week dates, calendar
// arithmetic beyond the years 1 to 9999, and a date-time formatter that adds the ISO letters
// E, F, I and W to the general format.

#include "Platform/core/DateTime.h"
#include "utility/UclStrings.h"

#include <cstdint>
#include <string>
#include <string_view>

ZENTU_DECLARE_EXCEPTION(EUclDateTimeError, EUclError);

// For display only: converts with the time-zone bias in force now, not the one at the file's
// date, so the same file shows another local time after a daylight-saving switch. Change
// detection compares the raw FILETIME values (SameFileTime) instead. Raises
// EUclDateTimeError "Error illegal date or time format" when the value cannot be converted.
TDateTime LocalDateTimeOfFileTime(const FILETIME& fileTime);
// Ticks (taken as signed) since 1601-01-01 as a TDateTime, without any time-zone bias.
TDateTime FileTimeTicksToDateTime(std::int64_t ticks);
// True when two raw UTC file times name the same instant: "the file did not change on disk".
bool SameFileTime(const FILETIME& a, const FILETIME& b);

// The general format of FormatDateTime plus, in either letter case and outside quotes:
//   e      the ISO weekday (1 Monday .. 7 Sunday)
//   f ff fff  the day of the year, unpadded / at least 2 / at least 3 digits
//   i iii iiii  the ISO week-numbering year; ii its last two digits
//   w ww   the ISO week number, unpadded / 2 digits
// Longer runs are taken in pieces (ffff is fff then f). Quoted text passes unchanged; an
// unterminated quote copies the rest of the format.
std::string FormatDateTimeIso8601(std::string_view format, TDateTime dateTime);

// The ISO 8601 week number of the date (1..53), with the ISO year it belongs to, which may be
// the calendar year before or after, and its ISO weekday.
int IsoWeekOfDate(TDateTime date, int& isoYear, int& isoWeekday);
// 1 Monday .. 7 Sunday.
int IsoWeekdayOf(TDateTime date);
// True when the ISO year has 53 weeks: 1 January is a Thursday, or a Wednesday in a leap year.
bool HasIsoWeek53(int year);
int IsoWeeksInYear(int year);

// Day of the year, 1..366.
int OrdinalDayOf(TDateTime date);
int OrdinalDayOf(TDateTime date, int& year);
// The date of the given day of the year (day 1 is 1 January; larger days run on into later years).
TDateTime DateOfOrdinalDay(int year, int day);

// For the years 1 to 9999 these are EncodeDate and DecodeDate (EConvertError for an invalid
// date). Outside them an approximate calendar of 365.2422454-day years and 30.436853783333333-day
// months is used, so that far dates still order correctly; it is not a real calendar.
TDateTime WideRangeEncodeDate(int year, int month, int day);
void WideRangeDecodeDate(TDateTime date, int& year, int& month, int& day);
int YearPartOf(TDateTime date);
int MonthPartOf(TDateTime date);
int DayPartOf(TDateTime date);
