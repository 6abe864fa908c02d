#include "core/Tokenizer.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace torvel {

namespace {

enum class Rule : uint8_t {
    EndOfLine,
    LineFeed,
    CarriageReturn,
    Blank,
    Identifier,
    BraceComment,
    ParenComment,
    AddressWord,
    DelimitedWord,
    SingleCharacter,
};

// Flags of the per-character class table.
constexpr uint8_t kStop = 1; // ends an address word
constexpr uint8_t kLineEnd = 2; // code 0, LF, CR: ends comments and delimited words

struct Dispatch {
    Rule rule = Rule::SingleCharacter;
    uint8_t row = 0; // kWordRows index for word openers
};

struct Tables {
    std::array<Dispatch, 256> dispatch {};
    std::array<uint8_t, 256> flags {};
    std::array<uint8_t, 256> letterValue {}; // keyword hash: A-Z and a-z 1..26, "_" 31
    std::array<uint8_t, 256> identifierValue {}; // letter value of identifier characters, else 0
};

constexpr bool isAddressLetter(unsigned char c)
{
    for (size_t i = 0; i < 16; ++i)
        if (static_cast<unsigned char>(kWordRows[i].open) == c)
            return true;
    return false;
}

constexpr Tables buildTables()
{
    Tables t;
    for (int c = 'A'; c <= 'Z'; ++c)
        t.letterValue[static_cast<size_t>(c)] = static_cast<uint8_t>(c - 'A' + 1);
    for (int c = 'a'; c <= 'z'; ++c) {
        t.letterValue[static_cast<size_t>(c)] = static_cast<uint8_t>(c - 'a' + 1);
        t.identifierValue[static_cast<size_t>(c)] = static_cast<uint8_t>(c - 'a' + 1);
    }
    t.letterValue['_'] = 31;
    t.identifierValue['_'] = 31;

    for (int c = 1; c <= 32; ++c)
        t.dispatch[static_cast<size_t>(c)].rule = Rule::Blank;
    t.dispatch[0].rule = Rule::EndOfLine;
    t.dispatch['\n'].rule = Rule::LineFeed;
    t.dispatch['\r'].rule = Rule::CarriageReturn;
    for (int c = 'a'; c <= 'z'; ++c)
        t.dispatch[static_cast<size_t>(c)].rule = Rule::Identifier;
    t.dispatch['_'].rule = Rule::Identifier;
    t.dispatch['{'].rule = Rule::BraceComment;
    t.dispatch['('].rule = Rule::ParenComment;
    for (size_t i = 0; i < kWordRows.size(); ++i) {
        const auto c = static_cast<unsigned char>(kWordRows[i].open);
        t.dispatch[c] = {i < 16 ? Rule::AddressWord : Rule::DelimitedWord, static_cast<uint8_t>(i)};
    }

    t.flags[0] = kStop | kLineEnd;
    t.flags['\n'] = kStop | kLineEnd;
    t.flags['\r'] = kStop | kLineEnd;
    for (unsigned char c : {' ', '(', ')', '<', '{', '}'})
        t.flags[c] = kStop;
    for (int c = 0; c < 256; ++c)
        if (isAddressLetter(static_cast<unsigned char>(c)))
            t.flags[static_cast<size_t>(c)] = kStop;
    return t;
}

constexpr Tables kTables = buildTables();

struct Keyword {
    std::string_view text;
    int kind;
};

constexpr std::array<Keyword, 2> kKeywords = {{{"Velnor", TokenKind::Velnor}, {"Ostrand", TokenKind::Ostrand}}};

constexpr unsigned keywordHash(std::string_view word)
{
    unsigned h = 0;
    for (char c : word)
        h += kTables.letterValue[static_cast<unsigned char>(c)];
    return h;
}

constexpr unsigned maxKeywordHash()
{
    unsigned m = 0;
    for (const Keyword& k : kKeywords)
        m = keywordHash(k.text) > m ? keywordHash(k.text) : m;
    return m;
}

constexpr unsigned kMaxKeywordHash = maxKeywordHash();

// One entry per hash value; -1 means "identifier", else the kKeywords index.
constexpr std::array<int8_t, kMaxKeywordHash + 1> buildKeywordTable()
{
    std::array<int8_t, kMaxKeywordHash + 1> table {};
    for (auto& e : table)
        e = -1;
    for (size_t i = 0; i < kKeywords.size(); ++i)
        table[keywordHash(kKeywords[i].text)] = static_cast<int8_t>(i);
    return table;
}

constexpr auto kKeywordTable = buildKeywordTable();
static_assert(keywordHash("Velnor") != keywordHash("Ostrand"), "each keyword needs its own hash entry");

} // namespace

