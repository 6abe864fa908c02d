#include "core/RenumberTool.h"

#include "core/Blank.h"

#include <charconv>
#include <cstring>

namespace torvel {

namespace {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The counter wraps instead of overflowing, whatever start and step it is given.
long long wrappingAdd(long long a, long long b)
{
    return static_cast<long long>(static_cast<unsigned long long>(a) + static_cast<unsigned long long>(b));
}

// A few digits compared in place: a library call would cost more than the comparison.
bool sameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
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

    const bool sameDigits = oldDigits.size() == zeros + number.size() && sameText(oldDigits.substr(zeros), number)
        && oldDigits.find_first_not_of('0') >= zeros;
    // Same word at the very start: the line would come out as it was.
    if (word == 0 && sameDigits)
        return LineAction::Keep;

    // Written in place, the short parts byte by byte: this runs on every numbered line of
    // long programs, where a library call per part costs more than the part. Room is left
    // so that most lines find the buffer long enough, without a fill.
    const size_t size = 1 + zeros + number.size() + word + (n - end);
    if (out.size() < size)
        out.resize(size + 64);
    char* d = out.data();
    *d++ = 'N';
    for (size_t k = 0; k < zeros; ++k)
        *d++ = '0';
    for (char c : number)
        *d++ = c;
    for (size_t k = 0; k < word; ++k)
        *d++ = line[k];
    if (n > end)
        std::memcpy(d, line.data() + end, n - end);
    out.resize(size);
    // Other digits differ however the ends are trimmed: a digit run ends at the blanks
    // moved behind it or at the old text behind the word, never at a digit.
    return sameDigits ? LineAction::Replace : LineAction::Rewrite;
}

} // namespace torvel
