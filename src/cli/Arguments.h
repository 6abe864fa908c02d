#pragma once

#include "core/FileIO.h"
#include "core/RunProtocol.h"

#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace torvel::batch {

// What the command line gets wrong; torvel-batch says it in one line and ends with status 2.
struct UsageError {
    std::string message;
};

extern const char* const kUsage;

// The function named first on the command line, and what follows it.
struct Arguments {
    std::string function;
    std::map<std::string, std::string> values; // options with a value
    std::set<std::string> flags; // options without one
    std::vector<std::string> positional;

    bool has(const std::string& name) const { return values.count(name) || flags.count(name); }
    std::optional<std::string> value(const std::string& name) const;
    // The option's value; a usage error naming the function and the option when it is missing.
    std::string required(const std::string& name) const;
};

// -h, --help or --version where an option may stand (an option's value never counts).
enum class Request { Run, Help, Version };
Request requestOf(int argc, const char* const* argv);

// The function and its options. Unknown functions and options, and an option without
// its value, are usage errors.
Arguments parseArguments(int argc, const char* const* argv);

// The options every function shares, checked against one another.
struct CommonOptions {
    std::string file; // "-" is standard input
    bool inPlace = false;
    std::optional<std::string> output; // -o; none for "-o -", standard output
    SyncMode sync = SyncMode::Sync; // --no-sync leaves flushing the result to the system
    Range range;
    char decimalSeparator = '.';
    bool history = false;
};
CommonOptions commonOptions(const Arguments& a);

// Whether `option` takes a value for `function` (--x of mirror and --text of delete do not).
bool takesValue(const std::string& function, const std::string& option);
bool isLineCommand(const std::string& function);
// html, plot and info: they write about the program and change nothing, so of the common
// options they take only -o.
bool isReport(const std::string& function);

// A whole number from `low` to `high`, or a usage error naming the option.
long long wholeNumber(const std::string& option, const std::string& text, long long low, long long high);
// The row of a line command (--line): a whole number from 1; a row past the end counts as
// the last line, however far past.
long long lineRow(const std::string& text);
// Which one of the named flags is given; a usage error unless exactly one is.
int exactlyOne(const Arguments& a, std::initializer_list<const char*> names);

} // namespace torvel::batch
