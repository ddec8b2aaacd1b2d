// Date and time routines: file times for display and for change detection, ISO 8601 week
// dates, the wide-range calendar and the ISO letters of the date-time formatter.

#include "utility/UclDateUtils.h"

#include "utility/UclFileUtils.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

#include <QDate>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace {

// A zone with daylight-saving time (UTC+1, or UTC+2 in summer); POSIX rules need no zone files.
constexpr const char* ZoneWithDaylightSaving = "CET-1CEST,M3.5.0,M10.5.0/3";

constexpr double Hour = 1.0 / 24.0;

QDate ToQDate(TDateTime date)
{
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(date)));
}

FILETIME FileTimeOf(TDateTime utc)
{
    return FILETIME{static_cast<std::uint64_t>(std::llround((utc + FileTimeEpochDays) * FileTimeTicksPerDay))};
}

} // namespace

TEST(UclFileTimeTicksToDateTime, CountsDaysFrom1601)
{
    EXPECT_DOUBLE_EQ(FileTimeTicksToDateTime(0), -109205.0);
    EXPECT_DOUBLE_EQ(FileTimeTicksToDateTime(FileTimeEpochDays * FileTimeTicksPerDay), 0.0);
    EXPECT_DOUBLE_EQ(FileTimeTicksToDateTime(FileTimeTicksPerDay / 2), -109204.5);
    EXPECT_DOUBLE_EQ(FileTimeTicksToDateTime(FileTimeFromUnix(0, 0).Ticks), EncodeDate(1970, 1, 1));
    EXPECT_DOUBLE_EQ(FileTimeTicksToDateTime(-FileTimeTicksPerDay), -109206.0); // ticks are signed
}

TEST(UclLocalDateTimeOfFileTime, AppliesTheBiasOfTheZoneInForce)
{
    {
        ScopedEnvironment tz("TZ", "UTC0");
        EXPECT_DOUBLE_EQ(LocalDateTimeOfFileTime(FILETIME{0}), -109205.0);
        EXPECT_DOUBLE_EQ(LocalDateTimeOfFileTime(FileTimeOf(EncodeDate(2020, 1, 1))), EncodeDate(2020, 1, 1));
    }
    ScopedEnvironment tz("TZ", "ABC-5"); // five hours east of UTC
    EXPECT_NEAR(LocalDateTimeOfFileTime(FileTimeOf(EncodeDate(2020, 1, 1))), EncodeDate(2020, 1, 1) + 5 * Hour, 1e-9);
}

TEST(UclLocalDateTimeOfFileTime, UnconvertibleValueRaises)
{
    ScopedEnvironment tz("TZ", "ABC+5"); // five hours west: the first ticks of 1601 have no local time
    for (const FILETIME value : {FILETIME{0}, FILETIME{UINT64_MAX}}) {
        SCOPED_TRACE(value.Ticks);
        try {
            LocalDateTimeOfFileTime(value);
            FAIL() << "no exception";
        } catch (const EUclDateTimeError& e) {
            EXPECT_EQ(e.Message(), "Error illegal date or time format");
        }
    }
    EXPECT_THROW(LocalDateTimeOfFileTime(FILETIME{0}), EUclError);
}

// The IDE keeps the raw time of every open file and compares it with the disk's; a change of
// the zone's bias (a daylight-saving switch) must not make an unchanged file look changed.
TEST(UclFileChangeDetection, RawFileTimesIgnoreTheDisplayBias)
{
    TempDir dir;
    const std::string file = dir.Write("index.php", "<?php echo 1;");
    const timespec times[2] = {{1700000000, 0}, {1700000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);

    FILETIME known;
    TDateTime shownBefore = 0;
    {
        ScopedEnvironment tz("TZ", "UTC0");
        FileLastWriteTime(file, known);
        shownBefore = LocalDateTimeOfFileTime(known);
    }
    ScopedEnvironment tz("TZ", ZoneWithDaylightSaving);
    FILETIME onDisk;
    FileLastWriteTime(file, onDisk);
    const TDateTime shownAfter = LocalDateTimeOfFileTime(onDisk);

    EXPECT_TRUE(SameFileTime(known, onDisk));
    const double shift = std::round((shownAfter - shownBefore) / Hour);
    EXPECT_TRUE(shift == 1 || shift == 2) << shift; // the display moved, the file did not

    const timespec later[2] = {{1700000001, 0}, {1700000001, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), later, 0), 0);
    FileLastWriteTime(file, onDisk);
    EXPECT_FALSE(SameFileTime(known, onDisk));
}

