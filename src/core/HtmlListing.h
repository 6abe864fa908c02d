#pragma once

#include "core/ProgramText.h"
#include "core/Settings.h"

#include <string>

namespace torvel {

struct HtmlListingOptions {
    std::string title = "Torvel"; // UTF-8; escaped on output
    std::string fontFamily = "Courier New"; // the editor font; empty gives the editor's built-in face
};

// The program as an HTML5 page coloured as the editor view shows it: one <pre>,
// one text line per program line, one <span class="tK"> per token of kind K.
std::string htmlListing(const ProgramText& text, const ColourValues& colours, const HtmlListingOptions& options = {});

} // namespace torvel
