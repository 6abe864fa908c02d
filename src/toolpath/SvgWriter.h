#pragma once

#include "toolpath/PlotStyle.h"
#include "toolpath/Toolpath.h"

#include <string>

namespace torvel {

// The drawing of `torvel-batch plot`: the path in `view`, fitted with a
// margin into width × height pixels (each at least 16), on white. Feed moves
// solid in their tool's colour, rapids dashed grey, moves in machine
// coordinates dotted; arcs as chords within a quarter pixel. Coordinates in
// pixels with two decimals, points that fall on the same one dropped.
// Appends to `out`.
void writeSvg(const Toolpath& path, PlotView view, int width, int height, std::string& out);

} // namespace torvel
