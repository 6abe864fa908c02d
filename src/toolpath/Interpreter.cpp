#include "toolpath/Interpreter.h"

#include "toolpath/BlockReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <initializer_list>
#include <cmath>
#include <numbers>
#include <string>

namespace torvel {

namespace {

constexpr double kInch = 25.4;
constexpr double kTwoPi = 2 * std::numbers::pi;
// G73's retract and G83's stop above the last depth: LinuxCNC's 0.010 inch.
constexpr double kPeckClearance = 0.254;
// Below this an arc's start and end are one point (a full circle).
constexpr double kSamePoint = 1e-7;
// An arc's end may miss its circle by this much (mm) or this fraction of the radius unnoted.
constexpr double kRadiusTolerance = 0.005;
constexpr double kRadiusRelativeTolerance = 0.001;
// Caps that keep a typing error (L1000000000) from stalling the interpreter.
constexpr long kMaxRepeats = 10000;
constexpr double kMaxPecks = 10000;
constexpr long kMaxTurns = 10000;
constexpr size_t kMaxDetail = 32;

enum class MotionMode : uint8_t { None, Rapid, Feed, ArcCw, ArcCcw, Curve, Cycle };

enum class Group : uint8_t {
    Motion,
    Plane,
    Units,
    Distance,
    ArcDistance,
    FeedMode,
    SpindleMode,
    CutterCompensation,
    WorkSystem,
    ReturnMode,
    Diameter,
    NonModal,
    LatheCycle, // noted; takes the block's axes
    NotApplied, // noted; takes the block's axes
    Subprogram, // noted; takes the block's axes
    Silent,
    Unknown,
};

// The G codes this interpreter knows, by code times ten.
constexpr std::array<Group, 1000> kGroups = [] {
    std::array<Group, 1000> t {};
    t.fill(Group::Unknown);
    auto set = [&t](Group group, std::initializer_list<int> codes) {
        for (int code : codes)
            t[static_cast<size_t>(code)] = group;
    };
    set(Group::Motion,
        {0, 10, 20, 30, 50, 51, 52, 310, 330, 331, 382, 383, 384, 385, 730, 800, 810, 820, 830, 840, 850, 860, 870, 880,
            890});
    set(Group::Plane, {170, 180, 190});
    set(Group::Units, {200, 210});
    set(Group::Distance, {900, 910});
    set(Group::ArcDistance, {901, 911});
    set(Group::FeedMode, {930, 940, 950});
    set(Group::SpindleMode, {960, 970});
    set(Group::CutterCompensation, {400, 410, 411, 420, 421});
    set(Group::WorkSystem, {540, 541, 550, 560, 570, 580, 590, 591, 592, 593});
    set(Group::ReturnMode, {980, 990});
    set(Group::Diameter, {70, 80});
    set(Group::NonModal, {40, 280, 281, 300, 301, 520, 530, 920, 921, 922, 923});
    set(Group::LatheCycle, {700, 710, 711, 712, 720, 721, 722, 740, 750, 760});
    set(Group::NotApplied, {100, 160, 171, 181, 191, 510, 511, 680, 681});
    set(Group::Subprogram, {650, 660});
    set(Group::Silent, {90, 150, 430, 431, 432, 490, 500, 501, 610, 611, 640, 670, 690});
    return t;
}();

Group groupOf(int code) { return code < 1000 ? kGroups[static_cast<size_t>(code)] : Group::Unknown; }

// "G5.1" for 51.
std::string_view codeName(int code, char (&buffer)[12])
{
    char* p = buffer;
    *p++ = 'G';
    p = std::to_chars(p, buffer + sizeof buffer, code / 10).ptr;
    if (code % 10 != 0) {
        *p++ = '.';
        *p++ = static_cast<char>('0' + code % 10);
    }
    return std::string_view(buffer, static_cast<size_t>(p - buffer));
}

constexpr uint32_t letterBit(char c) { return 1u << (c - 'A'); }
constexpr uint32_t kLinearAxes = letterBit('X') | letterBit('Y') | letterBit('Z');
constexpr uint32_t kOtherAxes
    = letterBit('A') | letterBit('B') | letterBit('C') | letterBit('U') | letterBit('V') | letterBit('W');

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

char firstNonBlank(std::string_view line)
{
    for (char c : line)
        if (!isBlank(c))
            return c;
    return '\0';
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20))
            return false;
    return true;
}

} // namespace

