#include "framework/VerificationRunner.h"

#include "framework/BackgroundPriority.h"

#include <QMetaObject>

#include <exception>
#include <optional>

VerificationRunner::VerificationRunner(QObject* parent)
    : QObject(parent)
{ }

VerificationRunner::~VerificationRunner()
{
    cancel();
    for (Worker& w : retired_)
        w.thread.join();
}

void VerificationRunner::cancel()
{
    ++generation_;
    running_ = false;
    if (stop_)
        *stop_ = true;
    // Not waited for: a check notices the stop only between its steps, and waiting held
    // the window for a third of a second when an undo came right after a function.
    if (worker_.thread.joinable())
        retired_.push_back(std::move(worker_));
    joinFinished();
}

void VerificationRunner::joinFinished()
{
    std::erase_if(retired_, [](Worker& w) {
        if (!w.done->load())
            return false;
        w.thread.join();
        return true;
    });
}

void VerificationRunner::start(Job job)
{
    cancel();
    const uint64_t generation = generation_;
    stop_ = std::make_shared<std::atomic<bool>>(false);
    running_ = true;
    preview_ = job.preview;
    emit started();
    auto done = std::make_shared<std::atomic<bool>>(false);
    worker_.done = done;
    worker_.thread = std::thread([this, generation, stop = stop_, done, job = std::move(job)] {
        struct SayDone {
            std::atomic<bool>& done;
            ~SayDone() { done = true; }
        } sayDone {*done};
        // The interpretations it starts inherit this.
        runAtBackgroundPriority();
        std::optional<std::vector<torvel::Finding>> result;
        bool failed = false;
        try {
            result = torvel::verify(
                job.before.lines(), job.after.lines(), job.meaning, job.lines, [&stop] { return !*stop; });
        } catch (const std::exception&) {
            failed = true;
        }
        if (*stop)
            return;
        // The object outlives the thread (its destructor joins), and a call still queued
        // when it goes is dropped with it.
        QMetaObject::invokeMethod(
            this,
            [this, generation, failed, findings = result.value_or(std::vector<torvel::Finding> {})]() mutable {
                if (generation != generation_)
                    return;
                if (worker_.thread.joinable())
                    worker_.thread.join();
                joinFinished();
                running_ = false;
                failed_ = failed;
                findings_ = std::move(findings);
                emit finished();
            },
            Qt::QueuedConnection);
    });
}
