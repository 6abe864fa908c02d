#include "BatchRunner.h"

#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kSetpriv = "/usr/bin/setpriv";
constexpr uid_t kUser = 65534; // nobody
const std::vector<std::string> kAsUser = {kSetpriv, "--reuid=65534", "--regid=65534", "--clear-groups"};

// Whether torvel-batch can be run as a normal user: as root, with setpriv, from a build
// folder that user may reach.
bool runsAsUser()
{
    return ::geteuid() == 0 && ::access(kSetpriv, X_OK) == 0 && runBatchThrough(kAsUser, {"--version"}).status == 0;
}

bool holdsTemporaryFile(const std::string& dir)
{
    DIR* d = ::opendir(dir.c_str());
    bool found = false;
    while (const dirent* e = d ? ::readdir(d) : nullptr)
        found = found || std::string_view(e->d_name).find(".torvel-") != std::string_view::npos;
    if (d)
        ::closedir(d);
    return found;
}

} // namespace

TEST(BatchFiles, InPlaceAsANormalUserFailsWhereWritingWouldAndKeepsWhatItReplaces)
{
    if (!runsAsUser())
        GTEST_SKIP() << "running torvel-batch as a normal user needs root, setpriv and a build folder all may reach";
    struct Case {
        std::string name;
        mode_t mode;
        uid_t owner;
        bool secondLink;
        bool usersFolder; // else root's, which the user may not write
        bool saved;
    };
    const std::vector<Case> cases = {
        {"write-protected", 0444, kUser, false, true, false},
        {"another owner's, group-writable", 0664, 0, false, true, true},
        {"two hard links", 0640, kUser, true, true, true},
        {"writable, in a folder the user may not write", 0600, kUser, false, false, true},
    };
    for (const auto& c : cases) {
        const std::string dir = freshFolder("user");
        ::chmod(dir.c_str(), 0755);
        if (c.usersFolder)
            (void)!::chown(dir.c_str(), kUser, kUser);
        const std::string file = dir + "/p.nc", link = dir + "/link.nc";
        writeAll(file, "N10 X1\r\n");
        (void)!::chown(file.c_str(), c.owner, kUser);
        ::chmod(file.c_str(), c.mode);
        if (c.secondLink)
            ::link(file.c_str(), link.c_str());
        struct stat before { };
        ::stat(file.c_str(), &before);

        const BatchOutcome o = runBatchThrough(kAsUser, {"spaces", "--remove", "--in-place", file});
        struct stat after { };
        ::stat(file.c_str(), &after);
        EXPECT_EQ(o.status, c.saved ? 0 : 2) << c.name << ": " << o.err;
        EXPECT_EQ(o.err, c.saved ? "" : "torvel-batch: Cannot create file " + file + ".\n") << c.name;
        EXPECT_EQ(readAll(file), c.saved ? "N10X1\r\n" : "N10 X1\r\n") << c.name;
        EXPECT_EQ(after.st_uid, before.st_uid) << c.name;
        EXPECT_EQ(after.st_gid, before.st_gid) << c.name;
        EXPECT_EQ(after.st_mode, before.st_mode) << c.name;
        EXPECT_EQ(after.st_nlink, before.st_nlink) << c.name;
        if (c.secondLink) {
            EXPECT_EQ(readAll(link), readAll(file)) << c.name;
        }
        EXPECT_FALSE(holdsTemporaryFile(dir)) << c.name;
        fs::remove_all(dir);
    }
}

