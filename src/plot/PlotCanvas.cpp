#include "plot/PlotCanvas.h"

#include "plot/PathPainter.h"
#include "plot/PathSketch.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>
#include <optional>

using torvel::PlotFrame;
using torvel::PlotProjection;
using torvel::PlotView;
using torvel::Point2;
using torvel::Point3;

namespace {

bool sameProjection(const PlotProjection& a, const PlotProjection& b)
{
    return a.right == b.right && a.up == b.up && a.toward == b.toward;
}

bool sameFrame(const PlotFrame& a, const PlotFrame& b)
{
    return sameProjection(a.projection, b.projection) && a.target == b.target && a.scale == b.scale
        && a.width == b.width && a.height == b.height;
}

// Antialiased lines cost several times plain ones; past this many motions the
// picture is drawn plain so that it comes within a second.
constexpr size_t kSmoothMotions = 300000;

} // namespace

PlotCanvas::PlotCanvas(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setMinimumSize(120, 120);
    setAttribute(Qt::WA_OpaquePaintEvent);
    frame_.projection = PlotProjection::forView(view_);
}

PlotCanvas::~PlotCanvas() = default;

QSize PlotCanvas::sizeHint() const { return QSize(560, 440); }

// ---------------------------------------------------------------- content

void PlotCanvas::setPath(std::shared_ptr<const torvel::Toolpath> path, bool fit)
{
    path_ = std::move(path);
    index_.reset();
    sketch_.reset();
    sketchImage_ = QImage();
    if (fit || frame_.scale <= 0)
        fitPending_ = true;
    contentChanged();
}

void PlotCanvas::setSketch(std::shared_ptr<const PathSketch> sketch, QImage picture, const torvel::PlotFrame& frame)
{
    sketch_ = std::move(sketch);
    sketchImage_ = std::move(picture);
    sketchFrame_ = frame;
    update();
}

void PlotCanvas::setIndex(std::shared_ptr<const torvel::MotionIndex> index) { index_ = std::move(index); }

void PlotCanvas::setBefore(std::shared_ptr<const torvel::Toolpath> before)
{
    before_ = std::move(before);
    contentChanged();
}

void PlotCanvas::setBeforeShown(bool shown)
{
    if (shown == beforeShown_)
        return;
    beforeShown_ = shown;
    if (before_)
        contentChanged();
}

void PlotCanvas::setOverlay(std::shared_ptr<const torvel::Toolpath> overlay)
{
    overlay_ = std::move(overlay);
    contentChanged();
}

void PlotCanvas::setMessage(const QString& text)
{
    message_ = text;
    update();
}

void PlotCanvas::setMarkedLines(std::vector<uint32_t> lines)
{
    if (lines.empty() && marks_->empty())
        return;
    marks_ = std::make_shared<const std::vector<uint32_t>>(std::move(lines));
    contentChanged();
}

void PlotCanvas::setCaretLine(uint32_t line)
{
    if (line == caretLine_)
        return;
    caretLine_ = line;
    update();
}

void PlotCanvas::setSelectedLines(uint32_t first, uint32_t last)
{
    if (first == selectionFirst_ && last == selectionLast_)
        return;
    const bool wasBig = bigSelection();
    selectionFirst_ = first;
    selectionLast_ = last;
    if (wasBig || bigSelection())
        contentChanged();
    else
        update();
}

bool PlotCanvas::bigSelection() const
{
    if (!path_ || selectionLast_ < selectionFirst_)
        return false;
    return path_->motionsOfLines(selectionFirst_, selectionLast_).size() > kSelectionDrawnAtOnce;
}

void PlotCanvas::contentChanged()
{
    ++content_;
    fullShown_ = false;
    update();
}

// ---------------------------------------------------------------- view

torvel::Box3 PlotCanvas::allExtents() const
{
    torvel::Box3 box;
    if (path_)
        box.add(path_->extents());
    // The path from before a function may lie elsewhere; fitting must not drop it.
    if (before_ && beforeShown_)
        box.add(before_->extents());
    if (overlay_)
        box.add(overlay_->extents());
    return box;
}

void PlotCanvas::setView(PlotView view)
{
    view_ = view;
    frame_.projection
        = view == PlotView::Iso ? PlotProjection::orbit(azimuth_, elevation_) : PlotProjection::forView(view);
    fitAll();
    emit viewChanged(view);
}

void PlotCanvas::fitAll()
{
    frame_ = PlotFrame::fit(frame_.projection, allExtents(), width(), height());
    fitPending_ = false;
    fitted_ = true;
    frameChanged();
}

