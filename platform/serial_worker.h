#pragma once
// One long-lived thread that runs jobs one after another, in the order they were posted.
// Work that must stay off the frame thread but keep its order (free the old, then make
// the new) goes here, and a single thread keeps its allocations in one heap arena.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace vemol::platform {

class SerialWorker {
public:
    // atExit runs on the worker thread after its last job (per-thread clean-up).
    explicit SerialWorker(std::function<void()> atExit = {}) : atExit_(std::move(atExit)), thread_([this] { run(); }) {}
    // Runs the jobs still waiting, then ends the thread.
    ~SerialWorker() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    void post(std::function<void()> job) {
        {
            std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(job));
        }
        wake_.notify_one();
    }

private:
    void run() {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
                if (jobs_.empty()) break;
                job = std::move(jobs_.front());
                jobs_.pop_front();
            }
            job();
        }
        if (atExit_) atExit_();
    }

    std::function<void()> atExit_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread thread_;  // last, so it starts once everything it uses is ready
};

}  // namespace vemol::platform
