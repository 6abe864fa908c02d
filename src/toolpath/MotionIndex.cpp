#include "toolpath/MotionIndex.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace torvel {

namespace {

constexpr size_t kLeaf = 8;
constexpr size_t kFan = 8;
constexpr double kLongShare = 1.0 / 32;

using Box = MotionIndex::Box;

float down(double v)
{
    const float f = static_cast<float>(v);
    return static_cast<double>(f) > v ? std::nextafter(f, -HUGE_VALF) : f;
}

float up(double v)
{
    const float f = static_cast<float>(v);
    return static_cast<double>(f) < v ? std::nextafter(f, HUGE_VALF) : f;
}

Box toBox(const Box3& b)
{
    return {{down(b.min.x), down(b.min.y), down(b.min.z)}, {up(b.max.x), up(b.max.y), up(b.max.z)}};
}

Box emptyBox() { return {{HUGE_VALF, HUGE_VALF, HUGE_VALF}, {-HUGE_VALF, -HUGE_VALF, -HUGE_VALF}}; }

void grow(Box& into, const Box& b)
{
    for (int a = 0; a < 3; ++a) {
        into.min[a] = std::min(into.min[a], b.min[a]);
        into.max[a] = std::max(into.max[a], b.max[a]);
    }
}

// Ten bits spread to every third bit, for a 30-bit Morton code.
uint32_t spread(uint32_t v)
{
    v &= 0x3ff;
    v = (v | (v << 16)) & 0x030000ff;
    v = (v | (v << 8)) & 0x0300f00f;
    v = (v | (v << 4)) & 0x030c30c3;
    v = (v | (v << 2)) & 0x09249249;
    return v;
}

bool near(const Box& b, const PlotProjection& projection, Point2 point, double tolerance)
{
    const Point3 c {
        (b.min[0] + double(b.max[0])) / 2, (b.min[1] + double(b.max[1])) / 2, (b.min[2] + double(b.max[2])) / 2};
    const Point3 h {
        (b.max[0] - double(b.min[0])) / 2, (b.max[1] - double(b.min[1])) / 2, (b.max[2] - double(b.min[2])) / 2};
    const Point3& r = projection.right;
    const Point3& u = projection.up;
    const double dx = std::abs(point.x - (r.x * c.x + r.y * c.y + r.z * c.z));
    if (dx > std::abs(r.x) * h.x + std::abs(r.y) * h.y + std::abs(r.z) * h.z + tolerance)
        return false;
    const double dy = std::abs(point.y - (u.x * c.x + u.y * c.y + u.z * c.z));
    return dy <= std::abs(u.x) * h.x + std::abs(u.y) * h.y + std::abs(u.z) * h.z + tolerance;
}

} // namespace

MotionIndex::MotionIndex(const Toolpath& path)
{
    if (path.empty())
        return;
    const Box3& all = path.extents();
    const double longLimit = distance(all.min, all.max) * kLongShare;
    double scale[3];
    for (int a = 0; a < 3; ++a)
        scale[a] = 1023 / std::max(all.max[a] - all.min[a], 1e-9);

    // Motion numbers sorted by a code held beside them: eight bytes a motion while building.
    std::vector<uint32_t> codes(path.size());
    order_.reserve(path.size());
    for (size_t i = 0; i < path.size(); ++i) {
        const Box3 b = path.bounds(i);
        if (distance(b.min, b.max) > longLimit) {
            long_.push_back(static_cast<uint32_t>(i));
            longBoxes_.push_back(toBox(b));
            continue;
        }
        uint32_t code = 0;
        for (int a = 0; a < 3; ++a) {
            const double centre = (b.min[a] + b.max[a]) / 2;
            code |= spread(static_cast<uint32_t>(std::clamp((centre - all.min[a]) * scale[a], 0.0, 1023.0))) << a;
        }
        codes[i] = code;
        order_.push_back(static_cast<uint32_t>(i));
    }
    std::sort(order_.begin(), order_.end(),
        [&codes](uint32_t a, uint32_t b) { return codes[a] < codes[b] || (codes[a] == codes[b] && a < b); });
    codes = {};

    std::vector<Box> leaves((order_.size() + kLeaf - 1) / kLeaf, emptyBox());
    for (size_t k = 0; k < order_.size(); ++k)
        grow(leaves[k / kLeaf], toBox(path.bounds(order_[k])));
    levels_.push_back(std::move(leaves));
    while (levels_.back().size() > kFan) {
        const std::vector<Box>& below = levels_.back();
        std::vector<Box> above((below.size() + kFan - 1) / kFan, emptyBox());
        for (size_t k = 0; k < below.size(); ++k)
            grow(above[k / kFan], below[k]);
        levels_.push_back(std::move(above));
    }
}

std::optional<MotionHit> MotionIndex::nearest(
    const Toolpath& path, const PlotProjection& projection, Point2 point, double tolerance) const
{
    std::optional<MotionHit> best;
    std::vector<Point3> scratch;
    // Once a motion is found, nothing farther than it can win: boxes beyond it are passed over.
    double reach = tolerance;
    auto consider = [&](size_t i) {
        const double d = path.distanceInView(i, projection, point, tolerance, scratch);
        if (d <= reach && (!best || d < best->distance || (d == best->distance && i < best->motion))) {
            best = MotionHit {i, d};
            reach = d;
        }
    };
    for (size_t k = 0; k < long_.size(); ++k)
        if (near(longBoxes_[k], projection, point, reach))
            consider(long_[k]);
    if (levels_.empty())
        return best;

    std::vector<std::pair<size_t, size_t>> stack; // (level, box)
    for (size_t k = 0; k < levels_.back().size(); ++k)
        stack.emplace_back(levels_.size() - 1, k);
    while (!stack.empty()) {
        const auto [level, k] = stack.back();
        stack.pop_back();
        if (!near(levels_[level][k], projection, point, reach))
            continue;
        if (level == 0) {
            for (size_t e = k * kLeaf; e < std::min(order_.size(), (k + 1) * kLeaf); ++e)
                consider(order_[e]);
        } else {
            for (size_t c = k * kFan; c < std::min(levels_[level - 1].size(), (k + 1) * kFan); ++c)
                stack.emplace_back(level - 1, c);
        }
    }
    return best;
}

size_t MotionIndex::memoryBytes() const
{
    size_t bytes = sizeof(*this) + order_.capacity() * sizeof(uint32_t) + long_.capacity() * sizeof(uint32_t)
        + longBoxes_.capacity() * sizeof(Box);
    for (const auto& level : levels_)
        bytes += level.capacity() * sizeof(Box);
    return bytes;
}

} // namespace torvel
