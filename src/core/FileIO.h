#pragma once

#include <string>

namespace torvel {

// Reads a whole file as bytes. Throws FileError "Cannot open file %s.".
std::string readFileBytes(const std::string& path);

// Replaces `path` atomically: a temporary file in the same folder, flushed,
// then renamed over the target with the target's permissions. On failure the
// old file is untouched and FileError "Cannot create file %s." is thrown.
void writeFileAtomic(const std::string& path, const std::string& bytes);

} // namespace torvel
