#pragma once

#include "core/CoordinateRewrite.h"
#include "core/LineTool.h"
#include "core/ModalCodes.h"

#include <string>
#include <string_view>

namespace torvel {

// The history's line for each sound option, written only when the option is on.
inline constexpr const char* kFollowModesLine = "Opção: seguir modos G91/G53/G92";
inline constexpr const char* kArcCentresLine = "Opção: espelhar centros I/J, trocar G02/G03 só no plano do eixo";
inline constexpr const char* kPlanesLine = "Opção: converter no plano do arco (K com Z), só em arcos, sem notação E";

// The coordinate tools work on trimmed lines and keep the view in step while they run.
class CoordinateTool : public LineTool {
public:
    bool trimsLine() const override { return true; }
    bool refreshesView() const override { return true; }
};

// "Translação dos Eixos XYZ": the value typed for each ticked axis is added to its numbers.
struct TranslateOptions {
    bool x = false, y = false, z = false;
    std::string xValue, yValue, zValue; // as typed, with the locale separator
    bool plus = false;
    char decimalSeparator = '.';
    // Leaves incremental (G91) lines, machine coordinates (G53) and position presets
    // (G92, G10, G52) as they are: only programmed positions move.
    bool followModes = false;
};

// A translation moves nothing without a value for a ticked axis (blanks are none): the
// window and torvel-batch refuse it with this text.
inline constexpr std::string_view kTranslationNeedsAValue = "Favor preencher os campos com o valor da translação.";
bool hasTranslationValue(const TranslateOptions& options);

class TranslateTool : public CoordinateTool {
public:
    explicit TranslateTool(TranslateOptions options);

    std::string tag() const override;
    std::string progressCaption() const override;
    std::string describe() const override;
    FunctionCall call() const override;
    bool readsLinesBefore() const override { return options_.followModes; }
    void readBefore(std::string_view line) override { modes_.read(line); }
    void begin() override { modes_.reset(); }
    LineAction apply(std::string_view line, std::string& out) override;

private:
    TranslateOptions options_;
    Operand values_[3];
    ModalCodes modes_;
};

// "Espelhamento dos Eixos XY": X and Y change sign; G02/G03 and G41/G42 are exchanged.
struct MirrorOptions {
    bool x = false, y = false, g02ToG03 = false, g03ToG02 = false, g41ToG42 = false, g42ToG41 = false, plus = false;
    char decimalSeparator = '.';
    // I changes sign with X and J with Y, so that arcs keep their centres; G02 and G03
    // are exchanged only where the arc's plane holds exactly one mirrored axis, and
    // never inside a comment.
    bool arcCentres = false;
};

class MirrorTool : public CoordinateTool {
public:
    explicit MirrorTool(MirrorOptions options);

    std::string tag() const override;
    std::string progressCaption() const override;
    std::string describe() const override;
    FunctionCall call() const override;
    bool readsLinesBefore() const override { return options_.arcCentres; }
    void readBefore(std::string_view line) override { modes_.read(line); }
    void begin() override { modes_.reset(); }
    LineAction apply(std::string_view line, std::string& out) override;

private:
    bool exchangesArcCodes() const;

    MirrorOptions options_;
    std::string buffer_;
    ModalCodes modes_;
};

// "Converter Coordenadas IJ ": I and J gain or lose the position reached by the lines before.
struct ArcsOptions {
    enum class Direction { None, Absolute, Incremental };
    Direction direction = Direction::None;
    bool plus = false;
    char decimalSeparator = '.';
    // The centre words of the arc's plane (I J on G17, I K on G18, J K on G19), K with
    // the remembered Z; only arc blocks (G2/G3 in force); a centre word the arc
    // omits is written; never "E" notation. The modes and positions of the lines
    // before the range count.
    bool planes = false;
};

class ArcsTool : public CoordinateTool {
public:
    explicit ArcsTool(ArcsOptions options);

    std::string tag() const override;
    std::string progressCaption() const override;
    std::string describe() const override;
    FunctionCall call() const override;
    void begin() override;
    bool readsLinesBefore() const override { return options_.planes; }
    void readBefore(std::string_view line) override;
    LineAction apply(std::string_view line, std::string& out) override;

private:
    LineAction convertPlane(std::string_view line, std::string& out);
    void remember(std::string_view line);

    ArcsOptions options_;
    Operand rememberedX_ {"0"}; // number texts with the locale separator
    Operand rememberedY_ {"0"};
    Operand rememberedZ_ {"0"};
    ModalCodes modes_;
    std::string buffer_;
};

} // namespace torvel
