#include "core/CoordinateTools.h"
#include "core/SpacesTool.h"
#include "framework/Gauge.h"
#include "framework/HistoryText.h"
#include "framework/MessageBox.h"
#include "framework/RangeGroup.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"
#include "framework/ProgressWindow.h"
#include "framework/HistoryViewer.h"

#include "helpers/ToolRig.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include <new>

#include <chrono>

namespace {

using Rig = ToolRig;

// A shown window with the range group and one more control to move the focus to.
struct RangeDialog : QDialog {
    RangeGroup* range = new RangeGroup(this);
    QPushButton* other = new QPushButton(QStringLiteral("x"), this);
    RangeDialog()
    {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(range);
        layout->addWidget(other);
        show();
    }
};

std::vector<std::string> numberedLines(int count, const char* body)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back("N" + std::to_string(i * 10) + body);
    return lines;
}

} // namespace

class TestFramework : public QObject {
    Q_OBJECT
private slots:
    void gaugePercent_data();
    void gaugePercent();
    void gaugeClampsWhenTheRangeMoves();
    void closingTheProgressWindowCancels();
    void minimisingTheProgressWindowTakesTheMainWindowAlong();
    void rangeFieldsFollowTheFocus();
    void rangeFieldsSettleTypedValues_data();
    void rangeFieldsSettleTypedValues();
    void rangeIsReadFromTheOptions();
    void viewerShowsOneFunctionOrAll();
    void historyTextReadsBothEncodings();
    void runRecordsAndRefreshesOnce();
    void cancelMidRunRestoresEverything();
    void cancelActsWithinATimeSlice();
    void escapeAndEnterCancelARun();
    void progressWindowOpensOverTheMainWindow();
    void conversionErrorRollsBackAndNamesTheLine();
    void lineCommandIsOneUndoableStep();
    void snapshotsAreSqueezedOnceTheResultIsShown();
};

void TestFramework::gaugePercent_data()
{
    QTest::addColumn<qlonglong>("min");
    QTest::addColumn<qlonglong>("max");
    QTest::addColumn<qlonglong>("position");
    QTest::addColumn<int>("percent");
    QTest::newRow("start") << 0LL << 10LL << 0LL << 0;
    QTest::newRow("third, truncated") << 0LL << 3LL << 1LL << 33;
    QTest::newRow("two thirds, truncated") << 0LL << 3LL << 2LL << 66;
    QTest::newRow("end") << 0LL << 7LL << 7LL << 100;
    QTest::newRow("beyond the end clamps") << 0LL << 10LL << 25LL << 100;
    QTest::newRow("below the start clamps") << 5LL << 10LL << 1LL << 0;
    QTest::newRow("offset range") << 100LL << 200LL << 150LL << 50;
    QTest::newRow("empty range") << 0LL << 0LL << 0LL << 0;
    QTest::newRow("huge program") << 0LL << 1000000000LL << 999999999LL << 99;
}

void TestFramework::gaugePercent()
{
    QFETCH(qlonglong, min);
    QFETCH(qlonglong, max);
    QFETCH(qlonglong, position);
    QFETCH(int, percent);
    Gauge gauge;
    gauge.setMaxValue(max);
    gauge.setMinValue(min);
    gauge.setProgress(position);
    QCOMPARE(gauge.percentDone(), percent);
}

void TestFramework::gaugeClampsWhenTheRangeMoves()
{
    Gauge gauge;
    gauge.setMaxValue(100);
    gauge.setProgress(80);
    gauge.setMaxValue(40);
    QCOMPARE(gauge.progress(), 40LL);
    QCOMPARE(gauge.percentDone(), 100);
    gauge.setMinValue(40);
    QCOMPARE(gauge.percentDone(), 0); // max equals min
}

void TestFramework::closingTheProgressWindowCancels()
{
    Rig rig;
    rig.main->hide();
    rig.progress->showForRun();
    QVERIFY(!rig.progress->cancelFlag());
    QCOMPARE(rig.progress->cancelButton()->text(), QStringLiteral("Cancelar"));
    QCOMPARE(rig.progress->size(), QSize(492, 33));
    QTest::mouseClick(rig.progress->cancelButton(), Qt::LeftButton);
    QVERIFY(rig.progress->cancelFlag());
    QVERIFY(!rig.progress->isVisible());
    QVERIFY(rig.main->isVisible());
}

