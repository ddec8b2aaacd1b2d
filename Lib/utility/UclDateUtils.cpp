#include "utility/UclDateUtils.h"

#include "Platform/text/TextUtils.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The range in which EncodeDate and DecodeDate hold: 0001-01-01 up to, not including, 10000-01-01.
constexpr double FirstEncodableDay = -693593.0;
constexpr double FirstDayAfterYear9999 = 2958466.0;

// The approximate calendar outside that range.
constexpr double DaysPerYear = 365.2422454;
constexpr double DaysPerMonth = 30.436853783333333;
// why: by the year 10000 the mean year falls almost two days behind the real calendar; the
// correction starts year 10000 on the day after 9999-12-31, so the two calendars meet.
constexpr double LateYearsCorrection = 1.7882454;

bool InEncodableRange(double date)
{
    return date >= FirstEncodableDay && date < FirstDayAfterYear9999;
}

TDateTime ApproximateEncodeDate(int year, int month, int day)
{
    double yearStart = FirstEncodableDay + (year - 1) * DaysPerYear;
    if (year > 9999)
        yearStart += LateYearsCorrection;
    return std::round(std::trunc(yearStart) + (month - 1) * DaysPerMonth) + (day - 1);
}

// Inverse of ApproximateEncodeDate: the latest year and month that start on or before the day.
void ApproximateDecodeDate(TDateTime date, int& year, int& month, int& day)
{
    const double whole = std::trunc(date);
    int y = static_cast<int>(std::floor((whole - FirstEncodableDay) / DaysPerYear)) + 1;
    while (ApproximateEncodeDate(y, 1, 1) > whole)
        --y;
    while (ApproximateEncodeDate(y + 1, 1, 1) <= whole)
        ++y;
    int m = 1;
    while (m < 12 && ApproximateEncodeDate(y, m + 1, 1) <= whole)
        ++m;
    year = y;
    month = m;
    day = static_cast<int>(whole - ApproximateEncodeDate(y, m, 1)) + 1;
}

std::string Padded(int value, int width)
{
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
    return digits;
}

// Inserted digits are quoted so that the general formatter copies them literally.
std::string Literal(const std::string& digits)
{
    return '"' + digits + '"';
}

struct IsoWeekDate {
    int Year = 0;
    int Week = 0;
    int Weekday = 0;
};

// Scans a format for the ISO letters and replaces them with quoted digits; everything else
// stays for the general formatter.
class IsoFormatScanner {
public:
    IsoFormatScanner(std::string_view format, TDateTime date) : FRest(format), FDate(date) {}

    std::string Run() &&
    {
        while (FPos < FRest.size()) {
            switch (FRest[FPos]) {
            case '"':
            case '\'': CopyQuoted(); break;
            case 'E':
            case 'e':
                TakeRun('E', 1);
                FOut += Literal(std::to_string(IsoValues().Weekday));
                break;
            case 'F':
            case 'f': {
                const int n = TakeRun('F', 3);
                FOut += Literal(Padded(OrdinalDayOf(FDate), n));
                break;
            }
            case 'I':
            case 'i': {
                const int n = TakeRun('I', 4);
                const int year = IsoValues().Year;
                FOut += Literal(n == 2 ? Padded(year % 100, 2) : std::to_string(year));
                break;
            }
            case 'W':
            case 'w': {
                const int n = TakeRun('W', 2);
                FOut += Literal(Padded(IsoValues().Week, n));
                break;
            }
            default: ++FPos; break;
            }
        }
        return FormatDateTime(FOut + FRest, FDate);
    }

private:
    // Moves the bytes before the scan position to the output unchanged.
    void MovePrefix()
    {
        FOut.append(FRest, 0, FPos);
        FRest.erase(0, FPos);
        FPos = 0;
    }

    // Moves a quoted text with both its quotes to the output; without a closing quote the
    // whole rest goes.
    void CopyQuoted()
    {
        const char quote = FRest[FPos];
        ++FPos;
        MovePrefix();
        const size_t close = FRest.find(quote);
        if (close == std::string::npos) {
            FOut += FRest;
            FRest.clear();
            return;
        }
        FPos = close + 1;
        MovePrefix();
    }

    // Removes a run of `letter` (either case, at most `limit` of them) at the scan position
    // and returns its length.
    int TakeRun(char letter, int limit)
    {
        MovePrefix();
        int n = 0;
        while (n < limit && static_cast<size_t>(n) < FRest.size() && UpCase(FRest[static_cast<size_t>(n)]) == letter)
            ++n;
        FRest.erase(0, static_cast<size_t>(n));
        return n;
    }

