#include "toolpath/SvgWriter.h"

#include "toolpath/PlotFrame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
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

// The class of a stroke: "r" rapid, "m" machine coordinates, "t<slot>" feed.
void appendStrokeClass(std::string& out, int stroke)
{
    if (stroke == kMachineStroke)
        out += 'm';
    else if (stroke == kRapidStroke)
        out += 'r';
    else
        out += 't' + std::to_string(stroke);
}

// One <path> a run of motions of one stroke; points in hundredths of a pixel,
// those that fall on the one before dropped.
class SvgPaths {
public:
    explicit SvgPaths(std::string& out)
        : out_(out)
    { }

    void start(int stroke, Point2 p)
    {
        close();
        out_ += "<path class=\"";
        appendStrokeClass(out_, stroke);
        out_ += "\" d=\"M";
        last_ = hundredths(p);
        appendPoint(last_);
        out_ += 'L';
        open_ = true;
    }

    void to(Point2 p)
    {
        const auto q = hundredths(p);
        if (q == last_)
            return;
        if (out_.back() != 'L')
            out_ += ' ';
        appendPoint(q);
        last_ = q;
    }

    // A path of one point ("M x yL") is not valid: it repeats the point and draws a dot.
    void close()
    {
        if (!open_)
            return;
        if (out_.back() == 'L')
            appendPoint(last_);
        out_ += "\"/>\n";
        open_ = false;
    }

private:
    using Hundredths = std::pair<long long, long long>;
    static Hundredths hundredths(Point2 p) { return {std::llround(p.x * 100), std::llround(p.y * 100)}; }
    void appendPoint(Hundredths p)
    {
        appendHundredths(out_, p.first);
        out_ += ' ';
        appendHundredths(out_, p.second);
    }

    std::string& out_;
    Hundredths last_;
    bool open_ = false;
};

} // namespace

void writeSvg(const Toolpath& path, PlotView view, int width, int height, std::string& out)
{
    width = std::max(width, kMinimumSize);
    height = std::max(height, kMinimumSize);
    const PlotFrame frame = PlotFrame::fit(PlotProjection::forView(view), path.extents(), width, height);

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
        const int stroke = strokeOf(path, i);
        if (stroke >= 0) {
            if (slotUsed.size() <= static_cast<size_t>(stroke))
                slotUsed.resize(static_cast<size_t>(stroke) + 1);
            slotUsed[static_cast<size_t>(stroke)] = true;
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

    SvgPaths paths(out);
    walkStrokes(path, {0, path.size()}, frame, false, paths);
    paths.close();
    out += "</svg>\n";
}

} // namespace torvel