void TestFramework::minimisingTheProgressWindowTakesTheMainWindowAlong()
{
    Rig rig;
    rig.main->show();
    rig.progress->showForRun();
    rig.progress->showMinimized();
    QVERIFY(rig.main->windowState() & Qt::WindowMinimized);
    rig.progress->showNormal();
    QVERIFY(rig.main->windowState() & Qt::WindowMaximized);

    // With the flag set (between runs, while being shown) nothing is coupled.
    rig.progress->setCancelFlag(true);
    rig.main->showNormal();
    rig.progress->showMinimized();
    QCOMPARE(rig.main->windowState() & Qt::WindowMinimized, Qt::WindowNoState);
    rig.progress->close();
}

void TestFramework::rangeFieldsFollowTheFocus()
{
    RangeDialog dialog;
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    auto* whole = dialog.findChild<QRadioButton*>(QStringLiteral("RadioButton3"));
    auto* lines = dialog.findChild<QRadioButton*>(QStringLiteral("RadioButton4"));
    auto* first = dialog.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"));
    auto* last = dialog.findChild<QSpinBox*>(QStringLiteral("SpinEdit2"));
    auto* until = dialog.findChild<QLabel*>(QStringLiteral("Label3"));
    QVERIFY(whole && lines && first && last && until);
    QCOMPARE(whole->text(), QStringLiteral("Aplicar em todo Arquivo"));
    QCOMPARE(lines->text(), QStringLiteral("Aplicar da linha"));
    QCOMPARE(until->text(), QStringLiteral("até"));
    QVERIFY(whole->isChecked());
    QVERIFY(!first->isEnabled() && !last->isEnabled() && !until->isEnabled());
    QCOMPARE(first->minimum(), 1);
    QCOMPARE(first->maximum(), 100000000);
    QCOMPARE(last->value(), 1);

    QTest::mouseClick(lines, Qt::LeftButton);
    QVERIFY(lines->isChecked());
    QVERIFY(first->isEnabled() && last->isEnabled() && until->isEnabled());
    first->setValue(5);
    last->setValue(3);

    // Focus alone decides, by keyboard as by mouse; the values are never touched.
    whole->setFocus(Qt::TabFocusReason);
    QVERIFY(!first->isEnabled() && !last->isEnabled() && !until->isEnabled());
    QVERIFY(lines->isChecked());
    lines->setFocus(Qt::BacktabFocusReason);
    QVERIFY(first->isEnabled());
    // On the option's mark: a wide option is checked only by a click on its mark or caption.
    QTest::mouseClick(whole, Qt::LeftButton, {}, QPoint(8, whole->height() / 2));
    QVERIFY(!last->isEnabled());
    QCOMPARE(first->value(), 5);
    QCOMPARE(last->value(), 3);

    // From the keyboard alone: the arrow moves to the line option, which enables the fields.
    QVERIFY(whole->isChecked());
    QTest::keyClick(whole, Qt::Key_Down);
    QVERIFY(lines->isChecked() && lines->hasFocus());
    QVERIFY(first->isEnabled());
    QTest::keyClick(lines, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), first);
}

void TestFramework::rangeFieldsSettleTypedValues_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("value");
    QTest::newRow("inside") << QStringLiteral("42") << 42;
    QTest::newRow("below the lower limit") << QStringLiteral("0") << 1;
    QTest::newRow("negative") << QStringLiteral("-7") << 1;
    QTest::newRow("above the upper limit") << QStringLiteral("999999999") << 100000000;
    QTest::newRow("far above") << QStringLiteral("99999999999999999999") << 100000000;
    QTest::newRow("nothing") << QString() << 1;
    QTest::newRow("letters are not taken") << QStringLiteral("abc") << 1;
}

