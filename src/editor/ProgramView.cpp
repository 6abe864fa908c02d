#include "editor/ProgramView.h"

#include "core/Encoding.h"
#include "core/ProgramText.h"
#include "core/Tokenizer.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexer.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>

#include <algorithm>
#include <array>
#include <string>

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);
constexpr int kTextMargin = 0;
constexpr int kGutterRightPad = 4;
constexpr int kMarginCount = 5;
// The largest point size a font dialog offers is far below this; it guards the
// style machinery against a hand-edited settings file.
constexpr int kMaxPointSize = 400;

constexpr int keyCode(QKeyCombination k) { return k.toCombined(); }

// The container indicator that marks the matches of a search.
constexpr int kMatchIndicator = 8;
constexpr int kMatchColour = 0x00B0FF; // orange, as 0xBBGGRR

// Shown (UTF-8) bytes of each Windows-1252 byte.
size_t shownLength1252(unsigned char b)
{
    static const std::array<unsigned char, 256> lengths = [] {
        std::array<unsigned char, 256> out {};
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = static_cast<unsigned char>(torvel::windows1252ToUtf8(std::string(1, static_cast<char>(i))).size());
        return out;
    }();
    return lengths[b];
}

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
    if (className == QLatin1String("ProgramView") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::EditableText);
    return nullptr;
}

// Columns as the control counts them in UTF-8 text: a tab to the next stop,
// a character as one, its continuation bytes as none.
long long columnAfter(long long column, char byte)
{
    const auto c = static_cast<unsigned char>(byte);
    if (c == '\t')
        return (column / ProgramView::kTabWidth + 1) * ProgramView::kTabWidth;
    return (c & 0xC0) == 0x80 ? column : column + 1;
}

// The byte offset where `column` starts, or the line's end.
long long offsetAtColumn(const std::string& line, long long column)
{
    size_t offset = 0;
    for (long long col = 0; offset < line.size() && col < column; ++offset)
        col = columnAfter(col, line[offset]);
    while (offset < line.size() && (static_cast<unsigned char>(line[offset]) & 0xC0) == 0x80)
        ++offset;
    return static_cast<long long>(offset);
}

// Over a long program most changes of the bar's value or range leave the thumb
// on the same pixels, and painting the tall bar costs about as much as painting
// the text; it is painted again only when it would look different.
class RowBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    void sliderChange(SliderChange change) override
    {
        if (change != SliderOrientationChange && look() == painted_)
            return;
        QScrollBar::sliderChange(change);
    }

    void paintEvent(QPaintEvent* event) override
    {
        painted_ = look();
        QScrollBar::paintEvent(event);
    }

private:
    struct Look {
        QRect thumb;
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const Look&) const = default;
    };

    Look look() const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
            value() == minimum(), value() == maximum()};
    }

    std::optional<Look> painted_;
};

} // namespace

ProgramView::ProgramView(QWidget* parent)
    : QsciScintilla(parent)
{
    static const bool accessibleInstalled = (QAccessible::installFactory(viewAccessible), true);
    (void)accessibleInstalled;
    setObjectName(QStringLiteral("SynEditor"));
    setAccessibleName(QStringLiteral("Programa"));
    rows_ = new RowBar(Qt::Vertical, this);
    rows_->setObjectName(QStringLiteral("RowScrollBar"));
    rows_->setAccessibleName(QStringLiteral("Linhas do programa"));
    rows_->setFocusPolicy(Qt::NoFocus);
    rows_->setRange(0, 0);
    connect(rows_, &QScrollBar::valueChanged, this, [this](int value) {
        if (!syncing_)
            scrollToRow(static_cast<long long>(value) + 1);
    });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { screenMoved(); });
    // A file dropped on the view is for the window to open, not text to insert.
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    placeScrollBar();
    font_ = installedFace(QStringLiteral("Courier New"), 10);
    gutterFont_ = installedFace(QStringLiteral("Terminal"), 8);
    configureView();
    applyKeyBindings();
    applyFont();
}

