#include "core/HtmlListing.h"

#include "core/Encoding.h"
#include "core/TokenAttributes.h"
#include "core/Tokenizer.h"

#include <cstdio>

namespace torvel {

namespace {

void appendEscaped(std::string& out, std::string_view utf8)
{
    for (char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\0':
            out += "\xEF\xBF\xBD"; // a browser shows U+FFFD for it anyway
            break;
        default:
            out += c;
        }
    }
}

std::string cssColour(uint32_t bgr)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", bgr & 0xFFu, (bgr >> 8) & 0xFFu, (bgr >> 16) & 0xFFu);
    return buf;
}

void appendStyle(std::string& out, const ColourValues& colours, const HtmlListingOptions& options)
{
    std::string family;
    for (char c : options.fontFamily.empty() ? std::string("Courier New") : options.fontFamily)
        if (c != '"' && c != '\\' && c != '<' && c != '>')
            family += c;
    out += "<style>\npre { font-family: \"" + family + "\", monospace; color: #000000; background-color: #ffffff; }\n";
    for (int kind = 0; kind < TokenKind::Count; ++kind) {
        const auto attr = attributeForKind(kind, colours);
        if (!attr)
            continue;
        out += ".t" + std::to_string(kind) + " {";
        if (attr->foreground)
            out += " color: " + cssColour(*attr->foreground) + ";";
        if (attr->background)
            out += " background-color: " + cssColour(*attr->background) + ";";
        if (attr->bold)
            out += " font-weight: bold;";
        if (attr->italic)
            out += " font-style: italic;";
        if (attr->underline)
            out += " text-decoration: underline;";
        out += " }\n";
    }
    out += "</style>\n";
}

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// One line's tokens; returns the range for the next line.
int appendLine(std::string& out, Tokenizer& tokenizer, std::string_view line, int range, bool utf8)
{
    size_t written = 0;
    auto appendText = [&](std::string_view bytes) {
        if (utf8)
            appendEscaped(out, bytes);
        else
            appendEscaped(out, windows1252ToUtf8(bytes));
    };
    range = tokenizer.scanLine(line, range, [&](int kind, size_t begin, size_t end) {
        if (utf8) {
            // A character split by the scanner belongs wholly to the token where it starts.
            begin = begin < written ? written : begin;
            while (end < line.size() && isContinuationByte(line[end]))
                ++end;
            if (begin >= end)
                return;
        }
        out += "<span class=\"t";
        out += std::to_string(kind);
        out += "\">";
        appendText(line.substr(begin, end - begin));
        out += "</span>";
        written = end;
    });
    // A code 0 ends the scan; what follows it is shown uncoloured.
    if (written < line.size()) {
        const size_t from = tokenizer.position() > written ? tokenizer.position() : written;
        appendText(line.substr(from));
    }
    return range;
}

} // namespace

void writeHtmlListing(
    const ProgramText& text, const ColourValues& colours, const HtmlListingOptions& options, const HtmlSink& sink)
{
    constexpr size_t kPiece = 1 << 20;
    const bool utf8 = showsAsUtf8(text);

    std::string out;
    out.reserve(kPiece + 4096);
    out += "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
    appendEscaped(out, options.title);
    out += "</title>\n";
    appendStyle(out, colours, options);
    // The parser drops one newline right after <pre>, so an empty first line survives.
    out += "</head>\n<body>\n<pre>\n";
    Tokenizer tokenizer;
    int range = RangeState::None;
    for (size_t i = 0; i < text.count(); ++i) {
        if (i > 0)
            out += '\n';
        range = appendLine(out, tokenizer, text.line(static_cast<long long>(i)), range, utf8);
        if (out.size() >= kPiece) {
            sink(out);
            out.clear();
        }
    }
    out += "</pre>\n</body>\n</html>\n";
    sink(out);
}

std::string htmlListing(const ProgramText& text, const ColourValues& colours, const HtmlListingOptions& options)
{
    std::string page;
    writeHtmlListing(text, colours, options, [&page](std::string_view piece) { page.append(piece); });
    return page;
}

} // namespace torvel
