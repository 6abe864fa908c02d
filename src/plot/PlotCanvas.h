#pragma once

#include "plot/JobThread.h"
#include "toolpath/MotionIndex.h"
#include "toolpath/PlotFrame.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class PathSketch;

// The drawing of the toolpath: views from the top, the front, the side and a
// 3D view turned with the mouse. The wheel zooms at the pointer, a drag pans
// (in 3D the left button turns, the others pan), a double click or Home fits
// the whole path; from the keyboard the arrows pan (in 3D Ctrl+arrows turn),
// + and - zoom. A click on or near a segment reports its line.
//
// The path itself is drawn off the event loop into a picture of the whole
// widget; a frame is that picture, moved and scaled while a new one is made
// for a changed view, or a sketch of the path while the view turns. The
// caret's line, a small selection and the tool's place are drawn over it at
// once.
class PlotCanvas : public QWidget {
    Q_OBJECT
public:
    // Selections of more motions than this are drawn into the picture, not over it.
    static constexpr size_t kSelectionDrawnAtOnce = 20000;
    // A click reaches a segment this many pixels away.
    static constexpr double kClickReach = 6;

    explicit PlotCanvas(QWidget* parent = nullptr);
    ~PlotCanvas() override;
    QSize sizeHint() const override;

    // A new path; `fit` shows it whole, else the view stays where it is.
    void setPath(std::shared_ptr<const torvel::Toolpath> path, bool fit);
    // `picture`, when given, is the sketch already drawn for `frame`.
    void setSketch(std::shared_ptr<const PathSketch> sketch, QImage picture = {}, const torvel::PlotFrame& frame = {});
    void setIndex(std::shared_ptr<const torvel::MotionIndex> index);
    // Drawn faintly under the path, while `shown`.
    void setBefore(std::shared_ptr<const torvel::Toolpath> before);
    void setBeforeShown(bool shown);
    // Another path drawn over this one (a function's result shown before it is applied).
    void setOverlay(std::shared_ptr<const torvel::Toolpath> overlay);
    // What the widget says when there is no path.
    void setMessage(const QString& text);
    // Program lines (0-based, ascending) drawn with a warning halo: those whose result
    // the verification doubts. They belong to the overlay while one is shown, else to
    // the path; the halo follows the lines to whatever path has them. Empty: none.
    void setMarkedLines(std::vector<uint32_t> lines);
    const std::vector<uint32_t>& markedLines() const { return *marks_; }

    // 0-based program lines; last < first selects nothing.
    void setCaretLine(uint32_t line);
    void setSelectedLines(uint32_t first, uint32_t last);

    torvel::PlotView view() const { return view_; }
    void setView(torvel::PlotView view);
    void fitAll();
    void zoomAt(QPointF at, double factor);
    void pan(double dx, double dy);
    // Degrees about Z and above the XY plane; the 3D view only.
    void turn(double azimuth, double elevation);

    const torvel::PlotFrame& frame() const { return frame_; }
    const torvel::Toolpath* path() const { return path_.get(); }
    // The motion a click at `at` reaches, or none.
    std::optional<size_t> motionAt(QPointF at) const;
    // The next (or previous) line after the caret's that moves the tool.
    std::optional<uint32_t> steppedLine(bool forward) const;
    // What the pointer's tooltip says of motion `i`.
    QString motionText(size_t i) const;
    bool hasIndex() const { return index_ != nullptr; }
    // Whether the last frame showed the path drawn in full for the present view.
    bool showsFullDrawing() const { return fullShown_; }

signals:
    void lineActivated(uint32_t line);
    void viewChanged(torvel::PlotView view);
    // A frame drew the whole path for the present view and content.
    void fullDrawingShown();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Picture {
        QImage image;
        torvel::PlotFrame frame;
        uint64_t content = 0;
    };
    void contentChanged();
    void frameChanged();
    void requestPicture();
    void pictureMade(Picture picture);
    bool bigSelection() const;
    void paintHighlights(QPainter& painter) const;
    void paintAxes(QPainter& painter) const;
    torvel::Box3 allExtents() const;

    std::shared_ptr<const torvel::Toolpath> path_, before_, overlay_;
    std::shared_ptr<const std::vector<uint32_t>> marks_ = std::make_shared<std::vector<uint32_t>>();
    std::shared_ptr<const PathSketch> sketch_;
    // The sketch as drawn for one view: until the full picture comes the canvas may be
    // painted many times (caret, footer, progress), and drawing the sketch costs a good
    // part of a frame.
    QImage sketchImage_;
    torvel::PlotFrame sketchFrame_;
    std::shared_ptr<const torvel::MotionIndex> index_;
    bool beforeShown_ = true;
    QString message_;
    uint32_t caretLine_ = 0;
    uint32_t selectionFirst_ = 1, selectionLast_ = 0;

    torvel::PlotView view_ = torvel::PlotView::Top;
    double azimuth_ = -45, elevation_ = 35.26;
    torvel::PlotFrame frame_;
    bool fitPending_ = true;
    bool fitted_ = false; // showing the whole drawing, as fitAll() left it

    uint64_t content_ = 1;
    Picture picture_;
    // The frame and content of the picture being made.
    torvel::PlotFrame requestedFrame_;
    uint64_t requestedContent_ = 0;
    bool fullShown_ = false;

    QPoint pressAt_, lastAt_;
    Qt::MouseButton pressed_ = Qt::NoButton;
    bool dragging_ = false;

    JobThread painter_; // last: stopped before the rest goes
};
