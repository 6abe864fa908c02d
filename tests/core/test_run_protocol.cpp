#include "core/Blank.h"
#include "core/Errors.h"
#include "core/RunProtocol.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <new>
#include <optional>

using namespace torvel;

namespace {

// A tool whose per-line behaviour each test sets.
class FakeTool : public LineTool {
public:
    std::function<LineAction(std::string_view, std::string&)> fn;
    bool trims = false, skipsBlank = false, removes = false;
    std::string keepsWithout;
    std::vector<std::string> seen;

    std::string tag() const override { return "Fake"; }
    std::string progressCaption() const override { return "Executando..."; }
    std::string describe() const override { return "Linha da ferramenta"; }
    bool trimsLine() const override { return trims; }
    bool skipsBlankLines() const override { return skipsBlank; }
    bool removesLines() const override { return removes; }
    std::string_view keepsLinesWithout() const override { return keepsWithout; }
    LineAction apply(std::string_view line, std::string& out) override
    {
        seen.emplace_back(line);
        return fn(line, out);
    }
};

struct CancelAt : RunObserver {
    long long at;
    explicit CancelAt(long long a)
        : at(a)
    { }
    bool progress(long long p) override { return p >= at; }
};

Document docOf(const std::string& bytes)
{
    Document d;
    d.text = ProgramText::fromFileBytes(bytes);
    return d;
}

Range lines(long long a, long long b) { return Range {false, a, b}; }

LineAction upper(std::string_view l, std::string& out)
{
    out.assign(l);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return LineAction::Replace;
}

} // namespace

TEST(RunProtocol, RangeHeaders)
{
    EXPECT_EQ(rangeHeader(Range {}), "Função Aplicada em todo Arquivo\r\n");
    EXPECT_EQ(rangeHeader(lines(5, 3)), "Função aplicadada da linha 5 até a linha 3 do arquivo\r\n");
}

TEST(RunProtocol, RangesAndTheWriteBackRule)
{
    struct Case {
        std::string input;
        Range range;
        std::string output;
    };
    const std::vector<Case> cases = {
        {"a\nb\nc\n", Range {}, "A\nB\nC\n"},
        {"a\nb\nc\nd\ne\n", lines(2, 3), "a\nB\nC\nd\ne\n"},
        {"a\nb\nc\nd\ne\n", lines(5, 3), "a\nb\nc\nd\ne\n"},
        {"a\nb\n", lines(1, 500), "A\nB\n"},
        {"", Range {}, ""},
    };
    for (const auto& c : cases) {
        Document d = docOf(c.input);
        FakeTool tool;
        tool.fn = upper;
        RunObserver quiet;
        const RunResult r = runFunction(d, tool, c.range, quiet);
        EXPECT_EQ(r.status, RunResult::Status::Done);
        EXPECT_EQ(d.text.toFileBytes(), c.output) << c.input;
        EXPECT_EQ(r.description, rangeHeader(c.range) + "Linha da ferramenta");
        EXPECT_EQ(d.history.items().size(), 2u); // recorded even when nothing changed
        EXPECT_TRUE(d.undo.buttonEnabled());
    }
}

TEST(RunProtocol, ChangesOnlyAtTheEndsAreNotWritten)
{
    Document d = docOf("N10 \n  N20\n");
    FakeTool tool;
    tool.fn = [](std::string_view l, std::string& out) {
        out = " " + std::string(l) + "  ";
        return LineAction::Replace;
    };
    RunObserver quiet;
    runFunction(d, tool, Range {}, quiet);
    EXPECT_EQ(d.text.toFileBytes(), "N10 \n  N20\n");

    tool.fn = [](std::string_view l, std::string& out) {
        out = " X" + std::string(trimmed(l));
        return LineAction::Replace;
    };
    runFunction(d, tool, Range {}, quiet);
    EXPECT_EQ(d.text.toFileBytes(), " XN10\n XN20\n"); // stored untrimmed
}

