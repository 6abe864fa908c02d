#pragma once

#include "core/LineTool.h"

#include <string>
#include <string_view>

namespace torvel {

inline constexpr std::string_view kSpacesTag = "AddEspaço";

// Drops every space (code 32 only) before the first #, %, ( or { of the line.
std::string removeSpaces(std::string_view trimmedLine);
// Puts a space before each spaced letter and before the first ( or {; nothing
// changes from the first # or % on, nor after the first ( or {.
std::string addSpaces(std::string_view trimmedLine);

// The same two, writing into `out` (emptied first) so that a run reuses one buffer.
// Both return false when the result would equal the line.
bool removeSpacesInto(std::string_view trimmedLine, std::string& out);
bool addSpacesInto(std::string_view trimmedLine, std::string& out);

struct SpacesOptions {
    bool add = false;
};

class SpacesTool : public LineTool {
public:
    explicit SpacesTool(SpacesOptions options)
        : options_(options)
    { }

    std::string tag() const override { return std::string(kSpacesTag); }
    std::string progressCaption() const override;
    std::string describe() const override;
    FunctionCall call() const override;
    bool trimsLine() const override { return true; }
    LineAction apply(std::string_view line, std::string& out) override;

private:
    SpacesOptions options_;
};

} // namespace torvel
