#pragma once

#include <cstdint>
#include <string_view>

namespace torvel {

// Why the interpreter passed over something in a line. The texts are what the
// window and `torvel-batch info` show, followed by ": " and the word concerned
// where there is one ("código G desconhecido: G12"); scripts may rely on them.
enum class NoteReason : uint8_t {
    Parameter, // #1, #<name>, #1=2
    Expression, // [ ... ]
    Subprogram, // M98, M99, O100 call, G65, G66
    FlowControl, // O100 if / while / do / repeat ...
    UnknownG,
    NotApplied, // a known G code that changes what the drawing would show (G10, G68, G16 ...)
    CycleNotDrawn, // lathe cycles G70 to G76, back boring G87
    CurveAsLine, // splines G5, G5.1, G5.2
    InvalidNumber,
    UnknownText, // a character that starts no word ($0, @, stray digits)
    UnclosedComment,
    AxisNotDrawn, // A B C U V W, noted at the first line that uses each
    ArcWithoutCentre,
    ArcRadiusTooSmall,
    ArcWithoutChord, // R arc whose end is its start
    ArcRadiusMismatch,
    CycleWithoutR,
    CycleWithoutZ,
    AxesWithoutMotion, // coordinates under G80
    MachineCoordinatesNeedLine, // G53 with an arc or a cycle
    CutterCompensation,
    WorkOffsetUnknown, // G55... selected after the first move
    FeedMissing, // noted once
    FeedPerRevolution, // noted once
    AfterProgramEnd, // noted once
};

constexpr int kNoteReasonCount = static_cast<int>(NoteReason::AfterProgramEnd) + 1;

std::string_view reasonText(NoteReason reason);

} // namespace torvel
