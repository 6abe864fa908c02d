#include "core/ProgramText.h"
#include "editor/TSynEdit.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexercustom.h>

#include <QClipboard>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QtTest>

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
QString shownLine(const TSynEdit& view, int line)
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
    void largeTextArrivesWhole();
    void windows1252AndUtf8Display();
    void emptyTextHasNoLines();
    void missingFaceFallsBackToFixedFont();
    void highlighterTakesTheViewFont();
    void copiesTheSelection();
};

void TestEditorView::gutterNumbersHaveFourPlaces()
{
    QCOMPARE(TSynEdit::gutterText(1), QStringLiteral("0001"));
    QCOMPARE(TSynEdit::gutterText(7), QStringLiteral("0007"));
    QCOMPARE(TSynEdit::gutterText(9999), QStringLiteral("9999"));
    QCOMPARE(TSynEdit::gutterText(10000), QStringLiteral("10000"));
    QCOMPARE(TSynEdit::gutterText(1000000), QStringLiteral("1000000"));
}

void TestEditorView::gutterShowsLongNumbersWithoutWidening()
{
    TSynEdit view;
    view.resize(600, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    view.setProgram(programOf(9), false);
    const int narrow = view.gutterWidth();
    QCOMPARE(view.gutterTextAt(7), QStringLiteral("0007"));

    view.setProgram(programOf(10005), false);
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
    TSynEdit view;
    view.resize(600, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setProgram(programOf(50), false);
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
    TSynEdit view;
    QCOMPARE(view.objectName(), QStringLiteral("SynEditor"));
    QVERIFY(view.isReadOnly());
    QCOMPARE(view.paper(), QColor(Qt::white));
    QCOMPARE(view.edgeMode(), QsciScintilla::EdgeLine);
    QCOMPARE(view.edgeColumn(), 80);
    QCOMPARE(view.edgeColor(), QColor(0xC0, 0xC0, 0xC0));
    QCOMPARE(view.tabWidth(), 8);
    QCOMPARE(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(view.fontSize(), 10);
}

void TestEditorView::typingChangesNothing()
{
    TSynEdit view;
    view.show();
    view.setProgram(programOf(3), false);
    const QString before = view.text();
    view.setFocus();
    QTest::keyClicks(&view, QStringLiteral("abc"));
    for (auto [key, mods] : {std::pair {Qt::Key_Delete, Qt::NoModifier}, {Qt::Key_Insert, Qt::ShiftModifier},
             {Qt::Key_Delete, Qt::ShiftModifier}, {Qt::Key_N, Qt::ControlModifier}, {Qt::Key_T, Qt::ControlModifier},
             {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Backspace, Qt::NoModifier}})
        QTest::keyClick(&view, key, mods);
    QCOMPARE(view.text(), before);
    QVERIFY(view.isReadOnly());
}

void TestEditorView::keyBindings()
{
    TSynEdit view;
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
    TSynEdit view;
    view.resize(400, 300);
    view.show();
    view.setProgram(torvel::ProgramText::fromFileBytes("N10 G01 X5\nN20\nN30 G00 Y7\n"), false);
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
    TSynEdit view;
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

void TestEditorView::largeTextArrivesWhole()
{
    // More than a few megabytes, so it goes in and out in several slices.
    TSynEdit view;
    const torvel::ProgramText text = programOf(120000);
    view.setProgram(text, false);
    QCOMPARE(view.lineCount(), 120000LL);
    for (int i = 0; i < 120000; ++i) {
        const std::string_view line = text.line(i);
        if (shownLine(view, i) != QLatin1String(line.data(), static_cast<qsizetype>(line.size())))
            QFAIL(qPrintable(QStringLiteral("line %1 differs").arg(i)));
    }
    QVERIFY(!view.text().endsWith(QLatin1Char('\n')));
    view.clearAll();
    QCOMPARE(view.lineCount(), 0LL);
    QVERIFY(!view.isUndoAvailable());
}

void TestEditorView::windows1252AndUtf8Display()
{
    TSynEdit view;
    view.setProgram(torvel::ProgramText::fromFileBytes("(POSI\xC7\xC3O)\r\nN10 \x80\r\n"), false);
    QCOMPARE(shownLine(view, 0), QStringLiteral("(POSIÇÃO)"));
    QCOMPARE(shownLine(view, 1), QStringLiteral("N10 €"));
    view.setProgram(torvel::ProgramText::fromFileBytes("(POSI\xC3\x87\xC3\x83O)\n"), true);
    QCOMPARE(shownLine(view, 0), QStringLiteral("(POSIÇÃO)"));
    // Blank lines and a last empty line stay lines of their own.
    view.setProgram(torvel::ProgramText::fromFileBytes("A\r\n\r\nB\r\n\r\n"), false);
    QCOMPARE(view.lineCount(), 4LL);
    QCOMPARE(shownLine(view, 2), QStringLiteral("B"));
}

void TestEditorView::emptyTextHasNoLines()
{
    TSynEdit view;
    QCOMPARE(view.lineCount(), 0LL);
    view.setProgram(torvel::ProgramText(), false);
    QCOMPARE(view.lineCount(), 0LL);
    QCOMPARE(view.caretRow(), 1LL);
    view.setCaretRow(5);
    QCOMPARE(view.caretRow(), 1LL);
}

void TestEditorView::missingFaceFallsBackToFixedFont()
{
    TSynEdit view;
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
    TSynEdit view;
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
    TSynEdit view;
    view.setProgram(torvel::ProgramText::fromFileBytes("N10 G01\r\nN20\r\n"), false);
    view.setSelection(0, 4, 0, 7);
    view.copySelection();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("G01"));
}

QTEST_MAIN(TestEditorView)
#include "test_editor_view.moc"
