#pragma once

#include "core/ProgramText.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace torvel {

// Forty snapshots of the whole text, taken before each function. A slot knows
// whether it holds a snapshot, so an empty or blank text is undone like any other.
class UndoRing {
public:
    static constexpr int kSlots = 40;

    UndoRing();
    // Without snapshots every store is counted and nothing is kept, so undo
    // changes nothing: for a run whose text is thrown away when it fails.
    struct NoSnapshots { };
    explicit UndoRing(NoSnapshots);
    ~UndoRing();
    UndoRing(const UndoRing&) = delete;
    UndoRing& operator=(const UndoRing&) = delete;
    UndoRing(UndoRing&&) noexcept;
    UndoRing& operator=(UndoRing&&) noexcept;

    // Advance the index (wrapping 41 to 1) and store the text there (Cad_undo).
    void store(const ProgramText& text);
    // Restore the latest snapshot and step back (Del_undo). Returns whether the text changed.
    bool undo(ProgramText& text);

    // Compress snapshots still held as shared copies; restoring stays exact.
    void compact();

    // Open: empty slots, index 0, button off. Close: the same but the button keeps its state.
    void reset(bool disableButton);

    int index() const { return index_; }
    bool buttonEnabled() const { return buttonEnabled_; }
    bool slotOccupied(int slot) const; // slot 1..40
    size_t memoryBytes() const;

private:
    struct Slot;
    std::array<std::unique_ptr<Slot>, kSlots> slots_;
    int index_ = 0;
    bool buttonEnabled_ = false;
    bool keepsSnapshots_ = true;
};

// Exact, compact form of a line list: line lengths and bytes, zstd-compressed.
std::string compressLines(const ProgramText& text);
void decompressLines(const std::string& blob, ProgramText& into);

} // namespace torvel
