#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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

// writeNumber into a buffer of at least kMaxNumberText characters, which it
// may use as scratch space beyond the text (the longest text,
// "-1.23456789012345E-4951", has 23); returns the end of the text.
constexpr size_t kMaxNumberText = 48;
char* formatNumber(char* buffer, Extended value, bool plus);

// A number text that passed the grammar, its digits kept as written.
struct ParsedNumber {
    std::string_view text; // as given, for the error message
    char separator = '.';
    bool pointIsSeparator = false;
    bool negative = false;
    std::string_view integer; // digits before the separator
    std::string_view fraction; // digits after it
    uint64_t mantissa = 0; // the digits from the first non-zero one on, exact while significant <= 19
    int significant = 0;
};

// The grammar of readNumber (pointIsSeparator) or of readLocaleNumber; throws as they do.
ParsedNumber parseNumber(std::string_view text, char localeSeparator, bool pointIsSeparator);
// The nearest extended value; throws as the readers do for a value beyond the range.
Extended valueOf(const ParsedNumber& number);

// An exact decimal, (-1)^negative × digits × 10^-scale.
struct Decimal {
    bool negative = false;
    uint64_t digits = 0;
    int scale = 0;
};

// The decimal of a number with at most 18 significant digits and 18 decimals.
std::optional<Decimal> exactDecimal(const ParsedNumber& number);

// What formatNumber(round(round(A) + round(B)), plus) writes, A and B being
// the decimals and round the nearest extended value, computed in exact
// decimal arithmetic and written at p; nullptr where the error bound cannot
// prove the result (cancellation, more than 15 digits), and the caller then
// takes the extended values. p needs kMaxNumberText characters.
char* formatExactSum(char* p, const Decimal& a, const Decimal& b, bool plus);

// The exact but slow conversions (strtold, printf) that the fast paths must
// match bit for bit and byte for byte; kept visible for the differential test.
namespace reference {
Extended readLocaleNumber(std::string_view text, char localeSeparator);
std::string writeNumber(Extended value, bool plus);
} // namespace reference

} // namespace torvel
