// How long the window stops answering while a function runs on a 1,000,000-line
// program and in the two seconds after it (the undo snapshot is compressed then):
// the longest gap between two turns of the event loop, seen by a 1 ms timer, through
// the real main window offscreen. Translate and mirror are checked after the run, as
// the window checks them. Also how long a Ctrl+Z takes that comes at once,
// before the snapshot is compressed, and one that comes after.
//
//   perf_window_stall [lines] [function]   (QT_QPA_PLATFORM=offscreen is set if unset)

#include "PerfWindow.h"
#include "core/RunProtocol.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"
#include "core/CoordinateTools.h"
#include "verify/Verification.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace {

// The longest time between two turns of the event loop, split at a moment the caller sets.
class StallMeter : public QObject {
public:
    StallMeter()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        connect(&timer_, &QTimer::timeout, this, [this] {
            const double now = perf::ms(clock_);
            const double gap = now - last_;
            last_ = now;
            double& worst = now <= split_ ? before_ : after_;
            worst = std::max(worst, gap);
        });
    }
    void start()
    {
        clock_.start();
        last_ = 0;
        split_ = 1e300;
        before_ = after_ = 0;
        timer_.start();
    }
    void splitNow() { split_ = perf::ms(clock_); }
    void stop() { timer_.stop(); }
    double before() const { return before_; }
    double after() const { return after_; }
    double elapsed() const { return perf::ms(clock_); }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    double last_ = 0;
    double split_ = 1e300;
    double before_ = 0;
    double after_ = 0;
};

// With PERF_TRACE set, names each event whose own handling (nested events not
// counted) takes longer than that many ms, to find what makes a gap.
class TracingApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        static const double limit = std::getenv("PERF_TRACE") ? std::atof(std::getenv("PERF_TRACE")) : -1;
        if (limit < 0)
            return QApplication::notify(receiver, event);
        // The receiver may be gone when the event has been handled.
        const char* className = receiver->metaObject()->className();
        const int type = static_cast<int>(event->type());
        QPointer<QObject> alive(receiver);
        QElapsedTimer clock;
        clock.start();
        const double nestedBefore = nested_;
        nested_ = 0;
        const bool done = QApplication::notify(receiver, event);
        const double total = clock.nsecsElapsed() / 1e6;
        const double own = total - nested_;
        nested_ = nestedBefore + total;
        if (own > limit)
            std::fprintf(stderr, "  %.1f ms own (%.1f total): event %d to %s %s\n", own, total, type, className,
                alive ? qPrintable(alive->objectName()) : "");
        return done;
    }

private:
    double nested_ = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    perf::offscreenUnlessSet();
    const long long lines = perf::argument(argc, argv, 1, 1000000);

    TracingApplication app(argc, argv);
    perf::OpenedWindow opened(lines);
    MainWindow& window = opened.window();
    perf::spin(500);
    auto* runner = window.findChild<ToolRunner*>();
    torvel::UndoRing& undo = window.session().document().undo;

    // The coordinate functions are checked after they run, on workers, while the window goes on.
    std::vector<perf::Function> functions = perf::windowFunctions({"spaces --remove", "renumber", "replace G01"});
    std::vector<torvel::FunctionMeaning> meanings(functions.size());
    torvel::TranslateOptions translate;
    translate.x = true;
    translate.xValue = "2.5";
    functions.push_back(perf::Function {"translate X", [translate]() -> std::unique_ptr<torvel::LineTool> {
                                            return std::make_unique<torvel::TranslateTool>(translate);
                                        }});
    meanings.push_back(torvel::meaningOf(translate));
    torvel::MirrorOptions mirror;
    mirror.x = mirror.g02ToG03 = mirror.g03ToG02 = true;
    functions.push_back(perf::Function {"mirror X",
        [mirror]() -> std::unique_ptr<torvel::LineTool> { return std::make_unique<torvel::MirrorTool>(mirror); }});
    meanings.push_back(torvel::meaningOf(mirror));
    std::printf("lines %lld; longest event-loop gap in ms\n", lines);
    std::printf("%-16s %8s %12s %12s %12s %12s\n", "function", "run ms", "during run", "2 s after", "undo at once",
        "undo later");
    double worst = 0;
    for (size_t i = 0; i < functions.size(); ++i) {
        const perf::Function& f = functions[i];
        const torvel::FunctionMeaning& meaning = meanings[i];
        if (argc > 2 && std::strcmp(argv[2], f.name) != 0)
            continue;
        const bool checked = meaning.kind != torvel::FunctionMeaning::Kind::Nothing;
        double undoAtOnce = 0, undoLater = 0;
        for (bool early : {true, false}) {
            StallMeter meter;
            const auto tool = f.make();
            double runMs = 0;
            meter.start();
            QTimer::singleShot(20, [&] {
                const double start = meter.elapsed();
                runner->run(nullptr, *tool, torvel::Range(), checked ? &meaning : nullptr);
                runMs = meter.elapsed() - start;
                meter.splitNow();
            });
            perf::spin(early ? 60 : 20);
            while (runMs == 0)
                perf::spin(10);
            if (!early)
                perf::spin(2000);
            meter.stop();
            QElapsedTimer t;
            t.start();
            window.undoLastFunction();
            (early ? undoAtOnce : undoLater) = perf::ms(t);
            undo.waitForCompaction();
            perf::spin(300);
            if (!early) {
                std::printf("%-16s %8.0f %12.1f %12.1f %12.1f %12.1f\n", f.name, runMs, meter.before(), meter.after(),
                    undoAtOnce, undoLater);
                worst = std::max({worst, meter.before(), meter.after()});
            }
        }
    }
    std::printf("longest gap: %.1f ms\n", worst);
    window.closeFile();
    return 0;
}
