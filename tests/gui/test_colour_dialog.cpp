#include "core/Settings.h"
#include "highlight/ColourDialog.h"

#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <deque>
#include <memory>

namespace {

const char* const kSections[] = {"CorA", "CorB", "CorC", "CorF", "CorG", "CorI", "CorJ", "CorK", "CorM", "CorN", "CorR",
    "CorS", "CorT", "CorX", "CorY", "CorZ", "Cor1", "Cor2", "Cor3"};

// The dialog with its seams answered by the test.
struct Rig {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Torvel.ini"));
    torvel::ColourValues values {};
    std::deque<std::optional<QColor>> answers; // next answers of the colour picker
    QList<QColor> initials; // what each pick started from
    QStringList errors;
    QStringList helpPages;
    std::unique_ptr<ColourDialog> dialog;

    explicit Rig(const QString& settingsPath = QString())
    {
        if (!settingsPath.isEmpty())
            path = settingsPath;
        ColourDialog::Seams seams;
        seams.pickColour = [this](const QColor& initial) {
            initials << initial;
            std::optional<QColor> a;
            if (!answers.empty()) {
                a = answers.front();
                answers.pop_front();
            }
            return a;
        };
        seams.reportError = [this](const QString& m) { errors << m; };
        seams.openHelp = [this](const QString& page) { helpPages << page; };
        dialog = std::make_unique<ColourDialog>(
            values, torvel::SettingsFile(QFile::encodeName(path).toStdString()), nullptr, std::move(seams));
    }

