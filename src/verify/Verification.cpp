#include "verify/Verification.h"

#include "core/Blank.h"
#include "core/CoordinateRewrite.h"
#include "core/ModalCodes.h"
#include "core/Numbers.h"
#include "toolpath/Interpreter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <limits>
#include <thread>

namespace torvel {

namespace {

constexpr std::string_view kTexts[kFindingReasonCount] = {
    "bloco incremental (G91) deslocado",
    "coordenada de máquina (G53) alterada",
    "posição predefinida (G92/G10) alterada",
    "centro do arco não espelhado",
    "sentido do arco trocado num plano que não contém um só eixo espelhado",
    "sentido do arco não trocado",
    "K não convertido",
    "palavra de ciclo convertida",
    "falta a palavra do centro do arco",
    "palavra deixada após um comentário",
    "palavra em minúscula deixada",
    "palavra com espaço após a letra deixada",
    "número escrito em notação E",
    "mudança de unidade (G20/G21) dentro do intervalo",
    "trajetória diferente da esperada",
};

constexpr double kInch = 25.4;
constexpr size_t kMaxDetail = 32;
constexpr uint32_t kNoLine = std::numeric_limits<uint32_t>::max();

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSpace(char c) { return c == ' ' || c == '\t'; }

// ---- Words as the coordinate rewrite sees them: upper case, before the first comment character.

struct Word {
    char letter;
    std::string_view number;
    bool scientific; // "6E-5": the number runs into an exponent
};

struct Words {
    static constexpr int kMax = 32;
    Word at[kMax];
    int count = 0;
};

// What each byte is to the scans below, found with one look-up. Most characters of a line
// are none of the kinds a scan stops at, so its one test for them is rarely taken.
class LetterTable {
public:
    enum Kind : uint8_t { Comment = 1, Letter = 2, LowerLetter = 4, Number = 8, End = 16 };

