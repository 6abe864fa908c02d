#include "core/CoordinateTools.h"

#include "ProgramFiles.h"

#include "core/Blank.h"
#include "core/Errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace torvel;

namespace {

// One line as the run hands it over: trimmed, and kept when the tool keeps it.
std::string run(LineTool& tool, std::string_view line)
{
    std::string out;
    const std::string_view given = tool.trimsLine() ? trimmed(line) : line;
    return tool.apply(given, out) == LineAction::Replace ? out : std::string(given);
}

std::vector<std::string> runAll(LineTool& tool, const std::vector<std::string>& lines)
{
    tool.begin();
    std::vector<std::string> result;
    for (const auto& l : lines)
        result.push_back(run(tool, l));
    return result;
}

std::string failure(LineTool& tool, const std::vector<std::string>& lines)
{
    try {
        runAll(tool, lines);
    } catch (const ConversionError& e) {
        return e.what();
    }
    return "(no error)";
}

TranslateOptions translation(const char* x, const char* y, const char* z, bool plus, char separator = ',')
{
    TranslateOptions o;
    o.x = x != nullptr;
    o.y = y != nullptr;
    o.z = z != nullptr;
    o.xValue = x ? x : "";
    o.yValue = y ? y : "";
    o.zValue = z ? z : "";
    o.plus = plus;
    o.decimalSeparator = separator;
    return o;
}

TEST(TranslateTool, AddsTheTypedValues)
{
    TranslateTool tool(translation("2,25", "-1", "0,5", false));
    const std::vector<std::string> lines
        = {"N20 G01 X10.5 Y-3 Z2", "N30 G00 X-2.25", "N40 G02 X5 Y5 I2.5 J0", "N50 (X10 Y10)", "N60 M30"};
    EXPECT_EQ(runAll(tool, lines),
        (std::vector<std::string> {
            "N20 G01 X12.75 Y-4 Z2.5", "N30 G00 X0", "N40 G02 X7.25 Y4 I2.5 J0", "N50 (X10 Y10)", "N60 M30"}));

    TranslateTool withPlus(translation("2,25", "-1", "0,5", true));
    EXPECT_EQ(run(withPlus, "N20 G01 X10.5 Y-3 Z2"), "N20 G01 X+12.75 Y-4 Z+2.5");
    EXPECT_EQ(run(withPlus, "N30 G00 X-2.25"), "N30 G00 X+0");

    TranslateTool point(translation("2.25", nullptr, nullptr, false, '.'));
    EXPECT_EQ(run(point, "  N20 G01 X10.5 Y-3  "), "N20 G01 X12.75 Y-3");
}

TEST(TranslateTool, ZeroOnlyReformats)
{
    TranslateTool z(translation(nullptr, nullptr, "0", false));
    EXPECT_EQ(run(z, "G01 X1.50 Z1.50"), "G01 X1.50 Z1.5");
    EXPECT_EQ(run(z, "G01 Z2."), "G01 Z2");
    EXPECT_EQ(run(z, "g01 z2."), "g01 z2.");
    TranslateTool negativeZero(translation("-0", nullptr, nullptr, true));
    EXPECT_EQ(run(negativeZero, "X0 X-0 X-1.0 X2.0"), "X+0 X+0 X-1 X+2");
}

TEST(TranslateTool, AValueIsConvertedOnlyWhereAWordUsesIt)
{
    // Typed values take no "." replacement: with "," as separator "2.25" is no number.
    TranslateTool dotted(translation("2.25", nullptr, nullptr, false, ','));
    EXPECT_EQ(failure(dotted, {"N10 M3", "N20 Y5", "N30 X1"}), "'2.25' is not a valid floating point value");
    TranslateTool empty(translation("5", "  ", nullptr, false));
    EXPECT_EQ(run(empty, "N10 X1"), "N10 X6");
    EXPECT_EQ(run(empty, "N10 Y (Y1)"), "N10 Y (Y1)");
    EXPECT_EQ(failure(empty, {"N10 X1", "N20 X2 Y1"}), "'' is not a valid floating point value");
    TranslateTool sign(translation(nullptr, nullptr, "+", false));
    EXPECT_EQ(failure(sign, {"Z1"}), "'+' is not a valid floating point value");
    TranslateTool spaced(translation("  1,5 ", nullptr, nullptr, false));
    EXPECT_EQ(run(spaced, "X1"), "X2.5");
    // A "+" in the typed value does not switch the plus option on.
    TranslateTool typedPlus(translation("+1", nullptr, nullptr, false));
    EXPECT_EQ(run(typedPlus, "X1"), "X2");
}

TEST(TranslateTool, HardSums)
{
    // Cancellation, the notation thresholds, long digit strings: the exact decimal
    // road must give way to the extended values wherever they differ. Expected
    // texts come from an exact rational model of 64-bit-mantissa rounding.
    struct Case {
        const char* value;
        const char* line;
        const char* result;
    };
    const Case cases[] = {
        {"-123456789,123455", "X123456789.123456", "X1.00000033853576E-6"},
        {"-123,4", "X123.456", "X0.056"},
        {"-1,4", "X1.5 X-1.5", "X0.1 X-2.9"},
        {"1", "X999999999999999", "X1E15"},
        {"0,5", "X999999999999999", "X1E15"},
        {"0,4", "X999999999999999", "X999999999999999"},
        {"0", "X0.0001 X0.00009999 X0.000099999999999999999", "X0.0001 X9.999E-5 X0.0001"},
        {"0", "X1234567890123456789012345", "X1.23456789012346E24"},
        {"0", "X0.1234567890123456789", "X0.123456789012346"},
        {"0,000000001", "X-0.000000001", "X0"},
        {"100000000000000", "X-99999999999999.99", "X0.0100021362304688"},
        {"0", "X00012.5000 X-.5 X5.", "X12.5 X-0.5 X5"},
    };
    for (const auto& c : cases) {
        TranslateTool tool(translation(c.value, nullptr, nullptr, false));
        EXPECT_EQ(run(tool, c.line), c.result) << c.line << " + " << c.value;
    }
}

TEST(TranslateTool, Identity)
{
    TranslateTool tool(translation("2,25", nullptr, " 0,5 ", false));
    EXPECT_EQ(tool.tag(), "Trans_XYZ");
    EXPECT_EQ(tool.progressCaption(), "Executando a função translação dos eixos XYZ...");
    EXPECT_EQ(tool.describe(),
        "Adicionado valor aos Eixos:\r\nIncrementado ao eixo \"X\" o valor de 2,25\r\n"
        "Incrementado ao eixo \"Z\" o valor de  0,5 ");
    EXPECT_TRUE(tool.trimsLine());
    EXPECT_TRUE(tool.refreshesView());
    EXPECT_FALSE(tool.skipsBlankLines());
    TranslateTool none(translation(nullptr, nullptr, nullptr, false));
    EXPECT_EQ(none.describe(), "Adicionado valor aos Eixos:");
}

MirrorOptions allBoxes()
{
    MirrorOptions o;
    o.x = o.y = o.g02ToG03 = o.g03ToG02 = o.g41ToG42 = o.g42ToG41 = o.plus = true;
    return o;
}

TEST(MirrorTool, AllBoxes)
{
    MirrorTool tool(allBoxes());
    const std::pair<const char*, const char*> cases[] = {
        {"N10 G41 D1 X10.5 Y-3", "N10 G42 D1 X-10.5 Y+3"},
        {"N20 G02 X5 Y5 I2.5 J0", "N20 G03 X-5 Y-5 I2.5 J0"},
        {"N30 G03 X-2 Y0", "N30 G02 X+2 Y+0"},
        {"N40 G2 X1", "N40 G3 X-1"},
        {"N50 G21 G3 X-1", "N50 G21 G2 X+1"},
        {"N60 G28 X0 Y0", "N60 G28 X+0 Y+0"},
        {"N70 G40 X0 (G02 AQUI)", "N70 G40 X+0 (G03 AQUI)"},
        {"N80 g02 x5", "N80 g02 x5"},
        {"N90 G42 G41", "N90 G42 G42"},
        {"N95 G41 G42", "N95 G42 G42"},
    };
    for (const auto& [line, result] : cases)
        EXPECT_EQ(run(tool, line), result) << line;
}

TEST(MirrorTool, CodeExchanges)
{
    MirrorOptions forward;
    forward.g02ToG03 = true;
    MirrorTool onlyForward(forward);
    EXPECT_EQ(run(onlyForward, "G02 X1 G2"), "G03 X1 G3");
    EXPECT_EQ(run(onlyForward, "G03 X1"), "G03 X1");
    EXPECT_EQ(run(onlyForward, "G20 G2 X1"), "G20 G3 X1");
    EXPECT_EQ(run(onlyForward, "G21 G28 G29"), "G21 G28 G29");
    EXPECT_EQ(run(onlyForward, "X1 G2"), "X1 G3");
    EXPECT_EQ(run(onlyForward, "G2.5 G02 G02"), "G3.5 G03 G02");
    EXPECT_EQ(run(onlyForward, "(G2)"), "(G3)");
    EXPECT_EQ(run(onlyForward, "G002"), "G002");

    MirrorOptions both;
    both.g02ToG03 = both.g03ToG02 = true;
    MirrorTool exchange(both);
    EXPECT_EQ(run(exchange, "G02 X1 G03"), "G03 X1 G03");
    EXPECT_EQ(run(exchange, "G03 X1 G3"), "G02 X1 G2");
    EXPECT_EQ(run(exchange, "G31 G3"), "G31 G2");

    MirrorOptions reverse;
    reverse.g42ToG41 = true;
    MirrorTool onlyReverse(reverse);
    EXPECT_EQ(run(onlyReverse, "G42 G42"), "G41 G42");
    EXPECT_EQ(run(onlyReverse, "G41"), "G41");
}

TEST(MirrorTool, NumbersChangeSign)
{
    MirrorOptions o;
    o.x = true;
    MirrorTool x(o);
    EXPECT_EQ(run(x, "X0"), "X0");
    EXPECT_EQ(run(x, "X+5"), "X-5");
    EXPECT_EQ(run(x, "X10.50 Y1"), "X-10.5 Y1");
    EXPECT_EQ(run(x, run(x, "X10.50 Y1")), "X10.5 Y1");
    EXPECT_EQ(run(x, "G01 X5 I2 (X3)"), "G01 X-5 I2 (X3)");
    o.decimalSeparator = '.';
    MirrorTool dotted(o);
    EXPECT_THROW(run(dotted, "X1,5"), ConversionError);
    o.decimalSeparator = ',';
    MirrorTool comma(o);
    EXPECT_EQ(run(comma, "X1,5"), "X-1.5");
    EXPECT_THROW(run(comma, "X1.2.3"), ConversionError);
}

TEST(MirrorTool, Identity)
{
    MirrorTool all(allBoxes());
    EXPECT_EQ(all.tag(), "Espelhar_XY");
    EXPECT_EQ(all.progressCaption(), "Executando a função espelhamento dos eixos XY...");
    EXPECT_EQ(all.describe(),
        "Aplicada a função espelhamento conforme:"
        "\r\n- Espelhamento do eixo X"
        "\r\n- Espelhamento do eixo Y"
        "\r\n- Substituido código G02 por G03"
        "\r\n- Substituido código G03 por G02"
        "\r\n- Substituido código G41 por G42"
        "\r\n- Substituido código G42 por G41"
        "\r\n- Acrescentado caracter \"+\" nas coordenadas positivas");
    MirrorOptions some;
    some.y = some.g42ToG41 = true;
    EXPECT_EQ(MirrorTool(some).describe(),
        "Aplicada a função espelhamento conforme:\r\n- Espelhamento do eixo Y\r\n- Substituido código G42 por G41");
    MirrorTool none {MirrorOptions {}};
    EXPECT_EQ(none.describe(), "Aplicada a função espelhamento conforme:");
    EXPECT_EQ(run(none, "N10 G02 X1 Y1"), "N10 G02 X1 Y1");
    EXPECT_TRUE(none.trimsLine());
    EXPECT_TRUE(none.refreshesView());
}

ArcsOptions arcs(ArcsOptions::Direction d, bool plus = false, char separator = ',')
{
    ArcsOptions o;
    o.direction = d;
    o.plus = plus;
    o.decimalSeparator = separator;
    return o;
}

TEST(ArcsTool, ToAbsoluteAndBack)
{
    const std::vector<std::string> lines
        = {"N10 G00 X10 Y5", "N20 G02 I5 J0", "N30 G01 X-3.5", "N40 G03 I1.5 J-2", "N50 G02 I J"};
    const std::vector<std::string> absolute
        = {"N10 G00 X10 Y5", "N20 G02 I15 J5", "N30 G01 X-3.5", "N40 G03 I-2 J3", "N50 G02 I J"};
    ArcsTool toAbsolute(arcs(ArcsOptions::Direction::Absolute));
    EXPECT_EQ(runAll(toAbsolute, lines), absolute);
    ArcsTool toIncremental(arcs(ArcsOptions::Direction::Incremental));
    EXPECT_EQ(runAll(toIncremental, absolute), lines);
    ArcsTool withPlus(arcs(ArcsOptions::Direction::Absolute, true));
    EXPECT_EQ(runAll(withPlus, lines)[1], "N20 G02 I+15 J+5");
    ArcsTool dotted(arcs(ArcsOptions::Direction::Absolute, false, '.'));
    EXPECT_EQ(runAll(dotted, lines), absolute);
}

TEST(ArcsTool, TheCentreCountsFromThePositionBeforeTheLine)
{
    ArcsTool tool(arcs(ArcsOptions::Direction::Absolute));
    EXPECT_EQ(runAll(tool, {"N10 G00 X10 Y5", "N20 G02 X20 Y5 I5 J0", "N30 G03 I1 J1"}),
        (std::vector<std::string> {"N10 G00 X10 Y5", "N20 G02 X20 Y5 I15 J5", "N30 G03 I21 J6"}));
    // Words before a comment character count; words after it do not.
    EXPECT_EQ(runAll(tool, {"X7 Y1 (X99 Y99)", "I1 J1"}), (std::vector<std::string> {"X7 Y1 (X99 Y99)", "I8 J2"}));
    EXPECT_EQ(runAll(tool, {"(X99) X7", "I1"}), (std::vector<std::string> {"(X99) X7", "I1"}));
    // The last word wins; an empty last word and lower case leave the memory.
    EXPECT_EQ(runAll(tool, {"X1 X2", "I1"})[1], "I3");
    EXPECT_EQ(runAll(tool, {"X4", "X1 X", "I1"})[2], "I5");
    EXPECT_EQ(runAll(tool, {"X4", "x9 y9", "I1 J1 i1"})[2], "I5 J1 i1");
    EXPECT_EQ(runAll(tool, {"X4 Y4", "G02 I1 (J1)"})[1], "G02 I5 (J1)");
    // Each run starts from 0, whatever the run before left.
    EXPECT_EQ(runAll(tool, {"I1 J-1"})[0], "I1 J-1");
}

TEST(ArcsTool, BadNumbersStopOnlyWhereTheyAreUsed)
{
    ArcsTool tool(arcs(ArcsOptions::Direction::Incremental));
    EXPECT_EQ(failure(tool, {"X-", "N20 G01 Y2", "N30 M3"}), "(no error)");
    EXPECT_EQ(failure(tool, {"X-", "N20 G02 J1", "N30 I1"}), "'-' is not a valid floating point value");
    EXPECT_EQ(failure(tool, {"X1.2.3", "I1"}), "'1,2,3' is not a valid floating point value");
    EXPECT_EQ(failure(tool, {"I1.2.3"}), "'1,2,3' is not a valid floating point value");
    // With "." as separator a "," in the program is kept in the memory and fails when used.
    ArcsTool dotted(arcs(ArcsOptions::Direction::Absolute, false, '.'));
    EXPECT_EQ(failure(dotted, {"X1,5", "I1"}), "'1,5' is not a valid floating point value");
}

TEST(ArcsTool, NoDirectionConvertsNothing)
{
    ArcsTool tool(arcs(ArcsOptions::Direction::None));
    EXPECT_EQ(runAll(tool, {"X10 Y5", "G02 I1.50 J0"}), (std::vector<std::string> {"X10 Y5", "G02 I1.50 J0"}));
    EXPECT_EQ(tool.describe(), "Convertido coordenadas \"I,J\" para incremental");
    EXPECT_EQ(
        ArcsTool(arcs(ArcsOptions::Direction::Absolute)).describe(), "Convertido coordenadas \"I,J\" para absoluto");
    EXPECT_EQ(ArcsTool(arcs(ArcsOptions::Direction::Incremental)).describe(),
        "Convertido coordenadas \"I,J\" para incremental");
    EXPECT_EQ(tool.tag(), "IncAbs_IJ");
    EXPECT_EQ(tool.progressCaption(), "Executando a função converter coordenadas IJ...");
    EXPECT_TRUE(tool.trimsLine());
    EXPECT_TRUE(tool.refreshesView());
}

// Real programs: lines split at CR LF, CR and LF.
std::vector<std::string> sampleLines(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string bytes = buffer.str();
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            lines.push_back(bytes.substr(start, i - start));
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

// Whether every number after the letters has at most `digits` characters, so that
// adding and subtracting a short value involves no rounding at 15 digits.
bool shortNumbers(std::string_view line, std::string_view letters, size_t digits)
{
    for (size_t i = 0; i < line.size(); ++i) {
        if (letters.find(line[i]) == std::string_view::npos)
            continue;
        size_t n = 0;
        while (i + 1 + n < line.size()
            && ((line[i + 1 + n] >= '0' && line[i + 1 + n] <= '9') || line[i + 1 + n] == '.' || line[i + 1 + n] == '-'
                || line[i + 1 + n] == '+' || line[i + 1 + n] == ','))
            ++n;
        if (n > digits)
            return false;
    }
    return true;
}

// The lines checked.
size_t mirroringTwiceGivesTheNumbersBack(const std::vector<std::filesystem::path>& programs)
{
    size_t checked = 0;
    for (const auto& file : programs) {
        for (const char separator : {'.', ','}) {
            MirrorOptions o;
            o.x = o.y = true;
            o.decimalSeparator = separator;
            MirrorTool mirror(o);
            o.plus = true;
            MirrorTool mirrorPlus(o);
            TranslateTool reformatPlus(translation("0", "0", nullptr, true, separator));
            for (const auto& raw : sampleLines(file)) {
                const std::string line(trimmed(raw));
                std::string once;
                try {
                    once = run(mirror, line);
                } catch (const ConversionError&) {
                    // Not a coordinate program line (X-#<...>, X1,5 with "."); the run would stop here.
                    EXPECT_THROW(run(mirrorPlus, line), ConversionError);
                    continue;
                }
                EXPECT_EQ(run(mirror, run(mirror, once)), once) << file << ": " << line;
                EXPECT_EQ(run(mirrorPlus, run(mirrorPlus, line)), run(reformatPlus, line)) << file << ": " << line;
                ++checked;
            }
        }
    }
    return checked;
}

// The lines checked.
size_t translatingThereAndBack(const std::vector<std::filesystem::path>& programs)
{
    size_t checked = 0;
    for (const auto& file : programs) {
        TranslateTool there(translation("12.5", "-7.25", "0.125", false, '.'));
        TranslateTool back(translation("-12.5", "7.25", "-0.125", false, '.'));
        TranslateTool reformat(translation("0", "0", "0", false, '.'));
        for (const auto& raw : sampleLines(file)) {
            const std::string line(trimmed(raw));
            if (!shortNumbers(line, "XYZ", 11))
                continue;
            std::string moved;
            try {
                moved = run(there, line);
            } catch (const ConversionError&) {
                continue;
            }
            EXPECT_EQ(run(back, moved), run(reformat, line)) << file << ": " << line;
            ++checked;
        }
    }
    return checked;
}

TEST(CoordinateToolsOnPrograms, MirroringTwiceGivesTheNumbersBack)
{
    EXPECT_GT(mirroringTwiceGivesTheNumbersBack(teamPrograms()), 40u);
}

TEST(CoordinateToolsOnPrograms, TranslatingThereAndBack) { EXPECT_GT(translatingThereAndBack(teamPrograms()), 30u); }

TEST(CoordinateToolsOnSamples, MirroringTwiceGivesTheNumbersBack)
{
    SKIP_WITHOUT_SAMPLES();
    EXPECT_GT(mirroringTwiceGivesTheNumbersBack(samplePrograms()), 600000u);
}

TEST(CoordinateToolsOnSamples, TranslatingThereAndBack)
{
    SKIP_WITHOUT_SAMPLES();
    EXPECT_GT(translatingThereAndBack(samplePrograms()), 300000u);
}

} // namespace
