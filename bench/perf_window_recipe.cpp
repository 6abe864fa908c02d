// A five-function recipe applied through the real main window, offscreen, to a
// 1,000,000-line program, against the same five functions run one after another as
// their dialogs run them. Each side is timed from the first function's start to the
// end of the last, then undone; the undo snapshots are compressed between rounds.
//
//   perf_window_recipe [lines] [rounds]   (QT_QPA_PLATFORM=offscreen is set if unset)

#include "PerfProgram.h"
#include "app/MainWindow.h"
#include "app/WindowAssembly.h"
#include "core/CallTools.h"
#include "core/Recipe.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

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

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const long long lines = argc > 1 && std::atoll(argv[1]) > 0 ? std::atoll(argv[1]) : 1000000;
    const int rounds = argc > 2 && std::atoi(argv[2]) > 0 ? std::atoi(argv[2]) : 3;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("programa.nc"));
    perf::writeProgram(path, lines);

    QApplication app(argc, argv);
    MainWindow window(nullptr, dir.path());
    assembleWindow(window);
    window.showMaximized();
    FileDialog::setHook([&](const QString&, const QString&) { return path; });
    MessageBox::setHook([](const QString&, const QString&) { return MessageBox::No; });
    window.openFile();
    QApplication::processEvents();
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
        settle(1500);

        t.restart();
        runner->runRecipe(recipe);
        asRecipe.push_back(perf::ms(t));
        for (size_t i = 0; i < recipe.size(); ++i)
            session.undo();
        settle(1500);
    }
    const double a = perf::median(oneByOne), b = perf::median(asRecipe);
    std::printf("lines %lld, five functions, medians of %d rounds\n", lines, rounds);
    std::printf("one by one  %8.0f ms\nas a recipe %8.0f ms\nratio       %8.2f\n", a, b, b / a);
    return 0;
}
