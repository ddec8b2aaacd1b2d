#pragma once
// Sort keys for item names: comparing two keys (then the names' bytes when the keys are equal)
// gives the order in which a file-system folder lists its items by name, numbers by value and
// letters without case. A folder of many items is sorted once by keys instead of comparing the
// names again for every pair.

#include <string>
#include <string_view>

std::u32string NameSortKey(std::string_view name);
