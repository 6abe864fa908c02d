#include "core/GoToTarget.h"

#include "core/Blank.h"

namespace torvel {

namespace {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

size_t skipBlanks(std::string_view s, size_t i)
{
    while (i < s.size() && isBlank(static_cast<unsigned char>(s[i])))
        ++i;
    return i;
}

size_t skipDigits(std::string_view s, size_t i)
{
    while (i < s.size() && isDigit(s[i]))
        ++i;
    return i;
}

// Digits without their leading zeros; all zeros read as a single 0.
std::string_view significant(std::string_view digits)
{
    const size_t first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? digits.substr(digits.size() - 1) : digits.substr(first);
}

std::string lineCountText(size_t count) { return count == 1 ? "1 linha" : std::to_string(count) + " linhas"; }

} // namespace

std::string_view blockNumberOf(std::string_view line)
{
    size_t i = skipBlanks(line, 0);
    if (i < line.size() && line[i] == '/')
        i = skipBlanks(line, skipDigits(line, i + 1));
    if (i >= line.size() || (line[i] != 'N' && line[i] != 'n'))
        return {};
    const size_t end = skipDigits(line, i + 1);
    if (end == i + 1)
        return {};
    return significant(line.substr(i + 1, end - i - 1));
}

GoToResult resolveGoTo(const ProgramText& text, std::string_view typed)
{
    const std::string_view t = trimmed(typed);
    const bool block = !t.empty() && (t[0] == 'N' || t[0] == 'n');
    const std::string_view digits = block ? trimmed(t.substr(1)) : t;
    if (digits.empty() || skipDigits(digits, 0) != digits.size())
        return {-1, "Digite um número de linha ou um número de bloco como N1230."};
    const std::string_view number = significant(digits);
    if (block) {
        const auto& lines = text.lines();
        for (size_t i = 0; i < lines.size(); ++i)
            if (blockNumberOf(lines[i]) == number)
                return {static_cast<long long>(i), {}};
        return {-1, "Bloco N" + std::string(number) + " não encontrado."};
    }
    // More digits than any line count has: no such line, and no overflow.
    const std::string count = std::to_string(text.count());
    if (number == "0" || number.size() > count.size() || (number.size() == count.size() && number > count))
        return {
            -1, "Linha " + std::string(number) + " inexistente: o programa tem " + lineCountText(text.count()) + "."};
    return {std::stoll(std::string(number)) - 1, {}};
}

} // namespace torvel
