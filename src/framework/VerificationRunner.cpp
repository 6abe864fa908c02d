#include "framework/VerificationRunner.h"

#include "framework/BackgroundPriority.h"

#include <QMetaObject>

#include <exception>
#include <optional>

VerificationRunner::VerificationRunner(QObject* parent)
    : QObject(parent)
{ }

VerificationRunner::~VerificationRunner() { cancel(); }

void VerificationRunner::cancel()
{
    ++generation_;
    running_ = false;
    if (stop_)
        *stop_ = true;
    if (worker_.joinable())
        worker_.join();
}

void VerificationRunner::start(Job job)
{
    cancel();
    const uint64_t generation = generation_;
    stop_ = std::make_shared<std::atomic<bool>>(false);
    running_ = true;
    preview_ = job.preview;
    emit started();
    worker_ = std::thread([this, generation, stop = stop_, job = std::move(job)] {
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
                if (worker_.joinable())
                    worker_.join();
                running_ = false;
                failed_ = failed;
                findings_ = std::move(findings);
                emit finished();
            },
            Qt::QueuedConnection);
    });
}
