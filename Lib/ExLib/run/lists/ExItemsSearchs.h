#pragma once
// The wrap-around string search of the list controls: from the item after StartIndex to the
// end, then from item 0, ending with StartIndex itself, so that every item is examined once.

#include "Platform/text/Strings.h"

#include <string>

class TExItemsSearchs {
public:
    // The first item equal to `value` (case-insensitively in the locale unless `caseSensitive`),
    // or -1.
    static int FindExact(const TStrings& items, const std::string& value, int startIndex, bool caseSensitive);
    // The first item that begins with `value`; an empty `value` matches nothing. -1 when none.
    static int FindPrefix(const TStrings& items, const std::string& value, int startIndex, bool caseSensitive);
};
