#include "core/Numbers.h"

#include "core/Errors.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

using namespace torvel;

namespace {

bool sameBits(Extended a, Extended b) { return std::memcmp(&a, &b, 10) == 0; }

std::string conversionMessage(std::string_view text, char separator, bool locale = false)
{
    try {
        if (locale)
            readLocaleNumber(text, separator);
        else
            readNumber(text, separator);
    } catch (const ConversionError& e) {
        return e.what();
    }
    return "(no error)";
}

struct ReadCase {
    const char* text;
    char separator;
    Extended value;
};

TEST(ReadNumber, AcceptsTheGrammar)
{
    const ReadCase cases[] = {
        {"10.5", ',', 10.5L},
        {"10.5", '.', 10.5L},
        {"5.", ',', 5},
        {".5", ',', 0.5L},
        {".", ',', 0},
        {".", '.', 0},
        {"-0", '.', 0},
        {"10,5", ',', 10.5L},
        {"+5", '.', 5},
        {"-2.25", ',', -2.25L},
        {"007", '.', 7},
        {"-.5", '.', -0.5L},
        {"+.", ',', 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readNumber(c.text, c.separator), c.value) << c.text << " with " << c.separator;
    EXPECT_TRUE(std::signbit(readNumber("-0", '.')));
}

TEST(ReadNumber, RejectsWhatIsNoNumber)
{
    struct Case {
        const char* text;
        char separator;
        const char* message;
    };
    const Case cases[] = {
        {"", ',', "'' is not a valid floating point value"},
        {"+", ',', "'+' is not a valid floating point value"},
        {"-", ',', "'-' is not a valid floating point value"},
        {"1-2", ',', "'1-2' is not a valid floating point value"},
        {"--5", ',', "'--5' is not a valid floating point value"},
        {"1.2.3", ',', "'1,2,3' is not a valid floating point value"},
        {"1.2.3", '.', "'1.2.3' is not a valid floating point value"},
        {"10,5", '.', "'10,5' is not a valid floating point value"},
        {"1.5,", ',', "'1,5,' is not a valid floating point value"},
        {"5+", '.', "'5+' is not a valid floating point value"},
        {"+-1", '.', "'+-1' is not a valid floating point value"},
        {"1e5", '.', "'1e5' is not a valid floating point value"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(conversionMessage(c.text, c.separator), c.message) << c.text;
}

TEST(ReadLocaleNumber, UsesTheLocaleSeparatorOnly)
{
    EXPECT_EQ(readLocaleNumber("2,25", ','), 2.25L);
    EXPECT_EQ(readLocaleNumber("2.25", '.'), 2.25L);
    EXPECT_EQ(readLocaleNumber("  -1,5  ", ','), -1.5L);
    EXPECT_EQ(readLocaleNumber("0", ','), 0);
    EXPECT_EQ(conversionMessage("2.25", ',', true), "'2.25' is not a valid floating point value");
    EXPECT_EQ(conversionMessage("2,25", '.', true), "'2,25' is not a valid floating point value");
    EXPECT_EQ(conversionMessage("", ',', true), "'' is not a valid floating point value");
    EXPECT_EQ(conversionMessage(" ", ',', true), "' ' is not a valid floating point value");
    EXPECT_EQ(conversionMessage("1 2", ',', true), "'1 2' is not a valid floating point value");
    EXPECT_EQ(conversionMessage("- 1", ',', true), "'- 1' is not a valid floating point value");
    // Only spaces may surround a number; a tab is not one.
    EXPECT_EQ(conversionMessage("\t1", ',', true), "'\t1' is not a valid floating point value");
}

TEST(ReadNumber, LongDigitStringsRoundToNearest)
{
    // Values checked against an exact rational model of 64-bit-mantissa rounding.
    EXPECT_EQ(writeNumber(readNumber("0.1234567890123456789012345", '.'), false), "0.123456789012346");
    EXPECT_EQ(writeNumber(readNumber("123456789012345678901234567890", '.'), false), "1.23456789012346E29");
    EXPECT_EQ(writeNumber(readNumber("000000000000000000000012.5", '.'), false), "12.5");
    EXPECT_EQ(writeNumber(readNumber("1.5000000000000000000000000000000000", '.'), false), "1.5");
    EXPECT_EQ(writeNumber(readNumber("99999.999999999999", '.'), false), "100000");
    EXPECT_EQ(writeNumber(readNumber("3.14159265358979323846", '.'), false), "3.14159265358979");
    EXPECT_EQ(writeNumber(readNumber("10.00000000000005", '.'), false), "10");
    EXPECT_EQ(writeNumber(readNumber("-0.000123456789012345678", '.'), false), "-0.000123456789012346");
    EXPECT_EQ(readNumber("18446744073709551615", '.'), 18446744073709551615.0L);
    EXPECT_EQ(readNumber("0.1", '.'), 0.1L);
    EXPECT_EQ(readNumber("0.3", ','), 0.3L);
}

TEST(ReadNumber, AValueBeyondTheRangeIsNoNumber)
{
    const std::string huge = "1" + std::string(5000, '0') + ".5";
    std::string expected = "1" + std::string(5000, '0') + ",5";
    EXPECT_EQ(conversionMessage(huge, ','), "'" + expected + "' is not a valid floating point value");
    // Far below the smallest value, a number reads as zero.
    EXPECT_EQ(readNumber("0." + std::string(6000, '0') + "1", '.'), 0);
}

struct WriteCase {
    Extended value;
    const char* text;
    const char* withPlus;
};

TEST(WriteNumber, FollowsTheOutputFormat)
{
    const WriteCase cases[] = {
        {12.75L, "12.75", "+12.75"},
        {2.50L, "2.5", "+2.5"},
        {10.0L, "10", "+10"},
        {-3, "-3", "-3"},
        {0, "0", "+0"},
        {-0.0L, "0", "+0"},
        {0.1L + 0.2L, "0.3", "+0.3"},
        {1.0L / 3, "0.333333333333333", "+0.333333333333333"},
        {0.0001L, "0.0001", "+0.0001"},
        {0.00009L, "9E-5", "+9E-5"},
        {1.5e20L, "1.5E20", "+1.5E20"},
        {-1.5e20L, "-1.5E20", "-1.5E20"},
        {-0.00009L, "-9E-5", "-9E-5"},
        {100, "100", "+100"},
        {1e14L, "100000000000000", "+100000000000000"},
        {999999999999999.0L, "999999999999999", "+999999999999999"},
        {1e15L, "1E15", "+1E15"},
        {1234567890123456.0L, "1.23456789012346E15", "+1.23456789012346E15"},
        {0.000123L, "0.000123", "+0.000123"},
        {1e-300L, "1E-300", "+1E-300"},
        {1e300L, "1E300", "+1E300"},
        {2.5e-10L, "2.5E-10", "+2.5E-10"},
        {std::numeric_limits<Extended>::denorm_min(), "3.64519953188247E-4951", "+3.64519953188247E-4951"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(writeNumber(c.value, false), c.text);
        EXPECT_EQ(writeNumber(c.value, true), c.withPlus);
    }
}

TEST(WriteNumber, RoundsAtFifteenDigitsHalfToEven)
{
    // Exact binary values with a 5 in the sixteenth digit.
    EXPECT_EQ(writeNumber(12345678901234.25L, false), "12345678901234.2");
    EXPECT_EQ(writeNumber(12345678901234.75L, false), "12345678901234.8");
    EXPECT_EQ(writeNumber(999999999999999.5L, false), "1E15");
    EXPECT_EQ(writeNumber(999999999999998.5L, false), "999999999999998");
    EXPECT_EQ(writeNumber(999999999999999.4L, false), "999999999999999");
    EXPECT_EQ(writeNumber(-999999999999999.5L, false), "-1E15");
}

TEST(WriteNumber, AroundTheNotationThresholds)
{
    EXPECT_EQ(writeNumber(readNumber("0.000099999999999999999", '.'), false), "0.0001");
    EXPECT_EQ(writeNumber(readNumber("0.00009999999999999", '.'), false), "9.999999999999E-5");
    EXPECT_EQ(writeNumber(readNumber("0.00010000000000001", '.'), false), "0.00010000000000001");
    EXPECT_EQ(writeNumber(readNumber("0.00001", '.'), false), "1E-5");
    EXPECT_EQ(writeNumber(readNumber("999999999999999.9", '.'), false), "1E15");
    EXPECT_EQ(writeNumber(readNumber("99999999999999.99", '.'), false), "100000000000000");
}

TEST(WriteNumber, CombinesInExtendedPrecision)
{
    EXPECT_EQ(writeNumber(readNumber("123.456", ',') + readLocaleNumber("-123,4", ','), false), "0.056");
    EXPECT_EQ(writeNumber(readNumber("123456789.123456", '.') + readNumber("-123456789.123455", '.'), false),
        "1.00000033853576E-6");
    EXPECT_EQ(writeNumber(readNumber("1.5", '.') + readNumber("-1.4", '.'), false), "0.1");
    EXPECT_EQ(writeNumber(readNumber("0.1", '.') + readNumber("0.2", '.'), false), "0.3");
}

TEST(WriteNumber, ANonFiniteValueIsAConversionError)
{
    const Extended inf = std::numeric_limits<Extended>::infinity();
    EXPECT_THROW(writeNumber(inf, false), ConversionError);
    EXPECT_THROW(writeNumber(-inf, true), ConversionError);
    EXPECT_THROW(writeNumber(std::numeric_limits<Extended>::quiet_NaN(), false), ConversionError);
    std::string out = "X";
    EXPECT_THROW(appendNumber(out, inf, false), ConversionError);
}

// The fast paths (integer mantissa reading, 128-bit digit generation) against
// strtold and printf over millions of values.
class Differential : public ::testing::Test {
protected:
    std::mt19937_64 rng {20240607};

    std::string randomDigits(int n)
    {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += static_cast<char>('0' + rng() % 10);
        return s;
    }

    std::string randomNumberText()
    {
        std::string s;
        switch (rng() % 4) {
        case 0:
            s += '-';
            break;
        case 1:
            s += '+';
            break;
        default:
            break;
        }
        const int shape = static_cast<int>(rng() % 8);
        if (shape == 5) {
            // Small numbers: long runs of leading fraction zeros around the exact power-of-ten limit.
            s += "0." + std::string(rng() % 30, '0') + randomDigits(1 + static_cast<int>(rng() % 19));
            return s;
        }
        const int intDigits = static_cast<int>(rng() % (shape == 0 ? 24 : 8));
        const int fracDigits = static_cast<int>(rng() % (shape == 1 ? 30 : 10));
        if (shape == 2)
            s += std::string(rng() % 12, '0');
        s += randomDigits(intDigits);
        if (fracDigits > 0 || rng() % 4 == 0) {
            s += '.';
            if (shape == 3)
                s += std::string(rng() % 8, '0');
            s += randomDigits(fracDigits);
            if (shape == 4)
                s += std::string(rng() % 12, '0');
        }
        if (intDigits == 0 && fracDigits == 0 && s.find('.') == std::string::npos)
            s += '0';
        return s;
    }

    // Any finite positive x87 value with its top bit set, in a window of binary exponents.
    Extended randomBits(int minExp, int maxExp)
    {
        const uint64_t mantissa = rng() | (1ULL << 63);
        const int e = minExp + static_cast<int>(rng() % static_cast<uint64_t>(maxExp - minExp + 1));
        return std::ldexp(static_cast<Extended>(mantissa), e - 63);
    }

    void expectSameText(Extended v)
    {
        const bool plus = (rng() & 1) != 0;
        const std::string fast = writeNumber(v, plus);
        const std::string slow = reference::writeNumber(v, plus);
        ASSERT_EQ(fast, slow) << "value " << static_cast<double>(v);
    }
};

TEST_F(Differential, ReadingMatchesStrtold)
{
    for (int i = 0; i < 1500000; ++i) {
        const std::string text = randomNumberText();
        const Extended fast = readNumber(text, '.');
        const Extended slow = reference::readLocaleNumber(text, '.');
        ASSERT_TRUE(sameBits(fast, slow)) << text;
    }
}

TEST_F(Differential, WritingMatchesPrintf)
{
    // Read decimals, and sums of them (cancellation).
    for (int i = 0; i < 600000; ++i) {
        const Extended a = readNumber(randomNumberText(), '.');
        expectSameText(a);
        expectSameText(a + readNumber(randomNumberText(), '.'));
    }
    // Arbitrary bit patterns over the whole fast window and beyond it.
    for (int i = 0; i < 1000000; ++i)
        expectSameText(randomBits(-24, 56) * ((rng() & 1) != 0 ? 1 : -1));
    for (int i = 0; i < 100000; ++i)
        expectSameText(randomBits(-16000, 16000));
    // Exact binary halves at the sixteenth digit: n + k/2^j with 16 digits in all.
    for (int i = 0; i < 200000; ++i) {
        const int j = 1 + static_cast<int>(rng() % 4);
        const int intDigits = 16 - j;
        const uint64_t low = 1;
        uint64_t n = low;
        for (int d = 1; d < intDigits; ++d)
            n *= 10;
        n += rng() % (9 * n);
        const Extended frac = std::ldexp(static_cast<Extended>(1 + 2 * (rng() % (1ULL << (j - 1)))), -j);
        expectSameText(static_cast<Extended>(n) + frac);
    }
    // Neighbours of every power of ten and of the half-way points below them.
    for (int k = -30; k <= 30; ++k) {
        Extended p = std::pow(static_cast<Extended>(10), static_cast<Extended>(k));
        for (Extended centre : {p, p * (1 - 5e-16L), p * (1 - 5e-15L)}) {
            Extended v = centre;
            for (int step = 0; step < 2000; ++step)
                v = std::nextafter(v, static_cast<Extended>(0));
            for (int step = 0; step < 4000; ++step) {
                expectSameText(v);
                v = std::nextafter(v, std::numeric_limits<Extended>::infinity());
            }
        }
    }
}

// The exact decimal road of the tools against the extended values: wherever it
// answers, it must write what formatNumber writes for round(round(A) + round(B)).
TEST_F(Differential, ExactSumsMatchExtendedArithmetic)
{
    const auto shortText = [&] {
        // Coordinates as programs hold them: a few integer digits, up to 6 decimals, sometimes more.
        std::string s = (rng() & 1) != 0 ? "-" : "";
        const int shape = static_cast<int>(rng() % 10);
        const int intDigits = shape == 0 ? static_cast<int>(rng() % 16) : static_cast<int>(rng() % 5);
        const int fracDigits = shape == 1 ? static_cast<int>(rng() % 19) : static_cast<int>(rng() % 7);
        s += intDigits == 0 ? "0" : randomDigits(intDigits);
        if (fracDigits > 0)
            s += "." + (shape == 2 ? std::string(rng() % 6, '0') : "") + randomDigits(fracDigits);
        return s;
    };
    size_t answered = 0, total = 0;
    char fast[kMaxNumberText], slow[kMaxNumberText];
    const auto check = [&](const std::string& at, const std::string& bt, bool mirror) {
        const ParsedNumber pa = parseNumber(at, '.', true), pb = parseNumber(bt, '.', false);
        const auto a = exactDecimal(pa), b = exactDecimal(pb);
        if (!a || !b)
            return;
        const bool plus = (rng() & 1) != 0;
        const Extended va = valueOf(pa);
        const Decimal addend = mirror ? Decimal {!a->negative, 2 * a->digits, a->scale} : *b;
        const Extended result = mirror ? va + (-2 * va) : va + valueOf(pb);
        ++total;
        const char* end = formatExactSum(fast, *a, addend, plus);
        if (end == nullptr)
            return;
        ++answered;
        const char* slowEnd = formatNumber(slow, result, plus);
        const std::string expected(static_cast<const char*>(slow), slowEnd);
        ASSERT_EQ(std::string(static_cast<const char*>(fast), end), expected)
            << at << (mirror ? " mirrored" : " + " + bt);
    };
    for (int i = 0; i < 1500000; ++i) {
        const std::string a = shortText();
        check(a, shortText(), false);
        check(a, a.front() == '-' ? a.substr(1) : "-" + a, false);
        if (i % 4 == 0)
            check(a, "0", true);
    }
    // Near cancellations: B = -(A - a few units of the last decimal).
    const auto withDecimals = [](uint64_t v, int decimals) {
        std::string t = std::to_string(v);
        if (t.size() <= static_cast<size_t>(decimals))
            t.insert(0, static_cast<size_t>(decimals) + 1 - t.size(), '0');
        t.insert(t.size() - static_cast<size_t>(decimals), ".");
        return t;
    };
    for (int i = 0; i < 300000; ++i) {
        const int decimals = 1 + static_cast<int>(rng() % 9);
        const uint64_t v = 3 + rng() % 1000000000000ULL;
        check(withDecimals(v, decimals), "-" + withDecimals(v - rng() % 3, decimals), false);
    }
    // Most sums of program coordinates take the decimal road.
    EXPECT_GT(answered, total * 7 / 10);
}

} // namespace
