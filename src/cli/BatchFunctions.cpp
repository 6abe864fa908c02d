#include "cli/BatchFunctions.h"

#include "core/CallTools.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/HtmlListing.h"
#include "core/ProgramFile.h"
#include "core/RunProtocol.h"
#include "core/Settings.h"
#include "toolpath/InfoReport.h"
#include "toolpath/Interpreter.h"
#include "toolpath/SvgWriter.h"

#include <charconv>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace torvel::batch {

PlotOptions plotOptions(const Arguments& a)
{
    PlotOptions o;
    if (const auto name = a.value("--view")) {
        const auto view = viewFromName(*name);
        if (!view)
            throw UsageError {"--view takes xy, xz, yz, iso or zx, not '" + *name + "'"};
        o.view = *view;
    }
    if (const auto v = a.value("--width"))
        o.width = static_cast<int>(wholeNumber("--width", *v, kPlotMinimumSize, kPlotMaximumSize));
    if (const auto v = a.value("--height"))
        o.height = static_cast<int>(wholeNumber("--height", *v, kPlotMinimumSize, kPlotMaximumSize));
    return o;
}

namespace {

char busErrorMessage[PATH_MAX + 64];

void onBusError(int)
{
    (void)!::write(2, busErrorMessage, std::strlen(busErrorMessage));
    ::_exit(2);
}

// The program file is mapped rather than copied: should another program cut it short
// while it is read, the run stops with the loader's message instead of a crash.
class BusErrorGuard {
public:
    explicit BusErrorGuard(const std::string& file)
    {
        const std::string shown = file == "-" ? "Cannot read standard input." : FileError::cannotOpen(file).what();
        std::snprintf(busErrorMessage, sizeof busErrorMessage, "torvel-batch: %s\n", shown.c_str());
        struct sigaction action { };
        action.sa_handler = onBusError;
        sigemptyset(&action.sa_mask);
        installed_ = ::sigaction(SIGBUS, &action, &previous_) == 0;
    }
    ~BusErrorGuard()
    {
        if (installed_)
            ::sigaction(SIGBUS, &previous_, nullptr);
    }
    BusErrorGuard(const BusErrorGuard&) = delete;
    BusErrorGuard& operator=(const BusErrorGuard&) = delete;

private:
    struct sigaction previous_ { };
    bool installed_ = false;
};

// The program as the editor would open it; "-" is standard input, read by the same reader.
ProgramText loadInput(const std::string& file)
{
    if (file != "-")
        return mapProgramFile(file);
    try {
        return mapProgramFile("/dev/stdin");
    } catch (const FileError&) {
        throw FileError("Cannot read standard input.");
    }
}

bool writeStdout(std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(1, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string executableFolder()
{
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return "./";
    std::string path(buf, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

std::string defaultSettingsPath()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::string config = xdg && *xdg ? xdg : std::string(home ? home : ".") + "/.config";
    // The listing only reads the settings.
    return settingsFilePath(executableFolder(), config, false);
}

// The colours of the listing. A settings file that is there but cannot be read is
// an error when it was named, else said and replaced by the default colours.
ColourValues listingColours(const Arguments& a)
{
    const std::optional<std::string> named = a.value("--settings");
    const std::string path = named.value_or(defaultSettingsPath());
    const Settings settings = SettingsFile(path).read();
    std::string problem;
    if (settings.source == SettingsSource::Unreadable)
        problem = FileError::cannotOpen(path).what();
    else if (settings.source == SettingsSource::TooLarge)
        problem = "Settings file " + path + " is larger than 1 MB and is not read.";
    if (!problem.empty() && named)
        throw FileError(problem);
    if (!problem.empty())
        std::fprintf(stderr, "torvel-batch: %s The listing has the default colours.\n", problem.c_str());
    return settings.colours;
}

int writeListing(const Arguments& a, const CommonOptions& c)
{
    const ColourValues colours = listingColours(a);
    const BusErrorGuard guard(c.file);
    const ProgramText text = loadInput(c.file);
    // The page goes out as it is made: a long program never stands in memory twice.
    if (c.output) {
        AtomicFile out(*c.output, c.sync);
        writeHtmlListing(text, colours, {}, [&out](std::string_view piece) { out.write(piece.data(), piece.size()); });
        out.commit();
    } else {
        writeHtmlListing(text, colours, {}, [](std::string_view piece) {
            if (!writeStdout(piece))
                throw FileError("Cannot write standard output.");
        });
    }
    return 0;
}

// The report goes to -o, atomically, or to standard output.
void writeReport(const CommonOptions& c, const std::string& output)
{
    if (c.output) {
        AtomicFile out(*c.output, c.sync);
        out.write(output.data(), output.size());
        out.commit();
    } else if (!writeStdout(output)) {
        throw FileError("Cannot write standard output.");
    }
}

// The options are checked before the program is read, so a slip costs no wait on a long one.
int writePlot(const Arguments& a, const CommonOptions& c)
{
    const PlotOptions o = plotOptions(a);
    const BusErrorGuard guard(c.file);
    const ProgramText text = loadInput(c.file);
    std::string svg;
    writeSvg(*interpret(text.lines()), o.view, o.width, o.height, svg);
    writeReport(c, svg);
    return 0;
}

int writeInfo(const Arguments& a, const CommonOptions& c)
{
    const BusErrorGuard guard(c.file);
    const ProgramText text = loadInput(c.file);
    const Toolpath path = *interpret(text.lines());
    writeReport(c, a.has("--json") ? infoJson(path) : infoText(path));
    return 0;
}

} // namespace

std::string findingLines(const ProgramText& before, const ProgramText& after, const FunctionMeaning& meaning,
    const Range& range, std::string_view prefix)
{
    const std::vector<Finding> findings
        = *verify(before.lines(), after.lines(), meaning, rangeLines(range, before.count()));
    // Appended piece by piece: a program may have a finding on every other line.
    std::string text;
    char number[16];
    for (const Finding& f : findings) {
        const auto end = std::to_chars(number, number + sizeof number, f.line + 1ULL).ptr;
        text.append(prefix).append("line ").append(number, end).append(": ").append(findingText(f.reason));
        if (!f.detail.empty())
            text.append(": ").append(f.detail);
        text += '\n';
    }
    return text;
}

int runBatch(const Arguments& a)
{
    const CommonOptions c = commonOptions(a);
    if (a.function == "html")
        return writeListing(a, c);
    if (a.function == "plot")
        return writePlot(a, c);
    if (a.function == "info")
        return writeInfo(a, c);

    // Every option is checked before the file is read.
    checkCall(a);
    const BusErrorGuard guard(c.file);
    // A failed run writes nothing, so the text needs no snapshot to go back to.
    Document doc {loadInput(c.file), UndoRing(UndoRing::NoSnapshots {}), History()};
    const bool verifying = a.has("--verify");
    // The lines before the run, for --verify: a copy of the list, not of the bytes.
    const ProgramText before = verifying ? doc.text : ProgramText();
    // Nobody can cancel here: asking at every line would cost more than some tools.
    struct Quiet : RunObserver {
        long long linesPerCall() const override { return LLONG_MAX; }
    } quiet;
    const RunResult result = runCall(doc, a, CallReading {}, quiet);
    if (result.status == RunResult::Status::Failed) {
        std::fprintf(stderr, "torvel-batch: line %lld: %s\n", result.line, result.message.c_str());
        return 1;
    }
    if (c.inPlace || c.output) {
        saveProgramFile(c.inPlace ? c.file : *c.output, doc.text, c.sync);
    } else {
        bool ok = true;
        doc.text.writeFilePieces([&](const iovec* pieces, int count) { ok = ok && writeAllPieces(1, pieces, count); });
        if (!ok)
            throw FileError("Cannot write standard output.");
    }
    // As the history viewer reads it: the file's bytes may be Windows-1252.
    if (c.history) {
        const std::string block = History::blockText(1, mixedToUtf8(result.description));
        std::fwrite(block.data(), 1, block.size(), stderr);
    }
    if (verifying) {
        const std::string findings = findingLines(before, doc.text, meaningOf(a, CallReading {}), c.range);
        std::fwrite(findings.data(), 1, findings.size(), stderr);
        return findings.empty() ? 0 : 3;
    }
    return 0;
}

} // namespace torvel::batch
