// Listing lines of Unix and DOS servers: names (with blanks, links with their targets), kinds,
// sizes, times and permissions; lines that are no entries are left out; a listing read piece
// by piece within its bounds.

#include "ftp/client/zuFTPErrors.h"
#include "ftp/client/zuFTPListing.h"
#include "ftp/client/zuFTPListingReader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Stamp(TDateTime date)
{
    return date == 0 ? std::string("none") : FormatDateTime("yyyy-mm-dd hh:nn", date);
}

struct TLineCase {
    const char* Line;
    const char* Name;
    TFTPItemType Type;
    std::int64_t Size;
    const char* Time;
    int Permissions;
    const char* Target;
};

// "Now" of these cases: 15 March 2024, noon.
TDateTime ListingNow()
{
    return EncodeDate(2024, 3, 15) + EncodeTime(12, 0, 0, 0);
}

TEST(FTPListing, UnixLines)
{
    using enum TFTPItemType;
    const TLineCase cases[] = {
        {"-rw-r--r--   1 owner    group        1234 Mar 01 10:30 index.php", "index.php", ditFile, 1234,
         "2024-03-01 10:30", 644, ""},
        {"drwxr-xr-x   2 root     root         4096 Dec 11 01:41 sub", "sub", ditDirectory, 4096, "2023-12-11 01:41",
         755, ""},
        {"lrwxrwxrwx   1 root     root            6 Dec 11  2019 link.txt -> lf.txt", "link.txt", ditSymbolicLink, 6,
         "2019-12-11 00:00", 777, "lf.txt"},
        // no group column
        {"-rw-------   1 alice        99 Jan  2 09:05 notes.txt", "notes.txt", ditFile, 99, "2024-01-02 09:05", 600, ""},
        // blanks inside and at the end of the name are kept
        {"-rw-r--r-- 1 a b 5 Feb 29 23:59 my  file .txt ", "my  file .txt ", ditFile, 5, "2024-02-29 23:59", 644, ""},
        {"-rwsr-xr-T 1 a b 7 2022-06-30 18:00 tool", "tool", ditFile, 7, "2022-06-30 18:00", 754, ""},
        {"crw-rw-rw- 1 root root 1, 3 Jan  1  2020 null", "null", ditFile, 0, "2020-01-01 00:00", 666, ""},
        {"-rw-r--r--+ 1 a b 12 May  5 2021 acl.txt", "acl.txt", ditFile, 12, "2021-05-05 00:00", 644, ""},
        {"-rw-r--r-- 1 a b 3 mar 15 12:30 lower-month", "lower-month", ditFile, 3, "2024-03-15 12:30", 644, ""},
    };
    for (const TLineCase& c : cases) {
        TFTPListItem item;
        ASSERT_TRUE(ParseUnixListLine(c.Line, ListingNow(), item)) << c.Line;
        EXPECT_EQ(item.FileName, c.Name) << c.Line;
        EXPECT_EQ(item.ItemType, c.Type) << c.Line;
        EXPECT_EQ(item.Size, c.Size) << c.Line;
        EXPECT_EQ(Stamp(item.ModifiedDate), c.Time) << c.Line;
        EXPECT_EQ(PermissionValue(item), c.Permissions) << c.Line;
        EXPECT_EQ(item.LinkedItemName, c.Target) << c.Line;
        EXPECT_EQ(item.Text, c.Line);
    }
}

TEST(FTPListing, DosLines)
{
    using enum TFTPItemType;
    const TLineCase cases[] = {
        {"01-15-20  03:04PM       <DIR>          web root", "web root", ditDirectory, 0, "2020-01-15 15:04", 0, ""},
        {"12-31-99  12:00AM                 1234 old.htm", "old.htm", ditFile, 1234, "1999-12-31 00:00", 0, ""},
        {"07-04-2023  11:59AM            1,048,576 big.bin", "big.bin", ditFile, 1048576, "2023-07-04 11:59", 0, ""},
        {"02-03-21  17:45                     42 clock24.txt", "clock24.txt", ditFile, 42, "2021-02-03 17:45", 0, ""},
    };
    for (const TLineCase& c : cases) {
        TFTPListItem item;
        ASSERT_TRUE(ParseDosListLine(c.Line, item)) << c.Line;
        EXPECT_EQ(item.FileName, c.Name) << c.Line;
        EXPECT_EQ(item.ItemType, c.Type) << c.Line;
        EXPECT_EQ(item.Size, c.Size) << c.Line;
        EXPECT_EQ(Stamp(item.ModifiedDate), c.Time) << c.Line;
        EXPECT_EQ(PermissionText(item), "") << c.Line;
    }
}

