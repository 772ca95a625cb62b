// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Playing a replay: the game's clock and keys answered from the recorded values, in the
// order they were read. A game that reads anything else than was recorded no longer
// plays the recorded game; the playback stops there and says where.
#include <string>

#include "game/operations.h"
#include "replay/events.h"
#include "replay/replay.h"

namespace vemol::replay {

namespace {

const char* KeyName(int key) {
    static const char* const kNames[kKeyCount] = {"Enter", "Up", "Down", "Left", "Right", "Space", "Home"};
    return key >= 0 && key < kKeyCount ? kNames[key] : "?";
}

const char* WhatComes(detail::EventCursor::Next next) {
    switch (next) {
        case detail::EventCursor::Next::Frame: return "the next frame";
        case detail::EventCursor::Next::Clock: return "a clock reading";
        case detail::EventCursor::Next::Key: return "a key";
        case detail::EventCursor::Next::End: return "the end of the game";
        case detail::EventCursor::Next::Damaged: break;
    }
    return "damage";
}

}  // namespace

struct Playback::State {
    enum class Phase { BeforeStart, Playing, Ended };

    struct ReplayClock : Clock {
        explicit ReplayClock(State& s) : s(s) {}
        float now() override { return s.readClock(); }
        std::int64_t calendarSeconds() override { return s.replay.seed; }
        State& s;
    };
    struct ReplayKeyboard : Keyboard {
        explicit ReplayKeyboard(State& s) : s(s) {}
        KeyState query(Key key) override { return s.readKey(static_cast<int>(key)); }
        State& s;
    };

    explicit State(const Replay& r) : replay(r), cursor(replay.events) {}

    float readClock() {
        if (phase != Phase::Playing) return cursor.lastClock();
        if (auto t = cursor.takeClock()) return *t;
        stop(std::string("the game read the clock where the replay holds ") + WhatComes(cursor.next()));
        return cursor.lastClock();
    }

    KeyState readKey(int key) {
        if (phase != Phase::Playing) return {};
        const auto next = cursor.next();
        if (next == detail::EventCursor::Next::Key) {
            detail::EventCursor ahead = cursor;
            const int recorded = ahead.takeKey()->first;
            if (recorded == key) return cursor.takeKey()->second;
            stop(std::string("the game read the key ") + KeyName(key) + " where the replay holds the key " +
                 KeyName(recorded));
            return {};
        }
        stop(std::string("the game read the key ") + KeyName(key) + " where the replay holds " + WhatComes(next));
        return {};
    }

    // Ends the playback at the first difference, naming the frame it is in.
    void stop(const std::string& what) {
        if (!problem.empty()) return;
        problem = "The game no longer follows this replay: in frame " + std::to_string(frame) + ", " + what + ".";
        phase = Phase::Ended;
    }

    Replay replay;
    detail::EventCursor cursor;
    ReplayClock clock{*this};
    ReplayKeyboard keys{*this};
    Phase phase = Phase::BeforeStart;
    std::uint32_t frame = 0;
    std::string problem;
};

Playback::Playback(const Replay& replay) : state_(std::make_unique<State>(replay)) {}
Playback::~Playback() = default;

Clock& Playback::clock() { return state_->clock; }
Keyboard& Playback::keyboard() { return state_->keys; }

void Playback::start(GameState& g) {
    g.bestScore = state_->replay.bestScoreShown;
    StartSeededGame(g, state_->replay.seed);
}

std::optional<float> Playback::nextFrameTime() const {
    if (finished()) return std::nullopt;
    detail::EventCursor ahead = state_->cursor;
    bool inNextFrame = false;
    for (;;) {
        switch (ahead.next()) {
            case detail::EventCursor::Next::Frame:
                // A frame that reads no clock sees the time standing still.
                if (inNextFrame) return ahead.lastClock();
                inNextFrame = ahead.takeFrame();
                break;
            case detail::EventCursor::Next::Clock: {
                const float t = *ahead.takeClock();
                if (inNextFrame) return t;
                break;
            }
            case detail::EventCursor::Next::Key: ahead.takeKey(); break;
            case detail::EventCursor::Next::End:
                if (inNextFrame) return ahead.lastClock();
                return std::nullopt;
            case detail::EventCursor::Next::Damaged: return std::nullopt;
        }
    }
}

bool Playback::finished() const { return state_->phase == State::Phase::Ended; }

const std::string& Playback::problem() const { return state_->problem; }

void Playback::gameStarting(std::uint32_t seed, std::int32_t bestScore) {
    (void)bestScore;
    State& s = *state_;
    if (s.phase != State::Phase::BeforeStart) return;
    s.phase = State::Phase::Playing;
    if (seed != s.replay.seed) s.stop("the game was started with another seed");
}

void Playback::frameStarting() {
    State& s = *state_;
    if (s.phase != State::Phase::Playing) return;
    const auto next = s.cursor.next();
    if (next == detail::EventCursor::Next::End) return s.stop("the replay ends before the game does");
    if (!s.cursor.takeFrame())
        return s.stop(std::string("the game started the next frame where the replay holds ") + WhatComes(next));
    ++s.frame;
}

void Playback::gameFinished(std::int32_t score) {
    State& s = *state_;
    if (s.phase != State::Phase::Playing) return;
    const auto next = s.cursor.next();
    if (next != detail::EventCursor::Next::End)
        return s.stop(std::string("the game ended where the replay holds ") + WhatComes(next));
    if (s.frame != s.replay.frames || score != s.replay.finalScore)
        return s.stop("the game ended with " + std::to_string(score) + " points where the replay ends frame " +
                      std::to_string(s.replay.frames) + " with " + std::to_string(s.replay.finalScore));
    s.phase = State::Phase::Ended;
}

}  // namespace vemol::replay