TEST(UclIsoWeekOfDate, PlacesYearEndDaysInTheRightIsoYear)
{
    struct Case {
        int Year, Month, Day;
        int Week, IsoYear, Weekday;
    };
    const std::vector<Case> cases = {
        {2008, 12, 29, 1, 2009, 1},  // Monday: week 1 of the next year
        {2010, 1, 1, 53, 2009, 5},   // Friday: last week of the year before
        {2009, 12, 31, 53, 2009, 4}, // Thursday
        {2009, 12, 29, 53, 2009, 2}, // Tuesday, though late December
        {2010, 1, 3, 53, 2009, 7},
        {2010, 1, 4, 1, 2010, 1},
        {2005, 1, 1, 53, 2004, 6},
        {2012, 12, 31, 1, 2013, 1},
        {2014, 12, 31, 1, 2015, 3},
        {2015, 12, 31, 53, 2015, 4},
        {2016, 1, 3, 53, 2015, 7},
        {2021, 1, 3, 53, 2020, 7},
        {2021, 6, 15, 24, 2021, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Year) + "-" + std::to_string(c.Month) + "-" + std::to_string(c.Day));
        for (const double timeOfDay : {0.0, 0.75}) {
            int isoYear = 0;
            int weekday = 0;
            EXPECT_EQ(IsoWeekOfDate(EncodeDate(c.Year, c.Month, c.Day) + timeOfDay, isoYear, weekday), c.Week);
            EXPECT_EQ(isoYear, c.IsoYear);
            EXPECT_EQ(weekday, c.Weekday);
        }
    }
}

TEST(UclIsoWeekOfDate, AgreesWithQtOnEveryDayOfTwoCenturies)
{
    for (int day = static_cast<int>(EncodeDate(1900, 1, 1)); day <= static_cast<int>(EncodeDate(2100, 12, 31)); ++day) {
        const QDate q = ToQDate(day);
        int qtYear = 0;
        const int qtWeek = q.weekNumber(&qtYear);
        int isoYear = 0;
        int weekday = 0;
        const int week = IsoWeekOfDate(day, isoYear, weekday);
        if (week != qtWeek || isoYear != qtYear || weekday != q.dayOfWeek() || IsoWeekdayOf(day) != q.dayOfWeek() ||
            OrdinalDayOf(day) != q.dayOfYear()) {
            FAIL() << q.toString(Qt::ISODate).toStdString() << ": week " << week << " of " << isoYear << ", weekday "
                   << weekday << ", day " << OrdinalDayOf(day) << "; expected week " << qtWeek << " of " << qtYear
                   << ", weekday " << q.dayOfWeek() << ", day " << q.dayOfYear();
        }
    }
}

TEST(UclIsoWeeksInYear, Has53WeeksWhenTheYearStartsOnThursdayOrOnWednesdayInALeapYear)
{
    const std::vector<std::pair<int, int>> cases = {
        {2004, 53}, {2009, 53}, {2015, 53}, {2010, 52}, {2020, 53}, {2021, 52}, {2026, 53}, {2100, 52}, {1, 52},
    };
    for (const auto& [year, weeks] : cases) {
        SCOPED_TRACE(year);
        EXPECT_EQ(IsoWeeksInYear(year), weeks);
        EXPECT_EQ(HasIsoWeek53(year), weeks == 53);
    }
    for (int year = 1601; year <= 2400; ++year) {
        SCOPED_TRACE(year);
        ASSERT_EQ(IsoWeeksInYear(year), QDate(year, 12, 28).weekNumber()); // 28 December lies in the last week
    }
}

TEST(UclOrdinalDay, CountsFromTheFirstOfJanuary)
{
    int year = 0;
    EXPECT_EQ(OrdinalDayOf(EncodeDate(2008, 12, 31) + 0.5, year), 366);
    EXPECT_EQ(year, 2008);
    EXPECT_EQ(OrdinalDayOf(EncodeDate(2009, 12, 31)), 365);
    EXPECT_EQ(OrdinalDayOf(EncodeDate(1899, 12, 29) - 0.25), 363); // a negative date with a time of day
    EXPECT_EQ(DateOfOrdinalDay(2008, 1), EncodeDate(2008, 1, 1));
    EXPECT_EQ(DateOfOrdinalDay(2008, 366), EncodeDate(2008, 12, 31));
    EXPECT_EQ(DateOfOrdinalDay(2009, 366), EncodeDate(2010, 1, 1));
    EXPECT_EQ(DateOfOrdinalDay(2009, 0), EncodeDate(2008, 12, 31));
}

