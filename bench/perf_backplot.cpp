// The "Trajetória" dock on a long program, through the real main window: the
// time from the program view's first paint to the first full drawing of the
// path, the frames that follow a zoom, a pan, a turn of the 3D view and a caret
// move, a click on a segment until its line is the caret's, and the memory the
// path takes. With --shot it saves a picture of the window instead.
//
//   perf_backplot [PROGRAM] [--rounds N]           (default /tmp/big.nc)
//   perf_backplot PROGRAM --shot FILE.png [--view xy|xz|yz|iso] [--caret LINE] [--select FIRST LAST]
//       [--turn AZIMUTH ELEVATION] [--size WxH]
//
// QT_QPA_PLATFORM=offscreen is set if unset. Exit status 1 when a figure misses
// its limit: first drawing 1000 ms after the view's, later frames 30 ms, click
// to line 20 ms, the path's memory 2 times the file.

#include "PerfProgram.h"
#include "app/MainWindow.h"
#include "app/WindowAssembly.h"
#include "editor/ProgramView.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"
#include "plot/BackplotDock.h"
#include "plot/PlotCanvas.h"
#include "toolpath/Toolpath.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

long long statusKb(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::atoll(line.c_str() + prefix.size());
    return 0;
}

// Forgets the peak so far, so that the next reading of VmHWM is the peak from now on.
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

