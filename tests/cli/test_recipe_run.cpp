#include "BatchRunner.h"

#include "core/FunctionCall.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const std::string kData = TORVEL_TEST_DATA "/programs/";
const char* const kPrograms[] = {"mill-pocket-crlf.nc", "lathe-lf.ngc", "plasma-cr.gcode"};

// Every kind of range function, a line command, a range and the decimal comma.
const char* const kSteps[] = {
    "spaces --remove",
    "renumber --start 10 --step 10 --digits 3",
    "replace --find 'G01 ' --with 'G1 '",
    "comment --find M08 --open '(' --close ')'",
    "insert --find T1 --text 'M08' --after",
    "delete --find M09 --lines --from 2 --to 400",
    "translate --x 1.25 --z -0.5 --plus --from 1 --to 7", // the plasma program has X1,25 on line 8
    "mirror --y --g02-g03 --g03-g02",
    "arcs --absolute --from 1 --to 7",
    "edit-line --line 2 --text '(EDITADO)'",
    "insert-line --line 3",
    "delete-line --line 4",
};

std::string recipeOf(const std::vector<std::string>& steps)
{
    std::string text = "# torvel recipe 1\n";
    for (const auto& s : steps)
        text += s + "\n";
    return text;
}

// What the functions give one at a time through torvel-batch.
std::string oneByOne(const std::string& program, const std::vector<std::string>& steps)
{
    std::string bytes = readAll(program);
    for (const std::string& step : steps) {
        const BatchOutcome o = runBatch(torvel::shellWords(step + " -"), bytes);
        EXPECT_EQ(o.status, 0) << step << o.err;
        bytes = o.out;
    }
    return bytes;
}

} // namespace

TEST(RecipeRun, GivesTheBytesOfItsFunctionsRunOneByOne)
{
    const std::vector<std::string> steps(std::begin(kSteps), std::end(kSteps));
    const std::string dir = freshFolder("recipe-same");
    writeAll(dir + "/r.torvel-recipe", recipeOf(steps));
    fs::create_directory(dir + "/out");
    std::vector<std::string> args {"run", dir + "/r.torvel-recipe", "-j", "2", "-o", dir + "/out"};
    for (const char* p : kPrograms)
        args.push_back(kData + p);
    const BatchOutcome o = runBatch(args);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "3 changed, 0 unchanged, 0 failed\n");
    EXPECT_EQ(o.err, "");
    for (const char* p : kPrograms)
        EXPECT_EQ(readAll(dir + "/out/" + p), oneByOne(kData + p, steps)) << p;
    fs::remove_all(dir);
}

TEST(RecipeRun, AFailingFileIsLeftAsItWasAndTheOthersGoOn)
{
    const std::string dir = freshFolder("recipe-fail");
    writeAll(dir + "/r.txt", recipeOf({"spaces --remove", "translate --z 1", "replace --find G0 --with G00"}));
    std::vector<std::string> args {"run", dir + "/r.txt", "--in-place"};
    for (int i = 0; i < 12; ++i) {
        const std::string name = dir + "/p" + std::to_string(i) + ".nc";
        writeAll(name, i == 7 ? "G0 Z5\nG1 Z1,2,3\n" : "G0 X1 Z" + std::to_string(i) + "\n");
        args.push_back(name);
    }
    writeAll(dir + "/same.nc", "M30\n"); // nothing to change
    args.push_back(dir + "/same.nc");
    args.push_back(dir + "/missing.nc");
    const BatchOutcome o = runBatch(args);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "11 changed, 1 unchanged, 2 failed\n");
    EXPECT_NE(o.err.find(dir
                  + "/p7.nc: line 2: '1,2,3' is not a valid floating point value (recipe line 3, "
                    "translate)\n"),
        std::string::npos)
        << o.err;
    EXPECT_NE(o.err.find(dir + "/missing.nc: Cannot open file " + dir + "/missing.nc.\n"), std::string::npos) << o.err;
    EXPECT_EQ(readAll(dir + "/p7.nc"), "G0 Z5\nG1 Z1,2,3\n");
    EXPECT_EQ(readAll(dir + "/p3.nc"), "G00X1Z4\n");
    EXPECT_EQ(readAll(dir + "/same.nc"), "M30\n");
    fs::remove_all(dir);
}

