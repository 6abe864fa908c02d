#include "core/FileIO.h"

#include "core/Errors.h"
#include "core/ProgramText.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string_view>
#include <vector>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace torvel {

namespace {

class Fd {
public:
    explicit Fd(int fd)
        : fd_(fd)
    { }
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool writeAll(int fd, const char* p, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

bool writeAllAt(int fd, const char* p, size_t n, off_t at)
{
    while (n > 0) {
        const ssize_t w = ::pwrite(fd, p, n, at);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += w;
        at += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

// Reads a whole open file from its start; false when it cannot be read.
bool readWhole(int fd, std::string& out)
{
    struct stat st { };
    if (::fstat(fd, &st) != 0)
        return false;
    out.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t r = ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(done));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        done += static_cast<size_t>(r);
    }
    return true;
}

// Copies the first `size` bytes of `from` over the start of `to`.
bool copyBytes(int from, int to, unsigned long long size)
{
    std::unique_ptr<char[]> block(new char[1 << 20]);
    for (unsigned long long at = 0; at < size;) {
        const size_t want = static_cast<size_t>(std::min<unsigned long long>(size - at, 1 << 20));
        const ssize_t r = ::pread(from, block.get(), want, static_cast<off_t>(at));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0 || !writeAllAt(to, block.get(), static_cast<size_t>(r), static_cast<off_t>(at)))
            return false;
        at += static_cast<unsigned long long>(r);
    }
    return true;
}

// Makes a rename or a new name in `dir` survive a power cut. Some file systems cannot
// flush a folder; the file's own flush has been checked already.
void syncFolder(const std::string& dir)
{
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

// The temporary file of the save under way, removed by SIGTERM, SIGINT and SIGHUP
// before they end the program. Everything the handler touches is fixed in advance.
namespace tempsignals {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr size_t kCount = sizeof kSignals / sizeof kSignals[0];
char path[PATH_MAX];
volatile sig_atomic_t armed = 0;
volatile sig_atomic_t holding = 0;
volatile sig_atomic_t held = 0;
struct sigaction previous[kCount];
bool installed[kCount];
// Saves may run on several threads at once (torvel-batch run); one of them holds the slot.
std::atomic<bool> busy {false};

void restore(int sig)
{
    for (size_t i = 0; i < kCount; ++i)
        if (kSignals[i] == sig && installed[i])
            ::sigaction(sig, &previous[i], nullptr);
}

void onSignal(int sig)
{
    const int savedErrno = errno;
    if (holding) {
        // The target is being overwritten in place: ending now would leave it torn.
        held = sig;
        errno = savedErrno;
        return;
    }
    if (armed)
        ::unlink(path);
    restore(sig);
    ::raise(sig);
    errno = savedErrno;
}

sigset_t blocked()
{
    sigset_t set;
    sigemptyset(&set);
    for (int sig : kSignals)
        sigaddset(&set, sig);
    return set;
}

// Creates the temporary file from `templ` with the handlers in place, so that no
// signal can fall between its creation and its registration. Returns the descriptor;
// `owner` tells whether this file holds the one slot (a second save at once has none).
int create(std::string& templ, bool& owner)
{
    owner = templ.size() < sizeof path && !busy.exchange(true);
    if (owner) {
        struct sigaction action { };
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        for (size_t i = 0; i < kCount; ++i) {
            installed[i] = false;
            struct sigaction old { };
            if (::sigaction(kSignals[i], nullptr, &old) != 0 || old.sa_handler == SIG_IGN)
                continue; // an ignored signal stays ignored
            installed[i] = ::sigaction(kSignals[i], &action, &previous[i]) == 0;
        }
    }
    const sigset_t set = blocked();
    sigset_t old;
    ::pthread_sigmask(SIG_BLOCK, &set, &old);
    const int fd = ::mkostemp(templ.data(), O_CLOEXEC);
    if (fd >= 0 && owner) {
        std::memcpy(path, templ.c_str(), templ.size() + 1);
        armed = 1;
    }
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return fd;
}

void release()
{
    armed = 0;
    holding = 0;
    for (size_t i = 0; i < kCount; ++i)
        if (installed[i])
            ::sigaction(kSignals[i], &previous[i], nullptr);
    busy = false;
    const int sig = held;
    held = 0;
    if (sig)
        ::raise(sig); // deferred during the in-place write; acted on now that the file is whole
}

} // namespace tempsignals

// The process's file mode mask. It can only be read by setting it, so two threads reading
// it at once could leave it cleared: they take turns.
mode_t currentUmask()
{
    static std::mutex reading;
    const std::lock_guard lock(reading);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

namespace {

// Reads an open file to its end into a buffer of its exact size where the size is known.
std::unique_ptr<char[]> readOpenFile(int fd, const struct stat& st, const std::string& path, size_t& size)
{
    // A pipe or device reports no size: the buffer then grows as bytes arrive.
    size_t capacity = S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) : 0;
    std::unique_ptr<char[]> data(new char[capacity ? capacity : 1]);
    adviseHugePages(data.get(), capacity);
    size = 0;
    for (;;) {
        if (size == capacity) {
            // Full: the file grew while being read, or its size was unknown; take the rest too.
            char probe;
            const ssize_t r = ::read(fd, &probe, 1);
            if (r == 0)
                break;
            if (r < 0) {
                if (errno == EINTR)
                    continue;
                throw FileError::cannotOpen(path);
            }
            const size_t grown = capacity * 2 + 4096;
            std::unique_ptr<char[]> bigger(new char[grown]);
            std::memcpy(bigger.get(), data.get(), size);
            bigger[size++] = probe;
            data = std::move(bigger);
            capacity = grown;
            continue;
        }
        const ssize_t r = ::read(fd, data.get() + size, capacity - size);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            throw FileError::cannotOpen(path);
        }
        if (r == 0)
            break;
        size += static_cast<size_t>(r);
    }
    return data;
}

} // namespace

std::unique_ptr<char[]> readFileBuffer(const std::string& path, size_t& size)
{
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st { };
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode))
        throw FileError::cannotOpen(path);
    return readOpenFile(fd.get(), st, path, size);
}

