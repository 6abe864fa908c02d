// Every tool through the run protocol against the same tool applied to each
// line by hand with the write-back rule, on a plain list of lines. A run that
// ends gives that text, one history entry and an undo snapshot that brings the
// text back; a cancelled or failed run gives back the exact text and records
// nothing. The spaces and renumbering rules are also checked against their
// plain statement, and the line commands through their own protocol.

#include "FuzzSupport.h"
#include "NaiveTokenizer.h"

#include "core/Blank.h"
#include "core/CoordinateTools.h"
#include "core/Errors.h"
#include "core/LineCommands.h"
#include "core/RunProtocol.h"
#include "core/TextTools.h"

#include <charconv>
#include <memory>

using namespace torvel;
using namespace torvel::fuzz;

namespace {

using Lines = std::vector<std::string>;

std::string shownLines(const Lines& lines)
{
    std::string s;
    for (const std::string& l : lines)
        s += shown(l) + " ";
    return s;
}

Lines linesOf(const ProgramText& text) { return Lines(text.lines().begin(), text.lines().end()); }

// A tool whose every answer the input chooses: mixes of inserts, removals and
// failures that no single real tool makes.
class ScriptedTool : public LineTool {
public:
    ScriptedTool(std::string_view script, uint8_t flags)
        : script_(script)
        , flags_(flags)
    { }
    std::string tag() const override { return "Roteiro"; }
    std::string progressCaption() const override { return "Executando roteiro..."; }
    std::string describe() const override { return "Roteiro"; }
    bool trimsLine() const override { return flags_ & 1; }
    bool skipsBlankLines() const override { return flags_ & 2; }
    bool removesLines() const override { return flags_ & 4; }
    void begin() override { next_ = 0; }
    LineAction apply(std::string_view line, std::string& out) override
    {
        const uint8_t c = script_.empty() ? 0 : static_cast<uint8_t>(script_[next_++ % script_.size()]);
        out.assign(line);
        switch (c % 8) {
        case 0:
            return LineAction::Keep;
        case 1:
            out.insert(0, c & 8 ? " " : "\t");
            return LineAction::Replace;
        case 2:
            // A character that is no blank changes the trimmed line too.
            out += static_cast<char>(c);
            return c > 32 ? LineAction::Rewrite : LineAction::Replace;
        case 3:
            return LineAction::InsertBefore;
        case 4:
            out += "+";
            return LineAction::InsertAfter;
        case 5:
            return LineAction::Remove;
        case 6:
            if (c & 8)
                throw ConversionError::notANumber(std::string(line));
            return LineAction::Keep;
        default:
            out.clear();
            return LineAction::Replace;
        }
    }

private:
    std::string script_;
    uint8_t flags_;
    size_t next_ = 0;
};

// Any long long from the input, small ones most often.
long long number(Input& in)
{
    const uint8_t size = in.byte();
    if (size < 200)
        return static_cast<long long>(size % 24) - 2;
    unsigned long long v = 0;
    for (int i = 0; i < 8; ++i)
        v = v << 8 | in.byte();
    return static_cast<long long>(v);
}

// `renumber` receives the renumbering's options, for the plain rule.
std::unique_ptr<LineTool> makeTool(uint8_t choice, Input& in, RenumberOptions& renumber)
{
    const char separator = in.flag() ? ',' : '.';
    switch (choice % 12) {
    case 0:
    case 1:
        return std::make_unique<SpacesTool>(SpacesOptions {choice % 12 == 1});
    case 2: {
        RenumberOptions o;
        const uint8_t f = in.byte();
        o.digitsOn = f & 1;
        o.renumberOn = f & 2;
        o.width = number(in) % 40; // wider only costs memory, which a run gives back when it runs out
        o.start = number(in);
        o.step = number(in);
        renumber = o;
        return std::make_unique<RenumberTool>(o);
    }
    case 3: {
        ReplaceOptions o;
        o.find = in.text();
        o.with = in.text();
        return std::make_unique<ReplaceTool>(o);
    }
    case 4: {
        DeleteOptions o;
        o.mode = static_cast<DeleteOptions::Mode>(in.byte() % 3);
        o.find = in.text();
        return std::make_unique<DeleteTool>(o);
    }
    case 5: {
        CommentOptions o;
        o.find = in.text();
        o.open = in.text();
        o.close = in.text();
        return std::make_unique<CommentTool>(o);
    }
    case 6: {
        InsertOptions o;
        o.mode = in.byte() % 5;
        o.find = in.text();
        o.text = in.text();
        return std::make_unique<InsertTool>(o);
    }
    case 7: {
        TranslateOptions o;
        const uint8_t f = in.byte();
        o.x = f & 1, o.y = f & 2, o.z = f & 4, o.plus = f & 8;
        o.xValue = in.text(), o.yValue = in.text(), o.zValue = in.text();
        o.decimalSeparator = separator;
        return std::make_unique<TranslateTool>(o);
    }
    case 8: {
        MirrorOptions o;
        const uint8_t f = in.byte();
        o.x = f & 1, o.y = f & 2, o.g02ToG03 = f & 4, o.g03ToG02 = f & 8, o.g41ToG42 = f & 16, o.g42ToG41 = f & 32;
        o.plus = f & 64;
        o.decimalSeparator = separator;
        return std::make_unique<MirrorTool>(o);
    }
    case 9: {
        ArcsOptions o;
        const uint8_t f = in.byte();
        o.direction = static_cast<ArcsOptions::Direction>(f % 3);
        o.plus = f & 4;
        o.decimalSeparator = separator;
        return std::make_unique<ArcsTool>(o);
    }
    default: {
        const uint8_t flags = in.byte();
        return std::make_unique<ScriptedTool>(in.text(), flags);
    }
    }
}

// The spaces rules as stated, a character at a time.
std::string naiveRemoveSpaces(std::string_view line)
{
    std::string out;
    bool protectedTail = false;
    for (const char c : line) {
        protectedTail = protectedTail || c == '#' || c == '%' || c == '(' || c == '{';
        if (protectedTail || c != ' ')
            out += c;
    }
    return out;
}

std::string naiveAddSpaces(std::string_view line)
{
    std::string out;
    bool protectedTail = false;
    for (const char c : line) {
        protectedTail = protectedTail || c == '#' || c == '%';
        if (protectedTail) {
            out += c;
            continue;
        }
        if (std::string_view("ABCDFGHIJKLMPQRSTXYZ({").find(c) != std::string_view::npos)
            out += ' ';
        out += c;
        protectedTail = c == '(' || c == '{';
    }
    return out;
}

// The renumbering of one line with the counter's next value, or the line itself.
std::string naiveRenumber(std::string_view line, const RenumberOptions& o, long long& counter)
{
    size_t word = 0;
    while (word < line.size() && isBlank(static_cast<unsigned char>(line[word])))
        ++word;
    size_t end = word + 1;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9')
        ++end;
    if (word == line.size() || line[word] != 'N' || end == word + 1)
        return std::string(line);
    std::string digits;
    if (o.renumberOn) {
        counter = static_cast<long long>(
            static_cast<unsigned long long>(counter) + static_cast<unsigned long long>(o.step));
        digits = std::to_string(counter);
    } else {
        digits = std::string(line.substr(word + 1, end - word - 1));
        digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    }
    if (o.digitsOn && o.width > static_cast<long long>(digits.size()))
        digits.insert(0, static_cast<size_t>(o.width) - digits.size(), '0');
    return "N" + digits + std::string(line.substr(0, word)) + std::string(line.substr(end));
}

struct Expected {
    RunResult::Status status = RunResult::Status::Done;
    Lines lines;
    std::string message;
    long long line = 0;
};

// The run by hand: each line of the range, as it was at the start, handed to a
// fresh tool; cancelled at the `cancelCall`th question, one asked before the
// first examined line and then every `perCall`th.
Expected runByHand(const Lines& text, LineTool& tool, const Range& range, long long cancelCall, long long perCall,
    const std::function<void(std::string_view line, LineAction action, const std::string& out)>& checkLine)
{
    Expected e;
    const auto count = static_cast<long long>(text.size());
    const long long start = range.wholeFile ? 0 : std::max(0LL, range.first - 1);
    const long long end = range.wholeFile ? count - 1 : std::min(count - 1, range.last - 1);
    if (!tool.runsLoop()) {
        e.lines = text;
        return e;
    }
    tool.begin();
    e.lines.assign(text.begin(), text.begin() + std::min(start, count));
    long long calls = 0;
    std::string out;
    for (long long i = start; i <= end; ++i) {
        if ((i - start) % perCall == 0 && ++calls == cancelCall) {
            e.status = RunResult::Status::Cancelled;
            return e;
        }
        const std::string& original = text[static_cast<size_t>(i)];
        const std::string_view line = tool.trimsLine() ? trimmed(original) : std::string_view(original);
        LineAction action = LineAction::Keep;
        out.clear();
        if (!(tool.skipsBlankLines() && isBlankOnly(line))) {
            try {
                action = tool.apply(line, out);
            } catch (const ConversionError& error) {
                e.status = RunResult::Status::Failed;
                e.message = error.what();
                e.line = i + 1;
                return e;
            }
            checkLine(line, action, out);
        }
        switch (action) {
        case LineAction::Keep:
            e.lines.push_back(original);
            break;
        case LineAction::Replace:
            e.lines.push_back(trimmed(out) == trimmed(original) ? original : out);
            break;
        case LineAction::Rewrite:
            // The tool's promise that spares the comparison.
            FUZZ_CHECK(trimmed(out) != trimmed(original), shown(original) + " rewritten as " + shown(out));
            e.lines.push_back(out);
            break;
        case LineAction::InsertBefore:
            e.lines.push_back(out);
            e.lines.push_back(original);
            break;
        case LineAction::InsertAfter:
            e.lines.push_back(original);
            e.lines.push_back(out);
            break;
        case LineAction::Remove:
            break;
        }
    }
    e.lines.insert(e.lines.end(), text.begin() + std::min(count, std::max(start, end + 1)), text.end());
    return e;
}

class Observer : public RunObserver {
public:
    Observer(long long cancelCall, long long perCall)
        : cancelCall_(cancelCall)
        , perCall_(perCall)
    { }
    bool progress(long long /*position*/) override { return ++calls_ == cancelCall_; }
    long long linesPerCall() const override { return perCall_; }

private:
    long long cancelCall_, perCall_, calls_ = 0;
};

// The typed line split as typing it would: a break at the very end leaves an empty line.
Lines naiveTyped(std::string_view typed)
{
    Lines pieces(1);
    for (size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] == '\r' || typed[i] == '\n') {
            if (typed[i] == '\r' && i + 1 < typed.size() && typed[i + 1] == '\n')
                ++i;
            pieces.emplace_back();
        } else {
            pieces.back() += typed[i];
        }
    }
    return pieces;
}

