#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace torvel;
namespace fs = std::filesystem;

TEST(Settings, IntegersReadAsTheFileWritesThem)
{
    const std::vector<std::pair<std::string, std::optional<int32_t>>> cases = {{"255", 255}, {"0xFF", 255},
        {"$FF", 255}, {"$ff", 255}, {"-1", -1}, {"red", std::nullopt}, {"", std::nullopt}, {"12a", std::nullopt},
        {"16711680", 16711680}, {"$FFFFFFFF", -1}, {"4294967296", std::nullopt}, {" 7 ", 7}, {"0x", std::nullopt}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(parseIniInteger(text), value) << text;
}

TEST(Settings, ReadsColoursAndFontWithoutRegardToCase)
{
    const fs::path dir = fs::temp_directory_path() / "torvel-settings-read";
    fs::create_directories(dir);
    const std::string path = (dir / "Torvel.ini").string();
    writeFileAtomic(path, "[cora]\nVALOR=0xFF\n[CorX]\nValor=red\n[Cor3]\nvalor=$FF00\n[Cor1]\nValor=16711680\n");
    Settings s = SettingsFile(path).read();
    EXPECT_TRUE(s.fileFound);
    EXPECT_EQ(s.colours[0], 255);
    EXPECT_EQ(s.colours[13], 0); // CorX "red"
    EXPECT_EQ(s.colours[18], 0xFF00);
    EXPECT_EQ(s.colours[16], 16711680);
    EXPECT_EQ(s.fontName, "");
    EXPECT_EQ(s.fontSize, 0);
    fs::remove_all(dir);
    EXPECT_FALSE(SettingsFile(path).read().fileFound);
}

TEST(Settings, WritingKeepsOtherSectionsAndCreatesTheFile)
{
    const fs::path dir = fs::temp_directory_path() / "torvel-settings-write";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string path = (dir / "Torvel.ini").string();
    SettingsFile file(path);
    file.writeFont("DejaVu Sans Mono", 12);
    EXPECT_EQ(readFileBytes(path).find("[CorA]"), std::string::npos); // only FONTE
    writeFileAtomic(path, readFileBytes(path) + "[Outra]\nChave=1\n");
    ColourValues colours {};
    colours[0] = 255;
    colours[18] = 0x123456;
    file.writeColours(colours);
    const std::string bytes = readFileBytes(path);
    EXPECT_NE(bytes.find("Chave=1"), std::string::npos);
    EXPECT_LT(bytes.find("[CorA]"), bytes.find("[Cor3]"));
    const Settings s = file.read();
    EXPECT_EQ(s.fontName, "DejaVu Sans Mono");
    EXPECT_EQ(s.fontSize, 12);
    EXPECT_EQ(s.colours, colours);

    try {
        SettingsFile((dir / "missing-dir" / "Torvel.ini").string()).writeFont("x", 1);
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + (dir / "missing-dir" / "Torvel.ini").string() + ".");
    }
    fs::remove_all(dir);
}

TEST(Settings, LivesBesideTheProgramWhenItCan)
{
    const fs::path dir = fs::temp_directory_path() / "torvel-settings-where";
    fs::create_directories(dir / "bin");
    fs::create_directories(dir / "config");
    EXPECT_EQ(settingsFilePath((dir / "bin").string() + "/", (dir / "config").string()),
        (dir / "bin" / "Torvel.ini").string());
    EXPECT_EQ(settingsFilePath("/nonexistent-torvel-folder/", (dir / "config").string(), false),
        (dir / "config" / "Torvel" / "Torvel.ini").string());
    EXPECT_FALSE(fs::exists(dir / "config" / "Torvel"));
    EXPECT_EQ(settingsFilePath("/nonexistent-torvel-folder/", (dir / "config").string()),
        (dir / "config" / "Torvel" / "Torvel.ini").string());
    EXPECT_TRUE(fs::is_directory(dir / "config" / "Torvel"));
    fs::remove_all(dir);
}
