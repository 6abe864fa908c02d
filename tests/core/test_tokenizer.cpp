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

std::vector<uint8_t> lineEndRanges(std::string_view text, size_t lines, int range)
{
    std::vector<uint8_t> out;
    Tokenizer().lineEndRanges(text, lines, range, out);
    return out;
}

TEST(TokenizerRanges, CraftedTexts)
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
            EXPECT_EQ(lineEndRanges(c.text, lines, c.rangeIn), rangesLineByLine(c.text, lines, c.rangeIn))
                << c.name << ", " << lines << " lines";
    }
}

TEST(TokenizerRanges, RandomTextsMatchTheLineScan)
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
        ASSERT_EQ(lineEndRanges(text, lines, 0), rangesLineByLine(text, lines, 0)) << round;
    }
}

// Lines of one buffer (as loaded) with some lines replaced by views elsewhere
// (as a function leaves them), against the line-by-line scan.
TEST(TokenizerRanges, ProgramLinesMatchTheLineScan)
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
        Tokenizer().lineEndRanges(lines, from, count + 1, startRange, out);
        ASSERT_EQ(out, std::vector<uint8_t>(expected.begin() + static_cast<std::ptrdiff_t>(from), expected.end()))
            << round;
    }
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

TEST(Tokenizer, IdentifierCharacters)
{
    std::string set;
    for (int c = 0; c < 256; ++c)
        if (isIdentifierCharacter(static_cast<unsigned char>(c)))
            set += static_cast<char>(c);
    EXPECT_EQ(set, "_abcdefghijklmnopqrstuvwxyz");
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

// The colour each letter shows, from its settings section through its token kind.
TEST(TokenAttributes, WordsTakeTheirSectionColour)
{
    const std::pair<const char*, const char*> rows[]
        = {{"A", "CorA"}, {"B", "CorB"}, {"C", "CorC"}, {"F", "CorF"}, {"G", "CorG"}, {"I", "CorI"}, {"J", "CorJ"},
            {"K", "CorK"}, {"M", "CorM"}, {"N", "CorN"}, {"R", "CorR"}, {"S", "CorS"}, {"T", "CorT"}, {"X", "CorX"},
            {"Y", "CorY"}, {"Z", "CorZ"}, {"%", "Cor1"}, {"#", "Cor2"}, {"<", "Cor3"}};
    ColourValues colours {};
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = static_cast<int32_t>(0x010203 * (i + 1));
    for (const auto& [opening, section] : rows) {
        const Scanned s = scan(std::string(opening) + "1");
        ASSERT_FALSE(s.tokens.empty());
        const auto attr = attributeForKind(s.tokens[0].second, colours);
        ASSERT_TRUE(attr.has_value()) << opening;
        size_t index = 0;
        while (std::string(kColourSections[index]) != section)
            ++index;
        EXPECT_EQ(attr->foreground, static_cast<uint32_t>(colours[index])) << opening;
        EXPECT_FALSE(attr->background.has_value());
        EXPECT_FALSE(attr->bold || attr->italic || attr->underline);
    }
}

TEST(TokenAttributes, AttributeNamesByKind)
{
    const ColourValues colours {};
    const std::pair<int, const char*> rows[] = {{0, "Comment"}, {1, "Identifier"}, {2, "Reserved Word"}, {4, "Space"},
        {5, "String0"}, {6, "String1"}, {7, "String10"}, {10, "String13"}, {11, "String14"}, {12, "String15"},
        {15, "String18"}, {16, "String2"}, {23, "String9"}, {24, "Test"}, {25, "Identifier"}};
    for (const auto& [kind, name] : rows) {
        const auto attr = attributeForKind(kind, colours);
        ASSERT_TRUE(attr.has_value()) << kind;
        EXPECT_STREQ(attr->name, name) << kind;
    }
    EXPECT_FALSE(attributeForKind(TokenKind::EndOfLine, colours).has_value());
    EXPECT_FALSE(attributeForKind(26, colours).has_value());
    EXPECT_FALSE(attributeForKind(-1, colours).has_value());
}

TEST(TokenAttributes, FixedStyles)
{
    const auto a = makeAttributes(ColourValues {});
    const TokenAttribute& comment = a[AttributeIndex::Comment];
    EXPECT_TRUE(comment.italic);
    EXPECT_FALSE(comment.bold || comment.underline);
    EXPECT_EQ(comment.foreground, 0x800000u); // navy
    EXPECT_FALSE(comment.background.has_value());
    EXPECT_TRUE(a[AttributeIndex::ReservedWord].bold);
    EXPECT_FALSE(a[AttributeIndex::ReservedWord].foreground.has_value());
    const TokenAttribute& test = a[AttributeIndex::Test];
    EXPECT_TRUE(test.italic && test.underline && !test.bold);
    EXPECT_EQ(test.foreground, 0xFF0000u);
    EXPECT_EQ(test.background, 0xC0C0C0u);
    for (int i : {AttributeIndex::Identifier, AttributeIndex::Space}) {
        EXPECT_FALSE(a[static_cast<size_t>(i)].foreground.has_value());
        EXPECT_FALSE(a[static_cast<size_t>(i)].background.has_value());
    }
    // Unset colours are black, not the editor's default.
    for (int i = AttributeIndex::String0; i < AttributeIndex::String0 + 19; ++i)
        EXPECT_EQ(a[static_cast<size_t>(i)].foreground, 0u);
}

TEST(TokenAttributes, DefaultAttributes)
{
    EXPECT_EQ(defaultAttributeIndex(0), AttributeIndex::Comment);
    EXPECT_EQ(defaultAttributeIndex(1), AttributeIndex::Identifier);
    EXPECT_EQ(defaultAttributeIndex(2), AttributeIndex::ReservedWord);
    EXPECT_EQ(defaultAttributeIndex(4), AttributeIndex::Space);
    for (int i : {-1, 3, 5, 24})
        EXPECT_EQ(defaultAttributeIndex(i), -1);
}

TEST(Highlighter, FixedTexts)
{
    const std::string_view sample = highlighterSampleSource();
    size_t breaks = 0;
    for (size_t i = sample.find("\r\n"); i != std::string_view::npos; i = sample.find("\r\n", i + 2))
        ++breaks;
    EXPECT_EQ(breaks, 8u);
    EXPECT_TRUE(sample.starts_with("{ Sample source for the demo highlighter }\r\nG01X9.02 M09\r\n\r\n"));
    EXPECT_NE(
        sample.find("\r\nWorld as keywords. It will also highlight \"Strings\".\r\n\r\n"), std::string_view::npos);
    EXPECT_TRUE(sample.ends_with("\r\n/* This style of comments is also highlighted */"));
    EXPECT_EQ(kHighlighterLanguageName, "");
    EXPECT_EQ(kHighlighterDefaultFilter, "All files (*.*)|*.*");
}

} // namespace
