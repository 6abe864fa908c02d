#include "core/CoordinateTools.h"
#include "core/Numbers.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

using namespace torvel;

namespace {

// A milling program of a million blocks: feed moves with X, Y and Z, and an arc
// with I and J every eighth line, numbers with up to three decimals.
const std::vector<std::string>& millingProgram()
{
    static const std::vector<std::string> lines = [] {
        std::mt19937 rng(12345);
        const auto coordinate = [&](int range) {
            const int thousandths = static_cast<int>(rng() % static_cast<unsigned>(2 * range * 1000)) - range * 1000;
            std::string s = writeNumber(static_cast<Extended>(thousandths) / 1000, false);
            return s;
        };
        std::vector<std::string> v;
        v.reserve(1000000);
        for (int n = 1; n <= 1000000; ++n) {
            std::string line = "N" + std::to_string(n);
            if (n % 8 == 0)
                line += " G02 X" + coordinate(200) + " Y" + coordinate(200) + " I" + coordinate(20) + " J"
                    + coordinate(20);
            else
                line += " G01 X" + coordinate(200) + " Y" + coordinate(200) + " Z" + coordinate(10) + " F1200";
            v.push_back(std::move(line));
        }
        return v;
    }();
    return lines;
}

int64_t programBytes()
{
    int64_t bytes = 0;
    for (const auto& l : millingProgram())
        bytes += static_cast<int64_t>(l.size()) + 2;
    return bytes;
}

void runTool(benchmark::State& state, LineTool& tool)
{
    const auto& lines = millingProgram();
    std::string out;
    for (auto _ : state) {
        tool.begin();
        for (const auto& line : lines) {
            benchmark::DoNotOptimize(tool.apply(line, out));
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * programBytes());
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lines.size()));
}

void BM_TranslateXYZ(benchmark::State& state)
{
    TranslateOptions o;
    o.x = o.y = o.z = true;
    o.xValue = "10,5";
    o.yValue = "-2,25";
    o.zValue = "0,1";
    o.decimalSeparator = ',';
    TranslateTool tool(o);
    runTool(state, tool);
}
BENCHMARK(BM_TranslateXYZ)->Unit(benchmark::kMillisecond);

void BM_MirrorXY(benchmark::State& state)
{
    MirrorOptions o;
    o.x = o.y = o.g02ToG03 = o.g03ToG02 = true;
    MirrorTool tool(o);
    runTool(state, tool);
}
BENCHMARK(BM_MirrorXY)->Unit(benchmark::kMillisecond);

void BM_ArcsToAbsolute(benchmark::State& state)
{
    ArcsOptions o;
    o.direction = ArcsOptions::Direction::Absolute;
    ArcsTool tool(o);
    runTool(state, tool);
}
BENCHMARK(BM_ArcsToAbsolute)->Unit(benchmark::kMillisecond);

// The number conversions alone, fast path against the exact reference.
void BM_ReadNumber(benchmark::State& state)
{
    const char* texts[] = {"12.345", "-67.89", "-1.5", "1200", "0.001", "-123.456"};
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(readNumber(texts[i++ % 6], '.'));
}
BENCHMARK(BM_ReadNumber);

void BM_ReadNumberReference(benchmark::State& state)
{
    const char* texts[] = {"12.345", "-67.89", "-1.5", "1200", "0.001", "-123.456"};
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(reference::readLocaleNumber(texts[i++ % 6], '.'));
}
BENCHMARK(BM_ReadNumberReference);

void BM_WriteNumber(benchmark::State& state)
{
    const Extended values[] = {12.345L, -67.89L, -1.5L, 1200, 0.001L, 22.845L};
    std::string out;
    size_t i = 0;
    for (auto _ : state) {
        out.clear();
        appendNumber(out, values[i++ % 6], false);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_WriteNumber);

void BM_WriteNumberReference(benchmark::State& state)
{
    const Extended values[] = {12.345L, -67.89L, -1.5L, 1200, 0.001L, 22.845L};
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(reference::writeNumber(values[i++ % 6], false));
}
BENCHMARK(BM_WriteNumberReference);

} // namespace
