#pragma once
// Texts of item details: times, sizes and attribute letters, formatted as the program formats
// dates and numbers.

#include "ShellBrowsing/Source/namespace/ItemData.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

// Local time: the short date, then the long time unless it is exactly midnight; empty for zero.
QString FileTimeText(FILETIME utc);
// The byte count with digit grouping.
QString SizeText(std::int64_t bytes);
// Kilobytes ("%.0n KB", truncated toward zero); "0 KB" becomes "1 KB".
QString SizeKBText(std::int64_t bytes);
// Bytes, kilobytes, megabytes or gigabytes with one decimal, for volume sizes.
QString VolumeSizeText(std::uint64_t bytes);
// "A", "H", "R", "S", "C" in this order, as the attributes hold.
QString AttributesText(std::uint32_t fileAttributes);

// Comparison of display names as people expect: letter case aside, numbers by value, then the
// bytes, so that two different names never compare equal.
int CompareItemNames(const std::string& a, const std::string& b);
// A sort key for a name: comparing two keys (then the names' bytes when the keys are equal)
// gives CompareItemNames's order. A folder of many items is sorted once by keys instead of
// comparing the names again for every pair.
std::u32string NameSortKey(std::string_view name);
