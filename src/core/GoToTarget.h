#pragma once

#include "core/ProgramText.h"

#include <string>
#include <string_view>

namespace torvel {

// Where "Ir para" leads: a 0-based line, or a sentence for the user.
struct GoToResult {
    long long line = -1;
    std::string error;
    bool found() const { return error.empty(); }
};

// Reads what the user typed: a line number counted from 1 ("734211"), or a block
// number ("N1230", "n 1230"), which leads to the first line whose N word carries that
// number. A line's N word is its first word after blanks and a block-delete slash
// (with or without its level digit): N or n, then digits; leading zeros do not count.
GoToResult resolveGoTo(const ProgramText& text, std::string_view typed);

// The number of the line's N word, without leading zeros; empty when it has none.
std::string_view blockNumberOf(std::string_view line);

} // namespace torvel
