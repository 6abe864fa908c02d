#include "cli/Arguments.h"
#include "cli/BatchFunctions.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace torvel;
using namespace torvel::batch;

namespace {

struct Argv {
    std::vector<std::string> words;
    std::vector<const char*> pointers;

    explicit Argv(std::vector<std::string> args)
        : words(std::move(args))
    {
        words.insert(words.begin(), "torvel-batch");
        for (const std::string& w : words)
            pointers.push_back(w.c_str());
    }
    int argc() const { return static_cast<int>(pointers.size()); }
    const char* const* argv() const { return pointers.data(); }
};

// What torvel-batch checks before it reads the file: empty when all is well, else the
// usage error's message.
std::string usageErrorOf(const std::vector<std::string>& args)
{
    const Argv command(args);
    try {
        const Arguments a = parseArguments(command.argc(), command.argv());
        commonOptions(a);
        if (a.function == "plot")
            plotOptions(a);
        else if (!isReport(a.function) && !lineEdit(a, {}))
            makeTool(a, {});
    } catch (const UsageError& e) {
        return e.message;
    }
    return {};
}

TEST(Arguments, UsageErrorsSayWhat)
{
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{}, "no function given (see --help)"},
        {{"tidy", "p.nc"}, "unknown function 'tidy' (see --help)"},
        {{"spaces", "--remove", "--bogus", "p.nc"}, "unknown option '--bogus' for spaces"},
        {{"html", "--in-place", "p.nc"}, "html takes no option '--in-place'"},
        {{"info", "--from", "1", "--to", "2", "p.nc"}, "info takes no option '--from'"},
        {{"info", "--view", "xy", "p.nc"}, "unknown option '--view' for info"},
        {{"plot", "--view", "top", "p.nc"}, "--view takes xy, xz, yz, iso or zx, not 'top'"},
        {{"plot", "--width", "15", "p.nc"}, "--width takes a whole number from 16 to 20000, not '15'"},
        {{"plot", "--height", "1e3", "p.nc"}, "--height takes a whole number from 16 to 20000, not '1e3'"},
        {{"replace", "--find"}, "option --find needs a value"},
        {{"spaces", "--remove"}, "no FILE given"},
        {{"spaces", "--remove", "a.nc", "b.nc"}, "more than one FILE given"},
        {{"spaces", "--remove", "--in-place", "-"}, "--in-place cannot replace standard input"},
        {{"spaces", "--remove", "--in-place", "-o", "o.nc", "p.nc"}, "-o and --in-place exclude each other"},
        {{"spaces", "--remove", "--in-place", "-o", "-", "p.nc"}, "-o and --in-place exclude each other"},
        {{"spaces", "--remove", "--from", "2", "p.nc"}, "--from and --to go together"},
        {{"delete-line", "--line", "1", "--from", "1", "--to", "2", "p.nc"}, "delete-line takes no range"},
        {{"spaces", "--remove", "--from", "0", "--to", "2", "p.nc"},
            "--from takes a whole number from 1 to 100000000, not '0'"},
        {{"spaces", "--remove", "--decimal-separator", ";", "p.nc"}, "--decimal-separator takes '.' or ','"},
        {{"spaces", "p.nc"}, "spaces needs exactly one of --remove, --add"},
        {{"replace", "--find", "X", "p.nc"}, "replace needs --with"},
        {{"translate", "--x", " ", "--y", "", "p.nc"}, "Favor preencher os campos com o valor da translação."},
        {{"edit-line", "--line", "2", "p.nc"}, "edit-line needs --text"},
        {{"insert-line", "--line", "1x", "p.nc"}, "--line takes a whole number from 1, not '1x'"},
        {{"insert-line", "--line", "-99999999999999999999", "p.nc"},
            "--line takes a whole number from 1, not '-99999999999999999999'"},
        {{"renumber", "--step", "0", "p.nc"}, "--step takes a whole number from 1 to 100000000, not '0'"},
        // Well-formed calls.
        {{"spaces", "--add", "--from", "3", "--to", "1", "--decimal-separator", ",", "-"}, ""},
        {{"mirror", "--x", "--y", "--plus", "p.nc"}, ""},
        {{"delete", "--find", "X1", "--text", "p.nc"}, ""},
        {{"translate", "--z", "-1,5", "--decimal-separator", ",", "-o", "o.nc", "p.nc"}, ""},
        {{"html", "--settings", "t.ini", "-o", "o.html", "--no-sync", "p.nc"}, ""},
        {{"plot", "--view", "iso", "--width", "20000", "--height", "16", "-o", "o.svg", "-"}, ""},
        {{"info", "--json", "p.nc"}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(usageErrorOf(c.args), c.message) << testing::PrintToString(c.args);
}

TEST(Arguments, ValuesFlagsAndTheFile)
{
    const Argv command({"replace", "--find", "-h", "--with", "--lines", "--history", "-"});
    const Arguments a = parseArguments(command.argc(), command.argv());
    EXPECT_EQ(a.value("--find"), "-h");
    EXPECT_EQ(a.value("--with"), "--lines");
    EXPECT_TRUE(a.has("--history"));
    EXPECT_EQ(a.positional, std::vector<std::string> {"-"});
    const CommonOptions c = commonOptions(a);
    EXPECT_EQ(c.file, "-");
    EXPECT_TRUE(c.history && !c.inPlace && !c.output);
    EXPECT_EQ(c.sync, SyncMode::Sync);
    EXPECT_TRUE(c.range.wholeFile);

    // --x is a flag of mirror and a value of translate; --text a flag of delete.
    EXPECT_FALSE(takesValue("mirror", "--x"));
    EXPECT_TRUE(takesValue("translate", "--x"));
    EXPECT_FALSE(takesValue("delete", "--text"));
    EXPECT_TRUE(takesValue("insert", "--text"));

    const Argv ranged({"spaces", "--remove", "--from", "4", "--to", "9", "-o", "o.nc", "p.nc"});
    const CommonOptions r = commonOptions(parseArguments(ranged.argc(), ranged.argv()));
    EXPECT_FALSE(r.range.wholeFile);
    EXPECT_EQ(r.range.first, 4);
    EXPECT_EQ(r.range.last, 9);
    EXPECT_EQ(r.output, "o.nc");

    const Argv dash({"spaces", "--remove", "--no-sync", "-o", "-", "p.nc"});
    const CommonOptions d = commonOptions(parseArguments(dash.argc(), dash.argv()));
    EXPECT_FALSE(d.output); // standard output
    EXPECT_EQ(d.sync, SyncMode::NoSync);
}

TEST(Arguments, HelpAndVersionOnlyWhereAnOptionStands)
{
    const struct {
        std::vector<std::string> args;
        Request request;
    } cases[] = {
        {{"--help"}, Request::Help},
        {{"-h"}, Request::Help},
        {{"--version"}, Request::Version},
        {{"spaces", "--remove", "--version", "-"}, Request::Version},
        {{"replace", "--find", "-h", "--with", "--help", "-"}, Request::Run},
        {{"translate", "--x", "--x", "--help", "-"}, Request::Help},
        {{"spaces", "--remove", "-"}, Request::Run},
    };
    for (const auto& c : cases) {
        const Argv command(c.args);
        EXPECT_EQ(requestOf(command.argc(), command.argv()), c.request) << testing::PrintToString(c.args);
    }
}

TEST(Arguments, LineCommandsTakeTheirRowAndText)
{
    const Argv edit({"edit-line", "--line", "99999999999999999999", "--text", "M30", "p.nc"});
    const auto e = lineEdit(parseArguments(edit.argc(), edit.argv()), {});
    ASSERT_TRUE(e);
    EXPECT_EQ(e->command, LineCommand::Edit);
    EXPECT_EQ(e->row, LLONG_MAX); // past the end: the last line
    EXPECT_EQ(e->text, "M30");
    const Argv insert({"insert-line", "--line", "3", "p.nc"});
    EXPECT_EQ(lineEdit(parseArguments(insert.argc(), insert.argv()), {})->command, LineCommand::Insert);
    const Argv remove({"delete-line", "--line", "3", "p.nc"});
    EXPECT_EQ(lineEdit(parseArguments(remove.argc(), remove.argv()), {})->command, LineCommand::Delete);
    const Argv spaces({"spaces", "--add", "p.nc"});
    EXPECT_FALSE(lineEdit(parseArguments(spaces.argc(), spaces.argv()), {}));
}

} // namespace
