#pragma once

#include "core/CallTools.h"
#include "core/CoordinateTools.h"
#include "core/RunProtocol.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace torvel {

// Why a line's result is not the transform the function means. The texts are
// what the window and `torvel-batch --verify` show, after "line N: "; scripts
// may rely on them.
enum class FindingReason : uint8_t {
    IncrementalShifted, // translation of a word of a G91 block
    MachineCoordinatesChanged, // a G53 word changed
    PresetChanged, // a G92, G10, G52 or G50 word changed
    ArcCentreNotMirrored, // mirrored arc whose I or J kept its sign
    ArcDirectionWrongPlane, // G02/G03 exchanged where the plane holds no mirrored axis, or both
    ArcDirectionKept, // G02/G03 not exchanged where the plane holds one mirrored axis
    KNotConverted, // G18/G19 arc whose K stayed as it was
    CycleWordConverted, // I, J or K converted on a line that is no arc (G76 and other cycles)
    CentreWordMissing, // an arc without one of its centre words, which conversion cannot supply
    WordAfterComment, // a word the control reads after a comment, left as it was
    LowerCaseWord, // x, y, i ... left as they were
    BlankAfterLetter, // "X 10" left as it was
    ENotation, // "9.99999999999998E-5": a number many controls refuse
    UnitChange, // G20/G21 inside the range: the value typed no longer means the same distance
    PathDiffers, // none of the above explains the difference
};

constexpr int kFindingReasonCount = static_cast<int>(FindingReason::PathDiffers) + 1;

// The reason in plain Portuguese.
std::string_view findingText(FindingReason reason);

struct Finding {
    uint32_t line = 0; // 0-based
    FindingReason reason = FindingReason::PathDiffers;
    std::string detail; // the word concerned, as written; may be empty

    // "reason" or "reason: detail".
    std::string text() const;
    bool operator==(const Finding&) const = default;
};

// What a coordinate function means to do to the toolpath, whatever its text does.
struct FunctionMeaning {
    enum class Kind : uint8_t { Translate, Mirror, ArcCentres, Nothing };
    Kind kind = Kind::Nothing;
    bool axes[3] = {false, false, false}; // X Y Z translated, or X Y mirrored
    double offset[3] = {0, 0, 0}; // translation, program units
    bool toAbsolute = true; // arc centres
};

FunctionMeaning meaningOf(const TranslateOptions& options);
FunctionMeaning meaningOf(const MirrorOptions& options);
FunctionMeaning meaningOf(const ArcsOptions& options);
// The meaning of a call of torvel-batch or a recipe; Nothing for the other functions.
FunctionMeaning meaningOf(const FunctionCall& call, const CallReading& reading);

// The lines of a range that a run examines, 0-based and inclusive; empty when first > last.
struct LineSpan {
    size_t first = 1;
    size_t last = 0;
    bool empty() const { return first > last; }
};
LineSpan rangeLines(const Range& range, size_t lineCount);

// Interprets the program before and after the function (on two threads) and
// compares every motion of the range's lines with what the function means:
// a translation moves each point by the offset (points in machine coordinates
// stay), a mirror mirrors them and turns arcs the other way in a plane that
// holds one mirrored axis, an arc-centre conversion draws the same path under
// the other centre mode. A line is judged by what it does itself: an error
// carried in from the line before is not its own. Words a control refuses, or
// that move what must not move, are found in the text. `before` and `after`
// hold the same number of lines. `keepGoing` false cancels (no result).
std::optional<std::vector<Finding>> verify(std::span<const std::string_view> before,
    std::span<const std::string_view> after, const FunctionMeaning& meaning, LineSpan range,
    const std::function<bool()>& keepGoing = {});

} // namespace torvel
