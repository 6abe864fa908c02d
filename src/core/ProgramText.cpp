#include "core/ProgramText.h"

#include "core/Errors.h"

#include <algorithm>
#include <cstring>

namespace torvel {

namespace {
constexpr size_t kChunkSize = 1 << 20;
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
    const char* end = p + bytes.size();
    size_t breaks = 0;
    for (const char* q = p; q < end; ++q)
        breaks += (*q == '\n' || *q == '\r');
    out.reserve(out.size() + breaks + 1);
    bool cr = false, lf = false;
    const char* start = p;
    while (p < end) {
        // Most bytes are neither CR nor LF; memchr finds LF fast and CR is rare in LF files.
        const char* q = p;
        while (q < end && *q != '\n' && *q != '\r')
            ++q;
        if (q == end)
            break;
        out.emplace_back(start, static_cast<size_t>(q - start));
        if (*q == '\r') {
            cr = true;
            if (q + 1 < end && q[1] == '\n') {
                lf = true;
                ++q;
            }
        } else {
            lf = true;
        }
        p = start = q + 1;
    }
    if (start < end)
        out.emplace_back(start, static_cast<size_t>(end - start));
    if (sawCr)
        *sawCr = cr;
    if (sawLf)
        *sawLf = lf;
}

ProgramText ProgramText::fromFileBytes(std::string bytes)
{
    ProgramText t;
    t.adoptBuffer(std::move(bytes));
    bool cr = false, lf = false;
    splitLines(*t.chunks_.back(), t.lines_, &cr, &lf);
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

void ProgramText::adoptBuffer(std::string buffer)
{
    storedBytes_ += buffer.size();
    chunks_.push_back(std::make_shared<std::string>(std::move(buffer)));
}

std::string_view ProgramText::store(std::string_view text)
{
    if (text.empty())
        return {};
    std::string* chunk = chunks_.empty() ? nullptr : chunks_.back().get();
    if (!chunk || chunk->capacity() - chunk->size() < text.size()) {
        auto fresh = std::make_shared<std::string>();
        fresh->reserve(std::max(kChunkSize, text.size()));
        chunks_.push_back(fresh);
        chunk = fresh.get();
    }
    const size_t at = chunk->size();
    chunk->append(text); // within capacity: earlier views stay valid
    storedBytes_ += text.size();
    return std::string_view(chunk->data() + at, text.size());
}

void ProgramText::maybeCompact()
{
    // Rewritten lines leave dead bytes behind; rebuild once they dominate.
    if (storedBytes_ < (64u << 20))
        return;
    const size_t live = byteSize();
    if (storedBytes_ < 3 * live + (64u << 20))
        return;
    auto fresh = std::make_shared<std::string>();
    fresh->reserve(live);
    for (std::string_view& l : lines_) {
        const size_t at = fresh->size();
        fresh->append(l);
        l = std::string_view(fresh->data() + at, l.size());
    }
    chunks_.clear();
    chunks_.push_back(fresh);
    storedBytes_ = live;
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
    fresh.adoptBuffer(std::string(text));
    splitLines(*fresh.chunks_.back(), fresh.lines_);
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
    std::string buffer;
    buffer.reserve(total);
    for (std::string_view l : lines)
        buffer.append(l);
    fresh.adoptBuffer(std::move(buffer));
    const char* p = fresh.chunks_.back()->data();
    fresh.lines_.reserve(lines.size());
    for (std::string_view l : lines) {
        fresh.lines_.emplace_back(p, l.size());
        p += l.size();
    }
    *this = std::move(fresh);
}

void ProgramText::adoptLines(std::shared_ptr<std::string> buffer, std::vector<std::string_view> lines)
{
    chunks_.clear();
    storedBytes_ = buffer->size();
    chunks_.push_back(std::move(buffer));
    lines_ = std::move(lines);
}

bool ProgramText::operator==(const ProgramText& other) const
{
    return lineBreak_ == other.lineBreak_ && lines_.size() == other.lines_.size()
        && std::equal(lines_.begin(), lines_.end(), other.lines_.begin());
}

} // namespace torvel