TEST(FTPListing, LinesThatAreNoEntriesAreLeftOut)
{
    const std::vector<std::string> lines = SplitListingLines(
        "total 12\r\n"
        "-rw-r--r-- 1 a b 3 Mar 01 10:30 a.php\r\n"
        "\r\n"
        "garbage line here\n"
        "drwxr-xr-x 2 a b 4096 Mar 01 10:30 .\n"
        "-rw-r--r-- 1 a b notanumber Mar 01 10:30 bad.php\n"
        "03-01-24  10:30AM       <DIR>          dosdir\n"
        "-rw-r--r-- 1 a b 3 Mar 01 10:30");
    ASSERT_EQ(lines.size(), 7u);
    const std::vector<TFTPListItem> items = ParseFTPListing(lines, ListingNow());
    std::vector<std::string> names;
    for (const TFTPListItem& item : items)
        names.push_back(item.FileName);
    EXPECT_EQ(names, (std::vector<std::string>{"a.php", ".", "dosdir"}));
}

struct TReaderCase {
    std::vector<std::string> Pieces;
    TFTPListingLimits Limits;
    std::size_t Lines;
    std::vector<std::string> Names;
    std::string Error;
};

TEST(FTPListing, ReaderTakesPiecesWithinTheBounds)
{
    const std::string unix = "-rw-r--r-- 1 a b 3 Mar 01 10:30 a.php\r\n";
    const std::string dos = "03-01-24  10:30AM       <DIR>          dos dir\r\n";
    const TFTPListingLimits roomy{1000, 100};
    const TReaderCase cases[] = {
        {{unix + dos}, roomy, 2, {"a.php", "dos dir"}, ""},
        // Lines split anywhere, a CR LF split too, the last line without a break.
        {{unix.substr(0, 7), unix.substr(7, unix.size() - 8), "\n", "total 1\r", "\n\r\n", dos.substr(0, dos.size() - 2)},
         roomy, 3, {"a.php", "dos dir"}, ""},
        {{unix + unix + "x\n"}, {unix.size() * 2 + 2, 3}, 3, {"a.php", "a.php"}, ""},
        {{unix + unix + "x\n"}, {unix.size() * 2 + 1, 3}, 0, {}, "The directory listing is larger than " + std::to_string(unix.size() * 2 + 1) + " bytes"},
        {{"1\n2\n\n\n3\n"}, {1000, 3}, 3, {}, ""},
        {{"1\n2\n3\n4"}, {1000, 3}, 0, {}, "The directory listing has more than 3 lines"},
    };
    for (const TReaderCase& c : cases) {
        TFTPListingReader reader(ListingNow(), c.Limits);
        std::string error;
        try {
            for (const std::string& piece : c.Pieces)
                reader.Add(piece);
            reader.Finish();
        } catch (const ENetFTPError& e) {
            error = e.what();
        }
        EXPECT_EQ(error, c.Error) << c.Pieces[0];
        if (!c.Error.empty())
            continue;
        EXPECT_EQ(reader.Lines.size(), c.Lines) << c.Pieces[0];
        std::vector<std::string> names;
        for (const TFTPListItem& item : reader.Items)
            names.push_back(item.FileName);
        EXPECT_EQ(names, c.Names) << c.Pieces[0];
    }
}

TEST(FTPListing, DateWithoutYearIsNeverMoreThanADayAhead)
{
    TFTPListItem item;
    // Tomorrow: this year still (clocks differ); later: last year's.
    ASSERT_TRUE(ParseUnixListLine("-rw-r--r-- 1 a b 1 Mar 16 08:00 tomorrow", ListingNow(), item));
    EXPECT_EQ(Stamp(item.ModifiedDate), "2024-03-16 08:00");
    ASSERT_TRUE(ParseUnixListLine("-rw-r--r-- 1 a b 1 Apr 20 08:00 april", ListingNow(), item));
    EXPECT_EQ(Stamp(item.ModifiedDate), "2023-04-20 08:00");
}

TEST(FTPListing, PermissionValueOfEachTriplet)
{
    const std::pair<const char*, int> cases[] = {
        {"rwxr-xr-x", 755}, {"rw-r--r--", 644}, {"---------", 0}, {"r--------", 400},
        {"-w--w--w-", 222}, {"--x--x--x", 111}, {"RWXrwx---", 770}, {"rwsr-Sr-t", 745},
    };
    for (const auto& [text, value] : cases) {
        TFTPListItem item;
        const std::string triplets(text);
        item.OwnerPermissions = triplets.substr(0, 3);
        item.GroupPermissions = triplets.substr(3, 3);
        item.UserPermissions = triplets.substr(6, 3);
        EXPECT_EQ(PermissionValue(item), value) << text;
        EXPECT_EQ(PermissionText(item), triplets);
    }
}

} // namespace