bool isIdentifierCharacter(unsigned char c) { return kTables.identifierValue[c] != 0; }

void Tokenizer::setLine(std::string_view line, int range)
{
    line_.assign(line); // keeps its capacity, so lines after the longest one cost no allocation
    pos_ = 0;
    range_ = range;
    next();
}

void Tokenizer::next()
{
    start_ = pos_;
    if (range_ == RangeState::BraceComment) {
        commentBody('}');
        return;
    }
    if (range_ == RangeState::ParenComment) {
        commentBody(')');
        return;
    }
    range_ = RangeState::None;
    const auto c = static_cast<unsigned char>(line_.c_str()[pos_]);
    const Dispatch d = kTables.dispatch[c];
    switch (d.rule) {
    case Rule::EndOfLine:
        endOfLine();
        break;
    case Rule::LineFeed:
        lineFeed();
        break;
    case Rule::CarriageReturn:
        carriageReturn();
        break;
    case Rule::Blank:
        blankRun();
        break;
    case Rule::Identifier:
        identifier();
        break;
    case Rule::BraceComment:
        comment('}', RangeState::BraceComment);
        break;
    case Rule::ParenComment:
        comment(')', RangeState::ParenComment);
        break;
    case Rule::AddressWord:
    case Rule::DelimitedWord:
        word(kWordRows[d.row], d.rule == Rule::AddressWord);
        break;
    case Rule::SingleCharacter:
        singleCharacter();
        break;
    }
}

// The position stays, so the caller stops asking for tokens.
void Tokenizer::endOfLine() { kind_ = TokenKind::EndOfLine; }

void Tokenizer::lineFeed()
{
    kind_ = TokenKind::Blank;
    ++pos_;
}

void Tokenizer::carriageReturn()
{
    kind_ = TokenKind::Blank;
    ++pos_;
    if (line_.c_str()[pos_] == '\n')
        ++pos_;
}

void Tokenizer::blankRun()
{
    const auto* p = reinterpret_cast<const unsigned char*>(line_.c_str());
    kind_ = TokenKind::Blank;
    ++pos_;
    while (static_cast<unsigned char>(p[pos_] - 1) < 32)
        ++pos_;
}

void Tokenizer::singleCharacter()
{
    kind_ = TokenKind::Symbol;
    ++pos_;
}

// Hashes while measuring; only an identifier whose hash is a keyword's is compared.
void Tokenizer::identifier()
{
    const auto* p = reinterpret_cast<const unsigned char*>(line_.c_str());
    size_t end = pos_;
    unsigned hash = 0;
    for (uint8_t v; (v = kTables.identifierValue[p[end]]) != 0; ++end)
        hash += v;
    kind_ = TokenKind::Identifier;
    if (hash <= kMaxKeywordHash && kKeywordTable[hash] >= 0) {
        const Keyword& k = kKeywords[static_cast<size_t>(kKeywordTable[hash])];
        bool same = k.text.size() == end - pos_;
        for (size_t i = 0; same && i < k.text.size(); ++i)
            same = kTables.letterValue[p[pos_ + i]] == kTables.letterValue[static_cast<unsigned char>(k.text[i])];
        if (same)
            kind_ = k.kind;
    }
    pos_ = end;
}

