#include "core/ProgramSearch.h"

#include "LineLists.h"

#include <gtest/gtest.h>

using namespace torvel;

namespace {

constexpr SearchOptions kAnyCase {}, kCase {true, false}, kWord {false, true};

struct FindCase {
    std::string program; // file bytes
    std::string pattern; // as typed (UTF-8)
    SearchOptions options;
    TextPosition from;
    bool forwards;
    std::optional<TextPosition> expected;
    bool wrapped = false;
};

std::string describe(const FindCase& c)
{
    return testing::PrintToString(c.program) + " / " + c.pattern + (c.forwards ? " next" : " previous") + " from "
        + std::to_string(c.from.line) + ":" + std::to_string(c.from.column);
}

void check(const FindCase& c, const ProgramText& text)
{
    const ProgramSearch search(c.pattern, showsAsUtf8(text), c.options);
    const auto hit = c.forwards ? search.next(text, c.from) : search.previous(text, c.from);
    ASSERT_EQ(hit.has_value(), c.expected.has_value()) << describe(c);
    if (hit) {
        EXPECT_EQ(hit->at, *c.expected) << describe(c);
        EXPECT_EQ(hit->wrapped, c.wrapped) << describe(c);
    }
}

} // namespace

TEST(ProgramSearch, FindsForwardsAndBackwardsWithWrapCaseAndWord)
{
    const std::string p = "N10 G01 X10 Y5\r\nN20 x1 Y-5\r\nN30 G01X1Y2\r\n(X1.5 AX1)\r\n";
    const std::vector<FindCase> cases = {
        {p, "X1", kAnyCase, {0, 0}, true, TextPosition {0, 8}},
        {p, "X1", kAnyCase, {0, 9}, true, TextPosition {1, 4}},
        {p, "X1", kCase, {0, 9}, true, TextPosition {2, 7}},
        {p, "X1", kWord, {0, 0}, true, TextPosition {1, 4}},
        {p, "X1", kWord, {1, 5}, true, TextPosition {2, 7}},
        {p, "X1", kWord, {2, 8}, true, TextPosition {1, 4}, true}, // "X1.5" and "AX1" are other words
        {p, "X1", kWord, {2, 7}, false, TextPosition {1, 4}},
        {p, "X1", kWord, {1, 4}, false, TextPosition {2, 7}, true},
        {p, "X1", kAnyCase, {0, 0}, false, TextPosition {3, 7}, true},
        {p, "G01", kWord, {0, 0}, true, TextPosition {0, 4}},
        {p, "10", kWord, {0, 0}, true, std::nullopt}, // only inside N10 and X10
        {p, "Y-5", kWord, {0, 0}, true, TextPosition {1, 7}},
        {p, "n30", kAnyCase, {3, 0}, true, TextPosition {2, 0}, true},
        {p, "n30", kCase, {0, 0}, true, std::nullopt},
        {p, "n30 g01x", kAnyCase, {0, 1}, true, TextPosition {2, 0}},
        {p, "0 g01 x", kAnyCase, {0, 3}, false, TextPosition {0, 2}},
        {p, "Z", kAnyCase, {0, 0}, true, std::nullopt},
        {p, "", kAnyCase, {0, 0}, true, std::nullopt},
        {p, "5\r\nN", kAnyCase, {0, 0}, true, std::nullopt},
        {"AAA\nAAA", "AA", kAnyCase, {0, 1}, true, TextPosition {0, 1}},
        {"AAA\nAAA", "AA", kAnyCase, {0, 2}, true, TextPosition {1, 0}},
        {"AAA\nAAA", "AA", kAnyCase, {0, 1}, false, TextPosition {0, 0}},
        // Bytes above 127: Windows-1252 (invalid UTF-8) and UTF-8.
        {"(A\xc7\xc3O)\n(a\xe7\xe3o)\n", "ação", kAnyCase, {0, 2}, true, TextPosition {1, 1}},
        {"(A\xc7\xc3O)\n(a\xe7\xe3o)\n", "ação", kCase, {1, 2}, true, TextPosition {1, 1}, true},
        {"(A\xc7\xc3O)\n(a\xe7\xe3o)\n", "AÇÃO", kAnyCase, {1, 0}, false, TextPosition {0, 1}},
        {"(\x8a\x9f)\n(\x9a\xff)\n", "ŠŸ", kAnyCase, {0, 2}, true, TextPosition {1, 1}},
        {"(\xd7)\n(\xf7)\n", "×", kAnyCase, {0, 2}, true, TextPosition {0, 1}, true},
        {"(\xe7)\n", "€", kAnyCase, {0, 0}, true, std::nullopt},
        {"(\xe7)\n", "ą", kAnyCase, {0, 0}, true, std::nullopt}, // no Windows-1252 byte
        {"(AÇÃO)\n(ação)\n", "ação", kAnyCase, {0, 2}, true, TextPosition {1, 1}},
        {"(AÇÃO)\n(ação)\n", "AçãO", kCase, {0, 0}, true, std::nullopt},
        {"(AÇÃO)\n(ação)\n", "ÇÃ", kAnyCase, {1, 0}, false, TextPosition {0, 2}},
        {"(×)\n(÷)\n", "÷", kAnyCase, {0, 0}, true, TextPosition {1, 1}},
        {"(\xe2\x82\xac \xc2\x80)\n", "\xc2\xa0", kAnyCase, {0, 0}, true, std::nullopt}, // C2 80 is no letter
        {"(ÉDITO) É\n", "é", kWord, {0, 0}, true, TextPosition {0, 9}},
    };
    for (const auto& c : cases)
        check(c, ProgramText::fromFileBytes(c.program));
}

