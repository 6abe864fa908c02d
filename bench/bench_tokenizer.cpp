#include "core/CommentRanges.h"
#include "core/ProgramText.h"
#include "core/Tokenizer.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// A million blocks of the shapes real part programs mix: numbered moves,
// arcs, tool changes, comments (one spanning two lines), delimited words.
const std::vector<std::string>& millionLines()
{
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> out;
        out.reserve(1000000);
        for (int i = 0; i < 1000000; ++i) {
            std::string n = "N";
            n += std::to_string(i * 10);
            std::string v = std::to_string(i % 997);
            v += '.';
            v += std::to_string(i % 1000);
            switch (i % 8) {
            case 0:
                out.push_back(n + " G01 X" + v + " Y-" + v + " Z0.5 F1200");
                break;
            case 1:
                out.push_back(n + " G02 X" + v + " Y" + v + " I-2.5 J0.75");
                break;
            case 2:
                out.push_back(n + " T2 M06 (FRESA DE TOPO 10MM)");
                break;
            case 3:
                out.push_back(n + "G00X" + v + "Y" + v + "Z25.");
                break;
            case 4:
                out.push_back(n + " S3500 M03 (rota\xe7\xe3o do eixo");
                break;
            case 5:
                out.push_back("  continua o coment\xe1rio) M08");
                break;
            case 6:
                out.push_back("#100 = #100 + 1# <LOOP> velnor");
                break;
            default:
                out.push_back(n + " G91 G28 Z0");
                break;
            }
        }
        return out;
    }();
    return lines;
}

void BM_TokenizeMillionLines(benchmark::State& state)
{
    const auto& lines = millionLines();
    size_t bytes = 0;
    for (const auto& l : lines)
        bytes += l.size();
    torvel::Tokenizer tokenizer;
    for (auto _ : state) {
        int range = 0;
        size_t tokens = 0;
        for (const auto& l : lines)
            range
                = tokenizer.scanLine(l, range, [&](int kind, size_t, size_t) { tokens += static_cast<size_t>(kind); });
        benchmark::DoNotOptimize(tokens);
        benchmark::DoNotOptimize(range);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    state.counters["lines"] = static_cast<double>(lines.size());
}

BENCHMARK(BM_TokenizeMillionLines)->Unit(benchmark::kMillisecond);

// The ranges at every line end, as the view needs them before styling a screen
// far down: the same program joined by LF, as the view holds it.
void BM_LineEndRangesMillionLines(benchmark::State& state)
{
    std::string text;
    for (const auto& l : millionLines()) {
        text += l;
        text += '\n';
    }
    std::vector<uint8_t> ranges;
    for (auto _ : state) {
        ranges.clear();
        torvel::lineEndRanges(text, millionLines().size(), 0, ranges);
        benchmark::DoNotOptimize(ranges.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

BENCHMARK(BM_LineEndRangesMillionLines)->Unit(benchmark::kMillisecond);

// The same over a loaded program's line list (CR LF file), as the program view
// needs it for the line before its window at the program's end.
void BM_ProgramLineEndRanges(benchmark::State& state)
{
    std::string bytes;
    for (const auto& l : millionLines()) {
        bytes += l;
        bytes += "\r\n";
    }
    const torvel::ProgramText program = torvel::ProgramText::fromFileBytes(bytes);
    std::vector<uint8_t> ranges;
    for (auto _ : state) {
        ranges.clear();
        torvel::lineEndRanges(program.lines(), 0, program.count(), 0, ranges);
        benchmark::DoNotOptimize(ranges.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

BENCHMARK(BM_ProgramLineEndRanges)->Unit(benchmark::kMillisecond);

} // namespace
