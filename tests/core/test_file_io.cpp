#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/ProgramFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
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

} // namespace

TEST(FileIO, WritesAtomicallyAndKeepsPermissions)
{
    const fs::path dir = tempDir();
    const std::string file = (dir / "prog.nc").string();
    writeFileAtomic(file, "N10\r\n");
    ::chmod(file.c_str(), 0640);
    writeFileAtomic(file, std::string("N20\0\xff\n", 6));
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
    if (::geteuid() != 0) { // root writes anywhere
        ::chmod(dir.c_str(), 0500);
        try {
            writeFileAtomic(file, "new");
            FAIL();
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot create file " + file + ".");
        }
        ::chmod(dir.c_str(), 0700);
    }
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
    fs::remove_all(dir);
}
