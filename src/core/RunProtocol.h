#pragma once

#include "core/History.h"
#include "core/LineTool.h"
#include "core/ProgramText.h"
#include "core/UndoRing.h"

#include <functional>
#include <string>
#include <string_view>

namespace torvel {

// The text a function works on, with its undo ring and history.
struct Document {
    ProgramText text;
    UndoRing undo;
    History history;
};

// "Aplicar em todo Arquivo" or "Aplicar da linha" first "até" last (1-based, inclusive).
struct Range {
    bool wholeFile = true;
    long long first = 1;
    long long last = 1;
};

std::string rangeHeader(const Range& range);

// The window's side of a run: gauge, cancel and keeping the view in step.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    virtual void started(std::string_view /*caption*/, long long /*maximum*/) { }
    // Called before the first examined line and then before every linesPerCall()th;
    // true means the user cancelled. An observer whose answer can change only inside
    // its own calls loses nothing by being asked less often.
    virtual bool progress(long long /*position*/) { return false; }
    virtual long long linesPerCall() const { return 1; }
    // At every line that stands at a multiple of 1000 in the text as it is now: the view
    // may follow the run there.
    virtual void follow(long long /*row*/) { }
};

struct RunResult {
    enum class Status { Done, Cancelled, Failed };
    Status status = Status::Done;
    int historyNumber = 0; // k of the recorded function when Done
    std::string description; // the description text built by the run
    std::string message; // the error text when Failed
    long long line = 0; // 1-based line of the failure
    long long caretRow = 0; // a line command's: where the caret goes (1-based)
};

// Snapshot, range header and description, the line loop with the write-back
// rule, and the history entry. Cancel and conversion errors give the snapshot
// back, step the undo index back and record nothing; so does running out of
// memory, whose std::bad_alloc then goes on to the caller. The history entry keeps `call`.
RunResult runFunction(
    Document& doc, LineTool& tool, const Range& range, RunObserver& observer, const FunctionCall& call = {});

// A function without range or loop (the line commands): snapshot, edit, history entry.
RunResult runEdit(Document& doc, std::string_view tag, const std::function<std::string(ProgramText&)>& edit,
    const FunctionCall& call = {});

// The user's undo (Del_undo): the text before the latest function comes back, and that
// function is left out of the recipes saved from now on. Returns whether the text changed.
bool undoFunction(Document& doc);

} // namespace torvel
