#include "app/WindowAssembly.h"
#include "core/Encoding.h"
#include "highlight/ColourValue.h"
#include "highlight/GCodeLexer.h"

#include "core/ProgramText.h"
#include "editor/ProgramView.h"

#include <Qsci/qsciscintilla.h>

#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Runs = std::vector<std::pair<int, int>>; // (byte count, style)

std::vector<int> expand(const Runs& runs)
{
    std::vector<int> out;
    for (const auto& [count, style] : runs)
        out.insert(out.end(), static_cast<size_t>(count), style);
    return out;
}

// Style numbers: attribute index (Comment 0, Identifier 1, Reserved Word 2,
// Space 3, String<n> 4+n, Test 23).
constexpr int kComment = 0, kIdent = 1, kKey = 2, kSpace = 3, kTest = 23;
constexpr int kA = 4, kG = 8, kM = 12, kN = 13, kX = 17, kZ = 18, kY = 19, kPercent = 20;

// The style of every byte of a line of the control, its line break left out.
std::vector<int> stylesOfLine(const QsciScintilla& view, int line)
{
    const long from = view.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long to = view.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    std::vector<int> out;
    for (long p = from; p < to; ++p)
        out.push_back(
            static_cast<int>(view.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(p))));
    return out;
}

struct Editor {
    std::unique_ptr<QsciScintilla> view = std::make_unique<QsciScintilla>();
    GCodeLexer* lexer = nullptr;

    explicit Editor(const torvel::ColourValues& colours = {})
    {
        view->SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, QsciScintillaBase::SC_CP_UTF8);
        lexer = new GCodeLexer(colours, view.get());
        view->setLexer(lexer);
    }

    void setBytes(const std::string& utf8)
    {
        view->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
        view->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<uintptr_t>(utf8.size()), utf8.c_str());
    }

    void styleAll() { view->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L); }

    std::vector<int> lineStyles(int line) const { return stylesOfLine(*view, line); }

    int styleAt(long pos) const
    {
        return static_cast<int>(
            view->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(pos)));
    }
};

} // namespace

class TestHighlighter : public QObject {
    Q_OBJECT
private slots:
    void stylesFollowTokens();
    void commentCarriesAcrossLines();
    void editRestylesFollowingLines();
    void accentedTextInUtf8View();
    void zeroEndsTheLine();
    void lineBreakBytes();
    void attributesAsStyles();
    void editorDefaultsKeepOwnColours();
    void editorFontKeepsStyles();
    void largeDocumentStyledLazily();
    void oneRequestMatchesManySmallOnes();
    void jumpSkipsLinesAboveTheScreen();
    void programWindowStartsInsideAComment();
    void farWindowIsCorrectedOnceShown();
};

void TestHighlighter::stylesFollowTokens()
{
    Editor e;
    e.setBytes("G01X9.02 M09\nN10 G01 X9.02 Y-3.5 (A)\nvelnor ostrand Velnor\n%O1% AB Z1");
    e.styleAll();
    QCOMPARE(e.lineStyles(0), expand({{3, kG}, {5, kX}, {1, kSpace}, {3, kM}}));
    QCOMPARE(e.lineStyles(1),
        expand(
            {{3, kN}, {1, kSpace}, {3, kG}, {1, kSpace}, {5, kX}, {1, kSpace}, {5, kY}, {1, kSpace}, {3, kComment}}));
    QCOMPARE(e.lineStyles(2), expand({{6, kKey}, {1, kSpace}, {7, kTest}, {1, kSpace}, {1, kIdent}, {5, kIdent}}));
    QCOMPARE(e.lineStyles(3), expand({{4, kPercent}, {1, kSpace}, {2, kA}, {1, kSpace}, {2, kZ}}));
}

void TestHighlighter::commentCarriesAcrossLines()
{
    Editor e;
    e.setBytes("G00(start\n\nG01 X1\n) X2\n{a\n\nb}G1\nX1");
    e.styleAll();
    QCOMPARE(e.lineStyles(0), expand({{3, kG}, {6, kComment}}));
    QCOMPARE(e.lineStyles(2), expand({{6, kComment}}));
    QCOMPARE(e.lineStyles(3), expand({{1, kComment}, {1, kSpace}, {2, kX}}));
    QCOMPARE(e.lineStyles(4), expand({{2, kComment}}));
    QCOMPARE(e.lineStyles(6), expand({{2, kComment}, {2, kG}}));
    QCOMPARE(e.lineStyles(7), expand({{2, kX}}));
}

