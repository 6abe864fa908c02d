#include "core/WordTools.h"

#include "core/Blank.h"

namespace torvel {

namespace {

std::string quoted(std::string_view text)
{
    std::string q;
    q.reserve(text.size() + 2);
    q.push_back('"');
    q.append(text);
    q.push_back('"');
    return q;
}

// The line with [at, at + length) replaced by `with`, into `out`.
void splice(std::string_view line, size_t at, size_t length, std::string_view with, std::string& out)
{
    out.clear();
    out.reserve(line.size() - length + with.size());
    out.append(line.substr(0, at));
    out.append(with);
    out.append(line.substr(at + length));
}

} // namespace

std::string ReplaceTool::progressCaption() const { return "Executando a função substituir palavra..."; }

std::string ReplaceTool::describe() const
{
    return "Substituido a palavra " + quoted(options_.find) + " pela palavra " + quoted(options_.with) + " no arquivo";
}

LineAction ReplaceTool::apply(std::string_view line, std::string& out)
{
    const size_t at = findText(line, options_.find);
    if (at == std::string_view::npos)
        return LineAction::Keep;
    splice(line, at, options_.find.size(), options_.with, out);
    return LineAction::Replace;
}

std::string DeleteTool::progressCaption() const { return "Executando a função deletar palavra..."; }

std::string DeleteTool::describe() const
{
    if (options_.mode == DeleteOptions::Mode::Text)
        return "Deletado a palavra " + quoted(options_.find) + " do arquivo";
    return "Deletado a linha do arquivo que possuia a palavra " + quoted(options_.find);
}

LineAction DeleteTool::apply(std::string_view line, std::string& out)
{
    switch (options_.mode) {
    case DeleteOptions::Mode::Text: {
        const size_t at = findText(line, options_.find);
        if (at == std::string_view::npos)
            return LineAction::Keep;
        splice(line, at, options_.find.size(), {}, out);
        return LineAction::Replace;
    }
    case DeleteOptions::Mode::Lines:
        return holdsText(line, options_.find) && !isBlankOnly(line) ? LineAction::Remove : LineAction::Keep;
    case DeleteOptions::Mode::None:
        break;
    }
    return LineAction::Keep;
}

} // namespace torvel
