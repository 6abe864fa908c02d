#pragma once

// Reading a number word by the grammar written out plainly, with strtold for
// the value: the slow reference for the number reader and the coordinate rewrite.

#include "core/Numbers.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <optional>
#include <string>
#include <string_view>

namespace torvel::fuzz {

struct NaiveNumber {
    std::optional<Extended> value; // none: no number
    std::string message; // the error text when none
};

// Spaces, a sign, digits, the separator and digits, spaces; a digit or the
// separator after the sign. With `pointIsSeparator` every "." is the
// separator first, and the message names the text after that replacement.
inline NaiveNumber naiveRead(std::string_view text, char separator, bool pointIsSeparator)
{
    std::string s(text);
    if (pointIsSeparator)
        for (char& c : s)
            if (c == '.')
                c = separator;
    NaiveNumber result;
    result.message = "'" + s + "' is not a valid floating point value";
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    std::string whole, fraction;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        whole += s[i++];
    bool separated = false;
    if (i < s.size() && s[i] == separator) {
        separated = true;
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            fraction += s[i++];
    }
    while (i < s.size() && s[i] == ' ')
        ++i;
    if (i != s.size() || (whole.empty() && !separated))
        return result;
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const std::string canonical = "0" + whole + "." + fraction;
    const Extended magnitude = strtold_l(canonical.c_str(), nullptr, c);
    if (!std::isfinite(magnitude))
        return result;
    result.value = negative ? -magnitude : magnitude;
    return result;
}

// Equal to the bit: -0 is not 0.
inline bool sameValue(Extended a, Extended b) { return a == b && std::signbit(a) == std::signbit(b); }

inline std::string shownValue(Extended v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.21Lg", v);
    return buf;
}

} // namespace torvel::fuzz
