#include "core/CallTools.h"
#include "core/FunctionCall.h"

#include <gtest/gtest.h>

using namespace torvel;

namespace {

std::string usageErrorOf(const std::string& line)
{
    try {
        checkCall(parseCall(shellWords(line)));
    } catch (const UsageError& e) {
        return e.message;
    }
    return {};
}

} // namespace

TEST(FunctionCall, WordsSurviveQuotingAsAShellReadsThem)
{
    const std::string words[] = {"", "G01 ", "it's", "a\nb\r", "#100", "(", "ç", "$HOME", "tab\tx",
        std::string("\x01", 1) + "7", "back\\slash", "-0.5", "~user", "*.nc", "\"quoted\""};
    for (const std::string& w : words) {
        const auto back = shellWords("replace --find " + shellQuoted(w));
        ASSERT_EQ(back.size(), 3U) << shellQuoted(w);
        EXPECT_EQ(back[2], w) << shellQuoted(w);
    }
    EXPECT_EQ(shellQuoted("G01 "), "'G01 '");
    EXPECT_EQ(shellQuoted("-0.5"), "-0.5");
    EXPECT_EQ(shellQuoted("it's"), "'it'\\''s'");
    EXPECT_EQ(shellQuoted("a\nb"), "$'a\\nb'");
}

TEST(FunctionCall, LinesSplitAsAShellSplitsThem)
{
    const struct {
        std::string line;
        std::vector<std::string> words;
        std::string error;
    } cases[] = {
        {"  replace --find 'G01 ' --with \"G1 \"  # trailing", {"replace", "--find", "G01 ", "--with", "G1 "}, ""},
        {"comment --find M08 --open \\( --close ')'", {"comment", "--find", "M08", "--open", "(", "--close", ")"}, ""},
        {"insert --text $'N1\\tX\\x41\\101' --find a''b", {"insert", "--text", "N1\tXAA", "--find", "ab"}, ""},
        {"# only a comment", {}, ""},
        {"spaces--remove#not-a-comment", {"spaces--remove#not-a-comment"}, ""},
        {"replace --find 'G01", {}, "unclosed quote"},
        {"comment --open (", {}, "character '(' must be quoted"},
        {"replace --find $X", {}, "character '$' must be quoted"},
        {"replace --find \"$X\"", {}, "character '$' must be quoted"},
        {"replace --find X\\", {}, "a '\\' ends the line"},
        {"replace --find $'\\q'", {}, "unknown escape '\\q' in $'...'"},
    };
    for (const auto& c : cases) {
        try {
            EXPECT_EQ(shellWords(c.line), c.words) << c.line;
            EXPECT_EQ(c.error, "") << c.line;
        } catch (const UsageError& e) {
            EXPECT_EQ(e.message, c.error) << c.line;
        }
    }
}

// Every kind of function written as its call, read back to the same call and the same line.
TEST(FunctionCall, EveryFunctionReadsBackToItsOwnLine)
{
    const std::string lines[] = {
        "spaces --remove",
        "spaces --add --from 3 --to 9",
        "renumber",
        "renumber --start 10 --step 10 --digits 4",
        "replace --find 'G01 ' --with 'G1 '",
        "delete --find F1200 --text",
        "delete --find M08 --lines",
        "comment --find M08 --open '(' --close ')'",
        "insert --find T1 --text 'M08 (COOLANT)' --after",
        "edit-line --line 12 --text 'G0 Z50'",
        "insert-line --line 1",
        "delete-line --line 3",
        "translate --x '' --z -0.5 --plus --follow-modes --decimal-separator ,",
        "mirror --x --y --g02-g03 --g03-g02 --g41-g42 --g42-g41 --plus --arc-centres",
        "arcs --incremental --plus --planes --from 1 --to 100000000",
    };
    for (const std::string& line : lines) {
        const FunctionCall call = parseCall(shellWords(line));
        EXPECT_EQ(callLine(call), line);
        EXPECT_EQ(usageErrorOf(line), "") << line;
    }
    // Options in any order, the later of two wins: written in the table's order.
    EXPECT_EQ(
        callLine(parseCall(shellWords("translate --plus --z 1 --x 2 --z -0.5"))), "translate --x 2 --z -0.5 --plus");
}