struct InterpreterState {
    InterpretOptions options;
    Toolpath path;
    Block block;
    uint32_t line = 0;

    // Modal state.
    MotionMode mode = MotionMode::Rapid;
    int motionCode = 0; // the G code of the mode, times ten
    ArcPlane plane = ArcPlane::XY;
    bool absolute = true;
    bool absoluteCentres = false;
    double unit = 1; // mm per program unit
    bool unitsStated = false;
    bool inverseTime = false, perRevolution = false, surfaceSpeed = false;
    bool diameterMode = false;
    bool retractToR = false;
    int workSystem = 540;
    double feed = 0; // mm/min, mm/rev, or 1/min under G93
    double spindle = 0;
    int selectedTool = 0;
    uint16_t toolSlot = 0;

    // Position in the frame of the program's start.
    Point3 position;
    unsigned known = 0;
    Point3 offset; // G92/G52: program value + offset = position
    Point3 savedOffset;
    Point3 home28, home30;

    // Canned cycle values in force.
    bool cycleHasR = false, cycleHasDepth = false;
    double cycleR = 0, cycleDepth = 0, cycleQ = 0, cycleDwell = 0;

    double dwellSeconds = 0;
    bool ended = false, endNoted = false;
    bool inSubprogram = false;
    std::string subprogramName;
    uint32_t axesNoted = 0;
    bool feedNoted = false, perRevolutionNoted = false;

    void reserve(size_t lines);
    void readLine(std::string_view text);
    void execute();
    Toolpath finish();

    void note(NoteReason reason, std::string_view detail = {});
    void noteCode(NoteReason reason, int code)
    {
        char buffer[12];
        note(reason, codeName(code, buffer));
    }
    void learn(unsigned axes, const Point3& values);
    double axisValue(char letter, int axis) const;
    Point3 target(bool machine, unsigned& given);
    void addMotion(MotionKind kind, const Point3& to, double feedRate);
    void addMotion(MotionKind kind, const Point3& to, double feedRate, const Box3& box, double length);
    double feedFor(double length);
    void selectTool(double number);

    void applyModes(const int codes[]);
    void home(bool second);
    void setOffsets(int code);
    void move(bool machine);
    void linear(bool rapid, bool machine, const Point3& to);
    void arc(bool clockwise, const Point3& to);
    void cycle(int code);
    void stroke(MotionKind kind, int axis, double value);
    void pecks(int code, double bottom);
};

// Most lines of a CAM program make one motion; about one in five is an arc.
void InterpreterState::reserve(size_t lines)
{
    path.points_.reserve(lines + 1);
    path.kinds_.reserve(lines);
    path.lines_.reserve(lines);
    path.toolSlots_.reserve(lines);
    path.feeds_.reserve(lines);
    path.arcs_.reserve(lines / 4);
}

Toolpath InterpreterState::finish()
{
    path.lineCount_ = line;
    path.dwellSeconds_ = dwellSeconds;
    return std::move(path);
}

void InterpreterState::note(NoteReason reason, std::string_view detail)
{
    const size_t offset = path.noteDetails_.size();
    detail = detail.substr(0, kMaxDetail);
    path.noteDetails_.append(detail);
    for (size_t i = offset; i < path.noteDetails_.size(); ++i)
        if (path.noteDetails_[i] < ' ' || path.noteDetails_[i] > '~')
            path.noteDetails_[i] = '?';
    path.notes_.push_back({line, reason, static_cast<uint16_t>(detail.size()), static_cast<uint32_t>(offset)});
}

// Axes receiving their first value: the tool is taken to have been there all along.
void InterpreterState::learn(unsigned axes, const Point3& values)
{
    const unsigned fresh = axes & ~known & 7u;
    if (fresh == 0)
        return;
    for (int a = 0; a < 3; ++a) {
        if (!(fresh & (1u << a)))
            continue;
        for (Point3& p : path.points_)
            p[a] = values[a];
        position[a] = values[a];
    }
    known |= fresh;
    path.programmedAxes_ |= fresh;
    // Moved points void what was summed over them; there are few this early in a program.
    if (!path.points_.empty())
        path.recount(options.rapidRate);
}

