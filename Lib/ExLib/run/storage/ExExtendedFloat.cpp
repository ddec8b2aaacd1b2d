#include "ExLib/run/storage/ExExtendedFloat.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr int ExponentBias = 16383;
constexpr int MaxExponent = 0x7FFF;
constexpr std::uint64_t IntegerBit = std::uint64_t(1) << 63;

TExtendedBytes Pack(bool negative, int exponent, std::uint64_t mantissa)
{
    TExtendedBytes bytes{};
    for (int i = 0; i < 8; ++i)
        bytes[static_cast<size_t>(i)] = static_cast<unsigned char>(mantissa >> (8 * i));
    const unsigned top = static_cast<unsigned>(exponent) | (negative ? 0x8000u : 0u);
    bytes[8] = static_cast<unsigned char>(top);
    bytes[9] = static_cast<unsigned char>(top >> 8);
    return bytes;
}

// `fraction` in [0.5, 1) scaled by 2^bits and rounded to the nearest integer, ties to even.
long double ScaledMantissa(long double fraction, int bits)
{
    return std::nearbyint(std::ldexp(fraction, bits));
}

} // namespace

TExtendedBytes ExtendedToBytes(long double value)
{
    const bool negative = std::signbit(value);
    if (std::isnan(value))
        return Pack(negative, MaxExponent, IntegerBit | (IntegerBit >> 1));
    if (std::isinf(value))
        return Pack(negative, MaxExponent, IntegerBit);
    if (value == 0)
        return Pack(negative, 0, 0);
    int e = 0;
    const long double fraction = std::frexp(std::fabs(value), &e); // |value| = fraction * 2^e
    int exponent = e - 1 + ExponentBias;
    if (exponent <= 0) {
        // invariant: only a long double wider than extended gets here; the value is a denormal.
        const int bits = 64 - (1 - exponent);
        const long double scaled = bits < 0 ? 0.0L : ScaledMantissa(fraction, bits);
        // Rounding up to 2^63 makes the smallest normal number, which has exponent 1.
        const auto mantissa = static_cast<std::uint64_t>(scaled);
        return Pack(negative, mantissa & IntegerBit ? 1 : 0, mantissa);
    }
    long double scaled = ScaledMantissa(fraction, 64);
    if (scaled >= std::ldexp(1.0L, 64)) { // rounded up to the next power of two
        scaled = std::ldexp(1.0L, 63);
        ++exponent;
    }
    if (exponent >= MaxExponent)
        return Pack(negative, MaxExponent, IntegerBit);
    return Pack(negative, exponent, static_cast<std::uint64_t>(scaled));
}

long double ExtendedFromBytes(const TExtendedBytes& bytes)
{
    std::uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i)
        mantissa = (mantissa << 8) | bytes[static_cast<size_t>(i)];
    const unsigned top = bytes[8] | (static_cast<unsigned>(bytes[9]) << 8);
    const bool negative = (top & 0x8000u) != 0;
    const int exponent = static_cast<int>(top & 0x7FFFu);
    long double magnitude = 0;
    if (exponent == MaxExponent) {
        if (!(mantissa & IntegerBit) || (mantissa & ~IntegerBit) != 0)
            magnitude = std::numeric_limits<long double>::quiet_NaN();
        else
            magnitude = std::numeric_limits<long double>::infinity();
    } else if (exponent == 0) {
        // A denormal, or a pseudo-denormal (integer bit set), both scaled as exponent 1.
        magnitude = std::ldexp(static_cast<long double>(mantissa), 1 - ExponentBias - 63);
    } else if (!(mantissa & IntegerBit)) {
        magnitude = std::numeric_limits<long double>::quiet_NaN(); // an unnormal
    } else {
        magnitude = std::ldexp(static_cast<long double>(mantissa), exponent - ExponentBias - 63);
    }
    return negative ? -magnitude : magnitude;
}
