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
    return d;
}

LineAction TranslateTool::apply(std::string_view line, std::string& out)
{
    using Kind = CoordinateOperation::Kind;
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
    };
    for (const auto& [ticked, text] : lines) {
        if (ticked)
            d += std::string(kCrLf) + text;
    }
    return d;
}

LineAction MirrorTool::apply(std::string_view line, std::string& out)
{
    using Kind = CoordinateOperation::Kind;
    LetterOperation letters[2];
    size_t count = 0;
    if (options_.x)
        letters[count++] = {'X', {Kind::Mirror, {}}};
    if (options_.y)
        letters[count++] = {'Y', {Kind::Mirror, {}}};
    const bool anyCode = options_.g02ToG03 || options_.g03ToG02 || options_.g41ToG42 || options_.g42ToG41;
    if (!anyCode)
        return rewrite(line, std::span(letters, count), out, options_.plus, options_.decimalSeparator);

    std::string& s = buffer_;
    s.clear();
    rewriteCoordinates(line, std::span(letters, count), options_.plus, options_.decimalSeparator, s);
    // The reverse exchange runs only where the forward one changed nothing,
    // so that a G02 just made G03 is not turned back in the same pass.
    bool changed = false;
    if (options_.g02ToG03) {
        changed |= replaceFirstCode(s, "G02", "G03", false);
        changed |= replaceFirstCode(s, "G2", "G3", true);
    }
    if (!changed && options_.g03ToG02) {
        replaceFirstCode(s, "G03", "G02", false);
        replaceFirstCode(s, "G3", "G2", true);
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
    if (options_.direction == ArcsOptions::Direction::Absolute)
        return "Convertido coordenadas \"I,J\" para absoluto";
    return "Convertido coordenadas \"I,J\" para incremental";
}

void ArcsTool::begin()
{
    rememberedX_.set("0");
    rememberedY_.set("0");
}

LineAction ArcsTool::apply(std::string_view line, std::string& out)
{
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
