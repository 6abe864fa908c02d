#pragma once

#include "toolpath/PlotStyle.h"
#include "toolpath/Toolpath.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace torvel {

// Where the path lands on a page of pixels, y growing downward: the point
// `target` (mm) at the page's centre, `scale` pixels to the millimetre.
struct PlotFrame {
    PlotProjection projection;
    Point3 target;
    double scale = 1;
    double width = 0, height = 0;

    // The whole of `extents` fitted with a margin into width × height, as
    // `torvel-batch plot` draws it.
    static PlotFrame fit(const PlotProjection& projection, const Box3& extents, double width, double height);

    Point2 toPage(const Point3& p) const
    {
        const Point3 d {p.x - target.x, p.y - target.y, p.z - target.z};
        const Point2 q = projection.apply(d);
        return {width / 2 + q.x * scale, height / 2 - q.y * scale};
    }
    // A page point on the projection plane through the target, in mm of the plane.
    Point2 toPlane(Point2 page) const;
    // Moves the target so that the page moves by (dx, dy) pixels.
    void pan(double dx, double dy);
    // Multiplies the scale by `factor`, keeping the model point under `page` where it is.
    void zoomAt(Point2 page, double factor);
};

// The stroke a motion is drawn with: machine coordinates, rapid, or the feed
// of a tool (its palette slot, 0 and up).
constexpr int kMachineStroke = -2;
constexpr int kRapidStroke = -1;
inline int strokeOf(const Toolpath& path, size_t i)
{
    const MotionKind k = path.kind(i);
    if (isMachine(k))
        return kMachineStroke;
    if (isRapid(k))
        return kRapidStroke;
    return static_cast<int>(path.toolSlot(i));
}

// Chords of arcs stay within this many pixels of the curve.
constexpr double kChordTolerancePixels = 0.25;

// Walks motions of `range` as polylines on the page: `sink.start(stroke, p)`
// begins one at the start of a motion whose stroke differs from the one
// before, or that follows a motion passed over; `sink.to(p)` continues it.
// With `cull`, motions that lie wholly outside the page are passed over.
// `keepGoing()` is asked every 4096 motions; false stops the walk (and it
// returns false).
template <class Sink, class KeepGoing>
bool walkStrokes(
    const Toolpath& path, MotionRange range, const PlotFrame& frame, bool cull, Sink& sink, KeepGoing&& keepGoing)
{
    const double tolerance = kChordTolerancePixels / frame.scale;
    std::vector<Point3> points;
    int current = kMachineStroke - 1;
    for (size_t i = range.begin; i < range.end; ++i) {
        if ((i - range.begin) % 4096 == 0 && !keepGoing())
            return false;
        const Point2 from = frame.toPage(path.start(i));
        if (cull) {
            const Point2 to = frame.toPage(path.end(i));
            // An arc bulges no farther from its ends than its diameter.
            double reach = 0;
            if (isArc(path.kind(i))) {
                const ArcGeometry g = path.arc(i);
                reach = 2 * std::max(g.startRadius, g.endRadius) * frame.scale;
            }
            if (std::min(from.x, to.x) - reach > frame.width || std::max(from.x, to.x) + reach < 0
                || std::min(from.y, to.y) - reach > frame.height || std::max(from.y, to.y) + reach < 0) {
                current = kMachineStroke - 1;
                continue;
            }
        }
        const int stroke = strokeOf(path, i);
        if (stroke != current) {
            sink.start(stroke, from);
            current = stroke;
        }
        if (!isArc(path.kind(i))) {
            sink.to(frame.toPage(path.end(i)));
            continue;
        }
        points.clear();
        path.appendPoints(i, tolerance, points);
        for (const Point3& p : points)
            sink.to(frame.toPage(p));
    }
    return true;
}

template <class Sink>
void walkStrokes(const Toolpath& path, MotionRange range, const PlotFrame& frame, bool cull, Sink& sink)
{
    walkStrokes(path, range, frame, cull, sink, [] { return true; });
}

} // namespace torvel
