// The name keys must order names exactly as the folders compare them, or a freshly opened folder
// would show an order that a click on the Name column then changes.

#include "ShellBrowsing/Source/namespace/ItemTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(NameSortKey, OrdersAsTheFolderComparesNames)
{
    const std::vector<std::string> names{
        "", "a", "A", "b", "B", "ab", "a b", "a-b", "a_b", "file2", "file10", "file02", "File2", "file2a", "file2.txt",
        "file10.txt", "10", "9", "009", "0", "00", "x1y", "x01y", "x1", "ä", "Ä", "z", "\xc3\x9f", "ss", "\xf0\x9f\x98\x80",
        "\xe2\x91\xa0", "\xd9\xa3", ".hidden", "_under", "~tilde", "\xff\xfe", "a\xff", "Zeta", "zeta",
    };
    for (const std::string& a : names)
        for (const std::string& b : names) {
            const int expected = CompareItemNames(a, b);
            const std::u32string ka = NameSortKey(a);
            const std::u32string kb = NameSortKey(b);
            const int byKey = ka != kb ? (ka < kb ? -1 : 1) : (a < b ? -1 : a > b ? 1 : 0);
            EXPECT_EQ(byKey, expected) << "\"" << a << "\" against \"" << b << "\"";
        }
}
