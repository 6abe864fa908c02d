#include "app/WindowAssembly.h"

#include "app/AboutDialog.h"
#include "app/MainWindow.h"
#include "core/Errors.h"
#include "core/LineCommands.h"
#include "core/Settings.h"
#include "editor/ProgramView.h"
#include "framework/GoToDialog.h"
#include "framework/HistoryViewer.h"
#include "framework/ProgressWindow.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"
#include "framework/VerificationDock.h"
#include "framework/VerificationRunner.h"
#include "highlight/ColourDialog.h"
#include "highlight/GCodeLexer.h"
#include "plot/BackplotDock.h"
#include "plot/PlotCanvas.h"
#include "tools/ArcCentresDialog.h"
#include "tools/CommentDialog.h"
#include "tools/DeleteWordDialog.h"
#include "tools/InsertInfoDialog.h"
#include "tools/LineEditDialog.h"
#include "tools/MirrorDialog.h"
#include "tools/RecipeCommands.h"
#include "tools/RenumberDialog.h"
#include "tools/ReplaceDialog.h"
#include "tools/SpacesDialog.h"
#include "tools/TranslateDialog.h"

#include <QFile>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// The coordinate functions' results are checked on a worker; the findings go to the
// "Verificação" dock, the count to the status bar, their lines to the "Trajetória" dock.
// A check is about one text: when the program changes again (an undo, another function,
// a line edit) or a preview goes, its findings go with it. An undo takes the program back
// to before the function checked, so there is nothing of it left to check again.
void assembleVerification(MainWindow& window, ToolRunner& runner, BackplotDock* backplot)
{
    auto* verifier = new VerificationRunner(&window);
    runner.setVerifier(verifier);
    auto* dock = new VerificationDock(&window);
    window.addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();
    // Closed, it would otherwise come back only with the next check.
    dock->toggleViewAction()->setObjectName(QStringLiteral("Verificacao1"));
    dock->toggleViewAction()->setText(QStringLiteral("Verificação"));
    window.addBarItem(dock->toggleViewAction());
    const auto mark = [backplot](std::vector<uint32_t> lines) {
        if (backplot)
            backplot->setMarkedLines(std::move(lines));
    };
    QObject::connect(verifier, &VerificationRunner::started, dock, [&window, dock, mark] {
        mark({});
        dock->showChecking();
        dock->show();
        window.statusBar()->showMessage(QStringLiteral("Conferindo a trajetória..."));
    });
    QObject::connect(verifier, &VerificationRunner::finished, dock, [&window, dock, verifier, mark] {
        if (verifier->failed())
            dock->showFailure();
        else
            dock->showFindings(verifier->findings());
        std::vector<uint32_t> lines;
        for (const torvel::Finding& f : verifier->findings())
            if (lines.empty() || lines.back() != f.line)
                lines.push_back(f.line);
        mark(std::move(lines));
        dock->show();
        window.statusBar()->showMessage(dock->summary());
    });
    QObject::connect(dock, &VerificationDock::lineChosen, &window, [&window](long long row) {
        window.view()->setCaretRow(row);
        window.view()->setFocus();
    });

    const auto discard = [&window, dock, verifier, mark](bool say) {
        if (!dock->showsCheck())
            return;
        verifier->cancel();
        mark({});
        dock->showDiscarded();
        if (say)
            window.statusBar()->showMessage(VerificationDock::discardedText());
    };
    Session& session = window.session();
    QObject::connect(&session, &Session::textChanged, dock, [discard] { discard(true); });
    QObject::connect(&window, &MainWindow::programClosed, dock, [discard] { discard(false); });
    QObject::connect(&window, &MainWindow::programOpened, dock, [discard] { discard(false); });
    // "Visualizar" draws a dialog's result over the path in the "Trajetória" dock.
    if (backplot) {
        runner.showPreview = [backplot](std::shared_ptr<const torvel::Toolpath> path) {
            backplot->show();
            backplot->setPreview(std::move(path));
        };
    }
    runner.clearPreview = [backplot, discard, verifier] {
        if (backplot)
            backplot->clearPreview();
        if (verifier->checksPreview())
            discard(false);
    };
}