TEST(RunProtocol, TrimmingAndSkippingBlankLines)
{
    Document d = docOf("  a  \n   \n\nb\n");
    FakeTool tool;
    tool.trims = true;
    tool.skipsBlank = true;
    tool.fn = [](std::string_view, std::string&) { return LineAction::Keep; };
    RunObserver quiet;
    runFunction(d, tool, Range {}, quiet);
    EXPECT_EQ(tool.seen, (std::vector<std::string> {"a", "b"}));
}

TEST(RunProtocol, InsertedLinesAreNeverExamined)
{
    for (LineAction where : {LineAction::InsertBefore, LineAction::InsertAfter}) {
        Document d = docOf("x1\nx2\nx3\nx4\n");
        FakeTool tool;
        tool.fn = [where](std::string_view l, std::string& out) {
            if (l.substr(0, 1) != "x")
                ADD_FAILURE() << "examined " << l;
            out = "new";
            return where;
        };
        RunObserver quiet;
        runFunction(d, tool, lines(2, 3), quiet);
        EXPECT_EQ(tool.seen, (std::vector<std::string> {"x2", "x3"}));
        EXPECT_EQ(d.text.toFileBytes(),
            where == LineAction::InsertBefore ? "x1\nnew\nx2\nnew\nx3\nx4\n" : "x1\nx2\nnew\nx3\nnew\nx4\n");
    }
}

TEST(RunProtocol, RemovingToolsExamineTheRangeAsItWas)
{
    struct Case {
        std::string input;
        Range range;
        std::string output;
    };
    const std::vector<Case> cases = {
        {"a\nM\nM\nb\n", Range {}, "a\nb\n"},
        {"a\nM\n", Range {}, "a\n"},
        {"M\n", Range {}, ""},
        {"a\nb\nc\nd\nM\nM\nM\nM\n", lines(5, 7), "a\nb\nc\nd\nM\n"},
        {"a\nb\nc\nd\nM\nx\nM\nM\n", lines(5, 7), "a\nb\nc\nd\nx\nM\n"},
    };
    for (const auto& c : cases) {
        Document d = docOf(c.input);
        FakeTool tool;
        tool.removes = true;
        tool.fn = [](std::string_view l, std::string&) { return l == "M" ? LineAction::Remove : LineAction::Keep; };
        RunObserver quiet;
        runFunction(d, tool, c.range, quiet);
        EXPECT_EQ(d.text.toFileBytes(), c.output) << c.input;
    }
}

TEST(RunProtocol, CancelAtAnyLineRestoresTheTextAndRecordsNothing)
{
    for (long long at = 0; at < 4; ++at) {
        Document d = docOf("a\nb\nc\n");
        d.history.record("Earlier", "x");
        const ProgramText before = d.text;
        FakeTool tool;
        tool.fn = upper;
        CancelAt observer(at);
        const RunResult r = runFunction(d, tool, Range {}, observer);
        EXPECT_EQ(r.status, at < 3 ? RunResult::Status::Cancelled : RunResult::Status::Done);
        if (at < 3) {
            EXPECT_EQ(d.text, before);
            EXPECT_EQ(d.history.items().size(), 2u);
            EXPECT_EQ(d.undo.index(), 0);
        }
    }
}

