#include "core/ProgramText.h"

#include "core/Encoding.h"
#include "core/Errors.h"

#include <algorithm>
#include <cstring>
#include <sys/mman.h>

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

void splitLines(std::string_view bytes, std::vector<std::string_view>& out, bool* sawCr, bool* sawLf)
{
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    const size_t estimate = static_cast<size_t>(std::count(p, end, '\n')) + 1;
    out.reserve(out.size() + estimate);
    adviseHugePages(out.data(), out.capacity() * sizeof(std::string_view));
    bool cr = false, lf = false;
    const char* lineStart = p;
    // memchr finds LF fast; CRs are looked for only inside each LF-delimited piece.
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* stop = nl ? nl : end;
        bool pairedWithLf = false;
        const char* q = p;
        while (q < stop) {
            const char* r = static_cast<const char*>(std::memchr(q, '\r', static_cast<size_t>(stop - q)));
            if (!r)
                break;
            cr = true;
            out.emplace_back(lineStart, static_cast<size_t>(r - lineStart));
            if (r + 1 == nl) {
                pairedWithLf = true;
                lineStart = nl + 1;
                break;
            }
            lineStart = q = r + 1;
        }
        if (!nl)
            break;
        lf = true;
        if (!pairedWithLf) {
            out.emplace_back(lineStart, static_cast<size_t>(nl - lineStart));
            lineStart = nl + 1;
        }
        p = nl + 1;
    }
    if (lineStart < end)
        out.emplace_back(lineStart, static_cast<size_t>(end - lineStart));
    if (sawCr)
        *sawCr = cr;
    if (sawLf)
        *sawLf = lf;
}

ProgramText::ProgramText(const ProgramText& other)
    : chunks_(other.chunks_)
    , storedBytes_(other.storedBytes_)
    , lineBreak_(other.lineBreak_)
{
    lines_.reserve(other.lines_.size());
    adviseHugePages(lines_.data(), lines_.capacity() * sizeof(std::string_view));
    lines_.assign(other.lines_.begin(), other.lines_.end());
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
    splitLines(std::string_view(chunk.data.get(), chunk.used), t.lines_, &cr, &lf);
    if (cr && !lf)
        t.lineBreak_ = LineBreak::Cr;
    else if (lf && !cr)
        t.lineBreak_ = LineBreak::Lf;
    else
        t.lineBreak_ = LineBreak::CrLf;
    return t;
}

void ProgramText::appendFileBytes(std::string& out) const
{
    const std::string_view sep = lineBreakBytes(lineBreak_);
    out.reserve(out.size() + byteSize() + lines_.size() * sep.size());
    for (std::string_view l : lines_) {
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
    for (std::string_view l : lines_)
        n += l.size();
    return n;
}

const ProgramText::Chunk& ProgramText::adoptBuffer(std::unique_ptr<char[]> data, size_t size)
{
    auto chunk = std::make_shared<Chunk>();
    chunk->data = std::move(data);
    chunk->used = chunk->capacity = size;
    storedBytes_ += size;
    chunks_.push_back(std::move(chunk));
    return *chunks_.back();
}

std::string_view ProgramText::store(std::string_view text)
{
    if (text.empty())
        return {};
    Chunk* chunk = chunks_.empty() ? nullptr : chunks_.back().get();
    if (!chunk || chunk->capacity - chunk->used < text.size()) {
        auto fresh = std::make_shared<Chunk>();
        // Chunks grow with the text, so a run that rewrites every line allocates a few large ones.
        const size_t want = std::clamp(storedBytes_ / 2, kChunkSize, size_t(64) << 20);
        fresh->capacity = std::max(want, text.size());
        fresh->data.reset(new char[fresh->capacity]);
        adviseHugePages(fresh->data.get(), fresh->capacity);
        chunks_.push_back(fresh);
        chunk = fresh.get();
    }
    char* at = chunk->data.get() + chunk->used;
    std::memcpy(at, text.data(), text.size());
    chunk->used += text.size();
    storedBytes_ += text.size();
    return std::string_view(at, text.size());
}

void ProgramText::maybeCompact()
{
    // Rewritten lines leave dead bytes behind; rebuild once they dominate.
    // Counting the live bytes walks every line, so it is done only after the store has grown a lot.
    if (storedBytes_ < compactCheckAt_)
        return;
    const size_t live = byteSize();
    compactCheckAt_ = storedBytes_ + std::max(live, size_t(64) << 20);
    if (storedBytes_ < 3 * live + (64u << 20))
        return;
    std::unique_ptr<char[]> fresh(new char[std::max<size_t>(live, 1)]);
    char* p = fresh.get();
    for (std::string_view& l : lines_) {
        // An empty line may hold no pointer at all, which memcpy must not be given.
        if (l.empty()) {
            l = {};
            continue;
        }
        std::memcpy(p, l.data(), l.size());
        l = std::string_view(p, l.size());
        p += l.size();
    }
    chunks_.clear();
    storedBytes_ = 0;
    adoptBuffer(std::move(fresh), live);
}

void ProgramText::replace(long long i, std::string_view text)
{
    if (i == static_cast<long long>(lines_.size())) {
        lines_.push_back(store(text));
    } else if (i < 0 || i > static_cast<long long>(lines_.size())) {
        throw IndexError(i);
    } else {
        lines_[static_cast<size_t>(i)] = store(text);
    }
    maybeCompact();
}

void ProgramText::insert(long long i, std::string_view text)
{
    if (i < 0 || i > static_cast<long long>(lines_.size()))
        throw IndexError(i);
    lines_.insert(lines_.begin() + i, store(text));
    maybeCompact();
}

void ProgramText::remove(long long i)
{
    if (i < 0 || i >= static_cast<long long>(lines_.size()))
        throw IndexError(i);
    lines_.erase(lines_.begin() + i);
}

void ProgramText::clear()
{
    lines_.clear();
    chunks_.clear();
    storedBytes_ = 0;
}

std::string ProgramText::text() const
{
    std::string out;
    out.reserve(byteSize() + 2 * lines_.size());
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i)
            out.append("\r\n");
        out.append(lines_[i]);
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
    splitLines(std::string_view(chunk.data.get(), chunk.used), fresh.lines_);
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
    fresh.lines_.reserve(lines.size());
    for (std::string_view l : lines) {
        if (l.empty()) {
            fresh.lines_.emplace_back();
            continue;
        }
        std::memcpy(p, l.data(), l.size());
        fresh.lines_.emplace_back(p, l.size());
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
    lines_ = std::move(lines);
}

void ProgramText::replaceAllLines(std::vector<std::string_view> lines)
{
    lines_ = std::move(lines);
    maybeCompact();
}

bool ProgramText::operator==(const ProgramText& other) const
{
    return lineBreak_ == other.lineBreak_ && lines_.size() == other.lines_.size()
        && std::equal(lines_.begin(), lines_.end(), other.lines_.begin());
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
