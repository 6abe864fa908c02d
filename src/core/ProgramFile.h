#pragma once

#include "core/FileIO.h"
#include "core/ProgramText.h"

#include <string>

namespace torvel {

// Loads a program file as the editor opens one. Throws FileError "Cannot open file %s.".
ProgramText loadProgramFile(const std::string& path);

// The same for a short-lived process: a regular file is mapped instead of copied
// (see mapFileBytes).
ProgramText mapProgramFile(const std::string& path);

// Saves it as the editor does, replacing the file as AtomicFile does. Throws FileError
// "Cannot create file %s." (or "Stream write error").
void saveProgramFile(const std::string& path, const ProgramText& text, SyncMode sync = SyncMode::Sync);

} // namespace torvel
