#include "core/FileIO.h"

#include "core/Errors.h"
#include "core/ProgramText.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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

} // namespace

std::unique_ptr<char[]> readFileBuffer(const std::string& path, size_t& size)
{
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st { };
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode))
        throw FileError::cannotOpen(path);
    // A pipe or device reports no size: the buffer then grows as bytes arrive.
    size_t capacity = S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) : 0;
    std::unique_ptr<char[]> data(new char[capacity ? capacity : 1]);
    adviseHugePages(data.get(), capacity);
    size = 0;
    for (;;) {
        if (size == capacity) {
            // Full: the file grew while being read, or its size was unknown; take the rest too.
            char probe;
            const ssize_t r = ::read(fd.get(), &probe, 1);
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
        const ssize_t r = ::read(fd.get(), data.get() + size, capacity - size);
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

std::string readFileBytes(const std::string& path)
{
    size_t size = 0;
    const auto data = readFileBuffer(path, size);
    return std::string(data.get(), size);
}

AtomicFile::AtomicFile(const std::string& path)
    : path_(path)
    , target_(path)
{
    // Write through a symbolic link to the file it names, as an in-place write would.
    char resolved[PATH_MAX];
    struct stat lst { };
    if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode) && ::realpath(path.c_str(), resolved))
        target_ = resolved;

    struct stat st { };
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        throw FileError::cannotCreate(path_);
    if (exists && !S_ISREG(st.st_mode)) {
        fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd_ < 0)
            throw FileError::cannotCreate(path_);
        return;
    }
    if (exists) {
        mode_ = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode_ = 0666 & ~mask;
    }
    const size_t slash = target_.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : target_.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    temp_ = dir + "." + base + ".torvel-XXXXXX";
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0)
        throw FileError::cannotCreate(path_);
    if (exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()))
        (void)!::fchown(fd_, st.st_uid, st.st_gid); // best effort: keep the owner where allowed
}

AtomicFile::~AtomicFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !temp_.empty())
        ::unlink(temp_.c_str());
}

void AtomicFile::write(const char* data, size_t size)
{
    if (!writeAll(fd_, data, size))
        throw FileError::streamWrite();
}

void AtomicFile::commit()
{
    // No fsync: the rename-over pattern is ordered by the file system (ext4 auto_da_alloc), and a
    // forced flush would cost more than the whole save of a large program.
    const bool ok = temp_.empty() || ::fchmod(fd_, static_cast<mode_t>(mode_)) == 0;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    // A file system may report a full disk only when the file is closed.
    if (!closed)
        throw FileError::streamWrite();
    if (!ok || (!temp_.empty() && ::rename(temp_.c_str(), target_.c_str()) != 0))
        throw FileError::cannotCreate(path_);
    committed_ = true;
}

void writeFileAtomic(const std::string& path, const std::string& bytes)
{
    AtomicFile file(path);
    file.write(bytes.data(), bytes.size());
    file.commit();
}

} // namespace torvel
