#pragma once

// What the window measurements share: the generated program they open and
// their timing helpers.

#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace perf {

// A milling program of plausible shape: numbered blocks, moves, arcs, comments.
inline long long writeProgram(const QString& path, long long lines)
{
    std::ofstream out(QFile::encodeName(path).constData(), std::ios::binary);
    std::string block;
    long long bytes = 0;
    for (long long i = 1; i <= lines; ++i) {
        block.clear();
        block += 'N';
        block += std::to_string(i * 10);
        switch (i % 8) {
        case 0:
            block += " G02 X" + std::to_string(i % 997) + ".125 Y-" + std::to_string(i % 613) + ".5 I2.5 J-1.25 F300";
            break;
        case 1:
            block += " G00 X" + std::to_string(i % 911) + ".001 Y" + std::to_string(i % 577) + ".25 Z5.";
            break;
        case 2:
            block += " (DESBASTE PASSADA " + std::to_string(i % 50) + ")";
            break;
        default:
            block += " G01 X" + std::to_string(i % 997) + ".375 Y" + std::to_string(i % 613) + ".75 Z-1.5 F150";
            break;
        }
        block += "\r\n";
        out << block;
        bytes += static_cast<long long>(block.size());
    }
    return bytes;
}

// Writes and reads a buffer larger than the processor's caches.
inline void evictCaches()
{
    static std::vector<char> junk(size_t(64) << 20);
    static char round = 0;
    ++round;
    for (size_t i = 0; i < junk.size(); i += 64)
        junk[i] = static_cast<char>(junk[i] + round);
    volatile char sink = junk[static_cast<size_t>(round) * 4096];
    (void)sink;
}

inline double ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace perf
