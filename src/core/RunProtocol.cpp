#include "core/RunProtocol.h"

#include "core/Blank.h"
#include "core/Errors.h"

#include <algorithm>
#include <new>

namespace torvel {

std::string rangeHeader(const Range& range)
{
    if (range.wholeFile)
        return "Função Aplicada em todo Arquivo\r\n";
    return "Função aplicadada da linha " + std::to_string(range.first) + " até a linha " + std::to_string(range.last)
        + " do arquivo\r\n";
}

namespace {

struct Cancelled { };

// Walks the original lines of the range once. Lines are rewritten in place until a
// tool inserts or removes one; from then on the list is rebuilt in a single pass,
// so inserting or deleting many lines costs no more than rewriting them.
// `current` names the line being worked on, so that a failure can say which.
void examine(ProgramText& text, LineTool& tool, const Range& range, RunObserver& observer, long long& current)
{
    const auto count = static_cast<long long>(text.count());
    const long long start = std::max(0LL, range.wholeFile ? 0 : range.first - 1);
    // Past the end every line reads empty and no tool changes an empty line.
    const long long end = std::min(count - 1, range.wholeFile ? count - 1 : range.last - 1);
    const bool trims = tool.trimsLine();
    const bool skipsBlank = tool.skipsBlankLines();
    const bool removing = tool.removesLines();
    const std::string_view needle = tool.keepsLinesWithout();
    // Fetched again after each change of the text: a change made while a copy shares
    // the list moves the list.
    const std::vector<std::string_view>* lines = &text.lines();

    std::vector<std::string_view> built;
    bool building = false;
    auto startBuilding = [&](long long upTo) {
        building = true;
        built.reserve(lines->size() + lines->size() / 8 + 16);
        adviseHugePages(built.data(), built.capacity() * sizeof(std::string_view));
        built.assign(lines->begin(), lines->begin() + upTo);
    };

    if (tool.readsLinesBefore()) {
        for (long long i = 0; i < std::min(start, count); ++i) {
            const std::string_view original = (*lines)[static_cast<size_t>(i)];
            tool.readBefore(trims ? trimmed(original) : original);
        }
    }

    std::string out;
    const long long linesPerCall = std::max(1LL, observer.linesPerCall());
    long long untilCall = 1;
    for (long long i = start; i <= end; ++i) {
        current = i;
        if (--untilCall == 0) {
            untilCall = linesPerCall;
            if (observer.progress(removing ? i - start : i))
                throw Cancelled {};
        }
        if (!needle.empty()) {
            // Lines that cannot hold the text are kept unexamined, as far as the next
            // question to the observer; the view follows them as if they had been examined.
            const long long last = untilCall - 1 >= end - i ? end : i + untilCall - 1;
            const long long next = text.firstLineThatMayHold(needle, i, last);
            if (next > i) {
                const long long at = building ? static_cast<long long>(built.size()) : i;
                if (building)
                    built.insert(built.end(), lines->begin() + i, lines->begin() + next);
                if (!removing)
                    for (long long f = (at + 999) / 1000 * 1000; f < at + (next - i); f += 1000)
                        observer.follow(f);
                untilCall -= next - 1 - i;
                i = next - 1;
                continue;
            }
        }
        const std::string_view original = (*lines)[static_cast<size_t>(i)];
        std::string_view line = trims ? trimmed(original) : original;
        LineAction action = LineAction::Keep;
        if (!(skipsBlank && isBlankOnly(line)))
            action = tool.apply(line, out);
        switch (action) {
        case LineAction::Keep:
            if (building)
                built.push_back(original);
            break;
        case LineAction::Replace:
            // Write-back rule: a change only at the ends of the line is not written.
            if (trimmed(out) == trimmed(original)) {
                if (building)
                    built.push_back(original);
                break;
            }
            [[fallthrough]];
        case LineAction::Rewrite:
            if (building) {
                built.push_back(text.storeBytes(out));
            } else {
                text.replace(i, out);
                lines = &text.lines();
            }
            break;
        case LineAction::InsertBefore:
            if (!building)
                startBuilding(i);
            built.push_back(text.storeBytes(out));
            built.push_back(original);
            break;
        case LineAction::InsertAfter:
            if (!building)
                startBuilding(i);
            built.push_back(original);
            built.push_back(text.storeBytes(out));
            break;
        case LineAction::Remove:
            if (!building)
                startBuilding(i);
            break;
        }
        if (!removing) {
            // Where the line stands now, past the lines inserted above it.
            const long long at = building ? static_cast<long long>(built.size()) - 1 : i;
            if (at % 1000 == 0)
                observer.follow(at);
        }
    }
    if (building) {
        built.insert(built.end(), lines->begin() + std::max(start, end + 1), lines->end());
        text.replaceAllLines(std::move(built));
    }
}

} // namespace

RunResult runFunction(
    Document& doc, LineTool& tool, const Range& range, RunObserver& observer, const FunctionCall& call)
{
    RunResult result;
    doc.undo.store(doc.text);
    result.description = rangeHeader(range) + tool.describe();
    long long current = 0;
    try {
        if (tool.runsLoop()) {
            observer.started(tool.progressCaption(), static_cast<long long>(doc.text.count()));
            tool.begin();
            examine(doc.text, tool, range, observer, current);
        }
    } catch (const Cancelled&) {
        doc.undo.undo(doc.text);
        result.status = RunResult::Status::Cancelled;
        return result;
    } catch (const Error& e) {
        doc.undo.undo(doc.text);
        result.status = RunResult::Status::Failed;
        result.message = e.what();
        result.line = current + 1;
        return result;
    } catch (const std::bad_alloc&) {
        // Not a fault of a line: the text goes back as it was and the caller says why.
        doc.undo.undo(doc.text);
        throw;
    }
    result.historyNumber = doc.history.record(tool.tag(), result.description, call);
    return result;
}

RunResult runEdit(
    Document& doc, std::string_view tag, const std::function<std::string(ProgramText&)>& edit, const FunctionCall& call)
{
    RunResult result;
    doc.undo.store(doc.text);
    result.description = edit(doc.text);
    result.historyNumber = doc.history.record(tag, result.description, call);
    return result;
}

bool undoFunction(Document& doc)
{
    // Every recorded function holds one snapshot, so a snapshot given back is the latest
    // function's; an undo that finds none undoes nothing.
    const bool hadSnapshot = doc.undo.index() > 0 && doc.undo.slotOccupied(doc.undo.index());
    const bool changed = doc.undo.undo(doc.text);
    if (hadSnapshot)
        doc.history.markLatestUndone();
    return changed;
}

} // namespace torvel
