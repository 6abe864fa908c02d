#include "core/Tokenizer.h"

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

} // namespace torvel
