#include "core/RenumberTool.h"

#include "core/Blank.h"

#include <charconv>

namespace torvel {

namespace {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The counter wraps instead of overflowing, whatever start and step it is given.
long long wrappingAdd(long long a, long long b)
{
    return static_cast<long long>(static_cast<unsigned long long>(a) + static_cast<unsigned long long>(b));
}

// Digits without their leading zeros; all zeros read as a single 0.
std::string_view significant(std::string_view digits)
{
    const size_t first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? digits.substr(digits.size() - 1) : digits.substr(first);
}

} // namespace

std::string RenumberTool::progressCaption() const { return "Executando a função editar número de bloco..."; }

std::string RenumberTool::describe() const
{
    std::string d = "Renumerado número de blocos do arquivo e/ou definido o número de digitos significativos ";
    if (options_.digitsOn)
        d += "\r\nNúmero de dígitos significativos aplicada na função = " + std::to_string(options_.width);
    if (options_.renumberOn) {
        d += "\r\nNúmero do bloco inicial para a função = " + std::to_string(options_.start);
        d += "\r\nValor do incremento de bloco para a função = " + std::to_string(options_.step);
    }
    return d;
}

void RenumberTool::begin() { counter_ = wrappingAdd(options_.start, -options_.step); }

LineAction RenumberTool::apply(std::string_view line, std::string& out)
{
    const size_t n = line.size();
    size_t word = 0;
    while (word < n && isBlank(static_cast<unsigned char>(line[word])))
        ++word;
    if (word == n || line[word] != 'N')
        return LineAction::Keep;
    size_t end = word + 1;
    while (end < n && isDigit(line[end]))
        ++end;
    if (end == word + 1)
        return LineAction::Keep;
    const std::string_view oldDigits = line.substr(word + 1, end - word - 1);

    char buffer[24];
    std::string_view number;
    if (options_.renumberOn) {
        counter_ = wrappingAdd(counter_, options_.step);
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, counter_);
        number = std::string_view(buffer, static_cast<size_t>(result.ptr - buffer));
    } else {
        number = significant(oldDigits);
    }
    const long long width = options_.digitsOn ? options_.width : 0;
    const size_t zeros = width > static_cast<long long>(number.size()) ? static_cast<size_t>(width) - number.size() : 0;

    // Same word at the very start: the line would come out as it was.
    if (word == 0 && oldDigits.size() == zeros + number.size() && oldDigits.substr(zeros) == number
        && oldDigits.find_first_not_of('0') >= zeros)
        return LineAction::Keep;

    out.clear();
    out.reserve(1 + zeros + number.size() + n - (end - word));
    out.push_back('N');
    out.append(zeros, '0');
    out.append(number);
    out.append(line.substr(0, word));
    out.append(line.substr(end));
    return LineAction::Replace;
}

} // namespace torvel