void TestFramework::rangeFieldsSettleTypedValues()
{
    QFETCH(QString, typed);
    QFETCH(int, value);
    RangeDialog dialog;
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    RangeGroup* range = dialog.range;
    QPushButton* other = dialog.other;
    QTest::mouseClick(range->lineOption(), Qt::LeftButton);
    QSpinBox* field = range->lastLine();
    field->setValue(77);
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, typed);
    other->setFocus(); // leaving the field settles it
    QCOMPARE(field->value(), value);
    QCOMPARE(field->text(), QString::number(value));
}

void TestFramework::rangeIsReadFromTheOptions()
{
    RangeGroup range;
    range.firstLine()->setValue(5);
    range.lastLine()->setValue(3);
    QVERIFY(range.range().wholeFile);
    range.lineOption()->setChecked(true);
    const torvel::Range r = range.range();
    QVERIFY(!r.wholeFile);
    QCOMPARE(r.first, 5LL);
    QCOMPARE(r.last, 3LL);
}

void TestFramework::viewerShowsOneFunctionOrAll()
{
    Rig rig;
    auto& history = rig.session.document().history;
    for (int k = 1; k <= 10; ++k)
        history.record("Tag", "linha " + std::to_string(k) + "\r\nsegunda " + std::to_string(k));
    HistoryViewer viewer(rig.session, rig.main.get());
    QCOMPARE(viewer.windowTitle(), QStringLiteral("Histórico das funções aplicadas"));
    QCOMPARE(viewer.size(), QSize(590, 329));
    QCOMPARE(viewer.groupBox()->title(), QStringLiteral(" Dados para Operação "));

    viewer.showFor(1);
    QCOMPARE(viewer.groupBox()->title(), QStringLiteral(" Dados da função número 1 aplicada no arquivo "));
    QCOMPARE(viewer.descriptionText()->toPlainText(), QStringLiteral("linha 1\nsegunda 1"));
    // A long line wraps: the text has a vertical bar only.
    QCOMPARE(viewer.descriptionText()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(viewer.descriptionText()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    viewer.descriptionText()->appendPlainText(QStringLiteral("typed and lost"));
    viewer.close();
    viewer.showFor(10);
    QCOMPARE(viewer.descriptionText()->toPlainText(), QStringLiteral("linha 10\nsegunda 10"));

    viewer.close();
    viewer.showFor(0);
    QCOMPARE(viewer.groupBox()->title(), QStringLiteral(" Dados de todas as funções aplicadas no arquivo "));
    const QStringList all = viewer.descriptionText()->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(all.first(), QStringLiteral("[Função1]"));
    QVERIFY(all.contains(QStringLiteral("[Fim Função10]")));
    QCOMPARE(all.size(), 10 * 5);

    viewer.close();
    viewer.showFor(11); // no such markers: empty text under its own caption
    QVERIFY(viewer.descriptionText()->toPlainText().isEmpty());
    QCOMPARE(viewer.groupBox()->title(), QStringLiteral(" Dados da função número 11 aplicada no arquivo "));
    QTest::mouseClick(viewer.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    QVERIFY(!viewer.isVisible());
}

void TestFramework::historyTextReadsBothEncodings()
{
    QCOMPARE(historyText("Função"), QStringLiteral("Função"));
    // A Windows-1252 text typed for the file, behind a UTF-8 sentence of the program.
    QCOMPARE(historyText("Substituido a palavra \"A\xe7o\x80\""), QStringLiteral("Substituido a palavra \"Aço€\""));
    QCOMPARE(historyText("\xc3"), QStringLiteral("Ã"));
}

void TestFramework::runRecordsAndRefreshesOnce()
{
    Rig rig;
    rig.main->showNormal();
    rig.setLines(numberedLines(3000, " G01 X5"));
    QSignalSpy text(&rig.session, &Session::textChanged);
    QSignalSpy history(&rig.session, &Session::historyChanged);
    QSignalSpy follow(&rig.session, &Session::followRequested);
    QDialog dialog(rig.main.get());
    dialog.show();

    torvel::SpacesTool tool(torvel::SpacesOptions {false});
    const auto result = rig.runner.run(&dialog, tool, torvel::Range {});

    QCOMPARE(result.status, torvel::RunResult::Status::Done);
    QCOMPARE(rig.session.document().text.line(2999), std::string_view("N30000G01X5"));
    QCOMPARE(rig.progress->windowTitle(), QStringLiteral("Executando a função remover espaço..."));
    QCOMPARE(text.count(), 1);
    QCOMPARE(history.count(), 1);
    QCOMPARE(follow.count(), 1);
    QCOMPARE(follow.first().first().toLongLong(), 2000LL);
    QCOMPARE(rig.session.document().history.items().back(), std::string("1-AddEspaço"));
    QVERIFY(!rig.progress->isVisible());
    QVERIFY(!dialog.isVisible());
    QVERIFY(rig.progress->cancelFlag());
    QVERIFY(rig.main->windowState() & Qt::WindowMaximized);
    QVERIFY(rig.session.document().undo.buttonEnabled());
}

void TestFramework::cancelMidRunRestoresEverything()
{
    Rig rig;
    rig.main->showNormal();
    const auto lines = numberedLines(5000, " G01 X5 Y7");
    rig.setLines(lines);
    const std::string before = rig.text();
    QDialog dialog(rig.main.get());
    dialog.show();
    long long seen = -1;
    rig.runner.lineHook = [&](long long position) {
        seen = position;
        if (position == 2500)
            QTest::mouseClick(rig.progress->cancelButton(), Qt::LeftButton);
    };

    torvel::SpacesTool tool(torvel::SpacesOptions {false});
    const auto result = rig.runner.run(&dialog, tool, torvel::Range {});

    QCOMPARE(result.status, torvel::RunResult::Status::Cancelled);
    QCOMPARE(seen, 2500LL);
    QCOMPARE(rig.text(), before);
    QVERIFY(rig.session.document().history.items().empty());
    QVERIFY(rig.session.document().history.log().empty());
    QCOMPARE(rig.session.document().undo.index(), 0);
    QVERIFY(!rig.progress->isVisible());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(rig.main->windowState() & Qt::WindowMaximized, Qt::WindowNoState);
    QVERIFY(rig.messages.isEmpty());
}

void TestFramework::cancelActsWithinATimeSlice()
{
    Rig rig;
    rig.main->show();
    rig.setLines(numberedLines(20000, " G01 X5"));
    const std::string before = rig.text();
    long long last = -1;
    rig.runner.lineHook = [&](long long position) {
        last = position;
        if (position == 0) {
            // A user's click waits in the queue until the run lets messages through.
            QTimer::singleShot(0, rig.progress->cancelButton(), &QPushButton::click);
            return;
        }
        // Make every line cost a little, so the slice is measured in lines.
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(200);
        while (std::chrono::steady_clock::now() < until) { }
    };
    torvel::SpacesTool tool(torvel::SpacesOptions {true});
    const auto result = rig.runner.run(nullptr, tool, torvel::Range {});
    QCOMPARE(result.status, torvel::RunResult::Status::Cancelled);
    // 30 ms at 0.2 ms a line, checked every 64 lines: well under a thousand lines.
    QVERIFY2(last < 1000, qPrintable(QString::number(last)));
    QCOMPARE(rig.text(), before);
}

void TestFramework::escapeAndEnterCancelARun()
{
    Rig rig;
    rig.main->show();
    rig.setLines(numberedLines(100, " G01 X5"));
    const std::string before = rig.text();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        rig.runner.lineHook = [&rig, key](long long position) {
            if (position == 10)
                QTest::keyClick(rig.progress->focusWidget(), key);
        };
        torvel::SpacesTool tool(torvel::SpacesOptions {false});
        QCOMPARE(rig.runner.run(nullptr, tool, torvel::Range {}).status, torvel::RunResult::Status::Cancelled);
        QCOMPARE(rig.text(), before);
    }
}

void TestFramework::progressWindowOpensOverTheMainWindow()
{
    Rig rig;
    rig.main->setGeometry(220, 160, 560, 300);
    rig.main->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.main.get()));
    rig.setLines(numberedLines(100, ""));
    QRect shown;
    rig.runner.lineHook = [&rig, &shown](long long position) {
        if (position == 50)
            shown = rig.progress->frameGeometry();
    };
    torvel::SpacesTool tool(torvel::SpacesOptions {true});
    rig.runner.run(nullptr, tool, torvel::Range {});
    const QRect main = rig.main->frameGeometry();
    QVERIFY2(main.contains(shown),
        qPrintable(QStringLiteral("%1,%2 %3x%4").arg(shown.x()).arg(shown.y()).arg(shown.width()).arg(shown.height())));
    QVERIFY((shown.center() - main.center()).manhattanLength() <= 4);
}

