// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/file_writer.h"

#include <utility>

namespace vemol::app {

FileWriter::FileWriter() : thread_([this] { run(); }) {}

FileWriter::~FileWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void FileWriter::save(std::vector<FileSave> chain) {
    {
        std::lock_guard lock(mutex_);
        chains_.push_back(std::move(chain));
    }
    wake_.notify_one();
}

std::vector<SaveFailure> FileWriter::takeFailures() {
    std::lock_guard lock(mutex_);
    return std::exchange(failures_, {});
}

// Takes the chains in order; the lock is never held while a file is written.
void FileWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !chains_.empty(); });
        if (chains_.empty()) return;  // stopping, and nothing left to save
        std::vector<FileSave> chain = std::move(chains_.front());
        chains_.pop_front();
        lock.unlock();
        for (const FileSave& file : chain) {
            std::string problem;
            if (file.write(&problem)) continue;
            lock.lock();
            failures_.push_back({file.path, problem});
            lock.unlock();
            break;
        }
        lock.lock();
    }
}

}  // namespace vemol::app
