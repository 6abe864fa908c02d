#include "core/Settings.h"

#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/IniText.h"

#include <cerrno>
#include <fcntl.h>
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

SettingsSource load(const std::string& path, std::string& bytes)
{
    // Not blocking: a pipe under the settings file's name must not stop the start.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? SettingsSource::Missing : SettingsSource::Unreadable;
    SettingsSource source = SettingsSource::Read;
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        source = SettingsSource::Unreadable;
    else if (st.st_size > kSettingsFileLimit)
        source = SettingsSource::TooLarge;
    // Read one byte past the limit: a file that grew meanwhile is still caught.
    bytes.resize(source == SettingsSource::Read ? static_cast<size_t>(kSettingsFileLimit) + 1 : 0);
    size_t size = 0;
    while (size < bytes.size()) {
        const ssize_t r = ::read(fd, bytes.data() + size, bytes.size() - size);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            source = SettingsSource::Unreadable;
        if (r <= 0)
            break;
        size += static_cast<size_t>(r);
    }
    ::close(fd);
    if (size > static_cast<size_t>(kSettingsFileLimit))
        source = SettingsSource::TooLarge;
    bytes.resize(source == SettingsSource::Read ? size : 0);
    return source;
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
    std::string bytes;
    s.source = load(path_, bytes);
    if (s.source != SettingsSource::Read)
        return s;
    const IniText ini(std::move(bytes));
    for (size_t i = 0; i < kColourSections.size(); ++i)
        if (const auto v = ini.value(kColourSections[i], "Valor"))
            s.colours[i] = parseIniInteger(*v).value_or(0);
    if (const auto v = ini.value("FONTE", "TIPO"))
        s.fontName = *v;
    if (const auto v = ini.value("FONTE", "TAMANHO"))
        s.fontSize = parseIniInteger(*v).value_or(0);
    return s;
}

std::optional<std::string> SettingsFile::value(const std::string& section, const std::string& key) const
{
    std::string bytes;
    if (load(path_, bytes) != SettingsSource::Read)
        return std::nullopt;
    return IniText(std::move(bytes)).value(section, key);
}

void SettingsFile::write(const std::vector<Entry>& entries) const
{
    std::string bytes;
    const SettingsSource found = load(path_, bytes);
    if (found != SettingsSource::Read && found != SettingsSource::Missing)
        throw FileError::unableToWrite(path_);
    IniText ini(std::move(bytes));
    for (const Entry& e : entries)
        ini.set(e.section, e.key, e.value);
    try {
        writeFileAtomic(path_, ini.bytes());
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
