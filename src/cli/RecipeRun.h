#pragma once

#include <string>
#include <vector>

namespace torvel::batch {

// torvel-batch run RECIPE [--verify] [-j N] (--in-place | -o DIR) FILE...
struct RecipeRunOptions {
    std::string recipe;
    unsigned jobs = 0; // workers; 0: one per core
    bool inPlace = false;
    bool verify = false; // each coordinate function checked against what it means
    std::string outputFolder; // -o DIR
    std::vector<std::string> files;
};

// Everything the command line can get wrong is a usage error, found before any file is
// read: a missing or doubled file, -o and --in-place together or neither, -o naming no
// folder, two files that would be written to the same place.
RecipeRunOptions recipeRunOptions(int argc, const char* const* argv);

// Applies the recipe to every file, over the workers. A file is written, atomically, only
// when every function succeeded on it. Each failure is one line on standard error as it
// happens, the counts of files changed, unchanged and failed go to standard output at the
// end, and a progress bar is drawn on standard error when it is a terminal. With verify,
// the lines where a coordinate function's result is not what it means go to standard error
// as "FILE: line N: reason" (the file is written all the same) and the files with such
// lines are counted. Returns 0 when every file succeeded, 1 when one failed, else 3 when
// verification found lines; a recipe that cannot be read is a usage error.
int runRecipe(const RecipeRunOptions& options);

} // namespace torvel::batch
