#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace torvel {

// The nineteen colour sections, in file and dialog order: the sixteen address
// letters, then % (Cor1), # (Cor2) and < > (Cor3).
inline constexpr std::array<const char*, 19> kColourSections = {"CorA", "CorB", "CorC", "CorF", "CorG", "CorI", "CorJ",
    "CorK", "CorM", "CorN", "CorR", "CorS", "CorT", "CorX", "CorY", "CorZ", "Cor1", "Cor2", "Cor3"};

// Colours are 0x00BBGGRR words; 0 is black.
using ColourValues = std::array<int32_t, 19>;

// What reading the settings file came to. A file that is there but cannot be read
// is no missing file: the user is told, and the defaults stand in for it.
enum class SettingsSource { Missing, Read, Unreadable, TooLarge };

// No settings file is this large; a larger one is not read (nor rewritten).
inline constexpr long long kSettingsFileLimit = 1 << 20;

struct Settings {
    ColourValues colours {};
    std::string fontName;
    int fontSize = 0;
    SettingsSource source = SettingsSource::Missing;
};

// Decimal, or hexadecimal after "0x" or "$"; anything else gives nullopt.
std::optional<int32_t> parseIniInteger(const std::string& text);

// The INI file: section and key names without regard to case.
class SettingsFile {
public:
    explicit SettingsFile(std::string path)
        : path_(std::move(path))
    { }
    const std::string& path() const { return path_; }
    bool exists() const;

    // Reads colours and font; a file missing, unreadable or too large leaves every
    // value at its default, and `source` says which.
    Settings read() const;

    // Writes the given keys in order, creating the file if missing and changing no
    // other line. Throws FileError "Unable to write to %s.", also for a file that is
    // there but cannot be read (its other lines could not be kept).
    struct Entry {
        std::string section, key, value;
    };
    void write(const std::vector<Entry>& entries) const;
    void writeColours(const ColourValues& colours) const;
    void writeFont(const std::string& name, int size) const;
    // One key's value; nullopt when the file, the section or the key is missing.
    std::optional<std::string> value(const std::string& section, const std::string& key) const;

private:
    std::string path_;
};

// Beside the executable when a Torvel.ini is there or the folder is writable,
// else Torvel/Torvel.ini in the user's configuration folder, whose Torvel folder
// is made when `makeFolder` (a reader only leaves it alone).
std::string settingsFilePath(
    const std::string& programFolder, const std::string& userConfigFolder, bool makeFolder = true);

} // namespace torvel
