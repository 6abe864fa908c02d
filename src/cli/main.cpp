// torvel-batch: one editor function applied to a program file, without the window.

#include "core/Blank.h"
#include "core/CoordinateTools.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/HtmlListing.h"
#include "core/LineCommands.h"
#include "core/ProgramFile.h"
#include "core/RunProtocol.h"
#include "core/Settings.h"
#include "core/TextTools.h"

#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace torvel;

constexpr const char* kUsage = R"(Usage: torvel-batch FUNCTION [FUNCTION OPTIONS] [COMMON OPTIONS] FILE
       torvel-batch html [--settings INI] [-o OUT] FILE

Applies one function of the Torvel editor to a CNC program file. FILE '-' reads standard input.

Functions and their options:
  spaces       --remove | --add
  renumber     [--start S] [--step D] [--digits W]
  replace      --find T --with R
  delete       --find T (--text | --lines)
  comment      --find T --open O --close C
  insert       --find T --text X (--at-end | --before | --after)
  edit-line    --line N --text T
  insert-line  --line N
  delete-line  --line N
  translate    [--x V] [--y V] [--z V] [--plus]
  mirror       [--x] [--y] [--g02-g03] [--g03-g02] [--g41-g42] [--g42-g41] [--plus]
  arcs         (--absolute | --incremental) [--plus]
  html         [--settings INI]

Common options:
  -o OUT                   write the result to OUT instead of standard output
  --in-place               replace FILE with the result
  --from A --to B          apply from line A to line B (1-based, inclusive)
  --decimal-separator C    '.' (default) or ','
  --history                write the function's history block to standard error
  -h, --help               show this help
  --version                show the version
)";

struct UsageError {
    std::string message;
};

struct Args {
    std::string function;
    std::map<std::string, std::string> values; // options with a value
    std::set<std::string> flags; // options without one
    std::vector<std::string> positional;

    bool has(const std::string& name) const { return values.count(name) || flags.count(name); }
    std::optional<std::string> value(const std::string& name) const
    {
        auto it = values.find(name);
        if (it == values.end())
            return std::nullopt;
        return it->second;
    }
    std::string required(const std::string& name) const
    {
        auto v = value(name);
        if (!v)
            throw UsageError {function + " needs " + name};
        return *v;
    }
};

const std::set<std::string> kValueOptions = {"-o", "--from", "--to", "--decimal-separator", "--start", "--step",
    "--digits", "--find", "--with", "--text", "--open", "--close", "--line", "--x", "--y", "--z", "--settings"};

// Options whose meaning as a flag or with a value depends on the function.
bool takesValue(const std::string& function, const std::string& option)
{
    if (function == "mirror" && (option == "--x" || option == "--y"))
        return false;
    if (function == "delete" && option == "--text")
        return false;
    return kValueOptions.count(option) > 0;
}

const std::map<std::string, std::set<std::string>> kFunctionOptions = {
    {"spaces", {"--remove", "--add"}},
    {"renumber", {"--start", "--step", "--digits"}},
    {"replace", {"--find", "--with"}},
    {"delete", {"--find", "--text", "--lines"}},
    {"comment", {"--find", "--open", "--close"}},
    {"insert", {"--find", "--text", "--at-end", "--before", "--after"}},
    {"edit-line", {"--line", "--text"}},
    {"insert-line", {"--line"}},
    {"delete-line", {"--line"}},
    {"translate", {"--x", "--y", "--z", "--plus"}},
    {"mirror", {"--x", "--y", "--g02-g03", "--g03-g02", "--g41-g42", "--g42-g41", "--plus"}},
    {"arcs", {"--absolute", "--incremental", "--plus"}},
    {"html", {"--settings"}},
};

const std::set<std::string> kCommonOptions = {"-o", "--in-place", "--from", "--to", "--decimal-separator", "--history"};

