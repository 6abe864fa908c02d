#include "core/CoordinateRewrite.h"

#include "core/Errors.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#if defined(__SSE2__) && !defined(TORVEL_NO_SIMD)
#include <emmintrin.h>
#endif

namespace torvel {

namespace {

#if !defined(__SSE2__) || defined(TORVEL_NO_SIMD)
constexpr auto kCommentTable = [] {
    std::array<unsigned char, 256> t {};
    for (int c = 0; c < 256; ++c)
        t[static_cast<size_t>(c)] = isCommentChar(static_cast<char>(c)) ? 1 : 0;
    return t;
}();

size_t numberEnd(std::string_view line, size_t from)
{
    while (from < line.size() && isNumberChar(line[from]))
        ++from;
    return from;
}
#endif

// Finds the places the single pass stops at, 16 characters at a time: a
// comment character or one of the letters, and the end of a number. The line
// is copied into a buffer padded with zero bytes, so that every load is whole;
// a zero byte is neither a stop nor a number character.
class Scanner {
public:
    Scanner(std::string_view line, const char (&letters)[3])
        : n_(line.size())
    {
        char* buffer = local_;
        if (n_ + kPadding > sizeof local_) {
            heap_.resize(n_ + kPadding);
            buffer = heap_.data();
        }
        std::memcpy(buffer, line.data(), n_);
        std::memset(buffer + n_, 0, kPadding);
        s_ = buffer;
        for (size_t k = 0; k < 3; ++k)
            letters_[k] = letters[k];
    }

    // The first comment character or letter at or after i, or the end.
    size_t nextStop(size_t i) const
    {
#if defined(__SSE2__) && !defined(TORVEL_NO_SIMD)
        const __m128i a = _mm_set1_epi8(letters_[0]), b = _mm_set1_epi8(letters_[1]), c = _mm_set1_epi8(letters_[2]);
        for (; i < n_; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s_ + i));
            // "(" and ")" differ only in the lowest bit.
            const __m128i parens = _mm_cmpeq_epi8(_mm_or_si128(v, _mm_set1_epi8(1)), _mm_set1_epi8(')'));
            const __m128i others = _mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('#')), _mm_cmpeq_epi8(v, _mm_set1_epi8('%'))),
                _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('{')), _mm_cmpeq_epi8(v, _mm_set1_epi8('}'))));
            const __m128i letters
                = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, a), _mm_cmpeq_epi8(v, b)), _mm_cmpeq_epi8(v, c));
            const unsigned mask
                = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(parens, others), letters)));
            if (mask != 0)
                return std::min(n_, i + static_cast<size_t>(__builtin_ctz(mask)));
        }
        return n_;
#else
        for (; i < n_; ++i) {
            const char ch = s_[i];
            if (kCommentTable[static_cast<unsigned char>(ch)] | (ch == letters_[0]) | (ch == letters_[1])
                | (ch == letters_[2]))
                break;
        }
        return i;
#endif
    }

    // The first character at or after i that is no number character.
    size_t numberEnd(size_t i) const
    {
#if defined(__SSE2__) && !defined(TORVEL_NO_SIMD)
        for (; i < n_; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s_ + i));
            // "+" to "." are 0x2B to 0x2E, "/" 0x2F is not one, the digits 0x30 to 0x39.
            const __m128i offset = _mm_sub_epi8(v, _mm_set1_epi8('+'));
            const __m128i inRange = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(14)), offset);
            const __m128i number = _mm_andnot_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('/')), inRange);
            const unsigned mask = ~static_cast<unsigned>(_mm_movemask_epi8(number)) & 0xFFFFu;
            if (mask != 0)
                return std::min(n_, i + static_cast<size_t>(__builtin_ctz(mask)));
        }
        return n_;
#else
        return torvel::numberEnd(std::string_view(s_, n_), i);
#endif
    }

    // The line, followed by the zero bytes of the padding.
    const char* data() const { return s_; }

private:
    static constexpr size_t kPadding = 16;
    size_t n_;
    const char* s_ = nullptr;
    char letters_[3];
    char local_[256];
    std::string heap_;
};

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

