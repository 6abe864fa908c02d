#include "core/Encoding.h"
#include "core/ProgramText.h"

#include <gtest/gtest.h>

#include <string>

using namespace torvel;

namespace {

struct Utf8Case {
    const char* name;
    std::string bytes;
    bool valid;
    bool showsAsUtf8; // as a one-line program
};

class Utf8Detection : public testing::TestWithParam<Utf8Case> { };

TEST_P(Utf8Detection, Classifies)
{
    const Utf8Case& c = GetParam();
    EXPECT_EQ(isValidUtf8(c.bytes), c.valid);
    EXPECT_EQ(showsAsUtf8(ProgramText::fromFileBytes(c.bytes)), c.showsAsUtf8);
}

TEST(Utf8Detection, ProgramsAreJudgedWhole)
{
    const std::pair<std::string, bool> rows[] = {
        {"G01 X1\r\nG02\r\n", false},
        {"G01\n(opera\xc3\xa7\xc3\xa3o)\nG02\n", true},
        {"(\xc3\xa7)\n(\xe7)\n", false},
        {"(\xe7)\n(\xc3\xa7)\n", false},
        // A sequence cut by a line break is no UTF-8.
        {"(\xc3\n\xa7)\n", false},
    };
    for (const auto& [bytes, utf8] : rows)
        EXPECT_EQ(showsAsUtf8(ProgramText::fromFileBytes(bytes)), utf8) << bytes;
}

// clang-format off
const Utf8Case kUtf8Cases[] = {
    {"Empty", "", true, false},
    {"Ascii", "G01 X1 (a)", true, false},
    {"AsciiWithZero", std::string("a\0b", 3), true, false},
    {"TwoByte", "(opera\xc3\xa7\xc3\xa3o)", true, true},
    {"ThreeByte", "\xe2\x82\xac", true, true},
    {"FourByte", "\xf0\x9f\x98\x80", true, true},
    {"LargestCodePoint", "\xf4\x8f\xbf\xbf", true, true},
    {"Latin1Byte", "(opera\xe7\xe3o)", false, false},
    {"LoneContinuation", "\x80", false, false},
    {"TruncatedAtEnd", "a\xc3", false, false},
    {"TruncatedThreeByte", "\xe2\x82", false, false},
    {"OverlongSlash", "\xc0\xaf", false, false},
    {"OverlongThreeByte", "\xe0\x80\xaf", false, false},
    {"Surrogate", "\xed\xa0\x80", false, false},
    {"AboveMaximum", "\xf4\x90\x80\x80", false, false},
    {"LeadF5", "\xf5\x80\x80\x80", false, false},
    {"AsciiInsideSequence", "\xc3" "A", false, false},
    {"ValidThenInvalid", "\xc3\xa9\xe9", false, false},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Bytes, Utf8Detection, testing::ValuesIn(kUtf8Cases),
    [](const testing::TestParamInfo<Utf8Case>& info) { return std::string(info.param.name); });

TEST(Windows1252, ConvertsHighBytes)
{
    const std::pair<std::string, std::string> rows[] = {
        {"abc", "abc"},
        {"\x80", "\xe2\x82\xac"}, // euro sign
        {"\x85", "\xe2\x80\xa6"}, // ellipsis
        {"\x9f", "\xc5\xb8"}, // Y with diaeresis
        {"\xa0", "\xc2\xa0"}, // no-break space
        {"\xe7\xe3", "\xc3\xa7\xc3\xa3"},
        {"\xff", "\xc3\xbf"},
        {"\x81\x8d\x8f\x90\x9d", "\xc2\x81\xc2\x8d\xc2\x8f\xc2\x90\xc2\x9d"},
        {std::string("\0", 1), std::string("\0", 1)},
    };
    for (const auto& [in, out] : rows)
        EXPECT_EQ(windows1252ToUtf8(in), out);
}

TEST(Windows1252, MixedTextsKeepUtf8AndReadOtherBytesAsWindows1252)
{
    const std::pair<std::string, std::string> rows[] = {
        {"Fun\xc3\xa7\xc3\xa3o", "Fun\xc3\xa7\xc3\xa3o"},
        {"n\xc3\xbamero \"A\xe7o\x80\"", "n\xc3\xbamero \"A\xc3\xa7o\xe2\x82\xac\""},
        {"\xc3", "\xc3\x83"},
        {"\xc3(", "\xc3\x83("},
        {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xe2\x82\xac"}, // a surrogate is no UTF-8
        {"\xf0\x9f\x98\x80\x9d", "\xf0\x9f\x98\x80\xc2\x9d"},
        {"", ""},
    };
    for (const auto& [in, out] : rows)
        EXPECT_EQ(mixedToUtf8(in), out) << in;
}

TEST(Windows1252, EveryByteRoundTrips)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = windows1252ToUtf8(all);
    EXPECT_TRUE(isValidUtf8(utf8));
    EXPECT_EQ(fromDisplayUtf8(utf8, false), all);
}

TEST(DisplayText, Utf8ModeKeepsBytes)
{
    EXPECT_EQ(toDisplayUtf8("\xc3\xa7", true), "\xc3\xa7");
    EXPECT_EQ(toDisplayUtf8("\xc3\xa7", false), "\xc3\x83\xc2\xa7");
    EXPECT_EQ(fromDisplayUtf8("\xc3\xa7", true), "\xc3\xa7");
    EXPECT_EQ(fromDisplayUtf8("\xe2\x82\xac", true), "\xe2\x82\xac");
}

TEST(DisplayText, TypedTextToWindows1252)
{
    EXPECT_EQ(fromDisplayUtf8("N10 (opera\xc3\xa7\xc3\xa3o)", false), "N10 (opera\xe7\xe3o)");
    EXPECT_EQ(fromDisplayUtf8("\xe2\x82\xac", false), "\x80");
    EXPECT_EQ(fromDisplayUtf8("", false), "");
    // Characters the code page lacks, and broken input.
    EXPECT_EQ(fromDisplayUtf8("\xe2\x88\x9e", false), std::nullopt); // infinity
    EXPECT_EQ(fromDisplayUtf8("\xf0\x9f\x98\x80", false), std::nullopt);
    EXPECT_EQ(fromDisplayUtf8("\xe9", false), std::nullopt);
    EXPECT_EQ(fromDisplayUtf8("\xe9", true), std::nullopt);
}

TEST(DisplayText, Windows1252Byte)
{
    EXPECT_EQ(windows1252Byte(U'A'), 'A');
    EXPECT_EQ(windows1252Byte(U'\u20ac'), 0x80);
    EXPECT_EQ(windows1252Byte(U'\u0081'), 0x81);
    EXPECT_EQ(windows1252Byte(U'\u00e9'), 0xe9);
    EXPECT_EQ(windows1252Byte(U'\u0080'), std::nullopt); // U+0080 has no byte: 0x80 is the euro sign
    EXPECT_EQ(windows1252Byte(U'\u0100'), std::nullopt);
}

TEST(DisplayText, SequenceLength)
{
    EXPECT_EQ(utf8SequenceLength('a'), 1u);
    EXPECT_EQ(utf8SequenceLength(0xa9), 1u);
    EXPECT_EQ(utf8SequenceLength(0xc3), 2u);
    EXPECT_EQ(utf8SequenceLength(0xe2), 3u);
    EXPECT_EQ(utf8SequenceLength(0xf0), 4u);
    EXPECT_EQ(utf8SequenceLength(0xff), 1u);
}

} // namespace