void ProgramView::configureView()
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
    // The control's own vertical bar would measure the window only; ours
    // measures the program.
    sci(SCI_SETHSCROLLBAR, 1);
    sci(SCI_SETVSCROLLBAR, 0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // One right-aligned text margin carries the zero-filled numbers; the others stay closed.
    for (int m = 0; m < kMarginCount; ++m)
        setMarginWidth(m, 0);
    sci(SCI_SETMARGINTYPEN, kTextMargin, SC_MARGIN_RTEXT);
    sci(SCI_SETMARGINMASKN, kTextMargin, 0);
    setMarginSensitivity(kTextMargin, false);
    sci(SCI_SETMARGINLEFT, 0, 3);
    applyGutterStyle();

    sci(SCI_INDICSETSTYLE, kMatchIndicator, INDIC_ROUNDBOX);
    sci(SCI_INDICSETFORE, kMatchIndicator, kMatchColour);
    sci(SCI_INDICSETALPHA, kMatchIndicator, 110);
    sci(SCI_INDICSETOUTLINEALPHA, kMatchIndicator, 255);
    sci(SCI_INDICSETUNDER, kMatchIndicator, 1);
}

void ProgramView::applyKeyBindings()
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

    // The window's menu owns Ctrl+Z, Ctrl+X, Ctrl+C and Ctrl+V. Selecting all
    // is the view's own: it selects the program, not the window.
    for (int key : {keyCode(Qt::CTRL | Qt::Key_Z), keyCode(Qt::CTRL | Qt::Key_X), keyCode(Qt::CTRL | Qt::Key_C),
             keyCode(Qt::CTRL | Qt::Key_V), keyCode(Qt::CTRL | Qt::Key_A)})
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

void ProgramView::applyFont()
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

void ProgramView::applyGutterStyle()
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

void ProgramView::setFontFace(const QString& face)
{
    if (face.isEmpty())
        return;
    const int size = font_.pointSize();
    font_ = QFont(face, size);
    applyFont();
}

void ProgramView::setFontSize(int points)
{
    font_.setPointSize(points > 0 && points <= kMaxPointSize ? points : defaultPointSize());
    applyFont();
}

void ProgramView::setHighlighter(QsciLexer* lex)
{
    setLexer(lex);
    if (lex) {
        lex->setDefaultPaper(Qt::white);
        lex->setPaper(Qt::white, -1);
    }
    applyFont();
    setEdgeColor(kSilver);
}

QString ProgramView::gutterText(long long number)
{
    return QStringLiteral("%1").arg(number, kGutterDigits, 10, QLatin1Char('0'));
}

int ProgramView::gutterWidth() const { return static_cast<int>(sci(SCI_GETMARGINWIDTHN, kTextMargin)); }

QString ProgramView::gutterTextAt(long long row) const
{
    const long long first = firstVisibleRow();
    const long long rows = sci(SCI_LINESONSCREEN);
    if (row < 1 || row > lineCount() || row < first || row > first + rows)
        return QString();
    return gutterText(row);
}

void ProgramView::paintEvent(QPaintEvent* event)
{
    QsciScintilla::paintEvent(event);
    if (guessedBase_ >= 0)
        scheduleRangeCheck();
    // The control fills the margin silver; the numbers are drawn here, for the
    // rows on screen only, so a long program costs the gutter nothing.
    const long long count = windowLines();
    if (lineCount() == 0)
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
        painter.drawText(row, Qt::AlignRight | Qt::AlignVCenter, gutterText(base_ + line + 1));
    }
}

void ProgramView::resizeEvent(QResizeEvent* event)
{
    QsciScintilla::resizeEvent(event);
    placeScrollBar();
    syncScrollBar();
}

void ProgramView::placeScrollBar()
{
    const int width = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, rows_);
    if (viewportMargins().right() != width)
        setViewportMargins(0, 0, width, 0);
    const QRect area = viewport()->geometry();
    rows_->setGeometry(area.right() + 1, area.top(), width, area.height());
}

long long ProgramView::programLines() const { return program_ ? static_cast<long long>(program_->count()) : 0; }

long long ProgramView::windowLines() const { return sci(SCI_GETLINECOUNT); }

