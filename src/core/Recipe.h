#pragma once

#include "core/FunctionCall.h"
#include "core/RunProtocol.h"

#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace torvel {

// A recipe is plain UTF-8 text: this first line (the format and its version), then one
// function a line in torvel-batch syntax without the file arguments; '#' comments and
// blank lines are skipped.
inline constexpr std::string_view kRecipeHeader = "# torvel recipe 1";

struct RecipeStep {
    int line = 0; // where it stands in the recipe, 1-based
    FunctionCall call;
};
using Recipe = std::vector<RecipeStep>;

// A recipe that cannot be run, and the line (1-based) that says why. Nothing runs.
struct RecipeError {
    int line = 0;
    UsageError error;
};

// Reads a recipe's text; every call is checked as running it would check it, so that a
// recipe either runs as a whole or is refused before it touches a program. Throws RecipeError.
Recipe parseRecipe(std::string_view text);

// The recipe that runs these calls in order; each line of `note` becomes a comment under
// the first line.
std::string recipeText(const std::vector<FunctionCall>& calls, std::string_view note = {});

struct RecipeResult {
    static constexpr size_t kNone = std::numeric_limits<size_t>::max();
    size_t failedStep = kNone; // the step that stopped the recipe
    RunResult failure; // its result: the program line and the message

    bool failed() const { return failedStep != kNone; }
};

// Sees the text before and after each step it watches that succeeded (to check a step's
// result against what it means); the text before is kept only for those steps.
class StepWatcher {
public:
    virtual ~StepWatcher() = default;
    virtual bool watches(const RecipeStep& step) const = 0;
    virtual void stepDone(const RecipeStep& step, const ProgramText& before, const ProgramText& after) = 0;
};

// Runs the steps in order on the document, each through the run protocol with its own
// history entry, the texts read for a program shown as UTF-8 or not (showsAsUtf8) as the
// window reads what is typed for it. Stops at the first step that fails; the steps before
// it stay applied.
RecipeResult applyRecipe(
    Document& doc, const Recipe& recipe, bool utf8Program, RunObserver& observer, StepWatcher* watcher = nullptr);

} // namespace torvel
