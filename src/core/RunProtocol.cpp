#include "core/RunProtocol.h"

#include "core/Blank.h"
#include "core/Errors.h"

#include <algorithm>

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

void examine(ProgramText& text, LineTool& tool, const Range& range, RunObserver& observer)
{
    const auto count = static_cast<long long>(text.count());
    const long long start = range.wholeFile ? 0 : range.first - 1;
    long long end = range.wholeFile ? count - 1 : range.last - 1;
    std::string out;

    if (tool.removesLines()) {
        // As many examinations as the range had lines; a removed line's successor moves up into its place.
        const long long examinations = std::max(0LL, end - start + 1);
        long long i = start;
        for (long long k = 0; k < examinations; ++k) {
            if (observer.progress(k))
                throw Cancelled {};
            if (i >= static_cast<long long>(text.count()))
                break;
            if (tool.apply(text.line(i), out) == LineAction::Remove)
                text.remove(i);
            else
                ++i;
        }
        return;
    }

    const bool trims = tool.trimsLine();
    const bool skipsBlank = tool.skipsBlankLines();
    for (long long i = std::max(0LL, start); i <= end; ++i) {
        if (observer.progress(i))
            throw Cancelled {};
        // Past the end every line reads empty and no tool changes an empty line.
        if (i >= static_cast<long long>(text.count()))
            break;
        std::string_view line = text.line(i);
        if (trims)
            line = trimmed(line);
        if (skipsBlank && isBlankOnly(line))
            continue;
        switch (tool.apply(line, out)) {
        case LineAction::Keep:
            break;
        case LineAction::Replace:
            if (trimmed(out) != trimmed(text.line(i)))
                text.replace(i, out);
            break;
        case LineAction::InsertBefore:
            text.insert(i, out);
            ++i;
            ++end;
            break;
        case LineAction::InsertAfter:
            text.insert(i + 1, out);
            ++i;
            ++end;
            break;
        case LineAction::Remove:
            text.remove(i);
            --i;
            --end;
            break;
        }
        if (i % 1000 == 0)
            observer.follow(i);
    }
}

} // namespace

RunResult runFunction(Document& doc, LineTool& tool, const Range& range, RunObserver& observer)
{
    RunResult result;
    doc.undo.store(doc.text);
    result.description = rangeHeader(range) + tool.describe();
    long long position = 0;
    struct Tracker : RunObserver {
        RunObserver& inner;
        long long& position;
        Tracker(RunObserver& o, long long& p)
            : inner(o)
            , position(p)
        { }
        void started(std::string_view c, long long m) override { inner.started(c, m); }
        bool progress(long long p) override
        {
            position = p;
            return inner.progress(p);
        }
        void follow(long long row) override { inner.follow(row); }
    } tracker(observer, position);

    try {
        if (tool.runsLoop()) {
            tracker.started(tool.progressCaption(), static_cast<long long>(doc.text.count()));
            tool.begin();
            examine(doc.text, tool, range, tracker);
        }
    } catch (const Cancelled&) {
        doc.undo.undo(doc.text);
        result.status = RunResult::Status::Cancelled;
        return result;
    } catch (const Error& e) {
        doc.undo.undo(doc.text);
        result.status = RunResult::Status::Failed;
        result.message = e.what();
        result.line = position + 1;
        return result;
    }
    result.historyNumber = doc.history.record(tool.tag(), result.description);
    return result;
}

RunResult runEdit(Document& doc, std::string_view tag, const std::function<std::string(ProgramText&)>& edit)
{
    RunResult result;
    doc.undo.store(doc.text);
    result.description = edit(doc.text);
    result.historyNumber = doc.history.record(tag, result.description);
    return result;
}

} // namespace torvel
