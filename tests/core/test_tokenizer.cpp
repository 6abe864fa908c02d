#include "core/Tokenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include <string>
#include <utility>
#include <vector>

using namespace torvel;

namespace {

using Tokens = std::vector<std::pair<std::string, int>>;

struct Scanned {
    Tokens tokens;
    int rangeOut;
};

Scanned scan(std::string_view line, int rangeIn = 0)
{
    Tokenizer t;
    Scanned s;
    s.rangeOut = t.scanLine(line, rangeIn,
        [&](int kind, size_t b, size_t e) { s.tokens.emplace_back(std::string(line.substr(b, e - b)), kind); });
    return s;
}

struct LineCase {
    const char* name;
    std::string line;
    int rangeIn;
    Tokens expected;
    int rangeOut;
};

class TokenizerLine : public testing::TestWithParam<LineCase> { };

TEST_P(TokenizerLine, Tokens)
{
    const LineCase& c = GetParam();
    const Scanned s = scan(c.line, c.rangeIn);
    EXPECT_EQ(s.tokens, c.expected);
    EXPECT_EQ(s.rangeOut, c.rangeOut);
}

// clang-format off
const LineCase kLines[] = {
    // The blocks a part program is made of.
    {"BlockWithTwoWords", "G01X9.02 M09", 0, {{"G01", 18}, {"X9.02", 10}, {" ", 4}, {"M09", 22}}, 0},
    {"BlockWithComment", "N10 G01 X9.02 Y-3.5 (DESBASTE)", 0,
     {{"N10", 23}, {" ", 4}, {"G01", 18}, {" ", 4}, {"X9.02", 10}, {" ", 4}, {"Y-3.5", 12}, {" ", 4},
      {"(DESBASTE)", 0}}, 0},
    {"ClosingLetterIsSwallowed", "G01I5", 0, {{"G01I", 18}, {"5", 25}}, 0},
    {"XClosesAtZ", "X10Z5", 0, {{"X10Z", 10}, {"5", 25}}, 0},
    {"XStopsAtY", "X10Y5", 0, {{"X10", 10}, {"Y5", 12}}, 0},
    {"ZClosesAtY", "Z1Y2", 0, {{"Z1Y", 11}, {"2", 25}}, 0},
    {"YClosesAtA", "YA1", 0, {{"YA", 12}, {"1", 25}}, 0},
    {"ClosingRightAfterLetter", "AB", 0, {{"AB", 5}}, 0},
    {"NClosesAtR", "N5R1", 0, {{"N5R", 23}, {"1", 25}}, 0},
    {"OtherCapitalsContinueWord", "G01D5", 0, {{"G01D5", 18}}, 0},
    {"OtherCapitalAtStart", "D5", 0, {{"D", 25}, {"5", 25}}, 0},
    {"LowerCaseLetterIsIdentifier", "g01", 0, {{"g", 1}, {"0", 25}, {"1", 25}}, 0},
    {"LowerCaseInsideWord", "X1abc", 0, {{"X1abc", 10}}, 0},
    {"EveryAddressLetter", "A1B2C3F4G5I6J7K8M9N0R1S2T3X4Y5Z6", 0,
     {{"A1B", 5}, {"2", 25}, {"C3F", 16}, {"4", 25}, {"G5I", 18}, {"6", 25}, {"J7K", 20}, {"8", 25}, {"M9N", 22},
      {"0", 25}, {"R1S", 7}, {"2", 25}, {"T3X", 9}, {"4", 25}, {"Y5", 12}, {"Z6", 11}}, 0},
    {"TabContinuesWordSpaceStops", "X1\t2 3", 0, {{"X1\t2", 10}, {" ", 4}, {"3", 25}}, 0},
    {"ContinuingSymbols", "X1>2%3#4=5", 0, {{"X1>2%3#4=5", 10}}, 0},
    {"StopSymbols", "X1)Y2}Z3<4>", 0, {{"X1", 10}, {")", 25}, {"Y2", 12}, {"}", 25}, {"Z3", 11}, {"<4>", 15}}, 0},
    {"WordBeforeComments", "G1{c}G2(d)", 0, {{"G1", 18}, {"{c}", 0}, {"G2", 18}, {"(d)", 0}}, 0},
    {"LonePercent", "%", 0, {{"%", 13}}, 0},
    {"PercentWord", "%O1000 (X)% G1", 0, {{"%O1000 (X)%", 13}, {" ", 4}, {"G1", 18}}, 0},
    {"HashToEndOfLine", "#1 = 2 (a)", 0, {{"#1 = 2 (a)", 14}}, 0},
    {"HashClosed", "#a#b", 0, {{"#a#", 14}, {"b", 1}}, 0},
    {"AngleWord", "<abc> X1", 0, {{"<abc>", 15}, {" ", 4}, {"X1", 10}}, 0},
    {"AngleWordKeepsEverything", "< X1 ( { >", 0, {{"< X1 ( { >", 15}}, 0},
    {"ParenthesisLeftOpen", "G00(text", 0, {{"G00", 18}, {"(text", 0}}, 2},
    {"BraceLeftOpen", "{ a", 0, {{"{ a", 0}}, 1},
    {"LoneBraceIsComment", "{", 0, {{"{", 0}}, 1},
    {"LoneParenthesisIsComment", "(", 0, {{"(", 0}}, 2},
    {"CommentsDoNotNest", "(a (b) c)", 0, {{"(a (b)", 0}, {" ", 4}, {"c", 1}, {")", 25}}, 0},
    {"BraceIgnoresParenthesis", "{a)b}X", 0, {{"{a)b}", 0}, {"X", 10}}, 0},
    {"BlankRun", " \t  X", 0, {{" \t  ", 4}, {"X", 10}}, 0},
    {"ControlCodesAreBlank", "\x01\x1f" "a", 0, {{"\x01\x1f", 4}, {"a", 1}}, 0},
    {"EmptyLine", "", 0, {}, 0},
    // Carried range: only the comments continue.
    {"ParenthesisContinues", "more) X1", 2, {{"more)", 0}, {" ", 4}, {"X1", 10}}, 0},
    {"BraceContinues", "b } X1", 1, {{"b }", 0}, {" ", 4}, {"X1", 10}}, 0},
    {"BraceContinuesWithoutClose", "G01 X1 (x)", 1, {{"G01 X1 (x)", 0}}, 1},
    {"ClosingCharacterFirst", ")G1", 2, {{")", 0}, {"G1", 18}}, 0},
    {"EmptyLineInsideBrace", "", 1, {}, 1},
    {"EmptyLineInsideParenthesis", "", 2, {}, 2},
    {"AddressRangeIsNotCarried", "123", 16, {{"1", 25}, {"2", 25}, {"3", 25}}, 0},
    {"DelimitedRangeIsNotCarried", "abc def", 19, {{"abc", 1}, {" ", 4}, {"def", 1}}, 0},
    {"AddressWordAtLineEnd", "X10", 0, {{"X10", 10}}, 0},
    {"DelimitedWordAtLineEnd", "<ab", 0, {{"<ab", 15}}, 0},
    // Code 0 ends the scan of its line.
    {"ZeroInsideLine", std::string("G1\0X5", 5), 0, {{"G1", 18}}, 0},
    {"ZeroInsideComment", std::string("(ab\0cd)", 7), 0, {{"(ab", 0}}, 2},
    {"ZeroInsideDelimitedWord", std::string("%ab\0cd%", 7), 0, {{"%ab", 13}}, 0},
    {"ZeroFirst", std::string("\0G1", 3), 0, {}, 0},
    // Bytes from 128 up.
    {"AccentedOutsideWord", "\xe9 \xe7" "a\xe3", 0, {{"\xe9", 25}, {" ", 4}, {"\xe7", 25}, {"a", 1}, {"\xe3", 25}}, 0},
    {"AccentedInsideWord", "X1\xe9\xff" "2 N\xc3\xa7", 0, {{"X1\xe9\xff" "2", 10}, {" ", 4}, {"N\xc3\xa7", 23}}, 0},
    {"AccentedInsideComment", "(\xe7\xe3o)", 0, {{"(\xe7\xe3o)", 0}}, 0},
    {"Utf8CharacterOutsideWord", "\xc3\xa9", 0, {{"\xc3", 25}, {"\xa9", 25}}, 0},
    // Keywords: whole lower-case identifiers only.
    {"KeywordVelnor", "velnor", 0, {{"velnor", 2}}, 0},
    {"KeywordOstrand", "ostrand", 0, {{"ostrand", 24}}, 0},
    {"KeywordsInBlock", "velnor ostrand1", 0, {{"velnor", 2}, {" ", 4}, {"ostrand", 24}, {"1", 25}}, 0},
    {"KeywordWithLetter", "velnors", 0, {{"velnors", 1}}, 0},
    {"KeywordWithUnderscore", "ostrand_", 0, {{"ostrand_", 1}}, 0},
    {"KeywordWithLeadingLetter", "avelnor", 0, {{"avelnor", 1}}, 0},
    {"KeywordCapitalInitial", "Velnor", 0, {{"V", 25}, {"elnor", 1}}, 0},
    {"KeywordCapitalAddressInitial", "Ostrand", 0, {{"O", 25}, {"strand", 1}}, 0},
    {"KeywordAnagramSameHash", "nelvor ostrnad", 0, {{"nelvor", 1}, {" ", 4}, {"ostrnad", 1}}, 0},
    {"KeywordInsideWord", "X1velnor", 0, {{"X1velnor", 10}}, 0},
    // Line breaks inside a text handed over whole.
    {"CrLfIsOneBlank", "G1\r\nX2", 0, {{"G1", 18}, {"\r\n", 4}, {"X2", 10}}, 0},
    {"LoneCrAndLf", "a\rb\nc", 0, {{"a", 1}, {"\r", 4}, {"b", 1}, {"\n", 4}, {"c", 1}}, 0},
    {"LineFeedInsideComment", "(a\nb) c", 0, {{"(a", 0}, {"\n", 4}, {"b)", 0}, {" ", 4}, {"c", 1}}, 0},
    {"BraceThenLineFeed", "{\nx}", 0, {{"{\n", 0}, {"x}", 0}}, 0},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Lines, TokenizerLine, testing::ValuesIn(kLines),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

// Lines scanned one after another, the stored range handed to the next line.
std::vector<Tokens> scanLines(const std::vector<std::string>& lines)
{
    std::vector<Tokens> out;
    int range = 0;
    for (const std::string& line : lines) {
        Scanned s = scan(line, range);
        range = s.rangeOut;
        out.push_back(std::move(s.tokens));
    }
    return out;
}

TEST(TokenizerLines, ParenthesisCommentSpansLinesAndEmptyLines)
{
    const std::vector<Tokens> expected = {
        {{"G00", 18}, {"(start", 0}},
        {},
        {{"G01 X1 {not a brace}", 0}},
        {},
        {{"end)", 0}, {"X1", 10}},
        {{"Y2", 12}},
    };
    EXPECT_EQ(scanLines({"G00(start", "", "G01 X1 {not a brace}", "", "end)X1", "Y2"}), expected);
}

TEST(TokenizerLines, BraceCommentSpansLines)
{
    const std::vector<Tokens> expected = {
        {{"N1", 23}, {" ", 4}, {"{", 0}},
        {{"  (x) ", 0}},
        {},
        {{"}", 0}, {" ", 4}, {"G1", 18}},
    };
    EXPECT_EQ(scanLines({"N1 {", "  (x) ", "", "} G1"}), expected);
}

TEST(TokenizerLines, AddressWordNeverContinues)
{
    // The word ends at the line end; the next line starts from range 0.
    const std::vector<Tokens> expected = {{{"X10", 10}}, {{"5", 25}}, {{"%a", 13}}, {{"b", 1}, {"%", 13}}};
    EXPECT_EQ(scanLines({"X10", "5", "%a", "b%"}), expected);
}

TEST(Tokenizer, TokenInterface)
{
    Tokenizer t;
    t.setLine("G1 velnor", 0);
    EXPECT_FALSE(t.atEnd());
    EXPECT_EQ(t.tokenText(), "G1");
    EXPECT_EQ(t.tokenStart(), 0u);
    EXPECT_EQ(t.position(), 2u);
    EXPECT_EQ(t.range(), 7); // stopped at the blank, not closed: G's range until the next token
    t.next();
    t.next();
    EXPECT_EQ(t.tokenText(), "velnor");
    EXPECT_EQ(t.kind(), TokenKind::Velnor);
    EXPECT_EQ(t.tokenStart(), 3u);
    t.next();
    EXPECT_TRUE(t.atEnd());
    EXPECT_EQ(t.kind(), TokenKind::EndOfLine);
    EXPECT_EQ(t.tokenText(), "");
    t.next(); // stays at the end
    EXPECT_TRUE(t.atEnd());
    EXPECT_EQ(t.position(), 9u);
}

TEST(Tokenizer, WordRangeHeldUntilNextToken)
{
    Tokenizer t;
    t.setLine("X1 Y", 0);
    EXPECT_EQ(t.kind(), TokenKind::WordX);
    EXPECT_EQ(t.range(), 16);
    t.next();
    EXPECT_EQ(t.range(), 0);
    t.setLine("<a", 0);
    EXPECT_EQ(t.range(), 21);
    t.setLine("Z1Y", 0);
    EXPECT_EQ(t.range(), 0);
}

TEST(Tokenizer, SetAndResetRange)
{
    Tokenizer t;
    t.setRange(1);
    EXPECT_EQ(t.range(), 1);
    t.resetRange();
    EXPECT_EQ(t.range(), 0);
    t.setLine("a}", 1);
    EXPECT_EQ(t.kind(), TokenKind::Comment);
    EXPECT_EQ(t.tokenText(), "a}");
}

TEST(Tokenizer, LongLineAfterShortLines)
{
    Tokenizer t;
    std::string longLine(5000, '1');
    longLine.insert(0, "X");
    t.setLine("G1", 0);
    t.setLine(longLine, 0);
    EXPECT_EQ(t.tokenText().size(), longLine.size());
    t.setLine("N1", 0);
    EXPECT_EQ(t.tokenText(), "N1");
    t.next();
    EXPECT_TRUE(t.atEnd());
}

TEST(Tokenizer, EveryByteHasARule)
{
    // Every code either ends the line or moves the scan forward.
    for (int c = 0; c < 256; ++c) {
        const std::string line(1, static_cast<char>(c));
        const Scanned s = scan(line);
        if (c == 0)
            EXPECT_TRUE(s.tokens.empty());
        else
            ASSERT_EQ(s.tokens.size(), 1u) << c;
    }
}

} // namespace
