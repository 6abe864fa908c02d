#include "toolpath/PlotStyle.h"

#include <array>
#include <numbers>

namespace torvel {

namespace {

constexpr std::array<std::string_view, 5> kViewNames {"xy", "xz", "yz", "iso", "zx"};

constexpr std::array<Rgb, 10> kToolPalette {{
    {0x1f, 0x77, 0xb4}, // blue
    {0xff, 0x7f, 0x0e}, // orange
    {0x2c, 0xa0, 0x2c}, // green
    {0xd6, 0x27, 0x28}, // red
    {0x94, 0x67, 0xbd}, // purple
    {0x8c, 0x56, 0x4b}, // brown
    {0x17, 0xbe, 0xcf}, // cyan
    {0xbc, 0xbd, 0x22}, // olive
    {0x39, 0x3b, 0x79}, // navy
    {0xe7, 0x96, 0x9c}, // rose
}};

} // namespace

std::string_view viewName(PlotView view) { return kViewNames[static_cast<size_t>(view)]; }

std::optional<PlotView> viewFromName(std::string_view name)
{
    for (size_t i = 0; i < kViewNames.size(); ++i)
        if (kViewNames[i] == name)
            return static_cast<PlotView>(i);
    return std::nullopt;
}

PlotProjection PlotProjection::forView(PlotView view)
{
    // The axis views are written out so that their coordinates are exact.
    switch (view) {
    case PlotView::Top:
        return {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    case PlotView::Front:
        return {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
    case PlotView::Side:
        return {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}};
    case PlotView::Lathe:
        return {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    case PlotView::Iso:
        break;
    }
    return orbit(-45, std::asin(1 / std::sqrt(3.0)) * 180 / std::numbers::pi);
}

PlotProjection PlotProjection::orbit(double azimuthDegrees, double elevationDegrees)
{
    const double az = azimuthDegrees * std::numbers::pi / 180, el = elevationDegrees * std::numbers::pi / 180;
    const Point3 toward {std::cos(el) * std::cos(az), std::cos(el) * std::sin(az), std::sin(el)};
    const Point3 right {-std::sin(az), std::cos(az), 0};
    const Point3 up {toward.y * right.z - toward.z * right.y, toward.z * right.x - toward.x * right.z,
        toward.x * right.y - toward.y * right.x};
    return {right, up, toward};
}

Box2 PlotProjection::bounds(const Box3& box) const
{
    Box2 out;
    if (box.empty())
        return out;
    const Point3 c {(box.min.x + box.max.x) / 2, (box.min.y + box.max.y) / 2, (box.min.z + box.max.z) / 2};
    const Point3 h {(box.max.x - box.min.x) / 2, (box.max.y - box.min.y) / 2, (box.max.z - box.min.z) / 2};
    const Point2 centre = apply(c);
    const double w = std::abs(right.x) * h.x + std::abs(right.y) * h.y + std::abs(right.z) * h.z;
    const double t = std::abs(up.x) * h.x + std::abs(up.y) * h.y + std::abs(up.z) * h.z;
    out.min = {centre.x - w, centre.y - t};
    out.max = {centre.x + w, centre.y + t};
    return out;
}

Rgb toolColour(size_t slot) { return kToolPalette[slot % kToolPalette.size()]; }

Rgb rapidColour() { return {0x80, 0x80, 0x80}; }

Rgb machineColour() { return {0xc5, 0x1b, 0x8a}; }

} // namespace torvel
