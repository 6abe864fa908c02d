#include "app/MainWindow.h"
#include "app/StartArguments.h"
#include "editor/ProgramView.h"
#include "framework/FileDialog.h"
#include "framework/FindBar.h"
#include "framework/GoToDialog.h"
#include "framework/MessageBox.h"
#include "framework/Session.h"

#include "helpers/OpenedWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

namespace {

// Lines of "N.. G01 X5 Y7" with the word ALVO on the given 0-based lines.
QByteArray programWith(int lines, std::initializer_list<int> targets)
{
    QByteArray bytes;
    for (int i = 0; i < lines; ++i) {
        bytes += "N" + QByteArray::number(i * 10) + " G01 X5 Y7";
        if (std::find(targets.begin(), targets.end(), i) != targets.end())
            bytes += " (ALVO)";
        bytes += '\n';
    }
    return bytes;
}

QString statusOf(const MainWindow& w, const char* name) { return w.findChild<QLabel*>(QLatin1String(name))->text(); }

// The answers the window gets from its boxes, and what they asked.
struct Boxes {
    QStringList asked; // "kind:text"
    MessageBox::Answer answer = MessageBox::No;
    Boxes()
    {
        MessageBox::setHook([this](const QString& kind, const QString& text) {
            asked << kind + QLatin1Char(':') + text;
            return answer;
        });
    }
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void drop(MainWindow& w, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = w.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &dropped);
}

} // namespace

class TestFindAndOpen : public QObject {
    Q_OBJECT
private slots:
    void findBarWalksTheWholeProgram();
    void findsTheBytesAsShownInBothEncodings();
    void goesToALineOrABlock();
    void opensFromTheCommandLine();
    void droppedFileAsksFirst();
    void recentProgramsInTheFileMenu();
    void reloadsAProgramChangedOnDisk();
    void statusBarDescribesTheProgram();
};

void TestFindAndOpen::findBarWalksTheWholeProgram()
{
    // Matches far beyond the view's window of lines, and one near the end.
    OpenedWindow program(programWith(20000, {5, 12000, 19990}));
    QVERIFY(program.active);
    MainWindow& w = *program.window;
    const std::string before = w.session().document().text.toFileBytes();
    auto* bar = w.findChild<FindBar*>(QStringLiteral("FindBar"));
    auto* field = w.findChild<QLineEdit*>(QStringLiteral("FindText"));
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    QTRY_VERIFY(bar->isVisible() && field->hasFocus());
    QTest::keyClicks(field, QStringLiteral("alvo"));
    QTRY_COMPARE(bar->status(), QStringLiteral("3 ocorrências"));
    QTRY_COMPARE(w.view()->marksShown(), 1); // line 6 is on the first screen

    const struct {
        QKeyCombination key;
        const char* status;
        long long row;
    } steps[] = {
        {Qt::Key_Return, "1 de 3", 6},
        {Qt::Key_Return, "2 de 3", 12001},
        {Qt::Key_F3, "3 de 3", 19991},
        {Qt::Key_Return, "1 de 3 · fim do programa, recomeçou do início", 6},
        {Qt::SHIFT | Qt::Key_F3, "3 de 3 · início do programa, recomeçou do fim", 19991},
        {Qt::SHIFT | Qt::Key_Return, "2 de 3", 12001},
    };
    for (const auto& step : steps) {
        QTest::keyClick(field, step.key.key(), step.key.keyboardModifiers());
        QCOMPARE(bar->status(), QString::fromUtf8(step.status));
        QCOMPARE(w.view()->caretRow(), step.row);
        QCOMPARE(w.view()->selectedProgramText(), QStringLiteral("ALVO"));
    }
    QTRY_COMPARE(w.view()->marksShown(), 1);

    // Whole words and case; then Esc closes the bar and the marks go.
    field->setText(QStringLiteral("X5"));
    w.findChild<QCheckBox*>(QStringLiteral("FindWholeWord"))->setChecked(true);
    QTRY_COMPARE(bar->status(), QStringLiteral("20.000 ocorrências"));
    field->setText(QStringLiteral("x5"));
    w.findChild<QCheckBox*>(QStringLiteral("FindMatchCase"))->setChecked(true);
    QTRY_COMPARE(bar->status(), QStringLiteral("Não encontrado"));
    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QTRY_COMPARE(w.view()->marksShown(), 0);

    // F3 with the bar closed repeats the last search.
    field->setText(QStringLiteral("ALVO"));
    QTest::keyClick(w.view(), Qt::Key_F3);
    QCOMPARE(w.view()->caretRow(), 19991LL);
    QCOMPARE(w.session().document().text.toFileBytes(), before);
}

