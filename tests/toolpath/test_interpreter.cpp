#include "toolpath/BlockReader.h"
#include "toolpath/Interpreter.h"

#include "Programs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <random>
#include <string>
#include <vector>

using namespace torvel;

namespace {

constexpr double kEps = 1e-9;

using K = MotionKind;

struct Step {
    MotionKind kind;
    Point3 end;
    uint32_t line; // 0-based
};

struct MotionCase {
    const char* name;
    const char* program;
    std::vector<Step> steps;
};

void expectNear(const Point3& actual, const Point3& expected, const std::string& where)
{
    EXPECT_NEAR(actual.x, expected.x, kEps) << where;
    EXPECT_NEAR(actual.y, expected.y, kEps) << where;
    EXPECT_NEAR(actual.z, expected.z, kEps) << where;
}

void expectSteps(const Toolpath& path, const std::vector<Step>& steps, const std::string& name)
{
    ASSERT_EQ(path.size(), steps.size()) << name;
    for (size_t i = 0; i < steps.size(); ++i) {
        const std::string where = name + ", motion " + std::to_string(i);
        EXPECT_EQ(path.kind(i), steps[i].kind) << where;
        EXPECT_EQ(path.line(i), steps[i].line) << where;
        expectNear(path.end(i), steps[i].end, where);
    }
}

// Values worked out by hand from the program text.
const std::vector<MotionCase> kMotionCases = {
    {"modal carry-over", "G0 X10 Y5 Z2\nG1 X20 F100\nY15\nG0 Z5",
        {{K::Rapid, {10, 5, 2}, 0}, {K::Feed, {20, 5, 2}, 1}, {K::Feed, {20, 15, 2}, 2}, {K::Rapid, {20, 15, 5}, 3}}},
    {"incremental run", "G0 X1 Y1 Z1\nG91 G1 X2 Y-1 F100\nX2\nZ-3\nG90 X0",
        {{K::Rapid, {1, 1, 1}, 0}, {K::Feed, {3, 0, 1}, 1}, {K::Feed, {5, 0, 1}, 2}, {K::Feed, {5, 0, -2}, 3},
            {K::Feed, {0, 0, -2}, 4}}},
    {"inch program", "G20 G0 X1 Y2 Z0.5\nG1 X-0.25 F10",
        {{K::Rapid, {25.4, 50.8, 12.7}, 0}, {K::Feed, {-6.35, 50.8, 12.7}, 1}}},
    {"last word of a group wins", "G0 X0 Y0 Z0\nG1 G0 X5\nG90 G91 X1\nG0 G80 X2",
        {{K::Rapid, {0, 0, 0}, 0}, {K::Rapid, {5, 0, 0}, 1}, {K::Rapid, {6, 0, 0}, 2}, {K::Rapid, {8, 0, 0}, 3}}},
    {"case, blanks, comments, block delete off", "g0x1 y 2 z3\nN10 G1 (move X9) X -4 F100 ; Y7\n/G1 X8\n%",
        {{K::Rapid, {1, 2, 3}, 0}, {K::Feed, {-4, 2, 3}, 1}, {K::Feed, {8, 2, 3}, 2}}},
    {"numbers as written", "G0 X123.456 Y-.0625 Z5.\nG1 X+1.00000000000000000000001 F1",
        {{K::Rapid, {123.456, -0.0625, 5}, 0}, {K::Feed, {1, -0.0625, 5}, 1}}},
    {"G92 offset and G92.1", "G0 X10 Y10 Z0\nG92 X0 Y0\nG1 X5 F100\nG92.1\nG1 X5",
        {{K::Rapid, {10, 10, 0}, 0}, {K::Feed, {15, 10, 0}, 2}, {K::Feed, {5, 10, 0}, 4}}},
    {"G52 local offset", "G0 X0 Y0 Z0\nG52 X100 Y-5\nG1 X1 Y1 F100",
        {{K::Rapid, {0, 0, 0}, 0}, {K::Feed, {101, -4, 0}, 2}}},
    {"G53 ignores offsets", "G0 X1 Y1 Z1\nG92 X0\nG53 G0 X5\nG0 X2",
        {{K::Rapid, {1, 1, 1}, 0}, {K::MachineRapid, {5, 1, 1}, 2}, {K::Rapid, {3, 1, 1}, 3}}},
    {"G28 through its intermediate point", "G0 X10 Y10 Z10\nG28 Z20\nG0 X5\nG28",
        {{K::Rapid, {10, 10, 10}, 0}, {K::Rapid, {10, 10, 20}, 1}, {K::MachineRapid, {10, 10, 0}, 1},
            {K::Rapid, {5, 10, 0}, 2}, {K::MachineRapid, {0, 0, 0}, 3}}},
    {"G91 G28 Z0 and G30 to its stored point", "G0 X10 Y10 Z10\nG30.1\nG0 Z50\nG91 G28 Z0\nG90 G30 X0",
        {{K::Rapid, {10, 10, 10}, 0}, {K::Rapid, {10, 10, 50}, 2}, {K::MachineRapid, {10, 10, 0}, 3},
            {K::Rapid, {0, 10, 0}, 4}, {K::MachineRapid, {10, 10, 0}, 4}}},
    {"G7 diameter words", "G18 G7 G0 X20 Z0\nG1 X10 F100\nG8 X10",
        {{K::Rapid, {10, 0, 0}, 0}, {K::Feed, {5, 0, 0}, 1}, {K::Feed, {10, 0, 0}, 2}}},
    {"each axis starts at its first value", "G0 Z5\nG0 X10 Y10\nG1 Z-1 F100",
        {{K::Rapid, {10, 10, 5}, 0}, {K::Rapid, {10, 10, 5}, 1}, {K::Feed, {10, 10, -1}, 2}}},
    {"G98 drilling, sticky R and Z", "G0 X0 Y0 Z10\nG98 G81 X5 Y5 Z-2 R1 F100\nX10\nG80\nG0 Z20",
        {{K::Rapid, {0, 0, 10}, 0}, {K::DrillRapid, {5, 5, 10}, 1}, {K::DrillRapid, {5, 5, 1}, 1},
            {K::DrillFeed, {5, 5, -2}, 1}, {K::DrillRapid, {5, 5, 10}, 1}, {K::DrillRapid, {10, 5, 10}, 2},
            {K::DrillRapid, {10, 5, 1}, 2}, {K::DrillFeed, {10, 5, -2}, 2}, {K::DrillRapid, {10, 5, 10}, 2},
            {K::Rapid, {10, 5, 20}, 4}}},
    {"G99 drilling stays at R", "G0 X0 Y0 Z10\nG99 G81 X5 Y5 Z-2 R1 F100\nX10",
        {{K::Rapid, {0, 0, 10}, 0}, {K::DrillRapid, {5, 5, 10}, 1}, {K::DrillRapid, {5, 5, 1}, 1},
            {K::DrillFeed, {5, 5, -2}, 1}, {K::DrillRapid, {5, 5, 1}, 1}, {K::DrillRapid, {10, 5, 1}, 2},
            {K::DrillFeed, {10, 5, -2}, 2}, {K::DrillRapid, {10, 5, 1}, 2}}},
    {"below R the cycle climbs first", "G0 X0 Y0 Z-5\nG98 G81 X1 Z-8 R2 F100",
        {{K::Rapid, {0, 0, -5}, 0}, {K::DrillRapid, {0, 0, 2}, 1}, {K::DrillRapid, {1, 0, 2}, 1},
            {K::DrillFeed, {1, 0, -8}, 1}, {K::DrillRapid, {1, 0, 2}, 1}}},
    {"G83 pecks back to R", "G0 X0 Y0 Z5\nG99 G83 Z-3 R1 Q1.5 F100",
        {{K::Rapid, {0, 0, 5}, 0}, {K::DrillRapid, {0, 0, 1}, 1}, {K::DrillFeed, {0, 0, -0.5}, 1},
            {K::DrillRapid, {0, 0, 1}, 1}, {K::DrillRapid, {0, 0, -0.246}, 1}, {K::DrillFeed, {0, 0, -2}, 1},
            {K::DrillRapid, {0, 0, 1}, 1}, {K::DrillRapid, {0, 0, -1.746}, 1}, {K::DrillFeed, {0, 0, -3}, 1},
            {K::DrillRapid, {0, 0, 1}, 1}}},
    {"G73 breaks chips", "G0 X0 Y0 Z5\nG98 G73 Z-2 R1 Q1 F100",
        {{K::Rapid, {0, 0, 5}, 0}, {K::DrillRapid, {0, 0, 1}, 1}, {K::DrillFeed, {0, 0, 0}, 1},
            {K::DrillRapid, {0, 0, 0.254}, 1}, {K::DrillFeed, {0, 0, -1}, 1}, {K::DrillRapid, {0, 0, -0.746}, 1},
            {K::DrillFeed, {0, 0, -2}, 1}, {K::DrillRapid, {0, 0, 5}, 1}}},
    {"G85 feeds out", "G0 X0 Y0 Z5\nG99 G85 Z-2 R1 F100",
        {{K::Rapid, {0, 0, 5}, 0}, {K::DrillRapid, {0, 0, 1}, 1}, {K::DrillFeed, {0, 0, -2}, 1},
            {K::DrillFeed, {0, 0, 1}, 1}}},
    {"G91 cycle repeated by L", "G0 X0 Y0 Z10\nG91 G99 G81 X5 R-8 Z-4 L2 F100",
        {{K::Rapid, {0, 0, 10}, 0}, {K::DrillRapid, {5, 0, 10}, 1}, {K::DrillRapid, {5, 0, 2}, 1},
            {K::DrillFeed, {5, 0, -2}, 1}, {K::DrillRapid, {5, 0, 2}, 1}, {K::DrillRapid, {10, 0, 2}, 1},
            {K::DrillFeed, {10, 0, -2}, 1}, {K::DrillRapid, {10, 0, 2}, 1}}},
    {"G18 drills along Y", "G18 G0 X0 Y5 Z0\nG99 G81 X2 Z3 Y-1 R1 F100",
        {{K::Rapid, {0, 5, 0}, 0}, {K::DrillRapid, {2, 5, 3}, 1}, {K::DrillRapid, {2, 1, 3}, 1},
            {K::DrillFeed, {2, -1, 3}, 1}, {K::DrillRapid, {2, 1, 3}, 1}}},
};

TEST(Interpreter, MotionsMatchHandValues)
{
    for (const MotionCase& c : kMotionCases)
        expectSteps(interpretText(c.program), c.steps, c.name);
}

TEST(Interpreter, BlockDeleteSwitch)
{
    InterpretOptions skip;
    skip.skipBlockDelete = true;
    expectSteps(interpretText("G0 X1 Y2 Z3\n /G1 X8 F100\nG1 X4 F100", skip),
        {{K::Rapid, {1, 2, 3}, 0}, {K::Feed, {4, 2, 3}, 2}}, "block delete on");
}

struct ArcCase {
    const char* name;
    const char* program; // the arc is the last motion
    MotionKind kind;
    Point3 centre;
    double sweepDegrees;
    Point3 end;
    Box3 bounds; // by the true bulge
};

Box3 box(Point3 min, Point3 max) { return Box3 {min, max}; }

const std::vector<ArcCase> kArcCases = {
    {"G17 G2 I J quarter", "G0 X0 Y10 Z0\nG2 X10 Y0 I0 J-10 F100", K::ArcCw, {0, 0, 0}, -90, {10, 0, 0},
        box({0, 0, 0}, {10, 10, 0})},
    {"G17 G3 R short", "G0 X10 Y0 Z0\nG3 X0 Y10 R10 F100", K::ArcCcw, {0, 0, 0}, 90, {0, 10, 0},
        box({0, 0, 0}, {10, 10, 0})},
    {"G17 G3 negative R long", "G0 X10 Y0 Z0\nG3 X0 Y10 R-10 F100", K::ArcCcw, {10, 10, 0}, 270, {0, 10, 0},
        box({0, 0, 0}, {20, 20, 0})},
    {"G17 G2 negative R long", "G0 X10 Y0 Z0\nG2 X0 Y10 R-10 F100", K::ArcCw, {0, 0, 0}, -270, {0, 10, 0},
        box({-10, -10, 0}, {10, 10, 0})},
    {"half circle bulges", "G0 X10 Y0 Z0\nG3 X-10 Y0 I-10 F100", K::ArcCcw, {0, 0, 0}, 180, {-10, 0, 0},
        box({-10, 0, 0}, {10, 10, 0})},
    {"full circle by I J", "G0 X10 Y0 Z0\nG3 X10 Y0 I-10 J0 F100", K::ArcCcw, {0, 0, 0}, 360, {10, 0, 0},
        box({-10, -10, 0}, {10, 10, 0})},
    {"full circle by its centre alone", "G0 X10 Y0 Z0\nG2 I-10 F100", K::ArcCw, {0, 0, 0}, -360, {10, 0, 0},
        box({-10, -10, 0}, {10, 10, 0})},
    {"helix of two turns", "G0 X10 Y0 Z0\nG3 X10 Y0 Z-5 I-10 J0 P2 F100", K::ArcCcw, {0, 0, 0}, 720, {10, 0, -5},
        box({-10, -10, -5}, {10, 10, 0})},
    {"G18 I K", "G18 G0 X0 Y0 Z10\nG3 X10 Z0 I0 K-10 F100", K::ArcCcw, {0, 0, 0}, 90, {10, 0, 0},
        box({0, 0, 0}, {10, 0, 10})},
    {"G18 G2 negative R", "G18 G0 X0 Y0 Z10\nG2 X10 Z0 R-10 F100", K::ArcCw, {0, 0, 0}, -270, {10, 0, 0},
        box({-10, 0, -10}, {10, 0, 10})},
    {"G19 J K", "G19 G0 X0 Y10 Z0\nG3 Y0 Z10 J-10 K0 F100", K::ArcCcw, {0, 0, 0}, 90, {0, 0, 10},
        box({0, 0, 0}, {0, 10, 10})},
    {"G19 R", "G19 G0 X0 Y10 Z0\nG2 Y0 Z10 R10 F100", K::ArcCw, {0, 10, 10}, -90, {0, 0, 10},
        box({0, 0, 0}, {0, 10, 10})},
    {"G90.1 absolute centre", "G90.1 G0 X10 Y0 Z0\nG3 X0 Y10 I0 J0 F100", K::ArcCcw, {0, 0, 0}, 90, {0, 10, 0},
        box({0, 0, 0}, {10, 10, 0})},
    {"G90.1 centre follows G92", "G0 X20 Y0 Z0\nG92 X10\nG90.1 G3 X0 Y10 I0 J0 F100", K::ArcCcw, {10, 0, 0}, 90,
        {10, 10, 0}, box({10, 0, 0}, {20, 10, 0})},
    {"inch arc", "G20 G0 X1 Y0 Z0\nG3 X0 Y1 I-1 J0 F10", K::ArcCcw, {0, 0, 0}, 90, {0, 25.4, 0},
        box({0, 0, 0}, {25.4, 25.4, 0})},
    {"G91 arc", "G0 X10 Y0 Z0\nG91 G3 X-10 Y10 I-10 F100", K::ArcCcw, {0, 0, 0}, 90, {0, 10, 0},
        box({0, 0, 0}, {10, 10, 0})},
};

TEST(Interpreter, ArcsMatchHandValues)
{
    for (const ArcCase& c : kArcCases) {
        const Toolpath path = interpretText(c.program);
        ASSERT_FALSE(path.empty()) << c.name;
        const size_t i = path.size() - 1;
        EXPECT_EQ(path.kind(i), c.kind) << c.name;
        const ArcGeometry arc = path.arc(i);
        expectNear(arc.centre, c.centre, c.name);
        EXPECT_NEAR(arc.sweep * 180 / std::numbers::pi, c.sweepDegrees, 1e-9) << c.name;
        expectNear(path.end(i), c.end, c.name);
        expectNear(path.feedExtents().min, c.bounds.min, std::string(c.name) + " (min)");
        expectNear(path.feedExtents().max, c.bounds.max, std::string(c.name) + " (max)");
        EXPECT_EQ(path.noteCount(), 0u) << c.name << ": " << path.note(0).text();
    }
}

TEST(Interpreter, HelixLengthAndTime)
{
    // Two turns of radius 10 descending 5 mm at F100, then a 10 mm rapid.
    const Toolpath path = interpretText("G0 X10 Y0 Z0\nG3 X10 Y0 Z-5 I-10 J0 P2 F100\nG0 Z5");
    const double helix = std::hypot(4 * std::numbers::pi * 10, 5.0);
    EXPECT_NEAR(path.feedLength(), helix, 1e-9);
    EXPECT_NEAR(path.rapidLength(), 10, 1e-9);
    EXPECT_NEAR(path.timeSeconds(), helix / 100 * 60 + 10.0 / 5000 * 60, 1e-9);
}

TEST(Interpreter, ToolsLengthsTimeAndExtents)
{
    const Toolpath path = interpretText(
        "T1 M6\nG0 X0 Y0 Z5\nG1 Z-1 F100\nX30 Y40\nT2\nG0 Z5\nM6\nG1 X0 F200\nG0 Z50\nG4 P2.5\nM98 P10");
    EXPECT_EQ(path.tools(), (std::vector<int> {1, 2}));
    ASSERT_EQ(path.size(), 6u);
    EXPECT_EQ(path.tool(3), 1); // T2 alone only selects the next tool
    EXPECT_EQ(path.tool(4), 2);
    EXPECT_EQ(path.toolSlot(4), 2u);
    EXPECT_NEAR(path.feedLength(), 86, kEps);
    EXPECT_NEAR(path.rapidLength(), 51, kEps);
    // 6 and 50 mm at F100, 30 at F200, 51 mm of rapids at 5000 mm/min, a 2.5 s dwell.
    EXPECT_NEAR(path.timeSeconds(), (0.56 + 0.15) * 60 + 51.0 / 5000 * 60 + 2.5, 1e-9);
    expectNear(path.extents().min, {0, 0, -1}, "extents");
    expectNear(path.extents().max, {30, 40, 50}, "extents");
    expectNear(path.feedExtents().max, {30, 40, 5}, "feed extents");
    EXPECT_EQ(path.lineCount(), 11u);
    EXPECT_EQ(path.units(), Units::Millimetre);
}

TEST(Interpreter, LatheConventions)
{
    // A turret indexes on T; the program's first unit counts; Y never programmed stays 0.
    const Toolpath path = interpretText("G18 G20 T0101\nG0 X1 Z0.5\nG21 G1 Z0 F10");
    EXPECT_EQ(path.tools(), (std::vector<int> {101}));
    EXPECT_EQ(path.tool(0), 101);
    EXPECT_EQ(path.units(), Units::Inch);
    EXPECT_EQ(path.programmedAxes(), 5u);
    expectNear(path.extents().min, {25.4, 0, 0}, "lathe");
}

struct NoteCase {
    const char* program;
    std::vector<std::string> notes; // "line: text", 1-based
    size_t motions;
};

const std::vector<NoteCase> kNoteCases = {
    {"G1 X#1 Y2 F100", {"1: parâmetro # não avaliado"}, 1},
    {"#<depth> = [#1 + 2]", {"1: parâmetro # não avaliado", "1: expressão [ ] não avaliada"}, 0},
    {"G1 X[1+2] F100", {"1: expressão [ ] não avaliada"}, 0},
    {"M98 P100 L2", {"1: subprograma não seguido: M98"}, 0},
    {"o100 call [1]", {"1: subprograma não seguido: o100 call"}, 0},
    {"O200 while [#1 LT 3]", {"1: controle de fluxo não avaliado: O200 while"}, 0},
    {"G65 P9000 X1", {"1: subprograma não seguido: G65"}, 0},
    {"G12 X1", {"1: código G desconhecido: G12"}, 1},
    {"G1.23 X1", {"1: código G desconhecido: G1.23"}, 1},
    {"G1 X1..2 F100", {"1: número inválido: X1..2"}, 0},
    {"G1 X1 Y12345678901 F100", {"1: número inválido: Y12345678901"}, 1},
    {"G1 X1 $0 F100", {"1: texto não interpretado: $0"}, 1},
    {"G1 X1 F100 (open", {"1: comentário sem fechamento"}, 1},
    {"G0 X0 Y0 Z0\nG1 X10\nX20", {"2: avanço F ausente ou zero: tempo não contado"}, 3},
    {"G95 G1 X1 F0.1", {"1: avanço por rotação sem rotação conhecida: tempo não contado"}, 1},
    {"G0 X0 Y0 Z0\nG2 X10 Y0 F100", {"2: arco sem centro: desenhado como reta"}, 2},
    {"G0 X0 Y0 Z0\nG2 X10 Y0 R2 F100", {"2: raio R menor que meia corda: desenhado como semicírculo"}, 2},
    {"G0 X0 Y0 Z0\nG2 X0 Y0 R5 F100", {"2: arco por R sem deslocamento no plano: desenhado como reta"}, 2},
    {"G0 X10 Y0 Z0\nG3 X0 Y11 I-10 J0 F100", {"2: raio no fim do arco difere do início"}, 2},
    {"G0 X1\nM30\n(end)\nG0 X2\nG0 X3", {"4: linhas após o fim do programa não interpretadas"}, 1},
    {"O100 sub\nG0 X5\nO100 endsub\nG0 X1", {}, 1},
    {"G0 X0 Y0 Z0\nG1 A90 B1 F100\nA0", {"2: eixo não desenhado: A", "2: eixo não desenhado: B"}, 1},
    {"G55 G0 X0\nG0 X1\nG56 X2", {"3: origem de peça desconhecida, desenhada sobre a anterior: G56"}, 3},
    {"G0 X0 Y0 Z0\nG80 X5", {"2: coordenadas sem movimento ativo"}, 1},
    {"G41 D1 G1 X1 F100", {"1: compensação de raio não desenhada: G41"}, 1},
    {"G68 X0 Y0 R45", {"1: código G não aplicado: G68"}, 0},
    {"G71 P1 Q2 D1", {"1: ciclo não desenhado: G71"}, 0},
    {"G5.1 X1 Y1 I1 J1 F100", {"1: curva desenhada como reta: G5.1"}, 1},
    {"G0 X0 Y0 Z0\nG53 G2 X2 I1 F100", {"2: G53 só com G0 ou G1: ignorado"}, 2},
    {"G0 X0 Y0 Z0\nG81 X1 Y1 R1", {"2: ciclo sem Z: furo não desenhado"}, 1},
    {"G0 X0 Y0 Z5\nG81 X1 Y1 Z-1 F100", {"2: ciclo sem R: plano R na altura inicial"}, 4},
};

TEST(Interpreter, WhatCannotBeEvaluatedIsNoted)
{
    for (const NoteCase& c : kNoteCases) {
        const Toolpath path = interpretText(c.program);
        std::vector<std::string> notes;
        for (size_t i = 0; i < path.noteCount(); ++i)
            notes.push_back(std::to_string(path.note(i).line + 1) + ": " + path.note(i).text());
        EXPECT_EQ(notes, c.notes) << c.program;
        EXPECT_EQ(path.size(), c.motions) << c.program;
    }
}

TEST(BlockReader, NumbersReadAsTheNearestDouble)
{
    const char* texts[] = {"0.1", "123.456", "-.0625", "5.", "99999.9999", "0.000001", "123456789.123456789012",
        "3.14159265358979323846", "00000000000000000000042.5", "12345678", "87654321.5", "7.12345678"};
    Block block;
    for (const char* t : texts) {
        // At the end of the line, and with more of the line after it.
        for (const std::string& line : {std::string("X") + t, std::string("X") + t + "Y1 Z2 (and more)"}) {
            readBlock(line, block);
            ASSERT_TRUE(block.has('X')) << line;
            EXPECT_EQ(block.value('X'), std::strtod(t, nullptr)) << line;
        }
    }
}

// Whatever the bytes, the interpreter finishes and every point is finite.
TEST(Interpreter, SurvivesRandomText)
{
    const std::string alphabet = "GXYZIJKRPQLFMTNOS0123456789.-+ ()#[];%/$\t\x80g";
    std::mt19937 random(7);
    std::vector<std::string> lines(3000);
    for (std::string& l : lines)
        for (int n = static_cast<int>(random() % 40); n > 0; --n)
            l += alphabet[random() % alphabet.size()];
    std::vector<std::string_view> views(lines.begin(), lines.end());
    const Toolpath path = *interpret(views);
    for (size_t i = 0; i < path.size(); ++i) {
        const Point3 p = path.end(i);
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << i;
    }
    EXPECT_TRUE(std::isfinite(path.timeSeconds()));
}

TEST(Interpreter, ProgressAndCancel)
{
    const std::vector<std::string_view> lines(70000, "G1 X1 F100");
    std::vector<size_t> asked;
    EXPECT_FALSE(interpret(lines, {}, [&](size_t done) {
        asked.push_back(done);
        return done == 0;
    }));
    EXPECT_EQ(asked, (std::vector<size_t> {0, 65536}));
}

} // namespace
