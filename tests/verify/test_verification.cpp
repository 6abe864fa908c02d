#include "verify/Verification.h"

#include "core/CoordinateTools.h"
#include "core/RunProtocol.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

using namespace torvel;

namespace {

// A coordinate function as the window runs it, with and without its sound option.
struct Function {
    std::function<std::unique_ptr<LineTool>(bool option)> tool;
    FunctionMeaning meaning;
};

Function translate(char axis, const char* value)
{
    TranslateOptions o;
    (axis == 'X' ? o.x : axis == 'Y' ? o.y : o.z) = true;
    (axis == 'X' ? o.xValue : axis == 'Y' ? o.yValue : o.zValue) = value;
    return {[o](bool option) mutable {
                o.followModes = option;
                return std::make_unique<TranslateTool>(o);
            },
        meaningOf(o)};
}

Function mirror(bool x, bool y, bool exchange)
{
    MirrorOptions o;
    o.x = x;
    o.y = y;
    o.g02ToG03 = o.g03ToG02 = exchange;
    return {[o](bool option) mutable {
                o.arcCentres = option;
                return std::make_unique<MirrorTool>(o);
            },
        meaningOf(o)};
}

Function arcs(bool toAbsolute)
{
    ArcsOptions o;
    o.direction = toAbsolute ? ArcsOptions::Direction::Absolute : ArcsOptions::Direction::Incremental;
    return {[o](bool option) mutable {
                o.planes = option;
                return std::make_unique<ArcsTool>(o);
            },
        meaningOf(o)};
}

struct Outcome {
    ProgramText after;
    std::vector<Finding> findings;
};

Outcome runAndVerify(const std::string& program, const Function& f, bool option, Range range = {})
{
    Document doc {ProgramText::fromFileBytes(program), UndoRing(UndoRing::NoSnapshots {}), History()};
    const ProgramText before = doc.text;
    RunObserver quiet;
    auto tool = f.tool(option);
    EXPECT_EQ(runFunction(doc, *tool, range, quiet).status, RunResult::Status::Done);
    auto findings = verify(before.lines(), doc.text.lines(), f.meaning, rangeLines(range, before.count()));
    return {std::move(doc.text), findings ? std::move(*findings) : std::vector<Finding> {}};
}

std::string listed(const std::vector<Finding>& findings)
{
    std::string s;
    for (const Finding& f : findings)
        s += std::to_string(f.line + 1) + ": " + f.text() + "\n";
    return s;
}

struct Case {
    const char* name;
    std::string program;
    Function function;
    uint32_t line; // 1-based line of the one finding
    FindingReason reason;
    const char* withOption; // that line with the sound option on, found clean; nullptr: no option covers it
};

} // namespace

