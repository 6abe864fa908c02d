#include "core/ProgramText.h"

#include "core/Encoding.h"
#include "core/Errors.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <sys/mman.h>
#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace torvel {

namespace {
constexpr size_t kChunkSize = 1 << 20;
}

void adviseHugePages(const void* data, size_t size)
{
    // Large buffers fault in far faster as transparent huge pages.
    if (size < (4u << 20))
        return;
    const auto begin = (reinterpret_cast<uintptr_t>(data) + 4095) & ~uintptr_t(4095);
    const auto stop = (reinterpret_cast<uintptr_t>(data) + size) & ~uintptr_t(4095);
    if (stop > begin)
        ::madvise(reinterpret_cast<void*>(begin), stop - begin, MADV_HUGEPAGE);
}

std::string_view lineBreakBytes(LineBreak style)
{
    switch (style) {
    case LineBreak::Lf:
        return "\n";
    case LineBreak::Cr:
        return "\r";
    case LineBreak::CrLf:
        break;
    }
    return "\r\n";
}

namespace {

// Cuts lines at the separators it is shown, in order.
struct LineSplitter {
    const char* base;
    size_t size;
    std::vector<std::string_view>& out;
    size_t lineStart = 0;
    size_t pairedLf = SIZE_MAX; // the LF of a CR LF, which ended its line at the CR
    bool cr = false;
    bool lf = false;

    void separator(size_t at)
    {
        size_t next = at + 1;
        if (base[at] == '\n') {
            lf = true;
            if (at == pairedLf)
                return;
        } else {
            cr = true;
            if (next < size && base[next] == '\n')
                pairedLf = next++;
        }
        out.emplace_back(base + lineStart, at - lineStart);
        lineStart = next;
    }

    // A block of `width` bytes from `at`, with a bit for each LF and each CR in it.
    void block(size_t at, uint64_t lfs, uint64_t crs)
    {
        if (crs == 0 && pairedLf != at) {
            // LFs alone, the usual case: each ends a line.
            lf = lf || lfs != 0;
            for (; lfs; lfs &= lfs - 1) {
                const size_t end = at + static_cast<size_t>(__builtin_ctzll(lfs));
                out.emplace_back(base + lineStart, end - lineStart);
                lineStart = end + 1;
            }
            return;
        }
        for (uint64_t all = lfs | crs; all; all &= all - 1)
            separator(at + static_cast<size_t>(__builtin_ctzll(all)));
    }

    void finish()
    {
        if (lineStart < size)
            out.emplace_back(base + lineStart, size - lineStart);
    }
};

#if defined(__x86_64__)
__attribute__((target("avx2"))) size_t splitWide(LineSplitter& s)
{
    const __m256i lfs = _mm256_set1_epi8('\n');
    const __m256i crs = _mm256_set1_epi8('\r');
    size_t i = 0;
    for (; i + 32 <= s.size; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s.base + i));
        const auto lf = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, lfs)));
        const auto cr = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, crs)));
        if (lf | cr)
            s.block(i, lf, cr);
    }
    return i;
}
#endif

size_t splitNarrow(LineSplitter& s)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i lfs = _mm_set1_epi8('\n');
    const __m128i crs = _mm_set1_epi8('\r');
    for (; i + 16 <= s.size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.base + i));
        const auto lf = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lfs)));
        const auto cr = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, crs)));
        if (lf | cr)
            s.block(i, lf, cr);
    }
#endif
    return i;
}

} // namespace

void splitLines(std::string_view bytes, std::vector<std::string_view>& out, bool* sawCr, bool* sawLf)
{
    // Programs run to some thirty bytes a line; the list grows should the guess fall short.
    out.reserve(out.size() + bytes.size() / 16 + 16);
    adviseHugePages(out.data(), out.capacity() * sizeof(std::string_view));
    LineSplitter s {bytes.data(), bytes.size(), out};
    // One pass finds both separators, a block of bytes at a time.
#if defined(__x86_64__)
    size_t i = __builtin_cpu_supports("avx2") ? splitWide(s) : splitNarrow(s);
#else
    size_t i = splitNarrow(s);
#endif
    for (; i < s.size; ++i)
        if (s.base[i] == '\n' || s.base[i] == '\r')
            s.separator(i);
    s.finish();
    if (sawCr)
        *sawCr = s.cr;
    if (sawLf)
        *sawLf = s.lf;
}

