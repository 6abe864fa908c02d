#include "core/CallTools.h"

#include "core/CommentTool.h"
#include "core/CoordinateTools.h"
#include "core/Encoding.h"
#include "core/InsertTool.h"
#include "core/RenumberTool.h"
#include "core/SpacesTool.h"
#include "core/WordTools.h"

#include <algorithm>
#include <charconv>
#include <climits>

namespace torvel {

namespace {

// A text option as the tool takes it.
std::string text(const CallReading& reading, const std::string& value)
{
    switch (reading.texts) {
    case CallReading::Texts::AsGiven:
        break;
    case CallReading::Texts::Utf8Program:
        return typedToProgram(value, true);
    case CallReading::Texts::Windows1252Program:
        return typedToProgram(value, false);
    }
    return value;
}

std::string requiredText(const FunctionCall& call, const CallReading& reading, const std::string& name)
{
    return text(reading, call.required(name));
}

// An axis value as typed in the dialog, with the call's separator.
std::string axisValue(const CallReading& reading, std::string value, char separator)
{
    if (reading.pointValues)
        std::replace(value.begin(), value.end(), '.', separator);
    return text(reading, value);
}

} // namespace

Range callRange(const FunctionCall& call)
{
    Range range;
    if (call.has("--from") != call.has("--to"))
        throw UsageError {"--from and --to go together", "--from e --to vão juntos"};
    if (call.has("--from")) {
        if (isLineCommand(call.function))
            throw UsageError {call.function + " takes no range", call.function + " não aceita intervalo"};
        range.wholeFile = false;
        range.first = wholeNumber("--from", call.required("--from"), 1, 100000000);
        range.last = wholeNumber("--to", call.required("--to"), 1, 100000000);
    }
    return range;
}

char callSeparator(const FunctionCall& call)
{
    const auto v = call.value("--decimal-separator");
    if (!v)
        return '.';
    if (*v != "." && *v != ",")
        throw UsageError {"--decimal-separator takes '.' or ','", "--decimal-separator aceita '.' ou ','"};
    return (*v)[0];
}

TranslateOptions translateOptions(const FunctionCall& call, const CallReading& reading)
{
    TranslateOptions o;
    o.decimalSeparator = callSeparator(call);
    o.plus = call.has("--plus");
    o.followModes = call.has("--follow-modes");
    const auto axis = [&](const char* name, bool& ticked, std::string& value) {
        if (auto v = call.value(name)) {
            ticked = true;
            value = axisValue(reading, *v, o.decimalSeparator);
        }
    };
    axis("--x", o.x, o.xValue);
    axis("--y", o.y, o.yValue);
    axis("--z", o.z, o.zValue);
    return o;
}

MirrorOptions mirrorOptions(const FunctionCall& call, const CallReading&)
{
    MirrorOptions o;
    o.decimalSeparator = callSeparator(call);
    o.x = call.has("--x");
    o.y = call.has("--y");
    o.g02ToG03 = call.has("--g02-g03");
    o.g03ToG02 = call.has("--g03-g02");
    o.g41ToG42 = call.has("--g41-g42");
    o.g42ToG41 = call.has("--g42-g41");
    o.plus = call.has("--plus");
    o.arcCentres = call.has("--arc-centres");
    return o;
}

ArcsOptions arcsOptions(const FunctionCall& call, const CallReading&)
{
    ArcsOptions o;
    o.decimalSeparator = callSeparator(call);
    o.direction = exactlyOne(call, {"--absolute", "--incremental"}) == 0 ? ArcsOptions::Direction::Absolute
                                                                         : ArcsOptions::Direction::Incremental;
    o.plus = call.has("--plus");
    o.planes = call.has("--planes");
    return o;
}

std::unique_ptr<LineTool> makeTool(const FunctionCall& call, const CallReading& reading)
{
    const std::string& f = call.function;
    if (f == "spaces")
        return std::make_unique<SpacesTool>(SpacesOptions {exactlyOne(call, {"--remove", "--add"}) == 1});
    if (f == "renumber") {
        RenumberOptions o;
        if (auto v = call.value("--digits")) {
            o.digitsOn = true;
            o.width = wholeNumber("--digits", *v, 1, 100000000);
        }
        if (call.has("--start") || call.has("--step")) {
            o.renumberOn = true;
            if (auto v = call.value("--start"))
                o.start = wholeNumber("--start", *v, 0, 100000000);
            if (auto v = call.value("--step"))
                o.step = wholeNumber("--step", *v, 1, 100000000);
        }
        return std::make_unique<RenumberTool>(o);
    }
    if (f == "replace")
        return std::make_unique<ReplaceTool>(
            ReplaceOptions {requiredText(call, reading, "--find"), requiredText(call, reading, "--with")});
    if (f == "delete") {
        DeleteOptions o;
        o.find = requiredText(call, reading, "--find");
        o.mode = exactlyOne(call, {"--text", "--lines"}) == 0 ? DeleteOptions::Mode::Text : DeleteOptions::Mode::Lines;
        return std::make_unique<DeleteTool>(o);
    }
    if (f == "comment")
        return std::make_unique<CommentTool>(CommentOptions {requiredText(call, reading, "--find"),
            requiredText(call, reading, "--open"), requiredText(call, reading, "--close")});
    if (f == "insert") {
        InsertOptions o;
        o.find = requiredText(call, reading, "--find");
        o.text = requiredText(call, reading, "--text");
        o.mode = exactlyOne(call, {"--at-end", "--before", "--after"}) + 1;
        return std::make_unique<InsertTool>(o);
    }
    if (f == "translate") {
        const TranslateOptions o = translateOptions(call, reading);
        if (!hasTranslationValue(o))
            throw UsageError {std::string(kTranslationNeedsAValue), std::string(kTranslationNeedsAValue)};
        return std::make_unique<TranslateTool>(o);
    }
    if (f == "mirror")
        return std::make_unique<MirrorTool>(mirrorOptions(call, reading));
    if (f == "arcs")
        return std::make_unique<ArcsTool>(arcsOptions(call, reading));
    return nullptr;
}

std::optional<LineEdit> lineEdit(const FunctionCall& call, const CallReading& reading)
{
    if (!isLineCommand(call.function))
        return std::nullopt;
    LineEdit e;
    e.command = call.function == "edit-line" ? LineCommand::Edit
        : call.function == "insert-line"     ? LineCommand::Insert
                                             : LineCommand::Delete;
    e.row = lineRow(call.required("--line"));
    if (e.command == LineCommand::Edit)
        e.text = requiredText(call, reading, "--text");
    return e;
}

void checkCall(const FunctionCall& call)
{
    callRange(call);
    callSeparator(call);
    if (!lineEdit(call, {}))
        makeTool(call, {});
}

RunResult runCall(Document& doc, const FunctionCall& call, const CallReading& reading, RunObserver& observer)
{
    const Range range = callRange(call);
    if (const std::optional<LineEdit> edit = lineEdit(call, reading)) {
        // The entry is recorded after the edit, which puts in the row it acted on.
        FunctionCall recorded = call;
        long long caretRow = 1;
        RunResult result = runEdit(
            doc, historyTag(edit->command),
            [&](ProgramText& text) {
                const LineCommandResult r = applyLineCommand(text, edit->command, edit->row, edit->text);
                recorded.values["--line"] = std::to_string(r.row);
                caretRow = r.caretRow;
                return r.description;
            },
            recorded);
        result.caretRow = caretRow;
        return result;
    }
    const std::unique_ptr<LineTool> tool = makeTool(call, reading);
    if (!tool)
        throw UsageError {call.function + " changes no program", call.function + " não altera o programa"};
    return runFunction(doc, *tool, range, observer, call);
}

// ---------------------------------------------------------------- back from a tool to its call

namespace {

FunctionCall callNamed(const char* function, std::initializer_list<std::pair<const char*, std::string>> values,
    std::initializer_list<const char*> flags)
{
    FunctionCall call;
    call.function = function;
    for (const auto& [name, value] : values)
        call.values[name] = value;
    for (const char* flag : flags)
        call.flags.insert(flag);
    return call;
}

// Axis values are kept with '.', the separator named beside them, so that a recipe reads
// the same under any locale.
void addSeparator(FunctionCall& call, char separator)
{
    if (separator != '.')
        call.values["--decimal-separator"] = std::string(1, separator);
}

constexpr const char* kTextOptions[] = {"--find", "--with", "--text", "--open", "--close", "--x", "--y", "--z"};

} // namespace

FunctionCall SpacesTool::call() const { return callNamed("spaces", {}, {options_.add ? "--add" : "--remove"}); }

FunctionCall RenumberTool::call() const
{
    FunctionCall c = callNamed("renumber", {}, {});
    if (options_.renumberOn) {
        c.values["--start"] = std::to_string(options_.start);
        c.values["--step"] = std::to_string(options_.step);
    }
    if (options_.digitsOn)
        c.values["--digits"] = std::to_string(options_.width);
    return c;
}

FunctionCall ReplaceTool::call() const
{
    return callNamed("replace", {{"--find", options_.find}, {"--with", options_.with}}, {});
}

FunctionCall DeleteTool::call() const
{
    return callNamed(
        "delete", {{"--find", options_.find}}, {options_.mode == DeleteOptions::Mode::Lines ? "--lines" : "--text"});
}

FunctionCall CommentTool::call() const
{
    return callNamed(
        "comment", {{"--find", options_.find}, {"--open", options_.open}, {"--close", options_.close}}, {});
}

FunctionCall InsertTool::call() const
{
    static constexpr const char* kModes[] = {"--at-end", "--before", "--after"};
    return callNamed("insert", {{"--find", options_.find}, {"--text", options_.text}},
        {kModes[std::clamp(options_.mode, 1, 3) - 1]});
}

FunctionCall TranslateTool::call() const
{
    FunctionCall c = callNamed("translate", {}, {});
    const auto axis = [&](const char* name, bool ticked, std::string value) {
        if (!ticked)
            return;
        std::replace(value.begin(), value.end(), options_.decimalSeparator, '.');
        c.values[name] = value;
    };
    axis("--x", options_.x, options_.xValue);
    axis("--y", options_.y, options_.yValue);
    axis("--z", options_.z, options_.zValue);
    if (options_.plus)
        c.flags.insert("--plus");
    if (options_.followModes)
        c.flags.insert("--follow-modes");
    addSeparator(c, options_.decimalSeparator);
    return c;
}

FunctionCall MirrorTool::call() const
{
    FunctionCall c = callNamed("mirror", {}, {});
    const std::pair<bool, const char*> boxes[] = {{options_.x, "--x"}, {options_.y, "--y"},
        {options_.g02ToG03, "--g02-g03"}, {options_.g03ToG02, "--g03-g02"}, {options_.g41ToG42, "--g41-g42"},
        {options_.g42ToG41, "--g42-g41"}, {options_.plus, "--plus"}, {options_.arcCentres, "--arc-centres"}};
    for (const auto& [ticked, name] : boxes)
        if (ticked)
            c.flags.insert(name);
    addSeparator(c, options_.decimalSeparator);
    return c;
}

FunctionCall ArcsTool::call() const
{
    FunctionCall c = callNamed(
        "arcs", {}, {options_.direction == ArcsOptions::Direction::Incremental ? "--incremental" : "--absolute"});
    if (options_.plus)
        c.flags.insert("--plus");
    if (options_.planes)
        c.flags.insert("--planes");
    addSeparator(c, options_.decimalSeparator);
    return c;
}

FunctionCall recordedCall(const LineTool& tool, const Range& range, bool utf8Program)
{
    FunctionCall call = tool.call();
    for (const char* option : kTextOptions)
        if (const auto it = call.values.find(option); it != call.values.end())
            it->second = toDisplayUtf8(it->second, utf8Program);
    if (!call.empty() && !range.wholeFile) {
        call.values["--from"] = std::to_string(range.first);
        call.values["--to"] = std::to_string(range.last);
    }
    return call;
}

FunctionCall lineCommandCall(LineCommand command, long long row, std::string_view newText, bool utf8Program)
{
    const char* name = command == LineCommand::Edit ? "edit-line"
        : command == LineCommand::Insert            ? "insert-line"
                                                    : "delete-line";
    FunctionCall call = callNamed(name, {{"--line", std::to_string(std::max(row, 1LL))}}, {});
    if (command == LineCommand::Edit)
        call.values["--text"] = toDisplayUtf8(newText, utf8Program);
    return call;
}

// ---------------------------------------------------------------- numbers

long long wholeNumber(const std::string& option, const std::string& text, long long low, long long high)
{
    long long v = 0;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || p != end || v < low || v > high) {
        const std::string from = std::to_string(low), to = std::to_string(high);
        throw UsageError {option + " takes a whole number from " + from + " to " + to + ", not '" + text + "'",
            option + " aceita um número inteiro de " + from + " a " + to + ", não '" + text + "'"};
    }
    return v;
}

long long lineRow(const std::string& text)
{
    long long v = 0;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    if (!text.empty() && text[0] != '-' && p == end && ec == std::errc::result_out_of_range)
        return LLONG_MAX;
    if (text.empty() || ec != std::errc() || p != end || v < 1)
        throw UsageError {"--line takes a whole number from 1, not '" + text + "'",
            "--line aceita um número inteiro a partir de 1, não '" + text + "'"};
    return v;
}

int exactlyOne(const FunctionCall& call, std::initializer_list<const char*> names)
{
    int chosen = -1, n = 0, i = 0;
    std::string list;
    for (const char* name : names) {
        if (call.has(name)) {
            chosen = i;
            ++n;
        }
        list += (list.empty() ? "" : ", ") + std::string(name);
        ++i;
    }
    if (n != 1)
        throw UsageError {call.function + " needs exactly one of " + list,
            call.function + " precisa de exatamente uma das opções " + list};
    return chosen;
}

} // namespace torvel
