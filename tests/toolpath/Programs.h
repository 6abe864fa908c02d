#pragma once

#include "toolpath/Interpreter.h"

#include <string_view>
#include <vector>

// The lines of a program written with "\n" between them.
inline std::vector<std::string_view> linesOf(std::string_view program)
{
    std::vector<std::string_view> lines;
    size_t begin = 0;
    for (size_t i = 0; i <= program.size(); ++i) {
        if (i == program.size() || program[i] == '\n') {
            lines.push_back(program.substr(begin, i - begin));
            begin = i + 1;
        }
    }
    return lines;
}

inline torvel::Toolpath interpretText(std::string_view program, const torvel::InterpretOptions& options = {})
{
    return *torvel::interpret(linesOf(program), options);
}
