#include "cli/BatchFunctions.h"

#include "core/CommentTool.h"
#include "core/CoordinateTools.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/HtmlListing.h"
#include "core/InsertTool.h"
#include "core/ProgramFile.h"
#include "core/RenumberTool.h"
#include "core/RunProtocol.h"
#include "core/Settings.h"
#include "core/SpacesTool.h"
#include "core/WordTools.h"
#include "toolpath/InfoReport.h"
#include "toolpath/Interpreter.h"
#include "toolpath/SvgWriter.h"

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace torvel::batch {

TranslateOptions translateOptions(const Arguments& a, char separator)
{
    TranslateOptions o;
    o.decimalSeparator = separator;
    o.plus = a.has("--plus");
    o.followModes = a.has("--follow-modes");
    if (auto v = a.value("--x")) {
        o.x = true;
        o.xValue = *v;
    }
    if (auto v = a.value("--y")) {
        o.y = true;
        o.yValue = *v;
    }
    if (auto v = a.value("--z")) {
        o.z = true;
        o.zValue = *v;
    }
    return o;
}

MirrorOptions mirrorOptions(const Arguments& a, char separator)
{
    MirrorOptions o;
    o.decimalSeparator = separator;
    o.x = a.has("--x");
    o.y = a.has("--y");
    o.g02ToG03 = a.has("--g02-g03");
    o.g03ToG02 = a.has("--g03-g02");
    o.g41ToG42 = a.has("--g41-g42");
    o.g42ToG41 = a.has("--g42-g41");
    o.plus = a.has("--plus");
    o.arcCentres = a.has("--arc-centres");
    return o;
}

ArcsOptions arcsOptions(const Arguments& a, char separator)
{
    ArcsOptions o;
    o.decimalSeparator = separator;
    o.direction = exactlyOne(a, {"--absolute", "--incremental"}) == 0 ? ArcsOptions::Direction::Absolute
                                                                      : ArcsOptions::Direction::Incremental;
    o.plus = a.has("--plus");
    o.planes = a.has("--planes");
    return o;
}

FunctionMeaning functionMeaning(const Arguments& a, char separator)
{
    if (a.function == "translate")
        return meaningOf(translateOptions(a, separator));
    if (a.function == "mirror")
        return meaningOf(mirrorOptions(a, separator));
    if (a.function == "arcs")
        return meaningOf(arcsOptions(a, separator));
    return {};
}

std::unique_ptr<LineTool> makeTool(const Arguments& a, char separator)
{
    const std::string& f = a.function;
    if (f == "spaces")
        return std::make_unique<SpacesTool>(SpacesOptions {exactlyOne(a, {"--remove", "--add"}) == 1});
    if (f == "renumber") {
        RenumberOptions o;
        if (auto v = a.value("--digits")) {
            o.digitsOn = true;
            o.width = wholeNumber("--digits", *v, 1, 100000000);
        }
        if (a.has("--start") || a.has("--step")) {
            o.renumberOn = true;
            if (auto v = a.value("--start"))
                o.start = wholeNumber("--start", *v, 0, 100000000);
            if (auto v = a.value("--step"))
                o.step = wholeNumber("--step", *v, 1, 100000000);
        }
        return std::make_unique<RenumberTool>(o);
    }
    if (f == "replace")
        return std::make_unique<ReplaceTool>(ReplaceOptions {a.required("--find"), a.required("--with")});
    if (f == "delete") {
        DeleteOptions o;
        o.find = a.required("--find");
        o.mode = exactlyOne(a, {"--text", "--lines"}) == 0 ? DeleteOptions::Mode::Text : DeleteOptions::Mode::Lines;
        return std::make_unique<DeleteTool>(o);
    }
    if (f == "comment")
        return std::make_unique<CommentTool>(
            CommentOptions {a.required("--find"), a.required("--open"), a.required("--close")});
    if (f == "insert") {
        InsertOptions o;
        o.find = a.required("--find");
        o.text = a.required("--text");
        o.mode = exactlyOne(a, {"--at-end", "--before", "--after"}) + 1;
        return std::make_unique<InsertTool>(o);
    }
    if (f == "translate") {
        const TranslateOptions o = translateOptions(a, separator);
        if (!hasTranslationValue(o))
            throw UsageError {std::string(kTranslationNeedsAValue)};
        return std::make_unique<TranslateTool>(o);
    }
    if (f == "mirror")
        return std::make_unique<MirrorTool>(mirrorOptions(a, separator));
    if (f == "arcs")
        return std::make_unique<ArcsTool>(arcsOptions(a, separator));
    return nullptr;
}

std::optional<LineEdit> lineEdit(const Arguments& a)
{
    if (!isLineCommand(a.function))
        return std::nullopt;
    LineEdit e;
    e.command = a.function == "edit-line" ? LineCommand::Edit
        : a.function == "insert-line"     ? LineCommand::Insert
                                          : LineCommand::Delete;
    e.row = lineRow(a.required("--line"));
    if (e.command == LineCommand::Edit)
        e.text = a.required("--text");
    return e;
}

PlotOptions plotOptions(const Arguments& a)
{
    PlotOptions o;
    if (const auto name = a.value("--view")) {
        const auto view = viewFromName(*name);
        if (!view)
            throw UsageError {"--view takes xy, xz, yz or iso, not '" + *name + "'"};
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

// Each line whose result is not the transform meant, on standard error; 3 when there is one.
int reportFindings(
    const ProgramText& before, const ProgramText& after, const FunctionMeaning& meaning, const Range& range)
{
    const std::vector<Finding> findings
        = *verify(before.lines(), after.lines(), meaning, rangeLines(range, before.count()));
    std::string text;
    for (const Finding& f : findings)
        text += "line " + std::to_string(f.line + 1) + ": " + f.text() + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
    return findings.empty() ? 0 : 3;
}

} // namespace

int runBatch(const Arguments& a)
{
    const CommonOptions c = commonOptions(a);
    if (a.function == "html")
        return writeListing(a, c);
    if (a.function == "plot")
        return writePlot(a, c);
    if (a.function == "info")
        return writeInfo(a, c);

    const std::optional<LineEdit> edit = lineEdit(a);
    std::unique_ptr<LineTool> tool;
    if (!edit)
        tool = makeTool(a, c.decimalSeparator);
    const BusErrorGuard guard(c.file);
    // A failed run writes nothing, so the text needs no snapshot to go back to.
    Document doc {loadInput(c.file), UndoRing(UndoRing::NoSnapshots {}), History()};
    const bool verifying = a.has("--verify");
    // The lines before the run, for --verify: a copy of the list, not of the bytes.
    const ProgramText before = verifying ? doc.text : ProgramText();
    RunResult result;
    if (edit) {
        result = runEdit(doc, historyTag(edit->command), [&](ProgramText& text) {
            return applyLineCommand(text, edit->command, edit->row, edit->text).description;
        });
    } else {
        // Nobody can cancel here: asking at every line would cost more than some tools.
        struct Quiet : RunObserver {
            long long linesPerCall() const override { return LLONG_MAX; }
        } quiet;
        result = runFunction(doc, *tool, c.range, quiet);
    }
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
    if (verifying)
        return reportFindings(before, doc.text, functionMeaning(a, c.decimalSeparator), c.range);
    return 0;
}

} // namespace torvel::batch
