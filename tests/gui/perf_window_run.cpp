// Runs functions on a 1,000,000-line program through the real main window,
// offscreen, and compares each with the same function run by the core alone:
// the window's time runs from the start of the run to the refreshed screen.
//
//   perf_window_run [lines] [rounds]   (QT_QPA_PLATFORM=offscreen is set if unset)

#include "PerfProgram.h"
#include "app/frmMain.h"
#include "core/RenumberTool.h"
#include "core/RunProtocol.h"
#include "core/SpacesTool.h"
#include "core/WordTools.h"
#include "editor/TSynEdit.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"
#include "tools/ToolsInstaller.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct Function {
    const char* name;
    std::function<std::unique_ptr<torvel::LineTool>()> make;
};

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
    TForm1 window(nullptr, dir.path());
    installTools(window);
    window.showMaximized();
    FileDialog::setHook([&](const QString&, const QString&) { return path; });
    MessageBox::setHook([](const QString&, const QString&) { return MessageBox::No; });
    window.FileOpenItemClick();
    QApplication::processEvents();
    auto* runner = window.findChild<ToolRunner*>();
    torvel::Document& doc = window.session().document();

    const Function functions[] = {
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
    };
    std::printf("lines %lld, medians of %d rounds\n", lines, rounds);
    std::printf("%-16s %10s %10s %8s\n", "function", "core ms", "window ms", "ratio");
    for (const Function& f : functions) {
        std::vector<double> core, shown;
        for (int round = 0; round < rounds; ++round) {
            {
                torvel::Document alone {doc.text, torvel::UndoRing(), torvel::History()};
                torvel::RunObserver quiet;
                const auto tool = f.make();
                QElapsedTimer t;
                t.start();
                torvel::runFunction(alone, *tool, torvel::Range(), quiet);
                core.push_back(perf::ms(t));
            }
            const auto tool = f.make();
            QElapsedTimer t;
            t.start();
            runner->run(nullptr, *tool, torvel::Range());
            QApplication::processEvents();
            window.editor()->viewport()->repaint();
            shown.push_back(perf::ms(t));
            window.Undo1Click();
            QApplication::processEvents();
        }
        std::printf("%-16s %10.1f %10.1f %8.2f\n", f.name, perf::median(core), perf::median(shown),
            perf::median(shown) / perf::median(core));
    }
    window.FileCloseItemClick();
    return 0;
}