double InterpreterState::axisValue(char letter, int axis) const
{
    const double v = block.value(letter) * unit;
    return axis == 0 && diameterMode ? v / 2 : v;
}

// The point the block's X Y Z words name; `given` gets the axes written.
Point3 InterpreterState::target(bool machine, unsigned& given)
{
    Point3 t = position;
    given = 0;
    for (int a = 0; a < 3; ++a) {
        const char letter = static_cast<char>('X' + a);
        if (!block.has(letter))
            continue;
        given |= 1u << a;
        const double v = axisValue(letter, a);
        t[a] = machine ? v : absolute ? v + offset[a] : position[a] + v;
    }
    learn(given, t);
    return t;
}

void InterpreterState::addMotion(MotionKind kind, const Point3& to, double feedRate)
{
    Box3 box;
    box.add(position);
    box.add(to);
    addMotion(kind, to, feedRate, box, distance(position, to));
}

void InterpreterState::addMotion(MotionKind kind, const Point3& to, double feedRate, const Box3& box, double length)
{
    if (path.points_.empty())
        path.points_.push_back(position);
    path.points_.push_back(to);
    path.kinds_.push_back(kind);
    path.lines_.push_back(line);
    path.toolSlots_.push_back(toolSlot);
    path.feeds_.push_back(static_cast<float>(feedRate));
    path.account(path.kinds_.size() - 1, box, length, options.rapidRate);
    position = to;
}

// The feed rate of a feed move of `length` mm, in mm/min; 0 when it cannot be known.
double InterpreterState::feedFor(double length)
{
    if (perRevolution) {
        if (!surfaceSpeed && spindle > 0 && feed > 0)
            return feed * spindle;
        if (!perRevolutionNoted)
            note(NoteReason::FeedPerRevolution);
        perRevolutionNoted = true;
        return 0;
    }
    if (feed > 0)
        return inverseTime ? feed * length : feed;
    if (!feedNoted)
        note(NoteReason::FeedMissing);
    feedNoted = true;
    return 0;
}

void InterpreterState::selectTool(double number)
{
    const int tool = static_cast<int>(number);
    auto& tools = path.tools_;
    size_t slot = static_cast<size_t>(std::find(tools.begin(), tools.end(), tool) - tools.begin()) + 1;
    if (slot > tools.size()) {
        if (tools.size() < 65535)
            tools.push_back(tool);
        slot = tools.size();
    }
    toolSlot = static_cast<uint16_t>(slot);
}

void InterpreterState::readLine(std::string_view text)
{
    if (ended) {
        const char c = firstNonBlank(text);
        if (!endNoted && c != '\0' && c != '(' && c != ';' && c != '%') {
            note(NoteReason::AfterProgramEnd);
            endNoted = true;
        }
    } else if (inSubprogram) {
        const char c = firstNonBlank(text);
        if (c == 'o' || c == 'O') {
            readBlock(text, block);
            if (block.oWord == Block::OWord::EndSub && sameName(block.oName, subprogramName))
                inSubprogram = false;
        }
    } else if (!(options.skipBlockDelete && firstNonBlank(text) == '/')) {
        readBlock(text, block);
        execute();
    }
    ++line;
}

