#include "plot/PathPainter.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPolygonF>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

using torvel::kMachineStroke;
using torvel::kRapidStroke;
using torvel::Point2;

namespace {

QColor fromRgb(torvel::Rgb c) { return QColor(c.r, c.g, c.b); }

QColor haloColour() { return QColor(0xff, 0x30, 0x00, 130); }

QPen penFor(int stroke, PathLook look)
{
    QColor colour = strokeColour(stroke);
    qreal width = 1;
    Qt::PenStyle style = stroke == kRapidStroke ? Qt::DashLine : stroke == kMachineStroke ? Qt::DotLine : Qt::SolidLine;
    switch (look) {
    case PathLook::Plain:
        break;
    case PathLook::Faint:
        colour.setAlpha(70);
        break;
    case PathLook::Overlay:
        colour = QColor(0xe0, 0x10, 0xd0);
        width = 2;
        break;
    case PathLook::Selected:
        // A marker stroke under which the path still shows.
        colour = QColor(0xff, 0xc8, 0x00, 150);
        width = 6;
        style = Qt::SolidLine;
        break;
    case PathLook::Marked:
        // Wider than the selection's marker and red, so that both show where they meet.
        colour = haloColour();
        width = 9;
        style = Qt::SolidLine;
        break;
    case PathLook::Edge:
        colour = QColor(0, 0, 0, 170);
        width = 6;
        style = Qt::SolidLine;
        break;
    case PathLook::Bold:
        width = 3;
        break;
    }
    QPen pen(colour, width, style, Qt::RoundCap, Qt::RoundJoin);
    if (style == Qt::DashLine)
        pen.setDashPattern({4, 3});
    pen.setCosmetic(true);
    return pen;
}

// Polylines for QPainter: cut to the page (a segment far off the page would
// make the rasteriser walk all of it), runs of points within half a pixel of
// each other merged.
class PainterSink {
public:
    PainterSink(QPainter& painter, const torvel::PlotFrame& frame, PathLook look)
        : painter_(painter)
        , look_(look)
        , left_(-kMargin)
        , top_(-kMargin)
        , right_(frame.width + kMargin)
        , bottom_(frame.height + kMargin)
    { }

    void start(int stroke, Point2 p)
    {
        flush();
        if (stroke != stroke_) {
            stroke_ = stroke;
            painter_.setPen(penFor(stroke, look_));
        }
        last_ = p;
        if (inside(p))
            line_.append(QPointF(p.x, p.y));
    }

    void to(Point2 p)
    {
        const Point2 from = last_;
        last_ = p;
        if (inside(from) && inside(p)) {
            add(p);
            return;
        }
        double t0 = 0, t1 = 1;
        if (!clip(from, p, t0, t1)) {
            flush();
            return;
        }
        const Point2 a {from.x + (p.x - from.x) * t0, from.y + (p.y - from.y) * t0};
        const Point2 b {from.x + (p.x - from.x) * t1, from.y + (p.y - from.y) * t1};
        if (t0 > 0) {
            flush();
            line_.append(QPointF(a.x, a.y));
        }
        add(b);
        if (t1 < 1)
            flush();
    }

    void flush()
    {
        if (pending_) {
            line_.append(*pending_);
            pending_.reset();
        }
        if (line_.size() >= 2)
            painter_.drawPolyline(line_);
        else if (line_.size() == 1 && look_ != PathLook::Plain && look_ != PathLook::Faint)
            painter_.drawPoint(line_.front());
        line_.clear();
    }

private:
    static constexpr double kMargin = 16;

    bool inside(Point2 p) const { return p.x >= left_ && p.x <= right_ && p.y >= top_ && p.y <= bottom_; }

    void add(Point2 p)
    {
        const QPointF q(p.x, p.y);
        if (line_.isEmpty()) {
            line_.append(q);
            return;
        }
        const QPointF& back = line_.back();
        if (std::abs(q.x() - back.x()) < 0.5 && std::abs(q.y() - back.y()) < 0.5) {
            pending_ = q;
            return;
        }
        line_.append(q);
        pending_.reset();
        if (line_.size() >= 4096) {
            const QPointF end = line_.back();
            flush();
            line_.append(end);
        }
    }

