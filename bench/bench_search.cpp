#include "BenchData.h"

#include "core/FileIO.h"
#include "core/GoToTarget.h"
#include "core/ProgramFile.h"
#include "core/ProgramSearch.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

using namespace torvel;

namespace {

// The generated program named by TORVEL_BENCH_GCODE (default /tmp/big.nc, made by
// `gen_gcode.py 1000000 --seed 1`), else the built-in million-block program.
const ProgramText& searchProgram()
{
    static const ProgramText text = [] {
        const char* env = std::getenv("TORVEL_BENCH_GCODE");
        const std::string path = env ? env : "/tmp/big.nc";
        if (std::filesystem::exists(path))
            return loadProgramFile(path);
        return ProgramText::fromFileBytes(millingProgram(1000000));
    }();
    return text;
}

// The middle line, which the worst case finds by going all the way round.
long long middle() { return static_cast<long long>(searchProgram().count() / 2); }

void FindNextWrapping(benchmark::State& state)
{
    const ProgramText& text = searchProgram();
    const std::string target(text.line(middle()));
    const ProgramSearch search(target, false, {state.range(0) != 0, state.range(1) != 0});
    const TextPosition from {middle() + 1, 0};
    for (auto _ : state) {
        const auto hit = search.next(text, from);
        if (!hit || !hit->wrapped)
            state.SkipWithError("the middle line was not found by wrapping");
        benchmark::DoNotOptimize(hit);
    }
    state.SetLabel(target);
}
BENCHMARK(FindNextWrapping)
    ->ArgNames({"case", "word"})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond);

void FindPreviousWrapping(benchmark::State& state)
{
    const ProgramText& text = searchProgram();
    const std::string target(text.line(middle()));
    const ProgramSearch search(target, false, {});
    const TextPosition from {middle(), 0};
    for (auto _ : state) {
        const auto hit = search.previous(text, from);
        if (!hit || !hit->wrapped)
            state.SkipWithError("the middle line was not found by wrapping");
        benchmark::DoNotOptimize(hit);
    }
}
BENCHMARK(FindPreviousWrapping)->Unit(benchmark::kMillisecond);

void CountMatches(benchmark::State& state)
{
    static const char* const patterns[] = {"X1", "x1", "g01", "Y-"};
    const ProgramText& text = searchProgram();
    const ProgramSearch search(patterns[state.range(0)], false, {false, state.range(1) != 0});
    size_t total = 0;
    for (auto _ : state)
        total = search.tally(text, {middle(), 0}).total;
    state.SetLabel(std::string(patterns[state.range(0)]) + ": " + std::to_string(total));
}
BENCHMARK(CountMatches)
    ->ArgNames({"pattern", "word"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 1})
    ->Args({3, 0})
    ->Unit(benchmark::kMillisecond);

void MarksOnScreen(benchmark::State& state)
{
    const ProgramText& text = searchProgram();
    const ProgramSearch search("x1", false, {});
    for (auto _ : state)
        benchmark::DoNotOptimize(search.matchesInLines(text, middle(), middle() + 60));
}
BENCHMARK(MarksOnScreen)->Unit(benchmark::kMicrosecond);

void GoToLastBlock(benchmark::State& state)
{
    const ProgramText& text = searchProgram();
    const long long last = static_cast<long long>(text.count()) - 1;
    long long line = last;
    while (line > 0 && blockNumberOf(text.line(line)).empty())
        --line;
    const std::string typed = "N" + std::string(blockNumberOf(text.line(line)));
    for (auto _ : state)
        benchmark::DoNotOptimize(resolveGoTo(text, typed));
    state.SetLabel(typed);
}
BENCHMARK(GoToLastBlock)->Unit(benchmark::kMillisecond);

} // namespace
