// The "Trajetória" dock in the real window: a click on a segment puts the caret
// on its line, the caret's line is drawn bold, the path from before a function
// stays drawn faintly until the next one, and the dock's visibility is kept.

#include "helpers/OpenedWindow.h"
#include "core/Settings.h"
#include "editor/ProgramView.h"
#include "plot/BackplotDock.h"
#include "plot/PathPainter.h"
#include "plot/PlotCanvas.h"
#include "framework/ToolDialog.h"
#include "toolpath/Interpreter.h"
#include "toolpath/Toolpath.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <algorithm>

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

// How far from white the darkest pixel within 2 px of `at` is drawn: 0 for
// nothing, 255 for a full stroke of a saturated colour; -1 off the canvas
// or never drawn in full.
int inkNear(PlotCanvas& canvas, torvel::Point3 at)
{
    // The full drawing, not the sketch shown while it is made.
    QImage shown;
    const bool full = QTest::qWaitFor([&] {
        shown = canvas.grab().toImage();
        return canvas.showsFullDrawing();
    });
    const QPoint centre = pageOf(canvas, at);
    if (!full || !shown.rect().adjusted(2, 2, -2, -2).contains(centre))
        return -1;
    int ink = 0;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const QColor c = shown.pixelColor(centre + QPoint(dx, dy));
            ink = std::max(ink, 255 - std::min({c.red(), c.green(), c.blue()}));
        }
    return ink;
}

enum class Ink { NotShown, None, Faint, Full };

Ink inkKind(PlotCanvas& canvas, torvel::Point3 at)
{
    const int ink = inkNear(canvas, at);
    return ink < 0 ? Ink::NotShown : ink == 0 ? Ink::None : ink < 120 ? Ink::Faint : Ink::Full;
}

// Adds `value` to every X through the window's own translation dialog and run.
void translateX(MainWindow& window, const QString& value)
{
    window.translateAxes();
    auto* dialog = window.findChild<ToolDialog*>(QStringLiteral("Form6"));
    QVERIFY(dialog && QTest::qWaitForWindowExposed(dialog));
    dialog->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(true);
    dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(value);
    dialog->applyButton()->click();
    dialog->close();
}

} // namespace

class TestBackplot : public QObject {
    Q_OBJECT
private slots:
    void clickPutsTheCaretOnTheSegmentsLine();
    void caretLineIsDrawnBold();
    void pathFromBeforeAFunctionStaysFaintUntilTheNext();
    void dockVisibilityIsRemembered();
    void haloWidensTheMarkedMotionsOnly();
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

    // What the pointer's tooltip says.
    const auto arc = canvas->motionAt(pageOf(*canvas, {25, 15, -1}));
    QVERIFY(arc);
    QCOMPARE(canvas->motionText(*arc), QStringLiteral("Linha 6: arco horário, F100"));

    // From the keyboard: Page Down and Page Up step through the lines that move the
    // tool, past the ones that do not (line 1 sets modes only), and stop at the ends.
    canvas->setFocus();
    const struct {
        Qt::Key key;
        long long from, to;
    } steps[] = {{Qt::Key_PageDown, 1, 2}, {Qt::Key_PageDown, 6, 7}, {Qt::Key_PageDown, 7, 7}, {Qt::Key_PageUp, 4, 3},
        {Qt::Key_PageUp, 2, 2}, {Qt::Key_PageUp, 1, 1}};
    for (const auto& s : steps) {
        view->setCaretRow(s.from);
        QTest::keyClick(canvas, s.key);
        QCOMPARE(view->caretRow(), s.to);
    }
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

void TestBackplot::pathFromBeforeAFunctionStaysFaintUntilTheNext()
{
    OpenedWindow program(kProgram);
    QVERIFY(program.window);
    BackplotDock* dock = dockOf(*program.window);
    QTRY_VERIFY(dock->path());
    QVERIFY(!dock->before());
    PlotCanvas* canvas = dock->canvas();
    auto* anterior = dock->findChild<QToolButton*>(QStringLiteral("Anterior"));
    QVERIFY(anterior && !anterior->isEnabled());
    const auto opened = dock->path();

    // Line 4 runs along Y0 from X0 to X40; X+20 moves it to X20..X60, X+20 again to X40..X80.
    translateX(*program.window, QStringLiteral("20"));
    QTRY_VERIFY(dock->path() != opened && !dock->building());
    QCOMPARE(dock->before(), opened);
    QVERIFY(anterior->isEnabled() && anterior->isChecked());
    program.window->view()->setCaretRow(1);
    canvas->fitAll();
    QCOMPARE(inkKind(*canvas, {10, 0, -1}), Ink::Faint);
    QCOMPARE(inkKind(*canvas, {50, 0, -1}), Ink::Full);

    anterior->click();
    QCOMPARE(inkKind(*canvas, {10, 0, -1}), Ink::None);
    QCOMPARE(inkKind(*canvas, {50, 0, -1}), Ink::Full);
    anterior->click();
    QCOMPARE(inkKind(*canvas, {10, 0, -1}), Ink::Faint);

    // The next function replaces what is drawn from before.
    const auto first = dock->path();
    translateX(*program.window, QStringLiteral("20"));
    QTRY_VERIFY(dock->path() != first && !dock->building());
    QCOMPARE(dock->before(), first);
    canvas->fitAll();
    QCOMPARE(inkKind(*canvas, {25, 15, -1}), Ink::None); // the middle of the first arc
    QCOMPARE(inkKind(*canvas, {30, 0, -1}), Ink::Faint);
    QCOMPARE(inkKind(*canvas, {70, 0, -1}), Ink::Full);
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

void TestBackplot::haloWidensTheMarkedMotionsOnly()
{
    // A square's bottom edge marked: the pixels up to four from it are tinted, none beyond,
    // and none along the top edge.
    const std::string_view lines[] = {"G1 X0 Y0 F100", "G1 X100 Y0", "G1 X100 Y50", "G1 X0 Y50"};
    const auto path = torvel::interpret(lines);
    QVERIFY(path);
    const torvel::PlotFrame frame
        = torvel::PlotFrame::fit(torvel::PlotProjection::forView(torvel::PlotView::Top), path->extents(), 200, 200);
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QVERIFY(haloMotions(image, *path, {path->motionsOfLines(1, 1)}, frame));
    const torvel::Point2 bottom = frame.toPage({50, 0, 0}), top = frame.toPage({50, 50, 0});
    const struct {
        torvel::Point2 edge;
        int pixelsAbove;
        bool tinted;
    } cases[] = {{bottom, 0, true}, {bottom, 4, true}, {bottom, 6, false}, {top, 0, false}};
    for (const auto& c : cases) {
        const QPoint at(qRound(c.edge.x), qRound(c.edge.y) - c.pixelsAbove);
        QCOMPARE(!whiteAt(image, at), c.tinted);
    }
}

QTEST_MAIN(TestBackplot)
#include "test_backplot.moc"