TEST(Verification, EachReasonOnCraftedLinesAndTheOptionThatMendsIt)
{
    using R = FindingReason;
    const Case cases[] = {
        {"G91 block", "G90 G0 X0 Y0\nG91 G1 X.48 F100\nG90 X5\n", translate('X', "1"), 2, R::IncrementalShifted,
            "G91 G1 X.48 F100"},
        {"G53", "G0 X0 Y0 Z5\nG53 Z0\nG0 X1\n", translate('Z', "1"), 2, R::MachineCoordinatesChanged, "G53 Z0"},
        {"G92", "G0 X5\nG92 X0 Y0\nG1 X2 F100\n", translate('X', "1"), 2, R::PresetChanged, "G92 X0 Y0"},
        {"units", "G21 G0 X0\nG20 G0 X1\n", translate('X', "1"), 2, R::UnitChange, nullptr},
        {"after comment", "G0 X0\nG1 X10 (A) X20 F100\n", translate('X', "1"), 2, R::WordAfterComment, nullptr},
        {"lower case", "G0 X0\nG0 x5\n", translate('X', "1"), 2, R::LowerCaseWord, nullptr},
        {"blank", "G0 X0\nG0 X 5\n", translate('X', "1"), 2, R::BlankAfterLetter, nullptr},
        {"centre", "G0 X0 Y0\nG2 X10 Y0 I5 J0\n", mirror(true, false, true), 2, R::ArcCentreNotMirrored,
            "G3 X-10 Y0 I-5 J0"},
        {"YZ plane", "G0 X0 Y0 Z0\nG19 G2 Y10 Z0 J5 K0\n", mirror(true, false, true), 2, R::ArcDirectionWrongPlane,
            "G19 G2 Y10 Z0 J5 K0"},
        {"both axes", "G0 X0 Y0\nG2 X10 Y0 I5 J0\n", mirror(true, true, true), 2, R::ArcDirectionWrongPlane,
            "G2 X-10 Y0 I-5 J0"},
        {"kept", "G0 X0 Y0\nG2 X0 Y10 I0 J5\n", mirror(true, false, false), 2, R::ArcDirectionKept, nullptr},
        {"K", "G18\nG0 X10 Z5\nG2 X20 Z5 I5 K0\n", arcs(true), 3, R::KNotConverted, "G2 X20 Z5 I15 K5"},
        {"G76", "G0 X10 Y5\nG76 P0.05 Z-1 I-.075 J.008 K.045\n", arcs(true), 2, R::CycleWordConverted,
            "G76 P0.05 Z-1 I-.075 J.008 K.045"},
        {"missing J", "G0 X10 Y5\nG2 X20 Y5 I5\n", arcs(true), 2, R::CentreWordMissing, "G2 X20 Y5 I15 J5"},
        {"E notation", "G0 X10.00001 Y0\nG2 X10.00003 Y0 I10.00002 J0\n", arcs(false), 2, R::ENotation,
            "G2 X10.00003 Y0 I0.00001 J0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome off = runAndVerify(c.program, c.function, false);
        ASSERT_EQ(off.findings.size(), 1u) << listed(off.findings);
        EXPECT_EQ(off.findings[0].line + 1, c.line);
        EXPECT_EQ(off.findings[0].reason, c.reason) << listed(off.findings);
        if (!c.withOption)
            continue;
        const Outcome on = runAndVerify(c.program, c.function, true);
        EXPECT_EQ(on.after.line(c.line - 1), c.withOption);
        EXPECT_EQ(listed(on.findings), "");
    }
}

TEST(Verification, SoundResultsAndOtherLinesAreNotReported)
{
    // A translation of absolute moves, arcs included, with presets left alone: nothing to say.
    const std::string program = "G90 G21 G17\nG0 X0 Y0 Z5\nG1 Z-1 F100\nG2 X10 Y0 I5 J0\nG3 X0 Y0 R5\nG53 G0 Z0\n";
    EXPECT_EQ(listed(runAndVerify(program, translate('X', "2.5"), true).findings), "");
    EXPECT_EQ(listed(runAndVerify(program, mirror(false, true, true), true).findings), "");
    // Only the range is judged: the G91 block before it is not reported.
    const std::string g91 = "G91 G1 X1 F100\nG90\nG0 X5\n";
    EXPECT_EQ(listed(runAndVerify(g91, translate('X', "1"), false, {false, 2, 3}).findings), "");
    EXPECT_EQ(
        listed(runAndVerify(g91, translate('X', "1"), false).findings), "1: bloco incremental (G91) deslocado: X2\n");
}

// The real programs, every sound option on: none of the kinds the options cover is left.
TEST(Verification, SamplesWithEveryOptionOnShowNoneOfTheCoveredKinds)
{
    namespace fs = std::filesystem;
    const fs::path dir(TORVEL_SAMPLES_DIR);
    if (!fs::is_directory(dir))
        GTEST_SKIP() << "no sample programs at " TORVEL_SAMPLES_DIR;
    using R = FindingReason;
    const std::vector<std::pair<Function, std::vector<R>>> functions = {
        {translate('X', "1"), {R::IncrementalShifted, R::MachineCoordinatesChanged, R::PresetChanged}},
        {translate('Z', "-0.5"), {R::IncrementalShifted, R::MachineCoordinatesChanged, R::PresetChanged}},
        {mirror(true, false, true), {R::ArcCentreNotMirrored, R::ArcDirectionWrongPlane}},
        {mirror(true, true, true), {R::ArcCentreNotMirrored, R::ArcDirectionWrongPlane}},
        {arcs(true), {R::KNotConverted, R::CycleWordConverted, R::CentreWordMissing, R::ENotation}},
        {arcs(false), {R::KNotConverted, R::CycleWordConverted, R::CentreWordMissing, R::ENotation}},
    };
    int programs = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".nc" && ext != ".ngc" && ext != ".gcode")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        ++programs;
        for (const auto& [function, covered] : functions) {
            for (const Finding& f : runAndVerify(bytes.str(), function, true).findings) {
                EXPECT_EQ(std::find(covered.begin(), covered.end(), f.reason), covered.end())
                    << entry.path().filename() << " line " << f.line + 1 << ": " << f.text();
            }
        }
    }
    EXPECT_GT(programs, 0);
}
