// The tokenizer against the scanning rules written out plainly: the same
// tokens and end range for a line, for a text passed in with its line breaks
// and for its lines one after another; tokens cover the line up to its end in
// order, none empty; every kind has the attribute of the highlighter's table.

#include "FuzzSupport.h"
#include "NaiveTokenizer.h"

#include "core/TokenAttributes.h"
#include "core/Tokenizer.h"

using namespace torvel;
using namespace torvel::fuzz;

namespace {

std::string shownTokens(const std::vector<NaiveToken>& tokens, int range)
{
    std::string s;
    for (const NaiveToken& t : tokens)
        s += std::to_string(t.kind) + "@" + std::to_string(t.start) + "-" + std::to_string(t.end) + " ";
    return s + "range " + std::to_string(range);
}

// Attribute list index by kind: comment, identifier, reserved word, none for
// the end of line, space, String0 and String1 for A and B, String10 to String18
// for kinds 7 to 15, String2 to String9 for kinds 16 to 23, Test, identifier.
int expectedAttribute(int kind)
{
    if (kind < 0 || kind >= TokenKind::Count)
        return -1;
    constexpr int table[TokenKind::Count]
        = {0, 1, 2, -1, 3, 4, 5, 14, 15, 16, 17, 18, 19, 20, 21, 22, 6, 7, 8, 9, 10, 11, 12, 13, 23, 1};
    return table[kind];
}

Tokenizer fast;
NaiveTokenizer naive;

int checkLine(std::string_view line, int range)
{
    std::vector<NaiveToken> expected;
    const int expectedRange = naive.scan(line, range, expected);
    std::vector<NaiveToken> got;
    const int gotRange = fast.scanLine(line, range, [&](int kind, size_t start, size_t end) {
        got.push_back({kind, start, end});
    });
    FUZZ_CHECK(got == expected && gotRange == expectedRange,
        shown(line) + " from range " + std::to_string(range) + ": got " + shownTokens(got, gotRange) + ", rules give "
            + shownTokens(expected, expectedRange));
    size_t at = 0;
    for (const NaiveToken& t : got) {
        FUZZ_CHECK(t.start == at && t.end > t.start, shown(line) + ": " + shownTokens(got, gotRange));
        at = t.end;
    }
    const size_t zero = line.find('\0');
    FUZZ_CHECK(at == (zero == std::string_view::npos ? line.size() : zero), shown(line));
    return gotRange;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in(data, size);
    // Any stored value may come back; only the two comment ranges mean anything.
    const int rangeIn = static_cast<int8_t>(in.byte());
    const std::string_view text = in.rest();

    checkLine(text, rangeIn);
    int range = rangeIn;
    for (std::string_view line : naiveLines(text)) {
        const int end = checkLine(line, range);
        FUZZ_CHECK(carriedRange(end) == naiveCarried(end), std::to_string(end));
        range = naiveCarried(end);
    }

    // The token by token interface agrees with the whole-line scan.
    fast.setLine(text, rangeIn);
    while (!fast.atEnd()) {
        FUZZ_CHECK(
            fast.tokenText() == text.substr(fast.tokenStart(), fast.position() - fast.tokenStart()), shown(text));
        FUZZ_CHECK(attributeIndexForKind(fast.kind()) == expectedAttribute(fast.kind()), std::to_string(fast.kind()));
        fast.next();
    }
    for (int kind = -1; kind <= TokenKind::Count; ++kind)
        FUZZ_CHECK(attributeIndexForKind(kind) == expectedAttribute(kind), std::to_string(kind));
    return 0;
}