void InterpreterState::execute()
{
    for (int i = 0; i < block.noteCount; ++i)
        note(block.notes[i].reason, block.notes[i].detail);
    switch (block.oWord) {
    case Block::OWord::Sub:
        inSubprogram = true;
        subprogramName.assign(block.oName);
        return;
    case Block::OWord::Call:
        note(NoteReason::Subprogram, block.oText);
        return;
    case Block::OWord::Flow:
        note(NoteReason::FlowControl, block.oText);
        return;
    default:
        break;
    }
    if (const uint32_t other = block.letters & kOtherAxes & ~axesNoted) {
        for (char c : {'A', 'B', 'C', 'U', 'V', 'W'})
            if (other & letterBit(c))
                note(NoteReason::AxisNotDrawn, std::string_view(&c, 1));
        axesNoted |= other;
    }

    // The last code of each group, and whether one of them takes the axis words.
    int codes[static_cast<int>(Group::Unknown) + 1];
    std::fill(std::begin(codes), std::end(codes), -1);
    bool axesTaken = false, cancelsCycle = false;
    const bool hasAxes = (block.letters & kLinearAxes) != 0;
    for (int i = 0; i < block.gCount; ++i) {
        const int code = block.g[i];
        const Group group = groupOf(code);
        // "G00 ... G80" is a safe-start block on every Fanuc-style control: G80 there
        // cancels a cycle and leaves the motion code standing.
        if (code == 800)
            cancelsCycle = true;
        else
            codes[static_cast<int>(group)] = code;
        switch (group) {
        case Group::LatheCycle:
            noteCode(NoteReason::CycleNotDrawn, code);
            axesTaken = true;
            break;
        case Group::NotApplied:
            noteCode(NoteReason::NotApplied, code);
            axesTaken = true;
            break;
        case Group::Subprogram:
            noteCode(NoteReason::Subprogram, code);
            axesTaken = true;
            break;
        case Group::Unknown:
            noteCode(NoteReason::UnknownG, code);
            break;
        case Group::Silent:
            // G50 with axes sets a coordinate system (Fanuc lathes); alone it limits the spindle.
            if (code == 500 && hasAxes) {
                noteCode(NoteReason::NotApplied, code);
                axesTaken = true;
            }
            break;
        default:
            break;
        }
    }
    const int nonModal = codes[static_cast<int>(Group::NonModal)];
    applyModes(codes);

    switch (nonModal) {
    case 40:
        dwellSeconds += std::max(0.0, block.has('P') ? block.value('P') : block.has('X') ? block.value('X') : 0);
        axesTaken = true;
        break;
    case 280:
    case 300:
        home(nonModal == 300);
        axesTaken = true;
        break;
    case 281:
        home28 = position;
        axesTaken = true;
        break;
    case 301:
        home30 = position;
        axesTaken = true;
        break;
    case 520:
    case 920:
    case 921:
    case 922:
    case 923:
        setOffsets(nonModal);
        axesTaken = true;
        break;
    default:
        break;
    }

    const int motion = codes[static_cast<int>(Group::Motion)] >= 0 ? codes[static_cast<int>(Group::Motion)]
        : cancelsCycle                                             ? 800
                                                                   : -1;
    if (motion >= 0) {
        motionCode = motion;
        mode = motion == 0                     ? MotionMode::Rapid
            : motion == 20                     ? MotionMode::ArcCw
            : motion == 30                     ? MotionMode::ArcCcw
            : motion == 800                    ? MotionMode::None
            : (motion >= 50 && motion <= 52)   ? MotionMode::Curve
            : (motion == 730 || motion >= 810) ? MotionMode::Cycle
                                               : MotionMode::Feed;
        if (mode != MotionMode::Cycle)
            cycleHasR = cycleHasDepth = false;
    }
    if (!axesTaken)
        move(nonModal == 530);

    for (int i = 0; i < block.mCount; ++i) {
        const int m = block.m[i];
        if (m == 98 || m == 99)
            note(NoteReason::Subprogram, m == 98 ? "M98" : "M99");
        else if (m == 2 || m == 30)
            ended = true;
    }
}

void InterpreterState::applyModes(const int codes[])
{
    auto code = [&](Group g) { return codes[static_cast<int>(g)]; };
    if (const int c = code(Group::FeedMode); c >= 0) {
        inverseTime = c == 930;
        perRevolution = c == 950;
    }
    if (const int c = code(Group::Units); c >= 0) {
        unit = c == 200 ? kInch : 1;
        if (!unitsStated)
            path.units_ = c == 200 ? Units::Inch : Units::Millimetre;
        unitsStated = true;
    }
    if (block.has('F'))
        feed = inverseTime ? block.value('F') : block.value('F') * unit;
    if (block.has('S'))
        spindle = block.value('S');
    if (const int c = code(Group::Plane); c >= 0)
        plane = c == 170 ? ArcPlane::XY : c == 180 ? ArcPlane::ZX : ArcPlane::YZ;
    bool toolChange = false;
    for (int i = 0; i < block.mCount; ++i)
        toolChange |= block.m[i] == 6;
    if (block.has('T'))
        selectedTool = static_cast<int>(block.value('T'));
    // A lathe turret indexes on the T word itself; a mill only selects the next tool with it.
    if (toolChange || (block.has('T') && plane == ArcPlane::ZX))
        selectTool(selectedTool);
    if (const int c = code(Group::CutterCompensation); c > 400)
        noteCode(NoteReason::CutterCompensation, c);
    if (const int c = code(Group::Diameter); c >= 0)
        diameterMode = c == 70;
    if (const int c = code(Group::WorkSystem); c >= 0 && c != workSystem) {
        if (!path.empty())
            noteCode(NoteReason::WorkOffsetUnknown, c);
        workSystem = c;
    }
    if (const int c = code(Group::Distance); c >= 0)
        absolute = c == 900;
    if (const int c = code(Group::ArcDistance); c >= 0)
        absoluteCentres = c == 901;
    if (const int c = code(Group::ReturnMode); c >= 0)
        retractToR = c == 990;
    if (const int c = code(Group::SpindleMode); c >= 0)
        surfaceSpeed = c == 960;
}

