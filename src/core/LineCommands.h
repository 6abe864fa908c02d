#pragma once

#include "core/ProgramText.h"

#include <string>
#include <string_view>

namespace torvel {

inline constexpr std::string_view kEditLineTag = "Editar Linha";
inline constexpr std::string_view kInsertLineTag = "Inserir";
inline constexpr std::string_view kDeleteLineTag = "Deletar";

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

} // namespace torvel
