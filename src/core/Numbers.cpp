#include "core/Numbers.h"

#include "core/Errors.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <locale.h>

namespace torvel {

namespace {

using u128 = unsigned __int128;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from i on, gathered into m (which wraps beyond 19 of them).
size_t digits(std::string_view t, size_t i, uint64_t& m)
{
    for (; i < t.size(); ++i) {
        const unsigned d = static_cast<unsigned char>(t[i]) - unsigned('0');
        if (d > 9)
            break;
        m = m * 10 + d;
    }
    return i;
}

size_t zeros(std::string_view t, size_t i)
{
    while (i < t.size() && t[i] == '0')
        ++i;
    return i;
}

bool grammar(std::string_view t, ParsedNumber& p)
{
    const size_t n = t.size();
    size_t i = 0;
    while (i < n && t[i] == ' ')
        ++i;
    if (i < n && (t[i] == '+' || t[i] == '-')) {
        p.negative = t[i] == '-';
        ++i;
    }
    // Leading zeros, also those right after the separator of a number below 1, are not significant.
    size_t b = i;
    size_t first = i = zeros(t, i);
    i = digits(t, i, p.mantissa);
    p.integer = t.substr(b, i - b);
    p.significant = static_cast<int>(i - first);
    bool hasSeparator = false;
    if (i < n && (t[i] == p.separator || (p.pointIsSeparator && t[i] == '.'))) {
        hasSeparator = true;
        b = ++i;
        first = i = p.significant == 0 ? zeros(t, i) : i;
        i = digits(t, i, p.mantissa);
        p.fraction = t.substr(b, i - b);
        p.significant += static_cast<int>(i - first);
    }
    while (i < n && t[i] == ' ')
        ++i;
    return i == n && (hasSeparator || !p.integer.empty());
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
bool fastValue(const ParsedNumber& p, Extended& value)
{
    if (p.significant > 19 || p.fraction.size() > 27)
        return false;
    value = static_cast<Extended>(p.mantissa);
    if (!p.fraction.empty())
        value /= kPowersOfTen[p.fraction.size()];
    return true;
}

Extended slowValue(const ParsedNumber& p)
{
    std::string canonical;
    canonical.reserve(p.integer.size() + p.fraction.size() + 3);
    canonical += '0';
    canonical.append(p.integer);
    canonical += '.';
    canonical.append(p.fraction);
    return strtold_l(canonical.c_str(), nullptr, cLocale());
}

[[noreturn]] void notANumber(std::string_view text, char separator, bool pointIsSeparator)
{
    std::string s(text);
    if (pointIsSeparator) {
        for (char& c : s) {
            if (c == '.')
                c = separator;
        }
    }
    throw ConversionError::notANumber(s);
}

Extended finish(const ParsedNumber& p, Extended magnitude)
{
    if (!std::isfinite(magnitude))
        notANumber(p.text, p.separator, p.pointIsSeparator);
    return p.negative ? -magnitude : magnitude;
}

// Eight digits of v < 10^8 as the bytes of a little-endian word, first digit
// lowest, computed lane-wise: two groups of four digits, then pairs, then
// single digits (x × 5243 >> 19 is x / 100 below 43699, x × 103 >> 10 is x / 10 below 179).
// The digits stay in registers: reloading bytes just stored piecewise would stall.
[[gnu::always_inline]] inline uint64_t digitWord8(uint32_t v)
{
    uint64_t z = (v / 10000) | (static_cast<uint64_t>(v % 10000) << 32);
    const uint64_t hundreds = ((z * 5243) >> 19) & 0x0000007F0000007FULL;
    z = hundreds | ((z - hundreds * 100) << 16);
    const uint64_t tens = ((z * 103) >> 10) & 0x000F000F000F000FULL;
    z = tens | ((z - tens * 10) << 8);
    return z | 0x3030303030303030ULL;
}

// Sixteen digits of v < 10^16, leading zeros included, first digit in the lowest byte.
[[gnu::always_inline]] inline u128 digitText16(uint64_t v)
{
    return u128(digitWord8(static_cast<uint32_t>(v / 100000000)))
        | (u128(digitWord8(static_cast<uint32_t>(v % 100000000))) << 64);
}

// 15 significant digits (count of them without trailing zeros) and the
// exponent X of d.ddd × 10^X. text holds the 15 digit characters, first digit
// in the lowest byte, and the zeros that pad them.
struct Digits {
    u128 text = 0;
    int count = 0;
    int exponent = 0;
};

void setDigits(Digits& out, uint64_t r, int exponent)
{
    // r has exactly 15 digits (10^14 <= r < 10^15); the top byte of text stays 0.
    out.text = digitText16(r) >> 8;
    constexpr uint64_t zeroChars = 0x3030303030303030ULL;
    const u128 marks = out.text ^ (u128(zeroChars >> 8) << 64 | zeroChars);
    const auto high = static_cast<uint64_t>(marks >> 64), low = static_cast<uint64_t>(marks);
    // Zero bytes at the top are the trailing "0" characters, and the empty top byte.
    const int zeroBytes = (high != 0 ? __builtin_clzll(high) : 64 + __builtin_clzll(low)) / 8;
    out.count = 16 - zeroBytes;
    out.exponent = exponent;
}

void store16(char* p, u128 text) { std::memcpy(p, &text, 16); }

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
        // Without a branch: the outcome is as often one way as the other.
        const PowerBits& p = kPowers[next];
        x += static_cast<int>((b.biased > p.biased) | ((b.biased == p.biased) & (b.mantissa >= p.mantissa)));
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
        r += static_cast<uint64_t>((rest > half) | ((rest == half) & ((r & 1) != 0)));
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

// Writes the layout with 16-byte stores and few branches, as the values of a
// program make every branch here a coin toss; the target has room to spare.
char* formatDigits(char* p, const Digits& g, bool negative, bool plus)
{
    *p = negative ? '-' : '+';
    p += static_cast<int>(negative | plus);
    const int x = g.exponent;
    const int count = g.count;
    if (x >= 0 && x <= 14) {
        // Integer digits (the text holds the zeros that pad them), then any fraction.
        const int whole = x + 1;
        store16(p, g.text);
        p[whole] = '.';
        store16(p + whole + 1, g.text >> (8 * whole));
        return p + (count > whole ? count + 1 : whole);
    }
    if (x < 0 && x >= -4) {
        std::memcpy(p, "0.000000", 8);
        p += 1 - x;
        store16(p, g.text);
        return p + count;
    }
    *p++ = static_cast<char>(g.text);
    if (count > 1) {
        *p++ = '.';
        store16(p, g.text >> 8);
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
    return p;
}

} // namespace

ParsedNumber parseNumber(std::string_view text, char localeSeparator, bool pointIsSeparator)
{
    ParsedNumber p;
    p.text = text;
    p.separator = localeSeparator;
    p.pointIsSeparator = pointIsSeparator;
    if (!grammar(text, p))
        notANumber(text, localeSeparator, pointIsSeparator);
    return p;
}

Extended valueOf(const ParsedNumber& number)
{
    Extended magnitude;
    if (!fastValue(number, magnitude))
        magnitude = slowValue(number);
    return finish(number, magnitude);
}

Extended readNumber(std::string_view text, char localeSeparator)
{
    return valueOf(parseNumber(text, localeSeparator, true));
}

Extended readLocaleNumber(std::string_view text, char localeSeparator)
{
    return valueOf(parseNumber(text, localeSeparator, false));
}

std::optional<Decimal> exactDecimal(const ParsedNumber& number)
{
    if (number.significant > 18 || number.fraction.size() > 18)
        return std::nullopt;
    return Decimal {number.negative, number.mantissa, static_cast<int>(number.fraction.size())};
}

// With a = round(A) and b = round(B) the nearest extended values of the
// decimals A and B, the written value is c = round(a + b), and
// |c - (A + B)| <= u (|A| + |B| + |A + B|) (1 + u) with u = 2^-64. Let D = A + B
// have nd digits and exponent X. If D has at most 15 significant digits and
// that error stays below 0.5 × 10^(X-15), c lies so close to D that rounding it
// to 15 digits gives D back, also where c falls just below a power of ten.
// In integers scaled by 10^k that bound is S × 10^15 < 2^62 × 10^(nd-1).
char* formatExactSum(char* p, const Decimal& a, const Decimal& b, bool plus)
{
    const int k = a.scale > b.scale ? a.scale : b.scale;
    uint64_t ma, mb;
    if (__builtin_mul_overflow(a.digits, kIntPowersOfTen[k - a.scale], &ma)
        || __builtin_mul_overflow(b.digits, kIntPowersOfTen[k - b.scale], &mb))
        return nullptr;
    using i128 = __int128;
    // Signs applied without branches: (x ^ -1) + 1 is -x.
    const i128 signA = -static_cast<i128>(a.negative), signB = -static_cast<i128>(b.negative);
    const i128 sum = ((i128(ma) ^ signA) - signA) + ((i128(mb) ^ signB) - signB);
    if (sum == 0) {
        // round(A) + round(-A) is exactly zero.
        *p = '+';
        p += static_cast<int>(plus);
        *p++ = '0';
        return p;
    }
    const bool negative = sum < 0;
    const u128 magnitude = static_cast<u128>(negative ? -sum : sum);
    if (magnitude >> 64 != 0)
        return nullptr;
    const uint64_t d = static_cast<uint64_t>(magnitude);
    // Digit count from the bit length: log10(2) ~ 1233 / 4096, corrected by one comparison.
    const int guess = ((64 - __builtin_clzll(d)) * 1233) >> 12;
    const int nd = guess + 1 - static_cast<int>(d < kIntPowersOfTen[guess]);
    const u128 spread = u128(ma) + mb + d;
    if (spread * kIntPowersOfTen[15] >= (u128(1) << 62) * kIntPowersOfTen[nd - 1])
        return nullptr;
    // Fixed notation straight from the integer: the digits with the point
    // before the last `scale` of them, trailing zeros of the fraction dropped.
    int scale = k;
    uint64_t digitsLeft = d;
    int count = nd;
    while (scale > 0 && digitsLeft % 10 == 0) {
        digitsLeft /= 10;
        --scale;
        --count;
    }
    const int whole = count - scale;
    if (count <= 15 && whole >= -3 && whole <= 15) {
        const u128 text = digitText16(digitsLeft) >> (8 * (16 - count));
        *p = negative ? '-' : '+';
        p += static_cast<int>(negative | plus);
        if (whole > 0) {
            store16(p, text);
            p[whole] = '.';
            store16(p + whole + 1, text >> (8 * whole));
            return p + whole + (scale > 0 ? scale + 1 : 0);
        }
        std::memcpy(p, "0.000000", 8);
        p += 2 - whole;
        store16(p, text);
        return p + count;
    }
    uint64_t r;
    if (nd <= 15) {
        r = d * kIntPowersOfTen[15 - nd];
    } else {
        const uint64_t q = kIntPowersOfTen[nd - 15];
        if (d % q != 0)
            return nullptr;
        r = d / q;
    }
    Digits g;
    setDigits(g, r, nd - 1 - k);
    return formatDigits(p, g, negative, plus);
}

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
    const ParsedNumber p = parseNumber(text, localeSeparator, false);
    return finish(p, slowValue(p));
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
