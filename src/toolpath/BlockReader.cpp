#include "toolpath/BlockReader.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace torvel {

namespace {

// Beyond a kilometre a number is a typing error, and squares of it stay finite.
constexpr double kLargestValue = 1e9;

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// One table lookup a character: the scanner's inner loops test nothing else.
enum CharClass : uint8_t { kOther = 0, kBlank = 1, kLetter = 2, kDigit = 4, kEndsToken = 8 };

constexpr std::array<uint8_t, 256> kClasses = [] {
    std::array<uint8_t, 256> t {};
    for (unsigned char c : {' ', '\t', '\r', '\n', '\f', '\v'})
        t[c] = kBlank | kEndsToken;
    for (int c = 'A'; c <= 'Z'; ++c)
        t[static_cast<size_t>(c)] = t[static_cast<size_t>(c + 'a' - 'A')] = kLetter | kEndsToken;
    for (int c = '0'; c <= '9'; ++c)
        t[static_cast<size_t>(c)] = kDigit;
    // Characters that end a word's text, for the note that quotes it.
    for (unsigned char c : {'(', ';', '#', '['})
        t[c] = kEndsToken;
    return t;
}();

uint8_t classOf(char c) { return kClasses[static_cast<unsigned char>(c)]; }
bool isBlank(char c) { return classOf(c) & kBlank; }
bool isDigit(char c) { return classOf(c) & kDigit; }
bool isLetter(char c) { return classOf(c) & kLetter; }
bool endsToken(char c) { return classOf(c) & kEndsToken; }
char upper(char c) { return static_cast<char>(c & ~0x20); }

class Scanner {
public:
    Scanner(std::string_view line, Block& block)
        : p_(line.data())
        , end_(line.data() + line.size())
        , block_(block)
    { }

    void run();

private:
    void note(NoteReason reason, std::string_view detail = {});
    void skipBlanks()
    {
        while (p_ < end_ && isBlank(*p_))
            ++p_;
    }
    const char* tokenEnd(const char* from) const
    {
        while (from < end_ && !endsToken(*from))
            ++from;
        return from;
    }
    bool readNumber(double& out);
    void readWord(char letter, const char* wordBegin);
    bool readOWord();
    void skipBracket();
    void skipParameter();
    void skipUnknown();