long ProgramView::linesOnScreen() const { return std::max(1L, sci(SCI_LINESONSCREEN)); }

void ProgramView::appendShownRow(std::string& out, long long row) const
{
    const std::string_view line = program_ ? program_->line(row) : std::string_view();
    if (!utf8_ && hasHighBytes(line))
        out += torvel::windows1252ToUtf8(line);
    else
        out.append(line);
}

std::string ProgramView::shownRow(long long row) const
{
    std::string line;
    appendShownRow(line, row);
    return line;
}

long long ProgramView::centredBase(long long row) const
{
    const long long n = programLines();
    return std::clamp(row - kWindowLines / 2, 0LL, std::max(0LL, n - kWindowLines));
}

void ProgramView::fillWindow(long long base)
{
    const long long n = programLines();
    base_ = std::clamp(base, 0LL, std::max(0LL, n - kWindowLines));
    const long long end = std::min(n, base_ + kWindowLines);
    std::string text;
    for (long long row = base_; row < end; ++row) {
        appendShownRow(text, row);
        if (row + 1 < end)
            text.push_back('\n');
    }
    // Showing text is no edit: nothing enters the control's own undo list.
    filling_ = true;
    sci(SCI_SETREADONLY, 0);
    sci(SCI_SETUNDOCOLLECTION, 0);
    // The control's change notice would copy the window twice and convert it for an
    // accessible this view does not use; windowFilled() tells the highlighter instead.
    const long mask = sci(SCI_GETMODEVENTMASK);
    sci(SCI_SETMODEVENTMASK, 0);
    sci(SCI_CLEARALL);
    // At position 0 the control's accessibility events cost nothing.
    sci(SCI_SETEMPTYSELECTION, 0);
    SendScintilla(SCI_ADDTEXT, static_cast<uintptr_t>(text.size()), text.data());
    sci(SCI_SETMODEVENTMASK, static_cast<unsigned long>(mask));
    sci(SCI_EMPTYUNDOBUFFER);
    sci(SCI_SETUNDOCOLLECTION, 1);
    sci(SCI_SETREADONLY, 1);
    filling_ = false;
    // The control dropped its marks with its text; they are drawn again once the screen settles.
    marksStale_ = true;
    screenMoved();
    emit windowFilled();
}

ProgramView::Place ProgramView::placeOf(long position) const
{
    const long line = sci(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
    return {base_ + line, position - sci(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line))};
}

bool ProgramView::inWindow(const Place& place) const { return place.row >= base_ && place.row < base_ + windowLines(); }

long ProgramView::positionOf(const Place& place) const
{
    if (place.row < base_)
        return 0;
    if (place.row >= base_ + windowLines())
        return sci(SCI_GETLENGTH);
    const auto line = static_cast<unsigned long>(place.row - base_);
    const long start = sci(SCI_POSITIONFROMLINE, line);
    const long end = sci(SCI_GETLINEENDPOSITION, line);
    return start + std::min<long>(static_cast<long>(place.offset), end - start);
}

ProgramView::Place ProgramView::caretPlace() const { return farCaret_ ? *farCaret_ : placeOf(sci(SCI_GETCURRENTPOS)); }

ProgramView::Place ProgramView::anchorPlace() const { return farAnchor_ ? *farAnchor_ : placeOf(sci(SCI_GETANCHOR)); }

void ProgramView::placeSelection(const Place& anchor, const Place& caret)
{
    farAnchor_.reset();
    farCaret_.reset();
    if (!inWindow(anchor))
        farAnchor_ = anchor;
    if (!inWindow(caret))
        farCaret_ = caret;
    sci(SCI_SETANCHOR, static_cast<unsigned long>(positionOf(anchor)));
    sci(SCI_SETCURRENTPOS, static_cast<unsigned long>(positionOf(caret)));
    sci(SCI_CHOOSECARETX);
}