void PlotCanvas::zoomAt(QPointF at, double factor)
{
    const double scale = frame_.scale * factor;
    if (!(scale > 1e-6 && scale < 1e7))
        return;
    frame_.zoomAt({at.x(), at.y()}, factor);
    fitted_ = false;
    frameChanged();
}

void PlotCanvas::pan(double dx, double dy)
{
    frame_.pan(dx, dy);
    fitted_ = false;
    frameChanged();
}

void PlotCanvas::turn(double azimuth, double elevation)
{
    if (view_ != PlotView::Iso)
        return;
    azimuth_ = std::fmod(azimuth, 360.0);
    elevation_ = std::clamp(elevation, -90.0, 90.0);
    frame_.projection = PlotProjection::orbit(azimuth_, elevation_);
    frameChanged();
}

void PlotCanvas::frameChanged()
{
    fullShown_ = false;
    update();
}

void PlotCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    frame_.width = width();
    frame_.height = height();
    // A whole drawing stays whole when the dock changes size; a zoomed or moved one stays put.
    if (fitPending_ || fitted_)
        fitAll();
    else
        frameChanged();
}

// ---------------------------------------------------------------- pictures

void PlotCanvas::requestPicture()
{
    if (requestedContent_ == content_ && sameFrame(requestedFrame_, frame_))
        return;
    requestedContent_ = content_;
    requestedFrame_ = frame_;
    if (!path_ && !overlay_)
        return;

    const qreal ratio = devicePixelRatioF();
    const QSize pixels(std::max(1, qRound(width() * ratio)), std::max(1, qRound(height() * ratio)));
    std::shared_ptr<const torvel::Toolpath> before = beforeShown_ ? before_ : nullptr;
    torvel::MotionRange selection;
    if (bigSelection())
        selection = path_->motionsOfLines(selectionFirst_, selectionLast_);
    painter_.post([this, path = path_, before, overlay = overlay_, selection, marks = marks_, frame = frame_,
                      content = content_, pixels, ratio](const std::atomic<bool>& stop) {
        Picture picture;
        picture.frame = frame;
        picture.content = content;
        picture.image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        picture.image.setDevicePixelRatio(ratio);
        picture.image.fill(Qt::white);
        // QPainter for antialiased and wide strokes; the plain lines of a large
        // path go straight into the pixels, with no painter open on them.
        std::optional<QPainter> p;
        const auto keepGoing = [&stop] { return !stop.load(std::memory_order_relaxed); };
        const auto draw = [&](const torvel::Toolpath& t, torvel::MotionRange range, PathLook look) {
            if (t.size() > kSmoothMotions && (look == PathLook::Plain || look == PathLook::Faint)) {
                p.reset();
                return rasterMotions(picture.image, t, range, frame, look, keepGoing);
            }
            if (!p)
                p.emplace(&picture.image);
            p->setRenderHint(QPainter::Antialiasing, t.size() <= kSmoothMotions);
            return paintMotions(*p, t, range, frame, look, keepGoing);
        };
        // The halo goes under the path it belongs to; the motions of lines that follow
        // each other are one run. A large path's halo is drawn straight into the pixels.
        const auto drawMarks = [&](const torvel::Toolpath& t) {
            std::vector<torvel::MotionRange> runs;
            for (size_t k = 0; k < marks->size(); ++k) {
                if (k % 4096 == 4095 && !keepGoing())
                    return false;
                const torvel::MotionRange r = t.motionsOfLines((*marks)[k], (*marks)[k]);
                if (r.empty())
                    continue;
                if (!runs.empty() && r.begin == runs.back().end)
                    runs.back().end = r.end;
                else
                    runs.push_back(r);
            }
            if (t.size() > kSmoothMotions) {
                p.reset();
                return haloMotions(picture.image, t, runs, frame, keepGoing);
            }
            for (const torvel::MotionRange& run : runs) {
                if (!draw(t, run, PathLook::Marked))
                    return false;
            }
            return true;
        };
        if (before && !draw(*before, {0, before->size()}, PathLook::Faint))
            return;
        if (!overlay && path && !drawMarks(*path))
            return;
        if (path && !draw(*path, {0, path->size()}, PathLook::Plain))
            return;
        if (path && !selection.empty() && !draw(*path, selection, PathLook::Selected))
            return;
        if (overlay && !drawMarks(*overlay))
            return;
        if (overlay && !draw(*overlay, {0, overlay->size()}, PathLook::Overlay))
            return;
        p.reset();
        QMetaObject::invokeMethod(
            this, [this, picture = std::move(picture)]() mutable { pictureMade(std::move(picture)); },
            Qt::QueuedConnection);
    });
}

