#pragma once

#include <Qsci/qsciscintilla.h>

#include "core/CommentRanges.h"
#include "core/ProgramSearch.h"

#include <QFont>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace torvel {
class ProgramText;
}

class QMenu;
class QsciLexer;
class QScrollBar;

// The program view: a read-only QScintilla with the gutter, margin line, font
// and key bindings of Torvel. Every QScintilla setting lives here; the rest of
// the program uses the operations below.
//
// The control holds a window of the program's lines around the screen, never
// the whole program: a program of a million lines would otherwise be held three
// times over (our text, the control's text and a style byte per character) and
// handed to the control again after every function. The window follows the
// screen; the vertical scroll bar, the gutter numbers and the operations below
// speak in rows of the whole program. A caret or selection end outside the
// window is kept here and placed at the window's edge in the control.
class ProgramView : public QsciScintilla {
    Q_OBJECT
public:
    static constexpr int kGutterDigits = 4;
    static constexpr int kRightEdgeColumn = 80;
    static constexpr int kTabWidth = 8;
    // Lines held by the control, and how close the screen may come to the
    // window's edge before the window moves.
    static constexpr long long kWindowLines = 4000;
    static constexpr long long kWindowMargin = 1000;
    // Program lines measured for comment ranges while the screen waits.
    static constexpr size_t kLinesMeasuredAtOnce = 100000;

    explicit ProgramView(QWidget* parent = nullptr);

    // Shows the program: bytes as UTF-8 when `utf8`, else read as Windows-1252.
    // keepPosition keeps the caret row and the scroll position (a refresh after a
    // function); otherwise the caret goes to the start. The view reads `text`
    // until the next setProgram or clearAll, so it must outlive both.
    void setProgram(const torvel::ProgramText& text, bool utf8, bool keepPosition = false);
    void setProgram(const torvel::ProgramText&& text, bool utf8, bool keepPosition = false) = delete;
    // Empties the text and the control's own undo list.
    void clearAll();

    long long lineCount() const;
    // Both 1-based.
    long long caretRow() const;
    long long caretColumn() const;
    // Clamped to 1..lineCount; keeps the column where the line allows, drops the
    // selection and scrolls the caret into view.
    void setCaretRow(long long row);
    long long firstVisibleRow() const; // 1-based
    // Scrolls so that `row` (1-based) is the first on screen; the caret stays.
    void scrollToRow(long long row);
    // Puts the caret at the start of `row` (0-based) and the row in the middle of the screen.
    void goToRow(long long row);
    // 0-based program row of the control's first line.
    long long windowStart() const { return base_; }

    // Places in the program's own bytes (0-based row, byte offset in the file's line), as
    // the search speaks of them. The selection's ends, the earlier first; the caret twice
    // when nothing is selected.
    std::pair<torvel::TextPosition, torvel::TextPosition> programSelection() const;
    // Selects `length` bytes at `at`, bringing them to the middle of the screen when off it.
    void selectProgramBytes(torvel::TextPosition at, size_t length);
    // Marks the matches on the rows on screen: `source` lists those that start in a range
    // of rows (0-based, inclusive), each `length` bytes long. An empty source clears them.
    using MarkSource = std::function<std::vector<torvel::TextPosition>(long long first, long long last)>;
    void setMarks(MarkSource source, size_t length);
    // Marked stretches now in the control (tests, and a screen reader's count).
    int marksShown() const;
    QScrollBar* rowScrollBar() const { return rows_; }

    // Size 0 lets the platform pick the face's default size.
    void setFontFace(const QString& face);
    void setFontSize(int points);
    QString fontFace() const { return font_.family(); }
    int fontSize() const { return font_.pointSize(); }
    QFont editorFont() const { return font_; }

    // The highlighter draws the text; the view keeps its font, paper and gutter.
    // Not owned; nullptr shows plain text.
    void setHighlighter(QsciLexer* lexer);
    // The comment range carried into the window's first line: what a highlighter of
    // the view starts the window's styling from.
    int rangeBeforeWindow();

