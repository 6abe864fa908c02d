#include "core/Settings.h"

#include "core/Errors.h"
#include "core/FileIO.h"

// Bytes pass through untouched; the file is in the platform code page.
#define SI_NO_CONVERSION
// Debian splits the header; this unit instantiates the templates itself.
#define SI_IMPLEMENTATION
// CSimpleIniA compares section and key names without regard to case (the "Case" variant does not).
#include <SimpleIni.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace torvel {

std::optional<int32_t> parseIniInteger(const std::string& raw)
{
    std::string s = raw;
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.pop_back();
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return std::nullopt;
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (v > 0xFFFFFFFFull)
            return std::nullopt;
    }
    if (base == 10 && v > (negative ? 2147483648ull : 2147483647ull))
        return std::nullopt;
    // Hexadecimal spells the 32-bit word itself, so $FFFFFFFF is -1.
    const auto word = static_cast<uint32_t>(negative ? (~v + 1) : v);
    return static_cast<int32_t>(word);
}

namespace {

bool loadIni(const std::string& path, CSimpleIniA& ini)
{
    ini.SetUnicode(false);
    ini.SetSpaces(false);
    std::string bytes;
    try {
        bytes = readFileBytes(path);
    } catch (const FileError&) {
        return false;
    }
    return ini.LoadData(bytes.data(), bytes.size()) >= 0;
}

} // namespace

bool SettingsFile::exists() const
{
    struct stat st { };
    return ::stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

Settings SettingsFile::read() const
{
    Settings s;
    CSimpleIniA ini;
    if (!exists() || !loadIni(path_, ini))
        return s;
    s.fileFound = true;
    for (size_t i = 0; i < kColourSections.size(); ++i) {
        const char* v = ini.GetValue(kColourSections[i], "Valor", nullptr);
        if (v)
            s.colours[i] = parseIniInteger(v).value_or(0);
    }
    if (const char* v = ini.GetValue("FONTE", "TIPO", nullptr))
        s.fontName = v;
    if (const char* v = ini.GetValue("FONTE", "TAMANHO", nullptr))
        s.fontSize = parseIniInteger(v).value_or(0);
    return s;
}

std::optional<std::string> SettingsFile::value(const std::string& section, const std::string& key) const
{
    CSimpleIniA ini;
    if (!exists() || !loadIni(path_, ini))
        return std::nullopt;
    const char* v = ini.GetValue(section.c_str(), key.c_str(), nullptr);
    return v ? std::optional<std::string>(v) : std::nullopt;
}

void SettingsFile::write(const std::vector<Entry>& entries) const
{
    CSimpleIniA ini;
    ini.SetUnicode(false);
    ini.SetSpaces(false);
    if (exists() && !loadIni(path_, ini))
        throw FileError::unableToWrite(path_);
    for (const Entry& e : entries)
        ini.SetValue(e.section.c_str(), e.key.c_str(), e.value.c_str());
    std::string out;
    if (ini.Save(out) < 0)
        throw FileError::unableToWrite(path_);
    try {
        writeFileAtomic(path_, out);
    } catch (const FileError&) {
        throw FileError::unableToWrite(path_);
    }
}

void SettingsFile::writeColours(const ColourValues& colours) const
{
    std::vector<Entry> entries;
    for (size_t i = 0; i < colours.size(); ++i)
        entries.push_back({kColourSections[i], "Valor", std::to_string(colours[i])});
    write(entries);
}

void SettingsFile::writeFont(const std::string& name, int size) const
{
    write({{"FONTE", "TIPO", name}, {"FONTE", "TAMANHO", std::to_string(size)}});
}

std::string settingsFilePath(const std::string& programFolder, const std::string& userConfigFolder, bool makeFolder)
{
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    const std::string beside = folder + "Torvel.ini";
    struct stat st { };
    if (::stat(beside.c_str(), &st) == 0 || ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0)
        return beside;
    std::string config = userConfigFolder;
    if (!config.empty() && config.back() != '/')
        config += '/';
    const std::string dir = config + "Torvel";
    if (makeFolder)
        ::mkdir(dir.c_str(), 0777);
    return dir + "/Torvel.ini";
}

} // namespace torvel
