// Loading and saving a program: the lines are those of a plain split at CR LF,
// CR and LF; the break style is the one the file used alone, else CR LF;
// saving writes every line and a break after each, and loading that gives the
// lines back. Edits on the text against a plain list of lines, the undo
// ring's compressed form, and the display conversions that must not lose a byte.

#include "FuzzSupport.h"
#include "NaiveTokenizer.h"

#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/ProgramText.h"
#include "core/UndoRing.h"

#include <algorithm>

using namespace torvel;
using namespace torvel::fuzz;

namespace {

using Lines = std::vector<std::string>;

Lines linesOf(const ProgramText& text) { return Lines(text.lines().begin(), text.lines().end()); }

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool naiveUtf8(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        size_t n;
        char32_t c;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            n = 2, c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            n = 3, c = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            n = 4, c = b & 0x07;
        } else {
            return false;
        }
        if (i + n > s.size())
            return false;
        for (size_t k = 1; k < n; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80)
                return false;
            c = c << 6 | (t & 0x3F);
        }
        const char32_t least = n == 2 ? 0x80 : n == 3 ? 0x800 : 0x10000;
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += n;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in(data, size);
    const std::string_view edits = in.text();
    const std::string bytes(in.rest());

    ProgramText text = ProgramText::fromFileBytes(bytes);
    const std::vector<std::string_view> split = naiveLines(bytes);
    Lines model(split.begin(), split.end());
    FUZZ_CHECK(linesOf(text) == model, shown(bytes));
    const bool cr = bytes.find('\r') != std::string::npos, lf = bytes.find('\n') != std::string::npos;
    const LineBreak style = cr && !lf ? LineBreak::Cr : lf && !cr ? LineBreak::Lf : LineBreak::CrLf;
    FUZZ_CHECK(text.lineBreak() == style, shown(bytes));

    std::string saved;
    for (const std::string& l : model)
        saved += l + std::string(lineBreakBytes(style));
    FUZZ_CHECK(text.toFileBytes() == saved, shown(bytes) + " saves as " + shown(text.toFileBytes()));
    std::string streamed;
    text.writeFileBytes([&](const char* p, size_t n) { streamed.append(p, n); });
    FUZZ_CHECK(streamed == saved, shown(bytes));
    const ProgramText reloaded = ProgramText::fromFileBytes(saved);
    FUZZ_CHECK(reloaded == text, shown(saved) + " loads differently");

    const bool high
        = std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) > 127; });
    FUZZ_CHECK(isValidUtf8(bytes) == naiveUtf8(bytes), shown(bytes));
    FUZZ_CHECK(showsAsUtf8(text) == (high && naiveUtf8(bytes)), shown(bytes));
    const std::string display = windows1252ToUtf8(bytes);
    FUZZ_CHECK(naiveUtf8(display) && fromDisplayUtf8(display, false) == bytes, shown(bytes));
    FUZZ_CHECK(naiveUtf8(mixedToUtf8(bytes)), shown(bytes));
    if (naiveUtf8(bytes))
        FUZZ_CHECK(toDisplayUtf8(bytes, true) == bytes && fromDisplayUtf8(bytes, true) == bytes, shown(bytes));

    // Edits, each mirrored on the plain list, with a snapshot kept along.
    UndoRing ring;
    ring.store(text);
    const Lines first = model;
    for (size_t k = 0; k + 1 < edits.size(); k += 2) {
        const auto op = static_cast<uint8_t>(edits[k]);
        const long long at = static_cast<long long>(static_cast<uint8_t>(edits[k + 1]) % 8) - 1;
        const std::string piece(edits.substr(k, static_cast<size_t>(op % 5)));
        const auto n = static_cast<long long>(model.size());
        try {
            switch (op % 4) {
            case 0:
                text.replace(at, piece);
                FUZZ_CHECK(at >= 0 && at <= n, "replace accepted " + std::to_string(at));
                if (at == n)
                    model.push_back(piece);
                else
                    model[static_cast<size_t>(at)] = piece;
                break;
            case 1:
                text.insert(at, piece);
                FUZZ_CHECK(at >= 0 && at <= n, "insert accepted " + std::to_string(at));
                model.insert(model.begin() + at, piece);
                break;
            case 2:
                text.remove(at);
                FUZZ_CHECK(at >= 0 && at < n, "remove accepted " + std::to_string(at));
                model.erase(model.begin() + at);
                break;
            default:
                FUZZ_CHECK(text.line(at) == (at >= 0 && at < n ? model[static_cast<size_t>(at)] : ""), "line");
                break;
            }
        } catch (const IndexError&) {
            FUZZ_CHECK((op % 4 == 2 && (at < 0 || at >= n)) || at < 0 || at > n, "refused " + std::to_string(at));
        }
    }
    FUZZ_CHECK(linesOf(text) == model, "after the edits");
    ProgramText back;
    decompressLines(compressLines(text), back);
    FUZZ_CHECK(linesOf(back) == model, "compressed");
    ring.compact();
    ring.undo(text);
    FUZZ_CHECK(linesOf(text) == first && text.lineBreak() == style, "undo");
    return 0;
}
