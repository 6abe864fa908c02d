#pragma once

#include "core/LineTool.h"

#include <string>
#include <string_view>

namespace torvel {

inline constexpr std::string_view kRenumberTag = "EditNúmero";

struct RenumberOptions {
    bool digitsOn = false; // "Número de Dígitos ="
    long long width = 1; // minimum number of digits, used when digitsOn
    bool renumberOn = false; // "Renumerar"
    long long start = 0;
    long long step = 1;
};

// Rewrites the N word that opens a line (upper-case N as first non-blank, then
// digits): a fresh sequence number, or the old number without leading zeros,
// padded with zeros to the width. The line's leading blanks move behind the
// new word; everything after the old word stays as it was. Lines without such
// a word are kept and take no number.
class RenumberTool : public LineTool {
public:
    explicit RenumberTool(RenumberOptions options)
        : options_(options)
    { }

    std::string tag() const override { return std::string(kRenumberTag); }
    std::string progressCaption() const override;
    std::string describe() const override;
    FunctionCall call() const override;
    bool skipsBlankLines() const override { return true; }
    bool runsLoop() const override { return options_.digitsOn || options_.renumberOn; }
    void begin() override;
    LineAction apply(std::string_view line, std::string& out) override;

private:
    RenumberOptions options_;
    long long counter_ = 0;
};

} // namespace torvel