    // Liang-Barsky: the part t0..t1 of the segment that lies on the page.
    bool clip(Point2 a, Point2 b, double& t0, double& t1) const
    {
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {a.x - left_, right_ - a.x, a.y - top_, bottom_ - a.y};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0)
                    return false;
                continue;
            }
            const double r = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
            if (t0 > t1)
                return false;
        }
        return true;
    }

    QPainter& painter_;
    PathLook look_;
    double left_, top_, right_, bottom_;
    int stroke_ = kMachineStroke - 1;
    Point2 last_;
    QPolygonF line_;
    std::optional<QPointF> pending_;
};

// Lines of one pixel by Bresenham's walk, clipped to the image, dashed by a
// count of pixels carried along each polyline.
class RasterSink {
public:
    RasterSink(QImage& image, double ratio, PathLook look)
        : bits_(reinterpret_cast<uint32_t*>(image.bits()))
        , stride_(image.bytesPerLine() / 4)
        , width_(image.width())
        , height_(image.height())
        , ratio_(ratio)
        , faint_(look == PathLook::Faint)
        , mask_(look == PathLook::Marked)
    { }

    void start(int stroke, Point2 p)
    {
        if (mask_) {
            // Every motion solid and alike: a mask for haloMotions.
            colour_ = 0xffffffffu;
        } else if (stroke != stroke_) {
            stroke_ = stroke;
            QColor c = strokeColour(stroke);
            if (faint_) {
                // Over white, as the faint look's alpha would come out.
                const auto mix = [](int v) { return 255 - (255 - v) * 70 / 255; };
                c = QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
            }
            colour_ = c.rgba();
            on_ = stroke == kRapidStroke ? 4 : stroke == kMachineStroke ? 1 : 0;
            period_ = stroke == kRapidStroke ? 7 : stroke == kMachineStroke ? 3 : 1;
        }
        dash_ = 0;
        last_ = {p.x * ratio_, p.y * ratio_};
    }

    void to(Point2 p)
    {
        const Point2 q {p.x * ratio_, p.y * ratio_};
        line(last_, q);
        last_ = q;
    }

private:
    void line(Point2 a, Point2 b)
    {
        double t0 = 0, t1 = 1;
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double pp[4] = {-dx, dx, -dy, dy};
        const double qq[4] = {a.x, width_ - 1 - a.x, a.y, height_ - 1 - a.y};
        for (int i = 0; i < 4; ++i) {
            if (pp[i] == 0) {
                if (qq[i] < 0)
                    return;
                continue;
            }
            const double r = qq[i] / pp[i];
            if (pp[i] < 0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
            if (t0 > t1)
                return;
        }
        int x0 = static_cast<int>(std::lround(a.x + dx * t0)), y0 = static_cast<int>(std::lround(a.y + dy * t0));
        const int x1 = static_cast<int>(std::lround(a.x + dx * t1)), y1 = static_cast<int>(std::lround(a.y + dy * t1));
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        const int ax = std::abs(x1 - x0), ay = -std::abs(y1 - y0);
        int err = ax + ay;
        for (;;) {
            if (on_ == 0 || dash_ % period_ < on_)
                bits_[static_cast<ptrdiff_t>(y0) * stride_ + x0] = colour_;
            ++dash_;
            if (x0 == x1 && y0 == y1)
                break;
            const int e2 = 2 * err;
            if (e2 >= ay) {
                err += ay;
                x0 += sx;
            }
            if (e2 <= ax) {
                err += ax;
                y0 += sy;
            }
        }
        // The end pixel is the next segment's first.
        --dash_;
    }

    uint32_t* bits_;
    ptrdiff_t stride_;
    int width_, height_;
    double ratio_;
    bool faint_;
    bool mask_;
    int stroke_ = kMachineStroke - 1;
    uint32_t colour_ = 0;
    unsigned on_ = 0, period_ = 1;
    unsigned dash_ = 0;
    Point2 last_;
};

} // namespace