    explicit LetterTable(std::string_view letters)
    {
        for (int c = 0; c < 256; ++c) {
            const char ch = static_cast<char>(c);
            kinds_[c] = static_cast<uint8_t>((isCommentChar(ch) ? Comment : 0) | (isNumberChar(ch) ? Number : 0)
                | (ch == ';' || ch == '%' ? End : 0));
        }
        for (char c : letters) {
            kinds_[static_cast<unsigned char>(c)] |= Letter;
            kinds_[static_cast<unsigned char>(c - 'A' + 'a')] |= LowerLetter;
        }
    }
    uint8_t operator[](char c) const { return kinds_[static_cast<unsigned char>(c)]; }

private:
    uint8_t kinds_[256];
};

void wordsOf(std::string_view line, const LetterTable& table, Words& out)
{
    out.count = 0;
    const size_t n = line.size();
    for (size_t i = 0; i < n && out.count < Words::kMax; ++i) {
        const uint8_t kind = table[line[i]];
        if (!(kind & (LetterTable::Comment | LetterTable::Letter)))
            continue;
        if (kind & LetterTable::Comment)
            return;
        size_t j = i + 1;
        while (j < n && (table[line[j]] & LetterTable::Number))
            ++j;
        if (j == i + 1)
            continue;
        const bool scientific = j + 1 < n && line[j] == 'E'
            && (isDigit(line[j + 1])
                || ((line[j + 1] == '-' || line[j + 1] == '+') && j + 2 < n && isDigit(line[j + 2])));
        out.at[out.count++] = {line[i], line.substr(i + 1, j - i - 1), scientific};
        i = j - 1;
    }
}

std::optional<double> valueOf(std::string_view number)
{
    char buffer[64];
    if (number.size() >= sizeof buffer)
        return std::nullopt;
    size_t n = 0;
    for (char c : number) {
        if (c == '+' && n == 0)
            continue;
        buffer[n++] = c == ',' ? '.' : c;
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(buffer, buffer + n, v);
    if (ec != std::errc() || end != buffer + n)
        return std::nullopt;
    return v;
}

bool sameNumber(std::string_view a, std::string_view b)
{
    if (a == b)
        return true;
    const auto va = valueOf(a), vb = valueOf(b);
    return va && vb && *va == *vb;
}

// The first word of the letters whose value the function changed, as written after it; none when none.
std::optional<Word> changedWord(const Words& before, const Words& after, std::string_view letters)
{
    for (char letter : letters) {
        int b = 0, a = 0;
        while (true) {
            while (b < before.count && before.at[b].letter != letter)
                ++b;
            while (a < after.count && after.at[a].letter != letter)
                ++a;
            if (b >= before.count || a >= after.count) {
                if (a < after.count)
                    return after.at[a];
                break;
            }
            if (!sameNumber(before.at[b].number, after.at[a].number))
                return after.at[a];
            ++b;
            ++a;
        }
    }
    return std::nullopt;
}

std::string wordText(const Word& w)
{
    std::string s(1, w.letter);
    s.append(w.number);
    return s.substr(0, kMaxDetail);
}

// ---- Words as a control reads them: either case, blanks after the letter, comments in parentheses.

struct Leftover {
    FindingReason reason;
    std::string_view word;
};

// A word of the letters that the control reads and the rewrite passes over: the first one
// after a comment, else the first in lower case, else the first with a blank after its letter.
std::optional<Leftover> leftWord(std::string_view line, const LetterTable& table)
{
    const size_t n = line.size();
    size_t comment = n;
    std::string_view lower, blank;
    for (size_t i = 0; i < n; ++i) {
        const char c = line[i];
        const uint8_t kind = table[c];
        if (!(kind & (LetterTable::Comment | LetterTable::End | LetterTable::Letter | LetterTable::LowerLetter)))
            continue;
        if ((kind & LetterTable::Comment) && comment == n)
            comment = i;
        if (c == '(') {
            while (i < n && line[i] != ')')
                ++i;
            continue;
        }
        if (kind & LetterTable::End)
            break;
        if (!(kind & (LetterTable::Letter | LetterTable::LowerLetter)))
            continue;
        size_t j = i + 1;
        while (j < n && isSpace(line[j]))
            ++j;
        if (j < n && (line[j] == '+' || line[j] == '-'))
            ++j;
        if (!(j < n && (isDigit(line[j]) || line[j] == '.')))
            continue;
        while (j < n && (isDigit(line[j]) || line[j] == '.'))
            ++j;
        const std::string_view word = line.substr(i, std::min(j - i, kMaxDetail));
        if (i > comment)
            return Leftover {FindingReason::WordAfterComment, word};
        if (kind & LetterTable::LowerLetter) {
            if (lower.empty())
                lower = word;
        } else if (blank.empty() && isSpace(line[i + 1])) {
            blank = word;
        }
    }
    if (!lower.empty())
        return Leftover {FindingReason::LowerCaseWord, lower};
    if (!blank.empty())
        return Leftover {FindingReason::BlankAfterLetter, blank};
    return std::nullopt;
}

// ---- The modes of the range's lines.

struct LineInfo {
    CodePlane plane = CodePlane::XY;
    bool incremental = false;
    bool inch = false;
    bool arcLine = false;
    bool cycleLine = false;
    bool machine = false;
    bool preset = false;
    uint8_t absoluteAxes = 0; // bits of X Y Z named by the line in absolute distance mode
    bool found = false; // the text alone gave a finding
};

// ---- Points.

struct Tolerance {
    // Numbers are written with 15 significant digits: far below any machine's step,
    // far above the rounding of a rewritten word.
    static bool differs(double a, double b)
    {
        return std::abs(a - b) > 1e-6 + 1e-12 * std::max(std::abs(a), std::abs(b));
    }
};

Point3 minus(const Point3& a, const Point3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

bool differs(const Point3& a, const Point3& b)
{
    return Tolerance::differs(a.x, b.x) || Tolerance::differs(a.y, b.y) || Tolerance::differs(a.z, b.z);
}

class Judge {
public:
    Judge(const FunctionMeaning& meaning, bool inch)
        : meaning_(meaning)
    {
        const double unit = inch ? kInch : 1;
        for (int a = 0; a < 3; ++a)
            offset_[a]
                = meaning.kind == FunctionMeaning::Kind::Translate && meaning.axes[a] ? meaning.offset[a] * unit : 0;
    }

    // Where the function means a point to go; machine coordinates stay where they are.
    Point3 map(const Point3& p, bool machine) const
    {
        if (machine)
            return p;
        switch (meaning_.kind) {
        case FunctionMeaning::Kind::Translate:
            return {p.x + offset_[0], p.y + offset_[1], p.z + offset_[2]};
        case FunctionMeaning::Kind::Mirror:
            return {meaning_.axes[0] ? -p.x : p.x, meaning_.axes[1] ? -p.y : p.y, p.z};
        default:
            return p;
        }
    }

    // A mirror turns an arc the other way when its plane holds one mirrored axis.
    bool flips(ArcPlane plane) const
    {
        if (meaning_.kind != FunctionMeaning::Kind::Mirror)
            return false;
        const bool x = meaning_.axes[0] && plane != ArcPlane::YZ;
        const bool y = meaning_.axes[1] && plane != ArcPlane::ZX;
        return x != y;
    }

    // Whether motion i of `after` is not what motion j of `before` becomes. Each axis is
    // judged against the error it should have: `frame` (what a preset left, else 0) where
    // the line names the axis absolutely, else the error carried in from the start. An
    // error that is only carried in, or that matches the frame, is not the line's own.
    bool deviates(const Toolpath& before, size_t j, const Toolpath& after, size_t i, unsigned absoluteAxes,
        const Point3& frame) const
    {
        const MotionKind kind = before.kind(j);
        const bool machine = isMachine(kind);
        const bool arc = isArc(kind);
        const ArcGeometry b = arc ? before.arc(j) : ArcGeometry {};
        const bool flip = arc && flips(b.plane);
        const MotionKind expected = !flip ? kind : kind == MotionKind::ArcCw ? MotionKind::ArcCcw : MotionKind::ArcCw;
        if (after.kind(i) != expected)
            return true;
        const Point3 errorStart = minus(after.start(i), map(before.start(j), machine));
        const Point3 errorEnd = minus(after.end(i), map(before.end(j), machine));
        for (int a = 0; a < 3; ++a) {
            const double reference = (absoluteAxes & (1u << a)) ? frame[a] : errorStart[a];
            if (Tolerance::differs(errorEnd[a], reference) && Tolerance::differs(errorEnd[a], frame[a]))
                return true;
        }
        if (!arc)
            return false;
        const ArcGeometry a = after.arc(i);
        const Point3 errorCentre = minus(a.centre, map(b.centre, false));
        if (differs(errorCentre, errorStart) && differs(errorCentre, frame))
            return true;
        const double sweep = flip ? -b.sweep : b.sweep;
        return std::abs(a.sweep - sweep) > 1e-6 * std::max(1.0, std::abs(sweep));
    }

    Point3 error(const Toolpath& before, size_t j, const Toolpath& after, size_t i) const
    {
        return minus(after.end(i), map(before.end(j), isMachine(before.kind(j))));
    }

private:
    const FunctionMeaning& meaning_;
    double offset_[3];
};

// The letters whose words the function changes, and those it should.
std::string functionLetters(const FunctionMeaning& m)
{
    std::string s;
    switch (m.kind) {
    case FunctionMeaning::Kind::Translate:
        for (int a = 0; a < 3; ++a) {
            if (m.axes[a])
                s += static_cast<char>('X' + a);
        }
        break;
    case FunctionMeaning::Kind::Mirror:
        if (m.axes[0])
            s += "XI";
        if (m.axes[1])
            s += "YJ";
        break;
    case FunctionMeaning::Kind::ArcCentres:
        s = "IJK";
        break;
    case FunctionMeaning::Kind::Nothing:
        break;
    }
    return s;
}

class Verifier {
public:
    Verifier(std::span<const std::string_view> before, std::span<const std::string_view> after,
        const FunctionMeaning& meaning, LineSpan range)
        : before_(before)
        , after_(after)
        , meaning_(meaning)
        , range_(range)
        , letterNames_(functionLetters(meaning))
        , letters_(letterNames_)
    { }

    void readText();
    void compare(const Toolpath& before, const Toolpath& after);
    std::vector<Finding> findings();

private:
    void add(size_t line, FindingReason reason, std::string detail = {})
    {
        findings_.push_back({static_cast<uint32_t>(line), reason, std::move(detail)});
    }
    LineInfo& info(size_t line) { return info_[line - range_.first]; }
    const LineInfo& info(size_t line) const { return info_[line - range_.first]; }
    void judgeText(size_t line, std::string_view before, std::string_view after, MotionCode written);
    // `words` are scratch space, one pair for each thread that explains.
    Finding explain(size_t line, Words (&words)[2]) const;
    void explainAll(const std::vector<uint32_t>& lines);

    std::span<const std::string_view> before_, after_;
    const FunctionMeaning& meaning_;
    LineSpan range_;
    std::string letterNames_;
    LetterTable letters_;
    std::vector<LineInfo> info_;
    std::vector<std::pair<uint32_t, uint8_t>> presets_; // every preset line up to the range's end, with its axes
    uint32_t firstAxisLine_[3] = {kNoLine, kNoLine, kNoLine};
    std::vector<Finding> findings_;
    size_t textFindings_ = 0; // those of readText, ahead of the motions' ones
    ModalCodes afterCodes_;
    Words beforeWords_, afterWords_; // readText's
};

void Verifier::readText()
{
    if (range_.empty())
        return;
    info_.resize(range_.last - range_.first + 1);
    ModalCodes modes;
    for (size_t i = 0; i <= range_.last; ++i) {
        const std::string_view line = trimmed(before_[i]);
        const LineCodes& codes = modes.read(line);
        uint8_t axes = 0;
        for (int a = 0; a < 3; ++a) {
            if (codes.has(static_cast<char>('X' + a)))
                axes |= static_cast<uint8_t>(1u << a);
            if (firstAxisLine_[a] == kNoLine && codes.has(static_cast<char>('X' + a)))
                firstAxisLine_[a] = static_cast<uint32_t>(i);
        }
        if (codes.preset)
            presets_.push_back({static_cast<uint32_t>(i), axes != 0 ? axes : uint8_t(7)});
        if (i < range_.first)
            continue;
        LineInfo& l = info(i);
        l.plane = modes.plane();
        l.incremental = modes.incremental();
        l.inch = modes.inch();
        l.arcLine = modes.arcLine();
        l.cycleLine = modes.cycleLine();
        l.machine = codes.machine;
        l.preset = codes.preset;
        l.absoluteAxes = modes.incremental() ? 0 : axes;
        const std::string_view now = trimmed(after_[i]);
        if (now != line)
            judgeText(i, line, now, codes.written);
    }
    textFindings_ = findings_.size();
}

// What the text alone shows: words that must not move, moved; numbers a control refuses.
void Verifier::judgeText(size_t line, std::string_view before, std::string_view after, MotionCode was)
{
    LineInfo& l = info(line);
    using Kind = FunctionMeaning::Kind;
    const bool translates = meaning_.kind == Kind::Translate;
    // The words are read only where they can tell something: most changed lines are just
    // what the function means, and reading them would be most of the cost of a long program.
    const bool fixedMoves
        = (translates && l.incremental) || ((translates || meaning_.kind == Kind::Mirror) && (l.machine || l.preset));
    const bool cycleConverted = meaning_.kind == Kind::ArcCentres && !l.arcLine;
    const bool exponent = after.find('E') != std::string_view::npos;
    if (fixedMoves || cycleConverted || exponent) {
        wordsOf(before, letters_, beforeWords_);
        wordsOf(after, letters_, afterWords_);
    } else {
        beforeWords_.count = afterWords_.count = 0;
    }
    const auto changed
        = fixedMoves || cycleConverted ? changedWord(beforeWords_, afterWords_, letterNames_) : std::nullopt;
    const size_t count = findings_.size();
    if (changed && fixedMoves) {
        if (translates && l.incremental)
            add(line, FindingReason::IncrementalShifted, wordText(*changed));
        else if (l.machine)
            add(line, FindingReason::MachineCoordinatesChanged, wordText(*changed));
        else if (l.preset)
            add(line, FindingReason::PresetChanged, wordText(*changed));
    }
    const auto isArc = [](MotionCode m) { return m == MotionCode::ArcCw || m == MotionCode::ArcCcw; };
    if (meaning_.kind == Kind::Mirror && isArc(was)) {
        const bool x = meaning_.axes[0] && planeHolds(l.plane, 'X');
        const bool y = meaning_.axes[1] && planeHolds(l.plane, 'Y');
        // Where the plane holds one mirrored axis any exchange is right, and the codes need no reading.
        const MotionCode now = x == y ? afterCodes_.read(after).written : was;
        if (isArc(now) && was != now)
            add(line, FindingReason::ArcDirectionWrongPlane, now == MotionCode::ArcCw ? "G02" : "G03");
    }
    if (changed && cycleConverted)
        add(line, FindingReason::CycleWordConverted, wordText(*changed));
    int scientificBefore = 0;
    for (int k = 0; k < beforeWords_.count; ++k)
        scientificBefore += beforeWords_.at[k].scientific;
    for (int k = 0; k < afterWords_.count; ++k) {
        if (afterWords_.at[k].scientific && scientificBefore-- <= 0) {
            const Word& w = afterWords_.at[k];
            // The exponent belongs to the word as the control would read it.
            const char* end = w.number.data() + w.number.size() + 1;
            while (end < after.data() + after.size() && (isDigit(*end) || *end == '-' || *end == '+'))
                ++end;
            const std::string_view whole(w.number.data() - 1, static_cast<size_t>(end - (w.number.data() - 1)));
            add(line, FindingReason::ENotation, std::string(whole.substr(0, kMaxDetail)));
            break;
        }
    }
    l.found = findings_.size() != count;
}

// Why a line's motions differ, from its text and modes.
Finding Verifier::explain(size_t line, Words (&words)[2]) const
{
    const auto found = [line](FindingReason reason, std::string detail = {}) {
        return Finding {static_cast<uint32_t>(line), reason, std::move(detail)};
    };
    Words& beforeWords = words[0];
    Words& afterWords = words[1];
    const LineInfo& l = info(line);
    const std::string_view before = trimmed(before_[line]);
    if (const auto left = leftWord(before, letters_))
        return found(left->reason, std::string(left->word));
    using Kind = FunctionMeaning::Kind;
    if (meaning_.kind == Kind::Translate && l.inch != info(range_.first).inch)
        return found(FindingReason::UnitChange, l.inch ? "G20" : "G21");
    if (!l.arcLine || (meaning_.kind != Kind::Mirror && meaning_.kind != Kind::ArcCentres))
        return found(FindingReason::PathDiffers);
    static const LetterTable kCentres("IJKR");
    wordsOf(before, kCentres, beforeWords);
    wordsOf(trimmed(after_[line]), kCentres, afterWords);
    const auto has = [](const Words& list, char letter) -> const Word* {
        for (int k = 0; k < list.count; ++k) {
            if (list.at[k].letter == letter)
                return &list.at[k];
        }
        return nullptr;
    };
    if (meaning_.kind == Kind::Mirror && l.arcLine) {
        const std::pair<char, char> centres[] = {{'X', 'I'}, {'Y', 'J'}};
        for (int k = 0; k < 2; ++k) {
            const auto [axis, letter] = centres[k];
            if (!meaning_.axes[k] || !planeHolds(l.plane, axis))
                continue;
            const Word* was = has(beforeWords, letter);
            const Word* now = has(afterWords, letter);
            const auto value = was ? valueOf(was->number) : std::nullopt;
            if (was && now && value && *value != 0 && sameNumber(was->number, now->number))
                return found(FindingReason::ArcCentreNotMirrored, wordText(*now));
        }
        const bool x = meaning_.axes[0] && planeHolds(l.plane, 'X');
        const bool y = meaning_.axes[1] && planeHolds(l.plane, 'Y');
        // Only a code left as it was: an arc whose end is off its circle differs either way.
        if (x != y && ModalCodes().read(before).written == ModalCodes().read(trimmed(after_[line])).written)
            return found(FindingReason::ArcDirectionKept);
    }
    if (meaning_.kind == Kind::ArcCentres && l.arcLine) {
        if (l.plane != CodePlane::XY && has(beforeWords, 'K'))
            return found(FindingReason::KNotConverted, wordText(*has(beforeWords, 'K')));
        const char first = l.plane == CodePlane::YZ ? 'J' : 'I';
        const char second = l.plane == CodePlane::XY ? 'J' : 'K';
        const bool hasFirst = has(beforeWords, first), hasSecond = has(beforeWords, second);
        if (hasFirst != hasSecond && !has(beforeWords, 'R'))
            return found(FindingReason::CentreWordMissing, std::string(1, hasFirst ? second : first));
    }
    return found(FindingReason::PathDiffers);
}

// Explaining is most of a check's cost where a program has a finding every few lines, and
// the second core is idle by now: it takes half of them.
void Verifier::explainAll(const std::vector<uint32_t>& lines)
{
    constexpr size_t kShared = 4096;
    const size_t half = lines.size() < kShared ? lines.size() : lines.size() / 2;
    const auto explainPart = [this, &lines](size_t from, size_t to, std::vector<Finding>& out) {
        out.reserve(out.size() + (to - from));
        Words words[2];
        for (size_t k = from; k < to; ++k)
            out.push_back(explain(lines[k], words));
    };
    std::vector<Finding> secondHalf;
    std::exception_ptr failure;
    {
        std::jthread helper;
        if (half < lines.size()) {
            helper = std::jthread([&] {
                try {
                    explainPart(half, lines.size(), secondHalf);
                } catch (...) {
                    failure = std::current_exception();
                }
            });
        }
        explainPart(0, half, findings_);
    }
    if (failure)
        std::rethrow_exception(failure);
    findings_.insert(
        findings_.end(), std::make_move_iterator(secondHalf.begin()), std::make_move_iterator(secondHalf.end()));
}

void Verifier::compare(const Toolpath& before, const Toolpath& after)
{
    if (range_.empty())
        return;
    const Judge judge(meaning_, info(range_.first).inch);
    const auto first = static_cast<uint32_t>(range_.first), last = static_cast<uint32_t>(range_.last);
    const MotionRange b = before.motionsOfLines(first, last), a = after.motionsOfLines(first, last);
    int64_t previous = b.begin > 0 ? static_cast<int64_t>(before.line(b.begin - 1)) : -1;
    Point3 frame;
    size_t bi = b.begin, ai = a.begin;
    auto preset = presets_.begin();
    std::vector<uint32_t> unexplained;
    while (bi < b.end || ai < a.end) {
        const uint32_t line = std::min(bi < b.end ? before.line(bi) : kNoLine, ai < a.end ? after.line(ai) : kNoLine);
        size_t bk = bi, ak = ai;
        while (bk < b.end && before.line(bk) == line)
            ++bk;
        while (ak < a.end && after.line(ak) == line)
            ++ak;
        bool deviates = bk - bi != ak - ai;
        // A preset since the last motion: the axes it names take the frame the line finds.
        unsigned anchored = 0;
        while (preset != presets_.end() && static_cast<int64_t>(preset->first) <= previous)
            ++preset;
        for (auto p = preset; p != presets_.end() && p->first <= line; ++p)
            anchored |= p->second;
        unsigned absolute = info(line).absoluteAxes;
        for (int axis = 0; axis < 3; ++axis)
            absolute |= firstAxisLine_[axis] == line ? 1u << axis : 0u;
        if (anchored && !deviates && bk > bi) {
            const Point3 e = judge.error(before, bi, after, ai);
            for (int axis = 0; axis < 3; ++axis) {
                if (anchored & (1u << axis))
                    frame[axis] = e[axis];
            }
        }
        for (size_t k = 0; !deviates && bi + k < bk; ++k)
            deviates = judge.deviates(before, bi + k, after, ai + k, absolute, frame);
        if (deviates && !info(line).found)
            unexplained.push_back(line);
        previous = line;
        bi = bk;
        ai = ak;
    }
    explainAll(unexplained);
}

std::vector<Finding> Verifier::findings()
{
    // The text's findings come in line order, and so do the motions' unless a subprogram
    // runs lines again: then merging the two is all a stable sort would do.
    const auto byLine = [](const Finding& x, const Finding& y) { return x.line < y.line; };
    const auto motions = findings_.begin() + static_cast<std::ptrdiff_t>(textFindings_);
    if (std::is_sorted(motions, findings_.end(), byLine))
        std::inplace_merge(findings_.begin(), motions, findings_.end(), byLine);
    else
        std::stable_sort(findings_.begin(), findings_.end(), byLine);
    return std::move(findings_);
}

} // namespace

std::string_view findingText(FindingReason reason) { return kTexts[static_cast<int>(reason)]; }

std::string Finding::text() const
{
    std::string s(findingText(reason));
    if (!detail.empty())
        s += ": " + detail;
    return s;
}

FunctionMeaning meaningOf(const TranslateOptions& o)
{
    FunctionMeaning m;
    m.kind = FunctionMeaning::Kind::Translate;
    const bool ticked[3] = {o.x, o.y, o.z};
    const std::string* values[3] = {&o.xValue, &o.yValue, &o.zValue};
    for (int a = 0; a < 3; ++a) {
        if (!ticked[a])
            continue;
        // A value that is no number stops the run at its first word; with no word it moves nothing.
        try {
            m.offset[a] = static_cast<double>(readLocaleNumber(trimmed(*values[a]), o.decimalSeparator));
            m.axes[a] = true;
        } catch (const std::exception&) { }
    }
    return m;
}

FunctionMeaning meaningOf(const MirrorOptions& o)
{
    FunctionMeaning m;
    m.kind = FunctionMeaning::Kind::Mirror;
    m.axes[0] = o.x;
    m.axes[1] = o.y;
    return m;
}

FunctionMeaning meaningOf(const ArcsOptions& o)
{
    FunctionMeaning m;
    m.kind = o.direction == ArcsOptions::Direction::None ? FunctionMeaning::Kind::Nothing
                                                         : FunctionMeaning::Kind::ArcCentres;
    m.toAbsolute = o.direction == ArcsOptions::Direction::Absolute;
    return m;
}

FunctionMeaning meaningOf(const FunctionCall& call, const CallReading& reading)
{
    if (call.function == "translate")
        return meaningOf(translateOptions(call, reading));
    if (call.function == "mirror")
        return meaningOf(mirrorOptions(call, reading));
    if (call.function == "arcs")
        return meaningOf(arcsOptions(call, reading));
    return {};
}

LineSpan rangeLines(const Range& range, size_t lineCount)
{
    if (lineCount == 0)
        return {};
    const long long count = static_cast<long long>(lineCount);
    const long long first = range.wholeFile ? 0 : range.first - 1;
    const long long last = range.wholeFile ? count - 1 : std::min(count - 1, range.last - 1);
    if (first < 0 || first > last)
        return {};
    return {static_cast<size_t>(first), static_cast<size_t>(last)};
}

std::optional<std::vector<Finding>> verify(std::span<const std::string_view> before,
    std::span<const std::string_view> after, const FunctionMeaning& meaning, LineSpan range,
    const std::function<bool()>& keepGoing)
{
    if (meaning.kind == FunctionMeaning::Kind::Nothing || range.empty() || before.size() != after.size()
        || range.last >= before.size())
        return std::vector<Finding> {};
    InterpretOptions beforeOptions, afterOptions;
    if (meaning.kind == FunctionMeaning::Kind::ArcCentres) {
        beforeOptions.absoluteArcCentres = !meaning.toAbsolute;
        afterOptions.absoluteArcCentres = meaning.toAbsolute;
    }
    const auto ask = [&keepGoing](size_t) { return !keepGoing || keepGoing(); };
    // The two interpretations and the reading of the text each on a thread of their own:
    // on two cores the reading fills what one interpretation leaves idle.
    Verifier verifier(before, after, meaning, range);
    std::optional<Toolpath> beforePath, afterPath;
    std::exception_ptr failures[2];
    std::thread afterWorker([&] {
        try {
            afterPath = interpret(after, afterOptions, ask);
        } catch (...) {
            failures[0] = std::current_exception();
        }
    });
    std::thread textWorker([&] {
        try {
            verifier.readText();
        } catch (...) {
            failures[1] = std::current_exception();
        }
    });
    try {
        beforePath = interpret(before, beforeOptions, ask);
    } catch (...) {
        afterWorker.join();
        textWorker.join();
        throw;
    }
    afterWorker.join();
    textWorker.join();
    for (const std::exception_ptr& failure : failures) {
        if (failure)
            std::rethrow_exception(failure);
    }
    if (!beforePath || !afterPath || (keepGoing && !keepGoing()))
        return std::nullopt;
    verifier.compare(*beforePath, *afterPath);
    return verifier.findings();
}

} // namespace torvel
