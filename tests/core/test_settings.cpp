#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

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

namespace {

fs::path freshDir(const char* name)
{
    const fs::path dir = fs::temp_directory_path() / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

} // namespace

TEST(Settings, ReadsAsTheProfileRoutinesDo)
{
    struct Case {
        std::string bytes;
        int32_t corA;
    };
    const std::vector<Case> cases = {
        {"[cora]\nVALOR=0xFF\n", 255},
        {"  [ CorA ] ; letra A\r\n  Valor  =  $FF  \r\n", 255},
        {"[CorA]\nValor=1\nValor=2\n", 1}, // the first of two equal keys
        {"[CorA]\nX=1\n[CORA]\nValor=2\n", 0}, // only the first of two equal sections
        {"[CorA]\nValor=\"255\"\n", 255}, // quotes around the whole value go
        {"[CorA]\nValor='255'\n", 255},
        {"[CorA]\nValor=\"255\n", 0},
        {"[CorA]\nValor\nValor=5\n", 0}, // a key without "=" has no value
        {"[CorA]\n;Valor=5\n", 0},
        {"Valor=5\n[CorA]\n", 0},
        {"[CorA]\nValor=red\n", 0},
    };
    const fs::path dir = freshDir("torvel-settings-read");
    const std::string path = (dir / "Torvel.ini").string();
    for (const auto& c : cases) {
        writeFileAtomic(path, c.bytes);
        const Settings s = SettingsFile(path).read();
        EXPECT_EQ(s.source, SettingsSource::Read);
        EXPECT_EQ(s.colours[0], c.corA) << testing::PrintToString(c.bytes);
    }
    writeFileAtomic(path, "[FONTE]\nTIPO = \"DejaVu Sans Mono\" \nTAMANHO=12\n[Cor3]\nvalor=$FF00\n");
    const Settings s = SettingsFile(path).read();
    EXPECT_EQ(s.fontName, "DejaVu Sans Mono");
    EXPECT_EQ(s.fontSize, 12);
    EXPECT_EQ(s.colours[18], 0xFF00);
    fs::remove_all(dir);
}

TEST(Settings, WritingChangesOnlyTheLinesOfItsKeys)
{
    struct Case {
        std::string before;
        std::vector<SettingsFile::Entry> entries;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"; cores\r\n[CorA]\r\nValor=1\r\n\r\n[FONTE]\r\nTIPO=Arial\r\n", {{"fonte", "TAMANHO", "12"}},
            "; cores\r\n[CorA]\r\nValor=1\r\n\r\n[FONTE]\r\nTIPO=Arial\r\nTAMANHO=12\r\n"},
        {"[CorA]\nValor=1\nValor=2\n", {{"CorA", "Valor", "9"}}, "[CorA]\nValor=9\nValor=2\n"},
        {"[FONTE]\nsem igual\n  tipo = Arial \n", {{"FONTE", "TIPO", "Mono"}}, "[FONTE]\nsem igual\n  tipo = Mono\n"},
        {"[FONTE]\nTIPO\r\n", {{"FONTE", "TIPO", "Mono"}}, "[FONTE]\nTIPO=Mono\r\n"},
        {"[CorA]\nValor=\"255\"\n", {{"CorA", "Valor", "128"}}, "[CorA]\nValor=128\n"},
        {"[FONTE]\nTIPO=A\n\n\n[CorA]\nValor=1\n", {{"FONTE", "TAMANHO", "10"}},
            "[FONTE]\nTIPO=A\nTAMANHO=10\n\n\n[CorA]\nValor=1\n"},
        {"[cora]\nX=1\n[CorA]\nValor=1\n", {{"CorA", "Valor", "2"}}, "[cora]\nX=1\nValor=2\n[CorA]\nValor=1\n"},
        {"[Outra]\r\nChave=1", {{"CorA", "Valor", "255"}}, "[Outra]\r\nChave=1\r\n\r\n[CorA]\r\nValor=255\r\n"},
        {"[FONTE]\nTIPO=A", {{"FONTE", "TAMANHO", "10"}}, "[FONTE]\nTIPO=A\nTAMANHO=10\n"},
        {"", {{"FONTE", "TIPO", "Mono"}, {"FONTE", "TAMANHO", "12"}, {"CorA", "Valor", "0"}},
            "[FONTE]\nTIPO=Mono\nTAMANHO=12\n\n[CorA]\nValor=0\n"},
    };
    const fs::path dir = freshDir("torvel-settings-edit");
    const std::string path = (dir / "Torvel.ini").string();
    for (const auto& c : cases) {
        writeFileAtomic(path, c.before);
        SettingsFile(path).write(c.entries);
        EXPECT_EQ(readFileBytes(path), c.after) << testing::PrintToString(c.before);
    }
    fs::remove_all(dir);
}

TEST(Settings, AFileThatCannotBeReadIsNoMissingOne)
{
    const fs::path dir = freshDir("torvel-settings-unreadable");
    const std::string path = (dir / "Torvel.ini").string();
    const std::string kept = "[CorA]\nValor=255\n;" + std::string(kSettingsFileLimit, 'x') + "\n";
    struct Case {
        std::function<void()> make;
        SettingsSource source;
    };
    const std::vector<Case> cases = {
        {[] {}, SettingsSource::Missing},
        {[&] { fs::create_directory(path); }, SettingsSource::Unreadable},
        {[&] { ::mkfifo(path.c_str(), 0600); }, SettingsSource::Unreadable}, // and no wait for a writer
        {[&] { writeFileAtomic(path, kept); }, SettingsSource::TooLarge},
        {[&] { writeFileAtomic(path, kept.substr(0, kSettingsFileLimit)); }, SettingsSource::Read},
    };
    for (const auto& c : cases) {
        fs::remove_all(path);
        c.make();
        const Settings s = SettingsFile(path).read();
        EXPECT_EQ(s.source, c.source) << static_cast<int>(c.source);
        EXPECT_EQ(s.colours[0], c.source == SettingsSource::Read ? 255 : 0);
    }
    // What cannot be read is not rewritten either.
    fs::remove_all(path);
    writeFileAtomic(path, kept);
    EXPECT_THROW(SettingsFile(path).writeFont("Mono", 12), FileError);
    EXPECT_EQ(readFileBytes(path), kept);
    fs::remove_all(dir);
}

TEST(Settings, WritingKeepsOtherSectionsAndCreatesTheFile)
{
    const fs::path dir = freshDir("torvel-settings-write");
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
