#include "toolpath/Toolpath.h"

#include "toolpath/PlotStyle.h"

#include <algorithm>
#include <numbers>

namespace torvel {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr size_t kMaxArcPieces = 65536;

Point3 arcPoint(const ArcGeometry& g, const Point3& s, const Point3& e, double t)
{
    const PlaneAxes ax = planeAxes(g.plane);
    const double angle = g.startAngle + t * g.sweep;
    const double r = g.startRadius + t * (g.endRadius - g.startRadius);
    Point3 p;
    p[ax.a] = g.centre[ax.a] + r * std::cos(angle);
    p[ax.b] = g.centre[ax.b] + r * std::sin(angle);
    p[ax.normal] = s[ax.normal] + t * (e[ax.normal] - s[ax.normal]);
    return p;
}

ArcGeometry arcGeometry(double centreA, double centreB, double sweep, ArcPlane plane, const Point3& s, const Point3& e)
{
    const PlaneAxes ax = planeAxes(plane);
    ArcGeometry g;
    g.plane = plane;
    g.centre = s;
    g.centre[ax.a] = centreA;
    g.centre[ax.b] = centreB;
    g.sweep = sweep;
    g.startAngle = std::atan2(s[ax.b] - centreB, s[ax.a] - centreA);
    g.startRadius = planarLength(s[ax.a] - centreA, s[ax.b] - centreB);
    g.endRadius = planarLength(e[ax.a] - centreA, e[ax.b] - centreB);
    return g;
}

double segmentDistance(Point2 p, Point2 a, Point2 b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return planarLength(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

} // namespace

// The quarter-turn directions give the true extremes of a circle, near enough those of a spiral.
Box3 arcBounds(const ArcGeometry& g, const Point3& s, const Point3& e)
{
    static constexpr double kCos[4] = {1, 0, -1, 0}, kSin[4] = {0, 1, 0, -1};
    const PlaneAxes ax = planeAxes(g.plane);
    Box3 box;
    box.add(s);
    box.add(e);
    const double span = std::abs(g.sweep);
    if (!(span > 0))
        return box;
    for (int q = 0; q < 4; ++q) {
        double d = g.sweep >= 0 ? q * kPi / 2 - g.startAngle : g.startAngle - q * kPi / 2;
        d -= 2 * kPi * std::floor(d / (2 * kPi));
        if (d > span)
            continue;
        const double t = d / span;
        const double r = g.startRadius + t * (g.endRadius - g.startRadius);
        Point3 p;
        p[ax.a] = g.centre[ax.a] + r * kCos[q];
        p[ax.b] = g.centre[ax.b] + r * kSin[q];
        p[ax.normal] = s[ax.normal] + t * (e[ax.normal] - s[ax.normal]);
        box.add(p);
    }
    return box;
}

double arcLength(const ArcGeometry& g, const Point3& s, const Point3& e)
{
    const int n = planeAxes(g.plane).normal;
    const double planar = std::abs(g.sweep) * (g.startRadius + g.endRadius) / 2;
    return planarLength(planar, e[n] - s[n]);
}

std::string ToolpathNote::text() const
{
    std::string out(reasonText(reason));
    if (!detail.empty()) {
        out += ": ";
        out += detail;
    }
    return out;
}

const Toolpath::ArcRecord& Toolpath::arcRecord(size_t i) const
{
    return *std::lower_bound(arcs_.begin(), arcs_.end(), i, [](const ArcRecord& a, size_t m) { return a.motion < m; });
}

ArcGeometry Toolpath::arc(size_t i) const
{
    const ArcRecord& r = arcRecord(i);
    return arcGeometry(r.centreA, r.centreB, r.sweep, r.plane, start(i), end(i));
}

void Toolpath::appendPoints(size_t i, double tolerance, std::vector<Point3>& out) const
{
    if (!isArc(kinds_[i])) {
        out.push_back(end(i));
        return;
    }
    const ArcGeometry g = arc(i);
    const double r = std::max(g.startRadius, g.endRadius);
    double step = kPi / 2;
    if (tolerance > 0 && tolerance < r)
        step = std::min(step, 2 * std::acos(1 - tolerance / r));
    const double pieces = std::ceil(std::abs(g.sweep) / step);
    const size_t n = std::clamp(pieces, 1.0, static_cast<double>(kMaxArcPieces));
    const Point3 s = start(i), e = end(i);
    for (size_t k = 1; k < n; ++k)
        out.push_back(arcPoint(g, s, e, static_cast<double>(k) / static_cast<double>(n)));
    out.push_back(e);
}

Box3 Toolpath::bounds(size_t i) const
{
    if (isArc(kinds_[i]))
        return arcBounds(arc(i), start(i), end(i));
    Box3 box;
    box.add(start(i));
    box.add(end(i));
    return box;
}

double Toolpath::length(size_t i) const
{
    return isArc(kinds_[i]) ? arcLength(arc(i), start(i), end(i)) : distance(start(i), end(i));
}

MotionRange Toolpath::motionsOfLines(uint32_t first, uint32_t last) const
{
    const auto b = std::lower_bound(lines_.begin(), lines_.end(), first);
    const auto e = std::upper_bound(b, lines_.end(), last);
    return {static_cast<size_t>(b - lines_.begin()), static_cast<size_t>(e - lines_.begin())};
}

double Toolpath::distanceInView(
    size_t i, const PlotProjection& projection, Point2 point, double tolerance, std::vector<Point3>& scratch) const
{
    Point2 from = projection.apply(start(i));
    if (!isArc(kinds_[i]))
        return segmentDistance(point, from, projection.apply(end(i)));
    scratch.clear();
    appendPoints(i, tolerance / 8, scratch);
    double best = HUGE_VAL;
    for (const Point3& p : scratch) {
        const Point2 to = projection.apply(p);
        best = std::min(best, segmentDistance(point, from, to));
        from = to;
    }
    return best;
}

ToolpathNote Toolpath::note(size_t i) const
{
    const NoteRecord& r = notes_[i];
    return {r.line, r.reason, std::string_view(noteDetails_).substr(r.detailOffset, r.detailSize)};
}

size_t Toolpath::memoryBytes() const
{
    return sizeof(*this) + points_.capacity() * sizeof(Point3) + kinds_.capacity() * sizeof(MotionKind)
        + lines_.capacity() * sizeof(uint32_t) + toolSlots_.capacity() * sizeof(uint16_t)
        + feeds_.capacity() * sizeof(float) + arcs_.capacity() * sizeof(ArcRecord) + tools_.capacity() * sizeof(int)
        + notes_.capacity() * sizeof(NoteRecord) + noteDetails_.capacity();
}

void Toolpath::account(size_t i, const Box3& box, double length, double rapidRate)
{
    extents_.add(box);
    if (isRapid(kinds_[i])) {
        rapidLength_ += length;
        minutes_ += length / rapidRate;
    } else {
        feedExtents_.add(box);
        feedLength_ += length;
        if (feeds_[i] > 0)
            minutes_ += length / feeds_[i];
    }
}

void Toolpath::recount(double rapidRate)
{
    extents_ = feedExtents_ = Box3 {};
    feedLength_ = rapidLength_ = minutes_ = 0;
    auto arc = arcs_.begin();
    for (size_t i = 0; i < size(); ++i) {
        const Point3 s = start(i), e = end(i);
        if (isArc(kinds_[i])) {
            while (arc->motion < i)
                ++arc;
            const ArcGeometry g = arcGeometry(arc->centreA, arc->centreB, arc->sweep, arc->plane, s, e);
            account(i, arcBounds(g, s, e), arcLength(g, s, e), rapidRate);
        } else {
            Box3 box;
            box.add(s);
            box.add(e);
            account(i, box, distance(s, e), rapidRate);
        }
    }
}

} // namespace torvel
