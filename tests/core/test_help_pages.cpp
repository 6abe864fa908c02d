// The help pages ship as files beside the program; the windows open them by fixed names, and a
// page that is missing or links nowhere shows the user nothing at all, so both are checked here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path helpFolder() { return fs::path(__FILE__).parent_path() / ".." / ".." / "resources" / "Ajuda"; }

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<fs::path> pages()
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(helpFolder()))
        if (entry.is_regular_file() && entry.path().extension() == ".htm")
            found.push_back(entry.path());
    return found;
}

// Every id="..." and name="..." of a page: the places a "#..." link may point to.
std::set<std::string> anchorsOf(const std::string& html)
{
    static const std::regex anchor(R"re(\s(?:id|name)\s*=\s*"([^"]*)")re", std::regex::icase);
    std::set<std::string> names;
    for (std::sregex_iterator it(html.begin(), html.end(), anchor), end; it != end; ++it)
        names.insert((*it)[1]);
    return names;
}

bool isExternal(const std::string& target)
{
    static const std::regex scheme(R"(^[a-zA-Z][a-zA-Z0-9+.-]*:)");
    return std::regex_search(target, scheme);
}

} // namespace

TEST(HelpPages, EveryPageTheWindowsOpenExists)
{
    // Index (help menu), the tool dialogs' pages and the colour dialog's page.
    const char* const opened[] = {"index.htm", "AddRem.htm", "EditNum.htm", "SubPal.htm", "Deletar.htm", "ComLinha.htm",
        "InserirInfo.htm", "EditLinha.htm", "TransXYZ.htm", "EspelhaXY.htm", "CoordIJ.htm", "Cores.htm"};
    for (const char* name : opened) {
        const fs::path path = helpFolder() / name;
        ASSERT_TRUE(fs::is_regular_file(path)) << path;
        EXPECT_GT(fs::file_size(path), 1000u) << name;
    }
}

TEST(HelpPages, IndexLinksEveryOtherPage)
{
    const std::string index = readAll(helpFolder() / "index.htm");
    for (const auto& page : pages()) {
        const std::string name = page.filename().string();
        if (name != "index.htm") {
            EXPECT_NE(index.find("href=\"" + name), std::string::npos) << name << " is not linked from the index";
        }
    }
}

TEST(HelpPages, EveryRelativeLinkResolves)
{
    static const std::regex link(R"re(\s(?:href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
    const std::vector<fs::path> all = pages();
    ASSERT_GE(all.size(), 12u);
    int checked = 0;
    for (const auto& page : all) {
        const std::string html = readAll(page);
        for (std::sregex_iterator it(html.begin(), html.end(), link), end; it != end; ++it) {
            const std::string target = (*it)[1];
            if (isExternal(target))
                continue;
            const auto hash = target.find('#');
            const std::string file = target.substr(0, hash);
            const fs::path resolved = file.empty() ? page : page.parent_path() / file;
            ASSERT_TRUE(fs::is_regular_file(resolved)) << page.filename() << " links to missing " << target;
            if (hash != std::string::npos) {
                const std::string fragment = target.substr(hash + 1);
                EXPECT_TRUE(anchorsOf(readAll(resolved)).count(fragment))
                    << page.filename() << " links to missing anchor " << target;
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 100);
}

TEST(HelpPages, PagesDeclareUtf8AndAreValidUtf8)
{
    for (const auto& page : pages()) {
        const std::string html = readAll(page);
        EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos) << page.filename();
        // Lead and continuation bytes must pair up, or the browser shows replacement marks.
        size_t i = 0;
        while (i < html.size()) {
            const auto c = static_cast<unsigned char>(html[i]);
            const size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
            ASSERT_NE(length, 0u) << page.filename() << " byte " << i;
            ASSERT_LE(i + length, html.size()) << page.filename();
            for (size_t k = 1; k < length; ++k)
                ASSERT_EQ(static_cast<unsigned char>(html[i + k]) >> 6, 0x2u) << page.filename() << " byte " << i + k;
            i += length;
        }
    }
}
