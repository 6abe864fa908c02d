#pragma once

#include "core/Settings.h"

#include <string>
#include <vector>

namespace torvel {

// The programs opened last, newest first, as the Arquivo menu lists them.
class RecentFiles {
public:
    static constexpr size_t kLimit = 8;

    // Moves the path to the front (adding it if new) and keeps at most kLimit paths.
    // A path the settings file cannot hold (empty, or with a line break) is left out.
    void push(const std::string& path);
    void remove(const std::string& path);
    const std::vector<std::string>& paths() const { return paths_; }

    // The section [ARQUIVOS RECENTES], keys Arquivo1..Arquivo8; empty keys are skipped.
    static RecentFiles read(const SettingsFile& file);
    // Writes all eight keys (empty past the list's end), so a shorter list leaves nothing stale.
    // Throws FileError as SettingsFile::write does.
    void write(const SettingsFile& file) const;

private:
    std::vector<std::string> paths_;
};

} // namespace torvel
