#pragma once

// What every fuzz target shares: reading its input as a few choices and texts,
// and failing loudly, naming the input, when a check does not hold.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace torvel::fuzz {

// The input file being replayed; empty under libFuzzer, which names it itself.
inline std::string currentInput;

// Printable form of bytes for a failure message.
inline std::string shown(std::string_view bytes)
{
    std::string s = "\"";
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            s += '\\';
            s += c;
        } else if (u >= 32 && u < 127) {
            s += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", u);
            s += hex;
        }
    }
    return s + "\"";
}

// A message as what() gives it: its text stops at the first zero byte.
inline std::string asWhat(const std::string& message) { return message.substr(0, message.find('\0')); }

[[noreturn]] inline void fail(const char* condition, const char* file, int line, const std::string& detail)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    if (!detail.empty())
        std::fprintf(stderr, "  %s\n", detail.c_str());
    if (!currentInput.empty())
        std::fprintf(stderr, "  input: %s\n", currentInput.c_str());
    std::abort();
}

// The input as a sequence of choices: single bytes, and texts that are a length
// byte followed by that many bytes. An input that runs out reads as zeros and
// empty texts, so every input is a valid one.
class Input {
public:
    Input(const uint8_t* data, size_t size)
        : data_(reinterpret_cast<const char*>(data))
        , size_(size)
    { }

    uint8_t byte() { return at_ < size_ ? static_cast<uint8_t>(data_[at_++]) : 0; }
    bool flag() { return (byte() & 1) != 0; }
    // A choice among n (n > 0).
    size_t below(size_t n) { return byte() % n; }

    std::string_view text()
    {
        const size_t n = byte();
        return take(n);
    }
    std::string_view rest() { return take(size_ - at_); }
    bool empty() const { return at_ >= size_; }

private:
    std::string_view take(size_t n)
    {
        n = n < size_ - at_ ? n : size_ - at_;
        const std::string_view s(data_ + at_, n);
        at_ += n;
        return s;
    }

    const char* data_;
    size_t size_;
    size_t at_ = 0;
};

} // namespace torvel::fuzz

#define FUZZ_CHECK(condition, detail)                                                                                  \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            ::torvel::fuzz::fail(#condition, __FILE__, __LINE__, (detail));                                            \
    } while (false)
