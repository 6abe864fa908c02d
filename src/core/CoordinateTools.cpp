#include "core/CoordinateTools.h"

#include "core/Blank.h"
#include "core/CoordinateRewrite.h"

#include <cstring>
#include <span>
#include <utility>

namespace torvel {

namespace {

bool holdsLetter(std::string_view line, char letter)
{
    return !line.empty() && std::memchr(line.data(), letter, line.size()) != nullptr;
}

LineAction result(std::string_view line, std::string_view newLine, std::string& out)
{
    if (newLine == line)
        return LineAction::Keep;
    out.assign(newLine);
    return LineAction::Replace;
}

// A line with no word to rewrite is kept; the run compares the others itself.
LineAction rewrite(
    std::string_view line, std::span<const LetterOperation> letters, std::string& out, bool plus, char separator)
{
    out.clear();
    return rewriteCoordinates(line, letters, plus, separator, out) ? LineAction::Replace : LineAction::Keep;
}

// The first occurrence, left to right, case-sensitive, comments included. The
// short forms G2 and G3 count only where no digit follows, sparing G20..G39.
bool replaceFirstCode(std::string& line, std::string_view from, std::string_view to, bool shortForm)
{
    size_t at = line.find(from);
    while (shortForm && at != std::string::npos && at + from.size() < line.size() && line[at + from.size()] >= '0'
        && line[at + from.size()] <= '9')
        at = line.find(from, at + 1);
    if (at == std::string::npos)
        return false;
    line.replace(at, from.size(), to);
    return true;
}

const char* const kCrLf = "\r\n";

// Where a line has its first comment character: nothing from there on is rewritten.
size_t commentStart(std::string_view line)
{
    for (size_t i = 0; i < line.size(); ++i) {
        if (isCommentChar(line[i]))
            return i;
    }
    return line.size();
}

// The first word of `letter` with a number before the first comment character: where its
// letter stands and where its number ends; npos when there is none.
std::pair<size_t, size_t> firstWord(std::string_view line, char letter)
{
    const size_t end = commentStart(line);
    for (size_t i = 0; i < end; ++i) {
        if (line[i] != letter)
            continue;
        size_t j = i + 1;
        while (j < end && isNumberChar(line[j]))
            ++j;
        if (j > i + 1)
            return {i, j};
    }
    return {std::string_view::npos, std::string_view::npos};
}

} // namespace

// The typed values count with their blanks trimmed.
bool hasTranslationValue(const TranslateOptions& o)
{
    return (o.x && !isBlankOnly(o.xValue)) || (o.y && !isBlankOnly(o.yValue)) || (o.z && !isBlankOnly(o.zValue));
}

TranslateTool::TranslateTool(TranslateOptions options)
    : options_(std::move(options))
    , values_ {Operand(trimmed(options_.xValue)), Operand(trimmed(options_.yValue)), Operand(trimmed(options_.zValue))}
{ }

std::string TranslateTool::tag() const { return "Trans_XYZ"; }

std::string TranslateTool::progressCaption() const { return "Executando a função translação dos eixos XYZ..."; }

std::string TranslateTool::describe() const
{
    std::string d = "Adicionado valor aos Eixos:";
    const auto axis = [&](bool ticked, const char* name, const std::string& value) {
        if (ticked)
            d += std::string(kCrLf) + "Incrementado ao eixo \"" + name + "\" o valor de " + value;
    };
    axis(options_.x, "X", options_.xValue);
    axis(options_.y, "Y", options_.yValue);
    axis(options_.z, "Z", options_.zValue);
    if (options_.followModes)
        d += std::string(kCrLf) + kFollowModesLine;
    return d;
}

LineAction TranslateTool::apply(std::string_view line, std::string& out)
{
    using Kind = CoordinateOperation::Kind;
    // An incremental move is a distance, G53 a place on the machine, a preset names where
    // the tool already is: shifting any of them is no translation of the part.
    if (options_.followModes) {
        const LineCodes& codes = modes_.read(line);
        if (modes_.incremental() || codes.machine || codes.preset)
            return LineAction::Keep;
    }
    LetterOperation letters[3];
    size_t count = 0;
    if (options_.x)
        letters[count++] = {'X', {Kind::Add, &values_[0]}};
    if (options_.y)
        letters[count++] = {'Y', {Kind::Add, &values_[1]}};
    if (options_.z)
        letters[count++] = {'Z', {Kind::Add, &values_[2]}};
    return rewrite(line, std::span(letters, count), out, options_.plus, options_.decimalSeparator);
}

MirrorTool::MirrorTool(MirrorOptions options)
    : options_(options)
{ }

std::string MirrorTool::tag() const { return "Espelhar_XY"; }

std::string MirrorTool::progressCaption() const { return "Executando a função espelhamento dos eixos XY..."; }

std::string MirrorTool::describe() const
{
    std::string d = "Aplicada a função espelhamento conforme:";
    const std::pair<bool, const char*> lines[] = {
        {options_.x, "- Espelhamento do eixo X"},
        {options_.y, "- Espelhamento do eixo Y"},
        {options_.g02ToG03, "- Substituido código G02 por G03"},
        {options_.g03ToG02, "- Substituido código G03 por G02"},
        {options_.g41ToG42, "- Substituido código G41 por G42"},
        {options_.g42ToG41, "- Substituido código G42 por G41"},
        {options_.plus, "- Acrescentado caracter \"+\" nas coordenadas positivas"},
        {options_.arcCentres, kArcCentresLine},
    };
    for (const auto& [ticked, text] : lines) {
        if (ticked)
            d += std::string(kCrLf) + text;
    }
    return d;
}

bool MirrorTool::exchangesArcCodes() const
{
    if (!options_.arcCentres)
        return true;
    const CodePlane plane = modes_.plane();
    return (options_.x && planeHolds(plane, 'X')) + (options_.y && planeHolds(plane, 'Y')) == 1;
}

LineAction MirrorTool::apply(std::string_view line, std::string& out)
{
    using Kind = CoordinateOperation::Kind;
    LetterOperation letters[4];
    size_t count = 0;
    if (options_.x)
        letters[count++] = {'X', {Kind::Mirror, {}}};
    if (options_.y)
        letters[count++] = {'Y', {Kind::Mirror, {}}};
    if (options_.arcCentres) {
        modes_.read(line);
        if (options_.x)
            letters[count++] = {'I', {Kind::Mirror, {}}};
        if (options_.y)
            letters[count++] = {'J', {Kind::Mirror, {}}};
    }
    const bool anyCode = options_.g02ToG03 || options_.g03ToG02 || options_.g41ToG42 || options_.g42ToG41;
    if (!anyCode)
        return rewrite(line, std::span(letters, count), out, options_.plus, options_.decimalSeparator);

    std::string& s = buffer_;
    s.clear();
    rewriteCoordinates(line, std::span(letters, count), options_.plus, options_.decimalSeparator, s);
    // The reverse exchange runs only where the forward one changed nothing,
    // so that a G02 just made G03 is not turned back in the same pass.
    bool changed = false;
    if (exchangesArcCodes()) {
        // With the arc option a code in a comment is no arc of the program.
        std::string tail;
        if (options_.arcCentres) {
            const size_t comment = commentStart(s);
            tail = s.substr(comment);
            s.resize(comment);
        }
        if (options_.g02ToG03) {
            changed |= replaceFirstCode(s, "G02", "G03", false);
            changed |= replaceFirstCode(s, "G2", "G3", true);
        }
        if (!changed && options_.g03ToG02) {
            replaceFirstCode(s, "G03", "G02", false);
            replaceFirstCode(s, "G3", "G2", true);
        }
        s += tail;
    }
    changed = false;
    if (options_.g41ToG42)
        changed = replaceFirstCode(s, "G41", "G42", false);
    if (!changed && options_.g42ToG41)
        replaceFirstCode(s, "G42", "G41", false);
    return result(line, s, out);
}

ArcsTool::ArcsTool(ArcsOptions options)
    : options_(options)
{ }

std::string ArcsTool::tag() const { return "IncAbs_IJ"; }

std::string ArcsTool::progressCaption() const { return "Executando a função converter coordenadas IJ..."; }

std::string ArcsTool::describe() const
{
    std::string d = options_.direction == ArcsOptions::Direction::Absolute
        ? "Convertido coordenadas \"I,J\" para absoluto"
        : "Convertido coordenadas \"I,J\" para incremental";
    if (options_.planes)
        d += std::string(kCrLf) + kPlanesLine;
    return d;
}

void ArcsTool::begin()
{
    rememberedX_.set("0");
    rememberedY_.set("0");
    rememberedZ_.set("0");
    modes_.reset();
}

void ArcsTool::readBefore(std::string_view line)
{
    modes_.read(line);
    remember(line);
}

void ArcsTool::remember(std::string_view line)
{
    const auto remember = [&](char letter, Operand& memory) {
        if (!holdsLetter(line, letter))
            return;
        const std::string text = readCoordinate(line, letter, options_.decimalSeparator);
        if (!trimmed(text).empty())
            memory.set(text);
    };
    remember('X', rememberedX_);
    remember('Y', rememberedY_);
    remember('Z', rememberedZ_);
}

// The arc's own centre words, each with the remembered position of its axis.
LineAction ArcsTool::convertPlane(std::string_view line, std::string& out)
{
    modes_.read(line);
    LineAction action = LineAction::Keep;
    if (options_.direction != ArcsOptions::Direction::None && modes_.arcLine()) {
        const char separator = options_.decimalSeparator;
        const auto kind = options_.direction == ArcsOptions::Direction::Absolute ? CoordinateOperation::Kind::Add
                                                                                 : CoordinateOperation::Kind::Subtract;
        const CodePlane plane = modes_.plane();
        const char first = plane == CodePlane::YZ ? 'J' : 'I';
        const char second = plane == CodePlane::XY ? 'J' : 'K';
        const auto memoryOf = [&](char letter) {
            return letter == 'I' ? &rememberedX_ : letter == 'J' ? &rememberedY_ : &rememberedZ_;
        };
        const LetterOperation letters[2]
            = {{first, {kind, memoryOf(first), true}}, {second, {kind, memoryOf(second), true}}};
        out.clear();
        bool changed = rewriteCoordinates(line, letters, options_.plus, separator, out);
        // A centre word left out counts as 0 incremental (or at 0 absolute): converted,
        // it is no longer 0 and has to be written.
        const auto [firstAt, firstEnd] = firstWord(out, first);
        const auto [secondAt, secondEnd] = firstWord(out, second);
        const bool hasFirst = firstAt != std::string_view::npos, hasSecond = secondAt != std::string_view::npos;
        if (hasFirst != hasSecond && firstWord(out, 'R').first == std::string_view::npos) {
            const LetterOperation missing = hasFirst ? letters[1] : letters[0];
            std::string word;
            rewriteCoordinates(
                std::string(1, missing.letter) + "0", std::span(&missing, 1), options_.plus, separator, word);
            const size_t at = hasFirst ? firstEnd : secondAt;
            const size_t letterAt = hasFirst ? firstAt : secondAt;
            const bool spaced = letterAt > 0 && isBlank(static_cast<unsigned char>(out[letterAt - 1]));
            out.insert(at, hasFirst ? (spaced ? " " : "") + word : word + (spaced ? " " : ""));
            changed = true;
        }
        action = changed ? LineAction::Replace : LineAction::Keep;
    }
    remember(line);
    return action;
}

LineAction ArcsTool::apply(std::string_view line, std::string& out)
{
    if (options_.planes)
        return convertPlane(line, out);
    const char separator = options_.decimalSeparator;
    // The centre is measured from the position the lines before reached (the
    // arc's start point); this line's own end point counts from the next line on.
    LineAction action = LineAction::Keep;
    if (options_.direction != ArcsOptions::Direction::None) {
        const auto kind = options_.direction == ArcsOptions::Direction::Absolute ? CoordinateOperation::Kind::Add
                                                                                 : CoordinateOperation::Kind::Subtract;
        LetterOperation letters[2] = {{'I', {kind, &rememberedX_}}, {'J', {kind, &rememberedY_}}};
        action = rewrite(line, letters, out, options_.plus, separator);
    }
    const auto remember = [&](char letter, Operand& memory) {
        if (!holdsLetter(line, letter))
            return;
        const std::string text = readCoordinate(line, letter, separator);
        if (!trimmed(text).empty())
            memory.set(text);
    };
    remember('X', rememberedX_);
    remember('Y', rememberedY_);
    return action;
}

} // namespace torvel