void TestFramework::conversionErrorRollsBackAndNamesTheLine()
{
    Rig rig;
    rig.main->show();
    rig.setLines({"N10 X1", "N20 X2", "N30 X1.2.3", "N40 X4"});
    const std::string before = rig.text();
    QDialog dialog(rig.main.get());
    dialog.show();

    torvel::TranslateOptions options;
    options.x = true;
    options.xValue = "1";
    torvel::TranslateTool tool(options);
    const auto result = rig.runner.run(&dialog, tool, torvel::Range {});

    QCOMPARE(result.status, torvel::RunResult::Status::Failed);
    QCOMPARE(rig.text(), before);
    QVERIFY(rig.session.document().history.items().empty());
    QCOMPARE(rig.session.document().undo.index(), 0);
    QCOMPARE(rig.messages.size(), 1);
    QVERIFY2(rig.messages.first().startsWith(QStringLiteral("error:'")), qPrintable(rig.messages.first()));
    QVERIFY2(rig.messages.first().endsWith(QStringLiteral("is not a valid floating point value\nLinha 3")),
        qPrintable(rig.messages.first()));
    QVERIFY(!rig.progress->isVisible());
    QVERIFY(!dialog.isVisible());
    QVERIFY(rig.main->isVisible());

    // Running out of memory half-way leaves the text as it was and says so.
    struct Greedy : torvel::TranslateTool {
        using TranslateTool::TranslateTool;
        torvel::LineAction apply(std::string_view line, std::string& out) override
        {
            if (line.starts_with("N30"))
                throw std::bad_alloc();
            return TranslateTool::apply(line, out);
        }
    } greedy(options);
    rig.messages.clear();
    dialog.show();
    QCOMPARE(rig.runner.run(&dialog, greedy, torvel::Range {}).status, torvel::RunResult::Status::Failed);
    QCOMPARE(rig.text(), before);
    QVERIFY(rig.session.document().history.items().empty());
    QCOMPARE(rig.messages, QStringList {QStringLiteral("error:Memória insuficiente para aplicar a função.")});
    QVERIFY(!dialog.isVisible());
}

