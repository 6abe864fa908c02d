#include "plot/PathSketch.h"

#include "plot/PathPainter.h"

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPen>

#include <algorithm>

using torvel::Point3;

PathSketch::PathSketch(const torvel::Toolpath& path, const std::atomic<bool>& stop)
{
    const torvel::Box3& box = path.extents();
    if (box.empty())
        return;
    origin_ = box.min;
    const double size = torvel::distance(box.min, box.max);
    if (path.size() <= kMaxSegments / 2 && follow(path, 0, stop))
        return;
    for (double step = size / 2000; step <= size / 250; step *= 2) {
        if (follow(path, step, stop) || stop)
            return;
    }
    sample(path);
}

size_t PathSketch::segmentCount() const { return count_; }

void PathSketch::add(int stroke, const Point3& a, const Point3& b)
{
    auto group = std::find_if(groups_.begin(), groups_.end(), [stroke](const Group& g) { return g.stroke == stroke; });
    if (group == groups_.end())
        group = groups_.insert(groups_.end(), Group {stroke, {}});
    for (const Point3& p : {a, b}) {
        group->ends.push_back(static_cast<float>(p.x - origin_.x));
        group->ends.push_back(static_cast<float>(p.y - origin_.y));
        group->ends.push_back(static_cast<float>(p.z - origin_.z));
    }
    ++count_;
}

bool PathSketch::follow(const torvel::Toolpath& path, double step, const std::atomic<bool>& stop)
{
    groups_.clear();
    count_ = 0;
    std::vector<Point3> points;
    const double tolerance = std::max(step / 4, 1e-3);
    Point3 kept;
    int current = torvel::kMachineStroke - 1;
    for (size_t i = 0; i < path.size(); ++i) {
        if (i % 65536 == 0 && stop)
            return false;
        const int stroke = torvel::strokeOf(path, i);
        if (stroke != current) {
            kept = path.start(i);
            current = stroke;
        }
        points.clear();
        path.appendPoints(i, tolerance, points);
        const bool runEnds = i + 1 == path.size() || torvel::strokeOf(path, i + 1) != stroke;
        for (size_t k = 0; k < points.size(); ++k) {
            if ((runEnds && k + 1 == points.size()) || torvel::distance(kept, points[k]) >= step) {
                add(stroke, kept, points[k]);
                kept = points[k];
            }
        }
        if (count_ > kMaxSegments)
            return false;
    }
    return true;
}

void PathSketch::sample(const torvel::Toolpath& path)
{
    groups_.clear();
    count_ = 0;
    const size_t every = (path.size() + kMaxSegments - 1) / kMaxSegments;
    for (size_t i = 0; i < path.size(); i += every)
        add(torvel::strokeOf(path, i), path.start(i), path.end(i));
}

void PathSketch::paint(QPainter& painter, const torvel::PlotFrame& frame) const
{
    std::vector<QLineF> lines;
    for (const Group& g : groups_) {
        lines.clear();
        lines.reserve(g.ends.size() / 6);
        for (size_t k = 0; k + 5 < g.ends.size(); k += 6) {
            const torvel::Point2 a
                = frame.toPage({g.ends[k] + origin_.x, g.ends[k + 1] + origin_.y, g.ends[k + 2] + origin_.z});
            const torvel::Point2 b
                = frame.toPage({g.ends[k + 3] + origin_.x, g.ends[k + 4] + origin_.y, g.ends[k + 5] + origin_.z});
            lines.emplace_back(a.x, a.y, b.x, b.y);
        }
        QPen pen(strokeColour(g.stroke), 1, g.stroke == torvel::kRapidStroke ? Qt::DashLine : Qt::SolidLine);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    }
}

QImage PathSketch::picture(const torvel::PlotFrame& frame, double ratio) const
{
    QImage image(QSize(std::max(1, qRound(frame.width * ratio)), std::max(1, qRound(frame.height * ratio))),
        QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter, frame);
    return image;
}
