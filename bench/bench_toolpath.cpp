#include "core/ProgramFile.h"
#include "core/ProgramText.h"
#include "toolpath/Interpreter.h"
#include "toolpath/MotionIndex.h"
#include "toolpath/PlotStyle.h"
#include "toolpath/SvgWriter.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/resource.h>

using namespace torvel;

namespace {

struct BigProgram {
    ProgramText text;
    size_t fileBytes = 0;
};

// The generated 1,000,000-line program the speed figures refer to (33.5 MB):
// the file TORVEL_BENCH_GCODE names, or one generated once into the temporary folder.
const BigProgram* bigProgram()
{
    static const std::optional<BigProgram> program = []() -> std::optional<BigProgram> {
        std::string path;
        if (const char* given = std::getenv("TORVEL_BENCH_GCODE")) {
            path = given;
        } else {
            path = (std::filesystem::temp_directory_path() / "torvel-bench-gcode-1m-seed1.nc").string();
            if (!std::filesystem::exists(path)) {
                const std::string command = "python3 '" TORVEL_GEN_GCODE "' 1000000 --seed 1 > '" + path
                    + ".part' && mv '" + path + ".part' '" + path + "'";
                if (std::system(command.c_str()) != 0)
                    return std::nullopt;
            }
        }
        std::error_code error;
        const auto size = std::filesystem::file_size(path, error);
        if (error)
            return std::nullopt;
        // As the editor opens it, so that loading peaks no higher than the text it leaves.
        return BigProgram {loadProgramFile(path), static_cast<size_t>(size)};
    }();
    return program ? &*program : nullptr;
}

const Toolpath* bigToolpath()
{
    static const std::optional<Toolpath> path
        = bigProgram() ? interpret(bigProgram()->text.lines()) : std::optional<Toolpath>();
    return path ? &*path : nullptr;
}

bool skipWithoutProgram(benchmark::State& state)
{
    if (bigProgram())
        return false;
    state.SkipWithError("no program: set TORVEL_BENCH_GCODE, or have python3 and ../shared/bench/gen_gcode.py");
    return true;
}

// Interpretation of the whole program on one core, the toolpath measured and indexed.
void InterpretMillionLines(benchmark::State& state)
{
    if (skipWithoutProgram(state))
        return;
    const BigProgram& big = *bigProgram();
    size_t bytes = 0, motions = 0;
    for (auto _ : state) {
        const std::optional<Toolpath> path = interpret(big.text.lines());
        bytes = path->memoryBytes();
        motions = path->size();
        benchmark::DoNotOptimize(path->timeSeconds());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * big.fileBytes));
    state.counters["file_MB"] = static_cast<double>(big.fileBytes) / 1e6;
    state.counters["path_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["path_per_file"] = static_cast<double>(bytes) / static_cast<double>(big.fileBytes);
    state.counters["motions"] = static_cast<double>(motions);
}
BENCHMARK(InterpretMillionLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// The most memory the toolpath and its click index take at once, over the
// program's text. ru_maxrss only grows: run this one alone
// (--benchmark_filter=ToolpathPeakMemory) for a true figure.
void ToolpathPeakMemory(benchmark::State& state)
{
    if (skipWithoutProgram(state))
        return;
    const BigProgram& big = *bigProgram();
    rusage before {}, after {};
    getrusage(RUSAGE_SELF, &before);
    for (auto _ : state) {
        const std::optional<Toolpath> path = interpret(big.text.lines());
        const MotionIndex index(*path);
        benchmark::DoNotOptimize(index.memoryBytes());
        getrusage(RUSAGE_SELF, &after);
    }
    const double growth = static_cast<double>(after.ru_maxrss - before.ru_maxrss) * 1e3;
    state.counters["peak_growth_MB"] = growth / 1e6;
    state.counters["growth_per_file"] = growth / static_cast<double>(big.fileBytes);
}
BENCHMARK(ToolpathPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// The index a click looks motions up in, built where the toolpath is built.
void BuildMotionIndex(benchmark::State& state)
{
    if (skipWithoutProgram(state))
        return;
    const Toolpath& path = *bigToolpath();
    size_t bytes = 0;
    for (auto _ : state) {
        const MotionIndex index(path);
        bytes = index.memoryBytes();
    }
    state.counters["index_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BuildMotionIndex)->Unit(benchmark::kMillisecond);

// A click on the view: the motion nearest to a point of the isometric view.
void ClickToMotion(benchmark::State& state)
{
    if (skipWithoutProgram(state))
        return;
    const Toolpath& path = *bigToolpath();
    const MotionIndex index(path);
    const PlotProjection iso = PlotProjection::forView(PlotView::Iso);
    const Box2 view = iso.bounds(path.extents());
    // A few pixels of a view that shows the whole part on 1000 pixels.
    const double tolerance = (view.max.x - view.min.x) / 250;
    size_t k = 0, hits = 0;
    for (auto _ : state) {
        const double t = static_cast<double>(k++ % 97) / 97;
        const Point2 at {view.min.x + t * (view.max.x - view.min.x), view.max.y - t * (view.max.y - view.min.y)};
        hits += index.nearest(path, iso, at, tolerance).has_value();
    }
    state.counters["hit_ratio"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(ClickToMotion)->Unit(benchmark::kMicrosecond);

// The caret on a line: its motions.
void LineToMotions(benchmark::State& state)
{
    if (skipWithoutProgram(state))
        return;
    const Toolpath& path = *bigToolpath();
    uint32_t line = 0;
    for (auto _ : state) {
        line = (line + 7919) % static_cast<uint32_t>(path.lineCount());
        benchmark::DoNotOptimize(path.motionsOfLines(line, line));
    }
}
BENCHMARK(LineToMotions);

void SvgOfMillionLines(benchmark::State& state)
{
    if (skipWithoutProgram(state))
        return;
    const Toolpath& path = *bigToolpath();
    size_t size = 0;
    for (auto _ : state) {
        std::string svg;
        writeSvg(path, PlotView::Iso, 1600, 1200, svg);
        size = svg.size();
    }
    state.counters["svg_MB"] = static_cast<double>(size) / 1e6;
}
BENCHMARK(SvgOfMillionLines)->Unit(benchmark::kMillisecond);

} // namespace