TEST(ProgramSearch, SeesLinesAsTheyAreStoredAfterChanges)
{
    // Lines copied side by side (no break between) and lines rewritten elsewhere in memory.
    ProgramText joined = toText({"N10", "N20", "N30"});
    ProgramText edited = ProgramText::fromFileBytes("N10\nN20\nN30\n");
    edited.replace(1, "N25");
    edited.insert(0, "");
    const std::vector<std::pair<std::string, std::optional<TextPosition>>> joinedCases
        = {{"10N2", std::nullopt}, {"0N", std::nullopt}, {"N30", TextPosition {2, 0}}};
    for (const auto& [pattern, expected] : joinedCases)
        check({"", pattern, kCase, {0, 0}, true, expected}, joined);
    check({"", "N25", kCase, {2, 3}, true, TextPosition {2, 0}, true}, edited);
    check({"", "N", kCase, {3, 0}, false, TextPosition {2, 0}}, edited);
    check({"", "N30", kCase, {0, 0}, false, TextPosition {3, 0}, true}, edited);
}

TEST(ProgramSearch, FindsMatchesFarApartAndCountsThem)
{
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += i == 7 || i == 150000 || i == 199999 ? "N1 G01 X5 (ALVO)\r\n" : "N1 G01 X5 Y7\r\n";
    const ProgramText text = ProgramText::fromFileBytes(bytes);
    const ProgramSearch search("alvo", false, kAnyCase);
    EXPECT_EQ(search.next(text, {8, 0})->at, (TextPosition {150000, 11}));
    EXPECT_EQ(search.previous(text, {150000, 11})->at, (TextPosition {7, 11}));
    const auto wrapped = search.previous(text, {7, 11});
    EXPECT_TRUE(wrapped->wrapped);
    EXPECT_EQ(wrapped->at, (TextPosition {199999, 11}));
    const SearchTally tally = search.tally(text, {150000, 11});
    EXPECT_EQ(tally.total, 3u);
    EXPECT_EQ(tally.before, 1u);
    EXPECT_EQ(ProgramSearch("x5", false, kWord).tally(text).total, 200000u);
    const auto marks = search.matchesInLines(text, 100, 150000);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0], (TextPosition {150000, 11}));
    EXPECT_TRUE(ProgramSearch("X5", false, kCase).matchesInLines(text, 5, 4).empty());
}

TEST(ProgramSearch, PlacesAMatchAmongAllFromTheOneFoundBefore)
{
    // Two matches on a line, runs of them and lone ones far apart.
    std::string bytes;
    for (int i = 0; i < 3000; ++i)
        bytes += i % 7 == 0 ? "X1 X1\n" : i % 500 == 3 ? "G01 X1\n" : "G01 Y2\n";
    const ProgramText text = ProgramText::fromFileBytes(bytes);
    const ProgramSearch search("x1", false, kAnyCase);
    const std::vector<TextPosition> all = search.matchesInLines(text, 0, 2999);
    const size_t total = search.tally(text).total;
    ASSERT_EQ(all.size(), total);
    // F3 and Shift+F3 steps, wraps both ways and jumps; each step knows only the one before.
    const size_t steps[] = {0, 1, 2, 3, total - 1, 0, total / 2, total / 2 - 1, 5, total - 2, 1};
    std::optional<KnownMatch> known;
    for (const size_t i : steps) {
        EXPECT_EQ(search.indexOf(text, all[i], total, known), i);
        EXPECT_EQ(search.indexOf(text, all[i], total, std::nullopt), i);
        known = KnownMatch {all[i], i};
    }
}

TEST(ProgramSearch, TellsWhyATextCannotBeSought)
{
    EXPECT_EQ(ProgramSearch("", false, {}).status(), ProgramSearch::Status::Empty);
    EXPECT_EQ(ProgramSearch("ą", false, {}).status(), ProgramSearch::Status::NotInEncoding);
    EXPECT_TRUE(ProgramSearch("ą", true, {}).ready());
    EXPECT_FALSE(ProgramSearch("ą", false, {}).problem().empty());
}
