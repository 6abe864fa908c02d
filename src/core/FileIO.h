#pragma once

#include <memory>
#include <string>

namespace torvel {

// Reads a whole file as bytes. Throws FileError "Cannot open file %s.".
std::string readFileBytes(const std::string& path);

// Reads a whole file into a buffer of its exact size (no zero fill).
std::unique_ptr<char[]> readFileBuffer(const std::string& path, size_t& size);

// A file replaced whole and atomically: written to a temporary file beside the
// target and renamed over it by commit(); dropped without commit, the target is
// untouched. A target that is no regular file (a device, a pipe) is written as it
// is: renaming over it would replace the device. A write that stops part-way throws
// FileError "Stream write error", every other failure "Cannot create file %s.".
class AtomicFile {
public:
    explicit AtomicFile(const std::string& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    void write(const char* data, size_t size);
    void commit();

private:
    std::string path_, target_, temp_;
    int fd_ = -1;
    unsigned mode_ = 0;
    bool committed_ = false;
};

// Replaces `path` atomically: a temporary file in the same folder, flushed,
// then renamed over the target with the target's permissions. On failure the
// old file is untouched and FileError "Cannot create file %s." is thrown.
void writeFileAtomic(const std::string& path, const std::string& bytes);

} // namespace torvel