ProgramText::ProgramText(const ProgramText& other)
    : lines_(other.lines_)
    , chunks_(other.chunks_)
    , storedBytes_(other.storedBytes_)
    , lineBreak_(other.lineBreak_)
{
    // Neither side appends to a chunk both hold, so neither writes what the other reads.
    // The chunk's `used` and `capacity` then never change again.
    if (!chunks_.empty()) {
        Chunk& last = *chunks_.back();
        if (last.capacity != last.used)
            last.capacity = last.used;
    }
}

const ProgramText::Lines& ProgramText::noLines()
{
    static const Lines none;
    return none;
}

ProgramText::Lines& ProgramText::ownSharedLines()
{
    auto own = std::make_shared<Lines>();
    if (lines_) {
        own->reserve(lines_->size());
        adviseHugePages(own->data(), own->capacity() * sizeof(std::string_view));
        own->assign(lines_->begin(), lines_->end());
    }
    lines_ = std::move(own);
    return *lines_;
}

ProgramText& ProgramText::operator=(const ProgramText& other)
{
    if (this != &other)
        *this = ProgramText(other);
    return *this;
}

ProgramText ProgramText::fromFileBytes(std::string bytes)
{
    auto data = std::make_unique<char[]>(bytes.size());
    std::memcpy(data.get(), bytes.data(), bytes.size());
    return fromFileBuffer(std::move(data), bytes.size());
}

ProgramText ProgramText::fromFileBuffer(std::unique_ptr<char[]> bytes, size_t size)
{
    ProgramText t;
    const Chunk& chunk = t.adoptBuffer(std::move(bytes), size);
    bool cr = false, lf = false;
    splitLines(std::string_view(chunk.bytes, chunk.used), t.ownLines(), &cr, &lf);
    t.finishSplit(cr, lf);
    return t;
}

ProgramText ProgramText::fromFileView(std::string_view bytes, std::shared_ptr<const void> owner)
{
    ProgramText t;
    auto chunk = std::make_shared<Chunk>();
    chunk->owner = std::move(owner);
    chunk->bytes = bytes.data();
    chunk->used = chunk->capacity = bytes.size();
    t.storedBytes_ = bytes.size();
    t.chunks_.push_back(std::move(chunk));
    bool cr = false, lf = false;
    splitLines(bytes, t.ownLines(), &cr, &lf);
    t.finishSplit(cr, lf);
    return t;
}

void ProgramText::finishSplit(bool sawCr, bool sawLf)
{
    if (sawCr && !sawLf)
        lineBreak_ = LineBreak::Cr;
    else if (sawLf && !sawCr)
        lineBreak_ = LineBreak::Lf;
    else
        lineBreak_ = LineBreak::CrLf;
}

void ProgramText::appendFileBytes(std::string& out) const
{
    const std::string_view sep = lineBreakBytes(lineBreak_);
    out.reserve(out.size() + byteSize() + count() * sep.size());
    for (std::string_view l : lines()) {
        out.append(l);
        out.append(sep);
    }
}

std::string ProgramText::toFileBytes() const
{
    std::string out;
    appendFileBytes(out);
    return out;
}

size_t ProgramText::byteSize() const
{
    size_t n = 0;
    for (std::string_view l : lines())
        n += l.size();
    return n;
}

const ProgramText::Chunk& ProgramText::adoptBuffer(std::unique_ptr<char[]> data, size_t size)
{
    auto chunk = std::make_shared<Chunk>();
    chunk->data = std::move(data);
    chunk->bytes = chunk->data.get();
    chunk->used = chunk->capacity = size;
    storedBytes_ += size;
    chunks_.push_back(std::move(chunk));
    return *chunks_.back();
}