// G28/G30: a rapid to the intermediate point the words name, then the named
// axes (all of them without words) to the reference point.
void InterpreterState::home(bool second)
{
    const Point3 reference = second ? home30 : home28;
    unsigned given;
    const Point3 via = target(false, given);
    if (given == 0) {
        learn(7u, reference);
        addMotion(MotionKind::MachineRapid, reference, 0);
        return;
    }
    if (via != position)
        addMotion(MotionKind::Rapid, via, 0);
    Point3 to = via;
    for (int a = 0; a < 3; ++a)
        if (given & (1u << a))
            to[a] = reference[a];
    addMotion(MotionKind::MachineRapid, to, 0);
}

void InterpreterState::setOffsets(int code)
{
    if (code == 921 || code == 922) {
        offset = {};
        return;
    }
    if (code == 923) {
        offset = savedOffset;
        return;
    }
    for (int a = 0; a < 3; ++a) {
        const char letter = static_cast<char>('X' + a);
        if (!block.has(letter))
            continue;
        const double v = axisValue(letter, a);
        if (code == 520) {
            offset[a] = v;
        } else if (!(known & (1u << a))) {
            // The tool is wherever the program says: that is where this axis starts.
            Point3 at = position;
            at[a] = v;
            learn(1u << a, at);
            offset[a] = 0;
        } else {
            offset[a] = position[a] - v;
        }
    }
    if (code == 920)
        savedOffset = offset;
}

void InterpreterState::move(bool machine)
{
    const PlaneAxes ax = planeAxes(plane);
    const bool hasAxes = (block.letters & kLinearAxes) != 0;
    const bool hasCentre
        = block.has(static_cast<char>('I' + ax.a)) || block.has(static_cast<char>('I' + ax.b)) || block.has('R');
    const bool isArcMode = mode == MotionMode::ArcCw || mode == MotionMode::ArcCcw;
    // An arc may name only its centre: a full circle from where the tool is.
    if (!hasAxes && !(isArcMode && hasCentre))
        return;
    if (machine && mode != MotionMode::Rapid && mode != MotionMode::Feed) {
        note(NoteReason::MachineCoordinatesNeedLine);
        machine = false;
    }
    if (mode == MotionMode::Cycle) {
        cycle(motionCode);
        return;
    }
    unsigned given;
    const Point3 to = target(machine, given);
    switch (mode) {
    case MotionMode::None:
        note(NoteReason::AxesWithoutMotion);
        break;
    case MotionMode::Rapid:
    case MotionMode::Feed:
        linear(mode == MotionMode::Rapid, machine, to);
        break;
    case MotionMode::Curve:
        noteCode(NoteReason::CurveAsLine, motionCode);
        linear(false, false, to);
        break;
    case MotionMode::ArcCw:
    case MotionMode::ArcCcw:
        arc(mode == MotionMode::ArcCw, to);
        break;
    case MotionMode::Cycle:
        break;
    }
}

void InterpreterState::linear(bool rapid, bool machine, const Point3& to)
{
    const MotionKind kind = machine ? (rapid ? MotionKind::MachineRapid : MotionKind::MachineFeed)
                                    : (rapid ? MotionKind::Rapid : MotionKind::Feed);
    addMotion(kind, to, rapid ? 0 : feedFor(distance(position, to)));
}