// The "Trajetória" dock on the window's right, fed with the program and the
// caret, its visibility and view kept in the settings file.
void assembleBackplot(MainWindow& window, ProgressWindow* progress)
{
    Session& session = window.session();
    ProgramView* view = window.view();
    auto* dock = new BackplotDock(&window);
    dock->setDecimalSeparator(session.decimalSeparator());
    window.addDockWidget(Qt::RightDockWidgetArea, dock);
    window.addBarItem(dock->toggleViewAction());
    // The program stays the larger part of a small window: the drawing starts at two fifths.
    QTimer::singleShot(0, dock, [&window, dock] {
        window.resizeDocks({dock}, {std::clamp(window.width() * 2 / 5, 260, 520)}, Qt::Horizontal);
    });

    const torvel::SettingsFile settings(QFile::encodeName(window.settingsPath()).toStdString());
    const std::string section = "Trajetoria";
    if (settings.value(section, "Exibir") == std::string("0"))
        dock->hide();
    if (const auto name = settings.value(section, "Vista"))
        if (const auto shown = torvel::viewFromName(*name); shown && *shown != torvel::PlotView::Top)
            dock->canvas()->setView(*shown);
    // Written only when it differs, so that merely starting never touches the file.
    const auto remember = [settings, section](const std::string& key, const std::string& value) {
        if (settings.value(section, key) == value)
            return;
        try {
            settings.write({{section, key, value}});
        } catch (const torvel::Error&) {
            // An unwritable settings file costs the remembered state only.
        }
    };
    QObject::connect(dock->toggleViewAction(), &QAction::toggled, dock,
        [remember](bool shown) { remember("Exibir", shown ? "1" : "0"); });
    QObject::connect(dock, &BackplotDock::viewChanged, dock,
        [remember](torvel::PlotView shown) { remember("Vista", std::string(torvel::viewName(shown))); });

    QObject::connect(&window, &MainWindow::programOpened, dock, [dock, &session] {
        dock->setDecimalSeparator(session.decimalSeparator());
        dock->openProgram(session.document().text);
    });
    QObject::connect(&window, &MainWindow::programClosed, dock, &BackplotDock::closeProgram);
    // A function's run refreshes the text while the progress window shows; the
    // change is complete when the history grows, or when no run is going on (an undo).
    auto functionEnded = std::make_shared<bool>(false);
    QObject::connect(&session, &Session::historyChanged, dock, [functionEnded] { *functionEnded = true; });
    QObject::connect(&window, &MainWindow::programOpened, dock, [functionEnded] { *functionEnded = false; });
    QObject::connect(&session, &Session::textChanged, dock, [dock, &session, &window, progress, functionEnded] {
        if (!window.fileOpen())
            return;
        const bool settles = *functionEnded || !progress->isVisible();
        *functionEnded = false;
        dock->changeProgram(session.document().text, settles);
    });

    const auto followCaret = [dock, view] {
        const auto [first, last] = view->selectedRows();
        const auto row = [](long long r) { return static_cast<uint32_t>(std::max(0LL, r - 1)); };
        dock->setCaret(row(view->caretRow()), last >= first ? row(first) : 1, last >= first ? row(last) : 0);
    };
    QObject::connect(view, &QsciScintilla::cursorPositionChanged, dock, followCaret);
    QObject::connect(view, &QsciScintilla::selectionChanged, dock, followCaret);
    QObject::connect(view, &ProgramView::windowFilled, dock, followCaret);
    QObject::connect(dock, &BackplotDock::lineActivated, view, [view, followCaret](uint32_t line) {
        view->setCaretRow(static_cast<long long>(line) + 1);
        followCaret();
    });
}

