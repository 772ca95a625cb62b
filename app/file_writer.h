// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one thread that writes the game's files (vemol.dat, the replays), so that a slow
// disk never holds up a frame. Saves run one after another in the order they were
// handed over; a failure comes back to the main loop, which polls after each frame.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vemol::app {

// One file to save: its path, for the failure's report, and the write itself, which
// returns false and says why in `problem` when the file could not be saved.
struct FileSave {
    std::string path;
    std::function<bool(std::string* problem)> write;
};

struct SaveFailure {
    std::string path;
    std::string problem;
};

class FileWriter {
public:
    FileWriter();
    // Finishes every save handed over, then ends the thread.
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Saves the files in their order, after every save handed over before. When one
    // fails the rest of this chain is left unwritten (a file that depends on the one
    // before it, like the best game's replay on the best score).
    void save(std::vector<FileSave> chain);
    // The failures since the last call, each handed back once, oldest first.
    std::vector<SaveFailure> takeFailures();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::vector<FileSave>> chains_;
    std::vector<SaveFailure> failures_;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once everything it uses exists
};

}  // namespace vemol::app
