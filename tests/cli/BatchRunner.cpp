#include "BatchRunner.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

BatchOutcome runBatch(const std::vector<std::string>& args, const std::string& input)
{
    return runBatchThrough({}, args, input);
}

namespace {

// In the child: standard output and error to files, then torvel-batch behind `launcher`.
[[noreturn]] void execBatch(const std::vector<std::string>& launcher, const std::vector<std::string>& args,
    const std::string& outPath, const std::string& errPath)
{
    (void)!::freopen(outPath.c_str(), "wb", stdout);
    (void)!::freopen(errPath.c_str(), "wb", stderr);
    std::vector<char*> argv;
    for (const auto& a : launcher)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(const_cast<char*>(TORVEL_BATCH));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv.front(), argv.data());
    ::_exit(127);
}

BatchOutcome outcomeOf(pid_t pid, const std::string& dir)
{
    int wstatus = 0;
    ::waitpid(pid, &wstatus, 0);
    BatchOutcome o;
    o.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    o.out = readAll(dir + "/stdout");
    o.err = readAll(dir + "/stderr");
    fs::remove_all(dir);
    return o;
}

} // namespace

BatchOutcome runBatchThrough(
    const std::vector<std::string>& launcher, const std::vector<std::string>& args, const std::string& input)
{
    // Standard output and error go to files so large outputs cannot dead-lock the pipes.
    const std::string dir = freshFolder("run");
    const std::string inPath = dir + "/stdin";
    writeAll(inPath, input);
    const pid_t pid = ::fork();
    if (pid == 0) {
        (void)!::freopen(inPath.c_str(), "rb", stdin);
        execBatch(launcher, args, dir + "/stdout", dir + "/stderr");
    }
    return outcomeOf(pid, dir);
}

BatchOutcome runBatchFromPipe(const std::vector<std::string>& args, const std::string& input)
{
    const std::string dir = freshFolder("pipe");
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[0], 0);
        ::close(fds[0]);
        ::close(fds[1]);
        execBatch({}, args, dir + "/stdout", dir + "/stderr");
    }
    ::close(fds[0]);
    // A tool that stops reading early must fail the test, not end it.
    ::signal(SIGPIPE, SIG_IGN);
    // Far more than a pipe holds, in small pieces, so the tool reads while the test writes.
    for (size_t done = 0; done < input.size();) {
        const ssize_t n = ::write(fds[1], input.data() + done, std::min<size_t>(4096, input.size() - done));
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fds[1]);
    return outcomeOf(pid, dir);
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string freshFolder(const std::string& name)
{
    std::string templ = (fs::temp_directory_path() / ("torvel-cli-" + name + "-XXXXXX")).string();
    return ::mkdtemp(templ.data());
}
