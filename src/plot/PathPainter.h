#pragma once

#include "toolpath/PlotFrame.h"

#include <QColor>

#include <functional>
#include <vector>

class QImage;
class QPainter;

// How a run of motions is drawn: as the program's path, faintly (the path from
// before the last function), as an overlay another tool proposes, highlighted
// (the selected lines), with a warning halo (lines the verification doubts) or
// bold over a dark edge (the caret's line: Edge, then Bold).
enum class PathLook { Plain, Faint, Overlay, Selected, Marked, Edge, Bold };

// The colour of a stroke (toolpath/PlotFrame.h), as the SVG drawing has it.
QColor strokeColour(int stroke);

// Draws `range` of `path` through `frame` onto `painter`: feed moves solid in
// their tool's colour, rapids dashed grey, machine moves dotted. Segments are
// clipped to the frame's page, so a view zoomed far in draws only what shows,
// and points that land within half a pixel of the one before are dropped.
// `keepGoing` is asked every few thousand motions; false stops the drawing and
// the function returns false.
bool paintMotions(QPainter& painter, const torvel::Toolpath& path, torvel::MotionRange range,
    const torvel::PlotFrame& frame, PathLook look, const std::function<bool()>& keepGoing = {});

// The same, Plain or Faint, one pixel wide without antialiasing, written
// straight into `image` (Format_ARGB32_Premultiplied, `frame` in its
// device-independent pixels): several times faster than QPainter on a path of
// a million motions.
bool rasterMotions(QImage& image, const torvel::Toolpath& path, torvel::MotionRange range,
    const torvel::PlotFrame& frame, PathLook look, const std::function<bool()>& keepGoing = {});

// The Marked look's halo around the motions of `runs`, blended into `image` (as for
// rasterMotions): their one-pixel lines widened by four pixels each way. On a large
// path with many runs this costs a fraction of stroking each with a wide pen.
bool haloMotions(QImage& image, const torvel::Toolpath& path, const std::vector<torvel::MotionRange>& runs,
    const torvel::PlotFrame& frame, const std::function<bool()>& keepGoing = {});
