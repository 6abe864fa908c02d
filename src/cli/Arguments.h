#pragma once

#include "core/CallTools.h"
#include "core/FileIO.h"
#include "core/FunctionCall.h"
#include "core/RunProtocol.h"

#include <optional>
#include <string>
#include <vector>

namespace torvel::batch {

// What the command line gets wrong; torvel-batch says it in one line and ends with status 2.
using torvel::UsageError;

extern const char* const kUsage;

// The function named first on the command line with its options, and the words that are
// no option (the file).
struct Arguments : FunctionCall {
    std::vector<std::string> positional;
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

} // namespace torvel::batch