TEST(RecipeRun, BadRecipesAndUsageStopEverythingWithStatusTwo)
{
    const std::string dir = freshFolder("recipe-usage");
    writeAll(dir + "/p.nc", "G0 X1\n");
    writeAll(dir + "/ok.txt", recipeOf({"spaces --remove"}));
    writeAll(dir + "/v2.txt", "# torvel recipe 2\nspaces --remove\n");
    writeAll(dir + "/bad.txt", recipeOf({"spaces --remove", "", "mirror --z"}));
    writeAll(dir + "/empty.txt", recipeOf({}));
    fs::create_directory(dir + "/sub");
    writeAll(dir + "/sub/p.nc", "G0 X1\n");
    const std::string p = dir + "/p.nc";
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"run"}, "torvel-batch: run needs a RECIPE and the FILEs to apply it to\n"},
        {{"run", dir + "/ok.txt", "--in-place"}, "torvel-batch: no FILE given\n"},
        {{"run", dir + "/ok.txt", p}, "torvel-batch: run needs --in-place or -o DIR\n"},
        {{"run", dir + "/ok.txt", "--in-place", "-o", dir, p}, "torvel-batch: -o and --in-place exclude each other\n"},
        {{"run", dir + "/ok.txt", "-o", dir + "/none", p},
            "torvel-batch: -o DIR needs an existing folder, not '" + dir + "/none'\n"},
        {{"run", dir + "/ok.txt", "-j", "0", "--in-place", p},
            "torvel-batch: -j takes a whole number from 1 to 1024, not '0'\n"},
        {{"run", dir + "/ok.txt", "--in-place", p, dir + "/../" + fs::path(dir).filename().string() + "/p.nc"},
            "torvel-batch: '" + dir + "/../" + fs::path(dir).filename().string() + "/p.nc' is given twice\n"},
        {{"run", dir + "/ok.txt", "-o", dir + "/sub", p, dir + "/sub/p.nc"},
            "torvel-batch: '" + p + "' and '" + dir + "/sub/p.nc' would both be written to '" + dir + "/sub/p.nc'\n"},
        {{"run", dir + "/ok.txt", "--in-place", "-"}, "torvel-batch: run cannot read standard input\n"},
        {{"run", dir + "/ok.txt", "--verbose", "--in-place", p}, "torvel-batch: unknown option '--verbose' for run\n"},
        {{"run", dir + "/v2.txt", "--in-place", p},
            "torvel-batch: " + dir
                + "/v2.txt: line 1: recipe version '2' is not known (this version reads '# torvel "
                  "recipe 1')\n"},
        {{"run", dir + "/bad.txt", "--in-place", p},
            "torvel-batch: " + dir + "/bad.txt: line 4: unknown option '--z' for mirror\n"},
        {{"run", dir + "/nope.txt", "--in-place", p}, "torvel-batch: Cannot open file " + dir + "/nope.txt.\n"},
    };
    for (const auto& c : cases) {
        const BatchOutcome o = runBatch(c.args);
        EXPECT_EQ(o.status, 2) << testing::PrintToString(c.args);
        EXPECT_EQ(o.err, c.err) << testing::PrintToString(c.args);
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(readAll(p), "G0 X1\n");
    }
    const BatchOutcome empty = runBatch({"run", dir + "/empty.txt", "--in-place", p});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "0 changed, 1 unchanged, 0 failed\n");
    EXPECT_EQ(readAll(p), "G0 X1\n");
    fs::remove_all(dir);
}

TEST(RecipeRun, VerifyChecksEachCoordinateFunctionAndWritesTheSameBytes)
{
    const std::string dir = freshFolder("recipe-verify");
    const std::string a = dir + "/a.nc", b = dir + "/b.nc";
    writeAll(a, "G0 X0 Y0\nG2 X10 Y0 I5 J0\n");
    writeAll(b, "G0 X1 Y1\nG1 Z1,2,3\n"); // no arc; translating Z stops on line 2
    const std::string mirror = "mirror --x --g02-g03 --g03-g02";
    const std::string finding = a + ": line 2: centro do arco não espelhado: I5\n";
    const struct {
        std::vector<std::string> steps;
        int status;
        std::string err, out;
    } cases[] = {
        {{mirror}, 3, finding, "2 changed, 0 unchanged, 0 failed, 1 with findings\n"},
        {{mirror + " --arc-centres"}, 0, "", "2 changed, 0 unchanged, 0 failed, 0 with findings\n"},
        // A failed file outranks the findings of another.
        {{"spaces --remove", mirror, "translate --z 1"}, 1,
            finding + b + ": line 2: '1,2,3' is not a valid floating point value (recipe line 4, translate)\n",
            "1 changed, 0 unchanged, 1 failed, 1 with findings\n"},
        // Verification belongs to the command line, not to a recipe.
        {{mirror + " --verify"}, 2, "torvel-batch: " + dir + "/r.txt: line 2: unknown option '--verify' for mirror\n",
            ""},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.steps));
        writeAll(dir + "/r.txt", recipeOf(c.steps));
        const std::string plain = dir + "/plain" + std::to_string(n), checked = dir + "/checked" + std::to_string(n++);
        fs::create_directory(plain);
        fs::create_directory(checked);
        const BatchOutcome o = runBatch({"run", dir + "/r.txt", "--verify", "-j", "1", "-o", checked, a, b});
        EXPECT_EQ(o.status, c.status);
        EXPECT_EQ(o.err, c.err);
        EXPECT_EQ(o.out, c.out);
        runBatch({"run", dir + "/r.txt", "-j", "1", "-o", plain, a, b});
        for (const char* name : {"/a.nc", "/b.nc"})
            EXPECT_EQ(fs::exists(checked + name) ? readAll(checked + name) : "-",
                fs::exists(plain + name) ? readAll(plain + name) : "-")
                << name;
    }
    fs::remove_all(dir);
}