// One pass does what the letters in turn do when they are distinct and none
// but the first is "E", the one letter a written number holds (1E20): a later
// E would also rewrite the exponents the letters before it wrote.
bool onePassFits(std::span<const LetterOperation> letters)
{
    for (size_t k = 0; k < letters.size(); ++k) {
        if (letterIndex(letters[k].letter, letters.first(k)) >= 0 || (k > 0 && letters[k].letter == 'E'))
            return false;
    }
    return true;
}

bool oneByOne(
    std::string_view line, std::span<const LetterOperation> letters, bool plus, char localeSeparator, std::string& out)
{
    std::string current(line), next;
    size_t words = 0;
    for (const auto& l : letters) {
        next.clear();
        const auto operation = [&](Extended old) {
            ++words;
            return l.operation.apply(old, localeSeparator);
        };
        rewriteCoordinates(current, l.letter, operation, plus, localeSeparator, next);
        current.swap(next);
    }
    out += current;
    return words != 0;
}

// The decimal of a word's number text, which holds number characters only,
// when it is plainly well formed with at most 18 digits; anything else goes
// the general way, which also gives the error.
bool plainDecimal(std::string_view number, char separator, Decimal& d)
{
    const char* s = number.data();
    const char* const e = s + number.size();
    if (s != e && (*s == '-' || *s == '+')) {
        d.negative = *s == '-';
        ++s;
    }
    uint64_t m = 0;
    int digits = 0, scale = 0;
    bool afterSeparator = false;
    for (; s != e; ++s) {
        const unsigned v = static_cast<unsigned char>(*s) - unsigned('0');
        if (v <= 9) {
            m = m * 10 + v;
            ++digits;
            scale += static_cast<int>(afterSeparator);
        } else if (!afterSeparator && (*s == '.' || *s == separator)) {
            afterSeparator = true;
        } else {
            return false;
        }
    }
    if (digits == 0 || digits > 18)
        return false;
    d.digits = m;
    d.scale = scale;
    return true;
}

// Rewrites the "E" notation of formatNumber's text [p, end) in fixed notation
// in place, digits unchanged; a text longer than the room a word has stays as it is.
char* fixedFromScientific(char* p, char* end)
{
    char* e = std::find(p, end, 'E');
    if (e == end)
        return end;
    char sign[2];
    size_t signs = 0;
    char* q = p;
    while (q < e && (*q == '+' || *q == '-'))
        sign[signs++] = *q++;
    char digits[24];
    size_t count = 0;
    for (; q < e; ++q) {
        if (*q >= '0' && *q <= '9' && count < sizeof digits)
            digits[count++] = *q;
    }
    const bool negativeExponent = e + 1 < end && e[1] == '-';
    int exponent = 0;
    for (q = e + 1 + (negativeExponent ? 1 : 0); q < end; ++q)
        exponent = exponent * 10 + (*q - '0');
    if (negativeExponent)
        exponent = -exponent;
    // One digit before the point: the value is d.ddd × 10^exponent.
    const size_t length = signs
        + (exponent < 0 ? 2 + static_cast<size_t>(-exponent - 1) + count
                        : std::max(count, static_cast<size_t>(exponent) + 1) + 1);
    if (exponent < -30 || exponent > 30 || length > kMaxNumberText - 2)
        return end;
    char* w = p;
    for (size_t k = 0; k < signs; ++k)
        *w++ = sign[k];
    if (exponent < 0) {
        *w++ = '0';
        *w++ = '.';
        for (int k = 0; k < -exponent - 1; ++k)
            *w++ = '0';
        for (size_t k = 0; k < count; ++k)
            *w++ = digits[k];
        return w;
    }
    const size_t whole = static_cast<size_t>(exponent) + 1;
    for (size_t k = 0; k < std::max(whole, count); ++k) {
        if (k == whole)
            *w++ = '.';
        *w++ = k < count ? digits[k] : '0';
    }
    return w;
}