std::string_view ProgramText::store(std::string_view text)
{
    if (text.empty())
        return {};
    const std::string_view sep = lineBreakBytes(lineBreak_);
    const size_t need = text.size() + sep.size();
    Chunk* chunk = chunks_.empty() ? nullptr : chunks_.back().get();
    if (!chunk || !chunk->data || chunk->capacity - chunk->used < need) {
        auto fresh = std::make_shared<Chunk>();
        // Chunks grow with the text, so a run that rewrites every line allocates a few large ones.
        const size_t want = std::clamp(storedBytes_ / 2, kChunkSize, size_t(64) << 20);
        fresh->capacity = std::max(want, need);
        fresh->data.reset(new char[fresh->capacity]);
        fresh->bytes = fresh->data.get();
        adviseHugePages(fresh->data.get(), fresh->capacity);
        chunks_.push_back(fresh);
        chunk = fresh.get();
    }
    char* at = chunk->data.get() + chunk->used;
    std::memcpy(at, text.data(), text.size());
    std::memcpy(at + text.size(), sep.data(), sep.size());
    chunk->used += need;
    storedBytes_ += need;
    return std::string_view(at, text.size());
}

const ProgramText::Chunk* ProgramText::chunkHolding(const char* p) const
{
    const auto at = reinterpret_cast<uintptr_t>(p);
    for (const auto& chunk : chunks_) {
        const auto begin = reinterpret_cast<uintptr_t>(chunk->bytes);
        if (at >= begin && at < begin + chunk->used)
            return chunk.get();
    }
    return nullptr;
}

const char* ProgramText::storageEnd(const char* p) const
{
    const Chunk* chunk = chunkHolding(p);
    return chunk ? chunk->bytes + chunk->used : nullptr;
}

namespace {

// The leftmost `what` lying wholly in [begin, end), or null; `what` is not empty. Where
// the processor has AVX2, the first and last bytes are compared thirty-two places at a
// time and the rest only where both agree.
#if defined(__x86_64__)
__attribute__((target("avx2"))) const char* findBytesWide(
    const char* begin, const char* end, std::string_view what, const char*& stop)
{
    const size_t n = what.size();
    const __m256i firsts = _mm256_set1_epi8(what.front());
    const __m256i lasts = _mm256_set1_epi8(what.back());
    const char* p = begin;
    for (; static_cast<size_t>(end - p) >= n + 31; p += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + n - 1));
        auto hits = static_cast<uint32_t>(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(a, firsts), _mm256_cmpeq_epi8(b, lasts))));
        for (; hits; hits &= hits - 1) {
            const char* at = p + __builtin_ctz(hits);
            if (n <= 2 || std::memcmp(at + 1, what.data() + 1, n - 2) == 0)
                return at;
        }
    }
    stop = p;
    return nullptr;
}
#endif

const char* findBytes(const char* begin, const char* end, std::string_view what)
{
    const size_t n = what.size();
    if (static_cast<size_t>(end - begin) < n)
        return nullptr;
    const char* p = begin;
#if defined(__x86_64__)
    static const bool wide = __builtin_cpu_supports("avx2");
    if (wide)
        if (const char* at = findBytesWide(begin, end, what, p))
            return at;
#endif
    for (const char* last = end - n; p <= last; ++p)
        if (*p == what.front() && std::memcmp(p + 1, what.data() + 1, n - 1) == 0)
            return p;
    return nullptr;
}

} // namespace

long long ProgramText::firstLineThatMayHold(std::string_view what, long long from, long long last) const
{
    const size_t n = what.size();
    if (n == 0)
        return from;
    // A search per chunk: a run that rewrote some lines leaves the rest in the file's
    // bytes and the new ones in a chunk of their own, each in order, so lines alternate
    // between two chunks. Bytes between lines (separators, dead text) can only make a
    // line look like a holder, never hide one.
    struct Scan {
        const Chunk* chunk = nullptr;
        const char* passed = nullptr; // end of the last line passed in this chunk
        const char* from = nullptr; // no `what` lies wholly in [from, to) before `hit`
        const char* to = nullptr;
        const char* hit = nullptr; // the leftmost from `from` within [from, to), or null
        size_t window = 0;
    };
    Scan scans[2];
    int recent = 0;
    for (long long i = from; i <= last; ++i) {
        const std::string_view line = lines()[static_cast<size_t>(i)];
        if (line.size() < n)
            continue;
        const char* const b = line.data();
        const char* const e = b + line.size();
        Scan* s = nullptr;
        for (int k : {recent, 1 - recent}) {
            Scan& c = scans[k];
            if (c.chunk && b >= c.passed && b < c.chunk->bytes + c.chunk->used) {
                s = &c;
                recent = k;
                break;
            }
        }
        if (!s) {
            const Chunk* chunk = chunkHolding(b);
            if (!chunk)
                return i;
            recent = 1 - recent;
            s = &scans[recent];
            *s = Scan {chunk, b, b, b, nullptr, 256};
        }
        const char* const limit = s->chunk->bytes + s->chunk->used;
        if (static_cast<size_t>(limit - b) < line.size())
            return i;
        if (s->hit && s->hit < b)
            *s = Scan {s->chunk, b, b, b, nullptr, s->window};
        // Searched further in growing steps, so that lines scattered in the storage cost
        // a short search each and lines in order a few long ones.
        while (!s->hit && s->to < e) {
            const char* const to = std::min<const char*>(limit, std::max<const char*>(s->to + s->window, e));
            const char* const resume = std::max<const char*>(s->from, s->to - (n - 1));
            s->hit = findBytes(resume, to, what);
            s->to = to;
            s->window = std::min<size_t>(s->window * 2, 64 << 10);
        }
        if (s->hit && s->hit + n <= e)
            return i;
        // The lines that follow in order within the bytes known to be clear go by at a glance.
        const char* const clear = s->hit ? s->hit + n - 1 : s->to;
        const char* passed = e;
        for (; i < last; ++i) {
            const std::string_view next = lines()[static_cast<size_t>(i) + 1];
            if (next.size() < n)
                continue;
            if (next.data() < passed || next.data() + next.size() > clear)
                break;
            passed = next.data() + next.size();
        }
        s->passed = passed;
    }
    return last + 1;
}