// Opened here, the token is a comment even when the line ends right after the opener.
void Tokenizer::comment(char close, int range)
{
    ++pos_;
    range_ = range;
    commentBody(close);
    kind_ = TokenKind::Comment;
}

void Tokenizer::commentBody(char close)
{
    const auto* p = reinterpret_cast<const unsigned char*>(line_.c_str());
    switch (p[pos_]) {
    case 0:
        endOfLine();
        return;
    case '\n':
        lineFeed();
        return;
    case '\r':
        carriageReturn();
        return;
    default:
        break;
    }
    kind_ = TokenKind::Comment;
    const auto closing = static_cast<unsigned char>(close);
    for (;;) {
        const unsigned char c = p[pos_];
        if (kTables.flags[c] & kLineEnd)
            return; // the comment goes on in the next line
        ++pos_;
        if (c == closing) {
            range_ = RangeState::None;
            return;
        }
    }
}

void Tokenizer::word(const WordRow& row, bool address)
{
    const auto* p = reinterpret_cast<const unsigned char*>(line_.c_str());
    ++pos_;
    range_ = row.range;
    kind_ = row.kind;
    const auto closing = static_cast<unsigned char>(row.close);
    // An address word stops before any stop-set character; a delimited one only at the line's end.
    const uint8_t stop = address ? kStop : kLineEnd;
    for (;;) {
        const unsigned char c = p[pos_];
        if (c == closing) {
            ++pos_;
            range_ = RangeState::None;
            return;
        }
        if (kTables.flags[c] & stop)
            return;
        ++pos_;
    }
}

int carriedRange(int range)
{
    return range == RangeState::BraceComment || range == RangeState::ParenComment ? range : RangeState::None;
}

namespace {

// The first `c` at or after `from`, or `end`; a cached answer is reused while it lies ahead.
const char* nextByte(const char*& cache, const char* from, const char* end, char c)
{
    if (!cache || cache < from) {
        const void* hit = std::memchr(from, c, static_cast<size_t>(end - from));
        cache = hit ? static_cast<const char*>(hit) : end;
    }
    return cache;
}

// LF bytes in [p, end), eight at a time: a byte of x ^ LFs is zero exactly where
// an LF was, and the sum below sets the top bit of each nonzero byte without
// carrying into the next.
size_t countLineFeeds(const char* p, const char* end)
{
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    constexpr uint64_t kLineFeeds = 0x0A0A0A0A0A0A0A0Aull;
    size_t n = 0;
    for (; end - p >= 8; p += 8) {
        uint64_t x;
        std::memcpy(&x, p, 8);
        x ^= kLineFeeds;
        const uint64_t nonzero = ((x & kLow7) + kLow7) | x;
        // One bit per LF at the bottom of its byte; the product adds the bytes into the top one.
        n += static_cast<size_t>((((~nonzero & ~kLow7) >> 7) * 0x0101010101010101ull) >> 56);
    }
    for (; p < end; ++p)
        n += *p == '\n';
    return n;
}

} // namespace

void Tokenizer::lineEndRanges(std::string_view text, size_t lines, int range, std::vector<uint8_t>& out)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    // Only "(" and "{" open a comment, and a line whose scan starts outside one
    // ends outside one unless it holds either. A CR is left to the line scan,
    // which knows where it ends a line.
    const char* paren = nullptr;
    const char* brace = nullptr;
    const char* cr = nullptr;
    range = carriedRange(range);
    size_t done = 0;
    while (done < lines) {
        if (range == RangeState::None) {
            const char* hit
                = std::min({nextByte(paren, p, end, '('), nextByte(brace, p, end, '{'), nextByte(cr, p, end, '\r')});
            const auto skipped = std::min(countLineFeeds(p, hit), lines - done);
            out.insert(out.end(), skipped, static_cast<uint8_t>(RangeState::None));
            done += skipped;
            if (done == lines)
                break;
            if (skipped > 0)
                p = static_cast<const char*>(memrchr(p, '\n', static_cast<size_t>(hit - p))) + 1;
        }
        const void* lf = std::memchr(p, '\n', static_cast<size_t>(end - p));
        const char* e = std::min(lf ? static_cast<const char*>(lf) : end, nextByte(cr, p, end, '\r'));
        range = carriedRange(
            scanLine(std::string_view(p, static_cast<size_t>(e - p)), range, [](int, size_t, size_t) {}));
        out.push_back(static_cast<uint8_t>(range));
        ++done;
        if (e < end && *e == '\r')
            ++e;
        if (e < end && *e == '\n')
            ++e;
        p = e;
    }
}

