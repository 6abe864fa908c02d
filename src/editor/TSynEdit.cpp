#include "editor/TSynEdit.h"

#include "core/Encoding.h"
#include "core/ProgramText.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexer.h>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <string>

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);
constexpr int kTextMargin = 0;
constexpr int kGutterRightPad = 4;
constexpr int kMarginCount = 5;
// The largest point size a font dialog offers is far below this; it guards the
// style machinery against a hand-edited settings file.
constexpr int kMaxPointSize = 400;
// Text is handed to the control in slices so that no second copy of a large
// program is ever held.
constexpr size_t kSliceBytes = 1 << 20;

constexpr int keyCode(QKeyCombination k) { return k.toCombined(); }

bool hasHighBytes(std::string_view s)
{
    return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) > 127; });
}

int defaultPointSize()
{
    const int size = QFontDatabase::systemFont(QFontDatabase::FixedFont).pointSize();
    return size > 0 ? size : 10;
}

// A face that is not installed gives way to the system's fixed-width face at the same size.
QFont installedFace(const QString& family, int points)
{
    QFont font(family, points);
    if (QFontDatabase::hasFamily(family))
        return font;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(points);
    return fixed;
}

// QScintilla's accessible counts every character in front of the caret on
// each caret move, which on a program of a million lines makes the arrow keys
// lag. The view offers a plain accessible instead: its name and role, no text
// interface. Factories installed later are asked first.
QAccessibleInterface* viewAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("TSynEdit") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::EditableText);
    return nullptr;
}

} // namespace

TSynEdit::TSynEdit(QWidget* parent)
    : QsciScintilla(parent)
{
    static const bool accessibleInstalled = (QAccessible::installFactory(viewAccessible), true);
    (void)accessibleInstalled;
    setObjectName(QStringLiteral("SynEditor"));
    font_ = installedFace(QStringLiteral("Courier New"), 10);
    gutterFont_ = installedFace(QStringLiteral("Terminal"), 8);
    configureView();
    applyKeyBindings();
    applyFont();
}

