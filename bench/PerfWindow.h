#pragma once

// The real main window, offscreen, with a generated program opened through
// Arquivo › Abrir: where the window measurements start.

#include "PerfProgram.h"
#include "app/MainWindow.h"
#include "app/WindowAssembly.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>

namespace perf {

// Before the QApplication: offscreen unless the caller chose a platform.
inline void offscreenUnlessSet()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The positive number in argv[index], or the fallback.
inline long long argument(int argc, char* argv[], int index, long long fallback)
{
    return argc > index && std::atoll(argv[index]) > 0 ? std::atoll(argv[index]) : fallback;
}

// Lets the event loop run for ms milliseconds.
inline void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Needs the QApplication. Every file question answers the generated program and
// every yes/no question "No", for the whole measurement.
class OpenedWindow {
public:
    explicit OpenedWindow(long long lines)
        : path_(dir_.filePath(QStringLiteral("programa.nc")))
        , window_(nullptr, dir_.path())
    {
        writeProgram(path_, lines);
        assembleWindow(window_);
        window_.showMaximized();
        FileDialog::setHook([this](const QString&, const QString&) { return path_; });
        MessageBox::setHook([](const QString&, const QString&) { return MessageBox::No; });
        window_.openFile();
        QApplication::processEvents();
    }

    MainWindow& window() { return window_; }

private:
    QTemporaryDir dir_;
    QString path_;
    MainWindow window_;
};

} // namespace perf
