#include "core/CoordinateRewrite.h"

#include "core/Errors.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace torvel;

namespace {

// Translation of a letter by a value typed with the locale separator.
std::string translate(std::string_view line, char letter, std::string_view value, bool plus, char separator = ',')
{
    return rewriteCoordinates(
        line, letter, [&](Extended old) { return old + readLocaleNumber(value, separator); }, plus, separator);
}

std::string error(std::string_view line, char letter, std::string_view value, char separator = ',')
{
    try {
        translate(line, letter, value, false, separator);
    } catch (const ConversionError& e) {
        return e.what();
    }
    return "(no error)";
}

struct Case {
    const char* line;
    char letter;
    const char* value;
    bool plus;
    const char* result;
};

TEST(RewriteCoordinates, TranslatesEveryWordOutsideComments)
{
    const Case cases[] = {
        {"N20 G01 X10.5 Y-3", 'X', "2,25", false, "N20 G01 X12.75 Y-3"},
        {"N30 G00 X10. Y5", 'X', "2", false, "N30 G00 X12 Y5"},
        {"X.5", 'X', "1", false, "X1.5"},
        {"X-2", 'X', "2", false, "X0"},
        {"X-2", 'X', "2", true, "X+0"},
        {"X+5", 'X', "1", false, "X+6"},
        {"X+5 X-1", 'X', "2", false, "X+7 X+1"},
        {"X10 X20", 'X', "1", false, "X11 X21"},
        {"x10", 'X', "1", false, "x10"},
        {"X 10", 'X', "1", false, "X 10"},
        {"G01 X10 (X20)", 'X', "1", false, "G01 X11 (X20)"},
        {"G01 X10(NOTA)", 'X', "1", false, "G01 X11(NOTA)"},
        {"G01 X10 (A) X20", 'X', "1", false, "G01 X11 (A) X20"},
        {"%X10", 'X', "1", false, "%X10"},
        {"X10Y20", 'X', "1", false, "X11Y20"},
        {"X10Y20", 'Y', "1", false, "X10Y21"},
        {"X10,5", 'X', "1", false, "X11.5"},
        {"X0.00005", 'X', "0", false, "X5E-5"},
        {"X0.0001", 'X', "0", false, "X0.0001"},
        {"X123.456", 'X', "-123,4", false, "X0.056"},
        {"X5E-5", 'X', "1", false, "X6E-5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(translate(c.line, c.letter, c.value, c.plus), c.result) << c.line << " " << c.letter;
}

TEST(RewriteCoordinates, PlusCarriesToLaterWordsOfTheSameLetterOnly)
{
    const Case cases[] = {
        {"X5 X+1 X2", 'X', "0", false, "X5 X+1 X+2"},
        {"X-5 X+1 X-2 X3", 'X', "0", false, "X-5 X+1 X-2 X+3"},
        {"X+1 Y2", 'X', "0", false, "X+1 Y2"},
        {"X+1 Y2", 'Y', "0", false, "X+1 Y2"},
        {"X1-+2 X3", 'X', "0", false, "(error)"},
        {"X-0", 'X', "0", false, "X0"},
        {"X-0", 'X', "0", true, "X+0"},
        {"X+.", 'X', "0", false, "X+0"},
        {"X5", 'X', "-10", true, "X-5"},
        {"X5", 'X', "-5", true, "X+0"},
    };
    for (const auto& c : cases) {
        if (std::string(c.result) == "(error)")
            EXPECT_THROW(translate(c.line, c.letter, c.value, c.plus), ConversionError) << c.line;
        else
            EXPECT_EQ(translate(c.line, c.letter, c.value, c.plus), c.result) << c.line;
    }
}

TEST(RewriteCoordinates, LettersWithoutNumbersAndLineEnds)
{
    const Case cases[] = {
        {"G01 X", 'X', "1", false, "G01 X"},
        {"X10 X", 'X', "1", false, "X11 X"},
        {"X", 'X', "1", false, "X"},
        {"", 'X', "1", false, ""},
        {"XX5", 'X', "1", false, "XX6"},
        {"X1X2", 'X', "1", false, "X2X3"},
        {"X(5)", 'X', "1", false, "X(5)"},
        {"X10)", 'X', "1", false, "X11)"},
        {")X10", 'X', "1", false, ")X10"},
        {"{X10}", 'X', "1", false, "{X10}"},
        {"X10#X5", 'X', "1", false, "X11#X5"},
        {"X1}X1", 'X', "1", false, "X2}X1"},
        {"X9 ; X9", 'X', "1", false, "X10 ; X10"},
        {"G01 X10 \xC7\xC3O", 'X', "1", false, "G01 X11 \xC7\xC3O"},
        {"N10 G01 Z-1.5 F1200", 'Z', "1,5", false, "N10 G01 Z0 F1200"},
        {"N10 X1\tY2", 'Y', "1", false, "N10 X1\tY3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(translate(c.line, c.letter, c.value, c.plus), c.result) << c.line;
}

TEST(RewriteCoordinates, ReportsTheNumberAsReadWithTheLocaleSeparator)
{
    EXPECT_EQ(error("X1.2.3", 'X', "1"), "'1,2,3' is not a valid floating point value");
    EXPECT_EQ(error("X1.2.3", 'X', "1", '.'), "'1.2.3' is not a valid floating point value");
    EXPECT_EQ(error("X10,5", 'X', "1", '.'), "'10,5' is not a valid floating point value");
    EXPECT_EQ(error("G01 X- Y1", 'X', "1"), "'-' is not a valid floating point value");
    EXPECT_EQ(error("X1 X+", 'X', "1"), "'+' is not a valid floating point value");
    // The operand is converted only where a word uses it.
    EXPECT_EQ(error("G01 Y5 X", 'X', ""), "(no error)");
    EXPECT_EQ(error("G01 X5", 'X', ""), "'' is not a valid floating point value");
    EXPECT_EQ(error("(X1.2.3)", 'X', "1"), "(no error)");
}

TEST(RewriteCoordinates, AppendsToTheGivenText)
{
    std::string out = "kept:";
    int calls = 0;
    rewriteCoordinates(
        "I1 J2 I3", 'I',
        [&](Extended old) {
            ++calls;
            return -old;
        },
        false, '.', out);
    EXPECT_EQ(out, "kept:I-1 J2 I-3");
    EXPECT_EQ(calls, 2);
    // Letters that are number or comment characters never start a word.
    EXPECT_EQ(rewriteCoordinates(
                  "1(2)", '(', [](Extended v) { return v + 1; }, false, '.'),
        "1(2)");
    EXPECT_EQ(rewriteCoordinates(
                  "-5", '-', [](Extended v) { return v + 1; }, false, '.'),
        "-5");
}

TEST(RewriteCoordinates, MirroringZeroStaysUnsigned)
{
    const auto mirror = [](Extended old) { return old + (-2 * old); };
    EXPECT_EQ(rewriteCoordinates("X0", 'X', mirror, false, ','), "X0");
    EXPECT_EQ(rewriteCoordinates("X0", 'X', mirror, true, ','), "X+0");
    EXPECT_EQ(rewriteCoordinates("X+5", 'X', mirror, false, ','), "X-5");
    EXPECT_EQ(rewriteCoordinates("X10.50", 'X', mirror, false, ','), "X-10.5");
}

TEST(ReadCoordinate, TakesTheLastWordBeforeTheFirstCommentCharacter)
{
    struct ReadCase {
        const char* line;
        char letter;
        char separator;
        const char* text;
    };
    const ReadCase cases[] = {
        {"N10 G00 X10 Y5", 'X', ',', "10"},
        {"N10 G00 X10 Y5", 'Y', ',', "5"},
        {"N30 G01 X-3.5", 'X', ',', "-3,5"},
        {"N30 G01 X-3.5", 'X', '.', "-3.5"},
        {"X1,5", 'X', '.', "1,5"},
        {"X10 X20", 'X', ',', "20"},
        {"X10 X", 'X', ',', ""},
        {"X10Y5X7", 'X', ',', "7"},
        {"N20 G02 I5 J0", 'X', ',', ""},
        {"x5", 'X', ',', ""},
        {"X5 (X7)", 'X', ',', "5"},
        {"(X7)", 'X', ',', ""},
        {"X5 (A) X7", 'X', ',', "5"},
        {"X1.2.3", 'X', ',', "1,2,3"},
        {"X-", 'X', ',', "-"},
        {"X 5", 'X', ',', ""},
        {"", 'X', ',', ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readCoordinate(c.line, c.letter, c.separator), c.text) << c.line;
}

// The single pass over several letters against one letter at a time, the
// literal scan, over random lines: same text, same error, same answer.
TEST(RewriteTogether, MatchesOneLetterAtATime)
{
    std::mt19937_64 rng(77);
    const auto pick = [&](const std::vector<std::string>& options) { return options[rng() % options.size()]; };
    const std::vector<std::string> numbers = {"12.345", "-0.5", "+3", "0", "-0", "10.", ".5", "1,5", "1.2.3", "-", "+",
        "", "5E-5", "123456789.123456", "-123456789.123455", "0.00001", "999999999999999", "1234567890123456789012345",
        "0.000000000000000000001", "7", "-2.25", "00012.5000", "99999.9999995"};
    const std::vector<std::string> fillers = {" ", "  ", "G01", "N10", "F1200", "(", ")", "(NOTA)", "%", "#", "{", "}",
        ";", "x", "y", "i", "E", "\t", "\xC7"};
    const std::vector<std::string> operands = {"10,5", "10.5", "-2,25", "-2.25", "0", "-0", "123456789.123455", "", "+",
        "0,0001", "1e5", "99999999999999.5", "  3  "};
    const char letters[] = {'X', 'Y', 'Z', 'I', 'J'};
    size_t errors = 0, rewritten = 0;
    for (int round = 0; round < 60000; ++round) {
        std::string line;
        const int parts = static_cast<int>(rng() % (round % 50 == 0 ? 120 : 12));
        for (int i = 0; i < parts; ++i) {
            if (rng() % 3 != 0)
                line += letters[rng() % 5] + pick(numbers);
            else
                line += pick(fillers);
            if (rng() % 2 != 0)
                line += ' ';
        }
        const char separator = rng() % 2 != 0 ? ',' : '.';
        const bool plus = rng() % 4 == 0;
        std::vector<Operand> values;
        for (int k = 0; k < 3; ++k)
            values.emplace_back(pick(operands));
        std::vector<LetterOperation> chosen;
        const size_t count = 1 + rng() % 3;
        for (size_t k = 0; k < count; ++k) {
            const char letter = letters[(round + 2 * k) % 5];
            const auto kind = static_cast<CoordinateOperation::Kind>(rng() % 3);
            chosen.push_back({letter, {kind, &values[k]}});
        }

        std::string expected = line, expectedError;
        size_t words = 0;
        try {
            for (const auto& l : chosen) {
                std::string next;
                rewriteCoordinates(
                    expected, l.letter,
                    [&](Extended old) {
                        ++words;
                        return l.operation.apply(old, separator);
                    },
                    plus, separator, next);
                expected = next;
            }
        } catch (const ConversionError& e) {
            expectedError = e.what();
        }

        std::vector<Operand> fresh(values.begin(), values.end());
        for (size_t k = 0; k < chosen.size(); ++k)
            chosen[k].operation.operand = &fresh[k];
        std::string actual = "kept:", actualError;
        bool any = false;
        try {
            any = rewriteCoordinates(line, chosen, plus, separator, actual);
        } catch (const ConversionError& e) {
            actualError = e.what();
        }
        ASSERT_EQ(actualError, expectedError) << line;
        if (expectedError.empty()) {
            ASSERT_EQ(actual, "kept:" + expected) << line << " sep " << separator;
            ASSERT_EQ(any, words != 0) << line;
            rewritten += any ? 1 : 0;
        } else {
            ++errors;
        }
    }
    // Both roads were taken often.
    EXPECT_GT(errors, 5000u);
    EXPECT_GT(rewritten, 5000u);
}

} // namespace