void TSynEdit::configureView()
{
    setUtf8(true);
    setReadOnly(true);
    setEolMode(EolUnix);
    setWrapMode(WrapNone);
    setAutoIndent(false);
    setFolding(NoFoldStyle);
    setBraceMatching(NoBraceMatch);
    setCaretLineVisible(false);
    setTabWidth(kTabWidth);
    setIndentationsUseTabs(true);
    setPaper(Qt::white);
    setColor(palette().color(QPalette::WindowText));
    setEdgeMode(EdgeLine);
    setEdgeColumn(kRightEdgeColumn);
    setEdgeColor(kSilver);
    sci(SCI_SETHSCROLLBAR, 1);
    sci(SCI_SETVSCROLLBAR, 1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // One right-aligned text margin carries the zero-filled numbers; the others stay closed.
    for (int m = 0; m < kMarginCount; ++m)
        setMarginWidth(m, 0);
    sci(SCI_SETMARGINTYPEN, kTextMargin, SC_MARGIN_RTEXT);
    sci(SCI_SETMARGINMASKN, kTextMargin, 0);
    setMarginSensitivity(kTextMargin, false);
    sci(SCI_SETMARGINLEFT, 0, 3);
    applyGutterStyle();
}

void TSynEdit::applyKeyBindings()
{
    QsciCommandSet* set = standardCommands();
    auto command = [set](QsciCommand::Command c) { return set->find(c); };
    // A key may drive one command only, so it is taken from every command first.
    auto unbind = [set](int key) {
        for (QsciCommand* c : set->commands()) {
            if (c->key() == key)
                c->setKey(0);
            if (c->alternateKey() == key)
                c->setAlternateKey(0);
        }
    };
    auto bind = [&](QsciCommand::Command c, int key) {
        unbind(key);
        QsciCommand* cmd = command(c);
        if (!cmd)
            return;
        if (cmd->key() == 0)
            cmd->setKey(key);
        else
            cmd->setAlternateKey(key);
    };

    const int shiftDel = keyCode(Qt::SHIFT | Qt::Key_Delete);
    const int shiftIns = keyCode(Qt::SHIFT | Qt::Key_Insert);
    const int del = Qt::Key_Delete;
    const int ctrlN = keyCode(Qt::CTRL | Qt::Key_N);
    const int ctrlT = keyCode(Qt::CTRL | Qt::Key_T);
    const int ctrlM = keyCode(Qt::CTRL | Qt::Key_M);
    const int ctrlShiftI = keyCode(Qt::CTRL | Qt::SHIFT | Qt::Key_I);
    const int ctrlShiftU = keyCode(Qt::CTRL | Qt::SHIFT | Qt::Key_U);

    // The window's menu owns Ctrl+Z, Ctrl+X, Ctrl+C and Ctrl+V.
    for (int key : {keyCode(Qt::CTRL | Qt::Key_Z), keyCode(Qt::CTRL | Qt::Key_X), keyCode(Qt::CTRL | Qt::Key_C),
             keyCode(Qt::CTRL | Qt::Key_V)})
        unbind(key);
    // Cut, paste and delete trade places.
    for (int key : {shiftDel, shiftIns, del, ctrlN, ctrlT, ctrlM, ctrlShiftI, ctrlShiftU})
        unbind(key);
    bind(QsciCommand::Paste, shiftDel);
    bind(QsciCommand::Paste, ctrlN);
    bind(QsciCommand::Delete, shiftIns);
    bind(QsciCommand::SelectionCut, del);
    bind(QsciCommand::SelectionCut, ctrlT);
    bind(QsciCommand::Backtab, ctrlM);
    bind(QsciCommand::DeleteWordRight, ctrlShiftU);
    // Block indent (Ctrl+V) and line break (Ctrl+X) would sit on keys the menu
    // takes; inserting an empty line (Ctrl+Shift+I) and context help have no
    // command in this control. The keys stay free.
}

void TSynEdit::applyFont()
{
    if (QsciLexer* lex = lexer()) {
        lex->setDefaultFont(font_);
        for (int style = 0; style <= 255; ++style) {
            if (lex->description(style).isEmpty())
                continue;
            QFont f = lex->font(style);
            f.setFamily(font_.family());
            f.setPointSize(font_.pointSize());
            lex->setFont(f, style);
        }
    } else {
        setFont(font_);
    }
    applyGutterStyle();
}

void TSynEdit::applyGutterStyle()
{
    setMarginsFont(gutterFont_);
    setMarginsBackgroundColor(kSilver);
    setMarginsForegroundColor(Qt::black);
    // Four digits wide, with the blank on the left that takes the longer numbers
    // of a long program (up to seven digits) without widening.
    const QFontMetrics metrics(gutterFont_);
    const int digits = metrics.horizontalAdvance(QStringLiteral("0000000"));
    sci(SCI_SETMARGINWIDTHN, kTextMargin, digits + kGutterRightPad + 2);
}

void TSynEdit::setFontFace(const QString& face)
{
    if (face.isEmpty())
        return;
    const int size = font_.pointSize();
    font_ = QFont(face, size);
    applyFont();
}

void TSynEdit::setFontSize(int points)
{
    font_.setPointSize(points > 0 && points <= kMaxPointSize ? points : defaultPointSize());
    applyFont();
}

void TSynEdit::setHighlighter(QsciLexer* lex)
{
    setLexer(lex);
    if (lex) {
        lex->setDefaultPaper(Qt::white);
        lex->setPaper(Qt::white, -1);
    }
    applyFont();
    setEdgeColor(kSilver);
}

QString TSynEdit::gutterText(long long number)
{
    return QStringLiteral("%1").arg(number, kGutterDigits, 10, QLatin1Char('0'));
}

int TSynEdit::gutterWidth() const { return static_cast<int>(sci(SCI_GETMARGINWIDTHN, kTextMargin)); }

QString TSynEdit::gutterTextAt(long long row) const
{
    const long long first = firstVisibleRow();
    const long long rows = sci(SCI_LINESONSCREEN);
    if (row < 1 || row > lineCount() || row < first || row > first + rows)
        return QString();
    return gutterText(row);
}

void TSynEdit::paintEvent(QPaintEvent* event)
{
    QsciScintilla::paintEvent(event);
    // The control fills the margin silver; the numbers are drawn here, for the
    // rows on screen only, so a long program costs the gutter nothing.
    const long long count = lineCount();
    if (count == 0)
        return;
    const int width = gutterWidth();
    const int lineHeight = static_cast<int>(sci(SCI_TEXTHEIGHT, 0));
    if (lineHeight <= 0 || !event->rect().intersects(QRect(0, 0, width, viewport()->height())))
        return;
    QPainter painter(viewport());
    painter.setClipRect(QRect(0, 0, width, viewport()->height()) & event->rect());
    painter.setFont(gutterFont_);
    painter.setPen(Qt::black);
    const long long first = sci(SCI_GETFIRSTVISIBLELINE);
    const long long last = std::min(count - 1, first + viewport()->height() / lineHeight + 1);
    for (long long line = first; line <= last; ++line) {
        const QRect row(0, static_cast<int>(line - first) * lineHeight, width - kGutterRightPad, lineHeight);
        painter.drawText(row, Qt::AlignRight | Qt::AlignVCenter, gutterText(line + 1));
    }
}

void TSynEdit::insertDisplayText(const torvel::ProgramText& text, bool utf8)
{
    // The text goes in as slices of about a megabyte, last slice first, each at
    // the start of the document: QScintilla counts the characters in front of
    // every insertion for its accessibility events, which costs nothing at
    // position 0 and a scan of the whole text anywhere else.
    const auto& lines = text.lines();
    const size_t n = lines.size();
    std::string slice;
    slice.reserve(kSliceBytes + 4096);
    size_t end = n;
    while (end > 0) {
        size_t begin = end;
        size_t bytes = 0;
        while (begin > 0 && bytes < kSliceBytes)
            bytes += lines[--begin].size() + 1;
        slice.clear();
        for (size_t i = begin; i < end; ++i) {
            const std::string_view line = lines[i];
            if (!utf8 && hasHighBytes(line))
                slice += torvel::windows1252ToUtf8(line);
            else
                slice.append(line);
            if (i + 1 < n)
                slice.push_back('\n');
        }
        sci(SCI_SETEMPTYSELECTION, 0);
        SendScintilla(SCI_ADDTEXT, static_cast<uintptr_t>(slice.size()), slice.data());
        end = begin;
    }
}

void TSynEdit::setProgram(const torvel::ProgramText& text, bool utf8, bool keepPosition)
{
    const long long row = caretRow();
    const long long top = firstVisibleRow();
    const long xOffset = sci(SCI_GETXOFFSET);
    const long column = sci(SCI_GETCOLUMN, static_cast<unsigned long>(sci(SCI_GETCURRENTPOS)));

    // Loading is no edit: nothing enters the control's own undo list.
    sci(SCI_SETREADONLY, 0);
    sci(SCI_SETUNDOCOLLECTION, 0);
    removeText();
    sci(SCI_ALLOCATE, static_cast<unsigned long>(text.byteSize() + text.count() + 1));
    insertDisplayText(text, utf8);
    sci(SCI_EMPTYUNDOBUFFER);
    sci(SCI_SETUNDOCOLLECTION, 1);
    sci(SCI_SETREADONLY, 1);

    if (keepPosition) {
        sci(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(std::max(0LL, top - 1)));
        sci(SCI_SETXOFFSET, static_cast<unsigned long>(xOffset));
        const long long r = std::clamp(row, 1LL, std::max(1LL, lineCount()));
        const long pos = sci(SCI_FINDCOLUMN, static_cast<unsigned long>(r - 1), column);
        sci(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(pos));
    } else {
        sci(SCI_GOTOPOS, 0);
        sci(SCI_SETFIRSTVISIBLELINE, 0);
        sci(SCI_SETXOFFSET, 0);
    }
}

void TSynEdit::removeText()
{
    // Whole lines from the front, a slice at a time, for the same reason the
    // text goes in that way: QScintilla turns every removed piece into a
    // QString and counts the characters in front of it.
    for (long length = sci(SCI_GETLENGTH); length > 0; length = sci(SCI_GETLENGTH)) {
        const long cut = std::min<long>(length, static_cast<long>(kSliceBytes));
        const long next = sci(SCI_POSITIONFROMLINE, static_cast<unsigned long>(sci(SCI_LINEFROMPOSITION, cut) + 1));
        sci(SCI_DELETERANGE, 0, next > 0 ? next : length);
    }
}

void TSynEdit::clearAll()
{
    sci(SCI_SETREADONLY, 0);
    sci(SCI_SETUNDOCOLLECTION, 0);
    removeText();
    sci(SCI_EMPTYUNDOBUFFER);
    sci(SCI_SETUNDOCOLLECTION, 1);
    sci(SCI_SETREADONLY, 1);
}

long long TSynEdit::lineCount() const
{
    // The control always holds one line; an empty text counts as none.
    if (sci(SCI_GETLENGTH) == 0)
        return 0;
    return sci(SCI_GETLINECOUNT);
}

long long TSynEdit::caretRow() const
{
    return sci(SCI_LINEFROMPOSITION, static_cast<unsigned long>(sci(SCI_GETCURRENTPOS))) + 1;
}

long long TSynEdit::caretColumn() const
{
    return sci(SCI_GETCOLUMN, static_cast<unsigned long>(sci(SCI_GETCURRENTPOS))) + 1;
}

long long TSynEdit::firstVisibleRow() const { return sci(SCI_GETFIRSTVISIBLELINE) + 1; }

void TSynEdit::setCaretRow(long long row)
{
    const long long target = std::clamp(row, 1LL, std::max(1LL, lineCount()));
    const long column = sci(SCI_GETCOLUMN, static_cast<unsigned long>(sci(SCI_GETCURRENTPOS)));
    const long pos = sci(SCI_FINDCOLUMN, static_cast<unsigned long>(target - 1), column);
    sci(SCI_GOTOPOS, static_cast<unsigned long>(pos));
    sci(SCI_CHOOSECARETX);
}