void assembleTools(MainWindow& window)
{
    Session& session = window.session();
    auto* progress = new ProgressWindow(&window);
    assembleBackplot(window, progress);
    auto* runner = new ToolRunner(session, &window, progress, &window);
    assembleVerification(window, *runner, window.findChild<BackplotDock*>());

    const auto dialog = [&](const char* menuName, ToolDialog* dlg) {
        window.setToolAction(QString::fromLatin1(menuName), [dlg] { dlg->showModal(); });
    };
    dialog("AdicionarouRemoverespaos1", new SpacesDialog(session, *runner, &window));
    dialog("EditarN1", new RenumberDialog(session, *runner, &window));
    dialog("SubstituirEliminar1", new ReplaceDialog(session, *runner, &window));
    dialog("Deletar1", new DeleteWordDialog(session, *runner, &window));
    dialog("DeletarComentarSubstituir1", new CommentDialog(session, *runner, &window));
    dialog("InserirInformaes1", new InsertInfoDialog(session, *runner, &window));
    dialog("EditarLinha1", new LineEditDialog(session, *runner, &window));
    dialog("AbsolutoIncremental1", new ArcCentresDialog(session, *runner, &window));
    dialog("Translao1", new TranslateDialog(session, *runner, &window));
    dialog("Espelhamento1", new MirrorDialog(session, *runner, &window));

    // The line commands act at once on the caret line.
    window.setToolAction(QStringLiteral("InserirLinha1"),
        [&session, runner] { runner->edit(torvel::LineCommand::Insert, session.caretRow()); });
    window.setToolAction(QStringLiteral("DeletarLinha1"),
        [&session, runner] { runner->edit(torvel::LineCommand::Delete, session.caretRow()); });

    auto* goTo = new GoToDialog(&window);
    window.goToDialog
        = [goTo](long long lines, const GoToDialog::Resolver& resolve) { return goTo->ask(lines, resolve); };

    auto* viewer = new HistoryViewer(session, &window);
    window.historyViewer = [viewer](int selectedIndex) { viewer->showFor(selectedIndex); };

    // The menu saves every function applied; the viewer, those from the entry it shows.
    auto* recipes = new RecipeCommands(session, *runner, &window);
    window.setToolAction(QStringLiteral("SalvarReceita1"), [recipes, &window] { recipes->save(&window, 0); });
    window.setToolAction(QStringLiteral("AplicarReceita1"), [recipes] { recipes->apply(); });
    viewer->saveRecipe = [recipes](QWidget* parent, int fromIndex) { recipes->save(parent, fromIndex); };
}

} // namespace

void assembleWindow(MainWindow& window)
{
    auto* about = new AboutDialog(&window);
    window.aboutBox = [about] { about->exec(); };

    // The dialog writes the colours the window reads; "Aplicar" is followed by a new highlighter.
    Session& session = window.session();
    const torvel::SettingsFile settings(QFile::encodeName(window.settingsPath()).toStdString());
    auto* colours = new ColourDialog(window.colourValues(), settings, &window);
    ColourDialog::Seams seams;
    seams.openHelp = [&session](const QString& page) { session.openHelp(page); };
    colours->setSeams(std::move(seams));
    window.colourDialog = [colours] { colours->exec(); };

    assembleTools(window);
}

GCodeLexer* attachHighlighter(ProgramView& view, const torvel::ColourValues& colours, QObject* owner)
{
    auto* lexer = new GCodeLexer(colours, view.editorFont(), owner);
    lexer->setRangeSource([shown = QPointer<ProgramView>(&view)] {
        return shown ? shown->rangeBeforeWindow() : torvel::RangeState::None;
    });
    QObject::connect(&view, &ProgramView::windowFilled, lexer, &GCodeLexer::forgetRanges);
    view.setHighlighter(lexer);
    return lexer;
}