void ProgramText::writeFilePieces(const std::function<void(const iovec*, int)>& sink) const
{
    // A piece costs the system about as much as copying a few hundred bytes, so short
    // ones are gathered.
    constexpr size_t kShort = 256;
    constexpr size_t kGathered = 256 << 10;
    const std::string_view sep = lineBreakBytes(lineBreak_);
    std::vector<iovec> batch;
    batch.reserve(IOV_MAX);
    std::unique_ptr<char[]> gathered;
    size_t used = 0;

    auto flush = [&] {
        if (!batch.empty())
            sink(batch.data(), static_cast<int>(batch.size()));
        batch.clear();
        used = 0;
    };
    auto emit = [&](const char* p, size_t n) {
        if (n == 0)
            return;
        if (n >= kShort) {
            batch.push_back(iovec {const_cast<char*>(p), n});
        } else {
            if (!gathered)
                gathered.reset(new char[kGathered]);
            if (used + n > kGathered)
                flush();
            char* at = gathered.get() + used;
            std::memcpy(at, p, n);
            used += n;
            if (!batch.empty() && static_cast<char*>(batch.back().iov_base) + batch.back().iov_len == at)
                batch.back().iov_len += n;
            else
                batch.push_back(iovec {at, n});
        }
        if (batch.size() == IOV_MAX)
            flush();
    };

    // The run of bytes that goes out as it lies, and the end of the storage it lies in.
    const char* run = nullptr;
    size_t runSize = 0;
    const char* runLimit = nullptr;
    for (std::string_view l : lines()) {
        if (!l.empty()) {
            // A view that goes on from the run within its storage extends it.
            if (run && l.data() == run + runSize && runLimit && l.size() <= static_cast<size_t>(runLimit - l.data())) {
                runSize += l.size();
            } else {
                emit(run, runSize);
                run = l.data();
                runSize = l.size();
                runLimit = storageEnd(run);
            }
        }
        // The separator is taken along where the storage holds it right behind the run.
        const char* behind = run + runSize;
        if (run && runLimit && static_cast<size_t>(runLimit - behind) >= sep.size() && behind[0] == sep[0]
            && (sep.size() == 1 || behind[1] == sep[1])) {
            runSize += sep.size();
        } else {
            emit(run, runSize);
            run = nullptr;
            runSize = 0;
            emit(sep.data(), sep.size());
        }
    }
    emit(run, runSize);
    flush();
}

void ProgramText::compactIfMostlyDead()
{
    // Rewritten lines leave dead bytes behind; rebuild once they dominate.
    const size_t live = byteSize();
    compactCheckAt_ = storedBytes_ + std::max(live, size_t(64) << 20);
    if (storedBytes_ < 3 * live + (64u << 20))
        return;
    // Rebuilt with a separator behind each line, so that the text is written out as one piece.
    const std::string_view sep = lineBreakBytes(lineBreak_);
    const size_t size = live + count() * sep.size();
    std::unique_ptr<char[]> fresh(new char[std::max<size_t>(size, 1)]);
    char* p = fresh.get();
    for (std::string_view& l : ownLines()) {
        // An empty line may hold no pointer at all, which memcpy must not be given.
        if (!l.empty())
            std::memcpy(p, l.data(), l.size());
        l = std::string_view(p, l.size());
        p += l.size();
        std::memcpy(p, sep.data(), sep.size());
        p += sep.size();
    }
    chunks_.clear();
    storedBytes_ = 0;
    adoptBuffer(std::move(fresh), size);
}