void PlotCanvas::pictureMade(Picture picture)
{
    if (picture.content != content_)
        return;
    picture_ = std::move(picture);
    update();
}

// ---------------------------------------------------------------- painting

void PlotCanvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!path_ && !overlay_) {
        p.setPen(palette().color(QPalette::PlaceholderText));
        p.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, message_);
        return;
    }
    if (fitPending_)
        fitAll();

    bool full = false;
    const bool current = picture_.content == content_ && !picture_.image.isNull();
    if (current && sameFrame(picture_.frame, frame_)) {
        p.drawImage(QPointF(0, 0), picture_.image);
        full = true;
        sketchImage_ = QImage();
    } else if (!picture_.image.isNull() && sameProjection(picture_.frame.projection, frame_.projection)
        && (current || !sketch_)) {
        // The last picture, moved and scaled to the present view.
        const PlotFrame& f = picture_.frame;
        const double k = frame_.scale / f.scale;
        const Point2 shift = frame_.projection.apply(
            {f.target.x - frame_.target.x, f.target.y - frame_.target.y, f.target.z - frame_.target.z});
        const double left = frame_.width / 2 + shift.x * frame_.scale - f.width / 2 * k;
        const double top = frame_.height / 2 - shift.y * frame_.scale - f.height / 2 * k;
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(QRectF(left, top, f.width * k, f.height * k), picture_.image);
    } else if (sketch_) {
        if (sketchImage_.isNull() || !sameFrame(sketchFrame_, frame_)) {
            sketchImage_ = sketch_->picture(frame_, devicePixelRatioF());
            sketchFrame_ = frame_;
        }
        p.drawImage(QPointF(0, 0), sketchImage_);
    }
    requestPicture();

    p.setRenderHint(QPainter::Antialiasing, true);
    paintHighlights(p);
    paintAxes(p);
    if (hasFocus()) {
        QPen focus(palette().color(QPalette::Highlight), 2);
        p.setPen(focus);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
    if (full && !fullShown_) {
        fullShown_ = true;
        emit fullDrawingShown();
    }
}

void PlotCanvas::paintHighlights(QPainter& p) const
{
    if (!path_ || path_->empty())
        return;
    if (selectionLast_ >= selectionFirst_ && !bigSelection())
        paintMotions(p, *path_, path_->motionsOfLines(selectionFirst_, selectionLast_), frame_, PathLook::Selected);
    const torvel::MotionRange caret = path_->motionsOfLines(caretLine_, caretLine_);
    if (!caret.empty()) {
        paintMotions(p, *path_, caret, frame_, PathLook::Edge);
        paintMotions(p, *path_, caret, frame_, PathLook::Bold);
    }
    // Where the tool stands once the caret's line has run.
    const torvel::MotionRange upTo = path_->motionsOfLines(0, caretLine_);
    if (!upTo.empty()) {
        const Point2 at = frame_.toPage(path_->end(upTo.end - 1));
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(QColor(255, 255, 255, 160));
        p.drawEllipse(QPointF(at.x, at.y), 4.5, 4.5);
    }
}

void PlotCanvas::paintAxes(QPainter& p) const
{
    // A small triad in the corner: which way X, Y and Z point in this view.
    const QPointF origin(22, height() - 22);
    const struct {
        Point3 axis;
        QColor colour;
        const char* name;
    } axes[] = {{{1, 0, 0}, QColor(0xd0, 0x20, 0x20), "X"}, {{0, 1, 0}, QColor(0x20, 0x90, 0x20), "Y"},
        {{0, 0, 1}, QColor(0x20, 0x40, 0xd0), "Z"}};
    for (const auto& a : axes) {
        const Point2 d = frame_.projection.apply(a.axis);
        if (std::hypot(d.x, d.y) < 0.2)
            continue;
        const QPointF tip = origin + QPointF(d.x * 16, -d.y * 16);
        p.setPen(QPen(a.colour, 1.5));
        p.drawLine(origin, tip);
        p.drawText(
            QRectF(tip.x() - 6 + d.x * 6, tip.y() - 7 - d.y * 6, 12, 14), Qt::AlignCenter, QString::fromLatin1(a.name));
    }
}

// ---------------------------------------------------------------- input

