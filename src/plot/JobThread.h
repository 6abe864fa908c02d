#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

// A thread that runs the latest job handed to it, off the event loop. A new
// job replaces the one waiting and asks the running one to stop: the job
// reads `stop` now and then and returns early when it is set. Results go back
// to the window through queued calls, which Qt drops when their receiver is gone.
class JobThread {
public:
    using Job = std::function<void(const std::atomic<bool>& stop)>;

    JobThread();
    // Stops the running job and waits for it.
    ~JobThread();
    JobThread(const JobThread&) = delete;
    JobThread& operator=(const JobThread&) = delete;

    void post(Job job);
    // Drops the waiting job and stops the running one.
    void cancel();

private:
    void loop();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> next_;
    std::atomic<bool> stop_ {false};
    bool quit_ = false;
    std::thread thread_; // last: starts once the members above are in place
};