// The exact sum of two decimals in fixed notation, or nullptr beyond 15 significant digits.
char* writeExactFixed(char* p, const Decimal& a, const Decimal& b, bool plus)
{
    static constexpr uint64_t kPowers[] = {1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull, 10000000ull,
        100000000ull, 1000000000ull, 10000000000ull, 100000000000ull, 1000000000000ull, 10000000000000ull,
        100000000000000ull, 1000000000000000ull, 10000000000000000ull, 100000000000000000ull, 1000000000000000000ull};
    if (a.scale < 0 || b.scale < 0 || a.scale > 18 || b.scale > 18)
        return nullptr;
    const int scale = std::max(a.scale, b.scale);
    using Wide = __int128;
    const Wide av = static_cast<Wide>(a.digits) * kPowers[scale - a.scale];
    const Wide bv = static_cast<Wide>(b.digits) * kPowers[scale - b.scale];
    const Wide sum = (a.negative ? -av : av) + (b.negative ? -bv : bv);
    if (sum == 0) {
        char* w = p;
        if (plus)
            *w++ = '+';
        *w++ = '0';
        return w;
    }
    unsigned __int128 magnitude = static_cast<unsigned __int128>(sum < 0 ? -sum : sum);
    // digits[k] weighs 10^(k - scale).
    char digits[48];
    int count = 0;
    for (; magnitude != 0; magnitude /= 10)
        digits[count++] = static_cast<char>('0' + static_cast<int>(magnitude % 10));
    int low = 0;
    while (low < scale && digits[low] == '0')
        ++low;
    const int top = count - 1;
    if (top - low + 1 > 15)
        return nullptr;
    char* w = p;
    if (sum < 0)
        *w++ = '-';
    else if (plus)
        *w++ = '+';
    if (top < scale)
        *w++ = '0';
    for (int k = top; k >= scale; --k)
        *w++ = digits[k];
    if (low < scale) {
        *w++ = '.';
        for (int k = scale - 1; k >= low; --k)
            *w++ = k < count ? digits[k] : '0';
    }
    return w;
}

char* writeFixedWord(char* p, std::string_view number, const CoordinateOperation& operation, char separator, bool plus)
{
    using Kind = CoordinateOperation::Kind;
    Decimal a;
    if (plainDecimal(number, separator, a)) {
        std::optional<Decimal> b;
        if (operation.kind == Kind::Mirror)
            b = Decimal {!a.negative, 2 * a.digits, a.scale};
        else
            b = operation.operand->exact(separator);
        if (b) {
            if (operation.kind == Kind::Subtract)
                b->negative = !b->negative;
            if (char* end = writeExactFixed(p, a, *b, plus))
                return end;
        }
    }
    char* end = formatNumber(p, operation.apply(valueOf(parseNumber(number, separator, true)), separator), plus);
    return fixedFromScientific(p, end);
}

// One word's new number, written at p. The old number is read before the
// operand, as the operation on extended values does.
char* writeWord(char* p, std::string_view number, const CoordinateOperation& operation, char separator, bool plus)
{
    using Kind = CoordinateOperation::Kind;
    if (operation.fixedNotation)
        return writeFixedWord(p, number, operation, separator, plus);
    Decimal a;
    if (plainDecimal(number, separator, a)) {
        if (operation.kind == Kind::Mirror) {
            // -2 × old is exact in both arithmetics, so it counts as an operand read exactly.
            if (char* end = formatExactSum(p, a, Decimal {!a.negative, 2 * a.digits, a.scale}, plus))
                return end;
        } else if (const std::optional<Decimal>& b = operation.operand->exact(separator)) {
            Decimal addend = *b;
            if (operation.kind == Kind::Subtract)
                addend.negative = !addend.negative;
            if (char* end = formatExactSum(p, a, addend, plus))
                return end;
        }
    }
    return formatNumber(p, operation.apply(valueOf(parseNumber(number, separator, true)), separator), plus);
}

// Writes straight into out's memory: the text keeps room for the rest of the
// line plus one number at every word.
// Copies [from, from + size) of the scanner's padded text in 16-byte pieces;
// the target has room for the overshoot.
void copyPieces(char* to, const char* from, size_t size)
{
    for (size_t o = 0; o < size; o += 16)
        std::memcpy(to + o, from + o, 16);
}

