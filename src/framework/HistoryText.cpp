#include "framework/HistoryText.h"

namespace {

// Length of a well-formed UTF-8 sequence at `i`, or 0.
size_t utf8Length(std::string_view s, size_t i)
{
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    size_t n = 0;
    if (c >= 0xC2 && c <= 0xDF)
        n = 2;
    else if (c >= 0xE0 && c <= 0xEF)
        n = 3;
    else if (c >= 0xF0 && c <= 0xF4)
        n = 4;
    else
        return 0;
    if (i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
    // Overlong forms and surrogates are not UTF-8.
    if (c == 0xE0 && b(i + 1) < 0xA0)
        return 0;
    if (c == 0xED && b(i + 1) > 0x9F)
        return 0;
    if (c == 0xF0 && b(i + 1) < 0x90)
        return 0;
    if (c == 0xF4 && b(i + 1) > 0x8F)
        return 0;
    return n;
}

// Windows-1252 in 0x80..0x9F; undefined codes keep their C1 value.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
    0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QString historyText(std::string_view bytes)
{
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += QChar(static_cast<char16_t>(c));
            ++i;
        } else if (const size_t n = utf8Length(bytes, i)) {
            out += QString::fromUtf8(bytes.data() + i, static_cast<qsizetype>(n));
            i += n;
        } else {
            out += c < 0xA0 ? QChar(kCp1252High[c - 0x80]) : QChar(static_cast<char16_t>(c));
            ++i;
        }
    }
    return out;
}