    const char* p_;
    const char* end_;
    Block& block_;
};

void Scanner::note(NoteReason reason, std::string_view detail)
{
    for (int i = 0; i < block_.noteCount; ++i)
        if (block_.notes[i].reason == reason && block_.notes[i].detail == detail)
            return;
    if (block_.noteCount < Block::kMaxNotes)
        block_.notes[block_.noteCount++] = {reason, detail};
}

constexpr uint64_t kIntegerPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// The value of eight digit bytes (the first in the lowest byte, '0' already
// subtracted), three multiplications instead of eight steps.
uint32_t eightDigits(uint64_t v)
{
    v = v * 10 + (v >> 8);
    v = ((v & 0x000000ff000000ffull) * (100 + (1000000ull << 32))
            + ((v >> 16) & 0x000000ff000000ffull) * (1 + (10000ull << 32)))
        >> 32;
    return static_cast<uint32_t>(v);
}

// Reads the digits at q into m (m·10^n + digits), eight bytes at a time
// where the line has them: one branch a number instead of one a digit.
// Returns how many there were.
size_t readDigits(const char*& q, const char* end, uint64_t& m)
{
    const char* begin = q;
    if constexpr (std::endian::native == std::endian::little) {
        while (end - q >= 8) {
            uint64_t chunk;
            std::memcpy(&chunk, q, 8);
            // Bytes before the first non-digit neither borrow nor carry, so they read true.
            const uint64_t t = chunk - 0x3030303030303030ull;
            const uint64_t nonDigit = (t | (t + 0x7676767676767676ull)) & 0x8080808080808080ull;
            const int n = nonDigit ? std::countr_zero(nonDigit) / 8 : 8;
            if (n == 0)
                return static_cast<size_t>(q - begin);
            m = m * kIntegerPowers[n] + eightDigits(t << (8 * (8 - n)));
            q += n;
            if (n < 8)
                return static_cast<size_t>(q - begin);
        }
    }
    while (q < end && isDigit(*q))
        m = m * 10 + static_cast<unsigned>(*q++ - '0');
    return static_cast<size_t>(q - begin);
}

// Sign, blanks, digits, point, digits. Up to 19 digits whose value fits in
// 53 bits and 22 decimals take one correctly rounded division; the rest goes
// to from_chars.
bool Scanner::readNumber(double& out)
{
    const char* q = p_;
    bool negative = false;
    if (q < end_ && (*q == '+' || *q == '-')) {
        negative = *q == '-';
        ++q;
        while (q < end_ && isBlank(*q))
            ++q;
    }
    const char* digits = q;
    uint64_t mantissa = 0;
    size_t count = readDigits(q, end_, mantissa);
    size_t scale = 0;
    if (q < end_ && *q == '.') {
        ++q;
        scale = readDigits(q, end_, mantissa);
        count += scale;
    }
    if (count == 0)
        return false;
    double v;
    if (count <= 19 && mantissa <= (uint64_t(1) << 53) && scale <= 22) {
        v = static_cast<double>(mantissa) / kPowersOfTen[scale];
    } else {
        const auto [ptr, ec] = std::from_chars(digits, q, v);
        if (ec != std::errc() || ptr != q)
            return false;
    }
    out = negative ? -v : v;
    p_ = q;
    return true;
}

void Scanner::skipBracket()
{
    int depth = 0;
    for (; p_ < end_; ++p_) {
        if (*p_ == '[') {
            ++depth;
        } else if (*p_ == ']' && --depth == 0) {
            ++p_;
            return;
        }
    }
}

// "#5", "#<name>", "##2", "#[...]", each optionally followed by "= value".
void Scanner::skipParameter()
{
    note(NoteReason::Parameter);
    ++p_;
    skipBlanks();
    if (p_ < end_ && *p_ == '<') {
        while (p_ < end_ && *p_ != '>')
            ++p_;
        if (p_ < end_)
            ++p_;
    } else if (p_ < end_ && *p_ == '[') {
        skipBracket();
    } else if (p_ < end_ && *p_ == '#') {
        skipParameter();
        return;
    } else {
        while (p_ < end_ && (isDigit(*p_) || *p_ == '.'))
            ++p_;
    }
    skipBlanks();
    if (p_ >= end_ || *p_ != '=')
        return;
    ++p_;
    skipBlanks();
    double ignored;
    if (p_ < end_ && *p_ == '#') {
        skipParameter();
    } else if (p_ < end_ && *p_ == '[') {
        note(NoteReason::Expression);
        skipBracket();
    } else {
        readNumber(ignored);
    }
}

void Scanner::skipUnknown()
{
    const char* begin = p_;
    ++p_;
    p_ = tokenEnd(p_);
    note(NoteReason::UnknownText, std::string_view(begin, static_cast<size_t>(p_ - begin)));
}

void Scanner::readWord(char letter, const char* wordBegin)
{
    skipBlanks();
    if (p_ < end_ && *p_ == '#') {
        skipParameter();
        return;
    }
    if (p_ < end_ && *p_ == '[') {
        note(NoteReason::Expression);
        skipBracket();
        return;
    }
    double v = 0;
    const bool read = readNumber(v);
    const bool clean = read && (p_ >= end_ || !(*p_ == '.' || *p_ == ',' || *p_ == '+' || *p_ == '-'));
    if (!clean || !(std::abs(v) <= kLargestValue)) {
        p_ = tokenEnd(p_);
        note(NoteReason::InvalidNumber, std::string_view(wordBegin, static_cast<size_t>(p_ - wordBegin)));
        return;
    }
    if (letter == 'G') {
        const double tenths = v * 10;
        const double code = std::round(tenths);
        if (v < 0 || std::abs(tenths - code) > 1e-6 || code > 65535) {
            note(NoteReason::UnknownG, std::string_view(wordBegin, static_cast<size_t>(p_ - wordBegin)));
        } else if (block_.gCount < Block::kMaxCodes) {
            block_.g[block_.gCount++] = static_cast<uint16_t>(code);
        }
        return;
    }
    if (letter == 'M') {
        const double code = std::round(v);
        if (v >= 0 && code == v && code <= 65535 && block_.mCount < Block::kMaxCodes)
            block_.m[block_.mCount++] = static_cast<uint16_t>(code);
        return;
    }
    const int index = letter - 'A';
    block_.values[index] = v;
    block_.letters |= 1u << index;
}

bool equalsLower(std::string_view word, std::string_view lower)
{
    if (word.size() != lower.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if ((word[i] | 0x20) != lower[i])
            return false;
    return true;
}

// Returns false when the rest of the line is not to be read.
bool Scanner::readOWord()
{
    const char* begin = p_ - 1;
    skipBlanks();
    const char* name = p_;
    if (p_ < end_ && *p_ == '<') {
        while (p_ < end_ && *p_ != '>')
            ++p_;
        if (p_ < end_)
            ++p_;
    } else {
        while (p_ < end_ && isDigit(*p_))
            ++p_;
    }
    block_.oName = std::string_view(name, static_cast<size_t>(p_ - name));
    skipBlanks();
    const char* keyword = p_;
    while (p_ < end_ && isLetter(*p_))
        ++p_;
    const std::string_view k(keyword, static_cast<size_t>(p_ - keyword));
    block_.oText = std::string_view(begin, static_cast<size_t>(p_ - begin));
    if (k.empty()) {
        block_.oWord = Block::OWord::Number;
        return true;
    }
    block_.oWord = equalsLower(k, "sub") ? Block::OWord::Sub
        : equalsLower(k, "endsub")       ? Block::OWord::EndSub
        : equalsLower(k, "call")         ? Block::OWord::Call
                                         : Block::OWord::Flow;
    return false;
}

void Scanner::run()
{
    skipBlanks();
    if (p_ < end_ && *p_ == '/') {
        block_.blockDelete = true;
        ++p_;
    }
    while (p_ < end_) {
        const char c = *p_;
        if (isBlank(c)) {
            ++p_;
        } else if (isLetter(c)) {
            const char letter = upper(c);
            const char* wordBegin = p_++;
            if (letter == 'O' && block_.oWord == Block::OWord::None) {
                if (!readOWord())
                    return;
            } else {
                readWord(letter, wordBegin);
            }
        } else if (c == '(') {
            while (p_ < end_ && *p_ != ')')
                ++p_;
            if (p_ == end_) {
                note(NoteReason::UnclosedComment);
                return;
            }
            ++p_;
        } else if (c == ';' || c == '%') {
            return;
        } else if (c == '#') {
            skipParameter();
        } else if (c == '[') {
            note(NoteReason::Expression);
            skipBracket();
        } else {
            skipUnknown();
        }
    }
}

} // namespace

void readBlock(std::string_view line, Block& block)
{
    block.blockDelete = false;
    block.letters = 0;
    block.gCount = 0;
    block.mCount = 0;
    block.noteCount = 0;
    block.oWord = Block::OWord::None;
    Scanner(line, block).run();
}

} // namespace torvel
