#include "highlight/GCodeLexer.h"

#include "core/CommentRanges.h"
#include "highlight/ColourValue.h"

#include <Qsci/qsciscintilla.h>
#include <Qsci/qsciscintillabase.h>

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <array>
#include <cstring>

using torvel::AttributeIndex;

namespace {

QFont builtInFont()
{
    QFont f(QStringLiteral("Courier New"), 10);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

} // namespace

GCodeLexer::GCodeLexer(const torvel::ColourValues& colours, QObject* parent)
    : GCodeLexer(colours, builtInFont(), parent)
{ }

GCodeLexer::GCodeLexer(const torvel::ColourValues& colours, const QFont& editorFont, QObject* parent)
    : QsciLexerCustom(parent)
    , attributes_(torvel::makeAttributes(colours))
{
    setDefaultFont(editorFont);
    setDefaultColor(QGuiApplication::palette().color(QPalette::WindowText));
    setDefaultPaper(Qt::white);
}

// No name: the highlighter is the only one the editor knows.
const char* GCodeLexer::language() const { return ""; }

QString GCodeLexer::description(int style) const
{
    if (style < 0 || style >= torvel::kAttributeCount)
        return QString();
    return QString::fromLatin1(attributes_[static_cast<size_t>(style)].name);
}

int GCodeLexer::styleForKind(int kind)
{
    const int i = torvel::attributeIndexForKind(kind);
    return i < 0 ? AttributeIndex::Identifier : i;
}

QColor GCodeLexer::defaultColor(int style) const
{
    if (style >= 0 && style < torvel::kAttributeCount) {
        if (const auto fg = attributes_[static_cast<size_t>(style)].foreground)
            return colourFromValue(*fg);
    }
    return QsciLexer::defaultColor();
}

QColor GCodeLexer::defaultPaper(int style) const
{
    if (style >= 0 && style < torvel::kAttributeCount) {
        if (const auto bg = attributes_[static_cast<size_t>(style)].background)
            return colourFromValue(*bg);
    }
    return QsciLexer::defaultPaper();
}

QFont GCodeLexer::defaultFont(int style) const { return styledFont(QsciLexer::defaultFont(), style); }

QFont GCodeLexer::styledFont(const QFont& base, int style) const
{
    QFont f = base;
    if (style >= 0 && style < torvel::kAttributeCount) {
        const torvel::TokenAttribute& a = attributes_[static_cast<size_t>(style)];
        f.setBold(a.bold);
        f.setItalic(a.italic);
        f.setUnderline(a.underline);
    }
    return f;
}

void GCodeLexer::setColor(const QColor& c, int style)
{
    if (style >= 0) {
        QsciLexerCustom::setColor(c, style);
        return;
    }
    setDefaultColor(c);
    for (int s = 0; s < torvel::kAttributeCount; ++s)
        if (!attributes_[static_cast<size_t>(s)].foreground)
            QsciLexerCustom::setColor(c, s);
}

void GCodeLexer::setPaper(const QColor& c, int style)
{
    if (style >= 0) {
        QsciLexerCustom::setPaper(c, style);
        return;
    }
    setDefaultPaper(c);
    for (int s = 0; s < torvel::kAttributeCount; ++s)
        if (!attributes_[static_cast<size_t>(s)].background)
            QsciLexerCustom::setPaper(c, s);
}

void GCodeLexer::setEditorFont(const QFont& font)
{
    setDefaultFont(font);
    for (int s = 0; s < torvel::kAttributeCount; ++s)
        setFont(styledFont(font, s), s);
}

namespace {

// Style of every token kind, looked up once per token.
const std::array<char, torvel::TokenKind::Count> kKindStyles = [] {
    std::array<char, torvel::TokenKind::Count> a {};
    for (int k = 0; k < torvel::TokenKind::Count; ++k)
        a[static_cast<size_t>(k)] = static_cast<char>(GCodeLexer::styleForKind(k));
    return a;
}();

// Styles are handed to the view in batches of about this many bytes, so a
// request for the whole file never needs a style buffer the size of the file.
constexpr size_t kStyleBatch = size_t {1} << 20;

// Lines above the screen that a request still styles; anything farther up is
// only scanned for its ranges.
constexpr long kLinesAboveScreen = 100;

} // namespace

void GCodeLexer::setEditor(QsciScintilla* editor)
{
    if (QsciScintilla* previous = this->editor())
        disconnect(previous, &QsciScintillaBase::SCN_MODIFIED, this, nullptr);
    QsciLexerCustom::setEditor(editor);
    ranges_.clear();
    if (editor)
        connect(editor, &QsciScintillaBase::SCN_MODIFIED, this, [this](int position, int type) {
            if (type & (QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT))
                forgetRangesFrom(position);
        });
}

void GCodeLexer::forgetRangesFrom(int position)
{
    const long line = editor()->SendScintilla(
        QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(std::max(position, 0)));
    if (static_cast<size_t>(line) < ranges_.size())
        ranges_.resize(static_cast<size_t>(line));
}

long GCodeLexer::lineStart(long line) const
{
    using Sci = QsciScintillaBase;
    QsciScintilla* ed = editor();
    if (line >= ed->SendScintilla(Sci::SCI_GETLINECOUNT))
        return ed->SendScintilla(Sci::SCI_GETLENGTH);
    return ed->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
}

void GCodeLexer::knowRangesBefore(long line)
{
    const auto known = static_cast<long>(ranges_.size());
    if (known >= line)
        return;
    const long from = lineStart(known);
    const long to = lineStart(line);
    const auto* text = reinterpret_cast<const char*>(editor()->SendScintilla(
        QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), static_cast<long>(to - from)));
    const std::string_view bytes = text ? std::string_view(text, static_cast<size_t>(to - from)) : std::string_view();
    const int range = known > 0 ? ranges_.back() : rangeBeforeText();
    torvel::lineEndRanges(bytes, static_cast<size_t>(line - known), range, ranges_);
}

