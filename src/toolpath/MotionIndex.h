#pragma once

#include "toolpath/PlotStyle.h"
#include "toolpath/Toolpath.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace torvel {

struct MotionHit {
    size_t motion = 0;
    double distance = 0; // in the projection's units (mm)
};

// Finds the motion under a click, in any view, without looking at a million
// motions. Built once per toolpath (about 8 bytes a motion, a few tenths of
// a second for a million: build it where the toolpath is built, off the event
// loop); read by any number of threads.
//
// Short motions are grouped by where they lie (the Morton order of their
// centres) under a tree of boxes, eight to a box. Long ones (beyond 1/32 of
// the path's size), which would swell any box they joined, are looked at one
// by one.
class MotionIndex {
public:
    MotionIndex() = default;
    explicit MotionIndex(const Toolpath& path);

    // The motion of `path` nearest to `point` in `projection`, if within
    // `tolerance` (both in mm of the projection plane); ties go to the
    // earlier motion. `path` is the toolpath the index was built from.
    std::optional<MotionHit> nearest(
        const Toolpath& path, const PlotProjection& projection, Point2 point, double tolerance) const;

    size_t memoryBytes() const;

    // Boxes in floats, rounded outward.
    struct Box {
        float min[3];
        float max[3];
    };

private:
    std::vector<uint32_t> order_; // short motions in Morton order
    std::vector<std::vector<Box>> levels_; // [0]: boxes of kLeaf motions of order_; [n]: of kFan boxes of [n-1]
    std::vector<uint32_t> long_;
    std::vector<Box> longBoxes_;
};

} // namespace torvel
