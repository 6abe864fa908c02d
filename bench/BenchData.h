#pragma once

#include <string>

// A milling program of `lines` blocks (about 30 bytes each), the same every run.
inline std::string millingProgram(long long lines, const char* lineBreak = "\r\n")
{
    std::string s;
    s.reserve(static_cast<size_t>(lines) * 36);
    unsigned x = 12345;
    for (long long i = 1; i <= lines; ++i) {
        x = x * 1103515245u + 12345u;
        const unsigned a = (x >> 8) % 100000, b = (x >> 4) % 70000;
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on long + chains.
        s.append("N").append(std::to_string(i * 10));
        s.append(" G01 X").append(std::to_string(a / 1000)).append(".").append(std::to_string(a % 1000));
        s.append(" Y-").append(std::to_string(b / 1000)).append(".").append(std::to_string(b % 100));
        if (i % 10 == 0)
            s.append(" M08");
        s.append(lineBreak);
    }
    return s;
}
