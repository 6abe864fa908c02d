#pragma once

#include "toolpath/PlotFrame.h"

#include <atomic>
#include <cstddef>
#include <vector>

class QImage;
class QPainter;

// A light copy of a toolpath for frames that must come at once (the 3D view
// turning under the mouse) while the full drawing is made off the event loop:
// at most kMaxSegments segments. A small path keeps every one; a larger one
// is followed in steps of a few thousandths of its size; one whose tool
// strokes change too often for that keeps an even share of its motions.
class PathSketch {
public:
    // Painting it holds the window: 30,000 strokes took 45-60 ms, 8,000 take 15.
    static constexpr size_t kMaxSegments = 8000;

    PathSketch() = default;
    // Empty when `stop` was set while it was made.
    PathSketch(const torvel::Toolpath& path, const std::atomic<bool>& stop);

    bool empty() const { return groups_.empty(); }
    size_t segmentCount() const;
    void paint(QPainter& painter, const torvel::PlotFrame& frame) const;
    // The sketch alone on white, the frame's size at `ratio` device pixels a pixel.
    QImage picture(const torvel::PlotFrame& frame, double ratio) const;

private:
    // The segments of one stroke, six floats each, relative to origin_.
    struct Group {
        int stroke;
        std::vector<float> ends;
    };
    bool follow(const torvel::Toolpath& path, double step, const std::atomic<bool>& stop);
    void sample(const torvel::Toolpath& path);
    void add(int stroke, const torvel::Point3& a, const torvel::Point3& b);

    std::vector<Group> groups_;
    size_t count_ = 0;
    torvel::Point3 origin_;
};