void TestFindAndOpen::findsTheBytesAsShownInBothEncodings()
{
    const struct {
        QByteArray bytes;
        const char* encoding;
        size_t matchEnd; // in the file's bytes
    } programs[] = {{"N10\n(OPERA\xc7\xc3O 2)\n", "Windows-1252", 9}, {"N10\n(OPERAÇÃO 2)\n", "UTF-8", 11}};
    for (const auto& p : programs) {
        OpenedWindow program(p.bytes);
        MainWindow& w = *program.window;
        QCOMPARE(statusOf(w, "StatusEncoding"), QString::fromUtf8(p.encoding));
        w.showFindBar();
        auto* field = w.findChild<QLineEdit*>(QStringLiteral("FindText"));
        field->setText(QStringLiteral("operação"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(w.findChild<FindBar*>()->status(), QStringLiteral("1 de 1"));
        QCOMPARE(w.view()->selectedProgramText(), QStringLiteral("OPERAÇÃO"));
        QCOMPARE(w.view()->programSelection().second, (torvel::TextPosition {1, p.matchEnd}));
    }
}

void TestFindAndOpen::goesToALineOrABlock()
{
    OpenedWindow program(programWith(10000, {}));
    MainWindow& w = *program.window;
    QStringList typed = {QStringLiteral("N12300"), QStringLiteral("734211"), QStringLiteral("9000")};
    w.goToDialog = [&typed](long long, const std::function<torvel::GoToResult(const QString&)>& resolve) {
        const torvel::GoToResult r = resolve(typed.takeFirst());
        return r.found() ? std::optional<long long>(r.line) : std::nullopt;
    };
    QTest::keyClick(&w, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(w.view()->caretRow(), 1231LL);
    const long long top = w.view()->firstVisibleRow();
    QTest::keyClick(&w, Qt::Key_G, Qt::ControlModifier); // no such line: nothing moves
    QCOMPARE(w.view()->caretRow(), 1231LL);
    QTest::keyClick(&w, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(w.view()->caretRow(), 9000LL);
    QVERIFY(w.view()->firstVisibleRow() != top);
    QVERIFY(
        std::abs(9000 - (w.view()->firstVisibleRow() + w.view()->SendScintilla(QsciScintilla::SCI_LINESONSCREEN) / 2))
        <= 1);

    // The dialog keeps asking, with the reason, until the target exists.
    GoToDialog dialog;
    QTimer::singleShot(0, &dialog, [&dialog] {
        auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("GoToTarget"));
        QTest::keyClicks(field, QStringLiteral("N99"));
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("GoToError"))->text(),
            QStringLiteral("Bloco N99 não encontrado."));
        field->setText(QStringLiteral("n 20"));
        QTest::keyClick(field, Qt::Key_Return);
    });
    const torvel::ProgramText& text = w.session().document().text;
    QCOMPARE(dialog.ask(10000, [&text](const QString& t) { return torvel::resolveGoTo(text, t.toStdString()); }),
        std::optional<long long>(2));
}

void TestFindAndOpen::opensFromTheCommandLine()
{
    const struct {
        std::vector<const char*> args;
        const char* file;
        long long line;
        bool help;
        const char* error;
    } cases[] = {
        {{}, "", 0, false, ""},
        {{"p.nc"}, "p.nc", 0, false, ""},
        {{"--line", "12", "p.nc"}, "p.nc", 12, false, ""},
        {{"--line=3", "--", "-p.nc"}, "-p.nc", 3, false, ""},
        {{"--help"}, "", 0, true, ""},
        {{"--line", "0", "p.nc"}, "", 0, false, "--line pede o número de uma linha (1 ou mais), não \"0\"."},
        {{"-x", "p.nc"}, "", 0, false, "Opção desconhecida: -x"},
        {{"a.nc", "b.nc"}, "", 0, false, "O Torvel abre um arquivo por vez; foram dados 2."},
    };
    for (const auto& c : cases) {
        QStringList args {QStringLiteral("torvel")};
        for (const char* arg : c.args)
            args << QString::fromUtf8(arg);
        const StartArguments a = StartArguments::parse(args);
        QCOMPARE(a.error, QString::fromUtf8(c.error));
        if (a.error.isEmpty()) {
            QCOMPARE(a.file, QString::fromUtf8(c.file));
            QCOMPARE(a.line, c.line);
            QCOMPARE(a.help, c.help);
        }
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("linha.nc"));
    writeFile(path, programWith(50, {}));
    MainWindow w(nullptr, dir.path());
    w.show();
    QDir::setCurrent(dir.path());
    w.openAtStart(QStringLiteral("linha.nc"), 30);
    QCOMPARE(w.currentFile(), path);
    QCOMPARE(w.view()->caretRow(), 30LL);
    Boxes boxes;
    w.closeFile();
    w.openAtStart(dir.filePath(QStringLiteral("nenhum.nc")));
    QVERIFY(!w.fileOpen());
    QCOMPARE(boxes.asked.last(),
        QStringLiteral("error:Cannot open file ") + dir.filePath(QStringLiteral("nenhum.nc")) + QLatin1Char('.'));
}

void TestFindAndOpen::droppedFileAsksFirst()
{
    OpenedWindow program("N10\n");
    MainWindow& w = *program.window;
    const QString other = program.folder.filePath(QStringLiteral("outro.nc"));
    writeFile(other, "N99\n");
    w.session().document().text.replace(0, "N11");
    w.session().notifyTextChanged();
    Boxes boxes;
    boxes.answer = MessageBox::Cancel;
    drop(w, other);
    QCOMPARE(boxes.asked,
        QStringList {QStringLiteral("question:O arquivo ") + program.path
            + QStringLiteral(" está aberto. Gostaria de salva-lo antes de abrir outro arquivo?")});
    QCOMPARE(w.currentFile(), program.path);
    QCOMPARE(w.session().document().text.line(0), "N11");
    boxes.answer = MessageBox::No;
    drop(w, other);
    QCOMPARE(w.currentFile(), other);
    QCOMPARE(w.session().document().text.line(0), "N99");
}

void TestFindAndOpen::recentProgramsInTheFileMenu()
{
    OpenedWindow program("N10\n");
    MainWindow& w = *program.window;
    QStringList paths;
    for (int i = 1; i <= 9; ++i) {
        paths << program.folder.filePath(QStringLiteral("p%1.nc").arg(i));
        writeFile(paths.last(), "N" + QByteArray::number(i) + "\n");
        w.openOther(paths.last());
    }
    w.openOther(paths[4]); // again: to the top, once
    auto* menu = w.findChild<QMenu*>(QStringLiteral("File1"));
    QStringList items;
    for (int i = 1; i <= 9; ++i)
        if (auto* item = menu->findChild<QAction*>(QStringLiteral("RecentFile%1").arg(i)))
            items << item->text();
    QCOMPARE(items.size(), 8);
    QCOMPARE(items[0], QStringLiteral("&1 ") + paths[4]);
    QCOMPARE(items[1], QStringLiteral("&2 ") + paths[8]);
    QCOMPARE(items[7], QStringLiteral("&8 ") + paths[1]);
    QCOMPARE(menu->actions().last()->objectName(), QStringLiteral("RecentFile8"));

    // A program that is gone: the program's own box, and off the list.
    QFile::remove(paths[8]);
    Boxes boxes;
    menu->findChild<QAction*>(QStringLiteral("RecentFile2"))->trigger();
    QCOMPARE(boxes.asked, QStringList {QStringLiteral("error:Cannot open file ") + paths[8] + QLatin1Char('.')});
    QCOMPARE(w.currentFile(), paths[4]);
    QCOMPARE(w.recentFiles().paths().size(), 7u);

    // The list is read back by the next window, from its own section of the settings file.
    MainWindow again(nullptr, program.folder.path());
    QCOMPARE(again.recentFiles().paths(), w.recentFiles().paths());
    again.findChild<QMenu*>(QStringLiteral("File1"))->findChild<QAction*>(QStringLiteral("RecentFile2"))->trigger();
    QCOMPARE(again.currentFile(), paths[7]);
}

void TestFindAndOpen::reloadsAProgramChangedOnDisk()
{
    OpenedWindow program("N10\n");
    MainWindow& w = *program.window;
    Boxes boxes;
    boxes.answer = MessageBox::Yes;
    w.saveFile(); // our own save is no change from outside
    QTest::qWait(700);
    QVERIFY(boxes.asked.isEmpty());

    const QString question = QStringLiteral("confirm:O arquivo foi alterado fora do Torvel. Recarregar?");
    const struct {
        bool functionApplied;
        MessageBox::Answer answer;
        const char* written;
        const char* expected;
    } cases[] = {
        {false, MessageBox::Yes, "N20\n", "N20"},
        {true, MessageBox::No, "N30\n", "N21"},
        {true, MessageBox::Yes, "N40 X1\n", "N40 X1"},
    };
    for (const auto& c : cases) {
        if (c.functionApplied) {
            w.session().document().text.replace(0, "N21");
            w.session().notifyTextChanged();
        }
        boxes.asked.clear();
        boxes.answer = c.answer;
        // Written as a post-processor writes: a new file renamed over the old one.
        writeFile(program.path + QStringLiteral(".tmp"), c.written);
        QFile::remove(program.path);
        QFile::rename(program.path + QStringLiteral(".tmp"), program.path);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.asked.size(), 1, 5000);
        QCOMPARE(boxes.asked[0],
            c.functionApplied ? question + QStringLiteral("\nAs funções aplicadas e não salvas serão perdidas.")
                              : question);
        QCOMPARE(w.session().document().text.line(0), c.expected);
    }
}

