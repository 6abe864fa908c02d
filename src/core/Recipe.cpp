#include "core/Recipe.h"

#include "core/CallTools.h"
#include "core/Encoding.h"

namespace torvel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kVersionPrefix = "# torvel recipe ";

std::string_view withoutTrailingBlanks(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

void checkHeader(std::string_view first)
{
    first = withoutTrailingBlanks(first);
    if (first == kRecipeHeader)
        return;
    const std::string wanted(kRecipeHeader);
    if (first.substr(0, kVersionPrefix.size()) == kVersionPrefix) {
        const std::string version(first.substr(kVersionPrefix.size()));
        throw RecipeError {1,
            UsageError {"recipe version '" + version + "' is not known (this version reads '" + wanted + "')",
                "versão de receita '" + version + "' desconhecida (esta versão lê '" + wanted + "')"}};
    }
    throw RecipeError {1,
        UsageError {"not a torvel recipe: the first line must be '" + wanted + "'",
            "não é uma receita do Torvel: a primeira linha deve ser '" + wanted + "'"}};
}

FunctionCall readStep(std::string_view line)
{
    if (!isValidUtf8(line))
        throw UsageError {"the line is not UTF-8 text", "a linha não é texto UTF-8"};
    const std::vector<std::string> words = shellWords(line);
    if (words.empty())
        return {};
    FunctionCall call = parseCall(words);
    if (isReport(call.function))
        throw UsageError {call.function + " changes no program and has no place in a recipe",
            call.function + " não altera o programa e não cabe numa receita"};
    checkCall(call);
    return call;
}

} // namespace

Recipe parseRecipe(std::string_view text)
{
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    Recipe recipe;
    int number = 0;
    size_t start = 0;
    while (start < text.size() || number == 0) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        start = end + 1;
        ++number;
        if (number == 1) {
            checkHeader(line);
            continue;
        }
        try {
            FunctionCall call = readStep(line);
            if (!call.empty())
                recipe.push_back({number, std::move(call)});
        } catch (const UsageError& e) {
            throw RecipeError {number, e};
        }
    }
    return recipe;
}

std::string recipeText(const std::vector<FunctionCall>& calls, std::string_view note)
{
    std::string text(kRecipeHeader);
    text += '\n';
    size_t start = 0;
    while (start < note.size()) {
        size_t end = note.find('\n', start);
        if (end == std::string_view::npos)
            end = note.size();
        text += "# ";
        text += note.substr(start, end - start);
        text += '\n';
        start = end + 1;
    }
    for (const FunctionCall& call : calls)
        text += callLine(call) + '\n';
    return text;
}

RecipeResult applyRecipe(
    Document& doc, const Recipe& recipe, bool utf8Program, RunObserver& observer, StepWatcher* watcher)
{
    const CallReading reading = CallReading::forProgram(utf8Program);
    RecipeResult result;
    for (size_t i = 0; i < recipe.size(); ++i) {
        const bool watched = watcher && watcher->watches(recipe[i]);
        // A copy of the list of lines, not of the bytes.
        const ProgramText before = watched ? doc.text : ProgramText();
        RunResult r = runCall(doc, recipe[i].call, reading, observer);
        if (r.status != RunResult::Status::Done) {
            result.failedStep = i;
            result.failure = std::move(r);
            break;
        }
        if (watched)
            watcher->stepDone(recipe[i], before, doc.text);
    }
    return result;
}

} // namespace torvel