void ProgramView::moveWindow(long long base, bool again)
{
    const long long n = programLines();
    base = std::clamp(base, 0LL, std::max(0LL, n - kWindowLines));
    if (base == base_ && !again)
        return;
    const Place anchor = anchorPlace();
    const Place caret = caretPlace();
    const long long top = firstVisibleRow() - 1;
    const long xOffset = sci(SCI_GETXOFFSET);
    fillWindow(base);
    placeSelection(anchor, caret);
    sci(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(std::max(0LL, top - base_)));
    sci(SCI_SETXOFFSET, static_cast<unsigned long>(xOffset));
}

bool ProgramView::windowHolds(long long first, long long last) const
{
    const long long n = programLines();
    const long long lines = windowLines();
    last = std::min(last, n - 1);
    if (first < base_ || last >= base_ + lines)
        return false;
    const bool nearTop = base_ > 0 && first - base_ < kWindowMargin;
    const bool nearEnd = base_ + lines < n && last - base_ >= lines - kWindowMargin;
    return !nearTop && !nearEnd;
}

void ProgramView::followScreen()
{
    followQueued_ = false;
    if (mouseDown_ || filling_)
        return;
    const long long top = firstVisibleRow() - 1;
    const long long screen = linesOnScreen();
    if (!windowHolds(top, top + screen - 1))
        moveWindow(centredBase(top + screen / 2));
    syncScrollBar();
    refreshMarks();
    emit caretMoved();
}

void ProgramView::screenMoved()
{
    // The control reports from inside its painting, where its text must not change.
    if (filling_ || followQueued_)
        return;
    followQueued_ = true;
    QTimer::singleShot(0, this, [this] { followScreen(); });
}

void ProgramView::syncScrollBar()
{
    const long long n = programLines();
    const long screen = linesOnScreen();
    syncing_ = true;
    rows_->setRange(0, static_cast<int>(std::max(0LL, n - screen)));
    rows_->setPageStep(static_cast<int>(screen));
    rows_->setSingleStep(1);
    rows_->setValue(static_cast<int>(firstVisibleRow() - 1));
    syncing_ = false;
}

void ProgramView::scrollToRow(long long row)
{
    const long long n = programLines();
    const long long top = std::clamp(row - 1, 0LL, std::max(0LL, n - 1));
    const long long screen = linesOnScreen();
    if (!windowHolds(top, top + screen - 1))
        moveWindow(centredBase(top + screen / 2));
    sci(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(top - base_));
    syncScrollBar();
}

void ProgramView::bringCaretIn()
{
    if (!farCaret_)
        return;
    moveWindow(centredBase(farCaret_->row));
    sci(SCI_SCROLLCARET);
}

void ProgramView::setProgram(const torvel::ProgramText& text, bool utf8, bool keepPosition)
{
    const long long row = caretRow();
    const long long column = caretColumn() - 1;
    const long long top = firstVisibleRow() - 1;
    const long xOffset = sci(SCI_GETXOFFSET);

    program_ = &text;
    utf8_ = utf8;
    // After a function the ranges of the text before are kept as a first answer.
    if (keepPosition)
        ranges_.textChanged();
    else
        ranges_.clear();
    guessedBase_ = -1;
    farAnchor_.reset();
    farCaret_.reset();
    const long long n = programLines();
    if (!keepPosition) {
        fillWindow(0);
        sci(SCI_GOTOPOS, 0);
        sci(SCI_SETFIRSTVISIBLELINE, 0);
        sci(SCI_SETXOFFSET, 0);
        syncScrollBar();
        return;
    }
    // The window stays where it was unless the program got shorter under it.
    const long long screen = linesOnScreen();
    long long base = base_;
    if (n > 0 && (top < base || top + screen > base + kWindowLines))
        base = centredBase(top + screen / 2);
    fillWindow(base);
    sci(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(std::max(0LL, top - base_)));
    sci(SCI_SETXOFFSET, static_cast<unsigned long>(xOffset));
    const long long r = std::clamp(row - 1, 0LL, std::max(0LL, n - 1));
    if (r >= base_ && r < base_ + windowLines()) {
        const long pos = sci(SCI_FINDCOLUMN, static_cast<unsigned long>(r - base_), static_cast<long>(column));
        sci(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(pos));
    } else {
        // A column, not a byte offset, is what stays of the caret.
        const long long offset = offsetAtColumn(shownRow(r), column);
        placeSelection({r, offset}, {r, offset});
    }
    syncScrollBar();
}

