#include "toolpath/InfoReport.h"
#include "toolpath/MotionIndex.h"
#include "toolpath/PlotStyle.h"
#include "toolpath/SvgWriter.h"

#include "Programs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <regex>
#include <string>

using namespace torvel;

namespace {

const char* const kToolProgram
    = "T1 M6\nG0 X0 Y0 Z5\nG1 Z-1 F100\nX30 Y40\nT2\nG0 Z5\nM6\nG1 X0 F200\nG0 Z50\nG4 P2.5\nM98 P10";

TEST(InfoReport, TextForScripts)
{
    EXPECT_EQ(infoText(interpretText(kToolProgram)),
        "lines: 11\n"
        "units: mm\n"
        "motions: 6\n"
        "extents: min 0.0000 0.0000 -1.0000 max 30.0000 40.0000 50.0000\n"
        "feed_extents: min 0.0000 0.0000 -1.0000 max 30.0000 40.0000 5.0000\n"
        "feed_length_mm: 86.0000\n"
        "rapid_length_mm: 51.0000\n"
        "time_s: 45.7120\n"
        "tools: 1 2\n"
        "notes: 1\n"
        "note: line 11: subprograma não seguido: M98\n");
    EXPECT_EQ(infoText(interpretText("(nothing)")),
        "lines: 1\nunits: mm\nmotions: 0\nextents: none\nfeed_extents: none\nfeed_length_mm: 0.0000\n"
        "rapid_length_mm: 0.0000\ntime_s: 0.0000\ntools:\nnotes: 0\n");
}

TEST(InfoReport, Json)
{
    EXPECT_EQ(infoJson(interpretText(kToolProgram)),
        "{\"lines\":11,\"units\":\"mm\",\"motions\":6,"
        "\"extents\":{\"min\":[0.0000,0.0000,-1.0000],\"max\":[30.0000,40.0000,50.0000]},"
        "\"feed_extents\":{\"min\":[0.0000,0.0000,-1.0000],\"max\":[30.0000,40.0000,5.0000]},"
        "\"feed_length_mm\":86.0000,\"rapid_length_mm\":51.0000,\"time_s\":45.7120,\"tools\":[1,2],"
        "\"notes\":[{\"line\":11,\"reason\":\"subprograma não seguido: M98\"}]}\n");
    // Inch program, no moves, a quote in a noted word.
    EXPECT_EQ(infoJson(interpretText("G20\nG1 X\"1")),
        "{\"lines\":2,\"units\":\"inch\",\"motions\":0,\"extents\":null,\"feed_extents\":null,"
        "\"feed_length_mm\":0.0000,\"rapid_length_mm\":0.0000,\"time_s\":0.0000,\"tools\":[],"
        "\"notes\":[{\"line\":2,\"reason\":\"número inválido: X\\\"1\"}]}\n");
}

TEST(SvgWriter, FitsTheTopView)
{
    std::string svg;
    writeSvg(interpretText("G0 X0 Y0 Z0\nG1 X100 F100\nY100\nX0\nY0"), PlotView::Top, 200, 200, svg);
    EXPECT_EQ(svg,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"200\" height=\"200\" viewBox=\"0 0 200 200\">\n"
        "<style>path{fill:none;stroke-width:1;stroke-linejoin:round;stroke-linecap:round}"
        ".r{stroke:#808080;stroke-width:0.75;stroke-dasharray:4 3}.m{stroke:#c51b8a;stroke-dasharray:0.5 3}"
        ".t0{stroke:#1f77b4}</style>\n"
        "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n"
        "<path class=\"r\" d=\"M8 192L8 192\"/>\n"
        "<path class=\"t0\" d=\"M8 192L192 192 192 8 8 8 8 192\"/>\n"
        "</svg>\n");
}

TEST(SvgWriter, EveryViewStaysOnThePage)
{
    const Toolpath path = interpretText("T3 M6\nG0 X10 Y0 Z5\nG1 Z0 F100\nG3 X10 Y0 Z-5 I-10 P3\nG53 G0 Z30\nG81 "
                                        "X40 Y20 Z-3 R1");
    const std::regex number("-?[0-9]+(\\.[0-9]+)?"), pathData(" d=\"M([^\"]*)\"");
    for (PlotView view : {PlotView::Top, PlotView::Front, PlotView::Side, PlotView::Iso, PlotView::Lathe}) {
        std::string svg;
        writeSvg(path, view, 300, 150, svg);
        double lowest = 1e9, highest = -1e9;
        for (std::sregex_iterator d(svg.begin(), svg.end(), pathData), end; d != end; ++d) {
            const std::string points = (*d)[1];
            for (std::sregex_iterator n(points.begin(), points.end(), number); n != end; ++n) {
                const double v = std::stod(n->str());
                lowest = std::min(lowest, v);
                highest = std::max(highest, v);
            }
        }
        EXPECT_GE(lowest, 8 - 0.01) << viewName(view);
        EXPECT_LE(highest, 300 - 8 + 0.01) << viewName(view);
        EXPECT_NE(svg.find("class=\"m\""), std::string::npos) << viewName(view);
        EXPECT_NE(svg.find(".t1{stroke:#ff7f0e}"), std::string::npos) << viewName(view);
    }
}

TEST(PlotStyle, ViewsAndColours)
{
    for (PlotView view : {PlotView::Top, PlotView::Front, PlotView::Side, PlotView::Iso, PlotView::Lathe})
        EXPECT_EQ(viewFromName(viewName(view)), view);
    EXPECT_FALSE(viewFromName("XY"));
    const Point3 p {1, 2, 3};
    EXPECT_EQ(PlotProjection::forView(PlotView::Top).apply(p), (Point2 {1, 2}));
    EXPECT_EQ(PlotProjection::forView(PlotView::Front).apply(p), (Point2 {1, 3}));
    EXPECT_EQ(PlotProjection::forView(PlotView::Side).apply(p), (Point2 {2, 3}));
    EXPECT_EQ(PlotProjection::forView(PlotView::Lathe).apply(p), (Point2 {3, 1}));
    // The orbit reproduces the fixed views; the iso view looks from front, right and above.
    const PlotProjection top = PlotProjection::orbit(-90, 90), iso = PlotProjection::forView(PlotView::Iso);
    EXPECT_NEAR(top.apply(p).x, 1, 1e-12);
    EXPECT_NEAR(top.apply(p).y, 2, 1e-12);
    EXPECT_NEAR(iso.apply({1, 1, 0}).x, std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(iso.apply({0, 0, 1}).y, 2 / std::sqrt(6.0), 1e-12);
    EXPECT_GT(iso.depth({1, -1, 1}), 0);
    for (size_t slot = 0; slot < 10; ++slot) {
        EXPECT_NE(toolColour(slot), rapidColour());
        EXPECT_NE(toolColour(slot), toolColour(slot + 1));
    }
}

TEST(ToolpathLookup, ClickFindsTheSegmentOfTheLine)
{
    const Toolpath path = interpretText("G0 X0 Y0 Z0\nG1 X10 F100\nY10\nG0 Z5\nX0\nG0 X30 Y0 Z0\nG3 I-10");
    const MotionIndex index(path);
    const PlotProjection top = PlotProjection::forView(PlotView::Top), front = PlotProjection::forView(PlotView::Front);
    struct Click {
        const PlotProjection& view;
        Point2 at;
        int motion; // -1: none
    };
    const Click clicks[] = {{top, {5, 0.3}, 1}, {top, {10.2, 5}, 2}, {top, {5, 10.1}, 4}, {top, {5, 5}, -1},
        {front, {5, 5.1}, 4}, {front, {10, 2.5}, 3}, {top, {20, 9.9}, 6}, {top, {20, 0}, -1}};
    for (const Click& c : clicks) {
        const auto hit = index.nearest(path, c.view, c.at, 0.5);
        EXPECT_EQ(hit ? static_cast<int>(hit->motion) : -1, c.motion) << c.at.x << ' ' << c.at.y;
    }

    const MotionRange range = path.motionsOfLines(1, 2);
    EXPECT_EQ(range.begin, 1u);
    EXPECT_EQ(range.end, 3u);
    EXPECT_TRUE(path.motionsOfLines(7, 100).empty());
}

// The tree of boxes must find what a look at every motion finds.
TEST(ToolpathLookup, IndexAgreesWithEveryMotion)
{
    // A wandering tool with short lines and arcs, and now and then a long rapid.
    std::string program = "G0 X0 Y0 Z0\nG91 F100\n";
    unsigned seed = 1;
    auto step = [&](int span) {
        seed = seed * 1103515245u + 12345u;
        return std::to_string(static_cast<int>((seed >> 16) % (2 * span + 1)) - span);
    };
    for (int i = 0; i < 9000; ++i) {
        if (i % 50 == 0)
            program += "G0 X" + step(30) + " Y" + step(30) + "\n";
        else if (i % 3 == 0)
            program += "G2 X1 Y" + step(1) + " R1\n";
        else
            program += "G1 X" + step(1) + " Y" + step(1) + " Z" + step(1) + "\n";
    }
    const Toolpath path = interpretText(program);
    const MotionIndex index(path);
    std::vector<Point3> scratch;
    int hits = 0;
    for (PlotView view : {PlotView::Top, PlotView::Iso}) {
        const PlotProjection projection = PlotProjection::forView(view);
        for (size_t k = 0; k < 60; ++k) {
            // Beside points of the path, and (odd k) in the gaps of the picture.
            const Point2 near = projection.apply(path.end(k * 149 % path.size()));
            const Point2 at {near.x + (k % 2 ? 2.5 : 0.13), near.y - 0.07};
            std::optional<MotionHit> expected;
            for (size_t i = 0; i < path.size(); ++i) {
                const double d = path.distanceInView(i, projection, at, 0.3, scratch);
                if (d <= 0.3 && (!expected || d < expected->distance))
                    expected = MotionHit {i, d};
            }
            const auto hit = index.nearest(path, projection, at, 0.3);
            ASSERT_EQ(hit.has_value(), expected.has_value()) << k;
            if (hit) {
                EXPECT_EQ(hit->motion, expected->motion) << k;
                ++hits;
            }
        }
    }
    EXPECT_GT(hits, 30);
}

TEST(ToolpathLookup, ArcPointsStayWithinTolerance)
{
    const Toolpath path = interpretText("G0 X10 Y0 Z0\nG3 I-10 F100");
    std::vector<Point3> points;
    path.appendPoints(1, 0.01, points);
    // Chords of a circle of radius 10 that keep within 0.01 of it.
    EXPECT_EQ(points.size(), static_cast<size_t>(std::ceil(2 * std::numbers::pi / (2 * std::acos(1 - 0.001)))));
    EXPECT_EQ(points.back(), path.end(1));
    Point3 from = path.start(1);
    for (const Point3& p : points) {
        EXPECT_NEAR(std::hypot(p.x, p.y), 10, 1e-9);
        EXPECT_GE(std::hypot((from.x + p.x) / 2, (from.y + p.y) / 2), 10 - 0.01);
        from = p;
    }
    points.clear();
    path.appendPoints(0, 0.01, points);
    EXPECT_EQ(points, (std::vector<Point3> {path.end(0)}));
}

} // namespace
