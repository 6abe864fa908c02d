#include "LineLists.h"
#include "ProgramFiles.h"
#include "core/TextTools.h"

#include "core/Blank.h"
#include "core/FileIO.h"
#include "core/RunProtocol.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace torvel;

namespace {

Range wholeFile() { return Range {}; }
Range lines(long long first, long long last) { return Range {false, first, last}; }

RunResult runOn(Document& doc, LineTool& tool, const Range& range = wholeFile())
{
    RunObserver quiet;
    RunResult result = runFunction(doc, tool, range, quiet);
    EXPECT_EQ(result.status, RunResult::Status::Done) << result.message;
    return result;
}

Lines run(LineTool& tool, const Lines& input, const Range& range = wholeFile())
{
    Document doc;
    doc.text = toText(input);
    runOn(doc, tool, range);
    return toLines(doc.text);
}

// ---------------------------------------------------------------- spaces

struct SpacesCase {
    std::string line, removed, added; // each as stored after one run on that line alone
};

const SpacesCase kSpacesCases[] = {
    {"N10 G01 X10.5 Y-3 (FACE MILL)", "N10G01X10.5Y-3(FACE MILL)", "N10  G01  X10.5  Y-3  (FACE MILL)"},
    {"N10G01X10.5Y-3(FACE MILL)", "N10G01X10.5Y-3(FACE MILL)", "N10 G01 X10.5 Y-3 (FACE MILL)"},
    {"N20 M30", "N20M30", "N20  M30"},
    {"%", "%", "%"},
    {"#1 = 5", "#1 = 5", "#1 = 5"},
    {"N30 G0 E5 U2", "N30G0E5U2", "N30  G0 E5 U2"},
    {"g01 x5", "g01x5", "g01 x5"},
    // tabs are no spaces
    {"G01\tX5 Y1", "G01\tX5Y1", " G01\t X5  Y1"},
    {"G01\tX5", "G01\tX5", " G01\t X5"},
    // a leading comment: the only change would be a leading space
    {"(TEXT)", "(TEXT)", "(TEXT)"},
    {"G01 (A B) X5", "G01(A B) X5", " G01  (A B) X5"},
    {"G01X5", "G01X5", " G01 X5"},
    {"G01", "G01", "G01"},
    // end blanks: rewritten lines lose them, untouched lines keep them
    {"  N20 M30  ", "N20M30", "N20  M30"},
    {"  N20M30  ", "  N20M30  ", "N20 M30"},
    {"  G01  ", "  G01  ", "  G01  "},
    {"N10 O20 E5 U1 V2 W3", "N10O20E5U1V2W3", "N10 O20 E5 U1 V2 W3"},
    {"X1 # Y2", "X1# Y2", "X1 # Y2"},
    {"G01 X5 %", "G01X5%", " G01  X5 %"},
    {"X1{A B}Y2", "X1{A B}Y2", " X1 {A B}Y2"},
    {"A(B C)(D)", "A(B C)(D)", " A (B C)(D)"},
    {"ABCDFGHIJKLMPQRSTXYZ", "ABCDFGHIJKLMPQRSTXYZ", " A B C D F G H I J K L M P Q R S T X Y Z"},
    {"", "", ""},
    {"   ", "   ", "   "},
};

TEST(SpacesTool, RemovesAndAddsPerLine)
{
    for (const SpacesCase& c : kSpacesCases) {
        SpacesTool remove({false});
        SpacesTool add({true});
        EXPECT_EQ(run(remove, {c.line}), Lines {c.removed}) << "remove: " << c.line;
        EXPECT_EQ(run(add, {c.line}), Lines {c.added}) << "add: " << c.line;
    }
}

TEST(SpacesTool, PlainFunctionsWorkOnTheTrimmedLine)
{
    EXPECT_EQ(addSpaces("G01"), " G01");
    EXPECT_EQ(addSpaces("(TEXT)"), " (TEXT)");
    EXPECT_EQ(addSpaces("%G01 X1"), "%G01 X1");
    EXPECT_EQ(addSpaces("1(X)Y"), "1 (X)Y");
    EXPECT_EQ(removeSpaces("G 0 1\t X (A B)"), "G01\tX(A B)");
    EXPECT_EQ(removeSpaces("  "), "");
    EXPECT_EQ(removeSpaces("{ }"), "{ }");
}

TEST(SpacesTool, AddingTwiceThenRemovingGivesTheCompactLine)
{
    SpacesTool add({true});
    SpacesTool remove({false});
    Lines text = {"N10G01X5Y2(A B)", "N20 M30"};
    text = run(add, text);
    text = run(add, text);
    EXPECT_EQ(text, (Lines {"N10  G01  X5  Y2  (A B)", "N20   M30"}));
    EXPECT_EQ(run(remove, text), (Lines {"N10G01X5Y2(A B)", "N20M30"}));
}

TEST(SpacesTool, OnlyLinesInsideTheRangeChange)
{
    SpacesTool remove({false});
    EXPECT_EQ(run(remove, {"A 1", "B 2", "C 3", "D 4"}, lines(2, 3)), (Lines {"A 1", "B2", "C3", "D 4"}));
    EXPECT_EQ(run(remove, {"A 1", "B 2"}, lines(2, 500)), (Lines {"A 1", "B2"}));
    EXPECT_EQ(run(remove, {"A 1", "B 2"}, lines(2, 1)), (Lines {"A 1", "B 2"}));
}

void removeAddRemoveGivesTheFirstRemoval(const std::vector<std::filesystem::path>& programs)
{
    ASSERT_FALSE(programs.empty());
    for (const auto& path : programs) {
        SCOPED_TRACE(path.filename().string());
        Document doc;
        doc.text = ProgramText::fromFileBytes(readFileBytes(path.string()));
        SpacesTool remove({false});
        SpacesTool add({true});
        runOn(doc, remove);
        const std::string firstRemoval = doc.text.toFileBytes();
        runOn(doc, add);
        runOn(doc, remove);
        EXPECT_TRUE(doc.text.toFileBytes() == firstRemoval);
    }
}

TEST(SpacesTool, RemoveAddRemoveGivesTheFirstRemoval) { removeAddRemoveGivesTheFirstRemoval(teamPrograms()); }

TEST(SpacesTool, RemoveAddRemoveOnSamplesGivesTheFirstRemoval)
{
    SKIP_WITHOUT_SAMPLES();
    removeAddRemoveGivesTheFirstRemoval(samplePrograms());
}

// ---------------------------------------------------------------- renumbering

const Lines kBlocks
    = {"%", "O1000", "N10 G00 X0 Y0", "N20G01X5", "G01 X7", "N0030 M03", "  N40 T1", "(N60 COMMENT)", "", "N100"};

TEST(RenumberTool, FreshSequenceWithWidth)
{
    RenumberTool tool({true, 4, true, 100, 10});
    EXPECT_EQ(run(tool, kBlocks),
        (Lines {"%", "O1000", "N0100 G00 X0 Y0", "N0110G01X5", "G01 X7", "N0120 M03", "N0130   T1", "(N60 COMMENT)", "",
            "N0140"}));
}

TEST(RenumberTool, WidthAlone)
{
    RenumberTool tool({true, 3, false, 0, 1});
    EXPECT_EQ(run(tool, kBlocks),
        (Lines {"%", "O1000", "N010 G00 X0 Y0", "N020G01X5", "G01 X7", "N030 M03", "N040   T1", "(N60 COMMENT)", "",
            "N100"}));
}

struct RenumberCase {
    const char* what;
    RenumberOptions options;
    Lines input, expected;
};

const RenumberCase kRenumberCases[] = {
    {"width 1 drops leading zeros only", {true, 1, false, 0, 1}, {"N0030 M03", "N30 X1", "N000", "N0"},
        {"N30 M03", "N30 X1", "N0", "N0"}},
    {"start 0 without width", {false, 1, true, 0, 1}, {"N10", "N20"}, {"N0", "N1"}},
    {"lower-case n is no N word", {false, 1, true, 5, 5}, {"n10 X1", "N7"}, {"n10 X1", "N5"}},
    {"a leading N without digits stays whole", {false, 1, true, 5, 5}, {"N G02", "N 50 X1", "NN90 X1", "N", "  N  "},
        {"N G02", "N 50 X1", "NN90 X1", "N", "  N  "}},
    {"a second N word stays", {false, 1, true, 5, 5}, {"N10N20 X1"}, {"N5N20 X1"}},
    {"a second N word stays without renumbering", {true, 4, false, 0, 1}, {"N10N20 X1"}, {"N0010N20 X1"}},
    {"marks after the word change nothing", {false, 1, true, 1, 1}, {"N70 #1=5", "N80%", "N90 (%)"},
        {"N1 #1=5", "N2%", "N3 (%)"}},
    {"marks first: no N word", {false, 1, true, 1, 1}, {"#N10", "%N10", " %", "N1"}, {"#N10", "%N10", " %", "N1"}},
    {"lines without a word take no number", {false, 1, true, 10, 5}, {"N1", "   ", "G0", "\t", "N2"},
        {"N10", "   ", "G0", "\t", "N15"}},
    {"numbers of any length are read whole", {true, 1, false, 0, 1}, {"N000123456789012345678901234567890 X1"},
        {"N123456789012345678901234567890 X1"}},
    {"padding of long numbers", {true, 35, false, 0, 1}, {"N123456789012345678901234567890"},
        {"N00000123456789012345678901234567890"}},
    {"a width below the length never cuts", {true, 2, false, 0, 1}, {"N12345"}, {"N12345"}},
    {"counter beyond 32 bits", {false, 1, true, 3000000000LL, 3000000000LL}, {"N1", "N2"},
        {"N3000000000", "N6000000000"}},
    {"any leading blanks move behind the word", {true, 2, false, 0, 1}, {"\tN5 X1", "  N10 X1"},
        {"N05\t X1", "N10   X1"}},
    {"renumbering keeps text after the digits", {false, 1, true, 7, 1}, {"N1.5 X1", "N2G1"}, {"N7.5 X1", "N8G1"}},
};

TEST(RenumberTool, Cases)
{
    for (const RenumberCase& c : kRenumberCases) {
        RenumberTool tool(c.options);
        EXPECT_EQ(run(tool, c.input), c.expected) << c.what;
    }
}

TEST(RenumberTool, CounterStartsAtTheFirstNumberedLineInsideTheRange)
{
    RenumberTool tool({false, 1, true, 100, 10});
    EXPECT_EQ(run(tool, {"N1", "N2", "G0", "N4", "N5"}, lines(3, 4)), (Lines {"N1", "N2", "G0", "N100", "N5"}));
    // A second run starts the sequence afresh.
    EXPECT_EQ(run(tool, {"N1", "N2"}), (Lines {"N100", "N110"}));
}

TEST(RenumberTool, NothingChosenRunsNoLoop)
{
    RenumberTool tool({false, 1, false, 0, 1});
    EXPECT_FALSE(tool.runsLoop());
    EXPECT_EQ(run(tool, {"  N0010 X1"}), Lines {"  N0010 X1"});
}

void renumberingTwiceChangesNothingMore(const std::vector<std::filesystem::path>& programs)
{
    ASSERT_FALSE(programs.empty());
    const RenumberOptions settings[] = {{true, 4, true, 10, 10}, {true, 5, false, 0, 1}, {false, 1, true, 0, 1}};
    for (const auto& path : programs) {
        const std::string bytes = readFileBytes(path.string());
        for (const RenumberOptions& options : settings) {
            SCOPED_TRACE(path.filename().string() + " width " + std::to_string(options.width));
            Document doc;
            doc.text = ProgramText::fromFileBytes(bytes);
            RenumberTool tool(options);
            runOn(doc, tool);
            const std::string once = doc.text.toFileBytes();
            runOn(doc, tool);
            EXPECT_TRUE(doc.text.toFileBytes() == once);
        }
    }
}

TEST(RenumberTool, RenumberingTwiceChangesNothingMore) { renumberingTwiceChangesNothingMore(teamPrograms()); }

TEST(RenumberTool, RenumberingSamplesTwiceChangesNothingMore)
{
    SKIP_WITHOUT_SAMPLES();
    renumberingTwiceChangesNothingMore(samplePrograms());
}

// The lines it renumbered.
long long renumberingKeepsEveryDigitAndEveryByteAfterTheWord(const std::vector<std::filesystem::path>& programs)
{
    // With width 1 and no sequence, a renumbered line differs only by leading
    // zeros of its word and by leading blanks that moved behind it.
    auto strip = [](std::string_view line, std::string& number) {
        size_t b = 0;
        while (b < line.size() && (line[b] == ' ' || line[b] == '\t'))
            ++b;
        size_t e = b + 1;
        while (e < line.size() && line[e] >= '0' && line[e] <= '9')
            ++e;
        number.assign(line.substr(b + 1, e - b - 1));
        number.erase(0, std::min(number.find_first_not_of('0'), number.size() - 1));
        return std::string(line.substr(0, b)) + std::string(line.substr(e));
    };
    long long renumbered = 0;
    for (const auto& path : programs) {
        SCOPED_TRACE(path.filename().string());
        Document doc;
        doc.text = ProgramText::fromFileBytes(readFileBytes(path.string()));
        const ProgramText before = doc.text;
        RenumberTool tool({true, 1, false, 0, 1});
        runOn(doc, tool);
        EXPECT_EQ(doc.text.count(), before.count());
        if (doc.text.count() != before.count())
            continue;
        for (size_t i = 0; i < before.count(); ++i) {
            const std::string_view oldLine = before.line(static_cast<long long>(i));
            const std::string_view newLine = doc.text.line(static_cast<long long>(i));
            if (oldLine == newLine)
                continue;
            ++renumbered;
            std::string oldNumber, newNumber;
            const std::string oldRest = strip(oldLine, oldNumber);
            const std::string newRest = strip(newLine, newNumber);
            EXPECT_EQ(newLine[0], 'N');
            EXPECT_EQ(oldNumber, newNumber) << oldLine;
            EXPECT_EQ(oldRest, newRest) << oldLine;
        }
    }
    return renumbered;
}

TEST(RenumberTool, ProgramsKeepEveryDigitAndEveryByteAfterTheWord)
{
    EXPECT_GT(renumberingKeepsEveryDigitAndEveryByteAfterTheWord(teamPrograms()), 0);
}

TEST(RenumberTool, SamplesKeepEveryDigitAndEveryByteAfterTheWord)
{
    SKIP_WITHOUT_SAMPLES();
    EXPECT_GT(renumberingKeepsEveryDigitAndEveryByteAfterTheWord(samplePrograms()), 0);
}

// ---------------------------------------------------------------- replace and delete

struct WordCase {
    std::string line, find, with, expected;
};

const WordCase kReplaceCases[] = {
    {"N10 X10 X1", "X1", "Y", "N10 Y0 X1"},
    {"N20 G01 G01", "G01", "G00", "N20 G00 G01"},
    {"N30 g01", "G01", "G00", "N30 g01"},
    {"N40 M08", "M08", "", "N40 "},
    {"N50 X 5 X5", "X ", "Y", "N50 Y5 X5"},
    {"X1", "X1 ", "Y", "X1"},
    {"N1", "", "Y", "N1"},
    {"G1", "G1 X", "Z", "G1"},
    {"M08", "M08", "M08 M08", "M08 M08"},
    {"  N10 M08  ", "M08", "M09", "  N10 M09  "},
    {"  M08", "M08", "", "  "},
    {"N1 X1", " X", "X", "N1X1"},
    // only the end blanks would change: not written
    {"N1  ", " ", "", "N1  "},
    {" N1", " ", "", " N1"},
};

TEST(ReplaceTool, ReplacesTheLeftmostOccurrence)
{
    for (const WordCase& c : kReplaceCases) {
        ReplaceTool tool({c.find, c.with});
        EXPECT_EQ(run(tool, {c.line}), Lines {c.expected}) << c.line << " / " << c.find;
    }
}

TEST(TextTools, FindsTheLeftmostOccurrenceOnEitherSideOfSixteenBytes)
{
    const std::string longLine = "N10 G01 X12.345 Y-6.789 Z-1.5 F1200 (PASSADA X12)";
    const struct {
        std::string line, what;
    } cases[] = {{longLine, "N10"}, {longLine, "X12)"}, {longLine, "X12"}, {longLine, "F1200"}, {longLine, "Y-6.789 Z"},
        {longLine, "(PASSADA X12) "}, {longLine, longLine}, {longLine + "X", "XX"}, {"aaaaaaaaaaaaaaaab", "aab"},
        {"aaaaaaaaaaaaaaaaaaaab", "aaab"}, {"N1", "N10"}, {"", "X"}, {longLine, ""}, {"xxxxxxxxxxxxxxxxX", "X"},
        {"abcdefghijklmnoX1", "X1"}, {"abcdefghijklmnoX", "X1"}};
    for (const auto& c : cases) {
        const size_t expected = c.what.empty() ? std::string::npos : c.line.find(c.what);
        EXPECT_EQ(findText(c.line, c.what), expected) << c.line << " / " << c.what;
    }
}

const WordCase kDeleteTextCases[] = {
    {"N50 G01 X5 M08", "X5", "", "N50 G01  M08"},
    {"M08 N60", "M08", "", " N60"},
    {"  M08 N60  ", "M08", "", " N60"},
    {"  N60 X1  ", "Y", "", "  N60 X1  "},
    {"  N60 X1  ", "", "", "  N60 X1  "},
    {"N10 X1 X1", "X1", "", "N10  X1"},
    {"  X1 N5 ", "N5", "", "X1 "},
    {"N10 m08", "M08", "", "N10 m08"},
    {"  N5 X  ", "X  ", "", "  N5 X  "},
};

TEST(DeleteTool, DeletesTheLeftmostOccurrenceFromTheTrimmedLine)
{
    for (const WordCase& c : kDeleteTextCases) {
        DeleteTool tool({c.find, DeleteOptions::Mode::Text});
        EXPECT_EQ(run(tool, {c.line}), Lines {c.expected}) << c.line << " / " << c.find;
    }
}

struct DeleteLinesCase {
    const char* what;
    std::string find;
    Range range;
    Lines input, expected;
};

const DeleteLinesCase kDeleteLinesCases[] = {
    {"neighbours both go", "M08", wholeFile(), {"N1", "N2 M08", "N3 M08", "N4"}, {"N1", "N4"}},
    {"the last line of the file goes", "M08", wholeFile(), {"N1", "N2 M08"}, {"N1"}},
    {"the only line goes", "M08", wholeFile(), {"M08"}, {}},
    {"every line goes", "M", wholeFile(), {"M1", "M2", "M3"}, {}},
    {"only the lines that formed the range are examined", "M08", lines(5, 7),
        {"L1", "L2", "L3", "L4", "M08 a", "L6", "M08 c", "M08 d", "M08 e"},
        {"L1", "L2", "L3", "L4", "L6", "M08 d", "M08 e"}},
    {"the last examination removes its line", "M08", lines(2, 3), {"L1", "M08 a", "M08 b", "M08 c"}, {"L1", "M08 c"}},
    {"a single blank", " ", wholeFile(), {"N1 X1", "N2", "   ", "N3\tX1", " N4"}, {"N2", "   ", "N3\tX1"}},
    {"a range beyond the file", "M08", lines(1, 500), {"M08", "M08 X"}, {}},
    {"a range from 5 to 3", "M08", lines(5, 3), {"M08", "M08", "M08", "M08", "M08"},
        {"M08", "M08", "M08", "M08", "M08"}},
    {"case differs", "M08", wholeFile(), {"m08", "M8"}, {"m08", "M8"}},
    {"empty search text", "", wholeFile(), {"M08", ""}, {"M08", ""}},
};

TEST(DeleteTool, DeletesTheLinesThatHoldTheText)
{
    for (const DeleteLinesCase& c : kDeleteLinesCases) {
        DeleteTool tool({c.find, DeleteOptions::Mode::Lines});
        EXPECT_EQ(run(tool, c.input, c.range), c.expected) << c.what;
    }
}

TEST(DeleteTool, NoModeChangesNothing)
{
    DeleteTool tool({"M08", DeleteOptions::Mode::None});
    EXPECT_EQ(run(tool, {"  N1 M08  ", "M08"}), (Lines {"  N1 M08  ", "M08"}));
}

// ---------------------------------------------------------------- comment

struct CommentCase {
    std::string line, find, open, close, expected;
};

const CommentCase kCommentCases[] = {
    {"N10 M08", "M08", "(", ")", "(N10 M08)"},
    {"  N20 M08", "M08", "(", ")", "(  N20 M08)"},
    {"(N30 M08)", "M08", "(", ")", "((N30 M08))"},
    {"N40 m08", "M08", "(", ")", "N40 m08"},
    {"N50 M09", "M08", "(", ")", "N50 M09"},
    {"N10 M08", "M08", "{", "]", "{N10 M08]"},
    {"N10 M08", "M08", "((", "))", "((N10 M08))"},
    {"N10 M08", "M08", "", "", "N10 M08"},
    {"N10 M08", "M08", " ", "\t", "N10 M08"},
    {"N10 M08 ", "M08", "", ";", "N10 M08 ;"},
    {"N10 M08", "10  M", "(", ")", "N10 M08"},
    {"N10  M08", "10  M", "(", ")", "(N10  M08)"},
    {"N10 M08", "", "(", ")", "N10 M08"},
};

TEST(CommentTool, EnclosesLinesThatHoldTheText)
{
    for (const CommentCase& c : kCommentCases) {
        CommentTool tool({c.find, c.open, c.close});
        EXPECT_EQ(run(tool, {c.line}), Lines {c.expected}) << c.line << " / " << c.find;
    }
}

TEST(CommentTool, TwiceEnclosesTwice)
{
    CommentTool tool({"M08", "(", ")"});
    EXPECT_EQ(run(tool, run(tool, {"N10 M08", "N20"})), (Lines {"((N10 M08))", "N20"}));
}

// ---------------------------------------------------------------- insert

struct InsertCase {
    const char* what;
    InsertOptions options;
    Range range;
    Lines input, expected;
};

const InsertCase kInsertCases[] = {
    {"at the end", {"M06", "M08", 1}, wholeFile(), {"N10 T1 M06"}, {"N10 T1 M06M08"}},
    {"before", {"M06", "M08", 2}, wholeFile(), {"N10 T1 M06"}, {"N00 M08", "N10 T1 M06"}},
    {"after", {"M06", "M08", 3}, wholeFile(), {"N10 T1 M06"}, {"N10 T1 M06", "N00 M08"}},
    {"case differs, end", {"M06", "M08", 1}, wholeFile(), {"N20 T2 m06"}, {"N20 T2 m06"}},
    {"case differs, before", {"M06", "M08", 2}, wholeFile(), {"N20 T2 m06"}, {"N20 T2 m06"}},
    {"case differs, after", {"M06", "M08", 3}, wholeFile(), {"N20 T2 m06"}, {"N20 T2 m06"}},
    {"consecutive before", {"M06", "M08", 2}, wholeFile(), {"A M06", "B M06", "C"},
        {"N00 M08", "A M06", "N00 M08", "B M06", "C"}},
    {"consecutive after", {"M06", "M08", 3}, wholeFile(), {"A M06", "B M06", "C"},
        {"A M06", "N00 M08", "B M06", "N00 M08", "C"}},
    {"after the last line", {"M06", "M08", 3}, wholeFile(), {"A", "B M06"}, {"A", "B M06", "N00 M08"}},
    {"range 2 to 3 before", {"M06", "M08", 2}, lines(2, 3), {"L1 M06", "L2 M06", "L3 M06", "L4 M06"},
        {"L1 M06", "N00 M08", "L2 M06", "N00 M08", "L3 M06", "L4 M06"}},
    {"range 2 to 3 after", {"M06", "M08", 3}, lines(2, 3), {"L1 M06", "L2 M06", "L3 M06", "L4 M06"},
        {"L1 M06", "L2 M06", "N00 M08", "L3 M06", "N00 M08", "L4 M06"}},
    {"text holding the search text, end", {"M06", " M06", 1}, wholeFile(), {"X M06"}, {"X M06 M06"}},
    {"text holding the search text, after", {"M06", "M06", 3}, wholeFile(), {"X M06", "Y"}, {"X M06", "N00 M06", "Y"}},
    {"text holding the search text, before", {"M06", "M06", 2}, wholeFile(), {"X M06", "Y"}, {"N00 M06", "X M06", "Y"}},
    {"blank-only text", {"M06", "  ", 2}, wholeFile(), {"X M06"}, {"X M06"}},
    {"blank-only text at the end", {"M06", " \t", 1}, wholeFile(), {"X M06"}, {"X M06"}},
    {"empty text", {"M06", "", 3}, wholeFile(), {"X M06"}, {"X M06"}},
    {"empty search text", {"", "M08", 3}, wholeFile(), {"X M06"}, {"X M06"}},
    {"no mode", {"M06", "M08", 0}, wholeFile(), {"X M06"}, {"X M06"}},
    {"end keeps the line's blanks", {"M06", "M08", 1}, wholeFile(), {"  X M06  "}, {"  X M06  M08"}},
    {"text kept as typed", {"M06", " M08 ", 2}, wholeFile(), {"X M06"}, {"N00  M08 ", "X M06"}},
};

TEST(InsertTool, AddsTheTextWhereTheLineHoldsTheSearchText)
{
    for (const InsertCase& c : kInsertCases) {
        InsertTool tool(c.options);
        EXPECT_EQ(run(tool, c.input, c.range), c.expected) << c.what;
    }
}

// ---------------------------------------------------------------- texts

struct TextsCase {
    std::function<std::unique_ptr<LineTool>()> make;
    std::string tag, caption, description;
};

const TextsCase kTexts[] = {
    {[] { return std::make_unique<SpacesTool>(SpacesOptions {false}); }, "AddEspaço",
        "Executando a função remover espaço...", "Removido espaço em branco do arquivo"},
    {[] { return std::make_unique<SpacesTool>(SpacesOptions {true}); }, "AddEspaço",
        "Executando a função adicionar espaço...", "Adcionado espaço em branco no arquivo"},
    {[] { return std::make_unique<RenumberTool>(RenumberOptions {}); }, "EditNúmero",
        "Executando a função editar número de bloco...",
        "Renumerado número de blocos do arquivo e/ou definido o número de digitos significativos "},
    {[] {
         return std::make_unique<RenumberTool>(RenumberOptions {true, 4, false, 0, 1});
     },
        "EditNúmero", "Executando a função editar número de bloco...",
        "Renumerado número de blocos do arquivo e/ou definido o número de digitos significativos \r\n"
        "Número de dígitos significativos aplicada na função = 4"},
    {[] {
         return std::make_unique<RenumberTool>(RenumberOptions {false, 1, true, 100, 10});
     },
        "EditNúmero", "Executando a função editar número de bloco...",
        "Renumerado número de blocos do arquivo e/ou definido o número de digitos significativos \r\n"
        "Número do bloco inicial para a função = 100\r\n"
        "Valor do incremento de bloco para a função = 10"},
    {[] {
         return std::make_unique<RenumberTool>(RenumberOptions {true, 3, true, 0, 5});
     },
        "EditNúmero", "Executando a função editar número de bloco...",
        "Renumerado número de blocos do arquivo e/ou definido o número de digitos significativos \r\n"
        "Número de dígitos significativos aplicada na função = 3\r\n"
        "Número do bloco inicial para a função = 0\r\n"
        "Valor do incremento de bloco para a função = 5"},
    {[] {
         return std::make_unique<ReplaceTool>(ReplaceOptions {"X1", "Y "});
     },
        "SubPalavra", "Executando a função substituir palavra...",
        "Substituido a palavra \"X1\" pela palavra \"Y \" no arquivo"},
    {[] {
         return std::make_unique<DeleteTool>(DeleteOptions {"X5", DeleteOptions::Mode::Text});
     },
        "DelPalavra", "Executando a função deletar palavra...", "Deletado a palavra \"X5\" do arquivo"},
    {[] {
         return std::make_unique<DeleteTool>(DeleteOptions {"M08", DeleteOptions::Mode::Lines});
     },
        "DelPalavra", "Executando a função deletar palavra...",
        "Deletado a linha do arquivo que possuia a palavra \"M08\""},
    {[] {
         return std::make_unique<DeleteTool>(DeleteOptions {"M08", DeleteOptions::Mode::None});
     },
        "DelPalavra", "Executando a função deletar palavra...",
        "Deletado a linha do arquivo que possuia a palavra \"M08\""},
    {[] {
         return std::make_unique<CommentTool>(CommentOptions {"M08", "(", ")"});
     },
        "Comentário", "Executando a função comentar bloco...",
        "Comentado a linha com palavra \"M08\" utilizando os caracteres \"()\""},
    {[] {
         return std::make_unique<InsertTool>(InsertOptions {"M06", "M08", 0});
     },
        "InsPalavra", "Executando a função inserir informações...",
        "Adicionado a palavra \"M08\" na linha com a palavra \"M06\""},
    {[] {
         return std::make_unique<InsertTool>(InsertOptions {"M06", "M08", 1});
     },
        "InsPalavra", "Executando a função inserir informações...",
        "Adicionado a palavra \"M08\" na linha com a palavra \"M06\"\r\nAdicionado dados no final da linha"},
    {[] {
         return std::make_unique<InsertTool>(InsertOptions {"M06", "M08", 2});
     },
        "InsPalavra", "Executando a função inserir informações...",
        "Adicionado a palavra \"M08\" na linha com a palavra \"M06\"\r\nAdicionado dados antes da linha"},
    {[] {
         return std::make_unique<InsertTool>(InsertOptions {"M06", "M08", 3});
     },
        "InsPalavra", "Executando a função inserir informações...",
        "Adicionado a palavra \"M08\" na linha com a palavra \"M06\"\r\nAdicionado dados depois da linha"},
};

TEST(TextTools, TagsCaptionsAndDescriptions)
{
    for (const TextsCase& c : kTexts) {
        const auto tool = c.make();
        EXPECT_EQ(tool->tag(), c.tag);
        EXPECT_EQ(tool->progressCaption(), c.caption);
        EXPECT_EQ(tool->describe(), c.description);
    }
}

TEST(TextTools, DescriptionFollowsTheRangeHeaderAlsoOnAnEmptyText)
{
    Document doc;
    RenumberTool tool({false, 1, false, 0, 1});
    const RunResult result = runOn(doc, tool, lines(5, 3));
    EXPECT_EQ(result.description,
        "Função aplicadada da linha 5 até a linha 3 do arquivo\r\n"
        "Renumerado número de blocos do arquivo e/ou definido o número de digitos significativos ");
    EXPECT_EQ(doc.history.items().back(), "1-EditNúmero");
}

} // namespace
