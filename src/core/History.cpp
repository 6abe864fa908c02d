#include "core/History.h"

#include <algorithm>

namespace torvel {

std::vector<std::string> descriptionLines(std::string_view description)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t at = description.find("\r\n", start);
        if (at == std::string_view::npos) {
            lines.emplace_back(description.substr(start));
            break;
        }
        lines.emplace_back(description.substr(start, at - start));
        start = at + 2;
    }
    return lines;
}

int History::record(std::string_view tag, std::string_view description, const FunctionCall& call)
{
    calls_.push_back({call, false});
    if (items_.empty())
        items_.emplace_back(kAllFunctions);
    const int k = static_cast<int>(items_.size());
    items_.push_back(std::to_string(k) + "-" + std::string(tag));
    log_.push_back("[Função" + std::to_string(k) + "]");
    for (auto& line : descriptionLines(description))
        log_.push_back(std::move(line));
    log_.push_back("[Fim Função" + std::to_string(k) + "]");
    log_.emplace_back();
    return k;
}

void History::markLatestUndone()
{
    for (auto it = calls_.rbegin(); it != calls_.rend(); ++it) {
        if (!it->undone) {
            it->undone = true;
            return;
        }
    }
}

std::vector<FunctionCall> History::callsFrom(int k) const
{
    std::vector<FunctionCall> out;
    for (size_t i = static_cast<size_t>(std::max(k, 1)) - 1; i < calls_.size(); ++i)
        if (!calls_[i].undone && !calls_[i].call.empty())
            out.push_back(calls_[i].call);
    return out;
}

std::vector<std::string> History::viewerLines(int selectedIndex) const
{
    if (selectedIndex < 1)
        return log_;
    const std::string open = "[Função" + std::to_string(selectedIndex) + "]";
    const std::string close = "[Fim Função" + std::to_string(selectedIndex) + "]";
    std::vector<std::string> out;
    bool copying = false;
    for (const std::string& line : log_) {
        if (line == close)
            copying = false;
        if (copying)
            out.push_back(line);
        if (line == open)
            copying = true;
    }
    return out;
}

std::string History::viewerCaption(int selectedIndex)
{
    if (selectedIndex < 1)
        return " Dados de todas as funções aplicadas no arquivo ";
    return " Dados da função número " + std::to_string(selectedIndex) + " aplicada no arquivo ";
}

std::string History::blockText(int k, std::string_view description)
{
    std::string out = "[Função" + std::to_string(k) + "]\n";
    for (const auto& line : descriptionLines(description))
        out += line + "\n";
    out += "[Fim Função" + std::to_string(k) + "]\n\n";
    return out;
}

} // namespace torvel