FileBytes mapFileBytes(const std::string& path)
{
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st { };
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode))
        throw FileError::cannotOpen(path);
    if (S_ISREG(st.st_mode) && st.st_size > 0) {
        // The file's pages are used where they lie: no copy, and no fresh memory to clear.
        const auto length = static_cast<size_t>(st.st_size);
        void* p = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd.get(), 0);
        if (p != MAP_FAILED) {
            std::shared_ptr<const void> owner(p, [length](const void* q) { ::munmap(const_cast<void*>(q), length); });
            return {std::string_view(static_cast<const char*>(p), length), std::move(owner)};
        }
    }
    size_t size = 0;
    std::shared_ptr<const char[]> data = readOpenFile(fd.get(), st, path, size);
    return {std::string_view(data.get(), size), std::move(data)};
}

bool writeAllPieces(int fd, const iovec* pieces, int count)
{
    std::vector<iovec> rest; // where a piece was written only in part
    while (count > 0) {
        const ssize_t w = ::writev(fd, pieces, std::min(count, IOV_MAX));
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0)
            return false;
        auto done = static_cast<size_t>(w);
        while (count > 0 && done >= pieces->iov_len) {
            done -= pieces->iov_len;
            ++pieces;
            --count;
        }
        if (count > 0 && w == 0)
            return false;
        if (done > 0) {
            std::vector<iovec> copy(pieces, pieces + count);
            copy[0].iov_base = static_cast<char*>(copy[0].iov_base) + done;
            copy[0].iov_len -= done;
            rest = std::move(copy);
            pieces = rest.data();
        }
    }
    return true;
}

std::string readFileBytes(const std::string& path)
{
    size_t size = 0;
    const auto data = readFileBuffer(path, size);
    return std::string(data.get(), size);
}

AtomicFile::AtomicFile(const std::string& path, SyncMode sync)
    : path_(path)
    , target_(path)
    , sync_(sync)
{
    // Write through a symbolic link to the file it names, as an in-place write would.
    char resolved[PATH_MAX];
    struct stat lst { };
    if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode) && ::realpath(path.c_str(), resolved))
        target_ = resolved;

    struct stat st { };
    exists_ = ::stat(target_.c_str(), &st) == 0;
    if (exists_ && S_ISDIR(st.st_mode))
        throw FileError::cannotCreate(path_);
    if (exists_ && !S_ISREG(st.st_mode)) {
        device_ = true;
        fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd_ < 0)
            throw FileError::cannotCreate(path_);
        return;
    }
    if (exists_) {
        // Opening the target for writing asks the system exactly what an in-place write
        // would: a write-protected file is refused here, though its folder takes a rename.
        targetFd_ = ::open(target_.c_str(), O_RDWR | O_CLOEXEC);
        targetReadable_ = targetFd_ >= 0;
        if (targetFd_ < 0)
            targetFd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
        if (targetFd_ < 0 || ::fstat(targetFd_, &st) != 0)
            refuse();
        // A rename would split the file's hard links.
        inPlace_ = st.st_nlink > 1;
        mode_ = st.st_mode & 07777;
    } else {
        mode_ = 0666 & ~currentUmask();
    }
    const size_t slash = target_.rfind('/');
    dir_ = slash == std::string::npos ? std::string() : target_.substr(0, slash + 1);
    // Cut so that the temporary name stays within the file system's limit.
    tempPrefix_ = "." + target_.substr(slash == std::string::npos ? 0 : slash + 1, 200) + ".torvel-";
    if (!makeTemp(dir_)) {
        // A folder that takes no new file still lets an existing file be written in place;
        // its new bytes are kept safe in the temporary folder meanwhile.
        const char* tmp = std::getenv("TMPDIR");
        if (!exists_ || !makeTemp(std::string(tmp && *tmp ? tmp : "/tmp") + "/"))
            refuse();
        inPlace_ = true;
    }
    if (exists_ && !inPlace_) {
        // A renamed file keeps its owner and group only where the system lets us set them.
        struct stat made { };
        if (::fstat(fd_, &made) != 0
            || ((made.st_uid != st.st_uid || made.st_gid != st.st_gid) && ::fchown(fd_, st.st_uid, st.st_gid) != 0))
            inPlace_ = true;
    }
}

