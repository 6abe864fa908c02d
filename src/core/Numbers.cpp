#include "core/Numbers.h"

#include "core/Errors.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <locale.h>

namespace torvel {

namespace {

using u128 = unsigned __int128;

// A number text split by the grammar; both spans hold digits only. The
// digits from the first non-zero one on are gathered as they pass (the
// integer wraps beyond 19 of them, which `significant` tells).
struct Parsed {
    bool ok = false;
    bool negative = false;
    std::string_view integer;
    std::string_view fraction;
    uint64_t mantissa = 0;
    int significant = 0;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

size_t digits(std::string_view t, size_t i, Parsed& p)
{
    for (; i < t.size(); ++i) {
        const unsigned d = static_cast<unsigned char>(t[i]) - unsigned('0');
        if (d > 9)
            break;
        if (p.significant != 0 || d != 0) {
            ++p.significant;
            p.mantissa = p.mantissa * 10 + d;
        }
    }
    return i;
}

// pointIsSeparator: "." counts as the separator too, which is what replacing
// every "." by the separator before the grammar amounts to.
Parsed parse(std::string_view t, char separator, bool pointIsSeparator)
{
    Parsed p;
    const size_t n = t.size();
    size_t i = 0;
    while (i < n && t[i] == ' ')
        ++i;
    if (i < n && (t[i] == '+' || t[i] == '-')) {
        p.negative = t[i] == '-';
        ++i;
    }
    size_t b = i;
    i = digits(t, i, p);
    p.integer = t.substr(b, i - b);
    bool hasSeparator = false;
    if (i < n && (t[i] == separator || (pointIsSeparator && t[i] == '.'))) {
        hasSeparator = true;
        b = ++i;
        i = digits(t, i, p);
        p.fraction = t.substr(b, i - b);
    }
    while (i < n && t[i] == ' ')
        ++i;
    p.ok = i == n && (hasSeparator || !p.integer.empty());
    return p;
}

locale_t cLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

// Every power of ten up to 10^27 is exact in the 64-bit mantissa (5^27 < 2^64).
constexpr Extended kPowersOfTen[] = {1e0L, 1e1L, 1e2L, 1e3L, 1e4L, 1e5L, 1e6L, 1e7L, 1e8L, 1e9L, 1e10L, 1e11L, 1e12L,
    1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};

constexpr uint64_t kIntPowersOfTen[]
    = {1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000ULL, 1000000ULL, 10000000ULL, 100000000ULL, 1000000000ULL,
        10000000000ULL, 100000000000ULL, 1000000000000ULL, 10000000000000ULL, 100000000000000ULL, 1000000000000000ULL,
        10000000000000000ULL, 100000000000000000ULL, 1000000000000000000ULL, 10000000000000000000ULL};

// Up to 19 significant digits fit a 64-bit integer exactly, and a fraction of
// up to 27 digits divides by an exact power of ten: one correctly rounded
// division then gives the nearest value, as strtold does.
bool fastValue(const Parsed& p, Extended& value)
{
    if (p.significant > 19 || p.fraction.size() > 27)
        return false;
    value = static_cast<Extended>(p.mantissa);
    if (!p.fraction.empty())
        value /= kPowersOfTen[p.fraction.size()];
    return true;
}

Extended slowValue(const Parsed& p)
{
    std::string canonical;
    canonical.reserve(p.integer.size() + p.fraction.size() + 3);
    canonical += '0';
    canonical.append(p.integer);
    canonical += '.';
    canonical.append(p.fraction);
    return strtold_l(canonical.c_str(), nullptr, cLocale());
}

std::string afterPointReplaced(std::string_view text, char separator)
{
    std::string s(text);
    for (char& c : s) {
        if (c == '.')
            c = separator;
    }
    return s;
}

Extended finish(const Parsed& p, Extended magnitude, std::string_view text, char separator, bool pointIsSeparator)
{
    if (!std::isfinite(magnitude))
        throw ConversionError::notANumber(pointIsSeparator ? afterPointReplaced(text, separator) : std::string(text));
    return p.negative ? -magnitude : magnitude;
}

Extended read(std::string_view text, char separator, bool pointIsSeparator)
{
    const Parsed p = parse(text, separator, pointIsSeparator);
    if (!p.ok)
        throw ConversionError::notANumber(pointIsSeparator ? afterPointReplaced(text, separator) : std::string(text));
    Extended magnitude;
    if (!fastValue(p, magnitude))
        magnitude = slowValue(p);
    return finish(p, magnitude, text, separator, pointIsSeparator);
}

// 15 significant digits (no trailing zeros) and the exponent X of d.ddd × 10^X.
// raw holds a leading "0" and then the 15 digits, so that each half is 8 bytes.
struct Digits {
    char raw[16];
    int count = 0;
    int exponent = 0;
    const char* d() const { return raw + 1; }
};

constexpr char kDigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                               "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                               "8081828384858687888990919293949596979899";

// Eight digits of v < 10^8, as two independent chains of two-digit steps.
void eightDigits(char* d, uint32_t v)
{
    const uint32_t high = v / 10000, low = v % 10000;
    std::memcpy(d, kDigitPairs + 2 * (high / 100), 2);
    std::memcpy(d + 2, kDigitPairs + 2 * (high % 100), 2);
    std::memcpy(d + 4, kDigitPairs + 2 * (low / 100), 2);
    std::memcpy(d + 6, kDigitPairs + 2 * (low % 100), 2);
}

// Trailing "0" characters of 8 digits, read as one little-endian word.
int trailingZeroChars(const char* d)
{
    uint64_t w;
    std::memcpy(&w, d, 8);
    w ^= 0x3030303030303030ULL;
    return w == 0 ? 8 : __builtin_clzll(w) / 8;
}

void setDigits(Digits& out, uint64_t r, int exponent)
{
    // r has exactly 15 digits (10^14 <= r < 10^15).
    eightDigits(out.raw, static_cast<uint32_t>(r / 100000000));
    eightDigits(out.raw + 8, static_cast<uint32_t>(r % 100000000));
    int zeros = trailingZeroChars(out.raw + 8);
    if (zeros == 8)
        zeros += trailingZeroChars(out.raw);
    out.count = 15 - zeros;
    out.exponent = exponent;
}

// The bits of an x87 value: 64-bit mantissa with its explicit top bit, 15-bit
// biased exponent and the sign.
struct Bits {
    uint64_t mantissa;
    int biased;
    bool negative;
};

Bits bitsOf(Extended v)
{
    unsigned char bytes[sizeof(Extended)];
    std::memcpy(bytes, &v, sizeof v);
    Bits b;
    uint16_t signExponent;
    std::memcpy(&b.mantissa, bytes, 8);
    std::memcpy(&signExponent, bytes + 8, 2);
    b.biased = signExponent & 0x7fff;
    b.negative = (signExponent & 0x8000) != 0;
    return b;
}

// 10^-6 to 10^16 as x87 bits (nearest), to pick the decimal exponent at once.
// Only speed depends on them: the exact integer test below corrects any pick.
struct PowerBits {
    int biased;
    uint64_t mantissa;
};
constexpr int kLowestPower = -6;
constexpr PowerBits kPowers[] = {
    {16363, 0x8637bd05af6c69b6ULL}, // 1e-6
    {16366, 0xa7c5ac471b478423ULL}, // 1e-5
    {16369, 0xd1b71758e219652cULL}, // 1e-4
    {16373, 0x83126e978d4fdf3bULL}, // 1e-3
    {16376, 0xa3d70a3d70a3d70aULL}, // 1e-2
    {16379, 0xcccccccccccccccdULL}, // 1e-1
    {16383, 0x8000000000000000ULL}, // 1e0
    {16386, 0xa000000000000000ULL}, // 1e1
    {16389, 0xc800000000000000ULL}, // 1e2
    {16392, 0xfa00000000000000ULL}, // 1e3
    {16396, 0x9c40000000000000ULL}, // 1e4
    {16399, 0xc350000000000000ULL}, // 1e5
    {16402, 0xf424000000000000ULL}, // 1e6
    {16406, 0x9896800000000000ULL}, // 1e7
    {16409, 0xbebc200000000000ULL}, // 1e8
    {16412, 0xee6b280000000000ULL}, // 1e9
    {16416, 0x9502f90000000000ULL}, // 1e10
    {16419, 0xba43b74000000000ULL}, // 1e11
    {16422, 0xe8d4a51000000000ULL}, // 1e12
    {16426, 0x9184e72a00000000ULL}, // 1e13
    {16429, 0xb5e620f480000000ULL}, // 1e14
    {16432, 0xe35fa931a0000000ULL}, // 1e15
    {16436, 0x8e1bc9bf04000000ULL}, // 1e16
};

// Exact rounding in integers: a = M × 2^E with a 64-bit M; scaled by 10^s
// (s ≤ 19) it fits 128 bits, and the shifted-out bits decide the rounding
// (half to even, like printf). Covers magnitudes from about 10^-5 to 10^15.
bool fastDigits(const Bits& b, Digits& out)
{
    if (b.biased == 0 || (b.mantissa >> 63) == 0)
        return false;
    const int e2 = b.biased - 16383 - 63;
    const int shift = -e2;
    if (shift <= 0 || shift >= 128)
        return false;
    // floor((e2 + 63) × log10 2): the decimal exponent or one below it.
    int x = ((e2 + 63) * 78913) >> 18;
    const int next = x + 1 - kLowestPower;
    if (next >= 0 && next < static_cast<int>(std::size(kPowers))) {
        const PowerBits& p = kPowers[next];
        if (b.biased > p.biased || (b.biased == p.biased && b.mantissa >= p.mantissa))
            ++x;
    }
    constexpr uint64_t low = 100000000000000ULL, high = 1000000000000000ULL;
    const u128 mask = (u128(1) << shift) - 1;
    const u128 half = u128(1) << (shift - 1);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int s = 14 - x;
        if (s < 0 || s > 19)
            return false;
        const u128 n = u128(b.mantissa) * kIntPowersOfTen[s];
        const u128 t = n >> shift;
        if (t >= high) {
            ++x;
            continue;
        }
        if (t < low) {
            --x;
            continue;
        }
        const u128 rest = n & mask;
        uint64_t r = static_cast<uint64_t>(t);
        if (rest > half || (rest == half && (r & 1) != 0))
            ++r;
        if (r == high) {
            r = low;
            ++x;
        }
        setDigits(out, r, x);
        return true;
    }
    return false;
}

// printf's "%.14Le" rounds the exact binary value; its decimal point follows
// the C locale, so only the digits and the exponent are taken from it.
void slowDigits(Extended a, Digits& out)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14Le", a);
    uint64_t r = 0;
    int count = 0;
    const char* p = buf;
    for (; *p != '\0' && *p != 'e' && *p != 'E'; ++p) {
        if (isDigit(*p) && count < 15) {
            r = r * 10 + static_cast<uint64_t>(*p - '0');
            ++count;
        }
    }
    int exponent = 0;
    if (*p != '\0')
        exponent = std::atoi(p + 1);
    setDigits(out, r, exponent);
}

std::string nonFiniteText(Extended value)
{
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

char* formatDigits(char* p, const Digits& g, bool negative, bool plus)
{
    if (negative)
        *p++ = '-';
    else if (plus)
        *p++ = '+';
    const int x = g.exponent;
    const int count = g.count;
    if (x >= -4 && x <= 14) {
        if (x >= 0) {
            // Integer digits (padded with zeros when the digits run out), then any fraction.
            const int whole = x + 1;
            if (count <= whole) {
                std::memcpy(p, g.d(), static_cast<size_t>(count));
                std::memset(p + count, '0', static_cast<size_t>(whole - count));
                p += whole;
            } else {
                std::memcpy(p, g.d(), static_cast<size_t>(whole));
                p += whole;
                *p++ = '.';
                std::memcpy(p, g.d() + whole, static_cast<size_t>(count - whole));
                p += count - whole;
            }
        } else {
            const int zeros = -x - 1;
            *p++ = '0';
            *p++ = '.';
            std::memset(p, '0', static_cast<size_t>(zeros));
            p += zeros;
            std::memcpy(p, g.d(), static_cast<size_t>(count));
            p += count;
        }
    } else {
        *p++ = g.d()[0];
        if (count > 1) {
            *p++ = '.';
            std::memcpy(p, g.d() + 1, static_cast<size_t>(count - 1));
            p += count - 1;
        }
        *p++ = 'E';
        if (x < 0)
            *p++ = '-';
        const int ax = x < 0 ? -x : x;
        char e[8];
        int k = 0;
        for (int v = ax; v != 0 || k == 0; v /= 10)
            e[k++] = static_cast<char>('0' + v % 10);
        while (k > 0)
            *p++ = e[--k];
    }
    return p;
}

} // namespace

Extended readNumber(std::string_view text, char localeSeparator) { return read(text, localeSeparator, true); }

Extended readLocaleNumber(std::string_view text, char localeSeparator) { return read(text, localeSeparator, false); }

char* formatNumber(char* p, Extended value, bool plus)
{
    const Bits b = bitsOf(value);
    if (b.biased == 0x7fff)
        throw ConversionError::notANumber(nonFiniteText(value));
    if (b.biased == 0 && b.mantissa == 0) {
        // Negative zero too.
        if (plus)
            *p++ = '+';
        *p++ = '0';
        return p;
    }
    Digits g;
    if (!fastDigits(b, g))
        slowDigits(std::fabs(value), g);
    return formatDigits(p, g, b.negative, plus);
}

void appendNumber(std::string& out, Extended value, bool plus)
{
    char buf[kMaxNumberText];
    out.append(buf, static_cast<size_t>(formatNumber(buf, value, plus) - buf));
}

std::string writeNumber(Extended value, bool plus)
{
    std::string out;
    appendNumber(out, value, plus);
    return out;
}

namespace reference {

Extended readLocaleNumber(std::string_view text, char localeSeparator)
{
    const Parsed p = parse(text, localeSeparator, false);
    if (!p.ok)
        throw ConversionError::notANumber(std::string(text));
    return finish(p, slowValue(p), text, localeSeparator, false);
}

// Formats printf's own text with plain string operations, independently of
// formatDigits, so that the differential test checks the layout as well.
std::string writeNumber(Extended value, bool plus)
{
    if (!std::isfinite(value))
        throw ConversionError::notANumber(nonFiniteText(value));
    if (value == 0)
        return plus ? "+0" : "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14Le", value);
    const std::string printed(buf);
    const size_t e = printed.find_first_of("eE");
    std::string digits;
    for (size_t i = 0; i < e; ++i) {
        if (isDigit(printed[i]))
            digits += printed[i];
    }
    const int x = std::atoi(printed.c_str() + e + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string text;
    if (x >= -4 && x <= 14) {
        if (x >= 0) {
            if (digits.size() < static_cast<size_t>(x) + 1)
                digits.resize(static_cast<size_t>(x) + 1, '0');
            text = digits.substr(0, static_cast<size_t>(x) + 1);
            if (digits.size() > static_cast<size_t>(x) + 1)
                text += "." + digits.substr(static_cast<size_t>(x) + 1);
        } else {
            text = "0." + std::string(static_cast<size_t>(-x - 1), '0') + digits;
        }
    } else {
        text = digits.substr(0, 1);
        if (digits.size() > 1)
            text += "." + digits.substr(1);
        text += "E" + std::to_string(x);
    }
    if (value < 0)
        return "-" + text;
    return plus ? "+" + text : text;
}

} // namespace reference

} // namespace torvel
