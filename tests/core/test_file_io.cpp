#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/ProgramFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
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
