#pragma once

#include "core/ProgramText.h"

#include <string>
#include <vector>

// Program texts written and read as plain lists of lines in the tool tests.
using Lines = std::vector<std::string>;

inline torvel::ProgramText toText(const Lines& lines)
{
    torvel::ProgramText t;
    std::vector<std::string_view> views(lines.begin(), lines.end());
    t.setLines(views);
    return t;
}

inline Lines toLines(const torvel::ProgramText& text) { return Lines(text.lines().begin(), text.lines().end()); }