    template <class T> T* child(const char* name) const
    {
        T* w = dialog->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }
    QColor swatch(int shape) const
    {
        return child<QFrame>(qPrintable(QStringLiteral("Shape%1").arg(shape)))->palette().color(QPalette::Window);
    }
    QColor labelColour(int label) const
    {
        return child<QLabel>(qPrintable(QStringLiteral("Label%1").arg(label)))->palette().color(QPalette::WindowText);
    }
    void pick(int button, std::optional<QColor> answer)
    {
        answers.push_back(answer);
        QTest::mouseClick(child<QToolButton>(qPrintable(QStringLiteral("SpeedButton%1").arg(button))), Qt::LeftButton);
    }
    QByteArray fileBytes() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

class TestColourDialog : public QObject {
    Q_OBJECT
private slots:
    void windowLayout();
    void showingSetsSwatchesFromValues();
    void applyWritesAllSectionsInOrder();
    void applyThroughExec();
    void cancelWritesNothing();
    void closeBoxWritesNothing();
    void pickCancelledChangesNothing();
    void pickStartsFromLastChosenColour();
    void labelKeepsPickAfterCancel();
    void unwritableFileReportedAndDialogCloses();
    void applyKeepsOtherSections();
    void helpButtonOpensPage();
    void escapeDoesNotClose();
    void enterPressesTheFocusedButton();
};

void TestColourDialog::windowLayout()
{
    Rig r;
    r.dialog->show();
    QCOMPARE(r.dialog->windowTitle(), QStringLiteral("Configuração - Cores do Código G"));
    QCOMPARE(r.child<QGroupBox>("GroupBox1")->title(), QStringLiteral(" Cores Padrões para o código G "));
    QCOMPARE(r.dialog->minimumSize(), r.dialog->maximumSize());
    const char* letters[]
        = {"A", "B", "C", "F", "G", "I", "J", "K", "M", "N", "R", "S", "T", "X", "Y", "Z", "%", "#", "<>"};
    const int labels[] = {1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    const int buttons[] = {2, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    for (int row = 0; row < 19; ++row) {
        const QString caption = QStringLiteral("Função ") + QString::fromUtf8(letters[row]);
        QLabel* label = r.child<QLabel>(qPrintable(QStringLiteral("Label%1").arg(labels[row])));
        QCOMPARE(label->text(), caption);
        QCOMPARE(r.dialog->rowLabel(row), label);
        QCOMPARE(r.dialog->swatch(row)->objectName(), QStringLiteral("Shape%1").arg(labels[row]));
        QToolButton* b = r.child<QToolButton>(qPrintable(QStringLiteral("SpeedButton%1").arg(buttons[row])));
        QCOMPARE(r.dialog->pickButton(row), b);
        QVERIFY(b->autoRaise());
        QVERIFY(!b->icon().isNull());
        QVERIFY(b->focusPolicy() & Qt::TabFocus);
        QCOMPARE(r.dialog->swatch(row)->accessibleName(), QStringLiteral("Cor da ") + caption);
        QVERIFY(!b->accessibleName().isEmpty());
        // Left column A..N, right column R..<>.
        const bool left = row < 10;
        QCOMPARE(b->x() < r.child<QToolButton>("SpeedButton12")->x(), left);
    }
    QVERIFY(r.dialog->findChild<QLabel*>(QStringLiteral("Label3")) == nullptr);
    QVERIFY(r.dialog->findChild<QFrame*>(QStringLiteral("Shape3")) == nullptr);
    QCOMPARE(r.child<QPushButton>("btnOK")->text(), QStringLiteral("Aplicar"));
    QVERIFY(r.child<QPushButton>("btnOK")->isDefault());
    QCOMPARE(r.child<QPushButton>("Button1")->text(), QStringLiteral("Cancelar"));
    QVERIFY(r.child<QToolButton>("SpeedButton3"));
}

void TestColourDialog::showingSetsSwatchesFromValues()
{
    Rig r;
    r.values[0] = 0x0000FF; // A red
    r.values[14] = 0xFF0000; // Y blue
    r.dialog->show();
    QCOMPARE(r.swatch(1), QColor(255, 0, 0));
    QCOMPARE(r.swatch(16), QColor(0, 0, 255));
    QCOMPARE(r.swatch(2), QColor(0, 0, 0));
    // Labels are left alone.
    QCOMPARE(r.labelColour(1), r.dialog->palette().color(QPalette::WindowText));
}

void TestColourDialog::applyWritesAllSectionsInOrder()
{
    Rig r;
    r.values[5] = 0x123456;
    r.values[6] = 0x01ABCDEF; // hand-edited high byte: kept while the row is left alone
    r.values[7] = 0x02000001; // and dropped when the row gets a new colour
    r.dialog->show();
    r.pick(9, QColor(0, 0, 255)); // K
    r.pick(15, QColor(255, 0, 0)); // X
    r.pick(17, QColor(0, 128, 0)); // Z
    r.pick(20, QColor(1, 2, 3)); // < >
    QCOMPARE(r.swatch(15), QColor(255, 0, 0));
    QTest::mouseClick(r.child<QPushButton>("btnOK"), Qt::LeftButton);
    QVERIFY(!r.dialog->isVisible());
    QCOMPARE(r.dialog->result(), int(QDialog::Accepted));

    torvel::ColourValues expected {};
    expected[5] = 0x123456;
    expected[6] = 0x01ABCDEF;
    expected[7] = 0xFF0000;
    expected[13] = 0x0000FF;
    expected[15] = 0x008000;
    expected[18] = 0x030201;
    QCOMPARE(r.values, expected);

    const torvel::Settings read = torvel::SettingsFile(QFile::encodeName(r.path).toStdString()).read();
    QCOMPARE(read.colours, expected);
    const QByteArray bytes = r.fileBytes();
    qsizetype at = 0;
    for (const char* section : kSections) {
        const qsizetype found = bytes.indexOf(QByteArray("[") + section + "]", at);
        QVERIFY2(found >= at, section);
        at = found;
    }
    QVERIFY(bytes.contains("Valor=0\n") || bytes.contains("Valor=0\r\n"));
    QVERIFY(bytes.contains("Valor=255"));
    QVERIFY(bytes.contains("Valor=1193046"));
    QCOMPARE(bytes.count("Valor="), 19);
    QVERIFY(r.errors.isEmpty());
}

void TestColourDialog::applyThroughExec()
{
    Rig r;
    r.answers.push_back(QColor(0, 0, 255));
    QTimer::singleShot(0, r.dialog.get(), [&r] {
        r.dialog->pickRowColour(0);
        r.child<QPushButton>("btnOK")->click();
    });
    QCOMPARE(r.dialog->exec(), int(QDialog::Accepted));
    QCOMPARE(r.values[0], 0xFF0000);
    QVERIFY(QFile::exists(r.path));
}

void TestColourDialog::cancelWritesNothing()
{
    Rig r;
    r.values[0] = 0x00FF00;
    r.dialog->show();
    r.pick(2, QColor(255, 0, 0));
    QTest::mouseClick(r.child<QPushButton>("Button1"), Qt::LeftButton);
    QVERIFY(!r.dialog->isVisible());
    QCOMPARE(r.dialog->result(), int(QDialog::Rejected));
    QVERIFY(!QFile::exists(r.path));
    QCOMPARE(r.values[0], 0x00FF00);
}

void TestColourDialog::closeBoxWritesNothing()
{
    Rig r;
    r.dialog->show();
    r.pick(2, QColor(255, 0, 0));
    r.dialog->close();
    QVERIFY(!QFile::exists(r.path));
    QCOMPARE(r.values, torvel::ColourValues {});
}

void TestColourDialog::pickCancelledChangesNothing()
{
    Rig r;
    r.dialog->show();
    const QColor labelBefore = r.labelColour(1);
    r.pick(2, std::nullopt);
    QCOMPARE(r.swatch(1), QColor(0, 0, 0));
    QCOMPARE(r.labelColour(1), labelBefore);
    QCOMPARE(r.dialog->lastPickedColour(), QColor(Qt::black));
}

void TestColourDialog::pickStartsFromLastChosenColour()
{
    Rig r;
    r.values[1] = 0x00FF00;
    r.dialog->show();
    r.pick(2, QColor(255, 0, 0)); // row A
    r.pick(1, std::nullopt); // row B, cancelled
    r.pick(12, QColor(0, 0, 255)); // row R
    r.dialog->hide();
    r.dialog->show();
    r.pick(20, QColor(9, 9, 9));
    // Black at first, then the last colour confirmed in any row, never the row's own.
    const QList<QColor> expected = {QColor(0, 0, 0), QColor(255, 0, 0), QColor(255, 0, 0), QColor(0, 0, 255)};
    QCOMPARE(r.initials, expected);
}

void TestColourDialog::labelKeepsPickAfterCancel()
{
    Rig r;
    r.dialog->show();
    r.pick(15, QColor(200, 100, 50)); // X
    QCOMPARE(r.labelColour(15), QColor(200, 100, 50));
    QTest::mouseClick(r.child<QPushButton>("Button1"), Qt::LeftButton);
    r.dialog->show();
    QCOMPARE(r.swatch(15), QColor(0, 0, 0)); // the pick is gone from the swatch
    QCOMPARE(r.labelColour(15), QColor(200, 100, 50)); // the label still shows it
    QCOMPARE(r.values[13], 0);
}

void TestColourDialog::unwritableFileReportedAndDialogCloses()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/folder/Torvel.ini"));
    Rig r(path);
    r.dialog->show();
    r.pick(2, QColor(255, 0, 0));
    QTest::mouseClick(r.child<QPushButton>("btnOK"), Qt::LeftButton);
    QVERIFY(!r.dialog->isVisible());
    QCOMPARE(r.errors, QStringList {QStringLiteral("Unable to write to %1.").arg(path)});
    QCOMPARE(r.values[0], 0x0000FF); // in effect for this run
}

void TestColourDialog::applyKeepsOtherSections()
{
    Rig r;
    {
        QFile f(r.path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[FONTE]\r\nTIPO=Consolas\r\nTAMANHO=12\r\n[CorA]\r\nValor=255\r\n");
    }
    r.values[0] = 255;
    r.dialog->show();
    QTest::mouseClick(r.child<QPushButton>("btnOK"), Qt::LeftButton);
    const torvel::Settings read = torvel::SettingsFile(QFile::encodeName(r.path).toStdString()).read();
    QCOMPARE(read.fontName, std::string("Consolas"));
    QCOMPARE(read.fontSize, 12);
    QCOMPARE(read.colours[0], 255);
    QCOMPARE(r.fileBytes().count("Valor="), 19);
}

void TestColourDialog::helpButtonOpensPage()
{
    Rig r;
    r.dialog->show();
    QTest::mouseClick(r.child<QToolButton>("SpeedButton3"), Qt::LeftButton);
    QCOMPARE(r.helpPages, QStringList {QStringLiteral("Cores.htm")});
    QVERIFY(r.dialog->isVisible());
}

void TestColourDialog::escapeDoesNotClose()
{
    Rig r;
    r.dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(r.dialog.get()));
    QTest::keyClick(r.dialog.get(), Qt::Key_Escape);
    QVERIFY(r.dialog->isVisible());
}

void TestColourDialog::enterPressesTheFocusedButton()
{
    Rig r;
    r.dialog->show();
    r.dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(r.dialog.get()));
    r.child<QToolButton>("SpeedButton5")->setFocus();
    r.answers.push_back(QColor(10, 20, 30));
    QTest::keyClick(r.child<QToolButton>("SpeedButton5"), Qt::Key_Space); // keyboard pick on row F
    QCOMPARE(r.swatch(5), QColor(10, 20, 30));
    // Enter on a row's button opens the picker too, and the dialog stays.
    r.answers.push_back(QColor(40, 50, 60));
    QTest::keyClick(r.child<QToolButton>("SpeedButton5"), Qt::Key_Return);
    QVERIFY(r.answers.empty());
    QCOMPARE(r.swatch(5), QColor(40, 50, 60));
    QVERIFY(r.dialog->isVisible());
    QVERIFY(!QFile::exists(r.path));
    // So does Enter on the help button.
    r.child<QToolButton>("SpeedButton3")->setFocus();
    QTest::keyClick(r.child<QToolButton>("SpeedButton3"), Qt::Key_Return);
    QCOMPARE(r.helpPages, QStringList {QStringLiteral("Cores.htm")});
    QVERIFY(r.dialog->isVisible());
    auto* apply = r.child<QPushButton>("btnOK");
    apply->setFocus();
    QTest::keyClick(apply, Qt::Key_Return);
    QTRY_VERIFY(!r.dialog->isVisible());
    QCOMPARE(r.values[3], 0x3C3228);
    QVERIFY(QFile::exists(r.path));

    // Enter on a focused "Cancelar" cancels.
    QFile::remove(r.path);
    r.dialog->show();
    r.dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(r.dialog.get()));
    r.answers.push_back(QColor(1, 2, 3));
    QTest::keyClick(r.child<QToolButton>("SpeedButton5"), Qt::Key_Space);
    auto* cancel = r.child<QPushButton>("Button1");
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return);
    QTRY_VERIFY(!r.dialog->isVisible());
    QCOMPARE(r.values[3], 0x3C3228);
    QVERIFY(!QFile::exists(r.path));
}

QTEST_MAIN(TestColourDialog)
#include "test_colour_dialog.moc"
