// Runs functions on a 1,000,000-line program through the real main window,
// offscreen, and compares each with the same function run by the core alone:
// the window's time runs from the start of the run until the view has painted
// the result. The undo snapshot is compressed after that, between rounds.
//
//   perf_window_run [lines] [rounds] [function]   (QT_QPA_PLATFORM=offscreen is set if unset)

#include "PerfWindow.h"
#include "core/RunProtocol.h"
#include "editor/ProgramView.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

// Notes that a widget got a paint event.
class PaintSeen : public QObject {
public:
    bool seen = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        seen = seen || event->type() == QEvent::Paint;
        return false;
    }
};

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
    torvel::Document& doc = window.session().document();

    const std::vector<perf::Function> functions = perf::windowFunctions();
    PaintSeen paint;
    window.view()->viewport()->installEventFilter(&paint);
    std::printf("lines %lld, medians of %d rounds\n", lines, rounds);
    std::printf("%-16s %10s %10s %8s\n", "function", "core ms", "window ms", "ratio");
    for (const perf::Function& f : functions) {
        if (argc > 3 && std::strcmp(argv[3], f.name) != 0)
            continue;
        std::vector<double> core, shown;
        for (int round = 0; round < rounds; ++round) {
            {
                torvel::Document alone {doc.text, torvel::UndoRing(), torvel::History()};
                torvel::RunObserver quiet;
                const auto tool = f.make();
                // Both runs start with the program out of the caches, as after a user's pause.
                perf::evictCaches();
                QElapsedTimer t;
                t.start();
                torvel::runFunction(alone, *tool, torvel::Range(), quiet);
                core.push_back(perf::ms(t));
            }
            // Until the view has painted the result.
            const auto tool = f.make();
            perf::evictCaches();
            QElapsedTimer t;
            t.start();
            paint.seen = false;
            runner->run(nullptr, *tool, torvel::Range());
            while (!paint.seen)
                QApplication::processEvents();
            shown.push_back(perf::ms(t));
            window.undoLastFunction();
            // The snapshots are compressed a moment after the screen shows the result;
            // that must not fall into the next measurement.
            QElapsedTimer idle;
            idle.start();
            while (idle.elapsed() < 400)
                QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        std::printf("%-16s %10.1f %10.1f %8.2f\n", f.name, perf::median(core), perf::median(shown),
            perf::median(shown) / perf::median(core));
    }
    window.closeFile();
    return 0;
}
