#pragma once

#include "cli/Arguments.h"
#include "core/LineCommands.h"
#include "core/CoordinateTools.h"
#include "core/LineTool.h"
#include "toolpath/PlotStyle.h"
#include "verify/Verification.h"

#include <memory>
#include <optional>
#include <string>

namespace torvel::batch {

// The options of the coordinate functions, as their dialogs gather them.
TranslateOptions translateOptions(const Arguments& a, char decimalSeparator);
MirrorOptions mirrorOptions(const Arguments& a, char decimalSeparator);
ArcsOptions arcsOptions(const Arguments& a, char decimalSeparator);

// The tool of a range function, built from its options as the function's dialog builds
// it from its fields; none for the line commands and html.
std::unique_ptr<LineTool> makeTool(const Arguments& a, char decimalSeparator);

// What plot draws: --view, --width and --height, checked.
struct PlotOptions {
    PlotView view = PlotView::Top;
    int width = 800, height = 600;
};
constexpr long long kPlotMinimumSize = 16;
constexpr long long kPlotMaximumSize = 20000;
PlotOptions plotOptions(const Arguments& a);
// What a coordinate function means to the toolpath, for --verify; Nothing for the others.
FunctionMeaning functionMeaning(const Arguments& a, char decimalSeparator);

// A line command with its row (--line) and, for edit-line, the new text (--text).
struct LineEdit {
    LineCommand command;
    long long row = 1;
    std::string text;
};
// None for the other functions.
std::optional<LineEdit> lineEdit(const Arguments& a);

// Reads FILE (or standard input), applies the function and writes the result where the
// options say. 0 when done; 1, after saying where on standard error, when the function
// stopped on a line; 3 when --verify found lines whose result is not the transform meant,
// each said on standard error. Usage and file errors are thrown.
int runBatch(const Arguments& a);

} // namespace torvel::batch
