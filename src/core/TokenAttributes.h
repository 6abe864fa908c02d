#pragma once

#include "core/Settings.h"

#include <array>
#include <cstdint>
#include <optional>

namespace torvel {

// Display attribute of a token kind. Colours are 0x00BBGGRR words.
struct TokenAttribute {
    const char* name;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<uint32_t> foreground;
    std::optional<uint32_t> background;
};

inline constexpr int kAttributeCount = 24;
// Indices into the attribute list: Comment, Identifier, Reserved Word, Space,
// String0..String18 (4..22), Test (23).
struct AttributeIndex {
    static constexpr int Comment = 0;
    static constexpr int Identifier = 1;
    static constexpr int ReservedWord = 2;
    static constexpr int Space = 3;
    static constexpr int String0 = 4;
    static constexpr int Test = 23;
};

// The 24 attributes with their colours taken from the colour values.
std::array<TokenAttribute, kAttributeCount> makeAttributes(const ColourValues& colours);
// Attribute index of a kind; -1 for the end of line (and for numbers outside 0..25).
int attributeIndexForKind(int kind);
std::optional<TokenAttribute> attributeForKind(int kind, const ColourValues& colours);

} // namespace torvel
