#pragma once

#include "core/Settings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvel {

// Token kinds as the highlighter reports them; the numbers are the interface.
struct TokenKind {
    static constexpr int Comment = 0;
    static constexpr int Identifier = 1;
    static constexpr int Velnor = 2; // keyword, "Reserved Word" attribute
    static constexpr int EndOfLine = 3;
    static constexpr int Blank = 4;
    static constexpr int WordA = 5;
    static constexpr int WordB = 6;
    static constexpr int WordR = 7;
    static constexpr int WordS = 8;
    static constexpr int WordT = 9;
    static constexpr int WordX = 10;
    static constexpr int WordZ = 11;
    static constexpr int WordY = 12;
    static constexpr int Percent = 13;
    static constexpr int Hash = 14;
    static constexpr int Angle = 15;
    static constexpr int WordC = 16;
    static constexpr int WordF = 17;
    static constexpr int WordG = 18;
    static constexpr int WordI = 19;
    static constexpr int WordJ = 20;
    static constexpr int WordK = 21;
    static constexpr int WordM = 22;
    static constexpr int WordN = 23;
    static constexpr int Ostrand = 24; // keyword, "Test" attribute
    static constexpr int Symbol = 25; // any other single character
    static constexpr int Count = 26;
};

// Range state kept between lines: only the two comment states survive a line end.
struct RangeState {
    static constexpr int None = 0;
    static constexpr int BraceComment = 1;
    static constexpr int ParenComment = 2;
    // 3..21: inside the word of a row of kWordRows (row index + 3).
};

// The range a line hands to the next: a comment's, else None (a word never continues).
int carriedRange(int range);

// One address or delimited word: the row of its opening character.
struct WordRow {
    char open;
    char close;
    int kind;
    int range;
    int stringAttribute; // n of "String<n>"
    int colourIndex; // index into ColourValues / kColourSections
};

// Address letters first, then %, # and < >; X closes at Z, Z at Y and Y at A.
inline constexpr std::array<WordRow, 19> kWordRows = {{
    {'A', 'B', TokenKind::WordA, 3, 0, 0},
    {'B', 'C', TokenKind::WordB, 4, 1, 1},
    {'C', 'F', TokenKind::WordC, 5, 2, 2},
    {'F', 'G', TokenKind::WordF, 6, 3, 3},
    {'G', 'I', TokenKind::WordG, 7, 4, 4},
    {'I', 'J', TokenKind::WordI, 8, 5, 5},
    {'J', 'K', TokenKind::WordJ, 9, 6, 6},
    {'K', 'M', TokenKind::WordK, 10, 7, 7},
    {'M', 'N', TokenKind::WordM, 11, 8, 8},
    {'N', 'R', TokenKind::WordN, 12, 9, 9},
    {'R', 'S', TokenKind::WordR, 13, 10, 10},
    {'S', 'T', TokenKind::WordS, 14, 11, 11},
    {'T', 'X', TokenKind::WordT, 15, 12, 12},
    {'X', 'Z', TokenKind::WordX, 16, 13, 13},
    {'Z', 'Y', TokenKind::WordZ, 17, 14, 15}, // String14 is Z but reads CorZ, the 16th section
    {'Y', 'A', TokenKind::WordY, 18, 15, 14}, // String15 is Y, section CorY
    {'%', '%', TokenKind::Percent, 19, 16, 16},
    {'#', '#', TokenKind::Hash, 20, 17, 17},
    {'<', '>', TokenKind::Angle, 21, 18, 18},
}};

// Splits one line into tokens. The line is copied into a reused buffer whose
// terminating zero plays the end-of-line character, so every rule reads one
// table entry per character and never checks a bound.
class Tokenizer {
public:
    // Hands in the range stored at the end of the previous line, copies the
    // line and scans its first token.
    void setLine(std::string_view line, int range);
    void next();

    bool atEnd() const { return kind_ == TokenKind::EndOfLine; }
    int kind() const { return kind_; }
    size_t tokenStart() const { return start_; }
    size_t position() const { return pos_; }
    std::string_view tokenText() const { return std::string_view(line_).substr(start_, pos_ - start_); }

    int range() const { return range_; }
    void setRange(int range) { range_ = range; }
    void resetRange() { range_ = RangeState::None; }

    // Scans a whole line, calling fn(kind, start, end) per token (the end of
    // line excluded), and returns the range to store for the next line.
    template <class Fn> int scanLine(std::string_view line, int rangeIn, Fn&& fn)
    {
        setLine(line, rangeIn);
        while (!atEnd()) {
            fn(kind_, start_, pos_);
            next();
        }
        return range_;
    }

    // The range at the end of each of the next `lines` lines of `text` (a line
    // ends at LF, CR, CR LF or the end of the text), the first line starting in
    // `range`. Appends one value per line to `out`: None or a comment range, the
    // only ones that reach the next line. Lines that can neither open nor
    // continue a comment are only counted, so this runs at memory speed on
    // ordinary programs.
    void lineEndRanges(std::string_view text, size_t lines, int range, std::vector<uint8_t>& out);
    // The same for lines [from, to) of a program's line list (lines hold no
    // separators). Lines that follow one another in memory, as a loaded file's
    // do, are searched for openers as one block.
    void lineEndRanges(
        const std::vector<std::string_view>& lines, size_t from, size_t to, int range, std::vector<uint8_t>& out);

private:
    // The range after a line that starts outside a comment.
    int rangeAfterLine(std::string_view line);
    void endOfLine();
    void lineFeed();
    void carriageReturn();
    void blankRun();
    void singleCharacter();
    void identifier();
    void comment(char close, int range);
    void commentBody(char close);
    void word(const WordRow& row, bool address);

    std::string line_;
    size_t pos_ = 0;
    size_t start_ = 0;
    int kind_ = TokenKind::EndOfLine;
    int range_ = RangeState::None;
};

// "_" and a to z.
bool isIdentifierCharacter(unsigned char c);

// Display attribute of a token kind. Colours are 0x00BBGGRR words.
struct TokenAttribute {
    const char* name;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<uint32_t> foreground;
    std::optional<uint32_t> background;
};

inline constexpr int kAttributeCount = 24;
// Indices into the attribute list: Comment, Identifier, Reserved Word, Space,
// String0..String18 (4..22), Test (23).
struct AttributeIndex {
    static constexpr int Comment = 0;
    static constexpr int Identifier = 1;
    static constexpr int ReservedWord = 2;
    static constexpr int Space = 3;
    static constexpr int String0 = 4;
    static constexpr int Test = 23;
};

// The 24 attributes with their colours taken from the colour values.
std::array<TokenAttribute, kAttributeCount> makeAttributes(const ColourValues& colours);
// Attribute index of a kind; -1 for the end of line (and for numbers outside 0..25).
int attributeIndexForKind(int kind);
std::optional<TokenAttribute> attributeForKind(int kind, const ColourValues& colours);
// The highlighter's default attributes: 0 comment, 1 identifier, 2 keyword, 4 blank; -1 otherwise.
int defaultAttributeIndex(int index);

// The highlighter's fixed texts.
std::string_view highlighterSampleSource();
inline constexpr std::string_view kHighlighterLanguageName = "";
inline constexpr std::string_view kHighlighterDefaultFilter = "All files (*.*)|*.*";

} // namespace torvel