bool rasterMotions(QImage& image, const torvel::Toolpath& path, torvel::MotionRange range,
    const torvel::PlotFrame& frame, PathLook look, const std::function<bool()>& keepGoing)
{
    RasterSink sink(image, image.devicePixelRatio(), look);
    if (keepGoing)
        return torvel::walkStrokes(path, range, frame, true, sink, keepGoing);
    torvel::walkStrokes(path, range, frame, true, sink);
    return true;
}

bool haloMotions(QImage& image, const torvel::Toolpath& path, const std::vector<torvel::MotionRange>& runs,
    const torvel::PlotFrame& frame, const std::function<bool()>& keepGoing)
{
    const int w = image.width(), h = image.height();
    QImage mask(image.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(0);
    RasterSink sink(mask, image.devicePixelRatio(), PathLook::Marked);
    const auto ask = [&keepGoing] { return !keepGoing || keepGoing(); };
    for (size_t k = 0; k < runs.size(); ++k) {
        if (k % 4096 == 4095 && !ask())
            return false;
        torvel::walkStrokes(path, runs[k], frame, true, sink, ask);
    }
    // Widened by a square of four pixels each way: a row pass, then a column pass,
    // each counting the set pixels in a sliding window.
    const int radius = std::max(1, static_cast<int>(std::lround(4 * image.devicePixelRatio())));
    std::vector<uint8_t> rows(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(mask.constScanLine(y));
        uint8_t* out = &rows[static_cast<size_t>(y) * static_cast<size_t>(w)];
        int count = 0;
        for (int x = 0; x < radius && x < w; ++x)
            count += in[x] != 0;
        for (int x = 0; x < w; ++x) {
            if (x + radius < w)
                count += in[x + radius] != 0;
            if (x - radius - 1 >= 0)
                count -= in[x - radius - 1] != 0;
            out[x] = count > 0;
        }
    }
    if (!ask())
        return false;
    // The halo's colour over what is there, as a painter would blend it.
    const QColor halo = haloColour();
    const uint32_t a = static_cast<uint32_t>(halo.alpha());
    const uint32_t sr = static_cast<uint32_t>(halo.red()) * a / 255, sg = static_cast<uint32_t>(halo.green()) * a / 255,
                   sb = static_cast<uint32_t>(halo.blue()) * a / 255;
    std::vector<int> counts(static_cast<size_t>(w), 0);
    const auto rowAt = [&](int y) { return &rows[static_cast<size_t>(y) * static_cast<size_t>(w)]; };
    for (int y = 0; y < radius && y < h; ++y)
        for (int x = 0; x < w; ++x)
            counts[static_cast<size_t>(x)] += rowAt(y)[x];
    for (int y = 0; y < h; ++y) {
        if (y + radius < h)
            for (int x = 0; x < w; ++x)
                counts[static_cast<size_t>(x)] += rowAt(y + radius)[x];
        if (y - radius - 1 >= 0)
            for (int x = 0; x < w; ++x)
                counts[static_cast<size_t>(x)] -= rowAt(y - radius - 1)[x];
        auto* px = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if (counts[static_cast<size_t>(x)] == 0)
                continue;
            const uint32_t d = px[x];
            const auto mix = [a](uint32_t s, uint32_t v) { return s + v * (255 - a) / 255; };
            px[x] = (mix(a, d >> 24) << 24) | (mix(sr, (d >> 16) & 0xff) << 16) | (mix(sg, (d >> 8) & 0xff) << 8)
                | mix(sb, d & 0xff);
        }
    }
    return true;
}

QColor strokeColour(int stroke)
{
    if (stroke == kMachineStroke)
        return fromRgb(torvel::machineColour());
    if (stroke == kRapidStroke)
        return fromRgb(torvel::rapidColour());
    return fromRgb(torvel::toolColour(static_cast<size_t>(stroke)));
}

bool paintMotions(QPainter& painter, const torvel::Toolpath& path, torvel::MotionRange range,
    const torvel::PlotFrame& frame, PathLook look, const std::function<bool()>& keepGoing)
{
    PainterSink sink(painter, frame, look);
    bool done = true;
    if (keepGoing)
        done = torvel::walkStrokes(path, range, frame, true, sink, keepGoing);
    else
        torvel::walkStrokes(path, range, frame, true, sink);
    sink.flush();
    return done;
}
