#include "core/RecentFiles.h"

#include <algorithm>

namespace torvel {

namespace {

constexpr const char* kSection = "ARQUIVOS RECENTES";

std::string keyOf(size_t index) { return "Arquivo" + std::to_string(index + 1); }

bool storable(const std::string& path) { return !path.empty() && path.find_first_of("\r\n") == std::string::npos; }

} // namespace

void RecentFiles::push(const std::string& path)
{
    if (!storable(path))
        return;
    remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > kLimit)
        paths_.resize(kLimit);
}

void RecentFiles::remove(const std::string& path) { std::erase(paths_, path); }

RecentFiles RecentFiles::read(const SettingsFile& file)
{
    RecentFiles list;
    // Pushed oldest first, so duplicates in a hand-edited file collapse to the newest place.
    for (size_t i = kLimit; i-- > 0;)
        if (auto path = file.value(kSection, keyOf(i)))
            list.push(*path);
    return list;
}

void RecentFiles::write(const SettingsFile& file) const
{
    std::vector<SettingsFile::Entry> entries;
    for (size_t i = 0; i < kLimit; ++i)
        entries.push_back({kSection, keyOf(i), i < paths_.size() ? paths_[i] : std::string()});
    file.write(entries);
}

} // namespace torvel