void TestHighlighter::editRestylesFollowingLines()
{
    Editor e;
    e.setBytes("G1\nX1\nY1");
    e.styleAll();
    QCOMPARE(e.lineStyles(2), expand({{2, kY}}));
    e.view->SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, 0UL, "(");
    e.styleAll();
    QCOMPARE(e.lineStyles(0), expand({{3, kComment}}));
    QCOMPARE(e.lineStyles(1), expand({{2, kComment}}));
    QCOMPARE(e.lineStyles(2), expand({{2, kComment}}));
    e.view->SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, 5UL, ")"); // "(G1\nX)1"
    e.styleAll();
    QCOMPARE(e.lineStyles(1), expand({{2, kComment}, {1, kIdent}}));
    QCOMPARE(e.lineStyles(2), expand({{2, kY}}));
}

// A Windows-1252 file shown as UTF-8 keeps the styles of its bytes: each
// character's bytes share one style.
void TestHighlighter::accentedTextInUtf8View()
{
    Editor e;
    e.setBytes(torvel::windows1252ToUtf8("X1\xe9 \xe9 (\xe7\xe3o) a\xe9"));
    e.styleAll();
    QCOMPARE(e.lineStyles(0),
        expand({{4, kX}, {1, kSpace}, {2, kIdent}, {1, kSpace}, {7, kComment}, {1, kSpace}, {1, kIdent}, {2, kIdent}}));
    QCOMPARE(e.styleAt(2), kX);
    QCOMPARE(e.styleAt(5), kIdent);
}

void TestHighlighter::zeroEndsTheLine()
{
    Editor e;
    e.setBytes(std::string("G1\0X5 (a\nN1", 11));
    e.styleAll();
    QCOMPARE(e.lineStyles(0), expand({{2, kG}, {6, kIdent}}));
    QCOMPARE(e.lineStyles(1), expand({{2, kN}}));
}

void TestHighlighter::lineBreakBytes()
{
    Editor e;
    e.setBytes("(a\r\nb)X1\r\n");
    e.styleAll();
    QCOMPARE(e.styleAt(2), kSpace);
    QCOMPARE(e.styleAt(3), kSpace);
    QCOMPARE(e.lineStyles(1), expand({{2, kComment}, {2, kX}}));
}

void TestHighlighter::attributesAsStyles()
{
    torvel::ColourValues colours {};
    colours[13] = 0x0000FF; // CorX red
    colours[15] = 0x00FF00; // CorZ green
    Editor e(colours);
    GCodeLexer* lex = e.lexer;
    QCOMPARE(QByteArray(lex->language()), QByteArray());
    QCOMPARE(lex->description(0), QStringLiteral("Comment"));
    QCOMPARE(lex->description(2), QStringLiteral("Reserved Word"));
    QCOMPARE(lex->description(kZ), QStringLiteral("String14"));
    QCOMPARE(lex->description(kTest), QStringLiteral("Test"));
    QVERIFY(lex->description(24).isEmpty());
    QVERIFY(lex->description(-1).isEmpty());

    QCOMPARE(lex->color(kX), QColor(255, 0, 0));
    QCOMPARE(lex->color(kZ), QColor(0, 255, 0));
    QCOMPARE(lex->color(kA), QColor(0, 0, 0)); // never set: black
    QCOMPARE(lex->color(kComment), QColor(0, 0, 128));
    QVERIFY(lex->font(kComment).italic());
    QVERIFY(!lex->font(kComment).bold());
    QVERIFY(lex->font(kKey).bold());
    QCOMPARE(lex->color(kTest), QColor(0, 0, 255));
    QCOMPARE(lex->paper(kTest), QColor(192, 192, 192));
    QVERIFY(lex->font(kTest).italic() && lex->font(kTest).underline());
    QCOMPARE(lex->color(kIdent), lex->defaultColor());
    QCOMPARE(lex->paper(kIdent), QColor(Qt::white));
    QCOMPARE(lex->font(kIdent).family(), QStringLiteral("Courier New"));

    QCOMPARE(GCodeLexer::styleForKind(torvel::TokenKind::WordZ), kZ);
    QCOMPARE(GCodeLexer::styleForKind(torvel::TokenKind::Symbol), kIdent);
    QCOMPARE(GCodeLexer::styleForKind(torvel::TokenKind::Ostrand), kTest);

    QCOMPARE(colourFromValue(int32_t {0x00563412}), QColor(0x12, 0x34, 0x56));
    QCOMPARE(valueFromColour(QColor(0x12, 0x34, 0x56)), int32_t {0x00563412});
    QCOMPARE(valueFromColour(QColor::fromHsv(0, 255, 255)), int32_t {0x0000FF});
}

