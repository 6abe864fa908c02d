// The toolpath interpreter on any program: it never throws; every number it
// gives is finite; the extents hold every motion's end points and box, the
// feed extents those of the feed moves; lines come in order; reading line by
// line gives what the whole program gives; the reports, the drawing and the
// motion index take the result without fault.

#include "FuzzSupport.h"
#include "NaiveTokenizer.h"

#include "toolpath/InfoReport.h"
#include "toolpath/Interpreter.h"
#include "toolpath/MotionIndex.h"
#include "toolpath/PlotStyle.h"
#include "toolpath/SvgWriter.h"

#include <cmath>

using namespace torvel;
using namespace torvel::fuzz;

namespace {

bool finite(const Point3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

bool holds(const Box3& box, const Point3& p)
{
    return box.min.x <= p.x && p.x <= box.max.x && box.min.y <= p.y && p.y <= box.max.y && box.min.z <= p.z
        && p.z <= box.max.z;
}

bool holds(const Box3& outer, const Box3& inner)
{
    return inner.empty() || (holds(outer, inner.min) && holds(outer, inner.max));
}

std::string shownPoint(const Point3& p)
{
    return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ", " + std::to_string(p.z) + ")";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in(data, size);
    const uint8_t mode = in.byte();
    InterpretOptions options;
    options.skipBlockDelete = mode & 1;
    options.rapidRate = mode & 2 ? 5000 : 1 + (mode >> 2);
    const std::string_view program = in.rest();
    const std::vector<std::string_view> lines = naiveLines(program);

    std::optional<Toolpath> result;
    Interpreter stepwise(options);
    try {
        result = interpret(lines, options);
        for (std::string_view line : lines)
            stepwise.readLine(line);
    } catch (const std::exception& e) {
        FUZZ_CHECK(false, shown(program) + " throws " + e.what());
    }
    FUZZ_CHECK(result.has_value(), "no cancel was asked for");
    const Toolpath& path = *result;
    const Toolpath again = stepwise.finish();

    FUZZ_CHECK(path.lineCount() == lines.size(), std::to_string(path.lineCount()));
    FUZZ_CHECK(again.size() == path.size() && again.noteCount() == path.noteCount(), "line by line differs");
    FUZZ_CHECK(std::isfinite(path.feedLength()) && path.feedLength() >= 0 && std::isfinite(path.rapidLength())
            && path.rapidLength() >= 0 && std::isfinite(path.timeSeconds()) && path.timeSeconds() >= 0,
        shown(program) + ": lengths " + std::to_string(path.feedLength()) + " " + std::to_string(path.rapidLength())
            + " time " + std::to_string(path.timeSeconds()));

    std::vector<Point3> points;
    for (size_t i = 0; i < path.size(); ++i) {
        const Point3 s = path.start(i), e = path.end(i);
        const std::string where
            = shown(program) + " motion " + std::to_string(i) + " " + shownPoint(s) + " to " + shownPoint(e);
        FUZZ_CHECK(finite(s) && finite(e) && std::isfinite(path.feed(i)) && path.feed(i) >= 0, where);
        FUZZ_CHECK(again.start(i) == s && again.end(i) == e && again.kind(i) == path.kind(i), where + " line by line");
        FUZZ_CHECK(path.line(i) < path.lineCount() && (i == 0 || path.line(i - 1) <= path.line(i)), where);
        FUZZ_CHECK(holds(path.extents(), s) && holds(path.extents(), e), where + " outside the extents");
        const Box3 box = path.bounds(i);
        FUZZ_CHECK(finite(box.min) && finite(box.max) && holds(box, s) && holds(box, e), where + " box");
        FUZZ_CHECK(holds(path.extents(), box), where + " box outside the extents");
        if (!isRapid(path.kind(i)))
            FUZZ_CHECK(holds(path.feedExtents(), box), where + " outside the feed extents");
        FUZZ_CHECK(std::isfinite(path.length(i)) && path.length(i) >= 0, where);
        if (i < 64) {
            points.clear();
            path.appendPoints(i, 0.01, points);
            FUZZ_CHECK(!points.empty() && points.back() == e, where);
            for (const Point3& p : points)
                FUZZ_CHECK(finite(p), where + " drawn through " + shownPoint(p));
        }
    }
    for (size_t i = 0; i < path.noteCount(); ++i) {
        const ToolpathNote note = path.note(i);
        FUZZ_CHECK(note.line < path.lineCount() && !note.text().empty(), shown(program));
    }

    FUZZ_CHECK(!infoText(path).empty() && !infoJson(path).empty(), shown(program));
    const PlotView view = static_cast<PlotView>((mode >> 4) % 4);
    std::string svg;
    writeSvg(path, view, 16 + mode, 16 + 2 * mode, svg);
    FUZZ_CHECK(svg.find("nan") == std::string::npos && svg.find("inf") == std::string::npos, svg);
    const MotionIndex index(path);
    if (!path.empty()) {
        const PlotProjection projection = PlotProjection::forView(view);
        const auto hit = index.nearest(path, projection, projection.apply(path.end(path.size() / 2)), 1);
        FUZZ_CHECK(hit && hit->motion < path.size() && std::isfinite(hit->distance), shown(program));
    }
    return 0;
}
