#include "core/ProgramSearch.h"

#include "core/Encoding.h"

#include <bit>
#include <cstdlib>
#include <cstdint>
#include <cstring>

namespace torvel {

namespace {

constexpr long long kBackwardBlock = 4096; // lines searched forwards at a time when going back
constexpr size_t kMinAnchor = 3;

std::array<unsigned char, 256> identityTable()
{
    std::array<unsigned char, 256> t {};
    for (size_t b = 0; b < t.size(); ++b)
        t[b] = static_cast<unsigned char>(b);
    return t;
}

// Upper-case letters map to their lower-case byte.
std::array<unsigned char, 256> foldTable(bool utf8)
{
    auto t = identityTable();
    for (int b = 'A'; b <= 'Z'; ++b)
        t[static_cast<size_t>(b)] = static_cast<unsigned char>(b + 32);
    if (!utf8) {
        for (int b = 0xC0; b <= 0xDE; ++b)
            if (b != 0xD7) // the multiplication sign
                t[static_cast<size_t>(b)] = static_cast<unsigned char>(b + 32);
        t[0x8A] = 0x9A; // Š š
        t[0x8C] = 0x9C; // Œ œ
        t[0x8E] = 0x9E; // Ž ž
        t[0x9F] = 0xFF; // Ÿ ÿ
    }
    return t;
}

// The second byte of U+00C0..U+00DE after the lead byte C3 maps to that of U+00E0..U+00FE.
std::array<unsigned char, 256> utf8ContinuationFold()
{
    auto t = identityTable();
    for (int b = 0x80; b <= 0x9E; ++b)
        if (b != 0x97)
            t[static_cast<size_t>(b)] = static_cast<unsigned char>(b + 32);
    return t;
}

constexpr unsigned char kAccentLead = 0xC3;

enum class CharClass { Letter, Number, Other };

CharClass classOf(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c > 127)
        return CharClass::Letter;
    if ((c >= '0' && c <= '9') || c == '.')
        return CharClass::Number;
    return CharClass::Other;
}

// Whether the two neighbours belong to one word: letters to letters and to the number
// after them, numbers to numbers.
bool joined(unsigned char left, unsigned char right)
{
    const CharClass a = classOf(left), b = classOf(right);
    if (a == CharClass::Other || b == CharClass::Other)
        return false;
    return a == b || (a == CharClass::Letter && b == CharClass::Number);
}

uint64_t load8(const char* p)
{
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Bit 7 of each byte of the result is set where the byte of `w` is zero (exact for the
// lowest such byte, which is all a forward scan needs on a little-endian machine).
constexpr uint64_t zeroBytes(uint64_t w)
{
    constexpr uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    return (w - ones) & ~w & highs;
}

// The first byte in [begin, end) equal to a or b.
const char* findEither(const char* begin, const char* end, unsigned char a, unsigned char b)
{
    if (a == b)
        return static_cast<const char*>(std::memchr(begin, a, static_cast<size_t>(end - begin)));
    const uint64_t wa = 0x0101010101010101ull * a, wb = 0x0101010101010101ull * b;
    const char* p = begin;
    if constexpr (std::endian::native == std::endian::little) {
        for (; end - p >= 8; p += 8) {
            const uint64_t w = load8(p);
            const uint64_t hits = zeroBytes(w ^ wa) | zeroBytes(w ^ wb);
            if (hits)
                return p + std::countr_zero(hits) / 8;
        }
    }
    for (; p < end; ++p)
        if (static_cast<unsigned char>(*p) == a || static_cast<unsigned char>(*p) == b)
            return p;
    return nullptr;
}

} // namespace

ProgramSearch::ProgramSearch(std::string_view typedUtf8, bool utf8Program, SearchOptions options)
    : utf8_(utf8Program)
    , options_(options)
{
    if (typedUtf8.empty())
        return;
    auto bytes = fromDisplayUtf8(typedUtf8, utf8Program);
    if (!bytes) {
        status_ = Status::NotInEncoding;
        return;
    }
    if (bytes->find_first_of("\r\n") != std::string::npos) {
        status_ = Status::HasLineBreak;
        return;
    }
    pattern_ = std::move(*bytes);
    status_ = Status::Ready;
    fold_ = foldTable(utf8_);
    continuationFold_ = utf8ContinuationFold();
    folded_.resize(pattern_.size());
    afterLead_.assign(pattern_.size(), 0);
    for (size_t i = 0; i < pattern_.size(); ++i) {
        const auto c = static_cast<unsigned char>(pattern_[i]);
        afterLead_[i] = utf8_ && i > 0 && static_cast<unsigned char>(pattern_[i - 1]) == kAccentLead;
        folded_[i] = static_cast<char>(afterLead_[i] ? continuationFold_[c] : fold_[c]);
    }
    if (!options_.matchCase)
        for (size_t i = 0; i < pattern_.size() && !folds_; ++i)
            folds_ = hasOtherCase(i);
    // The longest run of bytes that have no other case, when long enough to be rarer than a
    // single letter, anchors the search.
    size_t run = 0;
    for (size_t i = 0; i <= pattern_.size(); ++i) {
        const bool plain = i < pattern_.size() && !hasOtherCase(i);
        if (plain) {
            ++run;
        } else {
            if (run >= kMinAnchor && run > anchorLength_) {
                anchorLength_ = run;
                anchorOffset_ = i - run;
            }
            run = 0;
        }
    }
    // The first byte is never a continuation byte, so its other case comes from the plain fold.
    const auto first = static_cast<unsigned char>(pattern_[0]);
    firstOther_ = first;
    for (size_t b = 0; b < 256; ++b)
        if (fold_[b] == fold_[first] && b != first)
            firstOther_ = static_cast<unsigned char>(b);
}

bool ProgramSearch::hasOtherCase(size_t i) const
{
    const auto& table = afterLead_[i] ? continuationFold_ : fold_;
    for (size_t b = 0; b < 256; ++b)
        if (table[b] == static_cast<unsigned char>(folded_[i]) && b != static_cast<unsigned char>(pattern_[i]))
            return true;
    return false;
}

std::string ProgramSearch::problem() const
{
    switch (status_) {
    case Status::Ready:
        return {};
    case Status::Empty:
        return "Digite o texto a procurar.";
    case Status::NotInEncoding:
        return "O texto procurado tem caracteres que não existem no programa (Windows-1252).";
    case Status::HasLineBreak:
        return "O texto procurado não pode ter quebra de linha.";
    }
    return {};
}

const char* ProgramSearch::find(const char* begin, const char* end) const
{
    if (folds_)
        return findFolded(begin, end);
    return static_cast<const char*>(
        ::memmem(begin, static_cast<size_t>(end - begin), pattern_.data(), pattern_.size()));
}

const char* ProgramSearch::findFolded(const char* begin, const char* end) const
{
    const size_t m = pattern_.size();
    auto matchesAt = [&](const char* p) {
        for (size_t i = 0; i < m; ++i) {
            const auto& table = afterLead_[i] ? continuationFold_ : fold_;
            if (table[static_cast<unsigned char>(p[i])] != static_cast<unsigned char>(folded_[i]))
                return false;
        }
        return true;
    };
    if (anchorLength_ > 0) {
        // Bytes without another case are found by memmem, then the rest is compared around them.
        const char* a = begin + anchorOffset_;
        const char* const anchorEnd = end - (m - anchorOffset_ - anchorLength_);
        const char* anchor = pattern_.data() + anchorOffset_;
        while (anchorEnd - a >= static_cast<std::ptrdiff_t>(anchorLength_)) {
            a = static_cast<const char*>(::memmem(a, static_cast<size_t>(anchorEnd - a), anchor, anchorLength_));
            if (!a)
                return nullptr;
            if (matchesAt(a - anchorOffset_))
                return a - anchorOffset_;
            ++a;
        }
        return nullptr;
    }
    const auto first = static_cast<unsigned char>(pattern_[0]);
    const char* p = begin;
    while (end - p >= static_cast<std::ptrdiff_t>(m)) {
        p = findEither(p, end - (m - 1), first, firstOther_);
        if (!p)
            return nullptr;
        if (matchesAt(p))
            return p;
        ++p;
    }
    return nullptr;
}

bool ProgramSearch::wholeWordAt(std::string_view line, size_t column) const
{
    const size_t end = column + pattern_.size();
    if (column > 0 && joined(static_cast<unsigned char>(line[column - 1]), static_cast<unsigned char>(line[column])))
        return false;
    return end >= line.size()
        || !joined(static_cast<unsigned char>(line[end - 1]), static_cast<unsigned char>(line[end]));
}

std::optional<SearchHit> ProgramSearch::next(const ProgramText& text, TextPosition from) const
{
    std::optional<SearchHit> found;
    const TextPosition end {static_cast<long long>(text.count()), 0};
    auto first = [&](TextPosition at) {
        found = SearchHit {at, false};
        return false;
    };
    scan(text, from, end, first);
    if (!found) {
        scan(text, TextPosition {}, from, first);
        if (found)
            found->wrapped = true;
    }
    return found;
}

std::optional<SearchHit> ProgramSearch::previous(const ProgramText& text, TextPosition from) const
{
    // Blocks of lines are searched forwards, from the one that holds `from` upwards.
    std::optional<SearchHit> found;
    auto keep = [&](TextPosition at) {
        found = SearchHit {at, false};
        return true;
    };
    const long long count = static_cast<long long>(text.count());
    auto lastIn = [&](TextPosition low, TextPosition high) {
        TextPosition to = high;
        while (!found && low < to) {
            const long long startLine = std::max(low.line, to.line - kBackwardBlock + 1);
            const TextPosition start = startLine == low.line ? low : TextPosition {startLine, 0};
            scan(text, start, to, keep);
            to = start;
        }
    };
    from.line = std::min(from.line, count);
    lastIn(TextPosition {}, from);
    if (!found) {
        lastIn(from, TextPosition {count, 0});
        if (found)
            found->wrapped = true;
    }
    return found;
}

SearchTally ProgramSearch::tally(const ProgramText& text, TextPosition at) const
{
    SearchTally t;
    scan(text, TextPosition {}, TextPosition {static_cast<long long>(text.count()), 0}, [&](TextPosition hit) {
        ++t.total;
        if (hit < at)
            ++t.before;
        return true;
    });
    return t;
}

size_t ProgramSearch::count(const ProgramText& text, TextPosition from, TextPosition to) const
{
    size_t n = 0;
    scan(text, from, to, [&n](TextPosition) {
        ++n;
        return true;
    });
    return n;
}

size_t ProgramSearch::indexOf(
    const ProgramText& text, TextPosition hit, size_t total, std::optional<KnownMatch> known) const
{
    // F3 held down moves a few lines at a time: counting the lines between costs next to nothing.
    const long long lines = static_cast<long long>(text.count());
    const long long fromTop = hit.line;
    const long long fromEnd = lines - hit.line;
    if (known && std::llabs(hit.line - known->at.line) <= std::min(fromTop, fromEnd))
        return hit < known->at ? known->index - count(text, hit, known->at)
                               : known->index + count(text, known->at, hit);
    if (fromTop <= fromEnd)
        return count(text, {}, hit);
    return total - count(text, hit, {lines, 0});
}

std::vector<TextPosition> ProgramSearch::matchesInLines(const ProgramText& text, long long first, long long last) const
{
    std::vector<TextPosition> out;
    scan(text, TextPosition {first, 0}, TextPosition {last + 1, 0}, [&](TextPosition at) {
        out.push_back(at);
        return true;
    });
    return out;
}

} // namespace torvel