TEST(UclWideRangeDates, AreTheCalendarWithinYears1To9999)
{
    EXPECT_EQ(WideRangeEncodeDate(1, 1, 1), -693593.0);
    EXPECT_EQ(WideRangeEncodeDate(2024, 2, 29), EncodeDate(2024, 2, 29));
    EXPECT_EQ(WideRangeEncodeDate(9999, 12, 31), 2958465.0);
    EXPECT_THROW(WideRangeEncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(WideRangeEncodeDate(2023, 13, 1), EConvertError);

    const TDateTime date = EncodeDate(1969, 7, 20) + 0.8;
    EXPECT_EQ(YearPartOf(date), 1969);
    EXPECT_EQ(MonthPartOf(date), 7);
    EXPECT_EQ(DayPartOf(date), 20);
    int y = 0, m = 0, d = 0;
    WideRangeDecodeDate(-693593.0, y, m, d);
    EXPECT_EQ(std::vector<int>({y, m, d}), std::vector<int>({1, 1, 1}));
}

TEST(UclWideRangeDates, ApproximateCalendarJoinsTheRealOneAndReadsBack)
{
    // Year 10000 starts the day after 9999-12-31, and year 0 lies before 0001-01-01.
    EXPECT_EQ(WideRangeEncodeDate(10000, 1, 1), EncodeDate(9999, 12, 31) + 1);
    EXPECT_LT(WideRangeEncodeDate(0, 12, 28), EncodeDate(1, 1, 1));

    for (const int year : {-2000, -1, 0, 10000, 10001, 12345, 30000}) {
        TDateTime previous = -1e12;
        for (int month = 1; month <= 12; ++month) {
            for (const int day : {1, 15, 28}) {
                SCOPED_TRACE(std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day));
                const TDateTime date = WideRangeEncodeDate(year, month, day);
                EXPECT_GT(date, previous);
                previous = date;
                int y = 0, m = 0, d = 0;
                WideRangeDecodeDate(date, y, m, d);
                EXPECT_EQ(std::vector<int>({y, m, d}), std::vector<int>({year, month, day}));
            }
        }
    }
    EXPECT_EQ(YearPartOf(WideRangeEncodeDate(12345, 6, 7)), 12345);
}

TEST(UclFormatDateTimeIso8601, ReplacesTheIsoLetters)
{
    struct Case {
        TDateTime Date;
        std::string Format, Expected;
    };
    const TDateTime sunday = EncodeDate(2010, 1, 3) + EncodeTime(13, 4, 5, 0);
    const TDateTime fifthOfJanuary = EncodeDate(2010, 1, 5);
    const std::vector<Case> cases = {
        {sunday, "iiii-ww-e", "2009-53-7"},
        {sunday, "yyyy-ww-e", "2010-53-7"}, // yyyy stays the calendar year
        {sunday, "IIII-WW-E", "2009-53-7"},
        {sunday, "iIiI", "2009"},
        {sunday, "i iii", "2009 2009"},
        {sunday, "ii", "09"},
        {sunday, "iiiii", "20092009"},
        {sunday, "www", "5353"},
        {EncodeDate(2010, 1, 4), "w/ww", "1/01"},
        {EncodeDate(2005, 6, 1), "ii", "05"},
        {fifthOfJanuary, "f", "5"},
        {fifthOfJanuary, "ff", "05"},
        {fifthOfJanuary, "fff", "005"},
        {fifthOfJanuary, "ffff", "0055"},
        {EncodeDate(2010, 4, 10), "f ff fff", "100 100 100"},
        {EncodeDate(2010, 2, 1), "ff fff", "32 032"},
        {EncodeDate(2008, 12, 29), "yyyy iiii", "2008 2009"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Format);
        EXPECT_EQ(FormatDateTimeIso8601(c.Format, c.Date), c.Expected);
    }
}

TEST(UclFormatDateTimeIso8601, QuotedTextStaysLiteral)
{
    const TDateTime sunday = EncodeDate(2010, 1, 3);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"'week w' w", "week w 53"},
        {"\"day e\" e", "day e 7"},
        {"'it''s' w", "its 53"},
        {"w 'w", "53 w"},     // an unterminated quote copies the rest
        {"w \"iiii", "53 iiii"},
        {"\"'\"w'\"'", "'53\""}, // each quote kind closes only itself
    };
    for (const auto& [format, expected] : cases) {
        SCOPED_TRACE(format);
        EXPECT_EQ(FormatDateTimeIso8601(format, sunday), expected);
    }
}

TEST(UclFormatDateTimeIso8601, LeavesTheGeneralSpecifiersToTheGeneralFormatter)
{
    const TDateTime moment = EncodeDate(2010, 1, 3) + EncodeTime(13, 4, 5, 0);
    EXPECT_EQ(FormatDateTimeIso8601("dd/mm/yyyy [hh:nn:ss]", moment), "03/01/2010 [13:04:05]");
    EXPECT_EQ(FormatDateTimeIso8601("yyyymmdd-nnss", moment), "20100103-0405");
    EXPECT_EQ(FormatDateTimeIso8601("hh:mm, W", moment), "13:04, 53");
    EXPECT_EQ(FormatDateTimeIso8601("dddd", moment), FormatDateTime("dddd", moment));
    EXPECT_EQ(FormatDateTimeIso8601("", moment), FormatDateTime("", moment));
}
