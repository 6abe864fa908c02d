#include "core/InsertTool.h"

#include "core/Blank.h"

#include <utility>

namespace torvel {

InsertTool::InsertTool(InsertOptions options)
    : options_(std::move(options))
{
    block_.assign(kInsertedBlockPrefix);
    block_.append(options_.text);
    // The line followed by the text differs from the line, both trimmed, exactly
    // when the text holds something other than blanks.
    canTrigger_ = options_.mode >= 1 && options_.mode <= 3 && !isBlankOnly(options_.text);
}

std::string InsertTool::progressCaption() const { return "Executando a função inserir informações..."; }

std::string InsertTool::describe() const
{
    std::string d = "Adicionado a palavra \"" + options_.text + "\" na linha com a palavra \"" + options_.find + "\"";
    switch (options_.mode) {
    case 1:
        d += "\r\nAdicionado dados no final da linha";
        break;
    case 2:
        d += "\r\nAdicionado dados antes da linha";
        break;
    case 3:
        d += "\r\nAdicionado dados depois da linha";
        break;
    default:
        break;
    }
    return d;
}

LineAction InsertTool::apply(std::string_view line, std::string& out)
{
    if (!canTrigger_ || !holdsText(line, options_.find))
        return LineAction::Keep;
    if (options_.mode == 1) {
        out.clear();
        out.reserve(line.size() + options_.text.size());
        out.append(line);
        out.append(options_.text);
        return LineAction::Replace;
    }
    out.assign(block_);
    return options_.mode == 2 ? LineAction::InsertBefore : LineAction::InsertAfter;
}

} // namespace torvel
