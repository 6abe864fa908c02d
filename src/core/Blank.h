#pragma once

#include <string_view>

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

// Exact, case-sensitive, leftmost; an empty search text never occurs.
constexpr size_t findText(std::string_view line, std::string_view what)
{
    if (what.empty())
        return std::string_view::npos;
    return line.find(what);
}

constexpr bool holdsText(std::string_view line, std::string_view what)
{
    return findText(line, what) != std::string_view::npos;
}

} // namespace torvel