TEST(BatchFiles, ASignalDuringASaveLeavesNoTemporaryFile)
{
    const std::string dir = freshFolder("signal");
    const std::string file = dir + "/p.nc";
    std::string before, after;
    for (int i = 0; i < 300000; ++i) {
        const std::string n = "N" + std::to_string(i);
        before += n + " G01 X1.5 Y-2.25 F800\n";
        after += n + " G02 X1.5 Y-2.25 F800\n";
    }
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        bool caught = false;
        // The signal must fall while the file is being written; a save that ends first is tried again.
        for (int attempt = 0; attempt < 10 && !caught; ++attempt) {
            writeAll(file, before);
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::signal(sig, SIG_DFL); // a test runner may have had it ignored
                (void)!::freopen("/dev/null", "wb", stdout);
                ::execl(TORVEL_BATCH, TORVEL_BATCH, "replace", "--find", "G01", "--with", "G02", "--in-place",
                    file.c_str(), static_cast<char*>(nullptr));
                ::_exit(127);
            }
            int status = 0;
            while (::waitpid(pid, &status, WNOHANG) == 0) {
                if (holdsTemporaryFile(dir)) {
                    ::kill(pid, sig);
                    ::waitpid(pid, &status, 0);
                    caught = true;
                    break;
                }
                ::usleep(200);
            }
            if (!caught)
                continue;
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig;
            EXPECT_FALSE(holdsTemporaryFile(dir)) << sig;
            const std::string now = readAll(file);
            EXPECT_TRUE(now == before || now == after) << sig << ": " << now.size() << " bytes";
        }
        EXPECT_TRUE(caught) << "no save was caught while writing; signal " << sig;
    }
    fs::remove_all(dir);
}

TEST(BatchFiles, DashIsStandardOutputAndNoSyncWritesTheSameBytes)
{
    const std::string dir = freshFolder("dash");
    writeAll(dir + "/p.nc", "N10 X1\n");
    const std::string none = dir + "/none.ini";
    struct Case {
        std::vector<std::string> args;
        std::string written; // where the result is looked for; "" standard output
    };
    const std::vector<Case> cases = {
        {{"spaces", "--remove", "-o", "-", dir + "/p.nc"}, ""},
        {{"html", "--settings", none, "-o", "-", dir + "/p.nc"}, ""},
        {{"spaces", "--remove", "--no-sync", "-o", dir + "/o.nc", dir + "/p.nc"}, dir + "/o.nc"},
        {{"html", "--settings", none, "--no-sync", "-o", dir + "/o.html", dir + "/p.nc"}, dir + "/o.html"},
    };
    for (const auto& c : cases) {
        const BatchOutcome o = runBatch(c.args);
        EXPECT_EQ(o.status, 0) << o.err;
        const std::string result = c.written.empty() ? o.out : readAll(c.written);
        EXPECT_EQ(result.substr(0, 9), c.args[0] == "html" ? "<!DOCTYPE" : "N10X1\n") << testing::PrintToString(c.args);
    }
    EXPECT_FALSE(fs::exists("-"));
    fs::remove_all(dir);
}

TEST(BatchFiles, ANamedSettingsFileThatCannotBeReadStopsTheListing)
{
    const std::string dir = freshFolder("settings");
    ::chmod(dir.c_str(), 0755);
    writeAll(dir + "/p.nc", "G01 X1\n");
    const std::string folder = dir + "/folder.ini", large = dir + "/large.ini", closed = dir + "/closed.ini";
    fs::create_directory(folder);
    writeAll(large, "[CorG]\nValor=255\n;" + std::string(1 << 20, 'x'));
    writeAll(closed, "[CorG]\nValor=255\n");
    ::chmod(closed.c_str(), 0);
    const bool root = ::geteuid() == 0;
    const bool asUser = !root || runsAsUser();
    struct Case {
        std::string settings, err;
    };
    std::vector<Case> cases = {
        {folder, "Cannot open file " + folder + "."},
        {large, "Settings file " + large + " is larger than 1 MB and is not read."},
    };
    if (asUser)
        cases.push_back({closed, "Cannot open file " + closed + "."});
    else
        std::cout << "[  SKIPPED ] an unreadable file needs setpriv to run as a normal user\n";
    for (const auto& c : cases) {
        const std::vector<std::string> launcher = c.settings == closed && root ? kAsUser : std::vector<std::string> {};
        const BatchOutcome o = runBatchThrough(launcher, {"html", "--settings", c.settings, dir + "/p.nc"});
        EXPECT_EQ(o.status, 2) << c.settings;
        EXPECT_EQ(o.err, "torvel-batch: " + c.err + "\n");
        EXPECT_EQ(o.out, "");
    }
    fs::remove_all(dir);
}
