#pragma once

#include "core/ProgramText.h"

#include <array>
#include <atomic>
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
    // The same on a worker thread, so that the caller goes on at once. Until a snapshot
    // is compressed, undo restores it from its shared copy; a snapshot that leaves the
    // ring meanwhile (undone, overwritten, reset) stops its compression.
    void compactInBackground();
    // Until the worker has nothing left to compress.
    void waitForCompaction();

    // Open: empty slots, index 0, button off. Close: the same but the button keeps its state.
    void reset(bool disableButton);

    int index() const { return index_; }
    bool buttonEnabled() const { return buttonEnabled_; }
    bool slotOccupied(int slot) const; // slot 1..40
    size_t memoryBytes() const;

private:
    struct Snapshot;
    class Worker;
    std::array<std::shared_ptr<Snapshot>, kSlots> slots_;
    int index_ = 0;
    bool buttonEnabled_ = false;
    bool keepsSnapshots_ = true;
    std::unique_ptr<Worker> worker_; // after the slots: stopped and joined first
};

// Exact, compact form of a line list: line lengths and bytes, zstd-compressed. With
// `stop`, gives up and returns an empty string as soon as it is set.
std::string compressLines(const ProgramText& text, const std::atomic<bool>* stop = nullptr, int threads = 2);
void decompressLines(const std::string& blob, ProgramText& into);

} // namespace torvel
