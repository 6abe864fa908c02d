#include "core/ProgramText.h"
#include "editor/ProgramView.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexercustom.h>

#include <QAccessible>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScrollBar>
#include <QWheelEvent>
#include <QApplication>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QtTest>

#include <functional>
#include <string>

namespace {

torvel::ProgramText programOf(long long lines)
{
    std::string bytes;
    for (long long i = 1; i <= lines; ++i)
        bytes += "N" + std::to_string(i * 10) + " G01 X" + std::to_string(i % 97) + ".5\r\n";
    return torvel::ProgramText::fromFileBytes(bytes);
}

// The view's line without its line break.
QString shownLine(const ProgramView& view, int line)
{
    QString s = view.text(line);
    while (s.endsWith(QLatin1Char('\n')) || s.endsWith(QLatin1Char('\r')))
        s.chop(1);
    return s;
}

// A highlighter with two styles, one of them italic, to see what the view does to its fonts.
class TwoStyles : public QsciLexerCustom {
public:
    const char* language() const override { return "Test"; }
    QString description(int style) const override
    {
        return style == 0 ? QStringLiteral("Plain") : style == 1 ? QStringLiteral("Comment") : QString();
    }
    QFont defaultFont(int style) const override
    {
        QFont f(QStringLiteral("Serif"), 20);
        f.setItalic(style == 1);
        return f;
    }
    void styleText(int start, int end) override
    {
        startStyling(start);
        setStyling(end - start, 0);
    }
};

} // namespace

class TestEditorView : public QObject {
    Q_OBJECT
private slots:
    void gutterNumbersHaveFourPlaces();
    void gutterShowsLongNumbersWithoutWidening();
    void gutterIsPaintedSilver();
    void configuration();
    void typingChangesNothing();
    void keyBindings();
    void caretRowIsClampedAndKeepsColumn();
    void refreshKeepsCaretAndScroll();
    void windowHoldsTheLinesAroundTheScreen();
    void scrollBarIsPaintedWhenItsThumbMoves();
    void keysWalkPastTheWindowsEdges();
    void selectionReachesPastTheWindow();
    void refreshKeepsARowOutsideTheWindow();
    void windows1252AndUtf8Display();
    void emptyTextHasNoLines();
    void missingFaceFallsBackToFixedFont();
    void highlighterTakesTheViewFont();
    void copiesTheSelection();
};

void TestEditorView::gutterNumbersHaveFourPlaces()
{
    QCOMPARE(ProgramView::gutterText(1), QStringLiteral("0001"));
    QCOMPARE(ProgramView::gutterText(7), QStringLiteral("0007"));
    QCOMPARE(ProgramView::gutterText(9999), QStringLiteral("9999"));
    QCOMPARE(ProgramView::gutterText(10000), QStringLiteral("10000"));
    QCOMPARE(ProgramView::gutterText(1000000), QStringLiteral("1000000"));
}

