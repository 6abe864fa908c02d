#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/uio.h>
#include <vector>

namespace torvel {

enum class LineBreak { CrLf, Lf, Cr };

std::string_view lineBreakBytes(LineBreak style);

// The program as an ordered list of byte lines plus the line-break style found
// on load. Line bytes live in immutable shared chunks and the list of lines is
// shared until one side changes it, so a copy (an undo snapshot, a rollback point,
// the input of a worker) costs next to nothing; the first change after a copy pays
// one view per line. Copies never write into storage they share, so a copy may be
// read or changed on another thread while the original goes on changing.
class ProgramText {
public:
    ProgramText() = default;
    ProgramText(const ProgramText& other);
    ProgramText& operator=(const ProgramText& other);
    ProgramText(ProgramText&&) noexcept = default;
    ProgramText& operator=(ProgramText&&) noexcept = default;

    // Parses file bytes: CR LF, lone CR and lone LF separate lines; a final
    // separator starts no line. Detects the style.
    static ProgramText fromFileBytes(std::string bytes);
    // The same from a buffer the text takes over (no copy).
    static ProgramText fromFileBuffer(std::unique_ptr<char[]> bytes, size_t size);
    // The same over bytes that `owner` keeps alive (a mapped file) as long as the text
    // or a copy of it lives.
    static ProgramText fromFileView(std::string_view bytes, std::shared_ptr<const void> owner);
    // Every line followed by the style's separator.
    std::string toFileBytes() const;
    void appendFileBytes(std::string& out) const;
    // Streams the file bytes through `sink` in pieces of about a megabyte.
    template <class Sink> void writeFileBytes(Sink&& sink) const;
    // The file bytes as pieces for writev, in order, at most IOV_MAX at a time. Runs of
    // lines that lie in the text's storage each followed by the style's separator go out
    // where they lie, uncopied; only short pieces are gathered into a buffer first.
    void writeFilePieces(const std::function<void(const iovec* pieces, int count)>& sink) const;

    size_t count() const { return lines().size(); }
    bool empty() const { return lines().empty(); }

    // Outside 0..count-1 gives the empty text, never an error.
    std::string_view line(long long i) const
    {
        const std::vector<std::string_view>& all = lines();
        return (i < 0 || static_cast<size_t>(i) >= all.size()) ? std::string_view() : all[static_cast<size_t>(i)];
    }

    // i == count appends; any other index outside the list throws IndexError.
    void replace(long long i, std::string_view text);
    // 0 <= i <= count.
    void insert(long long i, std::string_view text);
    void remove(long long i);
    void append(std::string_view text) { insert(static_cast<long long>(count()), text); }
    void clear();

    // Lines joined by CR LF, none after the last.
    std::string text() const;
    // Split at CR LF, CR and LF; a final break starts no line. Keeps the style.
    void setText(std::string_view text);
    // Replaces all lines, keeps the style.
    void setLines(const std::vector<std::string_view>& lines);
    // Replaces all lines by views into `buffer`, which the text keeps alive; keeps the style.
    void adoptLines(std::unique_ptr<char[]> buffer, size_t size, std::vector<std::string_view> lines);

    // Copies bytes into the text's own storage; the view stays valid as long as the text
    // (or a copy of it) lives. With replaceAllLines, a run can rebuild the list in one pass.
    std::string_view storeBytes(std::string_view bytes) { return store(bytes); }
    // Every view must come from this text's lines or from storeBytes().
    void replaceAllLines(std::vector<std::string_view> lines);

    LineBreak lineBreak() const { return lineBreak_; }
    void setLineBreak(LineBreak style) { lineBreak_ = style; }

    // Valid until the next change of this text (a change after a copy moves the list).
    const std::vector<std::string_view>& lines() const { return lines_ ? *lines_ : noLines(); }
    // The first line from `from` to `last` (valid indices) that may hold `what`, or last + 1
    // when none does. Lines that lie in order in the storage are searched as one run of
    // bytes, far faster than line by line; a line found may still not hold the text.
    long long firstLineThatMayHold(std::string_view what, long long from, long long last) const;
    size_t byteSize() const; // sum of line lengths

    bool operator==(const ProgramText& other) const;

private:
    // Bytes are append-only and never move once a view points into them; copies of
    // the text share chunks, so `used` lives in the chunk, not in the text. Each stored
    // line is followed by the separator of the style, so that lines stored one after
    // another are written out as one piece.
    struct Chunk {
        std::unique_ptr<char[]> data; // bytes allocated here, or
        std::shared_ptr<const void> owner; // bytes someone else keeps alive (read only)
        const char* bytes = nullptr;
        size_t used = 0;
        size_t capacity = 0;
    };

    using Lines = std::vector<std::string_view>;
    static const Lines& noLines();
    // The list, for changing: its own, copied first when a copy of the text shares it.
    Lines& ownLines()
    {
        if (lines_ && lines_.use_count() == 1) {
            // A copy let go on another thread: its last reads come before our writes.
            std::atomic_thread_fence(std::memory_order_acquire);
            return *lines_;
        }
        return ownSharedLines();
    }
    Lines& ownSharedLines();

    std::string_view store(std::string_view text);
    const Chunk& adoptBuffer(std::unique_ptr<char[]> data, size_t size);
    void finishSplit(bool sawCr, bool sawLf);
    // The chunk whose stored bytes hold `p`, or null.
    const Chunk* chunkHolding(const char* p) const;
    // The end of the stored bytes around `p`, or null when `p` lies in no chunk.
    const char* storageEnd(const char* p) const;
    // Counting the live bytes walks every line, so it is done only after the store has grown a lot.
    void maybeCompact()
    {
        if (storedBytes_ >= compactCheckAt_)
            compactIfMostlyDead();
    }
    void compactIfMostlyDead();

    std::shared_ptr<Lines> lines_; // null: no lines
    std::vector<std::shared_ptr<Chunk>> chunks_;
    size_t storedBytes_ = 0;
    size_t compactCheckAt_ = size_t(64) << 20;
    LineBreak lineBreak_ = LineBreak::CrLf;
};

template <class Sink> void ProgramText::writeFileBytes(Sink&& sink) const
{
    const std::string_view sep = lineBreakBytes(lineBreak_);
    std::string buffer;
    buffer.reserve(1 << 20);
    for (std::string_view l : lines()) {
        if (buffer.size() + l.size() + sep.size() > buffer.capacity() && !buffer.empty()) {
            sink(buffer.data(), buffer.size());
            buffer.clear();
        }
        buffer.append(l);
        buffer.append(sep);
    }
    if (!buffer.empty())
        sink(buffer.data(), buffer.size());
}

// Whether the program is shown as UTF-8: valid UTF-8 that uses it (a byte above 127);
// otherwise it is shown as Windows-1252.
bool showsAsUtf8(const ProgramText& text);

// Asks for transparent huge pages on a large buffer that has not been touched yet.
void adviseHugePages(const void* data, size_t size);

// Splits at CR LF, CR and LF into views of `bytes`; reports which separators were seen.
void splitLines(
    std::string_view bytes, std::vector<std::string_view>& out, bool* sawCr = nullptr, bool* sawLf = nullptr);

} // namespace torvel
