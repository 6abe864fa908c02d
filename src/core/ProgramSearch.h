#pragma once

#include "core/ProgramText.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvel {

struct SearchOptions {
    bool matchCase = false;
    bool wholeWord = false;
};

// A place in the program: 0-based line and byte offset in that line.
struct TextPosition {
    long long line = 0;
    size_t column = 0;
    auto operator<=>(const TextPosition&) const = default;
};

struct SearchHit {
    TextPosition at;
    bool wrapped = false; // found only by going on from the other end of the program
};

struct SearchTally {
    size_t total = 0;
    size_t before = 0; // matches that start before the given position
};

// A match whose place among all of them is known (0-based).
struct KnownMatch {
    TextPosition at;
    size_t index = 0;
};

// Finds a typed text in the program's bytes as they are shown. The pattern is
// converted once to the program's encoding, so every match is a plain byte
// comparison and every match has the same length in bytes.
//
// Without "match case", letters match their other case: ASCII letters always;
// for a program shown as Windows-1252 also the accented Latin letters (À..Þ with
// à..þ, and Š Œ Ž Ÿ with š œ ž ÿ); for one shown as UTF-8 the accented letters
// U+00C0..U+00DE with U+00E0..U+00FE (the ones Portuguese and its neighbours use).
//
// "Whole word" follows how G-code is written: a word is an address letter with
// its number, or a name. Letters (with '_' and every byte above 127) join the
// letters and the number that follow them; digits and '.' join digits and '.'.
// A number is ended by the next letter, because that letter starts the next
// address word. So "X1" is found in "X1 Y2" and "G01X1Y2" but not in "X10",
// "X1.5" or "AX1", and "10" is not found inside "X10".
class ProgramSearch {
public:
    enum class Status { Ready, Empty, NotInEncoding, HasLineBreak };

    ProgramSearch(std::string_view typedUtf8, bool utf8Program, SearchOptions options);

    Status status() const { return status_; }
    bool ready() const { return status_ == Status::Ready; }
    // A sentence for the window when not ready (empty when ready).
    std::string problem() const;
    size_t length() const { return pattern_.size(); }
    const std::string& bytes() const { return pattern_; }

    // The first match that starts at or after `from`, else the first one from the top.
    std::optional<SearchHit> next(const ProgramText& text, TextPosition from) const;
    // The last match that starts before `from`, else the last one from the bottom.
    std::optional<SearchHit> previous(const ProgramText& text, TextPosition from) const;
    // All matches, and how many of them start before `at`, in one pass.
    SearchTally tally(const ProgramText& text, TextPosition at = {}) const;
    // Matches that start in [from, to).
    size_t count(const ProgramText& text, TextPosition from, TextPosition to) const;
    // The place among all `total` matches of the match at `hit`, counted over the shortest
    // stretch: from `known` (the match found before), from the top or from the end.
    size_t indexOf(const ProgramText& text, TextPosition hit, size_t total, std::optional<KnownMatch> known) const;
    // Matches that start in lines first..last (inclusive), in order.
    std::vector<TextPosition> matchesInLines(const ProgramText& text, long long first, long long last) const;

    // Calls onMatch(TextPosition) for each match starting in [from, to), in order,
    // until it returns false.
    template <class Fn> void scan(const ProgramText& text, TextPosition from, TextPosition to, Fn&& onMatch) const;

private:
    const char* find(const char* begin, const char* end) const;
    const char* findFolded(const char* begin, const char* end) const;
    bool hasOtherCase(size_t i) const;
    bool wholeWordAt(std::string_view line, size_t column) const;

    Status status_ = Status::Empty;
    bool utf8_ = false;
    SearchOptions options_;
    std::string pattern_;
    bool folds_ = false; // the pattern holds a letter with another case
    // Per pattern byte: the folded byte, and whether it follows a UTF-8 lead of an
    // accented letter (so it is compared through the continuation fold).
    std::string folded_;
    std::vector<unsigned char> afterLead_;
    size_t anchorOffset_ = 0, anchorLength_ = 0; // bytes without another case, searched exactly
    unsigned char firstOther_ = 0; // the first byte's other case (itself when none)
    std::array<unsigned char, 256> fold_ {};
    std::array<unsigned char, 256> continuationFold_ {};
};

template <class Fn>
void ProgramSearch::scan(const ProgramText& text, TextPosition from, TextPosition to, Fn&& onMatch) const
{
    const auto& lines = text.lines();
    const long long count = static_cast<long long>(lines.size());
    if (!ready() || from.line >= count || to <= from)
        return;
    if (from.line < 0)
        from = {};
    const long long last = std::min(to.line, count - 1);
    const size_t m = pattern_.size();
    // Lines that follow one another in memory (a loaded file's, at most a line break
    // apart) are searched as one block; a hit is then placed on its line, and one that
    // starts in a break or runs over a line's end is no hit.
    long long i = from.line;
    while (i <= last) {
        long long j = i + 1;
        while (j <= last) {
            const std::string_view a = lines[static_cast<size_t>(j - 1)], b = lines[static_cast<size_t>(j)];
            if (!a.data() || !b.data() || b.data() < a.data() + a.size() || b.data() > a.data() + a.size() + 2)
                break;
            ++j;
        }
        const std::string_view firstLine = lines[static_cast<size_t>(i)];
        const size_t skip = i == from.line ? std::min(from.column, firstLine.size()) : 0;
        const char* p = firstLine.data() + skip;
        const std::string_view lastLine = lines[static_cast<size_t>(j - 1)];
        const char* const end = lastLine.data() + lastLine.size();
        long long k = i;
        while (p && end - p >= static_cast<std::ptrdiff_t>(m)) {
            const char* hit = find(p, end);
            if (!hit)
                break;
            p = hit + 1;
            std::string_view line = lines[static_cast<size_t>(k)];
            while (hit >= line.data() + line.size() && k + 1 < j)
                line = lines[static_cast<size_t>(++k)];
            if (hit < line.data() || hit + m > line.data() + line.size())
                continue;
            const TextPosition at {k, static_cast<size_t>(hit - line.data())};
            if (!(at < to))
                return;
            if (options_.wholeWord && !wholeWordAt(line, at.column))
                continue;
            if (!onMatch(at))
                return;
        }
        i = j;
    }
}

} // namespace torvel
