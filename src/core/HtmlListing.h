#pragma once

#include "core/ProgramText.h"
#include "core/Settings.h"

#include <functional>
#include <string>
#include <string_view>

namespace torvel {

struct HtmlListingOptions {
    std::string title = "Torvel"; // UTF-8; escaped on output
    std::string fontFamily = "Courier New"; // the editor font; empty gives the editor's built-in face
};

// Takes the page piece by piece as it is made; it may throw to stop the listing.
using HtmlSink = std::function<void(std::string_view)>;

// The program as an HTML5 page coloured as the editor view shows it: one <pre>,
// one text line per program line, one <span class="tK"> per token of kind K.
// Streamed in pieces of about a megabyte, so a long program never stands in memory twice.
void writeHtmlListing(
    const ProgramText& text, const ColourValues& colours, const HtmlListingOptions& options, const HtmlSink& sink);

// The same page whole.
std::string htmlListing(const ProgramText& text, const ColourValues& colours, const HtmlListingOptions& options = {});

} // namespace torvel
