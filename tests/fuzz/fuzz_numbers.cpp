// The number reader and writer against the slow conversions: reading by the
// grammar and strtold, to the bit, with the same message for no number;
// writing against printf, byte for byte, in a buffer no larger than promised;
// write, read and write again gives the same text; and the exact decimal sum
// the coordinate tools take writes what the extended sum would.

#include "FuzzSupport.h"
#include "NaiveNumbers.h"

#include "core/Errors.h"
#include "core/Numbers.h"

#include <memory>

using namespace torvel;
using namespace torvel::fuzz;

namespace {

// Reader and reference agree on the value or on the message.
template <class Read> void checkRead(std::string_view text, char separator, bool pointIsSeparator, Read&& read)
{
    const NaiveNumber expected = naiveRead(text, separator, pointIsSeparator);
    try {
        const Extended got = read();
        FUZZ_CHECK(expected.value && sameValue(got, *expected.value),
            shown(text) + " reads " + shownValue(got) + ", expected "
                + (expected.value ? shownValue(*expected.value) : expected.message));
    } catch (const ConversionError& e) {
        FUZZ_CHECK(!expected.value && e.what() == asWhat(expected.message),
            shown(text) + ": " + e.what() + ", expected "
                + (expected.value ? shownValue(*expected.value) : expected.message));
    }
}

// Written in a heap buffer of exactly the promised size, where an overrun shows.
std::string formatted(Extended value, bool plus)
{
    const auto buffer = std::make_unique<char[]>(kMaxNumberText);
    const char* end = formatNumber(buffer.get(), value, plus);
    return std::string(buffer.get(), static_cast<size_t>(end - buffer.get()));
}

void checkWrite(Extended value, bool plus)
{
    std::string expected;
    try {
        expected = reference::writeNumber(value, plus);
    } catch (const ConversionError& e) {
        expected = e.what();
    }
    std::string got;
    try {
        got = formatted(value, plus);
        FUZZ_CHECK(got == writeNumber(value, plus), got);
    } catch (const ConversionError& e) {
        got = e.what();
    }
    FUZZ_CHECK(got == expected, shownValue(value) + " writes " + got + ", printf gives " + expected);

    // Fixed notation reads back, and the value read writes the same text.
    const Extended magnitude = std::fabs(value);
    if (std::isfinite(value) && magnitude >= 0.0001L && magnitude < 1e15L) {
        const Extended back = readNumber(got, '.');
        FUZZ_CHECK(formatted(back, plus) == got, got + " read back writes " + formatted(back, plus));
    }
}

// An x87 value from ten bytes, made a valid encoding: the explicit top bit of
// the mantissa set exactly where the exponent is not zero.
Extended valueFromBytes(Input& in)
{
    unsigned char bytes[sizeof(Extended)] = {};
    for (size_t i = 0; i < 10; ++i)
        bytes[i] = in.byte();
    const bool denormal = (bytes[8] | (bytes[9] & 0x7f)) == 0;
    bytes[7] = denormal ? bytes[7] & 0x7f : bytes[7] | 0x80;
    Extended v;
    std::memcpy(&v, bytes, sizeof v);
    return v;
}

void checkExactSum(std::string_view a, std::string_view b, char separator, bool plus)
{
    std::optional<ParsedNumber> pa, pb;
    try {
        pa = parseNumber(a, separator, true);
        pb = parseNumber(b, separator, false);
    } catch (const ConversionError&) {
        return;
    }
    const std::optional<Decimal> da = exactDecimal(*pa), db = exactDecimal(*pb);
    if (!da || !db)
        return;
    const Extended va = valueOf(*pa), vb = valueOf(*pb);
    const auto buffer = std::make_unique<char[]>(kMaxNumberText);
    if (const char* end = formatExactSum(buffer.get(), *da, *db, plus)) {
        const std::string exact(buffer.get(), static_cast<size_t>(end - buffer.get()));
        FUZZ_CHECK(exact == formatted(va + vb, plus),
            shown(a) + " + " + shown(b) + ": exactly " + exact + ", extended " + formatted(va + vb, plus));
    }
    // Mirroring: old + (-2 × old), -2 × old being exact.
    const Decimal twice {!da->negative, 2 * da->digits, da->scale};
    if (const char* end = formatExactSum(buffer.get(), *da, twice, plus)) {
        const std::string exact(buffer.get(), static_cast<size_t>(end - buffer.get()));
        FUZZ_CHECK(exact == formatted(va + (-2 * va), plus), shown(a) + " mirrored: exactly " + exact);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in(data, size);
    const uint8_t mode = in.byte();
    const char separator = mode & 1 ? ',' : '.';
    const bool plus = (mode & 2) != 0;

    // Written values: any bit pattern, then the values of the texts below.
    const Extended raw = valueFromBytes(in);
    checkWrite(raw, plus);
    checkWrite(-raw, !plus);

    const std::string_view a = in.text();
    const std::string_view b = in.rest();
    for (const std::string_view text : {a, b}) {
        checkRead(text, separator, true, [&] { return readNumber(text, separator); });
        checkRead(text, separator, false, [&] { return readLocaleNumber(text, separator); });
        checkRead(text, separator, false, [&] { return reference::readLocaleNumber(text, separator); });
        try {
            const Extended v = readNumber(text, separator);
            checkWrite(v, plus);
            checkWrite(v * raw, plus);
            checkWrite(v / 7, plus);
        } catch (const ConversionError&) { }
    }
    checkExactSum(a, b, separator, plus);
    return 0;
}