void TestEditorView::gutterShowsLongNumbersWithoutWidening()
{
    ProgramView view;
    view.resize(600, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    const torvel::ProgramText short9 = programOf(9);
    view.setProgram(short9, false);
    const int narrow = view.gutterWidth();
    QCOMPARE(view.gutterTextAt(7), QStringLiteral("0007"));

    const torvel::ProgramText long10005 = programOf(10005);
    view.setProgram(long10005, false);
    QCOMPARE(view.gutterWidth(), narrow);
    QCOMPARE(view.gutterTextAt(7), QStringLiteral("0007"));
    QCOMPARE(view.gutterTextAt(10000), QString()); // off screen
    view.setCaretRow(10000);
    QCOMPARE(view.gutterTextAt(10000), QStringLiteral("10000"));
    QCOMPARE(view.gutterTextAt(7), QString());

    // All five digits fit in the gutter.
    const QFontMetrics metrics(view.gutterFont());
    QVERIFY(metrics.horizontalAdvance(QStringLiteral("10000")) < narrow);
}

void TestEditorView::gutterIsPaintedSilver()
{
    ProgramView view;
    view.resize(600, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const torvel::ProgramText text = programOf(50);
    view.setProgram(text, false);
    const QImage shot = view.viewport()->grab().toImage();
    // Left edge of the gutter (no digits there) is silver; the text area is white.
    QCOMPARE(QColor(shot.pixel(1, 3)), QColor(0xC0, 0xC0, 0xC0));
    QCOMPARE(QColor(shot.pixel(shot.width() - 5, shot.height() - 5)), QColor(Qt::white));
    // Some digit pixels are dark inside the gutter on the first row.
    bool ink = false;
    for (int x = 0; x < view.gutterWidth() && !ink; ++x)
        for (int y = 0; y < 14 && !ink; ++y)
            ink = qGray(shot.pixel(x, y)) < 100;
    QVERIFY(ink);
}

void TestEditorView::configuration()
{
    ProgramView view;
    QCOMPARE(view.objectName(), QStringLiteral("SynEditor"));
    QVERIFY(view.isReadOnly());
    QCOMPARE(view.paper(), QColor(Qt::white));
    QCOMPARE(view.edgeMode(), QsciScintilla::EdgeLine);
    QCOMPARE(view.edgeColumn(), 80);
    QCOMPARE(view.edgeColor(), QColor(0xC0, 0xC0, 0xC0));
    QCOMPARE(view.tabWidth(), 8);
    QCOMPARE(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // The vertical bar is the view's own, measuring the whole program.
    QCOMPARE(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(!view.rowScrollBar()->isHidden());
    QVERIFY(!view.rowScrollBar()->accessibleName().isEmpty());
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(&view);
    QVERIFY(spoken);
    QCOMPARE(spoken->text(QAccessible::Name), QStringLiteral("Programa"));
    QCOMPARE(view.fontSize(), 10);
}

void TestEditorView::typingChangesNothing()
{
    ProgramView view;
    view.show();
    const torvel::ProgramText text = programOf(3);
    view.setProgram(text, false);
    const QString before = view.text();
    view.setFocus();
    QTest::keyClicks(&view, QStringLiteral("abc"));
    for (auto [key, mods] : {std::pair {Qt::Key_Delete, Qt::NoModifier}, {Qt::Key_Insert, Qt::ShiftModifier},
             {Qt::Key_Delete, Qt::ShiftModifier}, {Qt::Key_N, Qt::ControlModifier}, {Qt::Key_T, Qt::ControlModifier},
             {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Backspace, Qt::NoModifier}})
        QTest::keyClick(&view, key, mods);
    QCOMPARE(view.text(), before);
    QVERIFY(view.isReadOnly());

    // Unindenting moves nothing either; Shift+Tab leaves the view backwards.
    QWidget window;
    auto* previous = new QLineEdit(&window);
    auto* inWindow = new ProgramView(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(previous);
    layout->addWidget(inWindow);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    inWindow->setProgram(text, false);
    inWindow->setFocus();
    QTest::keyClick(inWindow, Qt::Key_End);
    const long long column = inWindow->caretColumn();
    QTest::keyClick(inWindow, Qt::Key_M, Qt::ControlModifier);
    QCOMPARE(inWindow->caretColumn(), column);
    QTest::keyClick(inWindow, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(inWindow->caretColumn(), column);
    QCOMPARE(QApplication::focusWidget(), previous);
}

void TestEditorView::keyBindings()
{
    ProgramView view;
    QsciCommandSet* set = view.standardCommands();
    auto boundTo = [set](QKeyCombination key) -> int {
        QsciCommand* c = set->boundTo(key.toCombined());
        return c ? static_cast<int>(c->command()) : -1;
    };
    // The window's menu owns these.
    QCOMPARE(boundTo(Qt::CTRL | Qt::Key_Z), -1);
    QCOMPARE(boundTo(Qt::CTRL | Qt::Key_X), -1);
    QCOMPARE(boundTo(Qt::CTRL | Qt::Key_C), -1);
    QCOMPARE(boundTo(Qt::CTRL | Qt::Key_V), -1);
    // Swapped places.
    QCOMPARE(boundTo(Qt::SHIFT | Qt::Key_Delete), static_cast<int>(QsciCommand::Paste));
    QCOMPARE(boundTo(Qt::CTRL | Qt::Key_N), static_cast<int>(QsciCommand::Paste));
    QCOMPARE(boundTo(Qt::SHIFT | Qt::Key_Insert), static_cast<int>(QsciCommand::Delete));
    QCOMPARE(boundTo(QKeyCombination(Qt::Key_Delete)), static_cast<int>(QsciCommand::SelectionCut));
    QCOMPARE(boundTo(Qt::CTRL | Qt::Key_T), static_cast<int>(QsciCommand::SelectionCut));
    QCOMPARE(boundTo(Qt::CTRL | Qt::Key_M), static_cast<int>(QsciCommand::Backtab));
    QCOMPARE(boundTo(Qt::CTRL | Qt::SHIFT | Qt::Key_U), static_cast<int>(QsciCommand::DeleteWordRight));
    // Untouched defaults stay, copying with Ctrl+Ins among them.
    QCOMPARE(boundTo(Qt::CTRL | Qt::Key_Insert), static_cast<int>(QsciCommand::SelectionCopy));
    QCOMPARE(boundTo(QKeyCombination(Qt::Key_Down)), static_cast<int>(QsciCommand::LineDown));
}

void TestEditorView::caretRowIsClampedAndKeepsColumn()
{
    ProgramView view;
    view.resize(400, 300);
    view.show();
    const auto text = torvel::ProgramText::fromFileBytes("N10 G01 X5\nN20\nN30 G00 Y7\n");
    view.setProgram(text, false);
    QCOMPARE(view.lineCount(), 3LL);
    view.setCursorPosition(0, 6);
    view.setCaretRow(3);
    QCOMPARE(view.caretRow(), 3LL);
    QCOMPARE(view.caretColumn(), 7LL);
    view.setCaretRow(2); // shorter line: the caret stops at its end
    QCOMPARE(view.caretRow(), 2LL);
    QCOMPARE(view.caretColumn(), 4LL);
    view.setCaretRow(0);
    QCOMPARE(view.caretRow(), 1LL);
    view.setCaretRow(-5);
    QCOMPARE(view.caretRow(), 1LL);
    view.setCaretRow(99);
    QCOMPARE(view.caretRow(), 3LL);
    QVERIFY(!view.hasSelectedText());
}

void TestEditorView::refreshKeepsCaretAndScroll()
{
    ProgramView view;
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    torvel::ProgramText text = programOf(500);
    view.setProgram(text, false);
    view.setCaretRow(300);
    view.setCursorPosition(299, 3);
    const long long top = view.firstVisibleRow();
    QVERIFY(top > 1);
    text.replace(299, "N2990 X1");
    view.setProgram(text, false, true);
    QCOMPARE(view.caretRow(), 300LL);
    QCOMPARE(view.caretColumn(), 4LL);
    QCOMPARE(view.firstVisibleRow(), top);
    QCOMPARE(shownLine(view, 299), QStringLiteral("N2990 X1"));
    // A fresh load starts at the top.
    view.setProgram(text, false);
    QCOMPARE(view.caretRow(), 1LL);
    QCOMPARE(view.firstVisibleRow(), 1LL);
}

void TestEditorView::windowHoldsTheLinesAroundTheScreen()
{
    ProgramView view;
    view.resize(600, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const torvel::ProgramText text = programOf(120000);
    view.setProgram(text, false);
    QCOMPARE(view.lineCount(), 120000LL);
    const long held = view.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    QCOMPARE(held, static_cast<long>(ProgramView::kWindowLines));
    auto windowMatches = [&] {
        const long lines = view.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
        for (int i = 0; i < lines; ++i) {
            const std::string_view line = text.line(view.windowStart() + i);
            if (shownLine(view, i) != QLatin1String(line.data(), static_cast<qsizetype>(line.size())))
                return false;
        }
        return view.windowStart() + lines <= 120000;
    };
    QVERIFY(windowMatches());
    QVERIFY(!view.text().endsWith(QLatin1Char('\n')));

    for (long long row : {60000LL, 2LL, 119990LL, 3500LL, 4200LL}) {
        view.scrollToRow(row);
        QCOMPARE(view.firstVisibleRow(),
            std::min(row, 120000LL - view.SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN) + 1));
        QVERIFY(windowMatches());
        QCOMPARE(view.gutterTextAt(view.firstVisibleRow()), ProgramView::gutterText(view.firstVisibleRow()));
        QCOMPARE(view.rowScrollBar()->value(), static_cast<int>(view.firstVisibleRow() - 1));
        QCOMPARE(view.caretRow(), 1LL); // scrolling leaves the caret where it was
    }
    QCOMPARE(view.rowScrollBar()->maximum(),
        static_cast<int>(120000 - view.SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN)));

    view.setCaretRow(120000);
    QCOMPARE(view.caretRow(), 120000LL);
    QVERIFY(windowMatches());
    QCOMPARE(view.windowStart(), 120000LL - ProgramView::kWindowLines);

    view.clearAll();
    QCOMPARE(view.lineCount(), 0LL);
    QCOMPARE(view.windowStart(), 0LL);
    QVERIFY(!view.isUndoAvailable());
}

void TestEditorView::scrollBarIsPaintedWhenItsThumbMoves()
{
    struct PaintCount : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } count;
    ProgramView view;
    view.resize(600, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const torvel::ProgramText longer = programOf(120000);
    const torvel::ProgramText shorter = programOf(30000);
    view.setProgram(longer, false);
    QScrollBar* bar = view.rowScrollBar();
    bar->installEventFilter(&count);
    auto paintsAfter = [&](const std::function<void()>& change) {
        QCoreApplication::processEvents();
        count.paints = 0;
        change();
        QCoreApplication::processEvents();
        return count.paints;
    };
    // A row further on a long program leaves the thumb's pixels as they were.
    view.scrollToRow(3);
    QCOMPARE(paintsAfter([&] { view.scrollToRow(5); }), 0);
    QCOMPARE(bar->value(), 4);
    QVERIFY(paintsAfter([&] { view.scrollToRow(60000); }) > 0);
    QVERIFY(paintsAfter([&] { view.setProgram(shorter, false, true); }) > 0);
    QCOMPARE(bar->maximum(), static_cast<int>(30000 - view.SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN)));
    QVERIFY(paintsAfter([&] { view.scrollToRow(1); }) > 0);
    // At either end the arrows change their look even where the thumb stays.
    view.scrollToRow(2);
    QCoreApplication::processEvents();
    QVERIFY(paintsAfter([&] { view.scrollToRow(1); }) > 0);
}

void TestEditorView::keysWalkPastTheWindowsEdges()
{
    ProgramView view;
    view.resize(600, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const torvel::ProgramText text = programOf(30000);
    view.setProgram(text, false);
    view.setFocus();
    auto caretLineShown = [&] {
        const std::string_view line = text.line(view.caretRow() - 1);
        return shownLine(view, static_cast<int>(view.caretRow() - 1 - view.windowStart()))
            == QLatin1String(line.data(), static_cast<qsizetype>(line.size()));
    };
    // Down through two window moves, one line at a time past the first edge.
    long long row = 1;
    for (int i = 0; i < 400; ++i) {
        QTest::keyClick(&view, Qt::Key_PageDown);
        QCoreApplication::processEvents();
        QVERIFY(view.caretRow() > row);
        row = view.caretRow();
    }
    QVERIFY(view.windowStart() > 0);
    QVERIFY(caretLineShown());
    const long long before = view.caretRow();
    for (int i = 0; i < 50; ++i) {
        QTest::keyClick(&view, Qt::Key_Down);
        QCoreApplication::processEvents();
    }
    QCOMPARE(view.caretRow(), before + 50);
    QVERIFY(caretLineShown());

    // The program's end and start, not the window's.
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(view.caretRow(), 30000LL);
    QVERIFY(caretLineShown());
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(view.caretRow(), 1LL);
    QCOMPARE(view.windowStart(), 0LL);

    // The wheel carries the screen past the window's edge as well.
    view.setCaretRow(1);
    const QPoint middle = view.viewport()->rect().center();
    for (int i = 0; i < 1500; ++i) {
        QWheelEvent wheel(middle, view.viewport()->mapToGlobal(middle), QPoint(), QPoint(0, -120), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view.viewport(), &wheel);
        QCoreApplication::processEvents();
    }
    QVERIFY(view.firstVisibleRow() > ProgramView::kWindowLines);
    QVERIFY(view.windowStart() > 0);
    QCOMPARE(view.rowScrollBar()->value(), static_cast<int>(view.firstVisibleRow() - 1));
    const long long top = view.firstVisibleRow();
    const std::string_view topLine = text.line(top - 1);
    QCOMPARE(shownLine(view, static_cast<int>(top - 1 - view.windowStart())),
        QLatin1String(topLine.data(), static_cast<qsizetype>(topLine.size())));
    QCOMPARE(view.gutterTextAt(top), ProgramView::gutterText(top));

    // A key brings a caret the scroll bar left behind back into the window.
    view.setCaretRow(20);
    view.rowScrollBar()->setValue(25000);
    QCOMPARE(view.firstVisibleRow(), 25001LL);
    QCOMPARE(view.caretRow(), 20LL);
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(view.caretRow(), 21LL);
    QVERIFY(caretLineShown());
    QVERIFY(view.firstVisibleRow() <= 21);

    // Shift and a click far from a caret the scroll bar left behind select from that caret.
    QTest::keyClick(&view, Qt::Key_Home);
    view.rowScrollBar()->setValue(20000);
    const int lineHeight = static_cast<int>(view.SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL));
    const QPoint onRow(view.gutterWidth() + 2, lineHeight * 2 + lineHeight / 2);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, onRow);
    QCOMPARE(view.caretRow(), 20003LL);
    const QString selected = view.selectedProgramText();
    QVERIFY(
        selected.startsWith(QString::fromLatin1(text.line(20).data(), static_cast<qsizetype>(text.line(20).size()))));
    QCOMPARE(selected.count(QLatin1Char('\n')), 20003 - 21);
}

void TestEditorView::selectionReachesPastTheWindow()
{
    ProgramView view;
    view.resize(600, 400);
    view.show();
    const torvel::ProgramText text = programOf(12000);
    view.setProgram(text, false);
    view.setFocus();
    std::string all;
    for (size_t i = 0; i < text.count(); ++i)
        all.append(text.line(static_cast<long long>(i))).append(i + 1 < text.count() ? "\n" : "");

    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(view.selectedProgramText(), QString::fromStdString(all));
    view.copySelection();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromStdString(all));

    // From the middle of row 10 down to the end, then back up a row.
    view.setCaretRow(10);
    QTest::keyClick(&view, Qt::Key_Home);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    QCoreApplication::processEvents();
    const std::string row10 = std::string(text.line(9));
    std::string tail = row10.substr(2);
    for (size_t i = 10; i < text.count(); ++i)
        tail.append("\n").append(text.line(static_cast<long long>(i)));
    QCOMPARE(view.selectedProgramText(), QString::fromStdString(tail));
    QTest::keyClick(&view, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Up, Qt::ShiftModifier);
    QVERIFY(view.selectedProgramText().startsWith(QString::fromStdString(row10.substr(2) + "\n")));
    QVERIFY(view.selectedProgramText().endsWith(QStringLiteral("\n")));
    // A key without Shift drops the selection, the far end with it.
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(view.selectedProgramText(), QString());
}

void TestEditorView::refreshKeepsARowOutsideTheWindow()
{
    ProgramView view;
    view.resize(600, 400);
    view.show();
    torvel::ProgramText text = programOf(20000);
    view.setProgram(text, false);
    view.setCaretRow(15000);
    view.setCursorPosition(static_cast<int>(15000 - 1 - view.windowStart()), 4);
    view.scrollToRow(100);
    QCOMPARE(view.caretRow(), 15000LL);
    QCOMPARE(view.caretColumn(), 5LL);
    text.replace(14999, "N149990 G00");
    view.setProgram(text, false, true);
    QCOMPARE(view.firstVisibleRow(), 100LL);
    QCOMPARE(view.caretRow(), 15000LL);
    QCOMPARE(view.caretColumn(), 5LL);
    // A shorter program pulls both in.
    const torvel::ProgramText shorter = programOf(50);
    view.setProgram(shorter, false, true);
    QCOMPARE(view.caretRow(), 50LL);
    QVERIFY(view.firstVisibleRow() >= 1 && view.firstVisibleRow() <= 50);

    // Columns off the window count as the control counts them: a tab to the next
    // stop, an accented letter (two bytes in UTF-8, one in Windows-1252) as one.
    torvel::ProgramText tabs;
    for (bool utf8 : {true, false}) {
        tabs = programOf(20000);
        tabs.replace(14999,
            utf8 ? "\tA\xC3\xA9"
                   "B X1"
                 : "\tA\xE9"
                   "B X1");
        view.setProgram(tabs, utf8);
        view.setCaretRow(15000);
        const long start = view.SendScintilla(
            QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(15000 - 1 - view.windowStart()));
        view.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(start + 4)); // before "B"
        QCOMPARE(view.caretColumn(), 11LL);
        view.scrollToRow(1);
        QCOMPARE(view.caretColumn(), 11LL);
        view.setProgram(tabs, utf8, true);
        QCOMPARE(view.caretColumn(), 11LL);
        view.setCaretRow(15000);
        QCOMPARE(view.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)
                - view.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE,
                    static_cast<unsigned long>(15000 - 1 - view.windowStart())),
            4L);
    }
}

