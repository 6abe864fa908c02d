#pragma once

#include "core/CoordinateRewrite.h"
#include "core/LineTool.h"

#include <string>
#include <string_view>

namespace torvel {

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
    LineAction apply(std::string_view line, std::string& out) override;

private:
    TranslateOptions options_;
    Operand values_[3];
};

// "Espelhamento dos Eixos XY": X and Y change sign; G02/G03 and G41/G42 are exchanged.
struct MirrorOptions {
    bool x = false, y = false, g02ToG03 = false, g03ToG02 = false, g41ToG42 = false, g42ToG41 = false, plus = false;
    char decimalSeparator = '.';
};

class MirrorTool : public CoordinateTool {
public:
    explicit MirrorTool(MirrorOptions options);

    std::string tag() const override;
    std::string progressCaption() const override;
    std::string describe() const override;
    LineAction apply(std::string_view line, std::string& out) override;

private:
    MirrorOptions options_;
    std::string buffer_;
};

// "Converter Coordenadas IJ ": I and J gain or lose the position reached by the lines before.
struct ArcsOptions {
    enum class Direction { None, Absolute, Incremental };
    Direction direction = Direction::None;
    bool plus = false;
    char decimalSeparator = '.';
};

class ArcsTool : public CoordinateTool {
public:
    explicit ArcsTool(ArcsOptions options);

    std::string tag() const override;
    std::string progressCaption() const override;
    std::string describe() const override;
    void begin() override;
    LineAction apply(std::string_view line, std::string& out) override;

private:
    ArcsOptions options_;
    Operand rememberedX_ {"0"}; // number texts with the locale separator
    Operand rememberedY_ {"0"};
};

} // namespace torvel
