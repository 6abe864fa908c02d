#pragma once

#include "toolpath/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace torvel {

// The fixed views of a plot: from the top (XY), the front (XZ), the right
// side (YZ) and an isometric view from front, right and above.
// Lathe: the XZ plane as a lathe is drawn, Z to the right and X up.
enum class PlotView { Top, Front, Side, Iso, Lathe };

// "xy", "xz", "yz", "iso", "zx", as the command line names them.
std::string_view viewName(PlotView view);
std::optional<PlotView> viewFromName(std::string_view name);

// An orthographic projection: a point's screen coordinates are its dot
// products with `right` and `up` (millimetres, y growing upward); `toward`
// points to the viewer, for depth ordering.
struct PlotProjection {
    Point3 right {1, 0, 0};
    Point3 up {0, 1, 0};
    Point3 toward {0, 0, 1};

    static PlotProjection forView(PlotView view);
    // The camera seen from azimuth (degrees, about Z from +X toward +Y) and
    // elevation (degrees above the XY plane); Top is orbit(-90, 90), Front
    // orbit(-90, 0), Side orbit(0, 0), Iso orbit(-45, 35.26).
    static PlotProjection orbit(double azimuthDegrees, double elevationDegrees);

    Point2 apply(const Point3& p) const
    {
        return {right.x * p.x + right.y * p.y + right.z * p.z, up.x * p.x + up.y * p.y + up.z * p.z};
    }
    double depth(const Point3& p) const { return toward.x * p.x + toward.y * p.y + toward.z * p.z; }
    // The screen rectangle that holds every point of `box`.
    Box2 bounds(const Box3& box) const;
};

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Colour of the feed moves of a tool, by its slot (Toolpath::toolSlot): 0 is
// the tool in the spindle before the program's first tool change. The
// palette repeats after ten tools; no colour of it is grey, so rapids stay
// apart.
Rgb toolColour(size_t slot);
// Rapid moves (drawn dashed).
Rgb rapidColour();
// Moves in machine coordinates (G53, G28/G30 to the reference point), dotted.
Rgb machineColour();

} // namespace torvel
