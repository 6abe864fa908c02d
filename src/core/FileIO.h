#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <sys/uio.h>

namespace torvel {

// Reads a whole file as bytes. Throws FileError "Cannot open file %s.".
std::string readFileBytes(const std::string& path);

// Reads a whole file into a buffer of its exact size (no zero fill).
std::unique_ptr<char[]> readFileBuffer(const std::string& path, size_t& size);

// The bytes of a file for a short-lived process: a regular file is mapped read-only
// instead of copied, anything else (a pipe, a device, an empty file) read whole.
// Throws FileError "Cannot open file %s.". Should another program cut a mapped file
// short while it is read, reading past its new end raises SIGBUS.
struct FileBytes {
    std::string_view bytes;
    std::shared_ptr<const void> owner; // keeps `bytes` alive
};
FileBytes mapFileBytes(const std::string& path);

// Writes every piece, whatever their number; false on a write error.
bool writeAllPieces(int fd, const iovec* pieces, int count);

// Whether a save waits until its bytes are on the disk, so that a power cut leaves
// the old file or the new one, never an empty or torn one.
enum class SyncMode { Sync, NoSync };

// A file replaced whole: the new bytes go to a temporary file beside the target.
// commit() renames it over the target where that keeps the target's owner, group,
// mode and hard links; otherwise it copies the new bytes into the target in place,
// putting the old bytes back if that write fails. Dropped without commit, the target
// is untouched. A save fails where writing the target in place would fail (a
// write-protected file is refused though its folder is writable). A target that is
// no regular file (a device, a pipe) is written as it is. A write that stops
// part-way throws FileError "Stream write error", every other failure "Cannot
// create file %s.". While the temporary file exists, SIGTERM, SIGINT and SIGHUP
// remove it before they end the program.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& path, SyncMode sync = SyncMode::Sync);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    void write(const char* data, size_t size);
    void write(const iovec* pieces, int count);
    void commit();
    // Many saves into one folder leave the sweep for what killed saves left behind to one
    // call of removeStaleTemps at their end, instead of reading the folder at every save.
    void skipStaleTempSweep() { sweeps_ = false; }

private:
    [[noreturn]] void refuse();
    bool makeTemp(const std::string& dir);
    bool renameOver();
    void writeInPlace();
    void dropTemp();

    std::string path_, target_, dir_, tempPrefix_, temp_;
    int fd_ = -1; // the temporary file, or the device written as it is
    int targetFd_ = -1; // the existing target, open for writing: writing it in place is allowed
    bool targetReadable_ = false;
    bool device_ = false;
    bool exists_ = false;
    bool inPlace_ = false;
    bool ownsSignals_ = false;
    bool sweeps_ = true;
    SyncMode sync_;
    unsigned mode_ = 0;
    unsigned long long size_ = 0;
};

// Writes a file that does not exist yet, whole or not at all: its bytes go into an unnamed
// file in the target's folder, which is then given its name. Cheaper than AtomicFile, which
// takes two names in the folder. False, with nothing written, where that cannot be done
// (the name is taken, the file system has no unnamed files); the caller then uses
// AtomicFile. Throws FileError "Stream write error" when the bytes cannot be written.
bool writeNewFile(const std::string& path, const char* data, size_t size);

// Removes from `folder` the temporary files that saves killed outright (SIGKILL, a crash)
// left there a minute or more ago: those whose names start with `prefix` (".NAME.torvel-",
// one file's), or every file's when it is empty.
void removeStaleTemps(const std::string& folder, std::string_view prefix = {});

// Replaces `path` as AtomicFile does. On failure the old file is untouched and
// FileError "Cannot create file %s." (or "Stream write error") is thrown.
void writeFileAtomic(const std::string& path, const std::string& bytes, SyncMode sync = SyncMode::Sync);

} // namespace torvel