AtomicFile::~AtomicFile()
{
    if (targetFd_ >= 0)
        ::close(targetFd_);
    dropTemp();
}

void AtomicFile::refuse()
{
    if (targetFd_ >= 0)
        ::close(targetFd_);
    targetFd_ = -1;
    throw FileError::cannotCreate(path_);
}

bool AtomicFile::makeTemp(const std::string& dir)
{
    temp_ = dir + tempPrefix_ + "XXXXXX";
    fd_ = tempsignals::create(temp_, ownsSignals_);
    if (fd_ >= 0)
        return true;
    if (ownsSignals_)
        tempsignals::release();
    ownsSignals_ = false;
    return false;
}

void AtomicFile::dropTemp()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!device_ && !temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
    if (ownsSignals_)
        tempsignals::release();
    ownsSignals_ = false;
}

void AtomicFile::write(const char* data, size_t size)
{
    if (!writeAll(fd_, data, size))
        throw FileError::streamWrite();
    size_ += size;
}

void AtomicFile::write(const iovec* pieces, int count)
{
    if (!writeAllPieces(fd_, pieces, count))
        throw FileError::streamWrite();
    for (int i = 0; i < count; ++i)
        size_ += pieces[i].iov_len;
}

bool AtomicFile::renameOver()
{
    if (::fchmod(fd_, static_cast<mode_t>(mode_)) != 0)
        return false;
    if (sync_ == SyncMode::Sync && ::fsync(fd_) != 0)
        throw FileError::streamWrite(); // a full disk may show only now
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        return false;
    temp_.clear();
    // A file system may report a full disk only when the file is closed.
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (sync_ == SyncMode::Sync)
        syncFolder(dir_);
    if (!closed)
        throw FileError::streamWrite();
    return true;
}

void AtomicFile::writeInPlace()
{
    // The whole new text is on the disk beside the target before the target is touched.
    if (sync_ == SyncMode::Sync) {
        if (::fsync(fd_) != 0)
            throw FileError::streamWrite();
        syncFolder(temp_.substr(0, temp_.rfind('/') + 1));
    }
    std::string old;
    const bool canRestore = targetReadable_ && readWhole(targetFd_, old);
    // Room first: a full disk then stops the save before the target changes.
    if (size_ > 0 && ::fallocate(targetFd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size_)) != 0 && errno == ENOSPC)
        throw FileError::streamWrite();
    if (ownsSignals_)
        tempsignals::holding = 1;
    const bool written = copyBytes(fd_, targetFd_, size_) && ::ftruncate(targetFd_, static_cast<off_t>(size_)) == 0
        && (sync_ == SyncMode::NoSync || ::fsync(targetFd_) == 0);
    if (!written) {
        if (canRestore && writeAllAt(targetFd_, old.data(), old.size(), 0)
            && ::ftruncate(targetFd_, static_cast<off_t>(old.size())) == 0)
            (void)::fsync(targetFd_);
        throw FileError::streamWrite();
    }
}

void AtomicFile::commit()
{
    if (device_) {
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        if (!closed)
            throw FileError::streamWrite();
        return;
    }
    if (inPlace_ || !renameOver()) {
        if (!exists_)
            throw FileError::cannotCreate(path_);
        writeInPlace();
    }
    dropTemp();
    if (sweeps_)
        removeStaleTemps(dir_, tempPrefix_);
}

bool writeNewFile(const std::string& path, const char* data, size_t size)
{
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    // The mode of a new file, as creating it by name would give it.
    Fd fd(::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        return false;
    if (!writeAll(fd.get(), data, size))
        throw FileError::streamWrite();
    // Naming it through /proc needs no privilege, unlike naming the descriptor itself.
    const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

void removeStaleTemps(const std::string& folder, std::string_view prefix)
{
    // Should one still be in use by another save, that save keeps it open and falls back to
    // an in-place write.
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    const time_t before = std::time(nullptr) - 60;
    constexpr std::string_view kMark = ".torvel-";
    while (const dirent* entry = ::readdir(dir)) {
        // ".NAME.torvel-XXXXXX", as AtomicFile names them.
        const std::string_view name = entry->d_name;
        if (name.size() < 1 + kMark.size() + 6 || name[0] != '.'
            || name.substr(name.size() - 6 - kMark.size(), kMark.size()) != kMark
            || (!prefix.empty() && (name.size() != prefix.size() + 6 || name.substr(0, prefix.size()) != prefix)))
            continue;
        struct stat st { };
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)
            && st.st_uid == ::geteuid() && st.st_mtime < before)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

void writeFileAtomic(const std::string& path, const std::string& bytes, SyncMode sync)
{
    AtomicFile file(path, sync);
    file.write(bytes.data(), bytes.size());
    file.commit();
}

} // namespace torvel
