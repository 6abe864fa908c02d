#pragma once

#include "core/ProgramText.h"
#include "verify/Verification.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

// Checks a coordinate function's result on a worker thread, so that the window keeps
// answering while a long program is interpreted twice. A newer check replaces one still
// running; the texts are shared copies, so later edits do not disturb it.
class VerificationRunner : public QObject {
    Q_OBJECT
public:
    struct Job {
        torvel::ProgramText before, after;
        torvel::FunctionMeaning meaning;
        torvel::LineSpan lines;
        bool preview = false; // a result shown by "Visualizar", not the program's text
    };

    explicit VerificationRunner(QObject* parent = nullptr);
    ~VerificationRunner() override;

    void start(Job job);
    // Drops a check still running; nothing is reported for it.
    void cancel();

    bool running() const { return running_; }
    // Whether the latest check, running or done, is of a preview.
    bool checksPreview() const { return preview_; }
    // The latest check's findings; `failed()` when it could not be made (no memory).
    const std::vector<torvel::Finding>& findings() const { return findings_; }
    bool failed() const { return failed_; }

signals:
    void started();
    void finished();

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    void joinFinished();

    Worker worker_;
    // Stopped checks still ending their step; joined once done, or when the runner goes.
    std::vector<Worker> retired_;
    std::shared_ptr<std::atomic<bool>> stop_;
    uint64_t generation_ = 0;
    bool running_ = false;
    bool failed_ = false;
    bool preview_ = false;
    std::vector<torvel::Finding> findings_;
};
