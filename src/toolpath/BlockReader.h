#pragma once

#include "toolpath/NoteReason.h"

#include <cstdint>
#include <string_view>

namespace torvel {

// One line of the program read into its words, values as written (program
// units, nothing converted or applied). Comments, N words and what cannot be
// evaluated are gone; the latter leave a pending note. The views point into
// the line.
struct Block {
    static constexpr int kMaxCodes = 16;
    static constexpr int kMaxNotes = 8;

    struct PendingNote {
        NoteReason reason;
        std::string_view detail;
    };

    // A LinuxCNC O word: a program number ("O1001"), or the start of a
    // subprogram, its end, a call or flow control, whose line is not read further.
    enum class OWord : uint8_t { None, Number, Sub, EndSub, Call, Flow };

    bool blockDelete = false; // the line starts with "/"
    uint32_t letters = 0; // bit (letter - 'A') of every word read, G and M apart
    double values[26]; // the last value of each letter; valid where its bit is set
    uint16_t g[kMaxCodes]; // G codes times ten (G92.1 is 921), in the order written
    int gCount = 0;
    uint16_t m[kMaxCodes];
    int mCount = 0;
    PendingNote notes[kMaxNotes];
    int noteCount = 0;
    OWord oWord = OWord::None;
    std::string_view oName; // "100" or "<name>", as written
    std::string_view oText; // the O word and its keyword, for the note

    bool has(char letter) const { return (letters >> (letter - 'A')) & 1u; }
    double value(char letter) const { return values[letter - 'A']; }
};

// Words are a letter (either case), optional blanks, an optional sign and a
// decimal number ("X-.5", "F5.", "I -20"); comments run from "(" to ")" and
// from ";" or "%" to the end. Several words of one letter: the last counts.
// A G code with more than one decimal, a negative one or one above G6553.5
// is noted as unknown; an M code that is no whole number is passed over.
void readBlock(std::string_view line, Block& block);

} // namespace torvel
