#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/ProgramFile.h"
#include "core/Settings.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <functional>
#include <grp.h>
#include <sys/wait.h>
#include <utime.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace torvel;
namespace fs = std::filesystem;

namespace {

fs::path tempDir()
{
    std::string templ = (fs::temp_directory_path() / "torvel-io-XXXXXX").string();
    return fs::path(::mkdtemp(templ.data()));
}

// Tests run as root, who may write anything: permissions are tried as "nobody".
constexpr uid_t kUser = 65534;

// Runs `save` in a child process that is a normal user, and gives back the message it
// failed with, "" when it succeeded.
std::string asNormalUser(const std::function<void()>& save)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipe[0]);
        std::string message;
        if (::geteuid() == 0
            && (::setgroups(0, nullptr) != 0 || ::setresgid(kUser, kUser, kUser) != 0
                || ::setresuid(kUser, kUser, kUser) != 0))
            message = "cannot become a normal user";
        else
            try {
                save();
            } catch (const std::exception& e) {
                message = e.what();
            }
        (void)!::write(pipe[1], message.data(), message.size());
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::string message;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<size_t>(n));
    ::close(pipe[0]);
    ::waitpid(pid, nullptr, 0);
    return message;
}

} // namespace

TEST(FileIO, WritesAtomicallyAndKeepsPermissions)
{
    const fs::path dir = tempDir();
    const std::string file = (dir / "prog.nc").string();
    writeFileAtomic(file, "N10\r\n");
    ::chmod(file.c_str(), 0640);
    writeFileAtomic(file, std::string("N20\0\xff\n", 6), SyncMode::NoSync);
    EXPECT_EQ(readFileBytes(file), std::string("N20\0\xff\n", 6));
    struct stat st { };
    ::stat(file.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1); // no temporary left
    fs::remove_all(dir);
}

TEST(FileIO, FailuresNameThePathAndKeepTheOldFile)
{
    const fs::path dir = tempDir();
    try {
        readFileBytes((dir / "missing.nc").string());
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + (dir / "missing.nc").string() + ".");
    }
    EXPECT_THROW(readFileBytes(dir.string()), FileError);

    const std::string file = (dir / "keep.nc").string();
    writeFileAtomic(file, "old");
    EXPECT_THROW(writeFileAtomic((dir / "no" / "such" / "f.nc").string(), "x"), FileError);
    EXPECT_THROW(writeFileAtomic(dir.string(), "x"), FileError);
    EXPECT_EQ(readFileBytes(file), "old");
    fs::remove_all(dir);
}

TEST(FileIO, ATargetThatIsNoRegularFileIsWrittenAsItIs)
{
    const fs::path dir = tempDir();
    // A pipe with a reader waiting: the bytes go through it and the pipe stays a pipe.
    const std::string pipe = (dir / "pipe").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    writeFileAtomic(pipe, "N10 X1\n");
    char got[16] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 7);
    EXPECT_EQ(std::string(got), "N10 X1\n");
    ::close(reader);
    struct stat st { };
    ASSERT_EQ(::stat(pipe.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // A device that is always full (made here, so nothing outside the folder is at stake).
    const std::string full = (dir / "full").string();
    if (::mknod(full.c_str(), S_IFCHR | 0600, makedev(1, 7)) == 0) {
        try {
            writeFileAtomic(full, "N10 X1\n");
            FAIL();
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()), "Stream write error");
        }
        ASSERT_EQ(::stat(full.c_str(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
    fs::remove_all(dir);
}

TEST(FileIO, ProgramFilesStreamExactly)
{
    const fs::path dir = tempDir();
    const std::string file = (dir / "big.nc").string();
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += "N" + std::to_string(i) + (i % 3 ? "\r\n" : "\n"); // mixed: saved as CR LF
    writeFileAtomic(file, bytes);
    const ProgramText t = loadProgramFile(file);
    EXPECT_EQ(t.count(), 200000u);
    saveProgramFile(file, t);
    EXPECT_EQ(readFileBytes(file), t.toFileBytes());
    EXPECT_EQ(loadProgramFile(file), t);
    const ProgramText mapped = mapProgramFile(file);
    EXPECT_EQ(mapped, t);
    const std::string empty = (dir / "empty.nc").string();
    writeFileAtomic(empty, "");
    EXPECT_EQ(mapProgramFile(empty).count(), 0u);
    EXPECT_THROW(mapProgramFile(dir.string()), FileError);
    fs::remove_all(dir);
    EXPECT_EQ(mapped.toFileBytes(), t.toFileBytes()); // the mapping outlives the file's name
}

TEST(FileIO, AFileTheUserMayNotWriteIsRefusedThoughItsFolderTakesARename)
{
    struct Case {
        bool settings; // the settings file, or a program
        mode_t mode;
        bool userOwnsFile; // else root's, in the user's own folder
    };
    const std::vector<Case> cases
        = {{false, 0444, true}, {false, 0644, false}, {true, 0444, true}, {true, 0644, false}};
    const bool root = ::geteuid() == 0;
    for (const auto& c : cases) {
        if (!c.userOwnsFile && !root) {
            std::cout << "[  SKIPPED ] a file of another owner needs the tests to run as root\n";
            continue;
        }
        const fs::path dir = tempDir();
        const std::string file = (dir / (c.settings ? "Torvel.ini" : "prog.nc")).string();
        const std::string old = c.settings ? "[CorA]\r\nValor=255\r\n" : "N10 X1\r\n";
        writeFileAtomic(file, old);
        ::chmod(file.c_str(), c.mode);
        if (root) {
            (void)!::chown(dir.c_str(), kUser, kUser);
            if (c.userOwnsFile)
                (void)!::chown(file.c_str(), kUser, kUser);
        }
        struct stat before { };
        ::stat(file.c_str(), &before);

        const std::string message = asNormalUser([&] {
            if (c.settings)
                SettingsFile(file).writeFont("Mono", 12);
            else
                saveProgramFile(file, ProgramText::fromFileBytes("N20\n"));
        });
        EXPECT_EQ(message, (c.settings ? "Unable to write to " : "Cannot create file ") + file + ".");
        struct stat after { };
        ::stat(file.c_str(), &after);
        EXPECT_EQ(readFileBytes(file), old);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1); // no temporary left
        fs::remove_all(dir);
    }
}

TEST(FileIO, ASaveRemovesItsOwnStaleTemporaryFiles)
{
    const fs::path dir = tempDir();
    const std::string file = (dir / "prog.nc").string();
    // Left by saves killed outright: this file's, old and recent, and another file's.
    struct Leftover {
        std::string name;
        time_t age;
        bool removed;
    };
    const std::vector<Leftover> leftovers = {{".prog.nc.torvel-Ab12Cd", 120, true},
        {".prog.nc.torvel-Ef34Gh", 10, false}, {".other.nc.torvel-Ab12Cd", 120, false}};
    for (const auto& l : leftovers) {
        writeFileAtomic((dir / l.name).string(), "N1\n");
        const struct utimbuf times {
            std::time(nullptr) - l.age, std::time(nullptr) - l.age
        };
        ::utime((dir / l.name).c_str(), &times);
    }
    writeFileAtomic(file, "N10\n");
    for (const auto& l : leftovers)
        EXPECT_EQ(fs::exists(dir / l.name), !l.removed) << l.name;
    fs::remove_all(dir);
}
