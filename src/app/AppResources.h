#pragma once

namespace torvel {

// Registers the pictures and glyphs compiled into the window library. A static library's
// resource object is dropped by the linker unless something refers to it, so every window
// that shows a picture calls this first. Calling it again does nothing.
void initResources();

} // namespace torvel
