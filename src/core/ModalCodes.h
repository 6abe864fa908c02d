#pragma once

#include <cstdint>
#include <string_view>

namespace torvel {

// The plane arcs turn in, named by its two axes: G17 XY, G18 ZX, G19 YZ.
enum class CodePlane : uint8_t { XY, ZX, YZ };

constexpr bool planeHolds(CodePlane plane, char axis)
{
    switch (plane) {
    case CodePlane::XY:
        return axis == 'X' || axis == 'Y';
    case CodePlane::ZX:
        return axis == 'Z' || axis == 'X';
    case CodePlane::YZ:
        return axis == 'Y' || axis == 'Z';
    }
    return false;
}

// The motion mode a control keeps from line to line.
enum class MotionCode : uint8_t { None, Rapid, Feed, ArcCw, ArcCcw, Cycle, Other };

// What one line says beyond the modes: codes that act on that line alone.
struct LineCodes {
    uint32_t letters = 0; // bit (letter - 'A') of every word with a number, either case; G and M too
    bool machine = false; // G53: the line's axes are machine coordinates
    bool preset = false; // G92, G92.1 to G92.3, G10, G52, or G50 with axes: it names a position, it moves nothing
    bool home = false; // G28, G30 and their .1
    bool latheCycle = false; // G70 to G76: a cycle that takes the line's words as its parameters
    bool motionCode = false; // the line writes a motion code (G80 included)
    MotionCode written = MotionCode::None; // the last motion code it writes, G80 apart
    bool unitsCode = false; // the line writes G20 or G21

    bool has(char letter) const { return (letters >> (letter - 'A')) & 1u; }
};

// The modes in force, as a control reads the lines one after another: G0,
// G17, G90 and millimetres at the start. Letters count in either case,
// blanks may stand inside a word, comments run from "(" to ")" and from ";"
// or "%" to the end of the line. The coordinate tools' options and their
// verification read the modes here, so both see the same program.
class ModalCodes {
public:
    // Reads the line's codes; the modes then are those the line runs under.
    const LineCodes& read(std::string_view line);
    void reset() { *this = ModalCodes(); }

    const LineCodes& line() const { return line_; }
    bool incremental() const { return incremental_; }
    CodePlane plane() const { return plane_; }
    MotionCode motion() const { return motion_; }
    bool inch() const { return inch_; }

    // An arc block: G2 or G3 in force and no other code of the line that takes its words.
    bool arcLine() const
    {
        return (motion_ == MotionCode::ArcCw || motion_ == MotionCode::ArcCcw) && !line_.machine && !line_.preset
            && !line_.home && !line_.latheCycle;
    }
    // A canned cycle in force, or a lathe cycle in the line.
    bool cycleLine() const { return motion_ == MotionCode::Cycle || line_.latheCycle; }

private:
    void code(int tenths, bool& sawFeedCode, bool& sawCancel);

    LineCodes line_;
    bool incremental_ = false;
    CodePlane plane_ = CodePlane::XY;
    MotionCode motion_ = MotionCode::Rapid;
    bool inch_ = false;
};

} // namespace torvel
