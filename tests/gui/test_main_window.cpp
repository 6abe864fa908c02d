#include "app/MainWindow.h"
#include "editor/ProgramView.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"
#include "framework/Session.h"

#include "helpers/SpokenNames.h"

#include <Qsci/qscilexer.h>

#include <QClipboard>
#include <QDockWidget>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <vector>

namespace {

// What the window asked through the modal seams, and the answers it gets.
struct Dialogs {
    QStringList questions;
    QStringList errors;
    QStringList fileDialogs; // "open:<preset>" or "save:<preset>"
    MessageBox::Answer answer = MessageBox::No;
    QString chosenFile;

    Dialogs()
    {
        MessageBox::setHook([this](const QString& kind, const QString& text) {
            (kind == QLatin1String("question") ? questions : errors).append(text);
            return answer;
        });
        FileDialog::setHook([this](const QString& kind, const QString& preset) {
            fileDialogs.append(kind + QLatin1Char(':') + preset);
            return chosenFile;
        });
    }
    ~Dialogs()
    {
        MessageBox::setHook({});
        FileDialog::setHook({});
    }
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList texts(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* item : items)
        out << QString::fromUtf8(item);
    return out;
}

QAction* action(const MainWindow& w, const char* name) { return w.findChild<QAction*>(QLatin1String(name)); }

// Menu texts in order, "-" for a separator.
QStringList itemsOf(const QMenu* menu)
{
    QStringList items;
    for (QAction* a : menu->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return items;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void menusAndShortcuts();
    void toolBarsAndButtons();
    void startsWithNoFile();
    void openShowsTheFileAndSaveWritesIt();
    void saveAsMovesTheTitle();
    void cancelAtTheQuestionKeepsTheFile();
    void closeAsksEvenWhenNothingChanged();
    void yesSavesBeforeClosing();
    void exitWithNoWritesNothing();
    void exitWithCancelIsRefused();
    void failedLoadLeavesNoFile();
    void failedSaveKeepsTheFileOpen();
    void openResetsHistoryAndUndo();
    void undoKeysReachTheMenu();
    void copyKeyCopiesTheSelection();
    void historyListClicks();
    void everyControlHasASpokenName();
    void viewToggles();
    void logoArithmetic_data();
    void logoArithmetic();
    void logoFollowsTheSizeBeforeAResize();
    void settingsAtStart();
    void settingsWithoutFontSection();
    void unreadableSettingsAreSaidOnce();
    void fontCommandWritesTheSettingsFile();
    void cancelledFontWritesNothing();
    void helpOpensTheIndexPage();
    void toolActionsAreInstalledFromOutside();
    void colourCommandRebuildsTheHighlighter();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString file(const char* name) const { return dir_->filePath(QLatin1String(name)); }
};

void TestMainWindow::init() { dir_ = std::make_unique<QTemporaryDir>(); }

void TestMainWindow::menusAndShortcuts()
{
    MainWindow w(nullptr, dir_->path());
    QStringList titles;
    for (QAction* a : w.menuBar()->actions())
        titles << a->text();
    QCOMPARE(titles, texts({"&Arquivo", "&Editar", "Exibir", "&Ferramentas", "Configurações", "&Ajuda"}));

    const QList<QAction*> menus = w.menuBar()->actions();
    QCOMPARE(itemsOf(menus[0]->menu()),
        texts({"&Abrir", "-", "&Salvar", "Salvar &como...", "-", "&Fechar arquivo", "Sai&r"}));
    QCOMPARE(itemsOf(menus[1]->menu()),
        texts({"Undo", "Recor&tar", "&Copiar", "C&olar", "-", "&Localizar...", "Localizar &próxima",
            "Localizar &anterior", "&Ir para linha..."}));
    QCOMPARE(itemsOf(menus[2]->menu()), texts({"Barra de Ferramentas", "Barra de Histórico"}));
    QCOMPARE(itemsOf(menus[3]->menu()),
        texts({"Adicionar ou Remover Espaços", "Editar Nºs dos Blocos", "-", "Substituir Palavra", "Deletar Palavra",
            "Comentar Linha", "Inserir Informações", "Inserir Linha", "Excluir Linha", "Editar Linha", "-",
            "Absoluto / Incremental", "Translação", "Espelhamento", "-", "Salvar Receita...", "Aplicar Receita..."}));
    QCOMPARE(itemsOf(menus[4]->menu()), texts({"Cores do Código G", "Fonte"}));
    QCOMPARE(itemsOf(menus[5]->menu()), texts({"Contéudo e Índice", "-", "&Sobre o Torvel"}));

    const struct {
        const char* name;
        QKeySequence key;
    } shortcuts[] = {
        {"FileOpenItem", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"FileSaveItem", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"Salvarcomo1", QKeySequence()},
        {"FileCloseItem", QKeySequence()},
        {"FileExitItem", QKeySequence()},
        {"Undo1", QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {"Recortar1", QKeySequence(Qt::CTRL | Qt::Key_X)},
        {"Copiar1", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"Colar1", QKeySequence(Qt::CTRL | Qt::Key_V)},
        {"FindItem", QKeySequence(Qt::CTRL | Qt::Key_F)},
        {"FindNextItem", QKeySequence(Qt::Key_F3)},
        {"FindPreviousItem", QKeySequence(Qt::SHIFT | Qt::Key_F3)},
        {"GoToItem", QKeySequence(Qt::CTRL | Qt::Key_G)},
    };
    for (const auto& s : shortcuts) {
        QAction* a = action(w, s.name);
        QVERIFY2(a, s.name);
        QCOMPARE(a->shortcut(), s.key);
        QCOMPARE(a->shortcutContext(), Qt::WindowShortcut);
    }
    for (const char* name : {"BarradeFerramentas1", "BarradeHistorico1"}) {
        QVERIFY(action(w, name)->isCheckable());
        QVERIFY(action(w, name)->isChecked());
    }
    for (const char* name : {"Undo1", "AdicionarouRemoverespaos1", "EditarN1", "SubstituirEliminar1", "Deletar1",
             "DeletarComentarSubstituir1", "InserirInformaes1", "InserirLinha1", "DeletarLinha1", "EditarLinha1",
             "AbsolutoIncremental1", "Translao1", "Espelhamento1", "Coresdasfunes1", "Fonte1", "Contudoendice1",
             "HelpAboutItem"}) {
        QVERIFY2(action(w, name), name);
        QVERIFY(action(w, name)->isEnabled());
    }
}

void TestMainWindow::toolBarsAndButtons()
{
    MainWindow w(nullptr, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* bar = w.findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    QVERIFY(bar);
    QStringList order;
    for (QAction* a : bar->actions()) {
        auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a));
        order << (b ? b->objectName() + QLatin1Char('=') + b->toolTip() : QStringLiteral("-"));
        if (b) {
            QVERIFY(!b->icon().isNull());
            QCOMPARE(b->size(), QSize(28, 33));
            QCOMPARE(b->accessibleName(), b->toolTip());
        }
    }
    QCOMPARE(order,
        texts({"SpeedButton2=Abrir Arquivo", "-", "SpeedButton1=Salvar Arquivo", "SpeedButton9=Salvar Arquivo Como",
            "-", "SpeedButton7=Desfazer Função"}));
    QVERIFY(!w.findChild<QToolButton*>(QStringLiteral("SpeedButton7"))->isEnabled());

    const char* hints[] = {"Adicionar ou Remover Espaços em Branco", "Editar Números dos Blocos", "Substituir Palavra",
        "Deletar Palavra", "Comentar Linha", "Converter coordenadas I J para Absoluto ou Incremental",
        "Translação das coordenadas X Y Z", "Aplicar Espelhamento as coordenadas X e Y", "Inserir Informações",
        "Editar Linha", "Inserir Linha", "Excluir Linha"};
    QPoint previous;
    for (int i = 0; i < 12; ++i) {
        auto* b = w.findChild<QToolButton*>(QStringLiteral("BT%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        QVERIFY(b);
        QCOMPARE(b->toolTip(), QString::fromUtf8(hints[i]));
        QVERIFY(!b->icon().isNull());
        QCOMPARE(b->size(), QSize(28, 28));
        QVERIFY(b->isEnabled());
        // Four rows of three, left to right.
        if (i % 3)
            QVERIFY(b->pos().y() == previous.y() && b->pos().x() > previous.x());
        else if (i)
            QVERIFY(b->pos().y() > previous.y());
        previous = b->pos();
    }

    auto* tools = w.findChild<QDockWidget*>(QStringLiteral("ToolBar2"));
    auto* history = w.findChild<QDockWidget*>(QStringLiteral("ToolBar3"));
    auto* dock = w.findChild<QMainWindow*>(QStringLiteral("ControlBar1"));
    QVERIFY(tools && history && dock);
    QCOMPARE(tools->parent(), dock);
    QCOMPARE(dock->dockWidgetArea(tools), Qt::LeftDockWidgetArea);
    QVERIFY(tools->geometry().bottom() < history->geometry().top());
    QCOMPARE(dock->width(), 147);
    QVERIFY(tools->findChild<QLabel*>()->text() == QStringLiteral("Ferramentas"));
    auto* caption = history->findChild<QLabel*>();
    QCOMPARE(caption->text(), QStringLiteral("Histórico de\nFunções"));
    QVERIFY(caption->alignment() & Qt::AlignHCenter);
    auto* list = w.findChild<QListWidget*>(QStringLiteral("ListView1"));
    QVERIFY(list && list->parent()->parent() == history);
    QVERIFY(caption->geometry().bottom() < list->geometry().top());
    QCOMPARE(list->width(), 130);
    QVERIFY(w.findChild<QStatusBar*>(QStringLiteral("Statusbar")));
}

void TestMainWindow::startsWithNoFile()
{
    MainWindow w(nullptr, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.windowTitle(), QStringLiteral("Torvel"));
    QVERIFY(!w.fileOpen());
    QVERIFY(!w.view()->isVisible());
    QCOMPARE(w.view()->lineCount(), 0LL);
    auto* logo = w.findChild<QLabel*>(QStringLiteral("Image1"));
    QVERIFY(logo && logo->isVisible());
    QCOMPARE(logo->size(), QSize(500, 163));
    QCOMPARE(w.session().decimalSeparator() == '.' || w.session().decimalSeparator() == ',', true);
}

void TestMainWindow::openShowsTheFileAndSaveWritesIt()
{
    const QString path = file("peca.nc");
    writeAll(path, "N10 G01 X10.5\nN20 Y-3"); // LF only, no break after the last line
    MainWindow w(nullptr, dir_->path());
    w.show();
    Dialogs d;
    d.chosenFile = path;
    w.openFile();
    QCOMPARE(d.questions, QStringList()); // nothing was open
    QCOMPARE(d.fileDialogs, QStringList({QStringLiteral("open:")}));
    QCOMPARE(w.windowTitle(), QStringLiteral("Torvel - (") + path + QLatin1Char(')'));
    QVERIFY(w.view()->isVisible());
    QCOMPARE(w.view()->lineCount(), 2LL);
    QCOMPARE(w.view()->text(1), QStringLiteral("N20 Y-3"));

    w.findChild<QToolButton*>(QStringLiteral("SpeedButton1"))->click();
    QCOMPARE(readAll(path), QByteArray("N10 G01 X10.5\nN20 Y-3\n"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Torvel - (") + path + QLatin1Char(')'));
    QVERIFY(d.errors.isEmpty());

    // A function's change is what gets saved.
    w.session().document().text.replace(0, "N10 G00");
    w.session().notifyTextChanged();
    QCOMPARE(w.view()->text(0), QStringLiteral("N10 G00\n"));
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keySequence(&w, QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(readAll(path), QByteArray("N10 G00\nN20 Y-3\n"));

    // The open dialog starts with the file last chosen.
    d.answer = MessageBox::Cancel;
    d.fileDialogs.clear();
    w.closeFile();
    d.answer = MessageBox::No;
    w.closeFile();
    w.findChild<QToolButton*>(QStringLiteral("SpeedButton2"))->click();
    QCOMPARE(d.fileDialogs, QStringList({QStringLiteral("open:") + path}));
}

void TestMainWindow::saveAsMovesTheTitle()
{
    const QString path = file("a.nc");
    const QString other = file("b.nc");
    writeAll(path, "N1\r\nN2\nN3\r\n"); // mixed breaks are saved as CR LF
    writeAll(other, "old contents that are replaced without a question");
    MainWindow w(nullptr, dir_->path());
    Dialogs d;
    d.chosenFile = path;
    w.openFile();
    d.chosenFile = other;
    w.findChild<QToolButton*>(QStringLiteral("SpeedButton9"))->click();
    QCOMPARE(d.fileDialogs.last(), QStringLiteral("save:") + path);
    QCOMPARE(readAll(other), QByteArray("N1\r\nN2\r\nN3\r\n"));
    QCOMPARE(w.currentFile(), other);
    QCOMPARE(w.windowTitle(), QStringLiteral("Torvel - (") + other + QLatin1Char(')'));
    QVERIFY(d.questions.isEmpty());

    // Cancelling the save dialog changes nothing.
    d.chosenFile.clear();
    w.saveFileAs();
    QCOMPARE(w.currentFile(), other);

    // With no file open, save and save as do nothing at all.
    d.answer = MessageBox::No;
    w.closeFile();
    d.fileDialogs.clear();
    w.saveFile();
    w.saveFileAs();
    QVERIFY(d.fileDialogs.isEmpty());
    QVERIFY(d.errors.isEmpty());
}

void TestMainWindow::cancelAtTheQuestionKeepsTheFile()
{
    const QString path = file("aberto.nc");
    writeAll(path, "N10\r\n");
    MainWindow w(nullptr, dir_->path());
    Dialogs d;
    d.chosenFile = path;
    w.openFile();
    d.answer = MessageBox::Cancel;
    d.fileDialogs.clear();
    w.openFile();
    QCOMPARE(d.questions,
        QStringList({QStringLiteral("O arquivo ") + path
            + QStringLiteral(" está aberto. Gostaria de salva-lo antes de abrir outro arquivo?")}));
    QVERIFY(d.fileDialogs.isEmpty()); // no open dialog after Cancel
    QVERIFY(w.fileOpen());
    QCOMPARE(w.windowTitle(), QStringLiteral("Torvel - (") + path + QLatin1Char(')'));
    QVERIFY(!w.view()->isHidden());

    // The prompt is built afresh by the next close.
    d.questions.clear();
    w.closeFile();
    QCOMPARE(d.questions, QStringList({QStringLiteral("Gostaria de salvar o arquivo ") + path + QLatin1Char('?')}));
}

void TestMainWindow::closeAsksEvenWhenNothingChanged()
{
    const QString path = file("x.nc");
    writeAll(path, "N10\r\n");
    MainWindow w(nullptr, dir_->path());
    w.show();
    Dialogs d;
    d.chosenFile = path;
    w.openFile();
    d.answer = MessageBox::No;
    w.closeFile();
    QCOMPARE(d.questions, QStringList({QStringLiteral("Gostaria de salvar o arquivo ") + path + QLatin1Char('?')}));
    QVERIFY(!w.fileOpen());
    QCOMPARE(w.windowTitle(), QStringLiteral("Torvel"));
    QVERIFY(!w.view()->isVisible());
    QCOMPARE(w.view()->lineCount(), 0LL);
    QCOMPARE(readAll(path), QByteArray("N10\r\n"));

    // Closing with nothing open asks nothing; cancelling the open dialog leaves the bare title.
    d.questions.clear();
    w.closeFile();
    d.chosenFile.clear();
    w.openFile();
    QVERIFY(d.questions.isEmpty());
    QCOMPARE(w.windowTitle(), QStringLiteral("Torvel"));
}

void TestMainWindow::yesSavesBeforeClosing()
{
    const QString path = file("y.nc");
    writeAll(path, "N10\rN20"); // CR only
    MainWindow w(nullptr, dir_->path());
    Dialogs d;
    d.chosenFile = path;
    w.openFile();
    w.session().document().text.append("N30");
    d.answer = MessageBox::Yes;
    w.closeFile();
    QCOMPARE(readAll(path), QByteArray("N10\rN20\rN30\r"));
    QVERIFY(!w.fileOpen());
}

void TestMainWindow::exitWithNoWritesNothing()
{
    const QString path = file("z.nc");
    writeAll(path, "N10\r\n");
    MainWindow w(nullptr, dir_->path());
    w.show();
    Dialogs d;
    d.chosenFile = path;
    w.openFile();
    w.session().document().text.append("N20");
    QFile::remove(path);
    d.answer = MessageBox::No;
    w.exitProgram();
    QCOMPARE(d.questions,
        QStringList({QStringLiteral("O arquivo ") + path
            + QStringLiteral(" está aberto. Gostaria de salva-lo antes de encerrar o programa Torvel?")}));
    QVERIFY(!w.isVisible());
    QVERIFY(!QFile::exists(path));
}

void TestMainWindow::exitWithCancelIsRefused()
{
    const QString path = file("c.nc");
    writeAll(path, "N10\r\n");
    MainWindow w(nullptr, dir_->path());
    w.show();
    Dialogs d;
    d.chosenFile = path;
    w.openFile();
    d.answer = MessageBox::Cancel;
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QVERIFY(w.fileOpen());
    // With no file open the window closes without a question.
    d.answer = MessageBox::No;
    w.closeFile();
    d.questions.clear();
    QVERIFY(w.close());
    QVERIFY(d.questions.isEmpty());
}

void TestMainWindow::failedLoadLeavesNoFile()
{
    const QString missing = file("nao-existe.nc");
    MainWindow w(nullptr, dir_->path());
    w.show();
    Dialogs d;
    d.chosenFile = missing;
    w.openFile();
    QCOMPARE(d.errors, QStringList({QStringLiteral("Cannot open file ") + missing + QLatin1Char('.')}));
    QVERIFY(!w.fileOpen());
    QCOMPARE(w.windowTitle(), QStringLiteral("Torvel"));
    QVERIFY(!w.view()->isVisible());
    // No later save or Yes can create the unread file.
    d.answer = MessageBox::Yes;
    w.saveFile();
    w.closeFile();
    QVERIFY(!QFile::exists(missing));

    // A failed load after an open file was closed leaves nothing open either.
    const QString good = file("bom.nc");
    writeAll(good, "N10\r\n");
    d.chosenFile = good;
    w.openFile();
    QVERIFY(w.fileOpen());
    d.answer = MessageBox::No;
    d.chosenFile = dir_->path(); // a folder cannot be read as a program
    w.openFile();
    QVERIFY(!w.fileOpen());
    QCOMPARE(w.view()->lineCount(), 0LL);
    QCOMPARE(d.errors.last(), QStringLiteral("Cannot open file ") + dir_->path() + QLatin1Char('.'));
}

void TestMainWindow::failedSaveKeepsTheFileOpen()
{
    QDir(dir_->path()).mkdir(QStringLiteral("sub"));
    const QString path = file("sub/p.nc");
    writeAll(path, "N10\r\n");
    MainWindow w(nullptr, dir_->path());
    Dialogs d;
    d.chosenFile = path;
    w.openFile();
    QVERIFY(QDir(file("sub")).removeRecursively());

    w.saveFile();
    QCOMPARE(d.errors, QStringList({QStringLiteral("Cannot create file ") + path + QLatin1Char('.')}));

    // Yes at the close of an exit: the save fails, the file stays open and the window stays.
    d.errors.clear();
    d.answer = MessageBox::Yes;
    QVERIFY(!w.close());
    QCOMPARE(d.errors.size(), 1);
    QVERIFY(w.fileOpen());

    // Save as into a missing folder keeps the old name and title.
    d.chosenFile = file("nope/q.nc");
    w.saveFileAs();
    QCOMPARE(d.errors.last(), QStringLiteral("Cannot create file ") + d.chosenFile + QLatin1Char('.'));
    QCOMPARE(w.currentFile(), path);
    QCOMPARE(w.windowTitle(), QStringLiteral("Torvel - (") + path + QLatin1Char(')'));
    d.answer = MessageBox::No;
    w.closeFile();
}

void TestMainWindow::openResetsHistoryAndUndo()
{
    const QString path = file("h.nc");
    writeAll(path, "N10\r\nN20\r\n");
    MainWindow w(nullptr, dir_->path());
    Dialogs d;
    d.chosenFile = path;
    w.openFile();
    torvel::Document& doc = w.session().document();
    auto* undoButton = w.findChild<QToolButton*>(QStringLiteral("SpeedButton7"));
    auto* list = w.findChild<QListWidget*>(QStringLiteral("ListView1"));

    doc.undo.store(doc.text);
    doc.text.replace(0, "N11");
    doc.history.record("AddEspaço", "Função Aplicada em todo Arquivo\r\n");
    w.session().notifyTextChanged();
    w.session().notifyHistoryChanged();
    w.session().notifyUndoState();
    QVERIFY(undoButton->isEnabled());
    QCOMPARE(list->count(), 2);

    // Close: list and ring emptied, log kept, button untouched.
    d.answer = MessageBox::No;
    w.closeFile();
    QCOMPARE(list->count(), 0);
    QCOMPARE(doc.undo.index(), 0);
    QVERIFY(!doc.history.log().empty());
    QVERIFY(undoButton->isEnabled());

    // Open: log emptied too and the button off.
    w.openFile();
    QVERIFY(doc.history.log().empty());
    QCOMPARE(list->count(), 0);
    QVERIFY(!undoButton->isEnabled());
    QCOMPARE(w.view()->text(0), QStringLiteral("N10\n"));
}

void TestMainWindow::undoKeysReachTheMenu()
{
    const QString path = file("u.nc");
    writeAll(path, "N10\r\nN20\r\n");
    MainWindow w(nullptr, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    Dialogs d;
    d.chosenFile = path;
    w.openFile();
    w.view()->setFocus();
    QSignalSpy undos(action(w, "Undo1"), &QAction::triggered);

    // Nothing to undo: nothing changes and the button stays off.
    QTest::keyClick(w.view(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(undos.count(), 1);
    QCOMPARE(w.view()->text(), QStringLiteral("N10\nN20"));
    QVERIFY(!w.findChild<QToolButton*>(QStringLiteral("SpeedButton7"))->isEnabled());

    // One snapshot: Ctrl+Z in the view puts it back.
    torvel::Document& doc = w.session().document();
    doc.undo.store(doc.text);
    doc.text.replace(1, "N25");
    w.session().notifyTextChanged();
    w.session().notifyUndoState();
    QVERIFY(w.findChild<QToolButton*>(QStringLiteral("SpeedButton7"))->isEnabled());
    QTest::keyClick(w.view(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(undos.count(), 2);
    QCOMPARE(w.view()->text(), QStringLiteral("N10\nN20"));
    QVERIFY(!w.findChild<QToolButton*>(QStringLiteral("SpeedButton7"))->isEnabled());

    // Ctrl+X and Ctrl+V go to the menu and change nothing.
    QSignalSpy cuts(action(w, "Recortar1"), &QAction::triggered);
    QSignalSpy pastes(action(w, "Colar1"), &QAction::triggered);
    w.view()->selectAll();
    QTest::keyClick(w.view(), Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(w.view(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(cuts.count(), 1);
    QCOMPARE(pastes.count(), 1);
    QCOMPARE(w.view()->text(), QStringLiteral("N10\nN20"));
    d.answer = MessageBox::No;
}

void TestMainWindow::copyKeyCopiesTheSelection()
{
    const QString path = file("k.nc");
    writeAll(path, "N10 G01\r\n");
    MainWindow w(nullptr, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    Dialogs d;
    d.chosenFile = path;
    w.openFile();
    w.view()->setFocus();
    w.view()->setSelection(0, 0, 0, 3);
    QApplication::clipboard()->clear();
    QTest::keyClick(w.view(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("N10"));
    d.answer = MessageBox::No;
}

void TestMainWindow::historyListClicks()
{
    MainWindow w(nullptr, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QList<int> shown;
    w.historyViewer = [&shown](int index) { shown << index; };
    torvel::Document& doc = w.session().document();
    doc.history.record("AddEspaço", "a\r\n");
    doc.history.record("Trans_XYZ", "b\r\n");
    w.session().notifyHistoryChanged();

    auto* list = w.findChild<QListWidget*>(QStringLiteral("ListView1"));
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Todas Funções"));
    QCOMPARE(list->item(1)->text(), QStringLiteral("1-AddEspaço"));
    QCOMPARE(list->item(2)->text(), QStringLiteral("2-Trans_XYZ"));
    QVERIFY(!list->item(2)->icon().isNull());

    const QPoint second = list->visualItemRect(list->item(2)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(w.selectedHistoryIndex(), 2);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(shown, QList<int>({2}));

    // A click below the items selects none; a double-click there shows nothing.
    const QPoint empty(10, list->viewport()->height() - 5);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, empty);
    QCOMPARE(w.selectedHistoryIndex(), -1);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, empty);
    QCOMPARE(shown, QList<int>({2}));

    const QPoint all = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, all);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, all);
    QCOMPARE(shown, QList<int>({2, 0}));

    // From the keyboard: the arrows move along the list, Enter shows the item.
    QCOMPARE(list->accessibleName(), QStringLiteral("Histórico de Funções"));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(shown, QList<int>({2, 0, 1}));
    QCOMPARE(w.selectedHistoryIndex(), 1);
}

void TestMainWindow::everyControlHasASpokenName()
{
    MainWindow w(nullptr, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(unnamedControls(&w), QStringList());
}

void TestMainWindow::viewToggles()
{
    MainWindow w(nullptr, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* tools = w.findChild<QDockWidget*>(QStringLiteral("ToolBar2"));
    auto* history = w.findChild<QDockWidget*>(QStringLiteral("ToolBar3"));
    auto* dock = w.findChild<QMainWindow*>(QStringLiteral("ControlBar1"));
    QAction* toolsItem = action(w, "BarradeFerramentas1");
    QAction* historyItem = action(w, "BarradeHistorico1");

    toolsItem->trigger();
    QVERIFY(!toolsItem->isChecked());
    QVERIFY(!tools->isVisible());
    QVERIFY(history->isVisible());
    historyItem->trigger();
    QVERIFY(!history->isVisible());
    QTRY_VERIFY(!dock->isVisible()); // an empty dock area takes no room

    // The bars' own state wins when the menu opens.
    tools->show();
    QTRY_VERIFY(dock->isVisible());
    emit w.findChild<QMenu*>(QStringLiteral("Exibir1"))->aboutToShow();
    QVERIFY(toolsItem->isChecked());
    QVERIFY(!historyItem->isChecked());

    // Functions are still listed while the bar is hidden.
    w.session().document().history.record("AddEspaço", "a\r\n");
    w.session().notifyHistoryChanged();
    QCOMPARE(w.findChild<QListWidget*>(QStringLiteral("ListView1"))->count(), 2);
}

void TestMainWindow::logoArithmetic_data()
{
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<int>("bar");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("restored size") << QSize(791, 613) << 147 << QPoint(219, 225);
    QTest::newRow("half rounds up") << QSize(790, 614) << 147 << QPoint(219, 226);
    QTest::newRow("height equals the logo") << QSize(1000, 163) << 147 << QPoint(324, 0);
    QTest::newRow("one more than the logo") << QSize(1000, 164) << 0 << QPoint(250, 1);
    QTest::newRow("half below zero rounds down") << QSize(301, 162) << 0 << QPoint(-100, -1);
    QTest::newRow("negative whole") << QSize(300, 63) << 0 << QPoint(-100, -50);
    QTest::newRow("no dock area") << QSize(1366, 768) << 0 << QPoint(433, 303);
}

void TestMainWindow::logoArithmetic()
{
    QFETCH(QSize, outer);
    QFETCH(int, bar);
    QFETCH(QPoint, expected);
    QCOMPARE(MainWindow::logoPosition(outer, bar, QSize(500, 163)), expected);
}

void TestMainWindow::logoFollowsTheSizeBeforeAResize()
{
    MainWindow w(nullptr, dir_->path());
    w.showNormal();
    w.resize(900, 700);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QSize before = w.frameGeometry().size();
    w.resize(1000, 760);
    QTRY_COMPARE(w.size(), QSize(1000, 760));
    auto* logo = w.findChild<QLabel*>(QStringLiteral("Image1"));
    const int bar = w.findChild<QMainWindow*>(QStringLiteral("ControlBar1"))->width();
    const QPoint expected = MainWindow::logoPosition(before, bar, QSize(500, 163));
    // Counted from the top left of the area under the menu bar.
    const QPoint placed = logo->mapTo(&w, QPoint(0, 0)) - QPoint(0, w.menuBar()->height());
    QCOMPARE(placed, expected);
}

void TestMainWindow::settingsAtStart()
{
    QSettings ini(file("Torvel.ini"), QSettings::IniFormat);
    ini.setValue(QStringLiteral("CorG/Valor"), 255);
    ini.setValue(QStringLiteral("Cor3/Valor"), QStringLiteral("$FF00"));
    ini.setValue(QStringLiteral("FONTE/TIPO"), QStringLiteral("DejaVu Sans Mono"));
    ini.setValue(QStringLiteral("FONTE/TAMANHO"), 13);
    ini.sync();
    MainWindow w(nullptr, dir_->path());
    QCOMPARE(w.settingsPath(), file("Torvel.ini"));
    QCOMPARE(w.colourValues()[4], 255);
    QCOMPARE(w.colourValues()[18], 0xFF00);
    QCOMPARE(w.colourValues()[0], 0);
    QCOMPARE(w.view()->fontFace(), QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(w.view()->fontSize(), 13);
}

void TestMainWindow::settingsWithoutFontSection()
{
    QSettings ini(file("Torvel.ini"), QSettings::IniFormat);
    ini.setValue(QStringLiteral("CorX/Valor"), 7);
    ini.sync();
    MainWindow plain(nullptr, QDir::tempPath() + QStringLiteral("/no-such-torvel-folder"));
    MainWindow w(nullptr, dir_->path());
    // Size 0 gives the platform's default height; the face stays.
    QCOMPARE(w.view()->fontFace(), plain.view()->fontFace());
    const int fallback = QFontDatabase::systemFont(QFontDatabase::FixedFont).pointSize();
    QCOMPARE(w.view()->fontSize(), fallback > 0 ? fallback : 10);
    QCOMPARE(w.colourValues()[13], 7);
}

void TestMainWindow::unreadableSettingsAreSaidOnce()
{
    const QString path = file("Torvel.ini");
    const QString defaults = QStringLiteral(" O Torvel começa com as cores e a fonte padrão.");
    MainWindow plain(nullptr, QDir::tempPath() + QStringLiteral("/no-such-torvel-folder"));
    const std::vector<std::pair<std::function<void()>, QString>> cases = {
        {[&] { QDir(dir_->path()).mkdir(QStringLiteral("Torvel.ini")); },
            QStringLiteral("Não foi possível ler o arquivo de configurações ") + path + QLatin1Char('.')},
        {[&] { writeAll(path, "[CorG]\nValor=255\n;" + QByteArray(1 << 20, 'x')); },
            QStringLiteral("O arquivo de configurações ") + path + QStringLiteral(" passa de 1 MB e não foi lido.")},
    };
    for (const auto& [make, said] : cases) {
        QDir(path).removeRecursively();
        QFile::remove(path);
        make();
        Dialogs d;
        MainWindow w(nullptr, dir_->path());
        QTRY_COMPARE(d.errors, QStringList({said + defaults}));
        QTest::qWait(20);
        QCOMPARE(d.errors.size(), 1);
        QCOMPARE(w.colourValues()[4], 0);
        QCOMPARE(w.view()->fontSize(), plain.view()->fontSize());
    }
}

void TestMainWindow::fontCommandWritesTheSettingsFile()
{
    MainWindow w(nullptr, dir_->path());
    QFont offered;
    w.fontDialog = [&offered](const QFont& current) -> std::optional<QFont> {
        offered = current;
        QFont f(QStringLiteral("DejaVu Sans Mono"), 15);
        f.setBold(true); // style is ignored
        return f;
    };
    const QString face = w.view()->fontFace();
    w.chooseFont();
    QCOMPARE(offered.family(), face);
    QCOMPARE(offered.pointSize(), 10);
    QCOMPARE(w.view()->fontFace(), QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(w.view()->fontSize(), 15);
    const QByteArray ini = readAll(file("Torvel.ini"));
    QVERIFY2(ini.contains("TIPO=DejaVu Sans Mono"), ini.constData());
    QVERIFY2(ini.contains("TAMANHO=15"), ini.constData());
    QVERIFY(!ini.contains("Cor"));

    // The next start reads it back.
    MainWindow again(nullptr, dir_->path());
    QCOMPARE(again.view()->fontSize(), 15);
}

void TestMainWindow::cancelledFontWritesNothing()
{
    MainWindow w(nullptr, dir_->path());
    w.fontDialog = [](const QFont&) -> std::optional<QFont> { return std::nullopt; };
    const int size = w.view()->fontSize();
    w.chooseFont();
    QVERIFY(!QFile::exists(file("Torvel.ini")));
    QCOMPARE(w.view()->fontSize(), size);
}

void TestMainWindow::helpOpensTheIndexPage()
{
    MainWindow w(nullptr, dir_->path());
    QStringList opened;
    w.openDocument = [&opened](const QString& path) { opened << path; };
    w.showHelpContents();
    QCOMPARE(opened, QStringList({dir_->path() + QStringLiteral("/Ajuda/index.htm")}));

    // An installed tree keeps the pages under share/torvel.
    QDir root(dir_->path());
    root.mkpath(QStringLiteral("bin"));
    root.mkpath(QStringLiteral("share/torvel/Ajuda"));
    writeAll(file("share/torvel/Ajuda/index.htm"), "<html></html>");
    MainWindow installed(nullptr, file("bin"));
    installed.openDocument = [&opened](const QString& path) { opened << path; };
    installed.showHelpContents();
    QCOMPARE(opened.last(), file("share/torvel/Ajuda/index.htm"));
}

void TestMainWindow::toolActionsAreInstalledFromOutside()
{
    MainWindow w(nullptr, dir_->path());
    w.show();
    QStringList ran;
    const char* pairs[][2] = {{"BT01", "AdicionarouRemoverespaos1"}, {"BT02", "EditarN1"},
        {"BT03", "SubstituirEliminar1"}, {"BT04", "Deletar1"}, {"BT05", "DeletarComentarSubstituir1"},
        {"BT06", "AbsolutoIncremental1"}, {"BT07", "Translao1"}, {"BT08", "Espelhamento1"},
        {"BT09", "InserirInformaes1"}, {"BT10", "EditarLinha1"}, {"BT11", "InserirLinha1"}, {"BT12", "DeletarLinha1"}};
    for (const auto& p : pairs) {
        const QString item = QLatin1String(p[1]);
        w.setToolAction(item, [&ran, item] { ran << item; });
    }
    for (const auto& p : pairs) {
        ran.clear();
        QTest::mouseClick(w.findChild<QToolButton*>(QLatin1String(p[0])), Qt::LeftButton);
        action(w, p[1])->trigger();
        QCOMPARE(ran, QStringList({QLatin1String(p[1]), QLatin1String(p[1])}));
    }
}

void TestMainWindow::colourCommandRebuildsTheHighlighter()
{
    MainWindow w(nullptr, dir_->path());
    int shown = 0;
    w.colourDialog = [&shown, &w] {
        ++shown;
        w.colourValues()[0] = 0x0000FF;
    };
    QsciLexer* before = w.highlighter();
    QPointer<QObject> old(before);
    w.showColourDialog();
    QCOMPARE(shown, 1);
    QVERIFY(before);
    QVERIFY(w.highlighter() != before);
    QCOMPARE(w.view()->lexer(), w.highlighter());
    QVERIFY(old.isNull());
    // Style 4 draws the A words, in the colour the dialog stored (0x00BBGGRR).
    QCOMPARE(w.highlighter()->color(4), QColor(0xFF, 0, 0));
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
