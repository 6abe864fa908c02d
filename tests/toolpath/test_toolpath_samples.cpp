#include "core/CoordinateTools.h"
#include "core/ProgramText.h"
#include "core/RunProtocol.h"
#include "toolpath/Interpreter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace torvel;

namespace {

std::vector<std::filesystem::path> samplePrograms()
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(TORVEL_SAMPLES_DIR)) {
        const auto ext = entry.path().extension();
        if (ext == ".nc" || ext == ".ngc" || ext == ".gcode")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string fileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

#define SKIP_WITHOUT_SAMPLES()                                                                                         \
    if (!std::filesystem::is_directory(TORVEL_SAMPLES_DIR))                                                            \
    GTEST_SKIP() << "no sample programs at " TORVEL_SAMPLES_DIR

// CAM output and clean hand-written programs: every word in them is one the interpreter knows.
const std::set<std::string> kCleanSamples = {"bcnc-sample.gcode", "camotics-bear-compact.nc",
    "camotics-cameo-nblocks.nc", "camotics-tiger-1mb.nc", "linuxcnc-arcspiral.ngc", "linuxcnc-gcmc-trochoidal.ngc",
    "linuxcnc-plasmatest-crlf.ngc", "linuxcnc-stellabee1-3mb.ngc", "linuxcnc-tort.ngc", "ugs-cambam-gates-crlf.nc",
    "ugs-no-spaces.gcode", "ugs-pycam-shapeoko-crcrlf.ngc"};

TEST(ToolpathSamples, EverySampleInterprets)
{
    SKIP_WITHOUT_SAMPLES();
    for (const auto& file : samplePrograms()) {
        const std::string name = file.filename().string();
        const ProgramText text = ProgramText::fromFileBytes(fileBytes(file));
        const Toolpath path = *interpret(text.lines());
        EXPECT_EQ(path.lineCount(), text.count()) << name;
        for (size_t i = 0; i < path.size(); ++i) {
            ASSERT_LT(path.line(i), text.count()) << name;
            ASSERT_TRUE(i == 0 || path.line(i - 1) <= path.line(i)) << name;
            const Point3 p = path.end(i);
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << name;
        }
        for (size_t i = 0; i < path.noteCount(); ++i)
            ASSERT_LT(path.note(i).line, text.count()) << name;
        if (kCleanSamples.count(name)) {
            EXPECT_GT(path.size(), 0u) << name;
            EXPECT_EQ(path.noteCount(), 0u)
                << name << ": line " << path.note(0).line + 1 << ": " << path.note(0).text();
        }
    }
}

// The editor's translation, run as the command line runs it, moves every
// interpreted point by the vector (in the program's unit): the interpreter
// reads coordinates as the coordinate functions write them. Left out are
// programs with G91, G53, G92 or a reference point return, where a word
// does not move the tool by its own amount, and programs with words the
// translation leaves as they are: lower-case ones and ones after a comment
// in the middle of a line.
TEST(ToolpathSamples, TranslationMovesEveryPoint)
{
    SKIP_WITHOUT_SAMPLES();
    const Point3 shift {12.5, -7.25, 3};
    const std::regex relative("G\\s*0*(91|53|92|28|30)(?![0-9])", std::regex::icase);
    const std::regex untouched("[xyz]\\s*[-+.0-9]|\\)[^\\n(;]*[XYZ]\\s*[-+.0-9]");
    int compared = 0;
    for (const auto& file : samplePrograms()) {
        const std::string name = file.filename().string();
        const std::string bytes = fileBytes(file);
        if (std::regex_search(bytes, relative) || std::regex_search(bytes, untouched))
            continue;
        TranslateOptions options;
        options.x = options.y = options.z = true;
        options.xValue = "12.5";
        options.yValue = "-7.25";
        options.zValue = "3";
        TranslateTool tool(options);
        Document doc {ProgramText::fromFileBytes(bytes), UndoRing(UndoRing::NoSnapshots {}), History()};
        RunObserver quiet;
        ASSERT_EQ(runFunction(doc, tool, Range {}, quiet).status, RunResult::Status::Done) << name;

        const Toolpath before = *interpret(ProgramText::fromFileBytes(bytes).lines());
        const Toolpath after = *interpret(doc.text.lines());
        ASSERT_EQ(before.size(), after.size()) << name;
        const unsigned axes = before.programmedAxes();
        const double unit = before.units() == Units::Inch ? 25.4 : 1;
        for (size_t i = 0; i < before.size(); ++i) {
            ASSERT_EQ(before.kind(i), after.kind(i)) << name << ' ' << i;
            ASSERT_EQ(before.line(i), after.line(i)) << name << ' ' << i;
            for (int a = 0; a < 3; ++a) {
                const double expected = before.end(i)[a] + ((axes >> a) & 1u ? shift[a] * unit : 0);
                ASSERT_NEAR(after.end(i)[a], expected, 1e-6) << name << ", line " << before.line(i) + 1;
            }
        }
        ++compared;
    }
    EXPECT_GE(compared, 8);
}

} // namespace
