#include "core/FunctionCall.h"

#include <algorithm>
#include <array>

namespace torvel {

namespace {

struct FunctionShape {
    std::string_view name;
    std::string_view windowName;
    std::array<std::string_view, 8> options; // in the order a call is written
    bool lineCommand = false;
    bool report = false;
};

constexpr FunctionShape kFunctions[] = {
    {"spaces", "Adicionar ou Remover Espaços", {"--remove", "--add"}},
    {"renumber", "Editar Números dos Blocos", {"--start", "--step", "--digits"}},
    {"replace", "Substituir Palavras", {"--find", "--with"}},
    {"delete", "Deletar Palavra", {"--find", "--text", "--lines"}},
    {"comment", "Comentar Linha", {"--find", "--open", "--close"}},
    {"insert", "Inserir Informações", {"--find", "--text", "--at-end", "--before", "--after"}},
    {"edit-line", "Editar Linha", {"--line", "--text"}, true},
    {"insert-line", "Inserir Linha", {"--line"}, true},
    {"delete-line", "Excluir Linha", {"--line"}, true},
    {"translate", "Translação dos Eixos XYZ", {"--x", "--y", "--z", "--plus", "--follow-modes"}},
    {"mirror", "Espelhamento dos Eixos XY",
        {"--x", "--y", "--g02-g03", "--g03-g02", "--g41-g42", "--g42-g41", "--plus", "--arc-centres"}},
    {"arcs", "Converter Coordenadas IJ", {"--absolute", "--incremental", "--plus", "--planes"}},
    {"html", "", {"--settings"}, false, true},
    {"plot", "", {"--view", "--width", "--height"}, false, true},
    {"info", "", {"--json"}, false, true},
};

// Every function takes these; they are written after the function's own.
constexpr std::string_view kSharedOptions[] = {"--from", "--to", "--decimal-separator"};

constexpr std::string_view kValueOptions[]
    = {"-o", "--from", "--to", "--decimal-separator", "--start", "--step", "--digits", "--find", "--with", "--text",
        "--open", "--close", "--line", "--x", "--y", "--z", "--settings", "--view", "--width", "--height"};

const FunctionShape* findFunction(std::string_view name)
{
    for (const FunctionShape& f : kFunctions)
        if (f.name == name)
            return &f;
    return nullptr;
}

bool takesOption(const FunctionShape& f, std::string_view option)
{
    return !option.empty() && std::find(f.options.begin(), f.options.end(), option) != f.options.end();
}

bool isShared(std::string_view option)
{
    return std::find(std::begin(kSharedOptions), std::end(kSharedOptions), option) != std::end(kSharedOptions);
}

std::string quotedName(std::string_view s) { return "'" + std::string(s) + "'"; }

// Bytes a shell reads as themselves anywhere in a word. Bytes above 127 (UTF-8) count too.
bool plainByte(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c >= 0x80
        || std::string_view("_@%+=:,./-").find(static_cast<char>(c)) != std::string_view::npos;
}

bool controlByte(unsigned char c) { return c < 0x20 || c == 0x7F; }

[[noreturn]] void mustBeQuoted(char c)
{
    const std::string shown(1, c);
    throw UsageError {"character '" + shown + "' must be quoted", "o caractere '" + shown + "' precisa de aspas"};
}

[[noreturn]] void unclosedQuote() { throw UsageError {"unclosed quote", "aspas não fechadas"}; }

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The body of $'...' from `i`; returns the index after the closing quote.
size_t readDollarQuoted(std::string_view line, size_t i, std::string& word)
{
    for (;;) {
        if (i >= line.size())
            unclosedQuote();
        const char c = line[i++];
        if (c == '\'')
            return i;
        if (c != '\\') {
            word += c;
            continue;
        }
        if (i >= line.size())
            unclosedQuote();
        const char e = line[i++];
        static constexpr std::string_view kFrom = "abefnrtv\\'\"?";
        static constexpr std::string_view kTo = "\a\b\x1b\f\n\r\t\v\\'\"?";
        if (const size_t at = kFrom.find(e); at != std::string_view::npos) {
            word += kTo[at];
        } else if (e >= '0' && e <= '7') {
            int v = e - '0';
            for (int n = 1; n < 3 && i < line.size() && line[i] >= '0' && line[i] <= '7'; ++n)
                v = v * 8 + (line[i++] - '0');
            word += static_cast<char>(v);
        } else if (e == 'x' && i < line.size() && hexDigit(line[i]) >= 0) {
            int v = hexDigit(line[i++]);
            if (i < line.size() && hexDigit(line[i]) >= 0)
                v = v * 16 + hexDigit(line[i++]);
            word += static_cast<char>(v);
        } else {
            const std::string shown = std::string("\\") + e;
            throw UsageError {
                "unknown escape '" + shown + "' in $'...'", "escape desconhecido '" + shown + "' em $'...'"};
        }
    }
}

// The body of "..." from `i`; returns the index after the closing quote.
size_t readDoubleQuoted(std::string_view line, size_t i, std::string& word)
{
    for (;;) {
        if (i >= line.size())
            unclosedQuote();
        const char c = line[i++];
        if (c == '"')
            return i;
        if (c == '$' || c == '`')
            mustBeQuoted(c);
        if (c == '\\' && i < line.size() && std::string_view("$`\"\\").find(line[i]) != std::string_view::npos)
            word += line[i++];
        else
            word += c;
    }
}

} // namespace

std::optional<std::string> FunctionCall::value(const std::string& name) const
{
    const auto it = values.find(name);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

std::string FunctionCall::required(const std::string& name) const
{
    auto v = value(name);
    if (!v)
        throw UsageError {function + " needs " + name, function + " precisa de " + name};
    return *v;
}

bool isFunction(std::string_view name) { return findFunction(name) != nullptr; }

bool isLineCommand(std::string_view function)
{
    const FunctionShape* f = findFunction(function);
    return f && f->lineCommand;
}

bool isReport(std::string_view function)
{
    const FunctionShape* f = findFunction(function);
    return f && f->report;
}

bool takesValue(std::string_view function, std::string_view option)
{
    if (function == "mirror" && (option == "--x" || option == "--y"))
        return false;
    if (function == "delete" && option == "--text")
        return false;
    return std::find(std::begin(kValueOptions), std::end(kValueOptions), option) != std::end(kValueOptions);
}

std::string_view windowName(std::string_view function)
{
    const FunctionShape* f = findFunction(function);
    return f ? f->windowName : std::string_view();
}

FunctionCall parseCall(std::span<const std::string> words, const CallerOptions& caller)
{
    if (words.empty())
        throw UsageError {"no function given (see --help)", "nenhuma função indicada"};
    FunctionCall call;
    call.function = words[0];
    const std::string& f = call.function;
    const FunctionShape* shape = findFunction(f);
    if (!shape)
        throw UsageError {
            "unknown function " + quotedName(f) + " (see --help)", "função desconhecida " + quotedName(f)};
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& arg = words[i];
        if (arg == "-" || arg.empty() || arg[0] != '-') {
            if (!caller.positional)
                throw UsageError {"unexpected argument " + quotedName(arg), "argumento inesperado " + quotedName(arg)};
            caller.positional->push_back(arg);
            continue;
        }
        const bool callers = caller.values.count(arg) > 0 || caller.flags.count(arg) > 0;
        const bool common = callers || isShared(arg);
        if (!common && !takesOption(*shape, arg))
            throw UsageError {"unknown option " + quotedName(arg) + " for " + f,
                "opção desconhecida " + quotedName(arg) + " para " + f};
        if (shape->report && common && !caller.reportOptions.count(arg))
            throw UsageError {f + " takes no option " + quotedName(arg), f + " não aceita a opção " + quotedName(arg)};
        if (caller.values.count(arg) || (!caller.flags.count(arg) && takesValue(f, arg))) {
            if (i + 1 >= words.size())
                throw UsageError {"option " + arg + " needs a value", "a opção " + arg + " precisa de um valor"};
            call.values[arg] = words[++i];
        } else {
            call.flags.insert(arg);
        }
    }
    return call;
}

std::string callLine(const FunctionCall& call)
{
    std::string line = shellQuoted(call.function);
    const auto add = [&](const std::string& option) {
        if (const auto v = call.value(option))
            line += " " + option + " " + shellQuoted(*v);
        else if (call.flags.count(option))
            line += " " + option;
    };
    if (const FunctionShape* shape = findFunction(call.function)) {
        for (std::string_view option : shape->options)
            if (!option.empty())
                add(std::string(option));
    }
    for (std::string_view option : kSharedOptions)
        add(std::string(option));
    return line;
}

std::string shellQuoted(std::string_view word)
{
    if (!word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return plainByte(c); }))
        return std::string(word);
    if (std::none_of(word.begin(), word.end(), [](char c) { return controlByte(c); })) {
        std::string out = "'";
        for (char c : word)
            out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    }
    std::string out = "$'";
    for (char c : word) {
        switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\\':
        case '\'':
            out += '\\';
            out += c;
            break;
        default:
            if (controlByte(c)) {
                // Always three digits, so that a digit after it is not taken in.
                const auto v = static_cast<unsigned char>(c);
                out += '\\';
                out += static_cast<char>('0' + v / 64);
                out += static_cast<char>('0' + v / 8 % 8);
                out += static_cast<char>('0' + v % 8);
            } else {
                out += c;
            }
        }
    }
    return out + "'";
}

std::vector<std::string> shellWords(std::string_view line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t') {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
            ++i;
            continue;
        }
        if (c == '#' && !inWord)
            break;
        if (c == '\'') {
            const size_t end = line.find('\'', i + 1);
            if (end == std::string_view::npos)
                unclosedQuote();
            word.append(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == '$' && i + 1 < line.size() && line[i + 1] == '\'') {
            i = readDollarQuoted(line, i + 2, word);
        } else if (c == '"') {
            i = readDoubleQuoted(line, i + 1, word);
        } else if (c == '\\') {
            if (i + 1 >= line.size())
                throw UsageError {"a '\\' ends the line", "um '\\' termina a linha"};
            word += line[i + 1];
            i += 2;
        } else if (std::string_view("$`|&;<>()*?[").find(c) != std::string_view::npos || (c == '~' && !inWord)) {
            mustBeQuoted(c);
        } else {
            word += c;
            ++i;
        }
        inWord = true;
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

} // namespace torvel