void InterpreterState::arc(bool clockwise, const Point3& to)
{
    const PlaneAxes ax = planeAxes(plane);
    const Point3 from = position;
    Point3 centre = from;
    const double chordA = to[ax.a] - from[ax.a], chordB = to[ax.b] - from[ax.b];
    const double chord = planarLength(chordA, chordB);
    const char letterA = static_cast<char>('I' + ax.a), letterB = static_cast<char>('I' + ax.b);
    if (block.has('R')) {
        if (chord < kSamePoint) {
            note(NoteReason::ArcWithoutChord);
            linear(false, false, to);
            return;
        }
        const double signedR = block.value('R') * unit;
        double r = std::abs(signedR);
        const double half = chord / 2;
        if (r < half) {
            if (half - r > kRadiusTolerance)
                note(NoteReason::ArcRadiusTooSmall);
            r = half;
        }
        // The centre lies left of the chord for a short counter-clockwise arc; a negative R takes the long one.
        const double h = std::sqrt(std::max(0.0, r * r - half * half)) * (clockwise ? -1 : 1) * (signedR < 0 ? -1 : 1);
        centre[ax.a] = from[ax.a] + chordA / 2 - h * chordB / chord;
        centre[ax.b] = from[ax.b] + chordB / 2 + h * chordA / chord;
    } else if (block.has(letterA) || block.has(letterB)) {
        const double i = block.has(letterA) ? block.value(letterA) * unit : 0;
        const double j = block.has(letterB) ? block.value(letterB) * unit : 0;
        centre[ax.a] = absoluteCentres ? i + offset[ax.a] : from[ax.a] + i;
        centre[ax.b] = absoluteCentres ? j + offset[ax.b] : from[ax.b] + j;
    } else {
        note(NoteReason::ArcWithoutCentre);
        linear(false, false, to);
        return;
    }
    const double r0 = planarLength(from[ax.a] - centre[ax.a], from[ax.b] - centre[ax.b]);
    const double r1 = planarLength(to[ax.a] - centre[ax.a], to[ax.b] - centre[ax.b]);
    if (r0 < kSamePoint && r1 < kSamePoint) {
        note(NoteReason::ArcWithoutCentre);
        linear(false, false, to);
        return;
    }
    if (std::abs(r1 - r0) > std::max(kRadiusTolerance, kRadiusRelativeTolerance * std::max(r0, r1)))
        note(NoteReason::ArcRadiusMismatch);

    const double startAngle = std::atan2(from[ax.b] - centre[ax.b], from[ax.a] - centre[ax.a]);
    double sweep = std::atan2(to[ax.b] - centre[ax.b], to[ax.a] - centre[ax.a]) - startAngle;
    if (chord < kSamePoint)
        sweep = clockwise ? -kTwoPi : kTwoPi;
    else if (clockwise && sweep >= 0)
        sweep -= kTwoPi;
    else if (!clockwise && sweep <= 0)
        sweep += kTwoPi;
    if (block.has('P')) {
        const long turns = std::lround(std::clamp(block.value('P'), 1.0, static_cast<double>(kMaxTurns)));
        sweep += (clockwise ? -kTwoPi : kTwoPi) * static_cast<double>(turns - 1);
    }
    const ArcGeometry g {plane, centre, startAngle, sweep, r0, r1};
    const double length = arcLength(g, from, to);
    path.arcs_.push_back({centre[ax.a], centre[ax.b], sweep, static_cast<uint32_t>(path.kinds_.size()), plane});
    addMotion(clockwise ? MotionKind::ArcCw : MotionKind::ArcCcw, to, feedFor(length), arcBounds(g, from, to), length);
}

void InterpreterState::stroke(MotionKind kind, int axis, double value)
{
    Point3 to = position;
    to[axis] = value;
    if (to == position)
        return;
    addMotion(kind, to, kind == MotionKind::DrillFeed ? feedFor(distance(position, to)) : 0);
}

void InterpreterState::pecks(int code, double bottom)
{
    const int n = planeAxes(plane).normal;
    double q = cycleQ;
    if (!(q > 0) || bottom >= cycleR) {
        stroke(MotionKind::DrillFeed, n, bottom);
        return;
    }
    q = std::max(q, (cycleR - bottom) / kMaxPecks);
    double depth = cycleR;
    while (depth > bottom) {
        const double next = std::max(depth - q, bottom);
        if (code == 830 && depth < cycleR)
            stroke(MotionKind::DrillRapid, n, std::min(cycleR, depth + kPeckClearance));
        stroke(MotionKind::DrillFeed, n, next);
        if (next > bottom)
            stroke(MotionKind::DrillRapid, n, code == 830 ? cycleR : std::min(cycleR, next + kPeckClearance));
        depth = next;
    }
}