std::optional<size_t> PlotCanvas::motionAt(QPointF at) const
{
    if (!path_ || path_->empty())
        return std::nullopt;
    const Point2 point = frame_.toPlane({at.x(), at.y()});
    const double reach = kClickReach / frame_.scale;
    if (index_) {
        // A hit within a third of the reach is the nearest of all; on a dense drawing
        // that small search almost always finds one, and looks at a ninth as many boxes.
        for (const double r : {reach / 3, reach})
            if (const auto hit = index_->nearest(*path_, frame_.projection, point, r))
                return hit->motion;
        return std::nullopt;
    }
    // Until the index is built: every motion, which a large program makes slow but not wrong.
    std::vector<Point3> scratch;
    std::optional<size_t> best;
    double bestDistance = reach;
    for (size_t i = 0; i < path_->size(); ++i) {
        const double d = path_->distanceInView(i, frame_.projection, point, 0.25 / frame_.scale, scratch);
        if (d <= bestDistance && (!best || d < bestDistance)) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

void PlotCanvas::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0)
        zoomAt(event->position(), std::pow(1.25, steps));
    event->accept();
}

void PlotCanvas::mousePressEvent(QMouseEvent* event)
{
    pressAt_ = lastAt_ = event->position().toPoint();
    pressed_ = event->button();
    dragging_ = false;
    event->accept();
}

void PlotCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (pressed_ == Qt::NoButton)
        return;
    if (!dragging_ && (at - pressAt_).manhattanLength() < 4)
        return;
    dragging_ = true;
    const QPoint d = at - lastAt_;
    lastAt_ = at;
    if (view_ == PlotView::Iso && pressed_ == Qt::LeftButton)
        turn(azimuth_ - d.x() * 0.5, elevation_ + d.y() * 0.5);
    else
        pan(d.x(), d.y());
}

void PlotCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = !dragging_ && pressed_ == Qt::LeftButton && event->button() == Qt::LeftButton;
    pressed_ = Qt::NoButton;
    dragging_ = false;
    if (!click)
        return;
    if (const auto motion = motionAt(event->position()))
        emit lineActivated(path_->line(*motion));
}

void PlotCanvas::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        fitAll();
}

std::optional<uint32_t> PlotCanvas::steppedLine(bool forward) const
{
    if (!path_ || path_->empty())
        return std::nullopt;
    if (forward) {
        if (caretLine_ == UINT32_MAX)
            return std::nullopt;
        const torvel::MotionRange after = path_->motionsOfLines(caretLine_ + 1, UINT32_MAX);
        if (after.empty())
            return std::nullopt;
        return path_->line(after.begin);
    }
    if (caretLine_ == 0)
        return std::nullopt;
    const torvel::MotionRange before = path_->motionsOfLines(0, caretLine_ - 1);
    if (before.empty())
        return std::nullopt;
    return path_->line(before.end - 1);
}

QString PlotCanvas::motionText(size_t i) const
{
    static const char* const kinds[] = {"rápido", "avanço", "arco horário", "arco anti-horário", "furação, rápido",
        "furação, avanço", "coordenadas de máquina, rápido", "coordenadas de máquina, avanço"};
    const auto kind = static_cast<size_t>(path_->kind(i));
    QString text = QStringLiteral("Linha %1: %2")
                       .arg(path_->line(i) + 1)
                       .arg(QString::fromUtf8(kind < std::size(kinds) ? kinds[kind] : ""));
    if (path_->tool(i) != 0)
        text += QStringLiteral(", T%1").arg(path_->tool(i));
    if (!torvel::isRapid(path_->kind(i)) && path_->feed(i) > 0)
        text += QStringLiteral(", F%1").arg(path_->feed(i));
    return text;
}

bool PlotCanvas::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (const auto motion = motionAt(help->pos()))
            QToolTip::showText(help->globalPos(), motionText(*motion), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void PlotCanvas::keyPressEvent(QKeyEvent* event)
{
    const bool turnKeys = view_ == PlotView::Iso && (event->modifiers() & Qt::ControlModifier);
    const double step = std::min(width(), height()) / 10.0;
    switch (event->key()) {
    case Qt::Key_Left:
        turnKeys ? turn(azimuth_ + 15, elevation_) : pan(step, 0);
        break;
    case Qt::Key_Right:
        turnKeys ? turn(azimuth_ - 15, elevation_) : pan(-step, 0);
        break;
    case Qt::Key_Up:
        turnKeys ? turn(azimuth_, elevation_ - 15) : pan(0, step);
        break;
    case Qt::Key_Down:
        turnKeys ? turn(azimuth_, elevation_ + 15) : pan(0, -step);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomAt(rect().center(), 1.25);
        break;
    case Qt::Key_Minus:
        zoomAt(rect().center(), 1 / 1.25);
        break;
    case Qt::Key_Home:
        fitAll();
        break;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
        // The keyboard's way to a segment's line: from the caret's line to the next (or
        // previous) line that moves the tool.
        if (const auto line = steppedLine(event->key() == Qt::Key_PageDown))
            emit lineActivated(*line);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}
