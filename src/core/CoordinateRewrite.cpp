#include "core/CoordinateRewrite.h"

#include "core/Errors.h"

#include <array>
#include <cstring>

namespace torvel {

namespace {

constexpr auto kCommentTable = [] {
    std::array<unsigned char, 256> t {};
    for (int c = 0; c < 256; ++c)
        t[static_cast<size_t>(c)] = isCommentChar(static_cast<char>(c)) ? 1 : 0;
    return t;
}();

// The next comment character or one of up to three letters at or after i.
// The test has no branch of its own, so that the loop runs through the many
// digits, blanks and other letters of a line without mispredictions.
size_t nextStop(std::string_view line, size_t i, char a, char b, char c)
{
    const size_t n = line.size();
    const char* s = line.data();
    for (; i < n; ++i) {
        const char ch = s[i];
        if (kCommentTable[static_cast<unsigned char>(ch)] | (ch == a) | (ch == b) | (ch == c))
            break;
    }
    return i;
}

size_t numberEnd(std::string_view line, size_t from)
{
    while (from < line.size() && isNumberChar(line[from]))
        ++from;
    return from;
}

// Finishing a collected number: a letter alone stays alone; a "+" sets the
// flag for the rest of the line; otherwise the new value is written.
void finishNumber(std::string_view number, char letter, NumberOperation operation, bool& plusFlag, char localeSeparator,
    std::string& out)
{
    out += letter;
    if (number.empty())
        return;
    if (number.find('+') != std::string_view::npos)
        plusFlag = true;
    appendNumber(out, operation(readNumber(number, localeSeparator)), plusFlag);
}

// Index of c among the letters, or -1.
int letterIndex(char c, std::span<const LetterOperation> letters)
{
    for (size_t k = 0; k < letters.size(); ++k) {
        if (letters[k].letter == c)
            return static_cast<int>(k);
    }
    return -1;
}

bool distinctLetters(std::span<const LetterOperation> letters)
{
    for (size_t k = 0; k < letters.size(); ++k) {
        if (letterIndex(letters[k].letter, letters.first(k)) >= 0)
            return false;
    }
    return true;
}

void oneByOne(
    std::string_view line, std::span<const LetterOperation> letters, bool plus, char localeSeparator, std::string& out)
{
    std::string current(line), next;
    for (const auto& l : letters) {
        next.clear();
        rewriteCoordinates(current, l.letter, l.operation, plus, localeSeparator, next);
        current.swap(next);
    }
    out += current;
}

// Writes straight into out's memory: the text keeps room for the rest of the
// line plus one number at every word.
void together(
    std::string_view line, std::span<const LetterOperation> letters, bool plus, char localeSeparator, std::string& out)
{
    bool plusFlags[3];
    for (size_t k = 0; k < letters.size(); ++k)
        plusFlags[k] = plus;
    const size_t base = out.size();
    out.resize(base + line.size() + 2 * kMaxNumberText);
    size_t at = base;
    size_t copied = 0;
    const size_t n = line.size();
    // Letters that are number characters never start a word; padding repeats the first letter.
    char stops[3];
    for (size_t k = 0; k < 3; ++k) {
        const char l = k < letters.size() ? letters[k].letter : letters[0].letter;
        stops[k] = isNumberChar(l) ? '#' : l;
    }
    for (size_t j = nextStop(line, 0, stops[0], stops[1], stops[2]); j < n;
         j = nextStop(line, j, stops[0], stops[1], stops[2])) {
        const char c = line[j];
        if (isCommentChar(c))
            break;
        const size_t k = static_cast<size_t>(letterIndex(c, letters));
        // The text up to and including the letter goes over unchanged.
        std::memcpy(out.data() + at, line.data() + copied, j + 1 - copied);
        at += j + 1 - copied;
        const size_t end = numberEnd(line, j + 1);
        const std::string_view number = line.substr(j + 1, end - j - 1);
        if (!number.empty()) {
            if (number.find('+') != std::string_view::npos)
                plusFlags[k] = true;
            const Extended value = letters[k].operation(readNumber(number, localeSeparator));
            const size_t room = at + kMaxNumberText + (n - end);
            if (room > out.size())
                out.resize(room + kMaxNumberText);
            at = static_cast<size_t>(formatNumber(out.data() + at, value, plusFlags[k]) - out.data());
        }
        copied = end;
        j = end;
    }
    std::memcpy(out.data() + at, line.data() + copied, n - copied);
    out.resize(at + n - copied);
}

} // namespace

// Copying and collecting states with a comment mark, one character at a time.
void rewriteCoordinates(
    std::string_view line, char letter, NumberOperation operation, bool plus, char localeSeparator, std::string& out)
{
    bool collecting = false;
    bool comment = false;
    bool plusFlag = plus;
    size_t numberStart = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (!comment && isCommentChar(c)) {
            if (collecting) {
                finishNumber(
                    line.substr(numberStart, i - numberStart), letter, operation, plusFlag, localeSeparator, out);
                collecting = false;
            }
            comment = true;
        }
        if (comment) {
            out += c;
            continue;
        }
        if (isNumberChar(c)) {
            if (!collecting)
                out += c;
            continue;
        }
        if (collecting) {
            finishNumber(line.substr(numberStart, i - numberStart), letter, operation, plusFlag, localeSeparator, out);
            collecting = false;
        }
        if (c == letter) {
            collecting = true;
            numberStart = i + 1;
        } else {
            out += c;
        }
    }
    if (collecting)
        finishNumber(line.substr(numberStart), letter, operation, plusFlag, localeSeparator, out);
}

std::string rewriteCoordinates(
    std::string_view line, char letter, NumberOperation operation, bool plus, char localeSeparator)
{
    std::string out;
    rewriteCoordinates(line, letter, operation, plus, localeSeparator, out);
    return out;
}

void rewriteCoordinates(
    std::string_view line, std::span<const LetterOperation> letters, bool plus, char localeSeparator, std::string& out)
{
    if (letters.empty()) {
        out += line;
        return;
    }
    if (letters.size() > 3 || !distinctLetters(letters)) {
        oneByOne(line, letters, plus, localeSeparator, out);
        return;
    }
    const size_t base = out.size();
    try {
        together(line, letters, plus, localeSeparator, out);
    } catch (const ConversionError&) {
        out.resize(base);
        oneByOne(line, letters, plus, localeSeparator, out);
    }
}

std::string readCoordinate(std::string_view line, char letter, char localeSeparator)
{
    std::string_view found;
    if (!isNumberChar(letter)) {
        for (size_t i = nextStop(line, 0, letter, letter, letter); i < line.size();
             i = nextStop(line, i, letter, letter, letter)) {
            if (isCommentChar(line[i]))
                break;
            const size_t end = numberEnd(line, i + 1);
            found = line.substr(i + 1, end - i - 1);
            i = end;
        }
    }
    std::string text(found);
    for (char& c : text) {
        if (c == '.')
            c = localeSeparator;
    }
    return text;
}

} // namespace torvel
