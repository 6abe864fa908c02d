#include "highlight/SynHighlighterSample.h"

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

TSynSampleSyn::TSynSampleSyn(const torvel::ColourValues& colours, QObject* parent)
    : TSynSampleSyn(colours, builtInFont(), parent)
{ }

TSynSampleSyn::TSynSampleSyn(const torvel::ColourValues& colours, const QFont& editorFont, QObject* parent)
    : QsciLexerCustom(parent)
    , attributes_(torvel::makeAttributes(colours))
{
    setDefaultFont(editorFont);
    setDefaultColor(QGuiApplication::palette().color(QPalette::WindowText));
    setDefaultPaper(Qt::white);
}

const char* TSynSampleSyn::language() const { return torvel::kHighlighterLanguageName.data(); }

QString TSynSampleSyn::description(int style) const
{
    if (style < 0 || style >= torvel::kAttributeCount)
        return QString();
    return QString::fromLatin1(attributes_[static_cast<size_t>(style)].name);
}

int TSynSampleSyn::styleForKind(int kind)
{
    const int i = torvel::attributeIndexForKind(kind);
    return i < 0 ? AttributeIndex::Identifier : i;
}

QColor TSynSampleSyn::defaultColor(int style) const
{
    if (style >= 0 && style < torvel::kAttributeCount) {
        if (const auto fg = attributes_[static_cast<size_t>(style)].foreground)
            return colourFromValue(*fg);
    }
    return QsciLexer::defaultColor();
}

QColor TSynSampleSyn::defaultPaper(int style) const
{
    if (style >= 0 && style < torvel::kAttributeCount) {
        if (const auto bg = attributes_[static_cast<size_t>(style)].background)
            return colourFromValue(*bg);
    }
    return QsciLexer::defaultPaper();
}

QFont TSynSampleSyn::defaultFont(int style) const { return styledFont(QsciLexer::defaultFont(), style); }

QFont TSynSampleSyn::styledFont(const QFont& base, int style) const
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

void TSynSampleSyn::setColor(const QColor& c, int style)
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

void TSynSampleSyn::setPaper(const QColor& c, int style)
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

void TSynSampleSyn::setEditorFont(const QFont& font)
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
        a[static_cast<size_t>(k)] = static_cast<char>(TSynSampleSyn::styleForKind(k));
    return a;
}();

// Styles are handed to the view in batches of about this many bytes, so a
// request for the whole file never needs a style buffer the size of the file.
constexpr size_t kStyleBatch = size_t {1} << 20;

} // namespace

// Styles whole lines from the one holding `start` through the one holding
// `end`; the view asks only for what it is about to show. The range at the end
// of every line is kept as the editor's line state, so a request can begin at
// any line.
void TSynSampleSyn::styleText(int start, int end)
{
    QsciScintilla* ed = editor();
    if (!ed || end <= start)
        return;
    using Sci = QsciScintillaBase;
    const long length = ed->SendScintilla(Sci::SCI_GETLENGTH);
    const long lineCount = ed->SendScintilla(Sci::SCI_GETLINECOUNT);
    const long firstLine = ed->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start));
    const long lastLine = ed->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end - 1));
    const long from = ed->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(firstLine));
    const long to = lastLine + 1 < lineCount
        ? ed->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(lastLine + 1))
        : length;
    if (to <= from)
        return;

    // Styling moves neither the text nor its gap, so the pointer stays valid throughout.
    const auto size = static_cast<size_t>(to - from);
    const auto* text = reinterpret_cast<const char*>(
        ed->SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), static_cast<long>(size)));
    if (!text)
        return;

    int range = firstLine > 0
        ? static_cast<int>(ed->SendScintilla(Sci::SCI_GETLINESTATE, static_cast<unsigned long>(firstLine - 1)))
        : torvel::RangeState::None;
    // Lines from this one on have never held a state, so they read as None
    // and need no call to keep that value.
    long statesHeld = ed->SendScintilla(Sci::SCI_GETMAXLINESTATE);

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
        if (range != torvel::RangeState::None || line < statesHeld) {
            ed->SendScintilla(Sci::SCI_SETLINESTATE, static_cast<unsigned long>(line), static_cast<long>(range));
            statesHeld = std::max(statesHeld, line + 1);
        }
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

TSynSampleSyn* TSynSampleSyn::attachNew(QsciScintilla* editor, const torvel::ColourValues& colours, const QFont& font)
{
    QsciLexer* previous = editor->lexer();
    auto* lexer = new TSynSampleSyn(colours, font, editor);
    editor->setLexer(lexer);
    if (previous && previous->parent() == editor && qobject_cast<TSynSampleSyn*>(previous))
        delete previous;
    return lexer;
}
