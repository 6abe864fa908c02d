#include "core/ModalCodes.h"

namespace torvel {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool isLetter(char c) { return upper(c) >= 'A' && upper(c) <= 'Z'; }

// A word's number from `i`: blanks, a sign, blanks, digits, a point, digits. The code
// in tenths (G91.1 is 911) is set only for a plain code of at most one decimal.
size_t readNumber(std::string_view line, size_t i, bool& found, int& tenths)
{
    const size_t n = line.size();
    while (i < n && isBlank(line[i]))
        ++i;
    bool negative = false;
    if (i < n && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
        while (i < n && isBlank(line[i]))
            ++i;
    }
    long whole = 0;
    int digits = 0, decimals = 0, tenth = 0;
    bool exact = true;
    for (; i < n && isDigit(line[i]); ++i, ++digits)
        whole = whole < 100000 ? whole * 10 + (line[i] - '0') : whole;
    if (i < n && line[i] == '.') {
        for (++i; i < n && isDigit(line[i]); ++i, ++decimals) {
            if (decimals == 0)
                tenth = line[i] - '0';
            else if (line[i] != '0')
                exact = false;
        }
    }
    found = digits + decimals > 0;
    tenths = found && exact && !negative && whole < 100000 ? static_cast<int>(whole * 10 + tenth) : -1;
    return i;
}

} // namespace

void ModalCodes::code(int tenths, bool& sawMotion, bool& sawCancel)
{
    auto motion = [&](MotionCode m) {
        motion_ = m;
        line_.written = m;
        sawMotion = true;
        line_.motionCode = true;
    };
    switch (tenths) {
    case 0:
        return motion(MotionCode::Rapid);
    case 10:
        return motion(MotionCode::Feed);
    case 20:
        return motion(MotionCode::ArcCw);
    case 30:
        return motion(MotionCode::ArcCcw);
    case 50:
    case 51:
    case 52:
    case 310:
    case 330:
    case 331:
    case 382:
    case 383:
    case 384:
    case 385:
        return motion(MotionCode::Other);
    case 730:
    case 810:
    case 820:
    case 830:
    case 840:
    case 850:
    case 860:
    case 870:
    case 880:
    case 890:
        return motion(MotionCode::Cycle);
    case 800:
        sawCancel = true;
        line_.motionCode = true;
        return;
    case 170:
        plane_ = CodePlane::XY;
        return;
    case 180:
        plane_ = CodePlane::ZX;
        return;
    case 190:
        plane_ = CodePlane::YZ;
        return;
    case 200:
    case 210:
        inch_ = tenths == 200;
        line_.unitsCode = true;
        return;
    case 900:
        incremental_ = false;
        return;
    case 910:
        incremental_ = true;
        return;
    case 530:
        line_.machine = true;
        return;
    case 100:
    case 520:
    case 920:
    case 921:
    case 922:
    case 923:
        line_.preset = true;
        return;
    case 280:
    case 281:
    case 300:
    case 301:
        line_.home = true;
        return;
    case 700:
    case 710:
    case 711:
    case 712:
    case 720:
    case 721:
    case 722:
    case 740:
    case 750:
    case 760:
        line_.latheCycle = true;
        return;
    default:
        return;
    }
}

const LineCodes& ModalCodes::read(std::string_view text)
{
    line_ = LineCodes();
    bool sawMotion = false, sawCancel = false, sawG50 = false;
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const char c = text[i];
        if (c == '(') {
            while (i < n && text[i] != ')')
                ++i;
            ++i;
        } else if (c == ';' || c == '%') {
            break;
        } else if (isLetter(c)) {
            const char letter = upper(c);
            bool found = false;
            int tenths = -1;
            i = readNumber(text, i + 1, found, tenths);
            if (!found)
                continue;
            line_.letters |= 1u << (letter - 'A');
            if (letter == 'G') {
                code(tenths, sawMotion, sawCancel);
                sawG50 |= tenths == 500;
            }
        } else {
            ++i;
        }
    }
    // "G00 G80": the cancel leaves the motion code beside it standing, as on Fanuc-style controls.
    if (sawCancel && !sawMotion)
        motion_ = MotionCode::None;
    if (sawG50 && (line_.has('X') || line_.has('Y') || line_.has('Z')))
        line_.preset = true;
    return line_;
}

} // namespace torvel
