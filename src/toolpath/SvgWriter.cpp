#include "toolpath/SvgWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace torvel {

namespace {

constexpr int kMinimumSize = 16;

void appendColour(std::string& out, Rgb c)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.r, c.g, c.b);
    out += buffer;
}

// hundredths as a decimal with up to two decimals ("12.5", "-3", "0.07").
void appendHundredths(std::string& out, long long v)
{
    if (v < 0) {
        out += '-';
        v = -v;
    }
    out += std::to_string(v / 100);
    const int frac = static_cast<int>(v % 100);
    if (frac != 0) {
        out += '.';
        out += static_cast<char>('0' + frac / 10);
        if (frac % 10 != 0)
            out += static_cast<char>('0' + frac % 10);
    }
}

// Where a path point lands on the page.
class Page {
public:
    Page(const PlotProjection& projection, const Box2& bounds, int width, int height)
        : projection_(projection)
    {
        const double margin = std::max(8.0, 0.04 * std::min(width, height));
        const double w = std::max(1.0, width - 2 * margin), h = std::max(1.0, height - 2 * margin);
        const double sx = bounds.max.x - bounds.min.x, sy = bounds.max.y - bounds.min.y;
        scale_ = 1;
        if (sx > 0 && sy > 0)
            scale_ = std::min(w / sx, h / sy);
        else if (sx > 0)
            scale_ = w / sx;
        else if (sy > 0)
            scale_ = h / sy;
        centre_ = {(bounds.min.x + bounds.max.x) / 2, (bounds.min.y + bounds.max.y) / 2};
        half_ = {width / 2.0, height / 2.0};
    }

    double scale() const { return scale_; }

    // In hundredths of a pixel, y downward.
    std::pair<long long, long long> at(const Point3& p) const
    {
        const Point2 q = projection_.apply(p);
        return {std::llround((half_.x + (q.x - centre_.x) * scale_) * 100),
            std::llround((half_.y - (q.y - centre_.y) * scale_) * 100)};
    }

private:
    PlotProjection projection_;
    double scale_;
    Point2 centre_, half_;
};

// The class of a motion's stroke: "r" rapid, "m" machine coordinates, "t<slot>" feed.
int styleOf(const Toolpath& path, size_t i)
{
    const MotionKind k = path.kind(i);
    if (isMachine(k))
        return -2;
    if (isRapid(k))
        return -1;
    return static_cast<int>(path.toolSlot(i));
}

void appendStyleName(std::string& out, int style)
{
    if (style == -2)
        out += 'm';
    else if (style == -1)
        out += 'r';
    else
        out += 't' + std::to_string(style);
}

} // namespace

void writeSvg(const Toolpath& path, PlotView view, int width, int height, std::string& out)
{
    width = std::max(width, kMinimumSize);
    height = std::max(height, kMinimumSize);
    const PlotProjection projection = PlotProjection::forView(view);
    const Page page(projection, projection.bounds(path.extents()), width, height);

    const std::string w = std::to_string(width), h = std::to_string(height);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + ' '
        + h + "\">\n<style>path{fill:none;stroke-width:1;stroke-linejoin:round;stroke-linecap:round}";
    out += ".r{stroke:";
    appendColour(out, rapidColour());
    out += ";stroke-width:0.75;stroke-dasharray:4 3}.m{stroke:";
    appendColour(out, machineColour());
    out += ";stroke-dasharray:0.5 3}";
    std::vector<bool> slotUsed;
    for (size_t i = 0; i < path.size(); ++i) {
        const int style = styleOf(path, i);
        if (style >= 0) {
            if (slotUsed.size() <= static_cast<size_t>(style))
                slotUsed.resize(static_cast<size_t>(style) + 1);
            slotUsed[static_cast<size_t>(style)] = true;
        }
    }
    for (size_t s = 0; s < slotUsed.size(); ++s) {
        if (!slotUsed[s])
            continue;
        out += ".t" + std::to_string(s) + "{stroke:";
        appendColour(out, toolColour(s));
        out += '}';
    }
    out += "</style>\n<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";

    const double tolerance = 0.25 / page.scale();
    std::vector<Point3> points;
    int current = -3;
    std::pair<long long, long long> last;
    // A path of one point ("M x yL") is not valid: it repeats the point and draws a dot.
    auto closePath = [&] {
        if (out.back() == 'L') {
            appendHundredths(out, last.first);
            out += ' ';
            appendHundredths(out, last.second);
        }
        out += "\"/>\n";
    };
    for (size_t i = 0; i < path.size(); ++i) {
        const int style = styleOf(path, i);
        if (style != current) {
            if (current != -3)
                closePath();
            out += "<path class=\"";
            appendStyleName(out, style);
            out += "\" d=\"M";
            last = page.at(path.start(i));
            appendHundredths(out, last.first);
            out += ' ';
            appendHundredths(out, last.second);
            out += 'L';
            current = style;
        }
        points.clear();
        path.appendPoints(i, tolerance, points);
        for (const Point3& p : points) {
            const auto q = page.at(p);
            if (q == last)
                continue;
            if (out.back() != 'L')
                out += ' ';
            appendHundredths(out, q.first);
            out += ' ';
            appendHundredths(out, q.second);
            last = q;
        }
    }
    if (current != -3)
        closePath();
    out += "</svg>\n";
}

} // namespace torvel
