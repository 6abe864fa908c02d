#pragma once

#include "core/FunctionCall.h"

#include <string>
#include <string_view>

namespace torvel {

// What a tool does with one examined line.
enum class LineAction {
    Keep, // leave the line
    Replace, // new text in `out`, stored under the write-back rule
    Rewrite, // new text in `out` that differs from the line even when both are trimmed:
             // stored without the write-back rule's comparison
    InsertBefore, // `out` becomes a new line before this one; the new line is not examined
    InsertAfter, // `out` becomes a new line after this one; the new line is not examined
    Remove, // the line leaves the text; the next line moves up and is examined next
};

// One function applied to the lines of a range by the run protocol. A tool
// keeps its own per-run state (counters, remembered positions) and is reset
// by begin() at the start of every run.
class LineTool {
public:
    virtual ~LineTool() = default;

    virtual std::string tag() const = 0; // history tag, e.g. "AddEspaço"
    virtual std::string progressCaption() const = 0; // progress window caption
    // The tool's own description lines, appended behind the range header
    // (lines separated by CR LF, no break after the last).
    virtual std::string describe() const = 0;
    // The torvel-batch call that builds this tool, its texts as the program's bytes (see
    // recordedCall); none for a tool no call builds.
    virtual FunctionCall call() const { return {}; }

    // Whether the line handed to apply() is trimmed first.
    virtual bool trimsLine() const { return false; }
    // Whether blank-only lines are skipped (not handed to apply()).
    virtual bool skipsBlankLines() const { return false; }
    // Whether the loop runs at all (a renumbering with nothing chosen does not).
    virtual bool runsLoop() const { return true; }
    // Removing tools examine exactly as many lines as the range had at the start.
    virtual bool removesLines() const { return false; }
    // Coordinate tools ask for the view to be refreshed while they run.
    virtual bool refreshesView() const { return false; }
    // A line that does not hold this text, as read, is kept and leaves the tool as it was,
    // so the run may pass over such lines unexamined. Empty: every line is examined.
    virtual std::string_view keepsLinesWithout() const { return {}; }

    // Whether the lines before the range are handed to readBefore() after begin(): a tool
    // that follows the program's modes learns those in force where the range starts.
    virtual bool readsLinesBefore() const { return false; }
    virtual void readBefore(std::string_view /*line*/) { }

    virtual void begin() { }
    // May throw ConversionError, which stops the run at this line.
    virtual LineAction apply(std::string_view line, std::string& out) = 0;
};

} // namespace torvel