TEST(FunctionCall, WrongCallsSayWhatIsWrong)
{
    const struct {
        std::string line, message, portuguese;
    } cases[] = {
        {"tidy", "unknown function 'tidy' (see --help)", "função desconhecida 'tidy'"},
        {"spaces --remove --bogus", "unknown option '--bogus' for spaces", "opção desconhecida '--bogus' para spaces"},
        {"replace --find", "option --find needs a value", "a opção --find precisa de um valor"},
        {"replace --find X", "replace needs --with", "replace precisa de --with"},
        {"spaces --remove prog.nc", "unexpected argument 'prog.nc'", "argumento inesperado 'prog.nc'"},
        {"spaces --remove -o out.nc", "unknown option '-o' for spaces", "opção desconhecida '-o' para spaces"},
        {"arcs", "arcs needs exactly one of --absolute, --incremental",
            "arcs precisa de exatamente uma das opções --absolute, --incremental"},
        {"spaces --add --from 2", "--from and --to go together", "--from e --to vão juntos"},
        {"delete-line --line 2 --from 1 --to 2", "delete-line takes no range", "delete-line não aceita intervalo"},
        {"renumber --digits 0", "--digits takes a whole number from 1 to 100000000, not '0'",
            "--digits aceita um número inteiro de 1 a 100000000, não '0'"},
        {"insert-line --line x", "--line takes a whole number from 1, not 'x'",
            "--line aceita um número inteiro a partir de 1, não 'x'"},
        {"mirror --x --decimal-separator ';'", "--decimal-separator takes '.' or ','",
            "--decimal-separator aceita '.' ou ','"},
        {"translate --x ' '", "Favor preencher os campos com o valor da translação.",
            "Favor preencher os campos com o valor da translação."},
    };
    for (const auto& c : cases) {
        try {
            checkCall(parseCall(shellWords(c.line)));
            ADD_FAILURE() << c.line << " was taken";
        } catch (const UsageError& e) {
            EXPECT_EQ(e.message, c.message) << c.line;
            EXPECT_EQ(e.portuguese, c.portuguese) << c.line;
        }
    }
}

// Recipes write axis values with '.' and name the separator the window used; texts are
// UTF-8 and go into a Windows-1252 program as its own bytes.
TEST(FunctionCall, RecipeValuesBecomeWhatTheDialogWouldHaveTaken)
{
    const FunctionCall translate = parseCall(shellWords("translate --z -0.5 --decimal-separator ,"));
    const auto tool = makeTool(translate, CallReading::forProgram(false));
    EXPECT_EQ(tool->describe(), "Adicionado valor aos Eixos:\r\nIncrementado ao eixo \"Z\" o valor de -0,5");
    // torvel-batch's own arguments are typed with the separator itself.
    const auto typed = makeTool(parseCall(shellWords("translate --z -0,5 --decimal-separator ,")), {});
    EXPECT_EQ(typed->describe(), tool->describe());

    const FunctionCall replace = parseCall(shellWords("replace --find 'AÇO' --with AÇO2"));
    auto cp1252 = makeTool(replace, CallReading::forProgram(false));
    std::string out;
    EXPECT_EQ(cp1252->apply("(A\xC7O)", out), LineAction::Replace);
    EXPECT_EQ(out, "(A\xC7O2)");
    auto utf8 = makeTool(replace, CallReading::forProgram(true));
    EXPECT_EQ(utf8->apply("(AÇO)", out), LineAction::Replace);
    EXPECT_EQ(out, "(AÇO2)");
}