void ProgramView::clearAll()
{
    program_ = nullptr;
    ranges_.clear();
    guessedBase_ = -1;
    farAnchor_.reset();
    farCaret_.reset();
    fillWindow(0);
    syncScrollBar();
}

long long ProgramView::lineCount() const
{
    // The control always holds one line; an empty text counts as none.
    const long long n = programLines();
    if (n <= 1 && sci(SCI_GETLENGTH) == 0)
        return 0;
    return n;
}

long long ProgramView::caretRow() const { return caretPlace().row + 1; }

long long ProgramView::columnOf(const Place& place) const
{
    if (inWindow(place))
        return sci(SCI_GETCOLUMN, static_cast<unsigned long>(positionOf(place)));
    const std::string line = shownRow(place.row);
    long long column = 0;
    const auto end = std::min<size_t>(line.size(), static_cast<size_t>(place.offset));
    for (size_t i = 0; i < end; ++i)
        column = columnAfter(column, line[i]);
    return column;
}

long long ProgramView::caretColumn() const { return columnOf(caretPlace()) + 1; }

long long ProgramView::firstVisibleRow() const { return base_ + sci(SCI_GETFIRSTVISIBLELINE) + 1; }

void ProgramView::setCaretRow(long long row)
{
    const long long n = programLines();
    const long long target = std::clamp(row, 1LL, std::max(1LL, n)) - 1;
    const long long column = caretColumn() - 1;
    farAnchor_.reset();
    farCaret_.reset();
    if (!windowHolds(target, target))
        fillWindow(centredBase(target));
    const long pos = sci(SCI_FINDCOLUMN, static_cast<unsigned long>(target - base_), static_cast<long>(column));
    sci(SCI_GOTOPOS, static_cast<unsigned long>(pos));
    sci(SCI_CHOOSECARETX);
    syncScrollBar();
}

void ProgramView::selectAll(bool select)
{
    if (!select) {
        sci(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(sci(SCI_GETCURRENTPOS)));
        farAnchor_.reset();
        farCaret_.reset();
        return;
    }
    const long long n = programLines();
    if (n == 0)
        return;
    placeSelection({0, 0}, {n - 1, static_cast<long long>(shownRow(n - 1).size())});
}

std::pair<long long, long long> ProgramView::selectedRows() const
{
    Place from = anchorPlace();
    Place to = caretPlace();
    if (to.row < from.row || (to.row == from.row && to.offset < from.offset))
        std::swap(from, to);
    if (from.row == to.row && from.offset == to.offset)
        return {0, -1};
    if (to.offset == 0 && to.row > from.row)
        --to.row;
    return {from.row + 1, to.row + 1};
}

