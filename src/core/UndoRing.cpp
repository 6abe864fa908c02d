#include "core/UndoRing.h"

#include <cstring>
#include <optional>
#include <stdexcept>
#include <zstd.h>

namespace torvel {

struct UndoRing::Slot {
    // Held as a cheap shared copy right after the function, compressed once the run is over.
    std::optional<ProgramText> shared;
    std::string compressed;
    LineBreak lineBreak = LineBreak::CrLf;
};

namespace {

void putVarint(std::string& out, uint64_t v)
{
    while (v >= 0x80) {
        out.push_back(static_cast<char>((v & 0x7F) | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<char>(v));
}

uint64_t getVarint(const char*& p, const char* end)
{
    uint64_t v = 0;
    int shift = 0;
    while (p < end) {
        const auto b = static_cast<unsigned char>(*p++);
        v |= static_cast<uint64_t>(b & 0x7F) << shift;
        if (!(b & 0x80))
            return v;
        shift += 7;
    }
    throw std::runtime_error("corrupt snapshot");
}

} // namespace

namespace {

// Feeds the snapshot layout to zstd in pieces, so no second copy of the text is built.
class SnapshotCompressor {
public:
    explicit SnapshotCompressor(size_t rawSize)
        : ctx_(ZSTD_createCCtx())
    {
        if (!ctx_)
            throw std::runtime_error("snapshot compression failed");
        ZSTD_CCtx_setParameter(ctx_, ZSTD_c_compressionLevel, 1);
        // Two workers where the library has threads; a library without them refuses, which is fine.
        ZSTD_CCtx_setParameter(ctx_, ZSTD_c_nbWorkers, 2);
        ZSTD_CCtx_setPledgedSrcSize(ctx_, rawSize);
        out_.resize(ZSTD_compressBound(rawSize));
        staging_.reserve(kPiece);
    }
    ~SnapshotCompressor() { ZSTD_freeCCtx(ctx_); }
    SnapshotCompressor(const SnapshotCompressor&) = delete;
    SnapshotCompressor& operator=(const SnapshotCompressor&) = delete;

    std::string& staging() { return staging_; }
    void maybeFlush()
    {
        if (staging_.size() >= kPiece)
            push(ZSTD_e_continue);
    }
    std::string finish()
    {
        push(ZSTD_e_end);
        out_.resize(written_);
        out_.shrink_to_fit();
        return std::move(out_);
    }

private:
    static constexpr size_t kPiece = 1 << 20;

    void push(ZSTD_EndDirective mode)
    {
        ZSTD_inBuffer in {staging_.data(), staging_.size(), 0};
        for (;;) {
            ZSTD_outBuffer out {out_.data(), out_.size(), written_};
            const size_t left = ZSTD_compressStream2(ctx_, &out, &in, mode);
            written_ = out.pos;
            if (ZSTD_isError(left))
                throw std::runtime_error("snapshot compression failed");
            if (mode == ZSTD_e_end ? left == 0 : in.pos == in.size)
                break;
        }
        staging_.clear();
    }

    ZSTD_CCtx* ctx_;
    std::string out_;
    size_t written_ = 0;
    std::string staging_;
};

size_t varintSize(uint64_t v)
{
    size_t n = 1;
    while (v >= 0x80) {
        v >>= 7;
        ++n;
    }
    return n;
}

} // namespace

std::string compressLines(const ProgramText& text)
{
    // Lines joined by LF compress best; a text whose lines hold LF themselves keeps
    // every length in front instead.
    bool joinable = true;
    for (std::string_view l : text.lines())
        joinable = joinable && l.find('\n') == std::string_view::npos;
    size_t rawSize = 1 + varintSize(text.count()) + text.byteSize();
    if (joinable) {
        rawSize += text.count();
    } else {
        for (std::string_view l : text.lines())
            rawSize += varintSize(l.size());
    }
    SnapshotCompressor z(rawSize);
    std::string& raw = z.staging();
    raw.push_back(joinable ? 'J' : 'L');
    putVarint(raw, text.count());
    if (joinable) {
        for (std::string_view l : text.lines()) {
            raw.append(l);
            raw.push_back('\n');
            z.maybeFlush();
        }
    } else {
        for (std::string_view l : text.lines()) {
            putVarint(raw, l.size());
            z.maybeFlush();
        }
        for (std::string_view l : text.lines()) {
            raw.append(l);
            z.maybeFlush();
        }
    }
    return z.finish();
}

void decompressLines(const std::string& blob, ProgramText& into)
{
    const unsigned long long size = ZSTD_getFrameContentSize(blob.data(), blob.size());
    if (size == ZSTD_CONTENTSIZE_ERROR || size == ZSTD_CONTENTSIZE_UNKNOWN || size == 0)
        throw std::runtime_error("corrupt snapshot");
    std::unique_ptr<char[]> buffer(new char[size]);
    const std::string_view raw(buffer.get(), size);
    const size_t n = ZSTD_decompress(buffer.get(), size, blob.data(), blob.size());
    if (ZSTD_isError(n) || n != size)
        throw std::runtime_error("corrupt snapshot");
    const char* p = raw.data() + 1;
    const char* end = raw.data() + raw.size();
    const uint64_t count = getVarint(p, end);
    std::vector<std::string_view> lines;
    lines.reserve(count);
    if (raw[0] == 'J') {
        for (uint64_t i = 0; i < count; ++i) {
            const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            if (!lf)
                throw std::runtime_error("corrupt snapshot");
            lines.emplace_back(p, static_cast<size_t>(lf - p));
            p = lf + 1;
        }
    } else {
        std::vector<size_t> lengths(count);
        for (auto& len : lengths)
            len = getVarint(p, end);
        for (size_t len : lengths) {
            if (static_cast<size_t>(end - p) < len)
                throw std::runtime_error("corrupt snapshot");
            lines.emplace_back(p, len);
            p += len;
        }
    }
    into.adoptLines(std::move(buffer), size, std::move(lines));
}

UndoRing::UndoRing() = default;
UndoRing::UndoRing(NoSnapshots)
    : keepsSnapshots_(false)
{ }
UndoRing::~UndoRing() = default;
UndoRing::UndoRing(UndoRing&&) noexcept = default;
UndoRing& UndoRing::operator=(UndoRing&&) noexcept = default;

void UndoRing::store(const ProgramText& text)
{
    ++index_;
    if (index_ > kSlots)
        index_ = 1;
    buttonEnabled_ = true;
    if (!keepsSnapshots_) {
        slots_[static_cast<size_t>(index_ - 1)].reset();
        return;
    }
    auto slot = std::make_unique<Slot>();
    slot->shared = text;
    slot->lineBreak = text.lineBreak();
    slots_[static_cast<size_t>(index_ - 1)] = std::move(slot);
}

bool UndoRing::undo(ProgramText& text)
{
    if (index_ == 0) {
        buttonEnabled_ = false;
        return false;
    }
    bool restored = false;
    auto& slot = slots_[static_cast<size_t>(index_ - 1)];
    if (slot) {
        const LineBreak style = text.lineBreak();
        if (slot->shared)
            text = std::move(*slot->shared);
        else
            decompressLines(slot->compressed, text);
        text.setLineBreak(style);
        slot.reset();
        restored = true;
    }
    --index_;
    if (index_ < 1)
        index_ = kSlots;
    if (!slots_[static_cast<size_t>(index_ - 1)]) {
        index_ = 0;
        buttonEnabled_ = false;
    }
    return restored;
}

void UndoRing::compact()
{
    for (auto& slot : slots_) {
        if (slot && slot->shared) {
            slot->compressed = compressLines(*slot->shared);
            slot->shared.reset();
        }
    }
}

void UndoRing::reset(bool disableButton)
{
    for (auto& slot : slots_)
        slot.reset();
    index_ = 0;
    if (disableButton)
        buttonEnabled_ = false;
}

bool UndoRing::slotOccupied(int slot) const
{
    return slot >= 1 && slot <= kSlots && slots_[static_cast<size_t>(slot - 1)] != nullptr;
}

size_t UndoRing::memoryBytes() const
{
    size_t n = 0;
    for (const auto& slot : slots_) {
        if (!slot)
            continue;
        n += slot->compressed.capacity();
        if (slot->shared)
            n += slot->shared->count() * sizeof(std::string_view) + slot->shared->byteSize();
    }
    return n;
}

} // namespace torvel