    const IsoWeekDate& IsoValues()
    {
        if (!FIso) {
            IsoWeekDate iso;
            iso.Week = IsoWeekOfDate(FDate, iso.Year, iso.Weekday);
            FIso = iso;
        }
        return *FIso;
    }

    std::string FRest;
    size_t FPos = 0; // 0-based scan position in FRest
    std::string FOut;
    TDateTime FDate;
    std::optional<IsoWeekDate> FIso;
};

} // namespace

TDateTime FileTimeTicksToDateTime(std::int64_t ticks)
{
    return static_cast<double>(ticks) / static_cast<double>(FileTimeTicksPerDay) -
           static_cast<double>(FileTimeEpochDays);
}

TDateTime LocalDateTimeOfFileTime(const FILETIME& fileTime)
{
    FILETIME local;
    if (!FileTimeToLocalFileTime(fileTime, local))
        throw EUclDateTimeError("Error illegal date or time format");
    return FileTimeTicksToDateTime(static_cast<std::int64_t>(local.Ticks));
}

bool SameFileTime(const FILETIME& a, const FILETIME& b)
{
    return a == b;
}

std::string FormatDateTimeIso8601(std::string_view format, TDateTime dateTime)
{
    return IsoFormatScanner(format, dateTime).Run();
}

int IsoWeekdayOf(TDateTime date)
{
    const int sundayFirst = DayOfWeek(date);
    return sundayFirst == 1 ? 7 : sundayFirst - 1;
}

bool HasIsoWeek53(int year)
{
    const int firstWeekday = IsoWeekdayOf(WideRangeEncodeDate(year, 1, 1));
    return firstWeekday == 4 || (firstWeekday == 3 && IsLeapYear(year));
}

int IsoWeeksInYear(int year)
{
    return HasIsoWeek53(year) ? 53 : 52;
}

int IsoWeekOfDate(TDateTime date, int& isoYear, int& isoWeekday)
{
    isoWeekday = IsoWeekdayOf(date);
    int year = 0;
    int month = 0;
    int day = 0;
    WideRangeDecodeDate(date, year, month, day);
    const int calendarYear = year;
    // A Monday to Wednesday in the last days of December may open week 1 of the next year.
    if (month == 12 && day >= 29 && isoWeekday < 4)
        ++year;
    const TDateTime january4 = WideRangeEncodeDate(year, 1, 4);
    const TDateTime firstMonday = january4 + 1 - IsoWeekdayOf(january4);
    // why: the integer part is the day also for negative dates, where the time of day counts away from zero.
    const TDateTime wholeDay = std::trunc(date);
    if (wholeDay >= firstMonday) {
        isoYear = year;
        const int week = static_cast<int>(wholeDay - firstMonday) / 7 + 1;
        return std::min(week, IsoWeeksInYear(calendarYear));
    }
    // The date lies in the last week of the ISO year before.
    isoYear = year - 1;
    return IsoWeeksInYear(year - 1);
}

int OrdinalDayOf(TDateTime date)
{
    int year = 0;
    return OrdinalDayOf(date, year);
}

int OrdinalDayOf(TDateTime date, int& year)
{
    int month = 0;
    int day = 0;
    WideRangeDecodeDate(date, year, month, day);
    return static_cast<int>(std::trunc(date) - std::trunc(WideRangeEncodeDate(year, 1, 1))) + 1;
}

TDateTime DateOfOrdinalDay(int year, int day)
{
    return WideRangeEncodeDate(year, 1, 1) + day - 1;
}

TDateTime WideRangeEncodeDate(int year, int month, int day)
{
    if (year >= 1 && year <= 9999)
        return EncodeDate(year, month, day);
    return ApproximateEncodeDate(year, month, day);
}

void WideRangeDecodeDate(TDateTime date, int& year, int& month, int& day)
{
    if (InEncodableRange(date))
        DecodeDate(date, year, month, day);
    else
        ApproximateDecodeDate(date, year, month, day);
}

int YearPartOf(TDateTime date)
{
    int year = 0;
    int month = 0;
    int day = 0;
    WideRangeDecodeDate(date, year, month, day);
    return year;
}

int MonthPartOf(TDateTime date)
{
    int year = 0;
    int month = 0;
    int day = 0;
    WideRangeDecodeDate(date, year, month, day);
    return month;
}

int DayPartOf(TDateTime date)
{
    int year = 0;
    int month = 0;
    int day = 0;
    WideRangeDecodeDate(date, year, month, day);
    return day;
}