void ProgramText::replace(long long i, std::string_view text)
{
    const long long n = static_cast<long long>(count());
    if (i < 0 || i > n)
        throw IndexError(i);
    const std::string_view stored = store(text);
    if (i == n)
        ownLines().push_back(stored);
    else
        ownLines()[static_cast<size_t>(i)] = stored;
    maybeCompact();
}

void ProgramText::insert(long long i, std::string_view text)
{
    if (i < 0 || i > static_cast<long long>(count()))
        throw IndexError(i);
    const std::string_view stored = store(text);
    Lines& own = ownLines();
    own.insert(own.begin() + i, stored);
    maybeCompact();
}

void ProgramText::remove(long long i)
{
    if (i < 0 || i >= static_cast<long long>(count()))
        throw IndexError(i);
    Lines& own = ownLines();
    own.erase(own.begin() + i);
}

void ProgramText::clear()
{
    lines_.reset();
    chunks_.clear();
    storedBytes_ = 0;
}

std::string ProgramText::text() const
{
    std::string out;
    const Lines& all = lines();
    out.reserve(byteSize() + 2 * all.size());
    for (size_t i = 0; i < all.size(); ++i) {
        if (i)
            out.append("\r\n");
        out.append(all[i]);
    }
    return out;
}

void ProgramText::setText(std::string_view text)
{
    ProgramText fresh;
    std::unique_ptr<char[]> data(new char[std::max<size_t>(text.size(), 1)]);
    if (!text.empty())
        std::memcpy(data.get(), text.data(), text.size());
    const Chunk& chunk = fresh.adoptBuffer(std::move(data), text.size());
    splitLines(std::string_view(chunk.bytes, chunk.used), fresh.ownLines());
    fresh.lineBreak_ = lineBreak_;
    *this = std::move(fresh);
}

void ProgramText::setLines(const std::vector<std::string_view>& lines)
{
    ProgramText fresh;
    fresh.lineBreak_ = lineBreak_;
    size_t total = 0;
    for (std::string_view l : lines)
        total += l.size();
    std::unique_ptr<char[]> buffer(new char[std::max<size_t>(total, 1)]);
    char* p = buffer.get();
    Lines& own = fresh.ownLines();
    own.reserve(lines.size());
    for (std::string_view l : lines) {
        if (l.empty()) {
            own.emplace_back();
            continue;
        }
        std::memcpy(p, l.data(), l.size());
        own.emplace_back(p, l.size());
        p += l.size();
    }
    fresh.adoptBuffer(std::move(buffer), total);
    *this = std::move(fresh);
}

void ProgramText::adoptLines(std::unique_ptr<char[]> buffer, size_t size, std::vector<std::string_view> lines)
{
    chunks_.clear();
    storedBytes_ = 0;
    adoptBuffer(std::move(buffer), size);
    lines_ = std::make_shared<Lines>(std::move(lines));
}

void ProgramText::replaceAllLines(std::vector<std::string_view> lines)
{
    lines_ = std::make_shared<Lines>(std::move(lines));
    maybeCompact();
}

bool ProgramText::operator==(const ProgramText& other) const
{
    const Lines& mine = lines();
    const Lines& theirs = other.lines();
    return lineBreak_ == other.lineBreak_ && mine.size() == theirs.size()
        && (lines_ == other.lines_ || std::equal(mine.begin(), mine.end(), theirs.begin()));
}

bool showsAsUtf8(const ProgramText& text)
{
    // Line breaks never fall inside a UTF-8 sequence, so the lines can be judged one by one.
    bool high = false;
    for (std::string_view line : text.lines()) {
        const bool ascii
            = std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 128; });
        if (ascii)
            continue;
        if (!isValidUtf8(line))
            return false;
        high = true;
    }
    return high;
}

} // namespace torvel