TEST(RunProtocol, AnObserverAskedEveryNthLineSeesTheFirstLineAndEveryNthAfter)
{
    struct Every : RunObserver {
        long long every;
        std::vector<long long> asked;
        explicit Every(long long n)
            : every(n)
        { }
        long long linesPerCall() const override { return every; }
        bool progress(long long p) override
        {
            asked.push_back(p);
            return false;
        }
    };
    struct Case {
        long long every;
        Range range;
        bool removes;
        std::vector<long long> asked;
    };
    const std::vector<Case> cases = {
        {1, Range {}, false, {0, 1, 2, 3, 4, 5, 6}},
        {3, Range {}, false, {0, 3, 6}},
        {3, lines(2, 7), false, {1, 4}},
        {0, lines(6, 7), false, {5, 6}}, // nonsense counts as every line
        {4, lines(2, 7), true, {0, 4}}, // positions count from the range's start
        {100, Range {}, false, {0}},
    };
    for (const Case& c : cases) {
        Document d = docOf("a\nb\nc\nd\ne\nf\ng\n");
        FakeTool tool;
        tool.removes = c.removes;
        tool.fn = [](std::string_view, std::string&) { return LineAction::Keep; };
        Every observer(c.every);
        runFunction(d, tool, c.range, observer);
        EXPECT_EQ(observer.asked, c.asked) << c.every;
        EXPECT_EQ(tool.seen.size(), static_cast<size_t>(c.range.wholeFile ? 7 : c.range.last - c.range.first + 1));
    }
    // A cancel is noticed at the call that reports it and nothing is kept.
    struct CancelSecondCall : RunObserver {
        int calls = 0;
        long long linesPerCall() const override { return 2; }
        bool progress(long long) override { return ++calls == 2; }
    } cancel;
    Document d = docOf("a\nb\nc\nd\n");
    const ProgramText before = d.text;
    FakeTool tool;
    tool.fn = upper;
    EXPECT_EQ(runFunction(d, tool, Range {}, cancel).status, RunResult::Status::Cancelled);
    EXPECT_EQ(tool.seen.size(), 2u);
    EXPECT_EQ(d.text, before);
}

// The window copies the text while a run goes on (to draw it) and lets the copy go
// later; the run must go on reading its own lines, not the copy's.
TEST(RunProtocol, CopiesTakenAndDroppedDuringARunChangeNothing)
{
    struct Copies : RunObserver {
        Document* doc = nullptr;
        std::optional<ProgramText> held;
        std::vector<std::string> seen;
        long long linesPerCall() const override { return 1; }
        bool progress(long long) override
        {
            held.reset();
            held.emplace(doc->text);
            seen.push_back(held->text());
            return false;
        }
    };
    Document d = docOf("a\nb\nc\nd\n");
    FakeTool tool;
    tool.fn = upper;
    Copies observer;
    observer.doc = &d;
    runFunction(d, tool, Range {}, observer);
    EXPECT_EQ(d.text.toFileBytes(), "A\nB\nC\nD\n");
    EXPECT_EQ(observer.seen,
        (std::vector<std::string> {"a\r\nb\r\nc\r\nd", "A\r\nb\r\nc\r\nd", "A\r\nB\r\nc\r\nd", "A\r\nB\r\nC\r\nd"}));
}

TEST(RunProtocol, TheViewFollowsLinesWhereTheyStandNow)
{
    struct Follows : RunObserver {
        std::vector<long long> rows;
        void follow(long long row) override { rows.push_back(row); }
    };
    // The first of 2001 lines gets a new line; every later line then stands one further down.
    std::string bytes = "A\n";
    for (int i = 1; i < 2001; ++i)
        bytes += "B\n";
    struct Case {
        LineAction action;
        std::vector<long long> rows;
    };
    const std::vector<Case> cases = {
        {LineAction::Keep, {0, 1000, 2000}},
        {LineAction::InsertAfter, {1000, 2000}},
        {LineAction::InsertBefore, {1000, 2000}},
    };
    for (const Case& c : cases) {
        Document d = docOf(bytes);
        FakeTool tool;
        tool.fn = [&](std::string_view line, std::string& out) {
            out = "N";
            return line == "A" ? c.action : LineAction::Keep;
        };
        Follows observer;
        runFunction(d, tool, Range {}, observer);
        EXPECT_EQ(observer.rows, c.rows);
        EXPECT_EQ(d.text.count(), c.action == LineAction::Keep ? 2001u : 2002u);
    }
}

TEST(RunProtocol, RunningOutOfMemoryRestoresTheTextAndGoesOn)
{
    Document d = docOf("a\nb\nc\n");
    d.history.record("Earlier", "x");
    const ProgramText before = d.text;
    FakeTool tool;
    tool.fn = [](std::string_view line, std::string& out) {
        if (line == "c")
            throw std::bad_alloc();
        return upper(line, out);
    };
    RunObserver quiet;
    EXPECT_THROW(runFunction(d, tool, Range {}, quiet), std::bad_alloc);
    EXPECT_EQ(d.text, before);
    EXPECT_EQ(d.history.items().size(), 2u);
    EXPECT_EQ(d.undo.index(), 0);
}

