#include "core/CommentRanges.h"

#include "core/Tokenizer.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace torvel {

namespace {

// The first `c` at or after `from`, or `end`; a cached answer is reused while it lies ahead.
const char* nextByte(const char*& cache, const char* from, const char* end, char c)
{
    if (!cache || cache < from) {
        const void* hit = std::memchr(from, c, static_cast<size_t>(end - from));
        cache = hit ? static_cast<const char*>(hit) : end;
    }
    return cache;
}

// LF bytes in [p, end), eight at a time: a byte of x ^ LFs is zero exactly where
// an LF was, and the sum below sets the top bit of each nonzero byte without
// carrying into the next.
size_t countLineFeeds(const char* p, const char* end)
{
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    constexpr uint64_t kLineFeeds = 0x0A0A0A0A0A0A0A0Aull;
    size_t n = 0;
    for (; end - p >= 8; p += 8) {
        uint64_t x;
        std::memcpy(&x, p, 8);
        x ^= kLineFeeds;
        const uint64_t nonzero = ((x & kLow7) + kLow7) | x;
        // One bit per LF at the bottom of its byte; the product adds the bytes into the top one.
        n += static_cast<size_t>((((~nonzero & ~kLow7) >> 7) * 0x0101010101010101ull) >> 56);
    }
    for (; p < end; ++p)
        n += *p == '\n';
    return n;
}

} // namespace

void lineEndRanges(std::string_view text, size_t lines, int range, std::vector<uint8_t>& out)
{
    Tokenizer tokenizer;
    const char* p = text.data();
    const char* const end = p + text.size();
    // Only "(" and "{" open a comment, and a line whose scan starts outside one
    // ends outside one unless it holds either. A CR is left to the line scan,
    // which knows where it ends a line.
    const char* paren = nullptr;
    const char* brace = nullptr;
    const char* cr = nullptr;
    range = carriedRange(range);
    size_t done = 0;
    while (done < lines) {
        if (range == RangeState::None) {
            const char* hit
                = std::min({nextByte(paren, p, end, '('), nextByte(brace, p, end, '{'), nextByte(cr, p, end, '\r')});
            const auto skipped = std::min(countLineFeeds(p, hit), lines - done);
            out.insert(out.end(), skipped, static_cast<uint8_t>(RangeState::None));
            done += skipped;
            if (done == lines)
                break;
            if (skipped > 0)
                p = static_cast<const char*>(memrchr(p, '\n', static_cast<size_t>(hit - p))) + 1;
        }
        const void* lf = std::memchr(p, '\n', static_cast<size_t>(end - p));
        const char* e = std::min(lf ? static_cast<const char*>(lf) : end, nextByte(cr, p, end, '\r'));
        range = carriedRange(
            tokenizer.scanLine(std::string_view(p, static_cast<size_t>(e - p)), range, [](int, size_t, size_t) {}));
        out.push_back(static_cast<uint8_t>(range));
        ++done;
        if (e < end && *e == '\r')
            ++e;
        if (e < end && *e == '\n')
            ++e;
        p = e;
    }
}

namespace {

// Bytes that decide where a comment opens besides "(" and ")": the openers of
// delimited words, which swallow a "(", the brace comment and code 0.
constexpr std::array<uint8_t, 256> kParenOnly = [] {
    std::array<uint8_t, 256> t {};
    t['('] = 1;
    t[')'] = 2;
    for (unsigned char c : {'%', '#', '<', '{', '\0'})
        t[c] = 3;
    return t;
}();

// The first "(" or "{" in [p, end), or end: one pass over the bytes for both.
const char* findOpener(const char* p, const char* end)
{
#if defined(__SSE2__)
    const __m128i paren = _mm_set1_epi8('(');
    const __m128i brace = _mm_set1_epi8('{');
    auto hits = [&](const char* at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        return static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, paren), _mm_cmpeq_epi8(v, brace))));
    };
    for (; end - p >= 32; p += 32) {
        const unsigned low = hits(p);
        const unsigned high = hits(p + 16);
        if ((low | high) != 0)
            return p + (low != 0 ? __builtin_ctz(low) : 16 + __builtin_ctz(high));
    }
#endif
    for (; p < end; ++p)
        if (*p == '(' || *p == '{')
            return p;
    return end;
}

