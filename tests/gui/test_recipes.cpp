#include "app/MainWindow.h"
#include "core/FunctionCall.h"
#include "framework/FileDialog.h"
#include "framework/HistoryText.h"
#include "framework/MessageBox.h"
#include "framework/ProgressWindow.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"

#include "helpers/OpenedWindow.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

const QByteArray kProgram = "%\r\nO1000 (PECA 7)\r\nN10 G90 G54 G00 X0 Y0 Z5\r\nN20 T1 M06 M08\r\n"
                            "N30 G01 Z-1 F100\r\nN40 G02 X10 Y10 I5 J5\r\nN50 G03 X0 Y0 I-5 J-5\r\n"
                            "N60 G41 G01 Z5 M09\r\nN70 M30\r\n%\r\n";

// One function of each kind, as a machinist would chain them.
const char* const kSteps[] = {
    "spaces --remove",
    "renumber --start 10 --step 10 --digits 4",
    "replace --find G00 --with G0",
    "delete --find M09 --text",
    "comment --find M08 --open '(' --close ')'",
    "insert --find G41 --text '(COMP)' --after",
    "translate --x 1.5 --z -0.5 --plus --from 3 --to 9",
    "mirror --y --g02-g03 --g03-g02",
    "arcs --incremental",
    "insert-line --line 3",
    "edit-line --line 3 --text 'G0 Z50'",
    "delete-line --line 2",
};

QByteArray recipeOf(const QStringList& steps)
{
    return "# torvel recipe 1\n" + steps.join(QLatin1Char('\n')).toUtf8() + "\n";
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

struct Batch {
    int status;
    QByteArray out, err;
};

Batch batch(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(TORVEL_BATCH), args);
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QByteArray programBytes(MainWindow& window)
{
    return QByteArray::fromStdString(window.session().document().text.toFileBytes());
}

QAction* action(MainWindow& window, const char* name) { return window.findChild<QAction*>(QString::fromLatin1(name)); }

// Answers the recipe file dialogs with `recipe`, the others with the program.
void answerRecipe(OpenedWindow& w, const QString& recipe)
{
    FileDialog::setHook([&w, recipe](const QString& kind, const QString&) {
        return kind.endsWith(QLatin1String("recipe")) ? recipe : w.path;
    });
}

} // namespace

class TestRecipes : public QObject {
    Q_OBJECT
private slots:
    void windowRecipeGivesTheBytesOfTorvelBatch();
    void savedFromTheWindowReadsBack();
    void cancelStopsAfterTheFunctionInProgress();
    void badRecipeRunsNothing();
};

// The recipe applied in the window, `torvel-batch run` and the functions one by one through
// torvel-batch give the same bytes; the window's history says what --history says.
void TestRecipes::windowRecipeGivesTheBytesOfTorvelBatch()
{
    OpenedWindow w(kProgram);
    QVERIFY(w.window);
    QStringList steps;
    for (const char* s : kSteps)
        steps << QString::fromLatin1(s);
    const QString recipe = w.folder.filePath(QStringLiteral("r.receita"));
    writeFile(recipe, recipeOf(steps));
    answerRecipe(w, recipe);
    action(*w.window, "AplicarReceita1")->trigger();
    const QByteArray inWindow = programBytes(*w.window);
    const torvel::History& history = w.window->session().document().history;
    QCOMPARE(history.items().size(), size_t(steps.size() + 1));

    const QString out = w.folder.filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));
    const Batch run = batch({QStringLiteral("run"), recipe, QStringLiteral("-o"), out, w.path});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("1 changed, 0 unchanged, 0 failed\n"));
    QCOMPARE(readFile(out + QStringLiteral("/programa.nc")), inWindow);

    QString current = w.path;
    for (int k = 0; k < steps.size(); ++k) {
        QStringList args;
        for (const std::string& word : torvel::shellWords(steps[k].toStdString()))
            args << QString::fromStdString(word);
        const QString next = w.folder.filePath(QStringLiteral("step%1.nc").arg(k));
        const Batch one = batch(args << QStringLiteral("--history") << QStringLiteral("-o") << next << current);
        QCOMPARE(one.status, 0);
        // The block without its "[Função1]", "[Fim Função1]" and empty lines is the entry's description.
        QStringList block = QString::fromUtf8(one.err).split(QLatin1Char('\n'));
        block = block.mid(1, block.size() - 4);
        QStringList entry;
        for (const std::string& line : history.viewerLines(k + 1))
            entry << historyText(line);
        QCOMPARE(entry, block);
        current = next;
    }
    QCOMPARE(readFile(current), inWindow);
}

