#include "core/CommentTool.h"

#include "core/Blank.h"

namespace torvel {

std::string CommentTool::progressCaption() const { return "Executando a função comentar bloco..."; }

std::string CommentTool::describe() const
{
    return "Comentado a linha com palavra \"" + options_.find + "\" utilizando os caracteres \"" + options_.open
        + options_.close + "\"";
}

LineAction CommentTool::apply(std::string_view line, std::string& out)
{
    if (!holdsText(line, options_.find))
        return LineAction::Keep;
    out.clear();
    out.reserve(options_.open.size() + line.size() + options_.close.size());
    out.append(options_.open);
    out.append(line);
    out.append(options_.close);
    return LineAction::Replace;
}

} // namespace torvel