// The range after a line that starts outside a comment.
int rangeAfterLine(Tokenizer& tokenizer, std::string_view line)
{
    // Without the bytes above, every "(" outside a comment opens one and the
    // next ")" closes it: the line ends inside a comment exactly when its last
    // "(" comes after its last ")".
    size_t lastOpen = 0;
    size_t lastClose = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        switch (kParenOnly[static_cast<unsigned char>(line[i])]) {
        case 0:
            break;
        case 1:
            lastOpen = i + 1;
            break;
        case 2:
            lastClose = i + 1;
            break;
        default:
            return carriedRange(tokenizer.scanLine(line, RangeState::None, [](int, size_t, size_t) {}));
        }
    }
    return lastOpen > lastClose ? RangeState::ParenComment : RangeState::None;
}

} // namespace

void lineEndRanges(
    const std::vector<std::string_view>& lines, size_t from, size_t to, int range, std::vector<uint8_t>& out)
{
    Tokenizer tokenizer;
    // A block grows while no comment stays open past a line end; one that does
    // ends it, so lines beyond are never measured twice over.
    constexpr size_t kFirstBlock = 32;
    constexpr size_t kLargestBlock = 4096;
    size_t blockLines = kFirstBlock;
    to = std::min(to, lines.size());
    range = carriedRange(range);
    size_t i = from;
    while (i < to) {
        if (range != RangeState::None) {
            range = carriedRange(tokenizer.scanLine(lines[i], range, [](int, size_t, size_t) {}));
            out.push_back(static_cast<uint8_t>(range));
            ++i;
            continue;
        }
        // Lines at rising addresses, at most a CR LF apart, are searched for
        // openers as one block. A hit between two lines only costs an exact
        // look at the next one.
        size_t j = i + 1;
        const size_t limit = std::min(to, i + blockLines);
        const char* blockEnd = lines[i].data() + lines[i].size();
        while (j < limit && lines[j].data() >= blockEnd && lines[j].data() - blockEnd <= 2) {
            blockEnd = lines[j].data() + lines[j].size();
            ++j;
        }
        const char* p = lines[i].data();
        while (i < j) {
            const char* hit = p ? findOpener(p, blockEnd) : blockEnd;
            if (hit == blockEnd) {
                out.insert(out.end(), j - i, static_cast<uint8_t>(RangeState::None));
                i = j;
                blockLines = std::min(2 * blockLines, kLargestBlock);
                break;
            }
            // A line that ends where the next begins, as stored lines do, has
            // its end at the next one's first byte, which may be the opener.
            size_t k = i;
            while (lines[k].data() + lines[k].size() <= hit)
                ++k;
            out.insert(out.end(), k - i, static_cast<uint8_t>(RangeState::None));
            range = rangeAfterLine(tokenizer, lines[k]);
            out.push_back(static_cast<uint8_t>(range));
            i = k + 1;
            if (range != RangeState::None) {
                blockLines = kFirstBlock;
                break;
            }
            p = std::max(hit + 1, lines[k].data() + lines[k].size());
        }
    }
}

void CommentRangeCache::clear()
{
    ranges_.clear();
    fresh_.clear();
    stale_ = false;
}

void CommentRangeCache::textChanged()
{
    fresh_.clear();
    stale_ = !ranges_.empty();
}

size_t CommentRangeCache::unmeasured(size_t line) const
{
    const size_t known = stale_ ? fresh_.size() : ranges_.size();
    return line > known ? line - known : 0;
}

bool CommentRangeCache::measureTowards(const std::vector<std::string_view>& lines, size_t line, size_t most)
{
    // While the text is new, the old ranges stay as the guess until the new ones reach as far.
    std::vector<uint8_t>& known = stale_ ? fresh_ : ranges_;
    if (known.size() < line) {
        const size_t to = line - known.size() > most ? known.size() + most : line;
        const int range = known.empty() ? RangeState::None : known.back();
        lineEndRanges(lines, known.size(), to, range, known);
        if (known.size() < line)
            return false;
    }
    if (stale_) {
        ranges_ = std::move(fresh_);
        fresh_.clear();
        stale_ = false;
    }
    return true;
}

int CommentRangeCache::rangeBefore(const std::vector<std::string_view>& lines, size_t line)
{
    if (line == 0)
        return RangeState::None;
    measureTowards(lines, line, line);
    return ranges_[line - 1];
}

int CommentRangeCache::guessBefore(size_t line) const
{
    return line > 0 && stale_ && ranges_.size() >= line ? ranges_[line - 1] : RangeState::None;
}

} // namespace torvel
