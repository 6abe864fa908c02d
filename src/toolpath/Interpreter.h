#pragma once

#include "toolpath/Toolpath.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace torvel {

struct InterpretOptions {
    // The block delete switch: when on, lines that start with "/" are passed over.
    bool skipBlockDelete = false;
    // The rapid rate (mm/min) the time estimate assumes; the machine's is not known here.
    double rapidRate = 5000;
    // Arc centres absolute from the start (as after G90.1), for a program written for a
    // control set that way.
    bool absoluteArcCentres = false;
};

struct InterpreterState;

// Reads a program line by line as a control would and records its motions.
//
// State at the start: G0 (as most controls power up), G17, G90, incremental
// arc centres (G91.1), G21 (millimetres), G94, G97, G98, G8 (radius mode),
// G54, tool 0, no G92 offset. Results are in millimetres (inch values times
// 25.4). The position is unknown until a line programs it: each
// axis is taken to start at the first value it receives, so no move is drawn
// from an origin no line named, and an axis never programmed stays 0.
//
// What a backplot cannot know is assumed and documented: machine coordinates
// (G53, the G28/G30 reference points, 0 unless G28.1/G30.1 set them) coincide
// with the work coordinates; work offsets G54 to G59.3 are all zero; cutter
// and tool length compensation are not applied (the programmed contour is
// drawn). G7 halves X words, never I or R. Dwells (G4 and the cycles' P) are
// in seconds. Under G95 the feed is F times S when S is a speed (G97).
//
// Order within a block: feed mode, units, F, S, plane, T and M6,
// compensation, work system, distance modes, retract mode, then G4, G10,
// G28, G30, G52, G92 (which take the block's X Y Z), then the motion, then
// M2/M30. With G18 active a T word alone changes the tool (a lathe turret);
// otherwise it takes M6.
// Several words of one modal group in a block: the last counts, except that
// G80 beside G0 to G3 ("G00 G17 G80 G90", a safe start) only cancels the
// cycle, as on Fanuc-style controls. Nothing
// throws on program input: what cannot be evaluated becomes a note.
//
// Canned cycles G73, G81 to G89 are drawn stroke by stroke in the active
// plane (the drill axis is its normal): up to R first if below it, rapid to
// the hole, rapid to R, the cycle's strokes (G73 and G83 with their pecks of
// Q, retracting 0.254 mm or to R), back to R (G99) or to the greater of the
// start height and R (G98); L repeats. R and the depth stay in force until
// G80 or another motion code. Lines after M2 or M30 and the bodies of
// "O... sub" are not interpreted; subprograms are not followed.
class Interpreter {
public:
    // `expectedLines` sizes the storage ahead, so that it does not grow by copies.
    explicit Interpreter(InterpretOptions options = {}, size_t expectedLines = 0);
    ~Interpreter();
    Interpreter(Interpreter&&) noexcept;
    Interpreter& operator=(Interpreter&&) noexcept;

    // The next line of the program (its index is linesRead() before the call).
    void readLine(std::string_view line);
    size_t linesRead() const;
    // The toolpath of the lines read, measured and indexed; the interpreter is spent.
    Toolpath finish();

private:
    std::unique_ptr<InterpreterState> state_;
};

// The whole program at once. `keepGoing` is asked before the first line and
// then every 65536 lines with the number of lines done; false cancels, and
// the result is then empty. Reads nothing but its arguments, so any thread
// may run it over an immutable snapshot of the text.
std::optional<Toolpath> interpret(std::span<const std::string_view> lines, const InterpretOptions& options = {},
    const std::function<bool(size_t linesDone)>& keepGoing = {});

} // namespace torvel
