#pragma once

// The real main window, offscreen, with a generated program opened through
// Arquivo › Abrir: where the window measurements start.

#include "PerfProgram.h"
#include "app/MainWindow.h"
#include "app/WindowAssembly.h"
#include "core/RenumberTool.h"
#include "core/SpacesTool.h"
#include "core/WordTools.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

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

struct Function {
    const char* name;
    std::function<std::unique_ptr<torvel::LineTool>()> make;
};

// The functions the window measurements run; `only` keeps those named in it.
inline std::vector<Function> windowFunctions(std::initializer_list<const char*> only = {})
{
    std::vector<Function> all = {
        {"spaces --remove", [] { return std::make_unique<torvel::SpacesTool>(torvel::SpacesOptions {false}); }},
        {"spaces --add", [] { return std::make_unique<torvel::SpacesTool>(torvel::SpacesOptions {true}); }},
        {"renumber",
            [] {
                return std::make_unique<torvel::RenumberTool>(torvel::RenumberOptions {false, 1, true, 5, 5});
            }},
        {"replace G01",
            [] {
                return std::make_unique<torvel::ReplaceTool>(torvel::ReplaceOptions {"G01", "G1"});
            }},
        {"replace F300",
            [] {
                return std::make_unique<torvel::ReplaceTool>(torvel::ReplaceOptions {"F300", "F250"});
            }},
        {"delete text F150",
            [] {
                return std::make_unique<torvel::DeleteTool>(
                    torvel::DeleteOptions {"F150", torvel::DeleteOptions::Mode::Text});
            }},
        {"delete lines Z5.",
            [] {
                return std::make_unique<torvel::DeleteTool>(
                    torvel::DeleteOptions {"Z5.", torvel::DeleteOptions::Mode::Lines});
            }},
    };
    if (only.size() == 0)
        return all;
    std::vector<Function> kept;
    for (Function& f : all)
        for (const char* name : only)
            if (std::strcmp(f.name, name) == 0)
                kept.push_back(std::move(f));
    return kept;
}

} // namespace perf
