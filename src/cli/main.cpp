// torvel-batch: one editor function applied to a program file, or a recipe of them to many
// files, without the window.

#include "cli/Arguments.h"
#include "cli/BatchFunctions.h"
#include "cli/RecipeRun.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string_view>

int main(int argc, char** argv)
{
    using namespace torvel::batch;
    try {
        switch (requestOf(argc, argv)) {
        case Request::Help:
            std::fputs(kUsage, stdout);
            return 0;
        case Request::Version:
            std::puts("torvel-batch " TORVEL_VERSION);
            return 0;
        case Request::Run:
            break;
        }
        if (argc > 1 && std::string_view(argv[1]) == "run")
            return runRecipe(recipeRunOptions(argc, argv));
        return runBatch(parseArguments(argc, argv));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "torvel-batch: %s\n", e.message.c_str());
    } catch (const std::bad_alloc&) {
        std::fputs("torvel-batch: not enough memory for this program\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "torvel-batch: %s\n", e.what());
    }
    return 2;
}
