#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace torvel {

// A point of the toolpath in millimetres, absolute work coordinates.
struct Point3 {
    double x = 0, y = 0, z = 0;

    // Axis 0, 1, 2 is X, Y, Z: the interpreter works on the axes of a plane by index.
    double operator[](int axis) const { return axis == 0 ? x : axis == 1 ? y : z; }
    double& operator[](int axis) { return axis == 0 ? x : axis == 1 ? y : z; }
    bool operator==(const Point3&) const = default;
};

struct Point2 {
    double x = 0, y = 0;
    bool operator==(const Point2&) const = default;
};

// Coordinates stay below 1e9 mm (the reader refuses larger numbers), so the
// plain formula neither overflows nor costs what std::hypot does.
inline double planarLength(double a, double b) { return std::sqrt(a * a + b * b); }

inline double distance(const Point3& a, const Point3& b)
{
    return std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y) + (b.z - a.z) * (b.z - a.z));
}

// An axis-aligned box that starts empty and grows by the points added.
struct Box3 {
    Point3 min {HUGE_VAL, HUGE_VAL, HUGE_VAL};
    Point3 max {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};

    bool empty() const { return min.x > max.x; }
    void add(const Point3& p)
    {
        min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
        max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
    }
    void add(const Box3& b)
    {
        if (!b.empty()) {
            add(b.min);
            add(b.max);
        }
    }
};

struct Box2 {
    Point2 min {HUGE_VAL, HUGE_VAL};
    Point2 max {-HUGE_VAL, -HUGE_VAL};

    bool empty() const { return min.x > max.x; }
    void add(const Point2& p)
    {
        min = {std::min(min.x, p.x), std::min(min.y, p.y)};
        max = {std::max(max.x, p.x), std::max(max.y, p.y)};
    }
};

// The plane of an arc, named by its two axes in the order that makes the
// third one point toward the viewer (X Y Z, Z X Y, Y Z X): counter-clockwise
// in these coordinates is counter-clockwise seen from the third axis' plus end.
enum class ArcPlane : uint8_t { XY, ZX, YZ };

struct PlaneAxes {
    int a, b, normal;
};

constexpr PlaneAxes planeAxes(ArcPlane plane)
{
    return plane == ArcPlane::XY ? PlaneAxes {0, 1, 2}
        : plane == ArcPlane::ZX  ? PlaneAxes {2, 0, 1}
                                 : PlaneAxes {1, 2, 0};
}

} // namespace torvel
