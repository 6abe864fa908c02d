#pragma once

// The highlighter's scanning rules written out plainly, one character at a
// time with every bound checked: the slow reference for the tokenizer and
// its comment-range scan.

#include "core/Tokenizer.h"

#include <string_view>
#include <vector>

namespace torvel::fuzz {

struct NaiveToken {
    int kind;
    size_t start, end;
    bool operator==(const NaiveToken&) const = default;
};

class NaiveTokenizer {
public:
    // The tokens of a line up to its end of line, and the range it ends in.
    int scan(std::string_view line, int range, std::vector<NaiveToken>& out)
    {
        line_ = line;
        range_ = range;
        pos_ = 0;
        for (;;) {
            const size_t start = pos_;
            const int kind = next();
            if (kind == TokenKind::EndOfLine)
                return range_;
            out.push_back({kind, start, pos_});
        }
    }

private:
    unsigned char at(size_t i) const { return i < line_.size() ? static_cast<unsigned char>(line_[i]) : 0; }
    static bool endsLine(unsigned char c) { return c == 0 || c == '\n' || c == '\r'; }

    static const WordRow* wordRow(unsigned char c)
    {
        for (const WordRow& row : kWordRows)
            if (static_cast<unsigned char>(row.open) == c)
                return &row;
        return nullptr;
    }
    static bool isAddressLetter(unsigned char c)
    {
        return std::string_view("ABCFGIJKMNRSTXYZ").find(static_cast<char>(c)) != std::string_view::npos;
    }
    static bool stopsWord(unsigned char c)
    {
        return endsLine(c) || std::string_view(" ()<{}").find(static_cast<char>(c)) != std::string_view::npos
            || isAddressLetter(c);
    }

    int next()
    {
        if (range_ == RangeState::BraceComment)
            return commentBody('}');
        if (range_ == RangeState::ParenComment)
            return commentBody(')');
        range_ = RangeState::None;
        const unsigned char c = at(pos_);
        if (c == 0)
            return TokenKind::EndOfLine;
        if (c == '\n' || c == '\r')
            return lineBreak();
        if (c <= 32) {
            ++pos_;
            while (at(pos_) >= 1 && at(pos_) <= 32)
                ++pos_;
            return TokenKind::Blank;
        }
        if (c == '_' || (c >= 'a' && c <= 'z'))
            return identifier();
        if (c == '{' || c == '(') {
            ++pos_;
            range_ = c == '{' ? RangeState::BraceComment : RangeState::ParenComment;
            commentBody(c == '{' ? '}' : ')');
            return TokenKind::Comment;
        }
        if (const WordRow* row = wordRow(c))
            return word(*row, isAddressLetter(c));
        ++pos_;
        return TokenKind::Symbol;
    }

    int lineBreak()
    {
        if (at(pos_) == '\r' && at(pos_ + 1) == '\n')
            ++pos_;
        ++pos_;
        return TokenKind::Blank;
    }

    int commentBody(char close)
    {
        const unsigned char first = at(pos_);
        if (first == 0)
            return TokenKind::EndOfLine;
        if (first == '\n' || first == '\r')
            return lineBreak();
        for (;;) {
            const unsigned char c = at(pos_);
            if (endsLine(c))
                return TokenKind::Comment;
            ++pos_;
            if (c == static_cast<unsigned char>(close)) {
                range_ = RangeState::None;
                return TokenKind::Comment;
            }
        }
    }

    // Keywords count only written in lower case as whole identifiers.
    int identifier()
    {
        const size_t start = pos_;
        while (at(pos_) == '_' || (at(pos_) >= 'a' && at(pos_) <= 'z'))
            ++pos_;
        const std::string_view word = line_.substr(start, pos_ - start);
        if (word == "velnor")
            return TokenKind::Velnor;
        if (word == "ostrand")
            return TokenKind::Ostrand;
        return TokenKind::Identifier;
    }

    int word(const WordRow& row, bool address)
    {
        ++pos_;
        range_ = row.range;
        for (;;) {
            const unsigned char c = at(pos_);
            if (c == static_cast<unsigned char>(row.close)) {
                ++pos_;
                range_ = RangeState::None;
                break;
            }
            if (address ? stopsWord(c) : endsLine(c))
                break;
            ++pos_;
        }
        return row.kind;
    }

    std::string_view line_;
    int range_ = RangeState::None;
    size_t pos_ = 0;
};

// The lines of a text as a loaded program has them: split at CR LF, CR and LF,
// a final break starting no line.
inline std::vector<std::string_view> naiveLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// Only the two comment ranges reach the next line.
inline int naiveCarried(int range)
{
    return range == RangeState::BraceComment || range == RangeState::ParenComment ? range : RangeState::None;
}

} // namespace torvel::fuzz
