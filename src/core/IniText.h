#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace torvel {

// The bytes of an INI file, read and changed as the platform's profile routines read
// them: section and key names without regard to case, the first of equal sections and
// keys wins, blanks around names and values are dropped, and so are quotes around a
// whole value. A change touches only the line of the key it writes; every other byte
// (comments, lines without "=", repeated keys, blank lines, CR LF) stays.
class IniText {
public:
    explicit IniText(std::string bytes = {})
        : bytes_(std::move(bytes))
    { }

    // nullopt when the section or key is missing, or the key's line has no "=".
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Rewrites the value of the key's first line in the section's first occurrence; a
    // missing key goes after the last line of its section, a missing section at the end.
    void set(std::string_view section, std::string_view key, std::string_view value);

    const std::string& bytes() const { return bytes_; }

private:
    struct Line {
        size_t begin = 0, end = 0, next = 0; // content is [begin, end), the break ends at next
    };
    struct Found {
        bool section = false;
        std::optional<Line> key;
        size_t insertAt = 0; // after the section's last non-blank line
    };
    Line lineAt(size_t at) const;
    Found find(std::string_view section, std::string_view key) const;
    std::string_view lineBreak() const;

    std::string bytes_;
};

} // namespace torvel