void TestEditorView::windows1252AndUtf8Display()
{
    ProgramView view;
    const auto cp1252 = torvel::ProgramText::fromFileBytes("(POSI\xC7\xC3O)\r\nN10 \x80\r\n");
    view.setProgram(cp1252, false);
    QCOMPARE(shownLine(view, 0), QStringLiteral("(POSIÇÃO)"));
    QCOMPARE(shownLine(view, 1), QStringLiteral("N10 €"));
    const auto utf8 = torvel::ProgramText::fromFileBytes("(POSI\xC3\x87\xC3\x83O)\n");
    view.setProgram(utf8, true);
    QCOMPARE(shownLine(view, 0), QStringLiteral("(POSIÇÃO)"));
    // Blank lines and a last empty line stay lines of their own.
    const auto blanks = torvel::ProgramText::fromFileBytes("A\r\n\r\nB\r\n\r\n");
    view.setProgram(blanks, false);
    QCOMPARE(view.lineCount(), 4LL);
    QCOMPARE(shownLine(view, 2), QStringLiteral("B"));
}

void TestEditorView::emptyTextHasNoLines()
{
    ProgramView view;
    QCOMPARE(view.lineCount(), 0LL);
    const torvel::ProgramText empty;
    view.setProgram(empty, false);
    QCOMPARE(view.lineCount(), 0LL);
    QCOMPARE(view.caretRow(), 1LL);
    view.setCaretRow(5);
    QCOMPARE(view.caretRow(), 1LL);
}

