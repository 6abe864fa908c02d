#pragma once

#include "cli/Arguments.h"
#include "toolpath/PlotStyle.h"
#include "verify/Verification.h"

#include <string>
#include <string_view>

namespace torvel::batch {

// What plot draws: --view, --width and --height, checked.
struct PlotOptions {
    PlotView view = PlotView::Top;
    int width = 800, height = 600;
};
constexpr long long kPlotMinimumSize = 16;
constexpr long long kPlotMaximumSize = 20000;
PlotOptions plotOptions(const Arguments& a);

// Reads FILE (or standard input), applies the function and writes the result where the
// options say. 0 when done; 1, after saying where on standard error, when the function
// stopped on a line; 3 when --verify found lines whose result is not the transform meant,
// each said on standard error. Usage and file errors are thrown.
int runBatch(const Arguments& a);

// --verify's report: each line whose result is not the transform meant, "line N: reason",
// one a line after `prefix`; empty when there is none.
std::string findingLines(const ProgramText& before, const ProgramText& after, const FunctionMeaning& meaning,
    const Range& range, std::string_view prefix = {});

} // namespace torvel::batch
