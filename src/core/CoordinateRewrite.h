#pragma once

#include "core/Numbers.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace torvel {

// "+", ",", "-", "." and the digits: the characters a coordinate number is made of.
constexpr bool isNumberChar(char c) { return (c >= '+' && c <= '.') || (c >= '0' && c <= '9'); }

// From the first of these to the end of the line nothing is rewritten or read.
constexpr bool isCommentChar(char c) { return c == '#' || c == '%' || c == '(' || c == ')' || c == '{' || c == '}'; }

// A non-owning reference to a tool's number operation (old value → new
// value). It costs one indirect call per word, and the callable it refers to
// must outlive it, which a temporary lambda argument does for the call.
class NumberOperation {
public:
    template <class F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, NumberOperation>)
        NumberOperation(F&& f) // NOLINT(google-explicit-constructor): a lambda passes as it is
        : object_(const_cast<void*>(static_cast<const void*>(std::addressof(f))))
        , call_(&invoke<std::remove_reference_t<F>>)
    { }

    Extended operator()(Extended old) const { return call_(object_, old); }

private:
    template <class G> static Extended invoke(void* object, Extended old) { return (*static_cast<G*>(object))(old); }

    void* object_;
    Extended (*call_)(void*, Extended);
};

// Rewrites every word of `letter` before the first comment character: its
// number is read, passed through `operation` and written back, with "+" when
// `plus` is on or once a word of this letter in the line carried a "+". A
// letter without digits stays as it is; every other character stays in
// place. Appends the new line to `out`. Throws ConversionError for a number
// that cannot be read or a result that cannot be written.
void rewriteCoordinates(
    std::string_view line, char letter, NumberOperation operation, bool plus, char localeSeparator, std::string& out);

std::string rewriteCoordinates(
    std::string_view line, char letter, NumberOperation operation, bool plus, char localeSeparator);

// A number text of the locale grammar (no "." replacement) that a tool adds
// or subtracts: read at the first word that uses it, so that a bad one fails
// only there, and kept once read.
class Operand {
public:
    explicit Operand(std::string_view text = {})
        : text_(text)
    { }
    // The parsed number points into the text, so a copy reads its own again.
    Operand(const Operand& other)
        : text_(other.text_)
    { }
    Operand& operator=(const Operand& other)
    {
        set(other.text_);
        return *this;
    }

    void set(std::string_view text);
    const std::string& text() const { return text_; }

    // Throws ConversionError, at every call, while the text is no number.
    const ParsedNumber& parsed(char localeSeparator);
    const std::optional<Decimal>& exact(char localeSeparator);
    Extended value(char localeSeparator);

private:
    std::string text_;
    bool parsed_ = false;
    char separator_ = 0;
    ParsedNumber number_;
    std::optional<Decimal> exact_;
};

// The number operations of the coordinate tools, described rather than
// called, so that the rewrite can take the exact decimal road where it is
// sure to write the same text as the extended values would.
struct CoordinateOperation {
    enum class Kind {
        Add, // old + operand (translation, centre to absolute)
        Subtract, // old - operand (centre to incremental)
        Mirror, // old + (-2 × old)
    };
    Kind kind = Kind::Add;
    Operand* operand = nullptr; // Add and Subtract
    // Never "E" notation: many controls refuse it. Decimals are then summed exactly, so
    // that 10.0002 - 10.0001 is 0.0001 and not 9.99999999999998E-5.
    bool fixedNotation = false;

    // The same operation on extended values.
    Extended apply(Extended old, char localeSeparator) const;
};

struct LetterOperation {
    char letter;
    CoordinateOperation operation;
};

// The rewrite of each letter in turn, each on the result of the one before,
// done in a single pass where a rewritten word cannot make or unmake a word of
// another letter (always, unless a letter after the first is "E", which a
// written exponent holds). On a conversion error the letters are redone one by one,
// so that the error is the one the first letter in turn meets. Returns
// whether the line held a word of the letters with a number.
bool rewriteCoordinates(
    std::string_view line, std::span<const LetterOperation> letters, bool plus, char localeSeparator, std::string& out);

// The number text of the last word of `letter` before the first comment
// character, with every "." replaced by the locale separator; empty when the
// line has no such word or that word has no digits.
std::string readCoordinate(std::string_view line, char letter, char localeSeparator);

} // namespace torvel
