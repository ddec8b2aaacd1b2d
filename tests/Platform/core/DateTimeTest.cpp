// Dates, times, the general date-time formatter and file times.

#include "Platform/core/DateTime.h"
#include "Platform/core/Exceptions.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(DateTime, EncodeAndDecodeAgreeAcrossTheCalendar)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 3, 1), 36586.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    for (int y : {1, 4, 100, 1600, 1899, 1900, 2000, 2024, 9999})
        for (int m = 1; m <= 12; ++m)
            for (int d : {1, 28, DaysInAMonth(y, m)}) {
                int yy = 0, mm = 0, dd = 0;
                DecodeDate(EncodeDate(y, m, d), yy, mm, dd);
                ASSERT_EQ(yy, y);
                ASSERT_EQ(mm, m);
                ASSERT_EQ(dd, d);
            }
}

TEST(DateTime, InvalidDatesAndTimesRaise)
{
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    try {
        EncodeTime(1, 60, 0, 0);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Invalid argument to time encode");
    }
}

TEST(DateTime, TimesBeforeDayZeroKeepAPositiveTimeOfDay)
{
    int h = 0, n = 0, s = 0, ms = 0;
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(h, 6);
    int y = 0, m = 0, d = 0;
    DecodeDate(-1.25, y, m, d);
    EXPECT_EQ(d, 29);
    EXPECT_EQ(DayOfWeek(EncodeDate(2010, 1, 3)), 1); // a Sunday
    EXPECT_EQ(DayOfWeek(EncodeDate(2009, 12, 29)), 3); // a Tuesday
    EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);       // a Monday
    EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1) - 1), 1);   // the Sunday before it
    EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1) - 2), 7);
}

TEST(DateTime, GeneralFormatter)
{
    const TDateTime dt = EncodeDate(2009, 3, 7) + EncodeTime(14, 5, 9, 42);
    struct Case {
        const char* Format;
        const char* Expected;
    };
    const Case cases[] = {
        {"dd/mm/yyyy [hh:nn:ss]", "07/03/2009 [14:05:09]"},
        {"yyyymmdd-nnss", "20090307-0509"},
        {"d m yy", "7 3 09"},
        {"ddd dddd mmm mmmm", "Sat Saturday Mar March"},
        {"h:m", "14:5"},        // m right after an hour means minutes
        {"hh:mm", "14:05"},
        {"h am/pm", "2 pm"},
        {"hh AM/PM", "02 PM"},
        {"h a/p", "2 p"},
        {"zzz z", "042 42"},
        {"'quoted d' \"m\" d", "quoted d m 7"},
        {"c", "07/03/2009 14:05:09"},
        {"ddddd", "07/03/2009"},
        {"t", "14:05"},
        {"tt", "14:05:09"},
        {"'unterminated d", "unterminated d"},
        {"[x]", "[x]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Format);
        EXPECT_EQ(FormatDateTime(c.Format, dt), c.Expected);
    }
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2009, 3, 7)), "07/03/2009");
}

TEST(DateTime, DatesBeforeTheYearOneFormatAsZerosWithoutMonthNames)
{
    for (const double date : {EncodeDate(1, 1, 1) - 1, -1e7, 1e300, -1e300, std::nan("")}) {
        SCOPED_TRACE(date);
        EXPECT_EQ(FormatDateTime("mmm|mmmm|d|m|yyyy", date), "||0|0|0000");
    }
}

TEST(DateTime, FileTimesConvertToAndFromUnixTime)
{
    EXPECT_EQ(FileTimeFromUnix(0, 0).Ticks, 116444736000000000ULL);
    EXPECT_EQ(FileTimeToUnixSeconds(FileTimeFromUnix(1700000000, 999)), 1700000000);
    EXPECT_LT(FileTimeFromUnix(1, 0), FileTimeFromUnix(1, 100));
}

TEST(DateTime, LastWriteTimeComesFromTheFileSystem)
{
    TempDir dir;
    const std::string name = dir.Write("f.txt", "x");
    const QDateTime when(QDate(2020, 6, 1), QTime(12, 0), Qt::UTC);
    QFile file(QString::fromStdString(name));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    file.close();
    FILETIME ft;
    ASSERT_TRUE(GetFileLastWriteTime(name, ft));
    EXPECT_EQ(FileTimeToUnixSeconds(ft), when.toSecsSinceEpoch());
    EXPECT_FALSE(GetFileLastWriteTime(dir.File("missing"), ft));
}