namespace {

// Bytes that decide where a comment opens besides "(" and ")": the openers of
// delimited words, which swallow a "(", the brace comment and code 0.
constexpr std::array<uint8_t, 256> kParenOnly = [] {
    std::array<uint8_t, 256> t {};
    t['('] = 1;
    t[')'] = 2;
    for (unsigned char c : {'%', '#', '<', '{', '\0'})
        t[c] = 3;
    return t;
}();

// The first "(" or "{" in [p, end), or end: one pass over the bytes for both.
const char* findOpener(const char* p, const char* end)
{
#if defined(__SSE2__)
    const __m128i paren = _mm_set1_epi8('(');
    const __m128i brace = _mm_set1_epi8('{');
    auto hits = [&](const char* at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        return static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, paren), _mm_cmpeq_epi8(v, brace))));
    };
    for (; end - p >= 32; p += 32) {
        const unsigned low = hits(p);
        const unsigned high = hits(p + 16);
        if ((low | high) != 0)
            return p + (low != 0 ? __builtin_ctz(low) : 16 + __builtin_ctz(high));
    }
#endif
    for (; p < end; ++p)
        if (*p == '(' || *p == '{')
            return p;
    return end;
}

} // namespace

int Tokenizer::rangeAfterLine(std::string_view line)
{
    // Without the bytes above, every "(" outside a comment opens one and the
    // next ")" closes it: the line ends inside a comment exactly when its last
    // "(" comes after its last ")".
    size_t lastOpen = 0;
    size_t lastClose = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        switch (kParenOnly[static_cast<unsigned char>(line[i])]) {
        case 0:
            break;
        case 1:
            lastOpen = i + 1;
            break;
        case 2:
            lastClose = i + 1;
            break;
        default:
            return carriedRange(scanLine(line, RangeState::None, [](int, size_t, size_t) {}));
        }
    }
    return lastOpen > lastClose ? RangeState::ParenComment : RangeState::None;
}

void Tokenizer::lineEndRanges(
    const std::vector<std::string_view>& lines, size_t from, size_t to, int range, std::vector<uint8_t>& out)
{
    // A block grows while no comment stays open past a line end; one that does
    // ends it, so lines beyond are never measured twice over.
    constexpr size_t kFirstBlock = 32;
    constexpr size_t kLargestBlock = 4096;
    size_t blockLines = kFirstBlock;
    to = std::min(to, lines.size());
    range = carriedRange(range);
    size_t i = from;
    while (i < to) {
        if (range != RangeState::None) {
            range = carriedRange(scanLine(lines[i], range, [](int, size_t, size_t) {}));
            out.push_back(static_cast<uint8_t>(range));
            ++i;
            continue;
        }
        // Lines at rising addresses, at most a CR LF apart, are searched for
        // openers as one block. A hit between two lines only costs an exact
        // look at the next one.
        size_t j = i + 1;
        const size_t limit = std::min(to, i + blockLines);
        const char* blockEnd = lines[i].data() + lines[i].size();
        while (j < limit && lines[j].data() >= blockEnd && lines[j].data() - blockEnd <= 2) {
            blockEnd = lines[j].data() + lines[j].size();
            ++j;
        }
        const char* p = lines[i].data();
        while (i < j) {
            const char* hit = p ? findOpener(p, blockEnd) : blockEnd;
            if (hit == blockEnd) {
                out.insert(out.end(), j - i, static_cast<uint8_t>(RangeState::None));
                i = j;
                blockLines = std::min(2 * blockLines, kLargestBlock);
                break;
            }
            size_t k = i;
            while (lines[k].data() + lines[k].size() < hit)
                ++k;
            out.insert(out.end(), k - i, static_cast<uint8_t>(RangeState::None));
            range = rangeAfterLine(lines[k]);
            out.push_back(static_cast<uint8_t>(range));
            i = k + 1;
            if (range != RangeState::None) {
                blockLines = kFirstBlock;
                break;
            }
            p = std::max(hit + 1, lines[k].data() + lines[k].size());
        }
    }
}