TEST(RunProtocol, ConversionErrorRestoresTheTextAndNamesTheLine)
{
    Document d = docOf("a\nb\nbad\nc\n");
    FakeTool tool;
    tool.fn = [](std::string_view l, std::string& out) {
        if (l == "bad")
            throw ConversionError::notANumber("1,2,3");
        return upper(l, out);
    };
    RunObserver quiet;
    const RunResult r = runFunction(d, tool, Range {}, quiet);
    EXPECT_EQ(r.status, RunResult::Status::Failed);
    EXPECT_EQ(r.line, 3);
    EXPECT_EQ(r.message, "'1,2,3' is not a valid floating point value");
    EXPECT_EQ(d.text.toFileBytes(), "a\nb\nbad\nc\n");
    EXPECT_TRUE(d.history.items().empty());
    EXPECT_EQ(d.undo.index(), 0);
}

TEST(RunProtocol, EditsAreOneUndoableFunction)
{
    Document d = docOf("a\nb\n");
    const RunResult r = runEdit(d, "Inserir", [](ProgramText& t) {
        t.insert(0, "");
        return std::string("Função inserir linha\r\nInserido a linha número 1");
    });
    EXPECT_EQ(r.historyNumber, 1);
    EXPECT_EQ(d.text.toFileBytes(), "\na\nb\n");
    d.undo.undo(d.text);
    EXPECT_EQ(d.text.toFileBytes(), "a\nb\n");
}

TEST(RunProtocol, LinesPassedOverUnexaminedEndAsIfExamined)
{
    // The same run with and without passing over lines that cannot hold "G01": the same
    // text, the same questions to the observer and the same rows followed.
    struct Log : RunObserver {
        long long every;
        std::vector<long long> asked, rows;
        explicit Log(long long n)
            : every(n)
        { }
        long long linesPerCall() const override { return every; }
        bool progress(long long p) override
        {
            asked.push_back(p);
            return false;
        }
        void follow(long long row) override { rows.push_back(row); }
    };
    std::string bytes;
    for (int i = 0; i < 5000; ++i)
        bytes += (i % 301 == 0 ? "N1 G01 X1" : "N2 G00 Y1") + std::string(i % 7 ? "\n" : "\r\n");
    struct Case {
        LineAction action;
        bool removes;
        long long every;
        Range range;
    };
    const std::vector<Case> cases = {
        {LineAction::Replace, false, 1, Range {}},
        {LineAction::Rewrite, false, 7, lines(900, 4321)},
        {LineAction::InsertBefore, false, LLONG_MAX, Range {}},
        {LineAction::InsertAfter, false, 1000, lines(2, 4999)},
        {LineAction::Remove, true, 3, Range {}},
        {LineAction::Remove, true, LLONG_MAX, lines(1000, 9000)},
    };
    for (const Case& c : cases) {
        std::vector<std::string> texts;
        std::vector<Log> logs;
        for (const char* needle : {"", "G01"}) {
            Document d = docOf(bytes);
            // A run before leaves the lines in two stores in turn.
            FakeTool before;
            before.fn = [n = 0](std::string_view l, std::string& out) mutable {
                out = std::string(l) + " ";
                return ++n % 3 ? LineAction::Keep : LineAction::Rewrite;
            };
            RunObserver quiet;
            runFunction(d, before, Range {}, quiet);
            FakeTool tool;
            tool.removes = c.removes;
            tool.keepsWithout = needle;
            tool.fn = [&](std::string_view l, std::string& out) {
                if (l.find("G01") == std::string_view::npos)
                    return LineAction::Keep;
                out = "M08";
                return c.action;
            };
            logs.emplace_back(c.every);
            runFunction(d, tool, c.range, logs.back());
            texts.push_back(d.text.toFileBytes());
        }
        const auto at = static_cast<int>(c.action);
        EXPECT_EQ(texts[0], texts[1]) << at;
        EXPECT_EQ(logs[0].asked, logs[1].asked) << at;
        EXPECT_EQ(logs[0].rows, logs[1].rows) << at;
    }
}
