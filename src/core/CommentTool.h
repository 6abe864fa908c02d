#pragma once

#include "core/LineTool.h"

#include <string>
#include <string_view>
#include <utility>

namespace torvel {

inline constexpr std::string_view kCommentTag = "Comentário";

struct CommentOptions {
    std::string find, open, close;
};

// Encloses every line that holds the search text, as read, between the opening
// and the closing text. Lines already commented are enclosed again.
class CommentTool : public LineTool {
public:
    explicit CommentTool(CommentOptions options)
        : options_(std::move(options))
    { }

    std::string tag() const override { return std::string(kCommentTag); }
    std::string progressCaption() const override;
    std::string describe() const override;
    FunctionCall call() const override;
    std::string_view keepsLinesWithout() const override { return options_.find; }
    LineAction apply(std::string_view line, std::string& out) override;

private:
    CommentOptions options_;
};

} // namespace torvel