std::array<TokenAttribute, kAttributeCount> makeAttributes(const ColourValues& colours)
{
    static constexpr std::array<const char*, 19> kStringNames
        = {"String0", "String1", "String2", "String3", "String4", "String5", "String6", "String7", "String8", "String9",
            "String10", "String11", "String12", "String13", "String14", "String15", "String16", "String17", "String18"};
    std::array<TokenAttribute, kAttributeCount> a {};
    a[AttributeIndex::Comment] = {"Comment", false, true, false, 0x800000u, std::nullopt};
    a[AttributeIndex::Identifier] = {"Identifier", false, false, false, std::nullopt, std::nullopt};
    a[AttributeIndex::ReservedWord] = {"Reserved Word", true, false, false, std::nullopt, std::nullopt};
    a[AttributeIndex::Space] = {"Space", false, false, false, std::nullopt, std::nullopt};
    for (const WordRow& row : kWordRows) {
        // Only the colour word's low three bytes are a colour.
        const auto rgb = static_cast<uint32_t>(colours[static_cast<size_t>(row.colourIndex)]) & 0xFFFFFFu;
        a[static_cast<size_t>(AttributeIndex::String0 + row.stringAttribute)]
            = {kStringNames[static_cast<size_t>(row.stringAttribute)], false, false, false, rgb, std::nullopt};
    }
    a[AttributeIndex::Test] = {"Test", false, true, true, 0xFF0000u, 0xC0C0C0u};
    return a;
}

int attributeIndexForKind(int kind)
{
    switch (kind) {
    case TokenKind::Comment:
        return AttributeIndex::Comment;
    case TokenKind::Identifier:
    case TokenKind::Symbol:
        return AttributeIndex::Identifier;
    case TokenKind::Velnor:
        return AttributeIndex::ReservedWord;
    case TokenKind::Blank:
        return AttributeIndex::Space;
    case TokenKind::Ostrand:
        return AttributeIndex::Test;
    default:
        break;
    }
    for (const WordRow& row : kWordRows)
        if (row.kind == kind)
            return AttributeIndex::String0 + row.stringAttribute;
    return -1;
}

std::optional<TokenAttribute> attributeForKind(int kind, const ColourValues& colours)
{
    const int i = attributeIndexForKind(kind);
    if (i < 0)
        return std::nullopt;
    return makeAttributes(colours)[static_cast<size_t>(i)];
}

int defaultAttributeIndex(int index)
{
    switch (index) {
    case 0:
        return AttributeIndex::Comment;
    case 1:
        return AttributeIndex::Identifier;
    case 2:
        return AttributeIndex::ReservedWord;
    case 4:
        return AttributeIndex::Space;
    default:
        return -1;
    }
}

std::string_view highlighterSampleSource()
{
    return "{ Sample source for the demo highlighter }\r\n"
           "G01X9.02 M09\r\n"
           "\r\n"
           "This highlighter will recognize the words Hello and\r\n"
           "World as keywords. It will also highlight \"Strings\".\r\n"
           "\r\n"
           "And a special keyword type: SynEdit\r\n"
           "\r\n"
           "/* This style of comments is also highlighted */";
}

} // namespace torvel
