// The coordinate rewrite against the rules written out plainly: one letter at
// a time, a character at a time, every number read by the grammar and strtold,
// combined in extended precision and written by printf. The single pass over
// several letters, its exact decimal road and its vector scanner must give the
// same line, the same answer whether a word was rewritten, and the same error,
// the first letter's in turn; reading the last coordinate of a letter likewise.

#include "FuzzSupport.h"
#include "NaiveNumbers.h"

#include "core/CoordinateRewrite.h"
#include "core/Errors.h"

#include <functional>
#include <vector>

using namespace torvel;
using namespace torvel::fuzz;

namespace {

struct NaiveError {
    std::string message;
};

bool naiveIsNumberChar(char c) { return std::string_view("+,-.0123456789").find(c) != std::string_view::npos; }
bool naiveIsCommentChar(char c) { return std::string_view("#%(){}").find(c) != std::string_view::npos; }

// One letter of the rewrite; counts the words with a number in `words`.
std::string naiveRewrite(std::string_view line, char letter, const std::function<Extended(Extended)>& operation,
    bool plus, char separator, int& words)
{
    std::string out, number;
    bool collecting = false, comment = false, plusFlag = plus;
    const auto finish = [&] {
        collecting = false;
        out += letter;
        if (number.empty())
            return;
        ++words;
        if (number.find('+') != std::string::npos)
            plusFlag = true;
        const NaiveNumber old = naiveRead(number, separator, true);
        if (!old.value)
            throw NaiveError {old.message};
        try {
            out += reference::writeNumber(operation(*old.value), plusFlag);
        } catch (const ConversionError& e) {
            throw NaiveError {e.what()};
        }
    };
    for (const char c : line) {
        if (!comment && naiveIsCommentChar(c)) {
            if (collecting)
                finish();
            comment = true;
        }
        if (comment) {
            out += c;
        } else if (naiveIsNumberChar(c)) {
            (collecting ? number : out) += c;
        } else {
            if (collecting)
                finish();
            if (c == letter) {
                collecting = true;
                number.clear();
            } else {
                out += c;
            }
        }
    }
    if (collecting)
        finish();
    return out;
}

// The number text of the letter's last word before the first comment character.
std::string naiveReadCoordinate(std::string_view line, char letter, char separator)
{
    std::string found, number;
    bool collecting = false;
    for (const char c : line) {
        if (naiveIsCommentChar(c))
            break;
        if (naiveIsNumberChar(c)) {
            if (collecting)
                number += c;
            continue;
        }
        if (collecting)
            found = number;
        collecting = c == letter;
        number.clear();
    }
    if (collecting)
        found = number;
    for (char& c : found)
        if (c == '.')
            c = separator;
    return found;
}

// Tools pass X, Y, Z, I and J; the others try the corners of the rules.
constexpr std::string_view kLetters = "XYZIJXYZIJAE+.(x";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in(data, size);
    const uint8_t mode = in.byte();
    const char separator = mode & 1 ? ',' : '.';
    const bool plus = (mode & 2) != 0;
    const size_t count = 1 + (mode >> 2) % 3;
    std::vector<Operand> operands(count);
    std::vector<LetterOperation> letters(count);
    for (size_t k = 0; k < count; ++k) {
        const uint8_t choice = in.byte();
        operands[k].set(in.text());
        letters[k].letter = kLetters[choice % kLetters.size()];
        letters[k].operation.kind = static_cast<CoordinateOperation::Kind>((choice >> 4) % 3);
        letters[k].operation.operand = &operands[k];
    }
    const std::string_view line = in.rest();

    // The reference: each letter in turn on the result of the one before, the
    // operand read at each word that uses it.
    std::string expected(line);
    std::optional<std::string> expectedError;
    int words = 0;
    try {
        for (const LetterOperation& l : letters) {
            const auto operation = [&](Extended old) -> Extended {
                using Kind = CoordinateOperation::Kind;
                if (l.operation.kind == Kind::Mirror)
                    return old + (-2 * old);
                const NaiveNumber operand = naiveRead(l.operation.operand->text(), separator, false);
                if (!operand.value)
                    throw NaiveError {operand.message};
                return l.operation.kind == Kind::Add ? old + *operand.value : old - *operand.value;
            };
            expected = naiveRewrite(expected, l.letter, operation, plus, separator, words);
        }
    } catch (const NaiveError& e) {
        expectedError = e.message;
    }

    std::string got = "kept:";
    try {
        const bool rewritten = rewriteCoordinates(line, letters, plus, separator, got);
        FUZZ_CHECK(!expectedError && got == "kept:" + expected && rewritten == (words > 0),
            shown(line) + " gives " + shown(got) + ", the rules " + shown(expected)
                + (expectedError ? " (error)" : ""));
    } catch (const ConversionError& e) {
        FUZZ_CHECK(expectedError && asWhat(*expectedError) == e.what(),
            shown(line) + ": " + e.what() + ", the rules " + (expectedError ? *expectedError : shown(expected)));
    }

    // The first letter alone through the plain one-letter rewrite.
    const LetterOperation& first = letters[0];
    words = 0;
    std::optional<std::string> single;
    try {
        const auto operation = [&](Extended old) { return first.operation.apply(old, separator); };
        single = naiveRewrite(line, first.letter, operation, plus, separator, words);
    } catch (const NaiveError&) {
    } catch (const ConversionError&) { }
    try {
        const std::string one = rewriteCoordinates(
            line, first.letter, [&](Extended old) { return first.operation.apply(old, separator); }, plus, separator);
        FUZZ_CHECK(single && one == *single, shown(line) + " gives " + shown(one));
    } catch (const ConversionError&) {
        FUZZ_CHECK(!single, shown(line) + " fails, the rules give " + shown(single.value_or("")));
    }

    for (const LetterOperation& l : letters)
        FUZZ_CHECK(readCoordinate(line, l.letter, separator) == naiveReadCoordinate(line, l.letter, separator),
            shown(line) + " letter " + l.letter + ": " + shown(readCoordinate(line, l.letter, separator)));
    return 0;
}
