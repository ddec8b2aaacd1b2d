// Floats in the settings store are the ten bytes of an 80-bit extended value, built from the
// value's sign, exponent and mantissa, so the stored text does not depend on how wide the
// platform's long double is.

#include "ExLib/run/storage/ExExtendedFloat.h"
#include "ExLib/run/common/ExStrUtils.h"
#include "ExLib/run/storage/ExIniStorage.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace {

std::string Hex(const TExtendedBytes& bytes)
{
    std::string text;
    BytesToHexText(bytes.data(), static_cast<int>(bytes.size()), text);
    return text;
}

TExtendedBytes Bytes(const std::string& hex)
{
    TExtendedBytes bytes{};
    EXPECT_EQ(HexTextToBytes(hex, bytes.data(), static_cast<int>(bytes.size())), 10) << hex;
    return bytes;
}

// The long double here holds every extended value exactly (the x87 format).
constexpr bool NativeExtended =
    std::numeric_limits<long double>::digits == 64 && std::numeric_limits<long double>::min_exponent == -16381;

struct TCase {
    long double Value;
    const char* Text;
};

// Values every long double of at least double precision holds, with their stored texts.
const TCase Exact[] = {
    {1.0L, "0000000000000080FF3F"},
    {0.0L, "00000000000000000000"},
    {-0.0L, "00000000000000000080"},
    {-2.5L, "00000000000000A000C0"},
    {0.5L, "0000000000000080FE3F"},
    {3.0L, "00000000000000C00040"},
    {static_cast<long double>(0.1), "00D0CCCCCCCCCCCCFB3F"}, // the double nearest 0.1
    {static_cast<long double>(std::numeric_limits<double>::max()), "00F8FFFFFFFFFFFFFE43"},
    {static_cast<long double>(std::numeric_limits<double>::denorm_min()), "0000000000000080CD3B"},
    {std::numeric_limits<long double>::infinity(), "0000000000000080FF7F"},
    {-std::numeric_limits<long double>::infinity(), "0000000000000080FFFF"},
};

} // namespace

TEST(ExtendedFloat, ValuesGiveTheirTenBytesAndReadBack)
{
    for (const TCase& c : Exact) {
        EXPECT_EQ(Hex(ExtendedToBytes(c.Value)), c.Text) << static_cast<double>(c.Value);
        const long double back = ExtendedFromBytes(Bytes(c.Text));
        EXPECT_EQ(back, c.Value) << c.Text;
        EXPECT_EQ(std::signbit(back), std::signbit(c.Value)) << c.Text;
    }
}

TEST(ExtendedFloat, NaNsStayNaNsWithTheirSign)
{
    EXPECT_EQ(Hex(ExtendedToBytes(std::numeric_limits<long double>::quiet_NaN())), "00000000000000C0FF7F");
    EXPECT_EQ(Hex(ExtendedToBytes(-std::numeric_limits<long double>::quiet_NaN())), "00000000000000C0FFFF");
    // Bytes the x87 unit does not take as a number read as NaN: signalling and quiet NaNs,
    // infinities and NaNs without the integer bit, and unnormals (integer bit clear).
    const char* notNumbers[] = {
        "00000000000000C0FF7F", "01000000000000C0FFFF", "0100000000000080FF7F",
        "0000000000000000FF7F", "0000000000000040FF7F", "0000000000000000FF3F", "FFFFFFFFFFFFFF7F0140",
    };
    for (const char* text : notNumbers)
        EXPECT_TRUE(std::isnan(ExtendedFromBytes(Bytes(text)))) << text;
    EXPECT_TRUE(std::signbit(ExtendedFromBytes(Bytes("00000000000000C0FFFF"))));
}

TEST(ExtendedFloat, DenormalsAndPseudoDenormalsReadAsTheX87UnitReadsThem)
{
    // A pseudo-denormal (exponent 0, integer bit set) has the value of exponent 1.
    EXPECT_EQ(ExtendedFromBytes(Bytes("00000000000000800000")), ExtendedFromBytes(Bytes("00000000000000800100")));
    if (!NativeExtended)
        GTEST_SKIP() << "the extended denormal range lies beyond this long double";
    const long double smallest = std::numeric_limits<long double>::denorm_min();
    const long double largestDenormal = std::numeric_limits<long double>::min() - smallest;
    const TCase denormals[] = {
        {smallest, "01000000000000000000"},
        {-smallest, "01000000000000000080"},
        {largestDenormal, "FFFFFFFFFFFFFF7F0000"},
        {std::numeric_limits<long double>::min(), "00000000000000800100"},
        {std::numeric_limits<long double>::max(), "FFFFFFFFFFFFFFFFFE7F"},
        {std::nextafter(1.0L, 0.0L), "FFFFFFFFFFFFFFFFFE3F"},
    };
    for (const TCase& c : denormals) {
        EXPECT_EQ(Hex(ExtendedToBytes(c.Value)), c.Text);
        EXPECT_EQ(ExtendedFromBytes(Bytes(c.Text)), c.Value) << c.Text;
    }
}

TEST(ExtendedFloat, EveryValueRoundTripsThroughItsBytes)
{
    // Powers of two across the whole exponent range, with a few mantissas each.
    int checked = 0;
    for (int e = std::numeric_limits<long double>::min_exponent - std::numeric_limits<long double>::digits;
         e <= std::numeric_limits<long double>::max_exponent - 1; e += 37) {
        for (long double m : {1.0L, 1.5L, 1.0L + 1.0L / 3.0L, -1.75L}) {
            const long double v = std::ldexp(m, e);
            if (v == 0 || std::isinf(v))
                continue;
            const long double back = ExtendedFromBytes(ExtendedToBytes(v));
            EXPECT_EQ(back, v) << "2^" << e << " * " << static_cast<double>(m);
            ++checked;
        }
    }
    EXPECT_GT(checked, 400);
}

TEST(ExtendedFloat, TheStoreWritesAndReadsTheTenBytes)
{
    TExAppIniFileStorage store(nullptr);
    store.SetLocation(TFileLocation::flCustom);
    for (const TCase& c : Exact) {
        store.RawWriteFloat("S\\V", c.Value);
        EXPECT_EQ(store.GetString("S\\V"), c.Text);
        EXPECT_EQ(store.RawReadFloat("S\\V", 7), c.Value) << c.Text;
    }
    store.PutString("S\\V", "0000000000000000FF3F"); // an unnormal
    EXPECT_TRUE(std::isnan(store.RawReadFloat("S\\V", 7)));
}
