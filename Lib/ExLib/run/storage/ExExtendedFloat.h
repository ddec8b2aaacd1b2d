#pragma once
// The 80-bit extended float as the settings store keeps it: ten bytes, lowest first, of a
// 64-bit mantissa with an explicit integer bit, a 15-bit biased exponent and the sign. Built
// from the value's parts, not from the bytes of a long double, so the stored text is the same
// whatever the platform's long double is.

#include <array>

using TExtendedBytes = std::array<unsigned char, 10>;

// Rounds to the nearest extended value where long double holds more; infinities and NaNs
// keep their sign (a NaN becomes the quiet NaN with only the top fraction bit set).
TExtendedBytes ExtendedToBytes(long double value);
// Reads the bytes as the x87 unit loads them: an unnormal, or an infinity or NaN without the
// integer bit, is a NaN; a pseudo-denormal takes the smallest exponent. Where long double is
// narrower, the value rounds to it (to zero or infinity at the ends of its range).
long double ExtendedFromBytes(const TExtendedBytes& bytes);
