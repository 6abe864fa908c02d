#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace torvel {

// Program files are bytes. For display they are read as UTF-8 when the whole
// file is valid UTF-8 and uses it (a byte above 127), otherwise as Windows-1252.

// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Every byte becomes one character; the five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+0081 etc., so the
// conversion can always be undone.
std::string windows1252ToUtf8(std::string_view bytes);
// The Windows-1252 byte of a character, if it has one.
std::optional<unsigned char> windows1252Byte(char32_t c);

// Texts that join the program's own UTF-8 texts with bytes of a file that may be in
// Windows-1252, as history descriptions do: a well-formed UTF-8 sequence stays, any
// other byte above 127 is read as its Windows-1252 character.
std::string mixedToUtf8(std::string_view bytes);
// The bytes as shown: unchanged in UTF-8 mode, else converted from Windows-1252.
std::string toDisplayUtf8(std::string_view bytes, bool utf8);
// A text typed in a dialog (UTF-8) turned into the file's bytes; nullopt when a
// character has no Windows-1252 byte or the text is not valid UTF-8.
std::optional<std::string> fromDisplayUtf8(std::string_view utf8, bool utf8Mode);
// The same, keeping the UTF-8 bytes themselves where it gives nothing: a character the
// file's code page cannot hold is kept rather than dropped.
std::string typedToProgram(std::string_view utf8, bool utf8Mode);

// Length of the UTF-8 sequence that starts with this byte (1 for ASCII and for
// bytes that cannot start a sequence).
inline size_t utf8SequenceLength(unsigned char lead)
{
    if (lead < 0xC0)
        return 1;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return lead < 0xF8 ? 4 : 1;
}

} // namespace torvel
