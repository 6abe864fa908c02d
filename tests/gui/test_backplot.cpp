// The "Trajetória" dock in the real window: a click on a segment puts the caret
// on its line, the caret's line is drawn bold, and the dock's visibility is kept.

#include "helpers/OpenedWindow.h"
#include "core/Settings.h"
#include "editor/ProgramView.h"
#include "plot/BackplotDock.h"
#include "plot/PlotCanvas.h"
#include "toolpath/Toolpath.h"

#include <QAction>
#include <QtTest>

namespace {

// Lines 4 and 5 are straight, line 6 an arc whose middle is at (25, 15).
const QByteArray kProgram = "G21 G90 G17\n"
                            "G0 X0 Y0 Z5\n"
                            "G1 Z-1 F100\n"
                            "G1 X40 Y0\n"
                            "G1 X40 Y30\n"
                            "G2 X10 Y30 I-15 J0\n"
                            "G0 Z5\n";

BackplotDock* dockOf(MainWindow& window) { return window.findChild<BackplotDock*>(QStringLiteral("Trajetoria")); }

QPoint pageOf(const PlotCanvas& canvas, torvel::Point3 p)
{
    const torvel::Point2 q = canvas.frame().toPage(p);
    return QPoint(qRound(q.x), qRound(q.y));
}

bool whiteAt(const QImage& image, QPoint p) { return image.pixelColor(p) == QColor(Qt::white); }

} // namespace

class TestBackplot : public QObject {
    Q_OBJECT
private slots:
    void clickPutsTheCaretOnTheSegmentsLine();
    void caretLineIsDrawnBold();
    void dockVisibilityIsRemembered();
};

void TestBackplot::clickPutsTheCaretOnTheSegmentsLine()
{
    OpenedWindow program(kProgram);
    QVERIFY(program.window);
    BackplotDock* dock = dockOf(*program.window);
    QVERIFY(dock);
    QTRY_VERIFY(dock->path());
    PlotCanvas* canvas = dock->canvas();
    ProgramView* view = program.window->view();
    const struct {
        torvel::Point3 at;
        long long row;
    } cases[] = {{{20, 0, -1}, 4}, {{40, 15, -1}, 5}, {{25, 15, -1}, 6}, {{3, 0, -1}, 4}};
    for (const auto& c : cases) {
        view->setCaretRow(1);
        // A few pixels beside the segment still reach it.
        QTest::mouseClick(canvas, Qt::LeftButton, {}, pageOf(*canvas, c.at) + QPoint(0, 3));
        QCOMPARE(view->caretRow(), c.row);
    }
    // Far from every segment, a click changes nothing.
    view->setCaretRow(2);
    QTest::mouseClick(canvas, Qt::LeftButton, {}, pageOf(*canvas, {20, 25, -1}));
    QCOMPARE(view->caretRow(), 2LL);
}

void TestBackplot::caretLineIsDrawnBold()
{
    OpenedWindow program(kProgram);
    QVERIFY(program.window);
    BackplotDock* dock = dockOf(*program.window);
    QTRY_VERIFY(dock->path());
    PlotCanvas* canvas = dock->canvas();
    ProgramView* view = program.window->view();
    // Two pixels beside the middle of line 4's and line 5's segments.
    const QPoint besideLine4 = pageOf(*canvas, {20, 0, -1}) + QPoint(0, 2);
    const QPoint besideLine5 = pageOf(*canvas, {40, 15, -1}) + QPoint(2, 0);
    const struct {
        long long caret;
        bool line4Bold, line5Bold;
    } cases[] = {{1, false, false}, {4, true, false}, {5, false, true}, {7, false, false}};
    for (const auto& c : cases) {
        view->setCaretRow(c.caret);
        const QImage shown = canvas->grab().toImage();
        QCOMPARE(!whiteAt(shown, besideLine4), c.line4Bold);
        QCOMPARE(!whiteAt(shown, besideLine5), c.line5Bold);
    }
}

void TestBackplot::dockVisibilityIsRemembered()
{
    OpenedWindow program(kProgram);
    QVERIFY(program.window);
    QAction* item = program.window->findChild<QAction*>(QStringLiteral("Trajetoria1"));
    QVERIFY(item);
    QVERIFY(item->isChecked());
    item->trigger();
    QVERIFY(dockOf(*program.window)->isHidden());
    const torvel::SettingsFile settings(QFile::encodeName(program.window->settingsPath()).toStdString());
    QCOMPARE(settings.value("Trajetoria", "Exibir"), std::optional<std::string>("0"));

    // A window started later in the same folder comes up without the dock, and shows it again.
    MainWindow later(nullptr, program.folder.path());
    assembleWindow(later);
    later.show();
    QVERIFY(dockOf(later)->isHidden());
    QAction* laterItem = later.findChild<QAction*>(QStringLiteral("Trajetoria1"));
    QVERIFY(!laterItem->isChecked());
    laterItem->trigger();
    QVERIFY(!dockOf(later)->isHidden());
    QCOMPARE(settings.value("Trajetoria", "Exibir"), std::optional<std::string>("1"));
}

QTEST_MAIN(TestBackplot)
#include "test_backplot.moc"