QString ProgramView::selectedProgramText() const
{
    if (!farAnchor_ && !farCaret_)
        return selectedText();
    Place from = anchorPlace();
    Place to = caretPlace();
    if (to.row < from.row || (to.row == from.row && to.offset < from.offset))
        std::swap(from, to);
    std::string text;
    for (long long row = from.row; row <= to.row; ++row) {
        const std::string line = shownRow(row);
        const auto begin = row == from.row ? std::min<size_t>(line.size(), static_cast<size_t>(from.offset)) : 0;
        const auto end = row == to.row ? std::min<size_t>(line.size(), static_cast<size_t>(to.offset)) : line.size();
        if (end > begin)
            text.append(line, begin, end - begin);
        if (row < to.row)
            text.push_back('\n');
    }
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void ProgramView::copy()
{
    if (!farAnchor_ && !farCaret_) {
        QsciScintilla::copy();
        return;
    }
    const QString text = selectedProgramText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

QMenu* ProgramView::createContextMenu()
{
    auto* menu = new QMenu(this);
    QAction* copyItem = menu->addAction(QStringLiteral("&Copiar"), this, &ProgramView::copy);
    const Place anchor = anchorPlace();
    const Place caret = caretPlace();
    copyItem->setEnabled(anchor.row != caret.row || anchor.offset != caret.offset);
    menu->addSeparator();
    QAction* allItem = menu->addAction(QStringLiteral("Selecionar tudo"), this, [this] { selectAll(); });
    allItem->setEnabled(programLines() > 0);
    return menu;
}

void ProgramView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void ProgramView::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool modifierOnly = key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt
        || key == Qt::Key_Meta || key == Qt::Key_AltGr;
    if (modifierOnly) {
        QsciScintilla::keyPressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (key == Qt::Key_A && mods == Qt::ControlModifier) {
        selectAll(true);
        event->accept();
        return;
    }
    const QsciCommand* command = standardCommands()->boundTo(event->keyCombination().toCombined());
    // Copying goes through the view, which knows the whole selection.
    if (command && command->command() == QsciCommand::SelectionCopy) {
        copySelection();
        event->accept();
        return;
    }
    // Unindenting is editing, which does nothing here (the control would still move the
    // caret); Shift+Tab leaves the view backwards, as Tab leaves it forwards.
    if (command && command->command() == QsciCommand::Backtab) {
        if (key == Qt::Key_Backtab)
            focusNextPrevChild(false);
        event->accept();
        return;
    }
    bringCaretIn();
    // The program's own start and end, not the window's.
    if (mods.testFlag(Qt::ControlModifier) && (key == Qt::Key_Home || key == Qt::Key_End))
        moveWindow(key == Qt::Key_Home ? 0 : programLines());
    QsciScintilla::keyPressEvent(event);
    // Whatever the key did, the control's caret is the caret now.
    farCaret_.reset();
    // A key that left no selection dropped the far end as well.
    if (farAnchor_ && sci(SCI_GETSELECTIONEMPTY))
        farAnchor_.reset();
    syncScrollBar();
}

void ProgramView::mousePressEvent(QMouseEvent* event)
{
    mouseDown_ = true;
    // A click places the caret on screen; Shift keeps the selection's far end.
    farCaret_.reset();
    if (!event->modifiers().testFlag(Qt::ShiftModifier))
        farAnchor_.reset();
    QsciScintilla::mousePressEvent(event);
}

void ProgramView::mouseReleaseEvent(QMouseEvent* event)
{
    QsciScintilla::mouseReleaseEvent(event);
    // A drag may have carried the screen towards the window's edge.
    mouseDown_ = false;
    screenMoved();
}

int ProgramView::rangeBeforeWindow()
{
    if (base_ == 0 || !program_)
        return torvel::RangeState::None;
    const auto need = static_cast<size_t>(base_);
    if (ranges_.unmeasured(need) <= kLinesMeasuredAtOnce)
        return ranges_.rangeBefore(program_->lines(), need);
    // Measuring a long stretch of the program would cost more than showing
    // the screen. A first answer now: the range before the last function, or
    // none, which is nearly always right; the screen is corrected if the
    // measure, taken once it has been painted, says otherwise.
    guessedBase_ = base_;
    guessedRange_ = ranges_.guessBefore(need);
    return guessedRange_;
}

void ProgramView::scheduleRangeCheck()
{
    if (rangeCheckPending_)
        return;
    rangeCheckPending_ = true;
    QTimer::singleShot(0, this, [this] { checkGuessedRange(); });
}

void ProgramView::checkGuessedRange()
{
    rangeCheckPending_ = false;
    // A window styled since the guess asked again, and was answered or guessed anew.
    if (guessedBase_ != base_ || base_ == 0 || !program_) {
        guessedBase_ = -1;
        return;
    }
    // A stretch per turn of the event loop: measuring a whole long program at once
    // would hold the window.
    const auto need = static_cast<size_t>(base_);
    if (!ranges_.measureTowards(program_->lines(), need, kLinesMeasuredAtOnce)) {
        scheduleRangeCheck();
        return;
    }
    guessedBase_ = -1;
    if (ranges_.rangeBefore(program_->lines(), need) != guessedRange_)
        moveWindow(base_, true);
}

// ---------------------------------------------------------------- search and go to

long long ProgramView::shownOffset(long long row, size_t programOffset) const
{
    const std::string_view line = program_ ? program_->line(row) : std::string_view();
    const size_t end = std::min(programOffset, line.size());
    if (utf8_)
        return static_cast<long long>(end);
    long long shown = 0;
    for (size_t i = 0; i < end; ++i)
        shown += static_cast<long long>(shownLength1252(static_cast<unsigned char>(line[i])));
    return shown;
}

size_t ProgramView::programOffset(long long row, long long shownOffset) const
{
    const std::string_view line = program_ ? program_->line(row) : std::string_view();
    if (utf8_)
        return std::min(line.size(), static_cast<size_t>(std::max(0LL, shownOffset)));
    size_t i = 0;
    for (long long shown = 0; i < line.size() && shown < shownOffset; ++i)
        shown += static_cast<long long>(shownLength1252(static_cast<unsigned char>(line[i])));
    return i;
}

std::pair<torvel::TextPosition, torvel::TextPosition> ProgramView::programSelection() const
{
    Place a = anchorPlace(), c = caretPlace();
    if (c.row < a.row || (c.row == a.row && c.offset < a.offset))
        std::swap(a, c);
    return {{a.row, programOffset(a.row, a.offset)}, {c.row, programOffset(c.row, c.offset)}};
}

void ProgramView::selectProgramBytes(torvel::TextPosition at, size_t length)
{
    if (at.line < 0 || at.line >= programLines())
        return;
    const long long screen = linesOnScreen();
    const long long top = firstVisibleRow() - 1;
    if (at.line < top || at.line >= top + screen)
        scrollToRow(at.line - screen / 2 + 1);
    const Place anchor {at.line, shownOffset(at.line, at.column)};
    const Place caret {at.line, shownOffset(at.line, at.column + length)};
    placeSelection(anchor, caret);
    // Across, too: a match far to the right of a long line is scrolled to.
    sci(SCI_SCROLLRANGE, static_cast<unsigned long>(positionOf(anchor)), positionOf(caret));
    syncScrollBar();
}

void ProgramView::goToRow(long long row)
{
    const long long n = programLines();
    if (n == 0)
        return;
    row = std::clamp(row, 0LL, n - 1);
    scrollToRow(row - linesOnScreen() / 2 + 1);
    placeSelection({row, 0}, {row, 0});
    sci(SCI_SETXOFFSET, 0);
    syncScrollBar();
}

void ProgramView::setMarks(MarkSource source, size_t length)
{
    markSource_ = std::move(source);
    markLength_ = length;
    marksStale_ = true;
    refreshMarks();
}

void ProgramView::refreshMarks()
{
    const long long first = std::max(base_, firstVisibleRow() - 1);
    const long long last = std::min(base_ + windowLines() - 1, firstVisibleRow() - 1 + linesOnScreen());
    if (!marksStale_ && first == markedFirst_ && last == markedLast_)
        return;
    marksStale_ = false;
    markedFirst_ = first;
    markedLast_ = last;
    sci(SCI_SETINDICATORCURRENT, kMatchIndicator);
    sci(SCI_INDICATORCLEARRANGE, 0, sci(SCI_GETLENGTH));
    if (!markSource_ || !program_ || markLength_ == 0)
        return;
    // Only the rows on screen are searched and marked, so a long program costs nothing more.
    for (const torvel::TextPosition& m : markSource_(first, last)) {
        const long from = positionOf({m.line, shownOffset(m.line, m.column)});
        const long to = positionOf({m.line, shownOffset(m.line, m.column + markLength_)});
        sci(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(from), to - from);
    }
}

int ProgramView::marksShown() const
{
    int count = 0;
    const long length = sci(SCI_GETLENGTH);
    long pos = 0;
    while (pos < length) {
        const long end = sci(SCI_INDICATOREND, kMatchIndicator, pos);
        if (sci(SCI_INDICATORVALUEAT, kMatchIndicator, pos))
            ++count;
        if (end <= pos)
            break;
        pos = end;
    }
    return count;
}
