#pragma once
// The entries of a LIST answer: Unix listings ("ls -l" style, with or without a group column,
// month-day-time or month-day-year or ISO dates, device files, "name -> target" links) and DOS
// listings (IIS: "MM-DD-YY hh:mmAM <DIR> name" or with a size). Lines of neither form
// ("total 12", blank lines, banners) are left out.

#include "Platform/core/DateTime.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TFTPItemType { ditDirectory, ditFile, ditSymbolicLink };

struct TFTPListItem {
    // The listing line the entry was read from.
    std::string Text;
    std::string FileName;
    std::int64_t Size = 0;
    TFTPItemType ItemType = TFTPItemType::ditFile;
    // The target of a symbolic link ("" otherwise).
    std::string LinkedItemName;
    // The time the server shows, as it shows it (0 when unknown).
    TDateTime ModifiedDate = 0;
    // "rwx"-style triplets; "" for DOS listings.
    std::string OwnerPermissions;
    std::string GroupPermissions;
    std::string UserPermissions;
};

// One line; false when it is no entry. `now` decides the year of a date shown without one: the
// latest year that does not put the date more than a day into the future.
bool ParseUnixListLine(std::string_view line, TDateTime now, TFTPListItem& item);
bool ParseDosListLine(std::string_view line, TFTPListItem& item);
// A line of either form.
bool ParseListLine(std::string_view line, TDateTime now, TFTPListItem& item);
// Every entry of the lines, in their order.
std::vector<TFTPListItem> ParseFTPListing(const std::vector<std::string>& lines, TDateTime now);
// The bytes of a listing split into lines at LF, a CR before it dropped.
std::vector<std::string> SplitListingLines(std::string_view bytes);

// The permissions as the usual octal number written with decimal digits (755 for rwxr-xr-x): 400,
// 200, 100 for "r", "w", "x" (either case; "s" and "t" count as execute, "S" and "T" do not) in the owner's
// triplet, 40, 20, 10 in the group's, 4, 2, 1 in the others'.
int PermissionValue(const TFTPListItem& item);
// The three triplets joined ("rwxr-xr-x").
std::string PermissionText(const TFTPListItem& item);