// Writes straight into out's memory, which keeps room for the rest of the
// line, one number and the overshoot of the 16-byte copies.
bool together(
    std::string_view line, std::span<const LetterOperation> letters, bool plus, char localeSeparator, std::string& out)
{
    bool rewritten = false;
    bool plusFlags[3];
    // Letters that are number characters never start a word; padding repeats the first letter.
    char stops[3], named[3] = {0, 0, 0};
    for (size_t k = 0; k < 3; ++k) {
        const char l = k < letters.size() ? letters[k].letter : letters[0].letter;
        stops[k] = isNumberChar(l) ? '#' : l;
        plusFlags[k] = plus;
        if (k < letters.size())
            named[k] = l;
    }
    const size_t n = line.size();
    const Scanner scanner(line, stops);
    const char* text = scanner.data();
    constexpr size_t kSlack = 2 * kMaxNumberText;
    size_t at = out.size();
    out.resize(at + n + kSlack);
    size_t copied = 0;
    for (size_t j = scanner.nextStop(0); j < n; j = scanner.nextStop(j)) {
        const char c = text[j];
        if (isCommentChar(c))
            break;
        const size_t k = c == named[1] ? 1 : c == named[2] ? 2 : 0;
        if (at + (n - copied) + kSlack > out.size())
            out.resize(at + (n - copied) + 2 * kSlack);
        // The text up to and including the letter goes over unchanged.
        copyPieces(out.data() + at, text + copied, j + 1 - copied);
        at += j + 1 - copied;
        const size_t end = scanner.numberEnd(j + 1);
        if (end > j + 1) {
            // A "+" anywhere but in front makes the number no number, which stops the run anyway.
            plusFlags[k] |= text[j + 1] == '+';
            const std::string_view number(text + j + 1, end - j - 1);
            at = static_cast<size_t>(
                writeWord(out.data() + at, number, letters[k].operation, localeSeparator, plusFlags[k]) - out.data());
            rewritten = true;
        }
        copied = end;
        j = end;
    }
    if (at + (n - copied) + kSlack > out.size())
        out.resize(at + (n - copied) + kSlack);
    copyPieces(out.data() + at, text + copied, n - copied);
    out.resize(at + n - copied);
    return rewritten;
}

} // namespace

void Operand::set(std::string_view text)
{
    if (text == text_)
        return;
    text_.assign(text);
    parsed_ = false;
}

const ParsedNumber& Operand::parsed(char localeSeparator)
{
    if (!parsed_ || separator_ != localeSeparator) {
        number_ = parseNumber(text_, localeSeparator, false);
        exact_ = exactDecimal(number_);
        separator_ = localeSeparator;
        parsed_ = true;
    }
    return number_;
}

const std::optional<Decimal>& Operand::exact(char localeSeparator)
{
    parsed(localeSeparator);
    return exact_;
}

Extended Operand::value(char localeSeparator) { return valueOf(parsed(localeSeparator)); }

Extended CoordinateOperation::apply(Extended old, char localeSeparator) const
{
    switch (kind) {
    case Kind::Add:
        return old + operand->value(localeSeparator);
    case Kind::Subtract:
        return old - operand->value(localeSeparator);
    case Kind::Mirror:
        return old + (-2 * old);
    }
    return old;
}

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

bool rewriteCoordinates(
    std::string_view line, std::span<const LetterOperation> letters, bool plus, char localeSeparator, std::string& out)
{
    if (letters.empty()) {
        out += line;
        return false;
    }
    const size_t base = out.size();
    if (letters.size() <= 3 && onePassFits(letters)) {
        try {
            return together(line, letters, plus, localeSeparator, out);
        } catch (const ConversionError&) {
            out.resize(base);
        }
    }
    return oneByOne(line, letters, plus, localeSeparator, out);
}

std::string readCoordinate(std::string_view line, char letter, char localeSeparator)
{
    std::string_view found;
    if (!isNumberChar(letter)) {
        const char stops[3] = {letter, letter, letter};
        const Scanner scanner(line, stops);
        for (size_t i = scanner.nextStop(0); i < line.size(); i = scanner.nextStop(i)) {
            if (isCommentChar(line[i]))
                break;
            const size_t end = scanner.numberEnd(i + 1);
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
