#pragma once

#include "toolpath/Toolpath.h"

#include <string>

namespace torvel {

// The report of `torvel-batch info`: one fact a line, "key: value", in this
// order, for scripts:
//   lines: N
//   units: mm | inch            (the program's first)
//   motions: N
//   extents: min X Y Z max X Y Z        ("extents: none" without moves)
//   feed_extents: min X Y Z max X Y Z
//   feed_length_mm: L
//   rapid_length_mm: L
//   time_s: T
//   tools: 1 2 5                 (nothing after the colon without tool changes)
//   notes: N
//   note: line N: reason         (1-based, one a note, in line order)
// Numbers in millimetres and seconds, fixed with 4 decimals, "." as point.
std::string infoText(const Toolpath& path);

// The same as one JSON object on one line, then a line break: "lines",
// "units", "motions", "extents" and "feed_extents" ({"min": [x, y, z],
// "max": [x, y, z]}, or null without moves), "feed_length_mm",
// "rapid_length_mm", "time_s", "tools" (numbers) and "notes" ([{"line": N,
// "reason": "..."}], 1-based). Numbers as in the text; strings UTF-8.
std::string infoJson(const Toolpath& path);

} // namespace torvel
