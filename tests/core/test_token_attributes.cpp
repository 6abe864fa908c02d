#include "core/TokenAttributes.h"
#include "core/Tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace torvel;

namespace {

// The colour each letter shows, from its settings section through its token kind.
TEST(TokenAttributes, WordsTakeTheirSectionColour)
{
    const std::pair<const char*, const char*> rows[]
        = {{"A", "CorA"}, {"B", "CorB"}, {"C", "CorC"}, {"F", "CorF"}, {"G", "CorG"}, {"I", "CorI"}, {"J", "CorJ"},
            {"K", "CorK"}, {"M", "CorM"}, {"N", "CorN"}, {"R", "CorR"}, {"S", "CorS"}, {"T", "CorT"}, {"X", "CorX"},
            {"Y", "CorY"}, {"Z", "CorZ"}, {"%", "Cor1"}, {"#", "Cor2"}, {"<", "Cor3"}};
    ColourValues colours {};
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = static_cast<int32_t>(0x010203 * (i + 1));
    for (const auto& [opening, section] : rows) {
        Tokenizer t;
        t.setLine(std::string(opening) + "1", RangeState::None);
        const auto attr = attributeForKind(t.kind(), colours);
        ASSERT_TRUE(attr.has_value()) << opening;
        size_t index = 0;
        while (std::string(kColourSections[index]) != section)
            ++index;
        EXPECT_EQ(attr->foreground, static_cast<uint32_t>(colours[index])) << opening;
        EXPECT_FALSE(attr->background.has_value());
        EXPECT_FALSE(attr->bold || attr->italic || attr->underline);
    }
}

TEST(TokenAttributes, AttributeNamesByKind)
{
    const ColourValues colours {};
    const std::pair<int, const char*> rows[] = {{0, "Comment"}, {1, "Identifier"}, {2, "Reserved Word"}, {4, "Space"},
        {5, "String0"}, {6, "String1"}, {7, "String10"}, {10, "String13"}, {11, "String14"}, {12, "String15"},
        {15, "String18"}, {16, "String2"}, {23, "String9"}, {24, "Test"}, {25, "Identifier"}};
    for (const auto& [kind, name] : rows) {
        const auto attr = attributeForKind(kind, colours);
        ASSERT_TRUE(attr.has_value()) << kind;
        EXPECT_STREQ(attr->name, name) << kind;
    }
    EXPECT_FALSE(attributeForKind(TokenKind::EndOfLine, colours).has_value());
    EXPECT_FALSE(attributeForKind(26, colours).has_value());
    EXPECT_FALSE(attributeForKind(-1, colours).has_value());
}

TEST(TokenAttributes, FixedStyles)
{
    const auto a = makeAttributes(ColourValues {});
    const TokenAttribute& comment = a[AttributeIndex::Comment];
    EXPECT_TRUE(comment.italic);
    EXPECT_FALSE(comment.bold || comment.underline);
    EXPECT_EQ(comment.foreground, 0x800000u); // navy
    EXPECT_FALSE(comment.background.has_value());
    EXPECT_TRUE(a[AttributeIndex::ReservedWord].bold);
    EXPECT_FALSE(a[AttributeIndex::ReservedWord].foreground.has_value());
    const TokenAttribute& test = a[AttributeIndex::Test];
    EXPECT_TRUE(test.italic && test.underline && !test.bold);
    EXPECT_EQ(test.foreground, 0xFF0000u);
    EXPECT_EQ(test.background, 0xC0C0C0u);
    for (int i : {AttributeIndex::Identifier, AttributeIndex::Space}) {
        EXPECT_FALSE(a[static_cast<size_t>(i)].foreground.has_value());
        EXPECT_FALSE(a[static_cast<size_t>(i)].background.has_value());
    }
    // Unset colours are black, not the editor's default.
    for (int i = AttributeIndex::String0; i < AttributeIndex::String0 + 19; ++i)
        EXPECT_EQ(a[static_cast<size_t>(i)].foreground, 0u);
}

} // namespace
