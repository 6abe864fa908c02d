#include "plot/JobThread.h"

#include "framework/BackgroundPriority.h"

JobThread::JobThread()
    : thread_([this] {
        runAtBackgroundPriority();
        loop();
    })
{ }

JobThread::~JobThread()
{
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
        next_.reset();
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void JobThread::post(Job job)
{
    {
        const std::lock_guard lock(mutex_);
        next_ = std::move(job);
        stop_ = true;
    }
    wake_.notify_one();
}

void JobThread::cancel()
{
    const std::lock_guard lock(mutex_);
    next_.reset();
    stop_ = true;
}

void JobThread::loop()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || next_; });
            if (quit_)
                return;
            job = std::move(*next_);
            next_.reset();
            // Under the lock: a job posted from here on stops this one.
            stop_ = false;
        }
        job(stop_);
    }
}
