#pragma once

#include "core/Settings.h"
#include "core/TokenAttributes.h"
#include "core/Tokenizer.h"

#include <Qsci/qscilexercustom.h>

#include <QColor>
#include <QFont>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QsciScintilla;

// The G-code highlighter: colours address words by letter, comments, delimited
// words and the two keywords. Style n is attribute n of the token attribute list
// (0 "Comment" ... 23 "Test"). Colours are fixed when it is constructed; a colour
// change makes a new instance.
//
// The view holds UTF-8 text. Tokenizing it gives the same styles as tokenizing
// the file's own bytes: every byte from 128 up is a single character outside
// words and continues comments, address and delimited words inside them, so the
// bytes of one character always share a style.
class GCodeLexer : public QsciLexerCustom {
    Q_OBJECT
public:
    // The editor's built-in font, "Courier New" 10 points.
    explicit GCodeLexer(const torvel::ColourValues& colours, QObject* parent = nullptr);
    GCodeLexer(const torvel::ColourValues& colours, const QFont& editorFont, QObject* parent = nullptr);

    const char* language() const override;
    QString description(int style) const override;
    void styleText(int start, int end) override;
    void setEditor(QsciScintilla* editor) override;

    using QsciLexer::defaultColor;
    using QsciLexer::defaultFont;
    using QsciLexer::defaultPaper;
    QColor defaultColor(int style) const override;
    QColor defaultPaper(int style) const override;
    QFont defaultFont(int style) const override;

    // Style -1 changes the editor's default: styles without a colour of their
    // own follow it, the others keep theirs (comments navy, "Test" on silver).
    void setColor(const QColor& c, int style = -1) override;
    void setPaper(const QColor& c, int style = -1) override;

    // Keeps each style's bold, italic and underline.
    void setEditorFont(const QFont& font);

    static int styleForKind(int kind);
    const torvel::TokenAttribute& attribute(int style) const { return attributes_.at(static_cast<size_t>(style)); }

    // The comment range the editor's first line starts in. An editor that shows a window
    // of a longer program knows it from the lines above the window; without a source
    // the text starts outside any comment.
    using RangeSource = std::function<int()>;
    void setRangeSource(RangeSource source) { rangeSource_ = std::move(source); }
    // The editor's text was replaced without change notices: the ranges measured in it go.
    void forgetRanges() { ranges_.clear(); }

private:
    QFont styledFont(const QFont& base, int style) const;
    void styleLines(long firstLine, long lastLine);
    long lineStart(long line) const;
    // Scans the lines whose ranges are not known yet, up to `line`.
    void knowRangesBefore(long line);
    void keepRange(long line, int range);
    int rangeBeforeText() const;
    void forgetRangesFrom(int position);

    std::array<torvel::TokenAttribute, torvel::kAttributeCount> attributes_;
    torvel::Tokenizer tokenizer_;
    std::string styles_; // one style byte per text byte, reused between requests
    // The range at the end of each line from the first on, as far as known;
    // a change to the text drops the lines from the changed one on.
    std::vector<uint8_t> ranges_;
    RangeSource rangeSource_;
};
