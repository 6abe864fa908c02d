#pragma once

#include "core/ProgramText.h"

#include <string>
#include <string_view>

namespace torvel {

// The commands that act at once on one row, without a range: the window runs them on
// the caret line, torvel-batch on --line.
enum class LineCommand { Edit, Insert, Delete };

// The name of the command's entry in the history list.
std::string_view historyTag(LineCommand command);

struct LineCommandResult {
    std::string description;
    long long row; // the row acted on, 1-based, after clamping
    long long caretRow; // where the caret goes afterwards, 1-based
};

// The caret's row on this text: beyond the last line counts as the last, below 1
// as 1; an empty text still has row 1.
long long clampRow(const ProgramText& text, long long row);

// Replaces the row's text, also when it is unchanged; line breaks in the new text
// split it into lines, as typing them into the editor would.
LineCommandResult editLine(ProgramText& text, long long row, std::string_view newText);
// An empty line at the row; the old line moves down by one.
LineCommandResult insertLine(ProgramText& text, long long row);
// The row leaves the text and the lines after it move up; the only line of a
// text is emptied instead.
LineCommandResult deleteLine(ProgramText& text, long long row);

// One of the three above; `newText` is the edited line's (Edit only).
LineCommandResult applyLineCommand(
    ProgramText& text, LineCommand command, long long row, std::string_view newText = {});

} // namespace torvel
