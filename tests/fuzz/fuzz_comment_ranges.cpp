// The comment-range scan against the plain rules applied line by line: the
// text form that the highlighter uses, the line-list form over lines laid out
// in memory as a loaded and then edited program may have them (neighbours a
// few arbitrary bytes apart, or elsewhere), and the view's cache.

#include "FuzzSupport.h"
#include "NaiveTokenizer.h"

#include "core/CommentRanges.h"

#include <memory>

using namespace torvel;
using namespace torvel::fuzz;

namespace {

std::string shownRanges(const std::vector<uint8_t>& ranges)
{
    std::string s;
    for (const uint8_t r : ranges)
        s += std::to_string(r);
    return s;
}

// The range at the end of each line, the first starting in `range`.
std::vector<uint8_t> naiveRanges(const std::vector<std::string_view>& lines, size_t from, size_t to, int range)
{
    NaiveTokenizer naive;
    std::vector<uint8_t> out;
    std::vector<NaiveToken> tokens;
    range = naiveCarried(range);
    for (size_t i = from; i < to && i < lines.size(); ++i) {
        tokens.clear();
        range = naiveCarried(naive.scan(lines[i], range, tokens));
        out.push_back(static_cast<uint8_t>(range));
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in(data, size);
    const int rangeIn = static_cast<int8_t>(in.byte());
    const uint8_t layout = in.byte();
    const size_t cut = in.byte();
    const std::string_view text = in.rest();
    std::vector<std::string_view> lines = naiveLines(text);

    // The text form, also asked for fewer lines and for the view's empty line after the last break.
    {
        std::vector<std::string_view> asked = lines;
        if (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            asked.emplace_back();
        const std::vector<uint8_t> expected = naiveRanges(asked, 0, asked.size(), rangeIn);
        std::vector<uint8_t> got;
        lineEndRanges(text, asked.size(), rangeIn, got);
        FUZZ_CHECK(got == expected, shown(text) + ": " + shownRanges(got) + ", rules give " + shownRanges(expected));
        const size_t fewer = asked.empty() ? 0 : cut % asked.size();
        got.clear();
        lineEndRanges(text, fewer, rangeIn, got);
        FUZZ_CHECK(got.size() == fewer && std::equal(got.begin(), got.end(), expected.begin()), shown(text));
    }

    // The line list: each line placed after a gap of 0 to 3 bytes of `filler`,
    // or, every so often, in an arena of its own.
    const std::string_view filler = layout & 0x80 ? std::string_view("({)}") : std::string_view("\r\n\r\n");
    std::string arena(text.size() * 2 + 4 * lines.size() + 16, '\0');
    std::vector<std::unique_ptr<std::string>> apart;
    size_t at = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const unsigned choice = (layout + 7 * i) % 11;
        if (choice == 10) {
            apart.push_back(std::make_unique<std::string>(lines[i]));
            lines[i] = *apart.back();
            continue;
        }
        const size_t gap = choice % 4;
        for (size_t g = 0; g < gap; ++g)
            arena[at++] = filler[(i + g) % filler.size()];
        std::copy(lines[i].begin(), lines[i].end(), arena.begin() + static_cast<std::ptrdiff_t>(at));
        lines[i] = std::string_view(arena).substr(at, lines[i].size());
        at += lines[i].size();
    }
    const size_t from = lines.empty() ? 0 : cut % (lines.size() + 1);
    const size_t to = from + (layout % 64) * (layout % 3);
    const std::vector<uint8_t> expected = naiveRanges(lines, from, to, rangeIn);
    std::vector<uint8_t> got;
    lineEndRanges(lines, from, to, rangeIn, got);
    FUZZ_CHECK(got == expected,
        shown(text) + " lines " + std::to_string(from) + " to " + std::to_string(to) + ": " + shownRanges(got)
            + ", rules give " + shownRanges(expected));

    // The cache answers as a fresh measure does, asked in any order, also after a change.
    CommentRangeCache cache;
    const std::vector<uint8_t> all = naiveRanges(lines, 0, lines.size(), RangeState::None);
    for (size_t q = 0; q < 4 && !lines.empty(); ++q) {
        const size_t line = (cut + q * layout) % (lines.size() + 1);
        const int before = line == 0 ? RangeState::None : all[line - 1];
        FUZZ_CHECK(cache.rangeBefore(lines, line) == before, shown(text) + " before line " + std::to_string(line));
        FUZZ_CHECK(cache.unmeasured(line) == 0, std::to_string(line));
        if (q == 1) {
            cache.textChanged();
            const int guess = cache.guessBefore(line);
            FUZZ_CHECK(guess == before || guess == RangeState::None, std::to_string(line));
        }
    }
    return 0;
}
