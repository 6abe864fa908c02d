#pragma once

#include "core/LineTool.h"

#include <string>
#include <string_view>
#include <utility>

namespace torvel {

inline constexpr std::string_view kReplaceTag = "SubPalavra";
inline constexpr std::string_view kDeleteTag = "DelPalavra";

struct ReplaceOptions {
    std::string find, with;
};

// Replaces the leftmost occurrence of the search text in the line as read.
class ReplaceTool : public LineTool {
public:
    explicit ReplaceTool(ReplaceOptions options)
        : options_(std::move(options))
    { }

    std::string tag() const override { return std::string(kReplaceTag); }
    std::string progressCaption() const override;
    std::string describe() const override;
    FunctionCall call() const override;
    std::string_view keepsLinesWithout() const override { return options_.find; }
    LineAction apply(std::string_view line, std::string& out) override;

private:
    ReplaceOptions options_;
};

struct DeleteOptions {
    enum class Mode { None, Text, Lines };
    std::string find;
    Mode mode = Mode::None;
};

// Text: drops the leftmost occurrence from the trimmed line.
// Lines: removes every line that holds the text and is not blank-only.
// None: changes nothing, yet describes itself as the line deletion.
class DeleteTool : public LineTool {
public:
    explicit DeleteTool(DeleteOptions options)
        : options_(std::move(options))
    { }

    std::string tag() const override { return std::string(kDeleteTag); }
    std::string progressCaption() const override;
    std::string describe() const override;
    FunctionCall call() const override;
    bool trimsLine() const override { return options_.mode == DeleteOptions::Mode::Text; }
    bool removesLines() const override { return options_.mode == DeleteOptions::Mode::Lines; }
    std::string_view keepsLinesWithout() const override
    {
        return options_.mode == DeleteOptions::Mode::None ? std::string_view() : options_.find;
    }
    LineAction apply(std::string_view line, std::string& out) override;

private:
    DeleteOptions options_;
};

} // namespace torvel
