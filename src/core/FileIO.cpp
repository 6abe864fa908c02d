#include "core/FileIO.h"

#include "core/Errors.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
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
    int release()
    {
        int f = fd_;
        fd_ = -1;
        return f;
    }

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

std::string readFileBytes(const std::string& path)
{
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st { };
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode))
        throw FileError::cannotOpen(path);
    std::string bytes;
    if (S_ISREG(st.st_mode))
        bytes.reserve(static_cast<size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        if (bytes.capacity() > bytes.size()) {
            // Read straight into the reserved space of a regular file.
            const size_t room = bytes.capacity() - bytes.size();
            const size_t old = bytes.size();
            bytes.resize(bytes.capacity());
            const ssize_t r = ::read(fd.get(), bytes.data() + old, room);
            if (r < 0) {
                bytes.resize(old);
                if (errno == EINTR)
                    continue;
                throw FileError::cannotOpen(path);
            }
            bytes.resize(old + static_cast<size_t>(r));
            if (r == 0)
                break;
            continue;
        }
        const ssize_t r = ::read(fd.get(), buf, sizeof buf);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            throw FileError::cannotOpen(path);
        }
        if (r == 0)
            break;
        bytes.append(buf, static_cast<size_t>(r));
    }
    return bytes;
}

void writeFileAtomic(const std::string& path, const std::string& bytes)
{
    // Write through a symbolic link to the file it names, as an in-place write would.
    std::string target = path;
    char resolved[PATH_MAX];
    struct stat lst { };
    if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode) && ::realpath(path.c_str(), resolved))
        target = resolved;

    struct stat st { };
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        throw FileError::cannotCreate(path);

    const size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string tmp = (slash == std::string::npos ? std::string() : dir) + "." + base + ".torvel-XXXXXX";

    Fd fd(::mkstemp(tmp.data()));
    if (fd.get() < 0)
        throw FileError::cannotCreate(path);
    mode_t mode;
    if (exists) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok
        = writeAll(fd.get(), bytes.data(), bytes.size()) && ::fchmod(fd.get(), mode) == 0 && ::fdatasync(fd.get()) == 0;
    if (exists && ok && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()))
        (void)!::fchown(fd.get(), st.st_uid, st.st_gid); // best effort: keep the owner where allowed
    ok = ::close(fd.release()) == 0 && ok;
    if (!ok || ::rename(tmp.c_str(), target.c_str()) != 0) {
        ::unlink(tmp.c_str());
        throw FileError::cannotCreate(path);
    }
}

} // namespace torvel
