#include "core/SpacesTool.h"

#include <algorithm>
#include <array>

namespace torvel {

namespace {

enum CharClass : unsigned char {
    Plain,
    Space,
    Mark, // # and %: protected from here on, no space added
    Opening, // ( and {: removal protects from here on; adding spaces it, then protects
    Spaced, // upper-case address letters that get a space in front
};

constexpr std::array<unsigned char, 256> makeClasses()
{
    std::array<unsigned char, 256> t {};
    t[' '] = Space;
    t['#'] = Mark;
    t['%'] = Mark;
    t['('] = Opening;
    t['{'] = Opening;
    // N, O, E, U, V, W are left out on purpose: a block keeps its N word at the start.
    for (char c : std::string_view("ABCDFGHIJKLMPQRSTXYZ"))
        t[static_cast<unsigned char>(c)] = Spaced;
    return t;
}

constexpr std::array<unsigned char, 256> kClass = makeClasses();

inline unsigned char classOf(char c) { return kClass[static_cast<unsigned char>(c)]; }

} // namespace

// Both passes write through a pointer into a buffer sized for the worst case,
// one store per character: these run over every line of large files.
bool removeSpacesInto(std::string_view line, std::string& out)
{
    const size_t n = line.size();
    out.resize(n);
    const char* s = line.data();
    char* const base = out.data();
    char* d = base;
    size_t i = 0;
    for (; i < n; ++i) {
        const char c = s[i];
        const unsigned char k = classOf(c);
        if (k == Mark || k == Opening)
            break;
        *d = c;
        d += (k != Space);
    }
    const auto kept = static_cast<size_t>(d - base);
    if (kept == i) {
        out.clear();
        return false;
    }
    // The protected tail moves down over the dropped spaces.
    std::copy(s + i, s + n, d);
    out.resize(kept + (n - i));
    return true;
}

bool addSpacesInto(std::string_view line, std::string& out)
{
    const size_t n = line.size();
    if (out.size() < 2 * n)
        out.resize(2 * n);
    const char* s = line.data();
    char* const base = out.data();
    char* d = base;
    size_t i = 0;
    for (; i < n; ++i) {
        const char c = s[i];
        const unsigned char k = classOf(c);
        *d = ' ';
        d += (k >= Opening); // Opening and Spaced get the space
        *d++ = c;
        if (static_cast<unsigned char>(k - Mark) < 2) { // Mark or Opening
            d -= (k == Mark); // a mark is protected itself: it goes back to the tail
            i += (k == Opening);
            break;
        }
    }
    const auto written = static_cast<size_t>(d - base);
    if (written == i) {
        out.clear();
        return false;
    }
    d = std::copy(s + i, s + n, d);
    out.resize(static_cast<size_t>(d - base));
    return true;
}

std::string removeSpaces(std::string_view trimmedLine)
{
    std::string out;
    if (!removeSpacesInto(trimmedLine, out))
        out.assign(trimmedLine);
    return out;
}

std::string addSpaces(std::string_view trimmedLine)
{
    std::string out;
    if (!addSpacesInto(trimmedLine, out))
        out.assign(trimmedLine);
    return out;
}

std::string SpacesTool::progressCaption() const
{
    return options_.add ? "Executando a função adicionar espaço..." : "Executando a função remover espaço...";
}

std::string SpacesTool::describe() const
{
    return options_.add ? "Adcionado espaço em branco no arquivo" : "Removido espaço em branco do arquivo";
}

LineAction SpacesTool::apply(std::string_view line, std::string& out)
{
    if (options_.add)
        return addSpacesInto(line, out) ? LineAction::Replace : LineAction::Keep;
    // The trimmed line lost inner blanks and kept its ends: shorter, so never the same text.
    return removeSpacesInto(line, out) ? LineAction::Rewrite : LineAction::Keep;
}

} // namespace torvel