int GCodeLexer::rangeBeforeText() const { return rangeSource_ ? rangeSource_() : torvel::RangeState::None; }

void GCodeLexer::keepRange(long line, int range)
{
    range = torvel::carriedRange(range);
    const auto i = static_cast<size_t>(line);
    if (i == ranges_.size()) {
        ranges_.push_back(static_cast<uint8_t>(range));
    } else if (i < ranges_.size() && ranges_[i] != range) {
        // The lines after it were scanned from another range.
        ranges_.resize(i + 1);
        ranges_[i] = static_cast<uint8_t>(range);
    }
}

// Styles whole lines from the one holding `start` through the one holding
// `end`. The view asks from the first line it has not seen styled; when that
// is far above the screen (a jump to the end of a long program), the lines in
// between are only scanned for their ranges, and the view is told that styling
// still ends there, so that it asks again when it shows any of them.
void GCodeLexer::styleText(int start, int end)
{
    QsciScintilla* ed = editor();
    if (!ed || end <= start)
        return;
    using Sci = QsciScintillaBase;
    const long firstLine = ed->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start));
    const long lastLine = ed->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end - 1));
    const long screenTop = ed->SendScintilla(
        Sci::SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(ed->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE)));
    const long styleFrom = std::max(firstLine, std::min(screenTop, lastLine) - kLinesAboveScreen);
    knowRangesBefore(styleFrom);
    styleLines(styleFrom, lastLine);
    if (styleFrom > firstLine)
        ed->SendScintilla(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(lineStart(firstLine)), 0L);
}

void GCodeLexer::styleLines(long firstLine, long lastLine)
{
    QsciScintilla* ed = editor();
    using Sci = QsciScintillaBase;
    const long from = lineStart(firstLine);
    const long to = lineStart(lastLine + 1);
    if (to <= from)
        return;

    // Styling moves neither the text nor its gap, so the pointer stays valid throughout.
    const auto size = static_cast<size_t>(to - from);
    const auto* text = reinterpret_cast<const char*>(
        ed->SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), static_cast<long>(size)));
    if (!text)
        return;

    int range = firstLine > 0 ? ranges_[static_cast<size_t>(firstLine - 1)] : rangeBeforeText();
    ed->SendScintilla(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(from), 0L);
    if (styles_.size() < kStyleBatch)
        styles_.resize(kStyleBatch);
    size_t batchStart = 0; // text offset of styles_[0]
    long line = firstLine;
    size_t i = 0;
    while (i < size) {
        size_t e = i;
        while (e < size && text[e] != '\n' && text[e] != '\r')
            ++e;
        size_t next = e;
        if (next < size && text[next] == '\r')
            ++next;
        if (next < size && text[next] == '\n')
            ++next;
        if (next - batchStart > styles_.size()) {
            if (i > batchStart) {
                ed->SendScintilla(Sci::SCI_SETSTYLINGEX, static_cast<uintptr_t>(i - batchStart),
                    static_cast<const char*>(styles_.data()));
                batchStart = i;
            }
            // A single line longer than a batch gets a buffer of its own size.
            if (next - batchStart > styles_.size())
                styles_.resize(next - batchStart);
        }

        const std::string_view lineText(text + i, e - i);
        char* lineStyles = styles_.data() + (i - batchStart);
        range = tokenizer_.scanLine(lineText, range, [lineStyles](int kind, size_t b, size_t en) {
            std::memset(lineStyles + b, kKindStyles[static_cast<size_t>(kind)], en - b);
        });
        // A code 0 ends the scan; the rest of the line is plain text.
        const size_t scanned = tokenizer_.position();
        std::memset(lineStyles + scanned, AttributeIndex::Identifier, lineText.size() - scanned);
        std::memset(lineStyles + lineText.size(), AttributeIndex::Space, next - e);
        keepRange(line, range);
        ++line;
        i = next;
    }
    if (size > batchStart)
        ed->SendScintilla(
            Sci::SCI_SETSTYLINGEX, static_cast<uintptr_t>(size - batchStart), static_cast<const char*>(styles_.data()));
    // One oversized line must not keep its buffer.
    if (styles_.size() > kStyleBatch) {
        styles_.resize(kStyleBatch);
        styles_.shrink_to_fit();
    }
}
