#include "toolpath/PlotFrame.h"

#include <algorithm>

namespace torvel {

PlotFrame PlotFrame::fit(const PlotProjection& projection, const Box3& extents, double width, double height)
{
    PlotFrame f;
    f.projection = projection;
    f.width = width;
    f.height = height;
    if (extents.empty())
        return f;
    f.target = {
        (extents.min.x + extents.max.x) / 2, (extents.min.y + extents.max.y) / 2, (extents.min.z + extents.max.z) / 2};
    const Box2 bounds = projection.bounds(extents);
    const double margin = std::max(8.0, 0.04 * std::min(width, height));
    const double w = std::max(1.0, width - 2 * margin), h = std::max(1.0, height - 2 * margin);
    const double sx = bounds.max.x - bounds.min.x, sy = bounds.max.y - bounds.min.y;
    if (sx > 0 && sy > 0)
        f.scale = std::min(w / sx, h / sy);
    else if (sx > 0)
        f.scale = w / sx;
    else if (sy > 0)
        f.scale = h / sy;
    return f;
}

Point2 PlotFrame::toPlane(Point2 page) const
{
    const Point2 t = projection.apply(target);
    return {t.x + (page.x - width / 2) / scale, t.y - (page.y - height / 2) / scale};
}

void PlotFrame::pan(double dx, double dy)
{
    const Point3& r = projection.right;
    const Point3& u = projection.up;
    const double a = dx / scale, b = dy / scale;
    target = {target.x - r.x * a + u.x * b, target.y - r.y * a + u.y * b, target.z - r.z * a + u.z * b};
}

void PlotFrame::zoomAt(Point2 page, double factor)
{
    // The point under `page` stays put: the target moves toward it by the part of
    // the distance that the zoom takes away.
    const double keep = 1 - 1 / factor;
    pan(-(page.x - width / 2) * keep, -(page.y - height / 2) * keep);
    scale *= factor;
}

} // namespace torvel
