#include "core/UndoRing.h"

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <zstd.h>

namespace torvel {

// Held as a cheap shared copy right after the function, compressed once the run is over.
// The worker reads `shared` without the lock while `busy`; only the worker empties it,
// under the lock, so the ring either copies it (busy) or takes it (not busy).
struct UndoRing::Snapshot {
    std::mutex lock;
    std::optional<ProgramText> shared;
    std::string compressed;
    bool busy = false; // the worker is reading `shared`
    bool queued = false; // handed to the worker (ring side only)
    std::atomic<bool> dropped {false}; // left the ring: compressing it is wasted work
};

// One thread that compresses the snapshots handed to it, oldest first.
class UndoRing::Worker {
public:
    Worker()
        : thread_([this] { loop(); })
    { }
    ~Worker()
    {
        {
            std::lock_guard<std::mutex> g(lock_);
            stopping_ = true;
            // The ring is going: nothing it held is worth finishing.
            for (auto& s : queue_)
                s->dropped = true;
            if (current_)
                current_->dropped = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void add(std::shared_ptr<Snapshot> snapshot)
    {
        {
            std::lock_guard<std::mutex> g(lock_);
            queue_.push_back(std::move(snapshot));
        }
        wake_.notify_all();
    }

    void waitIdle()
    {
        std::unique_lock<std::mutex> l(lock_);
        idle_.wait(l, [&] { return queue_.empty() && !current_; });
    }

private:
    void loop()
    {
        for (;;) {
            std::shared_ptr<Snapshot> s;
            {
                std::unique_lock<std::mutex> l(lock_);
                wake_.wait(l, [&] { return stopping_ || !queue_.empty(); });
                if (stopping_)
                    return;
                s = std::move(queue_.front());
                queue_.pop_front();
                current_ = s;
            }
            compress(*s);
            {
                std::lock_guard<std::mutex> g(lock_);
                current_.reset();
            }
            s.reset(); // a snapshot the ring has let go of is freed here
            idle_.notify_all();
        }
    }

    static void compress(Snapshot& s)
    {
        {
            std::lock_guard<std::mutex> g(s.lock);
            if (s.dropped || !s.shared)
                return;
            s.busy = true;
        }
        std::string blob;
        try {
            // One thread: the other core stays with the window.
            blob = compressLines(*s.shared, &s.dropped, 0);
        } catch (const std::exception&) {
            blob.clear(); // kept as a shared copy, which restores as exactly
        }
        std::optional<ProgramText> released;
        {
            std::lock_guard<std::mutex> g(s.lock);
            s.busy = false;
            if (!blob.empty() && !s.dropped) {
                s.compressed = std::move(blob);
                released = std::move(s.shared);
                s.shared.reset();
            }
        }
    }

    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::shared_ptr<Snapshot>> queue_;
    std::shared_ptr<Snapshot> current_;
    bool stopping_ = false;
    std::thread thread_; // last: starts once everything above is in place
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
    SnapshotCompressor(size_t rawSize, const std::atomic<bool>* stop, int threads)
        : ctx_(ZSTD_createCCtx())
        , stop_(stop)
    {
        if (!ctx_)
            throw std::runtime_error("snapshot compression failed");
        ZSTD_CCtx_setParameter(ctx_, ZSTD_c_compressionLevel, 1);
        // Workers where the library has threads; a library without them refuses, which is fine.
        if (threads > 0)
            ZSTD_CCtx_setParameter(ctx_, ZSTD_c_nbWorkers, threads);
        ZSTD_CCtx_setPledgedSrcSize(ctx_, rawSize);
        out_.resize(ZSTD_compressBound(rawSize));
        staging_.reserve(kPiece);
    }
    ~SnapshotCompressor() { ZSTD_freeCCtx(ctx_); }
    SnapshotCompressor(const SnapshotCompressor&) = delete;
    SnapshotCompressor& operator=(const SnapshotCompressor&) = delete;

    std::string& staging() { return staging_; }
    // False once the caller has been asked to stop.
    bool maybeFlush()
    {
        if (staging_.size() < kPiece)
            return true;
        push(ZSTD_e_continue);
        return !(stop_ && stop_->load(std::memory_order_relaxed));
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
    const std::atomic<bool>* stop_;
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

std::string compressLines(const ProgramText& text, const std::atomic<bool>* stop, int threads)
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
    SnapshotCompressor z(rawSize, stop, threads);
    std::string& raw = z.staging();
    raw.push_back(joinable ? 'J' : 'L');
    putVarint(raw, text.count());
    if (joinable) {
        for (std::string_view l : text.lines()) {
            raw.append(l);
            raw.push_back('\n');
            if (!z.maybeFlush())
                return {};
        }
    } else {
        for (std::string_view l : text.lines()) {
            putVarint(raw, l.size());
            if (!z.maybeFlush())
                return {};
        }
        for (std::string_view l : text.lines()) {
            raw.append(l);
            if (!z.maybeFlush())
                return {};
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
    auto& slot = slots_[static_cast<size_t>(index_ - 1)];
    if (slot)
        slot->dropped = true;
    slot.reset();
    if (!keepsSnapshots_)
        return;
    slot = std::make_shared<Snapshot>();
    slot->shared = text;
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
        {
            std::lock_guard<std::mutex> g(slot->lock);
            slot->dropped = true;
            if (slot->shared && slot->busy)
                text = *slot->shared; // the worker is reading it
            else if (slot->shared)
                text = std::move(*slot->shared);
            else
                decompressLines(slot->compressed, text);
        }
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
    waitForCompaction();
    for (auto& slot : slots_) {
        if (slot && slot->shared) {
            slot->compressed = compressLines(*slot->shared);
            slot->shared.reset();
        }
    }
}

void UndoRing::compactInBackground()
{
    for (auto& slot : slots_) {
        if (!slot || slot->queued || !slot->shared)
            continue;
        if (!worker_)
            worker_ = std::make_unique<Worker>();
        slot->queued = true;
        worker_->add(slot);
    }
}

void UndoRing::waitForCompaction()
{
    if (worker_)
        worker_->waitIdle();
}

void UndoRing::reset(bool disableButton)
{
    for (auto& slot : slots_) {
        if (slot)
            slot->dropped = true;
        slot.reset();
    }
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
        std::lock_guard<std::mutex> g(slot->lock);
        n += slot->compressed.capacity();
        if (slot->shared)
            n += slot->shared->count() * sizeof(std::string_view) + slot->shared->byteSize();
    }
    return n;
}

} // namespace torvel
