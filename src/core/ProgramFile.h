#pragma once

#include "core/ProgramText.h"

#include <string>

namespace torvel {

// Loads a program file as the editor opens one. Throws FileError "Cannot open file %s.".
ProgramText loadProgramFile(const std::string& path);

// Saves it as the editor does, replacing the file atomically. Throws FileError "Cannot create file %s.".
void saveProgramFile(const std::string& path, const ProgramText& text);

} // namespace torvel
