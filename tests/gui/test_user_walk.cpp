// What a user meets walking through the window: the program ends when the main window
// closes, the keyboard goes back to the program, the history list stays where the user left
// it, the restored window has its size outside, and Qt's own windows speak Portuguese.
#include "app/MainWindow.h"
#include "app/QtTranslations.h"
#include "app/SplashWindow.h"
#include "editor/ProgramView.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"
#include "framework/ProgressWindow.h"
#include "framework/ToolDialog.h"
#include "framework/ToolRunner.h"

#include "helpers/OpenedWindow.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <functional>

namespace {

QByteArray program(int lines)
{
    QByteArray bytes;
    for (int i = 1; i <= lines; ++i)
        bytes += "N" + QByteArray::number(i * 10) + " G01 X" + QByteArray::number(i) + "\r\n";
    return bytes;
}

QStringList sorted(QStringList texts)
{
    texts.sort();
    return texts;
}

// Calls `look` on the modal window `open` brings up, once its loop runs; whatever `look`
// leaves open is closed after five seconds, so that a failure cannot hang the test.
void whileModal(const std::function<void()>& open, const std::function<void(QWidget*)>& look)
{
    QTimer::singleShot(0, qApp, [look] { look(QApplication::activeModalWidget()); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, qApp, [] {
        while (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    guard.start(5000);
    open();
}

} // namespace

class TestUserWalk : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void closingTheMainWindowEndsTheProgramWhileTheSplashIsUp();
    void theProgramTakesTheKeyboardAfterOpenAndEveryFunction();
    void historyListKeepsItsRowsSelectionAndScroll();
    void restoredSizeIsTheFrames();
    void qtWindowsSpeakPortugueseWhileTheGivenMessagesKeepTheirWords();
    void openDialogTakesATypedNameThatDoesNotExist();
};

void TestUserWalk::initTestCase() { QVERIFY(installQtTranslations(*qApp)); }

void TestUserWalk::closingTheMainWindowEndsTheProgramWhileTheSplashIsUp()
{
    // The splash hides itself soon after; the program must end all the same, and at once.
    SplashWindow splash(nullptr, 200);
    splash.show();
    QTemporaryDir folder;
    MainWindow window(nullptr, folder.path());
    window.show();
    QTimer::singleShot(0, &window, &QWidget::close);
    QTimer stuck;
    stuck.setSingleShot(true);
    connect(&stuck, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    stuck.start(3000);
    QCOMPARE(QApplication::exec(), 0);
}

void TestUserWalk::theProgramTakesTheKeyboardAfterOpenAndEveryFunction()
{
    OpenedWindow opened(program(3000));
    QVERIFY(opened.active);
    MainWindow& window = *opened.window;
    QWidget* view = window.view();
    QTRY_COMPARE(QApplication::focusWidget(), view);

    auto* history = window.findChild<QListWidget*>(QStringLiteral("ListView1"));
    auto* runner = window.findChild<ToolRunner*>();
    auto* spaces = window.findChild<ToolDialog*>(QStringLiteral("Form2"));
    QVERIFY(history && runner && spaces);
    for (const bool cancel : {false, true}) {
        history->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), history);
        runner->lineHook = [runner, cancel](long long position) {
            if (cancel && position == 10)
                runner->progressWindow()->close();
        };
        window.addOrRemoveSpaces();
        QVERIFY(QTest::qWaitForWindowExposed(spaces));
        spaces->applyButton()->click();
        QCOMPARE(history->count(), 2); // one function recorded, the cancelled run not
        QTRY_COMPARE(QApplication::focusWidget(), view);
    }
    runner->lineHook = nullptr;

    history->setFocus();
    window.insertLine();
    QTRY_COMPARE(QApplication::focusWidget(), view);
}

void TestUserWalk::historyListKeepsItsRowsSelectionAndScroll()
{
    OpenedWindow opened("N10\n");
    QVERIFY(opened.active);
    MainWindow& window = *opened.window;
    auto* history = window.findChild<QListWidget*>(QStringLiteral("ListView1"));
    for (int i = 0; i < 30; ++i)
        window.insertLine();
    QCOMPARE(history->count(), 31);
    QTRY_VERIFY(history->verticalScrollBar()->maximum() > 4);
    history->setCurrentRow(5);
    history->verticalScrollBar()->setValue(4);
    QListWidgetItem* first = history->item(0);

    window.insertLine();
    QCOMPARE(history->count(), 32);
    QCOMPARE(history->item(0), first);
    QCOMPARE(history->item(31)->text(), QStringLiteral("31-Inserir"));
    QCOMPARE(history->currentRow(), 5);
    QVERIFY(history->item(5)->isSelected());
    QCOMPARE(history->verticalScrollBar()->value(), 4);
}

void TestUserWalk::restoredSizeIsTheFrames()
{
    QTemporaryDir folder;
    MainWindow window(nullptr, folder.path());
    window.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if ((window.frameGeometry().size() - window.size()).isNull())
        QSKIP("This platform draws no frame around windows.");
    window.showNormal();
    QTRY_COMPARE(window.frameGeometry().size(), QSize(791, 613));
    QCOMPARE(window.frameGeometry().topLeft(), QPoint(132, 77));
}

void TestUserWalk::qtWindowsSpeakPortugueseWhileTheGivenMessagesKeepTheirWords()
{
    QStringList buttons;
    bool native = true;
    whileModal([] { FileDialog::openFile(nullptr, QString()); },
        [&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog)
                return;
            native = !dialog->testOption(QFileDialog::DontUseNativeDialog);
            for (QPushButton* b : dialog->findChild<QDialogButtonBox*>()->findChildren<QPushButton*>())
                buttons << b->text();
            dialog->reject();
        });
    QVERIFY(!native);
    QCOMPARE(sorted(buttons), sorted({QStringLiteral("&Abrir"), QStringLiteral("Cancelar")}));

    QTemporaryDir folder;
    MainWindow window(nullptr, folder.path());
    std::unique_ptr<QMenu> menu(window.view()->createContextMenu());
    QStringList items;
    for (QAction* a : menu->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(items, (QStringList {QStringLiteral("&Copiar"), QStringLiteral("-"), QStringLiteral("Selecionar tudo")}));

    // The close question keeps the English words it is known by.
    QString title;
    QStringList answers;
    whileModal([] { MessageBox::question(nullptr, QStringLiteral("?")); },
        [&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box)
                return;
            title = box->windowTitle();
            for (QAbstractButton* b : box->buttons())
                answers << b->text();
            box->reject();
        });
    QCOMPARE(title, QStringLiteral("Warning"));
    QCOMPARE(sorted(answers), sorted({QStringLiteral("&Yes"), QStringLiteral("&No"), QStringLiteral("Cancel")}));
}

void TestUserWalk::openDialogTakesATypedNameThatDoesNotExist()
{
    QTemporaryDir folder;
    const QString typed = folder.filePath(QStringLiteral("nao-existe.nc"));
    QString chosen;
    QString refusal;
    whileModal([&] { chosen = FileDialog::openFile(nullptr, QString()); },
        [&](QWidget* modal) {
            QPointer<QFileDialog> dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog)
                return;
            // Qt's own refusal, should it come, is read and closed, and the dialog with it.
            QTimer::singleShot(0, dialog, [&refusal, dialog] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    refusal = box->text();
                    box->reject();
                }
                if (dialog)
                    dialog->reject();
            });
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            name->setText(typed);
            QTest::keyClick(name, Qt::Key_Return);
        });
    QCOMPARE(refusal, QString());
    QCOMPARE(chosen, typed);
}

QTEST_MAIN(TestUserWalk)
#include "test_user_walk.moc"
