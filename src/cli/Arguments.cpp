#include "cli/Arguments.h"

#include <charconv>
#include <climits>

namespace torvel::batch {

const char* const kUsage = R"(Usage: torvel-batch FUNCTION [FUNCTION OPTIONS] [COMMON OPTIONS] FILE
       torvel-batch html [--settings INI] [-o OUT] [--no-sync] FILE
       torvel-batch plot [--view xy|xz|yz|iso] [--width N] [--height N] [-o OUT.svg] [--no-sync] FILE
       torvel-batch info [--json] [-o OUT] [--no-sync] FILE

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
  translate    [--x V] [--y V] [--z V] [--plus] [--follow-modes] [--verify]
  mirror       [--x] [--y] [--g02-g03] [--g03-g02] [--g41-g42] [--g42-g41] [--plus] [--arc-centres] [--verify]
  arcs         (--absolute | --incremental) [--plus] [--planes] [--verify]
  html         [--settings INI]

Reports on the toolpath (nothing is changed; of the common options only -o and --no-sync):
  plot         the toolpath drawn as SVG: --view xy (top, default), xz (front),
               yz (side) or iso; --width and --height in pixels, 16 to 20000
               (default 800 x 600); feed moves in their tool's colour, rapids dashed
  info         extents, lengths, estimated time, tools and notes, one
               "key: value" a line; --json writes one JSON object instead

Options of the coordinate functions:
  --follow-modes           translate: leave G91 blocks, G53 lines and G92/G10/G52 presets as they are
  --arc-centres            mirror: I and J change sign with X and Y; G02/G03 are exchanged only where
                           the arc's plane holds exactly one mirrored axis
  --planes                 arcs: K with Z on G18/G19, only arc blocks, a missing centre word written,
                           never E notation
  --verify                 interpret the program before and after and write each line whose result
                           is not the transform meant to standard error ('line N: reason');
                           exit status 3 when there is one

Common options:
  -o OUT                   write the result to OUT instead of standard output ('-': standard output)
  --in-place               replace FILE with the result
  --no-sync                do not wait until the result is on the disk (faster; a power cut
                           may then lose it)
  --from A --to B          apply from line A to line B (1-based, inclusive)
  --decimal-separator C    '.' (default) or ','
  --history                write the function's history block to standard error
  -h, --help               show this help
  --version                show the version
)";

namespace {

const std::set<std::string> kValueOptions
    = {"-o", "--from", "--to", "--decimal-separator", "--start", "--step", "--digits", "--find", "--with", "--text",
        "--open", "--close", "--line", "--x", "--y", "--z", "--settings", "--view", "--width", "--height"};

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
    {"translate", {"--x", "--y", "--z", "--plus", "--follow-modes", "--verify"}},
    {"mirror",
        {"--x", "--y", "--g02-g03", "--g03-g02", "--g41-g42", "--g42-g41", "--plus", "--arc-centres", "--verify"}},
    {"arcs", {"--absolute", "--incremental", "--plus", "--planes", "--verify"}},
    {"html", {"--settings"}},
    {"plot", {"--view", "--width", "--height"}},
    {"info", {"--json"}},
};

const std::set<std::string> kCommonOptions
    = {"-o", "--in-place", "--no-sync", "--from", "--to", "--decimal-separator", "--history"};

} // namespace

std::optional<std::string> Arguments::value(const std::string& name) const
{
    const auto it = values.find(name);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

std::string Arguments::required(const std::string& name) const
{
    auto v = value(name);
    if (!v)
        throw UsageError {function + " needs " + name};
    return *v;
}

bool takesValue(const std::string& function, const std::string& option)
{
    if (function == "mirror" && (option == "--x" || option == "--y"))
        return false;
    if (function == "delete" && option == "--text")
        return false;
    return kValueOptions.count(option) > 0;
}

bool isLineCommand(const std::string& function)
{
    return function == "edit-line" || function == "insert-line" || function == "delete-line";
}

bool isReport(const std::string& function) { return function == "html" || function == "plot" || function == "info"; }

Request requestOf(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // An option's value may look like an option; only a real option position counts.
        if (i > 1 && takesValue(argv[1], arg)) {
            ++i;
            continue;
        }
        if (arg == "-h" || arg == "--help")
            return Request::Help;
        if (arg == "--version")
            return Request::Version;
    }
    return Request::Run;
}

Arguments parseArguments(int argc, const char* const* argv)
{
    Arguments a;
    if (argc < 2)
        throw UsageError {"no function given (see --help)"};
    a.function = argv[1];
    const auto known = kFunctionOptions.find(a.function);
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
        if (isReport(a.function) && common && arg != "-o" && arg != "--no-sync")
            throw UsageError {a.function + " takes no option '" + arg + "'"};
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

CommonOptions commonOptions(const Arguments& a)
{
    if (a.positional.size() != 1)
        throw UsageError {a.positional.empty() ? "no FILE given" : "more than one FILE given"};
    CommonOptions c;
    c.file = a.positional.front();
    c.inPlace = a.has("--in-place");
    if (const auto o = a.value("-o"); o && *o != "-")
        c.output = o;
    c.sync = a.has("--no-sync") ? SyncMode::NoSync : SyncMode::Sync;
    c.history = a.has("--history");
    if (c.inPlace && c.file == "-")
        throw UsageError {"--in-place cannot replace standard input"};
    if (c.inPlace && a.has("-o"))
        throw UsageError {"-o and --in-place exclude each other"};
    if (a.has("--from") != a.has("--to"))
        throw UsageError {"--from and --to go together"};
    if (a.has("--from")) {
        if (isLineCommand(a.function))
            throw UsageError {a.function + " takes no range"};
        c.range.wholeFile = false;
        c.range.first = wholeNumber("--from", a.required("--from"), 1, 100000000);
        c.range.last = wholeNumber("--to", a.required("--to"), 1, 100000000);
    }
    if (auto v = a.value("--decimal-separator")) {
        if (*v != "." && *v != ",")
            throw UsageError {"--decimal-separator takes '.' or ','"};
        c.decimalSeparator = (*v)[0];
    }
    return c;
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

long long lineRow(const std::string& text)
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

int exactlyOne(const Arguments& a, std::initializer_list<const char*> names)
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

} // namespace torvel::batch
