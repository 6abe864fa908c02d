// A five-function recipe applied through the real main window, offscreen, to a
// 1,000,000-line program, against the same five functions run one after another as
// their dialogs run them. Each side is timed from the first function's start to the
// end of the last, then undone; the undo snapshots are compressed between rounds.
//
//   perf_window_recipe [lines] [rounds]   (QT_QPA_PLATFORM=offscreen is set if unset)

#include "PerfWindow.h"
#include "core/CallTools.h"
#include "core/Recipe.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const char* const kRecipe = "# torvel recipe 1\n"
                            "spaces --remove\n"
                            "renumber --start 10 --step 10\n"
                            "translate --z -0.5 --plus\n"
                            "comment --find F300 --open '(' --close ')'\n"
                            "replace --find G01 --with G1\n";

} // namespace

int main(int argc, char* argv[])
{
    perf::offscreenUnlessSet();
    const long long lines = perf::argument(argc, argv, 1, 1000000);
    const int rounds = static_cast<int>(perf::argument(argc, argv, 2, 3));

    QApplication app(argc, argv);
    perf::OpenedWindow opened(lines);
    MainWindow& window = opened.window();
    auto* runner = window.findChild<ToolRunner*>();
    Session& session = window.session();
    const torvel::Recipe recipe = torvel::parseRecipe(kRecipe);
    const torvel::CallReading reading = torvel::CallReading::forProgram(session.utf8Display());

    std::vector<double> oneByOne, asRecipe;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer t;
        t.start();
        for (const torvel::RecipeStep& step : recipe) {
            const auto tool = torvel::makeTool(step.call, reading);
            runner->run(nullptr, *tool, torvel::callRange(step.call));
        }
        oneByOne.push_back(perf::ms(t));
        for (size_t i = 0; i < recipe.size(); ++i)
            session.undo();
        perf::spin(1500);

        t.restart();
        runner->runRecipe(recipe);
        asRecipe.push_back(perf::ms(t));
        for (size_t i = 0; i < recipe.size(); ++i)
            session.undo();
        perf::spin(1500);
    }
    const double a = perf::median(oneByOne), b = perf::median(asRecipe);
    std::printf("lines %lld, five functions, medians of %d rounds\n", lines, rounds);
    std::printf("one by one  %8.0f ms\nas a recipe %8.0f ms\nratio       %8.2f\n", a, b, b / a);
    return 0;
}
