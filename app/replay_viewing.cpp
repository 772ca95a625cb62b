// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/replay_viewing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "game/operations.h"

namespace vemol::app {
namespace {

constexpr float kMostLate = 0.25f;  // seconds a playback may fall behind before it lets go

}  // namespace

std::optional<replay::Replay> LoadReplayFile(const std::string& path, std::string* problem) {
    problem->clear();
    // Opened without blocking and taken only when it is a regular file: a FIFO or a
    // device named by mistake must neither hang the game nor be read for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *problem = std::string(std::strerror(errno)) + ".";
        return std::nullopt;
    }
    struct stat info {};
    replay::Bytes bytes;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *problem = "It is not a file.";
    } else {
        // One byte more than a replay may hold, so the reader can tell a file too large.
        bytes.resize(replay::kMaxReplayFileBytes + 1);
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) *problem = std::string(std::strerror(errno)) + ".";
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
    }
    ::close(fd);
    if (!problem->empty()) return std::nullopt;
    return replay::ReadReplay(bytes, problem);
}

ReplayViewing::ReplayViewing(const replay::Replay& replay, Clock& realClock)
    : playback_(replay), realClock_(realClock) {}

void ReplayViewing::begin(GameState& g) {
    gameClock_ = g.clock;
    gameKeys_ = g.keys;
    gameRecorder_ = g.recorder;
    bestScore_ = g.bestScore;
    sessionBestScore_ = g.sessionBestScore;
    g.clock = &playback_.clock();
    g.keys = &playback_.keyboard();
    g.recorder = &playback_;
    playback_.start(g);
}

float ReplayViewing::secondsUntilNextFrame() {
    const std::optional<float> next = playback_.nextFrameTime();
    if (!next) return 0.0f;
    const float now = realClock_.now();
    if (!realStart_) {
        realStart_ = now;
        recordedStart_ = *next;
    }
    const float late = (now - *realStart_) - (*next - *recordedStart_);
    const bool readsTheClock = *next != lastDue_;
    lastDue_ = *next;
    if (late <= 0.0f) return -late;
    // Held up (a menu pulled down, a busy machine): go on from here at the recorded pace
    // rather than hurry through the recorded waits. Frames that read no clock (the
    // transition, the break-up) keep the time before them and are paced by the window.
    if (readsTheClock && late > kMostLate) *realStart_ += late;
    return 0.0f;
}

void ReplayViewing::end(GameState& g) {
    if (g.playing != 0 || WaitUnderWay(g)) LeaveGame(g);
    g.clock = gameClock_;
    g.keys = gameKeys_;
    g.recorder = gameRecorder_;
    g.bestScore = bestScore_;
    g.sessionBestScore = sessionBestScore_;
}

}  // namespace vemol::app