void TestEditorView::missingFaceFallsBackToFixedFont()
{
    ProgramView view;
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontDatabase::hasFamily(QStringLiteral("Courier New")))
        QCOMPARE(view.fontFace(), QStringLiteral("Courier New"));
    else
        QCOMPARE(view.fontFace(), fixed.family());
    QCOMPARE(view.fontSize(), 10);

    view.setFontFace(QString()); // an empty name keeps the face
    QCOMPARE(view.fontSize(), 10);
    view.setFontSize(14);
    QCOMPARE(view.fontSize(), 14);
    view.setFontSize(0); // the platform's default height
    QVERIFY(view.fontSize() > 0);
    QCOMPARE(view.fontSize(), fixed.pointSize() > 0 ? fixed.pointSize() : 10);
}

void TestEditorView::highlighterTakesTheViewFont()
{
    ProgramView view;
    TwoStyles lexer;
    view.setFontSize(12);
    view.setHighlighter(&lexer);
    QCOMPARE(lexer.font(0).family(), view.fontFace());
    QCOMPARE(lexer.font(0).pointSize(), 12);
    QVERIFY(lexer.font(1).italic()); // a style keeps its own slant
    QCOMPARE(lexer.font(1).pointSize(), 12);
    QCOMPARE(lexer.paper(0), QColor(Qt::white));
    view.setFontSize(9);
    QCOMPARE(lexer.font(1).pointSize(), 9);
    QVERIFY(lexer.font(1).italic());
    view.setHighlighter(nullptr);
    QCOMPARE(view.lexer(), nullptr);
}

void TestEditorView::copiesTheSelection()
{
    ProgramView view;
    const auto text = torvel::ProgramText::fromFileBytes("N10 G01\r\nN20\r\n");
    view.setProgram(text, false);
    view.setSelection(0, 4, 0, 7);
    view.copySelection();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("G01"));
}

QTEST_MAIN(TestEditorView)
#include "test_editor_view.moc"
