#include "core/Encoding.h"

#include <array>

namespace torvel {

namespace {

// Characters of the bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kHigh1252 = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
    0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013,
    0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes the sequence at `i`; nullopt when it is not strict UTF-8.
std::optional<char32_t> decodeUtf8(std::string_view s, size_t& i)
{
    const auto lead = static_cast<unsigned char>(s[i]);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    size_t n;
    char32_t c;
    char32_t min;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 1, c = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 2, c = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 3, c = lead & 0x07, min = 0x10000;
    } else {
        return std::nullopt;
    }
    if (s.size() - i <= n)
        return std::nullopt;
    for (size_t k = 1; k <= n; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return std::nullopt;
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return std::nullopt;
    i += n + 1;
    return c;
}

} // namespace

bool isValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        // ASCII runs are the common case in part programs.
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        if (!decodeUtf8(bytes, i))
            return false;
    }
    return true;
}

std::string windows1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else if (b < 0xA0)
            appendUtf8(out, kHigh1252[b - 0x80]);
        else
            appendUtf8(out, b);
    }
    return out;
}

std::string mixedToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    size_t i = 0;
    while (i < bytes.size()) {
        const size_t start = i;
        if (decodeUtf8(bytes, i)) {
            out.append(bytes.substr(start, i - start));
        } else {
            const auto b = static_cast<unsigned char>(bytes[i++]);
            appendUtf8(out, b < 0xA0 ? kHigh1252[b - 0x80] : b);
        }
    }
    return out;
}

std::optional<unsigned char> windows1252Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (size_t i = 0; i < kHigh1252.size(); ++i)
        if (kHigh1252[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

std::string toDisplayUtf8(std::string_view bytes, bool utf8)
{
    return utf8 ? std::string(bytes) : windows1252ToUtf8(bytes);
}

std::optional<std::string> fromDisplayUtf8(std::string_view utf8, bool utf8Mode)
{
    if (utf8Mode) {
        if (!isValidUtf8(utf8))
            return std::nullopt;
        return std::string(utf8);
    }
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const auto c = decodeUtf8(utf8, i);
        if (!c)
            return std::nullopt;
        const auto b = windows1252Byte(*c);
        if (!b)
            return std::nullopt;
        out += static_cast<char>(*b);
    }
    return out;
}

std::string typedToProgram(std::string_view utf8, bool utf8Mode)
{
    auto bytes = fromDisplayUtf8(utf8, utf8Mode);
    return bytes ? std::move(*bytes) : std::string(utf8);
}

} // namespace torvel