Args parse(int argc, char** argv)
{
    Args a;
    if (argc < 2)
        throw UsageError {"no function given (see --help)"};
    a.function = argv[1];
    auto known = kFunctionOptions.find(a.function);
    if (known == kFunctionOptions.end())
        throw UsageError {"unknown function '" + a.function + "' (see --help)"};
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-" || arg.empty() || arg[0] != '-') {
            a.positional.push_back(arg);
            continue;
        }
        const bool common = kCommonOptions.count(arg) > 0;
        if (!common && !known->second.count(arg))
            throw UsageError {"unknown option '" + arg + "' for " + a.function};
        if (a.function == "html" && common && arg != "-o")
            throw UsageError {"html takes no option '" + arg + "'"};
        if (takesValue(a.function, arg)) {
            if (i + 1 >= argc)
                throw UsageError {"option " + arg + " needs a value"};
            a.values[arg] = argv[++i];
        } else {
            a.flags.insert(arg);
        }
    }
    return a;
}

long long wholeNumber(const std::string& option, const std::string& text, long long low, long long high)
{
    long long v = 0;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || p != end || v < low || v > high)
        throw UsageError {option + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high)
            + ", not '" + text + "'"};
    return v;
}

// The caret row of a line command: a whole number from 1; a row past the end counts as
// the last line, however far past.
long long caretRow(const std::string& text)
{
    long long v = 0;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    if (!text.empty() && text[0] != '-' && p == end && ec == std::errc::result_out_of_range)
        return LLONG_MAX;
    if (text.empty() || ec != std::errc() || p != end || v < 1)
        throw UsageError {"--line takes a whole number from 1, not '" + text + "'"};
    return v;
}

int exactlyOne(const Args& a, std::initializer_list<const char*> names)
{
    int chosen = -1, n = 0, i = 0;
    std::string list;
    for (const char* name : names) {
        if (a.has(name)) {
            chosen = i;
            ++n;
        }
        list += (list.empty() ? "" : ", ") + std::string(name);
        ++i;
    }
    if (n != 1)
        throw UsageError {a.function + " needs exactly one of " + list};
    return chosen;
}

std::unique_ptr<LineTool> makeTool(const Args& a, char separator)
{
    const std::string& f = a.function;
    if (f == "spaces") {
        return std::make_unique<SpacesTool>(SpacesOptions {exactlyOne(a, {"--remove", "--add"}) == 1});
    }
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
        TranslateOptions o;
        o.decimalSeparator = separator;
        o.plus = a.has("--plus");
        bool anyValue = false;
        if (auto v = a.value("--x")) {
            o.x = true;
            o.xValue = *v;
            anyValue |= !isBlankOnly(*v);
        }
        if (auto v = a.value("--y")) {
            o.y = true;
            o.yValue = *v;
            anyValue |= !isBlankOnly(*v);
        }
        if (auto v = a.value("--z")) {
            o.z = true;
            o.zValue = *v;
            anyValue |= !isBlankOnly(*v);
        }
        if (!anyValue)
            throw UsageError {"Favor preencher os campos com o valor da translação."};
        return std::make_unique<TranslateTool>(o);
    }
    if (f == "mirror") {
        MirrorOptions o;
        o.decimalSeparator = separator;
        o.x = a.has("--x");
        o.y = a.has("--y");
        o.g02ToG03 = a.has("--g02-g03");
        o.g03ToG02 = a.has("--g03-g02");
        o.g41ToG42 = a.has("--g41-g42");
        o.g42ToG41 = a.has("--g42-g41");
        o.plus = a.has("--plus");
        return std::make_unique<MirrorTool>(o);
    }
    if (f == "arcs") {
        ArcsOptions o;
        o.decimalSeparator = separator;
        o.direction = exactlyOne(a, {"--absolute", "--incremental"}) == 0 ? ArcsOptions::Direction::Absolute
                                                                          : ArcsOptions::Direction::Incremental;
        o.plus = a.has("--plus");
        return std::make_unique<ArcsTool>(o);
    }
    return nullptr;
}

