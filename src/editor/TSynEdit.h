#pragma once

#include <Qsci/qsciscintilla.h>

#include <QFont>
#include <QString>

namespace torvel {
class ProgramText;
}

class QsciLexer;

// The program view: a read-only QScintilla with the gutter, margin line, font
// and key bindings of Torvel. Every QScintilla setting lives here; the rest of
// the program uses the operations below.
class TSynEdit : public QsciScintilla {
    Q_OBJECT
public:
    static constexpr int kGutterDigits = 4;
    static constexpr int kRightEdgeColumn = 80;
    static constexpr int kTabWidth = 8;

    explicit TSynEdit(QWidget* parent = nullptr);

    // Shows the program: bytes as UTF-8 when `utf8`, else read as Windows-1252.
    // keepPosition keeps the caret row and the scroll position (a refresh after a
    // function); otherwise the caret goes to the start.
    void setProgram(const torvel::ProgramText& text, bool utf8, bool keepPosition = false);
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

    // Size 0 lets the platform pick the face's default size.
    void setFontFace(const QString& face);
    void setFontSize(int points);
    QString fontFace() const { return font_.family(); }
    int fontSize() const { return font_.pointSize(); }
    QFont editorFont() const { return font_; }

    // The highlighter draws the text; the view keeps its font, paper and gutter.
    // Not owned; nullptr shows plain text.
    void setHighlighter(QsciLexer* lexer);

    void copySelection() { copy(); }

    // The gutter's text for a 1-based line number: at least four digits, zero-filled.
    static QString gutterText(long long number);
    // What the gutter shows for a 1-based row now (empty when the row is off screen).
    QString gutterTextAt(long long row) const;
    int gutterWidth() const;
    QFont gutterFont() const { return gutterFont_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    long sci(unsigned int msg, unsigned long wParam = 0, long lParam = 0) const
    {
        return SendScintilla(msg, wParam, lParam);
    }
    void configureView();
    void applyKeyBindings();
    void applyFont();
    void applyGutterStyle();
    void removeText();
    void insertDisplayText(const torvel::ProgramText& text, bool utf8);

    QFont font_;
    QFont gutterFont_;
};
