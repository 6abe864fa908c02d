#include "toolpath/InfoReport.h"

#include <cmath>
#include <cstdio>

namespace torvel {

namespace {

// Fixed, 4 decimals; never "-0.0000", never a non-finite number in JSON.
void appendNumber(std::string& out, double v)
{
    if (!std::isfinite(v))
        v = 0;
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, "%.4f", v);
    std::string_view text(buffer, static_cast<size_t>(n));
    if (text == "-0.0000")
        text = "0.0000";
    out += text;
}

void appendPoint(std::string& out, const Point3& p, const char* separator)
{
    appendNumber(out, p.x);
    out += separator;
    appendNumber(out, p.y);
    out += separator;
    appendNumber(out, p.z);
}

void appendBoxText(std::string& out, const char* key, const Box3& box)
{
    out += key;
    if (box.empty()) {
        out += ": none\n";
        return;
    }
    out += ": min ";
    appendPoint(out, box.min, " ");
    out += " max ";
    appendPoint(out, box.max, " ");
    out += '\n';
}

void appendBoxJson(std::string& out, const char* key, const Box3& box)
{
    out += '"';
    out += key;
    out += "\":";
    if (box.empty()) {
        out += "null";
        return;
    }
    out += "{\"min\":[";
    appendPoint(out, box.min, ",");
    out += "],\"max\":[";
    appendPoint(out, box.max, ",");
    out += "]}";
}

void appendJsonString(std::string& out, std::string_view text)
{
    out += '"';
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
            out += buffer;
        } else {
            out += c;
        }
    }
    out += '"';
}

const char* unitsName(Units units) { return units == Units::Inch ? "inch" : "mm"; }

} // namespace

std::string infoText(const Toolpath& path)
{
    std::string out;
    out += "lines: " + std::to_string(path.lineCount()) + '\n';
    out += std::string("units: ") + unitsName(path.units()) + '\n';
    out += "motions: " + std::to_string(path.size()) + '\n';
    appendBoxText(out, "extents", path.extents());
    appendBoxText(out, "feed_extents", path.feedExtents());
    out += "feed_length_mm: ";
    appendNumber(out, path.feedLength());
    out += "\nrapid_length_mm: ";
    appendNumber(out, path.rapidLength());
    out += "\ntime_s: ";
    appendNumber(out, path.timeSeconds());
    out += "\ntools:";
    for (int t : path.tools())
        out += ' ' + std::to_string(t);
    out += "\nnotes: " + std::to_string(path.noteCount()) + '\n';
    for (size_t i = 0; i < path.noteCount(); ++i) {
        const ToolpathNote n = path.note(i);
        out += "note: line " + std::to_string(n.line + 1) + ": " + n.text() + '\n';
    }
    return out;
}

std::string infoJson(const Toolpath& path)
{
    std::string out = "{\"lines\":" + std::to_string(path.lineCount());
    out += std::string(",\"units\":\"") + unitsName(path.units()) + '"';
    out += ",\"motions\":" + std::to_string(path.size()) + ',';
    appendBoxJson(out, "extents", path.extents());
    out += ',';
    appendBoxJson(out, "feed_extents", path.feedExtents());
    out += ",\"feed_length_mm\":";
    appendNumber(out, path.feedLength());
    out += ",\"rapid_length_mm\":";
    appendNumber(out, path.rapidLength());
    out += ",\"time_s\":";
    appendNumber(out, path.timeSeconds());
    out += ",\"tools\":[";
    for (size_t i = 0; i < path.tools().size(); ++i)
        out += (i ? "," : "") + std::to_string(path.tools()[i]);
    out += "],\"notes\":[";
    for (size_t i = 0; i < path.noteCount(); ++i) {
        const ToolpathNote n = path.note(i);
        out += i ? ",{\"line\":" : "{\"line\":";
        out += std::to_string(n.line + 1);
        out += ",\"reason\":";
        appendJsonString(out, n.text());
        out += '}';
    }
    out += "]}\n";
    return out;
}

} // namespace torvel