// The program as the editor would open it; "-" is standard input, read by the same reader.
ProgramText loadInput(const std::string& file)
{
    if (file != "-")
        return loadProgramFile(file);
    try {
        return loadProgramFile("/dev/stdin");
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

int run(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // An option's value may look like an option; only a real option position counts.
        if (i > 1 && takesValue(argv[1], arg)) {
            ++i;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::puts("torvel-batch " TORVEL_VERSION);
            return 0;
        }
    }
    const Args a = parse(argc, argv);
    if (a.positional.size() != 1)
        throw UsageError {a.positional.empty() ? "no FILE given" : "more than one FILE given"};
    const std::string file = a.positional.front();
    const bool inPlace = a.has("--in-place");
    if (inPlace && file == "-")
        throw UsageError {"--in-place cannot replace standard input"};
    if (inPlace && a.has("-o"))
        throw UsageError {"-o and --in-place exclude each other"};
    if (a.has("--from") != a.has("--to"))
        throw UsageError {"--from and --to go together"};
    Range range;
    if (a.has("--from")) {
        if (a.function == "edit-line" || a.function == "insert-line" || a.function == "delete-line")
            throw UsageError {a.function + " takes no range"};
        range.wholeFile = false;
        range.first = wholeNumber("--from", a.required("--from"), 1, 100000000);
        range.last = wholeNumber("--to", a.required("--to"), 1, 100000000);
    }
    char separator = '.';
    if (auto v = a.value("--decimal-separator")) {
        if (*v != "." && *v != ",")
            throw UsageError {"--decimal-separator takes '.' or ','"};
        separator = (*v)[0];
    }

    std::string output;
    std::string history;
    if (a.function == "html") {
        const std::string settings = a.value("--settings").value_or(defaultSettingsPath());
        const ColourValues colours = SettingsFile(settings).read().colours;
        output = htmlListing(loadInput(file), colours);
    } else {
        std::unique_ptr<LineTool> tool;
        long long row = 0;
        std::string lineText;
        const bool lineCommand
            = a.function == "edit-line" || a.function == "insert-line" || a.function == "delete-line";
        if (lineCommand) {
            row = caretRow(a.required("--line"));
            if (a.function == "edit-line")
                lineText = a.required("--text");
        } else {
            tool = makeTool(a, separator);
        }
        // A failed run writes nothing, so the text needs no snapshot to go back to.
        Document doc {loadInput(file), UndoRing(UndoRing::NoSnapshots {}), History()};
        RunResult result;
        if (lineCommand) {
            const std::string& f = a.function;
            auto edit = [&](ProgramText& text) {
                if (f == "edit-line")
                    return editLine(text, row, lineText).description;
                if (f == "insert-line")
                    return insertLine(text, row).description;
                return deleteLine(text, row).description;
            };
            const std::string_view t = f == "edit-line" ? kEditLineTag
                : f == "insert-line"                    ? kInsertLineTag
                                                        : kDeleteLineTag;
            result = runEdit(doc, t, edit);
        } else {
            RunObserver quiet;
            result = runFunction(doc, *tool, range, quiet);
        }
        if (result.status == RunResult::Status::Failed) {
            std::fprintf(stderr, "torvel-batch: line %lld: %s\n", result.line, result.message.c_str());
            return 1;
        }
        // As the history viewer reads it: the file's bytes may be Windows-1252.
        if (a.has("--history"))
            history = History::blockText(1, mixedToUtf8(result.description));
        if (inPlace || a.has("-o")) {
            saveProgramFile(inPlace ? file : *a.value("-o"), doc.text);
        } else {
            bool ok = true;
            doc.text.writeFileBytes([&](const char* p, size_t n) { ok = ok && writeStdout(std::string_view(p, n)); });
            if (!ok)
                throw FileError("Cannot write standard output.");
        }
        if (!history.empty())
            std::fwrite(history.data(), 1, history.size(), stderr);
        return 0;
    }

    if (auto out = a.value("-o"))
        writeFileAtomic(*out, output);
    else if (!writeStdout(output))
        throw FileError("Cannot write standard output.");
    if (!history.empty())
        std::fwrite(history.data(), 1, history.size(), stderr);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc, argv);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "torvel-batch: %s\n", e.message.c_str());
    } catch (const std::bad_alloc&) {
        std::fputs("torvel-batch: not enough memory for this program\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "torvel-batch: %s\n", e.what());
    }
    return 2;
}
