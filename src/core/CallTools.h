#pragma once

#include "core/CoordinateTools.h"
#include "core/FunctionCall.h"
#include "core/LineCommands.h"
#include "core/LineTool.h"
#include "core/RunProtocol.h"

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

namespace torvel {

// How the texts of a call (--find, --with, --text, --open, --close and the axis values)
// become what the tools take.
struct CallReading {
    // torvel-batch's own arguments are bytes used as they are; the window's fields and
    // recipes hold UTF-8 text, which goes into the program in the program's own encoding,
    // as typing it into a dialog does.
    enum class Texts { AsGiven, Utf8Program, Windows1252Program };
    Texts texts = Texts::AsGiven;
    // Recipes and the window's calls write axis values with '.', whatever separator the call
    // names; torvel-batch's own arguments are typed with the separator itself.
    bool pointValues = false;

    // Recipe texts read for this program, as the window reads what is typed for it.
    static CallReading forProgram(bool utf8Program)
    {
        return {utf8Program ? Texts::Utf8Program : Texts::Windows1252Program, true};
    }
};

// --from and --to: the whole file without them. Usage errors for one without the other, a
// range on a line command and a number outside 1 to 100000000.
Range callRange(const FunctionCall& call);
// --decimal-separator: '.' (default) or ','.
char callSeparator(const FunctionCall& call);

// The options of the coordinate functions, as their dialogs gather them.
TranslateOptions translateOptions(const FunctionCall& call, const CallReading& reading);
MirrorOptions mirrorOptions(const FunctionCall& call, const CallReading& reading);
ArcsOptions arcsOptions(const FunctionCall& call, const CallReading& reading);

// The tool of a range function, built from the options as the function's dialog builds it
// from its fields; none for the line commands and html. Throws UsageError.
std::unique_ptr<LineTool> makeTool(const FunctionCall& call, const CallReading& reading);

// A line command with its row (--line) and, for edit-line, the new text (--text).
struct LineEdit {
    LineCommand command;
    long long row = 1;
    std::string text;
};
// None for the other functions. Throws UsageError.
std::optional<LineEdit> lineEdit(const FunctionCall& call, const CallReading& reading);

// Every check running the call makes before it touches a program.
void checkCall(const FunctionCall& call);

// Runs the call on the document as its dialog (or a line command's menu item) does: through
// the run protocol, with the call kept in the history entry. A line command's entry keeps the
// row it acted on, after clamping. Throws UsageError before anything is touched.
RunResult runCall(Document& doc, const FunctionCall& call, const CallReading& reading, RunObserver& observer);

// What the history entry of a function run from the window keeps: the tool's call with its
// texts turned from the program's bytes into the UTF-8 the user typed, and the range as
// --from and --to. Read back with CallReading::forProgram, it builds the same tool.
FunctionCall recordedCall(const LineTool& tool, const Range& range, bool utf8Program);
// The same for a line command at `row`; `newText` (edit-line's) as the program's bytes.
FunctionCall lineCommandCall(LineCommand command, long long row, std::string_view newText, bool utf8Program);

// A whole number from `low` to `high`, or a usage error naming the option.
long long wholeNumber(const std::string& option, const std::string& text, long long low, long long high);
// The row of a line command (--line): a whole number from 1; a row past the end counts as
// the last line, however far past.
long long lineRow(const std::string& text);
// Which one of the named flags is given; a usage error unless exactly one is.
int exactlyOne(const FunctionCall& call, std::initializer_list<const char*> names);

} // namespace torvel