void TestFramework::lineCommandIsOneUndoableStep()
{
    Rig rig;
    rig.setLines({"N10", "N20", "N30"});
    const std::string before = rig.text();
    QSignalSpy follow(&rig.session, &Session::followRequested);
    const auto result = rig.runner.edit(torvel::LineCommand::Insert, 2);
    QCOMPARE(result.status, torvel::RunResult::Status::Done);
    QCOMPARE(rig.text(), std::string("N10\r\n\r\nN20\r\nN30"));
    QCOMPARE(rig.session.document().history.items().back(), std::string("1-Inserir"));
    QCOMPARE(follow.count(), 1);
    QCOMPARE(follow.first().first().toLongLong(), 1LL);
    rig.session.undo();
    QCOMPARE(rig.text(), before);
    QVERIFY(!rig.session.document().undo.buttonEnabled());
}

void TestFramework::snapshotsAreSqueezedOnceTheResultIsShown()
{
    Rig rig;
    rig.setLines(numberedLines(20000, " G01 X5 Y7 Z9"));
    const std::string before = rig.text();
    torvel::SpacesTool tool(torvel::SpacesOptions {false});
    rig.runner.run(nullptr, tool, torvel::Range {});
    const size_t shared = rig.session.document().undo.memoryBytes();
    QVERIFY(shared >= before.size() / 2);
    QTRY_VERIFY(rig.session.document().undo.memoryBytes() < shared / 4);
    rig.session.undo();
    QCOMPARE(rig.text(), before);
}

QTEST_MAIN(TestFramework)
#include "test_framework.moc"