void InterpreterState::cycle(int code)
{
    const PlaneAxes ax = planeAxes(plane);
    const int n = ax.normal;
    const char depthLetter = static_cast<char>('X' + n);
    double start = position[n];
    if (block.has('R')) {
        const double r = block.value('R') * unit;
        cycleR = absolute ? r + offset[n] : start + r;
        cycleHasR = true;
    }
    if (block.has(depthLetter)) {
        const double z = axisValue(depthLetter, n);
        cycleDepth = absolute ? z + offset[n] : (cycleHasR ? cycleR : start) + z;
        cycleHasDepth = true;
    }
    if (block.has('Q'))
        cycleQ = std::abs(block.value('Q')) * unit;
    if (block.has('P'))
        cycleDwell = std::max(0.0, block.value('P'));
    if (!cycleHasDepth) {
        note(NoteReason::CycleWithoutZ);
        return;
    }
    if (!(known & (1u << n))) {
        Point3 at = position;
        at[n] = cycleHasR ? cycleR : cycleDepth;
        learn(1u << n, at);
        start = position[n];
    }
    if (!cycleHasR) {
        note(NoteReason::CycleWithoutR);
        cycleR = start;
        cycleHasR = true;
    }
    if (code == 870)
        noteCode(NoteReason::CycleNotDrawn, code);
    const long repeats = block.has('L') ? std::clamp(std::lround(block.value('L')), 0L, kMaxRepeats) : 1;
    const double clear = retractToR ? cycleR : std::max(start, cycleR);
    if (position[n] < cycleR)
        stroke(MotionKind::DrillRapid, n, cycleR);
    for (long k = 0; k < repeats; ++k) {
        Point3 hole = position;
        unsigned given = 0;
        for (int a : {ax.a, ax.b}) {
            const char letter = static_cast<char>('X' + a);
            if (!block.has(letter))
                continue;
            const double v = axisValue(letter, a);
            hole[a] = absolute ? v + offset[a] : position[a] + v;
            given |= 1u << a;
        }
        learn(given, hole);
        if (hole != position)
            addMotion(MotionKind::DrillRapid, hole, 0);
        stroke(MotionKind::DrillRapid, n, cycleR);
        switch (code) {
        case 730:
        case 830:
            pecks(code, cycleDepth);
            break;
        case 870:
            break;
        default:
            stroke(MotionKind::DrillFeed, n, cycleDepth);
            break;
        }
        if (code == 820 || code == 860 || code == 880 || code == 890)
            dwellSeconds += cycleDwell;
        if (code == 840 || code == 850 || code == 890)
            stroke(MotionKind::DrillFeed, n, cycleR);
        stroke(MotionKind::DrillRapid, n, clear);
    }
}

Interpreter::Interpreter(InterpretOptions options, size_t expectedLines)
    : state_(std::make_unique<InterpreterState>())
{
    state_->options = options;
    state_->absoluteCentres = options.absoluteArcCentres;
    if (!(state_->options.rapidRate > 0))
        state_->options.rapidRate = InterpretOptions {}.rapidRate;
    state_->reserve(expectedLines);
}

Interpreter::~Interpreter() = default;
Interpreter::Interpreter(Interpreter&&) noexcept = default;
Interpreter& Interpreter::operator=(Interpreter&&) noexcept = default;

void Interpreter::readLine(std::string_view line) { state_->readLine(line); }

size_t Interpreter::linesRead() const { return state_->line; }

Toolpath Interpreter::finish() { return state_->finish(); }

std::optional<Toolpath> interpret(std::span<const std::string_view> lines, const InterpretOptions& options,
    const std::function<bool(size_t linesDone)>& keepGoing)
{
    Interpreter interpreter(options, lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        if ((i & 0xFFFF) == 0 && keepGoing && !keepGoing(i))
            return std::nullopt;
        interpreter.readLine(lines[i]);
    }
    return interpreter.finish();
}

} // namespace torvel
