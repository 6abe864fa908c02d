// The settings reader and editor: reading any bytes never fails; a key
// written reads back as written (blanks at its ends and enclosing quotes
// dropped, as the reader drops them); every other key reads as before; the
// bytes of every other line stay. Integers against a plain reading.

#include "FuzzSupport.h"

#include "core/Blank.h"
#include "core/IniText.h"
#include "core/Settings.h"

#include <algorithm>
#include <array>
#include <climits>

using namespace torvel;
using namespace torvel::fuzz;

namespace {

// The names the program reads and writes, and a few that it does not.
constexpr std::array<std::pair<const char*, const char*>, 26> kKeys = {{
    {"CorA", "Valor"},
    {"CorB", "Valor"},
    {"CorC", "Valor"},
    {"CorF", "Valor"},
    {"CorG", "Valor"},
    {"CorI", "Valor"},
    {"CorJ", "Valor"},
    {"CorK", "Valor"},
    {"CorM", "Valor"},
    {"CorN", "Valor"},
    {"CorR", "Valor"},
    {"CorS", "Valor"},
    {"CorT", "Valor"},
    {"CorX", "Valor"},
    {"CorY", "Valor"},
    {"CorZ", "Valor"},
    {"Cor1", "Valor"},
    {"Cor2", "Valor"},
    {"Cor3", "Valor"},
    {"FONTE", "TIPO"},
    {"FONTE", "TAMANHO"},
    {"corx", "VALOR"},
    {"Recentes", "Arquivo1"},
    {"Recentes", "Arquivo2"},
    {"a", "b"},
    {"FONTE", "Valor"},
}};

// Decimal with an optional sign, or hexadecimal after "0x" or "$" spelling the
// 32-bit word; blanks and tabs around.
std::optional<int32_t> naiveInteger(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.starts_with("$")) {
        base = 16;
        s.remove_prefix(1);
    } else if (s.starts_with("0x") || s.starts_with("0X")) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return std::nullopt;
    const std::string digits(s);
    if (digits.find_first_not_of(base == 16 ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
        return std::nullopt;
    const std::string significant = digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
    if (significant.size() > (base == 16 ? 8u : 10u))
        return std::nullopt;
    const unsigned long long v = significant.empty() ? 0 : std::stoull(significant, nullptr, base);
    if (base == 16)
        return static_cast<int32_t>(negative ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v));
    const long long signedValue = negative ? -static_cast<long long>(v) : static_cast<long long>(v);
    if (signedValue < INT32_MIN || signedValue > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(signedValue);
}

bool sameName(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// What the reader gives for a written value: no line breaks, no blanks at the
// ends, and no quotes that enclose the whole.
std::string readBack(std::string_view written)
{
    std::string clean;
    for (const char c : written)
        if (c != '\r' && c != '\n')
            clean += c;
    std::string_view v = trimmed(clean);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in(data, size);
    const size_t which = in.below(kKeys.size());
    const std::string_view value = in.text();
    const std::string_view integer = in.text();
    const std::string bytes(in.rest());

    const auto got = parseIniInteger(std::string(integer));
    const auto expected = naiveInteger(integer);
    FUZZ_CHECK(got == expected, shown(integer) + " reads " + (got ? std::to_string(*got) : "nothing"));

    IniText ini(bytes);
    std::array<std::optional<std::string>, kKeys.size()> values;
    for (size_t k = 0; k < kKeys.size(); ++k)
        values[k] = ini.value(kKeys[k].first, kKeys[k].second);

    const auto [section, key] = kKeys[which];
    ini.set(section, key, value);
    const std::string& after = ini.bytes();
    const std::optional<std::string> back = ini.value(section, key);
    FUZZ_CHECK(back == readBack(value),
        shown(bytes) + ": " + section + "/" + key + " written " + shown(value) + " reads "
            + (back ? shown(*back) : "nothing") + " from " + shown(after));
    for (size_t k = 0; k < kKeys.size(); ++k) {
        const bool same = sameName(kKeys[k].first, section) && sameName(kKeys[k].second, key);
        if (!same)
            FUZZ_CHECK(ini.value(kKeys[k].first, kKeys[k].second) == values[k],
                shown(bytes) + ": writing " + section + "/" + key + " changed " + kKeys[k].first + "/" + kKeys[k].second
                    + " in " + shown(after));
    }

    // Only one line changed or came in: what differs lies within one line of the old bytes.
    size_t prefix = 0;
    while (prefix < bytes.size() && prefix < after.size() && bytes[prefix] == after[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < bytes.size() - prefix && suffix < after.size() - prefix
        && bytes[bytes.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const std::string_view removed = std::string_view(bytes).substr(prefix, bytes.size() - prefix - suffix);
    FUZZ_CHECK(removed.find('\n') == std::string_view::npos,
        shown(bytes) + " lost " + shown(removed) + " writing " + section + "/" + key + ": " + shown(after));

    // Writing the same again changes nothing, for a value that reads back as written.
    if (readBack(value) != value)
        return 0;
    IniText twice(after);
    twice.set(section, key, value);
    FUZZ_CHECK(twice.bytes() == after, shown(after) + " changed by writing again: " + shown(twice.bytes()));
    return 0;
}
