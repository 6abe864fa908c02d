#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace torvel {

// Which comment a line hands to the next: the view shows a window of the program, and
// the highlighter styles the window's first line from the range the lines above leave.

// The range at the end of each of the next `lines` lines of `text` (a line ends at LF,
// CR, CR LF or the end of the text), the first line starting in `range`. Appends one
// value per line to `out`: None or a comment range, the only ones that reach the next
// line. Lines that can neither open nor continue a comment are only counted, so this
// runs at memory speed on ordinary programs.
void lineEndRanges(std::string_view text, size_t lines, int range, std::vector<uint8_t>& out);
// The same for lines [from, to) of a program's line list (lines hold no separators).
// Lines that follow one another in memory, as a loaded file's do, are searched for
// openers as one block.
void lineEndRanges(
    const std::vector<std::string_view>& lines, size_t from, size_t to, int range, std::vector<uint8_t>& out);

// The ranges at the end of a program's lines, measured from the top as far as asked.
// After a change to the program, the ranges measured before it stay as a first answer
// (a guess) until the lines are measured again.
class CommentRangeCache {
public:
    // Another program: nothing is known.
    void clear();
    // The program changed: what is known becomes a guess.
    void textChanged();
    // Lines that would still be measured to know the range before `line` (0-based).
    size_t unmeasured(size_t line) const;
    // The range the lines above `line` leave it in, measuring them as needed.
    int rangeBefore(const std::vector<std::string_view>& lines, size_t line);
    // Measures at most `most` more lines towards `line`; whether the range before it is known.
    bool measureTowards(const std::vector<std::string_view>& lines, size_t line, size_t most);
    // The same from the ranges of before the last change, without measuring; None
    // when they do not reach that far.
    int guessBefore(size_t line) const;

private:
    std::vector<uint8_t> ranges_;
    std::vector<uint8_t> fresh_; // measured since the change, while ranges_ is stale
    bool stale_ = false;
};

} // namespace torvel
