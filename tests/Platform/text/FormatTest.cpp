// The class library's Format: specifiers, widths, precisions, indexes and mismatches.

#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"

#include <gtest/gtest.h>

TEST(Format, Specifiers)
{
    struct Case {
        std::string Got;
        std::string Expected;
    };
    const Case cases[] = {
        {Format("Invalid stringlist index %d", {7}), "Invalid stringlist index 7"},
        {Format("%s=%s", {"a", std::string("b")}), "a=b"},
        {Format("%5d|%-5d|", {42, 42}), "   42|42   |"},
        {Format("%.3d", {7}), "007"},
        {Format("%x", {255}), "FF"},
        {Format("%.4x", {10}), "000A"},
        {Format("%u", {-1}), "4294967295"},
        {Format("%d", {-12}), "-12"},
        {Format("%.2f", {3.14159}), "3.14"},
        {Format("%n", {1234567.891}), "1,234,567.89"},
        {Format("%g", {0.5}), "0.5"},
        {Format("%e", {1234.5}), "1.23450000000000E+003"},
        {Format("100%%", {}), "100%"},
        {Format("%1:s %0:s", {"world", "hello"}), "hello world"},
        {Format("%*d", {4, 7}), "   7"},
        {Format("%.2s", {"abc"}), "ab"},
        {Format("%s", {'c'}), "c"},
        {Format("System Error.  Code: %d.\r\n%s", {2, "No such file"}), "System Error.  Code: 2.\r\nNo such file"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Got, c.Expected);
}

TEST(Format, MismatchedArgumentsRaise)
{
    try {
        Format("%d", {"text"});
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Format '%d' invalid or incompatible with argument");
    }
    EXPECT_THROW(Format("%s %s", {"only one"}), EConvertError);
    EXPECT_THROW(Format("%q", {1}), EConvertError);
    EXPECT_THROW(Format("trailing %", {}), EConvertError);
    // A width or index beyond any int is refused, not wrapped.
    EXPECT_THROW(Format("%99999999999d", {1}), EConvertError);
    EXPECT_THROW(Format("%99999999999:d", {1}), EConvertError);
}
