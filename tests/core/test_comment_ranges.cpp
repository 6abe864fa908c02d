#include "core/CommentRanges.h"
#include "core/Tokenizer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace torvel;

namespace {

// The reference for lineEndRanges: every line through scanLine, split where the view splits.
std::vector<uint8_t> rangesLineByLine(std::string_view text, size_t lines, int range)
{
    std::vector<uint8_t> out;
    Tokenizer t;
    size_t i = 0;
    while (out.size() < lines) {
        size_t e = i;
        while (e < text.size() && text[e] != '\n' && text[e] != '\r')
            ++e;
        range = t.scanLine(text.substr(i, e - i), range, [](int, size_t, size_t) {});
        if (range != RangeState::BraceComment && range != RangeState::ParenComment)
            range = RangeState::None;
        out.push_back(static_cast<uint8_t>(range));
        if (e < text.size() && text[e] == '\r')
            ++e;
        if (e < text.size() && text[e] == '\n')
            ++e;
        i = e;
    }
    return out;
}

std::vector<uint8_t> rangesOf(std::string_view text, size_t lines, int range)
{
    std::vector<uint8_t> out;
    lineEndRanges(text, lines, range, out);
    return out;
}

TEST(CommentRanges, CraftedTexts)
{
    // clang-format off
    const struct { const char* name; std::string text; int rangeIn; } cases[] = {
        {"plain", "N10 G01 X1\nN20 Y2\n", 0},
        {"opens and closes", "G0 (a)\nX1 (b\nstill\n) Y2\n", 0},
        {"brace over empty lines", "N1 {\n\n\n} G1\nX(\n", 0},
        {"starts inside", "more\nend) X1\n{", RangeState::ParenComment},
        {"word range never carries", "X10\n5\n%a\nb%\n", 16},
        {"delimited word swallows opener", "#1(\nG1\n%(%(\nX1\n<(>\n", 0},
        {"address word stops before opener", "X1(Z\nY2\nX1Z{\nq}\n", 0},
        {"code 0 ends the scan", std::string("G1\0(x\nY2\n(\0)\nX\n", 15), 0},
        {"CR and CR LF", "(a\r\nb)\rX(\r)\r\nY\n", 0},
        {"no final break", "G1\nX1 (open", 0},
        {"final break", "G1\n(\n", 0},
        {"empty", "", 0},
        {"accented", "G1 (\xc3\xa9\n\xe9)X1\n", 0},
    };
    // clang-format on
    for (const auto& c : cases) {
        size_t breaks = 0;
        for (size_t i = 0; i < c.text.size(); ++i)
            if (c.text[i] == '\n' || (c.text[i] == '\r' && (i + 1 == c.text.size() || c.text[i + 1] != '\n')))
                ++breaks;
        // One line past the text's own: a view's final empty line.
        for (size_t lines = 0; lines <= breaks + 2; ++lines)
            EXPECT_EQ(rangesOf(c.text, lines, c.rangeIn), rangesLineByLine(c.text, lines, c.rangeIn))
                << c.name << ", " << lines << " lines";
    }
}

TEST(CommentRanges, RandomTextsMatchTheLineScan)
{
    const std::string alphabet = std::string("(){}%#<>XZYNGa1 .\n\n\n\r") + '\0';
    uint32_t seed = 12345;
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const size_t size = 1 + round * 7 % 400;
        for (size_t i = 0; i < size; ++i) {
            seed = seed * 1664525u + 1013904223u;
            text += alphabet[(seed >> 16) % alphabet.size()];
        }
        const size_t lines = 1 + static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
        ASSERT_EQ(rangesOf(text, lines, 0), rangesLineByLine(text, lines, 0)) << round;
    }
}