// Functions run from their dialogs and the menu, saved from the viewer (from an entry on)
// and from the menu (all), read back as the calls that ran.
void TestRecipes::savedFromTheWindowReadsBack()
{
    OpenedWindow w(kProgram);
    QVERIFY(w.window);
    MainWindow& window = *w.window;
    const auto runDialog = [&](const char* item, const char* dialogName, const std::function<void(QDialog*)>& fill) {
        action(window, item)->trigger();
        auto* dialog = window.findChild<QDialog*>(QString::fromLatin1(dialogName));
        QVERIFY(dialog && dialog->isVisible());
        fill(dialog);
    };
    runDialog("AdicionarouRemoverespaos1", "Form2", [](QDialog* d) {
        d->findChild<QRadioButton*>(QStringLiteral("RadioButton1"))->setChecked(true);
        d->findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    });
    action(window, "InserirLinha1")->trigger();
    runDialog("SubstituirEliminar1", "Form4", [](QDialog* d) {
        d->findChild<QComboBox*>(QStringLiteral("Textloc"))->setEditText(QStringLiteral("G01 "));
        d->findChild<QComboBox*>(QStringLiteral("Textsub"))->setEditText(QStringLiteral("G1 'X'"));
        d->findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    });
    QCOMPARE(window.session().document().history.items().size(), size_t(4));

    const QString fromSecond = w.folder.filePath(QStringLiteral("dois.receita"));
    answerRecipe(w, fromSecond);
    window.historyViewer(2);
    auto* viewer = window.findChild<QDialog*>(QStringLiteral("Form17"));
    QVERIFY(viewer && viewer->isVisible());
    viewer->findChild<QPushButton*>(QStringLiteral("btnSalvarReceita"))->click();
    viewer->close();
    QCOMPARE(readFile(fromSecond),
        QByteArray("# torvel recipe 1\ninsert-line --line 1\nreplace --find 'G01 ' --with 'G1 '\\''X'\\'''\n"));

    const QString all = w.folder.filePath(QStringLiteral("todas"));
    answerRecipe(w, all);
    action(window, "SalvarReceita1")->trigger();
    const QByteArray saved = readFile(all + QStringLiteral(".receita"));
    QVERIFY2(saved.startsWith("# torvel recipe 1\nspaces --remove\ninsert-line"), saved.constData());
    const torvel::Recipe recipe = torvel::parseRecipe(saved.toStdString());
    QCOMPARE(recipe.size(), size_t(3));
    QCOMPARE(recipe[2].call, window.session().document().history.callsFrom(0)[2]);
}

// "Cancelar" during the first function lets it finish and runs none after it; the function
// done stays undoable.
void TestRecipes::cancelStopsAfterTheFunctionInProgress()
{
    OpenedWindow w(kProgram);
    QVERIFY(w.window);
    const QString recipe = w.folder.filePath(QStringLiteral("r.receita"));
    writeFile(recipe,
        recipeOf({QStringLiteral("spaces --remove"), QStringLiteral("translate --z 1"),
            QStringLiteral("replace --find G01 --with G1")}));
    answerRecipe(w, recipe);
    auto* runner = w.window->findChild<ToolRunner*>();
    QVERIFY(runner);
    QString title;
    runner->lineHook = [&](long long position) {
        if (position == 3 && title.isEmpty()) {
            title = runner->progressWindow()->windowTitle() + QLatin1Char('|')
                + runner->progressWindow()->recipeStepLabel()->text();
            runner->progressWindow()->cancelButton()->click();
        }
    };
    action(*w.window, "AplicarReceita1")->trigger();
    runner->lineHook = {};
    QCOMPARE(title,
        QStringLiteral("Aplicar Receita: Adicionar ou Remover Espaços (1 de 3)|Função 1 de 3: Adicionar ou Remover "
                       "Espaços"));
    const torvel::Document& doc = w.window->session().document();
    QCOMPARE(doc.history.items().size(), size_t(2));
    QVERIFY(programBytes(*w.window).contains("N10G90G54G00X0Y0Z5"));
    QVERIFY(!runner->progressWindow()->isVisible());
    action(*w.window, "Undo1")->trigger();
    QCOMPARE(programBytes(*w.window), kProgram);
}

// A recipe with a bad line is refused with the line's number, and nothing runs.
void TestRecipes::badRecipeRunsNothing()
{
    OpenedWindow w(kProgram);
    QVERIFY(w.window);
    QStringList said;
    MessageBox::setHook([&](const QString&, const QString& text) {
        said << text;
        return MessageBox::Ok;
    });
    const QString recipe = w.folder.filePath(QStringLiteral("ruim.receita"));
    writeFile(recipe,
        recipeOf({QStringLiteral("spaces --remove"), QStringLiteral("# nota"), QStringLiteral("translate --q 1")}));
    answerRecipe(w, recipe);
    action(*w.window, "AplicarReceita1")->trigger();
    QCOMPARE(
        said, QStringList {QStringLiteral("Receita ruim.receita, linha 4:\nopção desconhecida '--q' para translate")});
    QCOMPARE(w.window->session().document().history.items().size(), size_t(0));
    QCOMPARE(programBytes(*w.window), kProgram);
}

QTEST_MAIN(TestRecipes)
#include "test_recipes.moc"
