#pragma once

#include <string>
#include <vector>

// Runs torvel-batch as a process with the given arguments and standard input.
struct BatchOutcome {
    int status = -1;
    std::string out;
    std::string err;
};

BatchOutcome runBatch(const std::vector<std::string>& args, const std::string& input = {});
// The same through a launcher: `launcher` comes first, then torvel-batch and `args`.
BatchOutcome runBatchThrough(
    const std::vector<std::string>& launcher, const std::vector<std::string>& args, const std::string& input = {});

// The same with standard input a pipe that the test writes `input` into as the tool reads,
// as in `generate | torvel-batch ... -`: no size known ahead, no seeking.
BatchOutcome runBatchFromPipe(const std::vector<std::string>& args, const std::string& input);

std::string readAll(const std::string& path);
void writeAll(const std::string& path, const std::string& bytes);
// A fresh empty folder under the system's temporary folder.
std::string freshFolder(const std::string& name);
