#include "core/CallTools.h"
#include "core/CommentTool.h"
#include "core/CoordinateTools.h"
#include "core/Encoding.h"
#include "core/InsertTool.h"
#include "core/Recipe.h"
#include "core/RenumberTool.h"
#include "core/SpacesTool.h"
#include "core/WordTools.h"

#include <gtest/gtest.h>

using namespace torvel;

namespace {

Document documentOf(const std::string& text)
{
    Document doc;
    doc.text.setText(text);
    return doc;
}

const char* const kProgram = "%\nN10 G01 X10 Y5 Z2 M08\nN20 G01 X-3.5 Y0 Z-1\nN30 M09\nN40 M30\n%";

} // namespace

TEST(Recipe, BadRecipesNameTheirLine)
{
    const struct {
        std::string text;
        int line;
        std::string message;
    } cases[] = {
        {"", 1, "not a torvel recipe: the first line must be '# torvel recipe 1'"},
        {"spaces --remove\n", 1, "not a torvel recipe: the first line must be '# torvel recipe 1'"},
        {"# torvel recipe 2\nspaces --remove\n", 1,
            "recipe version '2' is not known (this version reads '# torvel recipe 1')"},
        {"# torvel recipe 1\n\n# note\nspaces --remove\ntidy --up\n", 5, "unknown function 'tidy' (see --help)"},
        {"# torvel recipe 1\r\nspaces --remove\r\ntranslate --q 1\r\n", 3, "unknown option '--q' for translate"},
        {"# torvel recipe 1\nreplace --find X --with\n", 2, "option --with needs a value"},
        {"# torvel recipe 1\nrenumber --step 0\n", 2, "--step takes a whole number from 1 to 100000000, not '0'"},
        {"# torvel recipe 1\nspaces --remove\nhtml\n", 3, "html changes no program and has no place in a recipe"},
        {"# torvel recipe 1\nreplace --find \xC7 --with C\n", 2, "the line is not UTF-8 text"},
        {"# torvel recipe 1\ncomment --find M08 --open ( --close )\n", 2, "character '(' must be quoted"},
    };
    for (const auto& c : cases) {
        try {
            parseRecipe(c.text);
            ADD_FAILURE() << c.text << " was taken";
        } catch (const RecipeError& e) {
            EXPECT_EQ(e.line, c.line) << c.text;
            EXPECT_EQ(e.error.message, c.message) << c.text;
        }
    }
    // A byte order mark and blanks after the first line are taken; an empty recipe does nothing.
    EXPECT_TRUE(parseRecipe("\xEF\xBB\xBF# torvel recipe 1  \n\n").empty());
}

TEST(Recipe, SavedHistoryReadsBackAndLeavesOutUndoneFunctions)
{
    Document doc = documentOf(kProgram);
    RunObserver quiet;
    const char* const lines[] = {"spaces --remove", "renumber --start 10 --step 10", "replace --find G01 --with G1",
        "edit-line --line 99 --text 'M30 (FIM)'"};
    for (const char* line : lines)
        runCall(doc, parseCall(shellWords(line)), CallReading::forProgram(false), quiet);
    EXPECT_TRUE(undoFunction(doc)); // the edit
    runCall(doc, parseCall(shellWords("insert-line --line 2")), CallReading::forProgram(false), quiet);

    const std::string text = recipeText(doc.history.callsFrom(2), "de programa.nc");
    EXPECT_EQ(text,
        "# torvel recipe 1\n# de programa.nc\nrenumber --start 10 --step 10\nreplace --find G01 --with G1\n"
        "insert-line --line 2\n");
    const Recipe recipe = parseRecipe(text);
    ASSERT_EQ(recipe.size(), 3U);
    EXPECT_EQ(recipe[2].line, 5);
    EXPECT_EQ(recipe[0].call, doc.history.callsFrom(2)[0]);
    // A line command keeps the row it acted on, after clamping.
    Document other = documentOf("A\nB");
    runCall(other, parseCall(shellWords("delete-line --line 7")), {}, quiet);
    EXPECT_EQ(callLine(other.history.callsFrom(0).at(0)), "delete-line --line 2");
}

