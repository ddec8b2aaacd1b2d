#pragma once
// Numbers as the numeric edits read and write them in the user's separators: integers of 32
// bits, hexadecimal of 32 bits, floating-point texts with an optional exponent, fixed-point
// output with grouping, and picture formats ("0", "#", ".", "," and sections split by ";").

#include <optional>
#include <string>
#include <string_view>

struct TNumberSeparators {
    std::string Decimal = ".";
    std::string Thousands = ",";
};
// The separators of the default locale.
TNumberSeparators LocaleSeparators();

// A 32-bit integer: optional blanks before, an optional sign, decimal digits.
std::optional<int> TextToInt32(std::string_view text);
// Up to eight hexadecimal digits (either case), read as the 32 bits of an integer:
// "FFFFFFFF" is -1.
std::optional<int> HexToInt32(std::string_view text);
// The 32 bits of `value` as upper-case hexadecimal digits, at least one: -1 is "FFFFFFFF".
std::string Int32ToHex(int value);
// A floating-point number: blanks around it allowed, an optional sign, digits with the decimal
// separator, an optional exponent.
std::optional<double> TextToFloat(std::string_view text, const TNumberSeparators& separators);
// `value` with `decimals` digits after the separator, grouped by the thousands separator when
// asked; at most 15 significant digits (beyond them the exponent form).
std::string FloatToFixed(double value, int decimals, bool grouped, const TNumberSeparators& separators);
// `value` in a picture format: "0" a digit always shown, "#" a digit shown when significant, "."
// the decimal separator, "," anywhere before it grouping; a second section applies to negative
// numbers. An empty format writes the general form.
std::string FormatFloatPicture(std::string_view format, double value, const TNumberSeparators& separators);
// Rounds half to even.
double RoundTiesEven(double value);
