#include "core/TokenAttributes.h"

#include "core/Tokenizer.h"

namespace torvel {

std::array<TokenAttribute, kAttributeCount> makeAttributes(const ColourValues& colours)
{
    static constexpr std::array<const char*, 19> kStringNames
        = {"String0", "String1", "String2", "String3", "String4", "String5", "String6", "String7", "String8", "String9",
            "String10", "String11", "String12", "String13", "String14", "String15", "String16", "String17", "String18"};
    std::array<TokenAttribute, kAttributeCount> a {};
    a[AttributeIndex::Comment] = {"Comment", false, true, false, 0x800000u, std::nullopt};
    a[AttributeIndex::Identifier] = {"Identifier", false, false, false, std::nullopt, std::nullopt};
    a[AttributeIndex::ReservedWord] = {"Reserved Word", true, false, false, std::nullopt, std::nullopt};
    a[AttributeIndex::Space] = {"Space", false, false, false, std::nullopt, std::nullopt};
    for (const WordRow& row : kWordRows) {
        // Only the colour word's low three bytes are a colour.
        const auto rgb = static_cast<uint32_t>(colours[static_cast<size_t>(row.colourIndex)]) & 0xFFFFFFu;
        a[static_cast<size_t>(AttributeIndex::String0 + row.stringAttribute)]
            = {kStringNames[static_cast<size_t>(row.stringAttribute)], false, false, false, rgb, std::nullopt};
    }
    a[AttributeIndex::Test] = {"Test", false, true, true, 0xFF0000u, 0xC0C0C0u};
    return a;
}

int attributeIndexForKind(int kind)
{
    switch (kind) {
    case TokenKind::Comment:
        return AttributeIndex::Comment;
    case TokenKind::Identifier:
    case TokenKind::Symbol:
        return AttributeIndex::Identifier;
    case TokenKind::Velnor:
        return AttributeIndex::ReservedWord;
    case TokenKind::Blank:
        return AttributeIndex::Space;
    case TokenKind::Ostrand:
        return AttributeIndex::Test;
    default:
        break;
    }
    for (const WordRow& row : kWordRows)
        if (row.kind == kind)
            return AttributeIndex::String0 + row.stringAttribute;
    return -1;
}

std::optional<TokenAttribute> attributeForKind(int kind, const ColourValues& colours)
{
    const int i = attributeIndexForKind(kind);
    if (i < 0)
        return std::nullopt;
    return makeAttributes(colours)[static_cast<size_t>(i)];
}

} // namespace torvel