void checkLineCommand(Document& doc, const Lines& before, LineCommand command, long long row, std::string_view typed)
{
    Lines expected = before;
    const long long last = std::max<long long>(1, static_cast<long long>(before.size()));
    const auto at = static_cast<size_t>(std::clamp<long long>(row, 1, last) - 1);
    switch (command) {
    case LineCommand::Edit: {
        const Lines pieces = naiveTyped(typed);
        if (at < expected.size())
            expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(at));
        expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(at), pieces.begin(), pieces.end());
        break;
    }
    case LineCommand::Insert:
        if (expected.empty())
            expected.emplace_back();
        expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(at), std::string());
        break;
    case LineCommand::Delete:
        if (expected.size() > 1)
            expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(at));
        else if (expected.size() == 1)
            expected[0].clear();
        break;
    }
    const size_t items = doc.history.items().size();
    const RunResult r = runEdit(doc, historyTag(command),
        [&](ProgramText& text) { return applyLineCommand(text, command, row, typed).description; });
    FUZZ_CHECK(linesOf(doc.text) == expected,
        "line command on row " + std::to_string(row) + ": " + shownLines(linesOf(doc.text)) + ", expected "
            + shownLines(expected));
    FUZZ_CHECK(r.status == RunResult::Status::Done && doc.history.items().size() == items + 1, "history");
    doc.undo.undo(doc.text);
    FUZZ_CHECK(linesOf(doc.text) == before, "undoing a line command");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in(data, size);
    const uint8_t choice = in.byte();
    Range range;
    range.wholeFile = in.flag();
    range.first = number(in);
    range.last = number(in);
    const long long cancelCall = in.byte() % 8; // 0: never
    const long long perCall = 1 + in.byte() % 3;
    const auto command = static_cast<LineCommand>(in.byte() % 3);
    const long long row = number(in);
    const std::string_view typed = in.text();
    Input again = in; // the same choices make the tool applied by hand
    RenumberOptions renumber;
    const std::unique_ptr<LineTool> tool = makeTool(choice, in, renumber);
    const std::unique_ptr<LineTool> byHand = makeTool(choice, again, renumber);
    const std::string_view file = in.rest();

    Document doc;
    doc.text = ProgramText::fromFileBytes(std::string(file));
    const Lines before = linesOf(doc.text);
    const LineBreak style = doc.text.lineBreak();
    {
        const std::vector<std::string_view> split = naiveLines(file);
        FUZZ_CHECK(before == Lines(split.begin(), split.end()), shown(file) + " loads as " + shownLines(before));
    }
    // A function run before, so that the run under test is not the ring's first.
    doc.undo.store(doc.text);
    doc.history.record("Antes", "");
    const int undoIndex = doc.undo.index();
    const size_t items = doc.history.items().size();

    if (choice >= 240) {
        checkLineCommand(doc, before, command, row, typed);
        return 0;
    }

    long long counter = static_cast<long long>(
        static_cast<unsigned long long>(renumber.start) - static_cast<unsigned long long>(renumber.step));
    const auto checkLine = [&](std::string_view line, LineAction action, const std::string& out) {
        const bool rewritten = action == LineAction::Replace || action == LineAction::Rewrite;
        const std::string result = rewritten ? out : std::string(line);
        std::string expected = result;
        if (choice % 12 == 0)
            expected = naiveRemoveSpaces(line);
        else if (choice % 12 == 1)
            expected = naiveAddSpaces(line);
        else if (choice % 12 == 2)
            expected = naiveRenumber(line, renumber, counter);
        FUZZ_CHECK(result == expected, shown(line) + " gives " + shown(result) + ", the rule " + shown(expected));
    };
    const Expected expected = runByHand(before, *byHand, range, cancelCall, perCall, checkLine);

    Observer observer(cancelCall, perCall);
    const RunResult r = runFunction(doc, *tool, range, observer);
    FUZZ_CHECK(r.status == expected.status,
        "status " + std::to_string(static_cast<int>(r.status)) + ", by hand "
            + std::to_string(static_cast<int>(expected.status)) + " " + r.message);
    FUZZ_CHECK(doc.text.lineBreak() == style, "line break");
    if (r.status != RunResult::Status::Done) {
        // Given back to the byte, nothing recorded, the undo index where it was.
        FUZZ_CHECK(linesOf(doc.text) == before, "after a cancel or failure: " + shownLines(linesOf(doc.text)));
        FUZZ_CHECK(doc.history.items().size() == items && doc.undo.index() == undoIndex, "recorded a failed run");
        FUZZ_CHECK(r.message == asWhat(expected.message) && r.line == expected.line,
            r.message + " at line " + std::to_string(r.line) + ", by hand " + expected.message + " at line "
                + std::to_string(expected.line));
        return 0;
    }
    FUZZ_CHECK(linesOf(doc.text) == expected.lines,
        shownLines(before) + "becomes " + shownLines(linesOf(doc.text)) + ", by hand " + shownLines(expected.lines));
    FUZZ_CHECK(r.description == rangeHeader(range) + tool->describe(), r.description);
    FUZZ_CHECK(doc.history.items().size() == items + 1
            && doc.history.items().back() == std::to_string(r.historyNumber) + "-" + tool->tag(),
        doc.history.items().back());
    // The snapshot brings back the text before the run, also once compressed.
    if (choice & 0x80)
        doc.undo.compact();
    doc.undo.undo(doc.text);
    FUZZ_CHECK(linesOf(doc.text) == before && doc.text.lineBreak() == style, "undo: " + shownLines(linesOf(doc.text)));
    FUZZ_CHECK(doc.undo.index() == undoIndex, "undo index");
    return 0;
}