    // The rows (1-based) the selection covers, first <= last; {0, -1} when nothing is
    // selected. A selection that ends at the start of a row leaves that row out.
    std::pair<long long, long long> selectedRows() const;
    // The selection as shown, over the whole program.
    QString selectedProgramText() const;
    void copySelection() { copy(); }
    // The control's own copy and select-all, its context menu's too, work on the program.
    void copy() override;
    void selectAll(bool select = true) override;
    // The menu the right button opens: copy and select all, in Portuguese (QScintilla
    // ships no Brazilian texts for its own). The caller owns it.
    QMenu* createContextMenu();

    // The gutter's text for a 1-based line number: at least four digits, zero-filled.
    static QString gutterText(long long number);
    // What the gutter shows for a 1-based row now (empty when the row is off screen).
    QString gutterTextAt(long long row) const;
    int gutterWidth() const;
    QFont gutterFont() const { return gutterFont_; }

signals:
    // The control's text was replaced by another window of the program.
    void windowFilled();
    // The caret or the selection may have moved (sent once the screen has settled).
    void caretMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // A place in the program: row and byte offset in the row's shown text.
    struct Place {
        long long row = 0;
        long long offset = 0;
    };

    long sci(unsigned int msg, unsigned long wParam = 0, long lParam = 0) const
    {
        return SendScintilla(msg, wParam, lParam);
    }
    void configureView();
    void applyKeyBindings();
    void applyFont();
    void applyGutterStyle();
    void placeScrollBar();

    long long programLines() const;
    long long windowLines() const;
    long linesOnScreen() const;
    // A row as the control shows it: UTF-8.
    void appendShownRow(std::string& out, long long row) const;
    std::string shownRow(long long row) const;
    // Replaces the control's text by the window starting at `base`.
    void fillWindow(long long base);
    // Moves the window to `base` (or fills it `again`), keeping what the screen,
    // caret and selection show.
    void moveWindow(long long base, bool again = false);
    void checkGuessedRange();
    void scheduleRangeCheck();
    // Whether rows first..last lie in the window and away from an edge the
    // program goes on past.
    bool windowHolds(long long first, long long last) const;
    // Moves the window when the screen comes near its edge.
    void followScreen();
    void screenMoved();
    void syncScrollBar();
    long long centredBase(long long row) const;
    void bringCaretIn();
    void refreshMarks();
    // Between the file's bytes of a row and the shown (UTF-8) text of it.
    long long shownOffset(long long row, size_t programOffset) const;
    size_t programOffset(long long row, long long shownOffset) const;

    Place caretPlace() const;
    Place anchorPlace() const;
    Place placeOf(long position) const;
    long positionOf(const Place& place) const;
    bool inWindow(const Place& place) const;
    // Sets the control's caret and anchor, keeping ends outside the window here.
    void placeSelection(const Place& anchor, const Place& caret);
    long long columnOf(const Place& place) const;

    QFont font_;
    QFont gutterFont_;
    QScrollBar* rows_;
    const torvel::ProgramText* program_ = nullptr;
    bool utf8_ = false;
    long long base_ = 0;
    std::optional<Place> farCaret_;
    std::optional<Place> farAnchor_;
    bool filling_ = false;
    bool syncing_ = false;
    bool mouseDown_ = false;
    bool followQueued_ = false;
    // Comment ranges at the end of the program's lines, for the window's first line.
    torvel::CommentRangeCache ranges_;
    MarkSource markSource_;
    size_t markLength_ = 0;
    // The rows last marked, and whether the marks must be drawn again anyway.
    long long markedFirst_ = -1;
    long long markedLast_ = -1;
    bool marksStale_ = false;
    // The window start whose range was guessed, and the guess.
    long long guessedBase_ = -1;
    bool rangeCheckPending_ = false;
    int guessedRange_ = 0;
};
