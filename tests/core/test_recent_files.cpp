#include "core/FileIO.h"
#include "core/RecentFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace torvel;
namespace fs = std::filesystem;

TEST(RecentFiles, NewestFirstWithoutRepeatsAndAtMostEight)
{
    RecentFiles list;
    for (const char* p : {"/a.nc", "/b.nc", "/a.nc", "", "/c\nd.nc"})
        list.push(p);
    EXPECT_EQ(list.paths(), (std::vector<std::string> {"/a.nc", "/b.nc"}));
    for (int i = 1; i <= 9; ++i)
        list.push("/p" + std::to_string(i) + ".nc");
    ASSERT_EQ(list.paths().size(), RecentFiles::kLimit);
    EXPECT_EQ(list.paths().front(), "/p9.nc");
    EXPECT_EQ(list.paths().back(), "/p2.nc");
    list.remove("/p5.nc");
    EXPECT_EQ(list.paths().size(), 7u);
}

TEST(RecentFiles, KeptInTheirOwnSectionOfTheSettingsFile)
{
    const fs::path dir = fs::temp_directory_path() / "torvel-recent-files";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const SettingsFile file((dir / "Torvel.ini").string());
    EXPECT_TRUE(RecentFiles::read(file).paths().empty());
    file.writeFont("Mono", 10);
    RecentFiles list;
    for (int i = 1; i <= 8; ++i)
        list.push("/prog " + std::to_string(i) + ".nc");
    list.write(file);
    RecentFiles shorter;
    shorter.push("/só um.nc");
    shorter.write(file);
    EXPECT_EQ(RecentFiles::read(file).paths(), shorter.paths());
    list.write(file);
    EXPECT_EQ(RecentFiles::read(file).paths(), list.paths());
    EXPECT_EQ(file.read().fontName, "Mono");
    EXPECT_NE(readFileBytes(file.path()).find("[ARQUIVOS RECENTES]"), std::string::npos);
    fs::remove_all(dir);
}
