#include "core/IniText.h"

#include "core/Blank.h"

namespace torvel {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

// The name of a section header "[name]"; text after the last "]" is ignored.
std::optional<std::string_view> sectionName(std::string_view content)
{
    const std::string_view t = trimmed(content);
    if (t.empty() || t.front() != '[')
        return std::nullopt;
    const size_t close = t.rfind(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trimmed(t.substr(1, close - 1));
}

std::string_view keyName(std::string_view content) { return trimmed(content.substr(0, content.find('='))); }

} // namespace

IniText::Line IniText::lineAt(size_t at) const
{
    const size_t nl = bytes_.find('\n', at);
    Line l;
    l.begin = at;
    l.end = nl == std::string::npos ? bytes_.size() : nl;
    l.next = nl == std::string::npos ? bytes_.size() : nl + 1;
    if (l.end > l.begin && bytes_[l.end - 1] == '\r')
        --l.end;
    return l;
}

IniText::Found IniText::find(std::string_view section, std::string_view key) const
{
    Found f;
    for (size_t at = 0; at < bytes_.size();) {
        const Line l = lineAt(at);
        at = l.next;
        const std::string_view content(bytes_.data() + l.begin, l.end - l.begin);
        if (const auto name = sectionName(content)) {
            if (f.section)
                break; // only the first section of that name counts
            if (sameName(*name, section)) {
                f.section = true;
                f.insertAt = l.next;
            }
            continue;
        }
        if (!f.section || isBlankOnly(content))
            continue;
        f.insertAt = l.next;
        if (sameName(keyName(content), key)) {
            f.key = l;
            break;
        }
    }
    return f;
}

std::string_view IniText::lineBreak() const
{
    const size_t nl = bytes_.find('\n');
    return nl != std::string::npos && nl > 0 && bytes_[nl - 1] == '\r' ? "\r\n" : "\n";
}

std::optional<std::string> IniText::value(std::string_view section, std::string_view key) const
{
    const Found f = find(section, key);
    if (!f.key)
        return std::nullopt;
    const std::string_view content(bytes_.data() + f.key->begin, f.key->end - f.key->begin);
    const size_t eq = content.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    std::string_view v = trimmed(content.substr(eq + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

void IniText::set(std::string_view section, std::string_view key, std::string_view value)
{
    // A line break inside the value would start a line of its own.
    std::string clean;
    for (char c : value)
        if (c != '\r' && c != '\n')
            clean += c;
    const std::string br(lineBreak());
    const Found f = find(section, key);
    if (f.key) {
        const Line& l = *f.key;
        const std::string_view content(bytes_.data() + l.begin, l.end - l.begin);
        const size_t eq = content.find('=');
        if (eq == std::string_view::npos) {
            const std::string_view name = trimmed(content);
            const size_t nameEnd = l.begin + static_cast<size_t>(name.data() + name.size() - content.data());
            bytes_.replace(nameEnd, l.end - nameEnd, "=" + clean);
            return;
        }
        // The blanks after "=" stay as the file had them.
        size_t from = l.begin + eq + 1;
        while (from < l.end && (bytes_[from] == ' ' || bytes_[from] == '\t'))
            ++from;
        bytes_.replace(from, l.end - from, clean);
        return;
    }
    const std::string add = std::string(key) + "=" + clean + br;
    const bool unended = !bytes_.empty() && bytes_.back() != '\n';
    if (f.section) {
        // The section's last line may be the file's last, without a break of its own.
        bytes_.insert(f.insertAt, (unended && f.insertAt == bytes_.size() ? br : std::string()) + add);
        return;
    }
    // A new section goes at the end, a blank line after what was there.
    if (unended)
        bytes_ += br;
    if (!bytes_.empty()) {
        const size_t lastBreak = bytes_.size() - 1;
        const size_t before = lastBreak == 0 ? std::string::npos : bytes_.rfind('\n', lastBreak - 1);
        const size_t from = before == std::string::npos ? 0 : before + 1;
        if (!isBlankOnly(std::string_view(bytes_).substr(from, lastBreak - from)))
            bytes_ += br;
    }
    bytes_ += "[" + std::string(section) + "]" + br + add;
}

} // namespace torvel
