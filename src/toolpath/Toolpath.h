#pragma once

#include "toolpath/Geometry.h"
#include "toolpath/NoteReason.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace torvel {

struct PlotProjection;

enum class MotionKind : uint8_t {
    Rapid, // G0
    Feed, // G1, and G33, G38.n, splines drawn as lines
    ArcCw, // G2, helix included
    ArcCcw, // G3
    DrillRapid, // rapid strokes of a canned cycle G73, G81 to G89
    DrillFeed, // feed strokes of a canned cycle
    MachineRapid, // G53 G0, and G28/G30 from the intermediate point to the reference point
    MachineFeed, // G53 G1
};

constexpr bool isRapid(MotionKind k)
{
    return k == MotionKind::Rapid || k == MotionKind::DrillRapid || k == MotionKind::MachineRapid;
}
constexpr bool isArc(MotionKind k) { return k == MotionKind::ArcCw || k == MotionKind::ArcCcw; }
constexpr bool isDrill(MotionKind k) { return k == MotionKind::DrillRapid || k == MotionKind::DrillFeed; }
constexpr bool isMachine(MotionKind k) { return k == MotionKind::MachineRapid || k == MotionKind::MachineFeed; }

enum class Units : uint8_t { Millimetre, Inch };

// An arc as the program gave it. Points along it: angle startAngle + t·sweep,
// radius from startRadius to endRadius (they differ only where the program's
// end point is off the circle) and the normal coordinate from the start's to
// the end's (a helix), t from 0 to 1.
struct ArcGeometry {
    ArcPlane plane = ArcPlane::XY;
    Point3 centre; // its normal coordinate is the start's
    double startAngle = 0; // radians, in the plane's (a, b) axes
    double sweep = 0; // radians, positive counter-clockwise, full turns included
    double startRadius = 0, endRadius = 0;
};

// The box of an arc from `s` to `e`, by its true bulge: the end points and
// every quarter-turn direction it passes.
Box3 arcBounds(const ArcGeometry& arc, const Point3& s, const Point3& e);
// Along the helix; a spiral by its mean radius.
double arcLength(const ArcGeometry& arc, const Point3& s, const Point3& e);

struct MotionRange {
    size_t begin = 0, end = 0; // motions begin..end-1
    bool empty() const { return begin == end; }
    size_t size() const { return end - begin; }
};

struct ToolpathNote {
    uint32_t line = 0; // 0-based
    NoteReason reason = NoteReason::UnknownText;
    std::string_view detail; // ASCII; may be empty

    // "reason" or "reason: detail".
    std::string text() const;
};

// The motions a program makes, in program order, in millimetres and absolute
// work coordinates (the frame of the program's start: G92/G52 offsets are
// applied to the points, and machine coordinates are taken to coincide with
// it, the control's work offsets being unknown here).
//
// Motion i runs from start(i) to end(i); end(i) is start(i + 1). Stored as
// parallel arrays, about 35 bytes a motion plus 32 an arc. Immutable once
// built, so any number of threads may read one.
class Toolpath {
public:
    size_t size() const { return kinds_.size(); }
    bool empty() const { return kinds_.empty(); }

    MotionKind kind(size_t i) const { return kinds_[i]; }
    Point3 start(size_t i) const { return points_[i]; }
    Point3 end(size_t i) const { return points_[i + 1]; }
    // The program line the motion comes from, 0-based. Non-decreasing in i.
    uint32_t line(size_t i) const { return lines_[i]; }
    // The palette slot of the tool: 0 before the first tool change, then one
    // slot per distinct tool in the order of their first change.
    size_t toolSlot(size_t i) const { return toolSlots_[i]; }
    // The tool number (0 before the first change).
    int tool(size_t i) const { return toolSlots_[i] == 0 ? 0 : tools_[toolSlots_[i] - 1]; }
    // The feed in mm/min for feed moves (inverse time and per revolution
    // converted); 0 where unknown and for rapids.
    double feed(size_t i) const { return feeds_[i]; }

    // Only for arc motions.
    ArcGeometry arc(size_t i) const;
    // Appends the points of motion i after its start, its end last: one for a
    // straight move, for an arc as many as keep the chords within `tolerance`
    // (mm) of the curve, at least one per quarter turn and at most 65536.
    void appendPoints(size_t i, double tolerance, std::vector<Point3>& out) const;
    // The motion's bounding box, arcs by their true bulge.
    Box3 bounds(size_t i) const;
    double length(size_t i) const;

    // The motions of lines first..last (0-based, inclusive): a caret's line or a selection.
    MotionRange motionsOfLines(uint32_t first, uint32_t last) const;
    // How far motion i passes from `point` in `projection` (mm); arcs are
    // measured on chords within tolerance / 8 of them, put in `scratch`.
    double distanceInView(
        size_t i, const PlotProjection& projection, Point2 point, double tolerance, std::vector<Point3>& scratch) const;

    // Tool numbers selected by tool changes, each once, in the order of their first change.
    const std::vector<int>& tools() const { return tools_; }
    size_t lineCount() const { return lineCount_; }
    // The first of G20/G21 the program states; millimetres when it states none.
    Units units() const { return units_; }
    // Bit 0, 1, 2: X, Y, Z received a value. An axis never programmed stays 0.
    unsigned programmedAxes() const { return programmedAxes_; }

    // All moves, from the first programmed point on.
    const Box3& extents() const { return extents_; }
    // Feed, arc and cycle feed moves only.
    const Box3& feedExtents() const { return feedExtents_; }
    double feedLength() const { return feedLength_; }
    double rapidLength() const { return rapidLength_; }
    // Feed moves at their feed, rapids at the assumed rapid rate, plus dwells.
    double timeSeconds() const { return minutes_ * 60 + dwellSeconds_; }

    size_t noteCount() const { return notes_.size(); }
    ToolpathNote note(size_t i) const;

    // Bytes held, capacity counted.
    size_t memoryBytes() const;

private:
    friend struct InterpreterState;

    // The centre's coordinates on the plane's two axes; on the third it is the start's.
    struct ArcRecord {
        double centreA, centreB;
        double sweep;
        uint32_t motion;
        ArcPlane plane;
    };
    struct NoteRecord {
        uint32_t line;
        NoteReason reason;
        uint16_t detailSize;
        uint32_t detailOffset;
    };
    const ArcRecord& arcRecord(size_t i) const;
    // Adds motion i to the extents, lengths and time.
    void account(size_t i, const Box3& box, double length, double rapidRate);
    // The same for every motion again, after recorded points have moved.
    void recount(double rapidRate);

    std::vector<Point3> points_; // size() + 1 once there is a motion
    std::vector<MotionKind> kinds_;
    std::vector<uint32_t> lines_;
    std::vector<uint16_t> toolSlots_;
    std::vector<float> feeds_;
    std::vector<ArcRecord> arcs_; // by motion
    std::vector<int> tools_;
    std::vector<NoteRecord> notes_;
    std::string noteDetails_;
    Box3 extents_, feedExtents_;
    double feedLength_ = 0, rapidLength_ = 0, minutes_ = 0, dwellSeconds_ = 0;
    size_t lineCount_ = 0;
    Units units_ = Units::Millimetre;
    unsigned programmedAxes_ = 0;
};

} // namespace torvel
