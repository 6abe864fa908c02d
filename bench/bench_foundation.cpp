#include "BenchData.h"

#include "core/FileIO.h"
#include "core/ProgramFile.h"
#include "core/ProgramText.h"
#include "core/Blank.h"
#include "core/RunProtocol.h"
#include "core/TextTools.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <sys/resource.h>

using namespace torvel;

namespace {

const std::string& program()
{
    static const std::string p = millingProgram(1000000);
    return p;
}

std::string benchFile()
{
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "torvel-bench-1m.nc").string();
        writeFileAtomic(p, program());
        return p;
    }();
    return path;
}

// sync:1 is the editor's save, flushed to the disk; sync:0 leaves that to the system.
void LoadAndSave(benchmark::State& state)
{
    const std::string in = benchFile();
    const std::string out = in + ".out";
    const SyncMode sync = state.range(0) ? SyncMode::Sync : SyncMode::NoSync;
    for (auto _ : state) {
        ProgramText t = loadProgramFile(in);
        saveProgramFile(out, t, sync);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * program().size()));
    std::remove(out.c_str());
}
BENCHMARK(LoadAndSave)->ArgName("sync")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void LoadPeakMemory(benchmark::State& state)
{
    const std::string in = benchFile();
    // ru_maxrss only grows; measure the growth one load causes over what is already held.
    rusage before {};
    getrusage(RUSAGE_SELF, &before);
    long peak = 0;
    for (auto _ : state) {
        ProgramText t = loadProgramFile(in);
        benchmark::DoNotOptimize(t.count());
        rusage after {};
        getrusage(RUSAGE_SELF, &after);
        peak = after.ru_maxrss;
    }
    state.counters["file_MB"] = static_cast<double>(program().size()) / 1e6;
    state.counters["maxrss_MB"] = static_cast<double>(peak) / 1e3;
    state.counters["rss_before_MB"] = static_cast<double>(before.ru_maxrss) / 1e3;
}
BENCHMARK(LoadPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

std::string realProgram40MB();

// The snapshot measures need the shared sample programs beside the checkout.
bool skipWithoutSamples(benchmark::State& state)
{
    if (std::filesystem::is_directory(TORVEL_SAMPLES_DIR))
        return false;
    state.SkipWithError("the shared sample programs are not beside this checkout");
    return true;
}

void SnapshotStoreAndCompress(benchmark::State& state)
{
    if (skipWithoutSamples(state))
        return;
    const ProgramText t = ProgramText::fromFileBytes(realProgram40MB());
    for (auto _ : state) {
        UndoRing ring;
        ring.store(t);
        ring.compact();
        benchmark::DoNotOptimize(ring.memoryBytes());
    }
}
BENCHMARK(SnapshotStoreAndCompress)->Unit(benchmark::kMillisecond);

void SnapshotRestore(benchmark::State& state)
{
    if (skipWithoutSamples(state))
        return;
    const ProgramText t = ProgramText::fromFileBytes(realProgram40MB());
    const std::string blob = compressLines(t);
    ProgramText into;
    for (auto _ : state)
        decompressLines(blob, into);
    state.counters["snapshot_MB"] = static_cast<double>(blob.size()) / 1e6;
}
BENCHMARK(SnapshotRestore)->Unit(benchmark::kMillisecond);

// Real programs repeated up to about 40 MB: random digits would compress worse than any CAM output.
std::string realProgram40MB()
{
    std::string all;
    for (const char* name : {"linuxcnc-stellabee1-3mb.ngc", "camotics-tiger-1mb.nc", "ugs-cambam-gates-crlf.nc",
             "linuxcnc-gcmc-trochoidal.ngc", "camotics-cameo-nblocks.nc"})
        all += readFileBytes(std::string(TORVEL_SAMPLES_DIR) + "/" + name);
    std::string out;
    while (out.size() < (40u << 20))
        out += all;
    return out;
}

void FortySnapshotsMemory(benchmark::State& state)
{
    if (skipWithoutSamples(state))
        return;
    ProgramText t = ProgramText::fromFileBytes(realProgram40MB());
    for (auto _ : state) {
        UndoRing ring;
        for (int i = 0; i < UndoRing::kSlots; ++i) {
            t.replace(i, "N" + std::to_string(i) + " changed"); // every snapshot differs
            ring.store(t);
            ring.compact();
        }
        state.counters["ring_MB"] = static_cast<double>(ring.memoryBytes()) / 1e6;
    }
    state.counters["text_MB"] = static_cast<double>(t.byteSize()) / 1e6;
}
BENCHMARK(FortySnapshotsMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// The protocol's own cost: a tool that changes nothing, against a bare loop over the lines.
class Touch : public LineTool {
public:
    std::string tag() const override { return "T"; }
    std::string progressCaption() const override { return ""; }
    std::string describe() const override { return ""; }
    LineAction apply(std::string_view line, std::string& out) override
    {
        out.assign(line);
        return LineAction::Replace;
    }
};

void ProtocolOverhead(benchmark::State& state)
{
    Document doc;
    doc.text = ProgramText::fromFileBytes(program());
    Touch tool;
    RunObserver quiet;
    for (auto _ : state)
        runFunction(doc, tool, Range {}, quiet);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * program().size()));
}
BENCHMARK(ProtocolOverhead)->Unit(benchmark::kMillisecond);

void BareLoop(benchmark::State& state)
{
    const ProgramText text = ProgramText::fromFileBytes(program());
    Touch tool;
    std::string out;
    for (auto _ : state) {
        for (std::string_view l : text.lines())
            benchmark::DoNotOptimize(tool.apply(l, out));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * program().size()));
}
BENCHMARK(BareLoop)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The run protocol around a real transformation, against that transformation alone.
void SpacesThroughProtocol(benchmark::State& state)
{
    const ProgramText original = ProgramText::fromFileBytes(program());
    for (auto _ : state) {
        state.PauseTiming();
        Document doc;
        doc.text = original;
        state.ResumeTiming();
        SpacesTool tool(SpacesOptions {false});
        RunObserver quiet;
        runFunction(doc, tool, Range {}, quiet);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * program().size()));
}
BENCHMARK(SpacesThroughProtocol)->Unit(benchmark::kMillisecond);

void SpacesBare(benchmark::State& state)
{
    const ProgramText original = ProgramText::fromFileBytes(program());
    for (auto _ : state) {
        state.PauseTiming();
        ProgramText text = original;
        state.ResumeTiming();
        SpacesTool tool(SpacesOptions {state.range(0) != 0});
        std::string out;
        for (size_t i = 0; i < text.count(); ++i) {
            if (tool.apply(trimmed(text.line(static_cast<long long>(i))), out) != LineAction::Keep)
                text.replace(static_cast<long long>(i), out);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * program().size()));
}
// 0 removes spaces, 1 adds them.
BENCHMARK(SpacesBare)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