void TestHighlighter::editorDefaultsKeepOwnColours()
{
    Editor e;
    e.lexer->setPaper(QColor(Qt::yellow), -1);
    e.lexer->setColor(QColor(Qt::darkGreen), -1);
    QCOMPARE(e.lexer->paper(kIdent), QColor(Qt::yellow));
    QCOMPARE(e.lexer->paper(kTest), QColor(192, 192, 192));
    QCOMPARE(e.lexer->color(kIdent), QColor(Qt::darkGreen));
    QCOMPARE(e.lexer->color(kComment), QColor(0, 0, 128));
    QCOMPARE(e.lexer->color(kA), QColor(0, 0, 0));
    e.lexer->setPaper(QColor(Qt::red), kTest);
    QCOMPARE(e.lexer->paper(kTest), QColor(Qt::red));
}

void TestHighlighter::editorFontKeepsStyles()
{
    Editor e;
    e.lexer->setEditorFont(QFont(QStringLiteral("DejaVu Sans Mono"), 14));
    QCOMPARE(e.lexer->font(kComment).pointSize(), 14);
    QVERIFY(e.lexer->font(kComment).italic());
    QVERIFY(e.lexer->font(kKey).bold());
    QVERIFY(!e.lexer->font(kIdent).italic());
    QCOMPARE(e.lexer->defaultFont().pointSize(), 14);

    GCodeLexer withFont({}, QFont(QStringLiteral("DejaVu Sans Mono"), 12));
    QCOMPARE(withFont.font(kTest).pointSize(), 12);
    QVERIFY(withFont.font(kTest).underline());
}