// Lines of one buffer (as loaded) with some lines replaced by views elsewhere
// (as a function leaves them), against the line-by-line scan.
TEST(CommentRanges, ProgramLinesMatchTheLineScan)
{
    const std::string alphabet = std::string("(){}%#<>XZYNGa1 .") + '\0';
    const char* const separators[] = {"\n", "\r\n", "\r"};
    uint32_t seed = 777;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u, seed >> 16; };
    for (int round = 0; round < 300; ++round) {
        std::string buffer;
        std::vector<std::pair<size_t, size_t>> spans;
        const size_t count = 1 + round % 40;
        const char* sep = separators[round % 3];
        for (size_t l = 0; l < count; ++l) {
            const size_t start = buffer.size();
            const size_t length = next() % (round % 5 == 0 ? 3 : 12);
            for (size_t c = 0; c < length; ++c)
                buffer += alphabet[next() % alphabet.size()];
            spans.emplace_back(start, buffer.size() - start);
            buffer += sep;
        }
        std::vector<std::string> elsewhere;
        elsewhere.reserve(count);
        std::vector<std::string_view> lines;
        for (const auto& [start, length] : spans) {
            if (next() % 4 == 0) {
                elsewhere.push_back(next() % 2 ? "(x" : "Y2)");
                lines.emplace_back(elsewhere.back());
            } else {
                lines.emplace_back(buffer.data() + start, length);
            }
        }
        std::vector<uint8_t> expected;
        Tokenizer t;
        int range = round % 7 == 0 ? RangeState::ParenComment : RangeState::None;
        const int rangeIn = range;
        for (std::string_view line : lines) {
            range = carriedRange(t.scanLine(line, range, [](int, size_t, size_t) {}));
            expected.push_back(static_cast<uint8_t>(range));
        }
        const size_t from = round % 3 == 0 ? count / 2 : 0;
        int startRange = rangeIn;
        if (from > 0)
            startRange = expected[from - 1];
        std::vector<uint8_t> out;
        lineEndRanges(lines, from, count + 1, startRange, out);
        ASSERT_EQ(out, std::vector<uint8_t>(expected.begin() + static_cast<std::ptrdiff_t>(from), expected.end()))
            << round;
    }
}

// The view's cache: measured as far as asked, and after a change a guess from the old
// ranges until measured again.
TEST(CommentRanges, CacheMeasuresOnceAndGuessesAfterAChange)
{
    const std::vector<std::string_view> before = {"G1 (open", "X1", "close) Y2", "N4"};
    const std::vector<std::string_view> after = {"G1", "X1", "close) Y2", "N4"};
    CommentRangeCache cache;
    EXPECT_EQ(cache.unmeasured(3), 3u);
    EXPECT_EQ(cache.rangeBefore(before, 0), RangeState::None);
    EXPECT_EQ(cache.rangeBefore(before, 2), RangeState::ParenComment);
    EXPECT_EQ(cache.unmeasured(2), 0u);
    EXPECT_EQ(cache.unmeasured(4), 2u);
    EXPECT_EQ(cache.rangeBefore(before, 4), RangeState::None);

    cache.textChanged();
    EXPECT_EQ(cache.unmeasured(2), 2u);
    EXPECT_EQ(cache.guessBefore(2), RangeState::ParenComment);
    EXPECT_EQ(cache.rangeBefore(after, 2), RangeState::None);
    EXPECT_EQ(cache.guessBefore(2), RangeState::None);

    // Measured a stretch at a time, the old ranges stay the guess until it is done.
    cache.textChanged();
    EXPECT_FALSE(cache.measureTowards(before, 3, 2));
    EXPECT_EQ(cache.guessBefore(2), RangeState::None);
    EXPECT_EQ(cache.unmeasured(3), 1u);
    EXPECT_TRUE(cache.measureTowards(before, 3, 2));
    EXPECT_EQ(cache.unmeasured(3), 0u);
    EXPECT_EQ(cache.rangeBefore(before, 2), RangeState::ParenComment);

    cache.rangeBefore(before, 3);
    cache.clear();
    EXPECT_EQ(cache.unmeasured(3), 3u);
    EXPECT_EQ(cache.guessBefore(2), RangeState::None);
}

} // namespace