template <class Done> bool waitFor(Done done, int limitMs = 60000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limitMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

struct Stats {
    std::vector<double> v;
    double median() const { return perf::median(v); }
    double worst() const { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }
};

// The page point halfway along a motion whose line is `line` or after it.
QPointF pointOfLine(const PlotCanvas& canvas, uint32_t line, uint32_t* found)
{
    const torvel::Toolpath& path = *canvas.path();
    const torvel::MotionRange r = path.motionsOfLines(line, static_cast<uint32_t>(path.lineCount()));
    for (size_t i = r.begin; i < r.end; ++i) {
        if (path.kind(i) != torvel::MotionKind::Feed
            || torvel::distance(path.start(i), path.end(i)) * canvas.frame().scale < 8)
            continue;
        const torvel::Point3 a = path.start(i), b = path.end(i);
        const torvel::Point2 p = canvas.frame().toPage({(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2});
        if (p.x < 10 || p.y < 10 || p.x > canvas.width() - 10 || p.y > canvas.height() - 10)
            continue;
        *found = path.line(i);
        return QPointF(p.x, p.y);
    }
    *found = 0;
    return QPointF(-1, -1);
}

void click(QWidget* w, QPointF at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(
        QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QString program = QStringLiteral("/tmp/big.nc");
    QString shot, viewName;
    int rounds = 20;
    long long caret = 0, selFirst = 0, selLast = 0;
    double azimuth = 1e9, elevation = 0;
    QSize size(1600, 900);
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--rounds" && i + 1 < argc)
            rounds = std::atoi(argv[++i]);
        else if (a == "--shot" && i + 1 < argc)
            shot = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--view" && i + 1 < argc)
            viewName = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--caret" && i + 1 < argc)
            caret = std::atoll(argv[++i]);
        else if (a == "--select" && i + 2 < argc) {
            selFirst = std::atoll(argv[++i]);
            selLast = std::atoll(argv[++i]);
        } else if (a == "--turn" && i + 2 < argc) {
            azimuth = std::atof(argv[++i]);
            elevation = std::atof(argv[++i]);
        } else if (a == "--size" && i + 1 < argc)
            std::sscanf(argv[++i], "%dx%d", &size.rwidth(), &size.rheight());
        else
            program = QString::fromLocal8Bit(argv[i]);
    }
    if (!QFileInfo::exists(program)) {
        std::fprintf(stderr, "%s is missing; make it with python3 ../shared/bench/gen_gcode.py 1000000 --seed 1\n",
            qPrintable(program));
        return 2;
    }
    const double fileMb = static_cast<double>(QFileInfo(program).size()) / (1 << 20);

    QApplication app(argc, argv);
    QTemporaryDir dir;
    MainWindow window(nullptr, dir.path());
    assembleWindow(window);
    window.resize(size);
    window.show();
    QApplication::processEvents();
    FileDialog::setHook([&](const QString&, const QString&) { return program; });
    MessageBox::setHook([](const QString&, const QString&) { return MessageBox::No; });
    ProgramView* view = window.view();
    auto* dock = window.findChild<BackplotDock*>(QStringLiteral("Trajetoria"));
    PlotCanvas* canvas = dock->canvas();

    if (!shot.isEmpty()) {
        window.openFile();
        waitFor([&] { return dock->path() != nullptr; });
        if (const auto v = torvel::viewFromName(viewName.toStdString()))
            canvas->setView(*v);
        if (azimuth < 1e8) {
            canvas->setView(torvel::PlotView::Iso);
            canvas->turn(azimuth, elevation);
            canvas->fitAll();
        }
        if (caret > 0)
            view->setCaretRow(caret);
        if (selLast > 0) {
            view->setCaretRow(selFirst);
            view->setSelection(static_cast<int>(selFirst - 1 - view->windowStart()), 0,
                static_cast<int>(selLast - view->windowStart()), 0);
        }
        QApplication::processEvents();
        canvas->update();
        waitFor([&] {
            QApplication::processEvents();
            return canvas->showsFullDrawing();
        });
        QApplication::processEvents();
        const bool saved = window.grab().save(shot);
        std::printf("%s: %zu motions, saved %s\n", qPrintable(program), dock->path()->size(), saved ? "yes" : "no");
        window.closeFile();
        return saved ? 0 : 1;
    }

    // Memory: the program opened with the dock hidden, then the dock shown.
    dock->hide();
    window.openFile();
    QApplication::processEvents();
    view->viewport()->repaint();
    QApplication::processEvents();
    const long long textKb = statusKb("VmRSS");
    resetPeak();
    dock->show();
    waitFor([&] { return canvas->showsFullDrawing(); });
    waitFor([&] { return canvas->hasIndex(); });
    QApplication::processEvents();
    const double pathMb = static_cast<double>(statusKb("VmRSS") - textKb) / 1024;
    const double peakMb = static_cast<double>(statusKb("VmHWM") - textKb) / 1024;
    window.closeFile();
    QApplication::processEvents();

    // First drawing after the view's first paint.
    Stats viewPaint, firstDrawing;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        window.openFile();
        QApplication::processEvents();
        view->viewport()->repaint();
        const double painted = perf::ms(t);
        waitFor([&] { return canvas->showsFullDrawing(); });
        viewPaint.v.push_back(painted);
        firstDrawing.v.push_back(perf::ms(t) - painted);
        waitFor([&] { return canvas->hasIndex(); });
        if (round < 2)
            window.closeFile();
    }

    // Frames: each change painted at once.
    const auto frameTime = [&](auto change) {
        QElapsedTimer t;
        t.start();
        change();
        canvas->repaint();
        return perf::ms(t);
    };
    Stats zoom, pan, turn, caretMove, redraw;
    const QPointF middle(canvas->width() / 2.0, canvas->height() / 2.0);
    for (int i = 0; i < rounds; ++i) {
        zoom.v.push_back(frameTime([&] { canvas->zoomAt(middle + QPointF(i % 7 * 5, 0), i % 2 ? 1 / 1.25 : 1.25); }));
        pan.v.push_back(frameTime([&] { canvas->pan(i % 2 ? 15 : -15, 7); }));
    }
    // A full drawing again after a zoom.
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        canvas->zoomAt(middle, i % 2 ? 1 / 1.5 : 1.5);
        canvas->repaint();
        waitFor([&] { return canvas->showsFullDrawing(); });
        redraw.v.push_back(perf::ms(t));
    }
    canvas->fitAll();
    for (int i = 0; i < rounds; ++i) {
        const long long row = 1 + (static_cast<long long>(i) * 48611) % view->lineCount();
        // The view's own repaint is the editor's cost, not the drawing's.
        caretMove.v.push_back(frameTime([&] { view->setCaretRow(row); }));
    }
    canvas->setView(torvel::PlotView::Iso);
    for (int i = 0; i < rounds; ++i)
        turn.v.push_back(frameTime([&] { canvas->turn(-45 + i * 3, 35 - i); }));

    // Click to line: the click, the caret in the view and its screen painted.
    canvas->setView(torvel::PlotView::Top);
    waitFor([&] { return canvas->showsFullDrawing(); });
    Stats clickToLine, hitTest;
    int clicksRight = 0;
    for (int i = 0; i < rounds; ++i) {
        uint32_t line = 0;
        const QPointF at = pointOfLine(
            *canvas, static_cast<uint32_t>((static_cast<long long>(i) * 37813) % view->lineCount()), &line);
        if (at.x() < 0)
            continue;
        QElapsedTimer t;
        t.start();
        canvas->motionAt(at);
        hitTest.v.push_back(perf::ms(t));
        t.restart();
        click(canvas, at);
        view->viewport()->repaint();
        canvas->repaint();
        clickToLine.v.push_back(perf::ms(t));
        // Another motion may lie nearer the point than the one aimed at.
        if (const auto hit = canvas->motionAt(at); hit && view->caretRow() == canvas->path()->line(*hit) + 1)
            ++clicksRight;
    }

    // A verification's findings on every fifth line, as a mirror of a program full of arcs
    // gives: their halo comes with the next full drawing, and frames stay as they were.
    std::vector<uint32_t> marks;
    for (uint32_t line = 4; line < view->lineCount(); line += 5)
        marks.push_back(line);
    Stats markedDrawing, markedZoom;
    {
        QElapsedTimer t;
        t.start();
        dock->setMarkedLines(marks);
        canvas->repaint();
        waitFor([&] { return canvas->showsFullDrawing(); });
        markedDrawing.v.push_back(perf::ms(t));
    }
    for (int i = 0; i < rounds; ++i)
        markedZoom.v.push_back(frameTime([&] { canvas->zoomAt(middle, i % 2 ? 1 / 1.25 : 1.25); }));
    dock->setMarkedLines({});

    std::printf(
        "%s: %.1f MB, %zu motions, %lld lines\n", qPrintable(program), fileMb, dock->path()->size(), view->lineCount());
    std::printf("view first paint     %8.1f ms (median of 3, from the file chosen)\n", viewPaint.median());
    std::printf("first full drawing   %8.1f ms after it (median of 3, limit 1000)\n", firstDrawing.median());
    std::printf("zoom frame           %8.1f ms median, %6.1f worst (limit 30)\n", zoom.median(), zoom.worst());
    std::printf("pan frame            %8.1f ms median, %6.1f worst (limit 30)\n", pan.median(), pan.worst());
    std::printf("3D turn frame        %8.1f ms median, %6.1f worst (limit 30)\n", turn.median(), turn.worst());
    std::printf(
        "caret move frame     %8.1f ms median, %6.1f worst (limit 30)\n", caretMove.median(), caretMove.worst());
    std::printf("full drawing again   %8.1f ms median after a zoom\n", redraw.median());
    std::printf("click to line        %8.1f ms median, %6.1f worst (limit 20); %d of %zu on the line hit\n",
        clickToLine.median(), clickToLine.worst(), clicksRight, clickToLine.v.size());
    std::printf("  of which the search %8.1f ms median\n", hitTest.median());
    std::printf("%zu lines marked    %8.1f ms to the full drawing; zoom frame %.1f ms median, %.1f worst (limit 30)\n",
        marks.size(), markedDrawing.median(), markedZoom.median(), markedZoom.worst());
    std::printf("path memory          %8.1f MB = %.2f x file, peak while built %.1f MB = %.2f x (limit 2)\n", pathMb,
        pathMb / fileMb, peakMb, peakMb / fileMb);
    window.closeFile();
    const bool ok = firstDrawing.median() <= 1000 && zoom.worst() <= 30 && pan.worst() <= 30 && turn.worst() <= 30
        && caretMove.worst() <= 30 && markedZoom.worst() <= 30 && clickToLine.worst() <= 20 && peakMb <= 2 * fileMb
        && clicksRight == static_cast<int>(clickToLine.v.size());
    return ok ? 0 : 1;
}