TEST(Recipe, RunsLikeItsFunctionsOneByOneAndStopsAtAFailure)
{
    const std::string text = "# torvel recipe 1\nspaces --remove\ntranslate --z -0.5 --plus\n"
                             "comment --find M08 --open '(' --close ')'\ndelete --find M09 --lines\n";
    Document byRecipe = documentOf(kProgram), byHand = documentOf(kProgram);
    RunObserver quiet;
    const Recipe recipe = parseRecipe(text);
    EXPECT_FALSE(applyRecipe(byRecipe, recipe, false, quiet).failed());
    for (const RecipeStep& step : recipe)
        runCall(byHand, step.call, CallReading::forProgram(false), quiet);
    EXPECT_EQ(byRecipe.text.text(), byHand.text.text());
    EXPECT_EQ(byRecipe.history.log(), byHand.history.log());
    EXPECT_EQ(byRecipe.history.items().size(), 5U); // "Todas Funções" and one entry a step

    Document failing = documentOf("G01 Z1\nG01 Z1,2,3\n");
    const RecipeResult r = applyRecipe(failing, recipe, false, quiet);
    ASSERT_TRUE(r.failed());
    EXPECT_EQ(r.failedStep, 1U);
    EXPECT_EQ(r.failure.line, 2);
    EXPECT_EQ(r.failure.message, "'1,2,3' is not a valid floating point value");
    EXPECT_EQ(failing.text.text(), "G01Z1\r\nG01Z1,2,3"); // the first step stays applied
}

// What the window records for each kind of function, with the texts as a Windows-1252
// program's bytes, the decimal comma and a range, saved as a recipe and read back, runs
// the same tools: the same bytes and the same history descriptions.
TEST(Recipe, SavedFromTheWindowRunsTheSameFunctions)
{
    const std::string program = "%\nN10 G01 X10,5 Y5 Z2 M08 (A\xC7O)\nN20 G02 X-3,5 Y0 I1 J-2,25\nN30 G41 M09\n"
                                "N40 G03 X1 Y1 I0,5 J0\nN50 M30\n%";
    const Range whole {};
    const Range some {false, 2, 4};
    const auto cp1252 = [](const std::string& s) { return typedToProgram(s, false); };
    std::vector<std::pair<std::unique_ptr<LineTool>, Range>> tools;
    tools.emplace_back(std::make_unique<SpacesTool>(SpacesOptions {true}), whole);
    tools.emplace_back(std::make_unique<RenumberTool>(RenumberOptions {true, 4, true, 10, 5}), some);
    tools.emplace_back(std::make_unique<ReplaceTool>(ReplaceOptions {cp1252("AÇO"), cp1252("AÇO 'INOX'")}), whole);
    tools.emplace_back(std::make_unique<DeleteTool>(DeleteOptions {"M30", DeleteOptions::Mode::Lines}), whole);
    tools.emplace_back(std::make_unique<CommentTool>(CommentOptions {"M08", "(", ")"}), whole);
    tools.emplace_back(std::make_unique<InsertTool>(InsertOptions {"G41", cp1252("(COMPENSAÇÃO)"), 3}), whole);
    TranslateOptions translate;
    translate.x = translate.z = translate.plus = true;
    translate.xValue = "1,25";
    translate.zValue = "-0,5";
    translate.decimalSeparator = ',';
    tools.emplace_back(std::make_unique<TranslateTool>(translate), some);
    MirrorOptions mirror;
    mirror.y = mirror.g02ToG03 = mirror.g03ToG02 = mirror.arcCentres = true;
    mirror.decimalSeparator = ',';
    tools.emplace_back(std::make_unique<MirrorTool>(mirror), whole);
    tools.emplace_back(std::make_unique<ArcsTool>(ArcsOptions {ArcsOptions::Direction::Absolute, true, ','}), whole);

    Document window = documentOf(program);
    RunObserver quiet;
    for (auto& [tool, range] : tools)
        ASSERT_EQ(
            runFunction(window, *tool, range, quiet, recordedCall(*tool, range, false)).status, RunResult::Status::Done)
            << tool->tag();
    for (LineCommand command : {LineCommand::Edit, LineCommand::Insert, LineCommand::Delete})
        runCall(window, lineCommandCall(command, 3, cp1252("G0 Z5 (SEGURANÇA)"), false), CallReading::forProgram(false),
            quiet);

    const std::string text = recipeText(window.history.callsFrom(0));
    EXPECT_NE(text.find("replace --find AÇO --with 'AÇO '\\''INOX'\\'''\n"), std::string::npos) << text;
    EXPECT_NE(
        text.find("translate --x 1.25 --z -0.5 --plus --from 2 --to 4 --decimal-separator ,\n"), std::string::npos)
        << text;
    Document replayed = documentOf(program);
    EXPECT_FALSE(applyRecipe(replayed, parseRecipe(text), false, quiet).failed());
    EXPECT_EQ(replayed.text.text(), window.text.text());
    EXPECT_EQ(replayed.history.log(), window.history.log());
    EXPECT_EQ(recipeText(replayed.history.callsFrom(0)), text);
}
