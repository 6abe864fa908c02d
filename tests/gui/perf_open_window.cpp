// Opens a 1,000,000-line program (about 40 MB) in the real main window,
// offscreen, and reports the time to the first painted screen, the time to
// scroll to the last line and the peak memory of the process.
//
//   perf_open_window [lines] [--plain]   (QT_QPA_PLATFORM=offscreen is set if unset)
//
// --plain detaches the highlighter, to tell the view's share from the highlighter's.
//
// Exit status 1 when a figure misses its limit: first screen 1.5 s, scroll to
// the end 0.3 s, peak resident memory 4 times the file size.

#include "app/frmMain.h"
#include "editor/TSynEdit.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// Resident and peak resident memory of this process, in bytes.
long long statusKb(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::atoll(line.c_str() + prefix.size());
    }
    return 0;
}

// A milling program of plausible shape: numbered blocks, moves, arcs, comments.
long long writeProgram(const QString& path, long long lines)
{
    std::ofstream out(QFile::encodeName(path).constData(), std::ios::binary);
    std::string block;
    long long bytes = 0;
    for (long long i = 1; i <= lines; ++i) {
        block.clear();
        block += 'N';
        block += std::to_string(i * 10);
        switch (i % 8) {
        case 0:
            block += " G02 X" + std::to_string(i % 997) + ".125 Y-" + std::to_string(i % 613) + ".5 I2.5 J-1.25 F300";
            break;
        case 1:
            block += " G00 X" + std::to_string(i % 911) + ".001 Y" + std::to_string(i % 577) + ".25 Z5.";
            break;
        case 2:
            block += " (DESBASTE PASSADA " + std::to_string(i % 50) + ")";
            break;
        default:
            block += " G01 X" + std::to_string(i % 997) + ".375 Y" + std::to_string(i % 613) + ".75 Z-1.5 F150";
            break;
        }
        block += "\r\n";
        out << block;
        bytes += static_cast<long long>(block.size());
    }
    return bytes;
}

double ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const long long lines = argc > 1 && std::atoll(argv[1]) > 0 ? std::atoll(argv[1]) : 1000000;
    const bool plain = argc > 2 && std::string(argv[2]) == "--plain";

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("programa.nc"));
    const long long fileBytes = writeProgram(path, lines);

    QApplication app(argc, argv);
    TForm1 window(nullptr, dir.path());
    window.showMaximized();
    QApplication::processEvents();
    const long long baseKb = statusKb("VmRSS");

    FileDialog::setHook([&](const QString&, const QString&) { return path; });
    MessageBox::setHook([](const QString&, const QString&) { return MessageBox::No; });
    TSynEdit* view = window.editor();
    if (plain)
        view->setHighlighter(nullptr);

    // From the file chosen to the first screen drawn.
    QElapsedTimer open;
    open.start();
    window.FileOpenItemClick();
    QApplication::processEvents();
    view->viewport()->repaint();
    const double openMs = ms(open);

    // Ctrl+End and the screen at the last line.
    QElapsedTimer scroll;
    scroll.start();
    view->setCaretRow(lines);
    QApplication::processEvents();
    view->viewport()->repaint();
    const double scrollMs = ms(scroll);

    const long long peakKb = statusKb("VmHWM");
    const double fileMb = static_cast<double>(fileBytes) / (1 << 20);
    const double peakMb = static_cast<double>(peakKb) / 1024;
    std::printf("lines %lld, file %.1f MB%s\n", lines, fileMb, plain ? ", no highlighter" : "");
    std::printf("first screen   %8.1f ms (limit 1500)\n", openMs);
    std::printf("scroll to end  %8.1f ms (limit 300)\n", scrollMs);
    std::printf("peak memory    %8.1f MB = %.2f x file (limit 4); window before open %.1f MB\n", peakMb,
        peakMb / fileMb, static_cast<double>(baseKb) / 1024);
    std::printf(
        "last row shown %lld, gutter \"%s\"\n", view->caretRow(), qPrintable(view->gutterTextAt(view->caretRow())));

    window.FileCloseItemClick();
    const bool ok = openMs <= 1500 && scrollMs <= 300 && peakMb <= 4 * fileMb && view->caretRow() == lines;
    return ok ? 0 : 1;
}
