#pragma once

#include <string>

// A milling program of `lines` blocks (about 33 bytes each), the same every run.
inline std::string millingProgram(long long lines, const char* lineBreak = "\r\n")
{
    std::string s;
    s.reserve(static_cast<size_t>(lines) * 36);
    unsigned x = 12345;
    for (long long i = 1; i <= lines; ++i) {
        x = x * 1103515245u + 12345u;
        const unsigned a = (x >> 8) % 100000, b = (x >> 4) % 70000;
        s += "N" + std::to_string(i * 10) + " G01 X" + std::to_string(a / 1000) + "." + std::to_string(a % 1000) + " Y-"
            + std::to_string(b / 1000) + "." + std::to_string(b % 100);
        if (i % 10 == 0)
            s += " M08";
        s += lineBreak;
    }
    return s;
}