void TestFindAndOpen::statusBarDescribesTheProgram()
{
    OpenedWindow program("N10 X1\r\nN20\r\n");
    MainWindow& w = *program.window;
    QCOMPARE(statusOf(w, "StatusCaret"), QStringLiteral("Linha 1, Coluna 1"));
    QCOMPARE(statusOf(w, "StatusLines"), QStringLiteral("2 linhas"));
    QCOMPARE(statusOf(w, "StatusLineBreak"), QStringLiteral("CR LF"));
    auto* modified = w.findChild<QLabel*>(QStringLiteral("StatusModified"));
    QVERIFY(!modified->isVisible());
    w.view()->setCaretRow(2);
    QTRY_COMPARE(statusOf(w, "StatusCaret"), QStringLiteral("Linha 2, Coluna 1"));
    w.session().document().text.append("N30");
    w.session().notifyTextChanged();
    QVERIFY(modified->isVisible());
    QCOMPARE(modified->text(), QStringLiteral("Modificado"));
    QCOMPARE(statusOf(w, "StatusLines"), QStringLiteral("3 linhas"));
    w.saveFile();
    QVERIFY(!modified->isVisible());
    QVERIFY(FileDialog::filters().startsWith(
        QStringLiteral("Programas CNC (*.nc *.ngc *.tap *.gcode *.cnc *.nci *.iso *.txt);;Todos os arquivos (*)")));
}

QTEST_MAIN(TestFindAndOpen)
#include "test_find_and_open.moc"
