#pragma once

#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torvel {

// A call that cannot be run as written: `message` is what torvel-batch says (in English, as
// its other messages), `portuguese` what the window shows.
struct UsageError {
    explicit UsageError(std::string english, std::string inPortuguese = {})
        : message(std::move(english))
        , portuguese(std::move(inPortuguese))
    { }
    std::string message;
    std::string portuguese;
};

// One function of the editor with its options, written as torvel-batch and recipe files
// write it (`translate --z -0.5 --plus`). Every history entry keeps the call it ran, so
// that it can be run again on other programs.
struct FunctionCall {
    std::string function;
    std::map<std::string, std::string> values; // options with a value
    std::set<std::string> flags; // options without one

    bool empty() const { return function.empty(); }
    bool has(const std::string& name) const { return values.count(name) || flags.count(name); }
    std::optional<std::string> value(const std::string& name) const;
    // The option's value; a usage error naming the function and the option when it is missing.
    std::string required(const std::string& name) const;

    bool operator==(const FunctionCall&) const = default;
};

// The functions torvel-batch knows: the editing functions and the reports.
bool isFunction(std::string_view name);
bool isLineCommand(std::string_view function);
// html, plot and info write about the program and change nothing: no recipe runs them.
bool isReport(std::string_view function);
// Whether `option` takes a value for `function` (--x of mirror and --text of delete do not).
bool takesValue(std::string_view function, std::string_view option);
// What the window calls the function: its dialog's caption, or a line command's menu item.
std::string_view windowName(std::string_view function);

// What a caller of parseCall takes beside the function's own options and the --from, --to
// and --decimal-separator every function shares (torvel-batch: -o, --in-place, --history).
struct CallerOptions {
    std::set<std::string> values;
    std::set<std::string> flags;
    std::set<std::string> reportOptions; // those of the caller that the reports take too
    std::vector<std::string>* positional = nullptr; // words that are no option; none: refused
};

// words[0] names the function and the rest are its options; an option's value is always
// the next word, even when it starts with '-'. A later option of the same name wins.
// Unknown functions and options and a missing value are usage errors; the options are
// checked against one another only when the call is built (see CallTools.h).
FunctionCall parseCall(std::span<const std::string> words, const CallerOptions& caller = {});

// The call as one line of torvel-batch syntax without file arguments: the function, its
// options in the order of the table of functions, then --from, --to and
// --decimal-separator; every word quoted as a POSIX shell would read it.
std::string callLine(const FunctionCall& call);

// The word as a POSIX shell reads it back: as it is when that is safe, else in single
// quotes, or in $'...' when it holds control characters (so that a line stays one line).
std::string shellQuoted(std::string_view word);

// Splits one line into words as a POSIX shell does, without expansions: blanks separate,
// '...', "...", $'...' and a backslash quote, and a '#' that starts a word begins a
// comment. A character that would make a shell do more than read words ($, `, |, &, ;, <,
// >, (, ), *, ?, [) must be quoted; so must a '~' that starts a word.
std::vector<std::string> shellWords(std::string_view line);

} // namespace torvel
