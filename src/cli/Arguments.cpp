#include "cli/Arguments.h"

#include <algorithm>
#include <string_view>

namespace torvel::batch {

const char* const kUsage = R"(Usage: torvel-batch FUNCTION [FUNCTION OPTIONS] [COMMON OPTIONS] FILE
       torvel-batch html [--settings INI] [-o OUT] [--no-sync] FILE
       torvel-batch plot [--view xy|xz|yz|iso|zx] [--width N] [--height N] [-o OUT.svg] [--no-sync] FILE
       torvel-batch info [--json] [-o OUT] [--no-sync] FILE
       torvel-batch run RECIPE [--verify] [-j N] (--in-place | -o DIR) FILE...

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
               yz (side), iso, or zx (lathe: Z to the right, X up); --width and
               --height in pixels, 16 to 20000
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

Recipes (run):
  A recipe is a UTF-8 text file whose first line is '# torvel recipe 1', followed by
  one function a line, written as above without the file arguments:
      translate --z -0.5 --plus
      replace --find 'G01 ' --with 'G1 '
      edit-line --line 12 --text 'G0 Z50'
  Values are quoted as a POSIX shell reads them; '#' starts a comment. A function may
  take --from A --to B and --decimal-separator C; its axis values are always written
  with '.'. Texts are converted to each program's encoding as the editor converts
  what is typed (Windows-1252 for a program that is not UTF-8).
  run applies the recipe to each FILE, over N workers (default: the number of cores).
  A file is written, atomically, only when every function succeeded on it:
  --in-place replaces the files that change; -o DIR (an existing folder) receives
  DIR/NAME for every file. A file that fails is reported on standard error as
    FILE: line N: MESSAGE (recipe line R, FUNCTION)
  N being the program line where the function stopped, and is left as it was; the
  other files go on. Then standard output gets the count of files changed, unchanged
  and failed. --verify (on the command line, never in a recipe) checks each
  coordinate function on each file as above, writes each finding as
    FILE: line N: reason
  (N the line as that function saw it), writes the files all the same and adds
  ', V with findings' to the counts. Status: 0 all succeeded, 1 a file failed,
  2 a bad recipe or usage, 3 findings and no file failed.
)";

namespace {

// torvel-batch's own options beside the function's; --verify only with the coordinate
// functions, which is checked once the call is read.
const CallerOptions kCommandLine {
    {"-o"}, {"--in-place", "--history", "--no-sync", "--verify"}, {"-o", "--no-sync"}, nullptr};

} // namespace

Request requestOf(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // An option's value may look like an option; only a real option position counts.
        if (i > 1 && (takesValue(argv[1], arg) || (std::string_view(argv[1]) == "run" && arg == "-j"))) {
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
    CallerOptions caller = kCommandLine;
    caller.positional = &a.positional;
    const std::vector<std::string> words(argv + std::min(argc, 1), argv + argc);
    static_cast<FunctionCall&>(a) = parseCall(words, caller);
    if (a.has("--verify") && a.function != "translate" && a.function != "mirror" && a.function != "arcs")
        throw UsageError {"unknown option '--verify' for " + a.function};
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
    c.range = callRange(a);
    c.decimalSeparator = callSeparator(a);
    return c;
}

} // namespace torvel::batch
