#pragma once

#include "core/LineTool.h"

#include <string>
#include <string_view>

namespace torvel {

inline constexpr std::string_view kInsertTag = "InsPalavra";

// A block of its own begins with this N word, which renumbering treats like any other.
inline constexpr std::string_view kInsertedBlockPrefix = "N00 ";

struct InsertOptions {
    std::string find, text;
    int mode = 0; // 0 none, 1 at the end of the line, 2 new block before it, 3 new block after it
};

// Adds the text wherever a line, as read, holds the search text. A text that is
// empty or blank-only adds nothing, so it triggers nothing.
class InsertTool : public LineTool {
public:
    explicit InsertTool(InsertOptions options);

    std::string tag() const override { return std::string(kInsertTag); }
    std::string progressCaption() const override;
    std::string describe() const override;
    FunctionCall call() const override;
    std::string_view keepsLinesWithout() const override { return options_.find; }
    LineAction apply(std::string_view line, std::string& out) override;

private:
    InsertOptions options_;
    std::string block_; // the new line of modes 2 and 3
    bool canTrigger_ = false;
};

} // namespace torvel
