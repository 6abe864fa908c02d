#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

private:
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

} // namespace torvel
