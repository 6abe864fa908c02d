#pragma once

#include <cstring>
#include <string_view>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace torvel {

// Blank is every code from 0 to 32; one definition for all tools and the write-back rule.
constexpr bool isBlank(unsigned char c) { return c <= 32; }

constexpr std::string_view trimmed(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && isBlank(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && isBlank(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

constexpr bool isBlankOnly(std::string_view s) { return trimmed(s).empty(); }

// Exact, case-sensitive, leftmost; an empty search text never occurs. Lines are short and
// every line of a long program is searched, so the first byte is looked for sixteen at a
// time in place rather than through a library call per line.
inline size_t findText(std::string_view line, std::string_view what)
{
    if (what.empty() || what.size() > line.size())
        return std::string_view::npos;
    const char* const base = line.data();
    const size_t lastStart = line.size() - what.size();
    const char first = what[0];
    auto restMatches = [&](size_t at) { return std::memcmp(base + at + 1, what.data() + 1, what.size() - 1) == 0; };
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i firsts = _mm_set1_epi8(first);
    for (; i + 16 <= line.size(); i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        for (auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, firsts))); hits; hits &= hits - 1) {
            const size_t at = i + static_cast<size_t>(__builtin_ctz(hits));
            if (at > lastStart)
                return std::string_view::npos;
            if (restMatches(at))
                return at;
        }
    }
#endif
    for (; i <= lastStart; ++i)
        if (base[i] == first && restMatches(i))
            return i;
    return std::string_view::npos;
}

inline bool holdsText(std::string_view line, std::string_view what)
{
    return findText(line, what) != std::string_view::npos;
}

} // namespace torvel
