#include "core/HtmlListing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace torvel;

namespace {

ProgramText program(const std::vector<std::string>& lines)
{
    ProgramText t;
    std::vector<std::string_view> views(lines.begin(), lines.end());
    t.setLines(views);
    return t;
}

// The text between the <pre> tags, without the newline the parser drops.
std::string preContent(const std::string& page)
{
    const std::string open = "<pre>\n";
    const size_t b = page.find(open);
    const size_t e = page.find("</pre>");
    if (b == std::string::npos || e == std::string::npos)
        return "<missing pre>";
    return page.substr(b + open.size(), e - b - open.size());
}

std::string span(int kind, const std::string& text)
{
    return "<span class=\"t" + std::to_string(kind) + "\">" + text + "</span>";
}

struct ListingCase {
    const char* name;
    std::vector<std::string> lines;
    std::string pre;
};

class HtmlListingPre : public testing::TestWithParam<ListingCase> { };

TEST_P(HtmlListingPre, Content)
{
    const ListingCase& c = GetParam();
    EXPECT_EQ(preContent(htmlListing(program(c.lines), ColourValues {})), c.pre);
}

// clang-format off
const ListingCase kListings[] = {
    {"Block", {"G01X9.02 M09"}, span(18, "G01") + span(10, "X9.02") + span(4, " ") + span(22, "M09")},
    {"LinesSeparatedByLf", {"N1", "", "N2"}, span(23, "N1") + "\n\n" + span(23, "N2")},
    {"EmptyFirstLineKept", {"", "G1"}, "\n" + span(18, "G1")},
    {"NoLines", {}, ""},
    {"Escaping", {"#a<b>&\"c\"# <x&y>"},
     span(14, "#a&lt;b&gt;&amp;&quot;c&quot;#") + span(4, " ") + span(15, "&lt;x&amp;y&gt;")},
    {"EscapingInSingleCharacters", {"&\">"}, span(25, "&amp;") + span(25, "&quot;") + span(25, "&gt;")},
    {"CommentCarriedToNextLine", {"G0(a", "", "b)X1"},
     span(18, "G0") + span(0, "(a") + "\n\n" + span(0, "b)") + span(10, "X1")},
    {"BraceCarried", {"{", "x}"}, span(0, "{") + "\n" + span(0, "x}")},
    {"AddressWordNotCarried", {"X1", "5"}, span(10, "X1") + "\n" + span(25, "5")},
    {"Keywords", {"velnor ostrand"}, span(2, "velnor") + span(4, " ") + span(24, "ostrand")},
    // UTF-8 file: a character the scanner splits is written whole where it starts.
    {"SplitCharacterWrittenOnce", {"\xc3\xa9 X1"}, span(25, "\xc3\xa9") + span(4, " ") + span(10, "X1")},
    {"SplitThreeByteCharacter", {"a\xe2\x82\xac" "b"},
     span(1, "a") + span(25, "\xe2\x82\xac") + span(1, "b")},
    {"Utf8InsideWord", {"X\xc3\xa9" "1 (\xc3\xa7)"}, span(10, "X\xc3\xa9" "1") + span(4, " ") + span(0, "(\xc3\xa7)")},
    // Windows-1252 file: every byte is one character.
    {"Windows1252Bytes", {"\xe9 (\x80)"}, span(25, "\xc3\xa9") + span(4, " ") + span(0, "(\xe2\x82\xac)")},
    {"OneInvalidLineMakesAll1252", {"\xc3\xa9", "\xe9"},
     span(25, "\xc3\x83") + span(25, "\xc2\xa9") + "\n" + span(25, "\xc3\xa9")},
    // Code 0 ends the scan; the rest of the line stays visible, uncoloured.
    {"ZeroInsideLine", {std::string("G1\0X<", 5), "N2"},
     span(18, "G1") + "\xef\xbf\xbd" "X&lt;\n" + span(23, "N2")},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Programs, HtmlListingPre, testing::ValuesIn(kListings),
    [](const testing::TestParamInfo<ListingCase>& info) { return std::string(info.param.name); });

TEST(HtmlListing, PageShape)
{
    const std::string page = htmlListing(program({"G1"}), ColourValues {});
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>Torvel</title>\n"));
    EXPECT_TRUE(page.ends_with("</pre>\n</body>\n</html>\n"));
    EXPECT_EQ(page.find("<pre>"), page.rfind("<pre>"));
    EXPECT_NE(page.find("font-family: \"Courier New\", monospace"), std::string::npos);
}

TEST(HtmlListing, TitleAndFontFromOptions)
{
    HtmlListingOptions options;
    options.title = "a<b>.nc";
    options.fontFamily = "Lucida \"Console\"";
    const std::string page = htmlListing(program({"G1"}), ColourValues {}, options);
    EXPECT_NE(page.find("<title>a&lt;b&gt;.nc</title>"), std::string::npos);
    EXPECT_NE(page.find("font-family: \"Lucida Console\", monospace"), std::string::npos);
}

TEST(HtmlListing, StyleClasses)
{
    ColourValues colours {};
    colours[13] = 0x0000FF; // CorX: red
    colours[15] = 0x00FF00; // CorZ: green
    colours[14] = 0x123456; // CorY
    colours[16] = 0x00FFFFFF;
    const std::string page = htmlListing(program({"X1"}), colours);
    const std::string rules[] = {
        ".t0 { color: #000080; font-style: italic; }\n",
        ".t1 { }\n",
        ".t2 { font-weight: bold; }\n",
        ".t4 { }\n",
        ".t5 { color: #000000; }\n", // never set: black
        ".t10 { color: #ff0000; }\n",
        ".t11 { color: #00ff00; }\n",
        ".t12 { color: #563412; }\n",
        ".t13 { color: #ffffff; }\n",
        ".t24 { color: #0000ff; background-color: #c0c0c0; font-style: italic; text-decoration: underline; }\n",
        ".t25 { }\n",
    };
    for (const std::string& rule : rules)
        EXPECT_NE(page.find(rule), std::string::npos) << rule;
    EXPECT_EQ(page.find(".t3 "), std::string::npos);
    for (int kind = 0; kind < 26; ++kind) {
        if (kind != 3) {
            EXPECT_NE(page.find(".t" + std::to_string(kind) + " {"), std::string::npos) << kind;
        }
    }
}

} // namespace
