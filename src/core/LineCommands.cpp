#include "core/LineCommands.h"

#include <algorithm>

namespace torvel {

namespace {

void replaceSplitting(ProgramText& text, long long index, std::string_view newText)
{
    // A break inside the typed text starts a further line; one at its very end
    // leaves an empty line before whatever followed the old line.
    size_t begin = 0;
    for (;;) {
        const size_t brk = newText.find_first_of("\r\n", begin);
        const std::string_view piece = newText.substr(begin, brk == std::string_view::npos ? brk : brk - begin);
        if (begin == 0)
            text.replace(index, piece);
        else
            text.insert(++index, piece);
        if (brk == std::string_view::npos)
            break;
        begin = brk + 1;
        if (newText[brk] == '\r' && begin < newText.size() && newText[begin] == '\n')
            ++begin;
    }
}

} // namespace

long long clampRow(const ProgramText& text, long long row)
{
    const long long last = std::max<long long>(1, static_cast<long long>(text.count()));
    return std::clamp<long long>(row, 1, last);
}

LineCommandResult editLine(ProgramText& text, long long row, std::string_view newText)
{
    const long long n = clampRow(text, row);
    std::string description = "Editado a linha número " + std::to_string(n) + "\r\nTexto antigo: \"";
    description.append(text.line(n - 1));
    description.append("\"\r\nTexto novo: \"");
    description.append(newText);
    description.push_back('"');
    // Row 1 of an empty text is the empty line the editor always shows; replacing
    // index count appends it.
    replaceSplitting(text, n - 1, newText);
    return {std::move(description), n, n};
}

LineCommandResult insertLine(ProgramText& text, long long row)
{
    const long long n = clampRow(text, row);
    // An empty text shows one empty line; the new one stands above it.
    if (text.empty())
        text.append({});
    text.insert(n - 1, {});
    return {"Função inserir linha\r\nInserido a linha número " + std::to_string(n), n, n};
}

LineCommandResult deleteLine(ProgramText& text, long long row)
{
    const long long n = clampRow(text, row);
    if (text.count() > 1)
        text.remove(n - 1);
    else if (text.count() == 1)
        text.replace(0, {});
    return {"Função deletar linha\r\nDeletado a linha número " + std::to_string(n), n, clampRow(text, n)};
}

std::string_view historyTag(LineCommand command)
{
    switch (command) {
    case LineCommand::Edit:
        return "Editar Linha";
    case LineCommand::Insert:
        return "Inserir";
    case LineCommand::Delete:
        break;
    }
    return "Deletar";
}

LineCommandResult applyLineCommand(ProgramText& text, LineCommand command, long long row, std::string_view newText)
{
    switch (command) {
    case LineCommand::Edit:
        return editLine(text, row, newText);
    case LineCommand::Insert:
        return insertLine(text, row);
    case LineCommand::Delete:
        break;
    }
    return deleteLine(text, row);
}

} // namespace torvel
