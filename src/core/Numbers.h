#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace torvel {

// Coordinates are combined in x87 extended precision (64-bit mantissa): the
// written digits depend on it (123.456 + -123.4 gives 0.056, not 0.0559999999999974).
using Extended = long double;

// Reads a number word of the program text: every "." becomes the locale
// separator first, then the locale grammar applies. Throws ConversionError
// naming the text after that replacement.
Extended readNumber(std::string_view text, char localeSeparator);

// The locale grammar alone: spaces, an optional sign, digits, an optional
// separator and digits, spaces; at least one digit or the separator after
// the sign. Used for typed values and remembered positions.
Extended readLocaleNumber(std::string_view text, char localeSeparator);

// 15 significant digits, no trailing zeros, fixed notation from 0.0001 to
// below 10^15, otherwise "E" notation; "." as decimal point; zero (also
// negative zero) is "0"; with plus, values that are not negative get "+".
// Throws ConversionError when the value is not finite.
std::string writeNumber(Extended value, bool plus);

// writeNumber appending to out.
void appendNumber(std::string& out, Extended value, bool plus);

// writeNumber into a buffer of at least kMaxNumberText characters (the longest
// text, "-1.23456789012345E-4951", has 23); returns the end of the text.
constexpr size_t kMaxNumberText = 32;
char* formatNumber(char* buffer, Extended value, bool plus);

// The exact but slow conversions (strtold, printf) that the fast paths must
// match bit for bit and byte for byte; kept visible for the differential test.
namespace reference {
Extended readLocaleNumber(std::string_view text, char localeSeparator);
std::string writeNumber(Extended value, bool plus);
} // namespace reference

} // namespace torvel