// Opening a very large program styles only what the view shows.
void TestHighlighter::largeDocumentStyledLazily()
{
    std::string text;
    text.reserve(40'000'000);
    for (int i = 0; i < 1'000'000; ++i) {
        text += 'N';
        text += std::to_string(i);
        text += " G01 X12.5 Y-3.25 Z0.5 F100 (PASSO)\n";
    }

    QElapsedTimer timer;
    Editor plain;
    plain.view->setLexer(nullptr);
    plain.view->resize(600, 400);
    plain.view->show();
    timer.start();
    plain.setBytes(text);
    QCoreApplication::processEvents();
    plain.view->repaint();
    const qint64 plainMs = timer.elapsed();

    Editor e;
    e.view->resize(600, 400);
    e.view->show();
    timer.restart();
    e.setBytes(text);
    QCoreApplication::processEvents();
    e.view->repaint();
    const qint64 styledMs = timer.elapsed();
    qInfo("1,000,000 lines shown: %lld ms plain, %lld ms with the highlighter", plainMs, styledMs);

    const long endStyled = e.view->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
    QVERIFY(endStyled > 0);
    QVERIFY(static_cast<size_t>(endStyled) < text.size() / 100);
    QCOMPARE(e.lineStyles(0).front(), kN);

    // Jumping to the end styles the lines on the way, carrying the range.
    timer.restart();
    e.styleAll();
    qInfo("styling every line: %lld ms", timer.elapsed());
    QCOMPARE(e.lineStyles(999'999).front(), kN);
    QCOMPARE(e.styleAt(static_cast<long>(text.size()) - 2), kComment);
}

// A request over megabytes is handed to the view in pieces; comments open
// across a piece's edge, CR LF pairs and a line longer than a piece must come
// out as they do when the view asks a few lines at a time.
void TestHighlighter::oneRequestMatchesManySmallOnes()
{
    std::string text;
    for (int i = 0; i < 30'000; ++i)
        text += "N" + std::to_string(i) + " G01 X1.5 Y2\r\n";
    text += "G00 (opens here\r\n";
    for (int i = 0; i < 40'000; ++i)
        text += "inside X" + std::to_string(i) + "\r\n";
    text += ") G01 X2\r\n";
    text += "X1 " + std::string(800'000, '1') + " {" + std::string(800'000, 'z') + "\n";
    for (int i = 0; i < 1'000; ++i)
        text += "Y2 M3\n";
    text += "} M30\r";
    text += "G1 X1\n";

    Editor whole;
    whole.setBytes(text);
    whole.styleAll();

    Editor stepped;
    stepped.setBytes(text);
    const long lines = stepped.view->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    for (long line = 0; line < lines; line += 500) {
        const long pos = stepped.view->SendScintilla(
            QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(std::min(line + 500, lines - 1)));
        stepped.view->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, pos);
    }
    stepped.styleAll();

    long differences = 0;
    long first = -1;
    for (long p = 0; p < static_cast<long>(text.size()); ++p) {
        if (whole.styleAt(p) != stepped.styleAt(p)) {
            ++differences;
            if (first < 0)
                first = p;
        }
    }
    QCOMPARE(first, -1L);
    QCOMPARE(differences, 0L);
    QCOMPARE(whole.lineStyles(30'000).back(), kComment);
    QCOMPARE(whole.lineStyles(70'001).front(), kComment);
    QCOMPARE(whole.lineStyles(70'001).back(), kX);
    QCOMPARE(whole.lineStyles(70'003).front(), kComment);
    QCOMPARE(whole.lineStyles(71'003).back(), kM);
    QCOMPARE(whole.lineStyles(71'004).front(), kG);
}

// A jump far down styles the screen only; the lines passed over are scanned for
// their ranges and styled when they come into view, exactly as a top-to-bottom
// styling would have them. An edit above the screen is seen by both.
void TestHighlighter::jumpSkipsLinesAboveTheScreen()
{
    std::string text;
    for (int i = 0; i < 60'000; ++i) {
        text += "N" + std::to_string(i) + " G01 X1.5";
        if (i % 997 == 3)
            text += " (opens " + std::to_string(i) + "\n inside Y2 {\n still X1";
        if (i % 997 == 5)
            text += " {brace\n(x)\n";
        if (i % 997 == 7)
            text += ")} %(%";
        text += "\n";
    }
    Editor whole;
    whole.setBytes(text);
    whole.styleAll();

    Editor e;
    e.view->resize(600, 400);
    e.view->show();
    e.setBytes(text);
    const long lines = e.view->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    auto showLine = [&](long line) {
        e.view->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(line));
        QCoreApplication::processEvents();
        e.view->repaint();
    };
    auto sameAsWhole = [&](long first, long count) {
        for (long line = first; line < std::min(first + count, lines); ++line)
            if (e.lineStyles(static_cast<int>(line)) != whole.lineStyles(static_cast<int>(line)))
                return line;
        return -1L;
    };

    showLine(lines - 20);
    QCOMPARE(sameAsWhole(lines - 20, 20), -1L);
    // Styling still ends near the top: the view asks again for any line shown above.
    const long endStyled = e.view->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
    QVERIFY(static_cast<size_t>(endStyled) < text.size() / 10);

    for (long line : {30'000L, 3L, 45'500L, 20'000L, 996L})
        showLine(line);
    for (long line : {30'000L, 3L, 45'500L, 20'000L, 996L, lines - 20})
        QCOMPARE(sameAsWhole(line, 20), -1L);

    // An edit above the screen: a new comment opener changes the ranges below it.
    for (Editor* ed : {&whole, &e}) {
        const long pos = ed->view->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, 10UL);
        ed->view->SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(pos), "{");
    }
    whole.styleAll();
    showLine(40'000);
    QCOMPARE(sameAsWhole(40'000, 20), -1L);
    showLine(5);
    QCOMPARE(sameAsWhole(5, 20), -1L);
    QCOMPARE(e.lineStyles(11).front(), kComment);
}

// The program view holds a window of the program: every window it shows is
// styled as the whole program would be, comments opened far above included.
void TestHighlighter::programWindowStartsInsideAComment()
{
    std::string bytes;
    for (int i = 0; i < 30'000; ++i) {
        bytes += "N" + std::to_string(i) + " G01 X1.5";
        if (i % 4999 == 3)
            bytes += " (opens " + std::to_string(i);
        if (i % 4999 == 2500)
            bytes += ") Y2 {";
        if (i % 4999 == 2600)
            bytes += "} Z3 ";
        bytes += "\r\n";
    }
    torvel::ProgramText program = torvel::ProgramText::fromFileBytes(bytes);
    Editor whole;
    auto styleWhole = [&] {
        std::string joined;
        for (size_t i = 0; i < program.count(); ++i)
            joined.append(program.line(static_cast<long long>(i))).append("\n");
        joined.pop_back();
        whole.setBytes(joined);
        whole.styleAll();
    };
    styleWhole();

    ProgramView view;
    view.resize(600, 400);
    view.show();
    const std::unique_ptr<GCodeLexer> lexer(attachHighlighter(view, {}, nullptr));
    view.setProgram(program, false);
    auto screenMatches = [&]() -> long long {
        const long long first = view.firstVisibleRow() - 1;
        for (long long r = first; r < first + 15 && r < 30'000; ++r) {
            if (stylesOfLine(view, static_cast<int>(r - view.windowStart())) != whole.lineStyles(static_cast<int>(r)))
                return r + 1;
        }
        return 0;
    };
    auto show = [&] {
        for (int i = 0; i < 3; ++i) {
            view.repaint();
            QCoreApplication::processEvents();
        }
    };
    for (long long row : {26'000LL, 12'000LL, 1LL, 29'990LL, 5'003LL, 7'400LL}) {
        view.scrollToRow(row);
        show();
        QCOMPARE(screenMatches(), 0LL);
    }
    // Row 7400 lies inside the comment opened on row 5003 (0-based 5002).
    QVERIFY(view.windowStart() > 5002);

    // A function removes that opener: the refreshed window starts outside any comment.
    program.replace(5002, "N5002 G01 X1.5");
    view.setProgram(program, false, true);
    styleWhole();
    show();
    QCOMPARE(screenMatches(), 0LL);
    view.setHighlighter(nullptr);
}

// Far down a long program the window is first styled with a guessed range,
// measured once the screen is painted and corrected when the guess was wrong.
void TestHighlighter::farWindowIsCorrectedOnceShown()
{
    const long lines = 3 * static_cast<long>(ProgramView::kLinesMeasuredAtOnce);
    std::string bytes;
    for (long i = 0; i < lines; ++i) {
        bytes += "N" + std::to_string(i) + " G01 X1.5";
        if (i == 10)
            bytes += " (opens here";
        if (i == lines - 100)
            bytes += " closes) Y2";
        bytes += "\r\n";
    }
    const torvel::ProgramText program = torvel::ProgramText::fromFileBytes(bytes);
    ProgramView view;
    view.resize(600, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const std::unique_ptr<GCodeLexer> lexer(attachHighlighter(view, {}, nullptr));
    view.setProgram(program, false);
    const long long row = lines - 1000;
    view.setCaretRow(row);
    auto caretLineStyle = [&] {
        const long pos = view.SendScintilla(
            QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(row - 1 - view.windowStart()));
        return static_cast<int>(view.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(pos)));
    };
    view.repaint();
    QCOMPARE(caretLineStyle(), kN); // the guess: outside any comment
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        view.repaint();
    }
    QCOMPARE(caretLineStyle(), kComment);
    view.setHighlighter(nullptr);
}

QTEST_MAIN(TestHighlighter)
#include "test_highlighter.moc"
